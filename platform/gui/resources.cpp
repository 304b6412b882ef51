// The process-wide table of named resources that generated sources fill.
#include "platform/gui/resources.h"

#include "platform/rtl/text.h"

namespace {

std::vector<const ResourceEntry*>& Table() {
  static std::vector<const ResourceEntry*> table;
  return table;
}

}  // namespace

bool RegisterResources(const ResourceEntry* entries, size_t count) {
  for (size_t i = 0; i < count; ++i) Table().push_back(entries + i);
  return true;
}

const ResourceEntry* FindResourceEntry(const AnsiString& name) {
  for (const ResourceEntry* e : Table())
    if (SameText(e->name, name)) return e;
  return nullptr;
}

std::vector<AnsiString> ResourceNames() {
  std::vector<AnsiString> names;
  for (const ResourceEntry* e : Table()) names.push_back(e->name);
  return names;
}
