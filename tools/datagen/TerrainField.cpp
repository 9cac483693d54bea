#include "TerrainField.h"

#include <algorithm>
#include <cmath>

#include "TokenReader.h"

namespace quarn::tools {

namespace {
double SmoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Heights over which the land rises from the beach before hills and ridges begin.
constexpr double kShore = 150.0;
constexpr double kRidgeFoot = 60.0;
constexpr double kRidgeTop = 300.0;
}  // namespace

bool TerrainField::ReadOctaves(const RecipeFile& recipe, const std::string& section,
                               const char* key, bool withSea, Octaves* octaves,
                               std::string* error) {
  TokenReader t(recipe.GetOr(section, key, ""));
  octaves->frequency = t.Integer("frequency");
  octaves->octaves = t.Integer("octaves");
  if (withSea)
    sea_ = t.Number("sea level");
  octaves->amount = t.Number(withSea ? "relief" : "height");
  if (t.Ok() && (octaves->frequency < 1 || octaves->frequency > 4096))
    t.Fail("frequency must lie between 1 and 4096");
  if (t.Ok() && (octaves->octaves < 1 || octaves->octaves > 8))
    t.Fail("octaves must lie between 1 and 8");
  if (t.Ok() && !t.AtEnd())
    t.Fail("more words than the key takes");
  if (!t.Ok())
    *error = recipe.Where(section, key) + ": " + t.Problem();
  return t.Ok();
}

bool TerrainField::Load(const RecipeFile& recipe, const std::string& section, std::string* error) {
  if (!recipe.HasSection(section)) {
    *error = recipe.Name() + ": no terrain section [" + section + "]";
    return false;
  }
  TokenReader period(recipe.GetOr(section, "Period", ""));
  period_ = period.Number("Period");
  if (period.Ok() && period_ <= 0)
    period.Fail("must be above 0");
  if (!period.Ok()) {
    *error = recipe.Where(section, "Period") + ": " + period.Problem();
    return false;
  }
  TokenReader seed(recipe.GetOr(section, "Seed", "1"));
  const int seedValue = seed.Integer("Seed");
  if (!seed.Ok()) {
    *error = recipe.Where(section, "Seed") + ": " + seed.Problem();
    return false;
  }
  land_.noise = NoiseField(static_cast<uint32_t>(seedValue));
  hills_.noise = NoiseField(static_cast<uint32_t>(seedValue) * 3u + 101u);
  ridges_.noise = NoiseField(static_cast<uint32_t>(seedValue) * 7u + 202u);
  return ReadOctaves(recipe, section, "Land", true, &land_, error) &&
         ReadOctaves(recipe, section, "Hills", false, &hills_, error) &&
         ReadOctaves(recipe, section, "Ridges", false, &ridges_, error);
}

double TerrainField::Noise(const Octaves& o, double x, double z) const {
  return o.noise.TiledFractal(x / period_ * o.frequency, z / period_ * o.frequency, o.frequency,
                              o.octaves);
}

double TerrainField::Height(double x, double z) const {
  const double base = (Noise(land_, x, z) - sea_) * land_.amount;
  if (base <= 0)
    return base;
  const double hills = Noise(hills_, x, z) * hills_.amount * SmoothStep(0, kShore, base);
  const double crest = 1.0 - std::abs(2.0 * Noise(ridges_, x, z) - 1.0);
  const double ridges = crest * crest * ridges_.amount * SmoothStep(kRidgeFoot, kRidgeTop, base);
  return base + hills + ridges;
}

}  // namespace quarn::tools
