// The fake driver's prepared statement: the client-side emulation with plain
// literals (numbers as they are, everything else quoted, NULL for null and for
// empty blobs, a NULL's default expression where one is set), run through the
// fake connection's plain statement.

#include "platform/rtl/text.h"
#include "sql/core/dbc/emulated_prepared_statement.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

class TZFakePreparedStatement : public TZEmulatedPreparedStatement {
public:
  using TZEmulatedPreparedStatement::TZEmulatedPreparedStatement;

protected:
  Ref<IZStatement> NewExecStatement() override {
    return GetConnection()->CreateStatementWithProperties(GetProperties());
  }

  AnsiString GetParameterSQL(int paramIndex) override {
    if (paramIndex >= InParamCount) throw EZSQLException(SZInvalidInputParameterCount);
    const TZVariant& value = InParamValues[paramIndex];
    // A NULL with a default expression stands for that default, as drivers
    // that compose SQL text render it.
    if (DefaultVarManager()->IsNull(value))
      return InParamDefaultValues[paramIndex].empty() ? AnsiString("NULL") : InParamDefaultValues[paramIndex];
    TZSQLType type = InParamTypes[paramIndex];
    if (IsStreamSQLType(type)) {
      Ref<IZBlob> blob = Query<IZBlob>(value.VInterface);
      return !blob || blob->IsEmpty() ? AnsiString("NULL") : QuotedStr(blob->GetString());
    }
    AnsiString text = SoftVarManager()->GetAsString(value);
    return IsNumericSQLType(type) ? text : QuotedStr(text);
  }
};

}  // namespace

Ref<IZPreparedStatement> TZFakeConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  server_->PreparedSQL.push_back(sql);
  return MakeRef<TZFakePreparedStatement>(Ref<IZConnection>(this), sql, info);
}
