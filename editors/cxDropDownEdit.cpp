// The drop-down editor: properties, view data, the popup's look and feel, and the open and
// close protocol of the popup window.
#include "editors/cxDropDownEdit.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "rtl/TypInfo.h"

// ---- properties ------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomDropDownEditProperties)
KORVAN_IMPLEMENT_CLASS(TcxCustomDropDownEditViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomDropDownEditData)
KORVAN_IMPLEMENT_CLASS(TcxEditPopupControlLookAndFeel)
KORVAN_IMPLEMENT_CLASS(TcxFilterDropDownEditHelper)

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner) {
  // A button reports its addition before its own members exist: the glyph rule waits.
  applyingKind_ = true;
  Buttons()->Clear();
  Buttons()->AddButton()->SetKind(bkDown);
  applyingKind_ = false;
  glyphButtonIndex_ = GetDropDownButtonIndex();
}

TcxCustomDropDownEditProperties::~TcxCustomDropDownEditProperties() = default;

TClass TcxCustomDropDownEditProperties::GetContainerClass() { return TcxCustomDropDownEdit::StaticClass(); }

TcxCustomEditViewData* TcxCustomDropDownEditProperties::CreateViewData(TcxCustomEditStyle* style, bool is_inplace,
                                                                       bool hide_display_text) {
  auto* data = new TcxCustomDropDownEditViewData(this, style, is_inplace);
  data->InitFromProperties();
  data->HideDisplayText = hide_display_text;
  return data;
}

void TcxCustomDropDownEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomDropDownEditProperties*>(source);
  if (!s) {
    TcxCustomMaskEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    TcxCustomMaskEditProperties::Assign(source);
    if (TBitmap* glyph = s->ButtonGlyph()) SetButtonGlyph(glyph);
    immediateDropDown_ = s->immediateDropDown_;
    immediatePopup_ = s->immediatePopup_;
    showDropDownButtonPressed_ = s->showDropDownButtonPressed_;
    popupAutoSize_ = s->popupAutoSize_;
    popupClientEdge_ = s->popupClientEdge_;
    popupDirection_ = s->popupDirection_;
    popupMinHeight_ = s->popupMinHeight_;
    popupMinWidth_ = s->popupMinWidth_;
    popupHeight_ = s->popupHeight_;
    popupHorzAlignment_ = s->popupHorzAlignment_;
    popupSizeable_ = s->popupSizeable_;
    popupSysPanelStyle_ = s->popupSysPanelStyle_;
    popupVertAlignment_ = s->popupVertAlignment_;
    popupWidth_ = s->popupWidth_;
    postPopupValueOnTab_ = s->postPopupValueOnTab_;
    OnPopupClosed = s->OnPopupClosed;
    OnCloseQuery = s->OnCloseQuery;
    OnCloseUp = s->OnCloseUp;
    OnInitPopup = s->OnInitPopup;
    OnPopup = s->OnPopup;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TBitmap* TcxCustomDropDownEditProperties::ButtonGlyph() {
  if (glyphButtonIndex_ < 0 || glyphButtonIndex_ >= Buttons()->Count()) return nullptr;
  TcxEditButton* b = static_cast<TcxEditButton*>(Buttons()->Items(glyphButtonIndex_));
  return b->HasGlyph() ? b->Glyph() : nullptr;
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* v) {
  if (glyphButtonIndex_ < 0 || glyphButtonIndex_ >= Buttons()->Count()) return;
  static_cast<TcxEditButton*>(Buttons()->Items(glyphButtonIndex_))->SetGlyph(v);
  ApplyGlyphButtonKind();
}

void TcxCustomDropDownEditProperties::ApplyGlyphButtonKind() {
  if (applyingKind_ || glyphButtonIndex_ < 0 || glyphButtonIndex_ >= Buttons()->Count()) return;
  applyingKind_ = true;
  auto* b = static_cast<TcxEditButton*>(Buttons()->Items(glyphButtonIndex_));
  const bool hasGlyph = b->HasGlyph() && !b->Glyph()->Empty();
  if (hasGlyph) b->SetKind(bkGlyph);
  else if (b->Kind() == bkGlyph) b->SetKind(bkDown);
  applyingKind_ = false;
}

void TcxCustomDropDownEditProperties::MoveGlyphToButton(Integer index) {
  if (index == glyphButtonIndex_ || index < 0 || index >= Buttons()->Count()) return;
  TBitmap* glyph = ButtonGlyph();
  auto* to = static_cast<TcxEditButton*>(Buttons()->Items(index));
  if (glyph) to->SetGlyph(glyph);
  to->SetKind(bkGlyph);
  if (glyphButtonIndex_ >= 0 && glyphButtonIndex_ < Buttons()->Count()) {
    auto* from = static_cast<TcxEditButton*>(Buttons()->Items(glyphButtonIndex_));
    from->SetGlyph(nullptr);
    if (from->Kind() == bkGlyph) from->SetKind(bkDown);
  }
  glyphButtonIndex_ = index;
}

void TcxCustomDropDownEditProperties::NotifyPropertiesChanged() {
  ApplyGlyphButtonKind();
  TcxCustomMaskEditProperties::NotifyPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetShowDropDownButtonPressed(bool v) {
  if (v == showDropDownButtonPressed_) return;
  showDropDownButtonPressed_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupClientEdge(bool v) {
  if (v == popupClientEdge_) return;
  popupClientEdge_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupSizeable(bool v) {
  if (v == popupSizeable_) return;
  popupSizeable_ = v;
  NotifyPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupSysPanelStyle(bool v) {
  if (v == popupSysPanelStyle_) return;
  popupSysPanelStyle_ = v;
  NotifyPropertiesChanged();
}

TAlignment TcxCustomDropDownEditProperties::PopupAlignment() const {
  switch (popupHorzAlignment_) {
    case phaCenter: return taCenter;
    case phaRight: return taRightJustify;
    default: return taLeftJustify;
  }
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment v) {
  const TcxPopupHorzAlignment mapped = v == taCenter ? phaCenter : v == taRightJustify ? phaRight : phaLeft;
  if (mapped == popupHorzAlignment_) return;
  popupHorzAlignment_ = mapped;
  NotifyPropertiesChanged();
}

void TcxCustomDropDownEditProperties::SetPopupMinHeight(Integer v) {
  popupMinHeight_ = std::max(0, v);
  SetPopupHeight(popupHeight_);
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(Integer v) {
  popupMinWidth_ = std::max(0, v);
  SetPopupWidth(popupWidth_);
}

void TcxCustomDropDownEditProperties::SetPopupHeight(Integer v) { popupHeight_ = std::max(v, popupMinHeight_); }

void TcxCustomDropDownEditProperties::SetPopupWidth(Integer v) {
  popupWidth_ = v < 0 ? 0 : (v > 0 ? std::max(v, popupMinWidth_) : 0);
}

// ---- view data -----------------------------------------------------------------------------------

bool TcxCustomDropDownEditViewData::CanPressButton(TcxCustomEditViewInfo* view_info, Integer index) {
  auto* p = static_cast<TcxCustomDropDownEditProperties*>(Properties);
  return !(HotAndPopup && index == p->GetDropDownButtonIndex());
}

bool TcxCustomDropDownEditViewData::IsButtonForcedPressed(TcxCustomEditViewInfo* view_info, Integer index) {
  auto* p = static_cast<TcxCustomDropDownEditProperties*>(Properties);
  return Edit && index == p->GetDropDownButtonIndex() && (IsPopupOpen || HotAndPopup) &&
         p->ShowDropDownButtonPressed();
}

// ---- popup look and feel ----------------------------------------------------------------------------

TcxEditPopupControlLookAndFeel::TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* edit)
    : TcxLookAndFeel(edit), edit_(edit) {}

bool TcxEditPopupControlLookAndFeel::Refresh() {
  TcxLookAndFeelKind kind = lfStandard;
  if (edit_->InPlace()) {
    kind = edit_->Style()->LookAndFeel()->Kind();
  } else if (edit_->GetEffectiveProperties()->Buttons()->Count() > 0) {
    switch (static_cast<TcxCustomEditStyle*>(static_cast<TcxContainer*>(edit_)->Style())->ButtonStyle()) {
      case btsFlat:
      case btsSimple:
      case btsHotFlat: kind = lfFlat; break;
      case btsUltraFlat: kind = lfUltraFlat; break;
      case btsOffice11: kind = lfOffice11; break;
      default: kind = lfStandard; break;
    }
  }
  TcxCustomEditViewInfo* vi = edit_->GetEditViewInfo();
  const bool native = vi && vi->UsesTheme;
  const bool changed = kind != Kind() || native != NativeStyle();
  if (kind != Kind()) SetKind(kind);
  if (native != NativeStyle()) SetNativeStyle(native);
  return changed;
}

// ---- drop-down edit ---------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomDropDownEdit)

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* owner, bool in_place, TClass properties_class,
                                             TClass inner_edit_class)
    : TcxCustomMaskEdit(owner, in_place, properties_class, inner_edit_class) {
  if (!InDesignMode()) CreatePopupWindow();
  initialized_ = true;
  popupLookAndFeel_ = std::make_unique<TcxEditPopupControlLookAndFeel>(this);
}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() {
  if (PurgeShowMessage()) PopupWindowClosed();
  if (IcxTextEditLookupData* data = QueryLookupData()) data->OwnerDestroying();
  if (popupWindow_) {
    popupWindow_->OnClosed = nullptr;
    popupWindow_->OnClosing = nullptr;
    popupWindow_->OnShowed = nullptr;
    popupWindow_->OnShowing = nullptr;
    popupWindow_->OnCloseQuery = nullptr;
    popupWindow_->ClosePopup();
    delete popupWindow_;
    popupWindow_ = nullptr;
  }
}

TcxCustomEditPopupWindow* TcxCustomDropDownEdit::PopupWindow() { return popupWindow_; }

void TcxCustomDropDownEdit::CreatePopupWindow() {
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  popupWindow_ = static_cast<TcxCustomEditPopupWindow*>(p->GetPopupWindowClass()->Create(this));
  popupWindow_->SetTakesFocus(p->PopupTakesFocus());
  popupWindow_->SetTopmostWithOwner(!InPlace());
  popupWindow_->Style()->LookAndFeel()->AttachToMaster(Style()->LookAndFeel());
  popupWindow_->OnCloseQuery = [this](TObject*, bool& can_close) { can_close = PopupWindowCloseQuery(); };
  popupWindow_->OnClosed = [this](TObject*) { PopupWindowClosed(); };
  popupWindow_->OnShowed = [this](TObject*) { PopupWindowShown(); };
}

bool TcxCustomDropDownEdit::DroppedDown() {
  if (!popupWindow_) return false;
  const auto& shown = ShownPopups();
  return std::find(shown.begin(), shown.end(), popupWindow_) != shown.end();
}

bool TcxCustomDropDownEdit::ShowQueued() {
  if (!popupWindow_ || !popupWindow_->HandleAllocated()) return false;
  MSG msg;
  return PeekMessage(&msg, popupWindow_->Handle(), DXM_SHOWPOPUPWINDOW, DXM_SHOWPOPUPWINDOW, PM_NOREMOVE) != 0;
}

bool TcxCustomDropDownEdit::PurgeShowMessage() {
  if (!popupWindow_ || !popupWindow_->HandleAllocated()) return false;
  MSG msg;
  bool any = false;
  while (PeekMessage(&msg, popupWindow_->Handle(), DXM_SHOWPOPUPWINDOW, DXM_SHOWPOPUPWINDOW, PM_REMOVE)) any = true;
  return any;
}

void TcxCustomDropDownEdit::SetDroppedDown(bool v) {
  if (v == DroppedDown()) return;
  if (!v) CloseUp(crClosedOtherwise);
  else if (!ShowQueued()) DropDown();
}

void TcxCustomDropDownEdit::FireEvent(TNotifyEvent TcxCustomDropDownEditProperties::*event) {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  if (auto& own = DropDownProperties()->*event) own(this);
  if (!self || !RepositoryItem()) return;
  if (auto* p = dynamic_cast<TcxCustomDropDownEditProperties*>(RepositoryItem()->Properties()))
    if (auto& item = p->*event) item(this);
}

void TcxCustomDropDownEdit::DoInitPopup() {
  if (!popupInitialized_) {
    popupInitialized_ = true;
    try {
      FireEvent(&TcxCustomDropDownEditProperties::OnInitPopup);
    } catch (...) {
      popupInitialized_ = false;
      throw;
    }
  }
  if (UsesLookupData()) QueryLookupData()->InitPopup();
}

void TcxCustomDropDownEdit::DoFinalizePopup() {
  if (popupInitialized_) popupInitialized_ = false;
  if (UsesLookupData()) QueryLookupData()->FinalizeList();
  FireEvent(&TcxCustomDropDownEditProperties::OnFinalizePopup);
}

void TcxCustomDropDownEdit::DropDown() {
  if (!HandleAllocated() || !IsWindowVisible(Handle()) || !popupWindow_) return;
  closeUpReason_ = crClosedOtherwise;  // a popup closed by other means than CloseUp
  DoInitPopup();
  if (CanDropDown()) {
    PositionPopupWindow();
    popupWindow_->HandleNeeded();
    TWinControl* focus = PopupFocusControl();
    popupWindow_->SetFocusTarget(focus);
    PostMessage(popupWindow_->Handle(), DXM_SHOWPOPUPWINDOW, 0, 0);
  } else {
    DoFinalizePopup();
  }
}

TRect TcxCustomDropDownEdit::PopupOwnerBounds() {
  TRect r(0, 0, Width(), Height());
  TcxCustomEditViewInfo* vi = GetEditViewInfo();
  if (vi && vi->HasShadow) r.Right += 3;
  return ShiftedRect(r, Left(), Top());
}

void TcxCustomDropDownEdit::AttachLookupListToPopup() {
  if (!QueryLookupData() || InDesignMode() || !EffectiveDropDownProperties()->ShowsLookupListInPopup()) return;
  QueryLookupData()->CreateListIn(popupWindow_);
}

void TcxCustomDropDownEdit::SetupPopupWindow() {
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  TcxCustomEditPopupWindow* w = popupWindow_;
  w->SetOpenDirection(p->PopupDirection() == pdVertical ? 1 : 0);
  w->SetHorzAlignment(Byte(p->PopupHorzAlignment()));
  w->SetVertAlignment(Byte(p->PopupVertAlignment()));
  w->SetClientEdge(p->PopupClientEdge());
  w->MinHeight = p->PopupMinHeight();
  w->MinWidth = p->PopupMinWidth();
  w->SetAutoSize(p->PopupAutoSize());
  w->SetSizeable(p->PopupSizeable());
  w->SetSysPanelStyle(p->PopupSysPanelStyle());
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(CurrentEditData());
  if (InPlace() && p->PopupSizeable() && data && data->SizeRemembered) {
    w->PopupWidth = data->Width;
    w->PopupHeight = data->Height;
  } else {
    w->PopupWidth = p->PopupWidth();
    w->PopupHeight = p->PopupHeight();
  }
  w->SetCloseButton(static_cast<TcxCustomEditStyle*>(TcxContainer::Style())->PopupCloseButton());
  TcxCustomEditViewInfo* vi = GetEditViewInfo();
  TcxEditPopupBorderStyle border = vi ? vi->PopupBorderStyle : epbsDefault;
  if (border == epbsDefault) border = epbsSingle;
  w->SetBorderStyle(border);
  w->SetNativeStyle(vi && vi->UsesTheme);
  w->SetShadow(vi && vi->HasShadow);
  w->GetPopupViewInfo()->LookAndFeelKind = popupLookAndFeel_->Kind();
}

void TcxCustomDropDownEdit::PositionPopupWindow() {
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  popupWindow_->SetTakesFocus(p->PopupTakesFocus());
  AttachLookupListToPopup();
  SetupPopupWindow();
  popupWindow_->CalculateSize();
  TPoint pos = popupWindow_->CalculatePlacement();
  popupWindow_->FitToWorkArea(pos);
  popupWindow_->SetBounds(pos.X, pos.Y, popupWindow_->Width(), popupWindow_->Height());
  popupWindow_->RecalculateLayout();
  PositionPopupContent(popupWindow_->GetPopupViewInfo()->ClientArea);
  popupWindow_->ApplyPopupWindowRegion();
}

void TcxCustomDropDownEdit::PositionPopupContent(const TRect& r) {
  if (UsesLookupData()) QueryLookupData()->PlaceList(r);
}

TWinControl* TcxCustomDropDownEdit::PopupFocusControl() {
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  if (QueryLookupData() && p->ShowsLookupListInPopup() && p->PopupTakesFocus())
    if (TWinControl* list = QueryLookupData()->GetListControl()) return list;
  return InnerTextEdit();
}

void TcxCustomDropDownEdit::PopupWindowShown() {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  UpdateViewInfoAtCursor();
  popupWindow_->CalculateViewInfo();
  PositionPopupContent(popupWindow_->GetPopupViewInfo()->ClientArea);
  FirePopup();
  if (!self) return;
  RefreshDisplayText();
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  if (UsesLookupData() && FindSelection() && p->ImmediateDropDown() && p->PopupTakesFocus()) {
    const String text = VarToStr(CurrentDisplayText());
    QueryLookupData()->PopupShownWithText(text.substr(0, size_t(CharToElementLen(text, SelStart()))));
  }
  popupSizeChanged_ = false;
}

void TcxCustomDropDownEdit::FirePopup() {
  closeUpReason_ = crClosedOtherwise;
  FireEvent(&TcxCustomDropDownEditProperties::OnPopup);
}

void TcxCustomDropDownEdit::CloseUp(Byte reason) {
  if (!DroppedDown()) return;
  TWeakRef<TcxCustomDropDownEdit> self(this);
  LockChangeEvents(true);
  try {
    if (reason == crTab || reason == crDropDownKey || reason == crAccept) {
      if (UsesLookupData()) {
        const Variant key = QueryLookupData()->ReadCurrentKey();
        LockValueAssignment(true);
        try {
          QueryLookupData()->CommitListItem();
        } catch (...) {
          if (self) LockValueAssignment(false);
          throw;
        }
        LockValueAssignment(false);
        if (ChangedSinceEnter() && !SameVariantValues(key, QueryLookupData()->ReadCurrentKey())) ModifiedByUser();
      }
      TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
      if (!p->PostsOnPopupClosed() && p->ImmediatePost() && CanPostEditValue()) PostEditValue();
    }
  } catch (...) {
    if (self) LockChangeEvents(false);
    throw;
  }
  if (!self) return;
  LockChangeEvents(false);
  if (!self) return;
  closeUpReason_ = reason;
  popupWindow_->ClosePopup();
}

void TcxCustomDropDownEdit::PopupWindowClosed() {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  if (p->PopupSizeable() && popupSizeChanged_) {
    if (InPlace()) {
      if (auto* data = dynamic_cast<TcxCustomDropDownEditData*>(CurrentEditData())) {
        data->Width = popupWindow_->Width();
        data->Height = popupWindow_->Height();
        data->SizeRemembered = true;
      }
    } else {
      p->SetPopupWidth(popupWindow_->Width());
      p->SetPopupHeight(popupWindow_->Height());
    }
  }
  DoFinalizePopup();
  if (!self) return;
  if (p->GetEditingStyle() == tesListOnly) UpdateViewInfoAtCursor();
  DoCloseUp();
  if (!self) return;
  LockChangeEvents(true);
  try {
    if (p->PostsOnPopupClosed() && p->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) PostEditValue();
  } catch (...) {
    if (self) LockChangeEvents(false);
    throw;
  }
  if (!self) return;
  LockChangeEvents(false);
  if (!self) return;
  UpdateViewInfoAtCursor();
  if (!HandleAllocated()) hotAndPopup_ = false;
}

void TcxCustomDropDownEdit::DoCloseUp() {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  NotifyPopupClosed(closeUpReason_);
  if (self) FireEvent(&TcxCustomDropDownEditProperties::OnCloseUp);
}

bool TcxCustomDropDownEdit::PopupWindowCloseQuery() {
  bool can = true;
  if (DropDownProperties()->OnCloseQuery) DropDownProperties()->OnCloseQuery(this, can);
  if (can && RepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomDropDownEditProperties*>(RepositoryItem()->Properties()); p && p->OnCloseQuery)
      p->OnCloseQuery(this, can);
  return can;
}

// ---- state ---------------------------------------------------------------------------------------

bool TcxCustomDropDownEdit::Focused() { return TcxCustomMaskEdit::Focused() || DroppedDown(); }

bool TcxCustomDropDownEdit::IsInplaceForPaint() {
  return TcxCustomMaskEdit::IsInplaceForPaint() || (DroppedDown() && EffectiveDropDownProperties()->PostPopupValueOnTab());
}

bool TcxCustomDropDownEdit::SendActivationKey(char32_t key) {
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  if (!p->ImmediateDropDown()) return TcxCustomMaskEdit::SendActivationKey(key);
  if (p->PopupTakesFocus() && key != U'\r') return false;
  return TcxCustomMaskEdit::SendActivationKey(key);
}

bool TcxCustomDropDownEdit::IsClickKey(Word key, TShiftState shift) {
  if (TcxCustomMaskEdit::IsClickKey(key, shift)) return true;
  if (InPlace() || DroppedDown()) return false;
  return shift.Contains(ssAlt) || shift.Contains(ssCtrl) || key < 32 || key > 255;
}

bool TcxCustomDropDownEdit::CanNavigateLookupItems(bool by_wheel) {
  if (IsInnerEditUnavailable()) return false;
  if (InPlace() && !DroppedDown() && !by_wheel) return false;
  return true;
}

void TcxCustomDropDownEdit::FillViewInfoState(TcxCustomEditViewData* view_data) {
  TcxCustomMaskEdit::FillViewInfoState(view_data);
  if (auto* data = dynamic_cast<TcxCustomDropDownEditViewData*>(view_data)) {
    data->IsPopupOpen = DroppedDown();
    data->HotAndPopup = hotAndPopup_;
  }
}

bool TcxCustomDropDownEdit::RefreshState(const TPoint& p, Integer button, TShiftState shift, bool is_mouse_event) {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  const bool result = TcxCustomMaskEdit::RefreshState(p, button, shift, is_mouse_event);
  if (!self) return result;
  if (is_mouse_event && !(button == 0 && shift.Contains(ssDouble))) {
    TcxCustomEditViewInfo* vi = GetEditViewInfo();
    hotAndPopup_ = DroppedDown() && vi && vi->StateFlags.Contains(csfHot);
  }
  if (popupLookAndFeel_ && popupLookAndFeel_->Refresh()) PopupLookAndFeelChanged();
  return result;
}

void TcxCustomDropDownEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  if (!EffectiveDropDownProperties()->PopupSizeable()) sizeRemembered_ = false;
  if (DroppedDown()) PositionPopupWindow();
  TcxCustomMaskEdit::PropertiesChanged(properties);
}

// ---- keys, mouse, focus ------------------------------------------------------------------------------

bool TcxCustomDropDownEdit::HandleDropDownKey(Word& key, TShiftState shift) {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  if (((key == VK_UP || key == VK_DOWN) && shift.Contains(ssAlt)) || (key == VK_F4 && !shift.Contains(ssAlt))) {
    if (DroppedDown()) CloseUp(crDropDownKey);
    else SetDroppedDown(true);
    key = 0;
    return true;
  }
  if ((key == VK_RETURN || key == VK_ESCAPE) && !shift.Contains(ssAlt) && DroppedDown()) {
    SetCloseKeyPending(true);
    const bool saved = UserChange();
    SetUserChange(true);
    try {
      CloseUp(key == VK_RETURN && CanModify() ? crAccept : crCancel);
    } catch (...) {
      if (self) SetUserChange(saved);
      throw;
    }
    if (!self) return true;
    SetUserChange(saved);
    if (!DroppedDown()) {
      if (key == VK_ESCAPE && GetCapture()) ReleaseCapture();
      key = 0;
    }
    return true;
  }
  return false;
}

void TcxCustomDropDownEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  if (HandleDropDownKey(key, shift)) return;
  TcxCustomMaskEdit::DoEditKeyDown(key, shift);
}

void TcxCustomDropDownEdit::PopupKeyDown(Word& key, TShiftState shift) {
  if (HandleDropDownKey(key, shift)) return;
  if (key == VK_TAB && DroppedDown() && EffectiveDropDownProperties()->PostPopupValueOnTab()) {
    CloseUp(crTab);
    key = 0;
  }
}

void TcxCustomDropDownEdit::HandleTabKey(TShiftState shift) {
  if (DroppedDown() && EffectiveDropDownProperties()->PostPopupValueOnTab()) CloseUp(crTab);
  TcxCustomMaskEdit::HandleTabKey(shift);
}

void TcxCustomDropDownEdit::DoEditKeyPress(char32_t& key) {
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  if (key >= 32 && p->ImmediateDropDown() && !DroppedDown()) {
    DropDown();
    if (p->PopupTakesFocus() && key != U'\r' && CanDropDown() && PopupFocusControl() && popupWindow_ &&
        popupWindow_->HandleAllocated()) {
      PostMessage(popupWindow_->Handle(), DXM_POPUPFORWARDCHAR, WPARAM(key), 0);
      key = 0;
      return;
    }
  }
  TcxCustomMaskEdit::DoEditKeyPress(key);
}

void TcxCustomDropDownEdit::DoButtonClick(Integer index) {
  if (index == EffectiveDropDownProperties()->GetDropDownButtonIndex()) SetDroppedDown(true);
  TcxCustomMaskEdit::DoButtonClick(index);
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  // A press while the popup is open closes it (the drop-down button cannot be pressed then).
  const bool wasOpen = DroppedDown();
  if (wasOpen) hotAndPopup_ = true;
  TWeakRef<TcxCustomDropDownEdit> self(this);
  TcxCustomMaskEdit::MouseDown(button, shift, x, y);
  if (!self) return;
  if (wasOpen && button == mbLeft) {
    CloseUp(crClosedOtherwise);
    return;
  }
  if (button == mbLeft && !activatingByMouse_ && EffectiveDropDownProperties()->DropDownOnClick() && !DroppedDown() &&
      !hotAndPopup_ && Focused()) {
    TcxCustomEditViewInfo* vi = GetEditViewInfo();
    const TPoint p(x, y);
    if (vi && PtInRect(&vi->ClientArea, p)) DropDown();
  }
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState shift, Integer delta, TPoint mouse_pos) {
  if (TcxCustomMaskEdit::DoMouseWheel(shift, delta, mouse_pos)) return true;
  if (CanNavigateLookupItems(true) && DroppedDown() && UsesLookupData() && !QueryLookupData()->HasNoItems()) {
    if (TWinControl* list = QueryLookupData()->GetListControl(); list && list->HandleAllocated())
      SendMessage(list->Handle(), WM_MOUSEWHEEL, WPARAM(ShiftStateToMouseKeys(shift)) | (WPARAM(Word(SmallInt(delta))) << 16),
                  LPARAM(DWORD(Word(mouse_pos.X)) | (DWORD(Word(mouse_pos.Y)) << 16)));
    return true;
  }
  return false;
}

void TcxCustomDropDownEdit::NotifyFocusChanged() {
  if (!EffectiveDropDownProperties()->PopupTakesFocus() && InnerTextEdit() && InnerTextEdit()->HandleAllocated() &&
      GetFocus() != InnerTextEdit()->Handle())
    CloseUp(crClosedOtherwise);
  TcxCustomMaskEdit::NotifyFocusChanged();
}

void TcxCustomDropDownEdit::DoExit() {
  TWeakRef<TcxCustomDropDownEdit> self(this);
  CloseUp(crClosedOtherwise);
  if (!self) return;
  TcxCustomMaskEdit::NotifyFocusChanged();
  if (!self) return;
  TcxCustomMaskEdit::DoExit();
}

void TcxCustomDropDownEdit::DestroyWnd() {
  CloseUp(crClosedOtherwise);
  if (popupInitialized_) DoFinalizePopup();
  if (popupWindow_ && popupWindow_->HandleAllocated()) {
    if (PurgeShowMessage()) PopupWindowClosed();
    popupWindow_->FreeWindowHandle();
  }
  TcxCustomMaskEdit::DestroyWnd();
}

void TcxCustomDropDownEdit::CreateWnd() {
  TcxCustomMaskEdit::CreateWnd();
  AttachLookupListToPopup();
  if (popupLookAndFeel_) popupLookAndFeel_->Refresh();
}

void TcxCustomDropDownEdit::PasteFromClipboard() {
  if (!Focused()) {
    TcxCustomMaskEdit::PasteFromClipboard();
    return;
  }
  const String before = VarToStr(CurrentDisplayText());
  const bool saved = UserChange();
  SetUserChange(true);
  TcxCustomMaskEdit::PasteFromClipboard();
  SetUserChange(saved);
  if (VarToStr(CurrentDisplayText()) == before) return;
  if (EffectiveDropDownProperties()->ImmediateDropDown() && !DroppedDown()) {
    DropDown();
    if (UsesLookupData() && HandleAllocated()) PostMessage(Handle(), DXM_SYNCLOOKUPDATA, 0, 0);
  }
}

void TcxCustomDropDownEdit::WndProc(TMessage& m) {
  if (m.Msg == DXM_SYNCLOOKUPDATA) {
    if (DroppedDown() && UsesLookupData()) {
      IcxTextEditLookupData* data = QueryLookupData();
      const Variant key = data->ReadCurrentKey();
      LockValueAssignment(true);
      data->SyncWithEditText();
      LockValueAssignment(false);
      if (!SameVariantValues(key, data->ReadCurrentKey())) ModifiedByUser();
      const String text = VarToStr(CurrentDisplayText());
      const TcxTextEditingStyle style = EffectiveTextProperties()->GetEditingStyle();
      if (style == tesFreeText) SetFindSelection(CharCount(text) == SelStart() && data->IsItemText(text));
      else if (style == tesListOnly) SetFindSelection(true);
    }
    return;
  }
  TcxCustomMaskEdit::WndProc(m);
}

// ---- in place ------------------------------------------------------------------------------------

TcxCustomEditData* TcxCustomDropDownEdit::CreateEditData() {
  auto* data = new TcxCustomDropDownEditData(this);
  data->Clear();
  return data;
}

void TcxCustomDropDownEdit::InitEditData() {
  if (auto* data = dynamic_cast<TcxCustomDropDownEditData*>(CurrentEditData())) {
    data->SizeRemembered = false;
    data->Width = EffectiveDropDownProperties()->PopupWidth();
    data->Height = EffectiveDropDownProperties()->PopupHeight();
  }
}

void TcxCustomDropDownEdit::ActivateInPlace(TcxCustomEditData*& edit_data) {
  TcxCustomMaskEdit::ActivateInPlace(edit_data);
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(CurrentEditData());
  sizeRemembered_ = data && data->SizeRemembered && EffectiveDropDownProperties()->PopupSizeable();
  if (EffectiveDropDownProperties()->ImmediatePopup()) DropDown();
}

void TcxCustomDropDownEdit::ActivateByKey(char32_t key, TcxCustomEditData*& edit_data) {
  TcxCustomMaskEdit::ActivateByKey(key, edit_data);
  TcxCustomDropDownEditProperties* p = EffectiveDropDownProperties();
  if (key >= 32 && p->ImmediateDropDown() && !p->ImmediatePopup() && !SendActivationKey(key)) {
    DropDown();
    if (CanDropDown() && PopupFocusControl() && popupWindow_ && popupWindow_->HandleAllocated())
      PostMessage(popupWindow_->Handle(), DXM_POPUPFORWARDCHAR, WPARAM(key), 0);
  }
}

void TcxCustomDropDownEdit::ActivateByMouse(TShiftState shift, Integer x, Integer y, TcxCustomEditData*& edit_data) {
  activatingByMouse_ = true;
  TWeakRef<TcxCustomDropDownEdit> self(this);
  try {
    TcxCustomMaskEdit::ActivateByMouse(shift, x, y, edit_data);
  } catch (...) {
    if (self) activatingByMouse_ = false;
    throw;
  }
  if (self) activatingByMouse_ = false;
}

bool TcxCustomDropDownEdit::DeactivateInPlace() {
  CloseUp(crClosedOtherwise);
  if (auto* data = dynamic_cast<TcxCustomDropDownEditData*>(CurrentEditData())) data->SizeRemembered = sizeRemembered_;
  const bool result = TcxCustomMaskEdit::DeactivateInPlace();
  if (PurgeShowMessage()) PopupWindowClosed();
  return result;
}

void InitializeCxDropDownEdit() {
  InitUnit("cxDropDownEdit", [] { InitializeCxMaskEdit(); });
}
