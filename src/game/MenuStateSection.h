#pragma once
// The keys of one state of a menu file ("State_n"). A missing file, a missing section and a
// negative state number (which names no section) all read every key as its default.
#include <string>

namespace quarn {

class DefinitionFile;

class MenuStateSection {
 public:
  // menu: shared with other readers, so the section is selected again before every read.
  MenuStateSection(DefinitionFile* menu, int state);

  std::string GetString(const std::string& key, const std::string& defaultValue = "") const;
  std::string GetString(const std::string& key, unsigned index,
                        const std::string& defaultValue = "") const;
  int GetInt(const std::string& key, int defaultValue) const;
  int GetInt(const std::string& key, unsigned index, int defaultValue) const;
  float GetFloat(const std::string& key, float defaultValue) const;
  bool GetBool(const std::string& key, bool defaultValue) const;
  // A jump target: -1 (no jump) when the key is missing.
  int GetTarget(const std::string& key) const { return GetInt(key, -1); }

 private:
  // False when there is nothing to read.
  bool Select() const;

  DefinitionFile* menu_;
  int state_;
};

}  // namespace quarn
