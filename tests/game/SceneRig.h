#pragma once
// Everything a scene needs, made for one test: a window without a screen and the null render
// device, a silent sound device on a fake clock, a keyboard the test presses, and an archive
// packed from files the test writes (menus, images, music, movies).
#include <memory>
#include <string>
#include <vector>

#include "TestMedia.h"
#include "engine/Archive.h"
#include "engine/GraphicsDevice.h"
#include "engine/InputSystem.h"
#include "engine/ScriptedInputBackend.h"
#include "engine/SoundDevice.h"
#include "engine/Window.h"
#include "platform/Clock.h"
#include "platform/NullRenderDevice.h"
#include "stage/SceneOwner.h"

namespace quarn::testing {

// A game that only keeps the values and writes down what the scenes ask of the music.
class RecordingOwner : public SceneOwner {
 public:
  int Init() override { return 1; }
  void Finish() override {}
  int Update(int*) override { return 1; }
  int Render() override { return 1; }
  void PlayMusic(const std::string& file, float fadeInSeconds) override {
    music.push_back("play " + file + " " + std::to_string(fadeInSeconds));
  }
  void FadeOutMusic(float fadeSeconds) override {
    music.push_back("fade " + std::to_string(fadeSeconds));
  }
  ValueStore& Values() override { return values; }

  ValueStore values;
  std::vector<std::string> music;
};

class SceneRig {
 public:
  SceneRig();
  ~SceneRig();
  SceneRig(const SceneRig&) = delete;
  SceneRig& operator=(const SceneRig&) = delete;

  // Archive entries; Pack writes them into Data.acv and opens it.
  void AddFile(const std::string& name, const std::string& bytes);
  // A definition file of the given lines, with CR LF line ends.
  void AddDefinition(const std::string& name, const std::vector<std::string>& lines);
  // A PNG picture of one colour.
  void AddImage(const std::string& name, uint32_t width, uint32_t height, platform::Argb colour);
  // A WAVE sound, an Ogg tone, an Ogg movie of numbered flat colours.
  void AddWave(const std::string& name, double seconds);
  void AddMusic(const std::string& name, double seconds);
  void AddMovie(const std::string& name, int width, int height, int framesPerSecond, int frames);
  void Pack();

  // Keys held from the next pass on.
  void Hold(uint8_t key) { keys_->Press(key); }
  void Let(uint8_t key) { keys_->Release(key); }
  // One main-loop pass before the game update: the clock moves by one frame period and the
  // devices are polled.
  void Pass();

  platform::NullRenderDevice& Device() { return *device_; }
  GraphicsDevice& Graphics() { return graphics_; }
  Archive& GetArchive() { return *archive_; }
  InputSystem& Input() { return input_; }
  // A path for files outside the archive (save files).
  std::string Path(const std::string& name) const { return folder_.File(name); }
  platform::FakeClock& Clock() { return clock_; }

 private:
  TempFolder folder_;
  std::vector<std::pair<std::string, std::string>> records_;
  platform::FakeClock clock_;
  Window window_;
  GraphicsDevice graphics_;
  platform::NullRenderDevice* device_ = nullptr;
  SoundDevice sound_;
  InputSystem input_;
  ScriptedInputBackend* keys_ = nullptr;
  std::unique_ptr<Archive> archive_;
};

}  // namespace quarn::testing
