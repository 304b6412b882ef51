// What the fake and the real library tests share: both flavours' plain
// drivers, and one login record filled through every item setter.
#pragma once

#include <vector>

#include "sql/drivers/dblib/dblib_plain_driver.h"

namespace dblib_test {

inline std::vector<Ref<IZDBLibPlainDriver>> BothFlavours() {
  return {MakeRef<TZDBLibMSSQL7PlainDriver>(), MakeRef<TZDBLibSybaseASE125PlainDriver>()};
}

// Makes a login record, sets host "ws", user "u", password "p", application
// "app", language "lang", character set "cs" and the operating system's
// sign-on, frees it, and gives each setter's answer in that order.
inline std::vector<RETCODE> SetEveryLoginItem(IZDBLibPlainDriver* plain) {
  DBLibLogin* login = plain->dblogin();
  std::vector<RETCODE> answers = {plain->dbsetlhost(login, "ws"),     plain->dbsetluser(login, "u"),
                                  plain->dbsetlpwd(login, "p"),       plain->dbsetlapp(login, "app"),
                                  plain->dbsetlnatlang(login, "lang"), plain->dbsetlcharset(login, "cs"),
                                  plain->dbsetlsecure(login)};
  plain->dbloginfree(login);
  return answers;
}

}  // namespace dblib_test
