#pragma once
// What the resource cache holds: an object that loads itself from a file path and can give
// back what it holds. Textures, meshes, wave sounds and definition files all derive from it.
#include <string>

namespace quarn {

class CachedResource {
 public:
  virtual ~CachedResource() = default;
  // Loads from an operating-system path; false when the file cannot be used.
  virtual bool Load(const std::string& path) = 0;
  // Gives back everything loaded (device objects, buffers, parsed content).
  virtual void Release() = 0;
  // Why the last Load failed, in a few words for the player's report; empty when the kind
  // cannot say.
  virtual std::string LoadProblem() const { return {}; }

 protected:
  CachedResource() = default;
  CachedResource(const CachedResource&) = default;
  CachedResource& operator=(const CachedResource&) = default;
};

}  // namespace quarn
