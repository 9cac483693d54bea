#pragma once
// Reads the keys of a particle emitter's or trail's section, as the selected section of a
// definition file, keeping every number in a range the effect's arithmetic can carry: a value
// that is not a number gives the key's default, one of a magnitude above kLimit is cut to
// kLimit, and each such key is reported once, naming the file, the section and the key.
#include <string>

namespace quarn {

class DefinitionFile;

class EffectKeys {
 public:
  // Far beyond any distance, speed, time or rate an effect is made with, and small enough
  // that the products of the motion formulas stay finite.
  static constexpr float kLimit = 1e9f;

  explicit EffectKeys(const DefinitionFile& file) : file_(file) {}

  float Float(const std::string& key, float defaultValue = 0.0f) const;
  bool Bool(const std::string& key) const;
  std::string String(const std::string& key) const;
  // A count of texture cells ("AnimationCount", "VariationCount"): below 1 counts as 1.
  unsigned CellCount(const std::string& key) const;

  // "FILE [SECTION]", the subject of a report about the section as a whole.
  std::string SectionSubject() const;
  const DefinitionFile& File() const { return file_; }

 private:
  void Report(const std::string& key, const std::string& problem) const;

  const DefinitionFile& file_;
};

}  // namespace quarn
