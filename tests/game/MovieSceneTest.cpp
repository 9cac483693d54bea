// The movie scene: a movie from the archive drawn into the back buffer, the skip buttons, the
// end of the movie, and the temporary copy given back.
#include "game/MovieScene.h"

#include <gtest/gtest.h>

#include "engine/ArchiveFixture.h"
#include "game/SceneRig.h"
#include "platform/Diagnostics.h"
#include "platform/ScanCodes.h"

namespace quarn {
namespace {

namespace scan = platform::scan;
using testing::RecordingOwner;
using testing::SceneRig;

class MovieSceneTest : public ::testing::Test {
 protected:
  MovieSceneTest() {
    // One second: 15 pictures of numbered colours, 64 x 48.
    rig_.AddMovie("intro.ogg", 64, 48, 15, 15);
    rig_.Pack();
  }
  ~MovieSceneTest() override {
    if (scene_ != nullptr)
      scene_->Finish();
  }
  void Load(const std::string& file) {
    scene_ = std::make_unique<MovieScene>(&owner_);
    scene_->Load(file);
    scene_->Start();
    scene_->SetActive(true);
  }
  void Frame() {
    rig_.Pass();
    scene_->Update();
  }
  platform::Argb BackBufferPixel(int x, int y) {
    std::vector<platform::Argb> pixels;
    rig_.Device().ReadBackBuffer(pixels, nullptr, nullptr);
    return pixels.at(static_cast<size_t>(y) * 640 + static_cast<size_t>(x));
  }

  SceneRig rig_;
  RecordingOwner owner_;
  std::unique_ptr<MovieScene> scene_;
};

TEST_F(MovieSceneTest, PlaysToItsEndInTheTopLeftCornerThenGoesBackToTheMenu) {
  Load("intro.ogg");
  ASSERT_TRUE(scene_->Player().IsRunning());
  const ArchiveEntry& entry = rig_.GetArchive().Entries().at("intro.ogg");
  EXPECT_EQ(entry.referenceCount, 1);
  int frames = 0;
  bool sawPicture = false;
  while (scene_->IsActive() && frames < 120) {
    Frame();
    ++frames;
    scene_->Render();
    if (frames == 10) {
      // A third of a second in: picture 5 (or its neighbour), and black beside it.
      const platform::Argb inside = BackBufferPixel(10, 10);
      sawPicture = testing::Near(inside, testing::FrameColour(4), 40) ||
                   testing::Near(inside, testing::FrameColour(5), 40);
      EXPECT_TRUE(sawPicture) << std::hex << inside;
      EXPECT_EQ(BackBufferPixel(64, 10) & 0xFFFFFFu, 0u);
      EXPECT_EQ(BackBufferPixel(10, 48) & 0xFFFFFFu, 0u);
    }
  }
  EXPECT_GE(frames, 30);
  EXPECT_LE(frames, 33) << "it leaves on the update after the movie's end";
  EXPECT_FALSE(scene_->IsActive());
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Menu");
  const std::string copy = entry.tempPath;
  scene_->Finish();
  EXPECT_EQ(entry.referenceCount, 0);
  EXPECT_FALSE(testing::Exists(copy));
  scene_.reset();
}

TEST_F(MovieSceneTest, XHeldAtTheStartSkipsOnTheFirstUpdate) {
  rig_.Hold(scan::kX);
  Load("intro.ogg");
  Frame();
  EXPECT_FALSE(scene_->IsActive());
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Menu");
}

TEST_F(MovieSceneTest, ZSkipsHalfWay) {
  Load("intro.ogg");
  for (int i = 0; i < 10; ++i)
    Frame();
  ASSERT_TRUE(scene_->IsActive());
  rig_.Hold(scan::kZ);
  Frame();
  EXPECT_FALSE(scene_->IsActive());
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Menu");
}

TEST_F(MovieSceneTest, AMovieThatCannotBeOpenedEndsOnTheFirstUpdate) {
  platform::ForgetReportedProblems();
  ::testing::internal::CaptureStderr();
  Load("missing.ogg");
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.rfind("quarn: missing.ogg: not found", 0), 0u) << err;
  EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line: " << err;
  EXPECT_FALSE(scene_->Player().IsRunning());
  EXPECT_TRUE(scene_->IsActive());
  Frame();
  EXPECT_FALSE(scene_->IsActive());
  EXPECT_EQ(owner_.values.Get(ValueId::Scene), "Menu");
}

}  // namespace
}  // namespace quarn
