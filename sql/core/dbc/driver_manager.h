// The one registry of drivers for the whole run and the only road from a
// connection URL to a connection; also the hub that passes the drivers' log
// reports to logging listeners. With no listener, a report costs one test.
#pragma once

#include <cstdint>

#include "platform/rtl/datetime.h"
#include "sql/core/collections.h"
#include "sql/core/dbc/interfaces.h"

enum TZLoggingCategory : std::uint8_t {
  lcConnect = 0,  // connecting, and connect errors
  lcDisconnect = 1,
  lcTransaction = 2,  // start, commit, rollback
  lcExecute = 3,      // executed SQL and client calls
  lcOther = 4,
};

// One log report. It belongs to the manager and lives only while listeners
// run; a listener copies what it keeps.
struct TZLoggingEvent {
  TZLoggingCategory Category;
  AnsiString Protocol;  // the reporting binding, e.g. "mysql-4.1"
  AnsiString Message;   // the SQL text or an action line
  int ErrorCode;        // 0 for plain messages
  AnsiString ErrorText;
  TDateTime Timestamp;  // local time the event was built
};

class IZLoggingListener : public virtual IZInterface {
public:
  virtual void HandleLoggingEvent(const TZLoggingEvent& event) = 0;
};

class IZDriverManager : public virtual IZInterface {
public:
  virtual Ref<IZConnection> GetConnection(const AnsiString& url) = 0;
  // properties may be null; they go to the driver unchanged.
  virtual Ref<IZConnection> GetConnectionWithProperties(const AnsiString& url, TStrings* properties) = 0;
  // Passes exactly the lines "username=<user>" and "password=<password>".
  virtual Ref<IZConnection> GetConnectionWithLogin(const AnsiString& url, const AnsiString& user,
                                                   const AnsiString& password) = 0;
  // The first registered driver that accepts url; null when none does.
  virtual Ref<IZDriver> GetDriver(const AnsiString& url) = 0;
  virtual int GetClientVersion(const AnsiString& url) = 0;
  // Registering the same driver again keeps one entry.
  virtual void RegisterDriver(const Ref<IZDriver>& driver) = 0;
  virtual void DeregisterDriver(const Ref<IZDriver>& driver) = 0;
  // A read-only view of the live registry, in registration order.
  virtual Ref<IZCollection> GetDrivers() = 0;
  virtual int GetLoginTimeout() = 0;
  virtual void SetLoginTimeout(int value) = 0;
  virtual void AddLoggingListener(const Ref<IZLoggingListener>& listener) = 0;
  virtual void RemoveLoggingListener(const Ref<IZLoggingListener>& listener) = 0;
  virtual void LogMessage(TZLoggingCategory category, const AnsiString& protocol, const AnsiString& msg) = 0;
  // A listener's exception is swallowed, so the next one still runs.
  virtual void LogError(TZLoggingCategory category, const AnsiString& protocol, const AnsiString& msg,
                        int errorCode, const AnsiString& error) = 0;
};

class TZDriverManager : public TZAbstractObject, public virtual IZDriverManager {
public:
  TZDriverManager();

  Ref<IZConnection> GetConnection(const AnsiString& url) override;
  Ref<IZConnection> GetConnectionWithProperties(const AnsiString& url, TStrings* properties) override;
  Ref<IZConnection> GetConnectionWithLogin(const AnsiString& url, const AnsiString& user,
                                           const AnsiString& password) override;
  Ref<IZDriver> GetDriver(const AnsiString& url) override;
  int GetClientVersion(const AnsiString& url) override;
  void RegisterDriver(const Ref<IZDriver>& driver) override;
  void DeregisterDriver(const Ref<IZDriver>& driver) override;
  Ref<IZCollection> GetDrivers() override;
  int GetLoginTimeout() override { return loginTimeout_; }
  void SetLoginTimeout(int value) override { loginTimeout_ = value; }
  void AddLoggingListener(const Ref<IZLoggingListener>& listener) override;
  void RemoveLoggingListener(const Ref<IZLoggingListener>& listener) override;
  void LogMessage(TZLoggingCategory category, const AnsiString& protocol, const AnsiString& msg) override;
  void LogError(TZLoggingCategory category, const AnsiString& protocol, const AnsiString& msg, int errorCode,
                const AnsiString& error) override;

private:
  // GetDriver, or EZSQLException "Requested database driver was not found".
  Ref<IZDriver> FindDriver(const AnsiString& url);

  Ref<TZCollection> drivers_;
  Ref<IZCollection> readOnlyDrivers_;
  int loginTimeout_ = 0;
  Ref<TZCollection> loggingListeners_;
};

// The program's one driver manager. Created on first use, so every driver
// module's start-up code finds it; it lives until the program ends.
IZDriverManager* DriverManager();

// The one driver object of type T in the program, made on first use. A driver
// module hands its driver out through it and registers it only when the
// program asks (Register<Name>Driver), so a program holds exactly the drivers
// it names and no static object has to be kept linked for it.
template <class T>
Ref<T> TheDriver() {
  static const Ref<T> driver = MakeRef<T>();
  return driver;
}
