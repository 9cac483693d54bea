#pragma once
// A voice whose volume follows the distance between a source node and a listener node: full
// at or inside the minimum distance, falling linearly to nothing at the maximum. Past the
// midpoint (gain 0.5) it is stopped; a looping emitter resumes, from where it stopped, when
// it comes back inside.
#include "engine/SoundVoice.h"

namespace quarn {

class Transform;

class SoundEmitter : public SoundVoice {
 public:
  SoundEmitter();
  ~SoundEmitter() override;

  // Remembers loop as the wish to keep playing; does not start (false) while the voice's
  // volume is below a gain of 0.5.
  bool Play(bool loop, bool restart) override;
  // Forgets the wish to keep playing.
  bool Stop() override;
  // Sets the volume for the current distance, stopping or resuming the voice. Called once a
  // frame by the owner. False without a voice; true (and nothing done) without both nodes.
  virtual bool Update();

  void SetSourceNode(Transform* node) { source_ = node; }
  void SetListenerNode(Transform* node) { listener_ = node; }
  void SetDistances(float minimum, float maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
  }
  bool KeepsPlaying() const { return keepPlaying_ != 0; }

 private:
  Transform* source_ = nullptr;
  Transform* listener_ = nullptr;
  float minimum_ = 0.0f;
  float maximum_ = 0.0f;
  int keepPlaying_ = 0;
};

}  // namespace quarn
