// Single instance: a component that ends a second copy of the program. The
// first copy holds a lock file for the program's title (or its file name)
// until it ends; a copy that finds it held says so (a message box, or
// OnShowMessage), brings the first copy's window back and terminates. The
// lock files live in $XDG_RUNTIME_DIR (else /tmp).
#pragma once

#include <functional>

#include "util/components/desktop_component.h"

using TUtlOneInstanceShowMessage = std::function<void(TObject* sender, bool& terminate)>;

class TUtlOneInstance : public TUtlComponent {
public:
  explicit TUtlOneInstance(TComponent* owner) : TUtlComponent(owner) {}

  bool ActivatePrevInstance() const { return activatePrevInstance_; }
  void SetActivatePrevInstance(bool value) { activatePrevInstance_ = value; }
  bool ExeNameAsIdentifier() const { return exeNameAsIdentifier_; }
  void SetExeNameAsIdentifier(bool value) { exeNameAsIdentifier_ = value; }
  const AnsiString& Message() const { return message_; }
  void SetMessage(const AnsiString& value) { message_ = value; }
  const AnsiString& Identifier() const { return identifier_; }
  void SetIdentifier(const AnsiString& value) { identifier_ = value; }
  bool ShowMessage() const { return showMessage_; }
  void SetShowMessage(bool value) { showMessage_ = value; }

  TUtlOneInstanceShowMessage OnShowMessage;

  // True when another copy holds the lock (or the lock cannot be taken);
  // the first copy keeps it until the program ends.
  virtual bool IsAnotherInstanceRunning();
  // True when this copy is the second: it has said so and asked to end.
  virtual bool CheckInstance();
  // The name the lock files start with.
  AnsiString LockBase() const;

protected:
  void Loaded() override;
  virtual void ActivatePrevious();
  virtual void ShowAlreadyRunning();

private:
  bool activatePrevInstance_ = true;
  bool exeNameAsIdentifier_ = false;
  AnsiString message_;
  AnsiString identifier_;
  bool showMessage_ = false;
  bool terminate_ = false;
};

// The folder of the lock files, with its trailing "/": $XDG_RUNTIME_DIR, else
// "vorbex05-<uid>" in $TMPDIR (else /tmp) when it is this user's alone, else
// vorbex05/ in the user's cache folder.
AnsiString OneInstanceLockFolder();
