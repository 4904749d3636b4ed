// The view component: companions, update bracket, changes, relations, synchronisation with
// the pattern, options and styles, listener links, the view registry and the unit start.
#include "grid/cxGridCustomView.h"

#include <algorithm>

#include "data/cxCustomData.h"
#include "data/cxCustomDataInternal.h"
#include "grid/cxGrid.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"

KORVAN_IMPLEMENT_CLASS(TcxGridViewHandler)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridViewData)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridOptions)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridOptionsBehavior) {
  p.Bool("PostponedSynchronization", &TcxCustomGridOptionsBehavior::PostponedSynchronization,
         &TcxCustomGridOptionsBehavior::SetPostponedSynchronization)
      .Default(true);
}
KORVAN_IMPLEMENT_CLASS(TcxCustomGridOptionsData)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridOptionsSelection)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridOptionsView)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridBackgroundBitmaps)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridStyles)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridViewStyles) {
  p.Object("Background", &TcxCustomGridViewStyles::BackgroundStyle, &TcxCustomGridViewStyles::SetBackground,
           TcxStyle::StaticClass());
}
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomGridView) {
  p.Enum("DragMode", &TcxCustomGridView::DragMode, &TcxCustomGridView::SetDragMode,
         EnumTypeInfo("TDragMode", {"dmManual", "dmAutomatic"}))
      .Default(dmManual);
  p.Object("PopupMenu", &TcxCustomGridView::PopupMenu, &TcxCustomGridView::SetPopupMenu, TComponent::StaticClass());
  p.Bool("Synchronization", &TcxCustomGridView::Synchronization, &TcxCustomGridView::SetSynchronization)
      .Default(true);
  p.Event("OnCustomization", &TcxCustomGridView::OnCustomization);
}

namespace {

using cxdata_internal::Finally;

// Two handlers are the same when both are unassigned or both hold the same plain function.
template <class Fn>
bool SameHandler(const Fn& a, const Fn& b) {
  if (!a || !b) return !a && !b;
  return false;
}

TGridHitTests* gHitTests = nullptr;
TcxGridRegisteredViews* gRegisteredViews = nullptr;

}  // namespace

// ---- handler ------------------------------------------------------------------------------------

TcxGridViewHandler::TcxGridViewHandler(TcxCustomGridView* gridView)
    : TcxInterfacedPersistent(gridView), gridView_(gridView) {}

TcxControl* TcxGridViewHandler::Control() const { return gridView_->OwnerControl(); }
TcxCustomGrid* TcxGridViewHandler::Grid() const { return gridView_->Control(); }
TcxCustomGridController* TcxGridViewHandler::Controller() const { return gridView_->Controller(); }
TcxCustomDataController* TcxGridViewHandler::DataController() const { return gridView_->DataController(); }
TcxCustomGridPainter* TcxGridViewHandler::Painter() const { return gridView_->Painter(); }
TcxGridSite* TcxGridViewHandler::Site() const { return gridView_->Site(); }
TcxCustomGridViewData* TcxGridViewHandler::ViewData() const { return gridView_->ViewData(); }
TcxCustomGridViewInfo* TcxGridViewHandler::ViewInfo() const { return gridView_->ViewInfo(); }

TcxCustomLookAndFeelPainterClass TcxGridViewHandler::GetLookAndFeelPainter() const {
  return Control() ? Control()->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
}

void TcxGridViewHandler::BeginUpdate() { gridView_->BeginUpdate(); }
void TcxGridViewHandler::EndUpdate() { gridView_->EndUpdate(); }

// ---- options ------------------------------------------------------------------------------------

TcxCustomGridOptions::TcxCustomGridOptions(TcxCustomGridView* gridView)
    : TcxInterfacedPersistent(gridView), gridView_(gridView) {
  gridView_->AddOptions(this);
}

TcxCustomGridOptions::~TcxCustomGridOptions() { gridView_->RemoveOptions(this); }

void TcxCustomGridOptions::Changed(Integer kind) { gridView_->Changed(kind); }

void TcxCustomGridOptions::AssignFrom(TPersistent* source) {
  if (dynamic_cast<TcxCustomGridOptions*>(source)) return;
  TcxInterfacedPersistent::Assign(source);
}

bool TcxCustomGridOptionsBehavior::PostponedSynchronization() const {
  TcxCustomGridView* pattern = GridView()->PatternGridView();
  if (pattern && pattern->OptionsBehavior()) return pattern->OptionsBehavior()->PostponedSynchronization();
  return postponedSynchronization_;
}

void TcxCustomGridOptionsBehavior::SetPostponedSynchronization(bool v) {
  if (v == postponedSynchronization_) return;
  postponedSynchronization_ = v;
  Changed(0);
}

void TcxCustomGridOptionsBehavior::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridOptionsBehavior*>(source))
    SetPostponedSynchronization(s->postponedSynchronization_);
  TcxCustomGridOptions::AssignFrom(source);
}

TScrollStyle TcxCustomGridOptionsView::ScrollBars() const {
  TcxGridSite* site = GridView()->Site();
  return site ? site->ScrollBarsSetting() : ssBoth;
}

void TcxCustomGridOptionsView::SetScrollBars(TScrollStyle v) {
  TcxGridSite* site = GridView()->Site();
  if (!site || v == site->ScrollBarsSetting()) return;
  site->ChangeScrollBarsSetting(v);
  Changed(0);
}

void TcxCustomGridOptionsView::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridOptionsView*>(source)) SetScrollBars(s->ScrollBars());
  TcxCustomGridOptions::AssignFrom(source);
}

TcxCustomGridBackgroundBitmaps::~TcxCustomGridBackgroundBitmaps() = default;

TBitmap* TcxCustomGridBackgroundBitmaps::OwnBitmap(Integer index) {
  if (index >= Integer(bitmaps_.size())) bitmaps_.resize(size_t(index) + 1);
  std::unique_ptr<TBitmap>& b = bitmaps_[size_t(index)];
  if (!b) {
    b = std::make_unique<TBitmap>();
    b->OnChange = [this](TObject*) { Changed(1); };
  }
  return b.get();
}

TBitmap* TcxCustomGridBackgroundBitmaps::GetDefaultBitmap(Integer index) {
  Integer styleIndex = GetBitmapStyleIndex(index);
  if (styleIndex < 0 || !GridView()->Styles()) return nullptr;
  return GridView()->Styles()->GetStyleBitmap(styleIndex);
}

TBitmap* TcxCustomGridBackgroundBitmaps::GetBitmap(Integer index) {
  if (index < Integer(bitmaps_.size()) && bitmaps_[size_t(index)] && !bitmaps_[size_t(index)]->Empty())
    return bitmaps_[size_t(index)].get();
  return GetDefaultBitmap(index);
}

void TcxCustomGridBackgroundBitmaps::AssignFrom(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxCustomGridBackgroundBitmaps*>(source)) {
    if (!s->bitmaps_.empty() && s->bitmaps_[0])
      SetBackground(s->bitmaps_[0].get());
    else if (!bitmaps_.empty() && bitmaps_[0] && !bitmaps_[0]->Empty())
      bitmaps_[0]->Assign(nullptr);
  }
  TcxCustomGridOptions::AssignFrom(source);
}

// ---- styles ---------------------------------------------------------------------------------------

TcxCustomGridStyles::TcxCustomGridStyles(TPersistent* owner)
    : TcxStyles(owner), gridView_(dynamic_cast<TcxCustomGridView*>(owner)) {}

TcxCustomGridStyles::~TcxCustomGridStyles() { inTeardown_ = true; }

void TcxCustomGridStyles::IndexChanged(Integer) {
  TcxCustomGridView* view = GridView();
  if (!view) return;
  view->RefreshFakeLinks();
  view->Changed(2);
}

void TcxCustomGridStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxStyles::DefaultViewParams(index, data, params);
  TcxCustomGridView* view = GridView();
  if (!view) return;
  if (TcxCustomGrid* grid = view->Control())
    params.Font = grid->Font();
  else if (view->Painter() && view->Painter()->Canvas())
    params.Font = view->Painter()->Canvas()->CurrentFont();
}

void TcxCustomGridViewStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxCustomGridStyles::DefaultViewParams(index, data, params);
  if (index == vsBackground) {
    TcxCustomGrid* grid = GridView() ? GridView()->Control() : nullptr;
    params.Color = (grid ? grid->CurrentPainter() : TcxStandardLookAndFeelPainter::Class())->ContentColor();
    params.TextColor = clGrayText;
  }
}

// ---- listener links -----------------------------------------------------------------------------

TcxGridListenerLink::~TcxGridListenerLink() {
  if (gridView_) gridView_->RemoveListenerLink(this);
}

// ---- the view ---------------------------------------------------------------------------------------

TcxCustomGridView::TcxCustomGridView(TComponent* owner) : TcxControlChildComponent(owner) {}

TcxCustomGridView::~TcxCustomGridView() {
  Teardown();
  if (OwnerControl()) BindControl(nullptr);
}

void TcxCustomGridView::BeforeDestruction() {
  TcxControlChildComponent::BeforeDestruction();
  Teardown();
}

TcxCustomGridView* TcxCustomGridView::CreateForGrid(TClass cls, TcxControl* control) {
  TcxControlChildComponent* child = TcxControlChildComponent::CreateForControl(cls, control);
  auto* view = dynamic_cast<TcxCustomGridView*>(child);
  if (!view) {
    child->Free();
    throw EInvalidCast("Invalid class typecast");
  }
  view->transient_ = true;
  return view;
}

void TcxCustomGridView::Teardown() {
  if (tornDown_ || !subobjectsMade_) {
    tornDown_ = true;
    return;
  }
  tornDown_ = true;
  if (TcxCustomGrid* grid = Control()) grid->DropViewChanges(this);
  if (controller_) controller_->SetCustomization(false);
  SetFocused(false);
  if (patternGridView_) patternGridView_->RemoveClone(this);
  if (level_) level_->SetGridView(nullptr);
  repository_ = nullptr;
  DestroyHandlers();
  DestroyOptions();
  for (TcxCustomGridView* clone : clones_) clone->patternGridView_ = nullptr;
  clones_.clear();
  std::vector<TcxGridListenerLink*> links;
  links.swap(listenerLinks_);
  for (TcxGridListenerLink* link : links) link->Clear();
}

bool TcxCustomGridView::IsDestroying() const { return tornDown_ || ComponentState().Contains(csDestroying); }

void TcxCustomGridView::InitSubobjects() {
  if (subobjectsMade_) return;
  subobjectsMade_ = true;
  synchronization_ = true;
  CreateOptions();
  CreateHandlers();
}

void TcxCustomGridView::CreateOptions() {
  backgroundBitmaps_ = static_cast<TcxCustomGridBackgroundBitmaps*>(GetBackgroundBitmapsClass()->Create(this));
  optionsBehavior_ = static_cast<TcxCustomGridOptionsBehavior*>(GetOptionsBehaviorClass()->Create(this));
  optionsData_ = static_cast<TcxCustomGridOptionsData*>(GetOptionsDataClass()->Create(this));
  optionsSelection_ = static_cast<TcxCustomGridOptionsSelection*>(GetOptionsSelectionClass()->Create(this));
  optionsView_ = static_cast<TcxCustomGridOptionsView*>(GetOptionsViewClass()->Create(this));
  styles_ = static_cast<TcxCustomGridStyles*>(GetStylesClass()->Create(this));
}

void TcxCustomGridView::DestroyOptions() {
  FreeAndNil(styles_);
  FreeAndNil(optionsView_);
  FreeAndNil(optionsSelection_);
  FreeAndNil(optionsData_);
  FreeAndNil(optionsBehavior_);
  FreeAndNil(backgroundBitmaps_);
  options_.clear();
}

void TcxCustomGridView::CreateHandlers() {
  controller_ = static_cast<TcxCustomGridController*>(GetControllerClass()->Create(this));
  dataController_ = GetDataControllerClass()(this);
  HookDataController();
  painter_ = static_cast<TcxCustomGridPainter*>(GetPainterClass()->Create(this));
  viewData_ = static_cast<TcxCustomGridViewData*>(GetViewDataClass()->Create(this));
  viewInfo_ = static_cast<TcxCustomGridViewInfo*>(GetViewInfoClass()->Create(this));
  viewInfo_->CreateSite();
  if (TClass cache = GetViewInfoCacheClass()) viewInfoCache_ = static_cast<TcxCustomGridViewInfoCache*>(cache->Create(this));
}

void TcxCustomGridView::DestroyHandlers() {
  if (dataController_) {
    TcxCustomDataController* dc = dataController_;
    dataController_ = nullptr;
    dc->OnUpdateControl = nullptr;
    dc->Free();
  }
  FreeAndNil(viewInfoCache_);
  FreeAndNil(viewInfo_);
  FreeAndNil(viewData_);
  FreeAndNil(painter_);
  FreeAndNil(controller_);
}

void TcxCustomGridView::HookDataController() {
  dataController_->OnUpdateControl = [this](TcxUpdateControlInfo* info) { UpdateControl(info); };
}

TClass TcxCustomGridView::GetBackgroundBitmapsClass() { return TcxCustomGridBackgroundBitmaps::StaticClass(); }
TClass TcxCustomGridView::GetOptionsBehaviorClass() { return TcxCustomGridOptionsBehavior::StaticClass(); }
TClass TcxCustomGridView::GetOptionsDataClass() { return TcxCustomGridOptionsData::StaticClass(); }
TClass TcxCustomGridView::GetOptionsSelectionClass() { return TcxCustomGridOptionsSelection::StaticClass(); }
TClass TcxCustomGridView::GetOptionsViewClass() { return TcxCustomGridOptionsView::StaticClass(); }
TClass TcxCustomGridView::GetStylesClass() { return TcxCustomGridViewStyles::StaticClass(); }

TcxGridSite* TcxCustomGridView::Site() const { return viewInfo_ ? viewInfo_->SiteWindow() : nullptr; }

TcxCustomGrid* TcxCustomGridView::Control() const { return grid_; }

void TcxCustomGridView::RemoveOptions(TcxCustomGridOptions* options) {
  options_.erase(std::remove(options_.begin(), options_.end(), options), options_.end());
}

void TcxCustomGridView::SetRepository(TComponent* repository) { repository_ = repository; }

// ---- published properties -------------------------------------------------------------------------

TDragMode TcxCustomGridView::DragMode() const { return Site() ? Site()->DragMode() : dmManual; }

void TcxCustomGridView::SetDragMode(TDragMode v) {
  if (!Site() || v == Site()->DragMode()) return;
  Site()->SetDragMode(v);
  Changed(0);
}

TComponent* TcxCustomGridView::PopupMenu() const { return Site() ? Site()->PopupMenu() : nullptr; }

void TcxCustomGridView::SetPopupMenu(TComponent* v) {
  if (!Site() || v == Site()->PopupMenu()) return;
  Site()->SetPopupMenu(v);
  Changed(0);
}

bool TcxCustomGridView::Synchronization() const {
  if (patternGridView_) return patternGridView_->Synchronization();
  return synchronization_;
}

void TcxCustomGridView::SetSynchronization(bool v) {
  if (v == synchronization_) return;
  synchronization_ = v;
  if (!IsPattern()) return;
  if (v)
    SynchronizeWithPattern(true);
  else
    synchronizationNeeded_ = false;
}

const TNotifyEvent& TcxCustomGridView::OnDblClick() const {
  static const TNotifyEvent none;
  return Site() ? Site()->OnDblClick : none;
}

void TcxCustomGridView::SetOnDblClick(const TNotifyEvent& v) {
  if (!Site() || SameHandler(v, Site()->OnDblClick)) return;
  Site()->OnDblClick = v;
  Changed(0);
}

const TMouseEvent& TcxCustomGridView::OnMouseDown() const {
  static const TMouseEvent none;
  return Site() ? Site()->OnMouseDown : none;
}

void TcxCustomGridView::SetOnMouseDown(const TMouseEvent& v) {
  if (!Site() || SameHandler(v, Site()->OnMouseDown)) return;
  Site()->OnMouseDown = v;
  Changed(0);
}

const TKeyEvent& TcxCustomGridView::OnKeyDown() const {
  static const TKeyEvent none;
  return Site() ? Site()->OnKeyDown : none;
}

void TcxCustomGridView::SetOnKeyDown(const TKeyEvent& v) {
  if (!Site() || SameHandler(v, Site()->OnKeyDown)) return;
  Site()->OnKeyDown = v;
  Changed(0);
}

// ---- stored layout ------------------------------------------------------------------------------------

String TcxCustomGridView::GetStoringName() { return storingName_.empty() ? Name() : storingName_; }

void TcxCustomGridView::GetStoredProperties(TStrings* properties) {
  properties->Add("Version");
  if (OnGetStoredProperties) OnGetStoredProperties(this, properties);
}

void TcxCustomGridView::GetStoredPropertyValue(const String& name, Variant& value) {
  if (name == "Version") value = Variant(Integer(1));
  if (OnGetStoredPropertyValue) OnGetStoredPropertyValue(this, name, value);
}

void TcxCustomGridView::SetStoredPropertyValue(const String& name, const Variant& value) {
  if (name == "Version") storedVersion_ = value.AsInteger();
  if (OnSetStoredPropertyValue) OnSetStoredPropertyValue(this, name, value);
}

void TcxCustomGridView::DeleteStoredObject(const String&, TObject* object) {
  if (object) object->Free();
}

TObject* TcxCustomGridView::StoredCreateChild(const String& objectName, const String& className) {
  TObject* result = CreateStoredObject(objectName, className);
  if (storingName_.empty())
    if (auto* c = dynamic_cast<TComponent*>(result)) c->SetName(objectName);
  DoInitStoredObject(result);
  return result;
}

void TcxCustomGridView::ShowCustomizationForm() {
  if (controller_) controller_->SetCustomization(true);
}

void TcxCustomGridView::EditLayout(TcxCustomGridView* copy) {
  BeginUpdate();
  Finally end{[this] { EndUpdate(); }};
  ApplyEditedLayout(copy);
}

// ---- assignment --------------------------------------------------------------------------------------

void TcxCustomGridView::AssignDataController(TcxCustomGridView* source) {
  // The data controller's settings (a detail clone's data source and key fields among them).
  if (dataController_ && source->dataController_ && dataController_ != source->dataController_)
    dataController_->Assign(source->dataController_);
}

void TcxCustomGridView::AssignDataControllerData(TcxCustomGridView*) {}

void TcxCustomGridView::DoAssign(TcxCustomGridView* source) {
  backgroundBitmaps_->AssignFrom(source->backgroundBitmaps_);
  SetDragMode(source->DragMode());
  optionsBehavior_->AssignFrom(source->optionsBehavior_);
  optionsData_->AssignFrom(source->optionsData_);
  optionsSelection_->AssignFrom(source->optionsSelection_);
  optionsView_->AssignFrom(source->optionsView_);
  SetPopupMenu(source->PopupMenu());
  styles_->AssignFrom(source->styles_);
  SetSynchronization(source->synchronization_);
  OnCustomization = source->OnCustomization;
  if (Site() && source->Site()) {
    Site()->OnDblClick = source->Site()->OnDblClick;
    Site()->OnMouseDown = source->Site()->OnMouseDown;
    Site()->OnKeyDown = source->Site()->OnKeyDown;
  }
  OnGetStoredProperties = source->OnGetStoredProperties;
  OnGetStoredPropertyValue = source->OnGetStoredPropertyValue;
  OnSetStoredPropertyValue = source->OnSetStoredPropertyValue;
  AfterAssign();
}

void TcxCustomGridView::Assign(TPersistent* source) {
  if (auto* view = dynamic_cast<TcxCustomGridView*>(source)) {
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    AssignDataController(view);
    DoAssign(view);
    AssignDataControllerData(view);
  } else {
    TcxControlChildComponent::Assign(source);
  }
}

// ---- state queries -------------------------------------------------------------------------------------

bool TcxCustomGridView::CanFocus() { return CalculateVisible(level_ && level_->IsVisibleInHierarchy()); }

bool TcxCustomGridView::GetControlTabStop() { return Control() && Control()->TabStop(); }

void TcxCustomGridView::DoChanged(Integer) {
  if (controller_) controller_->RefreshCustomizationForm();
}

bool TcxCustomGridView::CanUpdateLayout() {
  return (IsVisible() || (IsPattern() && IsDetailView())) && Control() != nullptr;
}

bool TcxCustomGridView::CalculateVisible(bool levelShown) {
  if (!levelShown || IsPattern()) return false;
  TcxCustomGridView* master = MasterGridView();
  if (!master) return true;
  return master->IsVisible() && master->IsDetailVisible(this);
}

bool TcxCustomGridView::IsControlFocused() {
  TcxCustomGrid* grid = Control();
  if (!grid || !grid->HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == grid->Handle() || IsChild(grid->Handle(), focus));
}

bool TcxCustomGridView::IsVisible() { return !IsDestroying() && CalculateVisible(level_ && level_->IsShown()); }

void TcxCustomGridView::FocusChanged(bool focused) {
  if (controller_) controller_->FocusChanged(focused);
}

void TcxCustomGridView::LookAndFeelChanged() {
  for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(clones_)) clone->LookAndFeelChanged();
}

void TcxCustomGridView::SetLevel(TcxGridLevel* level) {
  level_ = level;
  if (Site() && Site()->Parent()) SetSiteTabStop(level_ && level_->IsTop());
}

void TcxCustomGridView::SetSiteTabStop(bool value) {
  if (Site()) Site()->SetTabStop(value && GetControlTabStop());
  if (Control() && IsFocused()) Control()->UpdateOwnTabStop();
}

void TcxCustomGridView::UpdateControl(TcxUpdateControlInfo* info) {
  if (BeingLoaded() || IsDestroying() || IsPattern() || !dynamic_cast<TcxDataChangedInfo*>(info)) return;
  TcxCustomGridView* master = patternGridView_ ? MasterGridView() : nullptr;
  if (master && !master->IsUpdateLocked() && master->DataController() &&
      master->DataController()->InfoLockCount() == 0)
    master->DetailDataChanged(this);
}

void TcxCustomGridView::DoCustomization() {
  if (OnCustomization) OnCustomization(this);
}

void TcxCustomGridView::DoInitStoredObject(TObject* object) {
  if (object && OnInitStoredObject) OnInitStoredObject(this, object);
}

void TcxCustomGridView::SizeChanged(bool updateGridViewOnly, bool keepMaster) {
  if (IsLayoutWidthDependent())
    QueueSizeChange(updateGridViewOnly, keepMaster);
  else
    QueueLayoutChange();
}

// ---- binding, streaming -----------------------------------------------------------------------------

void TcxCustomGridView::BindControl(TcxControl* control) {
  TcxControl* old = OwnerControl();
  if (old == control) return;
  if (auto* grid = dynamic_cast<TcxCustomGrid*>(old)) grid->ViewRemoved(this);
  TcxControlChildComponent::BindControl(control);
  grid_ = dynamic_cast<TcxCustomGrid*>(control);
  if (!control) return;
  if (!storageControl_ && !repository_ && !transient_) storageControl_ = control;
  if (auto* grid = dynamic_cast<TcxCustomGrid*>(control)) grid->ViewAdded(this);
}

TComponent* TcxCustomGridView::GetParentComponent() const {
  return storageControl_ ? static_cast<TComponent*>(storageControl_) : repository_;
}

bool TcxCustomGridView::HasParent() const { return storageControl_ || repository_; }

void TcxCustomGridView::SetParentComponent(TComponent* value) {
  EnsureSubobjects();
  TcxControlChildComponent::SetParentComponent(value);
  if (auto* control = dynamic_cast<TcxControl*>(value); control && !storageControl_) storageControl_ = control;
}

void TcxCustomGridView::Loaded() {
  TcxControlChildComponent::Loaded();
  // What the data controller held back while loading (notifications, stored records).
  if (dataController_) dataController_->DoPendingNotifications();
  AfterLoadLayoutChange();
  AfterAssign();
}

void TcxCustomGridView::SetName(const String& newName) { TcxControlChildComponent::SetName(newName); }

void TcxCustomGridView::Notification(TComponent* c, TOperation operation) {
  TcxControlChildComponent::Notification(c, operation);
  for (TcxCustomGridOptions* o : std::vector<TcxCustomGridOptions*>(options_)) o->Notification(c, operation);
  if (operation == opRemove && c == PopupMenu() && Site()) Site()->SetPopupMenu(nullptr);
}

// ---- update bracket and changes ----------------------------------------------------------------------

bool TcxCustomGridView::ProviderLocked() {
  return dataController_ && dataController_->Provider() && dataController_->Provider()->NotificationLockCount() != 0;
}

void TcxCustomGridView::BeginUpdate() {
  if (TcxCustomGrid* grid = Control()) grid->BeginUpdate();
  ++lockCount_;
  if (dataController_) dataController_->BeginInfoUpdate();
}

void TcxCustomGridView::EndUpdate() {
  TcxCustomGrid* grid = Control();
  Finally end{[grid] {
    if (grid) grid->EndUpdate();
  }};
  if (dataController_) dataController_->EndInfoUpdate();
  if (lockCount_ > 0) {
    if (lockCount_ == 1 && synchronizationNeeded_) {
      try {
        SynchronizeWithPattern(false);
      } catch (...) {
        --lockCount_;
        throw;
      }
    }
    --lockCount_;
  }
}

void TcxCustomGridView::CancelUpdate() {
  TcxCustomGrid* grid = Control();
  Finally end{[grid] {
    if (grid) grid->CancelUpdate();
  }};
  if (dataController_) dataController_->EndInfoUpdate();
  if (lockCount_ > 0 && --lockCount_ == 0) synchronizationNeeded_ = false;
}

void TcxCustomGridView::Changed(Integer kind) {
  if (ProviderLocked()) return;
  {
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    if (kind == 1)
      QueueLayoutChange();
    else if (kind == 2)
      QueueSizeChange(false, false);
    SynchronizeWithPattern(true);
  }
  DoChanged(kind);
}

bool TcxCustomGridView::AddChange(TcxCustomGridChange* change) {
  TcxCustomGridView* master = dataController_ && IsDetailView() ? MasterGridView() : nullptr;
  if (BeingLoaded() || IsDestroying() || (master && master->IsDestroying()) || !viewInfo_ ||
      viewInfo_->Calculating()) {
    change->Free();
    return false;
  }
  if (TcxCustomGrid* grid = Control()) {
    grid->AddChange(change);
  } else {
    Finally release{[change] { change->Free(); }};
    change->SetControl(nullptr);
    change->Execute();
  }
  return true;
}

bool TcxCustomGridView::QueueLayoutChange(bool forView) {
  return AddChange(new TcxGridLayoutChange(forView ? this : nullptr));
}

bool TcxCustomGridView::QueueSizeChange(bool updateGridViewOnly, bool keepMaster) {
  return AddChange(new TcxGridSizeChange(this, updateGridViewOnly || !Control(), keepMaster));
}

bool TcxCustomGridView::QueueRepaint(const TRect& r) {
  if (r.IsEmpty()) return false;
  return AddChange(new TcxGridViewChange(this, r));
}

bool TcxCustomGridView::QueueFullRepaint() { return AddChange(new TcxGridViewChange(this)); }

void TcxCustomGridView::RefreshLayout(bool full) {
  if (IsPattern()) {
    for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(clones_)) clone->RefreshLayout(full);
  } else if (full) {
    QueueLayoutChange();
  } else {
    QueueFullRepaint();
  }
}

TcxCustomGridViewInfo* TcxCustomGridView::CreateViewInfo() {
  auto* info = static_cast<TcxCustomGridViewInfo*>(GetViewInfoClass()->Create(this));
  info->CreateSite();
  return info;
}

// ---- relations -----------------------------------------------------------------------------------

bool TcxCustomGridView::IsMasterView() { return level_ && level_->Count() > 0; }

bool TcxCustomGridView::IsDetailView() { return dataController_ && dataController_->IsDetailMode(); }

TcxCustomGridView* TcxCustomGridView::MasterGridView() {
  if (!IsDetailView()) return nullptr;
  TcxCustomDataRelation* relation = dataController_->GetMasterRelation();
  TcxCustomDataController* master = relation ? relation->DataController() : nullptr;
  return master ? dynamic_cast<TcxCustomGridView*>(master->Owner()) : nullptr;
}

bool TcxCustomGridView::HasAsMaster(TcxCustomGridView* view) {
  for (TcxCustomGridView* m = MasterGridView(); m; m = m->MasterGridView())
    if (m == view) return true;
  return false;
}

bool TcxCustomGridView::IsPattern() { return dataController_ && dataController_->IsPattern(); }

bool TcxCustomGridView::IsClone(TcxCustomGridView* view) {
  return std::find(clones_.begin(), clones_.end(), view) != clones_.end();
}

void TcxCustomGridView::AddClone(TcxCustomGridView* clone) {
  if (IsClone(clone)) return;
  clones_.push_back(clone);
  clone->patternGridView_ = this;
}

void TcxCustomGridView::RemoveClone(TcxCustomGridView* clone) {
  clones_.erase(std::remove(clones_.begin(), clones_.end(), clone), clones_.end());
  if (clone->patternGridView_ == this) clone->patternGridView_ = nullptr;
}

// ---- focus -------------------------------------------------------------------------------------------

bool TcxCustomGridView::IsFocused() { return Control() && Control()->FocusedView() == this; }

void TcxCustomGridView::SetFocused(bool value) {
  if (value == IsFocused() || !Control()) return;
  Control()->SetFocusedView(value ? this : nullptr);
}

// ---- synchronisation --------------------------------------------------------------------------------

void TcxCustomGridView::SynchronizeWithPattern(bool deferIfLocked) {
  if (BeingLoaded() || IsDestroying() || !Control()) return;
  if (!Synchronization() && !ComponentState().Contains(csDesigning)) return;
  if (assigningPattern_ || synchronizationAssignNeeded_) return;
  if (deferIfLocked && IsUpdateLocked()) {
    synchronizationNeeded_ = true;
    return;
  }
  synchronizing_ = true;
  Finally done{[this] {
    synchronizing_ = false;
    synchronizationNeeded_ = false;
  }};
  if (IsPattern()) {
    if (clones_.empty()) return;
    BeginUpdate();
    Finally end{[this] { EndUpdate(); }};
    for (TcxCustomGridView* clone : std::vector<TcxCustomGridView*>(clones_)) clone->TakeSettingsFrom(this);
  } else if (patternGridView_) {
    patternGridView_->TakeSettingsFrom(this);
  }
}

void TcxCustomGridView::TakeSettingsFrom(TcxCustomGridView* source) {
  if (!Synchronization() || synchronizing_ || assigningPattern_) return;
  if (!optionsBehavior_->PostponedSynchronization() || IsPattern() || IsVisible()) {
    {
      BeginUpdate();
      Finally end{[this] { EndUpdate(); }};
      AssignPattern(source);
      if (IsPattern()) SynchronizeWithPattern(true);
    }
    synchronizationAssignNeeded_ = false;
  } else {
    synchronizationAssignNeeded_ = true;
  }
}

void TcxCustomGridView::AssignPattern(TcxCustomGridView* source) {
  assigningPattern_ = true;
  Finally done{[this] { assigningPattern_ = false; }};
  Assign(source);
}

void TcxCustomGridView::ApplyPendingSynchronization() {
  if (!synchronizationAssignNeeded_ || !patternGridView_) return;
  BeginUpdate();
  try {
    synchronizationAssignNeeded_ = false;
    AssignPattern(patternGridView_);
  } catch (...) {
    CancelUpdate();
    throw;
  }
  CancelUpdate();
}

// ---- listener links -----------------------------------------------------------------------------------

TcxGridListenerLink* TcxCustomGridView::AddListenerLink() {
  auto* link = new TcxGridListenerLink(this);
  listenerLinks_.push_back(link);
  return link;
}

void TcxCustomGridView::RemoveListenerLink(TcxGridListenerLink* link) {
  listenerLinks_.erase(std::remove(listenerLinks_.begin(), listenerLinks_.end(), link), listenerLinks_.end());
}

// ---- registered views and unit start ----------------------------------------------------------------

namespace {
bool IsDbDescription(const String& d) { return d.size() >= 2 && d[0] == 'D' && d[1] == 'B'; }
}  // namespace

void TcxGridRegisteredViews::Register(TClass viewClass, const String& description) {
  if (IndexOfClass(viewClass) >= 0) return;
  String text = BeforeDescriptionSeparator(description);
  auto before = [&](const std::pair<String, TClass>& item) {
    bool a = IsDbDescription(text), b = IsDbDescription(item.first);
    if (a != b) return !a;
    return AnsiCompareText(text, item.first) < 0;
  };
  auto it = std::find_if(items_.begin(), items_.end(), before);
  items_.insert(it, {text, viewClass});
  RegisterClass(viewClass);
}

void TcxGridRegisteredViews::Unregister(TClass viewClass) {
  Integer i = IndexOfClass(viewClass);
  if (i >= 0) items_.erase(items_.begin() + i);
}

Integer TcxGridRegisteredViews::IndexOfClass(TClass c) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].second == c) return Integer(i);
  return -1;
}

TcxGridRegisteredViews* GridRegisteredViews() { return gRegisteredViews; }
TGridHitTests* GridHitTests() {
  if (!gHitTests) InitializeCxGridCustomView();
  return gHitTests;
}

void InitializeCxGridCustomView() {
  InitUnit(
      "cxGridCustomView",
      [] {
        InitializeCxGridCommon();
        InitializeCxStyles();
        gHitTests = new TGridHitTests();
        gRegisteredViews = new TcxGridRegisteredViews();
      },
      [] {
        FreeAndNil(gRegisteredViews);
        FreeAndNil(gHitTests);
      });
}
