// The SQL variables through which Oracle statements exchange values with the
// client: one value buffer per bound parameter or defined result column, the
// routines that size, fill, reset and release them.
#pragma once

#include <memory>
#include <vector>

#include "sql/core/dbc/interfaces.h"
#include "sql/core/variant.h"
#include "sql/drivers/oracle/oracle_plain_driver.h"

// A statement has at most this many parameters or result columns.
inline constexpr int kMaxSQLVars = 1024;

struct TZSQLVar {
  void* Handle = nullptr;  // a result column's parameter descriptor
  OCIDefine* Define = nullptr;
  OCIBind* BindHandle = nullptr;
  // The value buffer the client reads or fills; null while a parameter holds
  // NULL. Buffer owns it and gives it back after each execution.
  char* Data = nullptr;
  std::unique_ptr<char[]> Buffer;
  ub2 DataType = 0;  // the client's type code from the column description
  ub2 DataSize = 0;
  int Length = 0;  // bytes of the buffer
  int Precision = 0;
  int Scale = 0;
  TZSQLType ColType = stUnknown;
  ub2 TypeCode = 0;  // the external type code of the define or bind
  sb2 Indicator = 0;  // -1 NULL, 0 value present
  Ref<IZBlob> Blob;   // the temporary LOB of a LOB parameter until the reset
};

struct TZSQLVars {
  int AllocNum = 0;
  int ActualNum = 0;
  // 1-based; ERangeError outside 1..AllocNum.
  TZSQLVar& Variable(int index);
  std::vector<TZSQLVar> Variables;
};

// A new zeroed block of count variables (ERangeError above 1024), ActualNum
// 0; callers set ActualNum. An existing block goes with its buffers.
void AllocateVarBlock(std::unique_ptr<TZSQLVars>& block, int count);
// Frees the descriptor of every variable in use once, then the block. A null
// block is accepted.
void FreeVarBlock(IZOraclePlainDriver* plainDriver, std::unique_ptr<TZSQLVars>& block);
// Fixes a variable's type code and buffer for sqlType (a dataSize above
// 65535 is an ERangeError); LOB and timestamp buffers receive a descriptor
// from the connection's environment. Integers travel in 4 bytes, 64-bit
// ones (stLong) in 8.
void PrepareVar(IZOraclePlainDriver* plainDriver, IZConnection* connection, TZSQLVar& variable, TZSQLType sqlType,
                ub2 typeCode, int dataSize);
// Binds a parameter's buffer at position (from 1); the status is checked
// with lcExecute and logMessage.
void BindParamVar(IZOraclePlainDriver* plainDriver, OCIStmt* handle, OCIError* errorHandle, int position,
                  TZSQLVar& variable, const AnsiString& logMessage);
// Stores values[i - 1] into parameter i for i up to ActualNum. A NULL leaves
// Data null until ResetParamVars; a text longer than its buffer gets a
// buffer of its size, bound again on handle. Conversion and range errors
// are raised before the client is called for that value.
void LoadParamVars(IZOraclePlainDriver* plainDriver, IZConnection* connection, OCIStmt* handle,
                   OCIError* errorHandle, const TZVariantDynArray& values, TZSQLVars& block);
// After an execution: drops the LOB values and gives every buffer back.
void ResetParamVars(TZSQLVars& block);
