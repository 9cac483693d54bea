#include "platform/GlProgram.h"

#include "platform/GlApi.h"

namespace quarn::platform {

namespace {

std::string ShaderLog(GLuint shader) {
  GLint length = 0;
  glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    glGetShaderInfoLog(shader, length, nullptr, log.data());
  return log;
}

std::string ProgramLog(GLuint program) {
  GLint length = 0;
  glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
  std::string log(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    glGetProgramInfoLog(program, length, nullptr, log.data());
  return log;
}

GLuint Compile(GLenum kind, const std::string& source, std::string* error) {
  const GLuint shader = glCreateShader(kind);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE) {
    if (error != nullptr)
      *error = "shader compilation failed: " + ShaderLog(shader);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

GlProgram::GlProgram(unsigned name, uint32_t variant) : name_(name), variant_(variant) {}

GlProgram::~GlProgram() {
  if (name_ != 0)
    glDeleteProgram(name_);
}

std::unique_ptr<GlProgram> GlProgram::Create(uint32_t variant, const GlFeatures& features,
                                             std::string* error) {
  const GLuint vertex = Compile(
      GL_VERTEX_SHADER,
      FixedFunctionVertexSource(variant, features.glslHeader, !features.clipControl), error);
  if (vertex == 0)
    return nullptr;
  const GLuint fragment =
      Compile(GL_FRAGMENT_SHADER, FixedFunctionFragmentSource(variant, features.glslHeader), error);
  if (fragment == 0) {
    glDeleteShader(vertex);
    return nullptr;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glBindAttribLocation(program, kAttribPosition, "aPosition");
  glBindAttribLocation(program, kAttribNormal, "aNormal");
  glBindAttribLocation(program, kAttribDiffuse, "aDiffuse");
  glBindAttribLocation(program, kAttribTexCoord, "aTexCoord");
  glBindFragDataLocation(program, 0, "fragColor");
  glLinkProgram(program);
  glDetachShader(program, vertex);
  glDetachShader(program, fragment);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    if (error != nullptr)
      *error = "shader linking failed: " + ProgramLog(program);
    glDeleteProgram(program);
    return nullptr;
  }
  std::unique_ptr<GlProgram> result(new GlProgram(program, variant));
  result->FindUniforms();
  return result;
}

void GlProgram::FindUniforms() {
  auto find = [this](const char* name) { return glGetUniformLocation(name_, name); };
  Locations& l = locations_;
  l.worldView = find("uWorldView");
  l.projection = find("uProjection");
  l.screen = find("uScreen");
  l.materialDiffuse = find("uMaterialDiffuse");
  l.materialAmbient = find("uMaterialAmbient");
  l.materialSpecular = find("uMaterialSpecular");
  l.materialEmissive = find("uMaterialEmissive");
  l.materialPower = find("uMaterialPower");
  l.ambient = find("uAmbient");
  l.lightCount = find("uLightCount");
  l.lightDirection = find("uLightDirection");
  l.lightDiffuse = find("uLightDiffuse");
  l.lightSpecular = find("uLightSpecular");
  l.specularEnable = find("uSpecularEnable");
  l.diffuseFromVertex = find("uDiffuseFromVertex");
  l.ambientFromVertex = find("uAmbientFromVertex");
  l.normalizeNormals = find("uNormalizeNormals");
  l.fog = find("uFog");
  l.fogColor = find("uFogColor");
  l.texture = find("uTexture");
  l.colorStage = find("uColorStage");
  l.alphaStage = find("uAlphaStage");
  l.alphaFunc = find("uAlphaFunc");
  l.alphaRef = find("uAlphaRef");
  glUseProgram(name_);
  if (l.texture >= 0)
    glUniform1i(l.texture, 0);
}

}  // namespace quarn::platform
