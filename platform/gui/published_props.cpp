// The published properties and registered classes of the platform's own
// components: what form builders and the property storage can reach by name.
#include "platform/gui/application.h"
#include "platform/gui/edits.h"
#include "platform/gui/image_list.h"
#include "platform/gui/list_boxes.h"
#include "platform/gui/menus.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/timer.h"
#include "platform/gui/tool_bars.h"
#include "platform/gui/type_info.h"

namespace {
const std::vector<AnsiString> kAlign = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
const std::vector<AnsiString> kAlignment = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<AnsiString> kBorderStyle = {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow",
                                              "bsSizeToolWin"};
const std::vector<AnsiString> kFontStyles = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
}  // namespace

void RegisterStandardProps() {
  RegisterProps<TFont>("TFont", {StrProp<TFont>("Name", &TFont::Name, &TFont::SetName),
                                 IntProp("Size", &TFont::Size, &TFont::SetSize),
                                 IntProp("Height", &TFont::Height, &TFont::SetHeight),
                                 IntProp("Color", &TFont::Color, &TFont::SetColor),
                                 SetProp("Style", kFontStyles, &TFont::Style, &TFont::SetStyle)});
  RegisterProps<TComponent>("TComponent", {StrProp<TComponent>("Name", &TComponent::Name, &TComponent::SetName)});
  RegisterProps<TControl>(
      "TControl",
      {IntProp("Left", &TControl::Left, &TControl::SetLeft), IntProp("Top", &TControl::Top, &TControl::SetTop),
       IntProp("Width", &TControl::Width, &TControl::SetWidth),
       IntProp("Height", &TControl::Height, &TControl::SetHeight),
       EnumProp("Align", kAlign, &TControl::Align, &TControl::SetAlign),
       BoolProp("Visible", &TControl::Visible, &TControl::SetVisible),
       BoolProp("Enabled", &TControl::Enabled, &TControl::SetEnabled),
       IntProp("Color", &TControl::Color, &TControl::SetColor), ObjectProp("Font", &TControl::Font),
       BoolProp("ParentFont", &TControl::ParentFont, &TControl::SetParentFont),
       StrProp<TControl>("Hint", &TControl::Hint, &TControl::SetHint),
       BoolProp("ShowHint", &TControl::ShowHint, &TControl::SetShowHint),
       BoolProp("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint),
       RefProp("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu),
       IntProp("Cursor", &TControl::Cursor, &TControl::SetCursor), IntProp("Tag", &TControl::Tag, &TControl::SetTag)});
  // Text and Caption are one value; controls publish the name they show.
  RegisterProps<TWinControl>("TWinControl",
                             {BoolProp("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop),
                              IntProp("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder),
                              IntProp("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth)});
  RegisterProps<TCustomForm>(
      "TCustomForm",
      {StrProp<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
       EnumProp("BorderStyle", kBorderStyle, &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle),
       EnumProp("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, &TCustomForm::WindowState,
                &TCustomForm::SetWindowState),
       EnumProp("FormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, &TCustomForm::FormStyle,
                &TCustomForm::SetFormStyle),
       EnumProp("Position",
                {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                 "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                &TCustomForm::Position, &TCustomForm::SetPosition),
       SetProp("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}, &TCustomForm::BorderIcons,
               &TCustomForm::SetBorderIcons),
       BoolProp("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview),
       BoolProp("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled),
       BoolProp("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll),
       IntProp("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth),
       IntProp("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight),
       RefProp("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu),
       RefProp("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)});
  RegisterProps<TCustomLabel>(
      "TCustomLabel",
      {StrProp<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
       EnumProp("Alignment", kAlignment, &TCustomLabel::Alignment, &TCustomLabel::SetAlignment),
       EnumProp("Layout", {"tlTop", "tlCenter", "tlBottom"}, &TCustomLabel::Layout, &TCustomLabel::SetLayout),
       BoolProp("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap),
       BoolProp("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize),
       BoolProp("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent),
       RefProp("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)});
  RegisterProps<TButton>("TButton", {StrProp<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
                                     BoolProp("Default", &TButton::Default, &TButton::SetDefault),
                                     BoolProp("Cancel", &TButton::Cancel, &TButton::SetCancel),
                                     IntProp("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)});
  const std::vector<AnsiString> bevels = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  RegisterProps<TCustomPanel>(
      "TCustomPanel",
      {StrProp<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
       EnumProp("BevelOuter", bevels, &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter),
       EnumProp("BevelInner", bevels, &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner),
       IntProp("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth),
       EnumProp("BorderStyle", kBorderStyle, &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle),
       EnumProp("Alignment", kAlignment, &TCustomPanel::Alignment, &TCustomPanel::SetAlignment)});
  RegisterProps<TImage>("TImage", {BoolProp("Stretch", &TImage::Stretch, &TImage::SetStretch),
                                   BoolProp("Center", &TImage::Center, &TImage::SetCenter),
                                   BoolProp("Proportional", &TImage::Proportional, &TImage::SetProportional),
                                   BoolProp("Transparent", &TImage::Transparent, &TImage::SetTransparent),
                                   BoolProp("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)});
  RegisterProps<TCustomEdit>(
      "TCustomEdit",
      {StrProp<TControl>("Text", &TControl::Text, &TControl::SetText),
       IntProp("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength),
       BoolProp("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly),
       CharProp("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar),
       EnumProp("CharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, &TCustomEdit::CharCase,
                &TCustomEdit::SetCharCase),
       BoolProp("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect),
       EnumProp("BorderStyle", kBorderStyle, &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle)});
  RegisterProps<TCustomMemo>(
      "TCustomMemo",
      {ObjectProp("Lines", &TCustomMemo::Lines),
       EnumProp("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, &TCustomMemo::ScrollBars,
                &TCustomMemo::SetScrollBars),
       BoolProp("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns),
       BoolProp("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs),
       BoolProp("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap)});
  RegisterProps<TCustomListBox>(
      "TCustomListBox",
      {ObjectProp("Items", &TCustomListBox::Items),
       IntProp("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight),
       IntProp("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex),
       EnumProp("Style", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"}, &TCustomListBox::Style,
                &TCustomListBox::SetStyle),
       EnumProp("BorderStyle", kBorderStyle, &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle)});
  RegisterProps<TCheckListBox>("TCheckListBox",
                               {BoolProp("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed),
                                BoolProp("Flat", &TCheckListBox::Flat, &TCheckListBox::SetFlat)});
  RegisterProps<TToolBar>("TToolBar", {BoolProp("Flat", &TToolBar::Flat, &TToolBar::SetFlat),
                                       BoolProp("Transparent", &TToolBar::Transparent, &TToolBar::SetTransparent),
                                       BoolProp("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions),
                                       BoolProp("List", &TToolBar::List, &TToolBar::SetList),
                                       BoolProp("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable),
                                       BoolProp("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize),
                                       SetProp("EdgeBorders", {"ebLeft", "ebTop", "ebRight", "ebBottom"},
                                               &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders),
                                       IntProp("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight),
                                       IntProp("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth),
                                       RefProp("Images", &TToolBar::Images, &TToolBar::SetImages),
                                       RefProp("HotImages", &TToolBar::HotImages, &TToolBar::SetHotImages)});
  RegisterProps<TToolButton>(
      "TToolButton",
      {StrProp<TControl>("Caption", &TControl::Caption, &TControl::SetCaption),
       EnumProp("Style", {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}, &TToolButton::Style,
                &TToolButton::SetStyle),
       BoolProp("Down", &TToolButton::Down, &TToolButton::SetDown),
       BoolProp("Grouped", &TToolButton::Grouped, &TToolButton::SetGrouped),
       BoolProp("AutoSize", &TToolButton::AutoSize, &TToolButton::SetAutoSize),
       IntProp("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex),
       RefProp("MenuItem", &TToolButton::MenuItem, &TToolButton::SetMenuItem)});
  RegisterProps<TTimer>("TTimer", {BoolProp("Enabled", &TTimer::Enabled, &TTimer::SetEnabled),
                                   IntProp("Interval", &TTimer::Interval, &TTimer::SetInterval)});
  RegisterProps<TMenuItem>("TMenuItem", {StrProp<TMenuItem>("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption),
                                         BoolProp("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked),
                                         BoolProp("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled),
                                         BoolProp("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible),
                                         IntProp("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut),
                                         StrProp<TMenuItem>("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)});
  RegisterProps<TMenu>("TMenu", {BoolProp("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw)});
  RegisterProps<TPopupMenu>("TPopupMenu", {BoolProp("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)});

  RegisterClass<TForm>("TForm");
  RegisterClass<TLabel>("TLabel");
  RegisterClass<TButton>("TButton");
  RegisterClass<TPanel>("TPanel");
  RegisterClass<TImage>("TImage");
  RegisterClass<TEdit>("TEdit");
  RegisterClass<TMemo>("TMemo");
  RegisterClass<TListBox>("TListBox");
  RegisterClass<TCheckListBox>("TCheckListBox");
  RegisterClass<TTimer>("TTimer");
  RegisterClass<TToolBar>("TToolBar");
  RegisterClass<TToolButton>("TToolButton");
  RegisterClass<TMenuItem>("TMenuItem");
  RegisterClass<TMainMenu>("TMainMenu");
  RegisterClass<TPopupMenu>("TPopupMenu");
  RegisterClass<TApplicationEvents>("TApplicationEvents");
}
