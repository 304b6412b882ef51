// Where the registry readers find keys and values. The readers go through
// this small interface; the default store is the file-backed one
// (registry_file_store.h). Tests plug in another with SetRegistryStore.
#pragma once

#include <cstdint>
#include <map>
#include <tuple>

#include "platform/rtl/strings.h"

using TRegistryRoot = std::uint32_t;  // the platform's root-key handle values
constexpr TRegistryRoot rkClassesRoot = 0x80000000;
constexpr TRegistryRoot rkCurrentUser = 0x80000001;
constexpr TRegistryRoot rkLocalMachine = 0x80000002;
constexpr TRegistryRoot rkUsers = 0x80000003;
constexpr TRegistryRoot rkPerformanceData = 0x80000004;
constexpr TRegistryRoot rkCurrentConfig = 0x80000005;
constexpr TRegistryRoot rkDynData = 0x80000006;

// Value kinds as the platform numbers them.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegString = 1;
constexpr std::uint32_t kRegExpandString = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiString = 7;
constexpr std::uint32_t kRegQword = 11;

// A stored value: its kind and its bytes as the platform keeps them (texts
// UTF-16LE with their terminating NUL, numbers little-endian).
struct TRegistryValue {
  std::uint32_t Type = kRegNone;
  std::string Data;
};

class TRegistryStore {
public:
  virtual ~TRegistryStore() = default;
  // Key paths have no leading "\"; letter case is ignored.
  virtual bool KeyExists(TRegistryRoot root, const WideString& key) const = 0;
  virtual bool QueryValue(TRegistryRoot root, const WideString& key, const WideString& name,
                          TRegistryValue& value) const = 0;
};

// Keys and values held in memory.
class TMemoryRegistryStore : public TRegistryStore {
public:
  void AddKey(TRegistryRoot root, const WideString& key);
  // Adds the key too.
  void SetValue(TRegistryRoot root, const WideString& key, const WideString& name, TRegistryValue value);
  bool KeyExists(TRegistryRoot root, const WideString& key) const override;
  bool QueryValue(TRegistryRoot root, const WideString& key, const WideString& name,
                  TRegistryValue& value) const override;

private:
  std::map<std::tuple<TRegistryRoot, WideString>, std::map<WideString, TRegistryValue>> keys_;
};

TRegistryValue RegistryText(const WideString& text, std::uint32_t type = kRegString);
TRegistryValue RegistryDword(std::uint32_t value);

// The store the readers use; SetRegistryStore(nullptr) goes back to the default.
const TRegistryStore& RegistryStore();
void SetRegistryStore(const TRegistryStore* store);
