// TsuiForm: the painted frame of a form. Dropped on a form, it takes the
// form over: it removes the native caption, hooks the form's messages to
// size and paint the frame bands around the client area (skin pictures or a
// built-in style's flat colours), clips the window to its region, keeps a
// maximized form inside the work area, holds a TsuiTitleBar at its top and
// opens the system menu on Alt+Space. A second TsuiForm on the same form
// stays a plain panel.
#pragma once

#include <memory>

#include "platform/gui/application.h"
#include "platform/gui/std_controls.h"
#include "skin/frame_bands.h"
#include "skin/skin_menu_bar.h"
#include "skin/title_bar.h"

class TBitmap;
class TMainMenu;
class TsuiMenuBar;

// Any window may ask a skinned frame how wide its border is.
inline constexpr UINT kSkinBorderQuery = 9923;

class TsuiForm : public TCustomPanel {
public:
  explicit TsuiForm(TComponent* owner);
  ~TsuiForm() override;
  void BeforeDestruction() override;

  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  bool UIStyleAutoUpdateSub() const { return autoUpdateSub_; }
  void SetUIStyleAutoUpdateSub(bool value) { autoUpdateSub_ = value; }
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  bool TitleBarVisible() const { return titleBar_ && titleBar_->Visible(); }
  void SetTitleBarVisible(bool value);
  AnsiString Caption() const { return titleBar_ ? titleBar_->Caption() : AnsiString(); }
  void SetCaption(const AnsiString& value);
  TCustomPanel* FormPanel() const { return formPanel_; }
  void SetFormPanel(TCustomPanel* value);
  int RoundCorner() const { return TitleBarVisible() ? titleBar_->RoundCorner() : 0; }
  void SetRoundCorner(int value);
  int RoundCornerBottom() const { return TitleBarVisible() ? titleBar_->RoundCornerBottom() : 0; }
  void SetRoundCornerBottom(int value);
  AnsiString Version() const { return "6.6"; }
  // Forwarded to the title bar; without one they read neutral values.
  bool TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }
  void SetTitleBarCustom(bool value) {
    if (titleBar_) titleBar_->SetCustom(value);
  }
  bool TitleBarDrawAppIcon() const { return !titleBar_ || titleBar_->DrawAppIcon(); }
  void SetTitleBarDrawAppIcon(bool value) {
    if (titleBar_) titleBar_->SetDrawAppIcon(value);
  }
  TColor InactiveCaptionColor() const { return titleBar_ ? titleBar_->InactiveCaptionColor() : clInactiveCaption; }
  void SetInactiveCaptionColor(TColor value) {
    if (titleBar_) titleBar_->SetInactiveCaptionColor(value);
  }
  void SetOnTitleBarCustomBtnsClick(TsuiTitleBarButtonClickEvent event) {
    if (titleBar_) titleBar_->OnCustomBtnsClick = std::move(event);
  }
  void SetOnTitleBarHelpBtnClick(TsuiTitleBarButtonClickEvent event) {
    if (titleBar_) titleBar_->OnHelpBtnClick = std::move(event);
  }
  void SetOnTitleBarMinBtnClick(TsuiTitleBarButtonClickEvent2 event) {
    if (titleBar_) titleBar_->OnMinClick = std::move(event);
  }
  void SetOnTitleBarMaxBtnClick(TsuiTitleBarButtonClickEvent2 event) {
    if (titleBar_) titleBar_->OnMaxClick = std::move(event);
  }
  TsuiTitleBar* TitleBar() const { return titleBar_; }
  // The main menu, shown in a TsuiMenuBar under the title bar.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value);
  TsuiMenuBar* MenuBar() const { return menuBar_; }
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor value);
  TColor MenuBarToColor() const { return menuBarToColor_; }
  void SetMenuBarToColor(TColor value);
  // The bar's actual height while it is shown, else 0.
  int MenuBarHeight() const;
  void SetMenuBarHeight(int value);
  void CreateMenuBar();
  void DestroyMenuBar();
  void RebuildMenuBar();
  // Captions and enabled states from the items (after any change of them).
  void RefreshMenuBarButtons();
  void UpdateMenuBarFont();
  // 1 when the key ran a menu item's shortcut (only while the form is active).
  int HandleMenuShortCut(WORD key, LPARAM keyData);
  // Null for a frame that took nothing over (a second one, or not on a form).
  TCustomForm* Form() const { return form_; }

  void PaintFrame();
  void UpdateRegion();
  void RemoveCaptionStyle();
  int GetTitleBarBandHeight() const;
  // The border query's answer.
  int BorderQueryAnswer() const;
  // The frame's part of every message the application takes from its queue.
  void AppMessage(MSG& msg, bool& handled);

protected:
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Resize() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void FormWindowProc(TMessage& message);
  void OnSize();
  void CreatedMaximizedSized(bool mdiChild, bool maximized);
  void MDIChildSized(bool maximized);
  void MDIChildGoing();
  void PaintBuiltInFrame(TCanvas* canvas, int w, int h);
  TsuiMenuBarLook MenuBarLook() const;
  void Detach();

  TsuiTitleBar* titleBar_ = nullptr;
  TsuiMenuBar* menuBar_ = nullptr;
  TMainMenu* menu_ = nullptr;
  TColor menuBarColor_ = clBtnFace, menuBarToColor_ = clBtnFace;
  int menuBarHeight_ = 22;
  TWndMethod savedWindowProc_;
  TFrameBands bands_;
  TBorderStyle initialBorderStyle_ = bsSizeable;
  TCustomForm* form_ = nullptr;
  TColor borderColor_ = 0;
  TCustomPanel* formPanel_ = nullptr;
  int borderWidth_ = 1;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  bool autoUpdateSub_ = false;
  bool frameDestroying_ = false;
  std::unique_ptr<TApplicationEvents> appEvents_;
  TRect normalBounds_;
  bool restorePending_ = false;
  bool userTitleBarVisible_ = true;
  bool mdiMaxApplied_ = false;
  bool mdiRestoredOnce_ = false;
  bool mdiCreatedMaximized_ = false;
};
