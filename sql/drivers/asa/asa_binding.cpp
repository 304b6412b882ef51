// Entry-point names, the loaders' binding by name and the program's three
// loaders.

#include "sql/drivers/asa/asa_binding.h"

#include <iterator>

namespace {

constexpr const char* kEntryNames[] = {VX_ASA_ENTRY_POINTS(VX_ENTRY_NAME)};
static_assert(std::size(kEntryNames) == kASAEntryCount);

}  // namespace


TZASANativeLibraryLoader::TZASANativeLibraryLoader(std::vector<AnsiString> libraryNames)
    : TZEntryTableLoader(std::move(libraryNames), {std::begin(kEntryNames), std::end(kEntryNames)}) {}

TZASANativeLibraryLoader& ASALibraryLoader(int version) {
  static TZASANativeLibraryLoader asa7({"libdblib7.so"});
  static TZASANativeLibraryLoader asa8({"libdblib8.so"});
  static TZASANativeLibraryLoader asa9({"libdblib9.so"});
  return version == 7 ? asa7 : version == 8 ? asa8 : asa9;
}
