#include "editors-extra/cxFilterDialog.h"

#include <algorithm>
#include <cstdint>

#include "editors-extra/cxFilterControlStrs.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxControls.h"
#include "vcl/Dialogs.h"

KORVAN_IMPLEMENT_CLASS(TcxFilterDialog)

namespace {

constexpr TcxFilterControlOperator fcoEqual = 1, fcoNotEqual = 2, fcoBlank = 9, fcoNotBlank = 10;

bool IsComparisonKind(TcxCustomFilterCriteriaItem* node) {
  if (node->IsItemList()) return false;
  const Integer kind = static_cast<TcxFilterCriteriaItem*>(node)->OperatorKind();
  return kind >= foEqual && kind <= foNotLike;
}

TObject* LinkOf(TcxCustomFilterCriteriaItem* node) { return static_cast<TcxFilterCriteriaItem*>(node)->ItemLink(); }

bool IsLikeOperator(TcxFilterControlOperator op) { return op == fcoLike || op == fcoNotLike; }

TObject* OperatorObject(TcxFilterControlOperator op) { return reinterpret_cast<TObject*>(std::intptr_t(op)); }

void Place(TControl* c, TWinControl* parent, Integer left, Integer top, Integer width, Integer height) {
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
}

TLabel* NewLabel(TCustomForm* form, Integer left, Integer top) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetLeft(left);
  label->SetTop(top);
  return label;
}

TcxComboBox* NewOperatorCombo(TCustomForm* form, Integer top, Integer tabOrder) {
  auto* combo = new TcxComboBox(form);
  Place(combo, form, 8, top, 193, 21);
  combo->ComboProperties()->SetDropDownListStyle(lsFixedList);
  combo->SetTabOrder(tabOrder);
  return combo;
}

}  // namespace

bool IsFilterTooComplexForDialog(TcxFilterCriteria* filter) {
  if (!filter) return false;
  TcxFilterCriteriaItemList* root = filter->Root();
  if (root->BoolOperatorKind() != fboAnd) return true;
  std::vector<TObject*> seen;
  auto firstSeen = [&seen](TObject* link) {
    if (std::find(seen.begin(), seen.end(), link) != seen.end()) return false;
    seen.push_back(link);
    return true;
  };
  for (Integer i = 0; i < root->ItemCount(); ++i) {
    TcxCustomFilterCriteriaItem* child = root->Items(i);
    if (!child->IsItemList()) {
      if (!IsComparisonKind(child) || !firstSeen(LinkOf(child))) return true;
      continue;
    }
    auto* group = static_cast<TcxFilterCriteriaItemList*>(child);
    if (group->ItemCount() != 2) return true;
    if (group->BoolOperatorKind() != fboAnd && group->BoolOperatorKind() != fboOr) return true;
    if (!IsComparisonKind(group->Items(0)) || !IsComparisonKind(group->Items(1))) return true;
    if (LinkOf(group->Items(0)) != LinkOf(group->Items(1)) || !firstSeen(LinkOf(group->Items(0)))) return true;
  }
  return false;
}

bool ShowFilterDialog(TcxFilterCriteria* filter, TObject* item, TcxCustomEditProperties* properties,
                      const String& caption, TcxValueTypeClass valueTypeClass, TFont* font,
                      TcxLookAndFeel* lookAndFeel) {
  if (!filter || !properties) return false;
  TClass helperClass = FilterEditsController()->LookupHelper(properties->ClassType());
  if (!helperClass) return false;
  auto* dialog = new TcxFilterDialog(Application);
  bool result = false;
  try {
    dialog->Init(filter, item, helperClass, properties, caption, valueTypeClass, font, lookAndFeel);
    if (dialog->ShowModal() == mrOk) {
      dialog->ApplyChanges();
      result = true;
    }
  } catch (...) {
    dialog->Free();
    throw;
  }
  dialog->Free();
  return result;
}

// ---- the form -----------------------------------------------------------------------------------

TcxFilterDialog::TcxFilterDialog(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetBorderIcons(TBorderIcons{biSystemMenu});
  SetPosition(poScreenCenter);
  Font()->SetName("MS Sans Serif");
  Font()->SetHeight(-11);
  SetClientWidth(414);
  SetClientHeight(175);

  lblTitle = NewLabel(this, 8, 8);
  // The bevel comes before the column caption, which paints over its line.
  bvlLine = new TBevel(this);
  Place(bvlLine, this, 8, 34, 396, 4);
  bvlLine->SetShape(bsTopLine);
  lblColumnCaption = NewLabel(this, 8, 27);
  cbOperator1 = NewOperatorCombo(this, 46, 0);
  cbOperator1->OnClick = [this](TObject* s) { cbOperator1Click(s); };
  lblEdit1PlaceHolder = NewLabel(this, 208, 46);
  lblEdit1PlaceHolder->SetAutoSize(false);
  lblEdit1PlaceHolder->SetBounds(208, 46, 193, 21);
  lblEdit1PlaceHolder->SetVisible(false);
  rbAnd = new TcxRadioButton(this);
  Place(rbAnd, this, 56, 74, 60, 17);
  rbAnd->SetChecked(true);
  rbAnd->SetTabOrder(1);
  rbOr = new TcxRadioButton(this);
  Place(rbOr, this, 120, 74, 65, 17);
  rbOr->SetTabOrder(2);
  cbOperator2 = NewOperatorCombo(this, 96, 3);
  cbOperator2->ComboProperties()->OnChange = [this](TObject* s) { cbOperator2PropertiesChange(s); };
  lblEdit2PlaceHolder = NewLabel(this, 208, 96);
  lblEdit2PlaceHolder->SetAutoSize(false);
  lblEdit2PlaceHolder->SetBounds(208, 96, 193, 21);
  lblEdit2PlaceHolder->SetVisible(false);
  lblSingle = NewLabel(this, 8, 134);
  lblSeries = NewLabel(this, 8, 153);
  btnOK = new TcxButton(this);
  Place(btnOK, this, 248, 144, 75, 23);
  btnOK->SetDefault(true);
  btnOK->SetModalResult(mrOk);
  btnOK->SetTabOrder(4);
  btnCancel = new TcxButton(this);
  Place(btnCancel, this, 330, 144, 75, 23);
  btnCancel->SetCancel(true);
  btnCancel->SetModalResult(mrCancel);
  btnCancel->SetTabOrder(5);
  SetActiveControl(cbOperator1);
  OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
}

void TcxFilterDialog::DoShow() {
  TForm::DoShow();
  RunDialogShowHook(this);
}

TcxFilterControlOperator TcxFilterDialog::SelectedOperator(TcxComboBox* combo) {
  const Integer index = combo->ItemIndex();
  TStringList* items = combo->ComboProperties()->Items();
  if (index < 0 || index >= items->Count()) return 0;
  return TcxFilterControlOperator(reinterpret_cast<std::intptr_t>(items->Objects(index)));
}

void TcxFilterDialog::SelectOperator(TcxComboBox* combo, TcxFilterControlOperator op) {
  combo->SetItemIndex(combo->ComboProperties()->Items()->IndexOfObject(OperatorObject(op)));
}

void TcxFilterDialog::CreateValueEditor(TcxCustomEdit*& edit, TLabel* placeHolder) {
  edit = CreateFilterEdit(helperClass_, properties_);
  InsertComponent(edit);
  edit->SetParent(this);
  edit->SetBounds(placeHolder->Left(), placeHolder->Top(), placeHolder->Width(), placeHolder->Height());
}

void TcxFilterDialog::Init(TcxFilterCriteria* criteria, TObject* item, TClass helperClass,
                           TcxCustomEditProperties* properties, const String& caption,
                           TcxValueTypeClass valueTypeClass, TFont* font, TcxLookAndFeel* lookAndFeel) {
  criteria_ = criteria;
  item_ = item;
  helperClass_ = helperClass;
  properties_ = properties;
  valueTypeClass_ = valueTypeClass;
  FilterEditHelper(helperClass)->SupportedOperators(properties, valueTypeClass, operators_, false);
  std::erase_if(operators_, [criteria](TcxFilterControlOperator op) {
    return op < 1 || op > fcoNotBlank || (IsLikeOperator(op) && !criteria->SupportedLike());
  });
  std::sort(operators_.begin(), operators_.end());

  SetCaption(LoadReplaceableResString(cxSFilterDialogCaption));
  lblTitle->SetCaption(LoadReplaceableResString(cxSFilterDialogRows));
  btnOK->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionOkCaption));
  btnCancel->SetCaption(LoadReplaceableResString(cxSFilterControlDialogActionCancelCaption));
  const String use = LoadReplaceableResString(cxSFilterDialogUse);
  lblSingle->SetCaption(use + " " + String(1, criteria->UnderscoreWildcard()) + " " +
                        LoadReplaceableResString(cxSFilterDialogSingleCharacter));
  lblSeries->SetCaption(use + " " + String(1, criteria->PercentWildcard()) + " " +
                        LoadReplaceableResString(cxSFilterDialogCharactersSeries));

  TStringList* items1 = cbOperator1->ComboProperties()->Items();
  for (TcxFilterControlOperator op : operators_) items1->AddObject(FilterOperatorCaption(op), OperatorObject(op));
  cbOperator1->ComboProperties()->SetDropDownRows(items1->Count());
  auto supports = [this](TcxFilterControlOperator op) {
    return std::find(operators_.begin(), operators_.end(), op) != operators_.end();
  };
  if (supports(fcoLike) && valueTypeClass && valueTypeClass->IsString()) SelectOperator(cbOperator1, fcoLike);
  else if (supports(fcoEqual)) SelectOperator(cbOperator1, fcoEqual);
  else cbOperator1->SetItemIndex(items1->Count() > 0 ? 0 : -1);

  TStringList* items2 = cbOperator2->ComboProperties()->Items();
  items2->Assign(items1);
  items2->InsertObject(0, String(), nullptr);
  cbOperator2->ComboProperties()->SetDropDownRows(items2->Count());
  cbOperator2->SetItemIndex(0);

  CreateValueEditor(edit1_, lblEdit1PlaceHolder);
  CreateValueEditor(edit2_, lblEdit2PlaceHolder);
  edit1_->SetTabOrder(cbOperator1->TabOrder() + 1);
  rbAnd->SetTabOrder(edit1_->TabOrder() + 1);
  edit2_->SetTabOrder(cbOperator2->TabOrder() + 1);
  rbAnd->SetCaption(LoadReplaceableResString(cxSFilterDialogOperationAnd));
  rbOr->SetCaption(LoadReplaceableResString(cxSFilterDialogOperationOr));

  lblColumnCaption->SetTransparent(false);
  lblColumnCaption->SetCaption(caption + " ");

  if (TcxFilterCriteriaItem* first = criteria->ItemByItemLink(item)) {
    FillCondition(cbOperator1, edit1_, first);
    TcxFilterCriteriaItemList* group = first->Parent();
    if (group && group != criteria->Root() && group->ItemCount() > 1) {
      const bool isAnd = group->BoolOperatorKind() == fboAnd;
      rbAnd->SetChecked(isAnd);
      rbOr->SetChecked(!isAnd);
      if (!group->Items(1)->IsItemList())
        FillCondition(cbOperator2, edit2_, static_cast<TcxFilterCriteriaItem*>(group->Items(1)));
    }
  }
  UpdateWildcards(edit1_, cbOperator1);
  UpdateWildcards(edit2_, cbOperator2);
  UpdateHints();

  if (lookAndFeel) {
    for (TcxCustomEdit* c : {static_cast<TcxCustomEdit*>(cbOperator1), static_cast<TcxCustomEdit*>(cbOperator2),
                             edit1_, edit2_})
      c->Style()->LookAndFeel()->AttachToMaster(lookAndFeel);
    rbAnd->LookAndFeel()->AttachToMaster(lookAndFeel);
    rbOr->LookAndFeel()->AttachToMaster(lookAndFeel);
    btnOK->LookAndFeel()->AttachToMaster(lookAndFeel);
    btnCancel->LookAndFeel()->AttachToMaster(lookAndFeel);
  }
  if (font) SetFormFontScaled(this, font);
}

void TcxFilterDialog::FillCondition(TcxComboBox* combo, TcxCustomEdit* edit, TcxFilterCriteriaItem* item) {
  SelectOperator(combo, ToFilterControlOperator(item->OperatorKind(), criteria_->IsNull(item->Value())));
  FilterEditHelper(helperClass_)->ApplyFilterValue(edit, properties_, item->Value());
}

void TcxFilterDialog::UpdateWildcards(TcxCustomEdit* edit, TcxComboBox* combo) {
  auto* text = dynamic_cast<TcxCustomTextEditProperties*>(edit->GetEffectiveProperties());
  if (!text) return;
  const bool like = IsLikeOperator(SelectedOperator(combo));
  for (char c : {criteria_->PercentWildcard(), criteria_->UnderscoreWildcard()})
    text->ExtraValidChars()[static_cast<unsigned char>(c)] = like;
}

void TcxFilterDialog::UpdateHints() {
  const bool like = IsLikeOperator(SelectedOperator(cbOperator1)) || IsLikeOperator(SelectedOperator(cbOperator2));
  lblSingle->SetVisible(like);
  lblSeries->SetVisible(lblSingle->Visible());
}

void TcxFilterDialog::cbOperator1Click(TObject*) {
  if (!edit1_) return;
  UpdateWildcards(edit1_, cbOperator1);
  UpdateHints();
}

void TcxFilterDialog::cbOperator2PropertiesChange(TObject*) {
  if (!edit2_) return;
  UpdateWildcards(edit2_, cbOperator2);
  UpdateHints();
}

void TcxFilterDialog::ReadCondition(TcxComboBox* combo, TcxCustomEdit* edit, TCondition& condition) {
  condition = TCondition();
  FilterEditHelper(helperClass_)->GetFilterValue(edit, properties_, condition.Value, condition.Text);
  ValidateFilterValue(condition.Value, SelectedOperator(combo), valueTypeClass_, helperClass_);
}

void TcxFilterDialog::FormCloseQuery(TObject*, bool& canClose) {
  if (ModalResult() != mrOk) return;
  canClose = false;
  edit1_->ValidateEdit(true);
  edit2_->ValidateEdit(true);
  btnOK->SetFocus();
  ReadCondition(cbOperator1, edit1_, condition1_);
  if (cbOperator2->ItemIndex() >= 0) ReadCondition(cbOperator2, edit2_, condition2_);
  canClose = true;
}

void TcxFilterDialog::AddCondition(TcxFilterCriteriaItemList* group, TcxComboBox* combo,
                                   const TCondition& condition) {
  TcxFilterControlOperator op = SelectedOperator(combo);
  if (op == 0) return;
  Variant value = condition.Value;
  String text = condition.Text;
  if (op == fcoBlank || op == fcoNotBlank) {
    value = Null();
    op = op == fcoBlank ? fcoEqual : fcoNotEqual;
  }
  if (VarIsNull(value) || (value.IsString() && VarToStr(value).empty())) text = FilterValueDisplayText(Null());
  group->AddItem(item_, TcxFilterOperatorKind(ToDataFilterOperator(op)), value, text);
}

void TcxFilterDialog::ApplyChanges() {
  criteria_->LockChanges();
  try {
    TcxFilterCriteriaItemList* root = criteria_->Root();
    root->ChangeBoolOperator(fboAnd);
    criteria_->RemoveItemsByItemLink(item_);
    if (cbOperator2->ItemIndex() > 0) {
      TcxFilterCriteriaItemList* group = root->AddItemList(rbOr->Checked() ? fboOr : fboAnd);
      AddCondition(group, cbOperator1, condition1_);
      AddCondition(group, cbOperator2, condition2_);
    } else {
      AddCondition(root, cbOperator1, condition1_);
    }
  } catch (...) {
    criteria_->UnlockChanges();
    throw;
  }
  criteria_->UnlockChanges();
}

void InitializeCxFilterDialog() {
  InitUnit("cxFilterDialog", [] {
    InitializeForms();
    InitializeStdCtrls();
    InitializeExtCtrls();
    InitializeCxButtons();
    InitializeCxComboBox();
    InitializeCxRadioGroup();
    InitializeCxTextEdit();
    InitializeCxFilterControlUtils();
  });
}
