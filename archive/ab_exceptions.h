// Errors and user-visible texts of the archive library. Every failure is an
// EAbException carrying a numeric code; the code table maps those codes to
// their English texts, and ClassifyException turns any caught exception into
// the (class, code) pair that item-failure callbacks report.
#pragma once

#include <cstdint>
#include <exception>

#include "platform/rtl/exceptions.h"

// Origin of a failure as the failure callbacks report it; 5 is reserved.
enum TAbErrorClass : uint8_t {
  ecLibrary = 0,
  ecInOut = 1,
  ecFiler = 2,
  ecFileCreate = 3,
  ecFileOpen = 4,
  ecUnknown = 6
};

// Error codes that the library raises or reports by number.
constexpr int32_t AbDuplicateName = 7;
constexpr int32_t AbUserAbort = 9;
constexpr int32_t AbZipSpanOverwrite = 12;
constexpr int32_t AbZipStreamFull = 14;
constexpr int32_t AbNoSuchDirectory = 15;
constexpr int32_t AbBadStream = 17;
constexpr int32_t AbFileNotFound = 21;
constexpr int32_t AbNoArchive = 23;
constexpr int32_t AbZipInvalid = 24;
constexpr int32_t AbUnhandledType = 28;
constexpr int32_t AbSpanningNotSupported = 29;

// The text of an error code; empty for codes the table does not hold. Texts
// with "%d"/"%s" are returned unformatted.
AnsiString AbErrorText(int32_t code);
// Number of rows of the code table.
int AbErrorTextCount();

// Texts of the library that are not error messages.
inline constexpr char AbLastDiskRequestS[] = "Insert the last disk in the spanned disk set";
inline constexpr char AbDiskRequestS[] = "Insert floppy";
inline constexpr char AbImageRequestS[] = "Image file name";
inline constexpr char AbDiskNumRequestS[] = "Insert disk number %d of the spanned disk set";
inline constexpr char AbImageNumRequestS[] = "Insert span number %d of the spanned file set";
inline constexpr char AbBlankDiskS[] = "Insert a blank floppy disk";
inline constexpr char AbLogCreateErrorS[] = "Error creating Log File";
inline constexpr char AbPathNotFoundS[] = "Path not found";
inline constexpr char AbFileTooLargeS[] = "File size is too big for archive type";
inline constexpr char AbBadStreamS[] = "Invalid Stream";
// Why a ZIP file is refused although its end record was found.
inline constexpr char AbZip64NotSupportedS[] =
    "Zip64 archive - not supported (sizes, offsets or counts beyond 32 bits)";
inline constexpr char AbZipEntryCountS[] =
    "Damaged archive - the central directory holds %d entries, the end record counts %d";
inline constexpr char AbZipDirectoryEndS[] =
    "Damaged archive - the central directory does not end where the end record begins";
inline constexpr char AbZipOverlapS[] = "Damaged archive - members overlap: %s and %s";
inline constexpr char AbZipPastDirectoryS[] = "Damaged archive - member %s runs into the central directory";
// Details of extraction refusals.
inline constexpr char AbUnsafeNameS[] = "%s: unsafe member name (absolute, or climbing out with \"..\"), not extracted";
inline constexpr char AbHardLinkS[] = "%s: hard link to %s, not extracted";
inline constexpr char AbSymbolicLinkS[] = "%s: symbolic link to %s, not extracted";
inline constexpr char AbTooManyEntriesS[] = "Too many entries: a ZIP archive holds at most 65,535";
inline constexpr char AbOneFileOnlyS[] = "%s: not added, a gzip or bzip2 file holds one file";
inline constexpr char AbTarCutShortS[] = "the archive is cut short";
inline constexpr char AbSpecialFileS[] = "%s: device or FIFO entry, not extracted";
// Words of the archive log, by log kind (TAbLogKind).
inline constexpr const char* AbLogWordTexts[] = {" added ",    " deleted ",  " extracted ", " freshened ",
                                                 " moved ",    " replaced ", " logging ",   "Unhandled Entity"};

class EAbException : public Exception {
public:
  explicit EAbException(AnsiString message, int32_t code = 0)
      : Exception(std::move(message)), ErrorCode(code) {}
  const char* ClassName() const override { return "EAbException"; }

  int32_t ErrorCode;
};

// Group classes: raised with a message and code by their subclasses.
#define AB_GROUP_EXCEPTION(Name, Base)                                 \
  class Name : public Base {                                           \
  public:                                                              \
    using Base::Base;                                                  \
    const char* ClassName() const override { return #Name; }           \
  };

// Classes whose message is the code's text from the table, followed, when
// one is given, by " - " and a detail that names what failed and why.
#define AB_CODED_EXCEPTION(Name, Base, Code)                                      \
  class Name : public Base {                                                      \
  public:                                                                         \
    Name() : Base(AbErrorText(Code), Code) {}                                     \
    explicit Name(const AnsiString& detail) : Base(AbErrorText(Code) + " - " + detail, Code) {} \
    const char* ClassName() const override { return #Name; }                      \
  };

AB_GROUP_EXCEPTION(EAbZipException, EAbException)
AB_GROUP_EXCEPTION(EAbCabException, EAbException)
AB_GROUP_EXCEPTION(EAbTarException, EAbException)
AB_GROUP_EXCEPTION(EAbGzipException, EAbException)

AB_CODED_EXCEPTION(EAbFileNotFound, EAbException, 21)
AB_CODED_EXCEPTION(EAbNoArchive, EAbException, 23)
AB_CODED_EXCEPTION(EAbUserAbort, EAbException, 9)
AB_CODED_EXCEPTION(EAbNoSuchDirectory, EAbException, 15)
AB_CODED_EXCEPTION(EAbUnhandledType, EAbException, 28)
AB_CODED_EXCEPTION(EAbSpanningNotSupported, EAbException, 29)
AB_CODED_EXCEPTION(EAbZipNoExtraction, EAbZipException, 3)
AB_CODED_EXCEPTION(EAbZipNoInsertion, EAbZipException, 5)
AB_CODED_EXCEPTION(EAbZipSpanOverwrite, EAbZipException, 12)
AB_CODED_EXCEPTION(EAbZipStreamFull, EAbZipException, 14)
AB_CODED_EXCEPTION(EAbBBSSeekOutsideBuffer, EAbZipException, 41)
AB_CODED_EXCEPTION(EAbBBSInvalidOrigin, EAbZipException, 42)
AB_CODED_EXCEPTION(EAbNoCabinetDll, EAbCabException, 50)
AB_CODED_EXCEPTION(EAbGzipInvalid, EAbGzipException, 200)
AB_CODED_EXCEPTION(EAbGzipBadCRC, EAbGzipException, 201)
AB_CODED_EXCEPTION(EAbGzipBadFileSize, EAbGzipException, 202)
AB_CODED_EXCEPTION(EAbTarInvalid, EAbTarException, 220)
AB_CODED_EXCEPTION(EAbTarBadFileName, EAbTarException, 221)
AB_CODED_EXCEPTION(EAbTarBadOp, EAbTarException, 223)

// Not a ZIP file, or a damaged one: without a reason the table's text, with
// one a message that says what is wrong.
class EAbZipInvalid : public EAbZipException {
public:
  EAbZipInvalid() : EAbZipException(AbErrorText(AbZipInvalid), AbZipInvalid) {}
  explicit EAbZipInvalid(AnsiString reason) : EAbZipException(std::move(reason), AbZipInvalid) {}
  const char* ClassName() const override { return "EAbZipInvalid"; }
};

#undef AB_GROUP_EXCEPTION
#undef AB_CODED_EXCEPTION

// Size beyond what an archive item can hold; it carries no code.
class EAbFileTooLarge : public EAbException {
public:
  EAbFileTooLarge() : EAbException(AbFileTooLargeS) {}
  // For a limit other than a file's size, with its own message.
  explicit EAbFileTooLarge(const AnsiString& message) : EAbException(message) {}
  const char* ClassName() const override { return "EAbFileTooLarge"; }
};

// Wraps the exception that broke a stream; the message is "Invalid Stream",
// CR LF, then the wrapped message.
class EAbBadStream : public EAbException {
public:
  explicit EAbBadStream(std::exception_ptr inner);
  const char* ClassName() const override { return "EAbBadStream"; }

  std::exception_ptr InnerException;
};

// Failures of the virtual-memory stream and the bit bucket, whose messages
// name an origin, a count or the swap file.
class EAbVMSInvalidOrigin : public EAbZipException {
public:
  explicit EAbVMSInvalidOrigin(int32_t origin);
  const char* ClassName() const override { return "EAbVMSInvalidOrigin"; }
};

class EAbVMSErrorOpenSwap : public EAbZipException {
public:
  explicit EAbVMSErrorOpenSwap(const AnsiString& swapName);
  const char* ClassName() const override { return "EAbVMSErrorOpenSwap"; }
};

class EAbVMSSeekFail : public EAbZipException {
public:
  explicit EAbVMSSeekFail(const AnsiString& swapName);
  const char* ClassName() const override { return "EAbVMSSeekFail"; }
};

class EAbVMSReadFail : public EAbZipException {
public:
  EAbVMSReadFail(int32_t count, const AnsiString& swapName);
  const char* ClassName() const override { return "EAbVMSReadFail"; }
};

class EAbVMSWriteFail : public EAbZipException {
public:
  EAbVMSWriteFail(int32_t count, const AnsiString& swapName);
  const char* ClassName() const override { return "EAbVMSWriteFail"; }
};

class EAbBBSReadTooManyBytes : public EAbZipException {
public:
  explicit EAbBBSReadTooManyBytes(int64_t count);
  const char* ClassName() const override { return "EAbBBSReadTooManyBytes"; }
};

class EAbBBSWriteTooManyBytes : public EAbZipException {
public:
  explicit EAbBBSWriteTooManyBytes(int64_t count);
  const char* ClassName() const override { return "EAbBBSWriteTooManyBytes"; }
};

struct TAbErrorInfo {
  TAbErrorClass ErrorClass;
  int32_t ErrorCode;
};

// Puts Name (an archive's or a member's) in front of E's message, so that a
// failure says what it concerns; a message that already names it stays.
void AbPrefixMessage(Exception& e, const AnsiString& name);

// Runs Action; a failure leaves it with Name in front of its message.
template <typename Action>
void AbNamingFailures(const AnsiString& name, Action&& action) {
  try {
    action();
  } catch (Exception& e) {
    AbPrefixMessage(e, name);
    throw;
  }
}

// The class and code under which a caught exception is reported.
TAbErrorInfo ClassifyException(const std::exception& e);
