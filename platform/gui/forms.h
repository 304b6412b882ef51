// Forms: TCustomForm and TForm, the top-level windows that hold controls,
// with their frame style, window state, active control, keyboard preview,
// dialog keys (Tab moves the focus, Enter and Esc go to the default and
// cancel buttons), closing and the modal loop of ShowModal.
#pragma once

#include <utility>
#include <vector>

#include "platform/gui/controls.h"

class TForm;
class TMainMenu;
class TMenuItem;

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum TTileMode { tbHorizontal, tbVertical };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TModalResult = int;
enum : TModalResult {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7, mrAll = 8,
  mrNoToAll = 9, mrYesToAll = 10
};

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

VX_DECLARE_EXCEPTION(EInvalidOperationForm, EInvalidOperation)

class TCustomForm : public TCustomControl {
public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  // Fires OnCreate, then shows a form that was made visible while it was
  // being built; TApplication::CreateForm calls it once the form is built.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return formStyle_; }
  // An existing window is made again as the style needs (an MDI child lives
  // in the main form's client window).
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  bool Active() const { return active_; }
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool value) { keyPreview_ = value; }
  bool Scaled() const { return scaled_; }
  void SetScaled(bool value) { scaled_ = value; }
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value) { autoScroll_ = value; }
  int PixelsPerInch() const { return 96; }
  // A main menu shows as a menu bar under the caption.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  // The menu's items changed: the bar is laid out and painted anew.
  void MenuBarChanged();
  // MDI (mdi_client.cpp): an fsMDIForm's client window, below its aligned
  // controls, holds the fsMDIChild forms; 0 for other forms.
  HWND ClientHandle() const { return clientHandle_; }
  TForm* ActiveMDIChild() const;
  int MDIChildCount() const;
  // Children in the client window's Z-order: the active child first.
  TForm* MDIChildren(int index) const;
  // The menu item under which the open children are listed.
  TMenuItem* WindowMenu() const { return windowMenu_; }
  void SetWindowMenu(TMenuItem* item);
  TTileMode TileMode() const { return tileMode_; }
  void SetTileMode(TTileMode mode) { tileMode_ = mode; }
  void Cascade();
  void Tile();
  void Next();

  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // Called when a control of the form receives the focus.
  void SetFocusedControl(TWinControl* control);
  void FocusControl(TWinControl* control) { SetActiveControl(control); }

  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  bool Modal() const { return modal_; }
  // Shows the form, keeps the other forms disabled and pumps messages until
  // ModalResult becomes non-zero (closing the form sets mrCancel).
  TModalResult ShowModal();
  void Close();
  virtual bool CloseQuery();
  // Ends any mouse mode (a capture held by one of the form's controls).
  void SendCancelMode(TControl* sender);
  // Frees the form once the messages now queued have been handled.
  void Release();
  // The client area needs the frame, so asking for it creates the window
  // (except while the form is being built).
  TRect ClientRect() const override;
  void SetClientWidth(int value) override;
  void SetClientHeight(int value) override;
  bool Showing() const override { return Visible() && HandleAllocated() && IsWindowVisible(const_cast<TCustomForm*>(this)->Handle()); }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  void CreateHandleDone() override;
  void DestroyWnd() override;
  void ControlsAligned(const TRect& rest) override;
  virtual void DoShow();
  virtual void DoHide();
  // Form shortcut keys: the main menu's accelerators.
  virtual bool IsShortCut(WORD key, TShiftState shift);

private:
  friend class TWinControl;
  bool DialogKey(WORD key, TShiftState shift);
  // The menu bar (form_menu_bar.cpp).
  bool HasMenuBar() const;
  std::vector<std::pair<TMenuItem*, TRect>> MenuBarEntries();
  void PaintMenuBar();
  void OpenMenuBarEntry(TMenuItem* item, const TRect& entry);
  bool MenuBarMessage(TMessage& message);
  bool MenuBarHotkey(char key);
  // MDI (mdi_client.cpp): the main form's client window for a child (raises
  // EInvalidOperation when the main form is no MDI form), and a child's own
  // messages; true when handled.
  static HWND MDIParentClient();
  bool MDIChildMessage(TMessage& message);
  void MDIChildCreateParams(TCreateParams& params);
  void MDIChildMinMax(MINMAXINFO& info);
  // Sends the message to every control of the form, depth first; with
  // untilAnswered only to visible, enabled ones, stopping at the first that
  // answers non-zero (true then).
  bool NotifyControls(UINT msg, WPARAM wparam, LPARAM lparam, bool untilAnswered);
  void Activated(bool active);
  void PlaceOnShow();
  void CloseModal();

  TBorderStyle borderStyle_ = bsSizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TWindowState windowState_ = wsNormal;
  TFormStyle formStyle_ = fsNormal;
  TPosition position_ = poDesigned;
  bool active_ = false;
  bool keyPreview_ = false;
  bool scaled_ = true;
  bool autoScroll_ = false;
  bool modal_ = false;
  bool shownOnce_ = false;
  bool showWhenCreated_ = false;
  TMainMenu* menu_ = nullptr;
  HWND clientHandle_ = 0;
  TMenuItem* windowMenu_ = nullptr;
  TTileMode tileMode_ = tbHorizontal;
  TWinControl* activeControl_ = nullptr;
  TModalResult modalResult_ = mrNone;
  int loadedClientWidth_ = -1, loadedClientHeight_ = -1;  // applied once the form is read
};

class TForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
};
