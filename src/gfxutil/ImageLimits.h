#pragma once
// Limits every image decoder applies before it allocates: a damaged or hostile header must
// never make the game reserve gigabytes or overflow a size computation.
#include <cstdint>
#include <string>

namespace quarn::gfx {

inline constexpr uint32_t kMaxImageSide = 16384;
inline constexpr uint64_t kMaxDecodedBytes = 256ull << 20;  // as 32-bit pixels
// A file larger than this is refused before it is read.
inline constexpr uint64_t kMaxImageFileBytes = kMaxDecodedBytes + (16ull << 20);

// True when a width x height picture of 32-bit pixels is within the limits; otherwise false
// with the reason in *reason.
bool CheckImageSize(uint64_t width, uint64_t height, std::string* reason);

}  // namespace quarn::gfx
