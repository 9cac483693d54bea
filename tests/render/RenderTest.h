#pragma once
// A GL render device on an off-screen window for each test, with helpers to draw simple
// geometry and to check the pixels that come back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/GlRenderDevice.h"
#include "platform/Window.h"

namespace quarn::testing {

using platform::Argb;

// Vertex layouts the game draws with.
struct LitVertex {  // XYZ | NORMAL | TEX1
  float x, y, z, nx, ny, nz, u, v;
};
struct ColorVertex {  // XYZ | DIFFUSE | TEX1
  float x, y, z;
  Argb color;
  float u, v;
};
struct ScreenVertex {  // XYZRHW | DIFFUSE | TEX1
  float x, y, z, rhw;
  Argb color;
  float u, v;
};

inline constexpr uint32_t kLitFvf = platform::kFvfXyz | platform::kFvfNormal | platform::kFvfTex1;
inline constexpr uint32_t kColorFvf =
    platform::kFvfXyz | platform::kFvfDiffuse | platform::kFvfTex1;
inline constexpr uint32_t kScreenFvf =
    platform::kFvfXyzRhw | platform::kFvfDiffuse | platform::kFvfTex1;

// Perspective for a left-handed view (depth 0..1), as the game's camera builds it.
platform::Matrix4 PerspectiveFovLH(float fovY, float aspect, float zn, float zf);
platform::Matrix4 Translation(float x, float y, float z);
platform::Matrix4 RotationY(float angle);

// Channels of a packed colour.
int Red(Argb c);
int Green(Argb c);
int Blue(Argb c);
int Alpha(Argb c);
// Packs floats 0..1, rounded.
Argb PackColor(float r, float g, float b, float a = 1.0f);
// Whether every channel of two colours differs by at most tolerance; a readable message if not.
::testing::AssertionResult ColorNear(Argb got, Argb want, int tolerance);

// Compares the top-left width x height pixels of a device's 640 x 480 back buffer with the
// reference picture NAME.png; on a difference writes NAME.got.png beside it.
::testing::AssertionResult BackBufferMatchesReference(platform::RenderDevice& device,
                                                      const std::string& name, uint32_t width,
                                                      uint32_t height, int tolerance);

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  virtual platform::GlDeviceOptions DeviceOptions() const { return {}; }
  void TearDown() override;

  // Makes a device on a window of the given size (the back buffer stays 640 x 480).
  std::unique_ptr<platform::GlRenderDevice> MakeDevice(platform::Window& window,
                                                       const platform::GlDeviceOptions& options);
  std::unique_ptr<platform::Window> MakeWindow(int width, int height, bool fullscreen);

  // The back buffer as it is now.
  const std::vector<Argb>& ReadBack();
  Argb Pixel(int x, int y);  // reads the back buffer again

  // A screen-space rectangle (pixel edges at the given coordinates) in one colour.
  void DrawScreenQuad(float left, float top, float right, float bottom, Argb color, float u0 = 0,
                      float v0 = 0, float u1 = 1, float v1 = 1, float z = 0);
  // A texture of width x height from pixels given top row first.
  std::unique_ptr<platform::Texture> MakeTexture(
      uint32_t width, uint32_t height, const std::vector<Argb>& pixels,
      platform::Format format = platform::Format::A8R8G8B8);

  // Compares the top-left width x height pixels of the back buffer with the reference picture
  // NAME.png; on a difference writes NAME.got.png beside it.
  ::testing::AssertionResult MatchesReference(const std::string& name, uint32_t width,
                                              uint32_t height, int tolerance);

  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::GlRenderDevice> device_;
  std::vector<Argb> pixels_;
};

// The same tests with clip control (true) and with the shaders flipping y and folding depth
// themselves (false), as on a context without it.
class EitherClipSpace : public RenderTest, public ::testing::WithParamInterface<bool> {
 protected:
  platform::GlDeviceOptions DeviceOptions() const override {
    platform::GlDeviceOptions options;
    options.clipControl = GetParam();
    return options;
  }
};

std::string ClipSpaceName(const ::testing::TestParamInfo<bool>& info);

}  // namespace quarn::testing
