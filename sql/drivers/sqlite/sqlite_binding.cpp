// Entry-point names, binding by name, and the two loaders with their Linux
// file-name lists (Debian ships no 2.8 library; its names are kept so that a
// machine that has one can use it).

#include "sql/drivers/sqlite/sqlite_binding.h"

TZSQLiteNativeLibraryLoader& SQLite28LibraryLoader() {
  static TZSQLiteNativeLibraryLoader loader({"libsqlite.so.0", "libsqlite.so"},
                                            {VX_SQLITE28_ENTRY_POINTS(VX_ENTRY_NAME)});
  return loader;
}

TZSQLiteNativeLibraryLoader& SQLite3LibraryLoader() {
  static TZSQLiteNativeLibraryLoader loader({"libsqlite3.so.0", "libsqlite3.so"},
                                            {VX_SQLITE3_ENTRY_POINTS(VX_ENTRY_NAME)});
  return loader;
}
