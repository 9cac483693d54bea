#include "ImageRecipe.h"

#include "TokenReader.h"
#include "gfxutil/ImageWriter.h"

namespace quarn::tools {

namespace {
// Texture sizes the game's device takes without stretching.
bool IsPowerOfTwo(int value) {
  return value > 0 && value <= 4096 && (value & (value - 1)) == 0;
}

bool ReadSize(const RecipeFile& recipe, const std::string& section, const char* key,
              bool powerOfTwo, int* size, std::string* error) {
  TokenReader tokens(recipe.GetOr(section, key, ""));
  *size = tokens.Integer(key);
  if (tokens.Ok() && powerOfTwo && !IsPowerOfTwo(*size))
    tokens.Fail("must be a power of two from 1 to 4096");
  if (tokens.Ok() && (*size < 1 || *size > 4096))
    tokens.Fail("must be from 1 to 4096");
  if (!tokens.Ok())
    *error = recipe.Where(section, key) + ": " + tokens.Problem();
  return tokens.Ok();
}
}  // namespace

std::vector<std::string> ImageRecipe::Pictures(const RecipeFile& recipe) {
  std::vector<std::string> pictures;
  for (const std::string& section : recipe.Sections()) {
    if (recipe.Get(section, "File"))
      pictures.push_back(section);
  }
  return pictures;
}

bool ImageRecipe::Render(const RecipeFile& recipe, const std::string& section, Canvas* canvas,
                         std::string* error) {
  const std::string powerOfTwo = recipe.GetOr(section, "PowerOfTwo", "true");
  if (powerOfTwo != "true" && powerOfTwo != "false") {
    *error = recipe.Where(section, "PowerOfTwo") + ": must be true or false";
    return false;
  }
  int width = 0;
  int height = 0;
  if (!ReadSize(recipe, section, "Width", powerOfTwo == "true", &width, error) ||
      !ReadSize(recipe, section, "Height", powerOfTwo == "true", &height, error)) {
    return false;
  }
  TokenReader background(recipe.GetOr(section, "Background", "00000000"));
  const platform::Argb fill = background.Color("Background");
  if (!background.Ok()) {
    *error = recipe.Where(section, "Background") + ": " + background.Problem();
    return false;
  }
  *canvas = Canvas(width, height, fill);
  return script_->Run(recipe, section, canvas, error);
}

bool ImageRecipe::Write(const RecipeFile& recipe, const std::string& section,
                        const std::string& outDir, std::string* error) {
  Canvas canvas(0, 0);
  if (!Render(recipe, section, &canvas, error))
    return false;
  const std::string alpha = recipe.GetOr(section, "Alpha", "");
  bool keepAlpha = false;
  if (alpha.empty()) {
    for (platform::Argb pixel : canvas.Pixels())
      keepAlpha = keepAlpha || (pixel >> 24) != 0xFF;
  } else if (alpha == "true" || alpha == "false") {
    keepAlpha = alpha == "true";
  } else {
    *error = recipe.Where(section, "Alpha") + ": must be true or false";
    return false;
  }
  const std::string file = recipe.GetOr(section, "File", "");
  std::string problem;
  if (!gfx::ImageWriter::WritePng(outDir + "/" + file, canvas.Pixels().data(), canvas.Width(),
                                  canvas.Height(), canvas.Width(), keepAlpha, &problem)) {
    *error = outDir + "/" + file + ": " + problem;
    return false;
  }
  return true;
}

}  // namespace quarn::tools
