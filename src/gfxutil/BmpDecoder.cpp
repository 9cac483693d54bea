#include "gfxutil/BmpDecoder.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "gfxutil/ColorMask.h"
#include "gfxutil/ImageByteReader.h"
#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kAlphaBitFields = 6,
};

struct BmpHeader {
  uint32_t headerSize = 0;
  uint32_t pixelOffset = 0;
  int64_t width = 0;
  int64_t height = 0;  // negative: rows run top to bottom
  uint32_t planes = 0;
  uint32_t bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
  size_t paletteOffset = 0;
  uint32_t paletteEntrySize = 4;
};

bool IsKnownHeaderSize(uint32_t size) {
  return size == kCoreHeaderSize || size == 40 || size == 52 || size == 56 || size == 108 ||
         size == 124;
}

bool ReadHeader(std::span<const uint8_t> bytes, BmpHeader* h, std::string* reason) {
  ImageByteReader in(bytes);
  if (in.U16() != 0x4D42) {
    *reason = "not a BMP file";
    return false;
  }
  in.Skip(8);
  h->pixelOffset = in.U32();
  h->headerSize = in.U32();
  if (!in.Ok()) {
    *reason = "the file is cut short in its header";
    return false;
  }
  if (!IsKnownHeaderSize(h->headerSize)) {
    *reason = "unsupported BMP header size " + std::to_string(h->headerSize);
    return false;
  }
  if (h->headerSize == kCoreHeaderSize) {
    h->width = in.U16();
    h->height = in.U16();
    h->planes = in.U16();
    h->bitCount = in.U16();
    h->paletteEntrySize = 3;
  } else {
    h->width = in.I32();
    h->height = in.I32();
    h->planes = in.U16();
    h->bitCount = in.U16();
    h->compression = in.U32();
    in.Skip(12);  // image size and resolution: nothing here depends on them
    h->colorsUsed = in.U32();
    in.Skip(4);
    // Masks follow a 40-byte header as a separate block, or sit inside a longer header.
    const bool maskBlock =
        h->headerSize == 40 && (h->compression == kBitFields || h->compression == kAlphaBitFields);
    if (h->headerSize > 40 || maskBlock) {
      const uint32_t maskCount = h->headerSize >= 56 || h->compression == kAlphaBitFields ? 4 : 3;
      for (uint32_t i = 0; i < maskCount; ++i)
        h->masks[i] = in.U32();
    }
  }
  if (!in.Ok()) {
    *reason = "the file is cut short in its header";
    return false;
  }
  h->paletteOffset = kFileHeaderSize + h->headerSize;
  if (h->headerSize == 40) {
    if (h->compression == kBitFields)
      h->paletteOffset += 12;
    if (h->compression == kAlphaBitFields)
      h->paletteOffset += 16;
  }
  return true;
}

bool CheckHeader(const BmpHeader& h, std::string* reason) {
  if (h.planes != 1) {
    *reason = "the plane count is " + std::to_string(h.planes) + ", not 1";
    return false;
  }
  if (h.width <= 0) {
    *reason = "the width is " + std::to_string(h.width);
    return false;
  }
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  if (rle && h.height < 0) {
    *reason = "a run-length encoded bitmap cannot be stored top-down";
    return false;
  }
  switch (h.compression) {
    case kRgb:
      if (h.bitCount == 1 || h.bitCount == 4 || h.bitCount == 8 || h.bitCount == 16 ||
          h.bitCount == 24 || h.bitCount == 32) {
        return true;
      }
      break;
    case kRle8:
      if (h.bitCount == 8)
        return true;
      break;
    case kRle4:
      if (h.bitCount == 4)
        return true;
      break;
    case kBitFields:
    case kAlphaBitFields:
      if (h.bitCount == 16 || h.bitCount == 32)
        return true;
      break;
    default:
      *reason = "unsupported BMP compression " + std::to_string(h.compression);
      return false;
  }
  *reason = "unsupported bit count " + std::to_string(h.bitCount) + " for compression " +
            std::to_string(h.compression);
  return false;
}

// Colours of an indexed bitmap; indices past the stored entries read as opaque black.
bool ReadPalette(std::span<const uint8_t> bytes, const BmpHeader& h,
                 std::array<platform::Argb, 256>* palette, std::string* reason) {
  palette->fill(0xFF000000u);
  if (h.bitCount > 8)
    return true;
  const uint32_t maximum = 1u << h.bitCount;
  uint32_t count = h.colorsUsed == 0 ? maximum : h.colorsUsed;
  if (count > maximum)
    count = maximum;  // more colours than indices can reach
  ImageByteReader in(bytes, h.paletteOffset);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t blue = in.U8();
    const uint8_t green = in.U8();
    const uint8_t red = in.U8();
    if (h.paletteEntrySize == 4)
      in.U8();
    (*palette)[i] = platform::MakeArgb(255, red, green, blue);
  }
  if (!in.Ok()) {
    *reason = "the file is cut short in its palette";
    return false;
  }
  return true;
}

// Output row of a stored row: bitmaps are stored bottom-up unless the height is negative.
uint32_t TargetRow(const BmpHeader& h, uint32_t storedRow, uint32_t height) {
  return h.height < 0 ? storedRow : height - 1 - storedRow;
}

std::array<ColorMask, 4> MasksFor(const BmpHeader& h) {
  if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
    return {ColorMask(h.masks[0]), ColorMask(h.masks[1]), ColorMask(h.masks[2]),
            ColorMask(h.compression == kAlphaBitFields || h.headerSize >= 56 ? h.masks[3] : 0)};
  }
  if (h.bitCount == 16)
    return {ColorMask(0x7C00), ColorMask(0x03E0), ColorMask(0x001F), {}};
  return {ColorMask(0xFF0000), ColorMask(0x00FF00), ColorMask(0x0000FF), {}};
}

uint64_t RowStride(const BmpHeader& h) {
  return (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
}

// Uncompressed rows must all be in the file (checked before the picture is allocated).
bool HasPixelData(std::span<const uint8_t> bytes, const BmpHeader& h) {
  const uint64_t needed = RowStride(h) * static_cast<uint64_t>(std::llabs(h.height));
  return h.pixelOffset <= bytes.size() && needed <= bytes.size() - h.pixelOffset;
}

void DecodeUncompressed(std::span<const uint8_t> bytes, const BmpHeader& h,
                        const std::array<platform::Argb, 256>& palette, Image* image) {
  const uint64_t stride = RowStride(h);
  const std::array<ColorMask, 4> masks = MasksFor(h);
  for (uint32_t row = 0; row < image->height; ++row) {
    const uint8_t* src = bytes.data() + h.pixelOffset + row * stride;
    const uint32_t y = TargetRow(h, row, image->height);
    for (uint32_t x = 0; x < image->width; ++x) {
      platform::Argb& out = image->At(x, y);
      switch (h.bitCount) {
        case 1:
          out = palette[(src[x / 8] >> (7 - x % 8)) & 1];
          break;
        case 4:
          out = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
          break;
        case 8:
          out = palette[src[x]];
          break;
        case 24:
          out = platform::MakeArgb(255, src[3 * x + 2], src[3 * x + 1], src[3 * x]);
          break;
        default: {
          const uint32_t value = h.bitCount == 16
                                     ? uint32_t{src[2 * x]} | uint32_t{src[2 * x + 1]} << 8
                                     : uint32_t{src[4 * x]} | uint32_t{src[4 * x + 1]} << 8 |
                                           uint32_t{src[4 * x + 2]} << 16 |
                                           uint32_t{src[4 * x + 3]} << 24;
          const uint8_t alpha = masks[3].Empty() ? 255 : masks[3].Extract(value);
          out = platform::MakeArgb(alpha, masks[0].Extract(value), masks[1].Extract(value),
                                   masks[2].Extract(value));
        }
      }
    }
  }
}

// Run-length encoded indices, bottom row first. Runs that would leave the picture are cut
// at its edge; a stream that ends without its end marker keeps what was decoded.
void DecodeRle(std::span<const uint8_t> bytes, const BmpHeader& h, uint32_t width, uint32_t height,
               std::vector<uint8_t>* indices) {
  const bool four = h.compression == kRle4;
  ImageByteReader in(bytes, h.pixelOffset);
  uint64_t x = 0;
  uint64_t y = 0;
  auto put = [&](uint64_t at, uint8_t index) {
    if (at < width && y < height)
      (*indices)[y * width + at] = index;
  };
  while (in.Ok() && y < height) {
    const uint8_t count = in.U8();
    const uint8_t value = in.U8();
    if (!in.Ok())
      break;
    if (count > 0) {
      for (uint32_t i = 0; i < count; ++i) {
        put(x + i, four ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value);
      }
      x += count;
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      x += in.U8();
      y += in.U8();
    } else {
      const uint32_t byteCount = four ? (value + 1u) / 2 : value;
      const std::span<const uint8_t> run = in.Take(byteCount);
      if (!in.Ok())
        break;
      for (uint32_t i = 0; i < value; ++i) {
        put(x + i, four ? (i % 2 == 0 ? run[i / 2] >> 4 : run[i / 2] & 0xF) : run[i]);
      }
      x += value;
      if (byteCount % 2 != 0)
        in.Skip(1);
    }
  }
}

}  // namespace

bool BmpDecoder::Recognises(std::span<const uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

bool BmpDecoder::Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason) {
  BmpHeader h;
  if (!ReadHeader(bytes, &h, reason) || !CheckHeader(h, reason))
    return false;
  const uint64_t height = static_cast<uint64_t>(std::llabs(h.height));
  if (!CheckImageSize(static_cast<uint64_t>(h.width), height, reason))
    return false;
  std::array<platform::Argb, 256> palette{};
  if (!ReadPalette(bytes, h, &palette, reason))
    return false;
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  if (!rle && !HasPixelData(bytes, h)) {
    *reason = "the file is cut short in its pixel data";
    return false;
  }
  if (!image->Allocate(static_cast<uint32_t>(h.width), static_cast<uint32_t>(height), reason)) {
    return false;
  }
  image->fileType = ImageFileType::Bmp;
  if (rle) {
    std::vector<uint8_t> indices(image->pixels.size(), 0);
    DecodeRle(bytes, h, image->width, image->height, &indices);
    for (uint32_t y = 0; y < image->height; ++y) {
      for (uint32_t x = 0; x < image->width; ++x) {
        image->At(x, image->height - 1 - y) = palette[indices[size_t{y} * image->width + x]];
      }
    }
    image->SetAlpha(false);
    return true;
  }
  DecodeUncompressed(bytes, h, palette, image);
  const bool alphaMask = MasksFor(h)[3].Mask() != 0;
  image->SetAlpha(alphaMask);
  if (alphaMask)
    image->DropUnusedAlpha();
  return true;
}

}  // namespace quarn::gfx
