// The tab and page controls headless with injected input on the manual clock: selection by
// click, keys and wheel; change events, vetoes and locks; focus across pages; sheets moved,
// hidden, inserted and removed; navigator buttons, their repeat and the close button; the go
// dialog; painter choice; errors.
#include "pagecontrol/cxPCConsts.h"
#include "tests/pagecontrol/PCTestSupport.h"
#include "vcl/StdCtrls.h"

using namespace pctest;

namespace {

class PageControlTest : public PCFixture {
 protected:
  TcxPageControl* MakePages(Integer count, Integer width = 400, Integer height = 200,
                            TcxPCStyleID style = kTestStyle) {
    auto* pc = new TcxPageControl(Form());
    pc->SetStyle(style);
    pc->SetBounds(0, 0, width, height);
    pc->SetParent(Form());
    for (Integer i = 0; i < count; ++i) {
      auto* sheet = new TcxTabSheet(Form());
      sheet->SetName("Sheet" + IntToStr(i));
      sheet->SetCaption("60");
      sheet->SetPageControl(pc);
    }
    Form()->Show();
    Pump();
    return pc;
  }
  POINT TabPoint(TcxCustomTabControl* c, Integer visibleIndex) {
    TPoint p = Center(c->VisibleTabs(visibleIndex)->VisibleRect());
    return POINT{p.X, p.Y};
  }
  POINT ButtonPoint(TcxCustomTabControl* c, TcxPCNavigatorButton b) {
    for (const auto& pos : static_cast<TcxPCStandardPainter*>(c->Painter())->NavigatorButtonPositions())
      if (pos.Button == b) {
        TPoint p = Center(pos.Bounds);
        return POINT{p.X, p.Y};
      }
    ADD_FAILURE() << "no button " << b;
    return POINT{0, 0};
  }
};

TEST_F(PageControlTest, ClicksKeysAndTheWheelSelectTabs) {
  auto* pc = MakePages(4);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  S().Click(pc->Handle(), TabPoint(pc, 2));
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(pc->TabIndex(), 2);
  EXPECT_TRUE(pc->Pages(2)->Visible());
  EXPECT_FALSE(pc->Pages(0)->Visible());

  struct Case {
    const char* name;
    TcxTabPosition position;
    Integer start;
    int key;
    bool shift, ctrl;
    Integer expected;
  } cases[] = {
      {"ctrl+tab wraps", tpTop, 3, VK_TAB, false, true, 0},
      {"ctrl+shift+tab wraps", tpTop, 0, VK_TAB, true, true, 3},
      {"right stops at the end", tpTop, 3, VK_RIGHT, false, false, 3},
      {"right", tpTop, 1, VK_RIGHT, false, false, 2},
      {"left", tpTop, 1, VK_LEFT, false, false, 0},
      {"down", tpTop, 0, VK_DOWN, false, false, 1},
      {"up", tpTop, 2, VK_UP, false, false, 1},
      {"home", tpTop, 2, VK_HOME, false, false, 0},
      {"end", tpTop, 0, VK_END, false, false, 3},
      {"alt+right is not ours", tpTop, 1, VK_RIGHT + 0, false, false, 2},
      // Tabs running bottom to top: every direction turns round.
      {"reversed right", tpLeft, 1, VK_RIGHT, false, false, 0},
      {"reversed down", tpLeft, 1, VK_DOWN, false, false, 0},
      {"reversed home", tpLeft, 1, VK_HOME, false, false, 3},
      {"reversed ctrl+tab", tpLeft, 1, VK_TAB, false, true, 2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    pc->SetTabPosition(k.position);
    pc->SetActivePageIndex(k.start);
    pc->SetFocus();
    Pump();
    S().PressKey(k.key, k.shift, k.ctrl);
    EXPECT_EQ(pc->ActivePageIndex(), k.expected);
  }
  pc->SetTabPosition(tpTop);
  // A disabled page is skipped; Alt with an arrow is left alone.
  pc->Pages(2)->SetEnabled(false);
  pc->SetActivePageIndex(1);
  S().PressKey(VK_RIGHT);
  EXPECT_EQ(pc->ActivePageIndex(), 3);
  S().PressKey(VK_LEFT, false, false, true);
  EXPECT_EQ(pc->ActivePageIndex(), 3);
  pc->Pages(2)->SetEnabled(true);

  // The wheel scrolls a strip that does not fit, one tab per notch, over the tab band only.
  pc->SetBounds(0, 0, 150, 200);
  ASSERT_EQ(pc->FirstVisibleTab(), 0);
  S().Wheel(pc->Handle(), POINT{30, 10}, -120);
  EXPECT_EQ(pc->FirstVisibleTab(), 1);
  S().Wheel(pc->Handle(), POINT{30, 100}, -120);
  EXPECT_EQ(pc->FirstVisibleTab(), 1);
  S().Wheel(pc->Handle(), POINT{30, 10}, 120);
  EXPECT_EQ(pc->FirstVisibleTab(), 0);
}

TEST_F(PageControlTest, ChangeEventsVetoesAndLocks) {
  auto* pc = MakePages(3);
  std::vector<String> log;
  bool allow = true;
  pc->OnPageChanging = [&](TObject*, TcxTabSheet* page, bool& a) {
    log.push_back("changing " + IntToStr(page ? page->PageIndex() : -1));
    a = allow;
  };
  pc->OnChange = [&](TObject*) { log.push_back("change " + IntToStr(pc->ActivePageIndex())); };
  for (Integer i = 0; i < 3; ++i) {
    pc->Pages(i)->OnShow = [&, i](TObject*) { log.push_back("show " + IntToStr(i)); };
    pc->Pages(i)->OnHide = [&, i](TObject*) { log.push_back("hide " + IntToStr(i)); };
  }
  S().Click(pc->Handle(), TabPoint(pc, 1));
  EXPECT_EQ(log, (std::vector<String>{"changing 1", "hide 0", "show 1", "change 1"}));
  log.clear();
  allow = false;
  S().Click(pc->Handle(), TabPoint(pc, 2));
  EXPECT_EQ(log, (std::vector<String>{"changing 2"}));
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(pc->TabIndex(), 1);
  allow = true;
  log.clear();
  // Locked: no event, the page still follows.
  pc->LockChangeEvents();
  pc->SetTabIndex(2);
  pc->UnlockChangeEvents();
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(log, (std::vector<String>{"hide 1", "show 2"}));
  log.clear();
  // Setting ActivePage fires the change once and syncs the tab.
  pc->SetActivePage(pc->Pages(0));
  EXPECT_EQ(log, (std::vector<String>{"changing 0", "hide 2", "show 0", "change 0"}));
  EXPECT_EQ(pc->TabIndex(), 0);
}

TEST_F(PageControlTest, FocusLeavesAndEntersPages) {
  auto* pc = MakePages(2);
  auto* edit0 = new TEdit(Form());
  edit0->SetParent(pc->Pages(0));
  auto* edit1 = new TEdit(Form());
  edit1->SetParent(pc->Pages(1));
  edit0->SetFocus();
  Pump();
  ASSERT_TRUE(edit0->Focused());
  S().PressKey(VK_TAB, false, true);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_TRUE(edit1->Focused());
  // Clicking a tab other than the active one leaves the focus where it is.
  S().Click(pc->Handle(), TabPoint(pc, 0));
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  EXPECT_FALSE(pc->Focused());
  // A click on the active page's tab focuses the control.
  Advance(1000);
  S().Click(pc->Handle(), TabPoint(pc, 0));
  EXPECT_TRUE(pc->Focused());
}

TEST_F(PageControlTest, SheetsHiddenMovedInsertedAndRemoved) {
  auto* pc = MakePages(3);
  pc->SetActivePageIndex(1);
  // Hiding the active page's tab selects the next visible tab.
  pc->Pages(1)->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_EQ(pc->VisibleTabCount(), 2);
  pc->Pages(1)->SetTabVisible(true);
  // Outside the pages: no active page.
  pc->SetActivePageIndex(5);
  EXPECT_EQ(pc->ActivePage(), nullptr);
  EXPECT_EQ(pc->TabIndex(), -1);
  pc->SetActivePageIndex(0);
  // PageIndex moves the page and its tab.
  TcxTabSheet* first = pc->Pages(0);
  first->SetCaption("First");
  first->SetPageIndex(2);
  EXPECT_EQ(pc->Pages(2), first);
  EXPECT_EQ(pc->Tabs()->Strings(2), "First");
  EXPECT_EQ(pc->TabIndex(), 2);
  EXPECT_EQ(pc->ActivePage(), first);
  try {
    first->SetPageIndex(3);
    ADD_FAILURE() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "3 is an invalid PageIndex value.  PageIndex must be between 0 and 2");
  }
  // Inserting a sheet appends a tab; freeing the active sheet activates the next page.
  auto* extra = new TcxTabSheet(Form());
  extra->SetCaption("Extra");
  extra->SetPageControl(pc);
  EXPECT_EQ(pc->PageCount(), 4);
  EXPECT_EQ(pc->Tabs()->Strings(3), "Extra");
  EXPECT_EQ(pc->ActivePage(), first);
  first->Free();
  EXPECT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->ActivePage(), extra);
  EXPECT_EQ(pc->TabIndex(), 2);
  // A sheet put into a foreign parent aborts silently and stays where it was.
  auto* panel = new TPanel(Form());
  panel->SetParent(Form());
  EXPECT_THROW(extra->SetParent(panel), EAbort);
  EXPECT_EQ(extra->PageControl(), pc);
  // TabVisible on the only page of a control without an active page activates it.
  auto* lone = MakePages(0);
  auto* only = new TcxTabSheet(Form());
  only->SetTabVisible(false);
  only->SetPageControl(lone);
  lone->SetActivePage(nullptr);
  only->SetTabVisible(true);
  EXPECT_EQ(lone->ActivePage(), only);
}

TEST_F(PageControlTest, NavigatorButtonsHotPressedDisabledAndTheirRepeat) {
  auto* pc = MakePages(8, 200);
  pc->SetHotTrack(true);
  ASSERT_EQ(pc->NavigatorButtons(), (TcxPCNavigatorButtons{nbTopLeft, nbBottomRight}));
  EXPECT_EQ(pc->NavigatorButtonState(nbTopLeft), nbsDisabled);
  S().MoveMouse(pc->Handle(), ButtonPoint(pc, nbBottomRight));
  EXPECT_EQ(pc->NavigatorButtonState(nbBottomRight), nbsHotTrack);
  S().MoveMouse(pc->Handle(), ButtonPoint(pc, nbTopLeft));  // a disabled button is never hot
  EXPECT_EQ(pc->NavigatorButtonState(nbTopLeft), nbsDisabled);
  EXPECT_EQ(pc->NavigatorButtonState(nbBottomRight), nbsNormal);
  // Holding the arrow: a step at once, the next after 300 ms, then every 150 ms.
  S().MouseDown(pc->Handle(), ButtonPoint(pc, nbBottomRight));
  EXPECT_EQ(pc->NavigatorButtonState(nbBottomRight), nbsPressed);
  EXPECT_EQ(pc->FirstVisibleTab(), 1);
  EXPECT_EQ(pc->NavigatorButtonState(nbTopLeft), nbsNormal);
  Advance(290);
  EXPECT_EQ(pc->FirstVisibleTab(), 1);
  Advance(20);
  EXPECT_EQ(pc->FirstVisibleTab(), 2);
  Advance(130);
  EXPECT_EQ(pc->FirstVisibleTab(), 2);
  Advance(20);
  EXPECT_EQ(pc->FirstVisibleTab(), 3);
  Advance(2000);  // to the end: the arrow is disabled and the repeat stops
  EXPECT_EQ(pc->LastVisibleTab(), 7);
  EXPECT_EQ(pc->NavigatorButtonState(nbBottomRight), nbsDisabled);
  EXPECT_FALSE(pc->ArrowTimer()->Enabled());
  Integer first = pc->FirstVisibleTab();
  S().MouseUp(pc->Handle(), ButtonPoint(pc, nbBottomRight));
  EXPECT_EQ(pc->FirstVisibleTab(), first);
  // Moving off a pressed button cancels the press.
  S().MouseDown(pc->Handle(), ButtonPoint(pc, nbTopLeft));
  Integer afterPress = pc->FirstVisibleTab();
  EXPECT_EQ(afterPress, first - 1);
  S().MoveMouse(pc->Handle(), POINT{20, 100});
  EXPECT_EQ(pc->NavigatorButtonState(nbTopLeft), nbsNormal);
  Advance(1000);
  EXPECT_EQ(pc->FirstVisibleTab(), afterPress);
  S().MouseUp(pc->Handle(), POINT{20, 100});
  // Hover over a tab makes it hot; leaving the control clears it.
  S().MoveMouse(pc->Handle(), TabPoint(pc, pc->FirstVisibleTab()));
  Application->DoIdle();
  EXPECT_EQ(pc->HotTab(), pc->FirstVisibleTab());
  S().MoveMouse(Form()->Handle(), POINT{300, 400});
  Application->DoIdle();
  Pump();
  EXPECT_EQ(pc->HotTab(), -1);
}

TEST_F(PageControlTest, TheCloseButtonClosesTheActivePage) {
  auto* pc = MakePages(3);
  pc->SetOptions(pc->Options() + pcoCloseButton);
  ASSERT_EQ(pc->NavigatorButtons(), (TcxPCNavigatorButtons{nbClose}));
  bool canClose = false;
  pc->OnCanClose = [&](TObject*, bool& c) { c = canClose; };
  S().Click(pc->Handle(), ButtonPoint(pc, nbClose));
  EXPECT_EQ(pc->PageCount(), 3);
  canClose = true;
  // Pressed on the button and released elsewhere: nothing.
  S().MouseDown(pc->Handle(), ButtonPoint(pc, nbClose));
  EXPECT_EQ(pc->NavigatorButtonState(nbClose), nbsPressed);
  S().MouseUp(pc->Handle(), POINT{20, 100});
  EXPECT_EQ(pc->PageCount(), 3);
  S().Click(pc->Handle(), ButtonPoint(pc, nbClose));
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
  EXPECT_EQ(pc->Pages(0)->Name(), "Sheet1");
  // A plain tab control deletes its current tab.
  auto* tc = MakeTabs({60, 60}, 300);
  tc->SetOptions({pcoCloseButton});
  tc->DoClose();
  EXPECT_EQ(tc->Tabs()->Count(), 1);
}

TEST_F(PageControlTest, TheGoDialogListsTheTabsAndSelectsTheChosenOne) {
  auto* pc = MakePages(5, 200);
  const char* captions[] = {"60", "A&&B", "&Zed", "&Off", "Beta&"};
  for (Integer i = 0; i < 5; ++i) pc->Pages(i)->SetCaption(captions[i]);
  pc->Pages(3)->SetEnabled(false);
  pc->SetOptions(pc->Options() + pcoGoDialog);
  ASSERT_TRUE(pc->NavigatorButtons().Contains(nbGoDialog));
  std::vector<String> shown;
  std::vector<Integer> tags;
  bool openFlag = false;
  auto readAndChoose = [&](Integer chosen) {
    S().Backend().OnIdle([&, chosen] {
      TcxPCGoDialog* d = pc->GoDialog();
      openFlag = pc->GoDialogShown() && d->IsOpen();
      shown.clear();
      tags.clear();
      for (Integer i = 0; i < d->Items()->Count(); ++i) {
        shown.push_back(StripHotkey(d->Items()->Items(i)->Caption()));
        tags.push_back(d->ItemTabIndex(i));
      }
      // Down to the chosen item, then Enter.
      for (Integer i = 0; i <= chosen; ++i) {
        InputKey(VK_DOWN, true);
        InputKey(VK_DOWN, false);
      }
      InputKey(VK_RETURN, true);
      InputKey(VK_RETURN, false);
    });
  };
  readAndChoose(2);
  S().Click(pc->Handle(), ButtonPoint(pc, nbGoDialog));
  EXPECT_TRUE(openFlag);
  EXPECT_EQ(shown, (std::vector<String>{"60", "A&B", "Zed", "Beta"}));
  EXPECT_EQ(tags, (std::vector<Integer>{0, 1, 2, 4}));
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  EXPECT_FALSE(pc->GoDialogShown());
  EXPECT_EQ(pc->NavigatorButtonState(nbGoDialog), nbsNormal);
  pc->SetOptions(pc->Options() + pcoSort);
  readAndChoose(0);
  S().Click(pc->Handle(), ButtonPoint(pc, nbGoDialog));
  EXPECT_EQ(shown, (std::vector<String>{"60", "A&B", "Beta", "Zed"}));
  EXPECT_EQ(tags, (std::vector<Integer>{0, 1, 4, 2}));
  EXPECT_EQ(pc->ActivePageIndex(), 0);
}

TEST_F(PageControlTest, CaptionsOwnerDrawingAcceleratorsAndRowsFollowingTheSelection) {
  Form()->Show();
  auto* c = MakeTabs({}, 300, 120, 6);
  for (const char* caption : {"&Alpha", "A very long caption", "&Beta"}) c->Tabs()->Add(caption);
  auto textRect = [&](Integer vi) {
    c->Painter()->CalculateImageAndTextRects(vi);
    return c->Painter()->ImageAndTextInfo().TextRect;
  };
  Integer full = MeasureTextWidthInFont(c->Font(), "A very long caption");
  EXPECT_EQ(textRect(1).Width(), full);
  c->SetTabWidth(40);  // cut with an ellipsis
  EXPECT_GT(textRect(1).Width(), 0);
  EXPECT_LT(textRect(1).Width(), full);
  c->SetTabWidth(14);  // not even the ellipsis fits: no text
  EXPECT_TRUE(textRect(1).IsEmpty());
  c->SetTabWidth(0);
  // Owner drawing that clears DefaultDraw leaves the tab to the handler.
  c->SetOwnerDraw(true);
  c->OnDrawTab = [&](TcxCustomTabControl* control, TcxTab* tab, bool& defaultDraw) {
    if (tab->Index() != 1) return;
    defaultDraw = false;
    control->Canvas()->FillRectColor(tab->VisibleRect(), clRed);
  };
  TBitmap b;
  b.SetSize(300, 120);
  c->PaintTo(b.Canvas()->Handle(), 0, 0);
  EXPECT_EQ(b.Canvas()->Pixels(Center(c->VisibleTabs(1)->VisibleRect()).X, 8), clRed);
  EXPECT_NE(b.Canvas()->Pixels(Center(c->VisibleTabs(2)->VisibleRect()).X, 8), clRed);
  // An accelerator selects its tab.
  c->Perform(CM_DIALOGCHAR, 'b', 0);
  EXPECT_EQ(c->TabIndex(), 2);
  // In rows, the selected tab's row moves next to the page.
  auto* rows = MakeTabs({100, 100, 100, 100, 100, 100}, 250, 200);
  rows->SetMultiLine(true);
  S().Click(rows->Handle(), TabPoint(rows, 5));
  EXPECT_EQ(rows->TabIndex(), 5);
  EXPECT_EQ(rows->VisibleTabs(5)->VisibleRow, 2);
  EXPECT_EQ(rows->VisibleTabs(5)->FullRect().Top, 40);
  EXPECT_EQ(rows->VisibleTabs(0)->VisibleRow, 0);
}

TEST_F(PageControlTest, PainterChoiceByStyleAndLookAndFeel) {
  auto* pc = MakePages(2, 300, 200, 0);
  pc->LookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCUltraFlatPainter::Class());
  pc->LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCTabsPainter::Class());
  pc->SetStyle(6);
  EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCUltraFlatPainter::Class());
  for (TcxPCStyleID unknown : {4, 11, -1}) {
    pc->SetStyle(unknown);
    EXPECT_EQ(pc->Style(), 6);
    EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCUltraFlatPainter::Class());
  }
  pc->SetStyle(kTestStyle);
  EXPECT_EQ(pc->Painter()->PainterClass(), TTestPainter::Class());
  pc->SetStyle(0);
  EXPECT_EQ(pc->Style(), 0);
  EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCTabsPainter::Class());
  // Style 0 follows later look-and-feel changes.
  pc->LookAndFeel()->SetKind(lfUltraFlat);
  EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCUltraFlatPainter::Class());
}

// A painter that does not allow rotated tabs.
class TNoRotatePainter : public TTestPainter {
 public:
  class TMeta : public TTestPainter::TMeta {
   public:
    TcxPCCustomPainter* Create(TcxCustomTabControl* control) const override { return new TNoRotatePainter(control); }
    TcxPCStyleID GetStyleID() const override { return kTestStyle + 1; }
    String GetStyleName() const override { return "Upright"; }
    bool AllowRotate() const override { return false; }
  };
  static TcxPCPainterClass Class() {
    static const TMeta meta;
    return &meta;
  }
  using TTestPainter::TTestPainter;
  TcxPCPainterClass PainterClass() const override { return Class(); }
};

TEST_F(PageControlTest, RotationUnderAPainterThatDoesNotAllowIt) {
  RegisterPainterClass(TNoRotatePainter::Class());
  auto* c = MakeTabs({60, 60}, 300);
  c->SetRotate(true);
  c->SetStyle(kTestStyle + 1);  // the new painter switches rotation off
  EXPECT_FALSE(c->Rotate());
  try {
    c->SetRotate(true);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Upright style does not support rotation of tabs");
  }
  EXPECT_FALSE(c->Rotate());
  c->Free();
  UnregisterPainterClass(TNoRotatePainter::Class());
}

TEST_F(PageControlTest, BadInputRaisesTheTextsOrIsIgnored) {
  using namespace cxpc_consts;
  auto* tc = MakeTabs({60, 60}, 300);
  auto message = [](const std::function<void()>& f) -> String {
    try {
      f();
    } catch (const Exception& e) {
      return e.what();
    }
    return "no error";
  };
  struct Case {
    const char* name;
    std::function<void()> action;
    const char* text;
  } cases[] = {
      {"get", [&] { tc->Tabs()->Strings(2); }, "TcxTabs.Get: Tab's index (2) out of bounds"},
      {"get tab", [&] { tc->Tabs()->Tabs(-1); }, "TcxTabs.GetTab: Tab's index (-1) out of bounds"},
      {"delete", [&] { tc->Tabs()->Delete(5); }, "TcxTabs.Delete: Tab's index (5) out of bounds"},
      {"insert", [&] { tc->Tabs()->Insert(3, "x"); }, "TcxTabs.Insert: Tab's index (3) out of bounds"},
      {"visible tab", [&] { tc->VisibleTabs(2); }, "TcxTabs.GetVisibleTab: TabVisibleIndex (2) must be between 0 and 1"},
      {"visible list", [&] { tc->VisibleTabList().TabIndexAt(7); },
       "TcxVisibleTabList.GetTab: TabVisibleIndex (7) must be between 0 and 1"},
      {"empty visible list", [&] { TcxVisibleTabList().TabIndexAt(0); },
       "TcxVisibleTabList.GetTab: There are no visible tabs"},
      {"no images", [&] { tc->ImageWrapper()->Draw(tc->Canvas(), 0, 0, 0, clWhite, true); },
       "TcxPCImageList.Draw: BaseImages is not assigned"},
      {"no tabs", [&] {
         auto* empty = MakeTabs({}, 100);
         empty->CalculateTabNormalSizes();
       }, "TcxCustomTabControl.CalculateTabNormalSizes: Tabs.Count = 0"},
      {"nil painter class", [&] { TcxPCPaintersFactory::Instance()->GetPainterInstance(nullptr, tc); },
       "TcxPCPaintersFactory.GetPainterInstance: PCPainterClass is nil"},
  };
  for (const Case& k : cases) EXPECT_EQ(message(k.action), k.text) << k.name;
  auto* images = new TImageList(Form());
  TBitmap strip;
  strip.SetSize(32, 16);
  images->Add(&strip, nullptr);
  tc->SetImages(images);
  EXPECT_EQ(message([&] { tc->ImageWrapper()->Draw(tc->Canvas(), 0, 0, 2, clWhite, true); }),
            "TcxPCImageList.Draw: Index (2) must be between 0 and 1");
  // A freed image list is dropped.
  images->Free();
  EXPECT_EQ(tc->Images(), nullptr);
  // Selection outside the tabs is ignored.
  tc->SetTabIndex(1);
  tc->SetTabIndex(7);
  tc->SetTabIndex(-3);
  EXPECT_EQ(tc->TabIndex(), 1);
}

TEST_F(PageControlTest, MixedChangesNeverBreakTheLayout) {
  // A bounded walk of changes with a fixed seed; after each the layout must hold together
  // and painting must pass.
  auto* pc = MakePages(3, 300, 160, 6);
  uint32_t seed = 12345;
  auto next = [&](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return Integer((seed >> 8) % n);
  };
  TBitmap b;
  b.SetSize(400, 300);
  for (Integer step = 0; step < 300; ++step) {
    switch (next(12)) {
      case 0: {
        auto* sheet = new TcxTabSheet(Form());
        sheet->SetCaption(String(size_t(1 + next(20)), 'w'));
        sheet->SetPageControl(pc);
        break;
      }
      case 1:
        if (pc->PageCount() > 0) pc->Pages(next(pc->PageCount()))->Free();
        break;
      case 2:
        if (pc->PageCount() > 0) pc->Pages(next(pc->PageCount()))->SetTabVisible(next(2) == 0);
        break;
      case 3: pc->SetBounds(0, 0, next(400), next(300)); break;
      case 4: pc->SetTabPosition(TcxTabPosition(next(4))); break;
      case 5: pc->SetMultiLine(!pc->MultiLine()); break;
      case 6: pc->SetRotate(!pc->Rotate()); break;
      case 7: pc->ScrollTabs(next(5) - 2); break;
      case 8: pc->SetActivePageIndex(next(6) - 1); break;
      case 9: pc->SetOptions(TcxPCOptions::FromMask(uint64_t(next(1024)))); break;
      case 10: pc->SetStyle(next(2) == 0 ? 5 : 6); break;
      case 11:
        if (pc->PageCount() > 1) pc->Pages(next(pc->PageCount()))->SetPageIndex(next(pc->PageCount()));
        break;
    }
    for (Integer i = 0; i < pc->VisibleTabCount(); ++i) {
      TcxTab* tab = pc->VisibleTabs(i);
      if (tab->IsShown()) {
        TRect area = tab->OnStartSide() ? pc->StartTabArea() : pc->EndTabArea();
        TRect v = tab->VisibleRect();
        EXPECT_TRUE(v.Left >= area.Left && v.Right <= area.Right && v.Top >= area.Top && v.Bottom <= area.Bottom)
            << "step " << step;
      }
    }
    if (pc->ActivePage()) {
      EXPECT_EQ(pc->TabIndex(), pc->ActivePage()->TabVisible() ? pc->ActivePageIndex() : -1) << "step " << step;
    }
    pc->PaintTo(b.Canvas()->Handle(), 0, 0);
    S().Click(pc->Handle(), POINT{next(300), next(40)});
  }
}

TEST(PainterFactoryTest, WithoutPaintersThereAreNoStyles) {
  InitializeCxPC();
  // Take every registered class out, then put them back in their order.
  std::vector<TcxPCPainterClass> registered;
  while (TcxPCPaintersFactory* f = TcxPCPaintersFactory::Instance()) {
    registered.push_back(f->Classes(0));
    UnregisterPainterClass(f->Classes(0));
  }
  try {
    PaintersFactory();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TcxPCPaintersFactory.GetDefaultStyleID: There are no styles registered");
  }
  for (TcxPCPainterClass cls : registered) RegisterPainterClass(cls);
  RegisterPainterClass(registered.front());  // once only
  EXPECT_EQ(TcxPCPaintersFactory::Instance()->Count(), Integer(registered.size()));
  EXPECT_EQ(TcxPCPaintersFactory::Instance()->GetPainterClass(6), TcxPCUltraFlatPainter::Class());
  EXPECT_EQ(TcxPCPaintersFactory::Instance()->GetPainterClass(4), nullptr);
}

TEST_F(PageControlTest, TheLightFaceColourFollowsTheSystemColours) {
  TColor before = cxPCLightFaceColor();
  EXPECT_EQ(before, TColor(RGB(0xD4, 0xD4, 0xD4)));  // classic button face 0xC0 + 20
  int index = COLOR_BTNFACE;
  COLORREF color = RGB(240, 100, 10);
  SetSysColors(1, &index, &color);
  ASSERT_NE(PaletteListener(), nullptr);
  PaletteListener()->BroadcastChange();
  EXPECT_EQ(cxPCLightFaceColor(), TColor(RGB(255, 120, 30)));
  ResetSysColors();
  PaletteListener()->BroadcastChange();
  EXPECT_EQ(cxPCLightFaceColor(), before);
}

}  // namespace
