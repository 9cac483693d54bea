// Vertices and indices on the GL device: static mesh buffers with subsets and a base vertex,
// the streaming buffer for vertices drawn from memory (wrapping and growing), and the checks
// that keep a bad index from reading memory nobody handed over.
#include <algorithm>
#include <cstring>

#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

using namespace platform;

constexpr Argb kBlack = 0xFF000000u;

class BufferTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    device_->SetRenderState(RenderState::Lighting, 0u);
    device_->SetTextureStageState(0, TextureStageState::ColorOp, TextureOp::SelectArg2);
  }

  // Two screen quads side by side (x 0-10 and 20-30), four vertices each.
  static std::vector<ScreenVertex> TwoQuads() {
    std::vector<ScreenVertex> vertices;
    for (float left : {0.0f, 20.0f}) {
      const Argb color = left == 0 ? 0xFFFF0000u : 0xFF00FF00u;
      vertices.push_back({left, 0, 0, 1, color, 0, 0});
      vertices.push_back({left + 10, 0, 0, 1, color, 0, 0});
      vertices.push_back({left, 10, 0, 1, color, 0, 0});
      vertices.push_back({left + 10, 10, 0, 1, color, 0, 0});
    }
    return vertices;
  }
};

TEST_F(BufferTest, MeshBuffersDrawSubsetsByStartIndexAndBaseVertex) {
  const auto vertices = TwoQuads();
  auto vb = device_->CreateVertexBuffer(
      static_cast<uint32_t>(vertices.size() * sizeof(ScreenVertex)), kScreenFvf);
  auto ib = device_->CreateIndexBuffer(12);
  ASSERT_NE(vb, nullptr);
  ASSERT_NE(ib, nullptr);
  ASSERT_TRUE(vb->Update(0, vertices.data(), vb->Size()));
  const uint16_t indices[12] = {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7};
  ASSERT_TRUE(ib->Update(0, indices, 12));
  EXPECT_EQ(std::memcmp(vb->Data(), vertices.data(), vb->Size()), 0) << "contents read back";
  EXPECT_EQ(ib->Data()[6], 4);
  device_->SetFvf(kScreenFvf);
  ASSERT_TRUE(device_->SetStreamSource(vb.get(), sizeof(ScreenVertex)));
  ASSERT_TRUE(device_->SetIndices(ib.get()));
  // The second subset alone.
  ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 4, 4, 6, 2));
  EXPECT_EQ(Pixel(5, 5), kBlack);
  EXPECT_EQ(Pixel(25, 5), 0xFF00FF00u);
  // The first subset's indices moved onto the second quad by a base vertex.
  device_->Clear(0, nullptr, kClearTarget, kBlack, 1.0f, 0);
  ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 4, 0, 4, 0, 2));
  EXPECT_EQ(Pixel(5, 5), kBlack);
  EXPECT_EQ(Pixel(25, 5), 0xFF00FF00u);
  ASSERT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 4, 0, 2));
  EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
}

TEST_F(BufferTest, BadRangesAndIndicesAreRefusedAndDrawNothing) {
  const auto vertices = TwoQuads();
  auto vb = device_->CreateVertexBuffer(
      static_cast<uint32_t>(vertices.size() * sizeof(ScreenVertex)), kScreenFvf);
  auto ib = device_->CreateIndexBuffer(6);
  ASSERT_TRUE(vb->Update(0, vertices.data(), vb->Size()));
  const uint16_t wild[6] = {0, 1, 2, 2, 1, 900};
  ASSERT_TRUE(ib->Update(0, wild, 6));
  EXPECT_FALSE(vb->Update(vb->Size() - 4, vertices.data(), 8)) << "past the end";
  EXPECT_FALSE(ib->Update(5, wild, 2));
  device_->SetFvf(kScreenFvf);
  device_->SetStreamSource(vb.get(), sizeof(ScreenVertex));
  device_->SetIndices(ib.get());
  EXPECT_FALSE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 8, 0, 2))
      << "index 900 names no vertex";
  EXPECT_FALSE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 8, 3, 2))
      << "more indices than the buffer holds";
  EXPECT_TRUE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 8, 0, 1))
      << "the first triangle is fine";
  EXPECT_FALSE(device_->DrawIndexedPrimitive(PrimitiveType::TriangleList, 6, 0, 8, 0, 1))
      << "the base vertex moves index 2 past the end";
  const uint16_t quad[6] = {4, 5, 6, 6, 5, 8};
  EXPECT_FALSE(device_->DrawIndexedPrimitiveUP(PrimitiveType::TriangleList, 4, 4, 2, quad,
                                               vertices.data(), sizeof(ScreenVertex)))
      << "index 8 is outside the four vertices handed over";
  device_->Clear(0, nullptr, kClearTarget, kBlack, 1.0f, 0);
  EXPECT_EQ(Pixel(25, 5), kBlack);
  EXPECT_FALSE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, vertices.data(), 12))
      << "a stride shorter than the vertex format";
  device_->SetFvf(0);
  EXPECT_FALSE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, vertices.data(),
                                        sizeof(ScreenVertex)))
      << "no vertex format";
}

TEST_F(BufferTest, IndexedVerticesFromMemoryUseOnlyTheirRange) {
  const auto vertices = TwoQuads();
  const uint16_t quad[6] = {4, 5, 6, 6, 5, 7};
  device_->SetFvf(kScreenFvf);
  ASSERT_TRUE(device_->DrawIndexedPrimitiveUP(PrimitiveType::TriangleList, 4, 4, 2, quad,
                                              vertices.data(), sizeof(ScreenVertex)));
  EXPECT_EQ(Pixel(5, 5), kBlack);
  EXPECT_EQ(Pixel(25, 5), 0xFF00FF00u);
  const uint16_t strip[4] = {0, 1, 2, 3};
  ASSERT_TRUE(device_->DrawIndexedPrimitiveUP(PrimitiveType::TriangleStrip, 0, 4, 2, strip,
                                              vertices.data(), sizeof(ScreenVertex)));
  EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
}

TEST_F(BufferTest, StreamingWrapsRoundAndKeepsEveryEarlierDrawIntact) {
  // 240 draws of 1,002 vertices (28 KB each) overflow the 4 MiB stream more than once; each
  // draw's first two triangles make a 4 x 4 quad in its own place and colour, the rest are
  // degenerate.
  device_->SetFvf(kScreenFvf);
  std::vector<ScreenVertex> vertices(1002);
  auto colorOf = [](int i) { return 0xFF000000u | static_cast<Argb>(i * 997 % 0xFFFFFF); };
  for (int i = 0; i < 240; ++i) {
    const float x = static_cast<float>(i % 40 * 8), y = static_cast<float>(i / 40 * 8);
    const ScreenVertex tl{x, y, 0, 1, colorOf(i), 0, 0}, tr{x + 4, y, 0, 1, colorOf(i), 0, 0};
    const ScreenVertex bl{x, y + 4, 0, 1, colorOf(i), 0, 0};
    const ScreenVertex br{x + 4, y + 4, 0, 1, colorOf(i), 0, 0};
    std::fill(vertices.begin(), vertices.end(), tl);
    const ScreenVertex quad[6] = {tl, tr, bl, bl, tr, br};
    std::copy(quad, quad + 6, vertices.begin());
    ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 334, vertices.data(),
                                         sizeof(ScreenVertex)));
  }
  EXPECT_GE(device_->StreamOrphans(), 1u);
  ReadBack();
  for (int i = 0; i < 240; ++i) {
    const int x = i % 40 * 8 + 1, y = i / 40 * 8 + 1;
    ASSERT_EQ(pixels_[static_cast<size_t>(y) * 640 + x], colorOf(i)) << "draw " << i;
  }
}

TEST_F(BufferTest, ADrawLargerThanTheStreamGrowsIt) {
  // 200,000 vertices (5.6 MB) in one call; the last triangle is the visible one.
  std::vector<ScreenVertex> vertices(200001, ScreenVertex{0, 0, 0, 1, 0xFF0000FFu, 0, 0});
  vertices[199998] = {100, 100, 0, 1, 0xFF0000FFu, 0, 0};
  vertices[199999] = {120, 100, 0, 1, 0xFF0000FFu, 0, 0};
  vertices[200000] = {100, 120, 0, 1, 0xFF0000FFu, 0, 0};
  device_->SetFvf(kScreenFvf);
  ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 66667, vertices.data(),
                                       sizeof(ScreenVertex)));
  EXPECT_EQ(Pixel(102, 102), 0xFF0000FFu);
}

TEST_F(BufferTest, StripsAndFans) {
  const ScreenVertex fan[4] = {{50, 50, 0, 1, 0xFFFFFF00u, 0, 0},
                               {40, 40, 0, 1, 0xFFFFFF00u, 0, 0},
                               {60, 40, 0, 1, 0xFFFFFF00u, 0, 0},
                               {60, 60, 0, 1, 0xFFFFFF00u, 0, 0}};
  device_->SetFvf(kScreenFvf);
  ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleFan, 2, fan, sizeof fan[0]));
  EXPECT_EQ(Pixel(50, 42), 0xFFFFFF00u);
  EXPECT_EQ(Pixel(58, 50), 0xFFFFFF00u);
  EXPECT_EQ(Pixel(42, 50), kBlack);
  EXPECT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleFan, 0, fan, sizeof fan[0]))
      << "nothing to draw is not an error";
}

}  // namespace
}  // namespace quarn::testing
