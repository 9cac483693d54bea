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
  if (!wave.Load(path)) {
    platform::ReportProblem(path, wave.Problem());
    return false;
  }
  if (wave.IsTruncated()) {
    platform::ReportProblem(path, "the sample data is cut short; playing what is there");
  }
  const std::vector<uint8_t> samples = wave.OutputSamples();
  buffer_ = device->CreateBuffer(wave.OutputFormat(), samples.data(), wave.Frames());
  if (buffer_ == nullptr) {
    platform::ReportProblem(path, "the sound device refused the sound");
    return false;
  }
  return true;
}

void WaveSound::Release() {
  buffer_.reset();
}

}  // namespace quarn
