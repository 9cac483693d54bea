#pragma once
// The look of a stage's world, from the stage file's "Scene" section: linear fog with its
// colour (also the clear colour), the sky around the camera, the ground, an environment
// particle system (rain, snow) and directional lights.
#include <memory>
#include <vector>

#include "platform/DeviceTypes.h"
#include "platform/RenderDevice.h"

namespace quarn {

class DefinitionFile;
class DirectionalLight;
class Ground;
class Particle;
class Sky;
class StageServices;

class SceneEnvironment {
 public:
  explicit SceneEnvironment(StageServices* stage);
  ~SceneEnvironment();
  SceneEnvironment(const SceneEnvironment&) = delete;
  SceneEnvironment& operator=(const SceneEnvironment&) = delete;

  // Reads the "Scene" section of stage (an empty file gives no fog, sky, ground or lights).
  bool LoadEnvironment(DefinitionFile& stage);
  // The stage's own fog distances (after the ground and the buildings drew with theirs).
  void ApplyFogDistances() const;
  // Fog states, then every light.
  void ApplyEnvironment() const;
  // Moves the environment particle's node to the camera when the stage asks for it, so that
  // rain or snow falls wherever the player flies; otherwise it stays where the stage put it.
  void FollowCamera() const;
  // Lights, then the environment particle, the ground and the sky.
  void Finish();

  bool FogEnabled() const { return fogEnable_; }
  platform::Argb FogColor() const { return fogColor_; }
  float FogStart() const { return fogStart_; }
  float FogEnd() const { return fogEnd_; }
  Sky* GetSky() const { return sky_.get(); }
  Ground* GetGround() const { return ground_.get(); }
  Particle* EnvironmentParticle() const { return particle_.get(); }
  const std::vector<std::unique_ptr<DirectionalLight>>& Lights() const { return lights_; }

  // A colour as the fog packs it: each channel x 255 cut toward zero, its low 8 bits.
  static platform::Argb PackColor(float r, float g, float b, float a);

 private:
  void SetFogMode(platform::RenderDevice& device) const;

  StageServices* stage_;
  std::unique_ptr<Sky> sky_;
  std::unique_ptr<Ground> ground_;
  std::unique_ptr<Particle> particle_;
  bool followCamera_ = false;
  bool fogEnable_ = false;
  platform::Argb fogColor_ = 0;
  float fogStart_ = 0;
  float fogEnd_ = 0;
  std::vector<std::unique_ptr<DirectionalLight>> lights_;
};

}  // namespace quarn
