// TToolBar and TToolButton.
#include "platform/gui/tool_bars.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "platform/rtl/text.h"

namespace {
constexpr int kDropDownWidth = 14;
constexpr int kSeparatorWidth = 8;
}  // namespace

// --- TToolButton --------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() & ~unsigned(csDoubleClicks));
  TControl::SetBounds(0, 0, 23, 22);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetStyle(TToolButtonStyle style) {
  style_ = style;
  if (TToolBar* bar = ToolBar()) bar->Rearrange();
}

void TToolButton::SetAutoSize(bool value) {
  autoSize_ = value;
  if (TToolBar* bar = ToolBar()) bar->Rearrange();
}

void TToolButton::SetImageIndex(int index) {
  imageIndex_ = index;
  Invalidate();
}

// A grouped check button is down alone in its group (the run of grouped
// check buttons around it).
void TToolButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = value;
  TToolBar* bar = ToolBar();
  if (value && grouped_ && style_ == tbsCheck && bar) {
    const int n = bar->ButtonCount();
    int me = 0;
    while (me < n && bar->Buttons(me) != this) ++me;
    for (int dir : {-1, 1})
      for (int i = me + dir; i >= 0 && i < n; i += dir) {
        TToolButton* b = bar->Buttons(i);
        if (!b->grouped_ || b->style_ != tbsCheck) break;
        if (b->down_) {
          b->down_ = false;
          b->Invalidate();
        }
      }
  }
  Invalidate();
}

void TToolButton::SetMenuItem(TMenuItem* item) {
  if (menuItem_) menuItem_->RemoveFreeNotification(this);
  menuItem_ = item;
  if (item) {
    item->FreeNotification(this);
    SetCaption(item->Caption());
    SetEnabled(item->Enabled());
  }
  if (TToolBar* bar = ToolBar()) bar->Rearrange();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == menuItem_) menuItem_ = nullptr;
}

void TToolButton::Click() {
  // A check button toggles; in a group it stays down once pressed.
  if (style_ == tbsCheck) SetDown(grouped_ || !down_);
  if (menuItem_ && menuItem_->Count() == 0) menuItem_->Click();
  TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || style_ == tbsSeparator || style_ == tbsDivider) return;
  pressed_ = true;
  Invalidate();
  if (TToolBar* bar = ToolBar(); bar && menuItem_ && menuItem_->Count() > 0) {
    // The submenu runs its own loop; the press ends when it closes.
    bar->DropDownMenu(this);
    pressed_ = false;
    SetControlState(ControlState() & ~unsigned(csClicked | csLButtonDown));
    Invalidate();
  }
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  pressed_ = false;
  Invalidate();
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      hot_ = m.Msg == CM_MOUSEENTER && Enabled();
      Invalidate();
      break;
    case CM_TEXTCHANGED:
      if (TToolBar* bar = ToolBar()) bar->Rearrange();
      break;
    default: break;
  }
  TGraphicControl::WndProc(m);
}

void TToolButton::Paint() {
  TToolBar* bar = ToolBar();
  if (!bar) return;
  TCustomDrawState state = 0;
  if (hot_) state |= cdsHot;
  if (pressed_) state |= cdsSelected;
  if (down_) state |= cdsChecked;
  if (!Enabled()) state |= cdsDisabled;
  bool defaultDraw = true;
  if (bar->OnCustomDrawButton) bar->OnCustomDrawButton(bar, this, state, defaultDraw);
  if (defaultDraw) bar->DrawButton(this, Canvas(), state);
}

// --- TToolBar -------------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  SetAlign(alTop);
  TControl::SetBounds(0, 0, 150, 29);
}

int TToolBar::ButtonCount() const {
  int n = 0;
  for (int i = 0; i < ControlCount(); ++i) n += dynamic_cast<TToolButton*>(Controls(i)) != nullptr;
  return n;
}

TToolButton* TToolBar::Buttons(int index) const {
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(Controls(i)); b && index-- == 0) return b;
  throw EListError("List index out of bounds");
}

namespace {
template <class T>
void Set(TToolBar* bar, T& field, T value) {
  if (field == value) return;
  field = value;
  bar->Rearrange();
}
}  // namespace

void TToolBar::SetFlat(bool v) { Set(this, flat_, v); }
void TToolBar::SetTransparent(bool v) { Set(this, transparent_, v); }
void TToolBar::SetShowCaptions(bool v) { Set(this, showCaptions_, v); }
void TToolBar::SetList(bool v) { Set(this, list_, v); }
void TToolBar::SetWrapable(bool v) { Set(this, wrapable_, v); }
void TToolBar::SetAutoSize(bool v) { Set(this, autoSize_, v); }
void TToolBar::SetEdgeBorders(TEdgeBorders v) { Set(this, edgeBorders_, v); }
void TToolBar::SetButtonHeight(int v) { Set(this, buttonHeight_, v); }
void TToolBar::SetButtonWidth(int v) { Set(this, buttonWidth_, v); }

void TToolBar::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
  Rearrange();
}

void TToolBar::SetHotImages(TImageList* images) {
  if (hotImages_) hotImages_->RemoveFreeNotification(this);
  hotImages_ = images;
  if (images) images->FreeNotification(this);
  Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == images_) images_ = nullptr;
  if (component == hotImages_) hotImages_ = nullptr;
}

TSize TToolBar::ButtonSize(TToolButton* b) {
  if (b->style_ == tbsSeparator || b->style_ == tbsDivider) return {kSeparatorWidth, buttonHeight_};
  int w = buttonWidth_;
  if (showCaptions_ && (b->autoSize_ || !images_)) {
    Canvas()->SetFont(Font());
    HDC dc = CreateCompatibleDC(nullptr);
    Canvas()->SetHandle(dc);
    const int text = Canvas()->TextWidth(StripHotkey(b->Caption()));
    Canvas()->SetHandle(nullptr);
    DeleteDC(dc);
    const int image = images_ ? images_->Width() : 0;
    w = list_ ? image + text + 14 : std::max(image, text) + 14;
    if (!b->autoSize_) w = std::max(w, buttonWidth_);
  }
  if (b->style_ == tbsDropDown) w += kDropDownWidth;
  return {w, buttonHeight_};
}

void TToolBar::Rearrange() {
  const int top = (edgeBorders_ & ebTop) ? 2 : 0;
  int x = (edgeBorders_ & ebLeft) ? 2 : 0, y = top, rowHeight = 0;
  const int right = ClientWidth();
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton* b = Buttons(i);
    if (!b->Visible()) continue;
    const TSize size = ButtonSize(b);
    if (wrapable_ && x > 0 && x + size.cx > right) {
      x = 0;
      y += rowHeight;
    }
    b->SetBounds(x, y, size.cx, size.cy);
    x += size.cx;
    rowHeight = std::max(rowHeight, size.cy);
  }
  if (autoSize_ && ButtonCount() > 0)
    SetHeight(y + rowHeight + top + ((edgeBorders_ & ebBottom) ? 2 : 0));
  Invalidate();
}

void TToolBar::Paint() {
  const TRect r = ClientRect();
  bool defaultDraw = true;
  if (!transparent_) {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(r);
  }
  if (OnCustomDraw) OnCustomDraw(this, r, defaultDraw);
  if (!defaultDraw) return;
  RECT edge = r;
  UINT sides = 0;
  for (auto [edge, flag] : {std::pair{ebLeft, BF_LEFT}, {ebTop, BF_TOP}, {ebRight, BF_RIGHT}, {ebBottom, BF_BOTTOM}})
    if (edgeBorders_ & edge) sides |= flag;
  if (sides) DrawEdge(Canvas()->Handle(), &edge, EDGE_ETCHED, sides);
}

void TToolBar::DrawButton(TToolButton* b, TCanvas* c, TCustomDrawState state) {
  RECT r = b->ClientRect();
  HDC dc = c->Handle();
  if (b->style_ == tbsSeparator || b->style_ == tbsDivider) {
    RECT line{r.Left + r.Width() / 2 - 1, r.Top + 2, r.Left + r.Width() / 2 + 1, r.Bottom - 2};
    if (b->style_ == tbsDivider) DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  const bool sunken = state & (cdsSelected | cdsChecked);
  if (sunken || (state & cdsHot) || !flat_) {
    RECT face = r;
    DrawEdge(dc, &face, sunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  RECT content = r;
  if (b->style_ == tbsDropDown) {
    content.Right -= kDropDownWidth;
    RECT arrow{content.Right, r.Top, r.Right, r.Bottom};
    DrawFrameControl(dc, &arrow, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_FLAT);
  }
  const int shift = sunken ? 1 : 0;
  TImageList* list = (state & cdsHot) && hotImages_ ? hotImages_ : images_;
  int textTop = content.Top + (content.Height() - c->TextHeight("W")) / 2;
  int textLeft = content.Left;
  if (list && b->imageIndex_ >= 0 && b->imageIndex_ < list->Count()) {
    const int ix = list_ ? content.Left + 4 : content.Left + (content.Width() - list->Width()) / 2;
    list->Draw(c, ix + shift, content.Top + 3 + shift, b->imageIndex_, b->Enabled());
    if (list_) textLeft = ix + list->Width() + 3;
    else textTop = content.Top + list->Height() + 4;
  }
  if (!showCaptions_ || b->Caption().empty()) return;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(b->Enabled() ? b->Font()->Color() : clGrayText));
  RECT text{textLeft + shift, textTop + shift, content.Right + shift, content.Bottom};
  DrawTextA(dc, b->Caption().c_str(), int(b->Caption().size()), &text,
            DT_SINGLELINE | (list_ && list ? DT_LEFT : DT_CENTER));
}

// The bar owns a popup menu for the moment (so that components watching the
// bar's inserts can prepare it through its OnPopup) and shows the item's submenu.
void TToolBar::DropDownMenu(TToolButton* button) {
  TMenuItem* item = button->MenuItem();
  if (!item) return;
  auto* popup = new TPopupMenu(this);
  TMenuItem* chosen = nullptr;
  try {
    if (popup->OnPopup) popup->OnPopup(popup);
    const TPoint p = button->ClientToScreen(Point(0, button->Height()));
    chosen = TrackMenu(item, p.X, p.Y);
  } catch (...) {
    popup->Free();
    throw;
  }
  popup->Free();
  if (chosen) chosen->Click();
}

void TToolBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGCHAR: {
      // The button whose caption has this "&" letter opens or clicks.
      const char key = AnsiUpperChar(char(m.WParam));
      for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (b->Visible() && b->Enabled() && GetHotkey(b->Caption()) == key) {
          if (b->MenuItem() && b->MenuItem()->Count() > 0) DropDownMenu(b);
          else b->Click();
          m.Result = 1;
          return;
        }
      }
      return;
    }
    case WM_SIZE:
      TCustomControl::WndProc(m);
      Rearrange();
      return;
    default: TCustomControl::WndProc(m);
  }
}
