// The main window's form data in code: every component with its place,
// captions and properties, built through the form-building protocol so the
// form storage and the theme manager find their components by name when
// loading ends; then the event bindings and the program's start-up handlers.
#include "app/window/main_form.h"

#include "app/engine/backup_texts.h"
#include "app/run/backup_run.h"
#include "archive/meter/ab_meter.h"
#include "cdwriter/burner.h"
#include "platform/db/data_source.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/menus.h"
#include "platform/gui/resources.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/timer.h"
#include "platform/gui/window_backend.h"
#include "platform/rtl/files.h"
#include "skin/file_theme.h"
#include "skin/image_panel.h"
#include "skin/skin_button.h"
#include "skin/skin_check_list.h"
#include "skin/skin_dialogs.h"
#include "skin/skin_edit.h"
#include "skin/skin_form.h"
#include "skin/skin_menus.h"
#include "skin/skin_progress_bar.h"
#include "skin/theme_manager.h"
#include "skin/title_bar.h"
#include "sql/dataset/query.h"
#include "util/components/tray_icon.h"

TForm1* Form1 = nullptr;
TProgramFiles TForm1::StartFiles;
TParamList TForm1::StartParams;

namespace {

// The frames' and lists' green border, and the dialogs' text colour.
constexpr TColor kBorderGreen = TColor(0x82AA54);  // RGB 84, 170, 130
constexpr TColor kDialogText = TColor(0x4A632C);   // RGB 44, 99, 74
constexpr int kBurnerCacheBytes = 4194304;

TProgramFiles DefaultStartFiles() { return ProgramFilesOf(ParamStr(0)); }

TParamList DefaultStartParams() {
  TParamList params;
  for (int i = 1; i <= ParamCount(); ++i) params.push_back(ParamStr(i));
  return params;
}

void Place(TControl* control, int left, int top, int width, int height) {
  control->SetBounds(left, top, width, height);
}

TLabel* MakeLabel(TFormLoader& load, const char* name, TWinControl* parent, int left, int top,
                  const AnsiString& caption, bool bold, bool visible) {
  auto* label = load.Create<TLabel>(name, parent);
  label->SetLeft(left);
  label->SetTop(top);
  label->SetCaption(caption);
  label->SetTransparent(true);
  if (bold) label->Font()->SetStyle(fsBold);
  label->SetVisible(visible);
  return label;
}

// A transparent band that its parent's layout places.
TsuiImagePanel* MakeBand(TFormLoader& load, const char* name, TWinControl* parent, const TRect& r, TAlign align) {
  auto* band = load.Create<TsuiImagePanel>(name, parent);
  band->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  band->SetAlign(align);
  band->SetTransparent(true);
  return band;
}

TMenuItem* MakeItem(TFormLoader& load, TPopupMenu* menu, const char* name, const AnsiString& caption) {
  auto* item = load.Create<TMenuItem>(name);
  item->SetCaption(caption);
  menu->Items()->Add(item);
  return item;
}

// The look both popup menus share (colours as RGB).
void DressMenu(TsuiPopupMenu* menu) {
  menu->SetMenuItemHeight(21);
  menu->SetSeparatorHeight(5);
  TsuiMenuLook& look = menu->Look();
  look.BarWidth = 26;
  look.BarColor = look.BarToColor = TColor(RGB(0, 201, 0));
  look.Color = TColor(RGB(155, 255, 155));
  look.SeparatorColor = TColor(RGB(132, 130, 132));
  look.SelectedColor = look.SelectedBorderColor = TColor(RGB(0, 201, 0));
  look.SelectedFontColor = clWhite;
  look.FontColor = kDialogText;
  look.BorderColor = clBlack;
  look.UseSystemFont = true;
}

void DressDialogFonts(TsuiDialog* dialog) {
  dialog->Font()->SetName("MS Sans Serif");
  dialog->Font()->SetColor(kDialogText);
  dialog->CaptionFont()->SetName("Tahoma");
  dialog->CaptionFont()->SetStyle(fsBold);
  dialog->SetButtonCursor(crHandPoint);
}

}  // namespace

bool DisplayPresent() { return GetNativeWindowId(Application->Handle()) != 0; }

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  if (StartFiles.IniFile.empty()) StartFiles = DefaultStartFiles();
  if (StartParams.empty()) StartParams = DefaultStartParams();
  engine_ = std::make_unique<TBackupEngine>(*this, StartFiles, StartParams);
  run_ = std::make_unique<TBackupRun>(*engine_, *this);
  BuildComponents();
  Form1 = this;
}

// The components went before (when destruction began); the engine and the
// run they used go now.
TForm1::~TForm1() {
  Application->OnException = nullptr;
  if (Form1 == this) Form1 = nullptr;
}

void TForm1::BuildComponents() {
  TFormLoader load(this);
  SetName("Form1");
  SetCaption("MySQL - backup Kalmir05");
  SetClientWidth(599);
  SetClientHeight(466);
  Constraints()->SetMinWidth(99);
  Constraints()->SetMinHeight(46);
  SetColor(clBtnFace);
  Font()->SetName("Tahoma");
  Font()->SetHeight(-11);
  Font()->SetCharset(EASTEUROPE_CHARSET);
  SetPosition(poScreenCenter);
  SetScaled(false);
  SetShowHint(false);

  suiThemeManager1 = load.Create<TsuiThemeManager>("suiThemeManager1");
  suiBuiltInFileTheme1 = load.Create<TsuiBuiltInFileTheme>("suiBuiltInFileTheme1");
  const ResourceEntry* skin = FindResourceEntry("MAIN_SKIN");
  if (!skin) throw Exception("the main skin is not embedded");
  suiBuiltInFileTheme1->SetSkinData(AnsiString(reinterpret_cast<const char*>(skin->data), skin->size));

  suiForm1 = load.Create<TsuiForm>("suiForm1", this);
  Place(suiForm1, 0, 0, 599, 466);
  suiForm1->SetCaption("MySQL - backup Kalmir05");
  suiForm1->SetFileTheme(suiBuiltInFileTheme1);
  suiForm1->SetUIStyle(FromThemeFile);
  suiForm1->SetBorderColor(clBlack);
  suiForm1->SetBorderWidth(1);
  suiForm1->SetColor(clWhite);
  suiForm1->SetTitleBarDrawAppIcon(false);
  suiForm1->Font()->SetStyle(fsBold);
  if (TsuiTitleBar* bar = suiForm1->TitleBar()) {
    bar->ClearButtons();
    for (TsuiTitleBarBtnType type : {suiControlBox, suiClose, suiHelp}) bar->AddButton()->SetButtonType(type);
  }

  suiMessageDialog1 = load.Create<TsuiMessageDialog>("suiMessageDialog1");
  suiMessageDialog1->SetCaption("MySQL - backup");
  suiMessageDialog1->SetPosition(poMainFormCenter);
  DressDialogFonts(suiMessageDialog1);
  suiMessageDialog1->SetButtonCount(1);
  suiMessageDialog1->SetButtonCaption(1, "OK");
  suiMessageDialog1->SetButtonModalResult(1, mrOk);
  suiMessageDialog1->SetButtonCaption(2, "storno");
  suiMessageDialog1->SetButtonModalResult(2, mrCancel);
  suiMessageDialog1->SetButtonCaption(3, "Cancel");
  suiMessageDialog1->SetButtonModalResult(3, mrCancel);
  suiMessageDialog1->SetIconType(TsuiIconType::suiInformation);
  suiMessageDialog1->SetText(kConnectFailedMessage);

  DataSource1 = load.Create<TDataSource>("DataSource1");
  DataSource1->SetDataSet(&engine_->Query());

  suiCheckListBox1 = load.Create<TsuiCheckListBox>("suiCheckListBox1", suiForm1);
  Place(suiCheckListBox1, 0, 85, 291, 340);
  suiCheckListBox1->SetAlign(alLeft);
  suiCheckListBox1->SetItemHeight(13);
  suiCheckListBox1->SetBorderColor(kBorderGreen);
  suiCheckListBox1->SetHint("pravý klik - nabídka");

  suiImagePanel1 = MakeBand(load, "suiImagePanel1", suiForm1, Bounds(0, 30, 599, 55), alTop);
  suiImagePanel2 = MakeBand(load, "suiImagePanel2", suiForm1, Bounds(0, 425, 599, 41), alBottom);

  suiPopupMenu1 = load.Create<TsuiPopupMenu>("suiPopupMenu1");
  vechnytabulky1 = MakeItem(load, suiPopupMenu1, "vechnytabulky1", "všechny tabulky");
  dntabulky1 = MakeItem(load, suiPopupMenu1, "dntabulky1", "žádné tabulky");
  Maskaproignorovat1 = MakeItem(load, suiPopupMenu1, "Maskaproignorovat1", "maska pro ignorovat");
  N1 = MakeItem(load, suiPopupMenu1, "N1", "-");
  obnovit1 = MakeItem(load, suiPopupMenu1, "obnovit1", "znovu načíst");
  suiCheckListBox1->SetPopupMenu(suiPopupMenu1);

  struct ButtonData {
    TsuiButton*& field;
    const char* name;
    int left;
    const char* caption;
    const char* hint;
  };
  for (const ButtonData& b : {ButtonData{suiButton1, "suiButton1", 345, "konec", ""},
                              ButtonData{suiButton2, "suiButton2", 260, "zálohovat", "Spustí zálohování podle výběru"},
                              ButtonData{suiButton3, "suiButton3", 175, "uložit", "Uloží soubor protokolu"}}) {
    b.field = load.Create<TsuiButton>(b.name, suiImagePanel2);
    Place(b.field, b.left, 5, 80, 27);
    b.field->SetAnchors(akTop | akRight);
    b.field->SetCaption(b.caption);
    b.field->SetHint(b.hint);
  }

  suiImagePanel3 = MakeBand(load, "suiImagePanel3", suiForm1, Bounds(291, 85, 308, 340), alClient);
  suiMemo1 = load.Create<TsuiMemo>("suiMemo1", suiImagePanel3);
  suiMemo1->SetAlign(alClient);
  suiMemo1->SetReadOnly(true);
  suiMemo1->SetScrollBars(ssVertical);  // a longer protocol line wraps
  suiMemo1->SetBorderColor(kBorderGreen);
  suiMemo1->SetHint("Protokol zálohy");

  Label5 = MakeLabel(load, "Label5", suiImagePanel1, 5, 7, "Pracovní složka", true, true);

  BuildUtilComponents(load);
  AbMeter2 = load.Create<TAbMeter>("AbMeter2", suiImagePanel2);
  Place(AbMeter2, 432, 15, 159, 16);
  AbMeter2->SetAnchors(akTop | akRight);
  AbMeter2->SetUsedColor(clNavy);
  AbMeter2->SetUnusedColor(clBtnFace);
  AbMeter2->SetVisible(false);
  Label6 = MakeLabel(load, "Label6", suiImagePanel2, 10, 0, "", false, false);
  Label7 = MakeLabel(load, "Label7", suiImagePanel2, 430, 0, "", false, false);

  ZIDIzizid1 = load.Create<TZIDIzizid>("ZIDIzizid1");
  ZIDIzizid1->SetCacheSize(kBurnerCacheBytes);
  ZIDIzizid1->SetUnderrunProtection(true);
  ZIDIzizid1->SetReadSpeed(0);
  ZIDIzizid1->SetWriteSpeed(0);
  ZIDIzizid1->SetFinalizeDisc(false);
  ZIDIzizid1->SetTestWrite(false);
  ZIDIzizid1->SetWritePostGap(true);

  suiPopupMenu2 = load.Create<TsuiPopupMenu>("suiPopupMenu2");
  ZobrazitVorbex051 = MakeItem(load, suiPopupMenu2, "ZobrazitVorbex051", "Zobrazit Vorbex05");
  N2 = MakeItem(load, suiPopupMenu2, "N2", "-");
  Konecprogramu1 = MakeItem(load, suiPopupMenu2, "Konecprogramu1", "Konec programu");

  CHTrayIcon1 = load.Create<TUtlTrayIcon>("CHTrayIcon1");
  CHTrayIcon1->Icon()->LoadFromResourceName(0, "TRAYICON");
  CHTrayIcon1->SetHint("Vorbex05");
  CHTrayIcon1->SetShowHint(true);
  CHTrayIcon1->SetPopupMenu(suiPopupMenu2);
  CHTrayIcon1->Action()->SetPopup(paRightDown);
  CHTrayIcon1->Action()->SetRestore(paLeftDblClick);
  CHTrayIcon1->Blink()->SetInterval(1000);
  CHTrayIcon1->SetShowIcon(tyAllways);
  CHTrayIcon1->SetShowTaskEntry(tyOnRestore);
  CHTrayIcon1->SetMode(trmIcon);

  Timer1 = load.Create<TTimer>("Timer1");
  Timer1->SetEnabled(false);
  Timer1->SetInterval(kTrayDelayMs);
  Timer2 = load.Create<TTimer>("Timer2");
  Timer2->SetEnabled(false);
  Timer2->SetInterval(kSchedulerTickMs);

  Label8 = MakeLabel(load, "Label8", suiImagePanel1, 422, 7, "Poslední záloha:", true, false);
  Label8->SetAnchors(akTop | akRight);
  Label9 = MakeLabel(load, "Label9", suiImagePanel1, 422, 32, "Další záloha:", true, false);
  Label9->SetAnchors(akTop | akRight);
  Label10 = MakeLabel(load, "Label10", suiImagePanel1, 522, 7, "", false, false);
  Label10->SetAutoSize(false);
  Label10->SetWidth(71);
  Label10->SetAlignment(taRightJustify);
  Label10->SetAnchors(akTop | akRight);

  Label11 = MakeLabel(load, "Label11", suiImagePanel1, 485, 32, "", false, true);
  Label11->SetAutoSize(false);
  Label11->SetWidth(21);
  Label11->SetAlignment(taRightJustify);
  Label1 = MakeLabel(load, "Label1", suiImagePanel1, 5, 32, "Složka ZIP zálohy", true, true);

  abmeter1 = load.Create<TsuiProgressBar>("abmeter1", suiImagePanel2);
  Place(abmeter1, 10, 15, 159, 16);
  abmeter1->SetMin(0);
  abmeter1->SetMax(100);
  abmeter1->SetShowCaption(false);
  abmeter1->SetBorderColor(kBorderGreen);
  abmeter1->SetColor(clWhite);
  abmeter1->SetVisible(false);

  suiInputDialog1 = load.Create<TsuiInputDialog>("suiInputDialog1");
  suiInputDialog1->SetCaption("suiDialog");
  suiInputDialog1->SetPromptText("Prompt text:");
  suiInputDialog1->SetButtonOKCaption("OK");
  suiInputDialog1->SetButtonCancelCaption("Cancel");
  suiInputDialog1->SetPosition(poScreenCenter);
  DressDialogFonts(suiInputDialog1);

  // The list first: the manager hands style and skin to the listed
  // components when either is set, not when the list changes.
  TStringList themed;
  for (const char* name : {"suiForm1", "suiCheckListBox1", "suiButton1", "suiButton2", "suiButton3", "abmeter1",
                           "suiMemo1", "suiMessageDialog1", "suiPopupMenu1", "suiPopupMenu2", "suiInputDialog1"})
    themed.Add(name);
  suiThemeManager1->SetCompList(&themed);
  suiThemeManager1->SetFileTheme(suiBuiltInFileTheme1);
  suiThemeManager1->SetUIStyle(FromThemeFile);
  // The menus' own colours and measures go over what the skin gave them.
  DressMenu(suiPopupMenu1);
  DressMenu(suiPopupMenu2);

  // The form storage takes over the window's show, close-query and destroy
  // events when loading ends, so the window's own handlers are bound first.
  BindEvents();
  SetVisible(true);
  load.Finish();
  // Labels that size to their captions do so once loading has ended.
  for (TLabel* label : {Label5, Label1, Label6, Label7, Label8, Label9}) label->SetAutoSize(true);
}

void TForm1::BindEvents() {
  TBackupEngine& e = *engine_;
  OnCreate = [this](TObject*) { FormCreate(); };
  OnShow = [this](TObject*) { FormShow(); };
  OnClose = [&e](TObject*, TCloseAction& action) {
    if (!e.FormClose()) action = caNone;
  };
  suiForm1->SetOnTitleBarHelpBtnClick([&e](TObject*, int) { e.suiForm1TitleBarHelpBtnClick(); });
  suiCheckListBox1->OnClickCheck = [&e](TObject*) { e.suiCheckListBox1ClickCheck(); };
  obnovit1->OnClick = [&e](TObject*) { e.obnovit1Click(); };
  vechnytabulky1->OnClick = [&e](TObject*) { e.vechnytabulky1Click(); };
  dntabulky1->OnClick = [&e](TObject*) { e.dntabulky1Click(); };
  Maskaproignorovat1->OnClick = [&e](TObject*) { e.Maskaproignorovat1Click(); };
  suiButton1->OnClick = [&e](TObject*) { e.suiButton1Click(); };
  suiButton2->OnClick = [this](TObject*) { run_->suiButton2Click(); };
  ZobrazitVorbex051->OnClick = [&e](TObject*) { e.ZobrazitVorbex051Click(); };
  Konecprogramu1->OnClick = [&e](TObject*) { e.Konecprogramu1Click(); };
  Timer1->OnTimer = [&e](TObject*) { e.Timer1Timer(); };
  Timer2->OnTimer = [&e](TObject*) { e.Timer2Timer(); };
  BindUtilEvents();
  e.OnAllDatabasesBackup = [this] { run_->vsechno(); };
  Application->OnException = [this](TObject*, const Exception& ex) { ReportException(ex); };
}

// An error that leaves start-up is reported; the window opens with what was
// set up so far.
void TForm1::FormCreate() {
  try {
    engine_->FormCreate();
  } catch (const Exception& e) {
    Application->HandleException(this, e);
  }
  startupRefused_ = terminateAsked_;
}

void TForm1::FormShow() {
  AbMeter2->SetUnusedColor(suiBuiltInFileTheme1->GetColor(2));
  engine_->FormShow();
}

void TForm1::ReportException(const Exception& e) {
  errorReported_ = true;
  Application->MessageBox(e.Message(), Application->Title(), MB_OK | MB_ICONSTOP);
  if (!DisplayPresent() && engine_->State().OneShotMode) TerminateApplication();
}
