#include "render/SoundEmitter.h"

#include <algorithm>
#include <cmath>

#include "gfxutil/Vector3.h"
#include "render/Transform.h"

namespace quarn {

namespace {
// Below this gain an emitter is not heard: it is stopped rather than played at -50 dB.
constexpr float kAudibleGain = 0.5f;
constexpr float kSpanTolerance = 1e-8f;
}  // namespace

SoundEmitter::SoundEmitter() = default;
SoundEmitter::~SoundEmitter() = default;

bool SoundEmitter::Play(bool loop, bool restart) {
  keepPlaying_ = loop ? 1 : 0;
  float gain = 0.0f;
  if (!GetVolume(&gain) || gain < kAudibleGain)
    return false;
  return SoundVoice::Play(loop, restart);
}

bool SoundEmitter::Stop() {
  keepPlaying_ = 0;
  return SoundVoice::Stop();
}

bool SoundEmitter::Update() {
  if (GetVoice() == nullptr)
    return false;
  if (source_ == nullptr || listener_ == nullptr)
    return true;
  const bool playing = IsPlaying();
  const float distance = gfx::Vec3Length(source_->GetPosition(listener_));
  const float span = maximum_ - minimum_;
  float away = 0.0f;
  if (std::fabs(span) > kSpanTolerance) {
    away = std::clamp((distance - minimum_) / span, 0.0f, 1.0f);
  }
  const float gain = 1.0f - away;
  if (gain < kAudibleGain) {
    if (playing)
      SoundVoice::Stop();
  } else if (keepPlaying_ != 0 && !playing) {
    SoundVoice::Play(true, false);
  }
  SetVolume(gain);
  return true;
}

}  // namespace quarn
