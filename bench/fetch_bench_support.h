// What the drivers' fetch benchmarks share: the library loop (ExecuteQuery,
// Next and the typed getters over rows of (integer, text, real, timestamp))
// and the plain C loops' reference conversion of a timestamp text.
#pragma once

#include <benchmark/benchmark.h>

#include "platform/rtl/datetime.h"
#include "sql/core/dbc/interfaces.h"

// A "yyyy-mm-dd hh:nn:ss" text read by fixed positions, as hand-written
// client code would.
inline TDateTime PlainTimestamp(const char* text) {
  auto number = [text](int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  return EncodeDate(number(0, 4), number(5, 2), number(8, 2)) +
         (number(11, 2) * 3600 + number(14, 2) * 60 + number(17, 2)) / 86400.0;
}

// Runs query once per iteration on the connection and reads every value.
inline void LibraryFetch(benchmark::State& state, const Ref<IZConnection>& connection, const char* query) {
  Ref<IZStatement> statement = connection->CreateStatement();
  std::int64_t rows = 0;
  for (auto _ : state) {
    Ref<IZResultSet> resultSet = statement->ExecuteQuery(query);
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
