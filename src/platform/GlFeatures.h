#pragma once
// What the current OpenGL context offers beyond what the backend requires (3.0 with GLSL 1.30).
#include <string>

namespace quarn::platform {

struct GlFeatures {
  int major = 0;
  int minor = 0;
  bool coreProfile = false;
  // glClipControl: Direct3D's depth range and a top-left origin without touching the shaders.
  bool clipControl = false;
  // glDrawElementsBaseVertex: streamed vertices need no attribute re-pointing per draw.
  bool baseVertex = false;
  std::string glslHeader;  // "#version ..." line the shaders start with

  // Reads the current context. False (with the reason) when it lacks what the shaders need.
  bool Query(std::string* error);
};

}  // namespace quarn::platform
