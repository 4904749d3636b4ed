#include "vcl/DockSupport.h"

#include <algorithm>
#include <map>

#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"

namespace {

// Forgets sites and clients as they are freed.
class TDockRegistry : public TComponent {
 public:
  TDockRegistry() : TComponent(nullptr) {}
  std::vector<TWinControl*> sites;
  std::map<TControl*, TWinControl*> hosts;
  std::map<TWinControl*, std::vector<TControl*>> clients;

  void Watch(TComponent* c) { c->FreeNotification(this); }
  void Forget(TControl* client) {
    auto it = hosts.find(client);
    if (it == hosts.end()) return;
    auto& list = clients[it->second];
    list.erase(std::remove(list.begin(), list.end(), client), list.end());
    hosts.erase(it);
  }

 protected:
  // Called while the component is being destroyed: its dynamic type is gone, so entries are
  // found by comparing component pointers.
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op != opRemove) return;
    for (auto it = hosts.begin(); it != hosts.end(); ++it)
      if (static_cast<TComponent*>(it->first) == c) {
        Forget(it->first);
        break;
      }
    sites.erase(std::remove_if(sites.begin(), sites.end(), [c](TWinControl* s) { return static_cast<TComponent*>(s) == c; }),
                sites.end());
    for (auto it = clients.begin(); it != clients.end(); ++it)
      if (static_cast<TComponent*>(it->first) == c) {
        for (TControl* client : it->second) hosts.erase(client);
        clients.erase(it);
        break;
      }
  }
};

TDockRegistry& Registry() {
  static TDockRegistry* registry = new TDockRegistry();
  return *registry;
}

bool IsParentOf(TWinControl* parent, TControl* control) {
  for (TWinControl* p = control ? control->Parent() : nullptr; p; p = p->Parent())
    if (p == parent) return true;
  return false;
}

// Takes the client off its host's list and tells the host.
void Undock(TControl* client, TWinControl* newHost) {
  TWinControl* host = HostDockSite(client);
  if (!host) return;
  Registry().Forget(client);
  host->Perform(CM_UNDOCKCLIENT, NativeUInt(newHost), NativeInt(client));
}

}  // namespace

bool IsDockSite(TWinControl* site) {
  auto& sites = Registry().sites;
  return site && std::find(sites.begin(), sites.end(), site) != sites.end();
}

void SetDockSite(TWinControl* site, bool v) {
  if (!site || IsDockSite(site) == v) return;
  auto& sites = Registry().sites;
  if (v) {
    sites.push_back(site);
    Registry().Watch(site);
  } else {
    sites.erase(std::remove(sites.begin(), sites.end(), site), sites.end());
  }
}

TWinControl* HostDockSite(TControl* client) {
  auto& hosts = Registry().hosts;
  auto it = hosts.find(client);
  return it == hosts.end() ? nullptr : it->second;
}

std::vector<TControl*> DockClients(TWinControl* site) {
  auto& clients = Registry().clients;
  auto it = clients.find(site);
  return it == clients.end() ? std::vector<TControl*>() : it->second;
}

bool ManualDock(TControl* client, TWinControl* site, TPoint mousePos) {
  if (!client || !IsDockSite(site) || client == site || HostDockSite(client) == site) return false;
  if (auto* w = dynamic_cast<TWinControl*>(client); w && IsParentOf(w, site)) return false;
  TWinControl* oldHost = HostDockSite(client);
  // A float form left empty by the docking goes. Taken before undocking, which may free the
  // control's parent (a page control frees an emptied sheet).
  auto* floatForm = oldHost ? nullptr : dynamic_cast<TCustomForm*>(client->Parent());
  Undock(client, site);
  Registry().hosts[client] = site;
  Registry().clients[site].push_back(client);
  Registry().Watch(client);
  TDockClientInfo info{client, mousePos};
  if (site->Perform(CM_DOCKCLIENT, 0, NativeInt(&info)) == 0) client->SetParent(site);
  if (floatForm && floatForm->Tag() == NativeInt(0x444F434B) && floatForm->ControlCount() == 0)
    floatForm->Release();
  return true;
}

bool ManualFloat(TControl* client, TRect screenRect) {
  if (!client || !HostDockSite(client)) return false;
  if (screenRect.IsEmpty()) {
    TPoint origin = client->Parent() ? client->Parent()->ClientToScreen(TPoint(client->Left(), client->Top()))
                                     : TPoint(client->Left(), client->Top());
    screenRect = TRect(origin.X, origin.Y, origin.X + std::max(client->Width(), 50),
                       origin.Y + std::max(client->Height(), 30));
  }
  Undock(client, nullptr);
  // The float form: marked by its tag so that docking the control back frees it.
  auto* form = new TForm(Application);
  form->SetTag(NativeInt(0x444F434B));
  form->SetBounds(screenRect.Left, screenRect.Top, screenRect.Width(), screenRect.Height());
  client->SetAlign(alNone);
  client->SetParent(form);
  client->SetAlign(alClient);
  client->SetVisible(true);
  form->Show();
  return true;
}

bool DockDropAt(TControl* client, TPoint screen) {
  if (!client) return false;
  auto* own = dynamic_cast<TWinControl*>(client);
  TControl* under = FindDragTarget(screen, false);
  TWinControl* site = under ? (dynamic_cast<TWinControl*>(under) ? static_cast<TWinControl*>(under) : under->Parent())
                            : nullptr;
  for (; site; site = site->Parent()) {
    bool inside = site == client || (own && IsParentOf(own, site));
    if (!inside && IsDockSite(site)) break;
  }
  if (site) {
    if (HostDockSite(client) == site) return false;
    return ManualDock(client, site, site->ScreenToClient(screen));
  }
  if (!HostDockSite(client)) return false;
  return ManualFloat(client, TRect(screen.X, screen.Y, screen.X + std::max(client->Width(), 50),
                                   screen.Y + std::max(client->Height(), 30)));
}

TRect DockSiteRect(TWinControl* site) {
  if (!site) return TRect();
  TPoint origin = site->ClientToScreen(TPoint(0, 0));
  if (!site->HandleAllocated()) return TRect(origin.X, origin.Y, origin.X + site->Width(), origin.Y + site->Height());
  RECT r;
  GetWindowRect(site->Handle(), &r);
  return r;
}

void NotifyDockHost(TControl* client, Cardinal changeMsg) {
  TWinControl* host = HostDockSite(client);
  if (!host) return;
  TMessage change;
  change.Msg = changeMsg;
  host->Perform(CM_DOCKNOTIFICATION, NativeUInt(client), NativeInt(&change));
}
