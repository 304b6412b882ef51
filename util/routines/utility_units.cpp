// The utility library's unit order (utility_units.h). Each registering unit
// has its own constant version record; 19 belong to the common sources and 6
// to the desktop-platform sources.

#include "util/routines/utility_units.h"

#include <array>
#include <utility>

#include "util/routines/string_routines.h"
#include "util/routines/shared_memory.h"
#include "util/routines/system_info.h"
#include "util/routines/unit_versioning.h"

namespace {

constexpr int kCommonUnitCount = 19;
constexpr char kCommonLogPath[] = "util\\source\\common";
constexpr char kWindowsLogPath[] = "util\\source\\windows";

constexpr TUnitVersionRecord UnitRecord(int unit) {
  return TUnitVersionRecord{"$URL$", "$Revision$", "$Date$",
                            unit < kCommonUnitCount ? kCommonLogPath : kWindowsLogPath,
                            // the last unit keeps no extra text at all
                            unit == kUtilityUnitCount - 1 ? nullptr : "", nullptr};
}

template <int... Units>
constexpr auto MakeRecords(std::integer_sequence<int, Units...>) {
  return std::array<TUnitVersionRecord, sizeof...(Units)>{UnitRecord(Units)...};
}

const std::array<TUnitVersionRecord, kUtilityUnitCount> kUnitRecords =
    MakeRecords(std::make_integer_sequence<int, kUtilityUnitCount>());

// Units with start-up work of their own, by their place in the unit order.
constexpr int kStringsUnit = 1;
constexpr int kUnicodeUnit = 2;
constexpr int kSysInfoUnit = 3;

void StartUnit(int unit) {
  switch (unit) {
    case kStringsUnit:
      ReadAnsiReplacementChar();
      BuildCharTypeTable();
      BuildCaseTables();
      break;
    case kUnicodeUnit:
      PrepareUnicodeSupport();
      break;
    case kSysInfoUnit:
      InitSystemInformation();
      break;
    default:
      break;
  }
}

}  // namespace

void InitializeUtilityUnits() {
  for (int unit = 0; unit < kUtilityUnitCount; ++unit) {
    StartUnit(unit);
    AddUnitVersion(ProgramModuleHandle(), &kUnitRecords[unit]);
  }
}

void FinalizeUtilityUnits() {
  // The registry's own unit (unit 0) is finalised last.
  for (int unit = kUtilityUnitCount - 1; unit > 0; --unit) {
    RemoveUnitVersions(ProgramModuleHandle());
    if (unit == kUnicodeUnit) FreeUnicodeSupport();
  }
  RemoveUnitVersions(ProgramModuleHandle());
  FinalizeUnitVersionRegistry();
  FinalizeSharedListLock();
}
