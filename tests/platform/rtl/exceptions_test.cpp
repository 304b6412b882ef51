#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

TEST(Exceptions, KeepMessageAndClassName) {
  try {
    throw EFOpenError("Cannot open file \"x\"");
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"x\"");
    EXPECT_STREQ(e.ClassName(), "EFOpenError");
  }
}
