#include "engine/DefinitionFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "engine/PlainFile.h"
#include "engine/ResourceCache.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {
constexpr size_t kBlockSize = 1024;

// Names pass through a 256-byte buffer; longer compositions are cut there.
std::string Cut255(std::string text) {
  if (text.size() > 255)
    text.resize(255);
  return text;
}

// "%f" as the Windows C runtime reads it: only decimal forms are numbers. glibc also
// takes "nan", "inf" and hexadecimal floats, which would put NaN or infinity into matrices.
bool ReadDecimalFloat(const char* text, float* value) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p)))
    ++p;
  if (*p == '+' || *p == '-')
    ++p;
  const bool digit = std::isdigit(static_cast<unsigned char>(*p)) != 0;
  if (!digit && !(*p == '.' && std::isdigit(static_cast<unsigned char>(p[1]))))
    return false;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
    return false;
  float result = 0.0f;
  if (std::sscanf(text, "%f", &result) != 1)
    return false;
  // A decimal beyond the float range reads as infinity there too; the game keeps its default.
  if (!std::isfinite(result))
    return false;
  *value = result;
  return true;
}
}  // namespace

std::string DefinitionFile::IndexedName(const std::string& name, unsigned index) {
  return Cut255(name + "_" + std::to_string(index));
}

std::string DefinitionFile::ApplyBlockRule(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t start = 0; start < bytes.size(); start += kBlockSize) {
    const size_t length = std::min(kBlockSize, bytes.size() - start);
    const char* block = bytes.data() + start;
    text.append(block, strnlen(block, length));
  }
  return text;
}

bool DefinitionFile::ReadText(const std::string& path, std::string* text) {
  PlainFile file;
  if (!file.OpenRead(path))
    return false;
  // Read in large pieces; the 1024-byte block rule is applied to the bytes afterwards, which
  // gives the same text as reading block by block.
  std::string bytes;
  const int64_t size = file.Size();
  if (size > 0)
    bytes.reserve(static_cast<size_t>(size));
  char buffer[65536];
  for (;;) {
    const size_t n = file.Read(buffer, sizeof buffer);
    if (n == 0)
      break;
    bytes.append(buffer, n);
  }
  file.Close();
  *text = ApplyBlockRule(bytes);
  return true;
}

bool DefinitionFile::Load(const std::string& path) {
  std::string text;
  if (!ReadText(path, &text))
    return false;
  if (text.find('\n') != std::string::npos && text.find("\r\n") == std::string::npos) {
    platform::ReportProblem(path,
                            "has LF line ends; definition files need CR LF, so it reads "
                            "as a single line");
  }
  Parse(text);
  return true;
}

void DefinitionFile::VisitLines(std::string_view text,
                                const std::function<void(const Line&)>& visit) {
  Line line;
  std::string section;
  unsigned number = 1;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find("\r\n", position);
    const size_t next = end == std::string_view::npos ? text.size() : end + 2;
    if (end == std::string_view::npos)
      end = text.size();
    const std::string_view content = text.substr(position, end - position);
    line.number = number;
    // A lone LF stays inside the line, but an editor shows it as a new line.
    number += static_cast<unsigned>(std::count(content.begin(), content.end(), '\n'));
    if (next > end)
      ++number;
    position = next;

    const size_t open = content.find('[');
    const size_t close = open == std::string_view::npos ? open : content.find(']', open);
    if (close != std::string_view::npos) {
      section.assign(content.substr(open + 1, close - open - 1));
      line.header = true;
      line.section = section;
      line.key = line.value = {};
      visit(line);
      continue;
    }
    const size_t equals = content.find('=');
    if (equals == std::string_view::npos)
      continue;
    line.header = false;
    line.section = section;
    line.key = content.substr(0, equals);
    line.value = content.substr(equals + 1);
    visit(line);
  }
}

void DefinitionFile::Parse(const std::string& text) {
  // The section entries go to; looked up again only when a header changes the name (a header
  // alone makes no section, so the lookup waits for the first entry).
  Section* entries = nullptr;
  VisitLines(text, [&](const Line& line) {
    if (line.header) {
      entries = nullptr;
      return;
    }
    if (entries == nullptr)
      entries = &sections_[std::string(line.section)];
    // The first value of a key wins: try_emplace never replaces.
    entries->try_emplace(std::string(line.key), line.value);
  });
}

void DefinitionFile::Clear() {
  sections_.clear();
  currentSection_.clear();
}

void DefinitionFile::SelectSection(const std::string& name) {
  currentSection_ = name;
}

void DefinitionFile::SelectSection(const std::string& name, unsigned index) {
  currentSection_ = IndexedName(name, index);
}

const std::string& DefinitionFile::Lookup(const std::string& key,
                                          const std::string& fallback) const {
  auto section = sections_.find(currentSection_);
  if (section == sections_.end())
    return fallback;
  auto value = section->second.find(key);
  return value == section->second.end() ? fallback : value->second;
}

std::string DefinitionFile::GetString(const std::string& key,
                                      const std::string& defaultValue) const {
  return Lookup(key, defaultValue);
}

int DefinitionFile::GetInt(const std::string& key, int defaultValue) const {
  char fallback[16];
  std::snprintf(fallback, sizeof fallback, "%d", defaultValue);
  const std::string fallbackText = fallback;
  int result = defaultValue;
  std::sscanf(Lookup(key, fallbackText).c_str(), "%d", &result);
  return result;
}

float DefinitionFile::GetFloat(const std::string& key, float defaultValue) const {
  // Large enough for any float printed with six decimals.
  char fallback[400];
  std::snprintf(fallback, sizeof fallback, "%f", static_cast<double>(defaultValue));
  const std::string fallbackText = fallback;
  float result = defaultValue;
  ReadDecimalFloat(Lookup(key, fallbackText).c_str(), &result);
  return result;
}

bool DefinitionFile::GetBool(const std::string& key, bool defaultValue) const {
  static const std::string kTrue = "true";
  static const std::string kFalse = "false";
  const std::string& text = Lookup(key, defaultValue ? kTrue : kFalse);
  if (text == kTrue)
    return true;
  if (text == kFalse)
    return false;
  return defaultValue;
}

std::string DefinitionFile::GetString(const std::string& key, unsigned index,
                                      const std::string& defaultValue) const {
  return GetString(IndexedName(key, index), defaultValue);
}

int DefinitionFile::GetInt(const std::string& key, unsigned index, int defaultValue) const {
  return GetInt(IndexedName(key, index), defaultValue);
}

float DefinitionFile::GetFloat(const std::string& key, unsigned index, float defaultValue) const {
  return GetFloat(IndexedName(key, index), defaultValue);
}

bool DefinitionFile::GetBool(const std::string& key, unsigned index, bool defaultValue) const {
  return GetBool(IndexedName(key, index), defaultValue);
}

int DefinitionFile::GetCount(const std::string& key) const {
  const int count = GetInt(key, 0);
  if (count < 0)
    return 0;
  if (count > kMaxCount) {
    platform::ReportProblem(name_ + " [" + currentSection_ + "] " + key,
                            std::to_string(count) + " is more than the " +
                                std::to_string(kMaxCount) + " the game reads; " +
                                std::to_string(kMaxCount) + " are used");
    return kMaxCount;
  }
  return count;
}

DefinitionFile* ResourceCache::GetDefinition(const std::string& name) {
  DefinitionFile* file = Get<DefinitionFile>(Kind::Definition, name);
  if (file != nullptr)
    file->SetName(name);
  return file;
}

}  // namespace quarn
