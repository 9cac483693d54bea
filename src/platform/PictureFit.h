#pragma once
// Where a picture goes in a window of another size: the largest rectangle of the picture's
// shape that fits, centred (bars left and right, or above and below).

namespace quarn::platform {

struct PictureFit {
  int left = 0, top = 0;  // from the window's top-left corner, in window pixels
  int width = 0, height = 0;
  // Whether each picture pixel covers a whole number of window pixels (no blur needed).
  bool wholeScale = false;
};

PictureFit FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

}  // namespace quarn::platform
