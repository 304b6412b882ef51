// Client libraries are bound at run time by file name, not linked: the loader
// tries candidate names in order, keeps the first that loads and finds entry
// points by name. Each client binding derives its own loader and plain driver.
#pragma once

#include <vector>

#include "platform/rtl/dynlib.h"
#include "sql/core/abstract_object.h"

// A plain object: each binding makes one at start-up and frees it at shutdown.
class TZNativeLibraryLoader : public TObject {
public:
  explicit TZNativeLibraryLoader(std::vector<AnsiString> libraryNames) : libraries_(std::move(libraryNames)) {}
  ~TZNativeLibraryLoader() override;
  TZNativeLibraryLoader(const TZNativeLibraryLoader&) = delete;
  TZNativeLibraryLoader& operator=(const TZNativeLibraryLoader&) = delete;

  // Loads the first name the system can load; true. When none loads, raises
  // the platform's Exception "None of the dynamic libraries can be found: "
  // with the tried names joined by ", ", and stays unloaded.
  virtual bool LoadNativeLibrary();
  virtual void FreeNativeLibrary();
  // A binding overrides Load: the base first, then one GetAddress per entry.
  virtual bool Load();
  // Load unless loaded: a library is loaded once however often this is called.
  virtual void LoadIfNeeded();
  // Null when the library lacks the name or nothing is loaded.
  void* GetAddress(const char* procName) const;

  bool Loaded() const { return loaded_; }
  const std::vector<AnsiString>& Libraries() const { return libraries_; }
  // Tests and the bindings' overrides replace the candidate names.
  void SetLibraries(std::vector<AnsiString> libraryNames) { libraries_ = std::move(libraryNames); }

protected:
  // Lets go of the library without unloading it: it stays in the process
  // until the end, for a binding whose library must not be unloaded yet.
  void ForgetNativeLibrary() {
    handle_ = nullptr;
    loaded_ = false;
  }

private:
  std::vector<AnsiString> libraries_;
  HMODULE handle_ = nullptr;
  bool loaded_ = false;
};

// A binding lists its entry points once, as an X-macro of names; these make
// its enum of table places and its table of exported names from that list.
#define VX_ENTRY_ENUM(name) name,
#define VX_ENTRY_NAME(name) #name,

// A binding's loader with its table of entry points: every Load looks each
// name up once, null for a name the library does not export (not an error at
// load time) or that the binding leaves out; freeing the library empties the
// table, so nothing can call into a library that is gone.
class TZEntryTableLoader : public TZNativeLibraryLoader {
public:
  TZEntryTableLoader(std::vector<AnsiString> libraryNames, std::vector<const char*> entryNames);

  bool Load() override;
  void FreeNativeLibrary() override;

  // Null when the library lacks the entry point.
  void* EntryAt(int index) const { return entries_[index]; }
  const std::vector<void*>& Entries() const { return entries_; }
  const char* EntryName(int index) const { return entryNames_[index]; }
  int EntryCount() const { return static_cast<int>(entryNames_.size()); }
  // The entry point; EZSQLException "Unsupported operation" when it is missing.
  void* RequiredEntry(int index) const;
  // The entry point; EZSQLException naming the missing function otherwise.
  void* NamedEntry(int index) const;

protected:
  // Whether Load looks the entry up at all: a generation that never has a
  // name leaves its place null.
  virtual bool Binds(int /*index*/) const { return true; }

private:
  std::vector<const char*> entryNames_;
  std::vector<void*> entries_;
};

// What a driver sees of one client binding.
class IZPlainDriver : public virtual IZInterface {
public:
  // The protocol as written in URLs, e.g. "mysql-4.1"; also the log's name.
  virtual AnsiString GetProtocol() = 0;
  virtual AnsiString GetDescription() = 0;
  // Loads the client library once; called before every connect.
  virtual void Initialize() = 0;
};
