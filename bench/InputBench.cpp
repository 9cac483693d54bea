// Work 1: one main-loop pass of input during stage play: poll a keyboard (two keys held) and
// one joystick (stick moving every pass) through the input system with the stage-play table
// installed, update the scene's ButtonMap and read its 3 axes and 10 buttons with their press
// edges. Baseline: copying the polled state alone. Reports nanoseconds per pass and the ratio.
// Work 2: read a generated hour of recorded input (108,000 updates, a change every third
// update, keys and a moving stick) with the replay parser. Baseline: counting its lines.
// Reports MB/s of both and their ratio.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchTiming.h"
#include "engine/InputMappings.h"
#include "engine/InputRecorder.h"
#include "platform/ScanCodes.h"

namespace {

namespace scan = quarn::platform::scan;

// Devices that change a little every pass, as a player's do.
class MovingBackend : public quarn::platform::InputBackend {
 public:
  MovingBackend() {
    state_.keyboard.keys[scan::kDown] = quarn::platform::kKeyDown;
    state_.keyboard.keys[scan::kC] = quarn::platform::kKeyDown;
    state_.joysticks.resize(1);
  }
  bool Start() override { return true; }
  size_t JoystickCount() const override { return state_.joysticks.size(); }
  bool Poll(quarn::platform::InputSnapshot* snapshot) override {
    ++pass_;
    state_.joysticks[0].axes[0] = static_cast<int32_t>((pass_ * 977) % 65536);
    state_.joysticks[0].buttons[pass_ % 6] ^= quarn::platform::kKeyDown;
    *snapshot = state_;
    return true;
  }
  bool HasMoreInput() const override { return true; }

 private:
  quarn::platform::InputSnapshot state_;
  long pass_ = 0;
};

void BM_StageInputPass(benchmark::State& state) {
  quarn::InputSystem input;
  input.UseBackend(std::make_unique<MovingBackend>());
  input.Create(nullptr);
  quarn::ButtonMap map;
  quarn::InstallSceneInput(quarn::SceneInput::StagePlay, &input, &map);
  MovingBackend baseline;
  quarn::platform::InputSnapshot copy;
  quarn::bench::SplitTimer timer;
  constexpr int kPasses = 1000;
  for (auto _ : state) {
    timer.TimeWork([&] {
      for (int i = 0; i < kPasses; ++i) {
        input.Update();
        map.Update();
        int sum = 0;
        for (int id = 1; id <= 3; ++id)
          sum += map.GetAxis(id);
        for (int id = 1; id <= 10; ++id)
          sum += map.GetButton(id) + map.IsPressed(id);
        benchmark::DoNotOptimize(sum);
      }
    });
    timer.TimeBaseline([&] {
      for (int i = 0; i < kPasses; ++i) {
        baseline.Poll(&copy);
        benchmark::DoNotOptimize(copy.keyboard.keys[0]);
      }
    });
  }
  const double passes = static_cast<double>(state.iterations()) * kPasses;
  state.counters["pass_ns"] = timer.WorkSeconds() / passes * 1e9;
  state.counters["poll_copy_ns"] = timer.BaselineSeconds() / passes * 1e9;
  state.counters["pass_to_copy_ratio"] = timer.Ratio();
}
BENCHMARK(BM_StageInputPass)->Unit(benchmark::kMillisecond);

std::string MakeHourOfInput() {
  std::string text = "quarn-replay 1\njoysticks 1\n";
  for (long update = 0; update < 108000; update += 3) {
    text += "update " + std::to_string(update) + "\n";
    if (update % 90 < 60)
      text += "keys 46 208\n";
    text += "joy 0 axes " + std::to_string(32767 + (update * 37) % 30000) +
            " 32767 32767 32767 32767 32767 buttons 1\n";
  }
  return text + "end 108000\n";
}

size_t CountLines(const std::string& text) {
  size_t lines = 0;
  for (char c : text)
    lines += c == '\n';
  return lines;
}

void BM_ReplayParse(benchmark::State& state) {
  const std::string text = MakeHourOfInput();
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    timer.TimeWork([&] {
      quarn::platform::InputRecording recording;
      std::string problem;
      quarn::ParseInputRecording(text, &recording, &problem);
      benchmark::DoNotOptimize(recording.changes.size());
    });
    timer.TimeBaseline([&] { benchmark::DoNotOptimize(CountLines(text)); });
  }
  const double megabytes = static_cast<double>(text.size()) * state.iterations() / 1e6;
  state.counters["parse_MB_per_s"] = megabytes / timer.WorkSeconds();
  state.counters["count_lines_MB_per_s"] = megabytes / timer.BaselineSeconds();
  state.counters["parse_to_count_ratio"] = timer.Ratio();
  state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ReplayParse)->Unit(benchmark::kMillisecond);

}  // namespace
