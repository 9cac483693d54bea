#include "DataSource.h"

#include <sys/stat.h>
#include <unistd.h>

namespace quarn::tools {

namespace {
bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

DataSource::Copy::Copy(DataSource& source, std::string name)
    : source_(source), name_(std::move(name)), path_(source_.Acquire(name_)) {}

DataSource::Copy::~Copy() {
  source_.Release(name_);
}

DataSource::DataSource() = default;
DataSource::~DataSource() = default;

std::string DataSource::DefaultLocation() {
  return IsFile("Data.acv") ? "Data.acv" : "Data";
}

bool DataSource::Open(const std::string& where, std::string* problem) {
  location_ = where;
  archive_.reset();
  if (IsFolder(where)) {
    folder_ = where.ends_with('/') ? where : where + "/";
    return true;
  }
  if (!IsFile(where) || !where.ends_with(".acv")) {
    *problem =
        IsFile(where) ? "is not an archive (NAME.acv) or a folder" : "no such archive or folder";
    return false;
  }
  // As the game opens "Data": Data.acv, and the folder Data/ for names it does not hold.
  archive_ = std::make_unique<Archive>();
  archive_->Open(where.substr(0, where.size() - 4));
  folder_ = archive_->LooseDirectory();
  return true;
}

bool DataSource::Exists(const std::string& name) const {
  if (name.empty())
    return false;
  if (archive_ != nullptr && archive_->Entries().count(LowerCaseName(name)) != 0)
    return true;
  return access(LoosePath(name).c_str(), R_OK) == 0;
}

std::string DataSource::LoosePath(const std::string& name) const {
  return folder_ + LowerCaseName(name);
}

std::string DataSource::Acquire(const std::string& name) {
  return archive_ != nullptr ? archive_->Extract(name) : LoosePath(name);
}

void DataSource::Release(const std::string& name) {
  if (archive_ != nullptr)
    archive_->Release(name);
}

}  // namespace quarn::tools
