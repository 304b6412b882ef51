// Row throughput of the row accessor, the path every fetched row of a dataset
// takes: 1,000,000 rows of (integer, 20-character text, double, date-time)
// filled through the typed setters, read back through the getters, and copied
// into a record buffer and read there. Counter: items_per_second (rows).
#include <benchmark/benchmark.h>

#include <vector>

#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/row_accessor.h"

namespace {

constexpr int kRows = 1000000;
constexpr char kText[] = "twenty characters ok";  // 20 characters
constexpr double kFirstDay = 36526;                // 2000-01-01

std::unique_ptr<TZRowAccessor> MakeAccessor() {
  TZColumnInfoList columns;
  const std::pair<TZSQLType, int> layout[] = {{stInteger, 0}, {stString, 20}, {stDouble, 0}, {stTimestamp, 0}};
  for (const auto& [type, precision] : layout) {
    TZColumnInfo& info = columns.Add();
    info.ColumnType = type;
    info.Precision = precision;
  }
  return std::make_unique<TZRowAccessor>(columns);
}

// The rows, allocated once and disposed at the end.
class Rows {
public:
  Rows() : accessor(MakeAccessor()), buffers(kRows) {
    for (TZRowBuffer*& buffer : buffers) buffer = accessor->AllocBuffer();
  }
  ~Rows() {
    for (TZRowBuffer* buffer : buffers) accessor->DisposeBuffer(buffer);
  }
  void Fill() {
    for (int i = 0; i < kRows; i++) {
      accessor->SetRowBuffer(buffers[i]);
      accessor->SetInt(1, i);
      accessor->SetPChar(2, kText);
      accessor->SetDouble(3, i * 0.25);
      accessor->SetTimestamp(4, kFirstDay + i / 86400.0);
    }
  }
  double ReadRow() {
    bool isNull;
    double sum = accessor->GetInt(1, isNull);
    sum += accessor->GetPChar(2, isNull)[19];
    sum += accessor->GetDouble(3, isNull);
    sum += accessor->GetTimestamp(4, isNull);
    return sum;
  }

  std::unique_ptr<TZRowAccessor> accessor;
  std::vector<TZRowBuffer*> buffers;
};

void BM_FillRows(benchmark::State& state) {
  Rows rows;
  for (auto _ : state) {
    rows.Fill();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_ReadRows(benchmark::State& state) {
  Rows rows;
  rows.Fill();
  for (auto _ : state) {
    double sum = 0;
    for (TZRowBuffer* buffer : rows.buffers) {
      rows.accessor->SetRowBuffer(buffer);
      sum += rows.ReadRow();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

// What a dataset does per record: copy the cached row into its record
// buffer, then read the fields from there.
void BM_CopyAndReadRows(benchmark::State& state) {
  Rows rows;
  rows.Fill();
  TZRowBuffer* record = rows.accessor->AllocBuffer();
  for (auto _ : state) {
    double sum = 0;
    rows.accessor->SetRowBuffer(record);
    for (TZRowBuffer* buffer : rows.buffers) {
      rows.accessor->CopyBuffer(buffer, record);
      sum += rows.ReadRow();
    }
    benchmark::DoNotOptimize(sum);
  }
  rows.accessor->DisposeBuffer(record);
  state.SetItemsProcessed(state.iterations() * kRows);
}

BENCHMARK(BM_FillRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAndReadRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
