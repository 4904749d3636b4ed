// The memo kind: multi-line text in cells (cut display texts, word and character breaks) and
// the memo editor control over the platform's multi-line edit.
#pragma once

#include "editors/cxFilterControlUtils.h"
#include "editors/cxTextEdit.h"

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
  KORVAN_CLASS(TcxCustomMemoProperties, TcxCustomTextEditProperties)

 public:
  explicit TcxCustomMemoProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;

  TClass GetContainerClass() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;
  bool KeepsTabKey() override { return wantTabs_; }
  bool IsMultiLine() override { return true; }
  // A BLOB field's own text names its type ("(MEMO)"): the memo shows the value itself.
  bool UsesFieldDisplayText(bool) override {
    return !(DefaultValuesProvider() && DefaultValuesProvider()->IsBlob());
  }
  // A memo searches no lookup items while typing.
  TClass GetLookupDataClass() override { return nullptr; }
  // The text as a focused text editor shows it; unless the whole text is asked for, cut
  // before the first line break among its first 250 characters, and at 250 characters.
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v) { Set(scrollBars_, v); }
  Integer VisibleLineCount() const { return visibleLineCount_; }
  void SetVisibleLineCount(Integer v) { Set(visibleLineCount_, std::max(0, v)); }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { Set(wantReturns_, v); }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { Set(wantTabs_, v); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v) { Set(wordWrap_, v); }

  // The text-output flags of memo cells and of the memo's measuring.
  Integer TextFlags();

 private:
  template <class T>
  void Set(T& field, T v) {
    if (field == v) return;
    field = v;
    NotifyPropertiesChanged();
  }
  TScrollStyle scrollBars_ = ssNone;
  Integer visibleLineCount_ = 0;
  bool wantReturns_ = true, wantTabs_ = false, wordWrap_ = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
  KORVAN_CLASS(TcxMemoProperties, TcxCustomMemoProperties)

 public:
  using TcxCustomMemoProperties::TcxCustomMemoProperties;
  void SetTextAssignedValues(TcxTextEditPropertiesValues* v) { AssignedValues()->Assign(v); }
};

// The memo's longest display text in a cell, in characters.
constexpr Integer cxMemoMaxDisplayTextLength = 250;
// Cuts a text before its first line break among the first 250 characters, and at 250.
void CutMemoDisplayText(String& text);

class TcxCustomMemoViewData : public TcxCustomTextEditViewData {
  KORVAN_CLASS(TcxCustomMemoViewData, TcxCustomTextEditViewData)

 public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  TcxCustomMemoProperties* MemoProperties() const { return static_cast<TcxCustomMemoProperties*>(Properties); }
  Integer GetDrawTextFlags() override { return MemoProperties()->TextFlags(); }
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value, TcxCustomEditViewInfo* view_info) override;
  void GetTextInsets(TRect& insets) override;
  Integer GetMaxLineCount() override;
  void GetBorderSizes(TSize& size) override;
  void GetEditSize(TcxCanvas* canvas, bool is_inplace, const TcxEditSizeProperties& request,
                   TSize& min_content_size, TcxCustomEditViewInfo* view_info, TSize& size) override;
  void GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value, const TcxEditSizeProperties& request,
                          TSize& size) override;
};

class TcxCustomMemoViewInfo : public TcxCustomTextEditViewInfo {
  KORVAN_CLASS(TcxCustomMemoViewInfo, TcxCustomTextEditViewInfo)

 public:
  void DrawText(TcxCanvas* canvas) override;
};

// The memo operations of an inner memo (its text operations are the inner text edit's).
class IcxInnerMemo {
 public:
  virtual ~IcxInnerMemo() = default;
  virtual TPoint GetCaretPos() = 0;
  virtual TStrings* GetLines() = 0;
  virtual TScrollStyle GetScrollBars() = 0;
  virtual bool GetWantReturns() = 0;
  virtual bool GetWantTabs() = 0;
  virtual bool GetWordWrap() = 0;
  virtual void SetCaretPos(const TPoint& value) = 0;
  virtual void SetScrollBars(TScrollStyle value) = 0;
  virtual void SetWantReturns(bool value) = 0;
  virtual void SetWantTabs(bool value) = 0;
  virtual void SetWordWrap(bool value) = 0;
};

class TcxCustomInnerMemo;

class TcxCustomInnerMemoHelper : public TcxInterfacedPersistent, public IcxInnerMemo {
  KORVAN_CLASS(TcxCustomInnerMemoHelper, TcxInterfacedPersistent)

 public:
  explicit TcxCustomInnerMemoHelper(TcxCustomInnerMemo* memo);
  TPoint GetCaretPos() override;
  TStrings* GetLines() override;
  TScrollStyle GetScrollBars() override;
  bool GetWantReturns() override;
  bool GetWantTabs() override;
  bool GetWordWrap() override;
  void SetCaretPos(const TPoint& value) override;
  void SetScrollBars(TScrollStyle value) override;
  void SetWantReturns(bool value) override;
  void SetWantTabs(bool value) override;
  void SetWordWrap(bool value) override;

 private:
  TcxCustomInnerMemo* memo_;
};

class TcxCustomMemo;

// The inner window of the memo: the platform's multi-line edit, forwarding input to the memo.
class TcxCustomInnerMemo : public TcxCustomInnerTextEdit {
  KORVAN_CLASS(TcxCustomInnerMemo, TcxCustomInnerTextEdit)

 public:
  explicit TcxCustomInnerMemo(TComponent* owner);
  ~TcxCustomInnerMemo() override;
  TcxCustomMemo* OwnerMemo() const;
  IcxInnerMemo* GetInnerMemo() { return memoHelper_.get(); }
  void Dispatch(TMessage& m) override;

 protected:
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void WMGetDlgCode(TMessage& m) override;
  void CreateWnd() override;
  void AdjustMargins() override;

 private:
  std::unique_ptr<TcxCustomInnerMemoHelper> memoHelper_;
  bool escDown_ = false;
};

class TcxCustomMemo : public TcxCustomTextEdit {
  KORVAN_CLASS(TcxCustomMemo, TcxCustomTextEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomMemo(TComponent* owner) : TcxCustomMemo(owner, TcxCustomMemoProperties::StaticClass()) {}
  TcxCustomMemo(TComponent* owner, TClass properties_class);

  TcxCustomMemoProperties* MemoProperties() const { return static_cast<TcxCustomMemoProperties*>(Properties()); }
  TcxCustomMemoProperties* EffectiveMemoProperties() {
    return static_cast<TcxCustomMemoProperties*>(GetEffectiveProperties());
  }
  TcxCustomInnerMemo* InnerMemo() const { return static_cast<TcxCustomInnerMemo*>(InnerTextEdit()); }
  IcxInnerMemo* QueryInnerMemo() const { return InnerMemo() ? InnerMemo()->GetInnerMemo() : nullptr; }
  TStrings* Lines() const { return QueryInnerMemo()->GetLines(); }
  void SetLines(TStrings* v) { Lines()->Assign(v); }
  bool ScrollBarsApplied() const { return scrollBarsApplied_; }

  // Enter when returns are wanted (or with Ctrl), Tab when tabs are.
  virtual bool ConsumesKey(Word key, TShiftState shift);
  // The value follows a change the memo itself made to the inner memo (paste, cut, clear)
  // unless the focused memo made it while the user typed.
  void SyncAfterInnerChange();

  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  bool IsEditingKey(Word key, TShiftState shift) override;
  bool IsEditingChar(char32_t c) override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  bool SendActivationKey(char32_t key) override;
  bool IsInplaceForPaint() override { return TcxCustomTextEdit::IsInplaceForPaint() || EffectiveMemoProperties()->WantTabs(); }
  bool CanAutoHeight() override;
  bool WantsScrollBars() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  void ReplaceSelection(const String& text) override;
  void ClearSelectionText() override;
  void WndProc(TMessage& m) override;
  void DataChanged() override;
  TcxEditSizeProperties GetEditSizeProperties() override { return {-1, 0, Width()}; }
  // Posts the update of the painted scroll bars unless one is on its way.
  void PostScrollBarsUpdateOnce();

 protected:
  void KeyDown(Word& key, TShiftState shift) override;
  void AdjustInnerEditPosition() override;
  // Inserts text at the selection: MaxLength counts characters before the selection.
  void InsertText(const String& text);

 private:
  bool scrollBarsApplied_ = false;
  bool inAdjust_ = false;
  bool scrollUpdatePosted_ = false;
};

class TcxMemo : public TcxCustomMemo {
  KORVAN_CLASS(TcxMemo, TcxCustomMemo)

 public:
  explicit TcxMemo(TComponent* owner) : TcxCustomMemo(owner, TcxMemoProperties::StaticClass()) {}
  TcxMemoProperties* Properties() const { return static_cast<TcxMemoProperties*>(TcxCustomEdit::Properties()); }
  void SetProperties(TcxMemoProperties* value) { Properties()->Assign(value); }
};

// The filter helper of the memo: like, not like, blank and not blank.
class TcxFilterMemoHelper : public TcxFilterTextEditHelper {
  KORVAN_CLASS(TcxFilterMemoHelper, TcxFilterTextEditHelper)

 public:
  void SupportedOperators(TcxCustomEditProperties* properties, TcxValueTypeClass value_type,
                          TcxFilterControlOperators& operators, bool extended) const override;
};

class TcxEditRepositoryMemoItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryMemoItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryMemoItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxMemoProperties::StaticClass()) {}
  TcxMemoProperties* Properties() const {
    return static_cast<TcxMemoProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxMemoProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

// The unit start: the class registrations, the editor registry entry and the filter helper.
void InitializeCxMemo();
