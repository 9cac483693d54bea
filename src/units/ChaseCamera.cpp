#include "units/ChaseCamera.h"

#include <algorithm>
#include <cmath>

#include "engine/ButtonMap.h"
#include "render/RenderManager.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn {

namespace {
constexpr int kLookButton = 6;
// 4 / pi: a target 45 degrees or more off the chase direction takes the full look view.
constexpr float kLookBlendScale = 1.2732395f;
constexpr float kShakeEnd = 0.1f;
}  // namespace

ChaseCamera::ChaseCamera(StageServices* stage, platform::RenderDevice* device)
    : RigidBody(stage), view_(device) {}

ChaseCamera::~ChaseCamera() {
  ChaseCamera::Unload();
}

void ChaseCamera::Start() {
  if (stage_ == nullptr)
    return;
  Transform& root = stage_->WorldRoot();
  body_.SetParent(&root);
  chaseFrame_.SetParent(&root);
  lookFrame_.SetParent(&root);
  view_.SetFrame(&body_);
  stage_->Updates().SetCameraHook(this);
  stage_->Renders().SetCamera(this);
}

void ChaseCamera::Unload() {
  body_.SetParent(nullptr);
  chaseFrame_.SetParent(nullptr);
  lookFrame_.SetParent(nullptr);
  view_.SetFrame(nullptr);
  if (stage_ != nullptr) {
    if (stage_->Updates().CameraHook() == this)
      stage_->Updates().SetCameraHook(nullptr);
    if (stage_->Renders().GetCamera() == this)
      stage_->Renders().SetCamera(nullptr);
  }
}

bool ChaseCamera::TestBox(const BoxCorners& corners) {
  return view_.TestBox(corners);
}

bool ChaseCamera::ApplyView() {
  return view_.Apply();
}

void ChaseCamera::SetShake(float amplitude) {
  shakeAmplitude_ = amplitude;
  if (stage_ != nullptr && amplitude > 0.0f)
    stage_->Rumble(std::min(amplitude / 2.5f, 1.0f), 0.25f + 0.1f * amplitude);
}

void ChaseCamera::UpdateCamera() {
  if (stage_ != nullptr && stage_->Buttons().IsPressed(kLookButton))
    lookMode_ = !lookMode_;
  if (followed_ == nullptr)
    return;
  chaseFrame_.AlignTo(followed_);
  chaseFrame_.Translate(CombineMode::LocalAxes, kChaseOffset);
  if (lookMode_ != 0 && lookTarget_ != nullptr) {
    const gfx::Vector3 chaseForward = chaseFrame_.GetWorldMatrix().GetRow(2);
    lookFrame_.AlignTo(followed_);
    const gfx::Vector3 d =
        gfx::Vec3Normalize(lookFrame_.WorldToLocalPoint(lookTarget_->WorldPosition()));
    lookFrame_.LookAt(lookTarget_->Body(), lookFrame_.GetOrientation().up);
    lookFrame_.SetOrientation(gfx::Vec3Normalize({-0.4f * d.x, -0.4f * d.y, 1.0f}), {0, 1, 0},
                              &lookFrame_);
    lookFrame_.Translate(CombineMode::LocalAxes, kChaseOffset);
    const gfx::Vector3 lookForward = lookFrame_.GetWorldMatrix().GetRow(2);
    const float lengths = gfx::Vec3Length(chaseForward) * gfx::Vec3Length(lookForward);
    float cosine =
        std::fabs(lengths) > 1e-8f ? gfx::Vec3Dot(chaseForward, lookForward) / lengths : 0.0f;
    // Rounding can push the cosine of two equal directions past 1; acos would give NaN.
    if (!(cosine >= -1.0f))
      cosine = -1.0f;
    cosine = std::min(cosine, 1.0f);
    const float t = std::min(std::acos(cosine) * kLookBlendScale, 1.0f);
    chaseFrame_.BlendToward(lookFrame_, t);
  }
  body_.BlendToward(chaseFrame_, kBlend);
  StepShake();
}

void ChaseCamera::StepShake() {
  if (!(std::fabs(shakeAmplitude_) > kShakeEnd)) {
    shakeAngle_ = 0.0f;
    shakeAmplitude_ = 0.0f;
    return;
  }
  shakeAngle_ += shakeSpeed_;
  if (shakeSpeed_ > 0.0f && shakeAngle_ > shakeAmplitude_) {
    shakeAngle_ = shakeAmplitude_;
    shakeSpeed_ = -shakeSpeed_;
    shakeAmplitude_ *= 0.5f;
  } else if (shakeSpeed_ < 0.0f && shakeAngle_ < -shakeAmplitude_) {
    shakeAngle_ = -shakeAmplitude_;
    shakeSpeed_ = -shakeSpeed_;
    shakeAmplitude_ *= 0.5f;
  }
  body_.RotateX(CombineMode::LocalAxes, -shakeAngle_ * kDegreesToRadians);
}

}  // namespace quarn
