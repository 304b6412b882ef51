// The values each driver's round-trip table writes into its real server:
// Czech text, a row of NULLs in every type and a 16 MiB binary value, through
// parameters and through an updatable result set. Each driver's test then
// reads them back with its peer's own client and compares byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <vector>

#include "platform/rtl/streams.h"
#include "sql/core/dbc/interfaces.h"

namespace round_trip {

// One row of table (id, txt, num, stamp, bin); an empty optional is NULL.
struct Values {
  const char* label;
  std::optional<AnsiString> text;
  std::optional<double> number;
  std::optional<TDateTime> stamp;
  std::optional<AnsiString> bytes;
};

enum class Writer { Parameters, ResultSet };
inline const char* WriterName(Writer writer) { return writer == Writer::Parameters ? "parameters" : "result set"; }

// 16 MiB running through every byte value, NUL and quote included.
inline AnsiString BigBinary() {
  AnsiString bytes(16u << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

// Czech text in the program's Windows-1250 code page.
inline const AnsiString kCzech = "Příliš žluťoučký kůň úpěl ďábelské ódy";

inline std::vector<Values> Cases() {
  return {
      {"Czech text", kCzech, 19.99, 36526.5, AnsiString("a\0'%\\b", 6)},
      {"NULL in every type", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      {"16 MiB binary", "big", 0.0, 1.0, BigBinary()},
  };
}

// Writes v as row id of table through writer; the table's first column is
// the id, the others in the order of Values.
inline void Write(IZConnection* connection, Writer writer, const AnsiString& table, int id, const Values& v) {
  TStringStream stream(v.bytes.value_or(AnsiString()));
  if (writer == Writer::Parameters) {
    Ref<IZPreparedStatement> insert =
        connection->PrepareStatement("INSERT INTO " + table + " (id, txt, num, stamp, bin) VALUES (?, ?, ?, ?, ?)");
    insert->SetInt(1, id);
    v.text ? insert->SetString(2, *v.text) : insert->SetNull(2, stString);
    v.number ? insert->SetDouble(3, *v.number) : insert->SetNull(3, stDouble);
    v.stamp ? insert->SetTimestamp(4, *v.stamp) : insert->SetNull(4, stTimestamp);
    v.bytes ? insert->SetBinaryStream(5, &stream) : insert->SetNull(5, stBinaryStream);
    insert->ExecuteUpdatePrepared();
    return;
  }
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT id, txt, num, stamp, bin FROM " + table);
  rows->MoveToInsertRow();
  rows->UpdateInt(1, id);
  v.text ? rows->UpdateString(2, *v.text) : rows->UpdateNull(2);
  v.number ? rows->UpdateDouble(3, *v.number) : rows->UpdateNull(3);
  v.stamp ? rows->UpdateTimestamp(4, *v.stamp) : rows->UpdateNull(4);
  v.bytes ? rows->UpdateBinaryStream(5, &stream) : rows->UpdateNull(5);
  rows->InsertRow();
}

// Upper-case hexadecimal digits of bytes, as the peers' clients print them.
inline std::string Hex(const AnsiString& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string result;
  result.reserve(2 * bytes.size());
  for (char c : bytes) {
    result += kDigits[static_cast<unsigned char>(c) >> 4];
    result += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return result;
}

// Reads row id back through the driver and compares it with v.
inline void ExpectReadBack(IZConnection* connection, const AnsiString& table, int id, const Values& v) {
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery(
      "SELECT txt, num, stamp, bin FROM " + table + " WHERE id = " + std::to_string(id));
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->IsNull(1), !v.text);
  if (v.text) {
    EXPECT_EQ(rows->GetString(1), *v.text);
  }
  EXPECT_EQ(rows->IsNull(2), !v.number);
  if (v.number) {
    EXPECT_EQ(rows->GetDouble(2), *v.number);
  }
  EXPECT_EQ(rows->IsNull(3), !v.stamp);
  if (v.stamp) {
    EXPECT_EQ(rows->GetTimestamp(3), *v.stamp);
  }
  EXPECT_EQ(rows->IsNull(4), !v.bytes);
  if (v.bytes) {
    const AnsiString read = rows->GetBlob(4)->GetString();
    EXPECT_TRUE(read == *v.bytes) << "binary value differs; " << read.size() << " bytes, from "
                                  << Hex(read.substr(0, 16));
  }
}

// A number as the peers print a double: up to 15 significant digits.
inline std::string Printed(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace round_trip
