// Readers of date and time texts in the forms the format settings describe.
// Blanks may stand before every number and separator; a text with anything
// left over after a date or time is not one.
#include <cctype>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

namespace {

constexpr char SInvalidDate[] = "'%s' is not a valid date";
constexpr char SInvalidTime[] = "'%s' is not a valid time";
constexpr char SInvalidDateTime[] = "'%s' is not a valid date and time";

// Numbers stop growing at four digits, so a long digit run cannot overflow.
constexpr int kNumberLimit = 1000;

enum class DateOrder { kMDY, kDMY, kYMD };

class TextScanner {
public:
  explicit TextScanner(const AnsiString& text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  void Blanks() {
    while (!AtEnd() && text_[pos_] == ' ') ++pos_;
  }

  bool Number(int& value, int& digits) {
    Blanks();
    size_t start = pos_;
    value = 0;
    while (!AtEnd() && std::isdigit(static_cast<unsigned char>(text_[pos_])) &&
           value < kNumberLimit)
      value = value * 10 + (text_[pos_++] - '0');
    digits = static_cast<int>(pos_ - start);
    return digits > 0;
  }

  bool Number(int& value) {
    int digits;
    return Number(value, digits);
  }

  bool Char(char c) {
    Blanks();
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // A word such as "PM", letter case ignored; an empty word never matches.
  bool Word(const AnsiString& word) {
    if (word.empty()) return false;
    Blanks();
    if (text_.size() - pos_ < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
      if (std::toupper(static_cast<unsigned char>(text_[pos_ + i])) !=
          std::toupper(static_cast<unsigned char>(word[i])))
        return false;
    }
    pos_ += word.size();
    return true;
  }

private:
  const AnsiString& text_;
  size_t pos_ = 0;
};

DateOrder OrderOf(const AnsiString& format) {
  for (char c : format) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'D': return DateOrder::kDMY;
      case 'Y': return DateOrder::kYMD;
      case 'M': return DateOrder::kMDY;
    }
  }
  return DateOrder::kMDY;
}

int CurrentYear() {
  int year, month, day;
  DecodeDate(Date(), year, month, day);
  return year;
}

// Places a year written with one or two digits into the century window.
int WidenYear(int year, const TFormatSettings& settings) {
  int base = CurrentYear() - settings.TwoDigitYearCenturyWindow;
  year += base / 100 * 100;
  if (settings.TwoDigitYearCenturyWindow > 0 && year < base) year += 100;
  return year;
}

bool ScanDate(TextScanner& scan, TDateTime& value, const TFormatSettings& settings) {
  int n1, n2, n3, len1, len3;
  char sep = settings.DateSeparator;
  if (!scan.Number(n1, len1) || !scan.Char(sep) || !scan.Number(n2)) return false;
  DateOrder order = OrderOf(settings.ShortDateFormat);
  int year, month, day;
  if (scan.Char(sep)) {
    if (!scan.Number(n3, len3)) return false;
    int year_len = order == DateOrder::kYMD ? len1 : len3;
    switch (order) {
      case DateOrder::kMDY: year = n3, month = n1, day = n2; break;
      case DateOrder::kDMY: year = n3, month = n2, day = n1; break;
      case DateOrder::kYMD: year = n1, month = n2, day = n3; break;
    }
    if (year_len <= 2) year = WidenYear(year, settings);
  } else {
    year = CurrentYear();
    month = order == DateOrder::kMDY ? n1 : n2;
    day = order == DateOrder::kMDY ? n2 : n1;
  }
  scan.Char(sep);  // "10.12.2026." is still a date
  scan.Blanks();
  return TryEncodeDate(year, month, day, value);
}

// 0 for AM, 12 for PM, -1 when no such word stands here.
int ScanAmPm(TextScanner& scan, const TFormatSettings& settings) {
  if (scan.Word(settings.TimeAMString) || scan.Word("AM")) return 0;
  if (scan.Word(settings.TimePMString) || scan.Word("PM")) return 12;
  return -1;
}

bool ScanTime(TextScanner& scan, TDateTime& value, const TFormatSettings& settings) {
  int base_hour = ScanAmPm(scan, settings);
  int hour, min = 0, sec = 0, msec = 0;
  if (!scan.Number(hour)) return false;
  if (scan.Char(settings.TimeSeparator)) {
    if (!scan.Number(min)) return false;
    if (scan.Char(settings.TimeSeparator)) {
      if (!scan.Number(sec)) return false;
      if (scan.Char(settings.DecimalSeparator) && !scan.Number(msec)) return false;
    }
  }
  if (base_hour < 0) base_hour = ScanAmPm(scan, settings);
  if (base_hour >= 0) {
    if (hour == 0 || hour > 12) return false;
    hour = hour % 12 + base_hour;
  }
  scan.Blanks();
  return TryEncodeTime(hour, min, sec, msec, value);
}

using Scan = bool (*)(TextScanner&, TDateTime&, const TFormatSettings&);
using TryRead = bool (*)(const AnsiString&, TDateTime&, const TFormatSettings&);

// The whole text must be read; value is left alone otherwise.
bool ScanWhole(Scan scan, const AnsiString& text, TDateTime& value,
               const TFormatSettings& settings) {
  TextScanner scanner(text);
  TDateTime read;
  if (!scan(scanner, read, settings) || !scanner.AtEnd()) return false;
  value = read;
  return true;
}

TDateTime ReadOrRaise(TryRead read, const char* message, const AnsiString& text,
                      const TFormatSettings& settings) {
  TDateTime value;
  if (!read(text, value, settings)) throw EConvertError(Format(message, {text}));
  return value;
}

}  // namespace

bool TryStrToDate(const AnsiString& text, TDateTime& value, const TFormatSettings& settings) {
  return ScanWhole(ScanDate, text, value, settings);
}

bool TryStrToTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings) {
  return ScanWhole(ScanTime, text, value, settings);
}

bool TryStrToDateTime(const AnsiString& text, TDateTime& value,
                      const TFormatSettings& settings) {
  TextScanner scan(text);
  TDateTime date, time = 0;
  if (!ScanDate(scan, date, settings)) return TryStrToTime(text, value, settings);
  if (!scan.AtEnd() && (!ScanTime(scan, time, settings) || !scan.AtEnd())) return false;
  // Before 1899-12-30 the time of day counts toward zero.
  value = date >= 0 ? date + time : date - time;
  return true;
}

TDateTime StrToDate(const AnsiString& text, const TFormatSettings& settings) {
  return ReadOrRaise(TryStrToDate, SInvalidDate, text, settings);
}

TDateTime StrToTime(const AnsiString& text, const TFormatSettings& settings) {
  return ReadOrRaise(TryStrToTime, SInvalidTime, text, settings);
}

TDateTime StrToDateTime(const AnsiString& text, const TFormatSettings& settings) {
  return ReadOrRaise(TryStrToDateTime, SInvalidDateTime, text, settings);
}
