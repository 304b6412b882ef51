// Fetch speed of the PostgreSQL driver: 1,000,000 rows of (int4,
// varchar(20), float8, timestamp) read through ExecuteQuery + Next + the
// typed getters, against the same rows read by a plain C loop over
// PQexec/PQgetvalue that converts each value itself. Rows per second are
// counted on wall time, as most of a fetch is waiting for the server; the
// CPU column shows this process's share.
//
// Run: cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON &&
//      cmake --build build-bench --target postgresql_fetch_bench &&
//      build-bench/bench/postgresql_fetch_bench
// It starts the throwaway server of the tests in <build>/bench/postgresql
// (stop it with tests/fixtures/postgresql/stop.sh <build>/bench/postgresql).
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"
#include "platform/rtl/format.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/postgresql/postgresql_driver.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kQuery[] = "SELECT id, name, amount, stamp FROM bench_fetch";

struct Server {
  std::string port, user, password, database;
};

const Server& GetServer() {
  static const Server server = [] {
    const std::string state = std::string(VX_BENCH_BINARY_DIR) + "/postgresql";
    const std::string start = std::string(VX_SOURCE_DIR) + "/tests/fixtures/postgresql/start.sh " + state;
    if (std::system(start.c_str()) != 0) throw std::runtime_error("cannot start PostgreSQL");
    auto values = ReadEnvFile(state + "/server.env");
    return Server{values["VX_PG_PORT"], values["VX_PG_USER"], values["VX_PG_PASSWORD"], values["VX_PG_DATABASE"]};
  }();
  return server;
}

PGconn* PlainConnect() {
  const Server& server = GetServer();
  const std::string info = "host=127.0.0.1 port=" + server.port + " dbname=" + server.database +
                           " user=" + server.user + " password=" + server.password;
  PGconn* connection = PQconnectdb(info.c_str());
  if (PQstatus(connection) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(connection));
  return connection;
}

void PlainExec(PGconn* connection, const char* sql) {
  PGresult* result = PQexec(connection, sql);
  const ExecStatusType status = PQresultStatus(result);
  PQclear(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) throw std::runtime_error(PQerrorMessage(connection));
}

// The table is filled once per server.
void EnsureTable() {
  static const bool done = [] {
    PGconn* connection = PlainConnect();
    PlainExec(connection,
              "CREATE TABLE IF NOT EXISTS bench_fetch (id int4 PRIMARY KEY, name varchar(20), amount float8, "
              "stamp timestamp)");
    PGresult* count = PQexec(connection, "SELECT count(*) FROM bench_fetch");
    const bool filled = std::atoi(PQgetvalue(count, 0, 0)) == kRows;
    PQclear(count);
    if (!filled) {
      PlainExec(connection, "TRUNCATE bench_fetch");
      PlainExec(connection, ("INSERT INTO bench_fetch SELECT g, 'name ' || g, g / 7.0, "
                             "timestamp '2000-01-01' + g * interval '1 second' FROM generate_series(1, " +
                             std::to_string(kRows) + ") AS g")
                                .c_str());
    }
    PQfinish(connection);
    return true;
  }();
  (void)done;
}

Ref<IZConnection> LibraryConnect() {
  const Server& server = GetServer();
  RegisterPostgreSQLDriver();
  return DriverManager()->GetConnection(Format("zdbc:postgresql://127.0.0.1:%s/%s?UID=%s;PWD=%s",
                                               {server.port, server.database, server.user, server.password}));
}

void BM_LibraryFetch(benchmark::State& state) {
  EnsureTable();
  Ref<IZConnection> connection = LibraryConnect();
  LibraryFetch(state, *connection, kQuery);
}

void BM_PlainFetch(benchmark::State& state) {
  EnsureTable();
  PGconn* connection = PlainConnect();
  std::int64_t rows = 0;
  for (auto _ : state) {
    PGresult* result = PQexec(connection, kQuery);
    double sum = 0;
    const int count = PQntuples(result);
    for (int row = 0; row < count; ++row) {
      sum += std::atoi(PQgetvalue(result, row, 0));
      sum += static_cast<double>(std::string(PQgetvalue(result, row, 1), PQgetlength(result, row, 1)).size());
      sum += std::strtod(PQgetvalue(result, row, 2), nullptr);
      sum += PlainTimestamp(PQgetvalue(result, row, 3));
      ++rows;
    }
    PQclear(result);
    benchmark::DoNotOptimize(sum);
  }
  PQfinish(connection);
  state.SetItemsProcessed(rows);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LibraryFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
