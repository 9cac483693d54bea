#pragma once
// Where the demo game's files are: the definition files kept in data/ and the assets the
// build generated into the build folder.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quarn::testing {

inline std::string DataFile(const std::string& name) {
  return std::string(QUARN_SOURCE_DIR) + "/data/" + name;
}

inline std::string GeneratedFolder() {
  return std::string(QUARN_BINARY_DIR) + "/generated";
}

inline std::string GeneratedFile(const std::string& name) {
  return GeneratedFolder() + "/" + name;
}

// The generated files whose names end in extension, sorted.
inline std::vector<std::string> GeneratedNames(const std::string& extension) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(GeneratedFolder(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > extension.size() &&
        name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quarn::testing
