#include "engine/AudioStream.h"

#include <cmath>

#include "engine/SoundDevice.h"

namespace quarn {

AudioStream::AudioStream() = default;

AudioStream::~AudioStream() {
  AudioStream::Close();
}

bool AudioStream::Create() {
  if (!MediaStream::Create())
    return false;
  SoundDevice* sound = SoundDevice::Instance();
  if (sound == nullptr || sound->GetAudioDevice() == nullptr) {
    Close();
    return false;
  }
  Stream()->EnableAudio(true);
  return true;
}

bool AudioStream::Open(const std::string& path) {
  if (!MediaStream::Open(path))
    return false;
  volumeControl_ = true;
  return true;
}

void AudioStream::Close() {
  volumeControl_ = false;
  MediaStream::Close();
}

bool AudioStream::SetVolume(float gain) {
  if (!volumeControl_ || Stream() == nullptr)
    return false;
  const float volume = gain * 5000.0f - 5000.0f;
  if (!(volume >= -20000.0f && volume <= 20000.0f))
    return false;
  return Stream()->SetVolume(static_cast<int32_t>(volume));
}

bool AudioStream::GetVolume(float* gain) {
  if (!volumeControl_ || Stream() == nullptr || gain == nullptr)
    return false;
  *gain = static_cast<float>(Stream()->GetVolume() + 5000) * 0.0002f;
  return true;
}

}  // namespace quarn
