// The generic statement analyser: sections by clause keyword, and the select
// schema read from the SELECT and FROM sections. Clause keywords are recognised
// only in ttWord tokens; a keyword inside parentheses opens no section.
#include "sql/core/parsesql/statement_analyser.h"

#include "platform/rtl/text.h"

namespace {

bool Contains(const TZStringArray& words, const AnsiString& word) {
  for (const AnsiString& w : words)
    if (SameText(w, word)) return true;
  return false;
}

bool IsBlankOrComment(const TZToken& token) {
  return token.TokenType == ttWhitespace || token.TokenType == ttComment;
}

bool IsName(const TZToken& token) { return token.TokenType == ttWord || token.TokenType == ttQuotedIdentifier; }

// The name parts of a reference while it is being read.
struct NameParts {
  AnsiString Catalog, Schema, Table, Field, Alias;
  bool ReadingName = true;

  void Clear() { *this = NameParts(); }
  // Blanks keep the name open only until its first part; AS always ends it.
  void Separator(bool isAs, const AnsiString& lastPart) { ReadingName = ReadingName && lastPart.empty() && !isAs; }
};

}  // namespace

TZGenericStatementAnalyser::TZGenericStatementAnalyser()
    : TZGenericStatementAnalyser(
          ArrayToStrings({"SELECT", "UPDATE", "DELETE", "INSERT", "FROM", "WHERE", "INTO", "GROUP*BY", "HAVING",
                          "ORDER*BY", "FOR*UPDATE", "LIMIT", "OFFSET"}),
          ArrayToStrings({"DISTINCT", "ALL"}),
          ArrayToStrings({"NATURAL", "RIGHT", "LEFT", "INNER", "OUTER", "JOIN"}), ArrayToStrings({"ON"})) {}

TZGenericStatementAnalyser::TZGenericStatementAnalyser(TZStringArray sectionNames, TZStringArray selectOptions,
                                                       TZStringArray fromJoins, TZStringArray fromClauses)
    : SectionNames(std::move(sectionNames)), SelectOptions(std::move(selectOptions)),
      FromJoins(std::move(fromJoins)), FromClauses(std::move(fromClauses)) {}

TZStringArray TZGenericStatementAnalyser::ArrayToStrings(std::initializer_list<const char*> items) {
  return TZStringArray(items.begin(), items.end());
}

TZTokenList TZGenericStatementAnalyser::TokenizeQuery(IZTokenizer* tokenizer, const AnsiString& sql, bool cleanup) {
  return tokenizer->TokenizeBufferToList(sql, cleanup ? toSkipComments | toSkipEOF | toUnifyWhitespaces : toSkipEOF);
}

bool TZGenericStatementAnalyser::CheckForKeyword(const TZTokenList& tokens, std::size_t index,
                                                 const TZStringArray& keywords, AnsiString& keyword,
                                                 std::size_t& wordCount) const {
  constexpr int kMaxKeywordWords = 3;
  AnsiString text;
  std::size_t count = 0;
  for (int word = 0; word < kMaxKeywordWords && index < tokens.size() && tokens[index].TokenType == ttWord; ++word) {
    if (word > 0) text += '*';
    text += UpperCase(tokens[index].Value);
    ++index;
    ++count;
    if (Contains(keywords, text)) {
      keyword = text;
      wordCount = count;
      return true;
    }
    for (; index < tokens.size() && IsBlankOrComment(tokens[index]); ++index) ++count;
  }
  keyword.clear();
  wordCount = 0;
  return false;
}

TZStatementSections TZGenericStatementAnalyser::SplitSections(const TZTokenList& tokens) {
  TZStatementSections sections;
  if (tokens.empty()) return sections;
  std::size_t index = 0;
  AnsiString keyword;
  std::size_t count = 0;
  CheckForKeyword(tokens, 0, SectionNames, keyword, count);
  sections.emplace_back(keyword, TZTokenList(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(count)));
  index = count;
  while (index < tokens.size()) {
    if (CheckForKeyword(tokens, index, SectionNames, keyword, count)) {
      const auto first = tokens.begin() + static_cast<std::ptrdiff_t>(index);
      sections.emplace_back(keyword, TZTokenList(first, first + static_cast<std::ptrdiff_t>(count)));
      index += count;
      continue;
    }
    // A bracketed group (a sub-select, say) moves as a whole.
    TZTokenList& current = sections.back().Tokens;
    int depth = 0;
    do {
      const TZToken& token = tokens[index++];
      if (token.Value == "(") ++depth;
      else if (token.Value == ")") --depth;
      current.push_back(token);
    } while (depth > 0 && index < tokens.size());
  }
  return sections;
}

AnsiString TZGenericStatementAnalyser::ComposeTokens(const TZTokenList& tokens) {
  AnsiString text;
  for (const TZToken& token : tokens) text += token.Value;
  return text;
}

AnsiString TZGenericStatementAnalyser::ComposeSections(const TZStatementSections& sections) {
  AnsiString text;
  for (const TZStatementSection& section : sections) text += ComposeTokens(section.Tokens);
  return text;
}

const TZTokenList* TZGenericStatementAnalyser::FindSectionTokens(const TZStatementSections& sections,
                                                                 const AnsiString& name) const {
  for (const TZStatementSection& section : sections)
    if (section.Name == name) return &section.Tokens;
  return nullptr;
}

bool TZGenericStatementAnalyser::SkipBracketTokens(const TZTokenList& tokens, std::size_t& index) const {
  if (index < tokens.size() && tokens[index].Value != "(") return false;
  int depth = 0;
  for (; index < tokens.size(); ++index) {
    if (tokens[index].Value == "(") ++depth;
    else if (tokens[index].Value == ")" && --depth == 0) {
      ++index;
      break;
    }
  }
  return true;
}

bool TZGenericStatementAnalyser::SkipOptionTokens(const TZTokenList& tokens, std::size_t& index,
                                                  const TZStringArray& options) const {
  bool moved = false;
  for (; index < tokens.size(); ++index, moved = true)
    if (!IsBlankOrComment(tokens[index]) && !Contains(options, tokens[index].Value)) break;
  return moved;
}

Ref<IZSelectSchema> TZGenericStatementAnalyser::DefineSelectSchemaFromSections(const TZStatementSections& sections) {
  if (sections.size() < 2) return nullptr;
  if (sections[0].Name != "SELECT" && !(sections[0].Name.empty() && sections[1].Name == "SELECT")) return nullptr;
  const TZTokenList* selectTokens = FindSectionTokens(sections, "SELECT");
  const TZTokenList* fromTokens = FindSectionTokens(sections, "FROM");
  if (!selectTokens || !fromTokens) return nullptr;
  Ref<TZSelectSchema> schema = MakeRef<TZSelectSchema>();
  FillFieldRefs(*schema, *selectTokens);
  FillTableRefs(*schema, *fromTokens);
  return schema;
}

Ref<IZSelectSchema> TZGenericStatementAnalyser::DefineSelectSchemaFromQuery(IZTokenizer* tokenizer,
                                                                            const AnsiString& sql) {
  return DefineSelectSchemaFromSections(SplitSections(TokenizeQuery(tokenizer, sql, true)));
}

void TZGenericStatementAnalyser::FillFieldRefs(IZSelectSchema& schema, const TZTokenList& tokens) const {
  NameParts n;
  auto addColumn = [&] {
    if (!n.Field.empty())
      schema.AddField(std::make_unique<TZFieldRef>(true, n.Catalog, n.Schema, n.Table, n.Field, n.Alias, nullptr));
    n.Clear();
  };
  std::size_t i = 1;
  SkipOptionTokens(tokens, i, SelectOptions);
  for (; i < tokens.size(); ++i) {
    const TZToken& token = tokens[i];
    const bool isAs = SameText(token.Value, "AS");
    if (token.TokenType == ttWhitespace || isAs) {
      n.Separator(isAs, n.Field);
    } else if (n.ReadingName && (IsName(token) || token.Value == "*")) {
      n.Catalog = n.Schema;
      n.Schema = n.Table;
      n.Table = n.Field;
      n.Field = token.Value;
    } else if (n.ReadingName && token.Value == ".") {
    } else if (!n.ReadingName && token.TokenType == ttWord) {
      n.Alias = token.Value;
    } else if (token.Value == ",") {
      addColumn();
    } else {
      // An expression: only a last word after a blank names it.
      n.Clear();
      bool blankSeen = false;
      while (i < tokens.size()) {
        const TZToken& t = tokens[i];
        if (t.Value == "(") {
          SkipBracketTokens(tokens, i);
          continue;
        }
        if (IsName(t) && blankSeen) n.Alias = t.Value;
        else if (!IsBlankOrComment(t) && t.Value != ",") n.Alias.clear();
        if (t.TokenType == ttWhitespace) blankSeen = true;
        if (t.Value == ",") break;
        ++i;
      }
      if (!n.Alias.empty()) {
        schema.AddField(std::make_unique<TZFieldRef>(false, "", "", "", "", n.Alias, nullptr));
        n.Clear();
      }
    }
  }
  addColumn();
}

void TZGenericStatementAnalyser::FillTableRefs(IZSelectSchema& schema, const TZTokenList& tokens) const {
  NameParts n;
  auto addTable = [&] {
    if (!n.Table.empty()) schema.AddTable(std::make_unique<TZTableRef>(n.Catalog, n.Schema, n.Table, n.Alias));
    n.Clear();
  };
  std::size_t i = 1;
  while (i < tokens.size()) {
    const TZToken& token = tokens[i];
    const bool isAs = SameText(token.Value, "AS");
    if (Contains(FromJoins, token.Value)) {
      addTable();
      SkipOptionTokens(tokens, i, FromJoins);
      continue;
    }
    if (Contains(FromClauses, token.Value)) {
      // Skip the join condition up to the next join word, "," or the end.
      ++i;
      while (i < tokens.size() && !Contains(FromJoins, tokens[i].Value) && tokens[i].Value != ",")
        if (!SkipBracketTokens(tokens, i)) ++i;
      if (i < tokens.size() && tokens[i].Value != ",") --i;
    } else if (token.TokenType == ttWhitespace || isAs) {
      n.Separator(isAs, n.Table);
    } else if (n.ReadingName && IsName(token)) {
      n.Catalog = n.Schema;
      n.Schema = n.Table;
      n.Table = token.Value;
    } else if (!n.ReadingName && token.TokenType == ttWord) {
      n.Alias = token.Value;
    }
    if (i < tokens.size() && tokens[i].Value == ",") addTable();
    if (!SkipBracketTokens(tokens, i) || i >= tokens.size()) ++i;
  }
  addTable();
}
