// The filter box options and the filter box bar with its buttons.
#include "grid/cxGridFilterBox.h"

#include <algorithm>
#include <cmath>

#include "data/cxCustomDataInternal.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridFilterPopup.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using cxdata_internal::Finally;

KORVAN_IMPLEMENT_CLASS(TcxGridFilterHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterActivateButtonHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterCloseButtonHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterDropDownButtonHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterCustomizeButtonHitTest)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridFilterButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterCloseButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterActivateButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterCustomizeButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterDropDownButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterButtonsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridFilterButtonPainter)

namespace {

const TcxResourceStringRec scxGridFilterIsEmpty{"scxGridFilterIsEmpty", "<Filter is Empty>"};
const TcxResourceStringRec scxGridFilterCustomizeButtonCaption{"scxGridFilterCustomizeButtonCaption",
                                                                "Customize..."};

TcxCustomGridTableView* TableViewOf(TcxCustomGridViewInfo* info) {
  return static_cast<TcxCustomGridTableView*>(info->GridView());
}

}  // namespace

String GridFilterIsEmptyText() { return LoadReplaceableResString(scxGridFilterIsEmpty); }

PTypeInfo GridFilterPositionTypeInfo() { return EnumTypeInfo("TcxGridFilterPosition", {"fpTop", "fpBottom"}); }
PTypeInfo GridFilterVisibleTypeInfo() {
  return EnumTypeInfo("TcxGridFilterVisible", {"fvNever", "fvNonEmpty", "fvAlways"});
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridFilterBox) {
  using F = TcxGridFilterBox;
  p.Bool("CustomizeDialog", &F::CustomizeDialog, &F::SetCustomizeDialog).Default(true);
  p.Int("MRUItemsListDropDownCount", &F::MRUItemsListDropDownCount, &F::SetMRUItemsListDropDownCount).Default(0);
  p.Enum("Position", &F::Position, &F::SetPosition, GridFilterPositionTypeInfo()).Default(fpBottom);
  p.Enum("Visible", &F::Visible, &F::SetVisible, GridFilterVisibleTypeInfo()).Default(fvNonEmpty);
}

// ---- options ------------------------------------------------------------------------------------------

void TcxGridFilterBox::SetPosition(TcxGridFilterPosition v) {
  if (position_ == v) return;
  position_ = v;
  // The part's list place follows the position: the view infos are made anew.
  if (GridView()) GridView()->Changed(2);
}

void TcxGridFilterBox::SetVisible(TcxGridFilterVisible v) {
  if (visible_ == v) return;
  visible_ = v;
  Changed(2);
}

void TcxGridFilterBox::SetCustomizeDialog(bool v) {
  if (customizeDialog_ == v) return;
  customizeDialog_ = v;
  Changed(2);
}

void TcxGridFilterBox::SetMRUItemsListDropDownCount(Integer v) { mruItemsListDropDownCount_ = std::max<Integer>(v, 0); }

void TcxGridFilterBox::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridFilterBox*>(source)) {
    position_ = s->position_;
    visible_ = s->visible_;
    customizeDialog_ = s->customizeDialog_;
    mruItemsListDropDownCount_ = s->mruItemsListDropDownCount_;
    Changed(2);
  }
  TcxCustomGridOptions::AssignFrom(source);
}

TcxGridFilterBox* TcxCustomGridTableView::FilterBox() const {
  if (!filterBox_) filterBox_ = new TcxGridFilterBox(const_cast<TcxCustomGridTableView*>(this));
  return filterBox_;
}

void TcxCustomGridTableView::SetFilterBox(TcxGridFilterBox* v) { FilterBox()->AssignFrom(v); }

// ---- buttons ----------------------------------------------------------------------------------------------

TcxCustomGridFilterButtonViewInfo::TcxCustomGridFilterButtonViewInfo(TcxGridFilterButtonsViewInfo* buttons)
    : TcxCustomGridViewCellViewInfo(buttons->FilterViewInfo()->GridViewInfo()), buttons_(buttons) {
  Visible = false;
}

TcxGridFilterViewInfo* TcxCustomGridFilterButtonViewInfo::FilterViewInfo() const {
  return buttons_->FilterViewInfo();
}

TcxDataFilterCriteria* TcxCustomGridFilterButtonViewInfo::Filter() const { return FilterViewInfo()->Filter(); }

TcxCanvas* TcxCustomGridFilterButtonViewInfo::GetCanvas() { return FilterViewInfo()->GetCanvas(); }

bool TcxCustomGridFilterButtonViewInfo::IsButtonVisible() { return Filter() && !Filter()->IsEmpty(); }

TPoint TcxGridFilterCloseButtonViewInfo::GetSize() {
  return GridViewInfo()->GetLookAndFeelPainter()->FilterCloseButtonExtent();
}

TcxCustomGridCellPainterClass TcxGridFilterCloseButtonViewInfo::GetPainterClass() {
  return TcxGridFilterButtonPainter::StaticClass();
}

void TcxGridFilterCloseButtonViewInfo::Click() {
  if (TcxDataFilterCriteria* filter = Filter()) filter->RemoveAllItems();
}

TPoint TcxGridFilterActivateButtonViewInfo::GetSize() {
  return GridViewInfo()->GetLookAndFeelPainter()->FilterActivateButtonExtent();
}

TcxCustomGridCellPainterClass TcxGridFilterActivateButtonViewInfo::GetPainterClass() {
  return TcxGridFilterButtonPainter::StaticClass();
}

void TcxGridFilterActivateButtonViewInfo::Click() {
  if (TcxDataFilterCriteria* filter = Filter()) filter->SetActive(!filter->Active());
}

String TcxGridFilterCustomizeButtonViewInfo::GetText() {
  return LoadReplaceableResString(scxGridFilterCustomizeButtonCaption);
}

TPoint TcxGridFilterCustomizeButtonViewInfo::GetSize() {
  TcxCanvas* canvas = GetCanvas();
  TcxStyleParams params;
  FilterViewInfo()->GetViewParams(params);
  if (params.Font) canvas->ApplyFont(params.Font);
  const TSize text = canvas->MeasureTextSize(GetText());
  const Integer border = 2 * GridViewInfo()->GetLookAndFeelPainter()->ButtonFrameWidth();
  return TPoint(AddTextMargins(text.cx) + border, AddTextMargins(text.cy) + border);
}

bool TcxGridFilterCustomizeButtonViewInfo::IsButtonVisible() {
  return TableViewOf(GridViewInfo())->FilterBox()->CustomizeDialog();
}

TcxCustomGridCellPainterClass TcxGridFilterCustomizeButtonViewInfo::GetPainterClass() {
  return TcxGridFilterButtonPainter::StaticClass();
}

void TcxGridFilterCustomizeButtonViewInfo::Click() { TableViewOf(GridViewInfo())->ShowFilterCustomizeDialog(); }

TPoint TcxGridFilterDropDownButtonViewInfo::GetSize() {
  // As wide as the look and feel's drop-down button, as high as a scroll bar arrow.
  const TPoint extent = GridViewInfo()->GetLookAndFeelPainter()->FilterDropDownButtonExtent();
  return TPoint(extent.X, extent.Y != 0 ? extent.Y : GetSystemMetrics(SM_CYHSCROLL));
}

bool TcxGridFilterDropDownButtonViewInfo::IsButtonVisible() { return TableViewOf(GridViewInfo())->HasFilterMRUItems(); }

TcxCustomGridCellPainterClass TcxGridFilterDropDownButtonViewInfo::GetPainterClass() {
  return TcxGridFilterButtonPainter::StaticClass();
}

IcxCustomGridPopup* TcxGridFilterDropDownButtonViewInfo::GetPopup() {
  auto* controller = dynamic_cast<TcxCustomGridTableController*>(TableViewOf(GridViewInfo())->Controller());
  return controller && controller->HasFilterMRUItemsPopup() ? controller->FilterMRUItemsPopup() : nullptr;
}

void TcxGridFilterDropDownButtonViewInfo::Click() { TableViewOf(GridViewInfo())->ShowFilterMRUItemsPopup(); }

TcxGridFilterButtonsViewInfo::TcxGridFilterButtonsViewInfo(TcxGridFilterViewInfo* filterViewInfo)
    : filterViewInfo_(filterViewInfo) {
  items_.push_back(new TcxGridFilterCloseButtonViewInfo(this));
  items_.push_back(new TcxGridFilterActivateButtonViewInfo(this));
  items_.push_back(new TcxGridFilterCustomizeButtonViewInfo(this));
  dropDownButton_ = new TcxGridFilterDropDownButtonViewInfo(this);
  items_.push_back(dropDownButton_);
}

TcxGridFilterButtonsViewInfo::~TcxGridFilterButtonsViewInfo() {
  for (TcxCustomGridFilterButtonViewInfo* item : items_) delete item;
}

Integer TcxGridFilterButtonsViewInfo::GetHeight() {
  Integer h = -1;
  for (TcxCustomGridFilterButtonViewInfo* item : items_)
    if (item->IsButtonVisible()) h = std::max(h, item->GetSize().Y);
  return h == -1 ? 0 : h + 8;
}

Integer TcxGridFilterButtonsViewInfo::GetSideWidth(bool left) {
  Integer w = 0;
  for (TcxCustomGridFilterButtonViewInfo* item : items_)
    if (item->IsButtonVisible() && item->IsLeftAligned() == left) w += item->GetSize().X + 4;
  return w == 0 ? 0 : w + 4;
}

void TcxGridFilterButtonsViewInfo::Calculate(const TRect& bounds) {
  Integer left = bounds.Left + 4, right = bounds.Right - 4;
  for (TcxCustomGridFilterButtonViewInfo* item : items_) {
    item->ResetCalculated();
    item->Visible = item->IsButtonVisible();
    if (!item->Visible) continue;
    const TPoint size = item->GetSize();
    // Centred: half the difference, rounded to the nearest pixel.
    const Integer top = Integer(std::lround((bounds.Top + bounds.Bottom - size.Y) / 2.0));
    if (item->IsLeftAligned()) {
      item->CalculateAt(left, top, size.X, size.Y);
      left = item->Bounds.Right + 4;
    } else {
      item->CalculateAt(right - size.X, top, size.X, size.Y);
      right = item->Bounds.Left - 4;
    }
  }
}

TcxCustomGridHitTest* TcxGridFilterButtonsViewInfo::GetHitTest(const TPoint& p) {
  for (TcxCustomGridFilterButtonViewInfo* item : items_)
    if (item->Visible && item->Calculated())
      if (TcxCustomGridHitTest* h = item->GetHitTest(p)) return h;
  return nullptr;
}

void TcxGridFilterButtonsViewInfo::OffsetBounds(Integer dx, Integer dy) {
  for (TcxCustomGridFilterButtonViewInfo* item : items_)
    if (item->Calculated()) item->OffsetBounds(dx, dy);
}

void TcxGridFilterButtonsViewInfo::Paint(TcxCanvas* canvas) {
  for (TcxCustomGridFilterButtonViewInfo* item : items_)
    if (item->Visible && item->Calculated()) item->Paint(canvas);
}

// ---- the bar ----------------------------------------------------------------------------------------------

TcxGridFilterViewInfo::TcxGridFilterViewInfo(TcxCustomGridViewInfo* gridViewInfo)
    : TcxCustomGridPartViewInfo(gridViewInfo), buttons_(nullptr) {
  buttons_ = new TcxGridFilterButtonsViewInfo(this);
}

TcxGridFilterViewInfo::~TcxGridFilterViewInfo() { delete buttons_; }

TcxDataFilterCriteria* TcxGridFilterViewInfo::Filter() const {
  TcxCustomDataController* dc = GridView()->DataController();
  return dc ? dc->Filter() : nullptr;
}

TcxCanvas* TcxGridFilterViewInfo::GetCanvas() { return GridTableMeasuringCanvas(GridViewInfo()); }

TcxGridPartAlignment TcxGridFilterViewInfo::GetPartAlignment() {
  return TableViewOf(GridViewInfo())->FilterBox()->Position() == fpTop ? gpaTop : gpaBottom;
}

bool TcxGridFilterViewInfo::IsPartVisible() {
  switch (TableViewOf(GridViewInfo())->FilterBox()->Visible()) {
    case fvAlways: return true;
    case fvNonEmpty: return Filter() && !Filter()->IsEmpty();
    default: return false;
  }
}

Integer TcxGridFilterViewInfo::CalculateHeight() {
  EnsureTextAndParams();
  const Integer text = GridViewInfo()->GetFontHeight(Params.Font) + 2 * 2;
  return std::max(text + 6, buttons_->GetHeight());
}

void TcxGridFilterViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridPartViewInfo::CalculateAt(left, top, width, height);
  buttons_->Calculate(Bounds);
  // The drop-down button follows a short text.
  TcxGridFilterDropDownButtonViewInfo* dropDown = buttons_->DropDownButton();
  if (dropDown->Visible && dropDown->Calculated()) {
    const Integer wanted = TextRight() + 9;
    if (wanted < dropDown->Bounds.Left) dropDown->OffsetBounds(wanted - dropDown->Bounds.Left, 0);
  }
}

void TcxGridFilterViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridPartViewInfo::OffsetBounds(dx, dy);
  buttons_->OffsetBounds(dx, dy);
}

String TcxGridFilterViewInfo::GetText() {
  TcxDataFilterCriteria* filter = Filter();
  String text = filter ? filter->FilterCaptionText() : String();
  return text.empty() ? GridFilterIsEmptyText() : text;
}

TRect TcxGridFilterViewInfo::GetTextAreaBounds() {
  TRect r = GrowRect(ContentBounds(), -2, -2);
  r.Left += buttons_->GetSideWidth(true);
  r.Right -= buttons_->GetSideWidth(false);
  return GrowRect(r, -3, 0);
}

Integer TcxGridFilterViewInfo::TextRight() {
  EnsureTextAndParams();
  const TRect area = GetTextAreaBounds();
  return std::min(area.Right, area.Left + CalculateTextWidth());
}

void TcxGridFilterViewInfo::GetViewParams(TcxStyleParams& params) {
  TableViewOf(GridViewInfo())->TableStyles()->ResolveViewParams(TcxCustomGridTableViewStyles::vsFilterBox, nullptr,
                                                                nullptr, params);
}

TBitmap* TcxGridFilterViewInfo::GetBackgroundBitmap() {
  auto* bitmaps = dynamic_cast<TcxCustomGridTableBackgroundBitmaps*>(GridView()->BackgroundBitmaps());
  TBitmap* b = bitmaps ? bitmaps->FilterBox() : nullptr;
  return b && !b->Empty() ? b : nullptr;
}

TClass TcxGridFilterViewInfo::GetHitTestClass() { return TcxGridFilterHitTest::StaticClass(); }

TcxCustomGridCellPainterClass TcxGridFilterViewInfo::GetPainterClass() {
  return TcxGridFilterPainter::StaticClass();
}

TcxCustomGridHitTest* TcxGridFilterViewInfo::GetHitTest(const TPoint& p) {
  if (!Visible || !Bounds.Contains(p)) return nullptr;
  if (TcxCustomGridHitTest* h = buttons_->GetHitTest(p)) return h;
  return TcxCustomGridPartViewInfo::GetHitTest(p);
}

bool TcxGridFilterViewInfo::IsHotTrackable() { return buttons_->DropDownButton()->IsButtonVisible(); }

bool TcxGridFilterViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  if (button != mbLeft || !IsHotTrackable() || hitTest->ViewInfo() != this) return false;
  // Pressing the text presses the drop-down button, which opens the recent filters.
  buttons_->DropDownButton()->Click();
  return true;
}

// ---- painters ----------------------------------------------------------------------------------------------

void TcxGridFilterPainter::DrawText() {
  auto* bar = static_cast<TcxGridFilterViewInfo*>(ViewInfo());
  // A hot or pressed text draws underlined while it opens the recent filters.
  TFont* font = bar->Params.Font;
  const bool underline = bar->IsHotTrackable() && bar->State() != gcsNone && font &&
                         !font->Style().Contains(fsUnderline);
  if (!underline) {
    TcxCustomGridCellPainter::DrawText();
    return;
  }
  const TFontStyles saved = font->Style();
  TFontStyles styles = saved;
  styles.Include(fsUnderline);
  font->SetStyle(styles);
  Finally restore{[&] { font->SetStyle(saved); }};
  TcxCustomGridCellPainter::DrawText();
}

void TcxGridFilterPainter::DrawContent() {
  TcxCustomGridCellPainter::DrawContent();
  static_cast<TcxGridFilterViewInfo*>(ViewInfo())->ButtonsViewInfo()->Paint(Canvas());
}

void TcxGridFilterButtonPainter::DrawContent() {
  auto* button = static_cast<TcxCustomGridFilterButtonViewInfo*>(ViewInfo());
  TcxCustomLookAndFeelPainterClass painter = button->GridViewInfo()->GetLookAndFeelPainter();
  const TRect r = button->Bounds;
  const TcxButtonState state = button->ButtonState();
  TcxDataFilterCriteria* filter = button->Filter();
  if (dynamic_cast<TcxGridFilterCloseButtonViewInfo*>(button)) {
    painter->PaintFilterCloseButton(Canvas(), r, state);
  } else if (dynamic_cast<TcxGridFilterActivateButtonViewInfo*>(button)) {
    painter->PaintFilterActivateButton(Canvas(), r, state, filter && filter->Active());
  } else if (dynamic_cast<TcxGridFilterDropDownButtonViewInfo*>(button)) {
    painter->PaintFilterDropDownButton(Canvas(), r, state, filter && filter->Active());
  } else {
    TcxStyleParams params;
    button->FilterViewInfo()->GetViewParams(params);
    if (params.Font) Canvas()->ApplyFont(params.Font);
    painter->PaintButton(Canvas(), r, button->GetText(), state);
  }
}

namespace {
struct TFilterBoxPainterRegistration {
  TFilterBoxPainterRegistration() {
    RegisterGridCellPainterFactory(TcxGridFilterPainter::StaticClass(),
                                   [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                     return new TcxGridFilterPainter(c, v);
                                   });
    RegisterGridCellPainterFactory(TcxGridFilterButtonPainter::StaticClass(),
                                   [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) -> TcxCustomGridCellPainter* {
                                     return new TcxGridFilterButtonPainter(c, v);
                                   });
  }
} filterBoxPainterRegistration;
}  // namespace
