// The tokenizer framework and the generic SQL tokenizer: the main loop's
// options, each base state's reading rules, the symbol tree's longest match,
// and the generic dialect's words, keywords and quoting.
#include <gtest/gtest.h>

#include "platform/rtl/streams.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "tests/sql/core/token_text.h"

namespace {

// A tokenizer made of the base states only: "-" and "." start numbers, "/"
// starts C++ comments, "#" line comments, "'" plain quotes; "@" has no state.
class BaseStatesTokenizer : public TZTokenizer {
public:
  explicit BaseStatesTokenizer(std::initializer_list<const char*> symbols = {"<=", "<>", "<<"}) {
    NumberState = std::make_unique<TZNumberState>();
    QuoteState = std::make_unique<TZQuoteState>();
    WhitespaceState = std::make_unique<TZWhitespaceState>();
    CommentState = std::make_unique<TZCppCommentState>();
    SymbolState = std::make_unique<TZSymbolState>();
    WordState = std::make_unique<TZWordState>();
    lineComment_ = std::make_unique<TZCommentState>();
    for (const char* symbol : symbols) SymbolState->Add(symbol);
    WordState->SetWordChars('a', 'z', true);

    SetCharacterState('!', '\xFF', SymbolState.get());
    SetCharacterState('\0', ' ', WhitespaceState.get());
    SetCharacterState('a', 'z', WordState.get());
    SetCharacterState('0', '9', NumberState.get());
    SetCharacterState('-', '.', NumberState.get());
    SetCharacterState('\'', '\'', QuoteState.get());
    SetCharacterState('/', '/', CommentState.get());
    SetCharacterState('#', '#', lineComment_.get());
    SetCharacterState('@', '@', nullptr);
  }

private:
  std::unique_ptr<TZCommentState> lineComment_;
};

struct Case {
  const char* input;
  TZTokenizerOptions options;
  const char* expected;
};

template <std::size_t N>
void ExpectTokens(TZTokenizer& tokenizer, const Case (&cases)[N]) {
  for (const Case& c : cases)
    EXPECT_EQ(TokenText(tokenizer.TokenizeBufferToList(c.input, c.options)), c.expected) << "input: " << c.input;
}

TEST(TokenizerLoop, OptionsShapeTheTokenList) {
  const Case cases[] = {
      {"", 0, "EOF()"},
      {"", toSkipEOF, ""},
      {"12abc", 0, "W(12abc) EOF()"},
      {"12abc", toUnifyNumbers, "N(12) W(abc) EOF()"},
      {"12 abc", toSkipWhitespaces, "W(12abc) EOF()"},
      {"12 abc", 0, "I(12) _( ) W(abc) EOF()"},
      {"a /* c */ b", toSkipComments | toUnifyWhitespaces | toSkipEOF, "W(a) _( ) W(b)"},
      {"a \t\r\n b", toUnifyWhitespaces | toSkipEOF, "W(a) _( ) W(b)"},
      {"a@b", toSkipEOF, "W(a) ?(@) W(b)"},
      {"a@b", toSkipEOF | toSkipUnknown, "W(a) W(b)"},
      {"'ab' x", toDecodeStrings | toSkipEOF, "Q(ab) _( ) W(x)"},
      {"1.5 2", toUnifyNumbers | toSkipWhitespaces | toSkipEOF, "N(1.5) N(2)"},
  };
  BaseStatesTokenizer tokenizer;
  ExpectTokens(tokenizer, cases);
}

TEST(TokenizerStates, NumbersAndLoneSigns) {
  const Case cases[] = {
      {"5.", toSkipEOF, "F(5.)"},
      {".5", toSkipEOF, "F(.5)"},
      {"-12.25x", toSkipEOF, "F(-12.25) W(x)"},
      {"-", toSkipEOF, "S(-)"},
      {"-a", toSkipEOF, "S(-) W(a)"},
      {"-.a", toSkipEOF, "S(-) S(.) W(a)"},
      {". a", toSkipEOF, "S(.) _( ) W(a)"},
      {"1.2.3", toSkipEOF, "F(1.2) F(.3)"},
  };
  BaseStatesTokenizer tokenizer;
  ExpectTokens(tokenizer, cases);
}

TEST(TokenizerStates, QuotesAndComments) {
  const Case cases[] = {
      {"'abc", toSkipEOF, "Q('abc')"},
      {"'a''b'", toSkipEOF, "Q('a') Q('b')"},
      {"#ab\r\nx", toSkipEOF, "C(#ab) _(\r\n) W(x)"},
      {"#ab", toSkipEOF, "C(#ab)"},
      {"//c\r\nx", toSkipEOF, "C(//c\r\n) W(x)"},
      {"//c\n\nx", toSkipEOF, "C(//c\n\n) W(x)"},
      {"//c\rx", toSkipEOF, "C(//c\r) W(x)"},
      {"//c\n x", toSkipEOF, "C(//c\n) _( ) W(x)"},
      {"/*/ x", toSkipEOF, "C(/*/ x)"},
      {"/**/x", toSkipEOF, "C(/**/) W(x)"},
      {"/x", toSkipEOF, "S(/) W(x)"},
      {"/", toSkipEOF, "S(/)"},
  };
  BaseStatesTokenizer tokenizer;
  ExpectTokens(tokenizer, cases);
}

TEST(TokenizerStates, CCommentStateTakesOnlySlashStar) {
  class CCommentTokenizer : public BaseStatesTokenizer {
  public:
    CCommentTokenizer() {
      CommentState = std::make_unique<TZCCommentState>();
      SetCharacterState('/', '/', CommentState.get());
    }
  } tokenizer;
  const Case cases[] = {
      {"//x", toSkipEOF, "S(/) S(/) W(x)"},
      {"/*x*/", toSkipEOF, "C(/*x*/)"},
  };
  ExpectTokens(tokenizer, cases);
}

// The shared exponent number reader (decimal only, and with "0x") and the
// "--"/"/*" comment state that several dialects take over.
class DialectStatesTokenizer : public BaseStatesTokenizer {
public:
  explicit DialectStatesTokenizer(bool hexadecimal) {
    NumberState = std::make_unique<TZExponentNumberState>(hexadecimal);
    CommentState = std::make_unique<TZDoubleDashCommentState>();
    SetCharacterState('0', '9', NumberState.get());
    SetCharacterState('.', '.', NumberState.get());
    SetCharacterState('-', '-', CommentState.get());
    SetCharacterState('/', '/', CommentState.get());
  }
};

TEST(TokenizerStates, ExponentNumbersGiveBackWhatIsNoExponent) {
  const Case decimal[] = {
      {"123", toSkipEOF, "I(123)"},
      {"1.5 .5 12.", toSkipEOF, "F(1.5) _( ) F(.5) _( ) F(12.)"},
      {"1e10 1.5E-3 2e+7", toSkipEOF, "F(1e10) _( ) F(1.5E-3) _( ) F(2e+7)"},
      // An "e" without sign or digit after it starts the next token; the
      // number stays a float.
      {"12ex", toSkipEOF, "F(12) W(ex)"},
      {"12e", toSkipEOF, "F(12) W(e)"},
      {"12e/", toSkipEOF, "F(12) W(e) S(/)"},
      {"t.e1", toSkipEOF, "W(t) S(.) W(e) I(1)"},
      {"t.col 1.2.3", toSkipEOF, "W(t) S(.) W(col) _( ) F(1.2) F(.3)"},
      {"-5", toSkipEOF, "S(-) I(5)"},
      // Without hexadecimal numbers the loop joins the integer 0 and the word x.
      {"0x1F", toSkipEOF, "W(0x) I(1) S(F)"},
  };
  DialectStatesTokenizer decimalOnly(false);
  ExpectTokens(decimalOnly, decimal);

  const Case hexadecimal[] = {
      {"0x1Fg", toSkipEOF, "H(0x1F) W(g)"},
      {"0x", toSkipEOF, "H(0x)"},
      {"1e5", toSkipEOF, "F(1e5)"},
  };
  DialectStatesTokenizer withHex(true);
  ExpectTokens(withHex, hexadecimal);
}

TEST(TokenizerStates, DoubleDashCommentsWithoutSlashSlash) {
  const Case cases[] = {
      {"-- note\r\nx", toSkipEOF, "C(-- note\r\n) W(x)"},
      {"--", toSkipEOF, "C(--)"},
      {"a - b", toSkipWhitespaces | toSkipEOF, "W(a) S(-) W(b)"},
      {"a/*x*/b", toSkipEOF, "W(a) C(/*x*/) W(b)"},
      {"/* open", toSkipEOF, "C(/* open)"},
      {"/*", toSkipEOF, "C(/*)"},
      {"//x", toSkipEOF, "S(/) S(/) W(x)"},
      {"-", toSkipEOF, "S(-)"},
  };
  DialectStatesTokenizer tokenizer(false);
  ExpectTokens(tokenizer, cases);
}

TEST(TokenizerStates, SymbolsTakeTheLongestRegisteredMatch) {
  BaseStatesTokenizer tokenizer;
  const Case cases[] = {
      {"<<=", toSkipEOF, "S(<<) S(=)"},
      {"<>=<", toSkipEOF, "S(<>) S(=) S(<)"},
      {"a<=b", toSkipEOF, "W(a) S(<=) W(b)"},
  };
  ExpectTokens(tokenizer, cases);

  // Only "!==" is registered: "!=" is no symbol, so the match backs off to "!".
  BaseStatesTokenizer sparse({"!=="});
  const Case backOff[] = {
      {"!=x", toSkipEOF, "S(!) S(=) W(x)"},
      {"!==x", toSkipEOF, "S(!==) W(x)"},
  };
  ExpectTokens(sparse, backOff);
}

TEST(TokenizerStates, WithoutSymbolStateLoneSignsAreUnknown) {
  class NoSymbols : public BaseStatesTokenizer {
  public:
    NoSymbols() {
      SetCharacterState('!', '\xFF', nullptr);
      SetCharacterState('-', '.', NumberState.get());
      SetCharacterState('a', 'z', WordState.get());
      SetCharacterState('/', '/', CommentState.get());
      SymbolState.reset();
    }
  } tokenizer;
  const Case cases[] = {
      {"-.a", toSkipEOF, "?(-) ?(.) W(a)"},
      {"/a", toSkipEOF, "?(/) W(a)"},
  };
  ExpectTokens(tokenizer, cases);
}

TEST(TokenizerLoop, StreamsAndArraysGiveTheSameTokens) {
  BaseStatesTokenizer tokenizer;
  TStringStream stream("xx a<=b");
  stream.SetPosition(3);
  EXPECT_EQ(TokenText(tokenizer.TokenizeStreamToList(&stream, toSkipEOF)), "W(a) S(<=) W(b)");
  const TZTokenDynArray array = tokenizer.TokenizeBuffer("a 1", 0);
  EXPECT_EQ(TokenText(array), "W(a) _( ) I(1) EOF()");
}

TEST(GenericSQLTokenizer, WordsKeywordsAndSymbols) {
  const Case cases[] = {
      {"and AND And android", toSkipWhitespaces | toSkipEOF, "K(and) K(AND) K(And) W(android)"},
      {"select from null true", toSkipWhitespaces | toSkipEOF, "W(select) W(from) K(null) K(true)"},
      {"$a_1 _x a$b", toSkipWhitespaces | toSkipEOF, "W($a_1) W(_x) W(a$b)"},
      {"a<=b", toSkipEOF, "W(a) S(<=) W(b)"},
      {"a=<b", toSkipEOF, "W(a) S(=) S(<) W(b)"},
      {"a-1", toSkipEOF, "W(a) S(-) I(1)"},
      {"a>>2<<b", toSkipEOF, "W(a) S(>>) I(2) S(<<) W(b)"},
      {"--x", toSkipEOF, "S(-) S(-) W(x)"},
      {"a//c\nb", toSkipEOF, "W(a) C(//c\n) W(b)"},
      {"a/*c*/b", toSkipEOF, "W(a) C(/*c*/) W(b)"},
      {"1abc 2.5", toSkipEOF, "W(1abc) _( ) F(2.5)"},
      // Windows-1250 letters from 192 up are word characters, those below are not
      // ("\x8A" is a capital S with caron).
      {"\xE1\xE8\xF8 a\x8A" "b", toSkipEOF, "W(\xE1\xE8\xF8) _( ) W(a) S(\x8A) W(b)"},
  };
  TZGenericSQLTokenizer tokenizer;
  ExpectTokens(tokenizer, cases);
}

TEST(GenericSQLTokenizer, QuotedLiteralsAndNames) {
  const Case cases[] = {
      {"'it''s' x", toSkipEOF, "Q('it''s') _( ) W(x)"},
      {"'it''s'", toSkipEOF | toDecodeStrings, "Q(it's)"},
      {"\"my name\"", toSkipEOF, "W(\"my name\")"},
      {"\"my name\"", toSkipEOF | toDecodeStrings, "W(my name)"},
      {"''", toSkipEOF | toDecodeStrings, "Q()"},
      {"`a``b`", toSkipEOF | toDecodeStrings, "Q(a`b)"},
      {"'abc", toSkipEOF, "Q('abc)"},
      {"'abc", toSkipEOF | toDecodeStrings, "Q('abc)"},
      {"'a'b", toSkipEOF, "Q('a') W(b)"},
  };
  TZGenericSQLTokenizer tokenizer;
  ExpectTokens(tokenizer, cases);
}

TEST(GenericSQLTokenizer, EncodeAndDecodeAreInverse) {
  TZGenericSQLTokenizer tokenizer;
  TZQuoteState& quotes = *tokenizer.GetQuoteState();
  for (char q : {'\'', '"', '`'}) {
    const AnsiString value = AnsiString("a") + q + q + "b" + q;
    const AnsiString encoded = quotes.EncodeString(value, q);
    EXPECT_EQ(encoded.front(), q);
    EXPECT_EQ(quotes.DecodeString(encoded, q), value) << q;
  }
  EXPECT_EQ(quotes.EncodeString("a'b", '\''), "'a''b'");
  EXPECT_EQ(quotes.EncodeString("a'b", '['), "a'b");
  EXPECT_EQ(quotes.DecodeString("[a]", '['), "[a]");
  EXPECT_EQ(quotes.DecodeString("'", '\''), "'");
}

}  // namespace
