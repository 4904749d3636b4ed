// The card view: every record of the data controller as a framed card of caption-and-value
// rows, cards placed in columns (horizontal layout) or rows (vertical layout) with separators
// between them. Source: cxGridCardView.cpp.
#pragma once

#include <memory>
#include <vector>

#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridCustomTableViewInfo.h"
#include "grid/cxGridDragAndDrop.h"
#include "grid/cxGridFilterPopup.h"

class TcxGridCardView;
class TcxGridCard;
class TcxGridCardViewInfo;
class TcxGridCardViewSeparatorsViewInfo;

enum TcxGridCardViewLayoutDirection { ldHorizontal, ldVertical };
enum TcxGridCardViewRowKind { rkData, rkCaption };
enum TcxGridCardExpandButtonAlignment { cebaLeft, cebaRight };

// ---- rows, cards, options ---------------------------------------------------------------------

class TcxGridCardViewRow;

// A row's own styles: its caption row and its caption; without them the view's.
class TcxGridCardViewRowStyles : public TcxCustomGridTableItemStyles {
  KORVAN_CLASS(TcxGridCardViewRowStyles, TcxCustomGridTableItemStyles)

 public:
  static constexpr Integer isCaptionRow = 1, isCaption = 2;
  explicit TcxGridCardViewRowStyles(TPersistent* owner) : TcxCustomGridTableItemStyles(owner) {}
  TcxGridCardViewRow* Row() const;
  TcxStyle* CaptionRow() const { return const_cast<TcxGridCardViewRowStyles*>(this)->GetIndexedStyle(isCaptionRow); }
  void SetCaptionRow(TcxStyle* v) { SetIndexedStyle(isCaptionRow, v); }
  TcxStyle* Caption() const { return const_cast<TcxGridCardViewRowStyles*>(this)->GetIndexedStyle(isCaption); }
  void SetCaption(TcxStyle* v) { SetIndexedStyle(isCaption, v); }
  TcxGridGetCellStyleEvent OnGetCaptionRowStyle, OnGetCaptionStyle;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // Each fires its event, then resolves its style (the view's caption-row or row-caption
  // parameters by default).
  void GetCaptionParams(TcxCustomGridRecord* record, TcxStyleParams& params);
  void GetCaptionRowParams(TcxCustomGridRecord* record, TcxStyleParams& params);
  // A caption row's cells are in its caption-row parameters.
  void GetContentParams(TcxCustomGridRecord* record, TcxStyleParams& params) override;
  void AssignFrom(TPersistent* source) override;
};

class TcxGridCardViewRowOptions : public TcxCustomGridTableItemOptions {
  KORVAN_CLASS(TcxGridCardViewRowOptions, TcxCustomGridTableItemOptions)

 public:
  explicit TcxGridCardViewRowOptions(TcxCustomGridTableItem* item) : TcxCustomGridTableItemOptions(item) {}
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool v) {
    if (v == showCaption_) return;
    showCaption_ = v;
    Changed(2);
  }
  void AssignFrom(TPersistent* source) override;

 private:
  bool showCaption_ = true;
};

class TcxGridCardViewRow : public TcxCustomGridTableItem {
  KORVAN_CLASS(TcxGridCardViewRow, TcxCustomGridTableItem)

 public:
  using TcxCustomGridTableItem::TcxCustomGridTableItem;
  TcxGridCardView* CardView() const;
  TcxGridCardViewRowKind Kind() const { return kind_; }
  void SetKind(TcxGridCardViewRowKind v);
  bool ShowCaption() { return GetOptions()->ShowCaption(); }
  void SetShowCaption(bool v) { GetOptions()->SetShowCaption(v); }
  bool CanFocus(TcxCustomGridRecord* record) override;
  TClass GetOptionsClass() override { return TcxGridCardViewRowOptions::StaticClass(); }
  TcxGridCardViewRowOptions* GetOptions() const {
    return static_cast<TcxGridCardViewRowOptions*>(const_cast<TcxGridCardViewRow*>(this)->Options());
  }
  void SetOptionsObject(TcxGridCardViewRowOptions* v) { GetOptions()->AssignFrom(v); }
  TClass GetStylesClass() override { return TcxGridCardViewRowStyles::StaticClass(); }
  TcxGridCardViewRowStyles* GetStyles() const {
    return static_cast<TcxGridCardViewRowStyles*>(const_cast<TcxGridCardViewRow*>(this)->Styles());
  }
  void SetStylesObject(TcxGridCardViewRowStyles* v) { GetStyles()->AssignFrom(v); }
  // The caption's alignments are the item's header alignments (same storage).
  TAlignment GetCaptionAlignmentHorz() const { return HeaderAlignmentHorz(); }
  void SetCaptionAlignmentHorz(TAlignment v) { SetHeaderAlignmentHorz(v); }
  TcxAlignmentVert GetCaptionAlignmentVert() const { return HeaderAlignmentVert(); }
  void SetCaptionAlignmentVert(TcxAlignmentVert v) { SetHeaderAlignmentVert(v); }
  void AssignFrom(TcxCustomGridTableItem* source) override;
  // The caption followed by the view's caption separator (when not the zero character).
  String GetVisibleCaption() const;
  // CardExpanding on and this the first visible caption row of the view.
  bool HasExpandButton();
  // Raises a height to the expand button's extent when the row carries the button.
  void CheckHeight(Integer& height);
  // Visible caption rows always; data rows not in a collapsed card, and with EmptyRows off
  // only where the record's value is not Null.
  bool IsVisibleInCard(TcxGridCard* card);

 private:
  TcxGridCardViewRowKind kind_ = rkData;
};

class TcxGridCard : public TcxCustomGridRecord {
 public:
  using TcxCustomGridRecord::TcxCustomGridRecord;
  bool HasCells() override { return true; }
  TcxGridRecordViewInfoClass GetViewInfoClass() override;
  bool CardExpanded() const { return expanded_; }
  // Collapsed only while expandable (OptionsCustomize.CardExpanding).
  bool GetExpandable() override;
  bool GetExpanded() override { return !GetExpandable() || expanded_; }
  void CollapseRecord(bool recursive) override;
  void ExpandRecord(bool recursive) override;
  // The first row shown when the card's rows scroll inside it.
  Integer TopRowIndex() const { return topRowIndex_; }
  void StoreTopRowIndex(Integer v) { topRowIndex_ = v; }
  // The rows this card shows, in visible order.
  void GetVisibleRows(std::vector<TcxGridCardViewRow*>& list);

 private:
  bool expanded_ = true;
  Integer topRowIndex_ = 0;
};

class TcxGridCardViewOptionsView : public TcxCustomGridTableOptionsView {
  KORVAN_CLASS(TcxGridCardViewOptionsView, TcxCustomGridTableOptionsView)

 public:
  explicit TcxGridCardViewOptionsView(TcxCustomGridView* v) : TcxCustomGridTableOptionsView(v) {}
  char32_t CaptionSeparator() const { return captionSeparator_; }
  void SetCaptionSeparator(char32_t v) { Set(captionSeparator_, v, 2); }
  Integer CaptionWidth() const { return captionWidth_; }
  void SetCaptionWidth(Integer v) { Set(captionWidth_, std::max<Integer>(v, 0), 2); }
  Integer CardBorderWidth() const { return cardBorderWidth_; }
  void SetCardBorderWidth(Integer v) { Set(cardBorderWidth_, v <= 0 ? 1 : v, 2); }
  Integer CardWidth() const { return cardWidth_; }
  // At least 40; in grid mode the loaded records follow the new width.
  void SetCardWidth(Integer v);
  TcxGridCardExpandButtonAlignment CardExpandButtonAlignment() const { return expandButtonAlignment_; }
  void SetCardExpandButtonAlignment(TcxGridCardExpandButtonAlignment v) { Set(expandButtonAlignment_, v, 2); }
  bool EmptyRows() const { return emptyRows_; }
  // Switching it off first gives up the focused row (it may be hidden in its card).
  void SetEmptyRows(bool v);
  TColor SeparatorColor() const { return separatorColor_; }
  void SetSeparatorColor(TColor v) { Set(separatorColor_, v, 1); }
  Integer SeparatorWidth() const { return separatorWidth_; }
  void SetSeparatorWidth(Integer v) { Set(separatorWidth_, std::max<Integer>(v, 0), 1); }
  // SeparatorColor, else the look and feel's separator colour.
  TColor GetSeparatorColor() const;
  void AssignFrom(TPersistent* source) override;

 private:
  template <class T>
  void Set(T& field, T v, Integer kind) {
    if (field == v) return;
    field = v;
    Changed(kind);
  }
  char32_t captionSeparator_ = U':';
  Integer captionWidth_ = 0, cardBorderWidth_ = 2, cardWidth_ = 200, separatorWidth_ = 2;
  bool emptyRows_ = true;
  TColor separatorColor_ = clDefault;
  TcxGridCardExpandButtonAlignment expandButtonAlignment_ = cebaRight;
};

class TcxGridCardViewOptionsBehavior : public TcxCustomGridTableOptionsBehavior {
  KORVAN_CLASS(TcxGridCardViewOptionsBehavior, TcxCustomGridTableOptionsBehavior)

 public:
  // Moving past a card's last row goes on in the next card.
  explicit TcxGridCardViewOptionsBehavior(TcxCustomGridView* v) : TcxCustomGridTableOptionsBehavior(v) {
    SetFocusCellOnCycle(true);
  }
  bool RowCaptionHints() const { return rowCaptionHints_; }
  void SetRowCaptionHints(bool v) {
    if (v == rowCaptionHints_) return;
    rowCaptionHints_ = v;
    Changed(0);
  }
  void AssignFrom(TPersistent* source) override;

 private:
  bool rowCaptionHints_ = true;
};

class TcxGridCardViewOptionsCustomize : public TcxCustomGridTableOptionsCustomize {
  KORVAN_CLASS(TcxGridCardViewOptionsCustomize, TcxCustomGridTableOptionsCustomize)

 public:
  explicit TcxGridCardViewOptionsCustomize(TcxCustomGridView* v) : TcxCustomGridTableOptionsCustomize(v) {
    SetItemMoving(false);
  }
  bool CardExpanding() const { return cardExpanding_; }
  // Switching it on first gives up the focused row.
  void SetCardExpanding(bool v);
  bool CardSizing() const { return cardSizing_; }
  void SetCardSizing(bool v) {
    if (v == cardSizing_) return;
    cardSizing_ = v;
    Changed(0);
  }
  void AssignFrom(TPersistent* source) override;

 private:
  bool cardSizing_ = true, cardExpanding_ = false;
};

using TcxGridGetRecordStyleEvent =
    std::function<void(TcxCustomGridTableView* sender, TcxCustomGridRecord* record, TcxStyle*& style)>;
using TcxGridCardRowEvent = std::function<void(TcxGridCardView* sender, TcxGridCardViewRow* row)>;

class TcxGridCardViewStyles : public TcxCustomGridTableViewStyles {
  KORVAN_CLASS(TcxGridCardViewStyles, TcxCustomGridTableViewStyles)

 public:
  static constexpr Integer vsCaptionRow = 8, vsCardBorder = 9, vsRowCaption = 10;
  explicit TcxGridCardViewStyles(TPersistent* owner) : TcxCustomGridTableViewStyles(owner) {}
  TcxStyle* CaptionRow() const { return const_cast<TcxGridCardViewStyles*>(this)->GetIndexedStyle(vsCaptionRow); }
  void SetCaptionRow(TcxStyle* v) { SetIndexedStyle(vsCaptionRow, v); }
  TcxStyle* CardBorder() const { return const_cast<TcxGridCardViewStyles*>(this)->GetIndexedStyle(vsCardBorder); }
  void SetCardBorder(TcxStyle* v) { SetIndexedStyle(vsCardBorder, v); }
  TcxStyle* RowCaption() const { return const_cast<TcxGridCardViewStyles*>(this)->GetIndexedStyle(vsRowCaption); }
  void SetRowCaption(TcxStyle* v) { SetIndexedStyle(vsRowCaption, v); }
  TcxGridGetCellStyleEvent OnGetCaptionRowStyle, OnGetRowCaptionStyle;
  TcxGridGetRecordStyleEvent OnGetCardBorderStyle;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // Each fires its event, then resolves its style.
  void GetCaptionRowParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params);
  void GetCardBorderParams(TcxCustomGridRecord* record, TcxStyleParams& params);
  void GetRowCaptionParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params);
  void AssignFrom(TPersistent* source) override;
};

// The item-level filtering settings under the names of rows.
class TcxGridCardViewFiltering : public TcxCustomGridTableFiltering {
  KORVAN_CLASS(TcxGridCardViewFiltering, TcxCustomGridTableFiltering)

 public:
  explicit TcxGridCardViewFiltering(TcxCustomGridView* v) : TcxCustomGridTableFiltering(v) {}
  bool RowMRUItemsList() const { return ItemMRUItemsList(); }
  void SetRowMRUItemsList(bool v) { SetItemMRUItemsList(v); }
  Integer RowMRUItemsListCount() const { return ItemMRUItemsListCount(); }
  void SetRowMRUItemsListCount(Integer v) { SetItemMRUItemsListCount(v); }
  Integer RowPopupDropDownWidth() const { return ItemPopupDropDownWidth(); }
  void SetRowPopupDropDownWidth(Integer v) { SetItemPopupDropDownWidth(v); }
  Integer RowPopupMaxDropDownItemCount() const { return ItemPopupMaxDropDownItemCount(); }
  void SetRowPopupMaxDropDownItemCount(Integer v) { SetItemPopupMaxDropDownItemCount(v); }
};

class TcxGridCardViewStyleSheet : public TcxCustomStyleSheet {
  KORVAN_CLASS(TcxGridCardViewStyleSheet, TcxCustomStyleSheet)

 public:
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TClass StylesClass() override { return TcxGridCardViewStyles::StaticClass(); }
  TcxGridCardViewStyles* Styles() const {
    return static_cast<TcxGridCardViewStyles*>(const_cast<TcxGridCardViewStyleSheet*>(this)->OwnedStyles());
  }
  void SetStyles(TcxGridCardViewStyles* v) { AssignStyles(v); }
};

// The caption-row, card-border and row-caption bitmaps (styles 8, 9 and 10); the row
// caption's falls back to the content's.
class TcxGridCardViewBackgroundBitmaps : public TcxCustomGridTableBackgroundBitmaps {
  KORVAN_CLASS(TcxGridCardViewBackgroundBitmaps, TcxCustomGridTableBackgroundBitmaps)

 public:
  static constexpr Integer bbCaptionRow = 3, bbCardBorder = 4, bbRowCaption = 5;
  explicit TcxGridCardViewBackgroundBitmaps(TcxCustomGridView* v) : TcxCustomGridTableBackgroundBitmaps(v) {}
  Integer GetBitmapStyleIndex(Integer index) override;
  TBitmap* GetBitmap(Integer index) override;
  TBitmap* CaptionRow() const { return Own(bbCaptionRow); }
  void SetCaptionRow(TBitmap* v) { OwnBitmap(bbCaptionRow)->Assign(v); }
  TBitmap* CardBorder() const { return Own(bbCardBorder); }
  void SetCardBorder(TBitmap* v) { OwnBitmap(bbCardBorder)->Assign(v); }
  TBitmap* RowCaption() const { return Own(bbRowCaption); }
  void SetRowCaption(TBitmap* v) { OwnBitmap(bbRowCaption)->Assign(v); }
  void AssignFrom(TPersistent* source) override;

 private:
  TBitmap* Own(Integer index) const { return const_cast<TcxGridCardViewBackgroundBitmaps*>(this)->OwnBitmap(index); }
};

// ---- layout ------------------------------------------------------------------------------------

class TcxGridCardScrollButtonUpHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridCardScrollButtonUpHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 153; }
  bool ActsOnRecord() override { return false; }
};

class TcxGridCardScrollButtonDownHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridCardScrollButtonDownHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 154; }
  bool ActsOnRecord() override { return false; }
};

// Where a dragged row comes from or is dropped: the customization form's list or a card.
enum TcxGridCardRowContainerKind : Integer { rckNone = 0, rckCustomizationForm = 1, rckCard = 2 };

// A row cell of a card that can start a row drag: a caption row's value (and, below, every
// row caption). The drag moves the row when the row can move.
class TcxGridCardRowCellHitTest : public TcxGridRecordCellHitTest {
  KORVAN_CLASS(TcxGridCardRowCellHitTest, TcxGridRecordCellHitTest)

 public:
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
  TcxGridCardViewRow* Row() const { return static_cast<TcxGridCardViewRow*>(Item); }
  // rckCustomizationForm for the form's list, rckCard for a card.
  Integer RowContainerKind = rckCard;
};

class TcxGridCardRowCaptionHitTest : public TcxGridCardRowCellHitTest {
  KORVAN_CLASS(TcxGridCardRowCaptionHitTest, TcxGridCardRowCellHitTest)

 public:
  Integer GetHitTestCode() override { return 152; }
};

class TcxGridCardRowFilterButtonHitTest : public TcxGridRecordCellHitTest {
  KORVAN_CLASS(TcxGridCardRowFilterButtonHitTest, TcxGridRecordCellHitTest)

 public:
  Integer GetHitTestCode() override { return 151; }
  bool ActsOnRecord() override { return false; }
};

// The filter button at the right end of a row caption: a press opens the row's filter
// drop-down (the controller's), active while the row is filtered.
class TcxGridCardRowFilterButtonViewInfo : public TcxCustomGridViewCellViewInfo, public IcxGridFilterItemProvider {
  KORVAN_CLASS(TcxGridCardRowFilterButtonViewInfo, TcxCustomGridViewCellViewInfo)

 public:
  TcxGridCardRowFilterButtonViewInfo(TcxGridCardViewInfo* card, TcxGridCardViewRow* row);
  TcxGridCardViewRow* Row() const { return row_; }
  TcxGridCardViewInfo* Card() const { return card_; }
  // FilterDropDownButtonExtent of the look and feel.
  static TPoint Extent(TcxCustomGridView* view);
  bool HasPopup() override;
  IcxCustomGridPopup* GetPopup() override;
  void ShowPopup() override;
  TcxCustomGridTableItem* GetFilterItem() override;
  TClass GetHitTestClass() override { return TcxGridCardRowFilterButtonHitTest::StaticClass(); }
  void InitHitTest(TcxCustomGridHitTest* hitTest) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  // The row is in the active filter.
  bool Active();

 private:
  TcxGridCardViewInfo* card_;
  TcxGridCardViewRow* row_;
};

// The value cell of a row in a card: a data row with a hidden caption shows "<" + caption + ">"
// where its value text is empty; the focus frame of a focused value surrounds the row.
class TcxGridCardRowDataViewInfo : public TcxGridTableDataCellViewInfo {
  KORVAN_CLASS(TcxGridCardRowDataViewInfo, TcxGridTableDataCellViewInfo)

 public:
  using TcxGridTableDataCellViewInfo::TcxGridTableDataCellViewInfo;
  void CalculateEditViewInfo(TcxCustomEditViewInfo* viewInfo, const TPoint& mousePos) override;
  // The card draws the focus frame round the whole row instead.
  bool HasFocusRect() override { return false; }
  bool ShowsRowFocusRect() { return TcxGridTableDataCellViewInfo::HasFocusRect(); }
};

// One card: its rows (caption and value cells) inside a border; when the rows do not fit they
// scroll inside the card through an up and a down button.
class TcxGridCardViewInfo : public TcxCustomGridRecordViewInfo {
  KORVAN_CLASS(TcxGridCardViewInfo, TcxCustomGridRecordViewInfo)

 public:
  TcxGridCardViewInfo(TcxCustomGridRecordsViewInfo* owner, TcxCustomGridRecord* record);
  ~TcxGridCardViewInfo() override;
  TcxGridCard* Card() const { return static_cast<TcxGridCard*>(GridRecord()); }
  TcxGridCardView* CardView() const;
  Integer RowCount() const { return Integer(rows_.size()); }
  TcxGridCardViewRow* Row(Integer i) const { return rows_.at(size_t(i)); }
  TcxGridTableDataCellViewInfo* ValueCell(Integer i) const { return cells_.at(size_t(i)); }
  TRect CaptionBounds(Integer i) const { return captions_.at(size_t(i)); }
  // The caption's text area: the caption less its filter button and a 2-pixel gap.
  TRect CaptionTextBounds(Integer i, const TRect& caption) const;
  // The filter button of row i (null when the row cannot be filtered); empty bounds when the
  // row or its caption is not shown.
  TcxGridCardRowFilterButtonViewInfo* FilterButton(Integer i) const { return filterButtons_.at(size_t(i)); }
  Integer ColumnIndex = -1, Position = -1;  // place in the layout columns
  Integer TopRowIndex() const { return Card()->TopRowIndex(); }
  // Negative becomes 0; the card is laid out again and repainted.
  void SetTopRowIndex(Integer i);
  // Makes the row the top row when it lies above, else the smallest top row under which it is
  // fully visible (or the row itself when it is taller than the card), in one step.
  void MakeRowVisible(TcxGridCardViewRow* row);
  // The whole row (caption and value) of the card's row i as laid out (empty when scrolled out).
  TRect RowBounds(Integer i) const;
  // The card's inside between the shown scroll buttons.
  TRect RowsAreaBounds() const;
  // The position in the card of a row (-1: not shown in this card).
  Integer IndexOfRow(TcxGridCardViewRow* row) const;
  bool CanScrollUp() const { return TopRowIndex() > 0; }
  bool CanScrollDown() const { return !scrollDown_.IsEmpty(); }
  TRect ScrollUpBounds() const { return scrollUp_; }
  TRect ScrollDownBounds() const { return scrollDown_; }
  Integer FullyVisibleRowCount() const { return fullyVisible_; }
  Integer LaidOutRowCount() const { return laidOut_; }
  // 3/4 of the system's horizontal scroll bar height.
  static Integer ScrollButtonHeight();
  bool MouseDown(TcxCustomGridHitTest* hitTest, TMouseButton button, TShiftState shift) override;
  Integer CaptionWidth();
  // A data row's caption parameters, a caption row's caption-row parameters.
  void GetCaptionParams(TcxGridCardViewRow* row, TcxStyleParams& params);
  // The caption cell's height of the card's row i (several lines with RowCaptionAutoHeight).
  Integer CaptionHeight(Integer i);
  Integer RowHeight(Integer i);
  TcxGridTableDataCellViewInfo* GetCellViewInfoByItem(TcxCustomGridTableItem* item) override;
  void GetItemCellBounds(TcxCustomGridTableItem* item, TRect& r) override;
  bool HasVariableHeight() override { return true; }
  bool HasExpandButton() override { return true; }
  void CalculateExpandButtonBounds(TRect& r) override;
  // The area the expand button is centred in (its extent + 10 wide); the row's texts keep clear of it.
  TRect ExpandButtonAreaBounds() const { return expandArea_; }
  Integer ExpandButtonAreaWidth();
  Integer CalculateHeight() override;
  Integer CalculateWidth() override;
  void CalculateAt(Integer left, Integer top, Integer width = -1, Integer height = -1) override;
  void OffsetBounds(Integer dx, Integer dy) override;
  TcxCustomGridHitTest* GetHitTest(const TPoint& p) override;
  TcxCustomGridCellPainterClass GetPainterClass() override;
  void GetViewParams(TcxStyleParams& params) override;
  // Row caption hints (OptionsBehavior.RowCaptionHints): the caption under the point when its
  // text is cut; the hint stays while the mouse is over that caption.
  bool HasHint() override;
  bool NeedsHint(const TPoint& p, String& text, TRect& textRect, bool& isMultiLine) override;
  TRect GetHintAreaBounds() override { return hintCaption_; }

 private:
  TRect hintCaption_, expandArea_;
  std::vector<TcxGridCardViewRow*> rows_;
  std::vector<TcxGridTableDataCellViewInfo*> cells_;
  std::vector<TcxGridCardRowFilterButtonViewInfo*> filterButtons_;
  std::vector<TRect> captions_;
  Integer captionWidth_ = -1;
  TRect scrollUp_, scrollDown_;
  Integer fullyVisible_ = 0, laidOut_ = 0;
  // Lays the rows out from the top row between top and bottom.
  void LayoutRows(Integer top, Integer bottom);
};

class TcxGridCardViewColumn {
 public:
  explicit TcxGridCardViewColumn(Integer index) : index_(index) {}
  Integer Index() const { return index_; }
  Integer GetCardCount() const { return Integer(cards_.size()); }
  TcxGridCardViewInfo* GetCard(Integer position) const { return cards_.at(size_t(position)); }
  void SetCard(Integer position, TcxGridCardViewInfo* card);
  // The first card whose bottom lies below y, else the last card (null without cards).
  TcxGridCardViewInfo* GetCardAtPos(Integer y) const;
  void Clear() { cards_.clear(); }

 private:
  Integer index_;
  std::vector<TcxGridCardViewInfo*> cards_;
};

class TcxGridCardsViewInfo : public TcxCustomGridRecordsViewInfo {
  KORVAN_CLASS(TcxGridCardsViewInfo, TcxCustomGridRecordsViewInfo)

 public:
  using TcxCustomGridRecordsViewInfo::TcxCustomGridRecordsViewInfo;
  ~TcxGridCardsViewInfo() override;
  TcxGridCardView* CardView() const;
  void GetDefaultBounds(TRect& r) override;
  Integer GetItemLeftBound(Integer index) override { return 0; }
  Integer GetItemTopBound(Integer index) override { return 0; }
  Integer GetPixelScrollSize(Integer count) override { return 0; }
  bool CanOffsetRecords(Integer count) override { return false; }
  void OffsetItem(Integer index, Integer pixels) override {}
  void CalculateItems() override;
  void CalculateVisibleCount() override { VisibleCount = shownCount_; }
  // Cards differ in height with variable cell heights, automatic caption heights, without
  // empty rows or with card expanding; otherwise they share one height.
  bool HasVariableCardHeights();
  Integer GetRecordsPerPage() override { return std::max<Integer>(1, shownCount_); }
  Integer GetCardContentWidth();
  // The card's height: its own, at most the cards area's height.
  Integer CardHeight(TcxGridCardViewInfo* card);
  Integer GetColumnCount() const { return Integer(columns_.size()); }
  // The index of the last column whose first card is shown, plus one.
  Integer GetVisibleColumnCount() const;
  TcxGridCardViewColumn* GetColumn(Integer i);
  Integer ShownCount() const { return shownCount_; }

 private:
  void CalculateHorizontal();
  void CalculateVertical();
  std::vector<std::unique_ptr<TcxGridCardViewColumn>> columns_;
  Integer shownCount_ = 0;
};

class TcxGridCardViewSeparatorHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridCardViewSeparatorHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 155; }
  // The standard west-east sizing cursor.
  TCursor GetCursor() override { return crSizeWE; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
  TcxGridCardViewSeparatorsViewInfo* Separators = nullptr;
  Integer Index = -1;
};

class TcxGridCardViewSeparatorsViewInfo : public TObject {
 public:
  explicit TcxGridCardViewSeparatorsViewInfo(TcxGridCardsViewInfo* cards) : cards_(cards) {}
  void Calculate(bool horizontal);
  Integer Count() const { return Integer(rects_.size()); }
  TRect Bounds(Integer i) const { return rects_.at(size_t(i)); }
  Integer HitAreaCount() const { return Integer(hitAreas_.size()); }
  TRect HitArea(Integer i) const { return hitAreas_.at(size_t(i)); }
  TcxCustomGridHitTest* GetHitTest(const TPoint& p);
  void Paint(TcxCanvas* canvas);

 private:
  TcxGridCardsViewInfo* cards_;
  std::vector<TRect> rects_, hitAreas_;
};

// Sizing the cards by dragging a separator: the new width follows the mouse divided among the
// columns left of the separator, previewed by inverted bars where the separators would be.
class TcxGridCardSizingObject : public TcxCustomGridDragAndDropObject {
  KORVAN_CLASS(TcxGridCardSizingObject, TcxCustomGridDragAndDropObject)

 public:
  using TcxCustomGridDragAndDropObject::TcxCustomGridDragAndDropObject;
  TcxCustomGridDragAndDropObject* InitDrag(const TPoint& p, TcxCustomGridHitTest* hitTest) override;
  bool StartsImmediately() override { return true; }
  TCursor CursorFor(bool) override { return crSizeWE; }
  void MoveDrag(const TPoint& p, bool& accepted) override;
  void BeforeFinishDrag(bool accepted) override;
  Integer SeparatorIndex() const { return index_; }
  // The width for the mouse at x (at least 40).
  Integer WidthAt(Integer x);
  Integer CurrentWidth() const { return width_; }
  // The preview bars for cards of width w.
  static std::vector<TRect> PreviewRects(TcxGridCardView* view, Integer w);

 private:
  void InvertPreview();
  Integer index_ = 0, width_ = -1;
  bool previewShown_ = false;
};

class TcxGridCardViewViewInfo : public TcxCustomGridTableViewInfo {
  KORVAN_CLASS(TcxGridCardViewViewInfo, TcxCustomGridTableViewInfo)

 public:
  explicit TcxGridCardViewViewInfo(TcxCustomGridView* v) : TcxCustomGridTableViewInfo(v) {}
  ~TcxGridCardViewViewInfo() override;
  TClass GetRecordsViewInfoClass() override { return TcxGridCardsViewInfo::StaticClass(); }
  TcxGridCardsViewInfo* GetCardsViewInfo() const { return static_cast<TcxGridCardsViewInfo*>(RecordsViewInfo()); }
  TcxGridCardViewSeparatorsViewInfo* Separators() const { return separators_.get(); }
  // The records a grid-mode data controller keeps loaded: the screen's cards across times
  // down, plus 2; 0 while cards have no common height (variable heights).
  Integer GetGridModeBufferCount();
  // The height all cards share (every visible row shown), 0 with variable card heights.
  Integer CommonCardHeight();
  // As a detail: the layout calculated apart (at left 30000) in the width offered; the height
  // down to the lowest last card + 7 and the parts; completely shown when every card fits.
  void GetHeight(const TPoint& maxSize, Integer& height, bool& fullyVisible) override;
  // The right of the last column's first card + 7 when every column's first card shows, else
  // all of it; 0 without cards.
  Integer GetWidth(const TPoint& maxSize) override;
  void Calculate() override;
  TcxCustomGridHitTest* GetContentHitTest(const TPoint& p) override;
  // An in-place editor stays inside the focused card's rows area (between its scroll buttons).
  void GetCellVisibilityArea(TRect& r) override;

 private:
  std::unique_ptr<TcxGridCardViewSeparatorsViewInfo> separators_;
};

class TcxGridCardViewPainter : public TcxCustomGridTablePainter {
  KORVAN_CLASS(TcxGridCardViewPainter, TcxCustomGridTablePainter)

 public:
  explicit TcxGridCardViewPainter(TcxCustomGridView* v) : TcxCustomGridTablePainter(v) {}
  void PaintViewContent() override;
};

class TcxGridCardViewViewData : public TcxCustomGridTableViewData {
  KORVAN_CLASS(TcxGridCardViewViewData, TcxCustomGridTableViewData)

 public:
  using TcxCustomGridTableViewData::TcxCustomGridTableViewData;
  TcxGridRecordClass GetRecordClass(const TcxRowInfo&) override { return GridRecordClassOf<TcxGridCard>(); }
  TcxGridCard* GetCard(Integer index) { return static_cast<TcxGridCard*>(RecordAtRowIndex(index)); }
  Integer GetCardCount() const { return CountRecords(); }
};

class TcxGridCardViewController;

// What depends on the layout direction: along which bar (and wheel) the records scroll, how
// many cards a scroll line takes, and the arrow keys a card did not take. The controller
// replaces it whenever LayoutDirection changes.
class TcxGridCardViewControllerImpl : public TObject {
 public:
  explicit TcxGridCardViewControllerImpl(TcxGridCardViewController* controller) : controller_(controller) {}
  TcxGridCardViewController* Controller() const { return controller_; }
  TcxGridCardView* CardView() const;
  virtual bool IsRecordsScrollHorizontal() = 0;
  // 1 horizontal, 2 vertical.
  virtual Integer GetMouseWheelScrollingKind() = 0;
  // A column (horizontal) or a row (vertical) of cards; 0 without cards.
  virtual Integer GetScrollCardCount() = 0;
  // The records' bar takes the scroll values, the other one is hidden.
  void InitScrollBarsParameters();
  // Home and End go to the first and last record; an arrow along the records to the previous
  // or next record, across them to the neighbouring card. Without a focused record the arrows
  // back go to the first record, the others to the last.
  void KeyDown(Word& key, TShiftState shift);

 protected:
  TcxGridCardsViewInfo* CardsViewInfo() const;
  virtual void FocusNextRecord(bool forward, bool details);
  virtual void FocusNeighbourCard(bool forward, bool details) = 0;
  void FocusOutOfDetail(bool forward, bool details);

 private:
  TcxGridCardViewController* controller_;
};

class TcxGridCardViewControllerHorizontalImpl : public TcxGridCardViewControllerImpl {
 public:
  using TcxGridCardViewControllerImpl::TcxGridCardViewControllerImpl;
  bool IsRecordsScrollHorizontal() override { return true; }
  Integer GetMouseWheelScrollingKind() override { return 1; }
  Integer GetScrollCardCount() override;

 protected:
  void FocusNeighbourCard(bool forward, bool details) override;
};

class TcxGridCardViewControllerVerticalImpl : public TcxGridCardViewControllerImpl {
 public:
  using TcxGridCardViewControllerImpl::TcxGridCardViewControllerImpl;
  bool IsRecordsScrollHorizontal() override { return false; }
  Integer GetMouseWheelScrollingKind() override { return 2; }
  Integer GetScrollCardCount() override;

 protected:
  void FocusNextRecord(bool forward, bool details) override;
  void FocusNeighbourCard(bool forward, bool details) override;
};

class TcxGridCardViewController : public TcxCustomGridTableController {
  KORVAN_CLASS(TcxGridCardViewController, TcxCustomGridTableController)

 public:
  explicit TcxGridCardViewController(TcxCustomGridView* gridView);
  ~TcxGridCardViewController() override;
  // Makes the direction implementation of the view's LayoutDirection.
  void LayoutDirectionChanged();
  bool IsRecordsScrollHorizontal() override { return impl_->IsRecordsScrollHorizontal(); }
  // At design time a press on a row's value (107) or caption (152) reaches the controller too.
  bool HandlesDesignTimeMouse(TcxCustomGridHitTest* hitTest) override;
  // The focused record and, inside its card, the row.
  void MakeItemVisible(TcxCustomGridTableItem* item) override;
  // With cell selection and a focused row: Up and Down move between the rows (on into the next
  // or previous card), Home and End to the card's first and last row, Escape under
  // InvertSelect gives up the row; without a focused row F2 focuses the first one. Up and Down
  // not taken scroll the focused card's rows while it can. Arrows otherwise: along the records
  // (Up/Down in the horizontal layout, Left/Right in the vertical one) to the previous or next
  // card; across them to the neighbouring layout column at the same height or to the card row
  // above or below.
  void HandleKeyDown(Word& key, TShiftState shift) override;
  // Not round the card's rows while the focused card can still scroll in that direction.
  bool CanFocusNextItem(Integer oldIndex, Integer newIndex, bool forward, bool cycleInRecord,
                        bool nextRecordOnCycle) override;
  // Left and Right always belong to the controller (also from a row's editor); Home, End, Up and
  // Down only without cell selection, without a focused row or after a focused-record change:
  // an editor in a focused row keeps them.
  bool IsKeyForController(Word key, TShiftState shift, bool focusedRowChanged) override;
  // The records scroll along the layout: the horizontal bar for the horizontal layout, the
  // vertical one otherwise (the other bar hidden); a line is a column or a row of cards.
  void InitScrollBarsParameters() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) override;
  // The wheel scrolls along the records' bar: 1 (horizontal) or 2 (vertical).
  Integer GetMouseWheelScrollingKind() override;
  // Not while a shown card is taller than the cards area.
  bool AllRecordsFit() override;
  Integer CardsPerScrollLine();
  // A pressed scroll button scrolls its card by one row at once, then every 300 ms while it
  // stays visible; releasing the mouse stops it.
  void StartCardScrolling(TcxGridCard* card, bool up);
  void StopCardScrolling();
  bool CardScrolling() const { return scrollTimer_ != nullptr; }
  // The card's up or down button is held down (scrolling the card).
  bool IsCardScrollButtonPressed(TcxGridCard* card, bool up) const;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  // The card view info of a record row (null when the row has no card laid out).
  TcxGridCardViewInfo* CardViewInfoOfRow(Integer rowIndex);

  // Row moving and the rows customization form (source: cxGridCardViewDragDrop.cpp).
  TClass GetCustomizationFormClass() override;
  virtual TcxDragAndDropObjectClass GetRowMovingObjectClass();
  // While a row is dragged over a card's up or down scroll button, that card scrolls its
  // rows (directions 3 and 4, every 300 ms); elsewhere the drag scrolling stops.
  void CheckDragScroll(const TPoint& p);
  TcxGridCardViewInfo* DragScrollCard() { return CardViewInfoOfRow(dragScrollRow_); }
  // Directions 3 and 4 scroll the card under the drag, the others scroll the records.
  void ScrollData(Integer direction) override;
  bool CanScrollData(Integer direction) override;
  Integer GetScrollTimerInterval(Integer direction) override;
  Integer GetDragScrollInterval() override { return 300; }

 private:
  bool ScrollCard();
  std::unique_ptr<TcxGridCardViewControllerImpl> impl_;
  Integer dragScrollRow_ = -1;
  TcxTimer* scrollTimer_ = nullptr;
  Integer scrollRow_ = -1;  // the row index of the scrolled card (wrappers may be remade)
  bool scrollUp_ = false;
};

// ---- the view ----------------------------------------------------------------------------------------

class TcxGridCardView : public TcxCustomGridTableView {
  KORVAN_CLASS(TcxGridCardView, TcxCustomGridTableView)

 public:
  using TcxCustomGridTableView::TcxCustomGridTableView;
  TClass GetControllerClass() override { return TcxGridCardViewController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDataController>(); }
  TClass GetPainterClass() override { return TcxGridCardViewPainter::StaticClass(); }
  TClass GetViewDataClass() override { return TcxGridCardViewViewData::StaticClass(); }
  TClass GetViewInfoClass() override { return TcxGridCardViewViewInfo::StaticClass(); }
  TClass GetOptionsViewClass() override { return TcxGridCardViewOptionsView::StaticClass(); }
  TClass GetItemClass() override { return TcxGridCardViewRow::StaticClass(); }
  TClass GetOptionsCustomizeClass() override { return TcxGridCardViewOptionsCustomize::StaticClass(); }
  TClass GetOptionsBehaviorClass() override { return TcxGridCardViewOptionsBehavior::StaticClass(); }
  TClass GetStylesClass() override { return TcxGridCardViewStyles::StaticClass(); }
  TcxGridCardViewStyles* GetStyles() const { return static_cast<TcxGridCardViewStyles*>(Styles()); }
  TClass GetBackgroundBitmapsClass() override { return TcxGridCardViewBackgroundBitmaps::StaticClass(); }
  TClass GetFilteringClass() override { return TcxGridCardViewFiltering::StaticClass(); }
  TcxGridCardViewFiltering* GetFiltering() const { return static_cast<TcxGridCardViewFiltering*>(Filtering()); }
  void SetFilteringObject(TcxGridCardViewFiltering* v) { SetFiltering(v); }
  TcxGridCardViewBackgroundBitmaps* GetBackgroundBitmaps() const {
    return static_cast<TcxGridCardViewBackgroundBitmaps*>(BackgroundBitmaps());
  }
  TcxGridCardViewOptionsCustomize* GetOptionsCustomize() const {
    return static_cast<TcxGridCardViewOptionsCustomize*>(OptionsCustomize());
  }
  bool CanCardSizing() const { return GetOptionsCustomize()->CardSizing(); }
  bool IsLayoutWidthDependent() override { return true; }
  String GetCustomizationCaption() override { return "Rows customization"; }
  void GetStoredProperties(TStrings* properties) override;
  void GetStoredPropertyValue(const String& name, Variant& value) override;
  void SetStoredPropertyValue(const String& name, const Variant& value) override;
  void DoAssign(TcxCustomGridView* source) override;
  // An edited copy's card width comes back with its layout.
  void ApplyEditedLayout(TcxCustomGridView* source) override;

  TcxGridCardViewOptionsView* GetOptionsView() const { return static_cast<TcxGridCardViewOptionsView*>(OptionsView()); }
  TcxGridCardViewOptionsBehavior* GetOptionsBehavior() const {
    return static_cast<TcxGridCardViewOptionsBehavior*>(OptionsBehavior());
  }
  // The property writers of a stored view assign into the existing objects.
  void SetBackgroundBitmapsObject(TcxGridCardViewBackgroundBitmaps* v) { GetBackgroundBitmaps()->AssignFrom(v); }
  TcxGridDataController* GetDataController() const { return static_cast<TcxGridDataController*>(DataController()); }
  void SetDataControllerObject(TcxGridDataController* v) {
    if (v && v != GetDataController()) GetDataController()->Assign(v);
  }
  void SetOptionsBehaviorObject(TcxGridCardViewOptionsBehavior* v) { GetOptionsBehavior()->AssignFrom(v); }
  void SetOptionsCustomizeObject(TcxGridCardViewOptionsCustomize* v) { GetOptionsCustomize()->AssignFrom(v); }
  void SetOptionsDataObject(TcxCustomGridTableOptionsData* v) { TableOptionsData()->AssignFrom(v); }
  void SetOptionsSelectionObject(TcxCustomGridTableOptionsSelection* v) { TableOptionsSelection()->AssignFrom(v); }
  void SetOptionsViewObject(TcxGridCardViewOptionsView* v) { GetOptionsView()->AssignFrom(v); }
  void SetStylesObject(TcxGridCardViewStyles* v) { GetStyles()->AssignFrom(v); }
  TcxGridCardViewViewData* GetViewData() const { return static_cast<TcxGridCardViewViewData*>(ViewData()); }
  TcxGridCardViewViewInfo* GetViewInfo() const { return static_cast<TcxGridCardViewViewInfo*>(ViewInfo()); }
  TcxGridCardViewRow* CreateRow() { return static_cast<TcxGridCardViewRow*>(CreateItem()); }
  TcxGridCardViewRow* GetRow(Integer i) { return static_cast<TcxGridCardViewRow*>(Items(i)); }
  Integer GetVisibleRowCount() { return VisibleItemCount(); }
  TcxGridCardViewRow* GetVisibleRow(Integer i) { return static_cast<TcxGridCardViewRow*>(VisibleItems(i)); }
  TcxGridCardViewLayoutDirection LayoutDirection() const { return layoutDirection_; }
  void SetLayoutDirection(TcxGridCardViewLayoutDirection v);
  TcxGridCardRowEvent OnRowPosChanged;
  void DoRowPosChanged(TcxGridCardViewRow* row) {
    if (OnRowPosChanged) OnRowPosChanged(this, row);
  }

 private:
  TcxGridCardViewLayoutDirection layoutDirection_ = ldHorizontal;
};

// Unit start: registers "Cards" and the row class.
void InitializeCxGridCardView();
