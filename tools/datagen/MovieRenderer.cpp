#include "MovieRenderer.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "MusicSynth.h"
#include "NoiseField.h"
#include "SeededRandom.h"
#include "TokenReader.h"
#include "WaveSynth.h"
#include "platform/MediaEncoder.h"

namespace quarn::tools {

namespace {
constexpr int kSoundRate = MusicSynth::kRate;
// Captions fade in and out over this long.
constexpr double kCaptionFade = 0.4;
// A vapour trail shows where an aircraft was over this much of the past.
constexpr double kTrailSeconds = 0.7;
constexpr int kTrailPuffs = 14;

double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

double SmoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

struct Layer {
  Canvas picture{0, 0};
  double y = 0;
  double speed = 0;
};

// A strip of drifting clouds, drawn once and long enough to slide for the whole shot.
Canvas CloudStrip(int width, int height, int seed, double scale, double cover,
                  platform::Argb color) {
  Canvas strip(width, height, 0);
  const NoiseField noise(static_cast<uint32_t>(seed));
  for (int row = 0; row < height; ++row) {
    const double edge = std::sin(3.14159265358979 * (row + 0.5) / height);
    for (int col = 0; col < width; ++col) {
      const double n = noise.Fractal(col / scale, row / (scale * 0.45), 5);
      const double a = SmoothStep(cover, cover + 0.22, n) * edge;
      if (a > 0.002)
        strip.Blend(col, row, color, a);
    }
  }
  return strip;
}

Canvas HillStrip(int width, int height, int seed, double scale, platform::Argb color) {
  Canvas strip(width, height, 0);
  const NoiseField noise(static_cast<uint32_t>(seed));
  for (int col = 0; col < width; ++col) {
    const double top = height * (1.0 - noise.Fractal(col / scale, 0.5, 4));
    for (int row = std::max(int(top), 0); row < height; ++row)
      strip.Blend(col, row, color, std::clamp(row + 1 - top, 0.0, 1.0));
  }
  return strip;
}
}  // namespace

struct MovieRenderer::Shot {
  double length = 0, fadeIn = 0, fadeOut = 0;
  platform::Argb skyTop[2] = {0xFF000000, 0xFF000000};
  platform::Argb skyBottom[2] = {0xFF000000, 0xFF000000};
  int starSeed = 0, starCount = 0;
  double starAlpha[2] = {0, 0};
  bool sea = false;
  double seaY = 0;
  platform::Argb seaColors[2] = {0, 0};
  bool sun = false;
  double sunX = 0, sunY = 0, sunRadius = 0, sunAlpha[2] = {0, 0};
  platform::Argb sunColor = 0;
  std::vector<Layer> layers;  // clouds and hills, back to front
  struct Sprite {
    std::string shape;
    platform::Argb color = 0, trail = 0;
    double t0 = 0, t1 = 0;
    ShapePose from, to;
  };
  std::vector<Sprite> sprites;
  struct Flash {
    double time = 0, x = 0, y = 0, radius = 0, duration = 0;
    platform::Argb color = 0;
  };
  std::vector<Flash> flashes;
  struct Caption {
    double t0 = 0, t1 = 0, x = 0, y = 0;
    TextStyle style;
    std::string text;
  };
  std::vector<Caption> captions;
};

MovieRenderer::MovieRenderer(FontRenderer* fonts, const ShapeBook* shapes)
    : fonts_(fonts), shapes_(shapes) {}

MovieRenderer::~MovieRenderer() = default;

double MovieRenderer::Seconds() const {
  double total = 0;
  for (const auto& shot : shots_)
    total += shot->length;
  return total;
}

int MovieRenderer::Frames() const {
  return static_cast<int>(std::lround(Seconds() * fps_));
}

bool MovieRenderer::Load(const RecipeFile& movie, const std::string& section,
                         const RecipeFile& music, const RecipeFile& sounds, std::string* error) {
  shots_.clear();
  effects_.clear();
  music_.clear();
  TokenReader size(movie.GetOr(section, "Width", "640") + " " +
                   movie.GetOr(section, "Height", "480") + " " + movie.GetOr(section, "Fps", "24"));
  width_ = size.Integer("Width");
  height_ = size.Integer("Height");
  fps_ = size.Integer("Fps");
  if (!size.Ok() || width_ < 16 || height_ < 16 || width_ > 640 || height_ > 480 ||
      width_ % 16 != 0 || height_ % 16 != 0 || fps_ < 5 || fps_ > 60) {
    *error = movie.Where(section, "Width") +
             ": Width and Height must be multiples of 16 up to 640 x 480, Fps 5 to 60";
    return false;
  }
  for (const auto& [index, name] : movie.List(section, "Shot")) {
    auto shot = std::make_unique<Shot>();
    if (!movie.HasSection(name)) {
      *error = movie.Where(section, "Shot_" + std::to_string(index)) + ": no section " + name;
      return false;
    }
    if (!LoadShot(movie, name, shot.get(), error))
      return false;
    shots_.push_back(std::move(shot));
  }
  if (shots_.empty()) {
    *error = movie.Where(section, "") + ": a movie needs at least one Shot_N";
    return false;
  }
  const std::string musicName = movie.GetOr(section, "Music", "");
  if (!musicName.empty()) {
    MusicSynth synth;
    if (!music.HasSection(musicName)) {
      *error = movie.Where(section, "Music") + ": " + music.Name() + " has no " + musicName;
      return false;
    }
    if (!synth.Load(music, musicName, error))
      return false;
    TokenReader gain(movie.GetOr(section, "MusicGain", "1"));
    const double g = gain.Number("MusicGain");
    music_ = synth.Render();
    for (float& sample : music_)
      sample = static_cast<float>(sample * g);
  }
  for (const auto& [index, value] : movie.List(section, "Sound")) {
    TokenReader t(value);
    Effect effect;
    effect.time = t.Number("time");
    const std::string name = t.Word("sound name");
    effect.gain = t.Number("gain");
    effect.pan = t.AtEnd() ? 0.0 : t.Number("pan");
    WaveSynth synth;
    std::string problem;
    if (t.Ok() && !sounds.HasSection(name))
      t.Fail(sounds.Name() + " has no " + name);
    if (t.Ok() && !synth.Load(sounds, name, &problem))
      t.Fail(problem);
    if (!t.Ok()) {
      *error = movie.Where(section, "Sound_" + std::to_string(index)) + ": " + t.Problem();
      return false;
    }
    effect.samples = synth.Render(kSoundRate);
    effects_.push_back(std::move(effect));
  }
  return true;
}

bool MovieRenderer::LoadShot(const RecipeFile& movie, const std::string& section, Shot* shot,
                             std::string* error) {
  std::string key;
  std::optional<TokenReader> t;
  // Reads the value of key, if present, into t; false when the key is absent.
  const auto open = [&](const std::string& name) {
    key = name;
    const auto value = movie.Get(section, name);
    if (!value)
      return false;
    t.emplace(*value);
    return true;
  };
  const auto check = [&]() {
    if (t->Ok() && !t->AtEnd())
      t->Fail("more words than the key takes");
    if (!t->Ok())
      *error = movie.Where(section, key) + ": " + t->Problem();
    return t->Ok();
  };
  if (!open("Length")) {
    *error = movie.Where(section, "Length") + ": a shot needs a length";
    return false;
  }
  shot->length = t->Number("length");
  if (t->Ok() && shot->length <= 0)
    t->Fail("must be above 0");
  if (!check())
    return false;
  for (const char* name : {"FadeIn", "FadeOut"}) {
    if (open(name)) {
      (name[4] == 'I' ? shot->fadeIn : shot->fadeOut) = t->Number(name);
      if (!check())
        return false;
    }
  }
  for (const char* name : {"SkyTop", "SkyBottom"}) {
    if (open(name)) {
      platform::Argb* colors = name[3] == 'T' ? shot->skyTop : shot->skyBottom;
      colors[0] = t->Color("first colour");
      colors[1] = t->Color("last colour");
      if (!check())
        return false;
    }
  }
  if (open("Stars")) {
    shot->starSeed = t->Integer("seed");
    shot->starCount = t->Integer("count");
    shot->starAlpha[0] = t->Number("first alpha");
    shot->starAlpha[1] = t->Number("last alpha");
    if (!check())
      return false;
  }
  if (open("Sun")) {
    shot->sun = true;
    shot->sunX = t->Number("x");
    shot->sunY = t->Number("y");
    shot->sunRadius = t->Number("radius");
    shot->sunColor = t->Color("colour");
    shot->sunAlpha[0] = t->Number("first alpha");
    shot->sunAlpha[1] = t->Number("last alpha");
    if (!check())
      return false;
  }
  if (open("Sea")) {
    shot->sea = true;
    shot->seaY = t->Number("y");
    shot->seaColors[0] = t->Color("top colour");
    shot->seaColors[1] = t->Color("bottom colour");
    if (!check())
      return false;
  }
  for (const char* name : {"Hills", "Clouds"}) {
    if (!open(name))
      continue;
    const bool clouds = name[0] == 'C';
    const int seed = t->Integer("seed");
    Layer layer;
    layer.y = t->Number("y");
    const double height = t->Number("height");
    const double scale = t->Number("scale");
    const double cover = clouds ? t->Number("cover") : 0.0;
    layer.speed = t->Number("speed");
    const platform::Argb color = t->Color("colour");
    if (t->Ok() && (height < 1 || height > 2048 || scale <= 0 || layer.speed < 0))
      t->Fail("height, scale and speed must be positive");
    if (!check())
      return false;
    const int width = width_ + static_cast<int>(std::ceil(layer.speed * shot->length)) + 2;
    layer.picture = clouds ? CloudStrip(width, int(height), seed, scale, cover, color)
                           : HillStrip(width, int(height), seed, scale, color);
    shot->layers.push_back(std::move(layer));
  }
  for (const auto& [index, value] : movie.List(section, "Sprite")) {
    key = "Sprite_" + std::to_string(index);
    t.emplace(value);
    Shot::Sprite sprite;
    sprite.shape = t->Word("shape");
    sprite.color = t->Color("colour");
    sprite.t0 = t->Number("start");
    sprite.t1 = t->Number("end");
    for (ShapePose* pose : {&sprite.from, &sprite.to}) {
      pose->x = t->Number("x");
      pose->y = t->Number("y");
      pose->scale = t->Number("scale");
      pose->angle = t->Number("angle");
    }
    if (!t->AtEnd())
      sprite.trail = t->Color("trail colour");
    if (t->Ok() && !shapes_->Has(sprite.shape))
      t->Fail("no shape named '" + sprite.shape + "'");
    if (t->Ok() && sprite.t1 <= sprite.t0)
      t->Fail("the end must come after the start");
    if (!check())
      return false;
    shot->sprites.push_back(sprite);
  }
  for (const auto& [index, value] : movie.List(section, "Flash")) {
    key = "Flash_" + std::to_string(index);
    t.emplace(value);
    Shot::Flash flash;
    flash.time = t->Number("time");
    flash.x = t->Number("x");
    flash.y = t->Number("y");
    flash.radius = t->Number("radius");
    flash.color = t->Color("colour");
    flash.duration = t->Number("duration");
    if (t->Ok() && flash.duration <= 0)
      t->Fail("duration must be above 0");
    if (!check())
      return false;
    shot->flashes.push_back(flash);
  }
  for (const auto& [index, value] : movie.List(section, "Caption")) {
    key = "Caption_" + std::to_string(index);
    t.emplace(value);
    Shot::Caption caption;
    caption.t0 = t->Number("start");
    caption.t1 = t->Number("end");
    caption.x = t->Number("x");
    caption.y = t->Number("y");
    caption.style.size = t->Integer("size");
    const std::string font = t->Word("font");
    caption.style.font = font == "bold"   ? FontStyle::Bold
                         : font == "mono" ? FontStyle::Mono
                                          : FontStyle::Sans;
    if (t->Ok() && font != "bold" && font != "mono" && font != "sans")
      t->Fail("font '" + font + "' is none of sans, bold, mono");
    caption.style.color = t->Color("colour");
    caption.style.align = TextAlign::Center;
    caption.style.outline = 0xC0000000;
    caption.text = t->Rest("text");
    if (!check())
      return false;
    shot->captions.push_back(caption);
  }
  return true;
}

void MovieRenderer::DrawShot(const Shot& shot, double t, Canvas* canvas) {
  const double p = std::clamp(t / shot.length, 0.0, 1.0);
  canvas->Gradient(0, 0, width_, height_, LerpColor(shot.skyTop[0], shot.skyTop[1], p),
                   LerpColor(shot.skyBottom[0], shot.skyBottom[1], p), true);
  const double starAlpha = Lerp(shot.starAlpha[0], shot.starAlpha[1], p);
  if (shot.starCount > 0 && starAlpha > 0) {
    SeededRandom random(static_cast<uint32_t>(shot.starSeed));
    for (int i = 0; i < shot.starCount; ++i) {
      const double x = random.Unit() * width_;
      const double y = random.Unit() * height_ * 0.7;
      const double brightness = 0.3 + 0.7 * random.Unit();
      canvas->Blend(int(x), int(y), 0xFFFFFFFF, brightness * starAlpha);
    }
  }
  if (shot.sun) {
    const double alpha = Lerp(shot.sunAlpha[0], shot.sunAlpha[1], p);
    canvas->Glow(shot.sunX, shot.sunY, shot.sunRadius * 4, WithAlpha(shot.sunColor, alpha * 0.5));
    canvas->FillCircle(shot.sunX, shot.sunY, shot.sunRadius, WithAlpha(shot.sunColor, alpha));
  }
  for (const Layer& layer : shot.layers)
    canvas->Draw(layer.picture, -static_cast<int>(std::lround(layer.speed * t)), int(layer.y));
  if (shot.sea) {
    canvas->Gradient(0, int(shot.seaY), width_, height_ - int(shot.seaY), shot.seaColors[0],
                     shot.seaColors[1], true);
  }
  for (const Shot::Sprite& sprite : shot.sprites) {
    if (t < sprite.t0 || t > sprite.t1)
      continue;
    const auto poseAt = [&](double when) {
      const double k = std::clamp((when - sprite.t0) / (sprite.t1 - sprite.t0), 0.0, 1.0);
      return ShapePose{Lerp(sprite.from.x, sprite.to.x, k), Lerp(sprite.from.y, sprite.to.y, k),
                       Lerp(sprite.from.scale, sprite.to.scale, k),
                       Lerp(sprite.from.angle, sprite.to.angle, k)};
    };
    if ((sprite.trail >> 24) != 0) {
      for (int i = kTrailPuffs; i >= 1; --i) {
        const double when = t - kTrailSeconds * i / kTrailPuffs;
        if (when < sprite.t0)
          continue;
        const ShapePose puff = poseAt(when);
        const double fade = 1.0 - double(i) / (kTrailPuffs + 1);
        canvas->FillCircle(puff.x, puff.y, std::max(1.0, puff.scale * 0.12 * (2 - fade)),
                           WithAlpha(sprite.trail, fade * 0.6));
      }
    }
    shapes_->Draw(canvas, sprite.shape, poseAt(t), sprite.color);
  }
  for (const Shot::Flash& flash : shot.flashes) {
    const double k = (t - flash.time) / flash.duration;
    if (k < 0 || k > 1)
      continue;
    canvas->Glow(flash.x, flash.y, flash.radius * (0.6 + k), WithAlpha(flash.color, 1 - k));
    canvas->FillCircle(flash.x, flash.y, flash.radius * 0.25 * (1 - k),
                       WithAlpha(0xFFFFFFF0, 1 - k));
  }
  for (const Shot::Caption& caption : shot.captions) {
    const double alpha = std::min(SmoothStep(caption.t0, caption.t0 + kCaptionFade, t),
                                  1.0 - SmoothStep(caption.t1 - kCaptionFade, caption.t1, t));
    if (alpha <= 0)
      continue;
    TextStyle style = caption.style;
    style.color = WithAlpha(style.color, alpha);
    style.outline = WithAlpha(style.outline, alpha);
    fonts_->Draw(canvas, caption.x, caption.y, caption.text, style);
  }
  double black = 0;
  if (shot.fadeIn > 0 && t < shot.fadeIn)
    black = 1 - t / shot.fadeIn;
  if (shot.fadeOut > 0 && t > shot.length - shot.fadeOut)
    black = std::max(black, 1 - (shot.length - t) / shot.fadeOut);
  if (black > 0)
    canvas->FillRect(0, 0, width_, height_, WithAlpha(0xFF000000, black));
}

void MovieRenderer::RenderFrame(int frame, Canvas* canvas) {
  if (canvas->Width() != width_ || canvas->Height() != height_)
    *canvas = Canvas(width_, height_, 0xFF000000);
  double t = double(frame) / fps_;
  for (const auto& shot : shots_) {
    if (t < shot->length || &shot == &shots_.back()) {
      DrawShot(*shot, std::min(t, shot->length), canvas);
      return;
    }
    t -= shot->length;
  }
}

std::vector<float> MovieRenderer::SoundTrack() const {
  const size_t frames = static_cast<size_t>(std::lround(Seconds() * kSoundRate));
  std::vector<float> mix(frames * 2, 0.0f);
  for (size_t i = 0; i < std::min(mix.size(), music_.size()); ++i)
    mix[i] = music_[i];
  for (const Effect& effect : effects_) {
    const size_t first = static_cast<size_t>(std::lround(effect.time * kSoundRate));
    const double left = effect.gain * std::min(1.0, 1.0 - effect.pan);
    const double right = effect.gain * std::min(1.0, 1.0 + effect.pan);
    for (size_t i = 0; i < effect.samples.size() && first + i < frames; ++i) {
      mix[(first + i) * 2] += static_cast<float>(effect.samples[i] * left);
      mix[(first + i) * 2 + 1] += static_cast<float>(effect.samples[i] * right);
    }
  }
  // The last half second fades, so the movie does not end in a cut.
  const size_t fade = std::min(frames, static_cast<size_t>(kSoundRate / 2));
  for (size_t i = 0; i < frames; ++i) {
    const double gain = i + fade >= frames ? double(frames - i) / fade : 1.0;
    for (int c = 0; c < 2; ++c)
      mix[i * 2 + c] = static_cast<float>(std::tanh(mix[i * 2 + c] * gain * 1.05));
  }
  return mix;
}

bool MovieRenderer::Write(const std::string& path, std::string* error) {
  platform::MediaEncoder encoder;
  std::string problem;
  if (!encoder.Open(path, platform::MediaEncoder::Container::Ogg, {kSoundRate, 2},
                    {width_, height_, fps_}, &problem)) {
    *error = path + ": " + problem;
    return false;
  }
  const std::vector<float> sound = SoundTrack();
  std::vector<int16_t> pcm(sound.size());
  for (size_t i = 0; i < sound.size(); ++i)
    pcm[i] = static_cast<int16_t>(std::lround(std::clamp(sound[i], -1.0f, 1.0f) * 32767.0f));
  const size_t soundFrames = pcm.size() / 2;
  Canvas canvas(width_, height_, 0xFF000000);
  size_t written = 0;
  bool ok = true;
  const int frames = Frames();
  for (int frame = 0; frame < frames && ok; ++frame) {
    // The sound of each picture goes in just before it, so the file interleaves evenly.
    const size_t until = std::min(
        soundFrames, static_cast<size_t>(std::lround(double(frame + 1) * kSoundRate / fps_)));
    if (until > written) {
      ok = encoder.WriteAudio(pcm.data() + written * 2, static_cast<uint32_t>(until - written));
      written = until;
    }
    RenderFrame(frame, &canvas);
    ok = ok && encoder.WriteVideo(canvas.Pixels().data(), width_);
  }
  if (ok && written < soundFrames)
    ok = encoder.WriteAudio(pcm.data() + written * 2, static_cast<uint32_t>(soundFrames - written));
  if (!encoder.Finish() || !ok) {
    *error = path + ": the encoder failed";
    return false;
  }
  return true;
}

}  // namespace quarn::tools
