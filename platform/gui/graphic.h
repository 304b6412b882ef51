// TGraphic: the abstract picture that TPicture holds and canvases draw
// (bitmaps and icons), with loading and saving through streams and files and
// a change notification.
#pragma once

#include "platform/gui/graphics_objects.h"

class TCanvas;
class TStream;

VX_DECLARE_EXCEPTION(EResNotFound, Exception)

class TGraphic : public TPersistent {
public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  virtual bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool value);
  virtual void LoadFromStream(TStream* stream) = 0;
  virtual void SaveToStream(TStream* stream) = 0;
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);
  // Loads the named resource of the program (instance is kept for the
  // platform's signature; there is one module).
  void LoadFromResourceName(uintptr_t instance, const AnsiString& name);

  bool Modified() const { return modified_; }
  void SetModified(bool value);
  TNotifyEvent OnChange;

  // Draws the whole graphic into r of the canvas (stretching when sizes differ).
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

protected:
  virtual void Changed();
  bool transparent_ = false;

private:
  bool modified_ = false;
};

// Reads the rest of a stream.
std::string ReadAll(TStream* stream);
