// Running SQL through ADO recordsets and commands, with parameters written
// into the command natively (see ado_statement.h).

#include "sql/drivers/ado/ado_statement.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/variant.h"
#include "sql/drivers/ado/ado_messages.h"
#include "sql/drivers/ado/ado_odbc.h"
#include "sql/drivers/ado/ado_plain_driver.h"
#include "sql/drivers/ado/ado_result_set.h"
#include "sql/drivers/ado/ado_utils.h"

namespace {

int CountOf(const Variant& recordsAffected) {
  return VarIsEmpty(recordsAffected) || VarIsNull(recordsAffected) ? 0
                                                                    : static_cast<int>(recordsAffected.AsInteger());
}

// The parameter value as ADO takes it. A 64-bit integer outside the 32-bit
// range stays whole.
Variant ComValue(const TZVariant& value) {
  switch (value.VType) {
    case vtNull: return Null();
    case vtBoolean: return Variant(value.VBoolean);
    case vtInteger:
      if (value.VInteger < std::numeric_limits<int>::min() || value.VInteger > std::numeric_limits<int>::max())
        return Variant(value.VInteger);
      return Variant(static_cast<int>(value.VInteger));
    case vtFloat: return Variant(static_cast<double>(value.VFloat));
    case vtString: return Variant(value.VString);
    case vtUnicodeString: return Variant(value.VUnicodeString);
    case vtDateTime: return Variant::OfFloat(varDate, value.VDateTime);
    default: return Unassigned();
  }
}

}  // namespace

// --- TZAdoStatement

TZAdoStatement::TZAdoStatement(Ref<IZPlainDriver> plainDriver, Ref<IZAdoConnection> connection,
                               const AnsiString& sql, TStrings* info)
    : TZAbstractCallableStatement(connection, sql, info), plainDriver_(std::move(plainDriver)),
      adoConnection_(std::move(connection)) {}

bool TZAdoStatement::IsSelect(const AnsiString& sql) {
  const auto start = sql.find_first_not_of(" \t\r\n\f\v");
  return start != AnsiString::npos && SameText(sql.substr(start, 6), "SELECT");
}

bool TZAdoStatement::Execute(const AnsiString& sql) {
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  SQL = sql;
  bool result = false;
  AdoLogged(*plainDriver_, lcExecute, sql, [&] {
    Variant recordsAffected;
    Ref<Connection15> connection = adoConnection_->GetAdoConnection();
    if (IsSelect(sql)) {
      recordset_ = CoRecordset::Create();
      recordset_->SetMaxRecords(MaxRows);
      recordset_->Open(sql, connection, adOpenStatic, adLockOptimistic, adAsyncFetch);
    } else {
      recordset_ = connection->Execute(sql, recordsAffected, adExecuteNoRecords);
    }
    result = FetchResults(CountOf(recordsAffected));
  });
  return result;
}

bool TZAdoStatement::FetchResults(int updateCount) {
  if (!recordset_) return false;
  if ((recordset_->State() & adStateOpen) == 0) {
    LastUpdateCount = updateCount;
    return false;
  }
  Ref<IZStatement> self(this);
  auto native = MakeRef<TZAdoResultSet>(self, recordset_, SQL);
  if (ResultSetConcurrency != rcUpdatable) {
    SetLastResultSet(native);
    return true;
  }
  auto resolver = MakeRef<TZAdoCachedResolver>(adoConnection_->GetAdoConnection(), native->GetMetadata(), self);
  auto cached = MakeRef<TZCachedResultSet>(native, SQL, resolver);
  cached->SetConcurrency(rcUpdatable);
  SetLastResultSet(cached);
  return true;
}

Ref<IZResultSet> TZAdoStatement::FirstResultSet(bool hasResultSet) {
  if (!hasResultSet)
    while (!GetMoreResults() && LastUpdateCount >= 0) {
    }
  return LastResultSet;
}

Ref<IZResultSet> TZAdoStatement::ExecuteQuery(const AnsiString& sql) {
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  return FirstResultSet(Execute(sql));
}

int TZAdoStatement::ExecuteUpdate(const AnsiString& sql) {
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  Execute(sql);
  return LastUpdateCount;
}

bool TZAdoStatement::GetMoreResults() {
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  if (!recordset_) return false;
  Variant recordsAffected;
  recordset_ = recordset_->NextRecordset(recordsAffected);
  return FetchResults(CountOf(recordsAffected));
}

void TZAdoStatement::Close() {
  TZAbstractCallableStatement::Close();
  recordset_ = nullptr;
}

// --- TZAdoPreparedStatement

TZAdoPreparedStatement::TZAdoPreparedStatement(Ref<IZPlainDriver> plainDriver, Ref<IZAdoConnection> connection,
                                               const AnsiString& sql, TStrings* info)
    : TZAdoStatement(std::move(plainDriver), connection, sql, info), command_(CoCommand::Create()) {
  command_->SetCommandText(sql);
  command_->SetActiveConnection(connection->GetAdoConnection());
  command_->SetPrepared(true);
}

_Command& TZAdoPreparedStatement::Command() {
  if (!command_) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  return *command_;
}

namespace {

// The data sources take a text parameter up to its first NUL: a text that
// holds one is refused by its parameter's number rather than cut there.
void RefuseNul(bool hasNul, int parameterIndex) {
  if (hasNul)
    throw EZSQLException(Format("The text of parameter %d holds a NUL character, which a text parameter cannot carry",
                                {parameterIndex}));
}

}  // namespace

void TZAdoPreparedStatement::SetInParam(int parameterIndex, TZSQLType sqlType, const TZVariant& value) {
  if (parameterIndex < 1) throw ERangeError(SRangeError);
  _Command& command = Command();
  Ref<Parameters> parameters = command.Parameters();
  int count = 0;
  if (command.CommandType() == adCmdStoredProc) {
    try {
      count = parameters->Count();
    } catch (const Exception&) {
      count = 0;  // a procedure the data source cannot describe takes what is appended
    }
  } else {
    if (command.GetParameterInfo(count) == DB_E_NOTPREPARED) {
      command.Prepare();
      command.GetParameterInfo(count);
    }
    // What the data source counts, or what was appended when it counts none.
    count = parameters->Count();
  }

  // Streams go as the plain values they hold.
  TZSQLType type = sqlType;
  TZVariant plain = value;
  if (IsStreamSQLType(sqlType)) {
    Ref<IZBlob> blob = value.VType == vtInterface ? Query<IZBlob>(DefaultVarManager()->GetAsInterface(value)) : nullptr;
    if (sqlType == stAsciiStream) {
      type = stString;
      if (blob) DefaultVarManager()->SetAsString(plain, blob->GetString());
    } else if (sqlType == stUnicodeStream) {
      type = stUnicodeString;
      if (blob) DefaultVarManager()->SetAsUnicodeString(plain, blob->GetUnicodeString());
    } else {
      type = stBytes;
      if (blob) DefaultVarManager()->SetAsString(plain, blob->GetString());
    }
    if (blob && blob->IsEmpty()) DefaultVarManager()->SetNull(plain);
  }

  Variant com = ComValue(plain);
  // An exact number travels as its decimal text: the drivers print a double
  // with fewer digits than it holds.
  if (type == stBigDecimal && plain.VType == vtFloat && std::isfinite(plain.VFloat)) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, plain.VFloat);
    com = Variant(AnsiString(text, result.ptr));
    type = stString;
  }
  int size = 0;
  if (type == stString && !VarIsNull(com)) {
    RefuseNul(com.AsString().find('\0') != AnsiString::npos, parameterIndex);
    size = std::max<int>(static_cast<int>(com.AsString().size()), 1);
  } else if (type == stUnicodeString && !VarIsNull(com)) {
    RefuseNul(com.AsWideString().find(u'\0') != WideString::npos, parameterIndex);
    size = std::max<int>(static_cast<int>(com.AsWideString().size()), 1);
  } else if (type == stBytes && !VarIsNull(com)) {
    const AnsiString bytes = com.AsString();
    size = static_cast<int>(bytes.size());
    com = size == 0 ? Null() : ByteArrayVariant(bytes);
  }
  const int adoType = VarIsNull(com) ? ConvertSqlTypeToAdo(type) : ConvertVariantToAdo(VarType(com));

  if (count < parameterIndex) {
    for (int missing = count + 1; missing < parameterIndex; ++missing)
      parameters->Append(command.CreateParameter("P" + IntToStr(missing), adEmpty, adParamInput, 0, Null()));
    parameters->Append(command.CreateParameter("P" + IntToStr(parameterIndex), adoType, adParamInput, size, com));
    return;
  }
  Ref<_Parameter> parameter = parameters->Item(parameterIndex - 1);
  parameter->SetType(adoType);
  parameter->SetSize(size);
  parameter->SetValue(com);
}

bool TZAdoPreparedStatement::ExecutePrepared() {
  Ref<_Command> command(&Command());
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  bool result = false;
  AdoLogged(*plainDriver_, lcExecute, SQL, [&] {
    Variant recordsAffected;
    if (IsSelect(SQL)) {
      recordset_ = CoRecordset::Create();
      recordset_->SetMaxRecords(MaxRows);
      recordset_->SetActiveConnection(command->ActiveConnection());
      recordset_->Open(command, adOpenForwardOnly, adLockOptimistic, adAsyncFetch);
    } else {
      recordset_ = command->Execute(recordsAffected, Unassigned(), -1);
    }
    result = FetchResults(CountOf(recordsAffected));
  });
  return result;
}

Ref<IZResultSet> TZAdoPreparedStatement::ExecuteQueryPrepared() { return FirstResultSet(ExecutePrepared()); }

int TZAdoPreparedStatement::ExecuteUpdatePrepared() {
  ExecutePrepared();
  return LastUpdateCount;
}

void TZAdoPreparedStatement::Close() {
  TZAdoStatement::Close();
  command_ = nullptr;
}

// --- TZAdoCallableStatement

TZAdoCallableStatement::TZAdoCallableStatement(Ref<IZPlainDriver> plainDriver, Ref<IZAdoConnection> connection,
                                               const AnsiString& sql, TStrings* info)
    : TZAdoPreparedStatement(std::move(plainDriver), std::move(connection), sql, info) {
  command_->SetCommandType(adCmdStoredProc);
}

TZVariant TZAdoCallableStatement::GetOutParam(int parameterIndex) {
  TZVariant result;
  if (parameterIndex >= 1 && parameterIndex <= OutParamCount) {
    const Variant value = Command().Parameters()->Item(parameterIndex - 1)->Value();
    switch (VarType(value)) {
      case varSmallint:
      case varInteger:
      case varShortInt:
      case varInt64: DefaultVarManager()->SetAsInteger(result, value.AsInteger()); break;
      // Currency reads as a number, a Boolean as itself.
      case varSingle:
      case varDouble:
      case varCurrency: DefaultVarManager()->SetAsFloat(result, value.AsFloat()); break;
      case varBoolean: DefaultVarManager()->SetAsBoolean(result, value.AsBoolean()); break;
      case varDate: DefaultVarManager()->SetAsDateTime(result, value.AsDateTime()); break;
      case varOleStr:
      case varString: DefaultVarManager()->SetAsString(result, value.AsString()); break;
      default: break;
    }
  }
  LastWasNull = DefaultVarManager()->IsNull(result);
  return result;
}
