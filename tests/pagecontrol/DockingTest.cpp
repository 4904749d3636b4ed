// Docking controls onto the page control, headless.
#include "tests/pagecontrol/PCTestSupport.h"
#include "vcl/ControlMessages.h"
#include "vcl/DockSupport.h"
#include "rtl/TypInfo.h"
#include "vcl/StdCtrls.h"

using namespace pctest;

namespace {

class DockingTest : public PCFixture {
 protected:
  void SetUp() override {
    PCFixture::SetUp();
    pc = new TcxPageControl(Form());
    pc->SetStyle(6);
    pc->SetBounds(0, 0, 400, 300);
    pc->SetParent(Form());
    for (const char* caption : {"Data", "Chart"}) {
      auto* sheet = new TcxTabSheet(Form());
      sheet->SetCaption(caption);
      sheet->SetPageControl(pc);
    }
    pc->SetActivePageIndex(0);
    pc->SetDockSite(true);
    Form()->Show();
    Pump();
  }
  TPanel* MakePanel(const String& name, const String& caption) {
    auto* p = new TPanel(Form());
    p->SetName(name);
    p->SetCaption(caption);
    p->SetBounds(420, 10, 120, 80);
    p->SetParent(Form());
    return p;
  }
  static std::vector<String> Captions(TcxPageControl* pc) {
    std::vector<String> r;
    for (Integer i = 0; i < pc->PageCount(); ++i) r.push_back(pc->Pages(i)->Caption());
    return r;
  }
  TcxPageControl* pc = nullptr;
};

TEST_F(DockingTest, ADockedControlGetsASheetOfItsOwn) {
  auto* filters = new TForm(Application);
  filters->SetCaption("Filters");
  filters->SetBounds(600, 100, 200, 150);
  filters->Show();
  ASSERT_TRUE(ManualDock(filters, pc));
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Data", "Chart", "Filters"}));
  TcxTabSheet* sheet = pc->NewDockSheet();
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(filters->Parent(), sheet);
  EXPECT_EQ(filters->Align(), alClient);
  EXPECT_EQ(pc->ActivePage(), sheet);
  EXPECT_EQ(pc->DockedSheetOf(filters), sheet);
  // An invisible control: its tab is hidden and its sheet not activated.
  auto* hidden = MakePanel("Hidden", "Hidden");
  hidden->SetVisible(false);
  ASSERT_TRUE(ManualDock(hidden, pc));
  EXPECT_FALSE(pc->NewDockSheet()->TabVisible());
  EXPECT_EQ(pc->ActivePage(), sheet);
  // Text and visibility follow: the caption up to the first line break.
  hidden->SetVisible(true);
  EXPECT_TRUE(pc->DockedSheetOf(hidden)->TabVisible());
  hidden->SetCaption("Totals\nby month");
  EXPECT_EQ(pc->DockedSheetOf(hidden)->Caption(), "Totals");
  filters->SetCaption("Filter rows");
  EXPECT_EQ(sheet->Caption(), "Filter rows");
  // The docked form goes with its sheet, focused edit and all; the focus moves on after it.
  auto* edit = new TEdit(filters);
  edit->SetParent(filters);
  edit->SetFocus();
  Pump();
  ASSERT_EQ(Form()->ActiveControl(), edit);
  TWeakRef<TForm> alive(filters);
  sheet->Free();
  EXPECT_FALSE(alive.Get());
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Data", "Chart", "Totals"}));
  EXPECT_NE(static_cast<void*>(Form()->ActiveControl()), static_cast<void*>(edit));
  pc->SetFocus();
  Pump();
  EXPECT_EQ(Form()->ActiveControl(), pc);
}

TEST_F(DockingTest, AControlAlreadyOnASheetMovesThatSheetLast) {
  auto* panel = MakePanel("Inner", "Inner");
  panel->SetParent(pc->Pages(0));
  ASSERT_TRUE(ManualDock(panel, pc));
  EXPECT_EQ(pc->NewDockSheet(), nullptr);
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Chart", "Data"}));
  EXPECT_EQ(panel->Parent(), pc->Pages(1));
}

TEST_F(DockingTest, UndockingFreesTheEmptiedSheetAndActivatesTheNextPage) {
  auto* panel = MakePanel("Notes", "Notes");
  ASSERT_TRUE(ManualDock(panel, pc));
  pc->Pages(2)->SetPageIndex(1);  // Data, Notes, Chart
  pc->SetActivePageIndex(1);
  ASSERT_EQ(pc->ActivePage()->Caption(), "Notes");
  ASSERT_TRUE(ManualFloat(panel));
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Data", "Chart"}));
  EXPECT_EQ(pc->ActivePage()->Caption(), "Chart");
  EXPECT_EQ(panel->Align(), alClient);  // in its float form
  EXPECT_NE(dynamic_cast<TForm*>(panel->Parent()), nullptr);
  EXPECT_EQ(HostDockSite(panel), nullptr);
}

TEST_F(DockingTest, ADoubleClickOnTheTabFloatsTheControl) {
  auto* panel = MakePanel("Summary", "Summary");
  ASSERT_TRUE(ManualDock(panel, pc));
  Pump();
  Integer vi = pc->PageCount() - 1;
  TPoint p = Center(pc->VisibleTabs(vi)->VisibleRect());
  S().DoubleClick(pc->Handle(), POINT{p.X, p.Y});
  Pump();
  EXPECT_EQ(HostDockSite(panel), nullptr);
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Data", "Chart"}));
  // A double click on the tab of an ordinary sheet changes nothing.
  p = Center(pc->VisibleTabs(0)->VisibleRect());
  S().DoubleClick(pc->Handle(), POINT{p.X, p.Y});
  EXPECT_EQ(pc->PageCount(), 2);
}

TEST_F(DockingTest, BadRequestsChangeNothing) {
  auto* panel = MakePanel("Twice", "Twice");
  ASSERT_TRUE(ManualDock(panel, pc));
  EXPECT_FALSE(ManualDock(panel, pc));
  EXPECT_EQ(pc->PageCount(), 3);
  // Undocking a control that is not docked.
  auto* loose = MakePanel("Loose", "Loose");
  EXPECT_FALSE(ManualFloat(loose));
  pc->Perform(CM_UNDOCKCLIENT, 0, NativeInt(loose));
  pc->Perform(CM_UNDOCKCLIENT, 0, 0);
  EXPECT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(loose->Parent(), Form());
  // Not a dock site any more (through the published property): docking is refused.
  EXPECT_EQ(GetOrdProp(pc, "DockSite"), 1);
  SetOrdProp(pc, "DockSite", 0);
  EXPECT_FALSE(pc->DockSite());
  EXPECT_FALSE(ManualDock(loose, pc));
  EXPECT_EQ(pc->PageCount(), 3);
}

}  // namespace

namespace {

TEST_F(DockingTest, ScriptedDockDragsDockOntoThePageControlAndOffItsTab) {
  auto* panel = MakePanel("Dragged", "Dragged");
  panel->SetDragKind(dkDock);
  panel->SetDragMode(dmAutomatic);
  auto* other = MakePanel("OtherSite", "");
  other->SetBounds(420, 150, 150, 120);
  SetDockSite(other, true);
  Pump();
  // Drag the free panel onto the page control: it gets a sheet.
  S().MouseDown(panel->Handle(), POINT{20, 20});
  TPoint onPc = pc->ClientToScreen(TPoint(200, 150));
  TPoint start = panel->ClientToScreen(TPoint(20, 20));
  S().MoveMouse(Form()->Handle(), POINT{start.X - Form()->ClientOrigin().X + 10, start.Y - Form()->ClientOrigin().Y});
  S().MoveMouse(pc->Handle(), POINT{200, 150});
  S().MouseUp(pc->Handle(), POINT{200, 150});
  Pump();
  ASSERT_EQ(HostDockSite(panel), pc) << onPc.X;
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Data", "Chart", "Dragged"}));
  // A left press on its tab drags the panel; dropped on the other site it moves there and
  // its sheet goes.
  Integer vi = pc->PageCount() - 1;
  TPoint tab = Center(pc->VisibleTabs(vi)->VisibleRect());
  S().MouseDown(pc->Handle(), POINT{tab.X, tab.Y});
  S().MoveMouse(pc->Handle(), POINT{tab.X + 20, tab.Y + 20});
  S().MoveMouse(other->Handle(), POINT{40, 40});
  S().MouseUp(other->Handle(), POINT{40, 40});
  Pump();
  EXPECT_EQ(HostDockSite(panel), other);
  EXPECT_EQ(panel->Parent(), other);
  EXPECT_EQ(Captions(pc), (std::vector<String>{"Data", "Chart"}));
  // Dropped where no dock site is, a docked control floats.
  S().MouseDown(panel->Handle(), POINT{10, 10});
  S().MoveMouse(Form()->Handle(), POINT{700, 350});
  S().MoveMouse(Form()->Handle(), POINT{720, 360});
  S().MouseUp(Form()->Handle(), POINT{720, 360});
  Pump();
  EXPECT_EQ(HostDockSite(panel), nullptr);
  EXPECT_NE(dynamic_cast<TForm*>(panel->Parent()), nullptr);
  EXPECT_TRUE(DockClients(other).empty());
  // The dock rectangle offered over the page control is its window rectangle.
  RECT r;
  GetWindowRect(pc->Handle(), &r);
  EXPECT_EQ(DockSiteRect(pc), TRect(r));
}

}  // namespace
