// The main window: Import, Fitting, Export, About and Exit over a page control with the
// grouping grid ("Grouping Matrix") and the pivot grid ("Pivot Matrix"), both on one CSV query.
#pragma once

#include "db/ADODB.h"
#include "foundation/cxButtons.h"
#include "foundation/cxStyles.h"
#include "grid/cxGrid.h"
#include "gridviews/cxGridDBTableView.h"
#include "gridviews/cxGridTableView.h"
#include "pagecontrol/cxPC.h"
#include "pivotgrid/cxDBPivotGrid.h"
#include "vcl/ComCtrls.h"
#include "vcl/Dialogs.h"
#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"
#include "vcl/StdCtrls.h"

class TForm1 : public TForm {
  KORVAN_CLASS(TForm1, TForm)

 public:
  explicit TForm1(TComponent* owner);

  TPanel* Panel2 = nullptr;
  TImage* Image1 = nullptr;
  TPanel* Panel1 = nullptr;
  TcxButton* cxButton18 = nullptr;
  TcxButton* cxButton12 = nullptr;
  TcxButton* cxButton16 = nullptr;
  TcxButton* cxButton7 = nullptr;
  TcxButton* cxButton13 = nullptr;
  TcxPageControl* cxPageControl1 = nullptr;
  TcxTabSheet* tbsGrouping = nullptr;
  TcxGrid* grdGrouping = nullptr;
  TcxGridLevel* glvGrouping = nullptr;
  TcxGridDBTableView* grvGrouping = nullptr;
  TcxTabSheet* tbsPivot = nullptr;
  TcxDBPivotGrid* grdPivot = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TDataSource* dsrView = nullptr;
  TADOQuery* tblData = nullptr;
  TADOTable* tblData_org = nullptr;
  TcxStyleRepository* repoGrid = nullptr;
  TcxStyle* cxStyle1 = nullptr;
  TcxStyle* cxStyle2 = nullptr;
  TcxStyle* cxStyle3 = nullptr;
  TcxStyle* cxStyle4 = nullptr;
  TcxGridTableViewStyleSheet* cxGridTableViewStyleSheet1 = nullptr;
  TcxPivotGridStyleSheet* cxPivotGridStyleSheet1 = nullptr;
  TOpenDialog* dlgOpenFile = nullptr;
  TSaveDialog* dlgSaveFile = nullptr;
  TPopupMenu* mnuGrid = nullptr;
  TMenuItem* ApplyBestFit1 = nullptr;

  // Handlers bound by the form description.
  void FormCreate(TObject* sender);
  void cxButton18Click(TObject* sender);  // Import
  void cxButton12Click(TObject* sender);  // Fitting
  void ApplyBestFit1Click(TObject* sender);
  void cxButton16Click(TObject* sender);  // Export
  void cxButton7Click(TObject* sender);   // About
  void cxButton13Click(TObject* sender);  // Exit
  void grdPivotFieldPosChanged(TcxCustomPivotGrid* sender, TcxPivotGridField* field);

  // The grouping grid's parts that wait for the table view's layout: its best fit and its
  // HTML export. The export raises until the grid's export link exists, so that the user is
  // told rather than left with no file.
  void FitGroupingColumns();
  void ExportGroupingMatrix(const String& fileName);

 private:
  // Rebuilds both views from the query's fields and enables its controls again.
  void RebuildViews();
};

// The About text: twelve lines separated by CR LF.
String AboutText();
// The connection string and the statement that read a CSV file through the query.
String CsvConnectionString(const String& folder);
String CsvSelectText(const String& fileName);
// A caption without the summary suffixes "(Average)", "(Sum)", "(Count)", "(Min)", "(Max)".
String RemoveSummarySuffixes(const String& caption);
String SummarySuffix(TcxPivotGridSummaryType type);

// Registers the classes the three form descriptions name and the descriptions themselves.
void InitializeKorvanApp();
// The program's end after its message loop: frees the application's windows first, then
// finalizes the units. The windows' columns, fields and editors still use objects the units
// share (the default edit repository, the style controllers) while they are being freed.
void FinishKorvanApp();
