// TZAbstractRODataset: what a data provider asks of a dataset, answered from
// its TZConnection and its own SQL text; and the stored form of Params.
#include <exception>

#include "platform/db/params_stream.h"
#include "sql/core/messages.h"
#include "sql/core/parsesql/select_schema.h"
#include "sql/core/parsesql/statement_analyser.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/param_binding.h"
#include "sql/dataset/ro_dataset.h"

namespace {

bool InExplicitMode(TZConnection* connection) { return connection && !connection->AutoCommit(); }

}  // namespace

void TZAbstractRODataset::ProviderEndTransaction(bool commit) {
  if (!InExplicitMode(connection_) || !connection_->Connected()) return;
  if (commit) connection_->Commit();
  else connection_->Rollback();
}

bool TZAbstractRODataset::ProviderInTransaction() {
  return InExplicitMode(connection_) && connection_->Connected() &&
         connection_->TransactIsolationLevel() != tiNone;
}

void TZAbstractRODataset::ProviderStartTransaction() {
  if (!InExplicitMode(connection_)) return;
  if (!connection_->Connected()) connection_->Connect();
  connection_->StartTransaction();
}

int TZAbstractRODataset::ProviderExecuteStatement(const AnsiString& sql, TParams* params, TDataSet**) {
  if (!connection_) return 0;
  if (!connection_->Connected()) connection_->Connect();
  Ref<IZPreparedStatement> statement = connection_->DbcConnection()->PrepareStatement(sql);
  for (int i = 0; params && i < params->Count(); ++i) BindParamValue(statement.get(), i + 1, *params->Items(i));
  return statement->ExecuteUpdatePrepared();
}

AnsiString TZAbstractRODataset::ProviderQuoteChar() {
  if (!connection_) return "\"";
  if (!connection_->Connected()) connection_->Connect();
  AnsiString quote = connection_->DbcConnection()->GetMetadata()->GetIdentifierQuoteString();
  return quote.substr(0, 1);
}

AnsiString TZAbstractRODataset::ProviderTableName() {
  if (!connection_) return AnsiString();
  Ref<IZDriver> driver = connection_->GetDriver();
  if (!driver) throw EZSQLException(SZDriverWasNotFound);
  Ref<IZTokenizer> tokenizer = driver->GetTokenizer();
  Ref<IZSelectSchema> schema =
      driver->GetStatementAnalyser()->DefineSelectSchemaFromQuery(tokenizer.get(), sql_.Text());
  if (!schema || schema->GetTableCount() != 1) return AnsiString();
  return schema->GetTable(0)->FullName();
}

std::unique_ptr<EUpdateError> TZAbstractRODataset::ProviderUpdateException(const std::exception& error,
                                                                           const EUpdateError* previous) {
  // Providers ask while handling the error, so the exception in flight is it.
  std::exception_ptr original = std::current_exception();
  if (const auto* sqlError = dynamic_cast<const EZSQLException*>(&error))
    return std::make_unique<EUpdateError>(sqlError->Message(), AnsiString(), sqlError->ErrorCode(),
                                          previous ? previous->ErrorCode() : 0, original);
  return std::make_unique<EUpdateError>(AnsiString(error.what()), AnsiString(), -1, -1, original);
}

void TZAbstractRODataset::ProviderReset() {
  TDataSet::ProviderReset();
  if (!Active()) return;
  Refresh();
  First();
}

void TZAbstractRODataset::ProviderSetParams(TParams* params) {
  if (params && params->Count() > 0) params_.Assign(*params);
}

bool TZAbstractRODataset::ParamDataStored(const TParams* ancestorParams) const {
  return ::ParamDataStored(params_, ancestorParams);
}

void TZAbstractRODataset::StoreParamData(TStream& stream) const { WriteParamData(stream, params_); }
void TZAbstractRODataset::LoadParamData(TStream& stream) { ReadParamData(stream, params_); }
