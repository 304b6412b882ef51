// Fetch speed of the ADO driver and its object layer: 1,000,000 rows of
// (integer, varchar(20), double, timestamp) from the SQLite ODBC driver, read
// through the driver (ExecuteQuery, Next and the typed getters) and through a
// recordset's MoveNext and Fields.Item(i).Value, against the same rows read
// by a plain C loop over SQLFetch and SQLGetData that converts each value
// itself. Counter: items_per_second (rows, by wall time).
//
// Run: cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON &&
//      cmake --build build-bench --target ado_fetch_bench &&
//      build-bench/bench/ado_fetch_bench
// The database file is made once in <build>/bench/ado_fetch.db.
#include <benchmark/benchmark.h>
#include <sql.h>
#include <sqlext.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"
#include "platform/rtl/datetime.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/ado/ado_driver.h"
#include "sql/drivers/ado/ado_objects.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kQuery[] = "SELECT id, name, amount, stamp FROM bench_fetch";
const std::string kFile = std::string(VX_BENCH_BINARY_DIR) + "/ado_fetch.db";
const std::string kConnectionString =
    "DRIVER=/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so;Database=" + kFile;

void EnsureTable() {
  static const bool done = [] {
    if (std::filesystem::exists(kFile)) return true;
    auto connection = MakeRef<Connection15>();
    connection->Open(kConnectionString, "", "");
    Variant affected;
    connection->Execute("CREATE TABLE bench_fetch (id integer, name varchar(20), amount double, stamp timestamp)",
                        affected);
    connection->Execute("INSERT INTO bench_fetch WITH RECURSIVE seq(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM seq "
                        "WHERE n < " + std::to_string(kRows) + ") SELECT n, 'name ' || n, n / 7.0, "
                        "datetime('2000-01-01', '+' || n || ' seconds') FROM seq",
                        affected);
    return true;
  }();
  (void)done;
}

void Check(SQLRETURN ret, const char* what) {
  if (!SQL_SUCCEEDED(ret) && ret != SQL_NO_DATA) throw std::runtime_error(what);
}

void BM_LayerFetch(benchmark::State& state) {
  EnsureTable();
  auto connection = MakeRef<Connection15>();
  connection->Open(kConnectionString, "", "");
  std::int64_t rows = 0;
  for (auto _ : state) {
    auto recordset = MakeRef<Recordset15>();
    recordset->Open(kQuery, connection);
    Ref<Fields> fields = recordset->Fields();
    double sum = 0;
    for (; !recordset->Eof(); recordset->MoveNext()) {
      sum += static_cast<double>(fields->Item(0)->Value().AsInteger());
      sum += static_cast<double>(fields->Item(1)->Value().AsString().size());
      sum += fields->Item(2)->Value().AsFloat();
      sum += fields->Item(3)->Value().AsDateTime();
      ++rows;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(rows);
}

void BM_DriverFetch(benchmark::State& state) {
  EnsureTable();
  RegisterAdoDriver();
  Ref<IZConnection> connection = DriverManager()->GetConnection("zdbc:ado:" + kConnectionString);
  LibraryFetch(state, *connection, kQuery);
  connection->Close();
}

void BM_PlainFetch(benchmark::State& state) {
  EnsureTable();
  SQLHENV env;
  SQLHDBC dbc;
  Check(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env), "env");
  Check(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), "version");
  Check(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), "dbc");
  std::string connect = kConnectionString;
  Check(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(connect.data()), SQL_NTS, nullptr, 0, nullptr,
                         SQL_DRIVER_NOPROMPT),
        "connect");
  std::int64_t rows = 0;
  for (auto _ : state) {
    SQLHSTMT statement;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement), "statement");
    Check(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(kQuery)), SQL_NTS), "execute");
    double sum = 0;
    while (SQLFetch(statement) == SQL_SUCCESS) {
      SQLBIGINT id = 0;
      char name[64];
      double amount = 0;
      SQL_TIMESTAMP_STRUCT stamp{};
      SQLLEN indicator = 0;
      SQLGetData(statement, 1, SQL_C_SBIGINT, &id, 0, &indicator);
      SQLGetData(statement, 2, SQL_C_CHAR, name, sizeof name, &indicator);
      SQLGetData(statement, 3, SQL_C_DOUBLE, &amount, 0, &indicator);
      SQLGetData(statement, 4, SQL_C_TYPE_TIMESTAMP, &stamp, 0, &indicator);
      sum += static_cast<double>(id) + static_cast<double>(std::string(name).size()) + amount;
      sum += EncodeDate(stamp.year, stamp.month, stamp.day) + EncodeTime(stamp.hour, stamp.minute, stamp.second, 0);
      ++rows;
    }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    benchmark::DoNotOptimize(sum);
  }
  SQLDisconnect(dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, env);
  state.SetItemsProcessed(rows);
}

BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LayerFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_DriverFetch)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
