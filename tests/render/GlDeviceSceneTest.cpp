// One small scene drawn the way a stage frame draws (lit, fogged, textured meshes from static
// buffers, then a translucent pass of camera-facing quads with depth writes off, then sprites
// on top), compared with a reference picture, with and without clip control.
#include <cmath>
#include <numbers>

#include "gfxutil/Sprite.h"
#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

using namespace platform;

Vector3 Cross(Vector3 a, Vector3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector3 Minus(Vector3 a, Vector3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(Vector3 a, Vector3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 out;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      out.m[r][c] = 0;
      for (int k = 0; k < 4; ++k)
        out.m[r][c] += a.m[r][k] * b.m[k][c];
    }
  }
  return out;
}

Matrix4 RotationX(float angle) {
  Matrix4 m;
  m.m[1][1] = std::cos(angle);
  m.m[1][2] = std::sin(angle);
  m.m[2][1] = -std::sin(angle);
  m.m[2][2] = std::cos(angle);
  return m;
}

// A unit cube's 24 vertices and 36 indices, every face wound clockwise seen from outside.
void BuildCube(std::vector<LitVertex>* vertices, std::vector<uint16_t>* indices) {
  const Vector3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (const Vector3& n : normals) {
    const Vector3 u = std::fabs(n.y) > 0 ? Vector3{1, 0, 0} : Vector3{0, 1, 0};
    const Vector3 v = Cross(n, u);
    const auto base = static_cast<uint16_t>(vertices->size());
    for (int corner = 0; corner < 4; ++corner) {
      const float su = corner & 1 ? 1.0f : -1.0f, sv = corner & 2 ? 1.0f : -1.0f;
      vertices->push_back({n.x + su * u.x + sv * v.x, n.y + su * u.y + sv * v.y,
                           n.z + su * u.z + sv * v.z, n.x, n.y, n.z, (su + 1) / 2, (sv + 1) / 2});
    }
    uint16_t quads[2][3] = {{0, 1, 2}, {2, 1, 3}};
    for (auto& t : quads) {
      const LitVertex& a = (*vertices)[base + t[0]];
      const LitVertex& b = (*vertices)[base + t[1]];
      const LitVertex& c = (*vertices)[base + t[2]];
      const Vector3 face =
          Cross(Minus({b.x, b.y, b.z}, {a.x, a.y, a.z}), Minus({c.x, c.y, c.z}, {b.x, b.y, b.z}));
      if (Dot(face, n) < 0)
        std::swap(t[1], t[2]);  // the outward normal is (p1 - p0) x (p2 - p1)
      for (uint16_t index : t)
        indices->push_back(static_cast<uint16_t>(base + index));
    }
  }
}

class SceneTest : public EitherClipSpace {};

TEST_P(SceneTest, StageLikeFrameMatchesTheReference) {
  RenderDevice& d = *device_;
  ASSERT_TRUE(d.SetViewport(Viewport{0, 0, 160, 120, 0, 1}));
  d.Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF8090A0u, 1.0f, 0);
  d.SetTransform(TransformState::Projection,
                 PerspectiveFovLH(std::numbers::pi_v<float> / 4, 4.0f / 3.0f, 1, 100));
  d.SetTransform(TransformState::View, Translation(0, -0.5f, 0));
  d.SetRenderState(RenderState::FogEnable, 1u);
  d.SetRenderState(RenderState::FogTableMode, FogMode::Linear);
  d.SetRenderState(RenderState::FogColor, 0xFF8090A0u);
  d.SetRenderState(RenderState::FogStart, FloatBits(6));
  d.SetRenderState(RenderState::FogEnd, FloatBits(30));
  d.SetRenderState(RenderState::Ambient, 0x00202020u);
  Light sun;
  sun.direction = {0.3f, -1, 0.6f};
  sun.diffuse = {1, 0.95f, 0.8f, 1};
  sun.ambient = {0.15f, 0.15f, 0.2f, 1};
  d.SetLight(0, sun);
  d.LightEnable(0, true);
  d.SetSamplerState(0, SamplerState::AddressU, TextureAddress::Mirror);
  d.SetSamplerState(0, SamplerState::AddressV, TextureAddress::Mirror);
  d.SetSamplerState(0, SamplerState::MagFilter, TextureFilter::Linear);
  d.SetSamplerState(0, SamplerState::MinFilter, TextureFilter::Linear);

  // Meshes: a checkered cube near, and the same cube far away in the fog.
  std::vector<LitVertex> vertices;
  std::vector<uint16_t> indices;
  BuildCube(&vertices, &indices);
  auto vb =
      d.CreateVertexBuffer(static_cast<uint32_t>(vertices.size() * sizeof(LitVertex)), kLitFvf);
  auto ib = d.CreateIndexBuffer(static_cast<uint32_t>(indices.size()));
  ASSERT_TRUE(vb->Update(0, vertices.data(), vb->Size()));
  ASSERT_TRUE(ib->Update(0, indices.data(), ib->Count()));
  std::vector<Argb> checker(64);
  for (int i = 0; i < 64; ++i)
    checker[i] = (i % 8 + i / 8) % 2 == 0 ? 0xFFFFFFFFu : 0xFF3050C0u;
  auto texture = MakeTexture(8, 8, checker);
  Material material;
  material.diffuse = {0.9f, 0.7f, 0.5f, 1};
  material.ambient = material.diffuse;
  d.SetMaterial(material);
  d.SetTexture(0, texture.get());
  d.SetFvf(kLitFvf);
  d.SetStreamSource(vb.get(), sizeof(LitVertex));
  d.SetIndices(ib.get());
  const Matrix4 turn = Multiply(RotationY(0.6f), RotationX(0.4f));
  d.SetTransform(TransformState::World, Multiply(turn, Translation(-0.8f, 0, 7)));
  ASSERT_TRUE(d.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 24, 0, 12));
  d.SetTransform(TransformState::World, Multiply(turn, Translation(4, 1, 24)));
  ASSERT_TRUE(d.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, 24, 0, 12));

  // Translucent pass: additive glows in view space, unlit, unfogged, depth writes off.
  d.SetRenderState(RenderState::AlphaBlendEnable, 1u);
  d.SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
  d.SetRenderState(RenderState::DestBlend, Blend::One);
  d.SetRenderState(RenderState::ZWriteEnable, 0u);
  d.SetRenderState(RenderState::Lighting, 0u);
  d.SetRenderState(RenderState::FogEnable, 0u);
  d.SetRenderState(RenderState::CullMode, CullMode::None);
  d.SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Modulate);
  d.SetTextureStageState(0, TextureStageState::ColorArg2, kTaDiffuse);
  std::vector<Argb> glow(16 * 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const float r = std::hypot(x - 7.5f, y - 7.5f) / 8;
      glow[y * 16 + x] = PackColor(1, 1, 1, std::fmax(0.0f, 1 - r));
    }
  }
  auto glowTexture = MakeTexture(16, 16, glow);
  d.SetTexture(0, glowTexture.get());
  d.SetTransform(TransformState::World, Matrix4{});
  d.SetTransform(TransformState::View, Matrix4{});
  std::vector<ColorVertex> quads;
  std::vector<uint16_t> quadIndices;
  const struct {
    float x, y, z, h;
    Argb color;
  } glows[3] = {{0.2f, -0.6f, 6, 1.2f, 0xC0FF8020u},
                {-1.5f, 0.2f, 8, 1.0f, 0xA020FF60u},
                {0.6f, -0.2f, 9, 2.0f, 0x802060FFu}};
  for (const auto& g : glows) {
    const auto i = static_cast<uint16_t>(quads.size());
    quads.push_back({g.x - g.h, g.y + g.h, g.z, g.color, 0, 0});
    quads.push_back({g.x + g.h, g.y + g.h, g.z, g.color, 1, 0});
    quads.push_back({g.x + g.h, g.y - g.h, g.z, g.color, 1, 1});
    quads.push_back({g.x - g.h, g.y - g.h, g.z, g.color, 0, 1});
    for (int k : {0, 1, 3, 2, 3, 1})
      quadIndices.push_back(static_cast<uint16_t>(i + k));
  }
  d.SetFvf(kColorFvf);
  ASSERT_TRUE(d.DrawIndexedPrimitiveUP(PrimitiveType::TriangleList, 0, 12, 6, quadIndices.data(),
                                       quads.data(), sizeof(ColorVertex)));
  d.SetRenderState(RenderState::ZWriteEnable, 1u);
  d.SetRenderState(RenderState::AlphaBlendEnable, 0u);

  // Sprites last: a framed gauge in the corner, pixel for pixel.
  std::vector<Argb> gauge(24 * 8, 0xFF20E040u);
  for (int x = 0; x < 24; ++x)
    gauge[x] = gauge[7 * 24 + x] = 0xFFFFFFFFu;
  auto gaugeTexture = MakeTexture(24, 8, gauge);
  gfx::Sprite sprite(d);
  ASSERT_TRUE(sprite.Begin());
  ASSERT_TRUE(sprite.Draw(gaugeTexture.get(), nullptr, 1, 1, 0, 0, 0, 4, 4, 0xFFFFFFFFu));
  const Rect half{0, 0, 12, 8};
  ASSERT_TRUE(sprite.Draw(gaugeTexture.get(), &half, 2, 1, 0, 0, 0, 4, 14, 0x80FFFFFFu));
  ASSERT_TRUE(sprite.End());

  EXPECT_TRUE(MatchesReference("stage-frame", 160, 120, 2));
  EXPECT_EQ(Pixel(4, 4), 0xFFFFFFFFu) << "the sprite's frame, unscaled";
  EXPECT_EQ(Pixel(27, 5), 0xFF20E040u);
  EXPECT_EQ(Pixel(28, 5), Pixel(29, 5)) << "outside the sprite";
}

INSTANTIATE_TEST_SUITE_P(GlDevice, SceneTest, ::testing::Bool(), ClipSpaceName);

}  // namespace
}  // namespace quarn::testing
