// TsuiMDIForm: the painted frame of an MDI parent form. Dropped on an
// fsMDIForm form, it does what TsuiForm does for an ordinary form (takes the
// caption away, sizes and paints the frame bands, clips the window, holds a
// title bar) and adds what an MDI parent needs: a menu panel under the title
// bar whose bar shows the active child's menu (or the parent's own), three
// small buttons there to minimize, restore and close a maximized child, the
// open children listed in the form's window menu, and its own cascade and
// tile arrangements. It hooks the form and its MDI client window, and gives
// both their own window procedures back when it goes.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/std_controls.h"
#include "skin/frame_bands.h"
#include "skin/skin_menu_bar.h"

class TMainMenu;
class TMenuItem;
class TsuiTitleBar;
class TsuiToolBarSpeedButton;

// Tags of the child buttons on the menu panel.
enum : int { kMDICloseTag = -1381, kMDIRestoreTag = -1382, kMDIMinimizeTag = -1383 };

class TsuiMDIForm : public TComponent {
public:
  explicit TsuiMDIForm(TComponent* owner);
  ~TsuiMDIForm() override;
  void BeforeDestruction() override;

  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* value);
  TColor MenuBarColor() const { return menuBarColor_; }
  void SetMenuBarColor(TColor value);
  TColor MenuBarToColor() const { return menuBarToColor_; }
  void SetMenuBarToColor(TColor value);
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  AnsiString Caption() const;
  void SetCaption(const AnsiString& value);
  bool TitleBarVisible() const;
  void SetTitleBarVisible(bool value);
  bool TitleBarDrawChildCaptions() const { return drawChildCaptions_; }
  void SetTitleBarDrawChildCaptions(bool value) { drawChildCaptions_ = value; }
  bool TitleBarDrawChildMenus() const { return drawChildMenus_; }
  void SetTitleBarDrawChildMenus(bool value) { drawChildMenus_ = value; }
  int RoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int value);
  int RoundCornerBottom() const { return roundCornerBottom_; }
  void SetRoundCornerBottom(int value);
  TColor InactiveCaptionColor() const;
  void SetInactiveCaptionColor(TColor value);
  // Forwarded to the title bar; without one they read neutral values.
  bool TitleBarCustom() const;
  void SetTitleBarCustom(bool value);
  bool TitleBarDrawAppIcon() const;
  void SetTitleBarDrawAppIcon(bool value);

  TCustomForm* Form() const { return form_; }
  TsuiTitleBar* TitleBar() const { return titleBar_; }
  TPanel* MenuPanel() const { return menuPanel_; }
  TsuiMenuBar* MenuBar() const { return menuBar_; }
  // The menu the bar shows now (the active child's or this frame's).
  TMenu* ShownMenu() const { return shownMenu_; }
  // kMDICloseTag, kMDIRestoreTag or kMDIMinimizeTag; null for other values.
  TsuiToolBarSpeedButton* ChildButton(int tag) const;
  int BorderWidth() const { return borderWidth_; }

  void PaintFrame();
  void UpdateRegion();
  void RebuildMenuBar();
  void Cascade();
  void Tile();
  void RebuildWindowList();
  int GetTopBandHeight() const;
  // 1 when the key ran a shortcut of the menu on the bar.
  int HandleMenuShortCut(WORD key, LPARAM keyData);
  void AppMessage(MSG& msg, bool& handled);

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  static LRESULT ClientHook(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void FormWindowProc(TMessage& message);
  LRESULT ClientWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void CreateMenuBar();
  void DestroyMenuBar();
  TMenu* GetEffectiveMenu() const;
  void ShowChildButtons();
  void HideChildButtons();
  void ChildButtonClick(TObject* sender);
  void FreeWindowList();
  void RereadCaption() { SetCaption(form_->Caption()); }
  void OnSize();
  void PaintBuiltInFrame(TCanvas* canvas, int w, int h);
  void Detach();

  TCustomForm* form_ = nullptr;
  TWndMethod savedWindowProc_;
  HWND client_ = 0;
  TPanel* menuPanel_ = nullptr;
  TsuiTitleBar* titleBar_ = nullptr;
  TsuiMenuBar* menuBar_ = nullptr;
  TsuiToolBarSpeedButton* childClose_ = nullptr;
  TsuiToolBarSpeedButton* childRestore_ = nullptr;
  TsuiToolBarSpeedButton* childMinimize_ = nullptr;
  bool drawChildCaptions_ = true, drawChildMenus_ = true;
  bool frameDestroying_ = false;
  TFrameBands bands_;
  TMainMenu* menu_ = nullptr;
  TMenu* shownMenu_ = nullptr;
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  TColor menuBarColor_ = clBtnFace, menuBarToColor_ = clBtnFace, borderColor_ = 0;
  int borderWidth_ = 1;
  int roundCorner_ = 0, roundCornerBottom_ = 0;
  std::unique_ptr<TApplicationEvents> appEvents_;
  std::vector<TMenuItem*> windowListItems_;
  TMenuItem* listedIn_ = nullptr;  // the window menu the list items were added to
  TColor childButtonColor_ = clBtnFace, childButtonToColor_ = clBtnFace;
};
