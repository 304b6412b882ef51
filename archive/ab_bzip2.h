// The bzip2 kind of the archive model: a ".bz2" file as one entry named after
// the file, or a ".tbz"/".tbz2" file whose tar entries are listed, extracted
// and rebuilt through the tar archive.
#pragma once

#include <cstdint>

#include "archive/ab_compressed_tar.h"

class TAbBzip2Item : public TAbArchiveItem {};

// "BZh", a block-size digit 1-9 and the block signature 31 41 59 26 53 59.
bool IsBzip2Header(const uint8_t* bytes);

// akBzippedTar when the decoded data starts with a valid tar header, akBzip2
// for any other stream with a bzip2 header, however short; the position is kept.
TAbArchiveKind DetectBzip2(TStream& stream);

class TAbBzip2Archive : public TAbCompressedTarArchive {
public:
  TAbBzip2Archive(const AnsiString& fileName, uint16_t mode);
  TAbBzip2Archive(TStream* stream, const AnsiString& archiveName);

  TAbArchiveItem* CreateItem(const AnsiString& fileName) override;
  void ExtractItemAt(int index, const AnsiString& newName) override;
  void ExtractItemToStreamAt(int index, TStream* stream) override;
  void LoadArchive() override;
  // Plain mode holds one entry: the first pending one is written, and every
  // later item waiting to be added is reported as a failure and dropped.
  void SaveArchive() override;
  void TestItemAt(int index) override;

  // Decodes the whole file into Target in pieces of at most PieceSize bytes.
  void DecompressTo(TStream* target, int32_t pieceSize = kDecompressPiece);

  static constexpr int32_t kDecompressPiece = 61440;

private:
  void CompressInto(TStream& work, TStream* source);
  void SavePlain();
};
