#include "MusicScore.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "SeededRandom.h"
#include "TokenReader.h"

namespace quarn::tools {

namespace {
// Where each instrument's notes sit (MIDI numbers).
constexpr int kPadLow = 52, kPadHigh = 67;
constexpr int kBassBase = 33;
constexpr int kArpBase = 60;

bool PitchClass(const std::string& name, size_t* used, int* pitchClass) {
  static const std::map<char, int> kLetters = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                               {'G', 7}, {'A', 9}, {'B', 11}};
  if (name.empty() || kLetters.count(name[0]) == 0)
    return false;
  int pc = kLetters.at(name[0]);
  size_t i = 1;
  if (i < name.size() && name[i] == '#') {
    ++pc;
    ++i;
  } else if (i < name.size() && name[i] == 'b') {
    --pc;
    ++i;
  }
  *pitchClass = (pc + 12) % 12;
  *used = i;
  return true;
}

bool ParseInstrument(const std::string& word, Instrument* instrument) {
  static const std::map<std::string, Instrument> kNames = {
      {"pad", Instrument::Pad},   {"bass", Instrument::Bass},  {"arp", Instrument::Arp},
      {"lead", Instrument::Lead}, {"kick", Instrument::Kick},  {"snare", Instrument::Snare},
      {"hat", Instrument::Hat},   {"crash", Instrument::Crash}};
  const auto found = kNames.find(word);
  if (found == kNames.end())
    return false;
  *instrument = found->second;
  return true;
}

std::vector<std::string> Words(const std::string& text) {
  TokenReader tokens(text);
  std::vector<std::string> words;
  while (!tokens.AtEnd())
    words.push_back(tokens.Word("word"));
  return words;
}

bool Has(const std::vector<Instrument>& layers, Instrument instrument) {
  return std::find(layers.begin(), layers.end(), instrument) != layers.end();
}

double StepVelocity(char step) {
  return step == 'x' ? 1.0 : step == 'o' ? 0.55 : 0.0;
}
}  // namespace

bool MusicScore::ChordPitches(const std::string& name, int base, std::vector<int>* pitches) {
  static const std::map<std::string, std::vector<int>> kQualities = {
      {"", {0, 4, 7}},         {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},
      {"m7", {0, 3, 7, 10}},   {"maj7", {0, 4, 7, 11}}, {"sus2", {0, 2, 7}},
      {"sus4", {0, 5, 7}},     {"5", {0, 7, 12}},       {"dim", {0, 3, 6}},
      {"add9", {0, 4, 7, 14}}, {"madd9", {0, 3, 7, 14}}};
  size_t used = 0;
  int pc = 0;
  if (!PitchClass(name, &used, &pc))
    return false;
  const auto quality = kQualities.find(name.substr(used));
  if (quality == kQualities.end())
    return false;
  pitches->clear();
  for (int interval : quality->second)
    pitches->push_back(base + pc + interval);
  return true;
}

bool MusicScore::Load(const RecipeFile& recipe, const std::string& section, std::string* error) {
  *this = MusicScore();
  const auto fail = [&](const std::string& key, const std::string& problem) {
    *error = recipe.Where(section, key) + ": " + problem;
    return false;
  };
  TokenReader tempo(recipe.GetOr(section, "Tempo", "120"));
  tempo_ = tempo.Number("Tempo");
  if (!tempo.Ok() || tempo_ < 40 || tempo_ > 240)
    return fail("Tempo", "must be a number of beats a minute from 40 to 240");
  size_t used = 0;
  const std::string key = recipe.GetOr(section, "Key", "A");
  if (!PitchClass(key, &used, &keyRoot_) || used != key.size())
    return fail("Key", "'" + key + "' is not a note name such as A, C# or Bb");
  static const std::map<std::string, std::vector<int>> kScales = {
      {"major", {0, 2, 4, 5, 7, 9, 11}},
      {"minor", {0, 2, 3, 5, 7, 8, 10}},
      {"dorian", {0, 2, 3, 5, 7, 9, 10}},
      {"mixolydian", {0, 2, 4, 5, 7, 9, 10}},
      {"harmonic", {0, 2, 3, 5, 7, 8, 11}}};
  const std::string scale = recipe.GetOr(section, "Scale", "minor");
  if (kScales.count(scale) == 0)
    return fail("Scale", "'" + scale + "' is none of major, minor, dorian, mixolydian, harmonic");
  scale_ = kScales.at(scale);
  TokenReader lead(recipe.GetOr(section, "LeadSeed", "1") + " " +
                   recipe.GetOr(section, "LeadOctave", "4"));
  leadSeed_ = lead.Integer("LeadSeed");
  leadOctave_ = lead.Integer("LeadOctave");
  if (!lead.Ok() || leadOctave_ < 2 || leadOctave_ > 6)
    return fail("LeadSeed", "LeadSeed and LeadOctave must be whole numbers, octave 2 to 6");

  bass_ = Words(recipe.GetOr(section, "Bass", ". . . . . . . ."));
  arp_ = Words(recipe.GetOr(section, "Arp", ". . . . . . . . . . . . . . . ."));
  if (bass_.size() != 8)
    return fail("Bass", "needs eight steps");
  if (arp_.size() != 16)
    return fail("Arp", "needs sixteen steps");
  for (const std::string& step : bass_) {
    if (step != "." && step != "-" && (step.find_first_not_of("-0123456789") != std::string::npos))
      return fail("Bass", "'" + step + "' is neither a number of semitones, '.' nor '-'");
  }
  for (const std::string& step : arp_) {
    if (step != "." && step.find_first_not_of("0123456789") != std::string::npos)
      return fail("Arp", "'" + step + "' is neither a note number nor '.'");
  }
  const std::pair<const char*, std::string*> drums[] = {
      {"Kick", &kick_}, {"Snare", &snare_}, {"Hat", &hat_}};
  for (const auto& [name, pattern] : drums) {
    *pattern = recipe.GetOr(section, name, "................");
    if (pattern->size() != 16 || pattern->find_first_not_of("xo.") != std::string::npos)
      return fail(name, "needs sixteen steps of x, o or .");
  }

  std::map<unsigned, size_t> partOf;  // part number -> index in parts_
  for (const auto& [index, value] : recipe.List(section, "Part")) {
    Part part;
    part.chords = Words(value);
    std::vector<int> pitches;
    for (const std::string& chord : part.chords) {
      if (!ChordPitches(chord, 0, &pitches))
        return fail("Part_" + std::to_string(index), "'" + chord + "' is not a chord name");
    }
    if (part.chords.empty())
      return fail("Part_" + std::to_string(index), "needs at least one chord");
    const std::string layersKey = "Layers_" + std::to_string(index);
    for (const std::string& word : Words(recipe.GetOr(section, layersKey, "pad"))) {
      Instrument instrument;
      if (!ParseInstrument(word, &instrument))
        return fail(layersKey, "'" + word + "' is none of pad bass arp lead kick snare hat crash");
      part.layers.push_back(instrument);
    }
    partOf[index] = parts_.size();
    parts_.push_back(std::move(part));
  }
  if (parts_.empty())
    return fail("Part_0", "a piece needs at least one part");

  std::vector<unsigned> form;
  const auto formText = recipe.Get(section, "Form");
  if (formText) {
    TokenReader tokens(*formText);
    while (tokens.Ok() && !tokens.AtEnd()) {
      const int n = tokens.Integer("part number");
      if (tokens.Ok() && (n < 0 || partOf.count(n) == 0))
        tokens.Fail("there is no Part_" + std::to_string(n));
      form.push_back(static_cast<unsigned>(n));
    }
    if (!tokens.Ok())
      return fail("Form", tokens.Problem());
  } else {
    for (const auto& entry : partOf)
      form.push_back(entry.first);
  }
  for (unsigned number : form) {
    const Part& part = parts_[partOf[number]];
    ComposePart(part, static_cast<int>(number), bars_);
    bars_ += static_cast<int>(part.chords.size());
  }
  return true;
}

void MusicScore::ComposePart(const Part& part, int partIndex, int firstBar) {
  const double bar = BarSeconds();
  const double eighth = bar / 8;
  const double sixteenth = bar / 16;
  for (size_t b = 0; b < part.chords.size(); ++b) {
    const double t0 = (firstBar + static_cast<int>(b)) * bar;
    std::vector<int> chord;
    ChordPitches(part.chords[b], 0, &chord);
    if (Has(part.layers, Instrument::Pad)) {
      for (size_t i = 0; i < chord.size(); ++i) {
        int pitch = 48 + chord[i];
        while (pitch < kPadLow)
          pitch += 12;
        while (pitch > kPadHigh)
          pitch -= 12;
        const double pan = chord.size() > 1 ? -0.35 + 0.7 * i / (chord.size() - 1) : 0;
        notes_.push_back({t0, bar, pitch, 0.8, pan, Instrument::Pad});
      }
    }
    if (Has(part.layers, Instrument::Bass)) {
      for (size_t s = 0; s < bass_.size(); ++s) {
        if (bass_[s] == "." || bass_[s] == "-")
          continue;
        size_t held = 1;
        while (s + held < bass_.size() && bass_[s + held] == "-")
          ++held;
        const int pitch = kBassBase + chord[0] + std::stoi(bass_[s]);
        notes_.push_back({t0 + s * eighth, held * eighth * 0.9, pitch, 0.9, 0.0, Instrument::Bass});
      }
    }
    if (Has(part.layers, Instrument::Arp)) {
      std::vector<int> tones(chord);
      for (int& tone : tones)
        tone += kArpBase;
      for (size_t s = 0; s < arp_.size(); ++s) {
        if (arp_[s] == ".")
          continue;
        const size_t k = std::stoul(arp_[s]);
        const int pitch = tones[k % tones.size()] + 12 * static_cast<int>(k / tones.size());
        notes_.push_back({t0 + s * sixteenth, sixteenth * 0.9, pitch, s % 4 == 0 ? 0.9 : 0.7,
                          s % 2 == 0 ? -0.4 : 0.4, Instrument::Arp});
      }
    }
    const std::pair<Instrument, const std::string*> drums[] = {
        {Instrument::Kick, &kick_}, {Instrument::Snare, &snare_}, {Instrument::Hat, &hat_}};
    for (const auto& [instrument, pattern] : drums) {
      if (!Has(part.layers, instrument))
        continue;
      for (size_t s = 0; s < 16; ++s) {
        const double velocity = StepVelocity((*pattern)[s]);
        if (velocity > 0) {
          notes_.push_back({t0 + s * sixteenth, sixteenth, 0, velocity,
                            instrument == Instrument::Hat ? 0.25 : 0.0, instrument});
        }
      }
    }
    if (b == 0 && Has(part.layers, Instrument::Crash))
      notes_.push_back({t0, bar, 0, 0.8, -0.2, Instrument::Crash});
  }
  if (Has(part.layers, Instrument::Lead))
    ComposeLead(part, partIndex, firstBar);
}

void MusicScore::ComposeLead(const Part& part, int partIndex, int firstBar) {
  // Rhythms of a bar in eighths; the last bar of each four closes the phrase.
  static const std::vector<std::vector<int>> kRhythms = {
      {2, 2, 2, 2}, {3, 1, 2, 2}, {2, 1, 1, 2, 2}, {4, 2, 2}, {1, 1, 2, 4}, {3, 3, 2}, {2, 2, 4}};
  static const std::vector<std::vector<int>> kEndings = {{4, 4}, {2, 2, 4}, {2, 6}};
  SeededRandom random(static_cast<uint32_t>(leadSeed_ * 1000 + partIndex));
  const int centre = 12 * (leadOctave_ + 1) + keyRoot_;
  std::vector<int> scalePitches;
  for (int p = centre - 7; p <= centre + 10; ++p) {
    if (std::find(scale_.begin(), scale_.end(), ((p - keyRoot_) % 12 + 12) % 12) != scale_.end())
      scalePitches.push_back(p);
  }
  const auto nearestIndex = [&](int pitch) {
    size_t best = 0;
    for (size_t i = 1; i < scalePitches.size(); ++i) {
      if (std::abs(scalePitches[i] - pitch) < std::abs(scalePitches[best] - pitch))
        best = i;
    }
    return best;
  };
  size_t current = nearestIndex(centre);
  const double eighth = BarSeconds() / 8;
  std::vector<std::vector<int>> rhythms;
  for (size_t b = 0; b < part.chords.size(); ++b) {
    const bool closing = b % 4 == 3 || b + 1 == part.chords.size();
    if (closing)
      rhythms.push_back(kEndings[random.Below(static_cast<int>(kEndings.size()))]);
    else if (b % 4 == 2)
      rhythms.push_back(rhythms[b - 2]);
    else
      rhythms.push_back(kRhythms[random.Below(static_cast<int>(kRhythms.size()))]);
  }
  for (size_t b = 0; b < part.chords.size(); ++b) {
    std::vector<int> chord;
    ChordPitches(part.chords[b], 0, &chord);
    const auto samePitchClass = [](int a, int b) { return ((a - b) % 12 + 12) % 12 == 0; };
    const auto inChord = [&](int pitch) {
      return std::any_of(chord.begin(), chord.end(),
                         [&](int tone) { return samePitchClass(pitch, tone); });
    };
    // The scale note nearest the current one among those accept() takes; current if none.
    const auto nearestWhere = [&](auto accept) {
      size_t best = current;
      int distance = 1 << 30;
      for (size_t i = 0; i < scalePitches.size(); ++i) {
        const int d = std::abs(int(i) - int(current));
        if (accept(scalePitches[i]) && d < distance) {
          best = i;
          distance = d;
        }
      }
      return best;
    };
    const bool closing = b % 4 == 3 || b + 1 == part.chords.size();
    int position = 0;
    for (size_t n = 0; n < rhythms[b].size(); ++n) {
      const int length = rhythms[b][n];
      const bool last = closing && n + 1 == rhythms[b].size();
      if (last) {
        // Phrases come home to the chord's root.
        current = nearestWhere([&](int pitch) { return samePitchClass(pitch, chord[0]); });
      } else if (position % 4 == 0) {
        // Strong beats take a chord note: the nearest, now and then the next nearest.
        const size_t nearest = nearestWhere(inChord);
        if (random.Below(3) == 0) {
          const size_t other = nearestWhere(
              [&](int pitch) { return inChord(pitch) && pitch != scalePitches[nearest]; });
          current = other;
        } else {
          current = nearest;
        }
      } else {
        static const int kSteps[] = {-2, -1, -1, 1, 1, 2};
        const int step = kSteps[random.Below(6)];
        current =
            static_cast<size_t>(std::clamp(int(current) + step, 0, int(scalePitches.size()) - 1));
      }
      const bool rest = !closing && n > 0 && random.Below(10) == 0;
      if (!rest) {
        const double start = (firstBar + static_cast<int>(b)) * BarSeconds() + position * eighth;
        notes_.push_back({start, length * eighth * 0.92, scalePitches[current],
                          position % 4 == 0 ? 0.95 : 0.75, 0.1, Instrument::Lead});
      }
      position += length;
    }
  }
}

}  // namespace quarn::tools
