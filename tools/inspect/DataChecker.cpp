#include "DataChecker.h"

#include <unistd.h>

#include <algorithm>

#include "StageChecker.h"
#include "engine/WaveFile.h"
#include "gfxutil/TextureCreation.h"
#include "gfxutil/XMeshLoader.h"
#include "platform/NullRenderDevice.h"

namespace quarn::tools {

namespace {
bool Readable(const std::string& path) {
  return access(path.c_str(), R_OK) == 0;
}
bool HasOuterSpace(const std::string& name) {
  auto space = [](char c) { return c == ' ' || c == '\t'; };
  return !name.empty() && (space(name.front()) || space(name.back()));
}
}  // namespace

DataChecker::DataChecker(DataSource& source, CheckReport& report)
    : source_(source), report_(report) {}

void DataChecker::Run() {
  if (source_.IsDamaged()) {
    report_.Add(source_.Location(), 0,
                "the archive ends in a damaged record: the entries after it are lost");
  }
  for (const RootFile& root : KeyTable::Roots())
    Follow({root.name, root.kind, root.role, "", 0, ""});
  while (!pending_.empty()) {
    const auto [index, role] = pending_.front();
    pending_.pop_front();
    Reached& file = *files_[index];
    if (file.text == nullptr)
      continue;
    for (const FileReference& reference : DefinitionChecker(file.name, *file.text).References(role))
      Follow(reference);
  }
  for (const auto& file : files_)
    Report(*file);
}

void DataChecker::Follow(const FileReference& reference) {
  const auto key = std::make_pair(reference.kind, LowerCaseName(reference.name));
  auto [it, added] = index_.try_emplace(key, files_.size());
  if (added) {
    auto file = std::make_unique<Reached>();
    file->name = reference.name;
    file->kind = reference.kind;
    files_.push_back(std::move(file));
  }
  Reached& file = *files_[it->second];
  // A file read in two roles is named twice from the same line: one place.
  if (std::none_of(file.namedBy.begin(), file.namedBy.end(), [&](const FileReference& seen) {
        return seen.from == reference.from && seen.line == reference.line;
      })) {
    file.namedBy.push_back(reference);
  }
  if (added)
    Load(file);
  if (reference.kind == FileKind::Definition && file.roles.insert(reference.role).second)
    pending_.emplace_back(it->second, reference.role);
}

void DataChecker::Load(Reached& file) {
  // Music and movies are streamed by the media player: the game only asks that they exist.
  if (file.kind == FileKind::Music || file.kind == FileKind::Movie) {
    file.found = source_.Exists(file.name);
    return;
  }
  const DataSource::Copy copy(source_, file.name);
  file.found = Readable(copy.Path());
  if (!file.found)
    return;
  switch (file.kind) {
    case FileKind::Definition: {
      auto text = std::make_unique<DefinitionText>();
      if (text->Load(copy.Path()))
        file.text = std::move(text);
      else
        file.problem = "cannot be read";
      break;
    }
    case FileKind::Mesh:
      LoadMesh(file, copy.Path());
      break;
    case FileKind::Picture: {
      platform::NullRenderDevice device;
      std::string reason;
      if (gfx::CreateTextureFromFile(device, copy.Path(), &reason) == nullptr)
        file.problem = "cannot be loaded as a picture: " + reason;
      break;
    }
    case FileKind::Sound: {
      WaveFile wave;
      if (!wave.Load(copy.Path()))
        file.problem = "cannot be loaded as a sound: " + wave.Problem();
      else if (wave.IsTruncated())
        file.problem = "the sample data is cut short: the game plays what is there";
      break;
    }
    default:
      break;
  }
}

void DataChecker::LoadMesh(Reached& file, const std::string& path) {
  platform::NullRenderDevice device;
  std::string error;
  const std::unique_ptr<gfx::Mesh> mesh = gfx::LoadMeshFromX(path, device, &error);
  if (mesh == nullptr) {
    file.problem = "cannot be loaded as a mesh: " + error;
    return;
  }
  // The game loads a material's texture by its name, as it loads any other file.
  const std::string name = file.name;
  std::vector<std::string> textures;
  for (const gfx::FileMaterial& material : mesh->Materials()) {
    if (!material.textureFile.empty())
      textures.push_back(material.textureFile);
  }
  for (const std::string& texture : textures)
    Follow({texture, FileKind::Picture, Role::None, name, 0, "its material"});
}

std::string DataChecker::NamedBy(const Reached& file) {
  const FileReference& first = file.namedBy.front();
  if (first.from.empty())
    return "the game opens it by this name";
  std::string text = "named by " + first.from + "(" + std::to_string(first.line) + ") " + first.key;
  if (file.namedBy.size() > 1) {
    const size_t more = file.namedBy.size() - 1;
    text += " and " + std::to_string(more) + (more == 1 ? " more place" : " more places");
  }
  return text;
}

void DataChecker::Report(const Reached& file) {
  if (!file.found) {
    std::string problem = "not found";
    if (HasOuterSpace(file.name))
      problem += " (the name begins or ends with a space)";
    report_.Add(file.name, 0, problem + "; " + NamedBy(file));
    return;
  }
  if (!file.problem.empty()) {
    report_.Add(file.name, 0, file.problem + "; " + NamedBy(file));
    return;
  }
  if (file.text == nullptr)
    return;
  if (file.text->HasLfLineEnds()) {
    report_.Add(file.name, 0,
                "has LF line ends: the game needs CR LF and reads the whole file as one line");
  }
  DefinitionChecker(file.name, *file.text).Check(file.roles, report_);
  if (file.roles.count(Role::Stage) != 0)
    StageChecker(file.name, *file.text).Check(report_);
}

}  // namespace quarn::tools
