// Command-line switches of the backup program. A switch is the first
// parameter whose leading characters, upper-cased, equal the switch name; its
// value is the text after the name, cut to the length each switch allows.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/rtl/strings.h"

// Parameters 1..ParamCount, in order.
using TParamList = std::vector<AnsiString>;

// Value lengths. "/B:" takes the whole rest, because database names may be
// longer than the 30 characters the other free-text switches keep.
inline constexpr std::size_t kTextValueChars = 30;  // /M: /Z: /P:
inline constexpr std::size_t kTimeValueChars = 8;   // /A:
inline constexpr std::size_t kDayMaskChars = 7;     // /D:
inline constexpr std::size_t kWholeValue = std::string_view::npos;

struct TSwitch {
  bool found = false;
  AnsiString value;
};

// Name is upper case ("/M:", "/BAT"); only the first matching parameter counts.
TSwitch FindSwitch(const TParamList& params, std::string_view name, std::size_t valueChars = kWholeValue);
