// TForm1: the backup program's main window. Its constructor builds what the
// window's stored form data holds (components, places, captions, stored
// properties) and binds every event to the engine's handler of the same name;
// as the engine's IBackupView it turns the engine's requests into the
// controls' changes. Without a display nobody can answer a modal dialog:
// messages go to stderr and take their default, the mask dialog is cancelled.
#pragma once

#include <memory>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_view.h"
#include "platform/gui/forms.h"

class TAbMeter;
class TBackupRun;
class TDataSource;
class TDirectoryEdit;
class TFormLoader;
class TFormStorage;
class TLabel;
class TMenuItem;
class TTimer;
class TUtlTimeSpinEdit;
class TUtlTrayIcon;
class TZIDIzizid;
class TsuiBuiltInFileTheme;
class TsuiButton;
class TsuiCheckListBox;
class TsuiForm;
class TsuiImagePanel;
class TsuiInputDialog;
class TsuiMemo;
class TsuiMessageDialog;
class TsuiPopupMenu;
class TsuiProgressBar;
class TsuiThemeManager;

// True when windows reach a real display (the X11 backend), false on the
// headless backend.
bool DisplayPresent();
// The width of text drawn in font.
int TextWidthIn(const TFont* font, const AnsiString& text);

class TForm1 : public TForm, public IBackupView {
public:
  // Where the program lies and what it was started with; the program's own
  // path and arguments unless a caller (a test) set them before the window is made.
  static TProgramFiles StartFiles;
  static TParamList StartParams;

  explicit TForm1(TComponent* owner);
  ~TForm1() override;

  TBackupEngine& Engine() { return *engine_; }
  TBackupRun& BackupRun() { return *run_; }
  // Start-up asked the program to end (no dump program, no connection).
  bool StartupRefused() const { return startupRefused_; }
  // The last run or start-up did not do its job: a stop message, a failed
  // table, archive or command, an error report, or a stop by signal.
  bool Failed() const;

  TsuiThemeManager* suiThemeManager1;
  TsuiBuiltInFileTheme* suiBuiltInFileTheme1;
  TsuiForm* suiForm1;
  TsuiMessageDialog* suiMessageDialog1;
  TDataSource* DataSource1;
  TsuiCheckListBox* suiCheckListBox1;
  TsuiImagePanel* suiImagePanel1;
  TsuiImagePanel* suiImagePanel2;
  TsuiPopupMenu* suiPopupMenu1;
  TMenuItem *vechnytabulky1, *dntabulky1, *Maskaproignorovat1, *N1, *obnovit1;
  TsuiButton *suiButton1, *suiButton2, *suiButton3;
  TsuiImagePanel* suiImagePanel3;
  TsuiMemo* suiMemo1;
  TLabel* Label5;
  TFormStorage* FormStorage1;
  TAbMeter* AbMeter2;
  TLabel *Label6, *Label7;
  TZIDIzizid* ZIDIzizid1;
  TsuiPopupMenu* suiPopupMenu2;
  TMenuItem *ZobrazitVorbex051, *N2, *Konecprogramu1;
  TUtlTrayIcon* CHTrayIcon1;
  TTimer *Timer1, *Timer2;
  TLabel *Label8, *Label9, *Label10;
  TUtlTimeSpinEdit* rmTimeSpinEdit1;
  TLabel *Label11, *Label1;
  TDirectoryEdit *suiedit2, *label3;
  TsuiProgressBar* abmeter1;
  TsuiInputDialog* suiInputDialog1;

  // --- IBackupView
  void ShowMessage(const AnsiString& text, TMessageIcon icon) override;
  AnsiString MaskText() const override;
  void SetMaskText(const AnsiString& text) override;
  bool EditMask() override;
  void ClearProtocol() override;
  void AddProtocolLine(const AnsiString& line) override;
  void ClearTables() override;
  void AddTable(const AnsiString& name) override;
  int TableCount() const override;
  AnsiString TableName(int index) const override;
  bool TableChecked(int index) const override;
  void SetTableChecked(int index, bool checked) override;
  void SetLabelText(TFormLabel label, const AnsiString& text) override;
  void SetLabelVisible(TFormLabel label, bool visible) override;
  void SetMeter(TFormMeter meter, int minimum, int maximum, int position) override;
  void SetMeterVisible(TFormMeter meter, bool visible) override;
  bool LabelsSeen() const override { return DisplayPresent(); }
  AnsiString WorkFolder() const override;
  AnsiString ZipFolder() const override;
  void SetTimeEditValue(TDateTime time) override;
  void ShowScheduleControls() override;
  void SetCloseButtonCaption(const AnsiString& caption) override;
  void ClickBackupButton() override;
  void SetTimerEnabled(TFormTimer timer, bool enabled) override;
  void ToggleHints() override;
  void CloseWindow() override { Close(); }
  void MinimizeApplication() override;
  void RestoreApplication() override;
  void TerminateApplication() override;
  void ProcessMessages() override;

private:
  // Room for texts the layout made too little room for with the fonts here
  // (main_form_util.cpp, main_form_view.cpp).
  void FitScheduleRow();
  void FitArchiveLabel();

  void BuildComponents();
  void BindEvents();
  // The desktop components, built and bound apart from the skinned ones,
  // whose headers cannot meet theirs in one file.
  void BuildUtilComponents(TFormLoader& load);
  void BindUtilEvents();
  void FormCreate();
  void FormShow();
  TLabel* LabelOf(TFormLabel label) const;
  // The default exception report, noted for the exit code; a headless
  // one-shot run that failed this way ends instead of waiting in the tray.
  void ReportException(const Exception& e);

  std::unique_ptr<TBackupEngine> engine_;
  std::unique_ptr<TBackupRun> run_;
  bool terminateAsked_ = false;
  bool startupRefused_ = false;
  bool stopShown_ = false;
  bool errorReported_ = false;
};

extern TForm1* Form1;
