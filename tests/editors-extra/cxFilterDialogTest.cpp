// The custom filter dialog: which filters fit it, the trees it leaves after OK (like and its
// wildcard hints, blanks, two conditions joined by AND or OR, other items' conditions kept),
// the conditions it shows when it opens, Cancel, a rejected value, and its sheet.
#include <gtest/gtest.h>

#include "editors-extra/cxFilterDialog.h"
#include "editors/cxTextEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Dialogs.h"

namespace {

class TItem : public TObject {
 public:
  explicit TItem(const char* name) : Name(name) {}
  String Name;
};

// A compact text of a criteria tree: groups as OP[...], conditions as "item kind value 'text'".
String Dump(TcxCustomFilterCriteriaItem* node) {
  if (node->IsItemList()) {
    auto* group = static_cast<TcxFilterCriteriaItemList*>(node);
    static const char* const ops[] = {"AND", "OR", "NOTAND", "NOTOR"};
    String s = String(ops[group->BoolOperatorKind()]) + "[";
    for (Integer i = 0; i < group->ItemCount(); ++i) s += (i ? ", " : "") + Dump(group->Items(i));
    return s + "]";
  }
  auto* item = static_cast<TcxFilterCriteriaItem*>(node);
  const Variant& v = item->Value();
  String value = VarIsNull(v) ? String("Null") : v.IsString() ? "\"" + VarToStr(v) + "\"" : VarToStr(v);
  return static_cast<TItem*>(item->ItemLink())->Name + " " + IntToStr(item->OperatorKind()) + " " + value +
         " '" + item->DisplayValue() + "'";
}

class FilterDialogTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxFilterDialog();
    Application->SetMessageBoxHook([this](const String& text, const String&, UINT) {
      messages.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    SetDialogShowHook(nullptr);
    Application->SetMessageBoxHook(nullptr);
    THeadlessFixture::TearDown();
  }
  void Click(TWinControl* c) { S().Click(c->Handle(), {c->Width() / 2, c->Height() / 2}); }
  // Types into a value editor as the user would.
  void Type(TcxCustomEdit* edit, const String& text) {
    edit->SetFocus();
    Pump();
    S().TypeText(text);
  }
  // Runs the dialog for `item`; `act` drives it once it is up (it must close it).
  bool Run(TItem& item, TcxValueTypeClass type, const std::function<void(TcxFilterDialog*)>& act) {
    SetDialogShowHook([&](TCustomForm* d) {
      auto* dialog = static_cast<TcxFilterDialog*>(d);
      S().Backend().OnIdle([&, dialog] { act(dialog); });
    });
    const bool applied = ShowFilterDialog(&criteria, &item, &properties, item.Name, type, nullptr, nullptr);
    SetDialogShowHook(nullptr);
    return applied;
  }

  TcxFilterCriteria criteria;
  TcxTextEditProperties properties{nullptr};
  TItem name{"Name"}, city{"City"}, age{"Age"};
  std::vector<String> messages;
};

TEST(FilterDialogFit, FiltersTooComplexForTheDialog) {
  TItem a("A"), b("B");
  struct Case {
    const char* name;
    std::function<void(TcxFilterCriteria&)> build;
    bool tooComplex;
  };
  const Case cases[] = {
      {"empty", [](TcxFilterCriteria&) {}, false},
      {"two items joined by AND at the root",
       [&](TcxFilterCriteria& c) {
         c.Root()->AddItem(&a, foEqual, 1, "1");
         c.Root()->AddItem(&b, foLike, "x%", "x%");
       },
       false},
      {"the same two joined by OR",
       [&](TcxFilterCriteria& c) {
         c.Root()->ChangeBoolOperator(fboOr);
         c.Root()->AddItem(&a, foEqual, 1, "1");
         c.Root()->AddItem(&b, foLike, "x%", "x%");
       },
       true},
      {"an item twice at the root",
       [&](TcxFilterCriteria& c) {
         c.Root()->AddItem(&a, foGreater, 1, "1");
         c.Root()->AddItem(&a, foLess, 5, "5");
       },
       true},
      {"a group of two on one item, OR, beside another item",
       [&](TcxFilterCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboOr);
         g->AddItem(&a, foEqual, 1, "1");
         g->AddItem(&a, foNotLike, "2%", "2%");
         c.Root()->AddItem(&b, foEqual, Null(), "blank");
       },
       false},
      {"a group of two joined by NOT AND",
       [&](TcxFilterCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboNotAnd);
         g->AddItem(&a, foEqual, 1, "1");
         g->AddItem(&a, foEqual, 2, "2");
       },
       true},
      {"a group on two items",
       [&](TcxFilterCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboAnd);
         g->AddItem(&a, foEqual, 1, "1");
         g->AddItem(&b, foEqual, 2, "2");
       },
       true},
      {"a group of three",
       [&](TcxFilterCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboAnd);
         for (int i = 0; i < 3; ++i) g->AddItem(&a, foNotEqual, i, IntToStr(i));
       },
       true},
      {"a group holding a group",
       [&](TcxFilterCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboAnd);
         g->AddItem(&a, foEqual, 1, "1");
         g->AddItemList(fboOr)->AddItem(&a, foEqual, 2, "2");
       },
       true},
      {"the item of a group again at the root",
       [&](TcxFilterCriteria& c) {
         TcxFilterCriteriaItemList* g = c.Root()->AddItemList(fboAnd);
         g->AddItem(&a, foGreater, 1, "1");
         g->AddItem(&a, foLess, 9, "9");
         c.Root()->AddItem(&a, foNotEqual, 5, "5");
       },
       true},
      {"between", [&](TcxFilterCriteria& c) { c.Root()->AddItem(&a, foBetween, VarArrayOf({1, 2}), "1;2"); },
       true},
      {"in a list", [&](TcxFilterCriteria& c) { c.Root()->AddItem(&a, foInList, VarArrayOf({1}), "1"); }, true},
      {"a date range", [&](TcxFilterCriteria& c) { c.Root()->AddItem(&a, foToday, Null(), ""); }, true},
      {"the criteria's own null kind", [&](TcxFilterCriteria& c) { c.Root()->AddItem(&a, foIsNull, Null(), ""); },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TcxFilterCriteria criteria;
    c.build(criteria);
    EXPECT_EQ(IsFilterTooComplexForDialog(&criteria), c.tooComplex);
  }
  EXPECT_FALSE(IsFilterTooComplexForDialog(nullptr));
}

TEST_F(FilterDialogTest, TheTreesLeftAfterOk) {
  struct Case {
    const char* name;
    TcxFilterControlOperator op1;
    const char* text1;
    TcxFilterControlOperator op2;  // 0: the empty entry
    const char* text2;
    bool useOr;
    const char* tree;
  };
  const Case cases[] = {
      {"like", 7, "a%", 0, "", false, R"(AND[Name 6 "a%" 'a%'])"},
      {"not like with the single wildcard", 8, "b_", 0, "", false, R"(AND[Name 7 "b_" 'b_'])"},
      {"equals OR like", 1, "x", 7, "y_", true, R"(AND[OR[Name 0 "x" 'x', Name 6 "y_" 'y_']])"},
      {"is blank", 9, "", 0, "", false, "AND[Name 0 Null 'blank']"},
      // A value typed before choosing "is not blank" is dropped.
      {"is not blank AND equals", 10, "kept?", 1, "b", false, R"(AND[AND[Name 1 Null 'blank', Name 0 "b" 'b']])"},
      {"greater than or equal to", 6, "m", 0, "", false, R"(AND[Name 5 "m" 'm'])"},
      {"an empty value", 2, "", 0, "", false, "AND[Name 1 Null 'blank']"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    criteria.RemoveAllItems();
    const bool applied = Run(name, TcxStringValueType::Class(), [&](TcxFilterDialog* d) {
      TcxFilterDialog::SelectOperator(d->cbOperator1, c.op1);
      Type(d->Edit1(), c.text1);
      TcxFilterDialog::SelectOperator(d->cbOperator2, c.op2);
      if (c.op2) Type(d->Edit2(), c.text2);
      Click(c.useOr ? static_cast<TWinControl*>(d->rbOr) : d->rbAnd);
      Click(d->btnOK);
    });
    EXPECT_TRUE(applied);
    EXPECT_EQ(Dump(criteria.Root()), c.tree);
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(FilterDialogTest, OkReplacesOnlyThisItemsConditionsAndTheRootBecomesAnd) {
  criteria.Root()->ChangeBoolOperator(fboOr);
  criteria.Root()->AddItem(&city, foEqual, "Oslo", "Oslo");
  TcxFilterCriteriaItemList* g = criteria.Root()->AddItemList(fboAnd);
  g->AddItem(&name, foGreater, "a", "a");
  g->AddItem(&name, foLess, "k", "k");
  criteria.Root()->AddItem(&age, foEqual, 3, "3");
  EXPECT_TRUE(Run(name, TcxStringValueType::Class(), [&](TcxFilterDialog* d) {
    TcxFilterDialog::SelectOperator(d->cbOperator2, 0);
    d->cbOperator2->SetItemIndex(0);
    Click(d->btnOK);
  }));
  EXPECT_EQ(Dump(criteria.Root()), R"(AND[City 0 "Oslo" 'Oslo', Age 0 3 '3', Name 4 "a" 'a'])");
}

TEST_F(FilterDialogTest, OpensWithTheItemsConditionsAndCancelChangesNothing) {
  criteria.Root()->AddItem(&city, foEqual, "Oslo", "Oslo");
  TcxFilterCriteriaItemList* g = criteria.Root()->AddItemList(fboOr);
  g->AddItem(&name, foEqual, Null(), "blank");
  g->AddItem(&name, foLike, "y_", "y_");
  const String before = Dump(criteria.Root());
  TcxFilterControlOperator op1 = 0, op2 = 0;
  String text2, caption, single, series;
  bool orChecked = false, hints = false;
  EXPECT_FALSE(Run(name, TcxStringValueType::Class(), [&](TcxFilterDialog* d) {
    op1 = TcxFilterDialog::SelectedOperator(d->cbOperator1);
    op2 = TcxFilterDialog::SelectedOperator(d->cbOperator2);
    text2 = VarToStr(d->Edit2()->EditValue());
    orChecked = d->rbOr->Checked();
    caption = d->Caption() + "|" + d->lblTitle->Caption() + "|" + d->lblColumnCaption->Caption();
    // The form's face name resolves through the platform's font substitution.
    EXPECT_EQ(d->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(GetFontFamilyName(d->Font()->Handle()), "Liberation Sans");
    hints = d->lblSingle->Visible() && d->lblSeries->Visible();
    single = d->lblSingle->Caption();
    series = d->lblSeries->Caption();
    // The first operator becomes "equals": the hints stay for the second's "like".
    TcxFilterDialog::SelectOperator(d->cbOperator1, 1);
    Pump();
    EXPECT_TRUE(d->lblSingle->Visible());
    TcxFilterDialog::SelectOperator(d->cbOperator2, 2);
    Pump();
    EXPECT_FALSE(d->lblSingle->Visible());
    EXPECT_FALSE(d->lblSeries->Visible());
    Click(d->btnCancel);
  }));
  EXPECT_EQ(op1, 9);  // equals with a Null value reads as "is blank"
  EXPECT_EQ(op2, 7);
  EXPECT_EQ(text2, "y_");
  EXPECT_TRUE(orChecked);
  EXPECT_EQ(caption, "Custom Filter|Show rows where:|Name ");
  EXPECT_TRUE(hints);
  EXPECT_EQ(single, "Use _ to represent any single character");
  EXPECT_EQ(series, "Use % to represent any series of characters");
  EXPECT_EQ(Dump(criteria.Root()), before);
}

TEST_F(FilterDialogTest, OperatorsOfTheItemAndTheFirstChoice) {
  struct Case {
    const char* name;
    TcxValueTypeClass type;
    bool supportsLike;
    std::vector<String> captions;
    TcxFilterControlOperator first;
  };
  const std::vector<String> all = {"equals", "does not equal", "is less than", "is less than or equal to",
                                   "is greater than", "is greater than or equal to", "like", "not like",
                                   "is blank", "is not blank"};
  std::vector<String> noLike = all;
  noLike.erase(noLike.begin() + 6, noLike.begin() + 8);
  const Case cases[] = {
      {"string", TcxStringValueType::Class(), true, all, 7},
      {"integer", TcxIntegerValueType::Class(), true, noLike, 1},
      {"string, the criteria without like", TcxStringValueType::Class(), false, noLike, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    criteria.SetSupportedLike(c.supportsLike);
    std::vector<String> captions, captions2;
    TcxFilterControlOperator first = -1;
    Integer rows = 0;
    Run(age, c.type, [&](TcxFilterDialog* d) {
      TStringList* items = d->cbOperator1->ComboProperties()->Items();
      for (Integer i = 0; i < items->Count(); ++i) captions.push_back(items->Strings(i));
      items = d->cbOperator2->ComboProperties()->Items();
      for (Integer i = 0; i < items->Count(); ++i) captions2.push_back(items->Strings(i));
      rows = d->cbOperator1->ComboProperties()->DropDownRows();
      first = TcxFilterDialog::SelectedOperator(d->cbOperator1);
      Click(d->btnCancel);
    });
    EXPECT_EQ(captions, c.captions);
    captions2.erase(captions2.begin());
    EXPECT_EQ(captions2, c.captions);
    EXPECT_EQ(rows, Integer(c.captions.size()));
    EXPECT_EQ(first, c.first);
  }
}

TEST_F(FilterDialogTest, LikeLetsTheValueEditorTakeTheWildcards) {
  Run(name, TcxStringValueType::Class(), [&](TcxFilterDialog* d) {
    auto* p = static_cast<TcxCustomTextEditProperties*>(d->Edit1()->GetEffectiveProperties());
    EXPECT_TRUE(p->IsExtraValidChar('%'));
    EXPECT_TRUE(p->IsExtraValidChar('_'));
    TcxFilterDialog::SelectOperator(d->cbOperator1, 1);
    Pump();
    EXPECT_FALSE(p->IsExtraValidChar('%'));
    EXPECT_FALSE(p->IsExtraValidChar('_'));
    auto* p2 = static_cast<TcxCustomTextEditProperties*>(d->Edit2()->GetEffectiveProperties());
    EXPECT_FALSE(p2->IsExtraValidChar('%'));
    TcxFilterDialog::SelectOperator(d->cbOperator2, 8);
    Pump();
    EXPECT_TRUE(p2->IsExtraValidChar('%'));
    Click(d->btnCancel);
  });
}

TEST_F(FilterDialogTest, ARejectedValueKeepsTheDialogOpenWithItsValues) {
  bool openAfterFirstOk = false;
  String kept;
  SetDialogShowHook([&](TCustomForm* d) {
    auto* dialog = static_cast<TcxFilterDialog*>(d);
    S().Backend().OnIdle([&, dialog] {
      Type(dialog->Edit1(), "abc");
      Click(dialog->btnOK);
    });
    // The modal loop has seen the first OK by the next wait.
    S().Backend().OnIdle([&, dialog] {
      openAfterFirstOk = dialog->Visible();
      kept = VarToStr(dialog->Edit1()->EditValue());
      dialog->Edit1()->SetFocus();
      Pump();
      S().PressKey('A', false, true);
      S().TypeText("12");
      Click(dialog->btnOK);
    });
  });
  EXPECT_TRUE(ShowFilterDialog(&criteria, &age, &properties, "Age", TcxIntegerValueType::Class(), nullptr, nullptr));
  EXPECT_TRUE(openAfterFirstOk);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Invalid value.");
  EXPECT_EQ(kept, "abc");
  EXPECT_EQ(Dump(criteria.Root()), "AND[Age 0 12 '12']");
}

TEST_F(FilterDialogTest, NoDialogWithoutFilterOrHelper) {
  bool shown = false;
  SetDialogShowHook([&](TCustomForm* d) {
    shown = true;
    d->Close();
  });
  EXPECT_FALSE(ShowFilterDialog(nullptr, &name, &properties, "Name", TcxStringValueType::Class(), nullptr, nullptr));
  EXPECT_FALSE(ShowFilterDialog(&criteria, &name, nullptr, "Name", TcxStringValueType::Class(), nullptr, nullptr));
  TcxCustomEditProperties plain(nullptr);
  EXPECT_FALSE(ShowFilterDialog(&criteria, &name, &plain, "Name", TcxStringValueType::Class(), nullptr, nullptr));
  EXPECT_FALSE(shown);
}

TEST_F(FilterDialogTest, Sheet) {
  criteria.Root()->AddItem(&name, foLike, "Ber%", "Ber%");
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfFlat);
  SetDialogShowHook([&](TCustomForm* d) {
    auto* dialog = static_cast<TcxFilterDialog*>(d);
    S().Backend().OnIdle([&, dialog] {
      TcxFilterDialog::SelectOperator(dialog->cbOperator2, 1);
      Type(dialog->Edit2(), "Bern");
      Click(dialog->rbOr);
      Pump();
      S().Snapshot(dialog->Handle(), "editors_extra_filter_dialog.png");
      Click(dialog->btnCancel);
    });
  });
  TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-11);
  EXPECT_FALSE(ShowFilterDialog(&criteria, &name, &properties, "City name", TcxStringValueType::Class(), &font,
                                &lookAndFeel));
}

}  // namespace
