#pragma once
// A scene's 2D drawing: requests are queued during a frame and drawn in one pass, in request
// order, through the screen-space sprite. The queue stays until Clear, so the same requests can
// be drawn again (into a render target, then the back buffer).
#include <memory>
#include <vector>

#include "engine/DeviceResource.h"
#include "gfxutil/Sprite.h"
#include "render/GraphicsObject.h"
#include "render/SpriteRecord.h"

namespace quarn {

class Texture;

class SpriteBatch : public GraphicsObject, public DeviceResource {
 public:
  // device: where to draw; null: the process's graphics device. Registers for loss and reset
  // notices with the process's graphics device.
  explicit SpriteBatch(platform::RenderDevice* device = nullptr);
  ~SpriteBatch() override;
  SpriteBatch(const SpriteBatch&) = delete;
  SpriteBatch& operator=(const SpriteBatch&) = delete;

  // Begins the sprite, draws every record, ends it (also after a failed begin). False when
  // there is no sprite or anything failed; a failed record does not stop the others.
  bool Draw() override;
  // Makes the sprite on the device; false without a device.
  virtual bool CreateSprite();
  virtual void ReleaseSprite();

  int OnDeviceLost() override;
  int OnDeviceReset() override;

  void Clear();
  // Appends a copy of the request; the record stays owned by the batch.
  SpriteRecord* Queue(Texture* texture, ScreenPoint destination, int left, int top, int right,
                      int bottom, float scaleX, float scaleY, ScreenPoint centre, float rotation,
                      const platform::ColorValue& colour);
  // value in decimal, right-aligned in a field of digits cells that starts at destination (a
  // longer number runs out to the left). Glyph k ("0" to "9") is cell k of a grid of columns
  // cells per row. A minus sign keeps its cell but draws nothing: the grid has no glyph for it.
  // False, queueing nothing, for a grid of no columns.
  bool QueueNumber(Texture* texture, int cellWidth, int cellHeight, int columns,
                   ScreenPoint destination, int value, int digits,
                   const platform::ColorValue& colour);

  const std::vector<std::unique_ptr<SpriteRecord>>& Records() const { return queue_; }
  bool HasSprite() const { return sprite_ != nullptr; }

  // A colour channel as a byte: 255 from 1 up, rounded above 0, else 0.
  static uint32_t ColourByte(float channel);
  static platform::Argb PackColour(const platform::ColorValue& colour);

 private:
  std::unique_ptr<gfx::Sprite> sprite_;
  std::vector<std::unique_ptr<SpriteRecord>> queue_;
};

}  // namespace quarn
