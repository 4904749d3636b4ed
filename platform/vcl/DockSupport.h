// Dock support of the class framework: dock sites, docking a control into a site, undocking,
// floating a docked control in a form of its own, and the notifications a site receives.
//
// A site hears of its clients through messages sent to it:
// - CM_DOCKCLIENT (LParam: TDockClientInfo*): a control docks into the site. A site that
//   handles it sets Result to 1; otherwise the control is simply placed on the site.
// - CM_UNDOCKCLIENT (WParam: the new host or nullptr, LParam: the client): the client leaves.
// - CM_DOCKNOTIFICATION (WParam: the client, LParam: TMessage* of the client's change): a
//   docked client's text (CM_TEXTCHANGED) or visibility (CM_VISIBLECHANGED) changed.
#pragma once

#include "vcl/Controls.h"

struct TDockClientInfo {
  TControl* Client = nullptr;
  TPoint MousePos;  // in the site's client coordinates
};

// Whether the control accepts docked controls.
bool IsDockSite(TWinControl* site);
void SetDockSite(TWinControl* site, bool v);
// The site a control is docked into (nullptr when not docked).
TWinControl* HostDockSite(TControl* client);
// The controls docked into a site, in docking order.
std::vector<TControl*> DockClients(TWinControl* site);
// Docks the control into a dock site (undocking it from its former host first). False, and
// nothing changes, when the site is not a dock site, the control is already docked there,
// or the control is the site or one of its parents.
bool ManualDock(TControl* client, TWinControl* site, TPoint mousePos = TPoint());
// Undocks the control and shows it in a form of its own at the screen rectangle (its
// current size at its current place when empty). False when the control is not docked.
bool ManualFloat(TControl* client, TRect screenRect = TRect());
// The rectangle offered while a control is dragged over the site: its window rectangle.
TRect DockSiteRect(TWinControl* site);
// The end of a dock drag at a screen point: docks the control into the dock site under the
// point (the innermost one that is neither the control nor inside it), else floats a docked
// control there. False when nothing changed.
bool DockDropAt(TControl* client, TPoint screen);
// Tells the client's host about a change of the client (text or visibility).
void NotifyDockHost(TControl* client, Cardinal changeMsg);
