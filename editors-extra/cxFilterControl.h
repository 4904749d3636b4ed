// The link through which the filter control reads the filterable items of a component (a grid
// view) and the criteria it edits.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"
#include "editors/cxFilterControlUtils.h"
#include "editors/cxFormats.h"
#include "foundation/cxControls.h"
#include "foundation/cxLookAndFeelPainters.h"

class TcxCustomEditProperties;
class TcxCustomEditViewInfo;
class TcxCustomEditStyle;
class TcxCustomFilterControl;
class TcxFilterControlViewInfo;
class TcxComboBox;
class TcxTextEditProperties;
class TPopupMenu;
class TMenuItem;
class TCustomImageList;

class IcxFilterControl {
 public:
  virtual ~IcxFilterControl() = default;
  virtual String GetCaption(Integer index) = 0;
  virtual Integer GetCount() = 0;
  virtual TcxFilterCriteria* GetCriteria() = 0;
  virtual TObject* GetItemLink(Integer index) = 0;
  // The stable name written into filter streams.
  virtual String GetItemLinkName(Integer index) = 0;
  virtual String GetFieldName(Integer index) = 0;
  virtual TcxCustomEditProperties* GetProperties(Integer index) = 0;
  virtual TcxValueTypeClass GetValueType(Integer index) = 0;
};

// ---------------------------------------------------------------------------------------------
// The filter control's model: its working criteria and the rows that show it, one group row
// per criteria group and one condition row per criteria item. The control window
// (TcxCustomFilterControl, below) is built on it; the model alone converts without a window.

class TcxFilterControlModel;

// A leaf of the working criteria. It never filters records: its data value is always Null.
class TcxFilterControlCriteriaItem : public TcxFilterCriteriaItem {
 public:
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  void GetDataValue(Pointer data, Variant& v) override;
  void GetFieldCaption(String& s) override;
  void GetFieldName(String& s) override;

 private:
  // The item's index in the link, -1 when the item is not valid.
  Integer LinkIndex();
};

// The working criteria; maps item links to IDs and names through the link, for streams.
class TcxFilterControlCriteria : public TcxFilterCriteria {
 public:
  explicit TcxFilterControlCriteria(TcxFilterControlModel* control);
  Integer GetIDByItemLink(TObject* link) override;
  void GetNameByItemLink(TObject* link, String& s) override;
  TObject* GetItemLinkByID(Integer id) override;
  TObject* GetItemLinkByName(const String& name) override;
  TcxFilterCriteriaItemClass GetItemClass() override;
  void AssignEvents(TcxFilterCriteria*) override {}
  TcxFilterControlModel* Control() const { return control_; }

 private:
  TcxFilterControlModel* control_;
};

class TcxGroupViewInfo;
class TcxCustomRowViewInfo;

// Parts of the filter control that a point can hit. The button parts (their look changes on
// hover) are fchRowButton, fchValue, fchAddCondition and fchAddValue.
enum TcxFilterControlHitTest : Byte {
  fchNone,
  fchRowButton,
  fchBoolOperator,
  fchItem,
  fchOperator,
  fchValue,
  fchAddCondition,
  fchAddValue
};

bool IsFilterControlButtonPart(TcxFilterControlHitTest code);

// A tested point and what it hit: the control keeps one for the focus and one for the hot part.
struct TcxFilterControlHitInfo {
  TcxFilterControlHitTest Code = fchNone;
  TPoint Pos;
  TShiftState ShiftState;
  TcxCustomRowViewInfo* RowInfo = nullptr;
  Integer ValueNumber = -1;
};

class TcxCustomRowViewInfo {
 public:
  TcxCustomRowViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                       TcxCustomFilterCriteriaItem* criteria_item);
  virtual ~TcxCustomRowViewInfo() = default;
  // Group rows always; a condition row once it has an item and an operator.
  virtual bool IsReady() const { return true; }
  virtual bool IsGroup() const { return false; }

  String ButtonText() const;
  TcxFilterControlModel* Control() const { return control_; }
  TcxCustomFilterCriteriaItem* CriteriaItem() const { return criteriaItem_; }
  TcxGroupViewInfo* Parent() const { return parent_; }
  // The number of ancestor groups.
  Integer Level() const;
  // The last row of its parent group (the root counts as one).
  bool IsLast() const;

  // Layout, filled by Calculate (the view info of the filter control).
  virtual void Calculate(TcxFilterControlViewInfo& view_info, const TRect& bounds);
  virtual Integer RowWidth() const { return ButtonRect.Width() + Indent + 5; }
  // The part of the row under the point (fchNone when the point misses every part).
  virtual void GetHitInfo(const TPoint& p, TcxFilterControlHitInfo& info) const;
  TRect RowRect;
  TRect ButtonRect;
  TcxButtonState ButtonState = cxbsNormal;
  Integer Indent = 0;

 private:
  TcxFilterControlModel* control_;
  TcxGroupViewInfo* parent_;
  TcxCustomFilterCriteriaItem* criteriaItem_;
};

class TcxGroupViewInfo : public TcxCustomRowViewInfo {
 public:
  TcxGroupViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                   TcxFilterCriteriaItemList* criteria_group);
  bool IsGroup() const override { return true; }

  TcxFilterBoolOperatorKind BoolOperator() const { return boolOperator_; }
  void SetBoolOperator(TcxFilterBoolOperatorKind value) { boolOperator_ = value; }
  String BoolOperatorText() const;
  String Caption() const;
  Integer RowCount() const { return Integer(rows_.size()); }
  TcxCustomRowViewInfo* Rows(Integer index) const { return rows_.at(std::size_t(index)).get(); }
  // The row is owned by this group from now on.
  TcxCustomRowViewInfo* Add(std::unique_ptr<TcxCustomRowViewInfo> row);
  void Remove(TcxCustomRowViewInfo* row);
  void Clear() { rows_.clear(); }

  void Calculate(TcxFilterControlViewInfo& view_info, const TRect& bounds) override;
  Integer RowWidth() const override;
  void GetHitInfo(const TPoint& p, TcxFilterControlHitInfo& info) const override;
  TRect BoolOperatorRect;
  TRect CaptionRect;

 private:
  TcxFilterBoolOperatorKind boolOperator_;
  std::vector<std::unique_ptr<TcxCustomRowViewInfo>> rows_;
};

struct TcxValueInfo {
  Variant Value = Null();
  String ValueText;
  // Layout: where the value is painted and the editor view info that paints it.
  TRect ValueRect;
  std::shared_ptr<TcxCustomEditViewInfo> ViewInfo;
};

class TcxConditionViewInfo : public TcxCustomRowViewInfo {
 public:
  // A row created by the user (no criteria item) takes the first item.
  TcxConditionViewInfo(TcxFilterControlModel* control, TcxGroupViewInfo* parent,
                       TcxFilterCriteriaItem* criteria_item);
  bool IsReady() const override { return !itemText_.empty() && !OperatorText().empty(); }
  // False for the operators that take no value (9, 10 and 15 to 36).
  bool HasValues() const;
  // Reads the item's properties, helper, value type and supported operators.
  void PrepareEditor();
  // -1 picks the first item (by caption under SortItems); resets operator and values.
  void SetItemIndex(Integer index);
  // Keeps the values that the new operator can take when `keep` is set.
  void SetOperator(TcxFilterControlOperator value, bool keep = true);
  void AddValue(const Variant& value = Null(), const String& text = "");
  // Keeps at least one value (two for between), as the operator needs.
  void RemoveValue(Integer index);

  Integer ItemIndex() const { return itemIndex_; }
  TObject* ItemLink() const { return itemLink_; }
  const String& ItemText() const { return itemText_; }
  TcxFilterControlOperator Operator() const { return operator_; }
  String OperatorText() const { return FilterOperatorCaption(operator_); }
  const TcxFilterControlOperators& SupportedOperators() const { return supported_; }
  TClass HelperClass() const { return helperClass_; }
  TcxValueTypeClass ValueType() const { return valueType_; }
  std::vector<TcxValueInfo>& Values() { return values_; }
  const std::vector<TcxValueInfo>& Values() const { return values_; }
  // The item's editor properties (the control's default properties when it has none).
  TcxCustomEditProperties* ItemProperties() const;
  // The condition's own properties, prepared by the helper for painting filter values.
  TcxCustomEditProperties* Properties() const { return properties_.get(); }
  const TcxCustomFilterEditHelper* Helper() const { return FilterEditHelper(helperClass_); }
  TcxCustomEditData*& EditingData() { return editData_; }

  void Calculate(TcxFilterControlViewInfo& view_info, const TRect& bounds) override;
  Integer RowWidth() const override;
  void GetHitInfo(const TPoint& p, TcxFilterControlHitInfo& info) const override;
  TRect ItemRect;
  TRect OperatorRect;
  // The "+" button of the in-list operators (empty for the others).
  TRect AddValueRect;
  TcxButtonState AddValueState = cxbsNormal;
  // "and" for between, ", " for the in-list operators.
  String Separator;

 private:
  void ResetValues();
  void CalculateValues(TcxFilterControlViewInfo& view_info);

  TcxFilterControlOperator operator_ = 0;
  Integer itemIndex_ = -1;
  TObject* itemLink_ = nullptr;
  String itemText_;
  TClass helperClass_ = nullptr;
  TcxFilterControlOperators supported_;
  TcxValueTypeClass valueType_ = nullptr;
  std::vector<TcxValueInfo> values_;
  std::unique_ptr<TcxCustomEditProperties> properties_;
  TcxCustomEditData* editData_ = nullptr;
};

class TcxFilterControlModel {
 public:
  explicit TcxFilterControlModel(IcxFilterControl* link = nullptr);
  virtual ~TcxFilterControlModel();

  IcxFilterControl* Link() const { return link_; }
  // The rows then show the link's criteria, or a lone root when the link has none.
  virtual void SetLink(IcxFilterControl* value);
  bool HasItems() const;
  TcxFilterControlCriteria* Criteria() const { return criteria_.get(); }
  TcxGroupViewInfo* Root() const { return root_.get(); }
  // Every row in pre-order: a group, then its children depth first.
  const std::vector<TcxCustomRowViewInfo*>& RowList() const { return rowList_; }
  bool SortItems() const { return sortItems_; }
  void SetSortItems(bool value) { sortItems_ = value; }

  // Resets the rows to a lone root (AND) and empties the working criteria.
  virtual void Clear();
  // Raises EcxFilterControlError "Can't build filter from source" for an item the link does
  // not list; the rows then stay as they were.
  void BuildViewFromCriteria();
  // False, with the criteria unchanged, while a condition row lacks its item or operator.
  bool BuildCriteriaFromView();
  bool AllRowsReady() const;
  // A filter stream of the working criteria (version 3, with item names). Loading raises
  // "Can't build filter from source" when the link has no items, and a stream that cannot be
  // read or shown changes nothing; items the link does not have are left out.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  // Copies the rows into the link's criteria, fires OnApplyFilter and shows what the link
  // keeps; the rows are rebuilt even when the copy or the event raises.
  virtual void ApplyFilter();

  // Fired after each apply, with the control as sender (none for a bare model).
  TNotifyEvent OnApplyFilter;
  void RebuildRowList();
  // 7 and 8 go when the working criteria does not support LIKE.
  virtual void RemoveUnsupportedOperators(TcxFilterControlOperators& operators);
  // The first index whose item link is `link`, -1 when none.
  Integer ItemIndexOf(TObject* link) const;
  // Index of the item a new condition takes.
  Integer FirstItemIndex() const;
  // Painting and measuring of Null values; the control keeps one (none for a bare model).
  virtual TcxCustomEditProperties* GetDefaultProperties() { return nullptr; }
  // Released when a condition's item changes while a value editor exists.
  virtual void ItemPropertiesChanging(TcxConditionViewInfo*) {}

 protected:
  // Hooks of the control: ending value editing before the rows are read (its failure stops
  // the conversion), the rows being replaced by a lone root, and the apply notification.
  virtual void EndValueEditing() {}
  virtual void RowsReset() {}
  virtual TObject* ApplyFilterSender() { return nullptr; }

 private:
  void ResetRows();
  void AddGroupRows(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group);
  void AddGroupCriteria(TcxGroupViewInfo* row, TcxFilterCriteriaItemList* group);
  void AddConditionCriteria(TcxConditionViewInfo* row, TcxFilterCriteriaItemList* group);

  IcxFilterControl* link_;
  std::unique_ptr<TcxFilterControlCriteria> criteria_;
  std::unique_ptr<TcxGroupViewInfo> root_;
  std::vector<TcxCustomRowViewInfo*> rowList_;
  bool sortItems_ = false;
};

// ---------------------------------------------------------------------------------------------
// The filter control window: lays the rows out, paints them into one off-screen bitmap, and
// lets the user edit them with the mouse and the keyboard.

// Lays out the rows from the control's fonts, tests points and keeps the off-screen bitmap.
class TcxFilterControlViewInfo {
 public:
  explicit TcxFilterControlViewInfo(TcxCustomFilterControl* control);
  virtual ~TcxFilterControlViewInfo();

  TcxCustomFilterControl* Control() const { return control_; }
  // Lays out every row and the add-condition button; sizes the bitmap to the control.
  void Calculate();
  // Lays out one row again in its current bounds (hover changes).
  void CalculateRow(TcxCustomRowViewInfo* row);
  void CalcAddConditionState();
  virtual void CalcFocusRect();
  virtual void GetHitInfo(const TPoint& p, TShiftState shift, TcxFilterControlHitInfo& info);
  // Paints into the bitmap, then copies it to the canvas in one block transfer.
  void Paint(TCanvas* canvas, const TRect& clip);

  TcxCanvas* Canvas() const { return canvas_.get(); }
  TBitmap* Bitmap() const { return bitmap_.get(); }
  bool Enabled() const { return enabled_; }
  Integer RowHeight() const { return rowHeight_; }
  Integer MaxRowWidth() const { return maxRowWidth_; }
  Integer MinValueWidth() const { return minValueWidth_; }
  const TRect& AddConditionRect() const { return addConditionRect_; }
  const String& AddConditionCaption() const { return addConditionCaption_; }
  TcxButtonState AddConditionState() const { return addConditionState_; }
  const TRect& FocusRect() const { return focusRect_; }
  // The area inside the border and the scroll bars.
  TRect ContentRect() const;
  // Rows painted by the last Paint (for checks of what a paint touches).
  Integer PaintedRowCount() const { return paintedRows_; }

  // Measuring on the bitmap's canvas in a font.
  TSize TextSize(TFont* font, const String& text);
  // A text's rectangle at a pen position: extent + 2, centred vertically in the row.
  TRect TextRect(TFont* font, const String& text, Integer left, const TRect& row);
  // The value style, set up for one value.
  TcxCustomEditStyle* ValueStyle();

 private:
  void PaintRow(TcxCustomRowViewInfo* row);
  void PaintText(const String& text, TFont* font, const TRect& r, Integer dx);
  void PaintLevelLines(TcxCustomRowViewInfo* row);
  void PaintDotted(const TRect& r);

  TcxCustomFilterControl* control_;
  TRect addConditionRect_;
  String addConditionCaption_;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
  TcxButtonState addConditionState_ = cxbsNormal;
  TRect focusRect_;
  Integer maxRowWidth_ = 0;
  Integer rowHeight_ = 0;
  Integer minValueWidth_ = 0;
  bool enabled_ = false;
  Integer paintedRows_ = 0;
  std::vector<std::unique_ptr<TBitmap>> keepAlive_;
};

enum TcxFilterControlEditMode : Byte {
  fcemNone,
  fcemMenu,
  fcemItem,
  fcemBoolOperator,
  fcemOperator,
  fcemValue
};

class TcxCustomFilterControl : public TcxControl,
                               public TcxFilterControlModel,
                               public IcxFormatSettingsListener,
                               public IcxMouseTrackingCaller {
  KORVAN_CLASS(TcxCustomFilterControl, TcxControl)

 public:
  // The mouse left the control: no hot part.
  void MouseLeave() override;
  // A change of the locale's formats lays the values out again.
  void FormatChanged() override { RefreshLayout(); }
  explicit TcxCustomFilterControl(TComponent* owner);
  ~TcxCustomFilterControl() override;

  // ---- the model's operations that the control extends
  // Ends value editing without keeping the typed value, then a lone root (AND) with the
  // focus on its bool operator, scrolled home.
  void Clear() override;
  // Copies the rows into the link's criteria and fires OnApplyFilter (ending value editing
  // first, keeping the value; "Invalid value" stops it before anything changes).
  void ApplyFilter() override;
  TcxCustomEditProperties* GetDefaultProperties() override;
  void ItemPropertiesChanging(TcxConditionViewInfo* row) override;
  // Filter files: one filter stream each. A file that cannot be opened raises the
  // platform's file error; a link without items raises "Can't build filter from source".
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName);
  // The working criteria's filter text, with item captions / field names.
  virtual String FilterCaptionText();
  virtual String FilterFieldText();
  // The link the control reads its items through (none in the base).
  virtual IcxFilterControl* GetLinkInterface() { return Link(); }
  using TcxFilterControlModel::Link;
  bool HasLinkItems() { return HasItems(); }
  // A link that is no component (the grid's filter link); the rows show its criteria.
  void SetLink(IcxFilterControl* value) override;

  // ---- properties
  TFont* FontBoolOperator() const { return fontBoolOperator_.get(); }
  void SetFontBoolOperator(TFont* v);
  TFont* FontCondition() const { return fontCondition_.get(); }
  void SetFontCondition(TFont* v);
  TFont* FontItem() const { return fontItem_.get(); }
  void SetFontItem(TFont* v);
  TFont* FontValue() const { return fontValue_.get(); }
  void SetFontValue(TFont* v);
  bool HotTrackOnUnfocused() const { return hotTrackOnUnfocused_; }
  void SetHotTrackOnUnfocused(bool v) { hotTrackOnUnfocused_ = v; }
  const String& NullString() const { return nullString_; }
  void SetNullString(const String& v);
  bool IsNullStringStored() const;
  // A part font is stored when its name, height or character set differs from the control's
  // font, or its colour or style from the part's default.
  bool IsFontBoolOperatorStored() const;
  bool IsFontConditionStored() const;
  bool IsFontItemStored() const;
  bool IsFontValueStored() const;
  bool ShowLevelLines() const { return showLevelLines_; }
  void SetShowLevelLines(bool v);
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v);
  // The row menu shows images only when it is given an image list.
  TCustomImageList* MenuImages() const;
  void SetMenuImages(TCustomImageList* images);

  // ---- state
  TcxFilterControlViewInfo* ViewInfo() const { return viewInfo_.get(); }
  const TcxFilterControlHitInfo& FocusInfo() const { return focus_; }
  const TcxFilterControlHitInfo& HotInfo() const { return hot_; }
  TcxFilterControlEditMode EditMode() const { return editMode_; }
  bool ValueError() const { return valueError_; }
  Integer TopRow() const { return topRow_; }
  void SetTopRow(Integer v);
  Integer LeftOffset() const { return leftOffset_; }
  void SetLeftOffset(Integer v);
  TcxComboBox* ComboBox() const { return combo_; }
  TPopupMenu* RowMenu() const { return menu_; }
  TcxCustomEdit* ValueEditor() const { return valueEditor_; }
  // The index of a row in the flat list, -1 when it is not there.
  Integer RowIndex(TcxCustomRowViewInfo* row) const;
  Integer RowCount() const { return Integer(RowList().size()); }
  bool IsHotTrackAllowed();
  bool IsFocusedOrEditing();
  // The hand over the parts while hot tracking is allowed.
  TCursor GetCursorAt(Integer x, Integer y) override;

  // ---- layout
  void LockLayout() { ++lockCount_; }
  void UnlockLayout();
  // LayoutChanged when the lock is free, the window exists and no combo is dropped down.
  void RefreshLayout();
  virtual void LayoutChanged();
  void MakeFocusedVisible();
  // Scroll codes of a bar: lines, pages and the thumb; the row and offset are clamped.
  void ScrollVertical(TScrollCode code, Integer position);
  void ScrollHorizontal(TScrollCode code, Integer position);
  Integer MaxTopRow();
  Integer MaxLeftOffset();

  // ---- focus and commands
  void SetFocusedPart(TcxFilterControlHitTest code, Integer valueNumber = -1);
  void FocusRow(TcxCustomRowViewInfo* row);
  void FocusNext(bool jump);
  void FocusPrev(bool jump);
  void FocusNextRow(bool jump);
  void FocusPrevRow(bool jump);
  // Activates the focused part: menu, combo, value editor or the add buttons.
  void ActivatePart(bool byMouse);
  // Adds a condition to the group of the row (the last row when none).
  void AddCondition(TcxCustomRowViewInfo* row = nullptr);
  void AddGroup();
  void AddValue();
  // Ctrl+Delete: the focused value of a list, else the focused row.
  void Remove();

  virtual void ShowRowButtonMenu();
  virtual void EditBoolOperator();
  virtual void EditOperator();
  virtual void EditItem();
  // mode 1 by key (with the key), 2 by mouse, otherwise plainly.
  virtual void EditValue(Integer mode = 0, char32_t key = 0);
  // Ends value editing; with keep the typed value is checked and stored ("Invalid value"
  // keeps the editor open with the value-error flag set).
  void HideValueEditor(bool keep);
  virtual void FillItemsList(TStrings* strings);
  virtual void FillOperatorsList(TStrings* strings);
  virtual bool AllRowsReady() { return TcxFilterControlModel::AllRowsReady(); }

 protected:
  virtual void CreateInternalControls();
  virtual void DestroyInternalControls();
  virtual TcxFilterControlViewInfo* CreateViewInfo() { return new TcxFilterControlViewInfo(this); }
  // Texts of operators for a descendant to replace (none in the base).
  virtual String AdjustOperatorTextSource(const String& text) { return text; }
  void EndValueEditing() override;
  void RowsReset() override;
  TObject* ApplyFilterSender() override { return this; }

  // TcxControl
  // The whole control, border included, through the off-screen bitmap.
  void PaintBorderAndContent() override;
  void CreateWnd() override;
  void Resize() override;
  void Loaded() override;
  void ParentInternalControls() override;
  void ComputeScrollBarData() override;
  void CMEnabledChanged(TMessage& m) override;
  void CMFontChanged(TMessage& m) override;
  void NotifyFocusChanged() override;
  void NotifyMouseLeave(TControl* control) override;
  void LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) override;
  bool FocusesOnClick() override { return true; }
  bool MayFocus() override { return true; }

 private:
  void PartFontChanged(TObject*);
  bool IsPartFontStored(const TFont* font, TColor color, bool underline) const;
  void UpdateHot(const TPoint& p, TShiftState shift);
  void InvalidateRow(TcxCustomRowViewInfo* row);
  void ShowCombo(const TRect& r, const String& text, Integer itemCount);
  void ComboCloseUp();
  void ComboKeyDown(Word& key, TShiftState shift);
  void MenuClick(TObject* sender);
  void ReloadTexts();
  void CreateValueEditor();
  void ValueEditorKeyDown(Word& key, TShiftState shift);
  void RemoveRow(TcxCustomRowViewInfo* row);
  TcxGroupViewInfo* GroupOf(TcxCustomRowViewInfo* row);
  TcxConditionViewInfo* FocusedCondition();
  TRect FocusedPartRect();
  void CalculateAndShow();

  std::unique_ptr<TcxFilterControlViewInfo> viewInfo_;
  std::unique_ptr<TFont> fontBoolOperator_, fontCondition_, fontItem_, fontValue_;
  TcxFilterControlHitInfo focus_;
  TcxFilterControlHitInfo hot_;
  TPopupMenu* menu_ = nullptr;
  TcxComboBox* combo_ = nullptr;
  std::unique_ptr<TcxInplaceEditList> editList_;
  std::unique_ptr<TcxTextEditProperties> defaultProperties_;
  std::unique_ptr<TcxCustomEditStyle> valueStyle_;
  TcxCustomEdit* valueEditor_ = nullptr;
  Integer leftOffset_ = 0;
  Integer lockCount_ = 0;
  Integer topRow_ = 0;
  bool hotTrackOnUnfocused_ = true;
  String nullString_;
  bool showLevelLines_ = true;
  bool wantTabs_ = false;
  bool valueError_ = false;
  TcxFilterControlEditMode editMode_ = fcemNone;
  bool comboDroppedDown_ = false;
  friend class TcxFilterControlViewInfo;
};

// The filter control with a link component: a component that supports IcxFilterControl (a
// grid view); other components are taken as none.
class TcxFilterControl : public TcxCustomFilterControl {
  KORVAN_CLASS(TcxFilterControl, TcxCustomFilterControl)

 public:
  explicit TcxFilterControl(TComponent* owner);
  ~TcxFilterControl() override;
  TComponent* LinkComponent() const { return linkComponent_; }
  void SetLinkComponent(TComponent* value);
  IcxFilterControl* GetLinkInterface() override;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TComponent* linkComponent_ = nullptr;
};

// Unit start: the filter edit helpers and the shared dotted brush of the level lines.
void InitializeCxFilterControl();
