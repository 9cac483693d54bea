#pragma once
// What the main loop knows of the game: the game object's operations in their fixed order.
#include <string>

namespace quarn {

class GameBase {
 public:
  virtual ~GameBase() = default;
  // Once, when the devices exist and the timer runs; the result is not examined.
  virtual int Init() = 0;
  // Once, after the loop has ended.
  virtual void Finish() = 0;
  // Once per frame period unless paused or lost; setting *quit non-zero ends the loop.
  virtual int Update(int* quit) = 0;
  // Once per frame that is on time.
  virtual int Render() = 0;
  virtual void PlayMusic(const std::string& file, float fadeInSeconds) = 0;
  virtual void FadeOutMusic(float fadeSeconds) = 0;
};

}  // namespace quarn
