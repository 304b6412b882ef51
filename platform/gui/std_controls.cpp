// TLabel, TButton, TCustomPanel and TImage.
#include "platform/gui/std_controls.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/rtl/text.h"

namespace {
// Stores a changed value and repaints.
template <class T>
void Change(TControl* control, T& field, T value) {
  if (field == value) return;
  field = value;
  control->Invalidate();
}
}  // namespace

// --- TCustomLabel ----------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  TControl::SetBounds(0, 0, 65, 17);
}

UINT TCustomLabel::TextFlags() const {
  UINT flags = alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags | DT_EXPANDTABS;
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  if (!transparent_) {
    c->Brush()->SetColor(Color());
    c->FillRect(r);
  }
  c->Brush()->SetStyle(bsClear);
  HDC dc = c->Handle();
  if (layout_ != tlTop) {
    TRect calc = r;
    DrawTextA(dc, Caption().c_str(), int(Caption().size()), &calc, TextFlags() | DT_CALCRECT);
    const int offset = r.Height() - calc.Height();
    r.Top += layout_ == tlCenter ? offset / 2 : offset;
  }
  if (!Enabled()) SetTextColor(dc, ColorToRGB(clGrayText));
  DrawTextA(dc, Caption().c_str(), int(Caption().size()), &r, TextFlags());
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || InState(csLoading)) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  RECT r{0, 0, wordWrap_ ? Width() : 0, 0};
  const AnsiString text = Caption().empty() ? AnsiString(" ") : Caption();
  DrawTextA(dc, text.c_str(), int(text.size()), &r, TextFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - r.Right;
  else if (alignment_ == taCenter) left += (Width() - r.Right) / 2;
  SetBounds(left, Top(), r.Right, r.Bottom);
}

void TCustomLabel::WndProc(TMessage& m) {
  // The label's "&" letter takes the focus to its control.
  if (m.Msg == CM_DIALOGCHAR && showAccelChar_ && focusControl_ && focusControl_->CanFocus() &&
      GetHotkey(Caption()) == AnsiUpperChar(char(m.WParam))) {
    focusControl_->SetFocus();
    m.Result = 1;
    return;
  }
  TGraphicControl::WndProc(m);
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment v) { Change(this, alignment_, v); }
void TCustomLabel::SetLayout(TTextLayout v) { Change(this, layout_, v); }
void TCustomLabel::SetTransparent(bool v) { Change(this, transparent_, v); }
void TCustomLabel::SetShowAccelChar(bool v) {
  Change(this, showAccelChar_, v);
  AdjustBounds();
}
void TCustomLabel::SetWordWrap(bool v) {
  Change(this, wordWrap_, v);
  AdjustBounds();
}
void TCustomLabel::SetAutoSize(bool v) {
  autoSize_ = v;
  AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

// --- TButton ------------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetTabStop(true);
  SetControlStyle((ControlStyle() | csOpaque) & ~unsigned(csDoubleClicks));
  TControl::SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (TCustomForm* form = GetParentForm(this)) Perform(CM_FOCUSCHANGED, 0, LPARAM(form->ActiveControl()));
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && CanFocus()) SetFocus();
  TButtonControl::MouseDown(button, shift, x, y);
  Invalidate();
}

void TButton::KeyDown(WORD& key, TShiftState shift) {
  TButtonControl::KeyDown(key, shift);
  if (key == VK_SPACE) {
    spaceDown_ = true;
    Invalidate();
  }
}

void TButton::KeyUp(WORD& key, TShiftState shift) {
  TButtonControl::KeyUp(key, shift);
  if (key == VK_SPACE && spaceDown_) {
    spaceDown_ = false;
    Invalidate();
    Click();
  }
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
      const bool active = focused == this || (default_ && !dynamic_cast<TButton*>(focused));
      Change(this, active_, active);
      return;
    }
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && cancel_)) && CanFocus() &&
          !(TShiftState(m.LParam) & (ssShift | ssCtrl | ssAlt))) {
        Click();
        m.Result = 1;
      }
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      TButtonControl::WndProc(m);
      Invalidate();
      return;
    default: TButtonControl::WndProc(m);
  }
}

void TButton::Paint() {
  TCanvas* c = Canvas();
  RECT r = ClientRect();
  HDC dc = c->Handle();
  POINT cursor;
  GetCursorPos(&cursor);
  const TPoint p = ScreenToClient(cursor);
  const bool pressed = spaceDown_ || ((ControlState() & csLButtonDown) && p.X >= 0 && p.Y >= 0 &&
                                      p.X < Width() && p.Y < Height());
  if (active_) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  RECT face = r;
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? UINT(DFCS_PUSHED) : 0u));
  RECT text = r;
  if (pressed) OffsetRect(&text, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  DrawTextA(dc, Caption().c_str(), int(Caption().size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    RECT focus = r;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

// --- TCustomPanel ---------------------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque | csSetCaption);
  TControl::SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut v) { Change(this, bevelOuter_, v); }
void TCustomPanel::SetBevelInner(TBevelCut v) { Change(this, bevelInner_, v); }
void TCustomPanel::SetBevelWidth(int v) { Change(this, bevelWidth_, v); }
void TCustomPanel::SetBorderStyle(TBorderStyle v) { Change(this, borderStyle_, v); }
void TCustomPanel::SetAlignment(TAlignment v) { Change(this, alignment_, v); }

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  RECT r = ClientRect();
  HDC dc = c->Handle();
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  if (borderStyle_ == bsSingle) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  for (TBevelCut bevel : {bevelOuter_, bevelInner_}) {
    if (bevel == bvNone) continue;
    for (int i = 0; i < bevelWidth_; ++i) {
      if (bevel != bvSpace) DrawEdge(dc, &r, bevel == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
      InflateRect(&r, -1, -1);
    }
  }
  if (Caption().empty()) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  const UINT align = alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT;
  DrawTextA(dc, Caption().c_str(), int(Caption().size()), &r, align | DT_VCENTER | DT_SINGLELINE);
}

// --- TImage ----------------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(new TPicture) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  TControl::SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { delete picture_; }

void TImage::SetStretch(bool v) { Change(this, stretch_, v); }
void TImage::SetCenter(bool v) { Change(this, center_, v); }
void TImage::SetProportional(bool v) { Change(this, proportional_, v); }
void TImage::SetTransparent(bool v) {
  transparent_ = v;
  PictureChanged();
}
void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  PictureChanged();
}

void TImage::PictureChanged() {
  if (TGraphic* g = picture_->Graphic()) {
    g->SetTransparent(transparent_);
    if (autoSize_ && g->Width() > 0 && g->Height() > 0) SetBounds(Left(), Top(), g->Width(), g->Height());
  }
  Invalidate();
}

TRect TImage::DestRect() const {
  int w = picture_->Width(), h = picture_->Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      if (cw * h > ch * w) {
        w = w * ch / h;
        h = ch;
      } else {
        h = h * cw / w;
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Rect(0, 0, w, h);
  if (center_) r = Bounds((cw - w) / 2, (ch - h) / 2, w, h);
  return r;
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}
