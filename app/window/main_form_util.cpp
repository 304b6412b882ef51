// The main window's desktop components (form storage, folder edits, time
// edit) and the view requests that touch them.
#include "app/window/main_form.h"

#include "platform/gui/form_loader.h"
#include "platform/gui/std_controls.h"
#include "skin/image_panel.h"
#include "util/components/component_classes.h"
#include "util/components/folder_edit.h"
#include "util/components/form_storage.h"
#include "util/components/time_spin_edit.h"

namespace {

constexpr int kMinTrackWidth = 610, kMinTrackHeight = 480;

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

void TForm1::ShowScheduleControls() {
  rmTimeSpinEdit1->SetColor(clWhite);
  for (TControl* control : {static_cast<TControl*>(Label8), static_cast<TControl*>(Label9),
                            static_cast<TControl*>(Label10), static_cast<TControl*>(Label11),
                            static_cast<TControl*>(rmTimeSpinEdit1)})
    control->SetVisible(true);
}
