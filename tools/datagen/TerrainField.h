#pragma once
// A stretch of coast as a height function that repeats every Period units in x and z, read
// from a section of Terrain.txt: land masses whose noise falls below Sea are under water,
// hills grow on the land away from the shore, and sharp ridges on its higher parts.
//   Period=UNITS  Seed=N
//   Land=FREQUENCY OCTAVES SEA RELIEF   (noise cells per period; relief: height per unit of noise)
//   Hills=FREQUENCY OCTAVES HEIGHT      Ridges=FREQUENCY OCTAVES HEIGHT
#include <string>

#include "NoiseField.h"
#include "RecipeFile.h"

namespace quarn::tools {

class TerrainField {
 public:
  // False with "Terrain.txt [Section] Key: problem" in *error.
  bool Load(const RecipeFile& recipe, const std::string& section, std::string* error);

  double Period() const { return period_; }
  // Height above sea level (negative under the sea) at world (x, z).
  double Height(double x, double z) const;

 private:
  struct Octaves {
    NoiseField noise{0};  // each layer has a lattice of its own
    int frequency = 1;
    int octaves = 1;
    double amount = 0;
  };
  bool ReadOctaves(const RecipeFile& recipe, const std::string& section, const char* key,
                   bool withSea, Octaves* octaves, std::string* error);
  double Noise(const Octaves& o, double x, double z) const;

  double period_ = 10000;
  Octaves land_, hills_, ridges_;
  double sea_ = 0.5;
};

}  // namespace quarn::tools
