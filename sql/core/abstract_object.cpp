// Identity-based defaults of the library's object base: two references are
// equal when they reach the same object, and cloning is refused unless a class
// knows how to copy itself.
#include "sql/core/abstract_object.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/messages.h"

bool TZAbstractObject::Equals(const Ref<IZInterface>& value) const {
  return value && dynamic_cast<const void*>(value.get()) == dynamic_cast<const void*>(this);
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
