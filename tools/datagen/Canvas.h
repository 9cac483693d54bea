#pragma once
// A picture being drawn: 0xAARRGGBB pixels, top row first, with the few anti-aliased shapes
// the demo content is made of. Every drawing call blends "source over" and clips to the canvas.
#include <cstdint>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::tools {

struct Point {
  double x = 0;
  double y = 0;
};

class Canvas {
 public:
  Canvas(int width, int height, platform::Argb fill = 0);

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<platform::Argb>& Pixels() const { return pixels_; }
  platform::Argb At(int x, int y) const { return pixels_[Index(x, y)]; }

  void Fill(platform::Argb color);
  // Blends color over the pixel with coverage 0..1 (scaled into the colour's alpha).
  void Blend(int x, int y, platform::Argb color, double coverage);
  // Replaces the pixels of a rectangle (no blending), as for clearing an area to transparent.
  void SetRect(int x, int y, int w, int h, platform::Argb color);
  void FillRect(double x, double y, double w, double h, platform::Argb color);
  // Colours run from top to bottom (vertical) or from left to right.
  void Gradient(int x, int y, int w, int h, platform::Argb from, platform::Argb to, bool vertical);
  void FillCircle(double cx, double cy, double radius, platform::Argb color);
  void Ring(double cx, double cy, double radius, double thickness, platform::Argb color);
  // A soft disc: full colour at the centre fading to nothing at radius.
  void Glow(double cx, double cy, double radius, platform::Argb color);
  void Line(Point from, Point to, double thickness, platform::Argb color);
  void Frame(double x, double y, double w, double h, double thickness, platform::Argb color);
  // Fills a polygon (non-zero winding), edges anti-aliased.
  void FillPolygon(const std::vector<Point>& points, platform::Argb color);
  // Several polygons filled as one shape, so that shared edges leave no seam.
  void FillPolygons(const std::vector<std::vector<Point>>& polygons, platform::Argb color);
  // Copies another canvas over this one at (x, y), blending by its alpha and opacity.
  void Draw(const Canvas& source, int x, int y, double opacity = 1.0);

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

  int width_;
  int height_;
  std::vector<platform::Argb> pixels_;
};

// Channel helpers on 0xAARRGGBB.
platform::Argb LerpColor(platform::Argb from, platform::Argb to, double t);
platform::Argb WithAlpha(platform::Argb color, double alpha);

}  // namespace quarn::tools
