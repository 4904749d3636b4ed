// Typing into a regular-expression mask: a character typed (and taken back with Backspace) at
// the end of a 10,000-character text against the same at the end of a 100-character text, and
// against one typed among the first 100 characters of the long text (where the rest of the text
// is checked to still fit after it). The target: the end of the long text costs within 3x of
// the short text.
#include <benchmark/benchmark.h>

#include "editors/cxMaskEditModes.h"
#include "rtl/SysUtils.h"

namespace {

// The least of an edit that typing at the caret needs: characters inserted and removed at the
// caret when the mode lets the key through. As in the mask edit, the inner edit's own typing
// reports no selection change to the mode (only EM_SETSEL and the mouse do).
class TBenchEdit : public IcxMaskModeEdit, public IcxMaskModeProperties {
 public:
  TBenchEdit(const String& mask, Integer length, Integer caret)
      : mode_(std::make_unique<TcxMaskEditRegExprMode>(this, nullptr)) {
    mode_->SetModeMask(mask);
    for (Integer i = 0; i < length; ++i) text_ += char('a' + i % 26);
    caret_ = caret;
    mode_->SetModeText(text_);
    mode_->NoteMouseAction();
  }
  void Type(char32_t c) {
    if (mode_->PressChar(c)) {
      text_.insert(size_t(caret_), 1, char(c));
      ++caret_;
    }
  }
  void Backspace() {
    if (mode_->DeleteBackward()) text_.erase(size_t(--caret_), 1);
  }
  Integer Length() const { return Integer(text_.size()); }

  bool BeepOnError() const override { return false; }
  bool CaseInsensitive() const override { return false; }
  TEditCharCase CharCase() const override { return ecNormal; }
  bool IgnoreMaskBlank() const override { return false; }
  bool InnerEditAvailable() const override { return true; }
  bool HandleAllocated() const override { return true; }
  IcxMaskModeProperties* ModeProperties() const override { return const_cast<TBenchEdit*>(this); }
  String Text() const override { return text_; }
  Integer SelStart() const override { return caret_; }
  Integer SelLength() const override { return 0; }
  Integer CaretPos() const override { return caret_; }
  void SetSelStart(Integer value) override { caret_ = value; }
  void SetSelLength(Integer) override {}
  void SetSelStartGuarded(Integer value) override { caret_ = value; }
  void SetSelLengthGuarded(Integer) override {}
  bool ShiftFlag() const override { return false; }
  void SetShiftFlag(bool) override {}
  void SendKeyDown(Word) override {}
  void SendChar(char32_t) override {}
  void SetValidatedDisplayValue(const String& text) override { text_ = text; }
  void SetInternalEditValue(const String& text) override { text_ = text; }
  bool ValidateMaskChar(char32_t&, Integer) override { return true; }
  bool ModifiedAfterEnter() const override { return true; }
  String PreparedDisplayValue() const override { return text_; }
  void Beep() override {}

 private:
  std::unique_ptr<TcxMaskEditRegExprMode> mode_;
  String text_;
  Integer caret_ = 0;
};

const char* const kMask = "[a-z]*(\\d[a-z]*)*";

void TypeAtTheEnd(benchmark::State& state) {
  TBenchEdit edit(kMask, Integer(state.range(0)), Integer(state.range(0)));
  for (auto _ : state) {
    edit.Type('7');
    edit.Backspace();
  }
  if (edit.Length() != state.range(0)) state.SkipWithError("the text changed length");
}
BENCHMARK(TypeAtTheEnd)->Arg(100)->Arg(10000);

void TypeNearTheStart(benchmark::State& state) {
  TBenchEdit edit(kMask, 10000, 50);
  for (auto _ : state) {
    edit.Type('7');
    edit.Backspace();
  }
  if (edit.Length() != 10000) state.SkipWithError("the text changed length");
}
BENCHMARK(TypeNearTheStart)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
