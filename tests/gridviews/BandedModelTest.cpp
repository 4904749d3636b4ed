// The band model: tree operations and the lists derived from them, column positions in band
// rows, fixed kinds, destroying and assigning bands, invalid input, the visible column order
// and stored positions applied after loading.
#include <gtest/gtest.h>

#include <functional>

#include "BandedTestSupport.h"

namespace {

using bandedtest::BandedFixture;

class BandedModelTest : public BandedFixture {};

// Each case builds a small tree, runs one operation and checks the whole tree and every list.
TEST_F(BandedModelTest, TreeOperationsAndDerivedLists) {
  struct Case {
    const char* name;
    std::function<void(BandedModelTest*)> run;
    const char* tree;
    const char* lists;
  };
  const Case cases[] = {
      {"a band with columns hands them to its first child, keeping rows and places",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddColumn("x", 0);
         t->AddColumn("y", 0);
         t->AddColumn("z", 0, 1);
         t->AddBand("B", 0);
       },
       "A(B{x,y|z})", "leaf:B root:A visible:A B vroot:A bottom:B"},
      {"a column moved into a band with children: they become roots after its root",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("B", 0);
         t->AddBand("C", 0);
         t->AddBand("D");
         t->AddColumn("x", 1);
         t->AddColumn("y", 3);
         t->view_->GetColumn(1)->Position()->SetBandIndex(0);
       },
       "A{y} B{x} C{} D{}", "leaf:A B C D root:A B C D visible:A B C D vroot:A B C D bottom:A B C D"},
      {"fixed kinds order the visible bands: left, scrollable, right",
       [](BandedModelTest* t) {
         t->AddBand("D")->SetFixedKind(fkRight);
         t->AddBand("C");
         t->AddBand("B")->SetFixedKind(fkLeft);
         t->AddBand("A")->SetFixedKind(fkLeft);
       },
       "D{} C{} B{} A{}", "leaf:D C B A root:D C B A visible:B A C D vroot:B A C D bottom:B A C D"},
      {"a parent's fixed kind passes to its children",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("B", 0);
         t->AddBand("C");
         t->view_->Bands()->GetBand(0)->SetFixedKind(fkRight);
       },
       "A(B{}) C{}", "leaf:B C root:A C visible:C A B vroot:C A bottom:C B"},
      {"a child given another kind than its parent becomes a root band",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("B", 0);
         t->AddBand("C", 0);
         t->view_->Bands()->GetBand(2)->SetFixedKind(fkLeft);
       },
       "A(B{}) C{}", "leaf:B C root:A C visible:C A B vroot:C A bottom:C B"},
      {"the last column leaving a band row removes the row",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddColumn("x", 0);
         t->AddColumn("y", 0, 1);
         t->AddColumn("z", 0, 2);
         t->AddColumn("w", 0, 3);
         t->view_->GetColumn(1)->Position()->SetRowIndex(3);
       },
       "A{x|z|w,y}", "leaf:A root:A visible:A vroot:A bottom:A"},
      {"a column moves inside its row and into a new last row",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddColumn("x", 0);
         t->AddColumn("y", 0);
         t->AddColumn("z", 0);
         t->view_->GetColumn(2)->Position()->SetColIndex(0);
         t->view_->GetColumn(0)->Position()->SetRowIndex(7);
       },
       "A{z,y|x}", "leaf:A root:A visible:A vroot:A bottom:A"},
      {"destroying a band: its children take its place, its columns lose their band",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("P");
         t->AddBand("B", 1);
         t->AddBand("C", 1);
         t->AddBand("D");
         t->AddColumn("x", 2);
         t->view_->Bands()->GetBand(1)->Free();
       },
       "A{} B{x} C{} D{}", "leaf:A B C D root:A B C D visible:A B C D vroot:A B C D bottom:A B C D"},
      {"hidden bands leave the visible lists, their children too",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("B", 0);
         t->AddBand("C");
         t->view_->Bands()->GetBand(0)->SetVisible(false);
       },
       "A(B{}) C{}", "leaf:B C root:A C visible:C vroot:C bottom:C"},
      {"out-of-range and own indexes are ignored for bands",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("B");
         t->view_->Bands()->GetBand(0)->Position()->SetBandIndex(5);
         t->view_->Bands()->GetBand(0)->Position()->SetBandIndex(-7);
         t->view_->Bands()->GetBand(0)->Position()->SetBandIndex(0);
       },
       "A{} B{}", "leaf:A B root:A B visible:A B vroot:A B bottom:A B"},
      {"a band made the child of its own descendant first lifts its children into its place",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddBand("B", 0);
         t->AddBand("C", 0);
         t->view_->Bands()->GetBand(0)->Position()->SetBandIndex(2);
       },
       "B{} C(A{})", "leaf:B A root:B C visible:B C A vroot:B C bottom:B A"},
      {"an out-of-range band index detaches a column",
       [](BandedModelTest* t) {
         t->AddBand("A");
         t->AddColumn("x", 0);
         t->AddColumn("y", 0);
         t->view_->GetColumn(0)->Position()->SetBandIndex(9);
       },
       "A{y}", "leaf:A root:A visible:A vroot:A bottom:A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    view_->ClearItems();
    while (view_->Bands()->Count() > 0) view_->Bands()->GetBand(view_->Bands()->Count() - 1)->Free();
    c.run(this);
    EXPECT_EQ(Tree(), c.tree);
    EXPECT_EQ(Lists(), c.lists);
  }
}

TEST_F(BandedModelTest, PositionsOfBandsAndColumns) {
  AddBand("A");
  AddBand("B", 0);
  AddBand("C", 0);
  AddBand("D");
  TcxGridBandedColumn* x = AddColumn("x", 1);
  TcxGridBandedColumn* y = AddColumn("y", 1);
  TcxGridBandedColumn* z = AddColumn("z", 1, 1);
  TcxGridBands* bands = view_->Bands();
  EXPECT_EQ(bands->GetBand(2)->Position()->BandIndex(), 0);
  EXPECT_EQ(bands->GetBand(2)->Position()->ColIndex(), 1);
  EXPECT_EQ(bands->GetBand(3)->Position()->ColIndex(), 1);  // among the root bands
  EXPECT_EQ(bands->GetBand(2)->GetLevel(), 1);
  EXPECT_TRUE(bands->GetBand(2)->IsRightmost() == false);
  EXPECT_TRUE(bands->GetBand(3)->IsRightmost());
  EXPECT_EQ(z->Position()->RowIndex(), 1);
  EXPECT_EQ(z->Position()->ColIndex(), 0);
  EXPECT_EQ(y->Position()->ColIndex(), 1);
  EXPECT_EQ(x->Position()->GetVisibleBandIndex(), 1);
  // A hidden column leaves its row's visible list; a row whose only column is hidden is not visible.
  z->SetVisible(false);
  EXPECT_EQ(bands->GetBand(1)->Rows()->VisibleCount(), 1);
  EXPECT_EQ(z->Position()->GetVisibleRowIndex(), -1);
  EXPECT_EQ(VisibleColumns(), "x y");
  // Line counts: rows take their largest, offsets add up.
  z->SetVisible(true);
  y->Position()->SetLineCount(3);
  TcxGridBandRows* rows = bands->GetBand(1)->Rows();
  EXPECT_EQ(rows->Items(0)->LineCount(), 3);
  EXPECT_EQ(rows->Items(1)->LineOffset(), 3);
  EXPECT_EQ(rows->VisibleRowAtLine(2), 0);
  EXPECT_EQ(rows->VisibleRowAtLine(3), 1);
  EXPECT_EQ(rows->VisibleRowAtLine(4), -1);
  // An empty band row stays visible (it takes drops).
  rows->Insert(9);
  EXPECT_EQ(rows->Count(), 3);
  EXPECT_EQ(rows->VisibleCount(), 3);
  // The only visible root band cannot be hidden; a child band can.
  bands->GetBand(3)->SetVisible(false);
  EXPECT_FALSE(bands->GetBand(0)->CanHide());
  EXPECT_TRUE(bands->GetBand(1)->CanHide());
}

TEST_F(BandedModelTest, BadValuesClamp) {
  TcxGridBand* a = AddBand("A");
  TcxGridBandedColumn* x = AddColumn("x", 0);
  x->Position()->SetLineCount(0);
  EXPECT_EQ(x->Position()->LineCount(), 1);
  x->Position()->SetLineCount(-4);
  EXPECT_EQ(x->Position()->LineCount(), 1);
  a->SetWidth(-30);
  EXPECT_EQ(a->Width(), 0);
  x->Position()->SetRowIndex(-5);
  x->Position()->SetColIndex(-2);
  EXPECT_EQ(x->Position()->RowIndex(), 0);
  EXPECT_EQ(x->Position()->ColIndex(), 0);
  TcxGridBandedTableOptionsView* o = view_->GetOptionsView();
  o->SetBandHeaderLineCount(0);
  o->SetBandHeaderHeight(-3);
  o->SetFixedBandSeparatorWidth(-1);
  view_->GetOptionsCustomize()->SetBandsQuickCustomizationMaxDropDownCount(-2);
  EXPECT_EQ(o->BandHeaderLineCount(), 1);
  EXPECT_EQ(o->BandHeaderHeight(), 0);
  EXPECT_EQ(o->FixedBandSeparatorWidth(), 0);
  EXPECT_EQ(view_->GetOptionsCustomize()->BandsQuickCustomizationMaxDropDownCount(), 0);
  // The list accessors report an index outside their count.
  EXPECT_THROW(view_->Bands()->GetBottomBand(3), EListError);
  EXPECT_THROW(a->Rows()->Items(4), EListError);
}

// Left-fixed A, B, scrollable C and right-fixed D in collection order D, C, B, A: the visible
// bands are B, A, C, D, while the visible columns list B and A, then D, then C.
TEST_F(BandedModelTest, VisibleColumnOrderFollowsFixedKinds) {
  AddBand("D")->SetFixedKind(fkRight);
  AddBand("C");
  AddBand("B")->SetFixedKind(fkLeft);
  AddBand("A")->SetFixedKind(fkLeft);
  AddColumn("a1", 3);
  AddColumn("c1", 1);
  AddColumn("d1", 0);
  AddColumn("b1", 2);
  AddColumn("b2", 2, 1);
  AddColumn("a2", 3);
  EXPECT_EQ(VisibleColumns(), "b1 b2 a1 a2 d1 c1");
  // A column added to a view with bands goes into the first bottom band, row 0, at the end.
  TcxGridBandedColumn* n = AddColumn("n");
  EXPECT_EQ(n->Position()->Band()->Caption(), "B");
  EXPECT_EQ(n->Position()->RowIndex(), 0);
  EXPECT_EQ(n->Position()->ColIndex(), 1);
  // Without bands a column has none and is not shown.
  while (view_->Bands()->Count() > 0) view_->Bands()->GetBand(0)->Free();
  TcxGridBandedColumn* lone = AddColumn("lone");
  EXPECT_EQ(lone->Position()->Band(), nullptr);
  EXPECT_FALSE(lone->GetActuallyVisible());
  EXPECT_EQ(view_->GetVisibleColumnCount(), 0);
}

// Stored positions applied at the end of a layout load, sorted by band, stored row and stored
// column: the columns end at their stored places whatever the order they were set in.
TEST_F(BandedModelTest, StoredPositionsAppliedInSortedOrder) {
  AddBand("A");
  AddBand("B");
  TcxGridBandedColumn* cols[4] = {AddColumn("p", 0), AddColumn("q", 0), AddColumn("r", 0), AddColumn("s", 0)};
  view_->BeginLoadingLayout();
  // Band B goes under A; the columns spread over two rows of A's new leaf... of B.
  view_->Bands()->GetBand(1)->SetStoredPropertyValue("BandIndex", Variant(0));
  view_->Bands()->GetBand(1)->SetStoredPropertyValue("ColIndex", Variant(0));
  const Integer rows[4] = {1, 0, 1, 0}, places[4] = {1, 1, 0, 0};
  for (Integer i = 3; i >= 0; --i) {
    cols[i]->SetStoredPropertyValue("RowIndex", Variant(rows[i]));
    cols[i]->SetStoredPropertyValue("ColIndex", Variant(places[i]));
  }
  // Nothing moves before the load ends.
  EXPECT_EQ(Tree(), "A{p,q,r,s} B{}");
  view_->EndLoadingLayout();
  EXPECT_EQ(Tree(), "A(B{s,q|r,p})");
  Variant v;
  cols[0]->GetStoredPropertyValue("RowIndex", v);
  EXPECT_EQ(v.AsInteger(), 1);
  view_->Bands()->GetBand(1)->GetStoredPropertyValue("BandIndex", v);
  EXPECT_EQ(v.AsInteger(), 0);
  EXPECT_EQ(view_->Bands()->GetBand(1)->GetStoringName(), "Band1");
}

// Assigning band collections matches bands by ID: identity kept, missing ones made with the
// source's ID, surplus ones deleted from the end; positions come along.
TEST_F(BandedModelTest, AssignMatchesBandsByID) {
  AddBand("A");
  AddBand("B");
  AddBand("C");
  auto* other = static_cast<TcxGridBandedTableView*>(grid_->CreateView(TcxGridBandedTableView::StaticClass()));
  other->Bands()->Assign(view_->Bands());
  EXPECT_EQ(other->Bands()->Count(), 3);
  TcxGridBand* keptB = other->Bands()->GetBand(1);
  // The source changes: A gone, B under a new band D, C renamed.
  view_->Bands()->GetBand(0)->Free();
  TcxGridBand* d = AddBand("D");
  view_->Bands()->GetBand(0)->Position()->SetBandIndex(d->Index());
  view_->Bands()->GetBand(1)->SetCaption("C2");
  other->Bands()->Assign(view_->Bands());
  TcxGridBands* b = other->Bands();
  ASSERT_EQ(b->Count(), 3);
  EXPECT_EQ(b->GetBand(0), keptB);
  EXPECT_EQ(b->GetBand(0)->ID(), view_->Bands()->GetBand(0)->ID());
  EXPECT_EQ(b->GetBand(2)->ID(), d->ID());
  EXPECT_EQ(b->GetBand(1)->Caption(), "C2");
  EXPECT_EQ(b->GetBand(0)->ParentBand(), b->GetBand(2));
  EXPECT_EQ(b->NextID(), view_->Bands()->NextID());
  other->Free();
}

}  // namespace
