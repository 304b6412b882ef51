// The application object (message loop, main form, modal loops, hints,
// exceptions), the application-events component that lets several parts of a
// program listen to it, the screen object and the hint window.
#pragma once

#include "platform/gui/forms.h"

class THintWindow;
class TApplicationEvents;
class TIcon;

using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
using TExceptionEvent = std::function<void(TObject* sender, const Exception& e)>;

// The events of the application, which TApplicationEvents offers too.
struct TApplicationEventHandlers {
  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnHint;
};

class TApplication : public TComponent, public TApplicationEventHandlers {
public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // The hidden window that stands for the application (hint timers go to it).
  HWND Handle();
  void Initialize() {}
  // Builds a form owned by the application; the first one becomes the main form.
  template <class F>
  void CreateForm(F*& reference) {
    reference = new F(this);
    if (!mainForm_) mainForm_ = reference;
    reference->AfterConstruction();
  }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* form) { mainForm_ = form; }
  // Shows the main form and handles messages until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles one message, waiting for it when none is there.
  void HandleMessage();
  // Handles what is queued now, without waiting.
  void ProcessMessages();
  const AnsiString& Title() const { return title_; }
  // Also the application window's text, by which other instances find it.
  void SetTitle(const AnsiString& title);
  AnsiString ExeName() const;
  // The program's icon: the resource "MAINICON" when the program has one.
  TIcon* Icon();
  bool Active() const;
  // Minimizes the main form (also when the user does) and fires OnMinimize;
  // Restore brings it back and fires OnRestore.
  void Minimize();
  void Restore();
  void BringToFront();
  // A message box owned by the active form (see dialogs.h for the flags).
  int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags);
  // Reports an exception through OnException, or in a message box.
  void HandleException(TObject* sender, const Exception& e);

  // --- hints
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor color) { hintColor_ = color; }
  // The current hint text (empty when none is shown).
  const AnsiString& Hint() const { return hint_; }
  THintWindow* HintWindow() const { return hintWindow_; }
  void CancelHint();

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TApplicationEvents;
  static LRESULT AppWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void ProcessMessage(MSG& msg);
  // Runs the idle handlers; false when one of them is not done.
  bool Idle();
  void EachListener(const std::function<void(TApplicationEvents*)>& tell);
  // The control under the pointer changed: mouse enter and leave, hint timer.
  void TrackMouse(const MSG& msg);
  void ShowHintNow();
  void HintTimer(UINT_PTR id);
  // Runs one notify event of the application, then of every listener.
  void Fire(TNotifyEvent TApplicationEventHandlers::*event);
  // Called by forms on their activation changes.
  void FormActivated(bool active);
  friend class TCustomForm;

  HWND handle_ = 0;
  TIcon* icon_ = nullptr;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool active_ = false;
  AnsiString title_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  TColor hintColor_ = clInfoBk;
  AnsiString hint_;
  THintWindow* hintWindow_ = nullptr;
  TControl* mouseControl_ = nullptr;
  std::vector<TApplicationEvents*> listeners_;
};

// Forwards the application's events to its own handlers; any number may exist.
class TApplicationEvents : public TComponent, public TApplicationEventHandlers {
public:
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;
};

class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* owner) : TComponent(owner) {}
  int FormCount() const { return int(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(size_t(index)); }
  // Data modules are not built here; the count is there for finders.
  int DataModuleCount() const { return 0; }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;
  int Width() const;
  int Height() const;
  TRect WorkAreaRect() const;
  int PixelsPerInch() const { return 96; }
  TCursor Cursor() const { return cursor_; }
  // crHourGlass and friends show at once over every window.
  void SetCursor(TCursor cursor);
  HCURSOR Cursors(TCursor cursor) const;

private:
  friend class TCustomForm;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
  TCursor cursor_ = crDefault;
};

// A small top-most window with the hint text, shown without taking activation.
class THintWindow : public TCustomControl {
public:
  explicit THintWindow(TComponent* owner);
  // The size the text needs, at most maxWidth wide.
  TRect CalcHintRect(int maxWidth, const AnsiString& hint);
  // Shows the text at rect (screen coordinates).
  void ActivateHint(TRect rect, const AnsiString& hint);
  void ReleaseHandle();

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
};

extern TApplication* Application;
extern TScreen* Screen;
