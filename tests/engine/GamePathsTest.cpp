// Where the game looks for its data and where it keeps progress, on folders made by the test.
#include "engine/GamePaths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/Diagnostics.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

class GamePathsTest : public ::testing::Test {
 protected:
  GamePathsTest() : root_(fs::path(::testing::TempDir()) / "paths") {
    fs::remove_all(root_);
    for (const char* dir : {"work", "install", "other", "xdg", "home"})
      fs::create_directories(root_ / dir);
    places_.workDir = Path("work");
    places_.installDataDir = Path("install");
    places_.xdgDataHome = Path("xdg");
    places_.home = Path("home");
    platform::ForgetReportedProblems();
  }
  ~GamePathsTest() override { fs::remove_all(root_); }

  std::string Path(const std::string& name) const { return (root_ / name).string(); }
  void AddArchive(const std::string& dir) const { std::ofstream(Path(dir) + "/Data.acv") << "x"; }
  // Resolves, and gives what was written on stderr in *err.
  GamePaths Resolve(std::string* err) const {
    ::testing::internal::CaptureStderr();
    GamePaths paths = GamePaths::Resolve(places_);
    *err = ::testing::internal::GetCapturedStderr();
    return paths;
  }

  fs::path root_;
  GamePaths::Places places_;
};

TEST_F(GamePathsTest, OptionThenWorkingDirectoryThenTheInstalledData) {
  AddArchive("work");
  AddArchive("install");
  AddArchive("other");
  std::string err;
  places_.dataOption = Path("other");
  GamePaths paths = Resolve(&err);
  EXPECT_EQ(paths.dataDir, Path("other"));
  EXPECT_EQ(paths.source, GamePaths::Source::Option);
  EXPECT_EQ(paths.SaveFile(), Path("other") + "/Quarn.sav") << "kept beside data it was sent to";

  places_.dataOption.clear();
  paths = Resolve(&err);
  EXPECT_EQ(paths.dataDir, Path("work"));
  EXPECT_EQ(paths.saveDir, Path("work"));

  // A loose Data/ folder counts as much as the archive.
  fs::remove(Path("work/Data.acv"));
  fs::create_directory(Path("work/Data"));
  EXPECT_EQ(Resolve(&err).dataDir, Path("work"));

  fs::remove(Path("work/Data"));
  paths = Resolve(&err);
  EXPECT_EQ(paths.dataDir, Path("install"));
  EXPECT_EQ(paths.source, GamePaths::Source::Install);
  EXPECT_EQ(paths.SaveFile(), Path("xdg") + "/quarn/Quarn.sav");
  EXPECT_EQ(paths.ScreenshotDir(), Path("xdg") + "/quarn/screenshots");
  EXPECT_TRUE(fs::is_directory(Path("xdg/quarn"))) << "made for the first save";
  EXPECT_EQ(err, "");
}

TEST_F(GamePathsTest, TheInstalledDataIsNeverWrittenToHoweverItIsReached) {
  AddArchive("install");
  std::string err;
  places_.dataOption = Path("install") + "/.";
  EXPECT_EQ(Resolve(&err).saveDir, Path("xdg") + "/quarn");
  places_.dataOption.clear();
  places_.workDir = Path("install");
  const GamePaths paths = Resolve(&err);
  EXPECT_EQ(paths.source, GamePaths::Source::Install);
  EXPECT_EQ(paths.saveDir, Path("xdg") + "/quarn");
  // A relative $XDG_DATA_HOME is not used, as the base directory rules say.
  places_.xdgDataHome = "relative/xdg";
  EXPECT_EQ(Resolve(&err).saveDir, Path("home") + "/.local/share/quarn");
  EXPECT_TRUE(fs::is_directory(Path("home/.local/share/quarn")));
  EXPECT_EQ(err, "");
}

TEST_F(GamePathsTest, AMissingDataSetIsOneLineNamingEveryPlaceLooked) {
  std::string err;
  GamePaths paths = Resolve(&err);
  EXPECT_EQ(paths.source, GamePaths::Source::Nowhere);
  EXPECT_EQ(err, "quarn: " + Path("work") + "/Data.acv: no game data: looked for Data.acv or " +
                     "Data/ in the working directory (" + Path("work") + ") and " +
                     Path("install") + " (the installed data)\n");
  EXPECT_EQ(paths.SaveFile(), "") << "no progress to keep";
  EXPECT_TRUE(fs::is_empty(Path("work")));

  places_.dataOption = Path("other");
  paths = Resolve(&err);
  EXPECT_EQ(paths.dataDir, Path("other")) << "--data is not second-guessed";
  EXPECT_EQ(err, "quarn: " + Path("other") + "/Data.acv: no game data: looked for Data.acv or " +
                     "Data/ in " + Path("other") + " (--data)\n");
}

}  // namespace
}  // namespace quarn
