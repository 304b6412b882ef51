// Named resources: pictures compiled into the program, looked up by name as
// the original platform's resource section is. The build embeds each
// library's resource files (vx_embed_resources in resources.cmake) into a
// table that registers itself in every program linking the library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/strings.h"

struct ResourceEntry {
  const char* name;  // upper case, without extension
  const uint8_t* data;
  size_t size;
};

// Adds a table; called by the generated sources at start-up.
bool RegisterResources(const ResourceEntry* entries, size_t count);
// The resource of that name (letter case ignored), or nullptr.
const ResourceEntry* FindResourceEntry(const AnsiString& name);
std::vector<AnsiString> ResourceNames();
