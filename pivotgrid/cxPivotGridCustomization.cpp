// The pivot grid's customization holder and the base field list window.
#include "pivotgrid/cxPivotGridCustomization.h"

#include "user/WinUser.h"

KORVAN_IMPLEMENT_CLASS(TcxPivotGridCustomCustomizationForm)
KORVAN_IMPLEMENT_CLASS(TcxPivotGridCustomization)

TClass cxPivotGridCustomizationFormClass = TcxPivotGridCustomCustomizationForm::StaticClass();

// ---- the base form -----------------------------------------------------------------------------------

TcxPivotGridCustomCustomizationForm::~TcxPivotGridCustomCustomizationForm() {
  if (pivotGrid_ && !pivotGrid_->IsDestroying() && pivotGrid_->Customization())
    pivotGrid_->Customization()->FormDestroying(this);
}

void TcxPivotGridCustomCustomizationForm::Prepare(TcxCustomPivotGrid* grid) {
  pivotGrid_ = grid;
  InitializeForm();
  CreateControls();
  RefreshList();
  Constraints()->SetMinWidth(180);
  Constraints()->SetMinHeight(180);
}

void TcxPivotGridCustomCustomizationForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.Style |= WS_POPUP;
  params.WndParent = nullptr;
  if (pivotGrid_ && !pivotGrid_->IsDestroying()) params.WndParent = pivotGrid_->Handle();
}

void TcxPivotGridCustomCustomizationForm::InitializeForm() {
  SetCaption(cxPivotGridResText("PivotGrid Field List"));
  SetBorderStyle(bsSizeToolWin);
  SetBorderIcons({biSystemMenu});
  Font()->Assign(pivotGrid_->Font());
  SetWidth(200);
  SetHeight(200);
  SetColor(clBtnFace);
  Canvas()->Font()->Assign(Font());
  SetTextHeight(Canvas()->TextHeight("Wg"));
  // A tool window offers moving, sizing and closing only (a missing entry is no error).
  HMENU menu = GetSystemMenu(Handle(), FALSE);
  DeleteMenu(menu, 7, MF_BYPOSITION);
  DeleteMenu(menu, 5, MF_BYPOSITION);
  DeleteMenu(menu, UINT(SC_MAXIMIZE), MF_BYCOMMAND);
  DeleteMenu(menu, UINT(SC_MINIMIZE), MF_BYCOMMAND);
  DeleteMenu(menu, UINT(SC_RESTORE), MF_BYCOMMAND);
}

void TcxPivotGridCustomCustomizationForm::DrawFieldHeader(TcxCanvas* canvas, TcxPivotGridFieldHeaderCellViewInfo* cell,
                                                          bool& done) {
  pivotGrid_->DoCustomDrawFieldHeader(canvas, cell, done);
}

TClass TcxPivotGridCustomCustomizationForm::BeginFieldDrag(TcxPivotGridField* field) {
  pivotGrid_->Controller()->PressedField = field;
  return TcxPivotGridDragAndDropObject::StaticClass();
}

TcxCustomLookAndFeelPainterClass TcxPivotGridCustomCustomizationForm::Painter() const {
  return pivotGrid_->ViewPainter();
}

TcxLookAndFeel* TcxPivotGridCustomCustomizationForm::LookAndFeel() const { return pivotGrid_->LookAndFeel(); }

// ---- the holder --------------------------------------------------------------------------------------

TcxPivotGridCustomization::~TcxPivotGridCustomization() {
  TcxPivotGridCustomCustomizationForm* form = form_;
  form_ = nullptr;
  if (form) form->Free();
}

void TcxPivotGridCustomization::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TcxPivotGridCustomization*>(source);
  if (!other) {
    TcxPivotGridCustomOptions::Assign(source);
    return;
  }
  if (other == this) return;
  formBounds_ = other->Visible() ? other->form_->BoundsRect() : other->formBounds_;
  if (Visible()) form_->SetBoundsRect(formBounds_);
}

void TcxPivotGridCustomization::DoCustomization() { pivotGrid_->DoCustomization(); }

void TcxPivotGridCustomization::Refresh() {
  if (Visible()) form_->RefreshList();
}

TcxPivotGridCustomCustomizationForm* TcxPivotGridCustomization::Form() {
  if (form_) return form_;
  auto* form = dynamic_cast<TcxPivotGridCustomCustomizationForm*>(cxPivotGridCustomizationFormClass->Create(nullptr));
  if (!form) throw EInvalidCast("Invalid class typecast");
  try {
    form->Prepare(pivotGrid_);
  } catch (...) {
    form->Free();
    throw;
  }
  form_ = form;
  form->OnShow = [this](TObject*) { DoCustomization(); };
  form->OnHide = [this](TObject*) {
    if (form_) formBounds_ = form_->BoundsRect();
    DoCustomization();
  };
  if (formBounds_.IsEmpty()) {
    // First placement: the bottom-right corner of the grid's client area.
    TPoint corner = pivotGrid_->ClientToScreen(TPoint(pivotGrid_->ClientWidth(), pivotGrid_->ClientHeight()));
    formBounds_ = TRect(corner.X - form->Width(), corner.Y - form->Height(), corner.X, corner.Y);
  }
  return form_;
}

bool TcxPivotGridCustomization::Visible() const { return form_ && form_->Visible(); }

void TcxPivotGridCustomization::SetVisible(bool v) {
  if (Visible() == v) return;
  TcxPivotGridCustomCustomizationForm* form = Form();
  if (v) {
    form->SetBoundsRect(formBounds_);
    form->RefreshList();
  }
  form->SetVisible(v);
}

void TcxPivotGridCustomization::FormDestroying(TcxPivotGridCustomCustomizationForm* form) {
  if (form != form_) return;
  formBounds_ = form->BoundsRect();
  form_ = nullptr;
}
