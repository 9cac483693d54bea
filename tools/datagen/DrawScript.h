#pragma once
// Runs the drawing commands of a recipe section ("Draw_0", "Draw_1", ... in number order) on a
// canvas. One command per value: a verb and its words, colours as AARRGGBB:
//   fill C | clear X Y W H C | vgradient X Y W H TOP BOTTOM | hgradient X Y W H LEFT RIGHT
//   rect X Y W H C | frame X Y W H THICKNESS C | circle X Y R C | ring X Y R THICKNESS C
//   glow X Y R C | line X1 Y1 X2 Y2 THICKNESS C | poly C X1 Y1 X2 Y2 X3 Y3 ...
//   shape NAME X Y SCALE ANGLE C | text X Y SIZE sans|bold|mono left|center|right C OUTLINE TEXT
//   digits X Y CELLW CELLH COLUMNS SIZE FONT C OUTLINE | stars SEED COUNT X Y W H C
//   clouds SEED X Y W H SCALE COVER C | hills SEED X Y W H SCALE C | grid X Y W H STEP C
//   radial X Y R0 R1 C0 C1 (the ring from R0 to R1, C0 inside to C1 outside)
//   skyclouds SEED X Y R SCALE COVER C (clouds over a disc, thinning to nothing at its rim)
//   puff SEED X Y R ROUGH C (a soft round blob, ROUGH 0..1 of it broken up by noise)
//   streak X1 Y1 X2 Y2 WIDTH C (a soft line, fading across and towards both ends)
//   use SECTION [DX DY]   (the commands of another section, moved by DX, DY)
// OUTLINE is a colour or "-"; TEXT runs to the end of the value.
#include <string>

#include "Canvas.h"
#include "FontRenderer.h"
#include "RecipeFile.h"
#include "ShapeBook.h"

namespace quarn::tools {

class DrawScript {
 public:
  DrawScript(FontRenderer* fonts, const ShapeBook* shapes) : fonts_(fonts), shapes_(shapes) {}

  // False with "File [Section] Draw_N: problem" in *error at the first bad command.
  bool Run(const RecipeFile& recipe, const std::string& section, Canvas* canvas,
           std::string* error);

 private:
  bool RunCommand(const RecipeFile& recipe, const std::string& line, Canvas* canvas,
                  std::string* problem);

  FontRenderer* fonts_;
  const ShapeBook* shapes_;
  double originX_ = 0;
  double originY_ = 0;
  int depth_ = 0;
  bool nested_ = false;  // the last problem came from a used section and names its place
};

}  // namespace quarn::tools
