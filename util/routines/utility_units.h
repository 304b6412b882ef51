// Start-up and shutdown of the utility library, in unit order: the
// unit-version registry first (its named mutex and shared block), then the
// replacement character, the character tables, the Unicode support and the
// system information, each unit registering its version record. Shutdown runs
// the clean-up in reverse and releases the mutex and the block last. The
// program calls both once, at its start and at its end.
#pragma once

void InitializeUtilityUnits();
void FinalizeUtilityUnits();

// The number of units that register a version record.
constexpr int kUtilityUnitCount = 25;
