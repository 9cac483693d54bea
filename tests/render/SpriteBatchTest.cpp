// The sprite batch over the null render device: colours, the digit layout of QueueNumber, what
// reaches the sprite in which order, failures, and device loss.
#include "render/SpriteBatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "engine/GraphicsDevice.h"
#include "engine/Window.h"
#include "platform/NullRenderDevice.h"
#include "render/Texture.h"

namespace quarn {
namespace {

struct SpriteVertex {
  float x, y, z, rhw;
  platform::Argb colour;
  float u, v;
};

SpriteVertex VertexOf(const platform::DrawRecord& draw, size_t index) {
  SpriteVertex vertex;
  std::memcpy(&vertex, draw.vertices.data() + index * sizeof vertex, sizeof vertex);
  return vertex;
}

const platform::ColorValue kWhite{1.0f, 1.0f, 1.0f, 1.0f};

class SpriteBatchTest : public ::testing::Test {
 protected:
  SpriteBatchTest() : batch_(&device_), digits_(&device_), other_(&device_) {
    digits_.Attach(
        device_.CreateTexture(160, 64, 1, 0, platform::Format::A8R8G8B8, platform::Pool::Managed));
    other_.Attach(
        device_.CreateTexture(32, 32, 1, 0, platform::Format::A8R8G8B8, platform::Pool::Managed));
  }
  const SpriteRecord& Record(size_t index) const { return *batch_.Records().at(index); }

  platform::NullRenderDevice device_;
  SpriteBatch batch_;
  Texture digits_;
  Texture other_;
};

TEST(SpriteBatchColourTest, ChannelsBecomeRoundedClampedBytes) {
  EXPECT_EQ(SpriteBatch::ColourByte(0.5f), 128u);
  EXPECT_EQ(SpriteBatch::ColourByte(1.2f), 255u);
  EXPECT_EQ(SpriteBatch::ColourByte(-0.1f), 0u);
  EXPECT_EQ(SpriteBatch::ColourByte(1.0f), 255u);
  EXPECT_EQ(SpriteBatch::ColourByte(0.0f), 0u);
  EXPECT_EQ(SpriteBatch::ColourByte(0.001f), 0u) << "0.255 rounds down";
  EXPECT_EQ(SpriteBatch::ColourByte(std::nanf("")), 0u);
  EXPECT_EQ(SpriteBatch::PackColour({0.2f, 0.4f, 0.6f, 0.8f}), 0xCC336699u) << "A, R, G, B";
}

TEST_F(SpriteBatchTest, QueueNumberRightAlignsTheDigitsInTheirField) {
  // Cells of 16 x 32, ten to a row: the glyph k at (16k, 0).
  ASSERT_TRUE(batch_.QueueNumber(&digits_, 16, 32, 10, {224, 412}, 7, 3, kWhite));
  ASSERT_EQ(batch_.Records().size(), 1u);
  EXPECT_EQ(Record(0).destination.x, 224 + 2 * 16) << "the third cell";
  EXPECT_EQ(Record(0).destination.y, 412);
  EXPECT_EQ(Record(0).left, 112);
  EXPECT_EQ(Record(0).top, 0);
  EXPECT_EQ(Record(0).right, 128);
  EXPECT_EQ(Record(0).bottom, 32);
  EXPECT_EQ(Record(0).texture, &digits_);
}

TEST_F(SpriteBatchTest, ANumberLongerThanItsFieldRunsOutToTheLeft) {
  ASSERT_TRUE(batch_.QueueNumber(&digits_, 16, 32, 10, {100, 0}, 12345, 3, kWhite));
  ASSERT_EQ(batch_.Records().size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Record(i).destination.x, 100 + 16 * (static_cast<int>(i) - 2));
    EXPECT_EQ(Record(i).left, 16 * static_cast<int>(i + 1));
  }
}

TEST_F(SpriteBatchTest, QueueNumberReadsGlyphsRowByRow) {
  // Four cells to a row: "5" is row 1, column 1; "9" row 2, column 1.
  ASSERT_TRUE(batch_.QueueNumber(&digits_, 10, 20, 4, {0, 0}, 59, 2, {1.0f, 0.5f, 0.0f, 1.0f}));
  ASSERT_EQ(batch_.Records().size(), 2u);
  EXPECT_EQ(Record(0).left, 10);
  EXPECT_EQ(Record(0).top, 20);
  EXPECT_EQ(Record(1).left, 10);
  EXPECT_EQ(Record(1).top, 40);
  EXPECT_EQ(Record(1).bottom, 60);
  EXPECT_FLOAT_EQ(Record(1).colour.g, 0.5f);
  EXPECT_FLOAT_EQ(Record(1).scaleX, 1.0f);
}

TEST_F(SpriteBatchTest, AMinusSignKeepsItsCellButDrawsNothing) {
  ASSERT_TRUE(batch_.QueueNumber(&digits_, 16, 32, 10, {0, 0}, -12, 4, kWhite));
  ASSERT_EQ(batch_.Records().size(), 2u);
  EXPECT_EQ(Record(0).destination.x, 32);
  EXPECT_EQ(Record(0).left, 16);
  EXPECT_EQ(Record(1).destination.x, 48);
}

TEST_F(SpriteBatchTest, AGridWithoutColumnsQueuesNothing) {
  EXPECT_FALSE(batch_.QueueNumber(&digits_, 16, 32, 0, {0, 0}, 5, 1, kWhite));
  EXPECT_TRUE(batch_.Records().empty());
}

TEST_F(SpriteBatchTest, DrawsEveryRecordInRequestOrderWithItsColourAndPlace) {
  ASSERT_TRUE(batch_.CreateSprite());
  batch_.Queue(&other_, {10, 20}, 0, 0, 32, 32, 1, 1, {}, 0, {1.0f, 0.0f, 0.0f, 0.5f});
  batch_.Queue(&digits_, {100, 50}, 16, 0, 32, 32, 2, 1, {}, 0, kWhite);
  batch_.Queue(&other_, {0, 0}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
  ASSERT_TRUE(device_.BeginScene());
  ASSERT_TRUE(batch_.Draw());
  device_.EndScene();
  ASSERT_EQ(device_.Draws().size(), 3u) << "each change of texture is a draw of its own";
  EXPECT_EQ(device_.Draws()[0].state.textures[0], other_.GetTexture());
  EXPECT_EQ(device_.Draws()[1].state.textures[0], digits_.GetTexture());
  EXPECT_EQ(device_.Draws()[2].state.textures[0], other_.GetTexture());
  EXPECT_EQ(VertexOf(device_.Draws()[0], 0).colour, 0x80FF0000u);
  EXPECT_FLOAT_EQ(VertexOf(device_.Draws()[0], 0).x, 10.0f);
  EXPECT_FLOAT_EQ(VertexOf(device_.Draws()[0], 0).y, 20.0f);
  const SpriteVertex scaled = VertexOf(device_.Draws()[1], 2);
  EXPECT_FLOAT_EQ(scaled.x, 100.0f + 2 * 16);
  EXPECT_FLOAT_EQ(scaled.y, 50.0f + 32);
  EXPECT_FLOAT_EQ(scaled.u, 32.0f / 160);
  EXPECT_EQ(batch_.Records().size(), 3u) << "drawing keeps the queue";
}

TEST_F(SpriteBatchTest, RotationTurnsAboutTheCentreFromTheDestination) {
  ASSERT_TRUE(batch_.CreateSprite());
  batch_.Queue(&other_, {100, 50}, 0, 0, 16, 16, 1, 1, {8, 8}, std::numbers::pi_v<float> / 2,
               kWhite);
  ASSERT_TRUE(batch_.Draw());
  ASSERT_EQ(device_.Draws().size(), 1u);
  // A quarter turn clockwise on screen about (108, 58): the top-left corner goes top-right.
  const SpriteVertex corner = VertexOf(device_.Draws()[0], 0);
  EXPECT_NEAR(corner.x, 116.0f, 1e-4f);
  EXPECT_NEAR(corner.y, 50.0f, 1e-4f);
}

TEST_F(SpriteBatchTest, ARecordThatCannotBeDrawnFailsTheDrawButNotTheOthers) {
  ASSERT_TRUE(batch_.CreateSprite());
  Texture unloaded(&device_);
  batch_.Queue(&unloaded, {0, 0}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
  batch_.Queue(nullptr, {0, 0}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
  batch_.Queue(&other_, {0, 0}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
  EXPECT_FALSE(batch_.Draw());
  ASSERT_EQ(device_.Draws().size(), 1u);
  EXPECT_EQ(device_.Draws()[0].state.textures[0], other_.GetTexture());
}

TEST_F(SpriteBatchTest, AnEmptyQueueDrawsNothingAndSucceedsLeavingTheStatesAsTheyWere) {
  ASSERT_TRUE(batch_.CreateSprite());
  device_.SetRenderState(platform::RenderState::ZEnable, 1);
  EXPECT_TRUE(batch_.Draw());
  EXPECT_TRUE(device_.Draws().empty());
  EXPECT_EQ(device_.GetRenderState(platform::RenderState::ZEnable), 1u);
  batch_.Queue(&other_, {0, 0}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
  batch_.Clear();
  EXPECT_TRUE(batch_.Records().empty());
  EXPECT_TRUE(batch_.Draw());
  EXPECT_TRUE(device_.Draws().empty());
}

TEST_F(SpriteBatchTest, WithoutASpriteNothingIsDrawn) {
  batch_.Queue(&other_, {0, 0}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
  EXPECT_FALSE(batch_.Draw());
  ASSERT_TRUE(batch_.CreateSprite());
  batch_.ReleaseSprite();
  EXPECT_FALSE(batch_.HasSprite());
  EXPECT_FALSE(batch_.Draw());
  EXPECT_TRUE(device_.Draws().empty());
}

TEST(SpriteBatchDeviceTest, ADeviceResetKeepsTheQueue) {
  Window window;
  WindowParams params;
  params.backend = platform::WindowBackend::None;
  ASSERT_NE(window.Create(params), nullptr);
  GraphicsDevice graphics;
  ASSERT_TRUE(graphics.Create(window.GetHandle(), GraphicsParams{1, 640, 480}));
  auto* device = dynamic_cast<platform::NullRenderDevice*>(graphics.GetDevice());
  ASSERT_NE(device, nullptr);
  {
    SpriteBatch batch;  // the process's device, told of loss and reset
    Texture texture;
    texture.Attach(
        device->CreateTexture(8, 8, 1, 0, platform::Format::A8R8G8B8, platform::Pool::Managed));
    ASSERT_TRUE(batch.CreateSprite());
    batch.Queue(&texture, {1, 2}, 0, 0, 8, 8, 1, 1, {}, 0, kWhite);
    EXPECT_EQ(batch.OnDeviceLost(), 1);
    device->SetLost(true);
    ASSERT_TRUE(graphics.Restore());
    EXPECT_EQ(batch.Records().size(), 1u);
    EXPECT_TRUE(batch.Draw());
    EXPECT_EQ(device->Draws().size(), 1u);
  }
  graphics.Release();
}

}  // namespace
}  // namespace quarn
