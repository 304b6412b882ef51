// mkskin [-p password] <manifest> <file.ssk>
// Writes a skin file from a manifest: one record a line, "NAME TYPE VALUE",
// TYPE one of bitmap (a BMP file, relative to the manifest), integer (decimal
// or 0x hex), boolean (0/1, true/false) or text (the rest of the line);
// blank lines and lines starting with "#" are skipped. The records go into
// "SKINDATA.SK2" in the order given, Deflate-compressed into a container
// starting with "SK"; with -p the member is encrypted with the ZIP cipher.
// Without a password the output is the same bytes for the same input.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/deflate/deflate.h"
#include "archive/deflate/df_crypt.h"
#include "platform/rtl/streams.h"

namespace {

constexpr char kMagic[] = "DIRUZEDA_SK2";
constexpr uint32_t kHeaderSize = 24;
constexpr uint32_t kVersion = 2;
constexpr uint32_t kRecordSize = 77;
constexpr size_t kNameField = 64;
constexpr char kMemberName[] = "SKINDATA.SK2";
constexpr uint16_t kZipVersion = 20;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kDosDate = 0x0021;  // 1 January 1980: fixed, so output is reproducible
constexpr uint16_t kFlagEncrypted = 0x0001;

enum RecordType : uint8_t { kBitmap = 0, kInteger = 1, kBoolean = 2, kText = 3 };

struct Record {
  std::string name;
  RecordType type;
  std::string data;
};

void Put16(std::string& out, uint16_t v) {
  out += char(v & 0xFF);
  out += char(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, uint16_t(v & 0xFFFF));
  Put16(out, uint16_t(v >> 16));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

int32_t ParseInteger(const std::string& text) {
  size_t used = 0;
  long long v = std::stoll(text, &used, 0);
  if (used != text.size() || v < INT32_MIN || v > UINT32_MAX) throw std::runtime_error("bad integer " + text);
  return int32_t(uint32_t(v));
}

bool ParseBoolean(const std::string& text) {
  if (text == "1" || text == "true" || text == "True") return true;
  if (text == "0" || text == "false" || text == "False") return false;
  throw std::runtime_error("bad boolean " + text);
}

Record ParseLine(const std::string& line, const std::string& folder) {
  std::istringstream in(line);
  std::string name, type, value;
  in >> name >> type;
  std::getline(in >> std::ws, value);
  if (name.empty() || type.empty() || name.size() >= kNameField || (value.empty() && type != "text"))
    throw std::runtime_error("bad line: " + line);
  if (type == "bitmap") {
    std::string bmp = ReadFile(value.front() == '/' ? value : folder + value);
    if (bmp.compare(0, 2, "BM") != 0) throw std::runtime_error(value + " is no BMP file");
    return {name, kBitmap, bmp};
  }
  if (type == "integer") {
    std::string data;
    Put32(data, uint32_t(ParseInteger(value)));
    return {name, kInteger, data};
  }
  if (type == "boolean") return {name, kBoolean, std::string(1, ParseBoolean(value) ? '\1' : '\0')};
  if (type == "text") return {name, kText, value};
  throw std::runtime_error("unknown type " + type);
}

std::vector<Record> ReadManifest(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<Record> records;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') continue;
    records.push_back(ParseLine(line, folder));
  }
  return records;
}

void PutRecord(std::string& out, const std::string& name, uint8_t type, uint32_t dataOffset, uint32_t size,
               uint32_t next) {
  std::string field = name;
  field.resize(kNameField, '\0');
  out += field;
  out += char(type);
  Put32(out, dataOffset);
  Put32(out, size);
  Put32(out, next);
}

// The member: header, then each record followed by its data, then the terminator.
std::string BuildSk2(const std::vector<Record>& records) {
  std::string out = kMagic;
  Put32(out, kHeaderSize);
  Put32(out, kVersion);
  Put32(out, kHeaderSize);
  for (const Record& r : records) {
    const uint32_t dataOffset = uint32_t(out.size()) + kRecordSize;
    PutRecord(out, r.name, r.type, dataOffset, uint32_t(r.data.size()), dataOffset + uint32_t(r.data.size()));
    out += r.data;
  }
  PutRecord(out, "", kBoolean, 0, 0, 0);
  return out;
}

std::string BuildContainer(const std::string& member, const std::string& password) {
  TStringStream source(member);
  TStringStream packed;
  uint32_t crc = 0;
  if (password.empty()) {
    crc = Deflate(&source, &packed, nullptr);
  } else {
    // The cipher's check byte comes from the CRC, so compress once to learn it.
    TStringStream probe;
    crc = Deflate(&source, &probe, nullptr);
    source.SetPosition(0);
    TAbDfEncryptStream encrypted(&packed, password, crc);
    Deflate(&source, &encrypted, nullptr);
  }
  const std::string data = packed.DataString();
  const uint16_t flags = password.empty() ? 0 : kFlagEncrypted;
  auto common = [&](std::string& out) {
    Put16(out, kZipVersion);
    Put16(out, flags);
    Put16(out, kMethodDeflate);
    Put16(out, 0);
    Put16(out, kDosDate);
    Put32(out, crc);
    Put32(out, uint32_t(data.size()));
    Put32(out, uint32_t(member.size()));
    Put16(out, uint16_t(sizeof kMemberName - 1));
    Put16(out, 0);
  };
  std::string out = "SK\x03\x04";
  common(out);
  out += kMemberName;
  out += data;
  const uint32_t directoryOffset = uint32_t(out.size());
  out += "PK\x01\x02";
  Put16(out, kZipVersion);
  common(out);
  Put16(out, 0);  // comment length
  Put16(out, 0);  // disk
  Put16(out, 0);  // internal attributes
  Put32(out, 0);  // external attributes
  Put32(out, 0);  // local header offset
  out += kMemberName;
  const uint32_t directorySize = uint32_t(out.size()) - directoryOffset;
  out += "PK\x05\x06";
  Put32(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  Put32(out, directorySize);
  Put32(out, directoryOffset);
  Put16(out, 0);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string password;
  if (args.size() >= 2 && args[0] == "-p") {
    password = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: mkskin [-p password] <manifest> <file.ssk>\n");
    return 2;
  }
  try {
    const std::string skin = BuildContainer(BuildSk2(ReadManifest(args[0])), password);
    std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
    if (!out.write(skin.data(), std::streamsize(skin.size())) || !out.flush())
      throw std::runtime_error("cannot write " + args[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkskin: %s\n", e.what());
    return 1;
  }
  return 0;
}
