// The pivot grid's field list window: the hidden fields it lists, the area combo with "Add To"
// and the double click under AllowedAreas, the selection after adding, drags out of the list
// into every area, the holder's Assign, sheets in each look and feel, and bad input.
#include "PivotGridViewFixture.h"
#include "pivotgrid/cxPivotGridCustomizationForm.h"

using namespace pivot_fixture;

namespace {

struct TListPivot : TShownPivot {
  TcxPivotGridCustomizationForm* list = nullptr;

  TListPivot() : TShownPivot(640, 400) {
    grid->Customization()->SetVisible(true);
    session.Pump();
    list = dynamic_cast<TcxPivotGridCustomizationForm*>(grid->Customization()->FormIfCreated());
  }
  void Hide(std::initializer_list<TcxPivotGridField*> fields) {
    grid->BeginUpdate();
    for (auto* f : fields) f->SetVisible(false);
    grid->EndUpdate();
    session.Pump();
  }
  // The listed captions joined with "|", the selected one in brackets.
  String Listed() {
    String s;
    TcxFieldListListBox* box = list->FieldList;
    for (int i = 0; i < box->Count(); ++i) {
      String c = box->Fields(i)->Caption();
      s += (i ? "|" : "") + (i == box->ItemIndex() ? "[" + c + "]" : c);
    }
    return s;
  }
  // The screen point in the middle of a list item.
  POINT ItemPoint(int index) {
    TRect r = list->FieldList->ItemRect(index);
    TPoint p = list->FieldList->ClientToScreen(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    return POINT{p.X, p.Y};
  }
  void Select(int index) {
    session.Advance(1000);
    session.MouseDownAt(ItemPoint(index));
    session.MouseUpAt(ItemPoint(index));
  }
  void ChooseArea(TcxPivotGridFieldArea area) {
    TStrings* items = list->AreaCombo->ComboProperties()->Items();
    for (int i = 0; i < items->Count(); ++i)
      if (TcxPivotGridFieldArea(std::intptr_t(items->Objects(i))) == area) list->AreaCombo->SetItemIndex(i);
    session.Pump();
  }
  // The fields whose headers show in an area, in their order.
  std::vector<TcxPivotGridField*> Shown(TcxPivotGridFieldArea area) {
    std::vector<TcxPivotGridField*> fields;
    TcxPivotGridCells& list = VI()->FieldHeaders;
    for (int i = 0; i < list.Count(); ++i) {
      auto* h = static_cast<TcxPivotGridFieldHeaderCellViewInfo*>(list[i]);
      if (h->Area == area && h->Field()) fields.push_back(h->Field());
    }
    return fields;
  }
  String AreaFields(TcxPivotGridFieldArea area) {
    String s;
    for (auto* f : Shown(area)) s += (s.empty() ? "" : ",") + f->Caption();
    return s;
  }
};

}  // namespace

TEST(PivotGridFieldList, ItsControlsAndTheHiddenFieldsItLists) {
  TListPivot s;
  ASSERT_NE(s.list, nullptr) << "the grid's holder makes the field list window";
  EXPECT_EQ(s.list->HintLabel->Caption(), "Drag Items to the PivotGrid");
  EXPECT_EQ(s.list->AddButton->Caption(), "Add To");
  EXPECT_EQ(s.list->AreaCombo->ComboProperties()->Items()->Text(), "Row Area\nColumn Area\nFilter Area\nData Area\n");
  EXPECT_EQ(s.list->AreaCombo->ComboProperties()->DropDownListStyle(), lsFixedList);
  // The button and the combo share the bottom line, the list fills the rest.
  EXPECT_EQ(s.list->AddButton->Top(), s.list->AreaCombo->Top());
  EXPECT_EQ(s.list->AreaCombo->Left(), s.list->AddButton->Left() + s.list->AddButton->Width() + 8);
  EXPECT_EQ(s.list->FieldList->Top() + s.list->FieldList->Height() + 8, s.list->AddButton->Top());
  EXPECT_EQ(s.list->FieldList->ItemHeight(),
            s.grid->ViewPainter()->HeaderHeightForText(s.list->TextHeight()));
  // Nothing hidden: an empty list, the button and the combo disabled.
  EXPECT_EQ(s.Listed(), "");
  EXPECT_FALSE(s.list->AddButton->Enabled());
  EXPECT_FALSE(s.list->AreaCombo->Enabled());

  // Hidden fields in field order, a field group once (its first field), Hidden ones never.
  s.grid->BeginUpdate();
  TcxPivotGridFieldGroup* group = s.grid->Groups()->Add();
  group->AddField(s.year);
  group->AddField(s.amount);
  s.grid->EndUpdate();
  s.Hide({s.city, s.qty});
  group->SetVisible(false);
  s.country->SetHidden(true);
  s.country->SetVisible(false);
  s.session.Pump();
  EXPECT_EQ(s.Listed(), "[City]|Year|Qty");
  EXPECT_TRUE(s.list->AreaCombo->Enabled());
  EXPECT_EQ(s.list->ComboArea(), faRow) << "the combo follows the selected field's area";
  EXPECT_TRUE(s.list->AddButton->Enabled());
  // The list follows a field shown again by the program.
  s.city->SetVisible(true);
  s.session.Pump();
  EXPECT_EQ(s.Listed(), "[Year]|Qty");
}

// "Add To" and the double click put the selected field at the end of the combo's area, only
// when the area is among its AllowedAreas; the next field is selected afterwards.
TEST(PivotGridFieldList, AddToAndDoubleClickWithTheAreaCombo) {
  TListPivot s;
  s.Hide({s.region, s.city, s.qty});
  ASSERT_EQ(s.Listed(), "[Region]|City|Qty");
  // A click on an item sets the combo to the field's own area, so a double click adds the
  // field to that area (when allowed) whatever the combo showed before.
  struct {
    int select;
    TcxPivotGridFieldArea area;
    TcxPivotGridFieldAreas allowed;
    bool doubleClick;
    bool enabled;
    TcxPivotGridFieldArea added;
    const char* listed;
  } cases[] = {
      {1, faColumn, {faColumn, faRow, faFilter, faData}, false, true, faColumn, "Region|[Qty]"},
      {1, faData, {faColumn, faRow, faFilter}, false, false, faData, "Region|[Qty]"},
      {1, faFilter, {faColumn, faRow, faFilter}, true, false, faData, "Region|[Qty]"},
      {1, faFilter, {faColumn, faRow, faFilter, faData}, true, true, faData, "[Region]"},
      {0, faData, {faColumn, faRow, faFilter, faData}, false, true, faData, ""},
  };
  for (auto& c : cases) {
    TcxPivotGridField* field = s.list->FieldList->Fields(c.select);
    ASSERT_NE(field, nullptr);
    field->SetAllowedAreas(c.allowed);
    s.Select(c.select);
    EXPECT_EQ(s.list->FieldList->SelectedField(), field);
    s.ChooseArea(c.area);
    if (!c.doubleClick) {
      EXPECT_EQ(s.list->AddButton->Enabled(), c.enabled) << field->Caption();
    }
    int builds = s.grid->DataBuilder()->ClearCount();
    if (c.doubleClick) {
      s.session.Advance(1000);
      POINT p = s.ItemPoint(c.select);
      s.session.DoubleClick(s.list->FieldList->InnerListBox()->Handle(),
                            [&] {
                              TPoint q = s.list->FieldList->InnerListBox()->ScreenToClient(TPoint(p.X, p.Y));
                              return POINT{q.X, q.Y};
                            }());
    } else {
      s.session.Advance(1000);
      s.session.Click(s.list->AddButton->Handle(), POINT{4, 4});
    }
    s.session.Pump();
    EXPECT_EQ(field->Visible(), c.enabled) << field->Caption();
    if (c.enabled) {
      EXPECT_EQ(field->Area(), c.added);
      std::vector<TcxPivotGridField*> fields = s.Shown(c.added);
      ASSERT_FALSE(fields.empty());
      EXPECT_EQ(fields.back(), field) << "at the end of the area";
      EXPECT_EQ(s.grid->DataBuilder()->ClearCount(), builds + 1) << "one build for the whole change";
    }
    EXPECT_EQ(s.Listed(), c.listed);
  }
  EXPECT_FALSE(s.list->AddButton->Enabled());
  EXPECT_FALSE(s.list->AreaCombo->Enabled());
  // Called by the program, "Add To" does nothing for an area the field does not allow.
  s.Hide({s.qty});
  s.qty->SetAllowedAreas({faRow});
  s.ChooseArea(faData);
  s.list->AddTo();
  s.session.Pump();
  EXPECT_FALSE(s.qty->Visible());
  EXPECT_EQ(s.qty->Area(), faData);
}

// A field dragged from the list onto each area's drop zone goes there and shows; the move is
// reported once. A drag that ends outside every drop area changes nothing.
TEST(PivotGridFieldList, DragsFromTheListIntoEachArea) {
  for (TcxPivotGridFieldArea area : {faRow, faColumn, faFilter, faData}) {
    TListPivot s;
    s.Hide({s.qty});
    std::vector<TcxPivotGridField*> moved;
    s.grid->OnFieldPosChanged = [&](TcxCustomPivotGrid*, TcxPivotGridField* f) { moved.push_back(f); };
    TcxPivotGridDragDropAreaInfo* target = nullptr;
    for (auto& a : s.VI()->DropAreas)
      if (a->Area == area) target = a.get();
    ASSERT_NE(target, nullptr);
    TPoint to = s.grid->ClientToScreen(TPoint(target->Bounds.Right - 2, (target->Bounds.Top + target->Bounds.Bottom) / 2));
    s.session.Advance(1000);
    s.session.Drag(s.ItemPoint(0), POINT{to.X, to.Y}, 6);
    EXPECT_EQ(s.qty->Area(), area);
    EXPECT_TRUE(s.qty->Visible());
    EXPECT_EQ(moved, std::vector<TcxPivotGridField*>{s.qty});
    EXPECT_EQ(s.Listed(), "");
    EXPECT_EQ(s.list->FieldList->DragOperation(), nullptr);
    EXPECT_EQ(s.grid->Controller()->PressedField, nullptr);
  }
  TListPivot s;
  s.Hide({s.city});
  TPoint nowhere = s.grid->ClientToScreen(TShownPivot::Center(s.Cell(0, 0)->Bounds));
  s.session.Advance(1000);
  s.session.Drag(s.ItemPoint(0), POINT{nowhere.X, nowhere.Y});
  EXPECT_FALSE(s.city->Visible());
  EXPECT_EQ(s.Listed(), "[City]");
  // A press without a drag leaves no pressed field behind.
  s.Select(0);
  EXPECT_EQ(s.grid->Controller()->PressedField, nullptr);
}

TEST(PivotGridFieldList, AssignCopiesTheWindowBounds) {
  TListPivot a;
  TPivot b;
  TRect r(30, 40, 260, 300);
  a.list->SetBoundsRect(r);
  b.grid->Customization()->Assign(a.grid->Customization());
  EXPECT_EQ(RectText(b.grid->Customization()->FormBounds()), RectText(r)) << "a shown window's bounds";
  EXPECT_EQ(b.grid->Customization()->FormIfCreated(), nullptr) << "the window is not made by copying";
  a.grid->Customization()->SetVisible(false);
  TRect kept(5, 6, 205, 206);
  a.grid->Customization()->SetFormBounds(kept);
  b.grid->Customization()->Assign(a.grid->Customization());
  EXPECT_EQ(RectText(b.grid->Customization()->FormBounds()), RectText(kept)) << "a hidden window's kept bounds";
  // Shown, the window takes the copied bounds at once.
  a.grid->Customization()->SetFormBounds(r);
  a.grid->Customization()->SetVisible(true);
  a.grid->Customization()->FormIfCreated()->SetBoundsRect(kept);
  TShownPivot c;
  c.grid->Customization()->SetVisible(true);
  c.grid->Customization()->Assign(a.grid->Customization());
  EXPECT_EQ(RectText(c.grid->Customization()->FormIfCreated()->BoundsRect()), RectText(kept));
  EXPECT_TRUE(c.grid->Customization()->Visible());
  // Another options object copies nothing; an object of another kind cannot be assigned.
  c.grid->Customization()->Assign(c.grid->OptionsView());
  EXPECT_EQ(RectText(c.grid->Customization()->FormIfCreated()->BoundsRect()), RectText(kept));
  TStringList other;
  EXPECT_THROW(c.grid->Customization()->Assign(&other), EConvertError);
}

TEST(PivotGridFieldList, SheetsInEveryLookAndFeel) {
  struct {
    TcxLookAndFeelKind kind;
    bool native;
    const char* name;
  } looks[] = {{lfStandard, false, "standard"}, {lfFlat, false, "flat"}, {lfUltraFlat, false, "ultraflat"},
               {lfOffice11, false, "office11"}, {lfStandard, true, "native"}};
  for (auto& look : looks) {
    TListPivot s;
    s.grid->LookAndFeel()->SetKind(look.kind);
    s.grid->LookAndFeel()->SetNativeStyle(look.native);
    s.grid->BeginUpdate();
    TcxPivotGridFieldGroup* group = s.grid->Groups()->Add();
    group->AddField(s.region);
    group->AddField(s.city);
    s.grid->EndUpdate();
    s.Hide({s.region, s.year, s.qty});
    s.Select(1);
    s.list->Repaint();
    String path = s.session.Snapshot(s.list->Handle(), String("pivotgrid_field_list_") + look.name + ".png");
    EXPECT_FALSE(path.empty());
  }
}

// Fields freed while listed, during a drag out of the list, and data changes: never a crash.
TEST(PivotGridFieldList, BadInputNeverCrashes) {
  {
    TListPivot s;
    s.Hide({s.city, s.qty});
    ASSERT_EQ(s.Listed(), "[City]|Qty");
    s.city->Free();
    EXPECT_EQ(s.Listed(), "[Qty]") << "gone from the list before the next build";
    s.list->Repaint();
    s.session.Pump();
    s.Fill({{"NO", "North", 2023, 1.0, 1}});
    EXPECT_EQ(s.Listed(), "[Qty]");
  }
  {
    TListPivot s;
    s.Hide({s.city});
    POINT from = s.ItemPoint(0);
    TPoint to = s.grid->ClientToScreen(TShownPivot::Center(s.FieldRect(s.year)));
    s.session.Advance(1000);
    s.session.MouseDownAt(from);
    s.session.MoveMouseTo(POINT{from.X - 20, from.Y - 20});
    s.session.MoveMouseTo(POINT{to.X, to.Y});
    ASSERT_NE(s.list->FieldList->DragOperation(), nullptr);
    s.city->Free();
    s.session.MoveMouseTo(POINT{to.X + 3, to.Y});
    s.session.MouseUpAt(POINT{to.X + 3, to.Y});
    EXPECT_EQ(s.AreaFields(faColumn), "Year");
    EXPECT_EQ(s.Listed(), "");
  }
  {
    // The grid freed while the list shows and a drag out of it runs.
    TListPivot s;
    s.Hide({s.city});
    POINT from = s.ItemPoint(0);
    s.session.Advance(1000);
    s.session.MouseDownAt(from);
    s.session.MoveMouseTo(POINT{from.X - 30, from.Y - 30});
    ASSERT_NE(Screen->Cursor(), crDefault);
    s.grid->Free();
    s.grid = nullptr;
    EXPECT_EQ(Screen->Cursor(), crDefault) << "the drag's cursor goes with it";
    s.session.MouseUpAt(POINT{from.X - 30, from.Y - 30});
  }
}
