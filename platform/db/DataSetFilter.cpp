// The data set's filter text: comparisons of fields with values joined by AND, OR and NOT,
// IS [NOT] NULL and LIKE, as filter texts are written by the data controller.
//
//   expr     := term { OR term }
//   term     := factor { AND factor }
//   factor   := NOT factor | "(" expr ")" | operand [ op operand | IS [NOT] NULL | [NOT] LIKE operand
//               | [NOT] BETWEEN operand AND operand | [NOT] IN "(" operand { "," operand } ")" ]
//   op       := = | <> | < | <= | > | >=
//   operand  := name | [name with blanks] | 'text' ('' for a quote) | number | NULL | TRUE | FALSE
//
// A comparison with a null field value is false, except "= NULL" and "IS NULL". A text value
// that ends with "*" matches by prefix unless foNoPartialCompare is set.
#include <cctype>
#include <cstring>

#include "db/DB.h"
#include "rtl/SysUtils.h"

namespace {

struct TToken {
  enum Kind { End, Name, Text, Number, LParen, RParen, Comma, Op, Word } kind = End;
  String text;
};

class TLexer {
 public:
  explicit TLexer(const String& s) : s_(s) {}
  TToken Next() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    TToken t;
    if (i_ >= s_.size()) return t;
    char c = s_[i_];
    if (c == '(') { ++i_; t.kind = TToken::LParen; return t; }
    if (c == ')') { ++i_; t.kind = TToken::RParen; return t; }
    if (c == ',') { ++i_; t.kind = TToken::Comma; return t; }
    if (c == '\'' || c == '"') {
      char q = c;
      ++i_;
      t.kind = TToken::Text;
      for (;;) {
        if (i_ >= s_.size()) throw EDatabaseError("Unterminated string in the filter: " + s_);
        if (s_[i_] == q) {
          if (i_ + 1 < s_.size() && s_[i_ + 1] == q) { t.text += q; i_ += 2; continue; }
          ++i_;
          break;
        }
        t.text += s_[i_++];
      }
      return t;
    }
    if (c == '[') {
      std::size_t e = s_.find(']', i_);
      if (e == String::npos) throw EDatabaseError("Missing ']' in the filter: " + s_);
      t.kind = TToken::Name;
      t.text = s_.substr(i_ + 1, e - i_ - 1);
      i_ = e + 1;
      return t;
    }
    if (c == '<' || c == '>' || c == '=') {
      t.kind = TToken::Op;
      t.text = c;
      ++i_;
      if (i_ < s_.size() && (s_[i_] == '=' || (c == '<' && s_[i_] == '>'))) t.text += s_[i_++];
      return t;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.') {
      std::size_t st = i_++;
      while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.' || s_[i_] == 'e' ||
                                s_[i_] == 'E'))
        ++i_;
      t.kind = TToken::Number;
      t.text = s_.substr(st, i_ - st);
      return t;
    }
    std::size_t st = i_;
    while (i_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[i_])) && std::strchr("()<>='\",[", s_[i_]) == nullptr)
      ++i_;
    if (st == i_) throw EDatabaseError("Unexpected character in the filter: " + s_);
    t.text = s_.substr(st, i_ - st);
    String up = UpperCase(t.text);
    t.kind = (up == "AND" || up == "OR" || up == "NOT" || up == "IS" || up == "NULL" || up == "LIKE" ||
              up == "TRUE" || up == "FALSE" || up == "BETWEEN" || up == "IN")
                 ? TToken::Word
                 : TToken::Name;
    if (t.kind == TToken::Word) t.text = up;
    return t;
  }

 private:
  const String& s_;
  std::size_t i_ = 0;
};

}  // namespace

// A parsed filter: a tree evaluated against the record being filtered.
struct TDataSet::TFilterExpr {
  enum Kind { And, Or, Not, Compare, IsNull, IsNotNull, Like, Between, In, Const } kind = Const;
  std::vector<std::shared_ptr<TFilterExpr>> kids;
  // Operands: a field name or a literal; BETWEEN and IN keep theirs in the lists.
  String leftName, rightName;
  Variant left, right;
  String op;
  std::vector<String> listNames;
  std::vector<Variant> listValues;
};

namespace {

using TExprPtr = std::shared_ptr<TDataSet::TFilterExpr>;

class TParser {
 public:
  explicit TParser(const String& s) : lex_(s), text_(s) { tok_ = lex_.Next(); }

  TExprPtr Parse() {
    TExprPtr e = Expr();
    if (tok_.kind != TToken::End) Fail();
    return e;
  }

 private:
  using E = TDataSet::TFilterExpr;
  [[noreturn]] void Fail() { throw EDatabaseError("Invalid filter text: " + text_); }
  void Take() { tok_ = lex_.Next(); }
  bool IsWord(const char* w) const { return tok_.kind == TToken::Word && tok_.text == w; }

  TExprPtr Expr() {
    TExprPtr l = Term();
    while (IsWord("OR")) {
      Take();
      auto e = std::make_shared<E>();
      e->kind = E::Or;
      e->kids = {l, Term()};
      l = e;
    }
    return l;
  }
  TExprPtr Term() {
    TExprPtr l = Factor();
    while (IsWord("AND")) {
      Take();
      auto e = std::make_shared<E>();
      e->kind = E::And;
      e->kids = {l, Factor()};
      l = e;
    }
    return l;
  }
  void Operand(String& name, Variant& value) {
    switch (tok_.kind) {
      case TToken::Name: name = tok_.text; break;
      case TToken::Text: value = tok_.text; break;
      case TToken::Number: {
        double d;
        Int64 i;
        if (TryStrToInt64(tok_.text, i)) value = i;
        else if (TryStrToFloat(tok_.text, d, TFormatSettings::EnglishUS())) value = d;
        else Fail();
        break;
      }
      case TToken::Word:
        if (tok_.text == "NULL") value = Null();
        else if (tok_.text == "TRUE") value = true;
        else if (tok_.text == "FALSE") value = false;
        else Fail();
        break;
      default:
        Fail();
    }
    Take();
  }
  TExprPtr Factor() {
    if (IsWord("NOT")) {
      Take();
      auto e = std::make_shared<E>();
      e->kind = E::Not;
      e->kids = {Factor()};
      return e;
    }
    if (tok_.kind == TToken::LParen) {
      Take();
      TExprPtr e = Expr();
      if (tok_.kind != TToken::RParen) Fail();
      Take();
      return e;
    }
    auto e = std::make_shared<E>();
    Operand(e->leftName, e->left);
    if (tok_.kind == TToken::Op) {
      e->kind = E::Compare;
      e->op = tok_.text;
      Take();
      Operand(e->rightName, e->right);
    } else if (IsWord("IS")) {
      Take();
      e->kind = E::IsNull;
      if (IsWord("NOT")) {
        Take();
        e->kind = E::IsNotNull;
      }
      if (!IsWord("NULL")) Fail();
      Take();
    } else if (IsWord("LIKE") || IsWord("NOT") || IsWord("BETWEEN") || IsWord("IN")) {
      bool negate = IsWord("NOT");
      if (negate) Take();
      auto item = [&] {
        e->listNames.emplace_back();
        e->listValues.emplace_back();
        Operand(e->listNames.back(), e->listValues.back());
      };
      if (IsWord("LIKE")) {
        Take();
        e->kind = E::Like;
        Operand(e->rightName, e->right);
      } else if (IsWord("BETWEEN")) {
        Take();
        e->kind = E::Between;
        item();
        if (!IsWord("AND")) Fail();
        Take();
        item();
      } else if (IsWord("IN")) {
        Take();
        e->kind = E::In;
        if (tok_.kind != TToken::LParen) Fail();
        Take();
        item();
        while (tok_.kind == TToken::Comma) {
          Take();
          item();
        }
        if (tok_.kind != TToken::RParen) Fail();
        Take();
      } else {
        Fail();
      }
      if (negate) {
        auto n = std::make_shared<E>();
        n->kind = E::Not;
        n->kids = {e};
        return n;
      }
    } else {
      // A lone operand: a Boolean field or constant.
      e->kind = E::Const;
    }
    return e;
  }

  TLexer lex_;
  const String& text_;
  TToken tok_;
};

std::size_t NextChar(const String& s, std::size_t i) {
  ++i;
  while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  return i;
}

// LIKE with % (any run) and _ (one character); whole UTF-8 characters. Greedy with a single
// restart point, so that no pattern takes more than length of text times length of pattern.
bool LikeMatch(const String& s, const String& p) {
  std::size_t si = 0, pi = 0, star = String::npos, resume = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '%') {
      star = ++pi;
      resume = si;
      continue;
    }
    if (pi < p.size() && p[pi] == '_') {
      si = NextChar(s, si);
      ++pi;
      continue;
    }
    if (pi < p.size() && p[pi] == s[si]) {
      ++si;
      ++pi;
      continue;
    }
    if (star == String::npos) return false;
    pi = star;
    resume = NextChar(s, resume);
    si = resume;
  }
  while (pi < p.size() && p[pi] == '%') ++pi;
  return pi == p.size();
}

}  // namespace

void TDataSet::SetFilter(const String& text) {
  std::shared_ptr<TFilterExpr> expr;
  if (!Trim(text).empty()) expr = TParser(text).Parse();
  if (Active() && filtered_) CheckBrowseMode();
  filterText_ = text;
  filterExpr_ = expr;
  if (Active() && filtered_) {
    FilterChanged();
    First();
  }
}

bool TDataSet::RecordAccepted(TRecordBuffer& buf) {
  if (!filtered_) return true;
  if (!OnFilterRecord && !filterExpr_) return true;
  TRecordBuffer* oldTemp = tempBuffer_;
  TDataSetState oldState = state_;
  tempBuffer_ = &buf;
  state_ = dsFilter;
  bool accept = true;
  try {
    if (calcFieldCount_ > 0 && buf.CalcValues.empty()) {
      state_ = oldState;
      CalculateFields(buf);
      state_ = dsFilter;
    }
    if (filterExpr_) accept = EvaluateFilterText(buf);
    if (accept && OnFilterRecord) OnFilterRecord(this, accept);
  } catch (...) {
    state_ = oldState;
    tempBuffer_ = oldTemp;
    throw;
  }
  state_ = oldState;
  tempBuffer_ = oldTemp;
  return accept;
}

bool TDataSet::EvaluateFilterText(TRecordBuffer&) {
  const bool caseless = filterOptions_.Contains(foCaseInsensitive);
  const bool partial = !filterOptions_.Contains(foNoPartialCompare);
  // Orders two non-null values into c (-1, 0, 1); false when either is null or they do not
  // compare (c is then 2 for values that are merely unequal).
  auto compare = [&](const Variant& a, const Variant& b, bool equality, int& c) -> bool {
    c = 2;
    if (VarIsNull(a) || VarIsNull(b)) return false;
    if (VarIsStr(a) && VarIsStr(b)) {
      String x = a.StrRef(), y = b.StrRef();
      if (equality && partial && !y.empty() && y.back() == '*') {
        y.pop_back();
        if (x.size() > y.size()) x.resize(y.size());
      }
      int r = caseless ? AnsiCompareText(x, y) : CompareStr(x, y);
      c = r < 0 ? -1 : (r > 0 ? 1 : 0);
      return true;
    }
    try {
      TVariantRelationship r = VarCompareValue(a, b);
      if (r == vrNotEqual) return false;
      c = r == vrEqual ? 0 : (r == vrLessThan ? -1 : 1);
      return true;
    } catch (const EVariantError&) {
      return false;
    }
  };
  std::function<bool(const TFilterExpr&)> eval = [&](const TFilterExpr& e) -> bool {
    auto value = [&](const String& name, const Variant& literal) {
      return name.empty() ? literal : FieldByName(name)->Value();
    };
    switch (e.kind) {
      case TFilterExpr::And: return eval(*e.kids[0]) && eval(*e.kids[1]);
      case TFilterExpr::Or: return eval(*e.kids[0]) || eval(*e.kids[1]);
      case TFilterExpr::Not: return !eval(*e.kids[0]);
      case TFilterExpr::IsNull: return VarIsNull(value(e.leftName, e.left));
      case TFilterExpr::IsNotNull: return !VarIsNull(value(e.leftName, e.left));
      case TFilterExpr::Const: {
        Variant v = value(e.leftName, e.left);
        return !VarIsNull(v) && v.AsBoolean();
      }
      case TFilterExpr::Like: {
        Variant a = value(e.leftName, e.left), b = value(e.rightName, e.right);
        if (VarIsNull(a) || VarIsNull(b)) return false;
        String s = VarToStr(a), p = VarToStr(b);
        if (caseless) {
          s = AnsiUpperCase(s);
          p = AnsiUpperCase(p);
        }
        return LikeMatch(s, p);
      }
      case TFilterExpr::Compare: {
        Variant a = value(e.leftName, e.left), b = value(e.rightName, e.right);
        bool an = VarIsNull(a), bn = VarIsNull(b);
        if (an || bn) {
          // Only a comparison with the word NULL tests for null; a null value fails the rest.
          bool literal = (e.leftName.empty() && VarIsNull(e.left)) || (e.rightName.empty() && VarIsNull(e.right));
          if (!literal) return false;
          if (e.op == "=") return an && bn;
          if (e.op == "<>") return an != bn;
          return false;
        }
        int c;
        if (!compare(a, b, e.op == "=", c)) return e.op == "<>" && c == 2;
        if (e.op == "=") return c == 0;
        if (e.op == "<>") return c != 0;
        if (e.op == "<") return c < 0;
        if (e.op == "<=") return c <= 0;
        if (e.op == ">") return c > 0;
        return c >= 0;
      }
      case TFilterExpr::Between: {
        Variant v = value(e.leftName, e.left);
        Variant lo = value(e.listNames[0], e.listValues[0]), hi = value(e.listNames[1], e.listValues[1]);
        int c1, c2;
        return compare(v, lo, false, c1) && c1 >= 0 && compare(v, hi, false, c2) && c2 <= 0;
      }
      case TFilterExpr::In: {
        Variant v = value(e.leftName, e.left);
        for (std::size_t i = 0; i < e.listValues.size(); ++i) {
          int c;
          if (compare(v, value(e.listNames[i], e.listValues[i]), true, c) && c == 0) return true;
        }
        return false;
      }
    }
    return true;
  };
  return eval(*filterExpr_);
}
