// The common ground of the gzip and bzip2 archives: a compressed file that
// holds either one plain entry or a whole tar stream. In tar mode the tar
// stream is kept decompressed in a scratch stream and the tar archive works
// on it; the compressed file is rewritten from it on save.
#pragma once

#include <memory>

#include "archive/ab_tar.h"
#include "archive/ab_vmstream.h"

class TAbCompressedTarArchive : public TAbTarArchive {
public:
  TAbCompressedTarArchive(const AnsiString& fileName, uint16_t mode);
  TAbCompressedTarArchive(TStream* stream, const AnsiString& archiveName);

  bool GetSupportsEmptyFolders() const override { return TarMode(); }
  // A compressed file is never spanned; the request is simply not aborted.
  void DoSpanningMediaRequest(TObject* sender, int32_t imageNumber, AnsiString& imageName, bool& abort) override;

  // Work on the tar entries inside; both must be set for tar mode. They take
  // effect at the next Load, which lists the entries of that mode, so the
  // item list never holds entries of the other kind.
  bool OpenInnerTar() const { return openInnerTar_; }
  void SetOpenInnerTar(bool value) { openInnerTar_ = value; }
  bool IsCompressedTar() const { return isCompressedTar_; }
  void SetIsCompressedTar(bool value) { isCompressedTar_ = value; }
  // The mode of the entries listed now.
  bool TarMode() const { return tarMode_; }

protected:
  // Starts a load: empties the list and the tar stream and takes the mode.
  void BeginLoad();
  TStream* TarStream() override { return tarStream_.get(); }
  void ReplaceTarStream(TStream& work) override;
  // Reports Item as not added, named, because the plain file already holds
  // one: a second would be lost inside it under the first one's name.
  void RefuseSecondFile(TAbArchiveItem& item, TStream& work);
  // A fresh scratch stream with its swap file in the archive's temp folder.
  std::unique_ptr<TAbVirtualMemoryStream> NewWorkStream() const;

  std::unique_ptr<TAbVirtualMemoryStream> tarStream_;

private:
  bool openInnerTar_ = false;
  bool isCompressedTar_ = false;
  bool tarMode_ = false;
};
