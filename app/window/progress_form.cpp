// The progress window's form data in code; its skin is the main window's.
#include "app/window/progress_form.h"

#include "app/window/main_form.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/timer.h"
#include "skin/file_theme.h"
#include "skin/skin_form.h"
#include "skin/skin_progress_bar.h"
#include "skin/theme_manager.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  Form2 = this;
  TFormLoader load(this);
  SetName("Form2");
  SetCaption("Form2");
  SetBorderStyle(bsNone);
  SetClientWidth(381);
  SetClientHeight(74);
  SetFormStyle(fsStayOnTop);
  SetPosition(poMainFormCenter);
  Font()->SetName("Tahoma");
  Font()->SetStyle(fsBold);
  TsuiBuiltInFileTheme* skin = Form1 ? Form1->suiBuiltInFileTheme1 : nullptr;

  suiForm1 = load.Create<TsuiForm>("suiForm1", this);
  suiForm1->SetAlign(alClient);
  suiForm1->SetTitleBarVisible(false);
  suiForm1->SetBorderColor(TColor(0x636563));  // RGB 99, 101, 99
  suiForm1->SetFileTheme(skin);
  suiForm1->SetUIStyle(FromThemeFile);

  Label1 = load.Create<TLabel>("Label1", suiForm1);
  Label1->SetAutoSize(false);
  Label1->SetBounds(0, 14, 381, 16);
  Label1->SetAlignment(taCenter);
  Label1->SetCaption("... probíhá zápis na CD ...");
  Label1->SetTransparent(true);

  suiProgressBar1 = load.Create<TsuiProgressBar>("suiProgressBar1", suiForm1);
  suiProgressBar1->SetBounds(17, 40, 346, 12);
  suiProgressBar1->SetMin(0);
  suiProgressBar1->SetMax(100);

  suiThemeManager1 = load.Create<TsuiThemeManager>("suiThemeManager1");
  TStringList themed;  // before the skin: setting it is what hands the skin out
  themed.Add("suiForm1");
  themed.Add("suiProgressBar1");
  suiThemeManager1->SetCompList(&themed);
  suiThemeManager1->SetFileTheme(skin);
  suiThemeManager1->SetUIStyle(FromThemeFile);

  Timer1 = load.Create<TTimer>("Timer1");
  Timer1->SetEnabled(false);
  load.Finish();
}
