// Binding one platform parameter to one position of a prepared statement by
// its data type. The query, the update SQL component, the provider support
// and the script processor all bind through here, so a value reaches the
// server the same way whichever component holds it.
#pragma once

class IZPreparedStatement;
class TParam;

// A null parameter binds SQL NULL of its type. Integers keep their width
// (ftLargeint all 64 bits), floats stay double, currency binds a decimal and
// every text type binds its text; ftSmallint outside -32768..32767 raises the
// range error. A type without a value form (ftUnknown, ftBCD ...) binds nothing.
void BindParamValue(IZPreparedStatement* statement, int index, const TParam& param);
