#include "gfxutil/JpegDecoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <cstddef>
#include <cstdio>

#include <bit>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

namespace {

static_assert(std::endian::native == std::endian::little,
              "B, G, R, A bytes are read as 0xAARRGGBB words");

// A progressive file may hold any number of scans; this many is far beyond any encoder's.
constexpr int kMaxScans = 1000;
// Whole-image buffers of progressive files count against this.
constexpr long kMaxWorkingMemory = 512L << 20;

// libjpeg reports errors by longjmp back to the setjmp in the functions below; only plain
// data lives in the frames it unwinds.
struct JpegSession {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  jpeg_progress_mgr progress{};
  std::jmp_buf jump{};
  char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void Fail(j_common_ptr info, const char* message) {
  auto* session = static_cast<JpegSession*>(info->client_data);
  std::strncpy(session->message, message, sizeof session->message - 1);
  std::longjmp(session->jump, 1);
}

[[noreturn]] void OnError(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  info->err->format_message(info, message);
  Fail(info, message);
}

// Warnings are ignored, except running out of data: libjpeg would pad the rest of the
// picture with grey and call it done.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
    Fail(info, "the file ends before its image data does");
  }
}

void OnProgress(j_common_ptr info) {
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMaxScans)
    Fail(info, "the file holds too many scans");
}

bool ReadHeader(JpegSession* s, std::span<const uint8_t> bytes, uint32_t* width, uint32_t* height,
                bool* cmyk) {
  if (setjmp(s->jump))
    return false;
  jpeg_mem_src(&s->info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&s->info, TRUE);
  *width = s->info.image_width;
  *height = s->info.image_height;
  *cmyk = s->info.jpeg_color_space == JCS_CMYK || s->info.jpeg_color_space == JCS_YCCK;
  s->info.out_color_space = *cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  return true;
}

// Decodes every row into rows[y]: B, G, R, A bytes, or C, M, Y, K bytes for CMYK files.
bool ReadRows(JpegSession* s, uint8_t* const* rows) {
  if (setjmp(s->jump))
    return false;
  jpeg_start_decompress(&s->info);
  while (s->info.output_scanline < s->info.output_height) {
    JSAMPROW row = rows[s->info.output_scanline];
    jpeg_read_scanlines(&s->info, &row, 1);
  }
  jpeg_finish_decompress(&s->info);
  return true;
}

// Adobe writes CMYK inverted (0 = full ink); other writers store ink directly.
platform::Argb FromCmyk(const uint8_t* p, bool inverted) {
  uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
  if (!inverted) {
    c = 255 - c;
    m = 255 - m;
    y = 255 - y;
    k = 255 - k;
  }
  return platform::MakeArgb(255, (c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
}

}  // namespace

bool JpegDecoder::Recognises(std::span<const uint8_t> bytes) {
  return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

bool JpegDecoder::Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason) {
  if (!Recognises(bytes)) {
    *reason = "not a JPEG file";
    return false;
  }
  JpegSession session;
  session.info.err = jpeg_std_error(&session.errors);
  session.errors.error_exit = OnError;
  session.errors.emit_message = OnMessage;
  session.progress.progress_monitor = OnProgress;
  jpeg_create_decompress(&session.info);
  session.info.client_data = &session;
  session.info.progress = &session.progress;
  session.info.mem->max_memory_to_use = kMaxWorkingMemory;

  uint32_t width = 0;
  uint32_t height = 0;
  bool cmyk = false;
  bool ok = ReadHeader(&session, bytes, &width, &height, &cmyk);
  if (!ok)
    *reason = session.message;
  // Every 8 x 8 block of a complete picture costs at least one bit, so a file too short for
  // its declared size is refused before anything that size is allocated.
  if (ok && uint64_t{bytes.size()} * 8 < uint64_t{(width + 7) / 8} * ((height + 7) / 8)) {
    *reason = "the file is too short for a " + std::to_string(width) + " x " +
              std::to_string(height) + " picture";
    ok = false;
  }
  if (ok)
    ok = image->Allocate(width, height, reason);
  std::vector<uint8_t> cmykPixels;
  std::vector<uint8_t*> rows(ok ? height : 0);
  if (ok) {
    if (cmyk)
      cmykPixels.resize(size_t{width} * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
      rows[y] =
          cmyk ? &cmykPixels[size_t{y} * width * 4] : reinterpret_cast<uint8_t*>(&image->At(0, y));
    }
    ok = ReadRows(&session, rows.data());
    if (!ok)
      *reason = session.message;
  }
  const bool inverted = session.info.saw_Adobe_marker != 0;
  jpeg_destroy_decompress(&session.info);
  if (!ok)
    return false;
  if (cmyk) {
    for (size_t i = 0; i < image->pixels.size(); ++i) {
      image->pixels[i] = FromCmyk(&cmykPixels[i * 4], inverted);
    }
  }
  image->fileType = ImageFileType::Jpeg;
  image->SetAlpha(false);
  return true;
}

}  // namespace quarn::gfx
