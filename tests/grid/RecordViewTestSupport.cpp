#include "tests/grid/RecordViewTestSupport.h"

#include "editors/cxTextEdit.h"
#include "vcl/StdCtrls.h"

namespace gridtest {

// ---- fixture ------------------------------------------------------------------------------------

void RecordViewFixture::SetUp() {
  GridFixture::SetUp();
  auto* edit = new TEdit(form_);
  edit->SetBounds(10, 230, 100, 24);
  edit->SetParent(form_);
  other_ = edit;
}

void RecordViewFixture::Build(Integer rows, Integer columns) {
  TcxGridLevel* level = grid_->Levels()->Add();
  view_ = static_cast<TRowsView*>(grid_->CreateView(TRowsView::StaticClass()));
  level->SetGridView(view_);
  dc_ = view_->DataController();
  dc_->BeginUpdate();
  for (Integer c = 0; c < columns; ++c) {
    auto* item = view_->CreateItem();
    item->SetPropertiesClass(TcxTextEditProperties::StaticClass());
    item->SetWidth(60);
  }
  dc_->SetRecordCount(rows);
  for (Integer r = 0; r < rows; ++r)
    for (Integer c = 0; c < columns; ++c)
      dc_->SetValue(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  dc_->EndUpdate();
  Layout();
}

void RecordViewFixture::Layout() {
  if (!form_->Visible()) ShowForm();
  view_->QueueLayoutChange();
  Pump();
}

void RecordViewFixture::Start(Integer rows, Integer columns) {
  Build(rows, columns);
  view_->Site()->SetFocus();
  Ctrl()->FocusRowAtIndex(0);
  Ctrl()->SetFocusedItem(view_->Items(0));
  Pump();
}

}  // namespace gridtest
