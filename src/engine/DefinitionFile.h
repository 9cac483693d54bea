#pragma once
// A definition file: sections of key=value lines, split at CR LF, read through typed getters
// that never fail (a missing section or key gives the default).
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "engine/CachedResource.h"

namespace quarn {

class DefinitionFile : public CachedResource {
 public:
  using Section = std::map<std::string, std::string>;

  // One line of a definition text as the parser takes it: a section header, or an entry of
  // the section named. number counts LF bytes, as text editors number lines.
  struct Line {
    unsigned number = 0;
    bool header = false;
    std::string_view section;
    std::string_view key;
    std::string_view value;
  };

  DefinitionFile() = default;
  ~DefinitionFile() override = default;

  // Reads and parses the file; false only when it cannot be opened.
  bool Load(const std::string& path) override;
  // Empties the maps, as the resource cache does when it clears a scene.
  void Release() override { Clear(); }
  // Parses text as if it were a file's content (after the zero-byte block rule).
  void Parse(const std::string& text);
  // Forgets every section.
  void Clear();

  void SelectSection(const std::string& name);
  // Selects "name_index".
  void SelectSection(const std::string& name, unsigned index);
  const std::string& CurrentSection() const { return currentSection_; }

  std::string GetString(const std::string& key, const std::string& defaultValue) const;
  std::string GetString(const std::string& key, unsigned index,
                        const std::string& defaultValue) const;
  int GetInt(const std::string& key, int defaultValue) const;
  int GetInt(const std::string& key, unsigned index, int defaultValue) const;
  // Decimal forms only: "nan", "inf", hexadecimal floats and values beyond the float range
  // leave the default, so no text in a file can yield a float that is not finite.
  float GetFloat(const std::string& key, float defaultValue) const;
  float GetFloat(const std::string& key, unsigned index, float defaultValue) const;
  bool GetBool(const std::string& key, bool defaultValue) const;
  bool GetBool(const std::string& key, unsigned index, bool defaultValue) const;
  // A list length ("ParticleCount", "UnitCount", ...): negative counts read as 0, counts above
  // kMaxCount as kMaxCount, with one report naming the file and the key. A typo such as
  // 100000000 would otherwise exhaust memory before the first frame.
  int GetCount(const std::string& key) const;
  static constexpr int kMaxCount = 4096;

  // The name the file was requested by (set by the resource cache), for reports.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  const std::map<std::string, Section>& Sections() const { return sections_; }

  // The "%s_%u" composition used for indexed sections and keys.
  static std::string IndexedName(const std::string& name, unsigned index);
  // Applies the reading rule: blocks of 1024 bytes, each cut at its first zero byte.
  static std::string ApplyBlockRule(const std::string& bytes);
  // The text of the file at path after the block rule; false when it cannot be opened.
  static bool ReadText(const std::string& path, std::string* text);
  // Calls visit for every header and entry line of text, in order; other lines (remarks,
  // blank lines) are skipped. Parse is built on this, so any other reader sees the same.
  static void VisitLines(std::string_view text, const std::function<void(const Line&)>& visit);

 private:
  // The stored value, or fallback when the section or key is missing.
  const std::string& Lookup(const std::string& key, const std::string& fallback) const;

  std::string name_;
  std::string currentSection_;
  std::map<std::string, Section> sections_;
};

}  // namespace quarn
