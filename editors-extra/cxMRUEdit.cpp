// The most-recently-used edit: the list kept by insertion, moving and trimming, the ellipsis
// button, the keys and list choices that enter a text, and the unit start.
#include "editors-extra/cxMRUEdit.h"

#include "data/cxCustomDataInternal.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxFilterControlUtils.h"
#include "rtl/TypInfo.h"

namespace {
using TMRUProps = TcxCustomMRUEditProperties;
const TcxResourceStringRec scxSEditRepositoryMRUItem = {
    "scxSEditRepositoryMRUItem",
    "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown "
    "window"};
constexpr Integer kEllipsisButton = 1;
}  // namespace

KORVAN_IMPLEMENT_CLASS(TcxCustomMRUEditProperties)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxMRUEditProperties) {
  p.Int("MaxItemCount", &TMRUProps::MaxItemCount, &TMRUProps::SetMaxItemCount).Default(0);
  p.Bool("ShowEllipsis", &TMRUProps::ShowEllipsis, &TMRUProps::SetShowEllipsis).Default(true);
}

TcxCustomMRUEditProperties::TcxCustomMRUEditProperties(TPersistent* owner) : TcxCustomComboBoxProperties(owner) {
  TcxEditButton* ellipsis = Buttons()->AddButton();
  ellipsis->SetKind(bkEllipsis);
  ellipsis->SetDefault(true);
  MoveGlyphToButton(kEllipsisButton);
  UpdateGlyphButtonKind();
  SetDropDownListStyle(lsEditList);
  SetIsMRUList(true);
}

void TcxCustomMRUEditProperties::Assign(TPersistent* source) {
  auto* s = dynamic_cast<TcxCustomMRUEditProperties*>(source);
  ChangeInUpdate([&] {
    TcxCustomComboBoxProperties::Assign(source);
    if (s) {
      SetMaxItemCount(s->maxItemCount_);
      SetShowEllipsis(s->showEllipsis_);
      OnButtonClick = s->OnButtonClick;
      OnDeleteLookupItem = s->OnDeleteLookupItem;
    }
  });
}

TClass TcxCustomMRUEditProperties::GetContainerClass() { return TcxMRUEdit::StaticClass(); }

void TcxCustomMRUEditProperties::Update(TcxCustomEditProperties* properties) {
  if (auto* p = dynamic_cast<TcxCustomMRUEditProperties*>(properties); p && p != this)
    p->LookupItems()->Assign(LookupItems());
}

void TcxCustomMRUEditProperties::TrimList() {
  if (maxItemCount_ <= 0) return;
  TStringList* items = LookupItems();
  while (items->Count() > maxItemCount_) {
    if (OnDeleteLookupItem) OnDeleteLookupItem(this, items->Count() - 1);
    items->Delete(items->Count() - 1);
  }
}

void TcxCustomMRUEditProperties::SetMaxItemCount(Integer v) {
  v = std::max<Integer>(v, 0);
  if (v == maxItemCount_) return;
  maxItemCount_ = v;
  TrimList();
  NotifyPropertiesChanged();
}

void TcxCustomMRUEditProperties::UpdateGlyphButtonKind() {
  const Integer index = showEllipsis_ ? kEllipsisButton : GetDropDownButtonIndex();
  if (index >= Buttons()->Count()) return;
  auto* b = static_cast<TcxEditButton*>(Buttons()->Items(index));
  const bool has_glyph = ButtonGlyph() && !ButtonGlyph()->Empty();
  const TcxEditButtonKind kind = has_glyph ? bkGlyph : showEllipsis_ ? bkEllipsis : bkDown;
  if (b->Kind() == kind) return;
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(false); }};
  b->SetKind(kind);
}

void TcxCustomMRUEditProperties::SetShowEllipsis(bool v) {
  if (v == showEllipsis_) return;
  BeginUpdate();
  cxdata_internal::Finally end{[this] { EndUpdate(true); }};
  showEllipsis_ = v;
  static_cast<TcxEditButton*>(Buttons()->Items(kEllipsisButton))->SetVisible(v);
  MoveGlyphToButton(v ? kEllipsisButton : GetDropDownButtonIndex());
  UpdateGlyphButtonKind();
  NotifyPropertiesChanged();
}

// ---- the edit ------------------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxCustomMRUEdit)
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxMRUEdit) {
  p.Object("Properties", &TcxMRUEdit::Properties, &TcxMRUEdit::SetProperties, TcxMRUEditProperties::StaticClass());
}
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryMRUItem)

TcxCustomMRUEdit::TcxCustomMRUEdit(TComponent* owner, bool in_place, TClass properties_class)
    : TcxCustomComboBox(owner, in_place, properties_class) {}

void TcxCustomMRUEdit::InsertMRUItem(const String& text) {
  if (text.empty()) return;
  TcxCustomMRUEditProperties* p = MRUProperties();
  TStringList* items = p->LookupItems();
  const Integer index = items->IndexOf(text);
  if (index == 0) return;
  if (index < 0) {
    TWeakRef<TcxCustomMRUEdit> self(this);
    FireNewLookupDisplayText(text);
    if (!self) return;
    items->Insert(0, text);
    p->TrimList();
  } else {
    items->Move(index, 0);
  }
}

void TcxCustomMRUEdit::DoButtonClick(Integer index) {
  if (index != kEllipsisButton) {
    TcxCustomComboBox::DoButtonClick(index);
    return;
  }
  TWeakRef<TcxCustomMRUEdit> self(this);
  auto* own = static_cast<TcxCustomMRUEditProperties*>(Properties());
  if (own->OnButtonClick) own->OnButtonClick(this);
  if (!self) return;
  if (TcxEditRepositoryItem* item = RepositoryItem())
    if (auto* p = dynamic_cast<TcxCustomMRUEditProperties*>(item->Properties()); p && p->OnButtonClick)
      p->OnButtonClick(this);
}

void TcxCustomMRUEdit::DoEditKeyDown(Word& key, TShiftState shift) {
  if (key == VK_RETURN && !shift.Contains(ssAlt) && !(DroppedDown() && ItemIndex() >= 0)) {
    // The new-item handler may free the editor.
    TWeakRef<TcxCustomMRUEdit> self(this);
    InsertMRUItem(Text());
    if (!self) return;
  }
  TcxCustomComboBox::DoEditKeyDown(key, shift);
}

void TcxCustomMRUEdit::LookupItemSelected(TObject* sender) {
  TWeakRef<TcxCustomMRUEdit> self(this);
  TcxCustomComboBox::LookupItemSelected(sender);
  if (self && !LookupNavigating() && CanModify()) InsertMRUItem(Text());
}

void TcxCustomMRUEdit::SetDisplayValue(const Variant& value) {
  TWeakRef<TcxCustomMRUEdit> self(this);
  InsertMRUItem(Text());
  if (!self) return;
  TcxCustomComboBox::SetDisplayValue(value);
}

void TcxCustomMRUEdit::PropertiesChanged(TcxCustomEditProperties* properties) {
  MRUProperties()->UpdateGlyphButtonKind();
  TcxCustomComboBox::PropertiesChanged(properties);
}

void InitializeCxMRUEdit() {
  InitUnit(
      "cxMRUEdit",
      [] {
        InitializeCxComboBox();
        RegisterClass(TcxMRUEdit::StaticClass());
        RegisterClass(TcxMRUEditProperties::StaticClass());
        RegisterClass(TcxEditRepositoryMRUItem::StaticClass());
        EditPropertiesRegistry()->AddDescribedClass(TcxMRUEditProperties::StaticClass(),
                                                    LoadReplaceableResString(scxSEditRepositoryMRUItem));
        FilterEditsController()->RegisterHelper(TcxMRUEditProperties::StaticClass(),
                                                TcxFilterTextEditHelper::StaticClass());
      },
      [] {
        if (EditPropertiesRegistry()) EditPropertiesRegistry()->RemoveClass(TcxMRUEditProperties::StaticClass());
        FilterEditsController()->UnregisterHelper(TcxMRUEditProperties::StaticClass(),
                                                  TcxFilterTextEditHelper::StaticClass());
      });
}
