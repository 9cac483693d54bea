#pragma once
// Something whose state belongs in the run's digest (the input system, the game object): the
// main loop asks every source once per pass when a digest is wanted.
#include "engine/StateDigest.h"

namespace quarn {

class DigestSource {
 public:
  virtual ~DigestSource() = default;
  // Adds this pass's state; the same state must always add the same bytes.
  virtual void AddToDigest(StateDigest& digest) const = 0;
};

}  // namespace quarn
