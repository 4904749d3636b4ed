// The view data: the group trees flattened into header rows and columns with totals and data
// items, leaf indexes, scrolling, selection and the text of a data cell.
#include <algorithm>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "rtl/SysUtils.h"

// ---- view items -------------------------------------------------------------------------------------

TcxPivotGridViewDataItem::TcxPivotGridViewDataItem(TcxPivotGridViewDataItem* parent, TcxPivotGridGroupItem* groupItem)
    : groupItem_(groupItem), parent_(parent) {}

TcxPivotGridViewDataItem::~TcxPivotGridViewDataItem() { ClearItems(); }

void TcxPivotGridViewDataItem::ClearItems() {
  for (auto* i : items_) delete i;
  items_.clear();
}

int TcxPivotGridViewDataItem::GetSize() {
  if (items_.empty()) return groupItem_->GetSize();
  int s = 0;
  for (auto* i : items_) s += i->GetSize();
  return s;
}

String TcxPivotGridViewDataItem::GetDisplayText() { return groupItem_->GetDisplayText(); }

TcxPivotGridViewDataItem* TcxPivotGridViewDataItem::AddChild(TcxPivotGridGroupItem* groupItem) {
  auto* item = new TcxPivotGridViewDataItem(this, groupItem);
  item->index_ = ItemCount();
  items_.push_back(item);
  return item;
}

TcxPivotGridViewDataItem* TcxPivotGridViewDataItem::AddTotal(TcxPivotGridGroupItem* groupItem, int totalIndex) {
  auto* item = new TcxPivotGridViewDataTotalItem(this, groupItem);
  item->index_ = ItemCount();
  items_.push_back(item);
  TcxPivotGridField* f = groupItem->Field();
  if (groupItem->Parent() && f && f->TotalsVisibility() == tvCustom && totalIndex < f->CustomTotals()->Count())
    item->customTotal_ = f->CustomTotals()->Items(totalIndex);
  return item;
}

bool TcxPivotGridViewDataItem::IsExpandable() { return !IsTotal() && groupItem_ && groupItem_->ItemCount() > 0; }

bool TcxPivotGridViewDataItem::IsExpanded() { return IsExpandable() && groupItem_->HasExpandedChildren(); }

bool TcxPivotGridViewDataItem::IsGrandTotal() { return IsTotal() && groupItem_ && groupItem_->IsRoot(); }

int TcxPivotGridViewDataItem::Level() const {
  int n = -1;
  for (auto* p = parent_; p; p = p->parent_) ++n;
  return n;
}

TcxPivotGridViewDataItem* TcxPivotGridViewDataItem::NextLeaf() {
  TcxPivotGridViewDataItem* item = this;
  while (item->parent_ && item->index_ == item->parent_->ItemCount() - 1) item = item->parent_;
  if (!item->parent_) return nullptr;
  item = item->parent_->items_[std::size_t(item->index_ + 1)];
  while (!item->items_.empty()) item = item->items_.front();
  return item;
}

TcxPivotGridViewDataItem* TcxPivotGridViewDataItem::PreviousLeaf() {
  TcxPivotGridViewDataItem* item = this;
  while (item->parent_ && item->index_ == 0) item = item->parent_;
  if (!item->parent_) return nullptr;
  item = item->parent_->items_[std::size_t(item->index_ - 1)];
  while (!item->items_.empty()) item = item->items_.back();
  return item;
}

TcxPivotGridGroupItem* TcxPivotGridViewDataItem::GetOwningGroupItem(TcxPivotGridField*& dataField) {
  TcxPivotGridViewDataItem* item = this;
  while (item && item->isDataItem_) {
    dataField = item->GetField();
    item = item->parent_;
  }
  return item ? item->groupItem_ : nullptr;
}

bool TcxPivotGridViewDataItem::FindCustomTotal(TcxPivotGridSummaryType& summaryType,
                                               TcxPivotGridCustomTotal*& customTotal) {
  for (TcxPivotGridViewDataItem* item = this; item; item = item->parent_)
    if (item->IsTotal())
      if (auto* t = static_cast<TcxPivotGridViewDataTotalItem*>(item)->CustomTotal()) {
        customTotal = t;
        summaryType = t->SummaryType();
        return true;
      }
  return false;
}

String TcxPivotGridViewDataTotalItem::GetDisplayText() {
  if (IsGrandTotal()) return cxPivotGridResText("Grand Total");
  String text = groupItem_->GetDisplayText();
  if (customTotal_) {
    static const char* const formats[] = {"%s Count", "%s Sum", "%s Min", "%s Max", "%s Average",
                                          "%s StdDev", "%s StdDevP", "%s Var", "%s VarP", "%s Custom"};
    return Format(cxPivotGridResText(formats[customTotal_->SummaryType()]), {text});
  }
  return Format(cxPivotGridResText("%s Total"), {text});
}

// ---- items producer ------------------------------------------------------------------------------------

TcxPivotGridItemsProducer::TcxPivotGridItemsProducer(TcxPivotGridGroupItem* groupRoot, bool grandTotals,
                                                     bool grandTotalsForSingleValues, bool totals,
                                                     bool totalsForSingleValues, TcxPivotGridTotalsLocation location,
                                                     TcxPivotGridViewDataItem* viewRoot,
                                                     std::vector<TcxPivotGridViewDataItem*>& leaves)
    : viewRoot_(viewRoot),
      groupRoot_(groupRoot),
      grandTotals_(grandTotals),
      grandTotalsForSingleValues_(grandTotalsForSingleValues),
      totals_(totals),
      totalsForSingleValues_(totalsForSingleValues),
      totalsLocation_(location),
      leaves_(leaves) {}

int TcxPivotGridItemsProducer::Produce() {
  viewRoot_->ClearItems();
  leaves_.clear();
  allDataFieldsHaveVariation_ = dataRoot_ != nullptr;
  if (dataRoot_)
    for (int i = 0; i < dataRoot_->ItemCount(); ++i)
      if (dataRoot_->Items(i)->Field()->SummaryVariation() == svNone) allDataFieldsHaveVariation_ = false;
  AddItem(groupRoot_, -1, viewRoot_);
  RemoveEmptyBranches(viewRoot_);
  // Leaves are numbered in display order once the tree is final.
  leaves_.clear();
  count_ = 0;
  NumberLeaves(viewRoot_);
  return count_;
}

void TcxPivotGridItemsProducer::NumberLeaves(TcxPivotGridViewDataItem* v) {
  // Iterative walk: deep or wide trees do not use the stack.
  std::vector<std::pair<TcxPivotGridViewDataItem*, std::size_t>> stack{{v, 0}};
  while (!stack.empty()) {
    auto& [item, next] = stack.back();
    if (item->items_.empty()) {
      if (item->leafIndex_ >= 0) {
        item->leafIndex_ = count_++;
        leaves_.push_back(item);
      }
      stack.pop_back();
    } else if (next < item->items_.size()) {
      TcxPivotGridViewDataItem* c = item->items_[next++];
      stack.push_back({c, 0});
    } else {
      stack.pop_back();
    }
  }
}

void TcxPivotGridItemsProducer::MakeLeaf(TcxPivotGridViewDataItem* v) { v->leafIndex_ = count_++; }

void TcxPivotGridItemsProducer::AddItem(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* parent) {
  if (totalsLocation_ == tlNear) {
    AddTotals(g, level, parent);
    ProduceItem(g, level, parent);
  } else {
    ProduceItem(g, level, parent);
    AddTotals(g, level, parent);
  }
}

void TcxPivotGridItemsProducer::ProduceItem(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* parent) {
  if (level < 0 && g->ItemCount() == 0) return;
  TcxPivotGridViewDataItem* v = level >= 0 ? parent->AddChild(g) : parent;
  if (g->HasExpandedChildren()) {
    if (!InsertDataItems(g, level + 1, v))
      for (int i = 0; i < g->ItemCount(); ++i) AddItem(g->Items(i), level + 1, v);
  } else if (!InsertDataItems(g, level + 1, v)) {
    MakeLeaf(v);
  }
}

bool TcxPivotGridItemsProducer::SkipDataItem(TcxPivotGridViewDataItem* v, TcxPivotGridField* field) {
  if (field->SummaryVariation() == svNone) return false;
  if (v->IsGrandTotal()) return !(groupRoot_->ItemCount() == 0 && allDataFieldsHaveVariation_);
  if (v->Parent() && v->Index() == 0) return true;
  return v->IsTotal() && v->Index() == 1;
}

bool TcxPivotGridItemsProducer::InsertDataItems(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* v) {
  if (!dataRoot_) return false;
  bool collapsed = g->ItemCount() > 0 && !g->HasExpandedChildren();
  if (level != dataLevel_ && !(collapsed && level < dataLevel_)) return false;
  for (int i = 0; i < dataRoot_->ItemCount(); ++i) {
    TcxPivotGridGroupItem* d = dataRoot_->Items(i);
    if (SkipDataItem(v, d->Field())) continue;
    TcxPivotGridViewDataItem* w = v->AddChild(d);
    w->isDataItem_ = true;
    if (!g->HasExpandedChildren() || v->IsTotal())
      MakeLeaf(w);
    else
      for (int k = 0; k < g->ItemCount(); ++k) AddItem(g->Items(k), level + 1, w);
  }
  return true;
}

bool TcxPivotGridItemsProducer::ShowTotals(bool flag, bool forSingleValues, TcxPivotGridGroupItem* g) {
  if (g->IsRoot() && g->ItemCount() == 0) return true;
  return flag && g->HasExpandedChildren() && (forSingleValues || g->ItemCount() > 1);
}

void TcxPivotGridItemsProducer::AddTotals(TcxPivotGridGroupItem* g, int level, TcxPivotGridViewDataItem* parent) {
  bool show = level < 0 ? ShowTotals(grandTotals_, grandTotalsForSingleValues_, g)
                        : ShowTotals(totals_, totalsForSingleValues_, g);
  if (!show) return;
  for (int i = 0; i < g->GetTotalsCount(); ++i) {
    TcxPivotGridViewDataItem* t = parent->AddTotal(g, i);
    if (!dataRoot_ || level >= dataLevel_)
      MakeLeaf(t);
    else
      InsertDataItems(g, dataLevel_, t);
  }
}

void TcxPivotGridItemsProducer::RemoveEmptyBranches(TcxPivotGridViewDataItem* v) {
  for (int i = v->ItemCount() - 1; i >= 0; --i) {
    TcxPivotGridViewDataItem* c = v->items_[std::size_t(i)];
    RemoveEmptyBranches(c);
    if (c->items_.empty() && c->leafIndex_ == -1) {
      v->items_.erase(v->items_.begin() + i);
      delete c;
    }
  }
  for (std::size_t i = 0; i < v->items_.size(); ++i) v->items_[i]->index_ = int(i);
}

// ---- view data ------------------------------------------------------------------------------------------

TcxPivotGridViewData::TcxPivotGridViewData(TcxCustomPivotGrid* grid)
    : grid_(grid),
      columnRoot_(std::make_unique<TcxPivotGridViewDataItem>(nullptr, grid->DataBuilder()->ColumnRoot())),
      rowRoot_(std::make_unique<TcxPivotGridViewDataItem>(nullptr, grid->DataBuilder()->RowRoot())) {}

TcxPivotGridViewData::~TcxPivotGridViewData() = default;

void TcxPivotGridViewData::Calculate() {
  // The cells of the last layout show the items freed here.
  if (grid_->ViewInfo() && grid_->Controller()) grid_->ViewInfo()->ClearCells();
  TcxPivotGridDataBuilder* b = grid_->DataBuilder();
  TcxPivotGridOptionsView* o = grid_->OptionsView();
  TcxPivotGridOptionsDataField* df = grid_->OptionsDataField();
  bool hasData = b->DataFields().Count() >= 2;
  bool dataInRows = df->Area() == dfaRow;
  auto dataLevel = [&](int visibleFields) {
    int level = df->Area() != dfaNone && df->AreaIndex() >= 0 ? df->AreaIndex() : cxPivotGridMaxIndex;
    return std::min(level, visibleFields);
  };
  TcxPivotGridItemsProducer columns(b->ColumnRoot(), o->ColumnGrandTotals(), o->GrandTotalsForSingleValues(),
                                    o->ColumnTotals(), o->TotalsForSingleValues(), o->TotalsLocation(),
                                    columnRoot_.get(), columnLeaves_);
  if (hasData && !dataInRows) columns.SetDataItems(b->DataRoot(), dataLevel(b->ColumnFields().Count()));
  columnCount_ = columns.Produce();
  TcxPivotGridItemsProducer rows(b->RowRoot(), o->RowGrandTotals(), o->GrandTotalsForSingleValues(), o->RowTotals(),
                                 o->TotalsForSingleValues(), o->TotalsLocation(), rowRoot_.get(), rowLeaves_);
  if (hasData && dataInRows) rows.SetDataItems(b->DataRoot(), dataLevel(b->RowFields().Count()));
  rowCount_ = rows.Produce();
  leftColumn_ = std::max(0, std::min(leftColumn_, columnCount_ - 1));
  topRow_ = std::max(0, std::min(topRow_, rowCount_ - 1));
}

TcxPivotGridViewDataItem* TcxPivotGridViewData::ColumnItem(int i) const {
  return i >= 0 && i < int(columnLeaves_.size()) ? columnLeaves_[std::size_t(i)] : nullptr;
}

TcxPivotGridViewDataItem* TcxPivotGridViewData::RowItem(int i) const {
  return i >= 0 && i < int(rowLeaves_.size()) ? rowLeaves_[std::size_t(i)] : nullptr;
}

String TcxPivotGridViewData::CellText(int row, int column) {
  TcxPivotGridViewDataItem* r = RowItem(row);
  TcxPivotGridViewDataItem* c = ColumnItem(column);
  if (!r || !c) return String();
  // The data field is that of the data item over the leaf on the data side, or the only one.
  TcxPivotGridFields& data = grid_->DataBuilder()->DataFields();
  TcxPivotGridField* dataField = data.Count() == 1 ? data[0] : nullptr;
  for (auto* i = grid_->OptionsDataField()->Area() == dfaRow ? r : c; i; i = i->Parent())
    if (i->IsDataItem()) {
      dataField = i->GetField();
      break;
    }
  TcxPivotGridDataCellViewInfo cell(r, c, dataField);
  cell.Calculate();
  return cell.DisplayText;
}

bool TcxPivotGridViewData::Scroll(TScrollCode code, TcxPivotGridViewDataItem* firstItem, int& position,
                                  int trackPosition, int areaSize, int maxPosition, int pageSize) {
  int old = position;
  switch (code) {
    case scLineUp: --position; break;
    case scLineDown: ++position; break;
    case scPageUp: {
      TcxPivotGridViewDataItem* item = firstItem;
      while (areaSize > 0 && item) {
        item = item->PreviousLeaf();
        if (!item) break;
        areaSize -= item->GetSize();
        if (areaSize >= 0) --position;
      }
      break;
    }
    case scPageDown: position += pageSize; break;
    case scPosition:
    case scTrack: position = trackPosition; break;
    case scTop: position = 0; break;
    case scBottom: position = maxPosition; break;
    default: break;
  }
  position = std::max(0, std::min(position, maxPosition));
  return position != old;
}

bool TcxPivotGridViewData::ScrollColumns(TScrollCode code, int& position) {
  if (code == scEndScroll) return false;
  int p = leftColumn_;
  Scroll(code, ColumnItem(leftColumn_), p, position, DataAreaWidth, std::max(0, columnCount_ - 1), VisibleColumnCount);
  position = p;
  if (p == leftColumn_) return false;
  leftColumn_ = p;
  grid_->ViewChanged();
  return true;
}

bool TcxPivotGridViewData::ScrollRows(TScrollCode code, int& position) {
  if (code == scEndScroll) return false;
  int p = topRow_;
  Scroll(code, RowItem(topRow_), p, position, DataAreaHeight, std::max(0, rowCount_ - 1), VisibleRowCount);
  position = p;
  if (p == topRow_) return false;
  topRow_ = p;
  grid_->ViewChanged();
  return true;
}

void TcxPivotGridViewData::SetTopRow(int v) {
  v = std::max(0, std::min(v, rowCount_ - 1));
  if (v == topRow_) return;
  topRow_ = v;
  grid_->ViewChanged();
}

void TcxPivotGridViewData::SetLeftColumn(int v) {
  v = std::max(0, std::min(v, columnCount_ - 1));
  if (v == leftColumn_) return;
  leftColumn_ = v;
  grid_->ViewChanged();
}

void TcxPivotGridViewData::PageRows(bool down) { SetTopRow(topRow_ + (down ? VisibleRowCount : -VisibleRowCount)); }

bool TcxPivotGridViewData::MakeSelectionVisible() {
  auto fit = [](int first, int pos, int page) {
    if (pos < first) return pos;
    page = std::max(1, page);
    if (pos - first >= page) first = pos - page + 1;
    return first;
  };
  int top = fit(topRow_, selection_.Top, VisibleRowCount);
  int left = fit(leftColumn_, selection_.Left, VisibleColumnCount);
  if (top == topRow_ && left == leftColumn_) return false;
  topRow_ = top;
  leftColumn_ = left;
  grid_->ViewChanged();
  return true;
}

void TcxPivotGridViewData::Normalize(TRect& r) const {
  auto clamp = [](int v, int count) { return std::max(0, std::min(v, count - 1)); };
  r.Left = clamp(r.Left, columnCount_);
  r.Top = clamp(r.Top, rowCount_);
  if (grid_->OptionsSelection()->MultiSelect()) {
    r.Right = clamp(r.Right, columnCount_);
    r.Bottom = clamp(r.Bottom, rowCount_);
  } else {
    r.Right = r.Left;
    r.Bottom = r.Top;
  }
}

void TcxPivotGridViewData::SetSelection(const TRect& r) {
  if (r.Left == selection_.Left && r.Top == selection_.Top && r.Right == selection_.Right &&
      r.Bottom == selection_.Bottom)
    return;
  selection_ = r;
  Normalize(selection_);
  grid_->SelectionChanged();
}

TRect TcxPivotGridViewData::NormalizedSelection() const {
  return TRect(std::min(selection_.Left, selection_.Right), std::min(selection_.Top, selection_.Bottom),
               std::max(selection_.Left, selection_.Right), std::max(selection_.Top, selection_.Bottom));
}
