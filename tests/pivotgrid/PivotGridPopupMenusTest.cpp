// The pivot grid's context menus: which menu each hit context gets with its captions, tags,
// enabled states and "Order" submenu; every command; the popup and click handlers with their
// handled flags; user menus in place of the built-in ones; and the field list shown and hidden.
#include "PivotGridViewFixture.h"
#include "pivotgrid/cxPivotGridCustomization.h"
#include "pivotgrid/cxPivotGridPopupMenus.h"

using namespace pivot_fixture;

namespace {

// "Caption:tag" per item, "!" when disabled, a submenu in brackets, items joined with "|".
String Describe(TMenuItem* parent) {
  String s;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (i > 0) s += "|";
    s += item->Caption();
    if (!item->IsLine()) s += ":" + IntToStr(int(item->Tag()));
    if (!item->Enabled()) s += "!";
    if (item->Count() > 0) s += "[" + Describe(item) + "]";
  }
  return s;
}

// A key pressed when the program next waits for input (a menu loop is up then).
template <class TSession>
void KeyWhenIdle(TSession& session, int vk) {
  session.Backend().OnIdle([vk] {
    InputKey(vk, true);
    InputKey(vk, false);
  });
}

TMenuItem* FindItem(TMenuItem* parent, int tag) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (!item->IsLine() && item->Tag() == tag && item->Count() == 0) return item;
    if (TMenuItem* sub = FindItem(item, tag)) return sub;
  }
  return nullptr;
}

// A shown pivot whose popups are caught by OnPopup (no menu loop): the last menu and its items.
struct TMenuPivot : TShownPivot {
  TcxPivotGridCustomPopupMenu* last = nullptr;
  String items;
  int popups = 0;
  bool handlePopups = true;

  TMenuPivot() {
    grid->PopupMenus()->OnPopup = [this](TcxCustomPivotGrid*, TcxPivotGridCustomPopupMenu* menu, bool& handled) {
      ++popups;
      last = menu;
      items = Describe(menu->BuiltInMenu()->Items());
      handled = handlePopups;
    };
  }
  // Pops the menus up at a client point; the answer of the holder.
  bool PopupAt(POINT p) {
    last = nullptr;
    items.clear();
    return grid->PopupMenus()->Popup(grid->ClientToScreen(TPoint(p.X, p.Y)));
  }
  POINT HeaderPoint(TcxPivotGridField* f) {
    TRect r = FieldRect(f);
    return POINT{r.Left + 4, (r.Top + r.Bottom) / 2};
  }
  POINT GroupPoint(bool rows, const String& text) {
    TcxPivotGridHeaderCellViewInfo* h = Header(rows, text);
    if (!h) return POINT{-100, -100};
    h->CheckCalculated();
    return POINT{h->Bounds.Right - 3, h->Bounds.Top + 3};
  }
  // Pops up the field header menu of a field (nullptr: the "Data" header) and runs a command.
  void Run(TcxPivotGridField* f, int command) {
    ASSERT_TRUE(PopupAt(HeaderPoint(f)));
    ASSERT_EQ(last, grid->PopupMenus()->FieldHeaderMenu());
    last->ExecuteCommand(command);
    grid->CheckChanges();
  }
  // The headers of an area in their order, by caption.
  String AreaOrder(TcxPivotGridFieldArea area) {
    VI();
    String s;
    TcxPivotGridCells& list = grid->ViewInfo()->FieldHeaders;
    for (int i = 0; i < list.Count(); ++i) {
      auto* h = static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(list[i]);
      if (h->Area != area) continue;
      s += (s.empty() ? "" : ",") + (h->Field() ? h->Field()->Caption() : String("Data"));
    }
    return s;
  }
};

// A field list window that counts how often it is asked to list the fields.
class TCountingFieldList : public TcxPivotGridCustomCustomizationForm {
  KORVAN_CLASS(TCountingFieldList, TcxPivotGridCustomCustomizationForm)
 public:
  using TcxPivotGridCustomCustomizationForm::TcxPivotGridCustomCustomizationForm;
  void RefreshList() override { ++Refreshes; }
  int Refreshes = 0;
};
KORVAN_IMPLEMENT_CLASS(TCountingFieldList)

}  // namespace

TEST(PivotGridPopupMenus, EachHitContextGetsItsMenu) {
  TMenuPivot s;
  s.grid->BeginUpdate();
  s.grid->OptionsDataField()->SetArea(dfaColumn);
  s.grid->EndUpdate();
  ASSERT_EQ(s.AreaOrder(faRow), "Region,City");
  ASSERT_EQ(s.AreaOrder(faColumn), "Year,Data");
  TcxPivotGridPopupMenus* menus = s.grid->PopupMenus();
  TRect year = s.FieldRect(s.year);
  struct {
    const char* name;
    POINT p;
    TcxPivotGridCustomPopupMenu* menu;
    const char* items;
  } cases[] = {
      {"first row header", s.HeaderPoint(s.region), menus->FieldHeaderMenu(),
       "Hide:0|-|Order:-1[Move to Beginning:1!|Move to End:2|Move to Left:3!|Move to Right:4]|-|Show Field List:9"},
      {"last row header", s.HeaderPoint(s.city), menus->FieldHeaderMenu(),
       "Hide:0|-|Order:-1[Move to Beginning:1|Move to End:2!|Move to Left:3|Move to Right:4!]|-|Show Field List:9"},
      {"the \"Data\" header", s.HeaderPoint(nullptr), menus->FieldHeaderMenu(),
       "Hide:0!|-|Order:-1[Move to Beginning:1|Move to End:2!|Move to Left:3|Move to Right:4!]|-|Show Field List:9"},
      {"alone in the filter area", s.HeaderPoint(s.country), menus->FieldHeaderMenu(),
       "Hide:0|-|Order:-1[Move to Beginning:1!|Move to End:2!|Move to Left:3!|Move to Right:4!]|-|Show Field List:9"},
      {"expanded group value", s.GroupPoint(true, "North"), menus->GroupValueMenu(),
       "Collapse:6|-|Expand All:7|Collapse All:8"},
      {"the total of a group value", s.GroupPoint(true, "North Total"), menus->GroupValueMenu(),
       "Collapse:6|-|Expand All:7|Collapse All:8"},
      {"header area background", POINT{year.Right + 150, (year.Top + year.Bottom) / 2}, menus->HeaderAreaMenu(),
       "-|Show Field List:9"},
      {"group value without children", s.GroupPoint(true, "Oslo"), nullptr, ""},
      {"grand total", s.GroupPoint(true, "Grand Total"), nullptr, ""},
      {"data cell", TShownPivot::Center(s.Cell(0, 0)->Bounds), nullptr, ""},
  };
  for (auto& c : cases) {
    int before = s.popups;
    EXPECT_EQ(s.PopupAt(c.p), c.menu != nullptr) << c.name;
    EXPECT_EQ(s.last, c.menu) << c.name;
    EXPECT_EQ(s.items, c.items) << c.name;
    EXPECT_EQ(s.popups, before + (c.menu ? 1 : 0)) << c.name;
  }
  // The total's menu acts on its group value.
  ASSERT_TRUE(s.PopupAt(s.GroupPoint(true, "North Total")));
  EXPECT_EQ(menus->GroupValueMenu()->GroupItem()->GetDisplayText(), "North");
  // A collapsed value offers "Expand"; the options switch the field header items off.
  menus->GroupValueMenu()->GroupItem()->SetExpanded(false);
  ASSERT_TRUE(s.PopupAt(s.GroupPoint(true, "North")));
  EXPECT_EQ(s.items, "Expand:5|-|Expand All:7|Collapse All:8");
  s.grid->OptionsCustomize()->SetHiding(false);
  s.grid->OptionsCustomize()->SetMoving(false);
  s.grid->OptionsCustomize()->SetQuickCustomization(false);
  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.region)));
  EXPECT_EQ(s.items,
            "Hide:0!|-|Order:-1[Move to Beginning:1!|Move to End:2!|Move to Left:3!|Move to Right:4!]|-|"
            "Show Field List:9!");
  menus->FieldHeaderMenu()->SetItems({fpmiHide});
  menus->GroupValueMenu()->SetItems({vpmiExpandAll});
  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.region)));
  EXPECT_EQ(s.items, "Hide:0!|-");
  ASSERT_TRUE(s.PopupAt(s.GroupPoint(true, "North")));
  EXPECT_EQ(s.items, "Expand All:7");
}

TEST(PivotGridPopupMenus, FieldGroupsGetTheOrderItemOnlyInTheFirstGroupAndAreJumpedOver) {
  TMenuPivot s;
  s.grid->BeginUpdate();
  s.Place(s.country, faRow);
  TcxPivotGridFieldGroup* first = s.grid->Groups()->Add();
  TcxPivotGridFieldGroup* second = s.grid->Groups()->Add();
  first->AddField(s.region);
  first->AddField(s.city);
  s.Place(s.qty, faColumn);
  second->AddField(s.year);
  second->AddField(s.qty);
  s.grid->EndUpdate();
  ASSERT_EQ(s.AreaOrder(faRow), "Region,City,Country");
  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.city)));
  EXPECT_EQ(s.items,
            "Hide:0|-|Order:-1[Move to Beginning:1!|Move to End:2|Move to Left:3!|Move to Right:4]|-|Show Field List:9");
  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.year)));
  EXPECT_EQ(s.items, "Hide:0|-|-|Show Field List:9") << "a later field group has no \"Order\"";
  // "Move to Left" from Country lands on the group and puts Country before all of it.
  s.Run(s.country, pgcmMoveToLeft);
  EXPECT_EQ(s.AreaOrder(faRow), "Country,Region,City");
  s.Run(s.city, pgcmMoveToRight);
  EXPECT_EQ(s.AreaOrder(faRow), "Country,Region,City") << "nothing on the right of the group's last member";
  // A member of the group moves the whole group.
  s.Run(s.city, pgcmMoveToLeft);
  EXPECT_EQ(s.AreaOrder(faRow), "Region,City,Country");
  s.Run(s.country, pgcmMoveToBeginning);
  s.Run(s.region, pgcmMoveToEnd);
  EXPECT_EQ(s.AreaOrder(faRow), "Country,Region,City");
  // "Hide" hides the whole group.
  s.Run(s.city, pgcmHide);
  EXPECT_FALSE(s.region->Visible());
  EXPECT_EQ(s.AreaOrder(faRow), "Country");
}

TEST(PivotGridPopupMenus, MoveAndHideCommands) {
  TMenuPivot s;
  s.Place(s.country, faRow);
  s.grid->BeginUpdate();
  s.grid->OptionsDataField()->SetArea(dfaColumn);
  s.grid->EndUpdate();
  ASSERT_EQ(s.AreaOrder(faRow), "Region,City,Country");
  struct {
    TcxPivotGridField* field;
    int command;
    TcxPivotGridFieldArea area;
    const char* order;
  } steps[] = {
      {s.country, pgcmMoveToBeginning, faRow, "Country,Region,City"},
      {s.country, pgcmMoveToRight, faRow, "Region,Country,City"},
      {s.region, pgcmMoveToEnd, faRow, "Country,City,Region"},
      {s.region, pgcmMoveToLeft, faRow, "Country,Region,City"},
      {s.country, pgcmMoveToLeft, faRow, "Country,Region,City"},
      {nullptr, pgcmMoveToBeginning, faColumn, "Data,Year"},
      {nullptr, pgcmMoveToRight, faColumn, "Year,Data"},
      {s.year, pgcmMoveToEnd, faColumn, "Data,Year"},
      {nullptr, pgcmHide, faColumn, "Data,Year"},
      {s.region, pgcmHide, faRow, "Country,City"},
  };
  for (auto& step : steps) {
    s.Run(step.field, step.command);
    EXPECT_EQ(s.AreaOrder(step.area), step.order) << step.command;
  }
  EXPECT_FALSE(s.region->Visible());
}

TEST(PivotGridPopupMenus, ExpandAndCollapseCommands) {
  TMenuPivot s;
  s.Place(s.country, faRow);
  s.Run(s.country, pgcmMoveToBeginning);
  ASSERT_EQ(s.AreaOrder(faRow), "Country,Region,City");
  auto runOn = [&](const String& text, int command) {
    ASSERT_TRUE(s.PopupAt(s.GroupPoint(true, text))) << text;
    ASSERT_EQ(s.last, s.grid->PopupMenus()->GroupValueMenu());
    s.last->ExecuteCommand(command);
    s.grid->CheckChanges();
  };
  runOn("North", pgcmCollapse);
  runOn("South", pgcmCollapse);
  EXPECT_EQ(s.Header(true, "Oslo"), nullptr);
  EXPECT_EQ(s.Header(true, "Rome"), nullptr);
  runOn("North", pgcmExpand);
  EXPECT_NE(s.Header(true, "Oslo"), nullptr);
  runOn("North", pgcmCollapse);
  // "Expand All" on a second-level value: only the values of that field under the same
  // first-level value.
  runOn("North", pgcmExpandAll);
  EXPECT_NE(s.Header(true, "Oslo"), nullptr);
  EXPECT_EQ(s.Header(true, "Rome"), nullptr) << "South lies under another country";
  // On a first-level value: every value of that field.
  runOn("IT", pgcmCollapseAll);
  EXPECT_EQ(s.Header(true, "South"), nullptr);
  EXPECT_EQ(s.Header(true, "North"), nullptr);
  runOn("NO", pgcmExpandAll);
  EXPECT_NE(s.Header(true, "South"), nullptr);
  EXPECT_NE(s.Header(true, "Oslo"), nullptr);
  // The trees rebuilt while a menu was up: its item is freed and the command does nothing.
  ASSERT_TRUE(s.PopupAt(s.GroupPoint(true, "North")));
  s.grid->DataChanged();
  s.grid->CheckChanges();
  s.last->ExecuteCommand(pgcmCollapse);
  s.grid->CheckChanges();
  EXPECT_NE(s.Header(true, "Oslo"), nullptr);
}

TEST(PivotGridPopupMenus, ClickAndPopupHandlersWithTheirHandledFlags) {
  TMenuPivot s;
  TcxPivotGridPopupMenus* menus = s.grid->PopupMenus();
  TMenuItem* clicked = nullptr;
  bool handleClicks = true;
  menus->OnClick = [&](TcxCustomPivotGrid* grid, TMenuItem* item, bool& handled) {
    EXPECT_EQ(grid, s.grid);
    clicked = item;
    handled = handleClicks;
  };
  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.city)));
  TMenuItem* hide = FindItem(s.last->BuiltInMenu()->Items(), pgcmHide);
  ASSERT_NE(hide, nullptr);
  hide->Click();
  EXPECT_EQ(clicked, hide);
  EXPECT_TRUE(s.city->Visible()) << "a handled click does not hide";
  handleClicks = false;
  hide->Click();
  EXPECT_FALSE(s.city->Visible());

  // Unhandled popups show the built-in menu with its modal loop; Esc closes it.
  s.handlePopups = false;
  TPopupMenu* shown = nullptr;
  s.session.Backend().OnIdle([&] {
    shown = s.last->BuiltInMenu();
    EXPECT_TRUE(shown->IsOpen());
    InputKey(VK_ESCAPE, true);
    InputKey(VK_ESCAPE, false);
  });
  EXPECT_TRUE(s.PopupAt(s.HeaderPoint(s.region)));
  EXPECT_EQ(shown, menus->FieldHeaderMenu()->BuiltInMenu());

  // A right click reaches the menus through the grid's context popup and runs the chosen item.
  KeyWhenIdle(s.session, VK_DOWN);
  KeyWhenIdle(s.session, VK_RETURN);
  s.session.Click(s.Wnd(), s.HeaderPoint(s.region), kMouseRight);
  s.session.Pump();
  EXPECT_EQ(clicked ? int(clicked->Tag()) : -2, pgcmHide);
  EXPECT_FALSE(s.region->Visible());

  // A click handler that raises: the menu pops up again afterwards.
  menus->OnClick = [](TcxCustomPivotGrid*, TMenuItem*, bool&) { throw Exception("refused"); };
  KeyWhenIdle(s.session, VK_DOWN);
  KeyWhenIdle(s.session, VK_RETURN);
  EXPECT_THROW(s.PopupAt(s.HeaderPoint(s.year)), Exception);
  s.handlePopups = true;
  EXPECT_TRUE(s.PopupAt(s.HeaderPoint(s.year)));
  EXPECT_EQ(s.last, menus->FieldHeaderMenu());
}

TEST(PivotGridPopupMenus, UserMenusInPlaceOfTheBuiltInOnesAndFreedOnesForgotten) {
  TMenuPivot s;
  s.handlePopups = false;
  TcxPivotGridHeaderAreaMenu* area = s.grid->PopupMenus()->HeaderAreaMenu();
  TRect year = s.FieldRect(s.year);
  POINT background{year.Right + 150, (year.Top + year.Bottom) / 2};
  area->SetUseBuiltInMenu(false);
  EXPECT_FALSE(s.PopupAt(background)) << "no built-in and no user menu: nothing shown";
  EXPECT_EQ(s.popups, 1) << "OnPopup still ran";
  s.handlePopups = true;
  EXPECT_TRUE(s.PopupAt(background)) << "a handler that takes the popup answers true";
  s.handlePopups = false;

  auto* user = new TPopupMenu(s.form);
  auto* item = new TMenuItem(user);
  item->SetCaption("Mine");
  user->Items()->Add(item);
  area->SetPopupMenu(user);
  bool opened = false;
  s.session.Backend().OnIdle([&] {
    opened = user->IsOpen();
    user->CloseMenu();
  });
  EXPECT_TRUE(s.PopupAt(background));
  EXPECT_TRUE(opened);
  EXPECT_EQ(user->PopupComponent(), s.grid);

  // Assign copies the switch and the user menu.
  TcxPivotGridHeaderAreaMenu copy(s.grid->PopupMenus());
  copy.Assign(area);
  EXPECT_FALSE(copy.UseBuiltInMenu());
  EXPECT_EQ(copy.PopupMenu(), user);

  user->Free();
  EXPECT_EQ(area->PopupMenu(), nullptr);
  EXPECT_FALSE(s.PopupAt(background));
}

TEST(PivotGridPopupMenus, TheFieldListIsShownAndHiddenByTheMenus) {
  TMenuPivot s;
  int customizations = 0;
  s.grid->OnCustomization = [&](TObject* sender) {
    EXPECT_EQ(sender, s.grid);
    ++customizations;
  };
  TcxPivotGridCustomization* c = s.grid->Customization();
  EXPECT_EQ(c->FormIfCreated(), nullptr);
  s.Run(s.region, pgcmShowFieldList);
  ASSERT_TRUE(c->Visible());
  EXPECT_EQ(customizations, 1);
  TcxPivotGridCustomCustomizationForm* form = c->FormIfCreated();
  EXPECT_EQ(form->Caption(), "PivotGrid Field List");
  EXPECT_EQ(form->BorderStyle(), bsSizeToolWin);
  // First placement: 200 x 200 at the grid's bottom-right corner.
  TPoint corner = s.grid->ClientToScreen(TPoint(s.grid->ClientWidth(), s.grid->ClientHeight()));
  EXPECT_EQ(RectText(form->BoundsRect()), RectText(TRect(corner.X - 200, corner.Y - 200, corner.X, corner.Y)));
  EXPECT_EQ(GetParent(form->Handle()), s.form->Handle()) << "owned by the grid's window";
  HMENU system = GetSystemMenu(form->Handle(), FALSE);
  EXPECT_EQ(GetMenuItemCount(system), 3);
  EXPECT_EQ(GetMenuItemID(system, 2), UINT(SC_CLOSE));

  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.region)));
  EXPECT_EQ(s.items,
            "Hide:0|-|Order:-1[Move to Beginning:1!|Move to End:2|Move to Left:3!|Move to Right:4]|-|Hide Field List:10");
  s.last->ExecuteCommand(pgcmHideFieldList);
  EXPECT_FALSE(c->Visible());
  EXPECT_EQ(customizations, 2);
  // Bounds survive hiding and the form's recreation.
  c->SetVisible(true);
  TRect r(30, 40, 250, 270);
  form->SetBoundsRect(r);
  form->Close();
  EXPECT_FALSE(c->Visible());
  EXPECT_EQ(RectText(c->FormBounds()), RectText(r));
  form->Free();
  EXPECT_EQ(c->FormIfCreated(), nullptr);
  ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.city)));
  EXPECT_EQ(s.items.substr(s.items.rfind('|') + 1), "Show Field List:9");
  s.last->ExecuteCommand(pgcmShowFieldList);
  ASSERT_NE(c->FormIfCreated(), nullptr);
  EXPECT_EQ(RectText(c->FormIfCreated()->BoundsRect()), RectText(r));
}

TEST(PivotGridPopupMenus, BadInputNeverCrashes) {
  // A grid without fields: the header area menu only.
  {
    TPivot p;
    auto* form = new TForm(Application);
    p.grid->SetParent(form);
    p.grid->SetBounds(0, 0, 300, 200);
    form->Show();
    p.session.Pump();
    String items;
    p.grid->PopupMenus()->OnPopup = [&](TcxCustomPivotGrid*, TcxPivotGridCustomPopupMenu* m, bool& handled) {
      items = Describe(m->BuiltInMenu()->Items());
      handled = true;
    };
    p.grid->CheckChanges();
    TcxPivotGridCells& parts = p.grid->ViewInfo()->Parts;
    for (int i = 0; i < parts.Count(); ++i) {
      auto* back = dynamic_cast<TcxPivotGridHeaderBackgroundCellViewInfo*>(parts[i]);
      if (!back) continue;
      POINT c = TShownPivot::Center(back->Bounds);
      EXPECT_TRUE(p.grid->PopupMenus()->Popup(p.grid->ClientToScreen(TPoint(c.X, c.Y))));
      EXPECT_EQ(items, "-|Show Field List:9");
      break;
    }
    for (int command = -1; command <= 10; ++command) {
      p.grid->PopupMenus()->FieldHeaderMenu()->ExecuteCommand(command);
      p.grid->PopupMenus()->GroupValueMenu()->ExecuteCommand(command);
    }
    p.grid->Customization()->SetVisible(false);
    form->Free();
  }
  // The clicked field freed while its menu was up: its commands do nothing.
  {
    TMenuPivot s;
    ASSERT_TRUE(s.PopupAt(s.HeaderPoint(s.city)));
    s.city->Free();
    s.grid->CheckChanges();
    String before = s.AreaOrder(faColumn);
    for (int command = 0; command <= 4; ++command) s.last->ExecuteCommand(command);
    s.grid->CheckChanges();
    EXPECT_EQ(s.AreaOrder(faRow), "Region");
    EXPECT_EQ(s.AreaOrder(faColumn), before);
  }
  // The grid freed from a click handler, and with the field list and a menu open.
  {
    TMenuPivot s;
    s.grid->Customization()->SetVisible(true);
    s.handlePopups = false;
    bool freed = false;
    // The handler is freed with the grid: it touches nothing after the Free.
    s.grid->PopupMenus()->OnClick = [&freed](TcxCustomPivotGrid* grid, TMenuItem*, bool&) {
      freed = true;
      grid->Free();
    };
    KeyWhenIdle(s.session, VK_DOWN);
    KeyWhenIdle(s.session, VK_RETURN);
    EXPECT_TRUE(s.PopupAt(s.HeaderPoint(s.region)));
    EXPECT_TRUE(freed);
    s.grid = nullptr;
  }
  {
    TMenuPivot s;
    s.handlePopups = false;
    s.session.Backend().OnIdle([&] { s.grid->Free(); });
    s.PopupAt(s.HeaderPoint(s.region));
    s.grid = nullptr;
  }
}

TEST(PivotGridPopupMenus, TheFieldListClassIsReplaceableAndListsAgainWhenFieldsChange) {
  // The grid's unit names its field list class once, when first initialised.
  InitializeCxCustomPivotGrid();
  TClass saved = cxPivotGridCustomizationFormClass;
  cxPivotGridCustomizationFormClass = TCountingFieldList::StaticClass();
  {
    TMenuPivot s;
    s.grid->Customization()->SetVisible(true);
    auto* list = dynamic_cast<TCountingFieldList*>(s.grid->Customization()->FormIfCreated());
    ASSERT_NE(list, nullptr);
    int shown = list->Refreshes;
    EXPECT_EQ(shown, 2) << "once when made, once when shown";
    s.Run(s.city, pgcmHide);
    EXPECT_EQ(list->Refreshes, shown + 1) << "a hidden field is listed";
    s.grid->Customization()->SetVisible(false);
    s.Run(s.region, pgcmHide);
    EXPECT_EQ(list->Refreshes, shown + 1) << "a hidden list is not refreshed";
  }
  cxPivotGridCustomizationFormClass = saved;
}
