// The plain drivers of the MySQL client library: IZMySQLPlainDriver is the one
// road from the driver to the library, and four classes (client and embedded
// server, each for 4.1 and 5) serve it from a copy of their loader's table.
// Handle types are declared as the library declares them; nothing is linked.
#pragma once

#include <cstdint>
#include <vector>

#include "sql/drivers/mysql/mysql_binding.h"
#include "sql/drivers/mysql/mysql_client_types.h"

class TStrings;

// Connection options set by name; the ordinal is the library's option code.
// Scoped, as the library's header declares the same names unscoped.
enum class TZMySQLOption : int {
  MYSQL_OPT_CONNECT_TIMEOUT = 0,
  MYSQL_OPT_COMPRESS,
  MYSQL_OPT_NAMED_PIPE,
  MYSQL_INIT_COMMAND,
  MYSQL_READ_DEFAULT_FILE,
  MYSQL_READ_DEFAULT_GROUP,
  MYSQL_SET_CHARSET_DIR,
  MYSQL_SET_CHARSET_NAME,
  // Outside the run of named options above: set from their own properties.
  MYSQL_OPT_READ_TIMEOUT = 11,
  MYSQL_OPT_WRITE_TIMEOUT = 12,
};
inline constexpr int kMySQLOptionCount = 8;
// The property name of an option ("MYSQL_OPT_CONNECT_TIMEOUT" ...).
const char* MySQLOptionName(TZMySQLOption option);

// Every operation calls the client function it is named after and passes its
// result on, except where a comment says otherwise. Calling a function the
// loaded library does not export raises EZSQLException naming the function.
class IZMySQLPlainDriver : public virtual IZPlainDriver {
public:
  virtual int GetClientVersion() = 0;
  virtual int GetServerVersion(MYSQL* handle) = 0;
  // Sets the variable to null; the library is not called.
  virtual void ClearHandle(MYSQL*& handle) = 0;
  virtual std::int64_t GetAffectedRows(MYSQL* handle) = 0;
  virtual void Close(MYSQL* handle) = 0;
  virtual MYSQL* Connect(MYSQL* handle, const char* host, const char* user, const char* password) = 0;
  virtual int CreateDatabase(MYSQL* handle, const char* database) = 0;
  virtual void SeekData(MYSQL_RES* res, std::uint32_t offset) = 0;
  virtual void Debug(const char* debug) = 0;
  virtual int DropDatabase(MYSQL* handle, const char* database) = 0;
  virtual int DumpDebugInfo(MYSQL* handle) = 0;
  virtual int GetLastErrorCode(MYSQL* handle) = 0;
  virtual const char* GetLastError(MYSQL* handle) = 0;
  // Returns the length written to to (not counting its NUL).
  virtual unsigned long EscapeString(char* to, const char* from, unsigned long length) = 0;
  virtual MYSQL_FIELD* FetchField(MYSQL_RES* res) = 0;
  virtual unsigned long* FetchLengths(MYSQL_RES* res) = 0;
  virtual MYSQL_ROW FetchRow(MYSQL_RES* res) = 0;
  virtual MYSQL_FIELD_OFFSET SeekField(MYSQL_RES* res, MYSQL_FIELD_OFFSET offset) = 0;
  virtual void FreeResult(MYSQL_RES* res) = 0;
  virtual const char* GetClientInfo() = 0;
  virtual const char* GetHostInfo(MYSQL* handle) = 0;
  virtual int GetProtoInfo(MYSQL* handle) = 0;
  virtual const char* GetServerInfo(MYSQL* handle) = 0;
  // Starts the library (the embedded server for embedded drivers), then makes
  // a new handle, stores it in the variable and returns it.
  virtual MYSQL* Init(MYSQL*& handle) = 0;
  virtual std::int64_t GetLastInsertID(MYSQL* handle) = 0;
  virtual int Kill(MYSQL* handle, unsigned long pid) = 0;
  virtual MYSQL_RES* ListDatabases(MYSQL* handle, const char* wild) = 0;
  virtual MYSQL_RES* ListFields(MYSQL* handle, const char* table, const char* wild) = 0;
  virtual MYSQL_RES* ListProcesses(MYSQL* handle) = 0;
  virtual MYSQL_RES* ListTables(MYSQL* handle, const char* wild) = 0;
  // 0 for a null result.
  virtual std::int64_t GetNumRows(MYSQL_RES* res) = 0;
  virtual int SetOptions(MYSQL* handle, TZMySQLOption option, const void* arg) = 0;
  virtual int Ping(MYSQL* handle) = 0;
  virtual int ExecQuery(MYSQL* handle, const char* query) = 0;
  // Null on failure.
  virtual MYSQL* RealConnect(MYSQL* handle, const char* host, const char* user, const char* password,
                             const char* db, unsigned int port, const char* unixSocket, unsigned int clientFlag) = 0;
  virtual unsigned long RealEscapeString(MYSQL* handle, char* to, const char* from, unsigned long length) = 0;
  virtual int ExecRealQuery(MYSQL* handle, const char* query, unsigned long length) = 0;
  virtual int Refresh(MYSQL* handle, unsigned int options) = 0;
  virtual MYSQL_ROW_OFFSET SeekRow(MYSQL_RES* res, MYSQL_ROW_OFFSET row) = 0;
  virtual int SelectDatabase(MYSQL* handle, const char* database) = 0;
  // The library's result reduced to its low byte.
  virtual int SslSet(MYSQL* handle, const char* key, const char* cert, const char* ca, const char* caPath,
                     const char* cipher) = 0;
  virtual const char* GetStatInfo(MYSQL* handle) = 0;
  virtual MYSQL_RES* StoreResult(MYSQL* handle) = 0;
  virtual unsigned long GetThreadId(MYSQL* handle) = 0;
  virtual MYSQL_RES* UseResult(MYSQL* handle) = 0;
  virtual int Shutdown(MYSQL* handle, std::uint8_t level) = 0;
  // The Boolean answers are true for success (the library's 0).
  virtual bool SetAutocommit(MYSQL* handle, bool mode) = 0;
  virtual bool Commit(MYSQL* handle) = 0;
  virtual bool MoreResults(MYSQL* handle) = 0;
  virtual int NextResult(MYSQL* handle) = 0;
  virtual bool Rollback(MYSQL* handle) = 0;
  virtual AnsiString GetSQLState(MYSQL* handle) = 0;
  // Whether the library can step to a statement's next result: decided by
  // the presence of mysql_next_result, as client version numbers of other
  // vendors' libraries say nothing about it.
  virtual bool SupportsNextResult() = 0;

  virtual std::int64_t StmtAffectedRows(MYSQL_STMT* stmt) = 0;
  virtual bool StmtBindParam(MYSQL_STMT* stmt, MYSQL_BIND* bind) = 0;
  virtual bool StmtBindResult(MYSQL_STMT* stmt, MYSQL_BIND* bind) = 0;
  // Null when the library closed it, else the statement handle.
  virtual MYSQL_STMT* StmtClose(MYSQL_STMT* stmt) = 0;
  virtual void StmtDataSeek(MYSQL_STMT* stmt, std::uint32_t offset) = 0;
  virtual int StmtErrno(MYSQL_STMT* stmt) = 0;
  virtual AnsiString StmtError(MYSQL_STMT* stmt) = 0;
  virtual int StmtExecute(MYSQL_STMT* stmt) = 0;
  virtual int StmtFetch(MYSQL_STMT* stmt) = 0;
  virtual int StmtFieldCount(MYSQL_STMT* stmt) = 0;
  virtual MYSQL_STMT* StmtInit(MYSQL* handle) = 0;
  virtual std::int64_t StmtInsertId(MYSQL_STMT* stmt) = 0;
  // 0 for a null statement.
  virtual std::int64_t StmtNumRows(MYSQL_STMT* stmt) = 0;
  virtual int StmtParamCount(MYSQL_STMT* stmt) = 0;
  virtual int StmtPrepare(MYSQL_STMT* stmt, const char* query, unsigned long length) = 0;
  virtual MYSQL_RES* StmtResultMetadata(MYSQL_STMT* stmt) = 0;
  virtual MYSQL_ROW_OFFSET StmtRowSeek(MYSQL_STMT* stmt, MYSQL_ROW_OFFSET row) = 0;
  virtual const char* StmtSQLState(MYSQL_STMT* stmt) = 0;
  virtual int StmtStoreResult(MYSQL_STMT* stmt) = 0;

  // Field descriptors and rows are read directly.
  virtual int GetFieldType(MYSQL_FIELD* field) = 0;
  virtual int GetFieldFlags(MYSQL_FIELD* field) = 0;
  virtual bool ResultSetExists(MYSQL* handle) = 0;
  virtual std::int64_t GetRowCount(MYSQL_RES* res) = 0;
  virtual int GetFieldCount(MYSQL_RES* res) = 0;
  virtual const char* GetFieldName(MYSQL_FIELD* field) = 0;
  virtual const char* GetFieldTable(MYSQL_FIELD* field) = 0;
  // Widths above the 32-bit range (LONGTEXT, LONGBLOB, JSON declare 4 GB)
  // come out as the largest 32-bit value rather than failing.
  virtual int GetFieldLength(MYSQL_FIELD* field) = 0;
  virtual int GetFieldMaxLength(MYSQL_FIELD* field) = 0;
  virtual int GetFieldDecimals(MYSQL_FIELD* field) = 0;
  // The number of the field's character set; 63 is binary.
  virtual int GetFieldCharsetNr(MYSQL_FIELD* field) = 0;
  // The column text of the row, null for NULL; ERangeError outside 0..255.
  virtual const char* GetFieldData(MYSQL_ROW row, int index) = 0;
  // Embedded drivers build the server's arguments from the connection's
  // properties; client drivers do nothing.
  virtual void BuildArguments(TStrings* options) = 0;
};

// The shared forwarding of all four plain drivers; the classes below differ in
// name, loader and how they start the library.
class TZMySQLBasePlainDriver : public TZAbstractObject, public virtual IZMySQLPlainDriver {
public:
  void Initialize() override;

  int GetClientVersion() override;
  int GetServerVersion(MYSQL* handle) override;
  void ClearHandle(MYSQL*& handle) override;
  std::int64_t GetAffectedRows(MYSQL* handle) override;
  void Close(MYSQL* handle) override;
  MYSQL* Connect(MYSQL* handle, const char* host, const char* user, const char* password) override;
  int CreateDatabase(MYSQL* handle, const char* database) override;
  void SeekData(MYSQL_RES* res, std::uint32_t offset) override;
  void Debug(const char* debug) override;
  int DropDatabase(MYSQL* handle, const char* database) override;
  int DumpDebugInfo(MYSQL* handle) override;
  int GetLastErrorCode(MYSQL* handle) override;
  const char* GetLastError(MYSQL* handle) override;
  unsigned long EscapeString(char* to, const char* from, unsigned long length) override;
  MYSQL_FIELD* FetchField(MYSQL_RES* res) override;
  unsigned long* FetchLengths(MYSQL_RES* res) override;
  MYSQL_ROW FetchRow(MYSQL_RES* res) override;
  MYSQL_FIELD_OFFSET SeekField(MYSQL_RES* res, MYSQL_FIELD_OFFSET offset) override;
  void FreeResult(MYSQL_RES* res) override;
  const char* GetClientInfo() override;
  const char* GetHostInfo(MYSQL* handle) override;
  int GetProtoInfo(MYSQL* handle) override;
  const char* GetServerInfo(MYSQL* handle) override;
  MYSQL* Init(MYSQL*& handle) override;
  std::int64_t GetLastInsertID(MYSQL* handle) override;
  int Kill(MYSQL* handle, unsigned long pid) override;
  MYSQL_RES* ListDatabases(MYSQL* handle, const char* wild) override;
  MYSQL_RES* ListFields(MYSQL* handle, const char* table, const char* wild) override;
  MYSQL_RES* ListProcesses(MYSQL* handle) override;
  MYSQL_RES* ListTables(MYSQL* handle, const char* wild) override;
  std::int64_t GetNumRows(MYSQL_RES* res) override;
  int SetOptions(MYSQL* handle, TZMySQLOption option, const void* arg) override;
  int Ping(MYSQL* handle) override;
  int ExecQuery(MYSQL* handle, const char* query) override;
  MYSQL* RealConnect(MYSQL* handle, const char* host, const char* user, const char* password, const char* db,
                     unsigned int port, const char* unixSocket, unsigned int clientFlag) override;
  unsigned long RealEscapeString(MYSQL* handle, char* to, const char* from, unsigned long length) override;
  int ExecRealQuery(MYSQL* handle, const char* query, unsigned long length) override;
  int Refresh(MYSQL* handle, unsigned int options) override;
  MYSQL_ROW_OFFSET SeekRow(MYSQL_RES* res, MYSQL_ROW_OFFSET row) override;
  int SelectDatabase(MYSQL* handle, const char* database) override;
  int SslSet(MYSQL* handle, const char* key, const char* cert, const char* ca, const char* caPath,
             const char* cipher) override;
  const char* GetStatInfo(MYSQL* handle) override;
  MYSQL_RES* StoreResult(MYSQL* handle) override;
  unsigned long GetThreadId(MYSQL* handle) override;
  MYSQL_RES* UseResult(MYSQL* handle) override;
  int Shutdown(MYSQL* handle, std::uint8_t level) override;
  bool SetAutocommit(MYSQL* handle, bool mode) override;
  bool Commit(MYSQL* handle) override;
  bool MoreResults(MYSQL* handle) override;
  int NextResult(MYSQL* handle) override;
  bool Rollback(MYSQL* handle) override;
  AnsiString GetSQLState(MYSQL* handle) override;
  bool SupportsNextResult() override;

  std::int64_t StmtAffectedRows(MYSQL_STMT* stmt) override;
  bool StmtBindParam(MYSQL_STMT* stmt, MYSQL_BIND* bind) override;
  bool StmtBindResult(MYSQL_STMT* stmt, MYSQL_BIND* bind) override;
  MYSQL_STMT* StmtClose(MYSQL_STMT* stmt) override;
  void StmtDataSeek(MYSQL_STMT* stmt, std::uint32_t offset) override;
  int StmtErrno(MYSQL_STMT* stmt) override;
  AnsiString StmtError(MYSQL_STMT* stmt) override;
  int StmtExecute(MYSQL_STMT* stmt) override;
  int StmtFetch(MYSQL_STMT* stmt) override;
  int StmtFieldCount(MYSQL_STMT* stmt) override;
  MYSQL_STMT* StmtInit(MYSQL* handle) override;
  std::int64_t StmtInsertId(MYSQL_STMT* stmt) override;
  std::int64_t StmtNumRows(MYSQL_STMT* stmt) override;
  int StmtParamCount(MYSQL_STMT* stmt) override;
  int StmtPrepare(MYSQL_STMT* stmt, const char* query, unsigned long length) override;
  MYSQL_RES* StmtResultMetadata(MYSQL_STMT* stmt) override;
  MYSQL_ROW_OFFSET StmtRowSeek(MYSQL_STMT* stmt, MYSQL_ROW_OFFSET row) override;
  const char* StmtSQLState(MYSQL_STMT* stmt) override;
  int StmtStoreResult(MYSQL_STMT* stmt) override;

  int GetFieldType(MYSQL_FIELD* field) override;
  int GetFieldFlags(MYSQL_FIELD* field) override;
  bool ResultSetExists(MYSQL* handle) override;
  std::int64_t GetRowCount(MYSQL_RES* res) override;
  int GetFieldCount(MYSQL_RES* res) override;
  const char* GetFieldName(MYSQL_FIELD* field) override;
  const char* GetFieldTable(MYSQL_FIELD* field) override;
  int GetFieldLength(MYSQL_FIELD* field) override;
  int GetFieldMaxLength(MYSQL_FIELD* field) override;
  int GetFieldDecimals(MYSQL_FIELD* field) override;
  int GetFieldCharsetNr(MYSQL_FIELD* field) override;
  const char* GetFieldData(MYSQL_ROW row, int index) override;
  void BuildArguments(TStrings* options) override;

protected:
  explicit TZMySQLBasePlainDriver(TZMySQLNativeLibraryLoader& loader) : loader_(loader) {}

  // The bound address of entry, or EZSQLException naming the function.
  void* Entry(TZMySQLEntry entry) const;
  // Calls mysql_server_init when the library has it.
  void StartLibrary(int argc, char** argv, char** groups);
  // Init for the embedded server: started with the arguments BuildArguments made.
  MYSQL* InitEmbedded(MYSQL*& handle);

private:
  TZMySQLNativeLibraryLoader& loader_;
  TZMySQLEntryTable entries_;
};

class TZMySQL41PlainDriver : public TZMySQLBasePlainDriver {
public:
  TZMySQL41PlainDriver() : TZMySQLBasePlainDriver(MySQL41ClientLoader()) {}
  AnsiString GetProtocol() override { return "mysql-4.1"; }
  AnsiString GetDescription() override { return "Native Plain Driver for MySQL 4.1+"; }

protected:
  explicit TZMySQL41PlainDriver(TZMySQLNativeLibraryLoader& loader) : TZMySQLBasePlainDriver(loader) {}
};

class TZMySQL5PlainDriver : public TZMySQLBasePlainDriver {
public:
  TZMySQL5PlainDriver() : TZMySQLBasePlainDriver(MySQL5ClientLoader()) {}
  AnsiString GetProtocol() override { return "mysql-5"; }
  AnsiString GetDescription() override { return "Native Plain Driver for MySQL 5.0+"; }

protected:
  explicit TZMySQL5PlainDriver(TZMySQLNativeLibraryLoader& loader) : TZMySQLBasePlainDriver(loader) {}
};

class TZMySQLD41PlainDriver : public TZMySQL41PlainDriver {
public:
  TZMySQLD41PlainDriver() : TZMySQL41PlainDriver(MySQL41EmbeddedLoader()) {}
  AnsiString GetProtocol() override { return "mysqld-4.1"; }
  AnsiString GetDescription() override { return "Native Plain Driver for Embedded MySQL 4.1+"; }
  MYSQL* Init(MYSQL*& handle) override;
  void BuildArguments(TStrings* options) override;
};

class TZMySQLD5PlainDriver : public TZMySQL5PlainDriver {
public:
  TZMySQLD5PlainDriver() : TZMySQL5PlainDriver(MySQL5EmbeddedLoader()) {}
  AnsiString GetProtocol() override { return "mysqld-5"; }
  AnsiString GetDescription() override { return "Native Plain Driver for Embedded MySQL 5+"; }
  MYSQL* Init(MYSQL*& handle) override;
  void BuildArguments(TStrings* options) override;
};

// The embedded server's arguments as the last BuildArguments left them:
// the program's path, every "ServerArgument..." property, and a data folder.
std::vector<AnsiString> MySQLEmbeddedServerArguments();
