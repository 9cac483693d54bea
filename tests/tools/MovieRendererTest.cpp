// The movie: shots in sequence, fades, sprites along their paths, and the file it writes.
#include <gtest/gtest.h>

#include "DatagenTestSupport.h"
#include "MovieRenderer.h"
#include "ShapeBook.h"
#include "TestMedia.h"
#include "platform/MediaDecoder.h"

namespace quarn::testing {
namespace {

using tools::Canvas;
using tools::MovieRenderer;

const char* const kMovie =
    "[Movie]\nFile=m.ogv\nWidth=64\nHeight=48\nFps=10\nMusic=Tune\nSound_0=0.5 Beep 1 0\n"
    "Shot_0=Red\nShot_1=Blue\n"
    "[Red]\nLength=1\nFadeIn=0.5\nSkyTop=FFFF0000 FFFF0000\nSkyBottom=FFFF0000 FFFF0000\n"
    "[Blue]\nLength=1\nSkyTop=FF0000FF FF0000FF\nSkyBottom=FF0000FF FF0000FF\n"
    "Sprite_0=Box FFFFFFFF 0 1 8 24 4 0 56 24 4 0\n";

class MovieRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(shapes_.Load(Recipe("Shapes.txt", "[Box]\nPoly_0=- -1 -1 1 -1 1 1 -1 1\n"), &error))
        << error;
  }
  bool Load(MovieRenderer* movie, const std::string& text, std::string* error) {
    return movie->Load(Recipe("Movie.txt", text), "Movie",
                       Recipe("Music.txt", "[Tune]\nTempo=240\nPart_0=C\nLoop=false\n"),
                       Recipe("Sounds.txt", "[Beep]\nLayer_0=sine 0 0.2 880 880 0.5 0 0\n"), error);
  }

  tools::FontRenderer fonts_;
  tools::ShapeBook shapes_;
};

TEST_F(MovieRendererTest, ShotsFollowOneAnotherWithTheirFadesAndSprites) {
  MovieRenderer movie(&fonts_, &shapes_);
  std::string error;
  ASSERT_TRUE(Load(&movie, kMovie, &error)) << error;
  EXPECT_DOUBLE_EQ(movie.Seconds(), 2.0);
  EXPECT_EQ(movie.Frames(), 20);
  Canvas frame(0, 0);
  movie.RenderFrame(0, &frame);
  ASSERT_EQ(frame.Width(), 64);
  EXPECT_EQ(frame.At(32, 10), 0xFF000000u) << "the first frame of a fade in is black";
  movie.RenderFrame(3, &frame);
  EXPECT_NEAR(Red(frame.At(32, 10)), 0.6 * 255, 2) << "0.3 s into a 0.5 s fade";
  movie.RenderFrame(9, &frame);
  EXPECT_EQ(frame.At(32, 10), 0xFFFF0000u);
  // In the second shot the box flies from x 8 to 56: half way at frame 15.
  movie.RenderFrame(15, &frame);
  EXPECT_EQ(frame.At(32, 10), 0xFF0000FFu);
  EXPECT_EQ(frame.At(32, 24), 0xFFFFFFFFu);
  EXPECT_EQ(frame.At(12, 24), 0xFF0000FFu) << "the box has left its start";
}

TEST_F(MovieRendererTest, TheSoundTrackIsTheMusicWithTheSoundsMixedIn) {
  MovieRenderer movie(&fonts_, &shapes_);
  std::string error;
  ASSERT_TRUE(Load(&movie, kMovie, &error)) << error;
  const auto sound = movie.SoundTrack();
  ASSERT_EQ(sound.size(), 2u * 2 * 44100);
  // The tune is a pad from the start; the beep joins at 0.5 s and is gone by 0.8 s.
  const auto level = [&](double from, double to) {
    double sum = 0;
    for (size_t i = size_t(from * 44100) * 2; i < size_t(to * 44100) * 2; ++i)
      sum += sound[i] * sound[i];
    return std::sqrt(sum / ((to - from) * 44100 * 2));
  };
  EXPECT_GT(level(0.2, 0.45), 0.005);
  EXPECT_GT(level(0.55, 0.65), 2 * level(0.2, 0.45));
  EXPECT_LT(level(0.85, 0.95), level(0.55, 0.65) / 2);
}

TEST_F(MovieRendererTest, TheWrittenMovieHasItsPicturesAndSound) {
  TempFolder folder;
  MovieRenderer movie(&fonts_, &shapes_);
  std::string error;
  ASSERT_TRUE(Load(&movie, kMovie, &error)) << error;
  ASSERT_TRUE(movie.Write(folder.File("m.ogv"), &error)) << error;
  platform::MediaDecoder decoder;
  ASSERT_TRUE(decoder.Open(folder.File("m.ogv"), true, true, &error)) << error;
  EXPECT_TRUE(decoder.HasAudio());
  EXPECT_EQ(decoder.Width(), 64);
  EXPECT_EQ(decoder.Height(), 48);
  decoder.ReadVideoUntil(100.0);
  EXPECT_NEAR(decoder.VideoEnd(), 2.0, 0.11);
}

TEST_F(MovieRendererTest, MistakesAreNamed) {
  MovieRenderer movie(&fonts_, &shapes_);
  std::string error;
  EXPECT_FALSE(Load(&movie, "[Movie]\nShot_0=Nowhere\n", &error));
  EXPECT_EQ(error, "Movie.txt [Movie] Shot_0: no section Nowhere");
  EXPECT_FALSE(Load(&movie, "[Movie]\nWidth=650\nShot_0=S\n[S]\nLength=1\n", &error));
  EXPECT_NE(error.find("multiples of 16 up to 640 x 480"), std::string::npos) << error;
  EXPECT_FALSE(
      Load(&movie, "[Movie]\nShot_0=S\n[S]\nLength=1\nSprite_2=Kite FFFFFFFF 0 1 0 0 1 0 0 0 1 0\n",
           &error));
  EXPECT_EQ(error, "Movie.txt [S] Sprite_2: no shape named 'Kite'");
  EXPECT_FALSE(Load(&movie, "[Movie]\nShot_0=S\n[S]\nFadeIn=1\n", &error));
  EXPECT_NE(error.find("a shot needs a length"), std::string::npos) << error;
  EXPECT_FALSE(Load(&movie, "[Movie]\nShot_0=S\nMusic=Anthem\n[S]\nLength=1\n", &error));
  EXPECT_NE(error.find("Music.txt has no Anthem"), std::string::npos) << error;
  EXPECT_FALSE(Load(&movie, "[Movie]\nShot_0=S\nSound_0=0 Boom 1\n[S]\nLength=1\n", &error));
  EXPECT_NE(error.find("Sounds.txt has no Boom"), std::string::npos) << error;
}

}  // namespace
}  // namespace quarn::testing
