// A form description holding a dock site with panels reads into the same dock tree and
// writes back to the same text.
#include "tests/docking/DockingTestSupport.h"
#include "vcl/FormReader.h"

using namespace docktest;

namespace {

using DockFormStreamTest = DockingFixture;

TEST_F(DockFormStreamTest, ReadsTheTreeBackAndWritesTheSameText) {
  site->SetAlign(alClient);
  p[0]->SetCaption("Left panel");
  p[1]->SetColor(clRed);  // a colour of its own: stored, with ManagerColor off
  p[0]->DockTo(site, dtLeft, -1);
  p[1]->DockTo(site, dtTop, -1);
  p[2]->DockTo(site->Children(0), dtBottom, -1);
  p[3]->Free();  // an undocked panel has no window parent to be stored under
  p[3] = nullptr;
  String tree = Tree(site);
  String text = WriteComponentToText(form);
  EXPECT_NE(text.find("DockType = 3"), String::npos) << text;

  TForm* copy = NewForm("Copy");
  ReadComponentFromText(copy, text);
  auto* readSite = dynamic_cast<TdxDockSite*>(copy->FindComponent("Site"));
  ASSERT_NE(readSite, nullptr);
  EXPECT_EQ(Tree(readSite), tree);
  EXPECT_EQ(CheckInvariants(readSite), "");
  auto* readPanel = dynamic_cast<TdxDockPanel*>(copy->FindComponent("P1"));
  ASSERT_NE(readPanel, nullptr);
  EXPECT_EQ(readPanel->Caption(), "Left panel");
  EXPECT_EQ(readPanel->OriginalWidth(), p[0]->OriginalWidth());
  EXPECT_TRUE(readPanel->ManagerColor());
  auto* red = dynamic_cast<TdxDockPanel*>(copy->FindComponent("P2"));
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->Color(), clRed);
  EXPECT_FALSE(red->ManagerColor());
  // Only P2's colour is written: the others follow the manager.
  size_t first = text.find("Color = clRed");
  EXPECT_NE(first, String::npos);
  EXPECT_EQ(text.find("  Color = clBtnFace", text.find("object Site")), String::npos);
  // The same text apart from the root's name.
  String again = WriteComponentToText(copy);
  EXPECT_EQ(again.substr(again.find('\n')), text.substr(text.find('\n')));
}

}  // namespace
