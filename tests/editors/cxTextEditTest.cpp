// The text kind: display texts, formats, ranges, list acceptance, case and password echo, the
// locale change, and text cells laid out, measured, hint-tested and painted.
#include "editors/cxTextEdit.h"

#include <gtest/gtest.h>

#include "editors/cxEditPaintUtils.h"
#include "gdi/Gdi.h"
#include "tests/editors/EditorsTestSupport.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "user/WinUser.h"

namespace {

// A numeric kind as the spin and currency kinds are.
class TNumericProperties : public TcxCustomTextEditProperties {
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool HasNumericValue() override { return true; }
  bool UsesThousandSeparators(bool editing) override { return thousands && !editing; }
  bool thousands = false;
};

class TListProperties : public TcxCustomTextEditProperties {
 public:
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  TcxTextEditingStyle GetEditingStyle() override { return style; }
  TcxTextEditingStyle style = tesListOnly;
};

class TFormatProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  TFormatProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  String DefaultDisplayFormat() override { return "#,##0.0"; }
  double DefaultMaxValue() override { return 100; }
  Integer DefaultMaxLength() override { return 12; }
};

using TextPropertiesTest = editors_test::TLocaleFixture;

TEST_F(TextPropertiesTest, DisplayTextsWithFormatsProvidersAndRanges) {
  TNumericProperties p(nullptr);
  struct Case {
    Variant value;
    const char* format;
    const char* text;
  } cases[] = {
      {Variant(3), "0.00", "3.00"},   {Variant(1234.5), "#,##0.00", "1,234.50"},
      {Variant("7"), "0.0", "7.0"},   {Null(), "0.00", ""},
      {Variant(""), "0.00", ""},      {Variant(-2.5), "", "-2.5"},
  };
  for (const auto& c : cases) {
    p.SetDisplayFormat(c.format);
    EXPECT_EQ(p.ValueToDisplayText(c.value, true, true), c.text) << c.format;
  }
  // Focused without an edit format: the general form.
  p.SetDisplayFormat("0.00");
  Variant display;
  p.PrepareDisplayValue(Variant(3), display, true);
  EXPECT_EQ(display.AsString(), "3");
  p.SetUseDisplayFormatWhenEditing(true);
  p.PrepareDisplayValue(Variant(3), display, true);
  EXPECT_EQ(display.AsString(), "3.00");
  // Thousand separators on the general form.
  p.SetUseDisplayFormatWhenEditing(false);
  p.thousands = true;
  p.PrepareDisplayValue(Variant(1234567.25), display, true);
  EXPECT_EQ(display.AsString(), "1,234,567.25");
  // A provider's display format while none is assigned.
  TNumericProperties q(nullptr);
  TFormatProvider provider;
  q.AttachDefaultValuesProvider(&provider);
  EXPECT_EQ(q.ValueToDisplayText(Variant(1234), true, true), "1,234.0");
  EXPECT_EQ(q.MaxLength(), 12);
  EXPECT_DOUBLE_EQ(q.MaxValue(), 100);
  // A value a numeric kind cannot show reaches the caller as an error.
  const Variant date = VarFromDateTime(45000);
  EXPECT_THROW(q.ValueToDisplayText(date, true, true), EConvertError);
  try {
    q.ValueToDisplayText(date, true, true);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Could not convert to numeric value");
  }
}

TEST_F(TextPropertiesTest, ThousandSeparatorsAndExponents) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"1234", "1,234"},     {"-1234", "-1,234"},     {"123", "123"},
               {"1234567", "1,234,567"}, {" 12345.678 ", " 12,345.678 "},
               {"1234E5", "1,234E5"},  {"$1234", "$1,234"},      {"1,2345", "12,345"}};
  for (const auto& c : cases) {
    String s = c.in;
    AddThousandSeparators(s);
    EXPECT_EQ(s, c.out) << c.in;
  }
}

TEST_F(TextPropertiesTest, RangesAndBounds) {
  TNumericProperties p(nullptr);
  p.SetMaxValue(0);
  EXPECT_TRUE(p.HasValueRange());
  EXPECT_TRUE(p.HasValueBound(1));
  EXPECT_FALSE(p.HasValueBound(0));
  struct Case {
    const char* text;
    bool error;
  } cases[] = {{"1", true}, {"-1", false}, {"0", false}};
  for (const auto& c : cases) {
    Variant v(c.text);
    String text;
    bool error = false;
    p.ValidateDisplayValue(v, text, error, nullptr);
    EXPECT_EQ(error, c.error) << c.text;
    if (c.error) {
      EXPECT_EQ(text, "Value out of bounds");
    }
  }
  p.SetMinValue(10);
  p.SetMaxValue(5);
  EXPECT_FALSE(p.HasValueRange());
  p.SetMaxLength(-5);
  EXPECT_EQ(p.MaxLength(), 0);
  EXPECT_TRUE(p.IsMaxLengthStored());
}

TEST_F(TextPropertiesTest, ListAcceptanceCaseAndPasswordEcho) {
  TListProperties p(nullptr);
  p.LookupItems()->Add("Apple");
  p.LookupItems()->Add("Pear");
  p.SetCharCase(ecUpperCase);
  Variant v("apple");
  EXPECT_TRUE(p.AcceptDisplayText(v, true));
  EXPECT_EQ(v.AsString(), "APPLE");
  Variant other("plum");
  EXPECT_FALSE(p.AcceptDisplayText(other, true));
  Variant empty("");
  EXPECT_TRUE(p.AcceptDisplayText(empty, true));
  p.style = tesFreeText;
  EXPECT_TRUE(p.AcceptDisplayText(other, true));
  // Password echo: one mask character per character, whatever its encoding; no case.
  TcxTextEditProperties t(nullptr);
  t.SetEchoMode(eemPassword);
  t.SetCharCase(ecUpperCase);
  EXPECT_EQ(t.ValueToDisplayText(Variant("abc"), true, true), "***");
  EXPECT_EQ(t.ValueToDisplayText(Variant("日本é"), true, true), "***");
  t.SetPasswordChar(U'•');
  EXPECT_EQ(t.ValueToDisplayText(Variant("ab"), true, true), "••");
  t.SetEchoMode(eemNormal);
  EXPECT_EQ(t.ValueToDisplayText(Variant("abc"), true, true), "ABC");
  // View styles.
  t.SetViewStyle(vsButtonsOnly);
  EXPECT_EQ(t.ViewStyle(), vsButtonsOnly);
  EXPECT_TRUE(t.HideCursor());
  t.SetViewStyle(vsNormal);
  EXPECT_FALSE(t.HideCursor());
  EXPECT_EQ(t.GetSupportedOperations() & 0x15E, 0x15E);
}

class TextLocaleChangeTest : public testing_support::THeadlessFixture {};

TEST_F(TextLocaleChangeTest, FormatChangedOnALocaleChange) {
  TcxTextEditProperties p(nullptr);
  int notifications = 0;
  bool in_change = false;
  p.PropertiesChangedHandler = [&](TObject*) {
    ++notifications;
    in_change = p.InFormatChange();
  };
  BroadcastSystemChange(WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(notifications, 1);
  EXPECT_TRUE(in_change);
  EXPECT_FALSE(p.InFormatChange());
}

// ---- text cells -----------------------------------------------------------------------------------

class TextCellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bitmap_.SetPixelFormat(pf32bit);
    bitmap_.SetSize(520, 320);
    canvas_ = std::make_unique<TcxCanvas>(bitmap_.Canvas());
    FillRectWithColor(canvas_.get(), TRect(0, 0, 520, 320), clBtnFace);
    style_.SetColor(clWindow);
    style_.Font()->SetName("Tahoma");
    style_.Font()->SetSize(9);
  }
  std::unique_ptr<TcxCustomTextEditViewInfo> Cell(TcxCustomTextEditProperties& props,
                                                  const Variant& value, const TRect& r,
                                                  Byte paint_options = 0, Integer max_lines = 0,
                                                  Integer hl_start = 0, Integer hl_length = 0) {
    std::unique_ptr<TcxCustomTextEditViewData> data(
        static_cast<TcxCustomTextEditViewData*>(props.CreateViewData(&style_, true)));
    data->PaintOptions = paint_options;
    data->MaxLineCount = max_lines;
    data->HighlightStart = hl_start;
    data->HighlightLength = hl_length;
    data->InplaceEditContentOffsets = TRect(1, 1, 1, 1);
    std::unique_ptr<TcxCustomTextEditViewInfo> vi(
        static_cast<TcxCustomTextEditViewInfo*>(props.CreateViewInfo()));
    data->FillDisplayText(canvas_.get(), value, vi.get());
    data->CalculateViewInfo(canvas_.get(), r, TPoint(-1, -1), 0, {}, vi.get(), false);
    return vi;
  }
  Integer LineHeight() {
    canvas_->ApplyFont(style_.Font());
    return canvas_->MeasureTextHeight("Zg");
  }
  bool HasColor(const TRect& r, TColor c) {
    const COLORREF rgb = ColorToRGB(c);
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x)
        if (GetPixel(canvas_->DeviceContext(), x, y) == rgb) return true;
    return false;
  }
  TBitmap bitmap_;
  std::unique_ptr<TcxCanvas> canvas_;
  TcxEditStyle style_{nullptr, false};
};

TEST_F(TextCellTest, FlagsPerAlignmentWrappingAndEllipsis) {
  TcxTextEditProperties p(nullptr);
  struct Case {
    TAlignment horz;
    TcxEditVertAlignment vert;
    Integer flags;
  } cases[] = {
      {taLeftJustify, taTopJustify, tofLeft | tofTop},
      {taRightJustify, taVCenter, tofRight | tofCenterVert},
      {taCenter, taBottomJustify, tofCenterHorz | tofBottom},
  };
  for (const auto& c : cases) {
    p.Alignment()->SetHorz(c.horz);
    p.Alignment()->SetVert(c.vert);
    auto vi = Cell(p, Variant("text"), TRect(0, 0, 100, 20));
    EXPECT_EQ(vi->DrawTextFlags,
              c.flags | tofSingleLine | tofKeepLeftInside | tofKeepTopInside);
  }
  p.Alignment()->SetHorz(taLeftJustify);
  p.Alignment()->SetVert(taVCenter);
  // A cell that may wrap: a long text becomes multi-line, a short one stays single-line.
  auto wrapped = Cell(p, Variant("several words that need more than one row"), TRect(0, 0, 80, 200), 2);
  EXPECT_TRUE(wrapped->DrawTextFlags & tofWordBreak);
  EXPECT_FALSE(wrapped->DrawTextFlags & tofSingleLine);
  EXPECT_TRUE(wrapped->DrawTextFlags & tofCompleteRowsOnly);
  auto low = Cell(p, Variant("several words that need more than one row"), TRect(0, 0, 80, 20), 2);
  EXPECT_EQ(low->DrawTextFlags & tofVertMask, 0);  // too many rows: from the top
  auto short_text = Cell(p, Variant("ab"), TRect(0, 0, 80, 200), 2);
  EXPECT_TRUE(short_text->DrawTextFlags & tofSingleLine);
  auto ellipsis = Cell(p, Variant("ab"), TRect(0, 0, 80, 20), 8);
  EXPECT_TRUE(ellipsis->DrawTextFlags & tofEndEllipsis);
  // The text rectangle: the client rectangle less the text insets.
  EXPECT_EQ(ellipsis->TextRect, TRect(2, 2, 78, 18));
}

TEST_F(TextCellTest, HighlightedRanges) {
  TcxTextEditProperties p(nullptr);
  auto vi = Cell(p, Variant("abcdef"), TRect(10, 10, 200, 30), 0, 0, 0, 3);
  EXPECT_EQ(vi->SelBackgroundColor, clHighlight);
  EXPECT_EQ(vi->SelTextColor, clHighlightText);
  vi->PaintTo(canvas_.get());
  EXPECT_TRUE(HasColor(TRect(10, 10, 200, 30), clHighlight));
  style_.SetColor(clHighlight);
  vi = Cell(p, Variant("abcdef"), TRect(10, 40, 200, 60), 0, 0, 0, 3);
  EXPECT_EQ(vi->SelBackgroundColor, TColor(0));
  EXPECT_EQ(vi->SelTextColor, TColor(0xFFFFFF));
  // Given colours.
  style_.SetColor(clWindow);
  std::unique_ptr<TcxCustomTextEditViewData> data(
      static_cast<TcxCustomTextEditViewData*>(p.CreateViewData(&style_, true)));
  data->HighlightLength = 2;
  data->OverrideColor1 = clRed;
  TcxCustomTextEditViewInfo info;
  data->FillDisplayText(canvas_.get(), Variant("xy"), &info);
  EXPECT_EQ(info.SelTextColor, clRed);
  EXPECT_EQ(info.SelBackgroundColor, TColor(0xFFFF00));
  // A range starting beyond the text paints no highlight.
  FillRectWithColor(canvas_.get(), TRect(0, 0, 520, 320), clBtnFace);
  vi = Cell(p, Variant("abc"), TRect(10, 10, 200, 30), 0, 0, 5, 3);
  vi->PaintTo(canvas_.get());
  EXPECT_FALSE(HasColor(TRect(10, 10, 200, 30), clHighlight));
}

TEST_F(TextCellTest, MeasuringForAutoHeightAndWidth) {
  TcxTextEditProperties p(nullptr);
  const Integer line = LineHeight();
  std::unique_ptr<TcxCustomEditViewData> data(p.CreateViewData(&style_, true));
  TSize size;
  TcxEditSizeProperties free_size;
  MeasureEditValueExtent(data.get(), canvas_.get(), Variant("wide text"), free_size, nullptr, size);
  canvas_->ApplyFont(style_.Font());
  EXPECT_EQ(size.cx, canvas_->MeasureTextWidth("wide text") + 3);
  EXPECT_EQ(size.cy, line + 2);
  // Within a width: rows of "Zg" height, capped by the line count.
  const String text = "one two three four five six seven eight nine ten";
  TcxEditSizeProperties in_width;
  in_width.Width = 60;
  MeasureEditValueExtent(data.get(), canvas_.get(), Variant(text), in_width, nullptr, size);
  EXPECT_EQ(size.cx, 60);
  EXPECT_GT(size.cy, 3 * line);
  in_width.MaxLineCount = 2;
  MeasureEditValueExtent(data.get(), canvas_.get(), Variant(text), in_width, nullptr, size);
  EXPECT_EQ(size.cy, 2 * line + 2);
  // An empty text measures 0 high with paint option 1, one line otherwise.
  in_width.MaxLineCount = 0;
  MeasureEditValueExtent(data.get(), canvas_.get(), Variant(""), in_width, nullptr, size);
  EXPECT_EQ(size.cy, line + 2);
  data->PaintOptions = 1;
  MeasureEditValueExtent(data.get(), canvas_.get(), Variant(""), in_width, nullptr, size);
  EXPECT_EQ(size.cy, 0);
}

TEST_F(TextCellTest, LineLimitsAndHints) {
  TcxTextEditProperties p(nullptr);
  const String text = "one two three four five six seven eight nine ten";
  auto vi = Cell(p, Variant(text), TRect(0, 0, 60, 200), 2 | 8, 2);
  EXPECT_EQ(vi->LineLimit, 2);
  String hint;
  bool multi = false;
  TRect bounds;
  EXPECT_TRUE(vi->QueryHint(canvas_.get(), TPoint(5, 5), hint, multi, bounds));
  EXPECT_EQ(hint, text);
  EXPECT_TRUE(multi);
  auto fits = Cell(p, Variant("ok"), TRect(0, 0, 100, 20));
  EXPECT_FALSE(fits->QueryHint(canvas_.get(), TPoint(5, 5), hint, multi, bounds));
  EXPECT_EQ(hint, "");
  auto wide = Cell(p, Variant("a text wider than its cell"), TRect(0, 0, 40, 20));
  EXPECT_TRUE(wide->QueryHint(canvas_.get(), TPoint(5, 5), hint, multi, bounds));
  EXPECT_FALSE(multi);
  EXPECT_FALSE(wide->QueryHint(canvas_.get(), TPoint(60, 5), hint, multi, bounds));
}

TEST_F(TextCellTest, UnformattableNumbersPaintTheirText) {
  TNumericProperties p(nullptr);
  p.SetDisplayFormat("0;0;0;0");  // four sections: FormatFloat refuses it
  EXPECT_THROW(p.ValueToDisplayText(Variant(5), true, true), EConvertError);
  auto vi = Cell(p, Variant(5), TRect(0, 0, 100, 20));
  EXPECT_EQ(vi->Text, "5");
  EXPECT_NO_THROW(vi->PaintTo(canvas_.get()));
  auto date = Cell(p, VarFromDateTime(EncodeDate(2024, 2, 14)), TRect(0, 0, 100, 20));
  EXPECT_EQ(date->Text, "2/14/2024");
}

TEST_F(TextCellTest, Sheet) {
  TcxTextEditProperties p(nullptr);
  const String text = "The quick brown fox jumps over the lazy dog";
  const TAlignment horz[] = {taLeftJustify, taCenter, taRightJustify};
  Integer y = 6;
  for (Byte options : {Byte(0), Byte(2), Byte(8), Byte(2 | 8)}) {
    Integer x = 6;
    for (auto h : horz) {
      p.Alignment()->SetHorz(h);
      p.Alignment()->SetVert(taVCenter);
      auto vi = Cell(p, Variant(text), TRect(x, y, x + 150, y + 44), options, options == 10 ? 2 : 0,
                     4, 5);
      vi->PaintTo(canvas_.get());
      x += 160;
    }
    y += 52;
  }
  bitmap_.SaveToPngFile(testing_support::SheetPath("editors_text_cells.png"));
}

}  // namespace
