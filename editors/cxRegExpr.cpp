#include "editors/cxRegExpr.h"

#include <algorithm>

#include "foundation/cxClasses.h"
#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxRegExprAutomat)
KORVAN_IMPLEMENT_CLASS(TcxRegExpr)

namespace {

const char* const scxRegExprNotAssignedSourceStream = "The source stream is not assigned";
const char* const scxRegExprEmptySourceStream = "The source stream is empty";
const char* const scxRegExprMissing = "Missing '%s'";
const char* const scxRegExprUnnecessary = "Unnecessary '%s'";
const char* const scxRegExprNotSpaceAfterBackslash = "The space character is not allowed after '\\'";
const char* const scxRegExprHexNumberExpected0 = "Hexadecimal number expected";
const char* const scxRegExprHexNumberExpected = "Hexadecimal number expected but '%s' found";
const char* const scxRegExprIllegalSymbol = "Illegal '%s'";
const char* const scxRegExprIllegalQuantifier = "Illegal quantifier '%s'";
const char* const scxRegExprCantUseStar = "The '*' quantifier cannot be applied here";
const char* const scxRegExprCantUsePlus = "The '+' quantifier cannot be applied here";
const char* const scxRegExprIncorrectParameterQuantifier = "Incorrect parameter quantifier";
const char* const scxRegExprCantUseParameterQuantifier =
    "The parameter quantifier cannot be applied here";
const char* const scxRegExprIllegalIntegerValue = "Illegal integer value";
const char* const scxRegExprTooBigReferenceNumber = "Too big reference number";
const char* const scxRegExprEmptyAlternative = "The alternative should not be empty";
const char* const scxRegExprEmptyBlock = "The block should not be empty";
const char* const scxRegExprCantCreateEmptyEnum = "Can't create empty enumeration";
const char* const scxRegExprSubrangeOrder =
    "The starting character of the subrange must be less than the finishing one";
const char* const scxRegExprNotCompiled = "Regular expression is not compiled";
const char* const scxRegExprRepetitionTooBig = "The repetition count must not be greater than %d";
const char* const scxRegExprTooComplex = "The expression is too complex";

String Res(const char* text) { return ReplaceResourceText(text); }
String ResFmt(const char* text, const String& arg) {
  return Format(ReplaceResourceText(text), {arg});
}

String CharText(char32_t c) {
  String s;
  AppendUtf8(s, c);
  return s;
}

char32_t FirstChar(const String& s) {
  size_t offset = 0;
  return s.empty() ? 0 : DecodeUtf8(s, offset);
}

char32_t UpperChar(char32_t c) {
  if (c < 128) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  return FirstChar(AnsiUpperCase(CharText(c)));
}

// The walk number that makes every state answer once per walk; states of all expressions
// share the counter, which only ever grows.
unsigned long NextEpoch() {
  static thread_local unsigned long epoch = 0;
  return ++epoch;
}

bool IsHexDigit(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char32_t c) {
  if (c <= '9') return int(c - '0');
  if (c <= 'F') return int(c - 'A' + 10);
  return int(c - 'a' + 10);
}

}  // namespace

bool IsRegExprSpace(char32_t c) {
  return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

// ---- errors ----------------------------------------------------------------------------------

String TcxRegExprError::ErrorText() const {
  String s;
  if (Line > 0) {
    s = "Line" + IntToStr(Line);
    if (Char > 0) s += ", Char" + IntToStr(Char);
    s += ": ";
  }
  return s + Message;
}

// ---- symbol classes --------------------------------------------------------------------------

bool TcxRegExprSymbol::Matches(char32_t& c, bool case_insensitive) const {
  if (c == char_) return true;
  if (case_insensitive && UpperChar(c) == UpperChar(char_)) {
    c = char_;
    return true;
  }
  return false;
}
std::unique_ptr<TcxRegExprItem> TcxRegExprSymbol::Duplicate() const {
  return std::make_unique<TcxRegExprSymbol>(char_);
}

bool TcxRegExprTimeSeparator::Matches(char32_t& c, bool) const {
  return c == char32_t(Byte(FormatSettings.TimeSeparator));
}
std::unique_ptr<TcxRegExprItem> TcxRegExprTimeSeparator::Duplicate() const {
  return std::make_unique<TcxRegExprTimeSeparator>();
}
bool TcxRegExprTimeSeparator::LiteralChar(char32_t& c) const {
  c = char32_t(Byte(FormatSettings.TimeSeparator));
  return true;
}

bool TcxRegExprDateSeparator::Matches(char32_t& c, bool) const {
  return c == char32_t(Byte(FormatSettings.DateSeparator));
}
std::unique_ptr<TcxRegExprItem> TcxRegExprDateSeparator::Duplicate() const {
  return std::make_unique<TcxRegExprDateSeparator>();
}
bool TcxRegExprDateSeparator::LiteralChar(char32_t& c) const {
  c = char32_t(Byte(FormatSettings.DateSeparator));
  return true;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprSubrange::Duplicate() const {
  return std::make_unique<TcxRegExprSubrange>(first_, last_);
}

bool TcxRegExprUserEnumeration::Matches(char32_t& c, bool case_insensitive) const {
  bool found = false;
  for (const auto& item : items_)
    if (item->Matches(c, case_insensitive)) {
      found = true;
      break;
    }
  return found != inverse_;
}
std::unique_ptr<TcxRegExprItem> TcxRegExprUserEnumeration::Duplicate() const {
  auto result = std::make_unique<TcxRegExprUserEnumeration>(inverse_);
  for (const auto& item : items_) result->Add(item->Duplicate());
  return result;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprDigit::Duplicate() const {
  return std::make_unique<TcxRegExprDigit>(inverse_);
}

bool TcxRegExprIdLetter::Matches(char32_t& c, bool) const {
  bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  return letter != inverse_;
}
std::unique_ptr<TcxRegExprItem> TcxRegExprIdLetter::Duplicate() const {
  return std::make_unique<TcxRegExprIdLetter>(inverse_);
}

bool TcxRegExprSpace::Matches(char32_t& c, bool) const { return IsRegExprSpace(c) != inverse_; }
std::unique_ptr<TcxRegExprItem> TcxRegExprSpace::Duplicate() const {
  return std::make_unique<TcxRegExprSpace>(inverse_);
}

std::unique_ptr<TcxRegExprItem> TcxRegExprAll::Duplicate() const {
  return std::make_unique<TcxRegExprAll>();
}

// ---- quantifiers ---------------------------------------------------------------------------

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprSimpleQuantifier::Duplicate() const {
  return std::make_unique<TcxRegExprSimpleQuantifier>();
}
std::unique_ptr<TcxRegExprQuantifier> TcxRegExprQuestionQuantifier::Duplicate() const {
  return std::make_unique<TcxRegExprQuestionQuantifier>();
}
std::unique_ptr<TcxRegExprQuantifier> TcxRegExprStarQuantifier::Duplicate() const {
  return std::make_unique<TcxRegExprStarQuantifier>();
}
std::unique_ptr<TcxRegExprQuantifier> TcxRegExprPlusQuantifier::Duplicate() const {
  return std::make_unique<TcxRegExprPlusQuantifier>();
}

// ---- states ------------------------------------------------------------------------------------

void TcxRegExprStates::AddAll(const TcxRegExprStates& states) {
  items_.insert(items_.end(), states.items_.begin(), states.items_.end());
}

TcxRegExprStates TcxRegExprStates::StepAll(char32_t& c, bool case_insensitive) const {
  TcxRegExprStates result;
  unsigned long epoch = NextEpoch();
  for (TcxRegExprState* member : items_)
    for (TcxRegExprState* next : member->Next()) next->StepOn(c, case_insensitive, result, epoch);
  return result;
}

TcxRegExprStates TcxRegExprStates::Candidates() const {
  TcxRegExprStates result;
  unsigned long epoch = NextEpoch();
  for (TcxRegExprState* member : items_)
    for (TcxRegExprState* next : member->Next()) next->Expanded(result, epoch);
  return result;
}

bool TcxRegExprStates::ContainsFinal() const {
  for (TcxRegExprState* member : items_) {
    auto* simple = dynamic_cast<TcxRegExprSimpleState*>(member);
    if (simple && simple->Final()) return true;
  }
  return false;
}

bool TcxRegExprStates::SingleLiteral(char32_t& c) const {
  if (items_.empty()) return false;
  bool first = true;
  for (TcxRegExprState* member : items_) {
    auto* simple = dynamic_cast<TcxRegExprSimpleState*>(member);
    char32_t literal = 0;
    if (!simple || !simple->Item() || !simple->Item()->LiteralChar(literal)) return false;
    if (!first && literal != c) return false;
    c = literal;
    first = false;
  }
  return true;
}

void TcxRegExprState::StepOn(char32_t& c, bool case_insensitive, TcxRegExprStates& out,
                             unsigned long epoch) {
  for (TcxRegExprState* next : next_) next->StepOn(c, case_insensitive, out, epoch);
}

void TcxRegExprState::Expanded(TcxRegExprStates& out, unsigned long epoch) {
  if (Visit(epoch)) out.Add(this);
}

void TcxRegExprSimpleState::StepOn(char32_t& c, bool case_insensitive, TcxRegExprStates& out,
                                   unsigned long epoch) {
  if (item_ && Visit(epoch) && item_->Matches(c, case_insensitive)) out.Add(this);
}

std::unique_ptr<TcxRegExprState> TcxRegExprSimpleState::Duplicate() const {
  return std::make_unique<TcxRegExprSimpleState>(item_ ? item_->Duplicate() : nullptr);
}

void TcxRegExprSimpleState::Expanded(TcxRegExprStates& out, unsigned long epoch) {
  if (Visit(epoch)) out.Add(this);
}

void TcxRegExprBlockState::StepOn(char32_t& c, bool case_insensitive, TcxRegExprStates& out,
                                  unsigned long epoch) {
  if (Visit(epoch)) TcxRegExprState::StepOn(c, case_insensitive, out, epoch);
}

std::unique_ptr<TcxRegExprState> TcxRegExprBlockState::Duplicate() const {
  return std::make_unique<TcxRegExprBlockState>();
}

void TcxRegExprBlockState::Expanded(TcxRegExprStates& out, unsigned long epoch) {
  if (!Visit(epoch)) return;
  for (TcxRegExprState* next : Next()) next->Expanded(out, epoch);
}

// ---- parser items ------------------------------------------------------------------------------

TcxRegExprParserItem::TcxRegExprParserItem(std::unique_ptr<TcxRegExprQuantifier> quantifier)
    : quantifier_(quantifier ? std::move(quantifier) : std::make_unique<TcxRegExprSimpleQuantifier>()) {}

bool TcxRegExprParserItem::HasQuantifier() const {
  return dynamic_cast<const TcxRegExprSimpleQuantifier*>(quantifier_.get()) == nullptr;
}

void TcxRegExprParserItem::ReplaceQuantifier(std::unique_ptr<TcxRegExprQuantifier> quantifier) {
  if (quantifier) quantifier_ = std::move(quantifier);
}

TcxRegExprParserSimpleItem::TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> item,
                                                       std::unique_ptr<TcxRegExprQuantifier> quantifier)
    : TcxRegExprParserItem(std::move(quantifier)),
      state_(std::make_unique<TcxRegExprSimpleState>(std::move(item))) {}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserSimpleItem::Duplicate() const {
  return std::make_unique<TcxRegExprParserSimpleItem>(
      state_->Item() ? state_->Item()->Duplicate() : nullptr, Quantifier()->Duplicate());
}

String TcxRegExprParserSimpleItem::DumpText() const {
  return "item --> " + Quantifier()->DumpText() + "\r\n";
}

String TcxRegExprParserAlt::DumpText() const {
  String s = "<Start_Alt>\r\n";
  for (const auto& item : Items) s += item->DumpText();
  return s + "<Finish_Alt>\r\n";
}

bool TcxRegExprParserAlt::OnlySkippable() const {
  return std::all_of(Items.begin(), Items.end(), [](const auto& item) { return item->AllowsAbsence(); });
}

void TcxRegExprParserAlt::MarkFinal() {
  for (auto it = Items.rbegin(); it != Items.rend(); ++it) {
    (*it)->MarkFinal();
    if (!(*it)->AllowsAbsence()) break;
  }
}

String TcxRegExprParserAlts::DumpText() const {
  String s;
  for (const auto& alt : Items) s += alt->DumpText();
  return s;
}

TcxRegExprParserBlockItem::TcxRegExprParserBlockItem(std::unique_ptr<TcxRegExprQuantifier> quantifier)
    : TcxRegExprParserItem(std::move(quantifier)),
      entry_(std::make_unique<TcxRegExprBlockState>()),
      exit_(std::make_unique<TcxRegExprBlockState>()) {}

bool TcxRegExprParserBlockItem::MatchesEmpty() const {
  if (AllowsAbsence()) return true;
  for (const auto& alt : alts_.Items)
    if (std::all_of(alt->Items.begin(), alt->Items.end(),
                    [](const auto& item) { return item->MatchesEmpty(); }))
      return true;
  return false;
}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserBlockItem::Duplicate() const {
  auto result = std::make_unique<TcxRegExprParserBlockItem>(Quantifier()->Duplicate());
  for (const auto& alt : alts_.Items) {
    auto copy = std::make_unique<TcxRegExprParserAlt>();
    for (const auto& item : alt->Items) copy->Items.push_back(item->Duplicate());
    result->alts_.Items.push_back(std::move(copy));
  }
  return result;
}

String TcxRegExprParserBlockItem::DumpText() const {
  return "<Start_Block>\r\n" + alts_.DumpText() + "<Finish_Block> --> " + Quantifier()->DumpText() + "\r\n";
}

void TcxRegExprParserBlockItem::MarkFinal() {
  for (const auto& alt : alts_.Items) alt->MarkFinal();
}

Integer TcxRegExprParserBlockItem::ItemCount() const {
  Integer count = 1;
  for (const auto& alt : alts_.Items)
    for (const auto& item : alt->Items) count += item->ItemCount();
  return count;
}

// ---- linking -----------------------------------------------------------------------------------

namespace {

void LinkItems(TcxRegExprParserAlt& alt);

// Entries of the items from the first, up to and including the first that is not skippable.
void LinkEntryStates(TcxRegExprState* from, const TcxRegExprParserAlt& alt) {
  for (const auto& item : alt.Items) {
    from->AddNext(item->EntryState());
    if (!item->AllowsAbsence()) break;
  }
}

void LinkItems(TcxRegExprParserAlt& alt) {
  auto& items = alt.Items;
  for (size_t i = 0; i < items.size(); ++i) {
    TcxRegExprParserItem* item = items[i].get();
    for (size_t j = i + 1; j < items.size(); ++j) {
      item->ExitState()->AddNext(items[j]->EntryState());
      if (!items[j]->AllowsAbsence()) break;
    }
    if (item->AllowsRepetition()) item->ExitState()->AddNext(item->EntryState());
    auto* block = dynamic_cast<TcxRegExprParserBlockItem*>(item);
    if (!block) continue;
    bool skippable_alt = false;
    for (const auto& inner : block->Alts().Items) {
      LinkEntryStates(block->EntryState(), *inner);
      skippable_alt = skippable_alt || inner->OnlySkippable();
    }
    if (skippable_alt) block->EntryState()->AddNext(block->ExitState());
    for (const auto& inner : block->Alts().Items) LinkItems(*inner);
    for (const auto& inner : block->Alts().Items)
      for (auto it = inner->Items.rbegin(); it != inner->Items.rend(); ++it) {
        (*it)->ExitState()->AddNext(block->ExitState());
        if (!(*it)->AllowsAbsence()) break;
      }
  }
}

}  // namespace

// ---- automaton -------------------------------------------------------------------------------

TcxRegExprAutomat::TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> alts, TcxRegExpr* owner)
    : alts_(std::move(alts)), owner_(owner), start_(std::make_unique<TcxRegExprSimpleState>(nullptr)) {
  for (const auto& alt : alts_->Items) {
    LinkItems(*alt);
    alt->MarkFinal();
    LinkEntryStates(start_.get(), *alt);
    if (alt->OnlySkippable()) start_->SetFinal(true);
  }
  current_.Add(start_.get());
}

TcxRegExprAutomat::~TcxRegExprAutomat() = default;

bool TcxRegExprAutomat::Advance(char32_t& c, bool case_insensitive) {
  TcxRegExprStates next = current_.StepAll(c, case_insensitive);
  if (next.Count() == 0) return false;
  history_.push_back(std::move(current_));
  current_ = std::move(next);
  return true;
}

bool TcxRegExprAutomat::StepBack() {
  if (history_.empty()) return false;
  current_ = std::move(history_.back());
  history_.pop_back();
  return true;
}

void TcxRegExprAutomat::Restart() {
  history_.clear();
  current_ = TcxRegExprStates();
  current_.Add(start_.get());
}

bool TcxRegExprAutomat::AtStart() const {
  return current_.Count() > 0 && current_.Item(0) == start_.get();
}

void TcxRegExprAutomat::InsertForcedLiterals() {
  // A run of forced literals is a function of the set it starts from: a set met again in the
  // same run (the starting one included) would repeat forever (a repeated literal before a part that matches nothing), so
  // the run stops there.
  std::vector<TcxRegExprStates> run{current_};
  while (!current_.ContainsFinal()) {
    TcxRegExprStates candidates = current_.Candidates();
    char32_t c = 0;
    if (!candidates.SingleLiteral(c)) break;
    if (std::find(run.begin(), run.end(), candidates) != run.end()) break;
    run.push_back(candidates);
    owner_->DoLiteralInserted(c);
    history_.push_back(std::move(current_));
    current_ = std::move(candidates);
  }
}

void TcxRegExprAutomat::RemoveForcedLiterals() {
  char32_t c = 0;
  while (current_.SingleLiteral(c)) {
    if (history_.empty()) break;
    char32_t before = 0;
    const TcxRegExprStates& previous = history_.back();
    if (!previous.Candidates().SingleLiteral(before) || previous.ContainsFinal()) break;
    owner_->DoLiteralRemoved();
    current_ = std::move(history_.back());
    history_.pop_back();
  }
}

// ---- the compiler: reading -------------------------------------------------------------------

TcxRegExpr::TcxRegExpr() : source_(std::make_unique<TMemoryStream>()) {}

TcxRegExpr::~TcxRegExpr() = default;

void TcxRegExpr::Error(Integer line, Integer chr, const String& message) {
  errors_.Add(line, chr, message);
}

char32_t TcxRegExpr::ReadChar() {
  char32_t c = text_[readPos_++];
  if (c == 13)
    ++line_;
  else if (c == 10)
    column_ = 0;
  else
    ++column_;
  return c;
}

void TcxRegExpr::AddLexem(Byte kind, char32_t c, Integer chr, Integer line) {
  lexems_.Add(TcxLexem{chr, kind, line, CharText(c)});
}

void TcxRegExpr::Tokenize() {
  Integer depth = 0;
  while (!AtEnd()) {
    char32_t c = ReadChar();
    if (IsRegExprSpace(c)) continue;
    switch (c) {
      case '\'': ReadQuoted(); break;
      case '(': AddLexem(cxlkOperator, c, column_, line_); ++depth; break;
      case ')': AddLexem(cxlkOperator, c, column_, line_); --depth; break;
      case '*': case '+': case '?': case '|': AddLexem(cxlkOperator, c, column_, line_); break;
      case '.': AddLexem(cxlkAny, c, column_, line_); break;
      case '/': AddLexem(cxlkDateSeparator, c, column_, line_); break;
      case ':': AddLexem(cxlkTimeSeparator, c, column_, line_); break;
      case '[': AddLexem(cxlkOperator, c, column_, line_); ReadSet(); break;
      case '\\': ReadEscape(); break;
      case '{': AddLexem(cxlkOperator, c, column_, line_); ReadQuantifierParameters(); break;
      default: AddLexem(cxlkLiteral, c, column_, line_); break;
    }
  }
  if (depth > 0) Error(0, 0, ResFmt(scxRegExprMissing, ")"));
  if (depth < 0) Error(0, 0, ResFmt(scxRegExprUnnecessary, ")"));
}

void TcxRegExpr::ReadQuoted() {
  while (!AtEnd()) {
    char32_t c = ReadChar();
    if (c == '\'') {
      if (AtEnd() || PeekChar() != '\'') return;
      ReadChar();
    }
    AddLexem(cxlkLiteral, c, column_, line_);
  }
  Error(line_, column_ + 1, ResFmt(scxRegExprMissing, " ' "));
}

void TcxRegExpr::ReadEscape() {
  Integer chr = column_, line = line_;
  if (AtEnd()) return;
  char32_t c = ReadChar();
  if (c >= '1' && c <= '9') {
    AddLexem(cxlkReference, c, chr, line);
    return;
  }
  if (IsRegExprSpace(c)) {
    Error(line_, column_, Res(scxRegExprNotSpaceAfterBackslash));
    return;
  }
  switch (c) {
    case 'd': AddLexem(cxlkDigit, c, chr, line); return;
    case 'D': AddLexem(cxlkNotDigit, c, chr, line); return;
    case 'w': AddLexem(cxlkIdLetter, c, chr, line); return;
    case 'W': AddLexem(cxlkNotIdLetter, c, chr, line); return;
    case 's': AddLexem(cxlkSpace, c, chr, line); return;
    case 'S': AddLexem(cxlkNotSpace, c, chr, line); return;
    case 't': AddLexem(cxlkLiteral, 9, chr, line); return;
    case 'n': AddLexem(cxlkLiteral, 10, chr, line); return;
    case 'r': AddLexem(cxlkLiteral, 13, chr, line); return;
    case 'f': AddLexem(cxlkLiteral, 12, chr, line); return;
    case 'a': AddLexem(cxlkLiteral, 7, chr, line); return;
    case 'e': AddLexem(cxlkLiteral, 27, chr, line); return;
    case 'p': AddLexem(cxlkLiteral, char32_t(Byte(FormatSettings.DecimalSeparator)), chr, line); return;
    case 'x': {
      int value = 0;
      for (int i = 0; i < 2; ++i) {
        if (AtEnd()) {
          Error(line_, column_ + 1, Res(scxRegExprHexNumberExpected0));
          return;
        }
        char32_t digit = ReadChar();
        if (!IsHexDigit(digit)) {
          Error(line_, column_, ResFmt(scxRegExprHexNumberExpected, CharText(digit)));
          return;
        }
        value = value * 16 + HexValue(digit);
      }
      AddLexem(cxlkLiteral, char32_t(value), chr, line);
      return;
    }
    default: AddLexem(cxlkLiteral, c, chr, line); return;
  }
}

void TcxRegExpr::ReadSet() {
  bool first = true;
  while (!AtEnd()) {
    char32_t c = ReadChar();
    if (IsRegExprSpace(c)) continue;
    bool was_first = first;
    first = false;
    switch (c) {
      case '\'': ReadQuoted(); continue;
      case ']': AddLexem(cxlkOperator, c, column_, line_); return;
      case '/': AddLexem(cxlkDateSeparator, c, column_, line_); continue;
      case ':': AddLexem(cxlkTimeSeparator, c, column_, line_); continue;
      case '\\': ReadEscape(); continue;
      default: break;
    }
    if (c == '^' && was_first) {
      AddLexem(cxlkOperator, c, column_, line_);
    } else if (c == '-' && !was_first) {
      // A minus before the closing bracket is the character itself, otherwise a range.
      size_t p = readPos_;
      while (p < text_.size() && IsRegExprSpace(text_[p])) ++p;
      bool last = p < text_.size() && text_[p] == ']';
      AddLexem(last ? cxlkLiteral : cxlkOperator, c, column_, line_);
    } else {
      AddLexem(cxlkLiteral, c, column_, line_);
    }
  }
  Error(line_, column_ + 1, ResFmt(scxRegExprMissing, "]"));
}

void TcxRegExpr::ReadQuantifierParameters() {
  while (!AtEnd()) {
    char32_t c = ReadChar();
    if (IsRegExprSpace(c)) continue;
    if (c >= '0' && c <= '9') {
      Integer chr = column_;
      String number = CharText(c);
      while (!AtEnd() && PeekChar() >= '0' && PeekChar() <= '9') number += char(ReadChar());
      lexems_.Add(TcxLexem{chr, cxlkInteger, line_, number});
      continue;
    }
    if (c == ',') {
      AddLexem(cxlkOperator, c, column_, line_);
    } else if (c == '}') {
      AddLexem(cxlkOperator, c, column_, line_);
      return;
    } else {
      Error(line_, column_, ResFmt(scxRegExprIllegalSymbol, c == '\'' ? String(" ' ") : CharText(c)));
    }
  }
  Error(line_, column_ + 1, ResFmt(scxRegExprMissing, "}"));
}

// ---- the compiler: parsing ---------------------------------------------------------------------

struct TcxRegExpr::TParser {
  explicit TParser(TcxRegExpr& owner) : expr(owner), lexems(owner.lexems_) {}

  enum TEnd { endInput, endBar, endGroup };

  TcxRegExpr& expr;
  const TcxLexems& lexems;
  Integer cursor = 0;
  std::vector<TcxRegExprParserBlockItem*> groups;
  // Groups that a parameter quantifier replaced by their copies: kept until the end of the
  // parse, since the group list still names them and a back reference copies them as written.
  std::vector<std::unique_ptr<TcxRegExprParserItem>> retired;
  Integer itemCount = 0;
  bool aborted = false;

  bool HasLexem() const { return !aborted && cursor < lexems.Count(); }
  const TcxLexem& Peek() const { return lexems.Item(cursor); }
  const TcxLexem& Next() { return lexems.Item(cursor++); }
  static bool IsOperator(const TcxLexem& l, char c) {
    return l.Kind == cxlkOperator && l.Text.size() == 1 && l.Text[0] == c;
  }
  void Error(const TcxLexem& l, const String& message) { expr.Error(l.Line, l.Char, message); }

  // Counts `count` more items; over the bound the parse ends with one message.
  bool Reserve(const TcxLexem& l, Integer count) {
    if (itemCount + count <= cxRegExprMaxItemCount) {
      itemCount += count;
      return true;
    }
    Error(l, Res(scxRegExprTooComplex));
    aborted = true;
    return false;
  }

  std::unique_ptr<TcxRegExprParserAlts> ParseExpression() {
    auto alts = std::make_unique<TcxRegExprParserAlts>();
    TEnd end;
    do {
      alts->Items.push_back(std::make_unique<TcxRegExprParserAlt>());
      end = ParseAlternative(*alts->Items.back(), true);
    } while (end == endBar);
    return alts;
  }

  static std::unique_ptr<TcxRegExprItem> ClassOf(const TcxLexem& l) {
    switch (l.Kind) {
      case cxlkAny: return std::make_unique<TcxRegExprAll>();
      case cxlkIdLetter: case cxlkNotIdLetter:
        return std::make_unique<TcxRegExprIdLetter>(l.Kind == cxlkNotIdLetter);
      case cxlkDigit: case cxlkNotDigit: return std::make_unique<TcxRegExprDigit>(l.Kind == cxlkNotDigit);
      case cxlkSpace: case cxlkNotSpace: return std::make_unique<TcxRegExprSpace>(l.Kind == cxlkNotSpace);
      case cxlkDateSeparator: return std::make_unique<TcxRegExprDateSeparator>();
      case cxlkTimeSeparator: return std::make_unique<TcxRegExprTimeSeparator>();
      default: return std::make_unique<TcxRegExprSymbol>(FirstChar(l.Text));
    }
  }

  TEnd ParseAlternative(TcxRegExprParserAlt& alt, bool top) {
    if (aborted) return endInput;
    if (!HasLexem()) {
      expr.Error(0, 0, Res(scxRegExprEmptyAlternative));
      return endInput;
    }
    if (IsOperator(Peek(), '|')) {
      Error(Next(), Res(scxRegExprEmptyAlternative));
      return endBar;
    }
    if (!top && IsOperator(Peek(), ')')) {
      Error(Next(), Res(scxRegExprEmptyBlock));
      return endGroup;
    }
    TcxRegExprParserItem* current = nullptr;
    auto add = [&](std::unique_ptr<TcxRegExprParserItem> item) {
      current = item.get();
      alt.Items.push_back(std::move(item));
    };
    while (HasLexem()) {
      const TcxLexem& l = Next();
      if (l.Kind != cxlkOperator) {
        if (l.Kind == cxlkInteger) {
          Error(l, Res(scxRegExprIllegalIntegerValue));
        } else if (l.Kind == cxlkReference) {
          size_t n = size_t(l.Text[0] - '0');
          if (n - 1 < groups.size()) {
            if (Reserve(l, groups[n - 1]->ItemCount())) add(groups[n - 1]->Duplicate());
          } else {
            Error(l, Res(scxRegExprTooBigReferenceNumber));
          }
        } else if (Reserve(l, 1)) {
          add(std::make_unique<TcxRegExprParserSimpleItem>(ClassOf(l)));
        }
        continue;
      }
      switch (l.Text[0]) {
        case '(':
          if (Reserve(l, 1)) add(ParseGroup());
          break;
        case '[':
          if (Reserve(l, 1)) add(ParseSet());
          break;
        case ')':
          if (!top) return endGroup;
          Error(l, ResFmt(scxRegExprIllegalSymbol, ")"));
          break;
        case '|': return endBar;
        case '?': case '*': case '+': {
          String q = l.Text;
          if (!current) {
            Error(l, ResFmt(scxRegExprIllegalQuantifier, q));
          } else if (q != "?" && current->MatchesEmpty()) {
            Error(l, Res(q == "*" ? scxRegExprCantUseStar : scxRegExprCantUsePlus));
          } else {
            std::unique_ptr<TcxRegExprQuantifier> quantifier;
            if (q == "?") quantifier = std::make_unique<TcxRegExprQuestionQuantifier>();
            else if (q == "*") quantifier = std::make_unique<TcxRegExprStarQuantifier>();
            else quantifier = std::make_unique<TcxRegExprPlusQuantifier>();
            current = ApplyQuantifier(alt, std::move(quantifier));
          }
          break;
        }
        case '{':
          if (!current) Error(l, Res(scxRegExprIncorrectParameterQuantifier));
          else current = ReadParameterQuantifier(alt, l);
          break;
        case '-': case ']': case '}': Error(l, ResFmt(scxRegExprIllegalSymbol, l.Text)); break;
        default: break;  // "," and "^"
      }
    }
    return endInput;
  }

  // Gives the last item of the alternative the quantifier, wrapping it in a group of its own
  // when it already has one.
  TcxRegExprParserItem* ApplyQuantifier(TcxRegExprParserAlt& alt,
                                        std::unique_ptr<TcxRegExprQuantifier> quantifier) {
    auto& last = alt.Items.back();
    if (!last->HasQuantifier()) {
      last->ReplaceQuantifier(std::move(quantifier));
      return last.get();
    }
    auto group = std::make_unique<TcxRegExprParserBlockItem>(std::move(quantifier));
    group->Alts().Items.push_back(std::make_unique<TcxRegExprParserAlt>());
    group->Alts().Items.back()->Items.push_back(std::move(last));
    last = std::move(group);
    return last.get();
  }

  std::unique_ptr<TcxRegExprParserItem> ParseGroup() {
    auto group = std::make_unique<TcxRegExprParserBlockItem>();
    groups.push_back(group.get());
    TEnd end;
    do {
      group->Alts().Items.push_back(std::make_unique<TcxRegExprParserAlt>());
      end = ParseAlternative(*group->Alts().Items.back(), false);
    } while (end == endBar);
    return group;
  }

  std::unique_ptr<TcxRegExprParserItem> ParseSet() {
    auto set = std::make_unique<TcxRegExprUserEnumeration>();
    auto finish = [&] { return std::make_unique<TcxRegExprParserSimpleItem>(std::move(set)); };
    if (!HasLexem()) return finish();
    const TcxLexem* l = &Next();
    if (IsOperator(*l, '^')) {
      set->SetInverse(true);
      if (!HasLexem()) return finish();
      l = &Next();
    }
    if (IsOperator(*l, ']')) {
      Error(*l, Res(scxRegExprCantCreateEmptyEnum));
      return finish();
    }
    while (!IsOperator(*l, ']')) {
      if (!HasLexem()) break;
      const TcxLexem* n = &Next();
      if (IsOperator(*n, '-')) {
        if (!HasLexem()) break;
        const TcxLexem& e = Next();
        char32_t first = FirstChar(l->Text), last = FirstChar(e.Text);
        if (last > first)
          set->Add(std::make_unique<TcxRegExprSubrange>(first, last));
        else
          Error(e, Res(scxRegExprSubrangeOrder));
        if (!HasLexem()) break;
        l = &Next();
        while (IsOperator(*l, '-')) {
          Error(*l, ResFmt(scxRegExprIllegalSymbol, "-"));
          if (!HasLexem()) return finish();
          l = &Next();
        }
      } else {
        set->Add(ClassOf(*l));
        l = n;
      }
    }
    return finish();
  }

  // After "{": n}, n,} or n,m}.
  TcxRegExprParserItem* ReadParameterQuantifier(TcxRegExprParserAlt& alt, const TcxLexem& brace) {
    const TcxLexem* last = &brace;
    auto next = [&]() -> const TcxLexem* {
      if (!HasLexem()) return nullptr;
      last = &Next();
      return last;
    };
    auto incorrect = [&]() -> TcxRegExprParserItem* {
      Error(*last, Res(scxRegExprIncorrectParameterQuantifier));
      return alt.Items.back().get();
    };
    const TcxLexem* l = next();
    if (!l || l->Kind != cxlkInteger) return incorrect();
    const TcxLexem& first = *l;
    l = next();
    if (!l) return incorrect();
    if (IsOperator(*l, '}')) return Expand(alt, brace, first, &first);
    if (!IsOperator(*l, ',')) return incorrect();
    l = next();
    if (!l) return incorrect();
    if (IsOperator(*l, '}')) return Expand(alt, brace, first, nullptr);
    if (l->Kind != cxlkInteger) return incorrect();
    const TcxLexem& second = *l;
    l = next();
    if (!l || !IsOperator(*l, '}')) return incorrect();
    return Expand(alt, brace, first, &second);
  }

  // A count of a parameter quantifier, or -1 (with a message) above the bound.
  Integer Count(const TcxLexem& l) {
    String digits = l.Text;
    size_t nonzero = digits.find_first_not_of('0');
    digits = nonzero == String::npos ? "0" : digits.substr(nonzero);
    if (digits.size() > 9 || StrToInt(digits) > cxRegExprMaxRepetitionCount) {
      Error(l, Format(Res(scxRegExprRepetitionTooBig), {cxRegExprMaxRepetitionCount}));
      return -1;
    }
    return StrToInt(digits);
  }

  // Replaces the alternative's last item by a group of its copies: n of them, then a starred
  // one (no upper count) or a chain of optional ones up to m.
  TcxRegExprParserItem* Expand(TcxRegExprParserAlt& alt, const TcxLexem& brace, const TcxLexem& nl,
                               const TcxLexem* ml) {
    auto& current = alt.Items.back();
    Integer n = Count(nl);
    if (n < 0) return current.get();
    Integer m = ml && ml != &nl ? Count(*ml) : n;
    if (m < 0) return current.get();
    if (ml && m < n) {
      Error(*ml, Res(scxRegExprIncorrectParameterQuantifier));
      return current.get();
    }
    if (current->AllowsAbsence() || (!ml && current->MatchesEmpty())) {
      Error(brace, Res(scxRegExprCantUseParameterQuantifier));
      return current.get();
    }
    Integer copies = ml ? m : n + 1;
    if (!Reserve(brace, current->ItemCount() * copies + copies + 1)) return current.get();
    auto group = std::make_unique<TcxRegExprParserBlockItem>();
    group->Alts().Items.push_back(std::make_unique<TcxRegExprParserAlt>());
    auto& items = group->Alts().Items.back()->Items;
    for (Integer i = 0; i < n; ++i) items.push_back(current->Duplicate());
    if (!ml) {
      auto star = current->Duplicate();
      star->ReplaceQuantifier(std::make_unique<TcxRegExprStarQuantifier>());
      items.push_back(std::move(star));
    } else if (n < m) {
      items.push_back(OptionalChain(*current, n, m));
    }
    auto* old = current.get();
    if (std::find(groups.begin(), groups.end(), old) != groups.end())
      retired.push_back(std::move(current));
    current = std::move(group);
    return current.get();
  }

  std::unique_ptr<TcxRegExprParserItem> OptionalChain(const TcxRegExprParserItem& item, Integer depth,
                                                      Integer m) {
    if (depth >= m - 1) {
      auto copy = item.Duplicate();
      copy->ReplaceQuantifier(std::make_unique<TcxRegExprQuestionQuantifier>());
      return copy;
    }
    auto group = std::make_unique<TcxRegExprParserBlockItem>(std::make_unique<TcxRegExprQuestionQuantifier>());
    group->Alts().Items.push_back(std::make_unique<TcxRegExprParserAlt>());
    group->Alts().Items.back()->Items.push_back(item.Duplicate());
    group->Alts().Items.back()->Items.push_back(OptionalChain(item, depth + 1, m));
    return group;
  }
};

// ---- the compiler: the expression ------------------------------------------------------------

void TcxRegExpr::Compile(TStream* stream) {
  if (firstCompilation_)
    firstCompilation_ = false;
  else
    Discard();
  try {
    if (!stream) throw Exception(String());
    stream->SetPosition(0);
    source_->CopyFrom(stream, 0);
  } catch (const Exception&) {
    source_->Clear();
    Error(0, 0, Res(scxRegExprNotAssignedSourceStream));
    throw EcxRegExprError(errors_);
  }
  String source(static_cast<const char*>(source_->Memory()), size_t(source_->Size()));
  text_.clear();
  for (size_t offset = 0; offset < source.size();) text_.push_back(DecodeUtf8(source, offset));
  if (std::all_of(text_.begin(), text_.end(), IsRegExprSpace)) {
    Error(0, 0, Res(scxRegExprEmptySourceStream));
    throw EcxRegExprError(errors_);
  }
  Tokenize();
  if (errors_.Count() > 0) throw EcxRegExprError(errors_);
  TParser parser(*this);
  auto alts = parser.ParseExpression();
  if (errors_.Count() > 0) throw EcxRegExprError(errors_);
  automat_ = std::make_unique<TcxRegExprAutomat>(std::move(alts), this);
  compiled_ = true;
  if (autoComplete_) automat_->InsertForcedLiterals();
}

void TcxRegExpr::Discard() {
  source_->Clear();
  text_.clear();
  errors_.Clear();
  lexems_.Clear();
  automat_.reset();
  readPos_ = 0;
  column_ = 0;
  line_ = 1;
  compiled_ = false;
}

TStream* TcxRegExpr::CompiledSource() const {
  if (!compiled_) return nullptr;
  source_->SetPosition(0);
  return source_.get();
}

void TcxRegExpr::RequireCompiled() const {
  if (!compiled_) throw EcxEditError(Res(scxRegExprNotCompiled));
}

bool TcxRegExpr::Advance(char32_t& c) {
  RequireCompiled();
  if (!automat_->Advance(c, caseInsensitive_)) return false;
  if (autoComplete_ && !automat_->IsFinal()) automat_->InsertForcedLiterals();
  return true;
}

bool TcxRegExpr::StepBack() {
  RequireCompiled();
  if (autoComplete_) automat_->RemoveForcedLiterals();
  return automat_->StepBack();
}

void TcxRegExpr::Restart() {
  RequireCompiled();
  automat_->Restart();
}

bool TcxRegExpr::IsFinal() const {
  RequireCompiled();
  return automat_->IsFinal();
}

bool TcxRegExpr::AtStart() const {
  RequireCompiled();
  return automat_->AtStart();
}

String TcxRegExpr::AcceptText(const String& text) {
  RequireCompiled();
  String result;
  for (size_t offset = 0; offset < text.size();) {
    size_t start = offset;
    char32_t c = DecodeUtf8(text, offset);
    if (automat_->Advance(c, caseInsensitive_)) result.append(text, start, offset - start);
  }
  return result;
}

void TcxRegExpr::SetAutoComplete(bool value) {
  bool switched_on = value && !autoComplete_;
  autoComplete_ = value;
  if (switched_on && compiled_) automat_->InsertForcedLiterals();
}

void TcxRegExpr::DoLiteralInserted(char32_t c) {
  if (OnLiteralInserted) OnLiteralInserted(c);
}

void TcxRegExpr::DoLiteralRemoved() {
  if (OnLiteralRemoved) OnLiteralRemoved();
}
