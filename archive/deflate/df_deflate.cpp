// Deflate: the encoder's entry point, the token path (match finding with lazy
// evaluation, block by block) and the stored-only path.
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "archive/deflate/deflate.h"
#include "archive/deflate/df_block_writer.h"
#include "archive/deflate/df_input_window.h"

using namespace detail;

namespace {

constexpr int32_t kFarLength3 = 4096;       // a 3-byte match farther back costs more than literals
constexpr int64_t kDoublingCheckSize = 1024; // block size at which plain text earns deeper searches

uint32_t DeflateStaticDynamic(bool staticOnly, bool chooseBest, TStream* source, TAbDeflateHelper& helper,
                              TStream* dest) {
  int32_t options = helper.Options();
  bool deflate64 = (options & kDfUseDeflate64) != 0;
  int64_t runStart = source->Position();
  TAbDfInputWindow window(source, helper.SlidingWindowSize(), deflate64, (options & kDfUseAdler32) == 0,
                          helper.ChainLimit(), helper.ProgressCallback(), helper.SourceSize());
  TAbDfOutBitStream out(dest);
  TAbDfBlockWriter writer(out, source, runStart);
  auto lz = std::make_unique<TAbDfLZStream>(deflate64);
  auto writeBlock = [&](bool final) {
    if (staticOnly) writer.WriteStatic(*lz, final);
    else writer.WriteDynamic(*lz, final, chooseBest);
    lz->Clear(window.Position());
  };

  int32_t good = helper.GoodMatchLength();
  int32_t lazy = helper.LazyMatchLimit();
  bool doublingChecked = false;
  bool full = false;
  TDfMatch pending, match;
  while (window.LookAhead() >= kMinMatch) {
    if (!doublingChecked && lz->StoredSize() == kDoublingCheckSize) {
      doublingChecked = true;
      // Text without zero bytes is worth a deeper search for the rest of the run.
      if (helper.Preset() == 'n' && lz->LitCounts()[0] == 0) {
        helper.SetGoodMatchLength(good * 2);
        helper.SetLazyMatchLimit(lazy * 2);
        helper.SetChainLimit(helper.ChainLimit() * 2);
        good = helper.GoodMatchLength();
        lazy = helper.LazyMatchLimit();
        window.SetChainLimit(helper.ChainLimit());
      }
    }
    if (full) {
      writeBlock(false);
      full = false;
    }
    bool found = window.FindLongestMatch(good, match, pending.length);
    if (found && match.length == kMinMatch && match.distance > kFarLength3) found = false;
    if (found) {
      if (pending.length > 0) full |= lz->AppendLiteral(pending.literal);
      pending = match;
      window.AdvanceByOne();
      if (pending.length >= lazy) {
        full |= lz->AppendMatch(pending.length, pending.distance);
        window.Advance(pending.length - 1, pending.length - 1);
        pending.length = 0;
      }
    } else if (pending.length > 0) {
      full |= lz->AppendMatch(pending.length, pending.distance);
      window.Advance(pending.length - 1, pending.length - 2);
      pending.length = 0;
    } else {
      full |= lz->AppendLiteral(match.literal);
      window.AdvanceByOne();
    }
  }
  // The tail: a waiting match covers the last bytes, else they go as literals.
  // The token buffer has room for these even right after a full block.
  if (pending.length > 0) {
    DfAssert(pending.length == kMinMatch, "DeflateStaticDynamic: previous match should be length 3");
    lz->AppendMatch(pending.length, pending.distance);
  } else {
    while (window.LookAhead() > 0) {
      lz->AppendLiteral(window.CurrentByte());
      window.AdvanceByOne();
    }
  }
  writeBlock(true);
  out.Finish();
  return window.Checksum();
}

uint32_t DeflateStored(TStream* source, TStream* dest, TAbDeflateHelper& helper) {
  bool useCrc = (helper.Options() & kDfUseAdler32) == 0;
  uint32_t checksum = useCrc ? 0xFFFFFFFFu : 1u;
  int64_t count = helper.SourceSize() > 0 ? helper.SourceSize() : source->Size() - source->Position();
  const TAbProgressCallback& progress = helper.ProgressCallback();
  TAbDfOutBitStream out(dest);
  std::vector<uint8_t> piece(kStoredPieceMax);
  int64_t total = 0;
  bool final = false;
  while (!final) {
    int64_t want = std::min<int64_t>(count - total, kStoredPieceMax);
    int64_t got = want > 0 ? source->Read(piece.data(), want) : 0;
    // A source that ends early ends the data with this (possibly empty) piece.
    if (got < 0) got = 0;
    total += got;
    final = total >= count || got == 0;
    if (progress && helper.SourceSize() > 0)
      progress(static_cast<int32_t>(std::lrint(static_cast<double>(total) * 100.0 / helper.SourceSize())));
    if (useCrc) UpdateCrc32(checksum, piece.data(), static_cast<size_t>(got));
    else UpdateAdler32(checksum, piece.data(), static_cast<size_t>(got));
    WriteStoredPiece(out, piece.data(), static_cast<uint16_t>(got), final);
  }
  out.Finish();
  return useCrc ? ~checksum : checksum;
}

}  // namespace

uint32_t Deflate(TStream* aSource, TStream* aDest, TAbDeflateHelper* aHelper) {
  DfAssert(aSource != nullptr, "Deflate: aSource stream cannot be nil");
  DfAssert(aDest != nullptr, "Deflate: aDest stream cannot be nil");
  DfAssert(aHelper == nullptr || (aHelper->Options() & 0x07) != 0,
           "Deflate: aHelper.Options must enable some kind of archiving");
  TAbDeflateHelper helper;
  if (aHelper != nullptr) helper.Assign(*aHelper);
  int64_t sourceStart = aSource->Position();
  int64_t destStart = aDest->Position();

  if (!helper.ProgressCallback()) {
    helper.SetSourceSize(0);
  } else if (helper.SourceSize() == -1) {
    helper.SetSourceSize(aSource->Size());
  }
  if ((helper.Options() & kDfUseLazyMatch) == 0) helper.SetLazyMatchLimit(0);
  if (helper.GoodMatchLength() == -1) helper.SetGoodMatchLength(INT_MAX);
  if (helper.LazyMatchLimit() == -1) helper.SetLazyMatchLimit(INT_MAX);
  if (helper.ChainLimit() == -1) helper.SetChainLimit(INT_MAX);

  std::unique_ptr<TAbLogger> logger;
  if (!helper.LogFileName().empty()) {
    logger = std::make_unique<TAbLogger>(helper.LogFileName());
    logger->WriteLine("DEFLATING STREAM...");
    logger->WriteLine("Need to recompile the app with UseLogging turned on");
  }

  uint32_t checksum = 0;
  try {
    switch (helper.Options() & 0x07) {
      case kDfCanUseStored: checksum = DeflateStored(aSource, aDest, helper); break;
      case kDfCanUseStatic: checksum = DeflateStaticDynamic(true, false, aSource, helper, aDest); break;
      case kDfCanUseDynamic: checksum = DeflateStaticDynamic(false, false, aSource, helper, aDest); break;
      default: checksum = DeflateStaticDynamic(false, true, aSource, helper, aDest); break;
    }
  } catch (const EAbInternalDeflateError& e) {
    throw EAbDeflateError("Archive deflate error. (Internal cause: " + e.Message() + ")");
  }
  if (aHelper != nullptr) {
    aHelper->SetUncompressedBytes(aSource->Position() - sourceStart);
    aHelper->SetCompressedBytes(aDest->Position() - destStart);
  }
  return checksum;
}
