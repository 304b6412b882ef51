// File association component: reads, writes and removes the registry entries
// that tie a file extension to a description, an icon and the shell's verbs
// (open, open in a new window, edit, print, print to) under the classes
// root. With ReadOnly (the default) changes stay in the component; without
// it every change is written at once. Shell icons do not exist here, so the
// two icons stay empty.
#pragma once

#include <memory>

#include "platform/gui/graphics_objects.h"
#include "util/components/desktop_component.h"

class TIcon;

class TUtlFileAssociation : public TUtlComponent {
public:
  explicit TUtlFileAssociation(TComponent* owner);
  ~TUtlFileAssociation() override;

  const AnsiString& Extension() const { return extension_; }
  // A leading "." is added when missing; the association is read at once.
  void SetExtension(const AnsiString& value);
  const AnsiString& ExtDescription() const { return texts_[kExtDescription]; }
  void SetExtDescription(const AnsiString& v) { SetText(kExtDescription, v); }
  const AnsiString& FileDescription() const { return texts_[kFileDescription]; }
  void SetFileDescription(const AnsiString& v) { SetText(kFileDescription, v); }
  const AnsiString& IconFile() const { return texts_[kIconFile]; }
  void SetIconFile(const AnsiString& v) { SetText(kIconFile, v); }
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  TIcon* LargeIcon() const { return largeIcon_.get(); }
  TIcon* SmallIcon() const { return smallIcon_.get(); }

  // The verbs' descriptions and commands, in the verb table's order.
  enum TVerb { vbOpen, vbOpenNew, vbEdit, vbPrint, vbPrintTo, kVerbCount };
  const AnsiString& VerbCommand(TVerb verb) const { return texts_[kFirstCommand + int(verb)]; }
  void SetVerbCommand(TVerb verb, const AnsiString& v) { SetText(kFirstCommand + int(verb), v); }
  const AnsiString& VerbDescription(TVerb verb) const { return texts_[kFirstDescription + int(verb)]; }
  void SetVerbDescription(TVerb verb, const AnsiString& v) { SetText(kFirstDescription + int(verb), v); }

  // Reads the association; false when the extension is not registered (or empty).
  virtual bool Refresh();
  // Writes it; false at the first key that cannot be written.
  virtual bool Apply();
  // Removes the extension's key; true when there was none.
  virtual bool Unregister();
  virtual void Changed();

private:
  static constexpr int kExtDescription = 0, kFileDescription = 1, kIconFile = 2, kFirstCommand = 3,
                       kFirstDescription = kFirstCommand + kVerbCount, kTextCount = kFirstDescription + kVerbCount;
  void SetText(int index, const AnsiString& value);
  bool Busy() const { return InState(csLoading) || InState(csDestroying); }
  void ClearAll();
  void TakeIconFile(const AnsiString& value);

  AnsiString extension_;
  AnsiString texts_[kTextCount];
  int iconIndex_ = 0;
  bool readOnly_ = true;
  std::unique_ptr<TIcon> largeIcon_;
  std::unique_ptr<TIcon> smallIcon_;
};
