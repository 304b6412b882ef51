// Actions: operations kept apart from the controls that start them, so that
// a button and a menu item can share one caption, one enabled state and one
// handler. An action tells its clients through their links when it changes
// or goes; a custom action carries what controls show and belongs to an
// action list, which holds the pictures its image indexes refer to.
#pragma once

#include <vector>

#include "platform/gui/controls.h"

class TBasicAction;
class TActionList;
class TImageList;

// A client's tie to an action. The link is told when the action changes and
// forgets the action when it is freed.
class TBasicActionLink {
public:
  TBasicActionLink() = default;
  virtual ~TBasicActionLink();
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* action);
  // Runs the action; false without one.
  bool Execute();

protected:
  friend class TBasicAction;
  // The action's properties changed.
  virtual void Change() {}

private:
  TBasicAction* action_ = nullptr;
};

class TBasicAction : public TComponent {
public:
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  ~TBasicAction() override;

  // Runs OnExecute; false when there is none.
  virtual bool Execute();

  TNotifyEvent OnExecute;

protected:
  // Tells every client the action changed.
  void Change();

private:
  friend class TBasicActionLink;
  std::vector<TBasicActionLink*> clients_;
};

class TCustomAction : public TBasicAction {
public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
  ~TCustomAction() override;

  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& value) { Store(caption_, value); }
  bool Checked() const { return checked_; }
  void SetChecked(bool value) { Store(checked_, value); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { Store(enabled_, value); }
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& value) { Store(hint_, value); }
  // A picture of the list's Images; -1 for none.
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { Store(imageIndex_, value); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { Store(visible_, value); }
  TActionList* ActionList() const { return actionList_; }
  void SetActionList(TActionList* list);

private:
  friend class TActionList;
  template <class T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Change();
  }
  AnsiString caption_;
  bool checked_ = false;
  bool enabled_ = true;
  AnsiString hint_;
  int imageIndex_ = -1;
  bool visible_ = true;
  TActionList* actionList_ = nullptr;
};

// The actions of a form and the image list their image indexes refer to.
// Freeing the list leaves its actions to their owner, without a list.
class TActionList : public TComponent {
public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  int ActionCount() const { return int(actions_.size()); }
  TCustomAction* Actions(int index) const { return actions_.at(size_t(index)); }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TCustomAction;
  std::vector<TCustomAction*> actions_;
  TImageList* images_ = nullptr;
};

// Passes the action's changes on to the control's ActionChange.
class TControlActionLink : public TBasicActionLink {
public:
  explicit TControlActionLink(TControl* client) : client_(client) {}

protected:
  void Change() override;

private:
  TControl* client_;
};
