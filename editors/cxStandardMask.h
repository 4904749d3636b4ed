// The fixed-position edit mask of the standard mask kind: one mask character per text position,
// a leading "!" for right-to-left fitting and trailing sections for saving literals and the
// blank character. Positions are characters of the UTF-8 text.
#pragma once

#include <memory>
#include <vector>

#include "rtl/System.h"

class TcxStandardMaskCustomItem {
 public:
  virtual ~TcxStandardMaskCustomItem() = default;
  // Whether c may stand at this position; may change c (the case rule of fill positions).
  virtual bool Check(char32_t& c) const = 0;
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
 public:
  explicit TcxStandardMaskLiteralItem(char32_t c) : literal_(c) {}
  bool Check(char32_t& c) const override { return c == literal_; }
  char32_t Literal() const { return literal_; }

 private:
  char32_t literal_;
};

// Case rules of fill positions.
enum : Byte { cxmcUpper = 0, cxmcLower = 1, cxmcUnchanged = 2 };

// A position the user fills.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
 public:
  TcxStandardMaskManyItem(Byte case_rule, bool optional) : caseRule_(case_rule), optional_(optional) {}
  // Decides on c as typed, then applies the case rule (plain ASCII mapping) to it.
  bool Check(char32_t& c) const override;
  Byte CaseRule() const { return caseRule_; }
  bool Optional() const { return optional_; }

 protected:
  virtual bool Accepts(char32_t c) const = 0;

 private:
  Byte caseRule_;
  bool optional_;
};

class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char32_t c) const override;
};

class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char32_t c) const override;
};

class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char32_t) const override { return true; }
};

class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
 public:
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

 protected:
  bool Accepts(char32_t c) const override { return c >= '0' && c <= '9'; }
};

class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
 public:
  explicit TcxStandardMaskNumericSymbolItem(Byte case_rule) : TcxStandardMaskManyItem(case_rule, true) {}

 protected:
  bool Accepts(char32_t c) const override { return (c >= '0' && c <= '9') || c == '+' || c == '-'; }
};

class TcxStandardMask : public TObject {
  KORVAN_CLASS(TcxStandardMask, TObject)

 public:
  TcxStandardMask();
  ~TcxStandardMask() override;

  void SetMask(const String& mask);
  void ClearMask();
  const String& Mask() const { return mask_; }

  Integer Count() const { return Integer(items_.size()); }
  TcxStandardMaskCustomItem* Items(Integer index) const { return items_[size_t(index)].get(); }
  // A literal position (False for a fill position and beyond the items).
  bool IsLiteral(Integer index) const;
  bool IsFill(Integer index) const { return index >= 0 && index < Count() && !IsLiteral(index); }
  char32_t BlankChar() const { return blankChar_; }
  bool RightToLeft() const { return rightToLeft_; }
  bool SaveLiterals() const { return saveLiterals_; }

  // The display text of an empty editor: literals, and the blank character at fill positions.
  String EmptyText() const;
  // The edit value of an empty editor: literals when they are saved, a space per fill position.
  String EmptyValueText() const;
  // Fits the characters of `text` into the positions (from the right with a "!" mask).
  void FitText(String& text, bool use_checked_characters, bool literals_included) const;
  // The edit value of a display text.
  void ValueText(String& text) const;
  // Whether the text fills the mask; adjusts the case of its characters.
  bool IsComplete(String& text) const;

 private:
  char32_t blankChar_ = '_';
  std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> items_;
  bool rightToLeft_ = false;
  bool saveLiterals_ = true;
  String mask_;
};

// The characters of a UTF-8 text and back (mask positions are characters).
std::u32string ToMaskChars(const String& text);
String FromMaskChars(const std::u32string& chars);
