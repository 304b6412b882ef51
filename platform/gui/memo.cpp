// TCustomMemo: lines over the edit engine's text, the scroll bars the memo
// draws itself (arrows, track, a thumb that can be dragged; the horizontal
// one scrolls lines wider than the memo when they are not wrapped), the
// wheel, WM_VSCROLL and WM_HSCROLL, and the scroll state it publishes.
#include <algorithm>

#include "platform/gui/colors.h"
#include "platform/gui/edits.h"

namespace {

// How far an arrow of the horizontal bar moves the lines, in pixels.
constexpr int kSidewaysStepPx = 8;
// Room after the widest line, so that the caret at its end shows.
constexpr int kCaretRoomPx = 1;

// The memo's lines: display lines of its text, without the empty one after
// a final CR LF. Adding a line appends it with its CR LF.
class TMemoStrings : public TStrings {
public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

  int Count() const override {
    const std::vector<AnsiString> lines = Split();
    return int(lines.size()) - (lines.back().empty() ? 1 : 0);
  }
  void Insert(int index, const AnsiString& s) override {
    std::vector<AnsiString> lines = Split();
    if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    if (lines.back().empty()) lines.pop_back();
    lines.insert(lines.begin() + index, s);
    Join(lines, true);
  }
  void Delete(int index) override {
    std::vector<AnsiString> lines = Split();
    CheckIndex(index);
    const bool trailing = lines.back().empty();
    if (trailing) lines.pop_back();
    lines.erase(lines.begin() + index);
    Join(lines, trailing);
  }
  void Clear() override { memo_->SetText(""); }
  void SetText(std::string_view text) override { memo_->SetText(AnsiString(text)); }

protected:
  AnsiString Get(int index) const override {
    CheckIndex(index);
    return Split()[size_t(index)];
  }
  void Put(int index, const AnsiString& s) override {
    std::vector<AnsiString> lines = Split();
    CheckIndex(index);
    const bool trailing = lines.back().empty();
    if (trailing) lines.pop_back();
    lines[size_t(index)] = s;
    Join(lines, trailing);
  }

private:
  std::vector<AnsiString> Split() const {
    std::vector<AnsiString> lines{""};
    const AnsiString& t = memo_->Text();
    for (size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') continue;
      if (t[i] == '\n') lines.emplace_back();
      else lines.back() += t[i];
    }
    return lines;
  }
  void Join(const std::vector<AnsiString>& lines, bool trailing) {
    AnsiString text;
    for (size_t i = 0; i < lines.size(); ++i) text += lines[i] + (i + 1 < lines.size() || trailing ? "\r\n" : "");
    memo_->SetText(text);
  }
  void CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  TCustomMemo* memo_;
};

}  // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(new TMemoStrings(this)) {
  multiLine_ = true;
  wordWrap_ = true;
  SetAutoSelect(false);
  TControl::SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { delete lines_; }

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  PublishScrollInfo();
  Invalidate();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  ScrollCaretIntoView();
  ScrollTo(topLine_);
  PublishScrollInfo();
  PlaceCaret();
  Invalidate();
}

int TCustomMemo::VisibleLineCount() const { return std::max(1, TextArea().Height() / std::max(1, LineHeight())); }

TScrollStrip TCustomMemo::Strip() const {
  const TRect c = ClientRect();
  const int bottom = HasHBar() ? c.Bottom - TScrollStrip::kWidth : c.Bottom;
  TScrollStrip strip;
  strip.bar = HasVBar() ? Rect(c.Right - TScrollStrip::kWidth, c.Top, c.Right, bottom) : Rect(c.Right, c.Top, c.Right, bottom);
  strip.total = LineCount();
  strip.page = VisibleLineCount();
  strip.top = topLine_;
  return strip;
}

// In pixels: the widest line against the width of the text area.
TScrollStrip TCustomMemo::HStrip() const {
  const TRect c = ClientRect();
  const int right = HasVBar() ? c.Right - TScrollStrip::kWidth : c.Right;
  TScrollStrip strip;
  strip.horizontal = true;
  strip.bar = HasHBar() ? Rect(c.Left, c.Bottom - TScrollStrip::kWidth, right, c.Bottom) : Rect(c.Left, c.Bottom, right, c.Bottom);
  strip.page = std::max(1, TextArea().Width());
  // A view the caret moved further right than the widest line counts too.
  strip.total = std::max(HasHBar() ? WidestLineWidth() + kCaretRoomPx : 0, scrollX_ + strip.page);
  strip.top = scrollX_;
  strip.line = kSidewaysStepPx;
  return strip;
}

TRect TCustomMemo::TextArea() const {
  TRect r = FormattingRect();
  const TRect c = ClientRect();
  if (HasVBar()) r.Right = std::min(r.Right, c.Right - TScrollStrip::kWidth);
  if (HasHBar()) r.Bottom = std::min(r.Bottom, c.Bottom - TScrollStrip::kWidth);
  return r;
}

void TCustomMemo::ScrollTo(int line) {
  const int top = std::clamp(line, 0, std::max(0, LineCount() - VisibleLineCount()));
  if (top == topLine_) return;
  topLine_ = top;
  PublishScrollInfo();
  PlaceCaret();
  Invalidate();
}

void TCustomMemo::ScrollSideways(int x) {
  const TScrollStrip strip = HStrip();
  const int left = std::clamp(x, 0, std::max(0, strip.total - strip.page));
  if (left == scrollX_) return;
  scrollX_ = left;
  PublishScrollInfo();
  PlaceCaret();
  Invalidate();
}

void TCustomMemo::PublishScrollInfo() {
  if (!HandleAllocated()) return;
  Strip().Publish(Handle(), HasVBar(), Enabled());
  HStrip().Publish(Handle(), HasHBar(), Enabled());
}

// The caret's line stays in view.
void TCustomMemo::ScrollCaretIntoView() {
  const int oldX = scrollX_;
  TCustomEdit::ScrollCaretIntoView();
  const std::vector<int> starts = LineStarts();
  const int caretLine = LineOfPos(CaretPos(), starts);
  const int page = VisibleLineCount();
  int top = topLine_;
  if (caretLine < top) top = caretLine;
  if (caretLine >= top + page) top = caretLine - page + 1;
  top = std::clamp(top, 0, std::max(0, int(starts.size()) - page));
  if (top == topLine_ && scrollX_ == oldX) return;
  topLine_ = top;
  PublishScrollInfo();
}

void TCustomMemo::PaintExtras(HDC dc) {
  if (HasVBar()) Strip().Paint(dc, Enabled());
  if (HasHBar()) HStrip().Paint(dc, Enabled());
  if (!HasVBar() || !HasHBar()) return;
  const TRect c = ClientRect();
  const RECT corner = Rect(c.Right - TScrollStrip::kWidth, c.Bottom - TScrollStrip::kWidth, c.Right, c.Bottom);
  HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
  FillRect(dc, &corner, face);
  DeleteObject(face);
}

void TCustomMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const TScrollStrip v = Strip(), h = HStrip();
  const bool onV = HasVBar() && x >= v.bar.Left && y < v.bar.Bottom;
  const bool onH = HasHBar() && y >= h.bar.Top;
  if (button != mbLeft || (!onV && !onH)) {
    TCustomEdit::MouseDown(button, shift, x, y);
    return;
  }
  const TScrollStrip& strip = onV ? v : h;
  const int at = onV ? y : x;
  const TScrollStrip::Part part = strip.HitTest(at);
  if (part == TScrollStrip::Thumb) {
    dragSideways_ = !onV;
    dragOffset_ = at - (onV ? strip.ThumbRect().Top : strip.ThumbRect().Left);
  } else if (onV) {
    ScrollTo(strip.TopAfterPress(part));
  } else {
    ScrollSideways(strip.TopAfterPress(part));
  }
}

void TCustomMemo::MouseMove(TShiftState shift, int x, int y) {
  if (dragOffset_ < 0) TCustomEdit::MouseMove(shift, x, y);
  else if (dragSideways_) ScrollSideways(HStrip().TopFromThumb(x - dragOffset_));
  else ScrollTo(Strip().TopFromThumb(y - dragOffset_));
}

void TCustomMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  dragOffset_ = -1;
  TCustomEdit::MouseUp(button, shift, x, y);
}

void TCustomMemo::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEWHEEL: {
      const int delta = std::int16_t(HIWORD(m.WParam));
      ScrollTo(topLine_ - delta / 120 * 3);
      return;
    }
    case WM_VSCROLL: ScrollTo(Strip().TopForRequest(Handle(), m.WParam)); return;
    case WM_HSCROLL: ScrollSideways(HStrip().TopForRequest(Handle(), m.WParam)); return;
    case WM_SIZE:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      TCustomEdit::WndProc(m);
      ScrollTo(topLine_);
      PublishScrollInfo();
      return;
    default: TCustomEdit::WndProc(m);
  }
}
