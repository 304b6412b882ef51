// Sorting 200,000 fetched rows (varchar, int) on the client by
// IndexFieldNames, against the same rows opened with ORDER BY and against
// opening them unsorted; each run opens the query, fetches every row and
// closes. The client compares names by the Czech collation, the server by
// the column's, so the orders differ: only the times compare. Counter:
// items_per_second (rows, wall-clock: the server works in another process).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/fixture_connection.h"

namespace {

constexpr int kRows = 200000;
constexpr char kSelect[] = "SELECT id, name, n FROM bench_sort";

void EnsureTable(const MariaDbServer& server) {
  if (std::atoi(server.Client("SELECT COUNT(*) FROM bench_sort", "kalmir").c_str()) == kRows) return;
  server.Client(reinterpret_cast<const char*>(
                    u8"SET NAMES utf8mb4; DROP TABLE IF EXISTS bench_sort;"
                    u8"CREATE TABLE bench_sort (id int NOT NULL PRIMARY KEY, name varchar(20), n int)"
                    u8" CHARACTER SET utf8mb4;"
                    u8"INSERT INTO bench_sort SELECT seq,"
                    u8" CONCAT(ELT(1 + seq % 6, 'Čáp', 'Chata', 'Cibule', 'Dub', 'Hora', 'Říp'), ' ',"
                    u8" (seq * 7919) % 5000), (seq * 104729) % 1000 FROM seq_1_to_200000;"),
                "kalmir");
}

// Opens sql, lets `sort` order the rows (or not), and reads every row's id.
template <class Sort>
void OpenSortRead(benchmark::State& state, const char* sql, Sort&& sort) {
  EnsureTable(MariaDbServer::Get());
  TZConnection connection(nullptr);
  ConnectToFixture(connection);
  for (auto _ : state) {
    TZQuery query(nullptr);
    OpenOn(connection, query, sql);
    query.FetchAll();
    sort(query);
    TField* id = query.FieldNamed("id");
    long long sum = 0;
    for (query.First(); !query.Eof(); query.Next()) sum += id->ValueAsInteger();
    query.Close();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_OpenUnsorted(benchmark::State& state) {
  OpenSortRead(state, kSelect, [](TZQuery&) {});
}

void BM_OpenWithOrderBy(benchmark::State& state) {
  OpenSortRead(state, "SELECT id, name, n FROM bench_sort ORDER BY name, n", [](TZQuery&) {});
}

void BM_SortByIndexFieldNames(benchmark::State& state) {
  OpenSortRead(state, kSelect, [](TZQuery& query) { query.SetIndexFieldNames("name;n"); });
}

BENCHMARK(BM_OpenUnsorted)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_OpenWithOrderBy)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_SortByIndexFieldNames)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
