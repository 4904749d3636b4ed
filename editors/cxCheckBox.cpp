// The check box kind: properties, the check-square routines, the view data and view info, and
// the control with its keyboard, mouse and action link.
#include "editors/cxCheckBox.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/cxContainer.h"
#include "foundation/dxThemeConsts.h"
#include "foundation/dxThemeManager.h"
#include "foundation/dxUxTheme.h"
#include "gdi/Gdi.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"

KORVAN_IMPLEMENT_CLASS(TcxCustomCheckBoxProperties)
KORVAN_IMPLEMENT_CLASS(TcxCheckBoxStyle)
KORVAN_IMPLEMENT_CLASS(TcxCustomCheckBoxViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomCheckBoxViewData)
KORVAN_IMPLEMENT_CLASS(TcxCheckBoxActionLink)
KORVAN_IMPLEMENT_CLASS(TcxCustomCheckBox)

namespace {

const TcxResourceStringRec scxSEditCheckBoxChecked = {"scxSEditCheckBoxChecked", "True"};
const TcxResourceStringRec scxSEditCheckBoxUnchecked = {"scxSEditCheckBoxUnchecked", "False"};
const TcxResourceStringRec scxSEditRepositoryCheckBoxItem = {
    "scxSEditRepositoryCheckBoxItem", "CheckBox|Represents a check box control that allows selecting an option"};

PTypeInfo NullStyleType() {
  static PTypeInfo t = EnumTypeInfo("TcxCheckBoxNullValueShowingStyle",
                                    {"nssUnchecked", "nssInactive", "nssGrayedChecked"});
  return t;
}

TBitmap* checkMarkMask = nullptr;

TcxButtonState PainterState(Byte button_state) {
  switch (button_state) {
    case 1: return cxbsHot;
    case 2: return cxbsPressed;
    case 3: return cxbsDisabled;
    default: return cxbsNormal;
  }
}

}  // namespace

using TProps = TcxCustomCheckBoxProperties;

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCheckBoxProperties) {
  p.Enum("Alignment", [](const TProps* o) { return const_cast<TProps*>(o)->Alignment(); }, &TProps::SetAlignment,
         AlignmentTypeInfo())
      .Default(taLeftJustify);
  p.Bool("AllowGrayed", &TProps::AllowGrayed, &TProps::SetAllowGrayed).Default(false);
  p.Str("DisplayChecked", &TProps::DisplayChecked, &TProps::SetDisplayChecked).Stored(&TProps::IsDisplayCheckedStored);
  p.Str("DisplayUnchecked", &TProps::DisplayUnchecked, &TProps::SetDisplayUnchecked)
      .Stored(&TProps::IsDisplayUncheckedStored);
  p.Str("DisplayGrayed", &TProps::DisplayGrayed, &TProps::SetDisplayGrayed).Stored(&TProps::IsDisplayGrayedStored);
  p.Bool("FullFocusRect", &TProps::FullFocusRect, &TProps::SetFullFocusRect).Default(false);
  p.Int("GlyphCount", &TProps::GlyphCount, &TProps::SetGlyphCount).Default(6);
  p.Bool("ImmediatePost", &TProps::ImmediatePost, &TProps::SetImmediatePost).Default(false);
  p.Bool("MultiLine", &TProps::MultiLine, &TProps::SetMultiLine).Default(false);
  p.Enum("NullStyle", &TProps::NullStyle, &TProps::SetNullStyle, NullStyleType()).Default(nssGrayedChecked);
  p.Bool("ReadOnly", [](const TProps* o) { return const_cast<TProps*>(o)->ReadOnly(); }, &TProps::SetReadOnly)
      .Default(false);
  p.Bool("UseAlignmentWhenInplace", &TProps::UseAlignmentWhenInplace, &TProps::SetUseAlignmentWhenInplace)
      .Default(false);
  p.Var("ValueChecked", &TProps::ValueChecked, &TProps::SetValueChecked);
  p.Var("ValueGrayed", &TProps::ValueGrayed, &TProps::SetValueGrayed);
  p.Var("ValueUnchecked", &TProps::ValueUnchecked, &TProps::SetValueUnchecked);
  p.Event("OnChange", static_cast<TNotifyEvent TcxCheckBoxProperties::*>(&TcxCustomEditProperties::OnChange));
  p.Event("OnEditValueChanged",
          static_cast<TNotifyEvent TcxCheckBoxProperties::*>(&TcxCustomEditProperties::OnEditValueChanged));
}

// ---- check square routines --------------------------------------------------------------------------

bool IsCheckGlyphUsable(TBitmap* glyph, Integer glyph_count) {
  return glyph && !glyph->Empty() && glyph->Width() > 0 && glyph->Height() > 0 && glyph_count > 0;
}

TSize GetEditCheckSize(TcxCanvas* canvas, bool native, TBitmap* glyph, Integer glyph_count,
                       TcxCustomLookAndFeelPainterClass skin_painter) {
  if (IsCheckGlyphUsable(glyph, glyph_count)) return TSize(glyph->Width() / glyph_count, glyph->Height());
  if (skin_painter) return skin_painter->CheckBoxExtent();
  if (native && CanPaintNatively(true, tcButton)) {
    TSize size;
    HTHEME theme = OpenThemeCached(tcButton);
    if (UxGetThemePartSizeNoRect(theme, canvas ? canvas->DeviceContext() : nullptr, BP_CHECKBOX, 1,
                                 TS_TRUE, size) == S_OK)
      return size;
  }
  return PainterForLookAndFeel(false, lfStandard)->CheckBoxExtent();
}

Integer GetEditCheckBorderOffset(TcxEditBorderStyle border_style, bool native, bool glyph_usable,
                                 TcxCustomLookAndFeelPainterClass skin_painter) {
  if (native || glyph_usable || skin_painter) return 0;
  return 2 - BorderWidthOfStyle(border_style);
}

Integer GetListCheckBorderOffset(TcxLookAndFeelKind kind, bool native, bool glyph_usable,
                                 TcxCustomLookAndFeelPainterClass skin_painter) {
  if (native || glyph_usable || skin_painter) return 0;
  return 2 - ((kind == lfUltraFlat || kind == lfOffice11) ? 1 : 2);
}

TBitmap* CheckMarkMask() {
  InitializeCxCheckBox();
  if (checkMarkMask) return checkMarkMask;
  const TSize size = PainterForLookAndFeel(false, lfStandard)->CheckBoxExtent();
  checkMarkMask = new TBitmap();
  checkMarkMask->SetPixelFormat(pf32bit);
  checkMarkMask->SetSize(size.cx, size.cy);
  TCanvas* mask = checkMarkMask->Canvas();
  mask->Brush()->SetColor(clWhite);
  mask->FillRect(TRect(0, 0, size.cx, size.cy));
  HBITMAP sheet = LoadSystemBitmap(OBM_CHECKBOXES);
  if (!sheet) return checkMarkMask;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, sheet);
  for (Integer y = 0; y < size.cy; ++y)
    for (Integer x = 0; x < size.cx; ++x)
      if (GetPixel(dc, x, y) != GetPixel(dc, x + size.cx, y)) mask->SetPixels(x, y, clBlack);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(sheet);
  return checkMarkMask;
}

namespace {

void DrawOwnCheckBorder(TcxCanvas* canvas, TRect& r, TcxEditBorderStyle style, TColor border_color,
                        Byte button_state, bool designing, bool focused) {
  switch (style) {
    case ebsNone: break;
    case ebsSingle: FrameAndShrink(canvas, r, border_color); break;
    case ebsThick:
      FrameAndShrink(canvas, r, border_color);
      FrameAndShrink(canvas, r, border_color);
      break;
    case ebsFlat:
      canvas->DrawBevelEdge(r, true, true);
      r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      FrameAndShrink(canvas, r, clBtnFace);
      break;
    case ebs3D:
      canvas->DrawBevelEdge(r, true, true);
      r = TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
      FrameTwoColorAndShrink(canvas, r, cl3DDkShadow, cl3DLight);
      break;
    default: {
      const bool office = style == ebsOffice11;
      TColor color;
      if (button_state == 1 || button_state == 2 || (designing && button_state != 3) ||
          (button_state == 0 && focused))
        color = HighlightBorderColor(office);
      else
        color = office && button_state == 0 && !focused && !designing ? clBtnText : clBtnShadow;
      FrameAndShrink(canvas, r, color);
      break;
    }
  }
}

void DrawOwnCheckMark(TcxCanvas* canvas, const TRect& square, const TRect& r, TcxCheckBoxState state,
                      Byte button_state, TcxEditBorderStyle style,
                      TcxCheckBoxNullValueShowingStyle null_style) {
  const bool marked = state == cbsChecked || (state == cbsGrayed && null_style == nssGrayedChecked);
  if (style == ebsUltraFlat || style == ebsOffice11) {
    const bool office = style == ebsOffice11;
    TColor fill;
    switch (button_state) {
      case 3: fill = clBtnFace; break;
      case 1: fill = UltraFlatButtonFaceColor(false, office); break;
      case 2: fill = UltraFlatButtonFaceColor(true, office); break;
      default: fill = state == cbsGrayed && null_style == nssInactive ? clBtnFace : clWindow;
    }
    canvas->FillRectColor(r, fill);
    if (!marked) return;
    const TColor color = state == cbsChecked && button_state != 3 ? clBtnText : clBtnShadow;
    // The mask's black pixels are stamped in the colour, inside the rectangle.
    TBitmap* mask = CheckMarkMask();
    canvas->PushDeviceState();
    canvas->IntersectClip(r);
    const TColor pixel = ColorToRGB(color);
    for (Integer y = 0; y < mask->Height(); ++y)
      for (Integer x = 0; x < mask->Width(); ++x)
        if (mask->Canvas()->Pixels(x, y) == clBlack) SetPixel(canvas->DeviceContext(), square.Left + x, square.Top + y, pixel);
    canvas->PopDeviceState();
    return;
  }
  UINT flags = DFCS_BUTTONCHECK;
  if (button_state == 3) {
    flags |= DFCS_BUTTON3STATE | DFCS_PUSHED | (marked ? DFCS_CHECKED : DFCS_INACTIVE);
  } else {
    if (state == cbsChecked) flags |= DFCS_CHECKED;
    else if (state == cbsGrayed)
      flags |= DFCS_BUTTON3STATE | (null_style == nssInactive ? DFCS_INACTIVE : DFCS_CHECKED);
    if (button_state == 2) flags |= DFCS_PUSHED;
  }
  if (style != ebs3D) flags |= DFCS_FLAT;
  // Only the frame control's face and mark show: it is clipped to the mark's rectangle.
  RECT fr = TRect(r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2);
  canvas->PushDeviceState();
  canvas->IntersectClip(r);
  DrawFrameControl(canvas->DeviceContext(), &fr, DFC_BUTTON, flags);
  canvas->PopDeviceState();
}

}  // namespace

void PaintCheckMark(TcxCanvas* canvas, const TRect& r, TcxCheckBoxState state, Byte button_state,
                    TBitmap* glyph, Integer glyph_count, TcxEditBorderStyle border_style,
                    bool native, TColor border_color, TColor background_color,
                    bool draw_background, bool designing, bool focused,
                    TcxCustomLookAndFeelPainterClass skin_painter,
                    TcxCheckBoxNullValueShowingStyle null_style) {
  if (!draw_background) background_color = clNone;
  if (state == cbsGrayed && null_style == nssUnchecked) state = cbsUnchecked;
  if (IsCheckGlyphUsable(glyph, glyph_count)) {
    Integer index = Integer(state) + (button_state == 2 ? 3 : 0);
    if (index >= glyph_count && index >= 3) index %= 3;
    const Integer frame = glyph->Width() / glyph_count;
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(r.Width(), r.Height());
    const Integer top = (glyph->Height() - r.Height()) / 2;
    bitmap.Canvas()->CopyRect(TRect(0, 0, r.Width(), r.Height()), glyph->Canvas(),
                              TRect(index * frame, top, index * frame + r.Width(), top + r.Height()));
    bitmap.SetTransparent(true);
    DrawGlyph(canvas, r.Left, r.Top, &bitmap, button_state != 3, background_color);
    return;
  }
  if (skin_painter) {
    if (draw_background) canvas->FillRectColor(r, background_color);
    skin_painter->PaintCheckBox(canvas, r, PainterState(button_state), state == cbsChecked);
    return;
  }
  if (native && CanPaintNatively(true, tcButton)) {
    UxDrawThemeBackground(OpenThemeCached(tcButton), canvas->DeviceContext(), BP_CHECKBOX,
                          1 + 4 * Integer(state) + button_state, r, r);
    return;
  }
  TRect rect = r;
  const Integer inset = GetEditCheckBorderOffset(border_style, false, false);
  if (draw_background && inset > 0) {
    for (Integer i = 0; i < inset; ++i) FrameAndShrink(canvas, rect, background_color);
  } else {
    rect = TRect(rect.Left + inset, rect.Top + inset, rect.Right - inset, rect.Bottom - inset);
  }
  DrawOwnCheckBorder(canvas, rect, border_style, border_color, button_state, designing, focused);
  const TRect square = r;
  TRect mark(r.Left + inset + 2, r.Top + inset + 2, r.Right - inset - 2, r.Bottom - inset - 2);
  DrawOwnCheckMark(canvas, square, mark, state, button_state, border_style, null_style);
}

// ---- properties ---------------------------------------------------------------------------------------

TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner),
      displayChecked_(LoadReplaceableResString(scxSEditCheckBoxChecked)),
      displayUnchecked_(LoadReplaceableResString(scxSEditCheckBoxUnchecked)),
      valueChecked_(true),
      valueGrayed_(Null()),
      valueUnchecked_(false) {}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() = default;

void TcxCustomCheckBoxProperties::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxCustomCheckBoxProperties*>(source);
  if (!src) {
    TcxCustomEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomEditProperties::Assign(source);
    allowGrayed_ = src->allowGrayed_;
    displayChecked_ = src->displayChecked_;
    displayUnchecked_ = src->displayUnchecked_;
    displayGrayed_ = src->displayGrayed_;
    SetFullFocusRect(src->fullFocusRect_);
    SetGlyph(src->glyph_.get());
    SetGlyphCount(src->glyphCount_);
    SetMultiLine(src->multiLine_);
    SetNullStyle(src->nullStyle_);
    SetUseAlignmentWhenInplace(src->useAlignmentWhenInplace_);
    const Variant &c = src->valueChecked_, &g = src->valueGrayed_, &u = src->valueUnchecked_;
    if (!VariantsEqualStrict(c, g) && !VariantsEqualStrict(c, u) && !VariantsEqualStrict(g, u) &&
        !c.IsNull() && !u.IsNull()) {
      valueChecked_ = c;
      valueGrayed_ = g;
      valueUnchecked_ = u;
      NotifyPropertiesChanged();
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxCustomCheckBoxProperties::DefineProperties(TFiler* filer) {
  TcxCustomEditProperties::DefineProperties(filer);
  filer->DefineProperty("Caption", [this](TReader& reader) { SetCaption(reader.ReadString()); }, nullptr, false);
}

TClass TcxCustomCheckBoxProperties::GetContainerClass() { return TcxCheckBox::StaticClass(); }

TcxCheckBoxState TcxCustomCheckBoxProperties::StateOfValue(const Variant& value) {
  if (SameVariantValues(value, valueChecked_)) return cbsChecked;
  if (SameVariantValues(value, valueUnchecked_)) return cbsUnchecked;
  return cbsGrayed;
}

Variant TcxCustomCheckBoxProperties::ValueOfState(TcxCheckBoxState state) {
  switch (state) {
    case cbsChecked: return valueChecked_;
    case cbsUnchecked: return valueUnchecked_;
    default: return valueGrayed_;
  }
}

bool TcxCustomCheckBoxProperties::DisplayValuesEqual(const Variant& a, const Variant& b) {
  return StateOfValue(a) == StateOfValue(b);
}

String TcxCustomCheckBoxProperties::ValueToDisplayText(const Variant& edit_value, bool, bool) {
  switch (StateOfValue(edit_value)) {
    case cbsChecked: return displayChecked_;
    case cbsUnchecked: return displayUnchecked_;
    default: return displayGrayed_;
  }
}

bool TcxCustomCheckBoxProperties::IsEditValueValid(Variant& edit_value, bool edit_focused) {
  return TcxCustomEditProperties::IsEditValueValid(edit_value, edit_focused) &&
         (VariantsEqualStrict(edit_value, valueChecked_) || VariantsEqualStrict(edit_value, valueGrayed_) ||
          VariantsEqualStrict(edit_value, valueUnchecked_));
}

void TcxCustomCheckBoxProperties::PrepareDisplayValue(const Variant& edit_value, Variant& display_value, bool) {
  display_value = Integer(StateOfValue(edit_value));
}

TBitmap* TcxCustomCheckBoxProperties::EnsureGlyph() {
  if (!glyph_) {
    glyph_ = std::make_unique<TBitmap>();
    glyph_->OnChange = [this](TObject*) { NotifyPropertiesChanged(); };
  }
  return glyph_.get();
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* v) {
  if (!v) glyph_.reset();
  else EnsureGlyph()->Assign(v);
  NotifyPropertiesChanged();
}

void TcxCustomCheckBoxProperties::SetGlyphCount(Integer v) {
  if (glyphCount_ == v) return;
  glyphCount_ = v;
  if (glyph_) NotifyPropertiesChanged();
}

void TcxCustomCheckBoxProperties::SetAlignment(TAlignment v) { TcxCustomEditProperties::Alignment()->SetHorz(v); }

void TcxCustomCheckBoxProperties::SetCaption(const String& v) {
  caption_ = v;
  captionPending_ = true;
  NotifyPropertiesChanged();
}

String TcxCustomCheckBoxProperties::TakePendingCaption() {
  captionPending_ = false;
  return caption_;
}

bool TcxCustomCheckBoxProperties::OwnerLoading() const {
  auto* c = dynamic_cast<TComponent*>(Owner());
  return c && c->ComponentState().Contains(csLoading);
}

bool TcxCustomCheckBoxProperties::AcceptsValue(const Variant& v, bool allow_null) const {
  if (OwnerLoading()) return true;
  if (v.IsNull() && !allow_null) return false;
  return !VariantsEqualStrict(v, valueChecked_) && !VariantsEqualStrict(v, valueGrayed_) &&
         !VariantsEqualStrict(v, valueUnchecked_) && !SameVariantValues(v, valueChecked_) &&
         !SameVariantValues(v, valueGrayed_) && !SameVariantValues(v, valueUnchecked_);
}

void TcxCustomCheckBoxProperties::SetValueChecked(const Variant& v) {
  if (!AcceptsValue(v, false)) return;
  valueChecked_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomCheckBoxProperties::SetValueGrayed(const Variant& v) {
  if (!AcceptsValue(v, true)) return;
  valueGrayed_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomCheckBoxProperties::SetValueUnchecked(const Variant& v) {
  if (!AcceptsValue(v, false)) return;
  valueUnchecked_ = v;
  NotifyPropertiesChanged();
}

TcxCustomEditViewData* TcxCustomCheckBoxProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                   bool hide_display_text) {
  auto* data = new TcxCustomCheckBoxViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

TcxCustomEditViewInfo* TcxCustomCheckBoxProperties::CreateViewInfo() { return new TcxCustomCheckBoxViewInfo(); }

// ---- view data ------------------------------------------------------------------------------------------

TcxTextFlags TcxCustomCheckBoxViewData::GetDrawTextFlags() {
  TcxCustomCheckBoxProperties* props = CheckProperties();
  TcxTextFlags flags = props->Alignment() == taCenter ? ctfHCenter : ctfLeft;
  flags |= ctfShowPrefix;
  flags |= props->MultiLine() ? (ctfNoClip | ctfWordBreak) : ctfSingleLine;
  flags |= (props->MultiLine() && !IsInplace) ? ctfTop : ctfVCenter;
  return flags;
}

void TcxCustomCheckBoxViewData::CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p,
                                                  Integer button, TShiftState shift,
                                                  TcxCustomEditViewInfo* view_info, bool is_mouse_event) {
  auto* vi = static_cast<TcxCustomCheckBoxViewInfo*>(view_info);
  previousMarkState_ = vi->MarkButtonState;
  TcxCustomEditViewData::CalculateViewInfo(canvas, bounds, p, button, shift, view_info, is_mouse_event);
  TcxCustomCheckBoxProperties* props = CheckProperties();
  // 1. Text attributes: a read-only single text.
  vi->EditingStyle = tesNoTyping;
  vi->InnerEditShowsText = false;
  vi->PaintsAsSelection = false;
  vi->CaptionFlags = GetDrawTextFlags();
  vi->TextRect = vi->ClientArea;
  if (Edit) vi->Text = Edit->Caption();
  // 2. The square's alignment.
  const bool inplaceCentred = IsInplace && !props->UsesInplaceLayout() && !props->UseAlignmentWhenInplace() &&
                              vi->Text.empty();
  vi->MarkAlignment = inplaceCentred ? taCenter : props->Alignment();
  // 3. The square's border, highlighted while hot-tracked.
  TcxEditBorderStyle border = Style ? Style->BorderStyle() : ebsNone;
  if (vi->HotLevel == 2) {
    if (border == ebsNone) border = ebsFlat;
    else if (border == ebsSingle) border = ebsThick;
    else if (border == ebsFlat) border = ebs3D;
  }
  vi->MarkBorderStyle = border;
  // 4. Glyph and inset.
  vi->MarkGlyph = props->GlyphIfAny();
  vi->MarkGlyphCount = props->GlyphCount();
  vi->NullShowingStyle = props->NullStyle();
  vi->MarkGlyphUsable = IsCheckGlyphUsable(vi->MarkGlyph, vi->MarkGlyphCount);
  vi->MarkInset = GetEditCheckBorderOffset(border, NativeStyle, vi->MarkGlyphUsable);
  // 5. Rectangles: C the square, T the text.
  const TSize check = GetEditCheckSize(canvas, NativeStyle, vi->MarkGlyph, vi->MarkGlyphCount);
  TRect c = vi->ClientArea, t = vi->ClientArea;
  if (IsInplace) {
    if (vi->MarkAlignment == taLeftJustify) {
      t.Right -= 2;
      c.Left += 2;
    } else if (vi->MarkAlignment == taRightJustify) {
      t.Left += 2;
      c.Right -= 2;
    }
    t.Top += ContentMetrics.ContentOffsets.Top;
    t.Bottom -= ContentMetrics.ContentOffsets.Bottom;
  } else {
    t = TRect(t.Left + 2, t.Top + 1, t.Right - 2, t.Bottom - 2);
    c = TRect(c.Left + 2, c.Top + 2, c.Right - 2, c.Bottom - 2);
  }
  if (check.cy < c.Height()) {
    c.Top += (c.Height() - check.cy) / 2;
    c.Bottom = c.Top + check.cy;
  }
  if (check.cx >= c.Width()) {
    t.Right = t.Left;
  } else if (vi->MarkAlignment == taCenter) {
    c.Left += (c.Width() - check.cx) / 2;
    c.Right = c.Left + check.cx;
  } else if (vi->MarkAlignment == taLeftJustify) {
    c.Right = c.Left + check.cx;
    t.Left = c.Right + 3;
  } else {
    c.Left = c.Right - check.cx;
    t.Right = c.Left - 3;
  }
  if (!Enabled && !NativeStyle) {
    ++t.Right;
    ++t.Bottom;
  }
  vi->MarkRect = c;
  vi->TextRect = t;
  // 6. The square's button state.
  if (!Enabled) vi->MarkButtonState = 3;
  else if (Edit && Edit->SpacePressed()) vi->MarkButtonState = 2;
  else if (!DesignMode && vi->BorderRectCopy.Contains(p) && vi->OuterRect.Contains(p)) {
    const TShiftState mouse = shift * TShiftState{ssLeft, ssRight, ssMiddle};
    if (shift.Empty()) vi->MarkButtonState = 1;
    else if (mouse == TShiftState{ssLeft})
      vi->MarkButtonState = (button == 1 || previousMarkState_ == 2) ? 2 : 0;
    else vi->MarkButtonState = 0;
  } else {
    vi->MarkButtonState = 0;
  }
  // 7. Focus frame and the in-place single border's colour.
  CalculateFocusFrame(canvas, vi);
  if (IsInplace && vi->MarkBorderStyle == ebsSingle)
    vi->FrameColor = vi->MarkButtonState == 1 || (DesignMode && Enabled) ? clHighlight : clBtnShadow;
  // 8.
  vi->TextColorAssigned = Style && Style->AssignedValues().Contains(svTextColor);
}

void TcxCustomCheckBoxViewData::CalculateFocusFrame(TcxCanvas* canvas, TcxCustomCheckBoxViewInfo* vi) {
  TcxCustomCheckBoxProperties* props = CheckProperties();
  vi->FocusFrameRect = TRect();
  if (!Focused) return;
  const bool own = (!IsInplace || props->UsesInplaceLayout()) && vi->MarkAlignment != taCenter;
  const bool centred = IsInplace && vi->MarkAlignment == taCenter && (vi->PaintOptions & 16);
  if (!own && !centred) return;
  TRect r;
  if (vi->MarkAlignment == taCenter) {
    const TRect& c = vi->ClientArea;
    r = TRect(c.Left + 1, c.Top + 1, c.Right - 1, c.Bottom - 1);
    r.Top = std::max(r.Top, c.Top);
    r.Bottom = std::min(r.Bottom, c.Bottom);
  } else {
    if (vi->Text.empty()) return;
    r = vi->TextRect;
    if (!props->FullFocusRect() && canvas) {
      if (vi->Font) canvas->ApplyFont(vi->Font);
      TRect m = vi->TextRect;
      canvas->MeasureTextRect(vi->Text, m, vi->CaptionFlags);
      r = m;
    }
    r = TRect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1);
    TRect lim = vi->TextRect;
    lim = IsInplace ? TRect(lim.Left - 1, lim.Top + 1, lim.Right + 1, lim.Bottom - 1)
                    : TRect(lim.Left - 1, lim.Top - 1, lim.Right + 1, lim.Bottom + 1);
    r = TRect(std::max(r.Left, lim.Left), std::max(r.Top, lim.Top), std::min(r.Right, lim.Right),
              std::min(r.Bottom, lim.Bottom));
    r.Right = std::min(r.Right, vi->BorderRectCopy.Right - 1);
  }
  if (r.Right <= r.Left || r.Bottom <= r.Top) r = TRect();
  vi->FocusFrameRect = r;
}

void TcxCustomCheckBoxViewData::FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                                                TcxCustomEditViewInfo* view_info) {
  auto* vi = static_cast<TcxCustomCheckBoxViewInfo*>(view_info);
  vi->CheckedState = HideDisplayText ? cbsChecked : CheckProperties()->StateOfValue(edit_value);
  if (IsInplace && !CheckProperties()->UsesInplaceLayout()) vi->Text.clear();
  CalculateFocusFrame(canvas, vi);
}

void TcxCustomCheckBoxViewData::GetEditSize(TcxCanvas* canvas, bool is_inplace,
                                            const TcxEditSizeProperties& request, TSize& min_content_size,
                                            TcxCustomEditViewInfo* view_info, TSize& size) {
  TcxCustomEditViewData::GetEditSize(canvas, is_inplace, request, min_content_size, view_info, size);
  TcxCustomCheckBoxProperties* props = CheckProperties();
  const TSize check = GetEditCheckSize(canvas, NativeStyle, props->GlyphIfAny(), props->GlyphCount());
  const bool glyphUsable = IsCheckGlyphUsable(props->GlyphIfAny(), props->GlyphCount());
  const Integer inset = GetEditCheckBorderOffset(Style ? Style->BorderStyle() : ebsNone, NativeStyle, glyphUsable);
  const String caption = Edit ? StripAccelChars(Edit->Caption()) : String();
  Integer width = check.cx;
  if (is_inplace) {
    const bool centred = !props->UsesInplaceLayout() && !props->UseAlignmentWhenInplace() && caption.empty();
    if (!caption.empty() && !centred && props->Alignment() != taCenter) {
      if (TFont* font = StyleFont()) canvas->ApplyFont(font);
      width = canvas->MeasureTextWidth(caption) + check.cx + 2 + 3;
    } else {
      width = check.cx + 4;
    }
  }
  Integer height = is_inplace ? check.cy + 2 * (1 - inset) : check.cy + 4;
  if (canvas) {
    TSize text;
    TcxEditSizeProperties r = request;
    if (!Enabled && !NativeStyle && r.Width > 0) --r.Width;
    const String measured = (props->Alignment() == taCenter || is_inplace) ? String("Gg") : caption;
    MeasureTextContent(canvas, this, measured.empty() ? String("Gg") : measured, text, false, 0, r,
                       tofSingleLine | tofCharBreak);
    height = std::max(height, text.cy);
  }
  size.cx += width;
  size.cy = std::max(size.cy, 0) + height;
}

// ---- view info -------------------------------------------------------------------------------------------

void TcxCustomCheckBoxViewInfo::DrawText(TcxCanvas* canvas) {
  if (Text.empty()) return;
  if (Font) canvas->ApplyFont(Font);
  canvas->CurrentFont()->SetColor(TextColor);
  PrepareCanvasFont(canvas);
  canvas->CurrentBrush()->SetStyle(bsClear);
  const bool enabledLook = Enabled || UsesTheme || TextColorAssigned || IsInnerControl;
  canvas->OutputText(Text, TextRect, CaptionFlags, enabledLook);
  canvas->CurrentBrush()->SetStyle(bsSolid);
}

void TcxCustomCheckBoxViewInfo::DrawEditor(TcxCanvas* canvas) {
  const TRect square(MarkRect.Left + MarkInset, MarkRect.Top + MarkInset, MarkRect.Right - MarkInset,
                     MarkRect.Bottom - MarkInset);
  if (!IsBackgroundTransparent()) {
    const bool includeSquare = IsBackgroundTransparent() && MarkGlyphUsable;
    DrawBackgroundPart(canvas, OuterRect, includeSquare ? TRect() : square, false);
  }
  PaintCheckMark(canvas, MarkRect, CheckedState, MarkButtonState, MarkGlyph, MarkGlyphCount, MarkBorderStyle,
                 UsesTheme, FrameColor, FillColor, !IsBackgroundTransparent(), DesignMode, Focused, nullptr,
                 NullShowingStyle);
  if (MarkAlignment != taCenter) DrawText(canvas);
  if (!FocusFrameRect.IsEmpty()) {
    canvas->CurrentFont()->SetColor(clBtnText);
    canvas->SetBrushColor(FillColor);
    canvas->DrawFocusFrame(FocusFrameRect);
  }
}

void TcxCustomCheckBoxViewInfo::CopyLayoutFrom(TcxContainerViewInfo* other) {
  TcxCustomTextEditViewInfo::CopyLayoutFrom(other);
  if (auto* o = dynamic_cast<TcxCustomCheckBoxViewInfo*>(other)) {
    MarkButtonState = o->MarkButtonState;
    CheckedState = o->CheckedState;
  }
}

TcxRegion* TcxCustomCheckBoxViewInfo::CreateChangedRegion(TcxContainerViewInfo* other) {
  TcxRegion* region = TcxCustomTextEditViewInfo::CreateChangedRegion(other);
  auto* o = dynamic_cast<TcxCustomCheckBoxViewInfo*>(other);
  if (o && (o->MarkButtonState != MarkButtonState || o->CheckedState != CheckedState)) {
    if (!region) region = new TcxRegion(MarkRect);
    else region->CombineWith(new TcxRegion(MarkRect), roAdd);
  }
  return region;
}

void TcxCustomCheckBoxViewInfo::TranslateBy(Integer dx, Integer dy) {
  TcxCustomTextEditViewInfo::TranslateBy(dx, dy);
  MarkRect = TRect(MarkRect.Left + dx, MarkRect.Top + dy, MarkRect.Right + dx, MarkRect.Bottom + dy);
  if (!FocusFrameRect.IsEmpty())
    FocusFrameRect = TRect(FocusFrameRect.Left + dx, FocusFrameRect.Top + dy, FocusFrameRect.Right + dx,
                           FocusFrameRect.Bottom + dy);
}

bool TcxCustomCheckBoxViewInfo::RepaintExcept(TWinControl* control, const TRect& excluded,
                                              TcxCustomEditViewInfo* old_view_info) {
  bool changed = TcxCustomTextEditViewInfo::RepaintExcept(control, excluded, old_view_info);
  auto* o = dynamic_cast<TcxCustomCheckBoxViewInfo*>(old_view_info);
  if (control && control->HandleAllocated() && o &&
      (o->MarkButtonState != MarkButtonState || o->CheckedState != CheckedState)) {
    RECT r = MarkRect;
    InvalidateRect(control->Handle(), &r, false);
    changed = true;
  }
  return changed;
}

// ---- the control ------------------------------------------------------------------------------------------

namespace {
// Change events held and the value-assignment counter raised (no Click), both released
// without notification.
class TSilentAssignment {
 public:
  explicit TSilentAssignment(TcxCustomEdit* edit) : edit_(edit) {
    edit_->LockChangeEvents(true);
    edit_->LockValueAssignment(true);
  }
  ~TSilentAssignment() {
    if (!edit_) return;
    edit_->LockValueAssignment(false);
    edit_->LockChangeEvents(false, false);
  }

 private:
  TWeakRef<TcxCustomEdit> edit_;
};
}  // namespace

TcxCustomCheckBox::TcxCustomCheckBox(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomEdit(owner, in_place, properties_class) {
  ControlStyle().Exclude(csDoubleClicks);
  SetWidth(121);
  InternalSetEditValue(DisplayToEditValue(Variant(Integer(cbsUnchecked))), false);
}

Variant TcxCustomCheckBox::DisplayToEditValue(const Variant& display_value) {
  TcxCustomCheckBoxProperties* props = ActiveProperties();
  if (!VarIsOrdinal(display_value) || display_value.VarType() == varBoolean) return Variant();
  switch (display_value.AsInteger()) {
    case 0: return props->ValueUnchecked();
    case 1: return props->ValueChecked();
    case 2: return props->ValueGrayed();
    default: return Variant();
  }
}

TcxCheckBoxState TcxCustomCheckBox::State() { return ActiveProperties()->StateOfValue(ReadEditValue()); }

void TcxCustomCheckBox::SetState(TcxCheckBoxState v) {
  if (ComponentState().Contains(csLoading) && !inLoaded_) {
    loadedState_ = v;
    stateAssignedWhileLoading_ = true;
    return;
  }
  if (v == State()) return;
  SetInternalEditValue(DisplayToEditValue(Variant(Integer(v))));
}

void TcxCustomCheckBox::AssignCheckedSilently(bool v) {
  TSilentAssignment silent(this);
  SetChecked(v);
}

void TcxCustomCheckBox::Toggle() {
  TWeakRef<TcxCustomCheckBox> self(this);
  LockChangeEvents(true);
  const bool saved = UserChange();
  SetUserChange(true);
  try {
    switch (State()) {
      case cbsUnchecked: SetState(ActiveProperties()->AllowGrayed() ? cbsGrayed : cbsChecked); break;
      case cbsChecked: SetState(cbsUnchecked); break;
      case cbsGrayed: SetState(cbsChecked); break;
    }
  } catch (...) {
    if (self) {
      SetUserChange(saved);
      LockChangeEvents(false);
    }
    throw;
  }
  if (!self) return;
  SetUserChange(saved);
  LockChangeEvents(false);
  if (self && ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
}

void TcxCustomCheckBox::InternalSetEditValue(const Variant& value, bool flag) {
  TWeakRef<TcxCustomCheckBox> self(this);
  const TcxCheckBoxState before = State();
  TcxCustomEdit::InternalSetEditValue(value, flag);
  if (!self) return;
  const TcxCheckBoxState after = State();
  if (before != after) {
    if (TcxCustomCheckBoxViewInfo* vi = CheckViewInfo()) vi->CheckedState = after;
    Click();
    if (!self) return;
    NotifyChange();
    if (!self) return;
  }
  RefreshStateAtCursor(false);
}

void TcxCustomCheckBox::PropertiesChanged(TcxCustomEditProperties* properties) {
  TWeakRef<TcxCustomCheckBox> self(this);
  auto* props = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
  if (props && props->CaptionPending()) SetCaption(props->TakePendingCaption());
  if (TcxCustomCheckBoxViewInfo* vi = CheckViewInfo(); vi && vi->CheckedState != State()) {
    vi->CheckedState = State();
    if (HandleAllocated()) {
      RECT r = vi->MarkRect;
      InvalidateRect(Handle(), &r, false);
    }
    if (!ChangeEventsLocked()) {
      Click();
      if (!self) return;
      NotifyChange();
      if (!self) return;
    }
  }
  TcxCustomEdit::PropertiesChanged(properties);
}

bool TcxCustomCheckBox::RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) {
  if (!HandleAllocated() || ComponentState().Contains(csLoading) || ComponentState().Contains(csReading) ||
      InDestruction())
    return false;
  TcxCustomCheckBoxViewInfo* vi = CheckViewInfo();
  if (!vi) return TcxCustomEdit::RefreshState(p, button, shift, is_mouse_event);
  const Byte oldState = vi->MarkButtonState;
  std::unique_ptr<TcxCustomEditViewData> data(ActiveProperties()->CreateViewData(
      dynamic_cast<TcxCustomEditStyle*>(StyleForCurrentState()), InPlace()));
  auto* view_data = static_cast<TcxCustomCheckBoxViewData*>(data.get());
  view_data->Edit = this;
  view_data->Enabled = Enabled();
  view_data->Focused = Focused();
  view_data->DesignMode = ComponentState().Contains(csDesigning);
  view_data->CalculateViewInfo(SharedScreenCanvas(), ClientRect(), p, button, shift, vi, is_mouse_event);
  view_data->FillDisplayText(SharedScreenCanvas(), ReadEditValue(), vi);
  Invalidate();
  // A press released over the box (pressed becomes hot) toggles it.
  if (is_mouse_event && oldState == 2 && vi->MarkButtonState == 1) {
    TWeakRef<TcxCustomCheckBox> self(this);
    Toggle();
    return bool(self);
  }
  return true;
}

bool TcxCustomCheckBox::ClickWhileLoading() { return DataBinding()->GetDefaultValuesProvider()->IsDataStorage(); }

bool TcxCustomCheckBox::PaintsOwnBorder() { return !InPlace() || ActiveProperties()->UsesInplaceLayout(); }

TcxEditSizeProperties TcxCustomCheckBox::GetEditSizeProperties() {
  return {-1, ActiveProperties()->MultiLine() ? 0 : 1, Width()};
}

void TcxCustomCheckBox::DoEditKeyDown(Word& key, TShiftState shift) {
  TcxCustomEdit::DoEditKeyDown(key, shift);
  if (key != VK_SPACE) return;
  TcxCustomCheckBoxViewInfo* vi = CheckViewInfo();
  if (vi && vi->MarkButtonState < 2) {
    spacePressed_ = true;
    vi->MarkButtonState = 2;
    RefreshStateAtCursor(false);
    key = 0;
  }
}

void TcxCustomCheckBox::DoEditKeyPress(char32_t& key) {
  if (key == U' ' && InPlace()) {
    TcxCustomCheckBoxViewInfo* vi = CheckViewInfo();
    if (!vi || vi->MarkButtonState == 0) {
      key = 0;
      Toggle();
      return;
    }
  }
  TcxCustomEdit::DoEditKeyPress(key);
}

void TcxCustomCheckBox::DoEditKeyUp(Word& key, TShiftState shift) {
  TcxCustomEdit::DoEditKeyUp(key, shift);
  TcxCustomCheckBoxViewInfo* vi = CheckViewInfo();
  if (key == VK_SPACE && vi && vi->MarkButtonState == 2 && spacePressed_) {
    spacePressed_ = false;
    vi->MarkButtonState = 0;
    if (HandleAllocated()) {
      RECT r = vi->MarkRect;
      InvalidateRect(Handle(), &r, false);
    }
    Toggle();
  }
}

void TcxCustomCheckBox::DoExit() {
  spacePressed_ = false;
  TcxCustomEdit::DoExit();
}

void TcxCustomCheckBox::CMDialogChar(TMessage& m) {
  if (IsAccel(char32_t(m.WParam), Caption()) && CanFocus()) {
    TWeakRef<TcxCustomCheckBox> self(this);
    SetFocus();
    if (self && Focused()) Toggle();
    m.Result = 1;
    return;
  }
  TcxCustomEdit::CMDialogChar(m);
}

void TcxCustomCheckBox::WndProc(TMessage& m) {
  // Each click toggles: a quick second click is a click.
  if (m.Msg == WM_LBUTTONDBLCLK) m.Msg = WM_LBUTTONDOWN;
  // The toggle on release clicks; the framework adds no click of its own.
  if (m.Msg == WM_LBUTTONUP) ControlState().Exclude(csClicked);
  TcxCustomEdit::WndProc(m);
}

void TcxCustomCheckBox::CMTextChanged(TMessage& m) {
  TcxCustomEdit::CMTextChanged(m);
  if (TcxCustomCheckBoxViewInfo* vi = CheckViewInfo()) vi->Text = Caption();
  RefreshStateAtCursor(false);
  Invalidate();
}

void TcxCustomCheckBox::Loaded() {
  TWeakRef<TcxCustomCheckBox> self(this);
  inLoaded_ = true;
  {
    TSilentAssignment silent(this);
    TcxCustomEdit::Loaded();
    if (stateAssignedWhileLoading_) SetState(loadedState_);
    else if (!DataBinding()->GetDefaultValuesProvider()->IsDataStorage()) SetState(cbsUnchecked);
  }
  if (self) inLoaded_ = false;
}

void TcxCustomCheckBox::ActionChange(TObject* sender, bool check_defaults) {
  TcxCustomEdit::ActionChange(sender, check_defaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  const bool loading = ComponentState().Contains(csLoading) || inLoaded_;
  if ((!loading || !stateAssignedWhileLoading_) && (!check_defaults || State() == cbsUnchecked))
    AssignCheckedSilently(action->Checked());
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCheckBox) {
  p.Object("Properties", &TcxCheckBox::Properties, &TcxCheckBox::SetProperties,
           TcxCheckBoxProperties::StaticClass());
  p.Bool("Checked", [](const TcxCheckBox* o) { return const_cast<TcxCheckBox*>(o)->Checked(); },
         &TcxCheckBox::SetChecked)
      .Stored(false);
  p.Enum("State", [](const TcxCheckBox* o) { return const_cast<TcxCheckBox*>(o)->State(); }, &TcxCheckBox::SetState,
         CheckBoxStateTypeInfo())
      .Default(cbsUnchecked)
      .Stored(&TcxCheckBox::IsStateStored);
  p.Str("Caption", [](const TcxCheckBox* o) { return o->Caption(); },
        [](TcxCheckBox* o, const String& v) { o->SetCaption(v); });
}

bool TcxCheckBox::IsStateStored() const {
  auto* action = dynamic_cast<TCustomAction*>(Action());
  auto* self = const_cast<TcxCheckBox*>(this);
  return !(action && (action->Checked() ? cbsChecked : cbsUnchecked) == self->State());
}

// ---- action link --------------------------------------------------------------------------------------

TcxCheckBoxActionLink::TcxCheckBoxActionLink(TObject* client) : TWinControlActionLink(client) {
  AssignClient(client);
}

void TcxCheckBoxActionLink::AssignClient(TObject* client) {
  TWinControlActionLink::AssignClient(client);
  checkBox_ = dynamic_cast<TcxCustomCheckBox*>(client);
}

bool TcxCheckBoxActionLink::IsCheckedLinked() {
  auto* action = dynamic_cast<TCustomAction*>(action_);
  return TWinControlActionLink::IsCheckedLinked() && checkBox_ && checkBox_->State() != cbsGrayed &&
         checkBox_->Checked() == action->Checked();
}

void TcxCheckBoxActionLink::SetChecked(bool v) {
  if (IsCheckedLinked()) checkBox_->AssignCheckedSilently(v);
}

// ---- unit start ------------------------------------------------------------------------------------

void InitializeCxCheckBox() {
  InitUnit(
      "cxCheckBox",
      [] {
        InitializeCxEdit();
        InitializeActnList();
        RegisterClass(TcxCheckBox::StaticClass());
        RegisterClass(TcxCheckBoxProperties::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxCheckBoxProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryCheckBoxItem));
      },
      [] {
        EditPropertiesRegistry()->RemoveClass(TcxCheckBoxProperties::StaticClass());
        delete checkMarkMask;
        checkMarkMask = nullptr;
      });
}
