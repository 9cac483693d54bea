#include "platform/GlFeatures.h"

#include <cstdio>
#include <cstring>

#include "platform/GlApi.h"

namespace quarn::platform {

namespace {
bool HasExtension(const char* name) {
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const auto* extension =
        reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    if (extension != nullptr && std::strcmp(extension, name) == 0)
      return true;
  }
  return false;
}
}  // namespace

bool GlFeatures::Query(std::string* error) {
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) {
    if (error != nullptr)
      *error = "the OpenGL context reports no version";
    return false;
  }
  const int number = major * 10 + minor;
  // Framebuffer objects, vertex array objects and GLSL 1.30 arrive together in 3.0.
  if (number < 30) {
    if (error != nullptr)
      *error = std::string("OpenGL 3.0 or later is needed, the driver offers ") + version;
    return false;
  }
  GLint profile = 0;
  if (number >= 32)
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
  coreProfile = (profile & GL_CONTEXT_CORE_PROFILE_BIT) != 0;
  clipControl = number >= 45 || HasExtension("GL_ARB_clip_control");
  baseVertex = number >= 32 || HasExtension("GL_ARB_draw_elements_base_vertex");
  glslHeader = number >= 33 ? "#version 330 core\n" : "#version 130\n";
  return true;
}

}  // namespace quarn::platform
