// The published properties and registered classes of the skin components,
// registered once, when the first of them is created.
#include "skin/skin_props.h"

#include "platform/gui/type_info.h"
#include "skin/file_theme.h"
#include "skin/image_panel.h"
#include "skin/skin_button.h"
#include "skin/skin_check_list.h"
#include "skin/skin_dialogs.h"
#include "skin/skin_edit.h"
#include "skin/skin_progress_bar.h"
#include "skin/skin_tool_bar.h"
#include "skin/skin_form.h"
#include "skin/skin_mdi_form.h"
#include "skin/skin_menus.h"
#include "skin/theme_manager.h"
#include "skin/themed_props.h"

namespace {

// Button k's caption and modal result, published as Button<k>Caption and
// Button<k>ModalResult.
TPropInfo ButtonCaptionProp(int k) {
  TPropInfo p;
  p.Name = "Button" + std::to_string(k) + "Caption";
  p.Kind = tkLString;
  p.GetStr = [k](TObject* o) { return static_cast<TsuiMessageDialog*>(o)->ButtonCaption(k); };
  p.SetStr = [k](TObject* o, const AnsiString& v) { static_cast<TsuiMessageDialog*>(o)->SetButtonCaption(k, v); };
  return p;
}

TPropInfo ButtonResultProp(int k) {
  TPropInfo p;
  p.Name = "Button" + std::to_string(k) + "ModalResult";
  p.Kind = tkInteger;
  p.GetOrd = [k](TObject* o) { return int64_t(static_cast<TsuiMessageDialog*>(o)->ButtonModalResult(k)); };
  p.SetOrd = [k](TObject* o, int64_t v) { static_cast<TsuiMessageDialog*>(o)->SetButtonModalResult(k, int(v)); };
  return p;
}

void RegisterControlProps() {
  RegisterProps<TsuiCustomButton>(
      "TsuiCustomButton",
      Themed<TsuiCustomButton>(
          {StrProp<TsuiCustomButton>("Caption", &TsuiCustomButton::Caption, &TsuiCustomButton::SetCaption),
           BoolProp("Cancel", &TsuiCustomButton::Cancel, &TsuiCustomButton::SetCancel),
           BoolProp("Default", &TsuiCustomButton::Default, &TsuiCustomButton::SetDefault),
           BoolProp("Transparent", &TsuiCustomButton::Transparent, &TsuiCustomButton::SetTransparent),
           BoolProp("AutoSize", &TsuiCustomButton::AutoSize, &TsuiCustomButton::SetAutoSize),
           IntProp("ModalResult", &TsuiCustomButton::ModalResult, &TsuiCustomButton::SetModalResult),
           IntProp("FocusedRectMargin", &TsuiCustomButton::FocusedRectMargin, &TsuiCustomButton::SetFocusedRectMargin),
           IntProp("MouseContinuouslyDownInterval", &TsuiCustomButton::MouseContinuouslyDownInterval,
                   &TsuiCustomButton::SetMouseContinuouslyDownInterval),
           IntProp("ResHandle", &TsuiCustomButton::ResHandle, &TsuiCustomButton::SetResHandle)}));
  RegisterProps<TsuiButton>(
      "TsuiButton", {EnumProp("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"},
                              &TsuiButton::Layout, &TsuiButton::SetLayout),
                     IntProp("Spacing", &TsuiButton::Spacing, &TsuiButton::SetSpacing)});
  RegisterProps<TsuiImageButton>(
      "TsuiImageButton", {BoolProp("Stretch", &TsuiImageButton::Stretch, &TsuiImageButton::SetStretch),
                          BoolProp("DrawFocused", &TsuiImageButton::DrawFocused, &TsuiImageButton::SetDrawFocused)});
  RegisterProps<TsuiProgressBar>(
      "TsuiProgressBar",
      Themed<TsuiProgressBar>(
          {IntProp("Max", &TsuiProgressBar::Max, &TsuiProgressBar::SetMax),
           IntProp("Min", &TsuiProgressBar::Min, &TsuiProgressBar::SetMin),
           IntProp("Position", &TsuiProgressBar::Position, &TsuiProgressBar::SetPosition),
           EnumProp("Orientation", {"suiHorizontal", "suiVertical"}, &TsuiProgressBar::Orientation,
                    &TsuiProgressBar::SetOrientation),
           IntProp("Color", &TsuiProgressBar::Color, &TsuiProgressBar::SetColor),
           IntProp("BorderColor", &TsuiProgressBar::BorderColor, &TsuiProgressBar::SetBorderColor),
           IntProp("CaptionColor", &TsuiProgressBar::CaptionColor, &TsuiProgressBar::SetCaptionColor),
           BoolProp("ShowCaption", &TsuiProgressBar::ShowCaption, &TsuiProgressBar::SetShowCaption),
           BoolProp("SmartShowCaption", &TsuiProgressBar::SmartShowCaption, &TsuiProgressBar::SetSmartShowCaption)}));
  RegisterProps<TsuiCustomPanel>(
      "TsuiImagePanel",
      {BoolProp("Transparent", &TsuiCustomPanel::Transparent, &TsuiCustomPanel::SetTransparent),
       BoolProp("AutoSize", &TsuiCustomPanel::AutoSize, &TsuiCustomPanel::SetAutoSize),
       EnumProp("DrawStyle", {"suiNormal", "suiStretch", "suiTile"}, &TsuiCustomPanel::DrawStyle,
                &TsuiCustomPanel::SetDrawStyle)});
  RegisterProps<TsuiToolBar>(
      "TsuiToolBar",
      Themed<TsuiToolBar>({IntProp("ButtonColor", &TsuiToolBar::ButtonColor, &TsuiToolBar::SetButtonColor),
                           IntProp("ButtonBorderColor", &TsuiToolBar::ButtonBorderColor, &TsuiToolBar::SetButtonBorderColor),
                           IntProp("ButtonDownColor", &TsuiToolBar::ButtonDownColor, &TsuiToolBar::SetButtonDownColor)}));
  RegisterProps<TsuiEdit>("TsuiEdit",
                          Themed<TsuiEdit>({IntProp("BorderColor", &TsuiEdit::BorderColor, &TsuiEdit::SetBorderColor)}));
  RegisterProps<TsuiMemo>("TsuiMemo",
                          Themed<TsuiMemo>({IntProp("BorderColor", &TsuiMemo::BorderColor, &TsuiMemo::SetBorderColor),
                                            RefProp("VScrollBar", &TsuiMemo::VScrollBar, &TsuiMemo::SetVScrollBar),
                                            RefProp("HScrollBar", &TsuiMemo::HScrollBar, &TsuiMemo::SetHScrollBar)}));
  RegisterProps<TsuiCheckListBox>(
      "TsuiCheckListBox",
      Themed<TsuiCheckListBox>(
          {IntProp("BorderColor", &TsuiCheckListBox::BorderColor, &TsuiCheckListBox::SetBorderColor),
           IntProp("SelectedColor", &TsuiCheckListBox::SelectedColor, &TsuiCheckListBox::SetSelectedColor),
           IntProp("SelectedTextColor", &TsuiCheckListBox::SelectedTextColor, &TsuiCheckListBox::SetSelectedTextColor),
           IntProp("DisabledTextColor", &TsuiCheckListBox::DisabledTextColor, &TsuiCheckListBox::SetDisabledTextColor),
           RefProp("VScrollBar", &TsuiCheckListBox::VScrollBar, &TsuiCheckListBox::SetVScrollBar),
           RefProp("HScrollBar", &TsuiCheckListBox::HScrollBar, &TsuiCheckListBox::SetHScrollBar)}));
  RegisterProps<TsuiDialog>(
      "TsuiDialog",
      Themed<TsuiDialog>(
          {EnumProp("Position",
                    {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                     "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                    &TsuiDialog::Position, &TsuiDialog::SetPosition),
           StrProp<TsuiDialog>("Caption", &TsuiDialog::Caption, &TsuiDialog::SetCaption),
           ObjectProp("Font", &TsuiDialog::Font), ObjectProp("CaptionFont", &TsuiDialog::CaptionFont),
           IntProp("ButtonCursor", &TsuiDialog::ButtonCursor, &TsuiDialog::SetButtonCursor)}));
  RegisterProps<TsuiMessageDialog>(
      "TsuiMessageDialog",
      {IntProp("ButtonCount", &TsuiMessageDialog::ButtonCount, &TsuiMessageDialog::SetButtonCount),
       ButtonCaptionProp(1), ButtonCaptionProp(2), ButtonCaptionProp(3), ButtonResultProp(1), ButtonResultProp(2),
       ButtonResultProp(3),
       EnumProp("IconType", {"suiNone", "suiWarning", "suiStop", "suiInformation", "suiHelp"},
                &TsuiMessageDialog::IconType, &TsuiMessageDialog::SetIconType),
       StrProp<TsuiMessageDialog>("Text", &TsuiMessageDialog::Text, &TsuiMessageDialog::SetText)});
  RegisterProps<TsuiInputDialog>(
      "TsuiInputDialog",
      {CharProp("PasswordChar", &TsuiInputDialog::PasswordChar, &TsuiInputDialog::SetPasswordChar),
       StrProp<TsuiInputDialog>("PromptText", &TsuiInputDialog::PromptText, &TsuiInputDialog::SetPromptText),
       StrProp<TsuiInputDialog>("ValueText", &TsuiInputDialog::ValueText, &TsuiInputDialog::SetValueText),
       StrProp<TsuiInputDialog>("ButtonOKCaption", &TsuiInputDialog::ButtonOKCaption,
                                &TsuiInputDialog::SetButtonOKCaption),
       StrProp<TsuiInputDialog>("ButtonCancelCaption", &TsuiInputDialog::ButtonCancelCaption,
                                &TsuiInputDialog::SetButtonCancelCaption)});
  RegisterClass<TsuiButton>("TsuiButton");
  RegisterClass<TsuiImageButton>("TsuiImageButton");
  RegisterClass<TsuiToolBarSpeedButton>("TsuiToolBarSpeedButton");
  RegisterClass<TsuiProgressBar>("TsuiProgressBar");
  RegisterClass<TsuiImagePanel>("TsuiImagePanel");
  RegisterClass<TsuiToolBar>("TsuiToolBar");
  RegisterClass<TsuiEdit>("TsuiEdit");
  RegisterClass<TsuiMemo>("TsuiMemo");
  RegisterClass<TsuiCheckListBox>("TsuiCheckListBox");
  RegisterClass<TsuiMessageDialog>("TsuiMessageDialog");
  RegisterClass<TsuiInputDialog>("TsuiInputDialog");
}

}  // namespace

void RegisterSkinProps() {
  static const bool registered = [] {
    RegisterControlProps();
    RegisterBarProps();
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
         IntProp("RoundCornerBottom", &TsuiForm::RoundCornerBottom, &TsuiForm::SetRoundCornerBottom),
         RefProp("Menu", &TsuiForm::Menu, &TsuiForm::SetMenu),
         IntProp("MenuBarColor", &TsuiForm::MenuBarColor, &TsuiForm::SetMenuBarColor),
         IntProp("MenuBarToColor", &TsuiForm::MenuBarToColor, &TsuiForm::SetMenuBarToColor),
         IntProp("MenuBarHeight", &TsuiForm::MenuBarHeight, &TsuiForm::SetMenuBarHeight)});
    RegisterProps<TsuiMDIForm>(
        "TsuiMDIForm",
        {EnumProp("UIStyle", UIStyleNames(), &TsuiMDIForm::UIStyle, &TsuiMDIForm::SetUIStyle),
         RefProp("FileTheme", &TsuiMDIForm::FileTheme, &TsuiMDIForm::SetFileTheme),
         RefProp("Menu", &TsuiMDIForm::Menu, &TsuiMDIForm::SetMenu),
         IntProp("MenuBarColor", &TsuiMDIForm::MenuBarColor, &TsuiMDIForm::SetMenuBarColor),
         IntProp("MenuBarToColor", &TsuiMDIForm::MenuBarToColor, &TsuiMDIForm::SetMenuBarToColor),
         IntProp("BorderColor", &TsuiMDIForm::BorderColor, &TsuiMDIForm::SetBorderColor),
         StrProp<TsuiMDIForm>("Caption", &TsuiMDIForm::Caption, &TsuiMDIForm::SetCaption),
         BoolProp("TitleBarVisible", &TsuiMDIForm::TitleBarVisible, &TsuiMDIForm::SetTitleBarVisible),
         BoolProp("TitleBarDrawChildCaptions", &TsuiMDIForm::TitleBarDrawChildCaptions,
                  &TsuiMDIForm::SetTitleBarDrawChildCaptions),
         BoolProp("TitleBarDrawChildMenus", &TsuiMDIForm::TitleBarDrawChildMenus, &TsuiMDIForm::SetTitleBarDrawChildMenus),
         IntProp("RoundCorner", &TsuiMDIForm::RoundCorner, &TsuiMDIForm::SetRoundCorner),
         IntProp("RoundCornerBottom", &TsuiMDIForm::RoundCornerBottom, &TsuiMDIForm::SetRoundCornerBottom),
         IntProp("InactiveCaptionColor", &TsuiMDIForm::InactiveCaptionColor, &TsuiMDIForm::SetInactiveCaptionColor),
         BoolProp("TitleBarCustom", &TsuiMDIForm::TitleBarCustom, &TsuiMDIForm::SetTitleBarCustom),
         BoolProp("TitleBarDrawAppIcon", &TsuiMDIForm::TitleBarDrawAppIcon, &TsuiMDIForm::SetTitleBarDrawAppIcon)});
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
    RegisterClass<TsuiMDIForm>("TsuiMDIForm");
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
