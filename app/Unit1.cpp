#include "app/Unit1.h"

#include "app/Unit2.h"
#include "app/Unit3.h"
#include "editors/cxGroupBox.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxTextEdit.h"
#include "export/cxExportGrid4Link.h"
#include "export/cxExportPivotGridLink.h"
#include "rtl/SysUtils.h"
#include "vcl/Consts.h"

void RegisterKorvanResources();  // generated: the three form descriptions

KORVAN_IMPLEMENT_CLASS(TForm1)

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  PublishField("Panel2", &Panel2);
  PublishField("Image1", &Image1);
  PublishField("Panel1", &Panel1);
  PublishField("cxButton18", &cxButton18);
  PublishField("cxButton12", &cxButton12);
  PublishField("cxButton16", &cxButton16);
  PublishField("cxButton7", &cxButton7);
  PublishField("cxButton13", &cxButton13);
  PublishField("cxPageControl1", &cxPageControl1);
  PublishField("tbsGrouping", &tbsGrouping);
  PublishField("grdGrouping", &grdGrouping);
  PublishField("glvGrouping", &glvGrouping);
  PublishField("grvGrouping", &grvGrouping);
  PublishField("tbsPivot", &tbsPivot);
  PublishField("grdPivot", &grdPivot);
  PublishField("StatusBar1", &StatusBar1);
  PublishField("dsrView", &dsrView);
  PublishField("tblData", &tblData);
  PublishField("tblData_org", &tblData_org);
  PublishField("repoGrid", &repoGrid);
  PublishField("cxStyle1", &cxStyle1);
  PublishField("cxStyle2", &cxStyle2);
  PublishField("cxStyle3", &cxStyle3);
  PublishField("cxStyle4", &cxStyle4);
  PublishField("cxGridTableViewStyleSheet1", &cxGridTableViewStyleSheet1);
  PublishField("cxPivotGridStyleSheet1", &cxPivotGridStyleSheet1);
  PublishField("dlgOpenFile", &dlgOpenFile);
  PublishField("dlgSaveFile", &dlgSaveFile);
  PublishField("mnuGrid", &mnuGrid);
  PublishField("ApplyBestFit1", &ApplyBestFit1);
  auto bind = [this](const char* name, void (TForm1::*handler)(TObject*)) {
    PublishMethod(name, TNotifyEvent([this, handler](TObject* s) { (this->*handler)(s); }));
  };
  bind("FormCreate", &TForm1::FormCreate);
  bind("cxButton18Click", &TForm1::cxButton18Click);
  bind("cxButton12Click", &TForm1::cxButton12Click);
  bind("ApplyBestFit1Click", &TForm1::ApplyBestFit1Click);
  bind("cxButton16Click", &TForm1::cxButton16Click);
  bind("cxButton7Click", &TForm1::cxButton7Click);
  bind("cxButton13Click", &TForm1::cxButton13Click);
  PublishMethod("grdPivotFieldPosChanged",
                std::function<void(TcxCustomPivotGrid*, TcxPivotGridField*)>(
                    [this](TcxCustomPivotGrid* g, TcxPivotGridField* f) { grdPivotFieldPosChanged(g, f); }));
}

void TForm1::FormCreate(TObject*) { cxPageControl1->SetActivePageIndex(0); }

// ---- import ----------------------------------------------------------------------------------

String CsvConnectionString(const String& folder) {
  return "Provider=MSDASQL;Extended Properties=\"DRIVER={Microsoft Text Driver (*.txt; *.csv)};DBQ=" + folder + "\"";
}

String CsvSelectText(const String& fileName) { return "SELECT TOP 100 * FROM " + fileName; }

void TForm1::cxButton18Click(TObject*) {
  tblData->DisableControls();
  try {
    grvGrouping->ClearItems();
    grdPivot->DeleteAllFields();
    if (dlgOpenFile->Execute()) {
      String fileName = dlgOpenFile->FileName();
      tblData->Close();
      tblData->SetConnectionString(String());
      tblData->SetConnectionString(CsvConnectionString(ExtractFileDir(fileName)));
      tblData->SQL()->SetText(CsvSelectText(ExtractFileName(fileName)));
      tblData->Open();
    }
  } catch (...) {
    // The views are rebuilt from whatever fields the query has; the failure goes on to the
    // application's handler afterwards.
    RebuildViews();
    throw;
  }
  RebuildViews();
}

void TForm1::RebuildViews() {
  try {
    grvGrouping->GetDataController()->CreateAllItems();
    FitGroupingColumns();
    grdPivot->CreateAllFields();
    grdPivot->ApplyBestFit();
  } catch (...) {
    tblData->EnableControls();
    throw;
  }
  tblData->EnableControls();
  // The fit above ran while the query's controls were disabled: the view had no records yet
  // and every column took its header's width, cutting the values. Now that the records are
  // there the columns are fitted to them.
  FitGroupingColumns();
}

// ---- fitting ---------------------------------------------------------------------------------

void TForm1::FitGroupingColumns() {
  // Every column of the table view gets the width of its widest text.
  grvGrouping->ApplyBestFit(nullptr, false, false);
}

void TForm1::cxButton12Click(TObject* sender) { ApplyBestFit1Click(sender); }

void TForm1::ApplyBestFit1Click(TObject*) {
  FitGroupingColumns();
  grdPivot->ApplyBestFit();
}

// ---- export ----------------------------------------------------------------------------------

void TForm1::ExportGroupingMatrix(const String& fileName) {
  // Every group expanded, all records, as HTML.
  ExportGridToHtml(fileName, grdGrouping, true, true, "html");
}

void TForm1::cxButton16Click(TObject*) {
  TForm3* dialog = CreateForm<TForm3>(this);
  try {
    if (dialog->ShowModal() == mrOk && dlgSaveFile->Execute()) {
      String chosen = dlgSaveFile->FileName();
      // The export writes HTML whatever was chosen: the file's extension becomes ".html".
      // When that names another file that exists, it is replaced only when the user agrees.
      String written = ChangeFileExt(chosen, ".html");
      bool replaceOther = written != chosen && FileExists(written);
      if (!replaceOther ||
          MessageDlg(Format(vcl_consts::SOverwritePrompt, {written}), mtConfirmation, mbYesNo) == mrYes) {
        switch (cxPageControl1->ActivePageIndex()) {
          case 0:
            ExportGroupingMatrix(chosen);
            break;
          case 1:
            ExportPivotGridToHtml(chosen, grdPivot, true, "html");
            break;
          default:
            break;
        }
      }
    }
  } catch (...) {
    dialog->Free();
    throw;
  }
  dialog->Free();
}

// ---- about and exit --------------------------------------------------------------------------

String AboutText() {
  const String rule(45, '-');
  const char* lines[] = {"Korvan for CSV",
                         "Version 1.0.0",
                         nullptr,
                         "Limits of this version:",
                         "・At most 100 records of a CSV file are read.",
                         "・Export writes HTML files only.",
                         nullptr,
                         "A later variant will also read from databases.",
                         "Customisation for your own files is offered on request.",
                         nullptr,
                         "Contact: the Korvan project team.",
                         "Thank you for using Korvan for CSV."};
  String text;
  for (const char* line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line ? String(line) : rule;
  }
  return text;
}

void TForm1::cxButton7Click(TObject*) { Application->MessageBox(AboutText(), Application->Title(), MB_OK); }

void TForm1::cxButton13Click(TObject*) { Close(); }

// ---- summary type ----------------------------------------------------------------------------

namespace {
const char* const kSuffixes[] = {"(Average)", "(Sum)", "(Count)", "(Min)", "(Max)"};
}

String RemoveSummarySuffixes(const String& caption) {
  String s = caption;
  for (const char* suffix : kSuffixes) s = StringReplace(s, suffix, "", {rfReplaceAll});
  return s;
}

String SummarySuffix(TcxPivotGridSummaryType type) {
  switch (type) {
    case stCount: return "(Count)";
    case stSum: return "(Sum)";
    case stMin: return "(Min)";
    case stMax: return "(Max)";
    case stAverage: return "(Average)";
    default: return "(Unknown)";
  }
}

void TForm1::grdPivotFieldPosChanged(TcxCustomPivotGrid*, TcxPivotGridField* field) {
  if (!field) return;  // a header that is not a field (the "Data" header)
  if (field->Area() != faData) {
    field->SetCaption(RemoveSummarySuffixes(field->Caption()));
    return;
  }
  T_SummaryTypeEditor* dialog = CreateForm<T_SummaryTypeEditor>(this);
  try {
    // The dialog's modal result is not looked at: closing it by any means applies it.
    dialog->ShowModal();
    static const TcxPivotGridSummaryType types[] = {stAverage, stSum, stCount, stMin, stMax};
    Integer index = dialog->rdgSummaryType->ItemIndex();
    if (index >= 0 && index < 5) field->SetSummaryType(types[index]);
    field->SetDisplayFormat(Trim(dialog->edtDisplayFormat->Text()));
    // A field dropped again inside the data area gets its suffix replaced, not a second one.
    field->SetCaption(RemoveSummarySuffixes(field->Caption()) + SummarySuffix(field->SummaryType()));
  } catch (...) {
    dialog->Free();
    throw;
  }
  dialog->Free();
}

// ---- unit start ------------------------------------------------------------------------------

void InitializeKorvanApp() {
  InitUnit("KorvanApp", [] {
    InitializeForms();
    InitializeExtCtrls();
    InitializeComCtrls();
    InitializeStdCtrls();
    InitializeMenus();
    InitializeDialogs();
    InitializeADODB();
    InitializeCxButtons();
    InitializeCxStyles();
    InitializeCxPC();
    InitializeCxGridDBTableView();
    InitializeCxDBPivotGrid();
    InitializeCxRadioGroup();
    InitializeCxGroupBox();
    InitializeCxTextEdit();
    for (TClass c : {TForm1::StaticClass(), T_SummaryTypeEditor::StaticClass(), TForm3::StaticClass()})
      RegisterClass(c);
    RegisterKorvanResources();
  });
}

void FinishKorvanApp() {
  if (Application) Application->DestroyComponents();
  FinalizeUnits();
}
