// The result-set base, blobs, column descriptions and the result-set
// metadata: checks and their messages, lookups by label, values by column
// type, row comparison, streams, and who keeps whom alive between a
// statement and its results.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/fake/fake_driver.h"
#include "tests/sql/core/sql_error.h"

namespace {

struct Column {
  AnsiString label;
  TZSQLType type;
};

TZVariant Int(std::int64_t v) {
  TZVariant value;
  DefaultVarManager()->SetAsInteger(value, v);
  return value;
}
TZVariant Str(const AnsiString& v) {
  TZVariant value;
  DefaultVarManager()->SetAsString(value, v);
  return value;
}
const TZVariant kNull;

// A scrollable result over rows in memory: the smallest driver result set,
// reading values through the lenient manager.
class RowsResultSet : public TZAbstractResultSet {
public:
  static inline int alive = 0;

  RowsResultSet(const Ref<IZStatement>& statement, std::vector<Column> columns,
                std::vector<TZVariantDynArray> rows)
      : TZAbstractResultSet(statement, "select"), columns_(std::move(columns)), rows_(std::move(rows)) {
    ++alive;
  }
  ~RowsResultSet() override { --alive; }

  void AfterConstruction() override {
    TZAbstractResultSet::AfterConstruction();
    Open();
  }
  void Open() override {
    for (const Column& column : columns_) {
      TZColumnInfo& info = ColumnsInfo.Add();
      info.ColumnLabel = column.label;
      info.ColumnType = column.type;
    }
    LastRowNo = static_cast<int>(rows_.size());
    TZAbstractResultSet::Open();
  }
  bool MoveAbsolute(int row) override {
    CheckClosed();
    RowNo = std::clamp(row, 0, LastRowNo + 1);
    return RowNo >= 1 && RowNo <= LastRowNo;
  }

  bool IsNull(int column) override { return Value(column).VType == vtNull; }
  AnsiString GetString(int column) override {
    CheckColumnConversion(column, stString);
    return SoftVarManager()->GetAsString(Read(column));
  }
  std::int64_t GetLong(int column) override {
    CheckColumnConversion(column, stLong);
    return SoftVarManager()->GetAsInteger(Read(column));
  }
  Ref<IZBlob> GetBlob(int column) override {
    CheckBlobColumn(column);
    return TZAbstractBlob::CreateWithData(Read(column).VString.data(), static_cast<int>(Read(column).VString.size()));
  }

  using TZAbstractResultSet::LastRowNo;
  using TZAbstractResultSet::RowNo;

private:
  const TZVariant& Value(int column) { return rows_.at(RowNo - 1).at(column - 1); }
  const TZVariant& Read(int column) {
    const TZVariant& value = Value(column);
    LastWasNull = value.VType == vtNull;
    return value;
  }

  std::vector<Column> columns_;
  std::vector<TZVariantDynArray> rows_;
};

Ref<RowsResultSet> Rows(std::vector<Column> columns, std::vector<TZVariantDynArray> rows = {},
                        const Ref<IZStatement>& statement = nullptr) {
  return MakeRef<RowsResultSet>(statement, std::move(columns), std::move(rows));
}

// A statement whose queries answer one canned row.
class RowsStatement : public TZAbstractStatement {
public:
  static inline int alive = 0;

  explicit RowsStatement(Ref<IZConnection> connection) : TZAbstractStatement(std::move(connection), nullptr) {
    ++alive;
  }
  ~RowsStatement() override { --alive; }

  Ref<IZResultSet> ExecuteQuery(const AnsiString&) override {
    return Rows({{"n", stInteger}}, {{Int(1)}}, Ref<IZStatement>(this));
  }
  bool Execute(const AnsiString& sql) override {
    SetLastResultSet(ExecuteQuery(sql));
    return true;
  }
};

TEST(AbstractResultSet, CursorFlagsFollowRowNumbers) {
  Ref<RowsResultSet> rows = Rows({{"a", stInteger}}, {{Int(1)}, {Int(2)}, {Int(3)}});
  EXPECT_TRUE(rows->IsBeforeFirst());
  EXPECT_FALSE(rows->IsAfterLast());
  EXPECT_TRUE(rows->Next());
  EXPECT_TRUE(rows->IsFirst());
  EXPECT_TRUE(rows->Last());
  EXPECT_TRUE(rows->IsLast());
  rows->AfterLast();
  EXPECT_EQ(rows->RowNo, 4);
  EXPECT_TRUE(rows->IsAfterLast());
  EXPECT_TRUE(rows->MoveRelative(-2));
  EXPECT_EQ(rows->GetLong(1), 2);
  EXPECT_TRUE(rows->Previous());
  EXPECT_EQ(rows->GetRow(), 1);
}

TEST(AbstractResultSet, BaseRefusesToScrollAndOnlyFetchesForward) {
  Ref<IZResultSet> rows = MakeRef<TZAbstractResultSet>(nullptr, "");
  EXPECT_EQ(rows->GetType(), rtForwardOnly);
  EXPECT_EQ(rows->GetConcurrency(), rcReadOnly);
  EXPECT_EQ(SQLError([&] { rows->Next(); }), "Operation is not allowed in FORWARD ONLY mode");
  EXPECT_NO_THROW(rows->SetFetchDirection(fdForward));
  EXPECT_EQ(SQLError([&] { rows->SetFetchDirection(static_cast<TZFetchDirection>(1)); }), "Unsupported operation");
  EXPECT_EQ(SQLError([&] { rows->RefreshRow(); }), "Unsupported operation");
}

TEST(AbstractResultSet, ClosedResultSetRefusesReads) {
  Ref<IZResultSet> closed = MakeRef<TZAbstractResultSet>(nullptr, "");  // never opened
  const char* message = "Operation is not allowed for closed dataset";
  EXPECT_EQ(SQLError([&] { closed->GetString(1); }), message);
  EXPECT_EQ(SQLError([&] { closed->GetValue(1); }), message);
  EXPECT_EQ(SQLError([&] { closed->FindColumn("a"); }), message);
  EXPECT_EQ(SQLError([&] { closed->GetIntByName("a"); }), message);

  // Closing forgets the columns: the metadata then reports none.
  Ref<RowsResultSet> rows = Rows({{"a", stInteger}}, {{Int(1)}});
  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  EXPECT_EQ(metadata->GetColumnLabel(1), "a");
  rows->Close();
  EXPECT_EQ(metadata->GetColumnCount(), 0);
  EXPECT_THROW(metadata->GetColumnLabel(1), EListError);
  EXPECT_EQ(SQLError([&] { rows->Next(); }), message);
}

TEST(AbstractResultSet, ColumnChecksNameTheColumnAndTypes) {
  Ref<RowsResultSet> rows = Rows({{"d", stDate}, {"s", stString}});
  EXPECT_EQ(SQLError([&] { rows->GetInt(1); }), "Convertion is not possible for column 1 from Date to Integer");
  EXPECT_EQ(SQLError([&] { rows->GetInt(0); }), "Column with index 0 is not accessable");
  EXPECT_EQ(SQLError([&] { rows->GetInt(3); }), "Column with index 3 is not accessable");
  EXPECT_EQ(SQLError([&] { rows->GetValue(3); }), "Column with index 3 is not accessable");
  EXPECT_EQ(SQLError([&] { rows->GetBlob(2); }), "Cannot access blob record in column 2 with type String");
  EXPECT_EQ(SQLError([&] { rows->GetBinaryStream(2); }),
            "Convertion is not possible for column 2 from String to BinaryStream");
}

TEST(AbstractResultSet, FindColumnMatchesExactlyFirstThenIgnoringCase) {
  Ref<RowsResultSet> rows = Rows({{"NAME", stString}, {"name", stString}, {"id", stInteger}, {"id", stInteger}});
  EXPECT_EQ(rows->FindColumn("name"), 2);
  EXPECT_EQ(rows->FindColumn("NAME"), 1);
  EXPECT_EQ(rows->FindColumn("Id"), 3);
  EXPECT_EQ(rows->FindColumn("id_1"), 4);
  EXPECT_EQ(rows->FindColumn("missing"), 0);
  EXPECT_EQ(SQLError([&] { rows->GetStringByName("missing"); }), "Column with name \"missing\" was not found");
}

TEST(AbstractResultSet, GetValueGivesTheKindOfTheColumnType) {
  Ref<RowsResultSet> rows = Rows({{"b", stBytes}, {"n", stByte}, {"x", stInteger}, {"u", stUnknown}},
                                 {{Str("ab"), Int(7), kNull, Str("?")}});
  ASSERT_TRUE(rows->Next());
  TZVariant bytes = rows->GetValue(1);
  EXPECT_EQ(bytes.VType, vtString);
  EXPECT_EQ(bytes.VString, "ab");
  TZVariant small = rows->GetValue(2);
  EXPECT_EQ(small.VType, vtInteger);
  EXPECT_EQ(small.VInteger, 7);
  EXPECT_EQ(rows->GetValue(3).VType, vtNull);
  EXPECT_TRUE(rows->WasNull());
  EXPECT_EQ(rows->GetValue(4).VType, vtNull);
  EXPECT_STREQ(rows->GetPCharByName("b"), "ab");
}

TEST(AbstractResultSet, StreamsComeFromTheBlobAndNullGivesNone) {
  Ref<RowsResultSet> rows = Rows({{"data", stBinaryStream}}, {{Str(AnsiString("a\0b", 3))}, {kNull}});
  ASSERT_TRUE(rows->Next());
  std::unique_ptr<TStream> stream = rows->GetBinaryStream(1);
  ASSERT_TRUE(stream);
  EXPECT_FALSE(rows->WasNull());
  EXPECT_EQ(dynamic_cast<TStringStream&>(*stream).DataString(), AnsiString("a\0b", 3));
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetBinaryStream(1), nullptr);
  EXPECT_TRUE(rows->WasNull());
}

TEST(AbstractResultSet, BaseIsReadOnly) {
  Ref<RowsResultSet> rows = Rows({{"a", stString}});
  const char* message = "Operation is not allowed in READ ONLY mode";
  TZVariant object;
  DefaultVarManager()->SetAsInterface(object, MakeRef<TZAbstractBlob>());
  EXPECT_EQ(SQLError([&] { rows->UpdateValue(1, object); }), message);
  EXPECT_EQ(SQLError([&] { rows->UpdatePChar(1, "x"); }), message);
  EXPECT_EQ(SQLError([&] { rows->UpdateIntByName("a", 1); }), message);
  EXPECT_EQ(SQLError([&] { rows->InsertRow(); }), message);
  EXPECT_FALSE(rows->RowUpdated());
  EXPECT_NO_THROW(rows->MoveToCurrentRow());
}

TEST(AbstractResultSet, CompareRowsOrdersValuesAndNulls) {
  Ref<RowsResultSet> rows = Rows({{"big", stLong}, {"name", stString}},
                                 {{Int(5000000000), Str("b")}, {Int(1), Str("a")}, {kNull, Str("a")}, {kNull, Str("c")}});
  rows->MoveAbsolute(2);
  EXPECT_GT(rows->CompareRows(1, 2, {1}, {true}), 0);
  EXPECT_LT(rows->CompareRows(1, 2, {1}, {false}), 0);
  EXPECT_EQ(rows->CompareRows(3, 1, {1}, {true}), -1);
  EXPECT_EQ(rows->CompareRows(3, 1, {1}, {false}), 1);
  // Two nulls are equal; the next column decides.
  EXPECT_LT(rows->CompareRows(3, 4, {1, 2}, {true, true}), 0);
  EXPECT_EQ(rows->CompareRows(2, 2, {1, 2}, {true, true}), 0);
  EXPECT_EQ(rows->GetRow(), 2);

  // The cursor comes back also when a read fails.
  EXPECT_THROW(rows->CompareRows(1, 2, {9}, {true}), EZSQLException);
  EXPECT_EQ(rows->GetRow(), 2);
}

TEST(AbstractResultSet, SettingsComeFromTheStatement) {
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZConnection> connection = driver->Connect("zdbc:fake-1://h/db", nullptr);
  Ref<IZStatement> statement = MakeRef<RowsStatement>(connection);
  statement->SetMaxRows(50);
  statement->SetResultSetType(rtScrollInsensitive);
  statement->SetLocateUpdates(1);
  statement->SetFetchSize(8);
  Ref<RowsResultSet> rows = Rows({{"a", stString}}, {}, statement);
  EXPECT_EQ(rows->GetType(), rtScrollInsensitive);
  EXPECT_EQ(rows->GetLocateUpdates(), 1);
  EXPECT_EQ(rows->GetFetchSize(), 8);
  EXPECT_EQ(rows->GetStatement(), statement);
  rows->Close();
  EXPECT_EQ(rows->GetStatement(), nullptr);
}

TEST(AbstractResultSet, StatementAndResultSetKeepEachOtherUntilClosed) {
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZConnection> connection = driver->Connect("zdbc:fake-1://h/db", nullptr);

  // A query's result keeps its statement alive after the caller lets go.
  Ref<IZStatement> statement = MakeRef<RowsStatement>(connection);
  Ref<IZResultSet> rows = statement->ExecuteQuery("q");
  statement = nullptr;
  EXPECT_EQ(RowsStatement::alive, 1);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetLong(1), 1);
  ASSERT_TRUE(rows->GetStatement());
  rows->Close();
  EXPECT_EQ(RowsStatement::alive, 0);
  rows = nullptr;
  EXPECT_EQ(RowsResultSet::alive, 0);

  // Execute's result is held by the statement; the next execution and then
  // closing the statement close it, which frees both.
  statement = MakeRef<RowsStatement>(connection);
  ASSERT_TRUE(statement->Execute("q"));
  Ref<IZResultSet> first = statement->GetResultSet();
  statement->Execute("q");
  EXPECT_THROW(first->Next(), EZSQLException);
  first = nullptr;
  EXPECT_EQ(RowsResultSet::alive, 1);
  statement->Close();
  statement->Close();
  statement = nullptr;
  EXPECT_EQ(RowsStatement::alive, 0);
  EXPECT_EQ(RowsResultSet::alive, 0);

  // The pair also breaks from the result set's side: closing it lets the
  // statement go, whose end closes and releases its last result set.
  statement = MakeRef<RowsStatement>(connection);
  statement->Execute("q");
  Ref<IZResultSet> held = statement->GetResultSet();
  statement = nullptr;
  EXPECT_TRUE(held->Next());
  held->Close();
  EXPECT_EQ(RowsStatement::alive, 0);
  held = nullptr;
  EXPECT_EQ(RowsResultSet::alive, 0);
}

TEST(AbstractResultSet, MetadataReferenceKeepsTheResultSetAlive) {
  Ref<RowsResultSet> rows = Rows({{"a", stString}});
  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  rows = nullptr;
  EXPECT_EQ(RowsResultSet::alive, 1);
  EXPECT_EQ(metadata->GetColumnLabel(1), "a");
  metadata = nullptr;
  EXPECT_EQ(RowsResultSet::alive, 0);
}

// --- blobs

TEST(AbstractBlob, EmptyIsNotTheSameAsZeroLength) {
  Ref<IZBlob> blob = MakeRef<TZAbstractBlob>();
  EXPECT_TRUE(blob->IsEmpty());
  EXPECT_EQ(blob->GetLength(), -1);
  EXPECT_FALSE(blob->IsUpdated());
  EXPECT_TRUE(blob->GetBytes().empty());
  EXPECT_EQ(blob->GetStream()->Size(), 0);

  blob->SetString("");
  EXPECT_FALSE(blob->IsEmpty());
  EXPECT_EQ(blob->GetLength(), 0);
  EXPECT_TRUE(blob->IsUpdated());
  EXPECT_FALSE(blob->Clone()->IsEmpty());

  blob->SetBytes({});
  EXPECT_TRUE(blob->IsEmpty());
  EXPECT_TRUE(blob->Clone()->IsEmpty());
}

TEST(AbstractBlob, ValuesRoundTripThroughEveryForm) {
  TStringStream source(AnsiString("x\0y", 3));
  source.SetPosition(2);
  Ref<IZBlob> blob = MakeRef<TZAbstractBlob>(&source);
  EXPECT_EQ(blob->GetLength(), 3);
  EXPECT_EQ(blob->GetBytes(), (TByteDynArray{'x', 0, 'y'}));
  EXPECT_FALSE(blob->IsUpdated());

  Ref<IZBlob> clone = blob->Clone();
  blob->SetUnicodeString(u"\u017Elu\u0165");
  EXPECT_EQ(blob->GetString(), "\x9Elu\x9D");
  EXPECT_EQ(blob->GetUnicodeString(), u"\u017Elu\u0165");
  EXPECT_EQ(clone->GetString(), AnsiString("x\0y", 3));
  EXPECT_FALSE(clone->IsUpdated());

  blob->SetStream(nullptr);
  EXPECT_TRUE(blob->IsEmpty());
  TStringStream other("abc");
  blob->SetStream(&other);
  std::unique_ptr<TStream> out = blob->GetStream();
  EXPECT_EQ(out->Position(), 0);
  EXPECT_EQ(dynamic_cast<TStringStream&>(*out).DataString(), "abc");
  blob->Clear();
  EXPECT_EQ(blob->GetLength(), -1);
}

// A stream that claims more bytes than a blob can count.
class HugeStream : public TStringStream {
public:
  std::int64_t Size() override { return std::int64_t{1} << 31; }
};

TEST(AbstractBlob, StreamBeyondThe32BitRangeIsRefused) {
  HugeStream huge;
  EXPECT_THROW(MakeRef<TZAbstractBlob>(&huge), ERangeError);
  Ref<IZBlob> blob = MakeRef<TZAbstractBlob>();
  EXPECT_THROW(blob->SetStream(&huge), ERangeError);
  EXPECT_TRUE(blob->IsEmpty());
}

// --- column descriptions and metadata

TEST(ResultSetMetadata, LabelsAreMadeUnique) {
  struct Case {
    std::vector<AnsiString> labels;
    std::vector<AnsiString> unique;
  };
  const Case cases[] = {
      {{"id", "id", "name", "id"}, {"id", "id_1", "name", "id_2"}},
      {{"a", "a", "a_1"}, {"a", "a_1", "a_1"}},
      {{"", ""}, {"Column", "Column_1"}},
      {{"ID", "id"}, {"ID", "id"}},
  };
  for (const Case& c : cases) {
    std::vector<Column> columns;
    for (const AnsiString& label : c.labels) columns.push_back({label, stString});
    Ref<RowsResultSet> rows = Rows(columns);
    Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
    std::vector<AnsiString> unique;
    for (int i = 1; i <= metadata->GetColumnCount(); ++i) unique.push_back(metadata->GetColumnLabel(i));
    EXPECT_EQ(unique, c.unique);
  }
}

TEST(ResultSetMetadata, ServesTheDescriptionsAndRefusesBadColumns) {
  Ref<RowsResultSet> rows = Rows({{"a", stDate}});
  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  EXPECT_TRUE(metadata->IsReadOnly(1));
  EXPECT_FALSE(metadata->IsWritable(1));
  EXPECT_EQ(metadata->IsNullable(1), ntNullableUnknown);
  EXPECT_EQ(metadata->GetColumnType(1), stDate);
  EXPECT_EQ(metadata->GetColumnTypeName(1), "Date");
  EXPECT_FALSE(metadata->HasDefaultValue(1));
  EXPECT_THROW(metadata->GetColumnType(0), EListError);
  EXPECT_THROW(metadata->GetColumnLabel(2), EListError);
  EXPECT_THROW(metadata->IsReadOnly(2), EListError);
}

TEST(ColumnInfo, CopiesLeaveDefaultValuesEmpty) {
  TZColumnInfoList from;
  TZColumnInfo& info = from.Add();
  info.ColumnLabel = "a";
  info.TableName = "t";
  info.ColumnType = stLong;
  info.ReadOnly = false;
  info.DefaultValue = "0";
  TZColumnInfoList to;
  to.Add().ColumnLabel = "first";
  CopyColumnInfoList(from, to);
  ASSERT_EQ(to.Count(), 2);
  EXPECT_EQ(to[1].ColumnLabel, "a");
  EXPECT_EQ(to[1].TableName, "t");
  EXPECT_EQ(to[1].ColumnType, stLong);
  EXPECT_FALSE(to[1].ReadOnly);
  EXPECT_EQ(to[1].DefaultValue, "");
  EXPECT_EQ(from[0].DefaultValue, "0");
}

}  // namespace
