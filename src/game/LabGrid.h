#pragma once
// The lab's floor: a neutral grid of lines drawn behind everything, so that size, height and
// motion can be judged.
#include "render/SkyDrawer.h"

namespace quarn {

class LabGrid : public SkyDrawer {
 public:
  // A square grid of the given half size and spacing at height y.
  LabGrid(float halfSize, float spacing, float y) : half_(halfSize), spacing_(spacing), y_(y) {}
  bool Draw() override;

 private:
  float half_;
  float spacing_;
  float y_;
};

}  // namespace quarn
