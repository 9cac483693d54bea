#pragma once
// A point on the 640 x 480 screen, in whole pixels from the top-left corner.

namespace quarn {

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

}  // namespace quarn
