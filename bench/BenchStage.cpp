#include "BenchStage.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace quarn::bench {

namespace {
void AppendU32(std::string* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes->push_back(static_cast<char>(value >> (8 * i)));
}

// The archive's record format: name length, name, data length, data.
bool WriteArchive(const std::string& path, const BenchDevices::Records& records) {
  std::string bytes;
  for (const auto& [name, data] : records) {
    AppendU32(&bytes, static_cast<uint32_t>(name.size()));
    bytes += name;
    AppendU32(&bytes, static_cast<uint32_t>(data.size()));
    bytes += data;
  }
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

std::string TempParent(const testing::TempFolder& folder) {
  if (folder.Path().empty())
    return "";
  std::error_code ignored;
  std::filesystem::create_directory(folder.Path() + "/tmp", ignored);
  return folder.Path() + "/tmp";
}
}  // namespace

BenchDevices::BenchDevices(const Records& records) : archive(TempParent(folder)) {
  WindowParams params;
  params.backend = platform::WindowBackend::None;
  const bool made = window.Create(params) != nullptr;
  const bool device = made && graphics.Create(window.GetHandle(), GraphicsParams{1, 640, 480});
  const std::string base = folder.Path() + "/Data";
  ready = device && !folder.Path().empty() && WriteArchive(base + ".acv", records) &&
          archive.Open(base);
}

BenchDevices::~BenchDevices() {
  archive.Close();
  graphics.Release();
}

}  // namespace quarn::bench
