// The game as `cmake --install` lays it out in a fresh prefix: played from anywhere, checked by
// the desktop's own validators, and on a home, a save folder and a data folder that fail it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "e2e/ChildProcess.h"
#include "e2e/ProcessRunner.h"
#include "gfxutil/ImageWriter.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

using Listing = std::map<std::string, std::pair<uintmax_t, fs::file_time_type>>;

// Every file and folder under dir, with its size and time of change.
Listing ListTree(const std::string& dir) {
  Listing listing;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    listing[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                      entry.last_write_time()};
  }
  return listing;
}

// The lines of text that are the game's own reports.
std::vector<std::string> ReportLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("quarn: ", 0) == 0)
      lines.push_back(line);
  }
  return lines;
}

// The program's path from $PATH; empty when it is not installed.
std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0)
      return dir + "/" + name;
  }
  return {};
}

class InstallProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeTempDir("install");
    prefix_ = root_ + "/prefix";
    const ProcessResult install =
        RunProcess(QUARN_CMAKE_COMMAND, {"--install", QUARN_BINARY_DIR, "--prefix", prefix_});
    ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    game_ = prefix_ + "/bin/quarn";
    installed_ = ListTree(prefix_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  // A new folder under the test's own.
  std::string Dir(const std::string& name) const {
    fs::create_directories(root_ + "/" + name);
    return root_ + "/" + name;
  }
  ProcessResult RunInstalled(const std::string& program, const std::vector<std::string>& args) {
    return RunProcess(prefix_ + "/" + program, args);
  }

  std::string root_;
  std::string prefix_;
  std::string game_;
  Listing installed_;  // the prefix as the install left it
};

TEST_F(InstallProcessTest, PlaysFromAnyFolderKeepsProgressInTheHomeFolderAndNotInTheInstall) {
  const std::string work = Dir("work");
  const std::string xdg = Dir("xdg");
  const std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "XDG_DATA_HOME=" + xdg};
  ProcessResult run = RunProcess(game_, {"--headless", "--frames", "90"}, work, env);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReportLines(run.err), std::vector<std::string>{}) << "the installed data was found";
  EXPECT_TRUE(fs::is_regular_file(xdg + "/quarn/Quarn.sav"));
  EXPECT_TRUE(fs::is_empty(work));
  EXPECT_EQ(ListTree(prefix_), installed_) << "nothing was written into the install";

  // A moved install finds its data all the same: it is found from the binary.
  const std::string moved = root_ + "/moved";
  fs::rename(prefix_, moved);
  run = RunProcess(moved + "/bin/quarn", {"--headless", "--frames", "30"}, work, env);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReportLines(run.err), std::vector<std::string>{});
  run = RunProcess(moved + "/bin/quarn", {"--version"});
  EXPECT_EQ(run.out, "quarn " QUARN_PROJECT_VERSION "\n");
}

TEST_F(InstallProcessTest, ToolsIconsAndLicenceAreInstalled) {
  const ProcessResult run = RunInstalled("bin/acv", {"list", prefix_ + "/share/quarn/Data.acv"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("SystemMenu.txt"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("quarn-48.png"), std::string::npos) << "icons stay out of the data";
  EXPECT_EQ(RunInstalled("bin/quarn-inspect", {"--help"}).exitCode, 0);
  for (const uint32_t size : {48u, 128u, 256u}) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    Picture icon;
    ASSERT_TRUE(ReadPng(prefix_ + "/share/icons/hicolor/" + folder + "/apps/quarn.png", &icon));
    EXPECT_EQ(std::make_pair(icon.width, icon.height), std::make_pair(size, size)) << folder;
  }
  EXPECT_TRUE(fs::is_regular_file(prefix_ + "/share/doc/quarn/LICENSE"));
}

TEST_F(InstallProcessTest, DesktopEntryAndAppStreamFilePassTheirValidators) {
  const std::pair<std::string, std::vector<std::string>> checks[] = {
      {"desktop-file-validate", {prefix_ + "/share/applications/quarn.desktop"}},
      {"appstreamcli",
       {"validate", "--no-net", prefix_ + "/share/metainfo/org.quarn.quarn.metainfo.xml"}}};
  for (const auto& [tool, args] : checks) {
    const std::string program = FindProgram(tool);
    if (program.empty())
      GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it)";
    const ProcessResult run = RunProcess(program, args);
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string said = run.out + run.err;
    EXPECT_EQ(said.find("warning"), std::string::npos) << said;
    EXPECT_EQ(said.find("hint"), std::string::npos) << said;
  }
}

TEST_F(InstallProcessTest, ManualPageRendersAndListsEveryOptionOfHelp) {
  const std::string man = FindProgram("man");
  if (man.empty())
    GTEST_SKIP() << "man is not installed (man-db)";
  const ProcessResult page =
      RunProcess(man, {"--warnings", "-l", prefix_ + "/share/man/man6/quarn.6"}, "",
                 {"MANWIDTH=100", "MANPAGER=cat", "PAGER=cat", "LANG=C.UTF-8"});
  EXPECT_EQ(page.exitCode, 0);
  EXPECT_EQ(page.err, "") << "no roff warnings";
  EXPECT_NE(page.out.find("quarn " QUARN_PROJECT_VERSION), std::string::npos) << page.out;
  const ProcessResult help = RunProcess(game_, {"--help"});
  std::istringstream lines(help.out);
  int options = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  --", 0) != 0)
      continue;
    // "  --scale N   window size..." is rendered as "       --scale N", then the text on the
    // same line or the next.
    std::istringstream words(line);
    std::string usage, argument;
    words >> usage >> argument;
    if (!argument.empty() &&
        argument.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ:_") == std::string::npos)
      usage += " " + argument;
    const size_t at = page.out.find("\n       " + usage);
    ASSERT_NE(at, std::string::npos) << usage;
    const char after = page.out[at + 8 + usage.size()];
    EXPECT_TRUE(after == '\n' || after == ' ') << usage;
    ++options;
  }
  EXPECT_GE(options, 10) << help.out;
}

// Root writes anywhere, so a test run as root runs the game as nobody, who cannot write to a
// folder of root's; anyone else cannot write to a folder without write permission.
ProcessResult RunWithoutRights(const std::string& program, std::vector<std::string> args,
                               const std::string& workDir, const std::vector<std::string>& env) {
  if (geteuid() != 0)
    return RunProcess(program, args, workDir, env);
  args.insert(args.begin(), {"--reuid=65534", "--regid=65534", "--clear-groups", "--", program});
  return RunProcess(FindProgram("setpriv"), args, workDir, env);
}

TEST_F(InstallProcessTest, AHomeThatCannotBeWrittenPlaysOnWithoutSavingAndSaysSoOnce) {
  // Everything the game reads is open to nobody; the home and the working folder are not.
  const std::string tmp = Dir("tmp");
  chmod(tmp.c_str(), 01777);
  for (const std::string& dir : {fs::path(root_).parent_path().string(), root_, prefix_})
    chmod(dir.c_str(), 0755);
  const std::string home = Dir("home");
  chmod(home.c_str(), 0555);
  const ProcessResult run =
      RunWithoutRights(game_, {"--headless", "--frames", "90"}, "/",
                       {"SDL_VIDEODRIVER=offscreen", "HOME=" + home,
                        "XDG_DATA_HOME=", "TMPDIR=" + tmp, "MESA_SHADER_CACHE_DISABLE=true"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto lines = ReportLines(run.err);
  ASSERT_EQ(lines.size(), 1u) << run.err;
  EXPECT_EQ(lines[0].rfind("quarn: " + home + "/.local/share/quarn: cannot make the folder", 0), 0u)
      << lines[0];
  EXPECT_TRUE(fs::is_empty(home));
  EXPECT_EQ(ListTree(prefix_), installed_);
}

TEST_F(InstallProcessTest, ASaveFolderUnderAFilePlaysOnWithoutSavingAndSaysSoOnce) {
  const std::string file = root_ + "/not-a-folder";
  std::ofstream(file) << "a file";
  const ProcessResult run = RunProcess(game_, {"--headless", "--frames", "90"}, Dir("work"),
                                       {"SDL_VIDEODRIVER=offscreen", "XDG_DATA_HOME=" + file});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const auto lines = ReportLines(run.err);
  ASSERT_EQ(lines.size(), 1u) << run.err;
  EXPECT_EQ(lines[0].rfind("quarn: " + file + "/quarn: cannot make the folder", 0), 0u) << lines[0];
  EXPECT_TRUE(fs::is_empty(root_ + "/work"));
  EXPECT_EQ(ListTree(prefix_), installed_);
}

// A menu that shows a picture only after ten seconds, so that the picture is read from the
// archive after its folder has gone.
const char* const kLateMenu =
    "[State_0]\r\nTimeoutTime=10\r\n:Timeout=1\r\n"
    "[State_1]\r\nImageFile_0=late.png\r\nImageSrcW_0=128\r\nImageSrcH_0=64\r\n"
    "ImageDstX_0=256\r\nImageDstY_0=208\r\n";
constexpr platform::Argb kLateColour = 0xFF3C78B4;

TEST_F(InstallProcessTest, ADataFolderThatVanishesPlaysOnFromTheOpenArchiveAndSaysSoOnce) {
  const std::string source = Dir("source");
  std::ofstream(source + "/SystemMenu.txt", std::ios::binary) << kLateMenu;
  const std::vector<platform::Argb> late(128 * 64, kLateColour);
  std::string error;
  ASSERT_TRUE(
      gfx::ImageWriter::WritePng(source + "/late.png", late.data(), 128, 64, 128, false, &error));
  const std::string data = Dir("data");
  ASSERT_EQ(RunInstalled("bin/acv", {"pack", data + "/Data.acv", source}).exitCode, 0);

  const std::string tmp = Dir("tmp");
  const std::string shot = root_ + "/late.png";
  ChildProcess game;
  ASSERT_TRUE(game.Start(
      game_, {"--headless", "--frames", "320", "--data", data, "--screenshot-at", "315:" + shot},
      Dir("work"), {"SDL_VIDEODRIVER=offscreen", "TMPDIR=" + tmp}));
  // The game has opened its archive once its private folder of copies exists.
  for (int i = 0; i < 3000 && fs::is_empty(tmp) && game.Running(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  game.Signal(SIGSTOP);
  fs::remove_all(data);
  game.Signal(SIGCONT);
  EXPECT_EQ(game.Wait(), 0) << game.Err();

  const auto lines = ReportLines(game.Err());
  ASSERT_EQ(lines.size(), 1u) << game.Err();
  EXPECT_EQ(lines[0], "quarn: " + data + "/Quarn.sav: cannot be written; progress was not saved");
  Picture picture;
  ASSERT_TRUE(ReadPng(shot, &picture));
  EXPECT_EQ(picture.pixels.at(240 * 640 + 320), kLateColour) << "the late picture was shown";
}

}  // namespace
}  // namespace quarn::testing
