// The published properties and registered classes of the skin components,
// registered once, when the first of them is created.
#include "skin/skin_props.h"

#include "platform/gui/type_info.h"
#include "skin/file_theme.h"
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
    RegisterClass<TsuiFileTheme>("TsuiFileTheme");
    RegisterClass<TsuiBuiltInFileTheme>("TsuiBuiltInFileTheme");
    RegisterClass<TsuiThemeManager>("TsuiThemeManager");
    return true;
  }();
  (void)registered;
}
