// TControl, TGraphicControl and TCustomControl: bounds, look, mouse handling
// and painting. TWinControl's windows, focus and keys are in win_control.cpp.
#include "platform/gui/controls.h"

#include <algorithm>

#include "platform/gui/actions.h"
#include "platform/gui/application.h"
#include "platform/gui/menus.h"

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

void TSizeConstraints::Constrain(int& width, int& height) const {
  if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
  if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
  if (minWidth_ > 0 && width < minWidth_) width = minWidth_;
  if (minHeight_ > 0 && height < minHeight_) height = minHeight_;
}

void TSizeConstraints::Assign(const TPersistent* source) {
  if (auto* s = dynamic_cast<const TSizeConstraints*>(source)) {
    minWidth_ = s->minWidth_;
    minHeight_ = s->minHeight_;
    maxWidth_ = s->maxWidth_;
    maxHeight_ = s->maxHeight_;
    return;
  }
  TPersistent::Assign(source);
}

// --- TControl ----------------------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner), constraints_(new TSizeConstraints), font_(new TFont) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
  delete font_;
  delete constraints_;
}

LRESULT TControl::Perform(UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage m{msg, wparam, lparam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) {
    parent->InsertControl(this);
    if (parentFont_) {
      font_->Assign(parent->Font());
      parentFont_ = true;
    }
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);  // a size below zero means none
  height = std::max(0, height);
  constraints_->Constrain(width, height);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  Invalidate();
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Invalidate();
  if (parent_ && align_ != alNone) parent_->AlignControls();
  if (resized) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
  left_ = r.Left;
  top_ = r.Top;
  width_ = r.Width();
  height_ = r.Height();
}

TPoint TControl::ClientToScreen(TPoint p) const {
  if (!parent_) return Point(p.X + left_, p.Y + top_);
  return parent_->ClientToScreen(Point(p.X + left_, p.Y + top_));
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint origin = ClientToScreen(Point(0, 0));
  return Point(p.X - origin.X, p.Y - origin.Y);
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) Invalidate();
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible, 0);
  if (visible) Invalidate();
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetText(const AnsiString& text) {
  if (text == text_) return;
  text_ = text;
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) SetWindowTextA(w->Handle(), text.c_str());
  Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value && parent_) {
    font_->Assign(parent_->Font());
    parentFont_ = true;
  }
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED, 0, 0); }

void TControl::SetShowHint(bool value) {
  showHint_ = value;
  parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) { parentShowHint_ = value; }

// Effective value: a control that follows its parent shows hints as the parent does.
bool TControl::ShowHint() const { return parentShowHint_ && parent_ ? parent_->ShowHint() : showHint_; }

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::MouseCapture() const {
  if (auto* w = dynamic_cast<const TWinControl*>(this)) return w->HandleAllocated() && GetCapture() == w->handle_;
  return parent_ && parent_->mouseControl_ == this && parent_->HandleAllocated() && GetCapture() == parent_->handle_;
}

void TControl::SetMouseCapture(bool value) {
  if (value == MouseCapture()) return;
  if (!value) {
    ReleaseCapture();
    return;
  }
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    SetCapture(w->Handle());
  } else if (parent_) {
    parent_->mouseControl_ = this;
    FreeNotification(parent_);
    SetCapture(parent_->Handle());
  }
}

void TControl::Invalidate() {
  if (parent_ && parent_->HandleAllocated() && visible_) {
    const TRect r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, !(controlStyle_ & csOpaque));
  }
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  TWinControl* p = parent_;
  p->RemoveControl(this);
  p->InsertControl(this);
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
  else if (actionLink_) actionLink_->Execute();
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::HandleMouse(TMessage& m) {
  const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
  TShiftState shift = KeysToShiftState(m.WParam);
  auto* win = dynamic_cast<TWinControl*>(this);
  switch (m.Msg) {
    case WM_MOUSEMOVE: MouseMove(shift, x, y); return;
    case WM_LBUTTONDBLCLK:
      if (controlStyle_ & csDoubleClicks) {
        DblClick();
        shift |= ssDouble;
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
      if (controlStyle_ & csCaptureMouse) {
        controlState_ |= csLButtonDown | csClicked;
        if (win) SetCapture(win->Handle());
      }
      MouseDown(mbLeft, shift, x, y);
      return;
    case WM_LBUTTONUP: {
      const bool clicked = controlState_ & csClicked;
      controlState_ &= ~unsigned(csLButtonDown | csClicked);
      if (win && GetCapture() == win->Handle()) ReleaseCapture();
      const TRect r = ClientRect();
      if (clicked && (controlStyle_ & csClickEvents) && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
        Click();
      MouseUp(mbLeft, shift, x, y);
      return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(mbRight, shift, x, y); return;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      if (popupMenu_ && popupMenu_->AutoPopup()) {
        const TPoint p = ClientToScreen(Point(x, y));
        popupMenu_->SetPopupComponent(this);
        popupMenu_->Popup(p.X, p.Y);
      }
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(mbMiddle, shift, x, y); return;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift, x, y); return;
    default: return;
  }
}

void TControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    if (enabled_) HandleMouse(m);
    return;
  }
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if (OnMouseEnter) OnMouseEnter(this);
      return;
    case CM_MOUSELEAVE:
      if (OnMouseLeave) OnMouseLeave(this);
      return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED: Invalidate(); return;
    default: DefaultHandler(m);
  }
}

// --- TGraphicControl, TCustomControl --------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(new TCanvas) {}

TGraphicControl::~TGraphicControl() { delete canvas_; }

void TGraphicControl::PaintOn(HDC dc) {
  canvas_->SetHandle(dc);
  canvas_->SetFont(Font());
  Paint();
  canvas_->SetHandle(nullptr);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(new TCanvas) {}

TCustomControl::~TCustomControl() { delete canvas_; }

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->SetHandle(dc);
  canvas_->SetFont(Font());
  canvas_->Brush()->SetColor(Color());
  Paint();
  canvas_->SetHandle(nullptr);
}

TControl* FindDragTarget(TPoint screen, bool allowDisabled) {
  TWinControl* w = TWinControl::FindControl(WindowFromPoint(screen));
  if (!w) return nullptr;
  auto* g = dynamic_cast<TGraphicControl*>(w->ControlAtPos(w->ScreenToClient(screen), allowDisabled));
  return g ? static_cast<TControl*>(g) : w;
}

TCustomForm* GetParentForm(const TControl* control) {
  const TControl* c = control;
  while (c && c->Parent()) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}
