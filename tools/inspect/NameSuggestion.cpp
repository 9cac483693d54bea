#include "NameSuggestion.h"

#include <algorithm>

namespace quarn::tools {

namespace {
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

size_t NameDistance(std::string_view a, std::string_view b) {
  if (a == b)
    return 0;
  // Optimal string alignment over three rows of the table.
  std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j)
    previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && Lower(a[i - 1]) == Lower(b[j - 2]) &&
          Lower(a[i - 2]) == Lower(b[j - 1])) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(current);
  }
  // Names that differ only in case are one slip apart.
  return std::max<size_t>(previous[b.size()], 1);
}

std::string ClosestName(std::string_view name, const std::vector<std::string>& candidates) {
  const size_t allowed = name.size() <= 4 ? 1 : name.size() <= 12 ? 2 : 3;
  size_t best = allowed + 1;
  const std::string* found = nullptr;
  bool tie = false;
  for (const std::string& candidate : candidates) {
    if (candidate == name)
      continue;
    const size_t distance = NameDistance(name, candidate);
    if (distance < best) {
      best = distance;
      found = &candidate;
      tie = false;
    } else if (distance == best && found != nullptr && *found != candidate) {
      tie = true;
    }
  }
  return found != nullptr && !tie ? *found : std::string();
}

}  // namespace quarn::tools
