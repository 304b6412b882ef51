// TsuiThemeManager hands one style and one skin to a list of named controls
// of its window, again whenever either changes.
#pragma once

#include <memory>

#include "platform/rtl/components.h"
#include "platform/rtl/lists.h"
#include "skin/skin_keys.h"
#include "platform/gui/graphics_objects.h"

class TsuiFileTheme;

class TsuiThemeManager : public TComponent {
public:
  explicit TsuiThemeManager(TComponent* owner);
  ~TsuiThemeManager() override;

  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  TStringList* CompList() const { return compList_.get(); }
  void SetCompList(const TStrings* value);
  // Sets "UIStyle" and "FileTheme" of every listed component of the owner
  // (a form); names not found, or without both properties, are passed over.
  void UpdateComponents();

  TNotifyEvent OnUIStyleChanged;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TsuiUIStyle uiStyle_ = DeepBlue;
  TsuiFileTheme* fileTheme_ = nullptr;
  std::unique_ptr<TStringList> compList_;
};
