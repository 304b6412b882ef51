// The registry kept in files: one text file per root key under
// $XDG_CONFIG_HOME/vorbex05/registry (else ~/.config/...), named after the
// root ("HKEY_CURRENT_USER.reg"). Every call reads the file afresh, so what
// another process wrote is seen at once; a change rewrites the file under a
// lock and replaces it by renaming, so a reader never sees half a file. A
// line not in this format (a damaged header, a stray byte) is skipped when
// reading and written back as it was, so no change loses it.
//
// The file is UTF-8: a first line "vorbex05 registry 1" (a byte-order mark
// before it is allowed), then for each key a
// line "[path]" followed by its values as "\"name\"=type:hex bytes".
#pragma once

#include <vector>

#include "util/routines/registry_store.h"

class TFileRegistryStore : public TRegistryStore {
public:
  bool KeyExists(TRegistryRoot root, const WideString& key) const override;
  bool QueryValue(TRegistryRoot root, const WideString& key, const WideString& name,
                  TRegistryValue& value) const override;

  // Each false when the store file cannot be written; missing parent keys are
  // created with the key. Raise EUtlRegistryLocked when another process holds
  // the root's lock for longer than LockTimeoutMs.
  bool CreateKey(TRegistryRoot root, const WideString& key);
  // False too when the key does not exist.
  bool SetValue(TRegistryRoot root, const WideString& key, const WideString& name, const TRegistryValue& value);
  // Creates the key when missing and sets the value, as one change.
  bool WriteValue(TRegistryRoot root, const WideString& key, const WideString& name, const TRegistryValue& value);
  // False when the value (or key) does not exist.
  bool DeleteValue(TRegistryRoot root, const WideString& key, const WideString& name);
  // Removes the key with everything below it; false when it does not exist.
  bool DeleteKey(TRegistryRoot root, const WideString& key);
  // Names as written, in case-insensitive order; empty for a missing key.
  std::vector<WideString> SubKeyNames(TRegistryRoot root, const WideString& key) const;
  std::vector<WideString> ValueNames(TRegistryRoot root, const WideString& key) const;

  // The folder of the store files, with its trailing "/", and one root's file.
  static AnsiString Folder();
  static AnsiString FileOf(TRegistryRoot root);
  // The file writers of a root lock while they read, change and replace it.
  static AnsiString LockFileOf(TRegistryRoot root);
  // How long a writer waits for another's lock before it gives up.
  static inline int LockTimeoutMs = 10000;
};

// A lock on one root's lock file while it lives. A writer holds it exclusive
// while it reads, changes and replaces the file. A reader holds it shared, so
// that several calls read one state of the file rather than a mix of the states
// before and after another process's change; it opens the file for reading
// only, so its closing tells no watcher of the folder that something was written.
// A writer waits at most TFileRegistryStore::LockTimeoutMs for the lock, then
// raises EUtlRegistryLocked naming the file.
class TRegistryLock {
public:
  TRegistryLock(TRegistryRoot root, bool exclusive);
  ~TRegistryLock();
  TRegistryLock(const TRegistryLock&) = delete;
  TRegistryLock& operator=(const TRegistryLock&) = delete;

  bool Held() const { return lock_ >= 0; }

private:
  int lock_ = -1;
};


// $XDG_CONFIG_HOME, else ~/.config, with its trailing "/".
AnsiString XdgConfigHome();
// Writes bytes to a file beside it and renames that over the file, so a
// reader sees the old content or the new, never a part. False on any failure.
bool ReplaceFileContent(const AnsiString& fileName, const std::string& bytes);

// The process's file store: the registry readers' default store and the one
// the registry writers change.
TFileRegistryStore& FileRegistryStore();
