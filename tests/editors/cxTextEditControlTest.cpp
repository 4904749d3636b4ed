// The text edit control on a headless form: typing, the composition of typed, pasted and cut
// text under MaxLength, incremental search, the inner edit's key forwarding, the window text
// messages, in-place activation and reading from form text.
#include <gtest/gtest.h>

#include "editors/cxTextEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

// A list-style kind for the list cases (the combo kinds come later).
class TListTextProperties : public TcxTextEditProperties {
  KORVAN_CLASS(TListTextProperties, TcxTextEditProperties)

 public:
  using TcxTextEditProperties::TcxTextEditProperties;
  TcxTextEditingStyle Style = tesListOnly;
  TcxTextEditingStyle GetEditingStyle() override { return Style; }
};

class TListTextEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TListTextEdit, TcxCustomTextEdit)

 public:
  explicit TListTextEdit(TComponent* owner)
      : TcxCustomTextEdit(owner, false, TListTextProperties::StaticClass()) {}
  bool Navigates = true;
  bool CanNavigateLookupItems(bool) override { return Navigates; }
  TListTextProperties* ListProperties() { return static_cast<TListTextProperties*>(Properties()); }
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TListTextProperties)
KORVAN_IMPLEMENT_CLASS(TListTextEdit)

namespace {

class TextEditTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 400, 300);
    edit_ = new TcxTextEdit(form_);
    edit_->SetBounds(10, 10, 150, 21);
    edit_->SetParent(form_);
    other_ = new TEdit(form_);
    other_->SetBounds(10, 200, 120, 21);
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
  void Focus(TWinControl* c) {
    c->SetFocus();
    Pump();
  }
  std::pair<Integer, Integer> Sel(TcxCustomTextEdit* e) { return {e->SelStart(), e->SelLength()}; }
  String Text(TcxCustomTextEdit* e) { return VarToStr(e->CurrentDisplayText()); }

  TForm* form_ = nullptr;
  TcxTextEdit* edit_ = nullptr;
  TEdit* other_ = nullptr;
  std::vector<String> errors_;
};

TEST_F(TextEditTest, TypingGoesThroughTheInnerEditIntoTheValue) {
  Focus(edit_);
  EXPECT_TRUE(edit_->Focused());
  EXPECT_EQ(GetFocus(), edit_->InnerTextEdit()->Handle());
  S().TypeText("héllo");
  EXPECT_EQ(Text(edit_), "héllo");
  EXPECT_EQ(edit_->Text(), "héllo");
  EXPECT_TRUE(edit_->ModifiedFlag());
  S().PressKey(VK_LEFT, true);
  S().PressKey(VK_LEFT, true);
  EXPECT_EQ(Sel(edit_), std::make_pair(3, 2));
  EXPECT_EQ(edit_->SelText(), "lo");
  S().TypeText("p");
  EXPECT_EQ(Text(edit_), "hélp");
  Focus(other_);
  EXPECT_EQ(VarToStr(edit_->EditValue()), "hélp");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(TextEditTest, MaxLengthCountsCharactersForTypingAndPaste) {
  edit_->Properties()->SetMaxLength(3);
  Focus(edit_);
  const int beeps = S().Backend().BeepCount();
  S().TypeText("日本語です");
  EXPECT_EQ(Text(edit_), "日本語");
  EXPECT_GT(S().Backend().BeepCount(), beeps);
  // A pasted text follows the same composition: cut to three characters.
  edit_->SelectRange(1, 1);
  S().Backend().SetClipboardText("ab\ncd");
  S().PressKey('V', false, true);
  EXPECT_EQ(Text(edit_), "日ab");
  EXPECT_EQ(Sel(edit_), std::make_pair(3, 0));
}

TEST_F(TextEditTest, ComposeInsertedTextKeepsTheInsertionUnderMaxLength) {
  edit_->Properties()->SetMaxLength(5);
  Focus(edit_);
  struct Case {
    const char* Text;
    Integer Start, Length;
    const char* Insert;
    bool Result;
    const char* NewText;
    Integer Caret;
  };
  const Case cases[] = {
      {"abcde", 2, 0, "xy", true, "abxyc", 4},  {"abcde", 0, 3, "xyz", true, "xyzde", 3},
      {"ab", 1, 0, "日本", true, "a日本b", 3},     {"abcde", 5, 0, "x", true, "abcde", 5},
      {"abcdefg", 6, 0, "x", false, "", 0},
  };
  for (const Case& c : cases) {
    edit_->InnerTextEdit()->SetText(c.Text);
    edit_->SelectRange(c.Start, c.Length);
    String result;
    Integer caret = 0;
    edit_->SetUserChange(true);
    EXPECT_EQ(edit_->ComposeInsertedText(c.Insert, result, caret), c.Result) << c.Text << " " << c.Insert;
    edit_->SetUserChange(false);
    EXPECT_EQ(result, c.NewText) << c.Text << " " << c.Insert;
    if (c.Result) {
      EXPECT_EQ(caret, c.Caret) << c.Text << " " << c.Insert;
    }
  }
  edit_->InnerTextEdit()->SetText("abcde");
  edit_->SelectRange(2, 0);
  edit_->ReplaceSelection("xy");
  EXPECT_EQ(Text(edit_), "abxyc");
  EXPECT_EQ(Sel(edit_), std::make_pair(4, 0));
}

TEST_F(TextEditTest, RefusedChangesLeaveTextCaretAndSelection) {
  edit_->Properties()->LookupItems()->Add("x");  // lookup items must not disturb a free text
  Focus(edit_);
  S().TypeText("hello");
  edit_->SelectRange(1, 2);
  S().Backend().SetClipboardText("ZZ");
  bool allow = false;
  edit_->SetModifiedFlag(false);
  edit_->OnEditing = [&](TObject*, bool& can) { can = allow; };
  S().PressKey('V', false, true);
  S().PressKey('X', false, true);
  S().PressKey(VK_DELETE);
  S().TypeText("q");
  S().PressKey(VK_BACK);
  EXPECT_EQ(Text(edit_), "hello");
  EXPECT_EQ(Sel(edit_), std::make_pair(1, 2));
  allow = true;
  S().PressKey('X', false, true);
  EXPECT_EQ(Text(edit_), "hlo");
  EXPECT_EQ(S().Backend().ClipboardText(), "el");
  edit_->Properties()->SetReadOnly(true);
  S().Backend().SetClipboardText("ZZ");
  S().PressKey('V', false, true);
  S().TypeText("w");
  EXPECT_EQ(Text(edit_), "hlo");
  EXPECT_TRUE(errors_.empty());
}

TEST_F(TextEditTest, KeysReachTheEditorAndTheTrailingKeyEvent) {
  std::vector<Word> trailing;
  Focus(edit_);
  S().TypeText("ab");
  edit_->OnAfterKeyDown = [&](TObject*, Word& key, TShiftState) { trailing.push_back(key); };
  S().PressKey(VK_RIGHT);  // at the end: changes nothing
  S().PressKey(VK_LEFT);   // moves the caret
  S().PressKey(VK_UP);     // a navigation key of the editor
  EXPECT_EQ(trailing, (std::vector<Word>{VK_RIGHT, VK_UP}));
  S().PressKey(VK_TAB);  // never inserted
  EXPECT_EQ(Text(edit_).find('\t'), String::npos);
  Focus(edit_);
  const int beeps = S().Backend().BeepCount();
  edit_->SetBeepOnEnter(false);
  S().PressKey(VK_RETURN);
  EXPECT_EQ(S().Backend().BeepCount(), beeps);
  edit_->SetBeepOnEnter(true);
  S().PressKey(VK_RETURN);
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 1);
}

TEST_F(TextEditTest, WindowTextMessages) {
  edit_->SetText("abcdef");
  char buffer[8] = "zzzzzzz";
  struct Case {
    WPARAM Size;
    NativeInt Result;
    const char* Text;
  };
  const Case cases[] = {{4, 3, "abc"}, {1, 0, ""}, {0, 0, "zzzzzzz"}, {8, 6, "abcdef"}};
  for (const Case& c : cases) {
    std::fill(buffer, buffer + 7, 'z');
    EXPECT_EQ(SendMessage(edit_->Handle(), WM_GETTEXT, c.Size, reinterpret_cast<LPARAM>(buffer)), c.Result);
    EXPECT_EQ(String(buffer), c.Text) << c.Size;
  }
  edit_->SetText("añb");
  EXPECT_EQ(SendMessage(edit_->Handle(), WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 1);  // "ñ" does not fit
  EXPECT_EQ(SendMessage(edit_->Handle(), WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_EQ(SendMessage(edit_->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("new")), 1);
  EXPECT_EQ(Text(edit_), "new");
  EXPECT_EQ(VarToStr(edit_->EditValue()), "new");
}

TEST_F(TextEditTest, IncrementalSearchCompletesAndBackspaceGoesBack) {
  edit_->Properties()->LookupItems()->Add("Apple");
  edit_->Properties()->LookupItems()->Add("Banana");
  Focus(edit_);
  S().TypeText("b");
  EXPECT_EQ(Text(edit_), "Banana");
  EXPECT_EQ(Sel(edit_), std::make_pair(1, 5));
  EXPECT_TRUE(edit_->FindSelection());
  S().PressKey(VK_BACK);
  EXPECT_EQ(Text(edit_), "");
  EXPECT_FALSE(edit_->FindSelection());
  // In the middle of a text nothing is completed.
  S().TypeText("xa");
  S().PressKey(VK_LEFT);
  S().TypeText("b");
  EXPECT_EQ(Text(edit_), "xba");
}

TEST_F(TextEditTest, ListOnlyStyleSearchesAndNavigatesWithoutCycling) {
  auto* list = new TListTextEdit(form_);
  list->SetBounds(10, 50, 150, 21);
  list->SetParent(form_);
  for (const char* item : {"Apple", "Avocado", "Banana"}) list->ListProperties()->LookupItems()->Add(item);
  Focus(list);
  S().TypeText("a");
  EXPECT_EQ(Text(list), "Apple");
  S().TypeText("v");
  EXPECT_EQ(Text(list), "Avocado");
  S().TypeText("x");
  EXPECT_EQ(Text(list), "Avocado");
  S().PressKey(VK_DOWN);
  EXPECT_EQ(Text(list), "Banana");
  EXPECT_TRUE(list->ChangedSinceEnter());
  S().PressKey(VK_DOWN);  // the last item stays
  EXPECT_EQ(Text(list), "Banana");
  EXPECT_EQ(list->ItemIndex(), 2);
  S().Wheel(list->Handle(), POINT{5, 5}, 120);  // a positive delta goes back
  EXPECT_EQ(Text(list), "Avocado");
  list->SetItemIndex(0);
  EXPECT_EQ(VarToStr(list->EditValue()), "Apple");
}

}  // namespace
