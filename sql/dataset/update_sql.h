// TZUpdateSQL: statements the user writes for an updatable dataset's changes
// (delete, insert, modify, and a refresh that reads an inserted or modified
// row back), used in place of the statements the driver's resolver builds.
// The component is itself the cached result set's resolver: the dataset
// whose UpdateObject names it hands it over, and each posted row change runs
// the matching list here, its parameters bound from the row (":NAME",
// ":NEW_NAME" the new value, ":OLD_NAME" the old one) or from Params.
#pragma once

#include <functional>

#include "platform/db/params.h"
#include "platform/rtl/components.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/dataset/sql_strings.h"

class TStream;
class TZAbstractDataset;

class TZUpdateSQL : public TComponent, public virtual IZCachedResolver {
public:
  using TNotifyEvent = std::function<void(TObject* sender)>;
  // Execute starts True; set False to skip the statement.
  using TZBeforeSQLStatementEvent = std::function<void(TObject* sender, int statementIndex, bool& execute)>;
  using TZAfterSQLStatementEvent = std::function<void(TObject* sender, int statementIndex)>;
  // Set UpdateAutoIncFields to have the driver's resolver fill the new row's
  // auto-increment columns.
  using TZAfterInsertSQLStatementEvent =
      std::function<void(TObject* sender, int statementIndex, bool& updateAutoIncFields)>;

  explicit TZUpdateSQL(TComponent* owner);
  ~TZUpdateSQL() override;
  void BeforeDestruction() override;

  // The owner frees the component; interface references do not count.
  int AddRef() override { return 1; }
  int Release() override { return 1; }

  TZSQLStrings& DeleteSQL() { return deleteSQL_; }
  TZSQLStrings& InsertSQL() { return insertSQL_; }
  TZSQLStrings& ModifySQL() { return modifySQL_; }
  TZSQLStrings& RefreshSQL() { return refreshSQL_; }
  void SetDeleteSQL(const TStrings* value) { CopyLines(deleteSQL_, value); }
  void SetInsertSQL(const TStrings* value) { CopyLines(insertSQL_, value); }
  void SetModifySQL(const TStrings* value) { CopyLines(modifySQL_, value); }
  void SetRefreshSQL(const TStrings* value) { CopyLines(refreshSQL_, value); }
  bool UseSequenceFieldForRefreshSQL() const { return useSequenceFieldForRefreshSQL_; }
  void SetUseSequenceFieldForRefreshSQL(bool value) { useSequenceFieldForRefreshSQL_ = value; }
  TParams& Params() { return params_; }
  // Copies only the values of same-named parameters.
  void SetParams(const TParams& value) { params_.CopyParamValues(value); }
  // Both reach the delete, insert and modify lists; the refresh list keeps
  // its own settings.
  bool ParamCheck() const { return paramCheck_; }
  void SetParamCheck(bool value);
  bool MultiStatements() const { return multiStatements_; }
  void SetMultiStatements(bool value);

  TZAbstractDataset* DataSet() const { return dataSet_; }
  // The dataset whose connection's dialect splits the statements.
  void SetDataSet(TZAbstractDataset* value);

  // The stored form of Params ("ParamData").
  bool ParamDataStored(const TParams* ancestorParams) const;
  void StoreParamData(TStream& stream) const;
  void LoadParamData(TStream& stream);

  // The resolver: defaults and auto-increment values come from the result
  // set's own resolver; PostUpdates runs the list of the change.
  void CalculateDefaults(IZCachedResultSet* sender, TZRowAccessor* rowAccessor) override;
  void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                   TZRowAccessor* newRowAccessor) override;
  void UpdateAutoIncrementFields(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                 TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor,
                                 IZCachedResolver* resolver) override;

  TNotifyEvent BeforeDeleteSQL, BeforeInsertSQL, BeforeModifySQL;
  TNotifyEvent AfterDeleteSQL, AfterInsertSQL, AfterModifySQL;
  TZBeforeSQLStatementEvent BeforeDeleteSQLStatement, BeforeInsertSQLStatement, BeforeModifySQLStatement;
  TZAfterSQLStatementEvent AfterDeleteSQLStatement, AfterModifySQLStatement;
  TZAfterInsertSQLStatementEvent AfterInsertSQLStatement;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  static void CopyLines(TZSQLStrings& list, const TStrings* value) {
    list.SetText(value ? value->Text() : AnsiString());
  }
  // Every parameter name of the four lists, keeping surviving values.
  void RebuildParams();
  void BindStatement(IZCachedResultSet* sender, IZPreparedStatement* statement, const TZSQLStatement& sql,
                     TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor);
  // The list and events of one kind of row change; no list for another kind.
  struct Step {
    const TZSQLStrings* list = nullptr;
    const TNotifyEvent* before = nullptr;
    const TNotifyEvent* after = nullptr;
    const TZBeforeSQLStatementEvent* beforeStatement = nullptr;
  };
  Step StepOf(TZRowUpdateType updateType);
  // Runs the statements of the step's list for one row change.
  void RunStatements(IZCachedResultSet* sender, TZRowUpdateType updateType, const Step& step,
                     TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor);
  // Reads the row back by RefreshSQL into the new row.
  void RefreshRow(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                  TZRowAccessor* newRowAccessor);
  // The refresh text with the dataset's sequence expression in place of
  // ":OLD_" and the sequence field, when the refresh asks for it.
  AnsiString RefreshText(TZRowUpdateType updateType);

  TZAbstractDataset* dataSet_ = nullptr;
  TZSQLStrings deleteSQL_, insertSQL_, modifySQL_, refreshSQL_;
  bool paramCheck_ = true;
  bool multiStatements_ = true;
  TParams params_;
  bool useSequenceFieldForRefreshSQL_ = false;
};
