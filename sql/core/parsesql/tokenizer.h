// The table-driven tokenizer that every SQL dialect (and the expression
// language) is built on: a 256-entry table maps the first character of a token
// to the state object that reads the rest of it. Dialects derive their states
// from tokenizer_states.h and fill the table in their constructor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sql/core/abstract_object.h"

class TStream;

enum TZTokenType : std::uint8_t {
  ttUnknown = 0,
  ttEOF = 1,
  ttFloat = 2,
  ttInteger = 3,
  ttHexInteger = 4,
  ttNumber = 5,
  ttSymbol = 6,
  ttQuoted = 7,
  ttQuotedIdentifier = 8,
  ttWord = 9,
  ttKeyword = 10,
  ttWhitespace = 11,
  ttComment = 12,
};

struct TZToken {
  AnsiString Value;
  TZTokenType TokenType = ttUnknown;
};

// The array form and the list form of a token sequence are the same thing here:
// each entry keeps its text and its type.
using TZTokenDynArray = std::vector<TZToken>;
using TZTokenList = std::vector<TZToken>;

enum TZTokenizerOption : std::uint8_t {
  toSkipUnknown = 1,
  toSkipWhitespaces = 2,
  toSkipComments = 4,
  toSkipEOF = 8,
  toUnifyWhitespaces = 16,
  toUnifyNumbers = 32,
  toDecodeStrings = 64,
};
// A set of TZTokenizerOption bits.
using TZTokenizerOptions = std::uint8_t;

// The byte source the states read: one character at a time, and steps back
// over characters already read.
class TZTokenizerStream {
public:
  TZTokenizerStream(const char* data, std::size_t size) : data_(data), size_(size) {}

  // Delivers the next character and returns 1, or returns 0 at the end (and
  // sets c to NUL).
  int Read(char& c) {
    if (pos_ >= size_) {
      c = 0;
      return 0;
    }
    c = data_[pos_++];
    return 1;
  }
  void Back(std::size_t count) { pos_ = count > pos_ ? 0 : pos_ - count; }

private:
  const char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class TZTokenizer;
class TZQuoteState;
class TZSymbolState;
class TZWhitespaceState;
class TZWordState;

// A reader of one kind of token; plain object owned by its tokenizer.
class TZTokenizerState {
public:
  virtual ~TZTokenizerState() = default;
  // Called after the tokenizer has read firstChar; reads the rest of the token
  // and leaves the stream at the first character that does not belong to it.
  virtual TZToken NextToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer) = 0;

protected:
  // The symbol state's token starting with firstChar, or a ttUnknown token of
  // fallback when the tokenizer has no symbol state.
  static TZToken SymbolToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer,
                             const AnsiString& fallback);
};

class IZTokenizer : public virtual IZInterface {
public:
  virtual TZTokenList TokenizeBufferToList(const AnsiString& buffer, TZTokenizerOptions options) = 0;
  // Reads the stream from its position to its end.
  virtual TZTokenList TokenizeStreamToList(TStream* stream, TZTokenizerOptions options) = 0;
  virtual TZTokenDynArray TokenizeBuffer(const AnsiString& buffer, TZTokenizerOptions options) = 0;
  virtual TZTokenDynArray TokenizeStream(TStream* stream, TZTokenizerOptions options) = 0;

  virtual TZTokenizerState* GetCommentState() const = 0;
  virtual TZTokenizerState* GetNumberState() const = 0;
  virtual TZQuoteState* GetQuoteState() const = 0;
  virtual TZSymbolState* GetSymbolState() const = 0;
  virtual TZWhitespaceState* GetWhitespaceState() const = 0;
  virtual TZWordState* GetWordState() const = 0;
};

// The base tokenizer has no states and an empty table; a concrete tokenizer's
// constructor creates its states and maps characters to them.
class TZTokenizer : public TZAbstractObject, public virtual IZTokenizer {
public:
  TZTokenizer();
  ~TZTokenizer() override;

  TZTokenList TokenizeBufferToList(const AnsiString& buffer, TZTokenizerOptions options) override;
  TZTokenList TokenizeStreamToList(TStream* stream, TZTokenizerOptions options) override;
  TZTokenDynArray TokenizeBuffer(const AnsiString& buffer, TZTokenizerOptions options) override;
  TZTokenDynArray TokenizeStream(TStream* stream, TZTokenizerOptions options) override;

  TZTokenizerState* GetCommentState() const override { return CommentState.get(); }
  TZTokenizerState* GetNumberState() const override { return NumberState.get(); }
  TZQuoteState* GetQuoteState() const override { return QuoteState.get(); }
  TZSymbolState* GetSymbolState() const override { return SymbolState.get(); }
  TZWhitespaceState* GetWhitespaceState() const override { return WhitespaceState.get(); }
  TZWordState* GetWordState() const override { return WordState.get(); }

  // Maps every code from fromChar to toChar inclusive to state (none when toChar
  // is below fromChar); later calls overwrite earlier ones.
  void SetCharacterState(char fromChar, char toChar, TZTokenizerState* state);

protected:
  // The layout the dialects share: every code starts a symbol, codes 0 to 32
  // whitespace, letters, "_", codes 192 to 255 and the other Windows-1250
  // letters a word, digits and "." a number. Constructors call it once their
  // states exist, then map the rest.
  void SetStandardCharacterStates();

  // Owned; any may stay empty.
  std::unique_ptr<TZTokenizerState> CommentState;
  std::unique_ptr<TZTokenizerState> NumberState;
  std::unique_ptr<TZQuoteState> QuoteState;
  std::unique_ptr<TZSymbolState> SymbolState;
  std::unique_ptr<TZWhitespaceState> WhitespaceState;
  std::unique_ptr<TZWordState> WordState;

private:
  TZTokenizerState* CharacterStates[256] = {};
};
