// Trajectory trails on the null device: points and breaks, ageing, and the two crossed
// ribbons of each segment, also segments longer than one draw call holds.
#include "render/TrajectoryTrail.h"

#include <gtest/gtest.h>

#include "engine/FixedStep.h"
#include "engine/RandomGenerator.h"
#include "platform/Diagnostics.h"
#include "render/EffectTesting.h"
#include "render/Transform.h"

namespace quarn {
namespace {

using testing::DrawnVertex;

class TrajectoryTrailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameRandom().Seed(1);
    platform::ForgetReportedProblems();
    trail_.SetFrame(&frame_);
  }
  // Loads the lines and starts a continuous emission of one point per frame (30.1 a second)
  // unless the lines give a rate (the first value of a key wins).
  void Start(const std::string& lines) {
    testing::ParseSection(file_, "Trajectory", 0, lines + "\nEmitRate=30.1");
    trail_.Load(file_, nullptr);
    trail_.SetEmitting(true);
  }
  // Moves the frame 1 unit along x per frame.
  void Fly(int frames) {
    for (int i = 0; i < frames; ++i) {
      frame_.Translate(CombineMode::LocalAxes, {1, 0, 0});
      trail_.Update(kFrameStep);
    }
  }
  const std::vector<platform::DrawRecord>& Drawn() {
    device_.ClearDraws();
    EXPECT_TRUE(trail_.Draw());
    return device_.Draws();
  }

  platform::NullRenderDevice device_;
  TrajectoryTrail trail_{&device_};
  Transform frame_;
  DefinitionFile file_;
};

TEST_F(TrajectoryTrailTest, StopAndRestartGiveTwoRibbonsWithNoJoiningQuad) {
  Start("LifeTime=5\nSize=2");
  Fly(1);
  EXPECT_TRUE(Drawn().empty()) << "one point draws nothing";
  Fly(2);
  trail_.StartTimed(0);  // ends at the next update, before a point: one break
  Fly(2);
  ASSERT_EQ(trail_.PointCount(), 4u);
  EXPECT_EQ(trail_.GetPoint(3).segmentBreak, 1);
  trail_.SetEmitting(true);
  Fly(3);
  const auto& draws = Drawn();
  ASSERT_EQ(draws.size(), 4u);  // across and upward ribbons of each segment
  for (const auto& draw : draws) {
    EXPECT_EQ(draw.type, platform::PrimitiveType::TriangleStrip);
    EXPECT_EQ(draw.primitiveCount, 4u);
  }
  // Points at x = 1, 2, 3 and 6, 7, 8 (the view is the identity), half a width each side.
  const std::vector<DrawnVertex> first = testing::VerticesOf(draws[0]);
  EXPECT_EQ(first.back().x, 4.0f);
  EXPECT_EQ(testing::VerticesOf(draws[2]).front().x, 5.0f);
  const std::vector<DrawnVertex> upward = testing::VerticesOf(draws[1]);
  EXPECT_EQ(upward[0].y, -1.0f);
  EXPECT_EQ(upward[1].y, 1.0f);
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].v, static_cast<float>(i / 2 % 2)) << "v alternates 0, 1, 0: " << i;
    EXPECT_EQ(first[i].u, static_cast<float>(i % 2)) << i;
  }
}

TEST_F(TrajectoryTrailTest, ColourDeltasDriveChannelsToTheirEndsAndHoldThem) {
  Start(
      "LifeTime=5\nColorR=0.5\nColorG=0.5\nColorB=0.5\nColorA=0.5\nColorDeltaR=3\n"
      "ColorDeltaG=-3\nSize=1\nSizeDelta=3");
  Fly(1);
  EXPECT_FLOAT_EQ(trail_.GetPoint(0).colour.r, 0.5f + 3 * kFrameStep) << "aged when dropped";
  Fly(20);
  const TrailPoint& oldest = trail_.GetPoint(0);
  EXPECT_EQ(oldest.colour.r, 1.0f);
  EXPECT_EQ(oldest.colour.g, 0.0f);
  EXPECT_EQ(oldest.colour.b, 0.5f);
  EXPECT_NEAR(oldest.size, 1 + 3 * 21 * kFrameStep, 1e-4f) << "width is not clamped";
}

TEST_F(TrajectoryTrailTest, PointsExpireOldestFirstAndABreakLeavesWithThem) {
  Start("LifeTime=0.1\nSize=1");
  Fly(5);
  EXPECT_EQ(trail_.PointCount(), 3u);  // lives 0.0667, 0.0334, 0.0001 left
  trail_.SetEmitting(false);
  Fly(1);
  EXPECT_EQ(trail_.PointCount(), 3u) << "two points and the break";
  Fly(2);
  EXPECT_EQ(trail_.PointCount(), 0u);
  Start("LifeTime=0\nSize=1");
  Fly(3);
  EXPECT_EQ(trail_.PointCount(), 0u);
}

TEST_F(TrajectoryTrailTest, LongSegmentsAreDrawnInPiecesThatJoin) {
  Start("LifeTime=5\nSize=2\nEmitRate=75000");
  Fly(1);  // 2497 points: pieces of 1024, 1024 (from the 1024th) and 451
  ASSERT_EQ(trail_.PointCount(), 2497u);
  const auto& draws = Drawn();
  ASSERT_EQ(draws.size(), 6u);
  const uint32_t points[3] = {1024, 1024, 451};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(draws[2 * i].primitiveCount, 2 * points[i] - 2);
    EXPECT_EQ(draws[2 * i + 1].primitiveCount, 2 * points[i] - 2);
  }
  const std::vector<DrawnVertex> piece1 = testing::VerticesOf(draws[0]);
  const std::vector<DrawnVertex> piece2 = testing::VerticesOf(draws[2]);
  EXPECT_EQ(piece2[0].v, piece1[2046].v) << "the next piece starts at the last point";
  EXPECT_EQ(piece2[2].v, 1.0f - piece1[2046].v) << "and v goes on alternating";
}

TEST_F(TrajectoryTrailTest, RunawayRatesStayWithinTheLimitAndAreReportedOnce) {
  file_.SetName("Runaway.txt");
  ::testing::internal::CaptureStderr();
  Start("LifeTime=1e30\nEmitRate=1e30\nSize=nan");
  Fly(30);
  trail_.SetEmitting(false);
  Fly(1);
  const std::string reports = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(trail_.PointCount(), TrajectoryTrail::kMaxPoints);
  EXPECT_EQ(trail_.GetPoint(TrajectoryTrail::kMaxPoints - 1).segmentBreak, 1) << "room kept";
  EXPECT_NE(reports.find("quarn: Runaway.txt [Trajectory_0]: more than"), std::string::npos)
      << reports;
  // "nan" is not a number in a definition file: the size keeps its default.
  EXPECT_EQ(trail_.GetPoint(0).size, 0.0f);
}

}  // namespace
}  // namespace quarn
