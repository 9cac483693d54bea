#pragma once
// Something the stage steps once a frame: every object placed in a stage while it is active,
// and the late hooks (camera, ground, HUD) that run after them.
namespace quarn {

class Updatable {
 public:
  virtual ~Updatable() = default;
  virtual void Update() = 0;

 protected:
  Updatable() = default;
  Updatable(const Updatable&) = default;
  Updatable& operator=(const Updatable&) = default;
};

}  // namespace quarn
