// The edit control's messages and keys, the list box, and the form's next-control message.
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "rtl/SysUtils.h"
#include "vcl/StdCtrls.h"

namespace {

class EditTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    form_ = new TForm(Application);
    form_->SetBounds(0, 0, 300, 200);
    edit_ = new TEdit(form_);
    edit_->SetBounds(10, 10, 200, 21);
    edit_->SetParent(form_);
    list_ = new TListBox(form_);
    list_->SetBounds(10, 40, 200, 100);
    list_->SetParent(form_);
    form_->Show();
    edit_->SetFocus();
    Process();
  }
  void TearDown() override {
    form_->Free();
    VclFixture::TearDown();
  }
  std::pair<Integer, Integer> Sel() {
    NativeInt r = edit_->Perform(EM_GETSEL);
    return {LOWORD(uintptr_t(r)), HIWORD(uintptr_t(r))};
  }
  TForm* form_;
  TEdit* edit_;
  TListBox* list_;
};

TEST_F(EditTest, SelectionMessagesCountCharacters) {
  edit_->SetText("añb日c");
  struct Case {
    NativeInt From, To;
    Integer Start, End;
    const char* Selected;
  };
  const Case cases[] = {
      {1, 3, 1, 3, "ñb"}, {0, -1, 0, 5, "añb日c"}, {3, 99, 3, 5, "日c"}, {4, 2, 2, 4, "b日"},
  };
  for (const Case& c : cases) {
    edit_->Perform(EM_SETSEL, NativeUInt(c.From), c.To);
    EXPECT_EQ(Sel(), std::make_pair(c.Start, c.End)) << c.From << ".." << c.To;
    EXPECT_EQ(edit_->SelText(), c.Selected);
  }
  edit_->Perform(EM_SETSEL, 1, 3);
  edit_->Perform(EM_REPLACESEL, 0, reinterpret_cast<NativeInt>("XY"));
  EXPECT_EQ(edit_->Text(), "aXY日c");
  EXPECT_EQ(Sel(), std::make_pair(3, 3));
}

TEST_F(EditTest, MaximumLengthCountsCharactersAndTextNeverSplitsOne) {
  edit_->SetText("");
  edit_->SetMaxLength(3);
  S().TypeText("日本語です");
  EXPECT_EQ(edit_->Text(), "日本語");
  char buf[5];
  NativeInt n = edit_->Perform(WM_GETTEXT, sizeof buf, reinterpret_cast<NativeInt>(buf));
  EXPECT_EQ(n, 3);  // "日" is 3 bytes; the next one would not fit
  EXPECT_EQ(String(buf), "日");
  EXPECT_EQ(edit_->Perform(WM_GETTEXTLENGTH), 9);
}

TEST_F(EditTest, KeysSelectEditUndoAndUseTheClipboard) {
  edit_->SetText("hello world");
  edit_->SetSelStart(5);
  S().PressKey(VK_RIGHT, true);      // select " "
  S().PressKey(VK_END, true);        // to the end
  EXPECT_EQ(edit_->SelText(), " world");
  S().PressKey('X', false, true);    // cut
  EXPECT_EQ(edit_->Text(), "hello");
  EXPECT_EQ(S().Backend().ClipboardText(), " world");
  S().PressKey(VK_HOME);
  S().PressKey('V', false, true);    // paste at the start
  EXPECT_EQ(edit_->Text(), " worldhello");
  S().PressKey('Z', false, true);    // undo the paste
  EXPECT_EQ(edit_->Text(), "hello");
  S().PressKey(VK_DELETE);
  EXPECT_EQ(edit_->Text(), "ello");
  // Shift+Delete without a selection deletes backwards (with one it cuts, below).
  edit_->SetSelStart(2);
  S().PressKey(VK_DELETE, true);
  EXPECT_EQ(edit_->Text(), "elo");
  EXPECT_EQ(edit_->SelStart(), 1);
  edit_->SetSelStart(0);
  S().PressKey(VK_DELETE, true);
  EXPECT_EQ(edit_->Text(), "elo");
  edit_->SetText("ello");
  edit_->SetReadOnly(true);
  S().TypeText("zz");
  S().PressKey(VK_BACK);
  EXPECT_EQ(edit_->Text(), "ello");
  int changes = 0;
  edit_->OnChange = [&](TObject*) { ++changes; };
  edit_->SetReadOnly(false);
  S().TypeText("ab");
  EXPECT_EQ(changes, 2);
}

TEST_F(EditTest, MarginsMoveTheText) {
  edit_->SetText("abc");
  NativeInt before = edit_->Perform(EM_POSFROMCHAR, 0);
  edit_->Perform(EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(10, 0));
  NativeInt after = edit_->Perform(EM_POSFROMCHAR, 0);
  EXPECT_EQ(GET_X_LPARAM(after) - GET_X_LPARAM(before), 9);
  EXPECT_EQ(LOWORD(uintptr_t(edit_->Perform(EM_GETMARGINS))), 10);
  EXPECT_EQ(edit_->Perform(EM_POSFROMCHAR, 4), -1);
  EXPECT_EQ(edit_->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(GET_X_LPARAM(edit_->Perform(EM_POSFROMCHAR, 2))), 5)), 2);
}

TEST_F(EditTest, AlignmentHideSelectionAndBorderLiveInTheWindowStyle) {
  edit_->SetText("ab");
  const HWND before = edit_->Handle();
  EXPECT_EQ(GetWindowLong(before, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, LONG(WS_EX_CLIENTEDGE));
  const Integer left_x = GET_X_LPARAM(edit_->Perform(EM_POSFROMCHAR, 0));
  edit_->SetAlignment(taRightJustify);
  EXPECT_NE(edit_->Handle(), before);  // a new window with the new style
  EXPECT_EQ(GetWindowLong(edit_->Handle(), GWL_STYLE) & ES_RIGHT, LONG(ES_RIGHT));
  EXPECT_EQ(edit_->WindowAlignment(), taRightJustify);
  const Integer right_x = GET_X_LPARAM(edit_->Perform(EM_POSFROMCHAR, 0));
  EXPECT_GT(right_x, left_x + 100);
  edit_->SetAlignment(taCenter);
  const Integer centre_x = GET_X_LPARAM(edit_->Perform(EM_POSFROMCHAR, 0));
  EXPECT_GT(centre_x, left_x);
  EXPECT_LT(centre_x, right_x);
  edit_->SetHideSelection(false);
  EXPECT_EQ(GetWindowLong(edit_->Handle(), GWL_STYLE) & ES_NOHIDESEL, LONG(ES_NOHIDESEL));
  edit_->SetBorderStyle(bsNone);
  EXPECT_EQ(GetWindowLong(edit_->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_EQ(edit_->ClientWidth(), edit_->Width());

  // A descendant that takes the border styles away gets no border, whatever BorderStyle says.
  struct TBare : TEdit {
    using TEdit::TEdit;
    void CreateParams(TCreateParams& params) override {
      TEdit::CreateParams(params);
      params.Style &= ~WS_BORDER;
      params.ExStyle &= ~WS_EX_CLIENTEDGE;
    }
  };
  auto* bare = new TBare(form_);
  bare->SetBounds(10, 150, 100, 21);
  bare->SetParent(form_);
  EXPECT_EQ(bare->BorderStyle(), bsSingle);
  EXPECT_EQ(bare->ClientWidth(), 100);
}

TEST_F(EditTest, ClipboardKeysGoThroughTheWindowMessages) {
  // A descendant that handles the clipboard messages decides what the keys do.
  struct TWatched : TEdit {
    using TEdit::TEdit;
    std::vector<UINT> seen;
    void Dispatch(TMessage& m) override {
      if (m.Msg == WM_COPY || m.Msg == WM_CUT || m.Msg == WM_PASTE) {
        seen.push_back(m.Msg);
        return;
      }
      TEdit::Dispatch(m);
    }
  };
  auto* e = new TWatched(form_);
  e->SetBounds(10, 150, 100, 21);
  e->SetParent(form_);
  e->SetText("abc");
  e->SetFocus();
  e->SelectAll();
  S().PressKey('C', false, true);
  S().PressKey('V', false, true);
  S().PressKey('X', false, true);
  S().PressKey(VK_INSERT, false, true);
  S().PressKey(VK_INSERT, true);
  S().PressKey(VK_DELETE, true);
  Process();
  EXPECT_EQ(e->seen, (std::vector<UINT>{WM_COPY, WM_PASTE, WM_CUT, WM_COPY, WM_PASTE, WM_CUT}));
  EXPECT_EQ(e->Text(), "abc");
  // The edit's own processing, past the descendant's override.
  e->EditWndProc(WM_CUT, 0, 0);
  EXPECT_EQ(e->Text(), "");
  EXPECT_EQ(S().Backend().ClipboardText(), "abc");
  // An input-method character takes the typed path.
  PostMessage(e->Handle(), WM_IME_CHAR, WPARAM(U'日'), 0);
  Process();
  EXPECT_EQ(e->Text(), "日");
}

TEST_F(EditTest, WordsByCtrlArrowsAndDoubleClickBeepsOnEnterAndWhenFull) {
  edit_->SetText("one two_2, 三四 x");
  edit_->SetSelStart(0);
  struct Step {
    int Vk;
    bool Shift;
    Integer Start, End;
  };
  const Step steps[] = {{VK_RIGHT, false, 4, 4},  {VK_RIGHT, false, 11, 11}, {VK_RIGHT, true, 11, 14},
                        {VK_LEFT, false, 11, 11}, {VK_LEFT, false, 4, 4},    {VK_LEFT, true, 0, 4}};
  for (const Step& s : steps) {
    S().PressKey(s.Vk, s.Shift, true);
    EXPECT_EQ(Sel(), std::make_pair(s.Start, s.End)) << s.Vk << " " << s.Shift;
  }
  edit_->SetText("hello world");
  const Integer x = GET_X_LPARAM(edit_->Perform(EM_POSFROMCHAR, 8));
  S().DoubleClick(edit_->Handle(), POINT{x, 5});
  Process();
  EXPECT_EQ(edit_->SelText(), "world");

  const int beeps = S().Backend().BeepCount();
  edit_->SetText("ab");
  edit_->SetSelStart(2);
  S().PressKey(VK_RETURN);
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 1);
  EXPECT_EQ(edit_->Text(), "ab");
  edit_->SetMaxLength(2);
  S().TypeText("c");
  EXPECT_EQ(S().Backend().BeepCount(), beeps + 2);
  EXPECT_EQ(edit_->Text(), "ab");
}

TEST_F(EditTest, NextDialogControlMessageMovesTheFocus) {
  PostMessage(form_->Handle(), WM_NEXTDLGCTL, 0, 0);
  Process();
  EXPECT_EQ(form_->ActiveControl(), list_);
  PostMessage(form_->Handle(), WM_NEXTDLGCTL, 1, 0);
  Process();
  EXPECT_EQ(form_->ActiveControl(), edit_);
  PostMessage(form_->Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_->Handle()), 1);
  Process();
  EXPECT_EQ(form_->ActiveControl(), list_);
}

TEST_F(EditTest, ListBoxSelectsWithKeysAndClicks) {
  for (const char* s : {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine"}) list_->Items()->Add(s);
  int clicks = 0;
  list_->OnClick = [&](TObject*) { ++clicks; };
  list_->SetFocus();
  Process();
  S().PressKey(VK_DOWN);
  EXPECT_EQ(list_->ItemIndex(), 0);
  S().PressKey(VK_END);
  EXPECT_EQ(list_->ItemIndex(), 8);
  EXPECT_GT(list_->TopIndex(), 0);  // scrolled to show it
  S().PressKey(VK_HOME);
  TRect r = list_->ItemRect(2);
  S().Click(list_->Handle(), {r.Left + 3, r.Top + 2});
  EXPECT_EQ(list_->ItemIndex(), 2);
  EXPECT_EQ(clicks, 4);
  list_->Items()->Clear();
  EXPECT_EQ(list_->ItemIndex(), -1);
}

TEST_F(EditTest, MultiSelectListBoxSelectsWithCtrlShiftAndKeys) {
  for (const char* s : {"one", "two", "three", "four", "five", "six"}) list_->Items()->Add(s);
  list_->SetMultiSelect(true);
  list_->SetFocus();
  Process();
  auto click = [&](Integer i, int modifier = 0) {
    if (modifier) S().KeyDown(modifier);
    TRect r = list_->ItemRect(i);
    S().Click(list_->Handle(), {r.Left + 3, r.Top + 2});
    if (modifier) S().KeyUp(modifier);
  };
  auto selected = [&] {
    std::vector<Integer> v;
    for (Integer i = 0; i < list_->Count(); ++i)
      if (list_->Selected(i)) v.push_back(i);
    return v;
  };
  click(1);
  EXPECT_EQ(selected(), (std::vector<Integer>{1}));
  click(3, VK_CONTROL);
  EXPECT_EQ(selected(), (std::vector<Integer>{1, 3}));
  click(3, VK_CONTROL);  // toggles off
  EXPECT_EQ(selected(), (std::vector<Integer>{1}));
  click(4, VK_SHIFT);  // from the anchor the last Ctrl click left
  EXPECT_EQ(selected(), (std::vector<Integer>{3, 4}));
  click(1);
  click(4, VK_SHIFT);
  EXPECT_EQ(selected(), (std::vector<Integer>{1, 2, 3, 4}));
  EXPECT_EQ(list_->SelCount(), 4);
  click(0);
  EXPECT_EQ(selected(), (std::vector<Integer>{0}));
  S().PressKey(VK_DOWN, true);
  S().PressKey(VK_DOWN, true);
  EXPECT_EQ(selected(), (std::vector<Integer>{0, 1, 2}));
  S().PressKey(VK_DOWN);
  EXPECT_EQ(selected(), (std::vector<Integer>{3}));
  list_->SetExtendedSelect(false);
  click(5);
  EXPECT_EQ(selected(), (std::vector<Integer>{3, 5})) << "without extended selection a click toggles";
  list_->ClearSelection();
  EXPECT_EQ(list_->SelCount(), 0);
  EXPECT_THROW(list_->Selected(6), EListError);
}

TEST_F(EditTest, OwnerDrawnListBoxItemsAreDrawnByTheHandler) {
  for (const char* s : {"one", "two", "three"}) list_->Items()->Add(s);
  std::vector<std::pair<Integer, bool>> drawn;
  list_->OnDrawItem = [&](TWinControl*, Integer index, TRect, TOwnerDrawState state) {
    drawn.push_back({index, state.Contains(odSelected)});
  };
  list_->SetItemIndex(1);
  list_->Repaint();
  EXPECT_TRUE(drawn.empty()) << "a standard list draws its own items";
  list_->SetStyle(lbOwnerDrawFixed);
  list_->Repaint();
  EXPECT_EQ(drawn, (std::vector<std::pair<Integer, bool>>{{0, false}, {1, true}, {2, false}}));
  EXPECT_THROW(list_->SetStyle(TListBoxStyle(7)), EPropertyError);
}

}  // namespace

namespace {

// A form that records the list box notifications it receives through WM_COMMAND.
class TCommandForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<std::pair<WORD, HWND>> commands;
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_COMMAND) commands.push_back({HIWORD(m.WParam), reinterpret_cast<HWND>(m.LParam)});
    TForm::WndProc(m);
  }
};

TEST_F(EditTest, ListBoxMessagesActOnTheList) {
  const HWND h = list_->Handle();
  for (const char* s : {"pear", "apple", "Apricot"})
    SendMessage(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  char buffer[16] = {};
  struct Case {
    UINT Msg;
    WPARAM W;
    LPARAM L;
    NativeInt Result;
  };
  const Case cases[] = {
      {LB_GETCOUNT, 0, 0, 3},
      {LB_SETCURSEL, 1, 0, 1},
      {LB_GETCURSEL, 0, 0, 1},
      {LB_SETCURSEL, 7, 0, LB_ERR},
      {LB_GETCURSEL, 0, 0, -1},
      {LB_GETTEXTLEN, 2, 0, 7},
      {LB_GETTEXTLEN, 3, 0, LB_ERR},
      {LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("ap"), 1},
      {LB_FINDSTRING, 1, reinterpret_cast<LPARAM>("ap"), 2},
      {LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("APPLE"), 1},
      {LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("app"), -1},
      {LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("pe"), 0},
      {LB_GETCURSEL, 0, 0, 0},
      {LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("fig"), 1},
      {LB_DELETESTRING, 0, 0, 3},
      {LB_DELETESTRING, 9, 0, LB_ERR},
      {LB_SETITEMDATA, 0, LPARAM(0x1234), 0},
      {LB_GETITEMDATA, 0, 0, 0x1234},
      {LB_SETITEMHEIGHT, 0, 20, 0},
      {LB_GETITEMHEIGHT, 0, 0, 20},
      {LB_SETHORIZONTALEXTENT, 500, 0, 0},
      {LB_GETHORIZONTALEXTENT, 0, 0, 500},
      {LB_SETITEMHEIGHT, 0, 0, LB_ERR},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessage(h, c.Msg, c.W, c.L), c.Result) << std::hex << c.Msg << " " << c.W;
  EXPECT_EQ(SendMessage(h, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "fig");
  RECT r{};
  EXPECT_EQ(SendMessage(h, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)), 1);
  EXPECT_EQ(r.Top, 22);
  // The point's item in the low word; the high word tells a point past the items.
  EXPECT_EQ(SendMessage(h, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 25)), 1);
  EXPECT_EQ(HIWORD(SendMessage(h, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 90))), 1);
  EXPECT_EQ(list_->ItemAtPos(TPoint(5, 90), false), 4);  // a row past the items
  EXPECT_EQ(list_->ItemAtPos(TPoint(5, 90), true), -1);
  SendMessage(h, LB_RESETCONTENT, 0, 0);
  EXPECT_EQ(list_->Count(), 0);
}

TEST_F(EditTest, ListBoxStylesVirtualModeColumnsAndSelectionNotice) {
  auto* form = new TCommandForm(Application);
  form->SetBounds(0, 0, 300, 200);
  auto* list = new TListBox(form);
  list->SetBounds(0, 0, 200, 104);
  list->SetParent(form);
  form->Show();
  Process();
  // Variable heights: item i is 10 + 5 i pixels high.
  for (const char* s : {"a", "b", "c", "d", "e", "f"}) list->Items()->Add(s);
  list->SetStyle(lbOwnerDrawVariable);
  list->OnMeasureItem = [](TWinControl*, Integer index, Integer& height) { height = 10 + 5 * index; };
  std::vector<Integer> drawn;
  list->OnDrawItem = [&](TWinControl*, Integer index, TRect, TOwnerDrawState) { drawn.push_back(index); };
  EXPECT_EQ(list->ItemRect(3), Rect(2, 2 + 10 + 15 + 20, 198, 2 + 10 + 15 + 20 + 25));
  EXPECT_EQ(list->ItemAtPos(TPoint(5, 2 + 10 + 15 + 1), true), 2);
  EXPECT_EQ(list->VisibleCount(), 5);  // 10 + 15 + 20 + 25 + 30 = 100 fits in 100
  list->Repaint();
  Process();
  EXPECT_EQ(drawn, (std::vector<Integer>{0, 1, 2, 3, 4, 5}));  // and the partly shown row

  // Virtual mode: a count and the events.
  list->SetStyle(lbVirtual);
  list->SetCount(1000);
  list->OnData = [](TWinControl*, Integer index, String& s) { s = "row " + IntToStr(index); };
  TObject marker;
  list->OnDataObject = [&](TWinControl*, Integer index, TObject*& o) { o = index == 7 ? &marker : nullptr; };
  list->OnDataFind = [](TWinControl*, const String& s) { return s == "row 42" ? 42 : -1; };
  EXPECT_EQ(list->Count(), 1000);
  EXPECT_EQ(list->ItemText(999), "row 999");
  EXPECT_EQ(list->ItemObject(7), &marker);
  EXPECT_EQ(SendMessage(list->Handle(), LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>("row 42")), 42);
  EXPECT_EQ(SendMessage(list->Handle(), LB_GETTEXTLEN, 999, 0), 7);

  // Columns: items flow top to bottom, then into the next column.
  list->SetStyle(lbStandard);
  list->Items()->Clear();
  for (int i = 0; i < 30; ++i) list->Items()->Add(IntToStr(i));
  list->SetColumns(3);
  const Integer rows = list->VisibleCount();
  EXPECT_EQ(list->ItemRect(rows).Left, list->ItemRect(0).Left + 196 / 3);
  EXPECT_EQ(list->ItemRect(rows).Top, list->ItemRect(0).Top);
  list->SetFocus();
  list->SetItemIndex(0);
  Process();
  S().PressKey(VK_RIGHT);
  EXPECT_EQ(list->ItemIndex(), rows);
  // The user's selection change reaches the parent as LBN_SELCHANGE; a program's does not.
  form->commands.clear();
  S().PressKey(VK_DOWN);
  list->SetItemIndex(5);
  const TRect r = list->ItemRect(1);
  S().Click(list->Handle(), {r.Left + 3, r.Top + 2});
  EXPECT_EQ(form->commands, (std::vector<std::pair<WORD, HWND>>{{LBN_SELCHANGE, list->Handle()},
                                                                  {LBN_SELCHANGE, list->Handle()}}));
  form->Free();
}

TEST_F(EditTest, ListBoxTabsAndWheelLines) {
  // The wheel scrolls by the system's line count.
  for (int i = 0; i < 40; ++i) list_->Items()->Add(IntToStr(i) + "\tx");
  UINT lines = 0;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(Mouse()->WheelScrollLines(), Integer(lines));
  list_->SetFocus();
  Process();
  S().Wheel(list_->Handle(), POINT{5, 5}, -WHEEL_DELTA);
  EXPECT_EQ(list_->TopIndex(), Integer(lines));
  list_->SetTabWidth(40);
  EXPECT_EQ(list_->TabWidth(), 40);
  list_->Repaint();  // tab expansion draws without splitting the item
  Process();
}

TEST_F(EditTest, ListBoxShowsItsScrollBarsWhileItemsOverflow) {
  auto bar = [&](int which) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(list_->Handle(), which, &si);
    return si;
  };
  auto shown = [&](DWORD bit) { return (GetWindowLong(list_->Handle(), GWL_STYLE) & bit) != 0; };
  // A few items fit: no bar; more than fit: the bar covers the items, a page of rows.
  for (int i = 0; i < 3; ++i) list_->Items()->Add(IntToStr(i));
  Process();
  EXPECT_FALSE(shown(WS_VSCROLL));
  for (int i = 3; i < 40; ++i) list_->Items()->Add(IntToStr(i));
  Process();
  ASSERT_TRUE(shown(WS_VSCROLL));
  const Integer rows = list_->ClientHeight() / list_->ItemHeight();
  EXPECT_EQ(bar(SB_VERT).nMax, 39);
  EXPECT_EQ(Integer(bar(SB_VERT).nPage), rows);
  // The bar's messages move the top index, and the bar follows the list's own scrolling.
  struct Case {
    WORD Code;
    Integer Thumb, Top;
  };
  const Case cases[] = {{SB_LINEDOWN, 0, 1},  {SB_PAGEDOWN, 0, 1 + rows}, {SB_LINEUP, 0, rows},
                        {SB_THUMBTRACK, 7, 7}, {SB_BOTTOM, 0, 40 - rows},  {SB_TOP, 0, 0}};
  for (const Case& c : cases) {
    SendMessage(list_->Handle(), WM_VSCROLL, MAKEWPARAM(c.Code, c.Thumb), 0);
    EXPECT_EQ(list_->TopIndex(), c.Top) << c.Code;
    EXPECT_EQ(bar(SB_VERT).nPos, c.Top) << c.Code;
  }
  list_->SetTopIndex(5);
  EXPECT_EQ(bar(SB_VERT).nPos, 5);
  // Items wider than the list: the horizontal bar.
  list_->SetScrollWidth(500);
  EXPECT_TRUE(shown(WS_HSCROLL));
  SendMessage(list_->Handle(), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
  EXPECT_EQ(list_->HorzOffset(), 8);
  list_->SetScrollWidth(0);
  EXPECT_FALSE(shown(WS_HSCROLL));
  // A list in columns flows sideways: no vertical bar; emptied: none either.
  list_->SetColumns(2);
  EXPECT_FALSE(shown(WS_VSCROLL));
  list_->SetColumns(0);
  list_->Clear();
  Process();
  EXPECT_FALSE(shown(WS_VSCROLL));
}

}  // namespace
