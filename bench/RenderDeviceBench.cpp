// Work: whole 640 x 480 frames (begin, clear, draws, end, present) of three kinds, each with
// the OpenGL device on an off-screen window (Mesa's software rasteriser on this machine) and
// with the null device, which does the same calls and draws nothing:
//   Meshes:  2,000 instances of one 500-triangle lit, textured mesh from static buffers, each
//            with its own world matrix and material, two directional lights, linear fog;
//   Quads:   10,000 camera-facing textured quads, additive, depth writes off, drawn from memory
//            through DrawIndexedPrimitiveUP in batches of 1,024 (as particles are);
//   Sprites: 200 32 x 32 sprites from one texture through the sprite (as the HUD draws).
// The GL device is timed twice: full frames, and with a 1 x 1 viewport so that almost nothing
// is rasterised (what is left is our layer and the driver's per-call work). Each frame waits
// for the GPU. Reports frames per second ("fps").
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "gfxutil/Sprite.h"
#include "platform/GlRenderDevice.h"
#include "platform/NullRenderDevice.h"
#include "platform/Window.h"

namespace {

using namespace quarn::platform;

struct LitVertex {
  float x, y, z, nx, ny, nz, u, v;
};
struct ColorVertex {
  float x, y, z;
  Argb color;
  float u, v;
};

Matrix4 Perspective() {
  Matrix4 m;
  const float yScale = 1.0f / std::tan(std::numbers::pi_v<float> / 8);
  m.m[0][0] = yScale * 0.75f;
  m.m[1][1] = yScale;
  m.m[2][2] = 8000.0f / 7999.0f;
  m.m[2][3] = 1;
  m.m[3][2] = -8000.0f / 7999.0f;
  m.m[3][3] = 0;
  return m;
}

// A sphere of 10 x 25 quads: 500 triangles.
void BuildSphere(std::vector<LitVertex>* vertices, std::vector<uint16_t>* indices) {
  const int rings = 10, segments = 25;
  for (int r = 0; r <= rings; ++r) {
    const float theta = std::numbers::pi_v<float> * static_cast<float>(r) / rings;
    for (int s = 0; s <= segments; ++s) {
      const float phi = 2 * std::numbers::pi_v<float> * static_cast<float>(s) / segments;
      const float x = std::sin(theta) * std::cos(phi), y = std::cos(theta);
      const float z = std::sin(theta) * std::sin(phi);
      vertices->push_back(
          {x, y, z, x, y, z, static_cast<float>(s) / segments, static_cast<float>(r) / rings});
    }
  }
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s < segments; ++s) {
      const auto a = static_cast<uint16_t>(r * (segments + 1) + s);
      const auto b = static_cast<uint16_t>(a + segments + 1);
      for (uint16_t i : {a, static_cast<uint16_t>(a + 1), b, b, static_cast<uint16_t>(a + 1),
                         static_cast<uint16_t>(b + 1)})
        indices->push_back(i);
    }
  }
}

std::unique_ptr<Texture> MakeTexture(RenderDevice& device, uint32_t size) {
  auto texture = device.CreateTexture(size, size, 1, 0, Format::A8R8G8B8, Pool::Managed);
  std::vector<Argb> pixels(size * size);
  for (uint32_t i = 0; i < pixels.size(); ++i)
    pixels[i] = ((i % size / 4 + i / size / 4) % 2) != 0 ? 0xFFFFFFFFu : 0x80C08040u;
  texture->UpdateLevel(0, pixels.data(), size * 4);
  return texture;
}

// One kind of frame, prepared once on a device.
class FrameWork {
 public:
  virtual ~FrameWork() = default;
  virtual void Draw(RenderDevice& device) = 0;
};

class MeshFrame final : public FrameWork {
 public:
  explicit MeshFrame(RenderDevice& device) {
    std::vector<LitVertex> vertices;
    std::vector<uint16_t> indices;
    BuildSphere(&vertices, &indices);
    vb_ = device.CreateVertexBuffer(static_cast<uint32_t>(vertices.size() * sizeof(LitVertex)),
                                    kFvfXyz | kFvfNormal | kFvfTex1);
    vb_->Update(0, vertices.data(), vb_->Size());
    ib_ = device.CreateIndexBuffer(static_cast<uint32_t>(indices.size()));
    ib_->Update(0, indices.data(), ib_->Count());
    vertexCount_ = static_cast<uint32_t>(vertices.size());
    texture_ = MakeTexture(device, 64);
    for (int i = 0; i < 2000; ++i) {
      Matrix4 world;
      world.m[3][0] = static_cast<float>(i % 50 - 25) * 2.5f;
      world.m[3][1] = static_cast<float>(i / 50 % 8 - 4) * 2.5f;
      world.m[3][2] = 40.0f + static_cast<float>(i / 400) * 12.0f;
      worlds_.push_back(world);
    }
  }
  void Draw(RenderDevice& d) override {
    d.SetTransform(TransformState::Projection, Perspective());
    d.SetTransform(TransformState::View, Matrix4{});
    d.SetRenderState(RenderState::FogEnable, 1u);
    d.SetRenderState(RenderState::FogTableMode, FogMode::Linear);
    d.SetRenderState(RenderState::FogColor, 0xFF8090A0u);
    d.SetRenderState(RenderState::FogStart, FloatBits(30));
    d.SetRenderState(RenderState::FogEnd, FloatBits(120));
    Light light;
    light.direction = {0.3f, -1, 0.5f};
    light.diffuse = {1, 1, 0.9f, 1};
    light.ambient = {0.2f, 0.2f, 0.2f, 1};
    d.SetLight(0, light);
    d.LightEnable(0, true);
    light.direction = {-1, 0, 0};
    d.SetLight(1, light);
    d.LightEnable(1, true);
    d.SetFvf(kFvfXyz | kFvfNormal | kFvfTex1);
    d.SetStreamSource(vb_.get(), sizeof(LitVertex));
    d.SetIndices(ib_.get());
    Material material;
    for (size_t i = 0; i < worlds_.size(); ++i) {
      const float shade = 0.5f + 0.5f * static_cast<float>(i % 7) / 6;
      material.diffuse = material.ambient = {shade, 0.8f, 1 - shade, 1};
      d.SetTransform(TransformState::World, worlds_[i]);
      d.SetMaterial(material);
      d.SetTexture(0, texture_.get());
      d.DrawIndexedPrimitive(PrimitiveType::TriangleList, 0, 0, vertexCount_, 0, 500);
    }
    d.SetRenderState(RenderState::FogEnable, 0u);
  }

 private:
  std::unique_ptr<VertexBuffer> vb_;
  std::unique_ptr<IndexBuffer> ib_;
  std::unique_ptr<Texture> texture_;
  std::vector<Matrix4> worlds_;
  uint32_t vertexCount_ = 0;
};

class QuadFrame final : public FrameWork {
 public:
  explicit QuadFrame(RenderDevice& device) : texture_(MakeTexture(device, 32)) {
    for (int i = 0; i < 10000; ++i) {
      const float x = static_cast<float>(i % 100 - 50) * 0.4f;
      const float y = static_cast<float>(i / 100 - 50) * 0.3f;
      const float z = 20.0f + static_cast<float>(i % 13);
      const float h = 0.3f;
      const Argb color = 0x80000000u | static_cast<Argb>(i * 2654435761u & 0xFFFFFF);
      vertices_.push_back({x - h, y + h, z, color, 0, 0});
      vertices_.push_back({x + h, y + h, z, color, 1, 0});
      vertices_.push_back({x + h, y - h, z, color, 1, 1});
      vertices_.push_back({x - h, y - h, z, color, 0, 1});
    }
    for (uint16_t q = 0; q < 1024; ++q) {
      for (int k : {0, 1, 3, 2, 3, 1})
        indices_.push_back(static_cast<uint16_t>(q * 4 + k));
    }
  }
  void Draw(RenderDevice& d) override {
    d.SetTransform(TransformState::Projection, Perspective());
    d.SetTransform(TransformState::View, Matrix4{});
    d.SetTransform(TransformState::World, Matrix4{});
    d.SetRenderState(RenderState::Lighting, 0u);
    d.SetRenderState(RenderState::CullMode, CullMode::None);
    d.SetRenderState(RenderState::AlphaBlendEnable, 1u);
    d.SetRenderState(RenderState::SrcBlend, Blend::SrcAlpha);
    d.SetRenderState(RenderState::DestBlend, Blend::One);
    d.SetRenderState(RenderState::ZWriteEnable, 0u);
    d.SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::Modulate);
    d.SetTextureStageState(0, TextureStageState::ColorArg2, kTaDiffuse);
    d.SetTexture(0, texture_.get());
    d.SetFvf(kFvfXyz | kFvfDiffuse | kFvfTex1);
    for (uint32_t first = 0; first < 10000; first += 1024) {
      const uint32_t quads = std::min(1024u, 10000 - first);
      d.DrawIndexedPrimitiveUP(PrimitiveType::TriangleList, 0, quads * 4, quads * 2,
                               indices_.data(), &vertices_[first * 4], sizeof(ColorVertex));
    }
    d.SetRenderState(RenderState::Lighting, 1u);
    d.SetRenderState(RenderState::CullMode, CullMode::CounterClockwise);
    d.SetRenderState(RenderState::AlphaBlendEnable, 0u);
    d.SetRenderState(RenderState::ZWriteEnable, 1u);
  }

 private:
  std::unique_ptr<Texture> texture_;
  std::vector<ColorVertex> vertices_;
  std::vector<uint16_t> indices_;
};

class SpriteFrame final : public FrameWork {
 public:
  explicit SpriteFrame(RenderDevice& device) : texture_(MakeTexture(device, 256)) {}
  void Draw(RenderDevice& d) override {
    quarn::gfx::Sprite sprite(d);
    sprite.Begin();
    for (int i = 0; i < 200; ++i) {
      const Rect source{i % 8 * 32, i / 8 % 8 * 32, i % 8 * 32 + 32, i / 8 % 8 * 32 + 32};
      sprite.Draw(texture_.get(), &source, 1, 1, 0, 0, 0, static_cast<float>(i % 20 * 31),
                  static_cast<float>(i / 20 * 45), 0xFFFFFFFFu);
    }
    sprite.End();
  }

 private:
  std::unique_ptr<Texture> texture_;
};

enum class Backend { Gl, GlNoFill, Null };

// The window and device stay for the whole run: making a GL context per benchmark would
// cost more than the frames.
struct GlStage {
  std::unique_ptr<Window> window;
  std::unique_ptr<GlRenderDevice> device;
};

GlStage& SharedGl() {
  static GlStage stage = [] {
    GlStage made;
    WindowDesc desc;
    desc.videoDriver = "offscreen";
    std::string error;
    made.window = Window::Create(desc, &error);
    if (made.window != nullptr)
      made.device = GlRenderDevice::Create(*made.window, PresentParameters{}, &error);
    return made;
  }();
  return stage;
}

template <class Work>
void RunFrames(benchmark::State& state, Backend backend) {
  NullRenderDevice null;
  RenderDevice* device = &null;
  GlRenderDevice* gl = nullptr;
  if (backend != Backend::Null) {
    gl = SharedGl().device.get();
    if (gl == nullptr) {
      state.SkipWithError("no OpenGL device");
      return;
    }
    device = gl;
  }
  Work work(*device);
  const Viewport viewport =
      backend == Backend::GlNoFill ? Viewport{0, 0, 1, 1, 0, 1} : Viewport{0, 0, 640, 480, 0, 1};
  for (auto _ : state) {
    device->BeginScene();
    device->SetViewport(viewport);
    device->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF8090A0u, 1.0f, 0);
    work.Draw(*device);
    device->EndScene();
    device->Present(nullptr);
    if (gl != nullptr)
      gl->WaitForIdle();
    null.ClearDraws();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Meshes(benchmark::State& state) {
  RunFrames<MeshFrame>(state, Backend::Gl);
}
void MeshesNoFill(benchmark::State& state) {
  RunFrames<MeshFrame>(state, Backend::GlNoFill);
}
void MeshesNull(benchmark::State& state) {
  RunFrames<MeshFrame>(state, Backend::Null);
}
void Quads(benchmark::State& state) {
  RunFrames<QuadFrame>(state, Backend::Gl);
}
void QuadsNoFill(benchmark::State& state) {
  RunFrames<QuadFrame>(state, Backend::GlNoFill);
}
void QuadsNull(benchmark::State& state) {
  RunFrames<QuadFrame>(state, Backend::Null);
}
void Sprites(benchmark::State& state) {
  RunFrames<SpriteFrame>(state, Backend::Gl);
}
void SpritesNoFill(benchmark::State& state) {
  RunFrames<SpriteFrame>(state, Backend::GlNoFill);
}
void SpritesNull(benchmark::State& state) {
  RunFrames<SpriteFrame>(state, Backend::Null);
}

BENCHMARK(Meshes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MeshesNoFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MeshesNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Quads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(QuadsNoFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(QuadsNull)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Sprites)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SpritesNoFill)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SpritesNull)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
