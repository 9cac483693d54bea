#pragma once
// The compressed .x container: after the 16-byte header, the total size (header included) as
// a 32-bit little-endian number, then blocks of [16-bit inflated size][16-bit stored size]
// "CK" and raw deflate data, the stored size counting "CK". Each block is inflated with the
// previous block's output as its dictionary.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quarn::gfx {

class MsZipDecoder {
 public:
  // Inflates the blocks that follow the header into *body (the uncompressed body, without
  // the header). False with the reason in *error when the data is damaged.
  static bool Decode(std::span<const uint8_t> afterHeader, std::vector<uint8_t>* body,
                     std::string* error);
};

}  // namespace quarn::gfx
