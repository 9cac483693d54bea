#include "stage/MainScene.h"

#include "engine/DefinitionFile.h"
#include "engine/FixedStep.h"
#include "engine/InputMappings.h"
#include "engine/StateDigest.h"
#include "platform/Diagnostics.h"
#include "projectiles/Bullet.h"
#include "render/DeviceOrCurrent.h"
#include "render/Texture.h"
#include "stage/Ground.h"
#include "stage/SceneOwner.h"
#include "stage/StageHud.h"
#include "stage/StageLog.h"
#include "units/Airship.h"
#include "units/Building.h"
#include "units/ChaseCamera.h"
#include "units/HeavyAircraft.h"
#include "units/LightAircraft.h"
#include "units/PlayerAircraft.h"
#include "units/Ship.h"
#include "units/Side.h"
#include "units/Vehicle.h"

namespace quarn {

namespace {
constexpr float kFadeStep = 0.033333335f;
}

MainScene::MainScene(SceneOwner* game) : GameScene(game), environment_(this) {}

MainScene::~MainScene() {
  if (loaded_)
    Finish();
}

StageLog* MainScene::Log() const {
  SceneOwner* game = Game();
  StageLog* log = game != nullptr ? game->GetStageLog() : nullptr;
  return log != nullptr && log->IsOpen() ? log : nullptr;
}

Unit* MainScene::FindUnit(int unitId) {
  if (unitId == -1)
    return player_.get();
  auto it = unitTable_.find(unitId);
  return it == unitTable_.end() ? nullptr : it->second.get();
}

template <class Kind>
void MainScene::LoadUnits(DefinitionFile& stage, const char* section, int count) {
  for (int n = 0; n < count; ++n) {
    stage.SelectSection(section, static_cast<unsigned>(n));
    auto unit = std::make_unique<Kind>(this);
    // A unit whose file fails is still filed under its own UnitID; it does nothing in play.
    unit->LoadPlacement(stage);
    const int id = unit->UnitId();
    if (unitTable_.count(id) != 0) {
      platform::ReportProblem(
          stage.Name() + " [" + DefinitionFile::IndexedName(section, n) + "] UnitID",
          std::to_string(id) +
              " is taken by an earlier unit; this one is "
              "left out");
      unit->Unload();
      continue;
    }
    unitTable_.emplace(id, std::move(unit));
  }
}

void MainScene::PrepareWorld() {
  Reset();
  loaded_ = true;
  InstallSceneInput(SceneInput::StagePlay, InputSystem::Instance(), &GameScene::Buttons());
  effects_.SetScene(this);
  // Made first: what loads next (positional sounds, the player's view) looks for it.
  camera_ = std::make_unique<ChaseCamera>(this);
}

void MainScene::SetPlayer(std::unique_ptr<PlayerAircraft> player) {
  player_ = std::move(player);
}

int MainScene::Load(const std::string& stageFile, const std::string& aircraftFile,
                    const std::string& primaryWeaponFile, const std::string& secondaryWeaponFile) {
  PrepareWorld();
  stageFile_ = stageFile;

  DefinitionFile* file = GameScene::Cache().GetDefinition(stageFile);
  DefinitionFile missing;
  missing.SetName(stageFile);
  DefinitionFile& stage = file != nullptr ? *file : missing;
  environment_.LoadEnvironment(stage);

  stage.SelectSection("Stage");
  fadeIn_ = GameScene::Cache().GetTexture(stage.GetString("FadeInTextureFile", ""));
  fadeOut_ = GameScene::Cache().GetTexture(stage.GetString("FadeOutTextureFile", ""));
  musicFile_ = stage.GetString("MusicFile", "");
  const int lightAircraft = stage.GetCount("LightAircraftCount");
  const int heavyAircraft = stage.GetCount("HeavyAircraftCount");
  const int ships = stage.GetCount("ShipCount");
  const int airships = stage.GetCount("AirshipCount");
  const int vehicles = stage.GetCount("VehicleCount");
  const int buildings = stage.GetCount("BuildingCount");
  const int emerges = stage.GetCount("EmergeCount");

  stage.SelectSection("PlayerAircraft");
  player_ = std::make_unique<PlayerAircraft>(this);
  player_->LoadPlayer(aircraftFile, primaryWeaponFile, secondaryWeaponFile, stage);

  LoadUnits<LightAircraft>(stage, "LightAircraft", lightAircraft);
  LoadUnits<HeavyAircraft>(stage, "HeavyAircraft", heavyAircraft);
  LoadUnits<Ship>(stage, "Ship", ships);
  LoadUnits<Airship>(stage, "Airship", airships);
  LoadUnits<Vehicle>(stage, "Vehicle", vehicles);
  LoadUnits<Building>(stage, "Building", buildings);

  for (int n = 0; n < emerges; ++n) {
    stage.SelectSection("Emerge", static_cast<unsigned>(n));
    EmergeEvent event;
    event.Load(stage, *this);
    emerges_.push_back(std::move(event));
  }

  if (SceneOwner* game = Game())
    hud_ = game->MakeHud(*this);
  if (hud_ != nullptr)
    hud_->Load();
  camera_->Start();

  areaCentre_.SetParent(&root_);
  areaCentre_.SetPosition({0.0f, 600.0f, 0.0f});
  stageTime_ = 0.0f;
  progress_.fill(0);
  missionComplete_ = false;
  resultCompleted_ = false;
  phase_ = kFadeIn;
  phaseFrames_ = 0;
  updateCount_ = 0;
  playerEndLogged_ = false;
  if (SceneOwner* game = Game())
    game->PlayMusic(musicFile_, 0.0f);
  // The player's own mode and control step, not a bare activation.
  player_->StartPlayer();
  camera_->Body().AlignTo(&player_->Body());
  camera_->Body().Translate(CombineMode::LocalAxes, ChaseCamera::kChaseOffset);
  if (StageLog* log = Log())
    log->Start(0, stageFile_);
  return 1;
}

int MainScene::AddProgressPoint(int index, int amount) {
  if (index < 0 || index >= static_cast<int>(progress_.size()))
    return index;
  if (amount != 0) {
    progress_[static_cast<size_t>(index)] += amount;
    if (StageLog* log = Log())
      log->Progress(updateCount_, index, progress_[static_cast<size_t>(index)]);
  }
  return index;
}

void MainScene::EvaluateEmerges() {
  for (size_t n = 0; n < emerges_.size(); ++n) {
    EmergeEvent& event = emerges_[n];
    if (event.done || !event.Ready(stageTime_, progress_))
      continue;
    if (event.missionComplete)
      missionComplete_ = true;
    for (Unit* unit : event.units) {
      unit->Activate(kEnemySide);
      unit->SetMode(BehaviourMode::ToDestination);
    }
    event.done = true;
    if (StageLog* log = Log())
      log->Emerge(updateCount_, static_cast<int>(n), event.unitIds);
  }
}

void MainScene::MoveAreaCentre() {
  if (!areaUnits_.Empty()) {
    gfx::Vector3 sum;
    for (Unit* unit : areaUnits_.Items())
      sum += unit->WorldPosition();
    areaCentre_.SetPosition(sum * (1.0f / static_cast<float>(areaUnits_.Size())));
  } else if (player_ != nullptr) {
    areaCentre_.SetPosition(player_->WorldPosition());
  }
}

void MainScene::Update() {
  ++updateCount_;
  stageTime_ += kFrameStep;
  GameScene::Buttons().Update();
  EvaluateEmerges();
  MoveAreaCentre();
  environment_.FollowCamera();
  updates_.UpdateAll();
  collisions_.Pass();
  StepPhase();
}

void MainScene::SetPhase(int phase) {
  phase_ = phase;
  phaseFrames_ = 0;
  if (StageLog* log = Log())
    log->Phase(updateCount_, phase);
}

void MainScene::StepPhase() {
  switch (phase_) {
    case kFadeIn:
      if (++phaseFrames_ > 30)
        SetPhase(kOpening);
      break;
    case kOpening:
      ++phaseFrames_;
      SetHudMessage(1);
      if (phaseFrames_ > 60)
        SetPhase(kPlaying);
      break;
    case kPlaying:
      // The result is decided here: an event that completes the mission after "failed" or
      // "time over" was shown does not change it.
      if (missionComplete_) {
        resultCompleted_ = true;
        SetHudMessage(2);
        SetPhase(kEnding);
      } else if (player_ == nullptr || !player_->IsActive()) {
        SetHudMessage(3);
        SetPhase(kEnding);
      } else if (player_->ActiveTime() < 0.0f) {
        SetHudMessage(6);
        SetPhase(kFailing);
      }
      break;
    case kFailing:
      if (++phaseFrames_ > 90) {
        SetHudMessage(3);
        SetPhase(kEnding);
      }
      break;
    case kEnding:
      if (++phaseFrames_ > 120) {
        if (SceneOwner* game = Game())
          game->FadeOutMusic(3.0f);
        SetPhase(kFadeOut);
      }
      break;
    case kFadeOut:
      if (++phaseFrames_ > 120) {
        SetActive(false);
        if (SceneOwner* game = Game()) {
          game->SetValue(ValueId::MissionCompleted, resultCompleted_ ? "true" : "false");
          game->SetValue(ValueId::Scene, "Menu");
        }
        if (StageLog* log = Log())
          log->Result(updateCount_, resultCompleted_);
      }
      break;
    default:
      break;
  }
  if (player_ != nullptr && !playerEndLogged_ && !player_->IsActive()) {
    playerEndLogged_ = true;
    if (!player_->IsDestructed())
      UnitDestructed(*player_);
  }
}

void MainScene::SetHudMessage(int n) {
  if (n != message_.Number()) {
    if (StageLog* log = Log())
      log->Message(updateCount_, n);
  }
  message_.Set(n);
}

void MainScene::ApplyGroundFog() {
  if (Ground* ground = environment_.GetGround())
    ground->ApplyFogDistances();
}

void MainScene::ApplySceneFog() {
  environment_.ApplyFogDistances();
}

void MainScene::Rumble(float strength, float seconds) {
  if (InputSystem* input = InputSystem::Instance())
    input->Rumble(strength, seconds);
}

void MainScene::UnitBroken(const Unit& unit) {
  if (StageLog* log = Log())
    log->Broken(updateCount_, unit.UnitId());
}

void MainScene::UnitDestructed(const Unit& unit) {
  if (&unit == player_.get())
    playerEndLogged_ = true;
  if (StageLog* log = Log())
    log->Destructed(updateCount_, unit.UnitId());
}

int MainScene::Start() {
  GameScene::Start();
  environment_.ApplyEnvironment();
  return 1;
}

void MainScene::DrawFade() {
  Texture* texture = phase_ == kFadeIn ? fadeIn_ : fadeOut_;
  if (texture == nullptr)
    return;
  float a = phase_ == kFadeIn ? 1.0f - static_cast<float>(phaseFrames_) * kFadeStep
                              : static_cast<float>(phaseFrames_) * kFadeStep;
  if (a > 1.0f)
    a = 1.0f;
  SpriteBatch& sprites = Sprites();
  sprites.Clear();
  sprites.Queue(texture, {0, 0}, 0, 0, 640, 480, 1.0f, 1.0f, {0, 0}, 0.0f, {1.0f, 1.0f, 1.0f, a});
  sprites.Draw();
}

void MainScene::Render() {
  RenderWorld(environment_.FogEnabled() ? environment_.FogColor() : 0u);
}

void MainScene::RenderWorld(platform::Argb clear) {
  platform::RenderDevice* device = DeviceOrCurrent(nullptr);
  if (device == nullptr)
    return;
  device->Clear(0, nullptr, platform::kClearTarget | platform::kClearZBuffer, clear, 1.0f, 0);
  device->BeginScene();
  renders_.Render();
  if (phase_ == kFadeIn || phase_ == kFadeOut)
    DrawFade();
  device->EndScene();
}

void MainScene::Finish() {
  FinishWorld();
  GameScene::Finish();
}

void MainScene::FinishWorld() {
  if (!loaded_)
    return;
  loaded_ = false;
  areaCentre_.SetParent(nullptr);
  if (camera_ != nullptr)
    camera_->Unload();
  if (hud_ != nullptr) {
    hud_->Finish();
    hud_.reset();
  }
  for (auto& [id, unit] : unitTable_)
    unit->Unload();
  unitTable_.clear();
  if (player_ != nullptr) {
    player_->Unload();
    player_.reset();
  }
  environment_.Finish();
  effects_.Clear();
  camera_.reset();
  ClearSceneInput(InputSystem::Instance());
}

void MainScene::AddToDigest(StateDigest& digest) const {
  digest.AddInt(phase_);
  digest.AddInt(phaseFrames_);
  digest.AddInt(missionComplete_ ? 1 : 0);
  digest.AddFloat(stageTime_);
  for (int value : progress_)
    digest.AddInt(value);
  auto addUnit = [&digest](const Unit& unit) {
    if (!unit.IsActive())
      return;
    const gfx::Vector3 p = unit.WorldPosition();
    digest.AddInt(unit.UnitId());
    digest.AddFloat(p.x);
    digest.AddFloat(p.y);
    digest.AddFloat(p.z);
    digest.AddInt(static_cast<int>(unit.GetLifeState()));
    digest.AddFloat(unit.Armour());
  };
  if (player_ != nullptr)
    addUnit(*player_);
  for (const auto& [id, unit] : unitTable_)
    addUnit(*unit);
  digest.AddInt(static_cast<int64_t>(projectiles_.Size()));
  for (const Bullet* bullet : projectiles_.Items()) {
    const gfx::Vector3 p = bullet->WorldPosition();
    digest.AddFloat(p.x);
    digest.AddFloat(p.y);
    digest.AddFloat(p.z);
  }
}

}  // namespace quarn
