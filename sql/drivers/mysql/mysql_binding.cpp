// Entry-point names, the loaders' binding by name, and the program's four
// loaders with their Linux file-name lists.

#include "sql/drivers/mysql/mysql_binding.h"

#include <iterator>

namespace {

constexpr const char* kEntryNames[] = {VX_MYSQL_ENTRY_POINTS(VX_ENTRY_NAME)};
static_assert(std::size(kEntryNames) == kMySQL5EntryCount);

using TServerEndFn = void (*)();

}  // namespace

const char* MySQLEntryName(TZMySQLEntry entry) { return kEntryNames[static_cast<int>(entry)]; }

TZMySQLNativeLibraryLoader::TZMySQLNativeLibraryLoader(std::vector<AnsiString> libraryNames, int entryCount)
    : TZEntryTableLoader(std::move(libraryNames), {kEntryNames, kEntryNames + entryCount}) {}

TZMySQLNativeLibraryLoader::~TZMySQLNativeLibraryLoader() {
  void* serverEnd = EntryAt(static_cast<int>(TZMySQLEntry::mysql_server_end));
  if (Loaded() && serverEnd) reinterpret_cast<TServerEndFn>(serverEnd)();
}

TZMySQLNativeLibraryLoader& MySQL41ClientLoader() {
  static TZMySQLNativeLibraryLoader loader({"libmariadb.so.3", "libmysqlclient.so"}, kMySQL41EntryCount);
  return loader;
}

TZMySQLNativeLibraryLoader& MySQL5ClientLoader() {
  static TZMySQLNativeLibraryLoader loader({"libmariadb.so.3", "libmysqlclient.so.21", "libmysqlclient.so"},
                                           kMySQL5EntryCount);
  return loader;
}

TZMySQLNativeLibraryLoader& MySQL41EmbeddedLoader() {
  static TZMySQLNativeLibraryLoader loader({"libmariadbd.so.19", "libmysqld.so"}, kMySQL41EntryCount);
  return loader;
}

TZMySQLNativeLibraryLoader& MySQL5EmbeddedLoader() {
  static TZMySQLNativeLibraryLoader loader({"libmariadbd.so.19", "libmariadbd.so", "libmysqld.so"},
                                           kMySQL5EntryCount);
  return loader;
}
