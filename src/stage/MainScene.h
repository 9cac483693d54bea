#pragma once
// The play of one stage: it reads the stage file, makes every unit and the player aircraft,
// owns the services through which they find one another, and runs the mission: emerge events
// that bring units into play when their conditions hold, eight progress counters fed by
// broken targets, and six phases that fade in, announce the start, watch for success or
// failure, fade out and hand the result to the menu.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "render/RenderManager.h"
#include "render/Transform.h"
#include "stage/EffectPool.h"
#include "stage/EmergeEvent.h"
#include "stage/GameScene.h"
#include "stage/HudMessage.h"
#include "stage/SceneEnvironment.h"
#include "units/CollisionManager.h"
#include "units/StageServices.h"
#include "units/UpdateManager.h"

namespace quarn {

class ChaseCamera;
class StageHud;
class StageLog;
class Texture;

class MainScene : public GameScene, public StageServices {
 public:
  enum Phase : int {
    kFadeIn = 0,
    kOpening = 1,
    kPlaying = 2,
    kFailing = 3,
    kEnding = 4,
    kFadeOut = 5
  };
  static constexpr float kTimeGaugeScale = 600.0f;

  explicit MainScene(SceneOwner* game);
  ~MainScene() override;

  int Load(const std::string& stageFile, const std::string& aircraftFile,
           const std::string& primaryWeaponFile, const std::string& secondaryWeaponFile);
  int AddProgressPoint(int index, int amount) override;
  int Start() override;
  void Finish() override;
  void Update() override;
  void Render() override;

  // StageServices.
  Unit* FindUnit(int unitId) override;
  PlayerAircraft* Player() override { return player_.get(); }
  Transform& WorldRoot() override { return root_; }
  Transform& AreaCentre() override { return areaCentre_; }
  TargetRegistry& Targets() override { return targets_; }
  TargetRegistry& SearchTargets() override { return searchTargets_; }
  UnitRegistry& AreaUnits() override { return areaUnits_; }
  ProjectileRegistry& Projectiles() override { return projectiles_; }
  UpdateManager& Updates() override { return updates_; }
  RenderManager& Renders() override { return renders_; }
  CollisionManager& Collisions() override { return collisions_; }
  EffectSource& Effects() override { return effects_; }
  ResourceCache& Cache() override { return GameScene::Cache(); }
  ChaseCamera* Camera() override { return camera_.get(); }
  ButtonMap& Buttons() override { return GameScene::Buttons(); }
  void SetHudMessage(int n) override;
  void ApplyGroundFog() override;
  void ApplySceneFog() override;
  void Rumble(float strength, float seconds) override;
  void UnitBroken(const Unit& unit) override;
  void UnitDestructed(const Unit& unit) override;

  void AddToDigest(StateDigest& digest) const override;

  const std::string& StageFile() const { return stageFile_; }
  float StageTime() const { return stageTime_; }
  int Progress(int index) const { return progress_[static_cast<size_t>(index & 7)]; }
  int CurrentPhase() const { return phase_; }
  int PhaseFrames() const { return phaseFrames_; }
  bool MissionComplete() const { return missionComplete_; }
  long UpdateCount() const { return updateCount_; }
  const HudMessage& Message() const { return message_; }
  HudMessage& Message() { return message_; }
  const std::vector<EmergeEvent>& Emerges() const { return emerges_; }
  const std::map<int, std::unique_ptr<Unit>>& UnitTable() const { return unitTable_; }
  EffectPool& Pool() { return effects_; }
  const SceneEnvironment& Environment() const { return environment_; }
  StageHud* Hud() const { return hud_.get(); }
  const std::string& MusicFile() const { return musicFile_; }

 protected:
  // What every scene of the stage's kind sets up first (the lab too): the controls, the pool
  // and the camera, made before anything that looks for it.
  void PrepareWorld();
  // Unloads everything loaded in the world, in the order the services need.
  void FinishWorld();
  SceneEnvironment& MutableEnvironment() { return environment_; }
  void SetPlayer(std::unique_ptr<PlayerAircraft> player);
  // Clears to clear, draws the world, then the fades of the first and last phases.
  void RenderWorld(platform::Argb clear);

 private:
  template <class Kind>
  void LoadUnits(DefinitionFile& stage, const char* section, int count);
  void EvaluateEmerges();
  void MoveAreaCentre();
  void StepPhase();
  void SetPhase(int phase);
  void DrawFade();
  StageLog* Log() const;

  // Services first: they outlive every object listed in them.
  UpdateManager updates_;
  CollisionManager collisions_;
  RenderManager renders_;
  TargetRegistry targets_;
  TargetRegistry searchTargets_;
  UnitRegistry areaUnits_;
  ProjectileRegistry projectiles_;
  Transform root_;
  Transform areaCentre_;
  EffectPool effects_;
  std::unique_ptr<ChaseCamera> camera_;
  std::unique_ptr<StageHud> hud_;
  SceneEnvironment environment_;
  Texture* fadeIn_ = nullptr;
  Texture* fadeOut_ = nullptr;
  std::string musicFile_;
  std::unique_ptr<PlayerAircraft> player_;
  std::map<int, std::unique_ptr<Unit>> unitTable_;
  std::vector<EmergeEvent> emerges_;
  HudMessage message_;
  std::string stageFile_;
  float stageTime_ = 0;
  std::array<int, 8> progress_{};
  bool missionComplete_ = false;
  bool resultCompleted_ = false;
  int phase_ = kFadeIn;
  int phaseFrames_ = 0;
  long updateCount_ = 0;
  bool playerEndLogged_ = false;
  bool loaded_ = false;
};

}  // namespace quarn
