// The test editor kind: an editor without inner control that keeps its display text itself.
// Characters typed into it append to the text; Backspace (an editing key) clears it.
#pragma once

#include "editors/cxEdit.h"
#include "rtl/SysUtils.h"
#include "user/WinUser.h"

namespace editors_test {

class TTestEditProperties : public TcxCustomEditProperties {
  KORVAN_CLASS(TTestEditProperties, TcxCustomEditProperties)

 public:
  explicit TTestEditProperties(TPersistent* owner) : TcxCustomEditProperties(owner) {}
  bool CanValidate() override { return true; }
  bool ComparesEditValues() override { return true; }
  bool CanResetEditValue() override { return true; }
  bool IsDisplayTextKind() override { return true; }
  TClass GetContainerClass() override;
};

class TTestEdit : public TcxCustomEdit {
  KORVAN_CLASS(TTestEdit, TcxCustomEdit)

 public:
  explicit TTestEdit(TComponent* owner, bool in_place = false)
      : TcxCustomEdit(owner, in_place, TTestEditProperties::StaticClass()) {}
  ~TTestEdit() override {
    if (OnDestroyed) OnDestroyed();
  }

  Variant CurrentDisplayText() override { return Variant(text); }
  void SetValidatedDisplayValue(const Variant& v) override { text = VarToStr(v); }
  void SynchronizeDisplayValue() override {
    text = ReadEditValue().IsNull() ? String() : VarToStr(ReadEditValue());
  }
  void InternalSetDisplayValue(const Variant& v) override { InternalSetEditValue(v, true); }
  bool IsEditingKey(Word key, TShiftState) override { return key == VK_BACK; }
  bool IsEditingChar(char32_t c) override { return c >= 32; }
  void DoEditKeyDown(Word& key, TShiftState shift) override {
    TcxCustomEdit::DoEditKeyDown(key, shift);
    if (key == VK_BACK) {
      text.clear();
      key = 0;
      DataChanged();
    }
  }
  void DoEditKeyPress(char32_t& key) override {
    TcxCustomEdit::DoEditKeyPress(key);
    if (key >= 32) {
      AppendUtf8(text, key);
      key = 0;
      DataChanged();
    }
  }

  String text;
  std::function<void()> OnDestroyed;
};

}  // namespace editors_test
