#include "engine/PrivateTempDirectory.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "ArchiveFixture.h"

namespace quarn {
namespace {

using testing::Exists;
using testing::FolderNames;
using testing::WriteFile;

class PrivateTempDirectoryTest : public testing::ArchiveFixture {
 protected:
  // A pid that belonged to a process that has ended (a child that exited and was reaped).
  static pid_t DeadPid() {
    const pid_t child = fork();
    if (child == 0)
      _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
  }
  // A folder as a process of that pid would have made it, holding one file.
  std::string MakeFolderOf(pid_t pid, const std::string& suffix = "AbC123") {
    const std::string path = tmp_ + "/quarn-" + std::to_string(pid) + "-" + suffix;
    std::filesystem::create_directory(path);
    WriteFile(path + "/menu.txt", "left behind");
    return path;
  }
};

TEST_F(PrivateTempDirectoryTest, CreateIsLazyIdempotentAndRemoveTakesTheContentsAlong) {
  PrivateTempDirectory folder(tmp_);
  EXPECT_FALSE(folder.Exists());
  ASSERT_TRUE(folder.Create());
  const std::string path = folder.Path();
  EXPECT_EQ(path.rfind(tmp_ + "/quarn-" + std::to_string(getpid()) + "-", 0), 0u) << path;
  ASSERT_TRUE(folder.Create());
  EXPECT_EQ(folder.Path(), path) << "a second Create keeps the folder";
  WriteFile(path + "/copy.bin", "data");
  std::filesystem::create_directory(path + "/nested");
  folder.Remove();
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(folder.Exists());
  ASSERT_TRUE(folder.Create());
  EXPECT_NE(folder.Path(), path) << "a new folder after a removal";
}

TEST_F(PrivateTempDirectoryTest, CreateFailsWithAReasonWhenTheParentIsMissing) {
  PrivateTempDirectory folder(tmp_ + "/no-such-folder");
  EXPECT_FALSE(folder.Create());
  EXPECT_FALSE(folder.Exists());
  EXPECT_FALSE(folder.LastError().empty());
}

TEST_F(PrivateTempDirectoryTest, StaleFoldersOfEndedProcessesAreRemovedAndLiveOnesKept) {
  const std::string dead = MakeFolderOf(DeadPid());
  const std::string parent = MakeFolderOf(getppid());  // running: the test runner's parent
  const std::string self = MakeFolderOf(getpid());
  EXPECT_EQ(PrivateTempDirectory::RemoveStale(tmp_), 1);
  EXPECT_FALSE(Exists(dead));
  EXPECT_TRUE(Exists(parent + "/menu.txt"));
  EXPECT_TRUE(Exists(self + "/menu.txt"));
}

TEST_F(PrivateTempDirectoryTest, OnlyTheExactNamePatternIsConsideredStale) {
  const pid_t pid = DeadPid();
  const std::string base = tmp_ + "/quarn-" + std::to_string(pid);
  const std::vector<std::string> others = {
      base + "-short",         base + "-toolong1",
      base + "-ab_cd!",        tmp_ + "/quarn-test-frames-AbC123",
      tmp_ + "/quarn--AbC123", tmp_ + "/quarn-0-AbC123"};
  for (const std::string& path : others)
    std::filesystem::create_directory(path);
  WriteFile(base + "-file00", "a file of the pattern is not a folder");
  EXPECT_EQ(PrivateTempDirectory::RemoveStale(tmp_), 0);
  for (const std::string& path : others)
    EXPECT_TRUE(Exists(path)) << path;
  EXPECT_TRUE(Exists(base + "-file00"));
}

TEST_F(PrivateTempDirectoryTest, SymbolicLinkOfThePatternIsNotFollowed) {
  const std::string target = root_ + "/precious";
  std::filesystem::create_directory(target);
  WriteFile(target + "/keep.txt", "keep");
  const std::string link = tmp_ + "/quarn-" + std::to_string(DeadPid()) + "-LinkXX";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  PrivateTempDirectory::RemoveStale(tmp_);
  EXPECT_TRUE(Exists(target + "/keep.txt"));
}

TEST_F(PrivateTempDirectoryTest, FolderStillLockedByItsOwnerIsKeptEvenIfItsPidLooksEnded) {
  // A process in another pid namespace sharing the temp folder: its pid means nothing here,
  // but it holds the folder's lock.
  const std::string path = MakeFolderOf(DeadPid());
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(PrivateTempDirectory::RemoveStale(tmp_), 0);
  EXPECT_TRUE(Exists(path + "/menu.txt"));
  close(fd);
  EXPECT_EQ(PrivateTempDirectory::RemoveStale(tmp_), 1);
}

TEST_F(PrivateTempDirectoryTest, OwnFolderHoldsItsLockSoOthersLeaveIt) {
  PrivateTempDirectory folder(tmp_);
  ASSERT_TRUE(folder.Create());
  const int fd = open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0) << "the owner holds the lock";
  close(fd);
}

TEST_F(PrivateTempDirectoryTest, SystemTempFolderFollowsTmpdir) {
  const char* saved = getenv("TMPDIR");
  const std::string restore = saved != nullptr ? saved : "";
  setenv("TMPDIR", tmp_.c_str(), 1);
  EXPECT_EQ(PrivateTempDirectory::SystemTempFolder(), tmp_);
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(PrivateTempDirectory::SystemTempFolder(), "/tmp");
  if (saved != nullptr) {
    setenv("TMPDIR", restore.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
}

}  // namespace
}  // namespace quarn
