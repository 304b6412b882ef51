// Combo edit: the button and its pictures, the click key, read-only and
// direct input, the button's place and the text rectangle that keeps text
// clear of it, and the popup that may drop down from the box.
#include "util/components/combo_edit.h"

#include <algorithm>
#include <memory>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/rtl/variant.h"

namespace {
constexpr int kDefaultButtonWidth = 21;

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

// --- TUtlEditButton --------------------------------------------------------------------------

TUtlEditButton::TUtlEditButton(TUtlComboEdit* edit) : TUtlSpeedButton(edit), edit_(edit) {
  OnClick = [edit](TObject*) { edit->HandleButtonClick(); };
}

void TUtlEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    // A press that closes the popup takes its value and is not a click as well.
    swallowNextClick_ = edit_->PopupShowing();
    if (swallowNextClick_)
      edit_->ClosePopup(true);
    // The box takes the focus first, so AutoSelect selects what the choice replaces.
    else if (edit_->TabStop() && edit_->CanFocus() && !edit_->Focused())
      edit_->SetFocus();
  }
  TUtlSpeedButton::MouseDown(button, shift, x, y);
}

void TUtlEditButton::Click() {
  if (swallowNextClick_)
    swallowNextClick_ = false;
  else
    TUtlSpeedButton::Click();
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

// --- TUtlPopupControl ------------------------------------------------------------------------

TUtlPopupControl::TUtlPopupControl(TComponent* owner) : TCustomControl(owner) { SetVisible(false); }

void TUtlPopupControl::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = 0;
}

void TUtlPopupControl::WndProc(TMessage& m) {
  if (m.Msg == WM_MOUSEACTIVATE) {
    m.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(m);
}

// --- TUtlComboEdit ---------------------------------------------------------------------------

TUtlComboEdit::TUtlComboEdit(TComponent* owner) : TUtlInnerControlEdit(owner) {
  holder_ = new TWinControl(this);
  holder_->SetControlStyle(holder_->ControlStyle() | csReplicatable);
  holder_->SetBounds(0, 0, kDefaultButtonWidth, 17);
  holder_->SetParent(this);
  button_ = new TUtlEditButton(this);
  button_->SetBounds(0, 0, kDefaultButtonWidth, 17);
  button_->SetParent(holder_);
  SetHeight(21);
}

TUtlComboEdit::~TUtlComboEdit() = default;

// The button goes with the edit's other components, before the destructor
// runs: its click is cut off first.
void TUtlComboEdit::BeforeDestruction() {
  if (button_) button_->OnClick = nullptr;
  button_ = nullptr;
  popup_ = nullptr;
  popupShowing_ = false;
  TUtlInnerControlEdit::BeforeDestruction();
}

void TUtlComboEdit::RebuildButtonPicture() {
  switch (glyphKind_) {
    case gkDefault:
      if (TBitmap* picture = DefaultPicture()) button_->SetGlyph(picture);
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

void TUtlComboEdit::SetGlyphKind(TGlyphKind value) {
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

void TUtlComboEdit::SetGlyph(TBitmap* value) {
  button_->SetGlyph(value);
  glyphKind_ = gkCustom;
}

void TUtlComboEdit::SetNumGlyphs(int value) { button_->SetNumGlyphs(glyphKind_ == gkCustom ? value : 1); }

void TUtlComboEdit::SetDirectInput(bool value) {
  TCustomEdit::SetReadOnly(!value || readOnly_);
  directInput_ = value;
}

void TUtlComboEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  TCustomEdit::SetReadOnly(value || !directInput_);
}

int TUtlComboEdit::ButtonWidth() const { return button_->Width(); }

void TUtlComboEdit::SetButtonWidth(int value) {
  if (value == ButtonWidth() || value < 0 || (value >= ClientWidth() && ClientWidth() > 0)) return;
  holder_->SetVisible(value > 1);
  button_->SetWidth(value);
  PlaceInner();
  RebuildButtonPicture();
}

void TUtlComboEdit::SetEnabled(bool value) {
  TUtlInnerControlEdit::SetEnabled(value);
  if (button_) button_->SetEnabled(value);
}

void TUtlComboEdit::HandleButtonClick() {
  if (!readOnly_ || alwaysEnableButton_) PerformButtonAction();
}

void TUtlComboEdit::PerformButtonAction() {
  if (OnButtonClick) OnButtonClick(this);
  if (!popup_) return;
  if (popupShowing_)
    ClosePopup(true);
  else
    OpenPopup(true);
}

void TUtlComboEdit::KeyDown(WORD& key, TShiftState shift) {
  // While the popup shows, Enter takes its value and Esc leaves it; neither
  // reaches the form's default or cancel button then.
  if (popupShowing_ && (key == VK_RETURN || key == VK_ESCAPE)) {
    ClosePopup(key == VK_RETURN);
    key = 0;
    return;
  }
  // The edit's own handling (OnKeyDown, caret moves) comes first and may use the key up.
  const WORD pressed = key;
  TCustomEdit::KeyDown(key, shift);
  if (clickKey_ && ShortCut(pressed, shift & (ssAlt | ssShift | ssCtrl)) == clickKey_ && ButtonWidth() > 0) {
    HandleButtonClick();
    key = 0;
  }
}

// --- the popup -------------------------------------------------------------------------------

void TUtlComboEdit::OpenPopup(bool disableEdit) {
  if (!popup_ || readOnly_ || popupShowing_) return;
  const int screenWidth =
      GetSystemMetrics(SM_CMONITORS) > 1 ? GetSystemMetrics(SM_CXVIRTUALSCREEN) : Screen->Width();
  const int width = popup_->Width();
  const TPoint p = Parent() ? Parent()->ClientToScreen(Point(Left(), Top())) : Point(Left(), Top());
  int y = p.Y + Height();
  if (Screen->Height() < y + popup_->Height()) y = p.Y - popup_->Height();
  int x = p.X;
  if (popupSide_ == cpaRight) {
    x = p.X - (width - Width());
    if (x < 0) x = p.X;
  } else if (x + width > screenWidth) {
    x -= width - Width();
  }
  if (x < 0)
    x = 0;
  else if (x + width > screenWidth)
    x = screenWidth - width;
  LoadPopupValue(Text().empty() ? Null() : Variant(Text()));
  if (CanFocus()) SetFocus();
  ShowPopupAt(Point(x, y));
  popupShowing_ = true;
  if (disableEdit) {
    TCustomEdit::SetReadOnly(true);
    caretHidden_ = HandleAllocated() && HideCaret(Handle());
  }
}

void TUtlComboEdit::ShowPopupAt(TPoint origin) {
  popup_->SetBounds(origin.X, origin.Y, popup_->Width(), popup_->Height());
  SetWindowPos(popup_->Handle(), HWND_TOPMOST, origin.X, origin.Y, 0, 0,
               SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  popup_->SetVisible(true);
}

void TUtlComboEdit::HidePopupWindow() {
  if (popup_->HandleAllocated())
    SetWindowPos(popup_->Handle(), 0, 0, 0, 0, 0,
                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  popup_->SetVisible(false);
}

void TUtlComboEdit::ClosePopup(bool accept) {
  if (!popup_ || !popupShowing_) return;
  // A press held in the popup (a scroll bar, a drag) ends with it.
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  const Variant value = ReadPopupValue();
  HidePopupWindow();
  if (CanFocus()) SetFocus();
  if (caretHidden_ && Focused()) ShowCaret(Handle());
  caretHidden_ = false;
  SetDirectInput(directInput_);
  Invalidate();
  if (accept && PopupValueAcceptable(value) && !readOnly_) {
    TakePopupValue(value);
    if (Focused()) SelectAll();
  }
  popupShowing_ = false;
}

void TUtlComboEdit::LoadPopupValue(const Variant& value) { popup_->SetValue(value); }

Variant TUtlComboEdit::ReadPopupValue() { return popup_ ? popup_->Value() : Variant(AnsiString()); }

void TUtlComboEdit::TakePopupValue(const Variant& value) {
  const AnsiString text = VarIsNull(value) || VarIsEmpty(value) ? AnsiString() : value.AsString();
  if (Text() == text) return;
  // The text's own change notice goes to PopupTextChanged while the popup
  // still counts as showing; the box then tells OnChange once.
  SetText(text);
  SetModified(true);
  popupShowing_ = popup_ && popup_->Visible();
  Change();
}

void TUtlComboEdit::Change() {
  if (popupShowing_)
    PopupTextChanged();
  else
    TUtlInnerControlEdit::Change();
}

void TUtlComboEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // A press in the box leaves an open popup; it goes no further when the
  // box could not take the focus.
  if (button == mbLeft && popup_) {
    if (CanFocus()) SetFocus();
    ClosePopup(false);
    if (!Focused()) return;
  }
  TUtlInnerControlEdit::MouseDown(button, shift, x, y);
}

void TUtlComboEdit::DoExit() {
  ClosePopup(false);
  TUtlInnerControlEdit::DoExit();
}

// --- layout ----------------------------------------------------------------------------------

int TUtlComboEdit::MinHeight() const {
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

void TUtlComboEdit::Resize() {
  if (!InState(csLoading)) {
    const int least = MinHeight();
    // Raising the height runs Resize again, which then places the button.
    if (Height() < least) return SetHeight(least);
  }
  TUtlInnerControlEdit::Resize();
}

void TUtlComboEdit::PlaceInner() {
  if (!button_) return;
  const int bw = ButtonWidth();
  if (BorderStyle() == bsSingle)
    holder_->SetBounds(Width() - bw - 2, 2, bw, Height() - 4);
  else
    holder_->SetBounds(Width() - bw, 0, bw, Height());
  button_->SetHeight(holder_->Height());
  LimitTextRect();
}

void TUtlComboEdit::LimitTextRect() {
  if (!HandleAllocated() || !button_) return;
  const TRect r = Rect(0, 0, ClientWidth() - ButtonWidth() - 2, ClientHeight() + 1);
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}
