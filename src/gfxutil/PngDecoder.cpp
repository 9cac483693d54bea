#include "gfxutil/PngDecoder.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

namespace {

static_assert(std::endian::native == std::endian::little,
              "B, G, R, A bytes are read as 0xAARRGGBB words");

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Everything libpng's callbacks touch. libpng reports errors by longjmp back to the
// setjmp in the functions below; only plain data lives in the frames it unwinds.
struct PngSession {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t offset = 0;
  char error[160] = {};
  char warning[160] = {};  // the last one: it often says what the error that follows means
  png_structp png = nullptr;
  png_infop info = nullptr;
};

void OnError(png_structp png, png_const_charp message) {
  auto* session = static_cast<PngSession*>(png_get_error_ptr(png));
  std::strncpy(session->error, message, sizeof session->error - 1);
  png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) {
  auto* session = static_cast<PngSession*>(png_get_error_ptr(png));
  std::strncpy(session->warning, message, sizeof session->warning - 1);
}

std::string Failure(const PngSession& session) {
  std::string text = session.error[0] != 0 ? session.error : "unsupported PNG layout";
  if (session.warning[0] != 0)
    text += std::string(" (") + session.warning + ")";
  return text;
}

void OnRead(png_structp png, png_bytep out, size_t count) {
  auto* session = static_cast<PngSession*>(png_get_io_ptr(png));
  if (count > session->size - session->offset)
    png_error(png, "the file is cut short");
  std::memcpy(out, session->data + session->offset, count);
  session->offset += count;
}

// Bytes of compressed image data: the IDAT chunks' lengths, summed by walking the chunks
// (no more than the file holds).
uint64_t CompressedDataBytes(std::span<const uint8_t> bytes) {
  uint64_t total = 0;
  size_t at = 8;
  while (bytes.size() - at >= 12) {
    const uint32_t length = uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 |
                            uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
    if (std::memcmp(&bytes[at + 4], "IDAT", 4) == 0)
      total += length;
    if (length > bytes.size() - at - 12)
      break;
    at += 12 + size_t{length};
  }
  return total;
}

// Deflate packs at most 1032 bytes into one, so a picture whose rows cannot fit in the
// file's compressed data is refused before its pixels are allocated.
bool DataCanHoldRows(uint64_t compressed, uint64_t rowBytes, uint32_t height) {
  constexpr uint64_t kMaxDeflateRatio = 1032;
  return compressed * kMaxDeflateRatio + 1024 >= (rowBytes + 1) * height;
}

// Reads the header and sets the transformations that turn every kind of PNG into 8-bit
// B, G, R, A bytes (0xAARRGGBB words on a little-endian machine). Returns false on a libpng
// error.
bool ReadHeader(PngSession* s, uint32_t* width, uint32_t* height, bool* alpha,
                uint64_t* fileRowBytes) {
  if (setjmp(png_jmpbuf(s->png)))
    return false;
  png_set_read_fn(s->png, s, OnRead);
  png_set_user_limits(s->png, kMaxImageSide, kMaxImageSide);
  // Chunks that do not change the pixels a texture gets are skipped unread, so that their
  // (possibly huge, compressed) contents cost nothing.
  static const png_byte kIgnored[] =
      "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0"
      "sRGB\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(s->png, PNG_HANDLE_CHUNK_NEVER, kIgnored, sizeof kIgnored / 5);
  png_set_keep_unknown_chunks(s->png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
  png_set_chunk_malloc_max(s->png, 8u << 20);
  png_read_info(s->png, s->info);
  *width = png_get_image_width(s->png, s->info);
  *height = png_get_image_height(s->png, s->info);
  *fileRowBytes = png_get_rowbytes(s->png, s->info);
  const int colorType = png_get_color_type(s->png, s->info);
  const bool hasTrns = png_get_valid(s->png, s->info, PNG_INFO_tRNS) != 0;
  *alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
  png_set_expand(s->png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_scale_16(s->png);
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0)
    png_set_gray_to_rgb(s->png);
  png_set_bgr(s->png);
  png_set_filler(s->png, 0xFF, PNG_FILLER_AFTER);  // alpha for pictures without it
  png_set_interlace_handling(s->png);
  png_read_update_info(s->png, s->info);
  return png_get_rowbytes(s->png, s->info) == size_t{*width} * 4;
}

bool ReadRows(PngSession* s, png_bytepp rows) {
  if (setjmp(png_jmpbuf(s->png)))
    return false;
  png_read_image(s->png, rows);
  png_read_end(s->png, nullptr);
  return true;
}

}  // namespace

bool PngDecoder::Recognises(std::span<const uint8_t> bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool PngDecoder::Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason) {
  if (!Recognises(bytes)) {
    *reason = "not a PNG file (its signature is wrong)";
    return false;
  }
  PngSession session;
  session.data = bytes.data();
  session.size = bytes.size();
  session.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &session, OnError, OnWarning);
  if (session.png != nullptr)
    session.info = png_create_info_struct(session.png);
  if (session.info == nullptr) {
    png_destroy_read_struct(&session.png, nullptr, nullptr);
    *reason = "out of memory";
    return false;
  }
  uint32_t width = 0;
  uint32_t height = 0;
  bool alpha = false;
  uint64_t fileRowBytes = 0;
  bool ok = ReadHeader(&session, &width, &height, &alpha, &fileRowBytes);
  if (!ok)
    *reason = Failure(session);
  if (ok && !DataCanHoldRows(CompressedDataBytes(bytes), fileRowBytes, height)) {
    *reason = "the image data is too short for a " + std::to_string(width) + " x " +
              std::to_string(height) + " picture";
    ok = false;
  }
  if (ok)
    ok = image->Allocate(width, height, reason);
  if (ok) {
    std::vector<png_bytep> rows(height);
    for (uint32_t y = 0; y < height; ++y)
      rows[y] = reinterpret_cast<png_bytep>(&image->At(0, y));
    ok = ReadRows(&session, rows.data());
    if (!ok)
      *reason = Failure(session);
  }
  png_destroy_read_struct(&session.png, &session.info, nullptr);
  if (!ok)
    return false;
  image->fileType = ImageFileType::Png;
  image->SetAlpha(alpha);
  return true;
}

}  // namespace quarn::gfx
