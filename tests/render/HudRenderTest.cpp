// The HUD drawn by the OpenGL device over a small stage, with the pictures the build made:
// two targets (one focused and important ahead, one off to the left), a lock-on in progress,
// the gun sight, the radar, both gauges and the opening message.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "TestMedia.h"
#include "engine/Archive.h"
#include "engine/GraphicsDevice.h"
#include "engine/InputSystem.h"
#include "engine/ScriptedInputBackend.h"
#include "engine/Window.h"
#include "game/HudStageFiles.h"
#include "platform/ScanCodes.h"
#include "render/RenderTest.h"
#include "units/PlayerAircraft.h"
#include "weapons/LockWeapon.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

// Loose data files are looked up by their lower-case names.
std::string Lower(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return name;
}

class HudRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string data = folder_.File("Data");
    fs::create_directories(data);
    fs::create_directories(folder_.File("tmp"));
    HudStageOptions options;
    options.targets = {{{6, 522, 110}, true, 0.6f, 115.0f}, {{-900, 480, 350}}};
    options.targetMesh = "Fighter.x";
    options.stageLines =
        "[Scene]|FogEnable=true|FogColorR=0.35|FogColorG=0.5|FogColorB=0.7|FogColorA=1"
        "|FogStartDistance=2000|FogEndDistance=8000|DirectionalLightCount=1|[DirectionalLight_0]"
        "|DiffuseColorR=1|DiffuseColorG=1|DiffuseColorB=1|AmbientColorR=0.4|AmbientColorG=0.4"
        "|AmbientColorB=0.4|DirectionX=0.4|DirectionY=-1|DirectionZ=0.6";
    for (const auto& [name, bytes] : HudStageFiles(options))
      std::ofstream(data + "/" + Lower(name), std::ios::binary) << bytes;
    for (const char* name :
         {"HUD.png", "Number.png", "Message.png", "GunIcon.png", "MissileIcon.png", "Fighter.x"}) {
      fs::copy_file(fs::path(QUARN_BINARY_DIR) / "generated" / name, data + "/" + Lower(name));
    }
    archive_ = std::make_unique<Archive>(folder_.File("tmp"));
    ASSERT_TRUE(archive_->Open(data));
    WindowParams params;
    params.fullscreen = false;
    params.videoDriver = "offscreen";
    ASSERT_NE(window_.Create(params), nullptr) << window_.LastError();
    ASSERT_TRUE(graphics_.Create(window_.GetHandle(), GraphicsParams{0, 640, 480}))
        << graphics_.LastError();
    auto backend = std::make_unique<ScriptedInputBackend>();
    keys_ = backend.get();
    input_.UseBackend(std::move(backend));
    ASSERT_TRUE(input_.Create(nullptr));
    scene_ = std::make_unique<MainScene>(&owner_);
    ASSERT_EQ(LoadHudStage(*scene_, options), 1);
    scene_->Start();
  }
  void TearDown() override {
    scene_.reset();
    input_.Release();
    graphics_.Release();
  }

  TempFolder folder_;
  std::unique_ptr<Archive> archive_;
  Window window_;
  GraphicsDevice graphics_;
  InputSystem input_;
  ScriptedInputBackend* keys_ = nullptr;
  HudOwner owner_;
  std::unique_ptr<MainScene> scene_;
};

TEST_F(HudRenderTest, AFightAheadWithALockComingOn) {
  // Through the fade-in into the opening; the missile's button held for the last 15 frames.
  for (int frame = 0; frame < 40; ++frame) {
    if (frame == 25)
      keys_->Press(platform::scan::kX);
    input_.Update();
    scene_->Update();
  }
  const LockWeapon* missile = scene_->Player()->Slot(1).lock;
  ASSERT_NE(missile, nullptr);
  ASSERT_EQ(missile->Candidate(), scene_->FindUnit(1));
  EXPECT_NEAR(missile->LockProgress(), 0.5f, 0.05f);
  ASSERT_EQ(scene_->Message().Number(), 1);
  scene_->Render();
  EXPECT_TRUE(BackBufferMatchesReference(*graphics_.GetDevice(), "hud-fight", 640, 480, 2));
}

}  // namespace
}  // namespace quarn::testing
