#pragma once
// Shared by the generator's tests: recipes written as text with LF lines become CR LF recipe
// files, and pictures are looked at channel by channel.
#include <gtest/gtest.h>

#include <string>

#include "Canvas.h"
#include "FontRenderer.h"
#include "RecipeFile.h"

namespace quarn::testing {

inline std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += '\r';
    out += c;
  }
  return out;
}

// A recipe from text with LF lines; fails the test if it does not parse.
inline tools::RecipeFile Recipe(const std::string& name, const std::string& text) {
  tools::RecipeFile recipe;
  std::string error;
  EXPECT_TRUE(recipe.Parse(name, Crlf(text), &error)) << error;
  return recipe;
}

inline int Alpha(platform::Argb pixel) {
  return static_cast<int>(pixel >> 24);
}
inline int Red(platform::Argb pixel) {
  return static_cast<int>((pixel >> 16) & 0xFF);
}
inline int Green(platform::Argb pixel) {
  return static_cast<int>((pixel >> 8) & 0xFF);
}
inline int Blue(platform::Argb pixel) {
  return static_cast<int>(pixel & 0xFF);
}

// The fonts of the machine; the tests that draw text need them (install-deps installs them).
inline bool OpenSystemFonts(tools::FontRenderer* fonts) {
  std::string error;
  const bool ok = fonts->Open(tools::FontRenderer::SearchFolders(""), &error);
  EXPECT_TRUE(ok) << error;
  return ok;
}

}  // namespace quarn::testing
