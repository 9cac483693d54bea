#pragma once
// "Did you mean": the one known name that a misspelt name is close to.
#include <string>
#include <string_view>
#include <vector>

namespace quarn::tools {

// Edits (insert, delete, replace, swap two neighbours) between a and b, ignoring ASCII case
// except that a difference in case alone counts as one edit.
size_t NameDistance(std::string_view a, std::string_view b);

// The candidate nearest to name, when exactly one is nearest and it is near enough to be a
// slip of the keyboard (one edit for short names, up to three for long ones); else empty.
std::string ClosestName(std::string_view name, const std::vector<std::string>& candidates);

}  // namespace quarn::tools
