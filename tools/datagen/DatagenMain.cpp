// datagen: writes the demo game's pictures, meshes, sounds, music and movie from data/recipes.
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "Generator.h"

namespace {
const char kUsage[] =
    "usage: datagen [-v] [-j N] [--fonts DIR] RECIPE_DIR OUT_DIR [FILE...]\n"
    "Makes the generated assets of the demo game from the recipes in RECIPE_DIR (Shapes.txt,\n"
    "Images.txt, Hud.txt, Textures.txt, Meshes.txt, Terrain.txt, Sounds.txt, Music.txt,\n"
    "Movie.txt; a folder may hold only some of them) into OUT_DIR: all of them, or only the\n"
    "FILEs named. The same recipes always give the same bytes.\n"
    "\n"
    "  -v           name each file written and the time taken\n"
    "  -j N         make N files at a time (1 by default)\n"
    "  --fonts DIR  where DejaVuSans.ttf, DejaVuSans-Bold.ttf and DejaVuSansMono-Bold.ttf\n"
    "               are (by default the usual places of the fonts-dejavu-core package)\n"
    "\n"
    "Exit status: 0 done, 1 a recipe or a file could not be made, 2 usage error.\n";
}

int main(int argc, char** argv) {
  quarn::tools::Generator::Options options;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "-v") {
      options.verbose = true;
    } else if (arg == "-j" && i + 1 < argc) {
      const int jobs = std::atoi(argv[++i]);
      if (jobs < 1 || jobs > 64) {
        std::cerr << "datagen: -j takes 1 to 64\n";
        return 2;
      }
      options.jobs = static_cast<unsigned>(jobs);
    } else if (arg == "--fonts" && i + 1 < argc) {
      options.fontDir = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "datagen: unknown option " << arg << "\n" << kUsage;
      return 2;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() < 2) {
    std::cerr << kUsage;
    return 2;
  }
  options.recipeDir = positional[0];
  options.outDir = positional[1];
  options.only.assign(positional.begin() + 2, positional.end());
  quarn::tools::Generator generator;
  return generator.Run(options, std::cout, std::cerr);
}
