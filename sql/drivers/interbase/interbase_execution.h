// The dynamic SQL routines the Interbase/Firebird statements, result sets and
// descriptor areas share: preparing a statement and learning its kind,
// describing columns and parameters into areas, binding parameter values,
// counting changed rows, freeing a statement, reading and writing whole
// blobs, and the server's version text. Every client status is checked with
// CheckInterbase6Error.
#pragma once

#include <cstdint>

#include "sql/core/variant.h"
#include "sql/drivers/interbase/interbase_sqlda.h"

// Statement kinds as the client reports them (isc_info_sql_stmt_type).
enum : int {
  kStmtSelect = 1,
  kStmtInsert = 2,
  kStmtUpdate = 3,
  kStmtDelete = 4,
  kStmtDdl = 5,
  kStmtGetSegment = 6,
  kStmtPutSegment = 7,
  kStmtExecProcedure = 8,
  kStmtStartTransaction = 9,
  kStmtCommit = 10,
  kStmtRollback = 11,
  kStmtSelectForUpdate = 12,
};

// Blob segments are written this long, the last one shorter.
inline constexpr int kBlobSegmentSize = 16384;

// What isc_blob_info tells about an open blob. The segment count is kept in
// 32 bits: a blob may well have more than 65535 segments.
struct TZBlobInfo {
  std::int32_t NumSegments = 0;
  std::uint16_t MaxSegmentSize = 0;
  std::int16_t BlobType = 0;
  std::int32_t TotalSize = 0;
};

// Allocates and prepares sql into stmtHandle and returns its kind. A kind the
// driver does not run (none, blob segments, SET TRANSACTION) frees the
// handle again, leaves it 0 and raises "Statement is not allowed"; so does a
// statement the server refuses, with the server's error. With utf8Text the
// text goes to the client in UTF-8.
int PrepareStatement(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle,
                     std::uint16_t dialect, const AnsiString& sql, isc_stmt_handle& stmtHandle,
                     bool utf8Text = false);
// The prepared statement's kind; 0 when the reply does not carry it.
int GetStatementType(IZInterbasePlainDriver* plainDriver, isc_stmt_handle& stmtHandle);
// Describes the statement's columns into sqlData, growing it as needed, and
// gives them their buffers.
void PrepareResultSqlData(IZInterbasePlainDriver* plainDriver, std::uint16_t dialect, const AnsiString& sql,
                          isc_stmt_handle& stmtHandle, IZResultSQLDA* sqlData);
// Describes the parameters into paramSqlData and binds the values, each
// converted by its type; a count other than the markers' raises "Input
// parameter count is less then expected" before anything is bound.
void PrepareParameters(IZInterbasePlainDriver* plainDriver, const AnsiString& sql,
                       const TZVariantDynArray& inParamValues, const TZSQLTypeArray& inParamTypes,
                       int inParamCount, std::uint16_t dialect, isc_stmt_handle& stmtHandle,
                       IZParamsSQLDA* paramSqlData);
// Drops the statement (nothing for 0) and leaves the handle 0.
void FreeStatement(IZInterbasePlainDriver* plainDriver, isc_stmt_handle& stmtHandle);
// Rows an insert, update or delete changed; -1 for any other kind and when
// the client cannot tell.
int GetAffectedRows(IZInterbasePlainDriver* plainDriver, isc_stmt_handle& stmtHandle, int statementType);
void GetBlobInfo(IZInterbasePlainDriver* plainDriver, isc_blob_handle& blobHandle, TZBlobInfo& blobInfo);
// The whole blob. On any failure the blob is cancelled before the error goes
// on; a client that keeps handing out empty segments is an error too.
AnsiString ReadBlobBuffer(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle,
                          const ISC_QUAD& blobId);
// Writes data into a new blob in segments of kBlobSegmentSize; its identifier.
ISC_QUAD WriteBlobBuffer(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle,
                         const AnsiString& data);
// The server's first version text, e.g. "LI-V6.3.11.33637 Firebird 3.0".
AnsiString GetDatabaseVersionString(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle);
