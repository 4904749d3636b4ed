// The group box: a container control with a frame and a caption at one of thirteen places
// around (or in the middle of) the frame, vertical on the left and right sides. It is an
// editor without a value of its own, so it shares the editors' styles and painting.
#pragma once

#include "editors/cxTextEdit.h"

enum TcxCaptionAlignment {
  alTopLeft, alTopCenter, alTopRight, alBottomLeft, alBottomCenter, alBottomRight,
  alLeftTop, alLeftCenter, alLeftBottom, alRightTop, alRightCenter, alRightBottom, alCenterCenter
};

inline bool IsTopCaption(TcxCaptionAlignment a) { return a <= alTopRight; }
inline bool IsBottomCaption(TcxCaptionAlignment a) { return a >= alBottomLeft && a <= alBottomRight; }
inline bool IsLeftCaption(TcxCaptionAlignment a) { return a >= alLeftTop && a <= alLeftBottom; }
inline bool IsRightCaption(TcxCaptionAlignment a) { return a >= alRightTop && a <= alRightBottom; }
inline bool IsVerticalCaptionAlignment(TcxCaptionAlignment a) { return IsLeftCaption(a) || IsRightCaption(a); }

class TcxCustomGroupBox;

// The enumeration's type information (published Alignment properties).
struct TTypeInfo;
const TTypeInfo* TypeInfoOfCaptionAlignment();

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
  KORVAN_CLASS(TcxCustomGroupBoxProperties, TcxCustomEditProperties)

 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  TClass GetContainerClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
};

class TcxGroupBoxViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxGroupBoxViewInfo, TcxCustomTextEditViewInfo)

 public:
  TcxGroupBoxViewInfo();
  ~TcxGroupBoxViewInfo() override;
  TAlignment ButtonAlignment = taLeftJustify;
  TRect CaptionRect;
  bool IsDesigning = false;
  // The group box laid out (none for a cell).
  TcxCustomGroupBox* Edit = nullptr;
  TBitmap* CaptionBitmap() const { return captionBitmap_.get(); }

  void DrawEditor(TcxCanvas* canvas) override;
  void TranslateBy(Integer dx, Integer dy) override;

 protected:
  void DrawFrame(TcxCanvas* canvas);
  void DrawCaption(TcxCanvas* canvas);

 private:
  std::unique_ptr<TBitmap> captionBitmap_;
  std::unique_ptr<TcxCanvas> captionCanvas_;
};

class TcxGroupBoxViewData : public TcxCustomEditViewData {
  KORVAN_CLASS(TcxGroupBoxViewData, TcxCustomEditViewData)

 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  // The group box whose style the view data lays out (none for a cell).
  TcxCustomGroupBox* Edit() const;

  TcxContainerStateFlags GetContainerState(const TRect& bounds, const TPoint& p, Integer button,
                                           TShiftState shift, bool is_mouse_event) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info,
                         bool is_mouse_event) override;
  TColor EffectiveBorderColor() override;
  void GetClientExtent(TRect& extent) override;
  void CalculateEditRect(TcxCanvas* canvas, TcxCustomEditViewInfo* view_info, TRect& extent) override;
  bool HasShadow() override;
  virtual TRect CalculateCaptionRect(TcxCanvas* canvas);

 private:
  // The extent with the caption side made `grow(t)` for the caption font's "Qq" height t.
  void ExtentWithCaption(TRect& extent, Integer extra);
};

class TcxCustomGroupBox : public TcxCustomEdit {
  KORVAN_CLASS(TcxCustomGroupBox, TcxCustomEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomGroupBox(TComponent* owner)
      : TcxCustomGroupBox(owner, false, TcxCustomGroupBoxProperties::StaticClass()) {}
  TcxCustomGroupBox(TComponent* owner, bool in_place, TClass properties_class);
  ~TcxCustomGroupBox() override;

  TcxCaptionAlignment Alignment() const { return alignment_; }
  void SetAlignment(TcxCaptionAlignment v);
  bool IsVerticalCaption() const { return IsVerticalCaptionAlignment(alignment_); }
  // The style font of the current state; Arial for a vertical caption in a font that is not
  // TrueType (drawn rotated by 90 degrees on the left, 270 on the right).
  TFont* CaptionFont() const { return captionFont_.get(); }
  // The Caption, without accelerator marks when vertical.
  String DisplayCaption() const { return displayCaption_; }
  UINT CaptionDrawFlags() const { return DT_SINGLELINE | (IsVerticalCaption() ? DT_NOPREFIX : 0); }
  void UpdateCaptionFont();
  void UpdateDisplayCaption();
  bool Ctl3D();
  void SetCtl3D(bool v);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool v);
  TcxGroupBoxViewInfo* GroupViewInfo() { return dynamic_cast<TcxGroupBoxViewInfo*>(GetEditViewInfo()); }

  void ApplyStyleToControl(TObject* style) override;
  void BorderArea(TRect& r) override;
  TcxContainerStyle* CurrentStyle() override;
  bool HostsChildControls() override { return true; }
  bool CanAutoHeight() override { return false; }
  bool FocusesOnClick() override { return false; }
  bool DefaultParentColor() override { return true; }

 protected:
  void AdjustClientRect(TRect& rect) override;
  void CMTextChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void CMDialogChar(TMessage& m) override;

  TcxCaptionAlignment alignment_ = alTopLeft;
  std::unique_ptr<TFont> captionFont_;
  bool selectingFirst_ = false;
  String displayCaption_;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
};

class TcxGroupBox : public TcxCustomGroupBox {
  KORVAN_CLASS(TcxGroupBox, TcxCustomGroupBox)

 public:
  using TcxCustomGroupBox::TcxCustomGroupBox;
  // Stored and streamed; the painting does not use it.
  TColor CaptionBkColor() const { return captionBkColor_; }
  void SetCaptionBkColor(TColor v) { captionBkColor_ = v; }

 private:
  TColor captionBkColor_ = clBtnFace;
};

void InitializeCxGroupBox();
