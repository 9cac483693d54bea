// The real game binary, headless.
#include <gtest/gtest.h>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

const std::vector<std::string> kHeadlessEnv = {"SDL_VIDEODRIVER=offscreen"};

TEST(GameProcessTest, HeadlessRunEndsNormallyAfterTheAskedUpdates) {
  const std::string dir = MakeTempDir("frames");
  const ProcessResult run =
      RunProcess(BuildPath("quarn"), {"--headless", "--frames", "90"}, dir, kHeadlessEnv);
  EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST(GameProcessTest, FailedStartUpExitsMinusOneWithOneLineSayingWhy) {
  const std::string dir = MakeTempDir("fail");
  // An (empty) archive, so that the only line is about the failed step.
  fclose(fopen((dir + "/Data.acv").c_str(), "wb"));
  const ProcessResult run = RunProcess(BuildPath("quarn"), {"--headless", "--frames", "5"}, dir,
                                       {"SDL_VIDEODRIVER=no-such-driver"});
  EXPECT_EQ(run.exitCode, 255) << "-1 as a process exit code";
  EXPECT_EQ(run.err.rfind("quarn: ", 0), 0u) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "exactly one line: " << run.err;
}

TEST(GameProcessTest, CommandLineHelpVersionAndUsageErrors) {
  ProcessResult run = RunProcess(BuildPath("quarn"), {"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("--windowed"), std::string::npos);
  run = RunProcess(BuildPath("quarn"), {"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out.rfind("quarn ", 0), 0u);
  run = RunProcess(BuildPath("quarn"), {"--no-such-option"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("usage:"), std::string::npos);
}

TEST(InspectToolTest, DefinitionFileAsJson) {
  const std::string dir = MakeTempDir("inspect");
  const std::string path = dir + "/Menu.txt";
  FILE* file = fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  // Sections and keys come out in the parser's (byte-wise) order; a byte that is not UTF-8
  // becomes one \u00XX escape.
  fputs("[State_0]\r\nb=2\r\na=\"q\"\r\n[Aircraft]\r\nName=\x82\xA0\r\n", file);
  fclose(file);
  ProcessResult run = RunProcess(BuildPath("quarn-inspect"), {"def", path});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"sections\": {\"Aircraft\": {\"Name\": \"\\u0082\\u00a0\"}, "
            "\"State_0\": {\"a\": \"\\\"q\\\"\", \"b\": \"2\"}}}\n");
  run = RunProcess(BuildPath("quarn-inspect"), {"def", dir + "/missing.txt"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("missing.txt"), std::string::npos);
}

}  // namespace
}  // namespace quarn::testing
