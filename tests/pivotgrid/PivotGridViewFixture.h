// A pivot grid shown on a form: regions and cities in the rows, years in the columns, amount
// and quantity summed, a country in the filter area; helpers that find cells of the layout.
#pragma once

#include "PivotGridFixture.h"
#include "backend/Headless.h"
#include "gdi/Surface.h"
#include "vcl/Forms.h"

namespace pivot_fixture {

struct TShownPivot : TPivot {
  TForm* form;
  TcxPivotGridField *country, *region, *city, *year, *amount, *qty;

  explicit TShownPivot(int width = 640, int height = 400) {
    form = new TForm(Application);
    form->SetBounds(0, 0, width + 40, height + 60);
    grid->SetParent(form);
    grid->SetBounds(8, 8, width, height);
    country = Add("country", "String");
    region = Add("region", "String");
    city = Add("city", "String");
    year = Add("year", "Integer");
    amount = Add("amount", "Float");
    qty = Add("qty", "Integer");
    Fill({{"NO", "North", "Oslo", 2023, 10.0, 1},
          {"NO", "North", "Oslo", 2024, 20.0, 2},
          {"NO", "North", "Bergen", 2024, 5.5, 3},
          {"IT", "South", "Rome", 2023, 7.0, 4},
          {"IT", "South", "Rome", 2024, 3.0, 5},
          {"IT", "South", "Lima", 2024, 1.0, 6}});
    grid->BeginUpdate();
    country->SetCaption("Country");
    region->SetCaption("Region");
    city->SetCaption("City");
    year->SetCaption("Year");
    amount->SetCaption("Amount");
    qty->SetCaption("Qty");
    Place(country, faFilter);
    Place(region, faRow);
    Place(city, faRow);
    Place(year, faColumn);
    Place(amount, faData);
    Place(qty, faData);
    grid->EndUpdate();
    form->Show();
    session.Pump();
  }
  ~TShownPivot() { form->Free(); }

  TcxPivotGridViewInfo* VI() {
    grid->CheckChanges();
    return grid->ViewInfo();
  }
  HWND Wnd() { return grid->Handle(); }
  static POINT Center(const TRect& r) { return POINT{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // The group-value header (rows or columns) with a text.
  TcxPivotGridHeaderCellViewInfo* Header(bool rows, const String& text) {
    TcxPivotGridCells& list = rows ? VI()->RowHeaders : VI()->ColumnHeaders;
    for (int i = 0; i < list.Count(); ++i)
      if (list[i]->DisplayText == text) return static_cast<TcxPivotGridHeaderCellViewInfo*>(list[i]);
    return nullptr;
  }
  TcxPivotGridDataCellViewInfo* Cell(int column, int row) {
    TcxPivotGridCells& list = VI()->DataCells;
    for (int i = 0; i < list.Count(); ++i) {
      auto* c = static_cast<TcxPivotGridDataCellViewInfo*>(list[i]);
      if (c->ColumnIndex == column && c->RowIndex == row) return c;
    }
    return nullptr;
  }
  TRect FieldRect(TcxPivotGridField* f) {
    VI();
    return f ? f->GetHeaderViewInfo()->Bounds : grid->OptionsDataField()->GetHeaderViewInfo()->Bounds;
  }
  // The colour shown at a client point of the grid (after painting what is pending).
  COLORREF Pixel(int x, int y) {
    grid->Invalidate();
    session.Pump();
    TSurface surface;
    if (!THeadlessBackend::CopyWindowPixels(Wnd(), surface, true) || x < 0 || y < 0 || x >= surface.Width() ||
        y >= surface.Height())
      return CLR_INVALID;
    return PixelToColorRef(surface.At(x, y) & 0xFFFFFF);
  }
  // Drags with the left button from one client point to another in steps.
  void Drag(POINT from, POINT to) {
    // Past the double-click time: each drag starts with a single click.
    session.Advance(1000);
    session.MouseDown(Wnd(), from);
    for (int i = 1; i <= 4; ++i)
      session.MoveMouse(Wnd(), POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
    session.MouseUp(Wnd(), to);
    session.Pump();
  }
};

inline String RectText(const TRect& r) {
  return IntToStr(r.Left) + "," + IntToStr(r.Top) + "," + IntToStr(r.Right) + "," + IntToStr(r.Bottom);
}

}  // namespace pivot_fixture
