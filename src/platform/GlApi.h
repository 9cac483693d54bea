#pragma once
// OpenGL declarations for the GL backend's own source files; nothing outside src/platform
// includes this.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
