// render-form: builds a form with every standard control through the
// form-building protocol (a menu bar, a tool bar, a panel, a label, an edit,
// an image, a check list, a memo with its scroll bar, a default and a cancel
// button), with "skinned-demo" an empty form in the main window's skin, or
// with "main-window" a mock-up of the program's main window (its skinned
// controls at their places), lets the message loop paint it and saves what
// the screen shows around it as PNG.
#include <cstdio>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/edits.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/list_boxes.h"
#include "platform/gui/menus.h"
#include "platform/gui/resources.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/tool_bars.h"
#include "skin/file_theme.h"
#include "skin/image_panel.h"
#include "skin/skin_button.h"
#include "skin/skin_check_list.h"
#include "skin/skin_edit.h"
#include "skin/skin_form.h"
#include "skin/skin_progress_bar.h"
#include "tools/render-form/bar_gallery.h"
#include "tools/screen-grab/screen_grab.h"

namespace {

constexpr int kMargin = 20;
constexpr unsigned kSettleMs = 300;

void BuildForm(TForm* form) {
  TFormLoader load(form);
  load.Set(form, {{"Name", "BackupForm"},
                  {"Caption", "Vorbex05 – všechny ovládací prvky"},
                  {"Left", "60"},
                  {"Top", "60"},
                  {"ClientWidth", "520"},
                  {"ClientHeight", "324"},
                  {"BorderStyle", "bsSingle"}});

  auto* menu = load.Create<TMainMenu>("MainMenu");
  for (const char* caption : {"&Soubor", "&Záloha", "&Nápověda"}) {
    auto* item = load.Create<TMenuItem>(AnsiString("Menu") + std::to_string(menu->Items()->Count()));
    load.Set(item, "Caption", caption);
    menu->Items()->Add(item);
  }
  load.Ref(form, "Menu", "MainMenu");

  auto* tools = load.Create<TToolBar>("ToolBar", form);
  load.Set(tools, {{"ShowCaptions", "True"}, {"Flat", "True"}, {"Height", "24"}});
  for (const char* caption : {"&Soubor", "Ú&pravy", "&Nápověda"})
    load.Set(load.Create<TToolButton>(AnsiString("Tool") + std::to_string(tools->ButtonCount()), tools),
             {{"AutoSize", "True"}, {"Caption", caption}});
  load.Set(load.Create<TPanel>("TitlePanel", form),
           {{"Align", "alTop"}, {"Height", "34"}, {"Caption", "Zálohování databáze „sklad“"}});

  auto* label = load.Create<TLabel>("FolderLabel", form);
  load.Set(label, {{"Left", "12"}, {"Top", "72"}, {"Caption", "Složka záloh:"}});
  load.Ref(label, "FocusControl", "FolderEdit");
  load.Set(load.Create<TEdit>("FolderEdit", form),
           {{"Left", "100"}, {"Top", "68"}, {"Width", "300"}, {"Text", "/var/zálohy/Říjen"}});

  auto* image = load.Create<TImage>("Picture", form);
  load.Set(image, {{"Left", "420"}, {"Top", "64"}, {"Width", "88"}, {"Height", "30"}, {"Stretch", "True"}});
  image->Picture()->Bitmap()->LoadFromResourceName(0, "vx_TestBitmap");

  auto* tables = load.Create<TCheckListBox>("Tables", form);
  load.Set(tables, {{"Left", "12"}, {"Top", "104"}, {"Width", "180"}, {"Height", "160"}});
  for (const char* t : {"adresář", "faktury", "objednávky", "sklad", "účetnictví", "ceník"}) tables->Items()->Add(t);

  auto* protocol = load.Create<TMemo>("Protocol", form);
  load.Set(protocol, {{"Left", "204"}, {"Top", "104"}, {"Width", "304"}, {"Height", "160"}, {"ScrollBars", "ssVertical"}});
  for (int i = 1; i <= 14; ++i)
    protocol->Lines()->Add("10:0" + std::to_string(i % 10) + " tabulka " + std::to_string(i) + " – uloženo, řádků " +
                           std::to_string(i * 137));

  load.Set(load.Create<TButton>("RunButton", form),
           {{"Left", "340"}, {"Top", "280"}, {"Caption", "&Zálohovat"}, {"Default", "True"}, {"ModalResult", "1"}});
  load.Set(load.Create<TButton>("CloseButton", form),
           {{"Left", "430"}, {"Top", "280"}, {"Caption", "Konec"}, {"Cancel", "True"}});
  load.Ref(form, "ActiveControl", "Tables");
  load.Finish();

  tables->SetChecked(0, true);
  tables->SetChecked(2, true);
  tables->SetChecked(3, true);
  tables->SetItemIndex(1);
}

// An empty form framed by TsuiForm in the skin the main window carries.
void BuildSkinnedDemo(TForm* form) {
  TFormLoader load(form);
  load.Set(form, {{"Name", "SkinnedForm"},
                  {"Caption", "Vorbex05 – zálohování"},
                  {"Left", "60"},
                  {"Top", "60"},
                  {"Width", "360"},
                  {"Height", "220"},
                  {"BorderStyle", "bsSingle"}});
  auto* theme = load.Create<TsuiBuiltInFileTheme>("MainSkin");
  const ResourceEntry* skin = FindResourceEntry("MAIN_SKIN");
  if (!skin) throw Exception("the main skin is not embedded");
  theme->SetSkinData(AnsiString(reinterpret_cast<const char*>(skin->data), skin->size));
  auto* frame = load.Create<TsuiForm>("Frame", form);
  load.Set(frame, {{"UIStyle", "FromThemeFile"}});
  load.Ref(frame, "FileTheme", "MainSkin");
  load.Finish();
}

TsuiBuiltInFileTheme* MainSkin(TForm* form) {
  auto* theme = new TsuiBuiltInFileTheme(form);
  const ResourceEntry* skin = FindResourceEntry("MAIN_SKIN");
  if (!skin) throw Exception("the main skin is not embedded");
  theme->SetSkinData(AnsiString(reinterpret_cast<const char*>(skin->data), skin->size));
  return theme;
}

template <class Control>
Control* Place(TForm* form, TWinControl* parent, int left, int top, int width, int height) {
  auto* control = new Control(form);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A transparent image panel laid out by its parent.
TsuiImagePanel* Band(TForm* form, TWinControl* parent, TAlign align, const TRect& r) {
  auto* band = Place<TsuiImagePanel>(form, parent, r.Left, r.Top, r.Width(), r.Height());
  band->SetAlign(align);
  band->SetTransparent(true);
  return band;
}

void Themed(auto* control, TsuiFileTheme* theme) {
  control->SetFileTheme(theme);
  control->SetUIStyle(FromThemeFile);
}

// The main window's layout: folder fields on top, the table list left, the
// protocol right, buttons and the progress bar at the bottom.
void BuildMainWindow(TForm* form) {
  form->SetBorderStyle(bsSingle);
  form->SetCaption("MySQL - backup Kalmir05");
  form->SetBounds(20, 20, 0, 0);
  form->SetClientWidth(599);
  form->SetClientHeight(466);
  form->Font()->SetName("Tahoma");
  form->Font()->SetHeight(-11);
  TsuiBuiltInFileTheme* theme = MainSkin(form);
  auto* frame = new TsuiForm(form);
  frame->SetColor(clWhite);
  Themed(frame, theme);
  TsuiImagePanel* top = Band(form, frame, alTop, Bounds(0, 30, 599, 55));
  TsuiImagePanel* bottom = Band(form, frame, alBottom, Bounds(0, 425, 599, 41));
  auto* tables = Place<TsuiCheckListBox>(form, frame, 0, 85, 291, 340);
  tables->SetAlign(alLeft);
  Themed(tables, theme);
  tables->SetBorderColor(TColor(0x82AA54));
  for (const char* name : {"adresy", "faktury", "objednavky", "polozky", "sklad", "uzivatele", "zakaznici"})
    tables->Items()->Add(name);
  for (int i : {0, 1, 3, 6}) tables->SetChecked(i, true);
  TsuiImagePanel* right = Band(form, frame, alClient, Bounds(291, 85, 308, 340));
  auto* memo = Place<TsuiMemo>(form, right, 0, 0, 308, 340);
  memo->SetAlign(alClient);
  Themed(memo, theme);
  memo->SetBorderColor(TColor(0x82AA54));
  memo->SetReadOnly(true);
  memo->Lines()->Add("Záloha databáze kalmir začala.");
  memo->Lines()->Add("adresy: 1 204 řádků");
  for (auto [label, y] : {std::pair{"Pracovní složka", 7}, {"Složka ZIP zálohy", 32}}) {
    auto* l = Place<TLabel>(form, top, 5, y, 0, 0);
    l->SetCaption(label);
    l->SetTransparent(true);
    l->Font()->SetStyle(fsBold);
  }
  Place<TEdit>(form, top, 145, 5, 271, 21)->SetText("/var/lib/vorbex05/prace");
  Place<TEdit>(form, top, 145, 30, 271, 21)->SetText("/var/backups/kalmir");
  for (auto [caption, left] : {std::pair{"konec", 345}, {"zálohovat", 260}, {"uložit", 175}}) {
    auto* b = Place<TsuiButton>(form, bottom, left + 170, 5, 80, 27);
    Themed(b, theme);
    b->SetCaption(caption);
  }
  auto* meter = Place<TsuiProgressBar>(form, bottom, 10, 15, 159, 16);
  Themed(meter, theme);
  meter->SetShowCaption(false);
  meter->SetPosition(40);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  const bool skinned = mode == "skinned-demo", mainWindow = mode == "main-window";
  const bool bars = mode == "bars";
  if (argc != 2 && !skinned && !mainWindow && !bars) {
    std::fprintf(stderr, "usage: render-form [skinned-demo | main-window | bars] <file.png>\n");
    return 2;
  }
  const char* png = argv[argc - 1];
  TForm* form = new TForm(Application);
  try {
    if (skinned) BuildSkinnedDemo(form);
    else if (mainWindow) BuildMainWindow(form);
    else if (bars) BuildBarGallery(form);
    else BuildForm(form);
  } catch (const Exception& e) {
    std::fprintf(stderr, "render-form: %s\n", e.Message().c_str());
    return 1;
  }
  form->Show();
  ProcessMessagesFor(kSettleMs);
  const TRect r = form->BoundsRect();
  HBITMAP shot = GrabScreenArea(form->Handle(), Rect(r.Left - kMargin, r.Top - kMargin, r.Right + kMargin, r.Bottom + kMargin));
  if (!shot) {
    std::fprintf(stderr, "render-form: the screen could not be read\n");
    return 1;
  }
  const bool saved = SavePng(shot, png);
  DeleteObject(shot);
  form->Free();
  if (!saved) {
    std::fprintf(stderr, "render-form: %s could not be written\n", png);
    return 1;
  }
  return 0;
}
