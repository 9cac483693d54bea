#pragma once
// A stage as its objects see it, for benchmarks: the real update, render and collision
// managers, registries and effect pool over an archive packed from the benchmark's own files,
// on a window without a screen and the null render device. The stage's own parts (unit
// lookup, the player, progress) are plain fields the benchmark sets.
#include <string>
#include <utility>
#include <vector>

#include "StageObjects.h"
#include "TempFolder.h"
#include "engine/Archive.h"
#include "engine/GraphicsDevice.h"
#include "engine/Window.h"

namespace quarn::bench {

// The folder, window, null device and archive come first: the stage loads through them.
struct BenchDevices {
  using Records = std::vector<std::pair<std::string, std::string>>;  // name, bytes
  explicit BenchDevices(const Records& records);
  ~BenchDevices();

  testing::TempFolder folder;
  Window window;
  GraphicsDevice graphics;
  Archive archive;
  bool ready = false;
};

class BenchStage : private BenchDevices, public testing::StageObjects {
 public:
  using Records = BenchDevices::Records;

  explicit BenchStage(const Records& records) : BenchDevices(records), StageObjects(&archive) {}

  // False when the window, the null device or the archive could not be made.
  bool Ready() const { return ready; }
};

}  // namespace quarn::bench
