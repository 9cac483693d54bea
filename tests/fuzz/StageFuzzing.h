#pragma once
// What the fuzz targets of stage objects share: the input as a definition file filed in a
// resource cache under "Fuzz.txt" (every file an object names resolves to it or to nothing),
// and a stage of real managers and effect pool on the null render device.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "StageObjects.h"
#include "engine/DefinitionFile.h"
#include "platform/NullRenderDevice.h"

namespace quarn::fuzzing {

inline constexpr const char* kFile = "Fuzz.txt";

// The fuzzer's bytes as the definition file of that name in cache.
inline void FileInput(ResourceCache& cache, const uint8_t* data, size_t size) {
  auto file = std::make_unique<DefinitionFile>();
  file->SetName(kFile);
  file->Parse(
      DefinitionFile::ApplyBlockRule(std::string(reinterpret_cast<const char*>(data), size)));
  cache.Adopt(ResourceCache::Kind::Definition, kFile, std::move(file));
}

// The null device comes first, so that the stage's camera starts on it.
struct FuzzDevice {
  platform::NullRenderDevice device;
};

class FuzzStage : private FuzzDevice, public testing::StageObjects {
 public:
  FuzzStage(const uint8_t* data, size_t size) : StageObjects(nullptr, &device) {
    FileInput(cache, data, size);
  }

  // Updates, collisions and a drawn frame.
  void Step() {
    StageObjects::Step();
    renders.Render();
    device.ClearDraws();
  }
  using FuzzDevice::device;
};

}  // namespace quarn::fuzzing
