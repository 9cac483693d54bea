#include "TerrainPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "TokenReader.h"
#include "Vec3.h"
#include "gfxutil/ImageWriter.h"

namespace quarn::tools {

namespace {
double SmoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

platform::Argb Scale(platform::Argb color, double r, double g, double b) {
  const auto channel = [](platform::Argb c, int shift, double f) {
    return static_cast<platform::Argb>(std::clamp(((c >> shift) & 0xFF) * f + 0.5, 0.0, 255.0))
           << shift;
  };
  return 0xFF000000u | channel(color, 16, r) | channel(color, 8, g) | channel(color, 0, b);
}

double Unit(platform::Argb color, int shift) {
  return ((color >> shift) & 0xFF) / 255.0;
}

}  // namespace

platform::Argb TerrainPainter::Ramp(const Stops& stops, double at) {
  if (stops.empty())
    return 0xFF808080u;
  if (at <= stops.front().first)
    return stops.front().second;
  for (size_t i = 1; i < stops.size(); ++i) {
    if (at <= stops[i].first) {
      const double span = stops[i].first - stops[i - 1].first;
      return LerpColor(stops[i - 1].second, stops[i].second,
                       span > 0 ? (at - stops[i - 1].first) / span : 1.0);
    }
  }
  return stops.back().second;
}

bool TerrainPainter::Load(const RecipeFile& recipe, const std::string& section,
                          std::string* error) {
  if (!field_.Load(recipe, section, error))
    return false;
  file_ = recipe.GetOr(section, "File", "");
  TokenReader size(recipe.GetOr(section, "Size", ""));
  size_ = size.Integer("Size");
  if (size.Ok() && (size_ < 16 || size_ > 4096 || (size_ & (size_ - 1)) != 0))
    size.Fail("must be a power of two from 16 to 4096");
  if (!size.Ok()) {
    *error = recipe.Where(section, "Size") + ": " + size.Problem();
    return false;
  }
  // A value of numbers ('n') and colours ('c') in a fixed order.
  std::vector<double> n;
  std::vector<platform::Argb> c;
  const auto read = [&](const std::string& key, const std::string& value, const char* layout) {
    n.clear();
    c.clear();
    TokenReader t(value);
    for (const char* kind = layout; *kind != '\0'; ++kind) {
      if (*kind == 'n')
        n.push_back(t.Number("number"));
      else
        c.push_back(t.Color("colour"));
    }
    if (t.Ok() && !t.AtEnd())
      t.Fail("more words than the key takes");
    if (!t.Ok())
      *error = recipe.Where(section, key) + ": " + t.Problem();
    return t.Ok();
  };
  // False only for a key that is given but wrong; *given tells whether it was there.
  const auto optional = [&](const char* key, const char* layout, bool* given) {
    const auto value = recipe.Get(section, key);
    *given = value.has_value();
    return !value || read(key, *value, layout);
  };
  for (auto [list, base] : {std::pair{&water_, "Water"}, std::pair{&land_, "Land"}}) {
    list->clear();
    for (const auto& [index, value] : recipe.List(section, base)) {
      if (!read(std::string(base) + "_" + std::to_string(index), value, "nc"))
        return false;
      list->push_back({n[0], c[0]});
    }
    std::stable_sort(list->begin(), list->end(),
                     [](const auto& l, const auto& r) { return l.first < r.first; });
  }
  bool given = false;
  if (!optional("Forest", "cnn", &given))
    return false;
  if (given) {
    forest_ = c[0];
    forestFrequency_ = std::clamp(static_cast<int>(n[0]), 1, 4096);
    forestCover_ = n[1];
  }
  if (!optional("Rock", "cnn", &given))
    return false;
  if (given) {
    rock_ = c[0];
    rockFrom_ = n[0];
    rockTo_ = std::max(n[1], n[0] + 1e-6);
  }
  if (!optional("Foam", "cn", &given))
    return false;
  if (given) {
    foam_ = c[0];
    foamDepth_ = n[0];
  }
  if (!optional("Sun", "ncn", &given))
    return false;
  if (given) {
    sunElevation_ = std::clamp(n[0], 1.0, 89.0);
    sun_ = c[0];
    sunStrength_ = n[1];
  }
  if (!optional("Ambient", "n", &given))
    return false;
  if (given)
    ambient_ = n[0];
  if (!optional("Detail", "nn", &given))
    return false;
  if (given) {
    detailFrequency_ = std::clamp(static_cast<int>(n[0]), 1, 4096);
    detail_ = n[1];
  }
  return true;
}

void TerrainPainter::Paint(Canvas* canvas) const {
  const int n = size_;
  const double period = field_.Period();
  const double step = period / n;
  *canvas = Canvas(n, n, 0xFF000000u);
  // Pixel (i, j) shows the point at the middle of its square; row 0 is the +z edge.
  std::vector<double> heights(static_cast<size_t>(n) * n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      heights[size_t(j) * n + i] =
          field_.Height(-period / 2 + (i + 0.5) * step, period / 2 - (j + 0.5) * step);
    }
  }
  const auto at = [&](int i, int j) {
    return heights[size_t((j % n + n) % n) * n + size_t((i % n + n) % n)];
  };
  const double elevation = sunElevation_ * std::numbers::pi / 180.0;
  const Vec3 toSun{-std::cos(elevation), std::sin(elevation), 0};  // the sun is in the west
  const double drop = step * std::tan(elevation);
  const NoiseField forestNoise(991), detailNoise(577);
  std::vector<double> shadow(static_cast<size_t>(n));
  for (int j = 0; j < n; ++j) {
    // Light comes along the row from the west: the shadow line falls by `drop` a pixel and
    // rises over every higher point. Two passes, as the row wraps round.
    double line = -1e30;
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < n; ++i) {
        const double h = std::max(at(i, j), 0.0);
        line = std::max(line - drop, h);
        if (pass == 1)
          shadow[i] = SmoothStep(0, 25, line - h);
      }
    }
    for (int i = 0; i < n; ++i) {
      const double h = at(i, j);
      const double u = (i + 0.5) / n, v = (j + 0.5) / n;
      platform::Argb color;
      double lit;
      if (h <= 0) {
        color = Ramp(water_, -h);
        if (foamDepth_ > 0)
          color = LerpColor(color, foam_, 0.6 * (1.0 - SmoothStep(0, foamDepth_, -h)));
        lit = toSun.y;
      } else {
        const double gx = (std::max(at(i + 1, j), 0.0) - std::max(at(i - 1, j), 0.0)) / (2 * step);
        const double gz = (std::max(at(i, j - 1), 0.0) - std::max(at(i, j + 1), 0.0)) / (2 * step);
        const Vec3 normal = Normalized({-gx, 1, -gz});
        const double slope = std::hypot(gx, gz);
        color = Ramp(land_, h);
        if (forest_ != 0) {
          const double f = forestNoise.TiledFractal(u * forestFrequency_, v * forestFrequency_,
                                                    forestFrequency_, 4);
          const double cover = SmoothStep(forestCover_, forestCover_ + 0.08, f) *
                               SmoothStep(20, 60, h) * (1.0 - SmoothStep(0.25, 0.4, slope));
          color = LerpColor(color, forest_, cover);
        }
        if (rock_ != 0)
          color = LerpColor(color, rock_, SmoothStep(rockFrom_, rockTo_, slope));
        lit = std::max(Dot(normal, toSun), 0.0);
      }
      if (detail_ > 0) {
        const double d = detailNoise.TiledFractal(u * detailFrequency_, v * detailFrequency_,
                                                  detailFrequency_, 3);
        const double f = 1.0 + (d - 0.5) * 2.0 * detail_;
        color = Scale(color, f, f, f);
      }
      const double light = sunStrength_ * lit * (1.0 - 0.6 * shadow[i]);
      color = Scale(color, ambient_ + light * Unit(sun_, 16), ambient_ + light * Unit(sun_, 8),
                    ambient_ + light * Unit(sun_, 0));
      canvas->SetRect(i, j, 1, 1, color);
    }
  }
}

bool TerrainPainter::Write(const std::string& outDir, std::string* error) const {
  Canvas canvas(0, 0);
  Paint(&canvas);
  const std::string path = outDir + "/" + file_;
  std::string problem;
  if (!gfx::ImageWriter::WritePng(path, canvas.Pixels().data(), canvas.Width(), canvas.Height(),
                                  canvas.Width(), false, &problem)) {
    *error = path + ": " + problem;
    return false;
  }
  return true;
}

}  // namespace quarn::tools
