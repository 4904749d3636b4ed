// The memo kind: display texts, settings and text flags, cell sizes and rows, the memo control's
// keys standalone and in place, paste under MaxLength, the replace-selection rule, scroll bars,
// a memo field of the CSV query, and PNG sheets of memo cells and standalone memos.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "db/ADODB.h"
#include "editors-extra/cxDBEdit.h"
#include "editors-extra/cxEditDBRegisteredRepositoryItems.h"
#include "editors-extra/cxMemo.h"
#include "editors/cxEditPaintUtils.h"
#include "gdi/Gdi.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/Clipbrd.h"
#include "vcl/ControlMessages.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"

namespace {

TEST(MemoProperties, DisplayTextIsCutBeforeALineBreakOrAt250Characters) {
  TcxMemoProperties p(nullptr);
  const String a300(300, 'a');
  String wide;
  for (int i = 0; i < 300; ++i) wide += "日";
  struct Case {
    Variant Value;
    String Cut;
  };
  const Case cases[] = {
      {Variant(String("abc\r\ndef")), "abc"},
      {Variant(String("abc\ndef")), "abc"},
      {Variant(a300), String(250, 'a')},
      {Variant(String(260, 'b') + "\r\nx"), String(250, 'b')},
      {Variant(wide), wide.substr(0, 750)},  // 250 characters, never a split one
      {Variant(42), "42"},                   // a value that is no string shows its text
      {Null(), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(p.ValueToDisplayText(c.Value, false, true), c.Cut) << VarToStr(c.Value).substr(0, 20);
    EXPECT_EQ(p.ValueToDisplayText(c.Value, true, true), VarToStr(c.Value));
  }
}

TEST(MemoProperties, SettingsFlagsRegistryAndFilterHelper) {
  TcxMemoProperties p(nullptr);
  EXPECT_EQ(p.Alignment()->Vert(), taTopJustify);
  EXPECT_FALSE(p.AutoSelect());
  EXPECT_TRUE(p.WantReturns());
  EXPECT_TRUE(p.WordWrap());
  EXPECT_TRUE(p.IsMultiLine());
  p.SetVisibleLineCount(-5);
  EXPECT_EQ(p.VisibleLineCount(), 0);
  p.SetWantTabs(true);
  EXPECT_TRUE(p.KeepsTabKey());

  const Integer breaks = tofWordBreak | tofCharBreak;
  struct Case {
    bool WordWrap;
    TScrollStyle Bars;
    bool Breaks;
  };
  const Case cases[] = {{true, ssNone, true},        {true, ssVertical, true}, {true, ssHorizontal, false},
                        {true, ssBoth, false},       {false, ssNone, false}};
  for (const Case& c : cases) {
    p.SetWordWrap(c.WordWrap);
    p.SetScrollBars(c.Bars);
    const Integer f = p.TextFlags();
    EXPECT_EQ((f & breaks) == breaks, c.Breaks) << c.WordWrap << " " << c.Bars;
    EXPECT_EQ(f & (tofSingleLine | tofVertMask), 0);
    EXPECT_EQ(f & (tofKeepLeftInside | tofExpandTabs | tofCompleteRowsOnly),
              tofKeepLeftInside | tofExpandTabs | tofCompleteRowsOnly);
  }
  p.Alignment()->SetHorz(taRightJustify);
  EXPECT_EQ(p.TextFlags() & tofHorzMask, tofRight);

  TcxMemoProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_EQ(copy.ScrollBars(), p.ScrollBars());
  EXPECT_EQ(copy.WordWrap(), p.WordWrap());
  EXPECT_TRUE(copy.WantTabs());

  EXPECT_EQ(EditPropertiesRegistry()->FindByClassName("TcxMemoProperties"), TcxMemoProperties::StaticClass());
  TClass helper = FilterEditsController()->LookupHelper(TcxMemoProperties::StaticClass());
  ASSERT_EQ(helper, TcxFilterMemoHelper::StaticClass());
  TcxFilterControlOperators ops;
  FilterEditHelper(helper)->SupportedOperators(&p, nullptr, ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{fcoLike, fcoNotLike, 9, 10}));
}

class MemoCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(640, 420);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    FillRectWithColor(canvas_.get(), TRect(0, 0, 640, 420), clBtnFace);
    style_.SetColor(clWindow);
    style_.Font()->SetName("Tahoma");
    style_.Font()->SetSize(9);
  }
  std::unique_ptr<TcxCustomTextEditViewInfo> Cell(const Variant& value, const TRect& r) {
    std::unique_ptr<TcxCustomTextEditViewData> data(
        static_cast<TcxCustomTextEditViewData*>(props_.CreateViewData(&style_, true)));
    data->InplaceEditContentOffsets = TRect(1, 1, 1, 1);
    std::unique_ptr<TcxCustomTextEditViewInfo> vi(static_cast<TcxCustomTextEditViewInfo*>(props_.CreateViewInfo()));
    data->FillDisplayText(canvas_.get(), value, vi.get());
    data->CalculateViewInfo(canvas_.get(), r, TPoint(-1, -1), 0, {}, vi.get(), false);
    return vi;
  }
  Integer ContentHeight(const Variant& value, Integer width, bool in_place) {
    std::unique_ptr<TcxCustomEditViewData> data(props_.CreateViewData(&style_, in_place));
    TSize size;
    data->GetEditContentSize(canvas_.get(), value, TcxEditSizeProperties{-1, 0, width}, size);
    return size.cy;
  }
  Integer LineHeight() {
    canvas_->ApplyFont(style_.Font());
    return canvas_->MeasureTextHeight("Zg");
  }
  TcxMemoProperties props_{nullptr};
  TcxEditStyle style_{nullptr, false};
  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
};

TEST_F(MemoCellTest, OffsetsSizesAndRowsWithWordAndCharacterBreaks) {
  std::unique_ptr<TcxCustomEditViewData> standalone(props_.CreateViewData(&style_, false));
  std::unique_ptr<TcxCustomEditViewData> cell(props_.CreateViewData(&style_, true));
  TSize b;
  standalone->GetBorderSizes(b);
  EXPECT_EQ(b, TSize(2, 4));
  cell->GetBorderSizes(b);
  EXPECT_EQ(b, TSize(2, 2));

  // One word wider than the cell breaks between characters while wrapping; not otherwise.
  const Variant word(String(60, 'W'));
  const Integer line = LineHeight();
  props_.SetScrollBars(ssVertical);
  EXPECT_GT(ContentHeight(word, 80, true), 2 * line);
  props_.SetScrollBars(ssHorizontal);
  EXPECT_LT(ContentHeight(word, 80, true), 2 * line);
  props_.SetScrollBars(ssNone);
  const Variant words(String("one two three four five six seven eight nine ten"));
  EXPECT_GT(ContentHeight(words, 80, true), 2 * line);
  // Line breaks end rows whatever the wrapping.
  props_.SetWordWrap(false);
  EXPECT_GE(ContentHeight(Variant(String("a\r\nb\r\nc")), 400, true), 3 * line);

  // VisibleLineCount: the minimal content height and the auto height of a standalone memo.
  props_.SetWordWrap(true);
  props_.SetVisibleLineCount(3);
  TSize min_content, size;
  std::unique_ptr<TcxCustomEditViewInfo> vi(props_.CreateViewInfo());
  std::unique_ptr<TcxCustomEditViewData> data(props_.CreateViewData(&style_, false));
  data->CalculateViewInfo(canvas_.get(), TRect(0, 0, 100, 100), TPoint(-1, -1), 0, {}, vi.get(), false);
  data->GetEditSize(canvas_.get(), false, {}, min_content, vi.get(), size);
  EXPECT_EQ(min_content.cy, 4 + 3 * line);
  EXPECT_EQ(static_cast<TcxCustomMemoViewData*>(data.get())->GetMaxLineCount(), 3);
}

TEST_F(MemoCellTest, Sheet) {
  // A cell shows the first line, in rows; a word wider than the cell breaks between characters.
  const String text =
      "The first line of the memo is long enough to wrap at the cell's edge: "
      "Supercalifragilisticexpialidociouswithoutanyblanks\r\nThe second line is not shown.";
  struct Variant_ {
    bool WordWrap;
    TScrollStyle Bars;
    TAlignment Horz;
  };
  const Variant_ variants[] = {{true, ssNone, taLeftJustify},      {true, ssVertical, taCenter},
                               {true, ssNone, taRightJustify},     {false, ssNone, taLeftJustify},
                               {true, ssHorizontal, taLeftJustify}};
  Integer y = 6;
  for (const auto& v : variants) {
    props_.SetWordWrap(v.WordWrap);
    props_.SetScrollBars(v.Bars);
    props_.Alignment()->SetHorz(v.Horz);
    Cell(Variant(text), TRect(6, y, 206, y + 70))->PaintTo(canvas_.get());
    Cell(Variant(String("abc\r\ndef")), TRect(216, y, 316, y + 70))->PaintTo(canvas_.get());
    Cell(Variant(12345), TRect(326, y, 426, y + 70))->PaintTo(canvas_.get());
    y += 78;
  }
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_extra_memo_cells.png"));
}

// ---- the control ------------------------------------------------------------------------------------

class MemoTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeForms();
    form_ = new TForm(Application);
    form_->SetBounds(50, 50, 640, 420);
    memo_ = new TcxMemo(form_);
    memo_->SetBounds(10, 10, 200, 100);
    memo_->SetParent(form_);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  String Text(TcxCustomTextEdit* e) { return e->Text(); }
  TForm* form_ = nullptr;
  TcxMemo* memo_ = nullptr;
};

TEST_F(MemoTest, NewMemoSizeAndLinesAndTheInnerMemo) {
  EXPECT_EQ(memo_->Width(), 200);
  TcxMemo* fresh = new TcxMemo(form_);
  EXPECT_EQ(fresh->Width(), 185);
  EXPECT_EQ(fresh->Height(), 89);
  fresh->Free();
  memo_->Lines()->SetText("one\ntwo");
  EXPECT_EQ(memo_->Text(), "one\r\ntwo");
  EXPECT_EQ(memo_->Lines()->Count(), 2);
  memo_->QueryInnerMemo()->SetCaretPos(TPoint(1, 1));
  EXPECT_EQ(memo_->SelStart(), 6);
  EXPECT_EQ(memo_->QueryInnerMemo()->GetCaretPos(), TPoint(1, 1));
  EXPECT_TRUE(memo_->QueryInnerMemo()->GetWordWrap());
}

TEST_F(MemoTest, StandaloneKeysByTheWantSettings) {
  Focus(memo_);
  struct Step {
    int Vk;
    bool Shift, Ctrl;
    const char* Typed;
  };
  struct Case {
    bool WantReturns;
    const char* Start;
    Integer Caret;
    std::vector<Step> Steps;
    const char* Text;
    Integer SelStart, SelLength;
  };
  const Case cases[] = {
      {true, "ab", 1, {{VK_RETURN, false, false, nullptr}}, "a\r\nb", 3, 0},
      {false, "ab", 1, {{VK_RETURN, false, false, nullptr}}, "ab", 1, 0},
      {false, "ab", 1, {{VK_RETURN, false, true, nullptr}}, "a\r\nb", 3, 0},
      // Rows by the arrows (the text edit's trailing keys stay single-line).
      {true, "aaa\r\naaa", 1, {{VK_DOWN, false, false, "X"}}, "aaa\r\naXaa", 7, 0},
      // Ctrl+A selects all; Ctrl+Shift+A does not.
      {true, "ab\r\ncd", 1, {{'A', false, true, nullptr}}, "ab\r\ncd", 0, 6},
      {true, "ab\r\ncd", 1, {{'A', true, true, nullptr}}, "ab\r\ncd", 1, 0},
  };
  for (const Case& c : cases) {
    memo_->Properties()->SetWantReturns(c.WantReturns);
    memo_->SetText(c.Start);
    memo_->SetSelStart(c.Caret);
    memo_->SetSelLength(0);
    for (const Step& s : c.Steps) {
      S().PressKey(s.Vk, s.Shift, s.Ctrl);
      if (s.Typed) S().TypeText(s.Typed);
      Pump();
    }
    EXPECT_EQ(Text(memo_), c.Text) << c.Start;
    EXPECT_EQ(std::make_pair(memo_->SelStart(), memo_->SelLength()), std::make_pair(c.SelStart, c.SelLength))
        << c.Start;
  }
  EXPECT_EQ(VarToStr(memo_->EditValue()), "ab\r\ncd");
}

TEST_F(MemoTest, InPlaceEnterEscAndActivation) {
  auto* host = new TPanel(form_);
  host->SetBounds(10, 150, 300, 120);
  host->SetParent(form_);
  auto* memo = static_cast<TcxMemo*>(TcxCustomEdit::CreateInplace(TcxMemo::StaticClass(), form_));
  memo->SetParent(host);
  memo->SetBounds(5, 5, 200, 80);
  std::vector<Word> down, trailing;
  memo->OnKeyDown = [&](TObject*, Word& key, TShiftState) { down.push_back(key); };
  memo->OnAfterKeyDown = [&](TObject*, Word& key, TShiftState) { trailing.push_back(key); };

  // Enter activates without a line break; a letter types itself.
  memo->WriteEditValue(Variant(String("abc")));
  TcxCustomEditData* data = nullptr;
  memo->ActivateByKey(U'\r', data);
  Pump();
  EXPECT_EQ(memo->Text(), "abc");
  EXPECT_TRUE(memo->DeactivateInPlace());
  memo->WriteEditValue(Variant(String("abc")));
  memo->ActivateByKey(U'x', data);
  Pump();
  EXPECT_EQ(memo->Text(), "xabc");  // AutoSelect is off: typed at the caret, once

  struct Case {
    bool WantReturns, Ctrl;
    bool Breaks, KeyEvent;
  };
  // The line-breaking Enter bypasses the key events; Ctrl+Enter (a line feed) always breaks.
  const Case cases[] = {{true, false, true, false}, {true, true, true, true},
                        {false, true, true, false}, {false, false, false, true}};
  for (const Case& c : cases) {
    memo->Properties()->SetWantReturns(c.WantReturns);
    memo->SetText("ab");
    memo->SetSelStart(1);
    down.clear();
    S().PressKey(VK_RETURN, false, c.Ctrl);
    Pump();
    EXPECT_EQ(memo->Text() == "a\r\nb", c.Breaks) << c.WantReturns << c.Ctrl;
    EXPECT_EQ(std::count(down.begin(), down.end(), VK_RETURN) == 1, c.KeyEvent) << c.WantReturns << c.Ctrl;
  }
  // Esc reaches the host: the key events see it and the memo keeps its text.
  memo->SetText("keep");
  down.clear();
  trailing.clear();
  S().PressKey(VK_ESCAPE);
  Pump();
  EXPECT_EQ(memo->Text(), "keep");
  EXPECT_EQ(std::count(down.begin(), down.end(), VK_ESCAPE), 1);
  EXPECT_EQ(std::count(trailing.begin(), trailing.end(), VK_ESCAPE), 1);
  memo->Free();
}

TEST_F(MemoTest, PasteAndTypingKeepWhatFitsInMaxLengthCharacters) {
  Focus(memo_);
  struct Case {
    const char* Start;
    Integer Caret;
    const char* Pasted;
    const char* Text;
  };
  const Case cases[] = {
      {"12345", 5, "abcdefghij", "12345abc"},
      {"12345678", 8, "abcdefghij", "12345678"},
      {"日本語です", 5, "日本語です", "日本語です日本語"},
      {"ab", 1, "x\r\ny", "ax\r\nyb"},
  };
  memo_->Properties()->SetMaxLength(8);
  for (const Case& c : cases) {
    memo_->Properties()->SetMaxLength(0);
    memo_->SetText(c.Start);
    memo_->Properties()->SetMaxLength(8);
    memo_->SetSelStart(c.Caret);
    Clipboard()->SetAsText(c.Pasted);
    S().PressKey('V', false, true);
    Pump();
    EXPECT_EQ(memo_->Text(), c.Text) << c.Pasted;
  }
  // Typing past the limit keeps what fits, whole characters.
  memo_->Properties()->SetMaxLength(0);
  memo_->SetText("");
  memo_->Properties()->SetMaxLength(3);
  S().TypeText("日本語です");
  EXPECT_EQ(memo_->Text(), "日本語");
  memo_->Properties()->SetMaxLength(0);
}

TEST_F(MemoTest, ReplaceSelectionTurnsAnLfCrPairIntoTwoBreaks) {
  memo_->SetText("ab");
  memo_->SetSelStart(1);
  SendMessage(memo_->InnerMemo()->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("x\n\ry"));
  EXPECT_EQ(memo_->Text(), "ax\r\n\r\nyb");
  EXPECT_EQ(VarToStr(memo_->EditValue()), "ax\r\n\r\nyb");
  SendMessage(memo_->InnerMemo()->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\r\n"));
  EXPECT_EQ(memo_->Text(), "ax\r\n\r\ny\r\nb");
}

TEST_F(MemoTest, SwitchingScrollBarsRecreatesBothWindowsAndThePaintedBarsFollow) {
  String text;
  for (int i = 0; i < 30; ++i) text += "line " + IntToStr(i) + " with some words to wrap\r\n";
  memo_->SetText(text);
  Pump();
  EXPECT_FALSE(memo_->WantsScrollBars());
  const HWND outer = memo_->Handle(), inner = memo_->InnerMemo()->Handle();
  memo_->Properties()->SetScrollBars(ssBoth);
  Pump();
  EXPECT_NE(memo_->Handle(), outer);
  EXPECT_NE(memo_->InnerMemo()->Handle(), inner);
  EXPECT_TRUE(memo_->WantsScrollBars());
  EXPECT_TRUE(GetWindowLong(memo_->InnerMemo()->Handle(), GWL_STYLE) & WS_VSCROLL);
  if (PaintedScrollBarsAvailable()) {
    ASSERT_NE(memo_->VerticalBar(), nullptr);
    BroadcastSystemChange(WM_SETTINGCHANGE, 0, 0);  // the settings-change notification refreshes the bars
    Pump();
    EXPECT_TRUE(memo_->VerticalBar()->Visible());
    // Scrolling the inner memo moves the painted bar.
    SendMessage(memo_->InnerMemo()->Handle(), EM_LINESCROLL, 0, 5);
    Pump();
    EXPECT_EQ(memo_->VerticalBar()->Position(), 5);
  }
  memo_->Properties()->SetScrollBars(ssNone);
  Pump();
  EXPECT_FALSE(memo_->WantsScrollBars());
  EXPECT_FALSE(GetWindowLong(memo_->InnerMemo()->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(memo_->Text(), text);
}

TEST_F(MemoTest, SheetOfStandaloneMemosWithScrollBarsInEachLookAndFeel) {
  memo_->Free();
  memo_ = nullptr;
  String text;
  for (int i = 0; i < 12; ++i) text += "Row " + IntToStr(i) + ": a line that is longer than the memo is wide\r\n";
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  for (int i = 0; i < 5; ++i) {
    auto* m = new TcxMemo(form_);
    m->SetBounds(10 + (i % 3) * 205, 10 + (i / 3) * 170, 195, 150);
    m->SetParent(form_);
    if (i < 4) m->Style()->LookAndFeel()->SetKind(kinds[i]);
    else m->Style()->LookAndFeel()->SetNativeStyle(true);
    m->Properties()->SetScrollBars(i % 2 ? ssVertical : ssBoth);
    m->SetText(text);
  }
  Pump();
  S().Snapshot(form_->Handle(), "editors_extra_memo_standalone.png", true);
}

// ---- a memo column of the CSV query ----------------------------------------------------------------

TEST_F(MemoTest, CsvQueryLongTextFieldGetsAReadOnlyMemo) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("korvan_memo_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const String long_text(400, 'z');
  {
    std::ofstream f(dir / "notes.csv", std::ios::binary);
    f << "id,note\r\n1,\"first line\r\nsecond line " << long_text << "\"\r\n2,short\r\n";
  }
  TADOQuery q(nullptr);
  q.SetCursorType(ctStatic);
  q.SetLockType(ltReadOnly);
  q.SetConnectionString("Provider=TextProvider;Extended Properties=\"DRIVER={Text Driver (*.txt; *.csv)};DBQ=" +
                        dir.string() + "\"");
  q.SQL()->SetText("SELECT * FROM notes.csv");
  q.Open();
  TField* note = q.FieldByName("note");
  ASSERT_EQ(note->DataType(), ftMemo);

  TcxEditRepositoryItem* item = GetDefaultEditDBRepositoryItems()->GetItemByField(note);
  ASSERT_NE(item, nullptr);
  auto* props = dynamic_cast<TcxMemoProperties*>(item->Properties());
  ASSERT_NE(props, nullptr);
  TDataSource source(nullptr);
  source.SetDataSet(&q);
  TcxCustomDBEditDefaultValuesProvider provider(nullptr);
  provider.SetDataSource(&source);
  provider.SetField(note);
  props->AttachDefaultValuesProvider(&provider);
  EXPECT_FALSE(props->CanModifyEditValue());
  // The cell shows the first line; the whole text is there for whoever asks.
  EXPECT_EQ(props->ValueToDisplayText(note->Value(), false, true), "first line");
  EXPECT_EQ(CharCount(props->ValueToDisplayText(note->Value(), true, true)), 10 + 2 + 12 + 400);

  // Painted through the memo's view info.
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(220, 60);
  TcxCanvas canvas(bitmap.Canvas());
  TcxEditStyle style(nullptr, false);
  std::unique_ptr<TcxCustomEditViewData> data(props->CreateViewData(&style, true));
  std::unique_ptr<TcxCustomEditViewInfo> vi(props->CreateViewInfo());
  EXPECT_NE(dynamic_cast<TcxCustomMemoViewInfo*>(vi.get()), nullptr);
  data->FillDisplayText(&canvas, note->Value(), vi.get());
  data->CalculateViewInfo(&canvas, TRect(0, 0, 220, 60), TPoint(-1, -1), 0, {}, vi.get(), false);
  vi->PaintTo(&canvas);
  EXPECT_EQ(static_cast<TcxCustomTextEditViewInfo*>(vi.get())->Text, "first line");

  // The in-place memo of the column takes no typing, as the data set takes no change.
  auto* memo = static_cast<TcxMemo*>(TcxCustomEdit::CreateInplace(props->GetContainerClass(), form_));
  memo->SetParent(form_);
  memo->SetBounds(10, 200, 200, 80);
  memo->Properties()->Assign(props);
  memo->Properties()->AttachDefaultValuesProvider(&provider);
  memo->WriteEditValue(note->Value());
  TcxCustomEditData* edit_data = nullptr;
  memo->ActivateByKey(U'x', edit_data);
  Pump();
  S().TypeText("yz");
  Clipboard()->SetAsText("pasted");
  S().PressKey('V', false, true);
  Pump();
  EXPECT_EQ(memo->Text(), VarToStr(note->Value()));
  memo->Free();
  props->AttachDefaultValuesProvider(nullptr);
  q.Close();
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
