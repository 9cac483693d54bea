#pragma once
// The base of the three scenes (menu, movie, stage play): a resource cache, a sprite batch and
// a button map of its own, and the Active flag through which it tells the game that it is
// done. It lives in the stage layer so that the stage's own scene can derive from it.
#include "engine/ButtonMap.h"
#include "engine/DeviceResource.h"
#include "engine/DigestSource.h"
#include "engine/ResourceCache.h"
#include "render/SpriteBatch.h"

namespace quarn {

class SceneOwner;

class GameScene : public DeviceResource, public DigestSource {
 public:
  // game: the owner, not owned (scenes of tests may have none).
  explicit GameScene(SceneOwner* game);
  ~GameScene() override;

  int OnDeviceLost() override;
  // Applies the default device states again.
  int OnDeviceReset() override;
  // Prepares the cache, makes the sprite and leaves the scene inactive; the first step of
  // every scene's Load.
  virtual int Reset();
  // The default device states: mirrored, linearly filtered sampler 0 and the whole 640 x 480
  // viewport.
  virtual int Start();
  // Lets go of the sprite and of everything the cache loaded.
  virtual void Finish();
  virtual void Update() = 0;
  virtual void Render() = 0;
  // Stage progress; scenes without progress counters ignore it.
  virtual int AddProgressPoint(int index, int amount);
  // The scene's own part of the run's digest (a menu's states, a stage's objects).
  void AddToDigest(StateDigest& digest) const override;

  bool IsActive() const { return active_ != 0; }
  void SetActive(bool active) { active_ = active ? 1 : 0; }

  SceneOwner* Game() const { return game_; }
  ResourceCache& Cache() { return cache_; }
  SpriteBatch& Sprites() { return sprites_; }
  const SpriteBatch& Sprites() const { return sprites_; }
  ButtonMap& Buttons() { return buttons_; }
  const ButtonMap& Buttons() const { return buttons_; }

 private:
  SceneOwner* game_;
  ResourceCache cache_;
  SpriteBatch sprites_;
  ButtonMap buttons_;
  int active_ = 0;
};

}  // namespace quarn
