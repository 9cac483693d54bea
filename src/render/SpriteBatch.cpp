#include "render/SpriteBatch.h"

#include <cstdio>

#include "render/Texture.h"

namespace quarn {

SpriteBatch::SpriteBatch(platform::RenderDevice* device) : GraphicsObject(device) {}

SpriteBatch::~SpriteBatch() = default;

uint32_t SpriteBatch::ColourByte(float channel) {
  if (channel >= 1.0f)
    return 255;
  if (channel > 0.0f)
    return static_cast<uint32_t>(channel * 255.0f + 0.5f);
  return 0;
}

platform::Argb SpriteBatch::PackColour(const platform::ColorValue& colour) {
  return platform::MakeArgb(ColourByte(colour.a), ColourByte(colour.r), ColourByte(colour.g),
                            ColourByte(colour.b));
}

bool SpriteBatch::CreateSprite() {
  platform::RenderDevice* device = Device();
  if (device == nullptr)
    return false;
  sprite_ = std::make_unique<gfx::Sprite>(*device);
  return true;
}

void SpriteBatch::ReleaseSprite() {
  sprite_.reset();
}

int SpriteBatch::OnDeviceLost() {
  return sprite_ == nullptr || sprite_->OnLostDevice() ? 1 : 0;
}

int SpriteBatch::OnDeviceReset() {
  return sprite_ == nullptr || sprite_->OnResetDevice() ? 1 : 0;
}

void SpriteBatch::Clear() {
  queue_.clear();
}

SpriteRecord* SpriteBatch::Queue(Texture* texture, ScreenPoint destination, int left, int top,
                                 int right, int bottom, float scaleX, float scaleY,
                                 ScreenPoint centre, float rotation,
                                 const platform::ColorValue& colour) {
  auto record = std::make_unique<SpriteRecord>();
  record->texture = texture;
  record->destination = destination;
  record->left = left;
  record->top = top;
  record->right = right;
  record->bottom = bottom;
  record->scaleX = scaleX;
  record->scaleY = scaleY;
  record->centre = centre;
  record->rotation = rotation;
  record->colour = colour;
  queue_.push_back(std::move(record));
  return queue_.back().get();
}

bool SpriteBatch::QueueNumber(Texture* texture, int cellWidth, int cellHeight, int columns,
                              ScreenPoint destination, int value, int digits,
                              const platform::ColorValue& colour) {
  if (columns <= 0)
    return false;
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%d", value);
  for (int i = 0; i < length; ++i) {
    const int glyph = text[i] - '0';
    if (glyph < 0 || glyph > 9)
      continue;
    const int left = cellWidth * (glyph % columns);
    const int top = cellHeight * (glyph / columns);
    const ScreenPoint cell{destination.x + cellWidth * (i + digits - length), destination.y};
    Queue(texture, cell, left, top, left + cellWidth, top + cellHeight, 1.0f, 1.0f, {}, 0.0f,
          colour);
  }
  return true;
}

bool SpriteBatch::Draw() {
  if (sprite_ == nullptr)
    return false;
  bool result = sprite_->Begin();
  if (result) {
    for (const auto& record : queue_) {
      platform::Texture* texture =
          record->texture != nullptr ? record->texture->GetTexture() : nullptr;
      const platform::Rect source{record->left, record->top, record->right, record->bottom};
      if (!sprite_->Draw(texture, &source, record->scaleX, record->scaleY,
                         static_cast<float>(record->centre.x), static_cast<float>(record->centre.y),
                         record->rotation, static_cast<float>(record->destination.x),
                         static_cast<float>(record->destination.y), PackColour(record->colour))) {
        result = false;
      }
    }
  }
  if (!sprite_->End())
    result = false;
  return result;
}

}  // namespace quarn
