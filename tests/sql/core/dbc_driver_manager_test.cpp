// The driver registry: finding the driver for a URL, registration, the login
// shortcut, and logging listeners.

#include <gtest/gtest.h>

#include "platform/rtl/lists.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

// One object behind both references: each has one counted root.
bool SameObject(IZInterface* a, IZInterface* b) { return a == b; }

class DriverManagerTest : public ::testing::Test {
protected:
  Ref<IZDriverManager> manager = MakeRef<TZDriverManager>();
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();

  void SetUp() override { manager->RegisterDriver(driver); }
};

TEST_F(DriverManagerTest, UrlReachesTheDriverSplitIntoItsParts) {
  Ref<IZConnection> connection = manager->GetConnection("zdbc:fake-1://h:3306/db?UID=u;PWD=p");
  const TZFakeConnectInfo& info = driver->Server().LastConnect;
  EXPECT_EQ(info.Protocol, "fake-1");
  EXPECT_EQ(info.HostName, "h");
  EXPECT_EQ(info.Port, 3306);
  EXPECT_EQ(info.Database, "db");
  EXPECT_EQ(info.User, "u");
  EXPECT_EQ(info.Password, "p");
  EXPECT_EQ(info.Properties, (std::vector<AnsiString>{"UID=u", "PWD=p"}));
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_TRUE(SameObject(connection->GetDriver().get(), driver.get()));
}

TEST_F(DriverManagerTest, CallerPropertiesFollowTheUrlParameters) {
  TStringList properties;
  properties.Add("UID=other");
  properties.Add("compress=1");
  manager->GetConnectionWithProperties("zdbc:fake-2://h/db?UID=u", &properties);
  EXPECT_EQ(driver->Server().LastConnect.Properties, (std::vector<AnsiString>{"UID=u", "UID=other", "compress=1"}));
  EXPECT_EQ(driver->Server().LastConnect.User, "u");
}

TEST_F(DriverManagerTest, UnknownProtocolFindsNoDriver) {
  for (const char* url : {"zdbc:nodriver://h/db", "zdbc:FAKE-1://h/db", "jdbc:fake-1://h/db"}) {
    SCOPED_TRACE(url);
    EXPECT_EQ(manager->GetDriver(url), nullptr);
    try {
      manager->GetConnection(url);
      ADD_FAILURE() << "connected";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Requested database driver was not found");
      EXPECT_EQ(e.ErrorCode(), -1);
    }
    EXPECT_THROW(manager->GetClientVersion(url), EZSQLException);
  }
  EXPECT_EQ(manager->GetClientVersion("zdbc:fake-1:db"), TZFakeDriver::kClientVersion);
}

TEST_F(DriverManagerTest, DriverErrorsPassThroughUnchanged) {
  EXPECT_THROW(manager->GetConnection("zdbc:fake-1://h"), EZSQLException);
  driver->Server().RefuseConnect = true;
  try {
    manager->GetConnection("zdbc:fake-1://h/db");
    ADD_FAILURE() << "connected";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), 1045);
  }
}

TEST_F(DriverManagerTest, LoginPassesExactlyUserAndPasswordLines) {
  Ref<IZConnection> connection = manager->GetConnectionWithLogin("zdbc:fake-1://h/db", "bob", "");
  EXPECT_EQ(driver->Server().LastConnect.Properties, (std::vector<AnsiString>{"username=bob", "password="}));
  EXPECT_EQ(driver->Server().LastConnect.User, "bob");
  EXPECT_EQ(driver->Server().LastConnect.Password, "");

  manager->GetConnectionWithLogin("zdbc:fake-1://h/db?UID=url", "bob", "pw");
  EXPECT_EQ(driver->Server().LastConnect.User, "url");
  EXPECT_EQ(driver->Server().LastConnect.Password, "pw");
}

TEST_F(DriverManagerTest, DriverIsRegisteredOnceAndListIsReadOnly) {
  manager->RegisterDriver(driver);
  Ref<IZCollection> drivers = manager->GetDrivers();
  ASSERT_EQ(drivers->GetCount(), 1);

  try {
    drivers->Add(MakeRef<TZFakeDriver>());
    ADD_FAILURE() << "changed";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The operation is not allowed on not changeable collections");
  }
  EXPECT_THROW(drivers->Clear(), Exception);
  EXPECT_EQ(drivers->GetCount(), 1);

  Ref<TZFakeDriver> second = MakeRef<TZFakeDriver>();
  manager->RegisterDriver(second);
  EXPECT_EQ(drivers->GetCount(), 2);  // the view shows the live registry
  manager->GetConnection("zdbc:fake-1:db");
  EXPECT_EQ(driver->Server().LastConnect.Database, "db");  // first registered wins
  EXPECT_TRUE(second->Server().LastConnect.Url.empty());

  manager->DeregisterDriver(driver);
  manager->DeregisterDriver(driver);
  ASSERT_EQ(drivers->GetCount(), 1);
  EXPECT_TRUE(SameObject(drivers->Get(0).get(), second.get()));
}

TEST_F(DriverManagerTest, LoginTimeoutIsKept) {
  EXPECT_EQ(manager->GetLoginTimeout(), 0);
  manager->SetLoginTimeout(30);
  EXPECT_EQ(manager->GetLoginTimeout(), 30);
}

class RecordingListener : public TZAbstractObject, public virtual IZLoggingListener {
public:
  explicit RecordingListener(bool fail = false) : fail_(fail) {}
  void HandleLoggingEvent(const TZLoggingEvent& event) override {
    events.push_back(event);
    if (fail_) throw EZSQLException("listener failed");
  }
  std::vector<TZLoggingEvent> events;

private:
  bool fail_;
};

TEST_F(DriverManagerTest, EveryListenerHearsTheEventEvenWhenOneFails) {
  Ref<RecordingListener> failing = MakeRef<RecordingListener>(true);
  Ref<RecordingListener> second = MakeRef<RecordingListener>();
  manager->AddLoggingListener(failing);
  manager->AddLoggingListener(second);

  TDateTime before = Now();
  EXPECT_NO_THROW(manager->LogError(lcExecute, "fake-1", "select 1", 1064, "syntax"));
  TDateTime after = Now();
  ASSERT_EQ(failing->events.size(), 1u);
  ASSERT_EQ(second->events.size(), 1u);
  const TZLoggingEvent& event = second->events[0];
  EXPECT_EQ(event.Category, lcExecute);
  EXPECT_EQ(event.Protocol, "fake-1");
  EXPECT_EQ(event.Message, "select 1");
  EXPECT_EQ(event.ErrorCode, 1064);
  EXPECT_EQ(event.ErrorText, "syntax");
  EXPECT_GE(event.Timestamp, before);
  EXPECT_LE(event.Timestamp, after);

  manager->LogMessage(lcOther, "fake-1", "notice");
  ASSERT_EQ(second->events.size(), 2u);
  EXPECT_EQ(second->events[1].ErrorCode, 0);
  EXPECT_EQ(second->events[1].ErrorText, "");
}

TEST_F(DriverManagerTest, ListenersAreCalledOncePerRegistrationUntilRemoved) {
  Ref<RecordingListener> listener = MakeRef<RecordingListener>();
  manager->AddLoggingListener(listener);
  manager->AddLoggingListener(listener);
  manager->LogMessage(lcConnect, "fake-1", "open");
  EXPECT_EQ(listener->events.size(), 2u);

  manager->RemoveLoggingListener(listener);
  manager->LogMessage(lcConnect, "fake-1", "open");
  EXPECT_EQ(listener->events.size(), 3u);
  manager->RemoveLoggingListener(listener);
  manager->LogMessage(lcConnect, "fake-1", "open");
  manager->LogError(lcConnect, "fake-1", "open", 1, "x");
  EXPECT_EQ(listener->events.size(), 3u);
}

// Drivers report their steps to the program's one manager.
TEST(GlobalDriverManager, DriversRegisterAndReportTheirSteps) {
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<RecordingListener> listener = MakeRef<RecordingListener>();
  DriverManager()->RegisterDriver(driver);
  DriverManager()->AddLoggingListener(listener);
  {
    Ref<IZConnection> connection = DriverManager()->GetConnection("zdbc:fake-1://h/db");
    connection->CreateStatement()->ExecuteUpdate("delete from t");
  }
  DriverManager()->RemoveLoggingListener(listener);
  DriverManager()->DeregisterDriver(driver);

  std::vector<std::pair<TZLoggingCategory, AnsiString>> seen;
  for (const TZLoggingEvent& event : listener->events) seen.emplace_back(event.Category, event.Message);
  EXPECT_EQ(seen, (std::vector<std::pair<TZLoggingCategory, AnsiString>>{
                      {lcConnect, "open"}, {lcExecute, "delete from t"}, {lcDisconnect, "close"}}));
  EXPECT_EQ(DriverManager()->GetDriver("zdbc:fake-1://h/db"), nullptr);
}

}  // namespace
