// Cross cells and their summaries: every summary type of every summary field in one pass over
// the cell's records, and the variation against the previous cell.
#include <cfloat>
#include <cmath>
#include <memory>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxCustomPivotGridInternal.h"

// ---- summary ------------------------------------------------------------------------------------------

TcxPivotGridCrossCellSummary::TcxPivotGridCrossCellSummary(TcxPivotGridCrossCell* cell, TcxPivotGridField* field)
    : field_(field), cell_(cell) {
  Clear();
}

void TcxPivotGridCrossCellSummary::Clear() {
  for (auto& v : values_) v = Null();
}

void TcxPivotGridCrossCellSummary::DoCalculateCustomSummary() { field_->DoCalculateCustomSummary(this); }

void TcxPivotGridCrossCellSummary::ConvertValue(Variant& value) {
  if (value.VarType() == varSQLTimeStamp) value = VarFromDateTime(value.AsDateTime());
}

void TcxPivotGridCrossCellSummary::GetRecordValue(int recordIndex, Variant& value) {
  field_->GetRecordValue(recordIndex, value);
}

TcxPivotGridRecords* TcxPivotGridCrossCellSummary::GetRecords() { return cell_->GetRecords(); }

bool TcxPivotGridCrossCellSummary::SummaryNullIgnore() const {
  return cell_->PivotGrid()->OptionsData()->SummaryNullIgnore();
}

bool TcxPivotGridCrossCellSummary::VariationNullIgnore() const {
  return cell_->PivotGrid()->OptionsData()->VariationNullIgnore();
}

void TcxPivotGridCrossCellSummary::GetResultTypes(TVarType& sumType, TVarType& averageType) {
  TcxValueTypeClass c = cell_->PivotGrid()->DataController()->ItemValueTypeClass(field_->Index());
  if (!c || field_->IsCurrencyValueType(c)) {
    sumType = averageType = varCurrency;
    return;
  }
  averageType = varDouble;
  switch (c->VariantTypeCode()) {
    case varSmallint:
    case varInteger:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: sumType = varInteger; break;
    default: sumType = varDouble; break;
  }
}

void TcxPivotGridCrossCellSummary::StoreResult(int slot, TVarType varType, long double x) {
  Variant& v = values_[slot];
  switch (varType) {
    case varInteger:
      if (x > 2147483647.0L || x < -2147483648.0L)
        v = double(x);
      else
        v = int(std::llround(x));
      break;
    case varCurrency:
      if (!std::isfinite(x) || std::fabs(x) >= 922337203685477.0L)
        v = double(x);  // beyond the currency range: kept as a floating value
      else
        v = Currency::FromRaw(Int64(std::llround(x * 10000.0L)));
      break;
    default: v = double(x); break;
  }
}

void TcxPivotGridCrossCellSummary::Start(TAccumulator& a) {
  Clear();
  a = TAccumulator();
  a.Minimum = LDBL_MAX;
  a.Maximum = -LDBL_MAX;
}

void TcxPivotGridCrossCellSummary::AddRaw(TAccumulator& a, const Variant& raw) {
  if (a.First) {
    a.MinValue = raw;
    a.MaxValue = raw;
    a.First = false;
  } else {
    if (CompareVariantValues(a.MinValue, raw) > 0) a.MinValue = raw;
    if (CompareVariantValues(a.MaxValue, raw) < 0) a.MaxValue = raw;
  }
}

void TcxPivotGridCrossCellSummary::Finish(TAccumulator& a) {
  if (a.Count == 0) return;
  long double n = a.Count;
  long double ss = a.SumOfSquares - a.Sum * a.Sum / n;
  long double varP = ss / n;
  values_[stCount] = a.Count;
  if (a.Count <= a.NonNumeric) return;
  TcxPivotGridDataBuilder::TFieldValues& fv = cell_->PivotGrid()->DataBuilder()->FieldValues(field_);
  if (!fv.ResultTypesKnown) {
    GetResultTypes(fv.SumType, fv.AverageType);
    fv.ResultTypesKnown = true;
  }
  TVarType sumType = fv.SumType, averageType = fv.AverageType;
  StoreResult(stSum, sumType, a.Sum);
  if (field_->GroupInterval() != giDefault) {
    values_[stMax] = a.MaxValue;
    values_[stMin] = a.MinValue;
  } else {
    StoreResult(stMax, sumType, a.Maximum);
    StoreResult(stMin, sumType, a.Minimum);
  }
  StoreResult(stAverage, averageType, a.Sum / n);
  StoreResult(stVarianceP, averageType, varP);
  StoreResult(stStdDevP, averageType, std::sqrt(std::max(varP, 0.0L)));
  if (a.Count > 1) {
    long double var = ss / (n - 1);
    StoreResult(stVariance, averageType, var);
    StoreResult(stStdDev, averageType, std::sqrt(std::max(var, 0.0L)));
  }
}

TcxPivotGridCrossCellSummary* TcxPivotGridCrossCellSummary::PreviousSummary(TcxPivotGridCrossCellSummary* s) {
  TcxPivotGridCrossCell* prev = s ? s->cell_->PreviousCell() : nullptr;
  int i = field_->SummaryIndex();
  return prev && i >= 0 && i < prev->SummaryCount() ? prev->Summaries(i) : nullptr;
}

void TcxPivotGridCrossCellSummary::CalculateVariation(TcxPivotGridCrossCellSummary* previous) {
  int k = field_->SummaryType();
  const Variant& own = values_[k];
  bool ignoreNulls = VariationNullIgnore();
  if (field_->SummaryVariation() != svNone && previous) {
    // The previous summary carries the last numeric value at or before it, so a run of empty
    // cells is not walked back once per cell.
    Variant p = ignoreNulls ? previous->lastNumeric_ : previous->values_[k];
    if (!ignoreNulls && !IsNumericOrBcdVariant(p)) p = 0;
    Variant c = own;
    if (!ignoreNulls && !IsNumericOrBcdVariant(c)) c = 0;
    try {
      if (field_->SummaryVariation() == svAbsolute) {
        values_[cxPivotGridVariationSlot] = c - p;
      } else if (p.IsNull() || (IsNumericOrBcdVariant(p) && p.AsDouble() == 0)) {
        values_[cxPivotGridVariationSlot] = Null();
      } else {
        Variant r = (c - p) * Variant(100) / p;
        if (!r.IsNull()) {
          double d = r.AsDouble();
          r = std::isfinite(d) ? Variant(d) : Null();
        }
        values_[cxPivotGridVariationSlot] = r;
      }
    } catch (const Exception&) {
      values_[cxPivotGridVariationSlot] = Null();
    }
  }
  if (IsNumericOrBcdVariant(own) || !previous)
    lastNumeric_ = own;
  else
    lastNumeric_ = previous->lastNumeric_;
}

// ---- cross cell ---------------------------------------------------------------------------------------------

TcxPivotGridCrossCell::TcxPivotGridCrossCell(TcxPivotGridRowItem* row, TcxPivotGridGroupItem* column)
    : columnItem_(column), rowItem_(row) {}

TcxPivotGridCrossCell::~TcxPivotGridCrossCell() { FreeSummaries(); }

void TcxPivotGridCrossCell::FreeSummaries() {
  summaries_.clear();
}

TcxCustomPivotGrid* TcxPivotGridCrossCell::PivotGrid() const { return rowItem_->PivotGrid(); }

template <class F>
void TcxPivotGridCrossCell::ForEachRecord(F&& f) {
  if (!columnItem_->Parent()) {
    rowItem_->ForEachRecord(f);
    return;
  }
  if (!rowItem_->Parent()) {
    columnItem_->ForEachRecord(f);
    return;
  }
  // Walk the records of the smaller item and keep those that the other item holds too.
  TcxPivotGridDataBuilder* b = PivotGrid()->DataBuilder();
  b->EnsureIndex();
  if (rowItem_->recordCount_ <= columnItem_->recordCount_)
    rowItem_->ForEachRecord([&](int r) {
      if (b->ItemContainsRecord(columnItem_, false, r)) f(r);
    });
  else
    columnItem_->ForEachRecord([&](int r) {
      if (b->ItemContainsRecord(rowItem_, true, r)) f(r);
    });
}

TcxPivotGridRecords* TcxPivotGridCrossCell::GetRecords() {
  auto* list = new TcxPivotGridRecords;
  ForEachRecord([&](int r) { list->Add(r); });
  list->Sort();
  return list;
}

TcxPivotGridCrossCell* TcxPivotGridCrossCell::GetCellToTheLeft() {
  TcxPivotGridGroupItem* prev = columnItem_->PreviousItemAtLevel();
  return prev ? rowItem_->ObtainCrossCell(prev) : nullptr;
}

TcxPivotGridCrossCell* TcxPivotGridCrossCell::GetCellAbove() {
  auto* prev = static_cast<TcxPivotGridRowItem*>(rowItem_->PreviousItemAtLevel());
  return prev ? prev->ObtainCrossCell(columnItem_) : nullptr;
}

TcxPivotGridCrossCell* TcxPivotGridCrossCell::FindPreviousCell() {
  return PivotGrid()->OptionsDataField()->Area() == dfaRow ? GetCellAbove() : GetCellToTheLeft();
}

void TcxPivotGridCrossCell::EnsureCalculated() {
  if (calculated_ || calculating_) return;
  if (!PivotGrid()->HasVariationFields()) {
    previousCell_ = nullptr;
    calculating_ = true;
    struct TDone {
      TcxPivotGridCrossCell* cell;
      ~TDone() {
        cell->calculating_ = false;
        cell->calculated_ = true;
      }
    } done{this};
    Calculate();
    return;
  }
  // The chain of previous cells is gathered first and computed from its far end, so that a
  // wide table does not recurse once per column.
  std::vector<TcxPivotGridCrossCell*> chain{this};
  calculating_ = true;
  if (PivotGrid()->HasVariationFields()) {
    for (TcxPivotGridCrossCell* c = this;;) {
      TcxPivotGridCrossCell* prev = c->FindPreviousCell();
      c->previousCell_ = prev;
      if (!prev || prev->calculated_ || prev->calculating_) break;
      prev->calculating_ = true;
      chain.push_back(prev);
      c = prev;
    }
  } else {
    previousCell_ = nullptr;
  }
  struct TDone {
    std::vector<TcxPivotGridCrossCell*>& cells;
    ~TDone() {
      for (auto* c : cells) {
        c->calculating_ = false;
        c->calculated_ = true;
      }
    }
  } done{chain};
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    (*it)->Calculate();
    (*it)->calculated_ = true;
  }
}

void TcxPivotGridCrossCell::StartSummaries() {
  TcxPivotGridFields& fields = PivotGrid()->SummaryFields();
  FreeSummaries();
  accumulators_.resize(std::size_t(fields.Count()));
  values_.clear();
  summaries_.reserve(std::size_t(fields.Count()));
  for (int i = 0; i < fields.Count(); ++i) {
    summaries_.emplace_back(this, fields[i]);
    summaries_.back().Start(accumulators_[std::size_t(i)]);
    values_.push_back(&PivotGrid()->DataBuilder()->FieldValues(fields[i]));
  }
}

void TcxPivotGridCrossCell::StartSummaries(TcxPivotGridCrossCellSummary::TAccumulator* accumulators) {
  TcxPivotGridFields& fields = PivotGrid()->SummaryFields();
  FreeSummaries();
  summaries_.reserve(std::size_t(fields.Count()));
  for (int i = 0; i < fields.Count(); ++i) {
    summaries_.emplace_back(this, fields[i]);
    summaries_.back().Start(accumulators[i]);
  }
}

void TcxPivotGridCrossCell::FinishSummaries() { FinishSummaries(accumulators_.data()); }

void TcxPivotGridCrossCell::FinishSummaries(TcxPivotGridCrossCellSummary::TAccumulator* accumulators) {
  for (std::size_t i = 0; i < summaries_.size(); ++i) summaries_[i].Finish(accumulators[i]);
  std::vector<TcxPivotGridCrossCellSummary::TAccumulator>().swap(accumulators_);
  std::vector<const TcxPivotGridDataBuilder::TFieldValues*>().swap(values_);
  accumulated_ = true;
}

void TcxPivotGridRowItem::AccumulateColumnLevel(int level) {
  TcxPivotGridDataBuilder* b = builder_;
  b->EnsureIndex();
  int n = b->ColumnItemCountAtLevel(level);
  if (n == 0) return;
  TcxPivotGridFields& fields = PivotGrid()->SummaryFields();
  const std::size_t count = std::size_t(fields.Count());
  std::vector<TcxPivotGridCrossCell*> cells(std::size_t(n), nullptr);
  std::vector<Byte> state(std::size_t(n), 0);  // 0 not seen, 1 accumulating, 2 already computed
  // One block of accumulators for all the cells of the level.
  std::vector<TcxPivotGridCrossCellSummary::TAccumulator> acc(std::size_t(n) * count);
  bool nullIgnore = PivotGrid()->OptionsData()->SummaryNullIgnore();
  std::vector<TcxPivotGridDataBuilder::TFieldValues*> values;
  for (std::size_t i = 0; i < count; ++i) values.push_back(&b->PositionedValues(fields[int(i)]));
  const std::vector<int>& serials = b->ColumnSerialsByPosition(level);
  const std::vector<int>& order = b->RowOrder();
  // The first level's pass also fills the row's grand-total column when it is still to do.
  TcxPivotGridCrossCell* total = nullptr;
  std::vector<TcxPivotGridCrossCellSummary::TAccumulator> totalAcc;
  if (level == 0) {
    total = ObtainCrossCell(b->ColumnRoot());
    if (total->calculated_ || total->accumulated_) {
      total = nullptr;
    } else {
      totalAcc.resize(count);
      total->StartSummaries(totalAcc.data());
    }
  }
  // The row's records are one run of the row order, so every array below is read in sequence.
  for (int p = positionBegin_; p < positionEnd_; ++p) {
    if (total)
      for (std::size_t i = 0; i < count; ++i) {
        const TcxPivotGridDataBuilder::TFieldValues& v = *values[i];
        total->summaries_[i].Add(totalAcc[i], v.KindByPosition[std::size_t(p)], v.NumberByPosition[std::size_t(p)],
                                 v.Raw.empty() ? nullptr : &v.Raw[std::size_t(order[std::size_t(p)])], nullIgnore);
      }
    int s = serials[std::size_t(p)];
    if (s < 0) continue;
    if (state[std::size_t(s)] == 0) {
      TcxPivotGridCrossCell* cell = ObtainCrossCell(b->ColumnItemOfRecord(level, order[std::size_t(p)]));
      if (cell->calculated_ || cell->accumulated_) {
        state[std::size_t(s)] = 2;
      } else {
        cell->StartSummaries(&acc[std::size_t(s) * count]);
        cells[std::size_t(s)] = cell;
        state[std::size_t(s)] = 1;
      }
    }
    if (state[std::size_t(s)] != 1) continue;
    TcxPivotGridCrossCell* cell = cells[std::size_t(s)];
    TcxPivotGridCrossCellSummary::TAccumulator* a = &acc[std::size_t(s) * count];
    for (std::size_t i = 0; i < count; ++i) {
      const TcxPivotGridDataBuilder::TFieldValues& v = *values[i];
      cell->summaries_[i].Add(a[i], v.KindByPosition[std::size_t(p)], v.NumberByPosition[std::size_t(p)],
                               v.Raw.empty() ? nullptr : &v.Raw[std::size_t(order[std::size_t(p)])], nullIgnore);
    }
  }
  for (std::size_t s = 0; s < cells.size(); ++s)
    if (cells[s]) cells[s]->FinishSummaries(&acc[s * count]);
  if (total) total->FinishSummaries(totalAcc.data());
  if (int(levelsDone_.size()) <= level) levelsDone_.resize(std::size_t(level) + 1);
  levelsDone_[std::size_t(level)] = true;
}

void TcxPivotGridCrossCell::Calculate() {
  if (!accumulated_) {
    if (columnItem_->Parent()) {
      // The cells of all the columns of this level are accumulated in one pass over the row's
      // records (the grand-total row's run is every record); a column that got no record has
      // an empty cell.
      int level = columnItem_->Level();
      if (!rowItem_->IsColumnLevelAccumulated(level)) rowItem_->AccumulateColumnLevel(level);
      if (!accumulated_) {
        StartSummaries();
        FinishSummaries();
      }
    } else if (rowItem_->Parent()) {
      // A row's grand-total column: the row's run of the row order.
      TcxPivotGridDataBuilder* b = PivotGrid()->DataBuilder();
      b->EnsureIndex();
      StartSummaries();
      bool nullIgnore = PivotGrid()->OptionsData()->SummaryNullIgnore();
      const std::vector<int>& order = b->RowOrder();
      for (std::size_t i = 0; i < summaries_.size(); ++i) {
        const TcxPivotGridDataBuilder::TFieldValues& v = b->PositionedValues(summaries_[i].field_);
        for (int p = rowItem_->positionBegin_; p < rowItem_->positionEnd_; ++p)
          summaries_[i].Add(accumulators_[i], v.KindByPosition[std::size_t(p)], v.NumberByPosition[std::size_t(p)],
                             v.Raw.empty() ? nullptr : &v.Raw[std::size_t(order[std::size_t(p)])], nullIgnore);
      }
      FinishSummaries();
    } else {
      StartSummaries();
      bool nullIgnore = PivotGrid()->OptionsData()->SummaryNullIgnore();
      if (summaries_.size() == 1) {
        TcxPivotGridCrossCellSummary* s = &summaries_[0];
        ForEachRecord([&](int r) { s->Accumulate(accumulators_[0], *values_[0], nullIgnore, r); });
      } else if (!summaries_.empty()) {
        ForEachRecord([&](int r) {
          for (std::size_t i = 0; i < summaries_.size(); ++i)
            summaries_[i].Accumulate(accumulators_[i], *values_[i], nullIgnore, r);
        });
      }
      FinishSummaries();
    }
  }
  accumulated_ = false;
  for (std::size_t i = 0; i < summaries_.size(); ++i) {
    TcxPivotGridCrossCellSummary* s = &summaries_[i];
    if (s->field_->SummaryVariation() != svNone)
      s->CalculateVariation(previousCell_ && i < previousCell_->summaries_.size() ? &previousCell_->summaries_[i] : nullptr);
  }
  for (auto& s : summaries_) s.DoCalculateCustomSummary();
}

void TcxPivotGridCrossCell::GetSummaryValue(TcxPivotGridField* field, TcxPivotGridSummaryType type, Variant& value) {
  int i = field ? field->SummaryIndex() : -1;
  if (i < 0) throw EcxPivotGrid(cxPivotGridResText("Field must be in data area!"));
  EnsureCalculated();
  if (i >= SummaryCount()) {
    value = Null();
    return;
  }
  summaries_[std::size_t(i)].GetValue(type, value);
}

TcxCustomDataSource* TcxPivotGridCrossCell::CreateDataSource() { return new TcxPivotGridCrossCellDataSource(this); }

TcxPivotGridCrossCellDataSource::TcxPivotGridCrossCellDataSource(TcxPivotGridCrossCell* cell)
    : pivotGrid_(cell->PivotGrid()) {
  std::unique_ptr<TcxPivotGridRecords> records(cell->GetRecords());
  records_.List().swap(records->List());
}

Variant TcxPivotGridCrossCellDataSource::GetValue(int recordHandle, int itemHandle) {
  if (recordHandle < 0 || recordHandle >= records_.Count() || itemHandle < 0 || itemHandle >= pivotGrid_->FieldCount())
    return Null();
  TcxPivotGridField* field = pivotGrid_->Fields(itemHandle);
  int record = records_[recordHandle];
  Variant v;
  if (field->GroupInterval() != giDefault) {
    field->GetGroupValue(record, v);
    String text;
    field->GetGroupValueDisplayText(v, text);
    return text;
  }
  field->GetRecordValue(record, v);
  return v;
}
