// The program's main window on the headless backend, with its open, save and message boxes
// answered through the platform's hooks and fixture CSV files in a fresh folder.
#pragma once

#include <deque>
#include <fstream>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "gridviews/cxGridTableViewInfo.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/HeadlessFixture.h"

namespace apptest {

class AppFixture : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeKorvanApp();
    Application->SetTitle("Korvan for CSV");
    Application->SetMessageBoxHook([this](const String& text, const String&, UINT) {
      messages.push_back(text);
      return IDOK;
    });
    SetMessageDlgHook([this](const String& msg, TMsgDlgType, TMsgDlgButtons) {
      confirmations.push_back(msg);
      return confirmAnswer;
    });
    SetFileDialogHook([this](TOpenDialog* d) {
      fileDialogs.push_back(d->Title());
      if (files.empty()) return false;
      String f = files.front();
      files.pop_front();
      if (f.empty()) return false;  // the user cancels
      d->SetFileName(f);
      return true;
    });
    form = CreateForm<TForm1>(Application);
    form->Show();
    Pump();
  }
  void TearDown() override {
    SetDialogShowHook(nullptr);
    SetFileDialogHook(nullptr);
    SetMessageDlgHook(nullptr);
    Application->SetMessageBoxHook(nullptr);
    if (form) form->Free();
    THeadlessFixture::TearDown();
  }

  // Writes a fixture file into the test's folder; answers its path.
  String WriteFile(const String& name, const String& bytes) {
    String path = dir.File(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // Clicks a control of the main window or of a dialog in its middle.
  void ClickOn(TWinControl* c) { S().Click(c->Handle(), {c->Width() / 2, c->Height() / 2}); }
  // Import with the open dialog answering `path` ("" cancels it).
  void Import(const String& path) {
    files.push_back(path);
    ClickOn(form->cxButton18);
  }
  // The pivot field made for a data-set field.
  TcxPivotGridField* PivotField(const String& fieldName) {
    for (int i = 0; i < form->grdPivot->FieldCount(); ++i) {
      auto* f = static_cast<TcxDBPivotGridField*>(form->grdPivot->Fields(i));
      if (f->DataBinding()->FieldName() == fieldName) return f;
    }
    return nullptr;
  }
  TcxPivotGridViewInfo* PivotLayout() {
    form->grdPivot->CheckChanges();
    return form->grdPivot->ViewInfo();
  }
  // The area background of the pivot grid (where a dragged field drops into the area).
  TRect PivotAreaRect(TcxPivotGridFieldArea area) {
    TcxPivotGridCells& parts = PivotLayout()->Parts;
    for (int i = 0; i < parts.Count(); ++i)
      if (auto* b = dynamic_cast<TcxPivotGridHeaderBackgroundCellViewInfo*>(parts[i]); b && b->Area == area)
        return b->Bounds;
    return TRect();
  }
  static POINT Center(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  // Drags a pivot field's header with the mouse to a point of the grid.
  void DragField(TcxPivotGridField* f, POINT to) {
    PivotLayout();
    POINT from = Center(f->GetHeaderViewInfo()->Bounds);
    HWND w = form->grdPivot->Handle();
    Advance(1000);  // past the double-click time
    S().MouseDown(w, from);
    for (int i = 1; i <= 4; ++i)
      S().MoveMouse(w, POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
    S().MouseUp(w, to);
    Pump();
  }
  // Drags a field into the data area, answering the summary-type dialog with the summary type
  // (radio index) and the display format, then its OK button.
  void DropIntoData(TcxPivotGridField* f, Integer summaryIndex, const String& format, POINT to = {-1, -1}) {
    AnswerSummaryDialog(summaryIndex, format);
    DragField(f, to.X >= 0 ? to : Center(PivotAreaRect(faData)));
    SetDialogShowHook(nullptr);
  }
  void AnswerSummaryDialog(Integer summaryIndex, const String& format) {
    SetDialogShowHook([this, summaryIndex, format](TCustomForm* d) {
      auto* dlg = dynamic_cast<T_SummaryTypeEditor*>(d);
      ASSERT_NE(dlg, nullptr);
      ++summaryDialogs;
      dlg->rdgSummaryType->SetItemIndex(summaryIndex);
      dlg->edtDisplayFormat->SetText(format);
      dlg->edtDisplayFormat->SetFocus();
      S().Backend().OnIdle([this, dlg] {
        ClickOn(dlg->cxButton1);
        sample = dlg->lblDiplayFormatTest->Caption();
      });
    });
  }
  // Export with the export dialog answered by one of its buttons and the save dialog by
  // `path` ("" cancels it).
  void Export(const String& path, bool save = true) {
    files.push_back(path);
    SetDialogShowHook([this, save](TCustomForm* d) {
      auto* dlg = dynamic_cast<TForm3*>(d);
      ASSERT_NE(dlg, nullptr);
      ++exportDialogs;
      S().Backend().OnIdle([this, dlg, save] { ClickOn(save ? dlg->cxButton4 : dlg->cxButton19); });
    });
    ClickOn(form->cxButton16);
    SetDialogShowHook(nullptr);
  }
  // Drags the grouping grid's column header (visible index) with the mouse into the group-by box.
  void DragColumnIntoGroupByBox(Integer visibleIndex) {
    TcxGridTableView* v = form->grvGrouping;
    TcxGridTableViewInfo* info = v->GetViewInfo();
    const TRect header = info->HeaderViewInfo()->GetItemViewInfo(visibleIndex)->Bounds;
    const TRect box = info->GroupByBoxViewInfo()->Bounds;
    POINT from{header.Left + 8, (header.Top + header.Bottom) / 2};
    POINT to{box.Left + 40, (box.Top + box.Bottom) / 2};
    HWND site = v->Site()->Handle();
    Advance(1000);  // past the double-click time
    S().MouseDown(site, from);
    for (int i = 1; i <= 4; ++i)
      S().MoveMouse(site, POINT{from.X + (to.X - from.X) * i / 4, from.Y + (to.Y - from.Y) * i / 4});
    Pump();
    S().MouseUp(site, to);
    Pump();
  }
  // Every column of the grouping grid is wider than its widest text. The memo and date
  // columns show texts of their own, not the data controller's, and are left out.
  void ExpectGroupingColumnsFitTheirTexts(const char* when) {
    TcxGridDBTableView* v = form->grvGrouping;
    ASSERT_GT(v->GetColumnCount(), 0) << when;
    TcxCanvas* canvas = v->GetViewInfo()->GetCanvas();
    for (Integer i = 0; i < v->GetColumnCount(); ++i) {
      String caption = v->GetColumn(i)->Caption();
      if (caption == "Notes" || caption == "OrderDate" || caption == "Ordered") continue;
      Integer widest = 0;
      for (Integer r = 0; r < v->DataController()->GetRecordCount(); ++r)
        widest = std::max(widest, canvas->MeasureTextWidth(v->DataController()->GetDisplayText(r, i)));
      EXPECT_GT(v->GetColumn(i)->Width(), widest) << when << ": " << caption;
    }
  }
  void ShowPage(Integer index) {
    form->cxPageControl1->SetActivePageIndex(index);
    Pump();
  }

  TTempFolder dir;
  TForm1* form = nullptr;
  std::deque<String> files;
  std::vector<String> fileDialogs;
  std::vector<String> messages;
  std::vector<String> confirmations;
  Integer confirmAnswer = mrYes;
  int summaryDialogs = 0;
  int exportDialogs = 0;
  String sample;
};

// A small file of every column kind: integer, float, date and time, text, long text (over 255
// characters), with a Japanese header.
inline String MixedCsv(int records) {
  String text = "ID,Price,Ordered,City,Notes,品名\r\n";
  const char* cities[] = {"Oslo", "Lima", "Rome"};
  for (int i = 1; i <= records; ++i) {
    text += IntToStr(i) + "," + IntToStr(i * 3) + ".25,2026/0" + IntToStr(1 + i % 9) + "/1" + IntToStr(i % 10) +
            " 08:30:00," + cities[i % 3] + ",\"" + String(i == 1 ? 300 : 10, 'n') + "\",商品" + IntToStr(i % 2) + "\r\n";
  }
  return text;
}

}  // namespace apptest
