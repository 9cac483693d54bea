#pragma once
// Draws text with the DejaVu fonts through FreeType: UTF-8 text, anti-aliased, with kerning,
// aligned left, centred or right on a base line, optionally with an outline that keeps it
// legible on any background.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"

namespace quarn::tools {

enum class FontStyle { Sans, Bold, Mono };
enum class TextAlign { Left, Center, Right };

struct TextStyle {
  int size = 16;  // pixels per em
  FontStyle font = FontStyle::Sans;
  TextAlign align = TextAlign::Left;
  platform::Argb color = 0xFFFFFFFF;
  platform::Argb outline = 0;  // 0: none
};

class FontRenderer {
 public:
  FontRenderer();
  ~FontRenderer();
  FontRenderer(const FontRenderer&) = delete;
  FontRenderer& operator=(const FontRenderer&) = delete;

  // Opens the three faces from the first of folders that holds them all. False with the
  // reason (which names the folders tried) in *error.
  bool Open(const std::vector<std::string>& folders, std::string* error);

  // Draws text with its base line at y; x is its left edge, centre or right edge by align.
  void Draw(Canvas* canvas, double x, double y, const std::string& utf8, const TextStyle& style);
  // Advance width of the text in pixels.
  double Measure(const std::string& utf8, const TextStyle& style);

  // fontDir when given, then the usual places of Debian's fonts-dejavu-core and of others.
  static std::vector<std::string> SearchFolders(const std::string& fontDir);

 private:
  struct Library;
  struct Glyph {
    int left = 0;  // bitmap offset from the pen, pixels
    int top = 0;
    int width = 0;
    int rows = 0;
    double advance = 0;
    std::vector<uint8_t> coverage;
  };
  const Glyph& GlyphOf(FontStyle font, int size, char32_t code);
  double Kerning(FontStyle font, int size, char32_t left, char32_t right);
  void DrawRun(Canvas* canvas, double x, double y, const std::u32string& text, FontStyle font,
               int size, platform::Argb color, int dx, int dy);

  std::unique_ptr<Library> library_;
  std::map<std::tuple<int, int, char32_t>, Glyph> glyphs_;
};

// Decodes UTF-8; bytes that do not form a character become U+FFFD.
std::u32string DecodeUtf8(const std::string& text);

}  // namespace quarn::tools
