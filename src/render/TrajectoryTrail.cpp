#include "render/TrajectoryTrail.h"

#include <cmath>

#include "engine/DefinitionFile.h"
#include "engine/RandomGenerator.h"
#include "engine/ResourceCache.h"
#include "gfxutil/Matrix.h"
#include "platform/Diagnostics.h"
#include "render/EffectDrawScope.h"
#include "render/EffectKeys.h"
#include "render/EffectVertex.h"
#include "render/Texture.h"
#include "render/Transform.h"

namespace quarn {

namespace {

constexpr size_t kBatch = TrajectoryTrail::kBatchPoints;

float AddClamped(float channel, float change) {
  const float value = channel + change;
  if (!(value > 0.0f))
    return 0.0f;
  return value < 1.0f ? value : 1.0f;
}

// Both ribbons of a piece of points points (two or more).
bool DrawRibbons(platform::RenderDevice& device, const EffectVertex* across,
                 const EffectVertex* upward, size_t points) {
  const auto triangles = static_cast<uint32_t>(2 * points - 2);
  const bool drawnAcross = device.DrawPrimitiveUP(platform::PrimitiveType::TriangleStrip, triangles,
                                                  across, sizeof(EffectVertex));
  const bool drawnUpward = device.DrawPrimitiveUP(platform::PrimitiveType::TriangleStrip, triangles,
                                                  upward, sizeof(EffectVertex));
  return drawnAcross && drawnUpward;
}

}  // namespace

TrajectoryTrail::TrajectoryTrail(platform::RenderDevice* device) : GraphicsObject(device) {}

TrajectoryTrail::~TrajectoryTrail() = default;

void TrajectoryTrail::Load(const DefinitionFile& file, ResourceCache* cache) {
  const EffectKeys keys(file);
  const std::string textureName = keys.String("Texture");
  texture_ = cache != nullptr && !textureName.empty() ? cache->GetTexture(textureName) : nullptr;
  additiveBlend_ = keys.Bool("AdditiveBlend");
  emitRate_ = keys.Float("EmitRate");
  lifeTime_ = keys.Float("LifeTime");
  positionMin_ = {keys.Float("PositionMinX"), keys.Float("PositionMinY"),
                  keys.Float("PositionMinZ")};
  positionMax_ = {keys.Float("PositionMaxX"), keys.Float("PositionMaxY"),
                  keys.Float("PositionMaxZ")};
  colour_ = {keys.Float("ColorR"), keys.Float("ColorG"), keys.Float("ColorB"),
             keys.Float("ColorA")};
  size_ = keys.Float("Size");
  colourDelta_ = {keys.Float("ColorDeltaR"), keys.Float("ColorDeltaG"), keys.Float("ColorDeltaB"),
                  keys.Float("ColorDeltaA")};
  sizeDelta_ = keys.Float("SizeDelta");

  subject_ = keys.SectionSubject();
  droppedReported_ = false;
  emitting_ = timed_ = false;
  remaining_ = 0;
  emitAccumulator_ = 0;
  points_.Clear();
}

void TrajectoryTrail::SetEmitting(bool emitting) {
  emitting_ = emitting;
  timed_ = false;
  remaining_ = 0;
}

void TrajectoryTrail::StartTimed(float seconds) {
  emitting_ = timed_ = true;
  remaining_ = seconds;
}

void TrajectoryTrail::Update(float dt) {
  if (timed_) {
    remaining_ -= dt;
    if (remaining_ < 0)
      emitting_ = timed_ = false;
  }

  if (emitting_) {
    emitAccumulator_ += dt * emitRate_;
    if (!std::isfinite(emitAccumulator_))
      emitAccumulator_ = 0;
    const float whole = std::trunc(emitAccumulator_);
    emitAccumulator_ -= whole;
    if (whole >= 1.0f) {
      // One place stays free for the break of the next stop.
      const size_t room = points_.Room() > 0 ? points_.Room() - 1 : 0;
      const size_t count = whole < static_cast<float>(room) ? static_cast<size_t>(whole) : room;
      if (static_cast<float>(count) < whole)
        ReportDropped();
      const gfx::Matrix world = frame_ != nullptr ? frame_->GetWorldMatrix() : gfx::Matrix();
      for (size_t i = 0; i < count; ++i) {
        gfx::Vector3 offset;
        offset.z = RandRange(positionMin_.z, positionMax_.z);
        offset.y = RandRange(positionMin_.y, positionMax_.y);
        offset.x = RandRange(positionMin_.x, positionMax_.x);
        TrailPoint* point = points_.PushBack();
        point->life = lifeTime_;
        point->position = gfx::Vec3TransformCoord(offset, world);
        point->colour = colour_;
        point->size = size_;
      }
    }
  } else if (!points_.Empty() && points_.Back().segmentBreak == 0) {
    points_.PushBack()->segmentBreak = 1;
  }

  // Points lose life alike and all start with the same, so they expire oldest first; a break
  // goes once nothing is left before it.
  while (!points_.Empty()) {
    const TrailPoint& front = points_[0];
    if (front.segmentBreak == 0 && !(front.life - dt < 0))
      break;
    points_.PopFront();
  }
  const size_t count = points_.Size();
  for (size_t i = 0; i < count; ++i) {
    TrailPoint& point = points_[i];
    if (point.segmentBreak != 0)
      continue;
    point.life -= dt;
    point.colour = {AddClamped(point.colour.r, colourDelta_.r * dt),
                    AddClamped(point.colour.g, colourDelta_.g * dt),
                    AddClamped(point.colour.b, colourDelta_.b * dt),
                    AddClamped(point.colour.a, colourDelta_.a * dt)};
    point.size += sizeDelta_ * dt;
  }
}

void TrajectoryTrail::ReportDropped() {
  if (droppedReported_)
    return;
  droppedReported_ = true;
  platform::ReportProblem(subject_, "more than " + std::to_string(kMaxPoints - 1) +
                                        " trail points would be alive at once; the rest are "
                                        "left out");
}

bool TrajectoryTrail::Draw() {
  platform::RenderDevice* device = Device();
  if (device == nullptr)
    return false;
  const EffectDrawScope scope(*device, additiveBlend_,
                              texture_ != nullptr ? texture_->GetTexture() : nullptr);

  // across: the ribbon that is wide on screen; upward: the one that is tall.
  EffectVertex across[kBatch * 2];
  EffectVertex upward[kBatch * 2];
  bool drawn = true;
  size_t points = 0;
  bool firstV = true;  // the texture's v alternates 0, 1, 0, ... along a segment
  const size_t count = points_.Size();
  for (size_t i = 0; i < count; ++i) {
    const TrailPoint& point = points_[i];
    if (point.segmentBreak != 0) {
      if (points > 1)
        drawn = DrawRibbons(*device, across, upward, points) && drawn;
      points = 0;
      firstV = true;
      continue;
    }
    if (points == kBatch) {
      // A full piece: draw it and go on from its last point, so the pieces join.
      drawn = DrawRibbons(*device, across, upward, points) && drawn;
      across[0] = across[2 * points - 2];
      across[1] = across[2 * points - 1];
      upward[0] = upward[2 * points - 2];
      upward[1] = upward[2 * points - 1];
      points = 1;
    }
    const gfx::Vector3 q = scope.ToCamera(point.position);
    const float h = point.size * 0.5f;
    const platform::Argb colour = EffectVertex::Pack(point.colour);
    const float v = firstV ? 0.0f : 1.0f;
    across[2 * points] = {q.x - h, q.y, q.z, colour, 0.0f, v};
    across[2 * points + 1] = {q.x + h, q.y, q.z, colour, 1.0f, v};
    upward[2 * points] = {q.x, q.y - h, q.z, colour, 0.0f, v};
    upward[2 * points + 1] = {q.x, q.y + h, q.z, colour, 1.0f, v};
    firstV = !firstV;
    ++points;
  }
  if (points > 1)
    drawn = DrawRibbons(*device, across, upward, points) && drawn;
  return drawn;
}

}  // namespace quarn
