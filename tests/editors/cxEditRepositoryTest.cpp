// The edit repository: listeners, moving items between repositories, base names and items
// read from form text.
#include <gtest/gtest.h>

#include "editors/cxEdit.h"
#include "editors/cxEditRepositoryItems.h"
#include "rtl/TypInfo.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {


struct TLogListener : IcxEditItemListener {
  explicit TLogListener(String n, std::vector<String>& log) : name(std::move(n)), log(log) {}
  void ItemRemoved(TcxEditRepositoryItem* item) override {
    log.push_back(name + " removed, properties alive: " +
                  (item->Properties() ? String("yes") : String("no")));
  }
  void ItemPropertiesChanged(TcxEditRepositoryItem*) override { log.push_back(name + " changed"); }
  String name;
  std::vector<String>& log;
};

TEST(EditRepositoryTest, ListenersHearChangesAndRemoval) {
  std::vector<String> log;
  TLogListener a("a", log), b("b", log);
  auto* item = new TcxEditRepositoryItem(nullptr);
  item->AddListener(&a);
  item->AddListener(&b);
  item->AddListener(&a);
  EXPECT_EQ(item->ListenerCount(), 2);
  item->Properties()->SetReadOnly(true);
  EXPECT_EQ(log, (std::vector<String>{"b changed", "a changed"}));
  log.clear();
  item->RemoveListener(&b);
  item->AddListener(&b);
  item->Free();
  EXPECT_EQ(log, (std::vector<String>{"b removed, properties alive: yes",
                                      "a removed, properties alive: yes"}));
}

TEST(EditRepositoryTest, ItemsMoveBetweenRepositories) {
  TcxEditRepository a(nullptr), b(nullptr);
  a.SetName("Repo1");
  TcxEditRepositoryItem* item = a.CreateItem(TcxEditRepositoryTextItem::StaticClass());
  EXPECT_EQ(a.Count(), 1);
  EXPECT_EQ(item->GetBaseName(), "Repo1TextItem");
  EXPECT_EQ(item->Owner(), &a);
  item->SetRepository(&b);
  item->SetRepository(&b);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(b.Count(), 1);
  EXPECT_EQ(item->GetBaseName(), "TextItem");
  EXPECT_EQ(item->GetParentComponent(), &b);
  auto* plain = new TcxEditRepositoryItem(nullptr);
  EXPECT_EQ(plain->GetBaseName(), "Item");
  plain->SetRepository(&b);
  b.Clear();
  EXPECT_EQ(b.Count(), 0);
  EXPECT_EQ(a.ComponentCount(), 0);  // the item owned by a was freed with b's clear
}

class EditRepositoryFormTest : public testing_support::THeadlessFixture {};

TEST_F(EditRepositoryFormTest, ItemsReadFromFormText) {
  InitializeForms();
  InitializeCxEditRepositoryItems();
  auto* form = new TForm(Application);
  ReadComponentFromText(form,
                        "object Form1: TForm\n"
                        "  object Repo: TcxEditRepository\n"
                        "    object RepoTextItem: TcxEditRepositoryTextItem\n"
                        "    end\n"
                        "    object RepoTextItem2: TcxEditRepositoryTextItem\n"
                        "    end\n"
                        "  end\n"
                        "end\n");
  auto* repo = dynamic_cast<TcxEditRepository*>(form->FindComponent("Repo"));
  ASSERT_NE(repo, nullptr);
  ASSERT_EQ(repo->Count(), 2);
  EXPECT_EQ(repo->Items(0)->Name(), "RepoTextItem");
  EXPECT_EQ(repo->Items(0)->Owner(), form);
  std::vector<String> children;
  repo->GetChildren([&](TComponent* c) { children.push_back(c->Name()); }, form);
  EXPECT_EQ(children, (std::vector<String>{"RepoTextItem", "RepoTextItem2"}));
  form->Free();
}

}  // namespace

namespace {

// A numeric kind publishing its range, as the spin kind does.
class TcxTestSpinProperties : public TcxTextEditProperties {
  KORVAN_CLASS(TcxTestSpinProperties, TcxTextEditProperties)

 public:
  using TcxTextEditProperties::TcxTextEditProperties;
  bool HasNumericValue() override { return true; }
  double MaxValueForStreaming() const { return const_cast<TcxTestSpinProperties*>(this)->MaxValue(); }
  bool IsMaxValueStored() const { return AssignedValues()->MaxValue(); }
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxTestSpinProperties) {
  p.Float("MaxValue", &TcxTestSpinProperties::MaxValueForStreaming, &TcxTestSpinProperties::SetMaxValue)
      .Stored(&TcxTestSpinProperties::IsMaxValueStored);
}

class TcxEditRepositorySpinTestItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositorySpinTestItem, TcxEditRepositoryItem)

 public:
  explicit TcxEditRepositorySpinTestItem(TComponent* owner)
      : TcxEditRepositoryItem(owner, TcxTestSpinProperties::StaticClass()) {}
  TcxTestSpinProperties* Properties() const {
    return static_cast<TcxTestSpinProperties*>(TcxEditRepositoryItem::Properties());
  }
  void SetProperties(TcxTestSpinProperties* v) { TcxEditRepositoryItem::SetProperties(v); }
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxEditRepositorySpinTestItem) {
  p.Object("Properties", &TcxEditRepositorySpinTestItem::Properties,
           &TcxEditRepositorySpinTestItem::SetProperties, TcxTestSpinProperties::StaticClass());
}

TEST_F(EditRepositoryFormTest, AssignedValueFlagsStreamAsTheKindSays) {
  InitializeForms();
  InitializeCxEditRepositoryItems();
  RegisterClass(TcxEditRepositorySpinTestItem::StaticClass());
  auto* form = new TForm(Application);
  form->SetName("Form1");
  auto* repo = new TcxEditRepository(form);
  repo->SetName("Repo");
  auto* text = static_cast<TcxEditRepositoryTextItem*>(
      repo->CreateItemEx(TcxEditRepositoryTextItem::StaticClass(), form));
  text->SetName("TextItem");
  text->Properties()->SetMaxLength(-5);
  text->Properties()->Alignment()->SetHorz(taRightJustify);
  text->Properties()->SetReadOnly(false);
  auto* zero = static_cast<TcxEditRepositorySpinTestItem*>(
      repo->CreateItemEx(TcxEditRepositorySpinTestItem::StaticClass(), form));
  zero->SetName("Zero");
  zero->Properties()->SetMaxValue(0);
  auto* five = static_cast<TcxEditRepositorySpinTestItem*>(
      repo->CreateItemEx(TcxEditRepositorySpinTestItem::StaticClass(), form));
  five->SetName("Five");
  five->Properties()->SetMaxValue(5);
  const String written = WriteComponentToText(form);
  // The value 0 is not written, so its flag is; the value 5 is written, so its flag is not.
  const size_t zero_at = written.find("object Zero"), five_at = written.find("object Five");
  ASSERT_NE(zero_at, String::npos);
  ASSERT_NE(five_at, String::npos);
  const String zero_text = written.substr(zero_at, five_at - zero_at);
  const String five_text = written.substr(five_at);
  EXPECT_NE(zero_text.find("AssignedValues.MaxValue = True"), String::npos) << written;
  EXPECT_EQ(five_text.find("AssignedValues.MaxValue"), String::npos) << written;
  EXPECT_NE(five_text.find("MaxValue = 5"), String::npos) << written;
  EXPECT_NE(written.find("Properties.MaxLength = 0"), String::npos) << written;
  EXPECT_NE(written.find("Properties.ReadOnly = False"), String::npos) << written;
  EXPECT_NE(written.find("Properties.Alignment.Horz = taRightJustify"), String::npos) << written;
  EXPECT_EQ(written.find("Properties.AssignedValues.MaxLength"), String::npos) << written;
  // Read back, the flags carry the assignments.
  form->Free();
  auto* copy = new TForm(Application);
  ReadComponentFromText(copy, written);
  auto* zero_copy = dynamic_cast<TcxEditRepositorySpinTestItem*>(copy->FindComponent("Zero"));
  ASSERT_NE(zero_copy, nullptr);
  EXPECT_TRUE(zero_copy->Properties()->AssignedValues()->MaxValue());
  EXPECT_TRUE(zero_copy->Properties()->HasValueBound(1));
  auto* text_copy = dynamic_cast<TcxEditRepositoryTextItem*>(copy->FindComponent("TextItem"));
  ASSERT_NE(text_copy, nullptr);
  EXPECT_TRUE(text_copy->Properties()->IsMaxLengthStored());
  EXPECT_TRUE(text_copy->Properties()->IsReadOnlyStored());
  EXPECT_EQ(text_copy->Properties()->Alignment()->Horz(), taRightJustify);
  copy->Free();
}

}  // namespace
