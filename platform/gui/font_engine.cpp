// FreeType faces resolved through fontconfig. Heights follow the platform's
// logical-font rule: negative = em size in pixels, positive = cell height
// (ascent + descent). Bold and italic use the family's own styles when
// installed and are synthesised otherwise.
#include "platform/gui/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/text.h"

struct FontFace::Impl {
  FT_Face face = nullptr;
};

namespace {

constexpr int kDefaultEmPixels = 11;  // the 8-point system font at 96 dpi
constexpr const char* kFallbackFamily = "DejaVu Sans";
// The fonts-wine package keeps its faces outside fontconfig's folders.
constexpr const char* kWineFontDir = "/usr/share/wine/fonts";

// Makes the extra font folder known once, before the first lookup.
void EnsureFontFolders() {
  static const bool done = [] {
    FcInit();
    std::atexit(FcFini);  // hands fontconfig's own caches back at exit
    FcConfigAppFontAddDir(nullptr, reinterpret_cast<const FcChar8*>(kWineFontDir));
    return true;
  }();
  (void)done;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) throw Exception("FreeType cannot start");
    return lib;
  }();
  return library;
}

// Only scalable faces count: bitmap-only faces have just a few fixed sizes.
bool IsInstalled(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  const bool found = set && set->nfont > 0;
  if (set) FcFontSetDestroy(set);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

struct Substitution {
  const char* name;
  std::vector<const char*> candidates;
};

const std::vector<Substitution>& Substitutions() {
  static const std::vector<Substitution> table = {
      {"Tahoma", {"Tahoma", "DejaVu Sans"}},
      {"MS Sans Serif", {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "DejaVu Sans"}},
      {"Microsoft Sans Serif", {"Microsoft Sans Serif", "Tahoma", "DejaVu Sans"}},
      {"Arial", {"Arial", "Liberation Sans", "DejaVu Sans"}},
      {"Verdana", {"Verdana", "DejaVu Sans"}},
      {"Marlett", {"Marlett", "DejaVu Sans"}},
      {"System", {"Tahoma", "DejaVu Sans"}},
      {"Courier New", {"Courier New", "Liberation Mono", "DejaVu Sans Mono"}},
      {"Courier", {"Courier New", "Liberation Mono", "DejaVu Sans Mono"}},
      {"Times New Roman", {"Times New Roman", "Liberation Serif", "DejaVu Serif"}},
  };
  return table;
}

struct FaceFile {
  std::string path;
  int index = 0;
  std::string family;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

FaceFile FindFaceFile(const std::string& family, bool bold, bool italic) {
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  FaceFile out;
  if (!match) return out;
  FcChar8* file = nullptr;
  FcChar8* name = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) out.path = reinterpret_cast<char*>(file);
  if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) out.family = reinterpret_cast<char*>(name);
  FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight);
  FcPatternGetInteger(match, FC_SLANT, 0, &out.slant);
  FcPatternDestroy(match);
  return out;
}

struct CacheKey {
  std::string family;
  int height;
  int weight;
  bool italic, underline, strikeOut;
  auto operator<=>(const CacheKey&) const = default;
};

std::mutex g_cacheMutex;

// Glyph bitmaps as 0..255 coverage. Embedded bitmap strikes (the crisp small
// sizes of classic faces) come as one bit per pixel and are widened here.
std::vector<uint8_t> Coverage(const FT_Bitmap& bm) {
  std::vector<uint8_t> out(size_t(bm.width) * bm.rows);
  for (unsigned y = 0; y < bm.rows; ++y) {
    const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
    for (unsigned x = 0; x < bm.width; ++x) {
      uint8_t c = 0;
      if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) c = row[x];
      else if (bm.pixel_mode == FT_PIXEL_MODE_MONO) c = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
      out[size_t(y) * bm.width + x] = c;
    }
  }
  return out;
}

}  // namespace

std::string SubstituteFontFamily(const std::string& faceName) {
  static std::map<std::string, std::string> resolved;
  std::lock_guard lock(g_cacheMutex);
  EnsureFontFolders();
  const std::string key = UpperCase(faceName);
  auto it = resolved.find(key);
  if (it != resolved.end()) return it->second;
  std::vector<std::string> candidates;
  for (const Substitution& s : Substitutions())
    if (SameText(s.name, faceName)) candidates.assign(s.candidates.begin(), s.candidates.end());
  if (candidates.empty() && !faceName.empty()) candidates.push_back(faceName);
  candidates.push_back(kFallbackFamily);
  std::string family = kFallbackFamily;
  for (const std::string& c : candidates)
    if (IsInstalled(c)) {
      family = c;
      break;
    }
  resolved[key] = family;
  return family;
}

FontFace::~FontFace() {
  if (impl_ && impl_->face) FT_Done_Face(impl_->face);
}

std::shared_ptr<FontFace> FontFace::Resolve(const LOGFONTA& font) {
  const std::string family = SubstituteFontFamily(font.lfFaceName[0] ? font.lfFaceName : "MS Sans Serif");
  const bool bold = font.lfWeight >= 600;
  const CacheKey key{family, font.lfHeight, bold ? FW_BOLD : FW_NORMAL, font.lfItalic != 0, font.lfUnderline != 0,
                     font.lfStrikeOut != 0};
  static std::map<CacheKey, std::shared_ptr<FontFace>> cache;
  {
    std::lock_guard lock(g_cacheMutex);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
  }
  const FaceFile file = FindFaceFile(family, bold, font.lfItalic != 0);
  std::shared_ptr<FontFace> f(new FontFace);
  f->impl_ = std::make_unique<Impl>();
  if (file.path.empty() || FT_New_Face(Library(), file.path.c_str(), file.index, &f->impl_->face) != 0)
    throw Exception("No font file for " + family);
  FT_Face face = f->impl_->face;
  f->family = file.family;
  f->file = file.path;
  f->faceIndex = file.index;
  f->weight = bold ? FW_BOLD : FW_NORMAL;
  f->italic = font.lfItalic != 0;
  f->underline = font.lfUnderline != 0;
  f->strikeOut = font.lfStrikeOut != 0;
  f->emboldened_ = bold && file.weight < FC_WEIGHT_DEMIBOLD;
  f->slanted_ = f->italic && file.slant == FC_SLANT_ROMAN;

  // Cell height = ascent + descent from the face's Windows metrics when it
  // has them; a positive logical height asks for that cell.
  const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const double cellUnits = os2 && os2->usWinAscent + os2->usWinDescent > 0
                               ? double(os2->usWinAscent + os2->usWinDescent)
                               : double(face->ascender - face->descender);
  const double ascentUnits = os2 && os2->usWinAscent > 0 ? os2->usWinAscent : face->ascender;
  int em = kDefaultEmPixels;
  if (font.lfHeight < 0) em = -font.lfHeight;
  if (font.lfHeight > 0) em = std::max(1, int(std::lround(font.lfHeight * face->units_per_EM / cellUnits)));
  f->pixelSize = em;
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(em));
  const double scale = double(em) / face->units_per_EM;
  f->ascent = int(std::ceil(ascentUnits * scale - 0.01));
  f->height = std::max(font.lfHeight > 0 ? font.lfHeight : 0, int(std::ceil(cellUnits * scale - 0.01)));
  f->descent = f->height - f->ascent;
  f->internalLeading = f->height - em;
  f->underlinePosition = std::max(1, int(std::lround(-face->underline_position * scale)));
  f->underlineThickness = std::max(1, int(std::lround(face->underline_thickness * scale)));
  f->aveCharWidth = f->Advance('x');
  for (char32_t c = 0x20; c < 0x7F; ++c) f->maxCharWidth = std::max(f->maxCharWidth, f->Advance(c));
  std::lock_guard lock(g_cacheMutex);
  cache[key] = f;
  return f;
}

const GlyphImage& FontFace::Glyph(char32_t c) {
  auto it = glyphs_.find(c);
  if (it != glyphs_.end()) return it->second;
  GlyphImage& g = glyphs_[c];
  if (c < 0x20) return g;  // control characters draw nothing
  FT_Face face = impl_->face;
  if (FT_Load_Char(face, c, kLoadFlags) != 0) return g;
  if (emboldened_) FT_GlyphSlot_Embolden(face->glyph);
  if (slanted_) FT_GlyphSlot_Oblique(face->glyph);
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return g;
  const FT_Bitmap& bm = face->glyph->bitmap;
  g.left = face->glyph->bitmap_left;
  g.top = face->glyph->bitmap_top;
  g.width = int(bm.width);
  g.height = int(bm.rows);
  g.advance = int((face->glyph->advance.x + 32) >> 6);
  g.coverage = Coverage(bm);
  return g;
}
