// The client encodings that the "codepage" property is matched against, the
// byte-level state machine of the multibyte ones, and the quoting of text and
// binary literals for a session that reads backslash escapes in literals
// (every session of this driver, see the connection).
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

// The position of an encoding in the table; csOTHER also ends every search.
enum TZPgCharsetCode : std::uint8_t {
  csSQL_ASCII, csEUC_JP, csEUC_CN, csEUC_KR, csEUC_TW, csJOHAB, csUTF8, csMULE_INTERNAL,
  csLATIN1, csLATIN2, csLATIN3, csLATIN4, csLATIN5, csLATIN6, csLATIN7, csLATIN8, csLATIN9, csLATIN10,
  csWIN1256, csWIN1258, csWIN874, csKOI8, csWIN1251, csWIN866,
  csISO_8859_5, csISO_8859_6, csISO_8859_7, csISO_8859_8,
  csSJIS, csBIG5, csGBK, csUHC, csWIN1250, csGB18030, csUNICODE, csTCVN, csALT, csWIN, csOTHER,
};

struct pg_CS {
  const char* Name;
  TZPgCharsetCode Code;
};

// The 39 entries in code order.
extern const pg_CS pg_CharacterSets[];

// The encoding whose name equals name in upper case; else the one with the
// longest name found inside name (case as written, the later of equally long
// ones); else csOTHER, as for the empty name.
// The server's name of a client encoding the program spells in its own way:
// a Windows code page as "cp1250", "CP-1250" or "windows-1250" becomes
// "WIN1250" when the server has that encoding; any other name is kept.
AnsiString ServerEncodingName(const AnsiString& name);
TZPgCharsetCode FindCharsetCode(const AnsiString& name);

// The bytes still to come in the current character after character: 0 when
// it ends a single-byte character, 1 when it ends a multibyte one.
int NextMultibyteState(int state, unsigned char character, TZPgCharsetCode code);

// value in single quotes with NUL, the quote and every backslash that is not
// the last byte of a multibyte character written as \ooo.
AnsiString QuoteTextLiteral(TZPgCharsetCode code, const AnsiString& value);
// The same for bytes: NUL, quote and backslash always as \ooo.
AnsiString QuoteBinaryLiteral(const AnsiString& value);
// The bytes of a bytea value in the server's escape form (\\, \', \ooo): a
// backslash that starts no complete escape is kept as it stands. In the hex
// form (\x and two hex digits a byte) decoding ends at the first pair that is
// not hex. Nothing past the input is read.
AnsiString UnescapeByteaText(const AnsiString& value);
