// The real game binary driven by recorded input, headless, and the replay inspector.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

const std::vector<std::string> kHeadlessEnv = {"SDL_VIDEODRIVER=offscreen"};

std::string WriteFile(const std::string& dir, const std::string& name, const std::string& text) {
  const std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// A folder to run the game in, with an (empty) archive so that the game has nothing to say
// about its data.
std::string MakeGameDir(const std::string& tag) {
  const std::string dir = MakeTempDir(tag);
  std::ofstream(dir + "/Data.acv", std::ios::binary).flush();
  return dir;
}

// The "digest: <16 hex digits> updates: <n>" line of a run; empty when there is none.
std::string DigestLine(const std::string& out) {
  const size_t start = out.find("digest: ");
  if (start == std::string::npos)
    return "";
  const size_t end = out.find('\n', start);
  if (end == std::string::npos)
    return "";
  const std::string line = out.substr(start, end + 1 - start);
  const std::string hex = line.substr(8, 16);
  const std::string rest = line.substr(std::min(line.size(), size_t{24}));
  const bool wellFormed = hex.size() == 16 &&
                          hex.find_first_not_of("0123456789abcdef") == std::string::npos &&
                          rest.rfind(" updates: ", 0) == 0 && rest.size() > 11 &&
                          rest.find_first_not_of("0123456789", 10) == rest.size() - 1;
  return wellFormed ? line : "";
}

TEST(ReplayProcessTest, ARecordedEscapeReleaseEndsTheGameNormally) {
  const std::string dir = MakeGameDir("replay_escape");
  // Escape goes down at update 10 and up at 12; the recording would go on to 100.
  const std::string replay =
      WriteFile(dir, "escape.txt", "quarn-replay 1\nupdate 10\nkeys 1\nupdate 12\nend 100\n");
  const ProcessResult run = RunProcess(
      BuildPath("quarn"), {"--headless", "--replay", replay, "--digest"}, dir, kHeadlessEnv);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(DigestLine(run.out).find(" updates: 13\n"), std::string::npos) << run.out;
}

TEST(ReplayProcessTest, ARecordedPauseReleaseStopsTheUpdates) {
  const std::string dir = MakeGameDir("replay_pause");
  const std::string pause =
      WriteFile(dir, "pause.txt", "quarn-replay 1\nupdate 5\nkeys Pause\nupdate 6\nend 30\n");
  const std::string plain = WriteFile(dir, "plain.txt", "quarn-replay 1\nupdate 0\nend 30\n");
  const ProcessResult paused = RunProcess(
      BuildPath("quarn"), {"--headless", "--replay", pause, "--digest"}, dir, kHeadlessEnv);
  const ProcessResult running = RunProcess(
      BuildPath("quarn"), {"--headless", "--replay", plain, "--digest"}, dir, kHeadlessEnv);
  EXPECT_EQ(paused.exitCode, 0) << paused.err;
  EXPECT_NE(DigestLine(paused.out).find(" updates: 6\n"), std::string::npos) << paused.out;
  EXPECT_NE(DigestLine(running.out).find(" updates: 30\n"), std::string::npos) << running.out;
}

TEST(ReplayProcessTest, ARecordedRunReplaysToTheSameDigest) {
  const std::string dir = MakeGameDir("replay_record");
  const std::string record = dir + "/run.txt";
  const ProcessResult recorded = RunProcess(
      BuildPath("quarn"), {"--headless", "--frames", "45", "--record", record, "--digest"}, dir,
      kHeadlessEnv);
  ASSERT_EQ(recorded.exitCode, 0) << recorded.err;
  const ProcessResult replayed = RunProcess(
      BuildPath("quarn"), {"--headless", "--replay", record, "--digest"}, dir, kHeadlessEnv);
  EXPECT_EQ(replayed.exitCode, 0) << replayed.err;
  ASSERT_FALSE(DigestLine(recorded.out).empty()) << recorded.out;
  EXPECT_EQ(DigestLine(replayed.out), DigestLine(recorded.out));
  EXPECT_NE(DigestLine(recorded.out).find(" updates: 45\n"), std::string::npos);
}

TEST(ReplayProcessTest, AnUnreadableReplayFailsTheStartWithOneLineNamingIt) {
  const std::string dir = MakeGameDir("replay_missing");
  const ProcessResult run = RunProcess(
      BuildPath("quarn"), {"--headless", "--replay", dir + "/none.txt"}, dir, kHeadlessEnv);
  EXPECT_EQ(run.exitCode, 255);
  EXPECT_EQ(run.err.rfind("quarn: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("none.txt"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "exactly one line: " << run.err;
}

TEST(InspectToolTest, ReplayAsText) {
  const std::string dir = MakeTempDir("inspect_replay");
  const std::string path = WriteFile(dir, "r.txt",
                                     "quarn-replay 1\njoysticks 1\nupdate 3\nkeys 208 C\n"
                                     "joy 0 axes 32767 0 32767 32767 32767 32767 buttons 3\n"
                                     "update 5\nend 8\n");
  const ProcessResult run = RunProcess(BuildPath("quarn-inspect"), {"replay", path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "recorded input, format 1: 8 updates, 1 joysticks at the start\n"
            "updates 0-2: nothing held\n"
            "updates 3-4: keys 46(C) 208(Down); joystick 0: axes 32767 0 32767 32767 32767 "
            "32767, buttons 3\n"
            "updates 5-7: nothing held\n");
  const std::string cut = WriteFile(dir, "cut.txt", "quarn-replay 1\nupdate 2\nkeys 1\n");
  const ProcessResult damaged = RunProcess(BuildPath("quarn-inspect"), {"replay", cut});
  EXPECT_EQ(damaged.exitCode, 0);
  EXPECT_NE(damaged.err.find("plays the 3 updates"), std::string::npos) << damaged.err;
  EXPECT_EQ(RunProcess(BuildPath("quarn-inspect"), {"replay", dir + "/none"}).exitCode, 1);
}

}  // namespace
}  // namespace quarn::testing
