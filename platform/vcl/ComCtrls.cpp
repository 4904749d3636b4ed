#include "vcl/ComCtrls.h"

#include "rtl/TypInfo.h"

namespace {
PTypeInfo PanelBevelType() { return EnumTypeInfo("TStatusPanelBevel", {"pbNone", "pbLowered", "pbRaised"}); }
PTypeInfo PanelStyleType() { return EnumTypeInfo("TStatusPanelStyle", {"psText", "psOwnerDraw"}); }
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TStatusPanel) {
  p.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, AlignmentTypeInfo()).Default(taLeftJustify);
  p.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, PanelBevelType()).Default(pbLowered);
  p.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle, PanelStyleType()).Default(psText);
  p.Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  p.Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

TStatusPanel::TStatusPanel(TCollection* c) : TCollectionItem(c) {}

void TStatusPanel::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TStatusPanel*>(source)) {
    text_ = p->text_;
    width_ = p->width_;
    alignment_ = p->alignment_;
    bevel_ = p->bevel_;
    style_ = p->style_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

KORVAN_IMPLEMENT_CLASS(TStatusPanels)

TStatusPanels::TStatusPanels(TStatusBar* bar) : TCollection(TStatusPanel::StaticClass()), bar_(bar) {}
TPersistent* TStatusPanels::GetOwner() const { return bar_; }
void TStatusPanels::Update(TCollectionItem*) {
  if (bar_) bar_->Invalidate();
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TStatusBar) {
  p.Object("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels, TStatusPanels::StaticClass());
  p.Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
  p.Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  p.Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner), panels_(new TStatusPanels(this)) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  color_ = clBtnFace;
  brush_->SetColor(color_);
  height_ = 19;
  width_ = 200;
  align_ = alBottom;
  anchors_ = {akLeft, akRight, akBottom};
}

TStatusBar::~TStatusBar() = default;

TRect TStatusBar::PanelRect(Integer index) {
  TRect r = ClientRect();
  Integer x = 0;
  for (Integer i = 0; i < panels_->Count(); ++i) {
    Integer w = panels_->Items(i)->Width();
    bool last = i == panels_->Count() - 1;
    TRect pr(x, 2, last ? r.Right : x + w, r.Bottom);
    if (i == index) return pr;
    x += w + 2;
  }
  return {};
}

void TStatusBar::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  c->Font()->Assign(font_.get());
  HDC dc = c->Handle();
  auto text = [&](TRect tr, const String& s, TAlignment a) {
    c->Brush()->SetStyle(bsClear);
    tr.Left += 2;
    tr.Right -= 2;
    c->DrawText(s, tr,
             DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS |
                 (a == taCenter ? DT_CENTER : a == taRightJustify ? DT_RIGHT : DT_LEFT));
    c->Brush()->SetStyle(bsSolid);
  };
  if (simplePanel_ || panels_->Count() == 0) {
    TRect sr(0, 2, r.Right, r.Bottom);
    text(sr, simplePanel_ ? simpleText_ : text_, taLeftJustify);
  } else {
    for (Integer i = 0; i < panels_->Count(); ++i) {
      TStatusPanel* p = panels_->Items(i);
      TRect pr = PanelRect(i);
      if (sizeGrip_ && i == panels_->Count() - 1) pr.Right -= 12;
      if (p->Bevel() != pbNone) {
        RECT e = pr;
        DrawEdge(dc, &e, p->Bevel() == pbLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
      }
      TRect inner(pr.Left + 1, pr.Top + 1, pr.Right - 1, pr.Bottom - 1);
      if (p->Style() == psOwnerDraw && OnDrawPanel) OnDrawPanel(this, p, inner);
      else text(inner, p->Text(), p->Alignment());
    }
  }
  if (sizeGrip_) {
    RECT g{r.Right - 12, r.Bottom - 12, r.Right, r.Bottom};
    DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

void InitializeComCtrls() {
  InitUnit("ComCtrls", [] {
    InitializeStdCtrls();
    for (TClass c : {TStatusBar::StaticClass(), TStatusPanel::StaticClass(), TStatusPanels::StaticClass()}) RegisterClass(c);
  });
}
