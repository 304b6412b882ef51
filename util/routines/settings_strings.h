// String routines of the settings library: exact replace, words delimited by a
// set of characters, field-by-field reading, and the hex-XOR codec that stored
// values use when a component asks for them to be scrambled.
#pragma once

#include <bitset>
#include <string_view>

#include "platform/rtl/strings.h"

// A set of byte values, as the word routines take their delimiters.
using TCharSet = std::bitset<256>;
TCharSet CharSetOf(std::string_view chars);

namespace detail {
// S with every occurrence of Pattern in Searched (S itself or a same-length
// copy of it, such as its upper-cased form) replaced, left to right, the
// search going on after each occurrence.
AnsiString ReplaceOccurrences(const AnsiString& s, const AnsiString& searched, const AnsiString& pattern,
                              const AnsiString& replacement);
}  // namespace detail

// Every occurrence of Find (exact letters) replaced, left to right; the
// replacement is never searched again. An empty Find leaves S unchanged.
AnsiString SubstituteText(const AnsiString& s, const AnsiString& find, const AnsiString& replacement);

// Words are maximal runs of characters not in Delimiters; N counts from 1.
int CountDelimitedWords(const AnsiString& s, const TCharSet& delimiters);
// 1-based position of word N's first character, 0 when there is no word N.
int DelimitedWordStart(int n, const AnsiString& s, const TCharSet& delimiters);
AnsiString DelimitedWord(int n, const AnsiString& s, const TCharSet& delimiters);
// The text from Pos (1-based) up to the next delimiter or the end; Pos moves
// past that delimiter, or to the end + 1.
AnsiString NextDelimitedField(const AnsiString& s, int& pos, const TCharSet& delimiters);

// Each byte XOR the key byte at the same index (key repeated; no XOR with an
// empty key) as two lower-case hex digits.
AnsiString HexXorEncode(const AnsiString& key, const AnsiString& source);
// The reverse; a pair that is no hex number reads as 32 (a blank before the
// key is applied) and a trailing single character is ignored.
AnsiString HexXorDecode(const AnsiString& key, const AnsiString& source);
