// TAbDeflateHelper: the caller's options for one Deflate or Inflate run, with
// the presets the item compressor picks from.
#include <cctype>

#include "archive/deflate/df_base.h"

namespace {

struct TPreset {
  char letter;
  int32_t keepMask;  // option bits kept before setMask is or-ed in
  int32_t setMask;
  int32_t good, chain, lazy;
};

constexpr TPreset kPresets[] = {
    {'0', ~0x0F, 0x01, 8, 32, 16},  {'2', ~0, 0x0F, 8, 32, 16},
    {'f', ~0, 0x07, 4, 32, 6},      {'n', ~0, 0x0F, 16, 32, 24},
    {'s', ~0, 0x07, 4, 4, 4},       {'x', ~0, 0x0F, 64, 4096, 258},
};

}  // namespace

void TAbDeflateHelper::Assign(const TAbDeflateHelper& source) {
  goodMatchLength_ = source.goodMatchLength_;
  chainLimit_ = source.chainLimit_;
  logFileName_ = source.logFileName_;
  lazyMatchLimit_ = source.lazyMatchLimit_;
  progress_ = source.progress_;
  options_ = source.options_;
  outputLimit_ = source.outputLimit_;
  sourceSize_ = source.sourceSize_;
  slidingWindowSize_ = source.slidingWindowSize_;
  preset_ = source.preset_;
}

void TAbDeflateHelper::SetLimit(int32_t& field, int32_t value) {
  if (value == field) return;
  field = (value != -1 && value < 4) ? 4 : value;
  preset_ = '?';
}

void TAbDeflateHelper::SetOptions(int32_t value) {
  if (value == options_) return;
  options_ = value;
  preset_ = '?';
}

void TAbDeflateHelper::SetPreset(char letter) {
  letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  if (letter == preset_) return;
  for (const TPreset& p : kPresets) {
    if (p.letter != letter) continue;
    options_ = (options_ & p.keepMask) | p.setMask;
    goodMatchLength_ = p.good;
    chainLimit_ = p.chain;
    lazyMatchLimit_ = p.lazy;
    preset_ = letter;
    return;
  }
}
