// The pivot grid control: sub-objects, the update bracket and the change run, field
// registration, the data controller that reports to the grid, and the clipboard.
#include "pivotgrid/cxCustomPivotGrid.h"
#include "pivotgrid/cxPivotGridFilterPopup.h"

#include "editors/cxFormats.h"
#include "foundation/cxClasses.h"
#include "pivotgrid/cxPivotGridCustomizationForm.h"
#include "pivotgrid/cxPivotGridPopupMenus.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "vcl/Clipbrd.h"

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridStyles) {
  using S = TcxPivotGridStyles;
  TClass style = TcxStyle::StaticClass();
  p.Object("Background", &S::Background, &S::SetBackground, style);
  p.Object("ColumnHeader", &S::ColumnHeader, &S::SetColumnHeader, style);
  p.Object("ColumnHeaderArea", &S::ColumnHeaderArea, &S::SetColumnHeaderArea, style);
  p.Object("Content", &S::Content, &S::SetContent, style);
  p.Object("DataHeaderArea", &S::DataHeaderArea, &S::SetDataHeaderArea, style);
  p.Object("FieldHeader", &S::FieldHeader, &S::SetFieldHeader, style);
  p.Object("FilterHeaderArea", &S::FilterHeaderArea, &S::SetFilterHeaderArea, style);
  p.Object("FilterSeparator", &S::FilterSeparator, &S::SetFilterSeparator, style);
  p.Object("HeaderBackground", &S::HeaderBackground, &S::SetHeaderBackground, style);
  p.Object("Inactive", &S::Inactive, &S::SetInactive, style);
  p.Object("RowHeader", &S::RowHeader, &S::SetRowHeader, style);
  p.Object("RowHeaderArea", &S::RowHeaderArea, &S::SetRowHeaderArea, style);
  p.Object("Selected", &S::Selected, &S::SetSelected, style);
  p.Object("Total", &S::Total, &S::SetTotal, style);
  p.Object("StyleSheet", &S::StyleSheet, &S::SetStyleSheet, TcxCustomStyleSheet::StaticClass());
  p.Event("OnGetColumnHeaderStyle", &S::OnGetColumnHeaderStyle, "TcxPivotGridGetHeaderItemStyleEvent");
  p.Event("OnGetContentStyle", &S::OnGetContentStyle, "TcxPivotGridGetContentStyleEvent");
  p.Event("OnGetFieldHeaderStyle", &S::OnGetFieldHeaderStyle, "TcxPivotGridGetFieldHeaderStyleEvent");
  p.Event("OnGetRowHeaderStyle", &S::OnGetRowHeaderStyle, "TcxPivotGridGetHeaderItemStyleEvent");
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridStyleSheet) {
  using S = TcxPivotGridStyleSheet;
  p.Object("Styles", &S::Styles, &S::SetStyles, TcxPivotGridStyles::StaticClass());
}

void TcxPivotGridStyles::AssignFromSource(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxPivotGridStyles*>(source))
    for (int i = 0; i < StyleCount; ++i) SetIndexedStyle(i, s->Style(i));
  TcxStyles::AssignFromSource(source);
}

void TcxPivotGridStyles::IndexChanged(Integer) {
  if (auto* grid = dynamic_cast<TcxCustomPivotGrid*>(GetOwner())) grid->LayoutChanged();
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomPivotGrid) {
  using G = TcxCustomPivotGrid;
  p.Object("Groups", &G::Groups, &G::SetGroups, TcxPivotGridFieldGroupCollection::StaticClass());
  p.Object("OptionsBehavior", &G::OptionsBehavior, &G::SetOptionsBehavior,
           TcxPivotGridOptionsBehavior::StaticClass());
  p.Object("OptionsCustomize", &G::OptionsCustomize, &G::SetOptionsCustomize,
           TcxPivotGridOptionsCustomize::StaticClass());
  p.Object("OptionsData", &G::OptionsData, &G::SetOptionsData, TcxPivotGridOptionsData::StaticClass());
  p.Object("OptionsDataField", &G::OptionsDataField, &G::SetOptionsDataField,
           TcxPivotGridOptionsDataField::StaticClass());
  p.Object("OptionsSelection", &G::OptionsSelection, &G::SetOptionsSelection,
           TcxPivotGridOptionsSelection::StaticClass());
  p.Object("OptionsView", &G::OptionsView, &G::SetOptionsView, TcxPivotGridOptionsView::StaticClass());
  p.Object("PopupMenus", &G::PopupMenus, &G::SetPopupMenus, TcxPivotGridPopupMenus::StaticClass());
  p.Object("Styles", &G::Styles, &G::SetStyles, TcxPivotGridStyles::StaticClass());
  p.Event("OnCompare", &G::OnCompare, "TcxPivotGridCompareEvent");
  p.Event("OnCustomization", &G::OnCustomization);
  p.Event("OnFieldPosChanged", &G::OnFieldPosChanged, "TcxPivotGridFieldPosChangedEvent");
  p.Event("OnLayoutChanged", &G::OnLayoutChanged);
  p.Event("OnSelectionChanged", &G::OnSelectionChanged);
  p.Event("OnCustomDrawCell", &G::OnCustomDrawCell, "TcxPivotGridCustomDrawCellEvent");
  p.Event("OnCustomDrawColumnHeader", &G::OnCustomDrawColumnHeader, "TcxPivotGridCustomDrawGroupHeaderEvent");
  p.Event("OnCustomDrawFieldHeader", &G::OnCustomDrawFieldHeader, "TcxPivotGridCustomDrawFieldHeaderEvent");
  p.Event("OnCustomDrawPart", &G::OnCustomDrawPart, "TcxPivotGridCustomDrawPartEvent");
  p.Event("OnCustomDrawRowHeader", &G::OnCustomDrawRowHeader, "TcxPivotGridCustomDrawGroupHeaderEvent");
}

String cxPivotGridResText(const char* text) { return ReplaceResourceText(text); }

// ---- the control -------------------------------------------------------------------------------

void InitializeCxCustomPivotGrid() {
  InitUnit("cxCustomPivotGrid", [] {
    InitializeCxControls();
    InitializeCxFormats();
    InitializeCxStyles();
    RegisterClass(TcxPivotGridField::StaticClass());
    RegisterClass(TcxPivotGridStyleSheet::StaticClass());
    // Every grid's Customization holder shows the list of fields.
    InitializeCxPivotGridCustomizationForm();
  });
}

TcxCustomPivotGrid::TcxCustomPivotGrid(TComponent* owner) : TcxControl(owner) {
  InitializeCxCustomPivotGrid();
  BeginUpdate();
  SetBounds(0, 0, 250, 300);
  SetWantedKeys(TcxWantedKeys{wkArrows, wkChars});
  changeFlags_ = 2;
  CreateSubClasses();
  EndUpdate();
}

TcxCustomPivotGrid::~TcxCustomPivotGrid() {
  destroying_ = true;
  ++lockCount_;
  DestroySubClasses();
}

void TcxCustomPivotGrid::BeforeDestruction() {
  destroying_ = true;
  ++lockCount_;
  TcxControl::BeforeDestruction();
}

void TcxCustomPivotGrid::CreateSubClasses() {
  imagesChangeLink_ = std::make_unique<TChangeLink>();
  imagesChangeLink_->OnChange = [this](TObject* s) { ImagesChanged(s); };
  groups_ = std::make_unique<TcxPivotGridFieldGroupCollection>(this);
  optionsView_.reset(CreateOptionsView());
  controller_.reset(CreateController());
  dataController_.reset(CreateDataController());
  dataBuilder_.reset(CreateDataBuilder());
  viewInfo_.reset(CreateViewInfo());
  viewData_.reset(CreateViewData());
  painter_.reset(CreatePainter());
  optionsCustomize_ = std::make_unique<TcxPivotGridOptionsCustomize>(this);
  optionsBehavior_ = std::make_unique<TcxPivotGridOptionsBehavior>(this);
  optionsData_ = std::make_unique<TcxPivotGridOptionsData>(this);
  optionsDataField_ = std::make_unique<TcxPivotGridOptionsDataField>(this);
  optionsSelection_ = std::make_unique<TcxPivotGridOptionsSelection>(this);
  customization_ = std::make_unique<TcxPivotGridCustomization>(this);
  popupMenus_ = std::make_unique<TcxPivotGridPopupMenus>(this);
  styles_.reset(CreateStyles());
  hitTest_.reset(CreateHitTest());
  subClassesCreated_ = true;
}

void TcxCustomPivotGrid::DestroySubClasses() {
  // A drag in progress ends before the parts it uses go.
  CompleteDragAndDrop(false);
  SetFieldHeaderImages(nullptr);
  SetGroupHeaderImages(nullptr);
  if (controller_) controller_->HintController->HideHint();
  // The field list closes first; an open menu ends with its holder.
  customization_.reset();
  popupMenus_.reset();
  // Fields still attached leave the grid without notifications (the grid is destroying).
  for (auto* f : fields_) f->pivotGrid_ = nullptr;
  fields_.clear();
  summaryFields_.Clear();
  styles_.reset();
  viewData_.reset();
  dataBuilder_.reset();
  if (groups_) {
    groups_->SetDestroying();
    groups_.reset();
  }
  dataController_.reset();
  painter_.reset();
  viewInfo_.reset();
  hitTest_.reset();
  optionsSelection_.reset();
  optionsDataField_.reset();
  optionsData_.reset();
  optionsBehavior_.reset();
  optionsCustomize_.reset();
  optionsView_.reset();
  controller_.reset();
  imagesChangeLink_.reset();
}

TcxPivotGridController* TcxCustomPivotGrid::CreateController() { return new TcxPivotGridController(this); }
TcxPivotGridHitTest* TcxCustomPivotGrid::CreateHitTest() { return new TcxPivotGridHitTest(this); }
TcxPivotGridPainter* TcxCustomPivotGrid::CreatePainter() { return new TcxPivotGridPainter(this); }
TcxPivotGridOptionsView* TcxCustomPivotGrid::CreateOptionsView() { return new TcxPivotGridOptionsView(this); }
TcxPivotGridStyles* TcxCustomPivotGrid::CreateStyles() { return new TcxPivotGridStyles(this); }

// ---- image lists ------------------------------------------------------------------------------------

void TcxCustomPivotGrid::ReplaceImages(TCustomImageList*& slot, TCustomImageList* v) {
  if (slot == v) return;
  if (slot) {
    slot->UnRegisterChanges(imagesChangeLink_.get());
    slot->RemoveFreeNotification(this);
    if (viewInfo_) viewInfo_->ReleaseImages(slot);
  }
  slot = v;
  if (v) {
    v->RegisterChanges(imagesChangeLink_.get());
    v->FreeNotification(this);
  }
  if (!destroying_) LayoutChanged();
}

void TcxCustomPivotGrid::SetFieldHeaderImages(TCustomImageList* v) { ReplaceImages(fieldHeaderImages_, v); }
void TcxCustomPivotGrid::SetGroupHeaderImages(TCustomImageList* v) { ReplaceImages(groupHeaderImages_, v); }

void TcxCustomPivotGrid::ImagesChanged(TObject*) { LayoutChanged(); }

void TcxCustomPivotGrid::Notification(TComponent* c, TOperation op) {
  TcxControl::Notification(c, op);
  if (popupMenus_) popupMenus_->Notification(c, op);
  if (op != opRemove) return;
  // An image list freed while in use: no cell keeps it.
  if (c == fieldHeaderImages_) {
    if (viewInfo_) viewInfo_->ReleaseImages(fieldHeaderImages_);
    fieldHeaderImages_ = nullptr;
    if (!destroying_) LayoutChanged();
  }
  if (c == groupHeaderImages_) {
    if (viewInfo_) viewInfo_->ReleaseImages(groupHeaderImages_);
    groupHeaderImages_ = nullptr;
    if (!destroying_) LayoutChanged();
  }
}

void TcxCustomPivotGrid::FieldRemoving(TcxPivotGridField* field) {
  if (controller_) {
    if (controller_->PressedField == static_cast<IcxPivotGridField*>(field)) controller_->PressedField = nullptr;
    controller_->ResetCells();
  }
  if (auto* drag = dynamic_cast<TcxPivotGridDragAndDropObject*>(DragOperation())) drag->FieldFreed(field);
  if (auto* resize = dynamic_cast<TcxPivotGridResizingObject*>(DragOperation()))
    if (resize->ResizeObject == static_cast<IcxPivotGridSizableObject*>(field)) resize->ResizeObject = nullptr;
  if (viewInfo_) viewInfo_->ClearCells();
  if (popupMenus_) popupMenus_->FieldRemoving(field);
  if (controller_ && controller_->FilterPopup) controller_->FilterPopup->FieldRemoving(field);
  if (customization_) customization_->FieldRemoving(field);
}

void TcxCustomPivotGrid::SetPopupMenus(TcxPivotGridPopupMenus* v) { popupMenus_->Assign(v); }

void TcxCustomPivotGrid::DoCustomization() {
  if (OnCustomization) OnCustomization(this);
}

void TcxCustomPivotGrid::DoContextPopup(TPoint mousePos, bool& handled) {
  TcxObjectLinkGuard link(this);
  if (!handled && popupMenus_ && !InDesignMode()) {
    TPoint p = (mousePos.X == -1 && mousePos.Y == -1) ? TPoint(0, 0) : mousePos;
    handled = popupMenus_->Popup(ClientToScreen(p));
  }
  if (!handled && link.Alive()) TcxControl::DoContextPopup(mousePos, handled);
}

TcxCustomDataController* TcxCustomPivotGrid::CreateDataController() { return new TcxPivotGridDataController(this); }
TcxPivotGridDataBuilder* TcxCustomPivotGrid::CreateDataBuilder() { return new TcxPivotGridDataBuilder(this); }
TcxPivotGridViewData* TcxCustomPivotGrid::CreateViewData() { return new TcxPivotGridViewData(this); }
TcxPivotGridViewInfo* TcxCustomPivotGrid::CreateViewInfo() { return new TcxPivotGridViewInfo(this); }
TClass TcxCustomPivotGrid::GetFieldClass() { return TcxPivotGridField::StaticClass(); }

void TcxCustomPivotGrid::Loaded() {
  if (dataController_) dataController_->DoPendingNotifications();
  TcxControl::Loaded();
  if (groups_) groups_->Loaded();
  DataChanged();
}

void TcxCustomPivotGrid::SetGroups(TcxPivotGridFieldGroupCollection* v) { groups_->Assign(v); }
void TcxCustomPivotGrid::SetOptionsBehavior(TcxPivotGridOptionsBehavior* v) { optionsBehavior_->Assign(v); }
void TcxCustomPivotGrid::SetOptionsCustomize(TcxPivotGridOptionsCustomize* v) { optionsCustomize_->Assign(v); }
void TcxCustomPivotGrid::SetOptionsData(TcxPivotGridOptionsData* v) { optionsData_->Assign(v); }
void TcxCustomPivotGrid::SetOptionsDataField(TcxPivotGridOptionsDataField* v) { optionsDataField_->Assign(v); }
void TcxCustomPivotGrid::SetOptionsSelection(TcxPivotGridOptionsSelection* v) { optionsSelection_->Assign(v); }
void TcxCustomPivotGrid::SetOptionsView(TcxPivotGridOptionsView* v) { optionsView_->Assign(v); }
void TcxCustomPivotGrid::SetStyles(TcxPivotGridStyles* v) { styles_->Assign(v); }

void TcxCustomPivotGrid::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TcxControl::GetChildren(proc, root);
  for (auto* f : fields_)
    if (f->Owner() == root) proc(f);
}

void TcxCustomPivotGrid::ResetFieldCaches() {
  for (auto* f : fields_) f->uniqueValuesValid_ = false;
}

// ---- change machine -----------------------------------------------------------------------------

void TcxCustomPivotGrid::BeginUpdate() {
  ++lockCount_;
  if (dataController_) dataController_->BeginUpdate();
}

void TcxCustomPivotGrid::EndUpdate() {
  --lockCount_;
  if (dataController_ && dataController_->InfoLockCount() > 0) dataController_->EndUpdate();
  CheckChanges();
}

bool TcxCustomPivotGrid::IsLocked() const {
  return destroying_ || lockCount_ > 0 || ComponentState().Contains(csLoading) ||
         ComponentState().Contains(csDestroying) || !subClassesCreated_;
}

void TcxCustomPivotGrid::DataChanged() {
  changeFlags_ |= 2;
  if (!IsLocked()) CheckChanges();
}

void TcxCustomPivotGrid::LayoutChanged() {
  changeFlags_ |= 1;
  if (!IsLocked()) {
    CheckChanges();
    Invalidate();
  }
}

void TcxCustomPivotGrid::ViewChanged() {
  changeFlags_ |= 4;
  CheckChanges();
}

void TcxCustomPivotGrid::SelectionChanged() {
  if (IsLocked())
    changeFlags_ |= 1;
  else if (viewInfo_)
    viewInfo_->SelectionChanged();
  DoSelectionChanged();
}

void TcxCustomPivotGrid::CheckChanges() {
  if (IsLocked()) return;
  // The flags are cleared whatever happens, so that the next change starts afresh.
  struct TClearFlags {
    Byte& flags;
    ~TClearFlags() { flags = 0; }
  } clear{changeFlags_};
  onCompareAssigned_ = bool(OnCompare);
  if (changeFlags_ != 0) controller_->Clear();
  if (changeFlags_ & 2) {
    try {
      dataBuilder_->Build();
    } catch (...) {
      // A failed build leaves no half-built trees behind, and no header item pointing at them.
      dataBuilder_->Clear();
      viewData_->Calculate();
      throw;
    }
    changeFlags_ = 1;
    // The field list shows the fields as they now are.
    if (customization_) customization_->Refresh();
  }
  if (changeFlags_ & 1) {
    viewData_->Calculate();
    changeFlags_ |= 4;
  }
  if (changeFlags_ != 0) DoLayoutChanged();
  if (changeFlags_ & 4) {
    viewInfo_->Recalculate();
    Invalidate();
    // Bars that appear or go change the content bounds: the control then lays out again.
    if (!viewInfo_->ExportMode) RefreshScrollBars();
  }
  controller_->UpdateHitTest();
}

void TcxCustomPivotGrid::DeleteAllFields() {
  BeginUpdate();
  try {
    for (std::size_t n = fields_.size(); n > 0 && !fields_.empty(); --n) fields_.back()->Free();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxPivotGridField* TcxCustomPivotGrid::CreateField() {
  auto* f = static_cast<TcxPivotGridField*>(GetFieldClass()->Create(Owner()));
  f->SetPivotGrid(this);
  return f;
}

TcxPivotGridField* TcxCustomPivotGrid::CreateStoredObject(const String& name, const String& className) {
  if (className != GetFieldClass()->ClassName()) return nullptr;
  TcxPivotGridField* f = CreateField();
  f->SetName(name);
  return f;
}

void TcxCustomPivotGrid::GetStoredChildren(std::vector<TObject*>& list) {
  for (auto* f : fields_) list.push_back(f);
}

bool TcxCustomPivotGrid::CanRetrieveFields(bool& isActive) {
  isActive = false;
  return false;
}

int TcxCustomPivotGrid::IndexOfField(const TcxPivotGridField* f) const {
  for (std::size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i] == f) return int(i);
  return -1;
}

void TcxCustomPivotGrid::AddField(TcxPivotGridField* field) {
  if (destroying_) return;
  fields_.push_back(field);
  dataController_->AddItem(field);
  DataChanged();
}

void TcxCustomPivotGrid::RemoveField(TcxPivotGridField* field) {
  if (destroying_) return;
  int i = IndexOfField(field);
  if (i < 0) return;
  FieldRemoving(field);
  dataController_->BeginUpdate();
  try {
    dataController_->RemoveItem(field);
    fields_.erase(fields_.begin() + i);
    int s = summaryFields_.IndexOf(field);
    if (s >= 0) summaryFields_.List().erase(summaryFields_.List().begin() + s);
  } catch (...) {
    dataController_->EndUpdate();
    throw;
  }
  dataController_->EndUpdate();
  // The trees may still point at the removed field: drop them now, rebuild when unlocked.
  dataBuilder_->Clear();
  viewData_->Calculate();
  DataChanged();
}

void TcxCustomPivotGrid::DataControllerUpdated(TcxUpdateControlInfo*) {
  ResetFieldCaches();
  DataChanged();
}

void TcxCustomPivotGrid::DataControllerEditingUpdated() {
  ResetFieldCaches();
  DataChanged();
}

void TcxCustomPivotGrid::DataControllerItemsUpdated() { DataChanged(); }

// ---- events ---------------------------------------------------------------------------------------

void TcxCustomPivotGrid::DoCompare(TcxPivotGridField* field, const Variant& v1, const Variant& v2, int& compare) {
  if (OnCompare) OnCompare(this, field, v1, v2, compare);
}

void TcxCustomPivotGrid::DoFieldPosChanged(TcxPivotGridField* field) {
  if (OnFieldPosChanged) OnFieldPosChanged(this, field);
}

void TcxCustomPivotGrid::DoLayoutChanged() {
  if (OnLayoutChanged) OnLayoutChanged(this);
}

void TcxCustomPivotGrid::DoSelectionChanged() {
  if (OnSelectionChanged) OnSelectionChanged(this);
}

// ---- clipboard --------------------------------------------------------------------------------------

String TcxCustomPivotGrid::ClipboardText(bool all) {
  CheckChanges();
  TRect r = all ? TRect(0, 0, cxPivotGridMaxIndex, cxPivotGridMaxIndex) : viewData_->NormalizedSelection();
  r.Right = std::min(r.Right, viewData_->ColumnCount() - 1);
  r.Bottom = std::min(r.Bottom, viewData_->RowCount() - 1);
  String text;
  for (int row = r.Top; row <= r.Bottom; ++row) {
    if (row > r.Top) text += "\r\n";
    for (int col = r.Left; col <= r.Right; ++col) {
      if (col > r.Left) text += '\t';
      text += viewData_->CellText(row, col);
    }
  }
  return text;
}

void TcxCustomPivotGrid::CopyToClipboard(bool all) {
  PushHourglassCursor();
  try {
    Clipboard()->SetAsText(ClipboardText(all));
  } catch (...) {
    PopHourglassCursor();
    throw;
  }
  PopHourglassCursor();
}
