// The registry form of a placement's store over the file-backed registry.
#include "util/components/placement_store.h"

#include "platform/rtl/text.h"
#include "util/routines/registry_file_store.h"
#include "util/routines/registry_readers.h"
#include "util/routines/util_errors.h"

TPlacementRegistryStore::TPlacementRegistryStore(TRegistryRoot root, const AnsiString& key, bool readOnly)
    : root_(root), key_(key), readOnly_(readOnly) {
  if (!readOnly_) FileRegistryStore().CreateKey(root_, AnsiToWide(key_));
}

AnsiString TPlacementRegistryStore::KeyOf(const AnsiString& section) const {
  return section.empty() ? key_ : key_ + "\\" + section;
}

AnsiString TPlacementRegistryStore::ReadString(const AnsiString& section, const AnsiString& ident,
                                               const AnsiString& def) {
  return ReadRegistryTextOr(root_, KeyOf(section), ident, def);
}

int TPlacementRegistryStore::ReadInteger(const AnsiString& section, const AnsiString& ident, int def) {
  return ReadRegistryIntegerOr(root_, KeyOf(section), ident, def);
}

void TPlacementRegistryStore::Write(const AnsiString& section, const AnsiString& ident, const TRegistryValue& value) {
  if (readOnly_) return;
  TFileRegistryStore& store = FileRegistryStore();
  const WideString key = AnsiToWide(KeyOf(section));
  if (!store.CreateKey(root_, key) || !store.SetValue(root_, key, AnsiToWide(ident), value))
    throw EUtlRegistryError("Unable to write \"" + KeyOf(section) + "\\" + ident + "\"");
}

void TPlacementRegistryStore::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  Write(section, ident, RegistryText(AnsiToWide(value)));
}

void TPlacementRegistryStore::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  Write(section, ident, RegistryDword(std::uint32_t(value)));
}

void TPlacementRegistryStore::EraseSection(const AnsiString& section) {
  if (!readOnly_) FileRegistryStore().DeleteKey(root_, AnsiToWide(KeyOf(section)));
}
