#pragma once
// The part that makes a unit's power visible and audible: propellers that spin with the
// throttle (drawn in the translucent pass) and a looping engine sound whose pitch rises with
// it. It can be shot like any part; a broken engine stops turning and falls silent.
#include <memory>
#include <vector>

#include "render/MeshInstance.h"
#include "render/SoundEmitter.h"
#include "render/Transform.h"
#include "units/Container.h"

namespace quarn {

class Engine : public Container {
 public:
  struct Propeller {
    Transform frame;  // under the engine body, at the propeller's position
    MeshInstance mesh;
    bool clockwise = false;
  };

  explicit Engine(StageServices* stage);
  ~Engine() override;

  using Container::Load;
  bool Load(const std::string& file, Container* owner) override;
  void Unload() override;
  void Activate(int side) override;
  void Deactivate() override;
  void Break() override;
  void UpdateAlive() override;
  // The throttle clamped to [0, 1]; the unclamped value goes on to this engine's own engines.
  void SetEngineThrottle(float fraction) override;

  bool Cull(ViewCamera& camera, bool alphaPass) override;
  bool DrawAlpha() override;

  float Throttle() const { return throttle_; }
  const std::vector<std::unique_ptr<Propeller>>& Propellers() const { return propellers_; }
  SoundEmitter& Sound() { return sound_; }
  bool HasSound() const { return soundEnable_; }
  Particle* ExhaustParticle() const { return exhaust_; }
  // Propeller speed at the current throttle, degrees per second.
  float PropellerRate() const;
  // The flash mesh (a jet's glow) shows while the engine is alive.
  bool FlashShown() const;

 private:
  bool exhaustEnable_ = false;
  Particle* exhaust_ = nullptr;
  bool flashMeshEnable_ = false;
  MeshInstance flashMesh_;
  bool soundEnable_ = false;
  SoundEmitter sound_;
  float minPropeller_ = 0;
  float maxPropeller_ = 0;
  std::vector<std::unique_ptr<Propeller>> propellers_;
  float throttle_ = 0;
};

}  // namespace quarn
