// EZDatabaseError, the error of the dataset components. Made from a driver's
// EZSQLException it keeps the server's error code and status, so callers
// above the dataset layer can still tell server errors apart.
#pragma once

#include "platform/db/db_error.h"

class EZSQLThrowable;

class EZDatabaseError : public EDatabaseError {
public:
  explicit EZDatabaseError(AnsiString message) : EDatabaseError(std::move(message)) {}
  static EZDatabaseError CreateFromException(const EZSQLThrowable& error);
  const char* ClassName() const override { return "EZDatabaseError"; }

  int ErrorCode() const { return errorCode_; }
  const AnsiString& StatusCode() const { return statusCode_; }

private:
  int errorCode_ = 0;
  AnsiString statusCode_;
};
