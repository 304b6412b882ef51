// Conversions between the SQL library's values and the platform's variant,
// which the dataset layer hands around: tagged values, arrays of them, and
// byte arrays as variant arrays of bytes.
#pragma once

#include "platform/rtl/variant.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"

// Integers beyond +-2147483646 travel as their decimal text.
Variant EncodeVariant(const TZVariant& value);
// A variant array with bounds 0 .. Length-1.
Variant EncodeVariantArray(const TZVariantDynArray& values);
// Kinds without a counterpart (empty, null, arrays ...) give a null.
TZVariant DecodeVariant(const Variant& value);
// A non-array gives one element; an array one per index, placed from 0 on.
TZVariantDynArray DecodeVariantArray(const Variant& value);

// A variant array of bytes with bounds 0 .. Length-1.
Variant BytesToVar(const TByteDynArray& value);
// Anything but a one-dimensional byte array raises "Invalid VarByte array".
TByteDynArray VarToBytes(const Variant& value);
