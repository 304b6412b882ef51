// Record helpers and directory sorts of the file tree (see iso_entries.h).

#include "cdwriter/iso_entries.h"

#include <ctime>
#include <utility>

#include "platform/rtl/text.h"

int8_t GmtOffset = 0;

namespace {

constexpr int kFramesPerSecond = 75;
constexpr int kFramesPerMinute = 60 * kFramesPerSecond;
constexpr long kSecondsPerQuarterHour = 15 * 60;
constexpr int kRecordYearBase = 1900;
constexpr int kKeyDigits = 4;  // width of the level and parent numbers in name keys
constexpr char kNoAnsiChar = '_';

bool IsLeadSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsTrailSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The gap passes of every sort: element 0 is never moved; afterwards every
// element's Number is its index + 1. Keys are read while sorting.
template <typename KeyOf>
void GapSort(std::vector<TDEntry*>& items, int high, KeyOf key_of) {
  int gap = high;
  while (gap > 1) {
    gap /= 2;
    bool swapped;
    do {
      swapped = false;
      for (int c = 1; c <= high - gap; ++c) {
        if (key_of(items[c]) > key_of(items[c + gap])) {
          std::swap(items[c], items[c + gap]);
          swapped = true;
        }
      }
    } while (swapped);
  }
  for (int i = 0; i <= high; ++i) items[i]->Number = i + 1;
}

// Joliet names the code page cannot hold share their Windows-1250 form; the
// given text after it keeps their order fixed.
AnsiString NameOf(const TDEntry* d, bool joliet) {
  if (!joliet) return d->ShortName;
  return d->WideName.empty() ? d->LongName : d->LongName + '\0' + WideToUtf8(d->WideName);
}

AnsiString NumberKey(int value) { return PadNumber(kKeyDigits, "0", value) + " "; }

}  // namespace

int8_t LocalGmtOffset() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return static_cast<int8_t>(local.tm_gmtoff / kSecondsPerQuarterHour);
}

void LbaToMsf(int32_t frames, uint8_t& minutes, uint8_t& seconds, uint8_t& frame) {
  minutes = static_cast<uint8_t>(frames / kFramesPerMinute);
  seconds = static_cast<uint8_t>((frames / kFramesPerSecond) % 60);
  frame = static_cast<uint8_t>(frames % kFramesPerSecond);
}

void PutIsoText(const AnsiString& text, uint8_t* dest, size_t len) {
  for (size_t i = 0; i < len; ++i) dest[i] = static_cast<uint8_t>(i < text.size() ? text[i] : ' ');
}

void PutJolietText(const AnsiString& text, uint8_t* dest, size_t len) { PutJolietText(AnsiToWide(text), dest, len); }

void PutJolietText(std::u16string_view text, uint8_t* dest, size_t len) {
  for (size_t i = 0; i < len; ++i) {
    const size_t at = i / 2;
    const char16_t unit = at < text.size() ? text[at] : u' ';
    dest[i] = static_cast<uint8_t>(i % 2 == 0 ? unit >> 8 : unit);
  }
}

AnsiString AnsiNameOf(std::u16string_view name) {
  AnsiString ansi;
  ansi.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    // A character outside the BMP (a surrogate pair) is one "_".
    if (IsLeadSurrogate(name[i]) && i + 1 < name.size() && IsTrailSurrogate(name[i + 1])) ++i;
    ansi += AnsiCharFromWide(name[i], kNoAnsiChar);
  }
  return ansi;
}

void SplitName(const WideString& given, AnsiString& ansi, WideString& wide) {
  ansi = AnsiNameOf(given);
  if (AnsiToWide(ansi) == given) wide.clear();
  else wide = given;
}

WideString GivenName(const AnsiString& ansi, const WideString& wide) { return wide.empty() ? AnsiToWide(ansi) : wide; }

void PutRecordDate(uint8_t* dest, TDateTime date_time) {
  int year, month, day, hour, minute, second, msec;
  DecodeDate(date_time, year, month, day);
  DecodeTime(date_time, hour, minute, second, msec);
  dest[0] = static_cast<uint8_t>(year - kRecordYearBase);
  dest[1] = static_cast<uint8_t>(month);
  dest[2] = static_cast<uint8_t>(day);
  dest[3] = static_cast<uint8_t>(hour);
  dest[4] = static_cast<uint8_t>(minute);
  dest[5] = static_cast<uint8_t>(second);
  dest[6] = static_cast<uint8_t>(GmtOffset);
}

int64_t SectorsOf(int64_t size) { return size / kSectorBytes + (size % kSectorBytes != 0 ? 1 : 0); }

int64_t Form2SectorsOf(TFEntry& entry) {
  if (entry.FileSize == 0) return 0;
  int64_t n = entry.FileSize / kForm2SectorBytes + (entry.FileSize % kForm2SectorBytes != 0 ? 1 : 0);
  entry.FileSize = entry.JolietSize = n * kSectorBytes;
  if (n < kMinForm2Sectors) n = kMinForm2Sectors;
  entry.Form2Size = n * kSectorBytes;
  return n;
}

AnsiString PadNumber(int width, const AnsiString& pad_text, int64_t value) {
  const AnsiString digits = std::to_string(value);
  AnsiString result;
  for (int i = static_cast<int>(digits.size()); i < width; ++i) result += pad_text;
  return result + digits;
}

AnsiString LastPathPart(const AnsiString& path) {
  if (path.size() < 2) return path;
  const size_t slash = path.find_last_of('\\', path.size() - 2);
  return slash == AnsiString::npos ? path : path.substr(slash);
}

void SortByName(std::vector<TDEntry*>& items, int high, bool joliet) {
  GapSort(items, high, [joliet](const TDEntry* d) { return NumberKey(d->Level) + NameOf(d, joliet); });
}

void SortByParentName(std::vector<TDEntry*>& items, int high, bool joliet) {
  GapSort(items, high, [joliet](const TDEntry* d) { return NumberKey(d->Parent->Number) + NameOf(d, joliet); });
}

void SortByNumber(std::vector<TDEntry*>& items, int high) {
  GapSort(items, high, [](const TDEntry* d) { return d->Number; });
}

void SortByParent(std::vector<TDEntry*>& items, int high) {
  GapSort(items, high, [](const TDEntry* d) { return d->Parent->Number; });
}
