// Fetch speed of the SQLite driver: 1,000,000 rows of (integer, varchar(20),
// real, datetime) read through ExecuteQuery + Next + the typed getters (every
// row is first copied into the cached result set), against the same rows read
// by a plain C loop over sqlite3_step / sqlite3_column_text that converts each
// value itself. Counter: items_per_second (rows).
//
// Run: cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON &&
//      cmake --build build-bench --target sqlite_fetch_bench &&
//      build-bench/bench/sqlite_fetch_bench
// The database file is made once in <build>/bench/sqlite_fetch.db.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/sqlite/sqlite_driver.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kQuery[] = "SELECT id, name, amount, stamp FROM bench_fetch";

std::string DatabasePath() { return std::string(VX_BENCH_BINARY_DIR) + "/sqlite_fetch.db"; }

sqlite3* PlainOpen() {
  sqlite3* db = nullptr;
  if (sqlite3_open(DatabasePath().c_str(), &db) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  return db;
}

void PlainExec(sqlite3* db, const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "";
    sqlite3_free(message);
    throw std::runtime_error(text);
  }
}

// The file is made once per build folder.
void EnsureDatabase() {
  static const bool done = [] {
    if (std::filesystem::exists(DatabasePath())) return true;
    sqlite3* db = PlainOpen();
    PlainExec(db, "CREATE TABLE bench_fetch (id INTEGER PRIMARY KEY, name VARCHAR(20), amount REAL, stamp DATETIME)");
    const std::string fill =
        "WITH RECURSIVE seq(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM seq WHERE n < " + std::to_string(kRows) +
        ") INSERT INTO bench_fetch SELECT n, 'name ' || n, n / 7.0, datetime('2000-01-01', '+' || n || ' seconds')"
        " FROM seq";
    PlainExec(db, fill.c_str());
    sqlite3_close(db);
    return true;
  }();
  (void)done;
}

void BM_LibraryFetch(benchmark::State& state) {
  EnsureDatabase();
  RegisterSQLiteDriver();
  LibraryFetch(state, *DriverManager()->GetConnection("zdbc:sqlite-3:" + DatabasePath()), kQuery);
}

void BM_PlainFetch(benchmark::State& state) {
  EnsureDatabase();
  sqlite3* db = PlainOpen();
  std::int64_t rows = 0;
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, kQuery, -1, &statement, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db));
    double sum = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      auto text = [statement](int i) { return reinterpret_cast<const char*>(sqlite3_column_text(statement, i)); };
      sum += std::atoi(text(0));
      sum += static_cast<double>(std::string(text(1)).size());
      sum += std::strtod(text(2), nullptr);
      sum += PlainTimestamp(text(3));
      ++rows;
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_close(db);
  state.SetItemsProcessed(rows);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LibraryFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
