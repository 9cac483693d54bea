// The real game started straight in a stage (--stage) on an archive the test packs: the stage
// log, the exact length of a completed mission, the menu that follows, and --no-render.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// Definition-file text of the given lines.
std::string Crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

class StageProcessTest : public ::testing::Test {
 protected:
  StageProcessTest() : dir_(MakeTempDir("stage")) {}
  ~StageProcessTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // A stage whose one event completes the mission at once; an aircraft that cruises high; a
  // debriefing menu that stores the result it sees and ends the game.
  void PackArchive() {
    const std::string source = dir_ + "/source";
    fs::create_directories(source);
    WriteText(source + "/Win.txt",
              Crlf({"[Stage]", "EmergeCount=1", "[PlayerAircraft]", "LayoutPositionY=800",
                    "MaxHeight=100000", "AreaOuterDistance=100000", "ActiveTimeLimit=100",
                    "[Emerge_0]", "MissionComplete=true"}));
    WriteText(source + "/Plane.txt",
              Crlf({"[Solid]", "[Aircraft]", "MinVelocity=2", "MaxVelocity=2"}));
    WriteText(source + "/Debrief.txt",
              Crlf({"[State_0]", "StorageValue_0=seen", "true:MissionCompletedValue=1",
                    "false:MissionCompletedValue=2", "[State_1]", "StorageValue_1=won",
                    "SceneValue=Stop", "TimeoutTime=0", ":Timeout=-2", "[State_2]",
                    "StorageValue_1=lost", "SceneValue=Stop", "TimeoutTime=0", ":Timeout=-2"}));
    const ProcessResult pack = RunProcess(BuildPath("acv"), {"pack", dir_ + "/Data.acv", source});
    ASSERT_EQ(pack.exitCode, 0) << pack.err;
    fs::remove_all(source);
  }

  ProcessResult Play(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"--headless", "--stage",     "Win.txt", "--aircraft",
                                     "Plane.txt",  "--stage-log", dir_ + "/log.jsonl"};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProcess(BuildPath("quarn"), args, dir_, {"SDL_VIDEODRIVER=offscreen"});
  }

  std::string dir_;
};

TEST_F(StageProcessTest, ACompletedMissionEndsAfterThePhasesAndTheMenuSeesTrue) {
  PackArchive();
  const ProcessResult run = Play({"--no-render", "--digest"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> log = LinesOf(ReadText(dir_ + "/log.jsonl"));
  ASSERT_GE(log.size(), 6u) << ReadText(dir_ + "/log.jsonl");
  EXPECT_EQ(log[0], R"({"update":0,"event":"start","stage":"Win.txt"})");
  EXPECT_EQ(log[1], R"({"update":1,"event":"emerge","index":0,"units":[]})");
  EXPECT_EQ(log[2], R"({"update":31,"event":"phase","phase":1})");
  // 31 updates of fading in, 61 of the opening; the first playing update sees the event's
  // flag; then 121 of ending and 121 of fading out.
  EXPECT_EQ(log.back(), R"({"update":335,"event":"result","completed":true})");
  const std::string all = ReadText(dir_ + "/log.jsonl");
  EXPECT_NE(all.find(R"({"update":93,"event":"phase","phase":4})"), std::string::npos) << all;
  EXPECT_NE(all.find(R"({"update":93,"event":"message","message":2})"), std::string::npos);
  // The debriefing ran on the next update with the result the stage left.
  const std::string save = ReadText(dir_ + "/Quarn.sav");
  EXPECT_NE(save.find("won"), std::string::npos);
  EXPECT_EQ(save.find("lost"), std::string::npos);
}

TEST_F(StageProcessTest, NoRenderPlaysTheSameGameAsRendering) {
  PackArchive();
  const ProcessResult drawn = Play({"--digest", "--frames", "200"});
  const ProcessResult fast = Play({"--digest", "--frames", "200", "--no-render"});
  ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
  ASSERT_EQ(fast.exitCode, 0) << fast.err;
  EXPECT_NE(drawn.out.find("updates: 200"), std::string::npos) << drawn.out;
  EXPECT_EQ(drawn.out, fast.out) << "the same digest either way";
}

TEST_F(StageProcessTest, AMissingStageFileIsAnEmptyStageThatEndsInTheMenu) {
  PackArchive();
  const ProcessResult run = RunProcess(
      BuildPath("quarn"), {"--headless", "--no-render", "--stage", "Nothing.txt", "--frames", "2000"},
      dir_, {"SDL_VIDEODRIVER=offscreen"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("Nothing.txt"), std::string::npos) << run.err;
  EXPECT_NE(ReadText(dir_ + "/Quarn.sav").find("lost"), std::string::npos)
      << "the debriefing saw the failed mission";
}

}  // namespace
}  // namespace quarn::testing
