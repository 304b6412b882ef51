// Entry-point names, the loader's binding by name and the program's loader.

#include "sql/drivers/oracle/oracle_binding.h"

#include <iterator>

namespace {

constexpr const char* kEntryNames[] = {VX_OCI_ENTRY_POINTS(VX_ENTRY_NAME)};
static_assert(std::size(kEntryNames) == kOracleEntryCount);

}  // namespace

const char* OracleEntryName(TZOracleEntry entry) { return kEntryNames[static_cast<int>(entry)]; }

TZOracleNativeLibraryLoader::TZOracleNativeLibraryLoader(std::vector<AnsiString> libraryNames)
    : TZEntryTableLoader(std::move(libraryNames), {std::begin(kEntryNames), std::end(kEntryNames)}) {}

TZOracleNativeLibraryLoader& OracleLibraryLoader() {
  static TZOracleNativeLibraryLoader loader({"libclntsh.so"});
  return loader;
}
