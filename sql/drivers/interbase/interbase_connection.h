// A session with an Interbase/Firebird database: the attachment with its
// one transaction at a time, ended by a commit or rollback that keeps the
// transaction context ("retaining") or, with hard_commit, ends it; database
// creation; the cached-update resolver and generator-based sequences.
#pragma once

#include <cstdint>

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/abstract_sequence.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/interbase/interbase_plain_driver.h"

// The port a URL without one connects to.
inline constexpr int kInterbaseDefaultPort = 3050;

// What the statements, descriptor areas and metadata need beyond IZConnection.
class IZInterbase6Connection : public virtual IZConnection {
public:
  virtual isc_db_handle* GetDBHandle() = 0;
  // With hard_commit, starts a transaction when none runs.
  virtual isc_tr_handle* GetTrHandle() = 0;
  virtual std::uint16_t GetDialect() = 0;
  virtual Ref<IZInterbasePlainDriver> GetPlainDriver() = 0;
  // Runs a CREATE DATABASE statement (sent in UTF-8, for the file name in it)
  // and detaches again; the connection is closed first and stays closed.
  virtual void CreateNewDatabase(const AnsiString& sql) = 0;
  // Whether the connection's character set is UTF8: the program's texts are
  // then converted to and from UTF-8.
  virtual bool IsUtf8Text() = 0;
};

class TZInterbase6Connection : public TZAbstractConnection, public virtual IZInterbase6Connection {
public:
  // Made closed. Reads hard_commit, dialect (3; 1 for "interbase-5"),
  // codepage and rolename, and puts the user and password into the own
  // property list as attach options.
  TZInterbase6Connection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZInterbasePlainDriver> plainDriver,
                         const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                         const AnsiString& password, TStrings* properties);

  // Closes, and detaches even when ending the transaction failed.
  void BeforeDestruction() override;

  // Creates the database when "createNewDatabase" asks for it, attaches and,
  // without hard_commit, starts the transaction; nothing when open. Raises
  // "Isolation level do not capable" for tiReadUncommitted. A transaction
  // that cannot start leaves nothing attached.
  void Open() override;
  // Ends the transaction (commit with auto-commit, else rollback) and detaches.
  void Close() override;
  // Nothing without a transaction.
  void Commit() override;
  void Rollback() override;
  // 0 while the server answers, -1 when the client reports the network down.
  int PingServer() override;
  Ref<IZSequence> CreateSequence(const AnsiString& name, int blockSize) override;
  // Each opens the connection first when it is closed.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;
  // sql is the procedure's name.
  Ref<IZCallableStatement> NewCallableStatement(const AnsiString& sql, TStrings* info) override;

  isc_db_handle* GetDBHandle() override { return &dbHandle_; }
  isc_tr_handle* GetTrHandle() override;
  std::uint16_t GetDialect() override { return dialect_; }
  Ref<IZInterbasePlainDriver> GetPlainDriver() override { return plainDriver_; }
  void CreateNewDatabase(const AnsiString& sql) override;
  bool IsUtf8Text() override { return utf8Text_; }

  // The attach string: host:database on the default port, host/port:database
  // on another, the database alone without a host (the embedded engine). The
  // client is given it in UTF-8, as every file name.
  AnsiString AttachString() const;

protected:
  virtual void StartTransaction();

private:
  void Attach(const AnsiString& dpb);
  void Check(TZLoggingCategory category, const AnsiString& sql = AnsiString());
  void Log(TZLoggingCategory category, const AnsiString& message);

  std::uint16_t dialect_;
  isc_db_handle dbHandle_ = 0;
  isc_tr_handle trHandle_ = 0;
  ISC_STATUS_VECTOR statusVector_ = {};
  Ref<IZInterbasePlainDriver> plainDriver_;
  bool hardCommit_;
  bool utf8Text_ = false;
  int port_;
};

// Gives the default-value query the one-row table it must select from.
class TZInterbase6CachedResolver : public TZGenericCachedResolver {
public:
  using TZGenericCachedResolver::TZGenericCachedResolver;

protected:
  AnsiString FormCalculateStatement(const TZResolverParameters& columns) override;
};

// A generator read with GEN_ID.
class TZInterbase6Sequence : public TZAbstractSequence {
public:
  using TZAbstractSequence::TZAbstractSequence;
  // The generator's value, or 0 when the catalogue has no generator of
  // that name.
  std::int64_t GetCurrentValue() override;
  std::int64_t GetNextValue() override;
  AnsiString GetCurrentValueSQL() override;
  AnsiString GetNextValueSQL() override;
};
