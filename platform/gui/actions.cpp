// Actions, their lists and links, and the control's side of them: a linked
// control takes the action's properties whenever the action changes.
#include "platform/gui/actions.h"

#include <algorithm>

#include "platform/gui/image_list.h"

namespace {
template <class T>
void Remove(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

// --- links and basic actions ---------------------------------------------------------------

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_) Remove(action_->clients_, this);
  action_ = action;
  if (action_) action_->clients_.push_back(this);
}

bool TBasicActionLink::Execute() { return action_ && action_->Execute(); }

TBasicAction::~TBasicAction() {
  for (TBasicActionLink* link : clients_) link->action_ = nullptr;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

void TBasicAction::Change() {
  // A client may drop its link while being told, so the round goes over a copy.
  const std::vector<TBasicActionLink*> clients = clients_;
  for (TBasicActionLink* link : clients)
    if (std::find(clients_.begin(), clients_.end(), link) != clients_.end()) link->Change();
}

// --- custom actions and lists --------------------------------------------------------------

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetActionList(TActionList* list) {
  if (list == actionList_) return;
  if (actionList_) Remove(actionList_->actions_, this);
  actionList_ = list;
  if (list) list->actions_.push_back(this);
}

TActionList::~TActionList() {
  for (TCustomAction* action : actions_) action->actionList_ = nullptr;
  SetImages(nullptr);
}

void TActionList::SetImages(TImageList* images) {
  if (images == images_) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
}

void TActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

// --- the control's side --------------------------------------------------------------------

void TControlActionLink::Change() { client_->ActionChange(Action(), false); }

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
  if (!action) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_ = std::make_unique<TControlActionLink>(this);
  actionLink_->SetAction(action);
  ActionChange(action, action->InState(csLoading));
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || Caption().empty()) SetCaption(action->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!checkDefaults || Hint().empty()) SetHint(action->Hint());
  if (!checkDefaults || Visible()) SetVisible(action->Visible());
}
