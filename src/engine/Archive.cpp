#include "engine/Archive.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "engine/ArchiveReader.h"
#include "engine/PlainFile.h"
#include "platform/Diagnostics.h"

namespace quarn {

namespace {
// Copies move through a buffer of this size: big entries (movies) are never held whole.
constexpr size_t kCopyChunk = 1 << 20;
}  // namespace

std::string LowerCaseName(const std::string& name) {
  std::string lower = name;
  for (size_t i = 0; i < lower.size(); ++i) {
    const auto byte = static_cast<unsigned char>(lower[i]);
    if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
      ++i;  // lead byte: the trail byte is part of the same character
    } else if (byte >= 'A' && byte <= 'Z') {
      lower[i] = static_cast<char>(byte - 'A' + 'a');
    }
  }
  return lower;
}

bool IsSafeEntryName(const std::string& name) {
  if (name.empty() || name == ".")
    return false;
  return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos &&
         name.find("..") == std::string::npos;
}

std::string PrintableName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(name.size());
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || byte == '\\') {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 15];
    } else {
      text += c;
    }
  }
  return text;
}

Archive::Archive(std::string tempParent) : tempDirectory_(std::move(tempParent)) {}

Archive::~Archive() = default;

bool Archive::Open(const std::string& base) {
  Close();
  archivePath_ = base + ".acv";
  looseDirectory_ = base + "/";
  // Copies left behind by games that were killed are cleared here, at the next start.
  PrivateTempDirectory::RemoveStale(tempDirectory_.Parent());
  ReadDirectory();
  if (!entries_.empty() && !tempDirectory_.Create()) {
    platform::ReportProblem(
        tempDirectory_.Parent(),
        "cannot make a private folder for archive copies: " + tempDirectory_.LastError());
  }
  return true;
}

void Archive::ReadDirectory() {
  damaged_ = false;
  if (!file_.OpenRead(archivePath_)) {
    const std::string why = errno == ENOENT ? "not found" : std::strerror(errno);
    platform::ReportProblem(archivePath_, why + "; reading loose files under " + looseDirectory_);
    return;
  }
  ArchiveReader reader(&file_);
  ArchiveRecord record;
  while (reader.Next(&record)) {
    if (!IsSafeEntryName(record.name)) {
      platform::ReportProblem(archivePath_ + ": " + PrintableName(record.name),
                              "entry name is not a plain file name; read as missing");
      continue;
    }
    std::string lower = LowerCaseName(record.name);
    // The first record of a name wins.
    auto [it, added] = entries_.try_emplace(std::move(lower));
    if (added) {
      it->second.name = it->first;
      it->second.size = record.size;
      it->second.offset = record.offset;
    }
  }
  if (reader.Damaged()) {
    damaged_ = true;
    platform::ReportProblem(
        archivePath_, "damaged record at offset " + std::to_string(reader.DamageOffset()) + ": " +
                          reader.Problem() + "; the entries before it are used");
  }
}

std::string Archive::Extract(const std::string& name) {
  const std::string lower = LowerCaseName(name);
  auto it = entries_.find(lower);
  if (it == entries_.end())
    return looseDirectory_ + lower;
  ArchiveEntry& entry = it->second;
  if (entry.referenceCount > 0) {
    ++entry.referenceCount;
    return entry.tempPath;
  }
  if (!tempDirectory_.Create()) {
    platform::ReportProblem(
        tempDirectory_.Parent(),
        "cannot make a private folder for archive copies: " + tempDirectory_.LastError());
    return looseDirectory_ + lower;
  }
  entry.tempPath = tempDirectory_.Path() + "/" + entry.name;
  // A failed copy leaves no file: the loader's own failure is what the caller sees.
  CopyOut(entry);
  entry.referenceCount = 1;
  return entry.tempPath;
}

bool Archive::CopyOut(const ArchiveEntry& entry) {
  PlainFile& source = file_;
  if (!source.IsOpen() || !source.Seek(entry.offset)) {
    platform::ReportProblem(entry.name,
                            "cannot read it from " + archivePath_ + ": " + std::strerror(errno));
    return false;
  }
  PlainFile target;
  if (!target.OpenWrite(entry.tempPath)) {
    platform::ReportProblem(entry.name,
                            "cannot write " + entry.tempPath + ": " + std::strerror(errno));
    return false;
  }
  const size_t chunk = std::min<size_t>(entry.size, kCopyChunk);
  const auto buffer = std::make_unique_for_overwrite<char[]>(chunk > 0 ? chunk : 1);
  std::string problem;
  for (uint32_t left = entry.size; left > 0 && problem.empty();) {
    const size_t want = std::min<size_t>(left, chunk);
    if (source.Read(buffer.get(), want) != want) {
      problem = archivePath_ + " ended before the entry's data did";
    } else if (target.Write(buffer.get(), want) != want) {
      problem = "cannot write " + entry.tempPath + ": " + std::strerror(errno);
    }
    left -= static_cast<uint32_t>(want);
  }
  if (problem.empty() && !target.Close()) {
    problem = "cannot write " + entry.tempPath + ": " + std::strerror(errno);
  }
  if (problem.empty())
    return true;
  target.Close();
  unlink(entry.tempPath.c_str());  // a cut-off copy would load as a broken file
  platform::ReportProblem(entry.name, problem);
  return false;
}

void Archive::Release(const std::string& name) {
  auto it = entries_.find(LowerCaseName(name));
  if (it == entries_.end())
    return;
  ArchiveEntry& entry = it->second;
  --entry.referenceCount;
  if (entry.referenceCount <= 0 && !entry.tempPath.empty())
    unlink(entry.tempPath.c_str());
}

void Archive::Close() {
  for (const auto& [name, entry] : entries_) {
    if (entry.referenceCount > 0)
      unlink(entry.tempPath.c_str());
  }
  entries_.clear();
  file_.Close();
  tempDirectory_.Remove();
}

}  // namespace quarn
