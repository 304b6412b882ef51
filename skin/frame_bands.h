// The frame bands both skinned frames (TsuiForm, TsuiMDIForm) paint around
// their form: the measures of the system frame and of the skin's border
// pictures, the client insets they give, the skin path of the painting (title
// corners, side borders, the composed bottom band), the title strips of the
// built-in path, and the window region.
#pragma once

#include <functional>
#include <memory>

#include "platform/gui/gdi_types.h"
#include "platform/gui/user.h"
#include "skin/draw_helpers.h"

class TBitmap;
class TCanvas;
class TCustomForm;
class TsuiTitleBar;

// Questions a skinned MDI child asks its main form: the system frame's
// bottom and left widths the MDI parent's frame measured.
inline constexpr UINT kMDIBottomFrameQuery = 0x87D0;
inline constexpr UINT kMDILeftFrameQuery = 0x87D1;

struct TFrameBands {
  TFrameBands();
  ~TFrameBands();

  // B and L read from the form's window: the system frame's bottom and left
  // widths (a value outside 0..12 becomes 4).
  void Measure(TCustomForm* form);
  static int SaneFrame(int value);
  // proposed: the window rectangle; r becomes the rectangle the default
  // handling then takes the system frame off.
  void AdjustClientRect(RECT& r, const RECT& proposed, int borderWidth) const;
  // A WM_NCCALCSIZE with rectangles gets the insets; returns them then (null for other messages).
  NCCALCSIZE_PARAMS* AdjustCalcSize(UINT msg, WPARAM wparam, LPARAM lparam, int borderWidth) const;
  // The border query's answer.
  int BorderQueryAnswer() const;
  // A skin's measures, region flags and limits; the title bar's full image
  // and the bottom image become transparent where the skin asks for regions.
  void ApplySkin(const TsuiFileTheme* theme, TsuiTitleBar* titleBar);
  // A built-in style's: no skin pictures, no regions.
  void ApplyBuiltIn();
  // The skin path. top: the band top; the menu-bar pieces beside the bar
  // rows [barTop, barBottom) when barBottom > barTop.
  void PaintSkin(TCanvas* canvas, int w, int h, const TsuiFileTheme* theme, TsuiTitleBar* titleBar, int top,
                 int barTop, int barBottom, TColor barFrom, TColor barTo) const;
  // The skin path's top edge of a frame without a title: the rows above the
  // client show the bottom band mirrored (after PaintSkin composed it).
  void PaintTopEdge(TCanvas* canvas, int w, int rows, const TsuiFileTheme* theme) const;
  // The built-in path's title strips continuing the title picture, and the
  // arcs of an 11-pixel round corner over a 1-pixel border.
  void PaintBuiltInTitle(TCanvas* canvas, int w, int bw, TsuiTitleBar* titleBar, bool dialogFrame,
                         TColor borderColor, int roundCorner) const;
  // Built-in: rounded corners; skin: the opaque pixels of the title and bottom images.
  void UpdateRegion(HWND window, int w, int h, bool skin, TsuiTitleBar* titleBar, int corner, int cornerBottom) const;

  int SkinBottomHeight = 0, SysBottomFrame = 4, SkinLeftWidth = 0, SysLeftFrame = 4, SkinRightWidth = 0;
  std::unique_ptr<TBitmap> BottomImage;
  TColor TransColor = kSkinMagenta;
  bool NeedTitleRegion = false, NeedBottomRegion = false;
  int TitleRegionMinY = -1, TitleRegionMaxY = -1, BottomRegionMinY = -1, BottomRegionMaxY = -1;

private:
  void ComposeBottomImage(const TsuiFileTheme* theme, int w) const;
};

// Rectangles given bottom-up fill the same rows.
void FillNormalized(TCanvas* canvas, TRect r, TColor color);

// What both frames do to their form's window.
namespace frame_window {
// Asks the window to compute and paint its frame anew.
void Recompute(HWND window);
// Takes the native caption away (when it is there), and gives it back with no region.
void RemoveCaption(HWND window);
void RestoreCaption(HWND window);
// A maximized form covers the work area, its frame just outside it.
void FitToWorkArea(TCustomForm* form);
// Paints on a canvas over the whole window, frame included: paint(canvas, width, height).
void PaintOnWindow(HWND window, const std::function<void(TCanvas*, int, int)>& paint);
}  // namespace frame_window
