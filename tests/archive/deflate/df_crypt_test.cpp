// The ZIP cipher, checked against a decoder written here from the published
// algorithm (keys updated through zlib's CRC table, not ours).
#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/deflate/df_crypt.h"
#include "df_test_support.h"

namespace {

class TReferenceDecoder {
public:
  explicit TReferenceDecoder(const std::string& password) {
    for (char c : password) Update(static_cast<uint8_t>(c));
  }
  uint8_t Decrypt(uint8_t c) {
    uint32_t t = (k2_ | 2) & 0xFFFF;
    uint8_t plain = c ^ static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    Update(plain);
    return plain;
  }

private:
  static uint32_t Crc(uint32_t crc, uint8_t b) { return get_crc_table()[(crc ^ b) & 0xFF] ^ (crc >> 8); }
  void Update(uint8_t b) {
    k0_ = Crc(k0_, b);
    k1_ = (k1_ + (k0_ & 0xFF)) * 134775813u + 1;
    k2_ = Crc(k2_, static_cast<uint8_t>(k1_ >> 24));
  }
  uint32_t k0_ = 0x12345678, k1_ = 0x23456789, k2_ = 0x34567890;
};

constexpr uint32_t kDosTime = 0x6B3D;  // a DOS time; the check value is it shifted left by 16

TBytes EncryptMember(const TBytes& plain, const std::string& password) {
  TBytesStream out;
  TAbDfEncryptStream enc(&out, password, kDosTime << 16);
  EXPECT_EQ(enc.Write(plain.data(), static_cast<int64_t>(plain.size())), static_cast<int64_t>(plain.size()));
  return out.Bytes();
}

TEST(ZipCipher, HeaderDecryptsToTenBytesAndTheDosTimeThenTheData) {
  TBytes plain = Corpus("sql", 5000);
  TBytes member = EncryptMember(plain, "heslo");
  ASSERT_EQ(member.size(), plain.size() + 12);
  TReferenceDecoder dec("heslo");
  TBytes decoded;
  for (uint8_t c : member) decoded.push_back(dec.Decrypt(c));
  EXPECT_EQ(decoded[10], kDosTime & 0xFF);
  EXPECT_EQ(decoded[11], kDosTime >> 8);
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), decoded.begin() + 12));
}

TEST(ZipCipher, TwoMembersGetDifferentHeadersWithTheSameCheckBytes) {
  TBytes a = EncryptMember({}, "heslo"), b = EncryptMember({}, "heslo");
  ASSERT_EQ(a.size(), 12u);  // writing nothing adds nothing after the header
  EXPECT_NE(a, b);
  TReferenceDecoder da("heslo"), db("heslo");
  TBytes pa, pb;
  for (int i = 0; i < 12; ++i) {
    pa.push_back(da.Decrypt(a[i]));
    pb.push_back(db.Decrypt(b[i]));
  }
  EXPECT_NE(TBytes(pa.begin(), pa.begin() + 10), TBytes(pb.begin(), pb.begin() + 10));
  EXPECT_EQ(TBytes(pa.begin() + 10, pa.end()), TBytes(pb.begin() + 10, pb.end()));
}

TEST(ZipCipher, DecryptByteReversesTheStreamAndLeavesTheCallersBufferAlone) {
  TBytes plain = TextBytes("Záloha databáze");
  TBytes copy = plain;
  TBytes member = EncryptMember(plain, "tajné");
  EXPECT_EQ(plain, copy);
  TAbZipEncryptEngine engine;
  engine.InitKeys("tajné");
  TBytes decoded;
  for (uint8_t c : member) decoded.push_back(engine.DecryptByte(c));
  EXPECT_EQ(TBytes(decoded.begin() + 12, decoded.end()), plain);
}

TEST(ZipCipher, MisuseIsAnAssertionFailure) {
  TAbZipEncryptEngine engine;
  uint8_t header[12], byte = 0;
  EXPECT_THROW(engine.EncodeBuffer(&byte, 1), EDfAssertionFailed);
  EXPECT_THROW(engine.CreateHeader(header, "", 0), EDfAssertionFailed);
  TBytesStream out;
  TAbDfEncryptStream enc(&out, "x", 0);
  EXPECT_THROW(enc.Read(&byte, 1), EDfAssertionFailed);
}

}  // namespace
