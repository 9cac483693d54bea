// The demo game's stages played by replays kept in tests/e2e/replays (the pilot's by
// scripts/record-replays.sh), each checked by its stage log, save file and exit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// One line of a stage log, the fields it has.
struct Event {
  long update = 0;
  std::string event;
  std::map<std::string, std::string> fields;
  bool Is(const std::string& name, const std::string& key = "",
          const std::string& value = "") const {
    if (event != name)
      return false;
    return key.empty() || (fields.count(key) != 0 && fields.at(key) == value);
  }
};

// The log's lines as events (a small reader for the flat objects the game writes).
std::vector<Event> ReadLog(const std::string& path) {
  std::vector<Event> events;
  std::istringstream in(ReadText(path));
  for (std::string line; std::getline(in, line);) {
    Event e;
    size_t at = 1;
    while (at < line.size() && line[at] == '"') {
      const size_t keyEnd = line.find('"', at + 1);
      const std::string key = line.substr(at + 1, keyEnd - at - 1);
      size_t valueStart = keyEnd + 2;
      size_t valueEnd = 0;
      if (line[valueStart] == '"') {
        valueEnd = line.find('"', valueStart + 1) + 1;
      } else if (line[valueStart] == '[') {
        valueEnd = line.find(']', valueStart) + 1;
      } else {
        valueEnd = line.find_first_of(",}", valueStart);
      }
      std::string value = line.substr(valueStart, valueEnd - valueStart);
      if (!value.empty() && value.front() == '"')
        value = value.substr(1, value.size() - 2);
      if (key == "update")
        e.update = std::stol(value);
      else if (key == "event")
        e.event = value;
      else
        e.fields[key] = value;
      at = valueEnd + 1;
    }
    events.push_back(e);
  }
  return events;
}

class DemoStageProcessTest : public ::testing::Test {
 protected:
  DemoStageProcessTest() : dir_(MakeTempDir("demostage")) {
    fs::create_symlink(BuildPath("Data.acv"), dir_ + "/Data.acv");
  }
  ~DemoStageProcessTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // The replay of that name, headless without drawing, in a fresh folder.
  // (An empty replay name: no one at the controls.)
  ProcessResult Play(const std::string& replay, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"--headless", "--no-render", "--stage-log",
                                     dir_ + "/log.jsonl"};
    if (!replay.empty()) {
      args.push_back("--replay");
      args.push_back(std::string(QUARN_SOURCE_DIR) + "/tests/e2e/replays/" + replay);
    }
    args.insert(args.end(), extra.begin(), extra.end());
    ProcessResult run = RunProcess(BuildPath("quarn"), args, dir_, {"SDL_VIDEODRIVER=offscreen"});
    log_ = ReadLog(dir_ + "/log.jsonl");
    return run;
  }
  // A loose file beside the archive, under the lower-case name the game looks for.
  void AddLoose(const std::string& name, const std::vector<std::string>& lines) {
    fs::create_directories(dir_ + "/Data");
    std::ofstream out(dir_ + "/Data/" + name, std::ios::binary);
    for (const std::string& line : lines)
      out << line << "\r\n";
  }
  // The events of the first stage played, up to its result.
  std::vector<Event> FirstStage() const {
    std::vector<Event> first;
    for (const Event& e : log_) {
      first.push_back(e);
      if (e.event == "result")
        break;
    }
    return first;
  }
  static const Event* Find(const std::vector<Event>& events, const std::string& name,
                           const std::string& key = "", const std::string& value = "") {
    for (const Event& e : events) {
      if (e.Is(name, key, value))
        return &e;
    }
    return nullptr;
  }

  std::string dir_;
  std::vector<Event> log_;
};

TEST_F(DemoStageProcessTest, TheDemoPilotWinsStageOneFromTheTitleAndStageTwoOpens) {
  const ProcessResult run = Play("stage1-won-from-the-title.replay");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<Event> stage = FirstStage();
  ASSERT_FALSE(stage.empty());
  EXPECT_TRUE(stage.front().Is("start", "stage", "Stage1.txt"));
  EXPECT_TRUE(stage.back().Is("result", "completed", "true"));
  const Event* defences = nullptr;
  for (const Event& e : stage) {
    if (e.Is("progress", "counter", "1"))
      defences = &e;
  }
  ASSERT_NE(defences, nullptr);
  EXPECT_EQ(defences->fields.at("value"), "7") << "all seven shore defences";
  // The wave from the hills waits for three shore defences broken by the pilot's fire.
  const Event* threeDown = nullptr;
  for (const Event& e : stage) {
    if (e.Is("progress", "counter", "1") && e.fields.at("value") == "3")
      threeDown = &e;
  }
  const Event* hillWave = Find(stage, "emerge", "index", "2");
  ASSERT_NE(threeDown, nullptr);
  ASSERT_NE(hillWave, nullptr);
  EXPECT_EQ(hillWave->update, threeDown->update + 1);
  EXPECT_EQ(Find(stage, "destructed", "unit", "-1"), nullptr) << "the pilot came home";
  // Slot 0 says stage 1 is cleared: stage 2 can be chosen.
  const std::string save = ReadText(dir_ + "/Quarn.sav");
  EXPECT_EQ(save.substr(0, 8), std::string("\x04\0\0\0true", 8));
}

TEST_F(DemoStageProcessTest, StageOneFailsWhenTheActiveTimeRunsOut) {
  const ProcessResult run = Play("stage1-time-runs-out.replay", {"--stage", "Stage1.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Event> stage = FirstStage();
  const Event* timeOver = Find(stage, "message", "message", "6");
  const Event* failed = Find(stage, "message", "message", "3");
  ASSERT_NE(timeOver, nullptr);
  ASSERT_NE(failed, nullptr);
  EXPECT_EQ(failed->update - timeOver->update, 91) << "time over, then failed 91 updates on";
  EXPECT_EQ(Find(stage, "destructed", "unit", "-1"), nullptr) << "still flying";
  EXPECT_TRUE(stage.back().Is("result", "completed", "false"));
  EXPECT_EQ(stage.back().update - failed->update, 242);
}

// Diving at full throttle: the height recovery holds the aircraft just over the sea, where
// it runs into the first hill of the shore.
TEST_F(DemoStageProcessTest, StageOneFailsAtOnceWhenThePlayerDivesIntoTheShore) {
  const ProcessResult run = Play("stage1-dive-into-the-shore.replay", {"--stage", "Stage1.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Event> stage = FirstStage();
  EXPECT_NE(Find(stage, "message", "message", "5"), nullptr) << "the height warning first";
  const Event* end = Find(stage, "destructed", "unit", "-1");
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(Find(stage, "message", "message", "6"), nullptr);
  EXPECT_TRUE(stage.back().Is("result", "completed", "false"));
  // Without the 90 updates of "time over": ending and fading out only.
  EXPECT_EQ(stage.back().update - end->update, 242);
}

TEST_F(DemoStageProcessTest, TheFlagshipLosesEveryPartBeforeItsHullGoes) {
  const ProcessResult run =
      Play("stage2-flagship-loses-its-parts.replay", {"--stage", "Stage2.txt"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Event> stage = FirstStage();
  long lastPart = -1;
  int parts = 0;
  for (const Event& e : stage) {
    if (e.Is("progress", "counter", "4")) {
      ++parts;
      lastPart = e.update;
    }
  }
  EXPECT_EQ(parts, 10) << "four engines, four turrets, the launcher and the bridge";
  const Event* hull = Find(stage, "progress", "counter", "5");
  const Event* flagship = Find(stage, "destructed", "unit", "30");
  ASSERT_NE(hull, nullptr);
  ASSERT_NE(flagship, nullptr);
  EXPECT_GE(hull->update, lastPart) << "the hull gives way last";
  EXPECT_TRUE(stage.back().Is("result", "completed", "true"));
}

TEST_F(DemoStageProcessTest, LeavingTheAreaHandsControlToTheReturnAndBackAgain) {
  // A small area round one hangar, crossed at full throttle with the stick let go: out, turned
  // home under message 4, control back inside, straight on and out at the far side, again.
  std::vector<std::string> stage = {"[Scene]",
                                    "SkyMeshEnable=true",
                                    "SkyMeshFile=SkyDusk.x",
                                    "GroundEnable=true",
                                    "GroundFile=Coast.txt",
                                    "[Stage]",
                                    "BuildingCount=1",
                                    "EmergeCount=1",
                                    "[PlayerAircraft]",
                                    "LayoutPositionY=400",
                                    "ActiveTimeLimit=900",
                                    "AreaOuterDistance=1500",
                                    "AreaInnerDistance=1000",
                                    "MaxHeight=3000",
                                    "MinHeight=50",
                                    "AvoidDistance=250",
                                    "[Building_0]",
                                    "DefineFile=Hangar.txt",
                                    "UnitID=1",
                                    "AreaUnitEnable=true",
                                    "[Emerge_0]",
                                    "UnitCount=1",
                                    "UnitID_0=1"};
  AddLoose("areastage.txt", stage);
  std::ofstream(dir_ + "/throttle.replay") << "quarn-replay 1\nupdate 0\nkeys Z\nend 2000\n";
  const ProcessResult run =
      Play("", {"--stage", "AreaStage.txt", "--replay", dir_ + "/throttle.replay"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<long> returns;
  for (const Event& e : log_) {
    if (e.Is("message", "message", "4"))
      returns.push_back(e.update);
  }
  ASSERT_GE(returns.size(), 3u);
  // 1500 units at full throttle from the middle, then each crossing of the area.
  EXPECT_GT(returns[0], 150);
  EXPECT_LT(returns[0], 260);
  for (size_t n = 1; n < returns.size(); ++n)
    EXPECT_GT(returns[n] - returns[n - 1], 300) << "control came back between two returns";
}

TEST_F(DemoStageProcessTest, AWeakenedFighterThatStrikesTheSeaBreaksDiesAndTheEventOnItFollows) {
  // The demo's fighter with one point of armour, sent down into the sea of the coast.
  std::vector<std::string> fighter;
  {
    std::ifstream in(std::string(QUARN_SOURCE_DIR) + "/data/Fighter.txt");
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r')
        line.pop_back();
      fighter.push_back(line.rfind("Armored=", 0) == 0 ? "Armored=1" : line);
    }
  }
  AddLoose("weakfighter.txt", fighter);
  AddLoose("weakstage.txt", {"[Scene]",
                             "SkyMeshEnable=true",
                             "SkyMeshFile=SkyDusk.x",
                             "GroundEnable=true",
                             "GroundFile=Coast.txt",
                             "[Stage]",
                             "LightAircraftCount=2",
                             "EmergeCount=3",
                             "[PlayerAircraft]",
                             "LayoutPositionY=600",
                             "LayoutPositionZ=-2600",
                             "ActiveTimeLimit=600",
                             "AreaOuterDistance=6000",
                             "AreaInnerDistance=5000",
                             "MaxHeight=3000",
                             "MinHeight=50",
                             "AvoidDistance=250",  //
                             "[LightAircraft_0]",
                             "DefineFile=WeakFighter.txt",
                             "UnitID=1",
                             "LayoutPositionY=120",
                             "DestinationPositionY=-600",
                             "DestinationPositionZ=800",
                             "AreaOuterDistance=5000",
                             "AreaInnerDistance=4000",
                             "MinHeight=-1000",
                             "MaxHeight=3000",  //
                             "[LightAircraft_1]",
                             "DefineFile=Fighter.txt",
                             "UnitID=2",
                             "LayoutPositionY=500",
                             "LayoutPositionZ=3000",
                             "DestinationPositionY=500",
                             "AreaOuterDistance=5000",
                             "AreaInnerDistance=4000",
                             "MinHeight=200",
                             "MaxHeight=2000",
                             "AvoidDistance=250",  //
                             "[Emerge_0]",
                             "UnitCount=1",
                             "UnitID_0=1",  //
                             "[Emerge_1]",
                             "DestructUnitEnable_0=true",
                             "DestructUnitID_0=1",
                             "UnitCount=1",
                             "UnitID_0=2",  //
                             "[Emerge_2]",
                             "DestructUnitEnable_0=true",
                             "DestructUnitID_0=1",
                             "LaterTimeEnable=true",
                             "LaterTime=12",
                             "MissionComplete=true"});
  const ProcessResult run = Play("", {"--stage", "WeakStage.txt", "--frames", "1200"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<Event> stage = FirstStage();
  const Event* broken = Find(stage, "broken", "unit", "1");
  const Event* destructed = Find(stage, "destructed", "unit", "1");
  const Event* second = Find(stage, "emerge", "index", "1");
  ASSERT_NE(broken, nullptr);
  ASSERT_NE(destructed, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_LT(broken->update, destructed->update) << "the crash event ends the fall";
  EXPECT_EQ(second->update, destructed->update + 1) << "conditions are read the update after";
  EXPECT_EQ(second->fields.at("units"), "[2]");
  EXPECT_EQ(Find(stage, "destructed", "unit", "2"), nullptr) << "the sound fighter flies on";
  EXPECT_TRUE(stage.back().Is("result", "completed", "true"));
}

}  // namespace
}  // namespace quarn::testing
