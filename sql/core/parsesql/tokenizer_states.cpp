// The base token readers. Each reads one character at a time and steps back
// only over characters it has read itself.
#include "sql/core/parsesql/tokenizer_states.h"

#include "sql/core/sysutils.h"

namespace {

inline unsigned char Code(char c) { return static_cast<unsigned char>(c); }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

void SetRange(bool (&table)[256], char fromChar, char toChar, bool enabled) {
  for (int c = Code(fromChar); c <= Code(toChar); ++c) table[c] = enabled;
}

// firstChar followed by every character that the table marks.
AnsiString ReadRun(TZTokenizerStream& stream, char firstChar, const bool (&table)[256]) {
  AnsiString text(1, firstChar);
  char c;
  while (stream.Read(c) > 0) {
    if (!table[Code(c)]) {
      stream.Back(1);
      break;
    }
    text += c;
  }
  return text;
}

// Appends the run of characters that pass isDigit; gives the first character
// after the run (left in the stream), or NUL at the end of the stream.
char AppendDigits(TZTokenizerStream& stream, AnsiString& text, bool (*isDigit)(char)) {
  char c;
  while (stream.Read(c) > 0) {
    if (!isDigit(c)) {
      stream.Back(1);
      return c;
    }
    text += c;
  }
  return '\0';
}

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

}  // namespace

// --- numbers ---------------------------------------------------------------

TZToken TZNumberState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  AnsiString text;
  char c = firstChar;
  int lastRead = 0;
  bool minus = false, digit = false, dot = false;
  auto readDigits = [&] {
    while (IsDigit(c)) {
      text += c;
      digit = true;
      if ((lastRead = stream.Read(c)) == 0) break;
    }
  };
  if (c == '-') {
    minus = true;
    text = "-";
    lastRead = stream.Read(c);
  }
  readDigits();
  if (c == '.') {
    dot = true;
    text += '.';
    if ((lastRead = stream.Read(c)) > 0) readDigits();
  }
  stream.Back(static_cast<std::size_t>(lastRead));
  if (digit) return {text, dot ? ttFloat : ttInteger};
  // A lone "-" or "." is a symbol; after "-." the "." is read again, so it is
  // not part of this token's text either.
  if (minus && dot) stream.Back(1);
  const char symbol = minus ? '-' : (dot ? '.' : firstChar);
  return SymbolToken(stream, symbol, tokenizer, AnsiString(1, symbol));
}

TZToken TZExponentNumberState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  AnsiString text(1, firstChar);
  bool isFloat = firstChar == '.';
  char last = '\0', c;
  if (!isFloat) {
    last = AppendDigits(stream, text, IsDigit);
    if (last == '.') {
      stream.Read(c);
      text += c;
      isFloat = true;
    }
  }
  if (isFloat) last = AppendDigits(stream, text, IsDigit);

  // A lone "." never takes an exponent: "t.e1" is a name, a "." and a name.
  if ((last == 'E' || last == 'e') && text != ".") {
    stream.Read(c);
    isFloat = true;
    const int read = stream.Read(c);
    if (read > 0 && (c == '+' || c == '-' || IsDigit(c))) {
      text += last;
      text += c;
      AppendDigits(stream, text, IsDigit);
    } else {
      stream.Back(1 + static_cast<std::size_t>(read));
    }
  } else if (Hexadecimal && text == "0" && (last == 'X' || last == 'x')) {
    stream.Read(c);
    text += c;
    AppendDigits(stream, text, IsHexDigit);
    return {text, ttHexInteger};
  }

  if (text == ".") return SymbolToken(stream, firstChar, tokenizer, text);
  return {text, isFloat ? ttFloat : ttInteger};
}

// --- quotes ------------------------------------------------------------------

TZToken TZQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  AnsiString text(1, firstChar);
  char c;
  do {
    if (stream.Read(c) == 0) c = firstChar;
    text += c;
  } while (c != firstChar);
  return {text, ttQuoted};
}

AnsiString TZQuoteState::ReadQuoted(TZTokenizerStream& stream, char firstChar, bool backslashEscapes) {
  AnsiString text(1, firstChar);
  char previous = '\0', c;
  while (stream.Read(c) > 0) {
    if (previous == firstChar && c != firstChar) {
      stream.Back(1);
      break;
    }
    text += c;
    // An escaped character or the second of a doubled quote closes nothing.
    const bool escaped = backslashEscapes && previous == '\\';
    previous = (escaped || (previous == firstChar && c == firstChar)) ? '\0' : c;
  }
  return text;
}

AnsiString TZQuoteState::EncodeString(const AnsiString& value, char quoteChar) {
  return quoteChar + value + quoteChar;
}

AnsiString TZQuoteState::DecodeString(const AnsiString& value, char quoteChar) {
  if (value.size() > 1 && value.front() == quoteChar && value.back() == quoteChar)
    return value.substr(1, value.size() - 2);
  return value;
}

namespace {

bool IsBackslashDialectQuote(char c) { return c == '"' || c == '\'' || c == '`'; }

}  // namespace

TZToken TZBackslashQuoteState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {ReadQuoted(stream, firstChar, true), firstChar == '`' ? ttQuotedIdentifier : ttQuoted};
}

AnsiString TZBackslashQuoteState::EncodeString(const AnsiString& value, char quoteChar) {
  if (!IsBackslashDialectQuote(quoteChar)) return value;
  return quoteChar + EncodeCString(value) + quoteChar;
}

AnsiString TZBackslashQuoteState::DecodeString(const AnsiString& value, char quoteChar) {
  if (value.size() < 2 || !IsBackslashDialectQuote(quoteChar) || value.front() != quoteChar ||
      value.back() != quoteChar)
    return value;
  if (value.size() == 2) return AnsiString();
  return DecodeCString(value.substr(1, value.size() - 2));
}

// --- comments ------------------------------------------------------------------

TZToken TZCommentState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  AnsiString text(1, firstChar);
  char c;
  while (stream.Read(c) > 0) {
    if (IsLineBreak(c)) {
      stream.Back(1);
      break;
    }
    text += c;
  }
  return {text, ttComment};
}

AnsiString TZCommentState::GetMultiLineComment(TZTokenizerStream& stream) {
  AnsiString text;
  char c, last = 0;
  while (stream.Read(c) > 0) {
    text += c;
    if (last == '*' && c == '/') break;
    last = c;
  }
  return text;
}

AnsiString TZCommentState::GetSingleLineComment(TZTokenizerStream& stream) {
  AnsiString text;
  char c;
  while (stream.Read(c) > 0) {
    text += c;
    if (!IsLineBreak(c)) continue;
    if (stream.Read(c) > 0) {
      if (IsLineBreak(c))
        text += c;
      else
        stream.Back(1);
    }
    break;
  }
  return text;
}

TZToken TZCppCommentState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  char c;
  const int read = stream.Read(c);
  if (read > 0 && c == '*') return {"/*" + GetMultiLineComment(stream), ttComment};
  if (read > 0 && c == '/') return {"//" + GetSingleLineComment(stream), ttComment};
  stream.Back(static_cast<std::size_t>(read));
  return SymbolToken(stream, firstChar, tokenizer, AnsiString(1, firstChar));
}

TZToken TZDoubleDashCommentState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  if (firstChar == '-' || firstChar == '/') {
    char c;
    const int read = stream.Read(c);
    if (read > 0 && firstChar == '-' && c == '-') return {"--" + GetSingleLineComment(stream), ttComment};
    if (read > 0 && firstChar == '/' && c == '*') return {"/*" + GetMultiLineComment(stream), ttComment};
    stream.Back(static_cast<std::size_t>(read));
  }
  return SymbolToken(stream, firstChar, tokenizer, AnsiString(1, firstChar));
}

TZToken TZCommentState::CCommentOrSymbol(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  if (firstChar == '/') {
    char c;
    const int read = stream.Read(c);
    if (read > 0 && c == '*') return {"/*" + GetMultiLineComment(stream), ttComment};
    stream.Back(static_cast<std::size_t>(read));
  }
  return SymbolToken(stream, firstChar, tokenizer, AnsiString(1, firstChar));
}

TZToken TZCCommentState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) {
  return CCommentOrSymbol(stream, firstChar, tokenizer);
}

// --- symbols ---------------------------------------------------------------------

TZSymbolNode* TZSymbolNode::FindChildWithChar(char c) {
  for (auto& child : Children)
    if (child->Character == c) return child.get();
  return nullptr;
}

AnsiString TZSymbolNode::GetAncestry() const {
  return (Parent ? Parent->GetAncestry() : AnsiString()) + Character;
}

TZSymbolNode* TZSymbolNode::EnsureChildWithChar(char c) {
  if (TZSymbolNode* child = FindChildWithChar(c)) return child;
  Children.push_back(std::make_unique<TZSymbolNode>(this, c));
  return Children.back().get();
}

TZSymbolNode* TZSymbolNode::AddDescendantLine(const AnsiString& line) {
  TZSymbolNode* node = this;
  for (char c : line) node = node->EnsureChildWithChar(c);
  return node;
}

TZSymbolNode* TZSymbolNode::FindDescendant(const AnsiString& line) {
  TZSymbolNode* node = this;
  for (char c : line)
    if (!(node = node->FindChildWithChar(c))) return nullptr;
  return node;
}

TZSymbolRootNode::TZSymbolRootNode() : TZSymbolNode(nullptr, 0) {
  Children.reserve(256);
  for (int c = 0; c < 256; ++c) {
    Children.push_back(std::make_unique<TZSymbolNode>(this, static_cast<char>(c)));
    Children.back()->Valid = true;
  }
}

TZSymbolNode* TZSymbolRootNode::FindChildWithChar(char c) { return Children[Code(c)].get(); }

void TZSymbolRootNode::Add(const AnsiString& symbol) {
  if (symbol.empty()) return;
  EnsureChildWithChar(symbol[0])->AddDescendantLine(symbol.substr(1));
  FindDescendant(symbol)->Valid = true;
}

AnsiString TZSymbolRootNode::NextSymbol(TZTokenizerStream& stream, char firstChar) {
  TZSymbolNode* node = FindChildWithChar(firstChar);
  // Deepest read, then back off to the last node that ends a symbol.
  char c;
  for (;;) {
    const int read = stream.Read(c);
    TZSymbolNode* child = read > 0 ? node->FindChildWithChar(c) : nullptr;
    if (!child) {
      stream.Back(static_cast<std::size_t>(read));
      break;
    }
    node = child;
  }
  while (!node->Valid) {
    stream.Back(1);
    node = node->Parent;
  }
  return node->GetAncestry();
}

TZSymbolState::TZSymbolState() : SymbolRoot(std::make_unique<TZSymbolRootNode>()) {}

TZSymbolState::~TZSymbolState() = default;

TZToken TZSymbolState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {SymbolRoot->NextSymbol(stream, firstChar), ttSymbol};
}

void TZSymbolState::Add(const AnsiString& symbol) { SymbolRoot->Add(symbol); }

// --- whitespace and words ----------------------------------------------------------

TZWhitespaceState::TZWhitespaceState() { SetWhitespaceChars(0, ' ', true); }

TZToken TZWhitespaceState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {ReadRun(stream, firstChar, WhitespaceChars), ttWhitespace};
}

void TZWhitespaceState::SetWhitespaceChars(char fromChar, char toChar, bool enabled) {
  SetRange(WhitespaceChars, fromChar, toChar, enabled);
}

TZToken TZWordState::NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer&) {
  return {ReadRun(stream, firstChar, WordChars), ttWord};
}

void TZWordState::SetWordChars(char fromChar, char toChar, bool enabled) {
  SetRange(WordChars, fromChar, toChar, enabled);
}

void TZWordState::SetLetterAndDigitChars() {
  SetWordChars('a', 'z', true);
  SetWordChars('A', 'Z', true);
  SetWordChars('0', '9', true);
  SetWordChars('_', '_', true);
  SetWordChars('\xC0', '\xFF', true);
  for (const char* c = kLowAnsiLetters; *c; ++c) SetWordChars(*c, *c, true);
}
