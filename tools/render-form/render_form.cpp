// render-form: builds a form with every standard control through the
// form-building protocol (a tool bar, a panel, a label, an edit, an image, a
// check list, a memo with its scroll bar, a default and a cancel button),
// lets the message loop paint it and saves what the screen shows around it
// as PNG.
#include <cstdio>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/edits.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/list_boxes.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/tool_bars.h"
#include "tools/screen-grab/screen_grab.h"

namespace {

constexpr int kMargin = 20;
constexpr unsigned kSettleMs = 300;

void BuildForm(TForm* form) {
  TFormLoader load(form);
  load.Set(form, "Name", "BackupForm");
  load.Set(form, "Caption", "Vorbex05 – všechny ovládací prvky");
  load.Set(form, "Left", "60");
  load.Set(form, "Top", "60");
  load.Set(form, "ClientWidth", "520");
  load.Set(form, "ClientHeight", "324");
  load.Set(form, "BorderStyle", "bsSingle");

  auto* tools = load.Create<TToolBar>("ToolBar", form);
  load.Set(tools, "ShowCaptions", "True");
  load.Set(tools, "Flat", "True");
  load.Set(tools, "Height", "24");
  for (const char* caption : {"&Soubor", "Ú&pravy", "&Nápověda"}) {
    auto* b = load.Create<TToolButton>(AnsiString("Tool") + std::to_string(tools->ButtonCount()), tools);
    load.Set(b, "AutoSize", "True");
    load.Set(b, "Caption", caption);
  }
  auto* title = load.Create<TPanel>("TitlePanel", form);
  load.Set(title, "Align", "alTop");
  load.Set(title, "Height", "34");
  load.Set(title, "Caption", "Zálohování databáze „sklad“");

  auto* label = load.Create<TLabel>("FolderLabel", form);
  load.Set(label, "Left", "12");
  load.Set(label, "Top", "72");
  load.Set(label, "Caption", "Složka záloh:");
  load.Ref(label, "FocusControl", "FolderEdit");

  auto* edit = load.Create<TEdit>("FolderEdit", form);
  load.Set(edit, "Left", "100");
  load.Set(edit, "Top", "68");
  load.Set(edit, "Width", "300");
  load.Set(edit, "Text", "/var/zálohy/Říjen");

  auto* image = load.Create<TImage>("Picture", form);
  load.Set(image, "Left", "420");
  load.Set(image, "Top", "64");
  load.Set(image, "Width", "88");
  load.Set(image, "Height", "30");
  load.Set(image, "Stretch", "True");
  image->Picture()->Bitmap()->LoadFromResourceName(0, "vx_TestBitmap");

  auto* tables = load.Create<TCheckListBox>("Tables", form);
  load.Set(tables, "Left", "12");
  load.Set(tables, "Top", "104");
  load.Set(tables, "Width", "180");
  load.Set(tables, "Height", "160");
  for (const char* t : {"adresář", "faktury", "objednávky", "sklad", "účetnictví", "ceník"}) tables->Items()->Add(t);

  auto* protocol = load.Create<TMemo>("Protocol", form);
  load.Set(protocol, "Left", "204");
  load.Set(protocol, "Top", "104");
  load.Set(protocol, "Width", "304");
  load.Set(protocol, "Height", "160");
  load.Set(protocol, "ScrollBars", "ssVertical");
  for (int i = 1; i <= 14; ++i)
    protocol->Lines()->Add("10:0" + std::to_string(i % 10) + " tabulka " + std::to_string(i) + " – uloženo, řádků " +
                           std::to_string(i * 137));

  auto* run = load.Create<TButton>("RunButton", form);
  load.Set(run, "Left", "340");
  load.Set(run, "Top", "280");
  load.Set(run, "Caption", "&Zálohovat");
  load.Set(run, "Default", "True");
  load.Set(run, "ModalResult", "1");

  auto* close = load.Create<TButton>("CloseButton", form);
  load.Set(close, "Left", "430");
  load.Set(close, "Top", "280");
  load.Set(close, "Caption", "Konec");
  load.Set(close, "Cancel", "True");
  load.Ref(form, "ActiveControl", "Tables");
  load.Finish();

  tables->SetChecked(0, true);
  tables->SetChecked(2, true);
  tables->SetChecked(3, true);
  tables->SetItemIndex(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: render-form <file.png>\n");
    return 2;
  }
  TForm* form = new TForm(Application);
  try {
    BuildForm(form);
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
  const bool saved = SavePng(shot, argv[1]);
  DeleteObject(shot);
  form->Free();
  if (!saved) {
    std::fprintf(stderr, "render-form: %s could not be written\n", argv[1]);
    return 1;
  }
  return 0;
}
