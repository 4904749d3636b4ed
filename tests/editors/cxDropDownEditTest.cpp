// The editor popup window's layout, painting and sizing, the drop-down editor's open and close
// protocol, and the popup editor hosting a control (a check list box in cvfStatesString, the
// pivot grid's field filter).
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "editors/cxCheckListBox.h"
#include "editors/cxPopupEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

// ---- popup window layout -----------------------------------------------------------------------

TEST(EditPopupViewInfoTest, BorderExtentsFramesAndClientAreasPerStyle) {
  const Integer panel = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  struct Case {
    TcxEditPopupBorderStyle Style;
    bool ClientEdge, Shadow, Panel, Native;
    TRect Extent;  // left, top, right, bottom widths
    Integer Frame;  // FrameRect inset
  };
  const Case cases[] = {
      {epbsDefault, false, false, false, false, TRect(0, 0, 0, 0), 0},
      {epbsSingle, false, false, false, false, TRect(1, 1, 1, 1), 1},
      {epbsSingle, true, false, false, false, TRect(3, 3, 3, 3), 3},
      {epbsFrame3D, false, false, false, false, TRect(4, 4, 4, 4), 4},
      {epbsFrame3D, true, false, false, false, TRect(6, 6, 6, 6), 6},
      // With a panel the client edge widens the extent but not the frame.
      {epbsFrame3D, true, false, true, false, TRect(6, 6, 6, 6 + panel), 4},
      {epbsFlat, true, true, false, false, TRect(3, 3, 6, 6), 3},
      // The single border leaves a row for the separator line.
      {epbsSingle, false, true, true, false, TRect(1, 1, 4, 4 + panel + 1), 1},
      {epbsFlat, true, false, false, true, TRect(3, 3, 3, 3), 3},
  };
  for (const Case& c : cases) {
    TcxCustomEditPopupWindowViewInfo vi;
    vi.BorderStyle = c.Style;
    vi.ClientEdge = c.ClientEdge;
    vi.Shadow = c.Shadow;
    vi.SysPanelStyle = c.Panel;
    vi.NativeStyle = c.Native;
    vi.Bounds = TRect(0, 0, 200, 150);
    vi.Calculate();
    TRect extent;
    vi.GetBorderExtent(extent);
    const String name = IntToStr(c.Style) + " " + IntToStr(c.ClientEdge) + IntToStr(c.Shadow) + IntToStr(c.Panel);
    EXPECT_EQ(extent, c.Extent) << name;
    EXPECT_EQ(vi.ClientArea, TRect(extent.Left, extent.Top, 200 - extent.Right, 150 - extent.Bottom)) << name;
    const Integer shadow = c.Shadow ? 3 : 0;
    EXPECT_EQ(vi.FrameRect, TRect(c.Frame, c.Frame, 200 - c.Frame - shadow, 150 - c.Frame - shadow)) << name;
  }
}

TEST(EditPopupViewInfoTest, GripAndCloseButtonFollowTheCornerAndSizingHitTests) {
  TcxCustomEditPopupWindowViewInfo vi;
  vi.BorderStyle = epbsSingle;
  vi.SysPanelStyle = true;
  vi.Sizeable = true;
  vi.CloseButton = true;
  vi.Bounds = TRect(0, 0, 200, 150);
  struct Case {
    Byte Corner;
    bool GripLeft, PanelBottom;
  };
  for (const Case& c : {Case{3, false, true}, Case{2, true, true}, Case{1, false, false}, Case{0, true, false}}) {
    vi.GripCorner = c.Corner;
    vi.Calculate();
    const TRect g = vi.SizeGripRect, b = vi.CloseButtonRect;
    EXPECT_EQ(c.GripLeft ? g.Left : g.Right, c.GripLeft ? vi.FrameRect.Left : vi.FrameRect.Right) << int(c.Corner);
    EXPECT_EQ(c.PanelBottom ? g.Bottom : g.Top, c.PanelBottom ? vi.FrameRect.Bottom : vi.FrameRect.Top) << int(c.Corner);
    // The close button lies on the side away from the grip, in the panel.
    EXPECT_EQ(c.GripLeft, b.Left > 100) << int(c.Corner);
    EXPECT_EQ(c.PanelBottom, b.Top > vi.ClientArea.Bottom - 1) << int(c.Corner);
    // The grip sizes towards its corner; the border bands only on the grip's sides.
    Integer dx, dy;
    EXPECT_TRUE(vi.GetSizingHitTest((g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2, dx, dy));
    EXPECT_EQ(dx, c.GripLeft ? -1 : 1);
    EXPECT_EQ(dy, c.PanelBottom ? 1 : -1);
    EXPECT_TRUE(vi.GetSizingHitTest(c.GripLeft ? 0 : 199, 75, dx, dy));
    EXPECT_EQ(dx, c.GripLeft ? -1 : 1);
    EXPECT_EQ(dy, 0);
    EXPECT_TRUE(vi.GetSizingHitTest(c.GripLeft ? 199 : 0, 75, dx, dy));  // a band that does not size
    EXPECT_EQ(dx, 0);
    EXPECT_FALSE(vi.GetSizingHitTest(100, 75, dx, dy));  // inside the frame
    EXPECT_FALSE(vi.GetSizingHitTest(250, 75, dx, dy));
  }
  // A minimum panel height below the natural one changes nothing.
  vi.GripCorner = 3;
  vi.MinSysPanelHeight = 2;
  const Integer natural = vi.GetSysPanelHeight();
  EXPECT_EQ(natural, vi.GetNaturalSysPanelHeight());
  vi.MinSysPanelHeight = natural + 10;
  EXPECT_EQ(vi.GetSysPanelHeight(), natural + 10);
  vi.Sizeable = false;
  Integer dx, dy;
  EXPECT_FALSE(vi.GetSizingHitTest(0, 0, dx, dy));
}

// The drop-down filter helper's third query is KeepsButtons: the value editor of a drop-down
// kind keeps its buttons, unlike the text kinds'.
TEST(FilterDropDownEditHelperTest, KeepsTheButtons) {
  EXPECT_TRUE(TcxFilterDropDownEditHelper().KeepsButtons());
  EXPECT_FALSE(TcxFilterMaskEditHelper().KeepsButtons());
}

// ---- drop-down protocol ------------------------------------------------------------------------

// A drop-down kind whose popup keeps the focus in the editor and holds a fixed content.
class TTestDropDownProperties : public TcxCustomDropDownEditProperties {
  KORVAN_CLASS(TTestDropDownProperties, TcxCustomDropDownEditProperties)

 public:
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
  bool ShowsLookupListInPopup() override { return false; }
};

class TTestDropDownEdit : public TcxCustomDropDownEdit {
  KORVAN_CLASS(TTestDropDownEdit, TcxCustomDropDownEdit)

 public:
  explicit TTestDropDownEdit(TComponent* owner) : TcxCustomDropDownEdit(owner, false, TTestDropDownProperties::StaticClass()) {}
  bool CanDropDown() override { return Allowed; }
  void PopupContentSize(TSize& size) override { size = TSize(120, 80); }
  bool Allowed = true;
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TTestDropDownProperties)
KORVAN_IMPLEMENT_CLASS(TTestDropDownEdit)

namespace {

class DropDownTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxPopupEdit();
    InitializeCxCheckListBox();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 500, 400);
    other_ = new TEdit(form_);
    other_->SetBounds(300, 10, 100, 21);
    other_->SetParent(form_);
    form_->Show();
    Application->OnException = [this](TObject*, const Exception& e) { errors_.push_back(e.Message()); };
    Pump();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  template <class T>
  T* MakeEdit(Integer x = 10, Integer y = 10) {
    auto* e = new T(form_);
    e->SetBounds(x, y, 150, 21);
    e->SetParent(form_);
    if (e->PopupWindow()) e->PopupWindow()->SetRunsModalLoop(false);
    auto* p = e->DropDownProperties();
    p->OnInitPopup = [this](TObject*) { log_.push_back("init"); };
    p->OnPopup = [this](TObject*) { log_.push_back("popup"); };
    p->OnPopupClosed = [this](TObject*, Integer reason) { log_.push_back("closed " + IntToStr(reason)); };
    p->OnCloseUp = [this](TObject*) { log_.push_back("closeup"); };
    p->OnFinalizePopup = [this](TObject*) { log_.push_back("finalize"); };
    Pump();
    return e;
  }

  TForm* form_ = nullptr;
  TEdit* other_ = nullptr;
  std::vector<String> log_;
  std::vector<String> errors_;
};

TEST_F(DropDownTest, OpeningPostsTheShowMessageOnceAndEventsComeInOrder) {
  auto* e = MakeEdit<TTestDropDownEdit>();
  Focus(e);
  e->SetDroppedDown(true);
  EXPECT_FALSE(e->DroppedDown());  // shown when the posted message runs
  EXPECT_TRUE(e->ShowQueued());
  e->SetDroppedDown(true);  // already queued: nothing more
  Pump();
  EXPECT_TRUE(e->DroppedDown());
  EXPECT_FALSE(e->ShowQueued());
  EXPECT_EQ(log_, (std::vector<String>{"init", "popup"}));
  // Below the editor, the content's size inside the border.
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  const TPoint below = e->ClientToScreen(TPoint(0, e->Height()));
  EXPECT_EQ(w->Left(), below.X);
  EXPECT_EQ(w->Top(), below.Y);
  TRect extent;
  w->GetPopupViewInfo()->GetBorderExtent(extent);
  EXPECT_EQ(w->Width(), 120 + extent.Left + extent.Right);
  EXPECT_EQ(GetFocus(), e->InnerTextEdit()->Handle());  // the focus stays in the editor
  S().PressKey(VK_F4);
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(log_, (std::vector<String>{"init", "popup", "finalize", "closed 2", "closeup"}));
  // A refused opening still pairs the initialization with its finalization.
  log_.clear();
  e->Allowed = false;
  e->SetDroppedDown(true);
  Pump();
  EXPECT_EQ(log_, (std::vector<String>{"init", "finalize"}));
  EXPECT_TRUE(errors_.empty());
}

TEST_F(DropDownTest, KeysCloseWithTheirReasonsAndFocusLossClosesWithZero) {
  auto* e = MakeEdit<TTestDropDownEdit>();
  e->DropDownProperties()->SetPostPopupValueOnTab(true);
  struct Case {
    Word Key;
    bool Alt;
    const char* Reason;
  };
  const Case cases[] = {{VK_DOWN, true, "closed 2"}, {VK_UP, true, "closed 2"}, {VK_RETURN, false, "closed 4"},
                        {VK_ESCAPE, false, "closed 3"}, {VK_TAB, false, "closed 1"}};
  for (const Case& c : cases) {
    Focus(e);
    S().PressKey(VK_DOWN, false, false, true);  // Alt+Down opens
    Pump();
    ASSERT_TRUE(e->DroppedDown()) << c.Key;
    // Dropped down, the inner edit asks for every key (and for Tab with PostPopupValueOnTab).
    const LRESULT code = SendMessage(e->InnerTextEdit()->Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(code & (DLGC_WANTALLKEYS | DLGC_WANTTAB), DLGC_WANTALLKEYS | DLGC_WANTTAB);
    log_.clear();
    S().PressKey(c.Key, false, false, c.Alt);
    EXPECT_FALSE(e->DroppedDown()) << c.Key;
    // The Enter or Esc character that follows a close is swallowed, clearing the pending flag.
    EXPECT_FALSE(e->CloseKeyPending()) << c.Key;
    EXPECT_NE(std::find(log_.begin(), log_.end(), c.Reason), log_.end()) << c.Key;
  }
  // Enter on an editor that may not be modified cancels.
  Focus(e);
  e->SetDroppedDown(true);
  Pump();
  e->DropDownProperties()->SetReadOnly(true);
  log_.clear();
  S().PressKey(VK_RETURN);
  EXPECT_NE(std::find(log_.begin(), log_.end(), "closed 3"), log_.end());
  e->DropDownProperties()->SetReadOnly(false);
  // The focus going elsewhere closes with reason 0.
  e->SetDroppedDown(true);
  Pump();
  log_.clear();
  Focus(other_);
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(log_.size(), 3u);
  EXPECT_EQ(log_[1], "closed 0");
  // The drop-down button opens and, while open, is drawn pressed when the properties ask.
  e->DropDownProperties()->SetShowDropDownButtonPressed(true);
  Focus(e);
  TcxCustomEditViewInfo* vi = e->GetEditViewInfo();
  ASSERT_FALSE(vi->Buttons.empty());
  const TRect b = vi->Buttons[0]->Bounds;
  S().Click(e->Handle(), POINT{(b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2});
  Pump();
  EXPECT_TRUE(e->DroppedDown());
  e->UpdateViewInfoAtCursor();
  EXPECT_EQ(e->GetEditViewInfo()->PressedButton, 0);
  S().Snapshot(form_->Handle(), "editors_drop_down_open.png", true);
  e->CloseUp(crCancel);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(DropDownTest, SizesRememberedByThePropertiesStandalone) {
  auto* e = MakeEdit<TTestDropDownEdit>();
  Focus(e);
  S().TypeText("a");  // ImmediateDropDown opens on a character, which the editor types
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  EXPECT_EQ(e->Text(), "a");
  e->CloseUp(crAccept);
  // A user-resized popup reopens at its size through the properties (standalone).
  e->DropDownProperties()->SetPopupSizeable(true);
  e->DropDownProperties()->SetPopupAutoSize(false);
  e->SetDroppedDown(true);
  Pump();
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  w->SetBounds(w->Left(), w->Top(), 260, 190);
  e->SetPopupSizeChanged(true);
  e->CloseUp(crClosedOtherwise);
  EXPECT_EQ(e->DropDownProperties()->PopupWidth(), 260);
  EXPECT_EQ(e->DropDownProperties()->PopupHeight(), 190);
  e->SetDroppedDown(true);
  Pump();
  EXPECT_EQ(w->Width(), 260);
  e->CloseUp(crClosedOtherwise);
}

TEST_F(DropDownTest, InPlaceSizesAreRememberedPerCellAndImmediatePostTakesThePopupValue) {
  auto* host = new TPanel(form_);
  host->SetBounds(10, 100, 300, 60);
  host->SetParent(form_);
  auto* e = static_cast<TTestDropDownEdit*>(TcxCustomEdit::CreateInplace(TTestDropDownEdit::StaticClass(), form_));
  e->SetParent(host);
  e->SetBounds(5, 5, 150, 20);
  e->PopupWindow()->SetRunsModalLoop(false);
  e->DropDownProperties()->SetPopupSizeable(true);
  e->DropDownProperties()->SetPopupAutoSize(false);
  e->DropDownProperties()->SetPopupWidth(200);
  e->DropDownProperties()->SetPopupHeight(120);
  TcxCustomEditData* cellA = nullptr;
  TcxCustomEditData* cellB = nullptr;
  e->ActivateInPlace(cellA);
  Pump();
  e->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  w->SetBounds(w->Left(), w->Top(), 230, 150);
  e->SetPopupSizeChanged(true);
  e->SetSizeRemembered(true);
  e->CloseUp(crClosedOtherwise);
  EXPECT_TRUE(e->DeactivateInPlace());
  // Another cell opens at the properties' size; the first cell at its own again.
  e->ActivateInPlace(cellB);
  e->SetDroppedDown(true);
  Pump();
  EXPECT_EQ(w->Width(), 200);
  e->CloseUp(crClosedOtherwise);
  e->DeactivateInPlace();
  e->ActivateInPlace(cellA);
  e->SetDroppedDown(true);
  Pump();
  EXPECT_EQ(w->Width(), 230);
  EXPECT_EQ(w->Height(), 150);
  e->DeactivateInPlace();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->DropDownProperties()->PopupWidth(), 200);
  // ImmediatePost posts on the reasons that take the popup's value.
  int posts = 0;
  e->OnPostEditValue = [&](TObject*) { ++posts; };
  e->DropDownProperties()->SetImmediatePost(true);
  e->ActivateInPlace(cellB);
  for (Byte reason : {crAccept, crCancel, crClosedOtherwise, crDropDownKey, crTab}) {
    e->SetModifiedFlag(true);
    e->SetDroppedDown(true);
    Pump();
    e->CloseUp(reason);
  }
  EXPECT_EQ(posts, 3);
  e->DeactivateInPlace();
  e->Free();
  delete cellA;
  delete cellB;
}

// ---- the popup window's frame, sizing and close button ----------------------------------------------

TEST_F(DropDownTest, PopupFramesResizingAndTheCloseButton) {
  auto* e = MakeEdit<TTestDropDownEdit>(10, 300);  // near the bottom: opens above
  auto* p = e->DropDownProperties();
  p->SetPopupSizeable(true);
  p->SetPopupSysPanelStyle(true);
  p->SetPopupMinWidth(100);
  p->SetPopupMinHeight(60);
  auto* style = static_cast<TcxCustomEditStyle*>(static_cast<TcxContainer*>(e)->Style());
  style->SetPopupBorderStyle(epbsSingle);
  style->SetPopupCloseButton(true);
  Focus(e);
  // Above the editor when there is no room below: grip and panel at the top.
  form_->SetBounds(100, GetSystemMetrics(SM_CYSCREEN) - 360, 500, 360);
  Pump();
  e->SetDroppedDown(true);
  Pump();
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  ASSERT_TRUE(e->DroppedDown());
  TcxCustomEditPopupWindowViewInfo* vi = w->GetPopupViewInfo();
  EXPECT_EQ(vi->GripCorner, 1);
  EXPECT_LT(vi->CloseButtonRect.Top, vi->ClientArea.Top);
  EXPECT_EQ(w->Top() + w->Height(), e->ClientToScreen(TPoint(0, 0)).Y);
  S().Snapshot(w->Handle(), "editors_popup_window_above.png");
  // Resizing by the grip: the XOR frame moves on the screen, the window once on release.
  const TRect g = vi->SizeGripRect;
  const POINT grip{(g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2};
  const TRect before = w->BoundsRect();
  SetCapture(w->Handle());
  S().MouseDown(w->Handle(), grip);
  EXPECT_TRUE(w->Dragging());
  EXPECT_EQ(w->Cursor(), crSizeNESW);
  S().MoveMouse(w->Handle(), POINT{grip.X + 40, grip.Y - 30});
  EXPECT_EQ(w->SizingFrameBounds(), TRect(before.Left, before.Top - 30, before.Right + 40, before.Bottom));
  EXPECT_EQ(w->BoundsRect(), before);  // only the frame moved
  S().MouseUp(w->Handle(), POINT{grip.X + 40, grip.Y - 30});
  EXPECT_FALSE(w->Dragging());
  EXPECT_EQ(w->Width(), before.Width() + 40);
  EXPECT_EQ(w->Height(), before.Height() + 30);
  EXPECT_TRUE(e->PopupSizeChanged());
  // Minimum sizes hold.
  Integer width = 10, height = 10;
  EXPECT_TRUE(w->CanResize(width, height));
  EXPECT_EQ(width, std::max<Integer>(100, vi->CloseButtonRect.Width() + vi->SizeGripRect.Width() + 10 + 2));
  EXPECT_EQ(height, 60);
  // The close button pressed and released outside leaves the popup open; inside it closes.
  w->CalculateViewInfo();
  const TRect cb = vi->CloseButtonRect;
  const POINT close{(cb.Left + cb.Right) / 2, (cb.Top + cb.Bottom) / 2};
  S().MouseDown(w->Handle(), close);
  EXPECT_EQ(vi->CloseButtonState, cxbsPressed);
  S().MouseUp(w->Handle(), POINT{close.X + 60, close.Y});
  EXPECT_TRUE(e->DroppedDown());
  EXPECT_EQ(vi->CloseButtonState, cxbsNormal);
  log_.clear();
  S().MouseDown(w->Handle(), close);
  S().MouseUp(w->Handle(), close);
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(log_[1], "closed 0");
  // With a shadow the window region is the body and its shadow copy: the corner beside the
  // shadow's offset shows what lies under the popup.
  style->SetShadow(true);
  e->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  EXPECT_TRUE(w->Shadow());
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(w->Handle(), region), ERROR);
  EXPECT_TRUE(PtInRegion(region, 1, 1));
  EXPECT_FALSE(PtInRegion(region, w->Width() - 1, 1));
  EXPECT_TRUE(PtInRegion(region, w->Width() - 1, w->Height() - 1 - 5));
  DeleteObject(region);
  e->CloseUp(crCancel);
  style->SetShadow(false);
  // Modal results map to reasons.
  struct Case {
    TModalResult Result;
    const char* Reason;
  };
  for (const Case& c : {Case{mrOk, "closed 4"}, Case{mrCancel, "closed 3"}, Case{mrAbort, "closed 0"}}) {
    e->SetDroppedDown(true);
    Pump();
    log_.clear();
    w->SetModalResult(c.Result);
    w->FinishModal();
    EXPECT_FALSE(e->DroppedDown());
    ASSERT_EQ(log_.size(), 3u);
    EXPECT_EQ(log_[1], c.Reason);
  }
}

TEST_F(DropDownTest, FlippedLeftAndResizedByABorderBandWithoutPanel) {
  auto* e = MakeEdit<TTestDropDownEdit>();
  auto* p = e->DropDownProperties();
  p->SetPopupSizeable(true);
  p->SetPopupAutoSize(false);
  p->SetPopupWidth(300);
  p->SetPopupHeight(120);
  // The editor near the right edge of the screen: the popup grows leftwards, its grip corner
  // is the bottom-left one.
  form_->SetBounds(GetSystemMetrics(SM_CXSCREEN) - 200, 50, 200, 200);
  Pump();
  Focus(e);
  e->SetDroppedDown(true);
  Pump();
  TcxCustomEditPopupWindow* w = e->PopupWindow();
  ASSERT_TRUE(e->DroppedDown());
  EXPECT_EQ(w->GetPopupViewInfo()->GripCorner, 2);
  EXPECT_EQ(w->Left() + w->Width(), GetSystemMetrics(SM_CXSCREEN));
  // Without a panel there is no grip; the left band (the grip's side) sizes the window.
  EXPECT_TRUE(w->GetPopupViewInfo()->SizeGripRect.IsEmpty());
  const TRect before = w->BoundsRect();
  SetCapture(w->Handle());
  S().MouseDown(w->Handle(), POINT{0, 60});  // the band outside the frame rectangle
  ASSERT_TRUE(w->Dragging());
  EXPECT_EQ(w->Cursor(), crSizeWE);
  S().MoveMouse(w->Handle(), POINT{-40, 60});
  S().MouseUp(w->Handle(), POINT{-40, 60});
  EXPECT_EQ(w->BoundsRect(), TRect(before.Left - 40, before.Top, before.Right, before.Bottom));
  // The right band, away from the grip's side, does not size.
  Integer dx = 9, dy = 9;
  EXPECT_TRUE(w->GetPopupViewInfo()->GetSizingHitTest(w->Width() - 1, 60, dx, dy));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
  e->CloseUp(crCancel);
}

TEST_F(DropDownTest, PopupSheetOfBorderStyles) {
  form_->SetBounds(0, 0, 700, 500);
  struct Case {
    TcxEditPopupBorderStyle Style;
    bool ClientEdge, Shadow, Panel;
  };
  const Case cases[] = {{epbsSingle, false, false, false}, {epbsSingle, true, true, true},
                        {epbsFrame3D, false, false, false}, {epbsFrame3D, true, true, true},
                        {epbsFlat, false, true, false},     {epbsFlat, true, false, true}};
  TBitmap sheet;
  sheet.SetSize(6 * 110, 130);
  sheet.Canvas()->Brush()->SetColor(clWhite);
  sheet.Canvas()->FillRect(TRect(0, 0, 6 * 110, 130));
  TcxCanvas canvas(sheet.Canvas());
  Integer x = 5;
  for (const Case& c : cases) {
    TcxCustomEditPopupWindowViewInfo vi;
    vi.BorderStyle = c.Style;
    vi.ClientEdge = c.ClientEdge;
    vi.Shadow = c.Shadow;
    vi.SysPanelStyle = c.Panel;
    vi.Sizeable = c.Panel;
    vi.CloseButton = c.Panel;
    vi.Bounds = TRect(0, 0, 100, 120);
    vi.Calculate();
    canvas.PushDeviceState();
    SetViewportOrgEx(canvas.DeviceContext(), x, 5, nullptr);
    vi.PaintTo(&canvas);
    canvas.PopDeviceState();
    x += 110;
  }
  sheet.SaveToPngFile(testing_support::SheetPath("editors_popup_borders.png"));
}

// ---- popup editor ------------------------------------------------------------------------------

TEST_F(DropDownTest, PopupEditHostsAControlAndGivesItBack) {
  auto* e = MakeEdit<TcxPopupEdit>();
  auto* panel = new TPanel(form_);
  panel->SetBounds(20, 200, 180, 90);
  panel->SetParent(form_);
  panel->SetVisible(false);
  // Without a control the editor never opens.
  Focus(e);
  S().PressKey(VK_F4);
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  log_.clear();
  e->ActiveProperties()->SetPopupControl(panel);
  e->ActiveProperties()->SetPopupAutoSize(true);
  S().PressKey(VK_F4);
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  EXPECT_EQ(panel->Parent(), e->PopupWindow());
  EXPECT_TRUE(panel->Visible());
  EXPECT_EQ(panel->Align(), alClient);
  EXPECT_TRUE(e->PopupWindow()->HasFocusInPopup());  // the popup takes the focus
  // Esc inside the popup closes with reason 3; the panel goes back as it was.
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(panel->Parent(), form_);
  EXPECT_EQ(panel->BoundsRect(), TRect(20, 200, 200, 290));
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(panel->Align(), alNone);
  EXPECT_NE(std::find(log_.begin(), log_.end(), "closed 3"), log_.end());
  // A form as the control loses its border inside and gets it back.
  auto* inner = new TForm(form_);
  inner->SetBounds(0, 0, 160, 100);
  inner->SetBorderStyle(bsDialog);
  e->ActiveProperties()->SetPopupControl(inner);
  log_.clear();
  e->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  EXPECT_EQ(inner->BorderStyle(), bsNone);
  EXPECT_EQ(inner->Parent(), e->PopupWindow());
  e->ClosePopupDeferred(crAccept);
  EXPECT_TRUE(e->DroppedDown());  // closes when the message runs
  log_.clear();
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(inner->BorderStyle(), bsDialog);
  EXPECT_EQ(inner->Parent(), nullptr);
  EXPECT_EQ(log_, (std::vector<String>{"finalize", "closed 4", "closeup"}));
  // A freed control is forgotten; replacing one stops watching the old.
  inner->Free();
  EXPECT_EQ(e->ActiveProperties()->PopupControl(), nullptr);
  e->ActiveProperties()->SetPopupControl(panel);
  e->ActiveProperties()->SetPopupControl(nullptr);
  panel->Free();
  EXPECT_EQ(e->ActiveProperties()->PopupControl(), nullptr);
  EXPECT_TRUE(errors_.empty());
}

TEST_F(DropDownTest, CircularReferencesAndFailingInitLeaveThePopupClosed) {
  auto* e = MakeEdit<TcxPopupEdit>();
  auto* holder = new TPanel(form_);
  holder->SetBounds(10, 200, 200, 60);
  holder->SetParent(form_);
  e->SetParent(holder);
  e->SetBounds(5, 5, 150, 21);
  Pump();
  for (TControl* bad : {static_cast<TControl*>(holder), static_cast<TControl*>(e->PopupWindow()), static_cast<TControl*>(form_)}) {
    e->ActiveProperties()->SetPopupControl(bad);
    const TWinControl* parent = bad->Parent();
    EXPECT_THROW(e->DropDown(), EcxEditError);
    EXPECT_FALSE(e->DroppedDown());
    EXPECT_EQ(bad->Parent(), parent);  // nothing saved or moved
  }
  try {
    e->ActiveProperties()->SetPopupControl(holder);
    e->DropDown();
  } catch (const EcxEditError& err) {
    EXPECT_EQ(err.Message(), "Circular referencing is not allowed");
  }
  // An exception in OnInitPopup: closed, and the next opening initializes again.
  auto* panel = new TPanel(form_);
  panel->SetBounds(0, 0, 100, 80);
  e->ActiveProperties()->SetPopupControl(panel);
  bool fail = true;
  int inits = 0;
  e->ActiveProperties()->OnInitPopup = [&](TObject*) {
    ++inits;
    if (fail) throw Exception("init failed");
  };
  EXPECT_THROW(e->DropDown(), Exception);
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  fail = false;
  e->DropDown();
  Pump();
  EXPECT_TRUE(e->DroppedDown());
  EXPECT_EQ(inits, 2);
  e->CloseUp(crCancel);
  EXPECT_EQ(panel->Parent(), nullptr);
}

// The pivot grid's field filter: a popup editor hosting a check list box in cvfStatesString.
TEST_F(DropDownTest, FieldFilterCheckListInThePopupPerReason) {
  auto* e = MakeEdit<TcxPopupEdit>();
  auto* list = new TcxCheckListBox(form_);
  list->SetBounds(0, 0, 160, 120);
  list->SetVisible(false);
  list->SetParent(form_);
  list->SetEditValueFormat(cvfStatesString);
  for (const char* v : {"North", "South", "East", "West"}) list->CheckItems()->AddCheckItem(v, cbsChecked);
  e->ActiveProperties()->SetPopupControl(list);
  e->ActiveProperties()->SetPopupSysPanelStyle(true);
  String applied;
  // The filter takes the list's value on the accepting reasons only.
  e->ActiveProperties()->OnPopupClosed = [&](TObject*, Integer reason) {
    log_.push_back("closed " + IntToStr(reason));
    if (reason == crAccept || reason == crDropDownKey || reason == crTab) applied = VarToStr(list->EditValue());
  };
  struct Case {
    Word Key;
    Integer Toggled;
    const char* Applied;
  };
  // Esc leaves the filter as it was; the list keeps its states for the next opening.
  const Case cases[] = {{VK_RETURN, 1, "1011"}, {VK_ESCAPE, 0, "1011"}, {VK_F4, 3, "0010"}};
  for (const Case& c : cases) {
    Focus(e);
    e->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(e->DroppedDown());
    EXPECT_EQ(GetFocus(), list->InnerListBox()->Handle());
    list->SetItemIndex(c.Toggled);
    S().PressKey(VK_SPACE);
    S().PressKey(c.Key);
    Pump();
    EXPECT_FALSE(e->DroppedDown()) << c.Key;
    EXPECT_EQ(applied, c.Applied) << c.Key;
    EXPECT_EQ(list->Parent(), form_);
    EXPECT_FALSE(list->Visible());
  }
  // A click outside the popup closes it with reason 0.
  e->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(e->DroppedDown());
  log_.clear();
  S().Click(form_->Handle(), POINT{400, 300});
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_NE(std::find(log_.begin(), log_.end(), "closed 0"), log_.end());
  // A malformed value unchecks every item.
  list->SetEditValue(Variant(String("1x")));
  EXPECT_EQ(VarToStr(list->EditValue()), "1x");
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(list->CheckItems()->Item(i)->State(), cbsUnchecked);
  EXPECT_TRUE(errors_.empty());
}

}  // namespace
