// Recipe files and the drawing commands of picture recipes: order, parts used by others,
// shapes, and the messages a data maker sees for a mistake.
#include <gtest/gtest.h>

#include "DatagenTestSupport.h"
#include "DrawScript.h"
#include "ImageRecipe.h"
#include "ShapeBook.h"

namespace quarn::testing {
namespace {

using tools::Canvas;
using tools::DrawScript;
using tools::RecipeFile;
using tools::ShapeBook;

TEST(RecipeFileTest, LinesEndingInLfAloneAreRefusedWithTheirNumber) {
  RecipeFile recipe;
  std::string error;
  EXPECT_FALSE(recipe.Parse("Images.txt", "[A]\r\nFile=a.png\r\nWidth=4\nHeight=4\r\n", &error));
  EXPECT_NE(error.find("Images.txt: line 3"), std::string::npos) << error;
}

TEST(RecipeFileTest, SectionsKeepFileOrderAndListsFollowTheirNumbers) {
  const RecipeFile recipe =
      Recipe("R.txt",
             "Remarks before anything.\n"
             "[Zeta]\nDraw_10=ten\nDraw_2=two\nDraw_0=zero\nDrawn=x\n"
             "Draw_x=not a number\n[Alpha]\nKey=1\n[Empty]\n[Zeta]\nDraw_5=five\n");
  EXPECT_EQ(recipe.Sections(), (std::vector<std::string>{"Zeta", "Alpha"}))
      << "a header without entries makes no section";
  const auto list = recipe.List("Zeta", "Draw");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].second, "zero");
  EXPECT_EQ(list[1].second, "two");
  EXPECT_EQ(list[2].second, "five");
  EXPECT_EQ(list[3], (std::pair<unsigned, std::string>{10, "ten"}));
  EXPECT_EQ(recipe.GetOr("Alpha", "Key", "?"), "1");
  EXPECT_FALSE(recipe.Get("Alpha", "Missing"));
  EXPECT_EQ(recipe.Where("Zeta", "Draw_2"), "R.txt [Zeta] Draw_2");
}

class DrawScriptTest : public ::testing::Test {
 protected:
  // Runs the Draw list of section Pic on a 32 x 32 canvas; returns the error, empty if none.
  std::string Run(const std::string& text, Canvas* canvas) {
    const RecipeFile recipe = Recipe("Images.txt", text);
    std::string shapeError;
    EXPECT_TRUE(
        shapes_.Load(Recipe("Shapes.txt", "[Dart]\nPoly_0=- 0 -1 1 1 -1 1\n"), &shapeError));
    DrawScript script(&fonts_, &shapes_);
    std::string error;
    *canvas = Canvas(32, 32);
    script.Run(recipe, "Pic", canvas, &error);
    return error;
  }

  tools::FontRenderer fonts_;
  ShapeBook shapes_;
};

TEST_F(DrawScriptTest, CommandsDrawInOrderAndPartsAreUsedAtAnOffset) {
  Canvas canvas(0, 0);
  const std::string error =
      Run("[Badge]\nDraw_0=rect 0 0 4 4 FF00FF00\n"
          "[Pic]\nDraw_0=fill FF000080\nDraw_1=rect 10 10 8 8 FFFF0000\nDraw_2=use Badge 12 12\n"
          "Draw_3=clear 0 0 2 2 00000000\n",
          &canvas);
  EXPECT_EQ(error, "");
  EXPECT_EQ(canvas.At(20, 20), 0xFF000080u);
  EXPECT_EQ(canvas.At(11, 11), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(13, 13), 0xFF00FF00u) << "the part drawn over the rectangle";
  EXPECT_EQ(canvas.At(17, 17), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(1, 1), 0u) << "clear replaces without blending";
}

TEST_F(DrawScriptTest, MistakesNameTheFileSectionKeyAndProblem) {
  Canvas canvas(0, 0);
  EXPECT_EQ(Run("[Pic]\nDraw_4=blot 1 2\n", &canvas),
            "Images.txt [Pic] Draw_4: unknown command 'blot'");
  EXPECT_EQ(Run("[Pic]\nDraw_0=rect 0 0 4 FFFF0000\n", &canvas),
            "Images.txt [Pic] Draw_0: height 'FFFF0000' is not a number");
  EXPECT_EQ(Run("[Pic]\nDraw_0=rect 0 0 4 4 FF0000\n", &canvas),
            "Images.txt [Pic] Draw_0: colour 'FF0000' is not a colour (AARRGGBB)");
  EXPECT_NE(Run("[Pic]\nDraw_0=rect 0 0 4 4 FFFF0000 5\n", &canvas).find("more words"),
            std::string::npos);
  EXPECT_NE(Run("[Pic]\nDraw_0=rect 0 zero 4 4 FFFF0000\n", &canvas).find("'zero' is not a number"),
            std::string::npos);
  EXPECT_NE(Run("[Pic]\nDraw_0=text 1 20 12 sans middle FFFFFFFF - Hi\n", &canvas)
                .find("alignment 'middle'"),
            std::string::npos);
  EXPECT_NE(Run("[Pic]\nDraw_0=shape Kite 16 16 8 0 FFFFFFFF\n", &canvas).find("no shape named"),
            std::string::npos);
  EXPECT_NE(Run("[Pic]\nDraw_0=poly FFFFFFFF 1 1 5 5\n", &canvas).find("three points"),
            std::string::npos);
  EXPECT_NE(Run("[Pic]\nDraw_0=use Nothing\n", &canvas).find("no section 'Nothing'"),
            std::string::npos);
}

TEST_F(DrawScriptTest, AProblemInAUsedPartNamesThePart) {
  Canvas canvas(0, 0);
  EXPECT_EQ(Run("[Badge]\nDraw_1=rect 0 0\n[Pic]\nDraw_0=use Badge\n", &canvas),
            "Images.txt [Badge] Draw_1: missing width");
}

TEST_F(DrawScriptTest, PartsUsingEachOtherInALoopStopWithAMessage) {
  Canvas canvas(0, 0);
  const std::string error =
      Run("[A]\nDraw_0=use B\n[B]\nDraw_0=use A\n[Pic]\nDraw_0=use A\n", &canvas);
  EXPECT_NE(error.find("too deeply"), std::string::npos) << error;
}

TEST_F(DrawScriptTest, ShapesArePlacedScaledAndTurnedClockwise) {
  Canvas canvas(0, 0);
  // The dart points up; turned 90 degrees it points right, so its tip is on the right.
  ASSERT_EQ(Run("[Pic]\nDraw_0=shape Dart 16 16 10 90 FFFFFFFF\n", &canvas), "");
  EXPECT_EQ(Alpha(canvas.At(20, 16)), 255);  // towards the tip
  EXPECT_EQ(Alpha(canvas.At(20, 10)), 0);    // beside it
  EXPECT_EQ(Alpha(canvas.At(8, 9)), 255);    // the base runs top to bottom on the left
  EXPECT_EQ(Alpha(canvas.At(8, 23)), 255);
}

TEST(ShapeBookTest, MirroredPolygonsAreSymmetricAndShadesFollowTheColour) {
  ShapeBook shapes;
  std::string error;
  ASSERT_TRUE(
      shapes.Load(Recipe("Shapes.txt",
                         "[Wing]\nPoly_0=- mirror 0 -1 1 0 0 1\nPoly_1=dark 0 -0.2 0.2 "
                         "0 0 0.2 -0.2 0\nPoly_2=FF00FF00 0.8 -0.1 0.95 -0.1 0.95 0.1 0.8 0.1\n"),
                  &error))
      << error;
  Canvas canvas(41, 41);
  shapes.Draw(&canvas, "Wing", {20.5, 20.5, 20, 0}, 0xFFC08040);
  for (int y = 0; y < 41; ++y) {
    if (y >= 17 && y <= 24)
      continue;  // the one-sided green patch
    for (int x = 0; x < 15; ++x)
      EXPECT_EQ(canvas.At(x, y), canvas.At(40 - x, y)) << x << "," << y;
  }
  EXPECT_EQ(canvas.At(5, 20), 0xFFC08040u);
  // Dark is the colour 40 % of the way to black.
  EXPECT_EQ(canvas.At(20, 20), 0xFF734D26u);
  // A fixed shade keeps its own colour.
  EXPECT_EQ(canvas.At(38, 20), 0xFF00FF00u);
}

TEST(ShapeBookTest, BadShapesAreRefused) {
  ShapeBook shapes;
  std::string error;
  EXPECT_FALSE(shapes.Load(Recipe("Shapes.txt", "[Line]\nPoly_0=- 0 0 1 1\n"), &error));
  EXPECT_NE(error.find("[Line] Poly_0: a polygon needs at least three points"), std::string::npos)
      << error;
  EXPECT_FALSE(shapes.Load(Recipe("Shapes.txt", "[Odd]\nPoly_0=- 0 0 1 1 2\n"), &error));
  EXPECT_NE(error.find("missing y"), std::string::npos) << error;
  EXPECT_FALSE(shapes.Load(Recipe("Shapes.txt", "[Blue]\nPoly_0=blue 0 0 1 1 2 2\n"), &error));
  EXPECT_NE(error.find("'blue'"), std::string::npos) << error;
  EXPECT_FALSE(shapes.Load(Recipe("Shapes.txt", "[Nothing]\nColour=1\n"), &error));
  EXPECT_NE(error.find("at least one Poly_N"), std::string::npos) << error;
}

TEST(ImageRecipeTest, PicturesArePowersOfTwoUnlessTheySayOtherwise) {
  tools::FontRenderer fonts;
  ShapeBook shapes;
  DrawScript script(&fonts, &shapes);
  tools::ImageRecipe images(&script);
  const RecipeFile recipe = Recipe("Images.txt",
                                   "[Badge]\nDraw_0=fill FFFFFFFF\n"
                                   "[Good]\nFile=g.png\nWidth=64\nHeight=16\nBackground=FF102030\n"
                                   "[Wide]\nFile=w.png\nWidth=640\nHeight=512\n"
                                   "[Icon]\nFile=i.png\nWidth=48\nHeight=48\nPowerOfTwo=false\n"
                                   "[Huge]\nFile=h.png\nWidth=5000\nHeight=8\nPowerOfTwo=false\n");
  EXPECT_EQ(tools::ImageRecipe::Pictures(recipe),
            (std::vector<std::string>{"Good", "Wide", "Icon", "Huge"}));
  Canvas canvas(0, 0);
  std::string error;
  ASSERT_TRUE(images.Render(recipe, "Good", &canvas, &error)) << error;
  EXPECT_EQ(canvas.Width(), 64);
  EXPECT_EQ(canvas.At(63, 15), 0xFF102030u);
  EXPECT_FALSE(images.Render(recipe, "Wide", &canvas, &error));
  EXPECT_EQ(error, "Images.txt [Wide] Width: must be a power of two from 1 to 4096");
  // Pictures that are never textures (the desktop icons) may have any size, up to the same cap.
  ASSERT_TRUE(images.Render(recipe, "Icon", &canvas, &error)) << error;
  EXPECT_EQ(canvas.Width(), 48);
  EXPECT_FALSE(images.Render(recipe, "Huge", &canvas, &error));
  EXPECT_EQ(error, "Images.txt [Huge] Width: must be from 1 to 4096");
}

}  // namespace
}  // namespace quarn::testing
