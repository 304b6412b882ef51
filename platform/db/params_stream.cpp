// The stored form of a parameter collection: a marker byte, the count, then
// per parameter its name, data type, parameter type, null flag and, when not
// null, the value's variant type and its bytes (little-endian as in memory).
#include "platform/db/params_stream.h"

#include <cstdint>

#include "platform/db/params.h"
#include "platform/db/variant_values.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

constexpr std::uint8_t kCollectionMarker = 0x0E;

template <class T>
void Put(TStream& stream, T value) {
  stream.WriteBuffer(&value, sizeof value);
}

template <class T>
T Take(TStream& stream) {
  T value{};
  stream.ReadBuffer(&value, sizeof value);
  return value;
}

// A length read from the stream: a negative one, or one beyond what is left,
// is a damaged stream rather than a reason to allocate.
std::int32_t TakeLength(TStream& stream, std::int64_t unitSize) {
  auto length = Take<std::int32_t>(stream);
  if (length < 0 || length * unitSize > stream.Size() - stream.Position()) throw EReadError(SReadError);
  return length;
}

template <class Text>
void PutText(TStream& stream, const Text& text) {
  Put<std::int32_t>(stream, static_cast<std::int32_t>(text.size()));
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size() * sizeof(typename Text::value_type)));
}

template <class Text>
Text TakeText(TStream& stream) {
  Text text(TakeLength(stream, sizeof(typename Text::value_type)), typename Text::value_type());
  stream.ReadBuffer(text.data(), static_cast<std::int64_t>(text.size() * sizeof(typename Text::value_type)));
  return text;
}

enum class ValueKind { Integer, Float, Wide, Text };

ValueKind KindOf(TVarType type) {
  switch (type) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord: case varLongWord:
    case varInt64: case varBoolean:
      return ValueKind::Integer;
    case varSingle: case varDouble: case varCurrency: case varDate: return ValueKind::Float;
    case varOleStr: return ValueKind::Wide;
    default: return ValueKind::Text;  // texts, and anything else as its text
  }
}

void PutValue(TStream& stream, const Variant& value) {
  TVarType type = VarType(value);
  ValueKind kind = VarIsArray(value) ? ValueKind::Text : KindOf(type);
  Put<std::uint16_t>(stream, kind == ValueKind::Text ? varString : type);
  switch (kind) {
    case ValueKind::Integer:
      Put<std::int64_t>(stream, type == varBoolean ? std::int64_t{value.AsBoolean()} : value.AsInteger());
      break;
    case ValueKind::Float: Put<double>(stream, value.AsFloat()); break;
    case ValueKind::Wide: PutText(stream, value.AsWideString()); break;
    case ValueKind::Text: PutText(stream, VariantText(value)); break;
  }
}

Variant TakeValue(TStream& stream) {
  auto type = Take<std::uint16_t>(stream);
  switch (KindOf(type)) {
    case ValueKind::Integer: {
      auto number = Take<std::int64_t>(stream);
      return type == varBoolean ? Variant(number != 0) : Variant::OfInteger(type, number);
    }
    case ValueKind::Float: return Variant::OfFloat(type, Take<double>(stream));
    case ValueKind::Wide: return Variant(TakeText<WideString>(stream));
    case ValueKind::Text: return Variant(TakeText<AnsiString>(stream));
  }
  throw EReadError(SReadError);
}

template <class Enum>
Enum TakeEnum(TStream& stream, Enum last) {
  auto value = Take<std::int32_t>(stream);
  if (value < 0 || value > static_cast<std::int32_t>(last)) throw EReadError(SReadError);
  return static_cast<Enum>(value);
}

}  // namespace

bool ParamDataStored(const TParams& params, const TParams* ancestor) {
  return ancestor ? !params.IsEqual(*ancestor) : params.Count() > 0;
}

void WriteParamData(TStream& stream, const TParams& params) {
  Put<std::uint8_t>(stream, kCollectionMarker);
  Put<std::int32_t>(stream, params.Count());
  for (int i = 0; i < params.Count(); ++i) {
    const TParam& param = *params[i];
    PutText(stream, param.Name());
    Put<std::int32_t>(stream, param.DataType());
    Put<std::int32_t>(stream, param.ParamType());
    Put<std::uint8_t>(stream, param.IsNull() ? 1 : 0);
    if (!param.IsNull()) PutValue(stream, param.ValueAsVariant());
  }
}

void ReadParamData(TStream& stream, TParams& params) {
  if (Take<std::uint8_t>(stream) != kCollectionMarker) throw EReadError(SReadError);
  // Each parameter takes at least its name length, two enums and the flag.
  constexpr std::int64_t kSmallestParam = 4 + 4 + 4 + 1;
  std::int32_t count = TakeLength(stream, kSmallestParam);
  TParams read;
  for (int i = 0; i < count; ++i) {
    AnsiString name = TakeText<AnsiString>(stream);
    TFieldType dataType = TakeEnum(stream, ftFMTBcd);
    TParamType paramType = TakeEnum(stream, ptResult);
    TParam* param = read.AddParam(dataType, name, paramType);
    if (Take<std::uint8_t>(stream) != 0) param->Clear();
    else param->SetValueAsVariant(TakeValue(stream));
  }
  params.Assign(read);
}
