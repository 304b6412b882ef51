// TZAbstractBlob: a large value (text, wide text or binary) kept whole in
// memory. A blob with no value at all is empty (NULL, length -1); a value of
// length 0 is not empty. Drivers whose servers hand out blob handles derive
// their blob classes from it.
#pragma once

#include "sql/core/dbc/interfaces.h"

class TZAbstractBlob : public TZAbstractObject, public virtual IZBlob {
public:
  // Copies the whole stream from position 0; null gives an empty blob. A
  // stream longer than the 32-bit range raises ERangeError. The caller keeps
  // the stream.
  explicit TZAbstractBlob(TStream* stream = nullptr);
  // Copies size bytes from data; a size below 0 gives an empty blob.
  static Ref<TZAbstractBlob> CreateWithData(const void* data, int size);

  bool IsEmpty() override { return BlobSize < 0; }
  bool IsUpdated() override { return Updated; }
  int GetLength() override { return BlobSize; }
  AnsiString GetString() override;
  void SetString(const AnsiString& value) override;
  WideString GetUnicodeString() override;
  void SetUnicodeString(const WideString& value) override;
  TByteDynArray GetBytes() override;
  // An empty array clears the value: the blob becomes empty.
  void SetBytes(const TByteDynArray& value) override;
  std::unique_ptr<TStream> GetStream() override;
  void SetStream(TStream* value) override;
  void Clear() override;
  // A copy of the value that does not count as updated.
  Ref<IZBlob> Clone() override;
  using TZAbstractObject::Clone;

protected:
  void ReadStream(TStream* stream);

  // The value's bytes; BlobSize is -1 when there is no value.
  AnsiString BlobData;
  int BlobSize = -1;
  bool Updated = false;
};

// A blob whose value the driver reads on first use: every reader loads it
// first, once; a value set before is kept.
class TZLazyBlob : public TZAbstractBlob {
public:
  bool IsEmpty() override;
  int GetLength() override;
  AnsiString GetString() override;
  WideString GetUnicodeString() override;
  TByteDynArray GetBytes() override;
  std::unique_ptr<TStream> GetStream() override;
  // A copy of the value, loaded first, that reads nothing more.
  Ref<IZBlob> Clone() override;
  using TZAbstractBlob::Clone;

  void Load();

protected:
  // The value's bytes, asked for once.
  virtual AnsiString ReadValue() = 0;

private:
  bool loaded_ = false;
};
