// The edit repository: listeners, moving items between repositories, base names and items
// read from form text.
#include <gtest/gtest.h>

#include "editors/cxEdit.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/FormReader.h"
#include "vcl/Forms.h"

namespace {

class TcxEditRepositoryTextItem : public TcxEditRepositoryItem {
  KORVAN_CLASS(TcxEditRepositoryTextItem, TcxEditRepositoryItem)

 public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
};
KORVAN_IMPLEMENT_CLASS(TcxEditRepositoryTextItem)

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
  InitializeCxEdit();
  RegisterClass(TcxEditRepositoryTextItem::StaticClass());
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
