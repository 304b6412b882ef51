// The caret and the mouse cursors. The one caret of the user-interface
// thread is drawn by inverting its rectangle in the owner's backing bitmap;
// it is taken out whenever someone draws on that top-level window and put back
// when the paint pass ends, and it blinks on a thread timer. Cursors are the
// shared system cursors by their IDC_ numbers, shown by the backend.

#include <array>

#include "platform/gui/colors.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

struct CursorObject {
  int id = 0;
};

namespace user_detail {
namespace {

constexpr UINT kCaretBlinkMs = 530;

struct Caret {
  HWND hwnd = 0;
  int width = 1;
  int height = 1;
  POINT pos;
  int hideCount = 1;  // created hidden
  bool blinkOn = true;
  bool drawn = false;
  UINT_PTR timer = 0;
};

Caret& TheCaret() {
  static Caret caret;
  return caret;
}

void InvertCaret(Window* owner) {
  Caret& c = TheCaret();
  Window* root = Root(owner);
  const POINT o = OriginInRoot(owner);
  const TRect r = Bounds(o.X + owner->client.Left + c.pos.X, o.Y + owner->client.Top + c.pos.Y, c.width, c.height);
  const Region area = Region::Combine(VisibleArea(owner, true), Region(r), RegionOp::And);
  for (const TRect& part : area.Rects())
    for (int y = part.Top; y < part.Bottom; ++y)
      for (int x = part.Left; x < part.Right; ++x) root->backing->Row(y)[x] ^= kRgbMask;
  if (!area.IsEmpty()) MarkDirty(root, area.Bounds());
}

// Brings the drawn state in line with what the caret should show.
void Refresh() {
  Caret& c = TheCaret();
  Window* owner = Find(c.hwnd);
  if (!owner) return;
  DrawCaretIfOwnedBy(Root(owner), true);
  SchedulePaint(Root(owner));
}

void Blink(HWND, UINT, UINT_PTR, std::uint32_t) {
  TheCaret().blinkOn = !TheCaret().blinkOn;
  Refresh();
}

}  // namespace

void DrawCaretIfOwnedBy(Window* root, bool visible) {
  Caret& c = TheCaret();
  Window* owner = Find(c.hwnd);
  if (!owner || Root(owner) != root || !root->backing) return;
  const bool want = visible && c.hideCount == 0 && c.blinkOn && VisibleChain(owner);
  if (want == c.drawn) return;
  InvertCaret(owner);
  c.drawn = want;
}

void ForgetCaretOf(HWND hwnd) {
  if (TheCaret().hwnd != hwnd) return;
  KillTimer(0, TheCaret().timer);
  TheCaret() = Caret{};
}

}  // namespace user_detail

using namespace user_detail;

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
  if (!Find(hwnd)) return 0;
  DestroyCaret();
  Caret& c = TheCaret();
  c.hwnd = hwnd;
  c.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
  c.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
  c.timer = SetTimer(0, 0, kCaretBlinkMs, Blink);
  return 1;
}

BOOL DestroyCaret() {
  Caret& c = TheCaret();
  Window* owner = Find(c.hwnd);
  if (!owner) return 0;
  DrawCaretIfOwnedBy(Root(owner), false);
  SchedulePaint(Root(owner));
  ForgetCaretOf(c.hwnd);
  return 1;
}

BOOL SetCaretPos(int x, int y) {
  Caret& c = TheCaret();
  Window* owner = Find(c.hwnd);
  if (!owner) return 0;
  DrawCaretIfOwnedBy(Root(owner), false);
  c.pos = {x, y};
  c.blinkOn = true;
  Refresh();
  return 1;
}

BOOL GetCaretPos(POINT* point) {
  if (!point) return 0;
  *point = TheCaret().pos;
  return 1;
}

BOOL ShowCaret(HWND hwnd) {
  Caret& c = TheCaret();
  if (!c.hwnd || (hwnd && hwnd != c.hwnd) || c.hideCount == 0) return 0;
  --c.hideCount;
  Refresh();
  return 1;
}

BOOL HideCaret(HWND hwnd) {
  Caret& c = TheCaret();
  if (!c.hwnd || (hwnd && hwnd != c.hwnd)) return 0;
  ++c.hideCount;
  Refresh();
  return 1;
}

UINT GetCaretBlinkTime() { return kCaretBlinkMs; }

// --- cursors ----------------------------------------------------------------------------------

namespace {

HCURSOR g_cursor = nullptr;

}  // namespace

HCURSOR LoadCursorA(HINSTANCE, const char* name) {
  static const std::array<int, 11> ids{32512, 32513, 32514, 32515, 32642, 32643, 32644, 32645, 32646, 32648, 32649};
  static std::array<CursorObject, 11> cursors = [] {
    std::array<CursorObject, 11> list;
    for (std::size_t i = 0; i < ids.size(); ++i) list[i].id = ids[i];
    return list;
  }();
  const auto id = int(reinterpret_cast<std::uintptr_t>(name));
  for (std::size_t i = 0; i < ids.size(); ++i)
    if (ids[i] == id) return &cursors[i];
  return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  const HCURSOR old = g_cursor;
  g_cursor = cursor;
  if (cursor != old) Backend().SetCursor(CursorId(cursor));
  return old;
}

HCURSOR GetCursor() { return g_cursor; }

int CursorId(HCURSOR cursor) { return cursor ? cursor->id : 0; }
