#pragma once
// The game object the main loop drives. For now it holds no scene and draws a cleared frame.
#include "engine/GameBase.h"

namespace quarn {

class Game : public GameBase {
 public:
  Game() = default;
  ~Game() override = default;
  int Init() override;
  void Finish() override;
  int Update(int* quit) override;
  int Render() override;
  void PlayMusic(const std::string& file, float fadeInSeconds) override;
  void FadeOutMusic(float fadeSeconds) override;
};

}  // namespace quarn
