// The text kind: its properties (display texts from values with formats, providers and
// ranges, case and password echo, lookup items) and its view data and view info, which lay
// out and paint text cells and text editors.
#pragma once

#include <bitset>

#include "editors/cxDrawTextUtils.h"
#include "editors/cxEdit.h"
#include "editors/cxFormats.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

enum TcxEditEchoMode { eemNormal, eemPassword };
enum TcxTextEditingStyle { tesFreeText, tesListOrText, tesListOnly, tesNoTyping };
enum TcxTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };

using TcxNewLookupDisplayTextEvent = std::function<void(TObject* sender, const String& text)>;

class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
  KORVAN_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)

 public:
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  bool DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(bool v) { SetFlag(displayFormat_, v); }
  bool EditFormat() const { return editFormat_; }
  void SetEditFormat(bool v) { SetFlag(editFormat_, v); }
  bool MaxLength() const { return maxLength_; }
  void SetMaxLength(bool v);
  bool MaxValue() const { return maxValue_; }
  void SetMaxValue(bool v) { SetFlag(maxValue_, v); }
  bool MinValue() const { return minValue_; }
  void SetMinValue(bool v) { SetFlag(minValue_, v); }
  // Stored tests: a flag carries an assignment whose value the stream would not write.
  bool IsDisplayFormatStored() const;
  bool IsEditFormatStored() const;
  bool IsMaxValueStored() const;
  bool IsMinValueStored() const;

 private:
  void SetFlag(bool& flag, bool v) {
    if (flag == v) return;
    flag = v;
    NotifyPropertiesChanged();
  }
  bool displayFormat_ = false, editFormat_ = false, maxLength_ = false, maxValue_ = false,
       minValue_ = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties,
                                    public IcxFormatSettingsListener {
  KORVAN_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)

 public:
  explicit TcxCustomTextEditProperties(TPersistent* owner);
  ~TcxCustomTextEditProperties() override;
  void Assign(TPersistent* source) override;

  // The locale changed (the format controller tells).
  void FormatChanged() override;
  virtual void CheckValueBounds(const Variant& display_value, String& error_text, bool& error);
  virtual bool MatchesLookupItem(const String& text);
  virtual void GetBuiltInDisplayFormat(String& format) { format.clear(); }
  virtual Integer ProviderMaxLength();
  virtual TcxTextEditingStyle GetEditingStyle() { return hideCursor_ ? tesNoTyping : tesFreeText; }
  virtual bool UsesThousandSeparators(bool editing) { return false; }
  virtual void GetEditFormatInfo(bool& is_currency, bool& implicit_format, String& format);
  virtual bool HasNumericValue() { return false; }
  virtual bool IsMultiLine() { return false; }
  virtual bool HasValueBound(Integer kind);
  virtual bool HasValueRange();
  virtual void MaxLengthChanged() { NotifyPropertiesChanged(); }
  virtual bool UsesLookupData() { return GetLookupDataClass() != nullptr; }
  // The lookup data of the kind's editors (nil: none).
  virtual TClass GetLookupDataClass();
  // The page size of the lookup list; a page key moves by one less.
  virtual Integer GetLookupPageSize() { return 8; }
  // Keys a focused editor hands to its dropped-down lookup list.
  virtual bool IsLookupListKey(Word key, TShiftState shift) { return false; }
  virtual void AdjustDisplayText(String& text);
  virtual bool AcceptDisplayText(Variant& display_value, bool edit_focused);

  bool CanValidate() override { return true; }
  TClass GetContainerClass() override;
  void AlignmentChanged() override;
  void AssignAlignment(TcxEditAlignment* value) override;
  Byte GetDisplayFormatOptions() override { return dfoSupports; }
  String GetDefaultErrorText(Integer index) override;
  bool IsDisplayTextKind() override { return true; }
  bool ComparesEditValues() override { return true; }
  bool DisplayValuesEqual(const Variant& a, const Variant& b) override;
  String ValueToDisplayText(const Variant& edit_value, bool whole_text, bool for_display) override;
  Word GetSupportedOperations() override;
  bool IsEditValueValid(Variant& edit_value, bool edit_focused) override;
  bool CanResetEditValue() override { return GetEditingStyle() != tesNoTyping; }
  void PrepareDisplayValue(const Variant& edit_value, Variant& display_value,
                           bool edit_focused) override;
  void ValidateDisplayValue(Variant& display_value, String& error_text, bool& error,
                            IcxEditValidator* edit) override;
  Integer EditValueSource(bool) override { return 1; }
  TcxCustomEditViewData* CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                        bool hide_display_text = false) override;
  TcxCustomEditViewInfo* CreateViewInfo() override;

  // The display value of an edit value (editing or not).
  void EditValueToDisplayValue(const Variant& edit_value, bool edit_focused, Variant& display_value);
  String FormatNumericDisplayValue(const Variant& value, bool edit_focused);

  TcxTextEditPropertiesValues* AssignedValues() const {
    return static_cast<TcxTextEditPropertiesValues*>(TcxCustomEditProperties::AssignedValues());
  }
  TEditCharCase CharCase() const { return charCase_; }
  virtual void SetCharCase(TEditCharCase v);
  String DisplayFormat();
  void SetDisplayFormat(const String& v);
  TcxEditEchoMode EchoMode() const { return echoMode_; }
  void SetEchoMode(TcxEditEchoMode v) { SetAndNotify(echoMode_, v); }
  String EditFormat();
  void SetEditFormat(const String& v);
  bool HideCursor() const { return hideCursor_; }
  void SetHideCursor(bool v) { SetAndNotify(hideCursor_, v); }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { SetAndNotify(hideSelection_, v); }
  bool IncrementalSearch() const { return incrementalSearch_; }
  void SetIncrementalSearch(bool v) { SetAndNotify(incrementalSearch_, v); }
  bool InFormatChange() const { return inFormatChange_; }
  TStringList* LookupItems() const { return lookupItems_.get(); }
  Integer MaxLength();
  void SetMaxLength(Integer v);
  double MaxValue();
  void SetMaxValue(double v);
  double MinValue();
  void SetMinValue(double v);
  char32_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char32_t v) { SetAndNotify(passwordChar_, v); }
  bool UseDisplayFormatWhenEditing() const { return useDisplayFormatWhenEditing_; }
  void SetUseDisplayFormatWhenEditing(bool v) { SetAndNotify(useDisplayFormatWhenEditing_, v); }
  TcxTextEditViewStyle ViewStyle();
  void SetViewStyle(TcxTextEditViewStyle v);
  bool IsMaxLengthStored() const { return AssignedValues()->MaxLength(); }
  bool HighlightFixedListMatch() const { return highlightFixedListMatch_; }
  void SetHighlightFixedListMatch(bool v);
  bool ImmediateUpdateText() const { return immediateUpdateText_; }
  void SetImmediateUpdateText(bool v) { immediateUpdateText_ = v; }
  bool IsMRUList() const { return isMRUList_; }
  void SetIsMRUList(bool v) { SetAndNotify(isMRUList_, v); }
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool v) { SetAndNotify(oemConvert_, v); }
  bool LookupItemsSorted() const { return lookupItems_->Sorted(); }
  void SetLookupItemsSorted(bool v) { lookupItems_->SetSorted(v); }
  void SetLookupItems(TStringList* v) { lookupItems_->Assign(v); }
  // Characters accepted even where the data field would refuse them (the first 256 codes).
  std::bitset<256>& ExtraValidChars() { return extraValidChars_; }
  bool IsExtraValidChar(char32_t c) const { return c < 256 && extraValidChars_[c]; }
  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

 protected:
  // Stores a changed setting and tells the change (for the kinds' own settings too).
  template <class T>
  void SetAndNotify(T& field, T value) {
    if (field == value) return;
    field = value;
    NotifyPropertiesChanged();
  }

 private:
  template <class T>
  bool SetAssignedValue(T& field, const T& value, bool (TcxTextEditPropertiesValues::*flag)() const,
                        void (TcxTextEditPropertiesValues::*mark)(bool));

  TEditCharCase charCase_ = ecNormal;
  String displayFormat_;
  TcxEditEchoMode echoMode_ = eemNormal;
  String editFormat_;
  bool inFormatChange_ = false;
  bool hideCursor_ = false;
  bool hideSelection_ = true;
  bool incrementalSearch_ = true;
  std::unique_ptr<TStringList> lookupItems_;
  Integer maxLength_ = 0;
  double maxValue_ = 0, minValue_ = 0;
  char32_t passwordChar_ = 0;
  bool useDisplayFormatWhenEditing_ = false;
  bool highlightFixedListMatch_ = true;
  bool immediateUpdateText_ = false;
  bool isMRUList_ = false;
  bool oemConvert_ = false;
  std::bitset<256> extraValidChars_;
};

class TcxTextEditProperties : public TcxCustomTextEditProperties {
  KORVAN_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)

 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  void SetTextAssignedValues(TcxTextEditPropertiesValues* v) { AssignedValues()->Assign(v); }
};

// Unit routines of the text kinds.
void ApplyCharCase(String& text, TEditCharCase char_case);
bool IsDigitChar(char32_t c);
String ExtractExponent(String& text);
void RemoveThousandSeparators(String& text);
void AddThousandSeparators(String& text);

// ---- view data and view info ---------------------------------------------------------------------

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
  KORVAN_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)

 public:
  bool HasComboStyle = false;
  std::function<void(TcxCanvas* canvas, const TRect& r)> OwnerDraw;
  bool PaintsAsSelection = false;
  Integer DrawTextFlags = 0;
  TcxTextEditingStyle EditingStyle = tesFreeText;
  bool DroppedDown = false;
  bool InnerEditShowsText = false;
  bool IsOwnerDrawn = false;
  Integer LineLimit = 0;
  Integer SelStart = 0, SelLength = 0;
  TColor SelTextColor = clHighlightText, SelBackgroundColor = clHighlight;
  String Text;
  TRect TextRect;
  // The layout cache: prepared once per calculation, reused by every paint.
  struct TTextOutData {
    bool ForceEndEllipsis = false;
    bool Prepared = false;
    Integer RowCount = 0;
    TcxTextLayoutParams Params;
    TRect Rect;
    TcxTextRows Rows;
  } TextOutData;

  void DrawEditor(TcxCanvas* canvas) override;
  void TranslateBy(Integer dx, Integer dy) override;
  bool QueryHintInRect(TcxCanvas* canvas, const TPoint& p, const TRect& area, String& text,
                       bool& is_multi_line, TRect& text_bounds) override;
  virtual void DrawText(TcxCanvas* canvas);
  bool TextNeedsHint(TcxCanvas* canvas, const TRect& area);

 private:
  void PrepareTextOutData(TcxCanvas* canvas);
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
  KORVAN_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)

 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  bool FormatsByProvider = false;

  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties);
  }
  // The editor control's inner edit shows the text (the view info does not draw it).
  virtual bool UsesInnerEditText();
  virtual Integer GetMaxLineCount() { return MaxLineCount; }
  virtual bool IsComboStyle() { return false; }
  virtual void PrepareTextLayout(TcxCanvas* canvas, TcxCustomTextEditViewInfo* view_info);
  virtual void SetDisplayText(const Variant& value, TcxCustomTextEditViewInfo* view_info);
  virtual Integer GetDrawTextFlags();
  virtual void GetTextInsets(TRect& insets);

  void InitFromProperties() override;
  void GetClientText(const Variant& edit_value, String& text) override;
  void GetEditContentSize(TcxCanvas* canvas, const Variant& edit_value,
                          const TcxEditSizeProperties& request, TSize& size) override;
  void CalculateViewInfo(TcxCanvas* canvas, const TRect& bounds, const TPoint& p, Integer button,
                         TShiftState shift, TcxCustomEditViewInfo* view_info,
                         bool is_mouse_event) override;
  void FillDisplayText(TcxCanvas* canvas, const Variant& edit_value,
                       TcxCustomEditViewInfo* view_info) override;
  void InitSelectionColors(TcxCustomTextEditViewInfo* view_info);

 private:
  void AdjustCellTextWrapping(TcxCanvas* canvas, TcxCustomTextEditViewInfo* view_info);
};

// Measures a text for auto height and width (also used by the memo and check box kinds).
void MeasureTextContent(TcxCanvas* canvas, TcxCustomEditViewData* view_data, const String& text,
                        TSize& size, bool add_frame_width, Integer fixed_row_count,
                        const TcxEditSizeProperties& request, Integer flags);

// ---- inner text edit ------------------------------------------------------------------------------

class TcxCustomTextEdit;
class TcxCustomInnerTextEdit;

// What an editor control asks of its inner edit window (the generic part).
class IcxCustomInnerEdit {
 public:
  virtual ~IcxCustomInnerEdit() = default;
  virtual TWinControl* InnerControl() = 0;
  virtual TcxContainer* ContainerControl() = 0;
  // Runs a message through the edit window's own processing, past every override.
  virtual LRESULT CallEditWndProc(UINT msg, WPARAM wparam, LPARAM lparam) = 0;
  virtual Variant GetTextValue() = 0;
  virtual TNotifyEvent GetChangeEvent() = 0;
  virtual bool IsReadOnly() = 0;
  virtual void LockBoundsChanges(bool lock) = 0;
  virtual void FocusWithoutSelecting() = 0;
  virtual void SetTextValue(const Variant& value) = 0;
  virtual void SetParentControl(TWinControl* parent) = 0;
  virtual void SetChangeEvent(TNotifyEvent handler) = 0;
  virtual void SetReadOnlyState(bool value) = 0;
};

// The text-specific part: selection, case, echo, limits.
class IcxInnerTextEdit : public IcxCustomInnerEdit {
 public:
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual TAlignment Alignment() = 0;
  virtual bool GetAutoSelect() = 0;
  virtual TEditCharCase GetCharCase() = 0;
  virtual TcxEditEchoMode GetEchoMode() = 0;
  virtual bool GetHideSelection() = 0;
  // The low byte of a double-byte input-method character still being typed (0: none).
  virtual Byte GetPendingImeByte() = 0;
  virtual bool GetKeyConsumed() = 0;
  virtual Integer MaxLength() = 0;
  virtual bool GetMultiLine() = 0;
  virtual bool GetOEMConvert() = 0;
  virtual TNotifyEvent GetOnSelChange() = 0;
  virtual char32_t GetPasswordChar() = 0;
  virtual Integer GetSelLength() = 0;
  virtual Integer GetSelStart() = 0;
  virtual String GetSelText() = 0;
  virtual void SelectAll() = 0;
  virtual void SetAlignment(TAlignment value) = 0;
  virtual void SetAutoSelect(bool value) = 0;
  virtual void SetCharCase(TEditCharCase value) = 0;
  virtual void SetEchoMode(TcxEditEchoMode value) = 0;
  virtual void SetHideSelection(bool value) = 0;
  virtual void SetKeyConsumed(bool value) = 0;
  virtual void SetMaxLength(Integer value) = 0;
  virtual void SetOEMConvert(bool value) = 0;
  virtual void SetOnSelChange(TNotifyEvent handler) = 0;
  virtual void SetPasswordChar(char32_t value) = 0;
  virtual void SetSelLength(Integer value) = 0;
  virtual void SetSelStart(Integer value) = 0;
  virtual void SetSelText(const String& value) = 0;
};

// Implements the inner edit's interface over the edit, so that other inner controls can stand
// in for it.
class TcxCustomInnerTextEditHelper : public TcxInterfacedPersistent, public IcxInnerTextEdit {
  KORVAN_CLASS(TcxCustomInnerTextEditHelper, TcxInterfacedPersistent)

 public:
  explicit TcxCustomInnerTextEditHelper(TcxCustomInnerTextEdit* edit);
  TcxCustomInnerTextEdit* Edit() const { return edit_; }

  TWinControl* InnerControl() override;
  TcxContainer* ContainerControl() override;
  LRESULT CallEditWndProc(UINT msg, WPARAM wparam, LPARAM lparam) override;
  Variant GetTextValue() override;
  TNotifyEvent GetChangeEvent() override;
  bool IsReadOnly() override;
  void LockBoundsChanges(bool lock) override;
  void FocusWithoutSelecting() override;
  void SetTextValue(const Variant& value) override;
  void SetParentControl(TWinControl* parent) override;
  void SetChangeEvent(TNotifyEvent handler) override;
  void SetReadOnlyState(bool value) override;
  void ClearSelection() override;
  void CopyToClipboard() override;
  TAlignment Alignment() override;
  bool GetAutoSelect() override;
  TEditCharCase GetCharCase() override;
  TcxEditEchoMode GetEchoMode() override;
  bool GetHideSelection() override;
  Byte GetPendingImeByte() override;
  bool GetKeyConsumed() override;
  Integer MaxLength() override;
  bool GetMultiLine() override { return false; }
  bool GetOEMConvert() override;
  TNotifyEvent GetOnSelChange() override;
  char32_t GetPasswordChar() override;
  Integer GetSelLength() override;
  Integer GetSelStart() override;
  String GetSelText() override;
  void SelectAll() override;
  void SetAlignment(TAlignment value) override;
  void SetAutoSelect(bool value) override;
  void SetCharCase(TEditCharCase value) override;
  void SetEchoMode(TcxEditEchoMode value) override;
  void SetHideSelection(bool value) override;
  void SetKeyConsumed(bool value) override;
  void SetMaxLength(Integer value) override;
  void SetOEMConvert(bool value) override;
  void SetOnSelChange(TNotifyEvent handler) override;
  void SetPasswordChar(char32_t value) override;
  void SetSelLength(Integer value) override;
  void SetSelStart(Integer value) override;
  void SetSelText(const String& value) override;

  // The selection buffered while an input-method character is being typed.
  Integer BufferedSelStart = 0, BufferedSelLength = 0;

 private:
  TcxCustomInnerTextEdit* edit_;
};

// The edit window a text editor hosts for typing: it owns no logic, forwards keys, mouse
// (in the owner's client coordinates), focus and clipboard to its owner, paints no border or
// background of its own, and tells whether a key changed text or selection.
class TcxCustomInnerTextEdit : public TCustomEdit, public IcxContainerInnerControl {
  KORVAN_CLASS(TcxCustomInnerTextEdit, TCustomEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomInnerTextEdit(TComponent* owner);
  ~TcxCustomInnerTextEdit() override;

  TWinControl* InnerControlObject() override { return this; }
  TcxContainer* OwningContainer() override;
  TcxCustomTextEdit* OwnerEdit() const;
  TcxCustomInnerTextEditHelper* Helper() const { return helper_.get(); }
  IcxInnerTextEdit* GetInnerEdit() { return helper_.get(); }

  TAlignment InnerAlignment() const { return alignment_; }
  void SetInnerAlignment(TAlignment value);
  TcxEditEchoMode EchoMode() const { return echoMode_; }
  void SetEchoMode(TcxEditEchoMode value);
  char32_t InnerPasswordChar() const { return innerPasswordChar_; }
  void SetInnerPasswordChar(char32_t value);
  bool KeyConsumed() const { return keyConsumed_; }
  void SetKeyConsumed(bool value) { keyConsumed_ = value; }
  Integer ImeState() const { return imeState_; }
  Byte ImeByte() const { return imeByte_; }
  void LockBounds(bool lock);
  bool CanFocus() override;
  void SetBounds(Integer left, Integer top, Integer width, Integer height) override;
  void WndProc(TMessage& m) override;
  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  // The edit's own handling of a message (the window procedure it had before subclassing).
  LRESULT CallEditProc(UINT msg, WPARAM wparam, LPARAM lparam) { return EditWndProc(msg, wparam, lparam); }
  TNotifyEvent OnSelChange;

  virtual void AdjustMargins();
  virtual void MouseEnter(TControl* control) {}
  virtual void MouseLeave(TControl* control);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void CreateWnd() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) override { return false; }
  void WMGetDlgCode(TMessage& m) override;
  void WMSetFocus(TMessage& m) override;
  void WMKillFocus(TMessage& m) override;
  void WMEraseBkgnd(TMessage& m) override { m.Result = 1; }
  void ApplyPasswordChar();

 private:
  void ForwardKey(Word& key, bool (TcxCustomInnerTextEdit::*)(Word&, TShiftState), TShiftState shift);
  TAlignment alignment_ = taLeftJustify;
  TcxEditEchoMode echoMode_ = eemNormal;
  std::unique_ptr<TcxCustomInnerTextEditHelper> helper_;
  Integer imeState_ = 0;
  Byte imeByte_ = 0;
  bool keyConsumed_ = false;
  bool creating_ = true;
  Integer boundsLockCount_ = 0;
  char32_t innerPasswordChar_ = 0;
  friend class TcxCustomInnerTextEditHelper;
};

// The state of an inner edit saved before a key, to tell whether the key changed anything.
struct TcxCustomInnerTextEditPrevState {
  bool TextSaved = false;
  String Text;
  Integer SelLength = 0, SelStart = 0;
};
void SaveEditState(IcxInnerTextEdit* helper, bool save_text, TcxCustomInnerTextEditPrevState& state);
bool EditStateChanged(IcxInnerTextEdit* helper, const TcxCustomInnerTextEditPrevState& state);
// The index of the character at the caret of an edit window.
Integer CaretCharIndex(TCustomEdit* control);

// ---- incremental lookup data -----------------------------------------------------------------------

class TcxCustomEditListBox;

// What a text editor asks of its lookup items: completion of typed text, moves through the
// items, the text of a key, and (for drop-down kinds) the visual list.
class IcxTextEditLookupData {
 public:
  virtual ~IcxTextEditLookupData() = default;
  // A user resize of the popup: the list may adjust the requested content size; max_height
  // limits the height (0: no limit).
  virtual bool CanResizeList(TSize& size, Integer max_height) = 0;
  virtual void FinalizeList() = 0;
  virtual void OwnerDestroying() = 0;
  virtual void InitPopup() = 0;
  virtual void PopupShownWithText(const String& text) = 0;
  virtual bool IsItemText(const String& text) = 0;
  virtual TWinControl* GetListControl() = 0;
  virtual Variant ReadCurrentKey() = 0;
  virtual String ItemTextForKey(const Variant& key) = 0;
  virtual TNotifyEvent GetKeyChangedEvent() = 0;
  virtual TNotifyEvent GetSelectItemEvent() = 0;
  virtual void GetListContentSize(TSize& size) = 0;
  // 0 first, 1 last, 2 next, 3 previous, 4 page up, 5 page down.
  virtual void MoveItem(Integer direction, bool cycle) = 0;
  virtual void CreateListIn(TWinControl* parent) = 0;
  virtual bool HasNoItems() = 0;
  virtual bool PointOverList(const TPoint& screen_point) = 0;
  virtual bool FindPrefix(String& text, String& tail, bool next) = 0;
  virtual void PlaceList(const TRect& r) = 0;
  virtual void RefreshFromProperties() = 0;
  virtual void CommitListItem() = 0;
  virtual void WriteCurrentKey(const Variant& key) = 0;
  virtual void SetKeyChangedEvent(TNotifyEvent handler) = 0;
  virtual void SetSelectItemEvent(TNotifyEvent handler) = 0;
  virtual void SyncWithEditText() = 0;
};

enum TcxLookupMove { lmFirst, lmLast, lmNext, lmPrevious, lmPageUp, lmPageDown };

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent, public IcxTextEditLookupData {
  KORVAN_CLASS(TcxCustomTextEditLookupData, TcxInterfacedPersistent)

 public:
  using CreateArgType = TPersistent*;
  // The owner is the text edit.
  explicit TcxCustomTextEditLookupData(TPersistent* owner);
  ~TcxCustomTextEditLookupData() override;
  TcxCustomTextEdit* OwnerEdit() const { return edit_; }
  Integer CurrentKey() const { return currentKey_; }
  Integer ItemIndex() const { return itemIndex_; }
  TcxCustomEditListBox* List() const { return list_; }

  virtual String GetItemText(Integer index);
  virtual Integer GetItemCount();
  virtual TClass GetListBoxClass() { return nullptr; }
  virtual void ListSelectionChanged();
  virtual bool SearchItems(String& text, String& tail, bool exact, bool next);
  virtual void ItemsChanged();
  virtual void DoCreateListIn(TWinControl* parent);
  virtual void DoPlaceList(const TRect& r);
  virtual void DoRefreshFromProperties() { ItemsChanged(); }
  virtual void DoSyncWithEditText();

  // IcxTextEditLookupData
  bool CanResizeList(TSize& size, Integer max_height) override { return true; }
  void FinalizeList() override { SelectListItem(currentKey_); }
  void OwnerDestroying() override {}
  void InitPopup() override {}
  void PopupShownWithText(const String& text) override {}
  bool IsItemText(const String& text) override { return FindItem(text) != -1; }
  TWinControl* GetListControl() override;
  Variant ReadCurrentKey() override { return Variant(currentKey_); }
  String ItemTextForKey(const Variant& key) override;
  TNotifyEvent GetKeyChangedEvent() override { return onKeyChanged_; }
  TNotifyEvent GetSelectItemEvent() override { return onSelectItem_; }
  void GetListContentSize(TSize& size) override { size = TSize(0, 0); }
  void MoveItem(Integer direction, bool cycle) override;
  void CreateListIn(TWinControl* parent) override { DoCreateListIn(parent); }
  bool HasNoItems() override { return GetItemCount() == 0; }
  bool PointOverList(const TPoint& screen_point) override;
  bool FindPrefix(String& text, String& tail, bool next) override {
    return SearchItems(text, tail, false, next);
  }
  void PlaceList(const TRect& r) override { DoPlaceList(r); }
  void RefreshFromProperties() override { DoRefreshFromProperties(); }
  void CommitListItem() override;
  void WriteCurrentKey(const Variant& key) override;
  void SetKeyChangedEvent(TNotifyEvent handler) override { onKeyChanged_ = std::move(handler); }
  void SetSelectItemEvent(TNotifyEvent handler) override { onSelectItem_ = std::move(handler); }
  void SyncWithEditText() override { DoSyncWithEditText(); }

  Integer FindItem(const String& text);
  void SetCurrentKeyIndex(Integer key);
  void SelectListItem(Integer index);

 protected:
  void NotFoundReset(const String& text, bool exact);
  void FireSelectItem() {
    if (onSelectItem_) onSelectItem_(this);
  }

  Integer currentKey_ = -1;
  Integer itemIndex_ = -1;
  TcxCustomEditListBox* list_ = nullptr;
  TcxCustomTextEdit* edit_;
  TNotifyEvent onKeyChanged_;
  TNotifyEvent onSelectItem_;
};

// The list a drop-down text kind shows in its popup (made by the combo kinds' lookup data).
class TcxCustomEditListBox : public TcxCustomInnerListBox {
  KORVAN_CLASS(TcxCustomEditListBox, TcxCustomInnerListBox)

 public:
  explicit TcxCustomEditListBox(TComponent* owner);
  bool HotTrackItems = true;
  TNotifyEvent OnSelectionChanged;
  void SetItemCount(Integer count);
  void NotifySelectionChanged();
  // The window exists and shows (the control's Visible stays set while its popup is hidden).
  bool IsListVisible() { return HandleAllocated() && IsWindowVisible(Handle()); }
};

// ---- text edit control -----------------------------------------------------------------------------

// The single-line text editor: the editor control joined to an inner edit window and to
// incremental lookup data. Kinds pass their properties class (and, for other inner windows,
// their inner edit class) to the constructor.
class TcxCustomTextEdit : public TcxCustomEdit, public IcxFormatSettingsListener {
  KORVAN_CLASS(TcxCustomTextEdit, TcxCustomEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomTextEdit(TComponent* owner)
      : TcxCustomTextEdit(owner, false, TcxCustomTextEditProperties::StaticClass()) {}
  TcxCustomTextEdit(TComponent* owner, bool in_place, TClass properties_class,
                    TClass inner_edit_class = nullptr);
  ~TcxCustomTextEdit() override;

  // Virtual operations of the text kind.
  void FormatChanged() override;
  virtual void ApplyStyleToInnerEdit();
  virtual bool ComposeInsertedText(const String& text, String& new_text, Integer& new_caret);
  virtual void CheckRangeOnPropertiesChange();
  virtual void ValueRangeChanged() {}
  virtual void FireNewLookupDisplayText(const String& text);
  virtual Integer InnerEditTextHeight();
  virtual Integer ItemIndex();
  virtual TObject* GetItemObject();
  virtual bool CanNavigateLookupItems(bool by_wheel) { return false; }
  virtual void LookupItemSelected(TObject* sender);
  virtual void TextForGetText(String& text);
  virtual bool ApplyWindowText(const String& text) { return TrySetDisplayText(text); }
  virtual Variant ItemIndexToKey(Integer index) { return Variant(index); }
  virtual Variant KeyToEditValue(const Variant& key);
  virtual Integer KeyToItemIndex(const Variant& key);
  virtual bool HasNoDataStorage();
  virtual void ResetFindSelection();
  virtual void InnerSelectionChanged(TObject* sender) {}
  virtual void SetTextIfModifiable(const String& text);
  virtual void SetItemIndex(Integer value);
  virtual void ReplaceSelection(const String& text);
  virtual void ReconcileTextWithLookup();
  virtual void ClearSelectionText();
  virtual void ResetToEnterValue() { DataBinding()->Reset(); }
  virtual bool TrySetDisplayText(const String& text);
  virtual void DisplayToEditValue(const Variant& display_value, Variant& edit_value, bool edit_focused) {
    edit_value = display_value;
  }

  // Overrides of the editor control.
  bool Focused() override { return FocusIsInside(); }
  bool IsEditingKey(Word key, TShiftState shift) override;
  bool IsEditingChar(char32_t c) override;
  void DataChanged() override;
  void DoEditKeyDown(Word& key, TShiftState shift) override;
  void DoEditKeyPress(char32_t& key) override;
  TcxEditSizeProperties GetEditSizeProperties() override;
  Variant CurrentDisplayText() override;
  bool CanModifyEdit() override;
  Variant GetDisplayValue() override { return Variant(Text()); }
  void InternalSetDisplayValue(const Variant& value) override;
  void SetDisplayValue(const Variant& value) override;
  bool AcceptsChar(char32_t c) override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;
  void SetValidatedDisplayValue(const Variant& value) override;
  void SynchronizeDisplayValue() override;
  void UpdateEditValueFromDisplay() override;
  void RefreshDisplayText() override;
  bool HandlesNavigationKeys() override { return true; }
  void UnhookInnerEdit() override;
  void HookInnerEdit() override;
  void CopyTextOut() override;
  void CutToClipboard() override;
  void PasteFromClipboard() override;
  bool IsInnerEditShown() override;
  void SelectWholeText() override;
  bool RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) override;
  void AlignInnerControl() override;
  void WndProc(TMessage& m) override;

  // Queries used by other editors.
  IcxInnerTextEdit* QueryInnerTextEdit() const { return innerEdit_; }
  TcxCustomInnerTextEdit* InnerTextEdit() const { return inner_; }
  IcxTextEditLookupData* QueryLookupData() const { return lookupData_.get(); }
  TcxCustomTextEditLookupData* LookupData() const { return lookupData_.get(); }
  TcxCustomTextEditViewInfo* GetTextEditViewInfo() {
    return dynamic_cast<TcxCustomTextEditViewInfo*>(ViewInfo());
  }
  TcxCustomTextEditProperties* EffectiveTextProperties() {
    return static_cast<TcxCustomTextEditProperties*>(GetEffectiveProperties());
  }
  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties());
  }
  Integer GetCaretCharIndex();
  bool IsInnerEditUnavailable() { return !inner_ || InDestruction(); }
  bool UsesLookupData() { return lookupData_ && EffectiveTextProperties()->UsesLookupData(); }

  // Selection (characters).
  Integer SelStart();
  Integer SelLength();
  void SetSelStart(Integer value);
  void SetSelLength(Integer value);
  void SelectRange(Integer start, Integer length) {
    SetSelStart(start);
    SetSelLength(length);
  }
  String SelText() { return innerEdit_ ? innerEdit_->GetSelText() : String(); }
  bool FindSelection() const { return findSelection_; }
  void SetFindSelection(bool value);
  void SelectItemByObject(TObject* object);
  bool IncrementalSearch(String& text);

  bool BeepOnEnter() const { return beepOnEnter_; }
  void SetBeepOnEnter(bool value) { beepOnEnter_ = value; }
  bool CloseKeyPending() const { return closeKeyPending_; }
  void SetCloseKeyPending(bool value) { closeKeyPending_ = value; }
  bool LookupTextChange() const { return lookupTextChange_; }
  void SetLookupTextChange(bool value) { lookupTextChange_ = value; }
  bool LookupNavigating() const { return lookupNavigating_; }
  bool SynchronizingDisplay() const { return synchronizingDisplay_; }
  bool InOnEditing() const { return inOnEditing_; }
  // The inner edit's keys and characters reach the editor's handlers through these.
  void InnerKeyDown(Word& key, TShiftState shift) { KeyDown(key, shift); }
  void InnerKeyPress(char32_t& key) { KeyPress(key); }
  void InnerKeyUp(Word& key, TShiftState shift) { KeyUp(key, shift); }
  void InnerMouseDown(TMouseButton b, TShiftState s, Integer x, Integer y) { MouseDown(b, s, x, y); }
  void InnerMouseMove(TShiftState s, Integer x, Integer y) { MouseMove(s, x, y); }
  void InnerMouseUp(TMouseButton b, TShiftState s, Integer x, Integer y) { MouseUp(b, s, x, y); }
  void InnerDblClick() { DblClick(); }
  // Handles a message of the inner window (True: handled, it goes no further).
  virtual bool InnerEditMessage(TMessage& m);
  bool InnerEditHooked() const { return innerHooked_; }

 protected:
  String GetText() const override;
  void SetTextValue(const String& value) override;
  void ChildVisibleRegion(const TRect& area, TControl* child, TcxContainerInnerControlBounds& bounds) override;
  void UpdateInnerRegion();
  // The text lives in the inner edit: the control's own window keeps no text.
  void CMTextChanged(TMessage& m) override {
    TControl::CMTextChanged(m);
    HandleTextChange();
  }
  void Loaded() override;
  void DoExit() override;
  void KeyPress(char32_t& key) override;
  bool DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) override;
  virtual void AdjustInnerEditPosition();
  void ReformatThousandSeparators();
  void UpdateFindSelectionDisplay();
  void MoveLookup(Integer direction);

 private:
  void SetUpTextEditor(TClass inner_edit_class);
  bool beepOnEnter_ = true;
  bool findSelection_ = false;
  bool inSetText_ = false;
  bool synchronizingDisplay_ = false;
  bool lookupNavigating_ = false;
  String savedText_;
  bool inAdjustInnerEditPosition_ = false;
  bool closeKeyPending_ = false;
  bool lookupTextChange_ = false;
  bool inOnEditing_ = false;
  bool innerHooked_ = false;
  bool destroying_ = false;
  bool updatingEditValue_ = false;
  TcxCustomInnerTextEdit* inner_ = nullptr;
  IcxInnerTextEdit* innerEdit_ = nullptr;
  std::unique_ptr<TcxCustomTextEditLookupData> lookupData_;
};

class TcxTextEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TcxTextEdit, TcxCustomTextEdit)

 public:
  explicit TcxTextEdit(TComponent* owner)
      : TcxCustomTextEdit(owner, false, TcxTextEditProperties::StaticClass()) {}
  TcxTextEditProperties* Properties() const {
    return static_cast<TcxTextEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxTextEditProperties* value) { Properties()->Assign(value); }
};

// The text kind's unit start: the properties registry entry and the filter helper.
void InitializeCxTextEdit();
