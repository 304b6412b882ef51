// Fetch speed of the Interbase/Firebird driver on the embedded engine:
// 1,000,000 rows of (INTEGER, VARCHAR(20), DOUBLE PRECISION, TIMESTAMP) read
// forward-only through ExecuteQuery + Next + the typed getters, against the
// same rows read by a plain C loop over isc_dsql_fetch of libfbclient that
// converts each value itself (timestamps through isc_decode_timestamp).
// The engine runs in this process, so wall time and CPU time are close.
//
// Run: cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON &&
//      cmake --build build-bench --target interbase_fetch_bench &&
//      build-bench/bench/interbase_fetch_bench
// The database is made by isql-fb on the first run in <build>/bench/firebird.
#include <benchmark/benchmark.h>
#include <ibase.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"
#include "platform/rtl/format.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/interbase/interbase_driver.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kQuery[] = "SELECT ID, NAME, AMOUNT, STAMP FROM BENCH_FETCH";

const std::string& DatabasePath() {
  static const std::string path = [] {
    const std::filesystem::path folder = std::filesystem::path(VX_BENCH_BINARY_DIR) / "firebird";
    std::filesystem::create_directories(folder);
    // The engine's lock files stay with the benchmark's database.
    setenv("FIREBIRD_LOCK", (folder / "lock").c_str(), 0);
    const std::filesystem::path database = folder / "fetch.fdb";
    if (std::filesystem::exists(database)) return database.string();
    // Made under another name first: a run cut short leaves no half-filled file.
    const std::filesystem::path partial = folder / "fetch-partial.fdb";
    std::filesystem::remove(partial);
    const std::filesystem::path script = folder / "make.sql";
    FILE* out = std::fopen(script.c_str(), "w");
    std::fprintf(out,
                 "CREATE DATABASE '%s' DEFAULT CHARACTER SET WIN1250;\n"
                 "CREATE TABLE BENCH_FETCH (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20),\n"
                 "  AMOUNT DOUBLE PRECISION, STAMP TIMESTAMP);\n"
                 "SET TERM ^;\n"
                 "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= %d) DO BEGIN\n"
                 "  INSERT INTO BENCH_FETCH VALUES (:I, 'name ' || :I, :I / 7.0,\n"
                 "    DATEADD(:I SECOND TO TIMESTAMP '2000-01-01 00:00:00'));\n"
                 "  I = I + 1; END END^\n"
                 "SET TERM ;^\nCOMMIT;\n",
                 partial.c_str(), kRows);
    std::fclose(out);
    const std::string command = "isql-fb -q < '" + script.string() + "'";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(partial))
      throw std::runtime_error("isql-fb could not make the database");
    std::filesystem::rename(partial, database);
    return database.string();
  }();
  return path;
}

void Check(const ISC_STATUS* status) {
  if (status[0] == 1 && status[1] > 0) {
    char message[1024];
    const ISC_STATUS* vector = status;
    fb_interpret(message, sizeof message, &vector);
    throw std::runtime_error(message);
  }
}

void BM_LibraryFetch(benchmark::State& state) {
  RegisterInterbaseDriver();
  Ref<IZConnection> connection =
      DriverManager()->GetConnection(Format("zdbc:firebird-2.1:///%s", {AnsiString(DatabasePath())}));
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetType(rtForwardOnly);
  LibraryFetch(state, *statement, kQuery);
  statement->Close();
  connection->Close();
}

void BM_PlainFetch(benchmark::State& state) {
  const std::string& path = DatabasePath();
  ISC_STATUS_ARRAY status = {};
  isc_db_handle db = 0;
  isc_tr_handle tr = 0;
  isc_attach_database(status, 0, path.c_str(), &db, 0, nullptr);
  Check(status);
  isc_start_transaction(status, &tr, 1, &db, 0, nullptr);
  Check(status);

  alignas(XSQLDA) char area[XSQLDA_LENGTH(4)] = {};
  auto* da = reinterpret_cast<XSQLDA*>(area);
  da->version = SQLDA_VERSION1;
  da->sqln = 4;
  ISC_LONG id = 0;
  struct {
    short length;
    char text[20];
  } name;
  double amount = 0;
  ISC_TIMESTAMP stamp = {};
  short nulls[4] = {};
  void* buffers[4] = {&id, &name, &amount, &stamp};

  std::int64_t rows = 0;
  for (auto _ : state) {
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &db, &stmt);
    Check(status);
    isc_dsql_prepare(status, &tr, &stmt, 0, kQuery, 3, da);
    Check(status);
    for (int i = 0; i < 4; ++i) {
      da->sqlvar[i].sqldata = static_cast<ISC_SCHAR*>(buffers[i]);
      da->sqlvar[i].sqlind = &nulls[i];
    }
    isc_dsql_execute(status, &tr, &stmt, 3, nullptr);
    Check(status);
    double sum = 0;
    while (isc_dsql_fetch(status, &stmt, 3, da) == 0) {
      sum += id;
      sum += static_cast<double>(std::string(name.text, static_cast<std::size_t>(name.length)).size());
      sum += amount;
      struct tm decoded;
      isc_decode_timestamp(&stamp, &decoded);
      sum += EncodeDate(decoded.tm_year + 1900, decoded.tm_mon + 1, decoded.tm_mday) +
             (decoded.tm_hour * 3600 + decoded.tm_min * 60 + decoded.tm_sec) / 86400.0;
      ++rows;
    }
    Check(status);
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    Check(status);
    benchmark::DoNotOptimize(sum);
  }
  isc_commit_transaction(status, &tr);
  isc_detach_database(status, &db);
  state.SetItemsProcessed(rows);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LibraryFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
