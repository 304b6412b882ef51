// The tokenizer's main loop: looks up each first character's state, lets it
// read the token, and applies the skipping and unifying options.
#include "sql/core/parsesql/tokenizer.h"

#include "platform/rtl/streams.h"
#include "sql/core/parsesql/tokenizer_states.h"

namespace {

inline unsigned char Code(char c) { return static_cast<unsigned char>(c); }

AnsiString ReadToEnd(TStream* stream) {
  AnsiString data;
  char buffer[4096];
  for (int64_t n; (n = stream->Read(buffer, sizeof buffer)) > 0;) data.append(buffer, static_cast<size_t>(n));
  return data;
}

}  // namespace

TZToken TZTokenizerState::SymbolToken(TZTokenizerStream& stream, char firstChar, TZTokenizer& tokenizer,
                                      const AnsiString& fallback) {
  if (TZSymbolState* symbols = tokenizer.GetSymbolState()) return symbols->NextToken(stream, firstChar, tokenizer);
  return {fallback, ttUnknown};
}

TZTokenizer::TZTokenizer() = default;

TZTokenizer::~TZTokenizer() {
  CommentState.reset();
  NumberState.reset();
  QuoteState.reset();
  SymbolState.reset();
  WhitespaceState.reset();
  WordState.reset();
}

void TZTokenizer::SetCharacterState(char fromChar, char toChar, TZTokenizerState* state) {
  for (int c = Code(fromChar); c <= Code(toChar); ++c) CharacterStates[c] = state;
}

void TZTokenizer::SetStandardCharacterStates() {
  SetCharacterState('\0', '\xFF', SymbolState.get());
  SetCharacterState('\0', ' ', WhitespaceState.get());
  SetCharacterState('a', 'z', WordState.get());
  SetCharacterState('A', 'Z', WordState.get());
  SetCharacterState('\xC0', '\xFF', WordState.get());
  for (const char* c = kLowAnsiLetters; *c; ++c) SetCharacterState(*c, *c, WordState.get());
  SetCharacterState('_', '_', WordState.get());
  SetCharacterState('0', '9', NumberState.get());
  SetCharacterState('.', '.', NumberState.get());
}

TZTokenList TZTokenizer::TokenizeBufferToList(const AnsiString& buffer, TZTokenizerOptions options) {
  TZTokenizerStream stream(buffer.data(), buffer.size());
  TZTokenList result;
  // Dropped tokens and unknown characters leave the last type as it was.
  TZTokenType lastType = ttUnknown;
  char c;
  while (stream.Read(c) > 0) {
    TZTokenizerState* state = CharacterStates[Code(c)];
    if (!state) {
      if (!(options & toSkipUnknown)) result.push_back({AnsiString(1, c), ttUnknown});
      continue;
    }
    TZToken token = state->NextToken(stream, c, *this);
    if (options & toDecodeStrings) {
      if (auto* quotes = dynamic_cast<TZQuoteState*>(state))
        token.Value = quotes->DecodeString(token.Value, c);
    }
    if ((token.TokenType == ttComment && (options & toSkipComments)) ||
        (token.TokenType == ttWhitespace && (options & toSkipWhitespaces)))
      continue;
    if (token.TokenType == ttWhitespace && (options & toUnifyWhitespaces)) {
      if (lastType == ttWhitespace) continue;
      token.Value.assign(1, ' ');
    }
    if ((options & toUnifyNumbers) &&
        (token.TokenType == ttFloat || token.TokenType == ttInteger || token.TokenType == ttHexInteger))
      token.TokenType = ttNumber;
    // Digits directly followed by letters ("12abc") are one word.
    if (token.TokenType == ttWord && lastType == ttInteger) {
      token.Value = result.back().Value + token.Value;
      result.pop_back();
    }
    lastType = token.TokenType;
    result.push_back(std::move(token));
  }
  if (!(options & toSkipEOF)) result.push_back({AnsiString(), ttEOF});
  return result;
}

TZTokenList TZTokenizer::TokenizeStreamToList(TStream* stream, TZTokenizerOptions options) {
  return TokenizeBufferToList(ReadToEnd(stream), options);
}

TZTokenDynArray TZTokenizer::TokenizeBuffer(const AnsiString& buffer, TZTokenizerOptions options) {
  return TokenizeBufferToList(buffer, options);
}

TZTokenDynArray TZTokenizer::TokenizeStream(TStream* stream, TZTokenizerOptions options) {
  return TokenizeStreamToList(stream, options);
}
