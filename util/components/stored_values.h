// Stored values of a form storage: named free values kept in the storage's
// current section beside the window's stored properties, optionally
// enciphered with a key. Each is written as text (StoredValueText) and reads
// back as a string variant; OnSave and OnRestore may change it on the way.
#pragma once

#include <functional>

#include "platform/gui/collections.h"
#include "platform/rtl/variant.h"

class TFormPlacement;
class TStoredValue;

using TStoredValueEvent = std::function<void(TStoredValue* sender, Variant& value)>;

class TStoredValue : public TCollectionItem {
public:
  explicit TStoredValue(TCollection* collection) : TCollectionItem(collection) {}

  const AnsiString& Name() const { return name_; }
  // EStringListError "String list does not allow duplicates" when another
  // value already has the name (letter case ignored); the name stays.
  void SetName(const AnsiString& value);
  const Variant& Value() const { return value_; }
  void SetValue(const Variant& value) { value_ = value; }
  // Non-empty: the value is stored enciphered with this key.
  const AnsiString& KeyString() const { return keyString_; }
  void SetKeyString(const AnsiString& value) { keyString_ = value; }
  void Clear() { value_ = Unassigned(); }
  AnsiString DisplayName() const override;
  void Assign(const TPersistent* source) override;

  TStoredValueEvent OnSave;
  TStoredValueEvent OnRestore;

  virtual void WriteToStorage();
  virtual void ReadFromStorage();

private:
  // The storage the collection belongs to; none outside a form storage.
  TFormPlacement* Storage() const;

  AnsiString name_;
  Variant value_;
  AnsiString keyString_;
};

class TStoredValues : public TOwnedCollection {
public:
  explicit TStoredValues(TPersistent* owner) : TOwnedCollection(owner, ItemsOf<TStoredValue>()) {}

  TStoredValue* Items(int index) const { return static_cast<TStoredValue*>(TCollection::Items(index)); }
  TStoredValue* Add() { return static_cast<TStoredValue*>(TCollection::Add()); }
  // First value of that name (letter case ignored), or -1.
  int IndexOfName(const AnsiString& name) const;
  virtual void WriteAll();
  virtual void ReadAll();
};

// The text a value is stored as: numbers, dates (date part), Booleans and
// texts; empty for kinds that have no text of their own.
AnsiString StoredValueText(const Variant& value);
