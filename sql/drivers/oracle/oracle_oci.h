// The client call interface as this driver uses it: the scalar types, the
// opaque handle types, the codes the driver passes, and the prototypes of all
// 71 bound calls. Written for this system and shared with the tests'
// client double; the driver never links these functions, it takes their
// types for the addresses it looks up by name.
#pragma once

#include <cstddef>
#include <cstdint>

using sword = std::int32_t;
using uword = unsigned int;
using sb1 = std::int8_t;
using ub1 = std::uint8_t;
using sb2 = std::int16_t;
using ub2 = std::uint16_t;
using sb4 = std::int32_t;
using ub4 = std::uint32_t;
using OraText = unsigned char;

extern "C" {
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIStmt;
struct OCIServer;
struct OCISession;
struct OCITrans;
struct OCIDefine;
struct OCIBind;
struct OCISnapshot;
struct OCIDateTime;
struct OCILobLocator;
struct OCIResult;
struct OCIDescribe;
}

// Call statuses.
inline constexpr sword OCI_SUCCESS = 0;
inline constexpr sword OCI_SUCCESS_WITH_INFO = 1;
inline constexpr sword OCI_NEED_DATA = 99;
inline constexpr sword OCI_NO_DATA = 100;
inline constexpr sword OCI_ERROR = -1;
inline constexpr sword OCI_INVALID_HANDLE = -2;
inline constexpr sword OCI_STILL_EXECUTING = -3123;
inline constexpr sword OCI_CONTINUE = -24200;

// Handle types.
inline constexpr ub4 OCI_HTYPE_ENV = 1;
inline constexpr ub4 OCI_HTYPE_ERROR = 2;
inline constexpr ub4 OCI_HTYPE_SVCCTX = 3;
inline constexpr ub4 OCI_HTYPE_STMT = 4;
inline constexpr ub4 OCI_HTYPE_SERVER = 8;
inline constexpr ub4 OCI_HTYPE_SESSION = 9;
inline constexpr ub4 OCI_HTYPE_TRANS = 10;

// Descriptor types.
inline constexpr ub4 OCI_DTYPE_LOB = 50;
inline constexpr ub4 OCI_DTYPE_PARAM = 53;
inline constexpr ub4 OCI_DTYPE_TIMESTAMP = 68;

// Attribute codes.
inline constexpr ub4 OCI_ATTR_DATA_SIZE = 1;
inline constexpr ub4 OCI_ATTR_DATA_TYPE = 2;
inline constexpr ub4 OCI_ATTR_NAME = 4;
inline constexpr ub4 OCI_ATTR_PRECISION = 5;
inline constexpr ub4 OCI_ATTR_SCALE = 6;
inline constexpr ub4 OCI_ATTR_SERVER = 6;  // of a service context
inline constexpr ub4 OCI_ATTR_SESSION = 7;
inline constexpr ub4 OCI_ATTR_TRANS = 8;
inline constexpr ub4 OCI_ATTR_ROW_COUNT = 9;
inline constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;
inline constexpr ub4 OCI_ATTR_USERNAME = 22;
inline constexpr ub4 OCI_ATTR_PASSWORD = 23;
inline constexpr ub4 OCI_ATTR_STMT_TYPE = 24;

// Modes, flags and kinds.
inline constexpr ub4 OCI_DEFAULT = 0;
inline constexpr ub4 OCI_THREADED = 1;
inline constexpr ub4 OCI_CRED_RDBMS = 1;
inline constexpr ub4 OCI_NTV_SYNTAX = 1;
inline constexpr ub4 OCI_DESCRIBE_ONLY = 16;
inline constexpr ub2 OCI_FETCH_NEXT = 2;
inline constexpr ub4 OCI_TRANS_READWRITE = 512;
inline constexpr ub4 OCI_TRANS_SERIALIZABLE = 1024;
inline constexpr ub2 OCI_STMT_SELECT = 1;
inline constexpr ub1 OCI_LOB_READONLY = 1;
inline constexpr ub1 OCI_LOB_READWRITE = 2;
inline constexpr ub1 OCI_TEMP_BLOB = 1;
inline constexpr ub1 OCI_TEMP_CLOB = 2;
inline constexpr ub1 SQLCS_IMPLICIT = 1;
inline constexpr ub1 OCI_ONE_PIECE = 0;
inline constexpr ub2 OCI_DURATION_SESSION = 8;

// External data type codes of defines and binds.
inline constexpr ub2 SQLT_INT = 3;
inline constexpr ub2 SQLT_FLT = 4;
inline constexpr ub2 SQLT_STR = 5;
inline constexpr ub2 SQLT_LVC = 94;
inline constexpr ub2 SQLT_LVB = 95;
inline constexpr ub2 SQLT_CLOB = 112;
inline constexpr ub2 SQLT_BLOB = 113;
inline constexpr ub2 SQLT_TIMESTAMP = 187;

using OCICallbackLobRead = sb4 (*)(void* context, const void* buffer, ub4 length, ub1 piece);
using OCICallbackLobWrite = sb4 (*)(void* context, void* buffer, ub4* length, ub1* piece);
using OCICallbackInBind = sb4 (*)(void* context, OCIBind* bind, ub4 iteration, ub4 index, void** buffer, ub4* length,
                                  ub1* piece, void** indicator);
using OCICallbackOutBind = sb4 (*)(void* context, OCIBind* bind, ub4 iteration, ub4 index, void** buffer,
                                   ub4** length, ub1* piece, void** indicator, ub2** returnCode);

extern "C" {
sword OCIInitialize(ub4 mode, void* context, void* (*malloc_fn)(void*, std::size_t),
                    void* (*realloc_fn)(void*, void*, std::size_t), void (*free_fn)(void*, void*));
sword OCIEnvInit(OCIEnv** env, ub4 mode, std::size_t extra_size, void** user_memory);
sword OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t extra_size, void** user_memory);
sword OCIHandleFree(void* handle, ub4 type);
sword OCIServerAttach(OCIServer* server, OCIError* error, const OraText* link, sb4 link_length, ub4 mode);
sword OCIServerDetach(OCIServer* server, OCIError* error, ub4 mode);
sword OCIAttrSet(void* target, ub4 target_type, void* value, ub4 size, ub4 attribute, OCIError* error);
sword OCIAttrGet(const void* target, ub4 target_type, void* value, ub4* size, ub4 attribute, OCIError* error);
sword OCISessionBegin(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 credentials, ub4 mode);
sword OCISessionEnd(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 mode);
sword OCIErrorGet(void* handle, ub4 record, OraText* sql_state, sb4* error_code, OraText* buffer, ub4 buffer_size,
                  ub4 type);
sword OCITransStart(OCISvcCtx* context, OCIError* error, uword timeout, ub4 flags);
sword OCITransCommit(OCISvcCtx* context, OCIError* error, ub4 flags);
sword OCITransRollback(OCISvcCtx* context, OCIError* error, ub4 flags);
sword OCIStmtPrepare(OCIStmt* statement, OCIError* error, const OraText* text, ub4 text_length, ub4 language,
                     ub4 mode);
sword OCIStmtExecute(OCISvcCtx* context, OCIStmt* statement, OCIError* error, ub4 iterations, ub4 row_offset,
                     const OCISnapshot* snapshot_in, OCISnapshot* snapshot_out, ub4 mode);
sword OCIStmtFetch(OCIStmt* statement, OCIError* error, ub4 rows, ub2 orientation, ub4 mode);
sword OCIParamGet(const void* handle, ub4 type, OCIError* error, void** parameter, ub4 position);
sword OCIDefineByPos(OCIStmt* statement, OCIDefine** define, OCIError* error, ub4 position, void* value,
                     sb4 value_size, ub2 type, void* indicator, ub2* length, ub2* return_code, ub4 mode);
sword OCIBindByPos(OCIStmt* statement, OCIBind** bind, OCIError* error, ub4 position, void* value, sb4 value_size,
                   ub2 type, void* indicator, ub2* length, ub2* return_code, ub4 array_length, ub4* array_count,
                   ub4 mode);
sword OCIDescriptorAlloc(const void* parent, void** descriptor, ub4 type, std::size_t extra_size,
                         void** user_memory);
sword OCIDescriptorFree(void* descriptor, ub4 type);
sword OCIDateTimeConstruct(void* env, OCIError* error, OCIDateTime* datetime, sb2 year, ub1 month, ub1 day, ub1 hour,
                           ub1 minute, ub1 second, ub4 fraction, OraText* time_zone, std::size_t time_zone_length);
sword OCIDateTimeGetDate(void* env, OCIError* error, const OCIDateTime* datetime, sb2* year, ub1* month, ub1* day);
sword OCIDateTimeGetTime(void* env, OCIError* error, OCIDateTime* datetime, ub1* hour, ub1* minute, ub1* second,
                         ub4* fraction);
sword OCILobOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub1 mode);
sword OCILobClose(OCISvcCtx* context, OCIError* error, OCILobLocator* locator);
sword OCILobRead(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset, void* buffer,
                 ub4 buffer_length, void* callback_context, OCICallbackLobRead callback, ub2 charset, ub1 form);
sword OCILobWrite(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset, void* buffer,
                  ub4 buffer_length, ub1 piece, void* callback_context, OCICallbackLobWrite callback, ub2 charset,
                  ub1 form);
sword OCILobTrim(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 new_length);
sword OCILobCreateTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub2 charset, ub1 form,
                            ub1 lob_type, int cache, ub2 duration);
sword OCILobFreeTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator);

// Bound and exposed, though the driver itself does not call them (flags
// written through an int* are the client's booleans).
sword OCIEnvCreate(OCIEnv** env, ub4 mode, void* context, void* (*malloc_fn)(void*, std::size_t),
                   void* (*realloc_fn)(void*, void*, std::size_t), void (*free_fn)(void*, void*),
                   std::size_t extra_size, void** user_memory);
sword OCIServerVersion(void* handle, OCIError* error, OraText* buffer, ub4 buffer_size, ub1 handle_type);
sword OCIBreak(void* handle, OCIError* error);
sword OCIReset(void* handle, OCIError* error);
sword OCIPasswordChange(OCISvcCtx* context, OCIError* error, const OraText* user, ub4 user_length,
                        const OraText* old_password, ub4 old_password_length, const OraText* new_password,
                        ub4 new_password_length, ub4 mode);
sword OCITransDetach(OCISvcCtx* context, OCIError* error, ub4 flags);
sword OCITransPrepare(OCISvcCtx* context, OCIError* error, ub4 flags);
sword OCITransForget(OCISvcCtx* context, OCIError* error, ub4 flags);
sword OCIStmtGetPieceInfo(OCIStmt* statement, OCIError* error, void** handle, ub4* type, ub1* direction, ub4* iteration,
                          ub4* index, ub1* piece);
sword OCIStmtSetPieceInfo(void* handle, ub4 type, OCIError* error, const void* buffer, ub4* length, ub1 piece,
                          const void* indicator, ub2* return_code);
sword OCIResultSetToStmt(OCIResult* result_set, OCIError* error);
sword OCIDefineArrayOfStruct(OCIDefine* define, OCIError* error, ub4 value_skip, ub4 indicator_skip, ub4 length_skip,
                             ub4 return_code_skip);
sword OCIBindByName(OCIStmt* statement, OCIBind** bind, OCIError* error, const OraText* placeholder,
                    sb4 placeholder_length, void* value, sb4 value_size, ub2 type, void* indicator, ub2* length,
                    ub2* return_code, ub4 array_length, ub4* array_count, ub4 mode);
sword OCIBindDynamic(OCIBind* bind, OCIError* error, void* in_context, OCICallbackInBind in_callback, void* out_context,
                     OCICallbackOutBind out_callback);
sword OCILobAppend(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* source);
sword OCILobAssign(OCIEnv* env, OCIError* error, const OCILobLocator* source, OCILobLocator** target);
sword OCILobCopy(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* source, ub4 amount,
                 ub4 target_offset, ub4 source_offset);
sword OCILobEnableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator);
sword OCILobDisableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator);
sword OCILobErase(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset);
sword OCILobFileExists(OCISvcCtx* context, OCIError* error, OCILobLocator* file, int* exists);
sword OCILobFileGetName(OCIEnv* env, OCIError* error, const OCILobLocator* file, OraText* folder, ub2* folder_length,
                        OraText* name, ub2* name_length);
sword OCILobFileSetName(OCIEnv* env, OCIError* error, OCILobLocator** file, const OraText* folder, ub2 folder_length,
                        const OraText* name, ub2 name_length);
sword OCILobFlushBuffer(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 flags);
sword OCILobGetLength(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* length);
sword OCILobIsOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, int* open);
sword OCILobLoadFromFile(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* file, ub4 amount,
                         ub4 target_offset, ub4 file_offset);
sword OCILobLocatorIsInit(OCIEnv* env, OCIError* error, const OCILobLocator* locator, int* initialized);
sword OCILobIsTemporary(OCIEnv* env, OCIError* error, OCILobLocator* locator, int* temporary);
sword OCIDateTimeAssign(void* env, OCIError* error, const OCIDateTime* source, OCIDateTime* target);
sword OCIDateTimeCheck(void* env, OCIError* error, const OCIDateTime* datetime, ub4* valid);
sword OCIDateTimeCompare(void* env, OCIError* error, const OCIDateTime* first, const OCIDateTime* second,
                         sword* result);
sword OCIDateTimeConvert(void* env, OCIError* error, OCIDateTime* source, OCIDateTime* target);
sword OCIDateTimeFromText(void* env, OCIError* error, const OraText* text, std::size_t text_length,
                          const OraText* format, ub1 format_length, const OraText* language,
                          std::size_t language_length, OCIDateTime* datetime);
sword OCIDateTimeGetTimeZoneOffset(void* env, OCIError* error, const OCIDateTime* datetime, sb1* hours, sb1* minutes);
sword OCIDateTimeSysTimeStamp(void* env, OCIError* error, OCIDateTime* datetime);
sword OCIDateTimeToText(void* env, OCIError* error, const OCIDateTime* datetime, const OraText* format,
                        ub1 format_length, ub1 fraction_digits, const OraText* language, std::size_t language_length,
                        ub4* buffer_size, OraText* buffer);
sword OCIDateTimeGetTimeZoneName(void* env, OCIError* error, const OCIDateTime* datetime, ub1* buffer,
                                 ub4* buffer_length);
sword OCIDescribeAny(OCISvcCtx* context, OCIError* error, void* object, ub4 object_length, ub1 object_kind,
                     ub1 info_level, ub1 object_type, OCIDescribe* describe);
}
