// The block writers of the encoder.
#include "archive/deflate/df_block_writer.h"

#include <algorithm>
#include <vector>

#include "archive/deflate/df_exceptions.h"

using namespace detail;

namespace {

// The run-length coded sequence of literal/length and distance code lengths.
struct TCodeLenStream {
  std::vector<uint8_t> symbols;  // a symbol; 16, 17 and 18 are followed by their repeat value
  uint32_t counts[kCodeLenSymbols] = {};

  void Put(uint8_t symbol) {
    symbols.push_back(symbol);
    ++counts[symbol];
  }
  void PutRepeat(uint8_t symbol, uint8_t value) {
    Put(symbol);
    symbols.push_back(value);
  }
  void PutRun(uint8_t value, int run);
};

void TCodeLenStream::PutRun(uint8_t value, int run) {
  if (run < 3) {
    for (int i = 0; i < run; ++i) Put(value);
    return;
  }
  if (value != 0) {
    Put(value);
    int left = run - 1;
    for (; left > 2; left -= std::min(left, 6)) PutRepeat(16, static_cast<uint8_t>(std::min(left, 6) - 3));
    for (; left > 0; --left) Put(value);
    return;
  }
  int left = run;
  while (left > 2) {
    int n = left > 10 ? std::min(left, 138) : left;
    if (left > 10) PutRepeat(18, static_cast<uint8_t>(n - 11));
    else PutRepeat(17, static_cast<uint8_t>(n - 3));
    left -= n;
  }
  for (; left > 0; --left) Put(0);
}

// Everything a dynamic block header needs, derived from the block's counts.
struct TDynamicCodes {
  uint8_t lengths[kLitLenSymbols + kDist64Symbols] = {};
  int hlit = 0, hdist = 0, hclen = 0;
  TCodeLenStream codeLens;
  uint8_t clLengths[kCodeLenSymbols] = {};
};

void BuildDynamicCodes(const TAbDfLZStream& lz, TDynamicCodes& c) {
  GenerateCodeLengths(15, lz.LitCounts(), kLitLenSymbols, c.lengths);
  c.hlit = kLitLenSymbols;
  while (c.hlit > 257 && c.lengths[c.hlit - 1] == 0) --c.hlit;
  uint8_t* distLengths = c.lengths + c.hlit;
  GenerateCodeLengths(15, lz.DistCounts(), kDist64Symbols, distLengths);
  c.hdist = kDist64Symbols;
  while (c.hdist > 1 && distLengths[c.hdist - 1] == 0) --c.hdist;

  int total = c.hlit + c.hdist;
  for (int i = 0; i < total;) {
    int run = 1;
    while (i + run < total && c.lengths[i + run] == c.lengths[i]) ++run;
    c.codeLens.PutRun(c.lengths[i], run);
    i += run;
  }
  GenerateCodeLengths(7, c.codeLens.counts, kCodeLenSymbols, c.clLengths);
  c.hclen = kCodeLenSymbols;
  while (c.hclen > 4 && c.clLengths[kCodeLenOrder[c.hclen - 1]] == 0) --c.hclen;
}

int RepeatBits(int symbol) { return symbol == 16 ? 2 : symbol == 17 ? 3 : 7; }

int64_t CalcDynamicBitCount(const TAbDfLZStream& lz, const TDynamicCodes& c) {
  int64_t bits = 14 + 3 * c.hclen;
  for (int sym = 0; sym < kCodeLenSymbols; ++sym) {
    int64_t perSymbol = c.clLengths[sym] + (sym >= 16 ? RepeatBits(sym) : 0);
    bits += int64_t{c.codeLens.counts[sym]} * perSymbol;
  }
  for (int sym = 0; sym < c.hlit; ++sym) {
    int extra = sym > kEndOfBlock ? lz.LengthExtraBits(sym) : 0;
    bits += int64_t{lz.LitCounts()[sym]} * (c.lengths[sym] + extra);
  }
  for (int sym = 0; sym < c.hdist; ++sym)
    bits += int64_t{lz.DistCounts()[sym]} * (c.lengths[c.hlit + sym] + kDistExtra[sym]);
  return bits;
}

}  // namespace

int64_t CalcStaticBitCount(const TAbDfLZStream& lz) {
  int64_t bits = 0;
  for (int sym = 0; sym < kLitLenSymbols; ++sym) {
    int len = sym < 144 ? 8 : sym < 256 ? 9 : sym < 280 ? 7 : 8;
    int extra = sym > kEndOfBlock ? lz.LengthExtraBits(sym) : 0;
    bits += int64_t{lz.LitCounts()[sym]} * (len + extra);
  }
  for (int sym = 0; sym < kDist64Symbols; ++sym) bits += int64_t{lz.DistCounts()[sym]} * (5 + kDistExtra[sym]);
  return bits;
}

void WriteStoredPiece(TAbDfOutBitStream& out, const uint8_t* data, uint16_t length, bool final) {
  out.WriteBits(final ? 1 : 0, 3);
  out.AlignToByte();
  out.WriteBits(length | (static_cast<uint32_t>(static_cast<uint16_t>(~length)) << 16), 32);
  out.WriteBuffer(data, length);
}

TAbDfBlockWriter::TAbDfBlockWriter(TAbDfOutBitStream& out, TStream* source, int64_t runStart)
    : out_(out), source_(source), runStart_(runStart) {}

void TAbDfBlockWriter::WriteStatic(const TAbDfLZStream& lz, bool final) {
  out_.WriteBits(final ? 3 : 2, 3);
  lz.Encode(out_, StaticLitLenTree(), StaticDistTree());
  uint32_t eob = StaticLitLenTree().Encode(kEndOfBlock);
  out_.WriteBits(eob & 0xFFFF, (eob >> 16) & 0xFF);
}

void TAbDfBlockWriter::WriteDynamic(const TAbDfLZStream& lz, bool final, bool chooseBest) {
  TDynamicCodes c;
  BuildDynamicCodes(lz, c);
  if (chooseBest) {
    int64_t dynamicBits = CalcDynamicBitCount(lz, c);
    int64_t staticBits = CalcStaticBitCount(lz);
    int64_t storedBits = (lz.StoredSize() + 4) * 8;
    if (staticBits < dynamicBits) {
      if (storedBits < staticBits) WriteStored(lz, final);
      else WriteStatic(lz, final);
      return;
    }
    if (storedBits < dynamicBits) {
      WriteStored(lz, final);
      return;
    }
  }
  out_.WriteBits(final ? 5 : 4, 3);
  out_.WriteBits((c.hlit - 257) | ((c.hdist - 1) << 5) | ((c.hclen - 4) << 10), 14);
  for (int i = 0; i < c.hclen; ++i) out_.WriteBits(c.clLengths[kCodeLenOrder[i]], 3);

  TAbDfDecodeHuffmanTree clTree(kCodeLenSymbols, TAbHuffmanUsage::huEncoding, 7);
  clTree.Build(c.clLengths, 0, kCodeLenSymbols, nullptr, -1);
  const auto& symbols = c.codeLens.symbols;
  for (size_t i = 0; i < symbols.size(); ++i) {
    uint32_t e = clTree.Encode(symbols[i]);
    out_.WriteBits(e & 0xFFFF, (e >> 16) & 0xFF);
    if (symbols[i] >= 16) {
      out_.WriteBits(symbols[i + 1], RepeatBits(symbols[i]));
      ++i;
    }
  }
  TAbDfDecodeHuffmanTree litTree(kLitLenSymbols, TAbHuffmanUsage::huEncoding, 15);
  litTree.Build(c.lengths, 0, c.hlit, kLengthExtra, 257);
  TAbDfDecodeHuffmanTree distTree(kDist64Symbols, TAbHuffmanUsage::huEncoding, 15);
  distTree.Build(c.lengths, c.hlit, c.hdist, kDistExtra, 0);
  lz.Encode(out_, litTree, distTree);
  uint32_t eob = litTree.Encode(kEndOfBlock);
  out_.WriteBits(eob & 0xFFFF, (eob >> 16) & 0xFF);
}

// The block's bytes are read again from the source and restored to the
// position where the encoder goes on reading.
void TAbDfBlockWriter::WriteStored(const TAbDfLZStream& lz, bool final) {
  int64_t resume = source_->Position();
  source_->SetPosition(runStart_ + lz.StartOffset());
  std::vector<uint8_t> piece(kStoredPieceMax);
  int64_t left = lz.StoredSize();
  do {
    int32_t n = static_cast<int32_t>(std::min<int64_t>(left, kStoredPieceMax));
    for (int64_t got = 0, step; got < n; got += step) {
      step = source_->Read(piece.data() + got, n - got);
      if (step <= 0) throw EAbInternalDeflateError("could not re-read the source for a stored block");
    }
    left -= n;
    WriteStoredPiece(out_, piece.data(), static_cast<uint16_t>(n), final && left == 0);
  } while (left > 0);
  source_->SetPosition(resume);
}
