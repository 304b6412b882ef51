// The plain driver: each operation takes its entry point from the loader's
// table, typed by the prototype in oracle_oci.h, and calls it.

#include "sql/drivers/oracle/oracle_plain_driver.h"

#include "sql/drivers/oracle/oracle_binding.h"

namespace {

// The bound address of entry, or EZSQLException naming the function: a call
// must never go through a null address.
void* RequireEntry(TZOracleEntry entry) {
  return OracleLibraryLoader().NamedEntry(static_cast<int>(entry));
}

}  // namespace

// The typed entry point of a call that oracle_oci.h declares.
#define VX_OCI(name) reinterpret_cast<decltype(&::name)>(RequireEntry(TZOracleEntry::name))

void TZOracle9iPlainDriver::Initialize() {
  TZOracleNativeLibraryLoader& loader = OracleLibraryLoader();
  if (loader.Loaded()) return;
  loader.Load();
  VX_OCI(OCIInitialize)(OCI_THREADED, nullptr, nullptr, nullptr, nullptr);
}

sword TZOracle9iPlainDriver::OCIInitialize(ub4 mode, void* context, void* (*mallocFn)(void*, std::size_t),
                                           void* (*reallocFn)(void*, void*, std::size_t),
                                           void (*freeFn)(void*, void*)) {
  return VX_OCI(OCIInitialize)(mode, context, mallocFn, reallocFn, freeFn);
}
sword TZOracle9iPlainDriver::OCIEnvInit(OCIEnv** env, ub4 mode, std::size_t extraSize, void** userMemory) {
  return VX_OCI(OCIEnvInit)(env, mode, extraSize, userMemory);
}
sword TZOracle9iPlainDriver::OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t extraSize,
                                            void** userMemory) {
  return VX_OCI(OCIHandleAlloc)(parent, handle, type, extraSize, userMemory);
}
sword TZOracle9iPlainDriver::OCIHandleFree(void* handle, ub4 type) { return VX_OCI(OCIHandleFree)(handle, type); }
sword TZOracle9iPlainDriver::OCIServerAttach(OCIServer* server, OCIError* error, const OraText* link,
                                             sb4 linkLength, ub4 mode) {
  return VX_OCI(OCIServerAttach)(server, error, link, linkLength, mode);
}
sword TZOracle9iPlainDriver::OCIServerDetach(OCIServer* server, OCIError* error, ub4 mode) {
  return VX_OCI(OCIServerDetach)(server, error, mode);
}
sword TZOracle9iPlainDriver::OCIAttrSet(void* target, ub4 targetType, void* value, ub4 size, ub4 attribute,
                                        OCIError* error) {
  return VX_OCI(OCIAttrSet)(target, targetType, value, size, attribute, error);
}
sword TZOracle9iPlainDriver::OCIAttrGet(const void* target, ub4 targetType, void* value, ub4* size, ub4 attribute,
                                        OCIError* error) {
  return VX_OCI(OCIAttrGet)(target, targetType, value, size, attribute, error);
}
sword TZOracle9iPlainDriver::OCISessionBegin(OCISvcCtx* context, OCIError* error, OCISession* session,
                                             ub4 credentials, ub4 mode) {
  return VX_OCI(OCISessionBegin)(context, error, session, credentials, mode);
}
sword TZOracle9iPlainDriver::OCISessionEnd(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 mode) {
  return VX_OCI(OCISessionEnd)(context, error, session, mode);
}
sword TZOracle9iPlainDriver::OCIErrorGet(void* handle, ub4 record, OraText* sqlState, sb4* errorCode,
                                         OraText* buffer, ub4 bufferSize, ub4 type) {
  return VX_OCI(OCIErrorGet)(handle, record, sqlState, errorCode, buffer, bufferSize, type);
}
sword TZOracle9iPlainDriver::OCITransStart(OCISvcCtx* context, OCIError* error, uword timeout, ub4 flags) {
  return VX_OCI(OCITransStart)(context, error, timeout, flags);
}
sword TZOracle9iPlainDriver::OCITransCommit(OCISvcCtx* context, OCIError* error, ub4 flags) {
  return VX_OCI(OCITransCommit)(context, error, flags);
}
sword TZOracle9iPlainDriver::OCITransRollback(OCISvcCtx* context, OCIError* error, ub4 flags) {
  return VX_OCI(OCITransRollback)(context, error, flags);
}
sword TZOracle9iPlainDriver::OCIStmtPrepare(OCIStmt* statement, OCIError* error, const OraText* text,
                                            ub4 textLength, ub4 language, ub4 mode) {
  return VX_OCI(OCIStmtPrepare)(statement, error, text, textLength, language, mode);
}
sword TZOracle9iPlainDriver::OCIStmtExecute(OCISvcCtx* context, OCIStmt* statement, OCIError* error,
                                            ub4 iterations, ub4 rowOffset, const OCISnapshot* snapshotIn,
                                            OCISnapshot* snapshotOut, ub4 mode) {
  return VX_OCI(OCIStmtExecute)(context, statement, error, iterations, rowOffset, snapshotIn, snapshotOut, mode);
}
sword TZOracle9iPlainDriver::OCIStmtFetch(OCIStmt* statement, OCIError* error, ub4 rows, ub2 orientation,
                                          ub4 mode) {
  return VX_OCI(OCIStmtFetch)(statement, error, rows, orientation, mode);
}
sword TZOracle9iPlainDriver::OCIParamGet(const void* handle, ub4 type, OCIError* error, void** parameter,
                                         ub4 position) {
  return VX_OCI(OCIParamGet)(handle, type, error, parameter, position);
}
sword TZOracle9iPlainDriver::OCIDefineByPos(OCIStmt* statement, OCIDefine** define, OCIError* error, ub4 position,
                                            void* value, sb4 valueSize, ub2 type, void* indicator, ub2* length,
                                            ub2* returnCode, ub4 mode) {
  return VX_OCI(OCIDefineByPos)(statement, define, error, position, value, valueSize, type, indicator, length,
                                returnCode, mode);
}
sword TZOracle9iPlainDriver::OCIBindByPos(OCIStmt* statement, OCIBind** bind, OCIError* error, ub4 position,
                                          void* value, sb4 valueSize, ub2 type, void* indicator, ub2* length,
                                          ub2* returnCode, ub4 arrayLength, ub4* arrayCount, ub4 mode) {
  return VX_OCI(OCIBindByPos)(statement, bind, error, position, value, valueSize, type, indicator, length,
                              returnCode, arrayLength, arrayCount, mode);
}
sword TZOracle9iPlainDriver::OCIDescriptorAlloc(const void* parent, void** descriptor, ub4 type,
                                                std::size_t extraSize, void** userMemory) {
  return VX_OCI(OCIDescriptorAlloc)(parent, descriptor, type, extraSize, userMemory);
}
sword TZOracle9iPlainDriver::OCIDescriptorFree(void* descriptor, ub4 type) {
  return VX_OCI(OCIDescriptorFree)(descriptor, type);
}
sword TZOracle9iPlainDriver::OCIDateTimeConstruct(void* env, OCIError* error, OCIDateTime* datetime, sb2 year,
                                                  ub1 month, ub1 day, ub1 hour, ub1 minute, ub1 second,
                                                  ub4 fraction, OraText* timeZone, std::size_t timeZoneLength) {
  return VX_OCI(OCIDateTimeConstruct)(env, error, datetime, year, month, day, hour, minute, second, fraction,
                                      timeZone, timeZoneLength);
}
sword TZOracle9iPlainDriver::OCIDateTimeGetDate(void* env, OCIError* error, const OCIDateTime* datetime, sb2* year,
                                                ub1* month, ub1* day) {
  return VX_OCI(OCIDateTimeGetDate)(env, error, datetime, year, month, day);
}
sword TZOracle9iPlainDriver::OCIDateTimeGetTime(void* env, OCIError* error, OCIDateTime* datetime, ub1* hour,
                                                ub1* minute, ub1* second, ub4* fraction) {
  return VX_OCI(OCIDateTimeGetTime)(env, error, datetime, hour, minute, second, fraction);
}
sword TZOracle9iPlainDriver::OCILobOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub1 mode) {
  return VX_OCI(OCILobOpen)(context, error, locator, mode);
}
sword TZOracle9iPlainDriver::OCILobClose(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) {
  return VX_OCI(OCILobClose)(context, error, locator);
}
sword TZOracle9iPlainDriver::OCILobRead(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount,
                                        ub4 offset, void* buffer, ub4 bufferLength, void* callbackContext,
                                        OCICallbackLobRead callback, ub2 charset, ub1 form) {
  return VX_OCI(OCILobRead)(context, error, locator, amount, offset, buffer, bufferLength, callbackContext, callback,
                            charset, form);
}
sword TZOracle9iPlainDriver::OCILobWrite(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount,
                                         ub4 offset, void* buffer, ub4 bufferLength, ub1 piece,
                                         void* callbackContext, OCICallbackLobWrite callback, ub2 charset,
                                         ub1 form) {
  return VX_OCI(OCILobWrite)(context, error, locator, amount, offset, buffer, bufferLength, piece, callbackContext,
                             callback, charset, form);
}
sword TZOracle9iPlainDriver::OCILobTrim(OCISvcCtx* context, OCIError* error, OCILobLocator* locator,
                                        ub4 newLength) {
  return VX_OCI(OCILobTrim)(context, error, locator, newLength);
}
sword TZOracle9iPlainDriver::OCILobCreateTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator,
                                                   ub2 charset, ub1 form, ub1 lobType, int cache, ub2 duration) {
  return VX_OCI(OCILobCreateTemporary)(context, error, locator, charset, form, lobType, cache, duration);
}
sword TZOracle9iPlainDriver::OCILobFreeTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) {
  return VX_OCI(OCILobFreeTemporary)(context, error, locator);
}
sword TZOracle9iPlainDriver::OCIEnvCreate(OCIEnv** env, ub4 mode, void* context, void* (*mallocFn)(void*, std::size_t),
                                          void* (*reallocFn)(void*, void*, std::size_t), void (*freeFn)(void*, void*),
                                          std::size_t extraSize, void** userMemory) {
  return VX_OCI(OCIEnvCreate)(env, mode, context, mallocFn, reallocFn, freeFn, extraSize, userMemory);
}
sword TZOracle9iPlainDriver::OCIServerVersion(void* handle, OCIError* error, OraText* buffer, ub4 bufferSize,
                                              ub1 handleType) {
  return VX_OCI(OCIServerVersion)(handle, error, buffer, bufferSize, handleType);
}
sword TZOracle9iPlainDriver::OCIBreak(void* handle, OCIError* error) { return VX_OCI(OCIBreak)(handle, error); }
sword TZOracle9iPlainDriver::OCIReset(void* handle, OCIError* error) { return VX_OCI(OCIReset)(handle, error); }
sword TZOracle9iPlainDriver::OCIPasswordChange(OCISvcCtx* context, OCIError* error, const OraText* user, ub4 userLength,
                                               const OraText* oldPassword, ub4 oldPasswordLength,
                                               const OraText* newPassword, ub4 newPasswordLength, ub4 mode) {
  return VX_OCI(OCIPasswordChange)(context, error, user, userLength, oldPassword, oldPasswordLength, newPassword,
                                   newPasswordLength, mode);
}
sword TZOracle9iPlainDriver::OCITransDetach(OCISvcCtx* context, OCIError* error, ub4 flags) {
  return VX_OCI(OCITransDetach)(context, error, flags);
}
sword TZOracle9iPlainDriver::OCITransPrepare(OCISvcCtx* context, OCIError* error, ub4 flags) {
  return VX_OCI(OCITransPrepare)(context, error, flags);
}
sword TZOracle9iPlainDriver::OCITransForget(OCISvcCtx* context, OCIError* error, ub4 flags) {
  return VX_OCI(OCITransForget)(context, error, flags);
}
sword TZOracle9iPlainDriver::OCIStmtGetPieceInfo(OCIStmt* statement, OCIError* error, void** handle, ub4* type,
                                                 ub1* direction, ub4* iteration, ub4* index, ub1* piece) {
  return VX_OCI(OCIStmtGetPieceInfo)(statement, error, handle, type, direction, iteration, index, piece);
}
sword TZOracle9iPlainDriver::OCIStmtSetPieceInfo(void* handle, ub4 type, OCIError* error, const void* buffer,
                                                 ub4* length, ub1 piece, const void* indicator, ub2* returnCode) {
  return VX_OCI(OCIStmtSetPieceInfo)(handle, type, error, buffer, length, piece, indicator, returnCode);
}
sword TZOracle9iPlainDriver::OCIResultSetToStmt(OCIResult* resultSet, OCIError* error) {
  return VX_OCI(OCIResultSetToStmt)(resultSet, error);
}
sword TZOracle9iPlainDriver::OCIDefineArrayOfStruct(OCIDefine* define, OCIError* error, ub4 valueSkip,
                                                    ub4 indicatorSkip, ub4 lengthSkip, ub4 returnCodeSkip) {
  return VX_OCI(OCIDefineArrayOfStruct)(define, error, valueSkip, indicatorSkip, lengthSkip, returnCodeSkip);
}
sword TZOracle9iPlainDriver::OCIBindByName(OCIStmt* statement, OCIBind** bind, OCIError* error,
                                           const OraText* placeholder, sb4 placeholderLength, void* value,
                                           sb4 valueSize, ub2 type, void* indicator, ub2* length, ub2* returnCode,
                                           ub4 arrayLength, ub4* arrayCount, ub4 mode) {
  return VX_OCI(OCIBindByName)(statement, bind, error, placeholder, placeholderLength, value, valueSize, type,
                               indicator, length, returnCode, arrayLength, arrayCount, mode);
}
sword TZOracle9iPlainDriver::OCIBindDynamic(OCIBind* bind, OCIError* error, void* inContext,
                                            OCICallbackInBind inCallback, void* outContext,
                                            OCICallbackOutBind outCallback) {
  return VX_OCI(OCIBindDynamic)(bind, error, inContext, inCallback, outContext, outCallback);
}
sword TZOracle9iPlainDriver::OCILobAppend(OCISvcCtx* context, OCIError* error, OCILobLocator* target,
                                          OCILobLocator* source) {
  return VX_OCI(OCILobAppend)(context, error, target, source);
}
sword TZOracle9iPlainDriver::OCILobAssign(OCIEnv* env, OCIError* error, const OCILobLocator* source,
                                          OCILobLocator** target) {
  return VX_OCI(OCILobAssign)(env, error, source, target);
}
sword TZOracle9iPlainDriver::OCILobCopy(OCISvcCtx* context, OCIError* error, OCILobLocator* target,
                                        OCILobLocator* source, ub4 amount, ub4 targetOffset, ub4 sourceOffset) {
  return VX_OCI(OCILobCopy)(context, error, target, source, amount, targetOffset, sourceOffset);
}
sword TZOracle9iPlainDriver::OCILobEnableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) {
  return VX_OCI(OCILobEnableBuffering)(context, error, locator);
}
sword TZOracle9iPlainDriver::OCILobDisableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) {
  return VX_OCI(OCILobDisableBuffering)(context, error, locator);
}
sword TZOracle9iPlainDriver::OCILobErase(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount,
                                         ub4 offset) {
  return VX_OCI(OCILobErase)(context, error, locator, amount, offset);
}
sword TZOracle9iPlainDriver::OCILobFileExists(OCISvcCtx* context, OCIError* error, OCILobLocator* file, int* exists) {
  return VX_OCI(OCILobFileExists)(context, error, file, exists);
}
sword TZOracle9iPlainDriver::OCILobFileGetName(OCIEnv* env, OCIError* error, const OCILobLocator* file, OraText* folder,
                                               ub2* folderLength, OraText* name, ub2* nameLength) {
  return VX_OCI(OCILobFileGetName)(env, error, file, folder, folderLength, name, nameLength);
}
sword TZOracle9iPlainDriver::OCILobFileSetName(OCIEnv* env, OCIError* error, OCILobLocator** file,
                                               const OraText* folder, ub2 folderLength, const OraText* name,
                                               ub2 nameLength) {
  return VX_OCI(OCILobFileSetName)(env, error, file, folder, folderLength, name, nameLength);
}
sword TZOracle9iPlainDriver::OCILobFlushBuffer(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 flags) {
  return VX_OCI(OCILobFlushBuffer)(context, error, locator, flags);
}
sword TZOracle9iPlainDriver::OCILobGetLength(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* length) {
  return VX_OCI(OCILobGetLength)(context, error, locator, length);
}
sword TZOracle9iPlainDriver::OCILobIsOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, int* open) {
  return VX_OCI(OCILobIsOpen)(context, error, locator, open);
}
sword TZOracle9iPlainDriver::OCILobLoadFromFile(OCISvcCtx* context, OCIError* error, OCILobLocator* target,
                                                OCILobLocator* file, ub4 amount, ub4 targetOffset, ub4 fileOffset) {
  return VX_OCI(OCILobLoadFromFile)(context, error, target, file, amount, targetOffset, fileOffset);
}
sword TZOracle9iPlainDriver::OCILobLocatorIsInit(OCIEnv* env, OCIError* error, const OCILobLocator* locator,
                                                 int* initialized) {
  return VX_OCI(OCILobLocatorIsInit)(env, error, locator, initialized);
}
sword TZOracle9iPlainDriver::OCILobIsTemporary(OCIEnv* env, OCIError* error, OCILobLocator* locator, int* temporary) {
  return VX_OCI(OCILobIsTemporary)(env, error, locator, temporary);
}
sword TZOracle9iPlainDriver::OCIDateTimeAssign(void* env, OCIError* error, const OCIDateTime* source,
                                               OCIDateTime* target) {
  return VX_OCI(OCIDateTimeAssign)(env, error, source, target);
}
sword TZOracle9iPlainDriver::OCIDateTimeCheck(void* env, OCIError* error, const OCIDateTime* datetime, ub4* valid) {
  return VX_OCI(OCIDateTimeCheck)(env, error, datetime, valid);
}
sword TZOracle9iPlainDriver::OCIDateTimeCompare(void* env, OCIError* error, const OCIDateTime* first,
                                                const OCIDateTime* second, sword* result) {
  return VX_OCI(OCIDateTimeCompare)(env, error, first, second, result);
}
sword TZOracle9iPlainDriver::OCIDateTimeConvert(void* env, OCIError* error, OCIDateTime* source, OCIDateTime* target) {
  return VX_OCI(OCIDateTimeConvert)(env, error, source, target);
}
sword TZOracle9iPlainDriver::OCIDateTimeFromText(void* env, OCIError* error, const OraText* text,
                                                 std::size_t textLength, const OraText* format, ub1 formatLength,
                                                 const OraText* language, std::size_t languageLength,
                                                 OCIDateTime* datetime) {
  return VX_OCI(OCIDateTimeFromText)(env, error, text, textLength, format, formatLength, language, languageLength,
                                     datetime);
}
sword TZOracle9iPlainDriver::OCIDateTimeGetTimeZoneOffset(void* env, OCIError* error, const OCIDateTime* datetime,
                                                          sb1* hours, sb1* minutes) {
  return VX_OCI(OCIDateTimeGetTimeZoneOffset)(env, error, datetime, hours, minutes);
}
sword TZOracle9iPlainDriver::OCIDateTimeSysTimeStamp(void* env, OCIError* error, OCIDateTime* datetime) {
  return VX_OCI(OCIDateTimeSysTimeStamp)(env, error, datetime);
}
sword TZOracle9iPlainDriver::OCIDateTimeToText(void* env, OCIError* error, const OCIDateTime* datetime,
                                               const OraText* format, ub1 formatLength, ub1 fractionDigits,
                                               const OraText* language, std::size_t languageLength, ub4* bufferSize,
                                               OraText* buffer) {
  return VX_OCI(OCIDateTimeToText)(env, error, datetime, format, formatLength, fractionDigits, language, languageLength,
                                   bufferSize, buffer);
}
sword TZOracle9iPlainDriver::OCIDateTimeGetTimeZoneName(void* env, OCIError* error, const OCIDateTime* datetime,
                                                        ub1* buffer, ub4* bufferLength) {
  return VX_OCI(OCIDateTimeGetTimeZoneName)(env, error, datetime, buffer, bufferLength);
}
sword TZOracle9iPlainDriver::OCIDescribeAny(OCISvcCtx* context, OCIError* error, void* object, ub4 objectLength,
                                            ub1 objectKind, ub1 infoLevel, ub1 objectType, OCIDescribe* describe) {
  return VX_OCI(OCIDescribeAny)(context, error, object, objectLength, objectKind, infoLevel, objectType, describe);
}
