#pragma once
// Screen-space textured quads, as the graphics utility library's sprite draws them: the source
// rectangle of a texture is scaled, rotated about a centre, moved to a point, modulated by a
// colour and alpha-blended, in request order. At scale 1 a texel lands on exactly one pixel.
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/RenderDevice.h"

namespace quarn::gfx {

class Sprite {
 public:
  explicit Sprite(platform::RenderDevice& device);
  ~Sprite() = default;
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  // Saves the device states the sprite changes and sets its own. False when already begun.
  bool Begin();
  // Queues one quad (drawn at the latest by End). source null: the whole texture. The quad is
  // scaled about its top-left corner, then rotated by rotation radians (clockwise on screen)
  // about (centerX, centerY), then moved by (x, y). False for a null texture or outside
  // Begin/End.
  bool Draw(platform::Texture* texture, const platform::Rect* source, float scaleX, float scaleY,
            float centerX, float centerY, float rotation, float x, float y, platform::Argb color);
  // Draws what is queued and restores the saved states. False when not begun or a draw failed.
  bool End();

  // The sprite owns no device memory of its own, so loss and reset have nothing to do.
  bool OnLostDevice() { return true; }
  bool OnResetDevice() { return true; }

 private:
  struct Vertex {
    float x, y, z, rhw;
    platform::Argb color;
    float u, v;
  };

  bool Flush();
  void SaveAndSet(platform::RenderState state, uint32_t value);
  void SaveAndSetStage(platform::TextureStageState state, uint32_t value);

  platform::RenderDevice& device_;
  bool begun_ = false;
  bool failed_ = false;
  platform::Texture* batchTexture_ = nullptr;
  std::vector<Vertex> vertices_;
  std::vector<uint16_t> indices_;
  std::vector<std::pair<platform::RenderState, uint32_t>> savedStates_;
  std::vector<std::pair<platform::TextureStageState, uint32_t>> savedStageStates_;
  uint32_t savedFvf_ = 0;
  platform::Texture* savedTexture_ = nullptr;
};

}  // namespace quarn::gfx
