// The style choice every skinned control carries, and the 84 record names of
// a skin file. Controls ask for a key by family and number; the theme adds
// the family's first index to find the record name.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/strings.h"

enum TsuiUIStyle : uint8_t { FromThemeFile = 0, MacOS = 1, WinXP = 2, DeepBlue = 3, Protein = 4, BlueGlass = 5 };

// The value names of TsuiUIStyle, as published properties show them.
const std::vector<AnsiString>& UIStyleNames();

inline constexpr int kSkinKeyCount = 84;
inline constexpr int kSkinColorBase = 0;
inline constexpr int kSkinBitmapBase = 32;
inline constexpr int kSkinIntegerBase = 66;
inline constexpr int kSkinBoolBase = 75;

extern const char* const SkinKeyNames[kSkinKeyCount];

// The record name of number n of a family (only n's low 7 bits count, as the
// getters take the number as a byte); empty when it lies beyond the table.
AnsiString SkinKeyName(int familyBase, uint8_t n);
