// The row pool behind the cached result sets: rows never overlap, across
// block boundaries too, and rows given back are handed out again, even rows
// narrower than the link the free list keeps in them.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "sql/core/dbc/row_pool.h"

namespace {

TEST(RowPool, RowsKeepTheirBytesAcrossManyBlocks) {
  constexpr int kRowSize = 13;  // odd, so rows straddle every alignment
  TZRowPool pool(kRowSize);
  std::vector<TZRowBuffer*> rows(20000);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i] = pool.Take();
    std::memset(rows[i], static_cast<int>(i % 251), kRowSize);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(rows[i]);
    for (int b = 0; b < kRowSize; ++b) ASSERT_EQ(bytes[b], i % 251) << "row " << i << " byte " << b;
  }
}

TEST(RowPool, GivenBackRowsAreReusedBeforeNewMemory) {
  for (int rowSize : {kRowHeaderSize, 40}) {
    TZRowPool pool(rowSize);
    std::vector<TZRowBuffer*> rows;
    for (int i = 0; i < 5; ++i) rows.push_back(pool.Take());
    pool.Give(rows[1]);
    pool.Give(rows[3]);
    pool.Give(nullptr);
    std::set<TZRowBuffer*> again{pool.Take(), pool.Take()};
    EXPECT_EQ(again, (std::set<TZRowBuffer*>{rows[1], rows[3]})) << rowSize;
    // Once the free list is empty, memory is new.
    TZRowBuffer* fresh = pool.Take();
    for (TZRowBuffer* row : rows) EXPECT_NE(fresh, row) << rowSize;
  }
}

}  // namespace
