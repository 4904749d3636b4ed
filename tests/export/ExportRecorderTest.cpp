// The recording provider that the link tests read back.
#include "ExportTestSupport.h"
#include "tests/support/export/ExportRecorder.h"

namespace {

TEST(ExportRecorder, RecordsTheCallsAndKeepsTheSheet) {
  TcxRecordingExportProvider::Register();
  TcxRecordingExportProvider::ClearCreated();
  {
    auto p = MakeProvider(cxExportToRecorder, "rec.html");
    p->SetRange(2, 1, true);
    p->SetColumnWidth(1, 40);
    p->SetCellValue(0, 0, Variant(3));
    p->SetCellStyleEx(1, 0, 1, 1, p->RegisterStyle(SampleStyle()));
    auto nested = MakeProvider(cxExportToRecorder, "rec.html");
    nested->SetRange(1, 1, false);
    nested->SetCellDataWideString(0, 0, u"詳細");
    std::dynamic_pointer_cast<IcxCellInternalCache>(p)->SetCellCache(
        1, 0, std::dynamic_pointer_cast<IcxCellInternalCache>(nested));
    EXPECT_THROW(p->SetCellDataString(2, 0, "x"), EcxExportData);
    p->Commit();
  }
  const auto& created = TcxRecordingExportProvider::Created();
  ASSERT_EQ(created.size(), 2u);
  const TcxRecordingExportProvider& master = *created[0];
  EXPECT_EQ(master.Log(), (std::vector<String>{"SetRange 2 1 1", "SetColumnWidth 1 40", "SetCellValue 0 0 type 3",
                                               "SetCellDataString 0 0 3", "RegisterStyle #0", "SetCellStyle 1 0 #0",
                                               "SetCellUnion 1 0 1 1", "SetCellCache 1 0", "Commit"}));
  EXPECT_EQ(master.CommitCount(), 1);
  EXPECT_EQ(master.CellText(0, 0), "3");
  EXPECT_EQ(master.NestedRecorder(1, 0), created[1].get());
  EXPECT_EQ(created[1]->CellText(0, 0), "詳細");
  TcxRecordingExportProvider::ClearCreated();
}

}  // namespace
