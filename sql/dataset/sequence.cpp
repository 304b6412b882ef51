// TZSequence: the sequence object's life follows the connection's.
#include "sql/dataset/sequence.h"

#include "sql/dataset/connection.h"

namespace {

// What a sequence answers for its current value while it has no object.
constexpr char kNoSequenceSQL[] = "IMPLEMENT";

}  // namespace

TZSequence::TZSequence(TComponent* owner) : TComponent(owner) {}

TZSequence::~TZSequence() { TZSequence::BeforeDestruction(); }

void TZSequence::BeforeDestruction() {
  if (connection_) connection_->UnregisterSequence(this);
  connection_ = nullptr;
  sequence_ = nullptr;
  TComponent::BeforeDestruction();
}

void TZSequence::SetConnection(TZConnection* value) {
  if (value == connection_) return;
  sequence_ = nullptr;
  if (connection_) connection_->UnregisterSequence(this);
  connection_ = value;
  if (connection_) connection_->RegisterSequence(this);
  AcquireSequence();
}

void TZSequence::SetSequenceName(const AnsiString& value) {
  sequenceName_ = value;
  if (Ref<IZSequence> sequence = AcquireSequence()) sequence->SetName(value);
}

void TZSequence::SetBlockSize(int value) {
  blockSize_ = value;
  if (Ref<IZSequence> sequence = AcquireSequence()) sequence->SetBlockSize(value);
}

Ref<IZSequence> TZSequence::AcquireSequence() {
  if (!sequence_ && connection_ && connection_->Connected())
    sequence_ = connection_->DbcConnection()->CreateSequence(sequenceName_, blockSize_);
  return sequence_;
}

std::int64_t TZSequence::GetNextValue() {
  Ref<IZSequence> sequence = AcquireSequence();
  return sequence ? sequence->GetNextValue() : 0;
}

AnsiString TZSequence::GetCurrentValueSQL() {
  Ref<IZSequence> sequence = AcquireSequence();
  return sequence ? sequence->GetCurrentValueSQL() : AnsiString(kNoSequenceSQL);
}

void TZSequence::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == connection_) {
    connection_ = nullptr;
    sequence_ = nullptr;
  }
}
