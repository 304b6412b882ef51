// Large objects read and written through libpq in units of 1024 bytes. The
// server serves large-object calls only inside a transaction block, so a
// session without an isolation level (no block of its own) gets one around
// each read or write.

#include "sql/drivers/postgresql/postgresql_blob.h"

#include <algorithm>

#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

namespace {

// libpq's open modes.
constexpr int kLargeObjectRead = 0x40000;
constexpr int kLargeObjectWrite = 0x20000;
constexpr int kTransferUnit = 1024;

// BEGIN on entry when the session is outside a block, COMMIT by Commit,
// ROLLBACK when left without it (a failed step).
class TLargeObjectBlock {
public:
  TLargeObjectBlock(IZPostgreSQLConnection& connection, IZPostgreSQLPlainDriver& plainDriver, PGconn* handle)
      : plainDriver_(plainDriver), handle_(handle), open_(connection.GetTransactIsolationLevel() == tiNone) {
    if (open_) Send("BEGIN");
  }
  ~TLargeObjectBlock() {
    if (!open_) return;
    try {
      Send("ROLLBACK");
    } catch (...) {
      // The failed step's error is the one on its way to the caller.
    }
  }
  TLargeObjectBlock(const TLargeObjectBlock&) = delete;
  TLargeObjectBlock& operator=(const TLargeObjectBlock&) = delete;

  void Commit() {
    if (!open_) return;
    open_ = false;
    Send("COMMIT");
  }

private:
  void Send(const char* sql) {
    PGresult* result = plainDriver_.PQexec(handle_, sql);
    CheckConnectionError(nullptr, &plainDriver_, handle_, lcExecute, sql, result);
    const TZPostgreSQLResultHandle held(&plainDriver_, result);
    DriverManager()->LogMessage(lcExecute, plainDriver_.GetProtocol(), sql);
  }

  IZPostgreSQLPlainDriver& plainDriver_;
  PGconn* handle_;
  bool open_;
};

}  // namespace

TZPostgreSQLBlob::TZPostgreSQLBlob(Ref<IZPostgreSQLPlainDriver> plainDriver, const AnsiString& data,
                                   Ref<IZPostgreSQLConnection> connection, Oid blobOid)
    : plainDriver_(std::move(plainDriver)), connection_(std::move(connection)), blobOid_(blobOid) {
  BlobData = data;
  BlobSize = static_cast<int>(data.size());
}

PGconn* TZPostgreSQLBlob::Handle() {
  PGconn* handle = connection_ ? connection_->GetConnectionHandle() : nullptr;
  if (!handle || connection_->IsClosed()) throw EZSQLException(SZConnectionIsNotOpened);
  return handle;
}

void TZPostgreSQLBlob::Check(PGconn* handle, const char* step) {
  CheckConnectionError(nullptr, plainDriver_.get(), handle, lcOther, step, nullptr);
}

void TZPostgreSQLBlob::ReadBlob() {
  if (Updated || blobOid_ < 1) return;
  PGconn* handle = Handle();
  TLargeObjectBlock block(*connection_, *plainDriver_, handle);
  const int descriptor = plainDriver_->lo_open(handle, blobOid_, kLargeObjectRead);
  Check(handle, "Read Large Object");
  if (descriptor < 0) {
    // No object and no error text: the blob is empty.
    block.Commit();
    Clear();
    return;
  }
  AnsiString data;
  char buffer[kTransferUnit];
  for (;;) {
    const int count = plainDriver_->lo_read(handle, descriptor, buffer, sizeof buffer);
    if (count < 0) Check(handle, "Read Large Object");
    if (count > 0) data.append(buffer, static_cast<std::size_t>(count));
    if (count < kTransferUnit) break;
  }
  plainDriver_->lo_close(handle, descriptor);
  block.Commit();
  SetString(data);
}

void TZPostgreSQLBlob::WriteBlob() {
  if (TZAbstractBlob::IsEmpty()) {
    blobOid_ = 0;
    return;
  }
  PGconn* handle = Handle();
  TLargeObjectBlock block(*connection_, *plainDriver_, handle);
  if (blobOid_ == 0) {
    blobOid_ = plainDriver_->lo_creat(handle, kLargeObjectWrite);
    Check(handle, "Create Large Object");
  }
  const int descriptor = plainDriver_->lo_open(handle, blobOid_, kLargeObjectWrite);
  Check(handle, "Open Large Object");
  for (int position = 0; position < BlobSize;) {
    const int count = std::min(kTransferUnit, BlobSize - position);
    const int written =
        plainDriver_->lo_write(handle, descriptor, BlobData.data() + position, static_cast<std::size_t>(count));
    Check(handle, "Write Large Object");
    // A short write without an error text would lose bytes unnoticed.
    if (written != count) throw EZSQLException(Format(SZSQLError1, {SZUnknownError}));
    position += count;
  }
  plainDriver_->lo_close(handle, descriptor);
  Check(handle, "Close Large Object");
  block.Commit();
}

bool TZPostgreSQLBlob::IsEmpty() {
  ReadBlob();
  return TZAbstractBlob::IsEmpty();
}

int TZPostgreSQLBlob::GetLength() {
  ReadBlob();
  return TZAbstractBlob::GetLength();
}

AnsiString TZPostgreSQLBlob::GetString() {
  ReadBlob();
  return TZAbstractBlob::GetString();
}

TByteDynArray TZPostgreSQLBlob::GetBytes() {
  ReadBlob();
  return TZAbstractBlob::GetBytes();
}

std::unique_ptr<TStream> TZPostgreSQLBlob::GetStream() {
  ReadBlob();
  return TZAbstractBlob::GetStream();
}

// A clone of a loaded or changed blob keeps its bytes instead of reading the
// object again over them.
Ref<IZBlob> TZPostgreSQLBlob::Clone() {
  auto clone = MakeRef<TZPostgreSQLBlob>(plainDriver_, TZAbstractBlob::GetString(), connection_, blobOid_);
  clone->BlobSize = BlobSize;
  clone->Updated = Updated;
  return clone;
}
