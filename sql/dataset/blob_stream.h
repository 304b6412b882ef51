// TZBlobStream: the stream a dataset hands out for writing a blob or memo
// field. It collects the bytes in memory and, when freed, stores them into
// the row's blob and tells the dataset that the field changed.
#pragma once

#include "platform/db/db_types.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/interfaces.h"

class TField;

class TZBlobStream : public TMemoryStream {
public:
  // In read-write mode the stream starts with the blob's content.
  TZBlobStream(TField* field, Ref<IZBlob> blob, TBlobStreamMode mode);
  ~TZBlobStream() override;

private:
  TField* field_;
  Ref<IZBlob> blob_;
  TBlobStreamMode mode_;
};
