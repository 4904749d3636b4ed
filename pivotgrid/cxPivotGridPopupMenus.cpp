// The pivot grid's built-in context menus.
#include "pivotgrid/cxPivotGridPopupMenus.h"

#include "foundation/cxClasses.h"
#include "foundation/cxControls.h"
#include "pivotgrid/cxPivotGridCustomization.h"
#include "rtl/TypInfo.h"

// ---- published properties -----------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridCustomPopupMenu) {
  using M = TcxPivotGridCustomPopupMenu;
  p.Object("PopupMenu", &M::PopupMenu, &M::SetPopupMenu, TComponent::StaticClass());
  p.Bool("UseBuiltInMenu", &M::UseBuiltInMenu, &M::SetUseBuiltInMenu).Default(true);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridFieldHeaderMenu) {
  using M = TcxPivotGridFieldHeaderMenu;
  static PTypeInfo items = SetTypeInfo("TcxPivotGridFieldHeaderPopupMenuItems",
                                       EnumTypeInfo("TcxPivotGridFieldHeaderPopupMenuItem",
                                                    {"fpmiHide", "fpmiOrder", "fpmiFieldList"}));
  p.Set("Items", &M::Items, &M::SetItems, items).Stored(&M::IsItemsStored);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridGroupValueMenu) {
  using M = TcxPivotGridGroupValueMenu;
  static PTypeInfo items = SetTypeInfo("TcxPivotGridGroupValuePopupMenuItems",
                                       EnumTypeInfo("TcxPivotGridGroupValuePopupMenuItem",
                                                    {"vpmiExpandCollapse", "vpmiExpandAll", "vpmiCollapseAll"}));
  p.Set("Items", &M::Items, &M::SetItems, items).Stored(&M::IsItemsStored);
}

KORVAN_IMPLEMENT_CLASS(TcxPivotGridHeaderAreaMenu)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxPivotGridPopupMenus) {
  using M = TcxPivotGridPopupMenus;
  p.Object("FieldHeaderMenu", &M::FieldHeaderMenu, &M::SetFieldHeaderMenu, TcxPivotGridFieldHeaderMenu::StaticClass());
  p.Object("GroupValueMenu", &M::GroupValueMenu, &M::SetGroupValueMenu, TcxPivotGridGroupValueMenu::StaticClass());
  p.Object("HeaderAreaMenu", &M::HeaderAreaMenu, &M::SetHeaderAreaMenu, TcxPivotGridHeaderAreaMenu::StaticClass());
  p.Event("OnClick", &M::OnClick, "TcxPivotGridPopupMenuClickEvent");
  p.Event("OnPopup", &M::OnPopup, "TcxPivotGridPopupMenuPopupEvent");
}

// ---- the common menu ---------------------------------------------------------------------------------

TcxPivotGridCustomPopupMenu::TcxPivotGridCustomPopupMenu(TcxPivotGridPopupMenus* owner) : owner_(owner) {}

TcxPivotGridCustomPopupMenu::~TcxPivotGridCustomPopupMenu() {
  // A menu still tracking (its grid freed from a handler) ends its loop when it is freed.
  FreeAndNil(builtInMenu_);
}

TcxCustomPivotGrid* TcxPivotGridCustomPopupMenu::PivotGrid() const { return owner_->PivotGrid(); }

void TcxPivotGridCustomPopupMenu::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxPivotGridCustomPopupMenu*>(source)) {
    SetUseBuiltInMenu(s->UseBuiltInMenu());
    SetPopupMenu(s->PopupMenu());
    AssignItems(s);
  } else {
    TPersistent::Assign(source);
  }
}

void TcxPivotGridCustomPopupMenu::SetPopupMenu(TComponent* menu) {
  if (popupMenu_ == menu) return;
  // The old menu's free notification stays: the grid's own popup menu or another of these
  // menus may still rely on it, and a notification for a menu not held is harmless.
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(PivotGrid());
}

void TcxPivotGridCustomPopupMenu::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

TMenuItem* TcxPivotGridCustomPopupMenu::AddItem(TMenuItem* parent, const String& caption, bool enabled, int tag) {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption(caption == "-" ? caption : cxPivotGridResText(caption.c_str()));
  item->SetEnabled(enabled);
  item->SetTag(tag);
  item->OnClick = [this](TObject* sender) { MenuItemClick(sender); };
  parent->Add(item);
  return item;
}

void TcxPivotGridCustomPopupMenu::AddFieldListItems(TMenuItem* parent) {
  AddSeparator(parent);
  TcxCustomPivotGrid* grid = PivotGrid();
  bool shown = grid->Customization()->Visible();
  AddItem(parent, shown ? "Hide Field List" : "Show Field List", grid->OptionsCustomize()->QuickCustomization(),
          shown ? pgcmHideFieldList : pgcmShowFieldList);
}

bool TcxPivotGridCustomPopupMenu::Popup(int x, int y) {
  // A popup asked for from a click of this menu would free the menu that is running it.
  if (popping_) return false;
  TcxCustomPivotGrid* grid = PivotGrid();
  TcxObjectLinkGuard link(grid);
  FreeAndNil(builtInMenu_);
  builtInMenu_ = new TPopupMenu(nullptr);
  CreateItems();
  bool handled = false;
  owner_->DoPopup(this, handled);
  if (handled || !link.Alive()) return handled;
  // The flag is put back however the menu ends (a handler may raise, or free the grid).
  struct TPopping {
    bool& flag;
    TcxObjectLinkGuard& link;
    ~TPopping() {
      if (link.Alive()) flag = false;
    }
  } popping{popping_, link};
  popping_ = true;
  return InvokePopupMenu(grid, useBuiltInMenu_ ? builtInMenu_ : popupMenu_, x, y);
}

void TcxPivotGridCustomPopupMenu::MenuItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item) return;
  TcxObjectLinkGuard link(PivotGrid());
  bool handled = false;
  owner_->DoClick(item, handled);
  if (handled || !link.Alive()) return;
  ExecuteCommand(int(item->Tag()));
}

void TcxPivotGridCustomPopupMenu::ExecuteCommand(int command) {
  if (command == pgcmShowFieldList || command == pgcmHideFieldList)
    PivotGrid()->Customization()->SetVisible(command == pgcmShowFieldList);
}

// ---- field header menu -------------------------------------------------------------------------------

void TcxPivotGridFieldHeaderMenu::AssignItems(TcxPivotGridCustomPopupMenu* source) {
  if (auto* s = dynamic_cast<TcxPivotGridFieldHeaderMenu*>(source)) items_ = s->Items();
}

void TcxPivotGridFieldHeaderMenu::SetField(TcxPivotGridField* v) {
  field_ = v;
  fieldFreed_ = false;
}

void TcxPivotGridFieldHeaderMenu::FieldRemoving(TcxPivotGridField* field) {
  if (field != field_ || !field) return;
  field_ = nullptr;
  fieldFreed_ = true;
}

void TcxPivotGridFieldHeaderMenu::CreateItems() {
  TcxCustomPivotGrid* grid = PivotGrid();
  TcxPivotGridOptionsCustomize* options = grid->OptionsCustomize();
  TMenuItem* root = BuiltInMenu()->Items();
  if (items_.Contains(fpmiHide)) {
    AddItem(root, "Hide", field_ && options->Hiding(), pgcmHide);
    AddSeparator(root);
  }
  if (items_.Contains(fpmiOrder) && (!field_ || field_->GroupIndex() <= 0)) {
    int first, previous, next, last;
    GetMovePositions(first, previous, next, last);
    bool moving = options->Moving();
    TMenuItem* order = AddItem(root, "Order", true, pgcmNone);
    AddItem(order, "Move to Beginning", moving && previous >= 0, pgcmMoveToBeginning);
    AddItem(order, "Move to End", moving && next >= 0, pgcmMoveToEnd);
    AddItem(order, "Move to Left", moving && previous >= 0, pgcmMoveToLeft);
    AddItem(order, "Move to Right", moving && next >= 0, pgcmMoveToRight);
  }
  if (items_.Contains(fpmiFieldList)) AddFieldListItems(root);
}

void TcxPivotGridFieldHeaderMenu::GetMovePositions(int& first, int& previous, int& next, int& last) {
  first = previous = next = last = -1;
  TcxCustomPivotGrid* grid = PivotGrid();
  if (fieldFreed_) return;
  TcxPivotGridFieldHeaderCellViewInfo* own =
      field_ ? field_->GetHeaderViewInfo() : grid->OptionsDataField()->GetHeaderViewInfo();
  std::vector<TcxPivotGridCustomCellViewInfo*>& list = grid->ViewInfo()->FieldHeaders.List();
  int count = int(list.size());
  int at = -1;
  for (int i = 0; i < count; ++i)
    if (list[std::size_t(i)] == own) at = i;
  if (at < 0) return;
  auto header = [&](int i) { return static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(list[std::size_t(i)]); };
  auto inArea = [&](int i) { return i >= 0 && i < count && header(i)->Area == own->Area; };
  auto groupOf = [&](int i) {
    TcxPivotGridField* f = header(i)->Field();
    return f ? f->Group() : nullptr;
  };
  // The clicked header's own group is one block.
  int low = at, high = at;
  if (TcxPivotGridFieldGroup* g = groupOf(at)) {
    while (inArea(low - 1) && groupOf(low - 1) == g) --low;
    while (inArea(high + 1) && groupOf(high + 1) == g) ++high;
  }
  if (inArea(low - 1)) {
    int i = low - 1;
    // Landing on a field group: its first member.
    if (TcxPivotGridFieldGroup* g = groupOf(i))
      while (inArea(i - 1) && groupOf(i - 1) == g) --i;
    previous = header(i)->AreaIndex;
    int k = low - 1;
    while (inArea(k - 1)) --k;
    first = header(k)->AreaIndex;
  }
  if (inArea(high + 1)) {
    int i = high + 1;
    // Landing on a field group: its last member.
    if (TcxPivotGridFieldGroup* g = groupOf(i))
      while (inArea(i + 1) && groupOf(i + 1) == g) ++i;
    next = header(i)->AreaIndex;
    int k = high + 1;
    while (inArea(k + 1)) ++k;
    last = header(k)->AreaIndex;
  }
}

void TcxPivotGridFieldHeaderMenu::ExecuteCommand(int command) {
  TcxCustomPivotGrid* grid = PivotGrid();
  switch (command) {
    case pgcmHide:
      if (!field_) return;
      if (field_->Group())
        field_->Group()->SetVisible(false);
      else
        field_->SetVisible(false);
      return;
    case pgcmMoveToBeginning:
    case pgcmMoveToEnd:
    case pgcmMoveToLeft:
    case pgcmMoveToRight: {
      if (fieldFreed_) return;
      int positions[4];
      GetMovePositions(positions[0], positions[2], positions[3], positions[1]);
      int target = positions[command - pgcmMoveToBeginning];
      if (target < 0) return;
      if (!field_) {
        grid->OptionsDataField()->SetAreaIndex(target);
        return;
      }
      // A field group moves as one through its first member.
      TcxPivotGridField* mover = field_->Group() ? field_->Group()->Fields(0) : field_;
      grid->BeginUpdate();
      try {
        mover->SetAreaIndex(target);
      } catch (...) {
        grid->EndUpdate();
        throw;
      }
      grid->EndUpdate();
      return;
    }
    default:
      TcxPivotGridCustomPopupMenu::ExecuteCommand(command);
  }
}

// ---- group value menu --------------------------------------------------------------------------------

void TcxPivotGridGroupValueMenu::AssignItems(TcxPivotGridCustomPopupMenu* source) {
  if (auto* s = dynamic_cast<TcxPivotGridGroupValueMenu*>(source)) items_ = s->Items();
}

void TcxPivotGridGroupValueMenu::CreateItems() {
  if (!groupItem_) return;
  TMenuItem* root = BuiltInMenu()->Items();
  if (items_.Contains(vpmiExpandCollapse)) {
    bool expanded = groupItem_->Expanded();
    AddItem(root, expanded ? "Collapse" : "Expand", true, expanded ? pgcmCollapse : pgcmExpand);
    AddSeparator(root);
  }
  if (items_.Contains(vpmiExpandAll)) AddItem(root, "Expand All", true, pgcmExpandAll);
  if (items_.Contains(vpmiCollapseAll)) AddItem(root, "Collapse All", true, pgcmCollapseAll);
}

void TcxPivotGridGroupValueMenu::SetGroupItem(TcxPivotGridGroupItem* v) {
  groupItem_ = v;
  treesCleared_ = PivotGrid()->DataBuilder()->ClearCount();
}

bool TcxPivotGridGroupValueMenu::IsGroupItemAlive() const {
  return groupItem_ && PivotGrid()->DataBuilder()->ClearCount() == treesCleared_;
}

void TcxPivotGridGroupValueMenu::ExecuteCommand(int command) {
  switch (command) {
    case pgcmExpand:
    case pgcmCollapse:
      // The trees may have been rebuilt since the popup: a freed item is not touched.
      if (IsGroupItemAlive()) groupItem_->SetExpanded(command == pgcmExpand);
      return;
    case pgcmExpandAll:
    case pgcmCollapseAll:
      if (IsGroupItemAlive() && groupItem_->Parent())
        groupItem_->Parent()->SetExpandedForField(groupItem_->Field(), command == pgcmExpandAll);
      return;
    default:
      TcxPivotGridCustomPopupMenu::ExecuteCommand(command);
  }
}

// ---- header area menu --------------------------------------------------------------------------------

void TcxPivotGridHeaderAreaMenu::CreateItems() { AddFieldListItems(BuiltInMenu()->Items()); }

// ---- the holder --------------------------------------------------------------------------------------

TcxPivotGridPopupMenus::TcxPivotGridPopupMenus(TcxCustomPivotGrid* grid) : TcxPivotGridCustomOptions(grid) {
  CreateMenus();
}

TcxPivotGridPopupMenus::~TcxPivotGridPopupMenus() { DestroyMenus(); }

void TcxPivotGridPopupMenus::CreateMenus() {
  fieldHeaderMenu_.reset(CreateFieldHeaderMenu());
  groupValueMenu_.reset(CreateGroupValueMenu());
  headerAreaMenu_.reset(CreateHeaderAreaMenu());
}

void TcxPivotGridPopupMenus::DestroyMenus() {
  headerAreaMenu_.reset();
  groupValueMenu_.reset();
  fieldHeaderMenu_.reset();
}

void TcxPivotGridPopupMenus::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxPivotGridPopupMenus*>(source)) {
    fieldHeaderMenu_->Assign(s->FieldHeaderMenu());
    groupValueMenu_->Assign(s->GroupValueMenu());
    headerAreaMenu_->Assign(s->HeaderAreaMenu());
  } else {
    TcxPivotGridCustomOptions::Assign(source);
  }
}

void TcxPivotGridPopupMenus::DoClick(TMenuItem* item, bool& handled) {
  if (OnClick) OnClick(PivotGrid(), item, handled);
}

void TcxPivotGridPopupMenus::DoPopup(TcxPivotGridCustomPopupMenu* menu, bool& handled) {
  if (OnPopup) OnPopup(PivotGrid(), menu, handled);
}

void TcxPivotGridPopupMenus::Notification(TComponent* component, TOperation operation) {
  if (fieldHeaderMenu_) fieldHeaderMenu_->Notification(component, operation);
  if (groupValueMenu_) groupValueMenu_->Notification(component, operation);
  if (headerAreaMenu_) headerAreaMenu_->Notification(component, operation);
}

void TcxPivotGridPopupMenus::FieldRemoving(TcxPivotGridField* field) {
  if (fieldHeaderMenu_) fieldHeaderMenu_->FieldRemoving(field);
}

bool TcxPivotGridPopupMenus::Popup(const TPoint& screenPoint) {
  TcxCustomPivotGrid* grid = PivotGrid();
  // The hit test reads the layout: pending changes are carried out first.
  grid->CheckChanges();
  TcxPivotGridHitTest* hitTest = grid->HitTest();
  hitTest->SetHitPoint(grid->ScreenToClient(screenPoint));
  if (hitTest->HasCode(HitFieldHeader)) {
    fieldHeaderMenu_->SetField(dynamic_cast<TcxPivotGridField*>(hitTest->HitObject));
    return fieldHeaderMenu_->Popup(screenPoint.X, screenPoint.Y);
  }
  TcxPivotGridGroupItem* item = hitTest->HasCode(HitGroupHeader) ? hitTest->GroupItem() : nullptr;
  if (item && item->ItemCount() > 0 && item->Field()) {
    groupValueMenu_->SetGroupItem(item);
    return groupValueMenu_->Popup(screenPoint.X, screenPoint.Y);
  }
  if (hitTest->HasCode(HitHeaderArea)) return headerAreaMenu_->Popup(screenPoint.X, screenPoint.Y);
  return false;
}
