#pragma once
// Pictures from a recipe: each section with a "File" is one PNG of "Width" x "Height" pixels
// (powers of two, as textures want them; "PowerOfTwo" false for pictures that are never
// textures, such as the desktop icons), cleared to "Background" (AARRGGBB, transparent by
// default) and drawn by its Draw_N commands. "Alpha" true keeps the alpha channel, false drops
// it; left out, the alpha channel is kept when some pixel is not opaque. Sections without a File
// are parts for "use".
#include <string>
#include <vector>

#include "Canvas.h"
#include "DrawScript.h"
#include "RecipeFile.h"

namespace quarn::tools {

class ImageRecipe {
 public:
  explicit ImageRecipe(DrawScript* script) : script_(script) {}

  // The sections that make a file, in file order.
  static std::vector<std::string> Pictures(const RecipeFile& recipe);
  // Draws one picture. False with the reason in *error.
  bool Render(const RecipeFile& recipe, const std::string& section, Canvas* canvas,
              std::string* error);
  // Draws it and writes it as outDir/File.
  bool Write(const RecipeFile& recipe, const std::string& section, const std::string& outDir,
             std::string* error);

 private:
  DrawScript* script_;
};

}  // namespace quarn::tools
