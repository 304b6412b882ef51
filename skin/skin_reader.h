// Skin files (".ssk"): a ZIP-style container starting with "SK" that holds one
// member, "SKINDATA.SK2", always Deflate-compressed and optionally encrypted
// with the traditional ZIP cipher. ExtractSkinMember writes the member to a
// file; Tsk2SkinFileReader extracts it to a temporary file, reads its records
// into four name-keyed lists and deletes the file again.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/rtl/strings.h"

class TBitmap;

// ExtractSkinMember results.
enum : int { kSkinExtracted = 0, kSkinExtractFailed = 1, kSkinBadPassword = 2 };

// 0 extracted; 1 failed (no such file, not a skin container, member not
// found, damaged directory); 2 password missing or wrong, or the extracted
// size differs from the directory's. DestFileName exists only on 0.
int ExtractSkinMember(const AnsiString& archiveName, const AnsiString& memberName, const AnsiString& destFileName,
                      const AnsiString& password);

class Tsk2SkinFileReader {
public:
  // Loads at once; a wrong or missing password leaves the reader not ready,
  // any other failure raises Exception "Failed to read skin file!".
  Tsk2SkinFileReader(const AnsiString& fileName, const AnsiString& password);
  ~Tsk2SkinFileReader();
  Tsk2SkinFileReader(const Tsk2SkinFileReader&) = delete;
  Tsk2SkinFileReader& operator=(const Tsk2SkinFileReader&) = delete;

  void LoadFromFile(const AnsiString& fileName, const AnsiString& password);
  bool Ready() const { return ready_; }

  // Lookups ignore ASCII letter case; the first record of a name counts.
  // The bitmap stays owned by the reader; nullptr when absent.
  TBitmap* GetBitmap(const AnsiString& name) const;
  // -1 when absent.
  int32_t GetInteger(const AnsiString& name) const;
  // False when absent.
  bool GetBool(const AnsiString& name) const;

private:
  void Clear();
  std::vector<std::pair<AnsiString, std::unique_ptr<TBitmap>>> bitmaps_;
  std::vector<std::pair<AnsiString, int32_t>> integers_;
  std::vector<std::pair<AnsiString, bool>> booleans_;
  std::vector<std::pair<AnsiString, AnsiString>> strings_;
  bool ready_ = false;
};

// A name for a temporary file in the system's temporary folder: a new GUID in
// its text form ("{...}") followed by extension.
AnsiString NewTempGuidName(const AnsiString& extension);
