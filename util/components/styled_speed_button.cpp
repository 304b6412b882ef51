// The styled speed button and its picture: state images, layout, the three
// looks, the press with its group and menu part, and hover for flat buttons.
#include "util/components/styled_speed_button.h"

#include <algorithm>

#include "platform/gui/actions.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/gui/menus.h"
#include "platform/gui/user.h"
#include "util/components/button_drawing.h"
#include "util/components/glyph_cache.h"
#include "util/drawing/drawing_routines.h"

namespace {
// This family's own cache of picture lists; it goes with the last list.
TUtlGlyphCache* g_cache = nullptr;

bool IsDown(TSpeedButtonState s) { return s == sbDown || s == sbLatched; }
}  // namespace

// --- TUtlStyledButtonGlyph --------------------------------------------------------------------

TUtlStyledButtonGlyph::TUtlStyledButtonGlyph() : source_(std::make_unique<TBitmap>()), images_(g_cache) {
  source_->OnChange = [this](TObject*) { SourceChanged(); };
}

TUtlStyledButtonGlyph::~TUtlStyledButtonGlyph() = default;

void TUtlStyledButtonGlyph::SourceChanged() {
  maskColor_ = source_->TransparentColor();
  ReleaseImages();
  if (OnGlyphChange) OnGlyphChange(nullptr);
}

void TUtlStyledButtonGlyph::AssignGlyph(TBitmap* bitmap) {
  ReleaseImages();
  source_->Assign(bitmap);
  if (bitmap && bitmap->Height() > 0) {
    maskColor_ = bitmap->TransparentColor();
    if (bitmap->Width() % bitmap->Height() == 0) {
      const int count = bitmap->Width() / bitmap->Height();
      SetImageCount(count > 4 ? 1 : count);
    }
  }
}

void TUtlStyledButtonGlyph::SetImageCount(int count) {
  if (count == numGlyphs_ || count == 0) return;
  ReleaseImages();
  numGlyphs_ = count;
  SourceChanged();
}

void TUtlStyledButtonGlyph::ReleaseImages() { images_.Release(); }

int TUtlStyledButtonGlyph::StateImage(TSpeedButtonState state) {
  if (state == sbDown && numGlyphs_ < 3) state = sbUp;
  int& index = images_.Index(state);
  if (index != -1) return index;
  if (source_->Empty() || (source_->Width() == 0 && source_->Height() == 0)) return -1;
  const int w = source_->Width() / numGlyphs_, h = source_->Height();
  TUtlGlyphList* store = images_.ListFor(w, h);
  TBitmap image;
  image.SetSize(w, h);
  const int slot = state < numGlyphs_ ? state : 0;
  image.Canvas()->CopyRect(Rect(0, 0, w, h), source_->Canvas(), Bounds(slot * w, 0, w, h));
  if (state != sbDisabled) {
    index = store->AddMaskedImage(&image, source_->TransparentMode() == tmFixed ? maskColor_ : clDefault);
  } else if (numGlyphs_ >= 2) {
    // The source's own disabled image, recoloured to the system's button colours.
    TCanvas* c = image.Canvas();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const TColor p = c->Pixels(x, y);
        if (p == maskColor_) c->SetPixels(x, y, TColor(ColorToRGB(clBtnFace)));
        else if (ColorToRGB(p) == RGB(255, 255, 255)) c->SetPixels(x, y, TColor(ColorToRGB(clBtnHighlight)));
        else if (ColorToRGB(p) == RGB(128, 128, 128)) c->SetPixels(x, y, TColor(ColorToRGB(clBtnShadow)));
      }
    index = store->AddMaskedImage(&image, clDefault);
  } else {
    auto etched = MakeDisabledBitmap(&image, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
    index = store->AddMaskedImage(etched.get(), clDefault);
  }
  source_->Dormant();
  return index;
}

void TUtlStyledButtonGlyph::ComputeLayout(TCanvas* canvas, const TRect& client, int offset,
                                          const AnsiString& caption, TButtonLayout layout, int margin, int spacing,
                                          unsigned textFlags, TPoint& picture, TRect& text) const {
  if (textFlags & DT_RIGHT) {
    if (layout == blGlyphLeft) layout = blGlyphRight;
    else if (layout == blGlyphRight) layout = blGlyphLeft;
  }
  const TPoint c{client.Width(), client.Height()};
  const TPoint p = source_->Empty() ? TPoint{} : TPoint{source_->Width() / numGlyphs_, source_->Height()};
  text = TRect{};
  if (!caption.empty()) {
    text = Rect(0, 0, client.Width(), 0);
    DrawCanvasText(canvas, caption, text, textFlags | DT_CALCRECT);
  }
  const TPoint s{text.Width(), text.Height()};
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  TPoint picPos, textPos;
  if (across) {
    picPos.Y = (c.Y - p.Y + 1) / 2;
    textPos.Y = (c.Y - s.Y + 1) / 2;
  } else {
    picPos.X = (c.X - p.X + 1) / 2;
    textPos.X = (c.X - s.X + 1) / 2;
  }
  if (s.X == 0 || p.X == 0) spacing = 0;
  const int cA = across ? c.X : c.Y, pA = across ? p.X : p.Y, sA = across ? s.X : s.Y;
  if (margin == -1 && spacing == -1) {
    margin = (cA - (pA + sA)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = (cA - (pA + spacing + sA) + 1) / 2;
  } else if (spacing == -1) {
    spacing = (cA - (margin + pA) - sA) / 2;
  }
  int& picA = across ? picPos.X : picPos.Y;
  int& textA = across ? textPos.X : textPos.Y;
  if (layout == blGlyphLeft || layout == blGlyphTop) {
    picA = margin;
    textA = picA + pA + spacing;
  } else {
    picA = cA - margin - pA;
    textA = picA - spacing - sA;
  }
  picture = {picPos.X + client.Left + offset, picPos.Y + client.Top + offset};
  text = Bounds(textPos.X + client.Left + offset, textPos.Y + client.Top + offset, s.X, s.Y);
}

void TUtlStyledButtonGlyph::DrawAll(TCanvas* canvas, const TRect& client, int offset, const AnsiString& caption,
                                    TButtonLayout layout, int margin, int spacing, TSpeedButtonState state,
                                    TUtlSpeedButtonStyle, unsigned textFlags) {
  TPoint picture;
  TRect text;
  ComputeLayout(canvas, client, offset, caption, layout, margin, spacing, textFlags, picture, text);
  const int index = StateImage(state);
  if (index != -1) images_.List()->Draw(canvas, picture.X, picture.Y, index);
  if (caption.empty()) return;
  const UINT flags = textFlags | DT_CENTER | DT_VCENTER;
  canvas->Brush()->SetStyle(bsClear);
  if (state == sbDisabled)
    DrawEmbossedText(canvas, caption, text, flags);
  else
    DrawCanvasText(canvas, caption, text, flags);
}

// --- TUtlStyledSpeedButton --------------------------------------------------------------------

TUtlStyledSpeedButton::TUtlStyledSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TUtlStyledButtonGlyph>()) {
  glyph_->OnGlyphChange = [this](TObject*) { Invalidate(); };
  SetBounds(0, 0, 22, 23);
  SetControlStyle(csCaptureMouse | csDoubleClicks);
  SetParentFont(true);
  SetColor(clBtnFace);
}

TUtlStyledSpeedButton::~TUtlStyledSpeedButton() = default;

void TUtlStyledSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->AssignGlyph(value);
  Invalidate();
}

void TUtlStyledSpeedButton::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == glyph_->NumGlyphs()) return;
  glyph_->SetImageCount(value);
  Invalidate();
}

void TUtlStyledSpeedButton::SetStyle(TUtlSpeedButtonStyle value) {
  if (value == style_) return;
  style_ = value;
  if (FixedLook()) {
    groupIndex_ = 0;
    down_ = false;
    allowAllUp_ = false;
    NotifyGroup();
    if (value == sbsComboButton) flat_ = transparent_ = false;
  }
  Invalidate();
}

void TUtlStyledSpeedButton::SetGroupIndex(int value) {
  if (FixedLook()) value = 0;
  if (value == groupIndex_) return;
  groupIndex_ = value;
  NotifyGroup();
}

void TUtlStyledSpeedButton::SetAllowAllUp(bool value) {
  if (FixedLook()) value = false;
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  NotifyGroup();
}

void TUtlStyledSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0 || style_ == sbsMenu) value = false;
  if (value == down_ || (down_ && !allowAllUp_)) return;
  down_ = value;
  if (value) {
    state_ = sbLatched;
    Invalidate();
    NotifyGroup();
  } else {
    state_ = sbUp;
    Repaint();
  }
}

void TUtlStyledSpeedButton::SetFlat(bool value) { Store(flat_, value && style_ != sbsComboButton); }

void TUtlStyledSpeedButton::SetTransparent(bool value) {
  value = value && style_ != sbsComboButton;
  if (value == transparent_) return;
  transparent_ = value;
  SetControlStyle(value ? ControlStyle() & ~unsigned(csOpaque) : ControlStyle() | csOpaque);
  Invalidate();
}

void TUtlStyledSpeedButton::SetMargin(int value) {
  if (value >= -1) Store(margin_, value);
}

// The button does not outlive the menu it would show.
void TUtlStyledSpeedButton::SetDropDownMenu(TPopupMenu* value) {
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TUtlStyledSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == dropDownMenu_) dropDownMenu_ = nullptr;
}

void TUtlStyledSpeedButton::ActionChange(TObject* sender, bool checkDefaults) {
  TGraphicControl::ActionChange(sender, checkDefaults);
  if (!Glyph()->Empty()) return;
  if (const auto picture = ActionPicture(dynamic_cast<TCustomAction*>(sender))) SetGlyph(picture.get());
}

void TUtlStyledSpeedButton::SetEnabled(bool value) {
  TGraphicControl::SetEnabled(value);
  glyph_->StateImage(value ? sbUp : sbDisabled);
  RefreshHover();
  Invalidate();
}

void TUtlStyledSpeedButton::NotifyGroup() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage m{CM_BUTTONPRESSED, WPARAM(groupIndex_), LPARAM(this), 0};
  Parent()->Broadcast(m);
}

void TUtlStyledSpeedButton::RefreshHover() {
  if (!flat_ || !Enabled()) return;
  TPoint p;
  GetCursorPos(&p);
  hovered_ = FindDragTarget(p, true) != this;
  Perform(hovered_ ? CM_MOUSELEAVE : CM_MOUSEENTER, 0, 0);
}

// --- mouse ------------------------------------------------------------------------------------

void TUtlStyledSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (style_ == sbsMenu) {
    menuPartPressed_ = InArrowPart(x);
    state_ = menuPartPressed_ ? sbMenuDown : sbDown;
    Invalidate();
  } else if (!down_) {
    state_ = sbDown;
    Invalidate();
  }
  dragging_ = true;
}

void TUtlStyledSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) {
    if (!hovered_) RefreshHover();
    return;
  }
  TSpeedButtonState now;
  if (style_ != sbsMenu) {
    now = down_ ? sbLatched : x >= 0 && x < Width() && y >= 0 && y <= Height() ? sbDown : sbUp;
  } else if (x < 0 || x >= Width() || y < 0 || y >= Height()) {
    now = sbUp;
  } else if (menuPartPressed_) {
    now = InArrowPart(x) ? sbMenuDown : sbUp;
  } else {
    now = sbDown;
  }
  // Crossing between the main and the arrow part does not count.
  const bool partSwap = (now == sbDown && state_ == sbMenuDown) || (now == sbMenuDown && state_ == sbDown);
  if (now == state_ || partSwap) return;
  state_ = now;
  Invalidate();
}

void TUtlStyledSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  bool click;
  if (style_ == sbsMenu) {
    const bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
    click = inside && !menuPartPressed_;
    const bool menu = inside && InArrowPart(x) && menuPartPressed_;
    if (menu && dropDownMenu_) {
      const TPoint at = ClientToScreen(Point(0, Height()));
      dropDownMenu_->Popup(at.X, at.Y);
    }
    state_ = sbUp;
    menuPartPressed_ = false;
    hovered_ = false;
    if (click || menu) Invalidate();
  } else {
    click = x >= 0 && x < Width() && y >= 0 && y <= Height();
    if (groupIndex_ == 0) {
      state_ = sbUp;
      hovered_ = false;
      if (click) Invalidate();
    } else if (click) {
      SetDown(!down_);
    } else {
      if (down_) state_ = sbLatched;
      Repaint();
    }
  }
  if (click) Click();
  RefreshHover();
}

// --- messages ---------------------------------------------------------------------------------

void TUtlStyledSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: {
      auto* sender = dynamic_cast<TUtlStyledSpeedButton*>(reinterpret_cast<TObject*>(m.LParam));
      if (int(m.WParam) != groupIndex_ || !sender || sender == this) return;
      if (sender->down_ && down_) {
        down_ = false;
        state_ = sbUp;
        Invalidate();
      }
      allowAllUp_ = sender->allowAllUp_;
      return;
    }
    case CM_MOUSEENTER:
      TGraphicControl::WndProc(m);
      if (flat_ && !hovered_ && Enabled() && !GetCapture()) {
        hovered_ = true;
        Repaint();
      }
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::WndProc(m);
      if (flat_ && hovered_ && Enabled() && !dragging_) {
        hovered_ = false;
        Invalidate();
      }
      return;
    case WM_LBUTTONDBLCLK:
      TGraphicControl::WndProc(m);
      if (down_ && OnDblClick) OnDblClick(this);
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      TGraphicControl::WndProc(m);
      Invalidate();
      return;
    default:
      TGraphicControl::WndProc(m);
  }
}

// --- painting ---------------------------------------------------------------------------------

void TUtlStyledSpeedButton::DrawEdges(TCanvas* c, TRect r, bool sunken) const {
  c->RequireState(csHandleValid);
  DrawEdge(c->Handle(), &r, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (transparent_ ? 0u : BF_MIDDLE));
}

void TUtlStyledSpeedButton::Paint() {
  if (!Enabled()) {
    state_ = sbDisabled;
    dragging_ = false;
  } else if (state_ == sbDisabled) {
    state_ = down_ && groupIndex_ != 0 && style_ != sbsMenu ? sbLatched : sbUp;
  }
  Canvas()->Font()->Assign(Font());
  if (style_ == sbsMenu)
    PaintMenuButton();
  else
    PaintButton();
}

void TUtlStyledSpeedButton::PaintButton() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  const bool down = IsDown(state_);
  if (!flat_ && style_ == sbsNormal) {
    c->RequireState(csHandleValid);
    DrawFrameControl(c->Handle(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (down ? DFCS_PUSHED : 0u));
  } else if (!flat_) {
    if (down) {
      Frame3D(c, r, clBtnShadow, clBtnShadow);
    } else {
      Frame3D(c, r, clBtnFace, cl3DDkShadow);
      Frame3D(c, r, clBtnHighlight, clBtnShadow);
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
  } else {
    if (down || (hovered_ && state_ != sbDisabled) || (ComponentState() & csDesigning)) DrawEdges(c, r, down);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
  int offset = style_ == sbsComboButton ? -1 : 0;
  if (down) {
    if (state_ == sbLatched && (!flat_ || !hovered_)) {
      c->Brush()->SetBitmap(AllocPatternBitmap(clBtnFace, clBtnHighlight));
      c->FillRect(r);
      c->Brush()->SetBitmap(nullptr);
    }
    offset = style_ == sbsNormal ? 1 : 0;
  }
  glyph_->DrawAll(c, r, offset, Caption(), layout_, margin_, spacing_, state_, style_, 0);
}

void TUtlStyledSpeedButton::PaintMenuButton() {
  TCanvas* c = Canvas();
  TRect main = Rect(0, 0, Width() - menuButtonWidth_, Height());
  TRect arrow = Rect(Width() - menuButtonWidth_, 0, Width(), Height());
  const bool arrowDown = state_ == sbDown || state_ == sbMenuDown;
  if (flat_) {
    if (arrowDown || (hovered_ && state_ != sbDisabled) || (ComponentState() & csDesigning)) {
      DrawEdges(c, main, state_ == sbDown);
      DrawEdges(c, arrow, arrowDown);
    } else if (!transparent_) {
      c->Brush()->SetStyle(bsSolid);
      c->Brush()->SetColor(Color());
      c->FillRect(main);
      c->FillRect(arrow);
    }
    main = Rect(main.Left + 1, main.Top + 1, main.Right - 1, main.Bottom - 1);
  } else {
    c->RequireState(csHandleValid);
    DrawFrameControl(c->Handle(), &main, DFC_BUTTON, DFCS_BUTTONPUSH | (state_ == sbDown ? DFCS_PUSHED : 0u));
    TRect a = arrow;
    DrawFrameControl(c->Handle(), &a, DFC_BUTTON, DFCS_BUTTONPUSH | (arrowDown ? DFCS_PUSHED : 0u));
  }
  glyph_->DrawAll(c, main, state_ == sbDown ? 1 : 0, Caption(), layout_, margin_, spacing_, state_, style_, 0);
  // The arrow: a downward triangle in the middle of the arrow part.
  TRect a = Rect(arrow.Left + 1, arrow.Top + 1, arrow.Right - 1, arrow.Bottom - 1);
  if (arrowDown) {
    a.Bottom += 1;
    if (flat_) a = Rect(a.Left + 1, a.Top, a.Right + 1, a.Bottom);
  } else if (!flat_) {
    a.Left -= 1;
  }
  const int half = std::max(1, a.Width() / 4);
  const int cx = (a.Left + a.Right) / 2, top = (a.Top + a.Bottom - half) / 2;
  const TColor color = state_ == sbDisabled ? clBtnShadow : clBtnText;
  if (state_ == sbDisabled) {
    c->Pen()->SetColor(clBtnHighlight);
    for (int row = 0; row < half; ++row) {
      c->MoveTo(cx - half + row + 2, top + row + 1);
      c->LineTo(cx + half - row + 1, top + row + 1);
    }
  }
  c->Pen()->SetColor(color);
  for (int row = 0; row < half; ++row) {
    c->MoveTo(cx - half + row + 1, top + row);
    c->LineTo(cx + half - row, top + row);
  }
}
