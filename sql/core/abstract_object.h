// The common object interface of the SQL library: equality, hash code, cloning
// and a printable form, with TZAbstractObject as the base that gives identity
// equality. Marker interfaces say which objects copy and which compare by value.
#pragma once

#include <cstdint>
#include <type_traits>

#include "platform/rtl/objects.h"

// The counted root every SQL library interface derives from.
using IZInterface = IInterface;

class IZObject : public virtual IZInterface {
public:
  virtual bool Equals(const Ref<IZInterface>& value) const = 0;
  virtual std::intptr_t GetHashCode() const = 0;
  virtual Ref<IZInterface> Clone() const = 0;
  virtual AnsiString ToString() const = 0;

  // Whether the object's class implements interface I.
  template <class I>
  bool InstanceOf() const {
    if constexpr (std::is_base_of_v<I, IZObject>)
      return true;
    else
      return dynamic_cast<const I*>(this) != nullptr;
  }
};

// Objects whose Clone returns a real copy.
class IZClonnable : public virtual IZObject {};

// Objects that collections find by value (through Equals), not by identity.
class IZComparable : public virtual IZObject {};

class TZAbstractObject : public TInterfacedObject, public virtual IZObject {
public:
  // Identity: true only for the very same object.
  bool Equals(const Ref<IZInterface>& value) const override;
  std::intptr_t GetHashCode() const override;
  // Refuses; classes that can be copied override it.
  Ref<IZInterface> Clone() const override;
  // Class name and address, "TZFoo <...>".
  AnsiString ToString() const override;
};
