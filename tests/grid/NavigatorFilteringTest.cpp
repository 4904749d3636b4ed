// The view's navigator buttons (settings, change reports, enabled states, actions) and its
// filter options (filter box and filtering settings, the recent filters, the older properties
// of a form description).
#include <gtest/gtest.h>

#include "editors/cxEdit.h"
#include "editors-extra/cxExtEditUtils.h"
#include "grid/cxGridFilterBox.h"
#include "grid/cxGridFilterPopup.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "tests/grid/RecordViewTestSupport.h"
#include "vcl/FormReader.h"
#include "vcl/ImgList.h"

namespace gridtest {
namespace {

// An owner that logs what the buttons report and offers a control.
class TLogOwner : public IcxNavigatorOwner {
 public:
  std::vector<String> log;
  TWinControl* control = nullptr;
  void NavigatorChanged(Integer kind) override { log.push_back("changed " + IntToStr(kind)); }
  TRect GetNavigatorBounds() override { return TRect(); }
  TcxCustomNavigatorButtons* GetNavigatorButtons() override { return nullptr; }
  TCanvas* GetNavigatorCanvas() override { return nullptr; }
  TWinControl* GetNavigatorControl() override { return control; }
  bool GetNavigatorFocused() override { return false; }
  TcxLookAndFeel* GetNavigatorLookAndFeel() override { return nullptr; }
  TComponent* GetNavigatorOwner() override { return nullptr; }
  bool GetNavigatorShowHint() override { return false; }
  bool GetNavigatorTabStop() override { return false; }
  void NavigatorStateChanged() override { log.push_back("state"); }
  void RefreshNavigator() override { log.push_back("refresh"); }
};

using NavigatorTest = RecordViewFixture;

TEST_F(NavigatorTest, AViewsButtonsDoNotConfirmDeletingAndReportTheirChanges) {
  Build(3);
  TcxNavigatorControlButtons* buttons = view_->NavigatorButtons();
  ASSERT_NE(buttons, nullptr);
  EXPECT_FALSE(buttons->ConfirmDelete());
  ASSERT_EQ(buttons->ButtonCount(), 15);
  for (Integer i = 0; i < 15; ++i) EXPECT_EQ(buttons->Buttons(i)->DefaultIndex(), i);
  EXPECT_EQ(buttons->Filter(), buttons->Buttons(NBDI_FILTER));

  // Change reports: enabled and image refresh with kind 2 while visible, visibility with 1,
  // hint and click handler report kind 0 only.
  TLogOwner owner;
  TcxNavigatorControlButtons own(&owner);
  EXPECT_TRUE(own.ConfirmDelete());
  struct {
    std::function<void()> change;
    std::vector<String> log;
  } cases[] = {
      {[&] { own.Next()->SetEnabled(false); }, {"refresh", "changed 2"}},
      {[&] { own.Next()->SetEnabled(false); }, {}},
      {[&] { own.Next()->SetImageIndex(3); }, {"refresh", "changed 2"}},
      {[&] { own.Next()->SetHint("Go on|more"); }, {"changed 0"}},
      {[&] { own.Next()->SetVisible(false); }, {"refresh", "changed 1"}},
      {[&] { own.Next()->SetEnabled(true); }, {}},  // hidden: nothing to redraw
      {[&] { own.SetConfirmDelete(false); }, {"changed 0"}},
  };
  for (auto& c : cases) {
    owner.log.clear();
    c.change();
    EXPECT_EQ(owner.log, c.log);
  }
  String hint;
  own.GetButtonHint(NBDI_GOTOBOOKMARK, hint);
  EXPECT_EQ(hint, "Goto Bookmark");
  own.GetButtonHint(NBDI_FIRST, hint);
  EXPECT_EQ(hint, "First record");

  // Visibility is stored only once assigned; assigning copies the settings.
  EXPECT_FALSE(own.Prior()->IsVisibleStored());
  EXPECT_TRUE(own.Next()->IsVisibleStored());
  buttons->Assign(&own);
  EXPECT_FALSE(buttons->Next()->Visible());
  EXPECT_EQ(buttons->Next()->ImageIndex(), 3);
  EXPECT_FALSE(buttons->ConfirmDelete());

  // An image list freed while the buttons use it is dropped.
  auto* images = new TCustomImageList(nullptr, 12, 11);
  own.SetImages(images);
  owner.log.clear();
  delete images;
  EXPECT_EQ(own.Images(), nullptr);
  EXPECT_EQ(owner.log, std::vector<String>{"refresh"});
}

// Enabled states of the button kinds at the first record, in the middle, at the last one,
// while editing, with a bookmark; every button off with the control disabled.
TEST_F(NavigatorTest, ButtonKindsAreEnabledByTheViewsState) {
  Start(5);
  TLogOwner owner;
  owner.control = view_->Site();
  TcxNavigatorControlButtons buttons(&owner);
  buttons.GetNavigator = [this]() -> IcxNavigator* { return view_; };
  auto enabled = [&] {
    String s;
    for (Integer i = 0; i < 15; ++i) s += buttons.IsButtonEnabled(i) ? "1" : "0";
    return s;
  };
  // First PriorPage Prior Next NextPage Last Insert Delete Edit Post Cancel Refresh Save Goto Filter
  EXPECT_EQ(enabled(), "000111111001101");
  Ctrl()->GoToNextRecord(false, false);
  EXPECT_EQ(enabled(), "111111111001101");
  Ctrl()->GoToLastRecord(false);
  EXPECT_EQ(enabled(), "111000111001101");
  dc_->SaveBookmark();
  EXPECT_EQ(enabled(), "111000111001111");
  buttons.ReleaseBookmark();
  EXPECT_FALSE(view_->IsBookmarkAvailable());
  dc_->Edit();
  EXPECT_EQ(enabled(), "111000110111101");
  dc_->Cancel();
  view_->TableOptionsData()->SetDeleting(false);
  view_->TableOptionsData()->SetInserting(false);
  EXPECT_EQ(enabled(), "111000001001101");
  view_->Site()->SetEnabled(false);
  EXPECT_EQ(enabled(), "000000000000000");
  view_->Site()->SetEnabled(true);
  buttons.GetNavigator = nullptr;
  EXPECT_EQ(enabled(), "000000000000000");
}

// Each button's action through the view, as the buttons and the grid pass it on.
TEST_F(NavigatorTest, ButtonActionsMoveEditAndKeepBookmarks) {
  Start(40);
  TLogOwner owner;
  TcxNavigatorControlButtons buttons(&owner);
  buttons.GetNavigator = [this]() -> IcxNavigator* { return view_; };
  buttons.PerformButtonAction(NBDI_LAST);
  EXPECT_EQ(Row(), 39);
  EXPECT_EQ(owner.log, std::vector<String>{"state"});
  buttons.PerformButtonAction(NBDI_PRIOR);
  EXPECT_EQ(Row(), 38);
  buttons.PerformButtonAction(NBDI_SAVEBOOKMARK);
  buttons.PerformButtonAction(NBDI_FIRST);
  EXPECT_EQ(Row(), 0);
  buttons.PerformButtonAction(NBDI_NEXT);
  EXPECT_EQ(Row(), 1);
  buttons.PerformButtonAction(NBDI_NEXTPAGE);
  EXPECT_GT(Row(), 2);
  const Integer paged = Row();
  buttons.PerformButtonAction(NBDI_PRIORPAGE);
  EXPECT_LT(Row(), paged);
  buttons.PerformButtonAction(NBDI_GOTOBOOKMARK);
  EXPECT_EQ(Row(), 38);

  // Edit opens the focused item's editor; Post writes it; Cancel drops a record edit.
  buttons.PerformButtonAction(NBDI_EDIT);
  EXPECT_TRUE(dc_->IsEditing());
  ASSERT_TRUE(Ctrl()->IsEditing());
  TcxCustomEdit* edit = Ctrl()->EditingController()->Edit();
  edit->SetFocus();
  Pump();
  edit->ModifiedByUser();
  edit->SetEditValue(Variant("posted"));
  edit->SetChangedSinceEnter(true);
  edit->SetModifiedFlag(true);
  buttons.PerformButtonAction(NBDI_POST);
  EXPECT_FALSE(dc_->IsEditing());
  EXPECT_EQ(VarToStr(dc_->GetValue(38, 0)), "posted");
  dc_->Edit();
  dc_->SetEditValue(0, Variant("dropped"), 1);
  buttons.PerformButtonAction(NBDI_CANCEL);
  EXPECT_EQ(VarToStr(dc_->GetValue(38, 0)), "posted");

  // Delete: no confirmation is asked by the view unless its own option says so.
  view_->TableOptionsData()->SetDeletingConfirmation(false);
  const Integer before = dc_->GetRecordCount();
  buttons.PerformButtonAction(NBDI_DELETE);
  EXPECT_EQ(dc_->GetRecordCount(), before - 1);
  buttons.PerformButtonAction(NBDI_INSERT);
  EXPECT_EQ(dc_->GetRecordCount(), before);
  EXPECT_TRUE(dc_->IsEditing());
  dc_->Cancel();

  // The filter button asks for the whole filter's customization; a button's own click handler
  // and OnButtonClick come first when the navigator clicks (not the buttons object).
  std::vector<String> asked;
  view_->OnFilterDialogShow = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* item, bool& done) {
    asked.push_back(item ? "item" : "dialog");
  };
  view_->OnFilterCustomization = [&](TcxCustomGridTableView*, bool& done) {
    asked.push_back("builder");
    done = true;
  };
  buttons.PerformButtonAction(NBDI_FILTER);
  EXPECT_EQ(asked, (std::vector<String>{"dialog", "builder"}));

  // The grid passes the navigator's questions to its focused view.
  EXPECT_EQ(grid_->FocusedView(), view_);
  EXPECT_TRUE(grid_->IsActionSupported());
  EXPECT_EQ(grid_->GetNotifier(), view_->NavigatorNotifier());
  grid_->DoAction(NBDI_FIRST);
  EXPECT_EQ(Row(), 0);
  EXPECT_TRUE(grid_->IsBof());
}

// Navigators attached to the view refresh when the data controller reports.
TEST_F(NavigatorTest, DataNotificationsRefreshAttachedNavigators) {
  Start(5);
  TLogOwner owner;
  view_->NavigatorNotifier()->AddNavigator(&owner);
  dc_->SetValue(2, 0, "changed");
  Ctrl()->GoToNextRecord(false, false);
  Pump();
  EXPECT_FALSE(owner.log.empty());
  view_->NavigatorNotifier()->RemoveNavigator(&owner);
}

// The data controller's notifications by class: the first change the view queues, and
// attached navigators refresh after each.
TEST_F(NavigatorTest, DataNotificationsAreDispatchedByClass) {
  Start(5);
  TLogOwner owner;
  view_->NavigatorNotifier()->AddNavigator(&owner);
  auto queued = [&](TcxUpdateControlInfo* info) {
    Pump();
    owner.log.clear();
    grid_->BeginUpdate();
    view_->UpdateControl(info);
    String kinds;
    if (grid_->QueuedChangeCount() > 0) {
      TcxCustomGridChange* c = grid_->QueuedChange(0);
      kinds = dynamic_cast<TcxGridSizeChange*>(c)              ? "size"
              : dynamic_cast<TcxGridLayoutChange*>(c)          ? "layout"
              : dynamic_cast<TcxGridFocusedRecordChange*>(c)   ? "focus"
                                                               : "other";
    }
    grid_->EndUpdate();
    delete info;
    EXPECT_EQ(owner.log, std::vector<String>{"refresh"});
    return kinds;
  };
  EXPECT_EQ(queued(new TcxDataChangedInfo(0, -1, -1)), "size");
  EXPECT_EQ(queued(new TcxLayoutChangedInfo()), "size");
  EXPECT_EQ(queued(new TcxFocusedRecordChangedInfo(0, 1, 1, 0, false)), "focus");
  EXPECT_EQ(queued(new TcxSelectionChangedInfo()), "layout");
  EXPECT_EQ(queued(new TcxUpdateRecordInfo(1)), "size");
  EXPECT_EQ(queued(new TcxBookmarkChangedInfo()), "");
  view_->NavigatorNotifier()->RemoveNavigator(&owner);
}

// An open editor shows a record's new value unless the user changed the editor's text.
TEST_F(NavigatorTest, ARecordUpdateRefillsAnUntouchedEditor) {
  Start(5);
  view_->Items(0)->SetEditing(true);
  ASSERT_TRUE(Ctrl()->IsEditing());
  dc_->SetValue(0, 0, "from elsewhere");
  TcxUpdateRecordInfo info(0);
  view_->UpdateControl(&info);
  EXPECT_EQ(VarToStr(Ctrl()->EditingController()->Edit()->EditValue()), "from elsewhere");
}

// ---- filtering ----------------------------------------------------------------------------

using FilteringTest = RecordViewFixture;

// A filtering object that logs its change kinds.
class TLogFiltering : public TcxCustomGridTableFiltering {
 public:
  using TcxCustomGridTableFiltering::TcxCustomGridTableFiltering;
  std::vector<Integer> kinds;
  void Changed(Integer kind) override { kinds.push_back(kind); }
};

TEST_F(FilteringTest, OptionDefaultsAndClamps) {
  Build(3, 3);
  TcxGridFilterBox* box = view_->FilterBox();
  EXPECT_TRUE(box->CustomizeDialog());
  EXPECT_EQ(box->MRUItemsListDropDownCount(), 0);
  EXPECT_EQ(box->Position(), fpBottom);
  EXPECT_EQ(box->Visible(), fvNonEmpty);
  box->SetMRUItemsListDropDownCount(-4);
  EXPECT_EQ(box->MRUItemsListDropDownCount(), 0);

  TLogFiltering f(view_);
  EXPECT_TRUE(f.ItemMRUItemsList());
  EXPECT_EQ(f.ItemMRUItemsListCount(), 5);
  EXPECT_EQ(f.ItemPopupDropDownWidth(), 0);
  EXPECT_EQ(f.ItemPopupMaxDropDownItemCount(), 15);
  EXPECT_TRUE(f.MRUItemsList());
  EXPECT_EQ(f.MRUItemsListCount(), 10);
  EXPECT_EQ(f.MRUItems()->MaxCount(), 11);
  struct {
    std::function<void()> set;
    std::function<Integer()> get;
    Integer value, kind;
  } cases[] = {
      {[&] { f.SetItemMRUItemsListCount(-1); }, [&] { return f.ItemMRUItemsListCount(); }, 0, 0},
      {[&] { f.SetItemPopupDropDownWidth(-5); }, [&] { return f.ItemPopupDropDownWidth(); }, 0, -1},  // unchanged
      {[&] { f.SetItemPopupMaxDropDownItemCount(-2); }, [&] { return f.ItemPopupMaxDropDownItemCount(); }, 0, 0},
      {[&] { f.SetMRUItemsListCount(-3); }, [&] { return f.MRUItemsListCount(); }, 0, 0},
      {[&] { f.SetMRUItemsList(false); }, [&] { return Integer(f.MRUItemsList()); }, 0, 2},
  };
  for (auto& c : cases) {
    f.kinds.clear();
    c.set();
    EXPECT_EQ(c.get(), c.value);
    EXPECT_EQ(f.kinds, c.kind < 0 ? std::vector<Integer>{} : std::vector<Integer>{c.kind});
  }
  EXPECT_EQ(f.MRUItems()->MaxCount(), 0);  // no limit
  // Every item's recent values take the new capacity.
  view_->Filtering()->SetItemMRUItemsListCount(2);
  for (Integer i = 0; i < 3; ++i) EXPECT_EQ(view_->Items(i)->DataBinding()->FilterMRUValueItems()->MaxCount(), 2);
}

// Applies "item 0 equal value" as the data controller's filter and adds it to the recent list.
void ApplyFilter(TcxCustomGridTableView* view, const String& value) {
  TcxDataFilterCriteria* filter = view->DataController()->Filter();
  filter->LockChanges();
  filter->RemoveAllItems();
  filter->AddItem(filter->Root(), view->Items(0), foEqual, value, value);
  filter->SetActive(true);
  filter->UnlockChanges();
  view->Filtering()->AddToMRU();
}

TEST_F(FilteringTest, RecentFiltersKeepOneMoreThanShownAndMoveRepeatsToTheTop) {
  Build(20);
  TcxGridFilterMRUItems* mru = view_->Filtering()->MRUItems();
  view_->Filtering()->AddToMRU();  // the empty filter is not added
  EXPECT_EQ(mru->ItemCount(), 0);
  for (Integer i = 0; i < 11; ++i) ApplyFilter(view_, "r" + IntToStr(i) + "c0");
  EXPECT_EQ(mru->ItemCount(), 11);
  EXPECT_EQ(mru->VisibleCount(), 10);  // the current filter is not shown
  EXPECT_NE(mru->Item(0)->Caption().find("r10c0"), String::npos);
  EXPECT_NE(mru->VisibleItems(0)->Caption().find("r9c0"), String::npos);
  ApplyFilter(view_, "r11c0");
  EXPECT_EQ(mru->ItemCount(), 11);  // the oldest fell out
  // An equal filter moves to the top instead of a second entry.
  ApplyFilter(view_, "r5c0");
  EXPECT_EQ(mru->ItemCount(), 11);
  EXPECT_NE(mru->Item(0)->Caption().find("r5c0"), String::npos);
  EXPECT_NE(mru->VisibleItems(0)->Caption().find("r11c0"), String::npos);
  // Clearing the filter shows every entry.
  view_->DataController()->Filter()->RemoveAllItems();
  EXPECT_EQ(mru->VisibleCount(), 11);
  // Removing the filtered item empties the entries that held only its conditions.
  delete view_->Items(0);
  EXPECT_EQ(mru->ItemCount(), 0);
  EXPECT_EQ(mru->VisibleCount(), 0);
}

// With the filter stored, the layout holds the filter, its active flag and the recent filters
// from the highest number down; restoring in that order gives the list its stored order.
TEST_F(FilteringTest, TheStoredLayoutKeepsTheFilterAndTheRecentFilters) {
  Build(10);
  view_->StoresFilter = true;
  for (const char* v : {"r1c0", "r2c0", "r3c0"}) ApplyFilter(view_, v);
  TStringList names;
  view_->GetStoredProperties(&names);
  EXPECT_EQ(names.Text(), "FilterActive\nFilter\nFilterMRUItem2\nFilterMRUItem1\nFilterMRUItem0\nVersion\n");
  std::vector<std::pair<String, Variant>> stored;
  for (Integer i = 0; i < names.Count(); ++i) {
    Variant value;
    view_->GetStoredPropertyValue(names.Strings(i), value);
    stored.emplace_back(names.Strings(i), value);
  }
  EXPECT_EQ(VarToStr(stored[1].second).substr(0, 4), "Hex:");
  const String caption0 = view_->Filtering()->MRUItems()->Item(0)->Caption();
  const String caption2 = view_->Filtering()->MRUItems()->Item(2)->Caption();

  dc_->Filter()->RemoveAllItems();
  view_->Filtering()->MRUItems()->RemoveAll();
  for (auto& [name, value] : stored) view_->SetStoredPropertyValue(name, value);
  EXPECT_TRUE(dc_->Filter()->Active());
  EXPECT_NE(dc_->Filter()->FilterCaptionText().find("r3c0"), String::npos);
  ASSERT_EQ(view_->Filtering()->MRUItems()->ItemCount(), 3);
  EXPECT_EQ(view_->Filtering()->MRUItems()->Item(0)->Caption(), caption0);
  EXPECT_EQ(view_->Filtering()->MRUItems()->Item(2)->Caption(), caption2);
  EXPECT_EQ(dc_->RowCount(), 1);

  // Bad input: not hex, not TRUE or FALSE, a non-numeric MRU number.
  EXPECT_THROW(view_->SetStoredPropertyValue("Filter", Variant("Hex:0G")), EcxHexStringConvertError);
  EXPECT_THROW(view_->SetStoredPropertyValue("FilterActive", Variant("yes")), EPropertyConvertError);
  Variant value;
  EXPECT_THROW(view_->GetStoredPropertyValue("FilterMRUItemX", value), EConvertError);
  // Without the flag the names are the base view's only.
  view_->StoresFilter = false;
  names.Clear();
  view_->GetStoredProperties(&names);
  EXPECT_EQ(names.Text(), "Version\n");
}

TEST_F(FilteringTest, TheVisibleCountLeavingOrReachingZeroChangesTheLayout) {
  Build(5);
  auto* f = new TLogFiltering(view_);
  // The first filter is the current one: nothing visible yet.
  TcxDataFilterCriteria* filter = dc_->Filter();
  auto apply = [&](const String& v) {
    filter->LockChanges();
    filter->RemoveAllItems();
    filter->AddItem(filter->Root(), view_->Items(0), foEqual, v, v);
    filter->UnlockChanges();
    f->AddToMRU();
    f->FilterChanged();
  };
  apply("r1c0");
  EXPECT_TRUE(f->kinds.empty());
  EXPECT_FALSE(f->IsMRUItemsListAvailable());
  apply("r2c0");  // 0 -> 1 visible
  EXPECT_EQ(f->kinds, std::vector<Integer>{2});
  EXPECT_TRUE(f->IsMRUItemsListAvailable());
  f->kinds.clear();
  apply("r3c0");  // 1 -> 2: nothing re-laid out
  EXPECT_TRUE(f->kinds.empty());
  delete f;
}

}  // namespace

// The filtering object of a form description takes the older names of the filter box and
// item drop-down settings; an unknown identifier is refused.
class TFilterView : public TRowsView {
  KORVAN_CLASS(TFilterView, TRowsView)

 public:
  using TRowsView::TRowsView;
};

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TFilterView) {
  p.Object("Filtering", &TFilterView::Filtering, &TFilterView::SetFiltering,
           TcxCustomGridTableFiltering::StaticClass());
}

namespace {

TEST_F(FilteringTest, AFormDescriptionForwardsTheOlderFilteringNames) {
  RegisterClass(TFilterView::StaticClass());
  const char* form = R"(object Form1: TForm
  object Grid1: TcxGrid
    object Grid1View1: TFilterView
      FilterBox.Position = fpTop
      Filtering.CustomizeDialog = False
      Filtering.DropDownWidth = 120
      Filtering.MaxDropDownCount = 8
      Filtering.MRUItemsListDropDownCount = 4
      Filtering.Visible = fvAlways
      Filtering.MRUItemsListCount = 3
      NavigatorButtons.Delete.Visible = False
      NavigatorButtons.ConfirmDelete = True
    end
  end
end
)";
  auto* f = new TForm(Application);
  ReadComponentFromText(f, form);
  auto* view = static_cast<TFilterView*>(f->FindComponent("Grid1View1"));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->FilterBox()->Position(), fpTop);
  EXPECT_FALSE(view->FilterBox()->CustomizeDialog());
  EXPECT_EQ(view->Filtering()->ItemPopupDropDownWidth(), 120);
  EXPECT_EQ(view->Filtering()->ItemPopupMaxDropDownItemCount(), 8);
  EXPECT_EQ(view->FilterBox()->MRUItemsListDropDownCount(), 4);
  EXPECT_EQ(view->FilterBox()->Visible(), fvAlways);
  EXPECT_EQ(view->Filtering()->MRUItemsListCount(), 3);
  EXPECT_FALSE(view->NavigatorButtons()->Delete()->Visible());
  EXPECT_TRUE(view->NavigatorButtons()->ConfirmDelete());
  // Written back under the current names only.
  const String text = WriteComponentToText(f);
  EXPECT_NE(text.find("FilterBox.Visible = fvAlways"), String::npos) << text;
  EXPECT_EQ(text.find("Filtering.Visible"), String::npos) << text;
  EXPECT_NE(text.find("NavigatorButtons.Delete.Visible = False"), String::npos) << text;
  EXPECT_EQ(text.find("NavigatorButtons.Next.Visible"), String::npos) << text;
  f->Free();

  auto* bad = new TForm(Application);
  EXPECT_THROW(ReadComponentFromText(bad, R"(object Form1: TForm
  object Grid1: TcxGrid
    object Grid1View1: TFilterView
      Filtering.Position = fpMiddle
    end
  end
end
)"),
               Exception);
  bad->Free();
}

}  // namespace
}  // namespace gridtest
