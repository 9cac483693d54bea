#pragma once
// The camera a frame is drawn from, as the render manager sees it. The stage's chase camera
// implements it: ApplyView sets the device's view and projection and rebuilds the view
// frustum that TestBox uses, so objects outside the view are skipped.
#include "render/BoxCorners.h"

namespace quarn {

class ViewCamera {
 public:
  virtual ~ViewCamera() = default;
  // Sets view and projection on the device and builds the frustum; false (and nothing set)
  // when there is no device or no frame to look from.
  virtual bool ApplyView() = 0;
  // Whether a box given by its eight world corners may be seen. Conservative: a box counts as
  // hidden only when all its corners lie outside one and the same plane of the frustum.
  virtual bool TestBox(const BoxCorners& corners) = 0;

 protected:
  ViewCamera() = default;
  ViewCamera(const ViewCamera&) = default;
  ViewCamera& operator=(const ViewCamera&) = default;
};

}  // namespace quarn
