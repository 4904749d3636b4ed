// The text form format: parsing values of every kind, printing them back, and the errors of
// bad form text (they name the line and, when reading, the property).
#include <gtest/gtest.h>

#include "VclTestSupport.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/FormText.h"
#include "vcl/Graphics.h"
#include "rtl/TypInfo.h"
#include "vcl/StdCtrls.h"

namespace {

TEST(FormTextTest, ParsesEveryKindOfValue) {
  const String text =
      "object F: TForm\n"
      "  I = -12\n"
      "  H = $FF\n"
      "  D = 1.5E+002\n"
      "  S = 'it''s'#13#10'x' +\n"
      "    ' more'\n"
      "  U = #26085#26412\n"
      "  E = #55357#56832\n"
      "  Id = Form1.Button1\n"
      "  Set = [fsBold, fsItalic]\n"
      "  Empty = []\n"
      "  L = (\n"
      "    'a'\n"
      "    1)\n"
      "  B = {\n"
      "    00ff10}\n"
      "  C = <\n"
      "    item\n"
      "      Text = 'one'\n"
      "    end\n"
      "    item\n"
      "    end>\n"
      "  Font.Style = []\n"
      "  inline Frame: TFrame1 [0]\n"
      "  end\n"
      "end\n";
  TFormObject o = ParseFormText(text);
  EXPECT_EQ(o.Name, "F");
  EXPECT_EQ(o.ClassName, "TForm");
  auto v = [&](const char* n) { return o.FindProperty(n)->Value; };
  EXPECT_EQ(v("I").IntValue, -12);
  EXPECT_EQ(v("H").IntValue, 255);
  EXPECT_DOUBLE_EQ(v("D").FloatValue, 150.0);
  EXPECT_EQ(v("S").Text, "it's\r\nx more");
  EXPECT_EQ(v("U").Text, "日本");
  EXPECT_EQ(v("E").Text, "\xF0\x9F\x98\x80");  // a surrogate pair becomes one character
  EXPECT_EQ(v("Id").Text, "Form1.Button1");
  EXPECT_EQ(v("Set").SetItems, (std::vector<String>{"fsBold", "fsItalic"}));
  EXPECT_TRUE(v("Empty").SetItems.empty());
  ASSERT_EQ(v("L").Items.size(), 2u);
  EXPECT_EQ(v("L").Items[1].IntValue, 1);
  EXPECT_EQ(v("B").Text, String("\x00\xff\x10", 3));
  ASSERT_EQ(v("C").CollectionItems.size(), 2u);
  EXPECT_EQ(v("C").CollectionItems[0].Properties[0].Value.Text, "one");
  EXPECT_EQ(o.FindProperty("Font.Style")->Line, 23);
  ASSERT_EQ(o.Children.size(), 1u);
  EXPECT_EQ(o.Children[0].Keyword, "inline");
  // Printing and parsing again gives the same tree.
  TFormObject again = ParseFormText(FormObjectToText(o));
  EXPECT_EQ(FormObjectToText(again), FormObjectToText(o));
  EXPECT_EQ(again.FindProperty("U")->Value.Text, "日本");
}

TEST(FormTextTest, QuotesNonAsciiAsCodes) {
  struct Case {
    String In;
    String Out;
  };
  for (const Case& c : std::vector<Case>{{"", "''"}, {"a'b", "'a''b'"}, {"x\r\ny", "'x'#13#10'y'"}, {"日", "#26085"},
                                         {"\xF0\x9F\x98\x80", "#55357#56832"}})
    EXPECT_EQ(QuoteFormString(c.In), c.Out) << c.In;
}

TEST(FormTextTest, MalformedTextNamesTheLine) {
  struct Case {
    const char* Text;
    const char* Message;
  };
  const Case cases[] = {
      {"object F: TForm\n  A = 1\n", "Unexpected end of file on line 3"},
      {"object F: TForm\n  A = 'open\nend\n", "Invalid string constant on line 2"},
      {"object F: TForm\n  B = {0F0}\nend\n", "Invalid binary value on line 2"},
      {"object F: TForm\n  A 1\nend\n", "'=' expected on line 2"},
      {"object F: TForm\n  A = [x,,]\nend\n", "Identifier expected on line 2"},
      {"thing F: TForm\nend\n", "'object' expected on line 1"},
      {"object F: TForm\nend\nextra", "End of file expected on line 3"},
  };
  for (const Case& c : cases) {
    try {
      ParseFormText(c.Text);
      ADD_FAILURE() << "no error for " << c.Text;
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

// A component that records what happens to it while it is read.
class TProbe : public TComponent {
  KORVAN_CLASS(TProbe, TComponent)

 public:
  explicit TProbe(TComponent* owner) : TComponent(owner) {}
  Integer Value() const { return value_; }
  void SetValue(Integer v) {
    value_ = v;
    Events().push_back(Name() + ".Value" + (ComponentState().Contains(csLoading) ? " loading" : ""));
  }
  void Loaded() override {
    TComponent::Loaded();
    Events().push_back(Name() + ".Loaded");
  }
  static std::vector<String>& Events() {
    static std::vector<String> e;
    return e;
  }

 private:
  Integer value_ = 0;
};

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TProbe) { p.Int("Value", &TProbe::Value, &TProbe::SetValue).Default(0); }

class FormReadTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    RegisterClass(TProbe::StaticClass());
  }
  String ReadError(const String& text) {
    auto* f = new TForm(Application);
    String msg;
    try {
      ReadComponentFromText(f, text);
    } catch (const EReadError& e) {
      msg = e.Message();
    }
    f->Free();
    return msg;
  }
};

TEST_F(FormReadTest, LoadedRunsAfterEverythingIsReadInReadingOrder) {
  TProbe::Events().clear();
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object Root: TForm\n"
                        "  object A: TProbe\n    Value = 1\n  end\n"
                        "  object B: TProbe\n    Value = 2\n  end\n"
                        "end\n");
  EXPECT_EQ(TProbe::Events(),
            (std::vector<String>{"A.Value loading", "B.Value loading", "A.Loaded", "B.Loaded"}));
  f->Free();
}

TEST_F(FormReadTest, BadTextRaisesAnErrorNamingTheLineAndProperty) {
  struct Case {
    const char* Text;
    const char* Message;
  };
  const Case cases[] = {
      {"object Root: TForm\n  object X: TNoSuchClass\n  end\nend\n",
       "Error reading X on line 2: Class TNoSuchClass not found"},
      {"object Root: TForm\n  object P: TPanel\n    Colour = clRed\n  end\nend\n",
       "Error reading P.Colour on line 3: Property Colour does not exist"},
      {"object Root: TForm\n  object P: TPanel\n    Width = 'wide'\n  end\nend\n",
       "Error reading P.Width on line 3: Invalid property value"},
      {"object Root: TForm\n  object P: TPanel\n    Align = alSideways\n  end\nend\n",
       "Error reading P.Align on line 3: Invalid property value"},
      {"object Root: TForm\n  object P: TPanel\n    Anchors = [akLeft, akMiddle]\n  end\nend\n",
       "Error reading P.Anchors on line 3: Invalid property value"},
      {"object Root: TForm\n  object P: TPanel\n    Font.Shape = 1\n  end\nend\n",
       "Error reading P.Font.Shape on line 3: Property Shape does not exist"},
      {"object Root: TForm\n  object L: TLabel\n    FocusControl = Missing\n  end\nend\n",
       "Error reading L.FocusControl on line 3: Invalid property value: component 'Missing' not found"},
      {"object Root: TForm\n  object B: TButton\n    OnClick = NoSuchMethod\n  end\nend\n",
       "Error reading B.OnClick on line 3: Method 'NoSuchMethod' not found"},
      {"object Root: TForm\n  object P: TPanel\n    Caption = 'x'\n", "Unexpected end of file on line 4"},
      {"object Root: TForm\n  object P: TPanel\n    Left = 1\n    object Q: TPanel\n      Top = ", "Unexpected end of file on line 5"},
      // A control may not become the parent of one of its own ancestors (nor of itself).
      {"object Root: TForm\n  object P1: TPanel\n    object P2: TPanel\n      inherited P1: TPanel\n      end\n    end\n  end\nend\n",
       "Error reading P1 on line 4: A control cannot have itself as its parent"},
      {"object Root: TForm\n  object P1: TPanel\n    inherited P1: TPanel\n    end\n  end\nend\n",
       "Error reading P1 on line 3: A control cannot have itself as its parent"},
      {"object Root: TForm\n  object P1: TPanel\n    object B: TButton\n      Default = True\n    end\n"
       "    object P2: TPanel\n      object P3: TPanel\n        inherited P1: TPanel\n        end\n      end\n    end\n  end\nend\n",
       "Error reading P1 on line 8: A control cannot have itself as its parent"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadError(c.Text), c.Message) << c.Text;
}

TEST_F(FormReadTest, ExtremePositionsAndSizesAreClamped) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object Root: TForm\n  Left = 2147483647\n  ClientWidth = 2147483647\n"
                        "  ClientHeight = 2147483647\n  object P: TPanel\n    Left = -2147483648\n"
                        "    Width = 2147483647\n    Anchors = [akLeft, akTop, akRight, akBottom]\n  end\nend\n");
  EXPECT_EQ(f->Left(), TControl::MaxCoord);
  EXPECT_EQ(f->Width(), TControl::MaxCoord);
  EXPECT_EQ(f->Height(), TControl::MaxCoord);
  auto* p = static_cast<TControl*>(f->FindComponent("P"));
  EXPECT_EQ(p->Left(), -TControl::MaxCoord);
  EXPECT_EQ(p->Width(), TControl::MaxCoord);
  f->SetClientWidth(INT32_MAX);
  EXPECT_EQ(f->Width(), TControl::MaxCoord);
  f->Free();
}

TEST_F(FormReadTest, AFailedReadLeavesNoComponentLoading) {
  auto* f = new TForm(Application);
  EXPECT_THROW(ReadComponentFromText(f, "object Root: TForm\n  object P: TPanel\n  end\n  Bogus = 1\nend\n"), EReadError);
  for (Integer i = 0; i < f->ComponentCount(); ++i)
    EXPECT_FALSE(f->Components(i)->ComponentState().Contains(csLoading));
  EXPECT_FALSE(f->ComponentState().Contains(csLoading));
  f->Free();
}

TEST_F(FormReadTest, StringListsAndCollectionsGoThroughDefinedProperties) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object Root: TForm\n"
                        "  object List: TListBox\n"
                        "    Items.Strings = (\n"
                        "      'first'\n"
                        "      'second line'#9'tab')\n"
                        "    ItemIndex = 1\n"
                        "  end\n"
                        "end\n");
  auto* list = dynamic_cast<TListBox*>(f->FindComponent("List"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Items()->ToVector(), (std::vector<String>{"first", "second line\ttab"}));
  EXPECT_EQ(list->ItemIndex(), 1);
  String text = WriteComponentToText(f);
  EXPECT_NE(text.find("Items.Strings = (\n      'first'\n      'second line'#9'tab')"), String::npos) << text;
  f->Free();
}

TEST_F(FormReadTest, NamedIntegersAreReadAndWrittenByName) {
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object Root: TForm\n"
                        "  object P: TPanel\n"
                        "    Color = clSkyBlue\n"
                        "    Cursor = crHandPoint\n"
                        "    Font.Charset = SHIFTJIS_CHARSET\n"
                        "    Font.Color = $00123456\n"
                        "  end\n"
                        "end\n");
  auto* p = dynamic_cast<TPanel*>(f->FindComponent("P"));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Color(), clSkyBlue);
  EXPECT_EQ(p->Cursor(), crHandPoint);
  EXPECT_EQ(p->Font()->Charset(), SHIFTJIS_CHARSET);
  EXPECT_EQ(p->Font()->Color(), 0x123456);
  String text = WriteComponentToText(f);
  for (const char* line : {"Color = clSkyBlue", "Cursor = crHandPoint", "Font.Charset = SHIFTJIS_CHARSET",
                           "Font.Color = 1193046"})
    EXPECT_NE(text.find(line), String::npos) << line << "\n" << text;
  f->Free();
}

TEST_F(FormReadTest, CreatesTheRootByClassName) {
  TComponent* c = ReadComponentText("object Probe1: TProbe\n  Value = 7\nend\n", nullptr);
  auto* p = dynamic_cast<TProbe*>(c);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Value(), 7);
  EXPECT_EQ(p->Name(), "Probe1");
  p->Free();
}

// A component that records the ReadState step: the component it was read into.
class TReadStateProbe : public TComponent {
  KORVAN_CLASS(TReadStateProbe, TComponent)

 public:
  explicit TReadStateProbe(TComponent* owner) : TComponent(owner) {}
  void ReadState(TComponent* readParent) override {
    TComponent::ReadState(readParent);
    TProbe::Events().push_back(Name() + " read into " + (readParent ? readParent->Name() : String("nil")) +
                               (ComponentState().Contains(csLoading) ? " loading" : ""));
  }
};

KORVAN_IMPLEMENT_CLASS(TReadStateProbe)

TEST_F(FormReadTest, ReadStateNamesTheComponentReadIntoBeforeLoaded) {
  RegisterClass(TReadStateProbe::StaticClass());
  TProbe::Events().clear();
  auto* f = new TForm(Application);
  ReadComponentFromText(f,
                        "object Root: TForm\n"
                        "  object A: TReadStateProbe\n  end\n"
                        "  object P: TPanel\n"
                        "    object B: TReadStateProbe\n    end\n"
                        "  end\n"
                        "end\n");
  EXPECT_EQ(TProbe::Events(), (std::vector<String>{"A read into Root loading", "B read into P loading"}));
  f->Free();
}

}  // namespace
