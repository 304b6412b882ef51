// The client library's handle types and the few enumerations and records its
// calls take, declared here so that the driver's headers (and everything
// above the driver) need not include the library's header; only the driver's
// sources do. The plain driver's source checks that they agree with it.
#pragma once

struct pg_conn;
struct pg_result;
struct pgNotify;
struct _PQconninfoOption;

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;
typedef struct pgNotify PGnotify;
typedef struct _PQconninfoOption PQconninfoOption;
typedef unsigned int Oid;
typedef void (*PQnoticeProcessor)(void* arg, const char* message);

// The library declares these enumerations and the argument block unnamed, so
// they cannot be declared again: ours are scoped and carry its values.
// Values past the last one named here pass through unchanged.
enum class TZPgConnStatus : int { CONNECTION_OK, CONNECTION_BAD };
enum class TZPgExecStatus : int {
  PGRES_EMPTY_QUERY,
  PGRES_COMMAND_OK,
  PGRES_TUPLES_OK,
  PGRES_COPY_OUT,
  PGRES_COPY_IN,
  PGRES_BAD_RESPONSE,
  PGRES_NONFATAL_ERROR,
  PGRES_FATAL_ERROR,
};

// An argument of PQfn.
struct TZPgArgBlock {
  int len;
  int isint;
  union {
    int* ptr;
    int integer;
  } u;
};

// The error field code of the SQLSTATE (PG_DIAG_SQLSTATE).
inline constexpr int kPgDiagSqlState = 'C';
