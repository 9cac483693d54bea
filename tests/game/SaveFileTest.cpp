#include "game/SaveFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace quarn {
namespace {

class SaveFileTest : public ::testing::Test {
 protected:
  SaveFileTest() {
    dir_ = ::testing::TempDir() + "save-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    mkdir(dir_.c_str(), 0755);
    path_ = dir_ + "/Quarn.sav";
  }
  ~SaveFileTest() override {
    unlink(path_.c_str());
    unlink((path_ + ".tmp").c_str());
    rmdir(dir_.c_str());
  }
  std::string ReadBytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void WriteBytes(const std::string& bytes) const {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  static std::string Record(const std::string& text) {
    const uint32_t n = static_cast<uint32_t>(text.size());
    std::string bytes{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                      static_cast<char>(n >> 24)};
    return bytes + text;
  }

  std::string dir_;
  std::string path_;
};

TEST_F(SaveFileTest, NoFileGivesEmptySlotsAndAnEmptySaveIs256ZeroBytes) {
  ValueStore values;
  values.SetStorage(5, "left over");
  SaveFile::Read(path_, values);
  EXPECT_EQ(values.GetStorage(5), "left over") << "a missing file changes nothing";
  ValueStore empty;
  ASSERT_TRUE(SaveFile::Write(path_, empty));
  EXPECT_EQ(ReadBytes(), std::string(256, '\0'));
}

TEST_F(SaveFileTest, SlotsRoundTripInTheirByteLayout) {
  ValueStore values;
  values.SetStorage(0, "abc");
  values.SetStorage(63, "\x82\xa0 cleared");
  ASSERT_TRUE(SaveFile::Write(path_, values));
  const std::string bytes = ReadBytes();
  EXPECT_EQ(bytes.substr(0, 7), std::string("\x03\0\0\0abc", 7));
  EXPECT_EQ(bytes.size(), 7u + 62 * 4 + 4 + 10);
  ValueStore back;
  SaveFile::Read(path_, back);
  EXPECT_EQ(back.GetStorage(0), "abc");
  EXPECT_EQ(back.GetStorage(63), "\x82\xa0 cleared");
  EXPECT_EQ(back.GetStorage(1), "");
}

TEST_F(SaveFileTest, DamagedFilesReadWhatTheyHold) {
  // A zero byte ends a text; a file cut inside slot 10 keeps what was read of it.
  std::string bytes = Record(std::string("ab\0cd", 5));
  for (int slot = 1; slot < 10; ++slot)
    bytes += Record("s" + std::to_string(slot));
  bytes += Record("truncated text").substr(0, 4 + 5);
  WriteBytes(bytes);
  ValueStore values;
  values.SetStorage(11, "stale");
  SaveFile::Read(path_, values);
  EXPECT_EQ(values.GetStorage(0), "ab");
  EXPECT_EQ(values.GetStorage(9), "s9");
  EXPECT_EQ(values.GetStorage(10), "trunc");
  EXPECT_EQ(values.GetStorage(11), "") << "slots past the end read empty";
}

TEST_F(SaveFileTest, OverlongTextsAreCutOnReadAndOnWrite) {
  // A stored length of 2000: 1023 bytes are kept, the rest skipped, and the next slot reads.
  WriteBytes(Record(std::string(2000, 'x')) + Record("next"));
  ValueStore values;
  SaveFile::Read(path_, values);
  EXPECT_EQ(values.GetStorage(0), std::string(1023, 'x'));
  EXPECT_EQ(values.GetStorage(1), "next");
  values.SetStorage(2, std::string(5000, 'y'));
  ASSERT_TRUE(SaveFile::Write(path_, values));
  ValueStore back;
  SaveFile::Read(path_, back);
  EXPECT_EQ(back.GetStorage(2), std::string(1023, 'y')) << "a saved file always reads back";
  EXPECT_EQ(back.GetStorage(3), "");
}

TEST_F(SaveFileTest, AWriteThatFailsHalfWayKeepsThePreviousFile) {
  ValueStore previous;
  previous.SetStorage(0, "stage 1 cleared");
  ASSERT_TRUE(SaveFile::Write(path_, previous));
  const std::string before = ReadBytes();
  // In a child whose files may not grow past 600 bytes, as on a full disk.
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{600, 600};
    setrlimit(RLIMIT_FSIZE, &limit);
    ValueStore big;
    for (int slot = 0; slot < ValueStore::kStorageSlots; ++slot)
      big.SetStorage(slot, "long text");
    _exit(SaveFile::Write(path_, big) ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed write must be reported as a failure";
  EXPECT_EQ(ReadBytes(), before);
  EXPECT_NE(access((path_ + ".tmp").c_str(), F_OK), 0) << "no temporary file is left behind";
}

TEST_F(SaveFileTest, UnwritableFolderSavesNothingAndSaysSo) {
  ValueStore values;
  EXPECT_FALSE(SaveFile::Write("/nonexistent-folder/Quarn.sav", values));
}

TEST(ValueStoreTest, NamesAndSlots) {
  ValueStore values;
  EXPECT_STREQ(ValueStore::Name(ValueId::Scene), "SceneValue");
  EXPECT_STREQ(ValueStore::Name(ValueId::MovieFile), "MovieFileValue");
  EXPECT_EQ(ValueStore::FromName("MissionCompletedValue"), ValueId::MissionCompleted);
  EXPECT_EQ(ValueStore::FromName("StorageValue"), std::nullopt);
  values.SetStorage(64, "ignored");
  values.SetStorage(-1, "ignored");
  EXPECT_EQ(values.GetStorage(64), "");
  values.Set(ValueId::StageFile, "Stage1.txt");
  EXPECT_EQ(values.Get(ValueId::StageFile), "Stage1.txt");
}

}  // namespace
}  // namespace quarn
