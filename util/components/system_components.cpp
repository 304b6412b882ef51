// Automatic start, shutdown, the Start button stand-in and the colour picker.
#include "util/components/system_components.h"

#include <cstdlib>

#include "platform/gui/application.h"
#include "platform/rtl/files.h"
#include "util/components/app_window_routines.h"
#include "util/routines/system_commands.h"

// --- TUtlAutoRun -----------------------------------------------------------------------------

TUtlAutoRun::TUtlAutoRun(TComponent* owner) : TUtlComponent(owner) {
  if (!InState(csDesigning)) fileName_ = Application->ExeName();
}

template <class T>
void TUtlAutoRun::Change(T& field, const T& value) {
  if (field == value) return;
  UnregisterAutoRun();  // the entry of the old settings goes
  field = value;
  RegisterAutoRun();
}

void TUtlAutoRun::SetAutoRun(bool value) { Change(autoRun_, value); }
void TUtlAutoRun::SetFileName(const AnsiString& value) { Change(fileName_, value); }
void TUtlAutoRun::SetKind(TUtlAutoExecKind value) { Change(kind_, value); }

bool TUtlAutoRun::RegisterAutoRun() {
  if (InState(csDesigning) || InState(csLoading)) return true;
  UnregisterAutoRun();
  return autoRun_ ? UtlRegisterAutoRun(kind_, fileName_) : !FileExists(UtlAutoStartFile(fileName_, kind_));
}

bool TUtlAutoRun::UnregisterAutoRun() {
  if (InState(csDesigning) || InState(csLoading) || fileName_.empty()) return true;
  return UtlUnregisterAutoRun(kind_, fileName_);
}

void TUtlAutoRun::Loaded() {
  TUtlComponent::Loaded();
  // A stored AutoRun False removes an entry left from before.
  RegisterAutoRun();
}

// --- TUtlShutdown ----------------------------------------------------------------------------

void TUtlShutdown::QueryShutdown(bool& canShutdown) {
  if (OnQueryShutdown) OnQueryShutdown(this, canShutdown);
}

std::vector<AnsiString> TUtlShutdown::Command() const {
  if (actionType_ == aatLogOff) {
    // This login session, or (outside one) every session of the user.
    const char* session = std::getenv("XDG_SESSION_ID");
    if (session && *session) return {"loginctl", "terminate-session", session};
    const char* user = std::getenv("USER");
    return {"loginctl", "terminate-user", user ? user : ""};
  }
  static const char* const kVerb[] = {"poweroff", "halt", "reboot", "", "suspend", "hibernate"};
  std::vector<AnsiString> command{"systemctl", kVerb[actionType_]};
  if (force_) command.push_back("--ignore-inhibitors");
  return command;
}

bool TUtlShutdown::Execute() {
  bool canShutdown = true;
  QueryShutdown(canShutdown);
  if (!canShutdown) return false;
  return UtlRunSystemCommand(Command()) == 0;
}

// --- TUtlColorPicker -------------------------------------------------------------------------

TUtlColorPicker::TUtlColorPicker(TComponent* owner) : TUtlCustomTimer(owner) { SetInterval(100); }

TColor TUtlColorPicker::GetColor() const { return UtlColorUnderCursor(); }

void TUtlColorPicker::SetCursorIndex(int index) {
  if (index == cursorIndex_) return;
  cursorIndex_ = index;
  UpdateCursor();
}

void TUtlColorPicker::DoTimer() {
  TUtlCustomTimer::DoTimer();
  UpdateCursor();
}

// A chosen system cursor is shown while picking; 0 leaves the cursor alone.
void TUtlColorPicker::UpdateCursor() {
  if (cursorIndex_ != 0) SetCursor(LoadCursorA(0, CursorName(cursorIndex_)));
}
