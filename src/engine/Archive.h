#pragma once
// The data archive: a plain sequence of named records in Data.acv. Entries are handed out as
// ordinary files: copied on first request into this process's private temp folder, counted,
// and deleted when the last user releases them. A name the archive does not hold resolves to
// its loose file under the Data/ folder.
#include <cstdint>
#include <map>
#include <string>

#include "engine/PlainFile.h"
#include "engine/PrivateTempDirectory.h"
#include "engine/Service.h"

namespace quarn {

struct ArchiveEntry {
  std::string name;            // lower-cased
  uint32_t size = 0;           // data bytes
  int64_t offset = 0;          // file offset of the first data byte
  int32_t referenceCount = 0;  // users of the extracted copy
  std::string tempPath;        // where the copy is written; empty until the first extraction
};

class Archive : public Service<Archive> {
 public:
  // tempParent: where the private folder of copies is made; empty: $TMPDIR, or /tmp.
  explicit Archive(std::string tempParent = "");
  // Removes the private folder with any copies still in it.
  virtual ~Archive();

  // Reads the directory of base + ".acv"; loose files are looked up under base + "/".
  // Always true: a missing archive means every name is a loose file.
  bool Open(const std::string& base);
  // A path at which the named file can be read (the archive is case-insensitive).
  std::string Extract(const std::string& name);
  // Drops one user of the copy; the last one deletes it.
  void Release(const std::string& name);
  // Deletes every copy still held and forgets the directory.
  void Close();

  const std::string& ArchivePath() const { return archivePath_; }
  const std::string& LooseDirectory() const { return looseDirectory_; }
  const std::map<std::string, ArchiveEntry>& Entries() const { return entries_; }
  // The private folder of copies; empty while none exists.
  const std::string& TempDirectory() const { return tempDirectory_.Path(); }
  // True when the directory scan stopped at a damaged record.
  bool IsDamaged() const { return damaged_; }

 private:
  void ReadDirectory();
  // Writes the entry's bytes to its temp path; false (and no file left) when that fails.
  bool CopyOut(const ArchiveEntry& entry);

  std::string archivePath_;
  // Held open from Open to Close, so that the entries stay readable when the data folder is
  // moved or removed while the game runs.
  PlainFile file_;
  std::string looseDirectory_;
  std::map<std::string, ArchiveEntry> entries_;
  PrivateTempDirectory tempDirectory_;
  bool damaged_ = false;
};

// ASCII A-Z lowered; the second byte of a double-byte (code page 932) character is kept.
std::string LowerCaseName(const std::string& name);

// False for an entry name that must never become a file name: empty, ".", or holding "/",
// "\", ".." or a zero byte (it could write outside the temp folder, or not be a flat name).
bool IsSafeEntryName(const std::string& name);

// The name with control bytes and backslashes shown as \xNN, for messages and listings.
std::string PrintableName(const std::string& name);

}  // namespace quarn
