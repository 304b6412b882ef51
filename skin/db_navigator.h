// TsuiDBNavigator: a row of ten skinned buttons that move through and edit
// the records of a dataset (first, prior, next, last, insert, delete, edit,
// post, cancel, refresh). It follows a data source through its data link and
// enables each button by the dataset's state; prior and next repeat while
// held, delete asks first.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/db/data_source.h"
#include "platform/gui/std_controls.h"
#include "skin/skin_button.h"
#include "skin/skin_keys.h"

class TStringList;
class TStrings;
class TTimer;
class TsuiDBNavigator;
class TsuiFileTheme;

enum TNavigateBtn : uint8_t { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
inline constexpr int kNavButtonCount = 10;
// A set of buttons: bit n for button kind n.
using TButtonSet = uint16_t;
inline constexpr TButtonSet NavButton(TNavigateBtn kind) { return TButtonSet(1u << kind); }
inline constexpr TButtonSet kAllNavButtons = (1u << kNavButtonCount) - 1;
using ENavClick = std::function<void(TObject* sender, TNavigateBtn button)>;

class TsuiNavButton : public TsuiButton {
public:
  explicit TsuiNavButton(TComponent* owner);
  ~TsuiNavButton() override;

  TNavigateBtn Index() const { return index_; }
  void SetIndex(TNavigateBtn value) { index_ = value; }
  bool RepeatsWhileHeld() const { return repeats_; }
  void SetRepeatsWhileHeld(bool value) { repeats_ = value; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TsuiDBNavigator* Navigator() const;
  void RepeatTick();
  TNavigateBtn index_ = nbFirst;
  bool repeats_ = false;
  std::unique_ptr<TTimer> repeatTimer_;
};

class TsuiNavDataLink : public TDataLink {
public:
  explicit TsuiNavDataLink(TsuiDBNavigator* navigator) : navigator_(navigator) {}
  ~TsuiNavDataLink() override { navigator_ = nullptr; }

protected:
  void LinkActiveChanged() override;
  void LinkDataSetChanged() override;
  void LinkEditingChanged() override;

private:
  TsuiDBNavigator* navigator_;
};

class TsuiDBNavigator : public TCustomPanel {
public:
  explicit TsuiDBNavigator(TComponent* owner);
  ~TsuiDBNavigator() override;

  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TDataSource* DataSource() const { return link_->DataSource(); }
  void SetDataSource(TDataSource* value);
  TButtonSet VisibleButtons() const { return visibleButtons_; }
  void SetVisibleButtons(TButtonSet value);
  // The custom hints (one line per button, empty lines keep the default).
  TStrings* Hints() const;
  void SetHints(const TStrings* value);
  bool ConfirmDelete() const { return confirmDelete_; }
  void SetConfirmDelete(bool value) { confirmDelete_ = value; }
  void SetCursor(TCursor value);
  void SetEnabled(bool value) override;
  void SetBounds(int left, int top, int width, int height) override;

  TsuiNavButton* Button(TNavigateBtn kind) const { return buttons_[kind]; }
  TNavigateBtn FocusedButton() const { return focusedButton_; }

  // Runs the button's action on the dataset (when there is an active one), then OnClick.
  virtual void BtnClick(TNavigateBtn index);

  ENavClick OnClick;
  ENavClick BeforeAction;

protected:
  void WndProc(TMessage& message) override;
  void Resize() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  bool WantsKey(WORD key) const override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

private:
  friend class TsuiNavDataLink;
  void DataChanged();
  void EditingChanged();
  void ActiveChanged();
  int VisibleCount() const;
  void CalcMinSize(int& width, int& height) const;
  // Lays the buttons out over the size, which it may narrow to whole buttons.
  void SetSize(int& width, int& height);
  void InitHints();
  void ButtonMouseDown(TsuiNavButton* button);
  void MoveFocusMark(int step);

  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  std::unique_ptr<TsuiNavDataLink> link_;
  TButtonSet visibleButtons_ = kAllNavButtons;
  std::unique_ptr<TStringList> hints_, defaultHints_;
  int buttonWidth_ = 0;
  TNavigateBtn focusedButton_ = nbFirst;
  bool confirmDelete_ = true;
  bool sizing_ = false;
  TsuiNavButton* buttons_[kNavButtonCount] = {};
};
