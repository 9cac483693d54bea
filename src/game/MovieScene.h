#pragma once
// Plays one movie from the archive, once, drawn every frame; it ends, back to the menu, when
// the movie does or when the player presses X or Z.
#include <memory>
#include <string>

#include "engine/MoviePlayer.h"
#include "game/MediaFile.h"
#include "stage/GameScene.h"

namespace quarn {

class MovieScene : public GameScene {
 public:
  explicit MovieScene(SceneOwner* game);
  ~MovieScene() override;

  // Stops the movie and deletes its temporary copy.
  void Finish() override;
  void Update() override;
  // Clears the frame to black and copies the movie's newest picture into its top-left corner.
  void Render() override;
  // Opens movieFile from the archive and plays it once. A movie that cannot be opened makes
  // the scene end on its first update.
  int Load(const std::string& movieFile);

  MoviePlayer& Player() { return player_; }

 private:
  std::unique_ptr<MediaFile> movieFile_;  // before the player: the player reads it
  MoviePlayer player_;
};

}  // namespace quarn
