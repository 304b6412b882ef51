// Attribute bits of a directory entry from its lstat data. Shared by the single
// entry query and the folder search, so both report an entry alike.
#pragma once

#include <sys/stat.h>

#include "platform/rtl/strings.h"

namespace detail {

int AttributesOf(const AnsiString& name, const struct stat& st);

}  // namespace detail
