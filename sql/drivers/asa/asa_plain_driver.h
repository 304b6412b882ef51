// The plain drivers of the embedded-SQL client: IZASAPlainDriver is the one
// road from the driver to the library. Each operation calls the entry point
// it is named after and returns its result; a few insert the constant
// arguments the client expects, so callers never pass them. Calling an
// entry point the loaded library does not export raises EZSQLException
// naming the function. The three generations differ only in protocol,
// description and library.
#pragma once

#include "sql/core/dbc/native_library.h"
#include "sql/drivers/asa/asa_api.h"

class IZASAPlainDriver : public virtual IZPlainDriver {
public:
  virtual char* sqlerror_message(SQLCA* sqlca, char* buffer, int size) = 0;
  virtual unsigned short db_init(SQLCA* sqlca) = 0;
  virtual unsigned short db_fini(SQLCA* sqlca) = 0;
  virtual unsigned db_string_connect(SQLCA* sqlca, const char* text) = 0;
  virtual unsigned db_string_disconnect(SQLCA* sqlca, const char* text) = 0;
  virtual SQLDA* alloc_sqlda(unsigned count) = 0;
  virtual SQLDA* free_sqlda(SQLDA* sqlda) = 0;
  virtual void dbpp_setoption(SQLCA* sqlca, int temporary, const char* user, const char* option, SQLDA* value) = 0;
  virtual void dbpp_describe_cursor(SQLCA* sqlca, const char* cursor, SQLDA* descriptor, unsigned kind) = 0;
  virtual void dbpp_prepare_describe(SQLCA* sqlca, const char* statementName, short* statementNumber,
                                     const char* sql, SQLDA* descriptor, unsigned flags, short longNames) = 0;
  virtual void dbpp_describe(SQLCA* sqlca, const char* statementName, short* statementNumber, SQLDA* descriptor,
                             short kind) = 0;
  virtual void dbpp_dropstmt(SQLCA* sqlca, const char* statementName, const char* progname,
                             short* statementNumber) = 0;
  virtual void dbpp_open(SQLCA* sqlca, const char* cursor, const char* statementName, short* statementNumber,
                         SQLDA* input, short blockSize, short isolation, short options) = 0;
  virtual void dbpp_close(SQLCA* sqlca, const char* cursor) = 0;
  virtual void dbpp_fetch(SQLCA* sqlca, const char* cursor, short kind, int offset, SQLDA* descriptor,
                          short blockSize, short flags) = 0;
  virtual void dbpp_get_data(SQLCA* sqlca, const char* cursor, short column, int offset, SQLDA* descriptor) = 0;
  virtual void dbpp_delete(SQLCA* sqlca, const char* cursor) = 0;
  virtual void dbpp_update(SQLCA* sqlca, const char* cursor, SQLDA* values) = 0;
  virtual void dbpp_put_into(SQLCA* sqlca, const char* cursor, SQLDA* values, SQLDA* result) = 0;
  virtual void dbpp_execute_into(SQLCA* sqlca, const char* statementName, const char* progname,
                                 short* statementNumber, SQLDA* input, SQLDA* output) = 0;
  virtual void dbpp_execute_imm(SQLCA* sqlca, const char* sql) = 0;
  virtual void dbpp_commit(SQLCA* sqlca, int flag) = 0;
  virtual void dbpp_rollback(SQLCA* sqlca, int flag) = 0;
  virtual void dbpp_resume(SQLCA* sqlca, const char* cursor) = 0;
  virtual void db_cancel_request(SQLCA* sqlca) = 0;
  // The calls the driver itself does not make.
  virtual unsigned short db_find_engine(SQLCA* sqlca, const char* name) = 0;
  virtual unsigned db_start_engine(SQLCA* sqlca, const char* parameters) = 0;
  virtual unsigned db_stop_engine(SQLCA* sqlca, const char* parameters) = 0;
  virtual unsigned db_start_database(SQLCA* sqlca, const char* parameters) = 0;
  virtual unsigned db_stop_database(SQLCA* sqlca, const char* parameters) = 0;
  virtual SQLDA* fill_sqlda(SQLDA* sqlda) = 0;
  virtual SQLDA* fill_s_sqlda(SQLDA* sqlda, unsigned maxLength) = 0;
  virtual void free_sqlda_noind(SQLDA* sqlda) = 0;
  virtual void free_filled_sqlda(SQLDA* sqlda) = 0;
  virtual void dbpp_setconnect(SQLCA* sqlca, const char* name) = 0;
  virtual void dbpp_disconnect(SQLCA* sqlca, const char* name) = 0;
  virtual void dbpp_prepare_into(SQLCA* sqlca, const char* statementName, short* statementNumber, const char* sql,
                                 SQLDA* input, SQLDA* output, unsigned longNames) = 0;
  virtual void dbpp_declare(SQLCA* sqlca, const char* cursor, const char* progname, const char* statementName,
                            short* statementNumber, short options) = 0;
  virtual void dbpp_fetch_array(SQLCA* sqlca, const char* cursor, short kind, int offset, SQLDA* descriptor,
                                short blockSize, short flags, short rows) = 0;
  virtual void dbpp_put_array(SQLCA* sqlca, const char* cursor, SQLDA* values, SQLDA* result, short rows) = 0;
  virtual void dbpp_select(SQLCA* sqlca, const char* statementName, short* statementNumber, SQLDA* input,
                           SQLDA* output) = 0;
  virtual void dbpp_explain(SQLCA* sqlca, const char* cursor, SQLDA* plan) = 0;
  virtual void db_register_a_callback(SQLCA* sqlca, unsigned char index, SQLCallback callback) = 0;
};

// The interfaces of the three generations: they add nothing, and tell which
// client a plain driver speaks to.
class IZASA7PlainDriver : public virtual IZASAPlainDriver {};
class IZASA8PlainDriver : public virtual IZASAPlainDriver {};
class IZASA9PlainDriver : public virtual IZASAPlainDriver {};

// One generation's plain driver: forwards every call to its own loader's
// table.
class TZASAPlainDriver : public TZAbstractObject, public virtual IZASAPlainDriver {
public:
  AnsiString GetProtocol() override { return protocol_; }
  AnsiString GetDescription() override { return description_; }
  // Loads the generation's library once per run.
  void Initialize() override;

  char* sqlerror_message(SQLCA* sqlca, char* buffer, int size) override;
  unsigned short db_init(SQLCA* sqlca) override;
  unsigned short db_fini(SQLCA* sqlca) override;
  unsigned db_string_connect(SQLCA* sqlca, const char* text) override;
  unsigned db_string_disconnect(SQLCA* sqlca, const char* text) override;
  SQLDA* alloc_sqlda(unsigned count) override;
  SQLDA* free_sqlda(SQLDA* sqlda) override;
  void dbpp_setoption(SQLCA* sqlca, int temporary, const char* user, const char* option, SQLDA* value) override;
  void dbpp_describe_cursor(SQLCA* sqlca, const char* cursor, SQLDA* descriptor, unsigned kind) override;
  void dbpp_prepare_describe(SQLCA* sqlca, const char* statementName, short* statementNumber, const char* sql,
                             SQLDA* descriptor, unsigned flags, short longNames) override;
  void dbpp_describe(SQLCA* sqlca, const char* statementName, short* statementNumber, SQLDA* descriptor,
                     short kind) override;
  void dbpp_dropstmt(SQLCA* sqlca, const char* statementName, const char* progname,
                     short* statementNumber) override;
  void dbpp_open(SQLCA* sqlca, const char* cursor, const char* statementName, short* statementNumber, SQLDA* input,
                 short blockSize, short isolation, short options) override;
  void dbpp_close(SQLCA* sqlca, const char* cursor) override;
  void dbpp_fetch(SQLCA* sqlca, const char* cursor, short kind, int offset, SQLDA* descriptor, short blockSize,
                  short flags) override;
  void dbpp_get_data(SQLCA* sqlca, const char* cursor, short column, int offset, SQLDA* descriptor) override;
  void dbpp_delete(SQLCA* sqlca, const char* cursor) override;
  void dbpp_update(SQLCA* sqlca, const char* cursor, SQLDA* values) override;
  void dbpp_put_into(SQLCA* sqlca, const char* cursor, SQLDA* values, SQLDA* result) override;
  void dbpp_execute_into(SQLCA* sqlca, const char* statementName, const char* progname, short* statementNumber,
                         SQLDA* input, SQLDA* output) override;
  void dbpp_execute_imm(SQLCA* sqlca, const char* sql) override;
  void dbpp_commit(SQLCA* sqlca, int flag) override;
  void dbpp_rollback(SQLCA* sqlca, int flag) override;
  void dbpp_resume(SQLCA* sqlca, const char* cursor) override;
  void db_cancel_request(SQLCA* sqlca) override;
  unsigned short db_find_engine(SQLCA* sqlca, const char* name) override;
  unsigned db_start_engine(SQLCA* sqlca, const char* parameters) override;
  unsigned db_stop_engine(SQLCA* sqlca, const char* parameters) override;
  unsigned db_start_database(SQLCA* sqlca, const char* parameters) override;
  unsigned db_stop_database(SQLCA* sqlca, const char* parameters) override;
  SQLDA* fill_sqlda(SQLDA* sqlda) override;
  SQLDA* fill_s_sqlda(SQLDA* sqlda, unsigned maxLength) override;
  void free_sqlda_noind(SQLDA* sqlda) override;
  void free_filled_sqlda(SQLDA* sqlda) override;
  void dbpp_setconnect(SQLCA* sqlca, const char* name) override;
  void dbpp_disconnect(SQLCA* sqlca, const char* name) override;
  void dbpp_prepare_into(SQLCA* sqlca, const char* statementName, short* statementNumber, const char* sql, SQLDA* input,
                         SQLDA* output, unsigned longNames) override;
  void dbpp_declare(SQLCA* sqlca, const char* cursor, const char* progname, const char* statementName,
                    short* statementNumber, short options) override;
  void dbpp_fetch_array(SQLCA* sqlca, const char* cursor, short kind, int offset, SQLDA* descriptor, short blockSize,
                        short flags, short rows) override;
  void dbpp_put_array(SQLCA* sqlca, const char* cursor, SQLDA* values, SQLDA* result, short rows) override;
  void dbpp_select(SQLCA* sqlca, const char* statementName, short* statementNumber, SQLDA* input,
                   SQLDA* output) override;
  void dbpp_explain(SQLCA* sqlca, const char* cursor, SQLDA* plan) override;
  void db_register_a_callback(SQLCA* sqlca, unsigned char index, SQLCallback callback) override;

protected:
  TZASAPlainDriver(int version, AnsiString protocol, AnsiString description)
      : version_(version), protocol_(std::move(protocol)), description_(std::move(description)) {}

private:
  void* RequireEntry(int entry) const;

  int version_;
  AnsiString protocol_;
  AnsiString description_;
};

class TZASA7PlainDriver : public TZASAPlainDriver, public virtual IZASA7PlainDriver {
public:
  TZASA7PlainDriver() : TZASAPlainDriver(7, "ASA7", "Native Plain Driver for ASA 7.0 DBLib") {}
};
class TZASA8PlainDriver : public TZASAPlainDriver, public virtual IZASA8PlainDriver {
public:
  TZASA8PlainDriver() : TZASAPlainDriver(8, "ASA8", "Native Plain Driver for ASA 8.0 DBLib") {}
};
class TZASA9PlainDriver : public TZASAPlainDriver, public virtual IZASA9PlainDriver {
public:
  TZASA9PlainDriver() : TZASAPlainDriver(9, "ASA9", "Native Plain Driver for ASA 9.0 DBLib") {}
};
