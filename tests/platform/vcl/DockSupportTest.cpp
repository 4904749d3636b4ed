// Dock support: dock sites, docking and undocking, floating, notifications of the host.
#include "tests/platform/vcl/VclTestSupport.h"
#include "vcl/ControlMessages.h"
#include "vcl/DockSupport.h"
#include "vcl/ExtCtrls.h"

namespace {

// A site that records the dock messages it receives (and leaves docking to the default).
class TRecordingSite : public TPanel {
 public:
  using TPanel::TPanel;
  std::vector<String> log;
  void WndProc(TMessage& m) override {
    switch (m.Msg) {
      case CM_DOCKCLIENT: log.push_back("dock " + reinterpret_cast<TDockClientInfo*>(m.LParam)->Client->Name()); break;
      case CM_UNDOCKCLIENT:
        log.push_back("undock " + reinterpret_cast<TControl*>(m.LParam)->Name() + (m.WParam ? " to site" : " to float"));
        break;
      case CM_DOCKNOTIFICATION:
        log.push_back(String(reinterpret_cast<TMessage*>(m.LParam)->Msg == CM_TEXTCHANGED ? "text " : "visible ") +
                      reinterpret_cast<TControl*>(m.WParam)->Name());
        break;
    }
    TPanel::WndProc(m);
  }
};

class DockSupportTest : public VclFixture {
 protected:
  void SetUp() override {
    VclFixture::SetUp();
    form = new TForm(Application);
    form->SetBounds(50, 50, 600, 400);
    site = new TRecordingSite(form);
    site->SetName("Site");
    site->SetBounds(10, 10, 300, 200);
    site->SetParent(form);
    other = new TRecordingSite(form);
    other->SetName("Other");
    other->SetBounds(320, 10, 200, 200);
    other->SetParent(form);
    client = new TPanel(form);
    client->SetName("Client");
    client->SetBounds(10, 250, 100, 60);
    client->SetParent(form);
    form->Show();
    Pump();
  }
  void TearDown() override {
    form->Free();
    VclFixture::TearDown();
  }
  TForm* form = nullptr;
  TRecordingSite* site = nullptr;
  TRecordingSite* other = nullptr;
  TPanel* client = nullptr;
};

TEST_F(DockSupportTest, DockingNeedsADockSiteAndHappensOnce) {
  EXPECT_FALSE(ManualDock(client, site));
  EXPECT_EQ(HostDockSite(client), nullptr);
  EXPECT_EQ(client->Parent(), form);
  SetDockSite(site, true);
  EXPECT_TRUE(IsDockSite(site));
  EXPECT_TRUE(ManualDock(client, site));
  EXPECT_EQ(HostDockSite(client), site);
  EXPECT_EQ(client->Parent(), site);  // not handled by the site: placed on it
  EXPECT_EQ(DockClients(site), std::vector<TControl*>{client});
  // Twice, onto itself or into its own child: refused.
  EXPECT_FALSE(ManualDock(client, site));
  SetDockSite(client, true);
  EXPECT_FALSE(ManualDock(site, client));
  EXPECT_FALSE(ManualDock(client, client));
  EXPECT_EQ(site->log, std::vector<String>{"dock Client"});
}

TEST_F(DockSupportTest, MovingToAnotherSiteUndocksFirstAndChangesAreReported) {
  SetDockSite(site, true);
  SetDockSite(other, true);
  ASSERT_TRUE(ManualDock(client, site));
  client->SetCaption("Renamed");
  client->SetVisible(false);
  client->SetVisible(true);
  ASSERT_TRUE(ManualDock(client, other));
  EXPECT_EQ(site->log,
            (std::vector<String>{"dock Client", "text Client", "visible Client", "visible Client", "undock Client to site"}));
  EXPECT_EQ(other->log, std::vector<String>{"dock Client"});
  EXPECT_TRUE(DockClients(site).empty());
  EXPECT_EQ(HostDockSite(client), other);
  // Changes of an undocked control reach nobody.
  other->log.clear();
  ASSERT_TRUE(ManualFloat(client));
  client->SetCaption("Free");
  EXPECT_EQ(other->log, std::vector<String>{"undock Client to float"});
}

TEST_F(DockSupportTest, FloatingShowsTheControlInAFormOfItsOwnAndDockingBackFreesIt) {
  EXPECT_FALSE(ManualFloat(client));  // not docked
  SetDockSite(site, true);
  ASSERT_TRUE(ManualDock(client, site));
  ASSERT_TRUE(ManualFloat(client, TRect(100, 100, 300, 250)));
  EXPECT_EQ(HostDockSite(client), nullptr);
  auto* floatForm = dynamic_cast<TForm*>(client->Parent());
  ASSERT_NE(floatForm, nullptr);
  EXPECT_TRUE(floatForm->Visible());
  EXPECT_EQ(floatForm->BoundsRect(), TRect(100, 100, 300, 250));
  EXPECT_EQ(client->Align(), alClient);
  TWeakRef<TForm> alive(floatForm);
  ASSERT_TRUE(ManualDock(client, site));
  Process();
  EXPECT_FALSE(alive);
  EXPECT_EQ(client->Parent(), site);
}

TEST_F(DockSupportTest, FreedSitesAndClientsAreForgottenAndTheDockRectIsTheWindowRect) {
  SetDockSite(site, true);
  ASSERT_TRUE(ManualDock(client, site));
  RECT r;
  GetWindowRect(site->Handle(), &r);
  EXPECT_EQ(DockSiteRect(site), TRect(r));
  client->Free();
  EXPECT_TRUE(DockClients(site).empty());
  site->Free();
  EXPECT_FALSE(IsDockSite(site));
}

}  // namespace
