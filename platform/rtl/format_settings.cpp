// The fixed Czech format profile and the switch that tests use to replace it.
// Names are written as the system shows them; the build turns them into
// Windows-1250 bytes.
#include "platform/rtl/format_settings.h"

namespace {

const TFormatSettings kCzech = {
    .DateSeparator = '.',
    .TimeSeparator = ':',
    .DecimalSeparator = ',',
    .ThousandSeparator = '\xA0',  // no-break space in Windows-1250
    .ListSeparator = ';',
    .ShortDateFormat = "d.M.yyyy",
    .LongDateFormat = "d. MMMM yyyy",
    .ShortTimeFormat = "h:nn",
    .LongTimeFormat = "h:nn:ss",
    .TimeAMString = "",
    .TimePMString = "",
    .ShortMonthNames = {"led", "úno", "bře", "dub", "kvě", "čvn", "čvc", "srp", "zář", "říj",
                        "lis", "pro"},
    .LongMonthNames = {"leden", "únor", "březen", "duben", "květen", "červen", "červenec",
                       "srpen", "září", "říjen", "listopad", "prosinec"},
    .ShortDayNames = {"ne", "po", "út", "st", "čt", "pá", "so"},
    .LongDayNames = {"neděle", "pondělí", "úterý", "středa", "čtvrtek", "pátek", "sobota"},
    .TwoDigitYearCenturyWindow = 50,
};

const TFormatSettings* g_current = &kCzech;

}  // namespace

const TFormatSettings& CzechFormatSettings() { return kCzech; }

const TFormatSettings& FormatSettings() { return *g_current; }

TScopedFormatSettings::TScopedFormatSettings(const TFormatSettings& settings)
    : settings_(settings), previous_(g_current) {
  g_current = &settings_;
}

TScopedFormatSettings::~TScopedFormatSettings() { g_current = previous_; }
