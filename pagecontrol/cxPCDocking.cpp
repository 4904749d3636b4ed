// Docking of controls onto the page control: each docked control lives on a sheet of its own.
#include "pagecontrol/cxPC.h"
#include "vcl/ControlMessages.h"
#include "vcl/DockSupport.h"
#include "vcl/Forms.h"

namespace {

// A sheet caption: the text up to its first line break.
String FirstLine(const String& text) {
  size_t end = text.find_first_of("\r\n");
  return end == String::npos ? text : text.substr(0, end);
}

}  // namespace

bool TcxPageControl::DockSite() const { return IsDockSite(const_cast<TcxPageControl*>(this)); }

void TcxPageControl::SetDockSite(bool v) { ::SetDockSite(this, v); }

TcxTabSheet* TcxPageControl::DockedSheetOf(TControl* client) const {
  if (!client || HostDockSite(client) != this) return nullptr;
  for (TcxTabSheet* page : pages_)
    if (client->Parent() == page) return page;
  return nullptr;
}

void TcxPageControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_DOCKCLIENT: {
      auto* info = reinterpret_cast<TDockClientInfo*>(m.LParam);
      if (info && info->Client) DockClientToPage(info->Client);
      m.Result = 1;
      return;
    }
    case CM_UNDOCKCLIENT:
      UndockClient(reinterpret_cast<TControl*>(m.WParam), reinterpret_cast<TControl*>(m.LParam));
      m.Result = 1;
      return;
    case CM_DOCKNOTIFICATION:
      if (m.LParam) ControlChange(reinterpret_cast<TControl*>(m.WParam), *reinterpret_cast<TMessage*>(m.LParam));
      return;
    default: TcxCustomTabControl::WndProc(m);
  }
}

void TcxPageControl::DockClientToPage(TControl* client) {
  newDockSheet_ = nullptr;
  TcxTabSheet* sheet = nullptr;
  for (TcxTabSheet* page : pages_)
    if (client->Parent() == page) sheet = page;
  if (sheet) {
    // Already on one of the sheets: that sheet moves last.
    sheet->SetPageIndex(PageCount() - 1);
  } else {
    sheet = new TcxTabSheet(this);
    // A form gives its caption; other controls their text.
    sheet->SetCaption(FirstLine(client->Text()));
    sheet->SetPageControl(this);
    newDockSheet_ = sheet;
  }
  client->SetParent(sheet);
  client->SetAlign(alClient);
  sheet->SetTabVisible(client->Visible());
  if (client->Visible()) SetActivePage(sheet);
}

void TcxPageControl::UndockClient(TControl* /*newTarget*/, TControl* client) {
  TcxTabSheet* sheet = nullptr;
  for (TcxTabSheet* page : pages_)
    if (client && client->Parent() == page) sheet = page;
  if (!sheet) return;
  client->SetAlign(alNone);
  // The client leaves the sheet now; the new host (or the float form) takes it.
  undockingPage_ = sheet;
  client->SetParent(nullptr);
  if (sheet->ControlCount() == 0) {
    if (sheet == activePage_) SetActivePage(FindNextPage(sheet, true, true));
    if (newDockSheet_ == sheet) newDockSheet_ = nullptr;
    sheet->Free();
  }
  undockingPage_ = nullptr;
}

void TcxPageControl::ControlChange(TControl* client, const TMessage& change) {
  TcxTabSheet* sheet = DockedSheetOf(client);
  if (!sheet) return;
  if (change.Msg == CM_TEXTCHANGED) sheet->SetCaption(FirstLine(client->Text()));
  if (change.Msg == CM_VISIBLECHANGED) sheet->SetTabVisible(client->Visible());
}

void TcxPageControl::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxPageControl> alive(this);
  TcxCustomTabControl::MouseDown(button, shift, x, y);
  if (!alive || button != mbLeft || shift.Contains(ssDouble)) return;
  // A left press on the tab of a docked control starts dragging the control.
  Integer vi = GetTabIndexAtPoint(TPoint(x, y));
  if (vi < 0) return;
  auto* sheet = dynamic_cast<TcxTabSheet*>(GetPageOfTab(VisibleTabs(vi)->Index()));
  if (!sheet) return;
  for (TControl* client : DockClients(this))
    if (client->Parent() == sheet) {
      client->BeginDrag(false);
      return;
    }
}

void TcxPageControl::DblClick() {
  TcxCustomTabControl::DblClick();
  // A double click on the tab of a docked control floats the control.
  TPoint p;
  QueryCursorPos(p);
  p = ScreenToClient(p);
  Integer vi = GetTabIndexAtPoint(p);
  if (vi < 0) return;
  auto* sheet = dynamic_cast<TcxTabSheet*>(GetPageOfTab(VisibleTabs(vi)->Index()));
  if (!sheet) return;
  for (TControl* client : DockClients(this))
    if (client->Parent() == sheet) {
      ManualFloat(client);
      return;
    }
}
