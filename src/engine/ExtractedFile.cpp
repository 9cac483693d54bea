#include "engine/ExtractedFile.h"

#include "engine/Archive.h"

namespace quarn {

ExtractedFile::ExtractedFile(std::string name, bool releaseOnDestruction, Archive* archive)
    : name_(std::move(name)),
      releaseOnDestruction_(releaseOnDestruction),
      archive_(archive != nullptr ? archive : Archive::Instance()) {
  path_ = archive_ != nullptr ? archive_->Extract(name_) : name_;
}

ExtractedFile::~ExtractedFile() {
  if (releaseOnDestruction_ && archive_ != nullptr)
    archive_->Release(name_);
}

}  // namespace quarn
