#include "ArchiveIndex.h"

#include <cerrno>
#include <cstring>

#include "engine/Archive.h"

namespace quarn::tools {

bool ArchiveIndex::Open(const std::string& path, std::ostream& err) {
  path_ = path;
  if (!file_.OpenRead(path)) {
    err << "acv: " << path << ": " << std::strerror(errno) << "\n";
    return false;
  }
  ArchiveReader reader(&file_);
  ArchiveRecord record;
  while (reader.Next(&record)) {
    if (IsSafeEntryName(record.name))
      byName_.try_emplace(LowerCaseName(record.name), records_.size());
    records_.push_back(record);
  }
  damaged_ = reader.Damaged();
  damageOffset_ = reader.DamageOffset();
  problem_ = reader.Problem();
  return true;
}

const ArchiveRecord* ArchiveIndex::Find(const std::string& name) const {
  auto it = byName_.find(LowerCaseName(name));
  return it != byName_.end() ? &records_[it->second] : nullptr;
}

bool ArchiveIndex::IsReachable(size_t index) const {
  auto it = byName_.find(LowerCaseName(records_[index].name));
  return it != byName_.end() && it->second == index;
}

bool ArchiveIndex::ReportDamage(std::ostream& err) const {
  if (damaged_) {
    err << "acv: " << path_ << ": bad record at offset " << damageOffset_ << ": " << problem_
        << "\n";
  }
  return damaged_;
}

bool ArchiveIndex::ReadChunk(char* buffer, size_t count, std::ostream& err) {
  // A null buffer reports a failed seek.
  if (buffer != nullptr && file_.Read(buffer, count) == count)
    return true;
  err << "acv: " << path_ << ": the file changed or cannot be read\n";
  return false;
}

}  // namespace quarn::tools
