#include "game/Game.h"

#include "engine/GameApp.h"
#include "engine/TimerPauseScope.h"
#include "game/Hud.h"
#include "engine/InputSystem.h"
#include "game/DemoPilot.h"
#include "game/LabScene.h"
#include "game/MenuScene.h"
#include "game/MovieScene.h"
#include "game/SaveFile.h"
#include "platform/Diagnostics.h"
#include "stage/MainScene.h"

namespace quarn {

Game::Game(std::string savePath, LaunchOptions options)
    : savePath_(std::move(savePath)), options_(std::move(options)) {
  // Before the devices start, so that they make its joystick. A replay already holds the
  // pilot's moves.
  if (options_.demoPilot && options_.replayFile.empty() && InputSystem::Instance() != nullptr) {
    pilot_ = std::make_unique<DemoPilot>(*this);
    InputSystem::Instance()->SetPilot(pilot_.get());
  }
}

Game::~Game() {
  if (pilot_ != nullptr && InputSystem::Instance() != nullptr)
    InputSystem::Instance()->SetPilot(nullptr);
  // The scene's sounds and the music go before the services they play on.
  scene_.reset();
  CloseMusic();
}

std::string Game::SavePath() const {
  if (!savePath_.empty())
    return savePath_;
  const GamePaths* paths = ApplicationPaths();
  return paths != nullptr ? paths->SaveFile() : std::string();
}

int Game::Init() {
  if (const std::string path = SavePath(); !path.empty())
    SaveFile::Read(path, values_);
  if (!options_.stageLog.empty() && !stageLog_.Open(options_.stageLog))
    platform::ReportProblem(options_.stageLog, "cannot be written; no stage log is kept");
  values_.Set(ValueId::Scene, "Menu");
  values_.Set(ValueId::MenuFile, "SystemMenu.txt");
  values_.Set(ValueId::MenuState, "0");
  if (!options_.labFile.empty()) {
    StartScene("Lab");
  } else if (!options_.stageFile.empty()) {
    // What the menus write before a launch; afterwards the debriefing runs as usual.
    auto orDefault = [](const std::string& text, const char* fallback) {
      return text.empty() ? std::string(fallback) : text;
    };
    values_.Set(ValueId::StageFile, options_.stageFile);
    values_.Set(ValueId::AircraftFile, orDefault(options_.aircraftFile, "Aircraft1.txt"));
    values_.Set(ValueId::PrimaryWeaponFile, orDefault(options_.primaryFile, "Gun.txt"));
    values_.Set(ValueId::SecondaryWeaponFile, orDefault(options_.secondaryFile, "Missile.txt"));
    values_.Set(ValueId::MenuFile, "Debrief.txt");
    values_.Set(ValueId::Scene, "Main");
    StartScene("Main");
  } else {
    StartScene("Menu");
  }
  return 1;
}

void Game::Finish() {
  FadeOutMusic(0.0f);
  if (const std::string path = SavePath(); !path.empty())
    SaveFile::Write(path, values_);
  if (scene_ != nullptr) {
    scene_->Finish();
    scene_.reset();
  }
}

int Game::Update(int* quit) {
  if (scene_ != nullptr && !scene_->IsActive()) {
    // Loading the next scene is not lag.
    const TimerPauseScope pause;
    if (!StartScene(values_.Get(ValueId::Scene)) && quit != nullptr)
      *quit = 1;
  }
  if (scene_ != nullptr)
    scene_->Update();
  StepMusicFade();
  return 1;
}

int Game::Render() {
  if (scene_ != nullptr)
    scene_->Render();
  return 1;
}

bool Game::StartScene(const std::string& name) {
  SceneKind kind = SceneKind::None;
  if (name == "Menu") {
    kind = SceneKind::Menu;
  } else if (name == "Movie") {
    kind = SceneKind::Movie;
  } else if (name == "Main") {
    kind = SceneKind::Main;
  } else if (name == "Lab") {
    kind = SceneKind::Lab;
  } else {
    return false;
  }
  if (scene_ != nullptr) {
    scene_->Finish();
    scene_.reset();
  }
  std::unique_ptr<GameScene> scene;
  switch (kind) {
    case SceneKind::Menu: {
      auto menu = std::make_unique<MenuScene>(this);
      menu->Load(values_.Get(ValueId::MenuFile));
      scene = std::move(menu);
      break;
    }
    case SceneKind::Movie: {
      auto movie = std::make_unique<MovieScene>(this);
      movie->Load(values_.Get(ValueId::MovieFile));
      scene = std::move(movie);
      break;
    }
    case SceneKind::Lab: {
      auto lab = std::make_unique<LabScene>(this);
      lab->LoadLab(options_.labFile);
      scene = std::move(lab);
      break;
    }
    default: {
      auto stage = std::make_unique<MainScene>(this);
      stage->Load(values_.Get(ValueId::StageFile), values_.Get(ValueId::AircraftFile),
                  values_.Get(ValueId::PrimaryWeaponFile),
                  values_.Get(ValueId::SecondaryWeaponFile));
      scene = std::move(stage);
      break;
    }
  }
  scene->Start();
  scene_ = std::move(scene);
  scene_->SetActive(true);
  kind_ = kind;
  return true;
}

void Game::StepMusicFade() {
  if (!music_.IsRunning())
    return;
  float volume = 0.0f;
  if (!music_.GetVolume(&volume))
    return;
  volume += fadeRate_ * kFrameStep;
  if (volume > 1.0f) {
    fadeRate_ = 0.0f;
    music_.SetVolume(1.0f);
  } else if (volume > 0.0f) {
    music_.SetVolume(volume);
  } else {
    fadeRate_ = 0.0f;
    CloseMusic();
  }
}

void Game::CloseMusic() {
  music_.Rewind();
  music_.Close();
  musicFile_.reset();
}

void Game::PlayMusic(const std::string& file, float fadeInSeconds) {
  auto music = std::make_unique<MediaFile>(file);
  // Music that cannot be opened leaves none playing, as a failed open of the stream does.
  if (!music->Found() || !music_.Open(music->Path()))
    music_.Close();
  // A file still held from earlier music is let go once the new one is open in its place.
  musicFile_ = std::move(music);
  if (fadeInSeconds > 0.0f) {
    music_.SetVolume(0.0f);
    fadeRate_ = 1.0f / fadeInSeconds;
  } else {
    music_.SetVolume(1.0f);
    fadeRate_ = 0.0f;
  }
  music_.Play(true);
}

void Game::FadeOutMusic(float fadeSeconds) {
  if (fadeSeconds > 0.0f) {
    fadeRate_ = -1.0f / fadeSeconds;
    return;
  }
  CloseMusic();
}

std::unique_ptr<StageHud> Game::MakeHud(MainScene& scene) {
  return std::make_unique<Hud>(scene);
}

void Game::AddToDigest(StateDigest& digest) const {
  digest.AddInt(static_cast<int>(kind_));
  if (scene_ != nullptr)
    scene_->AddToDigest(digest);
  auto addText = [&digest](const std::string& text) {
    digest.AddInt(static_cast<int64_t>(text.size()));
    digest.AddBytes(text.data(), text.size());
  };
  for (int i = 0; i < ValueStore::kNamedValues; ++i)
    addText(values_.Get(ValueStore::ByIndex(i)));
  for (int slot = 0; slot < ValueStore::kStorageSlots; ++slot)
    addText(values_.GetStorage(slot));
}

}  // namespace quarn
