// The one error class of the SQL library. It carries, besides the message, the
// server's or client library's error number (-1 for errors the library raises
// itself) and the server's status text, so callers can react to both.
#pragma once

#include <exception>

#include "platform/rtl/exceptions.h"

class EZSQLThrowable : public Exception {
public:
  // An error the library raises on its own: code -1, no status.
  explicit EZSQLThrowable(AnsiString msg) : Exception(std::move(msg)), errorCode_(-1) {}
  // An error numbered by the server or the client library.
  EZSQLThrowable(int errorCode, AnsiString msg) : Exception(std::move(msg)), errorCode_(errorCode) {}
  // An error for which the server only reports a status text: code 0.
  EZSQLThrowable(AnsiString statusCode, AnsiString msg)
      : Exception(std::move(msg)), errorCode_(0), statusCode_(std::move(statusCode)) {}
  // A server error that has both a number and a status text.
  EZSQLThrowable(int errorCode, AnsiString statusCode, AnsiString msg)
      : Exception(std::move(msg)), errorCode_(errorCode), statusCode_(std::move(statusCode)) {}

  int ErrorCode() const { return errorCode_; }
  const AnsiString& StatusCode() const { return statusCode_; }
  const char* ClassName() const override { return "EZSQLThrowable"; }

private:
  int errorCode_;
  AnsiString statusCode_;
};

class EZSQLException : public EZSQLThrowable {
public:
  using EZSQLThrowable::EZSQLThrowable;
  // A new error with the source's message, code and status.
  explicit EZSQLException(const EZSQLThrowable& source) : EZSQLThrowable(source) {}
  const char* ClassName() const override { return "EZSQLException"; }
};

// Passes any error on as an EZSQLException: an EZSQLException keeps its code and
// status, anything else keeps only its message (code -1).
[[noreturn]] void RaiseSQLException(const std::exception& e);
