// Writing one block of tokens: the dynamic codes and their run-length coded
// lengths, the bit counts of the three block kinds and the choice between them,
// and stored blocks whose bytes are read again from the source.
#pragma once

#include <cstdint>

#include "archive/deflate/df_bit_writer.h"
#include "archive/deflate/df_lz_stream.h"

class TAbDfBlockWriter {
public:
  // runStart: the source position at which the run began (stored blocks re-read from there).
  TAbDfBlockWriter(TAbDfOutBitStream& out, TStream* source, int64_t runStart);

  void WriteStatic(const TAbDfLZStream& lz, bool final);
  // A dynamic block, or with chooseBest the cheapest of stored, static and dynamic.
  void WriteDynamic(const TAbDfLZStream& lz, bool final, bool chooseBest);
  void WriteStored(const TAbDfLZStream& lz, bool final);

private:
  TAbDfOutBitStream& out_;
  TStream* source_;
  int64_t runStart_;
};

// Bit counts of a block without its 3 header bits.
int64_t CalcStaticBitCount(const TAbDfLZStream& lz);

// The most bytes one stored block can hold.
constexpr int32_t kStoredPieceMax = 65535;

// Writes one stored block piece: header bits, LEN, NLEN and the bytes.
void WriteStoredPiece(TAbDfOutBitStream& out, const uint8_t* data, uint16_t length, bool final);
