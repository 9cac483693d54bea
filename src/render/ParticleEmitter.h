#pragma once
// One emitter of a particle system: spawns camera-facing textured quads at a rate from a box
// in its frame's axes, moves them in closed form along their birth direction with a vertical
// term, changes their colour, size and animation frame with age, and draws them in the
// translucent pass. Particles live in world space: once born they no longer follow the frame.
#include <cstddef>
#include <string>

#include "gfxutil/Matrix.h"
#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"
#include "render/GraphicsObject.h"
#include "render/ParticleRecord.h"
#include "render/RingQueue.h"

namespace quarn {

class DefinitionFile;
class ResourceCache;
class Texture;
class Transform;

class ParticleEmitter : public GraphicsObject {
 public:
  // The most particles one emitter holds alive; what would be emitted beyond it is dropped.
  static constexpr size_t kMaxParticles = 16384;
  // Particles drawn by one call: the size of the vertex and index arrays.
  static constexpr size_t kBatchParticles = 1024;

  // A particle as drawn at its age.
  struct State {
    gfx::Vector3 position;        // world
    platform::ColorValue colour;  // each channel clamped to 0..1
    float size = 0;
    unsigned frame = 0;  // animation frame, 0 .. AnimationCount - 1
  };

  explicit ParticleEmitter(platform::RenderDevice* device = nullptr);
  ~ParticleEmitter() override;
  ParticleEmitter(const ParticleEmitter&) = delete;
  ParticleEmitter& operator=(const ParticleEmitter&) = delete;

  // Draws every live particle, oldest first, in batches of kBatchParticles. False without a
  // device or when a draw call failed.
  bool Draw() override;
  // A timed emission of the configured EmitTime.
  virtual void StartTimed();
  virtual void StartTimed(float seconds);
  // Ends a timed emission that has run out, emits what the rate gives for dt, then ages every
  // particle (those born now too) and lets the expired ones go.
  virtual void Update(float dt);

  // Reads the keys of the section currently selected in file; the texture comes from cache
  // (null cache or missing texture: untextured quads). Forgets every particle and stops.
  void Load(const DefinitionFile& file, ResourceCache* cache);
  // The system's body node: the emitter's origin and axes (null: the world's).
  void SetFrame(Transform* frame) { frame_ = frame; }
  Transform* GetFrame() const { return frame_; }
  // Continuous emission (true) or none; either ends a timed emission.
  void SetEmitting(bool emitting);
  bool IsEmitting() const { return emitting_; }
  bool IsTimed() const { return timed_; }
  size_t ParticleCount() const { return particles_.Size(); }

  // The particles, index 0 the oldest.
  const ParticleRecord& GetParticle(size_t index) const { return particles_[index]; }
  State StateOf(const ParticleRecord& particle) const;

  void SetTexture(Texture* texture) { texture_ = texture; }
  Texture* GetTexture() const { return texture_; }
  unsigned AnimationCount() const { return animationCount_; }
  unsigned VariationCount() const { return variationCount_; }
  bool AdditiveBlend() const { return additiveBlend_; }
  float EmitTime() const { return emitTime_; }
  float EmitRate() const { return emitRate_; }
  float LifeTime() const { return lifeTime_; }

 private:
  void Spawn(const gfx::Matrix& world, const gfx::Vector3& emitterVelocity);
  gfx::Vector3 FrameOrigin() const;
  void ReportDropped();

  Texture* texture_ = nullptr;
  unsigned animationCount_ = 1;
  unsigned variationCount_ = 1;
  bool additiveBlend_ = false;
  Transform* frame_ = nullptr;
  float emitTime_ = 0, emitRate_ = 0, inertia_ = 0, lifeTime_ = 0;
  gfx::Vector3 positionMin_, positionMax_;
  gfx::Vector3 directionMin_, directionMax_;
  float velocityMin_ = 0, velocityMax_ = 0;
  float vertically_ = 0;
  platform::ColorValue colour_;
  float sizeMin_ = 0, sizeMax_ = 0;
  float velocityDelta_ = 0, verticallyDelta_ = 0;
  platform::ColorValue colourDelta_;
  float sizeDelta_ = 0;
  bool emitting_ = false, timed_ = false;
  float remaining_ = 0;
  float emitAccumulator_ = 0;
  gfx::Vector3 lastEmitPosition_;
  RingQueue<ParticleRecord> particles_{kMaxParticles};

  // For the one report of emission dropped at the limit.
  std::string subject_;
  bool droppedReported_ = false;
};

}  // namespace quarn
