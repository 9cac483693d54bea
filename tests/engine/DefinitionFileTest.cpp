#include "engine/DefinitionFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/Diagnostics.h"

namespace quarn {
namespace {

class DefinitionFileTest : public ::testing::Test {
 protected:
  // Loads the bytes through a real file, as the game does.
  DefinitionFile& Load(const std::string& bytes) {
    path_ = ::testing::TempDir() + "def_" + std::to_string(getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    std::ofstream(path_, std::ios::binary) << bytes;
    EXPECT_TRUE(file_.Load(path_));
    return file_;
  }
  ~DefinitionFileTest() override { std::remove(path_.c_str()); }

  DefinitionFile file_;
  std::string path_;
};

TEST_F(DefinitionFileTest, LoadFailsOnlyWhenTheFileCannotBeOpened) {
  DefinitionFile file;
  EXPECT_FALSE(file.Load("/nonexistent/quarn/def.txt"));
  EXPECT_FALSE(file.Load(::testing::TempDir())) << "a folder is not a file";
  EXPECT_TRUE(Load("").Sections().empty());
}

TEST_F(DefinitionFileTest, LinesAreHeadersEntriesOrNothing) {
  DefinitionFile& f = Load(
      "lead=0\r\n[Aircraft]\r\nSpeed=1\r\nSpeed=2\r\nKey = 5\r\n"
      "remark without equals\r\n=rest=of=it\r\nEmpty=\r\nName=[Left]\r\na]b[c=d\r\nlast=x");
  f.SelectSection("");
  EXPECT_EQ(f.GetString("lead", "-"), "0");
  f.SelectSection("Aircraft");
  EXPECT_EQ(f.GetInt("Speed", 0), 1) << "the first value wins";
  EXPECT_EQ(f.GetString("Name", "-"), "-") << "Name=[Left] is a header, not an entry";
  EXPECT_EQ(f.GetString("Key ", "-"), " 5") << "no trimming";
  EXPECT_EQ(f.GetString("Key", "-"), "-");
  EXPECT_EQ(f.GetString("", "-"), "rest=of=it");
  EXPECT_EQ(f.GetString("Empty", "-"), "");
  EXPECT_EQ(f.GetInt("Empty", 4), 4);
  EXPECT_EQ(f.GetFloat("Empty", 2.5f), 2.5f);
  EXPECT_TRUE(f.GetBool("Empty", true));
  f.SelectSection("Left");
  EXPECT_EQ(f.GetString("a]b[c", "-"), "d");
  EXPECT_EQ(f.GetString("last", "-"), "x") << "a final line without CR LF counts";
  EXPECT_EQ(f.Sections().size(), 3u);
}

TEST_F(DefinitionFileTest, RepeatedHeaderReopensItsSection) {
  DefinitionFile& f = Load("[A]\r\nX=1\r\n[B]\r\nX=2\r\n[A]\r\nY=3\r\n[OnlyAHeader]\r\n");
  f.SelectSection("A");
  EXPECT_EQ(f.GetInt("X", 0), 1);
  EXPECT_EQ(f.GetInt("Y", 0), 3);
  f.SelectSection("B");
  EXPECT_EQ(f.GetInt("X", 0), 2);
  EXPECT_EQ(f.Sections().count("OnlyAHeader"), 0u) << "a header alone makes no section";
}

TEST_F(DefinitionFileTest, NumbersFollowTheCConversions) {
  DefinitionFile& f = Load(
      "[N]\r\na=12abc\r\nb=3.7\r\nc=0x10\r\nd=abc\r\ne=1e3\r\nf= -4\r\ng=TRUE\r\nh=true\r\n"
      "i=false\r\n");
  f.SelectSection("N");
  EXPECT_EQ(f.GetInt("a", -1), 12);
  EXPECT_EQ(f.GetInt("b", -1), 3);
  EXPECT_EQ(f.GetInt("c", -1), 0);
  EXPECT_EQ(f.GetInt("d", -1), -1);
  EXPECT_EQ(f.GetInt("f", 0), -4);
  EXPECT_EQ(f.GetFloat("e", 0), 1000.0f);
  EXPECT_FLOAT_EQ(f.GetFloat("b", 0), 3.7f);
  EXPECT_EQ(f.GetFloat("missing", 0.0000001f), 0.0f) << "defaults pass through %f";
  EXPECT_FLOAT_EQ(f.GetFloat("missing", 1.25f), 1.25f);
  EXPECT_FALSE(f.GetBool("g", false));
  EXPECT_TRUE(f.GetBool("g", true));
  EXPECT_TRUE(f.GetBool("h", false));
  EXPECT_FALSE(f.GetBool("i", true));
}

TEST_F(DefinitionFileTest, FloatsAreDecimalFormsOnly) {
  std::string text = "[F]\r\n";
  const char* notNumbers[] = {"nan",   "NaN",   "-nan(1)", "inf",  "+INF",  "-Infinity",
                              "  inf", "0x1p3", "-0X10",   "1e39", "-1e39", "9e999",
                              ".",     "-",     "- 1",     ".e1",  "e5"};
  for (size_t i = 0; i < std::size(notNumbers); ++i)
    text += "n" + std::to_string(i) + "=" + notNumbers[i] + "\r\n";
  text += "a=  -2.\r\nb=\t.5\r\nc=-.5\r\nd=1e3x\r\ne=1e\r\nf=1e-50\r\ng=3.4e38\r\n";
  text += "h=007.5e+1\r\ni=0\r\nj=-0.25nan\r\n";
  DefinitionFile& f = Load(text);
  f.SelectSection("F");
  for (size_t i = 0; i < std::size(notNumbers); ++i)
    EXPECT_EQ(f.GetFloat("n" + std::to_string(i), 6.5f), 6.5f) << notNumbers[i];
  EXPECT_EQ(f.GetFloat("a", 0), -2.0f);
  EXPECT_EQ(f.GetFloat("b", 0), 0.5f);
  EXPECT_EQ(f.GetFloat("c", 0), -0.5f);
  EXPECT_EQ(f.GetFloat("d", 0), 1000.0f) << "trailing garbage is ignored";
  EXPECT_EQ(f.GetFloat("e", 0), 1.0f) << "an exponent without digits is left unread";
  EXPECT_EQ(f.GetFloat("f", 9), 0.0f) << "underflow is zero, not the default";
  EXPECT_FLOAT_EQ(f.GetFloat("g", 0), 3.4e38f);
  EXPECT_EQ(f.GetFloat("h", 0), 75.0f);
  EXPECT_EQ(f.GetFloat("i", 9), 0.0f) << "a lone zero is not the start of a hexadecimal float";
  EXPECT_EQ(f.GetFloat("j", 0), -0.25f);
}

TEST_F(DefinitionFileTest, ListCountsAreCappedAndNeverNegative) {
  DefinitionFile& f = Load(
      "[Emitter]\r\nParticleCount=100000000\r\nUnitCount=-5\r\nPortCount=4096\r\n"
      "EngineCount=4097x\r\nLoadCount=abc\r\n");
  f.SetName("smoke.txt");
  f.SelectSection("Emitter");
  platform::ForgetReportedProblems();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(f.GetCount("ParticleCount"), DefinitionFile::kMaxCount);
  EXPECT_EQ(f.GetCount("ParticleCount"), DefinitionFile::kMaxCount);
  EXPECT_EQ(f.GetCount("UnitCount"), 0);
  EXPECT_EQ(f.GetCount("PortCount"), 4096) << "the cap itself is allowed";
  EXPECT_EQ(f.GetCount("EngineCount"), 4096);
  EXPECT_EQ(f.GetCount("LoadCount"), 0);
  EXPECT_EQ(f.GetCount("Missing"), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "quarn: smoke.txt [Emitter] ParticleCount: 100000000 is more than the 4096 the game "
            "reads; 4096 are used\n"
            "quarn: smoke.txt [Emitter] EngineCount: 4097 is more than the 4096 the game reads; "
            "4096 are used\n")
      << "one line per file and key";
}

TEST_F(DefinitionFileTest, IndexedSectionsAndKeys) {
  DefinitionFile& f = Load("[Emerge_12]\r\nUnitID_1=7\r\nGreaterProgressPointEnable_3=true\r\n");
  f.SelectSection("Emerge", 12);
  EXPECT_EQ(f.CurrentSection(), "Emerge_12");
  EXPECT_EQ(f.GetInt("UnitID", 0, -1), -1);
  EXPECT_EQ(f.GetInt("UnitID", 1, -1), 7);
  EXPECT_TRUE(f.GetBool("GreaterProgressPointEnable", 3, false));
  EXPECT_EQ(f.GetString("UnitID", 1, ""), "7");
  EXPECT_EQ(DefinitionFile::IndexedName(std::string(300, 'k'), 5).size(), 255u);
}

TEST_F(DefinitionFileTest, ZeroByteDropsTheRestOfItsBlock) {
  std::string bytes = "[S]\r\nA=1";
  bytes += '\0';
  bytes += "B=2\r\n";
  bytes.resize(1024, 'x');  // the rest of the first block is dropped with the zero
  bytes += "\r\nC=3\r\n";
  DefinitionFile& f = Load(bytes);
  f.SelectSection("S");
  EXPECT_EQ(f.GetString("A", "-"), "1");
  EXPECT_EQ(f.GetString("B", "-"), "-");
  EXPECT_EQ(f.GetString("C", "-"), "3");
}

TEST_F(DefinitionFileTest, LfOnlyFileIsOneLineAndWarnsOnce) {
  platform::ForgetReportedProblems();
  ::testing::internal::CaptureStderr();
  DefinitionFile& f = Load("[A]\nX=1\n[B]\nY=2\n");
  DefinitionFile again;
  again.Load(path_);
  const std::string err = ::testing::internal::GetCapturedStderr();
  // One line holding a "[" and a later "]": a header of everything between the first two.
  EXPECT_TRUE(f.Sections().empty());
  EXPECT_NE(err.find("quarn: "), std::string::npos);
  EXPECT_NE(err.find("LF"), std::string::npos);
  EXPECT_EQ(err.find("quarn: "), err.rfind("quarn: ")) << "one warning per file: " << err;
}

TEST(DefinitionLinesTest, LinesAreNumberedAsAnEditorShowsThem) {
  // A lone LF stays inside its line for the game, but starts a new one in an editor.
  std::vector<std::pair<unsigned, std::string>> seen;
  DefinitionFile::VisitLines("remark\r\n[A]\r\nX=1\nY=2\r\n\r\n=z", [&](const auto& line) {
    seen.emplace_back(line.number,
                      line.header ? "[" + std::string(line.section) + "]" : std::string(line.key));
  });
  EXPECT_EQ(seen, (std::vector<std::pair<unsigned, std::string>>{{2, "[A]"}, {3, "X"}, {6, ""}}));
}

}  // namespace
}  // namespace quarn
