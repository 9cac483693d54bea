// The sprite batch drawn by the OpenGL device: numbers right-aligned in their field, cell for
// cell and pixel for pixel.
#include <gtest/gtest.h>

#include "render/RenderTest.h"
#include "render/SpriteBatch.h"
#include "render/Texture.h"

namespace quarn::testing {
namespace {

constexpr int kCellWidth = 16;
constexpr int kCellHeight = 32;

// Glyph k of the digit grid: a flat colour of its own.
Argb DigitColour(int k) {
  return platform::MakeArgb(255, 40 + 20 * k, 250 - 20 * k, (k * 53) % 256);
}

class SpriteBatchRenderTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    // Ten cells of 16 x 32 in one row.
    std::vector<Argb> pixels(160 * 32);
    for (int y = 0; y < kCellHeight; ++y) {
      for (int x = 0; x < 160; ++x)
        pixels[static_cast<size_t>(y) * 160 + x] = DigitColour(x / kCellWidth);
    }
    digits_ = std::make_unique<quarn::Texture>(device_.get());
    digits_->Attach(MakeTexture(160, 32, pixels));
    batch_ = std::make_unique<SpriteBatch>(device_.get());
    ASSERT_TRUE(batch_->CreateSprite());
  }
  void TearDown() override {
    batch_.reset();
    digits_.reset();
    RenderTest::TearDown();
  }
  void DrawBatch() {
    ASSERT_TRUE(device_->BeginScene());
    EXPECT_TRUE(batch_->Draw());
    ASSERT_TRUE(device_->EndScene());
  }
  // Every pixel of the cell at (left, top) has colour.
  ::testing::AssertionResult CellIs(int left, int top, Argb colour) {
    for (int y = top; y < top + kCellHeight; ++y) {
      for (int x = left; x < left + kCellWidth; ++x) {
        if (::testing::AssertionResult near = ColorNear(Pixel(x, y), colour, 1); !near)
          return near << " at (" << x << ", " << y << ")";
      }
    }
    return ::testing::AssertionSuccess();
  }

  std::unique_ptr<quarn::Texture> digits_;
  std::unique_ptr<SpriteBatch> batch_;
};

TEST_F(SpriteBatchRenderTest, QueueNumberRightAlignsItsDigitsCellForCell) {
  const platform::ColorValue white{1, 1, 1, 1};
  ASSERT_TRUE(
      batch_->QueueNumber(digits_.get(), kCellWidth, kCellHeight, 10, {100, 200}, 42, 4, white));
  ASSERT_TRUE(
      batch_->QueueNumber(digits_.get(), kCellWidth, kCellHeight, 10, {300, 40}, 7, 1, white));
  DrawBatch();
  const Argb black = 0xFF000000u;
  EXPECT_TRUE(CellIs(100, 200, black)) << "the first two cells of the field stay empty";
  EXPECT_TRUE(CellIs(116, 200, black));
  EXPECT_TRUE(CellIs(132, 200, DigitColour(4)));
  EXPECT_TRUE(CellIs(148, 200, DigitColour(2)));
  EXPECT_TRUE(CellIs(164, 200, black)) << "nothing beyond the field";
  EXPECT_TRUE(ColorNear(Pixel(140, 199), black, 0)) << "nor above it";
  EXPECT_TRUE(ColorNear(Pixel(140, 232), black, 0)) << "nor below it";
  EXPECT_TRUE(CellIs(300, 40, DigitColour(7)));
}

TEST_F(SpriteBatchRenderTest, TheColourModulatesTheGlyphsAndItsAlphaBlendsThem) {
  ASSERT_TRUE(batch_->QueueNumber(digits_.get(), kCellWidth, kCellHeight, 10, {0, 0}, 305, 3,
                                  {1.0f, 0.5f, 0.25f, 1.0f}));
  ASSERT_TRUE(batch_->QueueNumber(digits_.get(), kCellWidth, kCellHeight, 10, {0, 100}, 9, 1,
                                  {1.0f, 1.0f, 1.0f, 0.5f}));
  DrawBatch();
  auto modulated = [](Argb c) {
    return PackColor(Red(c) / 255.0f, Green(c) / 255.0f * 128 / 255.0f,
                     Blue(c) / 255.0f * 64 / 255.0f);
  };
  EXPECT_TRUE(CellIs(0, 0, modulated(DigitColour(3))));
  EXPECT_TRUE(CellIs(16, 0, modulated(DigitColour(0))));
  EXPECT_TRUE(CellIs(32, 0, modulated(DigitColour(5))));
  const Argb nine = DigitColour(9);
  EXPECT_TRUE(
      CellIs(0, 100,
             PackColor(Red(nine) / 255.0f * 128 / 255.0f, Green(nine) / 255.0f * 128 / 255.0f,
                       Blue(nine) / 255.0f * 128 / 255.0f)))
      << "half over black";
}

}  // namespace
}  // namespace quarn::testing
