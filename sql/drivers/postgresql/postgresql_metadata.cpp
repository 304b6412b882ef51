// PostgreSQL metadata: capabilities, the version test and quoting every
// builder uses, and the simpler catalogue lists (procedures and their
// columns, schemas, catalogues, table types, types, version columns and
// sequences).

#include "sql/drivers/postgresql/postgresql_metadata.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/postgresql/postgresql_connection.h"
#include "sql/drivers/postgresql/postgresql_types.h"

namespace {

// Procedure column kinds and the "nullable unknown" answer.
constexpr int kProcedureColumnIn = 1;
constexpr int kProcedureColumnReturn = 4;
constexpr int kProcedureColumnResult = 5;
constexpr int kNullableUnknown = 2;
constexpr int kPseudoColumn = 2;

namespace procedureColumns {
constexpr int kSchem = 2, kName = 3, kColumnName = 4, kColumnType = 5, kDataType = 6, kTypeName = 7, kNullable = 12;
}
namespace typeInfo {
constexpr int kTypeName = 1, kDataType = 2, kPrecision = 3, kNullable = 7, kCaseSensitive = 8, kSearchable = 9,
              kFixedPrecScale = 11, kAutoIncrement = 12, kRadix = 18;
}
namespace versionColumns {
constexpr int kColumnName = 2, kDataType = 3, kTypeName = 4, kPseudo = 8;
}
namespace sequences {
constexpr int kSchem = 2, kName = 3;
}

}  // namespace

TZPostgreSQLDatabaseMetadata::TZPostgreSQLDatabaseMetadata(IZConnection* connection, const AnsiString& url,
                                                           TStrings* info)
    : TZAbstractDatabaseMetadata(connection, url, info) {}

IZPostgreSQLConnection& TZPostgreSQLDatabaseMetadata::PgConnection() {
  auto* connection = dynamic_cast<IZPostgreSQLConnection*>(GetConnection().get());
  if (!connection) throw EZSQLException(SZUnsupportedOperation);
  return *connection;
}

bool TZPostgreSQLDatabaseMetadata::HasMinimumServerVersion(int major, int minor) {
  IZPostgreSQLConnection& connection = PgConnection();
  const int serverMajor = connection.GetServerMajorVersion();
  return serverMajor > major || (serverMajor == major && connection.GetServerMinorVersion() >= minor);
}

AnsiString TZPostgreSQLDatabaseMetadata::QuoteMetadataString(const AnsiString& value) {
  AnsiString text = HasMinimumServerVersion(8, 1) ? "E'" : "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') text += '\\';
    text += c;
  }
  return text + '\'';
}

AnsiString TZPostgreSQLDatabaseMetadata::GetTypeNameOfOid(Oid oid) { return PgConnection().GetTypeNameByOid(oid); }
TZSQLType TZPostgreSQLDatabaseMetadata::GetSQLTypeOfOid(Oid oid) {
  return SQLTypeFromTypeName(&PgConnection(), GetTypeNameOfOid(oid));
}
TZSQLType TZPostgreSQLDatabaseMetadata::GetSQLTypeOfName(const AnsiString& name) {
  return SQLTypeFromTypeName(&PgConnection(), name);
}

// --- capabilities

bool TZPostgreSQLDatabaseMetadata::SupportsOrderByUnrelated() { return HasMinimumServerVersion(6, 4); }
bool TZPostgreSQLDatabaseMetadata::SupportsGroupByUnrelated() { return HasMinimumServerVersion(6, 4); }
bool TZPostgreSQLDatabaseMetadata::SupportsGroupByBeyondSelect() { return HasMinimumServerVersion(6, 4); }
bool TZPostgreSQLDatabaseMetadata::SupportsSelectForUpdate() { return HasMinimumServerVersion(6, 5); }
bool TZPostgreSQLDatabaseMetadata::SupportsCorrelatedSubqueries() { return HasMinimumServerVersion(7, 1); }
bool TZPostgreSQLDatabaseMetadata::SupportsUnionAll() { return HasMinimumServerVersion(7, 1); }
bool TZPostgreSQLDatabaseMetadata::SupportsSchemasInDataManipulation() { return HasMinimumServerVersion(7, 3); }
bool TZPostgreSQLDatabaseMetadata::SupportsSchemasInProcedureCalls() { return HasMinimumServerVersion(7, 3); }
bool TZPostgreSQLDatabaseMetadata::SupportsSchemasInTableDefinitions() { return HasMinimumServerVersion(7, 3); }
bool TZPostgreSQLDatabaseMetadata::SupportsSchemasInIndexDefinitions() { return HasMinimumServerVersion(7, 3); }
bool TZPostgreSQLDatabaseMetadata::SupportsSchemasInPrivilegeDefinitions() { return HasMinimumServerVersion(7, 3); }
int TZPostgreSQLDatabaseMetadata::GetMaxRowSize() { return HasMinimumServerVersion(7, 1) ? 1073741824 : 8192; }
// 16348 is what old servers were always reported with.
int TZPostgreSQLDatabaseMetadata::GetMaxStatementLength() { return HasMinimumServerVersion(7, 0) ? 0 : 16348; }

bool TZPostgreSQLDatabaseMetadata::SupportsTransactionIsolationLevel(TZTransactIsolationLevel level) {
  return level == tiReadCommitted || level == tiSerializable;
}

int TZPostgreSQLDatabaseMetadata::QueryInteger(const AnsiString& sql, const char* column) {
  TZCatalogueQuery query(*GetConnection(), sql);
  if (!query.Next()) throw Exception(SZUnknownError);
  return query->GetInt(query.Column({column}));
}

int TZPostgreSQLDatabaseMetadata::GetNameTypeLength() {
  if (HasMinimumServerVersion(7, 3))
    return QueryInteger(" SELECT t.typlen FROM pg_catalog.pg_type t, pg_catalog.pg_namespace n WHERE "
                        "t.typnamespace=n.oid AND t.typname='name' AND n.nspname='pg_catalog' ",
                        "typlen");
  return QueryInteger(" SELECT typlen FROM pg_type WHERE typname='name' ", "typlen");
}

int TZPostgreSQLDatabaseMetadata::GetMaxColumnsInIndex() {
  const AnsiString from = HasMinimumServerVersion(7, 3)
                              ? " pg_catalog.pg_namespace n, pg_catalog.pg_type t1, pg_catalog.pg_type t2 WHERE "
                                "t1.typnamespace=n.oid AND n.nspname='pg_catalog' AND "
                              : " pg_type t1, pg_type t2 WHERE ";
  TZCatalogueQuery query(*GetConnection(), " SELECT t1.typlen/t2.typlen FROM " + from +
                                               " t1.typelem=t2.oid AND t1.typname='oidvector' ");
  if (!query.Next()) throw Exception(SZUnknownError);
  return query->GetInt(1);
}

AnsiString TZPostgreSQLDatabaseMetadata::GetSQLKeywords() {
  return "abort,absolute,access,action,add,admin,after,aggregate,all,also,alter,always,analyse,analyze,and,any,"
         "array,asc,assertion,assignment,asymmetric,at,authorization,backward,before,begin,between,bigint,binary,"
         "bit,boolean,both,cache,called,cascade,cascaded,case,cast,catalog,chain,character,characteristics,check,"
         "checkpoint,class,close,cluster,coalesce,collate,column,comment,commit,committed,concurrently,"
         "configuration,connect,connection,constraint,constraints,content,continue,conversion,convert,copy,cost,"
         "createdb,createrole,createuser,cross,csv,current,current_catalog,current_date,current_role,"
         "current_schema,current_time,current_timestamp,current_user,cursor,cycle,data,database,day,deallocate,"
         "dec,decimal,declare,default,defaults,deferrable,deferred,definer,delimiter,delimiters,desc,dictionary,"
         "disable,discard,distinct,do,document,domain,double,each,else,enable,encoding,encrypted,end,end-exec,"
         "enum,escape,except,excluding,exclusive,exec,execute,exists,explain,external,extract,false,family,fetch,"
         "first,float,following,for,force,foreign,forward,freeze,full,function,global,grant,granted,greatest,"
         "handler,header,hold,hour,identity,if,ilike,immediate,immutable,implicit,in,including,increment,indexes,"
         "inherit,inherits,initially,inner,inout,input,insensitive,instead,int,intersect,interval,invoker,isnull,"
         "isolation,join,lancompiler,language,large,last,lc_collate,lc_ctype,leading,least,left,level,like,limit,"
         "listen,load,local,localtime,localtimestamp,location,lock,login,mapping,match,maxvalue,minute,minvalue,"
         "mode,month,move,name,names,national,natural,nchar,new,next,no,nocreatedb,nocreaterole,nocreateuser,"
         "noinherit,nologin,none,nosuperuser,not,nothing,notify,notnull,nowait,nullif,nulls,numeric,object,of,off,"
         "offset,oids,old,only,operator,option,options,or,out,outer,over,overlaps,overlay,owned,owner,parser,"
         "partial,partition,password,placing,plans,position,preceding,precision,prepare,prepared,preserve,prior,"
         "privileges,procedural,procedure,quote,range,read,real,reassign,recheck,recursive,references,reindex,"
         "relative,release,rename,repeatable,replace,replica,reset,restart,restrict,return,returning,returns,"
         "revoke,right,role,rollback,row,rows,rule,savepoint,schema,scroll,search,second,security,sequence,"
         "serializable,server,session,session_user,setof,share,show,similar,simple,smallint,some,stable,"
         "standalone,start,statement,statistics,stdin,stdout,storage,strict,strip,substring,superuser,symmetric,"
         "sysid,system,tablespace,temp,template,temporary,text,then,time,timestamp,to,trailing,transaction,treat,"
         "trigger,trim,true,truncate,trusted,type,unbounded,uncommitted,unencrypted,union,unique,unknown,unlisten,"
         "until,user,using,vacuum,valid,validator,value,variadic,varying,verbose,version,view,volatile,when,"
         "whitespace,window,with,without,work,wrapper,write,xml,xmlattributes,xmlconcat,xmlelement,xmlforest,"
         "xmlparse,xmlpi,xmlroot,xmlserialize,year,yes,zone";
}

// --- simple lists

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetProcedures(const AnsiString&,
                                                                     const AnsiString& schemaPattern,
                                                                     const AnsiString& procedureNamePattern) {
  const AnsiString name = QuoteMetadataString(PatternOrAll(procedureNamePattern));
  AnsiString sql;
  if (HasMinimumServerVersion(7, 3)) {
    sql = "SELECT NULL AS PROCEDURE_CAT, n.nspname AS PROCEDURE_SCHEM, p.proname AS PROCEDURE_NAME, NULL AS "
          "RESERVED1, NULL AS RESERVED2, NULL AS RESERVED3, d.description AS REMARKS, 2 AS PROCEDURE_TYPE  FROM "
          "pg_catalog.pg_namespace n, pg_catalog.pg_proc p   LEFT JOIN pg_catalog.pg_description d ON "
          "(p.oid=d.objoid)  LEFT JOIN pg_catalog.pg_class c ON (d.classoid=c.oid AND c.relname='pg_proc') LEFT "
          "JOIN pg_catalog.pg_namespace pn ON (c.relnamespace=pn.oid AND pn.nspname='pg_catalog')  WHERE "
          "p.pronamespace=n.oid";
    if (!schemaPattern.empty()) sql += " AND n.nspname LIKE " + QuoteMetadataString(schemaPattern);
    sql += " AND p.proname LIKE " + name + " ORDER BY PROCEDURE_SCHEM, PROCEDURE_NAME";
  } else {
    sql = "SELECT NULL AS PROCEDURE_CAT, NULL AS PROCEDURE_SCHEM, p.proname AS PROCEDURE_NAME, NULL AS RESERVED1, "
          "NULL AS RESERVED2, NULL AS RESERVED3, NULL AS REMARKS, 2 AS PROCEDURE_TYPE FROM pg_proc p WHERE "
          "p.proname LIKE " + name + " ORDER BY PROCEDURE_NAME";
  }
  return CopyQuery(sql, ProceduresColumnDefs);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetProcedureColumns(const AnsiString&,
                                                                           const AnsiString& schemaPattern,
                                                                           const AnsiString& procedureNamePattern,
                                                                           const AnsiString&) {
  const AnsiString name = QuoteMetadataString(PatternOrAll(procedureNamePattern));
  AnsiString sql;
  if (HasMinimumServerVersion(7, 3)) {
    sql = "SELECT n.nspname,p.proname,p.prorettype,p.proargtypes,t.typtype,t.typrelid FROM pg_catalog.pg_proc p, "
          "pg_catalog.pg_namespace n, pg_catalog.pg_type t WHERE p.pronamespace=n.oid AND p.prorettype=t.oid";
    if (!schemaPattern.empty()) sql += " AND n.nspname LIKE " + QuoteMetadataString(schemaPattern);
    sql += " AND p.proname LIKE " + name + " ORDER BY n.nspname, p.proname";
  } else {
    sql = "SELECT NULL AS nspname,p.proname,p.prorettype,p.proargtypes,t.typtype,t.typrelid FROM pg_proc p, "
          "pg_type t WHERE p.prorettype=t.oid AND p.proname LIKE " + name + " ORDER BY p.proname";
  }

  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ProcedureColumnsColumnDefs);
  auto addRow = [&](const AnsiString& schema, const AnsiString& procedure, const AnsiString& column, int kind,
                    Oid type) {
    using namespace procedureColumns;
    result->MoveToInsertRow();
    result->UpdateString(kSchem, schema);
    result->UpdateString(kName, procedure);
    result->UpdateString(kColumnName, column);
    result->UpdateInt(kColumnType, kind);
    result->UpdateInt(kDataType, GetSQLTypeOfOid(type));
    result->UpdateString(kTypeName, GetTypeNameOfOid(type));
    result->UpdateInt(kNullable, kNullableUnknown);
    result->InsertRow();
  };
  auto oidOf = [](const AnsiString& text) { return static_cast<Oid>(StrToInt64Def(text, 0)); };

  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    const AnsiString schema = query->GetStringByName("nspname");
    const AnsiString procedure = query->GetStringByName("proname");
    const Oid returnType = oidOf(query->GetStringByName("prorettype"));
    const bool composite = query->GetStringByName("typtype") == "c";
    if (!composite) addRow(schema, procedure, "returnValue", kProcedureColumnReturn, returnType);

    TStringList arguments;
    PutSplitString(&arguments, query->GetStringByName("proargtypes"), "\n\r\t ");
    for (int i = 0; i < arguments.Count(); ++i)
      addRow(schema, procedure, "$" + IntToStr(i), kProcedureColumnIn, oidOf(arguments[i]));

    if (!composite) continue;
    const AnsiString columnsSql =
        Format("SELECT a.attname,a.atttypid FROM pg_catalog.pg_attribute a WHERE a.attrelid=%s ORDER BY a.attnum",
               {IntToStr(static_cast<std::int64_t>(oidOf(query->GetStringByName("typrelid"))))});
    TZCatalogueQuery columns(*GetConnection(), columnsSql);
    while (columns.Next())
      addRow(schema, procedure, columns->GetStringByName("attname"), kProcedureColumnResult,
             oidOf(columns->GetStringByName("atttypid")));
  }
  return result;
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetSchemas() {
  if (HasMinimumServerVersion(7, 3))
    return CopyQuery("SELECT nspname AS TABLE_SCHEM FROM pg_catalog.pg_namespace WHERE nspname <> 'pg_toast' AND "
                     "nspname NOT LIKE 'pg\\\\_temp\\\\_%' ORDER BY TABLE_SCHEM",
                     SchemasColumnDefs);
  return CopyQuery("SELECT ''::text AS TABLE_SCHEM ORDER BY TABLE_SCHEM", SchemasColumnDefs);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetCatalogs() {
  if (HasMinimumServerVersion(7, 3))
    return CopyQuery("SELECT datname AS TABLE_CAT FROM pg_catalog.pg_database ORDER BY TABLE_CAT", CatalogsColumnDefs);
  return CopyQuery("SELECT datname AS TABLE_CAT FROM pg_database ORDER BY TABLE_CAT", CatalogsColumnDefs);
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes({"TABLE", "VIEW", "INDEX", "SEQUENCE", "SYSTEM TABLE", "SYSTEM TOAST TABLE",
                              "SYSTEM TOAST INDEX", "SYSTEM VIEW", "SYSTEM INDEX", "TEMPORARY TABLE",
                              "TEMPORARY INDEX"});
}

Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetTypeInfo() {
  const char* sql =
      HasMinimumServerVersion(7, 3) ? " SELECT typname FROM pg_catalog.pg_type " : " SELECT typname FROM pg_type ";
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TypeInfoColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    using namespace typeInfo;
    const AnsiString name = query->GetString(1);
    result->MoveToInsertRow();
    result->UpdateString(kTypeName, name);
    result->UpdateInt(kDataType, GetSQLTypeOfName(name));
    result->UpdateInt(kPrecision, 9);
    result->UpdateInt(kNullable, 0);
    result->UpdateBoolean(kCaseSensitive, false);
    result->UpdateInt(kSearchable, 0);
    result->UpdateBoolean(kFixedPrecScale, false);
    result->UpdateBoolean(kAutoIncrement, false);
    result->UpdateInt(kRadix, 10);
    result->InsertRow();
  }
  return result;
}

// Every table has the row address ctid, which changes with each update.
Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetVersionColumns(const AnsiString&, const AnsiString&,
                                                                         const AnsiString&) {
  using namespace versionColumns;
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(VersionColumnsColumnDefs);
  result->MoveToInsertRow();
  result->UpdateString(kColumnName, "ctid");
  result->UpdateInt(kDataType, GetSQLTypeOfName("tid"));
  result->UpdateString(kTypeName, "tid");
  result->UpdateInt(kPseudo, kPseudoColumn);
  result->InsertRow();
  return result;
}

// Names are compared whole, so they go in as quoted values like any other.
Ref<IZResultSet> TZPostgreSQLDatabaseMetadata::UncachedGetSequences(const AnsiString&,
                                                                    const AnsiString& schemaPattern,
                                                                    const AnsiString& sequenceNamePattern) {
  AnsiString sql = " SELECT nspname, relname FROM pg_catalog.pg_namespace n, pg_catalog.pg_class ct WHERE relkind "
                   "= 'S' AND n.oid = ct.relnamespace";
  if (!sequenceNamePattern.empty()) sql += " AND relname = " + QuoteMetadataString(sequenceNamePattern);
  if (!schemaPattern.empty()) sql += " AND nspname = " + QuoteMetadataString(schemaPattern);
  Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(SequencesColumnDefs);
  TZCatalogueQuery query(*GetConnection(), sql);
  while (query.Next()) {
    result->MoveToInsertRow();
    result->UpdateString(sequences::kSchem, query->GetString(1));
    result->UpdateString(sequences::kName, query->GetString(2));
    result->InsertRow();
  }
  return result;
}
