// TPicture: holds one graphic (a bitmap or an icon), creates the kind asked
// for on demand and forwards the graphic's changes.
#pragma once

#include "platform/gui/graphic.h"

class TBitmap;
class TIcon;

class TPicture : public TPersistent {
public:
  TPicture() = default;
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // Copies a picture's or a graphic's image (nullptr empties the picture).
  void Assign(const TPersistent* source) override;
  TGraphic* Graphic() const { return graphic_; }
  void SetGraphic(const TGraphic* graphic);  // copies the graphic
  // The graphic as a bitmap (an empty bitmap replaces any other kind).
  TBitmap* Bitmap();
  TIcon* Icon();
  int Width() const;
  int Height() const;
  // The kind follows the extension: ".bmp" or ".ico".
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);

  TNotifyEvent OnChange;

private:
  void Replace(TGraphic* graphic);
  void Changed();
  TGraphic* graphic_ = nullptr;
};
