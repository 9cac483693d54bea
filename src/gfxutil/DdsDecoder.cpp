#include "gfxutil/DdsDecoder.h"

#include <array>

#include "gfxutil/ColorMask.h"
#include "gfxutil/DxtBlockDecoder.h"
#include "gfxutil/ImageByteReader.h"
#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

namespace {

constexpr uint32_t kMagic = 0x20534444;  // "DDS "
constexpr uint32_t kHeaderSize = 124;
constexpr size_t kDataOffset = 4 + kHeaderSize;

constexpr uint32_t kAlphaPixels = 0x1;
constexpr uint32_t kAlphaOnly = 0x2;
constexpr uint32_t kFourCc = 0x4;
constexpr uint32_t kRgb = 0x40;
constexpr uint32_t kLuminance = 0x20000;

constexpr uint32_t FourCc(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
         uint32_t(uint8_t(d)) << 24;
}

struct DdsHeader {
  uint32_t headerSize = 0;
  uint32_t height = 0;
  uint32_t width = 0;
  uint32_t formatFlags = 0;
  uint32_t fourCc = 0;
  uint32_t bitCount = 0;
  std::array<uint32_t, 4> masks{};  // red (or luminance), green, blue, alpha
};

DdsHeader ReadHeader(ImageByteReader& in) {
  DdsHeader h;
  in.Skip(4);
  h.headerSize = in.U32();
  in.Skip(4);  // flags: the sizes and format below are read whatever they claim
  h.height = in.U32();
  h.width = in.U32();
  in.Skip(4 * 3 + 4 * 11);  // pitch, depth, mip count (our own chain is built), reserved
  in.Skip(4);               // pixel format size
  h.formatFlags = in.U32();
  h.fourCc = in.U32();
  h.bitCount = in.U32();
  for (uint32_t& mask : h.masks)
    mask = in.U32();
  in.Skip(4 * 5);  // caps and reserved
  return h;
}

std::string FourCcText(uint32_t code) {
  std::string text;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
    if (c < 0x20 || c > 0x7E)
      return std::to_string(code);
    text += c;
  }
  return "'" + text + "'";
}

bool BlockFormat(uint32_t fourCc, platform::Format* format, std::string* reason) {
  switch (fourCc) {
    case FourCc('D', 'X', 'T', '1'):
      *format = platform::Format::Dxt1;
      return true;
    case FourCc('D', 'X', 'T', '3'):
      *format = platform::Format::Dxt3;
      return true;
    case FourCc('D', 'X', 'T', '5'):
      *format = platform::Format::Dxt5;
      return true;
    case FourCc('D', 'X', '1', '0'):
      *reason = "DDS files with the extended (DX10) header are not supported";
      return false;
    default:
      *reason = "unsupported DDS compressed format " + FourCcText(fourCc);
      return false;
  }
}

bool DecodeBlocks(std::span<const uint8_t> bytes, const DdsHeader& h, Image* image,
                  std::string* reason) {
  platform::Format format;
  if (!BlockFormat(h.fourCc, &format, reason))
    return false;
  const uint64_t size = DxtBlockDecoder::SurfaceBytes(format, h.width, h.height);
  if (size > bytes.size() - kDataOffset) {
    *reason = "the file is cut short in its pixel data";
    return false;
  }
  if (!image->Allocate(h.width, h.height, reason))
    return false;
  DxtBlockDecoder::DecodeSurface(format, bytes.subspan(kDataOffset), image);
  bool anyTransparent = false;
  for (platform::Argb p : image->pixels)
    anyTransparent |= (p >> 24) != 0xFF;
  image->hasAlpha = format != platform::Format::Dxt1 || anyTransparent;
  image->format = format;
  return true;
}

// Masks of an uncompressed format: red, green, blue, alpha (luminance goes to all three).
bool PixelMasks(const DdsHeader& h, std::array<ColorMask, 4>* masks, bool* grey,
                std::string* reason) {
  const uint32_t flags = h.formatFlags;
  const bool alpha = (flags & (kAlphaPixels | kAlphaOnly)) != 0;
  *grey = (flags & kLuminance) != 0;
  if ((flags & kRgb) != 0) {
    if (h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 && h.bitCount != 32) {
      *reason = "unsupported RGB pixel size " + std::to_string(h.bitCount);
      return false;
    }
    if (h.masks[0] == 0 && h.masks[1] == 0 && h.masks[2] == 0) {
      *reason = "the RGB pixel format has no colour masks";
      return false;
    }
  } else if (*grey) {
    if (h.bitCount != 8 && h.bitCount != 16) {
      *reason = "unsupported luminance pixel size " + std::to_string(h.bitCount);
      return false;
    }
    if (h.masks[0] == 0) {
      *reason = "the luminance pixel format has no mask";
      return false;
    }
  } else if ((flags & kAlphaOnly) != 0) {
    if (h.bitCount != 8) {
      *reason = "unsupported alpha pixel size " + std::to_string(h.bitCount);
      return false;
    }
  } else {
    *reason = "unsupported DDS pixel format (flags " + std::to_string(flags) + ")";
    return false;
  }
  const uint32_t alphaMask = alpha ? h.masks[3] : 0;
  for (uint32_t mask : {h.masks[0], h.masks[1], h.masks[2], alphaMask}) {
    if (h.bitCount < 32 && (mask >> h.bitCount) != 0) {
      *reason = "a colour mask reaches past the " + std::to_string(h.bitCount) + "-bit pixel";
      return false;
    }
  }
  const bool colour = (flags & (kRgb | kLuminance)) != 0;
  *masks = {ColorMask(colour ? h.masks[0] : 0), ColorMask(colour && !*grey ? h.masks[1] : 0),
            ColorMask(colour && !*grey ? h.masks[2] : 0), ColorMask(alphaMask)};
  return true;
}

bool DecodeUncompressed(std::span<const uint8_t> bytes, const DdsHeader& h, Image* image,
                        std::string* reason) {
  std::array<ColorMask, 4> masks;
  bool grey = false;
  if (!PixelMasks(h, &masks, &grey, reason))
    return false;
  const uint32_t pixelBytes = h.bitCount / 8;
  const uint64_t pitch = uint64_t{h.width} * pixelBytes;
  if (pitch * h.height > bytes.size() - kDataOffset) {
    *reason = "the file is cut short in its pixel data";
    return false;
  }
  if (!image->Allocate(h.width, h.height, reason))
    return false;
  for (uint32_t y = 0; y < h.height; ++y) {
    const uint8_t* row = bytes.data() + kDataOffset + y * pitch;
    for (uint32_t x = 0; x < h.width; ++x) {
      uint32_t value = 0;
      for (uint32_t i = 0; i < pixelBytes; ++i)
        value |= uint32_t{row[x * pixelBytes + i]} << 8 * i;
      const uint8_t red = masks[0].Extract(value);
      const uint8_t alpha = masks[3].Empty() ? 255 : masks[3].Extract(value);
      image->At(x, y) =
          grey ? platform::MakeArgb(alpha, red, red, red)
               : platform::MakeArgb(alpha, red, masks[1].Extract(value), masks[2].Extract(value));
    }
  }
  image->SetAlpha(!masks[3].Empty());
  return true;
}

}  // namespace

bool DdsDecoder::Recognises(std::span<const uint8_t> bytes) {
  ImageByteReader in(bytes);
  return in.U32() == kMagic;
}

bool DdsDecoder::Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason) {
  ImageByteReader in(bytes);
  if (in.U32() != kMagic) {
    *reason = "not a DDS file";
    return false;
  }
  ImageByteReader headerIn(bytes);
  const DdsHeader h = ReadHeader(headerIn);
  if (!headerIn.Ok()) {
    *reason = "the file is cut short in its header";
    return false;
  }
  if (h.headerSize != kHeaderSize) {
    *reason = "the DDS header size is " + std::to_string(h.headerSize) + ", not 124";
    return false;
  }
  if (!CheckImageSize(h.width, h.height, reason))
    return false;
  image->fileType = ImageFileType::Dds;
  if ((h.formatFlags & kFourCc) != 0)
    return DecodeBlocks(bytes, h, image, reason);
  return DecodeUncompressed(bytes, h, image, reason);
}

}  // namespace quarn::gfx
