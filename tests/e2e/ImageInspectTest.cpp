// quarn-inspect image: what a data maker sees of an image file.
#include <gtest/gtest.h>

#include "e2e/ProcessRunner.h"

namespace quarn::testing {
namespace {

std::string Fixture(const std::string& relative) {
  return std::string(QUARN_SOURCE_DIR) + "/tests/fixtures/images/" + relative;
}

ProcessResult InspectImage(const std::string& path) {
  return RunProcess(BuildPath("quarn-inspect"), {"image", path});
}

TEST(ImageInspectTest, PrintsStoredSizeAndTheTextureItBecomes) {
  ProcessResult run = InspectImage(Fixture("jpeg/testorig.jpg"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"type\": \"JPEG\", \"width\": 227, \"height\": 149, \"texture_width\": 256, "
            "\"texture_height\": 256, \"format\": \"X8R8G8B8\", \"mip_levels\": 9, "
            "\"alpha\": false}\n");
  EXPECT_TRUE(run.err.empty());

  run = InspectImage(Fixture("tga/200x32_rgba_bl_rle.tga"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "{\"type\": \"TGA\", \"width\": 200, \"height\": 32, \"texture_width\": 256, "
            "\"texture_height\": 32, \"format\": \"A8R8G8B8\", \"mip_levels\": 9, "
            "\"alpha\": true}\n");

  run = InspectImage(Fixture("dds/dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\"format\": \"DXT5\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"texture_width\": 256"), std::string::npos) << run.out;
}

TEST(ImageInspectTest, AFileThatCannotBeLoadedExitsOneSayingWhy) {
  ProcessResult run = InspectImage(Fixture("bmpsuite/b/reallybig.bmp"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find("reallybig.bmp"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("too large"), std::string::npos) << run.err;

  run = InspectImage(Fixture("no-such-file.png"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("cannot open"), std::string::npos) << run.err;

  run = InspectImage(Fixture("README.md"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("not an image"), std::string::npos) << run.err;
}

TEST(ImageInspectTest, UsageNamesTheImageCommand) {
  const ProcessResult run = RunProcess(BuildPath("quarn-inspect"), {"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("image FILE"), std::string::npos);
}

}  // namespace
}  // namespace quarn::testing
