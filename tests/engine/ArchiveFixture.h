#pragma once
// A fresh folder per test, archives written byte by byte in the record format, and helpers
// to look at files. Shared by the archive and resource cache tests.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace quarn::testing {

using Records = std::vector<std::pair<std::string, std::string>>;  // name, data

inline void AppendU32(std::string* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes->push_back(static_cast<char>(value >> (8 * i)));
}

inline std::string RecordBytes(const std::string& name, const std::string& data) {
  std::string bytes;
  AppendU32(&bytes, static_cast<uint32_t>(name.size()));
  bytes += name;
  AppendU32(&bytes, static_cast<uint32_t>(data.size()));
  bytes += data;
  return bytes;
}

inline std::string ArchiveBytes(const Records& records) {
  std::string bytes;
  for (const auto& [name, data] : records)
    bytes += RecordBytes(name, data);
  return bytes;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(dir, error)) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// root/ holds Data.acv (base root/Data) and root/tmp/, where the archive's private folder goes.
class ArchiveFixture : public ::testing::Test {
 protected:
  ArchiveFixture() {
    std::string pattern = ::testing::TempDir() + "quarn-archive-test-XXXXXX";
    root_ = mkdtemp(pattern.data()) != nullptr ? pattern : "";
    tmp_ = root_ + "/tmp";
    std::filesystem::create_directory(tmp_);
    base_ = root_ + "/Data";
  }
  ~ArchiveFixture() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  void WriteArchive(const Records& records) { WriteFile(base_ + ".acv", ArchiveBytes(records)); }

  std::string root_;
  std::string tmp_;
  std::string base_;
};

}  // namespace quarn::testing
