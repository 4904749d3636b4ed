#include "vcl/FormText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "rtl/SysUtils.h"
#include "vcl/Consts.h"

namespace {

String LineError(const String& what, Integer line) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " on line %d", int(line));
  return what + buf;
}

enum class Tok { End, Ident, String, Integer, Float, Symbol };

class Parser {
 public:
  explicit Parser(const String& text) : s_(text) { Next(); }

  TFormObject ParseObject() {
    TFormObject obj;
    obj.Line = line_;
    if (!IsIdent("object") && !IsIdent("inherited") && !IsIdent("inline"))
      Fail("'object' expected");
    obj.Keyword = Lower(text_);
    Next();
    String first = ExpectIdent();
    if (IsSymbol(':')) {
      Next();
      obj.Name = first;
      obj.ClassName = ExpectIdent();
    } else {
      obj.ClassName = first;
    }
    if (IsSymbol('[')) {  // creation order index of inherited children: accepted and ignored
      Next();
      if (tok_ != Tok::Integer) Fail(vcl_consts::SNumberExpected);
      Next();
      ExpectSymbol(']');
    }
    for (;;) {
      if (tok_ == Tok::End) Fail(vcl_consts::SUnexpectedEnd);
      if (IsIdent("end")) { Next(); break; }
      if (IsIdent("object") || IsIdent("inherited") || IsIdent("inline")) {
        obj.Children.push_back(ParseObject());
        continue;
      }
      obj.Properties.push_back(ParseProperty());
    }
    return obj;
  }

  void ExpectEnd() {
    if (tok_ != Tok::End) Fail("End of file expected");
  }

 private:
  TFormProperty ParseProperty() {
    TFormProperty p;
    p.Line = line_;
    p.Name = ExpectIdent();
    while (IsSymbol('.')) {
      Next();
      p.Name += "." + ExpectIdent();
    }
    ExpectSymbol('=');
    p.Value = ParseValue();
    return p;
  }

  TFormValue ParseValue() {
    TFormValue v;
    v.Line = line_;
    switch (tok_) {
      case Tok::End:
        Fail(vcl_consts::SUnexpectedEnd);
      case Tok::Integer:
        v.Kind = TFormValueKind::Integer;
        v.IntValue = int_;
        Next();
        return v;
      case Tok::Float:
        v.Kind = TFormValueKind::Float;
        v.FloatValue = float_;
        Next();
        return v;
      case Tok::String: {
        v.Kind = TFormValueKind::String;
        v.Text = text_;
        Next();
        while (IsSymbol('+')) {
          Next();
          if (tok_ != Tok::String) Fail(vcl_consts::SStringExpected);
          v.Text += text_;
          Next();
        }
        return v;
      }
      case Tok::Ident: {
        v.Kind = TFormValueKind::Ident;
        v.Text = text_;
        Next();
        while (IsSymbol('.')) {
          Next();
          v.Text += "." + ExpectIdent();
        }
        return v;
      }
      case Tok::Symbol:
        break;
    }
    if (IsSymbol('-') || IsSymbol('+')) {  // a sign separated from its number
      bool neg = IsSymbol('-');
      Next();
      if (tok_ == Tok::Integer) { v.Kind = TFormValueKind::Integer; v.IntValue = neg ? -int_ : int_; }
      else if (tok_ == Tok::Float) { v.Kind = TFormValueKind::Float; v.FloatValue = neg ? -float_ : float_; }
      else Fail(vcl_consts::SNumberExpected);
      Next();
      return v;
    }
    if (IsSymbol('[')) {
      v.Kind = TFormValueKind::Set;
      Next();
      if (!IsSymbol(']')) {
        for (;;) {
          v.SetItems.push_back(ExpectIdent());
          if (IsSymbol(']')) break;
          ExpectSymbol(',');
        }
      }
      Next();
      return v;
    }
    if (IsSymbol('(')) {
      v.Kind = TFormValueKind::List;
      Next();
      while (!IsSymbol(')')) v.Items.push_back(ParseValue());
      Next();
      return v;
    }
    if (IsSymbol('<')) {
      v.Kind = TFormValueKind::Collection;
      Next();
      while (!IsSymbol('>')) {
        if (!IsIdent("item")) Fail("'item' expected");
        TFormCollectionItem item;
        item.Line = line_;
        Next();
        if (IsSymbol('[')) {  // explicit item index: accepted and ignored
          Next();
          Next();
          ExpectSymbol(']');
        }
        while (!IsIdent("end")) {
          if (tok_ == Tok::End) Fail(vcl_consts::SUnexpectedEnd);
          item.Properties.push_back(ParseProperty());
        }
        Next();
        v.CollectionItems.push_back(std::move(item));
      }
      Next();
      return v;
    }
    if (IsSymbol('{')) {
      v.Kind = TFormValueKind::Binary;
      v.Text = ReadBinary();
      Next();
      return v;
    }
    Fail(vcl_consts::SInvalidPropertyValue);
  }

  // Reads hex digits up to '}' directly from the text (the scanner stands on '{').
  String ReadBinary() {
    String bytes;
    int half = -1;
    for (;;) {
      if (pos_ >= s_.size()) Fail(vcl_consts::SUnexpectedEnd);
      char c = s_[pos_++];
      if (c == '}') break;
      if (c == '\n') { ++line_; continue; }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else Fail(vcl_consts::SInvalidBinary);
      if (half < 0) half = d;
      else { bytes += char(half * 16 + d); half = -1; }
    }
    if (half >= 0) Fail(vcl_consts::SInvalidBinary);
    return bytes;
  }

  [[noreturn]] void Fail(const String& what) { throw EParserError(LineError(what, line_)); }

  static String Lower(const String& s) {
    String r = s;
    for (char& c : r) if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
  }
  bool IsIdent(const char* word) const { return tok_ == Tok::Ident && Lower(text_) == word; }
  bool IsSymbol(char c) const { return tok_ == Tok::Symbol && sym_ == c; }
  String ExpectIdent() {
    if (tok_ != Tok::Ident) Fail(tok_ == Tok::End ? vcl_consts::SUnexpectedEnd : vcl_consts::SIdentifierExpected);
    String r = text_;
    Next();
    return r;
  }
  void ExpectSymbol(char c) {
    if (tok_ == Tok::End) Fail(vcl_consts::SUnexpectedEnd);
    if (!IsSymbol(c)) Fail(String("'") + c + "' expected");
    Next();
  }

  void SkipBlanks() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') { ++line_; ++pos_; }
      else if (c == ' ' || c == '\t' || c == '\r') ++pos_;
      else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
        while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
      } else break;
    }
  }

  void Next() {
    SkipBlanks();
    text_.clear();
    if (pos_ >= s_.size()) { tok_ = Tok::End; return; }
    char c = s_[pos_];
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t b = pos_;
      while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
      text_ = s_.substr(b, pos_ - b);
      tok_ = Tok::Ident;
      return;
    }
    if (c == '\'' || c == '#') { ScanString(); return; }
    if (c == '$') {
      ++pos_;
      size_t b = pos_;
      while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
      if (b == pos_) Fail(vcl_consts::SNumberExpected);
      int_ = Int64(std::strtoull(s_.substr(b, pos_ - b).c_str(), nullptr, 16));
      tok_ = Tok::Integer;
      return;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) ||
        (c == '-' && pos_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])))) {
      size_t b = pos_;
      if (c == '-') ++pos_;
      bool isFloat = false;
      while (pos_ < s_.size()) {
        char d = s_[pos_];
        if (std::isdigit(static_cast<unsigned char>(d))) ++pos_;
        else if (d == '.' && pos_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_ + 1]))) { isFloat = true; ++pos_; }
        else if ((d == 'e' || d == 'E') && pos_ + 1 < s_.size() &&
                 (std::isdigit(static_cast<unsigned char>(s_[pos_ + 1])) || s_[pos_ + 1] == '+' || s_[pos_ + 1] == '-')) {
          isFloat = true;
          pos_ += 2;
        } else break;
      }
      String num = s_.substr(b, pos_ - b);
      // Float suffixes of the format: s (single), c (currency), d (date).
      if (pos_ < s_.size() && (s_[pos_] == 's' || s_[pos_] == 'c' || s_[pos_] == 'd' || s_[pos_] == 'S' ||
                               s_[pos_] == 'C' || s_[pos_] == 'D')) {
        isFloat = true;
        ++pos_;
      }
      if (isFloat) { float_ = std::strtod(num.c_str(), nullptr); tok_ = Tok::Float; }
      else { int_ = std::strtoll(num.c_str(), nullptr, 10); tok_ = Tok::Integer; }
      return;
    }
    sym_ = c;
    tok_ = Tok::Symbol;
    ++pos_;
  }

  void ScanString() {
    String out;
    uint32_t pendingHigh = 0;
    auto flushHigh = [&]() {
      if (pendingHigh) { AppendUtf8(out, 0xFFFD); pendingHigh = 0; }
    };
    for (;;) {
      if (pos_ >= s_.size()) break;
      char c = s_[pos_];
      if (c == '\'') {
        flushHigh();
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') Fail(vcl_consts::SInvalidString);
          if (s_[pos_] == '\'') {
            if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') { out += '\''; pos_ += 2; continue; }
            ++pos_;
            break;
          }
          out += s_[pos_++];
        }
      } else if (c == '#') {
        ++pos_;
        uint32_t code = 0;
        size_t b = pos_;
        if (pos_ < s_.size() && s_[pos_] == '$') {
          ++pos_;
          b = pos_;
          while (pos_ < s_.size() && std::isxdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
          code = uint32_t(std::strtoul(s_.substr(b, pos_ - b).c_str(), nullptr, 16));
        } else {
          while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) ++pos_;
          code = uint32_t(std::strtoul(s_.substr(b, pos_ - b).c_str(), nullptr, 10));
        }
        if (b == pos_ || code > 0x10FFFF) Fail(vcl_consts::SInvalidString);
        if (code >= 0xD800 && code < 0xDC00) {
          flushHigh();
          pendingHigh = code;
        } else if (code >= 0xDC00 && code < 0xE000 && pendingHigh) {
          AppendUtf8(out, 0x10000 + ((pendingHigh - 0xD800) << 10) + (code - 0xDC00));
          pendingHigh = 0;
        } else {
          flushHigh();
          AppendUtf8(out, code);
        }
      } else {
        break;
      }
    }
    flushHigh();
    text_ = out;
    tok_ = Tok::String;
  }

  const String& s_;
  size_t pos_ = 0;
  Integer line_ = 1;
  Tok tok_ = Tok::End;
  String text_;
  Int64 int_ = 0;
  double float_ = 0;
  char sym_ = 0;
};

// Decodes one UTF-8 sequence at s[i]; advances i. Invalid bytes come back as themselves.
uint32_t DecodeUtf8(const String& s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  if (n <= 0 || i + n >= s.size()) { ++i; return c; }
  uint32_t cp = c & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) { ++i; return c; }
    cp = (cp << 6) | (d & 0x3F);
  }
  i += size_t(n) + 1;
  return cp;
}

void PrintValue(String& out, const TFormValue& v, int indent);

void PrintProperties(String& out, const std::vector<TFormProperty>& props, int indent) {
  for (const TFormProperty& p : props) {
    out.append(size_t(indent), ' ');
    out += p.Name + " = ";
    PrintValue(out, p.Value, indent);
    out += "\n";
  }
}

String FormatFloatValue(double d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", d);
  String s = buf;
  // A whole number still has to read back as a float.
  if (s.find_first_of(".eEn") == String::npos) s += ".0";
  return s;
}

void PrintValue(String& out, const TFormValue& v, int indent) {
  switch (v.Kind) {
    case TFormValueKind::Integer: out += std::to_string(v.IntValue); break;
    case TFormValueKind::Float: out += FormatFloatValue(v.FloatValue); break;
    case TFormValueKind::String: out += QuoteFormString(v.Text); break;
    case TFormValueKind::Ident: out += v.Text; break;
    case TFormValueKind::Set: {
      out += "[";
      for (size_t i = 0; i < v.SetItems.size(); ++i) out += (i ? ", " : "") + v.SetItems[i];
      out += "]";
      break;
    }
    case TFormValueKind::List: {
      out += "(";
      for (const TFormValue& item : v.Items) {
        out += "\n";
        out.append(size_t(indent + 2), ' ');
        PrintValue(out, item, indent + 2);
      }
      out += ")";
      break;
    }
    case TFormValueKind::Binary: {
      static const char* hex = "0123456789ABCDEF";
      out += "{";
      for (size_t i = 0; i < v.Text.size(); ++i) {
        if (i % 32 == 0) { out += "\n"; out.append(size_t(indent + 2), ' '); }
        unsigned char b = static_cast<unsigned char>(v.Text[i]);
        out += hex[b >> 4];
        out += hex[b & 15];
      }
      out += "}";
      break;
    }
    case TFormValueKind::Collection: {
      out += "<";
      for (const TFormCollectionItem& item : v.CollectionItems) {
        out += "\n";
        out.append(size_t(indent + 2), ' ');
        out += "item\n";
        PrintProperties(out, item.Properties, indent + 4);
        out.append(size_t(indent + 2), ' ');
        out += "end";
      }
      out += ">";
      break;
    }
  }
}

void PrintObject(String& out, const TFormObject& o, int indent) {
  out.append(size_t(indent), ' ');
  out += o.Keyword + " ";
  if (!o.Name.empty()) out += o.Name + ": ";
  out += o.ClassName + "\n";
  PrintProperties(out, o.Properties, indent + 2);
  for (const TFormObject& c : o.Children) PrintObject(out, c, indent + 2);
  out.append(size_t(indent), ' ');
  out += "end\n";
}

}  // namespace

const TFormProperty* TFormObject::FindProperty(const String& name) const {
  for (const TFormProperty& p : Properties)
    if (p.Name == name) return &p;
  return nullptr;
}

TFormObject ParseFormText(const String& text) {
  Parser p(text);
  TFormObject root = p.ParseObject();
  p.ExpectEnd();
  return root;
}

String QuoteFormString(const String& s) {
  if (s.empty()) return "''";
  String out;
  bool inQuote = false;
  size_t i = 0;
  while (i < s.size()) {
    uint32_t cp = DecodeUtf8(s, i);
    if (cp >= 32 && cp < 127) {
      if (!inQuote) { out += '\''; inQuote = true; }
      if (cp == '\'') out += "''";
      else out += char(cp);
    } else {
      if (inQuote) { out += '\''; inQuote = false; }
      if (cp >= 0x10000) {
        uint32_t v = cp - 0x10000;
        out += "#" + std::to_string(0xD800 + (v >> 10)) + "#" + std::to_string(0xDC00 + (v & 0x3FF));
      } else {
        out += "#" + std::to_string(cp);
      }
    }
  }
  if (inQuote) out += '\'';
  return out;
}

String FormObjectToText(const TFormObject& root) {
  String out;
  PrintObject(out, root, 0);
  return out;
}
