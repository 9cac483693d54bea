#include "game/ImageSet.h"

#include "render/SpriteBatch.h"

namespace quarn {

void ImageSet::Clear() {
  slots_.fill(ImageSlot{});
}

void ImageSet::Queue(SpriteBatch& sprites) const {
  for (const ImageSlot& slot : slots_) {
    if (slot.texture == nullptr)
      continue;
    sprites.Queue(slot.texture, slot.position, slot.source.left, slot.source.top, slot.source.right,
                  slot.source.bottom, 1.0f, 1.0f, {}, 0.0f, {1.0f, 1.0f, 1.0f, 1.0f});
  }
}

}  // namespace quarn
