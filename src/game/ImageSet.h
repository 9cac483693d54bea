#pragma once
// The 16 image slots of a menu screen: each a texture (or none), the part of it to show and
// where on the screen.
#include <array>

#include "platform/DeviceTypes.h"
#include "render/ScreenPoint.h"

namespace quarn {

class SpriteBatch;
class Texture;

struct ImageSlot {
  Texture* texture = nullptr;  // from the scene's cache, not owned; null: an empty slot
  platform::Rect source;
  ScreenPoint position;
};

class ImageSet {
 public:
  static constexpr int kSlots = 16;

  ImageSlot& operator[](int slot) { return slots_[slot]; }
  const ImageSlot& operator[](int slot) const { return slots_[slot]; }
  // Every slot empty.
  void Clear();
  // Queues each slot that has a texture: its source rectangle at its position, unscaled and
  // opaque white.
  void Queue(SpriteBatch& sprites) const;

 private:
  std::array<ImageSlot, kSlots> slots_;
};

}  // namespace quarn
