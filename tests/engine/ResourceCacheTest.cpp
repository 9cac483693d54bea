#include "engine/ResourceCache.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "ArchiveFixture.h"
#include "engine/Archive.h"
#include "engine/DefinitionFile.h"
#include "engine/ExtractedFile.h"
#include "engine/FrameTimer.h"
#include "platform/Clock.h"
#include "platform/Diagnostics.h"

namespace quarn {
namespace {

using testing::Exists;
using testing::FolderNames;
using testing::ReadFile;
using testing::WriteFile;

// What the probe kind did, in order; the cache builds kinds with their default constructor.
std::vector<std::string>* gLog = nullptr;
platform::FakeClock* gLoadClock = nullptr;

// A kind that loads a file's text: content starting with "bad" fails to load.
class ProbeResource : public CachedResource {
 public:
  ProbeResource() { ++made; }
  ~ProbeResource() override { Note("destroy " + text_); }
  bool Load(const std::string& path) override {
    text_ = Exists(path) ? ReadFile(path) : "(missing)";
    loadedPath_ = path;
    if (gLoadClock != nullptr)
      gLoadClock->AdvanceSeconds(2.0);  // a slow load
    Note("load " + text_);
    return Exists(path) && text_.rfind("bad", 0) != 0;
  }
  void Release() override { Note("release " + text_); }
  const std::string& Text() const { return text_; }
  const std::string& LoadedPath() const { return loadedPath_; }
  static inline int made = 0;

 private:
  static void Note(const std::string& what) {
    if (gLog != nullptr)
      gLog->push_back(what);
  }
  std::string text_;
  std::string loadedPath_;
};

class ResourceCacheTest : public testing::ArchiveFixture {
 protected:
  ResourceCacheTest() {
    platform::ForgetReportedProblems();
    gLog = &log_;
    ProbeResource::made = 0;
  }
  ~ResourceCacheTest() override {
    gLog = nullptr;
    gLoadClock = nullptr;
  }
  ProbeResource* Probe(ResourceCache::Kind kind, const std::string& name) {
    return cache_.Get<ProbeResource>(kind, name);
  }

  std::vector<std::string> log_;
  Archive archive_{tmp_};
  ResourceCache cache_{&archive_};
};

TEST_F(ResourceCacheTest, SameNameTwiceGivesTheSameObjectLoadedAndExtractedOnce) {
  WriteArchive({{"Stage.txt", "[Stage]\r\nTime=90\r\n"}});
  archive_.Open(base_);
  DefinitionFile* first = cache_.GetDefinition("Stage.txt");
  ASSERT_NE(first, nullptr);
  // Without the archive a second extraction could not succeed.
  std::remove((base_ + ".acv").c_str());
  EXPECT_EQ(cache_.GetDefinition("Stage.txt"), first);
  first->SelectSection("Stage");
  EXPECT_EQ(first->GetInt("Time", 0), 90);
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Definition), 1u);
}

TEST_F(ResourceCacheTest, CacheIsCaseSensitiveWhileTheArchiveIsNot) {
  WriteArchive({{"a.txt", "same"}});
  archive_.Open(base_);
  ProbeResource* lower = Probe(ResourceCache::Kind::Definition, "a.txt");
  ProbeResource* upper = Probe(ResourceCache::Kind::Definition, "A.txt");
  ASSERT_NE(lower, nullptr);
  ASSERT_NE(upper, nullptr);
  EXPECT_NE(lower, upper);
  EXPECT_EQ(lower->Text(), "same");
  EXPECT_EQ(upper->Text(), "same");
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Definition), 2u);
}

TEST_F(ResourceCacheTest, TemporaryCopyIsGoneRightAfterTheLoadUnlessAnotherHolderHasIt) {
  WriteArchive({{"a.txt", "A"}, {"b.txt", "B"}});
  archive_.Open(base_);
  ProbeResource* a = Probe(ResourceCache::Kind::Texture, "a.txt");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->LoadedPath(), archive_.TempDirectory() + "/a.txt");
  EXPECT_FALSE(Exists(a->LoadedPath()));
  {
    const ExtractedFile held("B.TXT", true, &archive_);
    ProbeResource* b = Probe(ResourceCache::Kind::Texture, "b.txt");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->LoadedPath(), held.GetPath());
    EXPECT_TRUE(Exists(held.GetPath())) << "the music player still holds it";
  }
  EXPECT_TRUE(FolderNames(archive_.TempDirectory()).empty());
}

TEST_F(ResourceCacheTest, FailedLoadIsReleasedDestroyedReportedAndNotCached) {
  archive_.Open(base_);  // no archive: loose files
  std::filesystem::create_directory(base_);
  WriteFile(base_ + "/broken.x", "bad mesh");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(Probe(ResourceCache::Kind::Mesh, "Broken.x"), nullptr);
  EXPECT_EQ(Probe(ResourceCache::Kind::Mesh, "Missing.x"), nullptr);
  EXPECT_EQ(Probe(ResourceCache::Kind::Mesh, "Missing.x"), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(log_,
            (std::vector<std::string>{"load bad mesh", "release bad mesh", "destroy bad mesh",
                                      "load (missing)", "release (missing)", "destroy (missing)",
                                      "load (missing)", "release (missing)", "destroy (missing)"}));
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Mesh), 0u);
  EXPECT_NE(err.find("quarn: Broken.x: cannot be loaded"), std::string::npos) << err;
  EXPECT_NE(err.find("quarn: Missing.x: not found (looked for " + base_ + "/missing.x)\n"),
            std::string::npos)
      << err;
  const size_t first = err.find("quarn: Missing.x:");
  EXPECT_EQ(err.find("quarn: Missing.x:", first + 1), std::string::npos) << "once: " << err;

  // The file arrives later: the next request loads it.
  WriteFile(base_ + "/missing.x", "mesh");
  ProbeResource* mesh = Probe(ResourceCache::Kind::Mesh, "Missing.x");
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->Text(), "mesh");
}

TEST_F(ResourceCacheTest, ClearAllReleasesMediaBeforeDefinitionsAndClearDefinitionsOnlyThose) {
  archive_.Open(base_);
  std::filesystem::create_directory(base_);
  for (const char* name : {"t", "m", "s", "d"})
    WriteFile(base_ + "/" + name, name);
  ASSERT_NE(Probe(ResourceCache::Kind::Definition, "d"), nullptr);
  ASSERT_NE(Probe(ResourceCache::Kind::Sound, "s"), nullptr);
  ASSERT_NE(Probe(ResourceCache::Kind::Mesh, "m"), nullptr);
  ASSERT_NE(Probe(ResourceCache::Kind::Texture, "t"), nullptr);

  log_.clear();
  cache_.ClearDefinitions();
  EXPECT_EQ(log_, (std::vector<std::string>{"release d", "destroy d"}));
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Texture), 1u);

  ASSERT_NE(Probe(ResourceCache::Kind::Definition, "d"), nullptr) << "loads again after clearing";
  log_.clear();
  cache_.ClearAll();
  EXPECT_EQ(log_, (std::vector<std::string>{"release t", "destroy t", "release m", "destroy m",
                                            "release s", "destroy s", "release d", "destroy d"}));
  for (auto kind : {ResourceCache::Kind::Texture, ResourceCache::Kind::Mesh,
                    ResourceCache::Kind::Sound, ResourceCache::Kind::Definition}) {
    EXPECT_EQ(cache_.Count(kind), 0u);
  }
}

TEST_F(ResourceCacheTest, DestroyingTheCacheReleasesWhatItHolds) {
  archive_.Open(base_);
  std::filesystem::create_directory(base_);
  WriteFile(base_ + "/t", "t");
  {
    ResourceCache scene(&archive_);
    ASSERT_NE(scene.Get<ProbeResource>(ResourceCache::Kind::Texture, "t"), nullptr);
    log_.clear();
  }
  EXPECT_EQ(log_, (std::vector<std::string>{"release t", "destroy t"}));
}

TEST_F(ResourceCacheTest, LoadingTimeDoesNotCountAsLag) {
  archive_.Open(base_);
  std::filesystem::create_directory(base_);
  WriteFile(base_ + "/slow.png", "pixels");
  platform::FakeClock clock;
  FrameTimer timer(&clock);
  ASSERT_TRUE(timer.SetRate(30));
  timer.Advance();
  gLoadClock = &clock;
  ResourceCache cache(&archive_, &timer);
  ASSERT_NE(cache.Get<ProbeResource>(ResourceCache::Kind::Texture, "slow.png"), nullptr);
  EXPECT_EQ(timer.PauseCount(), 0);
  EXPECT_FALSE(timer.IsLate()) << "two seconds of loading were paused out of the schedule";
  // A failed load is paused out the same way.
  EXPECT_EQ(cache.Get<ProbeResource>(ResourceCache::Kind::Texture, "none.png"), nullptr);
  EXPECT_FALSE(timer.IsLate());
}

TEST_F(ResourceCacheTest, EmptyNameFailsQuietly) {
  archive_.Open(base_);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cache_.GetDefinition(""), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find("quarn: : "), std::string::npos) << err;
}

TEST(ExtractedFileTest, WithoutReleaseTheCopyStaysUntilReleasedByHand) {
  testing::Records records = {{"Music.ogg", "notes"}};
  std::string pattern = ::testing::TempDir() + "quarn-extracted-XXXXXX";
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  WriteFile(pattern + "/Data.acv", testing::ArchiveBytes(records));
  {
    Archive archive(pattern);
    archive.Open(pattern + "/Data");
    std::string path;
    {
      const ExtractedFile music("MUSIC.OGG", false);  // the process-wide archive
      path = music.GetPath();
      EXPECT_EQ(music.GetName(), "MUSIC.OGG");
    }
    EXPECT_EQ(ReadFile(path), "notes");
    archive.Release("music.ogg");
    EXPECT_FALSE(Exists(path));
  }
  {
    const ExtractedFile noArchive("plain/path.txt", true);
    EXPECT_EQ(noArchive.GetPath(), "plain/path.txt") << "with no archive the name is the path";
  }
  std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace quarn
