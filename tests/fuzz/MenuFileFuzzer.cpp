// Menu files: arbitrary bytes as the menu, played for a few seconds with buttons pressed as the
// bytes say. Whatever the file holds, the menu never crashes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/InputSystem.h"
#include "engine/ScriptedInputBackend.h"
#include "game/MenuScene.h"
#include "platform/ScanCodes.h"
#include "stage/SceneOwner.h"

namespace {

// A game that keeps the values and ignores the music.
class ValuesOnly : public quarn::SceneOwner {
 public:
  int Init() override { return 1; }
  void Finish() override {}
  int Update(int*) override { return 1; }
  int Render() override { return 1; }
  void PlayMusic(const std::string&, float) override {}
  void FadeOutMusic(float) override {}
  quarn::ValueStore& Values() override { return values_; }

 private:
  quarn::ValueStore values_;
};

constexpr uint8_t kKeys[] = {quarn::platform::scan::kUp,    quarn::platform::scan::kDown,
                             quarn::platform::scan::kLeft,  quarn::platform::scan::kRight,
                             quarn::platform::scan::kX,     quarn::platform::scan::kZ};
constexpr int kFrames = 150;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/quarn-fuzz-menu-" +
           std::to_string(getpid()) + ".txt";
  }();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr)
    return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  quarn::InputSystem input;
  auto backend = std::make_unique<quarn::testing::ScriptedInputBackend>();
  quarn::testing::ScriptedInputBackend* keys = backend.get();
  input.UseBackend(std::move(backend));
  input.Create(nullptr);
  ValuesOnly game;
  game.Values().Set(quarn::ValueId::MenuState, size > 0 ? std::to_string(data[0] % 8) : "0");
  {
    quarn::MenuScene menu(&game);
    menu.Load(path);  // without an archive the name is the path
    menu.Start();
    menu.SetActive(true);
    for (int frame = 0; frame < kFrames && menu.IsActive(); ++frame) {
      const uint8_t held = size > 0 ? data[static_cast<size_t>(frame) % size] : 0;
      for (int button = 0; button < 6; ++button) {
        if ((held >> button) & 1)
          keys->Press(kKeys[button]);
        else
          keys->Release(kKeys[button]);
      }
      input.Update();
      menu.Update();
      menu.Render();
    }
    menu.Finish();
  }
  input.Release();
  unlink(path.c_str());
  return 0;
}
