#include "gfxutil/XFileReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "gfxutil/MeshBuilder.h"
#include "gfxutil/MsZipDecoder.h"
#include "gfxutil/XBinaryTokenizer.h"
#include "gfxutil/XMeshParser.h"
#include "gfxutil/XTextTokenizer.h"

namespace quarn::gfx {

namespace {

constexpr size_t kHeaderSize = 16;

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ParseBody(XTokenReader& reader, MeshData* out, std::string* error) {
  std::vector<RawXMesh> meshes;
  XMeshParser parser(reader);
  if (!parser.Parse(&meshes, error))
    return false;
  MeshBuilder builder;
  for (const RawXMesh& mesh : meshes)
    builder.Add(mesh);
  return builder.Finish(out, error);
}

}  // namespace

bool XFileReader::Read(std::span<const uint8_t> bytes, MeshData* out, std::string* error) {
  if (bytes.empty()) {
    *error = "empty file";
    return false;
  }
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), "xof ", 4) != 0) {
    *error = "not a .x file (no \"xof \" header)";
    return false;
  }
  const std::string_view header(reinterpret_cast<const char*>(bytes.data()), kHeaderSize);
  const std::string_view format = header.substr(8, 4);
  const std::string_view floatSize = header.substr(12, 4);
  if (floatSize != "0032" && floatSize != "0064") {
    *error = "unknown float size \"" + std::string(floatSize) + "\"";
    return false;
  }
  const bool text = format == "txt " || format == "tzip";
  const bool compressed = format == "tzip" || format == "bzip";
  if (!text && format != "bin " && !compressed) {
    *error = "unknown format \"" + std::string(format) + "\"";
    return false;
  }
  std::span<const uint8_t> body = bytes.subspan(kHeaderSize);
  std::vector<uint8_t> inflated;
  if (compressed) {
    if (!MsZipDecoder::Decode(body, &inflated, error))
      return false;
    body = inflated;
  }
  if (text) {
    XTextTokenizer reader(
        std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
    return ParseBody(reader, out, error);
  }
  XBinaryTokenizer reader(body, floatSize == "0064");
  return ParseBody(reader, out, error);
}

bool XFileReader::ReadFile(const std::string& path, MeshData* out, std::string* error) {
  std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = std::string("cannot open: ") + std::strerror(errno);
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  if (std::ferror(file.get())) {
    *error = "cannot read the file";
    return false;
  }
  return Read(bytes, out, error);
}

}  // namespace quarn::gfx
