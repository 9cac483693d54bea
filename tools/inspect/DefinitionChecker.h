#pragma once
// Checks one definition file against the key table for the roles it is reached in: sections
// and keys the game never reads, counts that do not match what is there, values the game
// reads other than written. Also lists the files the game opens from it.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CheckReport.h"
#include "DefinitionText.h"
#include "KeyTable.h"

namespace quarn::tools {

// A file one definition names, and where.
struct FileReference {
  std::string name;
  FileKind kind = FileKind::None;
  Role role = Role::None;
  std::string from;  // the naming file; empty for the files the game opens by itself
  unsigned line = 0;
  std::string key;
};

class DefinitionChecker {
 public:
  DefinitionChecker(std::string file, const DefinitionText& text);

  // The files the game opens when it reads this file as role, in the order of the file.
  std::vector<FileReference> References(Role role) const;
  // Reports every problem of the file read in all of roles.
  void Check(const std::set<Role>& roles, CheckReport& report) const;

  // A count as the game reads it, kept within 0 to 4096.
  static int CountValue(const DefinitionText& text, const std::string& section,
                        const std::string& key);

 private:
  // A name split into "base_index" when it ends in the index form the game composes.
  struct Name {
    std::string base;
    std::optional<unsigned> index;
  };
  struct KeyMatch {
    const KeyRule* rule = nullptr;
    std::optional<unsigned> index;
  };

  static Name Split(const std::string& name);
  static const SectionRule* MatchSection(const std::vector<const SectionRule*>& rules,
                                         const Name& name);
  static KeyMatch MatchKey(const SectionRule& rule, const std::string& key);
  // The key of flag for rule's key with index (flags of indexed keys carry the same index).
  static std::string FlagKey(const char* flag, const std::optional<unsigned>& index);
  // What is wrong with a value of that type, or empty.
  static std::string ValueProblem(ValueType type, const std::string& value);

  void CheckSection(const DefinitionText::Section& section, const SectionRule& rule,
                    const std::optional<unsigned>& index,
                    const std::vector<const SectionRule*>& rules, CheckReport& report) const;
  void CheckEntry(const DefinitionText::Section& section, const SectionRule& rule,
                  const DefinitionText::Entry& entry, const std::vector<const SectionRule*>& rules,
                  CheckReport& report) const;
  void CheckCounts(const std::vector<const SectionRule*>& rules, CheckReport& report) const;
  void CheckIndexedKeys(const DefinitionText::Section& section, const SectionRule& rule,
                        CheckReport& report) const;
  void CheckFlags(const DefinitionText::Section& section, const SectionRule& rule,
                  CheckReport& report) const;
  void UnknownSection(const DefinitionText::Section& section, const std::set<Role>& roles,
                      const std::vector<const SectionRule*>& rules, CheckReport& report) const;
  void UnknownKey(const DefinitionText::Section& section, const SectionRule& rule,
                  const DefinitionText::Entry& entry, const std::vector<const SectionRule*>& rules,
                  CheckReport& report) const;

  std::string file_;
  const DefinitionText& text_;
};

}  // namespace quarn::tools
