// What the drivers' fetch benchmarks share: the reader of a test fixture's
// server.env, the plain loops' fixed-position timestamp parser, and the
// library's loop over rows of (int, varchar, double, timestamp).
#pragma once

#include <benchmark/benchmark.h>

#include <fstream>
#include <map>
#include <string>

#include "platform/rtl/datetime.h"
#include "sql/core/dbc/interfaces.h"

inline std::map<std::string, std::string> ReadEnvFile(const std::string& path) {
  std::map<std::string, std::string> values;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    if (auto eq = line.find('='); eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  return values;
}

// "yyyy-mm-dd hh:nn:ss" by fixed positions.
inline TDateTime PlainTimestamp(const char* text) {
  auto number = [text](int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  return EncodeDate(number(0, 4), number(5, 2), number(8, 2)) +
         (number(11, 2) * 3600 + number(14, 2) * 60 + number(17, 2)) / 86400.0;
}

// ExecuteQuery + Next + the typed getters on statement, once per benchmark
// iteration.
inline void LibraryFetch(benchmark::State& state, IZStatement& statement, const char* query) {
  std::int64_t rows = 0;
  for (auto _ : state) {
    Ref<IZResultSet> resultSet = statement.ExecuteQuery(query);
    double sum = 0;
    while (resultSet->Next()) {
      sum += resultSet->GetInt(1);
      sum += static_cast<double>(resultSet->GetString(2).size());
      sum += resultSet->GetDouble(3);
      sum += resultSet->GetTimestamp(4);
      ++rows;
    }
    resultSet->Close();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(rows);
}

// The same on a new statement of connection with its default result type.
inline void LibraryFetch(benchmark::State& state, IZConnection& connection, const char* query) {
  LibraryFetch(state, *connection.CreateStatement(), query);
}
