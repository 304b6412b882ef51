// The dump command pieces: part counts, the command file's argument string,
// the child's argument vector, the dump file names of a run and the names in
// the statements.
#include "app/run/dump_command.h"

#include <gtest/gtest.h>

#include "app/engine/sql_names.h"

namespace {

const TDumpTarget kTarget{"127.0.0.1", "vx", "tajné heslo", 3307, "kalmir", ""};

TEST(DumpCommandTest, PartCountsAddOnePartToTheRowsNeeded) {
  struct {
    std::int64_t rows, perPart, parts;
  } cases[] = {{1000, 500, 3}, {999, 500, 2}, {0, 500, 1}, {1, 500, 1}, {5'000'000'000, 1000, 5'000'001}, {7, 0, 1}};
  for (const auto& c : cases) EXPECT_EQ(PartCount(c.rows, c.perPart), c.parts) << c.rows << " by " << c.perPart;
}

TEST(DumpCommandTest, ArgumentStringAndVectorOfUnpagedPagedAndQuickDumps) {
  const TDumpPart whole{"zákazníci", "/w/zákazníci.zal"};
  EXPECT_EQ(DumpArgumentString(kTarget, whole),
            "--compress --host=127.0.0.1 --user=vx --password=tajné heslo --port=3307 "
            "--result-file=\"/w/zákazníci.zal\" kalmir zákazníci");
  EXPECT_EQ(
      DumpArguments("/p/mysqldump", kTarget, whole),
      (std::vector<AnsiString>{"/p/mysqldump", "--compress", "--host=127.0.0.1", "--user=vx", "--password=tajné heslo",
                               "--port=3307", "--result-file=/w/zákazníci.zal", "--", "kalmir", "zákazníci"}));

  const TDumpPart paged{"t", "/w/t3.zal", true, 6'000'000'000, 3'000'000'000};
  TDumpTarget quick = kTarget;
  quick.ExtraOptions = " --quick --max-allowed-packet=64M --extended-insert";
  EXPECT_EQ(DumpArgumentString(quick, paged),
            "--compress --quick --max-allowed-packet=64M --extended-insert --no-create-info"
            " --where=\"1 ORDER BY id limit 6000000000,3000000000\" --host=127.0.0.1 --user=vx"
            " --password=tajné heslo --port=3307 --result-file=\"/w/t3.zal\" kalmir t");
  EXPECT_EQ(
      DumpArguments("m", quick, paged),
      (std::vector<AnsiString>{"m", "--compress", "--quick", "--max-allowed-packet=64M", "--extended-insert",
                               "--no-create-info", "--where=1 ORDER BY id limit 6000000000,3000000000", "--host=127.0.0.1", "--user=vx",
                               "--password=tajné heslo", "--port=3307", "--result-file=/w/t3.zal", "--", "kalmir", "t"}));
  // Only the first part makes the table: the later ones add rows to it.
  const TDumpPart first{"t", "/w/t1.zal", true, 0, 3'000'000'000};
  EXPECT_EQ(DumpArgumentString(kTarget, first).find("--no-create-info"), AnsiString::npos);
}

TEST(DumpCommandTest, NamesAreAlwaysBackQuotedAndMatchedExactly) {
  struct {
    const char* name;
    const char* quoted;
    const char* inShow;
  } cases[] = {
      {"zákazníci", "`zákazníci`", "show tables like \"zákazníci\""},
      {"order", "`order`", "show tables like \"order\""},
      {"1e5", "`1e5`", "show tables like \"1e5\""},
      {"bez_id", "`bez_id`", "show tables like \"bez\\_id\""},
      {"x`y", "`x``y`", "show tables like \"x`y\""},
      // A back-slash passes the string literal and then the pattern.
      {"a\\b", "`a\\b`", "show tables like \"a\\\\\\\\b\""},
      {"50%\"'", "`50%\"'`", "show tables like \"50\\%\\\"'\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SqlName(c.name), c.quoted);
    EXPECT_EQ(ShowTablesLike(c.name), c.inShow);
  }
}

TEST(DumpCommandTest, DumpFileNamesAreSafeAndUniqueWithinARun) {
  TDumpNames names;
  const std::pair<const char*, const char*> claims[] = {
      {"Tab", "Tab.zal"},        {"tab", "tab.zal"},  // case twins are two files
      {"_protokol", "_protokol~2.zal"},                // the protocol's name is taken
      {"a11", "a11.zal"},        {"a11", "a11~2.zal"},    {"a11~2", "a11~2~2.zal"},
      {"a/b", "a_b.zal"},        {"a_b", "a_b~2.zal"},    {"..", "_...zal"},
      {"-x", "_-x.zal"},         {"--no-data", "_--no-data.zal"},
      {"a\\b", "a_b~3.zal"},     {"a;b*", "a;b*.zal"},  {"", "_.zal"},
  };
  for (const auto& [part, file] : claims) EXPECT_EQ(names.Claim(part), file) << part;
}

TEST(DumpCommandTest, DatabaseFolderNamesAreSafeAndUniqueWhateverTheCase) {
  TFolderNames names;
  const std::pair<const char*, const char*> claims[] = {
      {"Db", "Db"}, {"db", "db~2"}, {"DB~2", "DB~2~2"}, {"..", "_.."}, {".", "_."},
      {"a/b", "a_b"}, {"-x", "_-x"}, {"_protokol", "_protokol"}, {"Účty", "Účty"}, {"účty", "účty~2"},
  };
  for (const auto& [database, folder] : claims) EXPECT_EQ(names.Claim(database), folder) << database;
}


}  // namespace
