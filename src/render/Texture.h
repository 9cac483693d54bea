#pragma once
// One texture loaded from an image file: the cache entry through which scenes share their
// textures (one per file name, owned by the scene's resource cache).
#include <memory>
#include <string>

#include "engine/CachedResource.h"
#include "platform/RenderDevice.h"

namespace quarn {

class Texture : public CachedResource {
 public:
  // device: where textures are made; null for the process's graphics device.
  explicit Texture(platform::RenderDevice* device = nullptr);
  ~Texture() override;
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  // Releases what is held, then makes the texture from the image file at path.
  bool Load(const std::string& path) override;
  void Release() override;
  // Holds a texture made elsewhere (a render target drawn through the sprites) in place of
  // any loaded one.
  void Attach(std::unique_ptr<platform::Texture> texture);
  // Why the last Load failed (empty after a success).
  std::string LoadProblem() const override { return problem_; }

  // Null when nothing is loaded.
  platform::Texture* GetTexture() const { return texture_.get(); }

 private:
  platform::RenderDevice* Device() const;

  platform::RenderDevice* device_;
  std::unique_ptr<platform::Texture> texture_;
  std::string problem_;
};

}  // namespace quarn
