// Inflate: decodes raw Deflate data block by block. Codes are looked up in
// tables that resolve a literal, or a length or distance with its extra bits,
// in one step; corrupt data of any kind ends in EAbInflateError with the
// cause, after the output so far was written.
#include <cstring>
#include <memory>
#include <string>

#include "archive/deflate/deflate.h"
#include "archive/deflate/df_decode_table.h"
#include "archive/deflate/df_in_bit_stream.h"
#include "archive/deflate/df_output_window.h"
#include "archive/deflate/df_tables.h"

using namespace detail;

namespace {

[[noreturn]] void Corrupt(const char* cause) { throw EAbInternalInflateError(cause); }

constexpr char kBadLength[] = "decoded an invalid length symbol: greater than 285 [DecodeData]";
constexpr char kBadDistance[] = "decoded an invalid distance symbol: greater than 29 [DecodeData]";
constexpr char kTooFar[] = "a distance reaches before the start of the output [DecodeData]";

uint32_t LitLenEntry(const TDfDecodeTables& t, uint64_t acc) { return DfLookup<kDfLitLenBits>(t.litLen, acc); }
uint32_t DistEntry(const TDfDecodeTables& t, uint64_t acc) { return DfLookup<kDfDistBits>(t.dist, acc); }
// The fast loop tests for a literal first and only then for a long code.
uint32_t LitLenMain(const TDfDecodeTables& t, uint64_t acc) { return DfMainEntry<kDfLitLenBits>(t.litLen, acc); }

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
        case 1: DecodeData(StaticDecodeTables(deflate64_)); break;
        case 2: DynamicBlock(); break;
        default: Corrupt("starting new block, but invalid block type [Inflate]");
      }
    } while (!final);
  }

private:
  void StoredBlock();
  void DynamicBlock();
  void ReadLitDistCodeLengths(const TAbDfDecodeHuffmanTree& clTree, uint8_t* lengths, int count);
  void DecodeData(const TDfDecodeTables& t);
  bool DecodeFast(const TDfDecodeTables& t);
  bool DecodeFastBmi2(const TDfDecodeTables& t);
  bool DecodeFastPlain(const TDfDecodeTables& t);
  bool DecodeOne(const TDfDecodeTables& t);
  // A bad code near the end of the input means the data was cut short.
  [[noreturn]] void BadCode(const char* cause) {
    if (in_.AtEnd()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
    Corrupt(cause);
  }

  TAbDfInBitStream& in_;
  TAbDfOutputWindow& out_;
  bool deflate64_;
  std::unique_ptr<TDfDecodeTables> tables_;  // of the dynamic blocks, made at the first
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

  if (!tables_) tables_ = std::make_unique_for_overwrite<TDfDecodeTables>();
  BuildLitLenTable(tables_->litLen, lengths, hlit, deflate64_);
  BuildDistTable(tables_->dist, lengths + hlit, hdist, deflate64_);
  DecodeData(*tables_);
}

void TInflater::ReadLitDistCodeLengths(const TAbDfDecodeHuffmanTree& clTree, uint8_t* lengths, int count) {
  const uint32_t* table = clTree.DecodeTable();
  uint64_t mask = (uint64_t{1} << clTree.LookupBitLength()) - 1;
  for (int i = 0; i < count;) {
    in_.Refill();
    uint32_t e = table[in_.Bits() & mask];
    if (e == TAbDfDecodeHuffmanTree::kUnused) BadCode("decoded a code length out of range {ReadLitDistCodeLengths}");
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
[[gnu::always_inline]] inline bool TInflater::DecodeFast(const TDfDecodeTables& t) {
  TAbDfInBitStream::TFastState in = in_.TakeFast();
  TAbDfOutputWindow::TFastOut out = out_.TakeFast();
  uint64_t acc = in.acc;
  unsigned bits = static_cast<unsigned>(in.bits);
  const uint8_t* ip = in.next;
  uint8_t* op = out.next;
  const bool deflate64 = deflate64_;
  // At most three refills per round of the loop, each taking at most 7
  // bytes: the input limit leaves room for them.
  auto refill = [&] [[gnu::always_inline]] {
    uint64_t word;
    std::memcpy(&word, ip, 8);
    acc |= word << bits;
    ip += (63 - bits) >> 3;
    bits |= 56;
  };
  auto take = [&](unsigned count) __attribute__((always_inline)) {
    acc >>= count & 63;
    bits -= count;
  };
  auto literal = [&](uint32_t e) __attribute__((always_inline)) {
    take(DfTokenBits(e));
    *op++ = static_cast<uint8_t>(e >> 16);
  };
  // Called on leaving: gives the state back by value, so that the locals
  // stay in registers.
  auto sync = [this, limit = in.limit](uint64_t a, unsigned b, const uint8_t* i, uint8_t* o) {
    in_.PutFast({a, static_cast<int>(b), i, limit});
    out_.PutFast(o);
  };
  if (!(ip < in.limit && op < out.limit)) return false;
  refill();
  // The entry of the next token is looked up as soon as its code is in the
  // accumulator (at least 15 bits), so that the lookup overlaps other work.
  uint32_t e = LitLenMain(t, acc);
  while (ip < in.limit && op < out.limit) {
    refill();
    // After a refill the accumulator holds 64 stream bits (bits counts at
    // least 56 of them). Three literals take at most 45, which leaves the 11
    // that the next main-table lookup needs; a sub-table step only comes
    // after the next refill.
    if (e & kDfLiteral) {
      literal(e);
      e = LitLenMain(t, acc);
      if (e & kDfLiteral) {
        literal(e);
        e = LitLenMain(t, acc);
        if (e & kDfLiteral) {
          literal(e);
          e = LitLenMain(t, acc);
          continue;
        }
      }
      refill();
    }
    if (e & kDfSubTable) {
      e = DfSubEntry<kDfLitLenBits>(t.litLen, e, acc);
      if (e & kDfLiteral) {
        literal(e);
        e = LitLenMain(t, acc);
        continue;
      }
    }
    if (e & (kDfEndOfBlock | kDfInvalid)) [[unlikely]] {
      if (e & kDfInvalid) {
        sync(acc, bits, ip, op);
        Corrupt(kBadLength);
      }
      take(DfTokenBits(e));
      sync(acc, bits, ip, op);
      return true;
    }
    // Every way here comes straight from a refill. A length and distance
    // take at most 48 bits, which leaves the 11 of the next lookup; with
    // Deflate64 they take up to 60, and another refill comes before the
    // distance where needed.
    uint32_t length = DfTokenValue(e, acc);
    take(DfTokenBits(e));
    uint32_t d = DistEntry(t, acc);
    if (d & kDfInvalid) [[unlikely]] {
      sync(acc, bits, ip, op);
      Corrupt(kBadDistance);
    }
    if (deflate64 && DfTokenBits(d) + 15 > bits) [[unlikely]] refill();
    uint32_t distance = DfTokenValue(d, acc);
    take(DfTokenBits(d));
    if (distance > static_cast<uint32_t>(op - out.base)) [[unlikely]] {
      sync(acc, bits, ip, op);
      Corrupt(kTooFar);
    }
    e = LitLenMain(t, acc);
    TAbDfOutputWindow::CopyMatchAt(op, length, distance);
    op += length;
  }
  sync(acc, bits, ip, op);
  return false;
}

// One token with every check: near the end of the input, the write point or
// the output limit. Returns true at the end of the block.
bool TInflater::DecodeOne(const TDfDecodeTables& t) {
  in_.Refill();
  uint64_t bits = in_.Bits();
  uint32_t e = LitLenEntry(t, bits);
  if (e & (kDfLiteral | kDfEndOfBlock)) {
    in_.Discard(DfTokenBits(e));
    if (in_.Overran()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
    if (e & kDfEndOfBlock) return true;
    out_.PutByte(static_cast<uint8_t>(e >> 16));
    out_.Check();
    return false;
  }
  if (e & kDfInvalid) BadCode(kBadLength);
  uint32_t length = DfTokenValue(e, bits);
  in_.Discard(DfTokenBits(e));
  if (in_.AvailableBits() < 32) in_.Refill();

  uint32_t d = DistEntry(t, in_.Bits());
  if (d & kDfInvalid) BadCode(kBadDistance);
  uint32_t distance = DfTokenValue(d, in_.Bits());
  in_.Discard(DfTokenBits(d));
  if (in_.Overran()) ThrowNoMoreData("TAbDfInBitStream.DiscardBits");
  if (out_.TooFar(distance)) Corrupt(kTooFar);
  out_.CopyMatch(length, distance);
  out_.Check();
  return false;
}

// The fast loop is built twice, once with the processor's bit-field
// instructions (shifts by a register, masks of a bit count) where it has them.
#if defined(__x86_64__)
__attribute__((target("bmi2"))) bool TInflater::DecodeFastBmi2(const TDfDecodeTables& t) { return DecodeFast(t); }
const bool kHaveBmi2 = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("bmi2");
}();
#else
bool TInflater::DecodeFastBmi2(const TDfDecodeTables& t) { return DecodeFast(t); }
constexpr bool kHaveBmi2 = false;
#endif
bool TInflater::DecodeFastPlain(const TDfDecodeTables& t) { return DecodeFast(t); }

void TInflater::DecodeData(const TDfDecodeTables& t) {
  auto fast = kHaveBmi2 ? &TInflater::DecodeFastBmi2 : &TInflater::DecodeFastPlain;
  while (!(this->*fast)(t))
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
