#include "gfxutil/MsZipDecoder.h"

#include <zlib.h>

#include <memory>

namespace quarn::gfx {

namespace {

constexpr size_t kHeaderSize = 16;

uint32_t LoadU16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | p[1] << 8);
}

struct InflateEnd {
  void operator()(z_stream* stream) const {
    inflateEnd(stream);
    delete stream;
  }
};
using InflateStream = std::unique_ptr<z_stream, InflateEnd>;

InflateStream MakeRawInflate() {
  auto* stream = new z_stream{};
  if (inflateInit2(stream, -MAX_WBITS) != Z_OK) {
    delete stream;
    return nullptr;
  }
  return InflateStream(stream);
}

// Inflates one block of deflate data into exactly `size` bytes at *out.
bool InflateBlock(z_stream* stream, std::span<const uint8_t> in,
                  std::span<const uint8_t> dictionary, uint8_t* out, uint32_t size) {
  if (inflateReset(stream) != Z_OK)
    return false;
  if (!dictionary.empty() && inflateSetDictionary(stream, dictionary.data(),
                                                  static_cast<uInt>(dictionary.size())) != Z_OK) {
    return false;
  }
  stream->next_in = const_cast<Bytef*>(in.data());
  stream->avail_in = static_cast<uInt>(in.size());
  stream->next_out = out;
  stream->avail_out = size;
  const int result = inflate(stream, Z_FINISH);
  return result == Z_STREAM_END && stream->avail_out == 0;
}

}  // namespace

bool MsZipDecoder::Decode(std::span<const uint8_t> data, std::vector<uint8_t>* body,
                          std::string* error) {
  body->clear();
  if (data.size() < 4) {
    *error = "compressed data too short";
    return false;
  }
  const uint32_t total = LoadU16(&data[0]) | LoadU16(&data[2]) << 16;
  if (total < kHeaderSize) {
    *error = "compressed size field too small";
    return false;
  }
  const size_t expected = total - kHeaderSize;
  InflateStream stream = MakeRawInflate();
  if (!stream) {
    *error = "cannot start decompression";
    return false;
  }
  size_t pos = 4;
  size_t previousBlock = 0;  // offset in *body of the previous block's output
  while (body->size() < expected) {
    if (data.size() - pos < 6) {
      *error = "compressed data ends inside a block header";
      return false;
    }
    const uint32_t inflatedSize = LoadU16(&data[pos]);
    const uint32_t storedSize = LoadU16(&data[pos + 2]);
    if (storedSize < 2 || data[pos + 4] != 'C' || data[pos + 5] != 'K') {
      *error = "compressed block without its CK signature";
      return false;
    }
    if (data.size() - (pos + 4) < storedSize) {
      *error = "compressed block runs past the end of the file";
      return false;
    }
    if (inflatedSize == 0 || inflatedSize > expected - body->size()) {
      *error = "compressed block size does not match the total size";
      return false;
    }
    const std::span<const uint8_t> deflated = data.subspan(pos + 6, storedSize - 2);
    const size_t start = body->size();
    body->resize(start + inflatedSize);
    const std::span<const uint8_t> dictionary(body->data() + previousBlock, start - previousBlock);
    if (!InflateBlock(stream.get(), deflated, dictionary, body->data() + start, inflatedSize)) {
      *error = "damaged compressed block";
      body->clear();
      return false;
    }
    previousBlock = start;
    pos += 4 + storedSize;
  }
  return true;
}

}  // namespace quarn::gfx
