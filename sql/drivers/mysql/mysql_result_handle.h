// A result of the client library owned for its whole life: freed once,
// through the plain driver that made it, however its owner ends. Every
// client-library handle a driver keeps lives in a holder like this one.
#pragma once

#include "sql/drivers/mysql/mysql_client_types.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

class TZMySQLResultHandle {
public:
  TZMySQLResultHandle() = default;
  TZMySQLResultHandle(IZMySQLPlainDriver* plainDriver, MYSQL_RES* result) { Reset(plainDriver, result); }
  ~TZMySQLResultHandle() { Reset(); }
  TZMySQLResultHandle(const TZMySQLResultHandle&) = delete;
  TZMySQLResultHandle& operator=(const TZMySQLResultHandle&) = delete;

  // Frees the result held, then holds `result` (none when null).
  void Reset(IZMySQLPlainDriver* plainDriver = nullptr, MYSQL_RES* result = nullptr) {
    if (result_) plainDriver_->FreeResult(result_);
    plainDriver_ = plainDriver;
    result_ = result;
  }
  MYSQL_RES* get() const { return result_; }
  explicit operator bool() const { return result_ != nullptr; }

private:
  // Not counted: whoever holds the result holds the driver for longer.
  IZMySQLPlainDriver* plainDriver_ = nullptr;
  MYSQL_RES* result_ = nullptr;
};
