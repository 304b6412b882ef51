// Entry-point names, the handlers and their lists, the joined error text and
// the loader's start and end of the library.

#include "sql/drivers/dblib/dblib_binding.h"

#include <iterator>

#include "sql/core/sql_exception.h"

namespace {

constexpr const char* kEntryNames[] = {VX_DBLIB_ENTRY_POINTS(VX_ENTRY_NAME)};
static_assert(std::size(kEntryNames) == kDBLibEntryCount);

// Messages up to this severity are informational (a changed database
// context, a print) and never make an error.
constexpr int kInformationalSeverity = 1;

AnsiString CopyText(const char* text) { return text ? AnsiString(text) : AnsiString(); }

}  // namespace


std::vector<TDBLibError>& DBLibErrors() {
  static std::vector<TDBLibError> errors;
  return errors;
}

std::vector<TDBLibMessage>& DBLibMessages() {
  static std::vector<TDBLibMessage> messages;
  return messages;
}

int DBLibErrorHandler(DBLibProcess* proc, int severity, int dbErr, int osErr, char* dbErrStr, char* osErrStr) {
  DBLibErrors().push_back({proc, severity, dbErr, osErr, CopyText(dbErrStr), CopyText(osErrStr)});
  return kDBIntCancel;
}

int DBLibMessageHandler(DBLibProcess* proc, DBINT msgNo, int msgState, int severity, char* msgText, char* srvName,
                        char* procName, int line) {
  DBLibMessages().push_back(
      {proc, msgNo, msgState, severity, CopyText(msgText), CopyText(srvName), CopyText(procName), line});
  return 0;
}

void CheckDBLibErrors() {
  std::vector<TDBLibError> errors;
  std::vector<TDBLibMessage> messages;
  errors.swap(DBLibErrors());
  messages.swap(DBLibMessages());
  AnsiString text;
  for (const TDBLibError& error : errors) text += error.DbErrStr + " " + error.OsErrStr + " \r";
  for (const TDBLibMessage& message : messages)
    if (message.Severity > kInformationalSeverity) text += message.MsgText + " \r";
  if (!text.empty()) throw Exception(text);
}

TZDBLibNativeLibraryLoader::TZDBLibNativeLibraryLoader(std::vector<AnsiString> libraryNames)
    : TZEntryTableLoader(std::move(libraryNames), {std::begin(kEntryNames), std::end(kEntryNames)}) {}

TZDBLibNativeLibraryLoader::~TZDBLibNativeLibraryLoader() {
  if (Loaded()) FreeNativeLibrary();
}

bool TZDBLibNativeLibraryLoader::Load() {
  if (!TZEntryTableLoader::Load()) return false;
  VX_DBLIB_ENTRY(*this, dbinit)();
  previousErrorHandler_ = VX_DBLIB_ENTRY(*this, dberrhandle)(DBLibErrorHandler);
  previousMessageHandler_ = VX_DBLIB_ENTRY(*this, dbmsghandle)(DBLibMessageHandler);
  return true;
}

void TZDBLibNativeLibraryLoader::FreeNativeLibrary() {
  // Nothing here may throw: it also runs from the destructor at program end.
  if (Entry(TZDBLibEntry::dberrhandle)) VX_DBLIB_ENTRY(*this, dberrhandle)(previousErrorHandler_);
  if (Entry(TZDBLibEntry::dbmsghandle)) VX_DBLIB_ENTRY(*this, dbmsghandle)(previousMessageHandler_);
  if (Entry(TZDBLibEntry::dbexit)) VX_DBLIB_ENTRY(*this, dbexit)();
  TZEntryTableLoader::FreeNativeLibrary();
}

TZDBLibNativeLibraryLoader& DBLibLibraryLoader() {
  static TZDBLibNativeLibraryLoader loader({"libsybdb.so.5", "libsybdb.so"});
  return loader;
}
