// The card view: option clamps, the rows a card shows, card placement in both layout
// directions, separators with their hit areas and cursor, rows moved and hidden by dragging
// their captions, the rows customization form, and sheets in each look and feel.
#include <gtest/gtest.h>

#include <memory>

#include "db/MemDataSet.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "grid/cxGridDBDataDefinitions.h"
#include "gridviews/cxGridCardView.h"
#include "editors/cxTextEdit.h"
#include "gridviews/cxGridCardViewDragDrop.h"
#include "rtl/Classes.h"
#include "rtl/SysUtils.h"
#include "rtl/Variants.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {

class CardViewTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxGridCardView();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 760, 560);
    grid_ = new TcxGrid(form_);
    grid_->SetName("Grid1");
    grid_->SetBounds(10, 10, 700, 480);
    grid_->SetParent(form_);
    view_ = static_cast<TcxGridCardView*>(grid_->CreateView(TcxGridCardView::StaticClass()));
    view_->SetName("Cards1");
    grid_->Levels()->Add()->SetGridView(view_);
    for (const char* caption : {"Name", "City", "Amount"}) view_->CreateRow()->SetCaption(caption);
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  void Fill(Integer records) {
    TcxCustomDataController* dc = view_->DataController();
    dc->BeginUpdate();
    dc->SetRecordCount(records);
    for (Integer r = 0; r < records; ++r) {
      dc->SetValue(r, 0, Variant("Person " + IntToStr(r)));
      dc->SetValue(r, 1, r % 3 == 1 ? Null() : Variant("Town " + IntToStr(r % 5)));
      dc->SetValue(r, 2, Variant(r * 10));
    }
    dc->EndUpdate();
  }
  TcxGridCardsViewInfo* Show() {
    form_->Show();
    Pump();
    return view_->GetViewInfo()->GetCardsViewInfo();
  }
  void Relayout() {
    view_->QueueLayoutChange();
    Pump();
  }
  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
  TcxGridCardView* view_ = nullptr;
};

TEST_F(CardViewTest, OptionClampsAndTheStoredCardWidth) {
  TcxGridCardViewOptionsView* o = view_->GetOptionsView();
  struct Case {
    const char* name;
    std::function<void(Integer)> set;
    std::function<Integer()> get;
    Integer value, stored;
  };
  const Case cases[] = {
      {"CardWidth", [o](Integer v) { o->SetCardWidth(v); }, [o] { return o->CardWidth(); }, 10, 40},
      {"CardWidth kept", [o](Integer v) { o->SetCardWidth(v); }, [o] { return o->CardWidth(); }, 41, 41},
      {"CardBorderWidth", [o](Integer v) { o->SetCardBorderWidth(v); }, [o] { return o->CardBorderWidth(); }, 0, 1},
      {"CardBorderWidth negative", [o](Integer v) { o->SetCardBorderWidth(v); }, [o] { return o->CardBorderWidth(); }, -4, 1},
      {"CaptionWidth", [o](Integer v) { o->SetCaptionWidth(v); }, [o] { return o->CaptionWidth(); }, -5, 0},
      {"SeparatorWidth", [o](Integer v) { o->SetSeparatorWidth(v); }, [o] { return o->SeparatorWidth(); }, -1, 0},
  };
  for (const Case& c : cases) {
    c.set(c.value);
    EXPECT_EQ(c.get(), c.stored) << c.name;
  }
  std::unique_ptr<TStringList> names(new TStringList());
  view_->GetStoredProperties(names.get());
  EXPECT_EQ(names->Strings(0), "CardWidth");
  view_->SetStoredPropertyValue("CardWidth", Variant(20));
  Variant v;
  view_->GetStoredPropertyValue("CardWidth", v);
  EXPECT_EQ(v.AsInteger(), 40);
  EXPECT_EQ(view_->GetCustomizationCaption(), "Rows customization");
  // An edited layout brings its card width back.
  auto* copy = static_cast<TcxGridCardView*>(grid_->CreateView(TcxGridCardView::StaticClass()));
  copy->GetOptionsView()->SetCardWidth(333);
  view_->EditLayout(copy);
  EXPECT_EQ(view_->GetOptionsView()->CardWidth(), 333);
  EXPECT_GE(GridRegisteredViews()->IndexOfClass(TcxGridCardView::StaticClass()), 0);
}

TEST_F(CardViewTest, RowsACardShows) {
  Fill(3);
  TcxGridCardViewViewData* data = view_->GetViewData();
  ASSERT_EQ(data->GetCardCount(), 3);
  TcxGridCard* card = data->GetCard(1);  // its City is Null
  std::vector<TcxGridCardViewRow*> rows;
  card->GetVisibleRows(rows);
  EXPECT_EQ(rows.size(), 3u);
  view_->GetOptionsView()->SetEmptyRows(false);
  card->GetVisibleRows(rows);
  EXPECT_EQ(rows, (std::vector<TcxGridCardViewRow*>{view_->GetRow(0), view_->GetRow(2)}));
  data->GetCard(0)->GetVisibleRows(rows);
  EXPECT_EQ(rows.size(), 3u);
  // A caption row: never focusable, shown in a collapsed card, where data rows are not.
  view_->GetRow(0)->SetKind(rkCaption);
  EXPECT_FALSE(view_->GetRow(0)->CanFocus(nullptr));
  card->SetExpanded(false);  // not expandable: stays expanded
  EXPECT_TRUE(card->GetExpanded());
  view_->GetOptionsCustomize()->SetCardExpanding(true);
  card->SetExpanded(false);
  EXPECT_FALSE(card->GetExpanded());
  card->GetVisibleRows(rows);
  EXPECT_EQ(rows, (std::vector<TcxGridCardViewRow*>{view_->GetRow(0)}));
  EXPECT_FALSE(view_->GetRow(2)->CanFocus(card));
  // A hidden row is in no card; the caption carries the separator.
  view_->GetRow(2)->SetVisible(false);
  data->GetCard(2)->GetVisibleRows(rows);
  EXPECT_EQ(rows.size(), 2u);
  EXPECT_EQ(view_->GetRow(1)->GetVisibleCaption(), "City:");
  view_->GetOptionsView()->SetCaptionSeparator(0);
  EXPECT_EQ(view_->GetRow(1)->GetVisibleCaption(), "City");
}

TEST_F(CardViewTest, HorizontalLayoutFillsColumnsTopToBottom) {
  Fill(3);
  TcxGridCardsViewInfo* cards = Show();
  ASSERT_GE(cards->Count(), 3);
  Integer h = cards->Items(0)->Bounds.Height();
  // A cards area that holds two cards but not three.
  grid_->SetHeight(2 * h + 7 + h / 2 + 14);
  Relayout();
  cards = view_->GetViewInfo()->GetCardsViewInfo();
  TRect area = cards->Bounds;
  TcxGridCardViewOptionsView* o = view_->GetOptionsView();
  ASSERT_EQ(cards->GetColumnCount(), 2);
  EXPECT_EQ(cards->GetColumn(0)->GetCardCount(), 2);
  EXPECT_EQ(cards->Items(0)->Bounds.TopLeft(), area.TopLeft());
  EXPECT_EQ(cards->Items(1)->Bounds.Top, area.Top + h + 7);
  EXPECT_EQ(cards->Items(2)->Bounds.TopLeft(), TPoint(area.Left + o->CardWidth() + o->SeparatorWidth() + 14, area.Top));
  EXPECT_EQ(static_cast<TcxGridCardViewInfo*>(cards->Items(2))->ColumnIndex, 1);
  EXPECT_EQ(cards->Items(0)->Bounds.Width(), 200);
  EXPECT_TRUE(view_->Controller()->AllRecordsFit());
  // The separator right of column 0, its sizing area 3 wider on both sides, the west-east cursor.
  TcxGridCardViewSeparatorsViewInfo* separators = view_->GetViewInfo()->Separators();
  ASSERT_GE(separators->Count(), 1);
  TRect s = separators->Bounds(0);
  EXPECT_EQ(s.Left, cards->Items(0)->Bounds.Right + 7);
  EXPECT_EQ(s.Width(), o->SeparatorWidth());
  TcxCustomGridHitTest* hit = view_->ViewInfo()->GetHitTest(TPoint(s.Left - 3, s.Top + 5));
  ASSERT_EQ(hit->GetHitTestCode(), 155);
  EXPECT_EQ(hit->GetCursor(), crSizeWE);
  EXPECT_EQ(static_cast<TcxGridCardViewSeparatorHitTest*>(hit)->Index, 0);
  EXPECT_NE(view_->ViewInfo()->GetHitTest(TPoint(s.Left - 4, s.Top + 5))->GetHitTestCode(), 155);
  // A wider separator moves the next column.
  o->SetSeparatorWidth(6);
  Relayout();
  cards = view_->GetViewInfo()->GetCardsViewInfo();
  EXPECT_EQ(cards->Items(2)->Bounds.Left, area.Left + o->CardWidth() + 6 + 14);
}

TEST_F(CardViewTest, VerticalLayoutFillsRowsAndHidesAPartlyVisibleLaterRow) {
  Fill(8);
  view_->SetLayoutDirection(ldVertical);
  TcxGridCardsViewInfo* cards = Show();
  Integer h = cards->Items(0)->Bounds.Height();
  TRect area = cards->Bounds;
  // 700 wide: three cards of 200 and gaps of 7 in a row.
  EXPECT_EQ(cards->Items(1)->Bounds.Left, area.Left + 207);
  EXPECT_EQ(cards->Items(3)->Bounds.Left, area.Left);
  EXPECT_EQ(cards->Items(3)->Bounds.Top, area.Top + h + view_->GetOptionsView()->SeparatorWidth() + 14);
  EXPECT_EQ(cards->GetColumn(1)->GetCard(1), cards->Items(4));
  // A client that holds one row and a half: the second row is not shown, the first one is
  // even when it does not fit.
  grid_->SetHeight(h + h / 2 + 14 + 20);
  Relayout();
  cards = view_->GetViewInfo()->GetCardsViewInfo();
  EXPECT_EQ(cards->ShownCount(), 3);
  grid_->SetHeight(h / 2);
  Relayout();
  cards = view_->GetViewInfo()->GetCardsViewInfo();
  EXPECT_EQ(cards->ShownCount(), 3);
  // Separators below the rows; sizing areas right of the first card of every layout column.
  grid_->SetHeight(480);
  Relayout();
  TcxGridCardViewSeparatorsViewInfo* separators = view_->GetViewInfo()->Separators();
  cards = view_->GetViewInfo()->GetCardsViewInfo();
  ASSERT_GE(separators->Count(), 1);
  EXPECT_EQ(separators->Bounds(0).Top, cards->Items(0)->Bounds.Bottom + 7);
  ASSERT_EQ(separators->HitAreaCount(), 3);
  EXPECT_EQ(separators->HitArea(1).Left, cards->Items(1)->Bounds.Right);
}

TEST_F(CardViewTest, KeysInBothLayoutDirections) {
  Fill(30);
  TcxGridCardsViewInfo* cards = Show();
  auto* controller = static_cast<TcxGridCardViewController*>(view_->Controller());
  auto press = [&](Word key) {
    Word k = key;
    controller->HandleKeyDown(k, TShiftState());
    Pump();
    return view_->DataController()->FocusedRowIndex();
  };
  controller->SetFocusedItem(nullptr);  // the keys move between cards, not between card rows
  view_->DataController()->ChangeFocusedRowIndex(-1);
  EXPECT_EQ(press(VK_RIGHT), 29);  // no focus: Right goes to the last record
  auto cardOf = [&](Integer row) {
    TcxGridCardsViewInfo* c = view_->GetViewInfo()->GetCardsViewInfo();
    return static_cast<TcxGridCardViewInfo*>(c->GetViewInfoOfRecord(view_->GetViewData()->GetCard(row)));
  };
  Integer column = cardOf(29)->ColumnIndex;
  ASSERT_GT(column, 0);
  Integer left = press(VK_LEFT);
  ASSERT_NE(cardOf(left), nullptr);
  EXPECT_EQ(cardOf(left)->ColumnIndex, column - 1);
  controller->FocusRowAtIndex(0);
  Pump();
  cards = view_->GetViewInfo()->GetCardsViewInfo();
  Integer perColumn = cards->GetColumn(0)->GetCardCount();
  ASSERT_GE(perColumn, 2);
  EXPECT_EQ(press(VK_DOWN), 1);
  // Right: the card of the next column at the same height.
  EXPECT_EQ(press(VK_RIGHT), perColumn + 1);
  EXPECT_EQ(press(VK_LEFT), 1);
  EXPECT_EQ(press(VK_UP), 0);
  EXPECT_EQ(press(VK_UP), 0);
  // Vertical: Left and Right along the records, Up and Down by a card row.
  view_->SetLayoutDirection(ldVertical);
  Pump();
  EXPECT_EQ(press(VK_RIGHT), 1);
  EXPECT_EQ(press(VK_DOWN), 4);  // three cards per row at this width
  EXPECT_EQ(press(VK_UP), 1);
  EXPECT_EQ(press(VK_UP), 1);    // the first card row keeps the focus
  controller->FocusRowAtIndex(28);
  Pump();
  EXPECT_EQ(press(VK_DOWN), 28);  // no card row below
  EXPECT_EQ(press(VK_LEFT), 27);
  // With a focused row Up and Down walk the rows, on into the next card; Home and End.
  view_->SetLayoutDirection(ldHorizontal);
  controller->FocusRowAtIndex(3);
  controller->SetFocusedItem(view_->GetRow(1));
  Pump();
  EXPECT_EQ(press(VK_DOWN), 3);
  EXPECT_EQ(controller->FocusedItem(), view_->GetRow(2));
  EXPECT_EQ(press(VK_DOWN), 4);
  EXPECT_EQ(controller->FocusedItem(), view_->GetRow(0));
  EXPECT_EQ(press(VK_UP), 3);
  EXPECT_EQ(controller->FocusedItem(), view_->GetRow(2));
  press(VK_HOME);
  EXPECT_EQ(controller->FocusedItem(), view_->GetRow(0));
  press(VK_END);
  EXPECT_EQ(controller->FocusedItem(), view_->GetRow(2));
  // A focused row made a caption row gives up the focus; so does switching EmptyRows off.
  view_->GetRow(2)->SetKind(rkCaption);
  EXPECT_EQ(controller->FocusedItem(), nullptr);
  controller->SetFocusedItem(view_->GetRow(1));
  view_->GetOptionsView()->SetEmptyRows(false);
  EXPECT_EQ(controller->FocusedItem(), nullptr);
}

// Right in the last visible layout column (Left in the first) scrolls the cards by a column,
// then goes to the card at the same height in the column that came into view.
TEST_F(CardViewTest, SidewaysAtTheEdgeColumnScrollsTheCardsFirst) {
  Fill(60);
  TcxGridCardsViewInfo* cards = Show();
  auto* controller = static_cast<TcxGridCardViewController*>(view_->Controller());
  auto press = [&](Word key) {
    Word k = key;
    controller->HandleKeyDown(k, TShiftState());
    Pump();
    return view_->DataController()->FocusedRowIndex();
  };
  Integer perColumn = cards->GetColumn(0)->GetCardCount();
  Integer last = cards->GetVisibleColumnCount() - 1;
  ASSERT_GE(last, 1);
  Integer start = last * perColumn + 1;  // the second card of the last visible column
  controller->FocusRowAtIndex(start);
  Pump();
  EXPECT_EQ(press(VK_RIGHT), start + perColumn);
  EXPECT_EQ(controller->TopRecordIndex(), perColumn);
  // Left in the first column scrolls back.
  controller->FocusRowAtIndex(perColumn + 1);
  Pump();
  EXPECT_EQ(press(VK_LEFT), 1);
  EXPECT_EQ(controller->TopRecordIndex(), 0);
  // Nothing further right of the last card: the focus stays.
  controller->FocusRowAtIndex(59);
  Pump();
  EXPECT_EQ(press(VK_RIGHT), 59);
}

TEST_F(CardViewTest, SizingCardsByASeparatorWithAnInvertedPreview) {
  Fill(30);
  Show();
  TcxGridCardViewSeparatorsViewInfo* separators = view_->GetViewInfo()->Separators();
  ASSERT_GE(separators->Count(), 2);
  // The second separator: the mouse's way is shared by two columns.
  TRect s = separators->Bounds(1);
  TPoint p(s.Left + 1, s.Top + 20);
  TcxCustomGridHitTest* hit = view_->ViewInfo()->GetHitTest(p);
  ASSERT_EQ(hit->GetHitTestCode(), 155);
  std::unique_ptr<TcxDragAndDropObject> object(hit->DragAndDropObjectClass()(view_->Site()));
  auto* sizing = dynamic_cast<TcxGridCardSizingObject*>(object.get());
  ASSERT_NE(sizing, nullptr);
  sizing->InitDrag(p, hit);
  EXPECT_EQ(sizing->SeparatorIndex(), 1);
  EXPECT_EQ(sizing->CursorFor(true), crSizeWE);
  EXPECT_EQ(sizing->WidthAt(p.X + 60), 230);
  EXPECT_EQ(sizing->WidthAt(p.X - 322), 40);  // 200 - 161 = 39 gives 40
  EXPECT_EQ(sizing->WidthAt(p.X - 320), 40);
  EXPECT_EQ(sizing->WidthAt(p.X - 318), 41);
  // The preview inverts the bars where the separators of the new width would be.
  std::vector<TRect> bars = TcxGridCardSizingObject::PreviewRects(view_, 230);
  ASSERT_FALSE(bars.empty());
  TCanvas* canvas = view_->Site()->Canvas()->Canvas();
  TPoint probe(bars[0].Left, bars[0].Top + 30);
  TColor before = canvas->Pixels(probe.X, probe.Y);
  bool accepted = false;
  sizing->MoveDrag(TPoint(p.X + 60, p.Y), accepted);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(canvas->Pixels(probe.X, probe.Y), TColor(~before & 0xFFFFFF));
  sizing->BeforeFinishDrag(true);
  EXPECT_EQ(canvas->Pixels(probe.X, probe.Y), before);
  EXPECT_EQ(view_->GetOptionsView()->CardWidth(), 230);
  Relayout();
  // The preview lined up with the separators of the new width.
  EXPECT_EQ(view_->GetViewInfo()->Separators()->Bounds(0).Left, bars[0].Left);
  // Without CardSizing the separators are no sizing areas.
  view_->GetOptionsCustomize()->SetCardSizing(false);
  EXPECT_NE(view_->ViewInfo()->GetHitTest(TPoint(bars[0].Left, bars[0].Top + 30))->GetHitTestCode(), 155);
}

TEST_F(CardViewTest, GridModeBufferCount) {
  Fill(5);
  Show();
  TcxGridCardViewViewInfo* info = view_->GetViewInfo();
  Integer h = info->GetCardsViewInfo()->Items(0)->Bounds.Height();
  EXPECT_EQ(info->CommonCardHeight(), h);
  EXPECT_EQ(info->GetGridModeBufferCount(),
            DivRoundUp(Screen->Width(), 207) * DivRoundUp(Screen->Height(), h + 7) + 2);
  view_->GetOptionsView()->SetEmptyRows(false);
  Relayout();
  EXPECT_EQ(view_->GetViewInfo()->GetGridModeBufferCount(), 0);
}

TEST_F(CardViewTest, ExpandButtonOnTheFirstCaptionRowCollapsesTheCard) {
  Fill(4);
  view_->GetRow(1)->SetKind(rkCaption);
  view_->GetRow(2)->SetKind(rkCaption);
  EXPECT_FALSE(view_->GetRow(1)->HasExpandButton());  // CardExpanding is off
  view_->GetOptionsCustomize()->SetCardExpanding(true);
  EXPECT_TRUE(view_->GetRow(1)->HasExpandButton());   // the first caption row, not the first row
  EXPECT_FALSE(view_->GetRow(2)->HasExpandButton());
  TcxGridCardsViewInfo* cards = Show();
  auto* card = static_cast<TcxGridCardViewInfo*>(cards->Items(0));
  TRect button = card->ExpandButtonBounds;
  ASSERT_FALSE(button.IsEmpty());
  EXPECT_LE(button.Right, card->Bounds.Right - view_->GetOptionsView()->CardBorderWidth());
  EXPECT_GE(card->RowHeight(1), view_->ViewInfo()->GetLookAndFeelPainter()->GroupExpandButtonExtent());
  Integer expandedHeight = card->Bounds.Height();
  TPoint p((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2);
  TcxCustomGridHitTest* hit = view_->ViewInfo()->GetHitTest(p);
  ASSERT_EQ(hit->GetHitTestCode(), 108);
  hit->ViewInfo()->MouseDown(hit, mbLeft, TShiftState());
  Pump();
  EXPECT_FALSE(view_->GetViewData()->GetCard(0)->GetExpanded());
  card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0));
  EXPECT_EQ(card->RowCount(), 2);  // only the caption rows
  EXPECT_LT(card->Bounds.Height(), expandedHeight);
  // The button at the left.
  view_->GetOptionsView()->SetCardExpandButtonAlignment(cebaLeft);
  Pump();
  card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0));
  EXPECT_LT(card->ExpandButtonBounds.Left, card->Bounds.Left + 10);
  // Without caption rows no card has an expand button.
  view_->GetRow(1)->SetKind(rkData);
  view_->GetRow(2)->SetKind(rkData);
  Pump();
  card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1));
  EXPECT_TRUE(card->ExpandButtonBounds.IsEmpty());
}

TEST_F(CardViewTest, RowsScrollInsideACardTallerThanTheArea) {
  for (Integer i = 0; i < 7; ++i) view_->CreateRow()->SetCaption("More " + IntToStr(i));
  Fill(2);
  grid_->SetHeight(120);
  TcxGridCardsViewInfo* cards = Show();
  auto card = [&] { return static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0)); };
  ASSERT_EQ(card()->RowCount(), 10);
  EXPECT_EQ(card()->Bounds.Height(), cards->Bounds.Height());  // at most the cards area
  EXPECT_FALSE(view_->Controller()->AllRecordsFit());
  EXPECT_FALSE(card()->CanScrollUp());
  ASSERT_TRUE(card()->CanScrollDown());
  Integer bh = TcxGridCardViewInfo::ScrollButtonHeight();
  EXPECT_EQ(card()->ScrollDownBounds().Height(), bh);
  EXPECT_EQ(card()->ScrollDownBounds().Bottom, card()->Bounds.Bottom - view_->GetOptionsView()->CardBorderWidth());
  Integer visible = card()->FullyVisibleRowCount();
  ASSERT_GT(visible, 0);
  ASSERT_LT(visible, 10);
  // Pressing the down button scrolls one row at once, then one every 300 ms.
  TRect down = card()->ScrollDownBounds();
  TPoint p((down.Left + down.Right) / 2, (down.Top + down.Bottom) / 2);
  TcxCustomGridHitTest* hit = view_->ViewInfo()->GetHitTest(p);
  ASSERT_EQ(hit->GetHitTestCode(), 154);
  hit->ViewInfo()->MouseDown(hit, mbLeft, TShiftState());
  EXPECT_EQ(card()->TopRowIndex(), 1);
  EXPECT_TRUE(card()->CanScrollUp());
  EXPECT_EQ(card()->ScrollUpBounds().Top, card()->Bounds.Top + view_->GetOptionsView()->CardBorderWidth());
  EXPECT_EQ(card()->ValueCell(0)->Bounds.Height(), 0);  // row 0 is scrolled out
  Advance(310);
  Pump();
  EXPECT_EQ(card()->TopRowIndex(), 2);
  // Held until the end: the down button goes at the last rows and the scrolling stops.
  for (Integer i = 0; i < 12; ++i) {
    Advance(310);
    Pump();
  }
  EXPECT_FALSE(card()->CanScrollDown());
  EXPECT_EQ(card()->TopRowIndex() + card()->FullyVisibleRowCount(), 10);
  auto* controller = static_cast<TcxGridCardViewController*>(view_->Controller());
  EXPECT_FALSE(controller->CardScrolling());
  // The up button brings the rows back; a release stops it.
  TRect up = card()->ScrollUpBounds();
  hit = view_->ViewInfo()->GetHitTest(TPoint((up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2));
  ASSERT_EQ(hit->GetHitTestCode(), 153);
  Integer top = card()->TopRowIndex();
  hit->ViewInfo()->MouseDown(hit, mbLeft, TShiftState());
  EXPECT_EQ(card()->TopRowIndex(), top - 1);
  EXPECT_TRUE(controller->IsCardScrollButtonPressed(card()->Card(), true));  // drawn pressed while held
  EXPECT_FALSE(controller->IsCardScrollButtonPressed(card()->Card(), false));
  controller->MouseUp(mbLeft, TShiftState(), 0, 0);
  EXPECT_FALSE(controller->IsCardScrollButtonPressed(card()->Card(), true));
  Advance(1000);
  Pump();
  EXPECT_EQ(card()->TopRowIndex(), top - 1);
  // Walking the rows by the keys scrolls the card to the focused row.
  auto* keys = static_cast<TcxGridCardViewController*>(view_->Controller());
  keys->FocusRowAtIndex(1);
  keys->SetFocusedItem(view_->GetRow(0));
  Pump();
  auto second = [&] { return static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1)); };
  for (Integer i = 0; i < 9; ++i) {
    Word k = VK_DOWN;
    keys->HandleKeyDown(k, TShiftState());
  }
  EXPECT_EQ(keys->FocusedItem(), view_->GetRow(9));
  EXPECT_GT(second()->TopRowIndex(), 0);
  EXPECT_EQ(second()->TopRowIndex() + second()->FullyVisibleRowCount(), 10);
  Word k = VK_HOME;
  keys->HandleKeyDown(k, TShiftState());
  EXPECT_EQ(second()->TopRowIndex(), 0);
  // Another card keeps its own top row.
  EXPECT_EQ(static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0))->TopRowIndex(), top - 1);
  form_->Repaint();
  Pump();
  S().Snapshot(form_->Handle(), "gridviews_cards_scrolled.png");
}

TEST_F(CardViewTest, CaptionWidths) {
  Fill(2);
  view_->GetOptionsView()->SetEmptyRows(false);
  view_->GetOptionsCustomize()->SetItemFiltering(false);  // RowFiltering: no filter buttons
  TcxGridCardsViewInfo* cards = Show();
  auto* full = static_cast<TcxGridCardViewInfo*>(cards->Items(0));
  auto* missing = static_cast<TcxGridCardViewInfo*>(cards->Items(1));  // its City is Null
  TFont* font = grid_->Font();
  Integer amount = MeasureTextWidthInFont(font, "Amount:") + 4 + 2;
  EXPECT_EQ(full->CaptionWidth(), amount);
  EXPECT_EQ(missing->CaptionWidth(), amount);
  // Each row: the caption part, then the value part to the content's right.
  Integer border = view_->GetOptionsView()->CardBorderWidth();
  EXPECT_EQ(full->CaptionBounds(1).Width(), amount);
  EXPECT_EQ(full->ValueCell(1)->Bounds.Left, full->Bounds.Left + border + amount);
  EXPECT_EQ(full->ValueCell(1)->Bounds.Right, full->Bounds.Right - border);
  // A row without its caption gives its value the whole width.
  view_->GetRow(2)->SetShowCaption(false);
  Pump();
  full = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0));
  EXPECT_EQ(full->CaptionWidth(), MeasureTextWidthInFont(font, "Name:") + 4 + 2);
  EXPECT_TRUE(full->CaptionBounds(2).IsEmpty());
  EXPECT_EQ(full->ValueCell(2)->Bounds.Left, full->Bounds.Left + border);
  // Filter buttons widen the captions by their width and a gap of 2.
  view_->GetOptionsCustomize()->SetItemFiltering(true);
  Pump();
  full = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0));
  Integer button = view_->ViewInfo()->GetLookAndFeelPainter()->FilterDropDownButtonExtent().X;
  EXPECT_EQ(full->CaptionWidth(), MeasureTextWidthInFont(font, "Name:") + 4 + button + 2 + 2);
  EXPECT_EQ(full->FilterButton(0)->Bounds.Right, full->CaptionBounds(0).Right);
  EXPECT_EQ(full->CaptionTextBounds(0, full->CaptionBounds(0)).Right, full->CaptionBounds(0).Right - button - 2);
  EXPECT_TRUE(full->FilterButton(2)->Bounds.IsEmpty());  // its caption is hidden
  // A set caption width, cut to the content width.
  view_->GetOptionsView()->SetCaptionWidth(500);
  Pump();
  full = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0));
  EXPECT_EQ(full->CaptionWidth(), 200 - 2 * border);
}

TEST_F(CardViewTest, CaptionRowCardBorderAndRowCaptionStyles) {
  Fill(2);
  view_->GetRow(0)->SetKind(rkCaption);
  Show();
  TcxGridCardViewStyles* styles = view_->GetStyles();
  TcxCustomGridRecord* record = view_->GetViewData()->GetCard(1);
  TcxCustomLookAndFeelPainterClass painter = view_->ViewInfo()->GetLookAndFeelPainter();
  TcxStyleParams p;
  styles->GetCaptionRowParams(record, view_->GetRow(0), p);
  EXPECT_EQ(p.Color, painter->HeaderColor());
  EXPECT_EQ(p.TextColor, painter->HeaderTextColor());
  styles->GetCardBorderParams(record, p);
  EXPECT_EQ(p.Color, painter->ContentColor());
  styles->GetRowCaptionParams(record, view_->GetRow(1), p);
  EXPECT_EQ(p.Color, painter->ContentColor());
  // Styles and events: the event's style wins for its record.
  auto* repository = new TcxStyleRepository(form_);
  auto* green = new TcxStyle(repository);
  green->SetColor(0x00C000);
  auto* red = new TcxStyle(repository);
  red->SetColor(0x0000C0);
  styles->SetCardBorder(green);
  styles->OnGetCaptionRowStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord* r, TcxCustomGridTableItem*, TcxStyle*& style) {
    if (r->Index() == 1) style = red;
  };
  styles->GetCardBorderParams(record, p);
  EXPECT_EQ(p.Color, TColor(0x00C000));
  styles->GetCaptionRowParams(record, view_->GetRow(0), p);
  EXPECT_EQ(p.Color, TColor(0x0000C0));
  styles->GetCaptionRowParams(view_->GetViewData()->GetCard(0), view_->GetRow(0), p);
  EXPECT_EQ(p.Color, painter->HeaderColor());
  // Painted so: the border and the caption row of card 1.
  view_->QueueLayoutChange();
  Pump();
  form_->Repaint();
  Pump();
  auto* card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1));
  TCanvas* canvas = view_->Site()->Canvas()->Canvas();
  EXPECT_EQ(canvas->Pixels(card->Bounds.Left, card->Bounds.Top + 5), TColor(0x00C000));
  TRect caption = card->ValueCell(0)->Bounds;
  EXPECT_EQ(canvas->Pixels(caption.Right - 2, caption.Top + 1), TColor(0x0000C0));
}

TEST_F(CardViewTest, DetailSizes) {
  Fill(3);
  TcxGridCardsViewInfo* cards = Show();
  Integer h = cards->Items(0)->Bounds.Height();
  Integer height = 0;
  bool fully = false;
  // Room for all three cards in one column.
  view_->ViewInfo()->GetHeight(TPoint(700, 2000), height, fully);
  EXPECT_EQ(height, 7 + 3 * h + 2 * 7 + 7);
  EXPECT_TRUE(fully);
  EXPECT_EQ(view_->ViewInfo()->GetWidth(TPoint(700, 2000)), 7 + 200 + 7);
  // Too low and too narrow: not all shown, the width offered.
  view_->ViewInfo()->GetHeight(TPoint(230, 2 * h + 30), height, fully);
  EXPECT_FALSE(fully);
  EXPECT_EQ(view_->ViewInfo()->GetWidth(TPoint(230, 2 * h + 30)), 230);
  // The screen's layout stays as it was.
  EXPECT_EQ(view_->GetViewInfo()->GetCardsViewInfo()->Items(0)->Bounds.Height(), h);
}

TEST_F(CardViewTest, ScrollBarsFollowTheLayoutDirection) {
  Fill(60);
  TcxGridCardsViewInfo* cards = Show();
  auto* controller = static_cast<TcxGridCardViewController*>(view_->Controller());
  Integer perColumn = cards->GetColumn(0)->GetCardCount();
  EXPECT_EQ(controller->CardsPerScrollLine(), perColumn);
  Integer pos = 0;
  controller->Scroll(sbVertical, scLineDown, pos);  // not the records' bar here
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), 0);
  controller->Scroll(sbHorizontal, scLineDown, pos);
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), perColumn);
  EXPECT_EQ(pos, perColumn);
  view_->SetLayoutDirection(ldVertical);
  controller->SetTopRecordIndex(0);
  Pump();
  EXPECT_EQ(controller->CardsPerScrollLine(), 3);
  controller->Scroll(sbHorizontal, scLineDown, pos);
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), 0);
  controller->Scroll(sbVertical, scLineDown, pos);
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), 3);
  // The wheel scrolls along the records in either layout (a notch: three lines).
  HWND site = view_->Site()->Handle();
  S().Wheel(site, POINT{300, 200}, -120);
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), 3 + 3 * 3);
  view_->SetLayoutDirection(ldHorizontal);
  controller->SetTopRecordIndex(0);
  Pump();
  S().Wheel(site, POINT{300, 200}, -120);
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), 3 * perColumn);
  S().Wheel(site, POINT{300, 200}, 120);
  Pump();
  EXPECT_EQ(controller->TopRecordIndex(), 0);
}

TEST_F(CardViewTest, NoRecordsNoColumnsNoSeparators) {
  TcxGridCardsViewInfo* cards = Show();
  EXPECT_EQ(cards->GetColumnCount(), 0);
  EXPECT_EQ(view_->GetViewInfo()->Separators()->Count(), 0);
  EXPECT_EQ(view_->ViewInfo()->GetWidth(TPoint(500, 400)), 0);
}

TEST_F(CardViewTest, SheetsInEachLookAndFeel) {
  Fill(12);
  view_->GetRow(0)->SetKind(rkCaption);
  view_->GetOptionsCustomize()->SetCardExpanding(true);
  view_->GetViewData()->GetCard(2)->SetExpanded(false);
  view_->GetOptionsView()->SetCardWidth(180);
  view_->GetOptionsView()->SetEmptyRows(false);
  Show();
  struct Look {
    TcxLookAndFeelKind kind;
    const char* file;
  };
  for (const Look& look : {Look{lfStandard, "gridviews_cards_standard.png"}, Look{lfFlat, "gridviews_cards_flat.png"},
                           Look{lfUltraFlat, "gridviews_cards_ultraflat.png"},
                           Look{lfOffice11, "gridviews_cards_office11.png"}}) {
    grid_->LookAndFeel()->SetKind(look.kind);
    view_->SetLayoutDirection(look.kind == lfFlat ? ldVertical : ldHorizontal);
    Relayout();
    form_->Repaint();
    Pump();
    EXPECT_GE(view_->GetViewInfo()->GetCardsViewInfo()->Count(), 2) << look.file;
    S().Snapshot(form_->Handle(), look.file);
  }
}

// ---- moving and hiding rows by dragging ------------------------------------------------------------

class CardRowDragTest : public CardViewTest {
 protected:
  void SetUp() override {
    CardViewTest::SetUp();
    view_->GetOptionsCustomize()->SetItemMoving(true);  // RowMoving
    view_->OnRowPosChanged = [this](TcxGridCardView*, TcxGridCardViewRow*) { ++posChanged_; };
  }
  TcxGridCardViewInfo* Card(Integer i) {
    return static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(i));
  }
  std::vector<String> Order() {
    std::vector<String> r;
    for (Integer i = 0; i < view_->GetVisibleRowCount(); ++i) r.push_back(view_->GetVisibleRow(i)->Caption());
    return r;
  }
  TcxGridCardRowMovingObject* Moving() { return dynamic_cast<TcxGridCardRowMovingObject*>(view_->Site()->DragOperation()); }
  // Presses at `from` (site coordinates), moves there in steps, runs `during`, releases.
  void DragTo(POINT from, POINT to, const std::function<void()>& during = nullptr) {
    HWND site = view_->Site()->Handle();
    S().MouseDown(site, from);
    for (int i = 1; i <= 4; ++i) S().MoveMouse(site, TPoint(from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4));
    Pump();
    if (during) during();
    S().MouseUp(site, to);
    Pump();
  }
  std::vector<String> Listed() {
    std::vector<String> r;
    auto* form = dynamic_cast<TcxGridCardViewCustomizationForm*>(view_->Controller()->CustomizationForm());
    TStrings* items = form->ItemsListBox()->Items();
    for (Integer i = 0; i < items->Count(); ++i) r.push_back(items->Strings(i));
    return r;
  }
  Integer posChanged_ = 0;
};

enum TRowDragTarget { toUpperHalf, toLowerHalf, toOtherCard, toOutsideCards };

struct TRowDragScript {
  const char* name;
  Integer source;  // the dragged row (Name 0, City 1, Amount 2), by its caption in card 0
  TRowDragTarget target;
  Integer targetRow;
  bool captionRow;  // the source is a caption row, dragged by its value
  bool rowHiding, rowMoving, esc;
  std::vector<String> order;
  Integer posChanged;
  bool arrows;
};

const TRowDragScript kRowDrags[] = {
    {"Amount to the top", 2, toUpperHalf, 0, false, false, true, false, {"Amount", "Name", "City"}, 1, true},
    {"Name below Amount", 0, toLowerHalf, 2, false, false, true, false, {"City", "Amount", "Name"}, 1, true},
    {"onto its own row", 1, toUpperHalf, 1, false, false, true, false, {"Name", "City", "Amount"}, 0, false},
    {"right below itself", 1, toUpperHalf, 2, false, false, true, false, {"Name", "City", "Amount"}, 0, false},
    {"into another card", 2, toOtherCard, 1, false, false, true, false, {"Name", "Amount", "City"}, 1, true},
    {"out of the cards without RowHiding", 1, toOutsideCards, 0, false, false, true, false, {"Name", "City", "Amount"}, 0, false},
    {"out of the cards with RowHiding", 1, toOutsideCards, 0, false, true, true, false, {"Name", "Amount"}, 1, false},
    {"Esc cancels", 2, toUpperHalf, 0, false, false, true, true, {"Name", "City", "Amount"}, 0, true},
    {"a caption row by its value", 0, toLowerHalf, 2, true, false, true, false, {"City", "Amount", "Name"}, 1, true},
    {"RowMoving off", 2, toUpperHalf, 0, false, true, false, false, {"Name", "City", "Amount"}, 0, false},
};

TEST_F(CardRowDragTest, DragScriptsMoveAndHideRows) {
  Fill(3);
  Show();
  TcxGridCardViewRow* rows[3] = {view_->GetRow(0), view_->GetRow(1), view_->GetRow(2)};
  for (const TRowDragScript& m : kRowDrags) {
    SCOPED_TRACE(m.name);
    Advance(1000);  // no double click with the press before
    for (Integer i = 0; i < 3; ++i) {
      rows[i]->SetIndex(i);
      rows[i]->SetVisible(true);
      rows[i]->SetKind(rkData);
    }
    rows[m.source]->SetKind(m.captionRow ? rkCaption : rkData);
    view_->GetOptionsCustomize()->SetItemHiding(m.rowHiding);
    view_->GetOptionsCustomize()->SetItemMoving(m.rowMoving);
    Relayout();
    posChanged_ = 0;
    TcxGridCardViewInfo* card = Card(0);
    TRect caption = m.captionRow ? card->ValueCell(m.source)->Bounds : card->CaptionBounds(m.source);
    POINT from{caption.Left + 8, (caption.Top + caption.Bottom) / 2};
    TRect target = (m.target == toOtherCard ? Card(1) : card)->RowBounds(m.targetRow);
    POINT to{target.Left + 20, m.target == toLowerHalf ? target.Bottom - 2 : target.Top + 2};
    if (m.target == toOutsideCards) to = POINT{card->Bounds.Right + 150, card->Bounds.Top + 20};
    bool dragged = false;
    DragTo(from, to, [&] {
      TcxGridCardRowMovingObject* moving = Moving();
      dragged = moving != nullptr;
      if (!moving) return;
      EXPECT_TRUE(moving->ImageShown());
      EXPECT_EQ(moving->ArrowsShown(), m.arrows);
      if (m.arrows) {
        // The right arrow's stem on the screen is lime, at the line between the rows (the
        // drag image may cover the left one).
        const TRect a = moving->GetArrowBounds(1);
        EXPECT_EQ(GetPixel(LazyScreenCanvas()->DeviceContext(), a.Right - 2, a.Top + 5), TColor(0x00FF00));
        if (std::string(m.name) == "Amount to the top") S().SnapshotScreen("gridviews_cards_row_drag.png");
      }
      if (m.esc) S().PressKey(VK_ESCAPE);
    });
    EXPECT_EQ(dragged, m.rowMoving);
    EXPECT_EQ(Order(), m.order);
    EXPECT_EQ(posChanged_, m.posChanged);
  }
}

// Drop zones: the upper and lower half of a row, the scroll buttons of a card scrolled inside,
// the space below the last row; a drag resting on a scroll button scrolls that card.
TEST_F(CardRowDragTest, ZonesAndScrollingACardWhileDragging) {
  for (Integer i = 0; i < 7; ++i) view_->CreateRow()->SetCaption("More " + IntToStr(i));
  Fill(2);
  grid_->SetHeight(120);
  Show();
  TcxGridCardViewInfo* card = Card(0);
  ASSERT_TRUE(card->CanScrollDown());
  std::unique_ptr<TcxGridCardRowMovingObject> moving(new TcxGridCardRowMovingObject(view_->Site()));
  auto zoneAt = [&](const TPoint& p) {
    std::unique_ptr<TcxGridRowContainerZone> zone(moving->GetCardZone(p));
    return zone ? zone->ItemIndex : -1;
  };
  TRect row1 = card->RowBounds(1);
  EXPECT_EQ(zoneAt(TPoint(row1.Left + 30, row1.Top + 1)), 1);
  EXPECT_EQ(zoneAt(TPoint(row1.Left + 30, row1.Bottom - 1)), 2);
  TRect down = card->ScrollDownBounds();
  Integer end = card->FullyVisibleRowCount();
  EXPECT_EQ(zoneAt(TPoint(down.Left + 30, down.Top + 2)), end);
  EXPECT_EQ(zoneAt(TPoint(card->Bounds.Left, card->Bounds.Top + 1)), -1);  // the border: none
  // Dragging Name onto the down button: the card scrolls a row every 300 ms until its end.
  TRect caption = card->CaptionBounds(0);
  HWND site = view_->Site()->Handle();
  POINT from{caption.Left + 8, (caption.Top + caption.Bottom) / 2};
  POINT to{down.Left + 30, (down.Top + down.Bottom) / 2};
  S().MouseDown(site, from);
  S().MoveMouse(site, POINT{from.X + 10, from.Y + 5});
  S().MoveMouse(site, to);
  Pump();
  ASSERT_NE(Moving(), nullptr);
  EXPECT_EQ(Card(0)->TopRowIndex(), 0);
  Advance(310);
  Pump();
  EXPECT_EQ(Card(0)->TopRowIndex(), 1);
  EXPECT_EQ(Card(1)->TopRowIndex(), 0);  // the other card stays
  for (Integer i = 0; i < 12; ++i) Advance(310);
  Pump();
  EXPECT_FALSE(Card(0)->CanScrollDown());
  EXPECT_EQ(Card(0)->TopRowIndex() + Card(0)->FullyVisibleRowCount(), 10);
  // The down button has gone: below the last row is the end of the card.
  TRect last = Card(0)->RowBounds(9);
  S().MoveMouse(site, POINT{last.Left + 30, last.Bottom - 1});
  Pump();
  ASSERT_NE(Moving(), nullptr);
  EXPECT_EQ(Moving()->RowZone()->ItemIndex, 10);
  S().MouseUp(site, POINT{last.Left + 30, last.Bottom - 1});
  Pump();
  EXPECT_EQ(view_->GetVisibleRow(9)->Caption(), "Name");
  EXPECT_EQ(posChanged_, 1);
  EXPECT_FALSE(static_cast<TcxGridCardViewController*>(view_->Controller())->ScrollTimerRunning());
}

TEST_F(CardRowDragTest, RowsCustomizationFormListsHiddenRowsToDragBack) {
  Fill(3);
  Show();
  view_->GetRow(1)->SetVisible(false);
  view_->Controller()->SetCustomization(true);
  Pump();
  auto* form = dynamic_cast<TcxGridCardViewCustomizationForm*>(view_->Controller()->CustomizationForm());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->ItemsPage()->Caption(), "Rows");
  EXPECT_EQ(Listed(), (std::vector<String>{"City"}));
  TcxCustomGridTableItemsListBox* list = form->ItemsListBox();
  EXPECT_EQ(list->CalculateItemHeight(), MeasureTextHeightInFont(list->Font(), "Qq") + 4);
  // Neither a hidden row nor one that cannot move is listed.
  view_->GetRow(2)->SetVisible(false);
  EXPECT_EQ(Listed(), (std::vector<String>{"Amount", "City"}));
  view_->GetRow(2)->Options()->SetMoving(false);
  EXPECT_EQ(Listed(), (std::vector<String>{"City"}));
  view_->GetRow(2)->Options()->SetMoving(true);
  view_->GetRow(2)->SetVisible(true);
  Relayout();
  // City from the list to the top of card 0.
  const TRect item = list->ItemRect(0);
  const TPoint from = list->ClientToScreen(TPoint(item.Left + 10, (item.Top + item.Bottom) / 2));
  TRect name = Card(0)->RowBounds(0);
  const TPoint to = view_->Site()->ClientToScreen(TPoint(name.Left + 20, name.Top + 2));
  S().MouseDownAt(POINT{from.X, from.Y});
  Pump();
  for (int i = 1; i <= 4; ++i) S().MoveMouseTo(POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
  Pump();
  ASSERT_NE(Moving(), nullptr);
  EXPECT_TRUE(Moving()->IsDraggedFromCustomizationForm());
  EXPECT_TRUE(Moving()->ImageShown());
  EXPECT_TRUE(Moving()->ArrowsShown());
  S().MouseUpAt(POINT{to.X, to.Y});
  Pump();
  EXPECT_EQ(Order(), (std::vector<String>{"City", "Name", "Amount"}));
  EXPECT_EQ(posChanged_, 1);
  EXPECT_TRUE(Listed().empty());
  // Amount's caption dropped on the form hides it there, RowHiding off.
  Advance(1000);
  TRect amount = Card(0)->CaptionBounds(2);
  const TPoint start = view_->Site()->ClientToScreen(TPoint(amount.Left + 8, (amount.Top + amount.Bottom) / 2));
  const TRect bounds = form->BoundsRect();
  const TPoint onForm(bounds.Left + bounds.Width() / 2, bounds.Top + bounds.Height() / 2);
  S().MouseDownAt(POINT{start.X, start.Y});
  for (int i = 1; i <= 4; ++i)
    S().MoveMouseTo(POINT{start.X + (onForm.X - start.X) * i / 4, start.Y + (onForm.Y - start.Y) * i / 4});
  Pump();
  ASSERT_NE(Moving(), nullptr);
  EXPECT_EQ(Moving()->DestinationAreaKind, rckCustomizationForm);
  S().MouseUpAt(POINT{onForm.X, onForm.Y});
  Pump();
  EXPECT_EQ(Order(), (std::vector<String>{"City", "Name"}));
  EXPECT_EQ(Listed(), (std::vector<String>{"Amount"}));
  EXPECT_EQ(posChanged_, 2);
  list->SetItemIndex(0);
  form_->Repaint();
  Pump();
  S().SnapshotScreen("gridviews_cards_customization_form.png");
}

TEST_F(CardViewTest, MakeRowVisibleScrollsTheCardInOneStep) {
  for (Integer i = 0; i < 7; ++i) view_->CreateRow()->SetCaption("More " + IntToStr(i));
  Fill(2);
  grid_->SetHeight(120);
  Show();
  auto card = [&] { return static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0)); };
  for (Integer target : {9, 6, 0, 4}) {
    SCOPED_TRACE(target);
    Integer from = card()->TopRowIndex();
    card()->MakeRowVisible(view_->GetRow(target));
    Integer top = card()->TopRowIndex();
    // Fully visible, and under no smaller top row (never above the old one) would it be.
    EXPECT_GE(target, top);
    EXPECT_LT(target, top + std::max<Integer>(1, card()->FullyVisibleRowCount()));
    if (target >= from && top > from) {
      card()->SetTopRowIndex(top - 1);
      EXPECT_GE(target, card()->TopRowIndex() + card()->FullyVisibleRowCount());
      card()->SetTopRowIndex(top);
    }
  }
  // Focusing a row (as a click or Tab does) scrolls its card to it.
  auto* controller = static_cast<TcxGridCardViewController*>(view_->Controller());
  controller->FocusRowAtIndex(1);
  controller->SetFocusedItem(view_->GetRow(8));
  Pump();
  auto* second = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1));
  EXPECT_GT(second->TopRowIndex(), 0);
  EXPECT_LT(8, second->TopRowIndex() + second->FullyVisibleRowCount());
}

// A row caption's filter button opens the row's filter drop-down; a value chosen there
// filters the cards and shows the button active.
TEST_F(CardViewTest, RowCaptionFilterButtonOpensTheRowsFilterDropDown) {
  Fill(6);
  Show();
  auto card = [&] { return static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(0)); };
  TcxGridCardRowFilterButtonViewInfo* button = card()->FilterButton(1);
  ASSERT_NE(button, nullptr);
  TRect b = button->Bounds;
  POINT at{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2};
  TcxCustomGridHitTest* hit = view_->ViewInfo()->GetHitTest(at.X, at.Y);
  ASSERT_EQ(hit->GetHitTestCode(), 151);
  EXPECT_FALSE(static_cast<TcxGridRecordHitTest*>(hit)->ActsOnRecord());
  EXPECT_EQ(static_cast<TcxGridRecordCellHitTest*>(hit)->Item, view_->GetRow(1));
  // Beside the button the caption drags its row (when rows may move).
  hit = view_->ViewInfo()->GetHitTest(card()->CaptionBounds(1).Left + 3, at.Y);
  EXPECT_EQ(hit->GetHitTestCode(), 152);
  HWND site = view_->Site()->Handle();
  S().MoveMouse(site, POINT{at.X - 20, at.Y});
  S().MoveMouse(site, at);
  Pump();
  S().MouseDown(site, at);
  Pump();
  auto* controller = static_cast<TcxCustomGridTableController*>(view_->Controller());
  ASSERT_TRUE(controller->HasFilterPopup());
  TcxGridFilterPopup* popup = controller->FilterPopup();
  ASSERT_TRUE(popup->PopupVisible());
  EXPECT_EQ(popup->Item(), view_->GetRow(1));
  S().SnapshotScreen("gridviews_cards_filter_drop_down.png");
  Integer line = popup->Strings()->IndexOf("Town 2");
  ASSERT_GE(line, 0);
  popup->ApplyEntry(line);
  popup->ClosePopup();
  Pump();
  EXPECT_EQ(view_->DataController()->RowCount(), 1);  // record 2 only (of 0..5: towns 0..4, Null)
  EXPECT_TRUE(card()->FilterButton(1)->Active());
  EXPECT_FALSE(card()->FilterButton(0)->Active());
}

// The rows' own caption and caption-row styles come before the view's; the background
// bitmaps fill the captions, the caption rows and the card border.
TEST_F(CardViewTest, RowStylesAndBackgroundBitmaps) {
  Fill(2);
  view_->GetRow(0)->SetKind(rkCaption);
  Show();
  auto* repository = new TcxStyleRepository(form_);
  auto style = [&](TColor c) {
    auto* st = new TcxStyle(repository);
    st->SetColor(c);
    return st;
  };
  TcxStyle* viewCaption = style(0x00C0C0);
  TcxStyle* rowCaption = style(0xC000C0);
  TcxStyle* eventCaption = style(0x404040);
  view_->GetStyles()->SetRowCaption(viewCaption);
  TcxGridCardViewRow* city = view_->GetRow(1);
  TcxGridCardViewRow* name = view_->GetRow(0);
  TcxCustomGridRecord* record = view_->GetViewData()->GetCard(1);
  TcxStyleParams p;
  city->GetStyles()->GetCaptionParams(record, p);
  EXPECT_EQ(p.Color, TColor(0x00C0C0));  // the view's
  city->GetStyles()->SetCaption(rowCaption);
  city->GetStyles()->GetCaptionParams(record, p);
  EXPECT_EQ(p.Color, TColor(0xC000C0));  // the row's
  city->GetStyles()->OnGetCaptionStyle = [&](TcxCustomGridTableView*, TcxCustomGridRecord* r, TcxCustomGridTableItem*,
                                             TcxStyle*& s) {
    if (r == record) s = eventCaption;
  };
  city->GetStyles()->GetCaptionParams(record, p);
  EXPECT_EQ(p.Color, TColor(0x404040));  // the event's
  // A caption row's cells: its caption-row style, else the view's caption-row parameters.
  view_->TableStyles()->GetCellContentParams(record, name, p);
  EXPECT_EQ(p.Color, view_->ViewInfo()->GetLookAndFeelPainter()->HeaderColor());
  name->GetStyles()->SetCaptionRow(style(0x8080FF));
  view_->TableStyles()->GetCellContentParams(record, name, p);
  EXPECT_EQ(p.Color, TColor(0x8080FF));
  // Bitmaps: the row caption's falls back to the content's.
  TcxGridCardViewBackgroundBitmaps* bitmaps = view_->GetBackgroundBitmaps();
  auto solid = [](TColor c) {
    std::unique_ptr<TBitmap> b(CreateSizedBitmap(8, 8));
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect(0, 0, 8, 8));
    return b;
  };
  EXPECT_EQ(bitmaps->GetBitmap(TcxGridCardViewBackgroundBitmaps::bbRowCaption), nullptr);
  bitmaps->SetContent(solid(0xE0E0E0).get());
  EXPECT_EQ(bitmaps->GetBitmap(TcxGridCardViewBackgroundBitmaps::bbRowCaption), bitmaps->Content());
  bitmaps->SetRowCaption(solid(0x30A030).get());
  bitmaps->SetCaptionRow(solid(0xA03030).get());
  bitmaps->SetCardBorder(solid(0x3030A0).get());
  EXPECT_EQ(bitmaps->GetBitmapStyleIndex(TcxGridCardViewBackgroundBitmaps::bbCardBorder), TcxGridCardViewStyles::vsCardBorder);
  city->GetStyles()->OnGetCaptionStyle = nullptr;
  city->GetStyles()->SetCaption(nullptr);
  view_->GetStyles()->SetRowCaption(nullptr);
  view_->GetOptionsView()->SetCardBorderWidth(4);
  Relayout();
  form_->Repaint();
  Pump();
  auto* card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1));
  TCanvas* canvas = view_->Site()->Canvas()->Canvas();
  EXPECT_EQ(canvas->Pixels(card->Bounds.Left + 1, card->Bounds.Top + 20), TColor(0x3030A0));
  TRect cityCaption = card->CaptionBounds(1);
  EXPECT_EQ(canvas->Pixels(cityCaption.Left + 1, cityCaption.Bottom - 2), TColor(0x30A030));
  TRect nameRow = card->RowBounds(0);
  EXPECT_EQ(canvas->Pixels(nameRow.Right - 2, nameRow.Bottom - 2), TColor(0xA03030));
  S().Snapshot(form_->Handle(), "gridviews_cards_bitmaps.png");
  // The style sheet carries the card styles.
  auto* sheet = new TcxGridCardViewStyleSheet(form_);
  EXPECT_EQ(sheet->StylesClass(), TcxGridCardViewStyles::StaticClass());
  EXPECT_NE(sheet->Styles(), nullptr);
}

const char* kCardForm = R"(object Form1: TForm
  Left = 0
  Top = 0
  Width = 500
  Height = 400
  object Grid: TcxGrid
    Left = 8
    Top = 8
    Width = 460
    Height = 340
    object Cards: TcxGridCardView
      Filtering.RowPopupMaxDropDownItemCount = 8
      LayoutDirection = ldVertical
      OptionsCustomize.CardExpanding = True
      OptionsCustomize.RowHiding = True
      OptionsCustomize.RowMoving = True
      OptionsView.CaptionSeparator = '='
      OptionsView.CardExpandButtonAlignment = cebaLeft
      OptionsView.CardWidth = 150
      OptionsView.EmptyRows = False
      Styles.CardBorder = Border
      object CardsTitle: TcxGridCardViewRow
        Caption = 'Title'
        Kind = rkCaption
      end
      object CardsNote: TcxGridCardViewRow
        Caption = 'Note'
        Options.ShowCaption = False
        Styles.Caption = Border
      end
    end
    object Level: TcxGridLevel
      GridView = Cards
    end
  end
  object Repository: TcxStyleRepository
    object Border: TcxStyle
      Color = 255
    end
  end
end
)";

// A card view stored in a form reads with its options, rows and styles, writes the same back,
// and an assigned copy keeps the card options.
TEST_F(CardViewTest, AStoredCardViewReadsWritesAndAssigns) {
  auto* form = new TForm(Application);
  ReadComponentFromText(form, kCardForm);
  auto* view = dynamic_cast<TcxGridCardView*>(form->FindComponent("Cards"));
  ASSERT_NE(view, nullptr);
  auto check = [&](TcxGridCardView* v) {
    auto* border = dynamic_cast<TcxStyle*>(v->Owner()->FindComponent("Border"));
    ASSERT_NE(border, nullptr);
    EXPECT_EQ(v->LayoutDirection(), ldVertical);
    EXPECT_EQ(v->Filtering()->ItemPopupMaxDropDownItemCount(), 8);
    EXPECT_TRUE(v->GetOptionsCustomize()->CardExpanding());
    EXPECT_TRUE(v->GetOptionsCustomize()->ItemHiding());
    EXPECT_TRUE(v->GetOptionsCustomize()->ItemMoving());
    EXPECT_EQ(v->GetOptionsView()->CaptionSeparator(), U'=');
    EXPECT_EQ(v->GetOptionsView()->CardExpandButtonAlignment(), cebaLeft);
    EXPECT_EQ(v->GetOptionsView()->CardWidth(), 150);
    EXPECT_FALSE(v->GetOptionsView()->EmptyRows());
    EXPECT_EQ(v->GetStyles()->CardBorder(), border);
    ASSERT_EQ(v->ItemCount(), 2);
    EXPECT_EQ(v->GetRow(0)->Kind(), rkCaption);
    EXPECT_FALSE(v->GetRow(1)->ShowCaption());
    EXPECT_EQ(v->GetRow(1)->GetStyles()->Caption(), border);
  };
  check(view);
  String text = WriteComponentToText(form);
  EXPECT_NE(text.find("Kind = rkCaption"), String::npos) << text;
  auto* copy = new TForm(Application);
  ReadComponentFromText(copy, text);
  check(dynamic_cast<TcxGridCardView*>(copy->FindComponent("Cards")));
  // Assigned options: every card value, the expand button's side among them.
  TcxGridCardViewOptionsView* o = view_->GetOptionsView();
  o->AssignFrom(view->GetOptionsView());
  EXPECT_EQ(o->CardExpandButtonAlignment(), cebaLeft);
  EXPECT_EQ(o->CaptionSeparator(), U'=');
  view_->GetOptionsCustomize()->AssignFrom(view->GetOptionsCustomize());
  EXPECT_TRUE(view_->GetOptionsCustomize()->CardExpanding());
  copy->Free();
  form->Free();
}

// A row caption takes the row's horizontal caption alignment.
TEST_F(CardViewTest, RowCaptionsAlignAsTheRowSays) {
  Fill(2);
  view_->GetOptionsCustomize()->SetItemFiltering(false);
  view_->GetOptionsView()->SetCaptionWidth(120);
  Show();
  auto inkIn = [&](Integer fromX, Integer toX) {
    form_->Repaint();
    Pump();
    auto* card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1));
    TRect c = card->CaptionBounds(0);
    TCanvas* canvas = view_->Site()->Canvas()->Canvas();
    Integer ink = 0;
    for (Integer x = c.Left + fromX; x < c.Left + toX; ++x)
      for (Integer y = c.Top; y < c.Bottom; ++y) ink += canvas->Pixels(x, y) == clBlack ? 1 : 0;
    return ink;
  };
  EXPECT_GT(inkIn(0, 40), 0);
  EXPECT_EQ(inkIn(80, 120), 0);
  view_->GetRow(0)->SetHeaderAlignmentHorz(taRightJustify);
  EXPECT_EQ(inkIn(0, 40), 0);
  EXPECT_GT(inkIn(80, 120), 0);
}

// A row caption cut by the caption width shows its text as a hint (RowCaptionHints).
TEST_F(CardViewTest, CutRowCaptionsShowHints) {
  Fill(2);
  view_->GetOptionsCustomize()->SetItemFiltering(false);
  view_->GetOptionsView()->SetCaptionWidth(MeasureTextWidthInFont(grid_->Font(), "City:") + 6);
  Show();
  ASSERT_TRUE(form_->Active());
  auto* card = static_cast<TcxGridCardViewInfo*>(view_->GetViewInfo()->GetCardsViewInfo()->Items(1));
  TcxCustomGridController* controller = view_->Controller();
  HWND site = view_->Site()->Handle();
  auto hover = [&](Integer row) {
    TRect c = card->CaptionBounds(row);
    S().MoveMouse(site, POINT{c.Left + 4, (c.Top + c.Bottom) / 2});
    Pump();
  };
  hover(2);  // "Amount:" is cut
  EXPECT_EQ(controller->HintCell(), card);
  ASSERT_NE(controller->HintWindow(), nullptr);
  EXPECT_EQ(controller->HintWindow()->Caption(), "Amount:");
  hover(1);  // "City:" fits
  EXPECT_EQ(controller->HintCell(), nullptr);
  view_->GetOptionsBehavior()->SetRowCaptionHints(false);
  hover(2);
  EXPECT_EQ(controller->HintCell(), nullptr);
}


// Keys typed into the editor of a card's value cell (the City row of the second card of the
// second layout column): Left and Right at the text ends move to the neighbouring column's card;
// with cell selection Up, Down, Home and End stay with the editor, without it they move the
// focus. Without an editor the controller's own keys act.
TEST_F(CardViewTest, KeysFromAValueCellsEditorAsTheCellSelectionSays) {
  Fill(30);
  Integer perColumn = Show()->GetColumn(0)->GetCardCount();
  ASSERT_GE(perColumn, 3);
  view_->Site()->SetFocus();
  Pump();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  const Integer record = perColumn + 1;
  enum Caret { kNoEditor = -1, kStart = 0, kMiddle = 2, kEnd = 6 };  // in "Town x"
  struct Case {
    const char* name;
    Word key;
    bool ctrl;
    Integer caret;
    bool cellSelect, alwaysShowEditor;
    Integer record, row;
    bool editing;
  } cases[] = {
      {"Down", VK_DOWN, false, kMiddle, true, false, record, 1, true},
      {"Up at the start", VK_UP, false, kStart, true, false, record, 1, true},
      {"Home at the start", VK_HOME, false, kStart, true, false, record, 1, true},
      {"Ctrl+End at the end", VK_END, true, kEnd, true, false, record, 1, true},
      {"Right inside the text", VK_RIGHT, false, kMiddle, true, false, record, 1, true},
      {"Right at the end", VK_RIGHT, false, kEnd, true, false, record + perColumn, 1, false},
      {"Left at the start", VK_LEFT, false, kStart, true, false, record - perColumn, 1, false},
      {"Right at the end, AlwaysShowEditor", VK_RIGHT, false, kEnd, true, true, record + perColumn, 1, true},
      {"Down, no cell selection", VK_DOWN, false, kMiddle, false, false, record + 1, 1, false},
      {"Up, no cell selection", VK_UP, false, kStart, false, false, record - 1, 1, false},
      {"Home, no cell selection", VK_HOME, false, kStart, false, false, 0, 1, false},
      {"Ctrl+End, no cell selection", VK_END, true, kEnd, false, false, 29, 1, false},
      {"Down, no editor", VK_DOWN, false, kNoEditor, true, false, record, 2, false},
      {"Home, no editor", VK_HOME, false, kNoEditor, true, false, record, 0, false},
      {"Ctrl+Home, no editor", VK_HOME, true, kNoEditor, true, false, 0, 1, false},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    view_->TableOptionsSelection()->SetCellSelect(true);
    view_->GetOptionsBehavior()->SetAlwaysShowEditor(cs.alwaysShowEditor);
    c->EditingController()->HideEdit(false);
    c->FocusRowAtIndex(record);
    c->SetFocusedItem(view_->GetRow(1));
    Pump();
    TRect r = c->CardViewInfoOfRow(record)->ValueCell(1)->Bounds;
    Advance(1000);  // no double click with the click before
    S().Click(view_->Site()->Handle(), {r.Left + 5, r.Top + 3});
    Pump();
    ASSERT_TRUE(c->EditingController()->IsEditing());
    auto* edit = dynamic_cast<TcxCustomTextEdit*>(c->EditingController()->Edit());
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->Text(), "Town 3");
    view_->TableOptionsSelection()->SetCellSelect(cs.cellSelect);
    if (cs.caret == kNoEditor) {
      c->EditingController()->HideEdit(false);
      Pump();
      ASSERT_TRUE(view_->Site()->Focused());
    } else {
      ASSERT_TRUE(HoldsInputFocus(edit));
      edit->SetSelStart(cs.caret);
      edit->SetSelLength(0);
    }
    S().PressKey(cs.key, false, cs.ctrl);
    Pump();
    EXPECT_EQ(c->FocusedRowIndex(), cs.record);
    EXPECT_EQ(c->FocusedItem(), view_->GetRow(cs.row));
    EXPECT_EQ(c->EditingController()->IsEditing(), cs.editing);
  }
  // The focused-record flag and a card without a focused row hand every arrow to the controller.
  view_->TableOptionsSelection()->SetCellSelect(true);
  view_->GetOptionsBehavior()->SetAlwaysShowEditor(false);
  c->EditingController()->HideEdit(false);
  c->SetFocusedItem(view_->GetRow(1));
  for (Word key : {VK_HOME, VK_END, VK_UP, VK_DOWN}) {
    EXPECT_FALSE(c->IsKeyForController(key, {}, false)) << key;
    EXPECT_TRUE(c->IsKeyForController(key, {}, true)) << key;
  }
  EXPECT_FALSE(c->IsKeyForController('A', {}, false));
  c->SetFocusedItem(nullptr);
  for (Word key : {VK_HOME, VK_END, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) EXPECT_TRUE(c->IsKeyForController(key, {}, false)) << key;
}

// The row caption's alignments are the item's header alignments; they, Hidden and the sort
// properties are written only when set and read back from a stored form.
TEST_F(CardViewTest, RowCaptionAlignmentsAndSortingInAStoredForm) {
  const char* text = R"(object Form1: TForm
  object Grid: TcxGrid
    object Cards: TcxGridCardView
      object CardsName: TcxGridCardViewRow
        Caption = 'Name'
      end
      object CardsCity: TcxGridCardViewRow
        Caption = 'City'
        CaptionAlignmentHorz = taCenter
        CaptionAlignmentVert = vaBottom
        Hidden = True
        SortIndex = 0
        SortOrder = soDescending
      end
    end
    object Level: TcxGridLevel
      GridView = Cards
    end
  end
end
)";
  auto* form = new TForm(Application);
  ReadComponentFromText(form, text);
  auto check = [](TForm* f) {
    auto* view = dynamic_cast<TcxGridCardView*>(f->FindComponent("Cards"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->ItemCount(), 2);
    TcxGridCardViewRow* name = view->GetRow(0);
    TcxGridCardViewRow* city = view->GetRow(1);
    EXPECT_EQ(city->GetCaptionAlignmentHorz(), taCenter);
    EXPECT_EQ(city->HeaderAlignmentHorz(), taCenter);
    EXPECT_EQ(city->GetCaptionAlignmentVert(), vaBottom);
    EXPECT_TRUE(city->Hidden());
    EXPECT_EQ(city->SortIndex(), 0);
    EXPECT_EQ(city->SortOrder(), soDescending);
    EXPECT_FALSE(name->IsHeaderAlignmentHorzAssigned());
    EXPECT_EQ(name->SortIndex(), -1);
    EXPECT_EQ(name->SortOrder(), soNone);
  };
  check(form);
  String written = WriteComponentToText(form);
  for (const char* line : {"CaptionAlignmentHorz = taCenter", "CaptionAlignmentVert = vaBottom", "Hidden = True",
                           "SortIndex = 0", "SortOrder = soDescending"}) {
    size_t at = written.find(line);
    EXPECT_NE(at, String::npos) << line << "\n" << written;
    EXPECT_EQ(written.find(line, at + 1), String::npos) << line;  // only the City row
  }
  auto* copy = new TForm(Application);
  ReadComponentFromText(copy, written);
  check(copy);
  copy->Free();
  form->Free();
}

// Keys inside a card taller than the cards area (ten rows, the first card's rows scrolling):
// F2, Escape, Up and Down with and without a focused row and cell selection.
TEST_F(CardViewTest, KeysInsideATallCard) {
  for (Integer i = 0; i < 7; ++i) view_->CreateRow()->SetCaption("More " + IntToStr(i));
  Fill(3);
  grid_->SetHeight(120);
  Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  const Integer kNone = -1, kEnd = -2;  // no focused row; the card scrolled to its last rows
  struct Case {
    const char* name;
    Word key;
    bool cellSelect, invertSelect;
    Integer record, row, top;          // before: the focused record and row, the card's top row
    Integer wantRecord, wantRow, wantTop;  // after; the top row of the card first focused
  } cases[] = {
      {"F2 without a row focuses the first row", VK_F2, true, true, 1, kNone, 0, 1, 0, 0},
      {"F2 brings the first row into view", VK_F2, true, true, 1, kNone, 3, 1, 0, 0},
      {"F2 without cell selection does nothing", VK_F2, false, true, 1, kNone, 0, 1, kNone, 0},
      {"Down without a row scrolls the card", VK_DOWN, true, true, 1, kNone, 0, 1, kNone, 1},
      {"Up without a row scrolls the card back", VK_UP, true, true, 1, kNone, 2, 1, kNone, 1},
      {"Up at the top row goes to the previous card", VK_UP, true, true, 1, kNone, 0, 0, kNone, 0},
      {"Down at the last rows goes to the next card", VK_DOWN, true, true, 1, kNone, kEnd, 2, kNone, kEnd},
      {"Down without cell selection scrolls first", VK_DOWN, false, true, 1, 1, 0, 1, 1, 1},
      {"Down with cell selection walks the rows", VK_DOWN, true, true, 1, 1, 0, 1, 2, 0},
      {"Escape under InvertSelect gives up the row", VK_ESCAPE, true, true, 1, 1, 0, 1, kNone, 0},
      {"Escape keeps the row without InvertSelect", VK_ESCAPE, true, false, 1, 1, 0, 1, 1, 0},
  };
  auto topOf = [&](Integer record) { return c->CardViewInfoOfRow(record)->TopRowIndex(); };
  auto lastTop = [&](Integer record) {
    TcxGridCardViewInfo* card = c->CardViewInfoOfRow(record);
    card->MakeRowVisible(view_->GetRow(9));
    Integer top = card->TopRowIndex();
    card->SetTopRowIndex(0);
    return top;
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    view_->TableOptionsSelection()->SetCellSelect(cs.cellSelect);
    view_->TableOptionsSelection()->SetInvertSelect(cs.invertSelect);
    c->FocusRowAtIndex(cs.record);
    c->SetFocusedItem(cs.row == kNone ? nullptr : view_->GetRow(cs.row));
    Pump();
    Integer end = lastTop(cs.record);
    ASSERT_GT(end, 0);
    c->CardViewInfoOfRow(cs.record)->SetTopRowIndex(cs.top == kEnd ? end : cs.top);
    Word key = cs.key;
    c->HandleKeyDown(key, TShiftState());
    Pump();
    EXPECT_EQ(c->FocusedRowIndex(), cs.wantRecord);
    EXPECT_EQ(c->FocusedItem(), cs.wantRow == kNone ? nullptr : view_->GetRow(cs.wantRow));
    EXPECT_EQ(topOf(cs.record), cs.wantTop == kEnd ? end : cs.wantTop);
    for (Integer r = 0; r < 3; ++r) c->CardViewInfoOfRow(r)->SetTopRowIndex(0);
  }
  // Caption rows below the last data row: Down from that row first scrolls the caption rows in,
  // then goes on to the next card.
  view_->TableOptionsSelection()->SetCellSelect(true);
  for (Integer i : {7, 8, 9}) view_->GetRow(i)->SetKind(rkCaption);
  c->FocusRowAtIndex(1);
  c->SetFocusedItem(view_->GetRow(6));
  Pump();
  ASSERT_TRUE(c->CardViewInfoOfRow(1)->CanScrollDown());
  Integer top = topOf(1);
  Word key = VK_DOWN;
  c->HandleKeyDown(key, TShiftState());
  Pump();
  EXPECT_EQ(c->FocusedRowIndex(), 1);
  EXPECT_EQ(c->FocusedItem(), view_->GetRow(6));
  EXPECT_EQ(topOf(1), top + 1);
  while (c->CardViewInfoOfRow(1)->CanScrollDown()) {
    key = VK_DOWN;
    c->HandleKeyDown(key, TShiftState());
    Pump();
  }
  key = VK_DOWN;
  c->HandleKeyDown(key, TShiftState());
  Pump();
  EXPECT_EQ(c->FocusedRowIndex(), 2);
  EXPECT_EQ(c->FocusedItem(), view_->GetRow(0));
}

// Vertical layout: Up and Down by a card row; a target below the shown card rows scrolls the
// cards by a row; the first and last card rows of a top-level view keep the focus.
TEST_F(CardViewTest, VerticalCardRowKeys) {
  Fill(30);
  view_->SetLayoutDirection(ldVertical);
  TcxGridCardsViewInfo* cards = Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  c->SetFocusedItem(nullptr);  // the keys move between cards, not between card rows
  Integer perRow = c->CardsPerScrollLine();
  ASSERT_EQ(perRow, 3);
  Integer shownRows = cards->ShownCount() / perRow;
  ASSERT_GE(shownRows, 1);
  Integer lastShown = shownRows * perRow - 2;  // the middle card of the last shown card row
  struct Case {
    const char* name;
    Word key;
    Integer record, top;
    Integer wantRecord, wantTop;
  } cases[] = {
      {"Down a card row", VK_DOWN, 1, 0, 1 + perRow, 0},
      {"Up in the first card row stays", VK_UP, 1, 0, 1, 0},
      {"Down below the shown rows scrolls a row", VK_DOWN, lastShown, 0, lastShown + perRow, perRow},
      {"Down in the last card row stays", VK_DOWN, 28, 27 - perRow * (shownRows - 1), 28, 27 - perRow * (shownRows - 1)},
      {"Right along the records", VK_RIGHT, 2, 0, 3, 0},
      {"Left along the records", VK_LEFT, 3, 0, 2, 0},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(cs.name);
    c->SetTopRecordIndex(cs.top);
    c->FocusRowAtIndex(cs.record);
    Pump();
    ASSERT_EQ(c->TopRecordIndex(), cs.top);
    Word key = cs.key;
    c->HandleKeyDown(key, TShiftState());
    Pump();
    EXPECT_EQ(c->FocusedRowIndex(), cs.wantRecord);
    EXPECT_EQ(c->TopRecordIndex(), cs.wantTop);
  }
}

// A data row whose caption is hidden shows "<" + its caption + ">" where its value is empty.
TEST_F(CardViewTest, AnEmptyValueUnderAHiddenCaptionShowsTheCaption) {
  Fill(2);  // the second card's City is Null
  Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  EXPECT_EQ(c->CardViewInfoOfRow(1)->ValueCell(1)->GetText(), "");
  view_->GetRow(1)->SetShowCaption(false);
  Pump();
  EXPECT_EQ(c->CardViewInfoOfRow(1)->ValueCell(1)->GetText(), "<City>");
  EXPECT_EQ(c->CardViewInfoOfRow(0)->ValueCell(1)->GetText(), "Town 0");
  view_->GetRow(1)->SetKind(rkCaption);  // caption rows show their value as it is
  Pump();
  EXPECT_EQ(c->CardViewInfoOfRow(1)->ValueCell(1)->GetText(), "");
}

// The expand button: the look and feel's group expand button centred in an area of its extent
// + 10 at either end of the first caption row; collapsing the focused card gives up its row.
TEST_F(CardViewTest, ExpandButtonAreaAndCollapsingTheFocusedCard) {
  Fill(3);
  view_->GetOptionsCustomize()->SetItemFiltering(false);
  view_->GetRow(0)->SetKind(rkCaption);
  view_->GetOptionsCustomize()->SetCardExpanding(true);
  Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  Integer extent = view_->ViewInfo()->GetLookAndFeelPainter()->GroupExpandButtonExtent();
  TcxGridCardViewInfo* card = c->CardViewInfoOfRow(0);
  TRect value = card->ValueCell(0)->Bounds, button = card->ExpandButtonBounds;
  EXPECT_EQ(button.Width(), extent);
  EXPECT_EQ(button.Height(), extent);
  EXPECT_EQ(card->ExpandButtonAreaBounds(), TRect(value.Right - extent - 10, value.Top, value.Right, value.Bottom));
  EXPECT_EQ(button.Right, value.Right - 5);
  // At the left, the caption gives the area room.
  Integer plain = card->CaptionWidth();
  view_->GetOptionsView()->SetCardExpandButtonAlignment(cebaLeft);
  Pump();
  card = c->CardViewInfoOfRow(0);
  EXPECT_EQ(card->CaptionWidth(), std::max(plain, MeasureTextWidthInFont(grid_->Font(), "Name:") + 4 + extent + 10 + 2));
  EXPECT_EQ(card->ExpandButtonBounds.Left, card->CaptionBounds(0).Left + 5);
  // Collapsing the focused card gives up its focused row; another card keeps it.
  c->FocusRowAtIndex(1);
  c->SetFocusedItem(view_->GetRow(2));
  view_->GetViewData()->GetCard(0)->SetExpanded(false);
  EXPECT_EQ(c->FocusedItem(), view_->GetRow(2));
  view_->GetViewData()->GetCard(1)->SetExpanded(false);
  EXPECT_EQ(c->FocusedItem(), nullptr);
}

// The thumb moves the cards while it is dragged (not a grid-mode data set); its release adds
// nothing.
TEST_F(CardViewTest, ThumbTrackingScrollsOutsideGridMode) {
  Fill(60);
  Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  Integer pos = 12;
  c->Scroll(sbHorizontal, scTrack, pos);
  Pump();
  EXPECT_GT(c->TopRecordIndex(), 0);
  EXPECT_EQ(c->TopRecordIndex(), pos);
  Integer top = c->TopRecordIndex();
  pos = 0;
  c->Scroll(sbHorizontal, scPosition, pos);
  Pump();
  EXPECT_EQ(c->TopRecordIndex(), top);
}

// Pulling the focus past the cards scrolls along the records: sideways in the horizontal
// layout, up and down in the vertical one.
TEST_F(CardViewTest, PullFocusingScrollsAlongTheRecords) {
  Fill(60);
  Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  enum Side { kRight, kLeft, kBelow };
  struct Case {
    TcxGridCardViewLayoutDirection layout;
    Side side;
    bool scrolls;
    Integer direction;
  } cases[] = {
      {ldHorizontal, kRight, true, 4}, {ldHorizontal, kLeft, true, 3}, {ldHorizontal, kBelow, false, 0},
      {ldVertical, kBelow, true, 4},   {ldVertical, kRight, false, 0},
  };
  for (const Case& cs : cases) {
    SCOPED_TRACE(testing::Message() << cs.layout << " " << cs.side);
    view_->SetLayoutDirection(cs.layout);
    Pump();
    // Just outside the cards area (its bottom follows the scroll bar of the layout).
    TRect r = view_->GetViewInfo()->GetCardsViewInfo()->Bounds;
    TPoint p = cs.side == kRight ? TPoint(r.Right + 2, r.Top + 20)
               : cs.side == kLeft ? TPoint(r.Left - 2, r.Top + 20)
                                  : TPoint(r.Left + 20, r.Bottom + 2);
    Integer direction = 0;
    EXPECT_EQ(c->GetPullFocusingScrollingDirection(p.X, p.Y, direction), cs.scrolls);
    if (cs.scrolls) {
      EXPECT_EQ(direction, cs.direction);
    }
  }
}

// A row caption's height and width follow its own font; with RowCaptionAutoHeight a caption
// too long for the caption width takes several lines and the cards no longer share a height.
TEST_F(CardViewTest, RowCaptionHeightsFollowTheirFontAndLines) {
  Fill(2);
  view_->GetOptionsCustomize()->SetItemFiltering(false);
  Show();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  Integer plain = c->CardViewInfoOfRow(0)->RowHeight(1);
  Integer plainWidth = c->CardViewInfoOfRow(0)->CaptionWidth();
  auto* repository = new TcxStyleRepository(form_);
  auto* big = new TcxStyle(repository);
  std::unique_ptr<TFont> font(new TFont());
  font->Assign(grid_->Font());
  font->SetSize(font->Size() * 3);
  big->SetFont(font.get());
  view_->GetRow(1)->GetStyles()->SetCaption(big);
  Relayout();
  TcxGridCardViewInfo* card = c->CardViewInfoOfRow(0);
  EXPECT_EQ(card->RowHeight(1), MeasureTextHeightInFont(font.get(), "Qq") + 4);
  EXPECT_GT(card->RowHeight(1), plain);
  EXPECT_EQ(card->RowHeight(0), plain);
  EXPECT_EQ(card->CaptionWidth(), std::max(plainWidth, MeasureTextWidthInFont(font.get(), "City:") + 4 + 2));
  EXPECT_EQ(card->CaptionBounds(1).Height(), card->RowHeight(1));
  // Automatic caption heights: a long caption in a narrow caption column wraps.
  view_->GetRow(1)->GetStyles()->SetCaption(nullptr);
  view_->GetRow(2)->SetCaption("Amount of the order");
  view_->GetOptionsView()->SetCaptionWidth(MeasureTextWidthInFont(grid_->Font(), "Amount of") + 8);
  view_->GetOptionsView()->SetItemCaptionAutoHeight(true);
  Relayout();
  card = c->CardViewInfoOfRow(0);
  Integer line = MeasureTextHeightInFont(grid_->Font(), "Qq");
  EXPECT_GE(card->RowHeight(2), 2 * line + 4);
  EXPECT_EQ(card->RowHeight(1), plain);
  EXPECT_EQ(view_->GetViewInfo()->CommonCardHeight(), 0);
  view_->GetOptionsView()->SetItemCaptionAutoHeight(false);
  Relayout();
  EXPECT_EQ(c->CardViewInfoOfRow(0)->RowHeight(2), plain);
  EXPECT_GT(view_->GetViewInfo()->CommonCardHeight(), 0);
}

// At design time the controller takes presses on a row's value and caption, not on the card.
TEST_F(CardViewTest, DesignTimePressesOnRowCells) {
  Fill(2);
  view_->GetOptionsCustomize()->SetItemFiltering(false);
  Show();
  TcxGridCardViewInfo* card = static_cast<TcxGridCardViewController*>(view_->Controller())->CardViewInfoOfRow(0);
  TRect value = card->ValueCell(1)->Bounds, caption = card->CaptionBounds(1);
  struct Case {
    TPoint p;
    Integer code;
    bool handled;
  } cases[] = {
      {TPoint(value.Left + 5, value.Top + 3), 107, true},
      {TPoint(caption.Left + 5, caption.Top + 3), 152, true},
      {TPoint(card->Bounds.Left, card->Bounds.Top), 106, false},
  };
  for (const Case& cs : cases) {
    TcxCustomGridHitTest* hit = view_->ViewInfo()->GetHitTest(cs.p);
    ASSERT_EQ(hit->GetHitTestCode(), cs.code);
    EXPECT_EQ(view_->Controller()->HandlesDesignTimeMouse(hit), cs.handled) << cs.code;
  }
}

// The focus frame of a focused value goes round its whole row, the caption included.
TEST_F(CardViewTest, TheFocusFrameSurroundsTheRow) {
  Fill(2);
  view_->GetOptionsCustomize()->SetItemFiltering(false);
  view_->TableOptionsSelection()->SetInvertSelect(false);  // a focused cell shows its frame
  Show();
  view_->Site()->SetFocus();
  auto* c = static_cast<TcxGridCardViewController*>(view_->Controller());
  c->FocusRowAtIndex(0);
  auto marksAtCaptionEdge = [&](TcxGridCardViewRow* focused, Integer row) {
    c->SetFocusedItem(focused);
    Pump();
    form_->Repaint();
    Pump();
    TRect r = c->CardViewInfoOfRow(0)->RowBounds(row);
    TCanvas* canvas = view_->Site()->Canvas()->Canvas();
    TColor background = canvas->Pixels(r.Left + 1, r.Top + 1);
    Integer marks = 0;
    for (Integer y = r.Top; y < r.Bottom; ++y) marks += canvas->Pixels(r.Left, y) != background ? 1 : 0;
    return marks;
  };
  EXPECT_GT(marksAtCaptionEdge(view_->GetRow(1), 1), 0);
  EXPECT_EQ(marksAtCaptionEdge(view_->GetRow(2), 1), 0);
}

// Cards over a data set, for grid mode.
class TDBCardView : public TcxGridCardView {
  KORVAN_CLASS(TDBCardView, TcxGridCardView)

 public:
  using TcxGridCardView::TcxGridCardView;
  TcxDataControllerClass GetDataControllerClass() override { return DataControllerClassOf<TcxGridDBDataController>(); }
};
KORVAN_IMPLEMENT_CLASS(TDBCardView)

// In grid mode a new card width starts the synchronisation timer (its tick hands the view's
// buffer count for the new width to the data controller).
TEST_F(CardViewTest, ANewCardWidthResynchronisesGridMode) {
  TMemDataSet ds(nullptr);
  TDataSource source(nullptr);
  ds.AddFieldDef("id", ftInteger);
  for (int i = 1; i <= 400; ++i) ds.AppendRow({i});
  ds.Open();
  source.SetDataSet(&ds);
  auto* view = static_cast<TDBCardView*>(grid_->CreateView(TDBCardView::StaticClass()));
  grid_->Levels()->Items(0)->SetGridView(view);
  auto* dc = static_cast<TcxGridDBDataController*>(view->DataController());
  dc->SetDataSource(&source);
  dc->CreateAllItems();
  dc->DataModeController()->SetGridMode(true);
  form_->Show();
  Pump();
  Advance(10);
  auto* c = static_cast<TcxGridCardViewController*>(view->Controller());
  ASSERT_FALSE(c->GridModeSyncTimerRunning());
  view->GetOptionsView()->SetCardWidth(60);
  EXPECT_TRUE(c->GridModeSyncTimerRunning());
  Advance(10);
  EXPECT_FALSE(c->GridModeSyncTimerRunning());
}

// Vertical layout in grid mode: Down from the last loaded card row, the data set not at its
// end, scrolls the loaded records a step and focuses the card below (here the last loaded one);
// at the data set's end the focus stays.
TEST_F(CardViewTest, VerticalDownInGridModeScrollsTheLoadedRecords) {
  TMemDataSet ds(nullptr);
  TDataSource source(nullptr);
  ds.AddFieldDef("id", ftInteger);
  for (int i = 1; i <= 200; ++i) ds.AppendRow({i});
  ds.Open();
  source.SetDataSet(&ds);
  auto* view = static_cast<TDBCardView*>(grid_->CreateView(TDBCardView::StaticClass()));
  grid_->Levels()->Items(0)->SetGridView(view);
  view->SetLayoutDirection(ldVertical);
  auto* dc = static_cast<TcxGridDBDataController*>(view->DataController());
  dc->SetDataSource(&source);
  dc->CreateAllItems();
  dc->DataModeController()->SetGridModeBufferCount(20);
  dc->DataModeController()->SetGridMode(true);
  form_->Show();
  Pump();
  ASSERT_TRUE(dc->IsGridMode());
  ASSERT_EQ(view->GetViewData()->GetCardCount(), 20);
  auto* c = static_cast<TcxGridCardViewController*>(view->Controller());
  ASSERT_EQ(c->CardsPerScrollLine(), 3);
  auto id = [&] { return ds.FieldByName("id")->AsInteger(); };
  auto down = [&] {
    Word key = VK_DOWN;
    c->HandleKeyDown(key, TShiftState());
    Pump();
  };
  c->FocusRowAtIndex(18);  // the last loaded card row holds rows 18 and 19
  Pump();
  ASSERT_EQ(id(), 19);
  down();
  EXPECT_FALSE(dc->IsBOF());
  EXPECT_EQ(c->FocusedRowIndex(), 19);
  EXPECT_EQ(id(), 23);  // the loaded records moved on by a card row (3): the last loaded is 23
  // At the end of the data set the last card row keeps the focus.
  c->GoToLastRecord(false);
  Pump();
  ASSERT_EQ(id(), 200);
  down();
  EXPECT_EQ(id(), 200);
}
}  // namespace
