// The lab (--lab FILE) on the demo game's own files: every kind of file it can show, the one
// line for a file it cannot, and what a content maker sees when a weapon fires or a unit
// breaks, looked for in its pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "e2e/ProcessRunner.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

class LabProcessTest : public ::testing::Test {
 protected:
  LabProcessTest() : dir_(MakeTempDir("lab")) {
    fs::create_symlink(BuildPath("Data.acv"), dir_ + "/Data.acv");
  }
  ~LabProcessTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  ProcessResult Lab(const std::string& file, std::vector<std::string> extra) {
    std::vector<std::string> args = {"--headless", "--no-render", "--lab", file};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProcess(BuildPath("quarn"), args, dir_, {"SDL_VIDEODRIVER=offscreen"});
  }
  // A recording of 130 passes of the keyboard alone, the key held over [from, to) (none when
  // key is 0).
  void Replay(const std::string& name, int key = 0, int from = 0, int to = 0) {
    std::ofstream out(dir_ + "/" + name);
    out << "quarn-replay 1\n";
    if (key != 0)
      out << "update " << from << "\nkeys " << key << "\nupdate " << to << "\n";
    out << "end 130\n";
  }
  // The picture of that update of the lab on file with that replay.
  Picture Shot(const std::string& file, const std::string& replay, int frame) {
    const std::string png = dir_ + "/" + replay + ".png";
    const ProcessResult run = Lab(file, {"--replay", dir_ + "/" + replay, "--screenshot-at",
                                         std::to_string(frame) + ":" + png});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    Picture picture;
    EXPECT_TRUE(ReadPng(png, &picture)) << png;
    return picture;
  }
  static int Count(const Picture& picture, uint32_t rows,
                   const std::function<bool(int, int, int)>& wanted) {
    int count = 0;
    for (uint32_t n = 0; n < picture.width * std::min(rows, picture.height); ++n) {
      const platform::Argb p = picture.pixels[n];
      count += wanted(static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff),
                      static_cast<int>(p & 0xff));
    }
    return count;
  }

  std::string dir_;
};

TEST_F(LabProcessTest, EveryKindOfFileIsShownWithoutAComplaint) {
  for (const char* file : {"Falcon.x", "ExplosionLarge.txt", "Rain.txt", "MissileTrail.txt",
                           "PlayerShell.txt", "HomingMissile.txt", "Coast.txt", "Dreadnought.txt",
                           "Tank.txt", "Charge.txt", "EnemyLauncher.txt"}) {
    const ProcessResult run = Lab(file, {"--frames", "150"});
    EXPECT_EQ(run.exitCode, 0) << file << ": " << run.err;
    EXPECT_EQ(run.err, "") << file;
  }
}

TEST_F(LabProcessTest, AFileTheLabCannotShowIsNamedOnceAndTheGridStays) {
  ProcessResult run = Lab("SystemMenu.txt", {"--frames", "30"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "quarn: SystemMenu.txt: is not a mesh or a file the lab can show\n");
  run = Lab("Nowhere.txt", {"--frames", "30"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("Nowhere.txt"), std::string::npos);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

TEST_F(LabProcessTest, MissilesLockedWhileSpaceIsHeldFlyAtTheTargetWhenItIsLetGo) {
  Replay("fire", 57, 10, 100);
  Replay("still");
  // The sky above the horizon holds only the target until the missiles' smoke climbs into it.
  auto smoke = [](int r, int g, int b) { return r > 170 && g > 170 && b > 170; };
  const int fired = Count(Shot("PlayerMissile.txt", "fire", 125), 230, smoke);
  const int held = Count(Shot("PlayerMissile.txt", "still", 125), 230, smoke);
  EXPECT_GT(fired, 400);
  EXPECT_LT(held, 20);
}

TEST_F(LabProcessTest, BreakingATankBlowsItUp) {
  Replay("break", 48, 20, 24);
  Replay("still");
  auto sand = [](int r, int g, int b) { return r > 170 && g > 140 && b < 120 && r - b > 60; };
  auto fire = [](int r, int g, int b) { return r > 120 && g * 10 < r * 8 && b * 10 < r * 6; };
  const Picture broken = Shot("Tank.txt", "break", 60);
  const Picture whole = Shot("Tank.txt", "still", 60);
  EXPECT_GT(Count(whole, 480, sand), 1500);
  EXPECT_LT(Count(broken, 480, sand), Count(whole, 480, sand) / 4);
  EXPECT_GT(Count(broken, 480, fire), Count(whole, 480, fire) + 300) << "a fireball";
}

}  // namespace
}  // namespace quarn::testing
