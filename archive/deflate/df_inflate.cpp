// Inflate: decodes raw Deflate data block by block. Codes are looked up in
// single-level tables indexed by the next input bits; corrupt data of any kind
// ends in EAbInflateError with the cause, after the output so far was written.
#include <cstring>
#include <memory>
#include <string>

#include "archive/deflate/deflate.h"
#include "archive/deflate/df_in_bit_stream.h"
#include "archive/deflate/df_output_window.h"
#include "archive/deflate/df_tables.h"

using namespace detail;

namespace {

constexpr uint32_t kUnused = TAbDfDecodeHuffmanTree::kUnused;

[[noreturn]] void Corrupt(const char* cause) { throw EAbInternalInflateError(cause); }

// A match length or distance and the bits its code and extra bits take.
struct TCodeValue {
  uint32_t value;
  int bits;
};

uint32_t ExtraValue(uint64_t acc, int codeLen, int extra) {
  return static_cast<uint32_t>((acc >> codeLen) & ((uint64_t{1} << extra) - 1));
}

// The length of a length symbol's table entry e, with the input bits at its code.
TCodeValue MatchLength(uint32_t e, uint64_t acc, bool deflate64) {
  uint32_t sym = e & 0xFFFF;
  int codeLen = (e >> 16) & 0xFF;
  int extra = e >> 24;
  uint32_t base = kLengthBase[sym - 257];
  if (deflate64 && sym == 285) {  // Deflate64 spends 16 extra bits on lengths 3..65,538
    extra = 16;
    base = kMinMatch;
  }
  return {base + ExtraValue(acc, codeLen, extra), codeLen + extra};
}

TCodeValue MatchDistance(uint32_t d, uint64_t acc) {
  int codeLen = (d >> 16) & 0xFF;
  int extra = d >> 24;
  return {kDistBase[d & 0xFFFF] + ExtraValue(acc, codeLen, extra), codeLen + extra};
}

// The decoding tables of one block.
struct TDecodeTables {
  const uint32_t* lit;
  const uint32_t* dist;
  uint64_t litMask;
  uint64_t distMask;
  uint32_t maxDistSym;
};

class TInflater {
public:
  TInflater(TAbDfInBitStream& in, TAbDfOutputWindow& out, bool deflate64)
      : in_(in), out_(out), deflate64_(deflate64) {}

  void Run() {
    bool final;
    do {
      final = in_.ReadBits(1, "TAbDfInBitStream.ReadBit") != 0;
      switch (in_.ReadBits(2, "TAbDfInBitStream.ReadBits")) {
        case 0: StoredBlock(); break;
        case 1: DecodeData(StaticLitLenTree(), StaticDistTree()); break;
        case 2: DynamicBlock(); break;
        default: Corrupt("starting new block, but invalid block type [Inflate]");
      }
    } while (!final);
  }

private:
  void StoredBlock();
  void DynamicBlock();
  void ReadLitDistCodeLengths(const TAbDfDecodeHuffmanTree& clTree, uint8_t* lengths, int count);
  void DecodeData(const TAbDfDecodeHuffmanTree& litTree, const TAbDfDecodeHuffmanTree& distTree);
  bool DecodeFast(const TDecodeTables& t);
  bool DecodeOne(const TDecodeTables& t);
  // A bad code near the end of the input means the data was cut short.
  [[noreturn]] void BadCode(const char* cause) {
    if (in_.AtEnd()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
    Corrupt(cause);
  }

  TAbDfInBitStream& in_;
  TAbDfOutputWindow& out_;
  bool deflate64_;
};

void TInflater::StoredBlock() {
  in_.AlignToByte();
  uint8_t header[4];
  in_.ReadBuffer(header, 4);
  uint16_t len = static_cast<uint16_t>(header[0] | header[1] << 8);
  uint16_t nlen = static_cast<uint16_t>(header[2] | header[3] << 8);
  if (len != static_cast<uint16_t>(~nlen))
    Corrupt("invalid stored block (length and NOT length do not match) [InflateStoredBlock]");
  for (size_t left = len; left > 0;) {
    size_t n = std::min(left, out_.Room());
    in_.ReadBuffer(out_.Cursor(), n);
    out_.Commit(n);
    left -= n;
  }
}

// Whether a decoder accepts a set of code lengths: complete, or (like other
// decoders) a single code of length 1; an empty distance set is allowed too,
// for blocks without matches.
void CheckLengths(const uint8_t* lengths, int count, bool allowEmpty) {
  TDfCodeSpace space = CheckCodeSpace(lengths, count);
  if (space == TDfCodeSpace::csOverSubscribed) Corrupt("over-subscribed set of code lengths [InflateDynamicBlock]");
  if (space == TDfCodeSpace::csComplete) return;
  int used = 0, longest = 0;
  for (int i = 0; i < count; ++i) {
    used += lengths[i] != 0;
    longest = std::max<int>(longest, lengths[i]);
  }
  if ((used == 1 && longest == 1) || (used == 0 && allowEmpty)) return;
  Corrupt("incomplete set of code lengths [InflateDynamicBlock]");
}

void TInflater::DynamicBlock() {
  int hlit = static_cast<int>(in_.ReadBits(5, "TAbDfInBitStream.ReadBits")) + 257;
  int hdist = static_cast<int>(in_.ReadBits(5, "TAbDfInBitStream.ReadBits")) + 1;
  int hclen = static_cast<int>(in_.ReadBits(4, "TAbDfInBitStream.ReadBits")) + 4;
  if (hlit > kLitLenSymbols) Corrupt("count of literal codes in dynamic block is greater than 286 [InflateDynamicBlock]");
  if (!deflate64_ && hdist > kDistSymbols)
    Corrupt("count of distance codes in dynamic block is greater than 30 [InflateDynamicBlock]");

  uint8_t clLengths[kCodeLenSymbols] = {};
  for (int i = 0; i < hclen; ++i)
    clLengths[kCodeLenOrder[i]] = static_cast<uint8_t>(in_.ReadBits(3, "TAbDfInBitStream.ReadBits"));
  CheckLengths(clLengths, kCodeLenSymbols, false);
  TAbDfDecodeHuffmanTree clTree(kCodeLenSymbols, TAbHuffmanUsage::huDecoding, 7);
  clTree.Build(clLengths, 0, kCodeLenSymbols, nullptr, -1);

  uint8_t lengths[kLitLenSymbols + kDist64Symbols] = {};
  ReadLitDistCodeLengths(clTree, lengths, hlit + hdist);
  if (lengths[kEndOfBlock] == 0) Corrupt("no code for the end-of-block symbol [InflateDynamicBlock]");
  CheckLengths(lengths, hlit, false);
  CheckLengths(lengths + hlit, hdist, true);

  TAbDfDecodeHuffmanTree litTree(kLitLenSymbols, TAbHuffmanUsage::huDecoding, 15);
  litTree.Build(lengths, 0, hlit, kLengthExtra, 257);
  TAbDfDecodeHuffmanTree distTree(deflate64_ ? kDist64Symbols : kDistSymbols, TAbHuffmanUsage::huDecoding, 15);
  distTree.Build(lengths, hlit, hdist, kDistExtra, 0);
  DecodeData(litTree, distTree);
}

void TInflater::ReadLitDistCodeLengths(const TAbDfDecodeHuffmanTree& clTree, uint8_t* lengths, int count) {
  const uint32_t* table = clTree.DecodeTable();
  uint64_t mask = (uint64_t{1} << clTree.LookupBitLength()) - 1;
  for (int i = 0; i < count;) {
    in_.Refill();
    uint32_t e = table[in_.Bits() & mask];
    if (e == kUnused) BadCode("decoded a code length out of range {ReadLitDistCodeLengths}");
    int sym = e & 0xFFFF;
    int codeLen = (e >> 16) & 0xFF;
    if (sym > 18) BadCode("decoded a symbol not between 0 and 18 {ReadLitDistCodeLengths}");
    uint64_t after = in_.Bits() >> codeLen;
    if (sym < 16) {
      in_.Discard(codeLen);
      lengths[i++] = static_cast<uint8_t>(sym);
    } else {
      static constexpr int kRepeatBits[3] = {2, 3, 7};
      static constexpr int kRepeatBase[3] = {3, 3, 11};
      int bits = kRepeatBits[sym - 16];
      int run = kRepeatBase[sym - 16] + static_cast<int>(after & ((1u << bits) - 1));
      in_.Discard(codeLen + bits);
      if (sym == 16 && i == 0) Corrupt("a repeat code without a previous code length {ReadLitDistCodeLengths}");
      if (i + run > count) Corrupt("code lengths run past the literal and distance codes {ReadLitDistCodeLengths}");
      uint8_t value = sym == 16 ? lengths[i - 1] : 0;
      for (int k = 0; k < run; ++k) lengths[i++] = value;
    }
    if (in_.Overran()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
  }
}

// The fast loop: while the input buffer holds enough bytes and no token can
// reach the output's write point or limit, tokens are decoded with the bit
// accumulator and both pointers in locals, without per-token checks.
bool TInflater::DecodeFast(const TDecodeTables& t) {
  TAbDfInBitStream::TFastState in = in_.TakeFast();
  TAbDfOutputWindow::TFastOut out = out_.TakeFast();
  uint64_t acc = in.acc;
  int bits = in.bits;
  const uint8_t* ip = in.next;
  uint8_t* op = out.next;
  auto refill = [&] {
    uint64_t word;
    std::memcpy(&word, ip, 8);
    acc |= word << bits;
    ip += (63 - bits) >> 3;
    bits |= 56;
  };
  auto sync = [&] {
    in_.PutFast({acc, bits, ip, in.limit});
    out_.PutFast(op);
  };
  while (ip < in.limit && op < out.limit) {
    refill();
    uint32_t e = t.lit[acc & t.litMask];
    // After a refill three literals of at most 15 bits each always fit; what
    // follows them is decoded after the next refill.
    int literals = 0;
    for (; literals < 3 && (e & 0xFFFF) < 256; ++literals) {
      int len = (e >> 16) & 0xFF;
      acc >>= len;
      bits -= len;
      *op++ = static_cast<uint8_t>(e);
      e = t.lit[acc & t.litMask];
    }
    if (literals > 0) continue;
    uint32_t sym = e & 0xFFFF;
    int codeLen = (e >> 16) & 0xFF;
    if (sym == kEndOfBlock) {
      acc >>= codeLen;
      bits -= codeLen;
      sync();
      return true;
    }
    if (e == kUnused || sym > 285) {
      sync();
      Corrupt("decoded an invalid length symbol: greater than 285 [DecodeData]");
    }
    TCodeValue length = MatchLength(e, acc, deflate64_);
    acc >>= length.bits;
    bits -= length.bits;
    if (bits < 32) refill();

    uint32_t d = t.dist[acc & t.distMask];
    if (d == kUnused || (d & 0xFFFF) > t.maxDistSym) {
      sync();
      Corrupt("decoded an invalid distance symbol: greater than 29 [DecodeData]");
    }
    TCodeValue distance = MatchDistance(d, acc);
    acc >>= distance.bits;
    bits -= distance.bits;
    if (distance.value > static_cast<uint32_t>(op - out.base)) {
      sync();
      Corrupt("a distance reaches before the start of the output [DecodeData]");
    }
    TAbDfOutputWindow::CopyMatchAt(op, length.value, distance.value);
    op += length.value;
  }
  sync();
  return false;
}

// One token with every check: near the end of the input, the write point or
// the output limit. Returns true at the end of the block.
bool TInflater::DecodeOne(const TDecodeTables& t) {
  in_.Refill();
  uint64_t bits = in_.Bits();
  uint32_t e = t.lit[bits & t.litMask];
  uint32_t sym = e & 0xFFFF;
  int codeLen = (e >> 16) & 0xFF;
  if (sym <= kEndOfBlock) {
    in_.Discard(codeLen);
    if (in_.Overran()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
    if (sym == kEndOfBlock) return true;
    out_.PutByte(static_cast<uint8_t>(sym));
    out_.Check();
    return false;
  }
  if (e == kUnused || sym > 285) BadCode("decoded an invalid length symbol: greater than 285 [DecodeData]");
  TCodeValue length = MatchLength(e, bits, deflate64_);
  in_.Discard(length.bits);
  if (in_.AvailableBits() < 32) in_.Refill();

  uint32_t d = t.dist[in_.Bits() & t.distMask];
  if (d == kUnused || (d & 0xFFFF) > t.maxDistSym)
    BadCode("decoded an invalid distance symbol: greater than 29 [DecodeData]");
  TCodeValue distance = MatchDistance(d, in_.Bits());
  in_.Discard(distance.bits);
  if (in_.Overran()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
  if (out_.TooFar(distance.value)) Corrupt("a distance reaches before the start of the output [DecodeData]");
  out_.CopyMatch(length.value, distance.value);
  out_.Check();
  return false;
}

void TInflater::DecodeData(const TAbDfDecodeHuffmanTree& litTree, const TAbDfDecodeHuffmanTree& distTree) {
  TDecodeTables t{litTree.DecodeTable(),
                  distTree.DecodeTable(),
                  (uint64_t{1} << litTree.LookupBitLength()) - 1,
                  (uint64_t{1} << distTree.LookupBitLength()) - 1,
                  deflate64_ ? 31u : 29u};
  while (!DecodeFast(t))
    if (DecodeOne(t)) return;
}

}  // namespace

uint32_t Inflate(TStream* aSource, TStream* aDest, TAbDeflateHelper* aHelper) {
  DfAssert(aSource != nullptr, "Deflate: aSource stream cannot be nil");
  DfAssert(aDest != nullptr, "Deflate: aDest stream cannot be nil");
  TAbDeflateHelper helper;
  if (aHelper != nullptr) helper.Assign(*aHelper);
  int64_t sourceStart = aSource->Position();
  int64_t destStart = aDest->Position();
  if (!helper.ProgressCallback()) helper.SetSourceSize(0);
  else if (helper.SourceSize() == -1) helper.SetSourceSize(aSource->Size());

  std::unique_ptr<TAbLogger> logger;
  if (!helper.LogFileName().empty()) {
    logger = std::make_unique<TAbLogger>(helper.LogFileName());
    logger->WriteLine("INFLATING STREAM...");
    logger->WriteLine("Need to recompile the app with UseLogging turned on");
  }

  int32_t options = helper.Options();
  bool testOnly = (options & kDfTestOnly) != 0;
  bool deflate64 = (options & kDfUseDeflate64) != 0;
  uint32_t checksum = 0;
  int64_t decoded = 0;
  try {
    TAbDfInBitStream in(aSource, helper.ProgressCallback(), helper.SourceSize());
    TAbDfOutputWindow out(aDest, testOnly, (options & kDfUseAdler32) == 0, helper.OutputLimit(), deflate64);
    try {
      TInflater(in, out, deflate64).Run();
      checksum = out.Checksum();
    } catch (...) {
      decoded = out.OutputCount();
      throw;
    }
    decoded = out.OutputCount();
  } catch (const EAbPartSizedInflate&) {
    checksum = 0;
  } catch (const EAbAbortProgress&) {
    checksum = 0;
  } catch (const EAbInternalInflateError& e) {
    if (logger) logger->WriteLine("Internal exception raised: " + e.Message());
    throw EAbInflateError("Archive inflate error, possibly a corrupted compressed stream. (Internal cause: " +
                          e.Message() + ")");
  }
  if (aHelper != nullptr) {
    aHelper->SetCompressedBytes(aSource->Position() - sourceStart);
    aHelper->SetUncompressedBytes(testOnly ? decoded : aDest->Position() - destStart);
  }
  return checksum;
}
