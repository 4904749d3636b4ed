// Styles: resolving view parameters (explicit style, role style, style sheet, default),
// change propagation through style sheets, teardown, and streaming through form text.
#include <gtest/gtest.h>

#include "foundation/cxStyles.h"
#include "rtl/TypInfo.h"
#include "tests/foundation/ControlTestSupport.h"
#include "vcl/FormReader.h"

namespace {

constexpr TColor kDefaultColor = 0x111111, kDefaultText = 0x222222;

// A styles object with two roles whose defaults come from its own font and two colours.
class TTestStyles : public TcxStyles {
  KORVAN_CLASS(TTestStyles, TcxStyles)

 public:
  using CreateArgType = TPersistent*;
  explicit TTestStyles(TPersistent* owner) : TcxStyles(owner) {}
  TFont DefaultFont;
  std::vector<Integer> Changes;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override {
    TcxStyles::DefaultViewParams(index, data, params);
    params.Color = kDefaultColor + index;
    params.TextColor = kDefaultText;
    params.Font = &DefaultFont;
  }
  void IndexChanged(Integer index) override { Changes.push_back(index); }
  TcxStyle* Content() { return GetIndexedStyle(0); }
  void SetContent(TcxStyle* s) { SetIndexedStyle(0, s); }
  TcxStyle* Header() { return GetIndexedStyle(1); }
  void SetHeader(TcxStyle* s) { SetIndexedStyle(1, s); }
};
KORVAN_IMPLEMENT_CLASS(TTestStyles)

class TTestStyleSheet : public TcxCustomStyleSheet {
  KORVAN_CLASS(TTestStyleSheet, TcxCustomStyleSheet)

 public:
  explicit TTestStyleSheet(TComponent* owner) : TcxCustomStyleSheet(owner) {}
  TClass StylesClass() override { return TTestStyles::StaticClass(); }
  TTestStyles* Styles() { return static_cast<TTestStyles*>(OwnedStyles()); }
};
KORVAN_IMPLEMENT_CLASS(TTestStyleSheet)

class StylesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeCxStyles();
    owner_ = new TComponent(nullptr);
    repo_ = new TcxStyleRepository(owner_);
    styles_ = std::make_unique<TTestStyles>(owner_);
  }
  void TearDown() override {
    styles_.reset();
    owner_->Free();
  }
  TcxStyle* NewStyle() { return static_cast<TcxStyle*>(repo_->NewStyle(TcxStyle::StaticClass())); }
  TTestStyleSheet* NewSheet() {
    return static_cast<TTestStyleSheet*>(repo_->NewStyleSheet(TTestStyleSheet::StaticClass()));
  }
  TComponent* owner_ = nullptr;
  TcxStyleRepository* repo_ = nullptr;
  std::unique_ptr<TTestStyles> styles_;
};

TEST_F(StylesTest, ValuesResolveFromExplicitStyleThenRoleThenDefault) {
  TcxStyle* role = NewStyle();
  TcxStyle* expl = NewStyle();
  TFont roleFont;
  roleFont.SetSize(14);
  struct Case {
    const char* name;
    std::function<void()> setup;
    TColor color, textColor;
    bool roleFontUsed;
  } cases[] = {
      {"nothing", [] {}, kDefaultColor, kDefaultText, false},
      {"role colour only", [&] { role->SetColor(clRed); }, clRed, kDefaultText, false},
      {"role font", [&] { role->SetFont(&roleFont); }, clRed, kDefaultText, true},
      {"explicit text colour only", [&] { expl->SetTextColor(clBlue); }, clRed, clBlue, true},
      {"explicit colour wins", [&] { expl->SetColor(clGreen); }, clGreen, clBlue, true},
      {"role colour back to default", [&] { role->SetColor(clDefault); }, clGreen, clBlue, true},
  };
  styles_->SetContent(role);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.setup();
    TcxStyleParams p;
    styles_->ResolveViewParams(0, nullptr, expl, p);
    EXPECT_EQ(p.Color, c.color);
    EXPECT_EQ(p.TextColor, c.textColor);
    EXPECT_EQ(p.Font, c.roleFontUsed ? role->Font() : &styles_->DefaultFont);
    EXPECT_EQ(p.Bitmap, nullptr);
  }
  EXPECT_FALSE(role->AssignedValues().Contains(TcxStyleValue::svColor));
  EXPECT_EQ(styles_->MaxDefaultIndex(), 0);
}

TEST_F(StylesTest, AssignedValuesFollowTheValuesSet) {
  TcxStyle* s = NewStyle();
  s->SetColor(clRed);
  EXPECT_EQ(s->AssignedValues(), TcxStyleValues{TcxStyleValue::svColor});
  s->SetColor(clDefault);
  EXPECT_EQ(s->AssignedValues(), TcxStyleValues{});
  TFont f;
  s->SetFont(&f);
  EXPECT_TRUE(s->AssignedValues().Contains(TcxStyleValue::svFont));
  TBitmap b;
  b.SetSize(4, 4);
  s->SetBitmap(&b);
  EXPECT_TRUE(s->AssignedValues().Contains(TcxStyleValue::svBitmap));
  TBitmap empty;
  s->SetBitmap(&empty);
  EXPECT_FALSE(s->AssignedValues().Contains(TcxStyleValue::svBitmap));
  s->ResetValues();
  EXPECT_EQ(s->AssignedValues(), TcxStyleValues{});
}

TEST_F(StylesTest, StyleSheetSuppliesRolesAndItsChangesReachEveryUser) {
  TTestStyleSheet* sheet = NewSheet();
  TcxStyle* header = NewStyle();
  header->SetColor(clYellow);
  sheet->Styles()->SetHeader(header);
  TTestStyles other(owner_);
  styles_->SetStyleSheet(sheet);
  other.SetStyleSheet(sheet);
  EXPECT_EQ(styles_->Changes, (std::vector<Integer>{1}));
  EXPECT_EQ(styles_->Header(), header);
  EXPECT_EQ(styles_->ItemCount(), 0);
  // Storing the style the sheet supplies, or clearing a role only the sheet fills, stores nothing.
  styles_->Changes.clear();
  styles_->SetHeader(header);
  styles_->SetHeader(nullptr);
  EXPECT_EQ(styles_->ItemCount(), 0);
  EXPECT_TRUE(styles_->Changes.empty());
  header->SetTextColor(clNavy);
  EXPECT_EQ(styles_->Changes, (std::vector<Integer>{1}));
  EXPECT_EQ(other.Changes.back(), 1);
  TcxStyleParams p;
  styles_->ResolveViewParams(1, nullptr, nullptr, p);
  EXPECT_EQ(p.Color, clYellow);
  other.SetStyleSheet(nullptr);
}

TEST_F(StylesTest, UnusableSheetsAreIgnored) {
  TTestStyleSheet* a = NewSheet();
  TTestStyleSheet* b = NewSheet();
  auto* wrongClass = static_cast<TcxCustomStyleSheet*>(repo_->NewStyleSheet(TcxCustomStyleSheet::StaticClass()));
  styles_->SetStyleSheet(wrongClass);
  EXPECT_EQ(styles_->StyleSheet(), nullptr);
  a->Styles()->SetStyleSheet(a);  // its own host
  EXPECT_EQ(a->Styles()->StyleSheet(), nullptr);
  a->Styles()->SetStyleSheet(b);
  b->Styles()->SetStyleSheet(a);  // would form a cycle
  EXPECT_EQ(b->Styles()->StyleSheet(), nullptr);
  // Fallback follows the chain of sheets.
  TcxStyle* s = NewStyle();
  b->Styles()->SetContent(s);
  styles_->SetStyleSheet(a);
  EXPECT_EQ(styles_->Content(), s);
}

TEST_F(StylesTest, DestroyingAStyleRemovesItEverywhere) {
  TTestStyleSheet* sheet = NewSheet();
  TcxStyle* s = NewStyle();
  styles_->SetContent(s);
  sheet->Styles()->SetHeader(s);
  TTestStyles user(owner_);
  user.SetStyleSheet(sheet);
  styles_->Changes.clear();
  user.Changes.clear();
  s->Free();
  EXPECT_EQ(styles_->ItemCount(), 0);
  EXPECT_EQ(sheet->Styles()->ItemCount(), 0);
  EXPECT_EQ(styles_->Changes, (std::vector<Integer>{0}));
  EXPECT_EQ(user.Changes, (std::vector<Integer>{1}));
  EXPECT_EQ(repo_->StyleCount(), 0);
  user.SetStyleSheet(nullptr);
}

TEST_F(StylesTest, DestroyingASheetDetachesItsUsers) {
  TTestStyleSheet* sheet = NewSheet();
  styles_->SetStyleSheet(sheet);
  sheet->Free();
  EXPECT_EQ(styles_->StyleSheet(), nullptr);
  EXPECT_EQ(repo_->StyleSheetCount(), 0);
}

TEST_F(StylesTest, CaptionEqualToTheNameIsNotStored) {
  TTestStyleSheet* sheet = NewSheet();
  sheet->SetName("GridSheet");
  EXPECT_EQ(sheet->Caption(), "GridSheet");
  sheet->SetCaption("Blue rows");
  EXPECT_EQ(sheet->Caption(), "Blue rows");
  EXPECT_TRUE(sheet->IsCaptionStored());
  sheet->SetCaption("gridsheet");
  EXPECT_FALSE(sheet->IsCaptionStored());
  EXPECT_EQ(sheet->Caption(), "GridSheet");
}

TEST_F(StylesTest, DefaultFontChangeReportsRolesWithoutOwnFont) {
  TcxStyle* s = NewStyle();
  TFont f;
  s->SetFont(&f);
  styles_->SetHeader(s);
  TcxStyleParams p;
  styles_->ResolveViewParams(2, nullptr, nullptr, p);  // asks defaults up to index 2
  styles_->Changes.clear();
  styles_->FontChanged(nullptr, &styles_->DefaultFont);
  EXPECT_EQ(styles_->Changes, (std::vector<Integer>{0, 2}));
}

// ---- form descriptions ---------------------------------------------------------------------

class StylesFormTest : public controltest::ControlFixture {};

TEST_F(StylesFormTest, RepositoryWithStylesAndSheetsRoundTripsThroughFormText) {
  RegisterClass(TTestStyleSheet::StaticClass());
  InitializeCxStyles();
  auto* form = new TForm(Application);
  form->SetName("StyleForm");
  auto* repo = new TcxStyleRepository(form);
  repo->SetName("Repository");
  auto* style = static_cast<TcxStyle*>(repo->NewStyleOwnedBy(TcxStyle::StaticClass(), form));
  style->SetName("RedRows");
  style->SetColor(clRed);
  style->Font()->SetSize(12);
  auto* plain = static_cast<TcxStyle*>(repo->NewStyleOwnedBy(TcxStyle::StaticClass(), form));
  plain->SetName("Plain");
  auto* sheet = static_cast<TTestStyleSheet*>(repo->NewStyleSheetOwnedBy(TTestStyleSheet::StaticClass(), form));
  sheet->SetName("Sheet");
  sheet->SetCaption("Report look");
  String text = WriteComponentToText(form);
  EXPECT_NE(text.find("object RedRows: TcxStyle"), String::npos) << text;
  EXPECT_NE(text.find("BuiltIn = False"), String::npos) << text;
  EXPECT_EQ(text.find("TextColor"), String::npos) << text;  // unassigned values are not written
  form->Free();

  auto* copy = new TForm(Application);
  ReadComponentFromText(copy, text);
  auto* repo2 = dynamic_cast<TcxStyleRepository*>(copy->FindComponent("Repository"));
  ASSERT_NE(repo2, nullptr);
  ASSERT_EQ(repo2->StyleCount(), 2);
  ASSERT_EQ(repo2->StyleSheetCount(), 1);
  auto* red = dynamic_cast<TcxStyle*>(repo2->Styles(0));
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->Name(), "RedRows");
  EXPECT_EQ(red->Color(), clRed);
  EXPECT_EQ(red->AssignedValues(), (TcxStyleValues{TcxStyleValue::svColor, TcxStyleValue::svFont}));
  EXPECT_EQ(red->Font()->Size(), 12);
  EXPECT_EQ(dynamic_cast<TcxStyle*>(repo2->Styles(1))->AssignedValues(), TcxStyleValues{});
  EXPECT_EQ(repo2->StyleSheets(0)->Caption(), "Report look");
  copy->Free();
}

TEST_F(StylesFormTest, StyleParentMustBeARepository) {
  auto* style = new TcxStyle(form_);
  EXPECT_THROW(style->SetParentComponent(form_), EInvalidCast);
  EXPECT_EQ(style->GetParentComponent(), nullptr);
}

}  // namespace
