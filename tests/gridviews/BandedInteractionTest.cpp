// Working with bands by mouse: drop zones from a band header's diagonals, valid destinations,
// NestedBands off, HoldOwnColumnsOnly refusals, band drops, column drops into new band rows,
// line-count sizing that snaps to whole lines, band sizing clamped, the Bands page and the
// bands popup.
#include <gtest/gtest.h>

#include <functional>

#include "BandedTestSupport.h"

namespace {

using bandedtest::BandedFixture;

class BandedInteractionTest : public BandedFixture {
 protected:
  void Build() {
    AddBand("A");
    AddBand("B");
    AddBand("C");
    AddColumn("a", 0);
    AddColumn("b", 1);
    AddColumn("c", 2);
    Fill(3);
    Show();
    view_->OnBandPosChanged = [this](TcxGridBandedTableView*, TcxGridBand*) { ++posChanged_; };
  }
  TRect HeaderOf(Integer band) { return BandInfo(view_->Bands()->GetBand(band))->GetHeaderViewInfo()->Bounds; }
  void Drag(POINT from, POINT to) {
    HWND site = view_->Site()->Handle();
    S().MouseDown(site, from);
    for (int i = 1; i <= 4; ++i)
      S().MoveMouse(site, TPoint(from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4));
    Pump();
    S().MouseUp(site, to);
    Pump();
  }
  static POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // A moving object for band `moved` with the destination set (no mouse).
  std::unique_ptr<TcxGridBandHeaderMovingObject> Mover(Integer moved, TcxGridBand* dest, Integer zone) {
    auto m = std::make_unique<TcxGridBandHeaderMovingObject>(view_->Site());
    m->SourceItem = view_->Bands()->GetBand(moved);
    m->SetDestination(dest, zone, false, false);
    m->CheckHoldOwnColumns();
    return m;
  }
  Integer posChanged_ = 0;
};

TEST_F(BandedInteractionTest, DropZonesFromTheHeaderDiagonals) {
  Build();
  const TRect h = HeaderOf(1);
  const Integer cx = (h.Left + h.Right) / 2, cy = (h.Top + h.Bottom) / 2;
  struct Case {
    TPoint p;
    Integer zone;
  };
  const Case cases[] = {{TPoint(cx, h.Top + 1), bdzTop},       {TPoint(cx, h.Bottom - 1), bdzBottom},
                        {TPoint(h.Left + 1, cy), bdzLeft},      {TPoint(h.Right - 2, cy), bdzRight},
                        {TPoint(cx, h.Top - 10), bdzBottom /* above: 20 px reach of a root */}};
  for (const Case& c : cases) {
    TcxGridBand* band = nullptr;
    Integer zone = -1;
    BandsInfo()->FindDropBand(c.p, band, zone);
    SCOPED_TRACE(std::to_string(c.p.X) + "," + std::to_string(c.p.Y));
    EXPECT_EQ(band, view_->Bands()->GetBand(1));
    if (c.p.Y >= h.Top) {
      EXPECT_EQ(zone, c.zone);
    }
  }
  // NestedBands off: only the halves count.
  view_->GetOptionsCustomize()->SetNestedBands(false);
  TcxGridBand* band = nullptr;
  Integer zone = -1;
  BandsInfo()->FindDropBand(TPoint(cx - 1, h.Top + 1), band, zone);
  EXPECT_EQ(zone, bdzLeft);
  BandsInfo()->FindDropBand(TPoint(cx, h.Bottom - 1), band, zone);
  EXPECT_EQ(zone, bdzRight);
  BandsInfo()->FindDropBand(TPoint(h.Left, h.Bottom + 200), band, zone);
  EXPECT_EQ(band, nullptr);
}

// Band drops as tables: the destination, its zone, whether it is valid and the tree after.
TEST_F(BandedInteractionTest, BandDropsAndTheirValidity) {
  struct Case {
    const char* name;
    std::function<void(BandedInteractionTest*)> prepare;
    Integer moved, dest, zone;
    bool valid;
    const char* tree;
  };
  const Case cases[] = {
      {"top: the moved band takes the target's place, the target its first child", nullptr, 0, 2, bdzTop, true,
       "B{b} A(C{a,c})"},
      {"bottom: the moved band becomes the target's first child", nullptr, 0, 1, bdzBottom, true, "B(A{b,a}) C{c}"},
      {"right of the next band: a sibling after it", nullptr, 0, 1, bdzRight, true, "B{b} A{a} C{c}"},
      {"left of the right neighbour: it would stay, refused", nullptr, 0, 1, bdzLeft, false, "A{a} B{b} C{c}"},
      {"right of the left neighbour: refused", nullptr, 1, 0, bdzRight, false, "A{a} B{b} C{c}"},
      {"onto itself: refused", nullptr, 1, 1, bdzTop, false, "A{a} B{b} C{c}"},
      {"another fixed kind: refused",
       [](BandedInteractionTest* t) { t->view_->Bands()->GetBand(2)->SetFixedKind(fkRight); }, 0, 2, bdzLeft, false,
       "A{a} B{b} C{c}"},
      {"a band holding its own columns refuses to hand them over",
       [](BandedInteractionTest* t) { t->view_->Bands()->GetBand(1)->Options()->SetHoldOwnColumnsOnly(true); }, 0, 1,
       bdzBottom, false, "A{a} B{b} C{c}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view_->ClearItems();
    while (view_->Bands()->Count() > 0) view_->Bands()->GetBand(0)->Free();
    Build();
    if (c.prepare) c.prepare(this);
    posChanged_ = 0;
    auto m = Mover(c.moved, view_->Bands()->GetBand(c.dest), c.zone);
    EXPECT_EQ(m->IsValidDestination(), c.valid);
    // A refused drop changes nothing when released.
    EXPECT_EQ(m->ApplyDrop(), c.valid);
    EXPECT_EQ(Tree(), c.tree);
    EXPECT_EQ(posChanged_, c.valid ? 1 : 0);
  }
}

TEST_F(BandedInteractionTest, BandDraggedByMouseIntoAnotherBand) {
  Build();
  const TRect target = HeaderOf(2);
  Drag(Center(HeaderOf(0)), POINT{(target.Left + target.Right) / 2, target.Bottom - 1});
  EXPECT_EQ(Tree(), "B{b} C(A{c,a})");
  EXPECT_EQ(posChanged_, 1);
  // Without a destination and without BandHiding nothing happens.
  Drag(Center(HeaderOf(1)), POINT{300, 330});
  EXPECT_EQ(Tree(), "B{b} C(A{c,a})");
}

// Column drops: into a new band row below the last one, and into a band that holds its own.
TEST_F(BandedInteractionTest, ColumnDroppedIntoANewBandRow) {
  AddBand("A");
  AddBand("B");
  AddColumn("x", 0);
  AddColumn("y", 0);
  AddColumn("z", 1);
  Fill(2);
  Show();
  TcxGridBandViewInfo* a = BandInfo(view_->Bands()->GetBand(0));
  const TRect rows = a->GetRowsViewInfo()->Bounds;
  // Below the last row (within 20 pixels while dragging): a new last row.
  std::unique_ptr<TcxGridItemContainerZone> zone(
      Info()->GetHeaderViewInfo()->GetBandedDropZone(TPoint(rows.Left + 5, rows.Bottom - 6)));
  ASSERT_NE(zone, nullptr);
  EXPECT_EQ(zone->ItemIndex, 0);  // on the header of x
  Drag(Center(Header(view_->GetColumn(2))->Bounds), POINT{rows.Left + 5, rows.Bottom + 10});
  EXPECT_EQ(Tree(), "A{x,y|z} B{}");
  // A band holding its own columns refuses others.
  view_->Bands()->GetBand(0)->Options()->SetHoldOwnColumnsOnly(true);
  Relayout();
  view_->GetColumn(1)->Position()->SetBandIndex(1);
  Relayout();
  const TRect xHeader = Header(view_->GetColumn(0))->Bounds;
  Drag(Center(Header(view_->GetColumn(1))->Bounds), POINT{xHeader.Left + 2, (xHeader.Top + xHeader.Bottom) / 2});
  EXPECT_EQ(Tree(), "A{x|z} B{y}");
}

TEST_F(BandedInteractionTest, LineCountSizingSnapsToWholeLines) {
  AddBand("A");
  TcxGridBandedColumn* x = AddColumn("x", 0);
  AddColumn("y", 0);
  Fill(2);
  Show();
  const TRect h = Header(x)->Bounds;
  const Integer line = Info()->HeaderViewInfo()->GetItemHeight();
  // Down by one and a half lines: rounded to 2 more; up far: at least one line.
  Drag(POINT{(h.Left + h.Right) / 2 - 10, h.Bottom - 2},
       POINT{(h.Left + h.Right) / 2 - 10, h.Bottom + line * 3 / 2 + 1});
  EXPECT_EQ(x->Position()->LineCount(), 3);
  const TRect h2 = Header(x)->Bounds;
  Drag(POINT{(h2.Left + h2.Right) / 2 - 10, h2.Bottom - 2}, POINT{(h2.Left + h2.Right) / 2 - 10, h2.Top - 40});
  EXPECT_EQ(x->Position()->LineCount(), 1);
}

TEST_F(BandedInteractionTest, BandSizingIsClamped) {
  TcxGridBand* a = AddBand("A");
  AddBand("B", 0);
  AddBand("C", 0);
  a->SetWidth(300);
  AddColumn("b", 1);
  AddColumn("c", 2);
  Fill(2);
  Show();
  TcxGridBand* b = view_->Bands()->GetBand(1);
  TcxGridBandViewInfo* info = BandInfo(b);
  const Integer max = info->GetMaxContentWidth();
  const TRect h = info->GetHeaderViewInfo()->Bounds;
  Drag(POINT{h.Right, (h.Top + h.Bottom) / 2}, POINT{h.Right + 500, (h.Top + h.Bottom) / 2});
  EXPECT_EQ(b->Width(), max);
  // A double click on the edge fits the band to its columns and caption.
  Integer sized = 0;
  view_->OnBandSizeChanged = [&](TcxGridBandedTableView*, TcxGridBand*) { ++sized; };
  const TRect h2 = BandInfo(b)->GetHeaderViewInfo()->Bounds;
  S().DoubleClick(view_->Site()->Handle(), POINT{h2.Right, (h2.Top + h2.Bottom) / 2});
  Pump();
  EXPECT_EQ(sized, 1);
}

TEST_F(BandedInteractionTest, BandsPageAndBandsPopup) {
  AddBand("A");
  AddBand("B", 0);
  AddBand("C");
  TcxGridBand* hidden = AddBand("H");
  hidden->SetVisible(false);
  AddBand("Secret")->SetHidden(true);
  view_->Bands()->GetBand(4)->SetVisible(false);
  AddColumn("b", 1);
  AddColumn("c", 2);
  Fill(2);
  Show();
  view_->Controller()->SetCustomization(true);
  Pump();
  auto* form = dynamic_cast<TcxGridBandedTableCustomizationForm*>(view_->Controller()->CustomizationForm());
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->BandsPage()->PageIndex(), 0);
  EXPECT_EQ(form->BandsPage()->Caption(), "Bands");
  ASSERT_EQ(form->BandsListBox()->Items()->Count(), 1);
  EXPECT_EQ(form->BandsListBox()->Items()->Strings(0), "H");
  view_->Controller()->SetCustomization(false);
  Pump();
  // The popup: roots in collection order, a shown band's children after it, no hidden ones.
  TcxGridBandsCustomizationPopup* popup = view_->GetController()->GetBandsCustomizationPopup();
  popup->FillItems();
  TcxCheckListBoxItems* items = popup->CheckListBox()->CheckItems();
  ASSERT_EQ(items->Count(), 4);
  const char* captions[] = {"A", "B", "C", "H"};
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(items->Item(i)->Text(), captions[i]);
  EXPECT_EQ(items->Item(3)->State(), cbsUnchecked);
  popup->SetItemChecked(view_->Bands()->GetBand(0), false);
  EXPECT_FALSE(view_->Bands()->GetBand(0)->Visible());
  EXPECT_EQ(popup->CheckListBox()->CheckItems()->Count(), 3);  // B is not listed under a hidden A
}

}  // namespace

namespace {

using bandedtest::BandedFixture;

class BandedIndicatorTest : public BandedFixture {};

// The bands quick customization shows the indicator; its band header item beside the band
// headers opens the bands popup, the column header item stays beside the column headers.
TEST_F(BandedIndicatorTest, BandHeaderItemOpensTheBandsPopup) {
  AddBand("A");
  AddBand("B");
  AddColumn("a", 0);
  AddColumn("b", 1);
  Fill(2);
  view_->GetOptionsCustomize()->SetBandsQuickCustomization(true);
  Show();
  auto* indicator = dynamic_cast<TcxGridBandedIndicatorViewInfo*>(Info()->IndicatorViewInfo());
  ASSERT_NE(indicator, nullptr);
  EXPECT_TRUE(indicator->Visible);
  TcxGridIndicatorBandHeaderItemViewInfo* item = indicator->BandHeaderItem();
  ASSERT_NE(item, nullptr);
  const Integer bandArea = BandsInfo()->GetBandHeadersAreaHeight();
  EXPECT_EQ(item->Bounds.Top, Info()->HeaderViewInfo()->Bounds.Top);
  EXPECT_EQ(item->Bounds.Height(), bandArea);
  EXPECT_EQ(indicator->HeaderItem()->Bounds.Top, item->Bounds.Bottom);
  EXPECT_EQ(item->GetHintText(), "Click here to select visible bands");
  EXPECT_FALSE(view_->GetController()->HasBandsCustomizationPopup());
  S().MouseDown(view_->Site()->Handle(), POINT{(item->Bounds.Left + item->Bounds.Right) / 2,
                                               (item->Bounds.Top + item->Bounds.Bottom) / 2});
  Pump();
  ASSERT_TRUE(view_->GetController()->HasBandsCustomizationPopup());
  EXPECT_TRUE(view_->GetController()->GetBandsCustomizationPopup()->Visible());
  EXPECT_EQ(view_->GetController()->GetBandsCustomizationPopup()->CheckListBox()->CheckItems()->Count(), 2);
}

}  // namespace
