// TrackMenu and TPopupMenu::Popup: a top-most window lists the visible items, each
// measured and drawn by the item itself; the mouse (captured) and the keys
// (Up, Down, Right, Enter, Esc and the items' "&" letters) choose one while a
// local loop pumps the application's messages. An item with sub-items opens
// its own list beside it.
#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/menus.h"
#include "platform/rtl/text.h"

namespace {

class TMenuWindow : public TCustomControl {
public:
  TMenuWindow(TMenuItem* parent, int x, int y) : TCustomControl(nullptr) {
    SetVisible(false);
    SetColor(clMenu);
    HDC dc = CreateCompatibleDC(nullptr);
    TCanvas measure;
    measure.SetHandle(dc);
    measure.SetFont(Font());
    int width = 0, top = kBorder;
    for (int i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      if (!item->Visible()) continue;
      int w = 0, h = 0;
      item->MeasureItem(&measure, w, h);
      rows_.push_back({item, Rect(kBorder, top, 0, top + h)});
      top += h;
      width = std::max(width, w);
    }
    measure.SetHandle(nullptr);
    DeleteDC(dc);
    for (Row& r : rows_) r.rect.Right = kBorder + width;
    SetBounds(x, y, width + 2 * kBorder, top + kBorder);
  }

  // Runs until something is chosen (returned) or the menu is dismissed.
  TMenuItem* Run() {
    if (rows_.empty()) return nullptr;
    const HWND focus = GetFocus();
    SetWindowPos(Handle(), HWND_TOPMOST, Left(), Top(), Width(), Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetVisible(true);
    ::SetFocus(Handle());
    SetCapture(Handle());
    while (!done_ && !Application->Terminated()) Application->HandleMessage();
    if (GetCapture() == Handle()) ReleaseCapture();
    SetVisible(false);
    if (focus && IsWindow(focus)) ::SetFocus(focus);
    return chosen_;
  }

protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.Style = WS_POPUP;
    p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    p.WndParent = 0;
  }

  void Paint() override {
    RECT frame = ClientRect();
    DrawEdge(Canvas()->Handle(), &frame, EDGE_RAISED, BF_RECT);
    for (size_t i = 0; i < rows_.size(); ++i) {
      const int saved = SaveDC(Canvas()->Handle());
      rows_[i].item->DrawItem(Canvas(), rows_[i].rect, int(i) == selected_);
      RestoreDC(Canvas()->Handle(), saved);
    }
  }

  void WndProc(TMessage& m) override {
    switch (m.Msg) {
      case WM_MOUSEMOVE: Select(RowAt(GET_Y_LPARAM(m.LParam), GET_X_LPARAM(m.LParam))); return;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
        if (RowAt(GET_Y_LPARAM(m.LParam), GET_X_LPARAM(m.LParam)) < 0 && !InWindow(m.LParam)) done_ = true;
        return;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP: {
        const int row = RowAt(GET_Y_LPARAM(m.LParam), GET_X_LPARAM(m.LParam));
        if (row >= 0) Choose(row);
        return;
      }
      case WM_KEYDOWN: Key(WORD(m.WParam)); return;
      case WM_CHAR: Letter(char(m.WParam)); return;
      case WM_CAPTURECHANGED:
        if (!done_ && HWND(m.LParam) != Handle() && !child_) done_ = true;
        return;
      default: TCustomControl::WndProc(m);
    }
  }

private:
  static constexpr int kBorder = 2;
  struct Row {
    TMenuItem* item;
    TRect rect;
  };

  bool InWindow(LPARAM lp) const {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    return x >= 0 && y >= 0 && x < Width() && y < Height();
  }
  int RowAt(int y, int x) const {
    if (x < 0 || x >= Width()) return -1;
    for (size_t i = 0; i < rows_.size(); ++i)
      if (y >= rows_[i].rect.Top && y < rows_[i].rect.Bottom) return int(i);
    return -1;
  }
  bool Selectable(int row) const {
    TMenuItem* item = rows_[size_t(row)].item;
    return !item->IsLine() && item->Enabled();
  }
  void Select(int row) {
    if (row == selected_) return;
    selected_ = row;
    Invalidate();
  }
  void Step(int delta) {
    const int n = int(rows_.size());
    int row = selected_;
    for (int i = 0; i < n; ++i) {
      row = ((row < 0 && delta < 0 ? n : row) + delta + n) % n;
      if (Selectable(row)) {
        Select(row);
        return;
      }
    }
  }
  void Choose(int row) {
    if (!Selectable(row)) return;
    TMenuItem* item = rows_[size_t(row)].item;
    if (item->Count() > 0) {
      const TPoint corner = ClientToScreen(Point(Width() - kBorder, rows_[size_t(row)].rect.Top));
      TMenuWindow sub(item, corner.X, corner.Y);
      child_ = true;
      chosen_ = sub.Run();
      child_ = false;
      SetCapture(Handle());
      if (!chosen_) return;  // the sub-list was dismissed: this one stays
    } else {
      chosen_ = item;
    }
    done_ = true;
  }
  void Key(WORD key) {
    switch (key) {
      case VK_UP: Step(-1); break;
      case VK_DOWN: Step(1); break;
      case VK_RETURN:
      case VK_RIGHT:
        if (selected_ >= 0 && (key == VK_RETURN || rows_[size_t(selected_)].item->Count() > 0)) Choose(selected_);
        break;
      case VK_ESCAPE:
      case VK_LEFT: done_ = true; break;
      default: break;
    }
  }
  void Letter(char c) {
    const char hot = AnsiUpperChar(c);
    for (size_t i = 0; i < rows_.size(); ++i)
      if (GetHotkey(rows_[i].item->Caption()) == hot && Selectable(int(i))) {
        Select(int(i));
        Choose(int(i));
        return;
      }
  }

  std::vector<Row> rows_;
  int selected_ = -1;
  bool done_ = false;
  bool child_ = false;
  TMenuItem* chosen_ = nullptr;
};

}  // namespace

TMenuItem* TrackMenu(TMenuItem* parent, int x, int y) {
  Application->CancelHint();
  TMenuWindow window(parent, x, y);
  return window.Run();
}

TMenuItem* TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  TMenuItem* chosen = TrackMenu(Items(), x, y);
  if (chosen) chosen->Click();
  return chosen;
}
