#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "rtl/Classes.h"
#include "rtl/TypInfo.h"
#include "rtl/Variants.h"

namespace {

enum TShapeAlign { saNone, saTop, saClient };
enum TShapeAnchor { saLeft, saTopEdge, saRight, saBottom };
using TShapeAnchors = TSet<TShapeAnchor, 4>;

PTypeInfo AlignType() { return EnumTypeInfo("TShapeAlign", {"saNone", "saTop", "saClient"}); }
PTypeInfo AnchorsType() {
  return SetTypeInfo("TShapeAnchors", EnumTypeInfo("TShapeAnchor", {"saLeft", "saTopEdge", "saRight", "saBottom"}));
}

class TPen : public TPersistent {
  KORVAN_CLASS(TPen, TPersistent)
};
class TBrush : public TPersistent {
  KORVAN_CLASS(TBrush, TPersistent)
};
KORVAN_IMPLEMENT_CLASS(TPen)
KORVAN_IMPLEMENT_CLASS(TBrush)

class TShape : public TComponent {
  KORVAN_CLASS(TShape, TComponent)

 public:
  explicit TShape(TComponent* owner) : TComponent(owner) {}
  Integer Width() const { return width_; }
  void SetWidth(Integer v) { width_ = v; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }
  TShapeAlign Align() const { return align_; }
  void SetAlign(TShapeAlign v) { align_ = v; }
  TShapeAnchors Anchors() const { return anchors_; }
  void SetAnchors(TShapeAnchors v) { anchors_ = v; }
  const String& Caption() const { return caption_; }
  void SetCaption(const String& v) { caption_ = v; }
  double Ratio() const { return ratio_; }
  void SetRatio(double v) { ratio_ = v; }
  TPen* Pen() const { return pen_; }
  void SetPen(TPen* v) { pen_ = v; }
  Variant Value() const { return value_; }
  void SetValue(const Variant& v) { value_ = v; }
  Integer Serial() const { return 7; }
  bool IsCaptionStored() const { return caption_ != "default"; }
  TNotifyEvent OnClick;

 private:
  Integer width_ = 64;
  bool visible_ = true;
  TShapeAlign align_ = saNone;
  TShapeAnchors anchors_{saLeft, saTopEdge};
  String caption_;
  double ratio_ = 0;
  TPen* pen_ = nullptr;
  Variant value_;
};

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TShape) {
  p.Str("Name", &TShape::Name, &TShape::SetName).Stored(false);
  p.Int("Width", &TShape::Width, &TShape::SetWidth).Default(64);
  p.Bool("Visible", &TShape::Visible, &TShape::SetVisible).Default(true);
  p.Enum("Align", &TShape::Align, &TShape::SetAlign, AlignType()).Default(saNone);
  p.Set("Anchors", &TShape::Anchors, &TShape::SetAnchors, AnchorsType()).Default(3);
  p.Str("Caption", &TShape::Caption, &TShape::SetCaption).Stored(&TShape::IsCaptionStored);
  p.Float("Ratio", &TShape::Ratio, &TShape::SetRatio);
  p.Object("Pen", &TShape::Pen, &TShape::SetPen, TPen::StaticClass());
  p.Var("Value", &TShape::Value, &TShape::SetValue);
  p.Int("Serial", &TShape::Serial, nullptr);
  p.Event("OnClick", &TShape::OnClick);
}

// A descendant: one property of its own and a new default for an inherited one.
class TSquare : public TShape {
  KORVAN_CLASS(TSquare, TShape)

 public:
  explicit TSquare(TComponent* owner) : TShape(owner) { SetWidth(100); }
  Integer Corner() const { return corner_; }
  void SetCorner(Integer v) { corner_ = v; }

 private:
  Integer corner_ = 0;
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TSquare) {
  p.Int("Corner", &TSquare::Corner, &TSquare::SetCorner).Default(0);
  p.Int("Width", &TShape::Width, &TShape::SetWidth).Default(100);
}

std::vector<String> Names(const TPropList& list) {
  std::vector<String> r;
  for (PPropInfo p : list) r.push_back(p->Name);
  return r;
}

TEST(TypInfo, ListsAreInheritedInDeclarationOrder) {
  const std::vector<String> shape = {"Name",  "Width", "Visible", "Align",  "Anchors", "Caption",
                                     "Ratio", "Pen",   "Value",   "Serial", "OnClick"};
  EXPECT_EQ(Names(GetPropList(TShape::StaticClass())), shape);
  std::vector<String> square = shape;
  square.push_back("Corner");
  EXPECT_EQ(Names(GetPropList(TSquare::StaticClass())), square);
  EXPECT_TRUE(GetPropList(TComponent::StaticClass()).empty());
  EXPECT_EQ(Names(GetPropList(TSquare::StaticClass(), TTypeKinds{tkClass, tkMethod})),
            (std::vector<String>{"Pen", "OnClick"}));

  // The redeclared Width keeps its place with the new default.
  PPropInfo width = GetPropInfo(TSquare::StaticClass(), "width");
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->NameIndex, 1);
  EXPECT_EQ(width->Default, 100);
  EXPECT_EQ(GetPropInfo(TShape::StaticClass(), "Width")->Default, 64);
  TSquare sq(nullptr);
  EXPECT_TRUE(IsDefaultPropValue(&sq, width));
  TShape sh(nullptr);
  sh.SetWidth(100);
  EXPECT_FALSE(IsDefaultPropValue(&sh, GetPropInfo(&sh, "Width")));

  EXPECT_TRUE(IsPublishedProp(&sq, "Corner"));
  EXPECT_FALSE(IsPublishedProp(&sh, "Corner"));
  EXPECT_EQ(GetPropInfo(TShape::StaticClass(), "Visible")->PropType, TypeInfoBoolean());
  EXPECT_EQ(PropType(&sh, "Anchors"), tkSet);
}

TEST(TypInfo, ErrorsNameTheProperty) {
  TShape s(nullptr);
  TPen pen;
  TBrush brush;
  struct Case {
    const char* what;
    std::function<void()> call;
    const char* message;
  };
  const Case cases[] = {
      {"unknown ordinal", [&] { GetOrdProp(&s, "Foo"); }, "Unknown property: 'Foo'"},
      {"unknown string", [&] { SetStrProp(&s, "Titel", "x"); }, "Unknown property: 'Titel'"},
      {"unknown enum", [&] { SetEnumProp(&s, "Allign", "saTop"); }, "Unknown property: 'Allign'"},
      {"unknown variant", [&] { GetPropValue(&s, "Nope"); }, "Unknown property: 'Nope'"},
      {"wrong kind", [&] { GetStrProp(&s, "Width"); }, "Invalid property type: 'Width'"},
      {"enum from a float", [&] { GetEnumProp(&s, "Ratio"); }, "Invalid property type: 'Ratio'"},
      {"read-only", [&] { SetOrdProp(&s, "Serial", 1); }, "Property 'Serial' is read-only"},
      {"bad enum name", [&] { SetEnumProp(&s, "Align", "alTop"); }, "Invalid property element: alTop"},
      {"bad set element", [&] { SetSetProp(&s, "Anchors", "[saLeft,saMiddle]"); },
       "Invalid property element: saMiddle"},
      {"unclosed set", [&] { SetSetProp(&s, "Anchors", "[saLeft"); }, "Invalid property element: [saLeft"},
      {"enum out of range", [&] { SetOrdProp(&s, "Align", 3); }, "Invalid property value 3 for 'Align'"},
      {"set beyond its elements", [&] { SetOrdProp(&s, "Anchors", 16); }, "Invalid property value 16 for 'Anchors'"},
      {"object of another class", [&] { SetObjectProp(&s, "Pen", &brush); },
       "Invalid property value: a TBrush is not a TPen for 'Pen'"},
      {"handler of another type", [&] { SetMethodProp(&s, "OnClick", std::any(42)); },
       "Invalid property value: the handler does not match event 'OnClick'"},
      {"object through a variant", [&] { GetPropValue(&s, "Pen"); }, "Invalid property type: 'Pen'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const EPropertyError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  // Nothing changed.
  EXPECT_EQ(s.Align(), saNone);
  EXPECT_EQ(s.Anchors(), (TShapeAnchors{saLeft, saTopEdge}));
  EXPECT_EQ(s.Pen(), nullptr);
}

TEST(TypInfo, EnumerationsAndSetsByName) {
  TShape s(nullptr);
  SetEnumProp(&s, "Align", "SACLIENT");
  EXPECT_EQ(s.Align(), saClient);
  EXPECT_EQ(GetEnumProp(&s, "Align"), "saClient");
  SetEnumProp(&s, "Visible", "False");
  EXPECT_FALSE(s.Visible());
  EXPECT_EQ(GetEnumProp(&s, "Visible"), "False");

  struct Case {
    const char* text;
    TShapeAnchors value;
    const char* written;
  };
  const Case cases[] = {
      {"[saLeft,saRight]", {saLeft, saRight}, "[saLeft,saRight]"},
      {" [ saBottom , saleft ] ", {saLeft, saBottom}, "[saLeft,saBottom]"},
      {"saTopEdge", {saTopEdge}, "[saTopEdge]"},
      {"[]", {}, "[]"},
      {"", {}, "[]"},
  };
  for (const Case& c : cases) {
    SetSetProp(&s, "Anchors", c.text);
    EXPECT_EQ(s.Anchors(), c.value) << c.text;
    EXPECT_EQ(GetSetProp(&s, "Anchors"), c.written) << c.text;
  }
  s.SetAnchors({saRight, saLeft});
  EXPECT_EQ(GetSetProp(&s, "Anchors", false), "saLeft,saRight");
  EXPECT_EQ(GetOrdProp(&s, "Anchors"), 5);
}

TEST(TypInfo, StoredAndDefaultValues) {
  TShape s(nullptr);
  struct Case {
    const char* prop;
    bool stored;
    bool isDefault;
  };
  s.SetCaption("default");
  const Case fresh[] = {
      {"Name", false, true},     {"Width", true, true},  {"Visible", true, true}, {"Align", true, true},
      {"Anchors", true, true},   {"Caption", false, false}, {"Ratio", true, true},   {"Value", true, true},
      {"OnClick", true, true},
  };
  for (const Case& c : fresh) {
    PPropInfo p = GetPropInfo(&s, c.prop);
    EXPECT_EQ(IsStoredProp(&s, p), c.stored) << c.prop;
    EXPECT_EQ(IsDefaultPropValue(&s, p), c.isDefault) << c.prop;
  }
  s.SetCaption("Hello");
  s.SetVisible(false);
  s.SetRatio(0.5);
  s.OnClick = [](TObject*) {};
  for (const char* name : {"Caption", "Visible", "Ratio", "OnClick"}) {
    PPropInfo p = GetPropInfo(&s, name);
    EXPECT_TRUE(IsStoredProp(&s, p)) << name;
    EXPECT_FALSE(IsDefaultPropValue(&s, p)) << name;
  }
}

TEST(TypInfo, TypedAccessObjectsAndEvents) {
  TShape s(nullptr);
  SetOrdProp(&s, "Width", 12);
  SetStrProp(&s, "Caption", "Title");
  SetFloatProp(&s, "Ratio", 1.25);
  EXPECT_EQ(s.Width(), 12);
  EXPECT_EQ(GetStrProp(&s, "caption"), "Title");
  EXPECT_EQ(GetFloatProp(&s, "Ratio"), 1.25);
  EXPECT_EQ(GetOrdProp(&s, "Serial"), 7);

  TPen pen;
  SetObjectProp(&s, "Pen", &pen);
  EXPECT_EQ(GetObjectProp(&s, "Pen"), &pen);
  SetObjectProp(&s, "Pen", nullptr);
  EXPECT_EQ(s.Pen(), nullptr);

  // Handlers travel as std::any holding the event's function type.
  EXPECT_FALSE(GetMethodProp(&s, "OnClick").has_value());
  int clicks = 0;
  SetMethodProp(&s, "OnClick", std::any(TNotifyEvent([&](TObject*) { ++clicks; })));
  s.OnClick(&s);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(GetMethodProp(&s, "OnClick").has_value());
  SetMethodProp(&s, "OnClick", std::any());
  EXPECT_FALSE(bool(s.OnClick));
}

TEST(TypInfo, ValuesThroughVariants) {
  TShape s(nullptr);
  SetPropValue(&s, "Width", Variant(30));
  SetPropValue(&s, "Align", Variant("saTop"));
  SetPropValue(&s, "Visible", Variant(false));
  SetPropValue(&s, "Anchors", Variant("[saRight]"));
  SetPropValue(&s, "Caption", Variant(5));
  SetPropValue(&s, "Ratio", Variant(2.5));
  SetPropValue(&s, "Value", Variant("kept"));
  EXPECT_EQ(s.Width(), 30);
  EXPECT_EQ(s.Align(), saTop);
  EXPECT_FALSE(s.Visible());
  EXPECT_EQ(s.Anchors(), TShapeAnchors{saRight});
  EXPECT_EQ(s.Caption(), "5");
  EXPECT_EQ(s.Ratio(), 2.5);

  struct Case {
    const char* prop;
    bool preferStrings;
    TVarType type;
    const char* text;
  };
  const Case cases[] = {
      {"Width", true, varInteger, "30"},     {"Align", true, varString, "saTop"},
      {"Align", false, varInteger, "1"},     {"Visible", true, varBoolean, "False"},
      {"Anchors", true, varString, "saRight"}, {"Caption", true, varString, "5"},
      {"Value", true, varString, "kept"},
  };
  for (const Case& c : cases) {
    Variant v = GetPropValue(&s, c.prop, c.preferStrings);
    EXPECT_EQ(v.VarType(), c.type) << c.prop;
    EXPECT_EQ(VarToStr(v), c.text) << c.prop;
  }
  EXPECT_EQ(GetPropValue(&s, "Ratio").AsDouble(), 2.5);
}

}  // namespace
