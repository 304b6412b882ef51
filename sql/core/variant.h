// TZVariant, the SQL library's tagged value (parameters, generic column values,
// expression results, cache keys), and the variant managers that convert,
// compare and combine such values: a strict one that converts only between
// closely related kinds and a lenient one that reads and writes SQL texts.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "sql/core/abstract_object.h"

enum TZVariantType : std::uint8_t {
  vtNull = 0,
  vtBoolean = 1,
  vtInteger = 2,
  vtFloat = 3,
  vtString = 4,
  vtUnicodeString = 5,
  vtDateTime = 6,
  vtPointer = 7,
  vtInterface = 8,
};

// VType says which field holds the value; the others are ignored and may keep
// stale content. The numbers share storage, so a numeric value needs no heap.
struct TZVariant {
  TZVariantType VType = vtNull;
  union {
    bool VBoolean;
    std::int64_t VInteger;
    long double VFloat = 0;  // extended precision, as decimals are carried
    TDateTime VDateTime;
    void* VPointer;
  };
  AnsiString VString;
  WideString VUnicodeString;
  Ref<IZInterface> VInterface;
};

using TZVariantDynArray = std::vector<TZVariant>;

VX_DECLARE_EXCEPTION(EZVariantException, Exception)

class IZVariantManager : public virtual IZInterface {
public:
  virtual bool IsNull(const TZVariant& value) const = 0;
  virtual void SetNull(TZVariant& value) const = 0;

  // A value of kind newType, or EZVariantException "Types mismatch".
  virtual TZVariant Convert(const TZVariant& value, TZVariantType newType) const = 0;
  // Sets VType and the one field of that kind; the other fields of dst stay.
  virtual void Assign(const TZVariant& src, TZVariant& dst) const = 0;
  virtual TZVariant Clone(const TZVariant& value) const = 0;
  // Negative, zero or positive; value2 is converted to value1's kind.
  virtual int Compare(const TZVariant& value1, const TZVariant& value2) const = 0;

  virtual bool GetAsBoolean(const TZVariant& value) const = 0;
  virtual std::int64_t GetAsInteger(const TZVariant& value) const = 0;
  virtual long double GetAsFloat(const TZVariant& value) const = 0;
  virtual AnsiString GetAsString(const TZVariant& value) const = 0;
  virtual WideString GetAsUnicodeString(const TZVariant& value) const = 0;
  virtual TDateTime GetAsDateTime(const TZVariant& value) const = 0;
  virtual void* GetAsPointer(const TZVariant& value) const = 0;
  virtual Ref<IZInterface> GetAsInterface(const TZVariant& value) const = 0;

  virtual void SetAsBoolean(TZVariant& value, bool data) const = 0;
  virtual void SetAsInteger(TZVariant& value, std::int64_t data) const = 0;
  virtual void SetAsFloat(TZVariant& value, long double data) const = 0;
  virtual void SetAsString(TZVariant& value, const AnsiString& data) const = 0;
  virtual void SetAsUnicodeString(TZVariant& value, const WideString& data) const = 0;
  virtual void SetAsDateTime(TZVariant& value, TDateTime data) const = 0;
  virtual void SetAsPointer(TZVariant& value, void* data) const = 0;
  virtual void SetAsInterface(TZVariant& value, const Ref<IZInterface>& data) const = 0;

  // A null value1 gives null; a kind without the operation raises
  // EZVariantException "Unsupported operation".
  virtual TZVariant OpAdd(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpSub(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpMul(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpDiv(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpMod(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpPow(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpAnd(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpOr(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpXor(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpNot(const TZVariant& value) const = 0;
  virtual TZVariant OpNegative(const TZVariant& value) const = 0;
  // Comparisons by Compare; always a boolean, null compares below any value.
  virtual TZVariant OpEqual(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpNotEqual(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpMore(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpLess(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpMoreEqual(const TZVariant& value1, const TZVariant& value2) const = 0;
  virtual TZVariant OpLessEqual(const TZVariant& value1, const TZVariant& value2) const = 0;
};

// The strict manager. Convert is its one virtual step: every getter,
// comparison and operator converts through it, so a subclass that overrides
// Convert changes them all.
class TZDefaultVariantManager : public TInterfacedObject, public virtual IZVariantManager {
public:
  bool IsNull(const TZVariant& value) const override;
  void SetNull(TZVariant& value) const override;
  TZVariant Convert(const TZVariant& value, TZVariantType newType) const override;
  void Assign(const TZVariant& src, TZVariant& dst) const override;
  TZVariant Clone(const TZVariant& value) const override;
  int Compare(const TZVariant& value1, const TZVariant& value2) const override;

  bool GetAsBoolean(const TZVariant& value) const override;
  std::int64_t GetAsInteger(const TZVariant& value) const override;
  long double GetAsFloat(const TZVariant& value) const override;
  AnsiString GetAsString(const TZVariant& value) const override;
  WideString GetAsUnicodeString(const TZVariant& value) const override;
  TDateTime GetAsDateTime(const TZVariant& value) const override;
  void* GetAsPointer(const TZVariant& value) const override;
  Ref<IZInterface> GetAsInterface(const TZVariant& value) const override;

  void SetAsBoolean(TZVariant& value, bool data) const override;
  void SetAsInteger(TZVariant& value, std::int64_t data) const override;
  void SetAsFloat(TZVariant& value, long double data) const override;
  void SetAsString(TZVariant& value, const AnsiString& data) const override;
  void SetAsUnicodeString(TZVariant& value, const WideString& data) const override;
  void SetAsDateTime(TZVariant& value, TDateTime data) const override;
  void SetAsPointer(TZVariant& value, void* data) const override;
  void SetAsInterface(TZVariant& value, const Ref<IZInterface>& data) const override;

  TZVariant OpAdd(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpSub(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpMul(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpDiv(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpMod(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpPow(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpAnd(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpOr(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpXor(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpNot(const TZVariant& value) const override;
  TZVariant OpNegative(const TZVariant& value) const override;
  TZVariant OpEqual(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpNotEqual(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpMore(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpLess(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpMoreEqual(const TZVariant& value1, const TZVariant& value2) const override;
  TZVariant OpLessEqual(const TZVariant& value1, const TZVariant& value2) const override;
};

// The lenient manager: converts every sensible pair, texts in SQL forms.
class TZSoftVariantManager : public TZDefaultVariantManager {
public:
  TZVariant Convert(const TZVariant& value, TZVariantType newType) const override;
};

// The shared managers and null value, made on first use and kept for the run.
const Ref<IZVariantManager>& DefaultVarManager();
const Ref<IZVariantManager>& SoftVarManager();
const TZVariant& NullVariant();

// A TZVariant boxed as a value-compared object, e.g. as a map key.
class IZAnyValue : public virtual IZClonnable {
public:
  virtual bool IsNull() const = 0;
  virtual TZVariant GetValue() const = 0;
  virtual bool GetBoolean() const = 0;
  virtual std::int64_t GetInteger() const = 0;
  virtual long double GetFloat() const = 0;
  virtual AnsiString GetString() const = 0;
  virtual WideString GetUnicodeString() const = 0;
  virtual TDateTime GetDateTime() const = 0;
};

class TZAnyValue : public TZAbstractObject, public virtual IZAnyValue, public virtual IZComparable {
public:
  explicit TZAnyValue(const TZVariant& value) : value_(value) {}
  // The text as a vtString value.
  static Ref<TZAnyValue> CreateWithString(const AnsiString& value);

  // Typed getters answer with the lenient manager.
  bool IsNull() const override;
  TZVariant GetValue() const override { return value_; }
  bool GetBoolean() const override;
  std::int64_t GetInteger() const override;
  long double GetFloat() const override;
  AnsiString GetString() const override;
  WideString GetUnicodeString() const override;
  TDateTime GetDateTime() const override;

  // Equal to another any-value whose value compares equal (lenient Compare).
  bool Equals(const Ref<IZInterface>& value) const override;
  Ref<IZInterface> Clone() const override;
  AnsiString ToString() const override { return GetString(); }

private:
  TZVariant value_;
};
