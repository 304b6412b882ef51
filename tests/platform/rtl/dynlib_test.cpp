#include "platform/rtl/dynlib.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/net_info.h"

TEST(DynLib, LoadsByNameAndFindsEntryPoints) {
  HMODULE sqlite = LoadLibrary("libsqlite3.so.0");
  ASSERT_NE(sqlite, nullptr);
  using VersionFn = const char* (*)();
  auto version = reinterpret_cast<VersionFn>(GetProcAddress(sqlite, "sqlite3_libversion"));
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(std::strncmp(version(), "3.", 2), 0);
  EXPECT_EQ(GetProcAddress(sqlite, "no_such_entry_point"), nullptr);
  EXPECT_TRUE(FreeLibrary(sqlite));
  EXPECT_EQ(LoadLibrary("libnot-there.so.1"), nullptr);
}

TEST(DynLib, FirstLoadableNameOfAListWins) {
  AnsiString loaded;
  HMODULE module = LoadFirstLibrary({"libmysql41.so", "libsqlite3.so.0", "libnever-tried.so"}, &loaded);
  EXPECT_NE(module, nullptr);
  EXPECT_EQ(loaded, "libsqlite3.so.0");
  FreeLibrary(module);
}

TEST(DynLib, ErrorNamesEveryTriedFileInOrder) {
  struct {
    std::vector<AnsiString> names;
    const char* message;
  } cases[] = {
      {{"libmysql41.so", "libmysql.so"},
       "None of the dynamic libraries can be found: libmysql41.so, libmysql.so"},
      {{}, "None of the dynamic libraries can be found: "},
  };
  for (const auto& c : cases) {
    try {
      LoadFirstLibrary(c.names);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.ClassName(), "Exception");
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(NetInfo, DottedTextOfNetworkOrderAddresses) {
  EXPECT_EQ(IPAddressToStr(htonl(0x7F000001)), "127.0.0.1");
  EXPECT_EQ(IPAddressToStr(htonl(0xC0A80A05)), "192.168.10.5");
  EXPECT_EQ(IPAddressToStr(0xFFFFFFFFu), "255.255.255.255");
  EXPECT_NE(GetLocalIPAddress(), 0u);  // an address or all bits set, never nothing
}
