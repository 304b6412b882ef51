// The registry readers (registry_readers.h) over the registry store. Every
// reader opens the key, queries the value's kind and size, then its data, and
// reports a failure of each step with its own message.

#include "util/routines/registry_readers.h"

#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "util/routines/util_errors.h"
#include "util/routines/util_texts.h"

namespace {

constexpr std::size_t kIntegerBufferSize = 8;

struct RootKeyName {
  TRegistryRoot root;
  const char* name;
};

// The long names first, then the short ones, each in handle order.
constexpr RootKeyName kRootKeyNames[] = {
    {rkClassesRoot, "HKEY_CLASSES_ROOT"}, {rkCurrentUser, "HKEY_CURRENT_USER"},
    {rkLocalMachine, "HKEY_LOCAL_MACHINE"}, {rkUsers, "HKEY_USERS"},
    {rkPerformanceData, "HKEY_PERFORMANCE_DATA"}, {rkCurrentConfig, "HKEY_CURRENT_CONFIG"},
    {rkDynData, "HKEY_DYN_DATA"},
    {rkClassesRoot, "HKCR"}, {rkCurrentUser, "HKCU"}, {rkLocalMachine, "HKLM"},
    {rkUsers, "HKUS"}, {rkPerformanceData, "HKPD"}, {rkCurrentConfig, "HKCC"}, {rkDynData, "HKDD"},
};

// One read: the key and value as the caller named them, for the messages.
struct ValueRead {
  TRegistryRoot root;
  const AnsiString& key;
  const AnsiString& name;
  bool raiseErrors;

  bool Fail(const char* message, bool withName) const {
    if (!raiseErrors) return false;
    if (withName) throw EUtlRegistryError(Format(message, {RootKeyDisplayName(root), key, name}));
    throw EUtlRegistryError(Format(message, {RootKeyDisplayName(root), key}));
  }

  // Opens the key and queries the value; false (or raises) when either fails.
  bool Query(TRegistryValue& value) const {
    WideString path = AnsiToWide(StripRootKeyPrefix(root, key));
    const TRegistryStore& store = RegistryStore();
    if (!store.KeyExists(root, path)) return Fail(RsUnableToOpenKeyRead, false);
    if (!store.QueryValue(root, path, AnsiToWide(name), value)) return Fail(RsUnableToAccessValue, true);
    return true;
  }
};

bool IsStringKind(std::uint32_t type) { return type == kRegString || type == kRegExpandString; }

bool ReadRegistryStringCore(const ValueRead& read, AnsiString& value, bool allowMultiString) {
  TRegistryValue stored;
  if (!read.Query(stored)) return false;
  bool allowed = IsStringKind(stored.Type) || stored.Type == kRegBinary ||
                 (allowMultiString && stored.Type == kRegMultiString);
  if (!allowed) {
    value.clear();
    return read.Fail(RsWrongValueKind, true);
  }
  // Wide characters without the last one, the terminator.
  WideString text;
  for (std::size_t i = 0; i + 1 < stored.Data.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(stored.Data[i]) |
                                  static_cast<unsigned char>(stored.Data[i + 1]) << 8);
  }
  if (!text.empty()) text.pop_back();
  value = WideToAnsi(text);
  return true;
}

bool ReadRegistryData(const ValueRead& read, unsigned char (&buffer)[kIntegerBufferSize]) {
  TRegistryValue stored;
  if (!read.Query(stored)) return false;
  bool allowed = stored.Type == kRegBinary || stored.Type == kRegDword || stored.Type == kRegQword;
  if (!allowed || stored.Data.size() > kIntegerBufferSize) return read.Fail(RsWrongValueKind, true);
  std::memset(buffer, 0, sizeof buffer);
  std::memcpy(buffer, stored.Data.data(), stored.Data.size());
  return true;
}

}  // namespace

AnsiString RootKeyDisplayName(TRegistryRoot root) {
  for (int i = 0; i < 7; ++i) {
    if (kRootKeyNames[i].root == root) return kRootKeyNames[i].name;
  }
  return Format("$%.8x", {root});
}

AnsiString StripRootKeyPrefix(TRegistryRoot root, const AnsiString& key) {
  const std::size_t start = !key.empty() && key[0] == '\\' ? 1 : 0;
  for (const RootKeyName& entry : kRootKeyNames) {
    const AnsiString prefix = AnsiString(entry.name) + "\\";
    if (key.compare(start, prefix.size(), prefix) != 0) continue;
    if (entry.root != root) throw EUtlRegistryError(Format(RsInconsistentPath, {key}));
    return key.substr(start + prefix.size());
  }
  return key.substr(start);
}

bool ReadRegistryTextEx(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                        AnsiString& value, bool raiseErrors) {
  return ReadRegistryStringCore(ValueRead{root, key, name, raiseErrors}, value, false);
}

AnsiString ReadRegistryText(TRegistryRoot root, const AnsiString& key, const AnsiString& name) {
  AnsiString value;
  ReadRegistryTextEx(root, key, name, value, true);
  return value;
}

AnsiString ReadRegistryTextOr(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                              const AnsiString& defaultValue) {
  try {
    AnsiString value;
    if (ReadRegistryTextEx(root, key, name, value, false)) return value;
  } catch (const Exception&) {
    // A key path naming another root: the default, like every other failure.
  }
  return defaultValue;
}

bool GetRegistryValueType(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                          std::uint32_t& type) {
  TRegistryValue stored;
  bool found = ValueRead{root, key, name, false}.Query(stored);
  type = found ? stored.Type : kRegNone;
  return found;
}

bool ReadRegistryInteger(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                         bool raiseErrors, std::int32_t& value) {
  std::uint32_t type = kRegNone;
  GetRegistryValueType(root, key, name, type);
  std::int64_t number = 0;
  if (IsStringKind(type)) {
    AnsiString text = ReadRegistryText(root, key, name);
    if (raiseErrors) {
      number = StrToInt64(text);
    } else if (!TryStrToInt64(text, number)) {
      return false;
    }
  } else {
    unsigned char buffer[kIntegerBufferSize];
    if (!ReadRegistryData(ValueRead{root, key, name, raiseErrors}, buffer)) return false;
    std::memcpy(&number, buffer, sizeof number);
  }
  value = static_cast<std::int32_t>(number);
  return true;
}

std::int32_t ReadRegistryIntegerOr(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                                   std::int32_t defaultValue) {
  try {
    std::int32_t value = 0;
    if (ReadRegistryInteger(root, key, name, false, value)) return value;
  } catch (const Exception&) {
    // Any failure gives the default.
  }
  return defaultValue;
}
