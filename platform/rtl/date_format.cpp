// FormatDateTime and the text forms built on it. The format is read token by
// token; an "m" right after an hour token means minutes, so "hh:mm" shows the
// time. A format taken from the settings is expanded one level deep only, so
// settings that name each other cannot recurse.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/rtl/datetime.h"

namespace {

constexpr int kNestingLevels = 2;

bool StartsWithNoCase(const AnsiString& text, size_t pos, const char* word) {
  for (; *word; ++word, ++pos) {
    if (pos >= text.size()) return false;
    if (std::toupper(static_cast<unsigned char>(text[pos])) != *word) return false;
  }
  return true;
}

// True when an am/pm marker follows in the format outside quoted text, which
// switches hour tokens to the 12-hour clock.
bool HasAmPmAfter(const AnsiString& format, size_t pos) {
  char quote = 0;
  for (; pos < format.size(); ++pos) {
    char c = format[pos];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (StartsWithNoCase(format, pos, "AM/PM") || StartsWithNoCase(format, pos, "A/P") ||
               StartsWithNoCase(format, pos, "AMPM")) {
      return true;
    }
  }
  return false;
}

class DateFormatter {
public:
  DateFormatter(TDateTime value, const TFormatSettings& settings) : settings_(settings) {
    DecodeDate(value, year_, month_, day_);
    DecodeTime(value, hour_, min_, sec_, msec_);
    day_of_week_ = DayOfWeek(value);
  }

  void Append(const AnsiString& format, int depth) {
    if (depth >= kNestingLevels) return;
    char last_token = 0;
    size_t pos = 0;
    while (pos < format.size()) {
      char c = format[pos];
      char token = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && last_token == 'H') token = 'N';
        last_token = token;
      }
      size_t count = 1;
      while (pos + count < format.size() && format[pos + count] == c) ++count;
      pos = AppendToken(format, pos, token, count, depth);
    }
  }

  const AnsiString& Text() const { return out_; }

private:
  // Appends what the token at pos stands for; returns the position after it.
  size_t AppendToken(const AnsiString& format, size_t pos, char token, size_t count, int depth) {
    switch (token) {
      case 'Y':
        if (count <= 2) return AppendNumber(year_ % 100, 2, pos + count);
        return AppendNumber(year_, 4, pos + count);
      case 'M':
        if (count <= 2) return AppendNumber(month_, count, pos + count);
        if (count == 3) return AppendName(settings_.ShortMonthNames, month_ - 1, pos + count);
        return AppendName(settings_.LongMonthNames, month_ - 1, pos + count);
      case 'D':
        if (count <= 2) return AppendNumber(day_, count, pos + count);
        if (count == 3) return AppendName(settings_.ShortDayNames, day_of_week_ - 1, pos + count);
        if (count == 4) return AppendName(settings_.LongDayNames, day_of_week_ - 1, pos + count);
        Append(count == 5 ? settings_.ShortDateFormat : settings_.LongDateFormat, depth + 1);
        return pos + count;
      case 'H': {
        int hour = hour_;
        if (HasAmPmAfter(format, pos + count)) hour = hour % 12 == 0 ? 12 : hour % 12;
        return AppendNumber(hour, std::min<size_t>(count, 2), pos + count);
      }
      case 'N': return AppendNumber(min_, std::min<size_t>(count, 2), pos + count);
      case 'S': return AppendNumber(sec_, std::min<size_t>(count, 2), pos + count);
      case 'Z': return AppendNumber(msec_, std::min<size_t>(count, 3), pos + count);
      case 'T':
        Append(count == 1 ? settings_.ShortTimeFormat : settings_.LongTimeFormat, depth + 1);
        return pos + count;
      case 'C':
        AppendDateAndTime(depth);
        return pos + count;
      case 'A': return AppendAmPm(format, pos);
      case '/': out_ += settings_.DateSeparator; return pos + 1;
      case ':': out_ += settings_.TimeSeparator; return pos + 1;
      case '"':
      case '\'': return AppendQuoted(format, pos);
      default: out_ += format[pos]; return pos + 1;
    }
  }

  size_t AppendNumber(int value, size_t digits, size_t next) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", static_cast<int>(digits), value);
    out_ += buffer;
    return next;
  }

  template <size_t N>
  size_t AppendName(const std::array<AnsiString, N>& names, int index, size_t next) {
    // Zero dates (before year 1) have no month or weekday to name.
    if (index >= 0 && index < static_cast<int>(N)) out_ += names[index];
    return next;
  }

  // At midnight the time is left out (milliseconds do not count).
  void AppendDateAndTime(int depth) {
    Append(settings_.ShortDateFormat, depth + 1);
    if (hour_ || min_ || sec_) {
      out_ += ' ';
      Append(settings_.LongTimeFormat, depth + 1);
    }
  }

  // am/pm and a/p copy the marker's own letters; ampm uses the settings' words.
  size_t AppendAmPm(const AnsiString& format, size_t pos) {
    bool pm = hour_ >= 12;
    if (StartsWithNoCase(format, pos, "AM/PM")) {
      out_ += format.substr(pm ? pos + 3 : pos, 2);
      return pos + 5;
    }
    if (StartsWithNoCase(format, pos, "A/P")) {
      out_ += format[pm ? pos + 2 : pos];
      return pos + 3;
    }
    if (StartsWithNoCase(format, pos, "AMPM")) {
      out_ += pm ? settings_.TimePMString : settings_.TimeAMString;
      return pos + 4;
    }
    out_ += format[pos];
    return pos + 1;
  }

  size_t AppendQuoted(const AnsiString& format, size_t pos) {
    size_t close = format.find(format[pos], pos + 1);
    size_t end = close == AnsiString::npos ? format.size() : close;
    out_.append(format, pos + 1, end - pos - 1);
    return close == AnsiString::npos ? end : end + 1;
  }

  const TFormatSettings& settings_;
  int year_, month_, day_, hour_, min_, sec_, msec_, day_of_week_;
  AnsiString out_;
};

}  // namespace

AnsiString FormatDateTime(const AnsiString& format, TDateTime value,
                          const TFormatSettings& settings) {
  DateFormatter formatter(value, settings);
  formatter.Append(format.empty() ? AnsiString("c") : format, 0);
  return formatter.Text();
}

AnsiString DateToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime("ddddd", value, settings);
}

AnsiString TimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime("tt", value, settings);
}

AnsiString DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime("c", value, settings);
}
