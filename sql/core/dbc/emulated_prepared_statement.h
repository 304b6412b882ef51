// TZEmulatedPreparedStatement: a prepared statement for servers without
// server-side preparation. The SQL text is cut once at its "?" markers; each
// execution renders the current parameter values as SQL literals, joins them
// with the fragments and runs the text on a plain statement of the same
// connection. A driver supplies that plain statement and its literals.
#pragma once

#include <vector>

#include "sql/core/dbc/abstract_statement.h"

class TZEmulatedPreparedStatement : public TZAbstractPreparedStatement {
public:
  using TZAbstractPreparedStatement::TZAbstractPreparedStatement;
  ~TZEmulatedPreparedStatement() override;

  // Runs on the plain statement. Execute holds the plain statement's result
  // set as this statement's last one; ExecuteQuery hands it to the caller.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;
  // Closes the last result set and the plain statement's current work; the
  // plain statement itself is kept for later executions.
  void Close() override;

  // The same three on the text composed from the current parameter values.
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  int ExecuteUpdatePrepared() override;
  bool ExecutePrepared() override;

  // The literal of a number type (integer or decimal, "." as separator),
  // written from the numeric value, so a text handed in as a number never
  // reaches the statement unquoted; false for the other types.
  static bool NumberLiteral(TZSQLType type, const TZVariant& value, AnsiString& literal);

protected:
  // A new plain statement on the same connection.
  virtual Ref<IZStatement> NewExecStatement() = 0;
  // The SQL literal of parameter paramIndex (0-based: the n-th "?" of the
  // text), in the driver's dialect; it decides what a missing one gives.
  virtual AnsiString GetParameterSQL(int paramIndex) = 0;
  // The fragments joined with the literals.
  virtual AnsiString ComposeSQL();
  // The text cut into fragments and "?" markers, made on first use.
  const std::vector<AnsiString>& SplitSQL();
  // The plain statement, made on first use with this statement's settings.
  Ref<IZStatement> GetExecStatement();
  // Closes the statement used last (with its result set), then holds this one.
  void SetLastStatement(const Ref<IZStatement>& statement);

private:
  Ref<IZStatement> execStatement_;
  std::vector<AnsiString> cachedSQL_;
  bool splitDone_ = false;
  Ref<IZStatement> lastStatement_;
};

// The literal of a boolean ('Y' or 'N'), number or date and time parameter
// ('yyyy-mm-dd', 'hh:nn:ss', 'yyyy-mm-dd hh:nn:ss') as the text-composing
// dialects write them; false, with literal untouched, for any other type.
// Numbers are written from their numeric value, so a text handed in as a
// number can never reach the statement unquoted.
bool ScalarParameterLiteral(TZSQLType type, const TZVariant& value, AnsiString& literal);
