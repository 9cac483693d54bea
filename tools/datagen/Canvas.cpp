#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace quarn::tools {

using platform::Argb;

namespace {
// Sub-scanlines per pixel row for polygon edges: enough for smooth text-sized shapes.
constexpr int kSubRows = 5;

int Channel(Argb color, int shift) {
  return static_cast<int>((color >> shift) & 0xFF);
}

struct Crossing {
  double x;
  int winding;
};
}  // namespace

Argb LerpColor(Argb from, Argb to, double t) {
  t = std::clamp(t, 0.0, 1.0);
  Argb out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const double value = Channel(from, shift) + (Channel(to, shift) - Channel(from, shift)) * t;
    out |= static_cast<Argb>(value + 0.5) << shift;
  }
  return out;
}

Argb WithAlpha(Argb color, double alpha) {
  const auto a = static_cast<Argb>(std::lround(std::clamp(alpha, 0.0, 1.0) * Channel(color, 24)));
  return (color & 0x00FFFFFF) | a << 24;
}

Canvas::Canvas(int width, int height, Argb fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * height_, fill) {}

void Canvas::Fill(Argb color) {
  std::fill(pixels_.begin(), pixels_.end(), color);
}

void Canvas::Blend(int x, int y, Argb color, double coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage <= 0.0)
    return;
  Argb& pixel = pixels_[Index(x, y)];
  if (coverage >= 1.0 && (color >> 24) == 0xFF) {
    pixel = color;
    return;
  }
  const double sa = Channel(color, 24) / 255.0 * std::min(coverage, 1.0);
  if (sa <= 0.0)
    return;
  const double da = Channel(pixel, 24) / 255.0;
  const double outA = sa + da * (1.0 - sa);
  const double keep = da * (1.0 - sa) / outA;
  const double take = sa / outA;
  Argb out = static_cast<Argb>(outA * 255.0 + 0.5) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const double value = Channel(color, shift) * take + Channel(pixel, shift) * keep;
    out |= static_cast<Argb>(std::min(value + 0.5, 255.0)) << shift;
  }
  pixel = out;
}

void Canvas::SetRect(int x, int y, int w, int h, Argb color) {
  for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row) {
    for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col)
      pixels_[Index(col, row)] = color;
  }
}

void Canvas::FillRect(double x, double y, double w, double h, Argb color) {
  FillPolygon({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, color);
}

void Canvas::Gradient(int x, int y, int w, int h, Argb from, Argb to, bool vertical) {
  for (int row = std::max(y, 0); row < std::min(y + h, height_); ++row) {
    const Argb rowColor = LerpColor(from, to, h > 1 ? double(row - y) / (h - 1) : 0.0);
    for (int col = std::max(x, 0); col < std::min(x + w, width_); ++col) {
      Blend(col, row,
            vertical ? rowColor : LerpColor(from, to, w > 1 ? double(col - x) / (w - 1) : 0.0),
            1.0);
    }
  }
}

void Canvas::FillCircle(double cx, double cy, double radius, Argb color) {
  const int x0 = static_cast<int>(std::floor(cx - radius - 1));
  const int x1 = static_cast<int>(std::ceil(cx + radius + 1));
  const int y0 = static_cast<int>(std::floor(cy - radius - 1));
  const int y1 = static_cast<int>(std::ceil(cy + radius + 1));
  for (int y = std::max(y0, 0); y <= std::min(y1, height_ - 1); ++y) {
    for (int x = std::max(x0, 0); x <= std::min(x1, width_ - 1); ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      Blend(x, y, color, std::clamp(radius - d + 0.5, 0.0, 1.0));
    }
  }
}

void Canvas::Ring(double cx, double cy, double radius, double thickness, Argb color) {
  const double outer = radius + thickness / 2 + 1;
  for (int y = std::max(static_cast<int>(cy - outer), 0);
       y <= std::min(static_cast<int>(cy + outer), height_ - 1); ++y) {
    for (int x = std::max(static_cast<int>(cx - outer), 0);
         x <= std::min(static_cast<int>(cx + outer), width_ - 1); ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      Blend(x, y, color, std::clamp(thickness / 2 - std::abs(d - radius) + 0.5, 0.0, 1.0));
    }
  }
}

void Canvas::Glow(double cx, double cy, double radius, Argb color) {
  if (radius <= 0)
    return;
  for (int y = std::max(static_cast<int>(cy - radius), 0);
       y <= std::min(static_cast<int>(cy + radius), height_ - 1); ++y) {
    for (int x = std::max(static_cast<int>(cx - radius), 0);
         x <= std::min(static_cast<int>(cx + radius), width_ - 1); ++x) {
      const double t = 1.0 - std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
      if (t > 0)
        Blend(x, y, color, t * t);
    }
  }
}

void Canvas::Line(Point from, Point to, double thickness, Argb color) {
  const double length = std::hypot(to.x - from.x, to.y - from.y);
  if (length <= 0)
    return;
  const double nx = -(to.y - from.y) / length * thickness / 2;
  const double ny = (to.x - from.x) / length * thickness / 2;
  FillPolygon({{from.x + nx, from.y + ny},
               {to.x + nx, to.y + ny},
               {to.x - nx, to.y - ny},
               {from.x - nx, from.y - ny}},
              color);
}

void Canvas::Frame(double x, double y, double w, double h, double thickness, Argb color) {
  const double t = thickness;
  // The inner rectangle runs the other way round, so non-zero winding leaves it empty.
  FillPolygons({{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}},
                {{x + t, y + t}, {x + t, y + h - t}, {x + w - t, y + h - t}, {x + w - t, y + t}}},
               color);
}

void Canvas::FillPolygon(const std::vector<Point>& points, Argb color) {
  FillPolygons({points}, color);
}

void Canvas::FillPolygons(const std::vector<std::vector<Point>>& polygons, Argb color) {
  double minX = 1e30, minY = 1e30, maxX = -1e30, maxY = -1e30;
  for (const auto& polygon : polygons) {
    for (const Point& p : polygon) {
      minX = std::min(minX, p.x);
      maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y);
      maxY = std::max(maxY, p.y);
    }
  }
  if (minX > maxX)
    return;
  const int x0 = std::max(static_cast<int>(std::floor(minX)), 0);
  const int x1 = std::min(static_cast<int>(std::ceil(maxX)), width_ - 1);
  const int y0 = std::max(static_cast<int>(std::floor(minY)), 0);
  const int y1 = std::min(static_cast<int>(std::ceil(maxY)), height_ - 1);
  if (x0 > x1 || y0 > y1)
    return;
  const int span = x1 - x0 + 1;
  std::vector<double> coverage(span + 1);
  std::vector<double> runs(span + 2);  // differences: whole pixels covered from an index on
  std::vector<Crossing> crossings;
  for (int y = y0; y <= y1; ++y) {
    std::fill(coverage.begin(), coverage.end(), 0.0);
    std::fill(runs.begin(), runs.end(), 0.0);
    for (int sub = 0; sub < kSubRows; ++sub) {
      const double sy = y + (sub + 0.5) / kSubRows;
      crossings.clear();
      for (const auto& polygon : polygons) {
        for (size_t i = 0; i < polygon.size(); ++i) {
          const Point& a = polygon[i];
          const Point& b = polygon[(i + 1) % polygon.size()];
          if (a.y == b.y || sy < std::min(a.y, b.y) || sy >= std::max(a.y, b.y))
            continue;
          crossings.push_back({a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y), b.y > a.y ? 1 : -1});
        }
      }
      std::sort(crossings.begin(), crossings.end(),
                [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
      int winding = 0;
      for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].winding;
        if (winding == 0)
          continue;
        const double left = std::clamp(crossings[i].x, double(x0), double(x1 + 1));
        const double right = std::clamp(crossings[i + 1].x, double(x0), double(x1 + 1));
        if (right <= left)
          continue;
        const int il = static_cast<int>(std::floor(left));
        const int ir = static_cast<int>(std::floor(right));
        const double weight = 1.0 / kSubRows;
        if (il == ir) {
          coverage[il - x0] += (right - left) * weight;
          continue;
        }
        coverage[il - x0] += (il + 1 - left) * weight;
        runs[il + 1 - x0] += weight;
        runs[ir - x0] -= weight;
        if (ir <= x1)
          coverage[ir - x0] += (right - ir) * weight;
      }
    }
    double running = 0.0;
    for (int i = 0; i < span; ++i) {
      running += runs[i];
      const double c = coverage[i] + running;
      if (c > 1e-6)
        Blend(x0 + i, y, color, std::min(c, 1.0));
    }
  }
}

void Canvas::Draw(const Canvas& source, int x, int y, double opacity) {
  for (int row = 0; row < source.height_; ++row) {
    for (int col = 0; col < source.width_; ++col)
      Blend(x + col, y + row, source.At(col, row), opacity);
  }
}

}  // namespace quarn::tools
