// A form with a grid on the headless backend, and a data set of countries, cities and amounts
// for data-set table views.
#pragma once

#include <vector>

#include "db/ADODB.h"
#include "db/MemDataSet.h"
#include "gridviews/cxGridDBTableView.h"
#include "tests/support/HeadlessFixture.h"
#include "vcl/Forms.h"

namespace gridviewstest {

class GridFormFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeADODB();
    InitializeCxGridDBTableView();
    form_ = new TForm(Application);
    form_->SetBounds(100, 100, 420, 320);
    grid_ = new TcxGrid(form_);
    grid_->SetName("Grid1");
    grid_->SetBounds(10, 10, 300, 200);
    grid_->SetParent(form_);
  }
  void TearDown() override {
    if (form_) form_->Free();
    THeadlessFixture::TearDown();
  }
  // A data-set table view on a new top level.
  TcxGridDBTableView* AddView(const String& name = "tv", TcxGridLevel** level = nullptr) {
    TcxGridLevel* l = grid_->Levels()->Add();
    auto* view = static_cast<TcxGridDBTableView*>(grid_->CreateView(TcxGridDBTableView::StaticClass()));
    view->SetName(name);
    l->SetGridView(view);
    if (level) *level = l;
    return view;
  }
  // Binds the view to (Country, City, Amount) rows and makes one column per field.
  void Bind(TcxGridDBTableView* view, const std::vector<std::vector<Variant>>& rows) {
    ds_.AddFieldDef("Country", ftString, 20);
    ds_.AddFieldDef("City", ftString, 20);
    ds_.AddFieldDef("Amount", ftInteger);
    for (const auto& r : rows) ds_.AppendRow(r);
    ds_.Open();
    source_.SetDataSet(&ds_);
    view->GetDataController()->SetDataSource(&source_);
    view->GetDataController()->CreateAllItems();
  }
  // Gives every column the width, shows the form and lets the grid lay the view out.
  void ShowWithColumnWidth(TcxGridTableView* view, Integer width) {
    for (Integer i = 0; i < view->GetColumnCount(); ++i) view->GetColumn(i)->SetWidth(width);
    form_->Show();
    Pump();
  }
  void Relayout(TcxGridTableView* view) {
    view->QueueLayoutChange();
    Pump();
  }
  TForm* form_ = nullptr;
  TcxGrid* grid_ = nullptr;
  TMemDataSet ds_{nullptr};
  TDataSource source_{nullptr};
};

}  // namespace gridviewstest
