#include "ArchiveCommands.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "ArchiveIndex.h"
#include "engine/Archive.h"
#include "engine/PlainFile.h"

namespace quarn::tools {

namespace {
std::string Quoted(const std::string& name) {
  return "'" + PrintableName(name) + "'";
}

// Writes one record to dir/<lower-cased name>; a failed write leaves no file behind.
bool ExtractRecord(ArchiveIndex& index, const ArchiveRecord& record, const std::string& dir,
                   std::ostream& err) {
  const std::string path = dir + "/" + LowerCaseName(record.name);
  PlainFile target;
  if (!target.OpenWrite(path)) {
    err << "acv: " << path << ": " << std::strerror(errno) << "\n";
    return false;
  }
  bool written = true;
  const bool copied = index.Copy(
      record,
      [&](const char* data, size_t count) {
        written = target.Write(data, count) == count;
        return written;
      },
      err);
  if (!written)
    err << "acv: " << path << ": " << std::strerror(errno) << "\n";
  if (copied && target.Close())
    return true;
  target.Close();
  unlink(path.c_str());
  return false;
}
}  // namespace

int ListArchive(const std::string& archive, std::ostream& out, std::ostream& err) {
  ArchiveIndex index;
  if (!index.Open(archive, err))
    return 1;
  const auto& records = index.Records();
  for (size_t i = 0; i < records.size(); ++i) {
    const ArchiveRecord& record = records[i];
    out << PrintableName(record.name) << '\t' << record.size << '\t' << record.offset;
    if (!IsSafeEntryName(record.name)) {
      out << "\tnot a plain file name: the game reads it as missing";
    } else if (!index.IsReachable(i)) {
      out << "\thidden by an earlier record of the same name";
    }
    out << '\n';
  }
  out.flush();
  return index.ReportDamage(err) ? 1 : 0;
}

int ExtractEntries(const std::string& archive, const std::vector<std::string>& names,
                   const std::string& dir, std::ostream& err) {
  ArchiveIndex index;
  if (!index.Open(archive, err))
    return 1;
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    err << "acv: " << dir << ": " << error.message() << "\n";
    return 1;
  }
  bool ok = true;
  if (names.empty()) {
    const auto& records = index.Records();
    for (size_t i = 0; i < records.size(); ++i) {
      if (!IsSafeEntryName(records[i].name)) {
        err << "acv: " << archive << ": entry " << Quoted(records[i].name)
            << " is not a plain file name; not extracted\n";
        ok = false;
      } else if (index.IsReachable(i)) {
        ok = ExtractRecord(index, records[i], dir, err) && ok;
      }
    }
  }
  for (const std::string& name : names) {
    const ArchiveRecord* record = index.Find(name);
    if (record == nullptr) {
      err << "acv: " << archive << ": no entry " << Quoted(name) << "\n";
      ok = false;
    } else {
      ok = ExtractRecord(index, *record, dir, err) && ok;
    }
  }
  if (index.ReportDamage(err))
    ok = false;
  return ok ? 0 : 1;
}

int CatEntry(const std::string& archive, const std::string& name, std::ostream& out,
             std::ostream& err) {
  ArchiveIndex index;
  if (!index.Open(archive, err))
    return 1;
  const ArchiveRecord* record = index.Find(name);
  bool ok = record != nullptr;
  if (record == nullptr) {
    err << "acv: " << archive << ": no entry " << Quoted(name) << "\n";
  } else {
    ok = index.Copy(
        *record,
        [&](const char* data, size_t count) {
          return static_cast<bool>(out.write(data, static_cast<std::streamsize>(count)));
        },
        err);
    out.flush();
    if (!out) {
      err << "acv: cannot write to standard output\n";
      ok = false;
    }
  }
  if (index.ReportDamage(err))
    ok = false;
  return ok ? 0 : 1;
}

}  // namespace quarn::tools
