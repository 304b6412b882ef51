// The Interbase/Firebird connection: attach options from the property list,
// one client transaction at a time with its parameter block by isolation
// level, and every step reported to the driver manager's log under the
// plain driver's protocol.

#include "sql/drivers/interbase/interbase_connection.h"

#include <limits>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/drivers/interbase/interbase_metadata.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/interbase/interbase_utils.h"

namespace {

constexpr char kInterbase5Protocol[] = "interbase-5";
constexpr char kCreateDatabaseProperty[] = "createNewDatabase";
// The one item PingServer asks the server for.
constexpr ISC_SCHAR kPingItem = 5;
constexpr short kPingBufferSize = 512;
// The client's codes for a connection the network has lost.
constexpr ISC_STATUS kFirstNetworkError = 335544721;
constexpr ISC_STATUS kLastNetworkError = 335544727;

// A length the client takes as a signed 16-bit value.
short ShortLength(std::size_t length) {
  if (length > static_cast<std::size_t>(std::numeric_limits<short>::max())) throw ERangeError(SRangeError);
  return static_cast<short>(length);
}

// The transaction options of an isolation level; the connection's own
// "isc_tpb_" lines for tiNone.
void TransactionOptions(TZTransactIsolationLevel level, TStrings* connectionProperties, TStringList& options) {
  options.Add("isc_tpb_version3");
  switch (level) {
    case tiReadCommitted:
      for (const char* option : {"isc_tpb_read_committed", "isc_tpb_rec_version", "isc_tpb_nowait"})
        options.Add(option);
      break;
    case tiRepeatableRead:
      for (const char* option : {"isc_tpb_concurrency", "isc_tpb_nowait"}) options.Add(option);
      break;
    case tiSerializable:
      options.Add("isc_tpb_consistency");
      break;
    default:
      options.Clear();
      options.AddStrings(connectionProperties);
  }
}

}  // namespace

TZInterbase6Connection::TZInterbase6Connection(Ref<IZDriver> driver, const AnsiString& url,
                                               Ref<IZInterbasePlainDriver> plainDriver, const AnsiString& hostName,
                                               int port, const AnsiString& database, const AnsiString& user,
                                               const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      plainDriver_(std::move(plainDriver)) {
  SetMetadata(std::make_unique<TZInterbase6DatabaseMetadata>(this, url, GetProperties()));
  TStrings* own = GetProperties();
  hardCommit_ = StrToBoolEx(own->Values("hard_commit"));
  port_ = port == 0 ? kInterbaseDefaultPort : port;

  int dialect = plainDriver_->GetProtocol() == kInterbase5Protocol ? 1 : 3;
  const AnsiString dialectText = Trim(own->Values("dialect"));
  if (!dialectText.empty()) dialect = StrToIntDef(dialectText, dialect);
  if (dialect < 0 || dialect > std::numeric_limits<std::uint16_t>::max()) throw ERangeError(SRangeError);
  dialect_ = static_cast<std::uint16_t>(dialect);

  own->SetValues("isc_dpb_username", User());
  own->SetValues("isc_dpb_password", Password());
  const AnsiString codepage = Trim(own->Values("codepage"));
  if (!codepage.empty()) own->SetValues("isc_dpb_lc_ctype", UpperCase(codepage));
  utf8Text_ = IsUtf8CharacterSet(own->Values("isc_dpb_lc_ctype"));
  const AnsiString roleName = Trim(own->Values("rolename"));
  if (!roleName.empty()) own->SetValues("isc_dpb_sql_role_name", UpperCase(roleName));
}

void TZInterbase6Connection::BeforeDestruction() {
  TZAbstractConnection::BeforeDestruction();
  // An attachment must not outlive its connection, even when ending the
  // transaction failed; nobody is left to hear of a failure here.
  if (dbHandle_ != 0) {
    try {
      plainDriver_->isc_detach_database(statusVector_, &dbHandle_);
    } catch (...) {
    }
  }
}

void TZInterbase6Connection::Check(TZLoggingCategory category, const AnsiString& sql) {
  CheckInterbase6Error(plainDriver_.get(), statusVector_, category, sql);
}

void TZInterbase6Connection::Log(TZLoggingCategory category, const AnsiString& message) {
  DriverManager()->LogMessage(category, plainDriver_->GetProtocol(), message);
}

AnsiString TZInterbase6Connection::AttachString() const {
  if (HostName().empty()) return Database();
  if (port_ == kInterbaseDefaultPort) return HostName() + ":" + Database();
  return HostName() + "/" + IntToStr(port_) + ":" + Database();
}

void TZInterbase6Connection::Open() {
  if (!IsClosed()) return;
  if (GetTransactIsolationLevel() == tiReadUncommitted) throw EZSQLException(SZIsolationIsNotCapable);
  // Options that cannot be written fail before anything is created; the
  // block may also set the dialect the database is created with.
  const AnsiString dpb = GenerateDPB(GetProperties(), dialect_);
  const AnsiString createSql = GetProperties()->Values(kCreateDatabaseProperty);
  if (!createSql.empty()) {
    CreateNewDatabase(createSql);
    Log(lcConnect, Format("CREATE DATABASE \"%s\" AS USER \"%s\"", {createSql, User()}));
  }
  Attach(dpb);
  Log(lcConnect, Format("CONNECT TO \"%s\" AS USER \"%s\"", {Database(), User()}));
  if (!hardCommit_) {
    try {
      StartTransaction();
    } catch (...) {
      // An attachment without its transaction is not left behind.
      ISC_STATUS_VECTOR status = {};
      plainDriver_->isc_detach_database(status, &dbHandle_);
      throw;
    }
  }
  TZAbstractConnection::Open();
}

void TZInterbase6Connection::Attach(const AnsiString& dpb) {
  // The client takes file names in the system's encoding.
  const std::string attachString = AnsiToUtf8(AttachString());
  const short attachLength = ShortLength(attachString.size());
  const short dpbLength = ShortLength(dpb.size());
  dbHandle_ = 0;
  plainDriver_->isc_attach_database(statusVector_, attachLength, attachString.c_str(), &dbHandle_, dpbLength,
                                    dpb.data());
  Check(lcConnect);
}

void TZInterbase6Connection::StartTransaction() {
  TStringList options;
  TransactionOptions(GetTransactIsolationLevel(), GetProperties(), options);
  std::unique_ptr<TZTransactionBlock> block = GenerateTPB(&options, &dbHandle_);
  plainDriver_->isc_start_multiple(statusVector_, &trHandle_, 1, block->Teb());
  Check(lcTransaction);
  Log(lcTransaction, "TRANSACTION STARTED.");
}

isc_tr_handle* TZInterbase6Connection::GetTrHandle() {
  if (hardCommit_ && trHandle_ == 0) StartTransaction();
  return &trHandle_;
}

void TZInterbase6Connection::Commit() {
  if (IsClosed() || trHandle_ == 0) return;
  if (hardCommit_) {
    plainDriver_->isc_commit_transaction(statusVector_, &trHandle_);
    trHandle_ = 0;
  } else {
    plainDriver_->isc_commit_retaining(statusVector_, &trHandle_);
  }
  Check(lcTransaction);
  Log(lcTransaction, "TRANSACTION COMMIT");
}

void TZInterbase6Connection::Rollback() {
  if (trHandle_ == 0) return;
  if (hardCommit_) {
    plainDriver_->isc_rollback_transaction(statusVector_, &trHandle_);
    trHandle_ = 0;
  } else {
    plainDriver_->isc_rollback_retaining(statusVector_, &trHandle_);
  }
  Check(lcOther);
  Log(lcTransaction, "TRANSACTION ROLLBACK");
}

void TZInterbase6Connection::Close() {
  if (IsClosed()) return;
  if (trHandle_ != 0) {
    if (GetAutoCommit()) {
      plainDriver_->isc_commit_transaction(statusVector_, &trHandle_);
      Log(lcTransaction, Format("COMMITT TRANSACTION \"%s\"", {Database()}));
    } else {
      plainDriver_->isc_rollback_transaction(statusVector_, &trHandle_);
      Log(lcTransaction, Format("ROLLBACK TRANSACTION \"%s\"", {Database()}));
    }
    trHandle_ = 0;
    Check(lcDisconnect);
  }
  if (dbHandle_ != 0) {
    plainDriver_->isc_detach_database(statusVector_, &dbHandle_);
    dbHandle_ = 0;
    Check(lcDisconnect);
  }
  Log(lcConnect, Format("DISCONNECT FROM \"%s\"", {Database()}));
  TZAbstractConnection::Close();
}

void TZInterbase6Connection::CreateNewDatabase(const AnsiString& sql) {
  Close();
  isc_db_handle db = 0;
  isc_tr_handle tr = 0;
  // The statement names a file, which the client takes in the system's encoding.
  const std::string statement = AnsiToUtf8(sql);
  plainDriver_->isc_dsql_execute_immediate(statusVector_, &db, &tr, 0, statement.c_str(), dialect_, nullptr);
  Check(lcExecute, sql);
  plainDriver_->isc_detach_database(statusVector_, &db);
  Check(lcExecute, sql);
}

int TZInterbase6Connection::PingServer() {
  ISC_SCHAR buffer[kPingBufferSize] = {};
  ISC_STATUS_VECTOR status = {};
  const ISC_STATUS result =
      plainDriver_->isc_database_info(status, &dbHandle_, 1, &kPingItem, kPingBufferSize, buffer);
  return result >= kFirstNetworkError && result <= kLastNetworkError ? -1 : 0;
}

Ref<IZSequence> TZInterbase6Connection::CreateSequence(const AnsiString& name, int blockSize) {
  return MakeRef<TZInterbase6Sequence>(Ref<IZConnection>(this), name, blockSize);
}

AnsiString TZInterbase6CachedResolver::FormCalculateStatement(const TZResolverParameters& columns) {
  const AnsiString sql = TZGenericCachedResolver::FormCalculateStatement(columns);
  // The defaults are the only text after SELECT: a "from" inside one of them
  // is part of a value, never the place for the table.
  return sql.empty() ? sql : sql + " FROM RDB$DATABASE";
}

namespace {

// The generator's name as a quoted identifier and as a text literal; a quote
// inside the name is doubled so that it stays part of the name.
AnsiString QuotedName(const AnsiString& name) { return QuoteOrNull(name, '"'); }
AnsiString NameLiteral(const AnsiString& name) { return QuoteOrNull(name, '\''); }

}  // namespace

AnsiString TZInterbase6Sequence::GetCurrentValueSQL() { return Format(" GEN_ID(%s, 0) ", {QuotedName(GetName())}); }

AnsiString TZInterbase6Sequence::GetNextValueSQL() {
  return Format(" GEN_ID(%s, %d) ", {QuotedName(GetName()), GetBlockSize()});
}

std::int64_t TZInterbase6Sequence::GetCurrentValue() {
  return QueryValue(Format("SELECT GEN_ID(%s, 0) FROM rdb$generators WHERE rdb$generators.rdb$generator_name = %s",
                           {QuotedName(GetName()), NameLiteral(GetName())}));
}

std::int64_t TZInterbase6Sequence::GetNextValue() {
  return QueryValue(Format("SELECT GEN_ID(%s, %d) FROM rdb$generators WHERE rdb$generators.rdb$generator_name = %s",
                           {QuotedName(GetName()), GetBlockSize(), NameLiteral(GetName())}));
}
