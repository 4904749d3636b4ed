// The card view: rows, cards, options, the card layout in both directions with separators,
// card painting and the unit start.
#include "gridviews/cxGridCardView.h"

#include <algorithm>

#include "editors/cxTextEdit.h"
#include "foundation/cxGeometry.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "gridviews/cxGridViewPropertyUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Forms.h"
#include "rtl/Variants.h"

KORVAN_IMPLEMENT_CLASS(TcxGridCardScrollButtonUpHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCardScrollButtonDownHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowCellHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowCaptionHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCardSizingObject)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowDataViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowFilterButtonHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowFilterButtonViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridCardsViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewSeparatorHitTest)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewViewData)
KORVAN_IMPLEMENT_CLASS(TcxGridCardViewController)

// ---- published properties ------------------------------------------------------------------------

namespace {
PTypeInfo RowKindType() { return EnumTypeInfo("TcxGridCardViewRowKind", {"rkData", "rkCaption"}); }
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewRowOptions) {
  using O = TcxGridCardViewRowOptions;
  p.Bool("Moving", &O::Moving, &O::SetMoving).Default(true);
  p.Bool("ShowCaption", &O::ShowCaption, &O::SetShowCaption).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewRowStyles) {
  using S = TcxGridCardViewRowStyles;
  p.Object("Caption", &S::Caption, &S::SetCaption, TcxStyle::StaticClass());
  p.Object("CaptionRow", &S::CaptionRow, &S::SetCaptionRow, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewRow) {
  using R = TcxGridCardViewRow;
  p.Enum("CaptionAlignmentHorz", &R::GetCaptionAlignmentHorz, &R::SetCaptionAlignmentHorz, AlignmentTypeInfo())
      .Stored(&R::IsHeaderAlignmentHorzAssigned);
  p.Enum("CaptionAlignmentVert", &R::GetCaptionAlignmentVert, &R::SetCaptionAlignmentVert,
         cxgridviews_internal::AlignmentVertType())
      .Stored(&R::IsHeaderAlignmentVertAssigned);
  p.Bool("Hidden", &R::Hidden, &R::SetHidden).Default(false);
  p.Enum("Kind", &R::Kind, &R::SetKind, RowKindType()).Default(rkData);
  p.Object("Options", &R::GetOptions, &R::SetOptionsObject, TcxGridCardViewRowOptions::StaticClass());
  p.Int("SortIndex", &R::SortIndex, &R::SetSortIndex).Default(-1);
  p.Enum("SortOrder", &R::SortOrder, &R::SetSortOrder, cxgridviews_internal::SortOrderType())
      .Stored(&R::IsSortOrderStored);
  p.Object("Styles", &R::GetStyles, &R::SetStylesObject, TcxGridCardViewRowStyles::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewOptionsView) {
  using O = TcxGridCardViewOptionsView;
  p.Char("CaptionSeparator", &O::CaptionSeparator, &O::SetCaptionSeparator).Default(':');
  p.Int("CaptionWidth", &O::CaptionWidth, &O::SetCaptionWidth).Default(0);
  p.Int("CardBorderWidth", &O::CardBorderWidth, &O::SetCardBorderWidth).Default(2);
  p.Enum("CardExpandButtonAlignment", &O::CardExpandButtonAlignment, &O::SetCardExpandButtonAlignment,
         EnumTypeInfo("TcxGridCardExpandButtonAlignment", {"cebaLeft", "cebaRight"}))
      .Default(cebaRight);
  p.Int("CardWidth", &O::CardWidth, &O::SetCardWidth).Default(200);
  p.Bool("CellAutoHeight", &O::CellAutoHeight, &O::SetCellAutoHeight).Default(false);
  p.Int("CellTextMaxLineCount", &O::CellTextMaxLineCount, &O::SetCellTextMaxLineCount).Default(0);
  p.Bool("EmptyRows", &O::EmptyRows, &O::SetEmptyRows).Default(true);
  p.Bool("RowCaptionAutoHeight", &O::ItemCaptionAutoHeight, &O::SetItemCaptionAutoHeight).Default(false);
  p.Bool("RowCaptionEndEllipsis", &O::ItemCaptionEndEllipsis, &O::SetItemCaptionEndEllipsis).Default(false);
  p.Int("SeparatorColor", &O::SeparatorColor, &O::SetSeparatorColor).Default(clDefault);
  p.Int("SeparatorWidth", &O::SeparatorWidth, &O::SetSeparatorWidth).Default(2);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewOptionsBehavior) {
  using O = TcxGridCardViewOptionsBehavior;
  p.Bool("PullFocusing", &O::PullFocusing, &O::SetPullFocusing).Default(false);
  p.Bool("RowCaptionHints", &O::RowCaptionHints, &O::SetRowCaptionHints).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewOptionsCustomize) {
  using O = TcxGridCardViewOptionsCustomize;
  p.Bool("CardExpanding", &O::CardExpanding, &O::SetCardExpanding).Default(false);
  p.Bool("CardSizing", &O::CardSizing, &O::SetCardSizing).Default(true);
  p.Bool("RowFiltering", &O::ItemFiltering, &O::SetItemFiltering).Default(true);
  p.Bool("RowHiding", &O::ItemHiding, &O::SetItemHiding).Default(false);
  p.Bool("RowMoving", &O::ItemMoving, &O::SetItemMoving).Default(false);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewStyles) {
  using S = TcxGridCardViewStyles;
  p.Object("StyleSheet", &S::StyleSheet, &S::SetStyleSheet, TcxCustomStyleSheet::StaticClass());
  p.Object("CaptionRow", &S::CaptionRow, &S::SetCaptionRow, TcxStyle::StaticClass());
  p.Object("CardBorder", &S::CardBorder, &S::SetCardBorder, TcxStyle::StaticClass());
  p.Object("RowCaption", &S::RowCaption, &S::SetRowCaption, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewFiltering) {
  using F = TcxGridCardViewFiltering;
  p.Bool("RowMRUItemsList", &F::RowMRUItemsList, &F::SetRowMRUItemsList).Default(true);
  p.Int("RowMRUItemsListCount", &F::RowMRUItemsListCount, &F::SetRowMRUItemsListCount).Default(5);
  p.Int("RowPopupDropDownWidth", &F::RowPopupDropDownWidth, &F::SetRowPopupDropDownWidth).Default(0);
  p.Int("RowPopupMaxDropDownItemCount", &F::RowPopupMaxDropDownItemCount, &F::SetRowPopupMaxDropDownItemCount)
      .Default(15);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewStyleSheet) {
  using S = TcxGridCardViewStyleSheet;
  p.Object("Styles", &S::Styles, &S::SetStyles, TcxGridCardViewStyles::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardViewBackgroundBitmaps) {
  using B = TcxGridCardViewBackgroundBitmaps;
  p.Object("CaptionRow", &B::CaptionRow, &B::SetCaptionRow, TBitmap::StaticClass());
  p.Object("CardBorder", &B::CardBorder, &B::SetCardBorder, TBitmap::StaticClass());
  p.Object("RowCaption", &B::RowCaption, &B::SetRowCaption, TBitmap::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridCardView) {
  using V = TcxGridCardView;
  p.Object("BackgroundBitmaps", &V::GetBackgroundBitmaps, &V::SetBackgroundBitmapsObject,
           TcxGridCardViewBackgroundBitmaps::StaticClass());
  p.Object("DataController", &V::GetDataController, &V::SetDataControllerObject,
           TcxGridDataController::StaticClass());
  p.Object("Filtering", &V::GetFiltering, &V::SetFilteringObject, TcxGridCardViewFiltering::StaticClass());
  p.Enum("LayoutDirection", &V::LayoutDirection, &V::SetLayoutDirection,
         EnumTypeInfo("TcxGridCardViewLayoutDirection", {"ldHorizontal", "ldVertical"}))
      .Default(ldHorizontal);
  p.Object("OptionsBehavior", &V::GetOptionsBehavior, &V::SetOptionsBehaviorObject,
           TcxGridCardViewOptionsBehavior::StaticClass());
  p.Object("OptionsCustomize", &V::GetOptionsCustomize, &V::SetOptionsCustomizeObject,
           TcxGridCardViewOptionsCustomize::StaticClass());
  p.Object("OptionsData", &V::TableOptionsData, &V::SetOptionsDataObject, TcxCustomGridTableOptionsData::StaticClass());
  p.Object("OptionsSelection", &V::TableOptionsSelection, &V::SetOptionsSelectionObject,
           TcxCustomGridTableOptionsSelection::StaticClass());
  p.Object("OptionsView", &V::GetOptionsView, &V::SetOptionsViewObject, TcxGridCardViewOptionsView::StaticClass());
  p.Object("Styles", &V::GetStyles, &V::SetStylesObject, TcxGridCardViewStyles::StaticClass());
  p.Event("OnRowPosChanged", &V::OnRowPosChanged, "TcxGridCardRowEvent");
}

namespace {
// The gap between cards and around the cards area.
constexpr Integer kCardIndent = 7;

TcxCustomLookAndFeelPainterClass PainterOf(TcxCustomGridView* view) { return view->ViewInfo()->GetLookAndFeelPainter(); }

TFont* FontOr(TFont* font) { return font ? font : LazyScreenCanvas()->CurrentFont(); }
}  // namespace

// ---- rows --------------------------------------------------------------------------------------------

TcxGridCardView* TcxGridCardViewRow::CardView() const { return static_cast<TcxGridCardView*>(GridView()); }

namespace {
void ClearFocusedRow(TcxCustomGridView* view) {
  if (auto* controller = dynamic_cast<TcxCustomGridTableController*>(view->Controller())) controller->SetFocusedItem(nullptr);
}
}  // namespace

void TcxGridCardViewRow::SetKind(TcxGridCardViewRowKind v) {
  if (v == kind_) return;
  kind_ = v;
  if (!Visible()) return Changed(0);
  // A row that can no longer be focused gives up the focus.
  auto* controller = static_cast<TcxCustomGridTableController*>(GridView()->Controller());
  if (!CanFocus(nullptr) && controller->FocusedItem() == this) controller->SetFocusedItem(nullptr);
  Changed(2);
}

void TcxGridCardViewRow::AssignFrom(TcxCustomGridTableItem* source) {
  if (auto* s = dynamic_cast<TcxGridCardViewRow*>(source)) SetKind(s->kind_);
  TcxCustomGridTableItem::AssignFrom(source);
}

void TcxGridCardViewRowOptions::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridCardViewRowOptions*>(source)) SetShowCaption(s->showCaption_);
  TcxCustomGridTableItemOptions::AssignFrom(source);
}

void TcxGridCardViewOptionsBehavior::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridCardViewOptionsBehavior*>(source)) SetRowCaptionHints(s->rowCaptionHints_);
  TcxCustomGridTableOptionsBehavior::AssignFrom(source);
}

bool TcxGridCardViewRow::CanFocus(TcxCustomGridRecord* record) {
  if (kind_ == rkCaption) return false;
  if (auto* card = dynamic_cast<TcxGridCard*>(record); card && !IsVisibleInCard(card)) return false;
  return TcxCustomGridTableItem::CanFocus(record);
}

String TcxGridCardViewRow::GetVisibleCaption() const {
  String caption = Caption();
  char32_t separator = CardView()->GetOptionsView()->CaptionSeparator();
  if (separator != 0) AppendUtf8(caption, separator);
  return caption;
}

bool TcxGridCardViewRow::HasExpandButton() {
  TcxGridCardView* view = CardView();
  if (!view->GetOptionsCustomize()->CardExpanding() || kind_ != rkCaption) return false;
  for (Integer i = 0; i < view->GetVisibleRowCount(); ++i)
    if (view->GetVisibleRow(i)->Kind() == rkCaption) return view->GetVisibleRow(i) == this;
  return false;
}

void TcxGridCardViewRow::CheckHeight(Integer& height) {
  if (HasExpandButton())
    height = std::max(height, CardView()->ViewInfo()->GetLookAndFeelPainter()->GroupExpandButtonExtent());
}

bool TcxGridCardViewRow::IsVisibleInCard(TcxGridCard* card) {
  if (!Visible()) return false;
  if (kind_ == rkCaption) return true;
  if (!card->GetExpanded()) return false;
  if (CardView()->GetOptionsView()->EmptyRows()) return true;
  return !VarIsNull(card->GetValue(Index()));
}

// ---- cards -------------------------------------------------------------------------------------------

TcxGridRecordViewInfoClass TcxGridCard::GetViewInfoClass() { return GridRecordViewInfoClassOf<TcxGridCardViewInfo>(); }

bool TcxGridCard::GetExpandable() {
  return static_cast<TcxGridCardView*>(GridView())->GetOptionsCustomize()->CardExpanding();
}

void TcxGridCard::CollapseRecord(bool) {
  if (!expanded_) return;
  // The focused card's data rows go: its focused row is given up first.
  if (Focused()) ClearFocusedRow(GridView());
  expanded_ = false;
  GridView()->QueueSizeChange(false, false);
}

void TcxGridCard::ExpandRecord(bool) {
  if (expanded_) return;
  expanded_ = true;
  GridView()->QueueSizeChange(false, false);
}

void TcxGridCard::GetVisibleRows(std::vector<TcxGridCardViewRow*>& list) {
  list.clear();
  auto* view = static_cast<TcxGridCardView*>(GridView());
  for (Integer i = 0; i < view->GetVisibleRowCount(); ++i)
    if (view->GetVisibleRow(i)->IsVisibleInCard(this)) list.push_back(view->GetVisibleRow(i));
}

// ---- options --------------------------------------------------------------------------------------------

void TcxGridCardViewOptionsView::SetCardWidth(Integer v) {
  v = std::max<Integer>(v, 40);
  if (v == cardWidth_) return;
  Set(cardWidth_, v, 2);
  if (auto* controller = GridView() ? dynamic_cast<TcxCustomGridTableController*>(GridView()->Controller()) : nullptr)
    controller->StartGridModeSyncTimer();
}

void TcxGridCardViewOptionsView::SetEmptyRows(bool v) {
  if (v == emptyRows_) return;
  if (!v) ClearFocusedRow(GridView());
  Set(emptyRows_, v, 2);
}

void TcxGridCardViewOptionsCustomize::SetCardExpanding(bool v) {
  if (v == cardExpanding_) return;
  if (v) ClearFocusedRow(GridView());
  cardExpanding_ = v;
  Changed(2);
}

TColor TcxGridCardViewOptionsView::GetSeparatorColor() const {
  return separatorColor_ != clDefault ? separatorColor_ : PainterOf(GridView())->SeparatorColor();
}

void TcxGridCardViewOptionsView::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridCardViewOptionsView*>(source)) {
    SetCaptionSeparator(s->captionSeparator_);
    SetCaptionWidth(s->captionWidth_);
    SetCardBorderWidth(s->cardBorderWidth_);
    SetCardExpandButtonAlignment(s->expandButtonAlignment_);
    SetCardWidth(s->cardWidth_);
    SetEmptyRows(s->emptyRows_);
    SetSeparatorColor(s->separatorColor_);
    SetSeparatorWidth(s->separatorWidth_);
  }
  TcxCustomGridTableOptionsView::AssignFrom(source);
}

void TcxGridCardViewOptionsCustomize::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridCardViewOptionsCustomize*>(source)) {
    SetCardExpanding(s->cardExpanding_);
    SetCardSizing(s->cardSizing_);
  }
  TcxCustomGridTableOptionsCustomize::AssignFrom(source);
}

// ---- styles -----------------------------------------------------------------------------------------------

void TcxGridCardViewStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  auto* pos = dynamic_cast<TcxGridCellPos*>(data);
  switch (index) {
    case vsCaptionRow: {
      TcxCustomGridTableViewStyles::DefaultViewParams(index, data, params);
      if (pos) GetContentParams(pos->Record, pos->Item, params);
      TcxCustomLookAndFeelPainterClass painter = PainterOf(GridView());
      params.Color = painter->HeaderColor();
      params.TextColor = painter->HeaderTextColor();
      return;
    }
    case vsCardBorder:
      GetContentParams(dynamic_cast<TcxCustomGridRecord*>(data), nullptr, params);
      return;
    case vsRowCaption:
      TcxCustomGridTableViewStyles::DefaultViewParams(index, data, params);
      if (pos) GetCellContentParams(pos->Record, pos->Item, params);
      return;
    default:
      TcxCustomGridTableViewStyles::DefaultViewParams(index, data, params);
  }
}

void TcxGridCardViewStyles::GetCaptionRowParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetCaptionRowStyle) OnGetCaptionRowStyle(static_cast<TcxCustomGridTableView*>(GridView()), record, item, style);
  TcxGridCellPos pos(record, item);
  ResolveViewParams(vsCaptionRow, &pos, style, params);
}

void TcxGridCardViewStyles::GetCardBorderParams(TcxCustomGridRecord* record, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetCardBorderStyle) OnGetCardBorderStyle(static_cast<TcxCustomGridTableView*>(GridView()), record, style);
  ResolveViewParams(vsCardBorder, record, style, params);
}

void TcxGridCardViewStyles::GetRowCaptionParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                                                TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetRowCaptionStyle) OnGetRowCaptionStyle(static_cast<TcxCustomGridTableView*>(GridView()), record, item, style);
  TcxGridCellPos pos(record, item);
  ResolveViewParams(vsRowCaption, &pos, style, params);
}

void TcxGridCardViewStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridTableViewStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridCardViewStyles*>(source)) {
    for (Integer i : {vsCaptionRow, vsCardBorder, vsRowCaption}) SetIndexedStyle(i, s->GetIndexedStyle(i));
    OnGetCaptionRowStyle = s->OnGetCaptionRowStyle;
    OnGetRowCaptionStyle = s->OnGetRowCaptionStyle;
    OnGetCardBorderStyle = s->OnGetCardBorderStyle;
  }
}

// ---- row styles, background bitmaps --------------------------------------------------------------------------

TcxGridCardViewRow* TcxGridCardViewRowStyles::Row() const { return static_cast<TcxGridCardViewRow*>(Item()); }

void TcxGridCardViewRowStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  auto* view = dynamic_cast<TcxGridCardView*>(GridView());
  auto* record = dynamic_cast<TcxCustomGridRecord*>(data);
  if (view && index == isCaptionRow)
    view->GetStyles()->GetCaptionRowParams(record, Row(), params);
  else if (view && index == isCaption)
    view->GetStyles()->GetRowCaptionParams(record, Row(), params);
  else
    TcxCustomGridTableItemStyles::DefaultViewParams(index, data, params);
}

void TcxGridCardViewRowStyles::GetCaptionParams(TcxCustomGridRecord* record, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetCaptionStyle) OnGetCaptionStyle(dynamic_cast<TcxCustomGridTableView*>(GridView()), record, Row(), style);
  ResolveViewParams(isCaption, record, style, params);
}

void TcxGridCardViewRowStyles::GetCaptionRowParams(TcxCustomGridRecord* record, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetCaptionRowStyle) OnGetCaptionRowStyle(dynamic_cast<TcxCustomGridTableView*>(GridView()), record, Row(), style);
  ResolveViewParams(isCaptionRow, record, style, params);
}

void TcxGridCardViewRowStyles::GetContentParams(TcxCustomGridRecord* record, TcxStyleParams& params) {
  if (Row() && Row()->Kind() == rkCaption) return GetCaptionRowParams(record, params);
  TcxCustomGridTableItemStyles::GetContentParams(record, params);
}

void TcxGridCardViewRowStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridTableItemStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridCardViewRowStyles*>(source)) {
    SetCaptionRow(s->CaptionRow());
    SetCaption(s->Caption());
    OnGetCaptionRowStyle = s->OnGetCaptionRowStyle;
    OnGetCaptionStyle = s->OnGetCaptionStyle;
  }
}

Integer TcxGridCardViewBackgroundBitmaps::GetBitmapStyleIndex(Integer index) {
  switch (index) {
    case bbCaptionRow: return TcxGridCardViewStyles::vsCaptionRow;
    case bbCardBorder: return TcxGridCardViewStyles::vsCardBorder;
    case bbRowCaption: return TcxGridCardViewStyles::vsRowCaption;
    default: return TcxCustomGridTableBackgroundBitmaps::GetBitmapStyleIndex(index);
  }
}

TBitmap* TcxGridCardViewBackgroundBitmaps::GetBitmap(Integer index) {
  TBitmap* bitmap = TcxCustomGridTableBackgroundBitmaps::GetBitmap(index);
  if (index == bbRowCaption && (!bitmap || bitmap->Empty())) return GetBitmap(bbContent);
  return bitmap;
}

void TcxGridCardViewBackgroundBitmaps::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridCardViewBackgroundBitmaps*>(source))
    for (Integer i = bbCaptionRow; i <= bbRowCaption; ++i) OwnBitmap(i)->Assign(s->OwnBitmap(i));
  TcxCustomGridTableBackgroundBitmaps::AssignFrom(source);
}

// ---- one card ------------------------------------------------------------------------------------------------

class TcxGridCardPainter : public TcxCustomGridRecordPainter {
  KORVAN_CLASS(TcxGridCardPainter, TcxCustomGridRecordPainter)

 public:
  using TcxCustomGridRecordPainter::TcxCustomGridRecordPainter;
  bool DrawExpandButtonBeforePaint() override { return false; }
  void DrawExpandButton() override {
    auto* card = static_cast<TcxGridCardViewInfo*>(RecordViewInfo());
    if (!card->Card()->GetExpandable() || card->ExpandButtonBounds.IsEmpty()) return;
    PainterOf(card->CardView())->PaintGroupExpandButton(Canvas(), card->ExpandButtonBounds, card->Card()->GetExpanded(), cxbsNormal);
  }
  void DrawCells() override {
    auto* card = static_cast<TcxGridCardViewInfo*>(RecordViewInfo());
    TcxCanvas* canvas = Canvas();
    TcxStyleParams params, borderParams;
    card->GetViewParams(params);
    TcxGridCardViewStyles* styles = card->CardView()->GetStyles();
    styles->GetCardBorderParams(card->GridRecord(), borderParams);
    Integer border = card->CardView()->GetOptionsView()->CardBorderWidth();
    TcxGridCardViewBackgroundBitmaps* bitmaps = card->CardView()->GetBackgroundBitmaps();
    auto fill = [&](const TRect& r, TBitmap* bitmap, TColor color) {
      if (bitmap && !bitmap->Empty()) canvas->FillBackground(r, bitmap);
      else canvas->FillRectColor(r, color);
    };
    const TRect& b = card->Bounds;
    if (TBitmap* bitmap = bitmaps->GetBitmap(TcxGridCardViewBackgroundBitmaps::bbCardBorder); bitmap && !bitmap->Empty()) {
      // The four strips between the card's bounds and its inside.
      for (const TRect& strip : {TRect(b.Left, b.Top, b.Right, b.Top + border), TRect(b.Left, b.Top + border, b.Left + border, b.Bottom - border),
                                 TRect(b.Right - border, b.Top + border, b.Right, b.Bottom - border), TRect(b.Left, b.Bottom - border, b.Right, b.Bottom)})
        canvas->FillBackground(strip, bitmap);
    } else {
      canvas->DrawFrameSides(b, borderParams.Color, border);
    }
    // Rows are clipped to the area between the scroll buttons.
    TRect rowsArea = GrowRect(card->Bounds, -border, -border);
    if (card->CanScrollUp()) rowsArea.Top = card->ScrollUpBounds().Bottom;
    if (card->CanScrollDown()) rowsArea.Bottom = card->ScrollDownBounds().Top;
    TcxRegion* saved = canvas->CopyClipRegion();
    canvas->IntersectClip(rowsArea);
    bool left = card->CardView()->GetOptionsView()->CardExpandButtonAlignment() == cebaLeft;
    Integer captionEllipsis = card->CardView()->GetOptionsView()->ItemCaptionEndEllipsis() ? ctfEndEllipsis : 0;
    if (card->CardView()->GetOptionsView()->ItemCaptionAutoHeight()) captionEllipsis |= ctfWordBreak;
    auto drawText = [&](const String& text, TRect r, const TcxStyleParams& p, Integer flags) {
      canvas->ApplyFont(FontOr(p.Font));
      canvas->CurrentFont()->SetColor(p.TextColor);
      canvas->CurrentBrush()->SetStyle(bsClear);
      canvas->OutputText(text, GrowRect(r, -2, -2), flags & ctfWordBreak ? flags : flags | ctfSingleLine);
      canvas->CurrentBrush()->SetStyle(bsSolid);
    };
    // Captions align as the row's caption alignments say.
    auto captionFlags = [&](TcxGridCardViewRow* row) {
      static const TcxTextFlags horz[] = {ctfLeft, ctfRight, ctfHCenter};  // taLeftJustify, taRightJustify, taCenter
      static const TcxTextFlags vert[] = {ctfTop, ctfBottom, ctfVCenter};  // vaTop, vaBottom, vaCenter
      return horz[row->GetCaptionAlignmentHorz()] | vert[row->GetCaptionAlignmentVert()] | captionEllipsis;
    };
    for (Integer i = 0; i < card->RowCount(); ++i) {
      TcxGridCardViewRow* row = card->Row(i);
      TRect caption = card->CaptionBounds(i), value = card->ValueCell(i)->Bounds;
      if (value.IsEmpty()) continue;  // scrolled out of view
      TcxStyleParams p;
      if (row->Kind() == rkCaption) {
        // Caption rows: caption and value in the caption-row style, the expand button kept free.
        row->GetStyles()->GetCaptionRowParams(card->GridRecord(), p);
        fill(card->RowBounds(i), bitmaps->GetBitmap(TcxGridCardViewBackgroundBitmaps::bbCaptionRow), p.Color);
        // The texts keep clear of the expand button's area.
        TRect area = row->HasExpandButton() && !card->ExpandButtonBounds.IsEmpty() ? card->ExpandButtonAreaBounds() : TRect();
        if (!area.IsEmpty() && left) (caption.IsEmpty() ? value : caption).Left = area.Right;
        if (!area.IsEmpty() && !left) value.Right = area.Left;
        if (!caption.IsEmpty()) drawText(row->GetVisibleCaption(), card->CaptionTextBounds(i, caption), p, captionFlags(row));
        drawText(card->GridRecord()->GetDisplayText(row->Index()), value, p, ctfLeft | ctfTop | ctfEndEllipsis);
        if (card->FilterButton(i) && !card->FilterButton(i)->Bounds.IsEmpty()) card->FilterButton(i)->Paint(canvas);
      } else {
        if (!caption.IsEmpty()) {
          row->GetStyles()->GetCaptionParams(card->GridRecord(), p);
          fill(caption, bitmaps->GetBitmap(TcxGridCardViewBackgroundBitmaps::bbRowCaption), p.Color);
          drawText(row->GetVisibleCaption(), card->CaptionTextBounds(i, caption), p, captionFlags(row));
          if (card->FilterButton(i) && !card->FilterButton(i)->Bounds.IsEmpty()) card->FilterButton(i)->Paint(canvas);
        }
        card->ValueCell(i)->Paint(canvas);
        // The focused value's frame goes round the whole row.
        auto* value = static_cast<TcxGridCardRowDataViewInfo*>(card->ValueCell(i));
        TcxCustomGridTableView* view = card->CardView();
        if (value->ShowsRowFocusRect() && view->TableOptionsView()->FocusRect())
          if (TcxCustomGridPainter* painter = view->Painter())
            painter->DrawFocusRect(card->RowBounds(i), view->TableOptionsSelection()->HideFocusRectOnExit());
      }
    }
    canvas->ApplyClipRegion(saved, roSet, true);
    TcxCustomLookAndFeelPainterClass painter = PainterOf(card->CardView());
    // A button held down shows pressed.
    auto* controller = static_cast<TcxGridCardViewController*>(card->CardView()->Controller());
    auto state = [&](bool up) { return controller->IsCardScrollButtonPressed(card->Card(), up) ? cxbsPressed : cxbsNormal; };
    if (card->CanScrollDown()) painter->PaintScrollBarPart(canvas, false, card->ScrollDownBounds(), sbpLineDown, state(false));
    if (card->CanScrollUp()) painter->PaintScrollBarPart(canvas, false, card->ScrollUpBounds(), sbpLineUp, state(true));
  }
};
KORVAN_IMPLEMENT_CLASS(TcxGridCardPainter)

// ---- the filter button of a row caption ---------------------------------------------------------------------

class TcxGridCardRowFilterButtonPainter : public TcxCustomGridCellPainter {
  KORVAN_CLASS(TcxGridCardRowFilterButtonPainter, TcxCustomGridCellPainter)

 public:
  using TcxCustomGridCellPainter::TcxCustomGridCellPainter;
  void DrawContent() override {
    auto* button = static_cast<TcxGridCardRowFilterButtonViewInfo*>(ViewInfo());
    button->GridViewInfo()->GetLookAndFeelPainter()->PaintFilterDropDownButton(
        Canvas(), button->Bounds, GridCellStateToButtonState(button->State()), button->Active());
  }
  void DrawBorders() override {}
};
KORVAN_IMPLEMENT_CLASS(TcxGridCardRowFilterButtonPainter)

TcxGridCardRowFilterButtonViewInfo::TcxGridCardRowFilterButtonViewInfo(TcxGridCardViewInfo* card, TcxGridCardViewRow* row)
    : TcxCustomGridViewCellViewInfo(card->GridViewInfo()), card_(card), row_(row) {}

TPoint TcxGridCardRowFilterButtonViewInfo::Extent(TcxCustomGridView* view) {
  return view->ViewInfo()->GetLookAndFeelPainter()->FilterDropDownButtonExtent();
}

namespace {
TcxCustomGridTableController* TableControllerOf(TcxCustomGridView* view) {
  return view ? dynamic_cast<TcxCustomGridTableController*>(view->Controller()) : nullptr;
}
}  // namespace

bool TcxGridCardRowFilterButtonViewInfo::HasPopup() { return TableControllerOf(GridView()) != nullptr; }

// The drop-down is made by the first press, not by the questions asked before.
IcxCustomGridPopup* TcxGridCardRowFilterButtonViewInfo::GetPopup() {
  TcxCustomGridTableController* controller = TableControllerOf(GridView());
  return controller && controller->HasFilterPopup() ? controller->FilterPopup() : nullptr;
}

void TcxGridCardRowFilterButtonViewInfo::ShowPopup() {
  if (TcxCustomGridTableController* controller = TableControllerOf(GridView())) controller->FilterPopup();
  TcxCustomGridViewCellViewInfo::ShowPopup();
}

TcxCustomGridTableItem* TcxGridCardRowFilterButtonViewInfo::GetFilterItem() { return row_; }

void TcxGridCardRowFilterButtonViewInfo::InitHitTest(TcxCustomGridHitTest* hitTest) {
  TcxCustomGridViewCellViewInfo::InitHitTest(hitTest);
  if (auto* h = dynamic_cast<TcxGridRecordCellHitTest*>(hitTest)) {
    h->GridRecord = card_->GridRecord();
    h->Item = row_;
  }
}

TcxCustomGridCellPainterClass TcxGridCardRowFilterButtonViewInfo::GetPainterClass() {
  return TcxGridCardRowFilterButtonPainter::StaticClass();
}

bool TcxGridCardRowFilterButtonViewInfo::Active() {
  TcxCustomDataController* dc = row_->GridView()->DataController();
  return dc && dc->Filter() && dc->Filter()->Active() && dc->Filter()->ItemByItemLink(row_) != nullptr;
}

// ---- one card ------------------------------------------------------------------------------------------------

void TcxGridCardRowDataViewInfo::CalculateEditViewInfo(TcxCustomEditViewInfo* viewInfo, const TPoint& mousePos) {
  TcxGridTableDataCellViewInfo::CalculateEditViewInfo(viewInfo, mousePos);
  auto* row = static_cast<TcxGridCardViewRow*>(Item());
  auto* text = dynamic_cast<TcxCustomTextEditViewInfo*>(viewInfo);
  if (!text || row->Kind() != rkData || row->ShowCaption() || !text->Text.empty()) return;
  text->Text = "<" + row->Caption() + ">";
  text->TextOutData.Prepared = false;
}

TcxGridCardViewInfo::TcxGridCardViewInfo(TcxCustomGridRecordsViewInfo* owner, TcxCustomGridRecord* record)
    : TcxCustomGridRecordViewInfo(owner, record) {
  Card()->GetVisibleRows(rows_);
  for (TcxGridCardViewRow* row : rows_) {
    cells_.push_back(new TcxGridCardRowDataViewInfo(this, row));
    filterButtons_.push_back(row->CanFilter(true) ? new TcxGridCardRowFilterButtonViewInfo(this, row) : nullptr);
  }
  captions_.assign(rows_.size(), TRect());
}

TcxGridCardViewInfo::~TcxGridCardViewInfo() {
  for (TcxGridTableDataCellViewInfo* cell : cells_) delete cell;
  for (TcxGridCardRowFilterButtonViewInfo* button : filterButtons_) delete button;
}

TRect TcxGridCardViewInfo::CaptionTextBounds(Integer i, const TRect& caption) const {
  TRect r = caption;
  if (filterButtons_.at(size_t(i))) r.Right = std::max(r.Left, r.Right - TcxGridCardRowFilterButtonViewInfo::Extent(GridView()).X - 2);
  return r;
}

TcxGridCardView* TcxGridCardViewInfo::CardView() const { return static_cast<TcxGridCardView*>(GridView()); }

void TcxGridCardViewInfo::GetViewParams(TcxStyleParams& params) {
  CardView()->TableStyles()->GetContentParams(GridRecord(), nullptr, params);
}

TcxGridTableDataCellViewInfo* TcxGridCardViewInfo::GetCellViewInfoByItem(TcxCustomGridTableItem* item) {
  for (TcxGridTableDataCellViewInfo* cell : cells_)
    if (cell->Item() == item) return cell;
  return nullptr;
}

void TcxGridCardViewInfo::GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) {
  TcxGridTableDataCellViewInfo* cell = GetCellViewInfoByItem(item);
  r = cell ? cell->Bounds : TRect();
}

Integer TcxGridCardViewInfo::CaptionWidth() {
  if (captionWidth_ >= 0) return captionWidth_;
  TcxGridCardViewOptionsView* options = CardView()->GetOptionsView();
  Integer content = static_cast<TcxGridCardsViewInfo*>(RecordsViewInfo())->GetCardContentWidth();
  if (options->CaptionWidth() > 0) {
    captionWidth_ = std::min(options->CaptionWidth(), content);
  } else {
    // The widest caption cell of the rows this card shows, plus 2.
    Integer w = 0;
    bool any = false;
    for (TcxGridCardViewRow* row : rows_) {
      if (!row->ShowCaption()) continue;
      // A caption cell: its text in its font and the cell's text margins.
      TcxStyleParams params;
      GetCaptionParams(row, params);
      Integer cell = MeasureTextWidthInFont(FontOr(params.Font), row->GetVisibleCaption()) + 4;
      if (row->HasExpandButton() && options->CardExpandButtonAlignment() == cebaLeft)
        cell += ExpandButtonAreaWidth();
      if (row->CanFilter(true)) cell += TcxGridCardRowFilterButtonViewInfo::Extent(CardView()).X + 2;
      w = std::max(w, cell);
      any = true;
    }
    captionWidth_ = any ? std::min(w + 2, content) : 0;
  }
  return captionWidth_;
}

void TcxGridCardViewInfo::GetCaptionParams(TcxGridCardViewRow* row, TcxStyleParams& params) {
  if (row->Kind() == rkCaption)
    row->GetStyles()->GetCaptionRowParams(GridRecord(), params);
  else
    row->GetStyles()->GetCaptionParams(GridRecord(), params);
}

// One text line in the caption's font, or with RowCaptionAutoHeight the caption's lines in the
// width its text gets; the cell's text margins around it.
Integer TcxGridCardViewInfo::CaptionHeight(Integer i) {
  TcxGridCardViewRow* row = rows_[size_t(i)];
  TcxStyleParams params;
  GetCaptionParams(row, params);
  TFont* font = FontOr(params.Font);
  TcxCanvas* canvas = GetCanvas();
  if (!CardView()->GetOptionsView()->ItemCaptionAutoHeight() || !canvas) return MeasureTextHeightInFont(font, "Qq") + 4;
  Integer content = static_cast<TcxGridCardsViewInfo*>(RecordsViewInfo())->GetCardContentWidth();
  Integer width = std::min(CaptionWidth(), content);
  if (filterButtons_[size_t(i)]) width -= TcxGridCardRowFilterButtonViewInfo::Extent(CardView()).X + 2;
  if (row->HasExpandButton() && CardView()->GetOptionsView()->CardExpandButtonAlignment() == cebaLeft)
    width -= ExpandButtonAreaWidth();
  canvas->ApplyFont(font);
  TRect r(0, 0, std::max<Integer>(width - 4, 1), 0);
  canvas->MeasureTextRect(row->GetVisibleCaption(), r, ctfWordBreak | ctfLeft | ctfTop);
  return r.Height() + 4;
}

// The larger of the value cell's height and, when the caption is shown, the caption's.
Integer TcxGridCardViewInfo::RowHeight(Integer i) {
  TcxGridCardViewRow* row = rows_[size_t(i)];
  TcxGridTableDataCellViewInfo* cell = cells_[size_t(i)];
  Integer content = static_cast<TcxGridCardsViewInfo*>(RecordsViewInfo())->GetCardContentWidth();
  cell->Bounds = TRect(0, 0, content - (row->ShowCaption() ? CaptionWidth() : 0), 0);
  Integer h = cell->CalculateHeight();
  if (row->ShowCaption()) h = std::max(h, CaptionHeight(i));
  row->CheckHeight(h);
  return h;
}

Integer TcxGridCardViewInfo::CalculateHeight() {
  Integer h = 2 * CardView()->GetOptionsView()->CardBorderWidth();
  for (Integer i = 0; i < RowCount(); ++i) h += RowHeight(i);
  return h;
}

Integer TcxGridCardViewInfo::CalculateWidth() { return CardView()->GetOptionsView()->CardWidth(); }

Integer TcxGridCardViewInfo::ScrollButtonHeight() { return MulDiv(GetSystemMetrics(SM_CYHSCROLL), 3, 4); }

void TcxGridCardViewInfo::LayoutRows(Integer top, Integer bottom) {
  Integer border = CardView()->GetOptionsView()->CardBorderWidth();
  Integer x = Bounds.Left + border, right = Bounds.Right - border, y = top;
  Integer captionWidth = CaptionWidth();
  fullyVisible_ = laidOut_ = 0;
  for (Integer i = 0; i < RowCount(); ++i) {
    TcxGridCardViewRow* row = rows_[size_t(i)];
    Integer h = 0;
    bool shown = i >= TopRowIndex() && y < bottom;
    if (shown) {
      h = RowHeight(i);
      if (y + h <= bottom) ++fullyVisible_;
      ++laidOut_;
    }
    Integer clipped = shown ? std::min(h, bottom - y) : 0;
    Integer rowTop = shown ? y : top;
    Integer valueLeft = row->ShowCaption() ? x + captionWidth : x;
    captions_[size_t(i)] = shown && row->ShowCaption() ? TRect(x, rowTop, valueLeft, rowTop + clipped) : TRect();
    if (TcxGridCardRowFilterButtonViewInfo* button = filterButtons_[size_t(i)]) {
      // At the caption's right end, vertically centred (a height of 0: the row's), cut to the caption.
      const TRect& caption = captions_[size_t(i)];
      TPoint extent = TcxGridCardRowFilterButtonViewInfo::Extent(CardView());
      if (extent.Y <= 0) extent.Y = h;
      Integer top = (caption.Top + rowTop + h - extent.Y) / 2;
      button->Bounds = caption.IsEmpty() ? TRect()
                                         : TRect(std::max(caption.Left, caption.Right - extent.X), std::max(caption.Top, top),
                                                 caption.Right, std::min(caption.Bottom, top + extent.Y));
    }
    cells_[size_t(i)]->ResetCalculated();
    cells_[size_t(i)]->CalculateAt(valueLeft, rowTop, shown ? right - valueLeft : 0, clipped);
    if (shown) y += h;
  }
}

void TcxGridCardViewInfo::CalculateAt(Integer left, Integer top, Integer width, Integer height) {
  TcxCustomGridRecordViewInfo::CalculateAt(left, top, width, height);
  if (TopRowIndex() >= RowCount()) Card()->StoreTopRowIndex(std::max<Integer>(0, RowCount() - 1));
  Integer border = CardView()->GetOptionsView()->CardBorderWidth();
  TRect content(Bounds.Left + border, Bounds.Top + border, Bounds.Right - border, Bounds.Bottom - border);
  Integer bh = ScrollButtonHeight();
  scrollUp_ = scrollDown_ = TRect();
  Integer rowsTop = content.Top + (CanScrollUp() ? bh : 0);
  LayoutRows(rowsTop, content.Bottom);
  // Rows left below: the down button takes the bottom, unless only the last row remains
  // and none is fully visible.
  bool down = TopRowIndex() + fullyVisible_ < RowCount() && !(fullyVisible_ == 0 && TopRowIndex() == RowCount() - 1);
  if (down) {
    LayoutRows(rowsTop, content.Bottom - bh);
    scrollDown_ = TRect(content.Left, content.Bottom - bh, content.Right, content.Bottom);
  }
  if (CanScrollUp()) scrollUp_ = TRect(content.Left, content.Top, content.Right, content.Top + bh);
  ExpandButtonBounds = TRect();
  if (Card()->GetExpandable()) CalculateExpandButtonBounds(ExpandButtonBounds);
}

void TcxGridCardViewInfo::SetTopRowIndex(Integer i) {
  i = std::max<Integer>(i, 0);
  if (i == TopRowIndex()) return;
  Card()->StoreTopRowIndex(i);
  CalculateAt(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
  Invalidate();
}

Integer TcxGridCardViewInfo::IndexOfRow(TcxGridCardViewRow* row) const {
  auto it = std::find(rows_.begin(), rows_.end(), row);
  return it == rows_.end() ? -1 : Integer(it - rows_.begin());
}

// The layout rule decides under which top row the row is fully visible: the up button takes
// the top while the top row is not the first, the down button the bottom while the rows from
// the top on do not all fit.
void TcxGridCardViewInfo::MakeRowVisible(TcxGridCardViewRow* row) {
  Integer index = IndexOfRow(row);
  if (index < 0) return;
  if (index < TopRowIndex()) return SetTopRowIndex(index);
  if (index < TopRowIndex() + fullyVisible_) return;
  Integer border = CardView()->GetOptionsView()->CardBorderWidth();
  Integer height = Bounds.Height() - 2 * border, bh = ScrollButtonHeight();
  // suffix[i]: the rows from i to the end; through[i]: the rows from i through index.
  std::vector<Integer> heights(static_cast<size_t>(RowCount()));
  for (Integer i = TopRowIndex(); i < RowCount(); ++i) heights[size_t(i)] = RowHeight(i);
  Integer suffix = 0, through = 0;
  for (Integer i = index; i < RowCount(); ++i) suffix += heights[size_t(i)];
  Integer top = index;
  for (Integer t = index; t > TopRowIndex(); --t) {
    if (t < index) {
      suffix += heights[size_t(t)];
      through += heights[size_t(t)];
    } else {
      through = heights[size_t(t)];
    }
    Integer room = height - (t > 0 ? bh : 0);
    if (suffix > room) room -= bh;
    if (through > room) break;
    top = t;
  }
  SetTopRowIndex(top);
}

TRect TcxGridCardViewInfo::RowBounds(Integer i) const {
  const TRect& value = cells_.at(size_t(i))->Bounds;
  const TRect& caption = captions_.at(size_t(i));
  if (value.IsEmpty() && caption.IsEmpty()) return TRect();
  return TRect(caption.IsEmpty() ? value.Left : caption.Left, value.Top, value.Right, value.Bottom);
}

TRect TcxGridCardViewInfo::RowsAreaBounds() const {
  Integer border = CardView()->GetOptionsView()->CardBorderWidth();
  TRect r = GrowRect(Bounds, -border, -border);
  if (!scrollUp_.IsEmpty()) r.Top = scrollUp_.Bottom;
  if (!scrollDown_.IsEmpty()) r.Bottom = scrollDown_.Top;
  return r;
}

bool TcxGridCardViewInfo::MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) {
  bool up = dynamic_cast<TcxGridCardScrollButtonUpHitTest*>(hitTest) != nullptr;
  if (button == mbLeft && (up || dynamic_cast<TcxGridCardScrollButtonDownHitTest*>(hitTest))) {
    static_cast<TcxGridCardViewController*>(CardView()->Controller())->StartCardScrolling(Card(), up);
    return true;
  }
  return TcxCustomGridRecordViewInfo::MouseDown(hitTest, button, shift);
}

void TcxGridCardViewInfo::OffsetBounds(Integer dx, Integer dy) {
  TcxCustomGridRecordViewInfo::OffsetBounds(dx, dy);
  for (TcxGridTableDataCellViewInfo* cell : cells_) cell->OffsetBounds(dx, dy);
  for (TcxGridCardRowFilterButtonViewInfo* button : filterButtons_)
    if (button && !button->Bounds.IsEmpty()) button->OffsetBounds(dx, dy);
  auto offset = [&](TRect& r) {
    if (!r.IsEmpty()) r = TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
  };
  for (TRect& r : captions_) offset(r);
  for (TRect* r : {&scrollUp_, &scrollDown_, &expandArea_, &ExpandButtonBounds}) offset(*r);
}

TcxCustomGridHitTest* TcxGridCardViewInfo::GetHitTest(const TPoint& p) {
  if (!Bounds.Contains(p)) return nullptr;
  if (scrollUp_.Contains(p) || scrollDown_.Contains(p)) {
    TcxCustomGridHitTest* h = scrollUp_.Contains(p) ? static_cast<TcxCustomGridHitTest*>(GetPooledHitTest<TcxGridCardScrollButtonUpHitTest>(p))
                                                     : GetPooledHitTest<TcxGridCardScrollButtonDownHitTest>(p);
    InitHitTest(h);
    return h;
  }
  // The expand button lies on the first caption row: it comes before the rows.
  if (Card()->GetExpandable() && ExpandButtonBounds.Contains(p) &&
      PainterOf(CardView())->HitTestGroupExpandButton(ExpandButtonBounds, p))
    return TcxCustomGridRecordViewInfo::GetHitTest(p);
  for (Integer i = TopRowIndex(); i < std::min(RowCount(), TopRowIndex() + laidOut_); ++i) {
    TcxGridCardViewRow* row = rows_[size_t(i)];
    if (TcxGridCardRowFilterButtonViewInfo* button = filterButtons_[size_t(i)]; button && button->Bounds.Contains(p))
      if (TcxCustomGridHitTest* h = button->GetHitTest(p)) return h;
    bool caption = captions_[size_t(i)].Contains(p);
    if (!caption && !cells_[size_t(i)]->Bounds.Contains(p)) continue;
    // A data row's value is the grid's data cell; captions and caption rows' values drag the row.
    if (!caption && row->Kind() == rkData)
      if (TcxCustomGridHitTest* h = cells_[size_t(i)]->GetHitTest(p)) return h;
    TcxGridCardRowCellHitTest* h = caption ? GetPooledHitTest<TcxGridCardRowCaptionHitTest>(p)
                                           : GetPooledHitTest<TcxGridCardRowCellHitTest>(p);
    InitHitTest(h);
    h->Item = row;
    h->RowContainerKind = rckCard;
    return h;
  }
  return TcxCustomGridRecordViewInfo::GetHitTest(p);
}

TcxCustomGridCellPainterClass TcxGridCardViewInfo::GetPainterClass() { return TcxGridCardPainter::StaticClass(); }

bool TcxGridCardViewInfo::HasHint() { return CardView()->GetOptionsBehavior()->RowCaptionHints(); }

bool TcxGridCardViewInfo::NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) {
  hintCaption_ = TRect();
  for (Integer i = TopRowIndex(); i < std::min(RowCount(), TopRowIndex() + laidOut_); ++i) {
    const TRect& caption = captions_[size_t(i)];
    if (!caption.Contains(p)) continue;
    if (filterButtons_[size_t(i)] && filterButtons_[size_t(i)]->Bounds.Contains(p)) return false;
    TRect area = GrowRect(CaptionTextBounds(i, caption), -2, -2);
    TcxStyleParams params;
    rows_[size_t(i)]->GetStyles()->GetCaptionParams(GridRecord(), params);
    String captionText = rows_[size_t(i)]->GetVisibleCaption();
    if (MeasureTextWidthInFont(FontOr(params.Font), captionText) <= area.Width()) return false;
    hintCaption_ = caption;
    text = captionText;
    textRect = area;
    isMultiLine = false;
    return true;
  }
  return false;
}

// The button is centred in an area at the left end of the first caption row (its caption, or
// its value when the caption is hidden) or at the right end of its value.
void TcxGridCardViewInfo::CalculateExpandButtonBounds(TRect& r) {
  r = expandArea_ = TRect();
  for (Integer i = 0; i < RowCount(); ++i) {
    if (!rows_[size_t(i)]->HasExpandButton()) continue;
    TRect cell = cells_[size_t(i)]->Bounds;
    if (cell.IsEmpty()) return;  // the row is scrolled out of view
    bool left = CardView()->GetOptionsView()->CardExpandButtonAlignment() == cebaLeft;
    if (left && !captions_[size_t(i)].IsEmpty()) cell = CaptionTextBounds(i, captions_[size_t(i)]);
    if (cell.IsEmpty()) return;
    Integer extent = PainterOf(CardView())->GroupExpandButtonExtent(), width = ExpandButtonAreaWidth();
    expandArea_ = left ? TRect(cell.Left, cell.Top, std::min(cell.Right, cell.Left + width), cell.Bottom)
                       : TRect(std::max(cell.Left, cell.Right - width), cell.Top, cell.Right, cell.Bottom);
    Integer x = (expandArea_.Left + expandArea_.Right - extent) / 2, y = (expandArea_.Top + expandArea_.Bottom - extent) / 2;
    r = TRect(x, y, x + extent, y + extent);
    return;
  }
}

Integer TcxGridCardViewInfo::ExpandButtonAreaWidth() { return PainterOf(CardView())->GroupExpandButtonExtent() + 10; }

// ---- placement ---------------------------------------------------------------------------------------------

TcxGridCardViewInfo* TcxGridCardViewColumn::GetCardAtPos(Integer y) const {
  for (TcxGridCardViewInfo* card : cards_)
    if (card->Bounds.Bottom > y) return card;
  return cards_.empty() ? nullptr : cards_.back();
}

Integer TcxGridCardsViewInfo::GetVisibleColumnCount() const {
  Integer count = 0;
  for (const auto& column : columns_)
    if (column->GetCardCount() > 0 && column->GetCard(0)->Visible) count = column->Index() + 1;
  return count;
}

void TcxGridCardViewColumn::SetCard(Integer position, TcxGridCardViewInfo* card) {
  if (position < Integer(cards_.size()))
    cards_[size_t(position)] = card;
  else
    cards_.push_back(card);
  card->ColumnIndex = index_;
  card->Position = position;
}

TcxGridCardsViewInfo::~TcxGridCardsViewInfo() = default;

TcxGridCardView* TcxGridCardsViewInfo::CardView() const { return static_cast<TcxGridCardView*>(GridView()); }

void TcxGridCardsViewInfo::GetDefaultBounds(TRect& r) {
  TcxCustomGridRecordsViewInfo::GetDefaultBounds(r);
  r = GrowRect(r, -kCardIndent, -kCardIndent);
}

bool TcxGridCardsViewInfo::HasVariableCardHeights() {
  TcxGridCardView* view = CardView();
  return HasVariableRecordHeight() || view->GetOptionsView()->ItemCaptionAutoHeight() ||
         !view->GetOptionsView()->EmptyRows() || view->GetOptionsCustomize()->CardExpanding();
}

Integer TcxGridCardsViewInfo::GetCardContentWidth() {
  TcxGridCardViewOptionsView* o = CardView()->GetOptionsView();
  return o->CardWidth() - 2 * o->CardBorderWidth();
}

Integer TcxGridCardsViewInfo::CardHeight(TcxGridCardViewInfo* card) {
  return std::min(card->CalculateHeight(), std::max<Integer>(Bounds.Height(), 0));
}

TcxGridCardViewColumn* TcxGridCardsViewInfo::GetColumn(Integer i) {
  while (i >= GetColumnCount()) columns_.push_back(std::make_unique<TcxGridCardViewColumn>(GetColumnCount()));
  return columns_[size_t(i)].get();
}

void TcxGridCardsViewInfo::CalculateItems() {
  for (auto& column : columns_) column->Clear();
  columns_.clear();
  shownCount_ = 0;
  if (CardView()->LayoutDirection() == ldHorizontal)
    CalculateHorizontal();
  else
    CalculateVertical();
  CalculateVisibleCount();
  for (Integer i = 0; i < Count(); ++i) Items(i)->Visible = i < shownCount_;
}

void TcxGridCardsViewInfo::CalculateHorizontal() {
  TcxGridCardViewOptionsView* o = CardView()->GetOptionsView();
  Integer clientRight = GridViewInfo()->ClientBounds().Right;
  Integer x = Bounds.Left, y = Bounds.Top, column = 0, position = 0;
  for (Integer i = 0; auto* info = static_cast<TcxGridCardViewInfo*>(FetchRecordViewInfo(i)); ++i) {
    Integer h = CardHeight(info);
    if (i > 0 && Bounds.Bottom < y + h) {
      ++column;
      position = 0;
      x += o->CardWidth() + o->SeparatorWidth() + 2 * kCardIndent;
      if (x >= clientRight) break;
      y = Bounds.Top;
    }
    GetColumn(column)->SetCard(position, info);
    info->CalculateAt(x, y, o->CardWidth(), h);
    if (x + o->CardWidth() <= clientRight || column == 0) ++shownCount_;
    ++position;
    y += h + kCardIndent;
  }
}

void TcxGridCardsViewInfo::CalculateVertical() {
  TcxGridCardViewOptionsView* o = CardView()->GetOptionsView();
  Integer clientBottom = GridViewInfo()->ClientBounds().Bottom;
  Integer x = Bounds.Left, rowTop = Bounds.Top, rowHeight = 0, row = 0, position = 0, rowStart = 0;
  bool stopped = false;
  for (Integer i = 0; auto* info = static_cast<TcxGridCardViewInfo*>(FetchRecordViewInfo(i)); ++i) {
    Integer h = CardHeight(info);
    if (i > 0 && Bounds.Right < x + o->CardWidth()) {
      position = 0;
      ++row;
      x = Bounds.Left;
      rowTop += o->SeparatorWidth() + rowHeight + 2 * kCardIndent;
      if (rowTop >= clientBottom) break;
      rowHeight = 0;
      rowStart = shownCount_;
    }
    GetColumn(position)->SetCard(row, info);
    info->CalculateAt(x, rowTop, o->CardWidth(), h);
    if (!stopped) {
      if (rowTop + h > clientBottom && row > 0) {
        // A partly visible row other than the first is not shown.
        shownCount_ = rowStart;
        stopped = true;
      } else {
        ++shownCount_;
      }
    }
    ++position;
    rowHeight = std::max(rowHeight, h);
    x += o->CardWidth() + kCardIndent;
  }
}

// ---- separators ------------------------------------------------------------------------------------------------

void TcxGridCardViewSeparatorsViewInfo::Calculate(bool horizontal) {
  rects_.clear();
  hitAreas_.clear();
  TcxGridCardView* view = cards_->CardView();
  Integer width = view->GetOptionsView()->SeparatorWidth();
  TRect client = cards_->GridViewInfo()->ClientBounds();
  auto visible = [](TcxGridCardViewInfo* card) { return card->Visible; };
  if (horizontal) {
    Integer lowest = client.Bottom - kCardIndent;
    for (Integer c = 0; c < cards_->GetColumnCount(); ++c) {
      TcxGridCardViewColumn* column = cards_->GetColumn(c);
      for (Integer p = column->GetCardCount() - 1; p >= 0; --p)
        if (visible(column->GetCard(p))) {
          lowest = std::max(lowest, column->GetCard(p)->Bounds.Bottom);
          break;
        }
    }
    for (Integer c = 0; c < cards_->GetColumnCount(); ++c) {
      TcxGridCardViewColumn* column = cards_->GetColumn(c);
      if (column->GetCardCount() == 0 || !visible(column->GetCard(0))) continue;
      Integer left = column->GetCard(0)->Bounds.Right + kCardIndent;
      rects_.push_back(TRect(left, client.Top + kCardIndent, left + width, lowest));
      hitAreas_.push_back(TRect(left - 3, client.Top + kCardIndent, left + width + 3, lowest));
    }
  } else {
    // One separator below every card row; sizing areas right of each layout column's first card.
    Integer rows = 0;
    for (Integer c = 0; c < cards_->GetColumnCount(); ++c) rows = std::max(rows, cards_->GetColumn(c)->GetCardCount());
    Integer right = client.Right - kCardIndent;
    if (cards_->GetColumnCount() > 0 && cards_->GetColumn(0)->GetCardCount() > 0)
      right = std::max(right, cards_->GetColumn(0)->GetCard(0)->Bounds.Right);
    for (Integer r = 0; r < rows; ++r) {
      Integer bottom = -1;
      bool any = false;
      for (Integer c = 0; c < cards_->GetColumnCount(); ++c) {
        TcxGridCardViewColumn* column = cards_->GetColumn(c);
        if (r < column->GetCardCount() && visible(column->GetCard(r))) {
          bottom = std::max(bottom, column->GetCard(r)->Bounds.Bottom);
          any = true;
        }
      }
      if (!any) continue;
      Integer top = bottom + kCardIndent;
      rects_.push_back(TRect(client.Left + kCardIndent, top, right, top + width));
    }
    for (Integer c = 0; c < cards_->GetColumnCount(); ++c) {
      TcxGridCardViewColumn* column = cards_->GetColumn(c);
      if (column->GetCardCount() == 0 || !visible(column->GetCard(0))) continue;
      TRect card = column->GetCard(0)->Bounds;
      hitAreas_.push_back(TRect(card.Right, card.Top, card.Right + kCardIndent, client.Bottom - kCardIndent));
    }
  }
}

TcxDragAndDropObjectClass TcxGridCardViewSeparatorHitTest::DragAndDropObjectClass() {
  return [](TcxControl* control) -> TcxDragAndDropObject* { return new TcxGridCardSizingObject(control); };
}

TcxCustomGridHitTest* TcxGridCardViewSeparatorsViewInfo::GetHitTest(const TPoint& p) {
  if (!cards_->CardView()->CanCardSizing()) return nullptr;
  for (Integer i = 0; i < HitAreaCount(); ++i)
    if (hitAreas_[size_t(i)].Contains(p)) {
      auto* h = GetPooledHitTest<TcxGridCardViewSeparatorHitTest>(p);
      h->SetViewInfo(nullptr);
      h->SetGridView(cards_->GridView());
      h->Separators = this;
      h->Index = i;
      return h;
    }
  return nullptr;
}

void TcxGridCardViewSeparatorsViewInfo::Paint(TcxCanvas* canvas) {
  TColor color = cards_->CardView()->GetOptionsView()->GetSeparatorColor();
  for (const TRect& r : rects_) {
    canvas->FillRectColor(r, color);
    canvas->ExcludeFromClip(r);
  }
}

// ---- card sizing ---------------------------------------------------------------------------------------------

TcxCustomGridDragAndDropObject* TcxGridCardSizingObject::InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) {
  TcxCustomGridDragAndDropObject::InitDrag(p, hitTest);
  if (auto* h = dynamic_cast<TcxGridCardViewSeparatorHitTest*>(hitTest)) index_ = h->Index;
  width_ = -1;
  return this;
}

Integer TcxGridCardSizingObject::WidthAt(Integer x) {
  Integer w = static_cast<TcxGridCardView*>(GridView())->GetOptionsView()->CardWidth() + (x - SourcePoint.X) / (index_ + 1);
  return w <= 39 ? 40 : w;
}

std::vector<TRect> TcxGridCardSizingObject::PreviewRects(TcxGridCardView* view, Integer w) {
  std::vector<TRect> rects;
  TRect client = view->GetViewInfo()->ClientBounds();
  Integer sw = view->GetOptionsView()->SeparatorWidth();
  Integer top = client.Top + kCardIndent, bottom = client.Bottom - kCardIndent;
  for (Integer x = client.Left;;) {
    if (view->LayoutDirection() == ldHorizontal) {
      Integer left = x + w + 2 * kCardIndent;
      if (left >= client.Right) break;
      rects.push_back(TRect(left, top, left + sw, bottom));
      x = left + sw;
    } else {
      Integer left = x + w + kCardIndent + (kCardIndent - sw) / 2;
      if (left >= client.Right) break;
      rects.push_back(TRect(left, top, left + sw, bottom));
      x += w + kCardIndent;
    }
  }
  return rects;
}

void TcxGridCardSizingObject::InvertPreview() {
  TcxCanvas* canvas = Site() ? Site()->Canvas() : nullptr;
  if (!canvas || width_ < 0) return;
  for (const TRect& r : PreviewRects(static_cast<TcxGridCardView*>(GridView()), width_)) canvas->InvertArea(r);
  previewShown_ = !previewShown_;
}

void TcxGridCardSizingObject::MoveDrag(const TPoint& p, bool& accepted) {
  Integer w = WidthAt(p.X);
  if (w != width_) {
    if (previewShown_) InvertPreview();
    width_ = w;
    InvertPreview();
  }
  accepted = true;
  TcxCustomGridDragAndDropObject::MoveDrag(p, accepted);
}

void TcxGridCardSizingObject::BeforeFinishDrag(bool accepted) {
  if (previewShown_) InvertPreview();
  TcxCustomGridDragAndDropObject::BeforeFinishDrag(accepted);
  if (accepted && width_ >= 0) static_cast<TcxGridCardView*>(GridView())->GetOptionsView()->SetCardWidth(width_);
}

// ---- view info and painter ----------------------------------------------------------------------------------

TcxGridCardViewViewInfo::~TcxGridCardViewViewInfo() = default;

void TcxGridCardViewViewInfo::Calculate() {
  TcxCustomGridTableViewInfo::Calculate();
  separators_ = std::make_unique<TcxGridCardViewSeparatorsViewInfo>(GetCardsViewInfo());
  separators_->Calculate(static_cast<TcxGridCardView*>(GridView())->LayoutDirection() == ldHorizontal);
}

Integer TcxGridCardViewViewInfo::CommonCardHeight() {
  TcxGridCardsViewInfo* cards = GetCardsViewInfo();
  if (cards->HasVariableCardHeights() || cards->Count() == 0) return 0;
  return static_cast<TcxGridCardViewInfo*>(cards->Items(0))->CalculateHeight();
}

Integer TcxGridCardViewViewInfo::GetGridModeBufferCount() {
  Integer w = static_cast<TcxGridCardView*>(GridView())->GetOptionsView()->CardWidth(), h = CommonCardHeight();
  if (w == 0 || h == 0) return 0;
  return DivRoundUp(Screen->Width(), w + kCardIndent) * DivRoundUp(Screen->Height(), h + kCardIndent) + 2;
}

namespace {
// A view info of the view laid out apart in (30000, 0, 30000 + width, height).
std::unique_ptr<TcxGridCardViewViewInfo> MeasuringLayout(TcxCustomGridView* view, const TPoint& maxSize) {
  std::unique_ptr<TcxGridCardViewViewInfo> info(static_cast<TcxGridCardViewViewInfo*>(view->CreateViewInfo()));
  info->SetInternal(true);
  TRect r(30000, 0, 30000 + maxSize.X, maxSize.Y);
  info->SetClientBounds(r);
  info->PlaceAndCalculate(r);
  return info;
}
}  // namespace

void TcxGridCardViewViewInfo::GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) {
  auto info = MeasuringLayout(GridView(), maxSize);
  TcxGridCardsViewInfo* cards = info->GetCardsViewInfo();
  Integer lowest = -1;
  fullyVisible = cards->ShownCount() == static_cast<TcxGridCardView*>(GridView())->GetViewData()->GetCardCount();
  for (Integer c = 0; c < cards->GetColumnCount(); ++c) {
    TcxGridCardViewColumn* column = cards->GetColumn(c);
    for (Integer p = column->GetCardCount() - 1; p >= 0; --p)
      if (column->GetCard(p)->Visible) {
        TcxGridCardViewInfo* last = column->GetCard(p);
        lowest = std::max(lowest, last->Bounds.Bottom + kCardIndent);
        fullyVisible = fullyVisible && last->CalculateHeight() <= cards->Bounds.Height();
        break;
      }
  }
  Integer records = lowest >= 0 ? lowest : info->CommonCardHeight() + 2 * kCardIndent;
  height = std::min(records + info->GetNonRecordsHeight(false), maxSize.Y);
}

Integer TcxGridCardViewViewInfo::GetWidth(const TPoint& maxSize) {
  auto info = MeasuringLayout(GridView(), maxSize);
  TcxGridCardsViewInfo* cards = info->GetCardsViewInfo();
  if (cards->GetColumnCount() == 0) return 0;
  for (Integer c = 0; c < cards->GetColumnCount(); ++c) {
    TcxGridCardViewColumn* column = cards->GetColumn(c);
    if (column->GetCardCount() == 0 || !column->GetCard(0)->Visible) return maxSize.X;
  }
  TcxGridCardViewColumn* last = cards->GetColumn(cards->GetColumnCount() - 1);
  return last->GetCard(0)->Bounds.Right + kCardIndent - 30000;
}

TcxCustomGridHitTest* TcxGridCardViewViewInfo::GetContentHitTest(const TPoint& p) {
  if (separators_ && ClientBounds().Contains(p))
    if (TcxCustomGridHitTest* h = separators_->GetHitTest(p)) return h;
  return TcxCustomGridTableViewInfo::GetContentHitTest(p);
}

void TcxGridCardViewViewInfo::GetCellVisibilityArea(TRect& r) {
  TcxCustomGridTableViewInfo::GetCellVisibilityArea(r);
  auto* controller = static_cast<TcxGridCardViewController*>(GridView()->Controller());
  if (TcxGridCardViewInfo* card = controller->CardViewInfoOfRow(controller->FocusedRowIndex())) {
    TRect area = r;
    IntersectRectsOrEmpty(r, area, card->RowsAreaBounds());
  }
}

void TcxGridCardViewPainter::PaintViewContent() {
  auto* info = static_cast<TcxGridCardViewViewInfo*>(PaintViewInfo());
  if (info->Separators()) {
    info->Separators()->Paint(Canvas());
    for (Integer i = 0; i < info->Separators()->Count(); ++i) ExcludeFromBackground(info->Separators()->Bounds(i));
  }
  TcxCustomGridTablePainter::PaintViewContent();
}

// ---- controller ----------------------------------------------------------------------------------------------

bool TcxGridCardViewController::IsKeyForController(Word key, TShiftState shift, bool focusedRowChanged) {
  if (TcxCustomGridTableController::IsKeyForController(key, shift, focusedRowChanged)) return true;
  if (key == VK_LEFT || key == VK_RIGHT) return true;
  if (key != VK_HOME && key != VK_END && key != VK_UP && key != VK_DOWN) return false;
  return !TableView()->TableOptionsSelection()->CellSelect() || !FocusedItem() || focusedRowChanged;
}

void TcxGridCardViewController::HandleKeyDown(Word& key, TShiftState shift) {
  TcxGridViewWatch watch(GridView());
  TcxCustomGridTableController::HandleKeyDown(key, shift);
  if (!watch.Alive() || key == 0) return;
  const bool plain = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
  // The rows of the focused card, with cell selection.
  if (FocusedRowIndex() >= 0 && TableView()->TableOptionsSelection()->CellSelect()) {
    if (FocusedItem()) {
      if (key == VK_ESCAPE && TableView()->TableOptionsSelection()->InvertSelect()) SetFocusedItem(nullptr);
      if ((key == VK_HOME || key == VK_END) && plain) {
        // From before the first or after the last row.
        FocusNextItem(key == VK_HOME ? -1 : TableView()->VisibleItemCount(), key == VK_HOME, false, false);
        if (watch.Alive()) MakeFocusedItemVisible();
        key = 0;
        return;
      }
      if ((key == VK_UP || key == VK_DOWN) && FocusNextCell(key == VK_DOWN, false, true)) {
        if (watch.Alive()) MakeFocusedItemVisible();
        key = 0;
        return;
      }
      if (!watch.Alive()) return;
    } else if (key == VK_F2) {
      FocusFirstItem();
      if (watch.Alive()) MakeFocusedItemVisible();
      key = 0;
      return;
    }
  }
  // Up and Down not taken by the rows scroll the focused card's rows while it can.
  if (key == VK_UP || key == VK_DOWN)
    if (TcxGridCardViewInfo* card = CardViewInfoOfRow(FocusedRowIndex())) {
      bool up = key == VK_UP;
      Integer top = card->TopRowIndex();
      if (up ? card->CanScrollUp() : card->CanScrollDown()) card->SetTopRowIndex(top + (up ? -1 : 1));
      if (card->TopRowIndex() != top) {
        key = 0;
        return;
      }
    }
  impl_->KeyDown(key, shift);
}

// ---- what depends on the layout direction -------------------------------------------------------------

TcxGridCardView* TcxGridCardViewControllerImpl::CardView() const {
  return static_cast<TcxGridCardView*>(controller_->GridView());
}

TcxGridCardsViewInfo* TcxGridCardViewControllerImpl::CardsViewInfo() const {
  return CardView()->GetViewInfo() ? CardView()->GetViewInfo()->GetCardsViewInfo() : nullptr;
}

void TcxGridCardViewControllerImpl::InitScrollBarsParameters() {
  TcxGridCardViewController* c = controller_;
  TScrollBarKind records = IsRecordsScrollHorizontal() ? sbHorizontal : sbVertical;
  TScrollBarKind other = records == sbHorizontal ? sbVertical : sbHorizontal;
  c->SetScrollBarInfo(records, 0, c->GetScrollBarRecordCount() - 1, std::max<Integer>(GetScrollCardCount(), 1),
                      std::max(c->VisibleRecordCount(), 1), c->GetScrollBarPos(), true, true);
  c->SetScrollBarInfo(other, 0, -1, 1, 1, 0, true, true);
}

void TcxGridCardViewControllerImpl::KeyDown(Word& key, TShiftState shift) {
  TcxGridCardViewController* c = controller_;
  // Home and End not taken by the rows go to the first and last record.
  if (key == VK_HOME || key == VK_END) {
    if (key == VK_HOME) c->GoToFirstRecord(); else c->GoToLastRecord(false);
    key = 0;
    return;
  }
  if (key != VK_LEFT && key != VK_RIGHT && key != VK_UP && key != VK_DOWN) return;
  if (c->DataController()->RowCount() == 0) return;
  bool forward = key == VK_DOWN || key == VK_RIGHT;
  bool alongRecords = IsRecordsScrollHorizontal() == (key == VK_UP || key == VK_DOWN);
  // Without Shift (no selection span) the focus goes into and out of details.
  bool details = !shift.Contains(ssShift);
  key = 0;
  if (c->FocusedRowIndex() < 0) {
    if (forward) c->GoToLastRecord(false); else c->GoToFirstRecord();
    return;
  }
  if (alongRecords)
    FocusNextRecord(forward, details);
  else
    FocusNeighbourCard(forward, details);
}

void TcxGridCardViewControllerImpl::FocusNextRecord(bool forward, bool details) {
  controller_->FocusNextFocusableRecord(controller_->FocusedRowIndex(), forward, false, details, details);
}

// Past the first or last card a detail view hands the focus on.
void TcxGridCardViewControllerImpl::FocusOutOfDetail(bool forward, bool details) {
  if (CardView()->IsDetailView())
    controller_->FocusNextFocusableRecord(forward ? controller_->DataController()->RowCount() - 1 : 0, forward, false,
                                          details, details);
}

Integer TcxGridCardViewControllerHorizontalImpl::GetScrollCardCount() {
  TcxGridCardsViewInfo* cards = CardsViewInfo();
  return cards && cards->GetColumnCount() > 0 ? cards->GetColumn(0)->GetCardCount() : 0;
}

// Left and Right: the card at the same height in the neighbouring layout column; at the edge
// column the cards scroll by a column first.
void TcxGridCardViewControllerHorizontalImpl::FocusNeighbourCard(bool forward, bool details) {
  TcxGridCardViewController* c = Controller();
  Integer focused = c->FocusedRowIndex();
  c->MakeFocusedRecordVisible();
  TcxGridCardsViewInfo* cards = CardsViewInfo();
  TcxGridCardViewInfo* card = cards ? c->CardViewInfoOfRow(focused) : nullptr;
  if (!card) return;
  auto atEdge = [&] { return card->ColumnIndex == (forward ? cards->GetVisibleColumnCount() - 1 : 0); };
  if (atEdge()) {
    // A card still at the edge after the scroll has nowhere to go.
    Integer top = card->Bounds.Top;
    c->ScrollData(forward ? 2 : 1);
    cards = CardsViewInfo();
    card = cards ? c->CardViewInfoOfRow(focused) : nullptr;
    if (!card) return;
    if (atEdge()) {
      if (card->Bounds.Top != top)
        c->GoToPrevRecord(false, true);
      else
        FocusOutOfDetail(forward, details);
      return;
    }
  }
  TcxGridCardViewColumn* next = cards->GetColumn(card->ColumnIndex + (forward ? 1 : -1));
  TcxGridCardViewInfo* pick = next->GetCardAtPos(card->Bounds.Top);
  if (!pick) return;
  c->FocusRowAtIndex(pick->GridRecord()->Index());
  c->MakeFocusedItemVisible();
}

Integer TcxGridCardViewControllerVerticalImpl::GetScrollCardCount() {
  TcxGridCardsViewInfo* cards = CardsViewInfo();
  Integer n = 0;
  if (cards)
    for (Integer i = 0; i < cards->GetColumnCount(); ++i)
      if (cards->GetColumn(i)->GetCardCount() > 0) ++n;
  return n;
}

void TcxGridCardViewControllerVerticalImpl::FocusNextRecord(bool forward, bool details) {
  TcxGridViewWatch watch(CardView());
  TcxGridCardViewControllerImpl::FocusNextRecord(forward, details);
  if (watch.Alive()) Controller()->MakeFocusedItemVisible();
}

// Up and Down: the card one card row above or below; a target not shown scrolls the cards a
// row first (in grid mode also one beyond the loaded records, then the last loaded one).
void TcxGridCardViewControllerVerticalImpl::FocusNeighbourCard(bool forward, bool details) {
  TcxGridCardViewController* c = Controller();
  TcxCustomDataController* dc = c->DataController();
  c->MakeFocusedRecordVisible();
  Integer target = c->FocusedRowIndex() + (forward ? 1 : -1) * std::max<Integer>(GetScrollCardCount(), 1);
  bool outOfRange = target < 0 || target >= dc->RowCount();
  if (dc->IsGridMode() ? (forward ? dc->IsEOF() : dc->IsBOF()) : outOfRange) return FocusOutOfDetail(forward, details);
  TcxGridCardViewInfo* card = outOfRange ? nullptr : c->CardViewInfoOfRow(target);
  if (outOfRange || !card || !card->Visible) {
    c->ScrollData(forward ? 2 : 1);
    target = std::clamp<Integer>(target, 0, dc->RowCount() - 1);
  }
  c->FocusRowAtIndex(target);
}

bool TcxGridCardViewController::CanFocusNextItem(Integer oldIndex, Integer newIndex, bool forward, bool cycleInRecord,
                                                 bool nextRecordOnCycle) {
  if (!TcxCustomGridTableController::CanFocusNextItem(oldIndex, newIndex, forward, cycleInRecord, nextRecordOnCycle))
    return false;
  // Wrapping round the card's rows waits while the card can still scroll that way.
  bool wraps = forward ? newIndex <= oldIndex : newIndex >= oldIndex;
  TcxGridCardViewInfo* card = wraps ? CardViewInfoOfRow(FocusedRowIndex()) : nullptr;
  return !card || !(forward ? card->CanScrollDown() : card->CanScrollUp());
}

TcxGridCardViewController::TcxGridCardViewController(TcxCustomGridView* gridView)
    : TcxCustomGridTableController(gridView) {
  LayoutDirectionChanged();
}

TcxGridCardViewController::~TcxGridCardViewController() { FreeAndNil(scrollTimer_); }

void TcxGridCardViewController::LayoutDirectionChanged() {
  if (static_cast<TcxGridCardView*>(GridView())->LayoutDirection() == ldHorizontal)
    impl_ = std::make_unique<TcxGridCardViewControllerHorizontalImpl>(this);
  else
    impl_ = std::make_unique<TcxGridCardViewControllerVerticalImpl>(this);
}

bool TcxGridCardViewController::HandlesDesignTimeMouse(TcxCustomGridHitTest* hitTest) {
  if (TcxCustomGridTableController::HandlesDesignTimeMouse(hitTest)) return true;
  Integer code = hitTest ? hitTest->GetHitTestCode() : -1;
  return code == 107 || code == 152;
}

Integer TcxGridCardViewController::CardsPerScrollLine() { return std::max<Integer>(impl_->GetScrollCardCount(), 1); }

void TcxGridCardViewController::InitScrollBarsParameters() { impl_->InitScrollBarsParameters(); }

bool TcxGridCardViewController::AllRecordsFit() {
  TcxGridCardsViewInfo* cards = static_cast<TcxGridCardView*>(GridView())->GetViewInfo()->GetCardsViewInfo();
  if (cards)
    for (Integer i = 0; i < std::min(cards->ShownCount(), cards->Count()); ++i)
      if (static_cast<TcxGridCardViewInfo*>(cards->Items(i))->CalculateHeight() > cards->Bounds.Height()) return false;
  return TcxCustomGridTableController::AllRecordsFit();
}

Integer TcxGridCardViewController::GetMouseWheelScrollingKind() { return impl_->GetMouseWheelScrollingKind(); }

void TcxGridCardViewController::Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) {
  if (kind != (IsRecordsScrollHorizontal() ? sbHorizontal : sbVertical)) return;
  switch (code) {
    case scLineUp: ScrollData(1); break;
    case scLineDown: ScrollData(2); break;
    case scPageUp: ScrollPage(false); break;
    case scPageDown: ScrollPage(true); break;
    // A grid-mode data set moves once the thumb is let go; other data follow the thumb.
    case scTrack:
      if (!DataController()->IsGridMode()) SetScrollBarPos(pos);
      break;
    case scPosition:
      if (DataController()->IsGridMode()) SetScrollBarPos(pos);
      break;
    default: break;
  }
  pos = GetScrollBarPos();
}

void TcxGridCardViewController::MakeItemVisible(TcxCustomGridTableItem* item) {
  MakeFocusedRecordVisible();
  if (!item) return;
  if (TcxGridCardViewInfo* card = CardViewInfoOfRow(FocusedRowIndex())) card->MakeRowVisible(dynamic_cast<TcxGridCardViewRow*>(item));
}

void TcxGridCardViewController::StartCardScrolling(TcxGridCard* card, bool up) {
  StopCardScrolling();
  scrollRow_ = card->Index();
  scrollUp_ = up;
  if (!ScrollCard()) return;
  scrollTimer_ = new TcxTimer(nullptr);
  scrollTimer_->SetInterval(300);
  scrollTimer_->SetOnTimer([this](TObject*) {
    if (!ScrollCard()) StopCardScrolling();
  });
}

void TcxGridCardViewController::StopCardScrolling() {
  bool held = scrollTimer_ != nullptr;
  FreeAndNil(scrollTimer_);
  // The released button is drawn up again.
  if (held)
    if (TcxGridCardViewInfo* card = CardViewInfoOfRow(scrollRow_)) card->Invalidate();
  scrollRow_ = -1;
}

bool TcxGridCardViewController::IsCardScrollButtonPressed(TcxGridCard* card, bool up) const {
  return scrollTimer_ && card && card->Index() == scrollRow_ && up == scrollUp_;
}

TcxGridCardViewInfo* TcxGridCardViewController::CardViewInfoOfRow(Integer rowIndex) {
  auto* view = static_cast<TcxGridCardView*>(GridView());
  TcxGridCardsViewInfo* cards = view->GetViewInfo() ? view->GetViewInfo()->GetCardsViewInfo() : nullptr;
  if (!cards || rowIndex < 0 || rowIndex >= view->GetViewData()->GetCardCount()) return nullptr;
  return dynamic_cast<TcxGridCardViewInfo*>(cards->GetViewInfoOfRecord(view->GetViewData()->GetCard(rowIndex)));
}

bool TcxGridCardViewController::ScrollCard() {
  TcxGridCardViewInfo* card = CardViewInfoOfRow(scrollRow_);
  // The button must still be there.
  if (!card || (scrollUp_ ? !card->CanScrollUp() : !card->CanScrollDown())) return false;
  card->SetTopRowIndex(card->TopRowIndex() + (scrollUp_ ? -1 : 1));
  return true;
}

void TcxGridCardViewController::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  StopCardScrolling();
  TcxCustomGridTableController::MouseUp(button, shift, x, y);
}

// ---- the view -----------------------------------------------------------------------------------------------

void TcxGridCardView::SetLayoutDirection(TcxGridCardViewLayoutDirection v) {
  if (v == layoutDirection_) return;
  layoutDirection_ = v;
  if (auto* controller = dynamic_cast<TcxGridCardViewController*>(Controller())) controller->LayoutDirectionChanged();
  Changed(2);
}

void TcxGridCardView::GetStoredProperties(TStrings* properties) {
  properties->Add("CardWidth");
  TcxCustomGridTableView::GetStoredProperties(properties);
}

void TcxGridCardView::GetStoredPropertyValue(const String& name, Variant& value) {
  if (name == "CardWidth") {
    value = Variant(GetOptionsView()->CardWidth());
    return;
  }
  TcxCustomGridTableView::GetStoredPropertyValue(name, value);
}

void TcxGridCardView::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (name == "CardWidth") {
    GetOptionsView()->SetCardWidth(value.AsInteger());
    return;
  }
  TcxCustomGridTableView::SetStoredPropertyValue(name, value);
}

void TcxGridCardView::ApplyEditedLayout(TcxCustomGridView* source) {
  TcxCustomGridTableView::ApplyEditedLayout(source);
  if (auto* s = dynamic_cast<TcxGridCardView*>(source)) GetOptionsView()->SetCardWidth(s->GetOptionsView()->CardWidth());
}

void TcxGridCardView::DoAssign(TcxCustomGridView* source) {
  if (auto* s = dynamic_cast<TcxGridCardView*>(source)) {
    SetLayoutDirection(s->layoutDirection_);
    OnRowPosChanged = s->OnRowPosChanged;
  }
  TcxCustomGridTableView::DoAssign(source);
}

void InitializeCxGridCardView() {
  static bool done = false;
  if (done) return;
  done = true;
  InitializeCxGrid();
  GridRegisteredViews()->Register(TcxGridCardView::StaticClass(), "Cards");
  RegisterClass(TcxGridCardViewRow::StaticClass());
  RegisterClass(TcxGridCardViewStyleSheet::StaticClass());
  RegisterClass(TcxGridCardView::StaticClass());
  RegisterGridCellPainterFactory(TcxGridCardPainter::StaticClass(), [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) {
    return new TcxGridCardPainter(c, v);
  });
  RegisterGridCellPainterFactory(TcxGridCardRowFilterButtonPainter::StaticClass(),
                                 [](TcxCanvas* c, TcxCustomGridCellViewInfo* v) { return new TcxGridCardRowFilterButtonPainter(c, v); });
}
