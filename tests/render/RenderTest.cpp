#include "render/RenderTest.h"

#include <cmath>
#include <cstdio>

#include "gfxutil/ImageWriter.h"
#include "render/PngReader.h"

namespace quarn::testing {

using namespace platform;

Matrix4 PerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
  Matrix4 m;
  const float yScale = 1.0f / std::tan(fovY / 2);
  const float xScale = yScale / aspect;
  m.m[0][0] = xScale;
  m.m[1][1] = yScale;
  m.m[2][2] = zf / (zf - zn);
  m.m[2][3] = 1;
  m.m[3][2] = -zn * zf / (zf - zn);
  m.m[3][3] = 0;
  return m;
}

Matrix4 Translation(float x, float y, float z) {
  Matrix4 m;
  m.m[3][0] = x;
  m.m[3][1] = y;
  m.m[3][2] = z;
  return m;
}

Matrix4 RotationY(float angle) {
  Matrix4 m;
  m.m[0][0] = std::cos(angle);
  m.m[0][2] = -std::sin(angle);
  m.m[2][0] = std::sin(angle);
  m.m[2][2] = std::cos(angle);
  return m;
}

int Red(Argb c) {
  return static_cast<int>((c >> 16) & 0xFF);
}
int Green(Argb c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
int Blue(Argb c) {
  return static_cast<int>(c & 0xFF);
}
int Alpha(Argb c) {
  return static_cast<int>(c >> 24);
}

Argb PackColor(float r, float g, float b, float a) {
  auto byte = [](float v) {
    return static_cast<uint32_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f));
  };
  return MakeArgb(byte(a), byte(r), byte(g), byte(b));
}

::testing::AssertionResult ColorNear(Argb got, Argb want, int tolerance) {
  const bool near = std::abs(Red(got) - Red(want)) <= tolerance &&
                    std::abs(Green(got) - Green(want)) <= tolerance &&
                    std::abs(Blue(got) - Blue(want)) <= tolerance &&
                    std::abs(Alpha(got) - Alpha(want)) <= tolerance;
  if (near)
    return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "got 0x%08X, want 0x%08X (tolerance %d)", got, want, tolerance);
  return ::testing::AssertionFailure() << text;
}

std::string ClipSpaceName(const ::testing::TestParamInfo<bool>& info) {
  return info.param ? "ClipControl" : "ShaderFlip";
}

std::unique_ptr<Window> RenderTest::MakeWindow(int width, int height, bool fullscreen) {
  WindowDesc desc;
  desc.width = width;
  desc.height = height;
  desc.fullscreen = fullscreen;
  desc.videoDriver = "offscreen";
  std::string error;
  auto window = Window::Create(desc, &error);
  EXPECT_NE(window, nullptr) << error;
  return window;
}

std::unique_ptr<GlRenderDevice> RenderTest::MakeDevice(Window& window,
                                                       const GlDeviceOptions& options) {
  PresentParameters parameters;
  parameters.windowed = !window.IsFullscreen();
  std::string error;
  auto device = GlRenderDevice::Create(window, parameters, &error, options);
  EXPECT_NE(device, nullptr) << error;
  return device;
}

void RenderTest::SetUp() {
  window_ = MakeWindow(640, 480, false);
  ASSERT_NE(window_, nullptr);
  device_ = MakeDevice(*window_, DeviceOptions());
  ASSERT_NE(device_, nullptr);
  device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000u, 1.0f, 0);
}

void RenderTest::TearDown() {
  device_.reset();
  window_.reset();
}

const std::vector<Argb>& RenderTest::ReadBack() {
  uint32_t width = 0, height = 0;
  EXPECT_TRUE(device_->ReadBackBuffer(pixels_, &width, &height));
  EXPECT_EQ(width, 640u);
  EXPECT_EQ(height, 480u);
  return pixels_;
}

Argb RenderTest::Pixel(int x, int y) {
  ReadBack();
  return pixels_.at(static_cast<size_t>(y) * 640 + static_cast<size_t>(x));
}

void RenderTest::DrawScreenQuad(float left, float top, float right, float bottom, Argb color,
                                float u0, float v0, float u1, float v1, float z) {
  const ScreenVertex quad[4] = {{left, top, z, 1, color, u0, v0},
                                {right, top, z, 1, color, u1, v0},
                                {left, bottom, z, 1, color, u0, v1},
                                {right, bottom, z, 1, color, u1, v1}};
  device_->SetFvf(kScreenFvf);
  ASSERT_TRUE(device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, 2, quad, sizeof quad[0]));
}

std::unique_ptr<Texture> RenderTest::MakeTexture(uint32_t width, uint32_t height,
                                                 const std::vector<Argb>& pixels, Format format) {
  auto texture = device_->CreateTexture(width, height, 1, 0, format, Pool::Managed);
  EXPECT_NE(texture, nullptr);
  if (texture != nullptr) {
    EXPECT_TRUE(texture->UpdateLevel(0, pixels.data(), width * 4));
  }
  return texture;
}

::testing::AssertionResult RenderTest::MatchesReference(const std::string& name, uint32_t width,
                                                        uint32_t height, int tolerance) {
  return BackBufferMatchesReference(*device_, name, width, height, tolerance);
}

::testing::AssertionResult BackBufferMatchesReference(RenderDevice& device, const std::string& name,
                                                      uint32_t width, uint32_t height,
                                                      int tolerance) {
  std::vector<Argb> pixels;
  uint32_t backWidth = 0, backHeight = 0;
  if (!device.ReadBackBuffer(pixels, &backWidth, &backHeight) || backWidth != 640 ||
      backHeight != 480) {
    return ::testing::AssertionFailure() << "the back buffer cannot be read";
  }
  std::vector<Argb> got(size_t{width} * height);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x)
      got[size_t{y} * width + x] = pixels[size_t{y} * 640 + x] | 0xFF000000u;
  }
  const std::string base = std::string(QUARN_SOURCE_DIR) + "/tests/render/references/" + name;
  Picture reference;
  std::string problem;
  if (!ReadPng(base + ".png", &reference)) {
    problem = "no reference picture " + base + ".png";
  } else if (reference.width != width || reference.height != height) {
    problem = "the reference picture has another size";
  } else {
    int worst = 0;
    size_t differing = 0;
    for (size_t i = 0; i < got.size(); ++i) {
      const int difference = std::max({std::abs(Red(got[i]) - Red(reference.pixels[i])),
                                       std::abs(Green(got[i]) - Green(reference.pixels[i])),
                                       std::abs(Blue(got[i]) - Blue(reference.pixels[i]))});
      worst = std::max(worst, difference);
      if (difference > tolerance)
        ++differing;
    }
    if (differing == 0)
      return ::testing::AssertionSuccess();
    problem = std::to_string(differing) + " pixels differ, by up to " + std::to_string(worst);
  }
  std::string error;
  gfx::ImageWriter::WritePng(base + ".got.png", got.data(), width, height, width, false, &error);
  return ::testing::AssertionFailure()
         << problem << "; the picture drawn is " << base << ".got.png";
}

}  // namespace quarn::testing
