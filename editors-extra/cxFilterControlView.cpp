// The filter control's layout, hit testing and painting: rows laid out from the part fonts,
// values measured and drawn by their editor properties (no editor is created for that), and
// one off-screen bitmap copied to the window in one block transfer.
#include <algorithm>
#include <cmath>

#include "data/cxFilterConsts.h"
#include "editors-extra/cxFilterControl.h"
#include "editors-extra/cxFilterControlStrs.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxGeometry.h"
#include "gdi/Gdi.h"

namespace {

constexpr TcxFilterControlOperator kBetween = 11, kNotBetween = 12, kInList = 13, kNotInList = 14;

bool IsListCode(TcxFilterControlOperator op) { return op == kInList || op == kNotInList; }
bool IsPairCode(TcxFilterControlOperator op) { return op == kBetween || op == kNotBetween; }

TcxCustomFilterControl* FilterControlOf(const TcxCustomRowViewInfo* row) {
  return static_cast<TcxCustomFilterControl*>(row->Control());
}

// The shared brush of level lines: an 8 x 8 pattern whose pixels with equal row and column
// parity are set (they take the text colour), the others the background colour.
HBRUSH DottedBrush() {
  static HBRUSH brush = [] {
    WORD bits[8];
    for (int y = 0; y < 8; ++y) bits[y] = (y % 2 == 0) ? 0x5555 : 0xAAAA;
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH b = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return b;
  }();
  return brush;
}

}  // namespace

bool IsFilterControlButtonPart(TcxFilterControlHitTest code) {
  return code == fchRowButton || code == fchValue || code == fchAddCondition || code == fchAddValue;
}

// ---- rows ---------------------------------------------------------------------------------------

void TcxCustomRowViewInfo::Calculate(TcxFilterControlViewInfo& view_info, const TRect& bounds) {
  TcxCustomFilterControl* control = FilterControlOf(this);
  RowRect = bounds;
  Indent = view_info.RowHeight() * Level();
  const String text = ButtonText();
  const Integer width = parent_ ? view_info.TextSize(control->Font(), "0").cx * Integer(CharCount(text))
                                : view_info.TextSize(control->Font(), text + "00").cx;
  const Integer height = view_info.RowHeight() - 4;
  const Integer top = bounds.Top + (bounds.Height() - height) / 2;
  ButtonRect = Bounds(bounds.Left + Indent + 4, top, width, height);
  const TcxFilterControlHitInfo& focus = control->FocusInfo();
  const TcxFilterControlHitInfo& hot = control->HotInfo();
  if (!view_info.Enabled())
    ButtonState = cxbsDisabled;
  else if (focus.RowInfo == this && focus.Code == fchRowButton)
    ButtonState = cxbsDefault;
  else if (control->IsHotTrackAllowed() && hot.RowInfo == this && hot.Code == fchRowButton)
    ButtonState = cxbsHot;
  else
    ButtonState = cxbsNormal;
}

void TcxCustomRowViewInfo::GetHitInfo(const TPoint& p, TcxFilterControlHitInfo& info) const {
  if (ButtonRect.Contains(p)) info.Code = fchRowButton;
}

void TcxGroupViewInfo::Calculate(TcxFilterControlViewInfo& view_info, const TRect& bounds) {
  TcxCustomRowViewInfo::Calculate(view_info, bounds);
  TcxCustomFilterControl* control = FilterControlOf(this);
  BoolOperatorRect = view_info.TextRect(control->FontBoolOperator(), BoolOperatorText(), ButtonRect.Right + 8, bounds);
  CaptionRect = view_info.TextRect(control->Font(), Caption(), BoolOperatorRect.Right + 8, bounds);
}

Integer TcxGroupViewInfo::RowWidth() const {
  return TcxCustomRowViewInfo::RowWidth() + BoolOperatorRect.Width() + CaptionRect.Width() + 16;
}

void TcxGroupViewInfo::GetHitInfo(const TPoint& p, TcxFilterControlHitInfo& info) const {
  TcxCustomRowViewInfo::GetHitInfo(p, info);
  if (info.Code == fchNone && BoolOperatorRect.Contains(p)) info.Code = fchBoolOperator;
}

void TcxConditionViewInfo::Calculate(TcxFilterControlViewInfo& view_info, const TRect& bounds) {
  TcxCustomRowViewInfo::Calculate(view_info, bounds);
  TcxCustomFilterControl* control = FilterControlOf(this);
  ItemRect = view_info.TextRect(control->FontItem(), itemText_, ButtonRect.Right + 8, bounds);
  OperatorRect = view_info.TextRect(control->FontCondition(), OperatorText(), ItemRect.Right + 8, bounds);
  CalculateValues(view_info);
}

Integer TcxConditionViewInfo::RowWidth() const {
  Integer values = 0;
  if (IsListCode(operator_))
    values = AddValueRect.Right - OperatorRect.Right;
  else if (HasValues() && !values_.empty())
    values = values_.back().ValueRect.Right - OperatorRect.Right;
  return TcxCustomRowViewInfo::RowWidth() + ItemRect.Width() + OperatorRect.Width() + values + 16;
}

void TcxConditionViewInfo::GetHitInfo(const TPoint& p, TcxFilterControlHitInfo& info) const {
  TcxCustomRowViewInfo::GetHitInfo(p, info);
  if (info.Code != fchNone) return;
  if (ItemRect.Contains(p)) {
    info.Code = fchItem;
  } else if (OperatorRect.Contains(p)) {
    info.Code = fchOperator;
  } else if (AddValueRect.Contains(p)) {
    info.Code = fchAddValue;
  } else if (HasValues()) {
    for (std::size_t i = 0; i < values_.size(); ++i)
      if (values_[i].ValueRect.Contains(p)) {
        info.Code = fchValue;
        info.ValueNumber = Integer(i);
        return;
      }
  }
}

void TcxConditionViewInfo::CalculateValues(TcxFilterControlViewInfo& view_info) {
  AddValueRect = TRect();
  if (!HasValues()) {
    for (TcxValueInfo& value : values_) {
      value.ValueRect = TRect();
      value.ViewInfo.reset();
    }
    return;
  }
  TcxCustomFilterControl* control = FilterControlOf(this);
  TFont* value_font = control->FontValue();
  Integer pen = OperatorRect.Right + 8;
  Separator.clear();
  if (IsPairCode(operator_)) {
    Separator = LoadReplaceableResString(cxSFilterAndCaption);
  } else if (IsListCode(operator_)) {
    pen += view_info.TextSize(value_font, "(").cx;
    Separator = ", ";
  }
  const Integer separator_width = Separator.empty() ? 0 : view_info.TextSize(value_font, Separator).cx;
  const TcxFilterControlHitInfo& focus = control->FocusInfo();
  const TcxFilterControlHitInfo& hot = control->HotInfo();
  const bool hot_tracking = control->IsHotTrackAllowed();
  const bool focused = control->IsFocusedOrEditing();
  TcxCanvas* canvas = view_info.Canvas();
  const Integer row_height = view_info.RowHeight();
  TcxCustomEditStyle* style = view_info.ValueStyle();
  const TcxCustomFilterEditHelper* helper = Helper();
  for (std::size_t i = 0; i < values_.size(); ++i) {
    TcxValueInfo& value = values_[i];
    const bool null = VarIsNull(value.Value);
    TcxCustomEditProperties* properties = null || !properties_ ? control->GetDefaultProperties() : properties_.get();
    Variant shown;
    if (null)
      shown = control->NullString();
    else if (helper->FilterUsesDisplayText())
      shown = value.ValueText;
    else
      shown = value.Value;
    const Integer number = Integer(i);
    const bool active =
        hot_tracking &&
        ((hot.RowInfo == this && hot.Code == fchValue && hot.ValueNumber == number && control->EditMode() == fcemNone) ||
         (focused && focus.RowInfo == this && focus.Code == fchValue && focus.ValueNumber == number));
    style->SetFont(value_font);
    style->SetTextColor(view_info.Enabled() ? value_font->Color() : clBtnShadow);
    style->SetButtonTransparency(active ? ebtNone : ebtHideInactive);
    style->SetColor(active ? clWindow : control->Color());
    std::unique_ptr<TcxCustomEditViewData> data(properties->CreateViewData(style, true));
    const TcxCustomFilterEditHelper* own = FilterEditHelper(FilterEditsController()->LookupHelper(properties->ClassType()));
    if (!own || !own->KeepsButtons()) data->ButtonVisibleCount = 0;
    data->Enabled = view_info.Enabled();
    TSize size;
    MeasureEditValueExtent(data.get(), canvas, shown, TcxEditSizeProperties{-1, 1, -1}, nullptr, size);
    Integer width = active ? std::max(size.cx, view_info.MinValueWidth()) : size.cx;
    value.ValueRect = Bounds(pen, RowRect.Top + (row_height - size.cy) / 2, width, size.cy);
    value.ViewInfo.reset(properties->CreateViewInfo());
    data->FillDisplayText(canvas, shown, value.ViewInfo.get());
    data->CalculateViewInfo(canvas, value.ValueRect, TPoint(-1, -1), 0, TShiftState(), value.ViewInfo.get(), false);
    pen += IsPairCode(operator_) || IsListCode(operator_) ? width + separator_width + 8 : width + 4;
  }
  if (IsListCode(operator_) && !values_.empty()) {
    const Integer height = row_height - 4;
    AddValueRect = Bounds(values_.back().ValueRect.Right + view_info.TextSize(value_font, ")0").cx,
                          RowRect.Top + (row_height - height) / 2, view_info.TextSize(value_font, "000").cx, height);
    if (!view_info.Enabled())
      AddValueState = cxbsDisabled;
    else if (focus.RowInfo == this && focus.Code == fchAddValue)
      AddValueState = cxbsDefault;
    else if (hot_tracking && hot.RowInfo == this && hot.Code == fchAddValue)
      AddValueState = cxbsHot;
    else
      AddValueState = cxbsNormal;
  }
}

// ---- the view info ------------------------------------------------------------------------------

TcxFilterControlViewInfo::TcxFilterControlViewInfo(TcxCustomFilterControl* control)
    : control_(control), bitmap_(std::make_unique<TBitmap>()) {
  canvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
}

TcxFilterControlViewInfo::~TcxFilterControlViewInfo() = default;

TRect TcxFilterControlViewInfo::ContentRect() const {
  TRect r;
  control_->ContentBounds(r);
  return r;
}

TSize TcxFilterControlViewInfo::TextSize(TFont* font, const String& text) {
  canvas_->CurrentFont()->Assign(font);
  return canvas_->MeasureTextSize(text);
}

TRect TcxFilterControlViewInfo::TextRect(TFont* font, const String& text, Integer left, const TRect& row) {
  TSize size = TextSize(font, text);
  size.cx += 2;
  size.cy += 2;
  return Bounds(left, row.Top + (row.Height() - size.cy) / 2, size.cx, size.cy);
}

TcxCustomEditStyle* TcxFilterControlViewInfo::ValueStyle() { return control_->valueStyle_.get(); }

void TcxFilterControlViewInfo::Calculate() {
  const Integer width = std::max<Integer>(control_->Width(), 1), height = std::max<Integer>(control_->Height(), 1);
  if (bitmap_->Width() != width || bitmap_->Height() != height) bitmap_->SetSize(width, height);
  enabled_ = control_->HasItems() && control_->Enabled();
  // One small canvas per font keeps that font selected and resolved: every copy of it that
  // the layout and the painting select then finds its face loaded instead of loading it again.
  {
    TFont* fonts[] = {control_->Font(), control_->FontBoolOperator(), control_->FontItem(), control_->FontCondition(),
                      control_->FontValue()};
    keepAlive_.resize(std::size(fonts));
    for (std::size_t i = 0; i < std::size(fonts); ++i) {
      if (!keepAlive_[i]) {
        keepAlive_[i] = std::make_unique<TBitmap>();
        keepAlive_[i]->SetSize(1, 1);
      }
      TCanvas* canvas = keepAlive_[i]->Canvas();
      if (!canvas->Font()->IsEqual(*fonts[i])) {
        canvas->Font()->Assign(fonts[i]);
        canvas->TextWidth("0");
      }
    }
  }
  // Row height: the tallest "Qq" of the texts' fonts and the value height, times 3/2.
  Integer text_height = TextSize(control_->Font(), "Qq").cy;
  for (TFont* font : {control_->FontBoolOperator(), control_->FontItem(), control_->FontCondition()})
    text_height = std::max(text_height, TextSize(font, "Qq").cy);
  {
    TcxCustomEditStyle* style = ValueStyle();
    style->SetFont(control_->FontValue());
    std::unique_ptr<TcxCustomEditViewData> data(control_->GetDefaultProperties()->CreateViewData(style, true));
    TSize size;
    MeasureEditValueExtent(data.get(), canvas_.get(), String("Yy"), TcxEditSizeProperties{-1, 1, 10}, nullptr, size);
    text_height = std::max(text_height, size.cy);
  }
  rowHeight_ = Integer(std::lround(text_height * 3.0 / 2.0));
  minValueWidth_ = 12 * TextSize(control_->Font(), "0").cx;

  const TRect content = ContentRect();
  TRect bounds(content.Left - control_->LeftOffset(), content.Top, content.Right, content.Top + rowHeight_);
  bounds.Top -= control_->TopRow() * rowHeight_;
  bounds.Bottom -= control_->TopRow() * rowHeight_;
  maxRowWidth_ = 0;
  const auto& rows = control_->RowList();
  for (TcxCustomRowViewInfo* row : rows) {
    row->Calculate(*this, bounds);
    maxRowWidth_ = std::max(maxRowWidth_, row->RowWidth());
    bounds.Top += rowHeight_;
    bounds.Bottom += rowHeight_;
  }
  addConditionCaption_ = LoadReplaceableResString(cxSFilterFooterAddCondition);
  const Integer indent = rows.empty() ? 0 : rows.back()->Indent;
  const Integer button_width = TextSize(control_->Font(), addConditionCaption_ + "00").cx;
  const Integer button_height = rowHeight_ - 4;
  addConditionRect_ = Bounds(bounds.Left + indent + 4, bounds.Top + (rowHeight_ - button_height) / 2, button_width,
                             button_height);
  maxRowWidth_ = std::max(maxRowWidth_, button_width + indent + 4);
  CalcAddConditionState();
  CalcFocusRect();
}

void TcxFilterControlViewInfo::CalculateRow(TcxCustomRowViewInfo* row) { row->Calculate(*this, row->RowRect); }

void TcxFilterControlViewInfo::CalcAddConditionState() {
  if (!enabled_)
    addConditionState_ = cxbsDisabled;
  else if (control_->FocusInfo().Code == fchAddCondition)
    addConditionState_ = cxbsDefault;
  else if (control_->IsHotTrackAllowed() && control_->HotInfo().Code == fchAddCondition)
    addConditionState_ = cxbsHot;
  else
    addConditionState_ = cxbsNormal;
}

void TcxFilterControlViewInfo::CalcFocusRect() {
  focusRect_ = TRect();
  if (!control_->HasItems()) {
    focusRect_ = GrowRect(ContentRect(), -2, -2);
    return;
  }
  const TcxFilterControlHitInfo& focus = control_->FocusInfo();
  TcxCustomRowViewInfo* row = focus.RowInfo;
  if (!row) return;
  auto* group = row->IsGroup() ? static_cast<TcxGroupViewInfo*>(row) : nullptr;
  auto* condition = row->IsGroup() ? nullptr : static_cast<TcxConditionViewInfo*>(row);
  switch (focus.Code) {
    case fchBoolOperator:
      if (group) focusRect_ = group->BoolOperatorRect;
      break;
    case fchItem:
      if (condition) focusRect_ = condition->ItemRect;
      break;
    case fchOperator:
      if (condition) focusRect_ = condition->OperatorRect;
      break;
    case fchValue:
      if (condition && focus.ValueNumber >= 0 && focus.ValueNumber < Integer(condition->Values().size()))
        focusRect_ = condition->Values()[std::size_t(focus.ValueNumber)].ValueRect;
      break;
    default: return;
  }
  if (!focusRect_.IsEmpty()) focusRect_ = GrowRect(focusRect_, 1, 1);
}

void TcxFilterControlViewInfo::GetHitInfo(const TPoint& p, TShiftState shift, TcxFilterControlHitInfo& info) {
  info = TcxFilterControlHitInfo();
  info.Pos = p;
  info.ShiftState = shift;
  info.RowInfo = control_->FocusInfo().RowInfo ? control_->FocusInfo().RowInfo : control_->Root();
  const TRect content = ContentRect();
  if (!content.Contains(p)) return;
  if (addConditionRect_.Contains(p)) {
    info.Code = fchAddCondition;
    return;
  }
  const auto& rows = control_->RowList();
  for (std::size_t i = std::size_t(std::max(0, control_->TopRow())); i < rows.size(); ++i) {
    TcxCustomRowViewInfo* row = rows[i];
    if (row->RowRect.Top > content.Bottom) break;
    if (!row->RowRect.Contains(p)) continue;
    info.RowInfo = row;
    row->GetHitInfo(p, info);
    return;
  }
}

// ---- painting -----------------------------------------------------------------------------------

void TcxFilterControlViewInfo::PaintText(const String& text, TFont* font, const TRect& r, Integer dx) {
  TCanvas* canvas = canvas_->Canvas();
  canvas->Font()->Assign(font);
  canvas->Brush()->SetStyle(bsClear);
  const Integer x = r.Left + dx, y = r.Top + 1;
  if (!enabled_) {
    canvas->Font()->SetColor(clBtnHighlight);
    canvas->TextOut(x + 1, y + 1, text);
    canvas->Font()->SetColor(clBtnShadow);
  }
  canvas->TextOut(x, y, text);
  canvas->Brush()->SetStyle(bsSolid);
}

void TcxFilterControlViewInfo::PaintDotted(const TRect& r) {
  if (r.IsEmpty()) return;
  HDC dc = canvas_->DeviceContext();
  const COLORREF text = SetTextColor(dc, ColorToRGB(control_->Color()));
  const COLORREF back = SetBkColor(dc, ColorToRGB(cl3DDkShadow));
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  FillRect(dc, &rect, DottedBrush());
  SetTextColor(dc, text);
  SetBkColor(dc, back);
}

void TcxFilterControlViewInfo::PaintLevelLines(TcxCustomRowViewInfo* row) {
  TcxGroupViewInfo* parent = row->Parent();
  if (!parent) return;
  const TRect& bounds = row->RowRect;
  const Integer x = parent->ButtonRect.Left + row->ButtonRect.Width() / 2;
  const Integer h = rowHeight_ / 2;
  PaintDotted(Bounds(x, bounds.Top, 1, h));
  if (!row->IsLast()) PaintDotted(Bounds(x, bounds.Top + h, 1, h + 1));
  PaintDotted(TRect(x, bounds.Top + h, row->ButtonRect.Left - 3, bounds.Top + h + 1));
  for (TcxGroupViewInfo* a = parent; a->Parent(); a = a->Parent())
    if (!a->IsLast()) {
      const Integer ax = a->Parent()->ButtonRect.Left + row->ButtonRect.Width() / 2;
      PaintDotted(TRect(ax, bounds.Top, ax + 1, bounds.Bottom));
    }
}

void TcxFilterControlViewInfo::PaintRow(TcxCustomRowViewInfo* row) {
  TcxCustomLookAndFeelPainterClass painter = control_->CurrentPainter();
  canvas_->FillRectColor(row->RowRect, control_->Color());
  canvas_->CurrentFont()->Assign(control_->Font());
  painter->PaintButton(canvas_.get(), row->ButtonRect, row->ButtonText(), row->ButtonState);
  if (row->IsGroup()) {
    auto* group = static_cast<TcxGroupViewInfo*>(row);
    PaintText(group->Caption(), control_->Font(), group->CaptionRect, 0);
    PaintText(group->BoolOperatorText(), control_->FontBoolOperator(), group->BoolOperatorRect, 1);
  } else {
    auto* condition = static_cast<TcxConditionViewInfo*>(row);
    PaintText(condition->ItemText(), control_->FontItem(), condition->ItemRect, 1);
    PaintText(condition->OperatorText(), control_->FontCondition(), condition->OperatorRect, 1);
    if (condition->HasValues()) {
      const auto& values = condition->Values();
      const TcxFilterControlOperator op = condition->Operator();
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i].ViewInfo) values[i].ViewInfo->PaintTo(canvas_.get());
        if (i + 1 == values.size()) continue;
        const TRect& r = values[i].ValueRect;
        if (IsPairCode(op))
          PaintText(condition->Separator, control_->FontCondition(), TRect(r.Right + 4, r.Top, r.Right + 4, r.Top), 0);
        else if (IsListCode(op))
          PaintText(condition->Separator, control_->FontValue(), TRect(r.Right + 2, r.Top, r.Right + 2, r.Top), 0);
      }
      if (IsListCode(op) && !values.empty()) {
        const TRect& op_rect = condition->OperatorRect;
        PaintText("(", control_->FontValue(), TRect(op_rect.Right + 4, op_rect.Top - 1, 0, 0), 0);
        const TRect& last = values.back().ValueRect;
        PaintText(")", control_->FontValue(), TRect(last.Right + 3, last.Top, 0, 0), 0);
        canvas_->CurrentFont()->Assign(control_->Font());
        painter->PaintButton(canvas_.get(), condition->AddValueRect, "+", condition->AddValueState);
      }
    }
  }
  if (control_->ShowLevelLines() && row->Level() > 0) PaintLevelLines(row);
}

void TcxFilterControlViewInfo::Paint(TCanvas* target, const TRect& clip) {
  paintedRows_ = 0;
  const TRect content = ContentRect();
  canvas_->FillRectColor(content, control_->Color());
  const auto& rows = control_->RowList();
  for (std::size_t i = std::size_t(std::max(0, control_->TopRow())); i < rows.size(); ++i) {
    TcxCustomRowViewInfo* row = rows[i];
    TRect visible;
    if (IntersectRectsOrEmpty(visible, row->RowRect, clip)) {
      PaintRow(row);
      ++paintedRows_;
    }
    if (row->RowRect.Top > content.Bottom) break;
  }
  TcxCustomLookAndFeelPainterClass painter = control_->CurrentPainter();
  canvas_->CurrentFont()->Assign(control_->Font());
  painter->PaintButton(canvas_.get(), addConditionRect_, addConditionCaption_, addConditionState_);
  if (!focusRect_.IsEmpty() && control_->IsFocusedOrEditing()) canvas_->DrawFocusFrame(focusRect_);
  TRect bounds;
  control_->ControlBounds(bounds);
  painter->PaintControlBorder(canvas_.get(), bounds);
  const TRect whole(0, 0, bitmap_->Width(), bitmap_->Height());
  target->CopyRect(whole, bitmap_->Canvas(), whole);
}
