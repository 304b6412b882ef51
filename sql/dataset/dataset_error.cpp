// EZDatabaseError made from a driver's exception.
#include "sql/dataset/dataset_error.h"

#include "sql/core/sql_exception.h"

EZDatabaseError EZDatabaseError::CreateFromException(const EZSQLThrowable& error) {
  EZDatabaseError result(error.Message());
  result.errorCode_ = error.ErrorCode();
  result.statusCode_ = error.StatusCode();
  return result;
}
