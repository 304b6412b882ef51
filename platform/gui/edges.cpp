// The classic 3-D look: DrawEdge's raised, sunken, etched and bump borders
// and DrawFrameControl's push buttons, check boxes, radio buttons, scroll
// arrows and caption buttons, all in the fixed system colours.
#include <algorithm>

#include "platform/gui/colors.h"
#include "platform/gui/raster.h"

using namespace gdi_detail;

namespace {

void Fill(HDC dc, const TRect& r, int sysColor) {
  if (r.Left >= r.Right || r.Top >= r.Bottom) return;
  GdiBrush brush;
  brush.color = GetSysColor(sysColor);
  FillWithBrush(*dc, dc->ToTarget(r), brush, 0xF0);
}

// One-pixel frame: topLeft colour on the top and left edges, bottomRight on
// the bottom and right ones, of the sides named by flags.
void Frame(HDC dc, const TRect& r, int topLeft, int bottomRight, UINT flags) {
  if (topLeft >= 0 && (flags & BF_TOP)) Fill(dc, {r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
  if (topLeft >= 0 && (flags & BF_LEFT)) Fill(dc, {r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
  if (bottomRight >= 0 && (flags & BF_BOTTOM)) Fill(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
  if (bottomRight >= 0 && (flags & BF_RIGHT)) Fill(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

struct EdgeColors {
  int topLeft;
  int bottomRight;
};

// Colours of the outer and inner border lines; soft edges light the outer
// line with the highlight instead of the 3-D light.
EdgeColors OuterColors(UINT edge, UINT flags) {
  const bool soft = flags & BF_SOFT;
  if (flags & BF_MONO) return {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
  if (flags & BF_FLAT) return {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  if (edge & BDR_RAISEDOUTER) return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  if (edge & BDR_SUNKENOUTER) return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
  return {-1, -1};
}

EdgeColors InnerColors(UINT edge, UINT flags) {
  const bool soft = flags & BF_SOFT;
  if (flags & (BF_MONO | BF_FLAT)) return {-1, -1};
  if (edge & BDR_RAISEDINNER) return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  if (edge & BDR_SUNKENINNER) return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  return {-1, -1};
}

TRect Shrink(const TRect& r, UINT flags, int by) {
  return {r.Left + ((flags & BF_LEFT) ? by : 0), r.Top + ((flags & BF_TOP) ? by : 0),
          r.Right - ((flags & BF_RIGHT) ? by : 0), r.Bottom - ((flags & BF_BOTTOM) ? by : 0)};
}

// A filled triangle pointing in a direction, centred in r, for arrows.
void Arrow(HDC dc, const TRect& r, int direction, int sysColor) {
  const int size = std::max(2, std::min(r.Width(), r.Height()) / 3);
  const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  for (int i = 0; i < size; ++i) {
    const int half = size - 1 - i;  // rows narrowing towards the point
    switch (direction) {
      case DFCS_SCROLLUP: Fill(dc, {cx - i, cy - size / 2 + i, cx + i + 1, cy - size / 2 + i + 1}, sysColor); break;
      case DFCS_SCROLLDOWN: Fill(dc, {cx - half, cy - size / 2 + i, cx + half + 1, cy - size / 2 + i + 1}, sysColor); break;
      case DFCS_SCROLLLEFT: Fill(dc, {cx - size / 2 + i, cy - i, cx - size / 2 + i + 1, cy + i + 1}, sysColor); break;
      default: Fill(dc, {cx - size / 2 + i, cy - half, cx - size / 2 + i + 1, cy + half + 1}, sysColor); break;
    }
  }
}

void CheckMark(HDC dc, const TRect& r, int sysColor) {
  // A tick seven pixels wide and three thick: down for three columns, then up.
  static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
  const int x = r.Left + (r.Width() - 7) / 2, y = r.Top + (r.Height() - 7) / 2;
  for (int i = 0; i < 7; ++i) Fill(dc, {x + i, y + kTop[i], x + i + 1, y + kTop[i] + 3}, sysColor);
}

void PushButton(HDC dc, RECT* rect, UINT state) {
  TRect r = *rect;
  if (state & (DFCS_PUSHED | DFCS_CHECKED)) {
    Frame(dc, r, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, BF_RECT);
    r = Shrink(r, BF_RECT, 1);
    Frame(dc, r, COLOR_BTNSHADOW, COLOR_BTNSHADOW, BF_RECT);
    r = Shrink(r, BF_RECT, 1);
  } else {
    RECT e = r;
    DrawEdge(dc, &e, EDGE_RAISED, BF_RECT | BF_SOFT | BF_ADJUST);
    r = e;
  }
  Fill(dc, r, COLOR_BTNFACE);
  if (state & DFCS_ADJUSTRECT) *rect = r;
}

void CheckBox(HDC dc, const TRect& box, UINT state) {
  RECT r = box;
  DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  Fill(dc, r, (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
  if (state & DFCS_CHECKED) CheckMark(dc, r, (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
}

void RadioButton(HDC dc, const TRect& box, UINT state) {
  Fill(dc, Shrink(box, BF_RECT, 2), (state & DFCS_INACTIVE) ? COLOR_BTNFACE : COLOR_WINDOW);
  // A circle from its two half outlines, dark above-left and light below-right.
  const int n = std::min(box.Width(), box.Height());
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const double dx = x + 0.5 - n / 2.0, dy = y + 0.5 - n / 2.0, d = dx * dx + dy * dy, r = n / 2.0;
      if (d > r * r || d < (r - 1.5) * (r - 1.5)) continue;
      Fill(dc, {box.Left + x, box.Top + y, box.Left + x + 1, box.Top + y + 1},
           dx + dy < 0 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    }
  if (state & DFCS_CHECKED) {
    const int c = n / 4;
    Fill(dc, {box.Left + n / 2 - c / 2 - 1, box.Top + n / 2 - c / 2 - 1, box.Left + n / 2 + c / 2 + 1,
              box.Top + n / 2 + c / 2 + 1},
         (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
  }
}

void CaptionGlyph(HDC dc, const TRect& r, UINT kind, int color) {
  const int w = r.Width(), h = r.Height();
  const TRect inner{r.Left + w / 4, r.Top + h / 4, r.Right - w / 4, r.Bottom - h / 4};
  switch (kind) {
    case DFCS_CAPTIONMIN: Fill(dc, {inner.Left, inner.Bottom - 2, inner.Right - 2, inner.Bottom}, color); break;
    case DFCS_CAPTIONMAX:
      Frame(dc, inner, color, color, BF_RECT);
      Fill(dc, {inner.Left, inner.Top + 1, inner.Right, inner.Top + 2}, color);
      break;
    case DFCS_CAPTIONRESTORE:
      Frame(dc, {inner.Left + 2, inner.Top, inner.Right, inner.Bottom - 2}, color, color, BF_RECT);
      Frame(dc, {inner.Left, inner.Top + 2, inner.Right - 2, inner.Bottom}, color, color, BF_RECT);
      break;
    default:  // close: two diagonals
      for (int i = 0; i < inner.Width() && i < inner.Height(); ++i) {
        Fill(dc, {inner.Left + i, inner.Top + i, inner.Left + i + 2, inner.Top + i + 1}, color);
        Fill(dc, {inner.Right - i - 2, inner.Top + i, inner.Right - i, inner.Top + i + 1}, color);
      }
  }
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags) {
  if (!dc || !rect) return 0;
  TRect r = *rect;
  const EdgeColors outer = OuterColors(edge, flags), inner = InnerColors(edge, flags);
  if (outer.topLeft >= 0 || outer.bottomRight >= 0) {
    Frame(dc, r, outer.topLeft, outer.bottomRight, flags);
    r = Shrink(r, flags, 1);
  }
  if (inner.topLeft >= 0 || inner.bottomRight >= 0) {
    Frame(dc, r, inner.topLeft, inner.bottomRight, flags);
    r = Shrink(r, flags, 1);
  }
  if (flags & BF_MIDDLE) Fill(dc, r, (flags & BF_FLAT) ? COLOR_WINDOW : COLOR_BTNFACE);
  if (flags & BF_ADJUST) *rect = r;
  return 1;
}

BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state) {
  if (!dc || !rect) return 0;
  const TRect r = *rect;
  const int glyph = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
  switch (type) {
    case DFC_BUTTON:
      if (state & DFCS_BUTTONPUSH) PushButton(dc, rect, state);
      else if (state & DFCS_BUTTONRADIO) RadioButton(dc, r, state);
      else CheckBox(dc, r, state);
      return 1;
    case DFC_SCROLL: {
      RECT face = r;
      PushButton(dc, &face, state | DFCS_ADJUSTRECT);
      const int shift = (state & DFCS_PUSHED) ? 1 : 0;
      const UINT direction = (state & 0xF) == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : (state & 0xF);
      Arrow(dc, {r.Left + shift, r.Top + shift, r.Right + shift, r.Bottom + shift}, int(direction), glyph);
      return 1;
    }
    case DFC_CAPTION: {
      RECT face = r;
      PushButton(dc, &face, state | DFCS_ADJUSTRECT);
      CaptionGlyph(dc, face, state & 0xF, glyph);
      return 1;
    }
    case DFC_MENU:
      if ((state & 0xF) == DFCS_MENUARROW) Arrow(dc, r, DFCS_SCROLLRIGHT, COLOR_MENUTEXT);
      else CheckMark(dc, r, COLOR_MENUTEXT);
      return 1;
  }
  return 0;
}
