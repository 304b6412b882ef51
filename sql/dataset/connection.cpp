// TZConnection: connecting through the driver manager, dataset registration,
// explicit transactions and the shared SQL-wait cursor.
#include "sql/dataset/connection.h"

#include <algorithm>

#include "platform/db/db_hooks.h"
#include "platform/rtl/format.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/ro_dataset.h"
#include "sql/dataset/sequence.h"

namespace {

// Shared by every connection component of the process: how deep the SQL-wait
// cursor is nested and which cursor it replaced.
int hourGlassCount = 0;
TScreenCursorKind savedCursor = crDefault;

bool HasSemicolon(const AnsiString& value) { return value.find(';') != AnsiString::npos; }

}  // namespace

TZConnection::TZConnection(TComponent* owner) : TComponent(owner) {}

TZConnection::~TZConnection() { TZConnection::BeforeDestruction(); }

void TZConnection::BeforeDestruction() {
  if (!InState(csDestroying)) {
    try {
      Disconnect();
    } catch (...) {
      // A destructor cannot report; the connection is dropped all the same.
    }
    while (!dataSets_.empty()) {
      TZAbstractRODataset* dataSet = dataSets_.back();
      dataSets_.pop_back();
      try {
        dataSet->SetConnection(nullptr);
      } catch (...) {
      }
    }
    // A sequence of another owner hears nothing of this removal; it must not
    // keep pointing here.
    while (!sequences_.empty()) sequences_.back()->SetConnection(nullptr);
  }
  TComponent::BeforeDestruction();
}

void TZConnection::SetProperties(const TStrings* value) {
  if (value) properties_.SetText(value->Text());
  else properties_.Clear();
}

bool TZConnection::Connected() { return connection_ && !connection_->IsClosed(); }

void TZConnection::SetConnected(bool value) {
  if (InState(csLoading) || InState(csReading)) {
    if (value) streamedConnected_ = true;
    return;
  }
  if (value == Connected()) return;
  if (value) Connect();
  else Disconnect();
}

void TZConnection::Loaded() {
  TComponent::Loaded();
  if (!streamedConnected_) return;
  streamedConnected_ = false;
  if (InState(csDesigning) || !designConnection_) Connect();
}

void TZConnection::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (auto* dataSet = dynamic_cast<TZAbstractRODataset*>(component)) UnregisterDataSet(dataSet);
}

AnsiString TZConnection::ConstructURL(const AnsiString& userName, const AnsiString& password) const {
  return UrlFor(database_, userName, password);
}

AnsiString TZConnection::UrlFor(const AnsiString& database, const AnsiString& userName,
                                const AnsiString& password) const {
  if (port_ != 0)
    return Format("zdbc:%s://%s:%d/%s?UID=%s;PWD=%s", {protocol_, hostName_, port_, database, userName, password});
  return Format("zdbc:%s://%s/%s?UID=%s;PWD=%s", {protocol_, hostName_, database, userName, password});
}

Ref<IZDriver> TZConnection::GetDriver() {
  if (connection_) return connection_->GetDriver();
  return DriverManager()->GetDriver(ConstructURL("", ""));
}

bool TZConnection::AskLogin(AnsiString& userName, AnsiString& password) {
  if (userName.empty()) userName = properties_.Values("UID");
  if (userName.empty()) userName = properties_.Values("username");
  if (password.empty()) password = properties_.Values("PWD");
  if (password.empty()) password = properties_.Values("password");
  if (OnLogin) {
    OnLogin(this, userName, password);
    return true;
  }
  const TLoginDialogHook& hook = LoginDialogHook();
  if (!hook) throw Exception(SZLoginPromptFailure);
  return hook(database_, userName, password);
}

// The URL grammar ends a parameter at ";" and the database at "?", so a user
// name or password holding a ";", or a database name holding a "?", would be
// cut short inside the URL (and the rest read as parameters). Such a value
// travels as a property line instead, after the component's own lines.
Ref<IZConnection> TZConnection::OpenConnection(const AnsiString& userName, const AnsiString& password) {
  const bool userAside = HasSemicolon(userName);
  const bool passwordAside = HasSemicolon(password);
  const bool databaseAside = database_.find('?') != AnsiString::npos;
  const AnsiString url = UrlFor(databaseAside ? AnsiString() : database_, userAside ? AnsiString() : userName,
                                passwordAside ? AnsiString() : password);
  if (!userAside && !passwordAside && !databaseAside)
    return DriverManager()->GetConnectionWithProperties(url, &properties_);
  TStringList lines;
  lines.AddStrings(&properties_);
  if (userAside) lines.Add("username=" + userName);
  if (passwordAside) lines.Add("password=" + password);
  if (databaseAside) lines.Add("database=" + database_);
  return DriverManager()->GetConnectionWithProperties(url, &lines);
}

void TZConnection::Connect() {
  if (connection_) return;
  Fire(BeforeConnect);
  AnsiString userName = user_;
  AnsiString password = password_;
  if (loginPrompt_ && !AskLogin(userName, password)) return;
  ShowSQLHourGlass();
  try {
    connection_ = OpenConnection(userName, password);
    try {
      connection_->SetAutoCommit(autoCommit_);
      connection_->SetReadOnly(readOnly_);
      connection_->SetCatalog(catalog_);
      connection_->SetTransactIsolationLevel(isolationLevel_);
      connection_->Open();
    } catch (...) {
      connection_ = nullptr;
      throw;
    }
  } catch (...) {
    HideSQLHourGlass();
    throw;
  }
  HideSQLHourGlass();
  if (!connection_->IsClosed()) Fire(AfterConnect);
}

void TZConnection::Disconnect() {
  if (!connection_) return;
  Fire(BeforeDisconnect);
  ShowSQLHourGlass();
  // The sequence objects belong to the connection being dropped.
  auto drop = [&] {
    connection_ = nullptr;
    for (TZSequence* sequence : sequences_) sequence->ReleaseSequence();
    HideSQLHourGlass();
  };
  try {
    CloseAllDataSets();
    connection_->Close();
  } catch (...) {
    drop();
    throw;
  }
  drop();
  Fire(AfterDisconnect);
}

bool TZConnection::PingServer() { return connection_ && connection_->PingServer() == 0; }

bool TZConnection::CheckAlive() {
  bool wasConnected = Connected();
  bool alive = PingServer();
  if (!alive && wasConnected) SetConnected(false);
  return alive;
}

void TZConnection::RegisterDataSet(TZAbstractRODataset* dataSet) {
  if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end()) dataSets_.push_back(dataSet);
}

void TZConnection::UnregisterDataSet(TZAbstractRODataset* dataSet) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}

void TZConnection::RegisterSequence(TZSequence* sequence) {
  if (std::find(sequences_.begin(), sequences_.end(), sequence) == sequences_.end()) sequences_.push_back(sequence);
}

void TZConnection::UnregisterSequence(TZSequence* sequence) {
  sequences_.erase(std::remove(sequences_.begin(), sequences_.end(), sequence), sequences_.end());
}

void TZConnection::CloseAllDataSets() {
  // A dataset may unregister while it closes, so walk a copy.
  std::vector<TZAbstractRODataset*> dataSets = dataSets_;
  for (TZAbstractRODataset* dataSet : dataSets) {
    try {
      dataSet->Close();
    } catch (...) {
      // One dataset that fails to close must not keep the others open.
    }
  }
}

void TZConnection::ShowSQLHourGlass() {
  if (!sqlHourGlass_) return;
  if (hourGlassCount == 0) {
    if (TScreenCursorService* screen = ScreenCursorService()) {
      savedCursor = screen->Cursor();
      if (savedCursor != crOther) screen->SetCursor(crSQLWait);
    }
  }
  ++hourGlassCount;
}

void TZConnection::HideSQLHourGlass() {
  if (!sqlHourGlass_) return;
  if (hourGlassCount > 0) --hourGlassCount;
  if (hourGlassCount != 0 || savedCursor == crOther) return;
  if (TScreenCursorService* screen = ScreenCursorService()) screen->SetCursor(savedCursor);
}

void TZConnection::SetAutoCommit(bool value) {
  if (value == autoCommit_) return;
  if (txnLevel_ > 0) throw Exception(SZInvalidOpInExplicitTransaction);
  autoCommit_ = value;
  WithSQLHourGlass(this, [&] {
    if (connection_) connection_->SetAutoCommit(value);
  });
}

void TZConnection::SetTransactIsolationLevel(TZTransactIsolationLevel value) {
  if (value == isolationLevel_) return;
  isolationLevel_ = value;
  WithSQLHourGlass(this, [&] {
    if (connection_) connection_->SetTransactIsolationLevel(value);
  });
}

void TZConnection::CheckConnected() {
  if (!connection_) throw EZDatabaseError(SZConnectionIsNotOpened);
}

void TZConnection::CheckAutoCommitMode() {
  if (!autoCommit_ && txnLevel_ == 0) throw EZDatabaseError(SZInvalidOpInNonAutoCommitMode);
}

void TZConnection::CheckNonAutoCommitMode() {
  if (autoCommit_) throw EZDatabaseError(SZInvalidOpInAutoCommitMode);
}

void TZConnection::StartTransaction() {
  CheckAutoCommitMode();
  if (txnLevel_ == 0) SetAutoCommit(false);
  Fire(OnStartTransaction);
  ++txnLevel_;
}

void TZConnection::EndTransaction(void (IZConnection::*step)(), const TNotifyEvent& event) {
  CheckConnected();
  CheckNonAutoCommitMode();
  bool explicitTxn = txnLevel_ > 0;
  if (txnLevel_ >= 2) {
    --txnLevel_;
    return;
  }
  ShowSQLHourGlass();
  auto finish = [&] {
    txnLevel_ = 0;
    if (explicitTxn) SetAutoCommit(true);
    HideSQLHourGlass();
  };
  try {
    ((*connection_).*step)();
  } catch (...) {
    finish();
    throw;
  }
  finish();
  Fire(event);
}

void TZConnection::Commit() { EndTransaction(&IZConnection::Commit, OnCommit); }

void TZConnection::Rollback() { EndTransaction(&IZConnection::Rollback, OnRollback); }

void TZConnection::PrepareTransaction(const AnsiString& transactionId) {
  CheckConnected();
  CheckNonAutoCommitMode();
  if (txnLevel_ != 1) throw EZDatabaseError(SZInvalidOpPrepareTransaction);
  ShowSQLHourGlass();
  auto finish = [&] {
    txnLevel_ = 0;
    SetAutoCommit(true);
    HideSQLHourGlass();
  };
  try {
    connection_->PrepareTransaction(transactionId);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// Two-phase endings run outside any transaction of this session, so the
// isolation level is lifted for the call and put back afterwards. Without a
// connection they refuse like their sibling operations instead of failing on
// an empty reference.
void TZConnection::EndPrepared(void (IZConnection::*step)(const AnsiString&), const AnsiString& transactionId) {
  CheckAutoCommitMode();
  CheckConnected();
  TZTransactIsolationLevel saved = isolationLevel_;
  SetTransactIsolationLevel(tiNone);
  try {
    ((*connection_).*step)(transactionId);
  } catch (...) {
    SetTransactIsolationLevel(saved);
    throw;
  }
  SetTransactIsolationLevel(saved);
}

void TZConnection::CommitPrepared(const AnsiString& transactionId) {
  EndPrepared(&IZConnection::CommitPrepared, transactionId);
}

void TZConnection::RollbackPrepared(const AnsiString& transactionId) {
  EndPrepared(&IZConnection::RollbackPrepared, transactionId);
}
