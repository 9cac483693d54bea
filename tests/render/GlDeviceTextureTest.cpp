// Textures and render targets of the GL device: row order, sampler address modes and
// filters, mip levels, formats without alpha, drawing into a texture and sampling it.
#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

using namespace platform;

constexpr Argb kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;
constexpr Argb kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

class TextureTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    device_->SetRenderState(RenderState::Lighting, 0u);
    device_->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
  }
  void SetSampler(SamplerState state, uint32_t value) {
    ASSERT_TRUE(device_->SetSamplerState(0, state, value));
  }
  template <class E>
  void SetSampler(SamplerState state, E value) {
    SetSampler(state, static_cast<uint32_t>(value));
  }
  std::vector<Argb> Row(int y, int from, int count) {
    ReadBack();
    return std::vector<Argb>(pixels_.begin() + y * 640 + from,
                             pixels_.begin() + y * 640 + from + count);
  }
};

TEST_F(TextureTest, RowsAreUploadedTopFirstAndVZeroIsTheTop) {
  auto texture = MakeTexture(2, 2, {kRed, kGreen, kBlue, kWhite});
  device_->SetTexture(0, texture.get());
  DrawScreenQuad(10, 10, 12, 12, kWhite);
  EXPECT_EQ(Pixel(10, 10), kRed);
  EXPECT_EQ(Pixel(11, 10), kGreen);
  EXPECT_EQ(Pixel(10, 11), kBlue);
  EXPECT_EQ(Pixel(11, 11), kWhite);
}

TEST_F(TextureTest, ATexelAtScaleOneLandsOnExactlyOnePixelEvenWithLinearFiltering) {
  auto texture = MakeTexture(4, 1, {kRed, kGreen, kBlue, kWhite});
  device_->SetTexture(0, texture.get());
  SetSampler(SamplerState::MinFilter, TextureFilter::Linear);
  SetSampler(SamplerState::MagFilter, TextureFilter::Linear);
  DrawScreenQuad(100, 0, 104, 1, kWhite);
  EXPECT_EQ(Row(0, 100, 4), (std::vector<Argb>{kRed, kGreen, kBlue, kWhite}));
}

TEST_F(TextureTest, AddressModesWrapMirrorAndClamp) {
  auto texture = MakeTexture(2, 1, {kBlack, kWhite});
  device_->SetTexture(0, texture.get());
  struct Case {
    TextureAddress mode;
    std::vector<Argb> row;
  };
  // Eight pixels across u from 0 to 4: one pixel per texel.
  const Case cases[] = {
      {TextureAddress::Wrap, {kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
      {TextureAddress::Mirror, {kBlack, kWhite, kWhite, kBlack, kBlack, kWhite, kWhite, kBlack}},
      {TextureAddress::Clamp, {kBlack, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite}},
  };
  for (const Case& c : cases) {
    SetSampler(SamplerState::AddressU, c.mode);
    DrawScreenQuad(0, 0, 8, 1, kWhite, 0, 0, 4, 1);
    EXPECT_EQ(Row(0, 0, 8), c.row) << "address mode " << static_cast<int>(c.mode);
  }
  SetSampler(SamplerState::AddressU, TextureAddress::Border);
  SetSampler(SamplerState::BorderColor, 0xFF123456u);
  DrawScreenQuad(0, 0, 8, 1, kWhite, 0, 0, 4, 1);
  EXPECT_EQ(Row(0, 0, 3), (std::vector<Argb>{kBlack, kWhite, 0xFF123456u}));
}

TEST_F(TextureTest, PointFilteringKeepsTexelsLinearBlendsThem) {
  auto texture = MakeTexture(2, 1, {kBlack, kWhite});
  device_->SetTexture(0, texture.get());
  SetSampler(SamplerState::AddressU, TextureAddress::Clamp);
  DrawScreenQuad(0, 0, 64, 4, kWhite);
  EXPECT_EQ(Pixel(31, 0), kBlack);
  EXPECT_EQ(Pixel(32, 0), kWhite);
  SetSampler(SamplerState::MagFilter, TextureFilter::Linear);
  DrawScreenQuad(0, 0, 64, 4, kWhite);
  EXPECT_TRUE(ColorNear(Pixel(31, 0), 0xFF7B7B7Bu, 2)) << "u just left of the middle";
  EXPECT_TRUE(ColorNear(Pixel(32, 0), 0xFF838383u, 2));
  EXPECT_EQ(Pixel(0, 0), kBlack);
  EXPECT_EQ(Pixel(63, 0), kWhite);
}

TEST_F(TextureTest, MipFilterChoosesTheLevelForTheDrawnSize) {
  auto texture = device_->CreateTexture(4, 4, 0, 0, Format::A8R8G8B8, Pool::Managed);
  ASSERT_NE(texture, nullptr);
  ASSERT_EQ(texture->Levels(), 3u) << "levels 0: the whole chain";
  EXPECT_EQ(texture->Width(2), 1u);
  const Argb colors[3] = {kRed, kGreen, kBlue};
  for (uint32_t level = 0; level < 3; ++level) {
    std::vector<Argb> pixels(texture->Width(level) * texture->Height(level), colors[level]);
    ASSERT_TRUE(texture->UpdateLevel(level, pixels.data(), texture->Width(level) * 4));
  }
  EXPECT_FALSE(texture->UpdateLevel(3, colors, 4)) << "no such level";
  device_->SetTexture(0, texture.get());
  DrawScreenQuad(0, 0, 2, 2, kWhite);
  EXPECT_EQ(Pixel(0, 0), kRed) << "no mip filter: level 0 only";
  SetSampler(SamplerState::MipFilter, TextureFilter::Point);
  DrawScreenQuad(0, 0, 2, 2, kWhite);
  EXPECT_EQ(Pixel(0, 0), kGreen);
  DrawScreenQuad(10, 0, 11, 1, kWhite);
  EXPECT_EQ(Pixel(10, 0), kBlue);
  DrawScreenQuad(20, 0, 24, 4, kWhite);
  EXPECT_EQ(Pixel(20, 0), kRed);
}

TEST_F(TextureTest, GeneratedMipLevelsAverageTheLevelAbove) {
  auto texture = device_->CreateTexture(4, 4, 0, 0, Format::A8R8G8B8, Pool::Managed);
  ASSERT_NE(texture, nullptr);
  std::vector<Argb> checker(16);
  for (size_t i = 0; i < checker.size(); ++i)
    checker[i] = (i + i / 4) % 2 == 0 ? kRed : kBlue;
  ASSERT_TRUE(texture->UpdateLevel(0, checker.data(), 16));
  ASSERT_TRUE(texture->GenerateMipSubLevels());
  device_->SetTexture(0, texture.get());
  SetSampler(SamplerState::MipFilter, TextureFilter::Point);
  DrawScreenQuad(0, 0, 2, 2, kWhite);
  EXPECT_TRUE(ColorNear(Pixel(0, 0), 0xFF800080u, 1));
}

TEST_F(TextureTest, FormatsWithoutAlphaReadOpaque) {
  auto texture = MakeTexture(1, 1, {0x00FF0000u}, Format::X8R8G8B8);
  device_->SetTexture(0, texture.get());
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  DrawScreenQuad(0, 0, 4, 4, kWhite);
  EXPECT_EQ(Pixel(1, 1), kRed);
  auto translucent = MakeTexture(1, 1, {0x00FF0000u}, Format::A8R8G8B8);
  device_->SetTexture(0, translucent.get());
  DrawScreenQuad(10, 0, 14, 4, kWhite);
  EXPECT_EQ(Pixel(11, 1), kBlack) << "alpha 0 is kept where the format has alpha";
}

TEST_F(TextureTest, TexturesOutsideTheLimitsAreRefused) {
  EXPECT_EQ(device_->CreateTexture(0, 4, 1, 0, Format::A8R8G8B8, Pool::Managed), nullptr);
  const uint32_t tooWide = device_->Caps().maxTextureWidth + 1;
  EXPECT_EQ(device_->CreateTexture(tooWide, 4, 1, 0, Format::A8R8G8B8, Pool::Managed), nullptr);
  auto texture = device_->CreateTexture(8, 2, 1, 0, Format::A8R8G8B8, Pool::Managed);
  ASSERT_NE(texture, nullptr);
  const Argb pixels[16] = {};
  EXPECT_FALSE(texture->UpdateLevel(0, pixels, 16)) << "pitch shorter than a row";
  EXPECT_FALSE(texture->UpdateLevel(0, nullptr, 32));
}

TEST_F(TextureTest, RenderTargetIsDrawnTopRowFirstAndSampledTheSameWay) {
  auto target =
      device_->CreateTexture(64, 32, 1, kUsageRenderTarget, Format::X8R8G8B8, Pool::Default);
  ASSERT_NE(target, nullptr);
  Surface* surface = target->GetSurfaceLevel(0);
  ASSERT_TRUE(device_->SetRenderTarget(surface));
  EXPECT_EQ(device_->GetRenderTarget(), surface);
  EXPECT_EQ(device_->GetViewport().width, 64u) << "the viewport becomes the whole target";
  EXPECT_EQ(device_->GetViewport().height, 32u);
  device_->Clear(0, nullptr, kClearTarget, 0x0000FF00u, 1.0f, 0);
  device_->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
  DrawScreenQuad(0, 0, 64, 16, kRed);  // top half
  device_->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg1);
  ASSERT_TRUE(device_->SetRenderTarget(nullptr));
  EXPECT_EQ(device_->GetViewport().width, 640u);
  EXPECT_EQ(Pixel(0, 0), kBlack) << "the back buffer was not drawn into";
  device_->SetTexture(0, target.get());
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  DrawScreenQuad(100, 100, 164, 132, kWhite);
  EXPECT_EQ(Pixel(100, 100), kRed);
  EXPECT_EQ(Pixel(163, 115), kRed);
  EXPECT_EQ(Pixel(100, 116), kGreen) << "cleared with alpha 0, but the format has none";
  EXPECT_EQ(Pixel(163, 131), kGreen);
}

TEST_F(TextureTest, OnlyRenderTargetSurfacesCanBeDrawnInto) {
  auto plain = device_->CreateTexture(16, 16, 1, 0, Format::A8R8G8B8, Pool::Managed);
  ASSERT_NE(plain, nullptr);
  EXPECT_FALSE(device_->SetRenderTarget(plain->GetSurfaceLevel(0)));
  EXPECT_EQ(device_->GetRenderTarget(), nullptr);
  auto target =
      device_->CreateTexture(16, 16, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default);
  ASSERT_TRUE(device_->SetRenderTarget(target->GetSurfaceLevel(0)));
  target.reset();  // destroyed while drawn into: drawing goes back to the back buffer
  EXPECT_EQ(device_->GetRenderTarget(), nullptr);
  EXPECT_EQ(device_->GetViewport().width, 640u);
  device_->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
  DrawScreenQuad(0, 0, 4, 4, kRed);
  EXPECT_EQ(Pixel(1, 1), kRed);
}

TEST_F(TextureTest, RenderTargetWithAlphaKeepsIt) {
  auto target =
      device_->CreateTexture(8, 8, 1, kUsageRenderTarget, Format::A8R8G8B8, Pool::Default);
  ASSERT_NE(target, nullptr);
  ASSERT_TRUE(device_->SetRenderTarget(target->GetSurfaceLevel(0)));
  device_->Clear(0, nullptr, kClearTarget, 0x00FF0000u, 1.0f, 0);
  ASSERT_TRUE(device_->SetRenderTarget(nullptr));
  device_->Clear(0, nullptr, kClearTarget, kBlue, 1.0f, 0);
  device_->SetTexture(0, target.get());
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1u);
  device_->SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  device_->SetRenderState(RenderState::DestBlend, Blend::InvSrcAlpha);
  DrawScreenQuad(0, 0, 8, 8, kWhite);
  EXPECT_EQ(Pixel(4, 4), kBlue);
}

}  // namespace
}  // namespace quarn::testing
