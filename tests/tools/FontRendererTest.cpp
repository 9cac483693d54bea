// Text through FreeType: where the ink goes, alignment, outlines, UTF-8, a missing font.
#include <gtest/gtest.h>

#include "DatagenTestSupport.h"
#include "FontRenderer.h"

namespace quarn::testing {
namespace {

using tools::Canvas;
using tools::FontRenderer;
using tools::TextAlign;
using tools::TextStyle;

struct Ink {
  int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
};

// The bounding box of the pixels that carry some of colour's red.
Ink InkOf(const Canvas& canvas, int minRed = 64) {
  Ink ink;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (Alpha(canvas.At(x, y)) > 0 && Red(canvas.At(x, y)) >= minRed) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
      }
    }
  }
  return ink;
}

class FontRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!OpenSystemFonts(&fonts_))
      GTEST_SKIP() << "no DejaVu fonts on this machine";
  }
  FontRenderer fonts_;
};

TEST_F(FontRendererTest, TextSitsOnItsBaseLineAndStartsAtX) {
  Canvas canvas(200, 60);
  TextStyle style;
  style.size = 32;
  style.color = 0xFFFF0000;
  fonts_.Draw(&canvas, 20, 40, "HE", style);
  const Ink ink = InkOf(canvas);
  EXPECT_NEAR(ink.left, 22, 3) << "H has a small left bearing";
  EXPECT_EQ(ink.bottom, 39) << "capitals stand on the base line";
  // DejaVu's capitals are 0.73 em tall.
  EXPECT_NEAR(ink.bottom - ink.top + 1, 23, 1);
  EXPECT_NEAR(ink.right - ink.left, fonts_.Measure("HE", style) - 5, 4);
}

TEST_F(FontRendererTest, CentredAndRightAlignedTextEndAroundX) {
  TextStyle style;
  style.size = 24;
  style.font = tools::FontStyle::Bold;
  style.color = 0xFFFF0000;
  Canvas centred(300, 40);
  style.align = TextAlign::Center;
  fonts_.Draw(&centred, 150, 30, "MISSION", style);
  const Ink a = InkOf(centred);
  EXPECT_NEAR((a.left + a.right) / 2.0, 150, 2);
  Canvas right(300, 40);
  style.align = TextAlign::Right;
  fonts_.Draw(&right, 250, 30, "MISSION", style);
  EXPECT_NEAR(InkOf(right).right, 249, 3);
  EXPECT_GT(fonts_.Measure("MISSION", style), fonts_.Measure("MISS", style));
}

TEST_F(FontRendererTest, AnOutlineSurroundsTheLetters) {
  Canvas canvas(80, 50);
  TextStyle style;
  style.size = 32;
  style.color = 0xFFFF0000;
  style.outline = 0xFF0000FF;
  fonts_.Draw(&canvas, 10, 40, "I", style);
  const Ink red = InkOf(canvas, 200);
  ASSERT_GE(red.right, red.left);
  // Two pixels beside the stroke of the I (the outline of 32-pixel text is two wide, and the
  // pixel next to the stroke blends the two colours), in the outline colour; further out,
  // nothing.
  const int middle = (red.top + red.bottom) / 2;
  const platform::Argb beside = canvas.At(red.right + 2, middle);
  EXPECT_EQ(Alpha(beside), 255);
  EXPECT_GT(Blue(beside), 200);
  EXPECT_EQ(Red(beside), 0);
  EXPECT_EQ(Alpha(canvas.At(red.right + 5, middle)), 0);
  EXPECT_EQ(Alpha(canvas.At(red.left - 5, middle)), 0);
}

TEST_F(FontRendererTest, ArrowsAndStarsComeFromTheFontNotAsMissingGlyphs) {
  TextStyle style;
  style.size = 20;
  // A character the font lacks is drawn as the replacement glyph; these are all present and
  // differ from it.
  const double replacement = fonts_.Measure("\xEF\xBF\xBD", style);
  EXPECT_GT(fonts_.Measure("\xE2\x86\x91", style), 0);            // up arrow
  EXPECT_NE(fonts_.Measure("\xE2\x98\x85", style), replacement);  // black star
  Canvas canvas(40, 40);
  style.color = 0xFFFF0000;
  fonts_.Draw(&canvas, 10, 30, "\xE2\x86\x91", style);
  const Ink ink = InkOf(canvas);
  EXPECT_GT(ink.bottom - ink.top, 10) << "an arrow is tall and narrow";
  EXPECT_LT(ink.right - ink.left, ink.bottom - ink.top);
}

TEST(FontRendererOpenTest, MissingFontsAreReportedWithTheFoldersTriedAndThePackage) {
  FontRenderer fonts;
  std::string error;
  EXPECT_FALSE(fonts.Open({"/no/such/folder", "/neither/this"}, &error));
  EXPECT_NE(error.find("/no/such/folder"), std::string::npos) << error;
  EXPECT_NE(error.find("/neither/this"), std::string::npos) << error;
  EXPECT_NE(error.find("fonts-dejavu-core"), std::string::npos) << error;
  // Drawing without fonts draws nothing, and does not crash.
  Canvas canvas(10, 10);
  fonts.Draw(&canvas, 0, 8, "A", TextStyle());
  EXPECT_EQ(canvas.At(5, 5), 0u);
  EXPECT_EQ(fonts.Measure("A", TextStyle()), 0.0);
}

TEST(FontRendererOpenTest, TheGivenFolderIsSearchedFirst) {
  const auto folders = FontRenderer::SearchFolders("/mine");
  ASSERT_GE(folders.size(), 2u);
  EXPECT_EQ(folders[0], "/mine");
  EXPECT_EQ(folders[1], "/usr/share/fonts/truetype/dejavu");
  EXPECT_EQ(FontRenderer::SearchFolders("")[0], "/usr/share/fonts/truetype/dejavu");
}

TEST(Utf8Test, DecodesCharactersAndReplacesBrokenBytes) {
  EXPECT_EQ(tools::DecodeUtf8("A\xC3\xA9"), (std::u32string{U'A', U'\u00E9'}));
  EXPECT_EQ(tools::DecodeUtf8("\xE2\x86\x91\xF0\x9F\x98\x80"), (std::u32string{0x2191, 0x1F600}));
  // A stray continuation byte, and a lead byte cut off by the end.
  EXPECT_EQ(tools::DecodeUtf8("\x80x\xE2\x86"), (std::u32string{0xFFFD, U'x', 0xFFFD, 0xFFFD}));
}

}  // namespace
}  // namespace quarn::testing
