// Typing into a regular-expression mask: a character typed (and taken back with Backspace) at
// the end of a 10,000-character text against the same at the end of a 100-character text. The
// target: the long text costs within 3x of the short one.
#include <benchmark/benchmark.h>

#include "editors/cxMaskEditModes.h"
#include "rtl/SysUtils.h"

namespace {

// The least of an edit that typing at the caret needs: characters inserted and removed at the
// end, every change reported to the mode as the inner edit's own.
class TBenchEdit : public IcxMaskModeEdit, public IcxMaskModeProperties {
 public:
  TBenchEdit(const String& mask, Integer length) : mode_(std::make_unique<TcxMaskEditRegExprMode>(this, nullptr)) {
    mode_->SetModeMask(mask);
    for (Integer i = 0; i < length; ++i) text_ += char('a' + i % 26);
    caret_ = length;
    mode_->SetModeText(text_);
    mode_->NoteMouseAction();
  }
  void Type(char32_t c) {
    if (mode_->PressChar(c)) {
      AppendUtf8(text_, c);
      ++caret_;
      mode_->NoteMouseAction();
    }
  }
  void Backspace() {
    if (mode_->DeleteBackward()) {
      text_.pop_back();
      --caret_;
      mode_->NoteMouseAction();
    }
  }
  Integer Length() const { return caret_; }

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

void TypeAtTheEnd(benchmark::State& state) {
  TBenchEdit edit("[a-z]*(\\d[a-z]*)*", Integer(state.range(0)));
  for (auto _ : state) {
    edit.Type('7');
    edit.Backspace();
  }
  if (edit.Length() != state.range(0)) state.SkipWithError("the text changed length");
}
BENCHMARK(TypeAtTheEnd)->Arg(100)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
