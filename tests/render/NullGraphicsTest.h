#pragma once
// Tests that need the process's graphics device without drawing anything: a null device on a
// window that shows nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/GraphicsDevice.h"
#include "platform/Diagnostics.h"
#include "platform/Window.h"

namespace quarn {

class NullGraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ForgetReportedProblems();
    platform::WindowDesc desc;
    desc.backend = platform::WindowBackend::None;
    std::string error;
    window_ = platform::Window::Create(desc, &error);
    ASSERT_NE(window_, nullptr) << error;
    ASSERT_TRUE(graphics_.Create(window_->Handle(), GraphicsParams{0, 640, 480}));
  }
  void TearDown() override { graphics_.Release(); }

  std::unique_ptr<platform::Window> window_;
  GraphicsDevice graphics_;
};

}  // namespace quarn
