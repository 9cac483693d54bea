// Work: parse a generated 1 MiB definition file of typical content (unit, weapon and stage
// sections of short CamelCase keys with numbers, flags and file names), and, in the same
// run, merely split the same bytes at CR LF. Reports MB/s of both and their ratio.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchTiming.h"
#include "engine/DefinitionFile.h"

namespace {

std::string MakeTypicalDefinitionText(size_t targetBytes) {
  static const char* kKeys[] = {"MinVelocity",        "MaxVelocity",          "Armored",
                                "DefineFile",         "FireSoundMaxDistance", "LayoutOrientationH",
                                "BreakProgressPoint", "TargetEnable",         "MeshFile",
                                "RotationRate"};
  std::string text;
  text.reserve(targetBytes + 256);
  for (unsigned section = 0; text.size() < targetBytes; ++section) {
    text += "[LightAircraft_" + std::to_string(section) + "]\r\n";
    for (unsigned i = 0; i < 24; ++i) {
      const char* key = kKeys[(section + i) % 10];
      text += std::string(key) + "_" + std::to_string(i) + "=";
      switch (i % 4) {
        case 0:
          text += std::to_string(section * 7 + i);
          break;
        case 1:
          text += std::to_string(section) + "." + std::to_string(i * 125);
          break;
        case 2:
          text += (i & 1) ? "true" : "false";
          break;
        default:
          text += "Unit" + std::to_string(section % 40) + ".x";
          break;
      }
      text += "\r\n";
    }
  }
  return text;
}

size_t CountCrlfLines(const std::string& text) {
  size_t lines = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    ++lines;
    if (end == std::string::npos)
      break;
    at = end + 2;
  }
  return lines;
}

void BM_DefinitionFileParse(benchmark::State& state) {
  const std::string text = MakeTypicalDefinitionText(1 << 20);
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    timer.TimeWork([&] {
      quarn::DefinitionFile file;
      file.Parse(quarn::DefinitionFile::ApplyBlockRule(text));
      benchmark::DoNotOptimize(file.Sections().size());
    });
    timer.TimeBaseline([&] { benchmark::DoNotOptimize(CountCrlfLines(text)); });
  }
  const double megabytes = static_cast<double>(text.size()) * state.iterations() / 1e6;
  state.counters["parse_MB_per_s"] = megabytes / timer.WorkSeconds();
  state.counters["split_MB_per_s"] = megabytes / timer.BaselineSeconds();
  state.counters["parse_to_split_ratio"] = timer.Ratio();
}
BENCHMARK(BM_DefinitionFileParse)->Unit(benchmark::kMillisecond);

}  // namespace
