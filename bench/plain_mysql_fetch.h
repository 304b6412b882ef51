// The reference the MySQL fetch benchmarks measure against: a plain C loop
// over mysql_fetch_row that converts each value of (integer, text, real,
// timestamp) itself, as hand-written client code would.
#pragma once

#include <benchmark/benchmark.h>
#include <mariadb/mysql.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "bench/fetch_bench_support.h"

// Runs query once per iteration on the connection and reads every value.
inline void PlainMysqlFetch(benchmark::State& state, MYSQL* mysql, const char* query) {
  std::int64_t rows = 0;
  for (auto _ : state) {
    if (mysql_query(mysql, query) != 0) throw std::runtime_error(mysql_error(mysql));
    MYSQL_RES* result = mysql_store_result(mysql);
    double sum = 0;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
      const unsigned long* lengths = mysql_fetch_lengths(result);
      sum += std::atoi(row[0]);
      sum += static_cast<double>(std::string(row[1], lengths[1]).size());
      sum += std::strtod(row[2], nullptr);
      sum += PlainTimestamp(row[3]);
      ++rows;
    }
    mysql_free_result(result);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(rows);
}
