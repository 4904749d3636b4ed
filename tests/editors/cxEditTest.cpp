// The editor model: content alignment, edit buttons, edit styles and the editor properties
// with the default-values provider.
#include "editors/cxEdit.h"

#include "data/cxFilterConsts.h"

#include <gtest/gtest.h>

namespace {

TEST(EditAlignmentTest, HorzAssignmentAndNotifications) {
  TcxEditAlignment a(nullptr);
  int changes = 0;
  a.OnChanged = [&](TObject*) { ++changes; };
  EXPECT_FALSE(a.ShouldStoreHorz());
  a.SetHorz(taLeftJustify);  // the current value, but not assigned yet: assigns
  EXPECT_TRUE(a.ShouldStoreHorz());
  EXPECT_EQ(changes, 1);
  a.SetHorz(taLeftJustify);
  EXPECT_EQ(changes, 1);
  a.ClearHorzAssignment();
  EXPECT_FALSE(a.ShouldStoreHorz());
  EXPECT_EQ(changes, 2);
  a.SetHorz(taLeftJustify);
  EXPECT_EQ(changes, 3);
  a.SetVert(taTopJustify);
  EXPECT_EQ(changes, 3);
  a.SetVert(taVCenter);
  EXPECT_TRUE(a.ShouldStoreVert());
  TcxEditAlignment b(nullptr);
  b.Assign(&a);
  EXPECT_TRUE(b.IsHorzAssigned());
  EXPECT_EQ(b.Vert(), taVCenter);
}

TEST(EditButtonsTest, DefaultWidthAssignAndChanges) {
  TcxEditButtons buttons(nullptr);
  int changes = 0;
  buttons.OnChange = [&](TObject*) { ++changes; };
  TcxEditButton* a = buttons.AddButton();
  TcxEditButton* b = buttons.AddButton();
  EXPECT_EQ(a->Kind(), bkDown);
  EXPECT_EQ(a->ContentAlignment(), taCenter);
  changes = 0;
  a->SetDefault(true);
  b->SetDefault(true);
  EXPECT_FALSE(a->Default());
  EXPECT_TRUE(b->Default());
  b->SetDefault(false);
  EXPECT_FALSE(a->Default());
  EXPECT_EQ(changes, 3);
  a->SetWidth(-5);
  EXPECT_EQ(a->Width(), 0);
  a->SetWidth(20);
  a->SetCaption("&Open && go");
  EXPECT_EQ(a->VisibleCaption(), "Open & go");
  b->SetVisible(false);
  EXPECT_EQ(buttons.VisibleCount(), 1);
  EXPECT_FALSE(a->HasGlyph());
  a->Glyph()->SetSize(8, 8);
  EXPECT_TRUE(a->HasGlyph());
  changes = 0;
  b->Assign(a);
  EXPECT_EQ(changes, 1);  // one report for the whole copy
  EXPECT_EQ(b->Width(), 20);
  EXPECT_EQ(b->Caption(), "&Open && go");
  EXPECT_TRUE(b->Visible());
  EXPECT_EQ(b->Glyph()->Width(), 8);
  b->SetGlyph(nullptr);
  EXPECT_FALSE(b->HasGlyph());
}

TEST(EditStyleTest, ValuesResolveThroughStylesAndController) {
  TcxEditStyle base(nullptr, false);
  TcxEditStyle hot(nullptr, false, &base, cssHot);
  EXPECT_EQ(base.ButtonStyle(), btsDefault);
  base.SetButtonStyle(bts3D);
  EXPECT_EQ(hot.ButtonStyle(), bts3D);  // the parent's value
  hot.SetButtonStyle(btsFlat);
  EXPECT_EQ(hot.ButtonStyle(), btsFlat);
  EXPECT_EQ(base.ButtonStyle(), bts3D);
  // Base-only values set on a state style land in the base style.
  hot.SetButtonTransparency(ebtAlways);
  EXPECT_EQ(base.ButtonTransparency(), ebtAlways);
  EXPECT_TRUE(base.AssignedValues().Contains(svButtonTransparency));
  EXPECT_FALSE(hot.AssignedValues().Contains(svButtonTransparency));
  hot.SetPopupBorderStyle(epbsFlat);
  EXPECT_EQ(base.PopupBorderStyle(), epbsFlat);
  hot.SetGradientButtons(true);
  EXPECT_TRUE(base.GradientButtons());
  EXPECT_TRUE(hot.PopupCloseButton());
  hot.SetPopupCloseButton(false);
  EXPECT_FALSE(base.PopupCloseButton());
  String name;
  EXPECT_TRUE(base.StyleValueNameOf(13, name));
  EXPECT_EQ(name, "GradientButtons");
  EXPECT_TRUE(base.StyleValueNameOf(2, name));
  EXPECT_EQ(name, "Color");
  EXPECT_FALSE(base.StyleValueNameOf(14, name));
  EXPECT_EQ(base.StyleValueCount(), 14);
  EXPECT_TRUE(base.ReadStyleValue(10));
  EXPECT_TRUE(hot.ReadStyleValue(11));
  TcxEditStyle copy(nullptr, false);
  copy.Assign(&hot);
  EXPECT_EQ(copy.ButtonStyle(), btsFlat);
  // A detached style reads its own values only.
  TcxEditStyle detached(nullptr, true);
  EXPECT_EQ(detached.ButtonStyle(), btsDefault);
  EXPECT_EQ(detached.StyleController(), nullptr);
}

TEST(EditUnitTest, StartInstallsTheFilterTextHook) {
  InitializeCxEdit();
  EXPECT_EQ(FilterResourceTextHook(), &ReplaceResourceText);
  EXPECT_NE(GlobalStyleController, nullptr);
}

TEST(EditStyleTest, DefaultControllerOfEditStyles) {
  TcxEditStyle style(nullptr, false);
  EXPECT_EQ(style.StyleController(), DefaultEditStyleController());
  ASSERT_NE(DefaultEditStyleController(), nullptr);
}

// ---- properties -----------------------------------------------------------------------------------

class TTestProvider : public TcxCustomEditDefaultValuesProvider {
 public:
  TTestProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  bool DefaultReadOnly() override { return readOnly; }
  TAlignment DefaultAlignment() override { return taRightJustify; }
  bool DefaultCanModify() override { return canModify; }
  bool readOnly = false;
  bool canModify = true;
};

class TValidatingProperties : public TcxCustomEditProperties {
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool CanValidate() override { return true; }
};

class TStubEditor : public IcxEditValidator {
 public:
  bool HasValidateHandler() override { return bool(handler); }
  void FireValidateEvents(Variant& v, String& text, bool& error) override { handler(v, text, error); }
  Variant CurrentDisplayText() override { return Variant("current"); }
  std::function<void(Variant&, String&, bool&)> handler;
};

struct PropertiesFixture : ::testing::Test {
  TcxCustomEditProperties props{nullptr};
  int notifications = 0;
  void SetUp() override {
    props.PropertiesChangedHandler = [this](TObject* sender) {
      EXPECT_EQ(sender, &props);
      ++notifications;
    };
  }
};

TEST_F(PropertiesFixture, OneNotificationPerOutermostBracket) {
  props.BeginUpdate();
  props.BeginUpdate();
  props.SetAutoSelect(false);
  props.SetTransparent(true);
  props.SetReadOnly(true);
  props.EndUpdate(true);
  EXPECT_EQ(notifications, 0);
  props.EndUpdate(true);
  EXPECT_EQ(notifications, 1);
  props.EndUpdate(true);  // no matching begin
  EXPECT_EQ(notifications, 1);
  // An outermost bracket without changes notifies nothing; ending without notify drops it.
  props.BeginUpdate();
  props.EndUpdate(true);
  props.BeginUpdate();
  props.SetTransparent(false);
  props.EndUpdate(false);
  EXPECT_EQ(notifications, 1);
  props.SetAutoSelect(true);
  EXPECT_EQ(notifications, 2);
  props.SetReadOnly(false);
  EXPECT_EQ(notifications, 3);  // one notification for one setter
  props.Buttons()->AddButton();
  EXPECT_EQ(notifications, 4);
  EXPECT_EQ(props.GetSupportedOperations(), esoHotTrack);
}

TEST_F(PropertiesFixture, SuppressedChangesOnlyMarkPending) {
  props.SuppressChanges(true);
  props.SetTransparent(true);
  EXPECT_EQ(notifications, 0);
  EXPECT_TRUE(props.ChangedWhileUpdating());
  EXPECT_TRUE(props.IsLockedOrUpdating());
  props.SuppressChanges(false);
  props.SetTransparent(false);
  EXPECT_EQ(notifications, 1);
}

TEST_F(PropertiesFixture, ReadOnlyAlignmentAndProviderFallbacks) {
  EXPECT_FALSE(props.ReadOnly());
  EXPECT_TRUE(props.CanModifyEditValue());
  EXPECT_EQ(props.Alignment()->Horz(), taLeftJustify);
  {
    TTestProvider provider;
    provider.readOnly = true;
    props.AttachDefaultValuesProvider(&provider);
    EXPECT_TRUE(props.ReadOnly());
    EXPECT_FALSE(props.CanModifyEditValue());
    EXPECT_EQ(props.Alignment()->Horz(), taRightJustify);
    EXPECT_FALSE(props.IsAlignmentStored());
    props.SetReadOnly(false);
    EXPECT_FALSE(props.ReadOnly());
    EXPECT_TRUE(props.CanModifyEditValue());
    props.AssignedValues()->SetReadOnly(false);
    provider.readOnly = false;
    provider.canModify = false;
    EXPECT_FALSE(props.CanModifyEditValue());
    // Assigning the alignment makes it stored and fixed.
    props.Alignment()->SetHorz(taCenter);
    EXPECT_TRUE(props.IsAlignmentStored());
    EXPECT_EQ(props.Alignment()->Horz(), taCenter);
    // Another properties object that copied the provider loses it with the provider too.
    TcxCustomEditProperties copy(nullptr);
    copy.Assign(&props);
    EXPECT_EQ(copy.DefaultValuesProvider(), &provider);
  }
  EXPECT_EQ(props.DefaultValuesProvider(), nullptr);
  EXPECT_EQ(props.Alignment()->Horz(), taCenter);
}

TEST_F(PropertiesFixture, AssignCopiesSettingsNotTheOwnersHandlers) {
  TcxCustomEditProperties source(nullptr);
  source.SetAutoSelect(false);
  source.SetClickKey(0);
  source.SetReadOnly(true);
  source.Buttons()->AddButton()->SetKind(bkEllipsis);
  source.Alignment()->SetVert(taVCenter);
  int events = 0;
  source.OnChange = [&](TObject*) { ++events; };
  source.OnPopupClosed = [&](TObject*, Integer) { ++events; };
  source.PropertiesChangedHandler = [&](TObject*) { ++events; };
  props.Assign(&source);
  EXPECT_EQ(notifications, 1);
  EXPECT_FALSE(props.AutoSelect());
  EXPECT_EQ(props.ClickKey(), 0);
  EXPECT_TRUE(props.ReadOnly());
  EXPECT_EQ(props.Buttons()->Count(), 1);
  EXPECT_EQ(props.Buttons()->GetButton(0)->Kind(), bkEllipsis);
  EXPECT_EQ(props.Alignment()->Vert(), taVCenter);
  EXPECT_TRUE(bool(props.OnChange));
  EXPECT_FALSE(bool(props.OnPopupClosed));
  // The handler stays the fixture's.
  props.SetTransparent(true);
  EXPECT_EQ(notifications, 2);
  EXPECT_EQ(events, 0);
}

TEST(EditPropertiesTest, ValidationThroughAStubEditor) {
  TValidatingProperties props(nullptr);
  TStubEditor editor;
  Variant value("typed");
  String text;
  bool error = false;
  // Without a handler only the default text is filled in.
  props.ValidateDisplayValue(value, text, error, &editor);
  EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
  EXPECT_FALSE(error);
  // A handler that rejects without changing the value gets the editor's current text.
  editor.handler = [](Variant&, String& t, bool& e) {
    e = true;
    t = "no";
  };
  text.clear();
  props.ValidateDisplayValue(value, text, error, &editor);
  EXPECT_TRUE(error);
  EXPECT_EQ(text, "no");
  EXPECT_EQ(value.AsString(), "current");
  // A handler that changes the value keeps its value.
  editor.handler = [](Variant& v, String&, bool& e) {
    v = Variant("fixed");
    e = true;
  };
  value = Variant("typed");
  props.ValidateDisplayValue(value, text, error, &editor);
  EXPECT_EQ(value.AsString(), "fixed");
  // Kinds that do not validate do nothing.
  TcxCustomEditProperties plain(nullptr);
  String none;
  plain.ValidateDisplayValue(value, none, error, &editor);
  EXPECT_EQ(none, "");
}

TEST(EditPropertiesTest, GlobalListAndDisplayValues) {
  const size_t before = TcxCustomEditProperties::PropertiesList().size();
  {
    TcxCustomEditProperties a(nullptr);
    EXPECT_EQ(TcxCustomEditProperties::PropertiesList().size(), before + 1);
    EXPECT_TRUE(a.DisplayValuesEqual(Variant(1), Variant(1)));
    EXPECT_FALSE(a.DisplayValuesEqual(Variant(1), Variant(2)));
    std::unique_ptr<TcxCustomEditProperties> b(a.CreateInstance());
    EXPECT_EQ(b->ClassType(), TcxCustomEditProperties::StaticClass());
    EXPECT_EQ(b->Owner(), nullptr);
    EXPECT_EQ(a.GetSupportedOperations(), 0);
  }
  EXPECT_EQ(TcxCustomEditProperties::PropertiesList().size(), before);
}

}  // namespace
