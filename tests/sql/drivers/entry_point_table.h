// What the tests of the client bindings share: a plain driver has an
// operation for every entry point its loader binds, and calling one that the
// loaded library lacks fails naming the function instead of calling through
// null.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "sql/core/dbc/native_library.h"
#include "sql/core/sql_exception.h"

template <class Driver>
using EntryPointCalls = std::vector<std::pair<std::string, std::function<void(Driver&)>>>;

// exported: the entry points the loaded library has; missing: a call of each
// other operation. Together they must name every entry point of the loader.
template <class Driver>
void ExpectEveryEntryPointExposed(const TZEntryTableLoader& loader, Driver& plain, std::vector<std::string> exported,
                                  const EntryPointCalls<Driver>& missing) {
  std::vector<std::string> bound;
  for (int i = 0; i < loader.EntryCount(); ++i) {
    const std::string name = loader.EntryName(i);
    bound.push_back(name);
    const bool expected = std::find(exported.begin(), exported.end(), name) != exported.end();
    EXPECT_EQ(loader.EntryAt(i) != nullptr, expected) << name;
  }
  for (const auto& [name, call] : missing) {
    exported.push_back(name);
    try {
      call(plain);
      ADD_FAILURE() << name << " returned from a library that lacks it";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(std::string(e.what()), "The client library has no function " + name);
    }
  }
  std::sort(exported.begin(), exported.end());
  std::sort(bound.begin(), bound.end());
  EXPECT_EQ(exported, bound);
}
