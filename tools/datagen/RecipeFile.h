#pragma once
// One recipe file of data/recipes: a definition file (CR LF lines, [sections], key=value)
// read by the game's own parser, with what the generator needs on top: every section in file
// order, and numbered lists ("Draw_0", "Draw_1", ...) in number order whatever gaps they have.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/DefinitionFile.h"

namespace quarn::tools {

class RecipeFile {
 public:
  // Reads path. False with the reason in *error (a missing file, or lines that do not end in
  // CR LF, which the parser would run together).
  bool Load(const std::string& path, std::string* error);
  // Parses text as the file's content (tests); the name appears in messages.
  bool Parse(const std::string& name, const std::string& text, std::string* error);

  const std::string& Name() const { return name_; }
  // Section names in the order they first appear in the file.
  const std::vector<std::string>& Sections() const { return order_; }
  bool HasSection(const std::string& section) const;
  std::optional<std::string> Get(const std::string& section, const std::string& key) const;
  std::string GetOr(const std::string& section, const std::string& key,
                    const std::string& fallback) const;
  // Every key of the section and its value, by key.
  std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;
  // Every key base_N of the section, as (N, value), by ascending N.
  std::vector<std::pair<unsigned, std::string>> List(const std::string& section,
                                                     const std::string& base) const;
  // "File [Section] Key" for messages.
  std::string Where(const std::string& section, const std::string& key) const;

 private:
  std::string name_;
  DefinitionFile definitions_;
  std::vector<std::string> order_;
};

}  // namespace quarn::tools
