#pragma once
// One texture loaded from an image file: the cache entry through which scenes share their
// textures (one per file name, owned by the scene's resource cache).
#include <memory>
#include <string>

#include "platform/RenderDevice.h"

namespace quarn {

class Texture {
 public:
  // device: where textures are made; null for the process's graphics device.
  explicit Texture(platform::RenderDevice* device = nullptr);
  virtual ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Releases what is held, then makes the texture from the image file at path. A file that
  // cannot be used is reported once (by file name, with the reason) and gives false.
  virtual bool Load(const std::string& path);
  virtual void Release();

  // Null when nothing is loaded.
  platform::Texture* GetTexture() const { return texture_.get(); }
  // Why the last Load failed (empty after a success).
  const std::string& LastProblem() const { return problem_; }

 private:
  platform::RenderDevice* Device() const;

  platform::RenderDevice* device_;
  std::unique_ptr<platform::Texture> texture_;
  std::string problem_;
};

}  // namespace quarn
