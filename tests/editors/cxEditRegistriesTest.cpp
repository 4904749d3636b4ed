// The registries: properties sorted by description, filter helpers through the nearest
// registered ancestor, registered items by key and version with the default item, operator
// captions and mappings, filter value checks.
#include <gtest/gtest.h>

#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditRegisteredRepositoryItems.h"
#include "editors/cxEditRepositoryItems.h"
#include "editors/cxFilterControlUtils.h"
#include "foundation/cxClasses.h"

namespace {

class TcxTestAProperties : public TcxCustomEditProperties {
  KORVAN_CLASS(TcxTestAProperties, TcxCustomEditProperties)
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
};
class TcxTestBProperties : public TcxTestAProperties {
  KORVAN_CLASS(TcxTestBProperties, TcxTestAProperties)
 public:
  using TcxTestAProperties::TcxTestAProperties;
};
class TcxTestCProperties : public TcxTestBProperties {
  KORVAN_CLASS(TcxTestCProperties, TcxTestBProperties)
 public:
  using TcxTestBProperties::TcxTestBProperties;
};
KORVAN_IMPLEMENT_CLASS(TcxTestAProperties)
KORVAN_IMPLEMENT_CLASS(TcxTestBProperties)
KORVAN_IMPLEMENT_CLASS(TcxTestCProperties)

TEST(EditRegistriesTest, PropertiesRegistrySortedByDescription) {
  InitializeCxEditRepositoryItems();
  TcxRegisteredClasses* registry = EditPropertiesRegistry();
  registry->AddDescribedClass(TcxTestBProperties::StaticClass(), "zeta|last");
  registry->AddDescribedClass(TcxTestAProperties::StaticClass(), "Alpha|first");
  std::vector<String> names;
  // Other kinds' units may have registered theirs already: these keep their order.
  for (int i = 0; i < registry->Count(); ++i)
    if (const String d = registry->DescriptionAt(i); d == "Alpha" || d == "MaskEdit" || d == "TextEdit" || d == "zeta")
      names.push_back(d);
  EXPECT_EQ(names, (std::vector<String>{"Alpha", "MaskEdit", "TextEdit", "zeta"}));
  EXPECT_EQ(registry->FindByClassName("TcxTextEditProperties"), TcxTextEditProperties::StaticClass());
  registry->RemoveClass(TcxTestAProperties::StaticClass());
  registry->RemoveClass(TcxTestBProperties::StaticClass());
}

TEST(EditRegistriesTest, HelpersThroughTheNearestRegisteredAncestor) {
  InitializeCxFilterControlUtils();
  TcxFilterEditsController* controller = FilterEditsController();
  EXPECT_EQ(controller->LookupHelper(TcxTextEditProperties::StaticClass()),
            TcxFilterTextEditHelper::StaticClass());
  // Registered for B: the key is B's parent A, so A's other descendants find it too.
  controller->RegisterHelper(TcxTestBProperties::StaticClass(), TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(controller->LookupHelper(TcxTestCProperties::StaticClass()),
            TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(controller->LookupHelper(TcxTestBProperties::StaticClass()),
            TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(controller->LookupHelper(TcxTestAProperties::StaticClass()), nullptr);
  EXPECT_EQ(controller->LookupHelper(TcxCustomEditProperties::StaticClass()), nullptr);
  controller->UnregisterHelper(TcxTestBProperties::StaticClass(), TcxCustomFilterEditHelper::StaticClass());
  EXPECT_EQ(controller->LookupHelper(TcxTestCProperties::StaticClass()), nullptr);
}

TEST(EditRegistriesTest, RegisteredItemsByKeyAndVersion) {
  TcxEditRegisteredRepositoryItems registry(nullptr);
  TcxEditRepository repository(nullptr);
  auto* text = repository.CreateItem(TcxEditRepositoryTextItem::StaticClass());
  auto* other = repository.CreateItem(TcxEditRepositoryTextItem::StaticClass());
  auto* third = repository.CreateItem(TcxEditRepositoryItem::StaticClass());
  EXPECT_EQ(registry.FindItemByKey(5), nullptr);
  registry.AddDefaultEntry(-1, text);
  registry.AddItemEntry(5, 1, other);
  registry.AddItemEntry(5, 1, third);  // the same key and version keeps the first
  registry.AddItemEntry(0, 1, third);  // key 0 among the items: never found by key
  registry.AddItemEntry(9, 2, third);
  EXPECT_EQ(registry.FindItemByKey(5), other);
  EXPECT_EQ(registry.FindItemByKey(7), text);
  EXPECT_EQ(registry.FindItemByKey(0), text);
  EXPECT_EQ(registry.ItemEntries().front().Key, 9);  // descending order
  registry.RemoveItemByKey(5, 2);                     // no such version
  EXPECT_EQ(registry.FindItemByKey(5), other);
  registry.RemoveItemByKey(5, 1);
  EXPECT_EQ(registry.FindItemByKey(5), text);
  // A freed item leaves both arrays; the default can disappear.
  EXPECT_EQ(third->ListenerCount(), 1);
  third->Free();
  EXPECT_EQ(registry.ItemEntries().size(), 0u);
  text->Free();
  EXPECT_EQ(registry.FindItemByKey(7), nullptr);
}

TEST(EditRegistriesTest, DefaultEditorPerValueType) {
  TcxEditDataRegisteredRepositoryItems* registry = DataEditorRegistry();
  TcxEditRepositoryItem* item = registry->ItemForValueType(TcxStringValueType::Class());
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->ClassType(), TcxEditRepositoryMaskItem::StaticClass());
  EXPECT_EQ(item->Repository(), DefaultEditRepository());
  // Until the additional editors come, dates and currencies get the mask item too.
  EXPECT_EQ(registry->ItemForValueType(TcxDateTimeValueType::Class()), item);
  TcxEditRepositoryTextItem special(nullptr);
  registry->RegisterValueTypeItem(TcxIntegerValueType::Class(), 1, &special);
  EXPECT_EQ(registry->ItemForValueType(TcxIntegerValueType::Class()), &special);
  registry->UnregisterValueTypeItem(TcxIntegerValueType::Class(), 1);
  EXPECT_EQ(registry->ItemForValueType(TcxIntegerValueType::Class()), item);
}

TEST(EditRegistriesTest, OperatorCaptionsAndMappings) {
  EXPECT_EQ(FilterOperatorCaption(1), "equals");
  EXPECT_EQ(FilterOperatorCaption(9), "is blank");
  EXPECT_EQ(FilterOperatorCaption(36), "is future");
  EXPECT_EQ(FilterOperatorCaption(0), "");
  EXPECT_EQ(FilterOperatorCaption(37), "");
  for (int op = 1; op <= 36; ++op) {
    const Integer kind = ToDataFilterOperator(op);
    const bool is_null = op == 9 || op == 10;
    EXPECT_EQ(ToFilterControlOperator(kind, is_null), op) << op;
  }
  EXPECT_EQ(ToDataFilterOperator(11), 8);  // between
  EXPECT_EQ(ToDataFilterOperator(36), 33);
  EXPECT_EQ(ToDataFilterOperator(0), 0);
  EXPECT_EQ(ToFilterControlOperator(0, false), 1);
  // The criteria's own is-null kinds read as is blank and is not blank.
  EXPECT_EQ(ToFilterControlOperator(34, false), 9);
  EXPECT_EQ(ToFilterControlOperator(35, true), 10);
}

TEST(EditRegistriesTest, SupportedOperatorsAndFilterValues) {
  const TcxCustomFilterEditHelper* helper = FilterEditHelper(TcxFilterTextEditHelper::StaticClass());
  TcxFilterControlOperators ops;
  helper->SupportedOperators(nullptr, TcxIntegerValueType::Class(), ops, false);
  EXPECT_EQ(ops, (TcxFilterControlOperators{1, 2, 3, 4, 5, 6, 9, 10}));
  helper->SupportedOperators(nullptr, TcxStringValueType::Class(), ops, true);
  EXPECT_EQ(ops.size(), 14u);
  Variant v("");
  ValidateFilterValue(v, 1, TcxIntegerValueType::Class(), TcxFilterTextEditHelper::StaticClass());
  EXPECT_TRUE(v.IsNull());
  v = Variant("12");
  EXPECT_NO_THROW(ValidateFilterValue(v, 1, TcxIntegerValueType::Class(), nullptr));
  v = Variant("twelve");
  EXPECT_NO_THROW(ValidateFilterValue(v, 7, TcxIntegerValueType::Class(), nullptr));
  try {
    ValidateFilterValue(v, 1, TcxIntegerValueType::Class(), TcxFilterTextEditHelper::StaticClass());
    FAIL() << "no error";
  } catch (const EcxFilterControlError& e) {
    EXPECT_EQ(e.Message(), "Invalid value");
  }
  // Filter properties: copied, left-aligned, editable, without buttons and events.
  TcxTextEditProperties source(nullptr), target(nullptr);
  source.SetReadOnly(true);
  source.Buttons()->AddButton();
  source.Alignment()->SetHorz(taRightJustify);
  source.OnChange = [](TObject*) {};
  helper->PrepareFilterProperties(&target, &source, false);
  EXPECT_FALSE(target.ReadOnly());
  EXPECT_EQ(target.Buttons()->Count(), 0);
  EXPECT_EQ(target.Alignment()->Horz(), taLeftJustify);
  EXPECT_TRUE(target.ValidateOnEnter());
  EXPECT_FALSE(bool(target.OnChange));
}

}  // namespace
