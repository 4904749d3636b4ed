// The fixture of the record view tests: a form with a grid showing a TRowsView.
#pragma once

#include "GridTestSupport.h"
#include "tests/grid/RowView.h"

namespace gridtest {

// A form with a grid showing a TRowsView of `columns` text items over `rows` records
// ("r<row>c<column>"), and a second control (an edit) to take the focus.
class RecordViewFixture : public GridFixture {
 protected:
  void SetUp() override;
  void Build(Integer rows, Integer columns = 2);
  // Lays the grid out at once (the change queue has run).
  void Layout();
  // Build, then the site focused with the first record and item focused.
  void Start(Integer rows = 30, Integer columns = 3);
  TRowsController* Ctrl() { return view_->Ctrl(); }
  Integer Row() { return Ctrl()->FocusedRowIndex(); }
  TRowsView* view_ = nullptr;
  TcxCustomDataController* dc_ = nullptr;
  TWinControl* other_ = nullptr;
};

}  // namespace gridtest
