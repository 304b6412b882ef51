// The ADO recordset as a static client cursor: a result is read whole when it
// opens, then moved over, counted and sorted in memory; its fields and their
// properties describe the columns.

#include <algorithm>
#include <numeric>

#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/ado/ado_columns.h"
#include "sql/drivers/ado/ado_messages.h"

using ado_odbc::Check;

namespace {

[[noreturn]] void RaiseItemNotFound() { throw EAdoError(kAdoStateNoItem, kAdoItemNotFound); }

bool IsNumberType(TVarType type) {
  return type == varBoolean || type == varDate || (type >= varSmallint && type <= varCurrency) ||
         (type >= varShortInt && type <= varInt64);
}

// Nulls first, numbers and dates by value, texts by the Czech collation
// without regard to case; other values compare equal.
int CompareValues(const Variant& a, const Variant& b) {
  const bool aNull = VarIsNull(a) || VarIsEmpty(a), bNull = VarIsNull(b) || VarIsEmpty(b);
  if (aNull || bNull) return int(bNull) - int(aNull);
  const TVarType aType = VarType(a), bType = VarType(b);
  if (IsNumberType(aType) && IsNumberType(bType)) {
    const double x = a.AsFloat(), y = b.AsFloat();
    return (x > y) - (x < y);
  }
  if (aType == varOleStr || bType == varOleStr) return WideCompareText(a.AsWideString(), b.AsWideString());
  if (aType == varString && bType == varString) return AnsiCompareText(a.AsString(), b.AsString());
  return 0;
}

struct SortKey {
  int column;
  bool descending;
};

}  // namespace

// --- fields and properties ------------------------------------------------------

Ref<Property> Properties::Item(int index) const {
  if (index < 0 || index >= Count()) RaiseItemNotFound();
  return items_[index];
}

Ref<Property> Properties::Item(const AnsiString& name) const {
  for (const Ref<Property>& item : items_)
    if (SameText(item->Name(), name)) return item;
  RaiseItemNotFound();
}

Field::Field(Recordset15* owner, int index) : TContainedObject(owner), owner_(owner), index_(index) {}
Fields::Fields(Recordset15* owner) : TContainedObject(owner), owner_(owner) {}

AnsiString Field::Name() const { return owner_->ColumnAt(index_).name; }
int Field::Type() const { return owner_->ColumnAt(index_).type; }
int Field::DefinedSize() const { return owner_->ColumnAt(index_).definedSize; }
Variant Field::Value() const { return owner_->ValueAt(index_); }
Ref<Properties> Field::Properties() const { return owner_->ColumnAt(index_).properties; }

int Fields::Count() const {
  owner_->RequireOpen();
  return static_cast<int>(owner_->columns_.size());
}

Ref<Field> Fields::Item(int index) const {
  if (index < 0 || index >= Count()) RaiseItemNotFound();
  return Ref<Field>(owner_->fieldItems_[index].get());
}

Ref<Field> Fields::Item(const AnsiString& name) const { return Item(owner_->ColumnIndex(name)); }

// --- recordset ---------------------------------------------------------------------

Recordset15::Recordset15() = default;
Recordset15::~Recordset15() = default;

void Recordset15::RequireOpen() const {
  if (!open_) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
}

const Recordset15::Column& Recordset15::ColumnAt(int index) const {
  RequireOpen();
  if (index < 0 || index >= static_cast<int>(columns_.size())) RaiseItemNotFound();
  return columns_[index];
}

int Recordset15::ColumnIndex(const AnsiString& name) const {
  RequireOpen();
  for (std::size_t index = 0; index < columns_.size(); ++index)
    if (AnsiSameText(columns_[index].name, name)) return static_cast<int>(index);
  RaiseItemNotFound();
}

const Variant& Recordset15::ValueAt(int index) const {
  if (!current_) [[unlikely]] {
    RequireOpen();
    throw EAdoError(kAdoStateNoRecord, kAdoNoCurrentRecord);
  }
  if (index >= static_cast<int>(columns_.size())) RaiseItemNotFound();
  return current_[index];
}

void Recordset15::Open(const AnsiString& source, Ref<Connection15> activeConnection, int /*cursorType*/,
                       int /*lockType*/, int /*options*/) {
  if (open_) throw EAdoError(kAdoStateOpen, kAdoObjectOpen);
  if (activeConnection) connection_ = std::move(activeConnection);
  if (!connection_) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  std::shared_ptr<ado_odbc::Handle> statement = connection_->NewStatement();
  // A hint that spares reading rows that would be dropped; ReadRows enforces it.
  if (maxRecords_ > 0)
    SQLSetStmtAttr(statement->get(), SQL_ATTR_MAX_ROWS, reinterpret_cast<SQLPOINTER>(SQLULEN(maxRecords_)), 0);
  std::string text = connection_->NativeText(source);
  Check(SQLExecDirect(statement->get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), SQL_HANDLE_STMT,
        statement->get());
  Variant recordsAffected;
  OpenResult(connection_, std::move(statement), recordsAffected);
}

void Recordset15::Open(const Ref<_Command>& source, int /*cursorType*/, int /*lockType*/, int /*options*/) {
  if (open_) throw EAdoError(kAdoStateOpen, kAdoObjectOpen);
  if (!source) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  Variant recordsAffected;
  source->ExecuteInto(*this, recordsAffected);
}

void Recordset15::OpenInMemory(const std::vector<AdoColumnSpec>& columns, std::vector<std::vector<Variant>> rows,
                               bool bookmark) {
  if (open_) throw EAdoError(kAdoStateOpen, kAdoObjectOpen);
  statement_.reset();
  columns_.clear();
  values_.clear();
  order_.clear();
  sort_.clear();
  for (const AdoColumnSpec& given : columns) {
    Column column;
    column.name = given.name;
    column.type = given.type;
    column.definedSize = given.definedSize;
    column.flags = given.flags;
    column.properties = ado_odbc::FieldProperties(given.baseColumnName, Null(), given.autoIncrement);
    columns_.push_back(std::move(column));
  }
  while (fieldItems_.size() < columns_.size())
    fieldItems_.push_back(std::make_unique<Field>(this, static_cast<int>(fieldItems_.size())));
  for (std::vector<Variant>& row : rows) {
    row.resize(columns_.size(), Null());
    for (Variant& value : row) values_.push_back(std::move(value));
  }
  rowCount_ = static_cast<int>(rows.size());
  bookmark_ = bookmark;
  rowVersionsRead_ = true;
  open_ = true;
  SetPosition(rowCount_ > 0 ? 1 : 0);
}

std::vector<AdoColumnInfo> Recordset15::GetColumnInfo() {
  RequireOpen();
  if (!rowVersionsRead_) ReadRowVersions();
  std::vector<AdoColumnInfo> result;
  if (bookmark_) result.push_back({0, 0});
  for (std::size_t i = 0; i < columns_.size(); ++i) result.push_back({static_cast<int>(i + 1), columns_[i].flags});
  return result;
}

// Marks the columns that the data source keeps as row versions of their
// base tables; asked of the catalogue only when a caller wants the flags.
void Recordset15::ReadRowVersions() {
  rowVersionsRead_ = true;
  if (!connection_ || connection_->State() != adStateOpen) return;
  std::vector<AnsiString> tables;
  for (const Column& column : columns_) {
    const Variant table = column.properties->Item("BASETABLENAME")->Value();
    if (!VarIsNull(table) && std::find(tables.begin(), tables.end(), table.AsString()) == tables.end())
      tables.push_back(table.AsString());
  }
  for (const AnsiString& table : tables) {
    std::shared_ptr<ado_odbc::Handle> statement = connection_->NewStatement();
    std::string name = ado_odbc::ToOdbc(table);
    // A data source that cannot tell has no row versions.
    if (!SQL_SUCCEEDED(SQLSpecialColumns(statement->get(), SQL_ROWVER, nullptr, 0, nullptr, 0,
                                         reinterpret_cast<SQLCHAR*>(name.data()), SQL_NTS, SQL_SCOPE_CURROW,
                                         SQL_NULLABLE)))
      continue;
    auto versions = MakeRef<Recordset15>();
    Variant affected;
    versions->OpenResult(connection_, std::move(statement), affected);
    for (; !versions->Eof(); versions->MoveNext()) {
      const AnsiString versionColumn = versions->ValueAt(1).AsString();
      for (Column& column : columns_) {
        const Variant base = column.properties->Item("BASECOLUMNNAME")->Value();
        const Variant baseTable = column.properties->Item("BASETABLENAME")->Value();
        if (!VarIsNull(base) && !VarIsNull(baseTable) && baseTable.AsString() == table &&
            AnsiSameText(base.AsString(), versionColumn))
          column.flags |= DBCOLUMNFLAGS_ISROWVER;
      }
    }
  }
}

void Recordset15::OpenResult(Ref<Connection15> connection, std::shared_ptr<ado_odbc::Handle> statement,
                             Variant& recordsAffected) {
  connection_ = std::move(connection);
  statement_ = std::move(statement);
  nextError_ = nullptr;
  open_ = false;
  bookmark_ = false;
  rowVersionsRead_ = false;
  columns_.clear();
  values_.clear();
  order_.clear();
  sort_.clear();
  rowCount_ = 0;
  SetPosition(0);

  const SQLHSTMT handle = statement_->get();
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(handle, &count), SQL_HANDLE_STMT, handle);
  SQLLEN affected = -1;
  if (!SQL_SUCCEEDED(SQLRowCount(handle, &affected))) affected = -1;
  recordsAffected = Variant(static_cast<int>(affected));
  if (count > 0) {
    for (SQLUSMALLINT number = 1; number <= count; ++number)
      columns_.push_back(ado_odbc::DescribeColumn(handle, number));
    // Field objects are never freed before the recordset, as callers may hold them.
    while (fieldItems_.size() < columns_.size())
      fieldItems_.push_back(std::make_unique<Field>(this, static_cast<int>(fieldItems_.size())));
    ReadRows();
    open_ = true;
    SetPosition(rowCount_ > 0 ? 1 : 0);
  }
  FinishResult();
}

void Recordset15::ReadRows() {
  const SQLHSTMT handle = statement_->get();
  const auto columnCount = static_cast<SQLUSMALLINT>(columns_.size());
  std::string buffer;
  while (maxRecords_ <= 0 || rowCount_ < maxRecords_) {
    const SQLRETURN ret = SQLFetch(handle);
    if (ret == SQL_NO_DATA) break;
    Check(ret, SQL_HANDLE_STMT, handle);
    for (SQLUSMALLINT number = 1; number <= columnCount; ++number)
      values_.push_back(ado_odbc::ReadValue(handle, number, columns_[number - 1], buffer));
    ++rowCount_;
  }
}

// Steps the statement on to its next result at once, so a statement whose
// results are all read is freed (and releases what it holds in the
// database); a failure of the next result waits for NextRecordset.
void Recordset15::FinishResult() {
  const SQLHSTMT handle = statement_->get();
  try {
    const SQLRETURN ret = SQLMoreResults(handle);
    Check(ret, SQL_HANDLE_STMT, handle);
    if (ret != SQL_NO_DATA) return;
  } catch (const EAdoError&) {
    nextError_ = std::current_exception();
  }
  statement_.reset();
}

Ref<Recordset15> Recordset15::NextRecordset(Variant& recordsAffected) {
  if (nextError_) std::rethrow_exception(std::exchange(nextError_, nullptr));
  recordsAffected = Unassigned();
  // The connection's Close frees the statements that are left.
  if (!statement_ || !*statement_) return nullptr;
  auto next = MakeRef<Recordset15>();
  next->OpenResult(connection_, std::move(statement_), recordsAffected);
  return next;
}

void Recordset15::Close() {
  RequireOpen();
  open_ = false;
  statement_.reset();
  nextError_ = nullptr;
  columns_.clear();
  values_.clear();
  order_.clear();
  rowCount_ = 0;
  SetPosition(0);
}

void Recordset15::SetPosition(long long position) {
  position_ = static_cast<int>(position);
  if (position < 1 || position > rowCount_) {
    current_ = nullptr;
    return;
  }
  const std::size_t row = order_.empty() ? std::size_t(position - 1) : std::size_t(order_[position - 1]);
  current_ = values_.data() + row * columns_.size();
}

bool Recordset15::Bof() const {
  RequireOpen();
  return rowCount_ == 0 || position_ == 0;
}

bool Recordset15::Eof() const {
  RequireOpen();
  return rowCount_ == 0 || position_ > rowCount_;
}

void Recordset15::MoveFirst() {
  RequireOpen();
  SetPosition(rowCount_ > 0 ? 1 : 0);
}

void Recordset15::MoveLast() {
  RequireOpen();
  SetPosition(rowCount_);
}

void Recordset15::MoveNext() {
  if (Eof()) throw EAdoError(kAdoStateNoRecord, kAdoNoCurrentRecord);
  SetPosition(position_ + 1);
}

void Recordset15::MovePrevious() {
  if (Bof()) throw EAdoError(kAdoStateNoRecord, kAdoNoCurrentRecord);
  SetPosition(position_ - 1);
}

void Recordset15::Move(int numRecords, int start) {
  RequireOpen();
  long long base = position_;
  if (start == adBookmarkFirst) {
    base = 1;
  } else if (start == adBookmarkLast) {
    base = rowCount_;
  } else if ((numRecords < 0 && Bof()) || (numRecords > 0 && Eof())) {
    throw EAdoError(kAdoStateNoRecord, kAdoNoCurrentRecord);
  }
  if (rowCount_ == 0) return;
  const long long target = base + numRecords;
  SetPosition(std::clamp<long long>(target, 0, rowCount_ + 1));
}

int Recordset15::AbsolutePosition() const {
  if (Bof()) return adPosBOF;
  if (Eof()) return adPosEOF;
  return position_;
}

int Recordset15::RecordCount() const {
  RequireOpen();
  return rowCount_;
}

void Recordset15::SetSort(const AnsiString& value) {
  RequireOpen();
  std::vector<SortKey> keys;
  TStringList parts;
  PutSplitString(&parts, value, ",");
  for (int i = 0; i < parts.Count(); ++i) {
    TStringList words;
    PutSplitString(&words, parts[i], " ");
    if (words.Count() == 0) continue;
    if (words.Count() > 2 || (words.Count() == 2 && !SameText(words[1], "ASC") && !SameText(words[1], "DESC")))
      RaiseItemNotFound();
    keys.push_back({ColumnIndex(words[0]), words.Count() == 2 && SameText(words[1], "DESC")});
  }
  order_.clear();
  if (!keys.empty()) {
    order_.resize(rowCount_);
    std::iota(order_.begin(), order_.end(), 0);
    const std::size_t width = columns_.size();
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
      for (const SortKey& key : keys) {
        const int order = CompareValues(values_[a * width + key.column], values_[b * width + key.column]);
        if (order != 0) return key.descending ? order > 0 : order < 0;
      }
      return false;
    });
  }
  sort_ = value;
  MoveFirst();
}

Ref<Fields> Recordset15::Fields() { return Ref<::Fields>(&fields_); }
