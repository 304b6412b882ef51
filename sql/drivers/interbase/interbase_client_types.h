// The client library's scalar, handle and callback types, declared here as the
// library declares them for 64-bit Linux, so that the driver's headers (and
// everything above the driver) need not include ibase.h; only the driver's
// sources do, and they check that these declarations agree with it.
#pragma once

#include <cstdint>

typedef char ISC_SCHAR;
typedef unsigned char ISC_UCHAR;
typedef short ISC_SHORT;
typedef unsigned short ISC_USHORT;
typedef int ISC_LONG;
typedef unsigned int ISC_ULONG;
typedef std::intptr_t ISC_STATUS;
typedef int ISC_DATE;
typedef unsigned int ISC_TIME;

typedef unsigned int isc_db_handle;
typedef unsigned int isc_tr_handle;
typedef unsigned int isc_stmt_handle;
typedef unsigned int isc_blob_handle;

typedef void (*ISC_EVENT_CALLBACK)(void*, ISC_USHORT, const ISC_UCHAR*);

// A blob or array identifier.
struct GDS_QUAD_t;
typedef struct GDS_QUAD_t ISC_QUAD;

// The client's status vector: 20 entries of pointer width.
using ISC_STATUS_VECTOR = ISC_STATUS[20];

// isc_dsql_free_statement's option that frees the statement (DSQL_drop).
inline constexpr unsigned short kDsqlDrop = 2;

// The library declares the records below unnamed, so they cannot be declared
// again: these have its fields and layout under names of their own.

// One parameter or result column of a descriptor area.
struct TZIbXSQLVar {
  ISC_SHORT sqltype;
  ISC_SHORT sqlscale;
  ISC_SHORT sqlsubtype;
  ISC_SHORT sqllen;
  ISC_SCHAR* sqldata;
  ISC_SHORT* sqlind;
  ISC_SHORT sqlname_length;
  ISC_SCHAR sqlname[32];
  ISC_SHORT relname_length;
  ISC_SCHAR relname[32];
  ISC_SHORT ownname_length;
  ISC_SCHAR ownname[32];
  ISC_SHORT aliasname_length;
  ISC_SCHAR aliasname[32];
};

// A descriptor area: the header, then sqln variables (the first one here).
struct TZIbXSQLDA {
  ISC_SHORT version;
  ISC_SCHAR sqldaid[8];
  ISC_LONG sqldabc;
  ISC_SHORT sqln;
  ISC_SHORT sqld;
  TZIbXSQLVar sqlvar[1];
};

struct TZIbTimestamp {
  ISC_DATE timestamp_date;
  ISC_TIME timestamp_time;
};

struct TZIbArrayBound {
  short array_bound_lower;
  short array_bound_upper;
};

struct TZIbArrayDesc {
  ISC_UCHAR array_desc_dtype;
  ISC_SCHAR array_desc_scale;
  unsigned short array_desc_length;
  ISC_SCHAR array_desc_field_name[32];
  ISC_SCHAR array_desc_relation_name[32];
  short array_desc_dimensions;
  short array_desc_flags;
  TZIbArrayBound array_desc_bounds[16];
};
