// The custom filter dialog: the filter of one item (a grid column) as at most two conditions
// joined by AND or OR, and the test that tells whether a filter can be shown in it at all.
#pragma once

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"
#include "editors/cxComboBox.h"
#include "editors/cxFilterControlUtils.h"
#include "editors/cxRadioGroup.h"
#include "foundation/cxButtons.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/StdCtrls.h"

class TcxCustomEditProperties;

// True when the filter does not fit the dialog: the root is not AND, or one of its children is
// neither a comparison or like condition nor a group of two such conditions on one item joined
// by AND or OR, or an item appears in two children of the root.
bool IsFilterTooComplexForDialog(TcxFilterCriteria* filter);
// Shows the custom filter dialog for one item; True when the user confirmed it (the item's
// conditions in the filter have been replaced). False without showing anything when no filter
// is given or no filter helper is registered for the properties' class.
bool ShowFilterDialog(TcxFilterCriteria* filter, TObject* item, TcxCustomEditProperties* properties,
                      const String& caption, TcxValueTypeClass valueTypeClass, TFont* font,
                      TcxLookAndFeel* lookAndFeel);

// The dialog's form, built in code with its fixed places (client 414 x 175).
class TcxFilterDialog : public TForm {
  KORVAN_CLASS(TcxFilterDialog, TForm)

 public:
  explicit TcxFilterDialog(TComponent* owner);

  TLabel* lblTitle = nullptr;
  TBevel* bvlLine = nullptr;
  TLabel* lblColumnCaption = nullptr;
  TcxComboBox* cbOperator1 = nullptr;
  TLabel* lblEdit1PlaceHolder = nullptr;
  TcxRadioButton* rbAnd = nullptr;
  TcxRadioButton* rbOr = nullptr;
  TcxComboBox* cbOperator2 = nullptr;
  TLabel* lblEdit2PlaceHolder = nullptr;
  TLabel* lblSingle = nullptr;
  TLabel* lblSeries = nullptr;
  TcxButton* btnOK = nullptr;
  TcxButton* btnCancel = nullptr;

  // The two value editors made by the item's filter helper (owned by the form).
  TcxCustomEdit* Edit1() const { return edit1_; }
  TcxCustomEdit* Edit2() const { return edit2_; }
  // The operator code a combo selects: 0 for none and for the empty entry of cbOperator2.
  static TcxFilterControlOperator SelectedOperator(TcxComboBox* combo);
  // Selects the entry of a code (none when the combo does not list it).
  static void SelectOperator(TcxComboBox* combo, TcxFilterControlOperator op);

  // Fills the form for the item's conditions in `criteria` (steps before the modal run).
  void Init(TcxFilterCriteria* criteria, TObject* item, TClass helperClass, TcxCustomEditProperties* properties,
            const String& caption, TcxValueTypeClass valueTypeClass, TFont* font, TcxLookAndFeel* lookAndFeel);
  // Replaces the item's conditions by those of the dialog (after a confirmed close).
  void ApplyChanges();

  void FormCloseQuery(TObject* sender, bool& canClose);
  void cbOperator1Click(TObject* sender);
  void cbOperator2PropertiesChange(TObject* sender);

 protected:
  void DoShow() override;

 private:
  struct TCondition {
    Variant Value = Null();
    String Text;
  };
  void CreateValueEditor(TcxCustomEdit*& edit, TLabel* placeHolder);
  void FillCondition(TcxComboBox* combo, TcxCustomEdit* edit, TcxFilterCriteriaItem* item);
  void ReadCondition(TcxComboBox* combo, TcxCustomEdit* edit, TCondition& condition);
  void AddCondition(TcxFilterCriteriaItemList* group, TcxComboBox* combo, const TCondition& condition);
  void UpdateWildcards(TcxCustomEdit* edit, TcxComboBox* combo);
  void UpdateHints();

  TcxFilterCriteria* criteria_ = nullptr;
  TObject* item_ = nullptr;
  TClass helperClass_ = nullptr;
  TcxCustomEditProperties* properties_ = nullptr;
  TcxValueTypeClass valueTypeClass_ = nullptr;
  TcxFilterControlOperators operators_;
  TcxCustomEdit* edit1_ = nullptr;
  TcxCustomEdit* edit2_ = nullptr;
  TCondition condition1_;
  TCondition condition2_;
};

void InitializeCxFilterDialog();
