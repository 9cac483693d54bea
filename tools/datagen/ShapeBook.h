#pragma once
// Named drawings made of polygons (aircraft, ships, icons), read from a recipe: one section
// per shape, "Poly_N=SHADE [mirror] X Y X Y ..." in the shape's own units, nose up (-y).
// SHADE is "-" (the colour the shape is drawn with), "dark", "light" or an AARRGGBB colour;
// "mirror" adds the polygon's reflection about x = 0, so symmetric shapes are given by half.
#include <map>
#include <string>
#include <vector>

#include "Canvas.h"
#include "RecipeFile.h"

namespace quarn::tools {

struct ShapePose {
  double x = 0;
  double y = 0;
  double scale = 1;
  double angle = 0;  // degrees, clockwise on screen
};

class ShapeBook {
 public:
  // Reads every section of the recipe as a shape. False with the reason in *error.
  bool Load(const RecipeFile& recipe, std::string* error);
  bool Has(const std::string& name) const { return shapes_.count(name) != 0; }
  // Draws the shape; an unknown name draws nothing (callers check Has first).
  void Draw(Canvas* canvas, const std::string& name, const ShapePose& pose,
            platform::Argb color) const;

 private:
  enum class Shade { Base, Dark, Light, Fixed };
  struct Polygon {
    Shade shade = Shade::Base;
    platform::Argb color = 0;
    bool mirror = false;
    std::vector<Point> points;
  };
  std::map<std::string, std::vector<Polygon>> shapes_;
};

}  // namespace quarn::tools
