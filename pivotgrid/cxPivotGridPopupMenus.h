// The pivot grid's built-in context menus: the field header menu (hide, order, field list), the
// group value menu (expand, collapse, expand or collapse all values of a field) and the header
// area menu (field list). Each menu is rebuilt at every popup, can give way to a user menu and
// reports its popup and its clicks to the grid's handlers first.
#pragma once

#include <functional>
#include <memory>

#include "pivotgrid/cxCustomPivotGrid.h"
#include "vcl/Menus.h"

class TcxPivotGridPopupMenus;

// Command codes: the tag of every built-in menu item (-1: separators and the "Order" submenu).
enum : int {
  pgcmHide = 0, pgcmMoveToBeginning = 1, pgcmMoveToEnd = 2, pgcmMoveToLeft = 3, pgcmMoveToRight = 4,
  pgcmExpand = 5, pgcmCollapse = 6, pgcmExpandAll = 7, pgcmCollapseAll = 8, pgcmShowFieldList = 9,
  pgcmHideFieldList = 10, pgcmNone = -1
};

class TcxPivotGridCustomPopupMenu : public TPersistent {
  KORVAN_CLASS(TcxPivotGridCustomPopupMenu, TPersistent)
 public:
  explicit TcxPivotGridCustomPopupMenu(TcxPivotGridPopupMenus* owner);
  ~TcxPivotGridCustomPopupMenu() override;
  void Assign(TPersistent* source) override;

  virtual void AssignItems(TcxPivotGridCustomPopupMenu* source) {}
  virtual void CreateItems() {}
  virtual void ExecuteCommand(int command);
  virtual void MenuItemClick(TObject* sender);
  virtual void Notification(TComponent* component, TOperation operation);
  // Rebuilds the built-in menu, asks OnPopup and shows the built-in or the user's menu at a
  // screen point; true when the handler took the popup or a menu was shown.
  virtual bool Popup(int x, int y);

  TMenuItem* AddItem(TMenuItem* parent, const String& caption, bool enabled, int tag);
  void AddSeparator(TMenuItem* parent) { AddItem(parent, "-", true, pgcmNone); }

  TPopupMenu* BuiltInMenu() const { return builtInMenu_; }
  TcxPivotGridPopupMenus* Owner() const { return owner_; }
  TcxCustomPivotGrid* PivotGrid() const;
  TComponent* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TComponent* menu);
  bool UseBuiltInMenu() const { return useBuiltInMenu_; }
  void SetUseBuiltInMenu(bool v) { useBuiltInMenu_ = v; }

 protected:
  // The separator and "Show Field List" or "Hide Field List" (field header and header area menus).
  void AddFieldListItems(TMenuItem* parent);

 private:
  TcxPivotGridPopupMenus* owner_;
  TPopupMenu* builtInMenu_ = nullptr;
  TComponent* popupMenu_ = nullptr;
  bool useBuiltInMenu_ = true;
  bool popping_ = false;
};

enum TcxPivotGridFieldHeaderPopupMenuItem { fpmiHide, fpmiOrder, fpmiFieldList };
using TcxPivotGridFieldHeaderPopupMenuItems = TSet<TcxPivotGridFieldHeaderPopupMenuItem, 3>;

class TcxPivotGridFieldHeaderMenu : public TcxPivotGridCustomPopupMenu {
  KORVAN_CLASS(TcxPivotGridFieldHeaderMenu, TcxPivotGridCustomPopupMenu)
 public:
  using TcxPivotGridCustomPopupMenu::TcxPivotGridCustomPopupMenu;
  void AssignItems(TcxPivotGridCustomPopupMenu* source) override;
  void CreateItems() override;
  void ExecuteCommand(int command) override;

  // The clicked field; nullptr for the "Data" header.
  TcxPivotGridField* Field() const { return field_; }
  void SetField(TcxPivotGridField* v);
  // The clicked field is being freed: the menu's commands on it do nothing from then on.
  void FieldRemoving(TcxPivotGridField* field);
  TcxPivotGridFieldHeaderPopupMenuItems Items() const { return items_; }
  void SetItems(TcxPivotGridFieldHeaderPopupMenuItems v) { items_ = v; }
  bool IsItemsStored() const { return !(items_ == TcxPivotGridFieldHeaderPopupMenuItems{fpmiHide, fpmiOrder, fpmiFieldList}); }
  // The area indexes that the four move commands set (-1 where there is no header that way).
  void GetMovePositions(int& first, int& previous, int& next, int& last);

 private:
  TcxPivotGridField* field_ = nullptr;
  bool fieldFreed_ = false;
  TcxPivotGridFieldHeaderPopupMenuItems items_{fpmiHide, fpmiOrder, fpmiFieldList};
};

enum TcxPivotGridGroupValuePopupMenuItem { vpmiExpandCollapse, vpmiExpandAll, vpmiCollapseAll };
using TcxPivotGridGroupValuePopupMenuItems = TSet<TcxPivotGridGroupValuePopupMenuItem, 3>;

class TcxPivotGridGroupValueMenu : public TcxPivotGridCustomPopupMenu {
  KORVAN_CLASS(TcxPivotGridGroupValueMenu, TcxPivotGridCustomPopupMenu)
 public:
  using TcxPivotGridCustomPopupMenu::TcxPivotGridCustomPopupMenu;
  void AssignItems(TcxPivotGridCustomPopupMenu* source) override;
  void CreateItems() override;
  void ExecuteCommand(int command) override;

  TcxPivotGridGroupItem* GroupItem() const { return groupItem_; }
  void SetGroupItem(TcxPivotGridGroupItem* v);
  TcxPivotGridGroupValuePopupMenuItems Items() const { return items_; }
  void SetItems(TcxPivotGridGroupValuePopupMenuItems v) { items_ = v; }
  bool IsItemsStored() const {
    return !(items_ == TcxPivotGridGroupValuePopupMenuItems{vpmiExpandCollapse, vpmiExpandAll, vpmiCollapseAll});
  }

 private:
  // Whether the item is still part of the grid's trees (a rebuild frees the old items).
  bool IsGroupItemAlive() const;
  TcxPivotGridGroupItem* groupItem_ = nullptr;
  int treesCleared_ = 0;
  TcxPivotGridGroupValuePopupMenuItems items_{vpmiExpandCollapse, vpmiExpandAll, vpmiCollapseAll};
};

class TcxPivotGridHeaderAreaMenu : public TcxPivotGridCustomPopupMenu {
  KORVAN_CLASS(TcxPivotGridHeaderAreaMenu, TcxPivotGridCustomPopupMenu)
 public:
  using TcxPivotGridCustomPopupMenu::TcxPivotGridCustomPopupMenu;
  void CreateItems() override;
};

using TcxPivotGridPopupMenuClickEvent = std::function<void(TcxCustomPivotGrid*, TMenuItem*, bool&)>;
using TcxPivotGridPopupMenuPopupEvent =
    std::function<void(TcxCustomPivotGrid*, TcxPivotGridCustomPopupMenu*, bool&)>;

// The grid's `PopupMenus`: the three menus and the handlers that see every popup and click.
class TcxPivotGridPopupMenus : public TcxPivotGridCustomOptions {
  KORVAN_CLASS(TcxPivotGridPopupMenus, TcxPivotGridCustomOptions)
 public:
  explicit TcxPivotGridPopupMenus(TcxCustomPivotGrid* grid);
  ~TcxPivotGridPopupMenus() override;
  void Assign(TPersistent* source) override;

  virtual TcxPivotGridFieldHeaderMenu* CreateFieldHeaderMenu() { return new TcxPivotGridFieldHeaderMenu(this); }
  virtual TcxPivotGridGroupValueMenu* CreateGroupValueMenu() { return new TcxPivotGridGroupValueMenu(this); }
  virtual TcxPivotGridHeaderAreaMenu* CreateHeaderAreaMenu() { return new TcxPivotGridHeaderAreaMenu(this); }
  virtual void CreateMenus();
  virtual void DestroyMenus();
  virtual void DoClick(TMenuItem* item, bool& handled);
  virtual void DoPopup(TcxPivotGridCustomPopupMenu* menu, bool& handled);
  // Chooses the menu by what lies under a screen point and pops it up there; true when a menu
  // was shown or a handler took the popup.
  virtual bool Popup(const TPoint& screenPoint);
  virtual void Notification(TComponent* component, TOperation operation);
  // A field is being freed: the field header menu forgets it.
  void FieldRemoving(TcxPivotGridField* field);

  TcxPivotGridFieldHeaderMenu* FieldHeaderMenu() const { return fieldHeaderMenu_.get(); }
  void SetFieldHeaderMenu(TcxPivotGridFieldHeaderMenu* v) { fieldHeaderMenu_->Assign(v); }
  TcxPivotGridGroupValueMenu* GroupValueMenu() const { return groupValueMenu_.get(); }
  void SetGroupValueMenu(TcxPivotGridGroupValueMenu* v) { groupValueMenu_->Assign(v); }
  TcxPivotGridHeaderAreaMenu* HeaderAreaMenu() const { return headerAreaMenu_.get(); }
  void SetHeaderAreaMenu(TcxPivotGridHeaderAreaMenu* v) { headerAreaMenu_->Assign(v); }

  TcxPivotGridPopupMenuClickEvent OnClick;
  TcxPivotGridPopupMenuPopupEvent OnPopup;

 private:
  std::unique_ptr<TcxPivotGridFieldHeaderMenu> fieldHeaderMenu_;
  std::unique_ptr<TcxPivotGridGroupValueMenu> groupValueMenu_;
  std::unique_ptr<TcxPivotGridHeaderAreaMenu> headerAreaMenu_;
};
