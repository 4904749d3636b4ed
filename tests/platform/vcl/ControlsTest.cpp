// Controls: notification numbers, message dispatch, parent font and colour, mouse enter and
// leave, hints, drag and drop, window recreation, double buffering, timers, cursors.
#include <gtest/gtest.h>

#include <fstream>

#include "VclTestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/ImgList.h"
#include "vcl/Menus.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

namespace {

TEST(ControlMessagesTest, NumbersAreThePlatformsOwn) {
  struct Case {
    Cardinal Msg;
    Cardinal Value;
  };
  const Case cases[] = {
      {CM_ACTIVATE, 0xB000},      {CM_DIALOGKEY, 0xB005},     {CM_FOCUSCHANGED, 0xB007},
      {CM_PARENTFONTCHANGED, 0xB008}, {CM_ENABLEDCHANGED, 0xB00C}, {CM_FONTCHANGED, 0xB00E},
      {CM_TEXTCHANGED, 0xB012},   {CM_MOUSEENTER, 0xB013},    {CM_MOUSELEAVE, 0xB014},
      {CM_SHOWINGCHANGED, 0xB019}, {CM_ENTER, 0xB01A},        {CM_EXIT, 0xB01B},
      {CM_WANTSPECIALKEY, 0xB01E}, {CM_RELEASE, 0xB021},      {CM_SYSCOLORCHANGE, 0xB024},
      {CM_WININICHANGE, 0xB025},  {CM_CHILDKEY, 0xB02E},      {CM_HINTSHOW, 0xB030},
      {CM_RECREATEWND, 0xB033},   {CM_CONTROLCHANGE, 0xB036}, {CM_BORDERCHANGED, 0xB03B},
      {CM_MOUSEWHEEL, 0xB043},    {CM_ISSHORTCUT, 0xB044},
  };
  for (const Case& c : cases) EXPECT_EQ(c.Msg, c.Value);
}

// A control that records the notifications it gets and handles one message of its own.
class TRecorder : public TCustomControl {
 public:
  static constexpr Cardinal WM_PING = WM_USER + 7;
  explicit TRecorder(TComponent* owner) : TCustomControl(owner) {}
  std::vector<String> Log;
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_PING) {
      m.Result = NativeInt(m.WParam) * 2;
      return;
    }
    TCustomControl::Dispatch(m);
  }
  void CMMouseEnter(TMessage& m) override {
    Log.push_back(m.LParam ? "enter(child)" : "enter");
    TCustomControl::CMMouseEnter(m);
  }
  void CMMouseLeave(TMessage& m) override {
    Log.push_back(m.LParam ? "leave(child)" : "leave");
    TCustomControl::CMMouseLeave(m);
  }
  void CMSysColorChange(TMessage& m) override {
    Log.push_back("syscolor");
    TCustomControl::CMSysColorChange(m);
  }
  Integer Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clYellow);
    Canvas()->FillRect(Rect(0, 0, Width() / 2, Height()));
    Canvas()->Font()->Assign(Font());
    Canvas()->TextOut(2, 2, "rec");
  }
};

class ControlsTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    form_ = new TForm(Application);
    form_->SetBounds(10, 10, 300, 200);
    panel_ = new TPanel(form_);
    panel_->SetBounds(10, 10, 200, 120);
    panel_->SetParent(form_);
    rec_ = new TRecorder(form_);
    rec_->SetBounds(10, 10, 100, 60);
    rec_->SetParent(panel_);
    label_ = new TLabel(form_);
    label_->SetBounds(120, 10, 60, 20);
    label_->SetCaption("label");
    label_->SetParent(panel_);
  }
  void TearDown() override {
    form_->Free();
    VclFixture::TearDown();
  }
  void ShowForm() {
    form_->Show();
    Process();
  }
  TForm* form_;
  TPanel* panel_;
  TRecorder* rec_;
  TLabel* label_;
};

TEST_F(ControlsTest, PerformDispatchesByNumberToOverriddenHandlers) {
  EXPECT_EQ(rec_->Perform(TRecorder::WM_PING, 21), 42);
  ShowForm();
  EXPECT_EQ(SendMessage(rec_->Handle(), TRecorder::WM_PING, 5, 0), 10);
  // Unknown messages reach the window's default handling.
  EXPECT_EQ(rec_->Perform(WM_USER + 99), 0);
}

TEST_F(ControlsTest, FontAndColourFlowToChildrenThatFollowTheirParent) {
  label_->SetParentColor(true);
  panel_->Font()->SetName("Arial");
  panel_->Font()->SetSize(14);
  panel_->SetColor(clTeal);
  struct Case {
    TControl* Control;
    bool FollowsFont;
  };
  rec_->Font()->SetStyle({fsBold});  // a font of its own: ParentFont goes off
  EXPECT_FALSE(rec_->ParentFont());
  panel_->Font()->SetSize(16);
  EXPECT_EQ(label_->Font()->Size(), 16);
  EXPECT_EQ(label_->Font()->Name(), "Arial");
  EXPECT_NE(rec_->Font()->Size(), 16);
  EXPECT_EQ(label_->Color(), clTeal);
  EXPECT_TRUE(label_->ParentColor());
  EXPECT_NE(rec_->Color(), clTeal);
  // Turning ParentFont back on takes the parent's font at once.
  rec_->SetParentFont(true);
  EXPECT_EQ(rec_->Font()->Size(), 16);
  EXPECT_FALSE(rec_->Font()->Style().Contains(fsBold));
}

TEST_F(ControlsTest, MouseEnterAndLeaveReachTheControlAndItsParents) {
  ShowForm();
  std::vector<String> events;
  rec_->OnMouseEnter = [&](TObject*) { events.push_back("rec+"); };
  rec_->OnMouseLeave = [&](TObject*) { events.push_back("rec-"); };
  label_->OnMouseEnter = [&](TObject*) { events.push_back("label+"); };
  label_->OnMouseLeave = [&](TObject*) { events.push_back("label-"); };
  panel_->OnMouseEnter = [&](TObject*) { events.push_back("panel+"); };
  S().MoveMouse(rec_->Handle(), {5, 5});
  Process();
  S().MoveMouse(panel_->Handle(), {130, 15});  // over the label (no window of its own)
  Process();
  S().MoveMouse(panel_->Handle(), {100, 100});
  Process();
  EXPECT_EQ(events, (std::vector<String>{"rec+", "rec-", "label+", "label-", "panel+"}));
  EXPECT_EQ(rec_->Log, (std::vector<String>{"enter", "leave"}));
}

TEST_F(ControlsTest, HintShowsAfterThePauseAndHidesOnLeaving) {
  ShowForm();
  label_->SetHint("Short|Long help");
  label_->SetShowHint(true);
  S().MoveMouse(panel_->Handle(), {130, 15});
  Process();
  Advance(Application->HintPause() + 10);
  THintWindow* hw = Application->HintWindow();
  ASSERT_NE(hw, nullptr);
  EXPECT_TRUE(hw->IsHintShown());
  EXPECT_TRUE(IsWindowVisible(hw->Handle()));
  EXPECT_EQ(hw->Caption(), "Short");
  EXPECT_EQ(Application->Hint(), "Long help");  // the long part goes to OnHint
  S().Snapshot(hw->Handle(), "vcl_hint.png");
  S().MoveMouse(panel_->Handle(), {100, 100});
  Process();
  EXPECT_FALSE(hw->IsHintShown());
  // CM_HINTSHOW may cancel the hint.
  struct TNoHint : TLabel {
    using TLabel::TLabel;
    void CMHintShow(TMessage& m) override { m.Result = 1; }
  };
  auto* quiet = new TNoHint(form_);
  quiet->SetBounds(10, 140, 60, 20);
  quiet->SetHint("never");
  quiet->SetShowHint(true);
  quiet->SetParent(form_);
  S().MoveMouse(form_->Handle(), {20, 145});
  Process();
  Advance(Application->HintPause() + 10);
  EXPECT_FALSE(hw->IsHintShown());
}

class TTestHintWindow : public THintWindow {
  KORVAN_CLASS(TTestHintWindow, THintWindow)

 public:
  using THintWindow::THintWindow;
};
KORVAN_IMPLEMENT_CLASS(TTestHintWindow)

// The hint windows come from the application's hint window class; a class that is no hint
// window gives the plain one.
TEST_F(ControlsTest, HintWindowClassMakesTheHintWindows) {
  struct {
    TClass cls;
    TClass made;
  } cases[] = {{nullptr, THintWindow::StaticClass()},
               {TTestHintWindow::StaticClass(), TTestHintWindow::StaticClass()},
               {TLabel::StaticClass(), THintWindow::StaticClass()}};
  for (auto& c : cases) {
    HintWindowClass = c.cls;
    THintWindow* w = CreateHintWindow(nullptr);
    EXPECT_EQ(w->ClassType(), c.made);
    w->Free();
  }
  HintWindowClass = nullptr;
}

TEST_F(ControlsTest, DragAndDropFromAGraphicControlToAPanel) {
  ShowForm();
  std::vector<String> log;
  label_->SetDragMode(dmAutomatic);
  auto* target = new TPanel(form_);
  target->SetName("Target");
  target->SetBounds(220, 10, 60, 60);
  target->SetParent(form_);
  target->OnDragOver = [&](TObject*, TObject* source, Integer, Integer, TDragState state, bool& accept) {
    accept = dynamic_cast<TDragControlObject*>(source) != nullptr;
    if (state == dsDragEnter) log.push_back("enter");
  };
  target->OnDragDrop = [&](TObject*, TObject* source, Integer x, Integer y) {
    auto* o = static_cast<TDragControlObject*>(source);
    log.push_back("drop " + o->Control()->Caption() + " at " + IntToStr(x) + "," + IntToStr(y));
  };
  label_->OnEndDrag = [&](TObject*, TObject* t, Integer, Integer) { log.push_back(t ? "end on target" : "end nowhere"); };
  S().MouseDown(panel_->Handle(), {130, 15});
  S().MoveMouse(form_->Handle(), {240, 30});
  S().MoveMouse(form_->Handle(), {250, 40});
  S().MouseUp(form_->Handle(), {250, 40});
  EXPECT_EQ(log, (std::vector<String>{"enter", "drop label at 30,30", "end on target"}));
  EXPECT_FALSE(label_->Dragging());
  // Esc cancels a drag: no drop.
  log.clear();
  S().MouseDown(panel_->Handle(), {130, 15});
  S().MoveMouse(form_->Handle(), {250, 40});
  S().PressKey(VK_ESCAPE);
  S().MouseUp(form_->Handle(), {250, 40});
  EXPECT_EQ(log, (std::vector<String>{"enter", "end nowhere"}));
}

TEST_F(ControlsTest, RecreatedWindowKeepsChildrenAndState) {
  ShowForm();
  HWND before = panel_->Handle();
  rec_->SetFocus();
  Process();
  panel_->RecreateWnd();
  Process();
  EXPECT_NE(panel_->Handle(), before);
  EXPECT_TRUE(rec_->HandleAllocated());
  EXPECT_EQ(GetParent(rec_->Handle()), panel_->Handle());
  EXPECT_TRUE(IsWindowVisible(rec_->Handle()));
  EXPECT_EQ(rec_->BoundsRect(), Rect(10, 10, 110, 70));
}

TEST_F(ControlsTest, DoubleBufferedPaintLooksTheSame) {
  ShowForm();
  TSurface direct, buffered;
  rec_->Repaint();
  ASSERT_TRUE(THeadlessBackend::CopyWindowPixels(rec_->Handle(), direct, true));
  rec_->SetDoubleBuffered(true);
  Integer paints = rec_->Paints;
  rec_->Repaint();
  EXPECT_GT(rec_->Paints, paints);
  ASSERT_TRUE(THeadlessBackend::CopyWindowPixels(rec_->Handle(), buffered, true));
  ASSERT_EQ(direct.Width(), buffered.Width());
  for (int y = 0; y < direct.Height(); ++y)
    for (int x = 0; x < direct.Width(); ++x)
      ASSERT_EQ(direct.At(x, y) & 0xFFFFFF, buffered.At(x, y) & 0xFFFFFF) << x << "," << y;
  EXPECT_EQ(direct.At(5, 50) & 0xFFFFFF, 0xFFFF00u);  // the yellow half
}

TEST_F(ControlsTest, SystemColourChangeReachesEveryControl) {
  ShowForm();
  BroadcastSystemChange(WM_SYSCOLORCHANGE, 0, 0);
  Process();
  EXPECT_EQ(std::count(rec_->Log.begin(), rec_->Log.end(), "syscolor"), 1);
}

TEST_F(ControlsTest, TimerFiresWhileEnabled) {
  auto* t = new TTimer(form_);
  int ticks = 0;
  t->SetInterval(100);
  t->OnTimer = [&](TObject*) { ++ticks; };
  Advance(350);
  EXPECT_EQ(ticks, 3);
  t->SetEnabled(false);
  Advance(300);
  EXPECT_EQ(ticks, 3);
}

TEST_F(ControlsTest, ScreenCursorOverridesControlsCursors) {
  ShowForm();
  rec_->SetCursor(crHandPoint);
  S().MoveMouse(rec_->Handle(), {5, 5});
  EXPECT_EQ(S().Backend().CursorImage(), Screen->Cursors(crHandPoint));
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(S().Backend().CursorImage(), Screen->Cursors(crHourGlass));
  S().MoveMouse(rec_->Handle(), {6, 6});
  EXPECT_EQ(S().Backend().CursorImage(), Screen->Cursors(crHourGlass));
  Screen->SetCursor(crDefault);
  S().MoveMouse(rec_->Handle(), {7, 7});
  EXPECT_EQ(S().Backend().CursorImage(), Screen->Cursors(crHandPoint));
}

TEST_F(ControlsTest, AControlThatWantsASpecialKeyKeepsIt) {
  // An edit that takes Enter itself (as a grid's in-place editor does): the default button
  // must not see it.
  struct TEnterEdit : TEdit {
    using TEdit::TEdit;
    int Enters = 0;
    void CMWantSpecialKey(TMessage& m) override { m.Result = m.WParam == VK_RETURN ? 1 : 0; }
    void KeyDown(Word& key, TShiftState shift) override {
      if (key == VK_RETURN) ++Enters;
      TEdit::KeyDown(key, shift);
    }
  };
  auto* edit = new TEnterEdit(form_);
  edit->SetBounds(10, 140, 100, 21);
  edit->SetParent(form_);
  auto* button = new TButton(form_);
  button->SetBounds(120, 140, 75, 25);
  button->SetDefault(true);
  button->SetParent(form_);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  edit->SetFocus();
  Process();
  S().PressKey(VK_RETURN);
  EXPECT_EQ(edit->Enters, 1);
  EXPECT_EQ(clicks, 0);
  rec_->SetFocus();  // a control that does not want it: the default button
  Process();
  S().PressKey(VK_RETURN);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, ScreenKnowsTheWorkAreaAndCentresForms) {
  TRect work = Screen->WorkAreaRect();
  EXPECT_EQ(work, Rect(0, 0, 1280, 770));  // the headless screen with its task bar
  EXPECT_EQ(Screen->MonitorCount(), 1);
  EXPECT_TRUE(Screen->Monitors(0)->Primary());
  EXPECT_EQ(Screen->Monitors(0)->BoundsRect(), Rect(0, 0, 1280, 800));
  form_->SetPosition(poScreenCenter);
  ShowForm();
  EXPECT_EQ(form_->Left(), (1280 - form_->Width()) / 2);
  EXPECT_EQ(form_->Top(), (770 - form_->Height()) / 2);
  EXPECT_EQ(Screen->ActiveForm(), form_);
}

TEST_F(ControlsTest, DragImageDrawnTwiceLeavesTheScreenAsItWas) {
  ShowForm();
  TDragImageList images(nullptr, 16, 16);
  TBitmap b;
  b.SetSize(16, 16);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 16, 16));
  images.Add(&b, nullptr);
  ASSERT_TRUE(images.SetDragImage(0, 8, 8));
  String before = S().SnapshotScreen("vcl_drag_before.png");
  images.BeginDrag(form_->Handle(), 50, 50);
  images.DragMove(80, 60);
  EXPECT_TRUE(images.Dragging());
  EXPECT_EQ(images.DragPosition(), form_->ClientToScreen({80, 60}));
  String during = S().SnapshotScreen("vcl_drag_during.png");
  images.EndDrag();
  String after = S().SnapshotScreen("vcl_drag_after.png");
  auto bytes = [](const String& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), {});
  };
  EXPECT_NE(bytes(during), bytes(before));  // the image is on the screen while dragging
  EXPECT_EQ(bytes(after), bytes(before));
}

TEST_F(ControlsTest, ParentsSeeTheirChildrensKeysFirst) {
  // A panel that takes F5 from any control inside it, as a grid site does for its editors.
  struct TKeyPanel : TPanel {
    using TPanel::TPanel;
    int Taken = 0;
    void CMChildKey(TMessage& m) override {
      if (m.WParam == VK_F5) {
        ++Taken;
        m.Result = 1;
        return;
      }
      TPanel::CMChildKey(m);
    }
  };
  auto* site = new TKeyPanel(form_);
  site->SetBounds(10, 130, 200, 40);
  site->SetParent(form_);
  auto* edit = new TEdit(form_);
  edit->SetBounds(5, 5, 100, 21);
  edit->SetParent(site);
  Word seen = 0;
  edit->OnKeyDown = [&](TObject*, Word& key, TShiftState) { seen = key; };
  ShowForm();
  edit->SetFocus();
  Process();
  S().PressKey(VK_F5);
  EXPECT_EQ(site->Taken, 1);
  EXPECT_EQ(seen, 0);
  S().PressKey(VK_F6);
  EXPECT_EQ(seen, VK_F6);
}

TEST_F(ControlsTest, PopupMenuOpensSubmenusFromTheKeyboard) {
  auto* menu = new TPopupMenu(form_);
  auto add = [&](TMenuItem* parent, const char* caption) {
    auto* i = new TMenuItem(form_);
    i->SetCaption(caption);
    parent->Add(i);
    return i;
  };
  String chosen;
  TMenuItem* view = add(menu->Items(), "&View");
  add(menu->Items(), "&Exit")->OnClick = [&](TObject*) { chosen = "exit"; };
  add(view, "&Small")->OnClick = [&](TObject*) { chosen = "small"; };
  add(view, "&Large")->OnClick = [&](TObject*) { chosen = "large"; };
  ShowForm();
  auto key = [](int vk) { return [vk] { InputKey(vk, true); InputKey(vk, false); }; };
  size_t levels = 0;
  S().Backend().OnIdle(key(VK_DOWN));   // View
  S().Backend().OnIdle(key(VK_RIGHT));  // opens its submenu on Small
  S().Backend().OnIdle([&] {
    levels = menu->MenuWindows().size();
    S().SnapshotScreen("vcl_popup_menu.png");
    InputKey(VK_DOWN, true);
    InputKey(VK_DOWN, false);
  });
  S().Backend().OnIdle(key(VK_RETURN));  // Large
  menu->Popup(100, 100);
  EXPECT_EQ(levels, 2u);
  EXPECT_EQ(chosen, "large");
  // Accelerators: "v" opens View, "s" chooses Small.
  chosen.clear();
  S().Backend().OnIdle([] { InputText("v"); });
  S().Backend().OnIdle([] { InputText("s"); });
  menu->Popup(100, 100);
  EXPECT_EQ(chosen, "small");
}

}  // namespace
