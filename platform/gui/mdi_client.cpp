// MDI: the client window of an fsMDIForm and the fsMDIChild forms inside it.
// The client window is a plain child window of the form below its aligned
// controls; its window procedure (which hooks may replace) answers the
// WM_MDI messages: activate, maximize, restore, next, tile, cascade, arrange
// icons, destroy, the active child and the menu refresh that follows every
// change of the active child. The children are child windows of the layer
// with the emulated frame and caption; a minimized one is a caption strip in
// a row along the client's bottom.
#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/menus.h"
#include "platform/gui/window_internal.h"

namespace {

constexpr int kIconWidth = 160, kIconHeight = 25;
constexpr UINT kKeep = SWP_NOZORDER | SWP_NOACTIVATE;

HWND ActiveChild(HWND client) {
  const HWND active = HWND(GetWindowLongPtrA(client, GWLP_USERDATA));
  return IsWindow(active) ? active : 0;
}

// Shown by its own style, whether or not the parent form is on screen yet.
bool Shown(HWND h) { return GetWindowLongPtrA(h, GWL_STYLE) & WS_VISIBLE; }

// The client's child windows, top of the Z-order (the active child) first.
std::vector<HWND> Children(HWND client) {
  std::vector<HWND> list;
  for (HWND h = GetWindow(client, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    if (IsWindow(h)) list.push_back(h);
  return list;
}

// Visible, not minimized children, bottom of the Z-order first: the order
// in which cascading lays them down.
std::vector<HWND> Arrangeable(HWND client) {
  std::vector<HWND> list;
  for (HWND h : Children(client))
    if (Shown(h) && !IsIconic(h)) list.insert(list.begin(), h);
  return list;
}

HWND NextVisible(HWND client, HWND except) {
  for (HWND h : Children(client))
    if (h != except && Shown(h)) return h;
  return 0;
}

void Activate(HWND client, HWND child) {
  if (child) SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const HWND old = ActiveChild(client);
  if (child == old) return;
  SetWindowLongPtrA(client, GWLP_USERDATA, LONG_PTR(child));
  for (HWND h : {old, child}) {
    if (!h) continue;
    SendMessageA(h, WM_NCACTIVATE, h == child, 0);
    SendMessageA(h, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
  }
  SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
}

// An icon keeps its slot in the row (along the client's bottom, wherever
// that is now); a newly minimized child takes the first free one.
void ArrangeIcons(HWND client) {
  RECT r;
  GetClientRect(client, &r);
  const int top = r.Bottom - kIconHeight;
  std::vector<HWND> icons;
  std::vector<int> taken;
  for (HWND h : Children(client)) {
    if (!Shown(h) || !IsIconic(h)) continue;
    RECT w;
    GetWindowRect(h, &w);
    POINT at{w.Left, w.Top};
    ScreenToClient(client, &at);
    const bool inSlot = at.X >= 0 && at.X % kIconWidth == 0 && w.Width() == kIconWidth &&
                        w.Height() == kIconHeight && std::find(taken.begin(), taken.end(), at.X) == taken.end();
    if (!inSlot) {
      icons.push_back(h);
      continue;
    }
    taken.push_back(at.X);
    if (at.Y != top) SetWindowPos(h, 0, at.X, top, kIconWidth, kIconHeight, kKeep);
  }
  int x = 0;
  for (HWND h : icons) {
    while (std::find(taken.begin(), taken.end(), x) != taken.end()) x += kIconWidth;
    SetWindowPos(h, 0, x, top, kIconWidth, kIconHeight, kKeep);
    taken.push_back(x);
  }
}

bool AnyIconic(HWND client) {
  const auto children = Children(client);
  return std::any_of(children.begin(), children.end(), [](HWND h) { return Shown(h) && IsIconic(h); });
}

void Cascade(HWND client) {
  RECT r;
  GetClientRect(client, &r);
  const int step = GetSystemMetrics(SM_CYCAPTION) + 4;
  int offset = 0;
  for (HWND h : Arrangeable(client)) {
    SetWindowPos(h, 0, offset, offset, r.Width() * 3 / 4, r.Height() * 3 / 4, kKeep);
    offset += step;
  }
}

// Side by side (vertical) or one above the other, above the icon row.
void Tile(HWND client, bool horizontal) {
  const auto children = Arrangeable(client);
  if (children.empty()) return;
  RECT r;
  GetClientRect(client, &r);
  const int n = int(children.size()), height = r.Height() - (AnyIconic(client) ? kIconHeight : 0);
  for (int i = 0; i < n; ++i) {
    if (horizontal)
      SetWindowPos(children[size_t(i)], 0, 0, i * height / n, r.Width(), (i + 1) * height / n - i * height / n, kKeep);
    else
      SetWindowPos(children[size_t(i)], 0, i * r.Width() / n, 0, (i + 1) * r.Width() / n - i * r.Width() / n, height,
                   kKeep);
  }
}

// The next child down the Z-order takes over and the active one goes to the
// bottom; with `previous` the bottom one comes up.
void Next(HWND client, bool previous) {
  std::vector<HWND> visible;
  for (HWND h : Children(client))
    if (Shown(h)) visible.push_back(h);
  if (visible.size() < 2) return;
  if (previous) return Activate(client, visible.back());
  SetWindowPos(visible.front(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Activate(client, visible[1]);
}

LRESULT ClientProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  const HWND child = HWND(wparam);
  switch (msg) {
    case WM_MDIACTIVATE: Activate(hwnd, child); return 0;
    case WM_MDIGETACTIVE: {
      const HWND active = ActiveChild(hwnd);
      if (lparam) *reinterpret_cast<BOOL*>(lparam) = IsZoomed(active);
      return LRESULT(active);
    }
    case WM_MDIMAXIMIZE:
      ShowWindow(child, SW_MAXIMIZE);
      Activate(hwnd, child);
      return 0;
    case WM_MDIRESTORE:
      ShowWindow(child, SW_RESTORE);
      ArrangeIcons(hwnd);
      return 0;
    case WM_MDINEXT: Next(hwnd, lparam != 0); return 0;
    case WM_MDITILE: Tile(hwnd, wparam & MDITILE_HORIZONTAL); return 1;
    case WM_MDICASCADE: Cascade(hwnd); return 1;
    case WM_MDIICONARRANGE: ArrangeIcons(hwnd); return 0;
    case WM_MDIDESTROY: DestroyWindow(child); return 0;
    case WM_MDISETMENU:
    case WM_MDIREFRESHMENU: return 0;
    case WM_SIZE:
      for (HWND h : Children(hwnd))
        if (IsZoomed(h)) ShowWindow(h, SW_MAXIMIZE);
      ArrangeIcons(hwnd);
      return 0;
    default: return DefWindowProcA(hwnd, msg, wparam, lparam);
  }
}

void RegisterClientClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXA wc;
  wc.lpfnWndProc = ClientProc;
  wc.lpszClassName = user_detail::kMDIClientClass;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = HBRUSH(std::uintptr_t(COLOR_APPWORKSPACE + 1));
  RegisterClassExA(&wc);
  registered = true;
}

}  // namespace

// --- the parent ----------------------------------------------------------------------------

void TCustomForm::CreateHandleDone() {
  if (formStyle_ != fsMDIForm || clientHandle_) return;
  RegisterClientClass();
  clientHandle_ = CreateWindowExA(WS_EX_CLIENTEDGE, user_detail::kMDIClientClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN |
                                  WS_CLIPSIBLINGS, 0, 0, 0, 0, Handle(), 0, nullptr, nullptr);
  if (!clientHandle_) throw EInvalidOperation("Error creating window of MDICLIENT");
  SetWindowPos(clientHandle_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  AlignControls();
}

void TCustomForm::DestroyWnd() {
  clientHandle_ = 0;
  TCustomControl::DestroyWnd();
}

void TCustomForm::ControlsAligned(const TRect& rest) {
  if (clientHandle_) MoveWindow(clientHandle_, rest.Left, rest.Top, rest.Width(), rest.Height(), 1);
}

TForm* TCustomForm::ActiveMDIChild() const {
  return clientHandle_ ? dynamic_cast<TForm*>(FindControl(ActiveChild(clientHandle_))) : nullptr;
}

int TCustomForm::MDIChildCount() const {
  int n = 0;
  if (clientHandle_)
    for (HWND h : Children(clientHandle_)) n += dynamic_cast<TForm*>(FindControl(h)) != nullptr;
  return n;
}

TForm* TCustomForm::MDIChildren(int index) const {
  if (clientHandle_)
    for (HWND h : Children(clientHandle_))
      if (auto* form = dynamic_cast<TForm*>(FindControl(h)); form && index-- == 0) return form;
  throw EListError("List index out of bounds");
}

void TCustomForm::SetWindowMenu(TMenuItem* item) {
  if (windowMenu_) windowMenu_->RemoveFreeNotification(this);
  windowMenu_ = item;
  if (item) item->FreeNotification(this);
}

void TCustomForm::Cascade() {
  if (clientHandle_) SendMessageA(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::Tile() {
  if (clientHandle_)
    SendMessageA(clientHandle_, WM_MDITILE, tileMode_ == tbHorizontal ? MDITILE_HORIZONTAL : MDITILE_VERTICAL, 0);
}

void TCustomForm::Next() {
  if (clientHandle_) SendMessageA(clientHandle_, WM_MDINEXT, 0, 0);
}

// --- a child ---------------------------------------------------------------------------------

HWND TCustomForm::MDIParentClient() {
  TCustomForm* main = Application->MainForm();
  if (!main || main->FormStyle() != fsMDIForm) throw EInvalidOperation("No MDI forms are currently active");
  main->HandleNeeded();
  return main->clientHandle_;
}

void TCustomForm::MDIChildCreateParams(TCreateParams& p) {
  p.Style = (p.Style & ~DWORD(WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS;
  p.ExStyle &= ~DWORD(WS_EX_TOPMOST);
  p.WndParent = MDIParentClient();
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == formStyle_) return;
  if (style == fsMDIChild && !InState(csLoading)) MDIParentClient();  // fails early without a parent
  formStyle_ = style;
  if (HandleAllocated()) RecreateWnd();
}

// Maximized, the frame and caption lie outside the client window; a
// minimized child fits its icon slot whatever the form's constraints say.
void TCustomForm::MDIChildMinMax(MINMAXINFO& info) {
  const HWND client = GetParent(Handle());
  RECT area, window, own;
  GetClientRect(client, &area);
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &own);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  const int left = origin.X - window.Left, top = origin.Y - window.Top;
  const int right = window.Right - origin.X - own.Right, bottom = window.Bottom - origin.Y - own.Bottom;
  info.ptMaxPosition = {-left, -top};
  info.ptMaxSize = {area.Right + left + right, area.Bottom + top + bottom};
  info.ptMaxTrackSize = {std::max(info.ptMaxTrackSize.X, info.ptMaxSize.X),
                         std::max(info.ptMaxTrackSize.Y, info.ptMaxSize.Y)};
  if (IsIconic(Handle())) info.ptMinTrackSize = {0, 0};
}

bool TCustomForm::MDIChildMessage(TMessage& m) {
  if (formStyle_ != fsMDIChild || !HandleAllocated()) return false;
  const HWND client = GetParent(Handle());
  switch (m.Msg) {
    case WM_MDIACTIVATE: Activated(HWND(m.LParam) == Handle()); return true;
    case WM_SYSCOMMAND:
      switch (m.WParam & 0xFFF0) {
        case SC_MAXIMIZE: SendMessageA(client, WM_MDIMAXIMIZE, WPARAM(Handle()), 0); return true;
        case SC_RESTORE: SendMessageA(client, WM_MDIRESTORE, WPARAM(Handle()), 0); return true;
        default: return false;
      }
    case WM_SIZE:
      if (m.WParam == SIZE_MINIMIZED) SendMessageA(client, WM_MDIICONARRANGE, 0, 0);
      return false;
    case WM_SHOWWINDOW:
      if (!m.WParam && ActiveChild(client) == Handle()) Activate(client, NextVisible(client, Handle()));
      return false;
    case WM_DESTROY:
      if (IsWindow(client) && ActiveChild(client) == Handle()) Activate(client, NextVisible(client, Handle()));
      return false;
    default: return false;
  }
}
