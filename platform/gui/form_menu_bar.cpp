// The menu bar of a form with a main menu: a band of the non-client area
// under the caption with one entry per visible top-level item. A click on an
// entry (or Alt and its "&" letter) drops the item's submenu down, or clicks
// an item without sub-items. Frames that draw their own menu bar set the
// form's Menu to none, and the band goes.
#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/menus.h"
#include "platform/rtl/text.h"

namespace {
constexpr int kEntryPadding = 8;
}

// An MDI child's menu shows on its parent, never in a band of its own.
bool TCustomForm::HasMenuBar() const {
  if (!menu_ || formStyle_ == fsMDIChild) return false;
  for (int i = 0; i < menu_->Items()->Count(); ++i)
    if (menu_->Items()->Items(i)->Visible()) return true;
  return false;
}

// The entries in window coordinates; the band sits right above the client area.
std::vector<std::pair<TMenuItem*, TRect>> TCustomForm::MenuBarEntries() {
  std::vector<std::pair<TMenuItem*, TRect>> entries;
  if (!HasMenuBar() || !HandleAllocated()) return entries;
  RECT window;
  GetWindowRect(Handle(), &window);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  const int left = origin.X - window.Left, bottom = origin.Y - window.Top;
  const int top = bottom - GetSystemMetrics(SM_CYMENU);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  int x = left;
  for (int i = 0; i < menu_->Items()->Count(); ++i) {
    TMenuItem* item = menu_->Items()->Items(i);
    if (!item->Visible()) continue;
    const AnsiString text = StripHotkey(item->Caption());
    SIZE size;
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    entries.emplace_back(item, Rect(x, top, x + size.cx + 2 * kEntryPadding, bottom));
    x += size.cx + 2 * kEntryPadding;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return entries;
}

void TCustomForm::PaintMenuBar() {
  const auto entries = MenuBarEntries();
  if (entries.empty()) return;
  HDC dc = GetWindowDC(Handle());
  RECT window;
  GetWindowRect(Handle(), &window);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  RECT band{entries.front().second.Left, entries.front().second.Top, origin.X - window.Left + ClientWidth(),
            entries.front().second.Bottom};
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clMenu));
  FillRect(dc, &band, brush);
  DeleteObject(brush);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  for (const auto& [item, r] : entries) {
    SetTextColor(dc, ColorToRGB(item->Enabled() ? clMenuText : clGrayText));
    RECT text = r;
    DrawTextA(dc, item->Caption().c_str(), int(item->Caption().size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
}

// The entry opens: its submenu drops down under it, or it is clicked.
void TCustomForm::OpenMenuBarEntry(TMenuItem* item, const TRect& entry) {
  if (!item->Enabled()) return;
  if (item->Count() == 0) {
    item->Click();
    return;
  }
  RECT window;
  GetWindowRect(Handle(), &window);
  if (TMenuItem* chosen = TrackMenu(item, window.Left + entry.Left, window.Top + entry.Bottom)) chosen->Click();
}

// Messages of the band, before and after the default non-client handling;
// true when the message was the band's alone.
bool TCustomForm::MenuBarMessage(TMessage& m) {
  if (!HasMenuBar()) return false;
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      DefaultHandler(m);
      if (m.WParam) reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0].Top += GetSystemMetrics(SM_CYMENU);
      return true;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      DefaultHandler(m);
      PaintMenuBar();
      return true;
    case WM_NCHITTEST: {
      DefaultHandler(m);
      RECT window;
      GetWindowRect(Handle(), &window);
      const int x = GET_X_LPARAM(m.LParam) - window.Left, y = GET_Y_LPARAM(m.LParam) - window.Top;
      for (const auto& [item, r] : MenuBarEntries())
        if (y >= r.Top && y < r.Bottom && x >= r.Left && x < r.Right) m.Result = HTMENU;
      return true;
    }
    case WM_NCLBUTTONDOWN: {
      if (LRESULT(m.WParam) != HTMENU) return false;
      RECT window;
      GetWindowRect(Handle(), &window);
      const int x = GET_X_LPARAM(m.LParam) - window.Left;
      for (const auto& [item, r] : MenuBarEntries())
        if (x >= r.Left && x < r.Right) OpenMenuBarEntry(item, r);
      return true;
    }
    default: return false;
  }
}

// Alt and a letter no control took: the entry with that "&" letter.
bool TCustomForm::MenuBarHotkey(char key) {
  const char hot = AnsiUpperChar(key);
  for (const auto& [item, r] : MenuBarEntries())
    if (GetHotkey(item->Caption()) == hot) {
      OpenMenuBarEntry(item, r);
      return true;
    }
  return false;
}

void TCustomForm::MenuBarChanged() {
  if (HandleAllocated())
    SetWindowPos(Handle(), 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
