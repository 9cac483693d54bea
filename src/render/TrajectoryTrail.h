#pragma once
// One trail of a trajectory: points dropped in world space at a rate while the frame moves,
// each fading and widening with time until its life runs out, drawn as two crossed
// camera-space ribbons (one across the screen, one up it) so that the trail has width from
// every side. A stop leaves a break, so a restarted trail begins a new ribbon.
#include <cstddef>
#include <string>

#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"
#include "render/GraphicsObject.h"
#include "render/RingQueue.h"
#include "render/TrailPoint.h"

namespace quarn {

class DefinitionFile;
class ResourceCache;
class Texture;
class Transform;

class TrajectoryTrail : public GraphicsObject {
 public:
  // The most records (points and breaks) one trail holds; points beyond it are not dropped.
  static constexpr size_t kMaxPoints = 16384;
  // Points drawn by one call: the size of each ribbon's vertex array. A longer segment is
  // drawn in pieces, each beginning at the last point of the one before.
  static constexpr size_t kBatchPoints = 1024;

  explicit TrajectoryTrail(platform::RenderDevice* device = nullptr);
  ~TrajectoryTrail() override;
  TrajectoryTrail(const TrajectoryTrail&) = delete;
  TrajectoryTrail& operator=(const TrajectoryTrail&) = delete;

  // Draws every segment of two or more points. False without a device or when a draw call
  // failed.
  bool Draw() override;
  // Emits for seconds more; 0 ends the emission at the next update, before any point.
  virtual void StartTimed(float seconds);
  // Ends a timed emission that has run out, drops what the rate gives for dt (or a break
  // when not emitting), then ages every record, letting the expired ones go.
  virtual void Update(float dt);

  // Reads the keys of the section currently selected in file; the texture comes from cache
  // (null cache or missing texture: untextured ribbons). Forgets every record and stops.
  void Load(const DefinitionFile& file, ResourceCache* cache);
  // The trajectory's body node: the origin and axes of the spawn box (null: the world's).
  void SetFrame(Transform* frame) { frame_ = frame; }
  Transform* GetFrame() const { return frame_; }
  // Continuous emission (true) or none; either ends a timed emission.
  void SetEmitting(bool emitting);
  bool IsEmitting() const { return emitting_; }
  bool IsTimed() const { return timed_; }
  // Records, breaks included.
  size_t PointCount() const { return points_.Size(); }
  // The records, index 0 the oldest.
  const TrailPoint& GetPoint(size_t index) const { return points_[index]; }

  void SetTexture(Texture* texture) { texture_ = texture; }
  Texture* GetTexture() const { return texture_; }
  bool AdditiveBlend() const { return additiveBlend_; }
  float EmitRate() const { return emitRate_; }
  float LifeTime() const { return lifeTime_; }

 private:
  void ReportDropped();

  Texture* texture_ = nullptr;
  bool additiveBlend_ = false;
  Transform* frame_ = nullptr;
  float emitRate_ = 0, lifeTime_ = 0;
  gfx::Vector3 positionMin_, positionMax_;
  platform::ColorValue colour_;
  float size_ = 0;
  platform::ColorValue colourDelta_;
  float sizeDelta_ = 0;
  bool emitting_ = false, timed_ = false;
  float remaining_ = 0;
  float emitAccumulator_ = 0;
  RingQueue<TrailPoint> points_{kMaxPoints};

  std::string subject_;
  bool droppedReported_ = false;
};

}  // namespace quarn
