// The outline of a skinned frame's window: with a skin, the opaque pixels of
// the title and bottom pictures (so transparent corners are cut away); in
// the built-in styles, rounded top and bottom corners.
#pragma once

#include "platform/gui/gdi_types.h"
#include "platform/gui/user.h"

class TBitmap;

struct TSkinRegionSource {
  TBitmap* TitleImage = nullptr;
  TBitmap* BottomImage = nullptr;
  int Width = 0, Height = 0;
  TColor TransColor = 0;
  int TitleMinY = -1, TitleMaxY = -1, BottomMinY = -1, BottomMaxY = -1;
  bool NeedTitle = false, NeedBottom = false;
};

// The skin region in window coordinates (the caller owns it). Rows outside
// the scanned range count as opaque over the whole width; the limits a skin
// gives are kept inside its picture.
HRGN MakeSkinRegion(const TSkinRegionSource& source);
// Builds the skin region and hands it to the window, with redraw.
void SetRegionFromSkin(HWND window, const TSkinRegionSource& source);
// Rounded top corners of radius topRadius and bottom corners of bottomRadius
// for a window of width x height (one pixel wider and taller, as the
// platform's rounded regions leave out their right and bottom edge).
HRGN MakeBuiltInRegion(int width, int height, int topRadius, int bottomRadius);
