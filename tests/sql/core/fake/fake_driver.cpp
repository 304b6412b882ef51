// The fake driver, its connection, statement and sequence (see fake_driver.h).

#include "tests/sql/core/fake/fake_driver.h"

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/core/messages.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/sql_exception.h"

namespace {

bool ChangesOneRow(const AnsiString& sql) {
  const AnsiString head = UpperCase(sql.substr(0, 7));
  return head.starts_with("INSERT ") || head.starts_with("UPDATE ") || head.starts_with("DELETE ");
}

std::vector<AnsiString> Lines(TStrings* list) {
  std::vector<AnsiString> lines;
  for (int i = 0; i < list->Count(); ++i) lines.push_back(list->Strings(i));
  return lines;
}

// A plain statement: keeps its settings, runs SQL against the server's
// canned answers and records every text it executes.
class TZFakeStatement : public TZAbstractObject, public virtual IZStatement {
public:
  TZFakeStatement(Ref<TZFakeConnection> connection, TStrings* info) : connection_(std::move(connection)) {
    if (info) properties_.AddStrings(info);
  }

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override {
    auto found = Run(sql).Results.find(sql);
    if (found == Server().Results.end())
      throw EZSQLException(Format(SZSQLError1, {"no result set for " + sql}));
    if (Server().UpdatableResults && concurrency_ == rcUpdatable) return CachedResultSet(sql, found->second);
    return MakeFakeResultSet(Ref<IZStatement>(this), found->second);
  }

  int ExecuteUpdate(const AnsiString& sql) override {
    auto found = Run(sql).UpdateCounts.find(sql);
    updateCount_ = found != Server().UpdateCounts.end() ? found->second : ChangesOneRow(sql) ? 1 : 0;
    return updateCount_;
  }

  bool Execute(const AnsiString& sql) override {
    pendingResult_.reset();
    updateCount_ = -1;
    if (auto found = Server().Results.find(sql); found != Server().Results.end()) {
      Run(sql);
      pendingResult_ = std::make_unique<TZFakeResult>(found->second);
      return true;
    }
    ExecuteUpdate(sql);
    return false;
  }

  // Made when asked, not kept: a result set holds its statement, so the
  // statement holding it back would keep both alive for ever.
  Ref<IZResultSet> GetResultSet() override {
    if (!pendingResult_) return nullptr;
    std::unique_ptr<TZFakeResult> result = std::move(pendingResult_);
    return MakeFakeResultSet(Ref<IZStatement>(this), *result);
  }
  int GetUpdateCount() override { return updateCount_; }
  bool GetMoreResults() override { return false; }
  void Close() override { pendingResult_.reset(); }

  int GetMaxFieldSize() override { return maxFieldSize_; }
  void SetMaxFieldSize(int value) override { maxFieldSize_ = value; }
  int GetMaxRows() override { return maxRows_; }
  void SetMaxRows(int value) override { maxRows_ = value; }
  void SetEscapeProcessing(bool) override {}
  int GetQueryTimeout() override { return queryTimeout_; }
  void SetQueryTimeout(int value) override { queryTimeout_ = value; }
  void Cancel() override { throw EZSQLException(SZUnsupportedOperation); }
  void SetCursorName(const AnsiString&) override {}
  void SetFetchDirection(TZFetchDirection) override {}
  TZFetchDirection GetFetchDirection() override { return fdForward; }
  void SetFetchSize(int value) override { fetchSize_ = value; }
  int GetFetchSize() override { return fetchSize_; }
  void SetResultSetConcurrency(TZResultSetConcurrency value) override { concurrency_ = value; }
  TZResultSetConcurrency GetResultSetConcurrency() override { return concurrency_; }
  void SetResultSetType(TZResultSetType value) override { type_ = value; }
  TZResultSetType GetResultSetType() override { return type_; }
  void SetPostUpdates(TZUpdatesMode value) override { postUpdates_ = value; }
  TZUpdatesMode GetPostUpdates() override { return postUpdates_; }
  void SetLocateUpdates(TZUpdatesMode value) override { locateUpdates_ = value; }
  TZUpdatesMode GetLocateUpdates() override { return locateUpdates_; }

  void AddBatch(const AnsiString& sql) override { batch_.push_back(sql); }
  void ClearBatch() override { batch_.clear(); }
  TZIntegerDynArray ExecuteBatch() override {
    TZIntegerDynArray counts;
    for (const AnsiString& sql : batch_) counts.push_back(ExecuteUpdate(sql));
    batch_.clear();
    return counts;
  }

  Ref<IZConnection> GetConnection() override { return connection_; }
  TStrings* GetProperties() override { return &properties_; }
  EZSQLWarning* GetWarnings() override { return nullptr; }
  void ClearWarnings() override {}

private:
  TZFakeServer& Server() { return connection_->Server(); }

  Ref<IZResultSet> CachedResultSet(const AnsiString& sql, const TZFakeResult& rows) {
    Ref<IZStatement> self(this);
    Ref<IZResultSet> native = MakeFakeDriverResultSet(self, sql, rows);
    auto cached =
        MakeRef<TZCachedResultSet>(native, sql, MakeRef<TZGenericCachedResolver>(self, native->GetMetadata()));
    cached->SetConcurrency(rcUpdatable);
    return cached;
  }

  TZFakeServer& Run(const AnsiString& sql) {
    if (connection_->IsClosed()) throw EZSQLException(SZConnectionIsNotOpened);
    Server().ExecutedSQL.push_back(sql);
    DriverManager()->LogMessage(lcExecute, connection_->Protocol(), sql);
    return Server();
  }

  Ref<TZFakeConnection> connection_;
  TStringList properties_;
  std::unique_ptr<TZFakeResult> pendingResult_;
  int updateCount_ = -1;
  int maxFieldSize_ = 0;
  int maxRows_ = 0;
  int queryTimeout_ = 0;
  int fetchSize_ = 0;
  TZResultSetConcurrency concurrency_ = rcReadOnly;
  TZResultSetType type_ = rtScrollInsensitive;
  TZUpdatesMode postUpdates_ = 0;
  TZUpdatesMode locateUpdates_ = 0;
  std::vector<AnsiString> batch_;
};

}  // namespace

TZFakeDriver::TZFakeDriver() : server_(std::make_shared<TZFakeServer>()) {}

Ref<IZConnection> TZFakeDriver::Connect(const AnsiString& url, TStrings* properties) {
  TZFakeConnectInfo& info = server_->LastConnect;
  info = TZFakeConnectInfo();
  info.Url = url;
  info.Protocol = ExtractUrlProtocol(url, GetSupportedProtocols());
  TStringList lines;
  ParseDatabaseUrl(url, properties, info.HostName, info.Port, info.Database, info.User, info.Password, &lines);
  info.Properties = Lines(&lines);
  return MakeRef<TZFakeConnection>(Ref<IZDriver>(this), server_, info.Protocol, url, info.HostName, info.Port,
                                   info.Database, info.User, info.Password, &lines);
}

int TZFakeDriver::GetClientVersion(const AnsiString&) { return kClientVersion; }

Ref<IZTokenizer> TZFakeDriver::GetTokenizer() {
  ++server_->TokenizerRequests;
  return TZAbstractDriver::GetTokenizer();
}

TZFakeConnection::TZFakeConnection(Ref<IZDriver> driver, std::shared_ptr<TZFakeServer> server,
                                   const AnsiString& protocol, const AnsiString& url, const AnsiString& hostName,
                                   int port, const AnsiString& database, const AnsiString& user,
                                   const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      server_(std::move(server)),
      protocol_(protocol) {
  SetMetadata(MakeFakeDatabaseMetadata(this, url, GetProperties()));
}

void TZFakeConnection::AfterConstruction() {
  TZAbstractConnection::AfterConstruction();
  Open();
}

void TZFakeConnection::Open() {
  if (!IsClosed()) return;
  if (server_->RefuseConnect) {
    DriverManager()->LogError(lcConnect, protocol_, "CONNECT TO \"" + Database() + "\"", 1045, "refused");
    throw EZSQLException(1045, Format(SZSQLError1, {"refused"}));
  }
  Record("open", lcConnect);
  TZAbstractConnection::Open();
}

void TZFakeConnection::Close() {
  if (IsClosed()) return;
  Record("close", lcDisconnect);
  TZAbstractConnection::Close();
}

void TZFakeConnection::Commit() { Record("commit", lcTransaction); }
void TZFakeConnection::Rollback() { Record("rollback", lcTransaction); }

Ref<IZSequence> TZFakeConnection::CreateSequence(const AnsiString& name, int blockSize) {
  return MakeRef<TZFakeSequence>(Ref<IZConnection>(this), name, blockSize);
}

Ref<IZStatement> TZFakeConnection::NewStatement(TStrings* info) {
  return MakeRef<TZFakeStatement>(Ref<TZFakeConnection>(this), info);
}

void TZFakeConnection::Record(const AnsiString& call, TZLoggingCategory category) {
  server_->Calls.push_back(call);
  DriverManager()->LogMessage(category, protocol_, call);
}

TZFakeServer& TZFakeSequence::Server() {
  return dynamic_cast<TZFakeConnection&>(*GetConnection()).Server();
}

std::int64_t TZFakeSequence::GetCurrentValue() { return Server().SequenceValue; }
std::int64_t TZFakeSequence::GetNextValue() { return Server().SequenceValue += GetBlockSize(); }
