// The go dialog of a tab control: a popup menu listing its visible, enabled tabs; choosing
// an item selects that tab.
#pragma once

#include "vcl/Menus.h"

class TcxCustomTabControl;

class TcxPCGoDialog : public TPopupMenu {
  KORVAN_CLASS(TcxPCGoDialog, TPopupMenu)

 public:
  explicit TcxPCGoDialog(TcxCustomTabControl* control);
  TcxCustomTabControl* TabControl() const { return control_; }
  // Rebuilds the items: one per visible enabled tab in visible order (sorted by caption with
  // pcoSort), captioned without accelerator marks, Tag the tab's index.
  void RebuildItems();
  // Rebuilds and shows the menu at the bottom-left corner of the go-dialog button.
  void Show();
  // The tab index of each item (its Tag).
  Integer ItemTabIndex(Integer item) const;

 private:
  void ItemClick(TObject* sender);
  TcxCustomTabControl* control_;
};

// "&&" gives "&", "&x" gives "x", a final "&" is dropped.
String RemoveAccelChars(const String& caption);
