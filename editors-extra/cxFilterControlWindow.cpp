// The filter control window: construction, properties, layout refresh and scrolling, the focus
// walk, hot tracking, the row menu, the combo box of items, operators and bool operators, and
// the in-place value editors.
#include <algorithm>

#include "editors-extra/cxFilterControl.h"
#include "editors-extra/cxFilterControlStrs.h"
#include "editors/cxComboBox.h"
#include "editors/cxFormats.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxGeometry.h"
#include "vcl/Forms.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"

namespace {

constexpr TcxFilterControlOperator kInList = 13, kNotInList = 14;
bool IsListCode(TcxFilterControlOperator op) { return op == kInList || op == kNotInList; }

const TcxResourceStringRec* const kBoolTexts[4] = {&cxSFilterBoolOperatorAnd, &cxSFilterBoolOperatorOr,
                                                   &cxSFilterBoolOperatorNotAnd, &cxSFilterBoolOperatorNotOr};

void InitPartFont(TFont* font, TFont* base, TColor color, bool underline) {
  font->Assign(base);
  font->SetColor(color);
  font->SetStyle(underline ? TFontStyles{fsUnderline} : TFontStyles{});
}

}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxCustomFilterControl)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxFilterControl) {
  using C = TcxFilterControl;
  p.Bool("HotTrackOnUnfocused", &C::HotTrackOnUnfocused, &C::SetHotTrackOnUnfocused).Default(true);
  p.Str("NullString", [](const C* o) { return o->NullString(); }, &C::SetNullString).Stored(&C::IsNullStringStored);
  p.Bool("ShowLevelLines", &C::ShowLevelLines, &C::SetShowLevelLines).Default(true);
  p.Bool("SortItems", &C::SortItems, &TcxFilterControlModel::SetSortItems).Default(false);
  p.Bool("WantTabs", &C::WantTabs, &C::SetWantTabs).Default(false);
  p.Object("FontBoolOperator", &C::FontBoolOperator, &C::SetFontBoolOperator, TFont::StaticClass())
      .Stored(&C::IsFontBoolOperatorStored);
  p.Object("FontCondition", &C::FontCondition, &C::SetFontCondition, TFont::StaticClass())
      .Stored(&C::IsFontConditionStored);
  p.Object("FontItem", &C::FontItem, &C::SetFontItem, TFont::StaticClass()).Stored(&C::IsFontItemStored);
  p.Object("FontValue", &C::FontValue, &C::SetFontValue, TFont::StaticClass()).Stored(&C::IsFontValueStored);
  p.Object("LinkComponent", &C::LinkComponent, &C::SetLinkComponent, TComponent::StaticClass());
  p.Event<TNotifyEvent>("OnApplyFilter", &C::OnApplyFilter);
}

// ---- construction -------------------------------------------------------------------------------

TcxCustomFilterControl::TcxCustomFilterControl(TComponent* owner)
    : TcxControl(owner), TcxFilterControlModel(nullptr) {
  viewInfo_.reset(CreateViewInfo());
  fontBoolOperator_ = std::make_unique<TFont>();
  fontCondition_ = std::make_unique<TFont>();
  fontItem_ = std::make_unique<TFont>();
  fontValue_ = std::make_unique<TFont>();
  InitPartFont(fontBoolOperator_.get(), Font(), clRed, true);
  InitPartFont(fontItem_.get(), Font(), clGreen, true);
  InitPartFont(fontCondition_.get(), Font(), clMaroon, true);
  InitPartFont(fontValue_.get(), Font(), clBlue, false);
  for (TFont* font : {fontBoolOperator_.get(), fontCondition_.get(), fontItem_.get(), fontValue_.get()})
    font->OnChange = [this](TObject* sender) { PartFontChanged(sender); };
  defaultProperties_ = std::make_unique<TcxTextEditProperties>(nullptr);
  valueStyle_ = std::make_unique<TcxCustomEditStyle>(nullptr, true);
  valueStyle_->LookAndFeel()->AttachToMaster(LookAndFeel());
  valueStyle_->SetButtonTransparency(ebtHideUnselected);
  editList_ = std::make_unique<TcxInplaceEditList>();
  CreateInternalControls();
  SetBounds(0, 0, 300, 200);
  nullString_ = LoadReplaceableResString(cxSFilterControlNullString);
  SetTabStop(false);
  SetWantTabs(false);
  SetParentColor(false);
  SetColor(clBtnFace);
  RowsReset();
  GlobalFormatController()->RegisterListener(this);
}

TcxCustomFilterControl::~TcxCustomFilterControl() {
  EndMouseTracking(this);
  GlobalFormatController()->UnregisterListener(this);
  EnterDestroyingState();
  DestroyInternalControls();
}

void TcxCustomFilterControl::CreateInternalControls() {
  combo_ = static_cast<TcxComboBox*>(TcxCustomEdit::CreateInplace(TcxComboBox::StaticClass(), nullptr));
  combo_->SetVisible(false);
  combo_->SetParentColor(true);
  combo_->Style()->LookAndFeel()->AttachToMaster(LookAndFeel());
  auto* properties = combo_->ComboProperties();
  properties->SetDropDownListStyle(lsFixedList);
  if (properties->Buttons()->Count() > 0) properties->Buttons()->GetButton(0)->SetVisible(false);
  combo_->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) { ComboKeyDown(key, shift); };
  combo_->OnKeyPress = [](TObject*, char32_t& key) {
    if (key == U' ') key = 0;
  };
  combo_->OnExit = [this](TObject*) {
    if (!combo_) return;
    combo_->SetVisible(false);
    if (editMode_ >= fcemItem && editMode_ <= fcemOperator) editMode_ = fcemNone;
  };
  properties->OnPopup = [this](TObject*) {
    comboDroppedDown_ = true;
    // The list shows the part font's colour without its underline.
    if (TcxComboBoxLookupData* data = combo_->GetComboLookupData())
      if (data->List()) data->List()->Font()->SetStyle(TFontStyles{});
  };
  properties->OnCloseUp = [this](TObject*) {
    comboDroppedDown_ = false;
    ComboCloseUp();
  };

  menu_ = new TPopupMenu(this);
  for (Integer tag = 0; tag < 4; ++tag) {
    auto* item = new TMenuItem(menu_);
    item->SetTag(tag);
    if (tag == 2) item->SetCaption("-");
    else item->SetImageIndex(tag);
    item->OnClick = [this](TObject* sender) { MenuClick(sender); };
    menu_->Items()->Add(item);
  }
  menu_->OnClose = [this](TObject*) {
    if (editMode_ == fcemMenu) editMode_ = fcemNone;
  };
  ReloadTexts();
}

void TcxCustomFilterControl::DestroyInternalControls() {
  if (valueEditor_) {
    valueEditor_->OnKeyDown = nullptr;
    valueEditor_->OnExit = nullptr;
    valueEditor_->OnAfterKeyDown = nullptr;
    valueEditor_->SetParent(nullptr);
    valueEditor_ = nullptr;
  }
  editList_.reset();
  delete combo_;
  combo_ = nullptr;
  delete menu_;
  menu_ = nullptr;
}

void TcxCustomFilterControl::ReloadTexts() {
  if (!menu_) return;
  TMenuItem* items = menu_->Items();
  items->Items(0)->SetCaption(LoadReplaceableResString(cxSFilterAddCondition));
  items->Items(1)->SetCaption(LoadReplaceableResString(cxSFilterAddGroup));
  items->Items(3)->SetCaption(LoadReplaceableResString(cxSFilterRemoveRow));
}

void TcxCustomFilterControl::ParentInternalControls() {
  TcxControl::ParentInternalControls();
  if (combo_) combo_->SetParent(this);
  ReloadTexts();
  nullString_ = LoadReplaceableResString(cxSFilterControlNullString);
  RefreshLayout();
}

void TcxCustomFilterControl::CreateWnd() {
  TcxControl::CreateWnd();
  ParentInternalControls();
}

void TcxCustomFilterControl::Loaded() {
  TcxControl::Loaded();
  RefreshLayout();
}

void TcxCustomFilterControl::Resize() {
  TcxControl::Resize();
  if (HandleAllocated()) RefreshLayout();
}

TCustomImageList* TcxCustomFilterControl::MenuImages() const { return menu_ ? menu_->Images() : nullptr; }

void TcxCustomFilterControl::SetMenuImages(TCustomImageList* images) {
  if (menu_) menu_->SetImages(images);
}

// ---- the model's hooks --------------------------------------------------------------------------

void TcxCustomFilterControl::RowsReset() {
  focus_ = TcxFilterControlHitInfo();
  focus_.RowInfo = Root();
  focus_.Code = fchBoolOperator;
  hot_ = TcxFilterControlHitInfo();
  topRow_ = 0;
  leftOffset_ = 0;
  RefreshLayout();
}

void TcxCustomFilterControl::EndValueEditing() { HideValueEditor(true); }

TcxCustomEditProperties* TcxCustomFilterControl::GetDefaultProperties() { return defaultProperties_.get(); }

void TcxCustomFilterControl::ItemPropertiesChanging(TcxConditionViewInfo* row) {
  if (!valueEditor_ || !editList_) return;
  TcxCustomEditProperties* properties = row->ItemProperties();
  if (!properties) return;
  // The editor being released must not stay the control's value editor.
  if (editList_->FindBoundEdit(properties) == valueEditor_) HideValueEditor(false);
  editList_->ReleaseEdit(properties);
}

void TcxCustomFilterControl::SetLink(IcxFilterControl* value) {
  HideValueEditor(false);
  LockLayout();
  try {
    TcxFilterControlModel::SetLink(value);
  } catch (...) {
    UnlockLayout();
    throw;
  }
  UnlockLayout();
}

void TcxCustomFilterControl::Clear() {
  HideValueEditor(false);
  LockLayout();
  TcxFilterControlModel::Clear();
  topRow_ = 0;
  leftOffset_ = 0;
  UnlockLayout();
}

void TcxCustomFilterControl::ApplyFilter() {
  if (!Link() || !Link()->GetCriteria()) return;
  LockLayout();
  try {
    TcxFilterControlModel::ApplyFilter();
  } catch (...) {
    UnlockLayout();
    throw;
  }
  UnlockLayout();
}

void TcxCustomFilterControl::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  HideValueEditor(false);
  LockLayout();
  try {
    LoadFromStream(stream);
  } catch (...) {
    UnlockLayout();
    throw;
  }
  UnlockLayout();
}

void TcxCustomFilterControl::SaveToFile(const String& fileName) {
  // The rows are read before the file is made, so "Invalid value" leaves no empty file.
  BuildCriteriaFromView();
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

String TcxCustomFilterControl::FilterCaptionText() {
  BuildCriteriaFromView();
  return Criteria()->FilterCaptionText();
}

String TcxCustomFilterControl::FilterFieldText() {
  BuildCriteriaFromView();
  return Criteria()->FilterTextValue();
}

// ---- properties ---------------------------------------------------------------------------------

void TcxCustomFilterControl::SetFontBoolOperator(TFont* v) { fontBoolOperator_->Assign(v); }
void TcxCustomFilterControl::SetFontCondition(TFont* v) { fontCondition_->Assign(v); }
void TcxCustomFilterControl::SetFontItem(TFont* v) { fontItem_->Assign(v); }
void TcxCustomFilterControl::SetFontValue(TFont* v) { fontValue_->Assign(v); }

void TcxCustomFilterControl::PartFontChanged(TObject*) { RefreshLayout(); }

void TcxCustomFilterControl::CMFontChanged(TMessage& m) {
  TcxControl::CMFontChanged(m);
  if (!fontValue_) return;
  LockLayout();
  for (TFont* font : {fontBoolOperator_.get(), fontCondition_.get(), fontItem_.get(), fontValue_.get()}) {
    font->SetName(Font()->Name());
    font->SetHeight(Font()->Height());
    font->SetCharset(Font()->Charset());
  }
  UnlockLayout();
}

void TcxCustomFilterControl::CMEnabledChanged(TMessage& m) {
  TcxControl::CMEnabledChanged(m);
  RefreshLayout();
}

void TcxCustomFilterControl::LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {
  TcxControl::LookAndFeelUpdated(sender, changed);
  RefreshLayout();
}

void TcxCustomFilterControl::SetNullString(const String& v) {
  if (nullString_ == v) return;
  nullString_ = v;
  RefreshLayout();
}

bool TcxCustomFilterControl::IsPartFontStored(const TFont* font, TColor color, bool underline) const {
  const TFont* base = const_cast<TcxCustomFilterControl*>(this)->Font();
  return AnsiCompareText(font->Name(), base->Name()) != 0 || font->Height() != base->Height() ||
         font->Charset() != base->Charset() || font->Color() != color ||
         font->Style() != (underline ? TFontStyles{fsUnderline} : TFontStyles{});
}

bool TcxCustomFilterControl::IsFontBoolOperatorStored() const {
  return IsPartFontStored(fontBoolOperator_.get(), clRed, true);
}
bool TcxCustomFilterControl::IsFontConditionStored() const {
  return IsPartFontStored(fontCondition_.get(), clMaroon, true);
}
bool TcxCustomFilterControl::IsFontItemStored() const { return IsPartFontStored(fontItem_.get(), clGreen, true); }
bool TcxCustomFilterControl::IsFontValueStored() const { return IsPartFontStored(fontValue_.get(), clBlue, false); }

bool TcxCustomFilterControl::IsNullStringStored() const {
  return nullString_ != LoadReplaceableResString(cxSFilterControlNullString);
}

void TcxCustomFilterControl::SetShowLevelLines(bool v) {
  if (showLevelLines_ == v) return;
  showLevelLines_ = v;
  Invalidate();
}

void TcxCustomFilterControl::SetWantTabs(bool v) {
  wantTabs_ = v;
  SetWantedKeys(v ? TcxWantedKeys{wkAll, wkArrows, wkChars, wkTab} : TcxWantedKeys{wkArrows, wkChars});
}

Integer TcxCustomFilterControl::RowIndex(TcxCustomRowViewInfo* row) const {
  const auto& rows = RowList();
  auto it = std::find(rows.begin(), rows.end(), row);
  return it == rows.end() ? -1 : Integer(it - rows.begin());
}

bool TcxCustomFilterControl::IsFocusedOrEditing() {
  return (HandleAllocated() && Focused()) || (valueEditor_ && valueEditor_->Focused()) ||
         (combo_ && combo_->Visible() && combo_->Focused());
}

bool TcxCustomFilterControl::IsHotTrackAllowed() {
  return Enabled() && HasItems() && (hotTrackOnUnfocused_ || IsFocusedOrEditing());
}

// ---- layout and scrolling -----------------------------------------------------------------------

void TcxCustomFilterControl::UnlockLayout() {
  if (lockCount_ > 0) --lockCount_;
  RefreshLayout();
}

void TcxCustomFilterControl::RefreshLayout() {
  if (lockCount_ != 0 || IsBeingDestroyed() || ComponentState().Contains(csLoading) || !HandleAllocated() ||
      comboDroppedDown_)
    return;
  ++lockCount_;
  try {
    LayoutChanged();
  } catch (...) {
    --lockCount_;
    throw;
  }
  --lockCount_;
}

void TcxCustomFilterControl::LayoutChanged() {
  viewInfo_->Calculate();
  const TRect content = viewInfo_->ContentRect();
  const Integer rowHeight = viewInfo_->RowHeight();
  while (topRow_ > 0 && content.Bottom - viewInfo_->AddConditionRect().Bottom >= rowHeight + 2) {
    --topRow_;
    viewInfo_->Calculate();
  }
  if (leftOffset_ > 0) {
    const Integer excess = content.Right + leftOffset_ - viewInfo_->MaxRowWidth() - 2;
    if (excess > 0) {
      leftOffset_ = std::max(0, leftOffset_ - excess);
      viewInfo_->Calculate();
    }
  }
  RefreshScrollBars();
  Invalidate();
}

void TcxCustomFilterControl::CalculateAndShow() {
  viewInfo_->Calculate();
  RefreshScrollBars();
  Invalidate();
}

void TcxCustomFilterControl::ComputeScrollBarData() {
  const Integer rowHeight = viewInfo_->RowHeight();
  if (rowHeight == 0) return;
  const TRect content = viewInfo_->ContentRect();
  StoreScrollBarParams(sbVertical, 0, RowCount() - 1, 1, content.Height() / rowHeight - 1, topRow_, true, true);
  StoreScrollBarParams(sbHorizontal, 0, viewInfo_->MaxRowWidth(), 1, content.Width(), leftOffset_, true, true);
}

Integer TcxCustomFilterControl::MaxTopRow() {
  const Integer rowHeight = viewInfo_->RowHeight();
  if (rowHeight == 0) return 0;
  return std::max(0, RowCount() - viewInfo_->ContentRect().Height() / rowHeight + 1);
}

Integer TcxCustomFilterControl::MaxLeftOffset() {
  return std::max(0, viewInfo_->MaxRowWidth() - viewInfo_->ContentRect().Width() + 1);
}

void TcxCustomFilterControl::SetTopRow(Integer v) {
  v = std::clamp(v, 0, MaxTopRow());
  if (v == topRow_) return;
  topRow_ = v;
  RefreshLayout();
}

void TcxCustomFilterControl::SetLeftOffset(Integer v) {
  v = std::clamp(v, 0, MaxLeftOffset());
  if (v == leftOffset_) return;
  leftOffset_ = v;
  RefreshLayout();
}

void TcxCustomFilterControl::ScrollVertical(TScrollCode code, Integer position) {
  const Integer page = std::max(0, viewInfo_->RowHeight() ? viewInfo_->ContentRect().Height() / viewInfo_->RowHeight() - 1 : 0);
  Integer row = topRow_;
  switch (code) {
    case scLineUp: row -= 1; break;
    case scLineDown: row += 1; break;
    case scPageUp: row -= page; break;
    case scPageDown: row += page; break;
    case scTrack: row = position; break;
    default: break;
  }
  SetTopRow(row);
}

void TcxCustomFilterControl::ScrollHorizontal(TScrollCode code, Integer position) {
  const Integer page = viewInfo_->ContentRect().Width();
  Integer offset = leftOffset_;
  switch (code) {
    case scLineUp: offset -= 8; break;
    case scLineDown: offset += 8; break;
    case scPageUp: offset -= page; break;
    case scPageDown: offset += page; break;
    case scTrack: offset = position; break;
    default: break;
  }
  SetLeftOffset(offset);
}

void TcxCustomFilterControl::PanScroll(TScrollBarKind kind, TScrollCode code, Integer& position) {
  if (kind == sbVertical) {
    ScrollVertical(code, position);
    position = topRow_;
  } else {
    ScrollHorizontal(code, position);
    position = leftOffset_;
  }
}

TRect TcxCustomFilterControl::FocusedPartRect() {
  TcxCustomRowViewInfo* row = focus_.RowInfo;
  if (!row && focus_.Code != fchAddCondition) return TRect();
  auto* group = row && row->IsGroup() ? static_cast<TcxGroupViewInfo*>(row) : nullptr;
  auto* condition = row && !row->IsGroup() ? static_cast<TcxConditionViewInfo*>(row) : nullptr;
  switch (focus_.Code) {
    case fchRowButton: {
      TRect r = row->ButtonRect;
      if (!row->Parent()) r = ShiftedRect(r, -4, 0);
      return r;
    }
    case fchBoolOperator: return group ? group->BoolOperatorRect : TRect();
    case fchItem: return condition ? condition->ItemRect : TRect();
    case fchOperator: return condition ? condition->OperatorRect : TRect();
    case fchValue:
      if (condition && focus_.ValueNumber >= 0 && focus_.ValueNumber < Integer(condition->Values().size()))
        return condition->Values()[std::size_t(focus_.ValueNumber)].ValueRect;
      return TRect();
    case fchAddCondition: return viewInfo_->AddConditionRect();
    case fchAddValue: return condition ? condition->AddValueRect : TRect();
    default: return TRect();
  }
}

void TcxCustomFilterControl::MakeFocusedVisible() {
  if (!HandleAllocated()) return;
  viewInfo_->Calculate();
  const TRect content = viewInfo_->ContentRect();
  const Integer rowHeight = viewInfo_->RowHeight();
  const Integer index = RowIndex(focus_.RowInfo);
  bool moved = false;
  if (index >= 0 && index < topRow_) {
    topRow_ = index;
    moved = true;
  } else if (rowHeight > 0) {
    Integer bottom = focus_.Code == fchAddCondition || !focus_.RowInfo ? viewInfo_->AddConditionRect().Bottom
                                                                       : focus_.RowInfo->RowRect.Bottom;
    while (bottom >= content.Bottom && topRow_ < RowCount()) {
      ++topRow_;
      bottom -= rowHeight;
      moved = true;
    }
  }
  if (moved) viewInfo_->Calculate();
  TRect r = FocusedPartRect();
  if (!r.IsEmpty()) {
    const Integer left = r.Left;
    if (r.Right >= content.Right) r = ShiftedRect(r, -(r.Right - content.Right + 2), 0);
    if (r.Left < content.Left) r = ShiftedRect(r, content.Left - r.Left, 0);
    leftOffset_ = std::max(0, leftOffset_ + (left - r.Left));
  }
  CalculateAndShow();
}

// ---- painting -----------------------------------------------------------------------------------

void TcxCustomFilterControl::PaintBorderAndContent() {
  TRect clip;
  if (!GetClipBox(Canvas()->DeviceContext(), reinterpret_cast<RECT*>(&clip))) clip = TRect(0, 0, Width(), Height());
  if (viewInfo_->Bitmap()->Width() != Width() || viewInfo_->Bitmap()->Height() != Height()) viewInfo_->Calculate();
  viewInfo_->Paint(Canvas()->Canvas(), clip);
}

void TcxCustomFilterControl::InvalidateRow(TcxCustomRowViewInfo* row) {
  if (row && HandleAllocated()) {
    RECT r{row->RowRect.Left, row->RowRect.Top, row->RowRect.Right, row->RowRect.Bottom};
    InvalidateRect(Handle(), &r, FALSE);
  }
}

// ---- hot tracking -------------------------------------------------------------------------------

TCursor TcxCustomFilterControl::GetCursorAt(Integer x, Integer y) {
  if (IsHotTrackAllowed() && hot_.Code != fchNone) return crHandPoint;
  return TcxControl::GetCursorAt(x, y);
}

void TcxCustomFilterControl::UpdateHot(const TPoint& p, TShiftState shift) {
  const TcxFilterControlHitInfo old = hot_;
  viewInfo_->GetHitInfo(p, shift, hot_);
  if (!IsFilterControlButtonPart(old.Code) && !IsFilterControlButtonPart(hot_.Code)) return;
  const TcxButtonState oldAddState = viewInfo_->AddConditionState();
  auto updateAddCondition = [&] {
    viewInfo_->CalcAddConditionState();
    if (viewInfo_->AddConditionState() != oldAddState && HandleAllocated()) {
      const TRect& a = viewInfo_->AddConditionRect();
      RECT r{a.Left, a.Top, a.Right, a.Bottom};
      InvalidateRect(Handle(), &r, FALSE);
    }
  };
  if (old.RowInfo != hot_.RowInfo) {
    if (IsFilterControlButtonPart(old.Code) && old.RowInfo && RowIndex(old.RowInfo) >= 0) {
      viewInfo_->CalculateRow(old.RowInfo);
      InvalidateRow(old.RowInfo);
    }
    if (!IsFilterControlButtonPart(hot_.Code)) {
      updateAddCondition();
      return;
    }
  } else if (old.Code == hot_.Code && old.ValueNumber == hot_.ValueNumber) {
    return;
  }
  if (hot_.RowInfo) {
    viewInfo_->CalculateRow(hot_.RowInfo);
    InvalidateRow(hot_.RowInfo);
  }
  updateAddCondition();
}

void TcxCustomFilterControl::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxControl::MouseMove(shift, x, y);
  BeginMouseTracking(this, TRect(0, 0, Width(), Height()), this);
  UpdateHot(TPoint(x, y), shift);
  ::SetCursor(ScreenCursorHandle(GetCursorAt(x, y)));
}

void TcxCustomFilterControl::NotifyMouseLeave(TControl* control) {
  TcxControl::NotifyMouseLeave(control);
  MouseLeave();
}

void TcxCustomFilterControl::MouseLeave() {
  EndMouseTracking(this);
  hot_.Code = fchNone;
  RefreshLayout();
}

void TcxCustomFilterControl::NotifyFocusChanged() {
  TcxControl::NotifyFocusChanged();
  if (IsBeingDestroyed() || !HandleAllocated()) return;
  TPoint p;
  QueryCursorPos(p);
  viewInfo_->GetHitInfo(ScreenToClient(p), TShiftState(), hot_);
  RefreshLayout();
}

// ---- focus walk ---------------------------------------------------------------------------------

TcxConditionViewInfo* TcxCustomFilterControl::FocusedCondition() {
  return focus_.RowInfo && !focus_.RowInfo->IsGroup() ? static_cast<TcxConditionViewInfo*>(focus_.RowInfo) : nullptr;
}

void TcxCustomFilterControl::SetFocusedPart(TcxFilterControlHitTest code, Integer valueNumber) {
  focus_.Code = code;
  if (TcxConditionViewInfo* condition = FocusedCondition())
    if (valueNumber >= 0 && valueNumber < Integer(condition->Values().size())) focus_.ValueNumber = valueNumber;
  viewInfo_->Calculate();
  MakeFocusedVisible();
}

void TcxCustomFilterControl::FocusRow(TcxCustomRowViewInfo* row) {
  focus_.RowInfo = row;
  SetFocusedPart(row->IsGroup() ? fchBoolOperator : fchItem);
}

void TcxCustomFilterControl::FocusNext(bool jump) {
  TcxConditionViewInfo* condition = FocusedCondition();
  switch (focus_.Code) {
    case fchRowButton: SetFocusedPart(condition ? fchItem : fchBoolOperator); break;
    case fchBoolOperator:
    case fchAddValue:
      if (jump) FocusNextRow(jump);
      break;
    case fchItem: SetFocusedPart(fchOperator); break;
    case fchOperator:
      if (condition && condition->HasValues())
        SetFocusedPart(fchValue, 0);
      else if (jump)
        FocusNextRow(jump);
      break;
    case fchValue:
      if (condition && focus_.ValueNumber + 1 < Integer(condition->Values().size()))
        SetFocusedPart(fchValue, focus_.ValueNumber + 1);
      else if (condition && IsListCode(condition->Operator()))
        SetFocusedPart(fchAddValue);
      else if (jump)
        FocusNextRow(jump);
      break;
    case fchAddCondition:
      if (!jump) FocusRow(RowList().back());
      break;
    default: break;
  }
}

void TcxCustomFilterControl::FocusPrev(bool jump) {
  switch (focus_.Code) {
    case fchRowButton:
      if (jump) FocusPrevRow(jump);
      break;
    case fchAddCondition: FocusPrevRow(jump); break;
    case fchBoolOperator:
    case fchItem: SetFocusedPart(fchRowButton); break;
    case fchOperator: SetFocusedPart(fchItem); break;
    case fchValue:
      if (focus_.ValueNumber <= 0)
        SetFocusedPart(fchOperator);
      else
        SetFocusedPart(fchValue, focus_.ValueNumber - 1);
      break;
    case fchAddValue: SetFocusedPart(fchValue); break;
    default: break;
  }
}

void TcxCustomFilterControl::FocusNextRow(bool jump) {
  const Integer index = RowIndex(focus_.RowInfo);
  if (focus_.Code == fchAddCondition) return;
  if (index < 0 || index == RowCount() - 1) {
    SetFocusedPart(fchAddCondition);
    return;
  }
  TcxCustomRowViewInfo* next = RowList()[std::size_t(index + 1)];
  if (jump) {
    focus_.RowInfo = next;
    SetFocusedPart(fchRowButton);
  } else {
    FocusRow(next);
  }
}

void TcxCustomFilterControl::FocusPrevRow(bool jump) {
  TcxCustomRowViewInfo* target = nullptr;
  if (focus_.Code == fchAddCondition) {
    target = RowList().back();
  } else {
    const Integer index = RowIndex(focus_.RowInfo);
    if (index <= 0) return;
    target = RowList()[std::size_t(index - 1)];
  }
  if (!jump) {
    FocusRow(target);
    return;
  }
  focus_.RowInfo = target;
  if (target->IsGroup()) {
    SetFocusedPart(fchBoolOperator);
    return;
  }
  auto* condition = static_cast<TcxConditionViewInfo*>(target);
  if (!condition->HasValues())
    SetFocusedPart(fchOperator);
  else if (IsListCode(condition->Operator()))
    SetFocusedPart(fchAddValue);
  else
    SetFocusedPart(fchValue, Integer(condition->Values().size()) - 1);
}

// ---- keyboard and mouse -------------------------------------------------------------------------

void TcxCustomFilterControl::KeyDown(Word& key, TShiftState shift) {
  TcxControl::KeyDown(key, shift);
  if (!HasItems()) return;
  switch (key) {
    case VK_TAB:
      if (shift.Contains(ssCtrl)) {
        if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, !shift.Contains(ssShift), true);
      } else if (shift.Contains(ssShift)) {
        FocusPrev(true);
      } else {
        FocusNext(true);
      }
      key = 0;
      break;
    case VK_LEFT: FocusPrev(false); break;
    case VK_RIGHT: FocusNext(false); break;
    case VK_UP: FocusPrevRow(false); break;
    case VK_DOWN: FocusNextRow(false); break;
    case VK_INSERT:
      if (shift.Empty()) AddCondition(focus_.RowInfo);
      break;
    case VK_DELETE:
      if (shift == TShiftState{ssCtrl}) Remove();
      break;
    default: break;
  }
}

void TcxCustomFilterControl::KeyPress(char32_t& key) {
  TcxControl::KeyPress(key);
  if (!HasItems()) return;
  if (key == U'\r' || key == U' ') {
    ActivatePart(false);
  } else if (key != 27 && key >= 32 && focus_.Code == fchValue) {
    EditValue(1, key);
  }
}

void TcxCustomFilterControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxControl::MouseDown(button, shift, x, y);
  if (valueError_ || !HasItems()) return;
  viewInfo_->GetHitInfo(TPoint(x, y), shift, hot_);
  if (hot_.Code == fchNone || editMode_ != fcemNone || button != mbLeft) return;
  focus_ = hot_;
  MakeFocusedVisible();
  ActivatePart(true);
}

void TcxCustomFilterControl::ActivatePart(bool byMouse) {
  switch (focus_.Code) {
    case fchRowButton: ShowRowButtonMenu(); break;
    case fchBoolOperator: EditBoolOperator(); break;
    case fchItem: EditItem(); break;
    case fchOperator: EditOperator(); break;
    case fchValue: EditValue(byMouse ? 2 : 0); break;
    case fchAddCondition: AddCondition(RowList().back()); break;
    case fchAddValue: AddValue(); break;
    default: break;
  }
}

// ---- row menu -----------------------------------------------------------------------------------

void TcxCustomFilterControl::ShowRowButtonMenu() {
  if (!HasItems() || !menu_ || !focus_.RowInfo) return;
  TcxCustomRowViewInfo* row = focus_.RowInfo;
  TMenuItem* items = menu_->Items();
  const bool root = !row->Parent();
  items->Items(3)->SetCaption(LoadReplaceableResString(root ? cxSFilterClearAll : cxSFilterRemoveRow));
  const bool last = !root || Root()->RowCount() > 0;
  items->Items(2)->SetVisible(last);
  items->Items(3)->SetVisible(last);
  TPoint p = ClientToScreen(TPoint(row->ButtonRect.Left, row->ButtonRect.Bottom));
  editMode_ = fcemMenu;
  TcxObjectLinkGuard link(this);
  menu_->Popup(p.X, p.Y);
  if (link.Alive() && editMode_ == fcemMenu) editMode_ = fcemNone;
}

void TcxCustomFilterControl::MenuClick(TObject* sender) {
  if (editMode_ == fcemMenu) editMode_ = fcemNone;
  switch (static_cast<TMenuItem*>(sender)->Tag()) {
    case 0: AddCondition(focus_.RowInfo); break;
    case 1: AddGroup(); break;
    case 3:
      if (focus_.RowInfo && !focus_.RowInfo->Parent())
        Clear();
      else
        Remove();
      break;
    default: break;
  }
}

// ---- the combo box ------------------------------------------------------------------------------

void TcxCustomFilterControl::ShowCombo(const TRect& r, const String& text, Integer itemCount) {
  auto* properties = combo_->ComboProperties();
  properties->SetDropDownRows(std::max(1, std::min<Integer>(12, itemCount)));
  combo_->SetParent(this);
  combo_->SetBoundsRect(r);
  combo_->SetVisible(true);
  combo_->SetEditValue(text);
  if (combo_->CanFocus()) combo_->SetFocus();
  combo_->SetDroppedDown(true);
}

void TcxCustomFilterControl::EditBoolOperator() {
  auto* group = focus_.RowInfo && focus_.RowInfo->IsGroup() ? static_cast<TcxGroupViewInfo*>(focus_.RowInfo) : nullptr;
  if (!HasItems() || !group) return;
  editMode_ = fcemBoolOperator;
  TStringList* items = combo_->ComboProperties()->Items();
  items->Clear();
  items->SetSorted(false);
  combo_->Style()->SetFont(fontBoolOperator_.get());
  for (Integer kind = 0; kind < 4; ++kind)
    items->AddObject(LoadReplaceableResString(*kBoolTexts[kind]), reinterpret_cast<TObject*>(NativeInt(kind)));
  ShowCombo(group->BoolOperatorRect, group->BoolOperatorText(), 4);
}

void TcxCustomFilterControl::EditOperator() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition) return;
  editMode_ = fcemOperator;
  TStringList* items = combo_->ComboProperties()->Items();
  items->SetSorted(false);
  combo_->Style()->SetFont(fontCondition_.get());
  FillOperatorsList(items);
  ShowCombo(condition->OperatorRect, condition->OperatorText(), items->Count());
}

void TcxCustomFilterControl::EditItem() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition) return;
  editMode_ = fcemItem;
  TStringList* items = combo_->ComboProperties()->Items();
  items->SetSorted(false);
  combo_->Style()->SetFont(fontItem_.get());
  FillItemsList(items);
  items->SetSorted(SortItems());
  ShowCombo(condition->ItemRect, condition->ItemText(), items->Count());
}

void TcxCustomFilterControl::FillItemsList(TStrings* strings) {
  if (!HasItems()) return;
  strings->BeginUpdate();
  try {
    strings->Clear();
    IcxFilterControl* link = Link();
    for (Integer i = 0; i < link->GetCount(); ++i) {
      TcxCustomEditProperties* properties = link->GetProperties(i);
      if (properties && (properties->GetSupportedOperations() & esoFiltering))
        strings->AddObject(link->GetCaption(i), reinterpret_cast<TObject*>(NativeInt(i)));
    }
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}

void TcxCustomFilterControl::FillOperatorsList(TStrings* strings) {
  if (!HasItems()) return;
  strings->Clear();
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!condition) return;
  condition->PrepareEditor();
  for (TcxFilterControlOperator op = 1; op <= 36; ++op) {
    const auto& set = condition->SupportedOperators();
    if (std::find(set.begin(), set.end(), op) != set.end())
      strings->AddObject(AdjustOperatorTextSource(FilterOperatorCaption(op)), reinterpret_cast<TObject*>(NativeInt(op)));
  }
}

void TcxCustomFilterControl::ComboKeyDown(Word& key, TShiftState) {
  if (key == VK_SPACE) key = VK_RETURN;
}

void TcxCustomFilterControl::ComboCloseUp() {
  if (!combo_) return;
  TStringList* items = combo_->ComboProperties()->Items();
  const Integer index = items->IndexOf(VarToStr(combo_->EditValue()));
  const NativeInt chosen = index >= 0 ? reinterpret_cast<NativeInt>(items->Objects(index)) : -1;
  const TcxFilterControlEditMode mode = editMode_;
  editMode_ = fcemNone;
  if (chosen >= 0) {
    if (mode == fcemItem) {
      if (TcxConditionViewInfo* condition = FocusedCondition()) {
        condition->SetItemIndex(Integer(chosen));
        focus_.Code = fchOperator;
      }
    } else if (mode == fcemBoolOperator) {
      if (focus_.RowInfo && focus_.RowInfo->IsGroup())
        static_cast<TcxGroupViewInfo*>(focus_.RowInfo)->SetBoolOperator(TcxFilterBoolOperatorKind(chosen));
    } else if (mode == fcemOperator) {
      if (TcxConditionViewInfo* condition = FocusedCondition()) {
        condition->SetOperator(TcxFilterControlOperator(chosen), true);
        if (condition->HasValues()) {
          focus_.Code = fchValue;
          focus_.ValueNumber = 0;
        }
      }
    }
  }
  combo_->SetVisible(false);
  viewInfo_->Calculate();
  MakeFocusedVisible();
  if (CanFocus()) SetFocus();
}

// ---- commands -----------------------------------------------------------------------------------

TcxGroupViewInfo* TcxCustomFilterControl::GroupOf(TcxCustomRowViewInfo* row) {
  if (!row) row = RowList().back();
  return row->IsGroup() ? static_cast<TcxGroupViewInfo*>(row) : row->Parent();
}

void TcxCustomFilterControl::AddCondition(TcxCustomRowViewInfo* row) {
  if (!HasItems()) return;
  TcxGroupViewInfo* group = GroupOf(row);
  TcxCustomRowViewInfo* added = group->Add(std::make_unique<TcxConditionViewInfo>(this, group, nullptr));
  focus_.RowInfo = added;
  focus_.ValueNumber = -1;
  RebuildRowList();
  focus_.Code = fchAddCondition;
  viewInfo_->Calculate();
  RefreshScrollBars();
  MakeFocusedVisible();
  focus_.Code = fchItem;
  viewInfo_->Calculate();
  Invalidate();
}

void TcxCustomFilterControl::AddGroup() {
  if (!HasItems()) return;
  TcxGroupViewInfo* group = GroupOf(focus_.RowInfo);
  TcxCustomRowViewInfo* added = group->Add(std::make_unique<TcxGroupViewInfo>(this, group, nullptr));
  RebuildRowList();
  AddCondition(added);
}

void TcxCustomFilterControl::AddValue() {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition) return;
  condition->AddValue();
  focus_.Code = fchValue;
  focus_.ValueNumber = Integer(condition->Values().size()) - 1;
  viewInfo_->Calculate();
  leftOffset_ = std::max(0, viewInfo_->MaxRowWidth() - viewInfo_->ContentRect().Width() + 2);
  RefreshLayout();
}

void TcxCustomFilterControl::Remove() {
  if (!HasItems() || !focus_.RowInfo) return;
  TcxConditionViewInfo* condition = FocusedCondition();
  if (condition && focus_.Code == fchValue && IsListCode(condition->Operator()) && condition->Values().size() > 1) {
    condition->RemoveValue(focus_.ValueNumber);
    if (focus_.ValueNumber > 0) --focus_.ValueNumber;
    viewInfo_->Calculate();
    RefreshScrollBars();
    MakeFocusedVisible();
    return;
  }
  RemoveRow(focus_.RowInfo);
}

void TcxCustomFilterControl::RemoveRow(TcxCustomRowViewInfo* row) {
  if (!row->Parent()) return;
  while (row->Parent()->Parent() && row->Parent()->RowCount() == 1) row = row->Parent();
  const Integer index = RowIndex(row);
  TcxCustomRowViewInfo* before = RowList()[std::size_t(std::max(0, index - 1))];
  row->Parent()->Remove(row);
  focus_.RowInfo = before;
  focus_.Code = before->IsGroup() ? fchBoolOperator : fchItem;
  focus_.ValueNumber = -1;
  hot_ = TcxFilterControlHitInfo();
  RebuildRowList();
  viewInfo_->Calculate();
  LayoutChanged();
  MakeFocusedVisible();
}

// ---- value editing ------------------------------------------------------------------------------

void TcxCustomFilterControl::CreateValueEditor() {
  TcxConditionViewInfo* condition = FocusedCondition();
  editMode_ = fcemValue;
  TcxCustomEditProperties* source = condition->ItemProperties();
  const TcxCustomFilterEditHelper* helper = condition->Helper();
  valueEditor_ = CreateFilterEdit(condition->HelperClass(), source, editList_.get());
  if (!valueEditor_) {
    editMode_ = fcemNone;
    return;
  }
  const TcxValueInfo& value = condition->Values()[std::size_t(focus_.ValueNumber)];
  helper->ApplyFilterValue(valueEditor_, valueEditor_->GetEffectiveProperties(), value.Value);
  if (condition->Operator() == fcoLike || condition->Operator() == fcoNotLike)
    if (auto* text = dynamic_cast<TcxCustomTextEditProperties*>(valueEditor_->GetEffectiveProperties())) {
      text->ExtraValidChars().set(static_cast<unsigned char>(Criteria()->PercentWildcard()));
      text->ExtraValidChars().set(static_cast<unsigned char>(Criteria()->UnderscoreWildcard()));
    }
  valueEditor_->SetParent(this);
  valueEditor_->Style()->Assign(valueStyle_.get());
  valueEditor_->Style()->SetColor(clWindow);
  valueEditor_->SetBoundsRect(value.ValueRect);
  valueEditor_->OnAfterKeyDown = [this](TObject*, Word& key, TShiftState shift) {
    if (key != VK_UP && key != VK_DOWN) return;
    HideValueEditor(true);
    if (CanFocus()) SetFocus();
    KeyDown(key, shift);
    key = 0;
  };
  valueEditor_->OnExit = [this](TObject*) {
    try {
      HideValueEditor(true);
    } catch (...) {
      if (valueEditor_ && valueEditor_->CanFocus()) valueEditor_->SetFocus();
      throw;
    }
  };
  valueEditor_->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) { ValueEditorKeyDown(key, shift); };
}

void TcxCustomFilterControl::ValueEditorKeyDown(Word& key, TShiftState shift) {
  try {
    switch (key) {
      case VK_TAB:
        if (!wantTabs_) return;
        HideValueEditor(true);
        if (CanFocus()) SetFocus();
        if (shift.Contains(ssShift)) FocusPrev(true);
        else FocusNext(true);
        key = 0;
        break;
      case VK_RETURN:
        HideValueEditor(true);
        if (CanFocus()) SetFocus();
        key = 0;
        break;
      case VK_ESCAPE: {
        const bool existed = valueEditor_ != nullptr;
        HideValueEditor(false);
        if (CanFocus()) SetFocus();
        if (existed) key = 0;
        break;
      }
      case VK_DELETE:
        if (shift == TShiftState{ssCtrl}) {
          HideValueEditor(false);
          if (CanFocus()) SetFocus();
          Remove();
          key = 0;
        }
        break;
      default: break;
    }
  } catch (...) {
    if (valueEditor_ && valueEditor_->CanFocus()) valueEditor_->SetFocus();
    throw;
  }
}

void TcxCustomFilterControl::EditValue(Integer mode, char32_t key) {
  TcxConditionViewInfo* condition = FocusedCondition();
  if (!HasItems() || !condition || focus_.ValueNumber < 0 || focus_.ValueNumber >= Integer(condition->Values().size()))
    return;
  valueError_ = false;
  MakeFocusedVisible();
  CreateValueEditor();
  if (!valueEditor_) return;
  valueEditor_->SendToBack();
  if (mode == 1)
    valueEditor_->ActivateByKey(key, condition->EditingData());
  else if (mode == 2)
    valueEditor_->ActivateByMouse(focus_.ShiftState, focus_.Pos.X, focus_.Pos.Y, condition->EditingData());
  else
    valueEditor_->ActivateInPlace(condition->EditingData());
}

void TcxCustomFilterControl::HideValueEditor(bool keep) {
  valueError_ = false;
  if (!valueEditor_) {
    if (editMode_ == fcemValue) editMode_ = fcemNone;
    return;
  }
  TcxConditionViewInfo* condition = FocusedCondition();
  if (keep && condition && focus_.ValueNumber >= 0 && focus_.ValueNumber < Integer(condition->Values().size())) {
    // A text the editor itself refuses ends nothing, silently; the editor stays open.
    if (!valueEditor_->DeactivateInPlace()) throw EAbort("");
    Variant value;
    String text;
    condition->Helper()->GetFilterValue(valueEditor_, valueEditor_->GetEffectiveProperties(), value, text);
    try {
      ValidateFilterValue(value, condition->Operator(), condition->ValueType(), condition->HelperClass());
    } catch (EcxFilterControlError&) {
      valueError_ = true;
      throw;
    }
    TcxValueInfo& stored = condition->Values()[std::size_t(focus_.ValueNumber)];
    stored.Value = value;
    stored.ValueText = text;
  }
  editMode_ = fcemNone;
  TcxCustomEdit* edit = valueEditor_;
  if (edit->Focused() && IsFocusedOrEditing()) edit->SetModifiedFlag(false);
  edit->OnExit = nullptr;
  edit->OnKeyDown = nullptr;
  edit->OnAfterKeyDown = nullptr;
  valueEditor_ = nullptr;
  const bool hadFocus = edit->Focused();
  edit->SetParent(nullptr);
  if (hadFocus && HandleAllocated() && CanFocus() && !IsBeingDestroyed()) SetFocus();
  if (!IsBeingDestroyed()) MakeFocusedVisible();
}

// ---- the control with a link component ----------------------------------------------------------

TcxFilterControl::TcxFilterControl(TComponent* owner) : TcxCustomFilterControl(owner) {}

TcxFilterControl::~TcxFilterControl() {
  if (linkComponent_) linkComponent_->RemoveFreeNotification(this);
}

IcxFilterControl* TcxFilterControl::GetLinkInterface() {
  return linkComponent_ ? dynamic_cast<IcxFilterControl*>(linkComponent_) : Link();
}

void TcxFilterControl::SetLinkComponent(TComponent* value) {
  if (value && !dynamic_cast<IcxFilterControl*>(value)) value = nullptr;
  if (value == linkComponent_) return;
  if (linkComponent_) linkComponent_->RemoveFreeNotification(this);
  linkComponent_ = value;
  if (linkComponent_) linkComponent_->FreeNotification(this);
  SetLink(GetLinkInterface());
}

void TcxFilterControl::Notification(TComponent* component, TOperation operation) {
  TcxCustomFilterControl::Notification(component, operation);
  if (operation == opRemove && component == linkComponent_) {
    linkComponent_ = nullptr;
    SetLink(nullptr);
  }
}

void InitializeCxFilterControl() {
  InitializeCxFilterControlUtils();
  InitializeCxComboBox();
}
