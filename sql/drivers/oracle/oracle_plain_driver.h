// The plain driver of the client call interface: IZOraclePlainDriver is the
// one road from the driver to the library. Each operation calls the entry
// point it is named after with the arguments unchanged and returns its
// status; calling one the loaded library does not export raises
// EZSQLException naming the function. Every bound entry point has its
// operation, including those the driver itself never calls.
#pragma once

#include "sql/core/dbc/native_library.h"
#include "sql/drivers/oracle/oracle_oci.h"

class IZOraclePlainDriver : public virtual IZPlainDriver {
public:
  virtual sword OCIInitialize(ub4 mode, void* context, void* (*mallocFn)(void*, std::size_t),
                              void* (*reallocFn)(void*, void*, std::size_t), void (*freeFn)(void*, void*)) = 0;
  virtual sword OCIEnvInit(OCIEnv** env, ub4 mode, std::size_t extraSize, void** userMemory) = 0;
  virtual sword OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t extraSize,
                               void** userMemory) = 0;
  virtual sword OCIHandleFree(void* handle, ub4 type) = 0;
  virtual sword OCIServerAttach(OCIServer* server, OCIError* error, const OraText* link, sb4 linkLength,
                                ub4 mode) = 0;
  virtual sword OCIServerDetach(OCIServer* server, OCIError* error, ub4 mode) = 0;
  virtual sword OCIAttrSet(void* target, ub4 targetType, void* value, ub4 size, ub4 attribute, OCIError* error) = 0;
  virtual sword OCIAttrGet(const void* target, ub4 targetType, void* value, ub4* size, ub4 attribute,
                           OCIError* error) = 0;
  virtual sword OCISessionBegin(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 credentials,
                                ub4 mode) = 0;
  virtual sword OCISessionEnd(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 mode) = 0;
  virtual sword OCIErrorGet(void* handle, ub4 record, OraText* sqlState, sb4* errorCode, OraText* buffer,
                            ub4 bufferSize, ub4 type) = 0;
  virtual sword OCITransStart(OCISvcCtx* context, OCIError* error, uword timeout, ub4 flags) = 0;
  virtual sword OCITransCommit(OCISvcCtx* context, OCIError* error, ub4 flags) = 0;
  virtual sword OCITransRollback(OCISvcCtx* context, OCIError* error, ub4 flags) = 0;
  virtual sword OCIStmtPrepare(OCIStmt* statement, OCIError* error, const OraText* text, ub4 textLength,
                               ub4 language, ub4 mode) = 0;
  virtual sword OCIStmtExecute(OCISvcCtx* context, OCIStmt* statement, OCIError* error, ub4 iterations,
                               ub4 rowOffset, const OCISnapshot* snapshotIn, OCISnapshot* snapshotOut,
                               ub4 mode) = 0;
  virtual sword OCIStmtFetch(OCIStmt* statement, OCIError* error, ub4 rows, ub2 orientation, ub4 mode) = 0;
  virtual sword OCIParamGet(const void* handle, ub4 type, OCIError* error, void** parameter, ub4 position) = 0;
  virtual sword OCIDefineByPos(OCIStmt* statement, OCIDefine** define, OCIError* error, ub4 position, void* value,
                               sb4 valueSize, ub2 type, void* indicator, ub2* length, ub2* returnCode,
                               ub4 mode) = 0;
  virtual sword OCIBindByPos(OCIStmt* statement, OCIBind** bind, OCIError* error, ub4 position, void* value,
                             sb4 valueSize, ub2 type, void* indicator, ub2* length, ub2* returnCode,
                             ub4 arrayLength, ub4* arrayCount, ub4 mode) = 0;
  virtual sword OCIDescriptorAlloc(const void* parent, void** descriptor, ub4 type, std::size_t extraSize,
                                   void** userMemory) = 0;
  virtual sword OCIDescriptorFree(void* descriptor, ub4 type) = 0;
  virtual sword OCIDateTimeConstruct(void* env, OCIError* error, OCIDateTime* datetime, sb2 year, ub1 month,
                                     ub1 day, ub1 hour, ub1 minute, ub1 second, ub4 fraction, OraText* timeZone,
                                     std::size_t timeZoneLength) = 0;
  virtual sword OCIDateTimeGetDate(void* env, OCIError* error, const OCIDateTime* datetime, sb2* year, ub1* month,
                                   ub1* day) = 0;
  virtual sword OCIDateTimeGetTime(void* env, OCIError* error, OCIDateTime* datetime, ub1* hour, ub1* minute,
                                   ub1* second, ub4* fraction) = 0;
  virtual sword OCILobOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub1 mode) = 0;
  virtual sword OCILobClose(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) = 0;
  virtual sword OCILobRead(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset,
                           void* buffer, ub4 bufferLength, void* callbackContext, OCICallbackLobRead callback,
                           ub2 charset, ub1 form) = 0;
  virtual sword OCILobWrite(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset,
                            void* buffer, ub4 bufferLength, ub1 piece, void* callbackContext,
                            OCICallbackLobWrite callback, ub2 charset, ub1 form) = 0;
  virtual sword OCILobTrim(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 newLength) = 0;
  virtual sword OCILobCreateTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub2 charset,
                                      ub1 form, ub1 lobType, int cache, ub2 duration) = 0;
  virtual sword OCILobFreeTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) = 0;
  // The calls the driver itself does not make.
  virtual sword OCIEnvCreate(OCIEnv** env, ub4 mode, void* context, void* (*mallocFn)(void*, std::size_t),
                             void* (*reallocFn)(void*, void*, std::size_t), void (*freeFn)(void*, void*),
                             std::size_t extraSize, void** userMemory) = 0;
  virtual sword OCIServerVersion(void* handle, OCIError* error, OraText* buffer, ub4 bufferSize, ub1 handleType) = 0;
  virtual sword OCIBreak(void* handle, OCIError* error) = 0;
  virtual sword OCIReset(void* handle, OCIError* error) = 0;
  virtual sword OCIPasswordChange(OCISvcCtx* context, OCIError* error, const OraText* user, ub4 userLength,
                                  const OraText* oldPassword, ub4 oldPasswordLength, const OraText* newPassword,
                                  ub4 newPasswordLength, ub4 mode) = 0;
  virtual sword OCITransDetach(OCISvcCtx* context, OCIError* error, ub4 flags) = 0;
  virtual sword OCITransPrepare(OCISvcCtx* context, OCIError* error, ub4 flags) = 0;
  virtual sword OCITransForget(OCISvcCtx* context, OCIError* error, ub4 flags) = 0;
  virtual sword OCIStmtGetPieceInfo(OCIStmt* statement, OCIError* error, void** handle, ub4* type, ub1* direction,
                                    ub4* iteration, ub4* index, ub1* piece) = 0;
  virtual sword OCIStmtSetPieceInfo(void* handle, ub4 type, OCIError* error, const void* buffer, ub4* length, ub1 piece,
                                    const void* indicator, ub2* returnCode) = 0;
  virtual sword OCIResultSetToStmt(OCIResult* resultSet, OCIError* error) = 0;
  virtual sword OCIDefineArrayOfStruct(OCIDefine* define, OCIError* error, ub4 valueSkip, ub4 indicatorSkip,
                                       ub4 lengthSkip, ub4 returnCodeSkip) = 0;
  virtual sword OCIBindByName(OCIStmt* statement, OCIBind** bind, OCIError* error, const OraText* placeholder,
                              sb4 placeholderLength, void* value, sb4 valueSize, ub2 type, void* indicator, ub2* length,
                              ub2* returnCode, ub4 arrayLength, ub4* arrayCount, ub4 mode) = 0;
  virtual sword OCIBindDynamic(OCIBind* bind, OCIError* error, void* inContext, OCICallbackInBind inCallback,
                               void* outContext, OCICallbackOutBind outCallback) = 0;
  virtual sword OCILobAppend(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* source) = 0;
  virtual sword OCILobAssign(OCIEnv* env, OCIError* error, const OCILobLocator* source, OCILobLocator** target) = 0;
  virtual sword OCILobCopy(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* source,
                           ub4 amount, ub4 targetOffset, ub4 sourceOffset) = 0;
  virtual sword OCILobEnableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) = 0;
  virtual sword OCILobDisableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) = 0;
  virtual sword OCILobErase(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset) = 0;
  virtual sword OCILobFileExists(OCISvcCtx* context, OCIError* error, OCILobLocator* file, int* exists) = 0;
  virtual sword OCILobFileGetName(OCIEnv* env, OCIError* error, const OCILobLocator* file, OraText* folder,
                                  ub2* folderLength, OraText* name, ub2* nameLength) = 0;
  virtual sword OCILobFileSetName(OCIEnv* env, OCIError* error, OCILobLocator** file, const OraText* folder,
                                  ub2 folderLength, const OraText* name, ub2 nameLength) = 0;
  virtual sword OCILobFlushBuffer(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 flags) = 0;
  virtual sword OCILobGetLength(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* length) = 0;
  virtual sword OCILobIsOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, int* open) = 0;
  virtual sword OCILobLoadFromFile(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* file,
                                   ub4 amount, ub4 targetOffset, ub4 fileOffset) = 0;
  virtual sword OCILobLocatorIsInit(OCIEnv* env, OCIError* error, const OCILobLocator* locator, int* initialized) = 0;
  virtual sword OCILobIsTemporary(OCIEnv* env, OCIError* error, OCILobLocator* locator, int* temporary) = 0;
  virtual sword OCIDateTimeAssign(void* env, OCIError* error, const OCIDateTime* source, OCIDateTime* target) = 0;
  virtual sword OCIDateTimeCheck(void* env, OCIError* error, const OCIDateTime* datetime, ub4* valid) = 0;
  virtual sword OCIDateTimeCompare(void* env, OCIError* error, const OCIDateTime* first, const OCIDateTime* second,
                                   sword* result) = 0;
  virtual sword OCIDateTimeConvert(void* env, OCIError* error, OCIDateTime* source, OCIDateTime* target) = 0;
  virtual sword OCIDateTimeFromText(void* env, OCIError* error, const OraText* text, std::size_t textLength,
                                    const OraText* format, ub1 formatLength, const OraText* language,
                                    std::size_t languageLength, OCIDateTime* datetime) = 0;
  virtual sword OCIDateTimeGetTimeZoneOffset(void* env, OCIError* error, const OCIDateTime* datetime, sb1* hours,
                                             sb1* minutes) = 0;
  virtual sword OCIDateTimeSysTimeStamp(void* env, OCIError* error, OCIDateTime* datetime) = 0;
  virtual sword OCIDateTimeToText(void* env, OCIError* error, const OCIDateTime* datetime, const OraText* format,
                                  ub1 formatLength, ub1 fractionDigits, const OraText* language,
                                  std::size_t languageLength, ub4* bufferSize, OraText* buffer) = 0;
  virtual sword OCIDateTimeGetTimeZoneName(void* env, OCIError* error, const OCIDateTime* datetime, ub1* buffer,
                                           ub4* bufferLength) = 0;
  virtual sword OCIDescribeAny(OCISvcCtx* context, OCIError* error, void* object, ub4 objectLength, ub1 objectKind,
                               ub1 infoLevel, ub1 objectType, OCIDescribe* describe) = 0;
};

class TZOracle9iPlainDriver : public TZAbstractObject, public virtual IZOraclePlainDriver {
public:
  AnsiString GetProtocol() override { return "oracle-9i"; }
  AnsiString GetDescription() override { return "Native Plain Driver for Oracle 9i"; }
  // Loads the library and starts the client (threaded mode) once per run.
  void Initialize() override;

  sword OCIInitialize(ub4 mode, void* context, void* (*mallocFn)(void*, std::size_t),
                      void* (*reallocFn)(void*, void*, std::size_t), void (*freeFn)(void*, void*)) override;
  sword OCIEnvInit(OCIEnv** env, ub4 mode, std::size_t extraSize, void** userMemory) override;
  sword OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t extraSize,
                       void** userMemory) override;
  sword OCIHandleFree(void* handle, ub4 type) override;
  sword OCIServerAttach(OCIServer* server, OCIError* error, const OraText* link, sb4 linkLength, ub4 mode) override;
  sword OCIServerDetach(OCIServer* server, OCIError* error, ub4 mode) override;
  sword OCIAttrSet(void* target, ub4 targetType, void* value, ub4 size, ub4 attribute, OCIError* error) override;
  sword OCIAttrGet(const void* target, ub4 targetType, void* value, ub4* size, ub4 attribute,
                   OCIError* error) override;
  sword OCISessionBegin(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 credentials,
                        ub4 mode) override;
  sword OCISessionEnd(OCISvcCtx* context, OCIError* error, OCISession* session, ub4 mode) override;
  sword OCIErrorGet(void* handle, ub4 record, OraText* sqlState, sb4* errorCode, OraText* buffer, ub4 bufferSize,
                    ub4 type) override;
  sword OCITransStart(OCISvcCtx* context, OCIError* error, uword timeout, ub4 flags) override;
  sword OCITransCommit(OCISvcCtx* context, OCIError* error, ub4 flags) override;
  sword OCITransRollback(OCISvcCtx* context, OCIError* error, ub4 flags) override;
  sword OCIStmtPrepare(OCIStmt* statement, OCIError* error, const OraText* text, ub4 textLength, ub4 language,
                       ub4 mode) override;
  sword OCIStmtExecute(OCISvcCtx* context, OCIStmt* statement, OCIError* error, ub4 iterations, ub4 rowOffset,
                       const OCISnapshot* snapshotIn, OCISnapshot* snapshotOut, ub4 mode) override;
  sword OCIStmtFetch(OCIStmt* statement, OCIError* error, ub4 rows, ub2 orientation, ub4 mode) override;
  sword OCIParamGet(const void* handle, ub4 type, OCIError* error, void** parameter, ub4 position) override;
  sword OCIDefineByPos(OCIStmt* statement, OCIDefine** define, OCIError* error, ub4 position, void* value,
                       sb4 valueSize, ub2 type, void* indicator, ub2* length, ub2* returnCode, ub4 mode) override;
  sword OCIBindByPos(OCIStmt* statement, OCIBind** bind, OCIError* error, ub4 position, void* value, sb4 valueSize,
                     ub2 type, void* indicator, ub2* length, ub2* returnCode, ub4 arrayLength, ub4* arrayCount,
                     ub4 mode) override;
  sword OCIDescriptorAlloc(const void* parent, void** descriptor, ub4 type, std::size_t extraSize,
                           void** userMemory) override;
  sword OCIDescriptorFree(void* descriptor, ub4 type) override;
  sword OCIDateTimeConstruct(void* env, OCIError* error, OCIDateTime* datetime, sb2 year, ub1 month, ub1 day,
                             ub1 hour, ub1 minute, ub1 second, ub4 fraction, OraText* timeZone,
                             std::size_t timeZoneLength) override;
  sword OCIDateTimeGetDate(void* env, OCIError* error, const OCIDateTime* datetime, sb2* year, ub1* month,
                           ub1* day) override;
  sword OCIDateTimeGetTime(void* env, OCIError* error, OCIDateTime* datetime, ub1* hour, ub1* minute, ub1* second,
                           ub4* fraction) override;
  sword OCILobOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub1 mode) override;
  sword OCILobClose(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) override;
  sword OCILobRead(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset,
                   void* buffer, ub4 bufferLength, void* callbackContext, OCICallbackLobRead callback, ub2 charset,
                   ub1 form) override;
  sword OCILobWrite(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset,
                    void* buffer, ub4 bufferLength, ub1 piece, void* callbackContext, OCICallbackLobWrite callback,
                    ub2 charset, ub1 form) override;
  sword OCILobTrim(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 newLength) override;
  sword OCILobCreateTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub2 charset, ub1 form,
                              ub1 lobType, int cache, ub2 duration) override;
  sword OCILobFreeTemporary(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) override;
  sword OCIEnvCreate(OCIEnv** env, ub4 mode, void* context, void* (*mallocFn)(void*, std::size_t),
                     void* (*reallocFn)(void*, void*, std::size_t), void (*freeFn)(void*, void*), std::size_t extraSize,
                     void** userMemory) override;
  sword OCIServerVersion(void* handle, OCIError* error, OraText* buffer, ub4 bufferSize, ub1 handleType) override;
  sword OCIBreak(void* handle, OCIError* error) override;
  sword OCIReset(void* handle, OCIError* error) override;
  sword OCIPasswordChange(OCISvcCtx* context, OCIError* error, const OraText* user, ub4 userLength,
                          const OraText* oldPassword, ub4 oldPasswordLength, const OraText* newPassword,
                          ub4 newPasswordLength, ub4 mode) override;
  sword OCITransDetach(OCISvcCtx* context, OCIError* error, ub4 flags) override;
  sword OCITransPrepare(OCISvcCtx* context, OCIError* error, ub4 flags) override;
  sword OCITransForget(OCISvcCtx* context, OCIError* error, ub4 flags) override;
  sword OCIStmtGetPieceInfo(OCIStmt* statement, OCIError* error, void** handle, ub4* type, ub1* direction,
                            ub4* iteration, ub4* index, ub1* piece) override;
  sword OCIStmtSetPieceInfo(void* handle, ub4 type, OCIError* error, const void* buffer, ub4* length, ub1 piece,
                            const void* indicator, ub2* returnCode) override;
  sword OCIResultSetToStmt(OCIResult* resultSet, OCIError* error) override;
  sword OCIDefineArrayOfStruct(OCIDefine* define, OCIError* error, ub4 valueSkip, ub4 indicatorSkip, ub4 lengthSkip,
                               ub4 returnCodeSkip) override;
  sword OCIBindByName(OCIStmt* statement, OCIBind** bind, OCIError* error, const OraText* placeholder,
                      sb4 placeholderLength, void* value, sb4 valueSize, ub2 type, void* indicator, ub2* length,
                      ub2* returnCode, ub4 arrayLength, ub4* arrayCount, ub4 mode) override;
  sword OCIBindDynamic(OCIBind* bind, OCIError* error, void* inContext, OCICallbackInBind inCallback, void* outContext,
                       OCICallbackOutBind outCallback) override;
  sword OCILobAppend(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* source) override;
  sword OCILobAssign(OCIEnv* env, OCIError* error, const OCILobLocator* source, OCILobLocator** target) override;
  sword OCILobCopy(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* source, ub4 amount,
                   ub4 targetOffset, ub4 sourceOffset) override;
  sword OCILobEnableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) override;
  sword OCILobDisableBuffering(OCISvcCtx* context, OCIError* error, OCILobLocator* locator) override;
  sword OCILobErase(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* amount, ub4 offset) override;
  sword OCILobFileExists(OCISvcCtx* context, OCIError* error, OCILobLocator* file, int* exists) override;
  sword OCILobFileGetName(OCIEnv* env, OCIError* error, const OCILobLocator* file, OraText* folder, ub2* folderLength,
                          OraText* name, ub2* nameLength) override;
  sword OCILobFileSetName(OCIEnv* env, OCIError* error, OCILobLocator** file, const OraText* folder, ub2 folderLength,
                          const OraText* name, ub2 nameLength) override;
  sword OCILobFlushBuffer(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4 flags) override;
  sword OCILobGetLength(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, ub4* length) override;
  sword OCILobIsOpen(OCISvcCtx* context, OCIError* error, OCILobLocator* locator, int* open) override;
  sword OCILobLoadFromFile(OCISvcCtx* context, OCIError* error, OCILobLocator* target, OCILobLocator* file, ub4 amount,
                           ub4 targetOffset, ub4 fileOffset) override;
  sword OCILobLocatorIsInit(OCIEnv* env, OCIError* error, const OCILobLocator* locator, int* initialized) override;
  sword OCILobIsTemporary(OCIEnv* env, OCIError* error, OCILobLocator* locator, int* temporary) override;
  sword OCIDateTimeAssign(void* env, OCIError* error, const OCIDateTime* source, OCIDateTime* target) override;
  sword OCIDateTimeCheck(void* env, OCIError* error, const OCIDateTime* datetime, ub4* valid) override;
  sword OCIDateTimeCompare(void* env, OCIError* error, const OCIDateTime* first, const OCIDateTime* second,
                           sword* result) override;
  sword OCIDateTimeConvert(void* env, OCIError* error, OCIDateTime* source, OCIDateTime* target) override;
  sword OCIDateTimeFromText(void* env, OCIError* error, const OraText* text, std::size_t textLength,
                            const OraText* format, ub1 formatLength, const OraText* language,
                            std::size_t languageLength, OCIDateTime* datetime) override;
  sword OCIDateTimeGetTimeZoneOffset(void* env, OCIError* error, const OCIDateTime* datetime, sb1* hours,
                                     sb1* minutes) override;
  sword OCIDateTimeSysTimeStamp(void* env, OCIError* error, OCIDateTime* datetime) override;
  sword OCIDateTimeToText(void* env, OCIError* error, const OCIDateTime* datetime, const OraText* format,
                          ub1 formatLength, ub1 fractionDigits, const OraText* language, std::size_t languageLength,
                          ub4* bufferSize, OraText* buffer) override;
  sword OCIDateTimeGetTimeZoneName(void* env, OCIError* error, const OCIDateTime* datetime, ub1* buffer,
                                   ub4* bufferLength) override;
  sword OCIDescribeAny(OCISvcCtx* context, OCIError* error, void* object, ub4 objectLength, ub1 objectKind,
                       ub1 infoLevel, ub1 objectType, OCIDescribe* describe) override;
};
