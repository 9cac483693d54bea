#include "WaveSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "OnePoleFilter.h"
#include "TokenReader.h"
#include "platform/MediaEncoder.h"

namespace quarn::tools {

namespace {
// Every layer fades over its last few milliseconds, so nothing ends in a click.
constexpr double kEdgeFade = 0.004;
// The stretch of a loop's end laid over its start.
constexpr double kLoopBlend = 0.08;

bool ReadBool(const RecipeFile& recipe, const std::string& section, const char* key, bool* value,
              std::string* error) {
  const std::string text = recipe.GetOr(section, key, *value ? "true" : "false");
  if (text != "true" && text != "false") {
    *error = recipe.Where(section, key) + ": must be true or false";
    return false;
  }
  *value = text == "true";
  return true;
}

bool ReadNumber(const RecipeFile& recipe, const std::string& section, const char* key,
                double* value, std::string* error) {
  const auto text = recipe.Get(section, key);
  if (!text)
    return true;
  TokenReader tokens(*text);
  *value = tokens.Number(key);
  if (!tokens.Ok() || !tokens.AtEnd()) {
    *error = recipe.Where(section, key) + ": must be one number";
    return false;
  }
  return true;
}
}  // namespace

bool WritePcm(const std::string& path, bool vorbis, int rate, int channels,
              const std::vector<float>& samples, std::string* error) {
  std::vector<int16_t> pcm(samples.size());
  for (size_t i = 0; i < samples.size(); ++i)
    pcm[i] = static_cast<int16_t>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
  platform::MediaEncoder encoder;
  const auto container =
      vorbis ? platform::MediaEncoder::Container::Ogg : platform::MediaEncoder::Container::Wav;
  std::string problem;
  if (!encoder.Open(path, container, {rate, channels}, {}, &problem)) {
    *error = path + ": " + problem;
    return false;
  }
  const uint32_t frames = static_cast<uint32_t>(pcm.size() / channels);
  if (!encoder.WriteAudio(pcm.data(), frames) || !encoder.Finish()) {
    *error = path + ": the encoder failed";
    return false;
  }
  return true;
}

bool WaveSynth::Load(const RecipeFile& recipe, const std::string& section, std::string* error) {
  *this = WaveSynth();
  double rate = rate_, seed = seed_;
  double length = -1;
  if (!ReadNumber(recipe, section, "Rate", &rate, error) ||
      !ReadNumber(recipe, section, "Length", &length, error) ||
      !ReadNumber(recipe, section, "Gain", &gain_, error) ||
      !ReadNumber(recipe, section, "Drive", &drive_, error) ||
      !ReadNumber(recipe, section, "Seed", &seed, error) ||
      !ReadBool(recipe, section, "Loop", &loop_, error)) {
    return false;
  }
  if (rate < 8000 || rate > 96000) {
    *error = recipe.Where(section, "Rate") + ": must lie between 8000 and 96000";
    return false;
  }
  rate_ = static_cast<int>(rate);
  seed_ = static_cast<unsigned>(seed);
  double end = 0;
  for (const auto& [index, value] : recipe.List(section, "Layer")) {
    TokenReader t(value);
    Layer layer;
    const std::string kind = t.Word("kind");
    if (t.Ok() && !ParseWaveform(kind, &layer.waveform))
      t.Fail("kind '" + kind + "' is none of sine, triangle, square, saw, noise");
    layer.start = t.Number("start");
    layer.length = t.Number("length");
    layer.from = t.Number("first frequency");
    layer.to = t.Number("last frequency");
    layer.amplitude = t.Number("amplitude");
    layer.attack = t.Number("attack");
    layer.decay = t.Number("decay");
    if (!t.AtEnd()) {
      layer.vibratoHz = t.Number("vibrato rate");
      layer.vibratoCents = t.Number("vibrato depth");
    }
    if (t.Ok() && !t.AtEnd())
      t.Fail("more words than a layer takes");
    if (t.Ok() && (layer.start < 0 || layer.length <= 0 || layer.from <= 0 || layer.to <= 0 ||
                   layer.attack < 0 || layer.decay < 0)) {
      t.Fail("times and frequencies must be positive");
    }
    if (!t.Ok()) {
      *error = recipe.Where(section, "Layer_" + std::to_string(index)) + ": " + t.Problem();
      return false;
    }
    end = std::max(end, layer.start + layer.length);
    layers_.push_back(layer);
  }
  if (layers_.empty()) {
    *error = recipe.Where(section, "") + ": a sound needs at least one Layer_N";
    return false;
  }
  length_ = length > 0 ? length : end;
  if (loop_) {
    // A loop plays every layer all the time; tones are tuned to whole cycles of the loop.
    for (Layer& layer : layers_) {
      layer.start = 0;
      layer.length = length_ * (1 + kLoopBlend);
      if (layer.waveform != Waveform::Noise) {
        layer.from = std::max(1.0, std::round(layer.from * length_)) / length_;
        layer.to = std::max(1.0, std::round(layer.to * length_)) / length_;
      }
      if (layer.vibratoHz > 0)
        layer.vibratoHz = std::max(1.0, std::round(layer.vibratoHz * length_)) / length_;
    }
  }
  return true;
}

void WaveSynth::RenderLayer(const Layer& layer, size_t index, int rate,
                            std::vector<double>* out) const {
  Oscillator oscillator(layer.waveform, seed_ * 7919u + static_cast<uint32_t>(index));
  Oscillator vibrato(Waveform::Sine);
  OnePoleFilter lowPass;
  OnePoleFilter lowPass2;
  const size_t first = static_cast<size_t>(layer.start * rate);
  const size_t count = static_cast<size_t>(layer.length * rate);
  const double ratio = layer.to / layer.from;
  for (size_t i = 0; i < count && first + i < out->size(); ++i) {
    const double t = double(i) / rate;
    const double progress = layer.length > 0 ? t / layer.length : 0;
    double hertz = layer.from * std::pow(ratio, progress);
    double envelope = layer.amplitude;
    if (!loop_) {
      if (layer.attack > 0 && t < layer.attack)
        envelope *= t / layer.attack;
      if (layer.decay > 0)
        envelope *= std::exp(-t / layer.decay);
      envelope *= std::clamp((layer.length - t) / kEdgeFade, 0.0, 1.0);
    }
    double sample = 0.0;
    if (layer.waveform == Waveform::Noise) {
      // Twice through the filter: 12 dB per octave gives noise a body.
      sample = lowPass2.Next(lowPass.Next(oscillator.Next(hertz, rate), hertz, rate), hertz, rate);
      // Keeps the loudness of narrow noise close to that of wide noise.
      sample *= std::clamp(std::sqrt(rate / (3.0 * hertz)), 1.0, 12.0);
    } else {
      if (layer.vibratoHz > 0)
        hertz *= std::pow(2.0, vibrato.Next(layer.vibratoHz, rate) * layer.vibratoCents / 1200);
      sample = oscillator.Next(hertz, rate);
    }
    (*out)[first + i] += sample * envelope;
  }
}

std::vector<float> WaveSynth::Render(int rate) const {
  if (rate <= 0)
    rate = rate_;
  const size_t frames = static_cast<size_t>(length_ * rate);
  const size_t blend = loop_ ? static_cast<size_t>(length_ * kLoopBlend * rate) : 0;
  std::vector<double> mix(frames + blend);
  for (size_t i = 0; i < layers_.size(); ++i)
    RenderLayer(layers_[i], i, rate, &mix);
  // The loop's start becomes its continuation past the end, fading into the start proper.
  for (size_t i = 0; i < blend; ++i) {
    const double w = double(i) / blend;
    mix[i] = mix[i] * w + mix[frames + i] * (1.0 - w);
  }
  std::vector<float> out(frames);
  for (size_t i = 0; i < frames; ++i) {
    double x = mix[i] * gain_;
    if (drive_ > 0)
      x = std::tanh(x * (1 + drive_)) / std::tanh(1 + drive_);
    out[i] = static_cast<float>(std::clamp(x, -1.0, 1.0));
  }
  return out;
}

bool WaveSynth::Write(const std::string& path, std::string* error) const {
  return WritePcm(path, false, rate_, 1, Render(), error);
}

}  // namespace quarn::tools
