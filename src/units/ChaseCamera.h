#pragma once
// The stage's camera: it trails a frame (the player's view frame) 25 units behind and 2.5
// above, easing toward it; in look mode it swings part of the way toward the focused target;
// it shakes when the player is hit. Its body is the listener of every positional sound and
// the view the stage is drawn from.
#include "render/Transform.h"
#include "render/ViewCamera.h"
#include "units/CameraView.h"
#include "units/RigidBody.h"
#include "units/Updatable.h"

namespace quarn {

class ChaseCamera : public RigidBody, public ViewCamera, public Updatable {
 public:
  static constexpr float kBlend = 0.2f;
  inline static const gfx::Vector3 kChaseOffset{0.0f, 2.5f, -25.0f};

  // device: where the view is set; null: the process's graphics device.
  explicit ChaseCamera(StageServices* stage, platform::RenderDevice* device = nullptr);
  ~ChaseCamera() override;

  // Attaches the body and the chase and look frames to the world root, gives the view its
  // frame, and becomes the update manager's camera hook and the render manager's camera.
  virtual void Start();
  void Unload() override;
  bool TestBox(const BoxCorners& corners) override;
  virtual void SetShake(float amplitude);
  virtual void UpdateCamera();
  bool ApplyView() override;

  void Update() override { UpdateCamera(); }

  void SetFollowedFrame(const Transform* frame) { followed_ = frame; }
  void SetLookTarget(const RigidBody* target) { lookTarget_ = target; }
  const RigidBody* LookTarget() const { return lookTarget_; }
  bool LookMode() const { return lookMode_ != 0; }
  float ShakeAmplitude() const { return shakeAmplitude_; }
  float ShakeSpeed() const { return shakeSpeed_; }
  float ShakeAngle() const { return shakeAngle_; }
  const CameraView& View() const { return view_; }
  const Transform& ChaseFrame() const { return chaseFrame_; }

 private:
  void StepShake();

  CameraView view_;
  const Transform* followed_ = nullptr;
  const RigidBody* lookTarget_ = nullptr;
  int lookMode_ = 1;
  Transform chaseFrame_;
  Transform lookFrame_;
  float shakeAmplitude_ = 0;
  float shakeSpeed_ = 2.5f;
  float shakeAngle_ = 0;
};

}  // namespace quarn
