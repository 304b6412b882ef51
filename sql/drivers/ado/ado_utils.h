// The ADO driver's type conversions: ADO data type codes to and from the
// column types, variant type codes to ADO codes, and OLE DB schema GUIDs to
// ADO schema numbers. None of them raises.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rtl/variant.h"
#include "sql/core/sql_types.h"
#include "sql/drivers/ado/ado_objects.h"

// Single precision reads as stDouble, fixed and variable binary as
// stBinaryStream; unknown codes (char, GUID ...) as stString.
TZSQLType ConvertAdoToSqlType(std::int16_t adoType);
// adEmpty for stUnknown.
int ConvertSqlTypeToAdo(TZSQLType sqlType);
// The code masked to its type bits first; a byte array is adLongVarBinary,
// null and 8-bit text adVarChar, unknown codes adEmpty.
int ConvertVariantToAdo(TVarType varType);
// The SchemaEnum number of an OLE DB schema rowset GUID
// {C8B522xx-5CF3-11CE-ADE5-00AA0044773D}; -1 for any other GUID.
int ConvertOleDBToAdoSchema(const TGUID& schema);

// The bytes of a binary value: a byte array, or the 8-bit text of anything else.
std::string VariantBytes(const Variant& value);
// A byte array of bytes (bounds 0 to size - 1).
Variant ByteArrayVariant(std::string_view bytes);
