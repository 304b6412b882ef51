// Fonts through FreeType, faces found by fontconfig, at a fixed 96 dpi. Face
// names the system asks for are substituted onto installed fonts (DejaVu as
// the fallback), so text measures the same on every run and machine with the
// same font packages.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/gdi.h"

struct GlyphImage {
  int left = 0;     // from the pen position to the first column
  int top = 0;      // from the baseline up to the first row
  int width = 0;
  int height = 0;
  int advance = 0;  // whole pixels
  std::vector<uint8_t> coverage;  // width x height, 0..255
};

// One font at one pixel size and style.
class FontFace {
public:
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  // The face for a logical font; cached, so equal fonts share one face.
  static std::shared_ptr<FontFace> Resolve(const LOGFONTA& font);

  const GlyphImage& Glyph(char32_t c);
  int Advance(char32_t c) { return Glyph(c).advance; }

  int ascent = 0;
  int descent = 0;
  int height = 0;
  int internalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int underlinePosition = 0;  // rows below the baseline
  int underlineThickness = 1;
  bool underline = false;
  bool strikeOut = false;
  int weight = FW_NORMAL;
  bool italic = false;
  std::string family;     // the installed family used
  std::string file;       // font file and face index, for tests and diagnostics
  int faceIndex = 0;
  int pixelSize = 0;      // em size in pixels
  static constexpr int kLoadFlags = 0;  // FreeType load flags used for every glyph

private:
  FontFace() = default;
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::map<char32_t, GlyphImage> glyphs_;
  bool emboldened_ = false;
  bool slanted_ = false;
};

// The installed family used for a face name ("Tahoma", "MS Sans Serif",
// "Arial", "Marlett", ...): the first installed candidate of the name's
// substitution list, else DejaVu Sans.
std::string SubstituteFontFamily(const std::string& faceName);
