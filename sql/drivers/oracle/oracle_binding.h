// The run-time binding of the client call interface: the 71 entry points
// looked up by name in one process-wide table, and the loader that finds the
// library. The driver never links the library, so a machine without it still
// runs the rest of the system and gets a clear error only when it connects.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"

// Every entry point, in the order the loader looks them up.
#define VX_OCI_ENTRY_POINTS(X)                                                                                \
  X(OCIEnvCreate) X(OCIInitialize) X(OCIEnvInit) X(OCIHandleAlloc) X(OCIHandleFree) X(OCIAttrSet) X(OCIAttrGet) \
  X(OCIDescriptorAlloc) X(OCIDescriptorFree) X(OCIErrorGet) X(OCIServerAttach) X(OCIServerDetach)               \
  X(OCIServerVersion) X(OCIBreak) X(OCIReset) X(OCISessionBegin) X(OCISessionEnd) X(OCIPasswordChange)          \
  X(OCITransStart) X(OCITransCommit) X(OCITransRollback) X(OCITransDetach) X(OCITransPrepare)                   \
  X(OCITransForget) X(OCIStmtPrepare) X(OCIStmtExecute) X(OCIStmtFetch) X(OCIStmtGetPieceInfo)                 \
  X(OCIStmtSetPieceInfo) X(OCIParamGet) X(OCIResultSetToStmt) X(OCIDefineByPos) X(OCIDefineArrayOfStruct)       \
  X(OCIBindByPos) X(OCIBindByName) X(OCIBindDynamic) X(OCILobAppend) X(OCILobAssign) X(OCILobCopy)              \
  X(OCILobEnableBuffering) X(OCILobDisableBuffering) X(OCILobErase) X(OCILobFileExists) X(OCILobFileGetName)    \
  X(OCILobFileSetName) X(OCILobFlushBuffer) X(OCILobGetLength) X(OCILobLoadFromFile) X(OCILobLocatorIsInit)     \
  X(OCILobRead) X(OCILobTrim) X(OCILobWrite) X(OCILobCreateTemporary) X(OCILobFreeTemporary) X(OCILobClose)     \
  X(OCILobIsOpen) X(OCILobIsTemporary) X(OCILobOpen) X(OCIDateTimeAssign) X(OCIDateTimeCheck)                  \
  X(OCIDateTimeCompare) X(OCIDateTimeConvert) X(OCIDateTimeFromText) X(OCIDateTimeGetDate)                      \
  X(OCIDateTimeGetTime) X(OCIDateTimeGetTimeZoneOffset) X(OCIDateTimeSysTimeStamp) X(OCIDateTimeConstruct)      \
  X(OCIDateTimeToText) X(OCIDateTimeGetTimeZoneName) X(OCIDescribeAny)

enum class TZOracleEntry : int {
  VX_OCI_ENTRY_POINTS(VX_ENTRY_ENUM)
};

inline constexpr int kOracleEntryCount = 71;

// The exported name of an entry point.
const char* OracleEntryName(TZOracleEntry entry);

// Loads the library and fills the table: one address per entry point, null
// for each name the library does not export (not an error at load time).
class TZOracleNativeLibraryLoader : public TZEntryTableLoader {
public:
  explicit TZOracleNativeLibraryLoader(std::vector<AnsiString> libraryNames);

  void* Entry(TZOracleEntry entry) const { return EntryAt(static_cast<int>(entry)); }
};

// The program's one loader, made on first use with "libclntsh.so" and freed
// at its end. Tests may change its file names before the first connect.
TZOracleNativeLibraryLoader& OracleLibraryLoader();
