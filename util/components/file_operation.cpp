// File operation component: the lists and flags for the shell file operation
// and its errors as text.
#include "util/components/file_operation.h"

#include <system_error>

#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "util/routines/shell_file_operation.h"
#include "util/routines/text_slicing.h"

namespace {
constexpr int kNoMoreFiles = 18;  // the shell's "nothing more to do": no error
constexpr UINT kShellOperation[] = {FO_COPY, FO_DELETE, FO_MOVE, FO_RENAME};
constexpr std::uint16_t kShellFlag[] = {FOF_ALLOWUNDO,   FOF_FILESONLY,        FOF_NOCONFIRMATION,
                                        FOF_NOCONFIRMMKDIR, FOF_NOERRORUI, FOF_RENAMEONCOLLISION,
                                        FOF_SILENT,      FOF_SIMPLEPROGRESS};

void AddEntry(AnsiString& list, const AnsiString& entry) {
  if (!entry.empty()) list += entry + '\0';
}
}  // namespace

TUtlFileOperation::TUtlFileOperation(TComponent* owner)
    : TUtlComponent(owner), fileList_(std::make_unique<TStringList>()) {}

TUtlFileOperation::~TUtlFileOperation() = default;

std::uint16_t TUtlFileOperation::ShellFlags(TUtlFileOperationFlags options, bool pairs) {
  std::uint16_t flags = pairs ? FOF_MULTIDESTFILES : 0;
  for (unsigned bit = 0; bit < std::size(kShellFlag); ++bit)
    if (options & (1u << bit)) flags |= kShellFlag[bit];
  return flags;
}

void TUtlFileOperation::BuildLists(AnsiString& sources, AnsiString& targets, bool& pairs) const {
  sources.clear();
  targets.clear();
  pairs = fileList_->Text().find('=') != AnsiString::npos;
  for (int i = 0; i < fileList_->Count(); ++i) {
    const AnsiString& line = fileList_->Strings(i);
    const size_t eq = line.find('=');
    const AnsiString source = line.substr(0, eq);
    AddEntry(sources, source);
    if (pairs && !source.empty()) {
      const AnsiString target = eq == AnsiString::npos ? AnsiString() : line.substr(eq + 1);
      AddEntry(targets, UtlMergeFileName(source, UtlExpandPath(destFolder_, target)));
    }
  }
  if (!pairs) AddEntry(targets, destFolder_);
}

bool TUtlFileOperation::ExecuteOperation(TUtlFileOperationType operation) {
  if (fileList_->Count() == 0) return true;
  AnsiString sources, targets;
  bool pairs = false;
  BuildLists(sources, targets, pairs);
  auto* control = dynamic_cast<TWinControl*>(Owner());
  SHFILEOPSTRUCTA op{control && control->HandleAllocated() ? control->Handle() : 0,
                     kShellOperation[operation],
                     sources.c_str(),
                     targets.c_str(),
                     ShellFlags(options_, pairs),
                     0,
                     nullptr,
                     progressTitle_.c_str()};
  const int result = SHFileOperationA(&op);
  if (result != 0 && result != kNoMoreFiles) {
    AnsiString text;
    GetErrorText(result, text);
    DoError(text);
  }
  return result == 0;
}

void TUtlFileOperation::GetErrorText(int code, AnsiString& text) {
  text = code == 0 ? AnsiString() : Utf8ToAnsi(std::system_category().message(code));
}

bool TUtlFileOperation::DoError(const AnsiString& text) {
  bool handled = false;
  if (OnError) OnError(this, text, handled);
  return handled;
}
