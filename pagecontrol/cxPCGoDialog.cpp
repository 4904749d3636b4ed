#include "pagecontrol/cxPCGoDialog.h"

#include <algorithm>

#include "pagecontrol/cxPC.h"
#include "rtl/SysUtils.h"

KORVAN_IMPLEMENT_CLASS(TcxPCGoDialog)

String RemoveAccelChars(const String& caption) {
  String r;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size()) r += caption[++i];
      continue;
    }
    r += caption[i];
  }
  return r;
}

TcxPCGoDialog::TcxPCGoDialog(TcxCustomTabControl* control) : TPopupMenu(nullptr), control_(control) {}

void TcxPCGoDialog::RebuildItems() {
  Items()->Clear();
  struct TEntry {
    String Caption;
    Integer Tab;
  };
  std::vector<TEntry> entries;
  for (Integer i = 0; i < control_->VisibleTabCount(); ++i) {
    TcxTab* tab = control_->VisibleTabs(i);
    if (tab->Enabled()) entries.push_back({RemoveAccelChars(tab->Caption()), tab->Index()});
  }
  if (control_->Options().Contains(pcoSort))
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TEntry& a, const TEntry& b) { return AnsiCompareText(a.Caption, b.Caption) < 0; });
  for (const TEntry& e : entries) {
    auto* item = new TMenuItem(this);
    // The item shows the caption as it stands: a remaining "&" is not an accelerator mark.
    String shown;
    for (char c : e.Caption) shown += c == '&' ? String("&&") : String(1, c);
    item->SetCaption(shown);
    item->SetTag(e.Tab);
    item->OnClick = [this](TObject* sender) { ItemClick(sender); };
    Items()->Add(item);
  }
}

Integer TcxPCGoDialog::ItemTabIndex(Integer item) const { return Integer(Items()->Items(item)->Tag()); }

void TcxPCGoDialog::Show() {
  RebuildItems();
  TRect r = control_->Painter()->GetGoDialogButtonBounds();
  TPoint p = control_->ClientToScreen(TPoint(r.Left, r.Bottom));
  Popup(p.X, p.Y);
}

void TcxPCGoDialog::ItemClick(TObject* sender) {
  auto* item = static_cast<TMenuItem*>(sender);
  control_->GoDialogTabSelected(Integer(item->Tag()));
}
