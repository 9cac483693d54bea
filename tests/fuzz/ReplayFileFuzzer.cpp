// Recorded-input files: arbitrary bytes through the parser; whatever it accepts must play
// through the replay backend and read back the same after being written out again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/InputRecorder.h"
#include "platform/ReplayInputBackend.h"

namespace {
std::string Write(const quarn::platform::InputRecording& recording) {
  std::string text =
      "quarn-replay 1\njoysticks " + std::to_string(recording.joysticksAtStart) + "\n";
  size_t slots = recording.joysticksAtStart;
  for (const auto& change : recording.changes) {
    text += "update " + std::to_string(change.update) + "\n";
    text += quarn::FormatInputBlock(change.snapshot, slots);
    if (change.snapshot.joysticks.size() > slots)
      slots = change.snapshot.joysticks.size();
  }
  return text + "end " + std::to_string(recording.updateCount) + "\n";
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  quarn::platform::InputRecording recording;
  std::string problem;
  if (!quarn::ParseInputRecording(text, &recording, &problem))
    return 0;
  long previous = -1;
  for (const auto& change : recording.changes) {
    if (change.update <= previous || change.update >= recording.updateCount)
      std::abort();
    previous = change.update;
  }
  quarn::platform::InputRecording again;
  std::string againProblem;
  if (!quarn::ParseInputRecording(Write(recording), &again, &againProblem) ||
      !againProblem.empty() || again.updateCount != recording.updateCount ||
      again.joysticksAtStart != recording.joysticksAtStart ||
      again.changes.size() != recording.changes.size()) {
    std::abort();
  }
  for (size_t i = 0; i < again.changes.size(); ++i) {
    if (again.changes[i].update != recording.changes[i].update ||
        again.changes[i].snapshot != recording.changes[i].snapshot) {
      std::abort();
    }
  }
  // Play a bounded number of updates; the count itself may be huge.
  quarn::platform::ReplayInputBackend replay(std::move(recording), nullptr);
  replay.Start();
  quarn::platform::InputSnapshot snapshot;
  for (int i = 0; i < 64 && replay.Poll(&snapshot); ++i) {
  }
  return 0;
}
