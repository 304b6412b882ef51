// Published-property storage: the text of each property kind both ways, the
// stored-props walk over a window's components, string lists and references,
// and the normalising of stored-props lists.
#include <gtest/gtest.h>

#include <map>

#include "platform/gui/forms.h"
#include "platform/gui/type_info.h"
#include "util/components/props_storage.h"

namespace {

enum TShade { shLight, shDark };

class TSample : public TComponent {
public:
  explicit TSample(TComponent* owner) : TComponent(owner) {
    RegisterProps<TSample>(
        "TSample", {IntProp("Count", &TSample::Count, &TSample::SetCount),
                    EnumProp("Shade", {"shLight", "shDark"}, &TSample::Shade, &TSample::SetShade),
                    SetProp("Sides", {"sdLeft", "sdTop", "sdRight"}, &TSample::Sides, &TSample::SetSides),
                    FloatProp("Ratio", ftDouble, &TSample::Ratio, &TSample::SetRatio),
                    StrProp<TSample>("Caption", &TSample::Caption, &TSample::SetCaption),
                    CharProp("Mark", &TSample::Mark, &TSample::SetMark),
                    ObjectProp("Lines", &TSample::Lines),
                    RefProp("Buddy", &TSample::Buddy, &TSample::SetBuddy)});
  }
  int Count() const { return count; }
  void SetCount(int v) { count = v; }
  TShade Shade() const { return shade; }
  void SetShade(TShade v) { shade = v; }
  unsigned Sides() const { return sides; }
  void SetSides(unsigned v) { sides = v; }
  double Ratio() const { return ratio; }
  void SetRatio(double v) { ratio = v; }
  const AnsiString& Caption() const { return caption; }
  void SetCaption(const AnsiString& v) { caption = v; }
  char Mark() const { return mark; }
  void SetMark(char v) { mark = v; }
  TStringList* Lines() const { return lines.get(); }
  TSample* Buddy() const { return buddy; }
  void SetBuddy(TSample* v) { buddy = v; }

  int count = 0;
  TShade shade = shLight;
  unsigned sides = 0;
  double ratio = 0;
  AnsiString caption;
  char mark = 'm';
  std::unique_ptr<TStringList> lines = std::make_unique<TStringList>();
  TSample* buddy = nullptr;
};

// Section -> key -> value, in the order of first write.
struct Store {
  std::vector<std::pair<AnsiString, AnsiString>> writes;  // "section/key", value
  std::map<AnsiString, AnsiString> values;
  std::vector<AnsiString> erased;

  void Bind(TPropsStorage& s) {
    s.OnWriteKeyValue = [this](const AnsiString& sec, const AnsiString& key, const AnsiString& v) {
      writes.emplace_back(sec + "/" + key, v);
      values[sec + "/" + key] = v;
    };
    s.OnReadKeyValue = [this](const AnsiString& sec, const AnsiString& key, const AnsiString& def) {
      auto it = values.find(sec + "/" + key);
      return it == values.end() ? def : it->second;
    };
    s.OnEraseSection = [this](const AnsiString& sec) { erased.push_back(sec); };
  }
};

struct PropsStorage : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    a = new TSample(form);
    a->SetName("Alpha");
    b = new TSample(form);
    b->SetName("Beta");
    props.Section = "TForm1";
    store.Bind(props);
  }
  void TearDown() override { form->Free(); }
  // A stored-props list of the given entries, bound to the form's components.
  void List(std::initializer_list<const char*> entries) {
    list.Clear();
    for (const char* e : entries) list.Add(e);
    ResolveStoredList(form, &list, true);
  }

  TForm* form = nullptr;
  TSample* a = nullptr;
  TSample* b = nullptr;
  TPropsStorage props;
  Store store;
  TStringList list;
};

TEST_F(PropsStorage, EntriesAreWrittenInListOrderUnderComponentUnderscoreProperty) {
  a->count = 42;
  a->caption = "  padded  ";
  b->caption = "";
  a->sides = 1 | 4;
  a->ratio = 2.5;
  a->shade = shDark;
  List({"Alpha.Count", "Beta.Caption", " Alpha . Caption ", "Alpha.Sides", "Alpha.Ratio", "Alpha.Shade",
        "Alpha.Missing", "Ghost.Count", "nodot"});
  props.WriteStoredProps(form, &list);
  const std::vector<std::pair<AnsiString, AnsiString>> expected = {
      {"TForm1/Alpha_Count", "42"},          {"TForm1/Beta_Caption", ""},
      {"TForm1/Alpha_Caption", "padded"},    {"TForm1/Alpha_Sides", "[sdLeft,sdRight]"},
      {"TForm1/Alpha_Ratio", "2.5"},         {"TForm1/Alpha_Shade", "shDark"}};
  EXPECT_EQ(store.writes, expected);
  EXPECT_EQ(list.Count(), 7);  // unknown components and entries without a point are dropped
}

TEST_F(PropsStorage, ReadTextsAreAppliedByKind) {
  struct Case {
    const char* key;
    const char* text;
  };
  a->count = 5;
  a->shade = shDark;
  a->sides = 2;
  a->mark = 'q';
  for (const Case& c : {Case{"Alpha_Count", "abc"}, {"Alpha_Shade", "shUnknown"}, {"Alpha_Sides", "[ sdTop , sdRight ]"},
                        {"Alpha_Ratio", "1.25"}, {"Alpha_Caption", "  text  "}, {"Alpha_Mark", ""}})
    store.values[AnsiString("TForm1/") + c.key] = c.text;
  List({"Alpha.Count", "Alpha.Shade", "Alpha.Sides", "Alpha.Ratio", "Alpha.Caption", "Alpha.Mark"});
  props.ReadStoredProps(form, &list);
  EXPECT_EQ(a->count, 0);         // malformed integers read as 0
  EXPECT_EQ(a->shade, shDark);    // an unknown name keeps the value
  EXPECT_EQ(a->sides, 2u | 4u);   // exactly the members named
  EXPECT_DOUBLE_EQ(a->ratio, 1.25);
  EXPECT_EQ(a->caption, "text");
  EXPECT_EQ(a->mark, 'q');        // an empty text leaves a character alone

  store.values["TForm1/Alpha_Sides"] = "[]";
  props.ReadStoredProps(form, &list);
  EXPECT_EQ(a->sides, 0u);
}

TEST_F(PropsStorage, AnEmptyTextIsStoredAndReadBackAsEmpty) {
  a->caption = "";
  List({"Alpha.Caption"});
  props.WriteStoredProps(form, &list);
  ASSERT_EQ(store.values.count("TForm1/Alpha_Caption"), 1u);
  a->caption = "typed since";
  props.ReadStoredProps(form, &list);
  EXPECT_EQ(a->caption, "");
}

TEST_F(PropsStorage, StringListsHaveTheirOwnSectionAndAnEmptyOneLeavesTheListAlone) {
  a->lines->Add(" first ");
  a->lines->Add("second");
  List({"Alpha.Lines"});
  props.WriteStoredProps(form, &list);
  EXPECT_EQ(store.erased, std::vector<AnsiString>{"TForm1.Alpha_Lines"});
  EXPECT_EQ(store.values["TForm1.Alpha_Lines/Count"], "2");
  EXPECT_EQ(store.values["TForm1.Alpha_Lines/Item0"], " first ");  // lines are not trimmed

  a->lines->Clear();
  props.ReadStoredProps(form, &list);
  ASSERT_EQ(a->lines->Count(), 2);
  EXPECT_EQ(a->lines->Strings(1), "second");

  Store other;
  TPropsStorage fresh;
  fresh.Section = "TForm1";
  other.Bind(fresh);
  List({"Beta.Lines"});
  fresh.WriteStoredProps(form, &list);
  EXPECT_TRUE(other.writes.empty());  // nothing but the erase for an empty list
  EXPECT_EQ(other.erased.size(), 1u);
  b->lines->Add("kept");
  fresh.ReadStoredProps(form, &list);
  EXPECT_EQ(b->lines->Count(), 1);
}

TEST_F(PropsStorage, ComponentReferencesByNameAndNull) {
  a->buddy = b;
  b->buddy = nullptr;
  List({"Alpha.Buddy", "Beta.Buddy"});
  props.WriteStoredProps(form, &list);
  EXPECT_EQ(store.values["TForm1/Alpha_Buddy"], "Beta");
  EXPECT_EQ(store.values["TForm1/Beta_Buddy"], "(null)");

  store.values["TForm1/Alpha_Buddy"] = "(NULL)";
  store.values["TForm1/Beta_Buddy"] = "Alpha";
  props.ReadStoredProps(form, &list);
  EXPECT_EQ(a->buddy, nullptr);
  EXPECT_EQ(b->buddy, a);
}

TEST(StoredItems, SplitJoinAndRename) {
  AnsiString comp, prop;
  EXPECT_TRUE(SplitStoredItem(" Edit1 . Text.Sub ", comp, prop));
  EXPECT_EQ(comp, "Edit1");
  EXPECT_EQ(prop, "Text.Sub");
  for (const char* bad : {"", "Edit1", ".Text", "Edit1.", " . "}) EXPECT_FALSE(SplitStoredItem(bad, comp, prop)) << bad;
  EXPECT_EQ(JoinStoredItem("A", ""), "");
  EXPECT_EQ(RenameStoredItem("Old.Text", "New"), "New.Text");
  EXPECT_EQ(RenameStoredItem("broken", "New"), "");
}

TEST_F(PropsStorage, ARenamedComponentIsWrittenUnderItsNewName) {
  List({"Alpha.Count"});
  a->SetName("Gamma");
  ResolveStoredList(form, &list, false);
  EXPECT_EQ(list.Strings(0), "Gamma.Count");
  list.Add("Unbound.Count");  // no object: dropped
  ResolveStoredList(form, &list, false);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
