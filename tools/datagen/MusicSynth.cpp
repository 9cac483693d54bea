#include "MusicSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "OnePoleFilter.h"
#include "Oscillator.h"
#include "TokenReader.h"
#include "WaveSynth.h"

namespace quarn::tools {

namespace {
// How long past its end each instrument keeps sounding (seconds).
double Release(Instrument instrument) {
  switch (instrument) {
    case Instrument::Pad:
      return 0.7;
    case Instrument::Lead:
      return 0.2;
    case Instrument::Crash:
      return 2.5;
    case Instrument::Kick:
      return 0.5;
    case Instrument::Snare:
      return 0.35;
    default:
      return 0.1;
  }
}

double Frequency(int pitch) {
  return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// Ramps up over attack and down over release after length.
double Envelope(double t, double length, double attack, double release) {
  double e = attack > 0 ? std::min(t / attack, 1.0) : 1.0;
  if (t > length)
    e *= std::max(0.0, 1.0 - (t - length) / release);
  return e;
}

constexpr double kEchoFeedback = 0.38;
constexpr double kEchoLevel = 0.32;
// Silence added after a piece that does not loop, for its last notes and echoes.
constexpr double kTail = 2.5;
}  // namespace

struct MusicSynth::Buffers {
  size_t frames = 0;
  bool wrap = false;
  std::vector<double> left, right, send;

  void Add(size_t index, double l, double r, double echo) {
    if (wrap)
      index %= frames;
    else if (index >= frames)
      return;
    left[index] += l;
    right[index] += r;
    send[index] += echo;
  }
};

bool MusicSynth::Load(const RecipeFile& recipe, const std::string& section, std::string* error) {
  *this = MusicSynth();
  if (!score_.Load(recipe, section, error))
    return false;
  const std::string loop = recipe.GetOr(section, "Loop", "true");
  if (loop != "true" && loop != "false") {
    *error = recipe.Where(section, "Loop") + ": must be true or false";
    return false;
  }
  loop_ = loop == "true";
  const char* keys[] = {"FadeOut", "Gain",     "PadGain", "BassGain",
                        "ArpGain", "LeadGain", "DrumGain"};
  double* values[] = {&fadeOut_,  &gain_,     &gains_[0], &gains_[1],
                      &gains_[2], &gains_[3], &gains_[4]};
  for (size_t i = 0; i < std::size(keys); ++i) {
    const auto text = recipe.Get(section, keys[i]);
    if (!text)
      continue;
    TokenReader tokens(*text);
    *values[i] = tokens.Number(keys[i]);
    if (!tokens.Ok() || !tokens.AtEnd() || *values[i] < 0) {
      *error = recipe.Where(section, keys[i]) + ": must be one number, 0 or more";
      return false;
    }
  }
  return true;
}

void MusicSynth::RenderNote(const Note& note, size_t index, Buffers* out) const {
  const double rate = kRate;
  const size_t first = static_cast<size_t>(std::lround(note.start * rate));
  const size_t count = static_cast<size_t>((note.length + Release(note.instrument)) * rate);
  const double f = Frequency(note.pitch);
  const double panLeft = std::min(1.0, 1.0 - note.pan);
  const double panRight = std::min(1.0, 1.0 + note.pan);
  const uint32_t seed = static_cast<uint32_t>(index * 2654435761u + 12345u);
  Oscillator a(Waveform::Saw, seed, 0.0), b(Waveform::Saw, seed + 1, 0.37);
  Oscillator square(Waveform::Square, seed, 0.0), triangle(Waveform::Triangle, seed, 0.0);
  Oscillator noise(Waveform::Noise, seed);
  OnePoleFilter f1, f2, f3, f4;
  const double v = note.velocity;
  for (size_t i = 0; i < count; ++i) {
    const double t = i / rate;
    double l = 0, r = 0, echo = 0;
    switch (note.instrument) {
      case Instrument::Pad: {
        const double env =
            Envelope(t, note.length, 0.3, Release(note.instrument)) * 0.075 * v * gains_[0];
        const double sa = f2.Next(f1.Next(a.Next(f * 1.004, rate), 1500, rate), 1500, rate);
        const double sb = f4.Next(f3.Next(b.Next(f * 0.996, rate), 1500, rate), 1500, rate);
        l = (sa * 0.8 + sb * 0.2) * env;
        r = (sa * 0.2 + sb * 0.8) * env;
        echo = (sa + sb) * env * 0.15;
        break;
      }
      case Instrument::Bass: {
        const double env = Envelope(t, note.length, 0.004, 0.06) *
                           (0.7 + 0.3 * std::exp(-t / 0.15)) * 0.3 * v * gains_[1];
        const double cutoff = 350 + 900 * std::exp(-t / 0.08);
        const double raw = a.Next(f, rate) * 0.6 + square.Next(f, rate) * 0.4;
        l = r = f2.Next(f1.Next(raw, cutoff, rate), cutoff, rate) * env;
        break;
      }
      case Instrument::Arp: {
        const double env =
            Envelope(t, note.length, 0.003, 0.03) * std::exp(-t / 0.12) * 0.13 * v * gains_[2];
        const double raw = square.Next(f, rate) * 0.4 + triangle.Next(f, rate) * 0.6;
        const double s = f1.Next(raw, 2800, rate) * env;
        l = s;
        r = s;
        echo = s * 0.45;
        break;
      }
      case Instrument::Lead: {
        const double vibrato = t > 0.25 ? std::sin(2 * std::numbers::pi * 5.5 * t) * 0.006 *
                                              std::min(1.0, (t - 0.25) * 4)
                                        : 0.0;
        const double env = Envelope(t, note.length, 0.02, Release(note.instrument)) *
                           (0.85 + 0.15 * std::exp(-t / 0.3)) * 0.12 * v * gains_[3];
        const double fv = f * (1 + vibrato);
        const double raw =
            a.Next(fv, rate) * 0.55 + square.Next(fv, rate) * 0.3 + triangle.Next(fv, rate) * 0.5;
        const double s = f2.Next(f1.Next(raw, 2600, rate), 3200, rate) * env;
        l = s;
        r = s;
        echo = s * 0.4;
        break;
      }
      case Instrument::Kick: {
        // A sine falling from 155 to 45 Hz: its phase is the integral of that glide.
        const double phase = 45 * t + 110 * 0.04 * (1 - std::exp(-t / 0.04));
        const double s = std::sin(2 * std::numbers::pi * phase) * std::exp(-t / 0.26) * 0.7 +
                         noise.Next(0, rate) * std::exp(-t / 0.004) * 0.15;
        l = r = s * v * gains_[4];
        break;
      }
      case Instrument::Snare: {
        const double n = noise.Next(0, rate);
        const double body = f2.Next(n - f1.Next(n, 1200, rate), 7000, rate);
        const double s = body * std::exp(-t / 0.11) * 0.5 +
                         std::sin(2 * std::numbers::pi * 185 * t) * std::exp(-t / 0.06) * 0.3;
        l = r = s * v * gains_[4];
        echo = s * v * gains_[4] * 0.1;
        break;
      }
      case Instrument::Hat: {
        const double n = noise.Next(0, rate);
        const double s = (n - f1.Next(n, 7000, rate)) * std::exp(-t / 0.03) * 0.2;
        l = r = s * v * gains_[4];
        break;
      }
      case Instrument::Crash: {
        const double n = noise.Next(0, rate);
        const double s = (n - f1.Next(n, 4000, rate)) * std::exp(-t / 0.9) * 0.16;
        l = r = s * v * gains_[4];
        break;
      }
    }
    out->Add(first + i, l * panLeft, r * panRight, echo);
  }
}

std::vector<float> MusicSynth::Render() const {
  Buffers buffers;
  const size_t length = static_cast<size_t>(std::lround(score_.Seconds() * kRate));
  buffers.frames = loop_ ? length : length + static_cast<size_t>(kTail * kRate);
  buffers.wrap = loop_;
  buffers.left.assign(buffers.frames, 0.0);
  buffers.right.assign(buffers.frames, 0.0);
  buffers.send.assign(buffers.frames, 0.0);
  const auto& notes = score_.Notes();
  for (size_t i = 0; i < notes.size(); ++i)
    RenderNote(notes[i], i, &buffers);

  // Ping-pong echo, a dotted eighth apart. Round a loop it runs twice, so that the echoes of
  // the end have reached the start by the second pass.
  const size_t n = buffers.frames;
  const size_t delay = static_cast<size_t>(0.75 * 60.0 / score_.Tempo() * kRate);
  std::vector<double> echoLeft(n, 0.0), echoRight(n, 0.0);
  if (delay > 0 && delay < n) {
    for (int pass = 0; pass < (loop_ ? 2 : 1); ++pass) {
      for (size_t i = 0; i < n; ++i) {
        if (!loop_ && i < delay)
          continue;
        const size_t j = (i + n - delay) % n;
        echoLeft[i] = buffers.send[j] + kEchoFeedback * echoRight[j];
        echoRight[i] = kEchoFeedback * echoLeft[j];
      }
    }
  }
  std::vector<float> out(n * 2);
  for (size_t i = 0; i < n; ++i) {
    double fade = 1.0;
    if (!loop_ && fadeOut_ > 0) {
      const double t = double(i) / kRate;
      fade = std::clamp((score_.Seconds() - t) / fadeOut_, 0.0, 1.0);
      if (t >= score_.Seconds())
        fade = 0.0;
    }
    const double l = (buffers.left[i] + echoLeft[i] * kEchoLevel) * gain_ * fade;
    const double r = (buffers.right[i] + echoRight[i] * kEchoLevel) * gain_ * fade;
    // Soft saturation keeps the loudest moments from clipping hard.
    out[i * 2] = static_cast<float>(std::tanh(l * 1.1) / std::tanh(1.1));
    out[i * 2 + 1] = static_cast<float>(std::tanh(r * 1.1) / std::tanh(1.1));
  }
  return out;
}

bool MusicSynth::Write(const std::string& path, std::string* error) const {
  return WritePcm(path, true, kRate, 2, Render(), error);
}

}  // namespace quarn::tools
