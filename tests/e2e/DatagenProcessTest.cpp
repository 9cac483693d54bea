// The generator as the build runs it: the same recipes give the same bytes on every run, a
// damaged recipe stops it with the place named, and a folder may hold only some recipes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file of a folder by name.
std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    files[entry.path().filename().string()] = ReadBytes(entry.path());
  return files;
}

class DatagenProcessTest : public ::testing::Test {
 protected:
  DatagenProcessTest() : dir_(MakeTempDir("datagen")) {}
  ~DatagenProcessTest() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  std::string dir_;
};

// The build made build/generated with the same generator and recipes; a second run here must
// give every file byte for byte.
TEST_F(DatagenProcessTest, ASecondRunWritesTheSameFilesByteForByte) {
  const std::string out = dir_ + "/generated";
  const ProcessResult run = RunProcess(
      BuildPath("datagen"), {"-j", "2", std::string(QUARN_SOURCE_DIR) + "/data/recipes", out});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const auto made = Contents(out);
  const auto built = Contents(BuildPath("generated"));
  ASSERT_GE(built.size(), 30u);
  ASSERT_EQ(made.size(), built.size());
  for (const auto& [name, bytes] : built) {
    ASSERT_TRUE(made.count(name)) << name;
    EXPECT_TRUE(made.at(name) == bytes) << name << " differs";
  }
}

TEST_F(DatagenProcessTest, ADamagedRecipeIsNamedWithItsSectionAndKey) {
  const std::string recipes = dir_ + "/recipes";
  fs::copy(std::string(QUARN_SOURCE_DIR) + "/data/recipes", recipes);
  std::ofstream(recipes + "/Sounds.txt", std::ios::binary)
      << "[Beep]\r\nFile=Beep.wav\r\nLayer_0=sine 0 loud 440 440 0.5 0 0\r\n";
  const ProcessResult run = RunProcess(BuildPath("datagen"), {recipes, dir_ + "/out", "Beep.wav"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Sounds.txt"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[Beep] Layer_0"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir_ + "/out/Beep.wav"));
}

// The desktop icons come from a folder of their own that holds pictures alone; a folder with no
// recipe at all is a mistake.
TEST_F(DatagenProcessTest, AFolderMayHoldSomeRecipesButNotNone) {
  const std::string recipes = dir_ + "/recipes";
  fs::create_directories(recipes);
  ProcessResult run = RunProcess(BuildPath("datagen"), {recipes, dir_ + "/out"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("holds none of the recipe files"), std::string::npos) << run.err;
  std::ofstream(recipes + "/Images.txt", std::ios::binary)
      << "[Dot]\r\nFile=Dot.png\r\nWidth=3\r\nHeight=5\r\nPowerOfTwo=false\r\n";
  run = RunProcess(BuildPath("datagen"), {recipes, dir_ + "/out"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Contents(dir_ + "/out").size(), 1u);
}

}  // namespace
}  // namespace quarn::testing
