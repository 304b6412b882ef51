// The table of additional sense texts, generated into sense_texts.cpp by
// gen_sense_texts.py and sorted by (ASC, ASCQ).
#pragma once

#include <cstdint>

struct TSenseText {
  uint8_t asc;
  uint8_t ascq;
  const char* text;
};

extern const TSenseText kSenseTexts[];
extern const int kSenseTextCount;
