#include "editors/cxStandardMask.h"

#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxStandardMask)

std::u32string ToMaskChars(const String& text) {
  std::u32string chars;
  chars.reserve(text.size());
  for (size_t offset = 0; offset < text.size();) chars.push_back(DecodeUtf8(text, offset));
  return chars;
}

String FromMaskChars(const std::u32string& chars) {
  String text;
  text.reserve(chars.size());
  for (char32_t c : chars) AppendUtf8(text, c);
  return text;
}

namespace {
bool IsAsciiLetter(char32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

bool TcxStandardMaskManyItem::Check(char32_t& c) const {
  bool accepted = Accepts(c);
  if (caseRule_ == cxmcUpper && c >= 'a' && c <= 'z') c -= 32;
  if (caseRule_ == cxmcLower && c >= 'A' && c <= 'Z') c += 32;
  return accepted;
}

bool TcxStandardMaskAlphaItem::Accepts(char32_t c) const { return IsAsciiLetter(c); }

bool TcxStandardMaskAlphaNumericItem::Accepts(char32_t c) const {
  return IsAsciiLetter(c) || (c >= '0' && c <= '9');
}

TcxStandardMask::TcxStandardMask() = default;
TcxStandardMask::~TcxStandardMask() = default;

void TcxStandardMask::ClearMask() {
  mask_.clear();
  rightToLeft_ = false;
  saveLiterals_ = true;
  blankChar_ = '_';
  items_.clear();
}

void TcxStandardMask::SetMask(const String& mask) {
  ClearMask();
  mask_ = mask;
  std::u32string m = ToMaskChars(mask);
  size_t i = 0;
  if (!m.empty() && m[0] == '!') {
    rightToLeft_ = true;
    i = 1;
  }
  Byte case_rule = cxmcUnchanged;
  auto literal = [&](char32_t c) { items_.push_back(std::make_unique<TcxStandardMaskLiteralItem>(c)); };
  for (; i < m.size(); ++i) {
    char32_t c = m[i];
    size_t rest = m.size() - i - 1;
    switch (c) {
      case 'L': case 'l':
        items_.push_back(std::make_unique<TcxStandardMaskAlphaItem>(case_rule, c == 'l'));
        break;
      case 'A': case 'a':
        items_.push_back(std::make_unique<TcxStandardMaskAlphaNumericItem>(case_rule, c == 'a'));
        break;
      case 'C': case 'c':
        items_.push_back(std::make_unique<TcxStandardMaskASCIIItem>(case_rule, c == 'c'));
        break;
      case '0': case '9':
        items_.push_back(std::make_unique<TcxStandardMaskNumericItem>(case_rule, c == '9'));
        break;
      case '#': items_.push_back(std::make_unique<TcxStandardMaskNumericSymbolItem>(case_rule)); break;
      case '>': case_rule = cxmcUpper; break;
      case '<':
        if (rest > 0 && m[i + 1] == '>') {
          case_rule = cxmcUnchanged;
          ++i;
        } else {
          case_rule = cxmcLower;
        }
        break;
      case '\\':
        if (rest > 0) literal(m[++i]);
        break;
      case ':': literal(char32_t(Byte(FormatSettings.TimeSeparator))); break;
      case '/': literal(char32_t(Byte(FormatSettings.DateSeparator))); break;
      case ';':
        if (rest == 3 && (m[i + 1] == '0' || m[i + 1] == '1') && m[i + 2] == ';') {
          saveLiterals_ = m[i + 1] == '1';
          blankChar_ = m[i + 3];
          return;
        }
        if (rest == 1 && (m[i + 1] == '0' || m[i + 1] == '1')) {
          saveLiterals_ = m[i + 1] == '1';
          return;
        }
        literal(c);
        break;
      default: literal(c); break;
    }
  }
}

bool TcxStandardMask::IsLiteral(Integer index) const {
  return index >= 0 && index < Count() &&
         dynamic_cast<const TcxStandardMaskLiteralItem*>(items_[size_t(index)].get()) != nullptr;
}

String TcxStandardMask::EmptyText() const {
  std::u32string chars;
  for (const auto& item : items_) {
    auto* lit = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get());
    chars.push_back(lit ? lit->Literal() : blankChar_);
  }
  return FromMaskChars(chars);
}

String TcxStandardMask::EmptyValueText() const {
  std::u32string chars;
  for (const auto& item : items_) {
    auto* lit = dynamic_cast<const TcxStandardMaskLiteralItem*>(item.get());
    if (!lit)
      chars.push_back(' ');
    else if (saveLiterals_)
      chars.push_back(lit->Literal());
  }
  return FromMaskChars(chars);
}

void TcxStandardMask::FitText(String& text, bool use_checked_characters, bool literals_included) const {
  std::u32string result = ToMaskChars(EmptyText());
  std::u32string source = ToMaskChars(text);
  const Integer count = Count();
  const Integer step = rightToLeft_ ? -1 : 1;
  Integer next = rightToLeft_ ? count - 1 : 0;
  const bool skip_literals = !saveLiterals_ && !literals_included;
  for (size_t k = 0; k < source.size(); ++k) {
    const char32_t original = source[rightToLeft_ ? source.size() - 1 - k : k];
    char32_t c = original;
    for (Integer p = next; p >= 0 && p < count; p += step) {
      if (skip_literals && IsLiteral(p)) continue;
      char32_t checked = c;
      if (items_[size_t(p)]->Check(checked)) {
        result[size_t(p)] = use_checked_characters ? checked : original;
        next = p + step;
        break;
      }
      if ((c == blankChar_ || c == ' ') && !IsLiteral(p)) {
        next = p + step;
        break;
      }
      c = checked;  // the refusing position's case rule carries on
    }
  }
  text = FromMaskChars(result);
}

void TcxStandardMask::ValueText(String& text) const {
  std::u32string chars = ToMaskChars(text);
  std::u32string value;
  const size_t n = std::min(chars.size(), items_.size());
  for (size_t p = 0; p < n; ++p) {
    bool literal = IsLiteral(Integer(p));
    if (literal && !saveLiterals_) continue;
    value.push_back(!literal && chars[p] == blankChar_ ? char32_t(' ') : chars[p]);
  }
  text = FromMaskChars(value);
}

bool TcxStandardMask::IsComplete(String& text) const {
  std::u32string chars = ToMaskChars(text);
  if (chars.size() != items_.size()) return false;
  bool complete = true;
  for (size_t p = 0; p < chars.size(); ++p) {
    auto* many = dynamic_cast<const TcxStandardMaskManyItem*>(items_[p].get());
    char32_t c = chars[p];
    if (items_[p]->Check(c)) {
      chars[p] = c;
      continue;
    }
    if (many && many->Optional() && (chars[p] == blankChar_ || chars[p] == ' ')) continue;
    complete = false;
    break;
  }
  text = FromMaskChars(chars);
  return complete;
}
