#include "render/ParticleEmitter.h"

#include <array>
#include <cmath>
#include <cstdint>

#include "engine/DefinitionFile.h"
#include "engine/RandomGenerator.h"
#include "engine/ResourceCache.h"
#include "platform/Diagnostics.h"
#include "render/EffectDrawScope.h"
#include "render/EffectKeys.h"
#include "render/EffectVertex.h"
#include "render/Texture.h"
#include "render/Transform.h"

namespace quarn {

namespace {

constexpr size_t kBatch = ParticleEmitter::kBatchParticles;

// Two triangles per quad, the same for every batch: 4i, 4i+1, 4i+3 and 4i+2, 4i+3, 4i+1.
constexpr std::array<uint16_t, kBatch * 6> MakeQuadIndices() {
  std::array<uint16_t, kBatch * 6> indices{};
  for (size_t i = 0; i < kBatch; ++i) {
    const auto first = static_cast<uint16_t>(4 * i);
    const uint16_t quad[6] = {first,
                              static_cast<uint16_t>(first + 1),
                              static_cast<uint16_t>(first + 3),
                              static_cast<uint16_t>(first + 2),
                              static_cast<uint16_t>(first + 3),
                              static_cast<uint16_t>(first + 1)};
    for (size_t k = 0; k < 6; ++k)
      indices[6 * i + k] = quad[k];
  }
  return indices;
}
constexpr std::array<uint16_t, kBatch* 6> kQuadIndices = MakeQuadIndices();

bool DrawQuads(platform::RenderDevice& device, const EffectVertex* vertices, size_t quads) {
  const auto count = static_cast<uint32_t>(quads);
  return device.DrawIndexedPrimitiveUP(platform::PrimitiveType::TriangleList, 0, 4 * count,
                                       2 * count, kQuadIndices.data(), vertices,
                                       sizeof(EffectVertex));
}

float Clamp01(float channel) {
  if (!(channel > 0.0f))
    return 0.0f;
  return channel < 1.0f ? channel : 1.0f;
}

}  // namespace

ParticleEmitter::ParticleEmitter(platform::RenderDevice* device) : GraphicsObject(device) {}

ParticleEmitter::~ParticleEmitter() = default;

void ParticleEmitter::Load(const DefinitionFile& file, ResourceCache* cache) {
  const EffectKeys keys(file);
  const std::string textureName = keys.String("Texture");
  texture_ = cache != nullptr && !textureName.empty() ? cache->GetTexture(textureName) : nullptr;
  animationCount_ = keys.CellCount("AnimationCount");
  variationCount_ = keys.CellCount("VariationCount");
  additiveBlend_ = keys.Bool("AdditiveBlend");
  emitTime_ = keys.Float("EmitTime");
  emitRate_ = keys.Float("EmitRate");
  inertia_ = keys.Float("Inertia");
  lifeTime_ = keys.Float("LifeTime");
  positionMin_ = {keys.Float("PositionMinX"), keys.Float("PositionMinY"),
                  keys.Float("PositionMinZ")};
  positionMax_ = {keys.Float("PositionMaxX"), keys.Float("PositionMaxY"),
                  keys.Float("PositionMaxZ")};
  directionMin_ = {keys.Float("DirectionMinX"), keys.Float("DirectionMinY"),
                   keys.Float("DirectionMinZ")};
  directionMax_ = {keys.Float("DirectionMaxX"), keys.Float("DirectionMaxY"),
                   keys.Float("DirectionMaxZ")};
  velocityMin_ = keys.Float("VelocityMin");
  velocityMax_ = keys.Float("VelocityMax");
  vertically_ = keys.Float("Vertically");
  colour_ = {keys.Float("ColorR"), keys.Float("ColorG"), keys.Float("ColorB"),
             keys.Float("ColorA")};
  sizeMin_ = keys.Float("SizeMin");
  sizeMax_ = keys.Float("SizeMax");
  velocityDelta_ = keys.Float("VelocityDelta");
  verticallyDelta_ = keys.Float("VerticallyDelta");
  colourDelta_ = {keys.Float("ColorDeltaR"), keys.Float("ColorDeltaG"), keys.Float("ColorDeltaB"),
                  keys.Float("ColorDeltaA")};
  sizeDelta_ = keys.Float("SizeDelta");

  subject_ = keys.SectionSubject();
  droppedReported_ = false;
  emitting_ = timed_ = false;
  remaining_ = 0;
  emitAccumulator_ = 0;
  particles_.Clear();
  lastEmitPosition_ = FrameOrigin();
}

gfx::Vector3 ParticleEmitter::FrameOrigin() const {
  return frame_ != nullptr ? frame_->LocalToWorldPoint({0, 0, 0}) : gfx::Vector3();
}

void ParticleEmitter::StartTimed() {
  StartTimed(emitTime_);
}

void ParticleEmitter::StartTimed(float seconds) {
  emitting_ = timed_ = true;
  remaining_ = seconds;
  lastEmitPosition_ = FrameOrigin();
}

void ParticleEmitter::SetEmitting(bool emitting) {
  emitting_ = emitting;
  timed_ = false;
  remaining_ = 0;
  lastEmitPosition_ = FrameOrigin();
}

void ParticleEmitter::Update(float dt) {
  if (timed_) {
    remaining_ -= dt;
    if (remaining_ < 0)
      emitting_ = timed_ = false;
  }

  const gfx::Matrix world = frame_ != nullptr ? frame_->GetWorldMatrix() : gfx::Matrix();
  const gfx::Vector3 origin = gfx::Vec3TransformCoord({0, 0, 0}, world);
  gfx::Vector3 velocity;
  if (std::fabs(dt) > 1e-8f)
    velocity = (origin - lastEmitPosition_) / dt;
  if (emitting_) {
    emitAccumulator_ += dt * emitRate_;
    if (!std::isfinite(emitAccumulator_))
      emitAccumulator_ = 0;
    // The whole particles are emitted now, the fraction carries over to the next update.
    const float whole = std::trunc(emitAccumulator_);
    emitAccumulator_ -= whole;
    if (whole >= 1.0f) {
      const size_t room = particles_.Room();
      const size_t count = whole < static_cast<float>(room) ? static_cast<size_t>(whole) : room;
      if (static_cast<float>(count) < whole)
        ReportDropped();
      for (size_t i = 0; i < count; ++i)
        Spawn(world, velocity);
    }
  }
  lastEmitPosition_ = origin;

  // Every particle ages alike and shares one lifetime, so ages fall from the oldest to the
  // newest and the expired ones are always at the front.
  const size_t count = particles_.Size();
  for (size_t i = 0; i < count; ++i)
    particles_[i].age += dt;
  while (!particles_.Empty() && particles_[0].age > lifeTime_)
    particles_.PopFront();
}

void ParticleEmitter::Spawn(const gfx::Matrix& world, const gfx::Vector3& emitterVelocity) {
  ParticleRecord* particle = particles_.PushBack();
  if (particle == nullptr)
    return;
  // The draws keep this order (variation; position z, y, x; direction z, y, x; speed; size),
  // so that a seeded game places every particle the same way.
  particle->variation = static_cast<unsigned>(Rand()) % variationCount_;
  particle->age = 0;
  gfx::Vector3 offset;
  offset.z = RandRange(positionMin_.z, positionMax_.z);
  offset.y = RandRange(positionMin_.y, positionMax_.y);
  offset.x = RandRange(positionMin_.x, positionMax_.x);
  particle->birth = gfx::Vec3TransformCoord(offset, world);
  gfx::Vector3 direction;
  direction.z = RandRange(directionMin_.z, directionMax_.z);
  direction.y = RandRange(directionMin_.y, directionMax_.y);
  direction.x = RandRange(directionMin_.x, directionMax_.x);
  direction = gfx::Vec3TransformNormal(gfx::Vec3Normalize(direction), world);
  const float speed = RandRange(velocityMin_, velocityMax_);
  const gfx::Vector3 velocity = direction * speed + inertia_ * emitterVelocity;
  particle->direction = gfx::Vec3Normalize(velocity);
  particle->speed = gfx::Vec3Length(velocity);
  particle->colour = colour_;
  particle->size = RandRange(sizeMin_, sizeMax_);
}

void ParticleEmitter::ReportDropped() {
  if (droppedReported_)
    return;
  droppedReported_ = true;
  platform::ReportProblem(subject_, "more than " + std::to_string(kMaxParticles) +
                                        " particles would be alive at once; the rest are "
                                        "not emitted");
}

ParticleEmitter::State ParticleEmitter::StateOf(const ParticleRecord& particle) const {
  const float t = particle.age;
  State state;
  // The speed along the birth direction never turns negative: a particle that slowed to a
  // stop stays there (along that line) instead of coming back past its birth point.
  float along = particle.speed + 0.5f * velocityDelta_ * t;
  if (along < 0.0f)
    along = 0.0f;
  const float vertical = vertically_ + 0.5f * verticallyDelta_ * t;
  state.position = particle.birth + particle.direction * along * t;
  state.position.y -= vertical * t;
  state.colour = {Clamp01(particle.colour.r + colourDelta_.r * t),
                  Clamp01(particle.colour.g + colourDelta_.g * t),
                  Clamp01(particle.colour.b + colourDelta_.b * t),
                  Clamp01(particle.colour.a + colourDelta_.a * t)};
  state.size = particle.size + sizeDelta_ * t;
  // Past the last frame only at the very end of the life (age == LifeTime): hold the last.
  const float lifeShare = lifeTime_ > 1e-8f ? t / lifeTime_ : 0.0f;
  const float frame = lifeShare * static_cast<float>(animationCount_);
  const float lastFrame = static_cast<float>(animationCount_ - 1);
  state.frame = frame > 0.0f ? static_cast<unsigned>(frame < lastFrame ? frame : lastFrame) : 0;
  return state;
}

bool ParticleEmitter::Draw() {
  platform::RenderDevice* device = Device();
  if (device == nullptr)
    return false;
  const EffectDrawScope scope(*device, additiveBlend_,
                              texture_ != nullptr ? texture_->GetTexture() : nullptr);
  const float frames = static_cast<float>(animationCount_);
  const float variations = static_cast<float>(variationCount_);

  EffectVertex vertices[kBatch * 4];
  bool drawn = true;
  size_t quads = 0;
  const size_t count = particles_.Size();
  for (size_t i = 0; i < count; ++i) {
    const ParticleRecord& particle = particles_[i];
    const State state = StateOf(particle);
    const gfx::Vector3 q = scope.ToCamera(state.position);
    const float h = state.size * 0.5f;
    const platform::Argb colour = EffectVertex::Pack(state.colour);
    const float uA = static_cast<float>(state.frame) / frames;
    const float uB = static_cast<float>(state.frame + 1) / frames;
    const float vA = static_cast<float>(particle.variation) / variations;
    const float vB = static_cast<float>(particle.variation + 1) / variations;
    EffectVertex* quad = &vertices[4 * quads];
    quad[0] = {q.x - h, q.y + h, q.z, colour, uA, vA};
    quad[1] = {q.x + h, q.y + h, q.z, colour, uB, vA};
    quad[2] = {q.x + h, q.y - h, q.z, colour, uB, vB};
    quad[3] = {q.x - h, q.y - h, q.z, colour, uA, vB};
    if (++quads == kBatch) {
      drawn = DrawQuads(*device, vertices, quads) && drawn;
      quads = 0;
    }
  }
  if (quads > 0)
    drawn = DrawQuads(*device, vertices, quads) && drawn;
  return drawn;
}

}  // namespace quarn
