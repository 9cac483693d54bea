#include "FontRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <sys/stat.h>

#include <cmath>
#include <tuple>

namespace quarn::tools {

namespace {
constexpr const char* kFontFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf",
                                      "DejaVuSansMono-Bold.ttf"};
constexpr char32_t kReplacement = 0xFFFD;

bool IsFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

struct FontRenderer::Library {
  FT_Library library = nullptr;
  FT_Face faces[3] = {nullptr, nullptr, nullptr};
  int sizes[3] = {0, 0, 0};  // the pixel size each face is set to

  ~Library() {
    for (FT_Face face : faces) {
      if (face != nullptr)
        FT_Done_Face(face);
    }
    if (library != nullptr)
      FT_Done_FreeType(library);
  }

  FT_Face Face(FontStyle font, int size) {
    const int index = static_cast<int>(font);
    if (sizes[index] != size) {
      FT_Set_Pixel_Sizes(faces[index], 0, static_cast<FT_UInt>(size));
      sizes[index] = size;
    }
    return faces[index];
  }
};

std::u32string DecodeUtf8(const std::string& text) {
  std::u32string out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    int extra = lead < 0x80         ? 0
                : (lead >> 5) == 6  ? 1
                : (lead >> 4) == 14 ? 2
                : (lead >> 3) == 30 ? 3
                                    : -1;
    char32_t code = extra == 0   ? lead
                    : extra == 1 ? lead & 0x1F
                    : extra == 2 ? lead & 0x0F
                                 : lead & 0x07;
    bool valid = extra >= 0 && i + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = code << 6 | (next & 0x3F);
    }
    if (!valid) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    out.push_back(code);
    i += extra + 1;
  }
  return out;
}

FontRenderer::FontRenderer() = default;
FontRenderer::~FontRenderer() = default;

std::vector<std::string> FontRenderer::SearchFolders(const std::string& fontDir) {
  std::vector<std::string> folders;
  if (!fontDir.empty())
    folders.push_back(fontDir);
  for (const char* folder :
       {"/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/dejavu", "/usr/share/fonts/TTF",
        "/usr/local/share/fonts/dejavu", "/usr/local/share/fonts"}) {
    folders.emplace_back(folder);
  }
  return folders;
}

bool FontRenderer::Open(const std::vector<std::string>& folders, std::string* error) {
  std::string folder;
  std::string tried;
  for (const std::string& candidate : folders) {
    bool all = true;
    for (const char* file : kFontFiles)
      all = all && IsFile(candidate + "/" + file);
    if (all) {
      folder = candidate;
      break;
    }
    tried += (tried.empty() ? "" : ", ") + candidate;
  }
  if (folder.empty()) {
    *error =
        "the DejaVu fonts (DejaVuSans.ttf, DejaVuSans-Bold.ttf, DejaVuSansMono-Bold.ttf) "
        "are in none of: " +
        tried + " (Debian package fonts-dejavu-core, or --fonts DIR)";
    return false;
  }
  auto library = std::make_unique<Library>();
  if (FT_Init_FreeType(&library->library) != 0) {
    *error = "FreeType does not start";
    return false;
  }
  for (int i = 0; i < 3; ++i) {
    const std::string path = folder + "/" + kFontFiles[i];
    if (FT_New_Face(library->library, path.c_str(), 0, &library->faces[i]) != 0) {
      *error = path + ": not a font FreeType can read";
      return false;
    }
  }
  library_ = std::move(library);
  glyphs_.clear();
  return true;
}

const FontRenderer::Glyph& FontRenderer::GlyphOf(FontStyle font, int size, char32_t code) {
  const auto key = std::make_tuple(static_cast<int>(font), size, code);
  auto found = glyphs_.find(key);
  if (found != glyphs_.end())
    return found->second;
  Glyph glyph;
  FT_Face face = library_->Face(font, size);
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (index == 0)
    index = FT_Get_Char_Index(face, kReplacement);
  if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.rows = static_cast<int>(slot->bitmap.rows);
    glyph.advance = slot->advance.x / 64.0;
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
      const unsigned char* line = slot->bitmap.buffer + row * slot->bitmap.pitch;
      std::copy(line, line + glyph.width, glyph.coverage.begin() + row * glyph.width);
    }
  }
  return glyphs_.emplace(key, std::move(glyph)).first->second;
}

double FontRenderer::Kerning(FontStyle font, int size, char32_t left, char32_t right) {
  FT_Face face = library_->Face(font, size);
  if (!FT_HAS_KERNING(face))
    return 0.0;
  FT_Vector delta;
  if (FT_Get_Kerning(face, FT_Get_Char_Index(face, left), FT_Get_Char_Index(face, right),
                     FT_KERNING_DEFAULT, &delta) != 0) {
    return 0.0;
  }
  return delta.x / 64.0;
}

double FontRenderer::Measure(const std::string& utf8, const TextStyle& style) {
  if (!library_)
    return 0.0;
  const std::u32string text = DecodeUtf8(utf8);
  double width = 0.0;
  for (size_t i = 0; i < text.size(); ++i) {
    width += GlyphOf(style.font, style.size, text[i]).advance;
    if (i + 1 < text.size())
      width += Kerning(style.font, style.size, text[i], text[i + 1]);
  }
  return width;
}

void FontRenderer::DrawRun(Canvas* canvas, double x, double y, const std::u32string& text,
                           FontStyle font, int size, platform::Argb color, int dx, int dy) {
  double pen = x;
  for (size_t i = 0; i < text.size(); ++i) {
    const Glyph& glyph = GlyphOf(font, size, text[i]);
    const int left = static_cast<int>(std::lround(pen)) + glyph.left + dx;
    const int top = static_cast<int>(std::lround(y)) - glyph.top + dy;
    for (int row = 0; row < glyph.rows; ++row) {
      for (int col = 0; col < glyph.width; ++col) {
        const uint8_t c = glyph.coverage[static_cast<size_t>(row) * glyph.width + col];
        if (c != 0)
          canvas->Blend(left + col, top + row, color, c / 255.0);
      }
    }
    pen += glyph.advance;
    if (i + 1 < text.size())
      pen += Kerning(font, size, text[i], text[i + 1]);
  }
}

void FontRenderer::Draw(Canvas* canvas, double x, double y, const std::string& utf8,
                        const TextStyle& style) {
  if (!library_ || style.size <= 0)
    return;
  const std::u32string text = DecodeUtf8(utf8);
  const double width = Measure(utf8, style);
  if (style.align == TextAlign::Center)
    x -= width / 2;
  else if (style.align == TextAlign::Right)
    x -= width;
  if ((style.outline >> 24) != 0) {
    // Copies of the text around the pen in the outline colour, then the text over them.
    const int radius = std::max(1, style.size / 16);
    for (int dy = -radius; dy <= radius; ++dy) {
      for (int dx = -radius; dx <= radius; ++dx) {
        if ((dx != 0 || dy != 0) && dx * dx + dy * dy <= radius * radius + radius)
          DrawRun(canvas, x, y, text, style.font, style.size, style.outline, dx, dy);
      }
    }
  }
  DrawRun(canvas, x, y, text, style.font, style.size, style.color, 0, 0);
}

}  // namespace quarn::tools
