// Form descriptions that create the library's components: the grid (levels, table, banded,
// card and chart views, columns), the pivot grid and its fields, the page control, the
// editors and the docking controls, read into a form of the headless session, shown, painted
// and freed. A read error or a loaded form, never a crash, hang or overflow.
#include <cstddef>
#include <cstdint>

#include "FuzzSession.h"
#include "docking/dxDockControl.h"
#include "docking/dxDockPanel.h"
#include "editors-extra/cxCalc.h"
#include "editors-extra/cxCalendar.h"
#include "editors-extra/cxCurrencyEdit.h"
#include "editors-extra/cxHyperLinkEdit.h"
#include "editors-extra/cxImage.h"
#include "editors-extra/cxImageComboBox.h"
#include "editors-extra/cxMRUEdit.h"
#include "editors-extra/cxMemo.h"
#include "editors-extra/cxSpinEdit.h"
#include "editors-extra/cxTimeEdit.h"
#include "editors-extra/cxBlobEdit.h"
#include "editors-extra/cxFilterControl.h"
#include "db/ADODB.h"
#include "editors/cxButtonEdit.h"
#include "editors/cxCheckBox.h"
#include "editors/cxCheckListBox.h"
#include "editors/cxComboBox.h"
#include "editors/cxGroupBox.h"
#include "editors/cxListBox.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxTextEdit.h"
#include "foundation/cxButtons.h"
#include "foundation/cxStyles.h"
#include "grid/cxGrid.h"
#include "gridviews/cxGridBandedTableView.h"
#include "gridviews/cxGridCardView.h"
#include "gridviews/cxGridChartView.h"
#include "gridviews/cxGridDBTableView.h"
#include "gridviews/cxGridTableView.h"
#include "pagecontrol/cxPC.h"
#include "pivotgrid/cxDBPivotGrid.h"
#include "vcl/ComCtrls.h"
#include "vcl/ExtCtrls.h"
#include "vcl/FormReader.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

namespace {

void RegisterEverything() {
  InitializeExtCtrls();
  InitializeComCtrls();
  InitializeStdCtrls();
  InitializeMenus();
  InitializeCxButtons();
  InitializeCxStyles();
  InitializeCxPC();
  InitializeCxGrid();
  InitializeCxGridTableView();
  InitializeCxGridDBTableView();
  InitializeCxGridBandedTableView();
  InitializeCxGridCardView();
  InitializeCxGridChartView();
  InitializeCxCustomPivotGrid();
  InitializeCxDBPivotGrid();
  InitializeCxTextEdit();
  InitializeCxMaskEdit();
  InitializeCxButtonEdit();
  InitializeCxCheckBox();
  InitializeCxCheckListBox();
  InitializeCxComboBox();
  InitializeCxGroupBox();
  InitializeCxListBox();
  InitializeCxRadioGroup();
  InitializeCxBlobEdit();
  InitializeCxCalc();
  InitializeCxCalendar();
  InitializeCxCurrencyEdit();
  InitializeCxHyperLinkEdit();
  InitializeCxImage();
  InitializeCxImageComboBox();
  InitializeCxMRUEdit();
  InitializeCxMemo();
  InitializeCxSpinEdit();
  InitializeCxTimeEdit();
  InitializeCxFilterControl();
  InitializeADODB();
  for (TClass c : {TdxDockSite::StaticClass(), TdxDockingManager::StaticClass(), TdxDockPanel::StaticClass(),
                   TdxLayoutDockSite::StaticClass(), TdxTabContainerDockSite::StaticClass(),
                   TdxVertContainerDockSite::StaticClass(), TdxHorizContainerDockSite::StaticClass()})
    RegisterClass(c);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return 0;
  StartFuzzSession();
  static bool registered = (RegisterEverything(), true);
  (void)registered;
  auto* form = new TForm(Application);
  try {
    ReadComponentFromText(form, String(reinterpret_cast<const char*>(data), size));
    form->Show();
    FuzzPump();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    FuzzPump();
  } catch (const Exception& e) {
    if (std::getenv("FUZZ_TRACE")) std::fprintf(stderr, "read error: %s\n", e.Message().c_str());
  }
  form->Free();
  FuzzEndInput();
  return 0;
}
