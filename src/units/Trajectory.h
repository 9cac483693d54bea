#pragma once
// A trail placed in a stage: the ribbons of one trajectory file, dropped in world space
// behind whatever carries its node (a missile, a rolling aircraft's wing tips). It leaves the
// stage by itself once it stopped and its last point has faded.
#include <memory>
#include <string>
#include <vector>

#include "render/TrajectoryTrail.h"
#include "units/Model.h"

namespace quarn {

class Trajectory : public Model {
 public:
  explicit Trajectory(StageServices* stage);
  ~Trajectory() override;

  // The model's own Load stays callable beside this file-only form.
  using Model::Load;
  bool Load(const std::string& file);
  void Unload() override;
  void StartContinuous(int side);
  // Each trail ends its emission at its next update, before dropping another point.
  void StopEmitting();

  void Update() override;

  bool Cull(ViewCamera& camera, bool alphaPass) override;
  bool DrawNormal() override;
  bool DrawAlpha() override;
  float GetImpulsiveForce() override { return 0.0f; }

  const std::vector<std::unique_ptr<TrajectoryTrail>>& Trails() const { return trails_; }
  bool IsRunning() const;

 private:
  std::vector<std::unique_ptr<TrajectoryTrail>> trails_;
};

}  // namespace quarn
