// Interbase/Firebird metadata: the fixed answers, the server's version text,
// and name patterns turned into conditions on the system tables' columns.

#include "sql/drivers/interbase/interbase_metadata.h"

#include "platform/rtl/format.h"
#include "sql/core/dbc/catalogue_layouts.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_execution.h"

namespace {

constexpr char kEscape = '\\';
// System table names are 31 characters; a pattern may escape each of them.
constexpr std::size_t kMaxPatternLength = 62;

AnsiString DoubleQuotes(const AnsiString& text) {
  AnsiString result;
  for (char c : text) {
    result += c;
    if (c == '\'') result += c;
  }
  return result;
}

}  // namespace

TZInterbase6DatabaseMetadata::TZInterbase6DatabaseMetadata(IZInterbase6Connection* connection,
                                                           const AnsiString& url, TStrings* info)
    : TZAbstractDatabaseMetadata(connection, url, info), ibConnection_(connection) {}

AnsiString TZInterbase6DatabaseMetadata::GetSQLKeywords() {
  return "ACTIVE,AFTER,ASCENDING,BASE_NAME,BEFORE,BLOB,CACHE,CHECK_POINT_LENGTH,COMPUTED,CONDITIONAL,CONTAINING,"
         "CSTRING,DATABASE,RDB$DB_KEY,DEBUG,DESCENDING,DO,ENTRY_POINT,EXIT,FILE,FILTER,FUNCTION,GDSCODE,GENERATOR,"
         "GEN_ID,GROUP_COMMIT_WAIT_TIME,IF,INACTIVE,INPUT_TYPE,INDEX,LOGFILE,LOG_BUFFER_SIZE,MANUAL,"
         "MAXIMUM_SEGMENT,MERGE, MESSAGE,MODULE_NAME,NCHAR,NUM_LOG_BUFFERS,OUTPUT_TYPE,OVERFLOW,PAGE,PAGES,"
         "PAGE_SIZE,PARAMETER,PASSWORD,PLAN,POST_EVENT,PROTECTED,RAW_PARTITIONS,RESERV,RESERVING,RETAIN,"
         "RETURNING_VALUES,RETURNS,SEGMENT,SHADOW,SHARED,SINGULAR,SNAPSHOT,SORT,STABILITY,STARTS,STARTING,"
         "STATISTICS,SUB_TYPE,SUSPEND,TRIGGER,VARIABLE,RECORD_VERSION,WAIT,WHILE,WORK";
}

AnsiString TZInterbase6DatabaseMetadata::ConstructNameCondition(const AnsiString& pattern,
                                                                const AnsiString& column) {
  if (pattern.size() > kMaxPatternLength) throw EZSQLException(SZPatternIsTooLong);
  if (pattern.empty() || pattern == "%") return AnsiString();
  if (HasNoWildcards(pattern)) return Format("%s = '%s'", {column, DoubleQuotes(StripEscape(pattern))});
  // Without the ESCAPE clause the server would take "\" as a plain character.
  return Format("%s || '' like '%s%%' ESCAPE '\\'", {column, DoubleQuotes(pattern)});
}

bool TZInterbase6DatabaseMetadata::HasNoWildcards(const AnsiString& pattern) {
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == kEscape) {
      ++i;  // the next character is escaped, wildcard or not
      continue;
    }
    if (pattern[i] == '_' || pattern[i] == '%') return false;
  }
  return true;
}

AnsiString TZInterbase6DatabaseMetadata::StripEscape(const AnsiString& pattern) {
  AnsiString result;
  bool escaped = false;
  for (char c : pattern) {
    if (c == kEscape && !escaped) {
      escaped = true;
      continue;
    }
    result += c;
    escaped = false;
  }
  return result;
}

AnsiString TZInterbase6DatabaseMetadata::GetPrivilege(const AnsiString& code) {
  if (code == "S") return "SELECT";
  if (code == "I") return "INSERT";
  if (code == "U") return "UPDATE";
  if (code == "D") return "DELETE";
  if (code == "R") return "REFERENCE";
  return AnsiString();
}

AnsiString TZInterbase6DatabaseMetadata::GetVersionText() {
  if (versionText_.empty())
    versionText_ =
        GetDatabaseVersionString(ibConnection_->GetPlainDriver().get(), ibConnection_->GetDBHandle());
  return versionText_;
}

bool TZInterbase6DatabaseMetadata::IsInterbase5() {
  const AnsiString version = GetVersionText();
  return version.find("Interbase 5") != AnsiString::npos || version.find("V5.") != AnsiString::npos;
}

Ref<IZResultSet> TZInterbase6DatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes({"TABLE", "VIEW", "SYSTEM TABLE"});
}
