// The image combo box: matching values to items (the first equal value, a Boolean against its
// string, the defaults without a match), image indexes of new items, list item heights with
// and without wrapped descriptions, the drop-down and keys by injected input, the filter
// helper, and sheets of the open list in each look and feel and of cells.
#include <gtest/gtest.h>

#include "editors-extra/cxImageComboBox.h"
#include "editors/cxEditPaintUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {

// An image list of `count` 16 x 16 pictures: a coloured disc on a transparent ground.
std::unique_ptr<TCustomImageList> Discs(Integer count, Integer size = 16) {
  auto list = std::make_unique<TCustomImageList>(nullptr, size, size);
  const TColor colours[] = {clRed, clGreen, clBlue, clOlive, clPurple, clTeal};
  for (Integer i = 0; i < count; ++i) {
    TBitmap b;
    b.SetSize(size, size);
    b.Canvas()->Brush()->SetColor(clFuchsia);
    b.Canvas()->FillRect(TRect(0, 0, size, size));
    b.Canvas()->Brush()->SetColor(colours[i % 6]);
    b.Canvas()->Pen()->SetColor(clBlack);
    b.Canvas()->Ellipse(1, 1, size - 1, size - 1);
    list->AddMasked(&b, clFuchsia);
  }
  return list;
}

void AddItem(TcxCustomImageComboBoxProperties* p, const String& description, const Variant& value,
             Integer image = -2) {
  TcxImageComboBoxItem* item = p->Items()->AddItem();
  item->SetDescription(description);
  item->SetValue(value);
  if (image != -2) item->SetImageIndex(image);
}

TEST(ImageComboBoxProperties, MatchingValuesToItemsAndTheDefaults) {
  TcxImageComboBoxProperties p(nullptr);
  const String true_text = VarToStr(Variant(true));
  AddItem(&p, "One", Variant(1), 0);
  AddItem(&p, "Two", Variant(2), 1);
  AddItem(&p, "Two again", Variant(2), 2);
  AddItem(&p, "Yes", Variant(true_text), 3);
  p.SetDefaultDescription("(none)");
  p.SetDefaultImageIndex(5);
  struct Case {
    Variant Value;
    const char* Text;
    Integer Image;
  };
  const Case cases[] = {
      {Variant(1), "One", 0},           {Variant(2), "Two", 1},  // the first equal value; the third never shows
      {Variant(true), "Yes", 3},        // a Boolean against its string
      {Variant(7), "(none)", 5},        {Null(), "(none)", 5},   // no match: the defaults
      {Variant(String("One")), "(none)", 5},
  };
  for (const Case& c : cases) {
    String text;
    Integer image = -9;
    p.GetValueTextAndImage(c.Value, text, image);
    EXPECT_EQ(text, c.Text) << VarToStr(c.Value);
    EXPECT_EQ(image, c.Image) << VarToStr(c.Value);
    EXPECT_EQ(p.ValueToDisplayText(c.Value, true, true), c.Text);
  }
  EXPECT_EQ(p.FindItemByValue(Variant(2)), p.Items()->Item(1));
  EXPECT_EQ(p.FindItemByDescription("two AGAIN"), p.Items()->Item(2));
  EXPECT_EQ(p.GetSupportedOperations(), 828 + 64);
  // Without descriptions the cells show no text, the display text stays the description.
  p.SetShowDescriptions(false);
  String text;
  Integer image;
  p.GetValueTextAndImage(Variant(1), text, image);
  EXPECT_EQ(text, "");
  EXPECT_EQ(image, 0);
  EXPECT_EQ(p.ValueToDisplayText(Variant(1), true, true), "One");
  EXPECT_EQ(p.FindItemByDescription("One"), nullptr);
  // Display values compare by text, and by image once Images are set.
  p.SetShowDescriptions(true);
  EXPECT_TRUE(p.DisplayValuesEqual(Variant(7), Null()));
  EXPECT_FALSE(p.DisplayValuesEqual(Variant(1), Variant(2)));
  p.Items()->Item(2)->SetDescription("Two");
  EXPECT_TRUE(p.DisplayValuesEqual(Variant(2), Variant(2)));
  EXPECT_EQ(p.DropDownListStyle(), lsFixedList);
}

TEST(ImageComboBoxProperties, NewItemsTakeTheirIndexAsImageWhileTheImagesSuffice) {
  auto three = Discs(3), four = Discs(4);
  for (auto [images, expected] : {std::pair{three.get(), -1}, std::pair{four.get(), 3}}) {
    TcxImageComboBoxProperties p(nullptr);
    p.SetImages(images);
    for (Integer i = 0; i < 3; ++i) AddItem(&p, "item", Variant(i));
    EXPECT_EQ(p.Items()->Item(2)->ImageIndex(), 2);
    AddItem(&p, "fourth", Variant(3));
    EXPECT_EQ(p.Items()->Item(3)->ImageIndex(), expected) << images->Count();
  }
  // Changes of an item or of a watched list report a properties change; a freed list is let go.
  TcxImageComboBoxProperties p(nullptr);
  int changes = 0;
  p.PropertiesChangedHandler = [&](TObject*) { ++changes; };
  AddItem(&p, "a", Variant(1));
  auto* list = new TCustomImageList(nullptr, 16, 16);
  p.SetImages(list);
  p.SetLargeImages(list);
  const int before = changes;
  p.Items()->Item(0)->SetValue(Variant(1));  // the same value and type: no change
  EXPECT_EQ(changes, before);
  p.Items()->Item(0)->SetValue(Variant(1.0));
  EXPECT_GT(changes, before);
  delete list;
  EXPECT_EQ(p.Images(), nullptr);
  EXPECT_EQ(p.LargeImages(), nullptr);
}

TEST(ImageComboBoxProperties, FilterHelperOffersInOnlyWithTheExtendedSet) {
  InitializeCxImageComboBox();
  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxImageComboBoxProperties"),
            TcxImageComboBoxProperties::StaticClass());
  EXPECT_NE(dynamic_cast<const TcxFilterImageComboBoxHelper*>(
                FilterEditHelper(FilterEditsController()->LookupHelper(TcxImageComboBoxProperties::StaticClass()))),
            nullptr);
  TcxFilterImageComboBoxHelper helper;
  TcxFilterControlOperators operators;
  helper.SupportedOperators(nullptr, nullptr, operators, false);
  EXPECT_EQ(operators, (TcxFilterControlOperators{1, 2, 9, 10}));
  helper.SupportedOperators(nullptr, nullptr, operators, true);
  EXPECT_EQ(operators, (TcxFilterControlOperators{1, 2, 9, 10, 13, 14}));
  TcxImageComboBoxProperties source(nullptr), prepared(nullptr);
  source.SetShowDescriptions(false);
  prepared.SetShowDescriptions(false);
  prepared.SetImmediateDropDown(false);
  helper.PrepareFilterProperties(&prepared, &source, true);
  EXPECT_TRUE(prepared.ShowDescriptions());
  EXPECT_TRUE(prepared.ImmediateDropDown());
  EXPECT_EQ(prepared.DropDownListStyle(), lsFixedList);
  EXPECT_EQ(helper.ValueEditClass(), TcxImageComboBox::StaticClass());
}

class ImageComboBoxTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxImageComboBox();
    images_ = Discs(6);
    large_ = Discs(6, 32);
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 520, 420);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  TcxImageComboBox* MakeCombo(Integer x = 10, Integer y = 10, Integer width = 180) {
    auto* e = new TcxImageComboBox(form_);
    e->SetBounds(x, y, width, 21);
    e->SetParent(form_);
    if (e->PopupWindow()) e->PopupWindow()->SetRunsModalLoop(false);
    TcxImageComboBoxProperties* p = e->ActiveProperties();
    p->SetImages(images_.get());
    const char* names[] = {"Red", "Green", "Blue", "Olive", "Purple", "Teal"};
    for (Integer i = 0; i < 6; ++i) AddItem(p, names[i], Variant(i * 10));
    Pump();
    return e;
  }
  void Open(TcxImageComboBox* e) {
    e->SetFocus();
    Pump();
    S().PressKey(VK_DOWN, false, false, true);
    Pump();
  }
  TcxImageComboBoxListBox* List(TcxImageComboBox* e) {
    return static_cast<TcxImageComboBoxListBox*>(e->GetComboLookupData()->GetListControl());
  }
  std::unique_ptr<TCustomImageList> images_, large_;
  TForm* form_ = nullptr;
};

TEST_F(ImageComboBoxTest, DropDownAndKeysChooseItemsByValue) {
  auto* e = MakeCombo();
  int clicks = 0;
  e->OnClick = [&](TObject*) { ++clicks; };
  e->SetEditValue(Variant(20));
  EXPECT_EQ(e->ItemIndex(), 2);
  EXPECT_EQ(e->Text(), "Blue");
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxImageComboBoxListBox* list = List(e);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), 6);
  EXPECT_EQ(list->ItemIndex(), 2);
  // Down highlights, Enter takes the item: its value becomes the edit value.
  S().PressKey(VK_DOWN);
  EXPECT_EQ(list->ItemIndex(), 3);
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->EditValue().AsInteger(), 30);
  EXPECT_EQ(e->Text(), "Olive");
  // Esc closes without taking the highlighted item.
  Open(e);
  S().PressKey(VK_UP);
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(e->DroppedDown());
  EXPECT_EQ(e->EditValue().AsInteger(), 30);
  // Closed, arrows and Home/End take items at once.
  S().PressKey(VK_DOWN);
  EXPECT_EQ(e->EditValue().AsInteger(), 40);
  S().PressKey(VK_HOME);
  EXPECT_EQ(e->EditValue().AsInteger(), 0);
  S().PressKey(VK_END);
  EXPECT_EQ(e->EditValue().AsInteger(), 50);
  EXPECT_GT(clicks, 0);
  // Typing opens the list and finds a description.
  S().TypeText("p");
  Pump();
  EXPECT_TRUE(e->DroppedDown());
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(e->EditValue().AsInteger(), 40);
  // Two items of one value: choosing the second of them shows the first.
  e->ActiveProperties()->Items()->Item(5)->SetValue(Variant(40));
  e->SetEditValue(Variant(40));
  EXPECT_EQ(e->ItemIndex(), 4);
  // Typing a control character is refused; a value of no item shows the defaults.
  EXPECT_FALSE(e->AcceptsChar(U'\x01'));
  e->ActiveProperties()->SetDefaultDescription("(unknown)");
  e->SetEditValue(Variant(99));
  EXPECT_EQ(e->ItemIndex(), -1);
  EXPECT_EQ(e->Text(), "(unknown)");
  EXPECT_TRUE(e->ShownItem() == nullptr);
}

TEST_F(ImageComboBoxTest, ListItemHeightsWithAndWithoutWrappedDescriptions) {
  auto* e = MakeCombo(10, 10, 160);
  e->ActiveProperties()->Items()->Item(1)->SetDescription(
      "Green, a long description that needs several lines in a list as wide as the editor");
  e->ActiveProperties()->SetMultiLineText(true);
  Open(e);
  ASSERT_TRUE(e->DroppedDown());
  TcxImageComboBoxListBox* list = List(e);
  const Integer line = list->Canvas()->TextHeight("Wg");
  struct Case {
    bool MultiLine;
    TCustomImageList* Large;
  };
  for (const Case& c : {Case{true, nullptr}, Case{false, nullptr}, Case{false, large_.get()}}) {
    e->CloseUp(crCancel);
    Pump();
    e->ActiveProperties()->SetMultiLineText(c.MultiLine);
    e->ActiveProperties()->SetLargeImages(c.Large);
    Open(e);
    ASSERT_TRUE(e->DroppedDown());
    list = List(e);
    const Integer image = c.Large ? 32 : 16;
    EXPECT_EQ(list->GetImages(), c.Large ? c.Large : images_.get());
    const Integer one_line = std::max(line + 2, image + 2);
    EXPECT_EQ(list->MeasureItemHeight(0), one_line) << c.MultiLine;
    if (c.MultiLine) {
      EXPECT_GT(list->MeasureItemHeight(1), 2 * line) << "the long description wraps";
      // The popup is as wide as the editor: the text wraps instead of widening it.
      EXPECT_EQ(e->PopupWindow()->Width(), e->Width());
      S().SnapshotScreen("editors_extra_image_combo_multiline.png");
    } else {
      EXPECT_EQ(list->MeasureItemHeight(1), one_line);
      EXPECT_GT(e->PopupWindow()->Width(), e->Width());
      EXPECT_GE(list->ClientWidth() + 4, list->GetPreferredWidth());
    }
    EXPECT_EQ(list->ItemRect(1).Height(), list->MeasureItemHeight(1));
  }
  // The editor and its cells keep the small images.
  EXPECT_EQ(static_cast<TcxImageComboBoxViewInfo*>(e->ViewInfo())->Images, images_.get());
  e->CloseUp(crCancel);
}

TEST_F(ImageComboBoxTest, SheetOfOpenImageComboBoxesPerLookAndFeel) {
  struct Look {
    TcxLookAndFeelKind Kind;
    const char* Name;
  };
  for (const Look& look : {Look{lfFlat, "flat"}, Look{lfStandard, "standard"}, Look{lfUltraFlat, "ultraflat"},
                           Look{lfOffice11, "office11"}}) {
    auto* e = MakeCombo();
    e->Style()->LookAndFeel()->SetKind(look.Kind);
    e->SetEditValue(Variant(10));
    auto* right = MakeCombo(220, 10, 120);
    right->ActiveProperties()->SetImageAlign(iaRight);
    right->SetEditValue(Variant(30));
    right->Style()->LookAndFeel()->SetKind(look.Kind);
    auto* bare = MakeCombo(220, 40, 120);
    bare->ActiveProperties()->SetShowDescriptions(false);
    bare->SetEditValue(Variant(50));
    bare->Style()->LookAndFeel()->SetKind(look.Kind);
    Open(e);
    ASSERT_TRUE(e->DroppedDown()) << look.Name;
    S().PressKey(VK_DOWN);
    EXPECT_EQ(List(e)->ItemIndex(), 2);
    EXPECT_EQ(VarToStr(right->Text()), "Olive");
    S().SnapshotScreen(String("editors_extra_image_combo_open_") + look.Name + ".png");
    e->CloseUp(crCancel);
    for (TControl* c : {static_cast<TControl*>(e), static_cast<TControl*>(right), static_cast<TControl*>(bare)})
      c->Free();
    Pump();
  }
}

TEST_F(ImageComboBoxTest, ItemsAndSettingsReadFromFormText) {
  auto* root = new TForm(Application);
  ReadComponentFromText(root,
                        "object Form2: TForm\n"
                        "  object Priority: TcxImageComboBox\n"
                        "    Properties.DefaultDescription = 'unknown'\n"
                        "    Properties.ImageAlign = iaRight\n"
                        "    Properties.Items = <\n"
                        "      item\n"
                        "        Description = 'Low'\n"
                        "        ImageIndex = 0\n"
                        "        Value = 1\n"
                        "      end\n"
                        "      item\n"
                        "        Description = 'High'\n"
                        "        ImageIndex = 2\n"
                        "        Value = 3\n"
                        "        Tag = 7\n"
                        "      end>\n"
                        "    Properties.MultiLineText = True\n"
                        "  end\n"
                        "end\n");
  auto* combo = dynamic_cast<TcxImageComboBox*>(root->FindComponent("Priority"));
  ASSERT_NE(combo, nullptr);
  TcxImageComboBoxProperties* p = combo->ActiveProperties();
  ASSERT_EQ(p->Items()->Count(), 2);
  EXPECT_EQ(p->Items()->Item(1)->Description(), "High");
  EXPECT_EQ(p->Items()->Item(1)->ImageIndex(), 2);
  EXPECT_EQ(p->Items()->Item(1)->Tag(), 7);
  EXPECT_EQ(p->ImageAlign(), iaRight);
  EXPECT_TRUE(p->MultiLineText());
  combo->SetEditValue(Variant(3));
  EXPECT_EQ(combo->Text(), "High");
  combo->SetEditValue(Variant(2));
  EXPECT_EQ(combo->Text(), "unknown");
  root->Free();
}

TEST(ImageComboBoxCells, LayoutOfImageAndTextAndSheet) {
  auto images = Discs(6);
  TcxImageComboBoxProperties p(nullptr);
  p.SetImages(images.get());
  const char* names[] = {"Red", "Green", "Blue"};
  for (Integer i = 0; i < 3; ++i) AddItem(&p, names[i], Variant(i));
  p.SetDefaultDescription("(none)");
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(300, 130);
  TcxCanvas canvas(bitmap.Canvas());
  FillRectWithColor(&canvas, TRect(0, 0, 300, 130), clBtnFace);
  TcxEditStyle style(nullptr, false);
  style.SetColor(clWindow);
  struct Case {
    TcxImageAlign Align;
    bool Descriptions;
    Integer Width;
    Variant Value;
    char Image;  // 'l' at the left, 'r' at the right, 'c' centred in the client area
    bool Text;
  };
  const Case cases[] = {
      {iaLeft, true, 120, Variant(0), 'l', true}, {iaRight, true, 120, Variant(1), 'r', true},
      {iaLeft, false, 120, Variant(2), 'c', false},
      {iaLeft, true, 36, Variant(1), 'l', false},  // an image as wide as the text area leaves no text
      {iaLeft, true, 120, Variant(9), 'l', true},  // no match: the default text, no image
  };
  Integer y = 6;
  for (const Case& c : cases) {
    p.SetImageAlign(c.Align);
    p.SetShowDescriptions(c.Descriptions);
    std::unique_ptr<TcxCustomEditViewData> data(p.CreateViewData(&style, true));
    std::unique_ptr<TcxImageComboBoxViewInfo> vi(static_cast<TcxImageComboBoxViewInfo*>(p.CreateViewInfo()));
    data->FillDisplayText(&canvas, c.Value, vi.get());
    data->CalculateViewInfo(&canvas, TRect(6, y, 6 + c.Width, y + 20), TPoint(-1, -1), 0, {}, vi.get(), false);
    const Integer cw = vi->ClientArea.Width();
    const Integer left = c.Image == 'l' ? 2 : c.Image == 'r' ? cw - 2 - 16 : 2 + (cw - 4 - 16) / 2;
    EXPECT_EQ(vi->ImageRect.Left - vi->ClientArea.Left, left) << c.Align << c.Descriptions << c.Width;
    EXPECT_EQ(!vi->Text.empty() && vi->TextRect.Width() > 0, c.Text) << c.Align << c.Descriptions << c.Width;
    vi->PaintTo(&canvas);
    y += 24;
  }
  bitmap.SaveToPngFile(testing_support::SheetPath("editors_extra_image_combo_cells.png"));
}

}  // namespace
