// Edit controls: TCustomEdit and TEdit (one line) and TCustomMemo and TMemo
// (lines, scroll bars of its own, the wheel). Both keep the text as
// Windows-1250 bytes, with a selection between an anchor and the caret,
// typing, the clipboard keys and messages, one level of undo, and the
// formatting rectangle (EM_GETRECT, EM_SETRECT, EM_SETRECTNP) that text is
// laid out in. Memo lines end in CR LF; Lines is a string list over them.
// A memo wraps long lines (WordWrap) or else scrolls sideways, following
// the caret and its horizontal scroll bar.
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/scroll_strip.h"
#include "platform/rtl/lists.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* owner);
  ~TCustomEdit() override;

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value) { maxLength_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase value);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool value) { autoSelect_ = value; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool Modified() const { return modified_; }
  void SetModified(bool value) { modified_ = value; }

  int SelStart() const;
  void SetSelStart(int value);
  int SelLength() const;
  void SetSelLength(int value);
  AnsiString SelText() const;
  // Replaces the selection (as typing would, but also in a read-only edit).
  void SetSelText(const AnsiString& text);
  void SelectAll();
  void ClearSelection();
  void CopyToClipboard();
  // Both go through the window procedure (WM_CUT, WM_PASTE), also from the
  // keys, so a descendant that refuses or follows them sees every one.
  void CutToClipboard();
  void PasteFromClipboard();
  void Clear() { SetText(""); }
  bool CanUndo() const { return undo_ != nullptr; }
  void Undo();
  // The rectangle the text is laid out in (client coordinates).
  TRect FormattingRect() const;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void PaintWindow(HDC dc) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  bool WantsKey(WORD key) const override;
  void DoEnter() override;
  virtual void Change();
  // Multi-line edits (memos) turn these on.
  bool multiLine_ = false;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  // Multi-line edits break lines wider than the text area at blanks (words
  // wider than it inside), so no text is cut at the right edge.
  bool wordWrap_ = false;
  // The formatting rectangle without the memo's scroll bar.
  virtual TRect TextArea() const { return FormattingRect(); }
  // The memo paints its scroll bar after the text.
  virtual void PaintExtras(HDC) {}
  // Keeps the caret line (memo) or column (edit) in view.
  virtual void ScrollCaretIntoView();
  int LineHeight() const;
  // Byte offsets of the starts of the display lines (one for an edit).
  std::vector<int> LineStarts() const;
  int LineOfPos(int pos, const std::vector<int>& starts) const;
  int LineEnd(int line, const std::vector<int>& starts) const;
  int CaretPos() const { return caret_; }
  // Moves the shown caret to its text position (after scrolling).
  void PlaceCaret();
  // The width of the widest display line, in pixels.
  int WidestLineWidth() const;
  int topLine_ = 0;
  int scrollX_ = 0;  // pixels of the lines scrolled out at the left

private:
  void CutSelection();
  void PasteText();
  struct Snapshot {
    AnsiString text;
    int anchor, caret;
  };
  AnsiString Shown(std::string_view s) const;
  int TextWidth(std::string_view s) const;
  int PosFromPoint(int x, int y) const;
  TPoint PointFromPos(int pos) const;
  void MoveCaret(int pos, bool extend);
  // One character back or on; a CR LF line end counts as one.
  int PrevPos(int pos) const;
  int NextPos(int pos) const;
  // Puts text in place of the selection: the one road of every edit.
  void ReplaceSelection(const AnsiString& text, bool userEdit);
  void UpdateCaret();

  int maxLength_ = 0;
  bool readOnly_ = false;
  char passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  bool modified_ = false;
  int anchor_ = 0, caret_ = 0;
  bool hasRect_ = false;
  TRect rect_;
  std::unique_ptr<Snapshot> undo_;
  bool caretCreated_ = false;
};

class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};

// The edit that edits with buttons derive from. Edit masks are not built:
// nothing in the system sets one, so it edits as TCustomEdit does.
class TCustomMaskEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};

class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;
  // The lines; a last line without text after the final CR LF is not one.
  TStrings* Lines() const { return lines_; }
  void SetLines(const TStrings* lines) { lines_->Assign(lines); }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool value) { wantTabs_ = value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  // The first line in view.
  int TopLine() const { return topLine_; }
  int VisibleLineCount() const;

protected:
  void WndProc(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  TRect TextArea() const override;
  void PaintExtras(HDC dc) override;
  void ScrollCaretIntoView() override;

private:
  bool HasVBar() const { return scrollBars_ == ssVertical || scrollBars_ == ssBoth; }
  bool HasHBar() const { return scrollBars_ == ssHorizontal || scrollBars_ == ssBoth; }
  TScrollStrip Strip() const;
  TScrollStrip HStrip() const;
  int LineCount() const { return int(LineStarts().size()); }
  void ScrollTo(int line);
  void ScrollSideways(int x);
  void PublishScrollInfo();
  void CreateHandleDone() override { PublishScrollInfo(); }

  TStrings* lines_;
  TScrollStyle scrollBars_ = ssNone;
  int dragOffset_ = -1;  // where the thumb was taken, while it is dragged
  bool dragSideways_ = false;  // the thumb taken is the horizontal bar's
};

class TMemo : public TCustomMemo {
public:
  using TCustomMemo::TCustomMemo;
};
