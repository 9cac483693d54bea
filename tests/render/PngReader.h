#pragma once
// Reads the reference pictures of the render tests (8-bit RGB or RGBA PNG files).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::testing {

struct Picture {
  uint32_t width = 0, height = 0;
  std::vector<platform::Argb> pixels;  // top row first
};

// False when the file is missing or not a PNG libpng can read.
bool ReadPng(const std::string& path, Picture* picture);

}  // namespace quarn::testing
