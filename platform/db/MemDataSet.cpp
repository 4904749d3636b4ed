#include "db/MemDataSet.h"

#include <algorithm>
#include <charconv>

#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"

KORVAN_IMPLEMENT_CLASS(TMemDataSet)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TMemQuery) {
  p.Object("Params", &TMemQuery::Params, nullptr, TParams::StaticClass());
  p.Str("SQL", &TMemQuery::SQL, &TMemQuery::SetSQL);
}

namespace {
TMemColumnKind KindOf(TFieldType t) {
  switch (t) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint: case ftBoolean:
      return TMemColumnKind::Int;
    case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd: case ftDate: case ftTime: case ftDateTime:
    case ftTimeStamp:
      return TMemColumnKind::Float;
    case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftFmtMemo: case ftBlob:
    case ftGraphic: case ftBytes: case ftVarBytes: case ftGuid: case ftOraClob: case ftOraBlob:
    case ftTypedBinary:
      return TMemColumnKind::Text;
    default:
      return TMemColumnKind::Other;
  }
}
}  // namespace

TMemDataSet::TMemDataSet(TComponent* owner) : TDataSet(owner) {}
TMemDataSet::~TMemDataSet() {
  // Closing while being destroyed calls no user handlers.
  Destroying();
  try {
    Close();
  } catch (...) {
  }
}

void TMemDataSet::AddFieldDef(const String& name, TFieldType type, Integer size, bool required) {
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
  for (const TColumnDef& d : defs_)
    if (AnsiSameText(d.Name, name)) DatabaseError("Duplicate field name '" + name + "'", this);
  (void)required;
  EmptyDataSet();
  defs_.push_back({name, type, size});
  columns_.emplace_back(KindOf(type));
  others_.emplace_back();
}

void TMemDataSet::ClearFieldDefs() {
  if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
  defs_.clear();
  columns_.clear();
  others_.clear();
  EmptyDataSet();
}

void TMemDataSet::EmptyDataSet() {
  for (TMemColumn& c : columns_) c.Clear();
  for (auto& o : others_) o.clear();
  ids_.clear();
  idsIdentity_ = true;
  rows_ = 0;
  view_.clear();
  idIndex_.clear();
  idIndexValid_ = false;
  idsAscending_ = true;
  if (Active()) {
    cursor_ = -1;
    First();
  }
}

void TMemDataSet::AppendRow(const std::vector<Variant>& values) {
  if (Active() && State() != dsBrowse) DatabaseError("Dataset not in browse mode", this);
  std::size_t row = rows_;
  InsertRow(row);
  for (std::size_t c = 0; c < columns_.size() && c < values.size(); ++c)
    if (!VarIsEmpty(values[c]) && !VarIsNull(values[c])) WriteCell(row, c, values[c]);
  if (filtering_) RebuildView();
}

void TMemDataSet::LoadColumns(std::vector<TColumnDef> defs, std::vector<TMemColumn> columns, std::size_t rows) {
  defs_ = std::move(defs);
  columns_ = std::move(columns);
  others_.assign(defs_.size(), {});
  for (std::size_t c = 0; c < defs_.size(); ++c)
    if (columns_[c].Kind() == TMemColumnKind::Other) others_[c].assign(rows, Null());
  ids_.clear();
  idsIdentity_ = true;
  rows_ = rows;
  nextId_ = Int64(rows);
  idsAscending_ = true;
  idIndexValid_ = false;
  view_.clear();
}

void TMemDataSet::InsertRow(std::size_t row) {
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    TMemColumn& col = columns_[c];
    if (row == col.Count()) col.AppendNull();
    else col.InsertNull(row);
    if (col.Kind() == TMemColumnKind::Other) others_[c].insert(others_[c].begin() + std::ptrdiff_t(row), Null());
  }
  if (row != rows_) idsAscending_ = false;
  if (idsIdentity_ && row == rows_ && nextId_ == Int64(rows_)) {
    ++nextId_;
  } else {
    KeepIds();
    ids_.insert(ids_.begin() + std::ptrdiff_t(row), nextId_++);
  }
  ++rows_;
  idIndexValid_ = false;
}

// ---------------------------------------------------------------------------------------------
// Rows, ids and the filtered view

Integer TMemDataSet::RowOfId(Int64 id) const {
  if (id < 0) return -1;
  if (idsIdentity_) return std::size_t(id) < rows_ ? Integer(id) : -1;
  if (std::size_t(id) < ids_.size() && ids_[std::size_t(id)] == id) return Integer(id);
  if (idsAscending_) {
    auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    return it != ids_.end() && *it == id ? Integer(it - ids_.begin()) : -1;
  }
  if (!idIndexValid_) {
    idIndex_.clear();
    for (std::size_t i = 0; i < ids_.size(); ++i) idIndex_[ids_[i]] = Integer(i);
    idIndexValid_ = true;
  }
  auto it = idIndex_.find(id);
  return it == idIndex_.end() ? -1 : it->second;
}

void TMemDataSet::KeepIds() {
  if (!idsIdentity_) return;
  ids_.resize(rows_);
  for (std::size_t i = 0; i < rows_; ++i) ids_[i] = Int64(i);
  idsIdentity_ = false;
}

Integer TMemDataSet::ViewCount() const { return filtering_ ? Integer(view_.size()) : Integer(rows_); }

std::size_t TMemDataSet::ViewRow(Integer pos) const { return filtering_ ? view_[std::size_t(pos)] : std::size_t(pos); }

Integer TMemDataSet::ViewPosOfRow(std::size_t row) const {
  if (!filtering_) return Integer(row);
  auto it = std::lower_bound(view_.begin(), view_.end(), row);
  return it != view_.end() && *it == row ? Integer(it - view_.begin()) : -1;
}

void TMemDataSet::RebuildView() {
  filtering_ = Filtered() && (OnFilterRecord || !Filter().empty());
  view_.clear();
  if (!filtering_) return;
  TRecordBuffer buf;
  for (std::size_t r = 0; r < rows_; ++r) {
    buf.Pos = IdOfRow(r);
    buf.CalcValues.clear();
    if (RecordAccepted(buf)) view_.push_back(r);
  }
}

void TMemDataSet::FilterChanged() {
  RebuildView();
  cursor_ = -1;
}

// ---------------------------------------------------------------------------------------------
// Cells

Variant TMemDataSet::ReadCell(std::size_t row, std::size_t col) const {
  const TMemColumn& c = columns_[col];
  if (c.IsNull(row)) return Null();
  switch (c.Kind()) {
    case TMemColumnKind::Int: {
      int64_t v = c.Int(row);
      switch (defs_[col].Type) {
        case ftBoolean: return Variant(v != 0);
        case ftSmallint: return Variant(int16_t(v));
        case ftWord: return Variant(uint16_t(v));
        case ftLargeint: return Variant(Int64(v));
        default: return Variant(int32_t(v));
      }
    }
    case TMemColumnKind::Float: {
      double v = c.Float(row);
      switch (defs_[col].Type) {
        case ftDate: case ftTime: case ftDateTime: case ftTimeStamp: return VarFromDateTime(v);
        case ftBCD: return Variant(Currency(v));
        default: return Variant(v);
      }
    }
    case TMemColumnKind::Text:
      return Variant(String(c.Text(row)));
    case TMemColumnKind::Other:
      return others_[col][row];
  }
  return Null();
}

void TMemDataSet::WriteCell(std::size_t row, std::size_t col, const Variant& value) {
  TMemColumn& c = columns_[col];
  if (VarIsNull(value) || VarIsEmpty(value)) {
    c.SetNull(row);
    if (c.Kind() == TMemColumnKind::Other) others_[col][row] = Null();
    return;
  }
  switch (c.Kind()) {
    case TMemColumnKind::Int:
      c.SetInt(row, defs_[col].Type == ftBoolean ? (value.AsBoolean() ? 1 : 0) : value.AsInt64());
      break;
    case TMemColumnKind::Float:
      c.SetFloat(row, VarType(value) == varDate ? value.AsDateTime() : value.AsDouble());
      break;
    case TMemColumnKind::Text:
      c.SetText(row, VarToStr(value));
      break;
    case TMemColumnKind::Other:
      c.SetOther(row);
      others_[col][row] = value;
      break;
  }
}

Variant TMemDataSet::GetStoredValue(const TRecordBuffer& buf, Integer fieldNo) const {
  Integer row = RowOfId(buf.Pos);
  std::size_t col = std::size_t(fieldNo - 1);
  if (row < 0 || col >= columns_.size()) return Null();
  return ReadCell(std::size_t(row), col);
}

bool TMemDataSet::GetStoredCell(const TRecordBuffer& buf, Integer fieldNo, TStoredCell& cell) const {
  Integer row = RowOfId(buf.Pos);
  std::size_t col = std::size_t(fieldNo - 1);
  if (row < 0 || col >= columns_.size()) return false;
  const TMemColumn& c = columns_[col];
  if (c.IsNull(std::size_t(row))) {
    cell.Kind = TStoredCell::Null;
    return true;
  }
  switch (c.Kind()) {
    case TMemColumnKind::Int:
      cell.Kind = TStoredCell::Int;
      cell.IntValue = c.Int(std::size_t(row));
      return true;
    case TMemColumnKind::Float:
      cell.Kind = TStoredCell::Float;
      cell.FloatValue = c.Float(std::size_t(row));
      return true;
    case TMemColumnKind::Text:
      cell.Kind = TStoredCell::Text;
      cell.TextValue = c.Text(std::size_t(row));
      return true;
    case TMemColumnKind::Other: break;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// The cursor

void TMemDataSet::InternalOpen() {
  for (const TColumnDef& d : defs_) FieldDefs()->Add(d.Name, d.Type, d.Size);
  cursorOpen_ = true;
  filtering_ = false;
  cursor_ = -1;
}

void TMemDataSet::InternalClose() {
  cursorOpen_ = false;
  filtering_ = false;
  view_.clear();
  cursor_ = -1;
}

TGetResult TMemDataSet::GetRecord(TRecordBuffer& buf, TGetMode mode) {
  Integer count = ViewCount();
  switch (mode) {
    case gmNext:
      if (cursor_ >= count - 1) {
        cursor_ = count;
        return grEOF;
      }
      ++cursor_;
      break;
    case gmPrior:
      if (cursor_ <= 0) {
        cursor_ = -1;
        return grBOF;
      }
      if (cursor_ > count) cursor_ = count;
      --cursor_;
      break;
    case gmCurrent:
      if (cursor_ < 0 || cursor_ >= count) return grError;
      break;
  }
  buf.Pos = IdOfRow(ViewRow(cursor_));
  return grOK;
}

void TMemDataSet::InternalSetToRecord(const TRecordBuffer& buf) {
  Integer row = RowOfId(buf.Pos);
  if (row < 0) return;
  Integer pos = ViewPosOfRow(std::size_t(row));
  if (pos >= 0) cursor_ = pos;
}

// A bookmark is the record's id in decimal digits; it stays valid across inserts and deletes
// of other records.
TBookmarkStr TMemDataSet::GetBookmarkStr(const TRecordBuffer& buf) const { return std::to_string(buf.Pos); }

bool TMemDataSet::ParseBookmark(const TBookmarkStr& bookmark, Int64& id) const {
  if (bookmark.empty()) return false;
  auto r = std::from_chars(bookmark.data(), bookmark.data() + bookmark.size(), id);
  return r.ec == std::errc() && r.ptr == bookmark.data() + bookmark.size();
}

bool TMemDataSet::BookmarkValid(const TBookmarkStr& bookmark) const {
  Int64 id;
  if (!Active() || !ParseBookmark(bookmark, id)) return false;
  Integer row = RowOfId(id);
  return row >= 0 && ViewPosOfRow(std::size_t(row)) >= 0;
}

Integer TMemDataSet::CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const {
  if (a.empty() || b.empty()) return a.empty() ? (b.empty() ? 0 : -1) : 1;
  Int64 ia, ib;
  if (!ParseBookmark(a, ia) || !ParseBookmark(b, ib)) return TDataSet::CompareBookmarks(a, b);
  Integer ra = RowOfId(ia), rb = RowOfId(ib);
  return ra < rb ? -1 : (ra == rb ? 0 : 1);
}

void TMemDataSet::InternalGotoBookmark(const TBookmarkStr& bookmark) {
  Int64 id;
  Integer row = ParseBookmark(bookmark, id) ? RowOfId(id) : -1;
  Integer pos = row >= 0 ? ViewPosOfRow(std::size_t(row)) : -1;
  if (pos < 0) DatabaseError("Record not found", this);
  cursor_ = pos;
}

Integer TMemDataSet::RecordCount() const { return Active() ? ViewCount() : 0; }

Integer TMemDataSet::RecNo() const {
  if (!Active() || State() == dsInsert) return 0;
  TRecordBuffer* buf = ReadBuffer();
  if (buf == nullptr) return 0;
  Integer row = RowOfId(buf->Pos);
  Integer pos = row >= 0 ? ViewPosOfRow(std::size_t(row)) : -1;
  return pos + 1;
}

void TMemDataSet::SetRecNo(Integer value) {
  CheckBrowseMode();
  Integer count = ViewCount();
  if (count == 0) return;
  value = std::clamp(value, 1, count);
  if (value == RecNo()) return;
  if (BeforeScroll) BeforeScroll(this);
  cursor_ = value - 1;
  Resync(true, false);
  if (AfterScroll) AfterScroll(this);
}

// ---------------------------------------------------------------------------------------------
// Editing

void TMemDataSet::InternalPost() {
  TRecordBuffer* buf = ActiveBuffer();
  std::size_t row;
  if (State() == dsEdit) {
    Integer r = RowOfId(buf->Pos);
    if (r < 0) DatabaseError("Record not found", this);
    row = std::size_t(r);
  } else {
    // An inserted record goes before the record it was inserted at; appended at the end.
    Integer before = buf->Flag == bfEOF ? -1 : RowOfId(buf->Pos);
    row = before < 0 ? rows_ : std::size_t(before);
    InsertRow(row);
    buf->Pos = IdOfRow(row);
  }
  for (std::size_t c = 0; c < columns_.size() && c < buf->Values.size(); ++c) WriteCell(row, c, buf->Values[c]);
  if (filtering_) RebuildView();
  Integer pos = ViewPosOfRow(row);
  if (pos >= 0) cursor_ = pos;
  else cursor_ = std::min(cursor_, ViewCount() - 1);
}

void TMemDataSet::InternalDelete() {
  TRecordBuffer* buf = ActiveBuffer();
  Integer r = RowOfId(buf->Pos);
  if (r < 0) DatabaseError("Record not found", this);
  std::size_t row = std::size_t(r);
  Integer pos = ViewPosOfRow(row);
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    columns_[c].Erase(row);
    if (columns_[c].Kind() == TMemColumnKind::Other) others_[c].erase(others_[c].begin() + std::ptrdiff_t(row));
  }
  KeepIds();
  ids_.erase(ids_.begin() + std::ptrdiff_t(row));
  --rows_;
  idIndexValid_ = false;
  if (filtering_) RebuildView();
  Integer count = ViewCount();
  cursor_ = pos < 0 ? std::min(cursor_, count - 1) : std::min(pos, count - 1);
}

// ---------------------------------------------------------------------------------------------
// Searching without moving through the records one by one

Integer TMemDataSet::FindRow(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  std::vector<TField*> list;
  GetFieldList(list, keyFields);
  for (TField* f : list)
    if (f->FieldNo() <= 0) return -2;  // calculated fields: the base walks the records
  std::vector<Variant> wanted;
  if (list.size() == 1 && !VarIsArray(keyValues)) {
    wanted.push_back(keyValues);
  } else {
    Integer lo = VarArrayLowBound(keyValues, 1);
    for (std::size_t i = 0; i < list.size(); ++i) wanted.push_back(keyValues.GetElement(lo + Integer(i)));
  }
  const bool caseless = options.Contains(loCaseInsensitive);
  const bool partial = options.Contains(loPartialKey);
  Integer count = ViewCount();
  for (Integer pos = 0; pos < count; ++pos) {
    std::size_t row = ViewRow(pos);
    bool ok = true;
    for (std::size_t i = 0; i < list.size() && ok; ++i) {
      Variant have = ReadCell(row, std::size_t(list[i]->FieldNo() - 1));
      const Variant& want = wanted[i];
      bool wantNull = VarIsNull(want) || VarIsEmpty(want);
      if (wantNull || VarIsNull(have)) {
        ok = wantNull && VarIsNull(have);
        continue;
      }
      if (VarIsStr(have) || VarIsStr(want)) {
        String a = VarToStr(have), b = VarToStr(want);
        if (partial && a.size() > b.size()) a.resize(b.size());
        ok = caseless ? AnsiSameText(a, b) : a == b;
      } else {
        try {
          ok = VarCompareValue(have, want) == vrEqual;
        } catch (const EVariantError&) {
          ok = false;
        }
      }
    }
    if (ok) return pos;
  }
  return -1;
}

bool TMemDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  Integer pos = FindRow(keyFields, keyValues, options);
  if (pos == -2) return TDataSet::Locate(keyFields, keyValues, options);
  if (pos < 0) return false;
  if (BeforeScroll) BeforeScroll(this);
  cursor_ = pos;
  Resync(true, true);
  if (AfterScroll) AfterScroll(this);
  return true;
}

Variant TMemDataSet::Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  CheckActive();
  Integer pos = FindRow(keyFields, keyValues, {});
  if (pos == -2) return TDataSet::Lookup(keyFields, keyValues, resultFields);
  if (pos < 0) return Null();
  std::vector<TField*> list;
  GetFieldList(list, resultFields);
  std::size_t row = ViewRow(pos);
  std::vector<Variant> values;
  for (TField* f : list) values.push_back(f->FieldNo() > 0 ? ReadCell(row, std::size_t(f->FieldNo() - 1)) : Null());
  return values.size() == 1 ? values[0] : VarArrayOf(values);
}

TMemQuery::TMemQuery(TComponent* owner) : TMemDataSet(owner), params_(std::make_unique<TParams>()) {}
