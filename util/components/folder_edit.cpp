// Folder edit: the browse button, the folder choice, the keys, the button's
// place and the text rectangle that keeps text clear of the button.
#include "util/components/folder_edit.h"

#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/rtl/paths.h"
#include "util/components/folder_dialog.h"

namespace {
constexpr int kDefaultButtonWidth = 21;
}

// --- TUtlEditButton --------------------------------------------------------------------------

TUtlEditButton::TUtlEditButton(TDirectoryEdit* edit) : TCustomControl(edit), edit_(edit) {
  SetBounds(0, 0, kDefaultButtonWidth, 17);
  OnClick = [edit](TObject*) { edit->HandleButtonClick(); };
}

void TUtlEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // The box takes the focus first, so AutoSelect selects what the choice replaces.
  if (button == mbLeft) {
    if (edit_->TabStop() && edit_->CanFocus() && !edit_->Focused()) edit_->SetFocus();
    pressed_ = true;
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TUtlEditButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  pressed_ = false;
  Invalidate();
  TCustomControl::MouseUp(button, shift, x, y);
}

void TUtlEditButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(r);
  c->Pen()->SetColor(pressed_ ? clBtnShadow : clBtnHighlight);
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Left, r.Top);
  c->LineTo(r.Right - 1, r.Top);
  c->Pen()->SetColor(pressed_ ? clBtnHighlight : cl3DDkShadow);
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Left, r.Bottom - 1);
  // An open folder, 14 x 10, in the middle.
  const int s = pressed_ ? 1 : 0;
  const int x = (Width() - 14) / 2 + s, y = (Height() - 10) / 2 + s;
  c->Pen()->SetColor(Enabled() ? clBtnText : clBtnShadow);
  c->MoveTo(x, y + 1);
  c->LineTo(x + 4, y + 1);
  c->LineTo(x + 5, y + 2);
  c->LineTo(x + 10, y + 2);
  c->LineTo(x + 10, y + 4);
  c->MoveTo(x, y + 1);
  c->LineTo(x, y + 9);
  c->LineTo(x + 10, y + 9);
  c->LineTo(x + 13, y + 4);
  c->LineTo(x + 3, y + 4);
  c->LineTo(x, y + 9);
}

// --- TDirectoryEdit --------------------------------------------------------------------------

TDirectoryEdit::TDirectoryEdit(TComponent* owner) : TUtlInnerControlEdit(owner) {
  button_ = new TUtlEditButton(this);
  button_->SetParent(this);
  SetHeight(21);
}

TDirectoryEdit::~TDirectoryEdit() {
  if (button_) button_->OnClick = nullptr;
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
  button_->SetVisible(value > 1);
  button_->SetWidth(value);
  PlaceInner();
}

void TDirectoryEdit::HandleButtonClick() {
  if (!readOnly_) PerformButtonAction();
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
  action = BrowseDirectory(name, dialogText_);
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

void TDirectoryEdit::KeyDown(WORD& key, TShiftState shift) {
  // The edit's own handling (OnKeyDown, caret moves) comes first and may use the key up.
  const WORD pressed = key;
  TCustomEdit::KeyDown(key, shift);
  if (pressed == VK_DOWN && (shift & (ssAlt | ssShift | ssCtrl)) == ssAlt && ButtonWidth() > 0) {
    HandleButtonClick();
    key = 0;
  }
}

void TDirectoryEdit::PlaceInner() {
  if (!button_) return;
  const int bw = ButtonWidth();
  if (BorderStyle() == bsSingle)
    button_->SetBounds(Width() - bw - 2, 2, bw, Height() - 4);
  else
    button_->SetBounds(Width() - bw, 0, bw, Height());
  LimitTextRect();
}

void TDirectoryEdit::LimitTextRect() {
  if (!HandleAllocated() || !button_) return;
  const TRect r = Rect(0, 0, ClientWidth() - ButtonWidth() - 2, ClientHeight() + 1);
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}
