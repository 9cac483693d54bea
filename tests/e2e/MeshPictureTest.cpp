// quarn-inspect picture: a generated mesh drawn off-screen from four sides into a PNG.
#include <gtest/gtest.h>

#include "e2e/ProcessRunner.h"
#include "render/PngReader.h"

namespace quarn::testing {
namespace {

const platform::Argb kBackground = 0xFF4A5A6Au;

// Pixels of a 320 x 240 view that are not the background, and their mean colour.
struct View {
  int covered = 0;
  double red = 0, green = 0, blue = 0;
};
View Look(const Picture& picture, int left, int top) {
  View view;
  for (int y = top; y < top + 240; ++y) {
    for (int x = left; x < left + 320; ++x) {
      const platform::Argb c = picture.pixels[size_t(y) * picture.width + x];
      if ((c | 0xFF000000u) == kBackground)
        continue;
      ++view.covered;
      view.red += (c >> 16) & 0xFF;
      view.green += (c >> 8) & 0xFF;
      view.blue += c & 0xFF;
    }
  }
  if (view.covered > 0) {
    view.red /= view.covered;
    view.green /= view.covered;
    view.blue /= view.covered;
  }
  return view;
}

TEST(MeshPictureTest, TheFalconIsDrawnFromFourSidesInItsColoursAndTexturesAreFoundBesideAMesh) {
  const std::string out = MakeTempDir("mesh-picture") + "/Falcon.png";
  const ProcessResult run =
      RunProcess(BuildPath("quarn-inspect"), {"picture", BuildPath("generated/Falcon.x"), out});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  Picture picture;
  ASSERT_TRUE(ReadPng(out, &picture));
  ASSERT_EQ(picture.width, 640u);
  ASSERT_EQ(picture.height, 480u);
  for (const auto& [left, top] : {std::pair{0, 0}, {320, 0}, {0, 240}, {320, 240}}) {
    const View view = Look(picture, left, top);
    EXPECT_GT(view.covered, 800) << left << "," << top;
    EXPECT_GT(view.blue, view.red) << "light grey-blue, " << left << "," << top;
  }
  // From above the whole span shows; from behind mostly the thin wings and tail.
  EXPECT_GT(Look(picture, 0, 240).covered, Look(picture, 320, 240).covered);
  // A textured tile finds its texture beside it; a missing mesh is named.
  const std::string dir = MakeTempDir("mesh-picture-tile");
  ProcessResult tile =
      RunProcess(BuildPath("quarn-inspect"),
                 {"picture", BuildPath("generated/CoastTile.x"), dir + "/Tile.png", "--unlit"});
  EXPECT_EQ(tile.exitCode, 0) << tile.err;
  EXPECT_EQ(tile.err, "");
  tile = RunProcess(BuildPath("quarn-inspect"), {"picture", dir + "/None.x", dir + "/N.png"});
  EXPECT_EQ(tile.exitCode, 1);
  EXPECT_NE(tile.err.find("None.x"), std::string::npos) << tile.err;
}

}  // namespace
}  // namespace quarn::testing
