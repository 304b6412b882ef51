// The driver registry and logging hub (see driver_manager.h).

#include "sql/core/dbc/driver_manager.h"

#include "platform/rtl/lists.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

TZDriverManager::TZDriverManager()
    : drivers_(MakeRef<TZCollection>()),
      readOnlyDrivers_(MakeRef<TZUnmodifiableCollection>(drivers_)),
      loggingListeners_(MakeRef<TZCollection>()) {}

Ref<IZConnection> TZDriverManager::GetConnection(const AnsiString& url) {
  return GetConnectionWithProperties(url, nullptr);
}

Ref<IZConnection> TZDriverManager::GetConnectionWithProperties(const AnsiString& url, TStrings* properties) {
  return FindDriver(url)->Connect(url, properties);
}

Ref<IZConnection> TZDriverManager::GetConnectionWithLogin(const AnsiString& url, const AnsiString& user,
                                                          const AnsiString& password) {
  TStringList login;
  login.Add("username=" + user);
  login.Add("password=" + password);
  return GetConnectionWithProperties(url, &login);
}

Ref<IZDriver> TZDriverManager::GetDriver(const AnsiString& url) {
  for (int i = 0; i < drivers_->GetCount(); ++i) {
    Ref<IZDriver> driver = Query<IZDriver>(drivers_->Get(i));
    if (driver->AcceptsURL(url)) return driver;
  }
  return nullptr;
}

Ref<IZDriver> TZDriverManager::FindDriver(const AnsiString& url) {
  Ref<IZDriver> driver = GetDriver(url);
  if (!driver) throw EZSQLException(SZDriverWasNotFound);
  return driver;
}

int TZDriverManager::GetClientVersion(const AnsiString& url) { return FindDriver(url)->GetClientVersion(url); }

// Drivers and listeners are not value-comparable, so the collections find
// them by identity: the very same object.
void TZDriverManager::RegisterDriver(const Ref<IZDriver>& driver) {
  if (drivers_->IndexOf(driver) < 0) drivers_->Add(driver);
}

void TZDriverManager::DeregisterDriver(const Ref<IZDriver>& driver) { drivers_->Remove(driver); }

Ref<IZCollection> TZDriverManager::GetDrivers() { return readOnlyDrivers_; }

void TZDriverManager::AddLoggingListener(const Ref<IZLoggingListener>& listener) {
  loggingListeners_->Add(listener);
}

void TZDriverManager::RemoveLoggingListener(const Ref<IZLoggingListener>& listener) {
  loggingListeners_->Remove(listener);
}

void TZDriverManager::LogMessage(TZLoggingCategory category, const AnsiString& protocol, const AnsiString& msg) {
  if (loggingListeners_->GetCount() == 0) return;
  LogError(category, protocol, msg, 0, AnsiString());
}

void TZDriverManager::LogError(TZLoggingCategory category, const AnsiString& protocol, const AnsiString& msg,
                               int errorCode, const AnsiString& error) {
  if (loggingListeners_->GetCount() == 0) return;
  const TZLoggingEvent event{category, protocol, msg, errorCode, error, Now()};
  for (int i = 0; i < loggingListeners_->GetCount(); ++i) {
    try {
      Query<IZLoggingListener>(loggingListeners_->Get(i))->HandleLoggingEvent(event);
    } catch (...) {
      // A failing listener must neither stop the others nor the caller.
    }
  }
}

IZDriverManager* DriverManager() {
  static const Ref<IZDriverManager> manager = MakeRef<TZDriverManager>();
  return manager.get();
}
