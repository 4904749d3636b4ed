// Summaries in form descriptions: footer and group items, summary groups and their links are
// collections that a form text stores and reads back; damaged entries give the reader's error.
#include <gtest/gtest.h>

#include "tests/data/DataControllerFixture.h"
#include "rtl/TypInfo.h"
#include "vcl/FormReader.h"

using namespace dc_fixture;

// A controller that publishes its summary, as the grid's controllers do, and a component
// that publishes the controller, as a grid view does.
class TSummaryController : public TLoggingController {
  KORVAN_CLASS(TSummaryController, TLoggingController)

 public:
  using TLoggingController::TLoggingController;
  void SetSummary(TcxDataSummary* v) { Summary()->Assign(v); }
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TSummaryController) {
  p.Object("Summary", &TSummaryController::Summary, &TSummaryController::SetSummary, TcxDataSummary::StaticClass());
}

class TSummaryHost : public TComponent {
  KORVAN_CLASS(TSummaryHost, TComponent)

 public:
  using CreateArgType = TComponent*;
  explicit TSummaryHost(TComponent* owner) : TComponent(owner), controller_(std::make_unique<TSummaryController>(this)) {
    controller_->AddTypedItem(TcxStringValueType::Class());
    controller_->AddTypedItem(TcxIntegerValueType::Class());
  }
  TSummaryController* DataController() const { return controller_.get(); }
  void SetDataController(TSummaryController* v) { controller_->Assign(v); }
  TObject* ItemObject(int i) const { return controller_->ItemObject(i); }

 private:
  std::unique_ptr<TSummaryController> controller_;
};
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TSummaryHost) {
  p.Object("DataController", &TSummaryHost::DataController, &TSummaryHost::SetDataController,
           TSummaryController::StaticClass());
}

class TSummaryRoot : public TComponent {
  KORVAN_CLASS(TSummaryRoot, TComponent)

 public:
  using CreateArgType = TComponent*;
  using TComponent::TComponent;
};
KORVAN_IMPLEMENT_CLASS(TSummaryRoot)

namespace {

class SummaryFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterClass(TSummaryHost::StaticClass());
    RegisterClass(TSummaryRoot::StaticClass());
  }
  void TearDown() override {
    for (TComponent* r : roots_) r->Free();
  }
  TSummaryRoot* NewRoot() {
    auto* r = new TSummaryRoot(nullptr);
    r->SetName("Root");
    roots_.push_back(r);
    return r;
  }
  std::vector<TComponent*> roots_;
};

TEST_F(SummaryFormTest, ItemsGroupsAndOptionsReadBackFromTheWrittenText) {
  TSummaryRoot* root = NewRoot();
  auto* host = new TSummaryHost(root);
  host->SetName("Data");
  TcxDataSummary* s = host->DataController()->Summary();
  s->FooterSummaryItems()->AddLinked(host->ItemObject(1), spFooter, "0.0", skSum);
  s->FooterSummaryItems()->AddLinked(host->ItemObject(1), spFooter, "", skCount);
  s->DefaultGroupSummaryItems()->AddLinked(host->ItemObject(1), spFooter, "", skMax);
  TcxDataSummaryGroup* g = s->AddSummaryGroup();
  g->SummaryItems()->AddLinked(host->ItemObject(1), spGroup, "MIN=0", skMin);
  g->AddLink(host->ItemObject(0));
  s->SetOptions({soNullIgnore});

  String text = WriteComponentToText(root);
  for (const char* wanted : {"DataController.Summary.FooterSummaryItems = <", "Kind = skSum", "Format = '0.0'", "Kind = skCount",
                             "DataController.Summary.DefaultGroupSummaryItems = <", "Position = spFooter",
                             "DataController.Summary.SummaryGroups = <", "Links = <", "SummaryItems = <", "Format = 'MIN=0'",
                             "DataController.Summary.Options = [soNullIgnore]"})
    EXPECT_NE(text.find(wanted), String::npos) << wanted << "\n" << text;

  TSummaryRoot* copyRoot = NewRoot();
  ReadComponentFromText(copyRoot, text);
  auto* copy = dynamic_cast<TSummaryHost*>(copyRoot->FindComponent("Data"));
  ASSERT_NE(copy, nullptr);
  TcxDataSummary* c = copy->DataController()->Summary();
  ASSERT_EQ(c->FooterSummaryItems()->Count(), 2);
  EXPECT_EQ(c->FooterSummaryItems()->Items(0)->Kind(), skSum);
  EXPECT_EQ(c->FooterSummaryItems()->Items(0)->Format(), "0.0");
  EXPECT_EQ(c->FooterSummaryItems()->Items(1)->Kind(), skCount);
  EXPECT_EQ(c->FooterSummaryItems()->Items(1)->Position(), spFooter);
  ASSERT_EQ(c->DefaultGroupSummaryItems()->Count(), 1);
  EXPECT_EQ(c->DefaultGroupSummaryItems()->Items(0)->Position(), spFooter);
  ASSERT_EQ(c->SummaryGroupCount(), 1);
  ASSERT_EQ(c->SummaryGroups(0)->SummaryItems()->Count(), 1);
  EXPECT_EQ(c->SummaryGroups(0)->SummaryItems()->Items(0)->Kind(), skMin);
  EXPECT_EQ(c->SummaryGroups(0)->LinkCount(), 1);
  EXPECT_TRUE(c->Options() == TcxSummaryOptions{soNullIgnore});
  EXPECT_EQ(WriteComponentToText(copyRoot), text);
}

TEST_F(SummaryFormTest, DamagedSummaryEntriesGiveTheReadersError) {
  const char* const entries[] = {
      "DataController.Summary.FooterSummaryItems = <item Kind = skMedian end>",
      "DataController.Summary.FooterSummaryItems = <item Colour = 1 end>",
      "DataController.Summary.DefaultGroupSummaryItems = <item Position = spHeader end>",
      "DataController.Summary.Options = [soEverything]",
      "DataController.Summary.SummaryGroups = <item SummaryItems = <item Kind = 'x' end> end>",
  };
  for (const char* entry : entries) {
    TSummaryRoot* root = NewRoot();
    try {
      ReadComponentFromText(root, String("object Root: TSummaryRoot\n  object Data: TSummaryHost\n    ") + entry +
                                      "\n  end\nend\n");
      ADD_FAILURE() << "no error for " << entry;
    } catch (const EReadError& e) {
      EXPECT_EQ(String(e.what()).rfind("Error reading", 0), 0u) << e.what();
    }
  }
}

TEST_F(SummaryFormTest, BadKindsAndPositionsAreRefused) {
  TSummaryRoot* root = NewRoot();
  auto* host = new TSummaryHost(root);
  TcxDataSummaryItems* footer = host->DataController()->Summary()->FooterSummaryItems();
  EXPECT_THROW(footer->AddLinked(host->ItemObject(1), spFooter, "", TcxSummaryKind(9)), EPropertyError);
  EXPECT_THROW(footer->AddLinked(host->ItemObject(1), TcxSummaryPosition(5), "", skSum), EPropertyError);
  EXPECT_EQ(footer->Count(), 0);
  TcxDataSummaryItem* item = footer->AddLinked(host->ItemObject(1), spFooter, "", skSum);
  EXPECT_THROW(item->SetKind(TcxSummaryKind(6)), EPropertyError);
  EXPECT_THROW(SetOrdProp(item, "Kind", 6), EPropertyError);
  EXPECT_EQ(item->Kind(), skSum);
}

}  // namespace
