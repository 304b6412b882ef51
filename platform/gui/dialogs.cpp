// The message box as a form of our own controls.
#include "platform/gui/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "platform/gui/application.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/window_backend.h"
#include "platform/rtl/text.h"

namespace {

std::deque<int>& ScriptedAnswers() {
  static std::deque<int> answers;
  return answers;
}

struct ButtonSpec {
  int id;
  const char* caption;
};

std::vector<ButtonSpec> ButtonsOf(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Storno"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Přerušit"}, {IDRETRY, "&Opakovat"}, {IDIGNORE, "&Ignorovat"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Ano"}, {IDNO, "&Ne"}, {IDCANCEL, "Storno"}};
    case MB_YESNO: return {{IDYES, "&Ano"}, {IDNO, "&Ne"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Opakovat"}, {IDCANCEL, "Storno"}};
    default: return {{IDOK, "OK"}};
  }
}

// The icon of the message kind: a coloured disc with its sign.
class TMessageIcon : public TGraphicControl {
public:
  TMessageIcon(TComponent* owner, UINT kind) : TGraphicControl(owner), kind_(kind) { SetBounds(12, 12, 32, 32); }

protected:
  void Paint() override {
    const char* sign = kind_ == MB_ICONSTOP ? "X" : kind_ == MB_ICONQUESTION ? "?" : kind_ == MB_ICONWARNING ? "!" : "i";
    const TColor fill = kind_ == MB_ICONSTOP ? TColor(RGB(200, 30, 30))
                        : kind_ == MB_ICONWARNING ? TColor(RGB(240, 190, 20)) : TColor(RGB(30, 90, 200));
    TCanvas* c = Canvas();
    c->Brush()->SetColor(fill);
    c->Pen()->SetColor(fill);
    c->Ellipse(0, 0, 32, 32);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(kind_ == MB_ICONWARNING ? clBlack : clWhite);
    c->Font()->SetStyle(fsBold);
    c->Font()->SetHeight(-20);
    RECT r{0, 0, 32, 32};
    DrawTextA(c->Handle(), sign, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

private:
  UINT kind_;
};

int RunMessageForm(const AnsiString& text, const AnsiString& caption, UINT type) {
  const std::vector<ButtonSpec> buttons = ButtonsOf(type);
  const UINT icon = type & 0xF0;
  TForm* form = new TForm(Application);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poScreenCenter);
  form->SetCaption(caption);
  const int textLeft = icon ? 60 : 16;
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetWordWrap(true);
  label->SetBounds(textLeft, 18, 360, 17);
  label->SetCaption(text);
  if (icon) (new TMessageIcon(form, icon))->SetParent(form);
  const int textBottom = std::max(label->Top() + label->Height(), icon ? 44 : 0);
  const int rowWidth = int(buttons.size()) * 75 + (int(buttons.size()) - 1) * 8;
  const int width = std::max(textLeft + label->Width() + 16, rowWidth + 32);
  form->SetClientWidth(width);
  form->SetClientHeight(textBottom + 20 + 25 + 12);
  const size_t defIndex = std::min(buttons.size() - 1, size_t((type >> 8) & 0xF));
  bool hasCancel = false;
  for (size_t i = 0; i < buttons.size(); ++i) {
    auto* b = new TButton(form);
    b->SetParent(form);
    b->SetCaption(buttons[i].caption);
    b->SetModalResult(buttons[i].id);
    b->SetBounds((width - rowWidth) / 2 + int(i) * 83, textBottom + 20, 75, 25);
    b->SetDefault(i == defIndex);
    b->SetCancel(buttons[i].id == IDCANCEL || buttons.size() == 1);
    hasCancel |= buttons[i].id == IDCANCEL;
    if (i == defIndex) form->SetActiveControl(b);
  }
  int result = form->ShowModal();
  // Closing a box without Cancel answers as its only or default button does.
  if (result == mrCancel && !hasCancel) result = buttons[buttons.size() == 1 ? 0 : defIndex].id;
  form->Free();
  return result;
}

}  // namespace

void ScriptMessageBoxAnswer(int id) { ScriptedAnswers().push_back(id); }

int MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
  const AnsiString message = text ? text : "";
  const AnsiString title = caption ? caption : "";
  if (GetNativeWindowId(Application->Handle()) == 0) {
    std::fprintf(stderr, "%s: %s\n", AnsiToUtf8(title).c_str(), AnsiToUtf8(message).c_str());
    if (!ScriptedAnswers().empty()) {
      const int answer = ScriptedAnswers().front();
      ScriptedAnswers().pop_front();
      return answer;
    }
    const std::vector<ButtonSpec> buttons = ButtonsOf(type);
    return buttons[std::min(buttons.size() - 1, size_t((type >> 8) & 0xF))].id;
  }
  return RunMessageForm(message, title, type);
}

void ShowMessage(const AnsiString& text) { Application->MessageBox(text, Application->Title(), MB_OK); }
