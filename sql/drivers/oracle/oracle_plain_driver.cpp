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
