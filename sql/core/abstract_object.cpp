// Identity-based defaults of the library's object base: two references are
// equal when they reach the same object, and cloning is refused unless a class
// knows how to copy itself.
#include "sql/core/abstract_object.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/messages.h"

bool SameObject(const IZInterface* a, const IZInterface* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return dynamic_cast<const void*>(a) == dynamic_cast<const void*>(b);
}

bool TZAbstractObject::Equals(const Ref<IZInterface>& value) const {
  return value && SameObject(value.get(), this);
}

std::intptr_t TZAbstractObject::GetHashCode() const {
  return reinterpret_cast<std::intptr_t>(dynamic_cast<const void*>(this));
}

Ref<IZInterface> TZAbstractObject::Clone() const {
  throw Exception(SZClonningIsNotSupported);
}

AnsiString TZAbstractObject::ToString() const {
  return Format("%s <%p>", {ClassName(), dynamic_cast<const void*>(this)});
}
