// The data navigator of a table view over an in-memory data set: its place left of the
// horizontal scroll bar and its width, the enabled state of each button, each button's action
// by a click, the repeat of Prior and Next on the test clock, releasing outside a button,
// hints, own images, and a sheet of the navigator in each look and feel.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "foundation/cxGraphics.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "tests/gridviews/TableViewTestSupport.h"
#include "vcl/ImgList.h"

namespace {

using gridviewstest::GridFormFixture;

class NavigatorTest : public GridFormFixture {
 protected:
  // A navigated view over 30 rows (Amount 0..29), the first row focused.
  TcxGridDBTableView* Shown(TcxLookAndFeelKind kind = lfUltraFlat) {
    grid_->LookAndFeel()->SetKind(kind);
    TcxGridDBTableView* view = AddView();
    std::vector<std::vector<Variant>> rows;
    for (int i = 0; i < 30; ++i) rows.push_back({Variant("Japan"), Variant("City" + std::to_string(i)), Variant(i)});
    Bind(view, rows);
    view->TableOptionsView()->SetNavigator(true);
    grid_->SetBounds(10, 10, 400, 200);
    ShowWithColumnWidth(view, 60);
    view->GetController()->SetFocusedItem(view->GetColumn(1));
    return view;
  }
  TcxNavigatorViewInfo* Nav(TcxGridTableView* view) { return view->GetViewInfo()->NavigatorViewInfo(); }
  // The shown button of a kind (every button is shown unless a test hides some).
  TRect ButtonBounds(TcxGridTableView* view, Integer kind) {
    TcxNavigatorViewInfo* nav = Nav(view);
    for (Integer i = 0; i < nav->ButtonCount(); ++i)
      if (nav->ButtonViewInfo(i).Button->DefaultIndex() == kind) return nav->ButtonViewInfo(i).Bounds;
    ADD_FAILURE() << "button " << kind << " is not shown";
    return TRect();
  }
  POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  void ClickButton(TcxGridTableView* view, Integer kind) {
    S().Click(view->Site()->Handle(), Center(ButtonBounds(view, kind)));
  }
  Integer FocusedRow(TcxGridTableView* view) { return view->DataController()->FocusedRowIndex(); }
  void Focus(TcxGridTableView* view, Integer row) {
    view->DataController()->SetFocusedRowIndex(row);
    Pump();
  }
  // The enabled states shown, as 15 characters '1' and '0' in button order.
  std::string States(TcxGridTableView* view) {
    TcxNavigatorViewInfo* nav = Nav(view);
    std::string s;
    for (Integer i = 0; i < nav->ButtonCount(); ++i) s += nav->ButtonViewInfo(i).Enabled ? '1' : '0';
    return s;
  }
};

// The site lies left of the horizontal scroll bar (which stays shown) with the bar's height;
// the buttons take the site less the navigator offset. Each button is its glyph plus the
// painter's group frame plus 1 wide; a wider area is shared equally, the remainder unused.
TEST_F(NavigatorTest, SiteAndWidthForAllButtonsAndSpareWidthSharedEqually) {
  struct Case {
    TcxLookAndFeelKind kind;
    Integer first, middle, last;
  } cases[] = {{lfUltraFlat, 16, 15, 16}, {lfStandard, 17, 17, 17}, {lfFlat, 15, 15, 15}};
  TcxGridDBTableView* view = Shown();
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    grid_->LookAndFeel()->SetKind(c.kind);
    Pump();
    TcxNavigatorViewInfo* nav = Nav(view);
    const Integer needed = c.first + 13 * c.middle + c.last;
    Integer width = 0, height = 0;
    nav->GetNeededSize(width, height);
    EXPECT_EQ(width, needed);

    TcxCustomGridTableViewInfo* info = view->GetViewInfo();
    ASSERT_TRUE(info->IsNavigatorSiteShown());
    TRect bar;
    view->Site()->HScrollBarRect(bar);
    EXPECT_TRUE(view->Site()->IsHScrollBarShown()) << "the navigator keeps the horizontal bar";
    const TRect site = info->NavigatorSiteViewInfo()->Bounds;
    EXPECT_EQ(site, TRect(bar.Left - site.Width(), bar.Top, bar.Left, bar.Bottom));
    EXPECT_EQ(site.Width(), needed + view->TableOptionsView()->NavigatorOffset());
    EXPECT_EQ(nav->ButtonCount(), 15);
    EXPECT_EQ(nav->ButtonViewInfo(0).Bounds.Left, site.Left);
    EXPECT_EQ(nav->ButtonViewInfo(14).Bounds.Right, site.Right - view->TableOptionsView()->NavigatorOffset());
    EXPECT_EQ(nav->ButtonViewInfo(7).Bounds.Height(), site.Height());

    // 3 pixels each for 15 buttons and 7 left over.
    width = needed + 15 * 3 + 7;
    height = 0;
    nav->CalculateBounds(width, height);
    EXPECT_EQ(width, needed + 45);
    EXPECT_GE(height, 1);
    Integer x = nav->ButtonViewInfo(0).Bounds.Left;
    for (Integer i = 0; i < 15; ++i) {
      const TRect& b = nav->ButtonViewInfo(i).Bounds;
      EXPECT_EQ(b.Left, x) << i;
      EXPECT_EQ(b.Width(), (i == 0 ? c.first : i == 14 ? c.last : c.middle) + 3) << i;
      x = b.Right;
    }
    // Too narrow an area grows to the needed width; hidden buttons take no room.
    width = 10;
    nav->CalculateBounds(width, height);
    EXPECT_EQ(width, needed);
    view->NavigatorButtons()->Insert()->SetVisible(false);
    view->NavigatorButtons()->Delete()->SetVisible(false);
    Pump();
    EXPECT_EQ(nav->ButtonCount(), 13);
    EXPECT_EQ(info->NavigatorSiteViewInfo()->Bounds.Width(),
              view->GetViewInfo()->NavigatorSiteViewInfo()->CalculateWidth());
    EXPECT_LT(view->GetViewInfo()->NavigatorSiteViewInfo()->Bounds.Width(), site.Width());
    view->NavigatorButtons()->Insert()->SetVisible(true);
    view->NavigatorButtons()->Delete()->SetVisible(true);
    Pump();
  }
}

// The enabled state of each button over the data's state and the control's state.
TEST_F(NavigatorTest, EnabledStatesFollowTheDataAndTheControl) {
  TcxGridDBTableView* view = Shown();
  auto* dc = view->DataController();
  struct Case {
    const char* name;
    std::function<void()> setUp;
    const char* states;  // First PriorPage Prior Next NextPage Last Insert Delete Edit Post Cancel Refresh
                         // SaveBookmark GotoBookmark Filter
  } cases[] = {
      {"at the first record", [&] { Focus(view, 0); }, "000111111001101"},
      {"in the middle", [&] { Focus(view, 12); }, "111111111001101"},
      {"at the last record", [&] { Focus(view, 29); }, "111000111001101"},
      {"editing", [&] { Focus(view, 12); dc->Edit(); }, "111111110111101"},
      {"after cancelling", [&] { dc->Cancel(); }, "111111111001101"},
      {"with a bookmark", [&] { ClickButton(view, NBDI_SAVEBOOKMARK); }, "111111111001111"},
      {"inserting switched off", [&] { view->TableOptionsData()->SetInserting(false); }, "111111011001111"},
      {"the button switched off", [&] { view->NavigatorButtons()->Next()->SetEnabled(false); }, "111011011001111"},
      {"the grid disabled", [&] { grid_->SetEnabled(false); }, "000000000000000"},
      {"the grid enabled again", [&] { grid_->SetEnabled(true); }, "111011011001111"},
      {"the data closed", [&] { ds_.Close(); }, "000000000000001"},
  };
  for (const Case& c : cases) {
    c.setUp();
    Pump();
    EXPECT_EQ(States(view), c.states) << c.name;
  }
}

// Each button acts on the view by a click; the view does not confirm deleting through the
// navigator (ConfirmDelete is False): only its own DeletingConfirmation asks.
TEST_F(NavigatorTest, EachButtonActsByAClick) {
  TcxGridDBTableView* view = Shown();
  auto* dc = view->DataController();
  EXPECT_FALSE(view->NavigatorButtons()->ConfirmDelete());
  const Integer page = view->GetController()->VisibleRecordCount();
  ASSERT_GT(page, 2);
  struct Case {
    Integer button;
    Integer from;
    Integer to;
  } moves[] = {{NBDI_FIRST, 10, 0},          {NBDI_PRIOR, 10, 9}, {NBDI_NEXT, 10, 11}, {NBDI_LAST, 3, 29},
               {NBDI_NEXTPAGE, 0, page - 1}, {NBDI_PRIORPAGE, 29, 29 - page + 1}};
  for (const Case& m : moves) {
    Focus(view, m.from);
    ClickButton(view, m.button);
    EXPECT_EQ(FocusedRow(view), m.to) << "button " << m.button;
  }

  Integer boxes = 0;
  Application->SetMessageBoxHook([&](const String&, const String&, UINT) {
    ++boxes;
    return Integer(IDOK);
  });
  Focus(view, 4);
  view->TableOptionsData()->SetDeletingConfirmation(false);
  ClickButton(view, NBDI_DELETE);
  EXPECT_EQ(boxes, 0);
  EXPECT_EQ(ds_.RecordCount(), 29);
  EXPECT_FALSE(ds_.Locate("Amount", Variant(4), {}));
  view->TableOptionsData()->SetDeletingConfirmation(true);
  ClickButton(view, NBDI_DELETE);
  EXPECT_EQ(boxes, 1) << "one confirmation: the view's own";
  EXPECT_EQ(ds_.RecordCount(), 28);
  Application->SetMessageBoxHook(nullptr);

  Focus(view, 0);
  ClickButton(view, NBDI_EDIT);
  EXPECT_EQ(ds_.State(), dsEdit);
  ds_.FieldByName("City")->SetAsString("Kyoto");
  ClickButton(view, NBDI_POST);
  EXPECT_EQ(ds_.State(), dsBrowse);
  EXPECT_EQ(ds_.FieldByName("City")->AsString(), "Kyoto");
  ClickButton(view, NBDI_EDIT);
  ds_.FieldByName("City")->SetAsString("Nara");
  ClickButton(view, NBDI_CANCEL);
  EXPECT_EQ(ds_.State(), dsBrowse);
  EXPECT_EQ(ds_.FieldByName("City")->AsString(), "Kyoto");
  ClickButton(view, NBDI_INSERT);
  EXPECT_EQ(ds_.State(), dsInsert);
  ClickButton(view, NBDI_CANCEL);
  EXPECT_EQ(ds_.RecordCount(), 28);

  ds_.AppendRow({Variant("Chile"), Variant("Arica"), Variant(100)});
  ClickButton(view, NBDI_REFRESH);
  EXPECT_EQ(dc->GetRecordCount(), 29) << "the refresh reads the appended row";

  Focus(view, 5);
  ClickButton(view, NBDI_SAVEBOOKMARK);
  Focus(view, 20);
  ClickButton(view, NBDI_GOTOBOOKMARK);
  EXPECT_EQ(FocusedRow(view), 5);

  Integer filterDialogs = 0;
  view->OnFilterCustomization = [&](TcxCustomGridTableView*, bool& done) {
    ++filterDialogs;
    done = true;
  };
  ClickButton(view, NBDI_FILTER);
  EXPECT_EQ(filterDialogs, 1);
}

// OnButtonClick comes first and may take the click over; a button's own handler replaces both.
// Clicks on disabled buttons do nothing.
TEST_F(NavigatorTest, ClickHandlersAndDisabledButtons) {
  TcxGridDBTableView* view = Shown();
  std::vector<Integer> clicked;
  bool take = false;
  view->NavigatorButtons()->OnButtonClick = [&](TObject* sender, Integer index, bool& done) {
    EXPECT_EQ(sender, view->NavigatorButtons());
    clicked.push_back(index);
    done = take;
  };
  Focus(view, 3);
  ClickButton(view, NBDI_NEXT);
  EXPECT_EQ(FocusedRow(view), 4);
  take = true;
  ClickButton(view, NBDI_NEXT);
  EXPECT_EQ(FocusedRow(view), 4) << "done in the handler";
  Integer own = 0;
  view->NavigatorButtons()->Next()->SetOnClick([&](TObject*) { ++own; });
  ClickButton(view, NBDI_NEXT);
  EXPECT_EQ(own, 1);
  EXPECT_EQ(clicked, (std::vector<Integer>{NBDI_NEXT, NBDI_NEXT}));

  Focus(view, 0);
  ClickButton(view, NBDI_PRIOR);
  ClickButton(view, NBDI_FIRST);
  EXPECT_EQ(clicked.size(), 2u) << "disabled buttons are not clicked";
  EXPECT_EQ(Nav(view)->PressedButton(), nullptr);
  EXPECT_FALSE(Nav(view)->PressTimer()->Enabled());
}

// Holding Next repeats at 400 ms and then every 100 ms, and the release over it clicks once
// more; First never repeats; a release outside the pressed button does not click it.
TEST_F(NavigatorTest, PriorAndNextRepeatWhileHeldAndReleaseOutsideDoesNotClick) {
  TcxGridDBTableView* view = Shown();
  const HWND site = view->Site()->Handle();
  Focus(view, 0);
  const POINT next = Center(ButtonBounds(view, NBDI_NEXT));
  S().MouseDown(site, next);
  EXPECT_EQ(FocusedRow(view), 0) << "a press alone does not click";
  EXPECT_EQ(Nav(view)->PressedButton(), view->NavigatorButtons()->Next());
  Advance(399);
  EXPECT_EQ(FocusedRow(view), 0);
  Advance(1);
  EXPECT_EQ(FocusedRow(view), 1);
  Advance(600);
  EXPECT_EQ(FocusedRow(view), 7) << "400 ms, then every 100 ms";
  S().MouseUp(site, next);
  EXPECT_EQ(FocusedRow(view), 8);
  Advance(1000);
  EXPECT_EQ(FocusedRow(view), 8) << "the release stops the repeat";

  // Prior repeats the same way.
  const POINT prior = Center(ButtonBounds(view, NBDI_PRIOR));
  S().MouseDown(site, prior);
  Advance(500);
  S().MouseUp(site, prior);
  EXPECT_EQ(FocusedRow(view), 5);

  Focus(view, 10);
  const POINT first = Center(ButtonBounds(view, NBDI_FIRST));
  S().MouseDown(site, first);
  Advance(1000);
  EXPECT_EQ(FocusedRow(view), 10) << "First does not repeat";
  S().MouseUp(site, first);
  EXPECT_EQ(FocusedRow(view), 0);

  // Pressed on Next, released over Last or over the records: no click.
  S().MouseDown(site, next);
  S().MoveMouse(site, Center(ButtonBounds(view, NBDI_LAST)));
  S().MouseUp(site, Center(ButtonBounds(view, NBDI_LAST)));
  EXPECT_EQ(FocusedRow(view), 0);
  S().MouseDown(site, next);
  S().MoveMouse(site, POINT{40, 40});
  Advance(600);
  EXPECT_EQ(FocusedRow(view), 0) << "no repeat while the mouse is off the button";
  S().MouseUp(site, POINT{40, 40});
  EXPECT_EQ(FocusedRow(view), 0);
  EXPECT_EQ(Nav(view)->PressedButton(), nullptr);
}

// An action that raises stops the repeat and passes the error on.
TEST_F(NavigatorTest, ARaisingActionStopsTheRepeat) {
  TcxGridDBTableView* view = Shown();
  view->NavigatorButtons()->OnButtonClick = [](TObject*, Integer, bool&) { throw Exception("no way on"); };
  const POINT next = Center(ButtonBounds(view, NBDI_NEXT));
  S().MouseDown(view->Site()->Handle(), next);
  TcxTimer* timer = Nav(view)->PressTimer();
  ASSERT_TRUE(timer->Enabled());
  EXPECT_THROW(timer->FireTimer(), Exception);
  EXPECT_FALSE(timer->Enabled());
  view->NavigatorButtons()->OnButtonClick = nullptr;
  S().MouseUp(view->Site()->Handle(), Center(ButtonBounds(view, NBDI_LAST)));
}

// Hints come through the application's hint window after the pause, below the cursor, with the
// text up to the first "|", and follow the mouse to the next button at once.
TEST_F(NavigatorTest, HintsBelowTheCursor) {
  TcxGridDBTableView* view = Shown();
  const HWND site = view->Site()->Handle();
  Focus(view, 5);
  TcxNavigatorViewInfo* nav = Nav(view);
  S().MoveMouse(site, Center(ButtonBounds(view, NBDI_NEXT)));
  Advance(600);
  EXPECT_EQ(nav->HintWindow(), nullptr) << "NavigatorHints is off";
  view->TableOptionsBehavior()->SetNavigatorHints(true);
  S().MoveMouse(site, POINT{40, 40});
  Advance(100);
  S().MoveMouse(site, Center(ButtonBounds(view, NBDI_NEXT)));
  Advance(499);
  EXPECT_EQ(nav->HintWindow(), nullptr);
  Advance(1);
  ASSERT_NE(nav->HintWindow(), nullptr);
  THintWindow* hint = nav->HintWindow();
  EXPECT_EQ(hint->Caption(), "Next record");
  EXPECT_EQ(hint->Color(), Application->HintColor());
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(hint->Left(), cursor.X);
  EXPECT_EQ(hint->Top(), cursor.Y + GetCursorHeightBelowHotSpot(GetCursor()));

  view->NavigatorButtons()->Last()->SetHint("To the end|Goes to the last record");
  S().MoveMouse(site, Center(ButtonBounds(view, NBDI_LAST)));
  ASSERT_NE(nav->HintWindow(), nullptr) << "a shown hint moves at once";
  EXPECT_EQ(nav->HintWindow()->Caption(), "To the end");
  S().MoveMouse(site, POINT{40, 40});
  Advance(100);  // the site notices the mouse leaving its navigator
  EXPECT_EQ(nav->HintWindow(), nullptr);

  view->NavigatorButtons()->First()->SetHint("|only the long part");
  S().MoveMouse(site, Center(ButtonBounds(view, NBDI_FIRST)));
  Advance(600);
  EXPECT_EQ(nav->HintWindow(), nullptr) << "nothing before the bar";
  S().MouseDown(site, Center(ButtonBounds(view, NBDI_NEXT)));
  EXPECT_EQ(nav->HintWindow(), nullptr);
  S().MouseUp(site, Center(ButtonBounds(view, NBDI_NEXT)));
}

// A button with an image index shows that image of the buttons' Images and measures it;
// without Images it keeps its default glyph.
TEST_F(NavigatorTest, ImageIndexWithAndWithoutImages) {
  TcxGridDBTableView* view = Shown(lfStandard);
  TcxNavigatorViewInfo* nav = Nav(view);
  auto paint = [&] {
    TcxCustomGridTableViewInfo* info = view->GetViewInfo();
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(info->NavigatorSiteViewInfo()->Bounds.Right + 2, info->NavigatorSiteViewInfo()->Bounds.Bottom + 2);
    TcxCanvas canvas(b.Canvas());
    canvas.PushDeviceState();
    nav->Paint(&canvas);  // the navigator leaves its rectangle out of the clip
    canvas.PopDeviceState();
    std::vector<TColor> pixels;
    const TRect r = ButtonBounds(view, NBDI_NEXT);
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x) pixels.push_back(b.Canvas()->Pixels(x, y));
    return pixels;
  };
  const Integer defaultWidth = ButtonBounds(view, NBDI_NEXT).Width();
  const std::vector<TColor> standard = paint();
  view->NavigatorButtons()->Next()->SetImageIndex(0);
  Pump();
  EXPECT_EQ(ButtonBounds(view, NBDI_NEXT).Width(), defaultWidth);
  EXPECT_EQ(paint(), standard) << "without Images the default glyph stays";

  TCustomImageList images(nullptr, 16, 16);
  TBitmap red;
  red.SetPixelFormat(pf24bit);
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(TColor(0x0000FF));
  red.Canvas()->FillRect(TRect(0, 0, 16, 16));
  images.AddMasked(&red, TColor(0x00FF00));
  view->NavigatorButtons()->SetImages(&images);
  Pump();
  EXPECT_EQ(ButtonBounds(view, NBDI_NEXT).Width(), defaultWidth + 4) << "16 pixels wide instead of 12";
  const std::vector<TColor> own = paint();
  EXPECT_EQ(std::count(own.begin(), own.end(), TColor(0x0000FF)), 16 * 16);
  EXPECT_EQ(ButtonBounds(view, NBDI_PRIOR).Width(), defaultWidth) << "buttons without an index keep theirs";
  view->NavigatorButtons()->SetImages(nullptr);
}

}  // namespace

// The navigator in each look and feel: the first record focused (first and prior disabled),
// a button hot in one and pressed in another.
TEST(NavigatorSheet, EachLookAndFeel) {
  testing_support::THeadlessSession session;
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 420, 5 * 110 + 40);
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Country", ftString, 20);
  ds.AddFieldDef("City", ftString, 20);
  for (int i = 0; i < 8; ++i) ds.AppendRow({Variant("Japan"), Variant("City" + std::to_string(i))});
  ds.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  struct Look {
    TcxLookAndFeelKind kind;
    bool native;
  } looks[] = {{lfFlat, false}, {lfStandard, false}, {lfUltraFlat, false}, {lfOffice11, false}, {lfStandard, true}};
  std::vector<TcxGridDBTableView*> views;
  for (int i = 0; i < 5; ++i) {
    auto* grid = new TcxGrid(form);
    grid->SetBounds(8, 8 + i * 110, 400, 100);
    grid->SetParent(form);
    grid->LookAndFeel()->SetKind(looks[i].kind);
    grid->LookAndFeel()->SetNativeStyle(looks[i].native);
    auto* view = static_cast<TcxGridDBTableView*>(grid->CreateView(TcxGridDBTableView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->GetDataController()->SetDataSource(&source);
    view->GetDataController()->CreateAllItems();
    view->TableOptionsView()->SetNavigator(true);
    view->TableOptionsView()->SetNavigatorOffset(20);
    views.push_back(view);
  }
  form->Show();
  session.Pump();
  auto center = [](TcxGridDBTableView* view, Integer index) {
    const TRect r = view->GetViewInfo()->NavigatorViewInfo()->ButtonViewInfo(index).Bounds;
    return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  for (TcxGridDBTableView* view : views) {
    ASSERT_TRUE(view->GetViewInfo()->IsNavigatorSiteShown());
    EXPECT_FALSE(view->GetViewInfo()->NavigatorViewInfo()->ButtonViewInfo(NBDI_PRIOR).Enabled);
    EXPECT_TRUE(view->GetViewInfo()->NavigatorViewInfo()->ButtonViewInfo(NBDI_NEXT).Enabled);
  }
  session.MoveMouse(views[2]->Site()->Handle(), center(views[2], NBDI_INSERT));
  EXPECT_EQ(views[2]->GetViewInfo()->NavigatorViewInfo()->HotButton(), views[2]->NavigatorButtons()->Insert());
  session.MouseDown(views[1]->Site()->Handle(), center(views[1], NBDI_LAST));
  EXPECT_EQ(views[1]->GetViewInfo()->NavigatorViewInfo()->PressedButton(), views[1]->NavigatorButtons()->Last());
  session.Snapshot(form->Handle(), "gridviews_navigator_lookandfeels.png");
  session.MouseUp(views[1]->Site()->Handle(), center(views[1], NBDI_LAST));
  form->Free();
}
