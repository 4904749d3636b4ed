#include "data/cxDataSortKeys.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

struct TcxDataSortKeys::Column {
  TcxValueDef* Def = nullptr;
  uint64_t ChangeStamp = 0;
  bool Valid = false;
  bool Ok = false;
  int Width = 1;
  std::vector<uint64_t> Keys;
};

namespace {

enum class Kind { None, Int32, Int16, Word, Bool, Int64, Float, Text };

Kind KindOf(TcxValueTypeClass t) {
  if (t == TcxIntegerValueType::Class()) return Kind::Int32;
  if (t == TcxSmallintValueType::Class()) return Kind::Int16;
  if (t == TcxWordValueType::Class()) return Kind::Word;
  if (t == TcxBooleanValueType::Class()) return Kind::Bool;
  if (t == TcxLargeIntValueType::Class() || t == TcxCurrencyValueType::Class()) return Kind::Int64;
  if (t == TcxFloatValueType::Class() || t == TcxDateTimeValueType::Class()) return Kind::Float;
  if (t == TcxStringValueType::Class() || t == TcxWideStringValueType::Class()) return Kind::Text;
  return Kind::None;
}

// Record buffers are packed: values are copied out, never read through a cast pointer.
template <class T>
T Load(const Byte* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The order of doubles as unsigned integers: -0 equals +0, every NaN is one key above +inf.
// Key 0 (Null) is the bit pattern of a NaN, so no number takes it.
uint64_t FloatKey(double d) {
  if (std::isnan(d)) return ~uint64_t(0);
  if (d == 0) d = 0;
  uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return (b >> 63) != 0 ? ~b : (b | (uint64_t(1) << 63));
}

using Item = std::pair<uint64_t, uint32_t>;  // key, record

// A stable sort of items by key: least significant byte first, skipping bytes that every key
// shares.
void RadixSort(std::vector<Item>& a, std::vector<Item>& t) {
  std::size_t n = a.size();
  if (n < 2) return;
  if (n < 256) {
    std::stable_sort(a.begin(), a.end(), [](const Item& x, const Item& y) { return x.first < y.first; });
    return;
  }
  t.resize(n);
  std::vector<std::size_t> counts(8 * 256, 0);
  for (const Item& it : a) {
    uint64_t k = it.first;
    for (int b = 0; b < 8; ++b) ++counts[std::size_t(b) * 256 + ((k >> (8 * b)) & 255)];
  }
  for (int b = 0; b < 8; ++b) {
    std::size_t* c = &counts[std::size_t(b) * 256];
    int shift = 8 * b;
    if (c[(a[0].first >> shift) & 255] == n) continue;
    std::size_t sum = 0;
    for (int v = 0; v < 256; ++v) {
      std::size_t x = c[v];
      c[v] = sum;
      sum += x;
    }
    for (const Item& it : a) t[c[(it.first >> shift) & 255]++] = it;
    a.swap(t);
  }
}

}  // namespace

TcxDataSortKeys::TcxDataSortKeys() = default;
TcxDataSortKeys::~TcxDataSortKeys() = default;

bool TcxDataSortKeys::CanKey(TcxValueTypeClass type) { return KindOf(type) != Kind::None; }

TcxDataSortKeys::Column* TcxDataSortKeys::ColumnOf(TcxValueDef* def) {
  for (auto& c : columns_)
    if (c->Def == def) return c.get();
  columns_.push_back(std::make_unique<Column>());
  columns_.back()->Def = def;
  return columns_.back().get();
}

namespace {

template <class Encode>
void FillKeys(TcxDataStorage* s, const TcxValueDef* def, std::vector<uint64_t>& keys, Encode encode) {
  std::size_t n = keys.size();
  for (std::size_t r = 0; r < n; ++r) {
    const Byte* b = s->BufferOf(int(r));
    keys[r] = def->IsNullIn(b) ? 0 : encode(def->DataArea(b));
  }
}

}  // namespace

bool TcxDataSortKeys::Prepare(TcxDataStorage* storage, const std::vector<Field>& fields) {
  if (storage != storage_) {
    columns_.clear();
    storage_ = storage;
  }
  fields_.clear();
  descending_.clear();
  width_.clear();
  std::size_t n = std::size_t(storage->RecordsCount());
  for (const Field& f : fields) {
    TcxValueDef* def = f.Def;
    Kind kind = KindOf(def->ValueType());
    if (kind == Kind::None || (kind == Kind::Text && !def->IsPooled())) {
      fields_.clear();
      return false;
    }
    Column* c = ColumnOf(def);
    if (!c->Valid || c->ChangeStamp != storage->ChangeStamp() || c->Keys.size() != n) {
      c->Keys.resize(n);
      c->Ok = true;
      // A column outside the record holds no values: every record reads as Null.
      switch (def->BufferSize() == 0 ? Kind::None : kind) {
        case Kind::Int32:
          FillKeys(storage, def, c->Keys, [](const Byte* p) { return uint64_t(int64_t(Load<int32_t>(p)) + (int64_t(1) << 31) + 1); });
          break;
        case Kind::Int16:
          FillKeys(storage, def, c->Keys, [](const Byte* p) { return uint64_t(int64_t(Load<int16_t>(p)) + 32769); });
          break;
        case Kind::Word:
          FillKeys(storage, def, c->Keys, [](const Byte* p) { return uint64_t(Load<uint16_t>(p)) + 1; });
          break;
        case Kind::Bool:
          FillKeys(storage, def, c->Keys, [](const Byte* p) { return uint64_t(Load<uint8_t>(p) != 0) + 1; });
          break;
        case Kind::Int64: {
          bool smallest = false;
          FillKeys(storage, def, c->Keys, [&smallest](const Byte* p) {
            int64_t v = Load<int64_t>(p);
            if (v == INT64_MIN) smallest = true;
            return uint64_t(v) ^ (uint64_t(1) << 63);
          });
          c->Ok = !smallest;
          break;
        }
        case Kind::Float:
          FillKeys(storage, def, c->Keys, [](const Byte* p) { return FloatKey(Load<double>(p)); });
          break;
        case Kind::Text:
          def->RankPooledTexts();
          FillKeys(storage, def, c->Keys, [](const Byte* p) { return uint64_t(Load<const TcxPooledText*>(p)->Rank); });
          break;
        case Kind::None: std::fill(c->Keys.begin(), c->Keys.end(), 0); break;
      }
      uint64_t top = 0;
      for (uint64_t k : c->Keys) top |= k;
      c->Width = std::max(1, int(std::bit_width(top)));
      c->ChangeStamp = storage->ChangeStamp();
      c->Valid = true;
    }
    if (!c->Ok) {
      fields_.clear();
      return false;
    }
    fields_.push_back(c);
    descending_.push_back(f.Descending);
    width_.push_back(c->Width);
  }
  // Keep the keys of these fields only.
  columns_.erase(std::remove_if(columns_.begin(), columns_.end(),
                                [this](const std::unique_ptr<Column>& c) {
                                  return std::find(fields_.begin(), fields_.end(), c.get()) == fields_.end();
                                }),
                 columns_.end());
  return !fields_.empty();
}

uint64_t TcxDataSortKeys::FieldKey(std::size_t field, int record) const {
  uint64_t k = fields_[field]->Keys[std::size_t(record)];
  if (!descending_[field]) return k;
  int w = width_[field];
  uint64_t mask = w >= 64 ? ~uint64_t(0) : ((uint64_t(1) << w) - 1);
  return mask - k;
}

void TcxDataSortKeys::Sort(std::vector<int>& records) {
  // Ties keep record order: start from the records in index order (a stable sort does the rest).
  if (!std::is_sorted(records.begin(), records.end())) {
    std::vector<uint8_t> present(std::size_t(storage_->RecordsCount()), 0);
    for (int r : records) present[std::size_t(r)] = 1;
    std::size_t i = 0;
    for (std::size_t r = 0; r < present.size(); ++r)
      if (present[r]) records[i++] = int(r);
  }
  // Pack consecutive fields into 64-bit words, the more significant field in the higher bits.
  std::vector<std::vector<std::size_t>> words;
  int used = 64;
  for (std::size_t f = 0; f < fields_.size(); ++f) {
    if (used + width_[f] > 64) {
      words.emplace_back();
      used = 0;
    }
    words.back().push_back(f);
    used += width_[f];
  }
  std::size_t m = records.size();
  std::vector<Item>& items = items_;
  items.resize(m);
  for (std::size_t i = 0; i < m; ++i) items[i].second = uint32_t(records[i]);
  // Least significant word first; each pass is stable.
  for (std::size_t w = words.size(); w-- > 0;) {
    const auto& word = words[w];
    for (Item& it : items) {
      uint64_t k = 0;
      for (std::size_t f : word) {
        uint64_t v = FieldKey(f, int(it.second));
        k = width_[f] >= 64 ? v : ((k << width_[f]) | v);
      }
      it.first = k;
    }
    RadixSort(items, scratch_);
  }
  positionKeys_.resize(m);
  for (std::size_t i = 0; i < m; ++i) {
    records[i] = int(items[i].second);
    positionKeys_[i] = items[i].first;
  }
  // The first word's fields can be compared by position.
  positionLevels_ = words.empty() ? 0 : int(words[0].size());
  levelShift_.assign(std::size_t(positionLevels_), 0);
  int below = 0;
  for (int l = positionLevels_ - 1; l >= 0; --l) {
    levelShift_[std::size_t(l)] = below;
    below += width_[words[0][std::size_t(l)]];
  }
}

int TcxDataSortKeys::Compare(int a, int b, int field) const {
  uint64_t x = fields_[std::size_t(field)]->Keys[std::size_t(a)];
  uint64_t y = fields_[std::size_t(field)]->Keys[std::size_t(b)];
  int c = x < y ? -1 : (x > y ? 1 : 0);
  return descending_[std::size_t(field)] ? -c : c;
}

void TcxDataSortKeys::EndRun() {
  positionKeys_.clear();
  positionLevels_ = 0;
}
