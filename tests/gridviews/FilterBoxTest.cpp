// The filter box bar in the table view: visibility modes, height, place among the parts, text,
// button placement, hit tests and the buttons' clicks by the real mouse; a sheet.
#include <gtest/gtest.h>

#include <cmath>

#include "TableViewTestSupport.h"
#include "editors-extra/cxFilterControlDialog.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "grid/cxGridCustomTableController.h"
#include "grid/cxGridFilterBox.h"
#include "grid/cxGridFilterPopup.h"
#include "gridviews/cxGridRows.h"

namespace {

// A view that offers recent filters on request and counts what its buttons open.
class TFilterBoxView : public TcxGridDBTableView {
  KORVAN_CLASS(TFilterBoxView, TcxGridDBTableView)

 public:
  using TcxGridDBTableView::TcxGridDBTableView;
  bool HasFilterMRUItems() override { return MRUItems; }
  void ShowFilterMRUItemsPopup() override { ++MRUPopups; }
  void ShowFilterCustomizeDialog() override { ++Dialogs; }
  bool MRUItems = false;
  Integer MRUPopups = 0, Dialogs = 0;
};
KORVAN_IMPLEMENT_CLASS(TFilterBoxView)

class FilterBoxFixture : public gridviewstest::GridFormFixture {
 protected:
  template <class V = TFilterBoxView>
  V* Shown() {
    grid_->LookAndFeel()->SetKind(lfUltraFlat);
    grid_->SetBounds(10, 10, 380, 260);
    TcxGridLevel* level = grid_->Levels()->Add();
    auto* v = static_cast<V*>(grid_->CreateView(V::StaticClass()));
    level->SetGridView(v);
    Bind(v, {{Variant("Japan"), Variant("Tokyo"), Variant(1)},
             {Variant("Japan"), Variant("Osaka"), Variant(2)},
             {Variant("France"), Variant("Paris"), Variant(3)}});
    ShowWithColumnWidth(v, 80);
    return v;
  }
  TcxGridFilterViewInfo* Bar(TcxGridTableView* v) { return v->GetViewInfo()->FilterViewInfo(); }
  TcxCustomGridFilterButtonViewInfo* Button(TcxGridTableView* v, Integer i) {
    return Bar(v)->ButtonsViewInfo()->Items(i);
  }
  void AddCondition(TcxGridTableView* v, const String& country = "Japan") {
    TcxDataFilterCriteria* filter = v->DataController()->Filter();
    filter->AddItem(nullptr, v->GetColumn(0), foEqual, country, country);
    filter->SetActive(true);
    Relayout(v);
  }
};

TEST_F(FilterBoxFixture, VisibilityModesAndHeight) {
  TFilterBoxView* v = Shown();
  TcxCustomLookAndFeelPainterClass painter = v->GetViewInfo()->GetLookAndFeelPainter();
  TcxStyleParams params;
  Bar(v)->GetViewParams(params);
  LazyScreenCanvas()->ApplyFont(params.Font);
  const Integer textHeight = LazyScreenCanvas()->MeasureTextHeight("Qq") + 4;
  const Integer customize = LazyScreenCanvas()->MeasureTextHeight("Customize...") + 4 + 2 * painter->ButtonFrameWidth();
  const Integer close = painter->FilterCloseButtonExtent().Y, activate = painter->FilterActivateButtonExtent().Y;
  struct Case {
    TcxGridFilterVisible mode;
    bool condition, customizeDialog;
    bool shown;
    Integer height;  // 0 when hidden
  } cases[] = {
      {fvNever, true, true, false, 0},
      {fvNonEmpty, false, true, false, 0},
      {fvNonEmpty, true, true, true, std::max({textHeight + 6, std::max({close, activate, customize}) + 8})},
      {fvNonEmpty, true, false, true, std::max(textHeight + 6, std::max(close, activate) + 8)},
      {fvAlways, false, true, true, std::max(textHeight + 6, customize + 8)},
      {fvAlways, false, false, true, textHeight + 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Integer(c.mode) * 100 + c.condition * 10 + c.customizeDialog);
    v->DataController()->Filter()->RemoveAllItems();
    v->FilterBox()->SetVisible(c.mode);
    v->FilterBox()->SetCustomizeDialog(c.customizeDialog);
    if (c.condition) AddCondition(v);
    Relayout(v);
    EXPECT_EQ(Bar(v)->Visible, c.shown);
    EXPECT_EQ(Bar(v)->Height(), c.height);
    // A hidden bar takes no room: the rows reach the view's bottom.
    const TRect whole = v->GetViewInfo()->TcxCustomGridViewInfo::GetClientBounds();
    EXPECT_EQ(v->GetViewInfo()->ClientBounds().Bottom, whole.Bottom - c.height);
    // The buttons that depend on a filter show only with one.
    EXPECT_EQ(Button(v, 0)->Visible, c.condition && c.shown);
    EXPECT_EQ(Button(v, 1)->Visible, c.condition && c.shown);
    EXPECT_EQ(Button(v, 2)->Visible, c.customizeDialog && c.shown);
    EXPECT_FALSE(Button(v, 3)->Visible);
  }
}

TEST_F(FilterBoxFixture, PlaceAmongThePartsTextAndButtons) {
  TFilterBoxView* v = Shown();
  v->GetOptionsView()->SetGroupByBox(true);
  v->GetOptionsView()->SetFooter(true);
  v->FilterBox()->SetVisible(fvAlways);
  Relayout(v);
  TcxGridTableViewInfo* info = v->GetViewInfo();
  // At the bottom: rows, footer, then the bar at the view's bottom edge.
  const TRect whole = info->TcxCustomGridViewInfo::GetClientBounds();
  EXPECT_EQ(Bar(v)->Bounds.Bottom, whole.Bottom);
  EXPECT_EQ(info->FooterViewInfo()->Bounds.Bottom, Bar(v)->Bounds.Top);
  EXPECT_EQ(Bar(v)->Bounds.Left, whole.Left);
  EXPECT_EQ(Bar(v)->Bounds.Right, whole.Right);
  EXPECT_EQ(Bar(v)->GetText(), "<Filter is Empty>");
  // At the top: group-by box, bar, header.
  v->FilterBox()->SetPosition(fpTop);
  Relayout(v);
  EXPECT_EQ(info->GroupByBoxViewInfo()->Bounds.Bottom, Bar(v)->Bounds.Top);
  EXPECT_EQ(Bar(v)->Bounds.Bottom, info->HeaderViewInfo()->Bounds.Top);
  EXPECT_EQ(info->FooterViewInfo()->Bounds.Bottom, whole.Bottom);

  // With a condition and recent filters: close and activate at the left, customize at the
  // right edge, the drop-down 9 pixels after a short text.
  v->MRUItems = true;
  AddCondition(v);
  const TRect bar = Bar(v)->Bounds;
  EXPECT_EQ(Bar(v)->GetText(), v->DataController()->Filter()->FilterCaptionText());
  // The condition names its column by the column's caption.
  EXPECT_EQ(Bar(v)->GetText(), "(" + v->GetColumn(0)->Caption() + " = Japan)");
  TcxCustomGridFilterButtonViewInfo* close = Button(v, 0);
  TcxCustomGridFilterButtonViewInfo* activate = Button(v, 1);
  TcxCustomGridFilterButtonViewInfo* customize = Button(v, 2);
  TcxCustomGridFilterButtonViewInfo* dropDown = Button(v, 3);
  for (TcxCustomGridFilterButtonViewInfo* b : {close, activate, customize, dropDown}) {
    ASSERT_TRUE(b->Visible);
    const Integer top = Integer(std::lround((bar.Top + bar.Bottom - b->Bounds.Height()) / 2.0));
    EXPECT_EQ(b->Bounds.Top, top);
    EXPECT_EQ(b->Bounds.Width(), b->GetSize().X);
    EXPECT_EQ(b->Bounds.Height(), b->GetSize().Y);
  }
  EXPECT_EQ(close->Bounds.Left, bar.Left + 4);
  EXPECT_EQ(activate->Bounds.Left, close->Bounds.Right + 4);
  EXPECT_EQ(customize->Bounds.Right, bar.Right - 4);
  const TRect text = Bar(v)->GetTextAreaBounds();
  EXPECT_EQ(text.Left, bar.Left + 2 + (close->Bounds.Width() + 4 + activate->Bounds.Width() + 4 + 4) + 3);
  EXPECT_EQ(dropDown->Bounds.Left, Bar(v)->TextRight() + 9);
  EXPECT_LT(dropDown->Bounds.Right, customize->Bounds.Left - 4);
  // A long text leaves the drop-down at the right, beside the customize button.
  for (const char* c : {"Lithuania", "Liechtenstein", "Luxembourg", "Madagascar"}) {
    v->DataController()->Filter()->AddItem(nullptr, v->GetColumn(1), foEqual, String(c), String(c));
  }
  Relayout(v);
  EXPECT_EQ(Button(v, 3)->Bounds.Right, Button(v, 2)->Bounds.Left - 4);
  // Hit tests: the buttons, then the bar.
  struct Hit {
    TcxCustomGridFilterButtonViewInfo* button;
    Integer code;
  } hits[] = {{Button(v, 0), 103}, {Button(v, 1), 102}, {Button(v, 3), 104}, {Button(v, 2), 105}};
  for (const Hit& h : hits) {
    const TRect b = h.button->Bounds;
    EXPECT_EQ(info->GetHitTest(b.Left + 2, b.Top + 2)->GetHitTestCode(), h.code);
  }
  EXPECT_EQ(info->GetHitTest(Bar(v)->GetTextAreaBounds().Left + 5, Bar(v)->Bounds.Top + 2)->GetHitTestCode(), 101);
}

TEST_F(FilterBoxFixture, ButtonsActOnRealClicks) {
  TFilterBoxView* v = Shown();
  v->MRUItems = true;
  AddCondition(v);
  HWND site = v->Site()->Handle();
  TcxDataFilterCriteria* filter = v->DataController()->Filter();
  auto clickButton = [&](Integer i) {
    const TRect b = Button(v, i)->Bounds;
    Advance(1000);
    S().Click(site, POINT{b.Left + b.Width() / 2, b.Top + b.Height() / 2});
    Pump();
  };
  EXPECT_EQ(v->DataController()->FilteredRecordCount(), 2);
  // Activate: off and on again, the conditions kept.
  clickButton(1);
  EXPECT_FALSE(filter->Active());
  EXPECT_FALSE(filter->IsEmpty());
  EXPECT_EQ(v->DataController()->FilteredRecordCount(), 3);
  clickButton(1);
  EXPECT_TRUE(filter->Active());
  // The customize and drop-down buttons and a press on the text reach the view's hooks.
  clickButton(2);
  EXPECT_EQ(v->Dialogs, 1);
  clickButton(3);
  EXPECT_EQ(v->MRUPopups, 1);
  Advance(1000);
  S().Click(site, POINT{Bar(v)->GetTextAreaBounds().Left + 3, (Bar(v)->Bounds.Top + Bar(v)->Bounds.Bottom) / 2});
  Pump();
  EXPECT_EQ(v->MRUPopups, 2);
  // Close: every condition goes and the bar with them.
  clickButton(0);
  EXPECT_TRUE(filter->IsEmpty());
  EXPECT_FALSE(Bar(v)->Visible);
  EXPECT_EQ(v->DataController()->FilteredRecordCount(), 3);
}

// Without hooks of its own the view's drop-down button opens the controller's drop-down of
// recent filters under it, and the customize button the filter customization for the whole
// filter (here answered by the view's handler, so no dialog shows).
TEST_F(FilterBoxFixture, ButtonsOpenTheRecentFiltersAndTheCustomization) {
  auto* v = Shown<TcxGridDBTableView>();
  AddCondition(v, "France");
  v->Filtering()->AddToMRU();
  v->DataController()->Filter()->RemoveAllItems();
  AddCondition(v, "Japan");
  v->Filtering()->AddToMRU();
  Relayout(v);
  ASSERT_TRUE(v->Filtering()->IsMRUItemsListAvailable());
  ASSERT_TRUE(Button(v, 3)->Visible);
  HWND site = v->Site()->Handle();
  auto clickButton = [&](Integer i) {
    const TRect b = Button(v, i)->Bounds;
    Advance(1000);
    S().Click(site, POINT{b.Left + b.Width() / 2, b.Top + b.Height() / 2});
    Pump();
  };
  auto* controller = static_cast<TcxCustomGridTableController*>(v->Controller());
  clickButton(3);
  ASSERT_TRUE(controller->HasFilterMRUItemsPopup());
  TcxGridFilterMRUItemsPopup* popup = controller->FilterMRUItemsPopup();
  ASSERT_TRUE(popup->PopupVisible());
  EXPECT_EQ(popup->PopupOwner(), Button(v, 3));
  EXPECT_EQ(popup->ListBox()->Items()->Count(), 1);  // the France filter, not the current one
  popup->ClosePopup();
  Pump();
  std::vector<TcxCustomGridTableItem*> asked;
  v->OnFilterDialogShow = [&](TcxCustomGridTableView*, TcxCustomGridTableItem* item, bool& done) {
    asked.push_back(item);
    done = true;
  };
  clickButton(2);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], nullptr);
  // Without the handler the filter builder opens for the whole filter.
  v->OnFilterDialogShow = nullptr;
  String rows;
  SetDialogShowHook([&](TCustomForm* d) {
    auto* builder = dynamic_cast<TfmFilterControlDialog*>(d);
    ASSERT_NE(builder, nullptr);
    for (TcxCustomRowViewInfo* row : builder->FilterControl()->RowList())
      if (!row->IsGroup()) rows += static_cast<TcxConditionViewInfo*>(row)->ItemText() + ";";
    S().Backend().OnIdle([&, builder] { S().Click(builder->btCancel->Handle(), {5, 5}); });
  });
  clickButton(2);
  SetDialogShowHook(nullptr);
  EXPECT_EQ(rows, "Country;");
}

// A partly shown last row reaches into the bar at the bottom; the bar stays on top of it (the
// rows, painted after the bar, covered its text).
TEST_F(FilterBoxFixture, APartlyShownRowDoesNotPaintOverTheBar) {
  grid_->LookAndFeel()->SetKind(lfUltraFlat);
  grid_->SetBounds(10, 10, 380, 200);
  auto* v = static_cast<TFilterBoxView*>(grid_->CreateView(TFilterBoxView::StaticClass()));
  grid_->Levels()->Add()->SetGridView(v);
  std::vector<std::vector<Variant>> rows(40, {Variant("Japan"), Variant("Tokyo"), Variant(1)});
  Bind(v, rows);
  ShowWithColumnWidth(v, 80);
  v->GetOptionsView()->SetGridLineColor(clRed);
  AddCondition(v);
  TcxCustomGridRecordsViewInfo* records = v->GetViewInfo()->RecordsViewInfo();
  const TRect last = records->Items(records->Count() - 1)->Bounds;
  const TRect bar = Bar(v)->Bounds;
  ASSERT_GT(last.Bottom, bar.Top + 2);
  form_->Repaint();
  Pump();
  // The row's bottom grid line would be red inside the bar.
  HDC dc = GetDC(v->Site()->Handle());
  EXPECT_NE(GetPixel(dc, bar.Left + 100, last.Bottom - 1), ColorToRGB(clRed));
  ReleaseDC(v->Site()->Handle(), dc);
}

}  // namespace

TEST(FilterBoxSheet, TheBarInThreeLooks) {
  testing_support::THeadlessSession session;
  InitializeADODB();
  InitializeCxGridDBTableView();
  auto* form = new TForm(Application);
  form->SetBounds(0, 0, 460, 3 * 130 + 40);
  TMemDataSet ds(nullptr);
  ds.AddFieldDef("Country", ftString, 20);
  ds.AddFieldDef("City", ftString, 20);
  ds.AppendRow({Variant("Japan"), Variant("Tokyo")});
  ds.AppendRow({Variant("France"), Variant("Paris")});
  ds.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&ds);
  const TcxLookAndFeelKind kinds[] = {lfUltraFlat, lfStandard, lfOffice11};
  std::vector<TFilterBoxView*> views;
  for (int i = 0; i < 3; ++i) {
    auto* grid = new TcxGrid(form);
    grid->SetBounds(8, 8 + i * 130, 430, 120);
    grid->SetParent(form);
    grid->LookAndFeel()->SetKind(kinds[i]);
    auto* view = static_cast<TFilterBoxView*>(grid->CreateView(TFilterBoxView::StaticClass()));
    grid->Levels()->Add()->SetGridView(view);
    view->GetDataController()->SetDataSource(&source);
    view->GetDataController()->CreateAllItems();
    view->MRUItems = i != 1;
    view->FilterBox()->SetVisible(fvAlways);
    if (i == 2) view->FilterBox()->SetPosition(fpTop);
    if (i != 1) {
      view->DataController()->Filter()->AddItem(nullptr, view->GetColumn(0), foEqual, "Japan", "Japan");
      view->DataController()->Filter()->SetActive(i == 0);
    }
    views.push_back(view);
  }
  form->Show();
  session.Pump();
  // An active and an inactive filter name the column; the middle grid has none.
  const char* texts[] = {"(Country = Japan)", "<Filter is Empty>", "(Country = Japan)"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(views[i]->GetViewInfo()->FilterViewInfo()->Visible);
    EXPECT_EQ(views[i]->GetViewInfo()->FilterViewInfo()->GetText(), texts[i]);
  }
  session.Snapshot(form->Handle(), "gridviews_filter_box.png");
  form->Free();
}
