// The ADO objects the ADO driver works with, as a small layer of our own over
// unixODBC: a connection with its schema rowsets, commands with their
// parameters, client-side recordsets that hold every row of a result (or
// rows built in memory), their fields and the fields' properties. They are
// plain counted objects; a failing member raises EAdoError at once. Texts are
// Windows-1250 (8-bit values and arguments) or UTF-16 (wide values); dates
// are TDateTime.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "platform/rtl/objects.h"
#include "platform/rtl/variant.h"

namespace ado_odbc {
class Handle;
}

// DataTypeEnum: the type codes of fields.
enum : int {
  adEmpty = 0, adSmallInt = 2, adInteger = 3, adSingle = 4, adDouble = 5, adCurrency = 6, adDate = 7,
  adBSTR = 8, adIDispatch = 9, adError = 10, adBoolean = 11, adVariant = 12, adIUnknown = 13, adDecimal = 14,
  adTinyInt = 16, adUnsignedTinyInt = 17, adUnsignedSmallInt = 18, adUnsignedInt = 19, adBigInt = 20,
  adUnsignedBigInt = 21, adFileTime = 64, adGUID = 72, adBinary = 128, adChar = 129, adWChar = 130,
  adNumeric = 131, adDBDate = 133, adDBTime = 134, adDBTimeStamp = 135, adVarNumeric = 139, adVarChar = 200,
  adLongVarChar = 201, adVarWChar = 202, adLongVarWChar = 203, adVarBinary = 204, adLongVarBinary = 205,
};

// ObjectStateEnum, CursorLocationEnum, ConnectModeEnum, ConnectOptionEnum.
enum : int { adStateClosed = 0, adStateOpen = 1 };
enum : int { adUseServer = 2, adUseClient = 3 };
enum : int { adModeUnknown = 0, adModeRead = 1 };
enum : int { adConnectUnspecified = -1 };
// IsolationLevelEnum.
enum : int {
  adXactUnspecified = -1, adXactChaos = 0x10, adXactReadUncommitted = 0x100, adXactReadCommitted = 0x1000,
  adXactRepeatableRead = 0x10000, adXactSerializable = 0x100000,
};
// CommandTypeEnum and ExecuteOptionEnum bits; a recordset here is always
// read at once, so adAsyncFetch changes nothing.
enum : int { adCmdText = 1, adCmdStoredProc = 4, adAsyncFetch = 0x20, adExecuteNoRecords = 0x80 };
// CursorTypeEnum and LockTypeEnum: recorded, as every recordset is a static
// client cursor.
enum : int { adOpenForwardOnly = 0, adOpenStatic = 3, adLockReadOnly = 1, adLockOptimistic = 3 };
// BookmarkEnum (starts of Move) and PositionEnum (AbsolutePosition off a record).
enum : int { adBookmarkCurrent = 0, adBookmarkFirst = 1, adBookmarkLast = 2 };
enum : int { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };

class Recordset15;
class _Command;

// ParameterDirectionEnum.
enum : int { adParamUnknown = 0, adParamInput = 1, adParamOutput = 2, adParamInputOutput = 3, adParamReturnValue = 4 };
// SchemaEnum: the schema rowsets OpenSchema answers.
enum : int {
  adSchemaCatalogs = 1, adSchemaColumns = 4, adSchemaIndexes = 12, adSchemaColumnPrivileges = 13,
  adSchemaTablePrivileges = 14, adSchemaProcedures = 16, adSchemaSchemata = 17, adSchemaTables = 20,
  adSchemaProviderTypes = 22, adSchemaProcedureParameters = 26, adSchemaForeignKeys = 27, adSchemaPrimaryKeys = 28,
};
// DBCOLUMNFLAGS bits of GetColumnInfo and of the COLUMN_FLAGS column.
enum : unsigned {
  DBCOLUMNFLAGS_WRITE = 0x4, DBCOLUMNFLAGS_WRITEUNKNOWN = 0x8, DBCOLUMNFLAGS_ISLONG = 0x80,
  DBCOLUMNFLAGS_ISROWVER = 0x200,
};
// The result codes GetParameterInfo gives.
inline constexpr int S_OK = 0;
inline constexpr int DB_E_NOTPREPARED = static_cast<int>(0x80040E4Au);

// A GUID in its usual four parts.
struct TGUID {
  std::uint32_t D1;
  std::uint16_t D2;
  std::uint16_t D3;
  std::uint8_t D4[8];
};

// A schema rowset the connection answers, with the restrictions it honours
// (bit i: restriction i).
struct AdoSchemaSupport {
  TGUID schema;
  std::uint32_t restrictions;
};

class Connection15 : public TInterfacedObject {
public:
  Connection15();
  // An open connection is rolled back and disconnected; nothing is raised.
  ~Connection15() override;

  // SQLDriverConnect with connectionString, plus UID and PWD when given.
  // Mode adModeRead asks the driver for a read-only connection (a hint).
  void Open(const AnsiString& connectionString, const AnsiString& userID, const AnsiString& password,
            int options = adConnectUnspecified);
  // Raises while a transaction runs, as that would end it unseen.
  void Close();
  // Runs commandText at once; the recordset is open when the statement gave
  // columns (whatever the options) and holds every row. recordsAffected gets
  // the driver's count of changed rows.
  Ref<Recordset15> Execute(const AnsiString& commandText, Variant& recordsAffected, int options = -1);

  // One transaction at a time: BeginTrans turns auto-commit off (after
  // setting the isolation level unless it is chaos or unspecified) and gives
  // 1; CommitTrans and RollbackTrans end it and turn auto-commit on. Without
  // a transaction they raise.
  int BeginTrans();
  void CommitTrans();
  void RollbackTrans();

  // The current catalog; "" while closed.
  AnsiString DefaultDatabase();
  void SetDefaultDatabase(const AnsiString& value);
  int IsolationLevel() const { return isolationLevel_; }
  void SetIsolationLevel(int value) { isolationLevel_ = value; }
  int CursorLocation() const { return cursorLocation_; }
  void SetCursorLocation(int value) { cursorLocation_ = value; }
  int Mode() const { return mode_; }
  void SetMode(int value) { mode_ = value; }
  int State() const { return dbc_ && connected_ ? adStateOpen : adStateClosed; }

  // A schema rowset read through the ODBC catalogue calls, its columns named
  // as OLE DB names them. restrictions is Null or an array whose elements
  // are exact names (an empty element restricts nothing). A schema that the
  // connection does not answer raises.
  Ref<Recordset15> OpenSchema(int schema, const Variant& restrictions = Null());
  // The schema rowsets OpenSchema answers (IDBSchemaRowset.GetSchemas).
  std::vector<AdoSchemaSupport> GetSchemas() const;
  // The data source's quote for identifiers ("" while closed or when it
  // has none), as the provider's "Quoted Identifier" property tells it.
  const AnsiString& IdentifierQuote() const { return identifierQuote_; }
  // The ADO version text.
  AnsiString Version() const { return "2.8"; }

  // For the recordsets: a new statement of this connection (raises while
  // closed). Close frees every statement still held.
  std::shared_ptr<ado_odbc::Handle> NewStatement();
  // commandText as the data source runs it: "SELECT @@IDENTITY" becomes the
  // data source's own query for the last generated key.
  std::string NativeText(const AnsiString& commandText);

private:
  void EndTransaction(bool commit);
  void SetAutoCommit(bool on);
  void Disconnect() noexcept;

  std::shared_ptr<void> env_;
  std::unique_ptr<ado_odbc::Handle> dbc_;
  bool connected_ = false;
  bool inTransaction_ = false;
  int isolationLevel_ = adXactReadCommitted;
  int cursorLocation_ = adUseServer;
  int mode_ = adModeUnknown;
  std::vector<std::weak_ptr<ado_odbc::Handle>> statements_;
  AnsiString dbmsName_;
  AnsiString identifierQuote_;
};

// A named value describing a field.
class Property : public TInterfacedObject {
public:
  Property(AnsiString name, Variant value) : name_(std::move(name)), value_(std::move(value)) {}
  const AnsiString& Name() const { return name_; }
  const Variant& Value() const { return value_; }

private:
  AnsiString name_;
  Variant value_;
};

class Properties : public TInterfacedObject {
public:
  void Add(Ref<Property> property) { items_.push_back(std::move(property)); }
  int Count() const { return static_cast<int>(items_.size()); }
  // 0-based, or by name (letter case ignored); raises when there is none.
  Ref<Property> Item(int index) const;
  Ref<Property> Item(const AnsiString& name) const;

private:
  std::vector<Ref<Property>> items_;
};

// One column of a recordset. Its counting is the recordset's.
class Field : public TContainedObject {
public:
  Field(Recordset15* owner, int index);
  AnsiString Name() const;
  int Type() const;
  int DefinedSize() const;
  // A copy of the value in the current record, so it outlives moves and
  // Close; raises at BOF or EOF.
  Variant Value() const;
  // BASECOLUMNNAME, BASETABLENAME (Null when the driver names none) and
  // ISAUTOINCREMENT.
  Ref<::Properties> Properties() const;

private:
  Recordset15* owner_;
  int index_;
};

class Fields : public TContainedObject {
public:
  explicit Fields(Recordset15* owner);
  int Count() const;
  // 0-based, or by name (letter case ignored); raises when there is none.
  Ref<Field> Item(int index) const;
  Ref<Field> Item(const AnsiString& name) const;

private:
  Recordset15* owner_;
};

// One column of a recordset built in memory (Recordset15::OpenInMemory).
struct AdoColumnSpec {
  AnsiString name;
  int type = adVarChar;
  int definedSize = 0;
  unsigned flags = 0;  // DBCOLUMNFLAGS_*
  Variant baseColumnName = Null();
  bool autoIncrement = false;
};

// What IColumnsInfo tells of a column: its ordinal (0 for a bookmark column,
// which a recordset describes first) and its DBCOLUMNFLAGS_* bits.
struct AdoColumnInfo {
  int ordinal;
  unsigned flags;
};

// A static client cursor: opening reads every row of the result, and moving,
// counting and sorting work on the rows held. Position 0 is BOF, 1 .. count
// the records, count + 1 EOF.
class Recordset15 : public TInterfacedObject {
public:
  Recordset15();
  ~Recordset15() override;

  // Runs source on activeConnection and reads the result.
  void Open(const AnsiString& source, Ref<Connection15> activeConnection, int cursorType = adOpenStatic,
            int lockType = adLockReadOnly, int options = adCmdText);
  void Close();
  int State() const { return open_ ? adStateOpen : adStateClosed; }
  // The next result of the batch that made this one, or null when there is
  // none; recordsAffected gets its count of changed rows.
  Ref<Recordset15> NextRecordset(Variant& recordsAffected);

  // EOF is a C macro, hence the spelling of both flags.
  bool Bof() const;
  bool Eof() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  // numRecords from start (adBookmarkCurrent, First or Last); a target off
  // either end stops at BOF or EOF. Moving on from BOF backwards or from EOF
  // forwards raises.
  void Move(int numRecords, int start = adBookmarkCurrent);
  // 1-based position, adPosBOF or adPosEOF off the records.
  int AbsolutePosition() const;
  int RecordCount() const;
  // At most this many rows are read (0: all); set before Open.
  int MaxRecords() const { return maxRecords_; }
  void SetMaxRecords(int value) { maxRecords_ = value; }
  // "name [ASC|DESC], ..." orders the rows held and moves to the first; ""
  // restores the order they came in.
  const AnsiString& Sort() const { return sort_; }
  void SetSort(const AnsiString& value);
  Ref<::Fields> Fields();
  Ref<Connection15> ActiveConnection() const { return connection_; }
  void SetActiveConnection(Ref<Connection15> value) { connection_ = std::move(value); }

  // Runs the command (with its parameters) and reads the result.
  void Open(const Ref<_Command>& source, int cursorType = adOpenStatic, int lockType = adLockReadOnly,
            int options = adCmdText);
  // A recordset of the given columns and rows, held in memory only; with a
  // bookmark column, GetColumnInfo describes an ordinal 0 column first.
  void OpenInMemory(const std::vector<AdoColumnSpec>& columns, std::vector<std::vector<Variant>> rows,
                    bool bookmark = false);
  // The OLE DB column records of the fields, in field order after the
  // bookmark column (when there is one).
  std::vector<AdoColumnInfo> GetColumnInfo();

  // For Connection15::Execute: reads the current result of statement.
  void OpenResult(Ref<Connection15> connection, std::shared_ptr<ado_odbc::Handle> statement,
                  Variant& recordsAffected);

  struct Column;

private:
  friend class Field;
  friend class Fields;

  void RequireOpen() const;
  const Column& ColumnAt(int index) const;
  // Letter case ignored; raises when no column has the name.
  int ColumnIndex(const AnsiString& name) const;
  const Variant& ValueAt(int index) const;
  void ReadRows();
  void ReadRowVersions();
  void FinishResult();
  void SetPosition(long long position);

  Ref<Connection15> connection_;
  std::shared_ptr<ado_odbc::Handle> statement_;  // held while more results may come
  std::exception_ptr nextError_;                  // raised by NextRecordset
  bool open_ = false;
  int maxRecords_ = 0;
  AnsiString sort_;
  std::vector<Column> columns_;
  std::vector<Variant> values_;  // row after row
  std::vector<int> order_;       // row numbers in sorted order; empty: as read
  int rowCount_ = 0;
  int position_ = 0;
  const Variant* current_ = nullptr;  // the current row's first value, null off the records
  ::Fields fields_{this};
  std::vector<std::unique_ptr<Field>> fieldItems_;
  bool bookmark_ = false;
  bool rowVersionsRead_ = false;
};

// A parameter of a command: a value with its DataTypeEnum type, direction
// and size (characters or bytes; 0 for fixed-size types).
class _Parameter : public TInterfacedObject {
public:
  _Parameter(AnsiString name, int type, int direction, int size, Variant value)
      : name_(std::move(name)), type_(type), direction_(direction), size_(size), value_(std::move(value)) {}
  const AnsiString& Name() const { return name_; }
  int Type() const { return type_; }
  void SetType(int value) { type_ = value; }
  int Direction() const { return direction_; }
  void SetDirection(int value) { direction_ = value; }
  int Size() const { return size_; }
  void SetSize(int value) { size_ = value; }
  // An output parameter holds what the last execution gave back.
  const Variant& Value() const { return value_; }
  void SetValue(Variant value) { value_ = std::move(value); }

private:
  AnsiString name_;
  int type_;
  int direction_;
  int size_;
  Variant value_;
};

// The parameters of a command. Read while empty for the first time, the
// collection fills itself from the command: one input parameter per marker
// of a text, or a stored procedure's parameters with its return value first.
class Parameters : public TContainedObject {
public:
  explicit Parameters(_Command* owner);
  int Count();
  void Append(Ref<_Parameter> parameter);
  // 0-based, or by name (letter case ignored); raises when there is none.
  Ref<_Parameter> Item(int index);
  Ref<_Parameter> Item(const AnsiString& name);
  // Fills the collection afresh from the command.
  void Refresh();

private:
  friend class _Command;
  void FillOnce();

  _Command* owner_;
  std::vector<Ref<_Parameter>> items_;
  bool filled_ = false;
};

// A command: a text (or a stored procedure's name) run on a connection with
// parameters bound natively. Prepared commands are prepared once and run
// again with new values.
class _Command : public TInterfacedObject {
public:
  _Command();
  ~_Command() override;

  const AnsiString& CommandText() const { return text_; }
  void SetCommandText(const AnsiString& value);
  Ref<Connection15> ActiveConnection() const { return connection_; }
  void SetActiveConnection(Ref<Connection15> value);
  bool Prepared() const { return prepared_; }
  void SetPrepared(bool value) { prepared_ = value; }
  // adCmdText, or adCmdStoredProc: the text is a procedure's name, run as
  // "{? = call name(?, ...)}" with the parameters the collection holds.
  int CommandType() const { return commandType_; }
  void SetCommandType(int value);

  // Runs the command with the collection's parameters (parameters and
  // options are accepted and ignored); output parameters get their values.
  Ref<Recordset15> Execute(Variant& recordsAffected, const Variant& parameters = Unassigned(), int options = -1);
  Ref<_Parameter> CreateParameter(const AnsiString& name, int type, int direction, int size, const Variant& value);
  Ref<::Parameters> Parameters();

  // ICommandPrepare.Prepare and ICommandWithParameters.GetParameterInfo:
  // the count of markers, or DB_E_NOTPREPARED (count 0) before Prepare.
  void Prepare();
  int GetParameterInfo(int& count);

  // For Recordset15::Open: runs the command into target.
  void ExecuteInto(Recordset15& target, Variant& recordsAffected);

private:
  friend class ::Parameters;
  // The parameters the data source describes for the command.
  std::vector<Ref<_Parameter>> DescribeParameters();
  void Unprepare();
  std::string NativeText();

  AnsiString text_;
  Ref<Connection15> connection_;
  bool prepared_ = false;
  int commandType_ = adCmdText;
  std::shared_ptr<ado_odbc::Handle> statement_;  // prepared
  std::string preparedText_;
  ::Parameters parameters_{this};
  struct Binding;
  std::vector<Binding> bindings_;  // the buffers of the last execution
};
