// The real game on the demo game's Data.acv, played by recorded keys: a failed mission from
// the title to quitting; a completed one (a test-only debriefing menu makes the empty stage
// count as won) and a restart on its save file that opens stage 2; and the same game from
// loose files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

#include "TestMedia.h"
#include "e2e/ProcessRunner.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A recording that holds each key down for two updates from the update given; a press
// named "Dive" holds the nose down at full throttle for 360 updates (straight into the sea).
std::string Replay(const std::vector<std::pair<int, const char*>>& presses, int end) {
  std::string text = "quarn-replay 1\n";
  for (const auto& [update, key] : presses) {
    const bool dive = std::string(key) == "Dive";
    text += "update " + std::to_string(update) + "\nkeys " + (dive ? "Up Z" : key) + "\n";
    text += "update " + std::to_string(update + (dive ? 360 : 2)) + "\n";
  }
  return text + "end " + std::to_string(end) + "\n";
}

// Quarn.sav of the storage slots given, the others empty.
std::string SaveFile(const std::map<int, std::string>& slots) {
  std::string bytes;
  for (int slot = 0; slot < 64; ++slot) {
    const auto it = slots.find(slot);
    const std::string text = it == slots.end() ? "" : it->second;
    const auto n = static_cast<uint32_t>(text.size());
    for (int i = 0; i < 4; ++i)
      bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
    bytes += text;
  }
  return bytes;
}

// Whether the screenshot shows the top rows of a generated 640 x 480 screen unchanged.
::testing::AssertionResult ShowsScreen(const std::string& shot, const std::string& screen,
                                       int rows = 480) {
  Picture got, want;
  if (!ReadPng(shot, &got) || got.width != 640 || got.height != 480)
    return ::testing::AssertionFailure() << "no 640 x 480 screenshot " << shot;
  if (!ReadPng(std::string(QUARN_BINARY_DIR) + "/generated/" + screen, &want))
    return ::testing::AssertionFailure() << "no picture " << screen;
  int different = 0;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < 640; ++x)
      different += !Near(got.pixels[y * 640 + x], want.pixels[y * want.width + x], 3);
  }
  if (different > 640 * rows / 1000)
    return ::testing::AssertionFailure() << different << " pixels differ from " << screen;
  return ::testing::AssertionSuccess();
}

// The first update count the game printed with its digest.
int Updates(const std::string& out) {
  const size_t at = out.find(" updates: ");
  return at == std::string::npos ? -1 : std::stoi(out.substr(at + 10));
}

std::string Digest(const std::string& out) {
  const size_t at = out.find("digest: ");
  return at == std::string::npos ? "" : out.substr(at, out.find('\n', at) - at);
}

// From the title: the opening movie, skipped; start; stage 1; the Lancer; missiles first, the
// charge cannon second; the briefing; launch, and a dive into the sea, which fails the
// mission; back to the main menu from the result, and QUIT.
const int kFailedRunEnd = 1300;
const std::vector<std::pair<int, const char*>> kFailedRun = {
    {40, "X"},      // title: to the main menu
    {70, "Down"},   // OPENING MOVIE
    {90, "X"},      // the movie starts
    {130, "X"},     // and is skipped, back in the main menu on OPENING MOVIE
    {160, "Up"},    // START GAME
    {180, "X"},     // the stage selection, stage 2 locked
    {210, "X"},     // stage 1
    {240, "Down"},  // the Lancer
    {260, "X"},     //
    {290, "Down"},  // homing missiles first
    {310, "X"},     //
    {340, "Down"},  // the charge cannon second
    {360, "X"},     // the briefing of stage 1
    {400, "X"},      // launch
    {440, "Dive"},   // into the sea: the debriefing, then MISSION FAILED
    {1060, "Down"},  // RETURN TO MENU
    {1080, "X"},     // the main menu
    {1110, "Up"},    // QUIT
    {1130, "X"},     //
};

// A debriefing menu for these tests only: it checks the choices the stage was started with
// and then calls the mission completed (whatever the dive into the sea made of it), or says which choice was wrong in slot 63 and ends
// the game.
const char* const kWinningDebrief =
    "[State_0]\r\nStage1.txt:StageFileValue=1\r\nStage2.txt:StageFileValue=1\r\n"
    "TimeoutTime=0\r\n:Timeout=9\r\n"
    "[State_1]\r\nAircraft1.txt:AircraftFileValue=2\r\nTimeoutTime=0\r\n:Timeout=9\r\n"
    "[State_2]\r\nGun.txt:PrimaryWeaponFileValue=3\r\nTimeoutTime=0\r\n:Timeout=9\r\n"
    "[State_3]\r\nMissile.txt:SecondaryWeaponFileValue=4\r\nTimeoutTime=0\r\n:Timeout=9\r\n"
    "[State_4]\r\nMissionCompletedValue=true\r\nSceneValue=Menu\r\n"
    "MenuFileValue=SystemMenu.txt\r\nMenuStateValue=120\r\nTimeoutTime=0\r\n:Timeout=-2\r\n"
    "[State_9]\r\nStorageValue_63=wrong choices\r\nSceneValue=Stop\r\n"
    "TimeoutTime=0\r\n:Timeout=-2\r\n";

// From the title: start; stage 1; the Falcon, the gun, missiles (where the cursors start);
// launch; the mission is completed; on to the stage selection, back to the main menu, QUIT.
const int kWinningRunEnd = 1100;
const std::vector<std::pair<int, const char*>> kWinningRun = {
    {40, "X"},   {70, "X"},  {100, "X"}, {130, "X"}, {160, "X"}, {190, "X"}, {220, "X"},  // launch
    {260, "Dive"},            // the stage ends quickly
    {831, "X"},               // from the result to the stage selection, now open
    {866, "Z"},               // the main menu
    {896, "Up"}, {911, "X"},  // QUIT
};

// After a restart: start; stage 2 where the cursor can reach it; the Falcon, the gun,
// missiles; the briefing of stage 2; launch; the final result and the credits; Escape.
const int kSecondStageRunEnd = 1400;
const std::vector<std::pair<int, const char*>> kSecondStageRun = {
    {40, "X"},       {70, "X"},  {100, "Down"},              // stage 2
    {115, "X"},      {145, "X"}, {175, "X"},    {205, "X"},  // the briefing of stage 2
    {245, "X"},                                              // launch
    {285, "Dive"},                                           // the stage ends quickly
    {1033, "X"},                                             // from the result to the credits
    {1083, "Escape"},
};

class DemoGameProcessTest : public ::testing::Test {
 protected:
  DemoGameProcessTest() : dir_(MakeTempDir("demogame")) {}
  ~DemoGameProcessTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // The archive the build packed, as it is.
  void UseBuiltArchive(const std::string& folder) {
    fs::create_directories(folder);
    fs::create_symlink(BuildPath("Data.acv"), folder + "/Data.acv");
  }

  // The archive the build packed, with the winning debriefing in place of the real one.
  void PackWinningArchive(const std::string& folder) {
    const std::string files = dir_ + "/files";
    ASSERT_EQ(Acv({"extract", BuildPath("Data.acv"), "-C", files}).exitCode, 0);
    ASSERT_TRUE(fs::exists(files + "/debrief.txt"));
    WriteText(files + "/debrief.txt", kWinningDebrief);
    fs::create_directories(folder);
    ASSERT_EQ(Acv({"pack", folder + "/Data.acv", files}).exitCode, 0);
    fs::remove_all(files);
  }

  ProcessResult Acv(const std::vector<std::string>& args) {
    ProcessResult run = RunProcess(BuildPath("acv"), args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run;
  }

  // Plays a recording in folder, with screenshots at the updates given (SHOT-N.png there).
  ProcessResult Play(const std::string& folder,
                     const std::vector<std::pair<int, const char*>>& presses, int end,
                     const std::vector<int>& shots = {}) {
    WriteText(folder + "/replay.txt", Replay(presses, end));
    std::vector<std::string> args = {"--headless", "--no-render", "--replay", folder + "/replay.txt",
                                     "--digest"};
    for (int update : shots) {
      args.push_back("--screenshot-at");
      args.push_back(std::to_string(update) + ":" + Shot(folder, update));
    }
    return RunProcess(BuildPath("quarn"), args, folder, {"SDL_VIDEODRIVER=offscreen"});
  }

  static std::string Shot(const std::string& folder, int update) {
    return folder + "/shot-" + std::to_string(update) + ".png";
  }

  std::string dir_;
};

TEST_F(DemoGameProcessTest, AFailedMissionFromTheTitleToQuittingRemembersTheStageChosen) {
  const std::string game = Path("game");
  UseBuiltArchive(game);
  const ProcessResult run = Play(game, kFailedRun, kFailedRunEnd, {390, 1050});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "") << "every file the menus name is in the archive";
  // QUIT ended the game after its fade, before the recording ran out.
  EXPECT_GT(Updates(run.out), 1130) << run.out;
  EXPECT_LT(Updates(run.out), 1190) << run.out;
  EXPECT_EQ(ReadBytes(game + "/Quarn.sav"), SaveFile({{2, "Stage1.txt"}}));
  EXPECT_TRUE(ShowsScreen(Shot(game, 390), "Briefing1.png"));
  // The failed result above its menu.
  EXPECT_TRUE(ShowsScreen(Shot(game, 1050), "ResultFailed.png", 240));
}

TEST_F(DemoGameProcessTest, ACompletedStageOneOpensStageTwoAfterARestart) {
  const std::string game = Path("game");
  PackWinningArchive(game);
  const ProcessResult won = Play(game, kWinningRun, kWinningRunEnd, {821});
  EXPECT_EQ(won.exitCode, 0) << won.err;
  EXPECT_EQ(won.err, "");
  EXPECT_GT(Updates(won.out), 911) << won.out;
  EXPECT_LT(Updates(won.out), 971) << won.out;
  EXPECT_TRUE(ShowsScreen(Shot(game, 821), "ResultComplete.png"));
  EXPECT_EQ(ReadBytes(game + "/Quarn.sav"), SaveFile({{0, "true"}, {2, "Stage1.txt"}}));

  // The next start reads the save file: stage 2 can be chosen, flown and completed.
  const ProcessResult again = Play(game, kSecondStageRun, kSecondStageRunEnd, {235, 1023, 1068});
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.err, "");
  EXPECT_GT(Updates(again.out), 1083) << again.out;
  EXPECT_LT(Updates(again.out), 1093) << again.out;
  EXPECT_TRUE(ShowsScreen(Shot(game, 235), "Briefing2.png"));
  EXPECT_TRUE(ShowsScreen(Shot(game, 1023), "ResultFinal.png"));
  EXPECT_TRUE(ShowsScreen(Shot(game, 1068), "Credits.png"));
  EXPECT_EQ(ReadBytes(game + "/Quarn.sav"),
            SaveFile({{0, "true"}, {1, "true"}, {2, "Stage2.txt"}}));
}

// From the title: start; X twice on stage 2, then stage 1; the primary weapon.
const int kLockedRunEnd = 230;
const std::vector<std::pair<int, const char*>> kLockedRun = {
    {40, "X"}, {70, "X"}, {100, "Down"}, {115, "X"}, {145, "X"}, {175, "Up"}, {195, "X"},
};

TEST_F(DemoGameProcessTest, StageTwoIsRefusedUntilTheSaveFileHasStageOneCleared) {
  const std::string game = Path("game");
  UseBuiltArchive(game);
  const ProcessResult locked = Play(game, kLockedRun, kLockedRunEnd);
  EXPECT_EQ(locked.exitCode, 0) << locked.err;
  EXPECT_EQ(ReadBytes(game + "/Quarn.sav"), SaveFile({{2, "Stage1.txt"}}));

  WriteText(game + "/Quarn.sav", SaveFile({{0, "true"}}));
  const ProcessResult open = Play(game, kLockedRun, kLockedRunEnd);
  EXPECT_EQ(open.exitCode, 0) << open.err;
  EXPECT_EQ(ReadBytes(game + "/Quarn.sav"), SaveFile({{0, "true"}, {2, "Stage2.txt"}}));
}

TEST_F(DemoGameProcessTest, LooseFilesExtractedFromTheArchivePlayTheSameGame) {
  const std::string packed = Path("packed"), loose = Path("loose");
  UseBuiltArchive(packed);
  fs::create_directories(loose);
  ASSERT_EQ(Acv({"extract", BuildPath("Data.acv"), "-C", loose + "/Data"}).exitCode, 0);
  // The failed run up to the stage: every kind of file is read on the way.
  std::vector<std::pair<int, const char*>> presses;
  for (const auto& press : kFailedRun) {
    if (press.first <= 400)
      presses.push_back(press);
  }
  const ProcessResult fromArchive = Play(packed, presses, 450, {390});
  const ProcessResult fromFiles = Play(loose, presses, 450, {390});
  EXPECT_EQ(fromFiles.exitCode, 0) << fromFiles.err;
  EXPECT_EQ(fromFiles.err, "quarn: Data.acv: not found; reading loose files under Data/\n");
  ASSERT_NE(Digest(fromArchive.out), "") << fromArchive.out;
  EXPECT_EQ(Digest(fromFiles.out), Digest(fromArchive.out));
  EXPECT_EQ(ReadBytes(loose + "/Quarn.sav"), ReadBytes(packed + "/Quarn.sav"));
  EXPECT_EQ(ReadBytes(Shot(loose, 390)), ReadBytes(Shot(packed, 390)));
}

}  // namespace
}  // namespace quarn::testing
