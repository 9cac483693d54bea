#pragma once
// The game object the main loop drives: the current scene (menu, movie or stage play), the
// background music with its fades, and the values through which scenes hand over to one
// another, whose 64 storage slots live in the save file between runs.
#include <memory>
#include <string>

#include "engine/AudioStream.h"
#include "engine/DigestSource.h"
#include "engine/FixedStep.h"
#include "engine/LaunchOptions.h"
#include "game/MediaFile.h"
#include "stage/GameScene.h"
#include "stage/SceneOwner.h"
#include "stage/StageLog.h"

namespace quarn {

class DemoPilot;

class Game : public SceneOwner, public DigestSource {
 public:
  enum class SceneKind { None = 0, Menu = 1, Movie = 2, Main = 3, Lab = 4 };

  // savePath: the save file; empty: the running application's.
  // savePath: the save file; empty: the running application's. options: where to start
  // (--stage, --lab) and where to log stages.
  explicit Game(std::string savePath = "", LaunchOptions options = {});
  ~Game() override;

  // Reads the save file and starts the menu "SystemMenu.txt" in state 0 (or the stage or the
  // lab the options name).
  int Init() override;
  // Stops the music, writes the save file and finishes the scene.
  void Finish() override;
  // Switches scenes when the current one is done (a SceneValue that names no scene sets
  // *quit), updates the scene and steps the music fade.
  int Update(int* quit) override;
  int Render() override;
  // Opens file from the archive and plays it looping, fading in over fadeInSeconds (0: at
  // full volume at once).
  void PlayMusic(const std::string& file, float fadeInSeconds) override;
  // Fades the music out over fadeSeconds and closes it at silence; 0 closes it now.
  void FadeOutMusic(float fadeSeconds) override;
  ValueStore& Values() override { return values_; }
  std::unique_ptr<StageHud> MakeHud(MainScene& scene) override;
  StageLog* GetStageLog() override { return &stageLog_; }

  // The kind of scene, the menu state and every value.
  void AddToDigest(StateDigest& digest) const override;

  GameScene* Scene() const { return scene_.get(); }
  SceneKind CurrentKind() const { return kind_; }
  AudioStream& Music() { return music_; }
  // The archive name of the music held open; empty when there is none.
  std::string MusicFile() const { return musicFile_ != nullptr ? musicFile_->Name() : ""; }
  float FadeRate() const { return fadeRate_; }

 private:
  // Finishes the current scene and starts the one named; false (nothing changes) for a name
  // that is no scene.
  bool StartScene(const std::string& name);
  void StepMusicFade();
  void CloseMusic();
  std::string SavePath() const;

  std::unique_ptr<GameScene> scene_;
  SceneKind kind_ = SceneKind::None;
  AudioStream music_;
  std::unique_ptr<MediaFile> musicFile_;
  float fadeRate_ = 0.0f;
  ValueStore values_;
  std::string savePath_;
  LaunchOptions options_;
  StageLog stageLog_;
  std::unique_ptr<DemoPilot> pilot_;
};

}  // namespace quarn
