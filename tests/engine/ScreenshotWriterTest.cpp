// Screenshots from the null device's back buffer: file names, folders, the requested frames
// and the problems reported when a picture cannot be written.
#include "engine/ScreenshotWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "render/PngReader.h"

namespace quarn {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

class ScreenshotWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Inside the program's scratch folder, which goes when the program ends.
    dir_ = ::testing::TempDir() + "shots-XXXXXX";
    ASSERT_NE(mkdtemp(dir_.data()), nullptr);
    platform::ForgetReportedProblems();
    device_.Clear(0, nullptr, platform::kClearTarget, 0xFF204060u, 1, 0);
  }

  std::string dir_;
  platform::NullRenderDevice device_;
};

TEST_F(ScreenshotWriterTest, SavedPictureIsTheBackBuffer) {
  const platform::Argb corner[2] = {0xFFFF0000u, 0xFF00FF00u};
  device_.WriteBackBuffer(638, 479, 2, 1, corner, 2);
  const std::string path = dir_ + "/shot.png";
  ASSERT_TRUE(ScreenshotWriter::Save(device_, path));
  testing::Picture picture;
  ASSERT_TRUE(testing::ReadPng(path, &picture));
  ASSERT_EQ(picture.width, 640u);
  ASSERT_EQ(picture.height, 480u);
  EXPECT_EQ(picture.pixels[0], 0xFF204060u);
  EXPECT_EQ(picture.pixels[479 * 640 + 638], 0xFFFF0000u);
  EXPECT_EQ(picture.pixels[479 * 640 + 639], 0xFF00FF00u);
}

TEST_F(ScreenshotWriterTest, FolderIsMadeAndNamesCarryDateTimeAndANumber) {
  std::tm when{};
  when.tm_year = 2024 - 1900;
  when.tm_mon = 1;
  when.tm_mday = 3;
  when.tm_hour = 4;
  when.tm_min = 5;
  when.tm_sec = 6;
  when.tm_isdst = -1;
  const std::time_t now = std::mktime(&when);
  const std::string folder = dir_ + "/save/screenshots";
  const std::string first = ScreenshotWriter::SaveInFolder(device_, folder, now);
  EXPECT_EQ(first, folder + "/quarn-20240203-040506-1.png");
  EXPECT_TRUE(Exists(first));
  const std::string second = ScreenshotWriter::SaveInFolder(device_, folder, now);
  EXPECT_EQ(second, folder + "/quarn-20240203-040506-2.png") << "the same second: next number";
  EXPECT_TRUE(Exists(first)) << "the first is kept";
}

TEST_F(ScreenshotWriterTest, AnUnwritablePlaceIsReportedAndLeavesNothing) {
  const std::string file = dir_ + "/file";
  ASSERT_TRUE(ScreenshotWriter::Save(device_, file));
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ScreenshotWriter::SaveInFolder(device_, file + "/screenshots", 0), "");
  EXPECT_FALSE(ScreenshotWriter::Save(device_, dir_ + "/missing/shot.png"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("quarn: " + file + "/screenshots: cannot make the folder"), std::string::npos)
      << err;
  EXPECT_NE(err.find("quarn: " + dir_ + "/missing/shot.png: cannot write the screenshot"),
            std::string::npos)
      << err;
  EXPECT_FALSE(Exists(dir_ + "/missing"));
}

TEST_F(ScreenshotWriterTest, RequestsAreWrittenOnceTheirUpdateIsShown) {
  ScreenshotWriter writer;
  writer.SetRequests({{5, dir_ + "/five.png"}, {2, dir_ + "/two.png"}, {9, dir_ + "/nine.png"}});
  writer.AfterPresent(1, device_);
  EXPECT_FALSE(Exists(dir_ + "/two.png"));
  // Update 2 was not drawn (a late pass); the next picture shown is written for it.
  writer.AfterPresent(3, device_);
  EXPECT_TRUE(Exists(dir_ + "/two.png"));
  EXPECT_FALSE(Exists(dir_ + "/five.png"));
  ::testing::internal::CaptureStderr();
  writer.Finish(6, &device_);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(Exists(dir_ + "/five.png")) << "reached by the end: the last picture";
  EXPECT_FALSE(Exists(dir_ + "/nine.png"));
  EXPECT_NE(err.find("nine.png: not written: the game ended after 6 updates"), std::string::npos)
      << err;
  EXPECT_FALSE(writer.HasPendingRequests());
}

}  // namespace
}  // namespace quarn
