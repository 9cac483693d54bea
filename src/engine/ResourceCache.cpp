#include "engine/ResourceCache.h"

#include <unistd.h>

#include "engine/Archive.h"
#include "engine/ExtractedFile.h"
#include "engine/TimerPauseScope.h"
#include "platform/Diagnostics.h"

namespace quarn {

ResourceCache::ResourceCache(Archive* archive, FrameTimer* timer)
    : archive_(archive), timer_(timer) {}

ResourceCache::~ResourceCache() {
  ClearAll();
}

namespace {
// What the player is told about a file that did not load: missing, or the loader's reason.
std::string LoadFailure(const std::string& path, const CachedResource& object) {
  if (access(path.c_str(), R_OK) != 0)
    return "not found (looked for " + path + ")";
  const std::string why = object.LoadProblem();
  return why.empty() ? "cannot be loaded from " + path : why;
}
}  // namespace

CachedResource* ResourceCache::Find(Kind kind, const std::string& name, Factory make) {
  // Loading time must not count as lag of the main loop.
  const TimerPauseScope pause = timer_ != nullptr ? TimerPauseScope(timer_) : TimerPauseScope();
  ResourceMap& map = maps_[Index(kind)];
  if (auto it = map.find(name); it != map.end())
    return it->second.get();

  std::unique_ptr<CachedResource> object = make();
  bool loaded = false;
  {
    // The copy lives only while the loader reads it.
    const ExtractedFile file(name, true, archive_);
    loaded = object->Load(file.GetPath());
    if (!loaded && !name.empty()) {
      platform::ReportProblem(name, LoadFailure(file.GetPath(), *object));
    }
  }
  if (!loaded) {
    object->Release();
    return nullptr;
  }
  return map.emplace(name, std::move(object)).first->second.get();
}

bool ResourceCache::Adopt(Kind kind, const std::string& name,
                          std::unique_ptr<CachedResource> object) {
  if (object == nullptr)
    return false;
  ResourceMap& map = maps_[Index(kind)];
  if (auto it = map.find(name); it != map.end())
    it->second->Release();
  map[name] = std::move(object);
  return true;
}

void ResourceCache::Clear(Kind kind) {
  ResourceMap& map = maps_[Index(kind)];
  for (auto& [name, object] : map)
    object->Release();
  map.clear();
}

void ResourceCache::ClearAll() {
  Clear(Kind::Texture);
  Clear(Kind::Mesh);
  Clear(Kind::Sound);
  ClearDefinitions();
}

void ResourceCache::ClearDefinitions() {
  Clear(Kind::Definition);
}

}  // namespace quarn
