// The provider-support defaults of TDataSet: a dataset that is not SQL based
// answers "no" to every question and applies nothing.
#include "platform/db/dataset.h"

void TDataSet::ProviderEndTransaction(bool) {}
void TDataSet::ProviderExecute() {}
int TDataSet::ProviderExecuteStatement(const AnsiString&, TParams*, TDataSet**) { return 0; }
AnsiString TDataSet::ProviderKeyFields() { return AnsiString(); }
TParams* TDataSet::ProviderParams() { return nullptr; }
AnsiString TDataSet::ProviderQuoteChar() { return AnsiString(); }
AnsiString TDataSet::ProviderTableName() { return AnsiString(); }

std::unique_ptr<EUpdateError> TDataSet::ProviderUpdateException(const std::exception&,
                                                                const EUpdateError*) {
  return nullptr;
}

bool TDataSet::ProviderInTransaction() { return false; }
bool TDataSet::ProviderIsSQLBased() { return false; }
bool TDataSet::ProviderIsSQLSupported() { return false; }
void TDataSet::ProviderReset() {}
void TDataSet::ProviderSetParams(TParams*) {}
void TDataSet::ProviderSetCommandText(const AnsiString&) {}
void TDataSet::ProviderStartTransaction() {}
bool TDataSet::ProviderUpdateRecord(TUpdateKind, TDataSet*) { return false; }
bool TDataSet::HasNewValue(TField*) { return true; }
