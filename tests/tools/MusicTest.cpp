// Music: chords, the composed score and its repeats, and a loop whose end rings into its start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DatagenTestSupport.h"
#include "MusicScore.h"
#include "MusicSynth.h"
#include "TestMedia.h"
#include "platform/MediaDecoder.h"

namespace quarn::testing {
namespace {

using tools::Instrument;
using tools::MusicScore;
using tools::MusicSynth;
using tools::Note;

std::vector<Note> NotesOf(const MusicScore& score, Instrument instrument) {
  std::vector<Note> notes;
  for (const Note& note : score.Notes()) {
    if (note.instrument == instrument)
      notes.push_back(note);
  }
  return notes;
}

TEST(MusicScoreTest, ChordNamesGiveTheirNotes) {
  std::vector<int> pitches;
  ASSERT_TRUE(MusicScore::ChordPitches("F#m7", 60, &pitches));
  EXPECT_EQ(pitches, (std::vector<int>{66, 69, 73, 76}));
  ASSERT_TRUE(MusicScore::ChordPitches("Bb", 48, &pitches));
  EXPECT_EQ(pitches, (std::vector<int>{58, 62, 65}));
  ASSERT_TRUE(MusicScore::ChordPitches("Csus4", 0, &pitches));
  EXPECT_EQ(pitches, (std::vector<int>{0, 5, 7}));
  EXPECT_FALSE(MusicScore::ChordPitches("H", 0, &pitches));
  EXPECT_FALSE(MusicScore::ChordPitches("Cmaj9", 0, &pitches));
  EXPECT_FALSE(MusicScore::ChordPitches("", 0, &pitches));
}

TEST(MusicScoreTest, APartThatComesBackPlaysTheSameTune) {
  MusicScore score;
  std::string error;
  ASSERT_TRUE(score.Load(Recipe("Music.txt",
                                "[M]\nTempo=120\nKey=A\nScale=minor\nLeadSeed=4\n"
                                "Part_0=Am F C G\nLayers_0=lead pad\nPart_1=Dm\nLayers_1=pad\n"
                                "Form=0 1 0\n"),
                         "M", &error))
      << error;
  EXPECT_EQ(score.Bars(), 9);
  EXPECT_DOUBLE_EQ(score.Seconds(), 18.0);
  const auto lead = NotesOf(score, Instrument::Lead);
  std::vector<Note> first, again;
  for (const Note& note : lead)
    (note.start < 8.0 ? first : again).push_back(note);
  ASSERT_FALSE(first.empty());
  ASSERT_EQ(first.size(), again.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].pitch, again[i].pitch);
    EXPECT_DOUBLE_EQ(first[i].start + 10.0, again[i].start);
  }
  // Every lead note is in A minor, and each phrase ends on its chord's root (G in bar 4).
  for (const Note& note : lead) {
    const int pc = (note.pitch % 12 + 12) % 12;
    EXPECT_TRUE(pc == 9 || pc == 11 || pc == 0 || pc == 2 || pc == 4 || pc == 5 || pc == 7)
        << note.pitch;
  }
  EXPECT_EQ(first.back().pitch % 12, 7);
  // The pad plays the chord of each bar: Dm in bar 5.
  std::vector<int> bar5;
  for (const Note& note : NotesOf(score, Instrument::Pad)) {
    if (note.start == 8.0)
      bar5.push_back(note.pitch % 12);
  }
  std::sort(bar5.begin(), bar5.end());
  EXPECT_EQ(bar5, (std::vector<int>{2, 5, 9}));
}

TEST(MusicScoreTest, PatternsPlaceBassArpeggioAndDrumsInTheBar) {
  MusicScore score;
  std::string error;
  ASSERT_TRUE(score.Load(Recipe("Music.txt",
                                "[M]\nTempo=60\nPart_0=C\nLayers_0=bass arp kick\n"
                                "Bass=0 - . 7 . . 12 .\nArp=0 . . . 3 . . . . . . . . . . .\n"
                                "Kick=x.......o.......\n"),
                         "M", &error))
      << error;
  const auto bass = NotesOf(score, Instrument::Bass);
  ASSERT_EQ(bass.size(), 3u);
  EXPECT_DOUBLE_EQ(bass[0].start, 0.0);
  EXPECT_NEAR(bass[0].length, 0.9 * 2 * 0.5, 1e-9) << "held over the tie";
  EXPECT_EQ(bass[1].pitch - bass[0].pitch, 7);
  EXPECT_EQ(bass[2].pitch - bass[0].pitch, 12);
  const auto arp = NotesOf(score, Instrument::Arp);
  ASSERT_EQ(arp.size(), 2u);
  EXPECT_EQ(arp[1].pitch - arp[0].pitch, 12) << "note 3 of a triad is the root an octave up";
  const auto kick = NotesOf(score, Instrument::Kick);
  ASSERT_EQ(kick.size(), 2u);
  EXPECT_DOUBLE_EQ(kick[1].start, 2.0);
  EXPECT_LT(kick[1].velocity, kick[0].velocity);
}

TEST(MusicScoreTest, MistakesAreNamed) {
  MusicScore score;
  std::string error;
  EXPECT_FALSE(score.Load(Recipe("Music.txt", "[M]\nPart_0=Am Q\n"), "M", &error));
  EXPECT_EQ(error, "Music.txt [M] Part_0: 'Q' is not a chord name");
  EXPECT_FALSE(score.Load(Recipe("Music.txt", "[M]\nPart_0=Am\nForm=0 3\n"), "M", &error));
  EXPECT_NE(error.find("no Part_3"), std::string::npos) << error;
  EXPECT_FALSE(score.Load(Recipe("Music.txt", "[M]\nPart_0=Am\nKick=x...\n"), "M", &error));
  EXPECT_NE(error.find("Kick"), std::string::npos) << error;
  EXPECT_FALSE(score.Load(Recipe("Music.txt", "[M]\nPart_0=Am\nLayers_0=pad tuba\n"), "M", &error));
  EXPECT_NE(error.find("'tuba'"), std::string::npos) << error;
  EXPECT_FALSE(score.Load(Recipe("Music.txt", "[M]\nTempo=500\nPart_0=Am\n"), "M", &error));
  EXPECT_FALSE(score.Load(Recipe("Music.txt", "[M]\nTempo=100\n"), "M", &error));
  EXPECT_NE(error.find("at least one part"), std::string::npos) << error;
}

// A crash cymbal on the last bar rings on for seconds after the piece ends; the first bar
// holds nothing.
const char* const kRingingEnd =
    "[M]\nTempo=240\nPart_0=C\nLayers_0=pad\nPart_1=C\nLayers_1=crash\nForm=0 1\n"
    "PadGain=0\n";

TEST(MusicSynthTest, ALoopHearsTheRingingOfItsEndAtItsStart) {
  MusicSynth looping;
  MusicSynth once;
  std::string error;
  ASSERT_TRUE(looping.Load(Recipe("Music.txt", kRingingEnd), "M", &error)) << error;
  ASSERT_TRUE(
      once.Load(Recipe("Music.txt", std::string(kRingingEnd) + "Loop=false\n"), "M", &error))
      << error;
  const auto loop = looping.Render();
  const auto plain = once.Render();
  ASSERT_EQ(loop.size(), 2u * 2 * MusicSynth::kRate) << "exactly two bars of a second";
  EXPECT_GT(plain.size(), loop.size()) << "a piece that ends keeps its last notes ringing";
  double loopStart = 0, plainStart = 0;
  for (size_t i = 0; i < 2000; ++i) {
    loopStart = std::max(loopStart, double(std::abs(loop[i])));
    plainStart = std::max(plainStart, double(std::abs(plain[i])));
  }
  EXPECT_EQ(plainStart, 0.0);
  EXPECT_GT(loopStart, 0.01);
  EXPECT_EQ(looping.Render(), loop) << "the same recipe renders the same samples";
}

TEST(MusicSynthTest, TheWrittenPieceIsOggVorbisOfItsLength) {
  TempFolder folder;
  MusicSynth synth;
  std::string error;
  ASSERT_TRUE(synth.Load(Recipe("Music.txt",
                                "[M]\nTempo=120\nPart_0=Am G\nLayers_0=pad bass lead kick\n"
                                "Bass=0 . 0 . 0 . 0 .\nKick=x...x...x...x...\n"),
                         "M", &error))
      << error;
  ASSERT_TRUE(synth.Write(folder.File("m.ogg"), &error)) << error;
  platform::MediaDecoder decoder;
  ASSERT_TRUE(decoder.Open(folder.File("m.ogg"), true, false, &error)) << error;
  EXPECT_EQ(decoder.GetAudioFormat().channels, 2);
  EXPECT_EQ(decoder.GetAudioFormat().rate, 44100);
  std::vector<uint8_t> pcm;
  uint32_t frames = 0;
  while (decoder.DecodeAudio(1 << 16, &pcm, &frames)) {
  }
  EXPECT_NEAR(frames, 4 * 44100, 64);
}

}  // namespace
}  // namespace quarn::testing
