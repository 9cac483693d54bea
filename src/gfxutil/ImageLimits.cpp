#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

bool CheckImageSize(uint64_t width, uint64_t height, std::string* reason) {
  if (width == 0 || height == 0) {
    *reason =
        "the image has no pixels (" + std::to_string(width) + " x " + std::to_string(height) + ")";
    return false;
  }
  if (width > kMaxImageSide || height > kMaxImageSide) {
    *reason = "the image is too large (" + std::to_string(width) + " x " + std::to_string(height) +
              "; at most " + std::to_string(kMaxImageSide) + " on a side)";
    return false;
  }
  if (width * height * 4 > kMaxDecodedBytes) {
    *reason = "the image is too large (" + std::to_string(width) + " x " + std::to_string(height) +
              " needs more than " + std::to_string(kMaxDecodedBytes >> 20) + " MiB)";
    return false;
  }
  return true;
}

}  // namespace quarn::gfx
