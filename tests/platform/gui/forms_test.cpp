// The component framework: the form-building protocol with its reference
// fix-ups and Loaded order, properties by name, free notifications, modal
// forms and their dialog keys, and hints.
#include <gtest/gtest.h>

#include "platform/gui/collections.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/edits.h"
#include "platform/rtl/text.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/timer.h"
#include "platform/rtl/clock.h"
#include "tests/platform/gui/comp_test_support.h"

namespace {

// A component that records, when it is loaded, what it saw.
class TProbe : public TComponent {
public:
  explicit TProbe(TComponent* owner) : TComponent(owner) {}
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  Variant Extra() const { return extra_; }
  void SetExtra(const Variant& v) { extra_ = v; }
  double ratio_ = 0;
  Variant extra_;
  TComponent* Buddy() const { return buddy_; }
  void SetBuddy(TComponent* buddy) {
    if (buddy_) buddy_->RemoveFreeNotification(this);
    buddy_ = buddy;
    if (buddy) buddy->FreeNotification(this);
  }
  static std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
  }

protected:
  void Loaded() override {
    Log().push_back(Name() + (buddy_ ? "->" + buddy_->Name() : "") + (InState(csLoading) ? " loading" : ""));
    TComponent::Loaded();
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == buddy_) buddy_ = nullptr;
  }

private:
  TComponent* buddy_ = nullptr;
};

void RegisterProbe() {
  RegisterProps<TProbe>("TProbe", {RefProp("Buddy", &TProbe::Buddy, &TProbe::SetBuddy),
                                   FloatProp("Ratio", ftDouble, &TProbe::Ratio, &TProbe::SetRatio),
                                   VariantProp("Extra", &TProbe::Extra, &TProbe::SetExtra)});
  RegisterClass<TProbe>("TProbe");
}

TEST(FormLoader, ReferencesAreFixedUpBeforeLoadedWhichRunsInCreationOrder) {
  RegisterProbe();
  TProbe::Log().clear();
  TForm* form = new TForm(nullptr);
  form->SetName("Form1");
  {
    TFormLoader load(form);
    // The first probe refers to one created after it.
    TComponent* a = load.CreateByClassName("TProbe", "A");
    load.Ref(a, "Buddy", "C");
    TComponent* b = load.Create<TProbe>("B");
    load.Ref(b, "Buddy", "A");
    load.Create<TProbe>("C");
    EXPECT_TRUE(a->InState(csLoading));
    EXPECT_EQ(static_cast<TProbe*>(a)->Buddy(), nullptr);  // not before the fix-up
    load.Finish();
    EXPECT_FALSE(a->InState(csLoading));
    EXPECT_FALSE(form->InState(csLoading));
  }
  // Each saw its reference and was still loading when told.
  EXPECT_EQ(TProbe::Log(), (std::vector<std::string>{"A->C loading", "B->A loading", "C loading"}));

  // Freeing a referenced component clears the reference.
  auto* a = static_cast<TProbe*>(form->FindComponent("A"));
  form->FindComponent("C")->Free();
  EXPECT_EQ(a->Buddy(), nullptr);
  form->Free();
}

TEST(FormLoader, PropertiesByNameAndTheirErrors) {
  TForm* form = new TForm(nullptr);
  TFormLoader load(form);
  auto* label = load.Create<TLabel>("Label1", form);
  auto* panel = load.Create<TPanel>("Panel1", form);
  load.Set(label, "Caption", "Žluťoučký kůň");
  load.Set(label, "alignment", "taCenter");  // names are matched without regard to case
  load.Set(panel, "Align", "alTop");
  load.Set(panel, "Height", "40");
  EXPECT_THROW(load.Set(label, "Font", ""), EPropertyError) << "an owned object is not set from text";
  EXPECT_THROW(load.Set(label, "Nothing", "1"), EPropertyError);
  EXPECT_THROW(load.Set(label, "Alignment", "taNowhere"), EPropertyError);
  EXPECT_THROW(load.Set(panel, "Height", "4x"), EConvertError);
  load.Finish();
  EXPECT_EQ(label->Caption(), "Žluťoučký kůň");
  EXPECT_EQ(label->Alignment(), taCenter);
  EXPECT_EQ(GetEnumProp(panel, "Align"), "alTop");
  EXPECT_EQ(GetStrProp(label, "Caption"), "Žluťoučký kůň");
  SetStrProp(label, "Caption", "Text");
  EXPECT_EQ(label->Text(), "Text");
  SetSetProp(label->Font(), "Style", "[fsBold, fsItalic]");
  EXPECT_EQ(label->Font()->Style(), TFontStyles(fsBold | fsItalic));
  EXPECT_EQ(GetSetProp(label->Font(), "Style"), "[fsBold,fsItalic]");
  EXPECT_THROW(SetObjectProp(form, "ActiveControl", label), EPropertyError) << "a label is no windowed control";
  form->Free();
}

TEST(FormLoader, FloatCharAndVariantPropertiesAndTheKindsOfAList) {
  RegisterProbe();
  TForm* form = new TForm(nullptr);
  TFormLoader load(form);
  auto* probe = load.Create<TProbe>("P");
  auto* edit = load.Create<TEdit>("E", form);
  load.Set(probe, {{"Ratio", "2.5"}, {"Extra", "text"}});
  load.Set(edit, "PasswordChar", "*x");
  EXPECT_THROW(load.Set(probe, "Ratio", "2,5"), EConvertError) << "numbers in builders use a dot";
  load.Finish();
  EXPECT_DOUBLE_EQ(GetFloatProp(probe, "Ratio"), 2.5);
  EXPECT_EQ(probe->Extra().AsString(), "text");
  EXPECT_EQ(edit->PasswordChar(), '*');
  EXPECT_EQ(GetOrdProp(edit, "PasswordChar"), '*');
  EXPECT_THROW(GetStrProp(probe, "Ratio"), EPropertyError) << "a float is not read as a string";

  // Lists are sorted by name and keep only the kinds asked for.
  const std::vector<PPropInfo> strings = GetPropList(edit, (1u << tkLString));
  ASSERT_FALSE(strings.empty());
  for (size_t i = 1; i < strings.size(); ++i) EXPECT_LT(CompareText(strings[i - 1]->Name, strings[i]->Name), 0);
  for (PPropInfo p : strings) EXPECT_EQ(p->Kind, tkLString);
  EXPECT_EQ(GetPropInfo(edit, "text")->Name, "Text");
  EXPECT_EQ(GetPropInfo(nullptr, "Text"), nullptr);
  EXPECT_NE(GetClass("tedit"), nullptr);
  EXPECT_THROW(FindClass("TNothing"), EClassNotFound);
  form->Free();
}

// A form class with its builder, as a program's windows are made.
class TBuiltForm : public TForm {
public:
  explicit TBuiltForm(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TObject*) { events.push_back("create"); };
    OnShow = [this](TObject*) { events.push_back(std::string("show, label ") + (label->InState(csLoading) ? "loading" : "loaded")); };
    TFormLoader load(this);
    label = load.Create<TLabel>("Label1", this);
    load.Set(this, {{"Visible", "True"}, {"Caption", "Okno"}});
    load.Set(label, "Caption", "Text");
    load.Finish();
  }
  TLabel* label;
  std::vector<std::string> events;
};

TEST(FormLoader, AFormBuiltVisibleShowsAfterOnCreate) {
  TBuiltForm* form = nullptr;
  Application->CreateForm(form);
  EXPECT_EQ(form->events, (std::vector<std::string>{"create", "show, label loaded"}));
  EXPECT_TRUE(form->Showing());
  EXPECT_EQ(Application->MainForm(), form);
  form->Free();
}

TEST(FormLoader, AReferenceToNothingFailsAndLeavesNothingLoading) {
  TForm* form = new TForm(nullptr);
  TPanel* panel = nullptr;
  {
    TFormLoader load(form);
    panel = load.Create<TPanel>("Panel1", form);
    load.Ref(panel, "PopupMenu", "Missing");
    EXPECT_THROW(load.Finish(), EPropertyError);
  }
  EXPECT_FALSE(panel->InState(csLoading));
  EXPECT_FALSE(form->InState(csLoading));
  form->Free();
}

// A focusable control that is not a button, so Enter goes to the default button.
class TFocusBox : public TCustomControl {
public:
  explicit TFocusBox(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

struct ModalFixture : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(200, 150, 320, 200);
    box = Add<TFocusBox>(10, 10);
    yes = Add<TButton>(10, 100);
    yes->SetModalResult(mrYes);
    yes->SetDefault(true);
    no = Add<TButton>(100, 100);
    no->SetModalResult(mrNo);
    no->SetCancel(true);
    other = Add<TButton>(190, 100);
    other->SetModalResult(mrRetry);
    form->SetActiveControl(box);
  }
  void TearDown() override { form->Free(); }
  template <class T>
  T* Add(int x, int y) {
    T* c = new T(form);
    c->SetParent(form);
    c->SetBounds(x, y, 75, 25);
    return c;
  }
  // A screen point of the frame's close button.
  TPoint CloseButton() {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    for (int y = r.Top; y < r.Top + 30; ++y)
      for (int x = r.Right - 1; x > r.Right - 60; --x)
        if (SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return Point(x, y);
    ADD_FAILURE() << "no close button";
    return Point(0, 0);
  }
  TForm* form;
  TFocusBox* box;
  TButton *yes, *no, *other;
};

TEST_F(ModalFixture, ButtonsAndTheCloseButtonEndTheLoopWithTheirResult) {
  EXPECT_EQ(ShowModalWith(form, [&] { ClickOn(other); }), mrRetry);
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(ShowModalWith(form, [&] {
              const TPoint p = CloseButton();
              HeadlessClick(p.X, p.Y);
            }),
            mrCancel);
  // A form that refuses to close keeps the loop going.
  int asked = 0;
  form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
  EXPECT_EQ(ShowModalWith(form, [&] {
              ClickOn(yes);
              ClickOn(no);
            }),
            mrNo);
  EXPECT_EQ(asked, 2);
}

TEST_F(ModalFixture, EnterAndEscReachTheDefaultAndCancelButtons) {
  EXPECT_EQ(ShowModalWith(form, [] { PressKey(VK_RETURN, "\r"); }), mrYes);
  EXPECT_EQ(ShowModalWith(form, [] { PressKey(VK_ESCAPE, "\x1b"); }), mrNo);
  // With a button focused, Enter presses that one; Tab moves the focus on.
  form->SetActiveControl(box);
  EXPECT_EQ(ShowModalWith(form, [] {
              for (int i = 0; i < 3; ++i) PressKey(VK_TAB, "\t");
              PressKey(VK_RETURN, "\r");
            }),
            mrRetry);
}

TEST(Hints, AppearAfterTheHintPauseOnlyOnControlsThatShowThem) {
  SetVirtualClock(true);
  TForm* form = new TForm(nullptr);
  form->SetBounds(100, 100, 300, 200);
  auto* withHint = new TButton(form);
  withHint->SetParent(form);
  withHint->SetBounds(10, 10, 80, 25);
  withHint->SetHint("Uloží zálohu");
  withHint->SetShowHint(true);
  auto* quiet = new TButton(form);
  quiet->SetParent(form);
  quiet->SetBounds(150, 10, 80, 25);
  quiet->SetHint("Nikdy");
  form->Show();
  Application->ProcessMessages();
  auto hintShown = [] { return Application->HintWindow() && Application->HintWindow()->Visible(); };

  const TPoint p = CentreOf(withHint);
  HeadlessMouseMove(p.X, p.Y);
  Application->ProcessMessages();
  AdvanceVirtualClock(Application->HintPause() - 10);
  Application->ProcessMessages();
  EXPECT_FALSE(hintShown());
  AdvanceVirtualClock(20);
  Application->ProcessMessages();
  ASSERT_TRUE(hintShown());
  EXPECT_EQ(Application->Hint(), "Uloží zálohu");

  const TPoint q = CentreOf(quiet);
  HeadlessMouseMove(q.X, q.Y);
  Application->ProcessMessages();
  EXPECT_FALSE(hintShown()) << "moving on ends the hint";
  AdvanceVirtualClock(Application->HintPause() * 4);
  Application->ProcessMessages();
  EXPECT_FALSE(hintShown()) << "ShowHint is off";
  form->Free();
  SetVirtualClock(false);
}

TEST(ApplicationEvents, EveryListenerHearsMessagesAndTheMainFormsMinimizeAndRestore) {
  TForm* main = new TForm(nullptr);
  Application->SetMainForm(main);
  main->Show();
  Application->ProcessMessages();
  TApplicationEvents first(nullptr), second(nullptr);
  std::vector<std::string> heard;
  first.OnMinimize = [&](TObject*) { heard.push_back("first minimize"); };
  second.OnMinimize = [&](TObject*) { heard.push_back("second minimize"); };
  second.OnRestore = [&](TObject*) { heard.push_back("restore"); };
  int seen = 0;
  first.OnMessage = [&](MSG& msg, bool& handled) {
    if (msg.message == WM_APP + 7) ++seen, handled = true;
  };
  second.OnMessage = [&](MSG& msg, bool&) {
    if (msg.message == WM_APP + 7) ADD_FAILURE() << "a handled message goes no further";
  };
  PostMessage(main->Handle(), WM_APP + 7, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(seen, 1);
  // A listener freed by another while they are told is passed over.
  auto* third = new TApplicationEvents(nullptr);
  third->OnRestore = [&](TObject*) { ADD_FAILURE() << "a freed listener was told"; };
  first.OnRestore = [&](TObject*) { third->Free(); };
  main->Perform(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(main->Handle()));
  main->Perform(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(main->Handle()));
  EXPECT_EQ(heard, (std::vector<std::string>{"first minimize", "second minimize", "restore"}));

  // An idle handler that is not done is asked again rather than waited out.
  int idles = 0;
  second.OnIdle = [&](TObject*, bool& done) { ++idles, done = false; };
  for (int i = 0; i < 50 && idles < 3; ++i) Application->HandleMessage();
  EXPECT_EQ(idles, 3);
  second.OnIdle = nullptr;
  main->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

class TNamedItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
  AnsiString name;
  void Assign(const TPersistent* source) override { name = dynamic_cast<const TNamedItem&>(*source).name + "'"; }
};

class TCountingCollection : public TOwnedCollection {
public:
  using TOwnedCollection::TOwnedCollection;
  int updates = 0;

protected:
  void Update(TCollectionItem*) override { ++updates; }
};

TEST(Collections, ItemsKnowTheirPlaceAndChangesAreReportedOutsideUpdates) {
  TComponent owner(nullptr);
  TCountingCollection c(&owner, TCollection::ItemsOf<TNamedItem>());
  EXPECT_EQ(c.Owner(), &owner);
  auto* a = static_cast<TNamedItem*>(c.Add());
  auto* b = static_cast<TNamedItem*>(c.Insert(0));
  a->name = "a";
  b->name = "b";
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(a->Index(), 1);
  EXPECT_NE(a->ID(), b->ID());
  EXPECT_EQ(c.FindItemID(a->ID()), a);
  EXPECT_EQ(c.updates, 3);  // two additions and one move
  c.BeginUpdate();
  c.Add();
  c.Delete(2);
  EXPECT_EQ(c.updates, 3);
  c.EndUpdate();
  EXPECT_EQ(c.updates, 4) << "one notice for the whole update";
  delete b;  // an item freed on its own leaves the collection
  EXPECT_EQ(c.Count(), 1);
  EXPECT_THROW(c.Items(1), EListError);

  TCountingCollection copy(nullptr, TCollection::ItemsOf<TNamedItem>());
  copy.Add();
  copy.Assign(&c);
  ASSERT_EQ(copy.Count(), 1);
  EXPECT_EQ(static_cast<TNamedItem*>(copy.Items(0))->name, "a'");
}

TEST(MessageBox, WithoutADisplayTheScriptAnswersElseTheDefaultButton) {
  ScriptMessageBoxAnswer(IDRETRY);
  EXPECT_EQ(MessageBoxA(0, "Disk je plný.", "Vorbex05", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(MessageBoxA(0, "Pokračovat?", "Vorbex05", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBoxA(0, "Hotovo.", nullptr, MB_OKCANCEL), IDOK);
}

TEST(Timers, FireOnTheVirtualClockUntilDisabled) {
  SetVirtualClock(true);
  TTimer timer(nullptr);
  timer.SetInterval(100);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 3) timer.SetEnabled(false);
  };
  ProcessMessagesFor(1000);
  EXPECT_EQ(ticks, 3);
  SetVirtualClock(false);
}

}  // namespace
