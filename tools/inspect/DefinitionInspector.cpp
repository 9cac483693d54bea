#include "DefinitionInspector.h"

#include "JsonWriter.h"
#include "engine/DefinitionFile.h"

namespace quarn::tools {

int InspectDefinition(const std::string& path, std::ostream& out, std::ostream& err) {
  DefinitionFile file;
  if (!file.Load(path)) {
    err << "quarn-inspect: cannot open " << path << "\n";
    return 1;
  }
  out << "{\"sections\": {";
  bool firstSection = true;
  for (const auto& [name, entries] : file.Sections()) {
    out << (firstSection ? "" : ", ") << JsonString(name) << ": {";
    firstSection = false;
    bool firstEntry = true;
    for (const auto& [key, value] : entries) {
      out << (firstEntry ? "" : ", ") << JsonString(key) << ": " << JsonString(value);
      firstEntry = false;
    }
    out << "}";
  }
  out << "}}\n";
  return 0;
}

}  // namespace quarn::tools
