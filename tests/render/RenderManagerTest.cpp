// The frame order of the render manager and the device states of each pass, read from the
// draws a null device records.
#include "render/RenderManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/NullRenderDevice.h"
#include "render/Drawable.h"
#include "render/GroundDrawer.h"
#include "render/Overlay.h"
#include "render/SkyDrawer.h"
#include "render/ViewCamera.h"

namespace quarn::testing {
namespace {

using platform::Blend;
using platform::DrawRecord;
using platform::RenderState;

// Every part draws one triangle whose first coordinate is its marker, so that the recorded
// draws tell who drew, in which order and with which states.
constexpr int kSky = 1, kGroundNormal = 2, kGroundAlpha = 3, kHud = 4, kNormal = 10, kAlpha = 20;

void DrawMarker(platform::RenderDevice& device, int marker) {
  const float vertices[9] = {static_cast<float>(marker), 0, 0, 0, 1, 0, 1, 0, 0};
  device.SetFvf(platform::kFvfXyz);
  device.DrawPrimitiveUP(platform::PrimitiveType::TriangleList, 1, vertices, 12);
}

int MarkerOf(const DrawRecord& draw) {
  float x = 0;
  std::memcpy(&x, draw.vertices.data(), sizeof x);
  return static_cast<int>(x);
}

// Parts of a frame that log what they are asked to do and draw their marker.
class Log {
 public:
  explicit Log(platform::RenderDevice& device) : device_(device) {}
  void Note(const std::string& what, int marker = 0) {
    entries.push_back(what);
    if (marker != 0)
      DrawMarker(device_, marker);
  }
  platform::RenderDevice& Device() { return device_; }
  std::vector<std::string> entries;

 private:
  platform::RenderDevice& device_;
};

class LoggingCamera : public ViewCamera {
 public:
  explicit LoggingCamera(Log& log) : log_(log) {}
  bool ApplyView() override {
    log_.Note("camera");
    platform::Matrix4 view;
    view.m[3][2] = 42;
    return log_.Device().SetTransform(platform::TransformState::View, view);
  }
  bool TestBox(const BoxCorners&) override { return true; }

 private:
  Log& log_;
};

class LoggingSky : public SkyDrawer {
 public:
  explicit LoggingSky(Log& log) : log_(log) {}
  bool Draw() override {
    log_.Note("sky", kSky);
    return true;
  }

 private:
  Log& log_;
};

class LoggingGround : public GroundDrawer {
 public:
  explicit LoggingGround(Log& log) : log_(log) {}
  bool DrawNormal() override {
    log_.Note("ground normal", kGroundNormal);
    return true;
  }
  bool DrawAlpha() override {
    log_.Note("ground alpha", kGroundAlpha);
    return true;
  }

 private:
  Log& log_;
};

class LoggingHud : public Overlay {
 public:
  explicit LoggingHud(Log& log) : log_(log) {}
  bool Draw() override {
    log_.Note("hud", kHud);
    return true;
  }

 private:
  Log& log_;
};

class LoggingDrawable : public Drawable {
 public:
  LoggingDrawable(Log& log, int number) : log_(log), number_(number) {}
  bool Cull(ViewCamera&, bool alphaPass) override {
    log_.Note("cull " + Name() + (alphaPass ? " alpha" : " normal"));
    return alphaPass ? visibleAlpha : visibleNormal;
  }
  bool DrawNormal() override {
    log_.Note(Name() + " normal", kNormal + number_);
    if (onDrawNormal)
      onDrawNormal();
    return true;
  }
  bool DrawAlpha() override {
    if (onDrawAlpha)
      onDrawAlpha();
    log_.Note(Name() + " alpha", kAlpha + number_);
    return true;
  }

  bool visibleNormal = true;
  bool visibleAlpha = true;
  std::function<void()> onDrawNormal;
  std::function<void()> onDrawAlpha;

 private:
  std::string Name() const { return "d" + std::to_string(number_); }
  Log& log_;
  int number_;
};

class RenderManagerTest : public ::testing::Test {
 protected:
  void SetAllParts() {
    manager_.SetCamera(&camera_);
    manager_.SetSky(&sky_);
    manager_.SetGround(&ground_);
    manager_.SetHud(&hud_);
  }
  std::vector<int> Markers() const {
    std::vector<int> markers;
    for (const DrawRecord& draw : device_.Draws())
      markers.push_back(MarkerOf(draw));
    return markers;
  }
  const DrawRecord& DrawOf(int marker) const {
    for (const DrawRecord& draw : device_.Draws()) {
      if (MarkerOf(draw) == marker)
        return draw;
    }
    ADD_FAILURE() << "nothing drew marker " << marker;
    return device_.Draws().front();
  }
  static uint32_t StateOf(const DrawRecord& draw, RenderState state) {
    return draw.state.GetRenderState(state);
  }

  platform::NullRenderDevice device_;
  Log log_{device_};
  LoggingCamera camera_{log_};
  LoggingSky sky_{log_};
  LoggingGround ground_{log_};
  LoggingHud hud_{log_};
  LoggingDrawable first_{log_, 1};
  LoggingDrawable second_{log_, 2};
  RenderManager manager_{&device_};
};

TEST_F(RenderManagerTest, AFrameRunsInItsFixedOrder) {
  SetAllParts();
  ASSERT_TRUE(manager_.AddDrawable(&first_));
  ASSERT_TRUE(manager_.AddDrawable(&second_));
  EXPECT_TRUE(manager_.Render());
  EXPECT_EQ(log_.entries, (std::vector<std::string>{
                              "camera", "sky", "ground normal", "cull d1 normal", "d1 normal",
                              "cull d2 normal", "d2 normal", "ground alpha", "cull d1 alpha",
                              "d1 alpha", "cull d2 alpha", "d2 alpha", "hud"}));
  EXPECT_EQ(Markers(), (std::vector<int>{kSky, kGroundNormal, kNormal + 1, kNormal + 2,
                                         kGroundAlpha, kAlpha + 1, kAlpha + 2, kHud}));
  EXPECT_EQ(device_.Draws().front().state.view.m[3][2], 42) << "the view is set before the sky";
}

TEST_F(RenderManagerTest, TheTranslucentPassBlendsWithDepthWritesOffAndTheHudDoesNot) {
  SetAllParts();
  manager_.AddDrawable(&first_);
  manager_.Render();
  for (int marker : {kSky, kGroundNormal, kNormal + 1, kHud}) {
    EXPECT_EQ(StateOf(DrawOf(marker), RenderState::AlphaBlendEnable), 0u) << marker;
    EXPECT_EQ(StateOf(DrawOf(marker), RenderState::ZWriteEnable), 1u) << marker;
  }
  for (int marker : {kGroundAlpha, kAlpha + 1}) {
    const DrawRecord& draw = DrawOf(marker);
    EXPECT_EQ(StateOf(draw, RenderState::AlphaBlendEnable), 1u) << marker;
    EXPECT_EQ(StateOf(draw, RenderState::ZWriteEnable), 0u) << marker;
    EXPECT_EQ(StateOf(draw, RenderState::SrcBlend), static_cast<uint32_t>(Blend::SrcAlpha));
    EXPECT_EQ(StateOf(draw, RenderState::DestBlend), static_cast<uint32_t>(Blend::InvSrcAlpha));
  }
  EXPECT_EQ(device_.State().GetRenderState(RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(device_.State().GetRenderState(RenderState::ZWriteEnable), 1u);
}

TEST_F(RenderManagerTest, BlendFactorsADrawableSetsStayForTheNextOnesUntilTheNextFrame) {
  SetAllParts();
  first_.onDrawAlpha = [this] { device_.SetRenderState(RenderState::DestBlend, Blend::One); };
  manager_.AddDrawable(&first_);
  manager_.AddDrawable(&second_);
  manager_.Render();
  EXPECT_EQ(StateOf(DrawOf(kAlpha + 1), RenderState::DestBlend), static_cast<uint32_t>(Blend::One));
  EXPECT_EQ(StateOf(DrawOf(kAlpha + 2), RenderState::DestBlend), static_cast<uint32_t>(Blend::One))
      << "no reset between drawables";

  device_.ClearDraws();
  first_.onDrawAlpha = nullptr;
  manager_.Render();
  EXPECT_EQ(StateOf(DrawOf(kGroundAlpha), RenderState::DestBlend),
            static_cast<uint32_t>(Blend::InvSrcAlpha))
      << "the pass sets its factors again every frame";
}

TEST_F(RenderManagerTest, AnEmptyListStillDrawsCameraSkyGroundAndHud) {
  SetAllParts();
  EXPECT_TRUE(manager_.Render());
  EXPECT_EQ(log_.entries,
            (std::vector<std::string>{"camera", "sky", "ground normal", "ground alpha", "hud"}));
  EXPECT_EQ(Markers(), (std::vector<int>{kSky, kGroundNormal, kGroundAlpha, kHud}));
}

TEST_F(RenderManagerTest, WithoutCameraSkyGroundOrHudTheDrawablesStillDrawUnculled) {
  first_.visibleNormal = false;
  first_.visibleAlpha = false;
  manager_.AddDrawable(&first_);
  EXPECT_TRUE(manager_.Render());
  EXPECT_EQ(log_.entries, (std::vector<std::string>{"d1 normal", "d1 alpha"}))
      << "without a camera there is no view to cull against";
  EXPECT_EQ(StateOf(DrawOf(kAlpha + 1), RenderState::ZWriteEnable), 0u);
}

TEST_F(RenderManagerTest, ADrawableTheCameraCannotSeeIsSkippedInThatPassOnly) {
  SetAllParts();
  first_.visibleNormal = false;
  second_.visibleAlpha = false;
  manager_.AddDrawable(&first_);
  manager_.AddDrawable(&second_);
  manager_.Render();
  EXPECT_EQ(Markers(),
            (std::vector<int>{kSky, kGroundNormal, kNormal + 2, kGroundAlpha, kAlpha + 1, kHud}));
}

TEST_F(RenderManagerTest, AddingTwiceOrNullFailsAndRemovingKeepsTheOrder) {
  LoggingDrawable third{log_, 3};
  EXPECT_TRUE(manager_.AddDrawable(&first_));
  EXPECT_FALSE(manager_.AddDrawable(&first_));
  EXPECT_FALSE(manager_.AddDrawable(nullptr));
  EXPECT_TRUE(manager_.AddDrawable(&second_));
  EXPECT_TRUE(manager_.AddDrawable(&third));
  EXPECT_EQ(manager_.GetDrawables(), (std::vector<Drawable*>{&first_, &second_, &third}));

  EXPECT_TRUE(manager_.RemoveDrawable(&second_));
  EXPECT_FALSE(manager_.RemoveDrawable(&second_));
  EXPECT_EQ(manager_.GetDrawables(), (std::vector<Drawable*>{&first_, &third}));
  manager_.Render();
  EXPECT_EQ(Markers(), (std::vector<int>{kNormal + 1, kNormal + 3, kAlpha + 1, kAlpha + 3}))
      << "each listed drawable is drawn once per pass";
}

TEST_F(RenderManagerTest, ADrawableThatLeavesWhileDrawingDoesNotMakeTheNextOneMissItsTurn) {
  first_.onDrawNormal = [this] { manager_.RemoveDrawable(&first_); };
  manager_.AddDrawable(&first_);
  manager_.AddDrawable(&second_);
  manager_.Render();
  EXPECT_EQ(Markers(), (std::vector<int>{kNormal + 1, kNormal + 2, kAlpha + 2}));
}

}  // namespace
}  // namespace quarn::testing
