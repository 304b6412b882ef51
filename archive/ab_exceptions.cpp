// The code table of the archive library's errors, the constructors that
// format their messages, and the classification of caught exceptions.
#include "archive/ab_exceptions.h"

#include <iterator>

#include "platform/rtl/format.h"


namespace {

struct ErrorText {
  int32_t code;
  const char* text;
};

constexpr ErrorText kErrorTexts[] = {
    {1, "Cannot extract file - newer version required"},
    {2, "Cannot extract file - unsupported compression method"},
    {3, "Cannot extract file - no extraction support provided"},
    {4, "Cannot extract file - invalid password"},
    {5, "Cannot insert file - no insertion support provided"},
    {6, "Invalid Reduce Factor"},
    {7, "Cannot insert file - duplicates stored name"},
    {8, "Cannot insert file - unsupported compression method"},
    {9, "Process aborted by user"},
    {10, "Archive is busy - cannot process new requests"},
    {11, "Spanned archives must be opened as file streams"},
    {12, "Cannot update an existing spanned disk set"},
    {13, "Cannot make a self-extracting spanned disk set"},
    {14, "Stream write error"},
    {15, "Directory does not exist"},
    {16, "Cannot inflate block"},
    {17, "Invalid Stream"},
    {18, "Error truncating Zip File"},
    {19, "Failed CRC Check"},
    {20, "Stub must be an executable"},
    {21, "File not found"},
    {22, "Invalid Local File Header entry"},
    {23, "Archive does not exist - Filename is blank"},
    {24, "Invalid file - not a PKZip file"},
    {25, "Error reading archive"},
    {26, "Invalid archive item index"},
    {27, "Invalid archive size threshold"},
    {28, "Unhandled Archive Type"},
    {29, "Spanning not supported by this Archive type"},
    {40, "BBS: request to read too many bytes [%d]"},
    {41, "BBS: New position is outside the buffer"},
    {42, "BBS: Invalid Origin value"},
    {43, "BBS: request to write too many bytes [%d]"},
    {50, "Cannot load cabinet.dll"},
    {51, "FCI cannot open file"},
    {52, "FCI cannot read file"},
    {53, "FCI cannot write file"},
    {54, "FCI close file error"},
    {55, "FCI file seek error"},
    {56, "FCI file delete error"},
    {57, "FCI cannot add file"},
    {58, "FCI cannot create context"},
    {59, "FCI cannot flush cabinet"},
    {60, "FCI cannot flush folder"},
    {61, "FDI cannot enumerate files"},
    {62, "FDI cannot create context"},
    {63, "Invalid cab file template"},
    {64, "Invalid file - not a cabinet file"},
    {80, "TabSlidingWindowStream.Write: Not at end of stream"},
    {81, "TabSlidingWindowStream.bsWriteChunk: seek failed"},
    {82, "TabSlidingWindowStream.bsWriteChunk: write failed"},
    {83, "TabSlidingWindowStream.Seek: invalid origin"},
    {84, "TabSlidingWindowStream.Seek: invalid new position"},
    {100, "VMS: request to read too many bytes [%d]"},
    {101, "VMS: invalid origin %d, should be 0, 1, 2"},
    {102, "VMS: Cannot open swap file %s"},
    {103, "VMS: Failed to seek in swap file %s"},
    {104, "VMS: Failed to read %d bytes from swap file %s"},
    {105, "VMS: Failed to write %d bytes to swap file %s"},
    {106, "VMS: request to write too many bytes [%d]"},
    {200, "Invalid Gzip"},
    {201, "Bad CRC"},
    {202, "Bad File Size"},
    {220, "Invalid Tar"},
    {221, "File Name too long"},
    {222, "Link Name too long"},
    {223, "Unsupported Operation"},
};

AnsiString WrappedMessage(const std::exception_ptr& inner) {
  AnsiString message = AbBadStreamS;
  message += "\r\n";
  if (!inner) return message;
  try {
    std::rethrow_exception(inner);
  } catch (const Exception& e) {
    message += e.Message();
  } catch (const std::exception& e) {
    message += e.what();
  } catch (...) {
  }
  return message;
}

}  // namespace

AnsiString AbErrorText(int32_t code) {
  for (const ErrorText& row : kErrorTexts)
    if (row.code == code) return row.text;
  return {};
}

int AbErrorTextCount() { return static_cast<int>(std::size(kErrorTexts)); }

EAbBadStream::EAbBadStream(std::exception_ptr inner)
    : EAbException(WrappedMessage(inner), AbBadStream), InnerException(std::move(inner)) {}

EAbVMSInvalidOrigin::EAbVMSInvalidOrigin(int32_t origin)
    : EAbZipException(Format(AbErrorText(101), {origin}), 101) {}

EAbVMSErrorOpenSwap::EAbVMSErrorOpenSwap(const AnsiString& swapName)
    : EAbZipException(Format(AbErrorText(102), {swapName}), 102) {}

EAbVMSSeekFail::EAbVMSSeekFail(const AnsiString& swapName)
    : EAbZipException(Format(AbErrorText(103), {swapName}), 103) {}

EAbVMSReadFail::EAbVMSReadFail(int32_t count, const AnsiString& swapName)
    : EAbZipException(Format(AbErrorText(104), {count, swapName}), 104) {}

EAbVMSWriteFail::EAbVMSWriteFail(int32_t count, const AnsiString& swapName)
    : EAbZipException(Format(AbErrorText(105), {count, swapName}), 105) {}

EAbBBSReadTooManyBytes::EAbBBSReadTooManyBytes(int64_t count)
    : EAbZipException(Format(AbErrorText(40), {count}), 40) {}

EAbBBSWriteTooManyBytes::EAbBBSWriteTooManyBytes(int64_t count)
    : EAbZipException(Format(AbErrorText(43), {count}), 43) {}

void AbPrefixMessage(Exception& e, const AnsiString& name) {
  if (name.empty() || e.Message().find(name) != AnsiString::npos) return;
  e.SetMessage(name + ": " + e.Message());
}

TAbErrorInfo ClassifyException(const std::exception& e) {
  if (auto* ab = dynamic_cast<const EAbException*>(&e)) return {ecLibrary, ab->ErrorCode};
  if (dynamic_cast<const EInOutError*>(&e)) return {ecInOut, 0};
  if (dynamic_cast<const EFOpenError*>(&e)) return {ecFileOpen, 0};
  if (dynamic_cast<const EFCreateError*>(&e)) return {ecFileCreate, 0};
  return {ecUnknown, 0};
}
