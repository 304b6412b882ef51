// TForm2: the CD-writing progress window, a small top-most window in the main
// window's skin with a label over a progress bar. The program makes it after
// the main window and never shows it.
#pragma once

#include "platform/gui/forms.h"

class TLabel;
class TTimer;
class TsuiForm;
class TsuiProgressBar;
class TsuiThemeManager;

class TForm2 : public TForm {
public:
  explicit TForm2(TComponent* owner);

  TsuiForm* suiForm1;
  TLabel* Label1;
  TsuiProgressBar* suiProgressBar1;
  TsuiThemeManager* suiThemeManager1;
  TTimer* Timer1;
};

extern TForm2* Form2;
