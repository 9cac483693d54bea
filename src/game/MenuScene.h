#pragma once
// A menu screen driven by a menu file: numbered states, each with up to 16 images, a sound,
// music, jumps on a timeout or a button, writes to the game's values and branches on them.
// Moving to another state cross-fades the new screen, drawn into a render-target texture,
// over the old one. Jumping to -2 ends the menu.
#include <array>
#include <memory>
#include <string>

#include "engine/FixedStep.h"
#include "engine/SoundVoice.h"
#include "game/ImageSet.h"
#include "game/MenuStateSection.h"
#include "gfxutil/RenderToSurface.h"
#include "render/Texture.h"
#include "stage/GameScene.h"

namespace quarn {

class DefinitionFile;

class MenuScene : public GameScene {
 public:
  static constexpr int kNoState = -1;  // no jump; no state current while a transition runs
  static constexpr int kEndMenu = -2;  // the target that ends the menu
  static constexpr int kLocalValues = 32;
  static constexpr int kButtons = 6;  // Up, Down, Left, Right, OK, Cancel: ids 1 to 6

  explicit MenuScene(SceneOwner* game);
  ~MenuScene() override;

  // Gives up the transition texture (which would keep the device from resetting).
  int OnDeviceLost() override;
  // Makes the transition texture again.
  int OnDeviceReset() override;
  // The current and the target state.
  void AddToDigest(StateDigest& digest) const override;
  void Finish() override;
  void Update() override;
  void Render() override;
  // Loads the menu file and begins the transition into the state MenuStateValue names.
  int Load(const std::string& menuFile);
  // Timeout and button jumps of the current state.
  virtual void UpdateState();
  // One step of the cross-fade into the target state.
  virtual void UpdateTransit();
  // Begins the transition into state, or ends the menu for kEndMenu.
  virtual void EnterState(int state);
  // Makes the target state current, applies its values and takes its first branch that hits.
  virtual void FinishTransit();

  int CurrentState() const { return current_; }
  int PreviousState() const { return previous_; }
  int TargetState() const { return target_; }
  float TransitionTimer() const { return transitTimer_; }
  float StateTimer() const { return stateTimer_; }
  const ImageSet& CurrentImages() const { return currentImages_; }
  const ImageSet& PreviousImages() const { return previousImages_; }
  const ImageSet& TargetImages() const { return targetImages_; }
  const std::string& LocalValue(int index) const { return locals_[index]; }
  const SoundVoice& StateSound() const { return stateSound_; }
  bool HasTransitionTexture() const { return transition_.GetTexture() != nullptr; }
  // The names of the buttons in menu keys, in the order they are looked at.
  static const char* ButtonName(int button);

 private:
  bool TransitionRunning() const { return current_ == kNoState && target_ != kNoState; }
  MenuStateSection Section(int state) const { return MenuStateSection(menu_, state); }
  // The first of the six buttons pressed this frame (1 to 6), or 0.
  int FirstPressedButton() const;
  void TakeImages(const MenuStateSection& section);
  void PlayStateSound(const MenuStateSection& section);
  void PlayStateMusic(const MenuStateSection& section);
  void ApplyValues(const MenuStateSection& section);
  // The first branch target of the current state that is not kNoState, or kNoState.
  int FindBranch(const MenuStateSection& section) const;
  bool CreateTransitionTarget();
  void ReleaseTransitionTarget();
  // Draws the target images into the transition texture; false when nothing was drawn.
  bool RenderTransitionTarget();

  DefinitionFile* menu_ = nullptr;
  int current_ = kNoState;
  int previous_ = kNoState;
  int target_ = kNoState;
  float transitTimer_ = 0.0f;
  float stateTimer_ = 0.0f;
  ImageSet currentImages_;
  ImageSet previousImages_;
  ImageSet targetImages_;
  SoundVoice stateSound_;
  std::array<std::string, kLocalValues> locals_;
  Texture transition_;
  platform::Surface* transitionSurface_ = nullptr;  // owned by the texture
  std::unique_ptr<gfx::RenderToSurface> renderToSurface_;
};

}  // namespace quarn
