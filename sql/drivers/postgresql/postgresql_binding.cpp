// Entry-point names, the loaders' binding by name and the program's two
// loaders with their Linux file-name list.

#include "sql/drivers/postgresql/postgresql_binding.h"

#include <iterator>

namespace {

constexpr const char* kEntryNames[] = {VX_PQ_ENTRY_POINTS(VX_ENTRY_NAME)};
static_assert(std::size(kEntryNames) == kPgEntryCount);

}  // namespace

const char* PgEntryName(TZPgEntry entry) { return kEntryNames[static_cast<int>(entry)]; }

TZPostgreSQLNativeLibraryLoader::TZPostgreSQLNativeLibraryLoader(std::vector<AnsiString> libraryNames,
                                                                 bool errorFields)
    : TZEntryTableLoader(std::move(libraryNames), {std::begin(kEntryNames), std::end(kEntryNames)}),
      errorFields_(errorFields) {}

bool TZPostgreSQLNativeLibraryLoader::Binds(int index) const {
  return errorFields_ || index != static_cast<int>(TZPgEntry::PQresultErrorField);
}

TZPostgreSQLNativeLibraryLoader& PostgreSQL7Loader() {
  static TZPostgreSQLNativeLibraryLoader loader({"libpq.so.5", "libpq.so"}, false);
  return loader;
}

TZPostgreSQLNativeLibraryLoader& PostgreSQL8Loader() {
  static TZPostgreSQLNativeLibraryLoader loader({"libpq.so.5", "libpq.so"}, true);
  return loader;
}
