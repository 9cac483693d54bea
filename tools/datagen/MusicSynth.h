#pragma once
// Plays a MusicScore on a small set of synthesised instruments (pad, bass, arpeggio, lead and
// drums) with a ping-pong echo, into 44.1 kHz stereo. A looping piece is rendered round a
// circle: notes and echoes that ring past the end come back in at the start, so the loop has
// no seam. Keys beyond the score's: "File" (Ogg Vorbis), "Loop" (true), "FadeOut" (seconds,
// for a piece that does not loop), "Gain" and PadGain, BassGain, ArpGain, LeadGain, DrumGain.
#include <string>
#include <vector>

#include "MusicScore.h"
#include "RecipeFile.h"

namespace quarn::tools {

class MusicSynth {
 public:
  static constexpr int kRate = 44100;

  // Reads the section (score and mix). False with the reason in *error.
  bool Load(const RecipeFile& recipe, const std::string& section, std::string* error);

  const MusicScore& Score() const { return score_; }
  bool Loops() const { return loop_; }
  // Interleaved stereo in [-1, 1]: exactly the score's length when looping, else the score
  // and the ringing of its last notes.
  std::vector<float> Render() const;
  // Renders and writes the Ogg Vorbis file.
  bool Write(const std::string& path, std::string* error) const;

 private:
  struct Buffers;
  void RenderNote(const Note& note, size_t index, Buffers* buffers) const;

  MusicScore score_;
  bool loop_ = true;
  double fadeOut_ = 0;
  double gain_ = 1;
  double gains_[5] = {1, 1, 1, 1, 1};  // pad, bass, arp, lead, drums
};

}  // namespace quarn::tools
