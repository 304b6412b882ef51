// The skinned message and input dialogs; see skin_dialogs.h.
#include "skin/skin_dialogs.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/picture.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_button.h"
#include "skin/skin_edit.h"
#include "skin/skin_form.h"
#include "skin/skin_props.h"

namespace {

enum : uint8_t { kSkinTitleFontColor = 1, kSkinControlFontColor = 23 };
constexpr int kIconFrames = 4;
constexpr int kFixedLabelWidth = 225;
const AnsiString kRule(27, '-');

// The settings both stored dialog windows share.
TsuiForm* SetUpDialogWindow(TForm* window, int clientWidth, int clientHeight) {
  window->SetBorderStyle(bsDialog);
  window->SetClientWidth(clientWidth);
  window->SetClientHeight(clientHeight);
  window->SetColor(clBtnFace);
  window->Constraints()->SetMinWidth(130);
  window->Constraints()->SetMinHeight(54);
  window->Font()->SetName("MS Sans Serif");
  window->Font()->SetHeight(-11);
  window->SetScaled(false);
  auto* frame = new TsuiForm(window);
  frame->SetUIStyle(DeepBlue);
  frame->SetBorderColor(clBlack);
  frame->SetBorderWidth(1);
  frame->SetColor(TColor(0xE8E8E8));
  frame->SetTitleBarDrawAppIcon(false);
  frame->SetUIStyleAutoUpdateSub(true);
  // A dialog's title bar holds only the close button.
  if (TsuiTitleBar* bar = frame->TitleBar()) {
    bar->ClearButtons();
    bar->AddButton()->SetButtonType(suiClose);
  }
  return frame;
}

TLabel* MakeLabel(TsuiForm* frame, int left, int top) {
  auto* label = new TLabel(frame->Owner());
  label->SetParent(frame);
  label->SetTransparent(true);
  label->SetBounds(left, top, label->Width(), 13);
  return label;
}

// Breaks every word wider than width into pieces that fit, at character
// boundaries, so that a long path shows whole instead of running past the
// label's edge.
AnsiString BreakLongWords(TCanvas* canvas, const AnsiString& text, int width) {
  AnsiString out, word;
  auto flush = [&] {
    if (canvas->TextWidth(word) <= width) {
      out += word;
    } else {
      AnsiString piece;
      for (size_t i = 0; i < word.size();) {
        size_t n = 1;
        while (i + n < word.size() && (uint8_t(word[i + n]) & 0xC0) == 0x80) ++n;  // a UTF-8 character's tail
        const AnsiString character = word.substr(i, n);
        if (!piece.empty() && canvas->TextWidth(piece + character) > width) {
          out += piece + "\r\n";
          piece.clear();
        }
        piece += character;
        i += n;
      }
      out += piece;
    }
    word.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
      flush();
      out += c;
    } else {
      word += c;
    }
  }
  flush();
  return out;
}

// Widens the window by twice a frame border that is wider than the native one.
void CorrectBorder(TCustomForm* window) {
  const int answer = int(SendMessageA(window->Handle(), kSkinBorderQuery, 0, 0));
  if (answer > 6) window->SetWidth(window->Width() + 2 * answer);
}

}  // namespace

// --- TsuiDialog -------------------------------------------------------------------------------------

TsuiDialog::TsuiDialog(TComponent* owner)
    : TComponent(owner), font_(std::make_unique<TFont>()), captionFont_(std::make_unique<TFont>()) {
  RegisterSkinProps();
  captionFont_->SetName("Tahoma");
  captionFont_->SetStyle(fsBold);
  captionFont_->SetColor(clWhite);
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiDialog::~TsuiDialog() = default;

void TsuiDialog::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, value, style)) {
    captionFont_->SetColor(fileTheme_->GetColor(kSkinTitleFontColor));
    font_->SetColor(fileTheme_->GetColor(kSkinControlFontColor));
  } else {
    font_->SetColor(clBlack);
    captionFont_->SetColor(value == MacOS ? clBlack : clWhite);
  }
}

void TsuiDialog::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiDialog::SetFont(const TFont* value) { font_->Assign(value); }
void TsuiDialog::SetCaptionFont(const TFont* value) { captionFont_->Assign(value); }

void TsuiDialog::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TsuiDialog::Dress(TCustomForm* window, TsuiForm* frame) const {
  window->SetPosition(position_);
  frame->RemoveCaptionStyle();
  frame->SetCaption(caption_);
  frame->SetUIStyle(uiStyle_);
  frame->SetFileTheme(fileTheme_);
  if (frame->TitleBar()) frame->TitleBar()->Font()->Assign(captionFont_.get());
}

// --- TfrmMsg and TfrmInput ------------------------------------------------------------------------

TfrmMsg::TfrmMsg(TComponent* owner) : TForm(owner) {
  suiForm1 = SetUpDialogWindow(this, 336, 140);
  SetKeyPreview(true);
  lbl = MakeLabel(suiForm1, 88, 64);
  lbl->SetWordWrap(true);
  lbl->Constraints()->SetMinWidth(kFixedLabelWidth);
  lbl->Constraints()->SetMaxWidth(kFixedLabelWidth);
  lbl->SetWidth(kFixedLabelWidth);
  lbl->SetAutoSize(true);
  Image1 = new TImage(this);
  Image1->SetParent(suiForm1);
  Image1->SetBounds(24, 64, 40, 40);
  Image1->SetAutoSize(true);
  // The icons' magenta corners show the frame behind them.
  Image1->SetTransparent(true);
  OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
  OnShow = [this](TObject*) { CorrectBorder(this); };
}

AnsiString TfrmMsg::ClipboardText() const {
  AnsiString text = kRule + "\r\n" + suiForm1->Caption() + "\r\n" + kRule + "\r\n" + message_ + "\r\n" + kRule +
                    "\r\n";
  AnsiString buttons;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* button = dynamic_cast<TsuiButton*>(Components(i)))
      buttons += (buttons.empty() ? "" : "   ") + button->Caption();
  return text + buttons + "\r\n" + kRule;
}

void TfrmMsg::SetMessage(const AnsiString& text) {
  message_ = text;
  TBitmap measure;
  measure.Canvas()->SetFont(lbl->Font());
  lbl->SetCaption(BreakLongWords(measure.Canvas(), text, kFixedLabelWidth));
}

void TfrmMsg::FormKeyDown(TObject*, WORD& key, TShiftState shift) {
  if (key == 'C' && (shift & ssCtrl)) Clipboard()->SetAsText(ClipboardText());
}

TfrmInput::TfrmInput(TComponent* owner) : TForm(owner) {
  suiForm1 = SetUpDialogWindow(this, 254, 178);
  lbl_prompt = MakeLabel(suiForm1, 24, 56);
  lbl_prompt->SetCaption("User name:");
  edt_value = new TsuiEdit(this);
  edt_value->SetParent(suiForm1);
  edt_value->SetBounds(24, 78, 201, 19);
  edt_value->SetUIStyle(DeepBlue);
  edt_value->SetBorderColor(clBlack);
  edt_value->SetTabOrder(1);
  auto button = [this](int left, int result, int tabOrder) {
    auto* b = new TsuiButton(this);
    b->SetParent(suiForm1);
    b->SetBounds(left, 128, 73, 25);
    b->SetModalResult(result);
    b->SetTabOrder(tabOrder);
    b->SetParentFont(false);
    b->Font()->SetName("MS Sans Serif");
    b->Font()->SetHeight(-11);
    b->SetUIStyle(DeepBlue);
    b->SetTransparent(false);
    b->Font()->SetColor(clBlack);
    return b;
  };
  btn1 = button(40, mrOk, 2);
  btn1->SetDefault(true);
  btn2 = button(129, mrCancel, 3);
  btn2->SetCancel(true);
  OnShow = [this](TObject*) { FormShow(); };
}

void TfrmInput::FormShow() {
  const int w = Width();
  if (w - edt_value->Left() - edt_value->Width() > 50) {
    edt_value->SetWidth(w - edt_value->Left() - 50);
    const int a = w - btn1->Width() - btn2->Width() - 16;
    btn1->SetLeft(a / 2);
    btn2->SetLeft(btn1->Left() + btn1->Width() + 16);
  }
  CorrectBorder(this);
}

// --- TsuiMessageDialog ------------------------------------------------------------------------------

TsuiMessageDialog::TsuiMessageDialog(TComponent* owner) : TsuiDialog(owner) {}

int TsuiMessageDialog::ShowModal() {
  auto* window = new TfrmMsg(Application);
  window->SetFont(Font());
  window->SetMessage(Text());
  // The image still counts at its stored 40 pixels here.
  const int bottom = std::max(window->lbl->Top() + window->lbl->Height(), window->Image1->Top() + window->Image1->Height());
  if (IconType() != TsuiIconType::suiNone) {
    window->lbl->SetLeft(88);
    TBitmap strip, icon;
    strip.LoadFromResourceName(0, "MSGDLG");
    CopyBitmapFrame(&strip, &icon, kIconFrames, int(IconType()));
    icon.SetTransparentColor(kSkinMagenta);
    window->Image1->Picture()->SetGraphic(&icon);
  } else {
    window->lbl->SetLeft(24);
    window->Image1->Hide();
    if (ButtonCount() < 3) window->SetWidth(window->Width() - 64);
  }
  const int w = window->Width();
  for (int i = 0; i < buttonCount_; ++i) {
    const int k = buttonCount_ - i;
    auto* b = new TsuiButton(window);
    b->SetParent(window->suiForm1);
    b->SetBounds(w - 97 - 93 * i, bottom + 20, 73, 25);
    b->SetCursor(ButtonCursor());
    b->SetTabStop(true);
    b->SetTabOrder(1);
    // Counts beyond three give buttons without caption or result.
    const bool known = k >= 1 && k <= 3;
    b->SetCaption(known ? ButtonCaption(k) : AnsiString());
    b->SetModalResult(known ? ButtonModalResult(k) : mrNone);
    window->SetActiveControl(b);
    b->SetCancel(b->ModalResult() == mrCancel);
    b->SetDefault(b->ModalResult() == mrOk);
  }
  window->SetHeight(bottom + 75);
  Dress(window, window->suiForm1);
  const int result = window->ShowModal();
  window->Free();
  return result;
}

// --- TsuiInputDialog --------------------------------------------------------------------------------

TsuiInputDialog::TsuiInputDialog(TComponent* owner) : TsuiDialog(owner) {}

int TsuiInputDialog::ShowModal() {
  auto* window = new TfrmInput(Application);
  window->SetFont(Font());
  window->lbl_prompt->SetCaption(PromptText());
  window->edt_value->SetText(ValueText());
  window->edt_value->SetPasswordChar(PasswordChar());
  window->btn1->SetCaption(ButtonOKCaption());
  window->btn1->SetDefault(true);
  window->btn2->SetCaption(ButtonCancelCaption());
  window->btn2->SetCancel(true);
  const int half = window->Width() / 2;
  window->btn1->SetLeft(half - 8 - window->btn1->Width());
  window->btn2->SetLeft(half + 8);
  window->btn1->SetCursor(ButtonCursor());
  window->btn2->SetCursor(ButtonCursor());
  Dress(window, window->suiForm1);
  const int result = window->ShowModal();
  if (result == mrOk) SetValueText(window->edt_value->Text());
  window->Free();
  return result;
}
