// Definition files: arbitrary bytes through the reading rule, the parser and every getter.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/DefinitionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  quarn::DefinitionFile file;
  file.Parse(quarn::DefinitionFile::ApplyBlockRule(bytes));
  // Read every stored key back through every getter, plain and indexed.
  for (const auto& [section, entries] : file.Sections()) {
    file.SelectSection(section);
    for (const auto& [key, value] : entries) {
      (void)file.GetString(key, "");
      (void)file.GetInt(key, -1);
      // No text may read as NaN or infinity.
      if (!std::isfinite(file.GetFloat(key, 0.5f)))
        __builtin_trap();
      (void)file.GetBool(key, true);
      (void)file.GetInt(key, static_cast<unsigned>(value.size()), 0);
    }
    file.SelectSection(section, static_cast<unsigned>(entries.size()));
  }
  return 0;
}
