#include "engine/ArchiveReader.h"

#include <gtest/gtest.h>

#include "ArchiveFixture.h"

namespace quarn {
namespace {

using testing::AppendU32;
using testing::RecordBytes;
using testing::WriteFile;

class ArchiveReaderTest : public testing::ArchiveFixture {
 protected:
  // Scans bytes written to a file; returns the complete records.
  std::vector<ArchiveRecord> Scan(const std::string& bytes) {
    WriteFile(base_ + ".acv", bytes);
    PlainFile file;
    EXPECT_TRUE(file.OpenRead(base_ + ".acv"));
    ArchiveReader reader(&file);
    std::vector<ArchiveRecord> records;
    ArchiveRecord record;
    while (reader.Next(&record))
      records.push_back(record);
    EXPECT_FALSE(reader.Next(&record)) << "a finished scan stays finished";
    damaged_ = reader.Damaged();
    damageOffset_ = reader.DamageOffset();
    problem_ = reader.Problem();
    return records;
  }

  bool damaged_ = false;
  int64_t damageOffset_ = -1;
  std::string problem_;
};

TEST_F(ArchiveReaderTest, RecordsKeepTheirNameBytesSizesAndDataOffsets) {
  const std::string bytes =
      RecordBytes("HUD.png", "abc") + RecordBytes("", "") + RecordBytes("\x82\xA0.txt", "z");
  const auto records = Scan(bytes);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].name, "HUD.png");
  EXPECT_EQ(records[0].size, 3u);
  EXPECT_EQ(records[0].recordOffset, 0);
  EXPECT_EQ(records[0].offset, 4 + 7 + 4);
  EXPECT_EQ(bytes.substr(records[0].offset, 3), "abc");
  EXPECT_EQ(records[1].name, "");
  EXPECT_EQ(records[1].recordOffset, 18);
  EXPECT_EQ(records[1].offset, 26);
  EXPECT_EQ(records[2].name, "\x82\xA0.txt");
  EXPECT_EQ(bytes.substr(records[2].offset, 1), "z");
  EXPECT_FALSE(damaged_);
}

TEST_F(ArchiveReaderTest, EmptyFileHasNoRecordsAndIsNotDamaged) {
  EXPECT_TRUE(Scan("").empty());
  EXPECT_FALSE(damaged_);
}

TEST_F(ArchiveReaderTest, ManySmallRecordsAcrossTheReadWindowComeOutIntact) {
  // Record headers straddle every possible position of the reader's window boundary.
  std::string bytes;
  std::vector<std::pair<std::string, std::string>> expected;
  for (int i = 0; i < 3000; ++i) {
    std::string name = "entry" + std::to_string(i) + std::string(i % 37, 'n') + ".bin";
    std::string data(static_cast<size_t>((i * 7919) % 301), static_cast<char>('a' + i % 26));
    bytes += RecordBytes(name, data);
    expected.emplace_back(std::move(name), std::move(data));
  }
  const auto records = Scan(bytes);
  ASSERT_EQ(records.size(), expected.size());
  for (size_t i = 0; i < records.size(); ++i) {
    ASSERT_EQ(records[i].name, expected[i].first) << i;
    ASSERT_EQ(bytes.substr(records[i].offset, records[i].size), expected[i].second) << i;
  }
  EXPECT_FALSE(damaged_);
}

TEST_F(ArchiveReaderTest, RecordAfterAnEntryLargerThanTheWindowIsFound) {
  const std::string big(300 * 1024, 'x');
  const std::string bytes = RecordBytes("movie.mpg", big) + RecordBytes("after.txt", "ok");
  const auto records = Scan(bytes);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].name, "after.txt");
  EXPECT_EQ(bytes.substr(records[1].offset, 2), "ok");
}

TEST_F(ArchiveReaderTest, NameOf255BytesIsReadAnd256EndsTheScan) {
  const std::string name255(255, 'N');
  const std::string first = RecordBytes(name255, "d");
  const auto records = Scan(first + RecordBytes(std::string(256, 'M'), "e"));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].name, name255);
  EXPECT_TRUE(damaged_);
  EXPECT_EQ(damageOffset_, static_cast<int64_t>(first.size()));
  EXPECT_NE(problem_.find("256"), std::string::npos) << problem_;
}

TEST_F(ArchiveReaderTest, EveryCutInsideTheLastRecordDropsOnlyThatRecord) {
  const std::string first = RecordBytes("a.txt", "0123");
  const std::string second = RecordBytes("b.txt", "456789");
  for (size_t keep = 1; keep < second.size(); ++keep) {
    const auto records = Scan(first + second.substr(0, keep));
    ASSERT_EQ(records.size(), 1u) << "cut after " << keep << " bytes";
    EXPECT_EQ(records[0].name, "a.txt");
    EXPECT_TRUE(damaged_) << keep;
    EXPECT_EQ(damageOffset_, static_cast<int64_t>(first.size())) << keep;
  }
}

TEST_F(ArchiveReaderTest, DataSizePastTheEndOrOver2GiBIsDamage) {
  std::string bytes = RecordBytes("ok", "1");
  const auto okSize = static_cast<int64_t>(bytes.size());
  AppendU32(&bytes, 3);
  bytes += "big";
  AppendU32(&bytes, 100);
  bytes += "only ten..";
  ASSERT_EQ(Scan(bytes).size(), 1u);
  EXPECT_EQ(damageOffset_, okSize);
  EXPECT_NE(problem_.find("past the end"), std::string::npos) << problem_;

  // A size with the top bit set would be a backward move in the game: never accepted.
  std::string negative = RecordBytes("ok", "1");
  AppendU32(&negative, 1);
  negative += "n";
  AppendU32(&negative, 0xFFFFFFF0u);
  ASSERT_EQ(Scan(negative).size(), 1u);
  EXPECT_TRUE(damaged_);
  EXPECT_NE(problem_.find("over 2 GiB"), std::string::npos) << problem_;
}

TEST_F(ArchiveReaderTest, ForeignFileIsDamagedAtOffsetZero) {
  const auto records = Scan(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  EXPECT_TRUE(records.empty());
  EXPECT_TRUE(damaged_);
  EXPECT_EQ(damageOffset_, 0);
}

}  // namespace
}  // namespace quarn
