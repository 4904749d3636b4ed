// The banded table view: columns arranged in bands. A band is a titled rectangle above the
// data; bands nest, and only bands without child bands hold columns, in band rows stacked
// vertically (one record spans several lines of cells). Root bands can be fixed to the left or
// right edge. This header holds the band model (bands, band rows, positions), the banded
// column with its options and styles, the view's option, style and bitmap classes and the
// view. Layout and painting: cxGridBandedTableViewInfo.h; controller and interaction:
// cxGridBandedTableController.cpp, cxGridBandedTableDragDrop.cpp.
// Sources: cxGridBandedTableView.cpp (model and view), cxGridBandedTableViewInfo.cpp.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "gridviews/cxGridTableView.h"
#include "rtl/SysUtils.h"

class TcxGridBand;
class TcxGridBands;
class TcxGridBandRow;
class TcxGridBandRows;
class TcxGridBandedColumn;
class TcxGridBandedTableView;
class TcxGridBandedTableViewInfo;
class TcxGridBandedTableController;

enum TcxGridBandFixedKind : Byte { fkNone, fkLeft, fkRight };

using TcxGridBandEvent = std::function<void(TcxGridBandedTableView* sender, TcxGridBand* band)>;
using TcxGridBandGetStoredPropertiesEvent = std::function<void(TcxGridBand* sender, TStrings* properties)>;
using TcxGridBandGetStoredPropertyValueEvent =
    std::function<void(TcxGridBand* sender, const String& name, Variant& value)>;
using TcxGridBandSetStoredPropertyValueEvent =
    std::function<void(TcxGridBand* sender, const String& name, const Variant& value)>;
using TcxGridBandGetHeaderStyle =
    std::function<void(TcxGridBandedTableView* sender, TcxGridBand* band, TcxStyle*& style)>;
using TcxGridBandCustomDrawHeaderEvent =
    std::function<void(TcxGridBandedTableView* sender, TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo,
                       bool& done)>;

// The entry of a derived list; an index outside it raises EListError.
template <class T>
T* CheckedItem(const std::vector<T*>& list, Integer i) {
  if (i < 0 || i >= Integer(list.size())) throw EListError("List index out of bounds (" + IntToStr(i) + ")");
  return list[size_t(i)];
}

// ---- band rows ---------------------------------------------------------------------------------

// One horizontal run of columns inside a leaf band.
class TcxGridBandRow : public TObject {
  KORVAN_CLASS(TcxGridBandRow, TObject)

 public:
  using CreateArgType = TcxGridBandRows*;
  explicit TcxGridBandRow(TcxGridBandRows* owner) : owner_(owner) {}
  TcxGridBandRows* BandRows() const { return owner_; }
  Integer Count() const { return Integer(columns_.size()); }
  TcxGridBandedColumn* Items(Integer i) const;
  Integer VisibleCount() const { return Integer(visibleColumns_.size()); }
  TcxGridBandedColumn* VisibleItems(Integer i) const;
  Integer IndexOf(const TcxGridBandedColumn* column) const;
  Integer VisibleIndexOf(const TcxGridBandedColumn* column) const;
  Integer Index() const;
  Integer VisibleIndex() const;
  bool IsFirst() const { return VisibleIndex() == 0; }
  bool IsLast() const;
  // The largest line count of its visible columns, at least 1.
  Integer LineCount() const;
  // The lines of the visible rows above it.
  Integer LineOffset() const;
  // The sum of its visible columns' widths.
  Integer Width() const;
  // With a visible column, or empty (an empty row takes drops).
  bool IsVisible() const { return columns_.empty() || !visibleColumns_.empty(); }
  void RefreshVisibleItems();

 private:
  friend class TcxGridBandRows;
  TcxGridBandRows* owner_;
  std::vector<TcxGridBandedColumn*> columns_, visibleColumns_;
};

// The band rows of one band.
class TcxGridBandRows : public TObject {
  KORVAN_CLASS(TcxGridBandRows, TObject)

 public:
  using CreateArgType = TcxGridBand*;
  explicit TcxGridBandRows(TcxGridBand* band) : band_(band) {}
  ~TcxGridBandRows() override;
  TcxGridBand* Band() const { return band_; }
  Integer Count() const { return Integer(items_.size()); }
  TcxGridBandRow* Items(Integer i) const;
  Integer VisibleCount() const { return Integer(visibleItems_.size()); }
  TcxGridBandRow* VisibleItems(Integer i) const;
  Integer IndexOf(const TcxGridBandRow* row) const;
  Integer VisibleIndexOf(const TcxGridBandRow* row) const;
  TcxGridBandRow* FirstVisible() const { return visibleItems_.empty() ? nullptr : visibleItems_.front(); }
  TcxGridBandRow* LastVisible() const { return visibleItems_.empty() ? nullptr : visibleItems_.back(); }
  Integer Width() const;
  Integer LineOffset(Integer visibleIndex) const;
  // The sum of the visible rows' line counts.
  Integer LineCount() const { return LineOffset(VisibleCount()); }
  // The visible row whose lines contain the line, -1 when none.
  Integer VisibleRowAtLine(Integer line) const;
  Integer IndexOfColumn(const TcxGridBandedColumn* column) const;
  // A new empty row (an index above Count becomes Count).
  TcxGridBandRow* Insert(Integer index);
  // Places the column at row `row`, column `col` (-1: no row / append); see the band model.
  void MoveColumn(TcxGridBandedColumn* column, Integer row, Integer col);
  void RefreshVisibleItems();

 private:
  friend class TcxGridBand;
  void RemoveFromRow(TcxGridBandedColumn* column, Integer row);
  TcxGridBand* band_;
  std::vector<TcxGridBandRow*> items_, visibleItems_;
};

// ---- bands -------------------------------------------------------------------------------------

class TcxGridBandCustomOptions : public TPersistent {
  KORVAN_CLASS(TcxGridBandCustomOptions, TPersistent)

 public:
  using CreateArgType = TcxGridBand*;
  explicit TcxGridBandCustomOptions(TcxGridBand* band) : band_(band) {}
  TcxGridBand* Band() const { return band_; }
  virtual void Changed(Integer kind);
  virtual void AssignFrom(TPersistent* source);
  void Assign(TPersistent* source) override { AssignFrom(source); }

 private:
  TcxGridBand* band_;
};

class TcxGridBandOptions : public TcxGridBandCustomOptions {
  KORVAN_CLASS(TcxGridBandOptions, TcxGridBandCustomOptions)

 public:
  using TcxGridBandCustomOptions::TcxGridBandCustomOptions;
  bool HoldOwnColumnsOnly() const { return holdOwnColumnsOnly_; }
  void SetHoldOwnColumnsOnly(bool v) { SetFlag(holdOwnColumnsOnly_, v); }
  bool Moving() const { return moving_; }
  void SetMoving(bool v) { SetFlag(moving_, v); }
  bool Sizing() const { return sizing_; }
  void SetSizing(bool v) { SetFlag(sizing_, v); }
  void AssignFrom(TPersistent* source) override;

 private:
  void SetFlag(bool& field, bool v);
  bool holdOwnColumnsOnly_ = false, moving_ = true, sizing_ = true;
};

// Where a band sits: its parent (BandIndex, -1 for a root band) and its place among its
// siblings (ColIndex). While the view loads or assigns its bands the values are only stored.
class TcxGridBandPosition : public TcxGridBandCustomOptions {
  KORVAN_CLASS(TcxGridBandPosition, TcxGridBandCustomOptions)

 public:
  using TcxGridBandCustomOptions::TcxGridBandCustomOptions;
  Integer BandIndex() const;
  void SetBandIndex(Integer value);
  Integer ColIndex() const;
  void SetColIndex(Integer value);
  Integer VisibleColIndex() const;
  bool IsColIndexStored() const;
  Integer StoredBandIndex = -1, StoredColIndex = -1;
  void SaveStoredPosition();
  void AssignFrom(TPersistent* source) override;
};

class TcxGridBandStyles : public TcxCustomGridStyles {
  KORVAN_CLASS(TcxGridBandStyles, TcxCustomGridStyles)

 public:
  static constexpr Integer bsBackground = 0, bsContent = 1, bsHeader = 2;
  explicit TcxGridBandStyles(TPersistent* owner);
  TcxGridBand* Band() const { return band_; }
  TcxCustomGridView* GridView() const override;
  TcxStyle* Background() const { return const_cast<TcxGridBandStyles*>(this)->GetIndexedStyle(bsBackground); }
  void SetBackground(TcxStyle* v) { SetIndexedStyle(bsBackground, v); }
  TcxStyle* Content() const { return const_cast<TcxGridBandStyles*>(this)->GetIndexedStyle(bsContent); }
  void SetContent(TcxStyle* v) { SetIndexedStyle(bsContent, v); }
  TcxStyle* Header() const { return const_cast<TcxGridBandStyles*>(this)->GetIndexedStyle(bsHeader); }
  void SetHeader(TcxStyle* v) { SetIndexedStyle(bsHeader, v); }
  TcxGridBandGetHeaderStyle OnGetHeaderStyle;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetBackgroundParams(TcxStyleParams& params);
  void GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem* item, TcxStyleParams& params);
  void GetHeaderParams(TcxStyleParams& params);
  void AssignFrom(TPersistent* source) override;

 private:
  TcxGridBand* band_;
};

class TcxGridBand : public TCollectionItem {
  KORVAN_CLASS(TcxGridBand, TCollectionItem)

 public:
  explicit TcxGridBand(TCollection* collection);
  ~TcxGridBand() override;

  TcxGridBands* Bands() const;
  TcxGridBandedTableView* GridView() const;
  // The band's own number (stable for its life; matches bands when collections are assigned).
  Integer ID() const { return id_; }
  TcxGridBand* ParentBand() const { return parent_; }
  Integer ChildBandCount() const { return Integer(children_.size()); }
  TcxGridBand* ChildBands(Integer i) const { return CheckedItem(children_, i); }
  Integer IndexOfChild(const TcxGridBand* band) const;
  Integer GetVisibleChildBandCount() const { return Integer(visibleChildren_.size()); }
  TcxGridBand* GetVisibleChildBand(Integer i) const { return CheckedItem(visibleChildren_, i); }
  Integer IndexOfVisibleChild(const TcxGridBand* band) const;
  Integer ColumnCount() const { return Integer(columns_.size()); }
  TcxGridBandedColumn* Columns(Integer i) const { return CheckedItem(columns_, i); }
  TcxGridBandRows* Rows() const { return rows_; }

  String Caption() const { return caption_; }
  void SetCaption(const String& v);
  TcxGridBandFixedKind FixedKind() const { return fixedKind_; }
  void SetFixedKind(TcxGridBandFixedKind v);
  TAlignment HeaderAlignmentHorz() const { return alignmentHorz_; }
  void SetHeaderAlignmentHorz(TAlignment v);
  TcxAlignmentVert HeaderAlignmentVert() const { return alignmentVert_; }
  void SetHeaderAlignmentVert(TcxAlignmentVert v);
  bool Hidden() const { return hidden_; }
  void SetHidden(bool v);
  TcxGridBandOptions* Options() const { return options_; }
  void SetOptions(TcxGridBandOptions* v) { options_->AssignFrom(v); }
  TcxGridBandPosition* Position() const { return position_; }
  void SetPosition(TcxGridBandPosition* v) { position_->AssignFrom(v); }
  TcxGridBandStyles* Styles() const { return styles_; }
  void SetStyles(TcxGridBandStyles* v) { styles_->AssignFrom(v); }
  Integer Tag() const { return tag_; }
  void SetTag(Integer v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  Integer Width() const { return width_; }
  void SetWidth(Integer v);

  TNotifyEvent OnHeaderClick;
  TcxGridBandGetStoredPropertiesEvent OnGetStoredProperties;
  TcxGridBandGetStoredPropertyValueEvent OnGetStoredPropertyValue;
  TcxGridBandSetStoredPropertyValueEvent OnSetStoredPropertyValue;

  void Assign(TPersistent* source) override;
  String DisplayName() const override;
  void SetIndex(Integer value) override;

  Integer GetLevel() const;
  Integer GetVisibleIndex() const;
  Integer GetBottomIndex() const;
  bool IsBottom() const { return visibleChildren_.empty(); }
  bool IsRoot() const { return parent_ == nullptr; }
  bool IsEmpty() const;
  bool IsFirst() const;
  bool IsLast() const;
  bool IsLastVisibleSibling() const;
  bool IsRightmost() const;
  bool IsDestroying() const { return destroying_; }
  // True when `band` is this band or lies under it.
  bool IsAncestorOf(const TcxGridBand* band) const;
  TcxGridBand* GetFirstBottomDescendant();
  TcxGridBand* GetRootBand();
  TcxGridBand* GetWidthOwner() const;
  Integer GetMinWidth() const;

  virtual String GetStoringName() const;
  virtual bool GetStoredProperties(TStrings* list);
  virtual void GetStoredPropertyValue(const String& name, Variant& value);
  virtual void SetStoredPropertyValue(const String& name, const Variant& value);
  virtual bool CanHide() const;
  virtual bool CanMove() const;
  virtual bool CanSize() const;
  virtual void Changed(Integer kind);
  // A width the user gave (sizing, best fit): the neighbours keep the widths they show.
  virtual void ForceWidth(Integer value);
  virtual bool IsActuallyVisible() const;
  virtual bool KeepsWidthInAutoWidth() const;
  virtual bool HasFixedWidth() const { return !options_->Sizing(); }
  virtual void VisibleForCustomizationChanged();
  virtual TClass GetOptionsClass() { return TcxGridBandOptions::StaticClass(); }
  virtual TClass GetStylesClass() { return TcxGridBandStyles::StaticClass(); }
  virtual void DoHeaderClick();
  // Fits the band to its columns and caption (Width 0, columns best fit, then the header).
  virtual void ApplyBestFit(bool checkSizing = false, bool fireEvents = false);

  // Tree maintenance (the band model).
  void AddChildBand(TcxGridBand* band);
  void RemoveChildBand(TcxGridBand* band);
  void MoveChildBand(TcxGridBand* band, Integer index);
  void RefreshVisibleChildBandsList();
  void AddColumn(TcxGridBandedColumn* column);
  void RemoveColumn(TcxGridBandedColumn* column);
  // BandIndex := this band, then the rows' move.
  void MoveColumn(TcxGridBandedColumn* column, Integer row, Integer col);
  // Caches (then re-checks) the actual visibility of the band, its children and columns.
  void SaveActualVisibility();
  void UpdateActualVisibility();
  bool ApplyingStoredPosition = false;

 private:
  friend class TcxGridBands;
  friend class TcxGridBandPosition;
  void MoveChildrenToParent();
  Integer id_ = 0;
  TcxGridBand* parent_ = nullptr;
  std::vector<TcxGridBand*> children_, visibleChildren_;
  std::vector<TcxGridBandedColumn*> columns_;
  TcxGridBandRows* rows_ = nullptr;
  String caption_;
  TcxGridBandFixedKind fixedKind_ = fkNone;
  TAlignment alignmentHorz_ = taCenter;
  TcxAlignmentVert alignmentVert_ = vaCenter;
  bool hidden_ = false, visible_ = true, actuallyVisibleCache_ = true, destroying_ = false;
  TcxGridBandOptions* options_ = nullptr;
  TcxGridBandPosition* position_ = nullptr;
  TcxGridBandStyles* styles_ = nullptr;
  Integer tag_ = 0, width_ = 0;
};

// The bands of a view with the lists every consumer reads instead of walking the tree.
class TcxGridBands : public TOwnedCollection {
  KORVAN_CLASS(TcxGridBands, TOwnedCollection)

 public:
  using CreateArgType = TcxGridBandedTableView*;
  explicit TcxGridBands(TcxGridBandedTableView* view);
  ~TcxGridBands() override;
  TcxGridBandedTableView* GridView() const { return view_; }
  TcxGridBand* Add() { return static_cast<TcxGridBand*>(TCollection::Add()); }
  TcxGridBand* GetBand(Integer index) const { return static_cast<TcxGridBand*>(Items(index)); }
  TcxGridBand* FindBandByID(Integer id) const;
  Integer GetBottomBandCount() const { return Integer(bottom_.size()); }
  TcxGridBand* GetBottomBand(Integer i) const { return CheckedItem(bottom_, i); }
  Integer GetVisibleCount() const { return Integer(visible_.size()); }
  TcxGridBand* GetVisibleBand(Integer i) const { return CheckedItem(visible_, i); }
  Integer GetVisibleRootBandCount() const { return Integer(visibleRoot_.size()); }
  TcxGridBand* GetVisibleRootBand(Integer i) const { return CheckedItem(visibleRoot_, i); }
  Integer GetRootBandCount() const { return Integer(root_.size()); }
  TcxGridBand* GetRootBand(Integer i) const { return CheckedItem(root_, i); }
  Integer GetLeafBandCount() const { return Integer(leaf_.size()); }
  TcxGridBand* GetLeafBand(Integer i) const { return CheckedItem(leaf_, i); }
  Integer IndexOfVisible(const TcxGridBand* band) const;
  Integer IndexOfVisibleRoot(const TcxGridBand* band) const;
  Integer IndexOfRoot(const TcxGridBand* band) const;
  Integer IndexOfBottom(const TcxGridBand* band) const;
  TcxGridBand* GetFirstBandWithRows() const;
  TcxGridBand* GetLastBandWithRows() const;
  Integer GetMaxRowCount() const;
  // 0 none, 1 left only, 2 right only, 3 both.
  Integer GetFixedKinds() const;
  Integer GetFirstVisibleIndex(TcxGridBandFixedKind kind) const;
  Integer GetLastVisibleIndex(TcxGridBandFixedKind kind) const;
  Integer GetFirstVisibleRootIndex(TcxGridBandFixedKind kind) const;
  Integer GetLastVisibleRootIndex(TcxGridBandFixedKind kind) const;
  Integer LeftCount() const { return leftCount_; }
  Integer RightCount() const { return rightCount_; }
  Integer NextID() const { return nextID_; }

  void Assign(TPersistent* source) override;
  virtual String GetStoringName() const { return "Bands"; }
  virtual bool GetStoredProperties(TStrings*) { return true; }
  virtual void GetStoredPropertyValue(const String&, Variant&) {}
  virtual void SetStoredPropertyValue(const String&, const Variant&) {}
  virtual TObject* CreateStoredObject(const String& name, const String& className);
  virtual void DeleteStoredObject(const String& name, TObject* object);
  virtual void GetStoredChildren(TStringList* list);
  virtual void BandVisibilityChanged(TcxGridBand*, bool) {}

  void RefreshVisibleBandsList();
  void RefreshRootBandsList();
  void RefreshLeafBandsList();
  void RefreshLists();

 private:
  friend class TcxGridBand;
  TcxGridBandedTableView* view_;
  std::vector<TcxGridBand*> leaf_, root_, visible_, visibleRoot_, bottom_;
  Integer leftCount_ = 0, rightCount_ = 0, rootLeftCount_ = 0, rootRightCount_ = 0;
  Integer nextID_ = 0;
};

// ---- banded columns ----------------------------------------------------------------------------

// A column's place: its band, its band row (RowIndex), its place in the row (ColIndex) and
// the lines it spans (LineCount).
class TcxGridBandedColumnPosition : public TcxCustomGridTableItemCustomOptions {
  KORVAN_CLASS(TcxGridBandedColumnPosition, TcxCustomGridTableItemCustomOptions)

 public:
  explicit TcxGridBandedColumnPosition(TcxCustomGridTableItem* item) : TcxCustomGridTableItemCustomOptions(item) {}
  TcxGridBandedColumn* Column() const;
  TcxGridBand* Band() const { return band_; }
  Integer BandIndex() const;
  void SetBandIndex(Integer value);
  Integer RowIndex() const;
  void SetRowIndex(Integer value);
  Integer ColIndex() const;
  void SetColIndex(Integer value);
  Integer LineCount() const { return lineCount_; }
  void SetLineCount(Integer value);
  Integer GetVisibleBandIndex() const;
  Integer GetVisibleRowIndex() const;
  Integer GetVisibleColIndex() const;
  TcxGridBandRow* GetRow() const;
  Integer StoredBandIndex = -1, StoredRowIndex = -1, StoredColIndex = -1;
  void SaveStoredPosition(bool onlyBand);
  void AssignFrom(TPersistent* source) override;

 private:
  friend class TcxGridBand;
  friend class TcxGridBands;
  bool IsLoading() const;
  TcxGridBand* band_ = nullptr;
  Integer lineCount_ = 1;
};

class TcxGridBandedColumnOptions : public TcxGridColumnOptions {
  KORVAN_CLASS(TcxGridBandedColumnOptions, TcxGridColumnOptions)

 public:
  explicit TcxGridBandedColumnOptions(TcxCustomGridTableItem* item) : TcxGridColumnOptions(item) {}
  bool VertSizing() const { return vertSizing_; }
  void SetVertSizing(bool v);
  void AssignFrom(TPersistent* source) override;

 private:
  bool vertSizing_ = true;
};

class TcxGridBandedColumnStyles : public TcxGridColumnStyles {
  KORVAN_CLASS(TcxGridBandedColumnStyles, TcxGridColumnStyles)

 public:
  explicit TcxGridBandedColumnStyles(TPersistent* owner) : TcxGridColumnStyles(owner) {}
  // A column of a band takes its content default from the band's Content style.
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
};

class TcxGridBandedColumn : public TcxGridColumn {
  KORVAN_CLASS(TcxGridBandedColumn, TcxGridColumn)

 public:
  explicit TcxGridBandedColumn(TComponent* owner);
  ~TcxGridBandedColumn() override;
  TcxGridBandedTableView* GridView() const;
  TcxGridBandedColumnPosition* Position() const { return position_; }
  void SetPosition(TcxGridBandedColumnPosition* v) { position_->AssignFrom(v); }
  TcxGridBandedColumnOptions* GetOptions() { return static_cast<TcxGridBandedColumnOptions*>(Options()); }
  TcxGridBandedColumnOptions* BandedOptionsObject() const {
    return const_cast<TcxGridBandedColumn*>(this)->GetOptions();
  }
  void SetBandedOptionsObject(TcxGridBandedColumnOptions* v) { GetOptions()->AssignFrom(v); }
  TcxGridBandedColumnStyles* BandedStylesObject() const {
    return static_cast<TcxGridBandedColumnStyles*>(const_cast<TcxGridBandedColumn*>(this)->Styles());
  }
  void SetBandedStylesObject(TcxGridBandedColumnStyles* v) { BandedStylesObject()->AssignFrom(v); }

  void AssignFrom(TcxCustomGridTableItem* source) override;
  bool GetActuallyVisible() const override;
  bool CanScroll() override;
  bool IsVisibleForCustomization() const;
  bool HasMultilineCells() const;
  TClass GetOptionsClass() override { return TcxGridBandedColumnOptions::StaticClass(); }
  TClass GetStylesClass() override { return TcxGridBandedColumnStyles::StaticClass(); }
  void GetStoredProperties(TStrings* list) override;
  void GetStoredPropertyValue(const String& name, Variant& value) override;
  void SetStoredPropertyValue(const String& name, const Variant& value) override;
  void FreezeAutoWidths() override;
  bool CanCellMerging() override;
  bool IsBottommost() override;
  bool IsLeftmost() override;
  bool IsBottommostInView() override;
  bool IsLeftmostInView() override;
  bool IsRightmostInView() override;
  bool IsRightmost() override;
  bool IsTopmost() override;
  bool CanVertSize();
  // The actual visibility cached before a band change, and the check after it.
  void SaveActualVisibility() { actuallyVisibleCache_ = GetActuallyVisible(); }
  void CheckActualVisibility();

 private:
  TcxGridBandedColumnPosition* position_ = nullptr;
  bool actuallyVisibleCache_ = false;
};

// ---- view options, styles, bitmaps -------------------------------------------------------------

class TcxGridBandedTableOptionsBehavior : public TcxGridTableOptionsBehavior {
  KORVAN_CLASS(TcxGridBandedTableOptionsBehavior, TcxGridTableOptionsBehavior)

 public:
  explicit TcxGridBandedTableOptionsBehavior(TcxCustomGridView* v) : TcxGridTableOptionsBehavior(v) {}
  bool BandHeaderHints() const { return bandHeaderHints_; }
  void SetBandHeaderHints(bool v) { SetFlag(bandHeaderHints_, v); }
  void AssignFrom(TPersistent* source) override;

 private:
  bool bandHeaderHints_ = true;
};

class TcxGridBandedTableOptionsCustomize : public TcxGridTableOptionsCustomize {
  KORVAN_CLASS(TcxGridBandedTableOptionsCustomize, TcxGridTableOptionsCustomize)

 public:
  explicit TcxGridBandedTableOptionsCustomize(TcxCustomGridView* v) : TcxGridTableOptionsCustomize(v) {}
  bool BandHiding() const { return bandHiding_; }
  void SetBandHiding(bool v) { SetFlag(bandHiding_, v, 0); }
  bool BandMoving() const { return bandMoving_; }
  void SetBandMoving(bool v) { SetFlag(bandMoving_, v, 0); }
  bool BandSizing() const { return bandSizing_; }
  void SetBandSizing(bool v) { SetFlag(bandSizing_, v, 0); }
  bool BandsQuickCustomization() const { return bandsQuickCustomization_; }
  void SetBandsQuickCustomization(bool v) { SetFlag(bandsQuickCustomization_, v, 2); }
  Integer BandsQuickCustomizationMaxDropDownCount() const { return bandsMaxDropDownCount_; }
  void SetBandsQuickCustomizationMaxDropDownCount(Integer v);
  bool ColumnVertSizing() const { return columnVertSizing_; }
  void SetColumnVertSizing(bool v) { SetFlag(columnVertSizing_, v, 1); }
  bool NestedBands() const { return nestedBands_; }
  void SetNestedBands(bool v) { SetFlag(nestedBands_, v, 0); }
  void AssignFrom(TPersistent* source) override;

 private:
  bool bandHiding_ = false, bandMoving_ = true, bandSizing_ = true, bandsQuickCustomization_ = false;
  bool columnVertSizing_ = true, nestedBands_ = true;
  Integer bandsMaxDropDownCount_ = 0;
};

class TcxGridBandedTableOptionsView : public TcxGridTableOptionsView {
  KORVAN_CLASS(TcxGridBandedTableOptionsView, TcxGridTableOptionsView)

 public:
  explicit TcxGridBandedTableOptionsView(TcxCustomGridView* v) : TcxGridTableOptionsView(v) {}
  bool BandHeaderEndEllipsis() const { return bandHeaderEndEllipsis_; }
  void SetBandHeaderEndEllipsis(bool v);
  Integer BandHeaderHeight() const { return bandHeaderHeight_; }
  void SetBandHeaderHeight(Integer v);
  Integer BandHeaderLineCount() const { return bandHeaderLineCount_; }
  void SetBandHeaderLineCount(Integer v);
  bool BandHeaders() const { return bandHeaders_; }
  void SetBandHeaders(bool v);
  TColor FixedBandSeparatorColor() const { return fixedBandSeparatorColor_; }
  void SetFixedBandSeparatorColor(TColor v);
  Integer FixedBandSeparatorWidth() const { return fixedBandSeparatorWidth_; }
  void SetFixedBandSeparatorWidth(Integer v);
  // The colour in use: the assigned one, else the look-and-feel painter's.
  TColor GetFixedBandSeparatorColor() const;
  void AssignFrom(TPersistent* source) override;

 private:
  bool bandHeaderEndEllipsis_ = false, bandHeaders_ = true;
  Integer bandHeaderHeight_ = 0, bandHeaderLineCount_ = 1, fixedBandSeparatorWidth_ = 2;
  TColor fixedBandSeparatorColor_ = clDefault;
};

class TcxGridBandedTableViewStyles : public TcxGridTableViewStyles {
  KORVAN_CLASS(TcxGridBandedTableViewStyles, TcxGridTableViewStyles)

 public:
  static constexpr Integer vsBandBackground = 15, vsBandHeader = 16;
  explicit TcxGridBandedTableViewStyles(TPersistent* owner) : TcxGridTableViewStyles(owner) {}
  TcxStyle* BandBackground() const {
    return const_cast<TcxGridBandedTableViewStyles*>(this)->GetIndexedStyle(vsBandBackground);
  }
  void SetBandBackground(TcxStyle* v) { SetIndexedStyle(vsBandBackground, v); }
  TcxStyle* BandHeader() const { return const_cast<TcxGridBandedTableViewStyles*>(this)->GetIndexedStyle(vsBandHeader); }
  void SetBandHeader(TcxStyle* v) { SetIndexedStyle(vsBandHeader, v); }
  TcxGridBandGetHeaderStyle OnGetBandHeaderStyle;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  // The band may be null (the indicator's band header item).
  void GetBandHeaderParams(TcxGridBand* band, TcxStyleParams& params);
  void AssignFrom(TPersistent* source) override;
};

class TcxGridBandedTableBackgroundBitmaps : public TcxGridTableBackgroundBitmaps {
  KORVAN_CLASS(TcxGridBandedTableBackgroundBitmaps, TcxGridTableBackgroundBitmaps)

 public:
  static constexpr Integer bbBandBackground = 9, bbBandHeader = 10;
  explicit TcxGridBandedTableBackgroundBitmaps(TcxCustomGridView* v) : TcxGridTableBackgroundBitmaps(v) {}
  Integer GetBitmapStyleIndex(Integer index) override;
  TBitmap* BandBackground() const {
    return const_cast<TcxGridBandedTableBackgroundBitmaps*>(this)->OwnBitmap(bbBandBackground);
  }
  void SetBandBackground(TBitmap* v) { OwnBitmap(bbBandBackground)->Assign(v); }
  TBitmap* BandHeader() const { return const_cast<TcxGridBandedTableBackgroundBitmaps*>(this)->OwnBitmap(bbBandHeader); }
  void SetBandHeader(TBitmap* v) { OwnBitmap(bbBandHeader)->Assign(v); }
  // The bitmap when one is set, else null.
  TBitmap* GetSetBitmap(Integer index);
  void AssignFrom(TPersistent* source) override;
};

class TcxGridBandedTableViewStyleSheet : public TcxCustomStyleSheet {
  KORVAN_CLASS(TcxGridBandedTableViewStyleSheet, TcxCustomStyleSheet)

 public:
  using TcxCustomStyleSheet::TcxCustomStyleSheet;
  TClass StylesClass() override { return TcxGridBandedTableViewStyles::StaticClass(); }
  TcxGridBandedTableViewStyles* Styles() const {
    return static_cast<TcxGridBandedTableViewStyles*>(
        const_cast<TcxGridBandedTableViewStyleSheet*>(this)->OwnedStyles());
  }
  void SetStyles(TcxGridBandedTableViewStyles* v) { AssignStyles(v); }
};

// ---- the view ----------------------------------------------------------------------------------

class TcxGridBandedTableView : public TcxGridTableView {
  KORVAN_CLASS(TcxGridBandedTableView, TcxGridTableView)

 public:
  explicit TcxGridBandedTableView(TComponent* owner) : TcxGridTableView(owner) {}
  ~TcxGridBandedTableView() override;

  TcxGridBands* Bands() const { return bands_; }
  void SetBands(TcxGridBands* v) { bands_->Assign(v); }
  TcxGridBandedColumn* GetColumn(Integer index) const;
  TcxGridBandedColumn* GetVisibleColumn(Integer index) const;
  TcxGridBandedColumn* CreateColumn();
  TcxGridBandedTableController* GetController() const;
  TcxGridBandedTableViewInfo* GetViewInfo() const;
  TcxGridBandedTableOptionsBehavior* GetOptionsBehavior() const {
    return static_cast<TcxGridBandedTableOptionsBehavior*>(OptionsBehavior());
  }
  TcxGridBandedTableOptionsCustomize* GetOptionsCustomize() const {
    return static_cast<TcxGridBandedTableOptionsCustomize*>(OptionsCustomize());
  }
  TcxGridBandedTableOptionsView* GetOptionsView() const {
    return static_cast<TcxGridBandedTableOptionsView*>(OptionsView());
  }
  TcxGridBandedTableViewStyles* GetStyles() const { return static_cast<TcxGridBandedTableViewStyles*>(Styles()); }
  TcxGridBandedTableBackgroundBitmaps* GetBackgroundBitmaps() const {
    return static_cast<TcxGridBandedTableBackgroundBitmaps*>(BackgroundBitmaps());
  }
  void SetBandedOptionsBehavior(TcxGridBandedTableOptionsBehavior* v) { GetOptionsBehavior()->AssignFrom(v); }
  void SetBandedOptionsCustomize(TcxGridBandedTableOptionsCustomize* v) { GetOptionsCustomize()->AssignFrom(v); }
  void SetBandedOptionsView(TcxGridBandedTableOptionsView* v) { GetOptionsView()->AssignFrom(v); }
  void SetBandedStyles(TcxGridBandedTableViewStyles* v) { GetStyles()->AssignFrom(v); }
  void SetBandedBackgroundBitmaps(TcxGridBandedTableBackgroundBitmaps* v) { GetBackgroundBitmaps()->AssignFrom(v); }
  bool AssigningBands() const { return assigningBands_; }
  void SetAssigningBands(bool v) { assigningBands_ = v; }
  // The band setters only store their values (applied when loading ends).
  bool IsLoadingBands() const;

  TcxGridBandEvent OnBandPosChanged;
  TcxGridBandEvent OnBandSizeChanged;
  TcxGridBandCustomDrawHeaderEvent OnCustomDrawBandHeader;
  void DoBandPosChanged(TcxGridBand* band);
  void DoBandSizeChanged(TcxGridBand* band);
  void DoCustomDrawBandHeader(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo, bool& done);
  bool HasCustomDrawBandHeader() const { return bool(OnCustomDrawBandHeader); }

  // Stored positions: band parents and root orders first, then the columns' bands, then their
  // rows and columns in the order of band, stored row, stored column.
  void ApplyStoredBandPositions();
  void ApplyStoredColumnPositions(bool applyBands, bool applyRowsCols);

  void InitSubobjects() override;
  void Loading() override;
  void DeleteStoredObject(const String& name, TObject* object) override;
  void GetStoredChildren(TStringList* children) override;
  void ApplyEditedLayout(TcxCustomGridView* copy) override;
  void DoAssign(TcxCustomGridView* source) override;
  bool IsControlFocused() override;
  void AfterLoadLayoutChange() override;
  void BeginLoadingLayout() override;
  void EndLoadingLayout() override;
  bool CanOffsetHorz() override;
  void AddItem(TcxCustomGridTableItem* item) override;
  void ItemVisibilityChanged(TcxCustomGridTableItem* item, bool value) override;
  // The first visible band row of every bottom band, in visual order.
  void GetItemsForRangeSelection(std::vector<TcxGridColumn*>& list) override;
  void ApplyBestFit(TcxCustomGridTableItem* item = nullptr, bool checkCanSize = false,
                    bool fireEvents = false) override;
  virtual TClass GetBandsClass() { return TcxGridBands::StaticClass(); }

  TClass GetControllerClass() override;
  TClass GetPainterClass() override;
  TClass GetViewInfoClass() override;
  TClass GetBackgroundBitmapsClass() override { return TcxGridBandedTableBackgroundBitmaps::StaticClass(); }
  TClass GetOptionsBehaviorClass() override { return TcxGridBandedTableOptionsBehavior::StaticClass(); }
  TClass GetOptionsViewClass() override { return TcxGridBandedTableOptionsView::StaticClass(); }
  TClass GetStylesClass() override { return TcxGridBandedTableViewStyles::StaticClass(); }
  TClass GetItemClass() override { return TcxGridBandedColumn::StaticClass(); }
  TClass GetOptionsCustomizeClass() override { return TcxGridBandedTableOptionsCustomize::StaticClass(); }

 protected:
  void CreateOptions() override;
  void DestroyOptions() override;
  void SortVisibleItems(std::vector<TcxCustomGridTableItem*>& list) override;

 private:
  TcxGridBands* bands_ = nullptr;
  bool assigningBands_ = false;
};

// Unit start: registers the view ("Banded Table"), its column and style sheet, its painters
// and drag objects.
void InitializeCxGridBandedTableView();
