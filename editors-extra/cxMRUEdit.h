// The most-recently-used edit: a combo box whose list holds the texts most recently entered
// in it (most recent first, cut to a maximum length, compared without regard to case), with an
// extra ellipsis button that fires an event.
#pragma once

#include "editors/cxComboBox.h"

class TcxCustomMRUEditProperties;
using TcxMRUEditDeleteLookupItemEvent =
    std::function<void(TcxCustomMRUEditProperties* properties, Integer item_index)>;

class TcxCustomMRUEditProperties : public TcxCustomComboBoxProperties {
  KORVAN_CLASS(TcxCustomMRUEditProperties, TcxCustomComboBoxProperties)

 public:
  explicit TcxCustomMRUEditProperties(TPersistent* owner);
  void Assign(TPersistent* source) override;
  TClass GetContainerClass() override;
  // Gives another MRU properties object a copy of this list.
  void Update(TcxCustomEditProperties* properties);
  // Removes the last items while the list is longer than MaxItemCount (when above 0).
  void TrimList();
  // The button that carries the glyph (the ellipsis button while shown, else the drop-down
  // button): a glyph button with a picture, else an ellipsis or a down arrow.
  void UpdateGlyphButtonKind();

  Integer MaxItemCount() const { return maxItemCount_; }
  void SetMaxItemCount(Integer v);
  bool ShowEllipsis() const { return showEllipsis_; }
  void SetShowEllipsis(bool v);

  // The ellipsis button's click (sender: the edit); hides the index-based event of the base.
  TNotifyEvent OnButtonClick;
  TcxMRUEditDeleteLookupItemEvent OnDeleteLookupItem;

 private:
  Integer maxItemCount_ = 0;
  bool showEllipsis_ = true;
};

class TcxMRUEditProperties : public TcxCustomMRUEditProperties {
  KORVAN_CLASS(TcxMRUEditProperties, TcxCustomMRUEditProperties)

 public:
  using TcxCustomMRUEditProperties::TcxCustomMRUEditProperties;
};

class TcxCustomMRUEdit : public TcxCustomComboBox {
  KORVAN_CLASS(TcxCustomMRUEdit, TcxCustomComboBox)

 public:
  explicit TcxCustomMRUEdit(TComponent* owner)
      : TcxCustomMRUEdit(owner, false, TcxCustomMRUEditProperties::StaticClass()) {}
  TcxCustomMRUEdit(TComponent* owner, bool in_place, TClass properties_class);

  // The properties that hold the list: the repository item's when the edit has one.
  TcxCustomMRUEditProperties* MRUProperties() {
    return static_cast<TcxCustomMRUEditProperties*>(GetEffectiveProperties());
  }
  // Moves a known text to the top, or inserts a new one there and trims the list.
  void InsertMRUItem(const String& text);

  void DoButtonClick(Integer index) override;
  void LookupItemSelected(TObject* sender) override;
  void SetDisplayValue(const Variant& value) override;
  void PropertiesChanged(TcxCustomEditProperties* properties) override;

 protected:
  void DoEditKeyDown(Word& key, TShiftState shift) override;
};

class TcxMRUEdit : public TcxCustomMRUEdit {
  KORVAN_CLASS(TcxMRUEdit, TcxCustomMRUEdit)

 public:
  explicit TcxMRUEdit(TComponent* owner) : TcxCustomMRUEdit(owner, false, TcxMRUEditProperties::StaticClass()) {}
  TcxMRUEditProperties* Properties() const {
    return static_cast<TcxMRUEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxMRUEditProperties* value) { Properties()->Assign(value); }
};

class TcxEditRepositoryMRUItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryMRUItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositoryMRUItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxMRUEditProperties::StaticClass()) {}
  TcxMRUEditProperties* Properties() const {
    return static_cast<TcxMRUEditProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxMRUEditProperties* value) { TcxEditRepositoryItem::SetProperties(value); }
};

// The unit start: the properties registry entry and the text editor's filter helper.
void InitializeCxMRUEdit();
