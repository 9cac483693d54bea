#include "units/Trajectory.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "render/DeviceOrCurrent.h"
#include "units/Side.h"
#include "units/StageServices.h"

namespace quarn {

Trajectory::Trajectory(StageServices* stage) : Model(stage) {}

Trajectory::~Trajectory() {
  Trajectory::Unload();
}

bool Trajectory::Load(const std::string& file) {
  if (!Model::Load(file, 4, kTrailGroup, {}))
    return false;
  DefinitionFile& def = *Definition();
  def.SelectSection("Trajectory");
  const int count = def.GetCount("TrajectoryCount");
  trails_.clear();
  for (int i = 0; i < count; ++i) {
    def.SelectSection("Trajectory", static_cast<unsigned>(i));
    auto trail = std::make_unique<TrajectoryTrail>();
    trail->Load(def, &stage_->Cache());
    trail->SetFrame(&body_);
    trails_.push_back(std::move(trail));
  }
  return true;
}

void Trajectory::Unload() {
  trails_.clear();
  Model::Unload();
}

void Trajectory::StartContinuous(int side) {
  for (auto& trail : trails_)
    trail->SetEmitting(true);
  Activate(side);
}

void Trajectory::StopEmitting() {
  for (auto& trail : trails_)
    trail->StartTimed(0.0f);
}

bool Trajectory::IsRunning() const {
  for (const auto& trail : trails_) {
    if (trail->IsEmitting() || trail->PointCount() > 0)
      return true;
  }
  return false;
}

void Trajectory::Update() {
  for (auto& trail : trails_)
    trail->Update(kFrameStep);
  if (!IsRunning())
    Deactivate();
  Model::Update();
}

bool Trajectory::Cull(ViewCamera&, bool alphaPass) {
  return alphaPass;
}

bool Trajectory::DrawNormal() {
  return false;
}

bool Trajectory::DrawAlpha() {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  const uint32_t fog =
      device != nullptr ? device->GetRenderState(platform::RenderState::FogEnable) : 0;
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::FogEnable, 0u);
  for (auto& trail : trails_)
    trail->Draw();
  if (device != nullptr)
    device->SetRenderState(platform::RenderState::FogEnable, fog);
  return true;
}

}  // namespace quarn
