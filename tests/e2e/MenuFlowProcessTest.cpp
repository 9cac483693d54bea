// The real game on a small menu archive packed with the real acv: a recorded player goes from
// the title through a transition, a timeout, a branch on a storage slot, a skipped movie, the
// stage and back, and quits through a scene name that is no scene, with the slots saved.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestMedia.h"
#include "e2e/ProcessRunner.h"
#include "gfxutil/ImageWriter.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

constexpr platform::Argb kTitleColour = 0xFFC86432;  // (200, 100, 50)

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The menu: the title fades in over a second and times out after another; state 1 stores
// "seen" in slot 1 and branches on it to state 2, which plays the movie and comes back in
// state 3. There OK starts the stage, which comes back to state 4; the stage's "false" takes
// it to state 5, which stores "done" in slot 2 and ends the game.
const char* const kSystemMenu =
    "[State_0]\r\n"
    "ImageFile_0=title.png\r\nImageSrcW_0=128\r\nImageSrcH_0=64\r\n"
    "ImageDstX_0=256\r\nImageDstY_0=208\r\n"
    "TransitTime=1\r\nTimeoutTime=1\r\n:Timeout=1\r\n"
    "[State_1]\r\nStorageValue_1=seen\r\nseen:StorageValue_1=2\r\n"
    "[State_2]\r\nMovieFileValue=Intro.ogg\r\nSceneValue=Movie\r\nMenuStateValue=3\r\n"
    "TimeoutTime=0\r\n:Timeout=-2\r\n"
    "[State_3]\r\nImageFile_0=rm\r\nStageFileValue=Stage.txt\r\nSceneValue=Main\r\n"
    "MenuStateValue=4\r\nOK:Button=-2\r\n"
    "[State_4]\r\nfalse:MissionCompletedValue=5\r\n"
    "[State_5]\r\nStorageValue_2=done\r\nSceneValue=Exit\r\nTimeoutTime=0\r\n:Timeout=-2\r\n";

// X goes down at update 100 (in the movie) and at 160 (in state 3), each for two updates.
const char* const kReplay =
    "quarn-replay 1\n"
    "update 100\nkeys X\nupdate 102\n"
    "update 160\nkeys X\nupdate 162\n"
    "end 600\n";

class MenuFlowProcessTest : public ::testing::Test {
 protected:
  MenuFlowProcessTest() : dir_(MakeTempDir("menuflow")) {}
  ~MenuFlowProcessTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  // Packs the menu, the title picture and a twenty-second movie into Data.acv with acv.
  void PackArchive() {
    const std::string source = dir_ + "/source";
    fs::create_directories(source);
    std::string error;
    WriteText(source + "/SystemMenu.txt", kSystemMenu);
    // A stage with nothing in it and no aircraft: its mission fails after the phases' frames.
    WriteText(source + "/Stage.txt", "[Stage]\r\n");
    // What every stage's HUD loads.
    const std::vector<platform::Argb> blank(16, 0xFF000000u);
    for (const char* picture : {"HUD.png", "Number.png", "Message.png"}) {
      ASSERT_TRUE(gfx::ImageWriter::WritePng(source + "/" + picture, blank.data(), 4, 4, 4, false,
                                             &error));
    }
    ASSERT_TRUE(WriteWaveFile(source + "/Alert.wav", Tone(0.1, 22050, 1, 880.0, 0.3), 22050));
    const std::vector<platform::Argb> title(128 * 64, kTitleColour);
    ASSERT_TRUE(gfx::ImageWriter::WritePng(source + "/title.png", title.data(), 128, 64, 128, false,
                                           &error))
        << error;
    ASSERT_TRUE(
        WriteMovie(source + "/Intro.ogg", platform::MediaEncoder::Container::Ogg, 32, 24, 5, 100));
    const ProcessResult pack = RunProcess(BuildPath("acv"), {"pack", dir_ + "/Data.acv", source});
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    fs::remove_all(source);
  }

  std::string dir_;
};

TEST_F(MenuFlowProcessTest, ARecordedPlayerGoesThroughEveryKindOfSceneAndTheSlotsAreSaved) {
  PackArchive();
  WriteText(dir_ + "/replay.txt", kReplay);
  const std::string shot = dir_ + "/fading.png";
  const ProcessResult run = RunProcess(
      BuildPath("quarn"),
      {"--headless", "--replay", dir_ + "/replay.txt", "--digest", "--screenshot-at", "15:" + shot},
      dir_, {"SDL_VIDEODRIVER=offscreen"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "") << "nothing in the archive is missing";
  // The game ended by itself, long before the recording would have.
  const size_t updates = run.out.find(" updates: ");
  ASSERT_NE(updates, std::string::npos) << run.out;
  const int count = std::stoi(run.out.substr(updates + 10));
  // The stage started at 160 takes 31 + 61 + 1 + 121 + 121 updates to fail.
  EXPECT_GT(count, 160 + 335);
  EXPECT_LT(count, 160 + 335 + 40);

  const std::string saved = ReadBytes(dir_ + "/Quarn.sav");
  const std::string empty(4, '\0');
  std::string expected =
      empty + std::string("\x04\0\0\0seen", 8) + std::string("\x04\0\0\0done", 8);
  for (int slot = 3; slot < 64; ++slot)
    expected += empty;
  EXPECT_EQ(saved, expected);

  // Half-way through the title's fade in: the title at half strength over black.
  Picture picture;
  ASSERT_TRUE(ReadPng(shot, &picture));
  ASSERT_EQ(picture.width, 640u);
  const platform::Argb centre = picture.pixels[240 * 640 + 320];
  EXPECT_TRUE(Near(centre, 0xFF643219, 2)) << std::hex << centre;
  EXPECT_TRUE(Near(picture.pixels[200 * 640 + 320], 0xFF000000, 0));
}

}  // namespace
}  // namespace quarn::testing
