// The dataset framework's own message texts, verbatim. Callers format the
// "%s"/"%d" placeholders with Format or DatabaseErrorFmt.
#pragma once

inline constexpr char SFieldNotFound[] = "Field '%s' not found";
inline constexpr char SParamNotFound[] = "Parameter '%s' not found";
inline constexpr char SFieldReadOnly[] = "Field '%s' cannot be modified";
inline constexpr char SFieldValueTooLong[] = "Value of %d characters is too long for field '%s' of size %d";
inline constexpr char SFieldValueHoldsZero[] = "Value for field '%s' holds a zero character, which ends a text";
inline constexpr char SNotEditing[] = "Dataset not in edit or insert mode";
inline constexpr char SDataSetClosed[] = "Cannot perform this operation on a closed dataset";
inline constexpr char SDataSetOpen[] = "Cannot perform this operation on an open dataset";
inline constexpr char SDataSetReadOnly[] = "Cannot modify a read-only dataset";
inline constexpr char SDataSetEmpty[] = "Cannot perform this operation on an empty dataset";
inline constexpr char SRecordNotFound[] = "Record not found";
inline constexpr char SFieldRangeError[] =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr char SNotInteger[] = "'%s' is not a valid integer value for field '%s'";
inline constexpr char SNotFloat[] = "'%s' is not a valid floating point value for field '%s'";
inline constexpr char SNotBoolean[] = "'%s' is not a valid boolean value for field '%s'";
inline constexpr char SFieldAccessError[] = "Cannot access field '%s' as type %s";
inline constexpr char SFieldTypeMismatch[] =
    "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr char SFieldSizeMismatch[] =
    "Size mismatch for field '%s', expecting: %d actual: %d";
inline constexpr char SDuplicateFieldName[] = "Duplicate field name '%s'";
inline constexpr char SUniDirectional[] = "Operation not allowed on a unidirectional dataset";
inline constexpr char SFieldNoDataSet[] = "Field '%s' has no dataset";
