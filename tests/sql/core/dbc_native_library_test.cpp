// Loading a client library by trying file names in order, binding entry
// points by name, and freeing it again.

#include <gtest/gtest.h>

#include "sql/core/dbc/native_library.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/sql_error.h"

namespace {

constexpr char kPresent[] = "libsqlite3.so.0";

// A binding's loader: binds its entry point after the base has loaded, and
// counts loads.
class SqliteLoader : public TZNativeLibraryLoader {
public:
  using TZNativeLibraryLoader::TZNativeLibraryLoader;
  bool Load() override {
    ++loads;
    TZNativeLibraryLoader::Load();
    libversion_number = reinterpret_cast<int (*)()>(GetAddress("sqlite3_libversion_number"));
    return true;
  }
  int loads = 0;
  int (*libversion_number)() = nullptr;
};

TEST(NativeLibraryLoader, LoadsTheFirstNameThatExistsAndBindsByName) {
  SqliteLoader loader({"libzz-missing-1.so", "libzz-missing-2.so.9", kPresent, "libzz-missing-3.so"});
  EXPECT_FALSE(loader.Loaded());
  EXPECT_EQ(loader.GetAddress("sqlite3_libversion_number"), nullptr);

  loader.LoadIfNeeded();
  loader.LoadIfNeeded();
  EXPECT_EQ(loader.loads, 1);
  ASSERT_TRUE(loader.Loaded());
  ASSERT_NE(loader.libversion_number, nullptr);
  EXPECT_GE(loader.libversion_number(), 3000000);
  EXPECT_EQ(loader.GetAddress("sqlite3_no_such_entry"), nullptr);

  loader.FreeNativeLibrary();
  EXPECT_FALSE(loader.Loaded());
  EXPECT_EQ(loader.GetAddress("sqlite3_libversion_number"), nullptr);
  loader.LoadIfNeeded();
  EXPECT_EQ(loader.loads, 2);
  EXPECT_TRUE(loader.Loaded());
}

TEST(NativeLibraryLoader, NoLoadableNameNamesEveryTriedFile) {
  struct {
    std::vector<AnsiString> names;
    const char* message;
  } const cases[] = {
      {{"libzz-a.so", "libzz-b.so"}, "None of the dynamic libraries can be found: libzz-a.so, libzz-b.so"},
      {{}, "None of the dynamic libraries can be found: "},
  };
  for (const auto& c : cases) {
    TZNativeLibraryLoader loader(c.names);
    try {
      loader.LoadNativeLibrary();
      ADD_FAILURE() << "loaded";
    } catch (const EZSQLException&) {
      ADD_FAILURE() << "the loader's error is the platform's own";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_FALSE(loader.Loaded());
  }
}

TEST(NativeLibraryLoader, LaterAttemptTriesTheNamesAgain) {
  TZNativeLibraryLoader loader({"libzz-missing.so"});
  EXPECT_THROW(loader.LoadIfNeeded(), Exception);
  loader.SetLibraries({"libzz-missing.so", kPresent});
  loader.LoadIfNeeded();
  EXPECT_TRUE(loader.Loaded());
}

TEST(NativeLibraryLoader, FreeingWhatIsNotLoadedChangesNothing) {
  TZNativeLibraryLoader loader({kPresent});
  EXPECT_NO_THROW(loader.FreeNativeLibrary());
  EXPECT_FALSE(loader.Loaded());
  EXPECT_TRUE(loader.LoadNativeLibrary());
  EXPECT_TRUE(loader.LoadNativeLibrary());  // already held: nothing loaded again
  EXPECT_TRUE(loader.Loaded());
}

TEST(EntryTableLoader, BindsItsNamesAndForgetsThemWithTheLibrary) {
  // The second name is left out by the loader, the third is not exported.
  class Loader : public TZEntryTableLoader {
  public:
    using TZEntryTableLoader::TZEntryTableLoader;

  protected:
    bool Binds(int index) const override { return index != 1; }
  } loader({kPresent}, {"sqlite3_libversion_number", "sqlite3_libversion", "sqlite3_no_such_entry"});
  loader.LoadIfNeeded();
  EXPECT_NE(loader.EntryAt(0), nullptr);
  EXPECT_EQ(loader.EntryAt(1), nullptr);
  EXPECT_EQ(loader.EntryAt(2), nullptr);
  EXPECT_EQ(loader.RequiredEntry(0), loader.EntryAt(0));
  EXPECT_EQ(SQLError([&] { loader.RequiredEntry(1); }), "Unsupported operation");
  EXPECT_EQ(SQLError([&] { loader.NamedEntry(2); }), "The client library has no function sqlite3_no_such_entry");

  loader.FreeNativeLibrary();
  EXPECT_EQ(loader.EntryAt(0), nullptr);
}

}  // namespace
