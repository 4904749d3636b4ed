// Panels, images, paint boxes, bevels and timers.
#pragma once

#include <memory>

#include "vcl/StdCtrls.h"

class TCustomPanel : public TCustomControl {
  KORVAN_CLASS(TCustomPanel, TCustomControl)

 public:
  explicit TCustomPanel(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; Invalidate(); }
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v) { bevelInner_ = v; Realign(); Invalidate(); }
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v) { bevelOuter_ = v; Realign(); Invalidate(); }
  TBevelWidth BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(TBevelWidth v) { bevelWidth_ = v; Realign(); Invalidate(); }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v) { borderStyle_ = v; Realign(); Invalidate(); }
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool v) { fullRepaint_ = v; }

 protected:
  void Paint() override;
  void AdjustClientRect(TRect& r) override;
  TColor DefaultColor() const override { return clBtnFace; }

  TAlignment alignment_ = taCenter;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelWidth bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
  KORVAN_CLASS(TPanel, TCustomPanel)

 public:
  using TCustomPanel::TCustomPanel;
};

// Shows a picture: at its size, centred, stretched or fitted keeping its proportions.
class TImage : public TGraphicControl {
  KORVAN_CLASS(TImage, TGraphicControl)

 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v) { stretch_ = v; Invalidate(); }
  bool Center() const { return center_; }
  void SetCenter(bool v) { center_ = v; Invalidate(); }
  bool Proportional() const { return proportional_; }
  void SetProportional(bool v) { proportional_ = v; Invalidate(); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  // The canvas of the picture's bitmap (made when the picture is empty).
  TCanvas* ImageCanvas();
  // Where the picture is drawn in the client area.
  TRect DestRect();

 protected:
  void Paint() override;
  bool CanAutoSize(Integer& w, Integer& h) override;
  void PictureChanged(TObject* sender);
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false, center_ = false, proportional_ = false, transparent_ = false;
};

class TPaintBox : public TGraphicControl {
  KORVAN_CLASS(TPaintBox, TGraphicControl)

 public:
  explicit TPaintBox(TComponent* owner);
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
  KORVAN_CLASS(TBevel, TGraphicControl)

 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v) { shape_ = v; Invalidate(); }
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v) { style_ = v; Invalidate(); }

 protected:
  void Paint() override;
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// Fires OnTimer every Interval milliseconds while Enabled (a handler may be assigned at any
// time; a timer without one ticks silently).
class TTimer : public TComponent {
  KORVAN_CLASS(TTimer, TComponent)

 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  Cardinal Interval() const { return interval_; }
  void SetInterval(Cardinal v);
  TNotifyEvent OnTimer;
  // Assigning the handler through this setter starts or stops the timer at once.
  void SetOnTimer(TNotifyEvent handler);

 protected:
  void Loaded() override;
  virtual void Timer();

 private:
  void UpdateTimer();
  LRESULT WndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l);
  bool enabled_ = true;
  Cardinal interval_ = 1000;
  HWND window_ = nullptr;
  bool running_ = false;
};

void InitializeExtCtrls();
