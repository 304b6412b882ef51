// The desktop components as form data builds them: created by class name,
// their published values set from text, menu and action references fixed up
// by name.
#include <gtest/gtest.h>

#include "platform/gui/actions.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/forms.h"
#include "platform/rtl/datetime.h"
#include "util/components/component_classes.h"
#include "util/components/folder_edit.h"
#include "util/components/form_storage.h"
#include "util/components/speed_button.h"
#include "util/components/styled_speed_button.h"
#include "util/components/time_spin_edit.h"
#include "util/components/tray_icon.h"

namespace {

TEST(ComponentClasses, FormDataBuildsTheFolderEditTimeSpinEditTrayIconAndSpeedButton) {
  RegisterUtilComponents();
  auto* form = new TForm(nullptr);
  {
    TFormLoader load(form);
    auto* dir = dynamic_cast<TDirectoryEdit*>(load.CreateByClassName("TDirectoryEdit", "WorkDir", form));
    ASSERT_NE(dir, nullptr);
    load.Set(dir, {{"Width", "271"}, {"Height", "21"}, {"DialogText", "Pracovní složka"}, {"NumGlyphs", "1"},
                   {"ReadOnly", "True"}, {"Text", "/tmp"}, {"ButtonHint", "Vybrat"}, {"ClickKey", "16424"}});
    auto* time = dynamic_cast<TUtlTimeSpinEdit*>(load.CreateByClassName("TUtlTimeSpinEdit", "StartTime", form));
    ASSERT_NE(time, nullptr);
    load.Set(time, {{"ShowSeconds", "True"}, {"Value", "0.5"}});
    auto* menu = load.Create<TPopupMenu>("TrayMenu");
    auto* tray = dynamic_cast<TUtlTrayIcon*>(load.CreateByClassName("TUtlTrayIcon", "Tray"));
    ASSERT_NE(tray, nullptr);
    load.Set(tray, {{"Enabled", "False"}, {"Hint", "vorbex05"}, {"ShowIcon", "tyAllways"}});
    load.Ref(tray, "PopupMenu", "TrayMenu");
    ASSERT_NE(load.CreateByClassName("TFormStorage", "Storage"), nullptr);
    auto* save = load.Create<TCustomAction>("SaveAction");
    save->SetCaption("Uložit");
    save->SetHint("Uloží zálohu");
    auto* button = load.Create<TUtlSpeedButton>("SaveButton", form);
    load.Set(button, {{"Hint", "Vlastní"}});
    load.Ref(button, "Action", "SaveAction");
    auto* styled = load.Create<TUtlStyledSpeedButton>("SaveMenuButton", form);
    load.Ref(styled, "Action", "SaveAction");
    load.Finish();

    EXPECT_EQ(dir->DialogText(), "Pracovní složka");
    EXPECT_TRUE(dir->ReadOnly());
    EXPECT_EQ(dir->Text(), "/tmp");
    EXPECT_EQ(dir->Width(), 271);
    EXPECT_EQ(dir->ButtonHint(), "Vybrat");
    EXPECT_EQ(dir->ClickKey(), TShortCut(16424));  // Ctrl+Down
    EXPECT_EQ(time->Text(), "12:00:00");
    EXPECT_EQ(tray->Hint(), "vorbex05");
    EXPECT_EQ(tray->ShowIcon(), tyAllways);
    EXPECT_EQ(tray->PopupMenu(), menu);
    // Linked while loading: the button keeps the hint of its own data.
    EXPECT_EQ(button->Action(), save);
    EXPECT_EQ(button->Caption(), "Uložit");
    EXPECT_EQ(button->Hint(), "Vlastní");
    EXPECT_EQ(styled->Action(), save);
    EXPECT_EQ(styled->Hint(), "Uloží zálohu");
  }
  form->Free();
}

}  // namespace
