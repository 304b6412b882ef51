// The round-trip table on the embedded engine, and a character that has no
// Windows-1250 form.

#include "tests/sql/drivers/interbase/interbase_round_trip.h"

namespace {

using namespace interbase_test;

using InterbaseRoundTrip = RoundTripCase;

TEST_P(InterbaseRoundTrip, IsqlReadsWhatTheDriverWrote) { Run(Engine::Embedded); }

INSTANTIATE_TEST_SUITE_P(WritersAndCharacterSets, InterbaseRoundTrip, RoundTripCases(), RoundTripCaseName);

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
