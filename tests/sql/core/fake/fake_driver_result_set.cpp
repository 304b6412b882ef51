// A driver-style result set for the fake driver: the canned rows behind the
// result-set base, so that its column descriptions are the base's and complete
// themselves from the catalogue, as a real driver's do.

#include <algorithm>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/blobs.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

constexpr int kTextColumnPrecision = 255;

class TZFakeDriverResultSet : public TZAbstractResultSet {
public:
  TZFakeDriverResultSet(const Ref<IZStatement>& statement, const AnsiString& sql, const TZFakeResult& result)
      : TZAbstractResultSet(statement, sql), rows_(MakeFakeResultSet(statement, result)) {}

  void AfterConstruction() override {
    TZAbstractResultSet::AfterConstruction();
    Open();
  }

  void Open() override {
    Ref<IZResultSetMetadata> metadata = rows_->GetMetadata();
    for (int i = 1; i <= metadata->GetColumnCount(); ++i) {
      TZColumnInfo& column = ColumnsInfo.Add();
      column.ColumnLabel = metadata->GetColumnLabel(i);
      column.ColumnType = metadata->GetColumnType(i);
      if (column.ColumnType == stString) column.Precision = kTextColumnPrecision;
    }
    rows_->Last();
    LastRowNo = rows_->GetRow();
    rows_->BeforeFirst();
    TZAbstractResultSet::Open();
  }

  bool MoveAbsolute(int row) override {
    CheckClosed();
    RowNo = std::clamp(row, 0, LastRowNo + 1);
    return rows_->MoveAbsolute(RowNo);
  }

  bool IsNull(int column) override { return rows_->IsNull(column); }
  AnsiString GetString(int column) override { return Read(&IZResultSet::GetString, column); }
  WideString GetUnicodeString(int column) override { return Read(&IZResultSet::GetUnicodeString, column); }
  bool GetBoolean(int column) override { return Read(&IZResultSet::GetBoolean, column); }
  std::int8_t GetByte(int column) override { return Read(&IZResultSet::GetByte, column); }
  std::int16_t GetShort(int column) override { return Read(&IZResultSet::GetShort, column); }
  int GetInt(int column) override { return Read(&IZResultSet::GetInt, column); }
  std::int64_t GetLong(int column) override { return Read(&IZResultSet::GetLong, column); }
  float GetFloat(int column) override { return Read(&IZResultSet::GetFloat, column); }
  double GetDouble(int column) override { return Read(&IZResultSet::GetDouble, column); }
  long double GetBigDecimal(int column) override { return Read(&IZResultSet::GetBigDecimal, column); }
  TDateTime GetDate(int column) override { return Read(&IZResultSet::GetDate, column); }
  TDateTime GetTime(int column) override { return Read(&IZResultSet::GetTime, column); }
  TDateTime GetTimestamp(int column) override { return Read(&IZResultSet::GetTimestamp, column); }
  // The text of the canned value as a large object; none for NULL.
  Ref<IZBlob> GetBlob(int column) override {
    AnsiString text = GetString(column);
    if (LastWasNull) return nullptr;
    Ref<IZBlob> blob = MakeRef<TZAbstractBlob>();
    blob->SetString(text);
    return blob;
  }

private:
  template <class T>
  T Read(T (IZResultSet::*get)(int), int column) {
    T value = ((*rows_).*get)(column);
    LastWasNull = rows_->WasNull();
    return value;
  }

  Ref<IZResultSet> rows_;
};

}  // namespace

Ref<IZResultSet> MakeFakeDriverResultSet(const Ref<IZStatement>& statement, const AnsiString& sql,
                                         const TZFakeResult& result) {
  return MakeRef<TZFakeDriverResultSet>(statement, sql, result);
}
