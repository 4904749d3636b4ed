// The filter builder dialog driven through the headless backend: its first place, texts and
// remembered bounds; Apply, Cancel and OK by clicks; an unfinished condition refused; Save As
// and Open of filter files (one criteria stream, version 3 with item names, read back by a link
// whose items are in another order); a file that cannot be opened; Esc with an open drop-down;
// and its sheet.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "editors-extra/cxFilterControlDialog.h"
#include "editors/cxComboBox.h"
#include "editors/cxTextEdit.h"
#include "rtl/SysUtils.h"
#include "tests/support/HeadlessFixture.h"

namespace {

class TLinkItem : public TObject {};

class TBuilderLink;

// The link's criteria: item links streamed by their index and name in the link.
class TLinkCriteria : public TcxFilterCriteria {
 public:
  explicit TLinkCriteria(TBuilderLink* link) : link_(link) {}
  Integer GetIDByItemLink(TObject* item) override;
  void GetNameByItemLink(TObject* item, String& s) override;
  TObject* GetItemLinkByID(Integer id) override;
  TObject* GetItemLinkByName(const String& name) override;

 private:
  TBuilderLink* link_;
};

// Items named after their captions; `order` lists which of the three items each index is.
class TBuilderLink : public IcxFilterControl {
 public:
  explicit TBuilderLink(std::vector<Integer> order = {0, 1, 2}) : order_(std::move(order)) {}
  TLinkItem items[3];
  String captions[3] = {"Product", "Region", "Rep"};
  TLinkCriteria criteria{this};
  String GetCaption(Integer i) override { return captions[order_[i]]; }
  Integer GetCount() override { return Integer(order_.size()); }
  TcxFilterCriteria* GetCriteria() override { return &criteria; }
  TObject* GetItemLink(Integer i) override { return &items[order_[i]]; }
  String GetItemLinkName(Integer i) override { return String("col") + kNames[order_[i]]; }
  String GetFieldName(Integer i) override { return kNames[order_[i]]; }
  TcxCustomEditProperties* GetProperties(Integer) override { return &properties_; }
  TcxValueTypeClass GetValueType(Integer) override { return TcxStringValueType::Class(); }

 private:
  static constexpr const char* kNames[3] = {"Product", "Region", "Rep"};
  std::vector<Integer> order_;
  TcxTextEditProperties properties_{nullptr};
};

Integer TLinkCriteria::GetIDByItemLink(TObject* item) {
  for (Integer i = 0; i < link_->GetCount(); ++i)
    if (link_->GetItemLink(i) == item) return i;
  return -1;
}
void TLinkCriteria::GetNameByItemLink(TObject* item, String& s) {
  const Integer i = GetIDByItemLink(item);
  s = i < 0 ? String() : link_->GetItemLinkName(i);
}
TObject* TLinkCriteria::GetItemLinkByID(Integer id) {
  return id >= 0 && id < link_->GetCount() ? link_->GetItemLink(id) : nullptr;
}
TObject* TLinkCriteria::GetItemLinkByName(const String& name) {
  for (Integer i = 0; i < link_->GetCount(); ++i)
    if (link_->GetItemLinkName(i) == name) return link_->GetItemLink(i);
  return nullptr;
}

String ConditionsOf(TcxFilterCriteria& criteria, TBuilderLink& link) {
  String s = criteria.Root()->BoolOperatorKind() == fboAnd ? "AND" : "OR";
  for (Integer i = 0; i < criteria.Root()->ItemCount(); ++i) {
    auto* item = static_cast<TcxFilterCriteriaItem*>(criteria.Root()->Items(i));
    Integer index = static_cast<TLinkItem*>(item->ItemLink()) - link.items;
    s += " " + link.captions[index] + ":" + IntToStr(item->OperatorKind()) + ":" + VarToStr(item->Value());
  }
  return s;
}

class FilterBuilderTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxFilterControlDialog();
    FilterControlDialogBounds() = TcxFilterControlDialogBounds();
    Application->SetMessageBoxHook([this](const String& text, const String&, UINT) {
      messages.push_back(text);
      return IDOK;
    });
    SetFileDialogHook([this](TOpenDialog* d) {
      fileDialogs.push_back(d->Title());
      if (files.empty()) return false;
      d->SetFileName(files.front());
      files.erase(files.begin());
      return true;
    });
    link.criteria.Root()->AddItem(&link.items[0], foLike, "a%", "a%");
  }
  void TearDown() override {
    SetDialogShowHook(nullptr);
    SetFileDialogHook(nullptr);
    Application->SetMessageBoxHook(nullptr);
    THeadlessFixture::TearDown();
  }
  void Click(TWinControl* c) { S().Click(c->Handle(), {c->Width() / 2, c->Height() / 2}); }
  // Runs the builder; each step runs at one wait of its modal loop, in order.
  bool Run(TBuilderLink& on, std::vector<std::function<void(TfmFilterControlDialog*)>> steps) {
    SetDialogShowHook([&, steps](TCustomForm* d) {
      auto* dialog = static_cast<TfmFilterControlDialog*>(d);
      for (const auto& step : steps) S().Backend().OnIdle([step, dialog] { step(dialog); });
    });
    const bool ok = ExecuteFilterControlDialog(&on, nullptr, clDefault, [this] { ++applied; }, nullptr, String(), nullptr);
    SetDialogShowHook(nullptr);
    return ok;
  }
  static TcxConditionViewInfo* LastCondition(TfmFilterControlDialog* d) {
    return static_cast<TcxConditionViewInfo*>(d->FilterControl()->RowList().back());
  }
  // A new condition on the first item, "like" the value.
  static void AddLike(TfmFilterControlDialog* d, const String& value) {
    d->FilterControl()->AddCondition();
    LastCondition(d)->Values()[0] = TcxValueInfo{Variant(value), value};
  }
  String TempFile(const String& name) {
    return (std::filesystem::path(testing::TempDir()) / (IntToStr(Integer(getpid())) + "_" + name)).string();
  }

  TBuilderLink link;
  std::vector<String> messages, fileDialogs, files;
  Integer applied = 0;
};

TEST_F(FilterBuilderTest, FirstPlaceTextsAndRememberedBounds) {
  TRect first, screen;
  String caption, buttons, open, save;
  bool icon = false, rows = false;
  EXPECT_FALSE(Run(link, {[&](TfmFilterControlDialog* d) {
                 first = d->BoundsRect();
                 screen = Screen->WorkAreaRect();
                 caption = d->Caption();
                 buttons = d->btOpen->Caption() + "|" + d->btSave->Caption() + "|" + d->btApply->Caption() + "|" +
                           d->btOk->Caption() + "|" + d->btCancel->Caption() + "|" + d->btOpen->Hint() + "|" +
                           d->btSave->Hint();
                 open = d->OpenDialog->Title() + "|" + d->OpenDialog->DefaultExt() + "|" + d->OpenDialog->Filter();
                 save = d->SaveDialog->Title() + "|" + d->SaveDialog->DefaultExt() + "|" + d->SaveDialog->Filter();
                 icon = !d->Icon()->Empty();
                 // The form's face name resolves through the platform's font substitution.
                 EXPECT_EQ(d->Font()->Name(), "MS Sans Serif");
                 EXPECT_EQ(GetFontFamilyName(d->Font()->Handle()), "Liberation Sans");
                 rows = d->FilterControl()->RowCount() == 2 && d->FilterControl()->Align() == alClient;
                 EXPECT_EQ(d->ClientWidth(), 552);
                 EXPECT_EQ(d->ClientHeight(), 316);
                 d->SetBounds(30, 40, 600, 400);
                 Click(d->btCancel);
               }}));
  EXPECT_EQ(caption, "Filter builder - [untitled.flt]");
  EXPECT_EQ(buttons, "&Open...|&Save As...|&Apply|OK|Cancel|Open|Opens an existing filter|"
                     "Save As|Saves the active filter with a new name");
  EXPECT_EQ(open, "Open an existing filter|flt|Filters (*.flt)|*.flt");
  EXPECT_EQ(save, "Save the active filter to file|flt|Filters (*.flt)|*.flt");
  EXPECT_TRUE(icon);
  EXPECT_TRUE(rows);
  EXPECT_EQ(first.Left, screen.Left + (screen.Width() - first.Width()) / 2);
  EXPECT_EQ(first.Top, screen.Top + (screen.Height() - first.Height()) / 2);
  // The next opening in the run takes the bounds it had when it closed.
  TRect second;
  Run(link, {[&](TfmFilterControlDialog* d) {
    second = d->BoundsRect();
    Click(d->btCancel);
  }});
  EXPECT_EQ(second, TRect(30, 40, 630, 440));
  EXPECT_EQ(ConditionsOf(link.criteria, link), "AND Product:6:a%");
  EXPECT_EQ(applied, 0);
}

TEST_F(FilterBuilderTest, ApplyThenCancelKeepsWhatWasAppliedOkAppliesAndCloses) {
  bool openAfterApply = false;
  EXPECT_FALSE(Run(link, {[&](TfmFilterControlDialog* d) {
                            AddLike(d, "b%");
                            Click(d->btApply);
                          },
                          [&](TfmFilterControlDialog* d) {
                            openAfterApply = d->Visible();
                            AddLike(d, "never%");
                            Click(d->btCancel);
                          }}));
  EXPECT_TRUE(openAfterApply);
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(ConditionsOf(link.criteria, link), "AND Product:6:a% Product:6:b%");
  EXPECT_TRUE(Run(link, {[&](TfmFilterControlDialog* d) {
    d->FilterControl()->Clear();
    AddLike(d, "c%");
    Click(d->btOk);
  }}));
  EXPECT_EQ(applied, 2);
  EXPECT_EQ(ConditionsOf(link.criteria, link), "AND Product:6:c%");
  // Esc cancels too.
  EXPECT_FALSE(Run(link, {[&](TfmFilterControlDialog* d) {
    d->FilterControl()->SetFocus();
    Pump();
    S().PressKey(VK_ESCAPE);
  }}));
  EXPECT_TRUE(messages.empty());
}

TEST_F(FilterBuilderTest, AnUnfinishedConditionIsRefusedWithTheDialogOpen) {
  // An item without a caption leaves its condition unfinished.
  link.captions[0] = "";
  link.criteria.RemoveAllItems();
  bool open = false;
  EXPECT_TRUE(Run(link, {[&](TfmFilterControlDialog* d) {
                           d->FilterControl()->AddCondition();
                           ASSERT_FALSE(d->FilterControl()->AllRowsReady());
                           Click(d->btApply);
                           Click(d->btOk);
                           Click(d->btSave);
                         },
                         [&](TfmFilterControlDialog* d) {
                           open = d->Visible();
                           d->FilterControl()->Remove();
                           Click(d->btOk);
                         }}));
  EXPECT_TRUE(open);
  ASSERT_EQ(messages.size(), 3u);
  for (const String& m : messages) EXPECT_EQ(m, "A condition is unfinished: complete or remove it.");
  EXPECT_TRUE(fileDialogs.empty());
  EXPECT_EQ(applied, 1);
  EXPECT_TRUE(link.criteria.IsEmpty());
}

TEST_F(FilterBuilderTest, SaveAsWritesOneStreamThatOpenReadsBackByItemNames) {
  const String path = TempFile("saved.flt");
  std::filesystem::remove(path);
  String caption;
  files = {path};
  link.criteria.Root()->AddItem(&link.items[2], foNotEqual, "Lee", "Lee");
  EXPECT_FALSE(Run(link, {[&](TfmFilterControlDialog* d) { Click(d->btSave); },
                          [&](TfmFilterControlDialog* d) {
                            caption = d->Caption();
                            Click(d->btCancel);
                          }}));
  EXPECT_EQ(caption, "Filter builder - [" + path + "]");
  ASSERT_EQ(fileDialogs, std::vector<String>{"Save the active filter to file"});
  // One criteria stream, nothing after it.
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  {
    TBuilderLink reader;
    TLinkCriteria read(&reader);
    TStringStream stream(bytes);
    read.ReadData(stream);
    EXPECT_EQ(read.LoadedVersion(), 3);
    EXPECT_EQ(stream.Position(), Int64(bytes.size()));
  }
  EXPECT_NE(bytes.find("colRep"), std::string::npos);

  // A link with its items in another order reads the conditions by item names.
  TBuilderLink other({2, 0, 1});
  files = {path};
  String rows;
  EXPECT_TRUE(Run(other, {[&](TfmFilterControlDialog* d) { Click(d->btOpen); },
                          [&](TfmFilterControlDialog* d) {
                            caption = d->Caption();
                            for (TcxCustomRowViewInfo* r : d->FilterControl()->RowList())
                              if (!r->IsGroup()) rows += static_cast<TcxConditionViewInfo*>(r)->ItemText() + ";";
                            Click(d->btOk);
                          }}));
  EXPECT_EQ(caption, "Filter builder - [" + path + "]");
  EXPECT_EQ(rows, "Product;Rep;");
  EXPECT_EQ(ConditionsOf(other.criteria, other), "AND Product:6:a% Rep:1:Lee");
  EXPECT_TRUE(messages.empty());
  std::filesystem::remove(path);
}

TEST_F(FilterBuilderTest, AFileThatCannotBeOpenedShowsThePlatformErrorAndTheDialogStays) {
  const String missing = TempFile("missing/none.flt");
  files = {missing};
  String caption;
  bool open = false;
  Integer rows = 0;
  EXPECT_FALSE(Run(link, {[&](TfmFilterControlDialog* d) { Click(d->btOpen); },
                          [&](TfmFilterControlDialog* d) {
                            open = d->Visible();
                            caption = d->Caption();
                            rows = d->FilterControl()->RowCount();
                            Click(d->btCancel);
                          }}));
  EXPECT_TRUE(open);
  EXPECT_EQ(caption, "Filter builder - [untitled.flt]");
  EXPECT_EQ(rows, 2);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(missing), String::npos) << messages[0];
}

TEST_F(FilterBuilderTest, OpenWithoutItemsRaisesTheBuildErrorAndChangesNothing) {
  const String path = TempFile("one.flt");
  {
    TcxFilterControlModel model(&link);
    TFileStream file(path, fmCreate);
    model.SaveToStream(file);
  }
  TBuilderLink empty(std::vector<Integer>{});
  files = {path};
  String caption;
  Run(empty, {[&](TfmFilterControlDialog* d) { Click(d->btOpen); },
              [&](TfmFilterControlDialog* d) {
                caption = d->Caption();
                Click(d->btCancel);
              }});
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Can't build filter from source.");
  EXPECT_EQ(caption, "Filter builder - [untitled.flt]");
  std::filesystem::remove(path);
}

TEST_F(FilterBuilderTest, EscWithAnOpenDropDownClosesOnlyTheDropDown) {
  bool droppedDown = false, openAfterEsc = false, closedDropDown = false;
  EXPECT_FALSE(Run(link, {[&](TfmFilterControlDialog* d) {
                            TcxCustomFilterControl* c = d->FilterControl();
                            c->SetFocus();
                            c->FocusRow(c->RowList()[1]);
                            c->SetFocusedPart(fchOperator);
                            c->ActivatePart(false);
                            Pump();
                            droppedDown = c->ComboBox()->DroppedDown();
                            S().PressKey(VK_ESCAPE);
                          },
                          [&](TfmFilterControlDialog* d) {
                            openAfterEsc = d->Visible();
                            closedDropDown = !d->FilterControl()->ComboBox()->DroppedDown();
                            S().PressKey(VK_ESCAPE);
                          }}));
  EXPECT_TRUE(droppedDown);
  EXPECT_TRUE(openAfterEsc);
  EXPECT_TRUE(closedDropDown);
}

TEST_F(FilterBuilderTest, Sheet) {
  TcxFilterCriteriaItemList* group = link.criteria.Root()->AddItemList(fboOr);
  group->AddItem(&link.items[1], foEqual, "East", "East");
  group->AddItem(&link.items[1], foEqual, "West", "West");
  link.criteria.Root()->AddItem(&link.items[2], foNotLike, "L%", "L%");
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfUltraFlat);
  SetDialogShowHook([&](TCustomForm* d) {
    S().Backend().OnIdle([&, d] {
      Pump();
      S().Snapshot(d->Handle(), "editors_extra_filter_builder.png");
      Click(static_cast<TfmFilterControlDialog*>(d)->btCancel);
    });
  });
  EXPECT_FALSE(ExecuteFilterControlDialog(&link, &lookAndFeel, clDefault, nullptr, nullptr, String(), nullptr));
}

}  // namespace
