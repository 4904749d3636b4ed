// The most-recently-used edit: insertion, moving and trimming with OnDeleteLookupItem, texts
// compared without regard to case, MaxItemCount, the ellipsis button and its glyph, a list
// shared through a repository item, typing and Enter through the backend, and sheets.
#include <gtest/gtest.h>

#include "editors-extra/cxMRUEdit.h"
#include "editors/cxEditPaintUtils.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace {

String ListOf(TStringList* items) {
  String s;
  for (Integer i = 0; i < items->Count(); ++i) s += (i ? "," : "") + items->Strings(i);
  return s;
}

class MRUEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    InitializeCxMRUEdit();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 420, 300);
    edit_ = new TcxMRUEdit(form_);
    edit_->SetBounds(10, 10, 160, 21);
    edit_->SetParent(form_);
    other_ = new TcxMRUEdit(form_);
    other_->SetBounds(10, 60, 160, 21);
    other_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  String List() { return ListOf(edit_->MRUProperties()->LookupItems()); }
  TForm* form_ = nullptr;
  TcxMRUEdit* edit_ = nullptr;
  TcxMRUEdit* other_ = nullptr;
};

TEST_F(MRUEditTest, InsertionMovingAndTrimming) {
  struct Case {
    Integer MaxItemCount;
    const char* Entered;  // texts separated by spaces
    const char* List;
    const char* Deleted;  // indexes OnDeleteLookupItem saw
    const char* NewTexts;  // texts OnNewLookupDisplayText saw
  };
  const Case cases[] = {
      {3, "A B C D", "D,C,B", "3", "ABCD"},
      {3, "A B C D B", "B,D,C", "3", "ABCD"},  // a known text moves up, no new-text event
      {3, "A B B", "B,A", "", "AB"},            // already first: nothing
      {0, "A B C D E F", "F,E,D,C,B,A", "", "ABCDEF"},
      {2, "abc ABC", "abc", "", "a"},           // one entry regardless of case
      {1, "A B", "B", "1", "AB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Entered);
    TcxMRUEditProperties* p = edit_->Properties();
    p->LookupItems()->Clear();
    p->SetMaxItemCount(c.MaxItemCount);
    String deleted, news;
    p->OnDeleteLookupItem = [&](TcxCustomMRUEditProperties* sender, Integer index) {
      EXPECT_EQ(sender, p);
      deleted += IntToStr(index);
    };
    p->OnNewLookupDisplayText = [&](TObject*, const String& text) { news += text.substr(0, 1); };
    String entered = c.Entered;
    size_t at = 0;
    while (at <= entered.size()) {
      const size_t end = std::min(entered.find(' ', at), entered.size());
      edit_->InsertMRUItem(entered.substr(at, end - at));
      at = end + 1;
    }
    edit_->InsertMRUItem("");  // an empty text: nothing
    EXPECT_EQ(List(), c.List);
    EXPECT_EQ(deleted, c.Deleted);
    EXPECT_EQ(news, c.NewTexts);
  }
}

TEST_F(MRUEditTest, MaxItemCountTrimsFromTheEnd) {
  TcxMRUEditProperties* p = edit_->Properties();
  for (const char* t : {"e", "d", "c", "b", "a"}) edit_->InsertMRUItem(t);
  String deleted;
  p->OnDeleteLookupItem = [&](TcxCustomMRUEditProperties*, Integer index) { deleted += IntToStr(index); };
  p->SetMaxItemCount(2);
  EXPECT_EQ(deleted, "432");
  EXPECT_EQ(List(), "a,b");
  p->SetMaxItemCount(-5);
  EXPECT_EQ(p->MaxItemCount(), 0);
}

TEST_F(MRUEditTest, EllipsisButtonAndGlyph) {
  TcxMRUEditProperties* p = edit_->Properties();
  ASSERT_EQ(p->Buttons()->Count(), 2);
  auto button = [&](Integer i) { return static_cast<TcxEditButton*>(p->Buttons()->Items(i)); };
  EXPECT_EQ(button(1)->Kind(), bkEllipsis);
  EXPECT_TRUE(button(1)->Default());
  EXPECT_EQ(p->DropDownListStyle(), lsEditList);
  int own = 0, item_clicks = 0;
  p->OnButtonClick = [&](TObject* sender) {
    EXPECT_EQ(sender, edit_);
    ++own;
  };
  edit_->DoButtonClick(1);
  EXPECT_EQ(own, 1);
  edit_->DoButtonClick(0);  // the drop-down button opens the list, no ellipsis event
  EXPECT_EQ(own, 1);
  edit_->SetDroppedDown(false);
  // A glyph goes to the ellipsis button, and to the drop-down button without the ellipsis.
  auto* glyph = new TBitmap;
  glyph->SetSize(8, 8);
  p->SetButtonGlyph(glyph);
  EXPECT_EQ(button(1)->Kind(), bkGlyph);
  p->SetShowEllipsis(false);
  EXPECT_FALSE(button(1)->Visible());
  EXPECT_EQ(button(0)->Kind(), bkGlyph);
  EXPECT_TRUE(button(0)->HasGlyph());
  p->SetButtonGlyph(nullptr);
  p->SetShowEllipsis(true);
  EXPECT_TRUE(button(1)->Visible());
  EXPECT_EQ(button(1)->Kind(), bkEllipsis);
  EXPECT_EQ(button(0)->Kind(), bkDown);
  delete glyph;
  // The repository item's handler runs after the edit's own.
  TcxEditRepository repo(nullptr);
  auto* item = static_cast<TcxEditRepositoryMRUItem*>(repo.CreateItem(TcxEditRepositoryMRUItem::StaticClass()));
  item->Properties()->OnButtonClick = [&](TObject*) { ++item_clicks; };
  edit_->SetRepositoryItem(item);
  edit_->DoButtonClick(1);
  EXPECT_EQ(own, 2);
  EXPECT_EQ(item_clicks, 1);
  edit_->SetRepositoryItem(nullptr);
}

TEST_F(MRUEditTest, ListSharedThroughARepositoryItem) {
  TcxEditRepository repo(nullptr);
  auto* item = static_cast<TcxEditRepositoryMRUItem*>(repo.CreateItem(TcxEditRepositoryMRUItem::StaticClass()));
  edit_->SetRepositoryItem(item);
  other_->SetRepositoryItem(item);
  edit_->InsertMRUItem("one");
  other_->InsertMRUItem("two");
  EXPECT_EQ(ListOf(item->Properties()->LookupItems()), "two,one");
  EXPECT_EQ(edit_->MRUProperties(), other_->MRUProperties());
  // Update hands a copy of the list to other MRU properties.
  TcxMRUEditProperties copy(nullptr);
  item->Properties()->Update(&copy);
  EXPECT_EQ(ListOf(copy.LookupItems()), "two,one");
  edit_->SetRepositoryItem(nullptr);
  other_->SetRepositoryItem(nullptr);
}

TEST_F(MRUEditTest, TypingAndEnterThroughTheBackend) {
  edit_->SetFocus();
  Pump();
  S().TypeText("alpha");
  S().PressKey(VK_RETURN);
  S().TypeText(" beta");  // appended to the text
  S().PressKey(VK_RETURN, false, false, true);  // Alt+Enter adds nothing
  EXPECT_EQ(List(), "alpha");
  S().PressKey(VK_RETURN);
  EXPECT_EQ(List(), "alpha beta,alpha");
  // Choosing an item with the mouse from the open list moves it to the top.
  S().PressKey(VK_F4);
  ASSERT_TRUE(edit_->DroppedDown());
  edit_->SetItemIndex(1);
  edit_->LookupItemSelected(nullptr);
  EXPECT_EQ(edit_->Text(), "alpha");
  EXPECT_EQ(List(), "alpha,alpha beta");
  edit_->SetDroppedDown(false);
}

TEST_F(MRUEditTest, RegistrationAndSheets) {
  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxMRUEditProperties"), TcxMRUEditProperties::StaticClass());
  EXPECT_EQ(FilterEditsController()->LookupHelper(TcxMRUEditProperties::StaticClass()),
            TcxFilterTextEditHelper::StaticClass());
  for (const char* t : {"third", "second", "first"}) edit_->InsertMRUItem(t);
  edit_->SetEditValue(Variant("first"));
  other_->Properties()->SetShowEllipsis(false);
  other_->SetEditValue(Variant("no ellipsis"));
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    static const char* names[] = {"flat", "standard", "ultraflat", "office11"};
    for (TcxMRUEdit* e : {edit_, other_}) {
      e->Style()->LookAndFeel()->SetKind(kind);
      e->Style()->LookAndFeel()->SetNativeStyle(false);
    }
    Pump();
    S().Snapshot(form_->Handle(), String("editors_extra_mru_edit_") + names[kind] + ".png", true);
  }
}

}  // namespace
