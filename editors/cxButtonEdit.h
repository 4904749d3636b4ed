// The button edit: the mask edit with one default ellipsis button that runs OnButtonClick.
#pragma once

#include "editors/cxMaskEdit.h"

class TcxCustomButtonEditProperties : public TcxCustomMaskEditProperties {
  KORVAN_CLASS(TcxCustomButtonEditProperties, TcxCustomMaskEditProperties)

 public:
  explicit TcxCustomButtonEditProperties(TPersistent* owner);
  TClass GetContainerClass() override;
  void SetButtons(TcxEditButtons* value) { Buttons()->Assign(value); }
};

class TcxButtonEditProperties : public TcxCustomButtonEditProperties {
  KORVAN_CLASS(TcxButtonEditProperties, TcxCustomButtonEditProperties)

 public:
  using TcxCustomButtonEditProperties::TcxCustomButtonEditProperties;
};

class TcxCustomButtonEdit : public TcxCustomMaskEdit {
  KORVAN_CLASS(TcxCustomButtonEdit, TcxCustomMaskEdit)

 public:
  using CreateArgType = TComponent*;
  explicit TcxCustomButtonEdit(TComponent* owner)
      : TcxCustomButtonEdit(owner, TcxCustomButtonEditProperties::StaticClass()) {}
  TcxCustomButtonEdit(TComponent* owner, TClass properties_class);
  // Buttons are streamed with the edit: only the popup border style is left out.
  TcxContainerStyleValues UnstoredStyleValues() override { return {svPopupBorderStyle}; }
};

class TcxButtonEdit : public TcxCustomButtonEdit {
  KORVAN_CLASS(TcxButtonEdit, TcxCustomButtonEdit)

 public:
  explicit TcxButtonEdit(TComponent* owner) : TcxCustomButtonEdit(owner, TcxButtonEditProperties::StaticClass()) {}
  TcxButtonEditProperties* Properties() const {
    return static_cast<TcxButtonEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxButtonEditProperties* value) { Properties()->Assign(value); }

 protected:
  // Form text that lists buttons replaces the default one instead of adding to it.
  void Loading() override;

 private:
  bool buttonsClearedForLoading_ = false;
};

// The button edit's unit start: the properties registry entry.
void InitializeCxButtonEdit();
