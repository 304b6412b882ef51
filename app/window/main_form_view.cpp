// The main window as the engine's view: the engine's requests become changes
// of the controls. The protocol also goes to stdout (a failure line to
// stderr too), so a run started from a script leaves its trace there.
#include <algorithm>
#include <cstdio>

#include "app/run/backup_run.h"
#include "app/run/run_stop.h"
#include "app/run/run_texts.h"
#include "app/window/main_form.h"
#include "archive/meter/ab_meter.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/timer.h"
#include "platform/rtl/text.h"
#include "skin/skin_check_list.h"
#include "skin/skin_dialogs.h"
#include "skin/skin_edit.h"
#include "skin/skin_button.h"
#include "skin/skin_progress_bar.h"

namespace {

void PrintLine(std::FILE* stream, const AnsiString& line) {
  std::fprintf(stream, "%s\n", AnsiToUtf8(line).c_str());
  std::fflush(stream);
}

}  // namespace

bool TForm1::Failed() const {
  return stopShown_ || errorReported_ || run_->FailureCount() > 0 || RunStopRequested();
}

void TForm1::ShowMessage(const AnsiString& text, TMessageIcon icon) {
  if (icon == TMessageIcon::Stop) stopShown_ = true;
  if (!DisplayPresent()) {
    PrintLine(stderr, text);
    return;
  }
  suiMessageDialog1->SetText(text);
  suiMessageDialog1->SetIconType(icon == TMessageIcon::Stop ? TsuiIconType::suiStop : TsuiIconType::suiInformation);
  suiMessageDialog1->SetButtonCount(1);
  suiMessageDialog1->ShowModal();
}

AnsiString TForm1::MaskText() const { return suiInputDialog1->ValueText(); }
void TForm1::SetMaskText(const AnsiString& text) { suiInputDialog1->SetValueText(text); }
bool TForm1::EditMask() { return DisplayPresent() && suiInputDialog1->ShowModal() == mrOk; }

void TForm1::ClearProtocol() { suiMemo1->Clear(); }

void TForm1::AddProtocolLine(const AnsiString& line) {
  suiMemo1->Lines()->Add(line);
  PrintLine(stdout, line);
  if (line.find(kFailureMark) != AnsiString::npos) PrintLine(stderr, line);
}

void TForm1::ClearTables() { suiCheckListBox1->Items()->Clear(); }
void TForm1::AddTable(const AnsiString& name) { suiCheckListBox1->Items()->Add(name); }
int TForm1::TableCount() const { return suiCheckListBox1->Items()->Count(); }
AnsiString TForm1::TableName(int index) const { return suiCheckListBox1->Items()->Strings(index); }
bool TForm1::TableChecked(int index) const { return suiCheckListBox1->Checked(index); }
void TForm1::SetTableChecked(int index, bool checked) { suiCheckListBox1->SetChecked(index, checked); }

TLabel* TForm1::LabelOf(TFormLabel label) const {
  switch (label) {
    case TFormLabel::Label6: return Label6;
    case TFormLabel::Label7: return Label7;
    case TFormLabel::Label8: return Label8;
    case TFormLabel::Label9: return Label9;
    case TFormLabel::Label10: return Label10;
    case TFormLabel::Label11: return Label11;
  }
  return Label11;
}

void TForm1::SetLabelText(TFormLabel label, const AnsiString& text) {
  LabelOf(label)->SetCaption(text);
  if (label == TFormLabel::Label6) FitArchiveLabel();
}

// The archive being written is named above its bar, left of the buttons: a
// path too long for that room shows its end (the file's name) after "...".
void TForm1::FitArchiveLabel() {
  constexpr int kGap = 6;
  const AnsiString text = Label6->Caption();
  const int room = suiButton3->Left() - kGap - Label6->Left();
  if (TextWidthIn(Label6->Font(), text) <= room) return;
  size_t from = 1;
  while (from < text.size() && TextWidthIn(Label6->Font(), "..." + text.substr(from)) > room) ++from;
  Label6->SetCaption("..." + text.substr(from));
}
void TForm1::SetLabelVisible(TFormLabel label, bool visible) { LabelOf(label)->SetVisible(visible); }

// The archive bar keeps what it is given; the item meter shows a percentage.
void TForm1::SetMeter(TFormMeter meter, int minimum, int maximum, int position) {
  if (meter == TFormMeter::Archives) {
    abmeter1->SetMin(minimum);
    abmeter1->SetMax(maximum);
    abmeter1->SetPosition(position);
  } else {
    AbMeter2->DoProgress(static_cast<uint8_t>(position));
  }
}

void TForm1::SetMeterVisible(TFormMeter meter, bool visible) {
  if (meter == TFormMeter::Archives)
    abmeter1->SetVisible(visible);
  else
    AbMeter2->SetVisible(visible);
}

// A caption wider than the button ("zminimalizovat") widens it to the right;
// when it would come near the item meter, the three buttons move left.
void TForm1::SetCloseButtonCaption(const AnsiString& caption) {
  constexpr int kCaptionMargin = 12, kButtonWidth = 80, kMeterGap = 7;
  suiButton1->SetCaption(caption);
  const int width = std::max(kButtonWidth, TextWidthIn(suiButton1->Font(), caption) + kCaptionMargin);
  const int overflow = suiButton1->Left() + width + kMeterGap - AbMeter2->Left();
  if (overflow > 0)
    for (TsuiButton* button : {suiButton1, suiButton2, suiButton3}) button->SetLeft(button->Left() - overflow);
  suiButton1->SetWidth(width);
}
void TForm1::ClickBackupButton() { suiButton2->Click(); }

void TForm1::SetTimerEnabled(TFormTimer timer, bool enabled) {
  (timer == TFormTimer::Timer1 ? Timer1 : Timer2)->SetEnabled(enabled);
}

void TForm1::ToggleHints() { SetShowHint(!ShowHint()); }
void TForm1::MinimizeApplication() { Application->Minimize(); }
void TForm1::RestoreApplication() { Application->Restore(); }

void TForm1::TerminateApplication() {
  terminateAsked_ = true;
  Application->Terminate();
}

void TForm1::ProcessMessages() { Application->ProcessMessages(); }
