// Folder edit: the browse button, the folder choice, the keys, the button's
// place and the text rectangle that keeps text clear of the button.
#include "util/components/folder_edit.h"

#include <algorithm>
#include <memory>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "util/routines/program_routines.h"
#include "util/components/folder_dialog.h"

namespace {
constexpr int kDefaultButtonWidth = 21;
constexpr int kMaxDroppedPath = 255;  // characters of a dropped path that count
}

// --- TUtlEditButton --------------------------------------------------------------------------

namespace {
// The open folder, 14 x 12 in black, grey and white on magenta (the
// transparent colour); drawn once and shared by every folder edit.
TBitmap* FolderPicture() {
  static TBitmap* picture = [] {
    auto* b = new TBitmap;
    b->SetSize(14, 12);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 14, 12));
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(1, 3, 10, 10));
    c->Pen()->SetColor(clBlack);
    c->Polyline({Point(0, 2), Point(4, 2), Point(5, 3), Point(10, 3), Point(10, 5)});
    c->Polyline({Point(0, 2), Point(0, 10), Point(10, 10), Point(13, 5), Point(3, 5), Point(0, 10)});
    c->Pen()->SetColor(clGray);
    c->Polyline({Point(1, 9), Point(3, 6), Point(12, 6)});
    return b;
  }();
  return picture;
}


// The combo-box arrow: a 7 x 4 downward triangle on the button face.
std::unique_ptr<TBitmap> DropDownPicture() {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(7, 4);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, 7, 4));
  c->Pen()->SetColor(clBlack);
  for (int row = 0; row < 4; ++row) {
    c->MoveTo(row, row);
    c->LineTo(7 - row, row);
  }
  b->SetTransparentColor(clFuchsia);
  return b;
}

// Three black 2 x 2 dots, their gaps and place fitted to the button's width.
std::unique_ptr<TBitmap> EllipsisPicture(int buttonWidth) {
  const int width = std::max(1, buttonWidth - 6);
  auto b = std::make_unique<TBitmap>();
  b->SetSize(width, 4);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, width, 4));
  const int gap = std::clamp((width - 6) / 2, 1, 3);
  const int x = (width - 6 - 2 * gap) / 2;
  c->Brush()->SetColor(clBlack);
  for (int left : {x, x + gap + 2, x + 2 * gap + 4}) c->FillRect(Rect(left, 1, left + 2, 3));
  b->SetTransparentColor(clWhite);
  return b;
}
}  // namespace

TUtlEditButton::TUtlEditButton(TDirectoryEdit* edit) : TUtlSpeedButton(edit), edit_(edit) {
  OnClick = [edit](TObject*) { edit->HandleButtonClick(); };
}

void TUtlEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // The box takes the focus first, so AutoSelect selects what the choice replaces.
  if (button == mbLeft && edit_->TabStop() && edit_->CanFocus() && !edit_->Focused()) edit_->SetFocus();
  TUtlSpeedButton::MouseDown(button, shift, x, y);
}

void TUtlEditButton::Paint() {
  TUtlSpeedButton::Paint();
  if (State() == sbDown) return;
  // Softens the left edge where the button meets the edit's text.
  TCanvas* c = Canvas();
  c->Pen()->SetColor(clBtnFace);
  c->MoveTo(0, 0);
  c->LineTo(0, Height());
  c->Pen()->SetColor(clBtnHighlight);
  c->MoveTo(1, 1);
  c->LineTo(1, Height() - 1);
}

// --- TDirectoryEdit --------------------------------------------------------------------------

TDirectoryEdit::TDirectoryEdit(TComponent* owner) : TUtlInnerControlEdit(owner) {
  holder_ = new TWinControl(this);
  holder_->SetControlStyle(holder_->ControlStyle() | csReplicatable);
  holder_->SetBounds(0, 0, kDefaultButtonWidth, 17);
  holder_->SetParent(this);
  button_ = new TUtlEditButton(this);
  button_->SetBounds(0, 0, kDefaultButtonWidth, 17);
  button_->SetParent(holder_);
  RebuildButtonPicture();
  SetHeight(21);
}

void TDirectoryEdit::RebuildButtonPicture() {
  switch (glyphKind_) {
    case gkDefault:
      button_->SetGlyph(FolderPicture());
      button_->SetNumGlyphs(1);
      break;
    case gkDropDown:
      button_->SetGlyph(DropDownPicture().get());
      button_->SetNumGlyphs(1);
      break;
    case gkEllipsis:
      button_->SetGlyph(EllipsisPicture(ButtonWidth()).get());
      button_->SetNumGlyphs(1);
      break;
    case gkCustom:
      break;
  }
}

void TDirectoryEdit::SetGlyphKind(TGlyphKind value) {
  if (value == glyphKind_) return;
  glyphKind_ = value;
  if (value == gkCustom && InState(csReading)) {
    TBitmap none;
    button_->SetGlyph(&none);
  }
  RebuildButtonPicture();
  if (value == gkDefault && !Glyph()->Empty())
    SetButtonWidth(std::max(Glyph()->Width() / NumGlyphs() + 6, ButtonWidth()));
  else if (value == gkDropDown)
    SetButtonWidth(GetSystemMetrics(SM_CXVSCROLL));
}

void TDirectoryEdit::SetGlyph(TBitmap* value) {
  button_->SetGlyph(value);
  glyphKind_ = gkCustom;
}

void TDirectoryEdit::SetNumGlyphs(int value) {
  button_->SetNumGlyphs(glyphKind_ == gkCustom ? value : 1);
}

TDirectoryEdit::~TDirectoryEdit() = default;

// The button goes with the edit's other components, before the destructor
// runs: its click is cut off first.
void TDirectoryEdit::BeforeDestruction() {
  if (button_) button_->OnClick = nullptr;
  button_ = nullptr;
  TUtlInnerControlEdit::BeforeDestruction();
}

void TDirectoryEdit::SetDirectInput(bool value) {
  TCustomEdit::SetReadOnly(!value || readOnly_);
  directInput_ = value;
}

void TDirectoryEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  TCustomEdit::SetReadOnly(value || !directInput_);
}

int TDirectoryEdit::ButtonWidth() const { return button_->Width(); }

void TDirectoryEdit::SetButtonWidth(int value) {
  if (value == ButtonWidth() || value < 0 || (value >= ClientWidth() && ClientWidth() > 0)) return;
  holder_->SetVisible(value > 1);
  button_->SetWidth(value);
  PlaceInner();
  RebuildButtonPicture();
}

void TDirectoryEdit::SetEnabled(bool value) {
  TUtlInnerControlEdit::SetEnabled(value);
  if (button_) button_->SetEnabled(value);
}

void TDirectoryEdit::HandleButtonClick() {
  if (!readOnly_ || alwaysEnableButton_) PerformButtonAction();
}

void TDirectoryEdit::PerformButtonAction() {
  if (OnButtonClick) OnButtonClick(this);
  AnsiString name = Text();
  bool action = true;
  if (OnBeforeDialog) OnBeforeDialog(this, name, action);
  if (!action) return;
  const AnsiString root(1, PathDelim);
  if (name.empty()) name = initialDir_.empty() ? root : initialDir_;
  // Several folders in the box are not one folder to start at.
  if (!FolderExists(name)) name = root;
  {
    // No error box may come up behind the dialog; the old mode returns even when it raises.
    savedErrorMode_ = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    struct RestoreMode {
      unsigned mode;
      ~RestoreMode() { SetErrorMode(mode); }
    } restore{savedErrorMode_};
    action = dialogKind_ == dkWin32 ? BrowseDirectory(name, dialogText_) : SelectDirectory(name, dialogOptions_);
  }
  if (CanFocus()) SetFocus();
  if (OnAfterDialog) OnAfterDialog(this, name, action);
  if (!action) return;
  ClearSelection();
  if (!Text().empty() && multipleDirs_)
    SetText(Text() + ";" + name);
  else
    SetText(name);
  if (!name.empty() && FolderExists(name)) initialDir_ = name;
}

void TDirectoryEdit::SetAcceptFiles(bool value) {
  if (value == acceptFiles_) return;
  acceptFiles_ = value;
  if (HandleAllocated() && !InState(csDesigning)) DragAcceptFiles(Handle(), value);
}

void TDirectoryEdit::CreateParams(TCreateParams& params) {
  TUtlInnerControlEdit::CreateParams(params);
  // A re-created window keeps taking files.
  if (acceptFiles_ && !InState(csDesigning)) params.ExStyle |= WS_EX_ACCEPTFILES;
}

void TDirectoryEdit::WndProc(TMessage& message) {
  if (message.Msg != WM_DROPFILES) return TUtlInnerControlEdit::WndProc(message);
  message.Result = 0;
  const auto drop = reinterpret_cast<HDROP>(message.WParam);
  struct Release {
    HDROP drop;
    ~Release() { DragFinish(drop); }
  } release{drop};
  DroppedFiles(drop);
}

void TDirectoryEdit::DroppedFiles(HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 0) return;
  for (UINT i = 0; i < count; ++i) {
    char path[kMaxDroppedPath + 1];
    DragQueryFileA(drop, i, path, sizeof path);
    TakeDroppedPath(path);
    if (!multipleDirs_) break;
  }
  if (OnDropFiles) OnDropFiles(this);
}

void TDirectoryEdit::TakeDroppedPath(const AnsiString& fileName) {
  const AnsiString folder = FileExists(fileName) ? ExtractFilePath(fileName) : fileName;
  if (!Text().empty() && multipleDirs_)
    SetText(Text() + ";" + folder);
  else
    SetText(folder);
}

void TDirectoryEdit::KeyDown(WORD& key, TShiftState shift) {
  // The edit's own handling (OnKeyDown, caret moves) comes first and may use the key up.
  const WORD pressed = key;
  TCustomEdit::KeyDown(key, shift);
  if (clickKey_ && ShortCut(pressed, shift & (ssAlt | ssShift | ssCtrl)) == clickKey_ && ButtonWidth() > 0) {
    HandleButtonClick();
    key = 0;
  }
}

int TDirectoryEdit::MinHeight() const {
  const HDC dc = CreateCompatibleDC(nullptr);
  TEXTMETRICA system{}, own{};
  const HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
  GetTextMetricsA(dc, &system);
  SelectObject(dc, Font()->Handle());
  GetTextMetricsA(dc, &own);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::min(system.tmHeight, own.tmHeight) + 4 * GetSystemMetrics(SM_CYBORDER) + 1;
}

void TDirectoryEdit::Resize() {
  if (!InState(csLoading)) {
    const int least = MinHeight();
    // Raising the height runs Resize again, which then places the button.
    if (Height() < least) return SetHeight(least);
  }
  TUtlInnerControlEdit::Resize();
}

void TDirectoryEdit::PlaceInner() {
  if (!button_) return;
  const int bw = ButtonWidth();
  if (BorderStyle() == bsSingle)
    holder_->SetBounds(Width() - bw - 2, 2, bw, Height() - 4);
  else
    holder_->SetBounds(Width() - bw, 0, bw, Height());
  button_->SetHeight(holder_->Height());
  LimitTextRect();
}

void TDirectoryEdit::LimitTextRect() {
  if (!HandleAllocated() || !button_) return;
  const TRect r = Rect(0, 0, ClientWidth() - ButtonWidth() - 2, ClientHeight() + 1);
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}
