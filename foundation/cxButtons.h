// The push button drawn by the look-and-feel painter: face colours per state, a glyph laid
// out with the caption, hot tracking, and two drop-down kinds that open a popup menu. Also
// the button glyph and the process-wide cache of glyph image lists.
#pragma once

#include <memory>

#include "foundation/cxControls.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

class TcxCustomButton;

// Private messages of the button.
constexpr Cardinal CM_DROPDOWNPOPUPMENU = 0x812C;
constexpr Cardinal CM_CLOSEUPPOPUPMENU = 0x812D;

enum TcxButtonKind { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
using TcxButtonAssignedColors = TSet<TcxButtonState, 8>;
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Width of the arrow part of a drop-down button; the face overlaps it by 2 pixels.
constexpr Integer cxDropDownButtonWidth = 15;

// The painter class for buttons: the native painter stands in for the Office11 one when
// the button theme is available, else the standard painter.
TcxCustomLookAndFeelPainterClass ButtonPainterClass(TcxLookAndFeel* lookAndFeel);

// ---- face colours ----------------------------------------------------------------------------

class TcxButtonColors : public TPersistent {
  KORVAN_CLASS(TcxButtonColors, TPersistent)

 public:
  explicit TcxButtonColors(TcxCustomButton* button) : button_(button) {}
  void Assign(TPersistent* source) override;
  // The face colour of a state; clDefault means the painter's own colour.
  TColor ColorOf(TcxButtonState state) const;
  void SetColor(TcxButtonState index, TColor value);
  TcxButtonAssignedColors AssignedColors() const { return assigned_; }
  void SetAssignedColors(const TcxButtonAssignedColors& v);
  TColor Default() const { return colors_[cxbsDefault]; }
  TColor Normal() const { return colors_[cxbsNormal]; }
  TColor Hot() const { return colors_[cxbsHot]; }
  TColor Pressed() const { return colors_[cxbsPressed]; }
  TColor Disabled() const { return colors_[cxbsDisabled]; }
  void SetDefault(TColor v) { SetColor(cxbsDefault, v); }
  void SetNormal(TColor v) { SetColor(cxbsNormal, v); }
  void SetHot(TColor v) { SetColor(cxbsHot, v); }
  void SetPressed(TColor v) { SetColor(cxbsPressed, v); }
  void SetDisabled(TColor v) { SetColor(cxbsDisabled, v); }

 private:
  void Changed();
  TcxCustomButton* button_;
  TcxButtonAssignedColors assigned_;
  TColor colors_[5] = {clDefault, clDefault, clDefault, clDefault, clDefault};
};

// ---- glyph cache -----------------------------------------------------------------------------

class TcxGlyphList : public TImageList {
  KORVAN_CLASS(TcxGlyphList, TImageList)

 public:
  TcxGlyphList(Integer width, Integer height) : TImageList(nullptr, width, height) {}
  Integer AllocateIndex(TBitmap* image);
  Integer AddMasked(TBitmap* image, TColor maskColor);
  void Delete(Integer index);
  Integer UsedCount() const { return count_; }

 private:
  TBits used_;
  Integer count_ = 0;
};

class TcxGlyphCache : public TObject {
  KORVAN_CLASS(TcxGlyphCache, TObject)

 public:
  ~TcxGlyphCache() override;
  TcxGlyphList* GetList(Integer width, Integer height);
  void ReturnList(TcxGlyphList* list);
  bool IsEmpty() const { return lists_.empty(); }
  Integer ListCount() const { return Integer(lists_.size()); }

 private:
  std::vector<TcxGlyphList*> lists_;
};

// The process-wide cache (nil while no glyph object exists).
extern TcxGlyphCache* GlyphCache;

// ---- button glyph ----------------------------------------------------------------------------

class TcxButtonGlyph : public TObject {
  KORVAN_CLASS(TcxButtonGlyph, TObject)

 public:
  TcxButtonGlyph();
  ~TcxButtonGlyph() override;
  static TcxButtonGlyph* CreateGlyph() { return new TcxButtonGlyph(); }

  TBitmap* Glyph() const { return glyph_.get(); }
  Integer NumGlyphs() const { return numGlyphs_; }
  TcxGlyphList* GlyphList() const { return glyphList_; }
  Integer ImageIndexOfKind(Integer kind) const { return indexes_[kind]; }
  TColor TransparentColor() const { return transparentColor_; }

  void AssignGlyph(TBitmap* value);
  void ChangeNumGlyphs(Integer n);
  void ReleaseStateImages();
  void HandleBitmapChange(TObject* sender);
  Integer BuildStateImage(Integer kind);
  virtual Integer StateImageIndex(TcxButtonState state);
  virtual TRect CaptionMargins(TButtonLayout layout);
  bool WrapsCaption(bool wordWrap) const;
  void LayoutContent(TCanvas* canvas, const TRect& client, Integer shift, const String& caption, TButtonLayout layout,
                     Integer margin, Integer spacing, UINT biDiFlags, bool wordWrap, TPoint& glyphPos,
                     TRect& textBounds);
  void PaintGlyphImage(TCanvas* canvas, const TPoint& glyphPos, TcxButtonState state);
  void PaintCaption(TCanvas* canvas, const String& caption, const TRect& textBounds, TcxButtonState state,
                    UINT biDiFlags, bool wordWrap);
  void PaintContent(TCanvas* canvas, const TRect& client, Integer shift, const String& caption, TButtonLayout layout,
                    Integer margin, Integer spacing, TcxButtonState state, UINT biDiFlags, bool wordWrap);

  TNotifyEvent OnChange;

 private:
  bool IsEmptyGlyph() const { return glyph_->Width() == 0 && glyph_->Height() == 0; }
  std::unique_ptr<TBitmap> glyph_;
  TcxGlyphList* glyphList_ = nullptr;
  Integer indexes_[4] = {-1, -1, -1, -1};
  TColor transparentColor_ = clOlive;
  Integer numGlyphs_ = 1;
};

// ---- button ----------------------------------------------------------------------------------

using TcxButtonDropDownMenuPopupEvent = std::function<void(TObject* sender, TPopupMenu*& menu, bool& handled)>;
using TcxButtonGetDrawParamsEvent =
    std::function<void(TcxCustomButton* sender, TcxButtonState state, TColor& color, TFont* font)>;

class TcxCustomButton : public TButton, public IcxLookAndFeelContainer, public IcxMouseTrackingCaller {
  KORVAN_CLASS(TcxCustomButton, TButton)

 public:
  explicit TcxCustomButton(TComponent* owner);
  ~TcxCustomButton() override;

  // IcxLookAndFeelContainer / IcxMouseTrackingCaller
  TcxLookAndFeel* GetLookAndFeel() override { return lookAndFeel_.get(); }
  void MouseLeave() override;

  virtual bool RaiseDropDownMenuPopup(TPopupMenu*& menu);
  virtual bool ShowPopupMenu(TComponent* menu, Integer x, Integer y);
  virtual TcxCustomLookAndFeelPainterClass PainterClass();
  virtual bool UsesSystemPaint() { return false; }
  virtual TSize PreferredSize();

  void DropDown();
  void DrawButton();
  TRect ContentRect(TcxButtonState state);
  void ExcludeArrowPart(TRect& r);
  TPoint DropDownMenuPosition(TPopupMenu* menu);
  TPopupAlignment DropDownMenuAlignment(const TPoint& p, TPopupAlignment a);
  bool HotTrackingAllowed();
  // The state the face is drawn in now.
  TcxButtonState CurrentState();

  TcxButtonColors* Colors() const { return colors_.get(); }
  void SetColors(TcxButtonColors* v) { colors_->Assign(v); }
  TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  void SetLookAndFeel(TcxLookAndFeel* v) { lookAndFeel_->Assign(v); }
  TcxButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* v);
  Integer NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(Integer v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  Integer Margin() const { return margin_; }
  void SetMargin(Integer v);
  Integer Spacing() const { return spacing_; }
  void SetSpacing(Integer v);
  TcxButtonKind Kind() const { return kind_; }
  void SetKind(TcxButtonKind v);
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* v);
  TPopupAlignment PopupAlignment() const { return popupAlignment_; }
  void SetPopupAlignment(TPopupAlignment v) { popupAlignment_ = v; }
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* v);
  bool UseSystemPaint() const { return useSystemPaint_; }
  void SetUseSystemPaint(bool v) { useSystemPaint_ = v; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool MenuVisible() const { return menuVisible_; }
  bool MouseInControl() const { return mouseInControl_; }
  bool LockDown() const { return lockDown_; }
  TcxCanvas* cxCanvas() const { return canvas_.get(); }

  TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
  TcxButtonGetDrawParamsEvent OnGetDrawParams;

  void WndProc(TMessage& m) override;
  void Click() override;
  void CMMouseEnter(TMessage& m) override;
  void CMMouseLeave(TMessage& m) override;
  void CMEnabledChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void WMContextMenu(TMessage& m) override;
  void WMLButtonDown(TMessage& m) override;
  void WMLButtonUp(TMessage& m) override;
  void WMLButtonDblClk(TMessage& m) override;
  void WMEraseBkgnd(TMessage& m) override { m.Result = 1; }

 protected:
  void Paint() override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Notification(TComponent* c, TOperation op) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void HandleDropDownRequest();
  void HandleDropDownClosed();
  bool InArrowZone(const TPoint& p);

  bool isDown_ = false;
  bool focusedWhenDrawn_ = false;
  std::unique_ptr<TcxCanvas> canvas_;
  std::unique_ptr<TcxButtonColors> colors_;
  bool lockDown_ = false;
  TPopupMenu* dropDownMenu_ = nullptr;
  bool isMouseClick_ = false;
  TcxButtonKind kind_ = cxbkStandard;
  std::unique_ptr<TcxLookAndFeel> lookAndFeel_;
  TPopupAlignment popupAlignment_ = paLeft;
  TComponent* popupMenu_ = nullptr;
  bool useSystemPaint_ = false;
  std::unique_ptr<TcxButtonGlyph> glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  Integer margin_ = -1;
  bool menuVisible_ = false;
  bool mouseInControl_ = false;
  Integer spacing_ = 4;
  bool wordWrap_ = false;
};

class TcxButton : public TcxCustomButton {
  KORVAN_CLASS(TcxButton, TcxCustomButton)

 public:
  using TcxCustomButton::TcxCustomButton;
};

void InitializeCxButtons();
