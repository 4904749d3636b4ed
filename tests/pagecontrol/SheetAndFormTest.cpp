// PNG sheets of the flat painters in every tab position, one line and rows, with images,
// highlighted, disabled and hot tabs and navigator buttons in each state; and a form
// description like the application's, read and laid out before the window exists.
#include "tests/pagecontrol/PCTestSupport.h"

using namespace pctest;

namespace {

class SheetTest : public PCFixture {
 protected:
  TImageList* MakeImages() {
    auto* images = new TImageList(Form(), 16, 16);
    TBitmap strip;
    strip.SetSize(48, 16);
    strip.Canvas()->Brush()->SetColor(clFuchsia);
    strip.Canvas()->FillRect(TRect(0, 0, 48, 16));
    TColor colors[3] = {clRed, clGreen, clBlue};
    for (Integer i = 0; i < 3; ++i) {
      strip.Canvas()->Brush()->SetColor(colors[i]);
      strip.Canvas()->Pen()->SetColor(clBlack);
      if (i == 1)
        strip.Canvas()->Ellipse(i * 16 + 2, 2, i * 16 + 14, 14);
      else
        strip.Canvas()->Rectangle(i * 16 + 2, 3 + i, i * 16 + 14, 13);
    }
    images->AddMasked(&strip, clFuchsia);
    return images;
  }
};

TEST_F(SheetTest, EveryPainterInEveryPositionOneLineAndRows) {
  const Integer cellW = 300, cellH = 190, cols = 4;
  TImageList* images = MakeImages();
  Form()->SetBounds(0, 0, 1000, 700);
  Form()->Show();
  for (TcxPCStyleID style : {1, 2, 3, 5, 6, 7, 8, 9, 10}) {
    // The Office11 sheet in the first named scheme, where the gradients show.
    if (style == 8) cxPCCopyOffice11Colors(1);
    TBitmap sheet;
    sheet.SetSize(cellW * cols, cellH * 3);
    sheet.Canvas()->Brush()->SetColor(clWhite);
    sheet.Canvas()->FillRect(TRect(0, 0, sheet.Width(), sheet.Height()));
    const TcxTabPosition positions[4] = {tpTop, tpBottom, tpLeft, tpRight};
    // Rows: one line, several rows, rotated tabs in rows.
    for (Integer row = 0; row < 3; ++row)
      for (Integer col = 0; col < cols; ++col) {
        bool multi = row >= 1;
        auto* c = new TcxTabControl(Form());
        c->SetStyle(style);
        c->SetBounds(10, 10, cellW - 20, cellH - 20);
        c->SetParent(Form());
        c->SetHotTrack(true);
        c->SetImages(images);
        c->SetTabPosition(positions[col]);
        c->SetMultiLine(multi);
        if (c->Painter()->PainterClass()->AllowRotate()) c->SetRotate(row == 2);
        c->SetOptions({pcoGoDialog, pcoCloseButton});
        const char* captions[] = {"Grouping", "Pivot", "&Export", "Disabled", "Highlighted", "Sixth", "Seventh"};
        for (Integer i = 0; i < 7; ++i) {
          c->Tabs()->Add(captions[i]);
          c->Tabs()->Tabs(i)->SetImageIndex(i % 4 == 3 ? -1 : i % 3);
        }
        c->Tabs()->Tabs(3)->SetEnabled(false);
        c->Tabs()->Tabs(4)->SetHighlighted(true);
        c->SetTabIndex(1);
        if (c->Painter()->PainterClass()->AllowMultiSelect()) {
          c->Tabs()->Tabs(5)->SetSelected(true);
          c->Tabs()->Tabs(6)->SetSelected(true);
        }
        Pump();
        // Hover and press: a hot button, a pressed button, a hot tab.
        bool pressed = false;
        if (!multi) {
          auto* p = static_cast<TcxPCStandardPainter*>(c->Painter());
          for (const auto& pos : p->NavigatorButtonPositions()) {
            TPoint m = Center(pos.Bounds);
            if (col % 2 == 0 && pos.Button == nbBottomRight) S().MoveMouse(c->Handle(), POINT{m.X, m.Y});
            if (col % 2 == 1 && pos.Button == nbGoDialog) {
              S().MouseDown(c->Handle(), POINT{m.X, m.Y});
              pressed = true;
            }
          }
        } else {
          TPoint m = Center(c->VisibleTabs(0)->VisibleRect());
          S().MoveMouse(c->Handle(), POINT{m.X, m.Y});
        }
        Application->DoIdle();
        Pump();
        if (multi) {
          if (row == 1) {
            EXPECT_GT(c->RowCount(), 1) << style << " " << col;
          }
          EXPECT_EQ(c->HotTab(), 0);
        }
        c->PaintTo(sheet.Canvas()->Handle(), col * cellW + 10, row * cellH + 10);
        if (pressed) {
          S().MoveMouse(c->Handle(), POINT{5, 5});
          S().MouseUp(c->Handle(), POINT{5, 5});
        }
        c->Free();
      }
    String name = LowerCase(PaintersFactory()->GetPainterClass(style)->GetStyleName());
    sheet.SaveToPngFile(testing_support::SheetPath("pc_" + name + ".png"));
    if (style == 8) cxPCCopyOffice11Colors(0);
  }
  // A disabled control and a focused main tab.
  auto* c = new TcxTabControl(Form());
  c->SetStyle(6);
  c->SetBounds(10, 10, 280, 120);
  c->SetParent(Form());
  for (const char* caption : {"One", "Two", "Three"}) c->Tabs()->Add(caption);
  c->SetFocus();
  Pump();
  TBitmap states;
  states.SetSize(580, 140);
  c->PaintTo(states.Canvas()->Handle(), 0, 0);
  c->SetEnabled(false);
  Pump();
  c->PaintTo(states.Canvas()->Handle(), 290, 0);
  states.SaveToPngFile(testing_support::SheetPath("pc_ultraflat_states.png"));
}

TEST_F(SheetTest, UltraFlatPixelsOfSeparatorsPageBandAndNavigatorButtons) {
  Form()->Show();
  auto* c = MakeTabs({}, 400, 100, 6);
  for (const char* caption : {"One", "Two", "Three", "Four"}) c->Tabs()->Add(caption);
  c->SetTabIndex(2);
  c->Tabs()->Tabs(2)->SetColor(clYellow);
  TBitmap b;
  b.SetSize(400, 100);
  c->PaintTo(b.Canvas()->Handle(), 0, 0);
  auto pixel = [&](Integer x, Integer y) { return ColorToRGB(b.Canvas()->Pixels(x, y)); };
  Integer midRow = (c->VisibleTabs(0)->FullRect().Top + c->VisibleTabs(0)->FullRect().Bottom) / 2;
  // A separator after a tab whose neighbour is not the main tab, none next to the main tab.
  EXPECT_EQ(pixel(c->VisibleTabs(0)->FullRect().Right, midRow), ColorToRGB(clBtnShadow));
  EXPECT_NE(pixel(c->VisibleTabs(1)->FullRect().Right, midRow), ColorToRGB(clBtnShadow));
  EXPECT_NE(pixel(c->VisibleTabs(2)->FullRect().Right, midRow), ColorToRGB(clBtnShadow));
  // The main tab's outline, its colour and the 2-pixel page band in that colour.
  TRect main = c->VisibleTabs(2)->FullRect();
  EXPECT_EQ(pixel(main.Left, midRow), ColorToRGB(clBlack));
  EXPECT_EQ(pixel((main.Left + main.Right) / 2, main.Top), ColorToRGB(clBlack));
  EXPECT_EQ(pixel(main.Left + 2, midRow), ColorToRGB(clYellow));
  Integer band = c->StartTabArea().Bottom;
  EXPECT_EQ(pixel(300, band), ColorToRGB(clYellow));
  EXPECT_EQ(pixel(300, band + 1), ColorToRGB(clYellow));
  EXPECT_NE(pixel(300, band + 2), ColorToRGB(clYellow));
  // Navigator buttons: hot has a black frame and the button face, pressed the shadow face.
  c->SetBounds(0, 0, 100, 100);
  c->SetHotTrack(true);
  TRect arrow;
  for (const auto& pos : static_cast<TcxPCStandardPainter*>(c->Painter())->NavigatorButtonPositions())
    if (pos.Button == nbBottomRight) arrow = pos.Bounds;
  ASSERT_FALSE(arrow.IsEmpty());
  TPoint m = Center(arrow);
  struct Step {
    const char* name;
    TColor frame, face;
  } steps[] = {{"normal", clBtnShadow, cxPCLightFaceColor()}, {"hot", clBlack, clBtnFace}, {"pressed", clBlack, clBtnShadow}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    if (String(s.name) == "hot") S().MoveMouse(c->Handle(), POINT{m.X, m.Y});
    if (String(s.name) == "pressed") S().MouseDown(c->Handle(), POINT{m.X, m.Y});
    c->PaintTo(b.Canvas()->Handle(), 0, 0);
    EXPECT_EQ(pixel(arrow.Left, arrow.Top + 3), ColorToRGB(s.frame));
    EXPECT_EQ(pixel(arrow.Left + 1, arrow.Top + 1), ColorToRGB(s.face));
  }
  S().MouseUp(c->Handle(), POINT{m.X, m.Y});
}

// ---- form descriptions ---------------------------------------------------------------------

const char* kFormText =
    "object Root: TForm\n"
    "  Left = 0\n"
    "  Top = 0\n"
    "  Width = 700\n"
    "  Height = 420\n"
    "  object cxPageControl1: TcxPageControl\n"
    "    Left = 0\n"
    "    Top = 0\n"
    "    Width = 688\n"
    "    Height = 377\n"
    "    ActivePage = cxTabSheet2\n"
    "    LookAndFeel.Kind = lfUltraFlat\n"
    "    Options = [pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoRedrawOnResize]\n"
    "    TabOrder = 0\n"
    "    ClientRectBottom = 377\n"
    "    ClientRectRight = 688\n"
    "    ClientRectTop = 23\n"
    "    object cxTabSheet1: TcxTabSheet\n"
    "      Caption = 'Grouping Matrix'\n"
    "      object Panel1: TPanel\n"
    "        Left = 0\n"
    "        Top = 0\n"
    "        Width = 688\n"
    "        Height = 354\n"
    "        Align = alClient\n"
    "      end\n"
    "    end\n"
    "    object cxTabSheet2: TcxTabSheet\n"
    "      Caption = 'Pivot Matrix'\n"
    "      ImageIndex = 1\n"
    "      object Panel2: TPanel\n"
    "        Left = 0\n"
    "        Top = 0\n"
    "        Width = 688\n"
    "        Height = 354\n"
    "        Align = alClient\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST_F(SheetTest, AFormDescriptionIsReadAndLaidOutBeforeTheWindowExists) {
  auto* root = new TForm(Application);
  ReadComponentFromText(root, kFormText);
  auto* pc = dynamic_cast<TcxPageControl*>(root->FindComponent("cxPageControl1"));
  ASSERT_NE(pc, nullptr);
  EXPECT_FALSE(pc->HandleAllocated());
  EXPECT_TRUE(pc->ClientRectWasRead());
  EXPECT_EQ(pc->ReadClientRect(), TRect(0, 23, 688, 377));
  EXPECT_EQ(pc->Painter()->PainterClass(), TcxPCUltraFlatPainter::Class());
  EXPECT_EQ(pc->Options(), (TcxPCOptions{pcoGoDialog, pcoGradient, pcoGradientClientArea, pcoRedrawOnResize}));
  ASSERT_EQ(pc->PageCount(), 2);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  EXPECT_EQ(pc->TabIndex(), 1);
  EXPECT_EQ(pc->Tabs()->Strings(0), "Grouping Matrix");
  EXPECT_EQ(pc->Pages(1)->ImageIndex(), 1);
  EXPECT_TRUE(pc->Pages(1)->Visible());
  EXPECT_FALSE(pc->Pages(0)->Visible());
  // Laid out without a window: the sheets fill the page client rectangle.
  TRect client = pc->GetPageClientRect();
  EXPECT_EQ(client.Left, 0);
  EXPECT_EQ(client.Right, 688);
  EXPECT_EQ(client.Bottom, 377);
  EXPECT_EQ(pc->Pages(1)->BoundsRect(), client);
  auto* panel = dynamic_cast<TControl*>(root->FindComponent("Panel2"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Width(), 688);
  EXPECT_EQ(panel->Height(), client.Height());
  EXPECT_FALSE(pc->HandleAllocated());
  // The program picks the first page at start; writing stores the client rectangle.
  pc->SetActivePageIndex(0);
  EXPECT_EQ(pc->ActivePage()->Caption(), "Grouping Matrix");
  String text = WriteComponentToText(root);
  EXPECT_NE(text.find("ClientRectTop = " + IntToStr(client.Top)), String::npos) << text;
  EXPECT_NE(text.find("ClientRectRight = 688"), String::npos);
  EXPECT_EQ(text.find("ClientRectLeft"), String::npos);
  EXPECT_NE(text.find("ActivePage = cxTabSheet1"), String::npos);
  root->Free();
}

TEST_F(SheetTest, ATabControlReadsItsTabsAndIndex) {
  auto* root = new TForm(Application);
  ReadComponentFromText(root,
                        "object Root: TForm\n"
                        "  object cxTabControl1: TcxTabControl\n"
                        "    Width = 300\n"
                        "    Height = 100\n"
                        "    Style = 5\n"
                        "    TabIndex = 1\n"
                        "    Tabs.Strings = (\n"
                        "      'One'\n"
                        "      'Two')\n"
                        "  end\n"
                        "end\n");
  auto* tc = dynamic_cast<TcxTabControl*>(root->FindComponent("cxTabControl1"));
  ASSERT_NE(tc, nullptr);
  EXPECT_EQ(tc->Tabs()->Count(), 2);
  EXPECT_EQ(tc->TabIndex(), 1);
  EXPECT_EQ(tc->MainTab(), 1);
  EXPECT_EQ(tc->Painter()->PainterClass(), TcxPCExtraFlatPainter::Class());
  // Without a painter that allows several, only the main tab can be selected.
  tc->Tabs()->Tabs(0)->SetSelected(true);
  EXPECT_FALSE(tc->Tabs()->Tabs(0)->Selected());
  tc->Tabs()->Tabs(1)->SetSelected(true);
  EXPECT_TRUE(tc->Tabs()->Tabs(1)->Selected());
  String text = WriteComponentToText(root);
  EXPECT_NE(text.find("TabIndex = 1"), String::npos) << text;
  EXPECT_NE(text.find("'Two'"), String::npos) << text;
  root->Free();
}

TEST_F(SheetTest, ChangeEventsAreHeldBackWhileLoading) {
  // A page control whose events are set before its properties are read.
  auto* root = new TForm(Application);
  Integer changes = 0, changing = 0;
  auto* pc = new TcxPageControl(root);
  pc->SetName("cxPageControl1");
  pc->OnChange = [&](TObject*) { ++changes; };
  pc->OnPageChanging = [&](TObject*, TcxTabSheet*, bool&) { ++changing; };
  pc->Loading();
  for (Integer i = 0; i < 3; ++i) {
    auto* sheet = new TcxTabSheet(root);
    sheet->SetPageControl(pc);
  }
  pc->SetTabIndex(2);
  EXPECT_EQ(pc->TabIndex(), 2);
  pc->Loaded();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(changing, 0);
  EXPECT_EQ(pc->TabIndex(), 2);
  root->Free();
}

}  // namespace
