// The client library's handle and row types, declared here as the library
// declares them, so that the driver's headers (and everything above the
// driver) need not include the library's own header; only the driver's
// sources do.
#pragma once

struct st_mysql;
struct st_mysql_res;
struct st_mysql_field;
struct st_mysql_rows;
struct st_mysql_stmt;
struct st_mysql_bind;

typedef struct st_mysql MYSQL;
typedef struct st_mysql_res MYSQL_RES;
typedef struct st_mysql_field MYSQL_FIELD;
typedef struct st_mysql_rows MYSQL_ROWS;
typedef struct st_mysql_stmt MYSQL_STMT;
typedef struct st_mysql_bind MYSQL_BIND;
typedef char** MYSQL_ROW;
typedef unsigned int MYSQL_FIELD_OFFSET;
typedef MYSQL_ROWS* MYSQL_ROW_OFFSET;
