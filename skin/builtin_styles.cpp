// The built-in style table and its getters; see builtin_styles.h.
#include "skin/builtin_styles.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/type_info.h"
#include "skin/draw_helpers.h"

namespace {

constexpr int kStyleCount = 5;

// Colours are written as RGB; the table keeps the platform value 0x00BBGGRR.
constexpr int32_t C(uint32_t rgb) { return int32_t((rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF)); }

struct Element {
  TBuiltInKind kind;
  int32_t values[kStyleCount];
  const char* part;  // bitmaps: the name after the style's prefix; "" names none
};

const char* const kPrefixes[kStyleCount] = {"MACOS_", "WINXP_", "DEEPBLUE_", "PROTEIN_", "BLUEGLASS_"};

constexpr Element kB(const char* part) { return {bkBitmap, {0, 0, 0, 0, 0}, part}; }
constexpr Element kI(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) { return {bkInteger, {a, b, c, d, e}, ""}; }
constexpr Element kC(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
  return {bkColor, {C(a), C(b), C(c), C(d), C(e)}, ""};
}
constexpr Element kL(bool a, bool b, bool c, bool d, bool e) { return {bkBoolean, {a, b, c, d, e}, ""}; }

const Element kTable[kBuiltInElementCount] = {
    kB("BUTTON"),                                                  // 1
    kL(true, false, false, false, true),                           // 2
    kB("CHECKBOX"),                                                // 3
    kB("RADIOBUTTON"),                                             // 4
    kB("TITLEBTN"),                                                // 5
    kL(false, false, false, true, true),                           // 6
    kI(3, 2, 0, 0, 4),                                             // 7
    kI(-2, -2, 0, 0, -3),                                          // 8
    kI(4, 5, 2, 2, 6),                                             // 9
    kB("TITLE_LEFT"),                                              // 10
    kB("TITLE_CLIENT"),                                            // 11
    kB("TITLE_RIGHT"),                                             // 12
    kI(130, 150, 130, 130, 270),                                   // 13
    kI(0, 13, 0, 0, 11),                                           // 14
    kC(0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7),          // 15
    kC(0x7F7F7F, 0x002CC8, 0x000000, 0x000000, 0x000000),          // 16
    kI(1, 3, 1, 1, 1),                                             // 17
    kC(0x3973C4, 0x3169C6, 0x444AA0, 0x2D30C4, 0x5E5EEC),          // 18
    kC(0x3973C4, 0xC6D3EF, 0x444AA0, 0x2D30C4, 0x5E5EEC),          // 19
    kC(0xFFFFFF, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF),          // 20
    kC(0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xE7E7E7),          // 21
    kC(0x000000, 0x000000, 0x000000, 0x000000, 0x000000),          // 22
    kC(0x000000, 0xD6D3CE, 0xD6D3CE, 0xD6D3CE, 0xD6D3CE),          // 23
    kB("PROGRESSBAR"),                                             // 24
    kC(0x7F7F7F, 0x686868, 0x000000, 0x000000, 0x000000),          // 25
    kC(0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7),          // 26
    kC(0x000000, 0x0246CF, 0x000000, 0x000000, 0x000000),          // 27
    kB("TRACKBAR_BAR"),                                            // 28
    kB("TRACKBAR_SLIDER"),                                         // 29
    kB("TRACKBAR_SLIDER_V"),                                       // 30
    kC(0xC9C9C9, 0xF9F9F9, 0xF5F5F5, 0xF5F5F5, 0xF4F4F4),          // 31
    kB("SCROLLBAR_BUTTON"),                                        // 32
    kB("SCROLLBAR_TRACK"),                                         // 33
    kB("CHECKLIST"),                                               // 34
    kC(0x474747, 0x3169C6, 0x474747, 0x474747, 0x474747),          // 35
    kC(0xEFEFEF, 0xC6D3EF, 0xEFEFEF, 0xEFEFEF, 0xEFEFEF),          // 36
    kC(0xD8D8D8, 0x93ACE1, 0xD8D8D8, 0xD8D8D8, 0xD8D8D8),          // 37
    kB("SCROLLBUTTON"),                                            // 38
    kB("TAB"),                                                     // 39
    kB("TAB_LINE"),                                                // 40
    kB("SIDECHENNEL_HANDLE"),                                      // 41
    kB("SIDECHENNEL_BAR"),                                         // 42
    kB(""),                                                        // 43
    kC(0x000000, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF),          // 44
    kB(""),                                                        // 45
    kB(""),                                                        // 46
    kI(0, 0, 0, 0, 0),                                             // 47
    kC(0xE7E7E7, 0xEFEBDE, 0xE8E8E8, 0xFBFBFB, 0xE7E7E7),          // 48
};

constexpr int kScrollButtonElement = 38;
// The last three styles share one scroll-button strip.
constexpr char kSharedScrollButton[] = "MORE_SCROLLBUTTON";

const Element* Find(uint8_t style, int element, int& column) {
  style &= 0x7F;
  if (style < MacOS || style > BlueGlass || element < 1 || element > kBuiltInElementCount) return nullptr;
  column = style - MacOS;
  return &kTable[element - 1];
}

}  // namespace

int32_t GetBuiltInEntry(uint8_t style, int element, TBuiltInKind& kind) {
  int column = 0;
  const Element* e = Find(style, element, column);
  kind = e ? e->kind : bkInteger;
  return e ? e->values[column] : -1;
}

AnsiString BuiltInBitmapName(uint8_t style, int element) {
  int column = 0;
  const Element* e = Find(style, element, column);
  if (!e || e->kind != bkBitmap || !*e->part) return AnsiString();
  if (element == kScrollButtonElement && (style & 0x7F) >= DeepBlue) return kSharedScrollButton;
  return AnsiString(kPrefixes[column]) + e->part;
}

void LoadBuiltInBitmap(uint8_t style, int element, TBitmap* bitmap) {
  const AnsiString name = BuiltInBitmapName(style, element);
  if (bitmap && !name.empty()) bitmap->LoadFromResourceName(0, name);
}

void GetBuiltInBitmap(uint8_t style, int element, TBitmap* dest, int frameCount, int frameIndex) {
  if (!dest) return;
  if (frameCount == 0) {
    LoadBuiltInBitmap(style, element, dest);
    return;
  }
  TBitmap strip;
  LoadBuiltInBitmap(style, element, &strip);
  CopyBitmapFrame(&strip, dest, frameCount, frameIndex);
}

TColor GetBuiltInColor(uint8_t style, int element) {
  TBuiltInKind kind;
  int32_t entry = GetBuiltInEntry(style, element, kind);
  return kind == bkColor ? TColor(entry) : TColor(0);
}

int32_t GetBuiltInInteger(uint8_t style, int element) {
  TBuiltInKind kind;
  int32_t entry = GetBuiltInEntry(style, element, kind);
  return kind == bkInteger ? entry : -1;
}

bool GetBuiltInBool(uint8_t style, int element) {
  TBuiltInKind kind;
  int32_t entry = GetBuiltInEntry(style, element, kind);
  return kind == bkBoolean && entry != 0;
}

TsuiUIStyle GetOwnerUIStyle(TComponent* component) {
  auto* form = dynamic_cast<TCustomForm*>(component);
  if (!form) return DeepBlue;
  for (int i = 0; i < form->ControlCount(); ++i) {
    TControl* control = form->Controls(i);
    if (control->ClassName() == "TsuiForm" && IsPublishedProp(control, "UIStyle"))
      return TsuiUIStyle(GetOrdProp(control, "UIStyle"));
  }
  return DeepBlue;
}
