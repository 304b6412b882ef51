// TIcon: an icon graphic read from ICO data. Of the file's images the one
// closest to the standard 32 x 32 size (then the deepest) is used; icons are
// always drawn through their masks.
#pragma once

#include <vector>

#include "platform/gui/graphic.h"

class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;
  TIcon(const TIcon&) = delete;
  TIcon& operator=(const TIcon&) = delete;

  void Assign(const TPersistent* source) override;
  bool Empty() const override { return handle_ == nullptr; }
  int Width() const override;
  int Height() const override;
  // Icons keep the size of their image.
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void Draw(TCanvas* canvas, const TRect& r) override;

  HICON Handle() const { return handle_; }
  // Takes ownership of an icon handle.
  void SetHandle(HICON icon);

private:
  HICON handle_ = nullptr;
  std::string data_;  // the file as loaded, for saving it back unchanged
};
