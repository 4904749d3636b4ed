// The text edit control on a headless form: typing, the composition of typed, pasted and cut
// text under MaxLength, incremental search, the inner edit's key forwarding, the window text
// messages, in-place activation and reading from form text.
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "editors/cxTextEdit.h"
#include "gdi/Surface.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/ExtCtrls.h"
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

// A numeric kind that keeps thousand separators while typing.
class TNumberTextProperties : public TcxTextEditProperties {
  KORVAN_CLASS(TNumberTextProperties, TcxTextEditProperties)

 public:
  using TcxTextEditProperties::TcxTextEditProperties;
  bool HasNumericValue() override { return true; }
  bool UsesThousandSeparators(bool) override { return true; }
};

class TNumberTextEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TNumberTextEdit, TcxCustomTextEdit)

 public:
  explicit TNumberTextEdit(TComponent* owner)
      : TcxCustomTextEdit(owner, false, TNumberTextProperties::StaticClass()) {}
};

// Lookup data with a visual list, as the drop-down kinds have.
class TListedLookupData : public TcxCustomTextEditLookupData {
  KORVAN_CLASS(TListedLookupData, TcxCustomTextEditLookupData)

 public:
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;
  TClass GetListBoxClass() override { return TcxCustomEditListBox::StaticClass(); }
};

class TListedProperties : public TcxTextEditProperties {
  KORVAN_CLASS(TListedProperties, TcxTextEditProperties)

 public:
  using TcxTextEditProperties::TcxTextEditProperties;
  TClass GetLookupDataClass() override { return TListedLookupData::StaticClass(); }
};

class TListedTextEdit : public TcxCustomTextEdit {
  KORVAN_CLASS(TListedTextEdit, TcxCustomTextEdit)

 public:
  explicit TListedTextEdit(TComponent* owner) : TcxCustomTextEdit(owner, false, TListedProperties::StaticClass()) {}
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TListTextProperties)
KORVAN_IMPLEMENT_CLASS(TListTextEdit)
KORVAN_IMPLEMENT_CLASS(TNumberTextProperties)
KORVAN_IMPLEMENT_CLASS(TNumberTextEdit)
KORVAN_IMPLEMENT_CLASS(TListedLookupData)
KORVAN_IMPLEMENT_CLASS(TListedProperties)
KORVAN_IMPLEMENT_CLASS(TListedTextEdit)

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
      // Each invalid UTF-8 byte counts as one character.
      {"a\xff\xfe" "cd", 3, 0, "b", true, "a\xff\xfe" "bc", 4},   {"a\xff", 1, 1, "\xfe\xfd", true, "a\xfe\xfd", 3},
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

namespace {

// ---- lookup data ------------------------------------------------------------------------------------

class LookupDataTest : public TextEditTest {
 protected:
  TcxCustomTextEditLookupData* Data(std::initializer_list<const char*> items) {
    edit_->Properties()->LookupItems()->Clear();
    for (const char* item : items) edit_->Properties()->LookupItems()->Add(item);
    return edit_->LookupData();
  }
};

TEST_F(LookupDataTest, PrefixAndExactSearchPerEditingStyle) {
  TcxCustomTextEditLookupData* data = Data({"apple", "Apricot", "banana"});
  struct Case {
    const char* Text;
    bool Next;
    Integer From;  // the item index before the search
    bool Found;
    const char* NewText;
    const char* Tail;
    Integer Key;
  };
  const Case cases[] = {
      {"ap", false, -1, true, "ap", "ple", 0},      {"AP", true, 0, true, "Ap", "ricot", 1},
      {"ap", true, 1, false, "ap", "", -1},         {"", false, -1, false, "", "", -1},
      {"BAN", false, -1, true, "ban", "ana", 2},     {"x", false, -1, false, "x", "", -1},
  };
  for (const Case& c : cases) {
    data->SetCurrentKeyIndex(c.From);
    String text = c.Text, tail;
    EXPECT_EQ(data->FindPrefix(text, tail, c.Next), c.Found) << c.Text;
    EXPECT_EQ(text, c.NewText) << c.Text;
    EXPECT_EQ(tail, c.Tail) << c.Text;
    EXPECT_EQ(data->CurrentKey(), c.Key) << c.Text;
  }
  // The most-recently-used kind searches exactly.
  edit_->Properties()->SetIsMRUList(true);
  String text = "APPLE", tail = "x";
  EXPECT_TRUE(data->SearchItems(text, tail, true, false));
  EXPECT_EQ(tail, "");
  EXPECT_EQ(data->CurrentKey(), 0);
  text = "app";
  EXPECT_FALSE(data->SearchItems(text, tail, true, false));
  EXPECT_EQ(data->CurrentKey(), -1);
  EXPECT_TRUE(data->IsItemText("BANANA"));
  EXPECT_EQ(data->ItemTextForKey(Variant(7)), "");
}

TEST_F(LookupDataTest, MoveItemWithAndWithoutCycling) {
  std::vector<String> items;
  for (int i = 0; i < 20; ++i) items.push_back(IntToStr(i));
  edit_->Properties()->LookupItems()->Clear();
  for (const String& item : items) edit_->Properties()->LookupItems()->Add(item);
  TcxCustomTextEditLookupData* data = edit_->LookupData();
  struct Case {
    Integer From;
    Integer Direction;
    bool Cycle;
    Integer To;
  };
  const Case cases[] = {
      {5, lmFirst, false, 0},      {5, lmLast, false, 19},      {19, lmNext, false, 19},
      {19, lmNext, true, 0},       {0, lmPrevious, false, 0},   {0, lmPrevious, true, 19},
      {-1, lmPageDown, false, 7},  {15, lmPageDown, false, 19}, {19, lmPageDown, true, 0},
      {3, lmPageUp, false, 0},     {10, lmPageUp, false, 3},    {0, lmPageUp, true, 19},
      {-1, lmPageUp, false, -1},   {-1, lmNext, false, 0},
  };
  for (const Case& c : cases) {
    data->SetCurrentKeyIndex(c.From);
    data->MoveItem(c.Direction, c.Cycle);
    EXPECT_EQ(data->CurrentKey(), c.To) << c.From << " " << c.Direction << " " << c.Cycle;
  }
}

TEST_F(LookupDataTest, SelectItemEventFromWritingTheKeyAndCommitting) {
  TcxCustomTextEditLookupData* data = Data({"one", "two"});
  int selected = 0;
  data->SetSelectItemEvent([&](TObject*) { ++selected; });
  struct Step {
    const char* Text;
    Integer Key;
    int Selected;
  };
  // A moved key fires; the same key fires only when the edit shows another text.
  const Step steps[] = {{"", 1, 1}, {"", 0, 2}, {"one", 0, 2}, {"other", 0, 3}};
  for (const Step& s : steps) {
    edit_->InnerTextEdit()->SetText(s.Text);
    data->WriteCurrentKey(Variant(s.Key));
    EXPECT_EQ(selected, s.Selected) << s.Text << " " << s.Key;
    EXPECT_FALSE(edit_->LookupTextChange());
  }
  // Committing the highlighted item takes it even when the key does not move.
  edit_->InnerTextEdit()->SetText("one");
  data->CommitListItem();
  EXPECT_EQ(selected, 4);
}

// ---- in place and form text -------------------------------------------------------------------------

TEST_F(TextEditTest, InPlaceActivationTypesTheKeyOnceAndPlacesTheCaret) {
  auto* host = new TPanel(form_);
  host->SetBounds(10, 80, 300, 60);
  host->SetParent(form_);
  auto* edit = static_cast<TcxTextEdit*>(TcxCustomEdit::CreateInplace(TcxTextEdit::StaticClass(), form_));
  edit->SetParent(host);
  edit->SetBounds(5, 5, 200, 20);
  edit->WriteEditValue(Variant(String("abc")));
  std::vector<Word> posted;
  edit->OnAfterKeyDown = [&](TObject*, Word& key, TShiftState) { posted.push_back(key); };
  TcxCustomEditData* data = nullptr;
  edit->ActivateByKey(U'x', data);
  Pump();
  EXPECT_EQ(Text(edit), "x");  // the whole text was selected, the key typed once
  EXPECT_EQ(GetFocus(), edit->InnerTextEdit()->Handle());
  EXPECT_TRUE(edit->ModifiedFlag());
  EXPECT_EQ(SendMessage(edit->InnerTextEdit()->Handle(), WM_GETDLGCODE, 0, 0) & (DLGC_WANTALLKEYS | DLGC_WANTTAB),
            DLGC_WANTALLKEYS | DLGC_WANTTAB);
  S().PressKey(VK_RETURN);  // swallowed in place: reaches the host, never the edit window
  EXPECT_EQ(Text(edit), "x");
  EXPECT_TRUE(edit->DeactivateInPlace());
  EXPECT_EQ(VarToStr(edit->EditValue()), "x");

  // By the mouse: the press lands on the text at the point.
  edit->WriteEditValue(Variant(String("hello")));
  const HWND inner = edit->InnerTextEdit()->Handle();
  const Integer x = GET_X_LPARAM(SendMessage(inner, EM_POSFROMCHAR, 2, 0)) + edit->InnerTextEdit()->Left();
  edit->ActivateByMouse(TShiftState{ssLeft}, edit->Left() + x, edit->Top() + 5, data);
  Pump();
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(edit->SelLength(), 0);
  edit->Free();
}

TEST_F(TextEditTest, StandaloneAndDroppedDownDialogCodes) {
  Focus(edit_);
  const LRESULT code = SendMessage(edit_->InnerTextEdit()->Handle(), WM_GETDLGCODE, 0, 0);
  EXPECT_EQ(code & DLGC_WANTCHARS, DLGC_WANTCHARS);
  EXPECT_EQ(code & (DLGC_WANTALLKEYS | DLGC_WANTTAB), 0);
}

class TExitForm : public TForm {
  KORVAN_CLASS(TExitForm, TForm)

 public:
  explicit TExitForm(TComponent* owner) : TForm(owner) {
    PublishField("Edit1", &Edit1);
    PublishMethod("Edit1Exit", TNotifyEvent([this](TObject* sender) {
                    exits.push_back(static_cast<TcxTextEdit*>(sender)->Text());
                  }));
  }
  TcxTextEdit* Edit1 = nullptr;
  std::vector<String> exits;
};

}  // namespace

KORVAN_IMPLEMENT_CLASS(TExitForm)

namespace {

TEST_F(TextEditTest, ReadFromFormTextWithOnExit) {
  auto* f = new TExitForm(Application);
  f->ReadFormText("object ExitForm: TExitForm\n"
                           "  Left = 0\n"
                           "  Top = 0\n"
                           "  Width = 300\n"
                           "  Height = 200\n"
                           "  object Edit1: TcxTextEdit\n"
                           "    Left = 8\n"
                           "    Top = 8\n"
                           "    Properties.MaxLength = 4\n"
                           "    Properties.CharCase = ecUpperCase\n"
                           "    TabOrder = 0\n"
                           "    Text = 'ab'\n"
                           "    OnExit = Edit1Exit\n"
                           "  end\n"
                           "end\n");
  ASSERT_NE(f->Edit1, nullptr);
  EXPECT_EQ(f->Edit1->Text(), "AB");
  f->Show();
  f->Edit1->SetFocus();
  Pump();
  S().TypeText("cdef");
  EXPECT_EQ(f->Edit1->Text(), "CDEF");  // focusing selected the whole text
  auto* other = new TEdit(f);
  other->SetParent(f);
  other->SetFocus();
  Pump();
  EXPECT_EQ(f->exits, std::vector<String>{"CDEF"});
  f->Free();
}

}  // namespace

namespace {

// ---- where the text is painted ----------------------------------------------------------------------

// The box of the dark pixels (the text's ink) inside a rectangle of a window, in the window's
// client coordinates.
TRect InkBox(HWND wnd, const TRect& area) {
  TSurface s;
  TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
  if (!THeadlessBackend::CopyWindowPixels(wnd, s, true)) return TRect();
  for (Integer y = std::max(area.Top, 0); y < std::min<Integer>(area.Bottom, s.Height()); ++y)
    for (Integer x = std::max(area.Left, 0); x < std::min<Integer>(area.Right, s.Width()); ++x) {
      const COLORREF c = PixelToColorRef(s.At(x, y) & 0xFFFFFF);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 96) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
    }
  return box.Left == INT32_MAX ? TRect() : box;
}

TEST_F(TextEditTest, FocusedAndUnfocusedTextLandOnTheSamePixels) {
  form_->SetBounds(100, 100, 420, 260);
  const TAlignment alignments[] = {taLeftJustify, taRightJustify, taCenter};
  std::vector<TcxTextEdit*> edits;
  Integer top = 40;
  for (TAlignment alignment : alignments) {
    auto* e = new TcxTextEdit(form_);
    e->SetBounds(10, top, 180, 21);
    e->SetParent(form_);
    e->Properties()->Alignment()->SetHorz(alignment);
    e->Properties()->SetUseLeftAlignmentOnEditing(false);
    e->Properties()->SetAutoSelect(false);
    e->SetText("Wg ink 123");
    edits.push_back(e);
    top += 30;
  }
  // The list style's text is painted by the view info, focused or not (the sheet shows it).
  auto* list = new TListTextEdit(form_);
  list->SetBounds(10, top, 180, 21);
  list->SetParent(form_);
  list->ListProperties()->LookupItems()->Add("Wg ink 123");
  list->SetText("Wg ink 123");
  Pump();
  S().Snapshot(form_->Handle(), "editors_text_edit_unfocused.png", true);
  for (TcxTextEdit* e : edits) {
    const TRect area(e->Left() + 2, e->Top() + 2, e->Left() + e->Width() - 2, e->Top() + e->Height() - 2);
    Focus(other_);
    const TRect unfocused = InkBox(form_->Handle(), area);
    Focus(e);
    HideCaret(e->InnerTextEdit()->Handle());
    Pump();
    const TRect focused = InkBox(form_->Handle(), area);
    const char* names[] = {"left", "right", "centre"};
    const char* name = names[e->Properties()->Alignment()->Horz()];
    EXPECT_FALSE(unfocused.IsEmpty()) << name;
    EXPECT_EQ(focused, unfocused) << name;
    EXPECT_EQ(IsWindowVisible(e->InnerTextEdit()->Handle()), TRUE);
  }
  Focus(edits[1]);
  S().Snapshot(form_->Handle(), "editors_text_edit_focused_right.png", true);
}

}  // namespace

namespace {

TEST_F(TextEditTest, ThousandSeparatorsStayWhileTypingAndALocaleChangeReshowsTheValue) {
  const TFormatSettings saved = FormatSettings;
  FormatSettings.ThousandSeparator = ',';
  FormatSettings.DecimalSeparator = '.';
  GlobalFormatController()->Refresh();
  auto* number = new TNumberTextEdit(form_);
  number->SetBounds(10, 50, 150, 21);
  number->SetParent(form_);
  Focus(number);
  S().TypeText("12345");
  EXPECT_EQ(Text(number), "12,345");
  EXPECT_EQ(number->SelStart(), 6);
  number->SelectRange(1, 0);
  S().TypeText("9");
  EXPECT_EQ(Text(number), "192,345");
  EXPECT_EQ(number->SelStart(), 2);

  // The value shown again after the locale changes.
  edit_->WriteEditValue(Variant(1.5));
  EXPECT_EQ(Text(edit_), "1.5");
  FormatSettings.DecimalSeparator = ',';
  BroadcastSystemChange(WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  Pump();
  EXPECT_EQ(Text(edit_), "1,5");
  FormatSettings = saved;
  GlobalFormatController()->Refresh();
}

TEST_F(TextEditTest, AnInputMethodCharacterIsOneWholeCharacter) {
  edit_->Properties()->LookupItems()->Add("日本");
  Focus(edit_);
  PostMessage(edit_->InnerTextEdit()->Handle(), WM_IME_CHAR, WPARAM(U'日'), 0);
  Pump();
  EXPECT_EQ(Text(edit_), "日本");
  EXPECT_EQ(Sel(edit_), std::make_pair(1, 1));
  EXPECT_EQ(edit_->QueryInnerTextEdit()->GetPendingImeByte(), 0);
  EXPECT_EQ(edit_->InnerTextEdit()->ImeState(), 0);
}

TEST_F(TextEditTest, PointOverListUsesTheListsClientRectangle) {
  auto* listed = new TListedTextEdit(form_);
  listed->SetBounds(10, 50, 150, 21);
  listed->SetParent(form_);
  listed->TextProperties()->LookupItems()->Add("one");
  IcxTextEditLookupData* data = listed->QueryLookupData();
  data->CreateListIn(form_);
  ASSERT_NE(data->GetListControl(), nullptr);
  data->PlaceList(TRect(200, 100, 300, 180));
  data->GetListControl()->HandleNeeded();
  TWinControl* list = data->GetListControl();
  EXPECT_TRUE(data->PointOverList(list->ClientToScreen(TPoint(5, 5))));
  EXPECT_FALSE(data->PointOverList(form_->ClientToScreen(TPoint(205, 95))));
  EXPECT_FALSE(data->PointOverList(list->ClientToScreen(TPoint(-3, 5))));
}

}  // namespace
