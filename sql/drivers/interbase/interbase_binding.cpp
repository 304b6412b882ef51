// Entry-point names, the loaders' binding by name and the program's loaders.

#include "sql/drivers/interbase/interbase_binding.h"

#include <array>
#include <iterator>
#include <memory>

namespace {

constexpr const char* kEntryNames[] = {VX_IB_ENTRY_POINTS(VX_ENTRY_NAME)};
static_assert(std::size(kEntryNames) == kInterbaseEntryCount);

bool GenerationBinds(TZInterbaseGeneration generation, TZInterbaseEntry entry) {
  if (entry == TZInterbaseEntry::fb_interpret) return generation == TZInterbaseGeneration::Firebird21;
  if (generation == TZInterbaseGeneration::Interbase5) return entry <= TZInterbaseEntry::isc_free;
  return true;
}

struct TClientLibrary {
  TZInterbaseGeneration generation;
  std::vector<AnsiString> names;
};

TClientLibrary ClientLibrary(TZInterbaseClient client) {
  const std::vector<AnsiString> gds = {"libgds.so.0", "libgds.so"};
  const std::vector<AnsiString> firebird = {"libfbclient.so.2", "libfbclient.so"};
  const std::vector<AnsiString> embedded = {"libfbembed.so", "libfbclient.so.2"};
  switch (client) {
    case TZInterbaseClient::Interbase5:
      return {TZInterbaseGeneration::Interbase5, gds};
    case TZInterbaseClient::Interbase6:
    case TZInterbaseClient::Firebird10:
      return {TZInterbaseGeneration::Interbase6, gds};
    case TZInterbaseClient::Firebird15:
    case TZInterbaseClient::Firebird20:
      return {TZInterbaseGeneration::Interbase6, firebird};
    case TZInterbaseClient::Firebird15Embedded:
    case TZInterbaseClient::Firebird20Embedded:
      return {TZInterbaseGeneration::Interbase6, embedded};
    case TZInterbaseClient::Firebird21:
      return {TZInterbaseGeneration::Firebird21, firebird};
    case TZInterbaseClient::Firebird21Embedded:
      return {TZInterbaseGeneration::Firebird21, embedded};
  }
  return {TZInterbaseGeneration::Interbase6, firebird};
}

}  // namespace


TZInterbaseNativeLibraryLoader::TZInterbaseNativeLibraryLoader(TZInterbaseGeneration generation,
                                                               std::vector<AnsiString> libraryNames)
    : TZEntryTableLoader(std::move(libraryNames), {std::begin(kEntryNames), std::end(kEntryNames)}),
      generation_(generation) {}

TZInterbaseNativeLibraryLoader::~TZInterbaseNativeLibraryLoader() {
  // Still attached at the end of the program: the library stays in.
  if (attachments_ > 0) ForgetNativeLibrary();
}

bool TZInterbaseNativeLibraryLoader::Binds(int index) const {
  return GenerationBinds(generation_, static_cast<TZInterbaseEntry>(index));
}

void TZInterbaseNativeLibraryLoader::FreeNativeLibrary() {
  if (attachments_ > 0) return;
  TZEntryTableLoader::FreeNativeLibrary();
}

TZInterbaseNativeLibraryLoader& InterbaseLibraryLoader(TZInterbaseClient client) {
  static std::array<std::unique_ptr<TZInterbaseNativeLibraryLoader>, kInterbaseClientCount> loaders;
  auto& loader = loaders[static_cast<int>(client)];
  if (!loader) {
    TClientLibrary library = ClientLibrary(client);
    loader = std::make_unique<TZInterbaseNativeLibraryLoader>(library.generation, std::move(library.names));
  }
  return *loader;
}
