// The pivot grid's customization holder: the field list window, made on demand, shown and
// hidden by the menus and the program, its bounds kept across hiding and recreation, and the
// grid's OnCustomization fired on show and hide. The window's class is a class variable: the
// base form here (an empty tool window) until a unit with the list of fields replaces it.
#pragma once

#include "pivotgrid/cxCustomPivotGrid.h"
#include "vcl/Forms.h"

class TcxPivotGridCustomization;

class TcxPivotGridCustomCustomizationForm : public TForm {
  KORVAN_CLASS(TcxPivotGridCustomCustomizationForm, TForm)
 public:
  explicit TcxPivotGridCustomCustomizationForm(TComponent* owner) : TForm(owner) {}
  ~TcxPivotGridCustomCustomizationForm() override;

  // Binds the form to its grid and builds it: InitializeForm, CreateControls, RefreshList and
  // the minimum size (the construction that a derived class's overrides take part in).
  void Prepare(TcxCustomPivotGrid* grid);

  virtual void CreateControls() {}
  // The grid's custom drawing of a field header (for headers drawn in the list).
  virtual void DrawFieldHeader(TcxCanvas* canvas, TcxPivotGridFieldHeaderCellViewInfo* cell, bool& done);
  // A drag of a field starts in the list: the grid's controller takes it as its pressed field.
  virtual TClass BeginFieldDrag(TcxPivotGridField* field);
  virtual void InitializeForm();
  virtual void RefreshList() {}
  // A field of the grid is being freed: the window lets go of it at once (before the grid's
  // next build lists the fields again).
  virtual void FieldRemoving(TcxPivotGridField* field) {}

  TcxCustomPivotGrid* PivotGrid() const { return pivotGrid_; }
  TcxCustomLookAndFeelPainterClass Painter() const;
  TcxLookAndFeel* LookAndFeel() const;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TcxCustomPivotGrid* pivotGrid_ = nullptr;
};

// The class of the field list window that `Customization.Form` makes.
extern TClass cxPivotGridCustomizationFormClass;

class TcxPivotGridCustomization : public TcxPivotGridCustomOptions {
  KORVAN_CLASS(TcxPivotGridCustomization, TcxPivotGridCustomOptions)
 public:
  explicit TcxPivotGridCustomization(TcxCustomPivotGrid* grid) : TcxPivotGridCustomOptions(grid) {}
  ~TcxPivotGridCustomization() override;
  // Copies the field list window's bounds (those of a shown window, else the kept ones);
  // whether the window shows is the grid's own state and is not copied.
  void Assign(TPersistent* source) override;

  virtual void DoCustomization();
  // The grid calls it when fields change: the visible window lists them again.
  virtual void Refresh();

  // The field list window, made on first use.
  TcxPivotGridCustomCustomizationForm* Form();
  TcxPivotGridCustomCustomizationForm* FormIfCreated() const { return form_; }
  const TRect& FormBounds() const { return formBounds_; }
  void SetFormBounds(const TRect& r) { formBounds_ = r; }
  bool Visible() const;
  void SetVisible(bool v);
  void FieldRemoving(TcxPivotGridField* field) {
    if (form_) form_->FieldRemoving(field);
  }
  // The window is being freed (not by the holder): keep its bounds, forget it.
  void FormDestroying(TcxPivotGridCustomCustomizationForm* form);

 private:
  TcxPivotGridCustomCustomizationForm* form_ = nullptr;
  TRect formBounds_{0, 0, 0, 0};
};
