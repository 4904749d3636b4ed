// Container styles in form descriptions (what is written, reading back, shared controllers,
// damaged entries) and the class factories descendants replace: style, styles and view-info
// classes of containers, controllers and popups, and the control's drag object class.
#include "rtl/TypInfo.h"
#include "tests/foundation/ContainerTestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/Menus.h"

using namespace containertest;

// A style class of a descendant, with one value of its own after the container's ten.
class TTestContainerStyle : public TcxContainerStyle {
  KORVAN_CLASS(TTestContainerStyle, TcxContainerStyle)

 public:
  using TcxContainerStyle::TcxContainerStyle;
  static TcxContainerStyle* CreateInState(TPersistent* owner, bool detached, TcxContainerStyle* base,
                                          TcxContainerStyleState state) {
    return new TTestContainerStyle(owner, detached, base, state);
  }
  Integer StyleValueCount() override { return 11; }
};
KORVAN_IMPLEMENT_CLASS(TTestContainerStyle)

class TTestContainerStyles : public TcxContainerStyles {
  KORVAN_CLASS(TTestContainerStyles, TcxContainerStyles)

 public:
  using TcxContainerStyles::TcxContainerStyles;
  static TcxContainerStyles* CreateStyles(TPersistent* owner, TcxContainerStyle::TFactory styleClass) {
    return new TTestContainerStyles(owner, styleClass);
  }
};
KORVAN_IMPLEMENT_CLASS(TTestContainerStyles)

class TTestViewInfo : public TcxContainerViewInfo {
  KORVAN_CLASS(TTestViewInfo, TcxContainerViewInfo)
};
KORVAN_IMPLEMENT_CLASS(TTestViewInfo)

// A controller that publishes its styles, as the editors' controller does.
class TTestStyleController : public TcxStyleController {
  KORVAN_CLASS(TTestStyleController, TcxStyleController)

 public:
  using CreateArgType = TComponent*;
  using TcxStyleController::TcxStyleController;
  TcxContainerStyle::TFactory StyleClass() override { return &TTestContainerStyle::CreateInState; }
  TcxContainerStyles::TFactory StylesClass() override { return &TTestContainerStyles::CreateStyles; }
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TTestStyleController) {
  using C = TTestStyleController;
  p.Object("Style", &C::Style, &C::SetStyle, TcxContainerStyle::StaticClass());
  p.Object("StyleDisabled", &C::StyleDisabled, &C::SetStyleDisabled, TcxContainerStyle::StaticClass());
  p.Object("StyleFocused", &C::StyleFocused, &C::SetStyleFocused, TcxContainerStyle::StaticClass());
  p.Object("StyleHot", &C::StyleHot, &C::SetStyleHot, TcxContainerStyle::StaticClass());
}

class TTestContainer : public TcxContainer {
  KORVAN_CLASS(TTestContainer, TcxContainer)

 public:
  using CreateArgType = TComponent*;
  using TcxContainer::TcxContainer;
  TcxContainerStyle::TFactory StyleClass() override { return &TTestContainerStyle::CreateInState; }
  TcxContainerStyles::TFactory StylesClass() override { return &TTestContainerStyles::CreateStyles; }
  TClass ViewInfoClass() override { return TTestViewInfo::StaticClass(); }
  bool DefaultParentColor() override { return true; }
};
KORVAN_IMPLEMENT_CLASS(TTestContainer)

class TTestPopup : public TcxCustomPopupWindow {
  KORVAN_CLASS(TTestPopup, TcxCustomPopupWindow)

 public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  TcxContainerStyle::TFactory StyleClass() override { return &TTestContainerStyle::CreateInState; }
  TClass ViewInfoClass() override { return TTestViewInfo::StaticClass(); }
};
KORVAN_IMPLEMENT_CLASS(TTestPopup)

class TTestDragObject : public TcxDragControlObject {
  KORVAN_CLASS(TTestDragObject, TcxDragControlObject)

 public:
  using CreateArgType = TControl*;
  using TcxDragControlObject::TcxDragControlObject;
};
KORVAN_IMPLEMENT_CLASS(TTestDragObject)

class TDraggingContainer : public TcxContainer {
 public:
  using TcxContainer::TcxContainer;
  TClass VclDragObjectClass() override { return TTestDragObject::StaticClass(); }
  TDragObject* StartDrag() {
    TDragObject* o = nullptr;
    DoStartDrag(o);
    return o;
  }
};

namespace {

class ContainerFormTest : public ContainerFixture {
 protected:
  void SetUp() override {
    ContainerFixture::SetUp();
    RegisterClass(TcxContainer::StaticClass());
    RegisterClass(TTestStyleController::StaticClass());
  }
  // A form read from `body` (the objects inside "object F: TForm ... end").
  TForm* ReadForm(const String& body) {
    auto* f = new TForm(Application);
    forms_.push_back(f);
    ReadComponentFromText(f, "object F: TForm\n" + body + "end\n");
    return f;
  }
  void TearDown() override {
    for (TForm* f : forms_) f->Free();
    ContainerFixture::TearDown();
  }
  std::vector<TForm*> forms_;
};

const char* const kSharedForm =
    "  object Ctl: TTestStyleController\n"
    "    Style.TextColor = clBlue\n"
    "    StyleDisabled.TextColor = clGreen\n"
    "  end\n"
    "  object Box1: TcxContainer\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 120\n"
    "    Height = 24\n"
    "    Style.BorderStyle = cbsThick\n"
    "    Style.Color = clRed\n"
    "    Style.StyleController = Ctl\n"
    "    StyleHot.BorderStyle = cbsSingle\n"
    "  end\n"
    "  object Box2: TcxContainer\n"
    "    Left = 8\n"
    "    Top = 40\n"
    "    Width = 120\n"
    "    Height = 24\n"
    "    Style.StyleController = Ctl\n"
    "  end\n";

TEST_F(ContainerFormTest, StylesReadWriteOnlyWhatWasAssignedAndReadAgainToTheSameValues) {
  TForm* f = ReadForm(kSharedForm);
  auto* box1 = dynamic_cast<TcxContainer*>(f->FindComponent("Box1"));
  auto* box2 = dynamic_cast<TcxContainer*>(f->FindComponent("Box2"));
  auto* ctl = dynamic_cast<TTestStyleController*>(f->FindComponent("Ctl"));
  ASSERT_TRUE(box1 && box2 && ctl);
  EXPECT_EQ(box1->Style()->Color(), clRed);
  EXPECT_EQ(box1->Style()->BorderStyle(), cbsThick);
  EXPECT_EQ(box1->StyleHot()->BorderStyle(), cbsSingle);
  EXPECT_EQ(box1->Style()->StoredAssignedValues(), (TcxContainerStyleValues{svColor, svBorderStyle}));
  EXPECT_EQ(box1->StyleHot()->StoredAssignedValues(), TcxContainerStyleValues{svBorderStyle});
  EXPECT_EQ(box1->StyleFocused()->StoredAssignedValues(), TcxContainerStyleValues{});
  EXPECT_EQ(box1->Color(), clRed);  // applied once loading ended
  // The shared controller reaches both containers, per state.
  for (TcxContainer* b : {box1, box2}) {
    EXPECT_EQ(b->Style()->StyleController(), ctl);
    EXPECT_EQ(b->Style()->TextColor(), clBlue);
    EXPECT_EQ(b->StyleDisabled()->TextColor(), clGreen);
  }
  EXPECT_EQ(ctl->ListenerCount(), 2);

  String text = WriteComponentToText(f);
  for (const char* wanted : {"Style.BorderStyle = cbsThick", "Style.Color = clRed", "Style.StyleController = Ctl",
                             "StyleHot.BorderStyle = cbsSingle", "Style.TextColor = clBlue",
                             "StyleDisabled.TextColor = clGreen"})
    EXPECT_NE(text.find(wanted), String::npos) << wanted << "\n" << text;
  for (const char* unwanted : {"Shadow", "HotTrack", "Edges", "Style.AssignedValues", "StyleFocused.BorderStyle", "IsFontAssigned",
                               "FakeStyleController", "StyleHot.StyleController", "Style.Font",
                               "StyleHot.LookAndFeel"})
    EXPECT_EQ(text.find(unwanted), String::npos) << unwanted << "\n" << text;

  // Reading the written text gives the same values and writes the same text again.
  auto* again = new TForm(Application);
  forms_.push_back(again);
  ReadComponentFromText(again, text);
  auto* copy1 = dynamic_cast<TcxContainer*>(again->FindComponent("Box1"));
  ASSERT_NE(copy1, nullptr);
  EXPECT_EQ(copy1->Style()->StoredAssignedValues(), box1->Style()->StoredAssignedValues());
  EXPECT_EQ(copy1->StyleHot()->BorderStyle(), cbsSingle);
  EXPECT_EQ(copy1->Style()->TextColor(), clBlue);
  String rewritten = WriteComponentToText(again);
  EXPECT_EQ(rewritten.substr(rewritten.find("  object Ctl")), text.substr(text.find("  object Ctl")));
}

TEST_F(ContainerFormTest, FontIsWrittenWithItsAssignedMarkAndReadBackAsAssigned) {
  TForm* f = ReadForm(
      "  object Box: TcxContainer\n"
      "    Style.IsFontAssigned = True\n"
      "  end\n");
  auto* box = dynamic_cast<TcxContainer*>(f->FindComponent("Box"));
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->Style()->StoredAssignedValues().Contains(svFont));
  box->Style()->Font()->SetSize(14);
  String text = WriteComponentToText(f);
  EXPECT_NE(text.find("Style.Font.Height"), String::npos) << text;
  EXPECT_NE(text.find("Style.IsFontAssigned = True"), String::npos) << text;
  auto* again = new TForm(Application);
  forms_.push_back(again);
  ReadComponentFromText(again, text);
  auto* copy = dynamic_cast<TcxContainer*>(again->FindComponent("Box"));
  EXPECT_TRUE(copy->Style()->StoredAssignedValues().Contains(svFont));
  EXPECT_EQ(copy->Style()->Font()->Size(), 14);
}

TEST_F(ContainerFormTest, DamagedStyleEntriesGiveTheReadersError) {
  struct Case {
    const char* line;
  } cases[] = {
      {"Style.BorderStyle = cbsBogus"},
      {"Style.Colour = clRed"},
      {"Style.StyleController = Nowhere"},
      {"StyleHot.Edges = [bLeft, bMiddle]"},
      {"Style.HotTrack = 7"},
      {"Style.IsFontAssigned = 'yes'"},
  };
  for (const Case& k : cases) {
    auto* f = new TForm(Application);
    forms_.push_back(f);
    try {
      ReadComponentFromText(f, String("object F: TForm\n  object Box: TcxContainer\n    ") + k.line + "\n  end\nend\n");
      ADD_FAILURE() << "no error for " << k.line;
    } catch (const EReadError& e) {
      EXPECT_EQ(String(e.what()).rfind("Error reading", 0), 0u) << e.what();
    }
  }
}

TEST_F(ContainerFormTest, BadStyleValuesAreRefused) {
  auto* c = MakeContainer(10, 10, 120, 24);
  EXPECT_THROW(c->Style()->SetBorderStyle(TcxContainerBorderStyle(7)), EPropertyError);
  EXPECT_THROW(SetOrdProp(c->StyleHot(), "BorderStyle", -1), EPropertyError);
  EXPECT_THROW(SetOrdProp(c->Style(), "Edges", 0x100), EPropertyError);
  EXPECT_THROW(SetObjectProp(c->Style(), "StyleController", c), EPropertyError);
  EXPECT_TRUE(c->Style()->StoredAssignedValues().Empty());
  EXPECT_EQ(BorderWidthOfStyle(TcxContainerBorderStyle(42)), 0);
}

TEST_F(ContainerFormTest, DescendantsChooseTheirStyleViewInfoAndDragObjectClasses) {
  auto* c = MakeContainer<TTestContainer>(10, 10, 120, 24);
  EXPECT_NE(dynamic_cast<TTestContainerStyles*>(c->ContainerStyles()), nullptr);
  for (TcxContainerStyle* s : {c->Style(), c->StyleFocused(), c->StyleDisabled(), c->StyleHot()})
    EXPECT_NE(dynamic_cast<TTestContainerStyle*>(s), nullptr);
  EXPECT_NE(dynamic_cast<TTestViewInfo*>(c->ViewInfo()), nullptr);
  EXPECT_TRUE(c->ParentColor());  // the descendant's DefaultParentColor counts

  auto* ctl = new TTestStyleController(form_);
  EXPECT_NE(dynamic_cast<TTestContainerStyles*>(ctl->StateStyles()), nullptr);
  EXPECT_NE(dynamic_cast<TTestContainerStyle*>(ctl->StyleHot()), nullptr);
  c->Style()->SetStyleController(ctl);
  EXPECT_EQ(c->Style()->StyleController(), ctl);

  auto* popup = new TTestPopup(c);
  EXPECT_NE(dynamic_cast<TTestContainerStyle*>(popup->Style()), nullptr);
  EXPECT_NE(dynamic_cast<TTestViewInfo*>(popup->ViewInfo()), nullptr);
  popup->Free();

  auto* d = MakeContainer<TDraggingContainer>(10, 40, 120, 24);
  TDragObject* o = d->StartDrag();
  EXPECT_NE(dynamic_cast<TTestDragObject*>(o), nullptr);
  if (o) o->Free();
}

// ---- context menus, drag settings, scaling -----------------------------------------------

TEST_F(ContainerFormTest, RightClickWithoutAMenuOfItsOwnReachesTheParentsMenu) {
  auto* panel = new TPanel(form_);
  panel->SetBounds(0, 0, 300, 200);
  panel->SetParent(form_);
  auto* c = new TcxContainer(form_);
  c->SetBounds(10, 10, 120, 24);
  c->SetParent(panel);
  form_->Show();
  Pump();
  int parentPopups = 0;
  auto* parentMenu = new TPopupMenu(form_);
  parentMenu->OnPopup = [&](TObject*) { ++parentPopups; };
  parentMenu->SetAutoPopup(true);
  panel->SetPopupMenu(parentMenu);  // no items: the menu reports its popup and shows nothing
  S().Click(c->Handle(), POINT{20, 10}, kMouseRight);
  Pump();
  EXPECT_EQ(parentPopups, 1);

  // The control's own menu is the framework's: its shortcut fires from a focused child.
  auto* own = new TPopupMenu(form_);
  int fired = 0;
  auto* item = new TMenuItem(own);
  item->SetShortCut(ShortCut(VK_F7, {ssCtrl}));
  item->OnClick = [&](TObject*) { ++fired; };
  own->Items()->Add(item);
  auto* host = MakeContainer<TListContainer>(10, 60, 200, 60);
  host->SetPopupMenu(own);
  EXPECT_EQ(static_cast<TControl*>(host)->PopupMenu(), own);
  host->List->SetFocus();
  Pump();
  S().PressKey(VK_F7, false, true);
  Pump();
  EXPECT_EQ(fired, 1);
}

TEST_F(ContainerFormTest, DragSettingsReachTheInnerControlAndItsDragImagesAreTheContainers) {
  auto* c = MakeContainer<TListContainer>(10, 10, 150, 80);
  c->SetDragMode(dmAutomatic);
  c->SetDragKind(dkDock);
  EXPECT_EQ(c->List->DragMode(), dmAutomatic);
  EXPECT_EQ(c->List->DragKind(), dkDock);
  EXPECT_EQ(c->DragKind(), dkDock);
  SetOrdProp(c, "DragMode", dmManual);
  EXPECT_EQ(c->List->DragMode(), dmManual);
  EXPECT_EQ(c->GetDragImages(), c->List->GetDragImages());
}

TEST_F(ContainerFormTest, ScalingKeepsTheScaleOfAFontFromTheStyleController) {
  auto* ctl = new TTestStyleController(form_);
  ctl->Style()->Font()->SetSize(10);
  auto* c = MakeContainer(10, 10, 120, 24);
  c->Style()->SetStyleController(ctl);
  EXPECT_EQ(c->Style()->Font()->Size(), 10);
  form_->ScaleBy(3, 2);
  EXPECT_EQ(c->Style()->Font()->Size(), 15);
  EXPECT_EQ(c->Font()->Size(), 15);
  EXPECT_FALSE(c->Style()->StoredAssignedValues().Contains(svFont));
  ctl->Style()->Font()->SetSize(12);  // a later change keeps the scale
  EXPECT_EQ(c->Style()->Font()->Size(), 18);
  EXPECT_EQ(ctl->Style()->Font()->Size(), 12);  // the shared controller is not scaled
  // An own font is scaled in place.
  auto* own = MakeContainer(10, 50, 120, 24);
  own->Style()->Font()->SetSize(9);
  own->ChangeScale(2, 1);
  EXPECT_EQ(own->Style()->Font()->Size(), 18);
  EXPECT_EQ(own->Font()->Size(), 18);
}

}  // namespace
