// Push button, button glyph and glyph cache.
#include "foundation/cxButtons.h"

#include <algorithm>
#include <functional>

#include "foundation/dxThemeManager.h"
#include "rtl/ScopeExit.h"
#include "rtl/TypInfo.h"
#include "vcl/ControlMessages.h"
#include "vcl/Forms.h"

TcxCustomLookAndFeelPainterClass ButtonPainterClass(TcxLookAndFeel* lookAndFeel) {
  TcxCustomLookAndFeelPainterClass p = lookAndFeel ? lookAndFeel->EffectivePainter() : nullptr;
  if (!p) return TcxStandardLookAndFeelPainter::Class();
  if (p->PainterStyle() == lfsOffice11) {
    if (IsThemeClassAvailable(tcButton)) return TcxWinXPLookAndFeelPainter::Class();
    return TcxStandardLookAndFeelPainter::Class();
  }
  return p;
}

// ---- colours ---------------------------------------------------------------------------------

// A face colour is stored when assigned (clDefault is the unassigned value).
KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxButtonColors) {
  using C = TcxButtonColors;
  p.Int("Default", &C::Default, &C::SetDefault).Default(clDefault);
  p.Int("Normal", &C::Normal, &C::SetNormal).Default(clDefault);
  p.Int("Hot", &C::Hot, &C::SetHot).Default(clDefault);
  p.Int("Pressed", &C::Pressed, &C::SetPressed).Default(clDefault);
  p.Int("Disabled", &C::Disabled, &C::SetDisabled).Default(clDefault);
}

TColor TcxButtonColors::ColorOf(TcxButtonState state) const {
  if (assigned_.Contains(state)) return colors_[state];
  // An unassigned normal face follows the default one; the others follow the normal one.
  return state == cxbsNormal ? colors_[cxbsDefault] : colors_[cxbsNormal];
}

void TcxButtonColors::Changed() {
  if (button_) button_->Invalidate();
}

void TcxButtonColors::SetColor(TcxButtonState index, TColor value) {
  if (value == clNone || value == clDefault) {
    colors_[index] = clDefault;
    assigned_.Exclude(index);
    Changed();
    return;
  }
  if (value == colors_[index] && assigned_.Contains(index)) return;
  colors_[index] = value;
  assigned_.Include(index);
  Changed();
}

void TcxButtonColors::SetAssignedColors(const TcxButtonAssignedColors& v) {
  if (v == assigned_ || !button_ || !button_->ComponentState().Contains(csDesigning)) return;
  TcxButtonAssignedColors value = v;
  for (auto s : {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled}) {
    if (!value.Contains(s)) colors_[s] = clDefault;
    else if (colors_[s] == clDefault) value.Exclude(s);
  }
  assigned_ = value;
  Changed();
}

void TcxButtonColors::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxButtonColors*>(source)) {
    std::copy(std::begin(s->colors_), std::end(s->colors_), colors_);
    assigned_ = s->assigned_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

// ---- glyph list and cache --------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxGlyphList)
KORVAN_IMPLEMENT_CLASS(TcxGlyphCache)

TcxGlyphCache* GlyphCache = nullptr;

namespace {
// A mask of the image: white where the pixel has the mask colour (clDefault: the colour of
// the bottom-left pixel, the image list's automatic choice).
std::unique_ptr<TBitmap> BuildMask(TBitmap* image, TColor maskColor) {
  auto mask = std::make_unique<TBitmap>();
  mask->SetSize(image->Width(), image->Height());
  TCanvas* src = image->Canvas();
  TCanvas* dst = mask->Canvas();
  TColor key = maskColor == clDefault ? src->Pixels(0, image->Height() - 1) : maskColor;
  COLORREF keyRgb = ColorToRGB(key);
  for (Integer y = 0; y < image->Height(); ++y)
    for (Integer x = 0; x < image->Width(); ++x)
      dst->SetPixels(x, y, ColorToRGB(src->Pixels(x, y)) == keyRgb ? clWhite : clBlack);
  return mask;
}
}  // namespace

Integer TcxGlyphList::AllocateIndex(TBitmap* image) {
  Integer index = used_.OpenBit();
  if (index >= used_.Size()) {
    index = Add(image, nullptr);
    used_.SetSize(index + 1);
  }
  used_.SetBits(index, true);
  return index;
}

Integer TcxGlyphList::AddMasked(TBitmap* image, TColor maskColor) {
  Integer index = AllocateIndex(image);
  auto mask = BuildMask(image, maskColor);
  Replace(index, image, mask.get());
  ++count_;
  return index;
}

void TcxGlyphList::Delete(Integer index) {
  if (index < 0 || index >= used_.Size() || !used_.Bits(index)) return;
  --count_;
  used_.SetBits(index, false);
}

TcxGlyphCache::~TcxGlyphCache() {
  for (auto* l : lists_) l->Free();
}

TcxGlyphList* TcxGlyphCache::GetList(Integer width, Integer height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return *it;
  auto* l = new TcxGlyphList(width, height);
  lists_.push_back(l);
  return l;
}

void TcxGlyphCache::ReturnList(TcxGlyphList* list) {
  if (!list || list->UsedCount() != 0) return;
  auto it = std::find(lists_.begin(), lists_.end(), list);
  if (it != lists_.end()) lists_.erase(it);
  list->Free();
}

// ---- glyph -----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxButtonGlyph)

TcxButtonGlyph::TcxButtonGlyph() {
  glyph_ = std::make_unique<TBitmap>();
  glyph_->OnChange = [this](TObject* s) { HandleBitmapChange(s); };
  if (!GlyphCache) GlyphCache = new TcxGlyphCache();
}

TcxButtonGlyph::~TcxButtonGlyph() {
  glyph_->OnChange = nullptr;
  glyph_.reset();
  ReleaseStateImages();
  if (GlyphCache && GlyphCache->IsEmpty()) {
    delete GlyphCache;
    GlyphCache = nullptr;
  }
}

void TcxButtonGlyph::ReleaseStateImages() {
  for (Integer& i : indexes_) {
    if (i != -1 && glyphList_) glyphList_->Delete(i);
    i = -1;
  }
  if (GlyphCache) GlyphCache->ReturnList(glyphList_);
  glyphList_ = nullptr;
}

void TcxButtonGlyph::HandleBitmapChange(TObject* sender) {
  if (sender != glyph_.get()) return;
  transparentColor_ = glyph_->TransparentColor();
  ReleaseStateImages();
  if (OnChange) OnChange(this);
}

void TcxButtonGlyph::AssignGlyph(TBitmap* value) {
  ReleaseStateImages();
  if (!value) {
    glyph_->SetSize(0, 0);
    return;
  }
  glyph_->Assign(value);
  if (value->Height() >= 1) {
    transparentColor_ = value->TransparentColor();
    if (value->Width() % value->Height() == 0) {
      Integer n = value->Width() / value->Height();
      if (n >= 5) n = 1;
      ChangeNumGlyphs(n);
    }
  }
}

void TcxButtonGlyph::ChangeNumGlyphs(Integer n) {
  if (n == numGlyphs_ || n == 0) return;
  ReleaseStateImages();
  numGlyphs_ = n;
  HandleBitmapChange(glyph_.get());
}

Integer TcxButtonGlyph::StateImageIndex(TcxButtonState state) {
  static const Integer kinds[] = {0, 0, 0, 2, 1};
  Integer kind = kinds[state];
  if (kind == 2 && numGlyphs_ < 3) kind = 0;
  if (indexes_[kind] != -1) return indexes_[kind];
  if (IsEmptyGlyph()) return -1;
  return BuildStateImage(kind);
}

Integer TcxButtonGlyph::BuildStateImage(Integer kind) {
  Integer w = glyph_->Width() / numGlyphs_, h = glyph_->Height();
  if (w <= 0 || h <= 0) return -1;
  Integer source = kind < numGlyphs_ ? kind : 0;
  TRect sourceRect(source * w, 0, source * w + w, h);
  if (!glyphList_) {
    if (!GlyphCache) GlyphCache = new TcxGlyphCache();
    glyphList_ = GlyphCache->GetList(w, h);
  }
  std::unique_ptr<TBitmap> tmp(CreateSizedBitmap(w, h));
  tmp->Canvas()->Brush()->SetColor(transparentColor_);
  TRect whole(0, 0, w, h);
  if (kind == 1 && numGlyphs_ == 1) {
    // The disabled image made from the only image.
    tmp->Canvas()->FillRect(whole);
    DrawImageWithState(tmp->Canvas()->Handle(), whole, whole, glyph_.get(), nullptr, -1, 1, false, nullptr,
                       transparentColor_, false);
  } else {
    tmp->Canvas()->CopyRect(whole, glyph_->Canvas(), sourceRect);
  }
  TColor mask = glyph_->TransparentMode() == tmFixed ? transparentColor_ : clDefault;
  indexes_[kind] = glyphList_->AddMasked(tmp.get(), mask);
  glyph_->Dormant();
  return indexes_[kind];
}

TRect TcxButtonGlyph::CaptionMargins(TButtonLayout) {
  if (glyph_->Width() > 0 && glyph_->Height() > 0) return TRect(0, 0, 0, 0);
  return TRect(1, 0, 2, 0);
}

bool TcxButtonGlyph::WrapsCaption(bool wordWrap) const {
  return wordWrap && (glyph_->Width() == 0 || glyph_->Height() == 0);
}

void TcxButtonGlyph::LayoutContent(TCanvas* canvas, const TRect& client, Integer shift, const String& caption,
                                   TButtonLayout layout, Integer margin, Integer spacing, UINT biDiFlags,
                                   bool wordWrap, TPoint& glyphPos, TRect& textBounds) {
  if (biDiFlags & DT_RIGHT) {
    if (layout == blGlyphLeft) layout = blGlyphRight;
    else if (layout == blGlyphRight) layout = blGlyphLeft;
  }
  TPoint textSize(0, 0);
  if (caption.empty()) {
    textBounds = TRect(0, 0, 0, 0);
  } else {
    textBounds = TRect(0, 0, client.Width(), 0);
    TRect m = CaptionMargins(layout);
    textBounds = TRect(textBounds.Left + m.Left, textBounds.Top + m.Top, textBounds.Right - m.Right,
                       textBounds.Bottom - m.Bottom);
    canvas->DrawText(caption, textBounds, DT_CALCRECT | biDiFlags | (WrapsCaption(wordWrap) ? DT_WORDBREAK : 0));
    textSize = TPoint(textBounds.Width() + m.Left + m.Right, textBounds.Height() + m.Top + m.Bottom);
  }
  TPoint clientSize(client.Width(), client.Height());
  TPoint glyphSize = IsEmptyGlyph() ? TPoint(0, 0) : TPoint(glyph_->Width() / numGlyphs_, glyph_->Height());
  TPoint glyph(0, 0), text(0, 0);
  bool horz = layout == blGlyphLeft || layout == blGlyphRight;
  if (horz) {
    glyph.Y = (clientSize.Y - glyphSize.Y) / 2;
    text.Y = (clientSize.Y - textSize.Y - 1) / 2;
  } else {
    glyph.X = (clientSize.X - glyphSize.X) / 2;
    text.X = (clientSize.X - textSize.X) / 2;
  }
  if (textSize.X == 0 || glyphSize.X == 0) spacing = 0;
  Integer cs = horz ? clientSize.X : clientSize.Y, gs = horz ? glyphSize.X : glyphSize.Y,
          ts = horz ? textSize.X : textSize.Y;
  if (margin == -1 && spacing == -1) {
    margin = (cs - (gs + ts)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = (cs - (gs + spacing + ts)) / 2;
  } else if (spacing == -1) {
    spacing = ((cs - (margin + gs)) - ts) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyph.X = margin;
      text.X = margin + glyphSize.X + spacing;
      break;
    case blGlyphRight:
      glyph.X = clientSize.X - margin - glyphSize.X;
      text.X = glyph.X - spacing - textSize.X;
      break;
    case blGlyphTop:
      glyph.Y = margin;
      text.Y = margin + glyphSize.Y + spacing;
      break;
    case blGlyphBottom:
      glyph.Y = clientSize.Y - margin - glyphSize.Y;
      text.Y = glyph.Y - spacing - textSize.Y;
      break;
  }
  glyphPos = TPoint(glyph.X + client.Left + shift, glyph.Y + client.Top + shift);
  textBounds = ShiftedRect(textBounds, client.Left + text.X + shift, client.Top + text.Y + shift);
}

void TcxButtonGlyph::PaintGlyphImage(TCanvas* canvas, const TPoint& glyphPos, TcxButtonState state) {
  if (glyph_->Width() == 0 || glyph_->Height() == 0) return;
  Integer index = StateImageIndex(state);
  if (index < 0 || !glyphList_) return;
  glyphList_->Draw(canvas, glyphPos.X, glyphPos.Y, index, true);
}

void TcxButtonGlyph::PaintCaption(TCanvas* canvas, const String& caption, const TRect& textBounds,
                                  TcxButtonState state, UINT biDiFlags, bool wordWrap) {
  if (caption.empty()) return;
  TBrushStyle old = canvas->Brush()->Style();
  canvas->Brush()->SetStyle(bsClear);
  TScopeExit restore([canvas, old] { canvas->Brush()->SetStyle(old); });
  UINT flags = biDiFlags | DT_CENTER | DT_VCENTER | (WrapsCaption(wordWrap) ? DT_WORDBREAK : 0);
  if (state == cxbsDisabled) {
    TColor c = canvas->Font()->Color();
    canvas->Font()->SetColor(clBtnHighlight);
    TRect r = ShiftedRect(textBounds, 1, 1);
    canvas->DrawText(caption, r, flags);
    canvas->Font()->SetColor(c);
  }
  TRect r = textBounds;
  canvas->DrawText(caption, r, flags);
}

void TcxButtonGlyph::PaintContent(TCanvas* canvas, const TRect& client, Integer shift, const String& caption,
                                  TButtonLayout layout, Integer margin, Integer spacing, TcxButtonState state,
                                  UINT biDiFlags, bool wordWrap) {
  TPoint glyphPos;
  TRect textBounds;
  LayoutContent(canvas, client, shift, caption, layout, margin, spacing, biDiFlags, wordWrap, glyphPos, textBounds);
  PaintGlyphImage(canvas, glyphPos, state);
  PaintCaption(canvas, caption, textBounds, state, biDiFlags, wordWrap);
}

// ---- button ----------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxCustomButton) {
  p.Bool("UseSystemPaint", &TcxCustomButton::UseSystemPaint, &TcxCustomButton::SetUseSystemPaint).Default(false);
  p.Int("Margin", &TcxCustomButton::Margin, &TcxCustomButton::SetMargin).Default(-1);
  p.Int("Spacing", &TcxCustomButton::Spacing, &TcxCustomButton::SetSpacing).Default(4);
  p.Object("Colors", &TcxCustomButton::Colors, &TcxCustomButton::SetColors, TcxButtonColors::StaticClass());
  p.Object("Glyph", &TcxCustomButton::Glyph, &TcxCustomButton::SetGlyph, TBitmap::StaticClass());
  p.Enum("Layout", &TcxCustomButton::Layout, &TcxCustomButton::SetLayout,
         EnumTypeInfo("TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}))
      .Default(blGlyphLeft);
  p.Object("LookAndFeel", &TcxCustomButton::LookAndFeel, &TcxCustomButton::SetLookAndFeel,
           TcxLookAndFeel::StaticClass());
  p.Int("NumGlyphs", &TcxCustomButton::NumGlyphs, &TcxCustomButton::SetNumGlyphs).Default(1);
}
KORVAN_IMPLEMENT_CLASS(TcxButton)

TcxCustomButton::TcxCustomButton(TComponent* owner) : TButton(owner) {
  glyph_.reset(TcxButtonGlyph::CreateGlyph());
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
  colors_ = std::make_unique<TcxButtonColors>(this);
  canvas_ = std::make_unique<TcxCanvas>(TButton::Canvas());
  lookAndFeel_ = std::make_unique<TcxLookAndFeel>(this);
  lookAndFeel_->OnLookAndFeelChanged = [this](TcxLookAndFeel*, const TcxLookAndFeelValues&) { Invalidate(); };
  SetDoubleBuffered(true);
  ControlStyle() += csOpaque;
}

TcxCustomButton::~TcxCustomButton() {
  EndMouseTracking(this);
  lookAndFeel_.reset();
  colors_.reset();
}

void TcxCustomButton::MouseLeave() { Perform(CM_MOUSELEAVE, 0, 0); }

bool TcxCustomButton::RaiseDropDownMenuPopup(TPopupMenu*& menu) {
  bool handled = false;
  if (OnDropDownMenuPopup) OnDropDownMenuPopup(this, menu, handled);
  return handled;
}

bool TcxCustomButton::ShowPopupMenu(TComponent* menu, Integer x, Integer y) { return InvokePopupMenu(this, menu, x, y); }

TcxCustomLookAndFeelPainterClass TcxCustomButton::PainterClass() { return ButtonPainterClass(lookAndFeel_.get()); }

TSize TcxCustomButton::PreferredSize() {
  TcxScreenCanvas* c = LazyScreenCanvas();
  c->ApplyFont(Font());
  String t = StripAccelChars(Caption());
  if (t.empty()) t = " ";
  return TSize(c->MeasureTextWidth(t) + 3 * c->MeasureTextWidth("R"), MulDiv(c->MeasureTextHeight("Wg"), 14, 8));
}

void TcxCustomButton::CreateWnd() {
  bool enabled = Enabled();
  TButton::CreateWnd();
  glyph_->StateImageIndex(enabled ? cxbsNormal : cxbsDisabled);
}

void TcxCustomButton::DestroyWnd() {
  if (menuVisible_ && HandleAllocated()) SendMessage(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
  TButton::DestroyWnd();
}

void TcxCustomButton::Notification(TComponent* c, TOperation op) {
  TButton::Notification(c, op);
  if (op != opRemove) return;
  if (c == dropDownMenu_) dropDownMenu_ = nullptr;
  if (c == popupMenu_) SetPopupMenu(nullptr);
}

void TcxCustomButton::SetDropDownMenu(TPopupMenu* v) {
  if (v == dropDownMenu_) return;
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TcxCustomButton::SetPopupMenu(TComponent* v) {
  if (v && !dynamic_cast<TPopupMenu*>(v) && !dynamic_cast<IcxPopupMenu*>(v)) v = nullptr;
  if (v == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = v;
  if (v) v->FreeNotification(this);
}

void TcxCustomButton::SetGlyph(TBitmap* v) {
  glyph_->AssignGlyph(v);
  Invalidate();
}

void TcxCustomButton::SetNumGlyphs(Integer v) {
  v = std::min(v, 4);
  if (v == glyph_->NumGlyphs()) return;
  glyph_->ChangeNumGlyphs(v);
  Invalidate();
}

void TcxCustomButton::SetLayout(TButtonLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TcxCustomButton::SetMargin(Integer v) {
  if (v == margin_ || v < -1) return;
  margin_ = v;
  Invalidate();
}

void TcxCustomButton::SetSpacing(Integer v) {
  if (v == spacing_) return;
  spacing_ = v;
  Invalidate();
}

void TcxCustomButton::SetKind(TcxButtonKind v) {
  if (v == kind_) return;
  kind_ = v;
  Invalidate();
}

void TcxCustomButton::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  Invalidate();
}

// Drawing.

void TcxCustomButton::ExcludeArrowPart(TRect& r) {
  if (kind_ == cxbkDropDownButton) r.Right -= cxDropDownButtonWidth - 2;
}

TRect TcxCustomButton::ContentRect(TcxButtonState state) {
  Integer w = PainterClass()->ButtonFrameWidth(state);
  TRect r = GrowRect(ClientRect(), -w, -w);
  ExcludeArrowPart(r);
  return r;
}

TcxButtonState TcxCustomButton::CurrentState() {
  if (!Enabled()) return cxbsDisabled;
  if (isDown_ || menuVisible_) return cxbsPressed;
  if (mouseInControl_) return cxbsHot;
  if (focusedWhenDrawn_ || Active()) return cxbsDefault;
  return cxbsNormal;
}

void TcxCustomButton::Paint() {
  if (ComponentState().Contains(csDestroying) || UsesSystemPaint()) return;
  isDown_ = lockDown_ ? false : pressed_;
  focusedWhenDrawn_ = Focused() || (Default() && ComponentState().Contains(csDesigning));
  DrawButton();
}

void TcxCustomButton::DrawButton() {
  if (UsesSystemPaint()) return;
  TcxCustomLookAndFeelPainterClass painter = PainterClass();
  TRect r = ClientRect();
  if (painter == TcxWinXPLookAndFeelPainter::Class() && OpenThemeCached(tcButton))
    PaintControlParentBackground(this, canvas_.get(), r);
  TRect arrowR;
  if (kind_ == cxbkDropDown) {
    isDown_ = menuVisible_;
  } else if (kind_ == cxbkDropDownButton) {
    arrowR = TRect(r.Right - cxDropDownButtonWidth, r.Top, r.Right, r.Bottom);
    ExcludeArrowPart(r);
    if (lockDown_) isDown_ = false;
  }
  TcxButtonState state = CurrentState();
  TCanvas* c = TButton::Canvas();
  c->Font()->Assign(Font());
  TColor face = colors_->ColorOf(state);
  c->Font()->SetColor(painter->ButtonGlyphColor(state, c->Font()->Color()));
  if (OnGetDrawParams) OnGetDrawParams(this, state, face, c->Font());
  painter->PaintButton(canvas_.get(), r, "", state, true, face, c->Font()->Color());
  Integer shift = state == cxbsPressed ? painter->ButtonPressedTextShift() : 0;
  TcxRegion* saved = canvas_->CopyClipRegion(true);
  {
    TScopeExit restore([this, saved] { canvas_->ApplyClipRegion(saved, roSet, true, true); });
    canvas_->IntersectClip(ContentRect(state));
    glyph_->PaintContent(c, ContentRect(cxbsDefault), shift, Caption(), layout_, margin_, spacing_, state, 0,
                         wordWrap_);
  }
  if (kind_ == cxbkDropDownButton) {
    painter->PaintButton(canvas_.get(), arrowR, "", state, true, face, c->Font()->Color());
    painter->PaintStateArrow(canvas_.get(), arrowR, state, adDown);
  }
  if (Focused() && !menuVisible_) canvas_->DrawFocusFrame(painter->ButtonFocusBounds(canvas_.get(), r));
}

// Drop-down.

void TcxCustomButton::DropDown() {
  lockDown_ = true;
  if (HandleAllocated()) PostMessage(Handle(), CM_DROPDOWNPOPUPMENU, 0, 0);
}

TPoint TcxCustomButton::DropDownMenuPosition(TPopupMenu* menu) {
  Integer x = popupAlignment_ == paLeft ? 0 : popupAlignment_ == paRight ? Width() : Width() / 2;
  TPoint p = ClientToScreen(TPoint(x, Height()));
  Integer h = EstimatePopupMenuHeight(menu);
  TRect wa;
  MonitorWorkAreaAt(p, wa);
  if (wa.Bottom < p.Y + h) p.Y -= h + Height() + 2;
  return p;
}

TPopupAlignment TcxCustomButton::DropDownMenuAlignment(const TPoint& p, TPopupAlignment a) {
  TRect wa;
  MonitorWorkAreaAt(p, wa);
  if (p.X > wa.Left && p.X < wa.Right) return a;
  // At or beyond an edge the menu opens towards the work area.
  return p.X <= wa.Left ? paLeft : paRight;
}

void TcxCustomButton::HandleDropDownRequest() {
  if (kind_ == cxbkStandard) return;
  TPopupMenu* menu = dropDownMenu_;
  if (RaiseDropDownMenuPopup(menu) || !menu) return;
  TWeakRef<TcxCustomButton> self(this);
  menuVisible_ = true;
  Repaint();
  TPoint p = DropDownMenuPosition(menu);
  TPopupAlignment saved = menu->Alignment();
  menu->SetAlignment(DropDownMenuAlignment(p, popupAlignment_));
  menu->SetPopupComponent(this);
  {
    TWeakRef<TPopupMenu> ms(menu);
    TScopeExit restore([ms, saved] {
      if (ms) ms->SetAlignment(saved);
    });
    menu->Popup(p.X, p.Y);
  }
  if (self && HandleAllocated()) PostMessage(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
}

void TcxCustomButton::HandleDropDownClosed() {
  TPoint p;
  POINT pt{};
  GetCursorPos(&pt);
  p = TPoint(pt.X, pt.Y);
  mouseInControl_ = HotTrackingAllowed() && HandleAllocated() && WindowFromPoint(pt) == Handle();
  menuVisible_ = false;
  Repaint();
  lockDown_ = false;
}

// Mouse and keys.

bool TcxCustomButton::InArrowZone(const TPoint& p) {
  TRect r = ClientRect();
  r.Left = r.Right - cxDropDownButtonWidth;
  return r.Contains(p);
}

void TcxCustomButton::WMLButtonDown(TMessage& m) {
  TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (kind_ == cxbkDropDownButton && InArrowZone(p)) lockDown_ = true;
  TButton::WMLButtonDown(m);
}

void TcxCustomButton::WMLButtonUp(TMessage& m) {
  lockDown_ = false;
  TButton::WMLButtonUp(m);
}

void TcxCustomButton::WMLButtonDblClk(TMessage& m) { Perform(WM_LBUTTONDOWN, m.WParam, m.LParam); }

void TcxCustomButton::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  if (button == mbLeft && kind_ != cxbkStandard) {
    if (menuVisible_) {
      isMouseClick_ = true;
      menuVisible_ = false;
      isDown_ = false;
      Repaint();
    } else if ((kind_ == cxbkDropDownButton && InArrowZone(TPoint(x, y))) || kind_ == cxbkDropDown) {
      DropDown();
      // The menu takes the mouse: this press does not end in a click of the button.
      tracking_ = false;
      pressed_ = false;
      SetMouseCapture(false);
    }
  }
  TButton::MouseDown(button, shift, x, y);
}

void TcxCustomButton::Click() {
  if (kind_ == cxbkStandard) {
    TButton::Click();
    return;
  }
  if (kind_ == cxbkDropDown && !menuVisible_) {
    if (!isMouseClick_) DropDown();
    isMouseClick_ = false;
    return;
  }
  if (isMouseClick_) {
    isMouseClick_ = false;
    return;
  }
  TButton::Click();
}

void TcxCustomButton::KeyDown(Word& key, TShiftState shift) {
  if (kind_ == cxbkDropDownButton && (key == VK_UP || key == VK_DOWN) &&
      (shift.Contains(ssShift) || shift.Contains(ssAlt))) {
    if (!menuVisible_) DropDown();
    key = 0;
    return;
  }
  TButton::KeyDown(key, shift);
}

void TcxCustomButton::MouseMove(TShiftState shift, Integer x, Integer y) {
  TWeakRef<TcxCustomButton> self(this);
  TButton::MouseMove(shift, x, y);
  if (!self) return;
  if (!mouseInControl_ && HotTrackingAllowed() && ClientRect().Contains(TPoint(x, y)) && !GetCapture())
    Perform(CM_MOUSEENTER, 0, 0);
}

bool TcxCustomButton::HotTrackingAllowed() { return !UsesSystemPaint() && PainterClass()->ButtonHotTracks() && Enabled(); }

void TcxCustomButton::CMMouseEnter(TMessage& m) {
  TButton::CMMouseEnter(m);
  if (ComponentState().Contains(csDesigning) || mouseInControl_ || !HotTrackingAllowed() || GetCapture()) return;
  BeginMouseTracking(this, TRect(0, 0, Width(), Height()), this);
  mouseInControl_ = true;
  Repaint();
}

void TcxCustomButton::CMMouseLeave(TMessage& m) {
  TButton::CMMouseLeave(m);
  if (ComponentState().Contains(csDesigning)) return;
  EndMouseTracking(this);
  if (mouseInControl_ && HotTrackingAllowed()) {
    mouseInControl_ = false;
    Invalidate();
  }
}

void TcxCustomButton::CMEnabledChanged(TMessage& m) {
  TButton::CMEnabledChanged(m);
  if (!Enabled()) mouseInControl_ = false;
  Invalidate();
}

void TcxCustomButton::CMFontChanged(TMessage& m) {
  TButton::CMFontChanged(m);
  Invalidate();
}

void TcxCustomButton::WMContextMenu(TMessage& m) {
  if (m.Result != 0) return;
  if (ComponentState().Contains(csDesigning)) {
    TButton::WMContextMenu(m);
    return;
  }
  TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  if (p != TPoint(-1, -1)) {
    p = ScreenToClient(p);
    if (!ClientRect().Contains(p)) {
      TButton::WMContextMenu(m);
      return;
    }
  }
  bool handled = false;
  TWeakRef<TcxCustomButton> self(this);
  DoContextPopup(p, handled);
  if (!self) return;
  if (!handled && popupMenu_) {
    TPoint q = p == TPoint(-1, -1) ? TPoint(0, 0) : p;
    q = ClientToScreen(q);
    handled = ShowPopupMenu(popupMenu_, q.X, q.Y);
  }
  m.Result = handled ? 1 : 0;
  if (!handled && self) TButton::WMContextMenu(m);
}

void TcxCustomButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_DROPDOWNPOPUPMENU:
      HandleDropDownRequest();
      return;
    case CM_CLOSEUPPOPUPMENU:
      HandleDropDownClosed();
      return;
    case CN_BASE + WM_KEYDOWN:
    case CN_BASE + WM_SYSKEYDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // Shift or Alt with an arrow opens the menu before dialog navigation sees the arrow.
      if (kind_ == cxbkDropDownButton && (m.WParam == VK_UP || m.WParam == VK_DOWN) &&
          (m.Msg == WM_SYSKEYDOWN || m.Msg == CN_BASE + WM_SYSKEYDOWN || (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000))) {
        if (!menuVisible_) DropDown();
        m.Result = 0;
        return;
      }
      break;
    case WM_CAPTURECHANGED: {
      TButton::WndProc(m);
      if (!ComponentState().Contains(csDestroying) && !ComponentState().Contains(csDesigning) && HandleAllocated()) {
        POINT pt{};
        GetCursorPos(&pt);
        mouseInControl_ = HotTrackingAllowed() && WindowFromPoint(pt) == Handle();
      }
      return;
    }
    default: break;
  }
  TButton::WndProc(m);
}

void InitializeCxButtons() {
  InitUnit("cxButtons", [] {
    InitializeCxControls();
    InitializeCxLookAndFeelPainters();
    RegisterClass(TcxButton::StaticClass());
  });
}
