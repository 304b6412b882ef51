// The in-memory blob (see blobs.h).

#include "sql/core/dbc/blobs.h"

#include <limits>

#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

TZAbstractBlob::TZAbstractBlob(TStream* stream) { ReadStream(stream); }

Ref<TZAbstractBlob> TZAbstractBlob::CreateWithData(const void* data, int size) {
  Ref<TZAbstractBlob> blob = MakeRef<TZAbstractBlob>();
  blob->BlobSize = size < 0 ? -1 : size;
  if (size > 0) blob->BlobData.assign(static_cast<const char*>(data), size);
  return blob;
}

void TZAbstractBlob::ReadStream(TStream* stream) {
  if (!stream) return;
  std::int64_t size = stream->Size();
  if (size > std::numeric_limits<int>::max()) throw ERangeError(SRangeError);
  AnsiString data(static_cast<std::size_t>(size), '\0');
  stream->SetPosition(0);
  stream->ReadBuffer(data.data(), size);
  BlobData = std::move(data);
  BlobSize = static_cast<int>(size);
}

AnsiString TZAbstractBlob::GetString() { return BlobSize > 0 ? BlobData : AnsiString(); }

void TZAbstractBlob::SetString(const AnsiString& value) {
  Clear();
  BlobData = value;
  BlobSize = static_cast<int>(value.size());
}

WideString TZAbstractBlob::GetUnicodeString() { return AnsiToWide(GetString()); }
void TZAbstractBlob::SetUnicodeString(const WideString& value) { SetString(WideToAnsi(value)); }

TByteDynArray TZAbstractBlob::GetBytes() {
  AnsiString data = GetString();
  return TByteDynArray(data.begin(), data.end());
}

void TZAbstractBlob::SetBytes(const TByteDynArray& value) {
  if (value.empty())
    Clear();
  else
    SetString(AnsiString(value.begin(), value.end()));
}

std::unique_ptr<TStream> TZAbstractBlob::GetStream() { return std::make_unique<TStringStream>(GetString()); }

void TZAbstractBlob::SetStream(TStream* value) {
  Clear();
  ReadStream(value);
}

void TZAbstractBlob::Clear() {
  BlobData.clear();
  BlobData.shrink_to_fit();
  BlobSize = -1;
  Updated = true;
}

Ref<IZBlob> TZAbstractBlob::Clone() { return CreateWithData(BlobData.data(), BlobSize); }

void TZLazyBlob::Load() {
  if (loaded_ || Updated) return;
  BlobData = ReadValue();
  BlobSize = static_cast<int>(BlobData.size());
  loaded_ = true;
}

bool TZLazyBlob::IsEmpty() {
  Load();
  return TZAbstractBlob::IsEmpty();
}

int TZLazyBlob::GetLength() {
  Load();
  return TZAbstractBlob::GetLength();
}

AnsiString TZLazyBlob::GetString() {
  Load();
  return TZAbstractBlob::GetString();
}

WideString TZLazyBlob::GetUnicodeString() {
  Load();
  return TZAbstractBlob::GetUnicodeString();
}

TByteDynArray TZLazyBlob::GetBytes() {
  Load();
  return TZAbstractBlob::GetBytes();
}

std::unique_ptr<TStream> TZLazyBlob::GetStream() {
  Load();
  return TZAbstractBlob::GetStream();
}

Ref<IZBlob> TZLazyBlob::Clone() {
  Load();
  return TZAbstractBlob::Clone();
}
