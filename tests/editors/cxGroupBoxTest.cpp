// The group box: the caption rectangle of each of the thirteen positions with and without
// shadow, vertical captions (no accelerator, TrueType font), the unbroken frame without a
// caption, the children's client rectangle, the accelerator to the first child, and PNG
// sheets of the positions and border styles.
#include <gtest/gtest.h>

#include "editors/cxGroupBox.h"
#include "gdi/Gdi.h"
#include "tests/support/HeadlessFixture.h"
#include "tests/support/TestSupport.h"
#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace {

class GroupBoxTest : public testing_support::THeadlessFixture {
 protected:
  void SetUp() override {
    THeadlessFixture::SetUp();
    InitializeCxGroupBox();
    form_ = new TForm(Application);
    form_->SetBounds(0, 0, 700, 560);
    form_->Show();
    Pump();
  }
  void TearDown() override {
    form_->Free();
    THeadlessFixture::TearDown();
  }
  TcxGroupBox* Box(const TRect& r, const String& caption, TcxCaptionAlignment a = alTopLeft) {
    auto* box = new TcxGroupBox(form_);
    box->SetBoundsRect(r);
    box->SetCaption(caption);
    box->SetAlignment(a);
    box->SetParent(form_);
    Pump();
    box->RefreshStateAtCursor(false);
    return box;
  }
  // The caption's measured width and height in the box's caption font.
  TSize CaptionSize(TcxGroupBox* box) {
    TcxCanvas* c = SharedScreenCanvas();
    c->ApplyFont(box->CaptionFont());
    RECT m = TRect(0, 0, 0, 0);
    DrawText(c->DeviceContext(), box->DisplayCaption().c_str(), -1, &m, DT_CALCRECT | box->CaptionDrawFlags());
    return TSize(m.Right - m.Left, std::max<Integer>(m.Bottom - m.Top, c->MeasureTextHeight("Qq")));
  }
  TForm* form_ = nullptr;
};

TEST_F(GroupBoxTest, CaptionRectangleOfEachPositionWithAndWithoutShadow) {
  for (bool shadow : {false, true}) {
    auto* box = Box(TRect(10, 10, 210, 210), "Caption");
    box->Style()->SetShadow(shadow);
    const Integer c = shadow ? 3 : 0, W = 200, H = 200;
    for (Integer i = 0; i <= alCenterCenter; ++i) {
      const auto a = TcxCaptionAlignment(i);
      box->SetAlignment(a);
      box->RefreshStateAtCursor(false);
      const TSize s = CaptionSize(box);
      const Integer w = s.cx, h = s.cy;
      TRect expected;
      switch (a) {
        case alTopLeft: expected = Bounds(8, 0, w, h); break;
        case alTopCenter: expected = Bounds((W - c - w) / 2, 0, w, h); break;
        case alTopRight: expected = Bounds(W - c - 8 - w, 0, w, h); break;
        case alBottomLeft: expected = Bounds(8, H - h - 2, w, h); break;
        case alBottomCenter: expected = Bounds((W - c - w) / 2, H - h - 2, w, h); break;
        case alBottomRight: expected = Bounds(W - c - 8 - w, H - h - 2, w, h); break;
        case alLeftTop: expected = Bounds(-1, 8, h, w); break;
        case alLeftCenter: expected = TRect(-1, (H - c) - (H - c - w) / 2 - w, h - 1, (H - c) - (H - c - w) / 2); break;
        case alLeftBottom: expected = TRect(-1, H - c - 8 - w, h - 1, H - c - 8); break;
        case alRightTop: expected = TRect(W - h + 1, 8, W + 1, 8 + w); break;
        case alRightCenter: expected = TRect(W - h + 1, (H - w) / 2, W + 1, (H - w) / 2 + w); break;
        case alRightBottom: expected = TRect(W - h + 1, H - 8 - w, W + 1, H - 8); break;
        case alCenterCenter: expected = Bounds((W - c - w) / 2, (H - c - h) / 2, w, h); break;
      }
      EXPECT_EQ(box->GroupViewInfo()->CaptionRect, expected) << i << " shadow " << shadow;
    }
    box->Free();
  }
}

TEST_F(GroupBoxTest, TopRightWithShadowEndsElevenPixelsFromTheEdge) {
  auto* box = Box(TRect(0, 0, 200, 100), "Caption", alTopRight);
  box->Style()->SetShadow(true);
  box->RefreshStateAtCursor(false);
  EXPECT_EQ(box->GroupViewInfo()->CaptionRect.Right, 200 - 11);
}

TEST_F(GroupBoxTest, VerticalCaptionsDropTheAcceleratorAndUseATrueTypeFont) {
  auto* box = Box(TRect(0, 0, 150, 200), "&Options", alLeftBottom);
  EXPECT_EQ(box->DisplayCaption(), "Options");
  EXPECT_TRUE(box->CaptionDrawFlags() & DT_NOPREFIX);
  box->SetAlignment(alTopLeft);
  EXPECT_EQ(box->DisplayCaption(), "&Options");
  EXPECT_FALSE(box->CaptionDrawFlags() & DT_NOPREFIX);
  // A font that is not TrueType is replaced for vertical captions only.
  TFont type1;
  type1.SetName("URW Gothic");
  TcxCanvas* c = SharedScreenCanvas();
  c->ApplyFont(&type1);
  c->MeasureTextHeight("Q");  // selects the font
  TEXTMETRIC tm{};
  GetTextMetrics(c->DeviceContext(), &tm);
  if (tm.tmPitchAndFamily & TMPF_TRUETYPE) GTEST_SKIP() << "no Type 1 font installed";
  box->Style()->SetFont(&type1);
  box->UpdateCaptionFont();
  EXPECT_EQ(box->CaptionFont()->Name(), "URW Gothic");
  box->SetAlignment(alRightCenter);
  EXPECT_EQ(box->CaptionFont()->Name(), "Arial");
}

TEST_F(GroupBoxTest, ClientRectangleOfChildrenAndTheUnbrokenFrame) {
  auto* box = Box(TRect(10, 10, 210, 160), "Caption");
  const Integer t = [&] {
    TcxCanvas* c = SharedScreenCanvas();
    c->ApplyFont(box->CaptionFont());
    return c->MeasureTextHeight("Qq");
  }();
  auto* child = new TEdit(form_);
  child->SetParent(box);
  child->SetAlign(alClient);
  Pump();
  box->RefreshStateAtCursor(false);
  const Integer side = box->GroupViewInfo()->InteriorRect.Left;  // the frame's extent
  EXPECT_EQ(child->Top(), t + 3);
  EXPECT_EQ(child->Left(), side);
  box->SetAlignment(alCenterCenter);
  Pump();
  EXPECT_EQ(child->Top(), side);
  box->SetAlignment(alRightTop);
  Pump();
  EXPECT_EQ(child->Width(), 200 - side - (t + 3));
  // Without a caption: an empty caption rectangle, the frame line at half the font height.
  box->SetAlignment(alTopLeft);
  box->SetCaption("");
  box->RefreshStateAtCursor(false);
  EXPECT_TRUE(box->GroupViewInfo()->CaptionRect.IsEmpty());
  EXPECT_EQ(box->GroupViewInfo()->InteriorRect.Top, t / 2 + 1);
}

TEST_F(GroupBoxTest, AcceleratorFocusesTheFirstChild) {
  auto* box = Box(TRect(10, 10, 210, 160), "&Group");
  auto* first = new TEdit(form_);
  first->SetParent(box);
  first->SetBounds(10, 30, 100, 21);
  auto* second = new TEdit(form_);
  second->SetParent(box);
  second->SetBounds(10, 60, 100, 21);
  Pump();
  EXPECT_FALSE(box->TabStop());
  EXPECT_EQ(SendMessage(box->Handle(), CM_DIALOGCHAR, 'g', 0), 1);
  Pump();
  EXPECT_TRUE(first->Focused());
  EXPECT_EQ(SendMessage(box->Handle(), CM_DIALOGCHAR, 'x', 0), 0);
}

TEST_F(GroupBoxTest, NoFrameLineBehindTheCaption) {
  auto* box = Box(TRect(10, 10, 210, 110), "Caption");
  box->Style()->SetBorderStyle(ebsSingle);
  box->Style()->SetBorderColor(clRed);
  box->RefreshStateAtCursor(false);
  box->Repaint();
  Pump();
  const TRect cap = box->GroupViewInfo()->CaptionRect;
  const Integer lineY = box->GroupViewInfo()->InteriorRect.Top - 1;
  HDC dc = GetDC(box->Handle());
  Integer redInCaption = 0, redOutside = 0;
  for (Integer x = 0; x < 200; ++x) {
    const bool red = GetPixel(dc, x, lineY) == RGB(255, 0, 0);
    if (x >= cap.Left && x < cap.Right) redInCaption += red;
    else redOutside += red;
  }
  ReleaseDC(box->Handle(), dc);
  EXPECT_EQ(redInCaption, 0);
  EXPECT_GT(redOutside, 150);
}

TEST_F(GroupBoxTest, Sheets) {
  // The thirteen positions, the second row block with shadow.
  for (Integer i = 0; i <= alCenterCenter; ++i) {
    const Integer col = i % 4, row = i / 4;
    auto* box = Box(Bounds(8 + col * 170, 8 + row * 130, 160, 120), "Caption &" + IntToStr(i),
                    TcxCaptionAlignment(i));
    box->Style()->SetShadow(i % 2 == 1);
    box->Style()->SetBorderStyle(ebs3D);
  }
  Pump();
  S().Snapshot(form_->Handle(), "editors_group_box_positions.png", true);
  for (Integer i = form_->ControlCount() - 1; i >= 0; --i) form_->Controls(i)->Free();
  const TcxEditBorderStyle styles[] = {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11};
  for (Integer i = 0; i < 7; ++i) {
    auto* box = Box(Bounds(8 + (i % 4) * 170, 8 + (i / 4) * 130, 160, 120), "Style " + IntToStr(i));
    box->Style()->SetBorderStyle(styles[i]);
    if (i == 6) box->SetEnabled(false);
    auto* label = new TLabel(form_);
    label->SetParent(box);
    label->SetCaption("Label");
    label->SetBounds(10, 30, 60, 16);
    auto* edit = new TEdit(form_);
    edit->SetParent(box);
    edit->SetBounds(10, 50, 100, 21);
  }
  Pump();
  S().Snapshot(form_->Handle(), "editors_group_box_styles.png", true);
}

}  // namespace
