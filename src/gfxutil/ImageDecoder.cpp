#include "gfxutil/ImageDecoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "gfxutil/BmpDecoder.h"
#include "gfxutil/DdsDecoder.h"
#include "gfxutil/ImageLimits.h"
#include "gfxutil/JpegDecoder.h"
#include "gfxutil/PngDecoder.h"
#include "gfxutil/TgaDecoder.h"

namespace quarn::gfx {

namespace {

// A PNG whose signature was mangled in transfer (line-end conversion, a flipped byte) still
// has its header chunk where a good one would.
bool LooksLikeDamagedPng(std::span<const uint8_t> bytes) {
  return bytes.size() >= 16 && std::memcmp(bytes.data() + 12, "IHDR", 4) == 0;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

ImageFileType ImageDecoder::Recognise(std::span<const uint8_t> bytes) {
  if (PngDecoder::Recognises(bytes))
    return ImageFileType::Png;
  if (JpegDecoder::Recognises(bytes))
    return ImageFileType::Jpeg;
  if (DdsDecoder::Recognises(bytes))
    return ImageFileType::Dds;
  if (BmpDecoder::Recognises(bytes))
    return ImageFileType::Bmp;
  if (TgaDecoder::Recognises(bytes))
    return ImageFileType::Tga;
  return ImageFileType::Unknown;
}

bool ImageDecoder::Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason) {
  switch (Recognise(bytes)) {
    case ImageFileType::Png:
      return PngDecoder::Decode(bytes, image, reason);
    case ImageFileType::Jpeg:
      return JpegDecoder::Decode(bytes, image, reason);
    case ImageFileType::Dds:
      return DdsDecoder::Decode(bytes, image, reason);
    case ImageFileType::Bmp:
      return BmpDecoder::Decode(bytes, image, reason);
    case ImageFileType::Tga:
      return TgaDecoder::Decode(bytes, image, reason);
    case ImageFileType::Unknown:
      break;
  }
  if (bytes.empty()) {
    *reason = "the file is empty";
  } else if (LooksLikeDamagedPng(bytes)) {
    *reason = "not a PNG file (its signature is damaged)";
  } else {
    *reason = "not an image file of a known kind (PNG, JPEG, BMP, TGA, DDS)";
  }
  return false;
}

bool ImageDecoder::ReadFile(const std::string& path, std::vector<uint8_t>* bytes,
                            std::string* reason) {
  const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat status {};
  if (file.Get() < 0 || fstat(file.Get(), &status) != 0) {
    *reason = std::string("cannot open the file (") + std::strerror(errno) + ")";
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    *reason = "not a regular file";
    return false;
  }
  if (static_cast<uint64_t>(status.st_size) > kMaxImageFileBytes) {
    *reason =
        "the file is too large for an image (" + std::to_string(status.st_size >> 20) + " MiB)";
    return false;
  }
  bytes->resize(static_cast<size_t>(status.st_size));
  size_t done = 0;
  while (done < bytes->size()) {
    const ssize_t got = read(file.Get(), bytes->data() + done, bytes->size() - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      *reason = got < 0 ? std::string("cannot read the file (") + std::strerror(errno) + ")"
                        : std::string("the file became shorter while it was read");
      return false;
    }
    done += static_cast<size_t>(got);
  }
  return true;
}

bool ImageDecoder::DecodeFile(const std::string& path, Image* image, std::string* reason) {
  std::vector<uint8_t> bytes;
  return ReadFile(path, &bytes, reason) && Decode(bytes, image, reason);
}

}  // namespace quarn::gfx
