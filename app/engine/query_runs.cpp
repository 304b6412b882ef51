// The query helpers of query_runs.h.

#include "app/engine/query_runs.h"

#include "sql/dataset/query.h"

void OpenSql(TZQuery& query, const AnsiString& sql) {
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(sql);
  query.Open();
}

std::vector<AnsiString> ColumnValues(TZQuery& query, const AnsiString& sql, const AnsiString& column) {
  OpenSql(query, sql);
  std::vector<AnsiString> values;
  for (; !query.Eof(); query.Next()) values.push_back(query.FieldNamed(column)->ValueAsString());
  query.Close();
  query.SQL().Clear();
  return values;
}
