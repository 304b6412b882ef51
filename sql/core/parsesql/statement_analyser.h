// The statement analyser: cuts a tokenized statement into sections, one per
// clause keyword, glues sections back into text and builds the select schema of
// a SELECT. Dialect analysers derive from the generic one and only give their
// own four word lists.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "sql/core/parsesql/select_schema.h"
#include "sql/core/parsesql/tokenizer.h"

class IZTokenizer;

// One clause: its keyword (words of a multi-word keyword joined by "*", empty
// for the tokens before the first keyword) and its tokens, keyword included.
class TZStatementSection {
public:
  TZStatementSection(AnsiString name, TZTokenList tokens) : Name(std::move(name)), Tokens(std::move(tokens)) {}

  AnsiString Name;
  TZTokenList Tokens;
};

using TZStatementSections = std::vector<TZStatementSection>;

class IZStatementAnalyser : public virtual IZInterface {
public:
  // With cleanup, comments and the end token are dropped and whitespace runs
  // become one blank; without it, only the end token is dropped.
  virtual TZTokenList TokenizeQuery(IZTokenizer* tokenizer, const AnsiString& sql, bool cleanup) = 0;
  virtual TZStatementSections SplitSections(const TZTokenList& tokens) = 0;
  virtual AnsiString ComposeTokens(const TZTokenList& tokens) = 0;
  virtual AnsiString ComposeSections(const TZStatementSections& sections) = 0;
  // Null unless the sections form a SELECT with a FROM clause.
  virtual Ref<IZSelectSchema> DefineSelectSchemaFromSections(const TZStatementSections& sections) = 0;
  virtual Ref<IZSelectSchema> DefineSelectSchemaFromQuery(IZTokenizer* tokenizer, const AnsiString& sql) = 0;
};

using TZStringArray = std::vector<AnsiString>;

class TZGenericStatementAnalyser : public TZAbstractObject, public virtual IZStatementAnalyser {
public:
  TZGenericStatementAnalyser();

  TZTokenList TokenizeQuery(IZTokenizer* tokenizer, const AnsiString& sql, bool cleanup) override;
  TZStatementSections SplitSections(const TZTokenList& tokens) override;
  AnsiString ComposeTokens(const TZTokenList& tokens) override;
  AnsiString ComposeSections(const TZStatementSections& sections) override;
  Ref<IZSelectSchema> DefineSelectSchemaFromSections(const TZStatementSections& sections) override;
  Ref<IZSelectSchema> DefineSelectSchemaFromQuery(IZTokenizer* tokenizer, const AnsiString& sql) override;

protected:
  // For dialects: their own four lists of upper-case words ("GROUP*BY" for
  // multi-word keywords).
  TZGenericStatementAnalyser(TZStringArray sectionNames, TZStringArray selectOptions, TZStringArray fromJoins,
                             TZStringArray fromClauses);

  static TZStringArray ArrayToStrings(std::initializer_list<const char*> items);

  // Whether up to three words from index (blanks and comments between them
  // skipped) spell one of keywords; gives the keyword and the tokens it covers.
  bool CheckForKeyword(const TZTokenList& tokens, std::size_t index, const TZStringArray& keywords,
                       AnsiString& keyword, std::size_t& wordCount) const;
  // The tokens of the first section with exactly that name, or null.
  const TZTokenList* FindSectionTokens(const TZStatementSections& sections, const AnsiString& name) const;
  // At a "(", moves index past its matching ")" (or to the end) and gives true.
  bool SkipBracketTokens(const TZTokenList& tokens, std::size_t& index) const;
  // Moves index over blanks, comments and words of options; true when it moved.
  bool SkipOptionTokens(const TZTokenList& tokens, std::size_t& index, const TZStringArray& options) const;
  void FillFieldRefs(IZSelectSchema& schema, const TZTokenList& selectTokens) const;
  void FillTableRefs(IZSelectSchema& schema, const TZTokenList& fromTokens) const;

  TZStringArray SectionNames;
  TZStringArray SelectOptions;
  TZStringArray FromJoins;
  TZStringArray FromClauses;
};
