// The field filter drop-down, headless: the filter button clicked, the drop-down's loop fed
// with keys and clicks queued for it; the values and their states, "(Show All)", the OK
// button, when and how "Ok" writes the filter, placement and size, sheets, and bad input.
#include "PivotGridViewFixture.h"
#include "pivotgrid/cxPivotGridFilterPopup.h"
#include "user/Backend.h"

using namespace pivot_fixture;

namespace {

struct TFilterPivot : TShownPivot {
  TFilterPivot() : TShownPivot(640, 400) {
    Application->OnException = [this](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  }
  ~TFilterPivot() { Application->OnException = nullptr; }

  TcxPivotGridFilterPopup* Popup() { return grid->Controller()->FilterPopup; }
  // Clicks the filter button; the drop-down's loop runs the actions queued with Then.
  void ClickFilterButton(TcxPivotGridField* f) {
    TcxPivotGridFieldHeaderCellViewInfo* h = f->GetHeaderViewInfo();
    VI();
    h->CheckCalculated();
    session.Advance(1000);
    session.Click(Wnd(), Center(h->FilterButtonRect));
    session.Pump();
  }
  void Then(std::function<void()> action) { session.Backend().OnIdle(std::move(action)); }
  bool Open() { return Popup() && Popup()->DroppedDown(); }
  // "text:state" per item (0 unchecked, 1 checked, 2 grayed), joined with "|".
  String Items() {
    String s;
    TcxCheckListBoxItems* items = Popup()->CheckList->CheckItems();
    for (int i = 0; i < items->Count(); ++i)
      s += (i ? "|" : "") + items->Item(i)->Text() + ":" + IntToStr(int(items->Item(i)->State()));
    return s;
  }
  // The filter as "+" (listed values pass) or "-" (listed values are left out) and its values.
  String Filter(TcxPivotGridField* f) {
    TcxPivotGridFieldFilter* filter = f->Filter();
    String s = filter->IncludeMode() ? "+" : "-";
    for (int i = 0; i < filter->Values()->Count(); ++i) s += (i ? "," : "") + VarToStr(filter->Values()->Values(i));
    return s;
  }
  // Real input, not pumped: the drop-down's loop reads it.
  static void Key(int vk) {
    InputKey(vk, true);
    InputKey(vk, false);
  }
  // Toggles an item's check with the space key.
  void Toggle(int index) {
    Popup()->CheckList->SetItemIndex(index);
    Key(VK_SPACE);
  }
  static void Click(TWinControl* c) {
    TPoint p = c->ClientToScreen(TPoint(c->Width() / 2, c->Height() / 2));
    InputMouseMove(POINT{p.X, p.Y});
    InputMouseButton(0, true, POINT{p.X, p.Y});
    InputMouseButton(0, false, POINT{p.X, p.Y});
  }

  std::vector<String> errors;
};

}  // namespace

// The values with the filter's states, "(Show All)" in its three states with the check list's
// grayed-to-checked cycle, the OK button's enabled state, and the filter "Ok" writes.
TEST(PivotGridFilterPopup, ValuesStatesAndTheFilterOkWrites) {
  TFilterPivot s;
  std::vector<String> seen;
  s.Then([&] {
    seen.push_back(s.Items());
    s.Toggle(1);
  });
  s.Then([&] {
    seen.push_back(s.Items());
    seen.push_back(s.Popup()->OkButton->Enabled() ? "ok" : "no ok");
    TFilterPivot::Click(s.Popup()->OkButton);
  });
  s.ClickFilterButton(s.year);
  EXPECT_FALSE(s.Open());
  EXPECT_EQ(seen, Texts({"(Show All):1|2023:1|2024:1", "(Show All):2|2023:0|2024:1", "ok"}));
  // One of three items unchecked: the excluded value is listed.
  EXPECT_EQ(s.Filter(s.year), "-2023");
  EXPECT_EQ(s.Leaves(false).front(), "2024/Amount");
  // Reopened: the states follow the filter; the grayed "(Show All)" checks every value, then
  // unchecks them, and the OK button goes; Cancel leaves the filter as it was.
  seen.clear();
  s.Then([&] {
    seen.push_back(s.Items());
    s.Toggle(0);
  });
  s.Then([&] {
    seen.push_back(s.Items());
    s.Toggle(0);
  });
  s.Then([&] {
    seen.push_back(s.Items());
    seen.push_back(s.Popup()->OkButton->Enabled() ? "ok" : "no ok");
    TFilterPivot::Click(s.Popup()->CancelButton);
  });
  s.ClickFilterButton(s.year);
  EXPECT_EQ(seen, Texts({"(Show All):2|2023:0|2024:1", "(Show All):1|2023:1|2024:1", "(Show All):0|2023:0|2024:0",
                         "no ok"}));
  EXPECT_EQ(s.Filter(s.year), "-2023");
  // Esc and a click outside leave it too, even after changes; "Ok" without a change writes
  // nothing.
  s.Then([&] { s.Toggle(2); });
  s.Then([&] { TFilterPivot::Key(VK_ESCAPE); });
  s.ClickFilterButton(s.year);
  EXPECT_EQ(s.Filter(s.year), "-2023");
  int builds = s.grid->DataBuilder()->ClearCount();
  s.Then([&] { TFilterPivot::Click(s.Popup()->OkButton); });
  s.ClickFilterButton(s.year);
  EXPECT_EQ(s.grid->DataBuilder()->ClearCount(), builds);
  // Checking all values again empties the filter, in one rebuild.
  s.Then([&] { s.Toggle(0); });
  s.Then([&] { TFilterPivot::Click(s.Popup()->OkButton); });
  s.ClickFilterButton(s.year);
  EXPECT_EQ(s.Filter(s.year), "-");
  EXPECT_EQ(s.grid->DataBuilder()->ClearCount(), builds + 1);
  // Few values checked: the passing values are listed.
  s.Then([&] { s.Toggle(0); });
  s.Then([&] { s.Toggle(3); });
  s.Then([&] {
    seen.push_back(s.Items());
    TFilterPivot::Click(s.Popup()->OkButton);
  });
  s.ClickFilterButton(s.city);
  EXPECT_EQ(seen.back(), "(Show All):2|Bergen:0|Lima:0|Oslo:1|Rome:0");
  EXPECT_EQ(s.Filter(s.city), "+Oslo");
  EXPECT_EQ(s.Leaves(true).front(), "North/Oslo");
  EXPECT_TRUE(s.errors.empty());
}

// Right-aligned under the header; the size from FilterDropDownWidth and
// FilterDropDownMaxItemCount, or with FilterResizable the size kept per field.
TEST(PivotGridFilterPopup, PlacementAndSize) {
  TFilterPivot s;
  struct {
    TRect window, header;
    int listHeight;
  } seen;
  auto record = [&] {
    TcxCustomEditPopupWindow* w = s.Popup()->PopupWindow();
    seen.window = w->BoundsRect();
    TRect h = s.year->GetHeaderViewInfo()->Bounds;
    seen.header = TRect(s.grid->ClientToScreen(h.TopLeft()), s.grid->ClientToScreen(h.BottomRight()));
    seen.listHeight = s.Popup()->CheckList->GetHeightForRows(s.grid->OptionsView()->FilterDropDownMaxItemCount());
    TFilterPivot::Key(VK_ESCAPE);
  };
  ASSERT_TRUE(s.grid->OptionsCustomize()->FilterResizable());
  s.Then(record);
  s.ClickFilterButton(s.year);
  EXPECT_EQ(seen.window.Right, seen.header.Right);
  EXPECT_EQ(seen.window.Top, seen.header.Bottom);
  EXPECT_EQ(seen.window.Width(), 150);
  EXPECT_EQ(seen.window.Height(), 150);
  s.year->Filter()->DropDownWidth = 200;
  s.year->Filter()->DropDownHeight = 180;
  s.Then(record);
  s.ClickFilterButton(s.year);
  EXPECT_EQ(seen.window.Width(), 200);
  EXPECT_EQ(seen.window.Height(), 180);
  s.grid->OptionsCustomize()->SetFilterResizable(false);
  s.grid->OptionsView()->SetFilterDropDownWidth(220);
  s.grid->OptionsView()->SetFilterDropDownMaxItemCount(5);
  s.Then(record);
  s.ClickFilterButton(s.year);
  EXPECT_EQ(seen.window.Width(), 220);
  int panel = s.Popup()->PopupWindow()->GetPopupViewInfo()->GetSysPanelHeight();
  EXPECT_EQ(seen.window.Height(), seen.listHeight + panel + 4);
  EXPECT_EQ(seen.window.Right, seen.header.Right);
  EXPECT_TRUE(s.errors.empty());
}

// A sheet of the open drop-down in each look and feel.
TEST(PivotGridFilterPopup, SheetsInEveryLookAndFeel) {
  struct {
    TcxLookAndFeelKind kind;
    bool native;
    const char* name;
  } looks[] = {{lfStandard, false, "standard"}, {lfFlat, false, "flat"}, {lfUltraFlat, false, "ultraflat"},
               {lfOffice11, false, "office11"}, {lfStandard, true, "native"}};
  for (auto& look : looks) {
    TFilterPivot s;
    s.grid->LookAndFeel()->SetKind(look.kind);
    s.grid->LookAndFeel()->SetNativeStyle(look.native);
    String path;
    s.Then([&] {
      s.Toggle(1);
      s.Popup()->PopupWindow()->Repaint();
    });
    s.Then([&] {
      path = s.session.Snapshot(s.Popup()->PopupWindow()->Handle(),
                                String("pivotgrid_filter_popup_") + look.name + ".png");
      TFilterPivot::Key(VK_ESCAPE);
    });
    s.ClickFilterButton(s.city);
    EXPECT_FALSE(path.empty()) << look.name;
  }
}

// The same filter button clicked while its drop-down is open closes it and opens nothing.
TEST(PivotGridFilterPopup, TheSameFilterButtonClosesIt) {
  TFilterPivot s;
  int opened = 0;
  s.Then([&] {
    ++opened;
    TcxPivotGridFieldHeaderCellViewInfo* h = s.year->GetHeaderViewInfo();
    TPoint p = s.grid->ClientToScreen(TPoint((h->FilterButtonRect.Left + h->FilterButtonRect.Right) / 2,
                                             (h->FilterButtonRect.Top + h->FilterButtonRect.Bottom) / 2));
    InputMouseMove(POINT{p.X, p.Y});
    InputMouseButton(0, true, POINT{p.X, p.Y});
    InputMouseButton(0, false, POINT{p.X, p.Y});
  });
  s.ClickFilterButton(s.year);
  s.session.Pump();
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(s.Open());
  EXPECT_EQ(s.year->GetHeaderViewInfo()->FilterState, cxbsNormal);
  // The next click opens it again.
  s.Then([&] {
    ++opened;
    TFilterPivot::Key(VK_ESCAPE);
  });
  s.ClickFilterButton(s.year);
  EXPECT_EQ(opened, 2);
  // The hidden editor left over the header takes no clicks: the header still sorts.
  TRect h = s.FieldRect(s.year);
  TcxDataSortOrder order = s.year->SortOrder();
  s.session.Advance(1000);
  s.session.Click(s.Wnd(), POINT{h.Left + 4, (h.Top + h.Bottom) / 2});
  EXPECT_NE(s.year->SortOrder(), order);
  EXPECT_TRUE(s.errors.empty());
}

// The field freed or moved to the data area while its drop-down is open, a data change while
// open: never a crash, nothing lost.
TEST(PivotGridFilterPopup, BadInputNeverCrashes) {
  {
    TFilterPivot s;
    s.Then([&] { s.Toggle(1); });
    s.Then([&] { s.year->Free(); });
    s.ClickFilterButton(s.year);
    s.session.Pump();
    EXPECT_FALSE(s.Open());
    EXPECT_EQ(s.grid->FieldCount(), 5);
    EXPECT_TRUE(s.errors.empty());
  }
  {
    TFilterPivot s;
    s.Then([&] {
      s.Toggle(1);
      // Another record with a new year: the field's own value list is built again.
      TcxCustomDataController* dc = s.grid->DataController();
      int r = dc->GetRecordCount();
      dc->SetRecordCount(r + 1);
      dc->SetValue(r, 0, "NO");
      dc->SetValue(r, 1, "North");
      dc->SetValue(r, 2, "Oslo");
      dc->SetValue(r, 3, 2025);
      s.grid->DataChanged();
      s.year->GetUniqueValues();
    });
    s.Then([&] { TFilterPivot::Click(s.Popup()->OkButton); });
    s.ClickFilterButton(s.year);
    EXPECT_EQ(s.Filter(s.year), "-2023");
    EXPECT_EQ(s.Leaves(false).front(), "2024/Amount");
    EXPECT_TRUE(s.errors.empty());
  }
  {
    TFilterPivot s;
    s.Then([&] { s.Toggle(2); });
    s.Then([&] {
      s.Place(s.year, faData);
      TFilterPivot::Click(s.Popup()->OkButton);
    });
    s.ClickFilterButton(s.year);
    EXPECT_EQ(s.year->Area(), faData);
    EXPECT_EQ(s.Filter(s.year), "-2024");
    EXPECT_TRUE(s.errors.empty());
  }
}
