// TFindFile: lists the entries of a folder, or breadth first of a folder and
// every folder below it, that fit a name pattern and an attribute choice, as
// full paths, counting folders, files and bytes. The backup program lists its
// ZIP folder with it when it prunes old dated backups.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/rtl/components.h"
#include "platform/rtl/strings.h"

class TStrings;
class TStringList;

// Each option is its platform attribute bit, so a set is the search mask.
enum TAttrOption : std::uint8_t {
  ffReadOnly = 0x01, ffHidden = 0x02, ffSystem = 0x04, ffVolumeID = 0x08, ffDirectory = 0x10, ffArchive = 0x20
};
using TAttrOptions = std::uint8_t;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TNewPathEvent = std::function<void(TObject* sender, const AnsiString& newPath, bool& abort)>;

class TFindFile : public TComponent {
public:
  explicit TFindFile(TComponent* owner);
  ~TFindFile() override;

  const AnsiString& Directory() const { return directory_; }
  void SetDirectory(const AnsiString& value) { directory_ = value; }
  const AnsiString& Filter() const { return filter_; }
  void SetFilter(const AnsiString& value) { filter_ = value; }
  // Plain files always qualify; hidden, system, volume and folder entries only
  // with their option.
  TAttrOptions Attributes() const { return attributes_; }
  void SetAttributes(TAttrOptions value) { attributes_ = value; }
  bool Recurse() const { return recurse_; }
  void SetRecurse(bool value) { recurse_ = value; }
  TStrings* Files() const;
  void SetFiles(const TStrings* value);

  // What the last run found: entries whose attributes are exactly the folder
  // bit count as folders, all others as files; sizes are summed in 32 bits.
  std::uint32_t FolderCount() const { return folderCount_; }
  std::uint32_t FileCount() const { return fileCount_; }
  std::uint32_t TotalSize() const { return totalSize_; }

  TNotifyEvent BeforeExecute;
  TNotifyEvent AfterExecute;
  // Fired for each folder before it is searched; setting Abort ends the run.
  // The flag is not reset between runs.
  TNewPathEvent OnNewPath;

  // Replaces Files with the entries of this run: folder + PathDelim + name.
  void Execute();

private:
  void ScanFolder(AnsiString dir);
  void ScanTree(const AnsiString& dir);

  AnsiString directory_;
  AnsiString filter_ = "*.*";
  TAttrOptions attributes_ = ffReadOnly | ffHidden | ffSystem | ffArchive;
  bool recurse_ = false;
  std::unique_ptr<TStringList> files_;
  bool abort_ = false;
  std::uint32_t totalSize_ = 0;
  std::uint32_t folderCount_ = 0;
  std::uint32_t fileCount_ = 0;
};
