#pragma once
// The texture of one period of a TerrainField (File, Size pixels square, +x to the right and
// +z up), coloured by height and slope and lit by a low sun in the west, shadows included: the
// game draws the ground unlit, so the picture carries all the light. Keys of the section:
//   Water_N=DEPTH COLOUR   Land_N=HEIGHT COLOUR   (colours blended between the stops)
//   Forest=COLOUR FREQUENCY COVER   Rock=COLOUR SLOPE0 SLOPE1   Foam=COLOUR DEPTH
//   Sun=ELEVATION_DEGREES COLOUR STRENGTH   Ambient=SHARE   Detail=FREQUENCY AMOUNT
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "NoiseField.h"
#include "RecipeFile.h"
#include "TerrainField.h"

namespace quarn::tools {

class TerrainPainter {
 public:
  // False with the place and the problem in *error.
  bool Load(const RecipeFile& recipe, const std::string& section, std::string* error);
  const TerrainField& Field() const { return field_; }
  int Size() const { return size_; }
  void Paint(Canvas* canvas) const;
  bool Write(const std::string& outDir, std::string* error) const;

 private:
  using Stops = std::vector<std::pair<double, platform::Argb>>;
  static platform::Argb Ramp(const Stops& stops, double at);

  TerrainField field_;
  std::string file_;
  int size_ = 0;
  Stops water_, land_;
  platform::Argb forest_ = 0, rock_ = 0, foam_ = 0, sun_ = 0xFFFFFFFF;
  int forestFrequency_ = 1;
  double forestCover_ = 1, rockFrom_ = 1, rockTo_ = 2, foamDepth_ = 0;
  double sunElevation_ = 30, sunStrength_ = 1, ambient_ = 0.5;
  int detailFrequency_ = 1;
  double detail_ = 0;
};

}  // namespace quarn::tools
