// Games started at once from the same archive each copy entries into a folder of their own,
// and what a killed game leaves behind is cleared by the next one.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e/ChildProcess.h"
#include "e2e/ProcessRunner.h"
#include "engine/ArchiveFixture.h"

namespace quarn::testing {
namespace {

// The private folders under tmp that carry pid's name.
std::vector<std::string> FoldersOf(const std::string& tmp, pid_t pid) {
  std::vector<std::string> found;
  const std::string prefix = "quarn-" + std::to_string(pid) + "-";
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(tmp, error)) {
    const std::string name = item.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && name.size() == prefix.size() + 6) {
      found.push_back(item.path().string());
    }
  }
  return found;
}

// Waits (up to 30 s) until the game has made its folder; empty if it never did.
std::string AwaitFolderOf(const std::string& tmp, ChildProcess& game) {
  for (int i = 0; i < 3000; ++i) {
    const auto found = FoldersOf(tmp, game.Pid());
    if (found.size() == 1)
      return found[0];
    if (!game.Running())
      return "";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return "";
}

pid_t DeadPid() {
  const pid_t child = fork();
  if (child == 0)
    _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

class GameTempFolderTest : public ::testing::Test {
 protected:
  GameTempFolderTest() : data_(MakeTempDir("data")), tmp_(MakeTempDir("tmp")) {
    WriteFile(data_ + "/Data.acv",
              ArchiveBytes({{"SystemMenu.txt", "[Menu]\r\n"}, {"HUD.png", "pixels"}}));
  }
  ~GameTempFolderTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(data_, ignored);
    std::filesystem::remove_all(tmp_, ignored);
  }
  bool StartGame(ChildProcess& game, long frames) {
    return game.Start(BuildPath("quarn"),
                      {"--headless", "--frames", std::to_string(frames), "--data", data_}, data_,
                      {"SDL_VIDEODRIVER=offscreen", "TMPDIR=" + tmp_});
  }
  std::vector<std::string> TmpNames() const {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(tmp_)) {
      names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string data_;
  std::string tmp_;
};

TEST_F(GameTempFolderTest, TwoGamesAtOnceKeepSeparateFoldersAndLeaveNothingBehind) {
  // Left by a game that was killed; and one of a running process, which must stay.
  const std::string stale = tmp_ + "/quarn-" + std::to_string(DeadPid()) + "-Stale1";
  std::filesystem::create_directory(stale);
  std::ofstream(stale + "/hud.png") << "old copy";
  const std::string live = "quarn-" + std::to_string(getpid()) + "-Live01";
  std::filesystem::create_directory(tmp_ + "/" + live);

  ChildProcess first;
  ChildProcess second;
  ASSERT_TRUE(StartGame(first, 1'000'000));
  const std::string firstFolder = AwaitFolderOf(tmp_, first);
  ASSERT_FALSE(firstFolder.empty()) << first.Err();
  EXPECT_FALSE(std::filesystem::exists(stale)) << "cleared at start";

  ASSERT_TRUE(StartGame(second, 1'000'000));
  const std::string secondFolder = AwaitFolderOf(tmp_, second);
  ASSERT_FALSE(secondFolder.empty()) << second.Err();
  EXPECT_NE(firstFolder, secondFolder);
  ASSERT_TRUE(first.Running()) << "both games must run at the same time";
  EXPECT_TRUE(std::filesystem::is_directory(firstFolder))
      << "the second game's start left the first game's folder alone";

  // A normal end (SIGTERM closes the window) removes each game's own folder.
  second.Signal(SIGTERM);
  EXPECT_EQ(second.Wait(), 0) << second.Err();
  EXPECT_TRUE(std::filesystem::is_directory(firstFolder));
  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(), 0) << first.Err();
  EXPECT_EQ(TmpNames(), std::vector<std::string>{live});
}

TEST_F(GameTempFolderTest, FolderOfAKilledGameIsRemovedByTheNextStart) {
  ChildProcess killed;
  ASSERT_TRUE(StartGame(killed, 1'000'000));
  const std::string folder = AwaitFolderOf(tmp_, killed);
  ASSERT_FALSE(folder.empty()) << killed.Err();
  killed.Signal(SIGKILL);
  killed.Wait();
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << "a killed game cannot clean up";

  ChildProcess next;
  ASSERT_TRUE(StartGame(next, 5));
  EXPECT_EQ(next.Wait(), 0) << next.Err();
  EXPECT_TRUE(TmpNames().empty());
}

}  // namespace
}  // namespace quarn::testing
