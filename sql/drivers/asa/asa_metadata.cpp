// The ASA catalogue: each question is one of the server's sp_jdbc_
// procedures, whose answers carry the standard column names; their type
// codes are the catalogue's JDBC-style codes. Computed columns come from
// the system tables.

#include "sql/drivers/asa/asa_metadata.h"

#include <map>
#include <tuple>

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/catalogue_query.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/drivers/asa/asa_utils.h"

namespace {

AnsiString Quoted(const AnsiString& value) { return QuoteOrNull(value, '\''); }
// A pattern the server takes as "everything" when empty.
AnsiString Pattern(const AnsiString& value) { return QuoteOrDefault(value, "'%'", '\''); }

// Columns the procedures do not answer for, set to an empty text.
TZRowFiller EmptyColumns(std::initializer_list<const char*> names, const TZRowFiller& more = {}) {
  std::vector<const char*> columns(names);
  return [columns, more](IZResultSet& source, IZVirtualResultSet& result) {
    for (const char* name : columns) result.UpdateStringByName(name, "");
    if (more) more(source, result);
  };
}

void ConvertDataType(IZResultSet& source, IZVirtualResultSet& result) {
  result.UpdateShortByName("DATA_TYPE", static_cast<std::int16_t>(
                                            ConvertASAJDBCToSqlType(source.GetShortByName("DATA_TYPE"))));
}

// The procedure's parameter kinds as procedure-column types.
std::int16_t ProcedureColumnType(std::int16_t kind) {
  switch (kind) {
    case 1: return 1;
    case 2: return 3;
    case 3: return 2;
    case 5: return 4;
    default: return 0;
  }
}

const std::vector<TZCatalogueColumn> kKeyColumns = {
    {"PKTABLE_SCHEM"}, {"PKTABLE_NAME"}, {"PKCOLUMN_NAME"}, {"FKTABLE_SCHEM"}, {"FKTABLE_NAME"},
    {"FKCOLUMN_NAME"}, {"KEY_SEQ"},      {"UPDATE_RULE"},   {"DELETE_RULE"},   {"FK_NAME"},
    {"PK_NAME"},       {"DEFERRABILITY"}};

}  // namespace

TZASADatabaseMetadata::TZASADatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info)
    : TZAbstractDatabaseMetadata(connection, url, info) {}

AnsiString TZASADatabaseMetadata::GetSQLKeywords() {
  return "add,all,alter,and,any,as,asc,backup,begin,between,bigint,binary,bit,bottom,break,by,call,capability,"
         "cascade,case,cast,char,char_convert,character,check,checkpoint,close,comment,commit,connect,constraint,"
         "contains,continue,convert,create,cross,cube,current,cursor,date,dbspace,deallocate,dec,decimal,declare,"
         "default,delete,deleting,desc,distinct,do,double,drop,dynamic,else,elseif,encrypted,end,endif,escape,"
         "exception,exec,execute,existing,exists,externlogin,fetch,first,float,for,foreign,forward,from,full,goto,"
         "grant,group,having,holdlock,identified,if,in,index,inner,inout,insensitive,insert,inserting,install,"
         "instead,int,integer,integrated,into,iq,is,isolation,join,key,left,like,lock,login,long,match,membership,"
         "message,mode,modify,natural,new,no,noholdlock,not,notify,null,numeric,of,off,on,open,option,options,or,"
         "order,others,out,outer,over,passthrough,precision,prepare,primary,print,privileges,proc,procedure,"
         "publication,raiserror,readtext,real,reference,references,release,remote,remove,rename,reorganize,"
         "resource,restore,restrict,returnrevoke,right,rollback,rollup,save,savepoint,schedule,scroll,select,"
         "sensitive,session,set,setuser,share,smallint,some,sqlcode,sqlstate,start,stop,subtrans,subtransaction,"
         "synchronize,syntax_error,table,temporary,then,time,timestamp,tinyint,to,top,tran,trigger,truncate,"
         "tsequal,union,unique,unknown,unsigned,update,updating,user,using,validate,values,varbinary,varchar,"
         "variable,varying,view,wait,waitfor,when,where,while,with,with_lparen,work,writetext";
}

AnsiString TZASADatabaseMetadata::GetNumericFunctions() {
  return "ABS,ACOS,ASIN,ATAN,ATN2,CEILING,COS,COT,DEGREES,EXP,FLOOR,LOG,LOG10,MOD,PI,POWER,RADIANS,RAND,REMAINDER,"
         "ROUND,SIGN,SIN,SQRT,TAN,TRUNCATE,TRUNCNUM";
}

AnsiString TZASADatabaseMetadata::GetStringFunctions() {
  return "ASCII,BYTE_LENGTH,BYTE_SUBSTR,CHAR,CHARINDEX,CHAR_LENGTH,COMPARE,CSCONVERT,DIFFERENCE,INSERTSTR,LCASE,LEFT,"
         "LENGTH,LOCATE,LOWER,LTRIM,PATINDEX,REPEAT,REPLACE,REPLICATE,RIGHT,RTRIM,SIMILAR,SORTKEY,SOUNDEX,SPACE,STR,"
         "STRING,STRTOUUID,STUFF,SUBSTRING,TRIM,UCASE,UPPER,UUIDTOSTR";
}

AnsiString TZASADatabaseMetadata::GetSystemFunctions() {
  return "CONNECTION_PROPERTY,DATALENGTH,DB_ID,DB_NAME,DB_PROPERTY,EVENT_CONDITION,EVENT_CONDITION_NAME,"
         "EVENT_PARAMETER,NEXT_CONNECTION,NEXT_DATABASE,PROPERTY,PROPERTY_DESCRIPTION,PROPERTY_NAME,PROPERTY_NUMBER,"
         "Col_length,Col_name,Datalength,Index_col,Object_id,Object_name,Suser_id,Suser_name,Tsequal,User_id,"
         "User_name,ARGN,COALESCE,ESTIMATE,ESTIMATE_SOURCE,EXPERIENCE_ESTIMATE,EXPLANATION,GET_IDENTITY,"
         "GRAPHICAL_PLAN,GRAPHICAL_ULPLAN,GREATER,IDENTITY,IFNULL,INDEX_ESTIMATE,ISNULL,LESSER,LONG_ULPLAN,NEWID,"
         "NULLIF,NUMBER,PLAN,REWRITE,SHORT_ULPLAN,SQLDIALECT,TRACEBACK,TRANSACTSQL,VAREXISTS,WATCOMSQL,TEXTPTR";
}

AnsiString TZASADatabaseMetadata::GetTimeDateFunctions() {
  return "DATE,DATEADD,DATEDIFF,DATEFORMAT,DATENAME,DATEPART,DATETIME,DAY,DAYNAME,DAYS,DOW,GETDATE,HOUR,HOURS,"
         "MINUTE,MINUTES,MONTH,MONTHNAME,MONTHS,NOW,QUARTER,SECOND,SECONDS,TODAY,WEEKS,YEARS,YMD";
}

Ref<IZVirtualResultSet> TZASADatabaseMetadata::CopyProcedure(const AnsiString& sql, const TZMetadataColumnDefs& layout,
                                                             const std::vector<TZCatalogueColumn>& columns,
                                                             const TZRowFiller& fill) {
  return CopyCatalogue(sql, layout, columns, fill, true);
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetProcedures(const AnsiString& catalog,
                                                              const AnsiString& schemaPattern,
                                                              const AnsiString& procedureNamePattern) {
  return CopyProcedure(Format("exec sp_jdbc_stored_procedures %s, %s, %s",
                              {Quoted(catalog), Quoted(schemaPattern), Quoted(procedureNamePattern)}),
                       ProceduresColumnDefs,
                       {{"PROCEDURE_SCHEM"}, {"PROCEDURE_NAME"}, {"REMARKS"}, {"PROCEDURE_TYPE"}},
                       EmptyColumns({"PROCEDURE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetProcedureColumns(const AnsiString& catalog,
                                                                    const AnsiString& schemaPattern,
                                                                    const AnsiString& procedureNamePattern,
                                                                    const AnsiString& columnNamePattern) {
  return CopyProcedure(
      Format("exec sp_jdbc_getprocedurecolumns %s, %s, %s, %s",
             {Quoted(catalog), Quoted(schemaPattern), Quoted(procedureNamePattern), Quoted(columnNamePattern)}),
      ProcedureColumnsColumnDefs,
      {{"PROCEDURE_SCHEM"}, {"PROCEDURE_NAME"}, {"COLUMN_NAME"}, {"TYPE_NAME"}, {"PRECISION"}, {"LENGTH"},
       {"SCALE"}, {"RADIX"}, {"NULLABLE"}, {"REMARKS"}},
      EmptyColumns({"PROCEDURE_CAT"}, [](IZResultSet& source, IZVirtualResultSet& result) {
        result.UpdateShortByName("COLUMN_TYPE", ProcedureColumnType(source.GetShortByName("COLUMN_TYPE")));
        ConvertDataType(source, result);
      }));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                          const AnsiString& tableNamePattern,
                                                          const TZStringDynArray& types) {
  return CopyProcedure(Format("exec sp_jdbc_tables %s, %s, %s, %s", {Quoted(tableNamePattern), Quoted(schemaPattern),
                                                                      Quoted(catalog), CatalogueTypeList(types)}),
                       TablesColumnDefs, {{"TABLE_SCHEM"}, {"TABLE_NAME"}, {"TABLE_TYPE"}, {"REMARKS"}},
                       EmptyColumns({"TABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetSchemas() {
  return CopyProcedure("exec sp_jdbc_getschemas", SchemasColumnDefs, {{"TABLE_SCHEM"}});
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetTableTypes() {
  return ConstructTableTypes({"TABLE", "BASE", "SYSTEM", "VIEW", "GLOBAL TEMPORARY"});
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                           const AnsiString& tableNamePattern,
                                                           const AnsiString& columnNamePattern) {
  Ref<IZVirtualResultSet> result = CopyProcedure(
      Format("exec sp_jdbc_columns %s, %s, %s, %s",
             {Quoted(tableNamePattern), Quoted(schemaPattern), Quoted(catalog), Quoted(columnNamePattern)}),
      ColumnsColumnDefs,
      {{"TABLE_SCHEM"}, {"TABLE_NAME"}, {"COLUMN_NAME"}, {"TYPE_NAME"}, {"COLUMN_SIZE"}, {"BUFFER_LENGTH"},
       {"DECIMAL_DIGITS"}, {"NUM_PREC_RADIX"}, {"REMARKS"}, {"COLUMN_DEF"}, {"SQL_DATA_TYPE"},
       {"SQL_DATETIME_SUB"}, {"CHAR_OCTET_LENGTH"}, {"ORDINAL_POSITION"}, {"IS_NULLABLE"}, {"NULLABLE"}},
      EmptyColumns({"TABLE_CAT"}, [](IZResultSet& source, IZVirtualResultSet& result) {
        result.UpdateBooleanByName("AUTO_INCREMENT",
                                   AnsiSameText(Trim(source.GetStringByName("COLUMN_DEF")), "autoincrement"));
        result.UpdateBooleanByName("SEARCHABLE", false);
        result.UpdateBooleanByName("WRITABLE", true);
        result.UpdateBooleanByName("DEFINITELYWRITABLE", true);
        result.UpdateBooleanByName("READONLY", false);
      }));

  // Each computed column finds its own row by owner, table and position:
  // patterns may match several tables, listed in any order.
  std::map<std::tuple<AnsiString, AnsiString, int>, int> rows;
  for (result->BeforeFirst(); result->Next();)
    rows.emplace(std::make_tuple(result->GetStringByName("TABLE_SCHEM"), result->GetStringByName("TABLE_NAME"),
                                 result->GetIntByName("ORDINAL_POSITION")),
                 result->GetRow());
  TZCatalogueQuery computed(
      *GetConnection(),
      Format("select c.column_id,c.nulls,USER_NAME(t.creator),t.table_name from SYS.SYSCOLUMN as c join "
             "SYS.SYSTABLE as t on c.table_id=t.table_id where t.table_name like %s escape '\\' and "
             "USER_NAME(t.creator) like %s escape '\\' and c.column_name like %s escape '\\' and "
             "c.column_type='C' order by USER_NAME(t.creator) asc,t.table_name asc,c.column_id asc",
             {Pattern(tableNamePattern), Pattern(schemaPattern), Pattern(columnNamePattern)}));
  while (computed.Next()) {
    const auto row = rows.find(std::make_tuple(computed->GetString(3), computed->GetString(4), computed->GetInt(1)));
    if (row == rows.end() || !result->MoveAbsolute(row->second)) continue;
    result->UpdateBooleanByName("WRITABLE", false);
    result->UpdateBooleanByName("DEFINITELYWRITABLE", false);
    result->UpdateBooleanByName("READONLY", true);
    if (computed->GetString(2) == "N") {
      result->UpdateShortByName("NULLABLE", 0);
      result->UpdateStringByName("IS_NULLABLE", "NO");
    }
    result->UpdateRow();
  }
  result->BeforeFirst();
  return result;
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetColumnPrivileges(const AnsiString& catalog,
                                                                    const AnsiString& schema,
                                                                    const AnsiString& table,
                                                                    const AnsiString& columnNamePattern) {
  return CopyProcedure(Format("exec sp_jdbc_getcolumnprivileges %s, %s, %s, %s",
                              {Quoted(catalog), Quoted(schema), Quoted(table), Quoted(columnNamePattern)}),
                       ColumnPrivilegesColumnDefs,
                       {{"TABLE_SCHEM"}, {"TABLE_NAME"}, {"COLUMN_NAME"}, {"GRANTOR"}, {"GRANTEE"}, {"PRIVILEGE"},
                        {"IS_GRANTABLE"}},
                       EmptyColumns({"TABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetTablePrivileges(const AnsiString& catalog,
                                                                   const AnsiString& schemaPattern,
                                                                   const AnsiString& tableNamePattern) {
  return CopyProcedure(Format("exec sp_jdbc_gettableprivileges %s, %s, %s",
                              {Quoted(catalog), Quoted(schemaPattern), Quoted(tableNamePattern)}),
                       TablePrivilegesColumnDefs,
                       {{"TABLE_SCHEM"}, {"TABLE_NAME"}, {"GRANTOR"}, {"GRANTEE"}, {"PRIVILEGE"}, {"IS_GRANTABLE"}},
                       EmptyColumns({"TABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                                                  const AnsiString& table) {
  return CopyProcedure(
      Format("exec sp_jdbc_getversioncolumns %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
      VersionColumnsColumnDefs,
      {{"SCOPE"}, {"COLUMN_NAME"}, {"TYPE_NAME"}, {"COLUMN_SIZE"}, {"BUFFER_LENGTH"}, {"DECIMAL_DIGITS"},
       {"PSEUDO_COLUMN"}},
      ConvertDataType);
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                               const AnsiString& table) {
  return CopyProcedure(
      Format("exec sp_jdbc_primarykey %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
      PrimaryKeysColumnDefs, {{"TABLE_SCHEM"}, {"TABLE_NAME"}, {"COLUMN_NAME"}, {"KEY_SEQ"}, {"PK_NAME"}},
      EmptyColumns({"TABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                const AnsiString& table) {
  return CopyProcedure(Format("exec sp_jdbc_importkey %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
                       ImportedKeysColumnDefs, kKeyColumns, EmptyColumns({"PKTABLE_CAT", "FKTABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                                const AnsiString& table) {
  return CopyProcedure(Format("exec sp_jdbc_exportkey %s, %s, %s", {Quoted(catalog), Quoted(schema), Quoted(table)}),
                       ExportedKeysColumnDefs, kKeyColumns, EmptyColumns({"PKTABLE_CAT", "FKTABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetCrossReference(
    const AnsiString& primaryCatalog, const AnsiString& primarySchema, const AnsiString& primaryTable,
    const AnsiString& foreignCatalog, const AnsiString& foreignSchema, const AnsiString& foreignTable) {
  return CopyProcedure(Format("exec sp_jdbc_getcrossreferences %s, %s, %s, %s, %s, %s",
                              {Quoted(primaryCatalog), Quoted(primarySchema), Quoted(primaryTable),
                               Quoted(foreignCatalog), Quoted(foreignSchema), Quoted(foreignTable)}),
                       CrossReferenceColumnDefs, kKeyColumns, EmptyColumns({"PKTABLE_CAT", "FKTABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetTypeInfo() {
  return CopyProcedure("exec sp_jdbc_datatype_info", TypeInfoColumnDefs,
                       {{"TYPE_NAME"}, {"PRECISION"}, {"LITERAL_PREFIX"}, {"LITERAL_SUFFIX"}, {"CREATE_PARAMS"},
                        {"NULLABLE"}, {"CASE_SENSITIVE"}, {"SEARCHABLE"}, {"UNSIGNED_ATTRIBUTE"},
                        {"FIXED_PREC_SCALE"}, {"AUTO_INCREMENT"}, {"LOCAL_TYPE_NAME"}, {"MINIMUM_SCALE"},
                        {"MAXIMUM_SCALE"}, {"SQL_DATA_TYPE"}, {"SQL_DATETIME_SUB"}, {"NUM_PREC_RADIX"}},
                       ConvertDataType);
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                             const AnsiString& table, bool unique, bool approximate) {
  return CopyProcedure(Format("exec sp_jdbc_getindexinfo %s, %s, %s, %s, %s",
                              {Quoted(catalog), Quoted(schema), Quoted(table), AnsiString(unique ? "'1'" : "'0'"),
                               AnsiString(approximate ? "'1'" : "'0'")}),
                       IndexInfoColumnDefs,
                       {{"TABLE_SCHEM"}, {"TABLE_NAME"}, {"NON_UNIQUE"}, {"INDEX_QUALIFIER"}, {"INDEX_NAME"},
                        {"TYPE"}, {"ORDINAL_POSITION"}, {"COLUMN_NAME"}, {"ASC_OR_DESC"}, {"CARDINALITY"},
                        {"PAGES"}, {"FILTER_CONDITION"}},
                       EmptyColumns({"TABLE_CAT"}));
}

Ref<IZResultSet> TZASADatabaseMetadata::UncachedGetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                        const AnsiString& typeNamePattern,
                                                        const TZIntegerDynArray& types) {
  TZStringDynArray typeTexts;
  for (int type : types) typeTexts.push_back(IntToStr(type));
  return CopyProcedure(Format("exec sp_jdbc_getudts %s, %s, %s, %s",
                              {Quoted(catalog), Pattern(schemaPattern), Pattern(typeNamePattern),
                               CatalogueTypeList(typeTexts)}),
                       UDTsColumnDefs,
                       {{"TYPE_CAT"}, {"TYPE_SCHEM"}, {"TYPE_NAME"}, {"CLASS_NAME", "JAVA_CLASS"}, {"REMARKS"}}, ConvertDataType);
}
