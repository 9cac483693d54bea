#pragma once
// One decoded picture at its native size, as 0xAARRGGBB pixels, rows top to bottom.
#include <cstdint>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::platform {

struct VideoFrame {
  int width = 0;
  int height = 0;
  std::vector<Argb> pixels;  // width x height, no padding
  double time = 0.0;         // seconds from the start of the stream when it is due
  uint64_t number = 0;       // 0 for the first frame after opening or rewinding
};

}  // namespace quarn::platform
