#pragma once
// A scene's cache of loaded files: textures, meshes, wave sounds and definition files, each
// loaded once per exact (case-sensitive) name and owned here until the scene clears it.
// Each named getter is defined beside its kind (GetTexture with Texture, ...), so this layer
// never depends on the layers that define the kinds.
#include <array>
#include <map>
#include <memory>
#include <string>

#include "engine/CachedResource.h"

namespace quarn {

class Archive;
class DefinitionFile;
class FrameTimer;
class Mesh;
class Texture;
class WaveSound;

class ResourceCache {
 public:
  enum class Kind { Texture, Mesh, Sound, Definition };

  // archive: where names are extracted from; timer: paused while loading. Null: the
  // process-wide archive and the running application's timer.
  explicit ResourceCache(Archive* archive = nullptr, FrameTimer* timer = nullptr);
  // Clears everything (ClearAll).
  virtual ~ResourceCache();
  ResourceCache(const ResourceCache&) = delete;
  ResourceCache& operator=(const ResourceCache&) = delete;

  virtual bool Prepare() { return true; }
  // Releases and destroys textures, meshes and sounds, then the definition files.
  virtual void ClearAll();
  virtual void ClearDefinitions();

  // The cached object of that name, loaded on first request; null when it cannot be loaded
  // (failures are not cached: a later request tries again).
  Texture* GetTexture(const std::string& name);
  Mesh* GetMesh(const std::string& name);
  WaveSound* GetSound(const std::string& name);
  DefinitionFile* GetDefinition(const std::string& name);

  // The getter of every kind: KindClass must derive from CachedResource, be default
  // constructible, and always be stored under the same Kind.
  template <class KindClass>
  KindClass* Get(Kind kind, const std::string& name) {
    return static_cast<KindClass*>(Find(kind, name, []() -> std::unique_ptr<CachedResource> {
      return std::make_unique<KindClass>();
    }));
  }

  size_t Count(Kind kind) const { return maps_[Index(kind)].size(); }
  // Files an object made elsewhere (tools and fuzzers hand in files that are not in an
  // archive), replacing one of that name. Null objects are refused.
  bool Adopt(Kind kind, const std::string& name, std::unique_ptr<CachedResource> object);

 private:
  using ResourceMap = std::map<std::string, std::unique_ptr<CachedResource>>;
  using Factory = std::unique_ptr<CachedResource> (*)();

  static size_t Index(Kind kind) { return static_cast<size_t>(kind); }
  // The whole lookup-or-load algorithm, shared by every kind.
  CachedResource* Find(Kind kind, const std::string& name, Factory make);
  void Clear(Kind kind);

  Archive* archive_;
  FrameTimer* timer_;
  std::array<ResourceMap, 4> maps_;
};

}  // namespace quarn
