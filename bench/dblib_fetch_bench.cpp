// Fetch speed of the DB-Library driver on FreeTDS against the tests' TDS
// responder (the same library and responder serve both loops): 50,000 rows
// of (int, varchar(20), float, datetime) read through ExecuteQuery + Next +
// the typed getters (every row is first copied into the cached result set),
// against the same rows read by a plain C loop over dbnextrow / dbdata in the
// library's layouts. The responder's own time is in both figures; their
// difference is the driver's. Counter: items_per_second (rows).
//
// Run: cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON &&
//      cmake --build build-bench --target dblib_fetch_bench &&
//      build-bench/bench/dblib_fetch_bench
// Starts tests/fixtures/tds/start.sh in <build>/bench/tds (stop it with
// stop.sh there); each run fills its rows once.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/dblib/dblib_connection.h"
#include "sql/drivers/dblib/dblib_driver.h"

// After the driver's headers: the library's macros would rename its calls.
#include <sybfront.h>
#include <sybdb.h>

namespace {

constexpr int kRows = 50000;
constexpr char kQuery[] = "select id, name, amount, stamp from bench_fetch";
const std::string kFill =
    "create table bench_fetch (id int, name varchar(20), amount float, stamp datetime); "
    "with recursive seq(n) as (select 1 union all select n + 1 from seq where n < " + std::to_string(kRows) +
    ") insert into bench_fetch select n, 'name ' || n, n / 7.0, datetime('2000-01-01', '+' || n || ' seconds') "
    "from seq";

// One connection with its rows, made once.
IZDBLibConnection& Connection() {
  static Ref<IZDBLibConnection> connection = [] {
    const std::string state = std::string(VX_BENCH_BINARY_DIR) + "/tds";
    const std::string start = std::string(VX_SOURCE_DIR) + "/tests/fixtures/tds/start.sh " + state;
    if (std::system(start.c_str()) != 0) throw std::runtime_error("cannot start the TDS responder");
    auto values = ReadEnvFile(state + "/server.env");
    setenv("FREETDSCONF", (std::string(VX_SOURCE_DIR) + "/tests/fixtures/tds/freetds.conf").c_str(), 1);
    RegisterDBLibDriver();
    auto made = Query<IZDBLibConnection>(DriverManager()->GetConnection(
        "zdbc:mssql://127.0.0.1:" + values["VX_TDS_PORT"] + "/bench?UID=" + values["VX_TDS_USER"] +
        ";PWD=" + values["VX_TDS_PASSWORD"]));
    made->Open();
    made->InternalExecuteStatement("drop table if exists bench_fetch");
    made->InternalExecuteStatement(kFill);
    return made;
  }();
  return *connection;
}

void BM_LibraryFetch(benchmark::State& state) { LibraryFetch(state, Connection(), kQuery); }

void BM_PlainFetch(benchmark::State& state) {
  DBPROCESS* proc = reinterpret_cast<DBPROCESS*>(Connection().GetConnectionHandle());
  std::int64_t rows = 0;
  for (auto _ : state) {
    if (dbcancel(proc) != SUCCEED || dbcmd(proc, kQuery) != SUCCEED || dbsqlexec(proc) != SUCCEED ||
        dbresults(proc) != SUCCEED)
      throw std::runtime_error("the query failed");
    double sum = 0;
    while (dbnextrow(proc) == REG_ROW) {
      DBINT id;
      double amount;
      DBDATETIME stamp;
      std::memcpy(&id, dbdata(proc, 1), sizeof id);
      sum += id;
      sum += static_cast<double>(std::string(reinterpret_cast<const char*>(dbdata(proc, 2)), dbdatlen(proc, 2)).size());
      std::memcpy(&amount, dbdata(proc, 3), sizeof amount);
      sum += amount;
      std::memcpy(&stamp, dbdata(proc, 4), sizeof stamp);
      sum += stamp.dtdays + 2 + stamp.dttime / 25920000.0;
      ++rows;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(rows);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LibraryFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
