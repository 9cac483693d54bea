// The canvas: anti-aliased coverage, "source over" blending and clipping.
#include <gtest/gtest.h>

#include "Canvas.h"
#include "DatagenTestSupport.h"

namespace quarn::testing {
namespace {

using tools::Canvas;
using tools::Point;

double TotalAlpha(const Canvas& canvas) {
  double sum = 0;
  for (platform::Argb pixel : canvas.Pixels())
    sum += Alpha(pixel) / 255.0;
  return sum;
}

TEST(CanvasTest, EdgesBetweenPixelsCoverThemInProportion) {
  Canvas canvas(8, 4);
  canvas.FillRect(1.5, 0, 2.0, 4, 0xFFFFFFFF);
  EXPECT_EQ(Alpha(canvas.At(0, 1)), 0);
  EXPECT_NEAR(Alpha(canvas.At(1, 1)), 128, 1);
  EXPECT_EQ(Alpha(canvas.At(2, 1)), 255);
  EXPECT_NEAR(Alpha(canvas.At(3, 1)), 128, 1);
  EXPECT_EQ(Alpha(canvas.At(4, 1)), 0);
  // A half-covered pixel keeps the colour, not a darker one.
  EXPECT_EQ(canvas.At(1, 1) & 0x00FFFFFF, 0x00FFFFFFu);
}

TEST(CanvasTest, PolygonCoverageAddsUpToItsArea) {
  Canvas canvas(64, 64);
  canvas.FillPolygon({{3.3, 5.1}, {60.2, 20.7}, {17.9, 58.4}}, 0xFF102030);
  // Shoelace area of the triangle.
  const double area = std::abs((60.2 - 3.3) * (58.4 - 5.1) - (17.9 - 3.3) * (20.7 - 5.1)) / 2;
  EXPECT_NEAR(TotalAlpha(canvas), area, area * 0.01);
}

TEST(CanvasTest, FrameLeavesItsInsideUntouched) {
  Canvas canvas(20, 20);
  canvas.Frame(2, 2, 16, 16, 3, 0xFF00FF00);
  EXPECT_EQ(canvas.At(3, 10), 0xFF00FF00u);
  EXPECT_EQ(canvas.At(10, 3), 0xFF00FF00u);
  EXPECT_EQ(canvas.At(10, 10), 0u) << "the hole of the frame";
  EXPECT_EQ(canvas.At(1, 1), 0u);
  EXPECT_NEAR(TotalAlpha(canvas), 16 * 16 - 10 * 10, 0.5);
}

TEST(CanvasTest, BlendingIsSourceOverWithStraightAlpha) {
  Canvas canvas(3, 1);
  canvas.SetRect(1, 0, 1, 1, 0xFF0000FF);
  canvas.SetRect(2, 0, 1, 1, 0x800000FF);
  canvas.Blend(0, 0, 0x80FF0000, 1.0);
  canvas.Blend(1, 0, 0x80FF0000, 1.0);
  canvas.Blend(2, 0, 0x80FF0000, 1.0);
  // Over nothing: the colour itself, half there.
  EXPECT_EQ(canvas.At(0, 0), 0x80FF0000u);
  // Over opaque blue: half and half, opaque.
  EXPECT_EQ(Alpha(canvas.At(1, 0)), 255);
  EXPECT_NEAR(Red(canvas.At(1, 0)), 128, 1);
  EXPECT_NEAR(Blue(canvas.At(1, 0)), 127, 1);
  // Half over half: three quarters there, two thirds of the colour red.
  EXPECT_NEAR(Alpha(canvas.At(2, 0)), 192, 1);
  EXPECT_NEAR(Red(canvas.At(2, 0)), 170, 1);
  EXPECT_NEAR(Blue(canvas.At(2, 0)), 85, 1);
}

TEST(CanvasTest, ShapesReachingPastTheEdgesAreClipped) {
  Canvas canvas(10, 10);
  canvas.FillCircle(-5, 5, 8, 0xFFFFFFFF);
  canvas.FillPolygon({{-100, -100}, {200, -100}, {200, 2}, {-100, 2}}, 0xFF00FF00);
  canvas.Line({-20, 9}, {40, 9}, 2, 0xFF0000FF);
  canvas.Ring(5, 5, 30, 4, 0xFFFF0000);  // entirely outside
  EXPECT_EQ(canvas.At(0, 5), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.At(9, 5), 0u);
  EXPECT_EQ(canvas.At(5, 0), 0xFF00FF00u);
  EXPECT_EQ(canvas.At(5, 9) & 0xFF, 0xFFu);
}

TEST(CanvasTest, GradientsRunFromTheFirstColourToTheSecond) {
  Canvas canvas(5, 3);
  canvas.Gradient(0, 0, 5, 3, 0xFF000000, 0xFFFFFFFF, false);
  EXPECT_EQ(canvas.At(0, 1), 0xFF000000u);
  EXPECT_EQ(canvas.At(4, 1), 0xFFFFFFFFu);
  EXPECT_NEAR(Red(canvas.At(2, 1)), 128, 1);
  canvas.Gradient(0, 0, 5, 3, 0xFFFF0000, 0xFF0000FF, true);
  EXPECT_EQ(canvas.At(3, 0), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(3, 2), 0xFF0000FFu);
}

TEST(CanvasTest, LerpAndAlphaHelpersWorkPerChannel) {
  EXPECT_EQ(tools::LerpColor(0x00000000, 0xFF804020, 0.5), 0x80402010u);
  EXPECT_EQ(tools::LerpColor(0x10203040, 0x50607080, 2.0), 0x50607080u) << "t is clamped";
  EXPECT_EQ(tools::WithAlpha(0x80123456, 0.5), 0x40123456u);
}

}  // namespace
}  // namespace quarn::testing
