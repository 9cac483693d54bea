#include "RecipeFile.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace quarn::tools {

bool RecipeFile::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const size_t slash = path.find_last_of('/');
  return Parse(slash == std::string::npos ? path : path.substr(slash + 1), bytes.str(), error);
}

bool RecipeFile::Parse(const std::string& name, const std::string& text, std::string* error) {
  name_ = name;
  order_.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      const size_t line = std::count(text.begin(), text.begin() + i, '\n') + 1;
      *error = name + ": line " + std::to_string(line) +
               " ends in LF alone; recipe lines end in CR LF (see .gitattributes)";
      return false;
    }
  }
  definitions_.Clear();
  definitions_.Parse(DefinitionFile::ApplyBlockRule(text));
  // The parser keeps sections in byte order; the file order is found from the headers.
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find("\r\n", position);
    if (end == std::string::npos)
      end = text.size();
    const std::string line = text.substr(position, end - position);
    position = end + 2;
    const size_t open = line.find('[');
    const size_t close = open == std::string::npos ? open : line.find(']', open);
    if (close == std::string::npos)
      continue;
    const std::string section = line.substr(open + 1, close - open - 1);
    if (HasSection(section) && std::find(order_.begin(), order_.end(), section) == order_.end()) {
      order_.push_back(section);
    }
  }
  return true;
}

bool RecipeFile::HasSection(const std::string& section) const {
  return definitions_.Sections().count(section) != 0;
}

std::optional<std::string> RecipeFile::Get(const std::string& section,
                                           const std::string& key) const {
  const auto found = definitions_.Sections().find(section);
  if (found == definitions_.Sections().end())
    return std::nullopt;
  const auto value = found->second.find(key);
  if (value == found->second.end())
    return std::nullopt;
  return value->second;
}

std::string RecipeFile::GetOr(const std::string& section, const std::string& key,
                              const std::string& fallback) const {
  return Get(section, key).value_or(fallback);
}

std::vector<std::pair<std::string, std::string>> RecipeFile::Entries(
    const std::string& section) const {
  const auto found = definitions_.Sections().find(section);
  if (found == definitions_.Sections().end())
    return {};
  return {found->second.begin(), found->second.end()};
}

std::vector<std::pair<unsigned, std::string>> RecipeFile::List(const std::string& section,
                                                               const std::string& base) const {
  std::vector<std::pair<unsigned, std::string>> items;
  const auto found = definitions_.Sections().find(section);
  if (found == definitions_.Sections().end())
    return items;
  const std::string prefix = base + "_";
  for (const auto& [key, value] : found->second) {
    if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0)
      continue;
    const std::string digits = key.substr(prefix.size());
    if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), ::isdigit))
      continue;
    items.emplace_back(static_cast<unsigned>(std::stoul(digits)), value);
  }
  std::sort(items.begin(), items.end());
  return items;
}

std::string RecipeFile::Where(const std::string& section, const std::string& key) const {
  return name_ + " [" + section + "]" + (key.empty() ? "" : " " + key);
}

}  // namespace quarn::tools
