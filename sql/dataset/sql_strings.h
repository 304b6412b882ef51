// TZSQLStrings: the string list that holds a dataset's SQL text. On every
// change it splits the text into statements and replaces each ":name"
// parameter marker by "?", remembering which name stands at which position,
// so prepared statements can be bound by name. The dialect tokenizer of the
// dataset's connection keeps quoted text and comments intact.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/lists.h"
#include "platform/rtl/objects.h"
#include "sql/core/parsesql/tokenizer.h"

class TComponent;
class IZTokenizer;

class TZSQLStatement {
public:
  TZSQLStatement(AnsiString sql, std::vector<int> paramIndices, const TStrings* paramNames)
      : sql_(std::move(sql)), paramIndices_(std::move(paramIndices)), names_(paramNames) {}

  // The text with "?" in place of each marker.
  const AnsiString& SQL() const { return sql_; }
  const std::vector<int>& ParamIndices() const { return paramIndices_; }
  int ParamCount() const { return static_cast<int>(paramIndices_.size()); }
  // The name of the index-th marker (0-based); empty without markers, the
  // range error beyond the last.
  AnsiString ParamNames(int index) const;
  // The names of all markers in text order (a name used twice is listed twice).
  std::vector<AnsiString> AllParamNames() const;

private:
  AnsiString sql_;
  std::vector<int> paramIndices_;
  const TStrings* names_;
};

class TZSQLStrings : public TStringList {
public:
  TZSQLStrings();
  ~TZSQLStrings() override;

  // The component whose connection's driver gives the dialect tokenizer.
  TComponent* Dataset() const { return dataset_; }
  void SetDataset(TComponent* value);
  bool ParamCheck() const { return paramCheck_; }
  void SetParamCheck(bool value);
  bool MultiStatements() const { return multiStatements_; }
  void SetMultiStatements(bool value);

  int StatementCount() const { return static_cast<int>(statements_.size()); }
  const TZSQLStatement& Statements(int index) const { return *statements_.at(index); }
  // Distinct parameter names in order of first appearance.
  int ParamCount() const { return paramNames_.Count(); }
  AnsiString ParamNames(int index) const { return paramNames_.Strings(index); }
  // Case-insensitive; -1 when absent.
  int IndexOfParam(const AnsiString& name) const;

  // Fired after the statements were rebuilt for a change of the text (the
  // list's OnChange is taken by the rebuilding itself).
  std::function<void(TObject* sender)> OnTextChanged;

private:
  void TextChanged();
  void RebuildStatements();
  Ref<IZTokenizer> ChooseTokenizer() const;
  void AddStatement(AnsiString& text, std::vector<int>& indices);

  TComponent* dataset_ = nullptr;
  bool paramCheck_ = true;
  bool multiStatements_ = true;
  std::vector<std::unique_ptr<TZSQLStatement>> statements_;
  TStringList paramNames_;
};
