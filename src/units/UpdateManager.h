#pragma once
// The stage's per-frame updates: objects filed by UpdatePriority, updated in ascending
// priority (equal priorities in the order they were filed), then three late hooks in a fixed
// order: the camera, the ground and the HUD. Lists objects; owns none.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarn {

class Updatable;

class UpdateManager {
 public:
  // False (nothing changes) for null or an object already filed under that priority.
  bool Register(Updatable* object, unsigned priority);
  // Removes the object's first entry, under any priority; false when it is not filed.
  bool Unregister(const Updatable* object);
  bool Contains(const Updatable* object) const;
  size_t Size() const { return entries_.size(); }

  // Updates a copy of the list, so that objects may register and unregister during the pass
  // (the pass still visits exactly the copy); then the hooks that are set.
  void UpdateAll();

  void SetCameraHook(Updatable* hook) { cameraHook_ = hook; }
  void SetGroundHook(Updatable* hook) { groundHook_ = hook; }
  void SetHudHook(Updatable* hook) { hudHook_ = hook; }
  Updatable* CameraHook() const { return cameraHook_; }
  Updatable* GroundHook() const { return groundHook_; }
  Updatable* HudHook() const { return hudHook_; }

 private:
  struct Entry {
    unsigned priority;
    Updatable* object;
  };

  std::vector<Entry> entries_;    // sorted by priority, stable within one priority
  std::vector<Updatable*> pass_;  // the copy a pass walks, kept to avoid reallocating
  bool passing_ = false;
  Updatable* cameraHook_ = nullptr;
  Updatable* groundHook_ = nullptr;
  Updatable* hudHook_ = nullptr;
};

}  // namespace quarn
