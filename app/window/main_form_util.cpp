// The main window's desktop components (form storage, folder edits, time
// edit) and the view requests that touch them.
#include "app/window/main_form.h"

#include <algorithm>

#include "app/engine/backup_texts.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/std_controls.h"
#include "skin/image_panel.h"
#include "util/components/component_classes.h"
#include "util/components/folder_edit.h"
#include "util/components/form_storage.h"
#include "util/components/time_spin_edit.h"

namespace {

constexpr int kMinTrackWidth = 610, kMinTrackHeight = 480;
// Texts keep this much room from their neighbours; the time edit's arrows
// are at least 15 wide, its borders and text margins take 8 more.
constexpr int kTextGap = 6, kArrowRoom = 15, kEditFrameRoom = 8;

}  // namespace

void TForm1::BuildUtilComponents(TFormLoader& load) {
  RegisterUtilComponents();
  FormStorage1 = load.Create<TFormStorage>("FormStorage1");
  FormStorage1->SetIniFileName(StartFiles.IniFile);
  FormStorage1->SetOptions(0);
  FormStorage1->MinMaxInfo()->SetMinTrackWidth(kMinTrackWidth);
  FormStorage1->MinMaxInfo()->SetMinTrackHeight(kMinTrackHeight);
  for (const char* prop : {"suiedit2.Text", "label3.Text", "suiInputDialog1.ValueText"})
    FormStorage1->StoredProps()->Add(prop);

  rmTimeSpinEdit1 = load.Create<TUtlTimeSpinEdit>("rmTimeSpinEdit1", suiImagePanel1);
  rmTimeSpinEdit1->SetBounds(522, 30, 70, 19);
  rmTimeSpinEdit1->SetAnchors(akTop | akRight);
  rmTimeSpinEdit1->SetShowSeconds(true);
  rmTimeSpinEdit1->SetVisible(false);

  suiedit2 = load.Create<TDirectoryEdit>("suiedit2", suiImagePanel1);
  suiedit2->SetBounds(145, 5, 271, 21);
  suiedit2->SetDialogText("Pracovní složka");
  label3 = load.Create<TDirectoryEdit>("label3", suiImagePanel1);
  label3->SetBounds(145, 30, 271, 21);
  label3->SetDialogText("Složka pro zálohu ZIP");
}

void TForm1::BindUtilEvents() {
  TBackupEngine& e = *engine_;
  rmTimeSpinEdit1->OnChange = [this, &e](TObject*) { e.rmTimeSpinEdit1Change(rmTimeSpinEdit1->Value()); };
  rmTimeSpinEdit1->OnEnter = [&e](TObject*) { e.rmTimeSpinEdit1Enter(); };
  rmTimeSpinEdit1->OnExit = [&e](TObject*) { e.rmTimeSpinEdit1Exit(); };
}

AnsiString TForm1::WorkFolder() const { return suiedit2->Text(); }
AnsiString TForm1::ZipFolder() const { return label3->Text(); }

void TForm1::SetTimeEditValue(TDateTime time) { rmTimeSpinEdit1->SetValue(time); }

int TextWidthIn(const TFont* font, const AnsiString& text) {
  TBitmap measure;
  measure.Canvas()->SetFont(font);
  return measure.Canvas()->TextWidth(text);
}

// The schedule's row right of "Další záloha:": the time edit wide enough for
// "23:30:00" beside its arrows (growing to the left, as it sits at the
// band's right end), the day between the caption and the edit with a gap on
// both sides; when the day still lacks room, both captions move left.
void TForm1::FitScheduleRow() {
  const int timeWidth = TextWidthIn(rmTimeSpinEdit1->Font(), "00:00:00") + kArrowRoom + kEditFrameRoom;
  if (timeWidth > rmTimeSpinEdit1->Width()) {
    const int right = rmTimeSpinEdit1->Left() + rmTimeSpinEdit1->Width();
    rmTimeSpinEdit1->SetBounds(right - timeWidth, rmTimeSpinEdit1->Top(), timeWidth, rmTimeSpinEdit1->Height());
  }
  int dayWidth = 0;
  for (const char* day : kDayNames) dayWidth = std::max(dayWidth, TextWidthIn(Label11->Font(), day));
  const int dayRight = rmTimeSpinEdit1->Left() - kTextGap;
  const int shortOf = Label9->Left() + Label9->Width() + kTextGap + dayWidth - dayRight;
  if (shortOf > 0)
    for (TLabel* caption : {Label8, Label9}) caption->SetLeft(caption->Left() - shortOf);
  const int dayLeft = Label9->Left() + Label9->Width() + kTextGap;
  Label11->SetBounds(dayLeft, Label11->Top(), dayRight - dayLeft, Label11->Height());
}

void TForm1::ShowScheduleControls() {
  rmTimeSpinEdit1->SetColor(clWhite);
  for (TControl* control : {static_cast<TControl*>(Label8), static_cast<TControl*>(Label9),
                            static_cast<TControl*>(Label10), static_cast<TControl*>(Label11),
                            static_cast<TControl*>(rmTimeSpinEdit1)})
    control->SetVisible(true);
  FitScheduleRow();
}
