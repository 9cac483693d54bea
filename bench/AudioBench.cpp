// Music decoding and streaming costs.
//
// - DecodeOggVorbisMusic: decodes a 60-second stereo 44.1 kHz Ogg Vorbis file (a chord with
//   a little noise, made once per run) to 16-bit PCM, start to end. Reported as a multiple of
//   real time (seconds of music decoded per second of work).
// - StreamMusicDuringFrameLoop: plays that music through an AudioStream on OpenAL Soft's null
//   output driver (which mixes in real time into nothing) while a 30-per-second frame loop
//   asks the stream whether it runs, as the game does, for 3 seconds. Reported as process CPU
//   milliseconds per second of music, with the same loop without music as the baseline.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/AudioStream.h"
#include "engine/SoundDevice.h"
#include "platform/MediaDecoder.h"
#include "platform/MediaEncoder.h"

namespace {

constexpr int kRate = 44100;
constexpr double kMusicSeconds = 60.0;

// The 60-second music file, written on first use and removed at exit.
class MusicFile {
 public:
  MusicFile() {
    path_ = (std::filesystem::temp_directory_path() /
             ("quarn-bench-music-" + std::to_string(getpid()) + ".ogg"))
                .string();
    quarn::platform::MediaEncoder encoder;
    if (!encoder.Open(path_, quarn::platform::MediaEncoder::Container::Ogg, {kRate, 2}, {},
                      nullptr)) {
      return;
    }
    std::mt19937 noise(7);
    std::uniform_real_distribution<double> hiss(-0.02, 0.02);
    std::vector<int16_t> block(kRate * 2);
    const double chord[3] = {220.0, 277.18, 329.63};
    for (int second = 0; second < static_cast<int>(kMusicSeconds); ++second) {
      for (int i = 0; i < kRate; ++i) {
        const double t = (second * kRate + i) / static_cast<double>(kRate);
        double left = hiss(noise), right = hiss(noise);
        for (int k = 0; k < 3; ++k) {
          const double tone = 0.2 * std::sin(2.0 * std::numbers::pi * chord[k] * t);
          left += tone * (k == 0 ? 1.0 : 0.6);
          right += tone * (k == 2 ? 1.0 : 0.6);
        }
        block[i * 2] = static_cast<int16_t>(std::lround(left * 32767.0));
        block[i * 2 + 1] = static_cast<int16_t>(std::lround(right * 32767.0));
      }
      if (!encoder.WriteAudio(block.data(), kRate))
        return;
    }
    ready_ = encoder.Finish();
  }
  ~MusicFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  const std::string& Path() const { return path_; }
  bool Ready() const { return ready_; }

 private:
  std::string path_;
  bool ready_ = false;
};

const MusicFile& Music() {
  static MusicFile music;
  return music;
}

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void DecodeOggVorbisMusic(benchmark::State& state) {
  if (!Music().Ready()) {
    state.SkipWithError("cannot write the music file");
    return;
  }
  uint64_t frames = 0;
  std::vector<uint8_t> pcm;
  for (auto _ : state) {
    quarn::platform::MediaDecoder decoder;
    if (!decoder.Open(Music().Path(), true, false, nullptr)) {
      state.SkipWithError("cannot read the music file");
      return;
    }
    uint32_t decoded = 0;
    pcm.clear();
    while (decoder.DecodeAudio(4096, &pcm, &decoded)) {
      pcm.clear();
    }
    frames += decoded;
    benchmark::DoNotOptimize(pcm.data());
  }
  // Seconds of music per second of work.
  state.counters["x_real_time"] =
      benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeOggVorbisMusic)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs a 30-per-second frame loop for seconds of wall time, asking stream (if any) each frame
// whether it runs; the process CPU seconds it took.
double FrameLoop(quarn::AudioStream* stream, double seconds) {
  const double cpuStart = ProcessCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const auto period = std::chrono::microseconds(33333);
  auto due = start;
  while (std::chrono::steady_clock::now() - start < std::chrono::duration<double>(seconds)) {
    if (stream != nullptr)
      benchmark::DoNotOptimize(stream->IsRunning());
    due += period;
    std::this_thread::sleep_until(due);
  }
  return ProcessCpuSeconds() - cpuStart;
}

void StreamMusicDuringFrameLoop(benchmark::State& state) {
  // OpenAL Soft's null driver plays in real time into nothing: a sound card without sound.
  setenv("ALSOFT_DRIVERS", "null", 0);
  if (!Music().Ready()) {
    state.SkipWithError("cannot write the music file");
    return;
  }
  quarn::SoundDevice sound;
  sound.Create(nullptr, 0);
  if (sound.GetAudioDevice() == nullptr || !sound.GetAudioDevice()->PlaysInRealTime()) {
    state.SkipWithError("no real-time audio device");
    return;
  }
  constexpr double kSeconds = 3.0;
  double musicCpu = 0.0, loopCpu = 0.0, musicSeconds = 0.0;
  for (auto _ : state) {
    loopCpu += FrameLoop(nullptr, kSeconds);
    quarn::AudioStream music;
    if (!music.Open(Music().Path()) || !music.Play(true)) {
      state.SkipWithError("cannot play the music");
      return;
    }
    musicCpu += FrameLoop(&music, kSeconds);
    musicSeconds += kSeconds;
    music.Close();
  }
  state.counters["cpu_ms_per_music_second"] = 1000.0 * (musicCpu - loopCpu) / musicSeconds;
  state.counters["cpu_ms_per_second_loop_only"] = 1000.0 * loopCpu / musicSeconds;
}
BENCHMARK(StreamMusicDuringFrameLoop)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace
