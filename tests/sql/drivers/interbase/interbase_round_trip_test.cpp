// The round-trip table on the embedded engine, and a character that has no
// Windows-1250 form.

#include <tuple>

#include "tests/sql/drivers/interbase/interbase_round_trip.h"

namespace {

using namespace interbase_test;

class InterbaseRoundTrip : public RoundTripTest,
                           public ::testing::WithParamInterface<std::tuple<Writer, const char*>> {};

TEST_P(InterbaseRoundTrip, IsqlReadsWhatTheDriverWrote) {
  RoundTrip(Engine::Embedded, std::get<0>(GetParam()), std::get<1>(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(WritersAndCharacterSets, InterbaseRoundTrip,
                         ::testing::Combine(::testing::Values(Writer::Parameters, Writer::ResultSet),
                                            ::testing::Values("WIN1250", "UTF8")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == Writer::Parameters ? "Parameters"
                                                                                             : "ResultSet") +
                                  std::get<1>(info.param);
                         });

// A character the program's code page lacks is named, never turned into "?".
using InterbaseUtf8 = RoundTripTest;

TEST_F(InterbaseUtf8, ACharacterWithoutAWindows1250FormIsRefusedByName) {
  Ref<IZInterbase6Connection> connection = Prepare(Engine::Embedded, "UTF8", "RT");
  Ref<IZResultSet> rows =
      connection->CreateStatement()->ExecuteQuery("SELECT 'ž€' || _UTF8 x'E282AC' FROM RDB$DATABASE");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "ž€€");
  try {
    rows = connection->CreateStatement()->ExecuteQuery("SELECT _UTF8 x'E28691' FROM RDB$DATABASE");
    rows->Next();
    rows->GetString(1);
    ADD_FAILURE() << "read an arrow as Windows-1250";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The character U+2191 has no Windows-1250 form");
  }
}

}  // namespace
