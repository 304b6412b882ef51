// Window and drawing routines of the settings library: the disabled look of a
// button glyph or an image-list image (etched in the shadow colour over a
// highlight copy shifted one pixel), shortening a text to a width, rectangle
// sizes, fitting a rectangle or centring a window on the screen, whether the
// active window is the program's, and dropping one pending message.
#pragma once

#include <memory>

#include "platform/gui/gdi_types.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/strings.h"

class TBitmap;
class TCanvas;
class TControl;
class TImageList;

// A new bitmap of Source's size filled with BackColor, with HighlightColor at
// (1, 1) (when DrawHighlight) and then ShadowColor at (0, 0) wherever Source
// has OutlineColor.
std::unique_ptr<TBitmap> MakeDisabledBitmap(TBitmap* source, TColor outlineColor, TColor backColor,
                                            TColor highlightColor, TColor shadowColor, bool drawHighlight);
// The same in the button face, highlight and shadow colours.
std::unique_ptr<TBitmap> MakeDisabledGlyph(TBitmap* source, TColor outlineColor);

// Image Index of the list in its disabled look at (X, Y) of the canvas:
// HighlightColor one pixel down and right (when DrawHighlight), then
// ShadowColor, wherever the image is opaque. The canvas keeps its brush.
void DrawDisabledImage(TImageList* images, TCanvas* canvas, int x, int y, int index, TColor highlightColor,
                       TColor shadowColor, bool drawHighlight);

// Paints what lies behind Control onto Canvas (whose origin is the control's
// top-left corner): the parent's background and own drawing, then the graphic
// siblings below the control that overlap it. Used by transparent controls.
void PaintParentBackground(TControl* control, TCanvas* canvas);

// Text cut from the end, with "...", until the canvas shows it within
// MaxWidth; a text that fits stays as it is, one that never fits ends as "...".
AnsiString ShortenTextToWidth(const AnsiString& text, TCanvas* canvas, int maxWidth);

inline int WidthOfRect(const TRect& r) { return r.Right - r.Left; }
inline int HeightOfRect(const TRect& r) { return r.Bottom - r.Top; }
// Moves (never resizes) the rectangle onto the screen; its left and top edges
// win when it is larger than the screen.
void FitRectToScreen(TRect& r);

// Moves the window (no resizing, activation or z-order change) to the centre
// of the screen; a window larger than the screen keeps its left or top at 0.
void CenterWindowOnScreen(HWND window);
// Whether the active window is one of the program's (all of them belong to
// its one user-interface thread).
bool IsActiveWindowOfThisThread();

// Removes one pending MessageId message of Window; a quit request met on the
// way is posted again with its exit code.
void DropPendingMessage(HWND window, UINT messageId);
