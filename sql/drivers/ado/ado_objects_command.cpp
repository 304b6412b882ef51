// The ADO command and its parameters over a prepared ODBC statement: values
// bound natively with SQLBindParameter by their DataTypeEnum type, stored
// procedures run through the ODBC call escape, output parameters read back
// once the results are read.

#include <algorithm>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/ado/ado_columns.h"
#include "sql/drivers/ado/ado_messages.h"
#include "sql/drivers/ado/ado_utils.h"

using ado_odbc::Check;

namespace {

// Room for an output text or binary value of a parameter without a size.
constexpr int kOutputBytes = 8000;
constexpr int kNanosecondsPerMillisecond = 1000000;

// ODBC's COLUMN_TYPE of SQLProcedureColumns as a parameter direction; 0 for
// result columns, which are no parameters.
int DirectionOfOdbc(int columnType) {
  switch (columnType) {
    case SQL_PARAM_INPUT: return adParamInput;
    case SQL_PARAM_INPUT_OUTPUT: return adParamInputOutput;
    case SQL_PARAM_OUTPUT: return adParamOutput;
    case SQL_RETURN_VALUE: return adParamReturnValue;
    default: return 0;
  }
}

SQLSMALLINT OdbcIo(int direction) {
  switch (direction) {
    case adParamOutput:
    case adParamReturnValue: return SQL_PARAM_OUTPUT;
    case adParamInputOutput: return SQL_PARAM_INPUT_OUTPUT;
    default: return SQL_PARAM_INPUT;
  }
}

enum class BindKind { Integer, Boolean, Float, Date, Time, Timestamp, Text, Binary };

struct BindType {
  BindKind kind;
  SQLSMALLINT cType;
  SQLSMALLINT sqlType;
};

BindType BindTypeOf(int adoType) {
  switch (adoType) {
    case adTinyInt: return {BindKind::Integer, SQL_C_SBIGINT, SQL_TINYINT};
    case adUnsignedTinyInt:
    case adSmallInt: return {BindKind::Integer, SQL_C_SBIGINT, SQL_SMALLINT};
    case adUnsignedSmallInt:
    case adInteger: return {BindKind::Integer, SQL_C_SBIGINT, SQL_INTEGER};
    case adUnsignedInt:
    case adBigInt:
    case adUnsignedBigInt: return {BindKind::Integer, SQL_C_SBIGINT, SQL_BIGINT};
    case adBoolean: return {BindKind::Boolean, SQL_C_BIT, SQL_BIT};
    case adSingle:
    case adDouble:
    case adCurrency:
    case adDecimal:
    case adNumeric:
    case adVarNumeric: return {BindKind::Float, SQL_C_DOUBLE, SQL_DOUBLE};
    case adDBDate: return {BindKind::Date, SQL_C_TYPE_DATE, SQL_TYPE_DATE};
    case adDBTime: return {BindKind::Time, SQL_C_TYPE_TIME, SQL_TYPE_TIME};
    case adDate:
    case adFileTime:
    case adDBTimeStamp: return {BindKind::Timestamp, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP};
    case adLongVarChar: return {BindKind::Text, SQL_C_CHAR, SQL_LONGVARCHAR};
    case adWChar:
    case adVarWChar: return {BindKind::Text, SQL_C_CHAR, SQL_WVARCHAR};
    case adLongVarWChar: return {BindKind::Text, SQL_C_CHAR, SQL_WLONGVARCHAR};
    case adBinary:
    case adVarBinary: return {BindKind::Binary, SQL_C_BINARY, SQL_VARBINARY};
    case adLongVarBinary: return {BindKind::Binary, SQL_C_BINARY, SQL_LONGVARBINARY};
    default: return {BindKind::Text, SQL_C_CHAR, SQL_VARCHAR};
  }
}

template <class T>
void Store(std::string& buffer, const T& value) {
  buffer.assign(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class T>
T Load(const std::string& buffer) {
  T value{};
  std::memcpy(&value, buffer.data(), std::min(sizeof value, buffer.size()));
  return value;
}

}  // namespace

// One bound parameter: its buffer stays with the command until the next run,
// as output values arrive only when the results are read.
struct _Command::Binding {
  BindType type;
  SQLSMALLINT io;
  std::string buffer;
  SQLLEN indicator = 0;
};

// --- parameters -----------------------------------------------------------------

Parameters::Parameters(_Command* owner) : TContainedObject(owner), owner_(owner) {}

void Parameters::FillOnce() {
  if (filled_ || !items_.empty()) return;
  filled_ = true;
  items_ = owner_->DescribeParameters();
}

int Parameters::Count() {
  FillOnce();
  return static_cast<int>(items_.size());
}

void Parameters::Append(Ref<_Parameter> parameter) {
  // Appending ends the collection's own filling: what the caller builds stands.
  filled_ = true;
  items_.push_back(std::move(parameter));
}

Ref<_Parameter> Parameters::Item(int index) {
  if (index < 0 || index >= Count()) throw EAdoError(kAdoStateNoItem, kAdoItemNotFound);
  return items_[index];
}

Ref<_Parameter> Parameters::Item(const AnsiString& name) {
  FillOnce();
  for (const Ref<_Parameter>& item : items_)
    if (AnsiSameText(item->Name(), name)) return item;
  throw EAdoError(kAdoStateNoItem, kAdoItemNotFound);
}

void Parameters::Refresh() {
  items_ = owner_->DescribeParameters();
  filled_ = true;
}

// --- command ------------------------------------------------------------------------

_Command::_Command() = default;
_Command::~_Command() = default;

void _Command::Unprepare() {
  statement_.reset();
  bindings_.clear();
}

void _Command::SetCommandText(const AnsiString& value) {
  text_ = value;
  Unprepare();
}

void _Command::SetActiveConnection(Ref<Connection15> value) {
  connection_ = std::move(value);
  Unprepare();
}

void _Command::SetCommandType(int value) {
  commandType_ = value;
  Unprepare();
}

Ref<_Parameter> _Command::CreateParameter(const AnsiString& name, int type, int direction, int size,
                                          const Variant& value) {
  return MakeRef<_Parameter>(name, type, direction, size, value);
}

Ref<Parameters> _Command::Parameters() { return Ref<::Parameters>(&parameters_); }

std::string _Command::NativeText() {
  if (commandType_ != adCmdStoredProc) return connection_->NativeText(text_);
  // The call escape with one marker per parameter; the return value's
  // marker stands before the name.
  const std::vector<Ref<_Parameter>>& items = (parameters_.FillOnce(), parameters_.items_);
  const bool returns = !items.empty() && items[0]->Direction() == adParamReturnValue;
  std::string text = returns ? "{? = call " : "{call ";
  text += ado_odbc::ToOdbc(text_) + "(";
  for (std::size_t i = returns ? 1 : 0; i < items.size(); ++i) text += i > (returns ? 1u : 0u) ? ", ?" : "?";
  return text + ")}";
}

void _Command::Prepare() {
  if (!connection_) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  std::shared_ptr<ado_odbc::Handle> statement = connection_->NewStatement();
  std::string text = NativeText();
  Check(SQLPrepare(statement->get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), SQL_HANDLE_STMT,
        statement->get());
  statement_ = std::move(statement);
  preparedText_ = std::move(text);
}

int _Command::GetParameterInfo(int& count) {
  count = 0;
  if (!statement_ || !*statement_) return DB_E_NOTPREPARED;
  SQLSMALLINT markers = 0;
  Check(SQLNumParams(statement_->get(), &markers), SQL_HANDLE_STMT, statement_->get());
  count = markers;
  return S_OK;
}

std::vector<Ref<_Parameter>> _Command::DescribeParameters() {
  std::vector<Ref<_Parameter>> result;
  if (!connection_) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  if (commandType_ == adCmdStoredProc) {
    std::shared_ptr<ado_odbc::Handle> statement = connection_->NewStatement();
    std::string name = ado_odbc::ToOdbc(text_);
    Check(SQLProcedureColumns(statement->get(), nullptr, 0, nullptr, 0, reinterpret_cast<SQLCHAR*>(name.data()),
                              SQL_NTS, nullptr, 0),
          SQL_HANDLE_STMT, statement->get());
    auto rows = MakeRef<Recordset15>();
    Variant affected;
    rows->OpenResult(connection_, std::move(statement), affected);
    Ref<Fields> fields = rows->Fields();
    for (; !rows->Eof(); rows->MoveNext()) {
      const int direction = DirectionOfOdbc(static_cast<int>(fields->Item(4)->Value().AsInteger()));
      if (!direction) continue;
      const Variant columnName = fields->Item(3)->Value();
      AnsiString parameterName = VarIsNull(columnName) ? AnsiString() : columnName.AsString();
      if (parameterName.empty())
        parameterName = direction == adParamReturnValue ? "RETURN_VALUE" : "P" + IntToStr(int(result.size()) + 1);
      const int type = ado_odbc::DataTypeOfOdbc(static_cast<SQLSMALLINT>(fields->Item(5)->Value().AsInteger()), false);
      const Variant size = fields->Item(7)->Value();
      result.push_back(CreateParameter(parameterName, type, direction,
                                       VarIsNull(size) ? 0 : static_cast<int>(size.AsInteger()), Unassigned()));
    }
    std::stable_partition(result.begin(), result.end(),
                          [](const Ref<_Parameter>& p) { return p->Direction() == adParamReturnValue; });
    return result;
  }
  if (!statement_ || !*statement_) Prepare();
  int count = 0;
  GetParameterInfo(count);
  for (int number = 1; number <= count; ++number) {
    SQLSMALLINT sqlType = SQL_VARCHAR, digits = 0, nullable = 0;
    SQLULEN size = 0;
    // Drivers that cannot describe a marker get a text parameter.
    if (!SQL_SUCCEEDED(SQLDescribeParam(statement_->get(), static_cast<SQLUSMALLINT>(number), &sqlType, &size,
                                        &digits, &nullable)))
      sqlType = SQL_VARCHAR;
    result.push_back(CreateParameter("P" + IntToStr(number), ado_odbc::DataTypeOfOdbc(sqlType, false), adParamInput,
                                     0, Unassigned()));
  }
  return result;
}

Ref<Recordset15> _Command::Execute(Variant& recordsAffected, const Variant& /*parameters*/, int /*options*/) {
  auto recordset = MakeRef<Recordset15>();
  ExecuteInto(*recordset, recordsAffected);
  return recordset;
}

void _Command::ExecuteInto(Recordset15& target, Variant& recordsAffected) {
  if (!connection_) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  // A procedure's call follows its parameters, which may have changed, and
  // goes to the data source with its values bound: some drivers look the
  // procedure up only when they know the arguments.
  const bool direct = commandType_ == adCmdStoredProc;
  if (direct) {
    statement_ = connection_->NewStatement();
    preparedText_ = NativeText();
  } else if (!statement_ || !*statement_) {
    Prepare();
  }
  const SQLHSTMT handle = statement_->get();
  SQLFreeStmt(handle, SQL_CLOSE);
  SQLFreeStmt(handle, SQL_RESET_PARAMS);

  const std::vector<Ref<_Parameter>>& items = (parameters_.FillOnce(), parameters_.items_);
  bindings_.assign(items.size(), Binding{});
  for (std::size_t i = 0; i < items.size(); ++i) {
    const _Parameter& parameter = *items[i];
    Binding& binding = bindings_[i];
    binding.type = BindTypeOf(parameter.Type());
    binding.io = OdbcIo(parameter.Direction());
    const Variant& value = parameter.Value();
    const bool input = binding.io != SQL_PARAM_OUTPUT;
    const bool null = !input || VarIsNull(value) || VarIsEmpty(value);
    SQLULEN columnSize = 0;
    SQLSMALLINT digits = 0;
    switch (binding.type.kind) {
      case BindKind::Integer: Store<SQLBIGINT>(binding.buffer, null ? 0 : value.AsInteger()); break;
      case BindKind::Boolean: Store<SQLCHAR>(binding.buffer, !null && value.AsBoolean()); break;
      case BindKind::Float: Store<double>(binding.buffer, null ? 0 : value.AsFloat()); break;
      case BindKind::Date:
      case BindKind::Time:
      case BindKind::Timestamp: {
        int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, millisecond = 0;
        if (!null) {
          const TDateTime stamp = value.AsDateTime();
          DecodeDate(stamp, year, month, day);
          DecodeTime(stamp, hour, minute, second, millisecond);
        }
        if (binding.type.kind == BindKind::Date) {
          Store(binding.buffer, SQL_DATE_STRUCT{SQLSMALLINT(year), SQLUSMALLINT(month), SQLUSMALLINT(day)});
        } else if (binding.type.kind == BindKind::Time) {
          Store(binding.buffer, SQL_TIME_STRUCT{SQLUSMALLINT(hour), SQLUSMALLINT(minute), SQLUSMALLINT(second)});
        } else {
          Store(binding.buffer, SQL_TIMESTAMP_STRUCT{SQLSMALLINT(year), SQLUSMALLINT(month), SQLUSMALLINT(day),
                                                     SQLUSMALLINT(hour), SQLUSMALLINT(minute), SQLUSMALLINT(second),
                                                     SQLUINTEGER(millisecond) * kNanosecondsPerMillisecond});
          columnSize = 23;
          digits = 3;
        }
        break;
      }
      case BindKind::Text:
        if (!null)
          binding.buffer = VarType(value) == varOleStr ? WideToUtf8(value.AsWideString())
                                                       : ado_odbc::ToOdbc(value.AsString());
        columnSize = std::max<SQLULEN>({binding.buffer.size(), SQLULEN(parameter.Size()), 1});
        break;
      case BindKind::Binary:
        if (!null) binding.buffer = VariantBytes(value);
        columnSize = std::max<SQLULEN>({binding.buffer.size(), SQLULEN(parameter.Size()), 1});
        break;
    }
    const bool variable = binding.type.kind == BindKind::Text || binding.type.kind == BindKind::Binary;
    binding.indicator = null ? SQL_NULL_DATA : variable ? SQLLEN(binding.buffer.size()) : 0;
    if (variable && binding.io != SQL_PARAM_INPUT) {
      const std::size_t room = std::max<std::size_t>(std::max(parameter.Size(), kOutputBytes), binding.buffer.size());
      binding.buffer.resize(room + 1);
    }
    if (binding.buffer.empty()) binding.buffer.resize(1);
    Check(SQLBindParameter(handle, static_cast<SQLUSMALLINT>(i + 1), binding.io, binding.type.cType,
                           binding.type.sqlType, columnSize, digits, binding.buffer.data(),
                           static_cast<SQLLEN>(binding.buffer.size()), &binding.indicator),
          SQL_HANDLE_STMT, handle);
  }
  Check(direct ? SQLExecDirect(handle, reinterpret_cast<SQLCHAR*>(preparedText_.data()), SQL_NTS)
               : SQLExecute(handle),
        SQL_HANDLE_STMT, handle);
  target.OpenResult(connection_, statement_, recordsAffected);

  for (std::size_t i = 0; i < items.size(); ++i) {
    Binding& binding = bindings_[i];
    if (binding.io == SQL_PARAM_INPUT) continue;
    if (binding.indicator == SQL_NULL_DATA) {
      items[i]->SetValue(Null());
      continue;
    }
    const std::string& buffer = binding.buffer;
    switch (binding.type.kind) {
      case BindKind::Integer: items[i]->SetValue(Variant(static_cast<std::int64_t>(Load<SQLBIGINT>(buffer)))); break;
      case BindKind::Boolean: items[i]->SetValue(Variant(Load<SQLCHAR>(buffer) != 0)); break;
      case BindKind::Float: items[i]->SetValue(Variant(Load<double>(buffer))); break;
      case BindKind::Date: {
        const auto date = Load<SQL_DATE_STRUCT>(buffer);
        items[i]->SetValue(Variant::OfFloat(varDate, EncodeDate(date.year, date.month, date.day)));
        break;
      }
      case BindKind::Time: {
        const auto time = Load<SQL_TIME_STRUCT>(buffer);
        items[i]->SetValue(Variant::OfFloat(varDate, EncodeTime(time.hour, time.minute, time.second, 0)));
        break;
      }
      case BindKind::Timestamp: {
        const auto stamp = Load<SQL_TIMESTAMP_STRUCT>(buffer);
        items[i]->SetValue(Variant::OfFloat(
            varDate, EncodeDate(stamp.year, stamp.month, stamp.day) +
                         EncodeTime(stamp.hour, stamp.minute, stamp.second,
                                    static_cast<int>(stamp.fraction / kNanosecondsPerMillisecond))));
        break;
      }
      case BindKind::Text: {
        const std::size_t length = std::min<std::size_t>(std::max<SQLLEN>(binding.indicator, 0), buffer.size() - 1);
        items[i]->SetValue(Variant(ado_odbc::FromOdbc(std::string_view(buffer.data(), length))));
        break;
      }
      case BindKind::Binary: {
        const std::size_t length = std::min<std::size_t>(std::max<SQLLEN>(binding.indicator, 0), buffer.size() - 1);
        items[i]->SetValue(ByteArrayVariant(std::string_view(buffer.data(), length)));
        break;
      }
    }
  }
}
