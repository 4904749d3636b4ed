// View data and view info: border extents, buttons on both sides, stretching, button states,
// measuring, colours, changed regions and repainting, background modes, hit tests, and PNG
// sheets of buttons and cells.
#include <gtest/gtest.h>

#include "editors/cxEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "foundation/dxUxTheme.h"
#include "gdi/Gdi.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Forms.h"

namespace {

constexpr TShiftState kNoShift{};

// A square glyph all green (its transparent colour is another).
void MakeGreenGlyph(TBitmap& glyph, Integer side) {
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(side, side);
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->FillRect(TRect(0, 0, side, side));
  glyph.SetTransparentColor(clFuchsia);
}

class EditViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(640, 480);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 480), clWhite);
    style_.SetTransparentBorder(false);
  }
  // Calculates a view info for the bounds.
  std::unique_ptr<TcxCustomEditViewInfo> Calc(bool inplace, const TRect& bounds,
                                              TPoint p = TPoint(-1, -1), Integer button = 0,
                                              TShiftState shift = {}) {
    data_.reset(props_.CreateViewData(&style_, inplace));
    std::unique_ptr<TcxCustomEditViewInfo> vi(props_.CreateViewInfo());
    data_->CalculateViewInfo(canvas_.get(), bounds, p, button, shift, vi.get(), false);
    return vi;
  }
  TcxEditButton* AddButton(TcxEditButtonKind kind, bool left = false) {
    TcxEditButton* b = props_.Buttons()->AddButton();
    b->SetKind(kind);
    b->SetLeftAlignment(left);
    return b;
  }
  COLORREF Px(Integer x, Integer y) { return GetPixel(canvas_->DeviceContext(), x, y); }

  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
  TcxCustomEditProperties props_{nullptr};
  TcxEditStyle style_{nullptr, false};
  std::unique_ptr<TcxCustomEditViewData> data_;
};

TEST_F(EditViewTest, ClientExtentPerBorderStyleEdgesAndShadow) {
  struct Case {
    TcxEditBorderStyle style;
    TcxBorders edges;
    bool shadow;
    TRect client;
  } cases[] = {
      {ebsNone, cxBordersAll, false, TRect(10, 10, 110, 40)},
      {ebsSingle, cxBordersAll, false, TRect(11, 11, 109, 39)},
      {ebsThick, cxBordersAll, false, TRect(12, 12, 108, 38)},
      {ebsFlat, cxBordersAll, false, TRect(12, 12, 108, 38)},
      {ebs3D, cxBordersAll, false, TRect(12, 12, 108, 38)},
      {ebsUltraFlat, cxBordersAll, false, TRect(11, 11, 109, 39)},
      {ebsOffice11, cxBordersAll, false, TRect(11, 11, 109, 39)},
      {ebs3D, TcxBorders{bLeft, bBottom}, false, TRect(12, 10, 110, 38)},
      {ebsSingle, cxBordersAll, true, TRect(11, 11, 106, 36)},
  };
  for (const auto& c : cases) {
    style_.SetBorderStyle(c.style);
    style_.SetEdges(c.edges);
    style_.SetShadow(c.shadow);
    auto vi = Calc(false, TRect(10, 10, 110, 40));
    EXPECT_EQ(vi->ClientArea, c.client) << int(c.style);
  }
  // A transparent border keeps two pixels whatever the style; in place has no border.
  style_.SetShadow(false);
  style_.SetTransparentBorder(true);
  EXPECT_EQ(Calc(false, TRect(0, 0, 50, 20))->ClientArea, TRect(2, 2, 48, 18));
  EXPECT_EQ(Calc(true, TRect(0, 0, 50, 20))->ClientArea, TRect(0, 0, 50, 20));
  EXPECT_EQ(Calc(true, TRect(0, 0, 50, 20))->EditBorderStyle, ebsNone);
}

TEST_F(EditViewTest, ButtonsOnBothSidesKeepTheClientBetween) {
  AddButton(bkEllipsis);
  AddButton(bkDown, true);
  AddButton(bkGlyph)->SetWidth(30);
  style_.SetBorderStyle(ebsSingle);
  auto vi = Calc(false, TRect(0, 0, 200, 24));
  ASSERT_EQ(vi->Buttons.size(), 3u);
  const Integer sb = GetSystemMetrics(SM_CYHSCROLL);
  // The last button lies outermost: glyph at the right end, ellipsis inside it.
  EXPECT_EQ(vi->Buttons[2]->Bounds, TRect(199 - 30, 1, 199, 23));
  EXPECT_EQ(vi->Buttons[0]->Bounds, TRect(169 - sb, 1, 169, 23));
  EXPECT_EQ(vi->Buttons[1]->Bounds, TRect(1, 1, 1 + sb, 23));
  EXPECT_EQ(vi->ClientArea, TRect(1 + sb, 1, 169 - sb, 23));
  EXPECT_TRUE(vi->Buttons[1]->Leftmost);
  EXPECT_TRUE(vi->Buttons[2]->Rightmost);
  EXPECT_TRUE(vi->Buttons[0]->Leftmost);  // the innermost of the right side
  // Hidden buttons take no place; a text button is as wide as its caption needs.
  props_.Buttons()->GetButton(2)->SetVisible(false);
  TcxEditButton* text = AddButton(bkText);
  text->SetCaption("");
  vi = Calc(false, TRect(0, 0, 200, 24));
  ASSERT_EQ(vi->Buttons.size(), 3u);
  EXPECT_EQ(vi->Buttons[2]->Bounds.Width(), std::max(sb, 7));
}

TEST_F(EditViewTest, ButtonsOnlyModesAndStretching) {
  AddButton(bkEllipsis)->SetWidth(20);
  AddButton(bkEllipsis)->SetWidth(40);
  props_.SetButtonsViewMode(2);
  // In place the buttons share the whole width in proportion to their widths.
  auto vi = Calc(true, TRect(0, 0, 120, 20));
  EXPECT_EQ(vi->Buttons[0]->Bounds, TRect(0, 0, 40, 20));
  EXPECT_EQ(vi->Buttons[1]->Bounds, TRect(40, 0, 120, 20));
  // A bounds right of 2147483647 never stretches.
  vi = Calc(true, TRect(0, 0, 2147483647, 20));
  EXPECT_EQ(vi->Buttons[1]->Bounds.Width(), 40);
  // Only stretchable buttons take the extra width.
  props_.Buttons()->GetButton(1)->SetStretchable(false);
  vi = Calc(true, TRect(0, 0, 120, 20));
  EXPECT_EQ(vi->Buttons[1]->Bounds.Width(), 40);
  EXPECT_EQ(vi->Buttons[0]->Bounds, TRect(0, 0, 80, 20));
  // Standalone only the buttons-only mode fills.
  props_.SetButtonsViewMode(1);
  vi = Calc(false, TRect(0, 0, 120, 20));
  EXPECT_EQ(vi->Buttons[0]->Bounds.Left, 1);
}

TEST_F(EditViewTest, ButtonStatePass) {
  AddButton(bkEllipsis)->SetWidth(20);
  AddButton(bkDown)->SetWidth(20);
  const TRect bounds(0, 0, 100, 20);
  const TPoint on0(70, 10), on1(90, 10), off(10, 10);
  const TShiftState left{ssLeft}, left_double{ssLeft, ssDouble};
  struct Case {
    const char* name;
    TPoint p;
    Integer button;
    TShiftState shift;
    TcxEditButtonState s0, s1;
  } cases[] = {
      {"nothing", off, 0, kNoShift, ebsNormal, ebsNormal},
      {"hover", on0, 0, kNoShift, ebsSelected, ebsNormal},
      {"press", on1, 1, left, ebsNormal, ebsPressed},
      {"double click", on1, 1, left_double, ebsNormal, ebsPressed},
      {"held", on1, 0, left, ebsNormal, ebsPressed},
      {"held, left", off, 0, left, ebsNormal, ebsNormal},
      {"back over, not captured", on1, 0, left, ebsNormal, ebsNormal},
  };
  data_.reset(props_.CreateViewData(&style_, true));
  std::unique_ptr<TcxCustomEditViewInfo> vi(props_.CreateViewInfo());
  for (const auto& c : cases) {
    data_->CalculateViewInfo(canvas_.get(), bounds, c.p, c.button, c.shift, vi.get(), true);
    EXPECT_EQ(vi->Buttons[0]->State, c.s0) << c.name;
    EXPECT_EQ(vi->Buttons[1]->State, c.s1) << c.name;
  }
  // Coming back over the captured button presses it again.
  data_->CapturedButton = 1;
  data_->CalculateViewInfo(canvas_.get(), bounds, on1, 0, left, vi.get(), true);
  EXPECT_EQ(vi->Buttons[1]->State, ebsPressed);
  EXPECT_EQ(vi->PressedButton, 1);
  // Disabled buttons and disabled editors.
  props_.Buttons()->GetButton(0)->SetEnabled(false);
  data_.reset(props_.CreateViewData(&style_, true));
  data_->CalculateViewInfo(canvas_.get(), bounds, on0, 1, left, vi.get(), true);
  EXPECT_EQ(vi->Buttons[0]->State, ebsDisabled);
  data_->Enabled = false;
  data_->CalculateViewInfo(canvas_.get(), bounds, on1, 0, kNoShift, vi.get(), false);
  EXPECT_EQ(vi->Buttons[1]->State, ebsDisabled);
  EXPECT_TRUE(vi->StateFlags.Contains(csfDisabled));
  // The hook may change a state.
  data_->Enabled = true;
  vi->OnGetButtonState = [](TObject*, Integer index, TcxEditButtonState& s) {
    if (index == 1) s = ebsPressed;
  };
  data_->CalculateViewInfo(canvas_.get(), bounds, off, 0, kNoShift, vi.get(), false);
  EXPECT_EQ(vi->Buttons[1]->State, ebsPressed);
}

TEST_F(EditViewTest, ButtonTransparencyHidesButtons) {
  AddButton(bkDown);
  style_.SetButtonTransparency(ebtHideUnselected);
  EXPECT_TRUE(Calc(false, TRect(0, 0, 100, 20))->Buttons.empty());
  EXPECT_EQ(Calc(false, TRect(0, 0, 100, 20), TPoint(50, 10))->Buttons.size(), 1u);  // hot
  style_.SetButtonTransparency(ebtHideInactive);
  EXPECT_TRUE(Calc(false, TRect(0, 0, 100, 20), TPoint(50, 10))->Buttons.empty());
  style_.SetButtonTransparency(ebtInactive);
  auto vi = Calc(false, TRect(0, 0, 100, 20));
  EXPECT_TRUE(vi->Buttons[0]->Transparent);
}

TEST_F(EditViewTest, StatesAndColours) {
  style_.SetBorderStyle(ebsUltraFlat);
  style_.SetColor(clYellow);
  auto vi = Calc(false, TRect(0, 0, 100, 20));
  EXPECT_EQ(vi->FrameColor, clBtnShadow);
  EXPECT_EQ(vi->FillColor, clYellow);
  EXPECT_EQ(vi->HotLevel, 1);
  vi = Calc(false, TRect(0, 0, 100, 20), TPoint(5, 5));
  EXPECT_TRUE(vi->StateFlags.Contains(csfHot));
  EXPECT_EQ(vi->FrameColor, clHighlight);
  EXPECT_EQ(vi->HotLevel, 2);
  style_.SetBorderStyle(ebsOffice11);
  vi = Calc(false, TRect(0, 0, 100, 20), TPoint(5, 5));
  EXPECT_EQ(vi->FrameColor, HighlightBorderColor(true));
  // A pressed mouse button outside keeps the editor from being hot.
  vi = Calc(false, TRect(0, 0, 100, 20), TPoint(5, 5), 0, TShiftState{ssLeft});
  EXPECT_FALSE(vi->StateFlags.Contains(csfHot));
  // Popup border styles by border style and look.
  style_.SetBorderStyle(ebsFlat);
  style_.LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(Calc(false, TRect(0, 0, 100, 20))->PopupBorderStyle, epbsFlat);
  EXPECT_EQ(Calc(true, TRect(0, 0, 100, 20))->PopupBorderStyle, epbsFrame3D);
}

TEST_F(EditViewTest, MeasuringWithWidthLimits) {
  AddButton(bkGlyph)->Glyph()->SetSize(16, 30);
  style_.SetBorderStyle(ebsSingle);
  data_.reset(props_.CreateViewData(&style_, false));
  TSize size;
  TcxEditSizeProperties request;
  MeasureEditValueExtent(data_.get(), canvas_.get(), Variant(), request, nullptr, size);
  // Constant part: the border (2) and the glyph button (16 + 4); the content needs the glyph's
  // height with the hot-flat button's content offset (2).
  EXPECT_EQ(size.cx, 2 + 20);
  EXPECT_EQ(size.cy, 30 + 2 + 2);
  request.Width = 10;
  MeasureEditValueExtent(data_.get(), canvas_.get(), Variant(), request, nullptr, size);
  EXPECT_EQ(size.cx, 10);
  // Buttons-only mode measures "Zg" and the borders.
  props_.SetButtonsViewMode(1);
  props_.Buttons()->GetButton(0)->SetGlyph(nullptr);
  props_.Buttons()->GetButton(0)->SetKind(bkDown);
  TSize by_props;
  props_.MeasureEditValueByProperties(canvas_.get(), &style_, false, Variant(), TcxEditSizeProperties(),
                                      by_props);
  canvas_->ApplyFont(style_.DisplayFont());
  EXPECT_EQ(by_props.cy, 2 + canvas_->MeasureTextHeight("Zg") + 1 + 3);
}

TEST_F(EditViewTest, HitTestsUseButtonBounds) {
  AddButton(bkDown)->SetWidth(40);
  auto vi = Calc(true, TRect(0, 0, 30, 20));
  EXPECT_EQ(vi->Buttons[0]->VisibleBounds, TRect(0, 0, 30, 20));
  EXPECT_EQ(vi->Buttons[0]->Bounds, TRect(-10, 0, 30, 20));
  EXPECT_TRUE(vi->IsPointOnButton(TPoint(-5, 5)));
  EXPECT_FALSE(vi->IsPointOnButton(TPoint(35, 5)));
  EXPECT_FALSE(vi->HasHotButton());
}

TEST_F(EditViewTest, BackgroundModes) {
  AddButton(bkEllipsis)->SetWidth(20);
  style_.SetColor(clAqua);
  auto vi = Calc(true, TRect(10, 10, 110, 30));
  EXPECT_EQ(vi->GetBackgroundMode(), 3);
  vi->PaintTo(canvas_.get());
  EXPECT_EQ(Px(20, 20), ColorToRGB(clAqua));
  // Transparent in place: no background, still the buttons.
  FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 480), clWhite);
  vi->Transparent = true;
  EXPECT_EQ(vi->GetBackgroundMode(), 2);
  vi->PaintTo(canvas_.get());
  EXPECT_EQ(Px(20, 20), ColorToRGB(clWhite));
  EXPECT_NE(Px(100, 12), ColorToRGB(clWhite));
  // A background hook that handles takes over.
  vi->Transparent = false;
  vi->OnDrawBackground = [](TObject*, TcxCanvas* c, bool& handled) {
    if (c) FillRectWithColor(c, TRect(0, 0, 640, 480), clLime);
    handled = true;
  };
  EXPECT_EQ(vi->GetBackgroundMode(), 0);
  vi->PaintTo(canvas_.get());
  EXPECT_EQ(Px(20, 20), ColorToRGB(clLime));
  vi = Calc(false, TRect(10, 10, 110, 30));
  EXPECT_EQ(vi->GetBackgroundMode(), 1);
  vi->EditTransparent = true;
  EXPECT_EQ(vi->GetBackgroundMode(), 4);
}

TEST_F(EditViewTest, ChangedRegionCoversTheChangedButtonOnly) {
  AddButton(bkEllipsis)->SetWidth(20);
  AddButton(bkDown)->SetWidth(20);
  auto a = Calc(true, TRect(0, 0, 100, 20));
  auto b = Calc(true, TRect(0, 0, 100, 20), TPoint(90, 10));
  std::unique_ptr<TcxRegion> region(b->CreateChangedRegion(a.get()));
  EXPECT_EQ(region->BoundsRect(), b->Buttons[1]->Bounds);
  std::unique_ptr<TcxRegion> none(a->CreateChangedRegion(a.get()));
  EXPECT_TRUE(none->IsEmpty());
  style_.SetColor(clRed);
  auto c = Calc(true, TRect(0, 0, 100, 20));
  c->SetButtonCount(1);
  std::unique_ptr<TcxRegion> all(c->CreateChangedRegion(a.get()));
  EXPECT_EQ(all->BoundsRect(), TRect(0, 0, 100, 20));
  // CopyLayoutFrom and TranslateBy.
  TcxCustomEditViewInfo copy;
  copy.CopyLayoutFrom(b.get());
  EXPECT_EQ(copy.Buttons.size(), 2u);
  EXPECT_EQ(copy.Buttons[1]->State, ebsSelected);
  b->TranslateBy(5, 7);
  EXPECT_EQ(b->Buttons[1]->Bounds, TRect(85, 7, 105, 27));
}

class EditViewRepaintTest : public testing_support::THeadlessFixture {};

TEST_F(EditViewRepaintTest, RepaintExceptInvalidatesTheChangedParts) {
  InitializeForms();
  std::unique_ptr<TForm> form(new TForm(nullptr));
  form->SetBounds(0, 0, 300, 200);
  form->Show();
  Pump();
  TcxCustomEditProperties props(nullptr);
  props.Buttons()->AddButton()->SetWidth(20);
  TcxEditStyle style(nullptr, false);
  TBitmap bitmap;
  bitmap.SetSize(10, 10);
  TcxCanvas canvas(bitmap.Canvas());
  std::unique_ptr<TcxCustomEditViewData> data(props.CreateViewData(&style, true));
  TcxCustomEditViewInfo old_vi, new_vi;
  const TRect bounds(10, 10, 110, 30);
  data->CalculateViewInfo(&canvas, bounds, TPoint(-1, -1), 0, {}, &old_vi, false);
  data->CalculateViewInfo(&canvas, bounds, TPoint(100, 20), 0, {}, &new_vi, false);
  HWND wnd = form->Handle();
  ValidateRect(wnd, nullptr);
  // The editor became hot: all of it except the excluded part is invalidated.
  EXPECT_TRUE(new_vi.RepaintExcept(form.get(), TRect(20, 10, 40, 30), &old_vi));
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(wnd, rgn, FALSE);
  EXPECT_TRUE(PtInRegion(rgn, 15, 15));
  EXPECT_FALSE(PtInRegion(rgn, 30, 15));
  EXPECT_FALSE(PtInRegion(rgn, 150, 15));
  // Only a button changed: only the button is invalidated.
  ValidateRect(wnd, nullptr);
  TcxCustomEditViewInfo hot_again;
  data->CalculateViewInfo(&canvas, bounds, TPoint(50, 20), 0, {}, &hot_again, false);
  EXPECT_TRUE(new_vi.RepaintExcept(form.get(), TRect(), &hot_again));
  GetUpdateRgn(wnd, rgn, FALSE);
  RECT box;
  GetRgnBox(rgn, &box);
  EXPECT_EQ(box, new_vi.Buttons[0]->Bounds);
  // Nothing changed: nothing to do.
  ValidateRect(wnd, nullptr);
  EXPECT_FALSE(new_vi.RepaintExcept(form.get(), TRect(), &new_vi));
  DeleteObject(rgn);
}

// ---- sheets ------------------------------------------------------------------------------------------

TEST_F(EditViewTest, ButtonsSheet) {
  const TcxEditButtonStyle styles[] = {bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat,
                                       btsOffice11};
  const TcxEditButtonKind kinds[] = {bkEllipsis, bkDown, bkGlyph, bkText};
  const TcxEditButtonState states[] = {ebsDisabled, ebsNormal, ebsPressed, ebsSelected};
  FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 480), clWindow);
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(8, 8);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect(0, 0, 8, 8));
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->FillRect(TRect(1, 1, 7, 7));
  TcxCustomEditViewInfo vi;
  vi.SetButtonCount(1);
  vi.Font = style_.DisplayFont();
  auto& b = *vi.Buttons[0];
  // One row: every kind in every state, each button prepared by the caller.
  auto button_row = [&](Integer y, const std::function<void()>& prepare) {
    Integer x = 4;
    for (auto kind : kinds) {
      for (auto state : states) {
        b.Kind = kind;
        b.State = state;
        b.Bounds = b.VisibleBounds = TRect(x, y, x + 28, y + 20);
        prepare();
        vi.DrawButtons(canvas_.get());
        x += 32;
      }
      x += 8;
    }
  };
  b.Glyph = &glyph;
  b.Caption = "Go";
  b.Gradient = true;
  vi.PaintOptions = 4;
  Integer y = 4;
  for (auto style : styles) {
    b.Style = style;
    button_row(y, [&] { vi.InteriorRect = b.Bounds; });
    y += 26;
  }
  // The native look (the scripted visual styles): one row, the last of the sheet.
  TdxScriptedThemeLibrary engine;
  InstallThemeLibrary(&engine);
  b.NativeStyle = true;
  button_row(y, [&] {
    b.ComboLook = b.Kind == bkDown;
    CalculateNativeButtonState(&b);
  });
  InstallThemeLibrary(nullptr);
  EXPECT_NE(Px(4 + 1, y + 1), ColorToRGB(clWindow));
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_buttons.png"));
  // Every button painted something other than the window colour.
  EXPECT_NE(Px(4 + 14, 4 + 10), ColorToRGB(clWindow));
}

TEST_F(EditViewTest, CellsSheet) {
  FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 480), clBtnFace);
  AddButton(bkEllipsis);
  AddButton(bkDown, true);
  style_.SetColor(clWindow);
  const TcxEditBorderStyle borders[] = {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat,
                                        ebsOffice11};
  const TcxLookAndFeelKind looks[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  // A row of normal, hot, focused and disabled standalone editors.
  auto standalone_row = [&](Integer y) {
    Integer x = 4;
    for (int state = 0; state < 4; ++state) {
      const TRect r(x, y, x + 110, y + 24);
      data_.reset(props_.CreateViewData(&style_, false));
      data_->Focused = state == 2;
      data_->Enabled = state != 3;
      TcxCustomEditViewInfo vi;
      data_->CalculateViewInfo(canvas_.get(), r, state == 1 ? TPoint(x + 40, y + 10) : TPoint(-1, -1),
                               0, {}, &vi, false);
      vi.PaintTo(canvas_.get());
      x += 120;
    }
  };
  Integer y = 4;
  for (auto border : borders) {
    style_.SetBorderStyle(border);
    style_.SetShadow(border == ebs3D);
    standalone_row(y);
    y += 32;
  }
  // In-place cells per look and feel.
  Integer x = 4;
  for (auto look : looks) {
    style_.LookAndFeel()->SetKind(look);
    const TRect r(x, y, x + 110, y + 20);
    data_.reset(props_.CreateViewData(&style_, true));
    TcxCustomEditViewInfo vi;
    data_->CalculateViewInfo(canvas_.get(), r, TPoint(x + 100, y + 10), 0, {}, &vi, false);
    vi.PaintTo(canvas_.get());
    x += 120;
  }
  // The native look (the scripted visual styles): normal, hot, focused and disabled editors.
  TdxScriptedThemeLibrary engine;
  InstallThemeLibrary(&engine);
  style_.LookAndFeel()->SetNativeStyle(true);
  style_.SetBorderStyle(ebsSingle);
  style_.SetShadow(false);
  standalone_row(y + 32);
  InstallThemeLibrary(nullptr);
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_cells.png"));
}

}  // namespace

namespace {

// With visual styles (the scripted engine), a button's frame asks the custom-draw hooks about
// the button being painted: a custom-drawn button keeps its whole rectangle as content.
TEST(EditViewNativeTest, NativeButtonFramesAskAboutThePaintedButton) {
  TdxScriptedThemeLibrary engine;
  engine.ContentMargins = TRect(3, 3, 3, 3);
  InstallThemeLibrary(&engine);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(100, 40);
  TcxCanvas canvas(bitmap.Canvas());
  FillRectWithColor(&canvas, TRect(0, 0, 100, 40), clWhite);
  TBitmap glyph;
  MakeGreenGlyph(glyph, 20);
  TcxCustomEditViewInfo vi;
  vi.SetButtonCount(2);
  for (int i = 0; i < 2; ++i) {
    auto& b = *vi.Buttons[size_t(i)];
    b.Kind = bkGlyph;
    b.Glyph = &glyph;
    b.NativeStyle = true;
    b.State = ebsNormal;
    b.Bounds = b.VisibleBounds = TRect(10 + 30 * i, 10, 30 + 30 * i, 30);
    CalculateNativeButtonState(&b);
    EXPECT_EQ(b.NativePart, 1);
    EXPECT_EQ(b.NativeState, 1);
  }
  // Button 1's background is custom drawn (and so its content is the whole button).
  vi.OnDrawButtonBackground = [](TObject*, TcxCanvas*, const TRect&, Integer index, bool& handled) {
    handled = index == 1;
  };
  vi.DrawButtons(&canvas);
  const COLORREF green = ColorToRGB(clGreen);
  EXPECT_NE(GetPixel(canvas.DeviceContext(), 11, 11), green);  // button 0: clipped to content
  EXPECT_EQ(GetPixel(canvas.DeviceContext(), 13, 13), green);
  EXPECT_EQ(GetPixel(canvas.DeviceContext(), 41, 11), green);  // button 1: whole rectangle
  InstallThemeLibrary(nullptr);
}

// A native standalone editor: the visual style's edit background around its content, the
// content in the background colour, buttons inside the style's content margins, and a disabled
// editor without a colour of its own filled with the style's fill colour.
TEST(EditViewNativeTest, NativeEditBackgroundMarginsAndDisabledFill) {
  TdxScriptedThemeLibrary engine;
  engine.ContentMargins = TRect(3, 3, 3, 3);
  const COLORREF disabled_fill = 0x00C0FFEE;
  engine.SetColor("EDIT", 1, 4, 3802, disabled_fill);
  InstallThemeLibrary(&engine);
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(120, 40);
  TcxCanvas canvas(bitmap.Canvas());
  FillRectWithColor(&canvas, TRect(0, 0, 120, 40), clWhite);
  TcxCustomEditProperties props(nullptr);
  TcxEditStyle style(nullptr, false);
  style.LookAndFeel()->SetNativeStyle(true);
  style.SetBorderStyle(ebsSingle);
  style.SetColor(clAqua);
  std::unique_ptr<TcxCustomEditViewData> data(props.CreateViewData(&style, false));
  ASSERT_TRUE(data->NativeStyle);
  TcxCustomEditViewInfo vi;
  const TRect bounds(10, 10, 110, 34);
  data->CalculateViewInfo(&canvas, bounds, TPoint(-1, -1), 0, {}, &vi, false);
  EXPECT_EQ(vi.ClientArea, TRect(12, 12, 108, 32));
  EXPECT_EQ(vi.ThemeState, 1);
  vi.PaintTo(&canvas);
  const HDC dc = canvas.DeviceContext();
  EXPECT_EQ(GetPixel(dc, 11, 11), TdxScriptedThemeLibrary::BackgroundColor("EDIT", 1, 1));
  EXPECT_EQ(GetPixel(dc, 14, 14), ColorToRGB(clAqua));
  EXPECT_EQ(GetPixel(dc, 5, 5), ColorToRGB(clWhite));
  // Buttons lie inside the visual style's content margins.
  props.Buttons()->AddButton()->SetWidth(20);
  data.reset(props.CreateViewData(&style, false));
  data->CalculateViewInfo(&canvas, bounds, TPoint(-1, -1), 0, {}, &vi, false);
  ASSERT_EQ(vi.Buttons.size(), 1u);
  EXPECT_EQ(vi.Buttons[0]->Bounds, TRect(87, 13, 107, 31));
  // Disabled: the style's colour stands; without one the visual style's fill colour.
  data->Enabled = false;
  data->CalculateViewInfo(&canvas, bounds, TPoint(-1, -1), 0, {}, &vi, false);
  EXPECT_EQ(vi.ThemeState, 4);
  EXPECT_EQ(vi.FillColor, clAqua);
  TcxEditStyle plain(nullptr, false);
  plain.LookAndFeel()->SetNativeStyle(true);
  plain.SetBorderStyle(ebsSingle);
  data.reset(props.CreateViewData(&plain, false));
  data->Enabled = false;
  data->CalculateViewInfo(&canvas, bounds, TPoint(-1, -1), 0, {}, &vi, false);
  EXPECT_EQ(vi.FillColor, TColor(disabled_fill));
  InstallThemeLibrary(nullptr);
}

// A glyph button is drawn off screen and copied: what lies under the button stays where
// nothing is painted (here a frame hook paints nothing), the glyph lands centred, also on a
// canvas whose origin is moved.
TEST_F(EditViewTest, GlyphButtonsAreCopiedFromAnOffScreenPicture) {
  TBitmap glyph;
  MakeGreenGlyph(glyph, 8);
  TcxCustomEditViewInfo vi;
  vi.OnDrawButtonBorder = [](TObject*, TcxCanvas*, Integer, const TRect&, TRect&, bool& handled) {
    handled = true;
  };
  vi.SetButtonCount(1);
  auto& b = *vi.Buttons[0];
  b.Kind = bkGlyph;
  b.Style = btsSimple;
  b.Glyph = &glyph;
  b.Bounds = b.VisibleBounds = TRect(20, 20, 40, 40);
  for (const TPoint origin : {TPoint(0, 0), TPoint(-5, -3)}) {
    FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 480), clRed);
    canvas_->SetWindowOrigin(origin);
    vi.DrawButtons(canvas_.get());
    canvas_->SetWindowOrigin(TPoint(0, 0));
    const Integer dx = -origin.X, dy = -origin.Y;
    EXPECT_EQ(Px(21 + dx, 21 + dy), ColorToRGB(clRed));  // no frame: the red under it stays
    EXPECT_EQ(Px(30 + dx, 30 + dy), ColorToRGB(clGreen));
    EXPECT_EQ(Px(26 + dx, 30 + dy), ColorToRGB(clGreen));
    EXPECT_EQ(Px(45 + dx, 30 + dy), ColorToRGB(clRed));
  }
}

}  // namespace
