#include "units/Container.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "platform/Diagnostics.h"
#include "units/Component.h"
#include "units/EffectSource.h"
#include "units/Engine.h"
#include "units/Particle.h"
#include "units/Side.h"
#include "units/StageServices.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn {

Container::Container(StageServices* stage) : Target(stage) {}

Container::~Container() {
  // Children go first: their nodes hang under this body.
  Container::Unload();
}

std::vector<Container*> Container::Children() const {
  std::vector<Container*> children;
  for (const auto& c : components_)
    children.push_back(c.get());
  for (const auto& c : engines_)
    children.push_back(c.get());
  for (const auto& c : rapid_)
    children.push_back(c.get());
  for (const auto& c : lock_)
    children.push_back(c.get());
  for (const auto& c : charge_)
    children.push_back(c.get());
  return children;
}

bool Container::Load(const std::string&, Container*) {
  return false;
}

int Container::Depth() const {
  int depth = 0;
  for (const Container* at = owner_; at != nullptr; at = at->owner_)
    ++depth;
  return depth;
}

bool Container::LoadChildSafely(Container& child, const std::string& file) {
  for (const Container* at = this; at != nullptr; at = at->owner_) {
    if (at->File() == file) {
      platform::ReportProblem(File(), "a part names \"" + file +
                                          "\", which is already being loaded above it (a file "
                                          "that contains itself); the part is left empty");
      return false;
    }
  }
  if (Depth() + 1 >= kMaxDepth) {
    platform::ReportProblem(File(), "parts nest more than " + std::to_string(kMaxDepth) +
                                        " deep at \"" + file + "\"; the part is left empty");
    return false;
  }
  return child.Load(file, this);
}

void Container::Mount(Container& child, const gfx::Vector3& position, float heading, float pitch,
                      float bank) {
  Transform& node = child.Body();
  node.SetParent(&body_);
  node.SetPosition(position);
  node.RotateY(CombineMode::LocalAxes, heading * kDegreesToRadians);
  node.RotateX(CombineMode::LocalAxes, pitch * kDegreesToRadians);
  node.RotateZ(CombineMode::LocalAxes, bank * kDegreesToRadians);
}

template <class Child>
void Container::LoadChildren(const char* section, std::vector<std::unique_ptr<Child>>* list) {
  DefinitionFile& def = *Definition();
  def.SelectSection("Container");
  const int count = def.GetCount(std::string(section) + "Count");
  for (int i = 0; i < count; ++i) {
    def.SelectSection(section, static_cast<unsigned>(i));
    // The mount is read before the child loads: the child may load this very file and move
    // its current section.
    const std::string file = def.GetString("DefineFile", "");
    const gfx::Vector3 position(def.GetFloat("PositionX", 0.0f), def.GetFloat("PositionY", 0.0f),
                                def.GetFloat("PositionZ", 0.0f));
    const float heading = def.GetFloat("OrientationH", 0.0f);
    const float pitch = def.GetFloat("OrientationP", 0.0f);
    const float bank = def.GetFloat("OrientationB", 0.0f);
    auto child = std::make_unique<Child>(stage_);
    // A child whose file fails is still mounted and kept.
    LoadChildSafely(*child, file);
    Mount(*child, position, heading, pitch, bank);
    list->push_back(std::move(child));
  }
}

void Container::LoadEvents() {
  DefinitionFile& def = *Definition();
  def.SelectSection("Container");
  const int count = def.GetCount("DestructEventCount");
  for (int i = 0; i < count; ++i) {
    def.SelectSection("DestructEvent", static_cast<unsigned>(i));
    DestructEvent event;
    event.particleEnable = def.GetBool("ParticleEnable", false);
    const std::string particleFile = def.GetString("ParticleFile", "");
    event.minDelayTime = def.GetFloat("MinDelayTime", 0.0f);
    event.maxDelayTime = def.GetFloat("MaxDelayTime", 0.0f);
    event.particleDisable = def.GetBool("ParticleDisable", false);
    event.existDisable = def.GetBool("ExistDisable", false);
    event.searchTargetDisable = def.GetBool("SearchTargetDisable", false);
    event.destructRate = def.GetFloat("DestructRate", 0.0f);
    event.powerRate = def.GetFloat("PowerRate", 0.0f);
    for (unsigned p = 0; p < event.progressPoint.size(); ++p)
      event.progressPoint[p] = def.GetInt("ProgressPoint", p, 0);
    if (event.particleEnable && stage_ != nullptr) {
      event.particle = stage_->Effects().AcquireParticle(particleFile, true);
      event.particle->Hold();
      event.particle->Body().SetParent(&body_);
    }
    events_.push_back(event);
  }
}

bool Container::LoadContainer(const std::string& file, int updatePriority, int collisionGroup,
                              Container* owner) {
  owner_ = owner;
  if (!Target::Load(file, updatePriority, collisionGroup,
                    {kUnitGroup, kUnitPartGroup, kProjectileGroup})) {
    return false;
  }
  DefinitionFile& def = *Definition();
  def.SelectSection("Container");
  breakDestructRate_ = def.GetFloat("BreakDestructRate", 0.0f);
  breakPowerRate_ = def.GetFloat("BreakPowerRate", 0.0f);
  LoadChildren("Component", &components_);
  LoadChildren("Engine", &engines_);
  LoadChildren("RapidWeapon", &rapid_);
  LoadChildren("LockWeapon", &lock_);
  LoadChildren("ChargeWeapon", &charge_);
  LoadEvents();
  return true;
}

void Container::AdoptRapidWeapon(std::unique_ptr<RapidWeapon> weapon) {
  rapid_.push_back(std::move(weapon));
}

void Container::AdoptLockWeapon(std::unique_ptr<LockWeapon> weapon) {
  lock_.push_back(std::move(weapon));
}

void Container::AdoptChargeWeapon(std::unique_ptr<ChargeWeapon> weapon) {
  charge_.push_back(std::move(weapon));
}

void Container::Unload() {
  for (Container* child : Children()) {
    child->Body().SetParent(nullptr);
    child->Unload();
  }
  components_.clear();
  engines_.clear();
  rapid_.clear();
  lock_.clear();
  charge_.clear();
  Target::Unload();
}

void Container::Activate(int side) {
  destructProgress_ = 0.0f;
  eventTimer_ = 0.0f;
  eventIndex_ = 0;
  for (Container* child : Children())
    child->Activate(side);
  Target::Activate(side);
}

void Container::Deactivate() {
  for (DestructEvent& event : events_) {
    if (event.particle != nullptr)
      event.particle->StopEmitting();
  }
  for (Container* child : Children())
    child->Deactivate();
  Target::Deactivate();
}

bool Container::IsActive() const {
  return eventIndex_ < events_.size() || InRenders() || InCollisions();
}

void Container::Update() {
  if (GetLifeState() == LifeState::Destructing)
    UpdateDestructing();
  Target::Update();
}

void Container::OnBroken() {
  Target::OnBroken();
  ReducePower(breakPowerRate_);
  AddDestruct(breakDestructRate_);
}

void Container::AddDestruct(float rate) {
  if (destructProgress_ >= 1.0f)
    return;
  destructProgress_ += rate;
  if (destructProgress_ >= 1.0f)
    Destruct();
}

void Container::ReducePower(float rate) {
  if (owner_ != nullptr)
    owner_->ReducePower(rate);
}

void Container::SetEngineThrottle(float fraction) {
  for (const auto& engine : engines_)
    engine->SetEngineThrottle(fraction);
}

void Container::Destruct() {
  const LifeState state = GetLifeState();
  if (state != LifeState::Alive && state != LifeState::Breaking)
    return;
  LeaveTargetRegistry();
  SetLifeState(LifeState::Destructing);
  StartEvent(0);
  for (Container* child : Children())
    child->Destruct();
}

void Container::StartEvent(size_t index) {
  const bool valid = index < events_.size();
  if (valid && events_[index].particle != nullptr)
    events_[index].particle->StartTimed(Side());
  eventIndex_ = index;
  eventTimer_ = 0.0f;
  if (valid)
    events_[index].delay = DrawDelay(events_[index].minDelayTime, events_[index].maxDelayTime);
}

void Container::UpdateDestructing() {
  if (eventIndex_ >= events_.size())
    return;
  const float delay = events_[eventIndex_].delay;
  if (eventTimer_ > delay)
    return;
  eventTimer_ += kFrameStep;
  if (eventTimer_ > delay)
    OnDestructEvent();
}

void Container::UnregisterWithChildren() {
  Unregister();
  for (Container* child : Children())
    child->UnregisterWithChildren();
}

void Container::LeaveSearchWithChildren() {
  LeaveSearchRegistry();
  for (Container* child : Children())
    child->LeaveSearchWithChildren();
}

void Container::OnDestructEvent() {
  if (eventIndex_ >= events_.size())
    return;
  const DestructEvent event = events_[eventIndex_];
  if (event.particleDisable && event.particle != nullptr)
    event.particle->StopEmitting();
  if (event.existDisable)
    UnregisterWithChildren();
  if (event.searchTargetDisable)
    LeaveSearchWithChildren();
  ReducePower(event.powerRate);
  if (owner_ != nullptr)
    owner_->AddDestruct(event.destructRate);
  PayProgress(event.progressPoint);
  StartEvent(eventIndex_ + 1);
}

}  // namespace quarn
