// TZSequence: names a server-side sequence on the connection of a
// TZConnection. It holds the driver's sequence object while the connection is
// open (made on first use, dropped on disconnect) and gives the next value and
// the SQL expression of the current one, for a dataset that fills its key
// from the sequence and an update SQL component that refreshes by it.
#pragma once

#include <cstdint>

#include "platform/rtl/components.h"
#include "sql/core/dbc/interfaces.h"

class TZConnection;

class TZSequence : public TComponent {
public:
  explicit TZSequence(TComponent* owner);
  ~TZSequence() override;
  void BeforeDestruction() override;

  TZConnection* Connection() const { return connection_; }
  // Drops the held object and moves the registration; an open connection
  // gives the new object at once.
  void SetConnection(TZConnection* value);
  const AnsiString& SequenceName() const { return sequenceName_; }
  void SetSequenceName(const AnsiString& value);
  int BlockSize() const { return blockSize_; }
  void SetBlockSize(int value);

  // The held sequence object, made when the connection is open; none otherwise.
  Ref<IZSequence> AcquireSequence();
  // The object held now, without making one.
  const Ref<IZSequence>& HeldSequence() const { return sequence_; }
  // 0 without a sequence object.
  std::int64_t GetNextValue();
  // "IMPLEMENT" without a sequence object.
  AnsiString GetCurrentValueSQL();
  // Called by the connection when it disconnects.
  void ReleaseSequence() { sequence_ = nullptr; }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  Ref<IZSequence> sequence_;
  TZConnection* connection_ = nullptr;
  AnsiString sequenceName_;
  int blockSize_ = 1;
};
