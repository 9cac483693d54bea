// The acv tool as a data maker uses it: pack, list, extract and cat, and its refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/ProcessRunner.h"
#include "engine/ArchiveFixture.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

// Deterministic bytes that are not a repeating pattern, so a shifted copy cannot pass.
std::string NoiseBytes(size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = 12345;
  for (char& byte : bytes) {
    state = state * 214013u + 2531011u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}

class AcvToolTest : public ::testing::Test {
 protected:
  AcvToolTest() : dir_(MakeTempDir("acv")) {}
  ~AcvToolTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  ProcessResult Acv(const std::vector<std::string>& args) {
    return RunProcess(BuildPath("acv"), args, dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Put(const std::string& name, const std::string& bytes) {
    fs::create_directories(fs::path(Path(name)).parent_path());
    WriteFile(Path(name), bytes);
  }
  std::vector<std::string> Names(const std::string& folder) const {
    return FolderNames(Path(folder));
  }

  std::string dir_;
};

TEST_F(AcvToolTest, HelpUsageAndExitCodes) {
  ProcessResult run = Acv({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* command : {"pack", "list", "extract", "cat"}) {
    EXPECT_NE(run.out.find(std::string("acv ") + command), std::string::npos) << command;
  }
  EXPECT_EQ(Acv({}).exitCode, 2);
  EXPECT_EQ(Acv({"unpack", "a.acv"}).exitCode, 2);
  EXPECT_EQ(Acv({"list"}).exitCode, 2);
  EXPECT_EQ(Acv({"cat", "a.acv"}).exitCode, 2);
  EXPECT_EQ(Acv({"pack", "out.acv"}).exitCode, 2);
  EXPECT_EQ(Acv({"extract", "a.acv", "-C"}).exitCode, 2);
  run = Acv({"list", "missing.acv"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("missing.acv"), std::string::npos) << run.err;
}

TEST_F(AcvToolTest, PackListExtractRoundTripIsByteExactFor0And1Byte_And64MiB) {
  const std::string big = NoiseBytes(64u << 20);
  Put("in/Empty.bin", "");
  Put("in/One.BIN", "!");
  Put("in/movies/Intro.MPG", big);
  ProcessResult run = Acv({"pack", "Data.acv", "in"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");

  run = Acv({"list", "Data.acv"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Byte-wise path order: "in/Empty.bin" < "in/One.BIN" < "in/movies/Intro.MPG".
  const int64_t empty = 4 + 9 + 4;
  const int64_t one = empty + 4 + 7 + 4;
  const int64_t intro = one + 1 + 4 + 9 + 4;
  EXPECT_EQ(run.out, "Empty.bin\t0\t" + std::to_string(empty) + "\nOne.BIN\t1\t" +
                         std::to_string(one) + "\nIntro.MPG\t" + std::to_string(big.size()) + "\t" +
                         std::to_string(intro) + "\n");

  run = Acv({"extract", "Data.acv", "-C", "out"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Names("out"), (std::vector<std::string>{"empty.bin", "intro.mpg", "one.bin"}));
  EXPECT_EQ(ReadFile(Path("out/empty.bin")), "");
  EXPECT_EQ(ReadFile(Path("out/one.bin")), "!");
  EXPECT_TRUE(ReadFile(Path("out/intro.mpg")) == big) << "64 MiB entry differs";

  run = Acv({"cat", "Data.acv", "ONE.bin"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "!");
}

TEST_F(AcvToolTest, PackIsDeterministicAndKeepsArgumentOrder) {
  // Made in reverse order: the directory listing order must not matter.
  Put("set/c.txt", "c\r\n");
  Put("set/b.txt", "b\r\n");
  Put("set/a.txt", "a\r\n");
  Put("first.dat", "1");
  ASSERT_EQ(Acv({"pack", "one.acv", "first.dat", "set"}).exitCode, 0);
  ASSERT_EQ(Acv({"pack", "two.acv", "first.dat", "set"}).exitCode, 0);
  EXPECT_EQ(ReadFile(Path("one.acv")), ReadFile(Path("two.acv")));
  EXPECT_EQ(ReadFile(Path("one.acv")),
            ArchiveBytes(
                {{"first.dat", "1"}, {"a.txt", "a\r\n"}, {"b.txt", "b\r\n"}, {"c.txt", "c\r\n"}}));
}

TEST_F(AcvToolTest, PackRefusesNamesTheGameCouldNotTellApartAndKeepsTheOldArchive) {
  Put("one/Menu.txt", "x");
  Put("two/menu.TXT", "y");
  Put("Data.acv", "previous archive");
  const ProcessResult run = Acv({"pack", "Data.acv", "one", "two"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("one/Menu.txt"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("two/menu.TXT"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("letter case"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(Path("Data.acv")), "previous archive");
  EXPECT_EQ(Names(""), (std::vector<std::string>{"Data.acv", "one", "two"})) << "no temp file left";
}

TEST_F(AcvToolTest, PackRefusesBackslashesAndDoubleDotsButTakesA255ByteName) {
  Put("odd/back\\slash.txt", "b");
  ProcessResult run = Acv({"pack", "a.acv", "odd/back\\slash.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("'\\'"), std::string::npos) << run.err;
  Put("odd/v1..2.txt", "v");
  run = Acv({"pack", "b.acv", "odd/v1..2.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find(".."), std::string::npos) << run.err;
  EXPECT_FALSE(Exists(Path("a.acv")));
  EXPECT_FALSE(Exists(Path("b.acv")));

  const std::string longName = std::string(251, 'L') + ".txt";
  Put(longName, "long\r\n");
  run = Acv({"pack", "c.acv", longName});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  run = Acv({"cat", "c.acv", longName});
  EXPECT_EQ(run.out, "long\r\n");
}

TEST_F(AcvToolTest, RepackingAFolderThatHoldsTheArchiveLeavesTheArchiveOut) {
  Put("game/a.txt", "a\r\n");
  ASSERT_EQ(Acv({"pack", "game/Data.acv", "game"}).exitCode, 0);
  const ProcessResult run = Acv({"pack", "game/Data.acv", "game"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("game/Data.acv is the output archive"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(Path("game/Data.acv")), ArchiveBytes({{"a.txt", "a\r\n"}}));
  EXPECT_EQ(Names("game"), (std::vector<std::string>{"Data.acv", "a.txt"}));
}

TEST_F(AcvToolTest, PackWarnsAboutATextFileWithoutCrLfLineEnds) {
  Put("defs/Good.txt", "[A]\r\nX=1\r\n");
  Put("defs/Unix.txt", "[A]\nX=1\n");
  Put("defs/Mixed.TXT", "[A]\r\nX=1\n");
  Put("defs/Mesh.x", "xof 0303txt\n");
  const ProcessResult run = Acv({"pack", "d.acv", "defs"});
  EXPECT_EQ(run.exitCode, 0) << "a warning only";
  EXPECT_NE(run.err.find("defs/Unix.txt"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("defs/Mixed.TXT"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("Good.txt"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("Mesh.x"), std::string::npos) << "only .txt files: " << run.err;
}

TEST_F(AcvToolTest, DamagedArchiveListsItsCompleteRecordsThenFailsWithTheOffset) {
  std::string bytes = ArchiveBytes({{"a.txt", "A"}, {"b.txt", "BB"}});
  const size_t bad = bytes.size();
  bytes += RecordBytes("c.txt", "CCCCCC").substr(0, 15);
  Put("cut.acv", bytes);
  ProcessResult run = Acv({"list", "cut.acv"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "a.txt\t1\t13\nb.txt\t2\t27\n");
  EXPECT_NE(run.err.find("offset " + std::to_string(bad)), std::string::npos) << run.err;

  run = Acv({"extract", "cut.acv", "-C", "out"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.txt", "b.txt"}));

  Put("image.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  run = Acv({"list", "image.png"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("offset 0"), std::string::npos) << run.err;
}

TEST_F(AcvToolTest, ReadsAsTheGameDoesFirstRecordWinsAndUnsafeNamesAreNotWritten) {
  Put("odd.acv",
      ArchiveBytes(
          {{"A.TXT", "first"}, {"a.txt", "second"}, {"../escape.txt", "evil"}, {"ok.txt", "ok"}}));
  ProcessResult run = Acv({"list", "odd.acv"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("a.txt\t6\t31\thidden by an earlier record"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("../escape.txt\t4\t"), std::string::npos) << run.out;

  run = Acv({"cat", "odd.acv", "a.txt"});
  EXPECT_EQ(run.out, "first");
  run = Acv({"extract", "odd.acv", "-C", "out"});
  EXPECT_EQ(run.exitCode, 1) << "an entry could not be written";
  EXPECT_NE(run.err.find("../escape.txt"), std::string::npos) << run.err;
  EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.txt", "ok.txt"}));
  EXPECT_EQ(ReadFile(Path("out/a.txt")), "first");
  EXPECT_FALSE(Exists(Path("escape.txt")));

  run = Acv({"extract", "odd.acv", "OK.TXT", "-C", "sel"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Names("sel"), std::vector<std::string>{"ok.txt"});
  run = Acv({"extract", "odd.acv", "nothing.txt", "-C", "sel"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("nothing.txt"), std::string::npos) << run.err;
  EXPECT_EQ(Acv({"cat", "odd.acv", "nothing.txt"}).exitCode, 1);
}

TEST_F(AcvToolTest, GameReadsWhatAcvPacked) {
  Put("in/SystemMenu.txt", "[Menu]\r\n");
  ASSERT_EQ(Acv({"pack", "Data.acv", "in"}).exitCode, 0);
  const ProcessResult run = RunProcess(BuildPath("quarn"), {"--headless", "--frames", "3"}, dir_,
                                       {"SDL_VIDEODRIVER=offscreen", "TMPDIR=" + dir_});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err.find("Data.acv"), std::string::npos) << "read without complaint: " << run.err;
}

}  // namespace
}  // namespace quarn::testing
