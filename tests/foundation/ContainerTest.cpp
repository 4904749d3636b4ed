// The container control: frames in every look and feel, shadow and window region, hot and
// focused states, the inner control (focus, Tab, keys, child regions), painted scroll bars
// and the inner list box's type-ahead search.
#include "tests/foundation/ContainerTestSupport.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

using namespace containertest;

namespace {

class ContainerTest : public ContainerFixture {
 protected:
  void SetUp() override {
    ContainerFixture::SetUp();
    // The form's first control takes the focus when the form is shown.
    auto* first = new TEdit(form_);
    first->SetBounds(330, 260, 60, 22);
    first->SetParent(form_);
  }
};

TEST_F(ContainerTest, FramesLayOutAndPaintInEveryLookAndFeel) {
  struct Case {
    TcxLookAndFeelKind kind;
    TcxContainerBorderStyle frameStyle;
    Integer thickness;
  } cases[] = {{lfUltraFlat, cbsSingle, 1}, {lfOffice11, cbsSingle, 1}, {lfFlat, cbsFlat, 2}, {lfStandard, cbs3D, 2}};
  Integer y = 10;
  for (const Case& k : cases) {
    auto* c = MakeContainer(10, y, 140, 30);
    auto* t = MakeContainer(170, y, 140, 30);
    c->Style()->LookAndFeel()->SetKind(k.kind);
    t->Style()->LookAndFeel()->SetKind(k.kind);
    t->Style()->SetTransparentBorder(false);
    t->Style()->SetShadow(true);
    Pump();
    TcxContainerViewInfo* v = c->ViewInfo();
    EXPECT_EQ(v->FrameStyle, k.frameStyle) << k.kind;
    EXPECT_EQ(v->FrameThickness, k.thickness) << k.kind;
    // The transparent border keeps a margin of 2 whatever the frame width.
    EXPECT_EQ(v->InteriorRect, TRect(2, 2, 138, 28)) << k.kind;
    EXPECT_EQ(v->FillColor, clWindow) << k.kind;
    // A frame of 1 leaves a 1-pixel transparent margin outside the window region.
    if (k.thickness == 1) {
      EXPECT_EQ(PixelAt(c, 0, 0), ColorToRGB(form_->Color())) << k.kind;
    }
    EXPECT_EQ(PixelAt(c, 20, 15), ColorToRGB(clWindow)) << k.kind;
    if (k.thickness == 1) {
      EXPECT_EQ(v->FrameColor, clBtnShadow) << k.kind;
      EXPECT_EQ(PixelAt(c, 1, 15), ColorToRGB(clBtnShadow)) << k.kind;
      EXPECT_EQ(PixelAt(c, 138, 15), ColorToRGB(clBtnShadow)) << k.kind;
    }
    // Without the transparent margin the frame starts at the edge; the shadow adds 3.
    TcxContainerViewInfo* tv = t->ViewInfo();
    Integer w = k.thickness;
    EXPECT_EQ(tv->InteriorRect, TRect(w, w, 140 - w - 3, 30 - w - 3)) << k.kind;
    EXPECT_EQ(PixelAt(t, 138, 28), ColorToRGB(clBtnShadow)) << k.kind;
    EXPECT_EQ(PixelAt(t, 138, 1), ColorToRGB(form_->Color())) << k.kind;  // corner gap beside the shadow
    EXPECT_EQ(PixelAt(t, 1, 28), ColorToRGB(form_->Color())) << k.kind;
    y += 40;
  }
  S().Snapshot(form_->Handle(), "container_frames.png", true);
}

TEST_F(ContainerTest, ShadowWidensTheExtentAndIsOutsideTheHotArea) {
  auto* c = MakeContainer(10, 10, 120, 30);
  c->Style()->SetShadow(true);
  Pump();
  TRect e, hot;
  c->FrameExtent(e);
  EXPECT_EQ(e, TRect(2, 2, 5, 5));
  c->HotTrackArea(hot);
  EXPECT_EQ(hot, TRect(1, 1, 116, 26));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(c->Handle(), rgn), ERROR);
  EXPECT_TRUE(PtInRegion(rgn, 1, 1));           // the frame
  EXPECT_TRUE(PtInRegion(rgn, 118, 28));        // the shadow copy moved by (3, 3)
  EXPECT_FALSE(PtInRegion(rgn, 118, 2));        // the gap beside the shadow
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));          // the transparent margin
  DeleteObject(rgn);
}

TEST_F(ContainerTest, HotAndFocusedStatesHighlightTheFrame) {
  auto* c = MakeContainer(10, 10, 120, 30);
  auto* other = MakeContainer(10, 60, 120, 30);
  EXPECT_TRUE(c->ViewInfo()->StateFlags == TcxContainerStateFlags{csfNormal});
  S().MoveMouse(c->Handle(), POINT{40, 15});
  Pump();
  EXPECT_TRUE(c->ViewInfo()->StateFlags.Contains(csfHot));
  EXPECT_EQ(c->StyleForCurrentState(), c->StyleHot());
  EXPECT_EQ(c->ViewInfo()->FrameColor, clHighlight);
  EXPECT_EQ(PixelAt(c, 1, 15), ColorToRGB(clHighlight));
  EXPECT_EQ(c->ViewInfo()->HotLevel, 2);

  MoveMouseAway();
  Advance(200);  // mouse-leave tracking notices the cursor has left
  EXPECT_FALSE(c->ViewInfo()->StateFlags.Contains(csfHot));
  EXPECT_EQ(PixelAt(c, 1, 15), ColorToRGB(clBtnShadow));
  EXPECT_EQ(c->ViewInfo()->HotLevel, 1);

  // With a button held the container is not hot.
  S().MouseDown(other->Handle(), POINT{5, 5});
  S().MoveMouse(c->Handle(), POINT{40, 15});
  Pump();
  EXPECT_FALSE(c->ViewInfo()->StateFlags.Contains(csfHot));
  S().MouseUp(c->Handle(), POINT{40, 15});
  MoveMouseAway();

  c->SetFocus();
  Pump();
  EXPECT_TRUE(c->ViewInfo()->StateFlags == TcxContainerStateFlags{csfFocused});
  EXPECT_EQ(c->ViewInfo()->FrameColor, clHighlight);
  EXPECT_EQ(c->ThemeStateId(), 5);

  c->SetEnabled(false);
  S().MoveMouse(c->Handle(), POINT{40, 15});
  Pump();
  EXPECT_TRUE(c->ViewInfo()->StateFlags == TcxContainerStateFlags{csfDisabled});
  EXPECT_EQ(c->StyleForCurrentState(), c->StyleDisabled());
  EXPECT_EQ(c->ThemeStateId(), 4);
  EXPECT_EQ(c->ViewInfo()->FrameColor, clBtnShadow);
}

TEST_F(ContainerTest, FocusEntersTheInnerControlAndTabMovesOn) {
  auto* before = new TEdit(form_);
  before->SetBounds(10, 10, 100, 22);
  before->SetParent(form_);
  auto* c = MakeContainer<TListContainer>(10, 40, 150, 80);
  auto* after = new TEdit(form_);
  after->SetBounds(10, 130, 100, 22);
  after->SetParent(form_);
  c->List->Items()->SetText("one\ntwo\nthree\n");
  Pump();

  c->SetFocus();
  Pump();
  EXPECT_EQ(GetFocus(), c->List->Handle());
  EXPECT_EQ(form_->ActiveControl(), c->List);
  EXPECT_TRUE(c->HasFocusInside());
  EXPECT_TRUE(c->ViewInfo()->StateFlags.Contains(csfFocused));

  // A key sent to the container reaches the list.
  c->List->SetItemIndex(0);
  SendMessage(c->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(c->List->ItemIndex(), 1);

  S().PressKey(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), after->Handle());
  EXPECT_FALSE(c->HasFocusInside());

  c->SetFocus();
  Pump();
  S().PressKey(VK_TAB, true);
  Pump();
  EXPECT_EQ(GetFocus(), before->Handle());

  // Clicking the list focuses it, not the container's own window.
  S().Click(c->List->Handle(), POINT{20, 5});
  Pump();
  EXPECT_EQ(GetFocus(), c->List->Handle());
  EXPECT_EQ(c->List->ItemIndex(), 0);
}

TEST_F(ContainerTest, ChildWindowsOutsideTheClientAreaAreClippedByRegions) {
  auto* c = MakeContainer(10, 10, 150, 80);
  auto* child = new TEdit(c);
  child->SetParent(c);
  child->SetBounds(-3, 10, 60, 20);  // ClientArea starts at 2: 5 pixels stick out
  Pump();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(child->Handle(), rgn), ERROR);
  RECT box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(TRect(box), TRect(5, 0, 60, 20));
  child->SetBounds(10, 10, 60, 20);
  Pump();
  EXPECT_EQ(GetWindowRgn(child->Handle(), rgn), ERROR);
  DeleteObject(rgn);
}

TEST_F(ContainerTest, PaintedScrollBarsFollowTheInnerList) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  for (int i = 0; i < 40; ++i) c->List->Items()->Add("item " + IntToStr(i));
  Pump();
  TcxControlScrollBar* bar = c->VerticalBar();
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Max(), 39);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_LE(bar->Left() + bar->Width(), c->ViewInfo()->ClientArea.Right);
  EXPECT_FALSE(c->HorizontalBar()->Visible());

  c->List->SetFocus();
  S().PressKey(VK_END);
  Pump();
  EXPECT_EQ(c->List->ItemIndex(), 39);
  EXPECT_EQ(bar->Position(), c->List->TopIndex());
  EXPECT_GT(bar->Position(), 0);

  // Scrolling the painted bar scrolls the list.
  Integer pos = 3;
  c->PanScroll(sbVertical, scPosition, pos);
  EXPECT_EQ(c->List->TopIndex(), 3);
  EXPECT_EQ(bar->Position(), 3);

  c->SetEnabled(false);
  Pump();
  EXPECT_FALSE(bar->Enabled());
  c->SetEnabled(true);

  c->List->Clear();
  c->List->Items()->Add("only");
  Pump();
  EXPECT_FALSE(bar->Visible());
  S().Snapshot(form_->Handle(), "container_list.png", true);
}

TEST_F(ContainerTest, WideItemsGetAPaintedHorizontalBarAndTheCornerIsButtonFace) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  for (int i = 0; i < 40; ++i) c->List->Items()->Add("item " + IntToStr(i));
  c->List->SetScrollWidth(500);
  Pump();
  TcxControlScrollBar* bar = c->HorizontalBar();
  ASSERT_TRUE(bar);
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(c->VerticalBar()->Visible());
  EXPECT_EQ(bar->Max(), 499);
  Integer pos = 40;
  c->PanScroll(sbHorizontal, scPosition, pos);
  EXPECT_EQ(c->List->HorzOffset(), 40);
  EXPECT_EQ(bar->Position(), 40);
  // The square between the two bars.
  TRect v = c->VerticalBar()->BoundsRect(), h = bar->BoundsRect();
  EXPECT_EQ(PixelAt(c, v.Left + 2, h.Top + 2), ColorToRGB(clBtnFace));
  c->List->SetScrollWidth(0);
  Pump();
  EXPECT_FALSE(bar->Visible());
  EXPECT_EQ(c->List->HorzOffset(), 0);
}

TEST_F(ContainerTest, ListTypeAheadSearchesByPrefixWithATimeOut) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  c->List->Items()->SetText("apple\nabacus\nabc\nbanana\nberry\n");
  c->List->SetFocus();
  Pump();
  struct Step {
    const char* typed;  // "\b" is Backspace
    uint64_t pauseBefore;
    Integer index;
    const char* prefix;
  } steps[] = {{"a", 0, 0, "a"},      {"b", 100, 1, "ab"},   {"c", 100, 2, "abc"}, {"\b", 100, 1, "ab"},
               {"b", 600, 3, "b"},    {"e", 499, 4, "be"},   {"\b", 10, 3, "b"},   {"\b", 10, 0, ""},
               // After the delay Backspace starts from an empty prefix.
               {"b", 10, 3, "b"},     {"e", 10, 4, "be"},    {"\b", 600, 0, ""}};
  for (const Step& s : steps) {
    Advance(s.pauseBefore);
    if (String(s.typed) == "\b") S().PressKey(VK_BACK);
    else S().TypeText(s.typed);
    Pump();
    EXPECT_EQ(c->List->ItemIndex(), s.index) << s.typed << " " << s.pauseBefore;
    EXPECT_EQ(c->List->SearchText(), s.prefix);
  }
}

TEST_F(ContainerTest, ListTypeAheadFollowsAutoCompleteAndItsDelay) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  c->List->Items()->SetText("apple\nabacus\nbanana\n");
  c->List->SetFocus();
  Pump();
  c->List->SetAutoCompleteDelay(100);
  S().TypeText("a");
  Advance(150);
  S().TypeText("b");
  Pump();
  EXPECT_EQ(c->List->SearchText(), "b");
  EXPECT_EQ(c->List->ItemIndex(), 2);
  c->List->SetAutoComplete(false);
  Advance(150);
  S().TypeText("a");
  Pump();
  EXPECT_EQ(c->List->ItemIndex(), 2) << "no search without AutoComplete";
}

// Calls the protected drag-over hook of a control.
struct TDragOverProbe : TControl {
  static void Over(TControl* target, TObject* source, Integer x, Integer y, bool& accept) {
    (target->*(&TDragOverProbe::DragOver))(source, x, y, dsDragMove, accept);
  }
};

TEST_F(ContainerTest, ListForwardsClicksDragsWheelAndEnterToTheContainer) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  for (int i = 0; i < 40; ++i) c->List->Items()->Add("item " + IntToStr(i));
  Pump();
  std::vector<String> log;
  c->OnClick = [&](TObject*) { log.push_back("click"); };
  c->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
  c->OnKeyPress = [&](TObject*, char32_t& k) { log.push_back("key " + IntToStr(Integer(k))); };
  c->OnDragOver = [&](TObject*, TObject*, Integer x, Integer y, TDragState, bool& accept) {
    log.push_back("over " + IntToStr(x) + "," + IntToStr(y));
    accept = true;
  };
  c->OnDragDrop = [&](TObject*, TObject*, Integer x, Integer y) { log.push_back("drop " + IntToStr(x) + "," + IntToStr(y)); };
  bool handleWheel = true;
  c->OnMouseWheel = [&](TObject*, TShiftState, Integer, TPoint, bool& handled) {
    log.push_back("wheel");
    handled = handleWheel;
  };
  S().Click(c->List->Handle(), POINT{10, 5});
  Pump();
  S().DoubleClick(c->List->Handle(), POINT{10, 5});
  Pump();
  EXPECT_NE(std::find(log.begin(), log.end(), "click"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "dblclick"), log.end());

  log.clear();
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(log, std::vector<String>{"key 13"});

  // Drag over and drop arrive in container coordinates.
  log.clear();
  TPoint at = c->List->BoundsRect().TopLeft();
  bool accept = false;
  static_cast<TControl*>(c->List)->DragDrop(c, 4, 6);
  EXPECT_EQ(log, std::vector<String>{"drop " + IntToStr(at.X + 4) + "," + IntToStr(at.Y + 6)});
  log.clear();
  TDragOverProbe::Over(c->List, c, 2, 3, accept);
  EXPECT_TRUE(accept);
  EXPECT_EQ(log, std::vector<String>{"over " + IntToStr(at.X + 2) + "," + IntToStr(at.Y + 3)});

  log.clear();
  Integer top = c->List->TopIndex();
  S().Wheel(c->List->Handle(), POINT{10, 10}, -120);
  Pump();
  EXPECT_EQ(log, std::vector<String>{"wheel"});
  EXPECT_EQ(c->List->TopIndex(), top) << "the container handled the wheel";
  handleWheel = false;
  S().Wheel(c->List->Handle(), POINT{10, 10}, -120);
  Pump();
  EXPECT_GT(c->List->TopIndex(), top) << "then the list scrolls";

  // Ctrl+Tab is left to the dialog keys; a plain Tab goes to the container.
  EXPECT_TRUE(c->List->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  S().KeyDown(VK_CONTROL);
  EXPECT_FALSE(c->List->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB);
  S().KeyUp(VK_CONTROL);
}

TEST_F(ContainerTest, MultiSelectListKeepsOneFoundItemAndDragsTheContainerFromASelectedItem) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  c->List->Items()->SetText("apple\nbanana\nberry\ncherry\n");
  c->List->SetMultiSelect(true);
  c->List->SetFocus();
  Pump();
  c->List->SetSelected(0, true);
  c->List->SetSelected(3, true);
  S().TypeText("be");
  Pump();
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(c->List->Selected(i), i == 2) << i;

  int drags = 0;
  c->OnStartDrag = [&](TObject*, TDragObject*&) { ++drags; };
  c->SetDragMode(dmAutomatic);
  c->List->SetSelected(1, true);  // banana and berry
  TRect r = c->List->ItemRect(1);
  S().MouseDown(c->List->Handle(), {r.Left + 5, r.Top + 2});
  S().MoveMouse(c->List->Handle(), {r.Left + 40, r.Top + 30});
  Pump();
  S().MouseUp(c->List->Handle(), {r.Left + 40, r.Top + 30});
  Pump();
  EXPECT_EQ(drags, 1) << "the container drags";
  EXPECT_TRUE(c->List->Selected(1) && c->List->Selected(2)) << "the selection stays";
  EXPECT_EQ(c->List->DragMode(), dmAutomatic);
}

TEST_F(ContainerTest, CursorOverTheFrameIsTheArrow) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 100);
  c->SetCursor(crIBeam);  // passed on to the list
  Pump();
  S().MoveMouse(c->List->Handle(), POINT{20, 20});
  Pump();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crIBeam));
  S().MoveMouse(c->Handle(), POINT{1, 50});
  Pump();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crArrow));
}

}  // namespace
