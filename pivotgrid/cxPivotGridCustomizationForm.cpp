// The pivot grid's field list window, its list of hidden fields and the drag out of the list.
#include "pivotgrid/cxPivotGridCustomizationForm.h"

#include <algorithm>

#include "pivotgrid/cxCustomPivotGridInternal.h"

KORVAN_IMPLEMENT_CLASS(TcxFieldListListBox)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridListListBoxDragAndDropObject)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridCustomizationForm)

void InitializeCxPivotGridCustomizationForm() {
  InitUnit("cxPivotGridCustomizationForm", [] {
    InitializeCxComboBox();
    InitializeCxListBox();
    cxPivotGridCustomizationFormClass = TcxPivotGridCustomizationForm::StaticClass();
  });
}

// ---- the list --------------------------------------------------------------------------------------

TcxFieldListListBox::TcxFieldListListBox(TComponent* owner) : TcxListBox(owner) {
  // The items draw themselves; the inner list draws no focus frame over them.
  InnerListBox()->OnDrawItem = [](TWinControl*, Integer, TRect, TOwnerDrawState) {};
}

TcxPivotGridField* TcxFieldListListBox::Fields(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return static_cast<TcxPivotGridField*>(Items()->Objects(index));
}

TcxPivotGridField* TcxFieldListListBox::SelectedField() const { return Fields(ItemIndex()); }

bool TcxFieldListListBox::DrawItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) {
  TcxPivotGridField* field = Fields(index);
  TcxPivotGridFieldHeaderCellViewInfo* cell = field ? field->GetHeaderViewInfo() : nullptr;
  if (!form_ || !cell || !cell->Painter) {
    canvas->FillRectColor(rect);
    return true;
  }
  // A field of a field group is listed for the whole group: no sort mark of its own.
  int sortMark = cell->SortMark;
  if (field->Group()) cell->SortMark = 0;
  TcxPivotGridCustomizationForm* form = form_;
  TcxPivotGridFieldHeaderCustomDraw draw = [form](TcxCanvas* c, TcxPivotGridFieldHeaderCellViewInfo* h, bool& done) {
    form->DrawFieldHeader(c, h, done);
  };
  bool pressed = state.Contains(odSelected) || state.Contains(odFocused);
  try {
    cell->PaintTo(canvas, rect, draw, pressed ? cxbsPressed : cxbsNormal);
  } catch (...) {
    cell->SortMark = sortMark;
    throw;
  }
  cell->SortMark = sortMark;
  return true;
}

bool TcxFieldListListBox::CanStartDragAndDrop(const TPoint& p) {
  return form_ && ItemAtPoint(p, true) >= 0 && SelectedField();
}

TcxDragAndDropObjectClass TcxFieldListListBox::DragObjectClass() {
  TcxPivotGridField* field = form_ ? SelectedField() : nullptr;
  if (!field) return TcxListBox::DragObjectClass();
  TClass cls = form_->BeginFieldDrag(field);
  return [cls](TcxControl* control) -> TcxDragAndDropObject* {
    TObject* object = cls->Create(control);
    if (auto* drag = dynamic_cast<TcxDragAndDropObject*>(object)) return drag;
    if (object) object->Free();
    throw EInvalidCast("Invalid class typecast");
  };
}

void TcxFieldListListBox::Resize() {
  TcxListBox::Resize();
  // Headers are drawn to the item's full width: a new width redraws every item.
  if (InnerListBox()) InnerListBox()->Invalidate();
}

// ---- the drag out of the list -------------------------------------------------------------------------

TcxPivotGridListListBoxDragAndDropObject::TcxPivotGridListListBoxDragAndDropObject(TcxControl* control)
    : TcxPivotGridDragAndDropObject(control), list_(dynamic_cast<TcxFieldListListBox*>(control)) {
  if (auto* form = dynamic_cast<TcxPivotGridCustomCustomizationForm*>(GetParentForm(control)))
    grid_ = TWeakRef<TcxCustomPivotGrid>(form->PivotGrid());
}

TcxPivotGridListListBoxDragAndDropObject::~TcxPivotGridListListBoxDragAndDropObject() {
  // A press that never became a drag leaves the grid's controller without a pressed field.
  if (!started_ && grid_ && !grid_->IsDestroying()) grid_->Controller()->PressedField = nullptr;
}

TcxCustomPivotGrid* TcxPivotGridListListBoxDragAndDropObject::PivotGrid() { return grid_.Get(); }

TPoint TcxPivotGridListListBoxDragAndDropObject::ToGrid(const TPoint& listPoint) {
  TcxCustomPivotGrid* grid = PivotGrid();
  if (!grid || !list_ || !grid->HandleAllocated() || !list_->HandleAllocated()) return listPoint;
  return grid->ScreenToClient(list_->ClientToScreen(listPoint));
}

void TcxPivotGridListListBoxDragAndDropObject::StartDrag() {
  started_ = true;
  if (!PivotGrid() || !list_) return;
  // The picture has the list item's size and first covers the item itself.
  TPoint start = LastPoint();
  int item = list_->ItemIndex();
  TRect r = item >= 0 ? list_->ItemRect(item) : TRect(0, 0, 0, 0);
  if (!r.IsEmpty()) {
    ImageSize = TSize(r.Width(), r.Height());
    ImageSizeCalculated = true;
  }
  gridPoint_ = ToGrid(start);
  TcxPivotGridDragAndDropObject::StartDrag();
  if (!r.IsEmpty()) HotSpot = TPoint(r.Left - start.X, r.Top - start.Y);
}

void TcxPivotGridListListBoxDragAndDropObject::MoveDrag(const TPoint& p, bool& accepted) {
  if (!PivotGrid()) {
    accepted = false;
    return;
  }
  gridPoint_ = ToGrid(p);
  TcxPivotGridDragAndDropObject::MoveDrag(gridPoint_, accepted);
}

// ---- the form --------------------------------------------------------------------------------------

namespace {
struct TAreaItem {
  const char* caption;
  TcxPivotGridFieldArea area;
};
constexpr TAreaItem cxAreaItems[] = {
    {"Row Area", faRow}, {"Column Area", faColumn}, {"Filter Area", faFilter}, {"Data Area", faData}};
}  // namespace

void TcxPivotGridCustomizationForm::CreateControls() {
  TcxCustomPivotGrid* grid = PivotGrid();
  TRect r(8, 8, ClientWidth() - 8, ClientHeight() - 8);

  HintLabel = new TLabel(this);
  HintLabel->SetParent(this);
  HintLabel->SetAutoSize(false);
  HintLabel->SetBounds(r.Left, r.Top, r.Width(), TextHeight());
  HintLabel->SetCaption(cxPivotGridResText("Drag Items to the PivotGrid"));
  HintLabel->SetAnchors(TAnchors{akLeft, akTop});
  r.Top += HintLabel->Height() + 8;

  AddButton = new TcxButton(this);
  AddButton->SetParent(this);
  AddButton->SetCaption(cxPivotGridResText("Add To"));
  int height = TextHeight() + 9;
  int width = MeasureTextWidthInFont(Font(), AddButton->Caption()) + 18;
  AddButton->SetBounds(r.Left, r.Bottom - height, width, height);
  AddButton->LookAndFeel()->AttachToMaster(grid->LookAndFeel());
  AddButton->SetAnchors(TAnchors{akLeft, akBottom});
  AddButton->OnClick = [this](TObject*) { AddTo(); };
  r.Bottom = AddButton->Top() - 8;

  AreaCombo = new TcxComboBox(this);
  AreaCombo->SetParent(this);
  int left = AddButton->Left() + AddButton->Width() + 8;
  AreaCombo->SetBounds(left, AddButton->Top(), std::max(0, r.Right - left), height);
  AreaCombo->ComboProperties()->SetDropDownListStyle(lsFixedList);
  for (const TAreaItem& item : cxAreaItems)
    AreaCombo->ComboProperties()->Items()->AddObject(cxPivotGridResText(item.caption),
                                                     reinterpret_cast<TObject*>(std::intptr_t(item.area)));
  AreaCombo->SetAnchors(TAnchors{akLeft, akRight, akBottom});
  AreaCombo->Style()->LookAndFeel()->AttachToMaster(grid->LookAndFeel());
  AreaCombo->ComboProperties()->OnChange = [this](TObject*) { UpdateButtons(); };

  FieldList = new TcxFieldListListBox(this);
  FieldList->SetForm(this);
  FieldList->SetParent(this);
  FieldList->SetBounds(r.Left, r.Top, r.Width(), std::max(0, r.Height()));
  FieldList->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
  FieldList->SetMultiSelect(false);
  FieldList->SetListStyle(lbOwnerDrawFixed);
  FieldList->SetItemHeight(grid->ViewPainter()->HeaderHeightForText(TextHeight()));
  FieldList->Style()->LookAndFeel()->AttachToMaster(grid->LookAndFeel());
  FieldList->OnDblClick = [this](TObject*) {
    if (AddButton->Enabled()) AddButton->Click();
  };
  FieldList->OnClick = [this](TObject*) { UpdateAreaCombo(); };
}

void TcxPivotGridCustomizationForm::RefreshList() {
  if (!FieldList) return;
  TcxCustomPivotGrid* grid = PivotGrid();
  int index = FieldList->ItemIndex();
  TStrings* items = FieldList->Items();
  items->BeginUpdate();
  try {
    items->Clear();
    for (int i = 0; i < grid->FieldCount(); ++i) {
      TcxPivotGridField* f = grid->Fields(i);
      if (f->Visible() || f->Hidden() || (f->Group() && f->Group()->Fields(0) != f)) continue;
      items->AddObject(f->Caption(), f);
    }
  } catch (...) {
    items->EndUpdate();
    throw;
  }
  items->EndUpdate();
  index = std::min(index, items->Count() - 1);
  if (index < 0 && items->Count() > 0) index = 0;
  FieldList->SetItemIndex(index);
  UpdateAreaCombo();
}

TClass TcxPivotGridCustomizationForm::BeginFieldDrag(TcxPivotGridField* field) {
  TcxPivotGridCustomCustomizationForm::BeginFieldDrag(field);
  return TcxPivotGridListListBoxDragAndDropObject::StaticClass();
}

void TcxPivotGridCustomizationForm::FieldRemoving(TcxPivotGridField* field) {
  if (!FieldList) return;
  if (auto* drag = dynamic_cast<TcxPivotGridDragAndDropObject*>(FieldList->DragOperation())) drag->FieldFreed(field);
  TStrings* items = FieldList->Items();
  for (int i = items->Count() - 1; i >= 0; --i)
    if (items->Objects(i) == field) items->Delete(i);
  UpdateAreaCombo();
}

TcxPivotGridFieldArea TcxPivotGridCustomizationForm::ComboArea() const {
  int index = AreaCombo ? AreaCombo->ItemIndex() : -1;
  if (index < 0 || index >= AreaCombo->ComboProperties()->Items()->Count()) return faColumn;
  return TcxPivotGridFieldArea(std::intptr_t(AreaCombo->ComboProperties()->Items()->Objects(index)));
}

void TcxPivotGridCustomizationForm::AddTo() {
  TcxPivotGridField* field = FieldList ? FieldList->SelectedField() : nullptr;
  if (!field) return;
  TcxPivotGridFieldArea area = ComboArea();
  // Reached by the program too: a field never shows in an area it does not allow.
  if (!field->AllowedAreas().Contains(area)) return;
  InGridUpdate(PivotGrid(), [&] {
    field->SetArea(area);
    field->SetAreaIndex(cxPivotGridMaxIndex);
    field->SetVisible(true);
  });
}

void TcxPivotGridCustomizationForm::UpdateAreaCombo() {
  if (!AreaCombo) return;
  TcxPivotGridField* field = FieldList->SelectedField();
  TcxPivotGridFieldArea area = field && AreaCombo->Enabled() ? field->Area() : faColumn;
  TStrings* items = AreaCombo->ComboProperties()->Items();
  for (int i = 0; i < items->Count(); ++i)
    if (TcxPivotGridFieldArea(std::intptr_t(items->Objects(i))) == area) {
      if (AreaCombo->ItemIndex() != i) AreaCombo->SetItemIndex(i);
      break;
    }
  UpdateButtons();
}

void TcxPivotGridCustomizationForm::UpdateButtons() {
  if (!AddButton || !AreaCombo) return;
  TcxPivotGridField* field = FieldList->SelectedField();
  AddButton->SetEnabled(field && field->AllowedAreas().Contains(ComboArea()));
  AreaCombo->SetEnabled(field != nullptr);
}
