// Geometry and drawing routines the skinned controls share: cutting frames
// out of bitmap strips, three- and nine-slice drawing, gradients, rotation,
// colour helpers, a parent's background under a control, an edit box border,
// shortened captions and a few window queries.
#pragma once

#include <cstdint>

#include "platform/gui/gdi_types.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/strings.h"
#include "skin/skin_keys.h"

class TBitmap;
class TCanvas;
class TComponent;
class TControl;
class TCustomForm;
class TPicture;
class TWinControl;
class TsuiFileTheme;
struct SCROLLBARINFO;

// The transparent colour of skin pictures (platform value).
inline constexpr TColor kSkinMagenta = 0x00FF00FF;

// Frame frameIndex (1..frameCount) of a strip of equal frames; the last frame
// is cut from the right edge. An index outside 1..frameCount empties dest.
void CopyBitmapFrame(TBitmap* source, TBitmap* dest, int frameCount, int frameIndex);
void StretchBitmapToRect(TBitmap* bitmap, TCanvas* canvas, const TRect& rect);
// Switches the bitmap to 24 bits per pixel and recolours every oldColor pixel.
void ReplaceBitmapColor(TBitmap* bitmap, TColor oldColor, TColor newColor);
// Has the control's parent erase and paint its background into canvas, shifted
// so that the control's top-left corner is canvas (0, 0).
void DrawParentBackground(TCanvas* canvas, TControl* control);
// Repeats the picture from (0, 0) over the rectangle's size; an empty picture draws nothing.
void TileImage(TCanvas* canvas, TPicture* picture, const TRect& rect);
bool PointInRect(const TPoint& point, const TRect& rect);  // edges included
bool PointInRect(int x, int y, const TRect& rect);
TRect GetWorkAreaRect();
void SetControlPos(TControl* control, const TPoint& point);
void SetControlBounds(TControl* control, const TRect& rect);
void DrawNineSliceBitmap(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool transparent);
void DrawThreePartImage(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool masked, TColor maskColor);
void DrawThreePartImageAutoMask(TBitmap* bitmap, TCanvas* canvas, const TRect& rect, bool maskFromPixel,
                                TColor fillColor, bool maskFromTop);
// A one-pixel frame around the edit's whole window, and with drawInner a
// second one inside it.
void DrawEditBorder(TWinControl* edit, TColor color, TColor innerColor, bool drawInner);
TColor MakeRGB(uint8_t r, uint8_t g, uint8_t b);
void SplitRGB(TColor color, uint8_t& r, uint8_t& g, uint8_t& b);
void DrawVerticalGradient(TCanvas* canvas, const TRect& rect, TColor fromColor, TColor toColor);
void DrawHorizontalGradient(TCanvas* canvas, const TRect& rect, TColor fromColor, TColor toColor);
void RotateBitmapLeft(TBitmap* bitmap);
void RotateBitmapRight(TBitmap* bitmap);
bool HasPublishedProperty(TComponent* component, const AnsiString& name);
bool IsFormActive(TCustomForm* form);
// Hands style and theme to every direct child control of skinForm that
// publishes both "FileTheme" and "UIStyle" (the theme first).
void ApplyThemeToChildren(TWinControl* skinForm, TsuiUIStyle style, TsuiFileTheme* fileTheme);
bool GetScrollBarInfoDyn(HWND window, int object, SCROLLBARINFO* info);
// The first of "T...", "Te...", ... whose width reaches maxWidth, or the text
// itself when it fits or when no shortened form reaches the width.
AnsiString ShortenText(TCanvas* canvas, const AnsiString& text, int maxWidth);
AnsiString PCharToString(const char* text);
