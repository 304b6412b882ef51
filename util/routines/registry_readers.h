// Reading texts and numbers from the registry by root key, key path and value
// name. Key paths may start with the root's own name ("HKLM\..." or
// "HKEY_LOCAL_MACHINE\..."), which must then name the root given. The *Or
// readers never fail: any failure gives their default.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"
#include "util/routines/registry_store.h"

// Raises EUtlRegistryError on any failure.
AnsiString ReadRegistryText(TRegistryRoot root, const AnsiString& key, const AnsiString& name);
// Text, expandable text and byte values; false (or EUtlRegistryError with
// RaiseErrors) when the key, the value or its kind does not fit.
bool ReadRegistryTextEx(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                        AnsiString& value, bool raiseErrors);
AnsiString ReadRegistryTextOr(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                              const AnsiString& defaultValue);
// Numbers (32- or 64-bit, or up to 8 bytes of data) and texts holding an
// integer; Value takes the low 32 bits.
bool ReadRegistryInteger(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                         bool raiseErrors, std::int32_t& value);
std::int32_t ReadRegistryIntegerOr(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                                   std::int32_t defaultValue);
// True when the value exists; Type is kRegNone otherwise.
bool GetRegistryValueType(TRegistryRoot root, const AnsiString& key, const AnsiString& name,
                          std::uint32_t& type);

// The key path below the root: a leading "\" and a root name prefix dropped.
// EUtlRegistryError ""%s" does not match RootKey" when the prefix names
// another root.
AnsiString StripRootKeyPrefix(TRegistryRoot root, const AnsiString& key);
// "HKEY_LOCAL_MACHINE" and the like; "$%.8x" for other handles.
AnsiString RootKeyDisplayName(TRegistryRoot root);
