// The filter control's model: rows built from criteria trees and criteria built back
// (operator codes both ways, Null values, between and in-list values, nested groups), the
// failure on an item the link does not list, new conditions and the first item under
// SortItems, and the resource texts.
#include <gtest/gtest.h>

#include "data/cxFilter.h"
#include "editors-extra/cxFilterControl.h"
#include "editors-extra/cxFilterControlStrs.h"

namespace {

class TTestItem : public TObject {};

// Three items: two of text, one of integers; captions chosen so that sorting changes the first.
class TTestLink : public IcxFilterControl {
 public:
  TTestItem items[3];
  String GetCaption(Integer i) override { return kCaptions[i]; }
  Integer GetCount() override { return 3; }
  TcxFilterCriteria* criteria = nullptr;
  TcxFilterCriteria* GetCriteria() override { return criteria; }
  TObject* GetItemLink(Integer i) override { return &items[i]; }
  String GetItemLinkName(Integer i) override { return String("item") + kCaptions[i]; }
  String GetFieldName(Integer i) override { return String("F") + kCaptions[i]; }
  TcxCustomEditProperties* GetProperties(Integer) override { return nullptr; }
  TcxValueTypeClass GetValueType(Integer i) override {
    return i == 1 ? TcxIntegerValueType::Class() : TcxStringValueType::Class();
  }

 private:
  static constexpr const char* kCaptions[3] = {"Name", "age", "City"};
};

class FilterControlModelTest : public testing::Test {
 protected:
  void SetUp() override { InitializeCxFilterControlUtils(); }
  TTestLink link_;
  TcxFilterControlModel model_{&link_};
};

struct TConditionCase {
  const char* name;
  Integer item;
  TcxFilterOperatorKind kind;
  Variant value;
  String display;
  TcxFilterControlOperator code;
  // The value texts of the row (the criteria stores "blank" for a Null it tests).
  std::vector<String> texts;
  // The condition built back from the row.
  TcxFilterOperatorKind back_kind;
  Variant back_value;
  String back_display;
};

TEST_F(FilterControlModelTest, ConditionRowsAndCriteriaBuiltBack) {
  const TConditionCase cases[] = {
      {"equals", 1, foEqual, 5, "5", 1, {"5"}, foEqual, 5, "5"},
      {"less", 1, foLess, 5, "5", 3, {"5"}, foLess, 5, "5"},
      {"not like", 0, foNotLike, "a%", "a%", 8, {"a%"}, foNotLike, "a%", "a%"},
      {"equals Null", 0, foEqual, Null(), "", 9, {"blank"}, foEqual, Null(), "blank"},
      {"not equal Null", 0, foNotEqual, Null(), "", 10, {"blank"}, foNotEqual, Null(), "blank"},
      // The criteria's own null kinds read as is blank / is not blank.
      {"is null kind", 0, foIsNull, Null(), "", 9, {"blank"}, foEqual, Null(), "blank"},
      {"is not null kind", 0, foIsNotNull, Null(), "", 10, {"blank"}, foNotEqual, Null(), "blank"},
      {"between", 1, foBetween, VarArrayOf({5, 10}), "5; 10", 11, {"5", "10"}, foBetween,
       VarArrayOf({5, 10}), "5;10"},
      {"not in", 1, foNotInList, VarArrayOf({1, 2, 3}), "1;2;3", 14, {"1", "2", "3"}, foNotInList,
       VarArrayOf({1, 2, 3}), "1;2;3"},
      {"today", 0, foToday, Null(), "", 16, {""}, foToday, Null(), "blank"},
      {"next year", 0, foNextYear, Null(), "", 35, {""}, foNextYear, Null(), "blank"},
  };
  for (const TConditionCase& c : cases) {
    SCOPED_TRACE(c.name);
    model_.Criteria()->RemoveAllItems();
    model_.Criteria()->Root()->AddItem(&link_.items[c.item], c.kind, c.value, c.display);
    model_.BuildViewFromCriteria();
    ASSERT_EQ(model_.RowList().size(), 2u);
    auto* row = static_cast<TcxConditionViewInfo*>(model_.RowList()[1]);
    EXPECT_EQ(row->ItemIndex(), c.item);
    EXPECT_EQ(row->ItemText(), link_.GetCaption(c.item));
    EXPECT_EQ(row->Operator(), c.code);
    ASSERT_EQ(row->Values().size(), c.texts.size());
    for (std::size_t i = 0; i < c.texts.size(); ++i) EXPECT_EQ(row->Values()[i].ValueText, c.texts[i]);

    ASSERT_TRUE(model_.BuildCriteriaFromView());
    ASSERT_EQ(model_.Criteria()->Root()->ItemCount(), 1);
    auto* item = static_cast<TcxFilterCriteriaItem*>(model_.Criteria()->Root()->Items(0));
    EXPECT_EQ(item->ItemLink(), &link_.items[c.item]);
    EXPECT_EQ(item->OperatorKind(), c.back_kind);
    EXPECT_EQ(CompareVariantValues(item->Value(), c.back_value), 0);
    EXPECT_EQ(VarIsNull(item->Value()), VarIsNull(c.back_value));
    EXPECT_EQ(item->DisplayValue(), c.back_display);
  }
}

TEST_F(FilterControlModelTest, BetweenIsStoredAscending) {
  model_.Criteria()->Root()->AddItem(&link_.items[1], foBetween, VarArrayOf({10, 5}), "10;5");
  model_.BuildViewFromCriteria();
  ASSERT_TRUE(model_.BuildCriteriaFromView());
  auto* item = static_cast<TcxFilterCriteriaItem*>(model_.Criteria()->Root()->Items(0));
  EXPECT_EQ(CompareVariantValues(item->Value(), VarArrayOf({5, 10})), 0);
  EXPECT_EQ(item->DisplayValue(), "5;10");
}

TEST_F(FilterControlModelTest, NestedGroupsRoundTrip) {
  TcxFilterCriteriaItemList* root = model_.Criteria()->Root();
  root->ChangeBoolOperator(fboOr);
  root->AddItem(&link_.items[0], foLike, "a%", "a%");
  TcxFilterCriteriaItemList* group = root->AddItemList(fboNotAnd);
  group->AddItem(&link_.items[1], foGreater, 3, "3");
  TcxFilterCriteriaItemList* inner = group->AddItemList(fboNotOr);
  inner->AddItem(&link_.items[2], foInList, VarArrayOf({"x", "y"}), "x;y");
  root->AddItem(&link_.items[1], foEqual, Null(), "");
  TcxFilterControlCriteria expected(&model_);
  expected.Assign(model_.Criteria());

  model_.BuildViewFromCriteria();
  // Pre-order: root, condition, group, its condition, inner group, its condition, condition.
  const auto& rows = model_.RowList();
  ASSERT_EQ(rows.size(), 7u);
  const bool groups[] = {true, false, true, false, true, false, false};
  const Integer levels[] = {0, 1, 1, 2, 2, 3, 1};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i]->IsGroup(), groups[i]) << i;
    EXPECT_EQ(rows[i]->Level(), levels[i]) << i;
  }
  EXPECT_EQ(model_.Root()->BoolOperatorText(), "OR");
  EXPECT_EQ(model_.Root()->Caption(), "<root>");
  EXPECT_EQ(model_.Root()->ButtonText(), "Filter");
  EXPECT_EQ(static_cast<TcxGroupViewInfo*>(rows[2])->BoolOperatorText(), "NOT AND");
  EXPECT_EQ(static_cast<TcxGroupViewInfo*>(rows[4])->BoolOperatorText(), "NOT OR");
  EXPECT_EQ(static_cast<TcxGroupViewInfo*>(rows[4])->Caption(), "applies to the following conditions");
  EXPECT_EQ(rows[4]->ButtonText(), "...");
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(rows[6])->Operator(), 9);

  model_.Criteria()->RemoveAllItems();
  ASSERT_TRUE(model_.BuildCriteriaFromView());
  EXPECT_TRUE(model_.Criteria()->SameItemsAs(&expected));
  EXPECT_EQ(model_.Criteria()->FilterCaptionText(), expected.FilterCaptionText());
}

TEST_F(FilterControlModelTest, UnknownItemFailsAndChangesNoRow) {
  TTestItem stranger;
  TcxFilterCriteriaItemList* root = model_.Criteria()->Root();
  root->AddItem(&link_.items[1], foEqual, 1, "1");
  model_.BuildViewFromCriteria();
  TcxCustomRowViewInfo* shown = model_.RowList()[1];
  model_.Criteria()->RemoveAllItems();
  root = model_.Criteria()->Root();
  root->AddItem(&link_.items[0], foEqual, "a", "a");
  root->AddItem(&stranger, foEqual, "b", "b");
  root->AddItem(&link_.items[2], foEqual, "c", "c");
  try {
    model_.BuildViewFromCriteria();
    FAIL() << "no error";
  } catch (const EcxFilterControlError& e) {
    EXPECT_EQ(String(e.what()), "Can't build filter from source");
  }
  ASSERT_EQ(model_.RowList().size(), 2u);
  EXPECT_EQ(model_.RowList()[1], shown);
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(shown)->ItemText(), "age");

  TcxFilterControlModel unlinked;
  unlinked.Criteria()->Root()->AddItem(&link_.items[0], foEqual, "a", "a");
  EXPECT_THROW(unlinked.BuildViewFromCriteria(), EcxFilterControlError);
}

TEST_F(FilterControlModelTest, NewConditionsTakeTheFirstItem) {
  auto add = [this] {
    return static_cast<TcxConditionViewInfo*>(model_.Root()->Add(
        std::make_unique<TcxConditionViewInfo>(&model_, model_.Root(), nullptr)));
  };
  TcxConditionViewInfo* text_row = add();
  EXPECT_EQ(text_row->ItemIndex(), 0);
  EXPECT_EQ(text_row->ItemText(), "Name");
  EXPECT_EQ(text_row->Operator(), 7);  // like, for an item of text
  EXPECT_EQ(text_row->Values().size(), 1u);

  model_.SetSortItems(true);
  TcxConditionViewInfo* sorted_row = add();
  EXPECT_EQ(sorted_row->ItemText(), "age");
  EXPECT_EQ(sorted_row->Operator(), 1);  // no like for integers
  EXPECT_EQ(sorted_row->SupportedOperators(), (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14}));

  // Operator changes keep what the new operator can take.
  sorted_row->Values()[0] = {7, "7"};
  sorted_row->SetOperator(11);
  ASSERT_EQ(sorted_row->Values().size(), 2u);
  EXPECT_EQ(sorted_row->Values()[0].ValueText, "7");
  sorted_row->SetOperator(13);
  sorted_row->AddValue(9, "9");
  EXPECT_EQ(sorted_row->Values().size(), 3u);
  sorted_row->SetOperator(2);
  EXPECT_EQ(sorted_row->Values().size(), 1u);
  sorted_row->SetOperator(10);
  EXPECT_FALSE(sorted_row->HasValues());
  EXPECT_TRUE(VarIsNull(sorted_row->Values()[0].Value));

  // Without LIKE support the text item falls back to equals.
  model_.Criteria()->SetSupportedLike(false);
  text_row->SetItemIndex(2);
  EXPECT_EQ(text_row->Operator(), 1);
}

TEST_F(FilterControlModelTest, RowsNotReadyLeaveTheCriteria) {
  model_.Criteria()->Root()->AddItem(&link_.items[0], foEqual, "a", "a");
  TcxFilterControlModel unlinked;
  unlinked.Root()->Add(std::make_unique<TcxConditionViewInfo>(&unlinked, unlinked.Root(), nullptr));
  unlinked.RebuildRowList();
  unlinked.Criteria()->Root()->AddItem(&link_.items[0], foEqual, "a", "a");
  EXPECT_FALSE(unlinked.AllRowsReady());
  EXPECT_FALSE(unlinked.BuildCriteriaFromView());
  EXPECT_EQ(unlinked.Criteria()->Root()->ItemCount(), 1);

  model_.Clear();
  EXPECT_EQ(model_.RowList().size(), 1u);
  EXPECT_TRUE(model_.Criteria()->IsEmpty());
}

// The base link's items 2 and 0, in that order: its item 1 is missing.
class TReorderedLink : public TTestLink {
 public:
  explicit TReorderedLink(TTestLink& base) : base_(base) {}
  String GetCaption(Integer i) override { return base_.GetCaption(Map(i)); }
  Integer GetCount() override { return 2; }
  TObject* GetItemLink(Integer i) override { return base_.GetItemLink(Map(i)); }
  String GetItemLinkName(Integer i) override { return base_.GetItemLinkName(Map(i)); }

 private:
  static Integer Map(Integer i) { return i == 0 ? 2 : 0; }
  TTestLink& base_;
};

TEST_F(FilterControlModelTest, StreamsResolveItemsByName) {
  TcxFilterCriteriaItemList* root = model_.Criteria()->Root();
  root->AddItem(&link_.items[0], foLike, "a%", "a%");
  root->AddItem(&link_.items[1], foEqual, 4, "4");
  root->AddItemList(fboOr)->AddItem(&link_.items[2], foEqual, "x", "x");
  model_.BuildViewFromCriteria();
  TMemoryStream stream;
  model_.SaveToStream(stream);

  TReorderedLink reordered(link_);
  TcxFilterControlModel other(&reordered);
  stream.SetPosition(0);
  other.LoadFromStream(stream);
  EXPECT_EQ(other.Criteria()->LoadedVersion(), 3);
  // The integer item is left out; the others keep their items though their indexes moved.
  const auto& rows = other.RowList();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(rows[1])->ItemText(), "Name");
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(rows[1])->ItemIndex(), 1);
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(rows[3])->ItemText(), "City");
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(rows[3])->ItemIndex(), 0);

  // Without items the load fails before anything changes.
  TcxFilterControlModel unlinked;
  unlinked.Criteria()->Root()->AddItem(&link_.items[0], foEqual, "a", "a");
  stream.SetPosition(0);
  EXPECT_THROW(unlinked.LoadFromStream(stream), EcxFilterControlError);
  EXPECT_EQ(unlinked.Criteria()->Root()->ItemCount(), 1);
}

TEST_F(FilterControlModelTest, ApplyCopiesIntoTheLinksCriteria) {
  TcxFilterControlModel keeper(&link_);  // whose criteria stands for the link's
  keeper.Criteria()->Root()->AddItem(&link_.items[2], foEqual, "x", "x");
  link_.criteria = keeper.Criteria();
  model_.SetLink(&link_);
  ASSERT_EQ(model_.RowList().size(), 2u);
  EXPECT_EQ(static_cast<TcxConditionViewInfo*>(model_.RowList()[1])->ItemText(), "City");

  model_.Root()->SetBoolOperator(fboNotOr);
  model_.Root()->Add(std::make_unique<TcxConditionViewInfo>(&model_, model_.Root(), nullptr));
  model_.RebuildRowList();
  int fired = 0;
  model_.OnApplyFilter = [&](TObject*) {
    ++fired;
    EXPECT_EQ(keeper.Criteria()->Root()->ItemCount(), 2);
  };
  model_.ApplyFilter();
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(keeper.Criteria()->Root()->BoolOperatorKind(), fboNotOr);
  EXPECT_TRUE(keeper.Criteria()->SameItemsAs(model_.Criteria()));
  EXPECT_EQ(model_.RowList().size(), 3u);

  // An event that raises still leaves the rows rebuilt from what the link keeps.
  model_.OnApplyFilter = [](TObject*) { throw Exception("stop"); };
  EXPECT_THROW(model_.ApplyFilter(), Exception);
  EXPECT_EQ(model_.RowList().size(), 3u);

  // Applying to a link whose criteria is the working criteria copies nothing but still fires.
  link_.criteria = model_.Criteria();
  model_.OnApplyFilter = [&](TObject*) { ++fired; };
  model_.ApplyFilter();
  EXPECT_EQ(fired, 2);
  link_.criteria = nullptr;
  model_.SetLink(&link_);
  EXPECT_EQ(model_.RowList().size(), 1u);
  EXPECT_TRUE(model_.Criteria()->IsEmpty());
}

TEST(FilterControlStrsTest, TextsAsGiven) {
  EXPECT_EQ(LoadReplaceableResString(cxSFilterControlNullString), "<empty>");
  EXPECT_EQ(LoadReplaceableResString(cxSFilterFooterAddCondition), "press the button to add a new condition");
  EXPECT_EQ(LoadReplaceableResString(cxSFilterControlDialogFileFilter), "Filters (*.flt)|*.flt");
  EXPECT_EQ(LoadReplaceableResString(cxSFilterDialogCharactersSeries), "to represent any series of characters");
}

}  // namespace
