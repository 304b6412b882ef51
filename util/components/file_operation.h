// File operation component: hands its file list to the shell file operation
// (copy, delete, move or rename) with the options as the shell's flags. A
// list with "=" in it pairs each source with its own target, which may be a
// mask completed from the source's name. Failures reach OnError as text.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/lists.h"
#include "util/components/desktop_component.h"

enum TUtlFileOperationType { fotCopy, fotDelete, fotMove, fotRename };
enum TUtlFileOperationFlag : unsigned {
  fofAllowUndo = 1 << 0,
  fofFilesOnly = 1 << 1,
  fofNoConfirmation = 1 << 2,
  fofNoConfirmMkDir = 1 << 3,
  fofNoErrorUI = 1 << 4,
  fofRenameCollision = 1 << 5,
  fofSilent = 1 << 6,
  fofSimpleProgress = 1 << 7,
};
using TUtlFileOperationFlags = unsigned;

using TUtlFileOperationEvent = std::function<void(TObject* sender, const AnsiString& text, bool& handled)>;

class TUtlFileOperation : public TUtlComponent {
public:
  explicit TUtlFileOperation(TComponent* owner);
  ~TUtlFileOperation() override;

  TStrings* FileList() const { return fileList_.get(); }
  void SetFileList(TStrings* value) { fileList_->Assign(value); }
  const AnsiString& DestFolder() const { return destFolder_; }
  void SetDestFolder(const AnsiString& value) { destFolder_ = value; }
  const AnsiString& ProgressTitle() const { return progressTitle_; }
  void SetProgressTitle(const AnsiString& value) { progressTitle_ = value; }
  TUtlFileOperationType Operation() const { return operation_; }
  void SetOperation(TUtlFileOperationType value) { operation_ = value; }
  TUtlFileOperationFlags Options() const { return options_; }
  void SetOptions(TUtlFileOperationFlags value) { options_ = value; }

  TUtlFileOperationEvent OnError;

  // True when every item succeeded (an empty list does nothing and succeeds).
  virtual bool ExecuteOperation(TUtlFileOperationType operation);
  // The system's text for an error number; empty for 0.
  virtual void GetErrorText(int code, AnsiString& text);
  // OnError's answer whether it handled the error.
  virtual bool DoError(const AnsiString& text);
  virtual bool Execute() { return ExecuteOperation(operation_); }

  // The shell's flags for the options; pairs adds the several-targets flag.
  static std::uint16_t ShellFlags(TUtlFileOperationFlags options, bool pairs);
  // The source and target lists as the shell takes them.
  void BuildLists(AnsiString& sources, AnsiString& targets, bool& pairs) const;

private:
  std::unique_ptr<TStrings> fileList_;
  AnsiString destFolder_;
  AnsiString progressTitle_;
  TUtlFileOperationType operation_ = fotCopy;
  TUtlFileOperationFlags options_ = fofAllowUndo | fofFilesOnly | fofRenameCollision;
};
