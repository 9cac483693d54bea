#include "DrawScript.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "NoiseField.h"
#include "SeededRandom.h"
#include "TokenReader.h"

namespace quarn::tools {

namespace {
// Sections may use one another, but not without end.
constexpr int kMaxUseDepth = 8;
// Height of DejaVu's digits as a share of the em, to centre them in their cells.
constexpr double kDigitHeight = 0.73;

double SmoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

bool ReadStyle(TokenReader& tokens, TextStyle* style) {
  style->size = tokens.Integer("size");
  const std::string font = tokens.Word("font");
  if (font == "sans")
    style->font = FontStyle::Sans;
  else if (font == "bold")
    style->font = FontStyle::Bold;
  else if (font == "mono")
    style->font = FontStyle::Mono;
  else if (tokens.Ok())
    tokens.Fail("font '" + font + "' is none of sans, bold, mono");
  if (tokens.Ok() && (style->size < 4 || style->size > 400))
    tokens.Fail("text size must lie between 4 and 400");
  return tokens.Ok();
}

bool ReadAlign(TokenReader& tokens, TextStyle* style) {
  const std::string align = tokens.Word("alignment");
  if (align == "left")
    style->align = TextAlign::Left;
  else if (align == "center")
    style->align = TextAlign::Center;
  else if (align == "right")
    style->align = TextAlign::Right;
  else if (tokens.Ok())
    tokens.Fail("alignment '" + align + "' is none of left, center, right");
  return tokens.Ok();
}
}  // namespace

bool DrawScript::Run(const RecipeFile& recipe, const std::string& section, Canvas* canvas,
                     std::string* error) {
  for (const auto& [index, line] : recipe.List(section, "Draw")) {
    std::string problem;
    nested_ = false;
    if (!RunCommand(recipe, line, canvas, &problem)) {
      // A problem inside a used section already names its own place.
      *error = nested_ ? problem
                       : recipe.Where(section, "Draw_" + std::to_string(index)) + ": " + problem;
      return false;
    }
  }
  return true;
}

bool DrawScript::RunCommand(const RecipeFile& recipe, const std::string& line, Canvas* canvas,
                            std::string* problem) {
  TokenReader t(line);
  const std::string verb = t.Word("command");
  const auto X = [&](const char* what) { return t.Number(what) + originX_; };
  const auto Y = [&](const char* what) { return t.Number(what) + originY_; };

  if (verb == "fill") {
    const auto c = t.Color("colour");
    if (t.Ok())
      canvas->Fill(c);
  } else if (verb == "clear") {
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const auto c = t.Color("colour");
    if (t.Ok())
      canvas->SetRect(int(x), int(y), int(w), int(h), c);
  } else if (verb == "vgradient" || verb == "hgradient") {
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const auto from = t.Color("first colour");
    const auto to = t.Color("second colour");
    if (t.Ok())
      canvas->Gradient(int(x), int(y), int(w), int(h), from, to, verb == "vgradient");
  } else if (verb == "rect") {
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const auto c = t.Color("colour");
    if (t.Ok())
      canvas->FillRect(x, y, w, h, c);
  } else if (verb == "frame") {
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const double thickness = t.Number("thickness");
    const auto c = t.Color("colour");
    if (t.Ok())
      canvas->Frame(x, y, w, h, thickness, c);
  } else if (verb == "circle" || verb == "glow") {
    const double x = X("x"), y = Y("y"), r = t.Number("radius");
    const auto c = t.Color("colour");
    if (t.Ok() && verb == "circle")
      canvas->FillCircle(x, y, r, c);
    else if (t.Ok())
      canvas->Glow(x, y, r, c);
  } else if (verb == "ring") {
    const double x = X("x"), y = Y("y"), r = t.Number("radius");
    const double thickness = t.Number("thickness");
    const auto c = t.Color("colour");
    if (t.Ok())
      canvas->Ring(x, y, r, thickness, c);
  } else if (verb == "line") {
    const double x1 = X("x1"), y1 = Y("y1"), x2 = X("x2"), y2 = Y("y2");
    const double thickness = t.Number("thickness");
    const auto c = t.Color("colour");
    if (t.Ok())
      canvas->Line({x1, y1}, {x2, y2}, thickness, c);
  } else if (verb == "poly") {
    const auto c = t.Color("colour");
    std::vector<Point> points;
    while (t.Ok() && !t.AtEnd()) {
      const double x = X("x");
      const double y = Y("y");
      points.push_back({x, y});
    }
    if (t.Ok() && points.size() < 3)
      t.Fail("a polygon needs at least three points");
    if (t.Ok())
      canvas->FillPolygon(points, c);
  } else if (verb == "shape") {
    const std::string name = t.Word("shape name");
    ShapePose pose;
    pose.x = X("x");
    pose.y = Y("y");
    pose.scale = t.Number("scale");
    pose.angle = t.Number("angle");
    const auto c = t.Color("colour");
    if (t.Ok() && (shapes_ == nullptr || !shapes_->Has(name)))
      t.Fail("no shape named '" + name + "'");
    if (t.Ok())
      shapes_->Draw(canvas, name, pose, c);
  } else if (verb == "text") {
    TextStyle style;
    const double x = X("x"), y = Y("y");
    if (ReadStyle(t, &style) && ReadAlign(t, &style)) {
      style.color = t.Color("colour");
      style.outline = t.OptionalColor("outline colour");
      const std::string text = t.Rest("text");
      if (t.Ok())
        fonts_->Draw(canvas, x, y, text, style);
    }
  } else if (verb == "digits") {
    const double x = X("x"), y = Y("y");
    const double cellW = t.Number("cell width"), cellH = t.Number("cell height");
    const int columns = t.Integer("columns");
    TextStyle style;
    style.align = TextAlign::Center;
    if (ReadStyle(t, &style)) {
      style.color = t.Color("colour");
      style.outline = t.OptionalColor("outline colour");
      if (t.Ok() && columns <= 0)
        t.Fail("columns must be at least 1");
      for (int d = 0; t.Ok() && d < 10; ++d) {
        const double left = x + cellW * (d % columns);
        const double top = y + cellH * (d / columns);
        fonts_->Draw(canvas, left + cellW / 2, top + (cellH + kDigitHeight * style.size) / 2,
                     std::string(1, char('0' + d)), style);
      }
    }
  } else if (verb == "stars") {
    const int seed = t.Integer("seed"), count = t.Integer("count");
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const auto c = t.Color("colour");
    if (t.Ok()) {
      SeededRandom random(static_cast<uint32_t>(seed));
      for (int i = 0; i < count; ++i) {
        const double sx = x + random.Unit() * w;
        const double sy = y + random.Unit() * h;
        const double brightness = 0.25 + 0.75 * random.Unit();
        const bool big = random.Below(12) == 0;
        if (big)
          canvas->FillCircle(sx, sy, 1.2, WithAlpha(c, brightness));
        else
          canvas->Blend(int(sx), int(sy), c, brightness);
      }
    }
  } else if (verb == "clouds") {
    const int seed = t.Integer("seed");
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const double scale = t.Number("scale"), cover = t.Number("cover");
    const auto c = t.Color("colour");
    if (t.Ok() && scale <= 0)
      t.Fail("scale must be above 0");
    if (t.Ok()) {
      const NoiseField noise(static_cast<uint32_t>(seed));
      for (int row = std::max(int(y), 0); row < std::min(int(y + h), canvas->Height()); ++row) {
        const double edge = std::sin(std::numbers::pi * (row + 0.5 - y) / h);
        for (int col = std::max(int(x), 0); col < std::min(int(x + w), canvas->Width()); ++col) {
          const double n = noise.Fractal(col / scale, row / (scale * 0.45), 5);
          const double a = SmoothStep(cover, cover + 0.22, n) * edge;
          if (a > 0.002)
            canvas->Blend(col, row, c, a);
        }
      }
    }
  } else if (verb == "hills") {
    const int seed = t.Integer("seed");
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const double scale = t.Number("scale");
    const auto c = t.Color("colour");
    if (t.Ok() && scale <= 0)
      t.Fail("scale must be above 0");
    if (t.Ok()) {
      const NoiseField noise(static_cast<uint32_t>(seed));
      for (int col = std::max(int(x), 0); col < std::min(int(x + w), canvas->Width()); ++col) {
        const double top = y + h * (1.0 - noise.Fractal(col / scale, 0.5, 4));
        for (int row = std::max(int(top), 0); row < std::min(int(y + h), canvas->Height()); ++row) {
          canvas->Blend(col, row, c, std::clamp(row + 1 - top, 0.0, 1.0));
        }
      }
    }
  } else if (verb == "radial") {
    const double x = X("x"), y = Y("y"), r0 = t.Number("inner radius"), r1 = t.Number("radius");
    const auto inner = t.Color("inner colour");
    const auto outer = t.Color("outer colour");
    if (t.Ok() && !(r1 > r0 && r0 >= 0))
      t.Fail("the radius must be above the inner radius, which must not be negative");
    if (t.Ok()) {
      for (int row = std::max(int(y - r1), 0); row <= std::min(int(y + r1), canvas->Height() - 1);
           ++row) {
        for (int col = std::max(int(x - r1), 0); col <= std::min(int(x + r1), canvas->Width() - 1);
             ++col) {
          const double d = std::hypot(col + 0.5 - x, row + 0.5 - y);
          if (d >= r0 && d < r1)
            canvas->Blend(col, row, LerpColor(inner, outer, (d - r0) / (r1 - r0)), 1.0);
        }
      }
    }
  } else if (verb == "skyclouds" || verb == "puff") {
    const bool sky = verb == "skyclouds";
    const int seed = t.Integer("seed");
    const double x = X("x"), y = Y("y"), r = t.Number("radius");
    const double scale = sky ? t.Number("scale") : r * 0.35;
    const double amount = t.Number(sky ? "cover" : "roughness");
    const auto c = t.Color("colour");
    if (t.Ok() && (r <= 0 || scale <= 0))
      t.Fail("radius and scale must be above 0");
    if (t.Ok()) {
      const NoiseField noise(static_cast<uint32_t>(seed));
      for (int row = std::max(int(y - r), 0); row <= std::min(int(y + r), canvas->Height() - 1);
           ++row) {
        for (int col = std::max(int(x - r), 0); col <= std::min(int(x + r), canvas->Width() - 1);
             ++col) {
          const double d = std::hypot(col + 0.5 - x, row + 0.5 - y) / r;
          if (d >= 1)
            continue;
          const double n = noise.Fractal(col / scale, row / scale, 4);
          double a;
          if (sky) {
            a = SmoothStep(amount, amount + 0.3, n) * (1.0 - SmoothStep(0.7, 1.0, d));
          } else {
            const double body = 1.0 - SmoothStep(0.4, 1.0, d);
            a = body * (1.0 - amount + amount * SmoothStep(0.3, 0.7, n));
          }
          if (a > 0.002)
            canvas->Blend(col, row, c, a);
        }
      }
    }
  } else if (verb == "streak") {
    const double x1 = X("x1"), y1 = Y("y1"), x2 = X("x2"), y2 = Y("y2");
    const double width = t.Number("width");
    const auto c = t.Color("colour");
    const double length = std::hypot(x2 - x1, y2 - y1);
    if (t.Ok() && (width <= 0 || length <= 0))
      t.Fail("a streak needs a width and two different ends");
    if (t.Ok()) {
      const double reach = width / 2 + 1;
      const double ux = (x2 - x1) / length, uy = (y2 - y1) / length;
      for (int row = std::max(int(std::min(y1, y2) - reach), 0);
           row <= std::min(int(std::max(y1, y2) + reach), canvas->Height() - 1); ++row) {
        for (int col = std::max(int(std::min(x1, x2) - reach), 0);
             col <= std::min(int(std::max(x1, x2) + reach), canvas->Width() - 1); ++col) {
          const double px = col + 0.5 - x1, py = row + 0.5 - y1;
          const double along = (px * ux + py * uy) / length;  // 0..1 between the ends
          const double across = std::abs(px * uy - py * ux) / (width / 2);
          if (along <= 0 || along >= 1 || across >= 1)
            continue;
          const double ends = std::sin(std::numbers::pi * along);
          canvas->Blend(col, row, c, (1 - across * across) * ends);
        }
      }
    }
  } else if (verb == "grid") {
    const double x = X("x"), y = Y("y"), w = t.Number("width"), h = t.Number("height");
    const double step = t.Number("step");
    const auto c = t.Color("colour");
    if (t.Ok() && step < 2)
      t.Fail("step must be at least 2");
    if (t.Ok()) {
      for (double gx = x; gx <= x + w; gx += step)
        canvas->FillRect(gx, y, 1, h, c);
      for (double gy = y; gy <= y + h; gy += step)
        canvas->FillRect(x, gy, w, 1, c);
    }
  } else if (verb == "use") {
    const std::string section = t.Word("section");
    const double dx = t.AtEnd() ? 0.0 : t.Number("dx");
    const double dy = t.AtEnd() ? 0.0 : t.Number("dy");
    if (t.Ok() && !recipe.HasSection(section))
      t.Fail("no section '" + section + "' to use");
    if (t.Ok() && depth_ >= kMaxUseDepth)
      t.Fail("sections use one another too deeply (a loop?)");
    if (t.Ok()) {
      ++depth_;
      originX_ += dx;
      originY_ += dy;
      std::string error;
      const bool ok = Run(recipe, section, canvas, &error);
      originX_ -= dx;
      originY_ -= dy;
      --depth_;
      if (!ok) {
        *problem = error;
        nested_ = true;
        return false;
      }
    }
  } else if (t.Ok()) {
    t.Fail("unknown command '" + verb + "'");
  }
  if (t.Ok() && !t.AtEnd())
    t.Fail("more words than the command takes");
  if (!t.Ok())
    *problem = t.Problem();
  return t.Ok();
}

}  // namespace quarn::tools
