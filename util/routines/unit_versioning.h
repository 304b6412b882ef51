// The unit-version registry: each unit of the utility library records a
// version record at start-up and withdraws it at shutdown, grouped by module.
// The registry's address is published in a named shared block guarded by a
// named mutex, both named after the process, so every module of the process
// finds the same registry; here both objects are process-local.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/dynlib.h"
#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

struct TUnitVersionRecord {
  const char* RCSfile;
  const char* Revision;
  const char* Date;
  const char* LogPath;
  const char* Extra;
  void* Data;
};

class TUnitVersion : public TObject {
public:
  explicit TUnitVersion(const TUnitVersionRecord* record) : record_(record) {}
  const TUnitVersionRecord* Record() const { return record_; }

private:
  const TUnitVersionRecord* record_;  // a constant of its unit, not owned
};

class TUnitVersioningModule : public TObject {
public:
  explicit TUnitVersioningModule(HMODULE instance) : instance_(instance) {}
  HMODULE Instance() const { return instance_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TUnitVersion* ItemAt(int index) const { return items_.at(index).get(); }
  // Adds the record unless this very record (by identity) is there already.
  void AddRecord(const TUnitVersionRecord* record);
  int IndexOfRecord(const TUnitVersionRecord* record) const;

private:
  HMODULE instance_;
  std::vector<std::unique_ptr<TUnitVersion>> items_;
};

class TUnitVersioning : public TObject {
public:
  // To the first module entry of that handle, a new one appended when none.
  virtual void AddRecord(HMODULE instance, const TUnitVersionRecord* record);
  // Frees the last module entry of that handle; nothing when there is none.
  virtual void RemoveModule(HMODULE instance);
  int ModuleCount() const { return static_cast<int>(modules_.size()); }
  TUnitVersioningModule* ModuleAt(int index) const { return modules_.at(index).get(); }

private:
  std::vector<std::unique_ptr<TUnitVersioningModule>> modules_;
};

// The process's registry, created on first use; null once finalised.
TUnitVersioning* GetUnitVersionRegistry();
void AddUnitVersion(HMODULE instance, const TUnitVersionRecord* record);
void RemoveUnitVersions(HMODULE instance);
// Shutdown of the registry: unmaps the shared block, frees the registry when
// this module made it and frees the mutex. The registry is never made again.
void FinalizeUnitVersionRegistry();

// The names of the registry's mutex and shared block for this process.
AnsiString UnitVersioningMutexName();
AnsiString UnitVersioningBlockName();
// The handle under which the program's own units register.
HMODULE ProgramModuleHandle();

// Clears Count bytes at Buffer (nothing when Count <= 0).
void ZeroFill(void* buffer, int count);
// Unloads a loaded library and clears the handle; nothing for a null handle.
void FreeLibraryHandle(HMODULE& handle);
