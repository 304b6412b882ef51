// TGraphic's shared parts: files and resources go through the stream methods
// of the concrete classes.
#include "platform/gui/graphic.h"

#include "platform/gui/resources.h"
#include "platform/rtl/streams.h"

void TGraphic::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  Changed();
}

void TGraphic::SetModified(bool value) {
  if (value) Changed();
  else modified_ = false;
}

void TGraphic::Changed() {
  modified_ = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

void TGraphic::LoadFromResourceName(uintptr_t, const AnsiString& name) {
  const ResourceEntry* entry = FindResourceEntry(name);
  if (!entry) throw EResNotFound("Resource " + name + " not found");
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(entry->data), entry->size));
  LoadFromStream(&stream);
}

std::string ReadAll(TStream* stream) {
  std::string data(size_t(stream->Size() - stream->Position()), '\0');
  stream->ReadBuffer(data.data(), int64_t(data.size()));
  return data;
}
