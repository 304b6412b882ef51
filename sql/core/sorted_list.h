// The pointer list that SQL library code sorts with a comparison of its own
// choosing (typically a method bound to the object that owns the list). The
// platform's list already sorts with the unstable middle-pivot quicksort this
// needs, so the class only gives it the library's name.
#pragma once

#include "platform/rtl/lists.h"

using TZListSortCompare = TListSortCompare;

class TZSortedList : public TList {};
