// Fetch speed of the MySQL driver: 1,000,000 rows of (int, varchar(20),
// double, datetime) read through ExecuteQuery + Next + the typed getters,
// against the same rows read by a plain C loop over mysql_fetch_row that
// converts each value itself. Time is wall-clock beside CPU; the counter
// items_per_second (rows) is by wall-clock time.
//
// Run: cmake -S . -B build-bench -G Ninja -DBUILD_BENCH=ON &&
//      cmake --build build-bench --target mysql_fetch_bench &&
//      build-bench/bench/mysql_fetch_bench
// It uses the server named by VX_MARIADB_PORT (with VX_MARIADB_USER and
// VX_MARIADB_PASSWORD) when set; otherwise it starts the throwaway server with
// tests/fixtures/mariadb/start.sh in <build>/bench/mariadb (stop it with
// tests/fixtures/mariadb/stop.sh <build>/bench/mariadb).
#include <benchmark/benchmark.h>
#include <mariadb/mysql.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"
#include "bench/plain_mysql_fetch.h"
#include "platform/rtl/format.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/mysql/mysql_driver.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kDatabase[] = "kalmir";
constexpr char kQuery[] = "SELECT id, name, amount, stamp FROM bench_fetch";

struct Server {
  int port = 0;
  std::string user, password;
};

const Server& GetServer() {
  static const Server server = [] {
    Server s;
    if (const char* port = std::getenv("VX_MARIADB_PORT")) {
      s.port = std::atoi(port);
      s.user = std::getenv("VX_MARIADB_USER") ? std::getenv("VX_MARIADB_USER") : "vx";
      s.password = std::getenv("VX_MARIADB_PASSWORD") ? std::getenv("VX_MARIADB_PASSWORD") : "vxpass";
      return s;
    }
    const std::string state = std::string(VX_BENCH_BINARY_DIR) + "/mariadb";
    const std::string start = std::string(VX_SOURCE_DIR) + "/tests/fixtures/mariadb/start.sh " + state;
    if (std::system(start.c_str()) != 0) throw std::runtime_error("cannot start MariaDB");
    auto values = ReadEnvFile(state + "/server.env");
    s.port = std::atoi(values["VX_MARIADB_PORT"].c_str());
    s.user = values["VX_MARIADB_USER"];
    s.password = values["VX_MARIADB_PASSWORD"];
    return s;
  }();
  return server;
}

MYSQL* PlainConnect() {
  const Server& server = GetServer();
  MYSQL* mysql = mysql_init(nullptr);
  if (!mysql_real_connect(mysql, "127.0.0.1", server.user.c_str(), server.password.c_str(), kDatabase,
                          static_cast<unsigned int>(server.port), nullptr, 0))
    throw std::runtime_error(mysql_error(mysql));
  return mysql;
}

void PlainExec(MYSQL* mysql, const char* sql) {
  if (mysql_query(mysql, sql) != 0) throw std::runtime_error(mysql_error(mysql));
}

// The table is filled once per server.
void EnsureTable() {
  static const bool done = [] {
    MYSQL* mysql = PlainConnect();
    PlainExec(mysql, "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'kalmir' "
                     "AND table_name = 'bench_fetch'");
    MYSQL_RES* result = mysql_store_result(mysql);
    const bool exists = std::strcmp(mysql_fetch_row(result)[0], "0") != 0;
    mysql_free_result(result);
    if (!exists) {
      PlainExec(mysql, "CREATE TABLE bench_fetch (id int NOT NULL PRIMARY KEY, name varchar(20), amount double, "
                       "stamp datetime)");
      const std::string fill = "INSERT INTO bench_fetch SELECT seq, CONCAT('name ', seq), seq / 7, "
                               "'2000-01-01 00:00:00' + INTERVAL seq SECOND FROM seq_1_to_" + std::to_string(kRows);
      PlainExec(mysql, fill.c_str());
    }
    mysql_close(mysql);
    return true;
  }();
  (void)done;
}

Ref<IZConnection> LibraryConnect() {
  const Server& server = GetServer();
  RegisterMySQLDriver();
  return DriverManager()->GetConnection(
      Format("zdbc:mysql-4.1://127.0.0.1:%d/%s?UID=%s;PWD=%s", {server.port, kDatabase, server.user, server.password}));
}

void BM_LibraryFetch(benchmark::State& state) {
  EnsureTable();
  Ref<IZConnection> connection = LibraryConnect();
  LibraryFetch(state, *connection, kQuery);
}

void BM_PlainFetch(benchmark::State& state) {
  EnsureTable();
  MYSQL* mysql = PlainConnect();
  PlainMysqlFetch(state, mysql, kQuery);
  mysql_close(mysql);
}

// Wall time: the server works in another process, so CPU time leaves out the
// waits that a slower protocol path causes.
BENCHMARK(BM_PlainFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_LibraryFetch)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
