// The table view: records as rows under a line of column headers, with a group-by box,
// footers, an indicator, a preview line per row and a new item row. Its columns with their
// options, styles and summary; the view's option sets, preview, background bitmaps, styles and
// style sheet; the summary items linked to columns; the table view's hit tests. (Layout,
// painting and the table controller come with the following steps; their classes here are
// the shells the view's class getters name.)
#pragma once

#include <functional>

#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridCustomTableView.h"

class TcxGridColumn;
class TcxGridTableView;
class TcxCustomGridRow;
class TcxGridViewData;
class TcxGridPreview;
class TcxGridTablePainter;
class TcxGridTableViewInfo;

enum TcxGridGroupFootersMode : Byte { gfInvisible, gfVisibleWhenExpanded, gfAlwaysVisible };
enum TcxGridGroupRowStyle : Byte { grsStandard, grsOffice11 };
enum TcxGridPreviewPlace : Byte { ppBottom, ppTop };

using TcxGridColumnEvent = std::function<void(TcxGridTableView* sender, TcxGridColumn* column)>;
using TcxGridColumnCustomDrawHeaderEvent =
    std::function<void(TcxGridTableView* sender, TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done)>;
using TcxGridTableCellCustomDrawEvent = TcxGridColumnCustomDrawHeaderEvent;
using TcxGridIndicatorCellCustomDrawEvent = TcxGridColumnCustomDrawHeaderEvent;
using TcxGridGetFooterStyleExEvent = std::function<void(TcxGridTableView* sender, TcxCustomGridRow* row,
                                                        TcxGridColumn* column, Integer footerGroupLevel, TcxStyle*& style)>;
using TcxGridGetHeaderStyleEvent = std::function<void(TcxGridTableView* sender, TcxGridColumn* column, TcxStyle*& style)>;
using TcxGridGetGroupStyleEvent =
    std::function<void(TcxGridTableView* sender, TcxCustomGridRecord* record, Integer level, TcxStyle*& style)>;
using TcxGridColumnCompareValuesEvent =
    std::function<void(TcxGridColumn* sender, TcxCustomEditProperties* properties1, const Variant& value1,
                       TcxCustomEditProperties* properties2, const Variant& value2, bool& areEqual)>;
using TcxGridColumnCompareRowValuesEvent = std::function<void(
    TcxGridColumn* sender, TcxCustomGridRow* row1, TcxCustomEditProperties* properties1, const Variant& value1,
    TcxCustomGridRow* row2, TcxCustomEditProperties* properties2, const Variant& value2, bool& areEqual)>;

// ---- columns ----------------------------------------------------------------------------------

class TcxGridColumnOptions : public TcxCustomGridTableItemOptions {
  KORVAN_CLASS(TcxGridColumnOptions, TcxCustomGridTableItemOptions)

 public:
  explicit TcxGridColumnOptions(TcxCustomGridTableItem* item) : TcxCustomGridTableItemOptions(item) {}
  bool CellMerging() const { return cellMerging_; }
  void SetCellMerging(bool v);
  bool HorzSizing() const { return horzSizing_; }
  void SetHorzSizing(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool cellMerging_ = false, horzSizing_ = true;
};

// The data of a footer style query: the row and the footer's group level.
class TcxGridFooterCellPos : public TObject {
 public:
  TcxGridFooterCellPos(TcxCustomGridRow* row, Integer level) : Row(row), Level(level) {}
  TcxCustomGridRow* Row;
  Integer Level;
};

class TcxGridColumnStyles : public TcxCustomGridTableItemStyles {
  KORVAN_CLASS(TcxGridColumnStyles, TcxCustomGridTableItemStyles)

 public:
  static constexpr Integer isFooter = 1, isHeader = 2;
  explicit TcxGridColumnStyles(TPersistent* owner) : TcxCustomGridTableItemStyles(owner) {}
  TcxGridColumn* Column() const;
  TcxStyle* Footer() const { return const_cast<TcxGridColumnStyles*>(this)->GetIndexedStyle(isFooter); }
  void SetFooter(TcxStyle* v) { SetIndexedStyle(isFooter, v); }
  TcxStyle* Header() const { return const_cast<TcxGridColumnStyles*>(this)->GetIndexedStyle(isHeader); }
  void SetHeader(TcxStyle* v) { SetIndexedStyle(isHeader, v); }
  TcxGridGetCellStyleEvent OnGetFooterStyle;
  TcxGridGetFooterStyleExEvent OnGetFooterStyleEx;
  TcxGridGetHeaderStyleEvent OnGetHeaderStyle;

  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // The column's events and styles first, then the view's (whose defaults end at the painter).
  void GetFooterParams(TcxCustomGridRow* row, Integer level, TcxStyleParams& params);
  void GetHeaderParams(TcxStyleParams& params);
  void AssignFrom(TPersistent* source) override;
};

// The column's summaries: summary items of the view's data controller for the column's field.
class TcxGridColumnSummary : public TcxCustomGridTableItemCustomOptions {
  KORVAN_CLASS(TcxGridColumnSummary, TcxCustomGridTableItemCustomOptions)

 public:
  // 0 footer, 1 group footer, 2 group row.
  static constexpr Integer sFooter = 0, sGroupFooter = 1, sGroup = 2;
  explicit TcxGridColumnSummary(TcxCustomGridTableItem* item) : TcxCustomGridTableItemCustomOptions(item) {}
  TcxSummaryKind Kind(Integer index) const;
  void SetKind(Integer index, TcxSummaryKind value);
  String Format(Integer index) const;
  void SetFormat(Integer index, const String& value);
  TcxSummaryKind FooterKind() const { return Kind(sFooter); }
  void SetFooterKind(TcxSummaryKind v) { SetKind(sFooter, v); }
  String FooterFormat() const { return Format(sFooter); }
  void SetFooterFormat(const String& v) { SetFormat(sFooter, v); }
  TcxSummaryKind GroupFooterKind() const { return Kind(sGroupFooter); }
  void SetGroupFooterKind(TcxSummaryKind v) { SetKind(sGroupFooter, v); }
  String GroupFooterFormat() const { return Format(sGroupFooter); }
  void SetGroupFooterFormat(const String& v) { SetFormat(sGroupFooter, v); }
  TcxSummaryKind GroupKind() const { return Kind(sGroup); }
  void SetGroupKind(TcxSummaryKind v) { SetKind(sGroup, v); }
  String GroupFormat() const { return Format(sGroup); }
  void SetGroupFormat(const String& v) { SetFormat(sGroup, v); }
  void AssignFrom(TPersistent* source) override;

 private:
  TcxDataSummaryItems* SummaryItems(Integer index) const;
};

class TcxGridColumn : public TcxCustomGridTableItem {
  KORVAN_CLASS(TcxGridColumn, TcxCustomGridTableItem)

 public:
  explicit TcxGridColumn(TComponent* owner);
  ~TcxGridColumn() override;

  TcxGridTableView* GridView() const;
  TcxGridColumnOptions* GetOptions() { return static_cast<TcxGridColumnOptions*>(Options()); }
  TcxGridColumnStyles* GetStyles() { return static_cast<TcxGridColumnStyles*>(Styles()); }
  TcxGridColumnSummary* Summary();
  void SetSummary(TcxGridColumnSummary* value) { Summary()->AssignFrom(value); }
  TcxGridColumnOptions* OptionsObject() const { return const_cast<TcxGridColumn*>(this)->GetOptions(); }
  void SetOptionsObject(TcxGridColumnOptions* value) { GetOptions()->AssignFrom(value); }
  TcxGridColumnStyles* StylesObject() const { return const_cast<TcxGridColumn*>(this)->GetStyles(); }
  void SetStylesObject(TcxGridColumnStyles* value) { GetStyles()->AssignFrom(value); }
  TcxGridColumnSummary* SummaryObject() const { return const_cast<TcxGridColumn*>(this)->Summary(); }

  // The assigned footer alignment, else the binding's default alignment.
  TAlignment GetFooterAlignmentHorz() const;
  void SetFooterAlignmentHorz(TAlignment value);
  bool IsFooterAlignmentHorzStored() const;
  TBitmap* HeaderGlyph() const { return headerGlyph_; }
  void SetHeaderGlyph(TBitmap* value) { headerGlyph_->Assign(value); }
  TAlignment HeaderGlyphAlignmentHorz() const { return headerGlyphAlignmentHorz_; }
  void SetHeaderGlyphAlignmentHorz(TAlignment value);
  TcxAlignmentVert HeaderGlyphAlignmentVert() const { return headerGlyphAlignmentVert_; }
  void SetHeaderGlyphAlignmentVert(TcxAlignmentVert value);

  // The preview column shows as each row's preview line, not as a visible column.
  bool IsPreview() const;
  void SetIsPreview(bool value);
  // The cell-selection flag (column cell multi-selection).
  bool Selected() const { return selected_; }
  void SetSelected(bool value);
  // Groups (Value >= 0) or ungroups the column, hiding it on grouping and showing it again on
  // ungrouping as the options say; false when the column cannot be grouped.
  bool ChangeGroupIndex(Integer value, bool showOnUngroup = true);
  bool DoCompareValuesForCellMerging(TcxCustomGridRow* row1, TcxCustomEditProperties* properties1,
                                     const Variant& value1, TcxCustomGridRow* row2,
                                     TcxCustomEditProperties* properties2, const Variant& value2);
  virtual bool CanCellMerging();
  bool HidesOnGrouping();
  // Where the column sits among the others: decides the header and cell borders drawn.
  virtual bool IsBottommost() { return true; }
  virtual bool IsLeftmost() { return VisibleIndex() == 0; }
  virtual bool IsBottommostInView() { return IsBottommost(); }
  virtual bool IsLeftmostInView() { return IsLeftmost(); }
  virtual bool IsRightmostInView() { return IsRightmost(); }
  virtual bool IsRightmost() { return IsLast(); }
  virtual bool IsTopmost() { return true; }
  void DoCustomDrawFooterCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  void DoCustomDrawHeader(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  void DoHeaderClick();
  // The widest content of the column's data rows (display texts in its content font), its
  // grid lines, and the header's natural width when the header is shown.
  Integer CalculateBestFitWidth();
  // Sizes the column to its best fit width (capped by BestFitMaxWidth).
  void ApplyBestFit(bool checkCanSize = false, bool fireEvents = false);

  void AssignFrom(TcxCustomGridTableItem* source) override;
  bool GetVisible() const override;
  bool GetHidden() const override;
  bool IsHiddenStored() const { return !IsPreview() && Hidden(); }
  bool IsVisibleStored() const { return !IsPreview(); }
  bool HasFixedWidth() const override;
  // The column keeps its width when the others share the client width: a fixed width, or
  // while a column is sized by the user, that column and the ones left of it.
  bool KeepsWidthInAutoWidth() const;
  // A width the user gave: under auto width the other columns keep the widths they show.
  void ChangeWidthByUser(Integer value);
  // Under auto width, every visible column takes the width its header shows.
  virtual void FreezeAutoWidths();
  bool CanHorzSize() override;
  TClass GetOptionsClass() override { return TcxGridColumnOptions::StaticClass(); }
  TClass GetStylesClass() override { return TcxGridColumnStyles::StaticClass(); }
  virtual TClass GetSummaryClass() { return TcxGridColumnSummary::StaticClass(); }
  void GetStoredProperties(TStrings* list) override;
  void GetStoredPropertyValue(const String& name, Variant& value) override;
  void SetStoredPropertyValue(const String& name, const Variant& value) override;

  TcxGridColumnCompareRowValuesEvent OnCompareRowValuesForCellMerging;
  TcxGridColumnCompareValuesEvent OnCompareValuesForCellMerging;
  TcxGridColumnCustomDrawHeaderEvent OnCustomDrawFooterCell;
  TcxGridColumnCustomDrawHeaderEvent OnCustomDrawHeader;
  TNotifyEvent OnHeaderClick;

 private:
  TcxGridColumnSummary* summary_ = nullptr;
  TBitmap* headerGlyph_ = nullptr;
  TAlignment footerAlignmentHorz_ = taLeftJustify;
  bool footerAlignmentHorzAssigned_ = false;
  TAlignment headerGlyphAlignmentHorz_ = taLeftJustify;
  TcxAlignmentVert headerGlyphAlignmentVert_ = vaCenter;
  bool selected_ = false;
};

// ---- summary items linked to columns ------------------------------------------------------------

// The layout storage's view of a summary item: one stored property, "Column", the linked
// column's stored name.
class TcxGridSummaryItemStoring {
 public:
  static String GetStoredColumnName(TObject* linkedItem);
  static TcxGridColumn* FindStoredColumn(TcxCustomDataController* dc, const String& name);
  // The contract's answers for an item linked to `linkedItem` of the data controller `dc`.
  static bool ListProperties(TStrings* properties, bool answer);
  static void GetValue(TObject* linkedItem, const String& name, Variant& value);
  static void SetValue(TcxCustomDataController* dc, const String& name, const Variant& value,
                       const std::function<void(TcxGridColumn*)>& link);
};

// A summary item of the data controller (TBase) linked to a column of the class TColumn, with
// the stored-object contract.
template <class TBase, class TColumn>
class TcxGridColumnSummaryItem : public TBase {
 public:
  explicit TcxGridColumnSummaryItem(TCollection* collection) : TBase(collection) {}
  TColumn* Column() const { return dynamic_cast<TColumn*>(this->LinkedItem()); }
  void SetColumn(TColumn* value) { this->ChangeLinkedItem(value); }
  String GetObjectName() const { return String(); }
  bool GetProperties(TStrings* properties) { return TcxGridSummaryItemStoring::ListProperties(properties, false); }
  void GetPropertyValue(const String& name, Variant& value) {
    TcxGridSummaryItemStoring::GetValue(this->LinkedItem(), name, value);
  }
  void SetPropertyValue(const String& name, const Variant& value) {
    TcxGridSummaryItemStoring::SetValue(this->Summary()->DataController(), name, value,
                                        [this](TcxGridColumn* c) { this->ChangeLinkedItem(c); });
  }
};

class TcxGridTableSummaryItem : public TcxGridColumnSummaryItem<TcxDataSummaryItem, TcxGridColumn> {
  KORVAN_CLASS(TcxGridTableSummaryItem, TcxDataSummaryItem)

 public:
  using TcxGridColumnSummaryItem::TcxGridColumnSummaryItem;
};

class TcxGridTableSummaryGroupItemLink : public TcxDataSummaryGroupItemLink {
  KORVAN_CLASS(TcxGridTableSummaryGroupItemLink, TcxDataSummaryGroupItemLink)

 public:
  explicit TcxGridTableSummaryGroupItemLink(TCollection* collection) : TcxDataSummaryGroupItemLink(collection) {}
  TcxGridColumn* Column() const { return dynamic_cast<TcxGridColumn*>(LinkedItem()); }
  void SetColumn(TcxGridColumn* value) { ChangeLinkedItem(value); }
  String GetObjectName() const { return String(); }
  bool GetProperties(TStrings* properties) { return TcxGridSummaryItemStoring::ListProperties(properties, true); }
  void GetPropertyValue(const String& name, Variant& value) {
    TcxGridSummaryItemStoring::GetValue(LinkedItem(), name, value);
  }
  void SetPropertyValue(const String& name, const Variant& value);
};

// ---- view options -------------------------------------------------------------------------------

class TcxGridTableOptionsBehavior : public TcxCustomGridTableOptionsBehavior {
  KORVAN_CLASS(TcxGridTableOptionsBehavior, TcxCustomGridTableOptionsBehavior)

 public:
  explicit TcxGridTableOptionsBehavior(TcxCustomGridView* v) : TcxCustomGridTableOptionsBehavior(v) {}
  bool ColumnHeaderHints() const { return columnHeaderHints_; }
  void SetColumnHeaderHints(bool v) { SetFlag(columnHeaderHints_, v); }
  bool CopyPreviewToClipboard() const { return copyPreviewToClipboard_; }
  void SetCopyPreviewToClipboard(bool v) { SetFlag(copyPreviewToClipboard_, v); }
  bool ExpandMasterRowOnDblClick() const { return expandMasterRowOnDblClick_; }
  void SetExpandMasterRowOnDblClick(bool v) { SetFlag(expandMasterRowOnDblClick_, v); }
  void AssignFrom(TPersistent* source) override;

 private:
  bool columnHeaderHints_ = true, copyPreviewToClipboard_ = true, expandMasterRowOnDblClick_ = true;
};

class TcxGridTableOptionsCustomize : public TcxCustomGridTableOptionsCustomize {
  KORVAN_CLASS(TcxGridTableOptionsCustomize, TcxCustomGridTableOptionsCustomize)

 public:
  explicit TcxGridTableOptionsCustomize(TcxCustomGridView* v) : TcxCustomGridTableOptionsCustomize(v) {}
  TcxGridTableView* GridView() const;
  bool ColumnHidingOnGrouping() const { return columnHidingOnGrouping_; }
  void SetColumnHidingOnGrouping(bool v) { SetFlag(columnHidingOnGrouping_, v, 0); }
  bool ColumnHorzSizing() const { return columnHorzSizing_; }
  void SetColumnHorzSizing(bool v) { SetFlag(columnHorzSizing_, v, 1); }
  bool DataRowSizing() const { return dataRowSizing_; }
  void SetDataRowSizing(bool v) { SetFlag(dataRowSizing_, v, 0); }
  bool GroupRowSizing() const { return groupRowSizing_; }
  void SetGroupRowSizing(bool v) { SetFlag(groupRowSizing_, v, 0); }
  // Switching ungroups every column (showing the grouped ones) and clears all sorting.
  bool GroupBySorting() const { return groupBySorting_; }
  void SetGroupBySorting(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool columnHidingOnGrouping_ = true, columnHorzSizing_ = true, dataRowSizing_ = false;
  bool groupBySorting_ = false, groupRowSizing_ = false;
};

class TcxGridTableOptionsData : public TcxCustomGridTableOptionsData {
  KORVAN_CLASS(TcxGridTableOptionsData, TcxCustomGridTableOptionsData)

 public:
  explicit TcxGridTableOptionsData(TcxCustomGridView* v) : TcxCustomGridTableOptionsData(v) {}
};

// CellMultiSelect forces CellSelect on, InvertSelect off and MultiSelect on while it is set.
class TcxGridTableOptionsSelection : public TcxCustomGridTableOptionsSelection {
  KORVAN_CLASS(TcxGridTableOptionsSelection, TcxCustomGridTableOptionsSelection)

 public:
  explicit TcxGridTableOptionsSelection(TcxCustomGridView* v) : TcxCustomGridTableOptionsSelection(v) {}
  bool CellMultiSelect() const { return cellMultiSelect_; }
  void SetCellMultiSelect(bool v);
  void SetCellSelect(bool v) override;
  void SetInvertSelect(bool v) override;
  void SetMultiSelect(bool v) override;
  bool IsCellSelectStored() const { return !cellMultiSelect_ && !CellSelect(); }
  bool IsInvertSelectStored() const override {
    return !cellMultiSelect_ && TcxCustomGridTableOptionsSelection::IsInvertSelectStored();
  }
  bool IsMultiSelectStored() const override {
    return !cellMultiSelect_ && TcxCustomGridTableOptionsSelection::IsMultiSelectStored();
  }
  void AssignFrom(TPersistent* source) override;

 private:
  bool cellMultiSelect_ = false;
};

class TcxGridTableOptionsView : public TcxCustomGridTableOptionsView {
  KORVAN_CLASS(TcxGridTableOptionsView, TcxCustomGridTableOptionsView)

 public:
  explicit TcxGridTableOptionsView(TcxCustomGridView* v);
  TcxGridTableView* GridView() const;
  bool ColumnAutoWidth() const { return columnAutoWidth_; }
  void SetColumnAutoWidth(bool v) { SetFlag(columnAutoWidth_, v, 2); }
  Integer DataRowHeight() const { return dataRowHeight_; }
  void SetDataRowHeight(Integer v);
  bool ExpandButtonsForEmptyDetails() const { return expandButtonsForEmptyDetails_; }
  void SetExpandButtonsForEmptyDetails(bool v) { SetFlag(expandButtonsForEmptyDetails_, v, 1); }
  bool Footer() const { return footer_; }
  void SetFooter(bool v) { SetFlag(footer_, v, 2); }
  bool FooterAutoHeight() const { return footerAutoHeight_; }
  void SetFooterAutoHeight(bool v) { SetFlag(footerAutoHeight_, v, 2); }
  TColor GridLineColor() const { return gridLineColor_; }
  void SetGridLineColor(TColor v);
  TcxGridLines GridLines() const { return gridLines_; }
  void SetGridLines(TcxGridLines v);
  bool GroupByBox() const { return groupByBox_; }
  void SetGroupByBox(bool v) { SetFlag(groupByBox_, v, 2); }
  TcxGridGroupFootersMode GroupFooters() const { return groupFooters_; }
  void SetGroupFooters(TcxGridGroupFootersMode v);
  TcxGridGroupFootersMode PrevGroupFooters() const { return prevGroupFooters_; }
  Integer GroupRowHeight() const { return groupRowHeight_; }
  void SetGroupRowHeight(Integer v);
  TcxGridGroupRowStyle GroupRowStyle() const { return groupRowStyle_; }
  void SetGroupRowStyle(TcxGridGroupRowStyle v);
  bool Header() const { return header_; }
  void SetHeader(bool v) { SetFlag(header_, v, 2); }
  bool HeaderAutoHeight() const { return ItemCaptionAutoHeight(); }
  void SetHeaderAutoHeight(bool v) { SetItemCaptionAutoHeight(v); }
  bool HeaderEndEllipsis() const { return ItemCaptionEndEllipsis(); }
  void SetHeaderEndEllipsis(bool v) { SetItemCaptionEndEllipsis(v); }
  Integer HeaderHeight() const { return headerHeight_; }
  void SetHeaderHeight(Integer v);
  bool Indicator() const { return indicator_; }
  void SetIndicator(bool v) { SetFlag(indicator_, v, 2); }
  Integer IndicatorWidth() const { return indicatorWidth_; }
  void SetIndicatorWidth(Integer v);
  bool NewItemRow() const { return newItemRow_; }
  void SetNewItemRow(bool v);
  String NewItemRowInfoText() const { return newItemRowInfoText_; }
  void SetNewItemRowInfoText(const String& v);
  bool IsNewItemRowInfoTextStored() const;
  TColor NewItemRowSeparatorColor() const { return newItemRowSeparatorColor_; }
  void SetNewItemRowSeparatorColor(TColor v);
  Integer NewItemRowSeparatorWidth() const { return newItemRowSeparatorWidth_; }
  void SetNewItemRowSeparatorWidth(Integer v);
  TColor RowSeparatorColor() const { return rowSeparatorColor_; }
  void SetRowSeparatorColor(TColor v);
  Integer RowSeparatorWidth() const { return rowSeparatorWidth_; }
  void SetRowSeparatorWidth(Integer v);
  // Effective colours: the assigned one, else the look-and-feel painter's.
  TColor GetGridLineColor() const;
  TColor GetNewItemRowSeparatorColor() const;
  TColor GetRowSeparatorColor() const;
  void AssignFrom(TPersistent* source) override;

  // The smallest positive row heights (until the rows' layout measures them: one line of the
  // content font plus the cell text indents for data rows, the group style's for group rows).
  std::function<Integer()> MinDataRowHeight;
  std::function<Integer()> MinGroupRowHeight;

 protected:
  Integer ItemCaptionAutoHeightChangeKind() override { return 1; }

 private:
  Integer CorrectRowHeight(Integer value, bool group) const;
  bool columnAutoWidth_ = false, expandButtonsForEmptyDetails_ = true, footer_ = false, footerAutoHeight_ = false;
  bool groupByBox_ = true, header_ = true, indicator_ = false, newItemRow_ = false;
  Integer dataRowHeight_ = 0, groupRowHeight_ = 0, headerHeight_ = 0, indicatorWidth_ = 12;
  Integer newItemRowSeparatorWidth_ = 6, rowSeparatorWidth_ = 0;
  TColor gridLineColor_ = clDefault, newItemRowSeparatorColor_ = clDefault, rowSeparatorColor_ = clDefault;
  TcxGridLines gridLines_ = glBoth;
  TcxGridGroupFootersMode groupFooters_ = gfInvisible, prevGroupFooters_ = gfVisibleWhenExpanded;
  TcxGridGroupRowStyle groupRowStyle_ = grsStandard;
  String newItemRowInfoText_;
};

// The preview line of each row: the text of one column, drawn under (or above) the cells.
class TcxGridPreview : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxGridPreview, TcxCustomGridOptions)

 public:
  explicit TcxGridPreview(TcxCustomGridView* v) : TcxCustomGridOptions(v) {}
  TcxGridTableView* GridView() const;
  bool AutoHeight() const { return autoHeight_; }
  void SetAutoHeight(bool v);
  TcxGridColumn* Column() const { return column_; }
  void SetColumn(TcxGridColumn* v);
  Integer LeftIndent() const { return leftIndent_; }
  void SetLeftIndent(Integer v);
  Integer MaxLineCount() const { return maxLineCount_; }
  void SetMaxLineCount(Integer v);
  TcxGridPreviewPlace Place() const { return place_; }
  void SetPlace(TcxGridPreviewPlace v);
  Integer RightIndent() const { return rightIndent_; }
  void SetRightIndent(Integer v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // Visible with a column.
  bool Active() const { return visible_ && column_ != nullptr; }
  // The preview column is going away.
  void ColumnFreed(TcxGridColumn* column) {
    if (column_ == column) column_ = nullptr;
  }
  void AssignFrom(TPersistent* source) override;

 private:
  void PropertyChanged() { Changed(visible_ ? 2 : 0); }
  bool autoHeight_ = true, visible_ = false;
  TcxGridColumn* column_ = nullptr;
  Integer leftIndent_ = 20, maxLineCount_ = 3, rightIndent_ = 5;
  TcxGridPreviewPlace place_ = ppBottom;
};

class TcxGridTableBackgroundBitmaps : public TcxCustomGridTableBackgroundBitmaps {
  KORVAN_CLASS(TcxGridTableBackgroundBitmaps, TcxCustomGridTableBackgroundBitmaps)

 public:
  static constexpr Integer bbFooter = 3, bbHeader = 4, bbGroup = 5, bbGroupByBox = 6, bbIndicator = 7, bbPreview = 8;
  explicit TcxGridTableBackgroundBitmaps(TcxCustomGridView* v) : TcxCustomGridTableBackgroundBitmaps(v) {}
  Integer GetBitmapStyleIndex(Integer index) override;
#define KORVAN_TABLE_BITMAP(Name, Index)                                                                      \
  TBitmap* Name() const { return const_cast<TcxGridTableBackgroundBitmaps*>(this)->OwnBitmap(Index); } \
  void Set##Name(TBitmap* v) { OwnBitmap(Index)->Assign(v); }
  KORVAN_TABLE_BITMAP(Footer, bbFooter)
  KORVAN_TABLE_BITMAP(Header, bbHeader)
  KORVAN_TABLE_BITMAP(Group, bbGroup)
  KORVAN_TABLE_BITMAP(GroupByBox, bbGroupByBox)
  KORVAN_TABLE_BITMAP(Indicator, bbIndicator)
  KORVAN_TABLE_BITMAP(Preview, bbPreview)
#undef KORVAN_TABLE_BITMAP
  void AssignFrom(TPersistent* source) override;
};

class TcxGridTableViewStyles : public TcxCustomGridTableViewStyles {
  KORVAN_CLASS(TcxGridTableViewStyles, TcxCustomGridTableViewStyles)

 public:
  static constexpr Integer vsFooter = 8, vsGroup = 9, vsGroupByBox = 10, vsHeader = 11, vsNewItemRowInfoText = 12,
                           vsIndicator = 13, vsPreview = 14;
  explicit TcxGridTableViewStyles(TPersistent* owner) : TcxCustomGridTableViewStyles(owner) {}
  TcxGridTableView* TableView() const;
#define KORVAN_TABLE_STYLE(Name, Index)                                                               \
  TcxStyle* Name() const { return const_cast<TcxGridTableViewStyles*>(this)->GetIndexedStyle(Index); } \
  void Set##Name(TcxStyle* v) { SetIndexedStyle(Index, v); }
  KORVAN_TABLE_STYLE(Footer, vsFooter)
  KORVAN_TABLE_STYLE(Group, vsGroup)
  KORVAN_TABLE_STYLE(GroupByBox, vsGroupByBox)
  KORVAN_TABLE_STYLE(Header, vsHeader)
  KORVAN_TABLE_STYLE(NewItemRowInfoText, vsNewItemRowInfoText)
  KORVAN_TABLE_STYLE(Indicator, vsIndicator)
  KORVAN_TABLE_STYLE(Preview, vsPreview)
#undef KORVAN_TABLE_STYLE
  TcxCustomStyleSheet* GetStyleSheet() const { return StyleSheet(); }
  TcxGridGetCellStyleEvent OnGetFooterStyle;
  TcxGridGetFooterStyleExEvent OnGetFooterStyleEx;
  TcxGridGetGroupStyleEvent OnGetGroupStyle;
  TcxGridGetHeaderStyleEvent OnGetHeaderStyle;
  TcxGridGetCellStyleEvent OnGetPreviewStyle;

  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params) override;
  void GetRecordContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item,
                              TcxStyleParams& params) override;
  void GetFooterParams(TcxCustomGridRow* row, TcxGridColumn* column, Integer level, TcxStyleParams& params);
  void GetGroupParams(TcxCustomGridRecord* record, Integer level, TcxStyleParams& params);
  void GetHeaderParams(TcxGridColumn* column, TcxStyleParams& params);
  void GetPreviewParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params);
  void AssignFrom(TPersistent* source) override;
};

class TcxGridTableViewStyleSheet : public TcxCustomStyleSheet {
  KORVAN_CLASS(TcxGridTableViewStyleSheet, TcxCustomStyleSheet)

 public:
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TClass StylesClass() override { return TcxGridTableViewStyles::StaticClass(); }
  TcxGridTableViewStyles* Styles() const {
    return static_cast<TcxGridTableViewStyles*>(const_cast<TcxGridTableViewStyleSheet*>(this)->OwnedStyles());
  }
  void SetStyles(TcxGridTableViewStyles* v) { AssignStyles(v); }
};

// ---- companions still to come ---------------------------------------------------------------

// The table controller: the horizontal position in pixels, header clicks that sort (and group
// with GroupBySorting), keys of rows under column headers, column cell multi-selection and the
// scroll bars. Source: cxGridTableController.cpp.
class TcxCustomGridDragOpenInfo;

class TcxGridTableController : public TcxCustomGridTableController {
  KORVAN_CLASS(TcxGridTableController, TcxCustomGridTableController)

 public:
  explicit TcxGridTableController(TcxCustomGridView* v) : TcxCustomGridTableController(v) {}
  TcxGridTableView* TableGridView() const;
  TcxGridTableViewInfo* TableViewInfoOfView() const;
  // The horizontal scroll position in pixels, clamped to 0 ... data width - client width.
  Integer LeftPos() const { return leftPos_; }
  // The column the user is sizing (null when none).
  TcxGridColumn* SizingColumn = nullptr;
  // The column being sized and, unless it is the last visible one, the columns left of it.
  virtual bool IsColumnLeftOfSizing(const TcxGridColumn* column) const;
  void SetLeftPos(Integer value);
  // The column whose header is held down by the left button.
  TcxGridColumn* PressedColumn() const { return pressedColumn_; }
  void SetPressedColumn(TcxGridColumn* value);
  TcxGridColumn* FocusedColumn() const { return static_cast<TcxGridColumn*>(FocusedItem()); }
  // Column cell multi-selection: the columns whose cell-selection flag is set.
  Integer GetSelectedColumnCount() const;
  TcxGridColumn* GetSelectedColumn(Integer index) const;
  void ClearColumnSelection();
  void SelectAllColumns() { SelectColumns(nullptr, nullptr); }
  void SelectColumns(TcxGridColumn* fromColumn, TcxGridColumn* toColumn);
  TcxGridColumn* CellSelectionAnchor() const { return cellSelectionAnchor_; }
  void SetCellSelectionAnchor(TcxGridColumn* value) { cellSelectionAnchor_ = value; }
  virtual bool IsCellMultiSelect() const;
  // Shows every grouped column and clears the grouping.
  void UngroupAll();
  // A header click: sorts by the column (Shift adds, Ctrl removes), grouping with GroupBySorting.
  void ProcessHeaderClick(TcxGridColumn* column, TShiftState shift);
  // 1 left, 2 right (LeftPos by 10 pixels), 3 up, 4 down (one record).
  void ScrollData(Integer direction);
  bool CanScrollData(Integer direction);
  // The auto-scroll direction near the edges of the scroll areas (0 none).
  Integer GetDragScrollDirection(Integer x, Integer y);
  // While a column header is dragged: the automatic scrolling turns left or right near the ends
  // of the area that scrolls sideways, and stops elsewhere.
  void CheckDragScrollingHorz(const TPoint& p) override;

  void CheckCoordinates() override;
  void CancelMode() override;
  Integer GetMouseWheelScrollingKind() override { return 2; }
  bool CanHideBothScrollBars(TScrollBarKind kind) override { return kind == sbHorizontal; }
  void InitScrollBarsParameters() override;
  bool AllRecordsFit() override;
  void Scroll(TScrollBarKind kind, TScrollCode code, Integer& pos) override;
  void EndDragAndDrop(bool accepted) override;
  // A drag held over a master row's detail tab opens that tab after the grid's wait.
  TcxCustomGridDragOpenInfo* GetDragOpenInfo(TcxCustomGridHitTest* hitTest) override;
  // The customization form and the columns quick customization popup of the table view.
  TClass GetCustomizationFormClass() override;
  TClass GetItemsCustomizationPopupClass() override;
  void AdjustCustomizationFormBounds(TRect& bounds) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void HandleKeyDown(Word& key, TShiftState shift) override;
  bool CanAppend() override;
  // The new item row cannot be deleted.
  bool CanDelete(bool checkOptions) override;
  // A view that loses the focus unfocuses its new item row first.
  void FocusLost() override;
  bool IsNewItemRowFocused() const;
  void FocusedItemChanged(TcxCustomGridTableItem* prevItem) override;
  void ClearSelection() override;
  void MakeItemVisible(TcxCustomGridTableItem* item) override;
  void SelectAll() override;
  virtual void LeftPosChanged();
  // The drag object of a column header (the moving step fills the table's).
  virtual TcxDragAndDropObjectClass GetColumnHeaderMovingObjectClass();
  // Column cell multi-selection through the record selection of clicks and keys.
  void KeyDown(Word& key, TShiftState shift) override;
  bool CanPostponeRecordSelection() override;
  bool IsSelectionClick(TcxCustomGridHitTest* hitTest, TShiftState shift) override;
  void DoNormalSelection(TcxCustomGridHitTest* hitTest = nullptr) override;
  void DoRangeSelection(bool clearOthers, TcxCustomGridHitTest* hitTest = nullptr) override;
  void SelectFocusedRecordOnly() override;
  bool IsKeyForController(Word key, TShiftState shift, bool focusedRowChanged) override;
  void DoKeyboardSelection(Word key, TShiftState shift) override;
  bool CanAddRangeToSelection() override { return !IsCellMultiSelect(); }
  bool CanToggleRecordSelection() override { return !IsCellMultiSelect(); }
  virtual bool CanChangeColumnSelectionOnKey(TcxGridColumn* prevFocusedColumn);
  virtual void SelectColumnsOnKey(Word key, TShiftState shift);
  // Paging and pulling the focus beyond the edges (1 left, 2 right, 3 up, 4 down).
  void ShowNextPage() override;
  void ShowPrevPage() override;
  void DoPullFocusingScrolling(Integer direction) override;
  bool GetPullFocusingScrollingDirection(Integer x, Integer y, Integer& direction) override;
  bool SupportsPullFocusing() override;
  // The detail of the last master row is cut off: the view may scroll one record further.
  virtual bool IsLastDetailPartlyVisible(bool allRows);
  Integer GetMaxTopRecordIndex() override;
  Integer GetScrollBarRecordCount() override;

 private:
  Integer leftPos_ = 0;
  TcxGridColumn* pressedColumn_ = nullptr;
  TcxGridColumn* cellSelectionAnchor_ = nullptr;
  TPoint pressPos_;
};

// The table's layout and painting: cxGridTableViewInfo.h.
class TcxGridTablePainter;
class TcxGridTableViewInfo;

// ---- the table view ----------------------------------------------------------------------------

class TcxGridTableView : public TcxCustomGridTableView {
  KORVAN_CLASS(TcxGridTableView, TcxCustomGridTableView)

 public:
  explicit TcxGridTableView(TComponent* owner) : TcxCustomGridTableView(owner) {}
  ~TcxGridTableView() override;

  // Getters (the export link and the application read these).
  TcxGridColumn* GetColumn(Integer index) const;
  Integer GetColumnCount() const { return ItemCount(); }
  TcxGridColumn* GetVisibleColumn(Integer index) const;
  Integer GetVisibleColumnCount() const { return VisibleItemCount(); }
  TcxGridColumn* GetGroupedColumn(Integer index) const;
  Integer GetGroupedColumnCount() const;
  TcxGridTableController* GetController() const { return static_cast<TcxGridTableController*>(Controller()); }
  TcxGridDataController* GetDataController() const { return dynamic_cast<TcxGridDataController*>(DataController()); }
  TcxGridViewData* GetViewData() const;
  TcxGridTableViewInfo* GetViewInfo() const;
  TcxGridTableBackgroundBitmaps* GetBackgroundBitmaps() const {
    return static_cast<TcxGridTableBackgroundBitmaps*>(BackgroundBitmaps());
  }
  TcxGridTableOptionsBehavior* GetOptionsBehavior() const {
    return static_cast<TcxGridTableOptionsBehavior*>(OptionsBehavior());
  }
  TcxGridTableOptionsCustomize* GetOptionsCustomize() const {
    return static_cast<TcxGridTableOptionsCustomize*>(OptionsCustomize());
  }
  TcxGridTableOptionsData* GetOptionsData() const { return static_cast<TcxGridTableOptionsData*>(OptionsData()); }
  TcxGridTableOptionsSelection* GetOptionsSelection() const {
    return static_cast<TcxGridTableOptionsSelection*>(OptionsSelection());
  }
  TcxGridTableOptionsView* GetOptionsView() const { return static_cast<TcxGridTableOptionsView*>(OptionsView()); }
  TcxGridTableViewStyles* GetStyles() const { return static_cast<TcxGridTableViewStyles*>(Styles()); }
  TcxGridPreview* Preview() const { return preview_; }
  void SetPreview(TcxGridPreview* v) { preview_->AssignFrom(v); }
  bool HasCustomDrawColumnHeader() const { return bool(OnCustomDrawColumnHeader); }
  bool HasCustomDrawFooterCell() const { return bool(OnCustomDrawFooterCell); }
  bool HasCustomDrawGroupCell() const { return bool(OnCustomDrawGroupCell); }
  bool HasCustomDrawIndicatorCell() const { return bool(OnCustomDrawIndicatorCell); }
  bool HasCellMergingColumns() const;

  // Setters of the published objects copy into the owned ones.
  void SetBackgroundBitmapsObject(TcxGridTableBackgroundBitmaps* v) { GetBackgroundBitmaps()->AssignFrom(v); }
  void SetDataControllerObject(TcxGridDataController* v) {
    if (v && v != GetDataController()) GetDataController()->Assign(v);
  }
  void SetOptionsBehaviorObject(TcxGridTableOptionsBehavior* v) { GetOptionsBehavior()->AssignFrom(v); }
  void SetOptionsCustomizeObject(TcxGridTableOptionsCustomize* v) { GetOptionsCustomize()->AssignFrom(v); }
  void SetOptionsDataObject(TcxGridTableOptionsData* v) { GetOptionsData()->AssignFrom(v); }
  void SetOptionsSelectionObject(TcxGridTableOptionsSelection* v) { GetOptionsSelection()->AssignFrom(v); }
  void SetOptionsViewObject(TcxGridTableOptionsView* v) { GetOptionsView()->AssignFrom(v); }
  void SetStylesObject(TcxGridTableViewStyles* v) { GetStyles()->AssignFrom(v); }

  TcxGridColumnEvent OnColumnHeaderClick;
  TcxGridColumnEvent OnColumnPosChanged;
  TcxGridColumnEvent OnColumnSizeChanged;
  TcxGridColumnCustomDrawHeaderEvent OnCustomDrawColumnHeader;
  TcxGridColumnCustomDrawHeaderEvent OnCustomDrawFooterCell;
  TcxGridTableCellCustomDrawEvent OnCustomDrawGroupCell;
  TcxGridIndicatorCellCustomDrawEvent OnCustomDrawIndicatorCell;
  TNotifyEvent OnLeftPosChanged;

  // Stored layout: "Footer", "GroupByBox", "GroupFooters" and "NewItemRow" before the base's.
  void GetStoredProperties(TStrings* properties) override;
  void GetStoredPropertyValue(const String& name, Variant& value) override;
  void SetStoredPropertyValue(const String& name, const Variant& value) override;
  void ApplyEditedLayout(TcxCustomGridView* source) override;
  String GetCustomizationCaption() override;
  void DoAssign(TcxCustomGridView* source) override;
  bool IsLayoutWidthDependent() override;
  // A detail's data decides whether its master row shows an expand button.
  void DetailDataChanged(TcxCustomGridView* detail) override;
  void GetItemsForCopy(std::vector<TcxCustomGridTableItem*>& list, bool copyAll) override;
  // The columns a column range selection walks, in their order (the visible columns).
  virtual void GetItemsForRangeSelection(std::vector<TcxGridColumn*>& list);
  bool HasVariableRecordHeights() const;
  // Best-fits the item, or every visible column (in one update bracket) without one.
  virtual void ApplyBestFit(TcxCustomGridTableItem* item = nullptr, bool checkCanSize = false, bool fireEvents = false);

  TClass GetControllerClass() override { return TcxGridTableController::StaticClass(); }
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDataController>(); }
  TClass GetPainterClass() override;
  TClass GetViewDataClass() override;
  TClass GetViewInfoClass() override;
  TClass GetBackgroundBitmapsClass() override { return TcxGridTableBackgroundBitmaps::StaticClass(); }
  TClass GetOptionsBehaviorClass() override { return TcxGridTableOptionsBehavior::StaticClass(); }
  TClass GetOptionsDataClass() override { return TcxGridTableOptionsData::StaticClass(); }
  TClass GetOptionsSelectionClass() override { return TcxGridTableOptionsSelection::StaticClass(); }
  TClass GetOptionsViewClass() override { return TcxGridTableOptionsView::StaticClass(); }
  TClass GetStylesClass() override { return TcxGridTableViewStyles::StaticClass(); }
  TClass GetItemClass() override { return TcxGridColumn::StaticClass(); }
  TClass GetOptionsCustomizeClass() override { return TcxGridTableOptionsCustomize::StaticClass(); }
  TClass GetSummaryItemClass() override { return TcxGridTableSummaryItem::StaticClass(); }
  TClass GetSummaryGroupItemLinkClass() override { return TcxGridTableSummaryGroupItemLink::StaticClass(); }
  virtual TClass GetPreviewClass() { return TcxGridPreview::StaticClass(); }

  // Cells merge only without a preview and without row separators.
  bool CanCellMerging() const;
  virtual bool CanOffsetHorz();
  bool HidesExpandButtonsForEmptyDetails() const;
  void DoColumnHeaderClick(TcxGridColumn* column);
  void DoColumnPosChanged(TcxGridColumn* column);
  void DoColumnSizeChanged(TcxGridColumn* column);
  void DoCustomDrawColumnHeader(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  void DoCustomDrawFooterCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  void DoCustomDrawGroupCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  void DoCustomDrawIndicatorCell(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  void DoLeftPosChanged();

 protected:
  void CreateOptions() override;
  void DestroyOptions() override;

 private:
  TcxGridPreview* preview_ = nullptr;
};

// ---- hit tests -------------------------------------------------------------------------------------

class TcxGridGroupByBoxHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridGroupByBoxHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 201; }
};

// A hit test on a column: its column and the kind of container that shows it.
class TcxCustomGridColumnHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxCustomGridColumnHitTest, TcxCustomGridViewHitTest)

 public:
  TcxGridColumn* Column = nullptr;
  Integer ColumnContainerKind = 0;
};

class TcxGridColumnHeaderHitTest : public TcxCustomGridColumnHitTest {
  KORVAN_CLASS(TcxGridColumnHeaderHitTest, TcxCustomGridColumnHitTest)

 public:
  Integer GetHitTestCode() override { return 202; }
  // The column moves when it can be moved (the moving object comes with column moving).
  TcxDragAndDropObjectClass DragAndDropObjectClass() override;
  static TcxDragAndDropObjectClass MovingObjectClass;
};

class TcxGridColumnHeaderHorzSizingEdgeHitTest : public TcxCustomGridColumnHitTest {
  KORVAN_CLASS(TcxGridColumnHeaderHorzSizingEdgeHitTest, TcxCustomGridColumnHitTest)

 public:
  Integer GetHitTestCode() override { return 203; }
  TCursor GetCursor() override { return crcxHorzSize; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override { return SizingObjectClass; }
  static TcxDragAndDropObjectClass SizingObjectClass;
};

class TcxGridColumnHeaderFilterButtonHitTest : public TcxCustomGridColumnHitTest {
  KORVAN_CLASS(TcxGridColumnHeaderFilterButtonHitTest, TcxCustomGridColumnHitTest)

 public:
  Integer GetHitTestCode() override { return 204; }
};

class TcxGridFooterHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridFooterHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 205; }
};

class TcxGridFooterCellHitTest : public TcxCustomGridColumnHitTest {
  KORVAN_CLASS(TcxGridFooterCellHitTest, TcxCustomGridColumnHitTest)

 public:
  Integer GetHitTestCode() override { return 206; }
};

class TcxGridGroupFooterHitTest : public TcxGridFooterHitTest {
  KORVAN_CLASS(TcxGridGroupFooterHitTest, TcxGridFooterHitTest)

 public:
  Integer GetHitTestCode() override { return 207; }
};

class TcxGridGroupFooterCellHitTest : public TcxGridFooterCellHitTest {
  KORVAN_CLASS(TcxGridGroupFooterCellHitTest, TcxGridFooterCellHitTest)

 public:
  Integer GetHitTestCode() override { return 208; }
};

class TcxGridRowIndicatorHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridRowIndicatorHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 213; }
  TCursor GetCursor() override { return MultiSelect ? crcxGridSelectRow : crDefault; }
  bool MultiSelect = false;
};

class TcxGridRowSizingEdgeHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridRowSizingEdgeHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 214; }
  TCursor GetCursor() override { return crcxVertSize; }
  TcxDragAndDropObjectClass DragAndDropObjectClass() override { return SizingObjectClass; }
  static TcxDragAndDropObjectClass SizingObjectClass;
};

class TcxGridIndicatorHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridIndicatorHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 215; }
};

class TcxGridRowLevelIndentHitTest : public TcxGridRecordHitTest {
  KORVAN_CLASS(TcxGridRowLevelIndentHitTest, TcxGridRecordHitTest)

 public:
  Integer GetHitTestCode() override { return 216; }
  // A click on a row's level indent neither focuses nor selects the row.
  bool CanClick() override { return false; }
};

class TcxGridHeaderHitTest : public TcxCustomGridViewHitTest {
  KORVAN_CLASS(TcxGridHeaderHitTest, TcxCustomGridViewHitTest)

 public:
  Integer GetHitTestCode() override { return 217; }
};

// The look-and-feel painter of a view's grid (the standard one without a grid).
TcxCustomLookAndFeelPainterClass GridTableViewPainter(TcxCustomGridView* view);

// Unit start: registers the table view ("Table"), its column and its style sheet.
void InitializeCxGridTableView();
