// The chase camera: the shake frame by frame, the look-mode blend, the frustum of a known view
// and the box test behind every cull.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfxutil/MathExpect.h"
#include "platform/ScanCodes.h"
#include "units/ChaseCamera.h"
#include "units/StageStandIn.h"

namespace quarn::testing {
namespace {

TEST(ChaseCameraTest, AShakeOf2Point5HalvesAtEveryTurnAndStopsAtOneTenth) {
  ChaseCamera camera(nullptr);
  Transform followed;
  camera.SetFollowedFrame(&followed);
  camera.SetShake(2.5f);
  std::vector<float> angles, amplitudes;
  for (int frame = 0; frame < 9; ++frame) {
    camera.UpdateCamera();
    angles.push_back(camera.ShakeAngle());
    amplitudes.push_back(camera.ShakeAmplitude());
  }
  // Worked out by hand: up to 2.5, held there while the amplitude halves, down to -1.25, and
  // so on until the amplitude is 0.078125, below the end of the shake.
  EXPECT_EQ(angles,
            (std::vector<float>{2.5f, 2.5f, 0.0f, -1.25f, 0.625f, -0.3125f, 0.15625f, 0.0f, 0.0f}));
  EXPECT_EQ(amplitudes, (std::vector<float>{2.5f, 1.25f, 1.25f, 0.625f, 0.3125f, 0.15625f,
                                            0.078125f, 0.0f, 0.0f}));
}

class ChaseCameraStageTest : public ::testing::Test {
 protected:
  ChaseCameraStageTest() {
    rig_.Pack();
    stage_ = std::make_unique<StageStandIn>(rig_);
    followed_.SetParent(&stage_->root);
    target_.Body().SetParent(&stage_->root);
    camera().SetFollowedFrame(&followed_);
  }
  ChaseCamera& camera() { return *stage_->camera; }

  SceneRig rig_;
  std::unique_ptr<StageStandIn> stage_;
  Transform followed_;
  RigidBody target_;
};

TEST_F(ChaseCameraStageTest, WithoutALookTargetItEasesAFifthOfTheWayBehindTheFrame) {
  followed_.SetPosition({0, 0, 100});
  camera().UpdateCamera();
  // From the origin, a fifth of the way to 2.5 above and 25 behind the frame.
  EXPECT_TRUE(gfx::VectorNear(camera().WorldPosition(), gfx::Vector3(0, 0.5f, 15.0f), 1e-4f));
}

TEST_F(ChaseCameraStageTest, ATargetFarOffTheChaseLineTakesTheFullLookViewWithoutNaN) {
  target_.Body().SetPosition({500, 0, 0});  // 90 degrees to the right of the frame
  camera().SetLookTarget(&target_);
  camera().UpdateCamera();
  const gfx::Vector3 chaseForward = camera().ChaseFrame().GetWorldMatrix().GetRow(2);
  EXPECT_GT(chaseForward.x, 0.5f) << "the chase frame turned toward the target";
  // Straight ahead: the cosine of two equal directions, which rounding may push past 1.
  target_.Body().SetPosition({0, 0, 500});
  for (int i = 0; i < 50; ++i)
    camera().UpdateCamera();
  const gfx::Matrix m = camera().Body().GetWorldMatrix();
  for (const auto& row : m.m) {
    for (float v : row)
      EXPECT_TRUE(std::isfinite(v));
  }
  EXPECT_NEAR(camera().ChaseFrame().GetWorldMatrix().m[2][2], 1.0f, 1e-3f);
}

TEST_F(ChaseCameraStageTest, ButtonSixTogglesLookModeOff) {
  EXPECT_TRUE(camera().LookMode());
  rig_.Hold(platform::scan::kD);
  rig_.Pass();
  stage_->buttons.Update();
  camera().UpdateCamera();
  EXPECT_FALSE(camera().LookMode());
  rig_.Let(platform::scan::kD);
  rig_.Pass();
  stage_->buttons.Update();
  camera().UpdateCamera();
  EXPECT_FALSE(camera().LookMode()) << "only the press toggles";
}

TEST(CameraViewTest, TheFrustumOfAViewAlongZFacesInwardFromNearOneToFar8000) {
  CameraView view;
  view.BuildFrustum(gfx::Matrix());  // the camera at the origin looking along +z
  auto inside = [&](const gfx::Vector3& p, int plane) {
    return gfx::PlaneDotCoord(view.Planes()[plane], p) >= 0.0f;
  };
  EXPECT_TRUE(inside({0, 0, 1.5f}, 0));
  EXPECT_FALSE(inside({0, 0, 0.5f}, 0)) << "in front of the near plane";
  EXPECT_TRUE(inside({0, 0, 7990}, 1));
  EXPECT_FALSE(inside({0, 0, 8010}, 1));
  // At depth 100 the view is tan(pi/8) * 100 = 41.4 high and 55.2 wide either side.
  EXPECT_TRUE(inside({-54, 0, 100}, 2));
  EXPECT_FALSE(inside({-56, 0, 100}, 2));
  EXPECT_TRUE(inside({54, 0, 100}, 3));
  EXPECT_FALSE(inside({56, 0, 100}, 3));
  EXPECT_TRUE(inside({0, 40, 100}, 4));
  EXPECT_FALSE(inside({0, 43, 100}, 4));
  EXPECT_TRUE(inside({0, -40, 100}, 5));
  EXPECT_FALSE(inside({0, -43, 100}, 5));
}

BoxCorners Box(const gfx::Vector3& lo, const gfx::Vector3& hi) {
  return {gfx::Vector3{lo.x, lo.y, lo.z},
          {hi.x, lo.y, lo.z},
          {hi.x, hi.y, lo.z},
          {lo.x, hi.y, lo.z},
          {lo.x, hi.y, hi.z},
          {lo.x, lo.y, hi.z},
          {hi.x, lo.y, hi.z},
          {hi.x, hi.y, hi.z}};
}

TEST(CameraViewTest, ABoxIsHiddenOnlyWhenEveryCornerIsOutsideOneAndTheSamePlane) {
  CameraView view;
  view.BuildFrustum(gfx::Matrix());
  EXPECT_TRUE(view.TestBox(Box({-1, -1, 10}, {1, 1, 12})));
  EXPECT_FALSE(view.TestBox(Box({-1, -1, -12}, {1, 1, -10}))) << "behind the camera";
  EXPECT_FALSE(view.TestBox(Box({200, -1, 10}, {210, 1, 12}))) << "off to the right";
  const BoxCorners straddling = Box({-1000, -1, 50}, {1000, 1, 51});
  EXPECT_TRUE(view.TestBox(straddling)) << "outside left and right, never one plane alone";
}

}  // namespace
}  // namespace quarn::testing
