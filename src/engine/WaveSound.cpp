#include "engine/WaveSound.h"

#include "engine/ResourceCache.h"
#include "engine/SoundDevice.h"
#include "engine/WaveFile.h"
#include "platform/Diagnostics.h"

namespace quarn {

WaveSound::WaveSound() = default;
WaveSound::~WaveSound() = default;

bool WaveSound::Load(const std::string& path) {
  SoundDevice* sound = SoundDevice::Instance();
  platform::AudioDevice* device = sound != nullptr ? sound->GetAudioDevice() : nullptr;
  if (device == nullptr)
    return false;
  Release();
  WaveFile wave;
  // A file that cannot be used is reported by whoever asked for it (the resource cache
  // names the file); a damaged one that still plays is reported here.
  if (!wave.Load(path))
    return false;
  if (wave.IsTruncated()) {
    platform::ReportProblem(path, "the sample data is cut short; playing what is there");
  }
  const std::vector<uint8_t> samples = wave.OutputSamples();
  buffer_ = device->CreateBuffer(wave.OutputFormat(), samples.data(), wave.Frames());
  return buffer_ != nullptr;
}

void WaveSound::Release() {
  buffer_.reset();
}

WaveSound* ResourceCache::GetSound(const std::string& name) {
  return Get<WaveSound>(Kind::Sound, name);
}

}  // namespace quarn
