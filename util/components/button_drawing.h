// Drawing pieces shared by the speed buttons (with the canvas's one-pixel 3D
// frames): text drawn through a canvas, recolouring a two-colour picture, embossed text and
// the picture a button takes from its action.
#pragma once

#include <memory>

#include "platform/gui/canvas.h"
#include "platform/gui/gdi_types.h"
#include "platform/rtl/strings.h"

class TBitmap;
class TCustomAction;

// DrawText with the canvas's font and brush; at most 255 characters.
int DrawCanvasText(TCanvas* canvas, const AnsiString& text, TRect& r, UINT flags);
// The bitmap becomes 24-bit colour: black pixels DarkColor, all others LightColor.
void RecolorMonoBitmap(TBitmap* bitmap, TColor lightColor, TColor darkColor);
// Text in the highlight colour one pixel right and down, then in the shadow
// colour at R; with DT_CALCRECT only measured. R grows by one at right and bottom.
void DrawEmbossedText(TCanvas* canvas, const AnsiString& text, TRect& r, UINT flags);
// The picture a button without a glyph takes from its action: the image at
// the action's index in its list's images, drawn on fuchsia, which is the
// picture's transparent colour. None without a list, images or such an index.
std::unique_ptr<TBitmap> ActionPicture(const TCustomAction* action);
