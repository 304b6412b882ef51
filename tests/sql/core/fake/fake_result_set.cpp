// The fake driver's result set: a read-only, scrollable cursor over canned
// rows, typed reads through the lenient variant manager, and a metadata
// object that describes the canned columns.

#include <functional>

#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

class TZFakeResultSetMetadata : public TContainedObject, public virtual IZResultSetMetadata {
public:
  TZFakeResultSetMetadata(IInterface* owner, const std::vector<TZFakeColumn>& columns)
      : TContainedObject(owner), columns_(columns) {}

  int GetColumnCount() override { return static_cast<int>(columns_.size()); }
  bool IsAutoIncrement(int) override { return false; }
  bool IsCaseSensitive(int) override { return true; }
  bool IsSearchable(int) override { return true; }
  bool IsCurrency(int) override { return false; }
  TZColumnNullableType IsNullable(int) override { return ntNullable; }
  bool IsSigned(int column) override { return IsNumericSQLType(Column(column).Type); }
  int GetColumnDisplaySize(int) override { return 0; }
  AnsiString GetColumnLabel(int column) override { return Column(column).Name; }
  AnsiString GetColumnName(int column) override { return Column(column).Name; }
  AnsiString GetSchemaName(int) override { return AnsiString(); }
  int GetPrecision(int) override { return 0; }
  int GetScale(int) override { return 0; }
  AnsiString GetTableName(int) override { return AnsiString(); }
  AnsiString GetCatalogName(int) override { return AnsiString(); }
  TZSQLType GetColumnType(int column) override { return Column(column).Type; }
  AnsiString GetColumnTypeName(int column) override { return GetSQLTypeName(Column(column).Type); }
  bool IsReadOnly(int) override { return true; }
  bool IsWritable(int) override { return false; }
  bool IsDefinitelyWritable(int) override { return false; }
  AnsiString GetDefaultValue(int) override { return AnsiString(); }
  bool HasDefaultValue(int) override { return false; }

private:
  const TZFakeColumn& Column(int column) const {
    if (column < 1 || column > static_cast<int>(columns_.size()))
      throw EZSQLException(Format(SZColumnIsNotAccessable, {column}));
    return columns_[column - 1];
  }

  const std::vector<TZFakeColumn>& columns_;
};

class TZFakeResultSet : public TZAbstractObject, public virtual IZResultSet {
public:
  TZFakeResultSet(Ref<IZStatement> statement, TZFakeResult result)
      : statement_(std::move(statement)), result_(std::move(result)), metadata_(this, result_.Columns) {}

  bool Next() override { return MoveAbsolute(row_ + 1); }
  void Close() override { closed_ = true; }
  bool WasNull() override { return lastWasNull_; }

  bool IsNull(int column) override {
    Value(column);
    return lastWasNull_;
  }
  const char* GetPChar(int column) override {
    temporaryString_ = GetString(column);
    return temporaryString_.c_str();
  }
  AnsiString GetString(int column) override { return Read<AnsiString>(column, &IZVariantManager::GetAsString); }
  WideString GetUnicodeString(int column) override {
    return Read<WideString>(column, &IZVariantManager::GetAsUnicodeString);
  }
  bool GetBoolean(int column) override { return Read<bool>(column, &IZVariantManager::GetAsBoolean); }
  std::int8_t GetByte(int column) override { return static_cast<std::int8_t>(GetLong(column)); }
  std::int16_t GetShort(int column) override { return static_cast<std::int16_t>(GetLong(column)); }
  int GetInt(int column) override { return static_cast<int>(GetLong(column)); }
  std::int64_t GetLong(int column) override {
    return Read<std::int64_t>(column, &IZVariantManager::GetAsInteger);
  }
  float GetFloat(int column) override { return static_cast<float>(GetBigDecimal(column)); }
  double GetDouble(int column) override { return static_cast<double>(GetBigDecimal(column)); }
  long double GetBigDecimal(int column) override {
    return Read<long double>(column, &IZVariantManager::GetAsFloat);
  }
  TByteDynArray GetBytes(int column) override { return StrToBytes(GetString(column)); }
  TDateTime GetDate(int column) override { return GetTimestamp(column); }
  TDateTime GetTime(int column) override { return GetTimestamp(column); }
  TDateTime GetTimestamp(int column) override {
    return Read<TDateTime>(column, &IZVariantManager::GetAsDateTime);
  }
  std::unique_ptr<TStream> GetAsciiStream(int column) override { return TextStream(GetString(column)); }
  std::unique_ptr<TStream> GetUnicodeStream(int column) override {
    WideString text = GetUnicodeString(column);
    return TextStream(AnsiString(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)));
  }
  std::unique_ptr<TStream> GetBinaryStream(int column) override { return GetAsciiStream(column); }
  Ref<IZBlob> GetBlob(int) override { throw EZSQLException(SZUnsupportedOperation); }
  TZVariant GetValue(int column) override { return Value(column); }

  EZSQLWarning* GetWarnings() override { return nullptr; }
  void ClearWarnings() override {}
  AnsiString GetCursorName() override { return AnsiString(); }
  Ref<IZResultSetMetadata> GetMetadata() override { return Ref<IZResultSetMetadata>(&metadata_); }

  int FindColumn(const AnsiString& columnName) override {
    CheckClosed();
    for (int i = 0; i < ColumnCount(); ++i)
      if (result_.Columns[i].Name == columnName) return i + 1;
    for (int i = 0; i < ColumnCount(); ++i)
      if (AnsiUpperCase(result_.Columns[i].Name) == AnsiUpperCase(columnName)) return i + 1;
    return 0;
  }

  bool IsBeforeFirst() override { return row_ == 0; }
  bool IsAfterLast() override { return row_ > RowCount(); }
  bool IsFirst() override { return row_ == 1 && RowCount() > 0; }
  bool IsLast() override { return row_ == RowCount() && RowCount() > 0; }
  void BeforeFirst() override { MoveAbsolute(0); }
  void AfterLast() override { MoveAbsolute(RowCount() + 1); }
  bool First() override { return MoveAbsolute(1); }
  bool Last() override { return MoveAbsolute(RowCount()); }
  int GetRow() override { return row_ >= 1 && row_ <= RowCount() ? row_ : 0; }
  bool MoveAbsolute(int row) override {
    CheckClosed();
    row_ = std::clamp(row, 0, RowCount() + 1);
    return row_ >= 1 && row_ <= RowCount();
  }
  bool MoveRelative(int rows) override { return MoveAbsolute(row_ + rows); }
  bool Previous() override { return MoveAbsolute(row_ - 1); }

  void SetFetchDirection(TZFetchDirection) override {}
  TZFetchDirection GetFetchDirection() override { return fdForward; }
  void SetFetchSize(int value) override { fetchSize_ = value; }
  int GetFetchSize() override { return fetchSize_; }
  TZResultSetType GetType() override { return rtScrollInsensitive; }
  TZResultSetConcurrency GetConcurrency() override { return rcReadOnly; }
  TZUpdatesMode GetPostUpdates() override { return 0; }
  TZUpdatesMode GetLocateUpdates() override { return 0; }
  bool RowUpdated() override { return false; }
  bool RowInserted() override { return false; }
  bool RowDeleted() override { return false; }

  // Canned rows cannot change.
  void UpdateNull(int) override { RaiseReadOnly(); }
  void UpdateBoolean(int, bool) override { RaiseReadOnly(); }
  void UpdateByte(int, std::int8_t) override { RaiseReadOnly(); }
  void UpdateShort(int, std::int16_t) override { RaiseReadOnly(); }
  void UpdateInt(int, int) override { RaiseReadOnly(); }
  void UpdateLong(int, std::int64_t) override { RaiseReadOnly(); }
  void UpdateFloat(int, float) override { RaiseReadOnly(); }
  void UpdateDouble(int, double) override { RaiseReadOnly(); }
  void UpdateBigDecimal(int, long double) override { RaiseReadOnly(); }
  void UpdatePChar(int, const char*) override { RaiseReadOnly(); }
  void UpdateString(int, const AnsiString&) override { RaiseReadOnly(); }
  void UpdateUnicodeString(int, const WideString&) override { RaiseReadOnly(); }
  void UpdateBytes(int, const TByteDynArray&) override { RaiseReadOnly(); }
  void UpdateDate(int, TDateTime) override { RaiseReadOnly(); }
  void UpdateTime(int, TDateTime) override { RaiseReadOnly(); }
  void UpdateTimestamp(int, TDateTime) override { RaiseReadOnly(); }
  void UpdateAsciiStream(int, TStream*) override { RaiseReadOnly(); }
  void UpdateUnicodeStream(int, TStream*) override { RaiseReadOnly(); }
  void UpdateBinaryStream(int, TStream*) override { RaiseReadOnly(); }
  void UpdateValue(int, const TZVariant&) override { RaiseReadOnly(); }
  void InsertRow() override { RaiseReadOnly(); }
  void UpdateRow() override { RaiseReadOnly(); }
  void DeleteRow() override { RaiseReadOnly(); }
  void RefreshRow() override { throw EZSQLException(SZUnsupportedOperation); }
  void CancelRowUpdates() override { RaiseReadOnly(); }
  void MoveToInsertRow() override { RaiseReadOnly(); }
  void MoveToCurrentRow() override {}
  int CompareRows(int, int, const TZIntegerDynArray&, const TZBooleanDynArray&) override {
    throw EZSQLException(SZUnsupportedOperation);
  }
  Ref<IZStatement> GetStatement() override { return statement_; }

private:
  int RowCount() const { return static_cast<int>(result_.Rows.size()); }
  int ColumnCount() const { return static_cast<int>(result_.Columns.size()); }

  void CheckClosed() const {
    if (closed_) throw EZSQLException(SZOperationIsNotAllowed3);
  }
  [[noreturn]] static void RaiseReadOnly() { throw EZSQLException(SZOperationIsNotAllowed2); }

  const TZVariant& Value(int column) {
    CheckClosed();
    if (GetRow() == 0) throw EZSQLException(SZRowDataIsNotAvailable);
    if (column < 1 || column > ColumnCount()) throw EZSQLException(Format(SZColumnIsNotAccessable, {column}));
    const TZVariant& value = result_.Rows[row_ - 1].at(column - 1);
    lastWasNull_ = value.VType == vtNull;
    return value;
  }

  // A NULL reads as the type's zero value.
  template <class T>
  T Read(int column, T (IZVariantManager::*get)(const TZVariant&) const) {
    const TZVariant& value = Value(column);
    return lastWasNull_ ? T() : std::invoke(get, *SoftVarManager(), value);
  }

  std::unique_ptr<TStream> TextStream(const AnsiString& text) {
    if (lastWasNull_) return nullptr;
    return std::make_unique<TStringStream>(text);
  }

  Ref<IZStatement> statement_;
  TZFakeResult result_;
  TZFakeResultSetMetadata metadata_;
  AnsiString temporaryString_;
  int row_ = 0;
  int fetchSize_ = 0;
  bool closed_ = false;
  bool lastWasNull_ = true;
};

}  // namespace

Ref<IZResultSet> MakeFakeResultSet(const Ref<IZStatement>& statement, const TZFakeResult& result) {
  return MakeRef<TZFakeResultSet>(statement, result);
}
