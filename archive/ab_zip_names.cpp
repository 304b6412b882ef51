// How entry names are stored in ZIP headers and read back: the OEM form when
// the OEM code page holds every character, else the ANSI form, else UTF-8,
// with a Unicode path block beside any non-ASCII name stored in a code page.
// The code pages are a configured pair (852/1250 by default), converted with
// ICU, because Linux has no per-process OEM and ANSI code pages.
#include <unicode/ucnv.h>

#include <array>
#include <bitset>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "archive/ab_utils.h"
#include "archive/ab_zip_records.h"
#include "archive/deflate/df_base.h"
#include "platform/rtl/byte_order.h"
#include "platform/rtl/text.h"

namespace {

constexpr int kSystemCodePage = 1250;  // the program's own text

TAbZipCodePages gCodePages;

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenConverter(int codePage) {
  char name[32];
  UErrorCode err = U_ZERO_ERROR;
  std::snprintf(name, sizeof name, "cp%d", codePage);
  Converter c(ucnv_open(name, &err));
  if (U_FAILURE(err)) {
    err = U_ZERO_ERROR;
    std::snprintf(name, sizeof name, "windows-%d", codePage);
    c.reset(ucnv_open(name, &err));
  }
  return U_FAILURE(err) ? nullptr : std::move(c);
}

// Wide to CodePage; with Stop the first unmappable character fails the call.
bool FromWide(const WideString& wide, int codePage, bool bestFit, bool stop, AnsiString& out) {
  Converter c = OpenConverter(codePage);
  if (!c) return false;
  UErrorCode err = U_ZERO_ERROR;
  ucnv_setFallback(c.get(), bestFit);
  ucnv_setSubstChars(c.get(), "?", 1, &err);
  if (stop) ucnv_setFromUCallBack(c.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
  out.assign(wide.size() * 4 + 4, '\0');
  int32_t n = ucnv_fromUChars(c.get(), out.data(), static_cast<int32_t>(out.size()),
                              reinterpret_cast<const UChar*>(wide.data()), static_cast<int32_t>(wide.size()), &err);
  if (U_FAILURE(err)) {
    out.clear();
    return false;
  }
  out.resize(static_cast<size_t>(n));
  return true;
}

WideString ToWide(const AnsiString& bytes, int codePage) {
  if (codePage == kSystemCodePage) return AnsiToWide(bytes);
  Converter c = OpenConverter(codePage);
  if (!c) return AnsiToWide(bytes);
  UErrorCode err = U_ZERO_ERROR;
  WideString out(bytes.size() * 2 + 2, u'\0');
  int32_t n = ucnv_toUChars(c.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                            bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  out.resize(U_FAILURE(err) ? 0 : static_cast<size_t>(n));
  return out;
}

bool HasHighCharacter(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > 127) return true;
  return false;
}

// --- OEM letter table ------------------------------------------------------------

struct OemLetterRow {
  int codePage;
  const char* ansiLetters;
  const char* oemLetters;
};

constexpr OemLetterRow kOemLetters[] = {
    {437, "8A 8C 8E 9A 9C 9E-9F B5 C0-D6 D8-F6 F8-FF", "80-9A A0-A5 E0-EB ED-EE"},
    {720, "81 8A 8C-90 98 9A 9C 9F AA B5 C0-D6 D8-EF F4 F9 FB-FC FF",
     "82-83 85 87-8C 93 95-9B 9D-AD E0-EF"},
    {737, "A2 B5 B8-BA BC BE-D1 D3-FE", "80-AF E0-F0 F4-F5"},
    {775, "A8 AA AF B8 BA BF-D6 D8-F6 F8-FE", "80-95 97-9B 9D A0-A5 AD B5-B8 BD-BE C6-C7 CF-D8 E0-EE"},
    {850, "8A 8C 8E 9A 9C 9E-9F C0-D6 D8-F6 F8-FF", "80-9B 9D A0-A5 B5-B7 C6-C7 D0-D8 DE E0-ED"},
    {852, "8A 8C-8F 9A 9C-9F A3 A5 AA AF B3 B9-BA BC BE-D6 D8-F6 F8-FE",
     "80-9D 9F-A9 AB-AD B5-B8 BD-BE C6-C7 D0-D8 DD-DE E0-EE FB-FD"},
    {855, "80-81 83 8A 8C-90 9A 9C-9F A1-A3 A5 A8 AA AF B2-B4 B8 BA BC-FF",
     "80-AD B5-B8 BD-BE C6-C7 D0-D8 DD-DE E0-EE F1-FC"},
    {857, "8A 8C 9A 9C 9F C0-D6 D8-F6 F8-FF", "80-9B 9D-A7 B5-B7 C6-C7 D2-D4 D6-D8 DE E0-E6 E9-ED"},
    {862, "B5 D4-D6 E0-FA", "80-9A A0-A5 E0-EB ED-EE"},
    {866, "80-81 83 8A 8C-90 9A 9C-9F A1-A3 A5 A8 AA AF B2-B5 B8 BA BC-FF", "80-AF E0-F7"},
};

// Bytes 128-255 of a list like "80-9A A0".
std::bitset<256> ByteSet(const char* ranges) {
  std::bitset<256> set;
  for (const char* p = ranges; *p;) {
    unsigned from = 0, to = 0;
    int used = 0;
    if (std::sscanf(p, "%2x-%2x%n", &from, &to, &used) == 2) {
    } else if (std::sscanf(p, "%2x%n", &from, &used) == 1) {
      to = from;
    } else {
      break;
    }
    for (unsigned b = from; b <= to && b < 256; ++b) set.set(b);
    p += used;
    while (*p == ' ') ++p;
  }
  return set;
}

}  // namespace

const TAbZipCodePages& AbZipCodePages() { return gCodePages; }
void SetAbZipCodePages(const TAbZipCodePages& pages) { gCodePages = pages; }

uint32_t Crc32OfString(const AnsiString& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  UpdateCrc32(crc, bytes.data(), bytes.size());
  return ~crc;
}

bool TryConvertName(const WideString& wideName, int codePage, bool allowBestFit, AnsiString& result) {
  result.clear();
  if (wideName.empty()) return true;
  if (FromWide(wideName, codePage, allowBestFit, true, result)) return true;
  if (allowBestFit) FromWide(wideName, codePage, true, false, result);
  return false;
}

bool IsOemName(const AnsiString& name) {
  if (!HasHighCharacter(name)) return false;
  // The letter sets are parsed once, not per name.
  struct LetterSets {
    std::bitset<256> ansi, oem;
  };
  static const auto sets = [] {
    std::array<LetterSets, std::size(kOemLetters)> parsed;
    for (size_t i = 0; i < parsed.size(); ++i)
      parsed[i] = {ByteSet(kOemLetters[i].ansiLetters), ByteSet(kOemLetters[i].oemLetters)};
    return parsed;
  }();
  for (size_t i = 0; i < sets.size(); ++i) {
    if (kOemLetters[i].codePage != gCodePages.Oem) continue;
    const std::bitset<256>& ansi = sets[i].ansi;
    const std::bitset<256>& oem = sets[i].oem;
    bool allAnsi = true, allOem = true, any = false;
    for (char ch : name) {
      auto b = static_cast<unsigned char>(ch);
      if (b < 128) continue;
      any = true;
      allAnsi = allAnsi && ansi.test(b);
      allOem = allOem && oem.test(b);
      if (!allAnsi && !allOem) break;
    }
    return any && !allAnsi && allOem;
  }
  return false;
}

namespace {

// The text a name is stored as, with the flags that say how.
struct StoredName {
  AnsiString bytes;
  bool utf8 = false;
  bool ansiHost = false;
};

StoredName ChooseStoredName(const AnsiString& name) {
  const TAbZipCodePages& cp = gCodePages;
  WideString wide = AnsiToWide(name);
  StoredName s;
  if (TryConvertName(wide, cp.Oem, false, s.bytes)) return s;
  bool differ = cp.Ansi != cp.Oem;
  if (differ && TryConvertName(wide, cp.Ansi, false, s.bytes)) {
    s.ansiHost = true;
    return s;
  }
  if (TryConvertName(wide, cp.Oem, true, s.bytes)) return s;
  if (differ && TryConvertName(wide, cp.Ansi, true, s.bytes)) {
    s.ansiHost = true;
    return s;
  }
  s.utf8 = true;
  s.bytes = AnsiToUtf8(name);
  return s;
}

// The UTF-8 name of a Unicode path block whose CRC matches the stored name.
bool UnicodePathName(TAbZipDirectoryFileHeader& h, std::string& name) {
  const uint8_t* data = nullptr;
  uint16_t size = 0;
  if (!h.ExtraField.Get(kAbUnicodePathBlockId, data, size) || size <= 6 || data[0] != 1) return false;
  uint32_t crc = GetLE32(data + 1);
  if (crc != Crc32OfString(h.FileName)) return false;
  name.assign(reinterpret_cast<const char*>(data + 5), size - 5u);
  return true;
}

bool WideNameBlockName(TAbZipDirectoryFileHeader& h, std::string& name) {
  const uint8_t* data = nullptr;
  uint16_t size = 0;
  if (!h.ExtraField.Get(kAbWideNameBlockId, data, size) || size <= 10 || std::memcmp(data, "NUCX", 4) != 0)
    return false;
  uint32_t count = GetLE32(data + 4);
  if (static_cast<uint64_t>(size) - 8 != 2ull * count) return false;
  WideString wide(count, u'\0');
  for (uint32_t i = 0; i < count; ++i) wide[i] = static_cast<char16_t>(GetLE16(data + 8 + 2 * i));
  name = WideToUtf8(wide);
  return true;
}

}  // namespace

void AbZipApplyName(TAbZipDirectoryFileHeader& header, const AnsiString& name) {
  StoredName s = ChooseStoredName(name);
  header.SetIsUTF8(s.utf8);
  header.VersionMadeBy = s.ansiHost ? kAbZipHostAnsi : 0;
  header.FileName = s.bytes;
  if (!s.utf8 && HasHighCharacter(name)) {
    std::string utf8 = AnsiToUtf8(name);
    uint32_t crc = Crc32OfString(s.bytes);
    AnsiString block(1, '\1');
    for (int i = 0; i < 4; ++i) block.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
    block += utf8;
    header.ExtraField.Put(kAbUnicodePathBlockId, block.data(), static_cast<uint16_t>(block.size()));
  } else {
    header.ExtraField.Delete(kAbUnicodePathBlockId);
  }
  header.ExtraField.Delete(kAbWideNameBlockId);
}

void AbZipApplyUtf8Name(TAbZipDirectoryFileHeader& header, const AnsiString& name) {
  header.SetIsUTF8(true);
  header.VersionMadeBy &= 0x00FF;  // host 0 as for any UTF-8 name; the version stays
  header.FileName = AnsiToUtf8(name);
  header.ExtraField.Delete(kAbUnicodePathBlockId);
  header.ExtraField.Delete(kAbWideNameBlockId);
}

std::string AbZipUtf8Name(TAbZipDirectoryFileHeader& header) {
  const AnsiString& stored = header.FileName;
  if (header.IsUTF8() || DetectUtf8(stored) == ckUtf8) return stored;
  std::string name;
  if (UnicodePathName(header, name) || WideNameBlockName(header, name)) return name;
  const TAbZipCodePages& cp = gCodePages;
  if (cp.Ansi != cp.Oem && ((header.VersionMadeBy >> 8) == 0 || IsOemName(stored)))
    return WideToUtf8(ToWide(stored, cp.Oem));
  return WideToUtf8(ToWide(stored, cp.Ansi));
}

AnsiString AbZipDisplayName(TAbZipDirectoryFileHeader& header) { return Utf8ToSystem(AbZipUtf8Name(header)); }
