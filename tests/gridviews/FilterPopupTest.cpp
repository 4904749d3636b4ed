// The filter drop-down of a column (its order, what each entry does, the entry of the current
// condition, its size), opened by a real click on the header's filter button; recent values
// and recent filters (capacity, order, the current filter hidden) and their drop-down; a
// failing user-filtering handler; the way to the filter dialogs.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "TableViewTestSupport.h"
#include "editors-extra/cxFilterControlDialog.h"
#include "editors-extra/cxFilterDialog.h"
#include "grid/cxGridFilterPopup.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "rtl/SysUtils.h"
#include "vcl/Dialogs.h"

namespace {

class FilterPopupFixture : public gridviewstest::GridFormFixture {
 protected:
  void TearDown() override {
    SetDialogShowHook(nullptr);
    GridFormFixture::TearDown();
  }
  // Country: b, a, b and a blank; City: b, a, b, a; Amount 1 to 4.
  TcxGridDBTableView* Shown() {
    TcxGridDBTableView* v = AddView();
    Bind(v, {{Variant("b"), Variant("b"), Variant(1)},
             {Variant("a"), Variant("a"), Variant(2)},
             {Variant("b"), Variant("b"), Variant(3)},
             {Null(), Variant("a"), Variant(4)}});
    ShowWithColumnWidth(v, 80);
    return v;
  }
  TcxCustomGridTableController* Controller(TcxGridTableView* v) {
    return static_cast<TcxCustomGridTableController*>(v->Controller());
  }
  TcxGridFilterPopup* Popup(TcxGridTableView* v) {
    TcxGridFilterPopup* popup = Controller(v)->FilterPopup();
    return popup;
  }
  TcxGridColumnHeaderFilterButtonViewInfo* FilterButton(TcxGridTableView* v, Integer column) {
    TcxGridColumnHeaderViewInfo* header = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(column);
    for (Integer i = 0; i < header->AreaViewInfoCount(); ++i)
      if (auto* b = dynamic_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(header->AreaViewInfo(i))) return b;
    return nullptr;
  }
  // Opens the drop-down of a column with the real mouse on its filter button.
  TcxGridFilterPopup* OpenByClick(TcxGridTableView* v, Integer column) {
    TcxGridFilterPopup* popup = Popup(v);
    TcxGridColumnHeaderFilterButtonViewInfo* button = FilterButton(v, column);
    EXPECT_NE(button, nullptr);
    if (!button) return popup;
    const TRect b = button->Bounds;
    const POINT at{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    S().MoveMouse(v->Site()->Handle(), POINT{at.X - 20, at.Y});
    S().MoveMouse(v->Site()->Handle(), at);
    Pump();
    S().MouseDown(v->Site()->Handle(), at);
    Pump();
    return popup;
  }
  // Opens the drop-down of an item without a button.
  TcxGridFilterPopup* Open(TcxGridTableView* v, TcxCustomGridTableItem* item) {
    TcxGridFilterPopup* popup = Popup(v);
    popup->SetItem(item);
    popup->PopupShow();
    Pump();
    return popup;
  }
  static std::vector<String> Lines(TcxGridFilterPopup* popup) {
    std::vector<String> r;
    for (Integer i = 0; i < popup->Strings()->Count(); ++i) r.push_back(popup->Strings()->Strings(i));
    return r;
  }
  // Chooses the line with the text (the first one from the top).
  void Choose(TcxGridFilterPopup* popup, const String& text) {
    const Integer index = popup->Strings()->IndexOf(text);
    ASSERT_NE(index, -1) << text;
    popup->ListBox()->ItemClicked(index);
    Pump();
  }
  TcxDataFilterCriteria* Filter(TcxGridTableView* v) { return v->DataController()->Filter(); }
  TcxFilterCriteriaItem* Condition(TcxGridTableView* v, TcxCustomGridTableItem* item) {
    return Filter(v)->ItemByItemLink(item);
  }
};

struct TOrderCase {
  const char* name;
  Integer column;  // 0 has a blank, 1 has none
  bool recent;     // "b" chosen once before
  bool userEntry;
  std::vector<String> lines;
};

TEST_F(FilterPopupFixture, DropDownListsRecentValuesSpecialEntriesAndSortedValues) {
  const TOrderCase cases[] = {
      {"blank and recent b", 0, true, false, {"b", "", "(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "a", "b"}},
      {"no blank", 1, false, false, {"(All)", "(Custom...)", "a", "b"}},
      {"a user entry", 1, false, true, {"(All)", "(Custom...)", "Both", "a", "b"}},
  };
  TcxGridDBTableView* v = Shown();
  for (const TOrderCase& c : cases) {
    SCOPED_TRACE(c.name);
    Advance(1000);
    TcxGridColumn* column = v->GetColumn(c.column);
    if (c.recent) column->DataBinding()->FilterMRUValueItems()->Add(Variant("b"), "b");
    column->OnGetFilterValues = nullptr;
    if (c.userEntry)
      column->OnGetFilterValues = [](TcxCustomGridTableItem*, TcxDataFilterValueList* list) {
        list->AddValue(fviUser, Variant("ab"), "Both");
      };
    TcxGridFilterPopup* popup = OpenByClick(v, c.column);
    ASSERT_TRUE(popup->PopupVisible());
    EXPECT_EQ(popup->Item(), column);
    EXPECT_EQ(Lines(popup), c.lines);
    EXPECT_EQ(popup->ListBox()->Count(), Integer(c.lines.size()));
    // Right-aligned with the button, below the header.
    const TRect button = FilterButton(v, c.column)->Bounds;
    const TPoint buttonCorner = v->Site()->ClientToScreen(TPoint(button.Right, button.Bottom));
    EXPECT_EQ(popup->Left() + popup->Width(), buttonCorner.X);
    EXPECT_EQ(popup->Top(), buttonCorner.Y);
    popup->ClosePopup();
    EXPECT_EQ(popup->ListBox()->Count(), 0);
    EXPECT_EQ(FilterButton(v, c.column)->State(), gcsNone);
  }
}

struct TEntryCase {
  const char* name;
  const char* before;  // a value chosen first ("" none)
  const char* entry;
  Integer conditions;  // conditions on Country afterwards
  TcxFilterOperatorKind op;
  bool nullValue;
  const char* displayText;
  const char* topRecentValue;  // "" none
  Integer recentFilters;       // entries in the list of recent filters afterwards
};

TEST_F(FilterPopupFixture, EachEntryKindChangesTheFilterAndTheRecentLists) {
  const TEntryCase cases[] = {
      {"a value", "", "a", 1, foEqual, false, "a", "a", 1},
      {"another value replaces it", "a", "b", 1, foEqual, false, "b", "b", 2},
      {"(All) removes the condition", "a", "(All)", 0, foEqual, false, "", "a", 1},
      {"(Blanks)", "a", "(Blanks)", 1, foEqual, true, "blank", "a", 2},
      {"(NonBlanks)", "", "(NonBlanks)", 1, foNotEqual, true, "blank", "", 1},
  };
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* country = v->GetColumn(0);
  for (const TEntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    Filter(v)->RemoveAllItems();
    Filter(v)->SetActive(false);
    v->Filtering()->MRUItems()->RemoveAll();
    country->DataBinding()->FilterMRUValueItems()->RemoveAll();
    if (*c.before) Choose(Open(v, country), c.before);
    Choose(Open(v, country), c.entry);
    EXPECT_FALSE(Popup(v)->PopupVisible());
    EXPECT_EQ(Filter(v)->LockCount(), 0);
    TcxFilterCriteriaItem* condition = Condition(v, country);
    ASSERT_EQ(condition != nullptr, c.conditions == 1);
    EXPECT_EQ(Filter(v)->Root()->ItemCount(), c.conditions);
    if (condition) {
      EXPECT_TRUE(Filter(v)->Active());
      EXPECT_EQ(condition->OperatorKind(), c.op);
      EXPECT_EQ(condition->Value().IsNull(), c.nullValue);
      EXPECT_EQ(condition->DisplayValue(), c.displayText);
    }
    TcxGridFilterMRUValueItems* recent = country->DataBinding()->FilterMRUValueItems();
    EXPECT_EQ(recent->ItemCount() > 0 ? recent->Item(0)->DisplayText : String(), c.topRecentValue);
    EXPECT_EQ(v->Filtering()->MRUItems()->ItemCount(), c.recentFilters);
  }
  // The filtered view shows the matching records only.
  Choose(Open(v, country), "b");
  EXPECT_EQ(v->DataController()->RowCount(), 2);
  // The line of the current condition is the recent value, searched first.
  TcxGridFilterPopup* popup = Open(v, country);
  EXPECT_EQ(popup->ListBox()->ItemIndex(), 0);
  EXPECT_EQ(popup->Strings()->Strings(0), "b");
  popup->ClosePopup();
}

TEST_F(FilterPopupFixture, CustomOpensTheCustomDialogOutsideTheFiltersLock) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* country = v->GetColumn(0);
  Choose(Open(v, country), "a");
  TcxGridFilterMRUItems* recent = v->Filtering()->MRUItems();
  ASSERT_EQ(recent->ItemCount(), 1);
  Integer shown = 0, lockCount = -1;
  String caption;
  bool confirm = false;
  SetDialogShowHook([&](TCustomForm* d) {
    auto* dialog = dynamic_cast<TcxFilterDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    ++shown;
    lockCount = Filter(v)->LockCount();
    caption = dialog->lblColumnCaption->Caption();
    S().Backend().OnIdle([&, dialog] {
      if (!confirm) {
        S().Click(dialog->btnCancel->Handle(), {5, 5});
        return;
      }
      TcxFilterDialog::SelectOperator(dialog->cbOperator1, 2);
      dialog->Edit1()->SetFocus();
      Pump();
      S().TypeText("b");
      S().Click(dialog->btnOK->Handle(), {5, 5});
    });
  });
  // Cancel changes nothing.
  Choose(Open(v, country), "(Custom...)");
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(lockCount, 0);
  EXPECT_EQ(caption, "Country ");
  EXPECT_EQ(Condition(v, country)->Value(), Variant("a"));
  EXPECT_EQ(recent->ItemCount(), 1);
  // OK: the filter applies at once, is active and goes to the recent filters.
  confirm = true;
  Filter(v)->SetActive(false);
  Choose(Open(v, country), "(Custom...)");
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(lockCount, 0);
  EXPECT_TRUE(Filter(v)->Active());
  EXPECT_EQ(Condition(v, country)->OperatorKind(), foNotEqual);
  EXPECT_EQ(v->DataController()->RowCount(), 2);  // "a" and the blank
  EXPECT_EQ(recent->ItemCount(), 2);
  // A handler of the view's own takes over both dialogs.
  v->OnFilterDialogShow = [](TcxCustomGridTableView*, TcxCustomGridTableItem*, bool& done) { done = true; };
  Choose(Open(v, country), "(Custom...)");
  EXPECT_EQ(shown, 2);
  v->OnFilterDialogShow = nullptr;
}

TEST_F(FilterPopupFixture, CustomOpensTheBuilderForAFilterTooComplex) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* country = v->GetColumn(0);
  Filter(v)->Root()->ChangeBoolOperator(fboOr);
  Filter(v)->AddItem(Filter(v)->Root(), country, foEqual, Variant("a"), "a");
  Filter(v)->AddItem(Filter(v)->Root(), v->GetColumn(2), foGreater, Variant(3), "3");
  Integer builders = 0, shownByView = 0;
  bool apply = false;
  String rows;
  v->OnFilterControlDialogShow = [&](TObject* dialog) {
    ++shownByView;
    EXPECT_NE(dynamic_cast<TfmFilterControlDialog*>(dialog), nullptr);
  };
  SetDialogShowHook([&](TCustomForm* d) {
    auto* dialog = dynamic_cast<TfmFilterControlDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    ++builders;
    rows.clear();
    for (TcxCustomRowViewInfo* row : dialog->FilterControl()->RowList())
      if (!row->IsGroup()) rows += static_cast<TcxConditionViewInfo*>(row)->ItemText() + ";";
    S().Backend().OnIdle([&, dialog] {
      if (apply) {
        TcxCustomFilterControl* control = dialog->FilterControl();
        control->FocusRow(control->RowList().back());
        control->Remove();
      }
      TcxButton* button = apply ? dialog->btOk : dialog->btCancel;
      S().Click(button->Handle(), {5, 5});
    });
  });
  Choose(Open(v, country), "(Custom...)");
  EXPECT_EQ(builders, 1);
  EXPECT_EQ(shownByView, 1);
  EXPECT_EQ(rows, "Country;Amount;");
  EXPECT_EQ(v->Filtering()->MRUItems()->ItemCount(), 0);
  // A handler of the view's own takes over the builder.
  v->OnFilterCustomization = [](TcxCustomGridTableView*, bool& done) { done = true; };
  Choose(Open(v, country), "(Custom...)");
  EXPECT_EQ(builders, 1);
  v->OnFilterCustomization = nullptr;
  // OK applies: the filter is active, shows what the builder left and goes to the recent
  // filters.
  apply = true;
  Filter(v)->SetActive(false);
  Choose(Open(v, country), "(Custom...)");
  EXPECT_EQ(builders, 2);
  EXPECT_TRUE(Filter(v)->Active());
  EXPECT_EQ(Filter(v)->Root()->ItemCount(), 1);
  EXPECT_EQ(v->DataController()->RowCount(), 1);
  EXPECT_EQ(v->Filtering()->MRUItems()->ItemCount(), 1);
}

// The navigator's filter button customizes the whole filter: the builder opens (it asked
// the view's handlers only, and without one of them nothing opened).
TEST_F(FilterPopupFixture, TheNavigatorsFilterButtonOpensTheBuilder) {
  TcxGridDBTableView* v = Shown();
  Integer builders = 0;
  SetDialogShowHook([&](TCustomForm* d) {
    auto* dialog = dynamic_cast<TfmFilterControlDialog*>(d);
    ASSERT_NE(dialog, nullptr);
    ++builders;
    S().Backend().OnIdle([&, dialog] { S().Click(dialog->btCancel->Handle(), {5, 5}); });
  });
  v->DoAction(NBDI_FILTER);
  EXPECT_EQ(builders, 1);
}

TEST_F(FilterPopupFixture, RaisingUserFilteringClosesTheBracketAndKeepsTheRecentFilters) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* city = v->GetColumn(1);
  city->OnGetFilterValues = [](TcxCustomGridTableItem*, TcxDataFilterValueList* list) {
    list->AddValue(fviUser, Variant("ab"), "Both");
  };
  Choose(Open(v, city), "a");
  ASSERT_EQ(v->Filtering()->MRUItems()->ItemCount(), 1);
  Integer calls = 0;
  city->OnUserFiltering = [&](TcxCustomGridTableItem*, const Variant& value, const String& text) {
    ++calls;
    EXPECT_EQ(value, Variant("ab"));
    EXPECT_EQ(text, "Both");
    throw std::runtime_error("refused");
  };
  TcxGridFilterPopup* popup = Open(v, city);
  const Integer line = popup->Strings()->IndexOf("Both");
  EXPECT_THROW(popup->ListBox()->ItemClicked(line), std::runtime_error);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Filter(v)->LockCount(), 0);
  EXPECT_EQ(v->Filtering()->MRUItems()->ItemCount(), 1);
  // A handler that filters itself: the filter changes once the bracket closes, the recent
  // filters stay (a user entry adds none).
  city->OnUserFiltering = [&](TcxCustomGridTableItem* item, const Variant&, const String&) {
    item->DataBinding()->AddToFilter(nullptr, foNotEqual, true, "", Variant("a"));
  };
  Choose(Open(v, city), "Both");
  EXPECT_EQ(v->DataController()->RowCount(), 2);
  EXPECT_EQ(v->Filtering()->MRUItems()->ItemCount(), 1);
}

// Filtering options that record each report of a changed number of visible recent filters.
class TCountingFiltering : public TcxCustomGridTableFiltering {
  KORVAN_CLASS(TCountingFiltering, TcxCustomGridTableFiltering)

 public:
  using TcxCustomGridTableFiltering::TcxCustomGridTableFiltering;
  void MRUVisibleCountChanged(Integer oldCount, Integer newCount) override {
    Reports.emplace_back(oldCount, newCount);
    TcxCustomGridTableFiltering::MRUVisibleCountChanged(oldCount, newCount);
  }
  std::vector<std::pair<Integer, Integer>> Reports;
};
KORVAN_IMPLEMENT_CLASS(TCountingFiltering)

class TCountingFilteringView : public TcxGridDBTableView {
  KORVAN_CLASS(TCountingFilteringView, TcxGridDBTableView)

 public:
  using TcxGridDBTableView::TcxGridDBTableView;
  TClass GetFilteringClass() override { return TCountingFiltering::StaticClass(); }
};
KORVAN_IMPLEMENT_CLASS(TCountingFilteringView)

// Applying a filter changes the current filter and then adds it to the recent filters: the
// number of visible entries is reported once per application, from before to after.
TEST_F(FilterPopupFixture, ApplyingAFilterReportsTheRecentFiltersOnce) {
  TcxGridLevel* level = grid_->Levels()->Add();
  auto* v = static_cast<TCountingFilteringView*>(grid_->CreateView(TCountingFilteringView::StaticClass()));
  level->SetGridView(v);
  Bind(v, {{Variant("b"), Variant("b"), Variant(1)},
           {Variant("a"), Variant("a"), Variant(2)},
           {Variant("c"), Variant("c"), Variant(3)}});
  ShowWithColumnWidth(v, 80);
  auto* filtering = static_cast<TCountingFiltering*>(v->Filtering());
  filtering->SetMRUItemsListCount(1);  // two entries kept: the current filter and one more
  TcxGridColumn* amount = v->GetColumn(2);
  using TReports = std::vector<std::pair<Integer, Integer>>;
  struct Step {
    const char* name;
    std::function<void()> act;
    TReports reports;
    Integer visible;
  } steps[] = {
      {"a first value", [&] { Choose(Open(v, amount), "1"); }, {}, 0},
      {"a second value shows the first", [&] { Choose(Open(v, amount), "2"); }, {{0, 1}}, 1},
      {"a third value: the oldest trimmed", [&] { Choose(Open(v, amount), "3"); }, {}, 1},
      {"a recent filter chosen", [&] { Controller(v)->FilterMRUItemsPopup()->ApplyItem(0); }, {}, 1},
      {"a filter from the custom dialog",
       [&] {
         // Another operator on the column's value, confirmed in the real dialog.
         SetDialogShowHook([&](TCustomForm* d) {
           auto* dialog = dynamic_cast<TcxFilterDialog*>(d);
           ASSERT_NE(dialog, nullptr);
           S().Backend().OnIdle([this, dialog] {
             TcxFilterDialog::SelectOperator(dialog->cbOperator1, 2);
             S().Click(dialog->btnOK->Handle(), {5, 5});
           });
         });
         Choose(Open(v, amount), "(Custom...)");
         SetDialogShowHook(nullptr);
       },
       {},
       1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    filtering->Reports.clear();
    step.act();
    EXPECT_EQ(filtering->Reports, step.reports);
    EXPECT_EQ(filtering->MRUItems()->VisibleCount(), step.visible);
  }
}

// Entries freed directly (RemoveAll, a lower capacity) leave the visible list at once.
TEST_F(FilterPopupFixture, FreedRecentFiltersLeaveTheVisibleList) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* amount = v->GetColumn(2);
  TcxCustomGridTableFiltering* filtering = v->Filtering();
  for (Integer i = 1; i <= 4; ++i) {
    amount->DataBinding()->AddToFilter(nullptr, foGreater, true, "", Variant(i));
    Filter(v)->SetActive(true);
    filtering->AddToMRU();
  }
  TcxGridFilterMRUItems* recent = filtering->MRUItems();
  ASSERT_EQ(recent->VisibleCount(), 3);
  recent->TrimTo(2);
  ASSERT_EQ(recent->VisibleCount(), 1);
  EXPECT_EQ(recent->VisibleItems(0), recent->Item(1));
  recent->RemoveAll();
  EXPECT_EQ(recent->VisibleCount(), 0);
}

TEST_F(FilterPopupFixture, RecentFiltersKeepTheirCapacityOrderAndHideTheCurrentOne) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* amount = v->GetColumn(2);
  TcxCustomGridTableFiltering* filtering = v->Filtering();
  auto apply = [&](Integer value) {
    amount->DataBinding()->AddToFilter(nullptr, foGreater, true, "", Variant(value));
    Filter(v)->SetActive(true);
    filtering->AddToMRU();
  };
  for (Integer i = 1; i <= 11; ++i) apply(i);
  TcxGridFilterMRUItems* recent = filtering->MRUItems();
  EXPECT_EQ(recent->ItemCount(), 11);
  ASSERT_EQ(recent->VisibleCount(), 10);
  // Most recent first; the current filter (> 11) is not shown.
  EXPECT_EQ(recent->VisibleItems(0)->Filter()->Root()->ItemCount(), 1);
  EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(recent->VisibleItems(0)->Filter()->Root()->Items(0))->Value(), Variant(10));
  apply(12);  // the oldest (> 1) drops out
  EXPECT_EQ(recent->ItemCount(), 11);
  EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(recent->Item(10)->Filter()->Root()->Items(0))->Value(), Variant(2));
  apply(5);  // an equal one moves to the top
  EXPECT_EQ(recent->ItemCount(), 11);
  EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(recent->Item(0)->Filter()->Root()->Items(0))->Value(), Variant(5));
  EXPECT_EQ(static_cast<TcxFilterCriteriaItem*>(recent->VisibleItems(0)->Filter()->Root()->Items(0))->Value(), Variant(12));
  // An empty filter is not added; the list shows all entries once none is current.
  Filter(v)->RemoveAllItems();
  filtering->AddToMRU();
  EXPECT_EQ(recent->ItemCount(), 11);
  EXPECT_EQ(recent->VisibleCount(), 11);  // the filter's change refreshed the visible list
  // A smaller count trims from the bottom (count + 1 kept).
  filtering->SetMRUItemsListCount(3);
  EXPECT_EQ(recent->ItemCount(), 4);

  // The drop-down of recent filters lists the visible ones and applies a choice.
  Filter(v)->SetActive(true);
  filtering->SetMRUItemsListDropDownCount(2);
  TcxGridFilterMRUItemsPopup* popup = Controller(v)->FilterMRUItemsPopup();
  popup->PopupShow();
  Pump();
  ASSERT_TRUE(popup->PopupVisible());
  ASSERT_EQ(popup->ListBox()->Count(), 4);
  EXPECT_EQ(popup->ListBox()->Items()->Strings(0), recent->Item(0)->Caption());
  EXPECT_EQ(popup->ListBox()->ListClientSize().cy, 2 * popup->ListBox()->ItemHeight());
  EXPECT_EQ(popup->GetTextIndent(), 2);
  const std::string chosen = recent->Item(2)->StreamBytes();
  popup->ListBox()->ItemClicked(2);
  EXPECT_FALSE(popup->PopupVisible());
  EXPECT_EQ(recent->Item(0)->StreamBytes(), chosen);
  EXPECT_EQ(recent->VisibleCount(), 3);
  const Integer chosenValue = static_cast<TcxFilterCriteriaItem*>(recent->Item(0)->Filter()->Root()->Items(0))->Value().AsInteger();
  EXPECT_TRUE(Filter(v)->SameItemsAs(recent->Item(0)->Filter()));
  EXPECT_EQ(v->DataController()->RowCount(), std::max(0, 4 - chosenValue));
}

TEST_F(FilterPopupFixture, RecentFiltersOfARemovedColumnGo) {
  TcxGridDBTableView* v = Shown();
  Choose(Open(v, v->GetColumn(0)), "a");
  Choose(Open(v, v->GetColumn(1)), "b");
  TcxGridFilterMRUItems* recent = v->Filtering()->MRUItems();
  ASSERT_EQ(recent->ItemCount(), 2);
  // The older filter held Country only; the newer one keeps its City condition.
  v->GetColumn(0)->Free();
  ASSERT_EQ(recent->ItemCount(), 1);
  EXPECT_EQ(recent->Item(0)->Filter()->Root()->ItemCount(), 1);
}

TEST_F(FilterPopupFixture, RecentValuesKeepTheColumnCapacityMostRecentFirst) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* amount = v->GetColumn(2);
  v->Filtering()->SetItemMRUItemsListCount(2);
  for (const char* value : {"1", "2", "3", "2"}) Choose(Open(v, amount), value);
  TcxGridFilterMRUValueItems* recent = amount->DataBinding()->FilterMRUValueItems();
  ASSERT_EQ(recent->ItemCount(), 2);
  EXPECT_EQ(recent->Item(0)->DisplayText, "2");
  EXPECT_EQ(recent->Item(1)->DisplayText, "3");
  // Without the view's option the recent values are not offered.
  v->Filtering()->SetItemMRUItemsList(false);
  EXPECT_EQ(Lines(Open(v, amount)), (std::vector<String>{"(All)", "(Custom...)", "1", "2", "3", "4"}));
  Popup(v)->ClosePopup();
}

TEST_F(FilterPopupFixture, ListShowsTheMaximumRowsAndIsNeverNarrowerThanItsButtonCell) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* amount = v->GetColumn(2);
  amount->OnGetFilterValues = [](TcxCustomGridTableItem*, TcxDataFilterValueList* list) {
    for (Integer i = 10; i < 26; ++i) list->AddValue(fviValue, Variant(i), IntToStr(i));
  };
  v->Filtering()->SetItemPopupMaxDropDownItemCount(8);
  TcxGridFilterPopup* popup = OpenByClick(v, 2);
  ASSERT_TRUE(popup->PopupVisible());
  TcxGridPopupListBox* list = popup->ListBox();
  ASSERT_EQ(list->Count(), 22);
  EXPECT_EQ(list->ListClientSize().cy, 8 * list->ItemHeight());
  Integer widest = 0;
  for (Integer i = 0; i < list->Count(); ++i)
    widest = std::max(widest, MeasureTextWidthInFont(list->Font(), list->Items()->Strings(i)));
  EXPECT_EQ(list->MinWidthResult, widest + 4 + GetSystemMetrics(SM_CXVSCROLL));
  const Integer ownerWidth = FilterButton(v, 2)->Bounds.Width();
  EXPECT_EQ(list->ListClientSize().cx, std::max(list->MinWidthResult, ownerWidth - popup->HorzFrameExtent()));
  // Enter on the current line applies it; Esc closes without a choice.
  list->SetItemIndex(list->Items()->IndexOf("(Custom...)") + 1);
  const String text = list->Items()->Strings(list->ItemIndex());
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(popup->PopupVisible());
  ASSERT_NE(Condition(v, amount), nullptr);
  EXPECT_EQ(Condition(v, amount)->DisplayValue(), text);
  popup = OpenByClick(v, 2);
  ASSERT_TRUE(popup->PopupVisible());
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(popup->PopupVisible());
  EXPECT_EQ(Condition(v, amount)->DisplayValue(), text);
  // A press elsewhere in the grid closes it too.
  popup = OpenByClick(v, 2);
  ASSERT_TRUE(popup->PopupVisible());
  const TRect client = v->GetViewInfo()->ClientBounds();
  S().Click(v->Site()->Handle(), POINT{client.Left + 5, client.Bottom - 5});
  Pump();
  EXPECT_FALSE(popup->PopupVisible());
  EXPECT_EQ(FilterButton(v, 2)->State(), gcsNone);
}

}  // namespace
