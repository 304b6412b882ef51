// The property tables and class registrations of the desktop components.
#include "util/components/component_classes.h"

#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/gui/actions.h"
#include "platform/gui/type_info.h"
#include "util/components/app_window_routines.h"
#include "util/components/desktop_classes.h"
#include "util/components/folder_edit.h"
#include "util/components/form_storage.h"
#include "util/components/speed_button.h"
#include "util/components/styled_speed_button.h"
#include "util/components/system_component_classes.h"
#include "util/components/time_spin_edit.h"
#include "util/components/tray_icon.h"

namespace {
const std::vector<AnsiString> kTrayActions = {"paLeftDown", "paRightDown", "paLeftUp", "paRightUp",
                                              "paLeftDblClick", "paRightDblClick", "paNone"};
const std::vector<AnsiString> kTrayShows = {"tyAllways", "tyNever", "tyOnRestore", "tyOnMinimized"};

// Stored forms written by the components' other edition name the classes
// so; each name creates the class that stands for it here.
const std::pair<const char*, const char*> kOtherNames[] = {
    {"TCHTrayIcon", "TUtlTrayIcon"}, {"TrmTimeSpinEdit", "TUtlTimeSpinEdit"},
    {"TabfTrayIcon", "TUtlBalloonTrayIcon"}, {"TabfComponent", "TUtlComponent"},
    {"TabfCustomThreadComponent", "TUtlCustomThreadComponent"}, {"TabfCustomTimer", "TUtlCustomTimer"},
    {"TabfCustomThreadTimer", "TUtlCustomThreadTimer"}, {"TabfCustomWndProcHook", "TUtlCustomWndProcHook"},
    {"TabfCustomFileStorage", "TUtlCustomFileStorage"}, {"TabfAutoRun", "TUtlAutoRun"},
    {"TabfOneInstance", "TUtlOneInstance"}, {"TabfShutdown", "TUtlShutdown"},
    {"TabfWndProcHook", "TUtlWndProcHook"}, {"TabfFileStorage", "TUtlFileStorage"}, {"TabfWav", "TUtlWav"},
    {"TabfThreadComponent", "TUtlThreadComponent"}, {"TabfThreadTimer", "TUtlThreadTimer"},
    {"TabfFileOperation", "TUtlFileOperation"}, {"TabfFileAssociation", "TUtlFileAssociation"},
    {"TabfCustomFolderMonitor", "TUtlCustomFolderMonitor"}, {"TabfFolderMonitor", "TUtlFolderMonitor"},
    {"TabfCustomRegistryMonitor", "TUtlCustomRegistryMonitor"}, {"TabfRegistryMonitor", "TUtlRegistryMonitor"},
    {"TabfStartButtonProperties", "TUtlStartButtonProperties"}, {"TabfColorPicker", "TUtlColorPicker"},
};
}  // namespace

const std::vector<std::pair<const char*, const char*>>& UtilComponentOtherNames() {
  static const std::vector<std::pair<const char*, const char*>> names(std::begin(kOtherNames), std::end(kOtherNames));
  return names;
}

void RegisterUtilComponents() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterStandardProps();  // the bases' tables come first, so ours may publish their names anew
    RegisterFormStorageClasses();
    RegisterProps<TDirectoryEdit>(
        "TDirectoryEdit",
        {StrProp<TDirectoryEdit>("DialogText", &TDirectoryEdit::DialogText, &TDirectoryEdit::SetDialogText),
         StrProp<TDirectoryEdit>("InitialDir", &TDirectoryEdit::InitialDir, &TDirectoryEdit::SetInitialDir),
         BoolProp("MultipleDirs", &TDirectoryEdit::MultipleDirs, &TDirectoryEdit::SetMultipleDirs),
         EnumProp("DialogKind", {"dkVCL", "dkWin32"}, &TDirectoryEdit::DialogKind, &TDirectoryEdit::SetDialogKind),
         SetProp("DialogOptions", {"sdAllowCreate", "sdPerformCreate", "sdPrompt"}, &TDirectoryEdit::DialogOptions,
                 &TDirectoryEdit::SetDialogOptions),
         BoolProp("AcceptFiles", &TDirectoryEdit::AcceptFiles, &TDirectoryEdit::SetAcceptFiles),
         BoolProp("DirectInput", &TDirectoryEdit::DirectInput, &TDirectoryEdit::SetDirectInput),
         BoolProp("ReadOnly", &TDirectoryEdit::ReadOnly, &TDirectoryEdit::SetReadOnly),
         IntProp("ButtonWidth", &TDirectoryEdit::ButtonWidth, &TDirectoryEdit::SetButtonWidth),
         EnumProp("GlyphKind", {"gkCustom", "gkDefault", "gkDropDown", "gkEllipsis"}, &TDirectoryEdit::GlyphKind,
                  &TDirectoryEdit::SetGlyphKind),
         IntProp("NumGlyphs", &TDirectoryEdit::NumGlyphs, &TDirectoryEdit::SetNumGlyphs),
         StrProp<TDirectoryEdit>("ButtonHint", &TDirectoryEdit::ButtonHint, &TDirectoryEdit::SetButtonHint),
         IntProp("ClickKey", &TDirectoryEdit::ClickKey, &TDirectoryEdit::SetClickKey)});
    RegisterProps<TUtlSpeedButton>("TUtlSpeedButton", {RefProp("Action", &TControl::Action, &TControl::SetAction)});
    RegisterProps<TUtlStyledSpeedButton>("TUtlStyledSpeedButton",
                                         {RefProp("Action", &TControl::Action, &TControl::SetAction)});
    RegisterProps<TUtlCustomSpinEdit>(
        "TUtlCustomSpinEdit",
        {BoolProp("EditorEnabled", &TUtlCustomSpinEdit::EditorEnabled, &TUtlCustomSpinEdit::SetEditorEnabled),
         BoolProp("UseRanges", &TUtlCustomSpinEdit::UseRanges, &TUtlCustomSpinEdit::SetUseRanges)});
    RegisterProps<TUtlTimeSpinEdit>(
        "TUtlTimeSpinEdit",
        {FloatProp("MaxValue", ftDouble, &TUtlTimeSpinEdit::MaxValue, &TUtlTimeSpinEdit::SetMaxValue),
         FloatProp("MinValue", ftDouble, &TUtlTimeSpinEdit::MinValue, &TUtlTimeSpinEdit::SetMinValue),
         FloatProp("Value", ftDouble, &TUtlTimeSpinEdit::Value, &TUtlTimeSpinEdit::SetValue),
         EnumProp("TimeDisplay", {"td24Hour", "td12Hour"}, &TUtlTimeSpinEdit::TimeDisplay,
                  &TUtlTimeSpinEdit::SetTimeDisplay),
         BoolProp("ShowSeconds", &TUtlTimeSpinEdit::ShowSeconds, &TUtlTimeSpinEdit::SetShowSeconds)});
    RegisterProps<TUtlTrayAction>(
        "TUtlTrayAction", {EnumProp("Popup", kTrayActions, &TUtlTrayAction::Popup, &TUtlTrayAction::SetPopup),
                           EnumProp("Restore", kTrayActions, &TUtlTrayAction::Restore, &TUtlTrayAction::SetRestore)});
    RegisterProps<TUtlIconLabel>(
        "TUtlIconLabel",
        {StrProp<TUtlIconLabel>("Text", &TUtlIconLabel::Text, &TUtlIconLabel::SetText),
         ObjectProp("Font", &TUtlIconLabel::Font),
         EnumProp("Alignment",
                  {"ttgCenter", "ttgCustom", "ttgCenterBottom", "ttgCenterTop", "ttgCenterLeft", "ttgCenterRight"},
                  &TUtlIconLabel::Alignment, &TUtlIconLabel::SetAlignment),
         IntProp("PosX", &TUtlIconLabel::PosX, &TUtlIconLabel::SetPosX),
         IntProp("PosY", &TUtlIconLabel::PosY, &TUtlIconLabel::SetPosY)});
    RegisterProps<TUtlTrayIcon>(
        "TUtlTrayIcon",
        {ObjectProp("Action", &TUtlTrayIcon::Action), BoolProp("Enabled", &TUtlTrayIcon::Enabled, &TUtlTrayIcon::SetEnabled),
         StrProp<TUtlTrayIcon>("Hint", &TUtlTrayIcon::Hint, &TUtlTrayIcon::SetHint),
         ObjectProp("Icon", &TUtlTrayIcon::Icon),
         RefProp("IconList", &TUtlTrayIcon::IconList, &TUtlTrayIcon::SetIconList),
         IntProp("IconIndex", &TUtlTrayIcon::IconIndex, &TUtlTrayIcon::SetIconIndex),
         ObjectProp("IconText", &TUtlTrayIcon::IconText),
         EnumProp("Mode", {"trmIcon", "trmText"}, &TUtlTrayIcon::Mode, &TUtlTrayIcon::SetMode),
         RefProp("PopupMenu", &TUtlTrayIcon::PopupMenu, &TUtlTrayIcon::SetPopupMenu),
         BoolProp("ShowHint", &TUtlTrayIcon::ShowHint, &TUtlTrayIcon::SetShowHint),
         EnumProp("ShowIcon", kTrayShows, &TUtlTrayIcon::ShowIcon, &TUtlTrayIcon::SetShowIcon),
         BoolProp("ShowTaskBar", &TUtlTrayIcon::ShowTaskBar, &TUtlTrayIcon::SetShowTaskBar),
         EnumProp("ShowTaskEntry", kTrayShows, &TUtlTrayIcon::ShowTaskEntry, &TUtlTrayIcon::SetShowTaskEntry)});
    RegisterClass<TDirectoryEdit>("TDirectoryEdit");
    RegisterClass<TUtlTimeSpinEdit>("TUtlTimeSpinEdit");
    RegisterClass<TUtlTrayIcon>("TUtlTrayIcon");
    RegisterDesktopComponentClasses();
    RegisterSystemComponentClasses();
    for (const auto& [other, ours] : kOtherNames)
      if (const TComponentFactory* factory = GetClass(ours)) UtlRegisterClassSafe({other, *factory});
  });
}
