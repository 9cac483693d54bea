#include "engine/LaunchOptions.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

LaunchAction Parse(std::vector<const char*> args, LaunchOptions* options, std::string* error) {
  args.insert(args.begin(), "quarn");
  return ParseLaunchOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(LaunchOptionsTest, ReadsEveryOption) {
  LaunchOptions options;
  std::string error;
  ASSERT_EQ(Parse({"--windowed", "--scale", "2", "--data", "/opt/quarn", "--headless", "--frames",
                   "90", "--screenshot-at", "10:a.png", "--screenshot-at", "20:b:c.png", "--replay",
                   "r.rec", "--digest"},
                  &options, &error),
            LaunchAction::Run)
      << error;
  EXPECT_TRUE(options.windowed);
  EXPECT_EQ(options.scale, 2);
  EXPECT_EQ(options.dataDir, "/opt/quarn");
  EXPECT_TRUE(options.headless);
  EXPECT_EQ(options.frames, 90);
  ASSERT_EQ(options.screenshots.size(), 2u);
  EXPECT_EQ(options.screenshots[1].frame, 20);
  EXPECT_EQ(options.screenshots[1].file, "b:c.png");
  EXPECT_EQ(options.replayFile, "r.rec");
  EXPECT_TRUE(options.digest);
}

TEST(LaunchOptionsTest, RejectsWhatItCannotUse) {
  LaunchOptions options;
  std::string error;
  EXPECT_EQ(Parse({"--fullscreen"}, &options, &error), LaunchAction::UsageError);
  EXPECT_NE(error.find("--fullscreen"), std::string::npos);
  EXPECT_EQ(Parse({"--scale", "0"}, &options, &error), LaunchAction::UsageError);
  EXPECT_EQ(Parse({"--scale"}, &options, &error), LaunchAction::UsageError);
  EXPECT_EQ(Parse({"--frames", "12x"}, &options, &error), LaunchAction::UsageError);
  EXPECT_EQ(Parse({"--screenshot-at", "file.png"}, &options, &error), LaunchAction::UsageError);
  EXPECT_EQ(Parse({"--record", "a", "--replay", "b"}, &options, &error), LaunchAction::UsageError);
  EXPECT_EQ(Parse({"--version"}, &options, &error), LaunchAction::Version);
  EXPECT_EQ(Parse({"--frames", "3", "--help"}, &options, &error), LaunchAction::Help);
}

}  // namespace
}  // namespace quarn
