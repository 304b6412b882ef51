// TsuiImagePanel: a panel that shows a picture (once, stretched or tiled)
// with an optional one-line caption, optionally over its parent's background.
// The program's main window lays out its areas with these panels.
#pragma once

#include <memory>

#include "platform/gui/std_controls.h"

class TPicture;

enum TsuiDrawStyle : uint8_t { suiNormal = 0, suiStretch = 1, suiTile = 2 };

class TsuiCustomPanel : public TCustomPanel {
public:
  explicit TsuiCustomPanel(TComponent* owner);
  ~TsuiCustomPanel() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* value);
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TsuiDrawStyle DrawStyle() const { return drawStyle_; }
  void SetDrawStyle(TsuiDrawStyle value);
  // Where the caption went in the last drawing.
  const TRect& CaptionRect() const { return captionRect_; }

protected:
  void WndProc(TMessage& message) override;
  void Paint() override;
  virtual void UpdateBackground();
  virtual void CaptionRectChanged(const TRect&) {}
  virtual void PictureChanged();

private:
  bool HasGraphic() const;
  void ApplyAutoSize();
  std::unique_ptr<TPicture> picture_;
  bool transparent_ = false, autoSize_ = false;
  TsuiDrawStyle drawStyle_ = suiNormal;
  TRect captionRect_;
};

class TsuiImagePanel : public TsuiCustomPanel {
public:
  using TsuiCustomPanel::TsuiCustomPanel;
};
