// The five built-in styles (MacOS, WinXP, DeepBlue, Protein, BlueGlass): a
// table of 48 elements per style (integers, colours, bitmap resource names,
// booleans) that controls draw from when no skin is ready, and the style a
// new control starts with.
#pragma once

#include <cstdint>

#include "platform/gui/gdi_types.h"
#include "platform/rtl/strings.h"
#include "skin/skin_keys.h"

class TBitmap;
class TComponent;

enum TBuiltInKind : uint8_t { bkInteger = 0, bkColor = 1, bkBitmap = 2, bkBoolean = 3 };

inline constexpr int kBuiltInElementCount = 48;

// The raw entry of element 1..48 and its kind; a style other than 1..5 (taken
// modulo 128) or an element outside 1..48 gives -1 and kind 0. A bitmap
// element's entry is 0: its resource name is BuiltInBitmapName.
int32_t GetBuiltInEntry(uint8_t style, int element, TBuiltInKind& kind);
// The resource name of a bitmap element; empty for other kinds and for the
// elements that name no bitmap.
AnsiString BuiltInBitmapName(uint8_t style, int element);
// Loads the element's bitmap resource into bitmap; anything else leaves it unchanged.
void LoadBuiltInBitmap(uint8_t style, int element, TBitmap* bitmap);
// frameCount 0: the whole bitmap; else frame frameIndex (from 1) of frameCount.
void GetBuiltInBitmap(uint8_t style, int element, TBitmap* dest, int frameCount, int frameIndex);
TColor GetBuiltInColor(uint8_t style, int element);  // 0 unless a colour element
int32_t GetBuiltInInteger(uint8_t style, int element);  // -1 unless an integer element
bool GetBuiltInBool(uint8_t style, int element);  // False unless a boolean element

// The UIStyle of the first skinned frame ("TsuiForm") among a form's direct
// child controls; DeepBlue for anything else.
TsuiUIStyle GetOwnerUIStyle(TComponent* component);
