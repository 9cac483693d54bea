#include "game/LabScene.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/InputSystem.h"
#include "engine/ResourceCache.h"
#include "platform/Diagnostics.h"
#include "platform/ScanCodes.h"
#include "projectiles/Gun.h"
#include "projectiles/Rocket.h"
#include "render/DeviceOrCurrent.h"
#include "render/Mesh.h"
#include "stage/DirectionalLight.h"
#include "stage/Ground.h"
#include "units/Airship.h"
#include "units/Building.h"
#include "units/ChaseCamera.h"
#include "units/LightAircraft.h"
#include "units/Particle.h"
#include "units/Ship.h"
#include "units/Side.h"
#include "units/Trajectory.h"
#include "units/Vehicle.h"
#include "weapons/ChargeWeapon.h"
#include "weapons/LockWeapon.h"
#include "weapons/RapidWeapon.h"

namespace quarn {

namespace {
constexpr long kEffectPeriod = 120;  // frames between restarts of an effect
constexpr long kShotPeriod = 75;
constexpr long kRespawnDelay = 90;
constexpr float kOrbitRate = 0.004f;  // radians per frame

// A mesh on its own, drawn in the opaque pass.
class ShownMesh : public Drawable {
 public:
  explicit ShownMesh(MeshInstance* mesh) : mesh_(mesh) {}
  bool Cull(ViewCamera&, bool alphaPass) override { return !alphaPass; }
  bool DrawNormal() override { return mesh_->Draw(); }
  bool DrawAlpha() override { return false; }

 private:
  MeshInstance* mesh_;
};

bool EndsWithX(const std::string& file) {
  return file.size() > 2 && file[file.size() - 2] == '.' &&
         (file.back() == 'x' || file.back() == 'X');
}

bool Has(const DefinitionFile& def, const char* section) {
  return def.Sections().count(section) != 0;
}

// Whether every emitter of a particle file starts timed with nothing to emit (an effect meant
// to run until it is stopped: exhaust, smoke columns).
bool RunsContinuously(const Particle& particle) {
  for (const auto& emitter : particle.Emitters()) {
    if (emitter->EmitTime() > 0.0f)
      return false;
  }
  return true;
}
}  // namespace

LabScene::LabScene(SceneOwner* game) : MainScene(game), grid_(400.0f, 10.0f, 0.0f) {}

LabScene::~LabScene() {
  LabScene::Finish();
}

LabScene::Kind LabScene::Classify(const std::string& file) {
  if (EndsWithX(file))
    return Kind::Mesh;
  DefinitionFile* def = Cache().GetDefinition(file);
  if (def == nullptr)
    return Kind::Missing;
  if (Has(*def, "Particle"))
    return Kind::Particle;
  if (Has(*def, "Trajectory"))
    return Kind::Trail;
  if (Has(*def, "Rocket"))
    return Kind::Rocket;
  if (Has(*def, "Gun") || Has(*def, "Bullet"))
    return Kind::Gun;
  if (Has(*def, "Ground"))
    return Kind::Ground;
  if (Has(*def, "Weapon") || Has(*def, "SelectableWeapon"))
    return Kind::Weapon;
  for (const char* section : {"Aircraft", "Airship", "Ship", "Vehicle", "Building", "Unit",
                              "Container", "Component", "Engine", "Target", "Solid"}) {
    if (Has(*def, section))
      return Kind::Unit;
  }
  return Kind::Missing;
}

int LabScene::LoadLab(const std::string& file) {
  PrepareWorld();
  file_ = file;
  Transform& root = WorldRoot();
  orbitFrame_.SetParent(&root);
  carrier_.SetParent(&root);
  launchPort_.SetParent(&root);
  Renders().SetSky(&grid_);
  light_ = std::make_unique<DirectionalLight>(0, platform::ColorValue{0.95f, 0.92f, 0.85f, 1.0f},
                                              platform::ColorValue{0.38f, 0.40f, 0.45f, 1.0f});
  light_->Frame().SetParent(&root);
  light_->Frame().SetOrientation({0.4f, -1.0f, 0.6f}, {0, 1, 0});
  kind_ = Classify(file);
  switch (kind_) {
    case Kind::Missing:
      platform::ReportProblem(file, "is not a mesh or a file the lab can show");
      break;
    case Kind::Mesh: {
      mesh_.SetMesh(Cache().GetMesh(file));
      mesh_.SetFrame(&carrier_);
      shownMesh_ = std::make_unique<ShownMesh>(&mesh_);
      Renders().AddDrawable(shownMesh_.get());
      if (Mesh* mesh = mesh_.GetMesh())
        radius_ = mesh->GetSphereRadius() + gfx::Vec3Length(mesh->GetSphereCentre());
      break;
    }
    case Kind::Particle:
      particle_ = Pool().AcquireParticle(file, false);
      particle_->Hold();
      particle_->Body().SetParent(&root);
      radius_ = 30.0f;
      break;
    case Kind::Trail:
      trail_ = Pool().AcquireTrail(file, false);
      trail_->Hold();
      trail_->Body().SetParent(&carrier_);
      trail_->StartContinuous(kPlayerSide);
      radius_ = 30.0f;
      break;
    case Kind::Gun:
    case Kind::Rocket:
      projectile_ = kind_ == Kind::Gun ? static_cast<Bullet*>(Pool().AcquireGunBullet(file, false))
                                       : Pool().AcquireRocket(file, false);
      projectile_->Hold();
      launchPort_.SetPosition({-60.0f, 6.0f, 10.0f});
      launchPort_.SetOrientation({1, 0, 0}, {0, 1, 0});
      radius_ = 35.0f;
      break;
    case Kind::Ground:
      ground_ = std::make_unique<Ground>(this);
      ground_->Load(file);
      Renders().SetSky(nullptr);
      radius_ = 900.0f;
      break;
    case Kind::Unit:
      ShowUnit(file);
      break;
    case Kind::Weapon:
      ShowWeapon(file);
      break;
  }
  radius_ = std::max(radius_ * 2.6f, 30.0f);
  Camera()->SetFollowedFrame(&orbitFrame_);
  Camera()->Start();
  Orbit();
  Camera()->Body().AlignTo(&Camera()->ChaseFrame());
  return 1;
}

void LabScene::ShowUnit(const std::string& file) {
  const DefinitionFile& def = *Cache().GetDefinition(file);
  if (Has(def, "Aircraft"))
    unit_ = std::make_unique<LightAircraft>(this);
  else if (Has(def, "Airship"))
    unit_ = std::make_unique<Airship>(this);
  else if (Has(def, "Ship"))
    unit_ = std::make_unique<Ship>(this);
  else if (Has(def, "Vehicle"))
    unit_ = std::make_unique<Vehicle>(this);
  else
    unit_ = std::make_unique<Building>(this);
  unit_->LoadUnit(file);
  unit_->Activate(kEnemySide);
  if (unit_->HasCollisionMesh()) {
    gfx::Vector3 centre;
    float radius = 0.0f;
    unit_->CollisionMesh().GetBoundingSphere(&centre, &radius);
    radius_ = radius;
  }
}

void LabScene::ShowWeapon(const std::string& file) {
  DefinitionFile& def = *Cache().GetDefinition(file);
  std::string weaponFile = file;
  bool rapid = Has(def, "RapidWeapon"), lock = Has(def, "LockWeapon");
  if (Has(def, "SelectableWeapon")) {
    // The player's selectable weapon: the lab shows the weapon its file names.
    def.SelectSection("SelectableWeapon");
    rapid = def.GetBool("RapidWeaponEnable", false);
    lock = def.GetBool("LockWeaponEnable", false);
    weaponFile = def.GetString("DefineFile", "");
  }
  if (rapid)
    weapon_ = std::make_unique<RapidWeapon>(this);
  else if (lock)
    weapon_ = std::make_unique<LockWeapon>(this);
  else
    weapon_ = std::make_unique<ChargeWeapon>(this);
  weapon_->Load(weaponFile, nullptr);
  // The player's side, so that it picks the lab's target as the player's weapons would.
  weapon_->SetPlayerSide();
  weapon_->Body().SetParent(&WorldRoot());
  weapon_->Activate(kPlayerSide);
  // Something to aim at, carried to and fro in front of the stand.
  if (Cache().GetDefinition("LabTarget.txt") != nullptr) {
    target_ = std::make_unique<LightAircraft>(this);
    target_->LoadUnit("LabTarget.txt");
    target_->Activate(kEnemySide);
  }
  // Framed wide enough to see the target go round and the shots reach it.
  radius_ = 60.0f;
}

int LabScene::Start() {
  MainScene::Start();
  if (platform::RenderDevice* device = DeviceOrCurrent(nullptr)) {
    device->SetRenderState(platform::RenderState::FogEnable, 0u);
    light_->Apply(device);
  }
  return 1;
}

bool LabScene::KeyDown(uint8_t code) const {
  const InputSystem* input = InputSystem::Instance();
  return input != nullptr && input->GetKeyboard() != nullptr && input->GetKeyboard()->GetKey(code);
}

bool LabScene::KeyPressed(uint8_t code) {
  const bool down = KeyDown(code);
  const bool pressed = down && !keyWas_[code];
  keyWas_[code] = down;
  return pressed;
}

void LabScene::Orbit() {
  const float angle = static_cast<float>(frames_) * kOrbitRate;
  if (kind_ == Kind::Weapon) {
    // Behind the stand, over its shoulder, so that the shots are seen reaching the target.
    orbitFrame_.SetPosition({std::sin(angle) * 20.0f, 18.0f, -35.0f});
    orbitFrame_.SetOrientation(gfx::Vector3(0, 12, 110) - orbitFrame_.GetPosition(), {0, 1, 0});
    return;
  }
  const float height = kind_ == Kind::Ground ? 350.0f : radius_ * 0.35f + 4.0f;
  // The camera trails its frame by 25 units: the frame sits that much nearer the subject.
  const float distance = std::max(radius_ - 25.0f, 1.0f);
  orbitFrame_.SetPosition({std::sin(angle) * distance, height, -std::cos(angle) * distance});
  const gfx::Vector3 at = kind_ == Kind::Ground ? gfx::Vector3(0, 0, 0) : gfx::Vector3(0, 2, 0);
  const gfx::Vector3 from = orbitFrame_.GetPosition();
  orbitFrame_.SetOrientation(at - from, {0, 1, 0});
}

void LabScene::Launch() {
  projectile_->MountOnPort(&launchPort_, true);
  projectile_->Arm();
  projectile_->SetLaunchVelocity({});
  projectile_->Activate(kPlayerSide);
  projectile_->MountOnPort(nullptr, false);
}

void LabScene::StepSubject() {
  const long phase = frames_ % kEffectPeriod;
  switch (kind_) {
    case Kind::Particle:
      if (phase == 1) {
        if (RunsContinuously(*particle_))
          particle_->StartContinuous(kPlayerSide);
        else
          particle_->StartTimed(kPlayerSide);
      } else if (phase == kEffectPeriod * 2 / 3 && RunsContinuously(*particle_)) {
        particle_->StopEmitting();
      }
      break;
    case Kind::Trail: {
      const float angle = static_cast<float>(frames_) * 0.05f;
      carrier_.SetPosition(
          {std::sin(angle) * 15.0f, 3.0f + std::sin(angle * 0.5f) * 3.0f, std::cos(angle) * 15.0f});
      break;
    }
    case Kind::Gun:
    case Kind::Rocket:
      if (frames_ % kShotPeriod == 1 && projectile_->IsFinished())
        Launch();
      break;
    case Kind::Unit: {
      if (KeyPressed(platform::scan::kB)) {
        if (unit_->GetLifeState() == LifeState::Alive)
          unit_->Break();
        else if (unit_->GetLifeState() == LifeState::Breaking)
          unit_->Destruct();
      }
      // Once its last destruct event has run it comes back, for another look.
      if (!unit_->IsActive()) {
        if (finishedAt_ < 0)
          finishedAt_ = frames_;
        else if (frames_ - finishedAt_ > kRespawnDelay) {
          unit_->Activate(kEnemySide);
          finishedAt_ = -1;
        }
      }
      break;
    }
    case Kind::Weapon: {
      const float angle = static_cast<float>(frames_) * 0.01f;
      if (target_ != nullptr) {
        // Side to side in front of the stand, so that fixed guns and lock cones meet it too.
        target_->LayoutFrame().SetPosition({std::sin(angle) * 50.0f,
                                            25.0f + std::sin(angle * 3.0f) * 15.0f,
                                            120.0f + std::cos(angle) * 30.0f});
        target_->LayoutFrame().SetOrientation(
            {std::cos(angle) * 50.0f, 0.0f, -std::sin(angle) * 30.0f}, {0, 1, 0});
      }
      const bool fire = KeyDown(platform::scan::kSpace);
      const bool released = !fire && keyWas_[platform::scan::kSpace];
      keyWas_[platform::scan::kSpace] = fire;
      weapon_->RequestAim();
      if (auto* rapid = dynamic_cast<RapidWeapon*>(weapon_.get())) {
        if (fire)
          rapid->RequestFire();
      } else if (auto* lock = dynamic_cast<LockWeapon*>(weapon_.get())) {
        if (released)
          lock->RequestFire();
        else
          lock->SetLocking(fire);
      } else if (auto* charge = dynamic_cast<ChargeWeapon*>(weapon_.get())) {
        if (released)
          charge->RequestFire();
        else
          charge->SetCharging(fire);
      }
      break;
    }
    default:
      break;
  }
}

void LabScene::Update() {
  ++frames_;
  Buttons().Update();
  StepSubject();
  Updates().UpdateAll();
  Collisions().Pass();
  if (kind_ == Kind::Unit) {
    // The turntable: whatever the unit's own motion did, it stands turning at the centre.
    Transform& layout = unit_->LayoutFrame();
    layout.SetPosition({0, 0, 0});
    layout.SetOrientation({std::sin(frames_ * 0.01f), 0.0f, std::cos(frames_ * 0.01f)}, {0, 1, 0});
  }
  Orbit();
}

void LabScene::Render() {
  // A neutral blue-grey, against which dark smoke and bright fire both show.
  RenderWorld(0xFF38404Cu);
}

void LabScene::Finish() {
  Renders().SetSky(nullptr);
  if (unit_ != nullptr) {
    unit_->Unload();
    unit_.reset();
  }
  if (weapon_ != nullptr) {
    weapon_->Unload();
    weapon_.reset();
  }
  if (target_ != nullptr) {
    target_->Unload();
    target_.reset();
  }
  if (ground_ != nullptr) {
    ground_->Unload();
    ground_.reset();
  }
  light_.reset();
  if (shownMesh_ != nullptr) {
    Renders().RemoveDrawable(shownMesh_.get());
    shownMesh_.reset();
  }
  MainScene::Finish();
}

}  // namespace quarn
