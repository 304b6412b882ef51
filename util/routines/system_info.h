// System information read once at start-up: processor count, page size, the
// system actually running (kernel name, release and version, machine, the
// distribution's name), and the platform line and Windows release whose
// features the library may use here. The release classification takes the
// version facts as a parameter, so every branch can be checked; the running
// system offers the features of 10.0 workstation.
#pragma once

#include <array>
#include <cstdint>

#include "platform/rtl/strings.h"

enum TWindowsRelease {
  relUnknown, relWin95, relWin95OSR2, relWin98, relWin98SE, relWinME, relWinNT31, relWinNT35,
  relWinNT351, relWinNT4, relWin2000, relWinXP, relWinServer2003, relWinXP64, relWinServer2003R2,
  relWinVista, relWinServer2008, relWin7, relWinServer2008R2, relWin8, relReserved20,
  relWinServer2012, relWin81, relReserved23, relWinServer2012R2, relWin10, relWinServer2016
};

constexpr int kPlatformConsumer = 1;
constexpr int kPlatformNT = 2;
constexpr int kProductWorkstation = 1;

// What the platform's version queries answer.
struct TWindowsVersionFacts {
  int PlatformId = kPlatformNT;
  int Major = 10;
  int Minor = 0;
  AnsiString ServicePack;               // service-pack text
  bool ServerR2 = false;                // the server-second-release system metric
  int NativeArchitecture = 9;           // 0 x86, 6 IA-64, 9 x64, 12 ARM64
  bool HasProductType = true;           // the extended version query succeeded
  int ProductType = kProductWorkstation;
  std::uint32_t KernelProductVersion = 0;  // high half of the kernel's product version
};

// The facts of the running system: NT line, 10.0, workstation.
TWindowsVersionFacts PlatformVersionFacts();

TWindowsRelease ClassifyWindowsRelease(const TWindowsVersionFacts& facts);
// The version the registry records where the platform reports 6.2 for every
// later release; otherwise the platform's own numbers.
int TrueWindowsMajorVersion(const TWindowsVersionFacts& facts);
int TrueWindowsMinorVersion(const TWindowsVersionFacts& facts);

bool IsWindowsVersionAtLeast(int major, int minor);
bool IsWindows64Bit();

struct TSystemInformation {
  std::uint32_t ProcessorCount = 0;
  std::uint32_t AllocationGranularity = 0;
  std::uint32_t PageSize = 0;
  bool IsWinNT = false;
  std::uint32_t KernelProductVersion = 0;
  TWindowsRelease Release = relUnknown;
  std::array<bool, relWinServer2016 + 1> ReleaseFlags{};  // the flag of relUnknown is never set
  bool IsWinNT3 = false;                                  // NT 3.1, 3.5 or 3.51
  // The running system as it names itself: uname's "Linux", "6.1.0-18-amd64",
  // "#1 SMP ...", "x86_64", and the PRETTY_NAME of os-release (empty when the
  // file is missing), e.g. "Debian GNU/Linux 12 (bookworm)".
  AnsiString SystemName, KernelRelease, KernelVersion, Machine, Distribution;
};

// Fills the published state from the facts (the running system's by default).
void InitSystemInformation();
void InitSystemInformation(const TWindowsVersionFacts& facts);
const TSystemInformation& SystemInformation();
