// Dates of either era between the program and the server: the server writes
// a year before 1 as "0044-03-15 BC" and reads the same form, which the
// calendar routines of the system (years 1 to 9999) know nothing of.
#pragma once

#include "sql/core/sysutils.h"

// The value of a date, time or timestamp text of the server; sqlForm tells
// a "yyyy-mm-dd..." text from the compact forms.
TDateTime ParseServerDateTime(const char* text, int length, bool sqlForm);

// The server's literal text (without quotes) of value's date, a BC date in
// the era form.
AnsiString ServerDateText(TDateTime value);
