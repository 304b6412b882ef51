// The archive errors: code texts, composed messages, and how caught
// exceptions are classified for the item-failure callbacks.
#include <gtest/gtest.h>

#include "archive/ab_exceptions.h"
#include "archive/deflate/df_exceptions.h"
#include "platform/rtl/streams.h"

TEST(AbErrorTable, CodesMapToTheirTexts) {
  const struct {
    int32_t code;
    const char* text;
  } cases[] = {
      {1, "Cannot extract file - newer version required"},
      {7, "Cannot insert file - duplicates stored name"},
      {29, "Spanning not supported by this Archive type"},
      {43, "BBS: request to write too many bytes [%d]"},
      {64, "Invalid file - not a cabinet file"},
      {84, "TabSlidingWindowStream.Seek: invalid new position"},
      {104, "VMS: Failed to read %d bytes from swap file %s"},
      {223, "Unsupported Operation"},
      {0, ""},
      {30, ""},
      {224, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AbErrorText(c.code), c.text) << c.code;
  EXPECT_EQ(AbErrorTextCount(), 67);
}

TEST(AbExceptions, ClassesCarryCodeAndText) {
  auto check = [](const EAbException& e, int32_t code, const char* text) {
    EXPECT_EQ(e.ErrorCode, code) << e.ClassName();
    EXPECT_EQ(e.Message(), text) << e.ClassName();
  };
  check(EAbNoArchive(), 23, "Archive does not exist - Filename is blank");
  check(EAbFileNotFound(), 21, "File not found");
  check(EAbUserAbort(), 9, "Process aborted by user");
  check(EAbZipInvalid(), 24, "Invalid file - not a PKZip file");
  check(EAbGzipInvalid(), 200, "Invalid Gzip");
  check(EAbTarBadOp(), 223, "Unsupported Operation");
  check(EAbFileTooLarge(), 0, "File size is too big for archive type");
  check(EAbVMSInvalidOrigin(7), 101, "VMS: invalid origin 7, should be 0, 1, 2");
  check(EAbVMSReadFail(4096, "/tmp/VMSa1b2c3"), 104, "VMS: Failed to read 4096 bytes from swap file /tmp/VMSa1b2c3");
  check(EAbVMSWriteFail(4096, "/tmp/x"), 105, "VMS: Failed to write 4096 bytes to swap file /tmp/x");
  check(EAbBBSWriteTooManyBytes(33793), 43, "BBS: request to write too many bytes [33793]");
}

TEST(AbExceptions, BadStreamWrapsTheCause) {
  std::exception_ptr inner;
  try {
    throw EReadError("Stream read error");
  } catch (...) {
    inner = std::current_exception();
  }
  EAbBadStream e(inner);
  EXPECT_EQ(e.Message(), "Invalid Stream\r\nStream read error");
  EXPECT_EQ(e.ErrorCode, 17);
  EXPECT_THROW(std::rethrow_exception(e.InnerException), EReadError);
}

TEST(AbExceptions, Classification) {
  auto classify = [](auto&& raise) -> TAbErrorInfo {
    try {
      raise();
    } catch (const std::exception& e) {
      return ClassifyException(e);
    }
    return {ecUnknown, -1};
  };
  const struct {
    const char* what;
    TAbErrorInfo info;
    TAbErrorInfo expected;
  } cases[] = {
      {"no archive", classify([] { throw EAbNoArchive(); }), {ecLibrary, 23}},
      {"group class", classify([] { throw EAbZipException("x", 5); }), {ecLibrary, 5}},
      {"file open", classify([] { TFileStream("/nonexistent/dir/file", fmOpenRead); }), {ecFileOpen, 0}},
      {"file create", classify([] { TFileStream("/nonexistent/dir/file", fmCreate); }), {ecFileCreate, 0}},
      {"in/out", classify([] { throw EInOutError("io"); }), {ecInOut, 0}},
      {"division", classify([] { throw EDivByZero("Division by zero"); }), {ecUnknown, 0}},
      {"engine abort", classify([] { throw EAbAbortProgress("stop"); }), {ecUnknown, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.info.ErrorClass, c.expected.ErrorClass) << c.what;
    EXPECT_EQ(c.info.ErrorCode, c.expected.ErrorCode) << c.what;
  }
}
