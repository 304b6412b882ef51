// The platform's lists: TList of untyped pointers with its quicksort, and the
// string lists TStrings/TStringList (strings with an attached object each,
// name=value lines, sorted lists, text and delimited-text forms, files).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/rtl/components.h"
#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

class TStream;

// Compare returns <0, 0 or >0.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Indexes are 0-based; a bad one raises EListError "List index out of bounds (%d)".
class TList : public TObject {
public:
  ~TList() override;

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Removes the first occurrence; returns its former index or -1.
  int Remove(void* item);
  // Removes the first occurrence without the deletion notice; returns it or nullptr.
  void* Extract(void* item);
  virtual void Clear();
  int IndexOf(void* item) const;
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  // Drops every nullptr item.
  void Pack();
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }

  int Count() const { return static_cast<int>(items_.size()); }
  // Growing fills with nullptr; shrinking drops items (with notices).
  void SetCount(int count);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int capacity);
  void* Get(int index) const;
  void Put(int index, void* item);
  void* operator[](int index) const { return Get(index); }
  void** List() { return items_.data(); }

  // Unstable quicksort (middle pivot), as the platform sorts.
  void Sort(const TListSortCompare& compare);

protected:
  // Called after an item was added and before one is removed.
  virtual void Notify(void* /*item*/, TListNotification /*action*/) {}

private:
  void CheckIndex(int index) const;

  std::vector<void*> items_;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// The abstract string list: storage comes from the derived class, everything
// else (name=value access, text forms, files) is built on it. Objects attached
// to lines are not owned.
class TStrings : public TPersistent {
public:
  // --- storage, supplied by the derived class
  virtual int Count() const = 0;
  virtual void Insert(int index, const AnsiString& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  AnsiString Strings(int index) const { return Get(index); }
  void SetStrings(int index, const AnsiString& s) { Put(index, s); }
  AnsiString operator[](int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }
  void SetObjects(int index, TObject* object) { PutObject(index, object); }

  virtual int Add(const AnsiString& s);
  virtual int AddObject(const AnsiString& s, TObject* object);
  void InsertObject(int index, const AnsiString& s, TObject* object);
  void Append(const AnsiString& s) { Add(s); }
  void AddStrings(const TStrings* strings);
  // From another string list: replaces the lines, objects and delimiters.
  void Assign(const TPersistent* source) override;
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);

  virtual int IndexOf(const AnsiString& s) const;
  int IndexOfObject(const TObject* object) const;

  // --- name=value lines; the name is matched without regard to letter case
  int IndexOfName(std::string_view name) const;
  // The text before the first "="; empty for a line without "=".
  AnsiString Names(int index) const;
  AnsiString ValueFromIndex(int index) const;
  // The value of the first line with that name; empty when there is none.
  AnsiString Values(std::string_view name) const;
  // Sets the first line of that name, appends one, or (empty value) deletes it.
  void SetValues(std::string_view name, const AnsiString& value);

  // --- text forms
  // Every line followed by CR LF. Reading splits at CR LF, LF or CR.
  AnsiString Text() const;
  virtual void SetText(std::string_view text);
  // Items joined by Delimiter; an item with blanks, control characters, the
  // delimiter or the quote is quoted, inner quotes doubled. Reading splits at
  // the delimiter and at blanks outside quotes.
  AnsiString DelimitedText() const;
  void SetDelimitedText(std::string_view text);
  // DelimitedText with "," and '"'.
  AnsiString CommaText() const;
  void SetCommaText(std::string_view text);
  char Delimiter() const { return delimiter_; }
  void SetDelimiter(char c) { delimiter_ = c; }
  char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(char c) { quoteChar_ = c; }

  // --- files: Windows-1250 bytes as they are; written with CR LF
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;
  // Reads from the stream's position to its end.
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream) const;

  // Bracket many changes so change notices go out once.
  void BeginUpdate();
  void EndUpdate();

protected:
  virtual AnsiString Get(int index) const = 0;
  virtual void Put(int index, const AnsiString& s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  // Called when the first BeginUpdate starts and the last EndUpdate ends.
  virtual void SetUpdateState(bool /*updating*/) {}
  int UpdateCount() const { return updateCount_; }
  // Equality of two lines for IndexOf; case-insensitive here.
  virtual bool SameString(std::string_view a, std::string_view b) const;

private:
  AnsiString JoinDelimited(char delimiter, char quoteChar) const;
  void SplitDelimited(std::string_view text, char delimiter, char quoteChar);

  char delimiter_ = ',';
  char quoteChar_ = '"';
  int updateCount_ = 0;
};

// The string list with its own storage. Unsorted by default and
// case-insensitive; a sorted list keeps the order of the locale-aware
// comparison (Czech), refuses Insert and Put, and applies Duplicates on Add.
class TStringList : public TStrings {
public:

  int Count() const override { return static_cast<int>(items_.size()); }
  int Add(const AnsiString& s) override;
  int AddObject(const AnsiString& s, TObject* object) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const AnsiString& s) const override;

  // Binary search of a sorted list: true when found; Index is the match (the
  // first of equal ones unless duplicates are accepted) or the insert position.
  bool Find(std::string_view s, int& index) const;
  void Sort();

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  // Sender is the list; OnChanging fires before and OnChange after a change.
  std::function<void(TObject* sender)> OnChange;
  std::function<void(TObject* sender)> OnChanging;

protected:
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void SetUpdateState(bool updating) override;
  bool SameString(std::string_view a, std::string_view b) const override;
  // Ordering of a sorted list: locale-aware, case as CaseSensitive says.
  int CompareStrings(std::string_view a, std::string_view b) const;

private:
  struct Item {
    AnsiString text;
    TObject* object = nullptr;
  };
  void CheckIndex(int index) const;
  void InsertItem(int index, const AnsiString& s, TObject* object);
  void Changing();
  void Changed();

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
};
