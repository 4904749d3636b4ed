// The BLOB kind: the kind resolved from the data field, the texts of each paint style, the
// icon of each kind with and without data, the default editors of BLOB and picture fields,
// and a PNG sheet of BLOB cells in the three paint styles.
#include <gtest/gtest.h>

#include <functional>

#include "editors-extra/cxBlobEdit.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors-extra/cxImageComboBox.h"
#include "rtl/TypInfo.h"
#include "editors/cxEditPaintUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Clipbrd.h"
#include "vcl/Forms.h"

namespace {

// A provider with a BLOB kind and data that may be missing.
class TFakeBlobProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  TFakeBlobProvider(Integer kind, bool available)
      : TcxCustomEditDefaultValuesProvider(nullptr), kind_(kind), available_(available) {}
  Integer DefaultBlobKind() override { return kind_; }
  bool IsDataAvailable() override { return available_; }

 private:
  Integer kind_;
  bool available_;
};

TEST(BlobEdit, KindResolvedFromTheProvider) {
  struct Case {
    Integer ProviderKind;  // -1: no provider
    bool Available;
    TcxBlobEditKind Kind;
  };
  const Case cases[] = {{-1, true, bekBlob},  {0, true, bekBlob}, {1, true, bekBlob}, {2, true, bekPict},
                        {3, true, bekMemo},   {4, true, bekOle},  {3, false, bekAuto}};
  for (const Case& c : cases) {
    TcxBlobEditProperties p(nullptr);
    TFakeBlobProvider provider(c.ProviderKind, c.Available);
    if (c.ProviderKind >= 0) p.AttachDefaultValuesProvider(&provider);
    int changes = 0;
    p.PropertiesChangedHandler = [&](TObject*) { ++changes; };
    p.ResolveBlobEditKind();
    EXPECT_EQ(p.BlobEditKind(), c.Kind) << c.ProviderKind << c.Available;
    EXPECT_EQ(changes, 0);
    p.ClearDefaultValuesProvider();
  }
  // A kind already set is kept; setting one turns the button into a drop-down or an ellipsis.
  TcxBlobEditProperties p(nullptr);
  p.SetBlobEditKind(bekOle);
  EXPECT_EQ(static_cast<TcxEditButton*>(p.Buttons()->Items(0))->Kind(), bkEllipsis);
  p.SetBlobEditKind(bekMemo);
  EXPECT_EQ(static_cast<TcxEditButton*>(p.Buttons()->Items(0))->Kind(), bkDown);
  TFakeBlobProvider pict(2, true);
  p.AttachDefaultValuesProvider(&pict);
  p.ResolveBlobEditKind();
  EXPECT_EQ(p.BlobEditKind(), bekMemo);
  p.ClearDefaultValuesProvider();
  EXPECT_EQ(p.PopupMinWidth(), 160);
  EXPECT_EQ(p.PictureGraphicClassName(), "TBitmap");
  p.SetPictureGraphicClassName("TNoSuch");
  EXPECT_EQ(p.PictureGraphicClass(), TBitmap::StaticClass());
}

TEST(BlobEdit, TextsOfEachPaintStyleAndDisplayTexts) {
  const Variant memo(String("first line\r\nsecond line"));
  struct Case {
    TcxBlobEditKind Kind;
    TcxBlobPaintStyle Style;
    Variant Value;
    const char* Text;
  };
  const Case cases[] = {
      {bekMemo, bpsDefault, memo, "(MEMO)"},     {bekMemo, bpsDefault, Null(), "(memo)"},
      {bekMemo, bpsText, memo, "first line"},    {bekMemo, bpsIcon, memo, ""},
      {bekPict, bpsDefault, Variant(String("x")), "(PICTURE)"},
      {bekPict, bpsDefault, Null(), "(picture)"}, {bekPict, bpsText, Variant(String("x")), ""},
      {bekOle, bpsDefault, Variant(String("x")), ""}, {bekBlob, bpsDefault, Variant(String("x")), ""},
  };
  for (const Case& c : cases) {
    TcxBlobEditProperties p(nullptr);
    p.SetBlobEditKind(c.Kind);
    p.SetBlobPaintStyle(c.Style);
    EXPECT_EQ(GetBlobText(c.Value, &p, false), c.Text) << c.Kind << " " << c.Style;
  }
  struct Display {
    TcxBlobEditKind Kind;
    Variant Value;
    String Text;
  };
  const Display displays[] = {{bekMemo, memo, "first line\r\nsecond line"}, {bekPict, Variant(String("x")), "(PICTURE)"},
                              {bekOle, Variant(String("x")), "OLE"},        {bekBlob, Variant(String("x")), "BLOB"},
                              {bekBlob, Null(), ""}};
  for (const Display& d : displays) {
    TcxBlobEditProperties p(nullptr);
    p.SetBlobEditKind(d.Kind);
    EXPECT_EQ(p.ValueToDisplayText(d.Value, true, true), d.Text) << d.Kind;
  }
  // Only memo texts shown as text compare equal; other BLOB cells always count as changed.
  TcxBlobEditProperties p(nullptr);
  p.SetBlobEditKind(bekMemo);
  p.SetBlobPaintStyle(bpsText);
  EXPECT_TRUE(p.DisplayValuesEqual(memo, memo));
  EXPECT_FALSE(p.DisplayValuesEqual(memo, Variant(String("First line\r\nsecond line"))));
  p.SetBlobPaintStyle(bpsIcon);
  EXPECT_FALSE(p.DisplayValuesEqual(memo, memo));
  EXPECT_TRUE(p.CanValidate());
  EXPECT_EQ(p.GetSupportedOperations(), 36);
}

TEST(BlobEdit, DefaultEditorsOfBlobAndPictureFields) {
  TcxEditDBRegisteredRepositoryItems* r = GetDefaultEditDBRepositoryItems();
  EXPECT_EQ(r->GetItemByDataType(ftGraphic)->ClassType(), TcxEditRepositoryImageItem::StaticClass());
  for (TFieldType t : {ftBytes, ftVarBytes, ftBlob, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary})
    EXPECT_EQ(r->GetItemByDataType(t)->ClassType(), TcxEditRepositoryBlobItem::StaticClass()) << int(t);
}

class BlobCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(420, 110);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    FillRectWithColor(canvas_.get(), TRect(0, 0, 420, 110), clBtnFace);
    style_.SetColor(clWindow);
  }
  std::unique_ptr<TcxBlobEditViewInfo> Cell(TcxBlobEditProperties& p, const Variant& value, const TRect& r) {
    std::unique_ptr<TcxCustomEditViewData> data(p.CreateViewData(&style_, true));
    data->InplaceEditContentOffsets = TRect(1, 1, 1, 1);
    std::unique_ptr<TcxBlobEditViewInfo> vi(static_cast<TcxBlobEditViewInfo*>(p.CreateViewInfo()));
    data->FillDisplayText(canvas_.get(), value, vi.get());
    data->CalculateViewInfo(canvas_.get(), r, TPoint(-1, -1), 0, {}, vi.get(), false);
    return vi;
  }
  TcxEditStyle style_{nullptr, false};
  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
};

TEST_F(BlobCellTest, IconIndexesAndSheetOfThreePaintStyles) {
  ASSERT_NE(BlobImages(), nullptr);
  EXPECT_EQ(BlobImages()->Count(), 8);
  const Variant memo(String("first line\r\nsecond line"));
  struct Case {
    TcxBlobEditKind Kind;
    Variant Value;
    Integer Index;
  };
  const Case cases[] = {{bekBlob, Null(), 0}, {bekBlob, Variant(String("x")), 1}, {bekMemo, Variant(String()), 2},
                        {bekMemo, memo, 3},   {bekPict, Null(), 4},               {bekPict, Variant(String("x")), 5},
                        {bekOle, Null(), 6},  {bekOle, Variant(String("x")), 7}};
  Integer x = 6;
  for (const Case& c : cases) {
    TcxBlobEditProperties p(nullptr);
    p.SetBlobEditKind(c.Kind);
    auto vi = Cell(p, c.Value, TRect(x, 6, x + 46, 26));
    EXPECT_EQ(vi->ImageIndex, c.Index) << c.Kind;
    EXPECT_TRUE(vi->Text.empty());
    vi->PaintTo(canvas_.get());
    x += 50;
  }
  // A cell of each style for a memo, a picture and a Null memo.
  Integer y = 36;
  for (TcxBlobPaintStyle s : {bpsDefault, bpsIcon, bpsText}) {
    Integer cx = 6;
    for (auto [kind, value] : {std::pair{bekMemo, memo}, std::pair{bekPict, Variant(String("x"))},
                               std::pair{bekMemo, Null()}}) {
      TcxBlobEditProperties p(nullptr);
      p.SetBlobEditKind(kind);
      p.SetBlobPaintStyle(s);
      auto vi = Cell(p, value, TRect(cx, y, cx + 120, y + 20));
      EXPECT_EQ(vi->ImageIndex == -1, s != bpsIcon);
      vi->PaintTo(canvas_.get());
      cx += 130;
    }
    y += 24;
  }
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_extra_blob_cells.png"));
}

}  // namespace

namespace {

class BlobPopupTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 640, 420);
    edit_ = new TcxBlobEdit(form_);
    edit_->SetBounds(10, 10, 150, 21);
    edit_->SetParent(form_);
    edit_->Properties()->SetBlobEditKind(bekMemo);
    if (edit_->PopupWindow()) edit_->PopupWindow()->SetRunsModalLoop(false);
    form_->Show();
    Pump();
    edit_->SetFocus();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  void Open() {
    edit_->SetEditValue(Variant(String("abc")));
    edit_->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit_->DroppedDown());
    ASSERT_NE(edit_->PopupMemo(), nullptr);
    edit_->PopupMemo()->SetFocus();
    Pump();
    S().TypeText("x");
  }
  TForm* form_ = nullptr;
  TcxBlobEdit* edit_ = nullptr;
};

TEST_F(BlobPopupTest, MemoPopupSavesByOkAndKeysAndAlwaysSaveData) {
  struct Case {
    const char* What;
    bool AlwaysSave;
    int Key;  // 0: click OK, -1: click Cancel
    bool Ctrl, Alt;
    bool Saved;
  };
  const Case cases[] = {
      {"OK", true, 0, false, false, true},          {"Cancel", true, -1, false, false, false},
      {"Esc", true, VK_ESCAPE, false, false, false}, {"F4 saving", true, VK_F4, false, false, true},
      {"F4", false, VK_F4, false, false, false},    {"Alt+Up", true, VK_UP, false, true, true},
      {"Ctrl+Enter", false, VK_RETURN, true, false, true},
  };
  for (const Case& c : cases) {
    edit_->Properties()->SetAlwaysSaveData(c.AlwaysSave);
    Open();
    ASSERT_NE(edit_->OkButton(), nullptr);
    EXPECT_TRUE(edit_->OkButton()->Enabled()) << c.What;  // typing enabled OK
    if (c.Key == 0)
      S().Click(edit_->OkButton()->Handle(), {5, 5});
    else if (c.Key == -1)
      S().Click(edit_->CloseButton()->Handle(), {5, 5});
    else
      S().PressKey(c.Key, false, c.Ctrl, c.Alt);
    Pump();
    EXPECT_FALSE(edit_->DroppedDown()) << c.What;
    const String value = VarToStr(edit_->EditValue());
    EXPECT_EQ(value != "abc", c.Saved) << c.What << " " << value;
  }
  // Enter breaks the line while returns are wanted.
  Open();
  S().PressKey(VK_RETURN);
  EXPECT_TRUE(edit_->DroppedDown());
  EXPECT_NE(edit_->PopupMemo()->Text().find("\r\n"), String::npos) << edit_->PopupMemo()->Text();
  S().PressKey(VK_ESCAPE);
  EXPECT_FALSE(edit_->DroppedDown());
}

TEST_F(BlobPopupTest, TypingOpensThePopupAndMemoAutoReplaceTakesTheCharacter) {
  for (bool replace : {true, false}) {
    edit_->Properties()->SetMemoAutoReplace(replace);
    edit_->SetEditValue(Variant(String("old text")));
    edit_->SetFocus();
    Pump();
    S().TypeText("x");
    Pump();
    ASSERT_TRUE(edit_->DroppedDown()) << replace;
    const String text = edit_->PopupMemo()->Text();
    if (replace) {
      EXPECT_EQ(text, "x");
      EXPECT_TRUE(edit_->OkButton()->Enabled());
    } else {
      // The character is typed into the old text.
      EXPECT_EQ(text.size(), 9u) << text;
      EXPECT_NE(text.find('x'), String::npos) << text;
    }
    S().PressKey(VK_ESCAPE);
    Pump();
    EXPECT_EQ(VarToStr(edit_->EditValue()), "old text");
  }
}

// A picture of red, green and blue bands, as the bytes of a bitmap.
String BandsPicture(Integer w, Integer h) {
  TBitmap b;
  b.SetSize(w, h);
  const TColor colours[] = {clRed, clLime, clBlue};
  for (Integer k = 0; k < 3; ++k) {
    b.Canvas()->Brush()->SetColor(colours[k]);
    b.Canvas()->FillRect(TRect(k * w / 3, 0, (k + 1) * w / 3, h));
  }
  TStringStream s;
  b.SaveToStream(&s);
  return s.DataString();
}

TEST_F(BlobPopupTest, PicturePopupSavesByOkAndKeysAndAlwaysSaveData) {
  edit_->Properties()->SetBlobEditKind(bekPict);
  const String bands = BandsPicture(120, 60);
  int assigned = 0;
  edit_->Properties()->OnAssignPicture = [&](TObject* sender, TPicture* picture) {
    assigned += sender == edit_ && picture == edit_->PopupImage()->Picture();
  };
  struct Case {
    const char* What;
    bool AlwaysSave;
    int Key;  // 0: click OK, -1: click Cancel
    bool Saved;
  };
  const Case cases[] = {
      {"OK", true, 0, true},           {"Cancel", true, -1, false},    {"Esc", true, VK_ESCAPE, false},
      {"F4 saving", true, VK_F4, true}, {"F4", false, VK_F4, false},    {"Enter", false, VK_RETURN, true},
  };
  for (const Case& c : cases) {
    edit_->Properties()->SetAlwaysSaveData(c.AlwaysSave);
    edit_->SetEditValue(Variant(bands));
    assigned = 0;
    edit_->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit_->DroppedDown()) << c.What;
    ASSERT_NE(edit_->PopupImage(), nullptr);
    EXPECT_EQ(edit_->PopupMemo(), nullptr);
    EXPECT_EQ(edit_->PopupImage()->Picture()->Width(), 120);
    EXPECT_FALSE(edit_->OkButton()->Enabled()) << c.What;
    // Shift+Delete cuts the picture inside the popup: OK becomes available.
    edit_->PopupImage()->SetFocus();
    Pump();
    S().PressKey(VK_DELETE, true, false);
    Pump();
    EXPECT_TRUE(PictureHasNoImage(edit_->PopupImage()->Picture())) << c.What;
    EXPECT_TRUE(edit_->OkButton()->Enabled()) << c.What;
    if (c.Key == 0)
      S().Click(edit_->OkButton()->Handle(), {5, 5});
    else if (c.Key == -1)
      S().Click(edit_->CloseButton()->Handle(), {5, 5});
    else
      S().PressKey(c.Key);
    Pump();
    EXPECT_FALSE(edit_->DroppedDown()) << c.What;
    EXPECT_EQ(VarIsNull(edit_->EditValue()), c.Saved) << c.What;
    EXPECT_EQ(assigned, c.Saved ? 1 : 0) << c.What;
  }
  // A picture copied in and pasted into the popup is saved as its bytes.
  edit_->SetEditValue(Null());
  TPicture copied;
  LoadPictureFromValue(&copied, TBitmap::StaticClass(), Variant(bands));
  Clipboard()->Assign(&copied);
  edit_->SetDroppedDown(true);
  Pump();
  edit_->PopupImage()->SetFocus();
  Pump();
  S().PressKey('V', false, true);
  S().PressKey(VK_RETURN);
  Pump();
  EXPECT_EQ(VarToStr(edit_->EditValue()), bands);
  EXPECT_EQ(edit_->LastPictureClass(), TBitmap::StaticClass());
}

TEST_F(BlobPopupTest, PicturePopupTakesThePictureSizeWithPictureAutoSize) {
  edit_->Properties()->SetBlobEditKind(bekPict);
  edit_->SetEditValue(Variant(BandsPicture(210, 150)));
  for (bool auto_size : {false, true}) {
    edit_->Properties()->SetPictureAutoSize(auto_size);
    edit_->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit_->DroppedDown());
    TSize content;
    edit_->PopupContentSize(content);
    const TRect client = edit_->PopupWindow()->GetPopupViewInfo()->ClientArea;
    if (auto_size) {
      EXPECT_EQ(content.cx, 214);
      EXPECT_EQ(content.cy, 154);
      EXPECT_EQ(client.Width(), 214);
      EXPECT_EQ(client.Height(), 154);
      // The stretched picture in the popup, with OK and Cancel below it.
      S().Snapshot(edit_->PopupWindow()->Handle(), "editors_extra_blob_popup_picture.png");
    } else {
      EXPECT_EQ(edit_->PopupWindow()->Width(), 250);
    }
    S().PressKey(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(edit_->DroppedDown());
  }
}

TEST_F(BlobPopupTest, PicturePopupMenuByRightClickAndItsItemsBySettings) {
  edit_->Properties()->SetBlobEditKind(bekPict);
  struct Case {
    bool ShowPopup, ShowEx;
    bool Menu, LoadAndSave;
  };
  for (const Case& c : {Case{true, true, true, true}, Case{true, false, true, false}, Case{false, true, false, false}}) {
    edit_->Properties()->SetShowPicturePopup(c.ShowPopup);
    edit_->Properties()->SetShowExPopupItems(c.ShowEx);
    edit_->SetEditValue(Variant(BandsPicture(120, 60)));
    edit_->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit_->DroppedDown());
    TcxPopupImage* image = edit_->PopupImage();
    const TcxPopupMenuItems items = image->Properties()->PopupMenuLayout()->MenuItems();
    EXPECT_EQ(!items.Empty(), c.Menu);
    EXPECT_EQ(items.Contains(pmiLoad) && items.Contains(pmiSave), c.LoadAndSave);
    int opened = 0;
    if (c.Menu) {
      image->PreparePopupMenu();
      image->ContextMenu()->OnPopup = [&](TObject*) { ++opened; };
      // Delete from the menu: the popup stays open and OK becomes available.
      S().Backend().OnIdle([&] {
        image->ContextMenu()->Items()->Items(3)->Click();
        image->ContextMenu()->CloseMenu();
      });
    }
    S().Click(image->Handle(), {30, 30}, kMouseRight);
    Pump();
    EXPECT_EQ(opened, c.Menu ? 1 : 0);
    EXPECT_TRUE(edit_->DroppedDown());
    EXPECT_EQ(PictureHasNoImage(image->Picture()), c.Menu);
    EXPECT_EQ(edit_->OkButton()->Enabled(), c.Menu);
    S().PressKey(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(VarIsNull(edit_->EditValue()));
  }
}

TEST_F(BlobPopupTest, ButtonsStandInTheSystemPanelAboveOrBelow) {
  // Near the bottom of the screen the popup opens upwards, with its system panel on top.
  for (Integer top : {50, 560}) {
    form_->SetBounds(50, top, 640, 240);
    Pump();
    edit_->SetEditValue(Variant(String("abc")));
    edit_->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit_->DroppedDown()) << top;
    TcxCustomEditPopupWindowViewInfo* vi = edit_->PopupWindow()->GetPopupViewInfo();
    const bool upwards = edit_->PopupWindow()->Top() < edit_->ClientToScreen(TPoint(0, 0)).Y;
    EXPECT_EQ(upwards, top > 300) << top;
    EXPECT_EQ(vi->PanelAtBottom(), !upwards) << top;
    for (TcxButton* b : {edit_->OkButton(), edit_->CloseButton()}) {
      const TRect r = b->BoundsRect();
      // Inside the system panel, clear of the memo and of the size grip.
      if (upwards)
        EXPECT_LE(r.Bottom, vi->ClientArea.Top) << top;
      else
        EXPECT_GE(r.Top, vi->ClientArea.Bottom) << top;
      EXPECT_LE(r.Right, vi->SizeGripRect.Left) << top;
      EXPECT_GE(r.Top, 0);
      EXPECT_LE(r.Bottom, edit_->PopupWindow()->Height());
    }
    EXPECT_LT(edit_->OkButton()->Left(), edit_->CloseButton()->Left());
    if (upwards) S().Snapshot(edit_->PopupWindow()->Handle(), "editors_extra_blob_popup_upwards.png");
    S().PressKey(VK_ESCAPE);
    Pump();
  }
}

TEST_F(BlobPopupTest, ReadOnlyShowsOnlyClose) {
  edit_->Properties()->SetReadOnly(true);
  edit_->SetEditValue(Variant(String("abc")));
  edit_->SetDroppedDown(true);
  Pump();
  ASSERT_TRUE(edit_->DroppedDown());
  EXPECT_EQ(edit_->OkButton(), nullptr);
  EXPECT_EQ(edit_->CloseButton()->Caption(), "&Close");
  EXPECT_TRUE(edit_->PopupMemo()->Properties()->ReadOnly());
  Pump();
  const TRect b = edit_->CloseButton()->BoundsRect();
  EXPECT_LE(b.Bottom, edit_->PopupWindow()->Height());
  EXPECT_TRUE(edit_->PopupWindow()->GetPopupViewInfo()->SysPanelHeight > 0);
  S().Snapshot(edit_->PopupWindow()->Handle(), "editors_extra_blob_popup_readonly.png");
}

}  // namespace

// Settings of the BLOB, image and image combo properties: stored only away from their defaults.
TEST(BlobEdit, PublishedSettingsAreStoredOnlyWhenChanged) {
  TcxBlobEditProperties blob(nullptr);
  TcxImageProperties image(nullptr);
  TcxImageComboBoxProperties combo(nullptr);
  EXPECT_TRUE(blob.ImmediatePopup());
  struct Case {
    TObject* Object;
    const char* Name;
    std::function<void()> Change;
  };
  TImageList list(nullptr);
  const Case cases[] = {
      {&blob, "ImmediatePopup", [&] { blob.SetImmediatePopup(false); }},
      {&blob, "MemoCharCase", [&] { blob.SetMemoCharCase(ecUpperCase); }},
      {&blob, "MemoOEMConvert", [&] { blob.SetMemoOEMConvert(true); }},
      {&blob, "MemoScrollBars", [&] { blob.SetMemoScrollBars(ssBoth); }},
      {&blob, "PictureGraphicClassName", [&] { blob.SetPictureGraphicClassName("TJPEGImage"); }},
      {&image, "Center", [&] { image.SetCenter(false); }},
      {&image, "GraphicClassName", [&] { image.SetGraphicClassName("TJPEGImage"); }},
      {&image, "GraphicTransparency", [&] { image.SetGraphicTransparency(gtOpaque); }},
      {&image, "Stretch", [&] { image.SetStretch(true); }},
  };
  for (const Case& c : cases) {
    PPropInfo info = GetPropInfo(c.Object, c.Name);
    ASSERT_NE(info, nullptr) << c.Name;
    auto written = [&] { return IsStoredProp(c.Object, info) && !IsDefaultPropValue(c.Object, info); };
    EXPECT_FALSE(written()) << c.Name;
    c.Change();
    EXPECT_TRUE(written()) << c.Name;
  }
  // The image lists are references: written when set.
  combo.SetImages(&list);
  combo.SetLargeImages(&list);
  EXPECT_EQ(GetObjectProp(&combo, "Images"), &list);
  EXPECT_EQ(GetObjectProp(&combo, "LargeImages"), &list);
  combo.SetImages(nullptr);
  combo.SetLargeImages(nullptr);
}

TEST_F(BlobPopupTest, MemoSettingsReachThePopupMemoAndCharCaseCasesTypedText) {
  struct Case {
    TEditCharCase CharCase;
    TScrollStyle Bars;
    const char* Typed;
    const char* Expected;
  };
  const Case cases[] = {
      {ecUpperCase, ssBoth, "äbc", "ÄBC"},
      {ecLowerCase, ssVertical, "ÄBC", "äbc"},
      {ecNormal, ssNone, "ÄbC", "ÄbC"},
  };
  for (const Case& c : cases) {
    edit_->Properties()->SetMemoCharCase(c.CharCase);
    edit_->Properties()->SetMemoScrollBars(c.Bars);
    edit_->Properties()->SetMemoOEMConvert(true);
    edit_->SetEditValue(Variant(String()));
    edit_->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(edit_->DroppedDown());
    TcxMemoProperties* mp = edit_->PopupMemo()->Properties();
    EXPECT_EQ(mp->CharCase(), c.CharCase);
    EXPECT_EQ(mp->ScrollBars(), c.Bars);
    EXPECT_TRUE(mp->OEMConvert());
    edit_->PopupMemo()->SetFocus();
    Pump();
    S().TypeText(c.Typed);
    Pump();
    EXPECT_EQ(edit_->PopupMemo()->Text(), c.Expected);
    S().PressKey(VK_ESCAPE);
    Pump();
  }
}
