// The table view's customization form (its bounds, its list of hidden columns, hiding while the
// application is minimised, closing with the view, columns dragged from it into the header and
// from the header onto it) and the columns quick customization popup (sizing, checks, Esc).
#include <gtest/gtest.h>

#include "TableViewTestSupport.h"
#include "gridviews/cxGridTableCustomization.h"
#include "gridviews/cxGridTableViewDragDrop.h"

namespace {

class CustomizationFixture : public gridviewstest::GridFormFixture {
 protected:
  TcxGridDBTableView* Shown() {
    TcxGridDBTableView* v = AddView();
    Bind(v, {{Variant("Japan"), Variant("Tokyo"), Variant(10)}, {Variant("France"), Variant("Paris"), Variant(7)}});
    ShowWithColumnWidth(v, 60);
    v->OnColumnPosChanged = [this](TcxGridTableView*, TcxGridColumn*) { ++posChanged_; };
    return v;
  }
  TcxGridTableController* Controller(TcxGridTableView* v) { return static_cast<TcxGridTableController*>(v->Controller()); }
  TcxGridTableCustomizationForm* Form(TcxGridTableView* v) {
    return dynamic_cast<TcxGridTableCustomizationForm*>(Controller(v)->CustomizationForm());
  }
  std::vector<String> Listed(TcxGridTableView* v) {
    std::vector<String> r;
    TStrings* items = Form(v)->ItemsListBox()->Items();
    for (Integer i = 0; i < items->Count(); ++i) r.push_back(items->Strings(i));
    return r;
  }
  TPoint SiteToScreen(TcxGridTableView* v, const TPoint& p) { return v->Site()->ClientToScreen(p); }
  Integer posChanged_ = 0;
};

TEST_F(CustomizationFixture, FormOpensBelowTheHeaderFirstAndWhereItWasLeftLater) {
  TcxGridDBTableView* v = Shown();
  v->ShowCustomizationForm();
  Pump();
  TcxGridTableCustomizationForm* form = Form(v);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->Caption(), "Customization");
  EXPECT_EQ(form->ItemsPage()->Caption(), "Columns");
  // 180 x 300 with its bottom-right corner at the site's, moved down below the headers.
  const TRect site = v->Site()->ClientRect();
  const TPoint corner = SiteToScreen(v, site.BottomRight());
  const Integer headerBottom = SiteToScreen(v, TPoint(0, v->GetViewInfo()->HeaderViewInfo()->Bounds.Bottom)).Y;
  const TRect first = form->BoundsRect();
  EXPECT_EQ(first.Width(), 180);
  EXPECT_EQ(first.Right, corner.X);
  EXPECT_EQ(first.Top, std::max(corner.Y - 300, headerBottom));
  // Moved by the user, closed, opened again: where it was left.
  form->SetBounds(20, 30, 200, 260);
  v->Controller()->SetCustomization(false);
  EXPECT_EQ(Form(v), nullptr);
  v->ShowCustomizationForm();
  Pump();
  ASSERT_NE(Form(v), nullptr);
  EXPECT_EQ(Form(v)->BoundsRect(), TRect(20, 30, 220, 290));
  // Closing the form by its window switches the customization off.
  Form(v)->Close();
  Pump();
  EXPECT_FALSE(v->Controller()->Customization());
  EXPECT_EQ(Form(v), nullptr);
}

TEST_F(CustomizationFixture, ListHoldsHiddenMovableColumnsSortedAndFollowsTheView) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* country = v->GetColumn(0);
  TcxGridColumn* city = v->GetColumn(1);
  TcxGridColumn* amount = v->GetColumn(2);
  v->ShowCustomizationForm();
  Pump();
  EXPECT_TRUE(Listed(v).empty());
  amount->SetVisible(false);
  country->SetVisible(false);
  EXPECT_EQ(Listed(v), (std::vector<String>{"Amount", "Country"}));
  // Neither a column that cannot move nor a hidden one is listed.
  amount->GetOptions()->SetMoving(false);
  EXPECT_EQ(Listed(v), (std::vector<String>{"Country"}));
  country->SetHidden(true);
  EXPECT_TRUE(Listed(v).empty());
  city->SetVisible(false);
  EXPECT_EQ(Listed(v), (std::vector<String>{"City"}));
  // The page's tab shows only while columns may move.
  EXPECT_TRUE(Form(v)->ItemsPage()->TabVisible());
  v->Controller()->SetCustomization(false);
  v->GetOptionsCustomize()->SetItemMoving(false);
  v->ShowCustomizationForm();
  Pump();
  EXPECT_FALSE(Form(v)->ItemsPage()->TabVisible());
}

TEST_F(CustomizationFixture, FormHidesWhileMinimisedAndClosesWithTheView) {
  TcxGridDBTableView* v = Shown();
  v->ShowCustomizationForm();
  Pump();
  TcxGridTableCustomizationForm* form = Form(v);
  ASSERT_NE(form, nullptr);
  form_->SetWindowState(wsMinimized);
  Advance(150);
  Pump();
  ASSERT_EQ(Form(v), form);
  EXPECT_FALSE(form->Visible());
  form_->SetWindowState(wsNormal);
  Advance(150);
  Pump();
  EXPECT_TRUE(form->Visible());
  // The grid hidden: the next check switches the customization off and frees the form.
  TWeakRef<TcxGridTableCustomizationForm> weak(form);
  grid_->SetVisible(false);
  Advance(150);
  Pump();
  EXPECT_FALSE(v->Controller()->Customization());
  EXPECT_EQ(Form(v), nullptr);
  Pump();
  EXPECT_FALSE(weak);
}

TEST_F(CustomizationFixture, ColumnDraggedFromTheListIntoTheHeaderShowsThere) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* amount = v->GetColumn(2);
  amount->SetVisible(false);
  v->ShowCustomizationForm();
  Pump();
  TcxGridTableColumnsListBox* list = static_cast<TcxGridTableColumnsListBox*>(Form(v)->ItemsListBox());
  ASSERT_EQ(Listed(v), (std::vector<String>{"Amount"}));
  posChanged_ = 0;
  const TRect item = list->ItemRect(0);
  const TPoint from = list->ClientToScreen(TPoint(item.Left + 10, (item.Top + item.Bottom) / 2));
  // The zone in front of the first header.
  const TRect first = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0)->Bounds;
  const TPoint to = SiteToScreen(v, TPoint(first.Left + 3, (first.Top + first.Bottom) / 2));
  S().MouseDownAt(POINT{from.X, from.Y});
  Pump();
  for (int i = 1; i <= 4; ++i)
    S().MoveMouseTo(POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
  Pump();
  auto* moving = dynamic_cast<TcxGridColumnHeaderMovingObject*>(v->Site()->DragOperation());
  ASSERT_NE(moving, nullptr);
  EXPECT_TRUE(moving->IsDraggedFromCustomizationForm());
  EXPECT_TRUE(moving->ImageShown());
  EXPECT_TRUE(moving->ArrowsShown());
  S().MouseUpAt(POINT{to.X, to.Y});
  Pump();
  EXPECT_TRUE(amount->Visible());
  EXPECT_EQ(amount->Index(), 0);
  EXPECT_EQ(posChanged_, 1);
  EXPECT_TRUE(Listed(v).empty());
}

TEST_F(CustomizationFixture, EscCancelsADragFromTheList) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* amount = v->GetColumn(2);
  amount->SetVisible(false);
  v->ShowCustomizationForm();
  Pump();
  TcxCustomGridTableItemsListBox* list = Form(v)->ItemsListBox();
  const TRect item = list->ItemRect(0);
  const TPoint from = list->ClientToScreen(TPoint(item.Left + 10, (item.Top + item.Bottom) / 2));
  const TRect first = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0)->Bounds;
  const TPoint to = SiteToScreen(v, TPoint(first.Left + 3, (first.Top + first.Bottom) / 2));
  S().MouseDownAt(POINT{from.X, from.Y});
  for (int i = 1; i <= 4; ++i)
    S().MoveMouseTo(POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
  Pump();
  ASSERT_NE(v->Site()->DragOperation(), nullptr);
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(v->Site()->DragOperation(), nullptr);
  S().MouseUpAt(POINT{to.X, to.Y});
  Pump();
  EXPECT_FALSE(amount->Visible());
  EXPECT_EQ(Listed(v), (std::vector<String>{"Amount"}));
}

struct TOntoFormCase {
  const char* name;
  bool alone;   // the only visible column (it cannot be hidden)
  bool hidden;  // the column is hidden by the drop
};

TEST_F(CustomizationFixture, HeaderDroppedOnTheFormHidesItWhenTheColumnMayHide) {
  const TOntoFormCase cases[] = {{"may hide", false, true}, {"the last visible column", true, false}};
  TcxGridDBTableView* v = Shown();
  v->ShowCustomizationForm();
  Pump();
  TcxGridColumn* city = v->GetColumn(1);
  for (const TOntoFormCase& c : cases) {
    SCOPED_TRACE(c.name);
    Advance(1000);
    city->SetVisible(true);
    v->GetColumn(0)->SetVisible(!c.alone);
    v->GetColumn(2)->SetVisible(!c.alone);
    Relayout(v);
    const size_t listedBefore = Listed(v).size();
    const TRect header = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(city->VisibleIndex())->Bounds;
    const TPoint from = SiteToScreen(v, TPoint(header.Left + 10, (header.Top + header.Bottom) / 2));
    const TRect form = Form(v)->BoundsRect();
    const TPoint to(form.Left + form.Width() / 2, form.Top + form.Height() / 2);
    S().MouseDownAt(POINT{from.X, from.Y});
    for (int i = 1; i <= 4; ++i)
      S().MoveMouseTo(POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
    Pump();
    auto* moving = dynamic_cast<TcxGridColumnHeaderMovingObject*>(v->Site()->DragOperation());
    ASSERT_NE(moving, nullptr);
    EXPECT_EQ(moving->DestinationAreaKind, c.alone ? ickNone : ickCustomizationForm);
    EXPECT_FALSE(moving->ArrowsShown());
    S().MouseUpAt(POINT{to.X, to.Y});
    Pump();
    EXPECT_EQ(city->Visible(), !c.hidden);
    EXPECT_EQ(Listed(v).size(), listedBefore + (c.hidden ? 1 : 0));
  }
}

// ---- quick customization popup ----------------------------------------------------------------------

class QuickCustomizationFixture : public CustomizationFixture {
 protected:
  TcxGridColumnsCustomizationPopup* Popup(TcxGridTableView* v) {
    auto* popup = dynamic_cast<TcxGridColumnsCustomizationPopup*>(Controller(v)->ItemsCustomizationPopup());
    return popup;
  }
  // Columns beyond the three bound ones, with captions C4...
  void AddColumns(TcxGridTableView* v, Integer total) {
    for (Integer i = v->GetColumnCount(); i < total; ++i) v->CreateItem()->SetCaption("C" + IntToStr(i + 1));
    Relayout(v);
  }
};

struct TQuickSizeCase {
  Integer columns, maxDropDown, rows;
  bool scrollBar;
};

TEST_F(QuickCustomizationFixture, PopupShowsTheMaximumRowsAndAScrollBarOnlyWhenCut) {
  const TQuickSizeCase cases[] = {{20, 8, 8, true}, {5, 8, 5, false}, {20, 0, 20, false}};
  TcxGridDBTableView* v = Shown();
  for (const TQuickSizeCase& c : cases) {
    SCOPED_TRACE(c.columns);
    AddColumns(v, c.columns);
    while (v->GetColumnCount() > c.columns) v->GetColumn(v->GetColumnCount() - 1)->Free();
    v->GetOptionsCustomize()->SetItemsQuickCustomizationMaxDropDownCount(c.maxDropDown);
    TcxGridColumnsCustomizationPopup* popup = Popup(v);
    popup->PopupShow();
    Pump();
    ASSERT_TRUE(popup->PopupVisible());
    TcxCheckListBox* list = popup->CheckListBox();
    EXPECT_EQ(list->CheckItems()->Count(), c.columns);
    TRect frame;
    list->FrameExtent(frame);
    EXPECT_EQ(ListRowsAreaSize(list).cy, list->GetHeightForRows(c.rows) - frame.Top - frame.Bottom);
    const Integer expectedWidth = list->GetMaxItemWidth() - frame.Left - frame.Right +
                                  (c.scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    EXPECT_EQ(ListRowsAreaSize(list).cx, expectedWidth);
    popup->ClosePopup();
    EXPECT_EQ(list->CheckItems()->Count(), 0);  // closing empties the list
  }
}

TEST_F(QuickCustomizationFixture, ChecksShowAndHideColumnsAndEscClosesWithoutChanges) {
  TcxGridDBTableView* v = Shown();
  TcxGridColumn* city = v->GetColumn(1);
  v->GetColumn(2)->SetHidden(true);  // a hidden column is not offered
  TcxGridColumnsCustomizationPopup* popup = Popup(v);
  popup->PopupShow();
  Pump();
  TcxCheckListBox* list = popup->CheckListBox();
  ASSERT_EQ(list->CheckItems()->Count(), 2);
  EXPECT_EQ(list->CheckItems()->Item(1)->Text(), "City");
  EXPECT_TRUE(list->CheckItems()->Item(1)->Checked());
  posChanged_ = 0;
  list->InnerCheckListBox()->ToggleItem(1);
  EXPECT_FALSE(city->Visible());
  EXPECT_EQ(posChanged_, 1);
  EXPECT_TRUE(popup->PopupVisible());
  ASSERT_EQ(list->CheckItems()->Count(), 2);
  EXPECT_FALSE(list->CheckItems()->Item(1)->Checked());
  list->InnerCheckListBox()->ToggleItem(1);
  EXPECT_TRUE(city->Visible());
  EXPECT_EQ(posChanged_, 2);
  // Esc in the list closes the popup; nothing else changes.
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(popup->PopupVisible());
  EXPECT_TRUE(city->Visible());
  EXPECT_EQ(posChanged_, 2);
}

// The indicator's header item opens the quick customization popup by a real press, only
// with the quick customization on, and stays open while columns are checked.
TEST_F(QuickCustomizationFixture, IndicatorHeaderPressOpensThePopup) {
  TcxGridDBTableView* v = Shown();
  v->GetOptionsView()->SetIndicator(true);
  Relayout(v);
  HWND site = v->Site()->Handle();
  auto pressHeader = [&] {
    const TRect b = v->GetViewInfo()->IndicatorViewInfo()->HeaderItem()->Bounds;
    const POINT p{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
    Advance(1000);
    S().MoveMouse(site, POINT{p.X + 20, p.Y});
    S().MoveMouse(site, p);
    Pump();
    S().Click(site, p);
    Pump();
  };
  pressHeader();
  EXPECT_FALSE(Controller(v)->HasItemsCustomizationPopup());
  v->GetOptionsCustomize()->SetItemsQuickCustomization(true);
  Relayout(v);
  pressHeader();
  ASSERT_TRUE(Controller(v)->HasItemsCustomizationPopup());
  TcxGridColumnsCustomizationPopup* popup = Popup(v);
  ASSERT_TRUE(popup->PopupVisible());
  EXPECT_EQ(popup->PopupOwner(), v->GetViewInfo()->IndicatorViewInfo()->HeaderItem());
  // A check relays the view out; the popup stays open.
  popup->CheckListBox()->InnerCheckListBox()->ToggleItem(1);
  Relayout(v);
  Pump();
  EXPECT_FALSE(v->GetColumn(1)->Visible());
  EXPECT_TRUE(popup->PopupVisible());
  popup->ClosePopup();
}

// Sheets: the customization form beside the grid with its filter drop-down open, and the
// quick customization popup.
TEST_F(QuickCustomizationFixture, SheetOfTheFormAndThePopups) {
  TcxGridDBTableView* v = Shown();
  v->GetColumn(2)->SetVisible(false);
  AddColumns(v, 5);
  v->GetColumn(3)->SetVisible(false);
  v->Controller()->SetCustomizationFormBounds(TRect(330, 110, 480, 310));
  v->ShowCustomizationForm();
  Pump();
  auto* filter = static_cast<TcxCustomGridTableController*>(v->Controller())->FilterPopup();
  // Pressed with the real mouse on the Country header's filter button.
  TcxGridColumnHeaderViewInfo* header = v->GetViewInfo()->HeaderViewInfo()->GetItemViewInfo(0);
  TRect button;
  for (Integer i = 0; i < header->AreaViewInfoCount(); ++i)
    if (dynamic_cast<TcxGridColumnHeaderFilterButtonViewInfo*>(header->AreaViewInfo(i))) button = header->AreaViewInfo(i)->Bounds;
  const POINT at{(button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2};
  S().MoveMouse(v->Site()->Handle(), POINT{at.X - 20, at.Y});
  S().MoveMouse(v->Site()->Handle(), at);
  S().MouseDown(v->Site()->Handle(), at);
  Pump();
  ASSERT_TRUE(filter->PopupVisible());
  S().SnapshotScreen("gridviews_customization_form_filter.png");
  filter->ClosePopup();
  TcxGridColumnsCustomizationPopup* popup = Popup(v);
  popup->PopupShow();
  Pump();
  ASSERT_TRUE(popup->PopupVisible());
  S().SnapshotScreen("gridviews_quick_customization.png");
}

}  // namespace
