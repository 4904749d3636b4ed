// Layout sections: the keys of a control's section in their order, the children's sections
// after their parent's, round trips through a store in memory and through a file, controls
// the form lacks created from their stored class, and damaged layouts refused before the
// first control changes.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "rtl/IniFiles.h"
#include "tests/docking/DockingTestSupport.h"

using namespace docktest;

namespace {

class LayoutSectionsTest : public DockingFixture {
 protected:
  // Site(L(L, T(P1, P2):left), P3:right auto-hidden...) with P4 floating.
  void SetUp() override {
    DockingFixture::SetUp();
    site->SetAlign(alClient);
    for (int i = 0; i < 4; ++i) p[i]->SetCaption("Panel " + IntToStr(i + 1));
    form->Show();
    Pump();
  }
  void BuildTree() {
    p[0]->DockTo(site, dtLeft, -1);
    p[1]->DockTo(p[0], dtClient, -1);
    p[2]->DockTo(site, dtRight, -1);
    p[2]->SetWidth(150);
    p[0]->TabContainer()->SetActiveChildIndex(0);
    p[3]->DockTo(site, dtBottom, -1);
    p[3]->SetAutoHide(true);
    Pump();
  }
  String Dir() {
    if (dir_.empty()) {
      dir_ = (std::filesystem::temp_directory_path() / "korvan_docklayout_XXXXXX").string();
      if (!mkdtemp(dir_.data())) ADD_FAILURE() << "no temp dir";
    }
    return dir_;
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
    DockingFixture::TearDown();
  }
  // The state a layout restores: the tree, sizes, active tab, auto-hide edge.
  String State() {
    String s = Tree(site);
    s += " P3w=" + IntToStr(p[2]->Width());
    if (auto* tc = p[0]->TabContainer()) s += " active=" + IntToStr(tc->ActiveChildIndex());
    s += " P4ah=" + IntToStr(p[3]->AutoHide()) + "@" + IntToStr(p[3]->AutoHidePosition());
    return s;
  }
  String dir_;
};

TEST_F(LayoutSectionsTest, KeysInOrderAndChildrenAfterTheirParent) {
  p[0]->DockTo(site, dtLeft, -1);
  TMemIniFile ini;
  DockingController()->SaveControlLayout(&ini, site);
  // The site's own section, then the layout site with its children, then P1.
  TStringList sections;
  ini.ReadSections(&sections);
  std::vector<String> order;
  for (Integer i = 0; i < sections.Count(); ++i) order.push_back(ini.ReadString(sections[i], "Name", ""));
  EXPECT_EQ(order, (std::vector<String>{"Site", "dxLayoutDockSite1", "P1"}));
  String s = IntToStr(DockingController()->DockControlIndex(p[0]));
  TStringList keys;
  ini.ReadSection(s, &keys);
  std::vector<String> got;
  for (Integer i = 0; i < keys.Count(); ++i) got.push_back(keys[i]);
  EXPECT_EQ(got, (std::vector<String>{"ClassName", "Name", "ParentForm", "ChildCount", "DockType", "AllowDockLeft",
                                      "AllowDockTop", "AllowDockRight", "AllowDockBottom", "AllowDockClient",
                                      "AllowDockClientsLeft", "AllowDockClientsTop", "AllowDockClientsRight",
                                      "AllowDockClientsBottom", "AllowDockClientsClient", "AllowFloating",
                                      "CaptionButtonClose", "CaptionButtonHide", "CaptionButtonMaximize", "Dockable",
                                      "Width", "Height", "OriginalWidth", "OriginalHeight", "Visible", "AutoHide",
                                      "StoredAutoHide"}));
  EXPECT_EQ(ini.ReadString(s, "ClassName", ""), "TdxDockPanel");
  EXPECT_EQ(ini.ReadString(s, "ParentForm", ""), "Form1");
  EXPECT_EQ(ini.ReadInteger(s, "DockType", -1), Integer(dtLeft));
  // The parent names its children by their sections.
  String parent = IntToStr(DockingController()->DockControlIndex(p[0]->ParentDockControl()));
  EXPECT_EQ(ini.ReadInteger(parent, "ChildCount", 0), 2);
  EXPECT_EQ(ini.ReadString(parent, "Children1", ""), s);
}

TEST_F(LayoutSectionsTest, RoundTripThroughMemoryGivesTheSavedTreeBack) {
  BuildTree();
  p[3]->MakeFloating(0, 0);  // (auto-hide goes with floating)
  p[3]->DockTo(site, dtBottom, -1);
  p[3]->SetAutoHide(true);
  String saved = State();
  ASSERT_EQ(saved, "Site(L(L(L:client,T(P1:client,P2:client):left):client,P3:right):client,P4:bottom) P3w=150 "
                   "active=0 P4ah=1@3");
  TMemIniFile ini;
  DockingController()->SaveLayoutToIniFile(&ini, form);
  // Change everything, then load.
  p[3]->SetAutoHide(false);
  p[1]->MakeFloating(600, 200);  // a float site and form that the layout does not hold
  p[2]->DockTo(p[0], dtBottom, -1);
  p[2]->SetWidth(90);
  Pump();
  ASSERT_NE(State(), saved);
  DockingController()->LoadLayoutFromIniFile(&ini, form);
  Pump();
  EXPECT_EQ(State(), saved);
  EXPECT_EQ(CheckInvariants(site), "");
  EXPECT_EQ(p[1]->FloatForm(), nullptr);
  for (Integer i = 0; i < Application->ComponentCount(); ++i)
    EXPECT_FALSE(dynamic_cast<TdxFloatForm*>(Application->Components(i)));
}

TEST_F(LayoutSectionsTest, RoundTripThroughAFileWithAFloatingControl) {
  BuildTree();
  p[3]->SetAutoHide(false);
  p[3]->MakeFloating(700, 250);
  Pump();
  String path = Dir() + "/layout.ini";
  DockingController()->SaveLayoutToIniFile(path, form);
  // The file is UTF-8 text of sections and keys.
  std::ifstream in(path);
  String first;
  std::getline(in, first);
  EXPECT_EQ(first.front(), '[');
  p[3]->DockTo(site, dtTop, -1);
  p[0]->UnDock();
  Pump();
  DockingController()->LoadLayoutFromIniFile(path, form);
  Pump();
  EXPECT_EQ(p[3]->DockingState(), dsFloating);
  ASSERT_TRUE(p[3]->FloatForm());
  EXPECT_EQ(p[3]->FloatForm()->Left(), 700);
  EXPECT_EQ(p[3]->FloatForm()->Top(), 250);
  EXPECT_EQ(Tree(site), "Site(L(L:client,T(P1:client,P2:client):left):client,P3:right)");
}

TEST_F(LayoutSectionsTest, AFormHoldingOnlyPanelsGetsTheSitesCreated) {
  BuildTree();
  TMemIniFile ini;
  DockingController()->SaveLayoutToIniFile(&ini, form);
  String saved = Tree(site);
  FreeForm(form);
  Pump();
  TForm* fresh = NewForm("Form1");
  for (int i = 0; i < 4; ++i) {
    p[i] = new TdxDockPanel(fresh);
    p[i]->SetName("P" + IntToStr(i + 1));
  }
  fresh->Show();
  Pump();
  DockingController()->LoadLayoutFromIniFile(&ini, fresh);
  Pump();
  auto* created = dynamic_cast<TdxDockSite*>(fresh->FindComponent("Site"));
  ASSERT_TRUE(created);
  EXPECT_EQ(created->Parent(), fresh);
  EXPECT_EQ(Tree(created), saved);
  EXPECT_TRUE(p[3]->AutoHide());
  // A section read without a form finds it by its stored name.
  String s = IntToStr(DockingController()->DockControlIndex(p[2]));
  EXPECT_EQ(FindGlobalComponent("Form1"), fresh);
  ini.WriteInteger(IntToStr(0), "Width", 0);
  EXPECT_NO_THROW(DockingController()->LoadControlLayout(&ini, nullptr, s, nullptr));
}

TEST_F(LayoutSectionsTest, ADamagedLayoutRaisesAndChangesNothing) {
  BuildTree();
  TMemIniFile good;
  DockingController()->SaveLayoutToIniFile(&good, form);
  String root = IntToStr(DockingController()->DockControlIndex(site));
  String panel = IntToStr(DockingController()->DockControlIndex(p[2]));
  String parentOfPanel = IntToStr(DockingController()->DockControlIndex(p[2]->ParentDockControl()));
  p[2]->UnDock();
  Pump();
  String before = State();
  struct Case {
    const char* name;
    std::function<void(TMemIniFile&)> damage;
    String fault;
  };
  Case cases[] = {
      {"a line that is no key", [](TMemIniFile& ini) { ini.SetText(ini.Text() + "garbage\n"); }, "is neither a section nor a key"},
      {"a missing section", [&](TMemIniFile& ini) { ini.EraseSection(panel); }, "[" + panel + "] it names is missing"},
      {"a section reached twice",
       [&](TMemIniFile& ini) { ini.WriteString(root, "Children" + IntToStr(ini.ReadInteger(root, "ChildCount", 0)), panel);
                               ini.WriteInteger(root, "ChildCount", ini.ReadInteger(root, "ChildCount", 0) + 1); },
       "section [" + panel + "]: the section is reached twice"},
      {"an unregistered class",
       [&](TMemIniFile& ini) { ini.WriteString(panel, "Name", "Nobody"); ini.WriteString(panel, "ClassName", "TNoSuchPanel"); },
       "section [" + panel + "]: \"TNoSuchPanel\" is no registered dock control class"},
      {"a dock type out of range", [&](TMemIniFile& ini) { ini.WriteInteger(panel, "DockType", 9); },
       "section [" + panel + "]: the dock type 9 is out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMemIniFile ini;
    ini.SetText(good.Text());
    c.damage(ini);
    try {
      DockingController()->LoadLayoutFromIniFile(&ini, form);
      ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
      EXPECT_NE(String(e.what()).find(c.fault), String::npos) << e.what();
    }
    EXPECT_EQ(State(), before);
  }
  (void)parentOfPanel;
  // A file: its name in the message; a missing file raises the platform's open error.
  String path = Dir() + "/bad.ini";
  {
    std::ofstream out(path);
    out << good.Text() << "oops\n";
  }
  try {
    DockingController()->LoadLayoutFromIniFile(path, form);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_NE(String(e.what()).find(path), String::npos) << e.what();
  }
  EXPECT_THROW(DockingController()->LoadLayoutFromIniFile(Dir() + "/missing.ini", form), EFOpenError);
  EXPECT_EQ(State(), before);
}

}  // namespace
