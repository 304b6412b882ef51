// Writing texts into the registry, the automatic-start entries built on it
// and change notices for a registry key. The registry is the file-backed store
// (registry_file_store.h); a change notice is an inotify descriptor on the
// store's folder together with what the watched key looked like when the
// notice was armed, so changes elsewhere in the store are told apart.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"
#include "util/routines/registry_store.h"

// Opens key below root (creating it when missing) and writes value, as an
// expandable text when it holds "%". EUtlRegistryError "Unable to open the
// %s key" when the key cannot be created, and when the value cannot be written.
void UtlWriteRegistryText(TRegistryRoot root, const AnsiString& key, const AnsiString& name, const AnsiString& value);

enum TUtlAutoExecKind { aekMachineRun, aekMachineRunOnce, aekUserRun, aekUserRunOnce, aekServiceRun, aekServiceRunOnce };

void UtlAutoRunKey(TUtlAutoExecKind kind, TRegistryRoot& root, AnsiString& key);
// The value is named after the file's name and holds fileName; with it goes
// (and unregistering removes) the autostart entry a session starts the
// program from (UtlAutoStartFile). The service kinds do nothing on the NT line
// this system belongs to (false). Errors answer false, an entry that cannot be
// written too (the machine's folder needs the rights to write it).
bool UtlRegisterAutoRun(TUtlAutoExecKind kind, const AnsiString& fileName);
// True when the value is gone afterwards (also when it never existed); false
// when the key cannot be opened or the entry cannot be removed.
bool UtlUnregisterAutoRun(TUtlAutoExecKind kind, const AnsiString& fileName);
// The autostart entry of fileName: "<name>.desktop" below $XDG_CONFIG_HOME/autostart
// for the user's kinds, below the first of $XDG_CONFIG_DIRS (else /etc/xdg) for
// the machine's; a run-once entry is "<name>-once.desktop" and removes itself
// when it starts the program.
AnsiString UtlAutoStartFile(const AnsiString& fileName, TUtlAutoExecKind kind = aekUserRun);

// What a registry change notice watches: REG_NOTIFY_CHANGE_NAME (sub-keys
// added or removed) and REG_NOTIFY_CHANGE_LAST_SET (values) count here; the
// attribute and security kinds have nothing to watch in this store.
constexpr std::uint32_t REG_NOTIFY_CHANGE_NAME = 1;
constexpr std::uint32_t REG_NOTIFY_CHANGE_ATTRIBUTES = 2;
constexpr std::uint32_t REG_NOTIFY_CHANGE_LAST_SET = 4;
constexpr std::uint32_t REG_NOTIFY_CHANGE_SECURITY = 8;

struct TUtlRegChangeInfo {
  TRegistryRoot Root = rkCurrentUser;
  AnsiString Key;
  bool WatchSubTree = false;
  std::uint32_t Filter = 0;
  std::string Snapshot;  // the watched part of the key when last armed
};

// A descriptor that becomes readable when the store changes, or -1 (errno
// set). Info keeps the arguments and the key's present state.
int UtlCreateRegChangeEvent(TRegistryRoot root, const AnsiString& key, bool watchSubTree, std::uint32_t filter,
                            TUtlRegChangeInfo& info);
// Takes the pending notices off the descriptor; true when the watched part of
// the key differs from the armed state, which is then renewed.
bool UtlRearmRegChangeEvent(int event, TUtlRegChangeInfo& info);
// Closes a descriptor unless it is -1 or 0, and sets it to -1.
void UtlCloseHandleSafe(int& handle);
