// The large-object blob: with "oidasblob" an OID column refers to a server
// large object. The blob holds the OID, reads the object's bytes through
// libpq's large-object calls the first time its content is asked for, and
// writes its bytes into a new object for a parameter.
#pragma once

#include "sql/core/dbc/blobs.h"
#include "sql/drivers/postgresql/postgresql_connection.h"

class IZPostgreSQLBlob : public virtual IZBlob {
public:
  virtual Oid GetBlobOid() = 0;
  // Loads the object once; nothing for OID 0 or a blob already loaded or set.
  virtual void ReadBlob() = 0;
  // Writes the bytes into the object, made first when the OID is 0; an empty
  // blob gets OID 0 and writes nothing.
  virtual void WriteBlob() = 0;
};

class TZPostgreSQLBlob : public TZAbstractBlob, public virtual IZPostgreSQLBlob {
public:
  // Holds data (length 0 for none, which is not empty). The object lives on
  // the connection's session, taken at each call so a reconnect never leaves
  // a stale handle here.
  TZPostgreSQLBlob(Ref<IZPostgreSQLPlainDriver> plainDriver, const AnsiString& data,
                   Ref<IZPostgreSQLConnection> connection, Oid blobOid);

  Oid GetBlobOid() override { return blobOid_; }
  void ReadBlob() override;
  void WriteBlob() override;

  // The readers load the object first, so no caller sees a value that was
  // never read.
  bool IsEmpty() override;
  int GetLength() override;
  AnsiString GetString() override;
  TByteDynArray GetBytes() override;
  std::unique_ptr<TStream> GetStream() override;
  Ref<IZBlob> Clone() override;
  using TZAbstractBlob::Clone;

private:
  PGconn* Handle();
  // Raises the session's error, logged under lcOther with step.
  void Check(PGconn* handle, const char* step);

  Ref<IZPostgreSQLPlainDriver> plainDriver_;
  Ref<IZPostgreSQLConnection> connection_;
  Oid blobOid_;
};
