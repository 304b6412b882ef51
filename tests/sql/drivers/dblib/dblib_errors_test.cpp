// The binding's error path: what the handlers collect becomes one text, and
// informational server messages never become an error.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "sql/drivers/dblib/dblib_binding.h"

namespace {

char* Text(const char* text) { return const_cast<char*>(text); }

class DBLibErrorsTest : public ::testing::Test {
protected:
  void TearDown() override {
    DBLibErrors().clear();
    DBLibMessages().clear();
  }
};

TEST_F(DBLibErrorsTest, ErrorsThenGraveMessagesFormOneText) {
  EXPECT_EQ(DBLibErrorHandler(nullptr, 9, 20009, 111, Text("e1"), Text("o1")), 2);  // cancel
  DBLibMessageHandler(nullptr, 5701, 2, 0, Text("changed"), Text("srv"), Text(""), 1);
  EXPECT_EQ(DBLibErrorHandler(nullptr, 9, 20002, 0, Text("e2"), Text("o2")), 2);
  EXPECT_EQ(DBLibMessageHandler(nullptr, 50000, 1, 16, Text("m"), Text("srv"), Text("proc"), 3), 0);
  try {
    CheckDBLibErrors();
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "e1 o1 \re2 o2 \rm \r");
    EXPECT_STREQ(error.ClassName(), "Exception");
  }
  EXPECT_TRUE(DBLibErrors().empty());
  EXPECT_TRUE(DBLibMessages().empty());
}

TEST_F(DBLibErrorsTest, InformationalMessagesAloneRaiseNothingAndAreDropped) {
  DBLibMessageHandler(nullptr, 5701, 2, 1, Text("changed"), Text("srv"), nullptr, 1);
  DBLibMessageHandler(nullptr, 0, 1, 0, Text("printed"), nullptr, nullptr, 1);
  EXPECT_NO_THROW(CheckDBLibErrors());
  EXPECT_TRUE(DBLibMessages().empty());
  EXPECT_NO_THROW(CheckDBLibErrors());
}

TEST_F(DBLibErrorsTest, MissingTextsCountAsEmpty) {
  DBLibErrorHandler(nullptr, 9, 20002, 0, Text("Adaptive Server connection failed"), nullptr);
  try {
    CheckDBLibErrors();
    FAIL() << "no exception";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Adaptive Server connection failed  \r");
  }
}

}  // namespace
