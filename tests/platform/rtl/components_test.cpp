// Components: owners free what they own, freed components tell those that
// asked (and their owner's other components), names are unique per owner,
// loading ends with Loaded, and assigning unrelated classes fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/components.h"

namespace {

std::vector<std::string> journal;

class TProbe : public TComponent {
public:
  TProbe(TComponent* owner, const char* name) : TComponent(owner) { SetName(name); }
  ~TProbe() override { journal.push_back("~" + Name()); }
  TComponent* watched = nullptr;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == watched) {
      journal.push_back(Name() + " lost " + component->Name());
      watched = nullptr;
    }
  }
  void Loaded() override {
    TComponent::Loaded();
    journal.push_back(Name() + " loaded");
  }
};

}  // namespace

TEST(Components, OwnerFreesOwnedComponentsAndTellsTheOthers) {
  journal.clear();
  auto* form = new TProbe(nullptr, "form");
  auto* a = new TProbe(form, "a");
  auto* b = new TProbe(form, "b");
  b->watched = a;
  EXPECT_EQ(form->ComponentCount(), 2);
  EXPECT_EQ(form->FindComponent("A"), a);
  a->Free();
  EXPECT_EQ(journal, (std::vector<std::string>{"b lost a", "~a"}));
  EXPECT_EQ(form->ComponentCount(), 1);
  journal.clear();
  form->Free();
  EXPECT_EQ(journal, (std::vector<std::string>{"~b", "~form"}));
}

TEST(Components, FreeNotificationAcrossOwners) {
  journal.clear();
  auto* left = new TProbe(nullptr, "left");
  auto* right = new TProbe(nullptr, "right");
  left->watched = right;
  right->FreeNotification(left);
  right->Free();
  EXPECT_EQ(journal, (std::vector<std::string>{"left lost right", "~right"}));
  journal.clear();
  // The entry goes both ways: freeing the watcher leaves nothing dangling.
  auto* other = new TProbe(nullptr, "other");
  other->FreeNotification(left);
  left->Free();
  other->Free();
  EXPECT_EQ(journal, (std::vector<std::string>{"~left", "~other"}));
}

TEST(Components, NamesAreUniquePerOwner) {
  auto* form = new TProbe(nullptr, "form");
  new TProbe(form, "edit");
  try {
    new TProbe(form, "EDIT");
    ADD_FAILURE();
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named EDIT already exists");
  }
  EXPECT_EQ(form->ComponentCount(), 1);
  form->Free();
}

TEST(Components, LoadingEndsWithLoadedOnEveryComponent) {
  journal.clear();
  auto* form = new TProbe(nullptr, "form");
  auto* child = new TProbe(form, "child");
  form->BeginLoading();
  EXPECT_TRUE(child->InState(csLoading));
  form->EndLoading();
  EXPECT_FALSE(child->InState(csLoading));
  EXPECT_EQ(journal, (std::vector<std::string>{"child loaded", "form loaded"}));
  form->Free();
}

TEST(Components, AssignWithoutSupportRaises) {
  auto* a = new TProbe(nullptr, "a");
  auto* b = new TProbe(nullptr, "b");
  try {
    a->Assign(b);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TProbe to a TProbe");
  }
  a->Free();
  b->Free();
}
