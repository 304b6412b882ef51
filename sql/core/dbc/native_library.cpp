// The native library loader (see native_library.h).

#include "sql/core/dbc/native_library.h"

#include "platform/rtl/format.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

TZNativeLibraryLoader::~TZNativeLibraryLoader() {
  if (loaded_) FreeNativeLibrary();
}

bool TZNativeLibraryLoader::LoadNativeLibrary() {
  if (handle_) {
    loaded_ = true;
    return true;
  }
  handle_ = LoadFirstLibrary(libraries_);
  loaded_ = true;
  return true;
}

void TZNativeLibraryLoader::FreeNativeLibrary() {
  if (handle_ && loaded_) FreeLibrary(handle_);
  handle_ = nullptr;
  loaded_ = false;
}

bool TZNativeLibraryLoader::Load() { return LoadNativeLibrary(); }

void TZNativeLibraryLoader::LoadIfNeeded() {
  if (!loaded_) Load();
}

void* TZNativeLibraryLoader::GetAddress(const char* procName) const { return GetProcAddress(handle_, procName); }

TZEntryTableLoader::TZEntryTableLoader(std::vector<AnsiString> libraryNames, std::vector<const char*> entryNames)
    : TZNativeLibraryLoader(std::move(libraryNames)), entryNames_(std::move(entryNames)),
      entries_(entryNames_.size(), nullptr) {}

bool TZEntryTableLoader::Load() {
  bool result = TZNativeLibraryLoader::Load();
  for (int i = 0; i < EntryCount(); ++i) entries_[i] = Binds(i) ? GetAddress(entryNames_[i]) : nullptr;
  return result;
}

void TZEntryTableLoader::FreeNativeLibrary() {
  TZNativeLibraryLoader::FreeNativeLibrary();
  entries_.assign(entryNames_.size(), nullptr);
}

void* TZEntryTableLoader::RequiredEntry(int index) const {
  void* address = entries_[index];
  if (!address) throw EZSQLException(SZUnsupportedOperation);
  return address;
}

void* TZEntryTableLoader::NamedEntry(int index) const {
  void* address = entries_[index];
  if (!address) throw EZSQLException(Format(SZClientLibraryHasNoFunction, {entryNames_[index]}));
  return address;
}
