// The switch rule: first occurrence wins, names compared upper-cased on their
// own length, values sliced after the name.
#include "app/engine/switches.h"

#include "platform/rtl/text.h"

TSwitch FindSwitch(const TParamList& params, std::string_view name, std::size_t valueChars) {
  for (const AnsiString& param : params) {
    if (UpperCase(std::string_view(param).substr(0, name.size())) != name) continue;
    TSwitch result{true, {}};
    if (param.size() > name.size()) result.value = param.substr(name.size(), valueChars);
    return result;
  }
  return {};
}
