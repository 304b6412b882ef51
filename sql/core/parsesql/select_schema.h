// The select schema: the column references of a SELECT list and the table
// references of its FROM clause, linked to each other so that result-set
// metadata can tell which table and column each result column comes from.
#pragma once

#include <memory>
#include <vector>

#include "sql/core/abstract_object.h"

class IZIdentifierConvertor;

// One table of the FROM clause; parts not written are empty.
class TZTableRef {
public:
  TZTableRef(AnsiString catalog, AnsiString schema, AnsiString table, AnsiString alias)
      : Catalog(std::move(catalog)), Schema(std::move(schema)), Table(std::move(table)), Alias(std::move(alias)) {}

  // Catalog, schema and table joined by "." with the leading dots removed.
  AnsiString FullName() const;

  AnsiString Catalog;
  AnsiString Schema;
  AnsiString Table;
  AnsiString Alias;
};

// One column of the SELECT list: a (possibly qualified) column or "*", or an
// expression that only has an alias.
class TZFieldRef {
public:
  TZFieldRef(bool isField, AnsiString catalog, AnsiString schema, AnsiString table, AnsiString field,
             AnsiString alias, TZTableRef* tableRef)
      : IsField(isField), Catalog(std::move(catalog)), Schema(std::move(schema)), Table(std::move(table)),
        Field(std::move(field)), Alias(std::move(alias)), TableRef(tableRef) {}

  bool IsField;
  AnsiString Catalog;
  AnsiString Schema;
  AnsiString Table;
  AnsiString Field;
  AnsiString Alias;
  TZTableRef* TableRef;  // not owned
  bool Linked = false;
};

class IZSelectSchema : public virtual IZInterface {
public:
  // The schema takes ownership of what is added.
  virtual void AddField(std::unique_ptr<TZFieldRef> fieldRef) = 0;
  virtual void InsertField(int index, std::unique_ptr<TZFieldRef> fieldRef) = 0;
  // Removes and frees the reference.
  virtual void DeleteField(TZFieldRef* fieldRef) = 0;
  virtual void AddTable(std::unique_ptr<TZTableRef> tableRef) = 0;

  // Unquotes every name part with convertor (when given), then binds columns to
  // tables and expands a bare "*" into one "*" per table.
  virtual void LinkReferences(IZIdentifierConvertor* convertor) = 0;

  virtual TZTableRef* FindTableByFullName(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) const = 0;
  virtual TZTableRef* FindTableByShortName(const AnsiString& table) const = 0;
  virtual TZFieldRef* FindFieldByShortName(const AnsiString& field) const = 0;
  // The reference for result column columnIndex (1-based) named field; each
  // reference is handed out once.
  virtual TZFieldRef* LinkFieldByIndexAndShortName(int columnIndex, const AnsiString& field) = 0;

  virtual int GetFieldCount() const = 0;
  virtual int GetTableCount() const = 0;
  virtual TZFieldRef* GetField(int index) const = 0;
  virtual TZTableRef* GetTable(int index) const = 0;
};

// Names are compared exactly; LinkReferences brings them to one form first.
class TZSelectSchema : public TZAbstractObject, public virtual IZSelectSchema {
public:
  void AddField(std::unique_ptr<TZFieldRef> fieldRef) override;
  void InsertField(int index, std::unique_ptr<TZFieldRef> fieldRef) override;
  void DeleteField(TZFieldRef* fieldRef) override;
  void AddTable(std::unique_ptr<TZTableRef> tableRef) override;
  void LinkReferences(IZIdentifierConvertor* convertor) override;
  TZTableRef* FindTableByFullName(const AnsiString& catalog, const AnsiString& schema,
                                  const AnsiString& table) const override;
  TZTableRef* FindTableByShortName(const AnsiString& table) const override;
  TZFieldRef* FindFieldByShortName(const AnsiString& field) const override;
  TZFieldRef* LinkFieldByIndexAndShortName(int columnIndex, const AnsiString& field) override;
  int GetFieldCount() const override { return static_cast<int>(FieldRefs.size()); }
  int GetTableCount() const override { return static_cast<int>(TableRefs.size()); }
  TZFieldRef* GetField(int index) const override;
  TZTableRef* GetTable(int index) const override;

private:
  TZFieldRef* FirstUnlinked(bool (*match)(const TZFieldRef&, const AnsiString&), const AnsiString& field) const;
  std::unique_ptr<TZFieldRef> LinkedCopy(const TZFieldRef& ref) const;

  std::vector<std::unique_ptr<TZFieldRef>> FieldRefs;
  std::vector<std::unique_ptr<TZTableRef>> TableRefs;
};
