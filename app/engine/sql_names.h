// Names as they go into the program's SQL: every table and database name in
// back-quotes, and the exact-match pattern of "show tables like". The server
// accepts any character in a name, so nothing may be left to chance.
#pragma once

#include "platform/rtl/strings.h"

// The name in back-quotes with inner back-quotes doubled.
AnsiString SqlName(const AnsiString& name);

// "show tables like" with the name in double quotes, written so that the
// string literal and then the pattern both read it back as this one name:
// "\" becomes four back-slashes, "_", "%" and '"' get one in front.
AnsiString ShowTablesLike(const AnsiString& table);
