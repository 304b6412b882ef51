// File association: the keys below the classes root as the shell reads them:
// .ext -> description; description\DefaultIcon = "file,index";
// description\shell\<verb> = the verb's text, \command = its command line.
#include "util/components/file_association.h"

#include "platform/gui/dialogs.h"
#include "platform/gui/icon.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "util/routines/registry_file_store.h"
#include "util/routines/registry_readers.h"
#include "util/routines/registry_writing.h"

namespace {
constexpr const char* kVerbKey[] = {"shell\\open", "shell\\opennew", "shell\\edit", "shell\\print", "shell\\printto"};
constexpr char SReadOnlyWarning[] = "Cannot change the property in Read-Only mode.";
constexpr char SCannotWrite[] = "Cannot write to registry.";

bool KeyExists(const AnsiString& key) { return FileRegistryStore().KeyExists(rkClassesRoot, AnsiToWide(key)); }

AnsiString DefaultValue(const AnsiString& key) { return ReadRegistryTextOr(rkClassesRoot, key, "", ""); }

AnsiString WithDot(const AnsiString& ext) { return !ext.empty() && ext[0] != '.' ? "." + ext : ext; }
}  // namespace

TUtlFileAssociation::TUtlFileAssociation(TComponent* owner)
    : TUtlComponent(owner), largeIcon_(std::make_unique<TIcon>()), smallIcon_(std::make_unique<TIcon>()) {}

TUtlFileAssociation::~TUtlFileAssociation() = default;

void TUtlFileAssociation::SetExtension(const AnsiString& value) {
  if (value == extension_) return;
  extension_ = WithDot(value);
  Refresh();
}

void TUtlFileAssociation::SetText(int index, const AnsiString& value) {
  if (texts_[index] == value) return;
  texts_[index] = value;
  Changed();
}

void TUtlFileAssociation::SetIconIndex(int value) {
  if (iconIndex_ == value) return;
  iconIndex_ = value;
  Changed();
}

void TUtlFileAssociation::Changed() {
  if (Busy()) return;
  if (InState(csDesigning)) {
    if (readOnly_)
      MessageBox(0, SReadOnlyWarning, "Warning", MB_ICONWARNING | MB_OK);
    else if (!Apply())
      MessageBox(0, SCannotWrite, "Error", MB_ICONERROR | MB_OK);
    return;
  }
  // Read-only protects the registry: the change stays in the component.
  if (readOnly_) return;
  try {
    Apply();
  } catch (const Exception&) {
    // A change that cannot be written leaves the registry as it was.
  }
}

void TUtlFileAssociation::ClearAll() {
  for (AnsiString& t : texts_) t.clear();
  iconIndex_ = 0;
  largeIcon_ = std::make_unique<TIcon>();
  smallIcon_ = std::make_unique<TIcon>();
}

// "file,index" (or "file,index,more"): the index is taken off when it is a number.
void TUtlFileAssociation::TakeIconFile(const AnsiString& value) {
  texts_[kIconFile] = value;
  const size_t last = value.rfind(',');
  if (last == AnsiString::npos) return;
  const size_t before = last == 0 ? AnsiString::npos : value.rfind(',', last - 1);
  const size_t chosen = before != AnsiString::npos ? before : last;
  const size_t end = before != AnsiString::npos ? last : value.size();
  int index = 0;
  if (TryStrToInt(value.substr(chosen + 1, end - chosen - 1), index)) {
    iconIndex_ = index;
    texts_[kIconFile] = value.substr(0, chosen);
  } else if (before != AnsiString::npos) {
    texts_[kIconFile] = value.substr(0, last);
  }
}

bool TUtlFileAssociation::Refresh() {
  if (Busy()) return false;
  ClearAll();
  if (extension_.empty() || extension_ == ".") return false;
  if (!KeyExists(extension_)) return false;
  texts_[kExtDescription] = DefaultValue(extension_);
  const AnsiString& description = texts_[kExtDescription];
  if (description.empty() || !KeyExists(description)) return false;
  const AnsiString base = description + "\\";
  texts_[kFileDescription] = DefaultValue(description);
  TakeIconFile(DefaultValue(base + "DefaultIcon"));
  for (int v = 0; v < kVerbCount; ++v) {
    texts_[kFirstDescription + v] = DefaultValue(base + kVerbKey[v]);
    texts_[kFirstCommand + v] = DefaultValue(base + kVerbKey[v] + "\\command");
  }
  return true;
}

bool TUtlFileAssociation::Apply() {
  if (Busy() || extension_.empty()) return false;
  extension_ = WithDot(extension_);
  if (texts_[kExtDescription].empty()) texts_[kExtDescription] = extension_.substr(1) + "file";
  const AnsiString& description = texts_[kExtDescription];
  try {
    UtlWriteRegistryText(rkClassesRoot, extension_, "", description);
    UtlWriteRegistryText(rkClassesRoot, description, "", texts_[kFileDescription]);
    if (!texts_[kIconFile].empty())
      UtlWriteRegistryText(rkClassesRoot, description + "\\DefaultIcon", "",
                           texts_[kIconFile] + "," + IntToStr(iconIndex_));
    for (int v = 0; v < kVerbCount; ++v) {
      if (texts_[kFirstCommand + v].empty()) continue;
      const AnsiString verb = description + "\\" + kVerbKey[v];
      UtlWriteRegistryText(rkClassesRoot, verb, "", texts_[kFirstDescription + v]);
      UtlWriteRegistryText(rkClassesRoot, verb + "\\command", "", texts_[kFirstCommand + v]);
    }
  } catch (const Exception&) {
    return false;
  }
  return true;
}

bool TUtlFileAssociation::Unregister() {
  if (Busy()) return false;
  extension_ = WithDot(extension_);
  if (!KeyExists(extension_)) return true;
  const bool removed = FileRegistryStore().DeleteKey(rkClassesRoot, AnsiToWide(extension_));
  Refresh();
  return removed;
}
