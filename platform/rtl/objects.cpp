// Out-of-line parts of the object model: class names from the compiler's type
// information and the destruction of counted objects.
#include "platform/rtl/objects.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

AnsiString TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  AnsiString name = status == 0 ? demangled.get() : mangled;
  // Drop namespaces (a class in an unnamed namespace reads as its own name),
  // but not inside template arguments.
  size_t end = name.find('<');
  size_t colon = name.rfind("::", end);
  if (colon != AnsiString::npos) name.erase(0, colon + 2);
  return name;
}

void TInterfacedObject::Destroy() {
  // Hold the count above zero while tearing down, so references taken and
  // dropped by BeforeDestruction or the destructor cannot free us twice.
  count_.store(1, std::memory_order_relaxed);
  BeforeDestruction();
  delete this;
}
