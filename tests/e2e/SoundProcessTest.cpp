// The real game binary on a machine without a sound card.
#include <gtest/gtest.h>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

// OpenAL Soft finds no driver by this name: as on a machine without a sound card.
const std::vector<std::string> kNoSoundCard = {"SDL_VIDEODRIVER=offscreen",
                                               "ALSOFT_DRIVERS=quarn-no-such-driver"};

TEST(SoundProcessTest, WithoutASoundCardTheGameRunsSilentlyAndSaysSoInOneLine) {
  const std::string dir = MakeTempDir("no-card");
  const ProcessResult run =
      RunProcess(BuildPath("quarn"), {"--windowed", "--frames", "5"}, dir, kNoSoundCard);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  // Other lines may speak of other things (a missing archive, in a folder whose name must not
  // hold the word); one speaks of sound, and no library adds its own chatter.
  const std::string line =
      "quarn: sound device: no sound device could be opened; the game runs without sound\n";
  const size_t at = run.err.find(line);
  ASSERT_NE(at, std::string::npos) << run.err;
  std::string rest = run.err;
  rest.erase(at, line.size());
  EXPECT_EQ(rest.find("sound"), std::string::npos) << run.err;
  EXPECT_EQ(rest.find("ALSA"), std::string::npos) << run.err;
  EXPECT_EQ(rest.find("AL lib"), std::string::npos) << run.err;
}

TEST(SoundProcessTest, HeadlessRunsNeverLookForASoundCard) {
  const std::string dir = MakeTempDir("headless-silent");
  const ProcessResult run =
      RunProcess(BuildPath("quarn"), {"--headless", "--frames", "5"}, dir, kNoSoundCard);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err.find("sound"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quarn::testing
