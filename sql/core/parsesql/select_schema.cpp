// Select schema: list edits, look-ups by name and the linking of columns to
// their tables.
#include "sql/core/parsesql/select_schema.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/parsesql/identifier_convertor.h"

namespace {

template <class T>
T* At(const std::vector<std::unique_ptr<T>>& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) throw EListError(Format(SListIndexError, {index}));
  return list[static_cast<std::size_t>(index)].get();
}

void Unquote(IZIdentifierConvertor& convertor, AnsiString& name) { name = convertor.Unquote(name); }

}  // namespace

AnsiString TZTableRef::FullName() const {
  const AnsiString name = Catalog + "." + Schema + "." + Table;
  return name.substr(std::min(name.find_first_not_of('.'), name.size()));
}

void TZSelectSchema::AddField(std::unique_ptr<TZFieldRef> fieldRef) { FieldRefs.push_back(std::move(fieldRef)); }

void TZSelectSchema::InsertField(int index, std::unique_ptr<TZFieldRef> fieldRef) {
  if (index < 0 || index > GetFieldCount()) throw EListError(Format(SListIndexError, {index}));
  FieldRefs.insert(FieldRefs.begin() + index, std::move(fieldRef));
}

void TZSelectSchema::DeleteField(TZFieldRef* fieldRef) {
  auto it = std::find_if(FieldRefs.begin(), FieldRefs.end(), [&](const auto& f) { return f.get() == fieldRef; });
  if (it != FieldRefs.end()) FieldRefs.erase(it);
}

void TZSelectSchema::AddTable(std::unique_ptr<TZTableRef> tableRef) { TableRefs.push_back(std::move(tableRef)); }

TZFieldRef* TZSelectSchema::GetField(int index) const { return At(FieldRefs, index); }

TZTableRef* TZSelectSchema::GetTable(int index) const { return At(TableRefs, index); }

TZTableRef* TZSelectSchema::FindTableByFullName(const AnsiString&, const AnsiString& schema,
                                                const AnsiString& table) const {
  for (const auto& t : TableRefs)
    if (t->Schema == schema && t->Table == table) return t.get();
  for (const auto& t : TableRefs)
    if (t->Schema.empty() && t->Table == table) return t.get();
  return nullptr;
}

TZTableRef* TZSelectSchema::FindTableByShortName(const AnsiString& table) const {
  for (const auto& t : TableRefs)
    if (t->Alias == table) return t.get();
  for (const auto& t : TableRefs)
    if (t->Table == table) return t.get();
  return nullptr;
}

TZFieldRef* TZSelectSchema::FindFieldByShortName(const AnsiString& field) const {
  if (field.empty()) return nullptr;
  for (const auto& f : FieldRefs)
    if (f->Alias == field) return f.get();
  for (const auto& f : FieldRefs)
    if (f->Field == field) return f.get();
  return nullptr;
}

// A column reference bound to its table, or the expression reference unchanged.
std::unique_ptr<TZFieldRef> TZSelectSchema::LinkedCopy(const TZFieldRef& ref) const {
  if (!ref.IsField) return std::make_unique<TZFieldRef>(ref);
  TZTableRef* table = nullptr;
  if (!ref.Schema.empty() && !ref.Table.empty())
    table = FindTableByFullName(ref.Catalog, ref.Schema, ref.Table);
  else if (!ref.Table.empty())
    table = FindTableByShortName(ref.Table);
  if (!table) return std::make_unique<TZFieldRef>(true, ref.Catalog, ref.Schema, ref.Table, ref.Field, ref.Alias, nullptr);
  return std::make_unique<TZFieldRef>(true, table->Catalog, table->Schema, table->Table, ref.Field, ref.Alias, table);
}

void TZSelectSchema::LinkReferences(IZIdentifierConvertor* convertor) {
  if (convertor) {
    for (auto& f : FieldRefs)
      for (AnsiString* name : {&f->Catalog, &f->Schema, &f->Table, &f->Field, &f->Alias}) Unquote(*convertor, *name);
    for (auto& t : TableRefs)
      for (AnsiString* name : {&t->Catalog, &t->Schema, &t->Table, &t->Alias}) Unquote(*convertor, *name);
  }
  std::vector<std::unique_ptr<TZFieldRef>> linked;
  for (const auto& f : FieldRefs) {
    if (f->IsField && f->Table.empty() && f->Field == "*") {
      // A bare "*" stands for every column of every table.
      for (const auto& t : TableRefs)
        linked.push_back(std::make_unique<TZFieldRef>(true, t->Catalog, t->Schema, t->Table, "*", "", t.get()));
      continue;
    }
    linked.push_back(LinkedCopy(*f));
  }
  FieldRefs = std::move(linked);
}

TZFieldRef* TZSelectSchema::FirstUnlinked(bool (*match)(const TZFieldRef&, const AnsiString&),
                                          const AnsiString& field) const {
  for (const auto& f : FieldRefs)
    if (!f->Linked && match(*f, field)) return f.get();
  return nullptr;
}

TZFieldRef* TZSelectSchema::LinkFieldByIndexAndShortName(int columnIndex, const AnsiString& field) {
  if (field.empty()) return nullptr;
  TZFieldRef* found = nullptr;
  if (columnIndex >= 1 && columnIndex <= GetFieldCount()) {
    TZFieldRef* f = FieldRefs[static_cast<std::size_t>(columnIndex - 1)].get();
    if (!f->Linked && (f->Alias == field || f->Field == field)) found = f;
  }
  if (!found) found = FirstUnlinked([](const TZFieldRef& f, const AnsiString& n) { return f.Alias == n; }, field);
  if (!found)
    found = FirstUnlinked(
        [](const TZFieldRef& f, const AnsiString& n) {
          return f.TableRef && (f.TableRef->Alias + "." + f.Field == n || f.TableRef->Table + "." + f.Field == n);
        },
        field);
  if (!found) found = FirstUnlinked([](const TZFieldRef& f, const AnsiString& n) { return f.Field == n; }, field);
  if (found) found->Linked = true;
  return found;
}
