// The regular-expression dialect of the mask edits: the compiler that turns an expression text
// into a tree of parser items (reporting every error with its line and column), and the state
// automaton that matches one typed character at a time, steps back for deletions and types the
// literals that the expression forces. Characters are Unicode code points of the UTF-8 text.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "editors/cxEdit.h"
#include "rtl/Classes.h"

// ---- lexems and errors ---------------------------------------------------------------------

enum : Byte {
  cxlkLiteral = 0, cxlkOperator = 1, cxlkInteger = 2, cxlkAny = 3, cxlkIdLetter = 4,
  cxlkNotIdLetter = 5, cxlkDigit = 6, cxlkNotDigit = 7, cxlkSpace = 8, cxlkNotSpace = 9,
  cxlkReference = 10, cxlkDateSeparator = 11, cxlkTimeSeparator = 12
};

struct TcxLexem {
  Integer Char = 0;  // column of the lexem's first character
  Byte Kind = cxlkLiteral;
  Integer Line = 0;
  String Text;  // one character, except for numbers
};

class TcxLexems {
 public:
  void Add(const TcxLexem& lexem) { items_.push_back(lexem); }
  Integer Count() const { return Integer(items_.size()); }
  const TcxLexem& Item(Integer index) const { return items_[size_t(index)]; }
  void Clear() { items_.clear(); }

 private:
  std::vector<TcxLexem> items_;
};

class TcxRegExprError {
 public:
  TcxRegExprError(Integer line, Integer chr, const String& message)
      : Char(chr), Line(line), Message(message) {}
  // "Line<n>, Char<m>: " (the parts that are above 0) followed by the message.
  String ErrorText() const;

  Integer Char;
  Integer Line;
  String Message;
};

class TcxRegExprErrors {
 public:
  void Add(Integer line, Integer chr, const String& message) { items_.emplace_back(line, chr, message); }
  Integer Count() const { return Integer(items_.size()); }
  const TcxRegExprError& Item(Integer index) const { return items_[size_t(index)]; }
  void Clear() { items_.clear(); }

 private:
  std::vector<TcxRegExprError> items_;
};

// Raised by a compilation that failed. It carries a copy of the expression's error list (so a
// handler may read it after the expression is gone); its own message is empty.
class EcxRegExprError : public EcxEditError {
 public:
  explicit EcxRegExprError(const TcxRegExprErrors& errors) : EcxEditError(String()), errors_(errors) {}
  const TcxRegExprErrors& Errors() const { return errors_; }

 private:
  TcxRegExprErrors errors_;
};

// Bounds of what an expression may ask for, so that no expression exhausts memory or the stack:
// the count of a parameter quantifier, and the number of items (characters and groups, copies
// made by parameter quantifiers and back references included) of the whole expression.
constexpr Integer cxRegExprMaxRepetitionCount = 255;
constexpr Integer cxRegExprMaxItemCount = 1024;

// ---- symbol classes --------------------------------------------------------------------------

class TcxRegExprItem : public TObject {
 public:
  // Whether c belongs to the class; may replace c (case-insensitive symbols).
  virtual bool Matches(char32_t& c, bool case_insensitive) const = 0;
  virtual std::unique_ptr<TcxRegExprItem> Duplicate() const = 0;
  // The one character a literal class stands for now (a symbol, or a separator as the locale
  // has it at this moment); False for every other class.
  virtual bool LiteralChar(char32_t&) const { return false; }
};

class TcxRegExprSymbol : public TcxRegExprItem {
 public:
  explicit TcxRegExprSymbol(char32_t c) : char_(c) {}
  bool Matches(char32_t& c, bool case_insensitive) const override;
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
  bool LiteralChar(char32_t& c) const override { c = char_; return true; }

 private:
  char32_t char_;
};

class TcxRegExprTimeSeparator : public TcxRegExprItem {
 public:
  bool Matches(char32_t& c, bool) const override;
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
  bool LiteralChar(char32_t& c) const override;
};

class TcxRegExprDateSeparator : public TcxRegExprItem {
 public:
  bool Matches(char32_t& c, bool) const override;
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
  bool LiteralChar(char32_t& c) const override;
};

class TcxRegExprSubrange : public TcxRegExprItem {
 public:
  TcxRegExprSubrange(char32_t first, char32_t last) : first_(first), last_(last) {}
  bool Matches(char32_t& c, bool) const override { return first_ <= c && c <= last_; }
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;

 private:
  char32_t first_, last_;
};

class TcxRegExprEnumeration : public TcxRegExprItem {
 public:
  explicit TcxRegExprEnumeration(bool inverse) : inverse_(inverse) {}
  bool Inverse() const { return inverse_; }
  void SetInverse(bool value) { inverse_ = value; }

 protected:
  bool inverse_;
};

class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
 public:
  explicit TcxRegExprUserEnumeration(bool inverse = false) : TcxRegExprEnumeration(inverse) {}
  void Add(std::unique_ptr<TcxRegExprItem> item) { items_.push_back(std::move(item)); }
  Integer Count() const { return Integer(items_.size()); }
  bool Matches(char32_t& c, bool case_insensitive) const override;
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;

 private:
  std::vector<std::unique_ptr<TcxRegExprItem>> items_;
};

class TcxRegExprDigit : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& c, bool) const override { return (c >= '0' && c <= '9') != inverse_; }
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
};

class TcxRegExprIdLetter : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& c, bool) const override;
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
};

class TcxRegExprSpace : public TcxRegExprEnumeration {
 public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  bool Matches(char32_t& c, bool) const override;
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
};

class TcxRegExprAll : public TcxRegExprItem {
 public:
  bool Matches(char32_t&, bool) const override { return true; }
  std::unique_ptr<TcxRegExprItem> Duplicate() const override;
};

// Characters 0, 9, 10, 12, 13 and 32: what the dialect skips and "\s" matches.
bool IsRegExprSpace(char32_t c);

// ---- quantifiers -------------------------------------------------------------------------------

class TcxRegExprQuantifier : public TObject {
 public:
  virtual bool AllowsAbsence() const = 0;
  virtual bool AllowsRepetition() const = 0;
  virtual std::unique_ptr<TcxRegExprQuantifier> Duplicate() const = 0;
  virtual String DumpText() const = 0;
};

class TcxRegExprSimpleQuantifier : public TcxRegExprQuantifier {
 public:
  bool AllowsAbsence() const override { return false; }
  bool AllowsRepetition() const override { return false; }
  std::unique_ptr<TcxRegExprQuantifier> Duplicate() const override;
  String DumpText() const override { return String(); }
};

class TcxRegExprQuestionQuantifier : public TcxRegExprQuantifier {
 public:
  bool AllowsAbsence() const override { return true; }
  bool AllowsRepetition() const override { return false; }
  std::unique_ptr<TcxRegExprQuantifier> Duplicate() const override;
  String DumpText() const override { return "?"; }
};

class TcxRegExprStarQuantifier : public TcxRegExprQuantifier {
 public:
  bool AllowsAbsence() const override { return true; }
  bool AllowsRepetition() const override { return true; }
  std::unique_ptr<TcxRegExprQuantifier> Duplicate() const override;
  String DumpText() const override { return "*"; }
};

class TcxRegExprPlusQuantifier : public TcxRegExprQuantifier {
 public:
  bool AllowsAbsence() const override { return false; }
  bool AllowsRepetition() const override { return true; }
  std::unique_ptr<TcxRegExprQuantifier> Duplicate() const override;
  String DumpText() const override { return "+"; }
};

// ---- automaton states ------------------------------------------------------------------------

class TcxRegExprState;

// A set of states (a plain list; members may repeat, answers depend only on membership).
class TcxRegExprStates {
 public:
  void Add(TcxRegExprState* state) { items_.push_back(state); }
  void AddAll(const TcxRegExprStates& states);
  Integer Count() const { return Integer(items_.size()); }
  TcxRegExprState* Item(Integer index) const { return items_[size_t(index)]; }
  bool operator==(const TcxRegExprStates& other) const { return items_ == other.items_; }

  // The states that the successors of the members enter with c (c may be replaced by a
  // case-insensitive symbol; later classes see the replacement).
  TcxRegExprStates StepAll(char32_t& c, bool case_insensitive) const;
  // The simple states one of which the next character must enter.
  TcxRegExprStates Candidates() const;
  bool ContainsFinal() const;
  // True when every member is a literal of one and the same character, returned in c.
  bool SingleLiteral(char32_t& c) const;

 private:
  std::vector<TcxRegExprState*> items_;
};

class TcxRegExprState : public TObject {
 public:
  void AddNext(TcxRegExprState* state) { next_.push_back(state); }
  const std::vector<TcxRegExprState*>& Next() const { return next_; }

  // The states reached from this one by c, appended to `out`; the walk is `epoch`, so that a
  // state met twice in one walk is asked once (empty-step paths would otherwise multiply).
  virtual void StepOn(char32_t& c, bool case_insensitive, TcxRegExprStates& out, unsigned long epoch);
  virtual std::unique_ptr<TcxRegExprState> Duplicate() const = 0;
  // The simple states standing for this one once empty steps are followed.
  virtual void Expanded(TcxRegExprStates& out, unsigned long epoch);

 protected:
  bool Visit(unsigned long epoch) {
    if (mark_ == epoch) return false;
    mark_ = epoch;
    return true;
  }

 private:
  std::vector<TcxRegExprState*> next_;
  unsigned long mark_ = 0;
};

class TcxRegExprSimpleState : public TcxRegExprState {
 public:
  explicit TcxRegExprSimpleState(std::unique_ptr<TcxRegExprItem> item) : item_(std::move(item)) {}
  void StepOn(char32_t& c, bool case_insensitive, TcxRegExprStates& out, unsigned long epoch) override;
  std::unique_ptr<TcxRegExprState> Duplicate() const override;
  void Expanded(TcxRegExprStates& out, unsigned long epoch) override;
  TcxRegExprItem* Item() const { return item_.get(); }
  bool Final() const { return final_; }
  void SetFinal(bool value) { final_ = value; }

 private:
  std::unique_ptr<TcxRegExprItem> item_;
  bool final_ = false;
};

class TcxRegExprBlockState : public TcxRegExprState {
 public:
  void StepOn(char32_t& c, bool case_insensitive, TcxRegExprStates& out, unsigned long epoch) override;
  std::unique_ptr<TcxRegExprState> Duplicate() const override;
  void Expanded(TcxRegExprStates& out, unsigned long epoch) override;
};

// ---- parser items ------------------------------------------------------------------------------

class TcxRegExprParserItem : public TObject {
 public:
  explicit TcxRegExprParserItem(std::unique_ptr<TcxRegExprQuantifier> quantifier = nullptr);
  virtual bool MatchesEmpty() const = 0;
  virtual std::unique_ptr<TcxRegExprParserItem> Duplicate() const = 0;
  virtual String DumpText() const = 0;
  virtual void MarkFinal() = 0;
  // The state the item is entered by and left from (its simple state, or a group's block
  // states), for linking.
  virtual TcxRegExprState* EntryState() const = 0;
  virtual TcxRegExprState* ExitState() const = 0;
  // The items of the subtree, this one included (the expression's size bound counts them).
  virtual Integer ItemCount() const { return 1; }

  bool AllowsAbsence() const { return quantifier_->AllowsAbsence(); }
  bool AllowsRepetition() const { return quantifier_->AllowsRepetition(); }
  bool HasQuantifier() const;
  void ReplaceQuantifier(std::unique_ptr<TcxRegExprQuantifier> quantifier);
  const TcxRegExprQuantifier* Quantifier() const { return quantifier_.get(); }

 private:
  std::unique_ptr<TcxRegExprQuantifier> quantifier_;
};

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
 public:
  explicit TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> item,
                                      std::unique_ptr<TcxRegExprQuantifier> quantifier = nullptr);
  bool MatchesEmpty() const override { return AllowsAbsence(); }
  std::unique_ptr<TcxRegExprParserItem> Duplicate() const override;
  String DumpText() const override;
  void MarkFinal() override { state_->SetFinal(true); }
  TcxRegExprState* EntryState() const override { return state_.get(); }
  TcxRegExprState* ExitState() const override { return state_.get(); }
  TcxRegExprSimpleState* State() const { return state_.get(); }

 private:
  std::unique_ptr<TcxRegExprSimpleState> state_;
};

class TcxRegExprParserAlt {
 public:
  std::vector<std::unique_ptr<TcxRegExprParserItem>> Items;
  String DumpText() const;
  bool OnlySkippable() const;
  // Marks the final states going backwards, stopping after the first item that is not
  // skippable.
  void MarkFinal();
};

class TcxRegExprParserAlts {
 public:
  std::vector<std::unique_ptr<TcxRegExprParserAlt>> Items;
  String DumpText() const;
};

class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
 public:
  explicit TcxRegExprParserBlockItem(std::unique_ptr<TcxRegExprQuantifier> quantifier = nullptr);
  bool MatchesEmpty() const override;
  std::unique_ptr<TcxRegExprParserItem> Duplicate() const override;
  String DumpText() const override;
  void MarkFinal() override;
  TcxRegExprState* EntryState() const override { return entry_.get(); }
  TcxRegExprState* ExitState() const override { return exit_.get(); }
  Integer ItemCount() const override;
  TcxRegExprParserAlts& Alts() { return alts_; }
  const TcxRegExprParserAlts& Alts() const { return alts_; }

 private:
  TcxRegExprParserAlts alts_;
  std::unique_ptr<TcxRegExprBlockState> entry_, exit_;
};

// ---- the automaton -------------------------------------------------------------------------

class TcxRegExpr;

class TcxRegExprAutomat : public TObject {
  KORVAN_CLASS(TcxRegExprAutomat, TObject)

 public:
  // Links the tree, marks its final states and starts at the start state.
  TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> alts, TcxRegExpr* owner);
  ~TcxRegExprAutomat() override;

  bool Advance(char32_t& c, bool case_insensitive);
  bool StepBack();
  void Restart();
  bool IsFinal() const { return current_.ContainsFinal(); }
  bool AtStart() const;
  // The number of steps taken since the start (accepted characters and typed literals).
  Integer Depth() const { return Integer(history_.size()); }
  TcxRegExprStates Candidates() const { return current_.Candidates(); }
  void InsertForcedLiterals();
  void RemoveForcedLiterals();
  // The tree as a diagnostic text.
  String DumpText() const { return alts_->DumpText(); }

 private:
  TcxRegExprStates current_;
  std::unique_ptr<TcxRegExprParserAlts> alts_;
  std::vector<TcxRegExprStates> history_;
  TcxRegExpr* owner_;
  std::unique_ptr<TcxRegExprSimpleState> start_;
};

// ---- the expression ------------------------------------------------------------------------

class TcxRegExpr : public TObject {
  KORVAN_CLASS(TcxRegExpr, TObject)

 public:
  TcxRegExpr();
  ~TcxRegExpr() override;

  // Compiles the expression held by the stream; raises EcxRegExprError with every error found
  // and leaves the expression uncompiled.
  void Compile(TStream* stream);
  void Discard();
  // The source stream when compiled, else nullptr.
  TStream* CompiledSource() const;
  bool IsCompiled() const { return compiled_; }

  // Matching; each raises EcxEditError "Regular expression is not compiled" when not compiled.
  bool Advance(char32_t& c);
  bool StepBack();
  void Restart();
  bool IsFinal() const;
  bool AtStart() const;
  // Feeds the text's characters without restarting and without auto-completion; answers the
  // accepted ones as they stand in the text.
  String AcceptText(const String& text);
  TcxRegExprAutomat* Automat() const { return automat_.get(); }

  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool value);
  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool value) { caseInsensitive_ = value; }
  const TcxRegExprErrors& Errors() const { return errors_; }
  const TcxLexems& Lexems() const { return lexems_; }

  std::function<void(char32_t)> OnLiteralInserted;
  std::function<void()> OnLiteralRemoved;

 private:
  friend class TcxRegExprAutomat;
  struct TParser;

  void RequireCompiled() const;
  void Error(Integer line, Integer chr, const String& message);
  // Reading.
  char32_t ReadChar();
  bool AtEnd() const { return readPos_ >= text_.size(); }
  char32_t PeekChar() const { return text_[readPos_]; }
  void AddLexem(Byte kind, char32_t c, Integer chr, Integer line);
  void Tokenize();
  void ReadQuoted();
  void ReadEscape();
  void ReadSet();
  void ReadQuantifierParameters();
  void DoLiteralInserted(char32_t c);
  void DoLiteralRemoved();

  std::unique_ptr<TcxRegExprAutomat> automat_;
  Integer column_ = 0;
  bool caseInsensitive_ = false;
  bool compiled_ = false;
  TcxRegExprErrors errors_;
  bool firstCompilation_ = true;
  size_t readPos_ = 0;
  TcxLexems lexems_;
  Integer line_ = 1;
  std::unique_ptr<TMemoryStream> source_;
  std::u32string text_;  // the source decoded into characters
  bool autoComplete_ = false;
};
