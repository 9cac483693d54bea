#pragma once
// A definition file as the game reads it, with the line each section and key came from, so
// that a problem can be pointed at where a modder would fix it.
#include <map>
#include <string>
#include <vector>

#include "engine/DefinitionFile.h"

namespace quarn::tools {

class DefinitionText {
 public:
  struct Entry {
    std::string key;
    std::string value;
    unsigned line = 0;
  };
  struct Section {
    std::string name;
    unsigned line = 0;           // of its first header, or of its first entry when it has none
    std::vector<Entry> entries;  // the first line of each key, which the game reads
    std::vector<Entry> repeats;  // later lines of a key already seen, which it ignores
  };

  // False when the file cannot be opened.
  bool Load(const std::string& path);
  void Parse(const std::string& text);

  // True for a file whose lines end in LF alone: the game reads it as one single line.
  bool HasLfLineEnds() const { return lfLineEnds_; }
  // Sections in the order the file first names them.
  const std::vector<Section>& Sections() const { return sections_; }
  const Section* FindSection(const std::string& name) const;
  const Entry* Find(const std::string& section, const std::string& key) const;
  // The line of a key, else of its section, else 0.
  unsigned LineOf(const std::string& section, const std::string& key) const;

  // The game's typed readings of a key, with its defaults for missing keys and bad values.
  bool GetBool(const std::string& section, const std::string& key) const;
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;
  float GetFloat(const std::string& section, const std::string& key) const;

 private:
  Section& SectionNamed(const std::string& name, unsigned line);

  std::vector<Section> sections_;
  std::map<std::string, size_t> index_;
  bool lfLineEnds_ = false;
  // The same text in the game's own reader; its current section is the only state it has.
  mutable DefinitionFile game_;
};

}  // namespace quarn::tools
