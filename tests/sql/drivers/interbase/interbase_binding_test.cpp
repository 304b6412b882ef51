// The client binding: which library each protocol loads, the loader's and
// the plain drivers' own errors, one table of entry points per loader, and
// the types that cross the library boundary.

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <type_traits>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;

// The handles and the status vector have the widths the client declares.
static_assert(sizeof(ISC_STATUS_VECTOR) == 20 * 8);
static_assert(std::is_same_v<isc_db_handle, unsigned int>);
// The transaction existence block is laid out as isc_start_multiple reads it.
static_assert(offsetof(TZInterbaseTEB, db_ptr) == 0);
static_assert(offsetof(TZInterbaseTEB, tpb_len) == sizeof(void*));
static_assert(offsetof(TZInterbaseTEB, tpb_ptr) == 2 * sizeof(void*));

TEST(InterbaseBinding, EachClientLoadsItsOwnListOfLibraries) {
  const std::vector<AnsiString> gds = {"libgds.so.0", "libgds.so"};
  const std::vector<AnsiString> client = {"libfbclient.so.2", "libfbclient.so"};
  const std::vector<AnsiString> embedded = {"libfbembed.so", "libfbclient.so.2"};
  const struct {
    TZInterbaseClient client;
    std::vector<AnsiString> libraries;
  } cases[] = {
      {TZInterbaseClient::Interbase5, gds},          {TZInterbaseClient::Interbase6, gds},
      {TZInterbaseClient::Firebird10, gds},          {TZInterbaseClient::Firebird15, client},
      {TZInterbaseClient::Firebird20, client},       {TZInterbaseClient::Firebird21, client},
      {TZInterbaseClient::Firebird15Embedded, embedded}, {TZInterbaseClient::Firebird20Embedded, embedded},
      {TZInterbaseClient::Firebird21Embedded, embedded},
  };
  for (const auto& c : cases)
    EXPECT_EQ(InterbaseLibraryLoader(c.client).Libraries(), c.libraries) << static_cast<int>(c.client);
}

TEST(InterbaseBinding, ProtocolsAndDescriptionsOfThePlainDrivers) {
  Ref<TZInterbase6Driver> driver = InterbaseDriver();
  EXPECT_EQ(driver->GetSupportedProtocols(),
            (TZStringDynArray{"interbase-5", "interbase-6", "firebird-1.0", "firebird-1.5", "firebird-2.0",
                              "firebird-2.1", "firebirdd-1.5", "firebirdd-2.0", "firebirdd-2.1"}));
  EXPECT_EQ(MakeRef<TZFirebirdD21PlainDriver>()->GetDescription(), "Native Plain Driver for Firebird Embedded 2.1");
  EXPECT_EQ(MakeRef<TZInterbase5PlainDriver>()->GetDescription(), "Native Plain Driver for Interbase 5+");
  EXPECT_TRUE(driver->AcceptsURL("zdbc:firebirdd-2.0:///x.fdb"));
  EXPECT_FALSE(driver->AcceptsURL("zdbc:firebird-3.0:///x.fdb"));
  try {
    driver->GetPlainDriver("zdbc:Firebird-2.1:///x.fdb");
    ADD_FAILURE() << "a protocol in another letter case was accepted";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Unsupported protocol: Firebird-2.1");
  }
}

TEST(InterbaseBinding, TheFirstLibraryOfTheListThatLoadsIsBound) {
  TZInterbaseNativeLibraryLoader& loader = InterbaseLibraryLoader(TZInterbaseClient::Firebird15);
  loader.SetLibraries({"libvx-missing-fbclient15.so", "libfbclient.so.2"});
  Ref<IZInterbasePlainDriver> plain = InterbaseDriver()->GetPlainDriver("zdbc:firebird-1.5:///x.fdb");
  EXPECT_TRUE(loader.Loaded());
  EXPECT_NE(loader.Entry(TZInterbaseEntry::isc_attach_database), nullptr);
  // Only the Firebird 2.1 loaders bind fb_interpret.
  EXPECT_EQ(loader.Entry(TZInterbaseEntry::fb_interpret), nullptr);
  EXPECT_EQ(plain->isc_vax_integer("\x01\x02", 2), 0x0201);
}

TEST(InterbaseBinding, NoLoadableLibraryNamesEveryFileAndLoadsNothing) {
  TZInterbaseNativeLibraryLoader& loader = InterbaseLibraryLoader(TZInterbaseClient::Firebird10);
  loader.SetLibraries({"libvx-missing-a.so", "libvx-missing-b.so"});
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      DriverManager()->GetConnection("zdbc:firebird-1.0:///x.fdb");
      ADD_FAILURE() << "connected without a library";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "None of the dynamic libraries can be found: libvx-missing-a.so, libvx-missing-b.so");
    }
    EXPECT_FALSE(loader.Loaded());
  }
}

TEST(InterbaseBinding, AnEntryPointTheLibraryLacksRaisesWithItsName) {
  // zlib loads but exports none of the client's calls.
  InterbaseLibraryLoader(TZInterbaseClient::Interbase6).SetLibraries({"libz.so.1"});
  Ref<IZConnection> connection = DriverManager()->GetConnection("zdbc:interbase-6:////tmp/vx-none.fdb");
  try {
    connection->Open();
    ADD_FAILURE() << "opened through a library without isc_attach_database";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "The client library has no function isc_attach_database");
  }
  EXPECT_TRUE(connection->IsClosed());
}

TEST(InterbaseBinding, Interbase5LacksTheSqlDateCallsAndTheRetainingRollback) {
  Ref<TZInterbase5PlainDriver> plain = MakeRef<TZInterbase5PlainDriver>();
  ISC_DATE date = 0;
  ISC_STATUS_VECTOR status = {};
  isc_tr_handle tr = 0;
  // None of them touches a library: none is loaded for Interbase 5.
  ASSERT_FALSE(InterbaseLibraryLoader(TZInterbaseClient::Interbase5).Loaded());
  const struct {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { plain->isc_encode_sql_date(nullptr, &date); }, "This version does not support isc_encode_sql_date"},
      {[&] { plain->isc_decode_sql_time(nullptr, nullptr); }, "This version does not support isc_decode_sql_time"},
      {[&] { plain->isc_encode_timestamp(nullptr, nullptr); },
       "This version does not support isc_encode_sql_timestamp"},
      {[&] { plain->isc_rollback_retaining(status, &tr); }, "This version does not support isc_rollback_retaining"},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.message;
    } catch (const EZSQLException&) {
      ADD_FAILURE() << "an EZSQLException for " << c.message;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(InterbaseBinding, LoadingTheEmbeddedLibraryNeverRebindsClientConnections) {
  InterbaseLibraryLoader(TZInterbaseClient::Firebird20Embedded).SetLibraries({"libz.so.1"});
  Ref<TZInterbase6Driver> driver = InterbaseDriver();
  Ref<IZInterbasePlainDriver> client = driver->GetPlainDriver("zdbc:firebird-2.0:///x.fdb");
  Ref<IZInterbasePlainDriver> embedded = driver->GetPlainDriver("zdbc:firebirdd-2.0:///x.fdb");
  EXPECT_EQ(client->isc_vax_integer("\x2A", 1), 42);
  EXPECT_THROW(embedded->isc_vax_integer("\x2A", 1), EZSQLException);
}

TEST(InterbaseBinding, Firebird21InterpretsWithFbInterpret) {
  Ref<IZInterbasePlainDriver> plain = InterbaseDriver()->GetPlainDriver("zdbc:firebird-2.1:///x.fdb");
  EXPECT_NE(InterbaseLibraryLoader(TZInterbaseClient::Firebird21).Entry(TZInterbaseEntry::fb_interpret), nullptr);
  const ISC_STATUS vector[] = {isc_arg_gds, isc_network_error, isc_arg_string,
                               reinterpret_cast<ISC_STATUS>("vxhost"), isc_arg_end};
  const ISC_STATUS* cursor = vector;
  char buffer[1024] = {};
  EXPECT_GT(plain->isc_interprete(buffer, &cursor), 0);
  EXPECT_STREQ(buffer, "Unable to complete network request to host \"vxhost\".");
  EXPECT_EQ(plain->isc_interprete(buffer, &cursor), 0);
}

TEST(InterbaseBinding, EventBlocksTakeAtMostFifteenNames) {
  Ref<IZInterbasePlainDriver> plain = InterbaseDriver()->GetPlainDriver("zdbc:firebird-2.1:///x.fdb");
  const char* names[16] = {"A", "BB"};
  ISC_UCHAR* events = nullptr;
  ISC_UCHAR* results = nullptr;
  // Version byte, then each name with its length byte and a 4-byte count.
  EXPECT_EQ(plain->isc_event_block(&events, &results, 2, names), 1 + (2 + 4) + (3 + 4));
  EXPECT_EQ(events[2], 'A');
  plain->isc_free(reinterpret_cast<ISC_SCHAR*>(events));
  plain->isc_free(reinterpret_cast<ISC_SCHAR*>(results));
  EXPECT_THROW(plain->isc_event_block(&events, &results, 16, names), EZSQLException);
}

TEST(InterbaseBinding, DescriptorAreaLengthFollowsTheClientLayout) {
  EXPECT_EQ(XSQLDALength(0), static_cast<int>(XSQLDA_LENGTH(0)));
  EXPECT_EQ(XSQLDALength(1), static_cast<int>(sizeof(XSQLDA)));
  EXPECT_EQ(XSQLDALength(10), static_cast<int>(XSQLDA_LENGTH(10)));
  EXPECT_THROW(XSQLDALength(20000000), EIntOverflow);
}

}  // namespace
