// TList and the string lists. Both sort with the same middle-pivot quicksort;
// string comparison goes through the Czech collation of text.h, while plain
// equality tests use the cheaper upper-cased byte comparison, which gives the
// same answer because the collation only breaks ties on those bytes.
#include "platform/rtl/lists.h"

#include <utility>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

template <class T, class Compare>
void QuickSort(std::vector<T>& items, int left, int right, const Compare& compare) {
  int i;
  do {
    i = left;
    int j = right;
    const T pivot = items[(left + right) / 2];
    do {
      while (compare(items[i], pivot) < 0) ++i;
      while (compare(items[j], pivot) > 0) --j;
      if (i <= j) {
        std::swap(items[i], items[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (left < j) QuickSort(items, left, j, compare);
    left = i;
  } while (i < right);
}

[[noreturn]] void RaiseIndex(int index) {
  throw EListError(Format(SListIndexError, {index}));
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

// --- TList --------------------------------------------------------------------

TList::~TList() { Clear(); }

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseIndex(index);
}

int TList::Add(void* item) {
  items_.push_back(item);
  if (item) Notify(item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) RaiseIndex(index);
  items_.insert(items_.begin() + index, item);
  if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = items_[index];
  items_.erase(items_.begin() + index);
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
  int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  int index = IndexOf(item);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  Notify(item, lnExtracted);
  return item;
}

void TList::Clear() {
  SetCount(0);
  items_.shrink_to_fit();
}

int TList::IndexOf(void* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i] == item) return i;
  return -1;
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  void* item = items_[curIndex];
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack() { std::erase(items_, nullptr); }

void TList::SetCount(int count) {
  if (count < 0) throw EListError(Format(SListCountError, {count}));
  while (Count() > count) Delete(Count() - 1);
  items_.resize(static_cast<size_t>(count), nullptr);
}

void TList::SetCapacity(int capacity) {
  if (capacity < Count()) throw EListError(Format(SListCapacityError, {capacity}));
  items_.reserve(static_cast<size_t>(capacity));
}

void* TList::Get(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TList::Put(int index, void* item) {
  CheckIndex(index);
  void* old = items_[index];
  if (old == item) return;
  items_[index] = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

void TList::Sort(const TListSortCompare& compare) {
  if (Count() > 1) QuickSort(items_, 0, Count() - 1, compare);
}

// --- TStrings -----------------------------------------------------------------

int TStrings::Add(const AnsiString& s) {
  int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const AnsiString& s, TObject* object) {
  int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings* strings) {
  BeginUpdate();
  try {
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(const TPersistent* source) {
  const auto* strings = dynamic_cast<const TStrings*>(source);
  if (!strings) return TPersistent::Assign(source);
  if (strings == this) return;
  BeginUpdate();
  try {
    Clear();
    delimiter_ = strings->delimiter_;
    quoteChar_ = strings->quoteChar_;
    AddStrings(strings);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Exchange(int index1, int index2) {
  AnsiString s1 = Get(index1), s2 = Get(index2);
  TObject* o1 = GetObject(index1);
  TObject* o2 = GetObject(index2);
  Put(index1, s2);
  PutObject(index1, o2);
  Put(index2, s1);
  PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  AnsiString s = Get(curIndex);
  TObject* object = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, object);
}

void TStrings::Put(int index, const AnsiString& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

bool TStrings::SameString(std::string_view a, std::string_view b) const {
  return AnsiSameText(a, b);
}

int TStrings::IndexOf(const AnsiString& s) const {
  for (int i = 0; i < Count(); ++i)
    if (SameString(Get(i), s)) return i;
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    AnsiString line = Get(i);
    size_t eq = line.find('=');
    if (eq != AnsiString::npos && AnsiSameText(std::string_view(line).substr(0, eq), name))
      return i;
  }
  return -1;
}

AnsiString TStrings::Names(int index) const {
  AnsiString line = Get(index);
  size_t eq = line.find('=');
  return eq == AnsiString::npos ? AnsiString() : line.substr(0, eq);
}

AnsiString TStrings::ValueFromIndex(int index) const {
  AnsiString line = Get(index);
  size_t eq = line.find('=');
  return eq == AnsiString::npos ? AnsiString() : line.substr(eq + 1);
}

AnsiString TStrings::Values(std::string_view name) const {
  int index = IndexOfName(name);
  return index < 0 ? AnsiString() : ValueFromIndex(index);
}

void TStrings::SetValues(std::string_view name, const AnsiString& value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  AnsiString line = AnsiString(name) + "=" + value;
  if (index < 0)
    Add(line);
  else
    Put(index, line);
}

AnsiString TStrings::Text() const {
  AnsiString out;
  for (int i = 0; i < Count(); ++i) out.append(Get(i)).append("\r\n");
  return out;
}

void TStrings::SetText(std::string_view text) {
  BeginUpdate();
  try {
    Clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '\r' && text[i] != '\n') continue;
      Add(AnsiString(text.substr(start, i - start)));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
    if (start < text.size()) Add(AnsiString(text.substr(start)));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

AnsiString TStrings::DelimitedText() const { return JoinDelimited(delimiter_, quoteChar_); }

void TStrings::SetDelimitedText(std::string_view text) {
  SplitDelimited(text, delimiter_, quoteChar_);
}

AnsiString TStrings::CommaText() const { return JoinDelimited(',', '"'); }

void TStrings::SetCommaText(std::string_view text) { SplitDelimited(text, ',', '"'); }

AnsiString TStrings::JoinDelimited(char delimiter, char quoteChar) const {
  // A lone empty item must still read back as one item.
  if (Count() == 1 && Get(0).empty()) return AnsiString(2, quoteChar);
  AnsiString out;
  for (int i = 0; i < Count(); ++i) {
    if (i > 0) out += delimiter;
    AnsiString item = Get(i);
    bool quote = false;
    for (char c : item) quote = quote || IsBlankOrControl(c) || c == delimiter || c == quoteChar;
    out += quote ? AnsiQuotedStr(item, quoteChar) : item;
  }
  return out;
}

void TStrings::SplitDelimited(std::string_view text, char delimiter, char quoteChar) {
  auto skipBlanks = [&](size_t& p) {
    while (p < text.size() && IsBlankOrControl(text[p])) ++p;
  };
  BeginUpdate();
  try {
    Clear();
    size_t p = 0;
    skipBlanks(p);
    while (p < text.size()) {
      if (text[p] == quoteChar) {
        Add(AnsiExtractQuotedStr(text, p, quoteChar));
      } else {
        size_t start = p;
        while (p < text.size() && !IsBlankOrControl(text[p]) && text[p] != delimiter) ++p;
        Add(AnsiString(text.substr(start, p - start)));
      }
      skipBlanks(p);
      if (p < text.size() && text[p] == delimiter) {
        ++p;
        if (p == text.size()) Add(AnsiString());  // a trailing delimiter ends an empty item
        skipBlanks(p);
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const AnsiString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

void TStrings::LoadFromStream(TStream* stream) {
  int64_t count = stream->Size() - stream->Position();
  AnsiString bytes(static_cast<size_t>(count > 0 ? count : 0), '\0');
  stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  SetText(bytes);
}

void TStrings::SaveToStream(TStream* stream) const {
  AnsiString text = Text();
  stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (--updateCount_ == 0) SetUpdateState(false);
}

// --- TStringList --------------------------------------------------------------

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) RaiseIndex(index);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::SameString(std::string_view a, std::string_view b) const {
  return caseSensitive_ ? a == b : AnsiSameText(a, b);
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].text;
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::Put(int index, const AnsiString& s) {
  if (sorted_) throw EStringListError(SSortedListError);
  CheckIndex(index);
  Changing();
  items_[index].text = s;
  Changed();
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  items_[index].object = object;
  Changed();
}

void TStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, object});
  Changed();
}

int TStringList::Add(const AnsiString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const AnsiString& s, TObject* object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError(SDuplicateString);
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const AnsiString& s) {
  if (sorted_) throw EStringListError(SSortedListError);
  if (index < 0 || index > Count()) RaiseIndex(index);
  InsertItem(index, s, nullptr);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  items_.erase(items_.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  items_.clear();
  Changed();
}

int TStringList::IndexOf(const AnsiString& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(std::string_view s, int& index) const {
  bool found = false;
  int low = 0;
  int high = Count() - 1;
  while (low <= high) {
    int mid = (low + high) / 2;
    int c = CompareStrings(items_[mid].text, s);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) low = mid;
      }
    }
  }
  index = low;
  return found;
}

void TStringList::Sort() {
  if (Count() < 2) return;
  Changing();
  QuickSort(items_, 0, Count() - 1,
            [this](const Item& a, const Item& b) { return CompareStrings(a.text, b.text); });
  Changed();
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == sorted_) return;
  if (sorted) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}
