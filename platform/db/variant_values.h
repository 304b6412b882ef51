// Reading platform variants the way fields and parameters need them: any
// scalar as text (numbers with the format settings' decimal separator) and
// value equality across the variant kinds.
#pragma once

#include "platform/rtl/variant.h"

// The text of a scalar variant: numbers, booleans ("True"/"False") and dates
// in the platform's text forms; empty for Null and Unassigned.
AnsiString VariantText(const Variant& value);
// Same type and same value (element by element for arrays).
bool SameVariant(const Variant& a, const Variant& b);
