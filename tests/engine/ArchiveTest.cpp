#include "engine/Archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveFixture.h"
#include "platform/Diagnostics.h"

namespace quarn {
namespace {

using testing::Exists;
using testing::FolderNames;
using testing::ReadFile;
using testing::WriteFile;

class ArchiveTest : public testing::ArchiveFixture {
 protected:
  ArchiveTest() { platform::ForgetReportedProblems(); }
  Archive archive_{tmp_};
};

TEST(LowerCaseNameTest, LowersOnlyAsciiLettersAndNeverASecondByte) {
  EXPECT_EQ(LowerCaseName("HUD.PNG"), "hud.png");
  EXPECT_EQ(LowerCaseName("Stage01_Boss.TXT"), "stage01_boss.txt");
  // 0x82 0x41: a double-byte character whose second byte happens to be 'A'.
  EXPECT_EQ(LowerCaseName("\x82\x41X"), "\x82\x41x");
  EXPECT_EQ(LowerCaseName("\xE0\x5A\x9F\x42"), "\xE0\x5A\x9F\x42");
  // Half-width katakana (0xA1-0xDF) are single bytes: the next byte is a character again.
  EXPECT_EQ(LowerCaseName("\xB1Z"), "\xB1z");
  // A lead byte at the very end has no second byte to skip.
  EXPECT_EQ(LowerCaseName("A\x81"), "a\x81");
  EXPECT_EQ(LowerCaseName("@[`{"), "@[`{") << "neighbours of the letter ranges";
}

TEST(IsSafeEntryNameTest, OnlyFlatNamesAreWrittenToDisk) {
  EXPECT_TRUE(IsSafeEntryName("HUD.png"));
  EXPECT_TRUE(IsSafeEntryName(".hidden"));
  EXPECT_TRUE(IsSafeEntryName(std::string(255, 'a')));
  EXPECT_FALSE(IsSafeEntryName(""));
  EXPECT_FALSE(IsSafeEntryName("."));
  EXPECT_FALSE(IsSafeEntryName(".."));
  EXPECT_FALSE(IsSafeEntryName("../evil.txt"));
  EXPECT_FALSE(IsSafeEntryName("sub/file.txt"));
  EXPECT_FALSE(IsSafeEntryName("sub\\file.txt"));
  EXPECT_FALSE(IsSafeEntryName("a..b"));
  EXPECT_FALSE(IsSafeEntryName(std::string("a\0b", 3)));
}

TEST_F(ArchiveTest, RecordsDifferingOnlyInCaseLeaveTheFirstUnderTheLowerCasedName) {
  WriteArchive({{"A.TXT", "first"}, {"a.txt", "second"}, {"B.txt", "b"}});
  ASSERT_TRUE(archive_.Open(base_));
  ASSERT_EQ(archive_.Entries().size(), 2u);
  ASSERT_TRUE(archive_.Entries().count("a.txt"));
  EXPECT_EQ(archive_.Entries().at("a.txt").size, 5u);
  const std::string path = archive_.Extract("a.TxT");
  EXPECT_EQ(path, archive_.TempDirectory() + "/a.txt");
  EXPECT_EQ(ReadFile(path), "first");
}

TEST_F(ArchiveTest, TwoExtractionsShareOneCopyAndTheSecondReleaseDeletesIt) {
  WriteArchive({{"HUD.png", "pixels"}});
  archive_.Open(base_);
  const std::string upper = archive_.Extract("HUD.PNG");
  const std::string lower = archive_.Extract("hud.png");
  EXPECT_EQ(upper, lower);
  EXPECT_EQ(archive_.Entries().at("hud.png").referenceCount, 2);
  EXPECT_EQ(ReadFile(upper), "pixels");
  archive_.Release("Hud.Png");
  EXPECT_TRUE(Exists(upper)) << "one user is left";
  archive_.Release("hud.png");
  EXPECT_FALSE(Exists(upper));
  // A later request writes a fresh copy.
  EXPECT_EQ(ReadFile(archive_.Extract("hud.png")), "pixels");
  EXPECT_EQ(archive_.Entries().at("hud.png").referenceCount, 1);
}

TEST_F(ArchiveTest, ReleaseOfANeverExtractedNameGoesNegativeAndTheNextExtractStartsAtOne) {
  WriteArchive({{"a.txt", "x"}});
  archive_.Open(base_);
  archive_.Release("a.txt");
  archive_.Release("a.txt");
  EXPECT_EQ(archive_.Entries().at("a.txt").referenceCount, -2);
  const std::string path = archive_.Extract("a.txt");
  EXPECT_EQ(archive_.Entries().at("a.txt").referenceCount, 1);
  EXPECT_EQ(ReadFile(path), "x");
  archive_.Release("loose-only.txt");  // not in the archive: ignored
}

TEST_F(ArchiveTest, NameOf255BytesIsExtracted) {
  const std::string name(251, 'L');
  WriteArchive({{name + ".TXT", "long"}});
  archive_.Open(base_);
  const std::string path = archive_.Extract(name + ".txt");
  EXPECT_EQ(ReadFile(path), "long");
  EXPECT_EQ(path, archive_.TempDirectory() + "/" + LowerCaseName(name) + ".txt");
  EXPECT_EQ(archive_.Extract(std::string(300, 'L')), base_ + "/" + std::string(300, 'l'))
      << "a longer name can never match an entry";
}

TEST_F(ArchiveTest, EmptyArchiveHasNoEntriesAndMakesNoTempFolder) {
  WriteFile(base_ + ".acv", "");
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(archive_.Open(base_));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "an empty archive is fine";
  EXPECT_TRUE(archive_.Entries().empty());
  EXPECT_FALSE(archive_.IsDamaged());
  EXPECT_EQ(archive_.TempDirectory(), "");
  EXPECT_TRUE(FolderNames(tmp_).empty());
  EXPECT_EQ(archive_.Extract("Menu.txt"), base_ + "/menu.txt");
}

TEST_F(ArchiveTest, MissingArchiveReadsLooseFilesAndSaysSoOnce) {
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(archive_.Open(base_));
  archive_.Close();
  EXPECT_TRUE(archive_.Open(base_));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "quarn: " + base_ + ".acv: not found; reading loose files under " + base_ + "/\n");
  EXPECT_EQ(archive_.Extract("SystemMenu.TXT"), base_ + "/systemmenu.txt");
}

TEST_F(ArchiveTest, MissingEntryFallsBackToTheLooseLowerCasedPath) {
  WriteArchive({{"present.txt", "p"}});
  archive_.Open(base_);
  EXPECT_EQ(archive_.Extract("Absent.TXT"), base_ + "/absent.txt");
  archive_.Release("Absent.TXT");
  EXPECT_EQ(archive_.Entries().count("absent.txt"), 0u);
}

TEST_F(ArchiveTest, CloseDeletesExactlyTheCopiesStillHeldAndTheFolder) {
  WriteArchive({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
  archive_.Open(base_);
  const std::string a = archive_.Extract("a");
  const std::string b = archive_.Extract("b");
  const std::string c = archive_.Extract("c");
  archive_.Extract("c");
  archive_.Release("b");
  const std::string folder = archive_.TempDirectory();
  EXPECT_EQ(FolderNames(folder), (std::vector<std::string>{"a", "c"}));
  archive_.Close();
  EXPECT_FALSE(Exists(a));
  EXPECT_FALSE(Exists(c));
  EXPECT_FALSE(Exists(folder));
  EXPECT_TRUE(archive_.Entries().empty());
  EXPECT_TRUE(FolderNames(tmp_).empty()) << "nothing of ours is left in the temp folder";
  EXPECT_EQ(archive_.Extract("a"), base_ + "/a") << "after Close every name is loose";
}

TEST_F(ArchiveTest, DestructionRemovesThePrivateFolderWithItsCopies) {
  WriteArchive({{"a", "1"}});
  {
    Archive archive(tmp_);
    archive.Open(base_);
    EXPECT_TRUE(Exists(archive.Extract("a")));
    EXPECT_EQ(FolderNames(tmp_).size(), 1u);
  }
  EXPECT_TRUE(FolderNames(tmp_).empty());
}

TEST_F(ArchiveTest, PrivateFolderIsNamedForThisProcessAndOnlyItsOwnerCanEnter) {
  WriteArchive({{"a", "1"}});
  archive_.Open(base_);
  const std::string folder = archive_.TempDirectory();
  ASSERT_FALSE(folder.empty());
  const std::string name = folder.substr(folder.rfind('/') + 1);
  EXPECT_EQ(name.rfind("quarn-" + std::to_string(getpid()) + "-", 0), 0u) << name;
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(ArchiveTest, TwoArchivesInOneTempFolderNeverTouchEachOthersCopies) {
  WriteArchive({{"shared.txt", "same name"}});
  Archive other(tmp_);
  archive_.Open(base_);
  other.Open(base_);
  const std::string mine = archive_.Extract("shared.txt");
  const std::string theirs = other.Extract("shared.txt");
  EXPECT_NE(mine, theirs);
  archive_.Release("shared.txt");
  EXPECT_FALSE(Exists(mine));
  EXPECT_EQ(ReadFile(theirs), "same name");
  archive_.Close();
  EXPECT_EQ(ReadFile(theirs), "same name");
}

TEST_F(ArchiveTest, DamagedArchiveKeepsTheCompleteRecordsBeforeTheBadOne) {
  std::string bytes = testing::ArchiveBytes({{"one.txt", "1"}, {"two.txt", "22"}});
  const size_t damageAt = bytes.size();
  bytes += testing::RecordBytes("three.txt", "333333").substr(0, 20);
  WriteFile(base_ + ".acv", bytes);
  ::testing::internal::CaptureStderr();
  archive_.Open(base_);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(archive_.IsDamaged());
  EXPECT_EQ(archive_.Entries().size(), 2u);
  EXPECT_EQ(ReadFile(archive_.Extract("two.txt")), "22");
  EXPECT_EQ(archive_.Extract("three.txt"), base_ + "/three.txt");
  EXPECT_NE(err.find(base_ + ".acv: damaged record at offset " + std::to_string(damageAt)),
            std::string::npos)
      << err;
}

TEST_F(ArchiveTest, UnsafeEntryNamesAreNeverWrittenAndReadAsMissing) {
  // From the private folder, "../" is the shared temp folder.
  const std::string escape = "../escaped.txt";
  WriteArchive({{escape, "evil"},
                {"sub/inner.txt", "evil"},
                {"back\\slash.txt", "evil"},
                {"..", "evil"},
                {"", "evil"},
                {std::string("nul\0.txt", 8), "evil"},
                {"fine.txt", "good"}});
  ::testing::internal::CaptureStderr();
  archive_.Open(base_);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(archive_.Entries().size(), 1u);
  for (const std::string& name :
       {escape, std::string("sub/inner.txt"), std::string("back\\slash.txt"), std::string("..")}) {
    EXPECT_EQ(archive_.Extract(name), base_ + "/" + name);
  }
  EXPECT_EQ(ReadFile(archive_.Extract("fine.txt")), "good");
  EXPECT_EQ(FolderNames(archive_.TempDirectory()), std::vector<std::string>{"fine.txt"});
  EXPECT_FALSE(Exists(tmp_ + "/escaped.txt"));
  EXPECT_NE(err.find("sub/inner.txt"), std::string::npos) << err;
  EXPECT_NE(err.find("nul\\x00.txt"), std::string::npos) << "a zero byte is shown, " << err;
}

TEST_F(ArchiveTest, CopyCutShortByATruncatedArchiveLeavesNoFile) {
  WriteArchive({{"small.txt", "s"}, {"big.bin", std::string(4096, 'b')}});
  archive_.Open(base_);
  // The archive shrinks after the directory was read (replaced by a shorter file).
  ASSERT_EQ(truncate((base_ + ".acv").c_str(), 100), 0);
  ::testing::internal::CaptureStderr();
  const std::string path = archive_.Extract("big.bin");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(Exists(path)) << "a cut-off copy would load as a broken file";
  EXPECT_EQ(archive_.Entries().at("big.bin").referenceCount, 1);
  EXPECT_NE(err.find("quarn: big.bin: "), std::string::npos) << err;
  archive_.Release("big.bin");
  EXPECT_EQ(ReadFile(archive_.Extract("small.txt")), "s");
}

TEST_F(ArchiveTest, EntryOfZeroBytesIsAnEmptyFile) {
  WriteArchive({{"empty.txt", ""}});
  archive_.Open(base_);
  const std::string path = archive_.Extract("empty.txt");
  EXPECT_TRUE(Exists(path));
  EXPECT_EQ(ReadFile(path), "");
}

}  // namespace
}  // namespace quarn
