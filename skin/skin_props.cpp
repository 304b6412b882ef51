// The published properties and registered classes of the skin components,
// registered once, when the first of them is created.
#include "skin/skin_props.h"

#include "platform/gui/type_info.h"
#include "skin/file_theme.h"
#include "skin/skin_form.h"
#include "skin/skin_menus.h"
#include "skin/theme_manager.h"

void RegisterSkinProps() {
  static const bool registered = [] {
    RegisterProps<TsuiFileTheme>(
        "TsuiFileTheme", {StrProp<TsuiFileTheme>("ThemeFile", &TsuiFileTheme::ThemeFile, &TsuiFileTheme::SetThemeFile),
                          StrProp<TsuiFileTheme>("Password", &TsuiFileTheme::Password, &TsuiFileTheme::SetPassword),
                          BoolProp("Ready", &TsuiFileTheme::Ready, &TsuiFileTheme::SetReady)});
    RegisterProps<TsuiThemeManager>(
        "TsuiThemeManager",
        {EnumProp("UIStyle", UIStyleNames(), &TsuiThemeManager::UIStyle, &TsuiThemeManager::SetUIStyle),
         RefProp("FileTheme", &TsuiThemeManager::FileTheme, &TsuiThemeManager::SetFileTheme),
         ObjectProp("CompList", &TsuiThemeManager::CompList)});
    RegisterProps<TsuiForm>(
        "TsuiForm",
        {EnumProp("UIStyle", UIStyleNames(), &TsuiForm::UIStyle, &TsuiForm::SetUIStyle),
         RefProp("FileTheme", &TsuiForm::FileTheme, &TsuiForm::SetFileTheme),
         BoolProp("UIStyleAutoUpdateSub", &TsuiForm::UIStyleAutoUpdateSub, &TsuiForm::SetUIStyleAutoUpdateSub),
         IntProp("BorderColor", &TsuiForm::BorderColor, &TsuiForm::SetBorderColor),
         IntProp("BorderWidth", &TsuiForm::BorderWidth, &TsuiForm::SetBorderWidth),
         BoolProp("TitleBarVisible", &TsuiForm::TitleBarVisible, &TsuiForm::SetTitleBarVisible),
         StrProp<TsuiForm>("Caption", &TsuiForm::Caption, &TsuiForm::SetCaption),
         IntProp("RoundCorner", &TsuiForm::RoundCorner, &TsuiForm::SetRoundCorner),
         IntProp("RoundCornerBottom", &TsuiForm::RoundCornerBottom, &TsuiForm::SetRoundCornerBottom)});
    RegisterProps<TsuiTitleBar>(
        "TsuiTitleBar", {EnumProp("UIStyle", UIStyleNames(), &TsuiTitleBar::UIStyle, &TsuiTitleBar::SetUIStyle),
                         RefProp("FileTheme", &TsuiTitleBar::FileTheme, &TsuiTitleBar::SetFileTheme)});
    RegisterProps<TsuiPopupMenu>(
        "TsuiPopupMenu", {EnumProp("UIStyle", UIStyleNames(), &TsuiPopupMenu::UIStyle, &TsuiPopupMenu::SetUIStyle),
                          RefProp("FileTheme", &TsuiPopupMenu::FileTheme, &TsuiPopupMenu::SetFileTheme)});
    RegisterProps<TsuiMainMenu>(
        "TsuiMainMenu", {EnumProp("UIStyle", UIStyleNames(), &TsuiMainMenu::UIStyle, &TsuiMainMenu::SetUIStyle),
                         RefProp("FileTheme", &TsuiMainMenu::FileTheme, &TsuiMainMenu::SetFileTheme)});
    RegisterClass<TsuiForm>("TsuiForm");
    RegisterClass<TsuiTitleBar>("TsuiTitleBar");
    RegisterClass<TsuiPopupMenu>("TsuiPopupMenu");
    RegisterClass<TsuiMainMenu>("TsuiMainMenu");
    RegisterClass<TsuiFileTheme>("TsuiFileTheme");
    RegisterClass<TsuiBuiltInFileTheme>("TsuiBuiltInFileTheme");
    RegisterClass<TsuiThemeManager>("TsuiThemeManager");
    return true;
  }();
  (void)registered;
}
