// The edit view data: lays out an editor or a cell (state, border, colours, buttons, client
// rectangle) into a view info and answers size questions.
#include "editors/cxEdit.h"

#include <algorithm>

#include "editors/cxEditPaintUtils.h"
#include "foundation/cxContainer.h"
#include "foundation/dxUxTheme.h"
#include "gdi/Gdi.h"
#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomEditViewData)

namespace {

constexpr Integer kMaxCoord = 2147483647;

TRect ShrinkBy(const TRect& r, const TRect& widths) {
  return TRect(r.Left + widths.Left, r.Top + widths.Top, r.Right - widths.Right,
               r.Bottom - widths.Bottom);
}

bool IsEmptyWidths(const TRect& r) {
  return r.Left == 0 && r.Top == 0 && r.Right == 0 && r.Bottom == 0;
}

}  // namespace

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* properties,
                                             TcxCustomEditStyle* style, bool is_inplace)
    : IsInplace(is_inplace), Properties(properties), Style(style) {
  ResetEditRect();
  OverrideColor1 = clDefault;
  OverrideColor2 = clDefault;
  InitFromProperties();
}

TcxCustomEditViewData::~TcxCustomEditViewData() = default;

bool TcxCustomEditViewData::IsNativeStyle(TcxLookAndFeel* look_and_feel) {
  return look_and_feel && look_and_feel->NativeStyle() && CanPaintNatively(true, tcEdit);
}

void TcxCustomEditViewData::InitFromProperties() {
  ButtonVisibleCount = Properties->Buttons()->VisibleCount();
  EditValueFlag = Properties->EditValueSource(false) == 0;
  TcxEditAlignment* alignment = Properties->Alignment();
  HorzAlignment = alignment->Horz();
  VertAlignment = alignment->Vert();
  NativeStyle = Style && IsNativeStyle(Style->LookAndFeel());
  InitContentMetrics(ContentMetrics);
}

void TcxCustomEditViewData::GetContentOffsets(TRect& offsets) {
  offsets = IsInplace ? TRect(1, 1, 1, 1) : TRect(1, 1, 1, 3);
}

void TcxCustomEditViewData::InitContentMetrics(TcxEditContentMetrics& metrics) {
  GetContentOffsets(metrics.ContentOffsets);
  metrics.ExtraTextWidth = 3 - metrics.ContentOffsets.Left - metrics.ContentOffsets.Right;
  metrics.ExtraTextHeight = NativeStyle && IsInplace && ButtonVisibleCount > 0 ? 1 : 0;
  metrics.Offsets = TRect();
  metrics.Flags = 2;
}

void TcxCustomEditViewData::ResetEditRect() {
  InplaceEditContentOffsets = TRect();
  Enabled = true;
}

Byte TcxCustomEditViewData::PaintOptionBits() const {
  Byte bits = PaintOptions;
  if (!IsEmptyWidths(ContentMetrics.Offsets)) bits |= 4;
  if (ContentMetrics.Flags & 1) bits |= 16;
  return bits;
}

Integer TcxCustomEditViewData::AskDefaultButtonWidth(Integer index) {
  Integer width = 0;
  if (OnGetDefaultButtonWidth) OnGetDefaultButtonWidth(this, index, width);
  return width;
}

void TcxCustomEditViewData::EditValueToDisplayText(const Variant& edit_value, String& text) {
  GetClientText(edit_value, text);
  if (OnGetDisplayText) OnGetDisplayText(this, text);
}

TFont* TcxCustomEditViewData::StyleFont() {
  if (!Style) return nullptr;
  return Style->Detached() ? Style->Font() : Style->DisplayFont();
}

TcxEditButtonStyle TcxCustomEditViewData::EffectiveButtonStyle() {
  const TcxEditButtonStyle style = Style ? Style->ButtonStyle() : btsDefault;
  if (style != btsDefault) return style;
  if (IsInplace) {
    switch (Style ? Style->LookAndFeel()->Kind() : lfStandard) {
      case lfFlat: return btsFlat;
      case lfUltraFlat: return btsUltraFlat;
      case lfOffice11: return btsOffice11;
      default: return bts3D;
    }
  }
  switch (Style ? Style->BorderStyle() : ebsNone) {
    case ebsNone: return btsSimple;
    case ebsSingle: return btsHotFlat;
    case ebsFlat: return btsFlat;
    case ebsUltraFlat: return btsUltraFlat;
    case ebsOffice11: return btsOffice11;
    default: return bts3D;
  }
}

Integer TcxCustomEditViewData::CapturedButtonIndex() const {
  return Edit ? Edit->PressedButton() : CapturedButton;
}

bool TcxCustomEditViewData::IsFocusedState() const {
  return Edit ? Edit->HasFocusInside() : Focused;
}

namespace {
// The visual style's state of an edit: disabled, read-only, focused, hot, normal.
Integer NativeEditState(bool enabled, bool read_only, const TcxContainerStateFlags& state) {
  if (!enabled) return 4;
  if (read_only) return 6;
  if (state.Contains(csfFocused)) return 5;
  if (state.Contains(csfHot)) return 2;
  return 1;
}
constexpr Integer kThemeFillColorProperty = 3802;
}  // namespace

void TcxCustomEditViewData::GetColorSettings(TColor& background, TColor& text_color) {
  text_color = Style ? Style->TextColor() : clWindowText;
  background = Style ? Style->Color() : clWindow;
  // A disabled native editor without a colour of its own takes the visual style's fill.
  if (NativeStyle && !Enabled && Style && !Style->AssignedValues().Contains(svColor) &&
      !(Edit && Edit->DefaultParentColor())) {
    COLORREF fill;
    if (UxGetThemeColor(OpenThemeCached(tcEdit), 1,
                        NativeEditState(Enabled, Properties->ReadOnly(), ContainerState),
                        kThemeFillColorProperty, fill) == S_OK)
      background = TColor(fill);
  }
}

TcxContainerStateFlags TcxCustomEditViewData::GetContainerState(const TRect& bounds,
                                                                const TPoint& p, Integer button,
                                                                TShiftState shift,
                                                                bool is_mouse_event) {
  if (!Enabled) return {csfDisabled};
  TcxContainerStateFlags state;
  if (DesignMode) state = {csfNormal};
  else state = Focused ? TcxContainerStateFlags{csfFocused} : TcxContainerStateFlags{csfNormal};
  // The hot area: the editor control's own area, or a cell's bounds without the in-place
  // content offsets. A held mouse button keeps the editor hot only while it has the capture.
  TRect hot;
  if (Edit) Edit->HotTrackArea(hot);
  else hot = ShrinkBy(bounds, InplaceEditContentOffsets);
  const bool captured = Edit && Edit->HandleAllocated() && GetCapture() == Edit->Handle();
  if (hot.Contains(p) && (shift.Empty() || captured)) state += csfHot;
  return state;
}

TcxEditBorderStyle TcxCustomEditViewData::EffectiveBorderStyle() {
  if (IsInplace) return ebsNone;
  const TcxEditBorderStyle style = Style ? Style->BorderStyle() : ebsNone;
  return style == ebsUltraFlat || style == ebsOffice11 ? ebsSingle : style;
}

TColor TcxCustomEditViewData::EffectiveBorderColor() {
  const TcxEditBorderStyle style = Style ? Style->BorderStyle() : ebsNone;
  if (style != ebsUltraFlat && style != ebsOffice11) return Style ? Style->BorderColor() : clWindowFrame;
  const bool highlight = ContainerState.Contains(csfFocused) ||
                         (ContainerState.Contains(csfHot) && Style->HotTrack()) ||
                         (DesignMode && Enabled);
  return highlight ? HighlightBorderColor(style == ebsOffice11) : clBtnShadow;
}

bool TcxCustomEditViewData::HasShadow() {
  return Style && Style->Shadow() && !IsNativeStyle(Style->LookAndFeel());
}

void TcxCustomEditViewData::GetClientExtent(TRect& extent) {
  if (IsInplace) {
    extent = InplaceEditContentOffsets;
    return;
  }
  const TcxEditBorderStyle border = EffectiveBorderStyle();
  if (Style && Style->TransparentBorder()) {
    extent = TRect(2, 2, 2, 2);
  } else if (border == ebsNone) {
    extent = TRect();
  } else if (NativeStyle) {
    extent = TRect(2, 2, 2, 2);
  } else {
    const Integer w = BorderWidthOfStyle(border);
    const TcxBorders edges = Style ? Style->Edges() : cxBordersAll;
    extent = TRect(edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0,
                   edges.Contains(bRight) ? w : 0, edges.Contains(bBottom) ? w : 0);
  }
  if (HasShadow()) {
    extent.Right += cxContainerShadowWidth;
    extent.Bottom += cxContainerShadowWidth;
  }
}

void TcxCustomEditViewData::GetEditRect(TcxCanvas* canvas, TRect& extent) {
  if (IsInplace) {
    extent = InplaceEditContentOffsets;
  } else if (!NativeStyle) {
    GetClientExtent(extent);
  } else if (Style && (Style->TransparentBorder() || Style->BaseStyle()->BorderStyle() != ebsNone)) {
    extent = TRect(2, 2, 2, 2);
    if (Style->BaseStyle()->BorderStyle() != ebsNone) {
      // The margins of the visual style's edit content rectangle.
      const TRect outer(0, 0, 100, 100);
      TRect content;
      if (UxGetThemeBackgroundContentRect(OpenThemeCached(tcEdit), nullptr, 1, 1, outer, content) == S_OK)
        extent = TRect(content.Left - outer.Left, content.Top - outer.Top,
                       outer.Right - content.Right, outer.Bottom - content.Bottom);
    }
  } else {
    extent = TRect();
  }
}

void TcxCustomEditViewData::CalculateEditRect(TcxCanvas* canvas, TcxCustomEditViewInfo* vi,
                                              TRect& extent) {
  GetClientExtent(extent);
  if (Properties->ButtonsViewMode() != 0 && !vi->Buttons.empty()) {
    TRect edit;
    GetEditRect(canvas, edit);
    extent.Left = edit.Left;
    extent.Right = edit.Right;
  }
  extent.Bottom += HScrollBarHeight;
  extent.Right += VScrollBarWidth;
  for (const auto& b : vi->Buttons) {
    if (b->VisibleBounds.IsEmpty()) continue;
    if (b->LeftAlignment) extent.Left = std::max(extent.Left, b->Bounds.Right - Bounds.Left);
    else extent.Right = std::max(extent.Right, Bounds.Right - b->Bounds.Left);
  }
}

void TcxCustomEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo* button) {
  CalculateNativeButtonState(button);
}

void TcxCustomEditViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds,
                                              const TPoint& p, Integer button, TShiftState shift,
                                              TcxCustomEditViewInfo* vi, bool is_mouse_event) {
  // State; an editor control lays out with the style of its current state.
  vi->StateFlags = GetContainerState(bounds, p, button, shift, is_mouse_event);
  ActiveOrHot = vi->StateFlags.Contains(csfFocused) || vi->StateFlags.Contains(csfHot);
  if (DesignMode || !Style || !Style->HotTrack() || IsInplace) vi->HotLevel = 0;
  else vi->HotLevel = ActiveOrHot ? 2 : 1;
  if (Edit)
    if (TcxCustomEditStyle* active = Edit->GetActiveEditStyle()) Style = active;
  vi->EditBorderStyle = NativeStyle && !IsInplace && Style ? Style->BaseStyle()->BorderStyle()
                                                            : EffectiveBorderStyle();
  vi->FrameStyle = vi->EditBorderStyle;
  ContainerState = vi->StateFlags;
  vi->Properties = Properties;
  ButtonsFill = IsInplace ? bounds.Right != kMaxCoord && Properties->ButtonsViewMode() != 0
                          : Properties->ButtonsViewMode() == 1;
  Bounds = bounds;
  vi->OuterRect = bounds;
  vi->Enabled = Enabled;
  vi->Focused = Focused;
  vi->DesignMode = DesignMode;
  vi->InPlace = IsInplace;
  vi->PaintOptions = PaintOptionBits();
  vi->FrameSides = Style ? Style->Edges() : cxBordersAll;
  vi->Font = StyleFont();
  vi->HasShadow = !IsInplace && HasShadow();
  vi->LookAndFeelKind = Style ? Style->LookAndFeel()->Kind() : lfStandard;
  vi->Transparent = Properties->Transparent();
  vi->Edit = Edit;
  vi->Erase = Edit && Edit->ErasesBackground();
  vi->InnerControlVisible = Edit && Edit->InnerControl() && Edit->InnerControl()->Visible();
  vi->PaintCopy = Edit && Edit->DataBinding()->GetDefaultValuesProvider()->IsDataStorage() &&
                  Edit->ControlState().Contains(csPaintCopy);
  vi->IsInnerControl = dynamic_cast<IcxContainerInnerControl*>(Edit) != nullptr;
  // Border.
  vi->UsesTheme = NativeStyle;
  vi->ThemeState =
      NativeStyle ? NativeEditState(Enabled, Properties->ReadOnly(), vi->StateFlags) : 0;
  TRect extent;
  GetClientExtent(extent);
  vi->InteriorRect = ShrinkBy(bounds, extent);
  vi->BorderRectCopy = vi->InteriorRect;
  vi->FrameThickness = BorderWidthOfStyle(vi->EditBorderStyle);
  vi->HasInplaceContentOffsets = !IsEmptyWidths(InplaceEditContentOffsets);
  if (!IsInplace) vi->FrameColor = EffectiveBorderColor();
  TColor background, text_color;
  GetColorSettings(background, text_color);
  vi->TextColor = text_color;
  vi->SetFillColor(background);
  // Buttons, with only the mouse part of the shift state.
  CalculateButtonsViewInfo(canvas, bounds, p, button,
                           shift * TShiftState{ssLeft, ssRight, ssMiddle, ssDouble}, vi,
                           is_mouse_event);
  TRect edit;
  CalculateEditRect(canvas, vi, edit);
  vi->ClientArea = ShrinkBy(bounds, edit);
  vi->InnerRect = vi->ClientArea;
  // Popup border style.
  TcxEditPopupBorderStyle popup = Style ? Style->PopupBorderStyle() : epbsDefault;
  if (popup == epbsDefault) {
    if (IsInplace) {
      switch (vi->LookAndFeelKind) {
        case lfFlat: popup = epbsFlat; break;
        case lfStandard: popup = epbsFrame3D; break;
        default: popup = epbsSingle; break;
      }
    } else {
      popup = vi->EditBorderStyle == ebsNone || vi->EditBorderStyle == ebsFlat ? epbsFlat
                                                                                : epbsSingle;
    }
  }
  vi->PopupBorderStyle = popup;
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const TRect& bounds,
                                                     const TPoint& p, Integer button,
                                                     TShiftState shift, TcxCustomEditViewInfo* vi,
                                                     bool is_mouse_event) {
  const TcxEditButtonTransparency transparency = Style ? Style->ButtonTransparency() : ebtNone;
  const bool focused = ContainerState.Contains(csfFocused);
  const bool hot = ContainerState.Contains(csfHot);
  if (ButtonVisibleCount == 0 || (transparency == ebtHideInactive && !focused) ||
      (transparency == ebtHideUnselected && !focused && !hot)) {
    vi->SetButtonCount(0);
    return;
  }
  vi->SetButtonCount(ButtonVisibleCount);
  vi->ButtonPressed = false;
  if (is_mouse_event) PreviousPressedButton = vi->PressedButton;
  vi->PressedButton = -1;
  vi->HotButton = -1;
  LeftSideLeftmostIndex = LeftSideRightmostIndex = -1;
  RightSideLeftmostIndex = RightSideRightmostIndex = -1;
  // Layout from the last button to the first: the last lies outermost.
  TRect edit;
  GetEditRect(canvas, edit);
  TRect r = ShrinkBy(bounds, edit);
  TcxEditButtons* buttons = Properties->Buttons();
  bool font_prepared = false;
  Integer vi_index = ButtonVisibleCount;
  for (Integer i = buttons->Count() - 1; i >= 0; --i) {
    TcxEditButton* b = buttons->GetButton(i);
    if (!b->Visible()) continue;
    --vi_index;
    if (b->Kind() == bkText && !font_prepared && canvas) {
      if (TFont* font = StyleFont()) canvas->ApplyFont(font);
      vi->PrepareCanvasFont(canvas);
      font_prepared = true;
    }
    TcxEditButtonViewInfo* bvi = vi->Buttons[size_t(vi_index)].get();
    bvi->Index = i;
    bvi->Style = EffectiveButtonStyle();
    CalculateButtonViewInfo(canvas, vi, vi_index, r);
  }
  // Stretching: the buttons share what is left of the width.
  const Integer left_over = r.Width();
  if (ButtonsFill && left_over > 0) {
    std::vector<Integer> widths(vi->Buttons.size());
    bool any_stretchable = false;
    for (const auto& b : vi->Buttons) any_stretchable |= b->Stretchable;
    Integer total = 0;
    for (size_t k = 0; k < vi->Buttons.size(); ++k) {
      widths[k] = vi->Buttons[k]->VisibleBounds.Width();
      if (!any_stretchable || vi->Buttons[k]->Stretchable) total += widths[k];
    }
    Integer rest = left_over;
    Integer last_served = -1;
    for (Integer k = Integer(vi->Buttons.size()) - 1; k >= 0; --k)
      if (!any_stretchable || vi->Buttons[size_t(k)]->Stretchable) last_served = k;
    for (Integer k = Integer(vi->Buttons.size()) - 1; k >= 0; --k) {
      auto& b = vi->Buttons[size_t(k)];
      if (any_stretchable && !b->Stretchable) continue;
      const Integer extra =
          k == last_served ? rest : (total > 0 ? left_over * widths[size_t(k)] / total : 0);
      widths[size_t(k)] += extra;
      rest -= extra;
    }
    // Place again from the outside in.
    Integer left = ShrinkBy(bounds, edit).Left, right = ShrinkBy(bounds, edit).Right;
    for (Integer k = Integer(vi->Buttons.size()) - 1; k >= 0; --k) {
      auto& b = vi->Buttons[size_t(k)];
      const Integer w = widths[size_t(k)];
      if (b->LeftAlignment) {
        b->Bounds = TRect(left, b->Bounds.Top, left + w, b->Bounds.Bottom);
        left += w;
      } else {
        b->Bounds = TRect(right - w, b->Bounds.Top, right, b->Bounds.Bottom);
        right -= w;
      }
      b->VisibleBounds = b->Bounds;
    }
  }
  // State pass.
  for (Integer k = 0; k < Integer(vi->Buttons.size()); ++k) {
    TcxEditButtonViewInfo* bvi = vi->Buttons[size_t(k)].get();
    TcxEditButton* b = buttons->GetButton(bvi->Index);
    const bool forced = IsButtonForcedPressed(vi, k);
    TcxEditButtonState state;
    if (!Enabled || !b->Enabled()) {
      state = ebsDisabled;
    } else if (!forced && (DesignMode || !bvi->VisibleBounds.Contains(p))) {
      state = ebsNormal;
    } else {
      const TcxEditButtonState current = bvi->State;
      const bool left_only = shift == TShiftState{ssLeft} || shift == TShiftState{ssLeft, ssDouble};
      const bool rearm = button == 0 && shift.Contains(ssLeft) && current == ebsNormal &&
                         k == CapturedButtonIndex();
      const bool click = button == 1 && left_only;
      const bool held = current == ebsPressed && shift.Contains(ssLeft);
      if (forced || click || held || rearm) vi->ButtonPressed = true;
      if (forced || !shift.Empty() || rearm) {
        const bool pressed =
            forced || (rearm && CanPressButton(vi, k)) ||
            (left_only && ((button == 1 && CanPressButton(vi, k)) || k == PreviousPressedButton)) ||
            held;
        state = pressed ? ebsPressed : ebsNormal;
        if (pressed) vi->PressedButton = k;
      } else {
        state = ebsSelected;
        vi->HotButton = k;
      }
    }
    vi->DoGetButtonState(k, state);
    bvi->State = state;
    CalculateButtonNativeInfo(bvi);
  }
  // Edge pass.
  for (auto& b : vi->Buttons) b->Leftmost = b->Rightmost = false;
  auto mark = [&](Integer index, bool leftmost) {
    if (index < 0 || index >= Integer(vi->Buttons.size())) return;
    if (leftmost) vi->Buttons[size_t(index)]->Leftmost = true;
    else vi->Buttons[size_t(index)]->Rightmost = true;
  };
  mark(LeftSideLeftmostIndex, true);
  if (!ButtonsFill || LeftSideRightmostIndex < 0) mark(RightSideLeftmostIndex, true);
  if (!ButtonsFill || RightSideLeftmostIndex < 0) mark(LeftSideRightmostIndex, false);
  mark(RightSideRightmostIndex, false);
  if (ButtonsFill)
    for (auto& b : vi->Buttons) b->LeftAlignment = false;
}

void TcxCustomEditViewData::CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* vi,
                                                    Integer index, TRect& r) {
  TcxEditButtonViewInfo* bvi = vi->Buttons[size_t(index)].get();
  TcxEditButton* b = Properties->Buttons()->GetButton(bvi->Index);
  bvi->Kind = b->Kind();
  bvi->ComboLook = ButtonVisibleCount == 1 && b->Kind() == bkDown;
  if (b->Kind() == bkText) {
    bvi->Caption = b->Caption();
    bvi->TextColor = b->TextColor();
    bvi->VisibleCaption = b->VisibleCaption();
  }
  bvi->ContentAlignment = b->ContentAlignment();
  bvi->Default = b->Default();
  bvi->Glyph = b->HasGlyph() ? b->Glyph() : nullptr;
  bvi->Gradient = Style && Style->GradientButtons();
  bvi->InPlace = IsInplace;
  bvi->LeftAlignment = b->LeftAlignment();
  bvi->Leftmost = bvi->Rightmost = false;
  bvi->NativeStyle = NativeStyle;
  bvi->Stretchable = b->Stretchable();
  bvi->Width = b->Width() > 0 ? b->Width() : AskDefaultButtonWidth(bvi->Index);
  const TcxEditButtonTransparency transparency = Style ? Style->ButtonTransparency() : ebtNone;
  bvi->Transparent = transparency == ebtAlways ||
                     (transparency == ebtInactive && !ContainerState.Contains(csfFocused) &&
                      !ContainerState.Contains(csfHot));
  bvi->BackgroundColor = vi->FillColor;
  bvi->HasBackground = vi->Erase;
  CalculateButtonBounds(canvas, vi, index, r);
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* vi,
                                                  Integer index, TRect& r) {
  TcxEditButtonViewInfo* bvi = vi->Buttons[size_t(index)].get();
  if (r.IsEmpty()) {
    bvi->Bounds = bvi->VisibleBounds = TRect();
    return;
  }
  const Integer width = EditButtonWidth(canvas, bvi);
  const Integer visible = std::min(width, r.Width());
  if (bvi->LeftAlignment) {
    bvi->Bounds = TRect(r.Left, r.Top, r.Left + width, r.Bottom);
    bvi->VisibleBounds = TRect(r.Left, r.Top, r.Left + visible, r.Bottom);
    r.Left += visible;
    if (LeftSideLeftmostIndex < 0) LeftSideLeftmostIndex = index;
    LeftSideRightmostIndex = index;
  } else {
    bvi->Bounds = TRect(r.Right - width, r.Top, r.Right, r.Bottom);
    bvi->VisibleBounds = TRect(r.Right - visible, r.Top, r.Right, r.Bottom);
    r.Right -= visible;
    if (RightSideRightmostIndex < 0) RightSideRightmostIndex = index;
    RightSideLeftmostIndex = index;
  }
}

void TcxCustomEditViewData::GetEditSize(TcxCanvas* canvas, bool, const TcxEditSizeProperties&,
                                        TSize& min_content_size, TcxCustomEditViewInfo* vi,
                                        TSize& size) {
  const TRect& b = vi->OuterRect;
  const TRect& c = vi->ClientArea;
  size = TSize((c.Left - b.Left) + (b.Right - c.Right), (c.Top - b.Top) + (b.Bottom - c.Bottom));
  Integer height = 0;
  for (const auto& bvi : vi->Buttons) {
    if (bvi->Kind == bkGlyph && IsGlyphAssigned(bvi->Glyph)) height = std::max(height, bvi->Glyph->Height());
    if (IsInplace && bvi->Kind == bkText && !bvi->VisibleCaption.empty() && canvas) {
      if (TFont* font = StyleFont()) canvas->ApplyFont(font);
      vi->PrepareCanvasFont(canvas);
      height = std::max(height, canvas->MeasureTextHeight(bvi->VisibleCaption));
    }
  }
  min_content_size = TSize(0, 0);
  if (height > 0) {
    TRect edit;
    GetEditRect(canvas, edit);
    height += edit.Top + edit.Bottom +
              ButtonContentVerticalOffset(canvas, EffectiveButtonStyle(), NativeStyle) - size.cy;
    min_content_size.cy = std::max<Integer>(0, height);
  }
}

void TcxCustomEditViewData::CalculateEditSizeForValue(TcxCanvas* canvas,
                                                      const TcxEditSizeProperties& request,
                                                      TSize& min_content_size,
                                                      TcxCustomEditViewInfo* view_info,
                                                      TSize& size) {
  std::unique_ptr<TcxCustomEditViewInfo> own;
  if (!view_info) {
    own.reset(Properties->CreateViewInfo());
    CalculateViewInfo(canvas, TRect(0, 0, kMaxCoord, kMaxCoord), TPoint(-1, -1), 0, {}, own.get(),
                      false);
    view_info = own.get();
  }
  GetEditSize(canvas, IsInplace, request, min_content_size, view_info, size);
}

void TcxCustomEditViewData::GetBorderSizes(TSize& size) {
  const TRect& o = ContentMetrics.ContentOffsets;
  size = TSize(o.Left + o.Right + ContentMetrics.ExtraTextWidth,
               o.Top + o.Bottom + ContentMetrics.ExtraTextHeight);
}

void TcxCustomEditViewData::MeasureContent(TcxCanvas* canvas, const Variant& edit_value,
                                           const TcxEditSizeProperties& request, TSize& size) {
  if (Properties->ButtonsViewMode() != 0) {
    TSize borders;
    GetBorderSizes(borders);
    Integer text_height = 0;
    if (canvas) {
      if (TFont* font = StyleFont()) canvas->ApplyFont(font);
      text_height = canvas->MeasureTextHeight("Zg");
    }
    size = TSize(0, text_height + borders.cy);
    return;
  }
  GetEditContentSize(canvas, edit_value, request, size);
}

void MeasureEditValueExtent(TcxCustomEditViewData* view_data, TcxCanvas* canvas,
                            const Variant& edit_value, const TcxEditSizeProperties& request,
                            TcxCustomEditViewInfo* view_info, TSize& size) {
  TSize min_content;
  view_data->CalculateEditSizeForValue(canvas, request, min_content, view_info, size);
  TcxEditSizeProperties content_request = request;
  const bool limited = request.Width >= 0;
  if (limited) content_request.Width = std::max<Integer>(0, request.Width - size.cx);
  TSize content;
  view_data->MeasureContent(canvas, edit_value, content_request, content);
  EnlargeSize(content, min_content);
  if (limited && size.cx > request.Width) size.cx = request.Width;
  else size.cx += content.cx;
  size.cy += content.cy;
  // A standalone editor control's size obeys its constraints.
  if (view_data->Edit && !view_data->IsInplace) {
    TSizeConstraints* c = view_data->Edit->Constraints();
    if (c->MaxHeight() > 0) size.cy = std::min(size.cy, c->MaxHeight());
    if (c->MinHeight() > 0) size.cy = std::max(size.cy, c->MinHeight());
    if (c->MaxWidth() > 0) size.cx = std::min(size.cx, c->MaxWidth());
    if (c->MinWidth() > 0) size.cx = std::max(size.cx, c->MinWidth());
  }
}
