// Shared drawing pieces of the speed buttons.
#include "util/components/button_drawing.h"

#include <algorithm>

#include "platform/gui/actions.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/gui/image_list.h"

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

std::unique_ptr<TBitmap> ActionPicture(const TCustomAction* action) {
  TImageList* images = action && action->ActionList() ? action->ActionList()->Images() : nullptr;
  const int index = action ? action->ImageIndex() : -1;
  if (!images || index < 0 || index >= images->Count()) return nullptr;
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(images->Width(), images->Height());
  picture->Canvas()->Brush()->SetColor(clFuchsia);
  picture->Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
  images->Draw(picture->Canvas(), 0, 0, index);
  picture->SetTransparentColor(clFuchsia);
  return picture;
}
