// The skinned modal dialogs: TsuiMessageDialog shows a word-wrapped text with
// an optional icon and one to three buttons; TsuiInputDialog asks for one line
// of text with OK and Cancel. Each ShowModal builds a fresh window (TfrmMsg or
// TfrmInput) framed by TsuiForm, runs it on the one message loop, frees it and
// returns its modal result. Ctrl+C in a message window copies its content.
#pragma once

#include <memory>

#include "platform/gui/forms.h"
#include "platform/gui/std_controls.h"
#include "skin/skin_keys.h"

class TsuiButton;
class TsuiEdit;
class TsuiFileTheme;
class TsuiForm;

// Scoped: the title bar's button types also have a suiHelp.
enum class TsuiIconType : uint8_t { suiNone = 0, suiWarning = 1, suiStop = 2, suiInformation = 3, suiHelp = 4 };

class TsuiDialog : public TComponent {
public:
  explicit TsuiDialog(TComponent* owner);
  ~TsuiDialog() override;

  virtual int ShowModal() = 0;

  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }
  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& value) { caption_ = value; }
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont* value);
  TFont* CaptionFont() const { return captionFont_.get(); }
  void SetCaptionFont(const TFont* value);
  TCursor ButtonCursor() const { return buttonCursor_; }
  void SetButtonCursor(TCursor value) { buttonCursor_ = value; }

protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Position, frame caption, style, skin and title font onto a dialog window.
  void Dress(TCustomForm* window, TsuiForm* frame) const;

private:
  TsuiFileTheme* fileTheme_ = nullptr;
  TPosition position_ = poScreenCenter;
  AnsiString caption_ = "suiDialog";
  TsuiUIStyle uiStyle_ = DeepBlue;
  std::unique_ptr<TFont> font_, captionFont_;
  TCursor buttonCursor_ = crHandPoint;
};

class TsuiMessageDialog : public TsuiDialog {
public:
  explicit TsuiMessageDialog(TComponent* owner);
  int ShowModal() override;

  int ButtonCount() const { return buttonCount_; }
  void SetButtonCount(int value) { buttonCount_ = value; }
  // Button 1..3.
  const AnsiString& ButtonCaption(int k) const { return buttonCaptions_[k - 1]; }
  void SetButtonCaption(int k, const AnsiString& value) { buttonCaptions_[k - 1] = value; }
  int ButtonModalResult(int k) const { return buttonResults_[k - 1]; }
  void SetButtonModalResult(int k, int value) { buttonResults_[k - 1] = value; }
  TsuiIconType IconType() const { return iconType_; }
  void SetIconType(TsuiIconType value) { iconType_ = value; }
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& value) { text_ = value; }

private:
  int buttonCount_ = 1;
  AnsiString buttonCaptions_[3] = {"OK", "Cancel", "Cancel"};
  int buttonResults_[3] = {mrOk, mrCancel, mrCancel};
  TsuiIconType iconType_ = TsuiIconType::suiNone;
  AnsiString text_ = "Hello world!";
};

class TsuiInputDialog : public TsuiDialog {
public:
  explicit TsuiInputDialog(TComponent* owner);
  int ShowModal() override;

  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char value) { passwordChar_ = value; }
  const AnsiString& PromptText() const { return promptText_; }
  void SetPromptText(const AnsiString& value) { promptText_ = value; }
  const AnsiString& ValueText() const { return valueText_; }
  void SetValueText(const AnsiString& value) { valueText_ = value; }
  const AnsiString& ButtonOKCaption() const { return okCaption_; }
  void SetButtonOKCaption(const AnsiString& value) { okCaption_ = value; }
  const AnsiString& ButtonCancelCaption() const { return cancelCaption_; }
  void SetButtonCancelCaption(const AnsiString& value) { cancelCaption_ = value; }

private:
  char passwordChar_ = 0;
  AnsiString promptText_ = "Prompt text:";
  AnsiString valueText_;
  AnsiString okCaption_ = "OK", cancelCaption_ = "Cancel";
};

// The stored dialog windows, built in code.
class TfrmMsg : public TForm {
public:
  explicit TfrmMsg(TComponent* owner);
  // The label shows the text with words too wide for it broken; Ctrl+C
  // copies the text as given.
  void SetMessage(const AnsiString& text);
  // What Ctrl+C puts on the clipboard.
  AnsiString ClipboardText() const;

  TsuiForm* suiForm1;
  TLabel* lbl;
  TImage* Image1;

private:
  void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);

  AnsiString message_;
};

class TfrmInput : public TForm {
public:
  explicit TfrmInput(TComponent* owner);

  TsuiForm* suiForm1;
  TLabel* lbl_prompt;
  TsuiEdit* edt_value;
  TsuiButton* btn1;
  TsuiButton* btn2;

private:
  void FormShow();
};
