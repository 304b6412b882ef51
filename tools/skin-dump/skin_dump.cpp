// skin-dump [-p password] <file.ssk>
// Lists the records of a skin file in chain order, one a line:
// "NAME<TAB>TYPE<TAB>VALUE" with TYPE bitmap (VALUE "width x height, bits"),
// integer, boolean or text. Exit status 0, 1 when the file cannot be read,
// 2 when the password is missing or wrong.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "skin/skin_reader.h"
#include "skin/skin_records.h"

namespace {

constexpr int kBitsOfFormat[] = {0, 1, 4, 8, 15, 16, 24, 32, 0};

std::string Describe(const TSkinRecord& record, const AnsiString& data) {
  switch (record.Type) {
    case srBitmap: {
      TBitmap bitmap;
      TStringStream source(data);
      bitmap.LoadFromStream(&source);
      return "bitmap\t" + std::to_string(bitmap.Width()) + " x " + std::to_string(bitmap.Height()) + ", " +
             std::to_string(kBitsOfFormat[bitmap.PixelFormat()]) + " bits";
    }
    case srInteger:
      return "integer\t" + std::to_string(int32_t(GetLE32(reinterpret_cast<const uint8_t*>(data.data()))));
    case srBoolean:
      return std::string("boolean\t") + (data[0] ? "True" : "False");
    case srString:
      return "text\t" + data;
    default:
      return "unknown type " + std::to_string(record.Type);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  AnsiString password;
  if (args.size() >= 2 && args[0] == "-p") {
    password = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: skin-dump [-p password] <file.ssk>\n");
    return 1;
  }
  const AnsiString temp = NewTempGuidName(".sk2");
  const int r = ExtractSkinMember(args[0], kSkinMemberName, temp, password);
  if (r == kSkinBadPassword) {
    std::fprintf(stderr, "skin-dump: password missing or wrong, or damaged member\n");
    return 2;
  }
  if (r != kSkinExtracted) {
    std::fprintf(stderr, "skin-dump: %s is no readable skin file\n", args[0].c_str());
    return 1;
  }
  int status = 0;
  try {
    TFileStream data(temp, fmOpenRead | fmShareDenyWrite);
    ReadSkinRecords(&data, [](const TSkinRecord& record, const AnsiString& bytes) {
      std::printf("%s\t%s\n", record.Name.c_str(), Describe(record, bytes).c_str());
    });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skin-dump: %s\n", e.what());
    status = 1;
  }
  DeleteFile(temp);
  return status;
}
