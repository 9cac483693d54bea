#include "BenchStage.h"

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "units/PlayerAircraft.h"

namespace quarn::bench {

namespace {
void AppendU32(std::string* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes->push_back(static_cast<char>(value >> (8 * i)));
}

// The archive's record format: name length, name, data length, data.
bool WriteArchive(const std::string& path, const BenchStage::Records& records) {
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

std::string TempParent(const BenchFolder& folder) {
  if (folder.Path().empty())
    return "";
  std::error_code ignored;
  std::filesystem::create_directory(folder.Path() + "/tmp", ignored);
  return folder.Path() + "/tmp";
}
}  // namespace

BenchStage::BenchStage(const Records& records) : archive_(TempParent(folder_)), cache(&archive_) {
  WindowParams params;
  params.backend = platform::WindowBackend::None;
  const bool window = window_.Create(params) != nullptr;
  const bool device = window && graphics_.Create(window_.GetHandle(), GraphicsParams{1, 640, 480});
  const std::string base = folder_.Path() + "/Data";
  ready_ = device && !folder_.Path().empty() && WriteArchive(base + ".acv", records) &&
           archive_.Open(base);
  pool.SetScene(this);
  camera = std::make_unique<ChaseCamera>(this);
  camera->Start();
  areaCentre.SetParent(&root);
}

BenchStage::~BenchStage() {
  pool.Clear();
  camera.reset();
  cache.ClearAll();
  archive_.Close();
  graphics_.Release();
}

Unit* BenchStage::FindUnit(int unitId) {
  if (unitId == -1)
    return player;
  auto it = units.find(unitId);
  return it == units.end() ? nullptr : it->second;
}

}  // namespace quarn::bench
