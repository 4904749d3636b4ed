#include "gridviews/cxGridBandedTableView.h"

#include <algorithm>

#include "data/cxCustomDataInternal.h"
#include "gridviews/cxGridBandedTableViewInfo.h"
#include "gridviews/cxGridViewPropertyUtils.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

using cxdata_internal::Finally;

namespace {

const TcxResourceStringRec scxGridBandEmptyCaption{"scxGridBandEmptyCaption", "<Empty caption>"};

using cxgridviews_internal::AlignmentVertType;

// An update bracket of the view (none without a view or while it is being destroyed).
class ViewUpdate {
 public:
  explicit ViewUpdate(TcxGridBandedTableView* view) : view_(view && !view->IsDestroying() ? view : nullptr) {
    if (view_) view_->BeginUpdate();
  }
  ~ViewUpdate() {
    if (view_) view_->EndUpdate();
  }
  ViewUpdate(const ViewUpdate&) = delete;
  ViewUpdate& operator=(const ViewUpdate&) = delete;

 private:
  TcxGridBandedTableView* view_;
};

template <class T>
Integer IndexIn(const std::vector<T*>& list, const T* item) {
  auto it = std::find(list.begin(), list.end(), item);
  return it == list.end() ? -1 : Integer(it - list.begin());
}


}  // namespace

// ---- published properties ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxGridBandRow)
KORVAN_IMPLEMENT_CLASS(TcxGridBandRows)
KORVAN_IMPLEMENT_CLASS(TcxGridBandCustomOptions)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandOptions) {
  using O = TcxGridBandOptions;
  p.Bool("HoldOwnColumnsOnly", &O::HoldOwnColumnsOnly, &O::SetHoldOwnColumnsOnly).Default(false);
  p.Bool("Moving", &O::Moving, &O::SetMoving).Default(true);
  p.Bool("Sizing", &O::Sizing, &O::SetSizing).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandPosition) {
  using P = TcxGridBandPosition;
  p.Int("BandIndex", &P::BandIndex, &P::SetBandIndex).Default(-1);
  p.Int("ColIndex", &P::ColIndex, &P::SetColIndex).Stored(&P::IsColIndexStored);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandStyles) {
  using S = TcxGridBandStyles;
  p.Object("Background", &S::Background, &S::SetBackground, TcxStyle::StaticClass());
  p.Object("Content", &S::Content, &S::SetContent, TcxStyle::StaticClass());
  p.Object("Header", &S::Header, &S::SetHeader, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBand) {
  using B = TcxGridBand;
  p.Enum("Alignment", &B::HeaderAlignmentHorz, &B::SetHeaderAlignmentHorz, AlignmentTypeInfo()).Stored(false);
  p.Str("Caption", &B::Caption, &B::SetCaption);
  p.Enum("FixedKind", &B::FixedKind, &B::SetFixedKind,
         EnumTypeInfo("TcxGridBandFixedKind", {"fkNone", "fkLeft", "fkRight"}))
      .Default(fkNone);
  p.Enum("HeaderAlignmentHorz", &B::HeaderAlignmentHorz, &B::SetHeaderAlignmentHorz, AlignmentTypeInfo())
      .Default(taCenter);
  p.Enum("HeaderAlignmentVert", &B::HeaderAlignmentVert, &B::SetHeaderAlignmentVert, AlignmentVertType())
      .Default(vaCenter);
  p.Bool("Hidden", &B::Hidden, &B::SetHidden).Default(false);
  p.Object("Options", &B::Options, &B::SetOptions, TcxGridBandOptions::StaticClass());
  p.Object("Position", &B::Position, &B::SetPosition, TcxGridBandPosition::StaticClass());
  p.Object("Styles", &B::Styles, &B::SetStyles, TcxGridBandStyles::StaticClass());
  p.Int("Tag", &B::Tag, &B::SetTag).Default(0);
  p.Bool("Visible", &B::Visible, &B::SetVisible).Default(true);
  p.Int("Width", &B::Width, &B::SetWidth).Default(0);
}
KORVAN_IMPLEMENT_CLASS(TcxGridBands)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedColumnPosition) {
  using P = TcxGridBandedColumnPosition;
  p.Int("BandIndex", &P::BandIndex, &P::SetBandIndex);
  p.Int("ColIndex", &P::ColIndex, &P::SetColIndex);
  p.Int("LineCount", &P::LineCount, &P::SetLineCount).Default(1);
  p.Int("RowIndex", &P::RowIndex, &P::SetRowIndex);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedColumnOptions) {
  using O = TcxGridBandedColumnOptions;
  p.Bool("VertSizing", &O::VertSizing, &O::SetVertSizing).Default(true);
}
KORVAN_IMPLEMENT_CLASS(TcxGridBandedColumnStyles)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedColumn) {
  using C = TcxGridBandedColumn;
  p.Object("Position", &C::Position, &C::SetPosition, TcxGridBandedColumnPosition::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableOptionsBehavior) {
  using O = TcxGridBandedTableOptionsBehavior;
  p.Bool("BandHeaderHints", &O::BandHeaderHints, &O::SetBandHeaderHints).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableOptionsCustomize) {
  using O = TcxGridBandedTableOptionsCustomize;
  p.Bool("BandHiding", &O::BandHiding, &O::SetBandHiding).Default(false);
  p.Bool("BandMoving", &O::BandMoving, &O::SetBandMoving).Default(true);
  p.Bool("BandSizing", &O::BandSizing, &O::SetBandSizing).Default(true);
  p.Bool("BandsQuickCustomization", &O::BandsQuickCustomization, &O::SetBandsQuickCustomization).Default(false);
  p.Int("BandsQuickCustomizationMaxDropDownCount", &O::BandsQuickCustomizationMaxDropDownCount,
        &O::SetBandsQuickCustomizationMaxDropDownCount)
      .Default(0);
  p.Bool("ColumnVertSizing", &O::ColumnVertSizing, &O::SetColumnVertSizing).Default(true);
  p.Bool("NestedBands", &O::NestedBands, &O::SetNestedBands).Default(true);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableOptionsView) {
  using O = TcxGridBandedTableOptionsView;
  p.Bool("BandHeaderEndEllipsis", &O::BandHeaderEndEllipsis, &O::SetBandHeaderEndEllipsis).Default(false);
  p.Int("BandHeaderHeight", &O::BandHeaderHeight, &O::SetBandHeaderHeight).Default(0);
  p.Int("BandHeaderLineCount", &O::BandHeaderLineCount, &O::SetBandHeaderLineCount).Default(1);
  p.Bool("BandHeaders", &O::BandHeaders, &O::SetBandHeaders).Default(true);
  p.Int("FixedBandSeparatorColor", &O::FixedBandSeparatorColor, &O::SetFixedBandSeparatorColor).Default(clDefault);
  p.Int("FixedBandSeparatorWidth", &O::FixedBandSeparatorWidth, &O::SetFixedBandSeparatorWidth).Default(2);
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableViewStyles) {
  using S = TcxGridBandedTableViewStyles;
  p.Object("BandBackground", &S::BandBackground, &S::SetBandBackground, TcxStyle::StaticClass());
  p.Object("BandHeader", &S::BandHeader, &S::SetBandHeader, TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableBackgroundBitmaps) {
  using B = TcxGridBandedTableBackgroundBitmaps;
  p.Object("BandBackground", &B::BandBackground, &B::SetBandBackground, TBitmap::StaticClass());
  p.Object("BandHeader", &B::BandHeader, &B::SetBandHeader, TBitmap::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableViewStyleSheet) {
  using S = TcxGridBandedTableViewStyleSheet;
  p.Object("Styles", &S::Styles, &S::SetStyles, TcxGridBandedTableViewStyles::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridBandedTableView) {
  using V = TcxGridBandedTableView;
  p.Object("OptionsBehavior", &V::GetOptionsBehavior, &V::SetBandedOptionsBehavior,
           TcxGridBandedTableOptionsBehavior::StaticClass());
  p.Object("OptionsCustomize", &V::GetOptionsCustomize, &V::SetBandedOptionsCustomize,
           TcxGridBandedTableOptionsCustomize::StaticClass());
  p.Object("OptionsView", &V::GetOptionsView, &V::SetBandedOptionsView, TcxGridBandedTableOptionsView::StaticClass());
  p.Object("Styles", &V::GetStyles, &V::SetBandedStyles, TcxGridBandedTableViewStyles::StaticClass());
  p.Object("BackgroundBitmaps", &V::GetBackgroundBitmaps, &V::SetBandedBackgroundBitmaps,
           TcxGridBandedTableBackgroundBitmaps::StaticClass());
}

// ---- band rows -------------------------------------------------------------------------------------

TcxGridBandedColumn* TcxGridBandRow::Items(Integer i) const { return CheckedItem(columns_, i); }

TcxGridBandedColumn* TcxGridBandRow::VisibleItems(Integer i) const { return CheckedItem(visibleColumns_, i); }

Integer TcxGridBandRow::IndexOf(const TcxGridBandedColumn* column) const { return IndexIn(columns_, column); }

Integer TcxGridBandRow::VisibleIndexOf(const TcxGridBandedColumn* column) const {
  return IndexIn(visibleColumns_, column);
}

Integer TcxGridBandRow::Index() const { return owner_->IndexOf(this); }

Integer TcxGridBandRow::VisibleIndex() const { return owner_->VisibleIndexOf(this); }

bool TcxGridBandRow::IsLast() const {
  const Integer i = VisibleIndex();
  return i >= 0 && i == owner_->VisibleCount() - 1;
}

Integer TcxGridBandRow::LineCount() const {
  Integer n = 1;
  for (TcxGridBandedColumn* c : visibleColumns_) n = std::max(n, c->Position()->LineCount());
  return n;
}

Integer TcxGridBandRow::LineOffset() const { return owner_->LineOffset(VisibleIndex()); }

Integer TcxGridBandRow::Width() const {
  Integer w = 0;
  for (TcxGridBandedColumn* c : visibleColumns_) w += c->Width();
  return w;
}

void TcxGridBandRow::RefreshVisibleItems() {
  visibleColumns_.clear();
  for (TcxGridBandedColumn* c : columns_)
    if (c->Visible()) visibleColumns_.push_back(c);
}

TcxGridBandRows::~TcxGridBandRows() {
  for (TcxGridBandRow* row : items_) delete row;
}

TcxGridBandRow* TcxGridBandRows::Items(Integer i) const { return CheckedItem(items_, i); }

TcxGridBandRow* TcxGridBandRows::VisibleItems(Integer i) const { return CheckedItem(visibleItems_, i); }

Integer TcxGridBandRows::IndexOf(const TcxGridBandRow* row) const { return IndexIn(items_, row); }

Integer TcxGridBandRows::VisibleIndexOf(const TcxGridBandRow* row) const { return IndexIn(visibleItems_, row); }

Integer TcxGridBandRows::Width() const {
  Integer w = 0;
  for (TcxGridBandRow* row : visibleItems_) w += row->Width();
  return w;
}

Integer TcxGridBandRows::LineOffset(Integer visibleIndex) const {
  Integer n = 0;
  for (Integer i = 0; i < visibleIndex && i < VisibleCount(); ++i) n += visibleItems_[size_t(i)]->LineCount();
  return n;
}

Integer TcxGridBandRows::VisibleRowAtLine(Integer line) const {
  Integer offset = 0;
  for (Integer i = 0; i < VisibleCount(); ++i) {
    const Integer n = visibleItems_[size_t(i)]->LineCount();
    if (line >= offset && line < offset + n) return i;
    offset += n;
  }
  return -1;
}

Integer TcxGridBandRows::IndexOfColumn(const TcxGridBandedColumn* column) const {
  for (Integer i = 0; i < Count(); ++i)
    if (items_[size_t(i)]->IndexOf(column) != -1) return i;
  return -1;
}

TcxGridBandRow* TcxGridBandRows::Insert(Integer index) {
  index = std::clamp(index, Integer(0), Count());
  auto* row = new TcxGridBandRow(this);
  items_.insert(items_.begin() + index, row);
  RefreshVisibleItems();
  return row;
}

void TcxGridBandRows::RefreshVisibleItems() {
  visibleItems_.clear();
  for (TcxGridBandRow* row : items_)
    if (row->IsVisible()) visibleItems_.push_back(row);
}

void TcxGridBandRows::RemoveFromRow(TcxGridBandedColumn* column, Integer row) {
  TcxGridBandRow* r = items_[size_t(row)];
  r->columns_.erase(r->columns_.begin() + r->IndexOf(column));
  r->RefreshVisibleItems();
  // A row left without columns goes.
  if (r->columns_.empty()) {
    items_.erase(items_.begin() + row);
    delete r;
  }
  RefreshVisibleItems();
}

void TcxGridBandRows::MoveColumn(TcxGridBandedColumn* column, Integer row, Integer col) {
  const Integer r = IndexOfColumn(column);
  const Integer c = r == -1 ? -1 : items_[size_t(r)]->IndexOf(column);
  auto insert = [&] {
    row = std::min(row, Count());
    if (row == Count()) Insert(row);
    TcxGridBandRow* target = items_[size_t(row)];
    if (col == -1) col = target->Count();
    col = std::clamp(col, Integer(0), target->Count());
    target->columns_.insert(target->columns_.begin() + col, column);
    target->RefreshVisibleItems();
    RefreshVisibleItems();
  };
  if (row < -1) return;
  if (row != r) {
    if (r != -1) {
      const Integer count = Count();
      RemoveFromRow(column, r);
      if (row > r && Count() < count) --row;
    }
    if (row == -1) return;
    insert();
    return;
  }
  if (row == -1 || col == c) return;
  if (c == -1) {
    insert();
    return;
  }
  if (col == -1) {
    RemoveFromRow(column, r);
    return;
  }
  if (col < -1) return;
  TcxGridBandRow* target = items_[size_t(r)];
  col = std::clamp(col, Integer(0), target->Count() - 1);
  target->columns_.erase(target->columns_.begin() + c);
  target->columns_.insert(target->columns_.begin() + col, column);
  target->RefreshVisibleItems();
  RefreshVisibleItems();
}

// ---- band options, position and styles --------------------------------------------------------------

void TcxGridBandCustomOptions::Changed(Integer kind) { band_->Changed(kind); }

void TcxGridBandCustomOptions::AssignFrom(TPersistent* source) {
  if (dynamic_cast<TcxGridBandCustomOptions*>(source)) return;
  TPersistent::Assign(source);
}

void TcxGridBandOptions::SetFlag(bool& field, bool v) {
  if (GridStoreOption(field, v)) Changed(0);
}

void TcxGridBandOptions::AssignFrom(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxGridBandOptions*>(source)) {
    SetHoldOwnColumnsOnly(o->HoldOwnColumnsOnly());
    SetMoving(o->Moving());
    SetSizing(o->Sizing());
  }
  TcxGridBandCustomOptions::AssignFrom(source);
}

Integer TcxGridBandPosition::BandIndex() const {
  return Band()->ParentBand() ? Band()->ParentBand()->Index() : -1;
}

Integer TcxGridBandPosition::ColIndex() const {
  TcxGridBand* band = Band();
  if (band->ParentBand()) return band->ParentBand()->IndexOfChild(band);
  return band->Bands() ? band->Bands()->IndexOfRoot(band) : -1;
}

Integer TcxGridBandPosition::VisibleColIndex() const {
  TcxGridBand* band = Band();
  if (band->ParentBand()) return band->ParentBand()->IndexOfVisibleChild(band);
  return band->Bands() ? band->Bands()->IndexOfVisibleRoot(band) : -1;
}

bool TcxGridBandPosition::IsColIndexStored() const { return Band()->ParentBand() != nullptr; }

void TcxGridBandPosition::SaveStoredPosition() {
  StoredBandIndex = BandIndex();
  StoredColIndex = ColIndex();
}

void TcxGridBandPosition::SetBandIndex(Integer value) {
  TcxGridBand* band = Band();
  TcxGridBands* bands = band->Bands();
  TcxGridBandedTableView* view = band->GridView();
  const bool parentDestroying = band->ParentBand() && band->ParentBand()->IsDestroying();
  if (!band->IsDestroying() && !parentDestroying && view && view->IsLoadingBands() && !band->ApplyingStoredPosition) {
    StoredBandIndex = value;
    return;
  }
  if (!bands) return;
  const bool viewDestroying = view && view->IsDestroying();
  if (value != -1 && (value < 0 || value >= bands->Count())) {
    if (!viewDestroying) return;
    value = -1;
  }
  TcxGridBand* target = value == -1 ? nullptr : bands->GetBand(value);
  if (!viewDestroying) {
    // -1 or another band of the collection; anything else is ignored.
    if (target == band) return;
    // A descendant as the new parent: the band's children first take its place (which may
    // renumber the bands: the target is found again by identity).
    if (target && band->IsAncestorOf(target)) {
      ViewUpdate update(view);
      band->MoveChildrenToParent();
    }
  }
  if ((target ? target->Index() : -1) == BandIndex()) return;
  if (viewDestroying) {
    if (band->ParentBand()) band->ParentBand()->RemoveChildBand(band);
    return;
  }
  band->SaveActualVisibility();
  {
    ViewUpdate update(view);
    if (band->ParentBand()) band->ParentBand()->RemoveChildBand(band);
    if (target) target->AddChildBand(band);
    bands->RefreshRootBandsList();
    bands->RefreshVisibleBandsList();
  }
  band->UpdateActualVisibility();
  band->Changed(0);
}

void TcxGridBandPosition::SetColIndex(Integer value) {
  TcxGridBand* band = Band();
  TcxGridBands* bands = band->Bands();
  TcxGridBandedTableView* view = band->GridView();
  if (view && view->IsLoadingBands() && !band->ApplyingStoredPosition) {
    StoredColIndex = value;
    return;
  }
  if (!bands || value == ColIndex()) return;
  if (TcxGridBand* parent = band->ParentBand()) {
    parent->MoveChildBand(band, value);
    if (band->IsActuallyVisible()) bands->RefreshVisibleBandsList();
    band->Changed(2);
    return;
  }
  // A root band: its place among the root bands is its collection order.
  if (view && view->IsDestroying()) return;
  value = std::clamp(value, Integer(0), bands->GetRootBandCount() - 1);
  if (value != ColIndex()) band->SetIndex(bands->GetRootBand(value)->Index());
}

void TcxGridBandPosition::AssignFrom(TPersistent* source) {
  if (auto* p = dynamic_cast<TcxGridBandPosition*>(source)) {
    SetBandIndex(p->BandIndex());
    SetColIndex(p->ColIndex());
  }
  TcxGridBandCustomOptions::AssignFrom(source);
}

TcxGridBandStyles::TcxGridBandStyles(TPersistent* owner)
    : TcxCustomGridStyles(owner), band_(dynamic_cast<TcxGridBand*>(owner)) {}

TcxCustomGridView* TcxGridBandStyles::GridView() const { return Band() ? Band()->GridView() : nullptr; }

void TcxGridBandStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxGridBandedTableView* view = Band() ? Band()->GridView() : nullptr;
  if (!view) {
    TcxCustomGridStyles::DefaultViewParams(index, data, params);
    return;
  }
  TcxGridBandedTableViewStyles* styles = view->GetStyles();
  switch (index) {
    case bsBackground:
      styles->ResolveViewParams(TcxGridBandedTableViewStyles::vsBandBackground, nullptr, nullptr, params);
      break;
    case bsContent:
      styles->GetContentParams(dynamic_cast<TcxCustomGridRecord*>(data), nullptr, params);
      break;
    case bsHeader: styles->GetBandHeaderParams(Band(), params); break;
    default: TcxCustomGridStyles::DefaultViewParams(index, data, params);
  }
}

void TcxGridBandStyles::GetBackgroundParams(TcxStyleParams& params) {
  ResolveViewParams(bsBackground, nullptr, nullptr, params);
}

void TcxGridBandStyles::GetContentParams(TcxCustomGridRecord* record, TcxCustomGridTableItem*,
                                         TcxStyleParams& params) {
  ResolveViewParams(bsContent, record, nullptr, params);
}

void TcxGridBandStyles::GetHeaderParams(TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetHeaderStyle) OnGetHeaderStyle(Band() ? Band()->GridView() : nullptr, Band(), style);
  ResolveViewParams(bsHeader, nullptr, style, params);
}

void TcxGridBandStyles::AssignFrom(TPersistent* source) {
  TcxCustomGridStyles::AssignFrom(source);
  if (auto* s = dynamic_cast<TcxGridBandStyles*>(source)) OnGetHeaderStyle = s->OnGetHeaderStyle;
}

// ---- the band ------------------------------------------------------------------------------------------

TcxGridBand::TcxGridBand(TCollection* collection) : TCollectionItem(collection) {
  rows_ = new TcxGridBandRows(this);
  options_ = new TcxGridBandOptions(this);
  position_ = new TcxGridBandPosition(this);
  styles_ = new TcxGridBandStyles(this);
  if (TcxGridBands* bands = Bands()) {
    id_ = bands->nextID_++;
    bands->RefreshLists();
    if (TcxGridBandedTableView* view = bands->GridView())
      if (view->Controller()) view->Controller()->RefreshCustomizationForm();
  }
}

TcxGridBand::~TcxGridBand() {
  TcxGridBands* bands = Bands();
  TcxGridBandedTableView* view = GridView();
  destroying_ = true;
  if (view && !view->IsDestroying() && bands) {
    view->BeginUpdate();
    Finally cancel{[view] { view->CancelUpdate(); }};
    // The children take this band's place; the columns leave it.
    MoveChildrenToParent();
    for (Integer i = ColumnCount() - 1; i >= 0; --i) Columns(i)->Position()->SetBandIndex(-1);
    position_->SetBandIndex(-1);
  } else {
    if (parent_) parent_->RemoveChildBand(this);
    for (TcxGridBand* child : children_) child->parent_ = nullptr;
    for (TcxGridBandedColumn* column : columns_) column->Position()->band_ = nullptr;
  }
  delete styles_;
  delete position_;
  delete options_;
  delete rows_;
  rows_ = nullptr;
  if (bands) {
    SetCollection(nullptr);
    if (id_ == bands->nextID_ - 1) --bands->nextID_;
    bands->RefreshLists();
    if (view && !view->IsDestroying() && view->Controller()) view->Controller()->RefreshCustomizationForm();
  }
}

TcxGridBands* TcxGridBand::Bands() const { return dynamic_cast<TcxGridBands*>(Collection()); }

TcxGridBandedTableView* TcxGridBand::GridView() const { return Bands() ? Bands()->GridView() : nullptr; }

Integer TcxGridBand::IndexOfChild(const TcxGridBand* band) const { return IndexIn(children_, band); }

Integer TcxGridBand::IndexOfVisibleChild(const TcxGridBand* band) const { return IndexIn(visibleChildren_, band); }

void TcxGridBand::SetCaption(const String& v) {
  if (GridStoreOption(caption_, v)) Changed(1);
}

void TcxGridBand::SetHeaderAlignmentHorz(TAlignment v) {
  if (GridStoreOption(alignmentHorz_, v)) Changed(1);
}

void TcxGridBand::SetHeaderAlignmentVert(TcxAlignmentVert v) {
  if (GridStoreOption(alignmentVert_, v)) Changed(1);
}

void TcxGridBand::SetHidden(bool v) {
  if (GridStoreOption(hidden_, v)) VisibleForCustomizationChanged();
}

void TcxGridBand::SetTag(Integer v) {
  if (GridStoreOption(tag_, v)) Changed(0);
}

void TcxGridBand::SetWidth(Integer v) {
  if (GridStoreOption(width_, std::max<Integer>(v, 0))) Changed(2);
}

void TcxGridBand::SetFixedKind(TcxGridBandFixedKind v) {
  if (fixedKind_ == v) return;
  fixedKind_ = v;
  TcxGridBandedTableView* view = GridView();
  {
    ViewUpdate update(view);
    for (TcxGridBand* child : children_) child->SetFixedKind(v);
    if (view) view->RefreshVisibleItemsList();
    if (Bands()) Bands()->RefreshVisibleBandsList();
    // A child band of another kind than its parent becomes a root band.
    if (parent_ && parent_->fixedKind_ != v) position_->SetBandIndex(-1);
  }
  Changed(0);
}

void TcxGridBand::SetVisible(bool v) {
  if (visible_ == v) return;
  TcxGridBandedTableView* view = GridView();
  {
    ViewUpdate update(view);
    SaveActualVisibility();
    visible_ = v;
    if (parent_) parent_->RefreshVisibleChildBandsList();
    if (view) view->RefreshVisibleItemsList();
    if (Bands()) Bands()->RefreshVisibleBandsList();
    UpdateActualVisibility();
    if (view && view->Controller()) view->Controller()->RefreshCustomizationForm();
  }
  Changed(0);
}

void TcxGridBand::Assign(TPersistent* source) {
  auto* b = dynamic_cast<TcxGridBand*>(source);
  if (!b) {
    TCollectionItem::Assign(source);
    return;
  }
  SetHeaderAlignmentHorz(b->HeaderAlignmentHorz());
  SetHeaderAlignmentVert(b->HeaderAlignmentVert());
  SetCaption(b->Caption());
  SetFixedKind(b->FixedKind());
  SetHidden(b->Hidden());
  options_->AssignFrom(b->Options());
  position_->AssignFrom(b->Position());
  styles_->AssignFrom(b->Styles());
  SetTag(b->Tag());
  SetVisible(b->Visible());
  SetWidth(b->Width());
  OnHeaderClick = b->OnHeaderClick;
  OnGetStoredProperties = b->OnGetStoredProperties;
  OnGetStoredPropertyValue = b->OnGetStoredPropertyValue;
  OnSetStoredPropertyValue = b->OnSetStoredPropertyValue;
}

String TcxGridBand::DisplayName() const {
  return caption_.empty() ? LoadReplaceableResString(scxGridBandEmptyCaption) : caption_;
}

void TcxGridBand::SetIndex(Integer value) {
  const Integer old = Index();
  TCollectionItem::SetIndex(value);
  if (Index() == old) return;
  if (TcxGridBands* bands = Bands()) {
    if (visible_) bands->RefreshVisibleBandsList();
    bands->RefreshRootBandsList();
    bands->RefreshLeafBandsList();
  }
  Changed(0);
}

Integer TcxGridBand::GetLevel() const {
  Integer n = 0;
  for (TcxGridBand* b = parent_; b; b = b->parent_) ++n;
  return n;
}

Integer TcxGridBand::GetVisibleIndex() const { return Bands() ? Bands()->IndexOfVisible(this) : -1; }

Integer TcxGridBand::GetBottomIndex() const { return Bands() ? Bands()->IndexOfBottom(this) : -1; }

bool TcxGridBand::IsEmpty() const {
  if (IsBottom() && children_.empty()) return rows_->VisibleCount() == 0;
  return visibleChildren_.empty();
}

bool TcxGridBand::IsFirst() const {
  return Bands() && Bands()->GetBottomBandCount() > 0 && Bands()->GetBottomBand(0) == this;
}

bool TcxGridBand::IsLast() const {
  const TcxGridBands* bands = Bands();
  return bands && bands->GetBottomBandCount() > 0 && bands->GetBottomBand(bands->GetBottomBandCount() - 1) == this;
}

bool TcxGridBand::IsLastVisibleSibling() const {
  const Integer i = position_->VisibleColIndex();
  const Integer count = parent_ ? parent_->GetVisibleChildBandCount() : (Bands() ? Bands()->GetVisibleRootBandCount() : 0);
  return i >= 0 && i == count - 1;
}

bool TcxGridBand::IsRightmost() const {
  if (!IsLastVisibleSibling()) return false;
  return !parent_ || parent_->IsRightmost();
}

bool TcxGridBand::IsAncestorOf(const TcxGridBand* band) const {
  for (; band; band = band->parent_)
    if (band == this) return true;
  return false;
}

TcxGridBand* TcxGridBand::GetFirstBottomDescendant() {
  TcxGridBand* b = this;
  while (!b->visibleChildren_.empty()) b = b->visibleChildren_.front();
  return b;
}

TcxGridBand* TcxGridBand::GetRootBand() {
  TcxGridBand* b = this;
  while (b->parent_) b = b->parent_;
  return b;
}

TcxGridBand* TcxGridBand::GetWidthOwner() const {
  for (TcxGridBand* b = parent_; b; b = b->parent_)
    if (b->width_ != 0) return b;
  return nullptr;
}

Integer TcxGridBand::GetMinWidth() const {
  if (HasFixedWidth()) return width_;
  return IsEmpty() ? 20 : 0;
}

String TcxGridBand::GetStoringName() const { return "Band" + IntToStr(id_); }

bool TcxGridBand::GetStoredProperties(TStrings* list) {
  for (const char* name : {"Width", "Visible", "Index", "BandIndex", "ColIndex"}) list->Add(name);
  if (OnGetStoredProperties) OnGetStoredProperties(this, list);
  return true;
}

void TcxGridBand::GetStoredPropertyValue(const String& name, Variant& value) {
  if (name == "Width")
    value = Variant(width_);
  else if (name == "Visible")
    value = Variant(visible_);
  else if (name == "Index")
    value = Variant(Index());
  else if (name == "BandIndex")
    value = Variant(position_->BandIndex());
  else if (name == "ColIndex")
    value = Variant(position_->ColIndex());
  else if (OnGetStoredPropertyValue)
    OnGetStoredPropertyValue(this, name, value);
}

void TcxGridBand::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (name == "Width")
    SetWidth(value.AsInteger());
  else if (name == "Visible")
    SetVisible(value.AsBoolean());
  else if (name == "Index")
    SetIndex(value.AsInteger());
  else if (name == "BandIndex")
    position_->StoredBandIndex = value.AsInteger();
  else if (name == "ColIndex")
    position_->StoredColIndex = value.AsInteger();
  else if (OnSetStoredPropertyValue)
    OnSetStoredPropertyValue(this, name, value);
}

bool TcxGridBand::CanHide() const {
  return !(IsRoot() && Bands() && Bands()->GetVisibleRootBandCount() <= 1);
}

bool TcxGridBand::CanMove() const {
  TcxGridBandedTableView* view = GridView();
  return view && view->GetOptionsCustomize()->BandMoving() && options_->Moving();
}

bool TcxGridBand::CanSize() const {
  TcxGridBandedTableView* view = GridView();
  return !HasFixedWidth() && view && view->GetOptionsCustomize()->BandSizing();
}

void TcxGridBand::Changed(Integer kind) {
  if (TcxGridBandedTableView* view = GridView()) view->Changed(kind);
}

bool TcxGridBand::IsActuallyVisible() const { return visible_ && (!parent_ || parent_->IsActuallyVisible()); }

void TcxGridBand::VisibleForCustomizationChanged() {
  TcxGridBandedTableView* view = GridView();
  if (view && view->Controller()) view->Controller()->RefreshCustomizationForm();
  Changed(0);
}

void TcxGridBand::DoHeaderClick() {
  if (OnHeaderClick) OnHeaderClick(this);
}

void TcxGridBand::RefreshVisibleChildBandsList() {
  visibleChildren_.clear();
  for (TcxGridBand* b : children_)
    if (b->visible_) visibleChildren_.push_back(b);
}

void TcxGridBand::AddChildBand(TcxGridBand* band) {
  const bool wasLeaf = children_.empty();
  if (wasLeaf)
    for (TcxGridBandedColumn* c : columns_) c->SaveActualVisibility();
  band->parent_ = this;
  children_.push_back(band);
  RefreshVisibleChildBandsList();
  if (wasLeaf && Bands()) {
    Bands()->RefreshLeafBandsList();
    // The columns go to the first leaf under the new child, keeping their places.
    TcxGridBand* receiver = GetFirstBottomDescendant();
    if (receiver == this) {
      receiver = band;
      while (!receiver->children_.empty()) receiver = receiver->children_.front();
    }
    for (Integer i = 0; rows_->Count() > 0; ++i) {
      TcxGridBandRow* row = rows_->Items(0);
      const Integer n = row->Count();
      if (n == 0) {
        rows_->items_.erase(rows_->items_.begin());
        delete row;
        rows_->RefreshVisibleItems();
        --i;
        continue;
      }
      for (Integer j = 0; j < n; ++j) receiver->MoveColumn(rows_->Items(0)->Items(0), i, j);
    }
  }
  band->SetFixedKind(fixedKind_);
}

void TcxGridBand::RemoveChildBand(TcxGridBand* band) {
  band->parent_ = nullptr;
  auto it = std::find(children_.begin(), children_.end(), band);
  if (it != children_.end()) children_.erase(it);
  RefreshVisibleChildBandsList();
  if (children_.empty() && Bands()) Bands()->RefreshLeafBandsList();
}

void TcxGridBand::MoveChildBand(TcxGridBand* band, Integer index) {
  auto it = std::find(children_.begin(), children_.end(), band);
  if (it == children_.end()) return;
  children_.erase(it);
  index = std::clamp(index, Integer(0), Integer(children_.size()));
  children_.insert(children_.begin() + index, band);
  RefreshVisibleChildBandsList();
}

void TcxGridBand::MoveChildrenToParent() {
  const Integer bandIndex = position_->BandIndex(), colIndex = position_->ColIndex();
  for (Integer i = ChildBandCount() - 1; i >= 0; --i) {
    TcxGridBand* child = children_[size_t(i)];
    child->position_->SetBandIndex(bandIndex);
    child->position_->SetColIndex(colIndex);
  }
}

void TcxGridBand::AddColumn(TcxGridBandedColumn* column) {
  columns_.push_back(column);
  column->Position()->band_ = this;
  rows_->MoveColumn(column, 0, -1);
}

void TcxGridBand::RemoveColumn(TcxGridBandedColumn* column) {
  rows_->MoveColumn(column, -1, -1);
  column->Position()->band_ = nullptr;
  auto it = std::find(columns_.begin(), columns_.end(), column);
  if (it != columns_.end()) columns_.erase(it);
}

void TcxGridBand::MoveColumn(TcxGridBandedColumn* column, Integer row, Integer col) {
  column->Position()->SetBandIndex(Index());
  rows_->MoveColumn(column, row, col);
}

void TcxGridBand::SaveActualVisibility() {
  actuallyVisibleCache_ = IsActuallyVisible();
  for (TcxGridBandedColumn* c : columns_) c->SaveActualVisibility();
  for (TcxGridBand* child : children_) child->SaveActualVisibility();
}

void TcxGridBand::UpdateActualVisibility() {
  const bool now = IsActuallyVisible();
  if (now != actuallyVisibleCache_) {
    actuallyVisibleCache_ = now;
    if (Bands()) Bands()->BandVisibilityChanged(this, now);
  }
  for (TcxGridBand* child : children_) child->UpdateActualVisibility();
  for (TcxGridBandedColumn* c : std::vector<TcxGridBandedColumn*>(columns_)) c->CheckActualVisibility();
}

// ---- the bands --------------------------------------------------------------------------------------------

TcxGridBands::TcxGridBands(TcxGridBandedTableView* view)
    : TOwnedCollection(view, TcxGridBand::StaticClass()), view_(view) {}

TcxGridBands::~TcxGridBands() {
  // The bands go without reaching back into the tree or the view.
  for (Integer i = 0; i < Count(); ++i) {
    TcxGridBand* band = GetBand(i);
    band->destroying_ = true;
    band->parent_ = nullptr;
    band->children_.clear();
    band->visibleChildren_.clear();
    for (TcxGridBandedColumn* column : band->columns_) column->Position()->band_ = nullptr;
    band->columns_.clear();
  }
  leaf_.clear();
  root_.clear();
  visible_.clear();
  visibleRoot_.clear();
  bottom_.clear();
  view_ = nullptr;
  Clear();
}

TcxGridBand* TcxGridBands::FindBandByID(Integer id) const {
  for (Integer i = 0; i < Count(); ++i)
    if (GetBand(i)->ID() == id) return GetBand(i);
  return nullptr;
}

Integer TcxGridBands::IndexOfVisible(const TcxGridBand* band) const { return IndexIn(visible_, band); }

Integer TcxGridBands::IndexOfVisibleRoot(const TcxGridBand* band) const { return IndexIn(visibleRoot_, band); }

Integer TcxGridBands::IndexOfRoot(const TcxGridBand* band) const { return IndexIn(root_, band); }

Integer TcxGridBands::IndexOfBottom(const TcxGridBand* band) const { return IndexIn(bottom_, band); }

TcxGridBand* TcxGridBands::GetFirstBandWithRows() const {
  for (TcxGridBand* b : bottom_)
    if (b->Rows()->VisibleCount() > 0) return b;
  return nullptr;
}

TcxGridBand* TcxGridBands::GetLastBandWithRows() const {
  for (auto it = bottom_.rbegin(); it != bottom_.rend(); ++it)
    if ((*it)->Rows()->VisibleCount() > 0) return *it;
  return nullptr;
}

Integer TcxGridBands::GetMaxRowCount() const {
  Integer n = 0;
  for (TcxGridBand* b : bottom_) n = std::max(n, b->Rows()->VisibleCount());
  return n;
}

Integer TcxGridBands::GetFixedKinds() const { return (leftCount_ > 0 ? 1 : 0) + (rightCount_ > 0 ? 2 : 0); }

namespace {

Integer FirstIndexOf(TcxGridBandFixedKind kind, Integer left, Integer right, Integer count) {
  switch (kind) {
    case fkLeft: return 0;
    case fkNone: return left;
    default: return count - right;
  }
}

Integer LastIndexOf(TcxGridBandFixedKind kind, Integer left, Integer right, Integer count) {
  switch (kind) {
    case fkLeft: return left - 1;
    case fkNone: return count - right - 1;
    default: return count - 1;
  }
}

}  // namespace

Integer TcxGridBands::GetFirstVisibleIndex(TcxGridBandFixedKind kind) const {
  return FirstIndexOf(kind, leftCount_, rightCount_, GetVisibleCount());
}

Integer TcxGridBands::GetLastVisibleIndex(TcxGridBandFixedKind kind) const {
  return LastIndexOf(kind, leftCount_, rightCount_, GetVisibleCount());
}

Integer TcxGridBands::GetFirstVisibleRootIndex(TcxGridBandFixedKind kind) const {
  return FirstIndexOf(kind, rootLeftCount_, rootRightCount_, GetVisibleRootBandCount());
}

Integer TcxGridBands::GetLastVisibleRootIndex(TcxGridBandFixedKind kind) const {
  return LastIndexOf(kind, rootLeftCount_, rootRightCount_, GetVisibleRootBandCount());
}

void TcxGridBands::RefreshVisibleBandsList() {
  visible_.clear();
  leftCount_ = rightCount_ = 0;
  for (Integer i = 0; i < Count(); ++i) {
    TcxGridBand* b = GetBand(i);
    if (!b->IsActuallyVisible()) continue;
    switch (b->FixedKind()) {
      case fkLeft: visible_.insert(visible_.begin() + leftCount_++, b); break;
      case fkNone: visible_.insert(visible_.end() - rightCount_, b); break;
      case fkRight:
        visible_.push_back(b);
        ++rightCount_;
        break;
    }
  }
  visibleRoot_.clear();
  rootLeftCount_ = rootRightCount_ = 0;
  for (TcxGridBand* b : visible_) {
    if (!b->IsRoot()) continue;
    visibleRoot_.push_back(b);
    if (b->FixedKind() == fkLeft) ++rootLeftCount_;
    if (b->FixedKind() == fkRight) ++rootRightCount_;
  }
  bottom_.clear();
  std::function<void(TcxGridBand*)> collect = [&](TcxGridBand* b) {
    if (b->IsBottom()) {
      bottom_.push_back(b);
      return;
    }
    for (Integer i = 0; i < b->GetVisibleChildBandCount(); ++i) collect(b->GetVisibleChildBand(i));
  };
  for (TcxGridBand* b : visibleRoot_) collect(b);
  if (view_ && !view_->IsDestroying()) view_->QueueSizeChange(false, false);
}

void TcxGridBands::RefreshRootBandsList() {
  root_.clear();
  for (Integer i = 0; i < Count(); ++i)
    if (GetBand(i)->IsRoot()) root_.push_back(GetBand(i));
}

void TcxGridBands::RefreshLeafBandsList() {
  leaf_.clear();
  for (Integer i = 0; i < Count(); ++i)
    if (GetBand(i)->ChildBandCount() == 0) leaf_.push_back(GetBand(i));
}

void TcxGridBands::RefreshLists() {
  RefreshVisibleBandsList();
  RefreshRootBandsList();
  RefreshLeafBandsList();
}

void TcxGridBands::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TcxGridBands*>(source);
  if (!src) {
    TOwnedCollection::Assign(source);
    return;
  }
  if (src == this) return;
  if (view_) view_->SetAssigningBands(true);
  try {
    for (Integer i = 0; i < src->Count(); ++i) {
      TcxGridBand* from = src->GetBand(i);
      TcxGridBand* band = FindBandByID(from->ID());
      if (!band) {
        band = Add();
        // The new band takes the source's number.
        if (band->id_ == nextID_ - 1) --nextID_;
        band->id_ = from->ID();
      }
      band->SetIndex(i);
      band->Assign(from);
    }
    while (Count() > src->Count()) GetBand(Count() - 1)->Free();
  } catch (...) {
    if (view_) view_->SetAssigningBands(false);
    throw;
  }
  if (view_) view_->SetAssigningBands(false);
  if (view_) view_->ApplyStoredBandPositions();
  nextID_ = src->nextID_;
}

TObject* TcxGridBands::CreateStoredObject(const String&, const String& className) {
  return className == "TcxGridBand" ? Add() : nullptr;
}

void TcxGridBands::DeleteStoredObject(const String&, TObject* object) {
  if (object) object->Free();
}

void TcxGridBands::GetStoredChildren(TStringList* list) {
  for (Integer i = 0; i < Count(); ++i) list->AddObject(GetBand(i)->GetStoringName(), GetBand(i));
}

// ---- banded columns ---------------------------------------------------------------------------------

TcxGridBandedColumn* TcxGridBandedColumnPosition::Column() const { return static_cast<TcxGridBandedColumn*>(Item()); }

bool TcxGridBandedColumnPosition::IsLoading() const {
  TcxGridBandedColumn* column = Column();
  TcxGridBandedTableView* view = column->GridView();
  return column->IsItemLoading() || column->ComponentState().Contains(csUpdating) ||
         (view && view->IsLoadingLayout() && !view->IsApplyingLayout());
}

Integer TcxGridBandedColumnPosition::BandIndex() const { return band_ ? band_->Index() : -1; }

Integer TcxGridBandedColumnPosition::RowIndex() const { return band_ ? band_->Rows()->IndexOfColumn(Column()) : -1; }

Integer TcxGridBandedColumnPosition::ColIndex() const {
  TcxGridBandRow* row = GetRow();
  return row ? row->IndexOf(Column()) : -1;
}

TcxGridBandRow* TcxGridBandedColumnPosition::GetRow() const {
  const Integer r = RowIndex();
  return r == -1 ? nullptr : band_->Rows()->Items(r);
}

Integer TcxGridBandedColumnPosition::GetVisibleBandIndex() const { return band_ ? band_->GetVisibleIndex() : -1; }

Integer TcxGridBandedColumnPosition::GetVisibleRowIndex() const {
  TcxGridBandRow* row = GetRow();
  return row ? row->VisibleIndex() : -1;
}

Integer TcxGridBandedColumnPosition::GetVisibleColIndex() const {
  TcxGridBandRow* row = GetRow();
  return row ? row->VisibleIndexOf(Column()) : -1;
}

void TcxGridBandedColumnPosition::SetBandIndex(Integer value) {
  if (value == BandIndex()) return;
  TcxGridBandedColumn* column = Column();
  TcxGridBandedTableView* view = column->GridView();
  TcxGridBands* bands = band_ ? band_->Bands() : (view ? view->Bands() : nullptr);
  TcxGridBand* target = bands && value >= 0 && value < bands->Count() ? bands->GetBand(value) : nullptr;
  if (target && target->ChildBandCount() > 0) {
    // A band with children becomes a leaf: they become root bands right after its root.
    ViewUpdate update(view);
    for (Integer i = target->ChildBandCount() - 1; i >= 0; --i) {
      TcxGridBand* child = target->ChildBands(i);
      child->Position()->SetBandIndex(-1);
      child->Position()->SetColIndex(target->GetRootBand()->Position()->ColIndex() + 1);
    }
  }
  const bool wasVisible = column->GetActuallyVisible();
  {
    ViewUpdate update(view);
    if (band_) band_->RemoveColumn(column);
    if (target) target->AddColumn(column);
  }
  if (IsLoading()) StoredBandIndex = value;
  if (!view || view->IsDestroying()) return;
  const bool visible = column->GetActuallyVisible();
  if (visible == wasVisible)
    view->RefreshVisibleItemsList();
  else
    view->ItemVisibilityChanged(column, visible);
  Changed(2);
}

void TcxGridBandedColumnPosition::SetRowIndex(Integer value) {
  if (!band_ || value == RowIndex()) return;
  if (IsLoading()) {
    StoredRowIndex = value;
    return;
  }
  if (value < 0) return;
  band_->MoveColumn(Column(), value, -1);
  Changed(2);
}

void TcxGridBandedColumnPosition::SetColIndex(Integer value) {
  if (!band_) return;
  if (IsLoading()) {
    StoredColIndex = value;
    return;
  }
  if (value < 0 || value == ColIndex()) return;
  band_->MoveColumn(Column(), RowIndex(), value);
  Changed(2);
}

void TcxGridBandedColumnPosition::SetLineCount(Integer value) {
  value = std::max<Integer>(value, 1);
  if (GridStoreOption(lineCount_, value)) Changed(2);
}

void TcxGridBandedColumnPosition::SaveStoredPosition(bool onlyBand) {
  StoredBandIndex = BandIndex();
  if (onlyBand) return;
  StoredRowIndex = RowIndex();
  StoredColIndex = ColIndex();
}

void TcxGridBandedColumnPosition::AssignFrom(TPersistent* source) {
  if (auto* p = dynamic_cast<TcxGridBandedColumnPosition*>(source)) {
    SetBandIndex(p->BandIndex());
    SetRowIndex(p->RowIndex());
    SetColIndex(p->ColIndex());
    SetLineCount(p->LineCount());
  }
}

void TcxGridBandedColumnOptions::SetVertSizing(bool v) {
  if (GridStoreOption(vertSizing_, v)) Changed(1);
}

void TcxGridBandedColumnOptions::AssignFrom(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxGridBandedColumnOptions*>(source)) SetVertSizing(o->VertSizing());
  TcxGridColumnOptions::AssignFrom(source);
}

void TcxGridBandedColumnStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  auto* column = dynamic_cast<TcxGridBandedColumn*>(Item());
  TcxGridBand* band = column ? column->Position()->Band() : nullptr;
  if (index == isContent && band) {
    band->Styles()->GetContentParams(dynamic_cast<TcxCustomGridRecord*>(data), column, params);
    return;
  }
  TcxGridColumnStyles::DefaultViewParams(index, data, params);
}

TcxGridBandedColumn::TcxGridBandedColumn(TComponent* owner) : TcxGridColumn(owner) {
  position_ = new TcxGridBandedColumnPosition(this);
}

TcxGridBandedColumn::~TcxGridBandedColumn() {
  position_->SetBandIndex(-1);
  delete position_;
  position_ = nullptr;
}

TcxGridBandedTableView* TcxGridBandedColumn::GridView() const {
  return dynamic_cast<TcxGridBandedTableView*>(TcxCustomGridTableItem::GridView());
}

void TcxGridBandedColumn::AssignFrom(TcxCustomGridTableItem* source) {
  if (auto* c = dynamic_cast<TcxGridBandedColumn*>(source)) position_->AssignFrom(c->Position());
  TcxGridColumn::AssignFrom(source);
}

bool TcxGridBandedColumn::GetActuallyVisible() const {
  if (!position_) return false;
  TcxGridBand* band = position_->Band();
  return TcxGridColumn::GetActuallyVisible() && band && band->IsActuallyVisible();
}

bool TcxGridBandedColumn::CanScroll() {
  TcxGridBand* band = position_->Band();
  return TcxGridColumn::CanScroll() && band && band->FixedKind() == fkNone;
}

bool TcxGridBandedColumn::IsVisibleForCustomization() const {
  TcxGridBand* band = position_->Band();
  return !Hidden() && band && band->IsActuallyVisible();
}

bool TcxGridBandedColumn::HasMultilineCells() const { return position_->LineCount() > 1; }

void TcxGridBandedColumn::GetStoredProperties(TStrings* list) {
  for (const char* name : {"BandIndex", "ColIndex", "RowIndex", "LineCount"}) list->Add(name);
  TcxGridColumn::GetStoredProperties(list);
}

void TcxGridBandedColumn::GetStoredPropertyValue(const String& name, Variant& value) {
  if (name == "BandIndex")
    value = Variant(position_->BandIndex());
  else if (name == "ColIndex")
    value = Variant(position_->ColIndex());
  else if (name == "RowIndex")
    value = Variant(position_->RowIndex());
  else if (name == "LineCount")
    value = Variant(position_->LineCount());
  else
    TcxGridColumn::GetStoredPropertyValue(name, value);
}

void TcxGridBandedColumn::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (name == "BandIndex")
    position_->SetBandIndex(value.AsInteger());
  else if (name == "ColIndex")
    position_->StoredColIndex = value.AsInteger();
  else if (name == "RowIndex")
    position_->StoredRowIndex = value.AsInteger();
  else if (name == "LineCount")
    position_->SetLineCount(value.AsInteger());
  else
    TcxGridColumn::SetStoredPropertyValue(name, value);
}

bool TcxGridBandedColumn::CanVertSize() {
  TcxGridBandedTableView* view = GridView();
  return view && view->GetOptionsCustomize()->ColumnVertSizing() && GetOptions()->VertSizing();
}

void TcxGridBandedColumn::CheckActualVisibility() {
  const bool now = GetActuallyVisible();
  if (now == actuallyVisibleCache_) return;
  actuallyVisibleCache_ = now;
  if (TcxGridBandedTableView* view = GridView()) view->ItemVisibilityChanged(this, now);
}

bool TcxGridBandedColumn::IsBottommost() {
  TcxGridBandRow* row = position_->GetRow();
  return row && row->IsLast();
}

bool TcxGridBandedColumn::IsLeftmost() { return position_->GetVisibleColIndex() == 0; }

bool TcxGridBandedColumn::IsBottommostInView() {
  TcxGridBandRow* row = position_->GetRow();
  return IsBottommost() && row->VisibleIndex() + 1 == position_->Band()->Bands()->GetMaxRowCount();
}

bool TcxGridBandedColumn::IsLeftmostInView() { return IsLeftmost() && position_->Band()->IsFirst(); }

bool TcxGridBandedColumn::IsRightmostInView() { return IsRightmost() && position_->Band()->IsLast(); }

bool TcxGridBandedColumn::IsRightmost() {
  TcxGridBandRow* row = position_->GetRow();
  return row && row->VisibleCount() > 0 && row->VisibleItems(row->VisibleCount() - 1) == this;
}

bool TcxGridBandedColumn::IsTopmost() {
  TcxGridBandRow* row = position_->GetRow();
  return row && row->IsFirst();
}

// ---- view options and styles -------------------------------------------------------------------------

void TcxGridBandedTableOptionsBehavior::AssignFrom(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxGridBandedTableOptionsBehavior*>(source)) SetBandHeaderHints(o->BandHeaderHints());
  TcxGridTableOptionsBehavior::AssignFrom(source);
}

void TcxGridBandedTableOptionsCustomize::SetBandsQuickCustomizationMaxDropDownCount(Integer v) {
  v = std::max<Integer>(v, 0);
  if (GridStoreOption(bandsMaxDropDownCount_, v)) Changed(0);
}

void TcxGridBandedTableOptionsCustomize::AssignFrom(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxGridBandedTableOptionsCustomize*>(source)) {
    SetBandHiding(o->BandHiding());
    SetBandMoving(o->BandMoving());
    SetBandSizing(o->BandSizing());
    SetBandsQuickCustomization(o->BandsQuickCustomization());
    SetBandsQuickCustomizationMaxDropDownCount(o->BandsQuickCustomizationMaxDropDownCount());
    SetColumnVertSizing(o->ColumnVertSizing());
    SetNestedBands(o->NestedBands());
  }
  TcxGridTableOptionsCustomize::AssignFrom(source);
}

void TcxGridBandedTableOptionsView::SetBandHeaderEndEllipsis(bool v) {
  if (GridStoreOption(bandHeaderEndEllipsis_, v)) Changed(1);
}

void TcxGridBandedTableOptionsView::SetBandHeaderHeight(Integer v) {
  if (GridStoreOption(bandHeaderHeight_, std::max<Integer>(v, 0))) Changed(2);
}

void TcxGridBandedTableOptionsView::SetBandHeaderLineCount(Integer v) {
  if (GridStoreOption(bandHeaderLineCount_, std::max<Integer>(v, 1))) Changed(2);
}

void TcxGridBandedTableOptionsView::SetBandHeaders(bool v) {
  if (GridStoreOption(bandHeaders_, v)) Changed(1);
}

void TcxGridBandedTableOptionsView::SetFixedBandSeparatorColor(TColor v) {
  if (GridStoreOption(fixedBandSeparatorColor_, v)) Changed(1);
}

void TcxGridBandedTableOptionsView::SetFixedBandSeparatorWidth(Integer v) {
  if (GridStoreOption(fixedBandSeparatorWidth_, std::max<Integer>(v, 0))) Changed(2);
}

TColor TcxGridBandedTableOptionsView::GetFixedBandSeparatorColor() const {
  if (fixedBandSeparatorColor_ != clDefault) return fixedBandSeparatorColor_;
  return GridTableViewPainter(GridView())->FixedBandSeparatorColor();
}

void TcxGridBandedTableOptionsView::AssignFrom(TPersistent* source) {
  if (auto* o = dynamic_cast<TcxGridBandedTableOptionsView*>(source)) {
    SetBandHeaderEndEllipsis(o->BandHeaderEndEllipsis());
    SetBandHeaderHeight(o->BandHeaderHeight());
    SetBandHeaderLineCount(o->BandHeaderLineCount());
    SetBandHeaders(o->BandHeaders());
    SetFixedBandSeparatorColor(o->FixedBandSeparatorColor());
    SetFixedBandSeparatorWidth(o->FixedBandSeparatorWidth());
  }
  TcxGridTableOptionsView::AssignFrom(source);
}

void TcxGridBandedTableViewStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxGridTableViewStyles::DefaultViewParams(index, data, params);
  TcxCustomLookAndFeelPainterClass painter = LookAndFeelPainter();
  switch (index) {
    case vsBandBackground:
      params.Color = painter->HeaderBackgroundColor();
      params.TextColor = painter->HeaderBackgroundTextColor();
      break;
    case vsBandHeader:
      params.Color = painter->HeaderColor();
      params.TextColor = painter->HeaderTextColor();
      break;
    default: break;
  }
}

void TcxGridBandedTableViewStyles::GetBandHeaderParams(TcxGridBand* band, TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetBandHeaderStyle) OnGetBandHeaderStyle(dynamic_cast<TcxGridBandedTableView*>(GridView()), band, style);
  ResolveViewParams(vsBandHeader, nullptr, style, params);
}

void TcxGridBandedTableViewStyles::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridBandedTableViewStyles*>(source)) OnGetBandHeaderStyle = s->OnGetBandHeaderStyle;
  TcxGridTableViewStyles::AssignFrom(source);
}

Integer TcxGridBandedTableBackgroundBitmaps::GetBitmapStyleIndex(Integer index) {
  switch (index) {
    case bbBandBackground: return TcxGridBandedTableViewStyles::vsBandBackground;
    case bbBandHeader: return TcxGridBandedTableViewStyles::vsBandHeader;
    default: return TcxGridTableBackgroundBitmaps::GetBitmapStyleIndex(index);
  }
}

TBitmap* TcxGridBandedTableBackgroundBitmaps::GetSetBitmap(Integer index) {
  TBitmap* b = GetBitmap(index);
  return b && !b->Empty() ? b : nullptr;
}

void TcxGridBandedTableBackgroundBitmaps::AssignFrom(TPersistent* source) {
  if (auto* b = dynamic_cast<TcxGridBandedTableBackgroundBitmaps*>(source)) {
    SetBandBackground(b->BandBackground());
    SetBandHeader(b->BandHeader());
  }
  TcxGridTableBackgroundBitmaps::AssignFrom(source);
}

// ---- the view ---------------------------------------------------------------------------------------------

TcxGridBandedTableView::~TcxGridBandedTableView() = default;

TcxGridBandedColumn* TcxGridBandedTableView::GetColumn(Integer index) const {
  return static_cast<TcxGridBandedColumn*>(TcxGridTableView::GetColumn(index));
}

TcxGridBandedColumn* TcxGridBandedTableView::GetVisibleColumn(Integer index) const {
  return static_cast<TcxGridBandedColumn*>(TcxGridTableView::GetVisibleColumn(index));
}

TcxGridBandedColumn* TcxGridBandedTableView::CreateColumn() { return static_cast<TcxGridBandedColumn*>(CreateItem()); }

bool TcxGridBandedTableView::IsLoadingBands() const {
  return assigningBands_ || ComponentState().Contains(csLoading);
}

void TcxGridBandedTableView::CreateOptions() {
  TcxGridTableView::CreateOptions();
  bands_ = static_cast<TcxGridBands*>(GetBandsClass()->Create(this));
}

void TcxGridBandedTableView::DestroyOptions() {
  FreeAndNil(bands_);
  TcxGridTableView::DestroyOptions();
}

void TcxGridBandedTableView::InitSubobjects() {
  TcxGridTableView::InitSubobjects();
  if (Owner() && Owner()->ComponentState().Contains(csDesigning) && bands_->Count() == 0) bands_->Add();
}

void TcxGridBandedTableView::GetItemsForRangeSelection(std::vector<TcxGridColumn*>& list) {
  for (Integer i = 0; i < bands_->GetBottomBandCount(); ++i) {
    TcxGridBandRows* rows = bands_->GetBottomBand(i)->Rows();
    if (rows->VisibleCount() == 0) continue;
    TcxGridBandRow* row = rows->VisibleItems(0);
    for (Integer j = 0; j < row->VisibleCount(); ++j) list.push_back(row->VisibleItems(j));
  }
}

void TcxGridBandedTableView::SortVisibleItems(std::vector<TcxCustomGridTableItem*>& list) {
  // Left-fixed bands, right-fixed, then scrollable; within a kind by band, row and column.
  auto key = [](TcxCustomGridTableItem* item) {
    auto* c = static_cast<TcxGridBandedColumn*>(item);
    TcxGridBandedColumnPosition* p = c->Position();
    static const Integer kindOrder[] = {2, 0, 1};
    const Integer kind = p->Band() ? kindOrder[p->Band()->FixedKind()] : 3;
    return std::array<Integer, 5>{kind, p->GetVisibleBandIndex(), p->GetVisibleRowIndex(), p->GetVisibleColIndex(),
                                  c->VisibleIndex()};
  };
  std::stable_sort(list.begin(), list.end(),
                   [&](TcxCustomGridTableItem* a, TcxCustomGridTableItem* b) { return key(a) < key(b); });
}

void TcxGridBandedTableView::AddItem(TcxCustomGridTableItem* item) {
  TcxGridTableView::AddItem(item);
  if (ComponentState().Contains(csLoading) || !bands_ || bands_->GetBottomBandCount() == 0) return;
  if (auto* c = dynamic_cast<TcxGridBandedColumn*>(item)) c->Position()->SetBandIndex(bands_->GetBottomBand(0)->Index());
}

void TcxGridBandedTableView::ItemVisibilityChanged(TcxCustomGridTableItem* item, bool value) {
  if (auto* c = dynamic_cast<TcxGridBandedColumn*>(item))
    if (c->Position() && c->Position()->Band()) {
      if (TcxGridBandRow* row = c->Position()->GetRow()) row->RefreshVisibleItems();
      c->Position()->Band()->Rows()->RefreshVisibleItems();
    }
  TcxGridTableView::ItemVisibilityChanged(item, value);
}

void TcxGridBandedTableView::ApplyBestFit(TcxCustomGridTableItem* item, bool checkCanSize, bool fireEvents) {
  if (item) {
    TcxGridTableView::ApplyBestFit(item, checkCanSize, fireEvents);
    return;
  }
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  for (Integer i = 0; i < bands_->GetVisibleRootBandCount(); ++i)
    bands_->GetVisibleRootBand(i)->ApplyBestFit(checkCanSize, fireEvents);
}

void TcxGridBandedTableView::ApplyStoredBandPositions() {
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  std::vector<TcxGridBand*> list;
  for (Integer i = 0; i < bands_->Count(); ++i) list.push_back(bands_->GetBand(i));
  std::stable_sort(list.begin(), list.end(), [](TcxGridBand* a, TcxGridBand* b) {
    const TcxGridBandPosition *pa = a->Position(), *pb = b->Position();
    if (pa->StoredBandIndex != pb->StoredBandIndex) return pa->StoredBandIndex < pb->StoredBandIndex;
    return pa->StoredColIndex < pb->StoredColIndex;
  });
  for (TcxGridBand* band : list) {
    band->ApplyingStoredPosition = true;
    Finally clear{[band] { band->ApplyingStoredPosition = false; }};
    band->Position()->SetBandIndex(band->Position()->StoredBandIndex);
    if (!band->IsRoot()) band->Position()->SetColIndex(band->Position()->StoredColIndex);
  }
}

void TcxGridBandedTableView::ApplyStoredColumnPositions(bool applyBands, bool applyRowsCols) {
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  std::vector<TcxGridBandedColumn*> list;
  for (Integer i = 0; i < GetColumnCount(); ++i) list.push_back(GetColumn(i));
  if (applyBands)
    for (TcxGridBandedColumn* c : list) c->Position()->SetBandIndex(c->Position()->StoredBandIndex);
  if (applyRowsCols) {
    std::stable_sort(list.begin(), list.end(), [](TcxGridBandedColumn* a, TcxGridBandedColumn* b) {
      const TcxGridBandedColumnPosition *pa = a->Position(), *pb = b->Position();
      if (pa->BandIndex() != pb->BandIndex()) return pa->BandIndex() < pb->BandIndex();
      if (pa->StoredRowIndex != pb->StoredRowIndex) return pa->StoredRowIndex < pb->StoredRowIndex;
      return pa->StoredColIndex < pb->StoredColIndex;
    });
    for (TcxGridBandedColumn* c : list) {
      TcxGridBandedColumnPosition* p = c->Position();
      if (!p->Band()) continue;
      // As the setters would (the loading brackets that stored the values may still be open).
      TcxGridBandRows* rows = p->Band()->Rows();
      if (p->StoredRowIndex >= 0 && p->StoredRowIndex != p->RowIndex()) rows->MoveColumn(c, p->StoredRowIndex, -1);
      if (p->StoredColIndex >= 0 && p->StoredColIndex != p->ColIndex())
        rows->MoveColumn(c, p->RowIndex(), p->StoredColIndex);
    }
  }
  RefreshVisibleItemsList();
}

void TcxGridBandedTableView::Loading() {
  TcxGridTableView::Loading();
  for (Integer i = 0; i < GetColumnCount(); ++i) GetColumn(i)->Position()->SaveStoredPosition(true);
  // A view read from a form starts loading before its sub-objects (the bands) exist.
  if (!bands_) return;
  for (Integer i = 0; i < bands_->Count(); ++i) bands_->GetBand(i)->Position()->SaveStoredPosition();
}

void TcxGridBandedTableView::AfterLoadLayoutChange() {
  TcxGridTableView::AfterLoadLayoutChange();
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  ApplyStoredBandPositions();
  ApplyStoredColumnPositions(true, true);
}

void TcxGridBandedTableView::BeginLoadingLayout() {
  // The stored positions start as the current ones: only what the layout sets moves.
  if (!IsLoadingLayout()) {
    for (Integer i = 0; i < GetColumnCount(); ++i) GetColumn(i)->Position()->SaveStoredPosition(false);
    if (bands_)
      for (Integer i = 0; i < bands_->Count(); ++i) bands_->GetBand(i)->Position()->SaveStoredPosition();
  }
  TcxGridTableView::BeginLoadingLayout();
}

void TcxGridBandedTableView::EndLoadingLayout() {
  const bool wasLoading = IsLoadingLayout();
  TcxGridTableView::EndLoadingLayout();
  if (!wasLoading || IsLoadingLayout() || ComponentState().Contains(csLoading)) return;
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  ApplyStoredBandPositions();
  ApplyStoredColumnPositions(false, true);
}

void TcxGridBandedTableView::DeleteStoredObject(const String& name, TObject* object) {
  if (object == bands_) return;
  TcxGridTableView::DeleteStoredObject(name, object);
}

void TcxGridBandedTableView::GetStoredChildren(TStringList* children) {
  children->AddObject(bands_->GetStoringName(), bands_);
  TcxGridTableView::GetStoredChildren(children);
}

void TcxGridBandedTableView::ApplyEditedLayout(TcxCustomGridView* copy) {
  if (auto* v = dynamic_cast<TcxGridBandedTableView*>(copy)) bands_->Assign(v->Bands());
  TcxGridTableView::ApplyEditedLayout(copy);
}

void TcxGridBandedTableView::DoAssign(TcxCustomGridView* source) {
  if (auto* v = dynamic_cast<TcxGridBandedTableView*>(source)) {
    bands_->Assign(v->Bands());
    OnBandPosChanged = v->OnBandPosChanged;
    OnBandSizeChanged = v->OnBandSizeChanged;
    OnCustomDrawBandHeader = v->OnCustomDrawBandHeader;
  }
  TcxGridTableView::DoAssign(source);
}

void TcxGridBandedTableView::DoBandPosChanged(TcxGridBand* band) {
  if (OnBandPosChanged) OnBandPosChanged(this, band);
}

void TcxGridBandedTableView::DoBandSizeChanged(TcxGridBand* band) {
  if (OnBandSizeChanged) OnBandSizeChanged(this, band);
}

void TcxGridBandedTableView::DoCustomDrawBandHeader(TcxCanvas* canvas, TcxCustomGridCellViewInfo* viewInfo,
                                                    bool& done) {
  if (OnCustomDrawBandHeader) OnCustomDrawBandHeader(this, canvas, viewInfo, done);
}
