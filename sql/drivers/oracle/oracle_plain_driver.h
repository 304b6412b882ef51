// The plain driver of the client call interface: IZOraclePlainDriver is the
// one road from the driver to the library. Each operation calls the entry
// point it is named after with the arguments unchanged and returns its
// status; calling one the loaded library does not export raises
// EZSQLException naming the function. The other bound entry points have no
// operation, as nothing in the driver calls them.
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
};
