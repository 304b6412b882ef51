// Release classification and the published system information. The registry
// is read only to tell apart releases that all report 6.2.

#include "util/routines/system_info.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "util/routines/util_texts.h"
#include "util/routines/registry_readers.h"

namespace {

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr int kArchitectureX64 = 9;
constexpr int kArchitectureIA64 = 6;
constexpr int kArchitectureArm64 = 12;
constexpr std::uint32_t kWinMeKernelVersion = 0x0004005A;
constexpr int kUndecided = -1;

TSystemInformation& Published() {
  static TSystemInformation info;
  return info;
}

bool Reports62(const TWindowsVersionFacts& f) { return f.Major == 6 && f.Minor == 2; }

bool StartsWith(const AnsiString& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The part of the registry's "CurrentVersion" before (Before) or after the
// first "."; a part that is no integer raises EConvertError.
int CurrentVersionPart(const TWindowsVersionFacts& f, bool before) {
  AnsiString text = ReadRegistryTextOr(rkLocalMachine, kCurrentVersionKey, "CurrentVersion",
                                       IntToStr(f.Major) + "." + IntToStr(f.Minor));
  int dot = Pos(".", text);
  return StrToInt(before ? Copy(text, 1, dot - 1) : Copy(text, dot + 1, static_cast<int>(text.size())));
}

TWindowsRelease ClassifyConsumer(const TWindowsVersionFacts& f) {
  AnsiString sp = Trim(f.ServicePack);
  if (f.Minor < 10) return sp == "B" || sp == "C" ? relWin95OSR2 : relWin95;
  if (f.Minor < 90) {
    if (f.KernelProductVersion == kWinMeKernelVersion) return relWinME;
    return sp == "A" || sp == "B" ? relWin98SE : relWin98;
  }
  return f.Minor == 90 ? relWinME : relUnknown;
}

bool IsWorkstation(const TWindowsVersionFacts& f) {
  return f.HasProductType && f.ProductType == kProductWorkstation;
}

TWindowsRelease Classify52(const TWindowsVersionFacts& f) {
  if (f.ServerR2) return relWinServer2003R2;
  if (f.NativeArchitecture != 0 && IsWorkstation(f)) return relWinXP64;
  return relWinServer2003;
}

// The 6.x sub-version: the minor number, or for 6.2 what the product name or
// the registry's version numbers tell (kUndecided: a 10.x release).
int Sub6(const TWindowsVersionFacts& f, int& trueMajor) {
  if (f.Minor != 2) return f.Minor;
  AnsiString product = ReadRegistryTextOr(rkLocalMachine, kCurrentVersionKey, "ProductName", "");
  if (StartsWith(product, RsOSVersionWin81) || StartsWith(product, RsOSVersionWinServer2012R2)) return 3;
  if (StartsWith(product, RsOSVersionWin8) || StartsWith(product, RsOSVersionWinServer2012)) return 2;
  trueMajor = TrueWindowsMajorVersion(f);
  if (trueMajor == 6) return 4;
  if (trueMajor == 10) return kUndecided;
  return f.Minor;
}

TWindowsRelease ByProductType(int sub, bool workstation) {
  static const TWindowsRelease kReleases[][2] = {
      {relWinVista, relWinServer2008}, {relWin7, relWinServer2008R2}, {relWin8, relWinServer2012},
      {relWin81, relWinServer2012R2}, {relWin10, relWinServer2016}};
  if (sub < 0 || sub > 4) return relUnknown;
  return kReleases[sub][workstation ? 0 : 1];
}

TWindowsRelease ClassifyNT(const TWindowsVersionFacts& f) {
  TWindowsRelease release = relUnknown;
  int trueMajor = 0;
  int sub = kUndecided;
  switch (f.Major) {
    case 3:
      return f.Minor == 1 ? relWinNT31 : f.Minor == 5 ? relWinNT35 : f.Minor == 51 ? relWinNT351 : relUnknown;
    case 4:
      return relWinNT4;
    case 5:
      return f.Minor == 0 ? relWin2000 : f.Minor == 1 ? relWinXP : f.Minor == 2 ? Classify52(f) : relUnknown;
    case 6:
      sub = Sub6(f, trueMajor);
      if (sub != kUndecided) release = ByProductType(sub, IsWorkstation(f));
      break;
    case 10:
      trueMajor = 10;
      sub = f.Minor;
      break;
    default:
      return relUnknown;
  }
  if (trueMajor == 10) {
    if (sub == kUndecided) sub = TrueWindowsMinorVersion(f);
    if (sub == 0) return IsWorkstation(f) ? relWin10 : relWinServer2016;
  }
  return release;
}

// PRETTY_NAME of os-release, unquoted; empty when there is none.
AnsiString DistributionName() {
  for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::ifstream in(file);
    if (!in) continue;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
      std::string value = line.substr(12);
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      std::string plain;  // shell escapes inside double quotes
      for (size_t i = 0; i < value.size(); ++i) plain += value[i] == '\\' && i + 1 < value.size() ? value[++i] : value[i];
      return Utf8ToAnsi(plain);
    }
    return "";
  }
  return "";
}

int NativeArchitecture() {
  utsname name{};
  if (uname(&name) != 0) return 0;
  if (std::strcmp(name.machine, "x86_64") == 0) return kArchitectureX64;
  if (std::strcmp(name.machine, "aarch64") == 0) return kArchitectureArm64;
  return 0;
}

}  // namespace

TWindowsVersionFacts PlatformVersionFacts() {
  TWindowsVersionFacts facts;
  facts.NativeArchitecture = NativeArchitecture();
  return facts;
}

TWindowsRelease ClassifyWindowsRelease(const TWindowsVersionFacts& facts) {
  switch (facts.PlatformId) {
    case kPlatformConsumer: return ClassifyConsumer(facts);
    case kPlatformNT: return ClassifyNT(facts);
    default: return relUnknown;
  }
}

int TrueWindowsMajorVersion(const TWindowsVersionFacts& facts) {
  if (!Reports62(facts)) return facts.Major;
  int major = ReadRegistryIntegerOr(rkLocalMachine, kCurrentVersionKey, "CurrentMajorVersionNumber", -1);
  return major != -1 ? major : CurrentVersionPart(facts, true);
}

int TrueWindowsMinorVersion(const TWindowsVersionFacts& facts) {
  if (!Reports62(facts)) return facts.Minor;
  int minor = ReadRegistryIntegerOr(rkLocalMachine, kCurrentVersionKey, "CurrentMinorVersionNumber", -1);
  return minor != -1 ? minor : CurrentVersionPart(facts, false);
}

bool IsWindowsVersionAtLeast(int major, int minor) {
  const TWindowsVersionFacts facts = PlatformVersionFacts();
  return facts.Major > major || (facts.Major == major && facts.Minor >= minor);
}

bool IsWindows64Bit() {
  int architecture = NativeArchitecture();
  return architecture == kArchitectureX64 || architecture == kArchitectureIA64;
}

void InitSystemInformation() { InitSystemInformation(PlatformVersionFacts()); }

void InitSystemInformation(const TWindowsVersionFacts& facts) {
  TSystemInformation info;
  info.ProcessorCount = static_cast<std::uint32_t>(sysconf(_SC_NPROCESSORS_ONLN));
  info.PageSize = static_cast<std::uint32_t>(sysconf(_SC_PAGESIZE));
  info.AllocationGranularity = info.PageSize;  // mappings are placed at page boundaries here
  info.IsWinNT = facts.PlatformId == kPlatformNT;
  info.KernelProductVersion = info.IsWinNT ? 0 : facts.KernelProductVersion;
  info.Release = ClassifyWindowsRelease(facts);
  if (info.Release != relUnknown) info.ReleaseFlags[info.Release] = true;
  if (info.Release == relWinNT351) info.ReleaseFlags[relWinNT35] = true;
  info.IsWinNT3 = info.Release == relWinNT31 || info.Release == relWinNT35 || info.Release == relWinNT351;
  utsname name{};
  if (uname(&name) == 0) {
    info.SystemName = Utf8ToAnsi(name.sysname);
    info.KernelRelease = Utf8ToAnsi(name.release);
    info.KernelVersion = Utf8ToAnsi(name.version);
    info.Machine = Utf8ToAnsi(name.machine);
  }
  info.Distribution = DistributionName();
  Published() = info;
}

const TSystemInformation& SystemInformation() { return Published(); }
