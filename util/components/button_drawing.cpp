// Shared drawing pieces of the speed buttons.
#include "util/components/button_drawing.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"

int DrawCanvasText(TCanvas* canvas, const AnsiString& text, TRect& r, UINT flags) {
  canvas->RequireState(csHandleValid | csFontValid | csBrushValid);
  return DrawText(canvas->Handle(), text.c_str(), int(std::min<size_t>(text.size(), 255)), &r, flags);
}

void RecolorMonoBitmap(TBitmap* bitmap, TColor lightColor, TColor darkColor) {
  bitmap->SetPixelFormat(pf24bit);
  const TColor light = TColor(ColorToRGB(lightColor)), dark = TColor(ColorToRGB(darkColor));
  TCanvas* c = bitmap->Canvas();
  for (int y = 0; y < bitmap->Height(); ++y)
    for (int x = 0; x < bitmap->Width(); ++x) c->SetPixels(x, y, ColorToRGB(c->Pixels(x, y)) == 0 ? dark : light);
}

void DrawEmbossedText(TCanvas* canvas, const AnsiString& text, TRect& r, UINT flags) {
  if (flags & DT_CALCRECT) {
    DrawCanvasText(canvas, text, r, flags);
  } else {
    const TBrushStyle brushStyle = canvas->Brush()->Style();
    const TColor fontColor = canvas->Font()->Color();
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(clBtnHighlight);
    TRect shifted = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
    DrawCanvasText(canvas, text, shifted, flags);
    canvas->Font()->SetColor(clBtnShadow);
    DrawCanvasText(canvas, text, r, flags);
    canvas->Brush()->SetStyle(brushStyle);
    canvas->Font()->SetColor(fontColor);
  }
  r.Right += 1;
  r.Bottom += 1;
}
