#include "engine/SoundVoice.h"

#include <cmath>

#include "engine/SoundDevice.h"
#include "engine/WaveSound.h"

namespace quarn {

SoundVoice::SoundVoice() = default;
SoundVoice::~SoundVoice() = default;

bool SoundVoice::Create(WaveSound* wave) {
  SoundDevice* sound = SoundDevice::Instance();
  platform::AudioDevice* device = sound != nullptr ? sound->GetAudioDevice() : nullptr;
  if (device == nullptr)
    return false;
  Release();
  if (wave == nullptr || wave->GetBuffer() == nullptr)
    return false;
  voice_ = device->CreateVoice(*wave->GetBuffer());
  if (voice_ == nullptr)
    return false;
  baseFrequency_ = voice_->GetFrequency();
  return true;
}

void SoundVoice::Release() {
  voice_.reset();
  baseFrequency_ = 0;
}

bool SoundVoice::Play(bool loop, bool restart) {
  if (voice_ == nullptr)
    return false;
  if (restart && !voice_->SetPosition(0))
    return false;
  return voice_->Play(loop);
}

bool SoundVoice::Stop() {
  return voice_ != nullptr && voice_->Stop();
}

bool SoundVoice::SetVolume(float gain) {
  if (voice_ == nullptr)
    return false;
  const float volume = gain * 10000.0f - 10000.0f;
  // Out of range (also not a number) is refused by the voice, as a gain above 1 or below 0.
  if (!(volume >= -20000.0f && volume <= 20000.0f))
    return false;
  return voice_->SetVolume(static_cast<int32_t>(volume));
}

bool SoundVoice::GetVolume(float* gain) const {
  if (voice_ == nullptr || gain == nullptr)
    return false;
  *gain = static_cast<float>(voice_->GetVolume() + 10000) * 0.0001f;
  return true;
}

bool SoundVoice::SetFrequencyScale(float factor) {
  if (voice_ == nullptr)
    return false;
  const double frequency = static_cast<double>(baseFrequency_) * factor;
  if (!(frequency >= 0.0 && frequency < 4294967296.0))
    return false;
  return voice_->SetFrequency(static_cast<uint32_t>(frequency));
}

bool SoundVoice::IsPlaying() const {
  return voice_ != nullptr && voice_->IsPlaying();
}

}  // namespace quarn
