#pragma once
// One 2D draw request of a SpriteBatch, kept until the batch is cleared.
#include "platform/DeviceTypes.h"
#include "render/ScreenPoint.h"

namespace quarn {

class Texture;

struct SpriteRecord {
  Texture* texture = nullptr;  // not owned; null or unloaded draws nothing and fails
  ScreenPoint destination;
  int left = 0;  // source rectangle in texels
  int top = 0;
  int right = 0;
  int bottom = 0;
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  ScreenPoint centre;     // rotation centre, relative to the destination
  float rotation = 0.0f;  // radians
  platform::ColorValue colour{1.0f, 1.0f, 1.0f, 1.0f};
};

}  // namespace quarn
