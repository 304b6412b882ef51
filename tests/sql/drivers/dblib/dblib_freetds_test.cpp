// The driver on the real FreeTDS library, as far as it goes without a
// server: loading, the login record's items, and a refused connection.

#include <gtest/gtest.h>

#include "sql/core/dbc/driver_manager.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_binding.h"
#include "sql/drivers/dblib/dblib_connection.h"
#include "sql/drivers/dblib/dblib_driver.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/sql/drivers/dblib/dblib_login_items.h"

namespace {

TEST(FreeTds, RefusedConnectionRaisesTheLibrarysTextAndStaysClosed) {
  Ref<IZConnection> connection = DBLibDriver()->Connect("zdbc:mssql://127.0.0.1:1/master?UID=sa;PWD=x", nullptr);
  ScopedLog log;
  try {
    connection->Open();
    FAIL() << "no exception";
  } catch (const EZSQLException& error) {
    FAIL() << "EZSQLException: " << error.Message();
  } catch (const Exception& error) {
    EXPECT_NE(error.Message().find("Unable to connect: Adaptive Server is unavailable or does not exist "
                                   "(127.0.0.1) Connection refused \r"),
              AnsiString::npos)
        << error.Message();
    ASSERT_FALSE(log->Events.empty());
    EXPECT_EQ(log->Events.back().Category, lcConnect);
    EXPECT_EQ(log->Events.back().ErrorText, error.Message());
  }
  EXPECT_TRUE(connection->IsClosed());
}

TEST(FreeTds, LibraryTakesTheLoginItemsOfBothFlavours) {
  for (const Ref<IZDBLibPlainDriver>& plain : dblib_test::BothFlavours()) {
    plain->Initialize();
    EXPECT_EQ(dblib_test::SetEveryLoginItem(plain.get()), std::vector<RETCODE>(7, 1)) << plain->GetProtocol();
    EXPECT_EQ(plain->dbsetlogintime(5), 1);
    EXPECT_NO_THROW(plain->CheckError()) << plain->GetProtocol();
  }
  const TZDBLibNativeLibraryLoader& loader = DBLibLibraryLoader();
  EXPECT_TRUE(loader.Loaded());
  // FreeTDS has no single procedure-call execution and no Windows exit call.
  EXPECT_EQ(loader.Entry(TZDBLibEntry::dbrpcexec), nullptr);
  EXPECT_EQ(loader.Entry(TZDBLibEntry::dbwinexit), nullptr);
  EXPECT_NE(loader.Entry(TZDBLibEntry::dbsqlok), nullptr);
}

TEST(FreeTds, MissingLibraryIsNamedInTheError) {
  TZDBLibNativeLibraryLoader loader({"libsybdb-none.so.5"});
  try {
    loader.Load();
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "None of the dynamic libraries can be found: libsybdb-none.so.5");
  }
  EXPECT_FALSE(loader.Loaded());
}

}  // namespace
