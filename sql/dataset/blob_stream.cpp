// TZBlobStream: writing a blob field through a memory stream.
#include "sql/dataset/blob_stream.h"

#include "platform/db/dataset.h"

TZBlobStream::TZBlobStream(TField* field, Ref<IZBlob> blob, TBlobStreamMode mode)
    : field_(field), blob_(std::move(blob)), mode_(mode) {
  if (mode_ == bmWrite || !blob_ || blob_->IsEmpty()) return;
  std::unique_ptr<TStream> content = blob_->GetStream();
  LoadFromStream(content.get());
  SetPosition(0);
}

TZBlobStream::~TZBlobStream() {
  if (mode_ == bmRead || !blob_) return;
  try {
    SetPosition(0);
    blob_->SetStream(Size() > 0 ? this : nullptr);
    field_->DataSet()->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field_));
  } catch (const std::exception&) {
    // A destructor cannot pass the error on; the value stays as far as it was stored.
  }
}
