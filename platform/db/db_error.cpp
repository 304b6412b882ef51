// Raising of the dataset framework's errors.
#include "platform/db/db_error.h"

void DatabaseError(const AnsiString& message) { throw EDatabaseError(message); }

void DatabaseErrorFmt(const char* pattern, std::initializer_list<TVarRec> args) {
  throw EDatabaseError(Format(pattern, args));
}
