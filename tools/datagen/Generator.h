#pragma once
// Makes every generated asset of the demo game from the recipes in one folder: pictures
// (Images.txt, Hud.txt, Textures.txt, drawing with Shapes.txt), 3D meshes (Meshes.txt), the
// ground's textures (Terrain.txt, whose height fields the meshes share), sound effects
// (Sounds.txt), music (Music.txt) and the movie (Movie.txt). Each section that names a "File"
// makes that file.
#include <ostream>
#include <string>
#include <vector>

#include "FontRenderer.h"
#include "RecipeFile.h"
#include "ShapeBook.h"

namespace quarn::tools {

class Generator {
 public:
  struct Options {
    std::string recipeDir;
    std::string outDir;
    std::string fontDir;            // empty: the usual places
    std::vector<std::string> only;  // file names to make; empty: all
    bool verbose = false;
    unsigned jobs = 1;  // files made at the same time
  };

  // 0 when every asset was written; 1 (with one line on err) at the first problem.
  int Run(const Options& options, std::ostream& out, std::ostream& err);

  // The recipe files the generator reads, in the folder.
  static const std::vector<std::string>& RecipeNames();

 private:
  enum class Kind { Mesh, Image, Sound, Terrain, Music, Movie };
  struct Output {
    std::string file;
    Kind kind;
    const RecipeFile* recipe;
    std::string section;
  };
  bool LoadRecipes(const std::string& dir, std::string* error);
  bool CollectOutputs(std::vector<Output>* outputs, std::string* error) const;
  bool Make(const Output& output, const std::string& outDir, const ShapeBook& shapes,
            FontRenderer* fonts, std::string* error) const;

  RecipeFile shapes_, images_, hud_, textures_, meshes_, terrain_, sounds_, music_, movie_;
};

}  // namespace quarn::tools
