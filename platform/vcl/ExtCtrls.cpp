#include "vcl/ExtCtrls.h"

#include <algorithm>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"

namespace {
PTypeInfo BevelCutType() { return EnumTypeInfo("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}); }
PTypeInfo BevelShapeType() {
  return EnumTypeInfo("TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"});
}
PTypeInfo BevelStyleType() { return EnumTypeInfo("TBevelStyle", {"bsLowered", "bsRaised"}); }

// A one-pixel frame in two colours: top-left and bottom-right.
void Frame3D(HDC dc, TRect& r, TColor topLeft, TColor bottomRight, Integer width) {
  for (Integer i = 0; i < width; ++i) {
    HBRUSH tl = CreateSolidBrush(ColorToRGB(topLeft));
    HBRUSH br = CreateSolidBrush(ColorToRGB(bottomRight));
    RECT t{r.Left, r.Top, r.Right - 1, r.Top + 1}, l{r.Left, r.Top, r.Left + 1, r.Bottom - 1};
    RECT b{r.Left, r.Bottom - 1, r.Right, r.Bottom}, rr{r.Right - 1, r.Top, r.Right, r.Bottom};
    FillRect(dc, &t, tl);
    FillRect(dc, &l, tl);
    FillRect(dc, &b, br);
    FillRect(dc, &rr, br);
    DeleteObject(tl);
    DeleteObject(br);
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  }
}
}  // namespace

// ---- panel ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TCustomPanel) {
  p.Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, AlignmentTypeInfo()).Default(taCenter);
  p.Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, BevelCutType()).Default(bvNone);
  p.Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, BevelCutType()).Default(bvRaised);
  p.Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  p.Enum("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle, BorderStyleTypeInfo()).Default(bsNone);
  p.Bool("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint).Default(true);
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  controlStyle_ = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable};
  width_ = 185;
  height_ = 41;
  color_ = clBtnFace;
  brush_->SetColor(color_);
}

void TCustomPanel::AdjustClientRect(TRect& r) {
  TCustomControl::AdjustClientRect(r);
  Integer w = 0;
  if (borderStyle_ == bsSingle) w += 1;
  if (bevelOuter_ != bvNone) w += bevelWidth_;
  if (bevelInner_ != bvNone) w += bevelWidth_;
  r = Rect(r.Left + w, r.Top + w, r.Right - w, r.Bottom - w);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  HDC dc = c->Handle();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  if (borderStyle_ == bsSingle) Frame3D(dc, r, clWindowFrame, clWindowFrame, 1);
  if (bevelOuter_ != bvNone)
    Frame3D(dc, r, bevelOuter_ == bvLowered ? clBtnShadow : clBtnHighlight,
            bevelOuter_ == bvLowered ? clBtnHighlight : clBtnShadow, bevelWidth_);
  r = Rect(r.Left + borderWidth_, r.Top + borderWidth_, r.Right - borderWidth_, r.Bottom - borderWidth_);
  if (bevelInner_ != bvNone)
    Frame3D(dc, r, bevelInner_ == bvLowered ? clBtnShadow : clBtnHighlight,
            bevelInner_ == bvLowered ? clBtnHighlight : clBtnShadow, bevelWidth_);
  if (!text_.empty()) {
    c->Font()->Assign(font_.get());
    c->Brush()->SetStyle(bsClear);
    UINT f = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS |
             (alignment_ == taCenter ? DT_CENTER : alignment_ == taRightJustify ? DT_RIGHT : DT_LEFT);
    c->DrawText(text_, r, f);
    c->Brush()->SetStyle(bsSolid);
  }
}

// ---- image ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TImage) {
  p.Bool("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize);
  p.Bool("Center", &TImage::Center, &TImage::SetCenter);
  p.Object("Picture", &TImage::Picture, &TImage::SetPicture, TPicture::StaticClass());
  p.Bool("Proportional", &TImage::Proportional, &TImage::SetProportional);
  p.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch);
  p.Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(new TPicture) {
  controlStyle_ += csReplicatable;
  width_ = 105;
  height_ = 105;
  picture_->OnChange = [this](TObject* s) { PictureChanged(s); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetTransparent(bool v) {
  transparent_ = v;
  if (picture_->Graphic()) picture_->Graphic()->SetTransparent(v);
  Invalidate();
}

void TImage::PictureChanged(TObject*) {
  if (TGraphic* g = picture_->Graphic()) {
    if (transparent_ != g->Transparent() && !dynamic_cast<TMetafile*>(g)) g->SetTransparent(transparent_);
    if (!g->Transparent()) controlStyle_ += csOpaque;
    else controlStyle_ -= csOpaque;
  }
  AdjustSize();
  Invalidate();
}

bool TImage::CanAutoSize(Integer& w, Integer& h) {
  if (picture_->Width() <= 0 || picture_->Height() <= 0) return false;
  w = picture_->Width();
  h = picture_->Height();
  return true;
}

TCanvas* TImage::ImageCanvas() {
  TBitmap* b = picture_->Bitmap();
  if (b->Empty()) b->SetSize(width_, height_);
  return b->Canvas();
}

TRect TImage::DestRect() {
  Integer w = picture_->Width(), h = picture_->Height();
  Integer cw = width_, ch = height_;
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      double xr = double(cw) / w, yr = double(ch) / h;
      double r = std::min(xr, yr);
      w = Integer(w * r);
      h = Integer(h * r);
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r(0, 0, w, h);
  if (center_) r = Bounds((cw - w) / 2, (ch - h) / 2, w, h);
  return r;
}

void TImage::Paint() {
  TCanvas* c = Canvas();
  if (!picture_->Graphic() || picture_->Graphic()->Empty()) {
    if (ComponentState().Contains(csDesigning)) {
      c->Pen()->SetStyle(psDash);
      c->Brush()->SetStyle(bsClear);
      c->Rectangle(0, 0, width_, height_);
    }
    return;
  }
  c->StretchDraw(DestRect(), picture_->Graphic());
}

// ---- paint box and bevel -------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TPaintBox) { p.Event("OnPaint", &TPaintBox::OnPaint); }

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ += csReplicatable;
  width_ = 105;
  height_ = 105;
}

void TPaintBox::Paint() {
  Canvas()->Font()->Assign(font_.get());
  Canvas()->Brush()->SetColor(color_);
  if (OnPaint) OnPaint(this);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TBevel) {
  p.Enum("Shape", &TBevel::Shape, &TBevel::SetShape, BevelShapeType()).Default(bsBox);
  p.Enum("Style", &TBevel::Style, &TBevel::SetStyle, BevelStyleType()).Default(bsLowered);
}

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  controlStyle_ += csReplicatable;
  width_ = 50;
  height_ = 50;
}

void TBevel::Paint() {
  HDC dc = Canvas()->Handle();
  TColor a = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor b = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  TRect r = ClientRect();
  auto line = [&](TRect lr, TColor c) {
    HBRUSH br = CreateSolidBrush(ColorToRGB(c));
    FillRect(dc, &lr, br);
    DeleteObject(br);
  };
  switch (shape_) {
    case bsBox: Frame3D(dc, r, a, b, 1); break;
    case bsFrame: {
      TRect o = r;
      Frame3D(dc, o, a, b, 1);
      TRect i(r.Left + 1, r.Top + 1, r.Right, r.Bottom);
      Frame3D(dc, i, b, a, 1);
      break;
    }
    case bsTopLine: line(Rect(0, 0, r.Right, 1), a); line(Rect(0, 1, r.Right, 2), b); break;
    case bsBottomLine: line(Rect(0, r.Bottom - 2, r.Right, r.Bottom - 1), a); line(Rect(0, r.Bottom - 1, r.Right, r.Bottom), b); break;
    case bsLeftLine: line(Rect(0, 0, 1, r.Bottom), a); line(Rect(1, 0, 2, r.Bottom), b); break;
    case bsRightLine: line(Rect(r.Right - 2, 0, r.Right - 1, r.Bottom), a); line(Rect(r.Right - 1, 0, r.Right, r.Bottom), b); break;
    case bsSpacer: break;
  }
}

// ---- timer ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TTimer) {
  p.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  p.Int("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
  p.Event("OnTimer", &TTimer::OnTimer);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  window_ = AllocateHWnd([this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return WndProc(w, m, wp, lp); });
}

TTimer::~TTimer() {
  enabled_ = false;
  if (running_ && IsWindow(window_)) KillTimer(window_, 1);
  if (IsWindow(window_)) DeallocateHWnd(window_);
}

void TTimer::UpdateTimer() {
  if (!IsWindow(window_))
    window_ = AllocateHWnd([this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return WndProc(w, m, wp, lp); });
  if (running_) KillTimer(window_, 1);
  running_ = false;
  if (ComponentState().Contains(csLoading)) return;
  if (enabled_ && interval_ != 0) running_ = SetTimer(window_, 1, interval_, nullptr) != 0;
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal v) {
  if (v == interval_) return;
  interval_ = v;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  OnTimer = std::move(handler);
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::Timer() {
  if (OnTimer) OnTimer(this);
}

LRESULT TTimer::WndProc(HWND wnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER) {
    if (!running_) return 0;
    try {
      Timer();
    } catch (...) {
      HandleControlException(this);
    }
    return 0;
  }
  return DefWindowProc(wnd, msg, w, l);
}

void InitializeExtCtrls() {
  InitUnit("ExtCtrls", [] {
    InitializeStdCtrls();
    for (TClass c : {TPanel::StaticClass(), TImage::StaticClass(), TPaintBox::StaticClass(), TBevel::StaticClass(),
                     TTimer::StaticClass()})
      RegisterClass(c);
  });
}

KORVAN_IMPLEMENT_CLASS(TPanel)
