#include "DefinitionText.h"

namespace quarn::tools {

bool DefinitionText::Load(const std::string& path) {
  std::string text;
  if (!DefinitionFile::ReadText(path, &text))
    return false;
  Parse(text);
  return true;
}

DefinitionText::Section& DefinitionText::SectionNamed(const std::string& name, unsigned line) {
  auto [it, added] = index_.try_emplace(name, sections_.size());
  if (added) {
    sections_.push_back(Section{name, line, {}, {}});
  }
  return sections_[it->second];
}

void DefinitionText::Parse(const std::string& text) {
  sections_.clear();
  index_.clear();
  lfLineEnds_ = text.find('\n') != std::string::npos && text.find("\r\n") == std::string::npos;
  game_.Clear();
  game_.Parse(text);
  // The keys seen per section, to tell first lines from repeats.
  std::map<std::string, std::map<std::string, bool>> seen;
  DefinitionFile::VisitLines(text, [&](const DefinitionFile::Line& line) {
    const std::string name(line.section);
    Section& section = SectionNamed(name, line.number);
    if (line.header)
      return;
    Entry entry{std::string(line.key), std::string(line.value), line.number};
    if (seen[name].emplace(entry.key, true).second)
      section.entries.push_back(std::move(entry));
    else
      section.repeats.push_back(std::move(entry));
  });
}

const DefinitionText::Section* DefinitionText::FindSection(const std::string& name) const {
  auto it = index_.find(name);
  return it == index_.end() ? nullptr : &sections_[it->second];
}

const DefinitionText::Entry* DefinitionText::Find(const std::string& section,
                                                  const std::string& key) const {
  const Section* found = FindSection(section);
  if (found == nullptr)
    return nullptr;
  for (const Entry& entry : found->entries) {
    if (entry.key == key)
      return &entry;
  }
  return nullptr;
}

unsigned DefinitionText::LineOf(const std::string& section, const std::string& key) const {
  if (const Entry* entry = Find(section, key))
    return entry->line;
  const Section* found = FindSection(section);
  return found != nullptr ? found->line : 0;
}

bool DefinitionText::GetBool(const std::string& section, const std::string& key) const {
  game_.SelectSection(section);
  return game_.GetBool(key, false);
}

int DefinitionText::GetInt(const std::string& section, const std::string& key,
                           int defaultValue) const {
  game_.SelectSection(section);
  return game_.GetInt(key, defaultValue);
}

float DefinitionText::GetFloat(const std::string& section, const std::string& key) const {
  game_.SelectSection(section);
  return game_.GetFloat(key, 0.0f);
}

}  // namespace quarn::tools
