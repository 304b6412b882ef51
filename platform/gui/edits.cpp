// TCustomEdit: the editing engine shared by edits and memos — selection,
// caret, typing, clipboard, undo, layout in the formatting rectangle and
// painting. The memo's own parts are in memo.cpp.
#include "platform/gui/edits.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/rtl/text.h"

namespace {

constexpr int kMargin = 2;

// A memory DC with the control's font, for measuring text.
class MeasureDC {
public:
  explicit MeasureDC(TFont* font) : dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, font->Handle()); }
  ~MeasureDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  int Width(std::string_view s) const {
    SIZE size;
    GetTextExtentPoint32A(dc_, s.data(), int(s.size()), &size);
    return size.cx;
  }
  int Height() const {
    TEXTMETRICA tm;
    GetTextMetricsA(dc_, &tm);
    return tm.tmHeight;
  }

private:
  HDC dc_;
  HGDIOBJ old_;
};

bool IsWordChar(char c) { return static_cast<unsigned char>(c) > ' '; }

// Bytes of the UTF-8 character starting at t[i], within t[..to).
size_t CharLength(std::string_view t, size_t i, size_t to) {
  size_t n = 1;
  while (i + n < to && (static_cast<unsigned char>(t[i + n]) & 0xC0) == 0x80) ++n;
  return n;
}

// Soft line starts of the paragraph t[from, to) wrapped at width: after the
// last blank that fits, or inside a word wider than the width, so that no
// text runs past the edge. Blanks may hang over it.
void AddWrapStarts(const MeasureDC& m, std::string_view t, size_t from, size_t to, int width, std::vector<int>& starts) {
  size_t start = from;
  while (start < to) {
    size_t i = start, afterBlank = start;
    while (i < to) {
      const size_t n = CharLength(t, i, to);
      if (t[i] != ' ' && i > start && m.Width(t.substr(start, i + n - start)) > width) break;
      i += n;
      if (t[i - 1] == ' ') afterBlank = i;
    }
    if (i >= to) return;
    start = afterBlank > start ? afterBlank : i;
    starts.push_back(int(start));
  }
}

}  // namespace

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetColor(clWindow);
  SetControlStyle(ControlStyle() | csOpaque);
  TControl::SetBounds(0, 0, 121, 21);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetPasswordChar(char value) {
  passwordChar_ = value;
  Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  charCase_ = value;
  if (value == ecUpperCase) SetText(AnsiUpperCase(Text()));
  if (value == ecLowerCase) SetText(AnsiLowerCase(Text()));
}

// --- selection -------------------------------------------------------------------------------

int TCustomEdit::SelStart() const { return std::min(anchor_, caret_); }
int TCustomEdit::SelLength() const { return std::abs(caret_ - anchor_); }
AnsiString TCustomEdit::SelText() const { return Text().substr(size_t(SelStart()), size_t(SelLength())); }

void TCustomEdit::SetSelStart(int value) {
  anchor_ = caret_ = std::clamp(value, 0, int(Text().size()));
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::SetSelLength(int value) {
  anchor_ = SelStart();
  caret_ = std::clamp(anchor_ + value, 0, int(Text().size()));
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::SelectAll() {
  anchor_ = 0;
  caret_ = int(Text().size());
  UpdateCaret();
  Invalidate();
}

void TCustomEdit::SetSelText(const AnsiString& text) { ReplaceSelection(text, false); }

void TCustomEdit::ClearSelection() { ReplaceSelection("", false); }

void TCustomEdit::CopyToClipboard() {
  if (SelLength() > 0 && !passwordChar_) Clipboard()->SetAsText(SelText());
}

void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }

void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }

void TCustomEdit::CutSelection() {
  if (readOnly_ || passwordChar_) return;
  CopyToClipboard();
  ReplaceSelection("", true);
}

void TCustomEdit::PasteText() {
  if (readOnly_) return;
  AnsiString text = Clipboard()->AsText();
  if (!multiLine_) text = text.substr(0, std::min(text.find('\r'), text.find('\n')));
  else text = StringReplace(StringReplace(text, "\r\n", "\n", rfReplaceAll), "\n", "\r\n", rfReplaceAll);
  ReplaceSelection(text, true);
}

void TCustomEdit::Undo() {
  if (!undo_) return;
  Snapshot s = *undo_;
  undo_.reset();
  TControl::SetText(s.text);
  anchor_ = s.anchor;
  caret_ = s.caret;
  UpdateCaret();
}

void TCustomEdit::ReplaceSelection(const AnsiString& inserted, bool userEdit) {
  AnsiString text = inserted;
  if (charCase_ == ecUpperCase) text = AnsiUpperCase(text);
  if (charCase_ == ecLowerCase) text = AnsiLowerCase(text);
  const AnsiString& old = Text();
  const int start = SelStart(), length = SelLength();
  // What does not fit under MaxLength is dropped, never the text already there.
  if (maxLength_ > 0 && userEdit) {
    const int room = std::max(0, maxLength_ - (int(old.size()) - length));
    if (int(text.size()) > room) text.resize(size_t(room));
    if (multiLine_ && !text.empty() && text.back() == '\r') text.pop_back();
  }
  if (text.empty() && length == 0) return;
  undo_ = std::make_unique<Snapshot>(Snapshot{old, anchor_, caret_});
  AnsiString next = old;
  next.replace(size_t(start), size_t(length), text);
  anchor_ = caret_ = start + int(text.size());
  if (userEdit) modified_ = true;
  TControl::SetText(next);
  UpdateCaret();
}

// --- layout -----------------------------------------------------------------------------------

TRect TCustomEdit::FormattingRect() const {
  if (hasRect_) return rect_;
  TRect r = ClientRect();
  return Rect(r.Left + kMargin, r.Top + 1, std::max(r.Left + kMargin, r.Right - kMargin), r.Bottom);
}

int TCustomEdit::LineHeight() const { return MeasureDC(Font()).Height(); }

AnsiString TCustomEdit::Shown(std::string_view s) const {
  return passwordChar_ ? AnsiString(s.size(), passwordChar_) : AnsiString(s);
}

int TCustomEdit::TextWidth(std::string_view s) const { return MeasureDC(Font()).Width(Shown(s)); }

std::vector<int> TCustomEdit::LineStarts() const {
  std::vector<int> starts{0};
  if (!multiLine_) return starts;
  const AnsiString& t = Text();
  const bool wrap = wordWrap_ && !passwordChar_;
  const MeasureDC m(Font());
  const int width = std::max(1, TextArea().Width());
  size_t paragraph = 0;
  for (size_t i = 0; i <= t.size(); ++i) {
    if (i < t.size() && t[i] != '\n') continue;
    const size_t end = i > paragraph && t[i - 1] == '\r' ? i - 1 : i;
    if (wrap) AddWrapStarts(m, t, paragraph, end, width, starts);
    if (i < t.size()) starts.push_back(int(i + 1));
    paragraph = i + 1;
  }
  return starts;
}

int TCustomEdit::WidestLineWidth() const {
  const std::vector<int> starts = LineStarts();
  const std::string_view t = Text();
  const MeasureDC m(Font());
  int widest = 0;
  for (int line = 0; line < int(starts.size()); ++line) {
    const int start = starts[size_t(line)];
    widest = std::max(widest, m.Width(Shown(t.substr(size_t(start), size_t(LineEnd(line, starts) - start)))));
  }
  return widest;
}

int TCustomEdit::LineOfPos(int pos, const std::vector<int>& starts) const {
  return int(std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin()) - 1;
}

// Where the line's text ends (before its CR LF, or where a wrapped line goes on).
int TCustomEdit::LineEnd(int line, const std::vector<int>& starts) const {
  const AnsiString& t = Text();
  if (size_t(line + 1) >= starts.size()) return int(t.size());
  int end = starts[size_t(line + 1)];
  if (t[size_t(end - 1)] != '\n') return end;
  --end;
  if (end > starts[size_t(line)] && t[size_t(end - 1)] == '\r') --end;
  return end;
}

TPoint TCustomEdit::PointFromPos(int pos) const {
  const std::vector<int> starts = LineStarts();
  const int line = LineOfPos(pos, starts);
  const TRect area = TextArea();
  const std::string_view t = Text();
  const int x = area.Left - scrollX_ + TextWidth(t.substr(size_t(starts[size_t(line)]), size_t(pos - starts[size_t(line)])));
  return Point(x, area.Top + (line - topLine_) * LineHeight());
}

int TCustomEdit::PosFromPoint(int x, int y) const {
  const std::vector<int> starts = LineStarts();
  const TRect area = TextArea();
  const int line = std::clamp(topLine_ + (y - area.Top) / std::max(1, LineHeight()) - (y < area.Top ? 1 : 0), 0,
                              int(starts.size()) - 1);
  const int start = starts[size_t(line)], end = LineEnd(line, starts);
  const std::string_view t = Text();
  MeasureDC m(Font());
  int best = start, bestDistance = 1 << 30;
  for (int p = start; p <= end; ++p) {
    const int px = area.Left - scrollX_ + m.Width(Shown(t.substr(size_t(start), size_t(p - start))));
    if (std::abs(px - x) < bestDistance) {
      bestDistance = std::abs(px - x);
      best = p;
    }
  }
  return best;
}

void TCustomEdit::ScrollCaretIntoView() {
  if (multiLine_ && wordWrap_ && !passwordChar_) {  // wrapped lines fit: no sideways scrolling
    scrollX_ = 0;
    return;
  }
  const TRect area = TextArea();
  const std::vector<int> starts = LineStarts();
  const int line = LineOfPos(caret_, starts);
  const int x = TextWidth(std::string_view(Text()).substr(size_t(starts[size_t(line)]), size_t(caret_ - starts[size_t(line)])));
  const int width = std::max(1, area.Width() - 1);
  if (x - scrollX_ > width) scrollX_ = x - width + width / 3;
  if (x < scrollX_) scrollX_ = std::max(0, x - width / 3);
}

void TCustomEdit::PlaceCaret() {
  if (caretCreated_ && HandleAllocated()) {
    const TPoint p = PointFromPos(caret_);
    SetCaretPos(p.X, p.Y);
  }
}

void TCustomEdit::UpdateCaret() {
  ScrollCaretIntoView();
  PlaceCaret();
  Invalidate();
}

int TCustomEdit::PrevPos(int pos) const {
  const AnsiString& t = Text();
  if (pos >= 2 && t[size_t(pos - 1)] == '\n' && t[size_t(pos - 2)] == '\r') return pos - 2;
  return std::max(0, pos - 1);
}

int TCustomEdit::NextPos(int pos) const {
  const AnsiString& t = Text();
  if (size_t(pos) + 1 < t.size() && t[size_t(pos)] == '\r' && t[size_t(pos) + 1] == '\n') return pos + 2;
  return std::min(int(t.size()), pos + 1);
}

void TCustomEdit::MoveCaret(int pos, bool extend) {
  caret_ = std::clamp(pos, 0, int(Text().size()));
  // Never between the CR and the LF of a line end: the end of the line instead.
  if (caret_ > 0 && size_t(caret_) < Text().size() && Text()[size_t(caret_)] == '\n' && Text()[size_t(caret_ - 1)] == '\r')
    --caret_;
  if (!extend) anchor_ = caret_;
  UpdateCaret();
}

// --- painting -------------------------------------------------------------------------------

void TCustomEdit::PaintWindow(HDC dc) {
  const TRect client = ClientRect();
  HBRUSH back = CreateSolidBrush(ColorToRGB(Enabled() ? Color() : clBtnFace));
  FillRect(dc, &client, back);
  DeleteObject(back);
  const TRect area = TextArea();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
  HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
  SetBkMode(dc, OPAQUE);
  const std::vector<int> starts = LineStarts();
  const int h = LineHeight();
  const std::string_view t = Text();
  const int selFrom = SelStart(), selTo = SelStart() + SelLength();
  const bool showSelection = Focused() && selTo > selFrom;
  for (int line = topLine_; line < int(starts.size()); ++line) {
    const int y = area.Top + (line - topLine_) * h;
    if (y >= area.Bottom) break;
    const int start = starts[size_t(line)], end = LineEnd(line, starts);
    // Three runs: before, inside and after the selection.
    const int cuts[4] = {start, std::clamp(selFrom, start, end), std::clamp(selTo, start, end), end};
    int x = area.Left - scrollX_;
    for (int run = 0; run < 3; ++run) {
      const AnsiString piece = Shown(t.substr(size_t(cuts[run]), size_t(cuts[run + 1] - cuts[run])));
      if (piece.empty()) continue;
      const bool selected = run == 1 && showSelection;
      SetTextColor(dc, ColorToRGB(selected ? clHighlightText : Enabled() ? Font()->Color() : clGrayText));
      SetBkColor(dc, ColorToRGB(selected ? clHighlight : Enabled() ? Color() : clBtnFace));
      TextOutA(dc, x, y, piece.c_str(), int(piece.size()));
      x += TextWidth(t.substr(size_t(cuts[run]), size_t(cuts[run + 1] - cuts[run])));
    }
  }
  SelectObject(dc, oldFont);
  RestoreDC(dc, saved);
  PaintExtras(dc);
}

// --- input ------------------------------------------------------------------------------------

bool TCustomEdit::WantsKey(WORD key) const {
  if (key == VK_RETURN) return multiLine_ && wantReturns_;
  if (key == VK_TAB) return multiLine_ && wantTabs_;
  return key != VK_ESCAPE;
}

void TCustomEdit::KeyDown(WORD& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (!key) return;
  const bool extend = shift & ssShift;
  const bool ctrl = shift & ssCtrl;
  const std::vector<int> starts = LineStarts();
  const int line = LineOfPos(caret_, starts);
  const std::string_view t = Text();
  auto vertical = [&](int lines) {
    const TPoint p = PointFromPos(caret_);
    const int target = std::clamp(line + lines, 0, int(starts.size()) - 1);
    MoveCaret(PosFromPoint(p.X, TextArea().Top + (target - topLine_) * LineHeight()), extend);
  };
  const int page = std::max(1, TextArea().Height() / std::max(1, LineHeight()));
  switch (key) {
    case VK_LEFT:
      if (ctrl) {
        int p = caret_;
        while (p > 0 && !IsWordChar(t[size_t(p - 1)])) --p;
        while (p > 0 && IsWordChar(t[size_t(p - 1)])) --p;
        MoveCaret(p, extend);
      } else if (!extend && SelLength() > 0) {
        MoveCaret(SelStart(), false);
      } else {
        MoveCaret(PrevPos(caret_), extend);
      }
      break;
    case VK_RIGHT:
      if (ctrl) {
        int p = caret_;
        while (p < int(t.size()) && IsWordChar(t[size_t(p)])) ++p;
        while (p < int(t.size()) && !IsWordChar(t[size_t(p)])) ++p;
        MoveCaret(p, extend);
      } else if (!extend && SelLength() > 0) {
        MoveCaret(SelStart() + SelLength(), false);
      } else {
        MoveCaret(NextPos(caret_), extend);
      }
      break;
    case VK_HOME: MoveCaret(ctrl ? 0 : starts[size_t(line)], extend); break;
    case VK_END: MoveCaret(ctrl ? int(t.size()) : LineEnd(line, starts), extend); break;
    case VK_UP: if (multiLine_) vertical(-1); break;
    case VK_DOWN: if (multiLine_) vertical(1); break;
    case VK_PRIOR: if (multiLine_) vertical(-page); break;
    case VK_NEXT: if (multiLine_) vertical(page); break;
    case VK_DELETE:
      if (readOnly_) break;
      if (extend) {
        CutToClipboard();
        break;
      }
      if (SelLength() == 0) MoveCaret(NextPos(caret_), true);
      ReplaceSelection("", true);
      break;
    case VK_INSERT:
      if (ctrl) CopyToClipboard();
      else if (extend) PasteFromClipboard();
      break;
    default:
      if (!ctrl) return;
      switch (key) {
        case 'A': SelectAll(); break;
        case 'C': CopyToClipboard(); break;
        case 'X': CutToClipboard(); break;
        case 'V': PasteFromClipboard(); break;
        case 'Z': Undo(); break;
        default: return;
      }
  }
  key = 0;
}

void TCustomEdit::KeyPress(char& key) {
  TWinControl::KeyPress(key);
  const unsigned char c = static_cast<unsigned char>(key);
  if (!c) return;
  if (c == VK_BACK) {
    if (!readOnly_) {
      if (SelLength() == 0) MoveCaret(PrevPos(caret_), true);
      ReplaceSelection("", true);
    }
  } else if (c == '\r') {
    if (multiLine_ && wantReturns_ && !readOnly_) ReplaceSelection("\r\n", true);
  } else if (c == '\t') {
    if (multiLine_ && wantTabs_ && !readOnly_) ReplaceSelection("\t", true);
  } else if (c >= ' ' && c != 0x7F && !readOnly_ && !(KeyboardShiftState() & ssCtrl)) {
    ReplaceSelection(AnsiString(1, key), true);
  }
  key = 0;
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    MoveCaret(PosFromPoint(x, y), shift & ssShift);
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TCustomEdit::MouseMove(TShiftState shift, int x, int y) {
  if (ControlState() & csLButtonDown) MoveCaret(PosFromPoint(x, y), true);
  TWinControl::MouseMove(shift, x, y);
}

void TCustomEdit::DoEnter() {
  if (autoSelect_ && !multiLine_ && !(ControlState() & csLButtonDown)) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      anchor_ = std::min(anchor_, int(Text().size()));
      caret_ = std::min(caret_, int(Text().size()));
      UpdateCaret();
      Change();
      return;
    case WM_SETFOCUS:
      CreateCaret(Handle(), nullptr, 1, LineHeight());
      caretCreated_ = true;
      UpdateCaret();
      ShowCaret(Handle());
      TWinControl::WndProc(m);
      return;
    case WM_KILLFOCUS:
      caretCreated_ = false;
      DestroyCaret();
      Invalidate();
      TWinControl::WndProc(m);
      return;
    case WM_SETCURSOR:
      if (LOWORD(std::uintptr_t(m.LParam)) == HTCLIENT && Screen->Cursor() == crDefault) {
        ::SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
        m.Result = 1;
        return;
      }
      break;
    case WM_COPY: CopyToClipboard(); return;
    case WM_CUT: CutSelection(); return;
    case WM_PASTE: PasteText(); return;
    case WM_CLEAR: if (!readOnly_) ReplaceSelection("", true); return;
    case WM_UNDO: Undo(); m.Result = 1; return;
    case EM_GETSEL:
      if (m.WParam) *reinterpret_cast<DWORD*>(m.WParam) = DWORD(SelStart());
      if (m.LParam) *reinterpret_cast<DWORD*>(m.LParam) = DWORD(SelStart() + SelLength());
      m.Result = MAKELPARAM(SelStart(), SelStart() + SelLength());
      return;
    case EM_SETSEL: {
      const int size = int(Text().size());
      const int from = int(m.WParam) < 0 ? size : std::min(int(m.WParam), size);
      const int to = int(m.LParam) < 0 ? size : std::min(int(m.LParam), size);
      anchor_ = from;
      caret_ = to;
      UpdateCaret();
      return;
    }
    case EM_REPLACESEL: ReplaceSelection(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "", m.WParam != 0); return;
    case EM_GETRECT:
      if (m.LParam) *reinterpret_cast<RECT*>(m.LParam) = FormattingRect();
      return;
    case EM_SETRECT:
    case EM_SETRECTNP:
      hasRect_ = m.LParam != 0;
      if (hasRect_) rect_ = *reinterpret_cast<const RECT*>(m.LParam);
      if (m.Msg == EM_SETRECT) Invalidate();
      return;
    case EM_GETFIRSTVISIBLELINE: m.Result = topLine_; return;
    default: break;
  }
  TWinControl::WndProc(m);
}
