// TList and the string lists: index errors, the quicksort, sorted lists and
// their duplicate rules, name=value lines, the text forms and the file round
// trip.
#include "platform/rtl/lists.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/rtl/exceptions.h"
#include "tests/support/file_reader.h"
#include "tests/support/temp_folder.h"

namespace {

AnsiString Join(const TStrings& list) {
  AnsiString out;
  for (int i = 0; i < list.Count(); ++i) out += (i ? "|" : "") + list[i];
  return out;
}

}  // namespace

TEST(List, IndexErrorsNameTheIndex) {
  TList list;
  int a = 1, b = 2;
  list.Add(&a);
  list.Insert(0, &b);
  EXPECT_EQ(list[0], &b);
  EXPECT_EQ(list.Last(), &a);
  try {
    list.Get(2);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(3, &a), EListError);
  EXPECT_THROW(TList().First(), EListError);
  EXPECT_EQ(list.Remove(&b), 0);
  EXPECT_EQ(list.Remove(&b), -1);
}

TEST(List, QuickSortOrdersAndPackDropsNulls) {
  int values[] = {5, 3, 9, 1, 5, 7, 2, 8, 0, 6};
  TList list;
  for (int& v : values) list.Add(&v);
  list.Add(nullptr);
  list.Pack();
  ASSERT_EQ(list.Count(), 10);
  list.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  for (int i = 1; i < list.Count(); ++i)
    EXPECT_LE(*static_cast<int*>(list[i - 1]), *static_cast<int*>(list[i]));
  TList empty;
  empty.Sort([](void*, void*) { return 0; });
}

TEST(StringList, TextSplitsAtEveryLineEndAndWritesCrLf) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Join(list), "a|b|c|d");
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("x\r\n\r\n");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list[1], "");
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, ValuesLookUpNamesWithoutRegardToCase) {
  TStringList list;
  list.Add("HostName=db1");
  list.Add("noequals");
  list.Add("hostname=db2");
  list.Add("Žádost=ano");
  list.Add("password=");
  EXPECT_EQ(list.Values("HOSTNAME"), "db1");  // the first line wins
  EXPECT_EQ(list.Values("žÁDOST"), "ano");
  EXPECT_EQ(list.Values("noequals"), "");
  EXPECT_EQ(list.IndexOfName("noequals"), -1);
  EXPECT_EQ(list.IndexOfName("PASSWORD"), 4);
  EXPECT_EQ(list.Names(0), "HostName");
  EXPECT_EQ(list.Names(1), "");
  list.SetValues("HOSTNAME", "db3");
  EXPECT_EQ(list[0], "HOSTNAME=db3");
  list.SetValues("port", "3306");
  EXPECT_EQ(list[5], "port=3306");
  list.SetValues("hostname", "");  // an empty value removes the line
  EXPECT_EQ(list.Values("hostname"), "db2");
}

TEST(StringList, SortedListsOrderByCzechRulesAndApplyDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"i", "ch", "h", "č", "c", "d"}) list.Add(s);
  EXPECT_EQ(Join(list), "c|č|d|h|ch|i");
  EXPECT_EQ(list.IndexOf("CH"), 4);  // case-insensitive by default
  EXPECT_EQ(list.Add("CH"), 4);      // dupIgnore: the existing index
  EXPECT_EQ(list.Count(), 6);
  EXPECT_THROW(list.Insert(0, "a"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "a"), EStringListError);

  list.SetDuplicates(dupError);
  try {
    list.Add("D");
    FAIL() << "no error";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  list.SetDuplicates(dupAccept);
  list.Add("D");
  EXPECT_EQ(list.Count(), 7);

  list.SetCaseSensitive(true);
  list.SetDuplicates(dupError);
  EXPECT_NO_THROW(list.Add("I"));  // differs in case: not a duplicate
  int index = -1;
  EXPECT_TRUE(list.Find("i", index));
  EXPECT_EQ(list[index], "i");
  EXPECT_FALSE(list.Find("e", index));
  EXPECT_EQ(index, 4);  // where "e" would go: after "D"
}

TEST(StringList, ObjectsTravelWithTheirLines) {
  TStringList list;
  TObject a, b;
  list.AddObject("b", &b);
  list.AddObject("a", &a);
  list.SetSorted(true);
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOfObject(&b), 1);
  EXPECT_EQ(list.AddObject("a", &b), 0);  // ignored duplicate keeps its object
  EXPECT_EQ(list.Objects(0), &a);
  TStringList copy;
  copy.Assign(&list);
  EXPECT_EQ(copy.Objects(1), &b);
  TPersistent notStrings;
  EXPECT_THROW(copy.Assign(&notStrings), EConvertError);
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
  TStringList list;
  for (const char* s : {"plain", "two words", "with,comma", "say \"hi\"", ""}) list.Add(s);
  const AnsiString text = list.CommaText();
  EXPECT_EQ(text, "plain,\"two words\",\"with,comma\",\"say \"\"hi\"\"\",");
  TStringList back;
  back.SetCommaText(text);
  EXPECT_EQ(Join(back), Join(list));

  back.SetCommaText("a b, c ,,d,");
  EXPECT_EQ(Join(back), "a|b|c||d|");  // blanks separate too; a trailing comma adds ""
  back.SetCommaText("\"\"");
  EXPECT_EQ(back.Count(), 1);
  EXPECT_EQ(back.CommaText(), "\"\"");

  back.SetDelimiter(';');
  back.SetQuoteChar('\'');
  back.SetDelimitedText("x;'y;z';'it''s'");
  EXPECT_EQ(Join(back), "x|y;z|it's");
  EXPECT_EQ(back.DelimitedText(), "x;'y;z';'it''s'");
}

TEST(StringList, UpdatesBracketChangeNotices) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changes;
  };
  list.Add("a");
  EXPECT_EQ(changes, 1);
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
}

TEST(StringListFiles, SaveWritesCrLfAndLoadReadsEveryLineEnd) {
  TempFolder folder;
  TStringList list;
  list.Add("[LogOn]");
  list.Add("Databáze=kalmir");
  list.Add("");
  // The list takes Windows-1250 names; the file on disk carries the UTF-8 name.
  const AnsiString ansiName = folder.name() + "/nastavení.ini";
  list.SaveToFile(ansiName);
  EXPECT_EQ(FileBytes(folder.path() / u8"nastavení.ini"), "[LogOn]\r\nDatabáze=kalmir\r\n\r\n");

  TStringList back;
  back.LoadFromFile(ansiName);
  EXPECT_EQ(Join(back), Join(list));

  std::ofstream(folder.path() / "lf.txt", std::ios::binary) << "a\nb\r\nc";
  back.LoadFromFile(folder.name() + "/lf.txt");
  EXPECT_EQ(Join(back), "a|b|c");
  EXPECT_THROW(back.LoadFromFile(folder.name() + "/missing.txt"), EFOpenError);
}
