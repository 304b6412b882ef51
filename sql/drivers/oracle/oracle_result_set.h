// The native Oracle cursor and the LOB value. TZOracleResultSet describes a
// prepared query, defines one SQL variable per column, runs the query on
// its first Next and fetches one row per Next; values are converted from
// the buffers on demand. TZOracleBlob is a CLOB or BLOB behind a client
// locator: read in 1024-byte pieces on first access, or written into a
// temporary LOB when sent as a parameter.
#pragma once

#include <memory>
#include <vector>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/blobs.h"
#include "sql/drivers/oracle/oracle_connection.h"
#include "sql/drivers/oracle/oracle_sql_vars.h"

struct TZOracleStatementHandles;

class TZOracleResultSet : public TZAbstractResultSet {
public:
  // Describes and defines the query prepared on the handles, which it
  // holds until Close.
  TZOracleResultSet(Ref<IZOraclePlainDriver> plainDriver, const Ref<IZStatement>& statement, const AnsiString& sql,
                    std::shared_ptr<TZOracleStatementHandles> handles);

  // LOB parameters the query still reads: kept until the first fetch ran
  // the query, or until Close.
  void KeepParameterBlobs(std::vector<Ref<IZBlob>> blobs) { parameterBlobs_ = std::move(blobs); }

  void Open() override;
  void Close() override;
  bool Next() override;
  // "Row data is not available" off a row; the column error outside them.
  bool IsNull(int columnIndex) override;

  AnsiString GetString(int columnIndex) override;
  bool GetBoolean(int columnIndex) override;
  std::int8_t GetByte(int columnIndex) override;
  std::int16_t GetShort(int columnIndex) override;
  int GetInt(int columnIndex) override;
  std::int64_t GetLong(int columnIndex) override;
  float GetFloat(int columnIndex) override;
  double GetDouble(int columnIndex) override;
  long double GetBigDecimal(int columnIndex) override;
  TByteDynArray GetBytes(int columnIndex) override;
  TDateTime GetDate(int columnIndex) override;
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  // An Oracle LOB for CLOB and BLOB columns (without locator when NULL);
  // an in-memory blob of the text for the others.
  Ref<IZBlob> GetBlob(int columnIndex) override;

private:
  // The variable of a column on the current row; null when the value is
  // NULL (LastWasNull set either way).
  TZSQLVar* GetColumnVar(int columnIndex);
  AnsiString GetColumnAsString(int columnIndex);
  std::int64_t GetColumnAsInteger(int columnIndex);
  long double GetColumnAsDouble(int columnIndex);
  TDateTime GetColumnAsDateTime(int columnIndex);
  void CheckRow();

  AnsiString sql_;
  std::shared_ptr<TZOracleStatementHandles> handles_;
  OCIStmt* handle_ = nullptr;  // the held handles, for short
  OCIError* errorHandle_ = nullptr;
  Ref<IZOraclePlainDriver> plainDriver_;
  Ref<IZOracleConnection> connection_;
  std::unique_ptr<TZSQLVars> outVars_;
  std::vector<Ref<IZBlob>> parameterBlobs_;
};

class TZOracleBlob : public TZAbstractBlob {
public:
  // binary: a BLOB, else a CLOB. A null locator gives a blob that never reads.
  TZOracleBlob(Ref<IZOraclePlainDriver> plainDriver, Ref<IZOracleConnection> connection, OCILobLocator* locator,
               bool binary);
  // Frees a temporary LOB; the locator belongs to its SQL variable.
  ~TZOracleBlob() override;

  bool IsEmpty() override;
  int GetLength() override;
  AnsiString GetString() override;
  std::unique_ptr<TStream> GetStream() override;
  Ref<IZBlob> Clone() override;
  using TZAbstractBlob::Clone;

  OCILobLocator* GetLobLocator() const { return locator_; }
  // Makes the locator a new temporary LOB of the blob's kind.
  void CreateBlob();
  // Writes the whole value into the LOB (a trim to 0 for an empty value).
  void WriteBlob();

private:
  void ReadBlob();
  void Check(sword status, const char* logText);

  Ref<IZOraclePlainDriver> plainDriver_;
  Ref<IZOracleConnection> connection_;
  OCILobLocator* locator_;
  bool binary_;
  bool temporary_ = false;
};
