// Row throughput of the query component over the MySQL driver: the rows of
// mysql_fetch_bench (1,000,000 of int, varchar(20), double, datetime in
// kalmir.bench_fetch) opened, every field of every row read, closed, beside
// the plain C loop over mysql_fetch_row on the same server in the same run.
// Time is wall-clock beside CPU; items_per_second (rows) is by wall-clock, as
// the server works in another process.
//
// The server is the test fixture's, started on demand in <build>/mariadb
// (stop it with tests/fixtures/mariadb/stop.sh <build>/mariadb).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/fixture_connection.h"
#include "bench/plain_mysql_fetch.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kSelect[] = "SELECT id, name, amount, stamp FROM bench_fetch";

// The same table mysql_fetch_bench fills, so either program may create it.
void EnsureTable(const MariaDbServer& server) {
  if (std::atoi(server.Client("SELECT COUNT(*) FROM bench_fetch", "kalmir").c_str()) == kRows) return;
  server.Client(
      "DROP TABLE IF EXISTS bench_fetch;"
      "CREATE TABLE bench_fetch (id int NOT NULL PRIMARY KEY, name varchar(20), amount double, stamp datetime);"
      "INSERT INTO bench_fetch SELECT seq, CONCAT('name ', seq), seq / 7,"
      " '2000-01-01 00:00:00' + INTERVAL seq SECOND FROM seq_1_to_1000000;",
      "kalmir");
}

void BM_QueryReadEveryField(benchmark::State& state) {
  EnsureTable(MariaDbServer::Get());
  TZConnection connection(nullptr);
  ConnectToFixture(connection);
  for (auto _ : state) {
    TZQuery query(nullptr);
    OpenOn(connection, query, kSelect);
    TField* id = query.FieldNamed("id");
    TField* name = query.FieldNamed("name");
    TField* amount = query.FieldNamed("amount");
    TField* stamp = query.FieldNamed("stamp");
    double sum = 0;
    for (; !query.Eof(); query.Next())
      sum += id->ValueAsInteger() + name->ValueAsString().size() + amount->ValueAsFloat() + stamp->ValueAsDateTime();
    query.Close();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_PlainFetch(benchmark::State& state) {
  const MariaDbServer& server = MariaDbServer::Get();
  EnsureTable(server);
  MYSQL* mysql = mysql_init(nullptr);
  if (!mysql_real_connect(mysql, "127.0.0.1", server.user.c_str(), server.password.c_str(), "kalmir",
                          static_cast<unsigned int>(server.port), nullptr, 0)) {
    state.SkipWithError(mysql_error(mysql));
  } else {
    PlainMysqlFetch(state, mysql, kSelect);
  }
  mysql_close(mysql);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_QueryReadEveryField)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
