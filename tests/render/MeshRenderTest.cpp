// Meshes from the archive drawn by the render manager on the OpenGL device: a lit, textured
// mesh shared by two objects compared with its reference picture, and the translucent pass
// drawing without depth writes.
#include <gtest/gtest.h>

#include <numbers>

#include "engine/GraphicsDevice.h"
#include "engine/ResourceCache.h"
#include "gfxutil/Matrix.h"
#include "platform/Window.h"
#include "render/Drawable.h"
#include "render/Mesh.h"
#include "render/MeshInstance.h"
#include "render/MeshTestFiles.h"
#include "render/RenderManager.h"
#include "render/RenderTest.h"
#include "render/Transform.h"
#include "render/ViewCamera.h"

namespace quarn::testing {
namespace {

using namespace platform;

// Looks from a node with a 45-degree, 4:3 perspective, as the stage camera does.
class TestCamera : public ViewCamera {
 public:
  explicit TestCamera(RenderDevice& device) : device_(device) {}
  bool ApplyView() override {
    return device_.SetTransform(TransformState::View, frame.GetInverseWorldMatrix()) &&
           device_.SetTransform(
               TransformState::Projection,
               gfx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 4, 4.0f / 3.0f, 1, 100));
  }
  bool TestBox(const BoxCorners&) override { return true; }

  Transform frame;

 private:
  RenderDevice& device_;
};

// A scene object with one mesh, drawn in the opaque or in the translucent pass.
class MeshObject : public Drawable {
 public:
  MeshObject(Mesh* mesh, bool translucent) : translucent_(translucent) {
    instance_.SetMesh(mesh);
    instance_.SetFrame(&frame);
  }
  bool Cull(ViewCamera& camera, bool alphaPass) override {
    BoxCorners corners;
    return alphaPass == translucent_ && instance_.GetBoxCorners(&corners) &&
           camera.TestBox(corners);
  }
  bool DrawNormal() override { return !translucent_ && instance_.Draw(); }
  bool DrawAlpha() override { return translucent_ && instance_.Draw(); }

  Transform frame;

 private:
  MeshInstance instance_;
  bool translucent_;
};

class MeshRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowDesc desc;
    desc.videoDriver = "offscreen";
    std::string error;
    window_ = Window::Create(desc, &error);
    ASSERT_NE(window_, nullptr) << error;
    ASSERT_TRUE(graphics_.Create(window_->Handle(), GraphicsParams{0, 640, 480}))
        << graphics_.LastError();
    device_ = graphics_.GetDevice();
    device_->SetViewport(Viewport{0, 0, 160, 120, 0, 1});
    camera_ = std::make_unique<TestCamera>(*device_);
    manager_.SetCamera(camera_.get());
  }
  void TearDown() override {
    cache_.reset();
    graphics_.Release();
  }
  void DrawFrame(Argb background) {
    ASSERT_TRUE(device_->BeginScene());
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, background, 1.0f, 0);
    EXPECT_TRUE(manager_.Render());
    ASSERT_TRUE(device_->EndScene());
  }
  Argb Pixel(int x, int y) {
    std::vector<Argb> pixels;
    uint32_t width = 0, height = 0;
    EXPECT_TRUE(device_->ReadBackBuffer(pixels, &width, &height));
    return pixels.at(static_cast<size_t>(y) * width + static_cast<size_t>(x));
  }

  std::unique_ptr<Window> window_;
  GraphicsDevice graphics_;
  RenderDevice* device_ = nullptr;
  std::unique_ptr<TestCamera> camera_;
  RenderManager manager_;
  std::unique_ptr<TestArchive> archive_;
  std::unique_ptr<ResourceCache> cache_;
};

TEST_F(MeshRenderTest, ALitTexturedMeshFromTheArchiveMatchesTheReference) {
  // Sides +x, -x, +y, -y textured; +z and -z plain blue.
  archive_ = std::make_unique<TestArchive>(std::vector<std::pair<std::string, std::string>>{
      {"Crate.x",
       CubeFile({ColourMaterial(1, 0.85f, 0.6f, "Checker.PNG"), ColourMaterial(0.25f, 0.5f, 1)},
                {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1})},
      {"checker.png", CheckerPng(4, 0xFFFFFFFFu, 0xFFC04020u)}});
  cache_ = std::make_unique<ResourceCache>(&archive_->Get(), nullptr);
  Mesh* mesh = cache_->GetMesh("Crate.x");
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(cache_->GetMesh("Crate.x"), mesh);

  device_->SetRenderState(RenderState::Ambient, 0xFF404040u);
  Light sun;
  sun.direction = {0.5f, -0.8f, 0.6f};
  sun.diffuse = {1, 1, 0.9f, 1};
  device_->SetLight(0, sun);
  device_->LightEnable(0, true);

  camera_->frame.SetPosition({0, 2, -7});
  camera_->frame.SetOrientation({0, -2, 7}, {0, 1, 0});
  MeshObject left(mesh, false), right(mesh, false);
  left.frame.SetPosition({-1.7f, 0, 0});
  left.frame.RotateHeadingPitchBank(0.6f, 0.3f, 0);
  right.frame.SetPosition({1.8f, 0.3f, 2});
  right.frame.RotateHeadingPitchBank(-0.5f, 0, 0.2f);
  ASSERT_TRUE(manager_.AddDrawable(&left));
  ASSERT_TRUE(manager_.AddDrawable(&right));

  DrawFrame(0xFF405060u);
  EXPECT_TRUE(BackBufferMatchesReference(*device_, "textured-mesh", 160, 120, 2));
}

TEST_F(MeshRenderTest, TranslucentObjectsNeverHideThoseDrawnAfterThemInTheSamePass) {
  archive_ = std::make_unique<TestArchive>(std::vector<std::pair<std::string, std::string>>{
      {"near.x", CubeFile({ColourMaterial(1, 0, 0, "", 0.5f)}, std::vector<uint32_t>(12, 0))},
      {"far.x", CubeFile({ColourMaterial(0, 1, 0)}, std::vector<uint32_t>(12, 0))}});
  cache_ = std::make_unique<ResourceCache>(&archive_->Get(), nullptr);
  // Unlit but for a white ambient light: every face shows its material colour exactly, and
  // its alpha comes from the material.
  device_->SetRenderState(RenderState::Ambient, 0xFFFFFFFFu);
  device_->SetTextureStageState(0, TextureStageState::AlphaOp, TextureOp::SelectArg2);
  camera_->frame.SetPosition({0, 0, -6});
  MeshObject nearCube(cache_->GetMesh("near.x"), true), farCube(cache_->GetMesh("far.x"), true);
  nearCube.frame.SetPosition({0, 0, 0});
  farCube.frame.SetPosition({0, 0, 6});
  // The near one first: with depth writes on it would keep the far one out.
  manager_.AddDrawable(&nearCube);
  manager_.AddDrawable(&farCube);

  DrawFrame(0xFF000000u);
  EXPECT_TRUE(ColorNear(Pixel(80, 60), 0xFF00FF00u, 2)) << "the far cube drawn over the near";
  EXPECT_TRUE(ColorNear(Pixel(80, 38), 0xFF800000u, 2)) << "the near cube alone, half red";
  EXPECT_EQ(device_->GetRenderState(RenderState::ZWriteEnable), 1u);
}

}  // namespace
}  // namespace quarn::testing
