// The check-states value formats: encoding a list of check marks into one edit value and
// reading it back.
#include <unordered_map>

#include "data/cxVariants.h"
#include "editors/cxCheckBox.h"
#include "rtl/SysUtils.h"

namespace {

void AppendCaptionEntry(String& out, const String& caption) {
  out += IntToStr(Integer(caption.size()));
  out += ':';
  out += caption;
}

// The entries of the grayed items, then ";" and the entries of the checked ones (when any).
template <class Entry>
String EncodeSections(const TcxCheckStates& states, Entry entry) {
  String grayed, checked;
  for (size_t i = 0; i < states.size(); ++i) {
    if (states[i] == cbsGrayed) entry(grayed, Integer(i));
    else if (states[i] == cbsChecked) entry(checked, Integer(i));
  }
  if (!checked.empty()) grayed += ";" + checked;
  return grayed;
}

bool DecodeCaptions(const Variant& value, IcxCheckItemCaptions* items, TcxCheckStates& states) {
  if (value.IsNull()) return true;
  if (!value.IsString()) return false;
  const String& text = value.StrRef();
  const Integer length = Integer(text.size());
  if (length == 0) return true;
  // Pairs keyed by the collation key of the folded caption (equal exactly when the captions
  // compare equal without regard to case); each key keeps its pairs in text order and hands
  // them out first to last, so two items of one caption need two pairs.
  struct TPairs {
    std::vector<TcxCheckBoxState> sections;
    size_t next = 0;
  };
  std::unordered_map<std::string, TPairs> pairs;
  size_t pairCount = 0;
  Integer position = 1;
  bool checkedSection = false;
  for (;;) {
    if (position <= length && text[size_t(position - 1)] == ';' && !checkedSection) {
      checkedSection = true;
      ++position;
    }
    Integer n = 0;
    if (!ParseDecimalNumber(n, position, text)) return false;
    if (position > length || text[size_t(position - 1)] != ':') return false;
    if (Int64(position) + n > length) return false;
    pairs[AnsiTextKey(text.substr(size_t(position), size_t(n)))].sections.push_back(
        checkedSection ? cbsChecked : cbsGrayed);
    ++pairCount;
    position += n + 1;
    if (position == length + 1) break;
  }
  const Integer count = Integer(states.size());
  for (Integer i = 0; i < count && pairCount > 0; ++i) {
    auto it = pairs.find(AnsiTextKey(items->GetCaption(i)));
    if (it == pairs.end() || it->second.next == it->second.sections.size()) continue;
    states[size_t(i)] = it->second.sections[it->second.next++];
    --pairCount;
  }
  return pairCount == 0;
}

bool DecodeIndices(const Variant& value, TcxCheckStates& states) {
  if (value.IsNull()) return true;
  if (!value.IsString()) return false;
  const String& text = value.StrRef();
  const Integer length = Integer(text.size());
  if (length == 0) return true;
  Integer position = 1;
  bool checkedSection = false;
  for (;;) {
    if (text[size_t(position - 1)] == ';' && !checkedSection) {
      checkedSection = true;
      ++position;
    }
    Integer index = 0;
    if (!ParseDecimalNumber(index, position, text)) return false;
    if (index >= Integer(states.size())) return false;
    states[size_t(index)] = checkedSection ? cbsChecked : cbsGrayed;
    if (position <= length && text[size_t(position - 1)] == ',') ++position;
    if (position > length) return true;
  }
}

bool DecodeInteger(const Variant& value, TcxCheckStates& states) {
  const TVarType type = value.VarType() & varTypeMask;
  if (!(value.IsNull() || VarIsNumeric(value) || IsNumericOrBcdVariant(value) || value.IsString() ||
        type == varDate || value.IsEmpty()))
    return false;
  uint64_t bits = 0;
  try {
    if (value.IsNull()) bits = 0;
    else if (value.IsString()) {
      Int64 v = 0;
      if (!TryStrToInt64(value.StrRef(), v)) return false;
      bits = uint64_t(v);
    } else if (type == varDouble || type == varSingle || type == varDate || type == varCurrency) {
      // Out of the 64-bit range (or not finite): refused rather than undefined.
      const double d = value.AsDouble();
      if (!(d > -9.3e18 && d < 9.3e18)) return false;
      bits = uint64_t(value.AsInt64());
    } else {
      bits = uint64_t(value.AsInt64());
    }
  } catch (const Exception&) {
    return false;
  }
  for (size_t i = 0; i < states.size() && i < 64; ++i) {
    states[i] = (bits & 1) ? cbsChecked : cbsUnchecked;
    bits >>= 1;
  }
  return true;
}

bool DecodeStatesString(const Variant& value, TcxCheckStates& states) {
  if (!value.IsNull() && !value.IsString()) return false;
  const String text = value.IsNull() ? String() : value.StrRef();
  const size_t n = std::min(text.size(), states.size());
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '2') return false;
    states[i] = TcxCheckBoxState(c - '0');
  }
  return true;
}

}  // namespace

bool ParseDecimalNumber(Integer& number, Integer& position, const String& text) {
  const Integer length = Integer(text.size());
  if (position < 1 || position > length) return false;
  auto isDigit = [&](Integer p) { return text[size_t(p - 1)] >= '0' && text[size_t(p - 1)] <= '9'; };
  if (!isDigit(position)) return false;
  Integer value = 0;
  while (position <= length && isDigit(position)) {
    const Integer digit = text[size_t(position - 1)] - '0';
    if (value > 214748364 || (value == 214748364 && digit > 7)) return false;
    value = value * 10 + digit;
    ++position;
  }
  number = value;
  return true;
}

Variant EncodeCheckStates(const TcxCheckStates& states, IcxCheckItemCaptions* items,
                          TcxCheckStatesValueFormat format) {
  switch (format) {
    case cvfCaptions:
      return Variant(EncodeSections(states, [items](String& out, Integer i) {
        AppendCaptionEntry(out, items->GetCaption(i));
      }));
    case cvfIndices:
      return Variant(EncodeSections(states, [](String& out, Integer i) {
        if (!out.empty()) out += ',';
        out += IntToStr(i);
      }));
    case cvfInteger: {
      uint64_t bits = 0;
      for (size_t i = 0; i < states.size() && i < 64; ++i)
        if (states[i] == cbsChecked) bits |= uint64_t(1) << i;
      return Variant(Int64(bits));
    }
    case cvfStatesString: {
      String s(states.size(), '0');
      for (size_t i = 0; i < states.size(); ++i) s[i] = char('0' + Integer(states[i]));
      return Variant(s);
    }
  }
  return Null();
}

bool DecodeCheckStates(const Variant& value, IcxCheckItemCaptions* items,
                       TcxCheckStatesValueFormat format, TcxCheckStates& states) {
  const Integer count = items ? std::max<Integer>(items->GetCount(), 0) : 0;
  states.assign(size_t(count), cbsUnchecked);
  bool ok = false;
  try {
    switch (format) {
      case cvfCaptions: ok = DecodeCaptions(value, items, states); break;
      case cvfIndices: ok = DecodeIndices(value, states); break;
      case cvfInteger: ok = DecodeInteger(value, states); break;
      case cvfStatesString: ok = DecodeStatesString(value, states); break;
    }
  } catch (const Exception&) {
    ok = false;
  }
  if (!ok) states.assign(size_t(count), cbsUnchecked);
  return ok;
}
