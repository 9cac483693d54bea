#pragma once
// A piece of music as notes, composed from a recipe section: a tempo, a key, parts of chords
// (one chord a bar) played in the order "Form" gives, the instruments of each part, and the
// patterns they follow. The lead melody is composed from the chords with a seed, so a part
// that comes back plays the same tune. Keys:
//   Tempo=BPM  Key=A  Scale=minor|major|dorian|mixolydian|harmonic  Form=0 1 1 2
//   Part_N=Am F C G            chords: root, then m 7 m7 maj7 sus2 sus4 5 dim add9 madd9
//   Layers_N=pad bass arp lead kick snare hat crash
//   Bass=0 . 0 7 . 0 12 .      eight steps a bar: semitones above the root, "." rest
//   Arp=0 1 2 1 3 2 1 2 ...    sixteen steps: the chord's notes from the lowest, "." rest
//   Kick=x...x...x...x...      sixteen steps each: x hit, o soft hit, . nothing
//   Snare=....x.......x...  Hat=x.x.x.x.x.x.x.x.  LeadSeed=N  LeadOctave=5
#include <string>
#include <vector>

#include "RecipeFile.h"

namespace quarn::tools {

enum class Instrument { Pad, Bass, Arp, Lead, Kick, Snare, Hat, Crash };

struct Note {
  double start = 0;     // seconds
  double length = 0;    // seconds
  int pitch = 0;        // MIDI number (60 is middle C)
  double velocity = 1;  // 0..1
  double pan = 0;       // -1 left .. 1 right
  Instrument instrument = Instrument::Pad;
};

class MusicScore {
 public:
  // Reads and composes the section. False with the reason in *error.
  bool Load(const RecipeFile& recipe, const std::string& section, std::string* error);

  double Tempo() const { return tempo_; }
  double BarSeconds() const { return 240.0 / tempo_; }
  int Bars() const { return bars_; }
  double Seconds() const { return bars_ * BarSeconds(); }
  const std::vector<Note>& Notes() const { return notes_; }

  // The pitches (MIDI, root first) of a chord name such as "F#m7" with the root placed in the
  // octave starting at base. False for a name that is not a chord.
  static bool ChordPitches(const std::string& name, int base, std::vector<int>* pitches);

 private:
  struct Part {
    std::vector<std::string> chords;
    std::vector<Instrument> layers;
  };
  void ComposePart(const Part& part, int partIndex, int firstBar);
  void ComposeLead(const Part& part, int partIndex, int firstBar);

  double tempo_ = 120;
  int keyRoot_ = 9;  // pitch class
  std::vector<int> scale_;
  int leadSeed_ = 1;
  int leadOctave_ = 5;
  std::vector<std::string> bass_, arp_;
  std::string kick_, snare_, hat_;
  std::vector<Part> parts_;
  int bars_ = 0;
  std::vector<Note> notes_;
};

}  // namespace quarn::tools
