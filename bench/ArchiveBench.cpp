// Work 1 (BM_ArchiveOpen): Archive::Open of an archive of 20,000 entries named like
// "Unit00042_Part3.x", with 0-4095 data bytes each (about 41 MB), then Close; reports the
// time per entry.
// Work 2 (BM_ArchiveExtract64MiB): Extract and Release of one 64 MiB entry (a copy into the
// private temp folder, then its deletion), and in the same run the plain physical copy of the
// same bytes: read from the archive and write to a new file in 128 KiB steps, then delete it.
// Reports both in MB/s and extract-to-copy as a ratio.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "TempFolder.h"
#include "engine/Archive.h"

namespace {

constexpr int kEntries = 20000;
constexpr uint32_t kBigEntry = 64u << 20;

quarn::testing::TempFolder& Folder() {
  static quarn::testing::TempFolder folder;
  return folder;
}

void AppendU32(std::string* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes->push_back(static_cast<char>(value >> (8 * i)));
}

void AppendRecord(std::string* bytes, const std::string& name, uint32_t size, char fill) {
  AppendU32(bytes, static_cast<uint32_t>(name.size()));
  *bytes += name;
  AppendU32(bytes, size);
  bytes->append(size, fill);
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0)
    return false;
  const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  return close(fd) == 0 && ok;
}

// Returns the archive base (the file is base + ".acv").
std::string ManyEntriesArchive() {
  const std::string base = Folder().Path() + "/Many";
  std::string bytes;
  uint32_t state = 1;
  for (int i = 0; i < kEntries; ++i) {
    state = state * 214013u + 2531011u;
    char name[32];
    std::snprintf(name, sizeof name, "Unit%05d_Part%d.x", i, i % 7);
    AppendRecord(&bytes, name, (state >> 16) % 4096, 'd');
  }
  return WriteWhole(base + ".acv", bytes) ? base : "";
}

std::string BigEntryArchive() {
  const std::string base = Folder().Path() + "/Big";
  std::string bytes;
  AppendRecord(&bytes, "Intro.mpg", kBigEntry, 'm');
  return WriteWhole(base + ".acv", bytes) ? base : "";
}

void BM_ArchiveOpen(benchmark::State& state) {
  static const std::string base = ManyEntriesArchive();
  if (base.empty()) {
    state.SkipWithError("cannot write the archive");
    return;
  }
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    quarn::Archive archive(Folder().Path());
    timer.TimeWork([&] {
      archive.Open(base);
      benchmark::DoNotOptimize(archive.Entries().size());
      archive.Close();
    });
  }
  const double entries = static_cast<double>(kEntries) * state.iterations();
  state.counters["ns_per_entry"] = timer.WorkSeconds() * 1e9 / entries;
}
BENCHMARK(BM_ArchiveOpen)->Unit(benchmark::kMillisecond);

// The physical limit: a plain read/write loop over the same bytes.
void PlainCopy(const std::string& from, int64_t offset, size_t size, const std::string& to) {
  std::vector<char> buffer(128 * 1024);
  const int in = open(from.c_str(), O_RDONLY);
  const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  lseek(in, offset, SEEK_SET);
  for (size_t left = size; left > 0;) {
    const ssize_t n = read(in, buffer.data(), std::min(left, buffer.size()));
    if (n <= 0 || write(out, buffer.data(), static_cast<size_t>(n)) != n)
      break;
    left -= static_cast<size_t>(n);
  }
  close(in);
  close(out);
  unlink(to.c_str());
}

void BM_ArchiveExtract64MiB(benchmark::State& state) {
  static const std::string base = BigEntryArchive();
  if (base.empty()) {
    state.SkipWithError("cannot write the archive");
    return;
  }
  quarn::Archive archive(Folder().Path());
  archive.Open(base);
  const quarn::ArchiveEntry& entry = archive.Entries().at("intro.mpg");
  const std::string plainTarget = archive.TempDirectory() + "/plain-copy";
  quarn::bench::SplitTimer timer;
  for (auto _ : state) {
    timer.TimeWork([&] {
      benchmark::DoNotOptimize(archive.Extract("Intro.mpg"));
      archive.Release("Intro.mpg");
    });
    timer.TimeBaseline([&] { PlainCopy(base + ".acv", entry.offset, entry.size, plainTarget); });
  }
  const double megabytes = static_cast<double>(kBigEntry) * state.iterations() / 1e6;
  state.counters["extract_MB_per_s"] = megabytes / timer.WorkSeconds();
  state.counters["plain_copy_MB_per_s"] = megabytes / timer.BaselineSeconds();
  state.counters["extract_to_copy_ratio"] = timer.Ratio();
}
BENCHMARK(BM_ArchiveExtract64MiB)->Unit(benchmark::kMillisecond);

}  // namespace
