// Row throughput of a query component over the MySQL driver against the
// throwaway MariaDB server: 1,000,000 rows of (integer, 20-character text,
// double, date-time) opened, every field of every row read, closed; beside it
// the plain client-library loop over the same rows (store the result, fetch
// each row, touch each field) as the floor. Counter: items_per_second (rows,
// wall-clock: the server works in another process).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "sql/drivers/mysql/mysql_connection.h"
#include "sql/drivers/mysql/mysql_driver.h"
#include "tests/fixtures/mariadb/server.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kSelect[] = "select id, name, amount, created from ds_bench";

// Fills kalmir.ds_bench once; later runs find it complete.
void EnsureTable(const MariaDbServer& server) {
  if (std::atoi(server.Client("select count(*) from ds_bench", "kalmir").c_str()) == kRows) return;
  server.Client(
      "DROP TABLE IF EXISTS ds_bench;"
      "CREATE TABLE ds_bench (id INT PRIMARY KEY, name VARCHAR(20), amount DOUBLE, created DATETIME);"
      "INSERT INTO ds_bench SELECT seq, LPAD(seq, 20, 'x'), seq / 7, '2000-01-01' + INTERVAL seq SECOND"
      " FROM seq_1_to_1000000;",
      "kalmir");
}

class Session {
public:
  Session() {
    const MariaDbServer& server = MariaDbServer::Get();
    MySQLDriver();  // links and registers the driver
    EnsureTable(server);
    connection.SetProtocol("mysql-4.1");
    connection.SetHostName("127.0.0.1");
    connection.SetPort(server.port);
    connection.SetDatabase("kalmir");
    connection.SetUser(server.user.c_str());
    connection.SetPassword(server.password.c_str());
    connection.Properties()->Add("Codepage=cp1250");
    connection.Connect();
  }
  TZConnection connection{nullptr};
};

Session& Shared() {
  static Session session;
  return session;
}

void BM_PlainClientLoop(benchmark::State& state) {
  Ref<IZMySQLConnection> connection = Query<IZMySQLConnection>(Shared().connection.DbcConnection());
  Ref<IZMySQLPlainDriver> plain = connection->GetPlainDriver();
  MYSQL* handle = connection->GetConnectionHandle();
  for (auto _ : state) {
    if (plain->ExecQuery(handle, kSelect) != 0) state.SkipWithError("query failed");
    MYSQL_RES* result = plain->StoreResult(handle);
    unsigned long bytes = 0;
    while (MYSQL_ROW row = plain->FetchRow(result)) {
      unsigned long* lengths = plain->FetchLengths(result);
      for (int i = 0; i < 4; ++i) bytes += lengths[i] + (row[i] ? static_cast<unsigned char>(row[i][0]) : 0);
    }
    plain->FreeResult(result);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_QueryReadEveryField(benchmark::State& state) {
  for (auto _ : state) {
    TZQuery query(nullptr);
    query.SetConnection(&Shared().connection);
    query.SQL().Add(kSelect);
    query.Open();
    TField* id = query.FieldNamed("id");
    TField* name = query.FieldNamed("name");
    TField* amount = query.FieldNamed("amount");
    TField* created = query.FieldNamed("created");
    double sum = 0;
    for (; !query.Eof(); query.Next())
      sum += id->ValueAsInteger() + name->ValueAsString().size() + amount->ValueAsFloat() + created->ValueAsDateTime();
    query.Close();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_PlainClientLoop)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_QueryReadEveryField)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
