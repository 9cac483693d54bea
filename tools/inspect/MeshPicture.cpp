#include "MeshPicture.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/GraphicsDevice.h"
#include "gfxutil/ImageWriter.h"
#include "gfxutil/Matrix.h"
#include "gfxutil/TextureCreation.h"
#include "gfxutil/XMeshLoader.h"
#include "platform/Window.h"

namespace quarn::tools {

namespace {
using platform::RenderState;

struct View {
  uint32_t x, y;
  gfx::Vector3 toEye;  // from the mesh towards the camera
  gfx::Vector3 up;
};
}  // namespace

int DrawMeshPicture(const std::string& meshPath, const std::string& pngPath, bool unlit,
                    std::ostream& err) {
  platform::WindowDesc desc;
  desc.videoDriver = "offscreen";
  desc.visible = false;
  std::string error;
  std::unique_ptr<platform::Window> window = platform::Window::Create(desc, &error);
  if (window == nullptr) {
    err << "quarn-inspect: no off-screen window: " << error << "\n";
    return 1;
  }
  GraphicsDevice graphics;
  if (!graphics.Create(window->Handle(), GraphicsParams{0, 640, 480})) {
    err << "quarn-inspect: no graphics device: " << graphics.LastError() << "\n";
    return 1;
  }
  platform::RenderDevice& device = *graphics.GetDevice();
  std::unique_ptr<gfx::Mesh> mesh = gfx::LoadMeshFromX(meshPath, device, &error);
  if (mesh == nullptr) {
    err << "quarn-inspect: " << meshPath << ": " << error << "\n";
    graphics.Release();
    return 1;
  }
  const size_t slash = meshPath.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : meshPath.substr(0, slash);
  std::vector<std::unique_ptr<platform::Texture>> textures;
  for (const gfx::FileMaterial& material : mesh->Materials()) {
    textures.push_back(
        material.textureFile.empty()
            ? nullptr
            : gfx::CreateTextureFromFile(device, folder + "/" + material.textureFile));
    if (!material.textureFile.empty() && textures.back() == nullptr)
      err << "quarn-inspect: " << material.textureFile << ": not found beside the mesh\n";
  }
  gfx::Vector3 centre;
  float radius = 1;
  mesh->ComputeBoundingSphere(&centre, &radius);
  const float fov = std::numbers::pi_v<float> / 4;
  const float distance = radius / std::sin(fov / 2) * 1.05f;

  device.SetRenderState(RenderState::Lighting, unlit ? 0 : 1);
  device.SetRenderState(RenderState::Ambient, 0xFF606060u);
  device.SetRenderState(RenderState::AlphaBlendEnable, 1);
  device.SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(platform::Blend::SrcAlpha));
  device.SetRenderState(RenderState::DestBlend,
                        static_cast<uint32_t>(platform::Blend::InvSrcAlpha));
  // Alpha from the texture and the material together, as the game leaves it after its effects.
  device.SetTextureStageState(0, platform::TextureStageState::AlphaOp,
                              static_cast<uint32_t>(platform::TextureOp::Modulate));
  platform::Light sun;
  sun.direction = {0.45f, -0.75f, 0.5f};
  sun.diffuse = {0.85f, 0.85f, 0.8f, 1};
  device.SetLight(0, sun);
  device.LightEnable(0, true);
  device.SetTransform(
      platform::TransformState::Projection,
      gfx::MatrixPerspectiveFovLH(fov, 4.0f / 3.0f, distance * 0.01f, distance * 4));
  device.SetTransform(platform::TransformState::World, gfx::MatrixIdentity());
  const View views[] = {{0, 0, {-0.6f, 0.45f, 0.65f}, {0, 1, 0}},
                        {320, 0, {-1, 0, 0}, {0, 1, 0}},
                        {0, 240, {0, 1, 0}, {0, 0, 1}},
                        {320, 240, {0, 0.1f, -1}, {0, 1, 0}}};
  device.BeginScene();
  device.Clear(0, nullptr, platform::kClearTarget | platform::kClearZBuffer, 0xFF4A5A6Au, 1, 0);
  for (const View& view : views) {
    device.SetViewport({view.x, view.y, 320, 240, 0, 1});
    const gfx::Vector3 eye = centre + gfx::Vec3Normalize(view.toEye) * distance;
    device.SetTransform(platform::TransformState::View, gfx::MatrixLookAtLH(eye, centre, view.up));
    for (uint32_t i = 0; i < mesh->SubsetCount() && i < mesh->Materials().size(); ++i) {
      platform::Material material = mesh->Materials()[i].material;
      material.ambient = material.diffuse;
      device.SetMaterial(material);
      device.SetTexture(0, textures[i].get());
      mesh->DrawSubset(i);
    }
  }
  device.SetTexture(0, nullptr);
  device.EndScene();
  std::vector<platform::Argb> pixels;
  uint32_t width = 0, height = 0;
  const bool read = device.ReadBackBuffer(pixels, &width, &height);
  textures.clear();
  mesh.reset();
  graphics.Release();
  std::string problem;
  if (!read ||
      !gfx::ImageWriter::WritePng(pngPath, pixels.data(), width, height, width, false, &problem)) {
    err << "quarn-inspect: " << pngPath << ": cannot be written " << problem << "\n";
    return 1;
  }
  return 0;
}

}  // namespace quarn::tools
