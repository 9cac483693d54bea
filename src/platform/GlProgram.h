#pragma once
// One linked variant of the fixed-function shader family, with its uniform locations and the
// state generations it last received (so that unchanged constants are not sent again).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/GlFeatures.h"
#include "platform/GlShaderSource.h"

namespace quarn::platform {

class GlProgram {
 public:
  // Compiles and links a variant; null with the compiler's log in *error on failure.
  static std::unique_ptr<GlProgram> Create(uint32_t variant, const GlFeatures& features,
                                           std::string* error);
  ~GlProgram();
  GlProgram(const GlProgram&) = delete;
  GlProgram& operator=(const GlProgram&) = delete;

  unsigned Name() const { return name_; }
  uint32_t Variant() const { return variant_; }

  struct Locations {
    int worldView = -1, projection = -1, screen = -1;
    int materialDiffuse = -1, materialAmbient = -1, materialSpecular = -1;
    int materialEmissive = -1, materialPower = -1, ambient = -1, lightCount = -1;
    int lightDirection = -1, lightDiffuse = -1, lightSpecular = -1;
    int specularEnable = -1, diffuseFromVertex = -1, ambientFromVertex = -1;
    int normalizeNormals = -1;
    int fog = -1, fogColor = -1;
    int texture = -1, colorStage = -1, alphaStage = -1, alphaFunc = -1, alphaRef = -1;
  };
  const Locations& Uniforms() const { return locations_; }

  // Generations of the transform and shading constants this program holds (0: none yet).
  uint64_t transformGeneration = 0;
  uint64_t shadingGeneration = 0;

 private:
  GlProgram(unsigned name, uint32_t variant);
  void FindUniforms();

  unsigned name_;
  uint32_t variant_;
  Locations locations_;
};

}  // namespace quarn::platform
