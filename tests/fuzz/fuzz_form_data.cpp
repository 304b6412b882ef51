// Fuzzes what stored form data feeds the components: property texts set by
// name on the standard controls, and a stored parameter collection
// ("ParamData"). Any input must end in a set property or a named error; a
// collection that reads must write and read back equal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/db/params.h"
#include "platform/db/params_stream.h"
#include "platform/gui/edits.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/forms.h"
#include "platform/gui/std_controls.h"
#include "platform/rtl/streams.h"

namespace {

void SetProperty(const uint8_t* data, size_t size) {
  static TForm* form = new TForm(nullptr);
  static const std::vector<TObject*> objects = {form, new TLabel(form), new TPanel(form), new TEdit(form)};
  TObject* object = objects[data[0] % objects.size()];
  const std::vector<PPropInfo> props = GetPropList(object);
  if (props.empty()) return;
  const AnsiString value(reinterpret_cast<const char*>(data) + 2, size - 2);
  try {
    SetPropertyText(object, props[data[1] % props.size()], value);
  } catch (const Exception&) {
  }
}

void ReadParams(const uint8_t* data, size_t size) {
  TMemoryStream input;
  input.Write(data, static_cast<int64_t>(size));
  input.SetPosition(0);
  TParams params;
  try {
    ReadParamData(input, params);
  } catch (const Exception&) {
    return;
  }
  TMemoryStream stored;
  WriteParamData(stored, params);
  stored.SetPosition(0);
  TParams again;
  ReadParamData(stored, again);
  if (!again.IsEqual(params)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  if (data[0] & 0x80)
    ReadParams(data + 1, size - 1);
  else
    SetProperty(data, size);
  return 0;
}
