#include "DefinitionChecker.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

#include "NameSuggestion.h"

namespace quarn::tools {

namespace {

const std::string kClear = "rm";

bool IsSpace(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The digits after an optional sign at position, as "%d" and "%f" take them; the end.
size_t SkipDigits(const std::string& text, size_t position) {
  while (position < text.size() && IsDigit(text[position]))
    ++position;
  return position;
}

// Where the part of text that "%d" reads ends, or npos when it reads nothing.
size_t IntegerEnd(const std::string& text) {
  size_t position = 0;
  while (position < text.size() && IsSpace(text[position]))
    ++position;
  if (position < text.size() && (text[position] == '+' || text[position] == '-'))
    ++position;
  const size_t end = SkipDigits(text, position);
  return end == position ? std::string::npos : end;
}

// Where a decimal number (digits, point, exponent) at the start of text ends, or npos.
// "nan", "inf" and hexadecimal forms are not decimal numbers.
size_t DecimalEnd(const std::string& text) {
  size_t position = 0;
  while (position < text.size() && IsSpace(text[position]))
    ++position;
  if (position < text.size() && (text[position] == '+' || text[position] == '-'))
    ++position;
  const size_t whole = SkipDigits(text, position);
  size_t end = whole;
  bool digits = whole > position;
  if (end < text.size() && text[end] == '.') {
    const size_t fraction = SkipDigits(text, end + 1);
    digits = digits || fraction > end + 1;
    end = fraction;
  }
  if (!digits)
    return std::string::npos;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
      ++exponent;
    const size_t exponentEnd = SkipDigits(text, exponent);
    if (exponentEnd > exponent)
      end = exponentEnd;
  }
  // "0x10" reads as 0 for "%d" but as 16 for glibc's "%f": not a decimal form.
  if (end < text.size() && (text[end] == 'x' || text[end] == 'X'))
    return std::string::npos;
  return end;
}

// The forms C's "%f" reads that are not decimal numbers: nan, inf(inity), hexadecimal.
bool IsNonDecimalNumber(const std::string& text) {
  size_t position = 0;
  while (position < text.size() && IsSpace(text[position]))
    ++position;
  if (position < text.size() && (text[position] == '+' || text[position] == '-'))
    ++position;
  std::string start = text.substr(position, 3);
  for (char& c : start)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return start == "nan" || start == "inf" || start.starts_with("0x");
}

// Only white space after end.
bool RestIsSpace(const std::string& text, size_t end) {
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(end), text.end(), IsSpace);
}

// A name or value as written; in quotes when white space at an end would not show.
std::string Shown(const std::string& text) {
  const bool outer = !text.empty() && (IsSpace(text.front()) || IsSpace(text.back()));
  return outer ? "\"" + text + "\"" : text;
}

std::string Quoted(const std::string& key, const std::string& value) {
  return Shown(key) + "=" + Shown(value);
}

std::string SectionText(const std::string& name) {
  return "[" + Shown(name) + "]";
}

// "[A], [B] and 3 more"
std::string ListOf(const std::vector<std::string>& items) {
  std::string text;
  const size_t shown = std::min<size_t>(items.size(), 3);
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0)
      text += i + 1 == shown && items.size() == shown ? " or " : ", ";
    text += items[i];
  }
  if (items.size() > shown)
    text += " and " + std::to_string(items.size() - shown) + " more";
  return text;
}

std::string DidYouMean(const std::string& name, const std::vector<std::string>& candidates,
                       bool section) {
  const std::string closest = ClosestName(name, candidates);
  if (closest.empty())
    return "";
  return "; did you mean " + (section ? SectionText(closest) : closest) + "?";
}

std::vector<const SectionRule*> RulesOf(const std::set<Role>& roles) {
  std::vector<const SectionRule*> rules;
  for (Role role : roles) {
    for (const SectionRule* rule : KeyTable::Sections(role)) {
      if (std::find(rules.begin(), rules.end(), rule) == rules.end())
        rules.push_back(rule);
    }
  }
  return rules;
}

std::string RoleList(const std::set<Role>& roles) {
  std::vector<std::string> names;
  for (Role role : roles)
    names.push_back(KeyTable::RoleName(role));
  return ListOf(names);
}

bool IsIndexedKey(const KeyRule& key) {
  return key.range > 0 || key.countKey != nullptr;
}

}  // namespace

DefinitionChecker::DefinitionChecker(std::string file, const DefinitionText& text)
    : file_(std::move(file)), text_(text) {}

int DefinitionChecker::CountValue(const DefinitionText& text, const std::string& section,
                                  const std::string& key) {
  const int count = text.GetInt(section, key, 0);
  return std::clamp(count, 0, DefinitionFile::kMaxCount);
}

DefinitionChecker::Name DefinitionChecker::Split(const std::string& name) {
  const size_t underscore = name.rfind('_');
  if (underscore == std::string::npos || underscore + 1 >= name.size())
    return {name, std::nullopt};
  const std::string digits = name.substr(underscore + 1);
  // The game composes indexes with "%u": no sign, no leading zero.
  if (!std::all_of(digits.begin(), digits.end(), IsDigit) ||
      (digits.size() > 1 && digits[0] == '0') || digits.size() > 9) {
    return {name, std::nullopt};
  }
  return {name.substr(0, underscore),
          static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 10))};
}

const SectionRule* DefinitionChecker::MatchSection(const std::vector<const SectionRule*>& rules,
                                                   const Name& name) {
  for (const SectionRule* rule : rules) {
    if (rule->indexed ? name.index && name.base == rule->name
                      : !name.index && name.base == rule->name) {
      return rule;
    }
  }
  return nullptr;
}

DefinitionChecker::KeyMatch DefinitionChecker::MatchKey(const SectionRule& rule,
                                                        const std::string& key) {
  const Name name = Split(key);
  for (const KeyRule& candidate : rule.keys) {
    const bool indexed = IsIndexedKey(candidate);
    if (indexed != name.index.has_value())
      continue;
    const std::string& base = indexed ? name.base : key;
    const bool matches =
        candidate.anyPrefix ? base.ends_with(candidate.name) : base == candidate.name;
    if (matches)
      return {&candidate, name.index};
  }
  return {};
}

std::string DefinitionChecker::FlagKey(const char* flag, const std::optional<unsigned>& index) {
  return index ? DefinitionFile::IndexedName(flag, *index) : std::string(flag);
}

std::string DefinitionChecker::ValueProblem(ValueType type, const std::string& value) {
  switch (type) {
    case ValueType::Text:
      return "";
    case ValueType::Bool:
      if (value == "true" || value == "false")
        return "";
      return "is neither true nor false (written exactly so): the game reads false";
    case ValueType::Float: {
      const size_t end = DecimalEnd(value);
      if (end == std::string::npos && IsNonDecimalNumber(value))
        return "is not a decimal number: nan, inf and hexadecimal forms are not numbers in "
               "definition files";
      if (end == std::string::npos)
        return "is not a number: the game reads the default";
      if (!RestIsSpace(value, end))
        return "is read as " + value.substr(0, end) + ": the rest is ignored";
      return "";
    }
    case ValueType::Int:
    case ValueType::Count:
    case ValueType::MenuState:
    case ValueType::UnitId: {
      const size_t end = IntegerEnd(value);
      if (end == std::string::npos)
        return "is not a whole number: the game reads the default";
      const long long number = std::strtoll(value.c_str(), nullptr, 10);
      if (number > INT_MAX || number < INT_MIN)
        return "is beyond the range of a whole number";
      if (!RestIsSpace(value, end))
        return "is read as " + std::to_string(number) + ": the rest is ignored";
      if (type == ValueType::Count && number < 0)
        return "is below 0: the game reads none";
      if (type == ValueType::Count && number > DefinitionFile::kMaxCount)
        return "is above " + std::to_string(DefinitionFile::kMaxCount) + ": the game reads " +
               std::to_string(DefinitionFile::kMaxCount);
      return "";
    }
  }
  return "";
}

std::vector<FileReference> DefinitionChecker::References(Role role) const {
  std::vector<FileReference> references;
  const std::vector<const SectionRule*> rules = KeyTable::Sections(role);
  for (const DefinitionText::Section& section : text_.Sections()) {
    const Name name = Split(section.name);
    const SectionRule* rule = MatchSection(rules, name);
    if (rule == nullptr)
      continue;
    if (rule->indexed && rule->countSection != nullptr &&
        *name.index >=
            static_cast<unsigned>(CountValue(text_, rule->countSection, rule->countKey))) {
      continue;  // beyond the count: never read
    }
    for (const DefinitionText::Entry& entry : section.entries) {
      const KeyMatch match = MatchKey(*rule, entry.key);
      if (match.rule == nullptr || match.rule->names == FileKind::None || entry.value.empty())
        continue;
      const KeyRule& key = *match.rule;
      if (rule->rmClears && entry.value == kClear)
        continue;
      if (match.index && key.range > 0 && *match.index >= key.range)
        continue;
      if (match.index && key.countKey != nullptr &&
          *match.index >= static_cast<unsigned>(CountValue(text_, section.name, key.countKey))) {
        continue;
      }
      if (key.enable != nullptr && !text_.GetBool(section.name, FlagKey(key.enable, match.index)))
        continue;
      Role named = key.role == Role::None ? rule->role : key.role;
      for (const RoleChoice& choice : key.choices) {
        if (choice.flag != nullptr && text_.GetBool(section.name, choice.flag)) {
          named = choice.role;
          break;
        }
      }
      references.push_back({entry.value, key.names,
                            key.names == FileKind::Definition ? named : Role::None, file_,
                            entry.line, entry.key});
    }
  }
  return references;
}

void DefinitionChecker::Check(const std::set<Role>& roles, CheckReport& report) const {
  const std::vector<const SectionRule*> rules = RulesOf(roles);
  bool anyKnown = false;
  for (const DefinitionText::Section& section : text_.Sections()) {
    const Name name = Split(section.name);
    const SectionRule* rule = MatchSection(rules, name);
    if (rule == nullptr) {
      UnknownSection(section, roles, rules, report);
      continue;
    }
    anyKnown = true;
    CheckSection(section, *rule, name.index, rules, report);
  }
  if (!anyKnown && !text_.HasLfLineEnds()) {
    report.Add(file_, 0, "holds none of the sections the game reads in a " + RoleList(roles));
  }
  CheckCounts(rules, report);
}

void DefinitionChecker::UnknownSection(const DefinitionText::Section& section,
                                       const std::set<Role>& roles,
                                       const std::vector<const SectionRule*>& rules,
                                       CheckReport& report) const {
  if (section.name.empty()) {
    for (const DefinitionText::Entry& entry : section.entries) {
      report.Add(file_, entry.line,
                 Quoted(entry.key, entry.value) +
                     " comes before the first [section]: the game never reads it");
    }
    return;
  }
  const Name name = Split(section.name);
  std::vector<std::string> candidates;
  for (const SectionRule* rule : rules) {
    candidates.push_back(rule->indexed && name.index
                             ? DefinitionFile::IndexedName(rule->name, *name.index)
                             : std::string(rule->name));
  }
  report.Add(file_, section.line,
             SectionText(section.name) + " is not a section the game reads in a " +
                 RoleList(roles) + DidYouMean(section.name, candidates, true));
}

void DefinitionChecker::CheckSection(const DefinitionText::Section& section,
                                     const SectionRule& rule, const std::optional<unsigned>& index,
                                     const std::vector<const SectionRule*>& rules,
                                     CheckReport& report) const {
  if (rule.indexed && rule.countSection != nullptr) {
    const int count = CountValue(text_, rule.countSection, rule.countKey);
    if (*index >= static_cast<unsigned>(count)) {
      report.Add(file_, section.line,
                 SectionText(section.name) + " is beyond " + rule.countKey + "=" +
                     std::to_string(count) + " of " + SectionText(rule.countSection) +
                     ": the game never reads it");
      return;
    }
  }
  for (const DefinitionText::Entry& entry : section.entries)
    CheckEntry(section, rule, entry, rules, report);
  for (const DefinitionText::Entry& repeat : section.repeats) {
    report.Add(file_, repeat.line,
               repeat.key + " appears again in " + SectionText(section.name) + " (first on line " +
                   std::to_string(text_.LineOf(section.name, repeat.key)) +
                   "): the game reads only the first");
  }
  CheckIndexedKeys(section, rule, report);
  CheckFlags(section, rule, report);
}

void DefinitionChecker::CheckEntry(const DefinitionText::Section& section, const SectionRule& rule,
                                   const DefinitionText::Entry& entry,
                                   const std::vector<const SectionRule*>& rules,
                                   CheckReport& report) const {
  if (entry.key.find_first_of("\r\n") != std::string::npos ||
      entry.value.find_first_of("\r\n") != std::string::npos) {
    report.Add(file_, entry.line,
               "the line holds a CR or LF that is not a CR LF line end: the game reads what "
               "follows it as part of the same line");
  }
  const KeyMatch match = MatchKey(rule, entry.key);
  if (match.rule == nullptr) {
    UnknownKey(section, rule, entry, rules, report);
    return;
  }
  const KeyRule& key = *match.rule;
  if (match.index && key.range > 0 && *match.index >= key.range) {
    report.Add(file_, entry.line,
               entry.key + " is never read: the game reads " + key.name + "_0 to " + key.name +
                   "_" + std::to_string(key.range - 1));
    return;
  }
  if (match.index && key.countKey != nullptr) {
    const int count = CountValue(text_, section.name, key.countKey);
    if (*match.index >= static_cast<unsigned>(count)) {
      report.Add(file_, entry.line,
                 entry.key + " is beyond " + key.countKey + "=" + std::to_string(count) +
                     ": the game never reads it");
      return;
    }
  }
  const std::string problem = ValueProblem(key.type, entry.value);
  if (!problem.empty())
    report.Add(file_, entry.line, Quoted(entry.key, entry.value) + " " + problem);
  if (key.enable != nullptr) {
    const std::string flag = FlagKey(key.enable, match.index);
    // A flag written false is a choice; a missing one is more likely forgotten.
    if (text_.Find(section.name, flag) == nullptr) {
      report.Add(file_, entry.line,
                 entry.key + " is ignored: the game reads it only when " + flag + "=true");
    }
  }
  if (key.type == ValueType::MenuState && problem.empty()) {
    const int state = text_.GetInt(section.name, entry.key, -1);
    if (state < -2) {
      report.Add(file_, entry.line,
                 Quoted(entry.key, entry.value) + " names no state (-1 is none, -2 ends the menu)");
    } else if (state >= 0 && text_.FindSection(DefinitionFile::IndexedName(
                                 keys::kMenuState, static_cast<unsigned>(state))) == nullptr) {
      report.Add(file_, entry.line,
                 Quoted(entry.key, entry.value) + " names a state without a " +
                     SectionText(DefinitionFile::IndexedName(keys::kMenuState,
                                                             static_cast<unsigned>(state))) +
                     " section: the menu would stop on an empty screen there");
    }
  }
}

void DefinitionChecker::UnknownKey(const DefinitionText::Section& section, const SectionRule& rule,
                                   const DefinitionText::Entry& entry,
                                   const std::vector<const SectionRule*>& rules,
                                   CheckReport& report) const {
  const Name name = Split(entry.key);
  // Known in another section of the file: most likely written under the wrong header.
  for (const SectionRule* other : rules) {
    if (other == &rule)
      continue;
    if (MatchKey(*other, entry.key).rule != nullptr) {
      report.Add(file_, entry.line,
                 entry.key + " is not read in " + SectionText(section.name) +
                     "; the game reads it in " +
                     SectionText(other->indexed ? std::string(other->name) + "_N" : other->name));
      return;
    }
  }
  std::vector<std::string> candidates;
  for (const KeyRule& key : rule.keys) {
    if (key.anyPrefix)
      continue;
    candidates.push_back(IsIndexedKey(key) && name.index
                             ? DefinitionFile::IndexedName(key.name, *name.index)
                             : std::string(key.name));
  }
  report.Add(file_, entry.line,
             Shown(entry.key) + " is not a key the game reads in " + SectionText(section.name) +
                 DidYouMean(entry.key, candidates, false));
}

void DefinitionChecker::CheckCounts(const std::vector<const SectionRule*>& rules,
                                    CheckReport& report) const {
  for (const SectionRule* rule : rules) {
    if (!rule->indexed || rule->countSection == nullptr)
      continue;
    const DefinitionText::Entry* countEntry = text_.Find(rule->countSection, rule->countKey);
    if (countEntry == nullptr)
      continue;
    const int count = CountValue(text_, rule->countSection, rule->countKey);
    std::vector<std::string> missing;
    for (int i = 0; i < count; ++i) {
      const std::string name = DefinitionFile::IndexedName(rule->name, static_cast<unsigned>(i));
      if (text_.FindSection(name) == nullptr)
        missing.push_back(SectionText(name));
    }
    if (!missing.empty()) {
      report.Add(file_, countEntry->line,
                 Quoted(rule->countKey, countEntry->value) + " but there is no " + ListOf(missing) +
                     ": the game reads defaults for " + (missing.size() == 1 ? "it" : "them"));
    }
  }
}

void DefinitionChecker::CheckIndexedKeys(const DefinitionText::Section& section,
                                         const SectionRule& rule, CheckReport& report) const {
  std::vector<const char*> countKeys;
  for (const KeyRule& key : rule.keys) {
    if (key.countKey != nullptr &&
        std::find_if(countKeys.begin(), countKeys.end(), [&](const char* seen) {
          return std::string_view(seen) == key.countKey;
        }) == countKeys.end()) {
      countKeys.push_back(key.countKey);
    }
  }
  for (const char* countKey : countKeys) {
    const DefinitionText::Entry* countEntry = text_.Find(section.name, countKey);
    if (countEntry == nullptr)
      continue;
    const int count = CountValue(text_, section.name, countKey);
    std::vector<std::string> missing;
    bool anyFound = false;
    for (int i = 0; i < count; ++i) {
      bool found = false;
      for (const KeyRule& key : rule.keys) {
        if (key.countKey != nullptr && std::string_view(key.countKey) == countKey &&
            text_.Find(section.name, DefinitionFile::IndexedName(
                                         key.name, static_cast<unsigned>(i))) != nullptr) {
          found = true;
          break;
        }
      }
      anyFound = anyFound || found;
      if (!found)
        missing.push_back(std::to_string(i));
    }
    // With no index written at all, every entry is at its defaults by choice (one port at
    // the muzzle's origin); a gap in a written list is the likely slip.
    if (anyFound && !missing.empty()) {
      report.Add(file_, countEntry->line,
                 Quoted(countKey, countEntry->value) + " but no key has the index " +
                     ListOf(missing) + ": the game reads defaults there");
    }
  }
}

void DefinitionChecker::CheckFlags(const DefinitionText::Section& section, const SectionRule& rule,
                                   CheckReport& report) const {
  // A flag that opens a file, with no file named.
  for (const KeyRule& key : rule.keys) {
    if (key.enable == nullptr || key.names == FileKind::None || IsIndexedKey(key))
      continue;
    const DefinitionText::Entry* flag = text_.Find(section.name, key.enable);
    if (flag == nullptr || flag->value != "true")
      continue;
    const DefinitionText::Entry* file = text_.Find(section.name, key.name);
    if (file == nullptr || file->value.empty()) {
      report.Add(file_, flag->line,
                 Quoted(flag->key, flag->value) + " but no " + key.name + " names the file");
    }
  }
}

}  // namespace quarn::tools
