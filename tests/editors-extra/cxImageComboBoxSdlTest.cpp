// An image combo box on a desktop through the SDL2 backend, driven by real input from xdotool:
// opened by a click on its button, an item taken by a click on its row, then keys on the closed
// editor; and a picture BLOB's popup closed by its OK button after a cut.
// Run by hand under a display (xdotool installed):
//   xvfb-run -a test_editors_extra --gtest_also_run_disabled_tests --gtest_filter=SdlImageCombo*
#include <gtest/gtest.h>

#include "backend/Headless.h"
#include "backend/Sdl.h"
#include "editors-extra/cxBlobEdit.h"
#include "editors-extra/cxImageComboBox.h"
#include "rtl/SysUtils.h"
#include "tests/support/TestSupport.h"
#include "tests/support/desktop/DesktopCheck.h"
#include "vcl/Forms.h"

namespace {

using desktopcheck::RunUntil;
using desktopcheck::Xdotool;

String At(TControl* c, TPoint p) {
  const TPoint s = c->ClientToScreen(p);
  return IntToStr(s.X) + " " + IntToStr(s.Y);
}

TEST(SdlImageComboBoxTest, DISABLED_ClickOpensTakesAnItemAndKeysMoveAndTheBlobPictureSavesByOk) {
  TSdlBackend backend;
  SetBackend(&backend);
  InitializeCxImageComboBox();
  InitializeCxBlobEdit();
  auto* form = new TForm(Application);
  form->SetCaption("Image combo box");
  form->SetBounds(40, 40, 420, 360);
  TCustomImageList images(nullptr, 16, 16);
  const TColor colours[] = {clRed, clGreen, clBlue, clOlive};
  const char* names[] = {"Red", "Green", "Blue", "Olive"};
  auto* combo = new TcxImageComboBox(form);
  combo->SetBounds(12, 12, 180, 21);
  combo->SetParent(form);
  combo->ActiveProperties()->SetImages(&images);
  for (Integer i = 0; i < 4; ++i) {
    TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(colours[i]);
    b.Canvas()->FillRect(TRect(2, 2, 14, 14));
    images.Add(&b, nullptr);
    TcxImageComboBoxItem* item = combo->ActiveProperties()->Items()->AddItem();
    item->SetDescription(names[i]);
    item->SetValue(Variant(i + 1));
  }
  combo->PopupWindow()->SetRunsModalLoop(false);  // the test drives the popup from outside
  auto* blob = new TcxBlobEdit(form);
  blob->SetBounds(12, 60, 180, 21);
  blob->SetParent(form);
  blob->Properties()->SetBlobEditKind(bekPict);
  blob->PopupWindow()->SetRunsModalLoop(false);
  TBitmap picture;
  picture.SetSize(120, 80);
  picture.Canvas()->Brush()->SetColor(clTeal);
  picture.Canvas()->FillRect(TRect(0, 0, 120, 80));
  TStringStream bytes;
  picture.SaveToStream(&bytes);
  blob->SetEditValue(Variant(bytes.DataString()));
  form->Show();
  RunUntil([] { return false; }, 700);

  const TRect b = combo->GetEditViewInfo()->Buttons[0]->Bounds;
  Xdotool("mousemove --sync " + At(combo, TPoint((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2)) + " click 1");
  ASSERT_TRUE(RunUntil([&] { return combo->DroppedDown(); }, 3000));
  auto* list = static_cast<TcxImageComboBoxListBox*>(combo->GetComboLookupData()->GetListControl());
  RunUntil([] { return false; }, 400);
  THeadlessBackend::SaveWindowPng(combo->PopupWindow()->Handle(),
                                  testing_support::SheetPath("editors_extra_sdl_image_combo.png"));
  // A click on the third row takes Blue: its value becomes the edit value.
  const TRect row = list->ItemRect(2);
  Xdotool("mousemove --sync " + At(list, TPoint(30, (row.Top + row.Bottom) / 2)) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return !combo->DroppedDown(); }, 3000));
  EXPECT_EQ(combo->EditValue().AsInteger(), 3);
  EXPECT_EQ(combo->Text(), "Blue");
  // Keys on the closed editor move through the items.
  combo->SetFocus();
  RunUntil([&] { return combo->Focused(); }, 1000);
  Xdotool("key --delay 50 Down");
  EXPECT_TRUE(RunUntil([&] { return VarToStr(combo->EditValue()) == "4"; }, 3000)) << VarToStr(combo->EditValue());
  Xdotool("key --delay 50 Home");
  EXPECT_TRUE(RunUntil([&] { return VarToStr(combo->EditValue()) == "1"; }, 3000)) << VarToStr(combo->EditValue());

  // The picture BLOB: opened by its button, the picture cut with Shift+Delete, saved by OK.
  const TRect bb = blob->GetEditViewInfo()->Buttons[0]->Bounds;
  Xdotool("mousemove --sync " + At(blob, TPoint((bb.Left + bb.Right) / 2, (bb.Top + bb.Bottom) / 2)) + " click 1");
  ASSERT_TRUE(RunUntil([&] { return blob->DroppedDown(); }, 3000));
  ASSERT_NE(blob->PopupImage(), nullptr);
  RunUntil([] { return false; }, 300);
  Xdotool("key --delay 50 shift+Delete");
  EXPECT_TRUE(RunUntil([&] { return blob->OkButton()->Enabled(); }, 3000));
  Xdotool("mousemove --sync " + At(blob->OkButton(), TPoint(5, 5)) + " click 1");
  EXPECT_TRUE(RunUntil([&] { return !blob->DroppedDown(); }, 3000));
  EXPECT_TRUE(VarIsNull(blob->EditValue()));
  form->Free();
  SetBackend(nullptr);
}

}  // namespace
