#include "Generator.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "DrawScript.h"
#include "FontRenderer.h"
#include "ImageRecipe.h"
#include "MeshRecipe.h"
#include "MovieRenderer.h"
#include "MusicSynth.h"
#include "ShapeBook.h"
#include "TerrainPainter.h"
#include "WaveSynth.h"

namespace quarn::tools {

namespace {
std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool FileNameIsPlain(const std::string& name) {
  return !name.empty() && name.size() <= 255 && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos && name != "." && name != "..";
}
}  // namespace

const std::vector<std::string>& Generator::RecipeNames() {
  static const std::vector<std::string> kNames = {"Shapes.txt",   "Images.txt", "Hud.txt",
                                                  "Textures.txt", "Meshes.txt", "Terrain.txt",
                                                  "Sounds.txt",   "Music.txt",  "Movie.txt"};
  return kNames;
}

bool Generator::LoadRecipes(const std::string& dir, std::string* error) {
  RecipeFile* files[] = {&shapes_,  &images_, &hud_,   &textures_, &meshes_,
                         &terrain_, &sounds_, &music_, &movie_};
  // A folder may hold only some of the recipes (the desktop icons are pictures alone); one
  // with none of them is a mistaken folder.
  size_t found = 0;
  for (size_t i = 0; i < RecipeNames().size(); ++i) {
    const std::string path = dir + "/" + RecipeNames()[i];
    if (!std::filesystem::exists(path))
      continue;
    if (!files[i]->Load(path, error))
      return false;
    ++found;
  }
  if (found == 0)
    *error = dir + ": holds none of the recipe files (Images.txt, Sounds.txt, ...)";
  return found != 0;
}

bool Generator::CollectOutputs(std::vector<Output>* outputs, std::string* error) const {
  const std::pair<const RecipeFile*, Kind> sources[] = {
      {&images_, Kind::Image}, {&hud_, Kind::Image},       {&textures_, Kind::Image},
      {&meshes_, Kind::Mesh},  {&terrain_, Kind::Terrain}, {&sounds_, Kind::Sound},
      {&music_, Kind::Music},  {&movie_, Kind::Movie}};
  std::map<std::string, std::string> seen;  // lower-cased name -> where it is made
  for (const auto& [recipe, kind] : sources) {
    for (const std::string& section : recipe->Sections()) {
      const auto file = recipe->Get(section, "File");
      if (!file)
        continue;
      const std::string where = recipe->Where(section, "File");
      if (!FileNameIsPlain(*file)) {
        *error = where + ": '" + *file + "' is not a plain file name";
        return false;
      }
      const auto [entry, added] = seen.emplace(Lower(*file), where);
      if (!added) {
        // The archive looks names up without regard to case, so these would collide.
        *error = where + ": " + *file + " is also made by " + entry->second;
        return false;
      }
      outputs->push_back({*file, kind, recipe, section});
    }
  }
  return true;
}

bool Generator::Make(const Output& output, const std::string& outDir, const ShapeBook& shapes,
                     FontRenderer* fonts, std::string* error) const {
  const std::string path = outDir + "/" + output.file;
  switch (output.kind) {
    case Kind::Image: {
      DrawScript script(fonts, &shapes);
      ImageRecipe images(&script);
      return images.Write(*output.recipe, output.section, outDir, error);
    }
    case Kind::Mesh:
      return MeshRecipe(&meshes_, &terrain_).Write(output.section, outDir, error);
    case Kind::Terrain: {
      TerrainPainter painter;
      return painter.Load(terrain_, output.section, error) && painter.Write(outDir, error);
    }
    case Kind::Sound: {
      WaveSynth synth;
      return synth.Load(*output.recipe, output.section, error) && synth.Write(path, error);
    }
    case Kind::Music: {
      MusicSynth synth;
      return synth.Load(*output.recipe, output.section, error) && synth.Write(path, error);
    }
    case Kind::Movie: {
      MovieRenderer movie(fonts, &shapes);
      return movie.Load(*output.recipe, output.section, music_, sounds_, error) &&
             movie.Write(path, error);
    }
  }
  return false;
}

int Generator::Run(const Options& options, std::ostream& out, std::ostream& err) {
  const auto started = std::chrono::steady_clock::now();
  std::string error;
  ShapeBook shapes;
  FontRenderer fonts;
  std::vector<Output> outputs;
  if (!LoadRecipes(options.recipeDir, &error) || !shapes.Load(shapes_, &error) ||
      !CollectOutputs(&outputs, &error) ||
      !fonts.Open(FontRenderer::SearchFolders(options.fontDir), &error)) {
    err << "datagen: " << error << "\n";
    return 1;
  }
  for (const std::string& name : options.only) {
    if (std::none_of(outputs.begin(), outputs.end(),
                     [&](const Output& o) { return o.file == name; })) {
      err << "datagen: no recipe makes " << name << "\n";
      return 1;
    }
  }
  std::error_code made;
  std::filesystem::create_directories(options.outDir, made);
  if (made) {
    err << "datagen: " << options.outDir << ": " << made.message() << "\n";
    return 1;
  }
  std::vector<const Output*> work;
  for (const Output& output : outputs) {
    if (options.only.empty() ||
        std::find(options.only.begin(), options.only.end(), output.file) != options.only.end()) {
      work.push_back(&output);
    }
  }
  // The longest jobs first, so that workers finish together.
  std::stable_sort(work.begin(), work.end(), [](const Output* l, const Output* r) {
    return static_cast<int>(l->kind) > static_cast<int>(r->kind);
  });

  // Each file depends on its recipe alone, so files are made in parallel; every worker has
  // its own fonts (FreeType faces are not shared between threads).
  std::vector<std::string> errors(work.size());
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  const auto worker = [&]() {
    FontRenderer own;
    std::string problem;
    own.Open(FontRenderer::SearchFolders(options.fontDir), &problem);
    for (size_t i = next++; i < work.size() && !failed; i = next++) {
      if (!Make(*work[i], options.outDir, shapes, &own, &errors[i]))
        failed = true;
    }
  };
  const size_t jobs = std::clamp<size_t>(options.jobs, 1, std::max<size_t>(work.size(), 1));
  std::vector<std::thread> threads;
  for (size_t i = 1; i < jobs; ++i)
    threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads)
    thread.join();
  for (const std::string& problem : errors) {
    if (!problem.empty()) {
      err << "datagen: " << problem << "\n";
      return 1;
    }
  }
  if (failed) {
    err << "datagen: a file could not be made\n";
    return 1;
  }
  if (options.verbose) {
    for (const Output* output : work)
      out << "datagen: wrote " << options.outDir << "/" << output->file << "\n";
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    out << "datagen: " << work.size() << " files in " << seconds << " s\n";
  }
  return 0;
}

}  // namespace quarn::tools
