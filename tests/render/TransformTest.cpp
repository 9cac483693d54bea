#include "render/Transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "gfxutil/MathExpect.h"

namespace quarn {
namespace {

using gfx::Matrix;
using gfx::MatrixNear;
using gfx::Vector3;
using gfx::VectorNear;

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

::testing::AssertionResult IsOrthonormal(const Matrix& m) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const float dot = gfx::Vec3Dot(m.GetRow(i), m.GetRow(j));
      if (std::fabs(dot - (i == j ? 1.0f : 0.0f)) > 1e-5f) {
        return ::testing::AssertionFailure() << "rows " << i << " and " << j << " have dot " << dot
                                             << ": " << ::testing::PrintToString(m);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Rotated and moved, so that spaces differ in both ways.
void Place(Transform* node, const Vector3& position, float heading) {
  node->SetPosition(position);
  node->RotateY(CombineMode::LocalAxes, heading);
}

// ---- Hierarchy ---------------------------------------------------------------------------

TEST(TransformHierarchyTest, AddChildMovesANodeAndReaddingMovesItToTheEnd) {
  Transform a, b, first, second, third;
  ASSERT_TRUE(a.AddChild(&first));
  ASSERT_TRUE(b.AddChild(&first));
  EXPECT_EQ(first.GetParent(), &b);
  EXPECT_TRUE(a.GetChildren().empty());
  EXPECT_EQ(b.GetChildren(), std::vector<Transform*>{&first});

  ASSERT_TRUE(a.AddChild(&first));
  ASSERT_TRUE(a.AddChild(&second));
  ASSERT_TRUE(a.AddChild(&third));
  ASSERT_TRUE(a.AddChild(&first));
  EXPECT_EQ(a.GetChildren(), (std::vector<Transform*>{&second, &third, &first}));
  EXPECT_TRUE(b.GetChildren().empty());
  EXPECT_FALSE(a.AddChild(nullptr));
}

TEST(TransformHierarchyTest, RemoveChildOfAnotherNodeFailsAndChangesNothing) {
  Transform a, b, child;
  child.SetPosition({1, 2, 3});
  a.Translate(CombineMode::LocalAxes, {10, 0, 0});
  ASSERT_TRUE(a.AddChild(&child));
  EXPECT_FALSE(b.RemoveChild(&child));
  EXPECT_FALSE(b.RemoveChild(nullptr));
  EXPECT_EQ(child.GetParent(), &a);
  EXPECT_EQ(a.GetChildren(), std::vector<Transform*>{&child});
  EXPECT_TRUE(VectorNear(child.GetWorldMatrix().GetRow(3), {11, 2, 3}));

  EXPECT_TRUE(a.RemoveChild(&child));
  EXPECT_EQ(child.GetParent(), nullptr);
  EXPECT_FALSE(a.RemoveChild(&child));
  EXPECT_TRUE(VectorNear(child.GetWorldMatrix().GetRow(3), {1, 2, 3}));
}

TEST(TransformHierarchyTest, SetParentAttachesDetachesAndFindsTheRoot) {
  Transform root, middle, leaf;
  EXPECT_TRUE(leaf.SetParent(nullptr));  // no parent to leave
  ASSERT_TRUE(middle.SetParent(&root));
  ASSERT_TRUE(leaf.SetParent(&middle));
  EXPECT_EQ(leaf.GetRoot(), &root);
  EXPECT_EQ(root.GetRoot(), &root);
  EXPECT_TRUE(leaf.SetParent(nullptr));
  EXPECT_EQ(leaf.GetParent(), nullptr);
  EXPECT_TRUE(middle.GetChildren().empty());
  EXPECT_EQ(leaf.GetRoot(), &leaf);
}

TEST(TransformHierarchyTest, AttachingANodeUnderItselfOrItsDescendantIsRefused) {
  Transform top, middle, bottom;
  ASSERT_TRUE(top.AddChild(&middle));
  ASSERT_TRUE(middle.AddChild(&bottom));
  EXPECT_FALSE(top.AddChild(&top));
  EXPECT_FALSE(bottom.AddChild(&top));
  EXPECT_FALSE(middle.SetParent(&bottom));
  EXPECT_EQ(middle.GetParent(), &top);
  EXPECT_EQ(bottom.GetParent(), &middle);
  EXPECT_EQ(top.GetParent(), nullptr);
  top.Translate(CombineMode::LocalAxes, {0, 3, 0});
  EXPECT_TRUE(VectorNear(bottom.GetWorldMatrix().GetRow(3), {0, 3, 0}));
}

TEST(TransformHierarchyTest, DestroyingAParentLeavesItsChildrenAsRoots) {
  Transform child, grandchild, sibling;
  auto parent = std::make_unique<Transform>();
  parent->Translate(CombineMode::LocalAxes, {100, 0, 0});
  parent->AddChild(&child);
  parent->AddChild(&sibling);
  child.AddChild(&grandchild);
  child.SetPosition({0, 5, 0});
  grandchild.SetPosition({0, 0, 7});
  ASSERT_TRUE(VectorNear(grandchild.GetWorldMatrix().GetRow(3), {100, 5, 7}));

  parent.reset();
  EXPECT_EQ(child.GetParent(), nullptr);
  EXPECT_EQ(sibling.GetParent(), nullptr);
  EXPECT_EQ(grandchild.GetParent(), &child);
  EXPECT_EQ(child.GetWorldMatrix(), child.GetLocalMatrix());
  EXPECT_TRUE(VectorNear(grandchild.GetWorldMatrix().GetRow(3), {0, 5, 7}));
}

TEST(TransformHierarchyTest, DestroyingAChildTakesItOffItsParentsList) {
  Transform parent, kept;
  {
    Transform gone;
    parent.AddChild(&kept);
    parent.AddChild(&gone);
  }
  EXPECT_EQ(parent.GetChildren(), std::vector<Transform*>{&kept});
}

// ---- World matrices ----------------------------------------------------------------------

TEST(TransformWorldTest, WorldIsLocalOnARootAndLocalTimesParentWorldBelowIt) {
  Transform parent, child;
  Place(&parent, {10, 0, 0}, kHalfPi);
  EXPECT_EQ(parent.GetWorldMatrix(), parent.GetLocalMatrix());
  parent.AddChild(&child);
  child.SetPosition({0, 0, 2});  // 2 ahead of a parent facing +x
  EXPECT_TRUE(VectorNear(child.GetWorldMatrix().GetRow(3), {12, 0, 0}));
  EXPECT_TRUE(MatrixNear(child.GetWorldMatrix(),
                         gfx::MatrixMultiply(child.GetLocalMatrix(), parent.GetWorldMatrix())));
}

TEST(TransformWorldTest, MovingAnAncestorMovesEveryDescendantOnTheNextQuery) {
  Transform a, b, c, d;
  a.AddChild(&b);
  b.AddChild(&c);
  c.AddChild(&d);
  d.SetPosition({0, 0, 1});
  EXPECT_TRUE(VectorNear(d.GetWorldMatrix().GetRow(3), {0, 0, 1}));
  a.Translate(CombineMode::LocalAxes, {5, 0, 0});
  EXPECT_FALSE(d.IsWorldValid());
  EXPECT_TRUE(VectorNear(d.GetWorldMatrix().GetRow(3), {5, 0, 1}));

  // Only part of the chain is brought up to date between two moves.
  a.Translate(CombineMode::LocalAxes, {5, 0, 0});
  EXPECT_TRUE(VectorNear(b.GetWorldMatrix().GetRow(3), {10, 0, 0}));
  EXPECT_FALSE(c.IsWorldValid());
  a.RotateY(CombineMode::LocalAxes, kHalfPi);
  EXPECT_FALSE(b.IsWorldValid());
  EXPECT_TRUE(VectorNear(d.GetWorldMatrix().GetRow(3), {11, 0, 0}));
  EXPECT_TRUE(VectorNear(c.GetWorldMatrix().GetRow(3), {10, 0, 0}));
}

TEST(TransformWorldTest, ReparentingCarriesTheSubtreeIntoTheNewParentsSpace) {
  Transform first, second, child, grandchild;
  first.SetPosition({10, 0, 0});
  second.SetPosition({0, 5, 0});
  first.AddChild(&child);
  child.AddChild(&grandchild);
  grandchild.SetPosition({1, 1, 1});
  ASSERT_TRUE(VectorNear(grandchild.GetWorldMatrix().GetRow(3), {11, 1, 1}));
  second.AddChild(&child);
  EXPECT_TRUE(VectorNear(grandchild.GetWorldMatrix().GetRow(3), {1, 6, 1}));
}

TEST(TransformWorldTest, InverseWorldOfASingularNodeIsTheIdentity) {
  Transform node;
  Matrix flat;
  flat.m[1][1] = 0;
  flat.SetRow(3, {4, 5, 6});
  node.Combine(CombineMode::Replace, flat);
  EXPECT_EQ(node.GetInverseWorldMatrix(), Matrix());
  EXPECT_TRUE(VectorNear(node.WorldToLocalPoint({1, 2, 3}), {1, 2, 3}));
}

TEST(TransformWorldTest, TheKeptInverseFollowsEveryMoveOfTheNodeAndItsAncestors) {
  Transform a, b, c;
  a.AddChild(&b);
  b.AddChild(&c);
  c.SetPosition({0, 0, 1});
  const Vector3 point(3, 4, 5);
  EXPECT_TRUE(VectorNear(c.WorldToLocalPoint(point), {3, 4, 4}));
  a.Translate(CombineMode::LocalAxes, {1, 0, 0});
  EXPECT_TRUE(VectorNear(c.WorldToLocalPoint(point), {2, 4, 4})) << "an ancestor moved";
  // b brought up to date alone, then c's own placement changes: c's inverse is still rebuilt.
  EXPECT_TRUE(VectorNear(b.WorldToLocalPoint(point), {2, 4, 5}));
  c.SetPosition({0, 0, 2});
  EXPECT_TRUE(VectorNear(c.WorldToLocalPoint(point), {2, 4, 3}));
  b.RotateY(CombineMode::LocalAxes, kHalfPi);
  EXPECT_TRUE(VectorNear(c.WorldToLocalVector({1, 0, 0}), {0, 0, 1})) << "turned: +x is ahead";
  // The same bits as an inverse made on the spot, singular or not.
  Matrix fresh;
  ASSERT_TRUE(gfx::MatrixInverse(&fresh, nullptr, c.GetWorldMatrix()));
  EXPECT_EQ(c.GetInverseWorldMatrix(), fresh);
  Matrix flat;
  flat.m[1][1] = 0;
  c.Combine(CombineMode::Replace, flat);
  EXPECT_EQ(c.GetInverseWorldMatrix(), Matrix());
  c.Combine(CombineMode::Replace, gfx::MatrixTranslation(0, 0, 2));
  EXPECT_TRUE(VectorNear(c.WorldToLocalPoint(c.LocalToWorldPoint(point)), point, 1e-4f));
}

TEST(TransformWorldTest, ConversionsRoundTripAndDirectionsIgnoreTheOrigin) {
  Transform parent, node;
  Place(&parent, {3, -2, 8}, 0.6f);
  parent.AddChild(&node);
  Place(&node, {0, 1, 4}, -1.1f);
  node.RotateX(CombineMode::LocalAxes, 0.3f);
  const Vector3 p(2, -7, 0.5f);
  EXPECT_TRUE(VectorNear(node.WorldToLocalPoint(node.LocalToWorldPoint(p)), p, 1e-4f));
  EXPECT_TRUE(VectorNear(node.WorldToLocalVector(node.LocalToWorldVector(p)), p, 1e-4f));
  EXPECT_TRUE(VectorNear(node.LocalToWorldPoint({0, 0, 0}), node.GetWorldMatrix().GetRow(3)));
  EXPECT_TRUE(VectorNear(node.LocalToWorldVector({0, 0, 1}), node.GetWorldMatrix().GetRow(2)));
  EXPECT_TRUE(VectorNear(node.LocalToWorldPoint(p) - node.LocalToWorldPoint({0, 0, 0}),
                         node.LocalToWorldVector(p), 1e-4f));
}

// ---- Relative motion ---------------------------------------------------------------------

TEST(TransformMotionTest, CombineModesMergeOnTheRequestedSide) {
  const Matrix turn = gfx::MatrixRotationY(kHalfPi);
  Transform node;
  node.SetPosition({0, 0, 10});
  node.Combine(CombineMode::LocalAxes, turn);  // turns in place
  EXPECT_TRUE(VectorNear(node.GetPosition(), {0, 0, 10}));
  EXPECT_TRUE(VectorNear(node.GetOrientation().forward, {1, 0, 0}));
  node.Combine(CombineMode::ParentAxes, turn);  // swings the position about the origin
  EXPECT_TRUE(VectorNear(node.GetPosition(), {10, 0, 0}));
  EXPECT_TRUE(VectorNear(node.GetOrientation().forward, {0, 0, -1}));
  node.Combine(CombineMode::Replace, turn);
  EXPECT_EQ(node.GetLocalMatrix(), turn);

  node.GetWorldMatrix();
  ASSERT_TRUE(node.IsWorldValid());
  node.Combine(static_cast<CombineMode>(7), gfx::MatrixTranslation(1, 1, 1));
  EXPECT_EQ(node.GetLocalMatrix(), turn);
  EXPECT_FALSE(node.IsWorldValid());
}

TEST(TransformMotionTest, TranslateFollowsTheNodesOwnAxesOrTheParents) {
  Transform node;
  node.RotateY(CombineMode::LocalAxes, kHalfPi);  // facing +x
  node.Translate(CombineMode::LocalAxes, {0, 0, 2});
  EXPECT_TRUE(VectorNear(node.GetPosition(), {2, 0, 0}));
  node.Translate(CombineMode::LocalAxes, {1, 0, 0});  // its right is -z
  EXPECT_TRUE(VectorNear(node.GetPosition(), {2, 0, -1}));
  node.Translate(CombineMode::ParentAxes, {0, 0, 2});
  EXPECT_TRUE(VectorNear(node.GetPosition(), {2, 0, 1}));
  node.RotateAxis(CombineMode::LocalAxes, {0, 4, 0}, -kHalfPi);  // axis length is irrelevant
  EXPECT_TRUE(MatrixNear(node.GetLocalMatrix(), gfx::MatrixTranslation(2, 0, 1)));
}

TEST(TransformMotionTest, HeadingPitchBankAreAppliedAlongTheNodesOwnAxesAfterThePosition) {
  EXPECT_NEAR(kDegreesToRadians * 180, std::numbers::pi_v<float>, 1e-6f);
  const float h = 30 * kDegreesToRadians, p = -20 * kDegreesToRadians, b = 45 * kDegreesToRadians;
  Transform node;
  node.SetPosition({4, 5, 6});
  node.RotateHeadingPitchBank(h, p, b);
  const Matrix expected = gfx::MatrixRotationZ(b) * gfx::MatrixRotationX(p) *
                          gfx::MatrixRotationY(h) * gfx::MatrixTranslation(4, 5, 6);
  EXPECT_TRUE(MatrixNear(node.GetLocalMatrix(), expected));

  // A heading of 90 degrees faces +x; a negative pitch then raises the nose.
  Transform aircraft;
  aircraft.RotateHeadingPitchBank(90 * kDegreesToRadians, -30 * kDegreesToRadians, 0);
  EXPECT_TRUE(VectorNear(aircraft.GetOrientation().forward, {0.8660254f, 0.5f, 0}));
  EXPECT_TRUE(IsOrthonormal(aircraft.GetLocalMatrix()));
}

// ---- Placement through reference frames --------------------------------------------------

class TransformPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root.AddChild(&parent);
    root.AddChild(&frame);
    parent.AddChild(&node);
    Place(&root, {-3, 0, 2}, 0.2f);
    Place(&parent, {10, 2, -4}, 0.9f);
    parent.RotateX(CombineMode::LocalAxes, 0.4f);
    Place(&frame, {-6, 1, 20}, -2.1f);
    frame.RotateZ(CombineMode::LocalAxes, 0.7f);
    Place(&node, {1, 1, 1}, 0.3f);
  }
  Transform root, parent, frame, node;
};

TEST_F(TransformPlacementTest, SetPositionThroughAFrameIsReadBackThroughIt) {
  const Vector3 v(2, -1, 5);
  ASSERT_TRUE(node.SetPosition(v, &frame));
  EXPECT_TRUE(VectorNear(node.GetPosition(&frame), v, 1e-4f));
  EXPECT_TRUE(VectorNear(node.GetWorldMatrix().GetRow(3), frame.LocalToWorldPoint(v), 1e-4f));
  EXPECT_EQ(node.GetPosition(), node.GetLocalMatrix().GetRow(3));
  // Orientation is untouched.
  EXPECT_TRUE(VectorNear(node.GetOrientation().forward, {std::sin(0.3f), 0, std::cos(0.3f)}));
}

TEST_F(TransformPlacementTest, SetPositionOnARootIgnoresTheFrame) {
  Transform loose;
  ASSERT_TRUE(loose.SetPosition({7, 8, 9}, &frame));
  EXPECT_EQ(loose.GetPosition(), Vector3(7, 8, 9));
  EXPECT_EQ(loose.GetWorldMatrix().GetRow(3), Vector3(7, 8, 9));
}

TEST_F(TransformPlacementTest, SetOrientationOnARootIgnoresTheFrame) {
  Transform loose;
  ASSERT_TRUE(loose.SetOrientation({1, 0, 0}, {0, 1, 0}, &frame));
  EXPECT_TRUE(MatrixNear(loose.GetLocalMatrix(), gfx::MatrixRotationY(kHalfPi)));
}

TEST_F(TransformPlacementTest, SetOrientationThroughAFrameIsReadBackThroughIt) {
  const Vector3 position = node.GetPosition();
  ASSERT_TRUE(node.SetOrientation({1, 0, 1}, {0, 1, 0}, &frame));
  const Transform::Axes axes = node.GetOrientation(&frame);
  EXPECT_TRUE(VectorNear(axes.forward, {0.70710677f, 0, 0.70710677f}, 1e-4f));
  EXPECT_TRUE(VectorNear(axes.up, {0, 1, 0}, 1e-4f));
  EXPECT_EQ(node.GetPosition(), position);
  EXPECT_TRUE(IsOrthonormal(node.GetLocalMatrix()));
}

TEST_F(TransformPlacementTest, AlignToMakesTheNodeCoincideWithTheFrame) {
  ASSERT_TRUE(node.AlignTo(&frame));
  EXPECT_TRUE(VectorNear(node.GetPosition(&frame), {0, 0, 0}, 1e-4f));
  const Transform::Axes axes = node.GetOrientation(&frame);
  EXPECT_TRUE(VectorNear(axes.forward, {0, 0, 1}, 1e-5f));
  EXPECT_TRUE(VectorNear(axes.up, {0, 1, 0}, 1e-5f));
  EXPECT_TRUE(MatrixNear(node.GetWorldMatrix(), frame.GetWorldMatrix(), 1e-4f));

  Transform loose;
  Place(&loose, {5, 5, 5}, 1.0f);
  ASSERT_TRUE(loose.AlignTo(&frame));
  EXPECT_EQ(loose.GetLocalMatrix(), Matrix());
}

TEST_F(TransformPlacementTest, LookAtTurnsTheForwardAxisOntoTheTarget) {
  Transform target;
  frame.AddChild(&target);
  target.SetPosition({3, -4, 12});
  ASSERT_TRUE(node.LookAt(target, {0, 1, 0}));
  const Vector3 seen = node.WorldToLocalPoint(target.GetWorldMatrix().GetRow(3));
  EXPECT_TRUE(VectorNear(seen, {0, 0, node.DistanceTo(target)}, 1e-3f));
  EXPECT_TRUE(IsOrthonormal(node.GetLocalMatrix()));
  // No roll: the right axis stays level in the parent's space.
  EXPECT_NEAR(node.GetLocalMatrix().GetRow(0).y, 0.0f, 1e-5f);
}

TEST_F(TransformPlacementTest, LookAtFromARootUsesTheTargetsWorldPosition) {
  Transform loose, target;
  frame.AddChild(&target);
  target.SetPosition({0, 0, 5});
  loose.SetPosition({1, 2, 3});
  ASSERT_TRUE(loose.LookAt(target, {0, 1, 0}));
  const Vector3 seen = loose.WorldToLocalPoint(target.GetWorldMatrix().GetRow(3));
  EXPECT_NEAR(seen.x, 0.0f, 1e-4f);
  EXPECT_NEAR(seen.y, 0.0f, 1e-4f);
  EXPECT_GT(seen.z, 0.0f);
}

TEST_F(TransformPlacementTest, LookAtItsOwnPositionKeepsTheOrientation) {
  Transform twin;
  parent.AddChild(&twin);
  twin.SetPosition(node.GetPosition());
  const Matrix before = node.GetLocalMatrix();
  EXPECT_FALSE(node.LookAt(twin, {0, 1, 0}));
  EXPECT_EQ(node.GetLocalMatrix(), before);
}

TEST_F(TransformPlacementTest, DistanceToMeasuresBetweenWorldOrigins) {
  const Vector3 a = node.GetWorldMatrix().GetRow(3), b = frame.GetWorldMatrix().GetRow(3);
  EXPECT_NEAR(node.DistanceTo(frame), gfx::Vec3Length(a - b), 1e-4f);
  EXPECT_NEAR(frame.DistanceTo(node), gfx::Vec3Length(a - b), 1e-4f);
  EXPECT_NEAR(node.DistanceTo(node), 0.0f, 1e-5f);
}

TEST(TransformOrientationTest, ForwardAlongZAndUpAlongYGiveTheIdentityRotation) {
  Transform node;
  node.SetPosition({1, 2, 3});
  node.RotateY(CombineMode::LocalAxes, 1.0f);
  ASSERT_TRUE(node.SetOrientation({0, 0, 3}, {0, 2, 0}));
  EXPECT_EQ(node.GetLocalMatrix(), gfx::MatrixTranslation(1, 2, 3));
}

TEST(TransformOrientationTest, UpIsCorrectedToBePerpendicularToForward) {
  Transform node;
  ASSERT_TRUE(node.SetOrientation({0, 0, 5}, {0, 1, 1}));
  EXPECT_TRUE(MatrixNear(node.GetLocalMatrix(), Matrix()));
  ASSERT_TRUE(node.SetOrientation({1, 0, 0}, {0.3f, 1, 0}));
  EXPECT_TRUE(VectorNear(node.GetOrientation().forward, {1, 0, 0}));
  EXPECT_TRUE(VectorNear(node.GetOrientation().up, {0, 1, 0}));
  EXPECT_TRUE(VectorNear(node.GetLocalMatrix().GetRow(0), {0, 0, -1}));
}

TEST(TransformOrientationTest, ForwardEqualToUpStillGivesAnOrthonormalBasis) {
  for (const Vector3& direction : {Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(1, 2, -3)}) {
    Transform node;
    ASSERT_TRUE(node.SetOrientation(direction, direction));
    EXPECT_TRUE(IsOrthonormal(node.GetLocalMatrix()));
    EXPECT_GT(gfx::Vec3Dot(node.GetOrientation().forward, gfx::Vec3Normalize(direction)), 0.99f);
  }
}

TEST(TransformOrientationTest, NearlyCoincidingForwardAndUpAreNudgedApart) {
  // Within 0.0001 of each other: forward gains 0.01 along z and up 0.01 along y before the
  // axes are built, which leaves the right axis near +x.
  Transform node;
  ASSERT_TRUE(node.SetOrientation({0, 1, 0}, {0.00005f, 1, 0}));
  EXPECT_TRUE(VectorNear(node.GetOrientation().forward, gfx::Vec3Normalize({0, 1, 0.01f})));
  EXPECT_TRUE(VectorNear(node.GetLocalMatrix().GetRow(0), {1, 0, 0}, 0.01f));
  EXPECT_TRUE(IsOrthonormal(node.GetLocalMatrix()));
}

TEST(TransformOrientationTest, OppositeForwardAndUpStillGiveAnOrthonormalBasis) {
  for (const Vector3& direction : {Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(1, 2, -3)}) {
    Transform node;
    ASSERT_TRUE(node.SetOrientation(-direction, direction));
    EXPECT_TRUE(IsOrthonormal(node.GetLocalMatrix()));
    EXPECT_GT(gfx::Vec3Dot(node.GetOrientation().forward, -gfx::Vec3Normalize(direction)), 0.99f);
  }
}

TEST(TransformOrientationTest, AZeroDirectionLeavesTheOrientationAlone) {
  Transform node;
  Place(&node, {1, 2, 3}, 0.5f);
  const Matrix before = node.GetLocalMatrix();
  EXPECT_FALSE(node.SetOrientation({0, 0, 0}, {0, 1, 0}));
  EXPECT_FALSE(node.SetOrientation({0, 0, 1}, {0, 0, 0}));
  EXPECT_EQ(node.GetLocalMatrix(), before);
}

// ---- Blending ----------------------------------------------------------------------------

TEST(TransformBlendTest, ANodeWithoutAParentCannotBlend) {
  Transform node, target;
  target.SetPosition({5, 0, 0});
  target.RotateY(CombineMode::LocalAxes, 1.0f);
  EXPECT_FALSE(node.BlendPositionToward(target, 0.5f));
  EXPECT_FALSE(node.BlendOrientationToward(target, 0.5f));
  EXPECT_TRUE(node.BlendToward(target, 0.5f)) << "the combined blend always reports 1";
  EXPECT_EQ(node.GetLocalMatrix(), Matrix());
}

class TransformBlendFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    world.AddChild(&parent);
    world.AddChild(&other);
    parent.AddChild(&node);
    other.AddChild(&target);
    Place(&parent, {1, 0, 0}, 0.5f);
    Place(&other, {-4, 3, 9}, -0.4f);
    Place(&target, {0, 2, 6}, kHalfPi);
    target.RotateX(CombineMode::LocalAxes, 0.3f);
    Place(&node, {2, 0, 0}, 0.1f);
  }
  Transform world, parent, other, node, target;
};

TEST_F(TransformBlendFixture, AFullBlendMakesTheNodeCoincideWithTheTarget) {
  ASSERT_TRUE(node.BlendToward(target, 1.0f));
  EXPECT_TRUE(MatrixNear(node.GetWorldMatrix(), target.GetWorldMatrix(), 1e-4f));
}

TEST_F(TransformBlendFixture, FactorsOutsideZeroToOneAreClamped) {
  const Matrix start = node.GetLocalMatrix();
  ASSERT_TRUE(node.BlendToward(target, -3.0f));
  EXPECT_TRUE(MatrixNear(node.GetLocalMatrix(), start, 1e-5f));
  ASSERT_TRUE(node.BlendToward(target, 7.0f));
  EXPECT_TRUE(MatrixNear(node.GetWorldMatrix(), target.GetWorldMatrix(), 1e-4f));
}

TEST_F(TransformBlendFixture, OrientationBlendsAlwaysLeaveAProperRotation) {
  Matrix stretched = gfx::MatrixRotationY(0.4f);
  for (int row = 0; row < 3; ++row)
    stretched.SetRow(row, stretched.GetRow(row) * 2.0f);
  stretched.SetRow(3, {1, 2, 3});
  node.Combine(CombineMode::Replace, stretched);
  ASSERT_TRUE(node.BlendOrientationToward(target, 0.0f));
  EXPECT_TRUE(IsOrthonormal(node.GetLocalMatrix()));
  // Still a turn about y alone (a stretched matrix does not give the same angle back).
  EXPECT_GT(node.GetOrientation().forward.x, 0.3f);
  EXPECT_TRUE(VectorNear(node.GetOrientation().up, {0, 1, 0}));
  EXPECT_EQ(node.GetPosition(), Vector3(1, 2, 3));
}

TEST_F(TransformBlendFixture, PartialBlendsMovePartWayAndTurnPartWayAlongTheArc) {
  Transform start, goal;
  parent.AddChild(&start);
  parent.AddChild(&goal);
  start.SetPosition({0, 0, 0});
  goal.SetPosition({4, 0, 8});
  goal.RotateY(CombineMode::LocalAxes, kHalfPi);
  ASSERT_TRUE(start.BlendPositionToward(goal, 0.25f));
  EXPECT_TRUE(VectorNear(start.GetPosition(), {1, 0, 2}, 1e-4f));
  EXPECT_EQ(start.GetOrientation().forward, Vector3(0, 0, 1));  // a position blend only moves
  ASSERT_TRUE(start.BlendOrientationToward(goal, 0.5f));
  const float half = std::numbers::sqrt2_v<float> / 2;
  EXPECT_TRUE(VectorNear(start.GetOrientation().forward, {half, 0, half}, 1e-5f));
  EXPECT_TRUE(VectorNear(start.GetPosition(), {1, 0, 2}, 1e-4f));
  EXPECT_TRUE(IsOrthonormal(start.GetLocalMatrix()));
}

}  // namespace
}  // namespace quarn
