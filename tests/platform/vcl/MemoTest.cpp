// The multi-line edit: lines and their messages, keys, mouse, clipboard, the maximum length,
// wrapping, scrolling with the window's scroll bars and the notifications to the parent.
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

namespace {

class MemoTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    form_ = new TWatchForm(Application);
    form_->SetBounds(0, 0, 400, 300);
    memo_ = new TMemo(form_);
    memo_->SetBounds(10, 10, 200, 100);
    memo_->SetParent(form_);
    form_->Show();
    memo_->SetFocus();
    Process();
  }
  void TearDown() override {
    form_->Free();
    VclFixture::TearDown();
  }
  std::pair<Integer, Integer> Sel() {
    NativeInt r = memo_->Perform(EM_GETSEL);
    return {LOWORD(uintptr_t(r)), HIWORD(uintptr_t(r))};
  }
  Integer Rows() {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(memo_->Handle(), SB_VERT, &si);
    return si.nMax + 1;
  }
  // Counts the parent's scroll notifications.
  struct TWatchForm : TForm {
    using TForm::TForm;
    void Dispatch(TMessage& m) override {
      if (m.Msg == WM_COMMAND && (HIWORD(m.WParam) == EN_VSCROLL || HIWORD(m.WParam) == EN_HSCROLL))
        notes.push_back(HIWORD(m.WParam));
      TForm::Dispatch(m);
    }
    std::vector<WORD> notes;
  };
  TWatchForm* form_;
  TMemo* memo_;
};

TEST_F(MemoTest, LinesAndTheirMessagesCountCharactersWithABreakAsTwo) {
  memo_->SetText("añb\r\n日本\nxyz\r");
  EXPECT_EQ(memo_->Text(), "añb\r\n日本\r\nxyz\r\n");
  EXPECT_EQ(memo_->Lines()->Count(), 3);
  EXPECT_EQ(memo_->Perform(EM_GETLINECOUNT), 4);
  struct Case {
    Integer Index, Line, LineStart, LineLength;
  };
  const Case cases[] = {{0, 0, 0, 3}, {3, 0, 0, 3}, {5, 1, 5, 2}, {9, 2, 9, 3}, {14, 3, 14, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(memo_->Perform(EM_LINEFROMCHAR, NativeUInt(c.Index)), c.Line) << c.Index;
    EXPECT_EQ(memo_->Perform(EM_LINEINDEX, NativeUInt(c.Line)), c.LineStart) << c.Index;
    EXPECT_EQ(memo_->Perform(EM_LINELENGTH, NativeUInt(c.Index)), c.LineLength) << c.Index;
  }
  EXPECT_EQ(memo_->Perform(EM_LINEINDEX, 9), -1);
  memo_->Perform(EM_SETSEL, 2, 7);
  EXPECT_EQ(memo_->SelText(), "b\r\n日本");
  memo_->SetCaretPos(TPoint(1, 2));
  EXPECT_EQ(Sel(), std::make_pair(10, 10));
  EXPECT_EQ(memo_->CaretPos(), TPoint(1, 2));

  TStrings* lines = memo_->Lines();
  lines->SetText("one\ntwo");
  lines->Add("three");
  lines->Insert(0, "zero");
  lines->Delete(2);
  lines->SetStrings(1, "ONE");
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ(memo_->Text(), "zero\r\nONE\r\nthree\r\n");
  std::unique_ptr<TStringList> copy(new TStringList());
  copy->Assign(lines);
  EXPECT_EQ(copy->Count(), 3);
  EXPECT_EQ((*copy)[2], "three");
}

TEST_F(MemoTest, KeysEditAcrossLinesByTheWantSettings) {
  struct Step {
    int Vk;
    bool Shift, Ctrl;
    const char* Typed;
  };
  struct Case {
    bool WantReturns, WantTabs;
    const char* Start;
    Integer Caret;
    std::vector<Step> Steps;
    const char* Text;
    Integer SelStart, SelEnd;
  };
  const Case cases[] = {
      // Enter and Ctrl+Enter by WantReturns.
      {true, false, "ab", 1, {{VK_RETURN, false, false, nullptr}}, "a\r\nb", 3, 3},
      {false, false, "ab", 1, {{VK_RETURN, false, false, nullptr}}, "ab", 1, 1},
      {false, false, "ab", 1, {{VK_RETURN, false, true, nullptr}}, "a\r\nb", 3, 3},
      // Tab by WantTabs.
      {true, true, "ab", 1, {{VK_TAB, false, false, nullptr}}, "a\tb", 2, 2},
      // Backspace at a line's start and Delete at its end take the whole break.
      {true, false, "ab\r\ncd", 4, {{VK_BACK, false, false, nullptr}}, "abcd", 2, 2},
      {true, false, "ab\r\ncd", 2, {{VK_DELETE, false, false, nullptr}}, "abcd", 2, 2},
      // Right at a line's end steps over the break; Up and Down keep the column.
      {true, false, "ab\r\ncd", 2, {{VK_RIGHT, false, false, "X"}}, "ab\r\nXcd", 5, 5},
      {true, false, "aaa\r\naa\r\naaa", 2, {{VK_DOWN, false, false, nullptr}, {VK_DOWN, false, false, "X"}},
       "aaa\r\naa\r\naaXa", 12, 12},
      {true, false, "aaa\r\naa", 6, {{VK_UP, false, false, "X"}}, "aXaa\r\naa", 2, 2},
      // Home and End by row, Ctrl+Home and Ctrl+End by text, Shift selects over lines.
      {true, false, "abc\r\ndef", 6, {{VK_HOME, false, false, "<"}, {VK_END, false, false, ">"}}, "abc\r\n<def>", 10, 10},
      {true, false, "abc\r\ndef", 1, {{VK_END, true, true, nullptr}}, "abc\r\ndef", 1, 8},
      {true, false, "abc\r\ndef", 6, {{VK_HOME, true, true, nullptr}}, "abc\r\ndef", 0, 6},
      {true, false, "abc\r\ndef", 2, {{VK_DOWN, true, false, nullptr}, {VK_BACK, false, false, nullptr}}, "abf", 2, 2},
      // Ctrl+A selects everything; Ctrl+Z undoes the last change.
      {true, false, "ab\r\ncd", 0, {{'A', false, true, nullptr}}, "ab\r\ncd", 0, 6},
      {true, false, "ab", 2, {{0, false, false, "xyz"}, {'Z', false, true, nullptr}}, "abxy", 4, 4},
  };
  for (const Case& c : cases) {
    memo_->SetWantReturns(c.WantReturns);
    memo_->SetWantTabs(c.WantTabs);
    memo_->SetText(c.Start);
    memo_->SetSelStart(c.Caret);
    for (const Step& s : c.Steps) {
      if (s.Vk) S().PressKey(s.Vk, s.Shift, s.Ctrl);
      if (s.Typed) S().TypeText(s.Typed);
      Process();
    }
    EXPECT_EQ(memo_->Text(), c.Text) << c.Start;
    EXPECT_EQ(Sel(), std::make_pair(c.SelStart, c.SelEnd)) << c.Start;
  }
  // The dialog code by the settings.
  memo_->SetWantReturns(true);
  memo_->SetWantTabs(false);
  EXPECT_EQ(memo_->Perform(WM_GETDLGCODE) & (DLGC_WANTALLKEYS | DLGC_WANTTAB), DLGC_WANTALLKEYS);
  memo_->SetWantReturns(false);
  memo_->SetWantTabs(true);
  EXPECT_EQ(memo_->Perform(WM_GETDLGCODE) & (DLGC_WANTALLKEYS | DLGC_WANTTAB), DLGC_WANTTAB);
}

TEST_F(MemoTest, ClipboardAndMaximumLengthKeepWhatFitsWithoutSplittingACharacterOrABreak) {
  memo_->SetText("ab\r\ncd");
  memo_->Perform(EM_SETSEL, 1, 5);
  S().PressKey('C', false, true);
  EXPECT_EQ(S().Backend().ClipboardText(), "b\r\nc");
  memo_->SetSelStart(6);
  S().PressKey('V', false, true);
  EXPECT_EQ(memo_->Text(), "ab\r\ncdb\r\nc");

  struct Case {
    const char* Start;
    Integer Max;
    const char* Pasted;
    const char* Text;
  };
  const Case cases[] = {
      {"ab", 5, "日本語です", "ab日本語"},
      {"ab", 4, "x\r\nyz", "abx"},      // the break (two characters) does not fit
      {"ab", 5, "x\r\nyz", "abx\r\n"},
      {"abcde", 5, "x", "abcde"},        // full: nothing
  };
  for (const Case& c : cases) {
    memo_->SetMaxLength(0);
    memo_->SetText(c.Start);
    memo_->SetMaxLength(c.Max);
    memo_->SetSelStart(1000);
    SetClipboardText(c.Pasted);
    S().PressKey('V', false, true);
    EXPECT_EQ(memo_->Text(), c.Text) << c.Pasted << " into " << c.Start;
  }
  memo_->SetMaxLength(0);
}

TEST_F(MemoTest, WrappedRowsScrollWithTheWindowsScrollBarAndTellTheParent) {
  memo_->SetScrollBars(ssVertical);
  Process();
  EXPECT_TRUE(GetWindowLong(memo_->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(GetWindowLong(memo_->Handle(), GWL_STYLE) & WS_HSCROLL);
  String words;
  for (int i = 0; i < 40; ++i) words += "word ";
  memo_->SetText(words + "\r\n" + String(80, 'x'));
  Process();
  const Integer rows = Rows();
  EXPECT_GT(rows, 4);  // both lines wrap; the long word breaks between characters
  // Every row is no wider than the text area: a click at the end of the first row lands on it.
  NativeInt firstRowEnd = memo_->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(memo_->ClientWidth() - 2), 2));
  EXPECT_GT(LOWORD(uintptr_t(firstRowEnd)), 5);
  EXPECT_LT(LOWORD(uintptr_t(firstRowEnd)), 40);

  form_->notes.clear();
  memo_->Perform(EM_LINESCROLL, 0, 2);
  EXPECT_EQ(memo_->Perform(EM_GETFIRSTVISIBLELINE), 2);
  SCROLLINFO si;
  si.fMask = SIF_POS | SIF_PAGE;
  GetScrollInfo(memo_->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, 2);
  EXPECT_GT(Integer(si.nPage), 1);
  EXPECT_LT(Integer(si.nPage), rows);
  EXPECT_EQ(form_->notes, std::vector<WORD>{EN_VSCROLL});
  memo_->Perform(WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(memo_->Perform(EM_GETFIRSTVISIBLELINE), 1);
  memo_->Perform(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(memo_->Perform(EM_GETFIRSTVISIBLELINE) + Integer(si.nPage), rows);
  // The caret brought into view scrolls back.
  S().PressKey(VK_HOME, false, true);
  EXPECT_EQ(memo_->Perform(EM_GETFIRSTVISIBLELINE), 0);

  // A horizontal bar stops the wrapping and scrolls by pixels; switching recreates the window.
  HWND before = memo_->Handle();
  memo_->SetScrollBars(ssBoth);
  Process();
  EXPECT_NE(memo_->Handle(), before);
  EXPECT_TRUE(GetWindowLong(memo_->Handle(), GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(Rows(), 2);
  form_->notes.clear();
  memo_->Perform(WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(form_->notes, std::vector<WORD>{EN_HSCROLL});
  si.fMask = SIF_POS;
  GetScrollInfo(memo_->Handle(), SB_HORZ, &si);
  EXPECT_GT(si.nPos, 0);
  EXPECT_EQ(memo_->Text(), words + "\r\n" + String(80, 'x'));
}

TEST_F(MemoTest, MousePlacesTheCaretInARowAndDragsASelection) {
  memo_->SetText("abc\r\ndefgh\r\nij");
  Process();
  NativeInt p = memo_->Perform(EM_POSFROMCHAR, 8);  // "g" in the second row
  POINT at{LOWORD(uintptr_t(p)) + 1, SHORT(HIWORD(uintptr_t(p))) + 2};
  S().Click(memo_->Handle(), at);
  Process();
  EXPECT_EQ(Sel(), std::make_pair(8, 8));
  NativeInt q = memo_->Perform(EM_POSFROMCHAR, 14);  // the end of the last row
  S().MouseDown(memo_->Handle(), POINT{1, 1});
  S().MoveMouse(memo_->Handle(), POINT{LOWORD(uintptr_t(q)) + 20, SHORT(HIWORD(uintptr_t(q))) + 2});
  S().MouseUp(memo_->Handle(), POINT{LOWORD(uintptr_t(q)) + 20, SHORT(HIWORD(uintptr_t(q))) + 2});
  Process();
  EXPECT_EQ(memo_->SelText(), memo_->Text());
}

// The memo refreshes its painted scroll bars after a settings change: the notification reaches
// controls inside a form.
TEST_F(MemoTest, SettingsChangeReachesControlsInsideAForm) {
  struct TCounting : TMemo {
    using TMemo::TMemo;
    void Dispatch(TMessage& m) override {
      if (m.Msg == CM_WININICHANGE) ++changes;
      TMemo::Dispatch(m);
    }
    int changes = 0;
  };
  auto* panel = new TPanel(form_);
  panel->SetBounds(220, 10, 150, 120);
  panel->SetParent(form_);
  auto* inner = new TCounting(form_);
  inner->SetBounds(5, 5, 100, 80);
  inner->SetParent(panel);
  Process();
  BroadcastSystemChange(WM_SETTINGCHANGE, 0, 0);
  Process();
  EXPECT_EQ(inner->changes, 1);
}

}  // namespace
