#include "gfxutil/TgaDecoder.h"

#include <algorithm>
#include <vector>

#include "gfxutil/ImageByteReader.h"
#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

namespace {

constexpr size_t kHeaderSize = 18;

struct TgaHeader {
  uint8_t idLength = 0;
  uint8_t colorMapType = 0;
  uint8_t imageType = 0;
  uint16_t mapFirst = 0;
  uint16_t mapLength = 0;
  uint8_t mapEntryBits = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t pixelBits = 0;
  uint8_t descriptor = 0;

  bool ColorMapped() const { return (imageType & 7) == 1; }
  bool Grey() const { return (imageType & 7) == 3; }
  bool RunLength() const { return imageType >= 9; }
  uint32_t AlphaBits() const { return descriptor & 0x0F; }
  bool TopDown() const { return (descriptor & 0x20) != 0; }
  bool RightToLeft() const { return (descriptor & 0x10) != 0; }
};

TgaHeader ReadHeader(std::span<const uint8_t> bytes) {
  ImageByteReader in(bytes);
  TgaHeader h;
  h.idLength = in.U8();
  h.colorMapType = in.U8();
  h.imageType = in.U8();
  h.mapFirst = in.U16();
  h.mapLength = in.U16();
  h.mapEntryBits = in.U8();
  in.Skip(4);  // screen origin
  h.width = in.U16();
  h.height = in.U16();
  h.pixelBits = in.U8();
  h.descriptor = in.U8();
  return h;
}

bool IsEntryBits(uint8_t bits) {
  return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// Why the header cannot be decoded, or empty when it can.
std::string HeaderProblem(const TgaHeader& h) {
  if (h.colorMapType > 1)
    return "unknown colour map type " + std::to_string(h.colorMapType);
  const uint8_t type = h.imageType;
  if (type == 0)
    return "the file holds no image";
  if (!(type == 1 || type == 2 || type == 3 || type == 9 || type == 10 || type == 11)) {
    return "unsupported TGA image type " + std::to_string(type);
  }
  if (h.colorMapType == 1 && !IsEntryBits(h.mapEntryBits)) {
    return "unsupported colour map entry size " + std::to_string(h.mapEntryBits);
  }
  if (h.ColorMapped()) {
    if (h.colorMapType != 1)
      return "a colour-mapped image without a colour map";
    if (h.pixelBits != 8 && h.pixelBits != 16) {
      return "unsupported index size " + std::to_string(h.pixelBits);
    }
  } else if (h.Grey()) {
    if (h.pixelBits != 8 && h.pixelBits != 16) {
      return "unsupported grey pixel size " + std::to_string(h.pixelBits);
    }
  } else if (!IsEntryBits(h.pixelBits)) {
    return "unsupported pixel size " + std::to_string(h.pixelBits);
  }
  if ((h.descriptor & 0xC0) != 0)
    return "interleaved TGA rows are not supported";
  if (h.width == 0 || h.height == 0)
    return "the image has no pixels";
  return {};
}

// 15- and 16-bit colours: x RRRRR GGGGG BBBBB, the top bit as alpha when the file says so.
platform::Argb From16(uint32_t value, bool useAlpha) {
  const auto widen = [](uint32_t five) { return (five << 3) | (five >> 2); };
  const uint32_t alpha = useAlpha ? ((value & 0x8000) != 0 ? 255 : 0) : 255;
  return platform::MakeArgb(alpha, widen((value >> 10) & 31), widen((value >> 5) & 31),
                            widen(value & 31));
}

// One colour (a map entry or a true-colour pixel) of the given size, little-endian BGR(A).
platform::Argb ColorFrom(const uint8_t* p, uint32_t bits, bool useAlpha) {
  switch (bits) {
    case 15:
    case 16:
      return From16(uint32_t{p[0]} | uint32_t{p[1]} << 8, bits == 16 && useAlpha);
    case 24:
      return platform::MakeArgb(255, p[2], p[1], p[0]);
    default:
      return platform::MakeArgb(p[3], p[2], p[1], p[0]);
  }
}

// Expands raw or run-length packets into one element per pixel, in file order. Packets may
// run across the end of a row.
bool ReadElements(ImageByteReader& in, const TgaHeader& h, size_t elementSize, size_t count,
                  std::vector<uint8_t>* out) {
  out->resize(count * elementSize);
  if (!h.RunLength()) {
    const std::span<const uint8_t> raw = in.Take(out->size());
    if (!in.Ok())
      return false;
    std::copy(raw.begin(), raw.end(), out->begin());
    return true;
  }
  size_t done = 0;
  while (done < count) {
    const uint8_t packet = in.U8();
    const size_t length = std::min<size_t>((packet & 0x7F) + 1u, count - done);
    if ((packet & 0x80) != 0) {
      const std::span<const uint8_t> element = in.Take(elementSize);
      if (!in.Ok())
        return false;
      for (size_t i = 0; i < length; ++i) {
        std::copy(element.begin(), element.end(), out->begin() + (done + i) * elementSize);
      }
    } else {
      // A raw packet that overshoots the picture is cut; its extra elements are skipped.
      const std::span<const uint8_t> raw = in.Take(((packet & 0x7F) + 1u) * elementSize);
      if (!in.Ok())
        return false;
      std::copy(raw.begin(), raw.begin() + static_cast<ptrdiff_t>(length * elementSize),
                out->begin() + done * elementSize);
    }
    done += length;
  }
  return true;
}

}  // namespace

bool TgaDecoder::Recognises(std::span<const uint8_t> bytes) {
  return bytes.size() >= kHeaderSize && HeaderProblem(ReadHeader(bytes)).empty();
}

bool TgaDecoder::Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason) {
  if (bytes.size() < kHeaderSize) {
    *reason = "the file is cut short in its header";
    return false;
  }
  const TgaHeader h = ReadHeader(bytes);
  if (std::string problem = HeaderProblem(h); !problem.empty()) {
    *reason = std::move(problem);
    return false;
  }
  if (!CheckImageSize(h.width, h.height, reason))
    return false;
  ImageByteReader in(bytes, kHeaderSize);
  in.Skip(h.idLength);
  const size_t entrySize = (h.mapEntryBits + 7u) / 8;
  std::vector<platform::Argb> map;
  if (h.colorMapType == 1) {
    const std::span<const uint8_t> entries = in.Take(entrySize * h.mapLength);
    if (h.ColorMapped()) {
      for (size_t i = 0; in.Ok() && i < h.mapLength; ++i) {
        map.push_back(ColorFrom(&entries[i * entrySize], h.mapEntryBits, h.AlphaBits() > 0));
      }
    }
  }
  if (!in.Ok()) {
    *reason = "the file is cut short in its colour map";
    return false;
  }
  // Refuse a file too short for its picture before anything is allocated: raw pixels take
  // their full size, a run-length packet covers at most 128 of them.
  const size_t elementSize = (h.pixelBits + 7u) / 8;
  const size_t pixelCount = size_t{h.width} * h.height;
  const size_t least =
      h.RunLength() ? (pixelCount + 127) / 128 * (1 + elementSize) : pixelCount * elementSize;
  const char* const kShort = "the file is cut short in its pixel data";
  if (in.Remaining() < least) {
    *reason = kShort;
    return false;
  }
  if (!image->Allocate(h.width, h.height, reason))
    return false;
  std::vector<uint8_t> elements;
  if (!ReadElements(in, h, elementSize, pixelCount, &elements)) {
    *reason = kShort;
    return false;
  }
  image->fileType = ImageFileType::Tga;

  for (uint32_t row = 0; row < h.height; ++row) {
    const uint32_t y = h.TopDown() ? row : h.height - 1 - row;
    for (uint32_t column = 0; column < h.width; ++column) {
      const uint32_t x = h.RightToLeft() ? h.width - 1 - column : column;
      const uint8_t* p = &elements[(size_t{row} * h.width + column) * elementSize];
      platform::Argb& out = image->At(x, y);
      if (h.ColorMapped()) {
        const uint32_t index = elementSize == 1 ? p[0] : uint32_t{p[0]} | uint32_t{p[1]} << 8;
        out = index >= h.mapFirst && index - h.mapFirst < map.size() ? map[index - h.mapFirst]
                                                                     : 0xFF000000u;
      } else if (h.Grey()) {
        out = platform::MakeArgb(elementSize == 2 ? p[1] : 255, p[0], p[0], p[0]);
      } else {
        out = ColorFrom(p, h.pixelBits, h.AlphaBits() > 0);
      }
    }
  }

  const uint32_t colorBits = h.ColorMapped() ? h.mapEntryBits : h.pixelBits;
  const bool alpha =
      h.Grey() ? h.pixelBits == 16 : colorBits == 32 || (colorBits == 16 && h.AlphaBits() > 0);
  image->SetAlpha(alpha);
  if (alpha)
    image->DropUnusedAlpha();
  return true;
}

}  // namespace quarn::gfx
