// The base of server-side sequences: name, block size and the connection,
// which the sequence keeps alive. Drivers supply the SQL of their dialect and
// run it for the current and next value.
#pragma once

#include "sql/core/dbc/interfaces.h"

class TZAbstractSequence : public TZAbstractObject, public virtual IZSequence {
public:
  TZAbstractSequence(Ref<IZConnection> connection, AnsiString name, int blockSize)
      : name_(std::move(name)), blockSize_(blockSize), connection_(std::move(connection)) {}

  AnsiString GetName() override { return name_; }
  int GetBlockSize() override { return blockSize_; }
  void SetName(const AnsiString& value) override { name_ = value; }
  void SetBlockSize(int value) override { blockSize_ = value; }
  // 0 without asking the server; drivers run their query instead.
  std::int64_t GetCurrentValue() override { return 0; }
  std::int64_t GetNextValue() override { return 0; }
  AnsiString GetCurrentValueSQL() override = 0;
  AnsiString GetNextValueSQL() override = 0;
  Ref<IZConnection> GetConnection() override { return connection_; }

protected:
  // The first column of the first row of a query on the connection, 0 when
  // it returns no row; result and statement are closed again.
  std::int64_t QueryValue(const AnsiString& sql) {
    Ref<IZStatement> statement = connection_->CreateStatement();
    Ref<IZResultSet> resultSet = statement->ExecuteQuery(sql);
    std::int64_t value = resultSet && resultSet->Next() ? resultSet->GetLong(1) : 0;
    if (resultSet) resultSet->Close();
    statement->Close();
    return value;
  }

private:
  AnsiString name_;
  int blockSize_;
  Ref<IZConnection> connection_;
};
