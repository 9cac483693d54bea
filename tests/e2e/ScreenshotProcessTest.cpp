// The real game binary writing the pictures asked for on its command line.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

// Width and height from a PNG file's header; zero when it is not a PNG.
std::pair<uint32_t, uint32_t> PngSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0) {
    return {0, 0};
  }
  auto word = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
  };
  return {word(16), word(20)};
}

TEST(ScreenshotProcessTest, ScreenshotAtWritesTheBackBufferPicture) {
  const std::string dir = MakeTempDir("shots");
  const ProcessResult run = RunProcess(
      BuildPath("quarn"),
      {"--headless", "--frames", "12", "--screenshot-at", "10:" + dir + "/ten.png",
       "--screenshot-at", "3:" + dir + "/three.png", "--screenshot-at", "40:" + dir + "/late.png"},
      dir, {"SDL_VIDEODRIVER=offscreen"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(PngSize(dir + "/ten.png"), std::make_pair(640u, 480u));
  EXPECT_EQ(PngSize(dir + "/three.png"), std::make_pair(640u, 480u));
  EXPECT_EQ(PngSize(dir + "/late.png"), std::make_pair(0u, 0u));
  EXPECT_NE(run.err.find("late.png: not written: the game ended after 12 updates"),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace quarn::testing
