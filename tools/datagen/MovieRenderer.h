#pragma once
// The opening movie: shots drawn frame by frame (sky, stars, sun, drifting clouds and hills,
// aircraft flying along straight paths with vapour trails, flashes, captions, fades) with a
// sound track of a piece of music and sound effects, written as Ogg Theora with Vorbis.
// The [Movie] section gives "File", "Width", "Height", "Fps", "Music" (a section of the music
// recipe), "MusicGain", "Sound_N=TIME NAME GAIN PAN" (sections of the sound recipe) and
// "Shot_N=SECTION". A shot section gives:
//   Length=S  FadeIn=S  FadeOut=S  SkyTop=FROM TO  SkyBottom=FROM TO
//   Stars=SEED COUNT ALPHA_FROM ALPHA_TO        Sun=X Y RADIUS COLOUR ALPHA_FROM ALPHA_TO
//   Clouds=SEED Y HEIGHT SCALE COVER SPEED COLOUR   Hills=SEED Y HEIGHT SCALE SPEED COLOUR
//   Sea=Y TOP_COLOUR BOTTOM_COLOUR
//   Sprite_N=SHAPE COLOUR T0 T1 X0 Y0 SCALE0 ANGLE0 X1 Y1 SCALE1 ANGLE1 [TRAIL_COLOUR]
//   Flash_N=TIME X Y RADIUS COLOUR DURATION     Caption_N=T0 T1 X Y SIZE FONT COLOUR TEXT
// Times inside a shot count from its start; speeds are pixels a second (leftwards).
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"
#include "FontRenderer.h"
#include "RecipeFile.h"
#include "ShapeBook.h"

namespace quarn::tools {

class MovieRenderer {
 public:
  MovieRenderer(FontRenderer* fonts, const ShapeBook* shapes);
  ~MovieRenderer();

  // Reads the movie section and its shots; music and sounds come from their own recipes.
  bool Load(const RecipeFile& movie, const std::string& section, const RecipeFile& music,
            const RecipeFile& sounds, std::string* error);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Fps() const { return fps_; }
  double Seconds() const;
  int Frames() const;
  // The picture at frame index.
  void RenderFrame(int frame, Canvas* canvas);
  // The sound track: 44.1 kHz interleaved stereo, as long as the movie.
  std::vector<float> SoundTrack() const;
  bool Write(const std::string& path, std::string* error);

 private:
  struct Shot;
  bool LoadShot(const RecipeFile& movie, const std::string& section, Shot* shot,
                std::string* error);
  void DrawShot(const Shot& shot, double t, Canvas* canvas);

  FontRenderer* fonts_;
  const ShapeBook* shapes_;
  int width_ = 640;
  int height_ = 480;
  int fps_ = 24;
  std::vector<std::unique_ptr<Shot>> shots_;
  std::vector<float> music_;  // stereo
  struct Effect {
    double time = 0;
    double gain = 1;
    double pan = 0;
    std::vector<float> samples;  // mono at 44.1 kHz
  };
  std::vector<Effect> effects_;
};

}  // namespace quarn::tools
