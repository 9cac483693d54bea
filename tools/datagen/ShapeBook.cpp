#include "ShapeBook.h"

#include <cmath>
#include <numbers>

#include "TokenReader.h"

namespace quarn::tools {

bool ShapeBook::Load(const RecipeFile& recipe, std::string* error) {
  shapes_.clear();
  for (const std::string& name : recipe.Sections()) {
    std::vector<Polygon> polygons;
    for (const auto& [index, value] : recipe.List(name, "Poly")) {
      TokenReader tokens(value);
      Polygon polygon;
      const std::string shade = tokens.Word("shade");
      if (shade == "-") {
        polygon.shade = Shade::Base;
      } else if (shade == "dark") {
        polygon.shade = Shade::Dark;
      } else if (shade == "light") {
        polygon.shade = Shade::Light;
      } else {
        TokenReader colour(shade);
        polygon.shade = Shade::Fixed;
        polygon.color = colour.Color("shade");
        if (!colour.Ok())
          tokens.Fail(colour.Problem() + " (or -, dark, light)");
      }
      polygon.mirror = tokens.Accept("mirror");
      while (!tokens.AtEnd() && tokens.Ok()) {
        const double x = tokens.Number("x");
        const double y = tokens.Number("y");
        polygon.points.push_back({x, y});
      }
      if (tokens.Ok() && polygon.points.size() < 3)
        tokens.Fail("a polygon needs at least three points");
      if (!tokens.Ok()) {
        *error = recipe.Where(name, "Poly_" + std::to_string(index)) + ": " + tokens.Problem();
        return false;
      }
      polygons.push_back(std::move(polygon));
    }
    if (polygons.empty()) {
      *error = recipe.Where(name, "") + ": a shape needs at least one Poly_N";
      return false;
    }
    shapes_[name] = std::move(polygons);
  }
  return true;
}

void ShapeBook::Draw(Canvas* canvas, const std::string& name, const ShapePose& pose,
                     platform::Argb color) const {
  const auto found = shapes_.find(name);
  if (found == shapes_.end())
    return;
  const double radians = pose.angle * std::numbers::pi / 180.0;
  const double c = std::cos(radians) * pose.scale;
  const double s = std::sin(radians) * pose.scale;
  const auto place = [&](Point p) {
    return Point{pose.x + p.x * c - p.y * s, pose.y + p.x * s + p.y * c};
  };
  for (const Polygon& polygon : found->second) {
    platform::Argb shade = color;
    if (polygon.shade == Shade::Dark)
      shade = LerpColor(color, color & 0xFF000000, 0.4);
    else if (polygon.shade == Shade::Light)
      shade = LerpColor(color, color | 0x00FFFFFF, 0.4);
    else if (polygon.shade == Shade::Fixed)
      shade = WithAlpha(polygon.color, (color >> 24) / 255.0);
    std::vector<std::vector<Point>> parts(1);
    for (const Point& p : polygon.points)
      parts[0].push_back(place(p));
    if (polygon.mirror) {
      parts.emplace_back();
      for (auto p = polygon.points.rbegin(); p != polygon.points.rend(); ++p)
        parts[1].push_back(place({-p->x, p->y}));
    }
    canvas->FillPolygons(parts, shade);
  }
}

}  // namespace quarn::tools
