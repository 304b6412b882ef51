// TWinControl: a control with a window of the window layer. Its window is
// created on first use, after its parent's, and every message of it goes
// through WindowProc. Children are kept in z-order and in tab order; aligned
// children are laid out inside the client area; keys that the control does
// not take itself go to its form as dialog keys.
#include <algorithm>
#include <map>

#include "platform/gui/application.h"

namespace {

constexpr const char* kWindowClass = "TVxWindow";

std::map<HWND, TWinControl*>& Windows() {
  static std::map<HWND, TWinControl*> windows;
  return windows;
}

// The control being created: its window's first messages arrive before
// CreateWindowExA returns the handle.
TWinControl*& Creating() {
  static TWinControl* creating = nullptr;
  return creating;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  for (TControl* c : std::vector<TControl*>(controls_)) RemoveControl(c);
  DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND hwnd) {
  auto it = Windows().find(hwnd);
  return it == Windows().end() ? nullptr : it->second;
}

LRESULT TWinControl::StaticProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  TWinControl* control = FindControl(hwnd);
  if (!control && Creating()) {
    control = Creating();
    control->handle_ = hwnd;
    Windows()[hwnd] = control;
  }
  if (!control) return DefWindowProcA(hwnd, msg, wparam, lparam);
  TMessage m{msg, wparam, lparam, 0};
  control->WindowProc(m);
  if (msg == WM_NCDESTROY) {
    Windows().erase(hwnd);
    if (control->handle_ == hwnd) control->handle_ = 0;
  }
  return m.Result;
}

HWND TWinControl::Handle() {
  if (!handle_) CreateHandle();
  return handle_;
}

void TWinControl::CreateHandle() {
  if (handle_) return;
  if (parent_) parent_->Handle();
  if (handle_) return;  // the parent created its children, this one included
  CreateWnd();
  if (!handle_) throw EInvalidOperation("Error creating window of " + ClassName());
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
  AlignControls();
  CreateHandleDone();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Text();
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (Visible()) p.Style |= WS_VISIBLE;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  if (parent_) p.WndParent = parent_->Handle();
}

void TWinControl::CreateWnd() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXA wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = StaticProc;
    wc.lpszClassName = kWindowClass;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassExA(&wc);
    registered = true;
  }
  TCreateParams p;
  CreateParams(p);
  TWinControl* outer = Creating();
  Creating() = this;
  HWND h = CreateWindowExA(p.ExStyle, kWindowClass, p.Caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                           p.WndParent, 0, nullptr, this);
  Creating() = outer;
  if (h) {
    handle_ = h;
    Windows()[h] = this;
  }
}

void TWinControl::DestroyWnd() {
  if (handle_) DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
  if (!handle_) return;
  DestroyWnd();
  if (handle_) Windows().erase(handle_);
  handle_ = 0;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  CreateHandle();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.push_back(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    tabList_.push_back(w);
    if (handle_) w->CreateHandle();
  }
  if (control->Align() != alNone) AlignControls();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return;
  control->Invalidate();
  controls_.erase(it);
  tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
  if (mouseControl_ == control) mouseControl_ = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (TCustomForm* form = GetParentForm(this); form && w->ContainsControl(form->ActiveControl()))
      form->SetFocusedControl(nullptr);
    w->DestroyHandle();
  }
  control->parent_ = nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    const TRect r = c->BoundsRect();
    if (c->Visible() && (allowDisabled || c->Enabled()) && p.X >= r.Left && p.X < r.Right && p.Y >= r.Top &&
        p.Y < r.Bottom)
      return c;
  }
  return nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

// --- focus ---------------------------------------------------------------------------------

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  const auto& list = parent_->tabList_;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->tabList_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, int(list.size()));
  list.insert(list.begin() + order, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* c : tabList_) {
    if (c->tabStop_) list.push_back(c);
    c->GetTabOrderList(list);
  }
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
  if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetActiveControl(this);
  else if (CanFocus()) ::SetFocus(Handle());
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (!checkTabStop) {
    list.clear();
    for (TWinControl* c : tabList_) list.push_back(c);
  }
  if (list.empty()) return nullptr;
  const int n = int(list.size());
  int start = int(std::find(list.begin(), list.end(), current) - list.begin());
  if (start == n) start = forward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    TWinControl* c = list[size_t(((start + (forward ? step : -step)) % n + n) % n)];
    if (c->CanFocus() && (!checkTabStop || c->tabStop_)) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, forward, checkTabStop)) next->SetFocus();
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

// --- layout --------------------------------------------------------------------------------

void TWinControl::SetBorderWidth(int width) {
  if (width == borderWidth_) return;
  borderWidth_ = width;
  if (handle_) SetWindowPos(handle_, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Without a window the border is the only frame known.
TRect TWinControl::ClientRect() const {
  TRect r;
  if (handle_) GetClientRect(handle_, &r);
  else r = Rect(0, 0, std::max(0, width_ - 2 * borderWidth_), std::max(0, height_ - 2 * borderWidth_));
  return r;
}

TPoint TWinControl::ClientToScreen(TPoint p) const {
  if (handle_) {
    POINT q = p;
    ::ClientToScreen(handle_, &q);
    return q;
  }
  return TControl::ClientToScreen(p);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (!handle_) {
    TControl::SetBounds(left, top, width, height);
    AlignControls();
    return;
  }
  width = std::max(0, width);
  height = std::max(0, height);
  Constraints()->Constrain(width, height);
  SetWindowPos(handle_, 0, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::AlignChild(TControl* c, TRect& space) {
  const int w = c->Width(), h = c->Height();
  TRect r;
  switch (c->Align()) {
    case alTop: r = Rect(space.Left, space.Top, space.Right, space.Top + h); space.Top += h; break;
    case alBottom: r = Rect(space.Left, space.Bottom - h, space.Right, space.Bottom); space.Bottom -= h; break;
    case alLeft: r = Rect(space.Left, space.Top, space.Left + w, space.Bottom); space.Left += w; break;
    case alRight: r = Rect(space.Right - w, space.Top, space.Right, space.Bottom); space.Right -= w; break;
    case alClient: r = space; break;
    default: return;
  }
  c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

// While a form is being built its controls are placed for the size it will
// have, so only the size reached after loading becomes the anchoring base.
void TWinControl::ApplyAnchors() {
  const int dw = anchorWidth_ < 0 ? 0 : width_ - anchorWidth_;
  const int dh = anchorHeight_ < 0 ? 0 : height_ - anchorHeight_;
  anchorWidth_ = width_;
  anchorHeight_ = height_;
  if ((!dw && !dh) || InState(csLoading)) return;
  for (TControl* c : controls_) {
    if (c->Align() != alNone || c->InState(csLoading)) continue;
    const TAnchors a = c->Anchors();
    TRect r = c->BoundsRect();
    if (a & akRight) {
      if (!(a & akLeft)) r.Left += dw;
      r.Right += dw;
    }
    if (a & akBottom) {
      if (!(a & akTop)) r.Top += dh;
      r.Bottom += dh;
    }
    if (r != c->BoundsRect()) c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
  }
}

void TWinControl::AlignControls() {
  if (alignDisabled_) return;
  ApplyAnchors();
  ++alignDisabled_;
  TRect space = ClientRect();
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
    for (TControl* c : controls_)
      if (c->Align() == a && c->Visible()) AlignChild(c, space);
  --alignDisabled_;
  ControlsAligned(space);
}

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) AlignControls();
}

void TWinControl::ScrollBy(int dx, int dy) {
  for (TControl* c : controls_) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  Invalidate();
}

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::UpdateShowing() {
  if (Visible() && (!parent_ || parent_->HandleAllocated())) ShowWindow(Handle(), parent_ ? SW_SHOW : SW_SHOWNOACTIVATE);
  else if (handle_) ShowWindow(handle_, SW_HIDE);
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : controls_)
    if (c->ParentFont()) c->SetParentFont(true);
}

void TWinControl::Notification(TComponent* component, TOperation operation) {
  TControl::Notification(component, operation);
  if (operation == opRemove && component == mouseControl_) mouseControl_ = nullptr;
}

// --- painting ------------------------------------------------------------------------------

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : controls_) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, g->Left(), g->Top(), g->Left() + g->Width(), g->Top() + g->Height());
    OffsetViewportOrgEx(dc, g->Left(), g->Top(), nullptr);
    g->PaintOn(dc);
    RestoreDC(dc, saved);
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, x, y, nullptr);
  Perform(WM_ERASEBKGND, WPARAM(dc), 0);
  Perform(WM_PAINT, WPARAM(dc), 0);
  RestoreDC(dc, saved);
}

void TWinControl::Broadcast(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(controls_)) {
    c->WindowProc(message);
    if (message.Result) return;
  }
}

// --- keys ------------------------------------------------------------------------------------

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::WantsKey(WORD key) const {
  return key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE && key != VK_LEFT && key != VK_RIGHT &&
         key != VK_UP && key != VK_DOWN;
}

// The form sees keys first when it asks to (KeyPreview), then its menu's
// shortcuts; then the control. True when the key was used up.
bool TWinControl::DoKeyDown(TMessage& m) {
  WORD key = WORD(m.WParam);
  const TShiftState shift = KeyboardShiftState();
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview()) {
    form->KeyDown(key, shift);
    if (!key) return true;
  }
  if (form && form->IsShortCut(key, shift)) return true;
  KeyDown(key, shift);
  if (!key) return true;
  m.WParam = key;
  return false;
}

// --- messages --------------------------------------------------------------------------------

void TWinControl::ForwardMouse(TMessage& m) {
  const TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  // A press always goes to what is under it; moves and the release go to
  // the graphic child that took the press.
  const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
  TControl* target = press ? nullptr : mouseControl_;
  if (!target) target = dynamic_cast<TGraphicControl*>(ControlAtPos(p));
  if (!target) {
    TControl::WndProc(m);
    return;
  }
  if (press) {
    mouseControl_ = target;
    target->FreeNotification(this);
    SetCapture(handle_);
  }
  if (m.Msg == WM_LBUTTONUP) {
    mouseControl_ = nullptr;
    if (GetCapture() == handle_) ReleaseCapture();
  }
  m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.X - target->Left(), p.Y - target->Top()));
}

void TWinControl::WndProc(TMessage& m) {
  if (IsMouseMessage(m.Msg)) {
    ForwardMouse(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      // With a DC in the first parameter the control paints into it (as
      // controls drawing their parent's background behind them ask). While it
      // paints such a copy its graphic children are left out: the child that
      // asked would otherwise paint itself into its own background.
      if (m.WParam) {
        PaintWindow(reinterpret_cast<HDC>(m.WParam));
        if (!(ControlState() & csPaintCopy)) PaintControls(reinterpret_cast<HDC>(m.WParam));
        return;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(handle_, &ps);
      PaintWindow(dc);
      PaintControls(dc);
      EndPaint(handle_, &ps);
      return;
    }
    case WM_ERASEBKGND: {
      if (ControlStyle() & csOpaque) {
        m.Result = 1;
        return;
      }
      HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
      RECT r = ClientRect();
      FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush);
      DeleteObject(brush);
      m.Result = 1;
      return;
    }
    case WM_NCCALCSIZE:
      DefaultHandler(m);
      if (borderWidth_ && m.WParam) {
        RECT& r = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0];
        InflateRect(&r, -borderWidth_, -borderWidth_);
      }
      return;
    case WM_NCPAINT:
      DefaultHandler(m);
      if (borderWidth_) {
        HDC dc = GetWindowDC(handle_);
        RECT outer{0, 0, width_, height_};
        RECT inner = outer;
        InflateRect(&inner, -borderWidth_, -borderWidth_);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
        HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
        FillRect(dc, &outer, brush);
        DeleteObject(brush);
        RestoreDC(dc, saved);
        ReleaseDC(handle_, dc);
      }
      return;
    case WM_SIZE:
    case WM_MOVE: {
      DefaultHandler(m);
      RECT r;
      GetWindowRect(handle_, &r);
      // A form inside another window (an MDI child) counts from that window.
      const HWND within = parent_ && parent_->HandleAllocated()                    ? parent_->handle_
                          : (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) ? GetParent(handle_)
                                                                             : 0;
      if (within) {
        POINT corners[2] = {{r.Left, r.Top}, {r.Right, r.Bottom}};
        ::ScreenToClient(within, &corners[0]);
        ::ScreenToClient(within, &corners[1]);
        r = Rect(corners[0].X, corners[0].Y, corners[1].X, corners[1].Y);
      }
      const bool resized = r.Width() != Width() || r.Height() != Height();
      UpdateBoundsRect(r);
      if (m.Msg == WM_SIZE) {
        AlignControls();
        Resize();
        // An aligned control that changed its size moves its siblings (the
        // parent skips this while it is aligning them itself).
        if (resized && parent_ && Align() != alNone) parent_->AlignControls();
      }
      return;
    }
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (TCustomForm* form = GetParentForm(this); form && form != this) form->SetFocusedControl(this);
      DoEnter();
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      DoExit();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (DoKeyDown(m)) return;
      const WORD key = WORD(m.WParam);
      TCustomForm* form = GetParentForm(this);
      if (!WantsKey(key) && form && form->DialogKey(key, KeyboardShiftState())) return;
      DefaultHandler(m);
      return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = WORD(m.WParam);
      KeyUp(key, KeyboardShiftState());
      if (key) DefaultHandler(m);
      return;
    }
    case WM_CHAR: {
      char c = char(m.WParam);
      TCustomForm* form = GetParentForm(this);
      if (form && form != this && form->KeyPreview()) form->KeyPress(c);
      if (c) KeyPress(c);
      if (c && form && form->Perform(CM_DIALOGCHAR, WPARAM(static_cast<unsigned char>(c)), m.LParam)) return;
      if (c) DefaultHandler(m);
      return;
    }
    case WM_SYSCHAR:
      // Alt and a letter: the control with that "&" letter (a menu bar's button).
      if (TCustomForm* form = GetParentForm(this);
          form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam))
        return;
      DefaultHandler(m);
      return;
    case WM_SETCURSOR: {
      // A screen cursor (the hourglass of a long task) stands over every control.
      const TCursor cursor = Screen->Cursor() != crDefault ? Screen->Cursor() : Cursor();
      if (cursor != crDefault && LOWORD(std::uintptr_t(m.LParam)) == HTCLIENT) {
        ::SetCursor(Screen->Cursors(cursor));
        m.Result = 1;
        return;
      }
      DefaultHandler(m);
      return;
    }
    case WM_SETTEXT:  // text set through the window reaches the control's Text
      SetText(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
      m.Result = 1;
      return;
    case WM_CAPTURECHANGED:
      mouseControl_ = nullptr;  // a graphic child's press ends when the capture goes
      DefaultHandler(m);
      return;
    case CM_VISIBLECHANGED: UpdateShowing(); return;
    case CM_ENABLEDCHANGED:
      if (handle_) EnableWindow(handle_, Enabled());
      Invalidate();
      return;
    default: TControl::WndProc(m);
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (!handle_) return;
  if (m.Msg >= CM_BASE && m.Msg < CM_BASE + 0x1000) return;  // our own notifications stop here
  m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}
