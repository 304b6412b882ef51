// Small components over one system facility each: automatic start at login
// (the Run entries of the registry store with the autostart entry a session
// reads), shutting down or logging off (systemctl, loginctl), the
// taskbar's Start button (there is none here: every read gives 0) and the
// colour picker (a timer whose owner reads the colour under the pointer).
#pragma once

#include <functional>

#include "util/components/desktop_component.h"
#include "util/routines/registry_writing.h"

class TUtlAutoRun : public TUtlComponent {
public:
  // The file is the program's own at run time.
  explicit TUtlAutoRun(TComponent* owner);

  bool AutoRun() const { return autoRun_; }
  void SetAutoRun(bool value);
  const AnsiString& FileName() const { return fileName_; }
  void SetFileName(const AnsiString& value);
  TUtlAutoExecKind Kind() const { return kind_; }
  void SetKind(TUtlAutoExecKind value);

  // Removes the entry, then writes it again when AutoRun. False when an entry
  // that should be there is not (nothing to do at design time or while
  // loading counts as done).
  virtual bool RegisterAutoRun();
  virtual bool UnregisterAutoRun();

protected:
  void Loaded() override;

private:
  template <class T>
  void Change(T& field, const T& value);

  bool autoRun_ = false;
  AnsiString fileName_;
  TUtlAutoExecKind kind_ = aekMachineRun;
};

enum TUtlShutdownActionType { aatPowerOff, aatShutdown, aatReboot, aatLogOff, aatSuspend, aatHibernate };
using TUtlQueryShutdownEvent = std::function<void(TObject* sender, bool& canShutdown)>;

class TUtlShutdown : public TUtlComponent {
public:
  using TUtlComponent::TUtlComponent;

  TUtlShutdownActionType ActionType() const { return actionType_; }
  void SetActionType(TUtlShutdownActionType value) { actionType_ = value; }
  // Ignore what holds the shutdown back (other sessions, inhibitors).
  bool Force() const { return force_; }
  void SetForce(bool value) { force_ = value; }

  TUtlQueryShutdownEvent OnQueryShutdown;

  virtual void QueryShutdown(bool& canShutdown);
  // True when the system tool accepted the request; nothing is raised.
  virtual bool Execute();
  // The command line for the action.
  std::vector<AnsiString> Command() const;

private:
  TUtlShutdownActionType actionType_ = aatPowerOff;
  bool force_ = false;
};

class TUtlStartButtonProperties : public TUtlComponent {
public:
  using TUtlComponent::TUtlComponent;
  // No taskbar Start button exists here: the placement reads 0 and writes change nothing.
  int ButtonLeft() const { return 0; }
  int ButtonTop() const { return 0; }
  int ButtonWidth() const { return 0; }
  int ButtonHeight() const { return 0; }
  void SetButtonLeft(int) {}
  void SetButtonTop(int) {}
  void SetButtonWidth(int) {}
  void SetButtonHeight(int) {}
  bool Enabled() const { return false; }
  void SetEnabled(bool) {}
  bool Visible() const { return false; }
  void SetVisible(bool) {}
};

class TUtlColorPicker : public TUtlCustomTimer {
public:
  explicit TUtlColorPicker(TComponent* owner);
  // The colour under the mouse pointer.
  virtual TColor GetColor() const;
  int CursorIndex() const { return cursorIndex_; }
  virtual void SetCursorIndex(int index);

protected:
  void DoTimer() override;
  virtual void UpdateCursor();

private:
  int cursorIndex_ = 0;
};
