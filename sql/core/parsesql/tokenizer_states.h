// The token readers that tokenizers are assembled from: numbers, quoted texts,
// comments, symbols (a tree of registered multi-character symbols), whitespace
// and words. Dialects derive their own states from these and override
// NextToken, EncodeString and DecodeString.
#pragma once

#include <memory>
#include <vector>

#include "sql/core/parsesql/tokenizer.h"

// Digits with at most one "." and an optional leading "-"; no exponent.
// The Windows-1250 letters below code 192 (Š, Ś, Ť, Ž, Ź, Ł, Ą, Ş, Ż, µ, Ľ,
// ľ and their small forms): word characters like the letters above them.
inline constexpr char kLowAnsiLetters[] = "\x8A\x8C\x8D\x8E\x8F\x9A\x9C\x9D\x9E\x9F\xA3\xA5\xAA\xAF\xB3\xB5\xB9\xBA\xBC\xBE\xBF";

class TZNumberState : public TZTokenizerState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

// Decimal digits with an optional fraction and an optional exponent ("e" and a
// sign or digit), and with hexadecimal also "0x" numbers (ttHexInteger); never
// a sign. An "e" that starts no exponent is given back for the next token while
// the number keeps the float type, so "12ex" reads as 12 (ttFloat) and "ex".
class TZExponentNumberState : public TZNumberState {
public:
  explicit TZExponentNumberState(bool hexadecimal = false) : Hexadecimal(hexadecimal) {}
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;

private:
  bool Hexadecimal;
};

// A literal up to the next quote character equal to the opening one; nothing is
// escaped, and an unterminated literal comes out closed.
class TZQuoteState : public TZTokenizerState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  virtual AnsiString EncodeString(const AnsiString& value, char quoteChar);
  virtual AnsiString DecodeString(const AnsiString& value, char quoteChar);

protected:
  // The dialects' literal, firstChar already read: up to the first quote equal
  // to firstChar that is not doubled (a doubled quote stays inside) and, with
  // backslashEscapes, not escaped by a backslash; unterminated, to the end.
  AnsiString ReadQuoted(TZTokenizerStream& stream, char firstChar, bool backslashEscapes);
};

// Literals with C-style backslash escapes (the MySQL and PostgreSQL
// dialects): double and single quotes give ttQuoted, a back-quote
// ttQuotedIdentifier. A backslash takes the next character literally and a
// doubled quote stays inside; the text keeps its quotes and escapes as
// written.
class TZBackslashQuoteState : public TZQuoteState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  // Backslash escapes (C style) between the quotes.
  AnsiString EncodeString(const AnsiString& value, char quoteChar) override;
  AnsiString DecodeString(const AnsiString& value, char quoteChar) override;
};

// A comment running from firstChar to the end of the line, the line break left
// in the stream. The two readers are shared by the comment states of all dialects.
class TZCommentState : public TZTokenizerState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  // The rest of a "/*" comment up to and including "*/", or to the end.
  AnsiString GetMultiLineComment(TZTokenizerStream& stream);
  // The rest of the line with its line break (a CR or LF and one directly
  // following CR or LF), or to the end.
  AnsiString GetSingleLineComment(TZTokenizerStream& stream);

protected:
  // A "/*" comment when firstChar and the next character start one, else the
  // symbol at firstChar.
  TZToken CCommentOrSymbol(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer);
};

// "/*" and "//" comments; a "/" that starts neither is a symbol.
class TZCppCommentState : public TZCommentState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

// "/*" comments only, so "//" is two symbols.
class TZCCommentState : public TZCppCommentState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

// "--" line comments and "/*" block comments; "//" is two symbols.
class TZDoubleDashCommentState : public TZCppCommentState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
};

// One node of the symbol tree: the path from the root spells a symbol.
class TZSymbolNode {
public:
  TZSymbolNode(TZSymbolNode* parent, char character) : Character(character), Parent(parent) {}
  virtual ~TZSymbolNode() = default;

  virtual TZSymbolNode* FindChildWithChar(char c);
  // The text of the path from the root to this node.
  virtual AnsiString GetAncestry() const;

  TZSymbolNode* EnsureChildWithChar(char c);
  TZSymbolNode* AddDescendantLine(const AnsiString& line);
  TZSymbolNode* FindDescendant(const AnsiString& line);

  char Character;
  // Filled from the front in order of registration; owned.
  std::vector<std::unique_ptr<TZSymbolNode>> Children;
  bool Valid = false;
  TZSymbolNode* Parent;
};

// The root holds one valid child per character code, so every single character
// is a symbol and the first step of a look-up is an index.
class TZSymbolRootNode : public TZSymbolNode {
public:
  TZSymbolRootNode();

  TZSymbolNode* FindChildWithChar(char c) override;
  AnsiString GetAncestry() const override { return AnsiString(); }

  void Add(const AnsiString& symbol);
  // The longest registered symbol at the stream's place, firstChar already read;
  // the stream is left just after it.
  AnsiString NextSymbol(TZTokenizerStream& stream, char firstChar);
};

class TZSymbolState : public TZTokenizerState {
public:
  TZSymbolState();
  ~TZSymbolState() override;

  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  // Registers a symbol of two or more characters.
  virtual void Add(const AnsiString& symbol);

protected:
  std::unique_ptr<TZSymbolRootNode> SymbolRoot;
};

// Codes 0 to 32 are whitespace unless changed.
class TZWhitespaceState : public TZTokenizerState {
public:
  TZWhitespaceState();

  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  void SetWhitespaceChars(char fromChar, char toChar, bool enabled);

protected:
  bool WhitespaceChars[256] = {};
};

// firstChar followed by the characters marked as word characters; none is
// marked until a dialect does so.
class TZWordState : public TZTokenizerState {
public:
  TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) override;
  void SetWordChars(char fromChar, char toChar, bool enabled);

protected:
  // Letters, digits, "_", codes 192 to 255 and the other Windows-1250
  // letters continue a word.
  void SetLetterAndDigitChars();

  bool WordChars[256] = {};
};
