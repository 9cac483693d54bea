// Where the 640 x 480 picture goes in windows and desktops of other shapes.
#include "platform/PictureFit.h"

#include <gtest/gtest.h>

namespace quarn::platform {
namespace {

void ExpectFit(const PictureFit& fit, int left, int top, int width, int height, bool whole) {
  EXPECT_EQ(fit.left, left);
  EXPECT_EQ(fit.top, top);
  EXPECT_EQ(fit.width, width);
  EXPECT_EQ(fit.height, height);
  EXPECT_EQ(fit.wholeScale, whole);
}

TEST(PictureFitTest, WideDesktopsGetBarsLeftAndRight) {
  ExpectFit(FitPicture(640, 480, 1920, 1080), 240, 0, 1440, 1080, false);
  ExpectFit(FitPicture(640, 480, 2560, 1440), 320, 0, 1920, 1440, true);
  ExpectFit(FitPicture(640, 480, 3840, 2160), 480, 0, 2880, 2160, false);
}

TEST(PictureFitTest, TallWindowsGetBarsAboveAndBelow) {
  ExpectFit(FitPicture(640, 480, 1280, 1024), 0, 32, 1280, 960, true);
  ExpectFit(FitPicture(640, 480, 641, 1000), 0, 260, 641, 480, false);
}

TEST(PictureFitTest, WholeMultiplesAreMarkedSharp) {
  ExpectFit(FitPicture(640, 480, 640, 480), 0, 0, 640, 480, true);
  ExpectFit(FitPicture(640, 480, 1280, 960), 0, 0, 1280, 960, true);
  ExpectFit(FitPicture(640, 480, 1024, 768), 0, 0, 1024, 768, false);
  ExpectFit(FitPicture(640, 480, 320, 240), 0, 0, 320, 240, false);  // smaller is not sharp
}

TEST(PictureFitTest, NothingFitsInNothing) {
  ExpectFit(FitPicture(640, 480, 0, 0), 0, 0, 0, 0, false);
  ExpectFit(FitPicture(0, 480, 640, 480), 0, 0, 0, 0, false);
}

}  // namespace
}  // namespace quarn::platform
