// render-testcard: draws every operation of the drawing layer into labelled
// cells of one picture and writes it as PNG, so a person can check the look
// (edges, raster operations, stretching, regions, text, 3-D frames, icons).
#include <cstdio>
#include <fstream>
#include <functional>

#include "platform/gui/bitmap.h"
#include "platform/gui/icon.h"
#include "platform/gui/image_io.h"
#include "platform/gui/image_list.h"

namespace {

constexpr int kCellWidth = 200;
constexpr int kCellHeight = 150;
constexpr int kColumns = 4;
constexpr int kRows = 4;
constexpr int kTitleHeight = 16;

using CellPainter = std::function<void(TCanvas* c, HDC dc)>;

void Shapes(TCanvas* c, HDC) {
  c->Pen()->SetColor(clBlack);
  c->Brush()->SetColor(clYellow);
  c->Rectangle(10, 10, 60, 50);
  c->Brush()->SetColor(clAqua);
  c->Ellipse(70, 10, 130, 50);
  c->Brush()->SetColor(clLime);
  c->RoundRect(140, 10, 190, 50, 16, 16);
  c->Brush()->SetColor(clFuchsia);
  c->Polygon({{30, 60}, {50, 120}, {5, 80}, {55, 80}, {10, 120}});
  c->Pen()->SetColor(clRed);
  c->Pen()->SetWidth(2);
  c->Arc(70, 60, 130, 120, 130, 90, 70, 90);
  c->Pen()->SetWidth(1);
  c->Brush()->SetColor(clBlue);
  c->FrameRect(Rect(140, 60, 190, 120));
  c->Brush()->SetColor(clSilver);
  c->FillRect(Rect(145, 65, 185, 115));
}

void Lines(TCanvas* c, HDC) {
  for (int i = 0; i <= 8; ++i) {
    c->MoveTo(10, 10);
    c->LineTo(10 + i * 10, 90);
  }
  const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
  for (int i = 0; i < 5; ++i) {
    c->Pen()->SetStyle(styles[i]);
    c->MoveTo(110, 10 + i * 12);
    c->LineTo(190, 10 + i * 12);
  }
  c->Pen()->SetStyle(psSolid);
  c->Pen()->SetColor(clNavy);
  c->Polyline({{110, 80}, {130, 120}, {150, 80}, {170, 120}, {190, 80}});
}

void PatternAndFocus(TCanvas* c, HDC dc) {
  // The 8 x 8 checker of button face and highlight that latched buttons use.
  c->Brush()->SetBitmap(AllocPatternBitmap(clBtnFace, clBtnHighlight));
  c->FillRect(Rect(10, 10, 90, 60));
  c->Brush()->SetBitmap(nullptr);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(100, 10, 190, 60));
  RECT focus = Rect(105, 15, 185, 55);
  DrawFocusRect(dc, &focus);
  c->Brush()->SetColor(clWhite);
  RECT inverted = Rect(10, 70, 90, 120);
  c->FillRect(inverted);
  InvertRect(dc, &inverted);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(100, 80, "Focus, invert");
}

void RasterOps(TCanvas* c, HDC dc) {
  // A monochrome mask painted through DSPDxax: brush where the mask is white.
  HBITMAP mask = CreateBitmap(40, 40, 1, 1, nullptr);
  HDC maskDc = CreateCompatibleDC(nullptr);
  SelectObject(maskDc, mask);
  PatBlt(maskDc, 0, 0, 40, 40, WHITENESS);
  PatBlt(maskDc, 10, 10, 20, 20, BLACKNESS);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(10, 10, 90, 60));
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(dc, red);
  SetTextColor(dc, 0);
  SetBkColor(dc, 0xFFFFFF);
  BitBlt(dc, 20, 15, 40, 40, maskDc, 0, 0, 0x00E20746);
  SelectObject(dc, old);
  DeleteObject(red);
  // SRCINVERT and NOTSRCCOPY of the same mask.
  BitBlt(dc, 110, 15, 40, 40, maskDc, 0, 0, NOTSRCCOPY);
  c->Brush()->SetColor(clTeal);
  c->FillRect(Rect(10, 70, 190, 120));
  BitBlt(dc, 60, 75, 40, 40, maskDc, 0, 0, SRCINVERT);
  DeleteDC(maskDc);
  DeleteObject(mask);
}

void Stretching(TCanvas* c, HDC dc) {
  TBitmap bmp;
  bmp.LoadFromResourceName(0, "VX_TESTBITMAP");
  c->Draw(5, 5, &bmp);
  c->StretchDraw(Rect(30, 5, 94, 37), &bmp);  // nearest
  SetStretchBltMode(dc, HALFTONE);
  c->StretchDraw(Rect(100, 5, 164, 37), &bmp);
  SetStretchBltMode(dc, COLORONCOLOR);
  c->StretchDraw(Rect(94, 45, 30, 77), &bmp);  // mirrored left to right
  c->StretchDraw(Rect(100, 77, 164, 45), &bmp);  // mirrored top to bottom
  bmp.SetTransparent(true);
  c->Brush()->SetColor(clYellow);
  c->FillRect(Rect(5, 85, 95, 125));
  c->StretchDraw(Rect(10, 90, 90, 120), &bmp);
}

void ImageLists(TCanvas* c, HDC) {
  TBitmap glyph;
  glyph.SetSize(16, 16);
  TCanvas* g = glyph.Canvas();
  g->Brush()->SetColor(clFuchsia);
  g->FillRect(Rect(0, 0, 16, 16));
  g->Brush()->SetColor(clBlue);
  g->Pen()->SetColor(clBlack);
  g->Ellipse(2, 2, 14, 14);
  g->Pen()->SetColor(clWhite);
  g->MoveTo(5, 8);
  g->LineTo(11, 8);
  TImageList list(nullptr, 16, 16);
  list.AddMasked(&glyph, clFuchsia);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(10, 10, 190, 60));
  list.Draw(c, 20, 20, 0, true);
  list.Draw(c, 60, 20, 0, false);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(90, 22, "enabled, disabled");
  TIcon icon;
  icon.LoadFromResourceName(0, "MAINICON");
  c->Draw(20, 70, &icon);
  c->StretchDraw(Rect(70, 78, 86, 94), &icon);
  c->StretchDraw(Rect(100, 66, 148, 114), &icon);
}

void Regions(TCanvas*, HDC dc) {
  HRGN round = CreateRoundRectRgn(10, 10, 90, 70, 20, 20);
  HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
  FillRgn(dc, round, green);
  HRGN a = CreateRectRgn(110, 10, 170, 50), b = CreateEllipticRgn(130, 30, 190, 90);
  HRGN x = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(x, a, b, RGN_XOR);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 200));
  FillRgn(dc, x, blue);
  // A fill clipped to a region: only the ellipse of the rectangle shows.
  HRGN clip = CreateEllipticRgn(10, 80, 90, 125);
  POINT org;
  GetViewportOrgEx(dc, &org);
  OffsetRgn(clip, org.X, org.Y);  // clip regions are in device coordinates
  SaveDC(dc);
  SelectClipRgn(dc, clip);
  HBRUSH red = CreateSolidBrush(RGB(200, 0, 0));
  RECT r = Rect(0, 75, 100, 130);
  FillRect(dc, &r, red);
  RestoreDC(dc, -1);
  HBRUSH black = CreateSolidBrush(0);
  FrameRgn(dc, b, black, 1, 1);
  for (HRGN h : {round, a, b, x, clip}) DeleteObject(h);
  for (HBRUSH h : {green, blue, red, black}) DeleteObject(h);
}

void Fonts(TCanvas* c, HDC) {
  struct {
    const char* name;
    int size;
    TFontStyles style;
  } fonts[] = {{"Tahoma", 8, 0}, {"MS Sans Serif", 8, fsBold}, {"Arial", 10, fsItalic},
               {"Arial", 12, fsUnderline}, {"Tahoma", 14, fsBold}};
  c->Brush()->SetStyle(bsClear);
  int y = 4;
  for (const auto& f : fonts) {
    c->Font()->SetName(f.name);
    c->Font()->SetSize(f.size);
    c->Font()->SetStyle(f.style);
    c->TextOut(6, y, AnsiString(f.name) + " " + std::to_string(f.size));
    y += c->TextHeight("Ag") + 2;
  }
  c->Font()->SetName("Tahoma");
  c->Font()->SetSize(8);
  c->Font()->SetStyle(0);
  c->Font()->SetColor(clMaroon);
  c->TextOut(6, y + 4, "Příliš žluťoučký kůň úpěl");
}

void DrawTexts(TCanvas* c, HDC dc) {
  c->Font()->SetName("MS Sans Serif");
  c->Font()->SetSize(8);
  c->Brush()->SetColor(clWhite);
  RECT boxes[] = {Rect(5, 5, 95, 60), Rect(105, 5, 195, 60), Rect(5, 70, 95, 125), Rect(105, 70, 195, 125)};
  for (const RECT& b : boxes) c->FillRect(b);
  c->Brush()->SetStyle(bsClear);
  HDC h = c->Handle();
  const char* wrapped = "Záloha databáze vytvořena! Slova se zalomí.";
  RECT r = boxes[0];
  DrawText(h, wrapped, -1, &r, DT_WORDBREAK | DT_CENTER);
  r = boxes[1];
  DrawText(h, "&Soubor", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  r = boxes[2];
  DrawText(h, "Vpravo\r\ndva řádky", -1, &r, DT_RIGHT);
  r = boxes[3];
  DrawText(h, "a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_BOTTOM);
  (void)dc;
}

void Edges(TCanvas* c, HDC dc) {
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, kCellWidth, kCellHeight - kTitleHeight));
  const UINT kinds[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP};
  for (int i = 0; i < 4; ++i) {
    RECT r = Bounds(5 + i * 48, 5, 42, 30);
    DrawEdge(dc, &r, kinds[i], BF_RECT);
  }
  struct {
    UINT type, state;
  } controls[] = {{DFC_BUTTON, DFCS_BUTTONPUSH},
                  {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
                  {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
                  {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
                  {DFC_SCROLL, DFCS_SCROLLUP},
                  {DFC_SCROLL, DFCS_SCROLLDOWN},
                  {DFC_SCROLL, DFCS_SCROLLLEFT},
                  {DFC_SCROLL, DFCS_SCROLLRIGHT},
                  {DFC_CAPTION, DFCS_CAPTIONCLOSE},
                  {DFC_CAPTION, DFCS_CAPTIONMIN},
                  {DFC_CAPTION, DFCS_CAPTIONMAX},
                  {DFC_CAPTION, DFCS_CAPTIONRESTORE}};
  for (int i = 0; i < 12; ++i) {
    RECT r = Bounds(8 + (i % 6) * 30, 45 + (i / 6) * 35, i < 4 ? 24 : 16, i < 4 ? 24 : 16);
    if (i == 0 || i == 1) r = Bounds(8 + i * 30, 45, 26, 22);
    DrawFrameControl(dc, &r, controls[i].type, controls[i].state);
  }
}

void Pixels(TCanvas* c, HDC) {
  // Exclusive edges: a 4 x 4 fill next to its frame, magnified.
  TBitmap small;
  small.SetSize(8, 8);
  small.Canvas()->Brush()->SetColor(clWhite);
  small.Canvas()->FillRect(Rect(0, 0, 8, 8));
  small.Canvas()->Brush()->SetColor(clRed);
  small.Canvas()->FillRect(Rect(2, 2, 6, 6));
  small.Canvas()->Pen()->SetColor(clBlue);
  small.Canvas()->MoveTo(0, 7);
  small.Canvas()->LineTo(7, 0);  // the end point stays white
  c->StretchDraw(Rect(10, 10, 90, 90), &small);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(100, 30, "fill (2,2)-(6,6)");
  c->TextOut(100, 50, "line to (7,0)");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: render-testcard <output.png>\n");
    return 2;
  }
  const std::pair<const char*, CellPainter> cells[] = {
      {"Shapes", Shapes},      {"Lines and pens", Lines}, {"Pattern, focus", PatternAndFocus},
      {"Raster operations", RasterOps}, {"Stretching", Stretching}, {"Image lists, icons", ImageLists},
      {"Regions", Regions},    {"Fonts", Fonts},          {"DrawText", DrawTexts},
      {"3-D edges, frames", Edges}, {"Pixel conventions", Pixels}};
  try {
    TBitmap card;
    card.SetSize(kCellWidth * kColumns, kCellHeight * kRows);
    TCanvas* c = card.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, card.Width(), card.Height()));
    HDC dc = c->Handle();
    for (size_t i = 0; i < std::size(cells); ++i) {
      const int x = int(i % kColumns) * kCellWidth, y = int(i / kColumns) * kCellHeight;
      c->Font()->SetName("Tahoma");
      c->Font()->SetSize(8);
      c->Font()->SetStyle(fsBold);
      c->Font()->SetColor(clWhite);
      c->Brush()->SetColor(clNavy);
      c->FillRect(Rect(x, y, x + kCellWidth, y + kTitleHeight));
      c->Brush()->SetStyle(bsClear);
      c->TextOut(x + 4, y + 1, cells[i].first);
      c->Font()->SetStyle(0);
      c->Font()->SetColor(clBlack);
      c->Pen()->SetColor(clBlack);
      c->Brush()->SetColor(clWhite);
      SaveDC(dc);
      SetViewportOrgEx(dc, x, y + kTitleHeight, nullptr);
      IntersectClipRect(dc, 0, 0, kCellWidth, kCellHeight - kTitleHeight);
      cells[i].second(c, dc);
      RestoreDC(dc, -1);
      // Reset the canvas tools after each cell.
      c->Pen()->SetWidth(1);
      c->Pen()->SetStyle(psSolid);
      c->Brush()->SetBitmap(nullptr);
      c->Brush()->SetStyle(bsSolid);
    }
    const Bytes png = WritePng(*card.Handle());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    if (!out) throw Exception("Cannot write " + AnsiString(argv[1]));
  } catch (const Exception& e) {
    std::fprintf(stderr, "render-testcard: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
