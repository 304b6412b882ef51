// The in-memory registry store and the store the readers use (the file
// store unless a test or caller sets another).

#include "util/routines/registry_store.h"

#include "platform/rtl/text.h"
#include "util/routines/registry_file_store.h"

namespace {

const TRegistryStore* activeStore = nullptr;

std::tuple<TRegistryRoot, WideString> KeyOf(TRegistryRoot root, const WideString& key) {
  return {root, WideUpperCase(key)};
}

}  // namespace

void TMemoryRegistryStore::AddKey(TRegistryRoot root, const WideString& key) {
  keys_[KeyOf(root, key)];
}

void TMemoryRegistryStore::SetValue(TRegistryRoot root, const WideString& key, const WideString& name,
                                    TRegistryValue value) {
  keys_[KeyOf(root, key)][WideUpperCase(name)] = std::move(value);
}

bool TMemoryRegistryStore::KeyExists(TRegistryRoot root, const WideString& key) const {
  return keys_.count(KeyOf(root, key)) != 0;
}

bool TMemoryRegistryStore::QueryValue(TRegistryRoot root, const WideString& key, const WideString& name,
                                      TRegistryValue& value) const {
  auto k = keys_.find(KeyOf(root, key));
  if (k == keys_.end()) return false;
  auto v = k->second.find(WideUpperCase(name));
  if (v == k->second.end()) return false;
  value = v->second;
  return true;
}

TRegistryValue RegistryText(const WideString& text, std::uint32_t type) {
  TRegistryValue value{type, {}};
  for (char16_t c : text + u'\0') {
    value.Data += static_cast<char>(c & 0xFF);
    value.Data += static_cast<char>(c >> 8);
  }
  return value;
}

TRegistryValue RegistryDword(std::uint32_t v) {
  TRegistryValue value{kRegDword, {}};
  for (int i = 0; i < 4; ++i) value.Data += static_cast<char>((v >> (8 * i)) & 0xFF);
  return value;
}

const TRegistryStore& RegistryStore() { return activeStore ? *activeStore : FileRegistryStore(); }

void SetRegistryStore(const TRegistryStore* store) { activeStore = store; }
