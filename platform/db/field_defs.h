// Field definitions: what a dataset knows of its columns before fields exist
// (name, type, size, column number, required and read-only flags). Default
// fields are created from them when a dataset opens without stored fields.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/db_types.h"
#include "platform/rtl/strings.h"

class TComponent;
class TDataSet;
class TField;

enum TFieldAttribute : unsigned { faHiddenCol = 1, faReadonly = 2, faRequired = 4, faFixed = 8 };

class TFieldDef {
public:
  TFieldDef(const AnsiString& name, TFieldType type, int size, bool required, int fieldNo);

  const AnsiString& Name() const { return name_; }
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  int FieldNo() const { return fieldNo_; }
  bool Required() const { return (attributes_ & faRequired) != 0; }
  void SetRequired(bool value);
  unsigned Attributes() const { return attributes_; }
  void SetAttributes(unsigned value) { attributes_ = value; }
  int Precision() const { return precision_; }
  void SetPrecision(int value) { precision_ = value; }

  // A field of the class that serves the type, attached to `dataSet`.
  TField* CreateField(TComponent* owner, TDataSet* dataSet) const;

private:
  AnsiString name_;
  TFieldType dataType_;
  int size_;
  int fieldNo_;
  int precision_ = 0;
  unsigned attributes_ = 0;
};

class TFieldDefs {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TFieldDef* Items(int index) const { return items_.at(index).get(); }
  TFieldDef* Add(const AnsiString& name, TFieldType type, int size = 0, bool required = false);
  // Adds with an explicit column number (the default is the next position).
  TFieldDef* AddFieldDef(const AnsiString& name, TFieldType type, int size, bool required,
                         int fieldNo);
  // Case-insensitive; -1 or none when absent.
  int IndexOf(const AnsiString& name) const;
  TFieldDef* Find(const AnsiString& name) const;
  void Clear() { items_.clear(); }

private:
  std::vector<std::unique_ptr<TFieldDef>> items_;
};
