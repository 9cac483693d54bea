#pragma once
// The data archive. For now every name resolves to its loose file under the data folder;
// reading records out of Data.acv arrives with the archive reader.
#include <string>

#include "engine/Service.h"

namespace quarn {

class Archive : public Service<Archive> {
 public:
  Archive() = default;
  virtual ~Archive() = default;

  // Always true: a missing archive means every name is a loose file.
  bool Open(const std::string& base);
  // A path at which the named file can be read.
  std::string Extract(const std::string& name);
  void Release(const std::string& name);
  void Close();

 private:
  std::string archivePath_;
  std::string looseDirectory_;
};

// ASCII A-Z lowered; the second byte of a double-byte (code page 932) character is kept.
std::string LowerCaseName(const std::string& name);

}  // namespace quarn
