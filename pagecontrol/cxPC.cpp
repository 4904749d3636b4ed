// The tab model (tabs, visible list, slants, image wrapper), the parent info and the painter
// base.
#include "pagecontrol/cxPC.h"

#include <algorithm>

#include "pagecontrol/cxPCConsts.h"
#include "rtl/SysUtils.h"

using namespace cxpc_consts;

void RaisePCError(const char* className, const char* operation, const String& text) {
  throw Exception(String(className) + "." + operation + ": " + text);
}

// ---- TcxTab --------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxTab)

TcxTab::TcxTab(TcxTabs* tabs, Integer index) : tabs_(tabs), index_(index), imageIndex_(index) {}

TcxTab::~TcxTab() = default;

TcxCustomTabControl* TcxTab::TabControl() const { return tabs_->Control(); }

void TcxTab::Assign(TPersistent* source) {
  if (auto* t = dynamic_cast<TcxTab*>(source)) {
    SetCaption(t->Caption());
    SetEnabled(t->Enabled());
    SetHighlighted(t->Highlighted());
    SetImageIndex(t->ImageIndex());
    object_ = t->object_;
    SetVisible(t->Visible());
    SetSelected(t->Selected());
    return;
  }
  TPersistent::Assign(source);
}

String TcxTab::Caption() const { return tabs_->captions_[size_t(index_)]; }

void TcxTab::SetCaption(const String& v) {
  if (Caption() == v) return;
  tabs_->captions_[size_t(index_)] = v;
  TcxCustomTabControl* c = TabControl();
  if (!visible_ || c->IsLoadingOrDestroying() || !c->Painter() || c->Tabs()->Count() == 0) {
    VerticalTextBitmap.reset();
    if (visible_) Changed(tckLayout);
    return;
  }
  VerticalTextBitmap.reset();
  Integer oldWidth = NormalWidth;
  NormalWidth = c->Painter()->CalculateTabNormalWidth(this);
  Integer oldRotated = c->rowThickness_;
  if (c->Rotate()) c->CalculateRotatedTabWidth();
  if (NormalWidth != oldWidth || c->rowThickness_ != oldRotated)
    Changed(tckLayout);
  else if (IsShown())
    Changed(tckRedraw);
}

void TcxTab::SetColor(TColor v) {
  if (color_ == v) return;
  color_ = v;
  if (IsShown()) Changed(tckColor);
}

void TcxTab::SetEnabled(bool v) {
  if (enabled_ == v) return;
  bool shown = IsShown();
  enabled_ = v;
  if (shown || IsShown()) Changed(tckEnabled);
}

void TcxTab::SetHighlighted(bool v) {
  if (highlighted_ == v) return;
  bool shown = IsShown();
  highlighted_ = v;
  if (shown || IsShown()) Changed(tckHighlighted);
}

void TcxTab::SetImageIndex(Integer v) {
  if (v < 0) v = -1;
  if (imageIndex_ == v) return;
  imageIndex_ = v;
  if (IsShown()) Changed(tckLayout);
}

void TcxTab::SetSelected(bool v) {
  if (selected_ == v) return;
  TcxCustomTabControl* c = TabControl();
  if (c->ComponentState().Contains(csLoading)) {
    selected_ = v;
    return;
  }
  TcxPCPainterClass cls = c->Painter() ? c->Painter()->PainterClass() : nullptr;
  bool allow = cls && cls->AllowMultiSelect();
  if (allow) {
    if (v)
      for (Integer i = 0; i < tabs_->Count(); ++i)
        if (i != index_ && tabs_->Tabs(i)->Selected()) c->multiSelection_ = true;
  } else if (v && !IsMain()) {
    return;
  }
  selected_ = v;
  if (IsShown()) Changed(tckSelected);
}

void TcxTab::SetVisible(bool v) {
  if (visible_ == v) return;
  TcxCustomTabControl* c = TabControl();
  if (v) {
    visible_ = true;
    c->visibleTabs_.Add(index_);
    Changed(tckLayout);
    return;
  }
  bool shown = IsShown();
  Integer oldVisible = VisibleIndex();
  visible_ = false;
  c->visibleTabs_.Remove(index_);
  NormalWidth = 0;
  if (shown || c->MultiLine())
    c->LayoutChanged();
  else
    c->LayoutChanged();
  if (c->SelectsOnlyVisibleTabs() && c->TabIndex() == index_ && !c->IsLoadingOrDestroying()) {
    // The tab now at the hidden tab's position, else the last visible tab.
    Integer count = c->VisibleTabCount();
    Integer next = -1;
    if (count > 0) next = c->visibleTabs_.TabIndexAt(std::min(std::max(oldVisible, 0), count - 1));
    c->SetTabIndex(next);
  }
}

Integer TcxTab::VisibleIndex() const { return TabControl()->visibleTabs_.IndexOf(index_); }

bool TcxTab::IsMain() const { return IsAt(TabControl()->MainTab()); }
bool TcxTab::IsHot() const { return IsAt(TabControl()->HotTab()); }
bool TcxTab::IsPressed() const { return IsAt(TabControl()->PressedTab()); }
bool TcxTab::IsTracking() const { return IsAt(TabControl()->TrackingTab()); }
bool TcxTab::IsAt(Integer visibleIndex) const {
  Integer vi = VisibleIndex();
  return vi >= 0 && vi == visibleIndex;
}
bool TcxTab::RealEnabled() const { return enabled_ && TabControl()->Enabled(); }

Integer TcxTab::Length() const {
  TcxCustomTabControl* c = TabControl();
  return c->Rotate() ? tabs_->TabNormalHeight : NormalWidth;
}

Integer TcxTab::Thickness() const {
  TcxCustomTabControl* c = TabControl();
  return c->Rotate() ? c->RowThickness() : tabs_->TabNormalHeight;
}

TRect TcxTab::FullRect() const {
  TcxCustomTabControl* c = TabControl();
  TRect r = c->Painter() ? c->Painter()->StripRect(LayoutOrigin.X, LayoutOrigin.Y, LayoutOrigin.X + Length(),
                                                   LayoutOrigin.Y + Thickness())
                         : TRect();
  Integer vi = VisibleIndex();
  TRect correction = c->Painter() && vi >= 0 ? c->Painter()->GetTabRectCorrection(vi) : TRect();
  const_cast<TcxTab*>(this)->RectCorrection = correction;
  r.Left += RectCorrection.Left;
  r.Top += RectCorrection.Top;
  r.Right += RectCorrection.Right;
  r.Bottom += RectCorrection.Bottom;
  return r;
}

bool TcxTab::OnStartSide() const { return VisibleRow < TabControl()->RowsAtStart(); }

TRect TcxTab::VisibleRect() const {
  TcxCustomTabControl* c = TabControl();
  Integer vi = VisibleIndex();
  if (vi < 0 || c->RowCount() == 0) return TRect();
  if (!c->MultiLine() || c->RowCount() == 1) {
    if (vi < c->FirstVisibleTab() || vi > c->LastVisibleTab()) return TRect();
  }
  TRect r;
  IntersectRectsOrEmpty(r, FullRect(), OnStartSide() ? c->StartTabArea() : c->EndTabArea());
  return r;
}

void TcxTab::Changed(TcxTabChangeKind kind) { TabControl()->TabChanged(this, kind); }

// ---- TcxTabs -------------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxTabs)

TcxTabs::TcxTabs(TcxCustomTabControl* control) : control_(control) {}
TcxTabs::~TcxTabs() = default;

void TcxTabs::CheckIndex(Integer index, const char* operation, bool allowCount) const {
  Integer limit = allowCount ? Count() : Count() - 1;
  if (index < 0 || index > limit) RaisePCError("TcxTabs", operation, Format(scxPCTabIndexError, {index}));
}

TcxTab* TcxTabs::Tabs(Integer index) const {
  CheckIndex(index, "GetTab");
  return tabs_[size_t(index)].get();
}

String TcxTabs::Get(Integer index) const {
  CheckIndex(index, "Get");
  return captions_[size_t(index)];
}

void TcxTabs::Put(Integer index, const String& s) {
  CheckIndex(index, "Put");
  tabs_[size_t(index)]->SetCaption(s);
}

TObject* TcxTabs::GetObject(Integer index) const {
  CheckIndex(index, "GetObject");
  return tabs_[size_t(index)]->Object();
}

void TcxTabs::PutObject(Integer index, TObject* obj) {
  CheckIndex(index, "PutObject");
  tabs_[size_t(index)]->SetObject(obj);
}

void TcxTabs::Renumber(Integer from) {
  for (Integer i = from; i < Count(); ++i) tabs_[size_t(i)]->index_ = i;
}

void TcxTabs::StructureChanged() {
  control_->visibleTabs_.Clear();
  for (Integer i = 0; i < Count(); ++i)
    if (tabs_[size_t(i)]->Visible()) control_->visibleTabs_.Add(i);
  if (updating_)
    changedWhileUpdating_ = true;
  else
    control_->TabChanged(nullptr, tckLayout);
}

void TcxTabs::SetUpdateState(bool updating) {
  updating_ = updating;
  if (!updating && changedWhileUpdating_) {
    changedWhileUpdating_ = false;
    control_->TabChanged(nullptr, tckLayout);
  }
}

void TcxTabs::Insert(Integer index, const String& s) {
  CheckIndex(index, "Insert", true);
  tabs_.insert(tabs_.begin() + index, std::make_unique<TcxTab>(this, index));
  captions_.insert(captions_.begin() + index, s);
  Renumber(index);
  if (control_->TabIndex() >= index && control_->TabIndex() >= 0 && !control_->inserting_)
    ++control_->tabIndex_;
  StructureChanged();
  if (Count() == 1 && control_->TabIndex() < 0 && !control_->ComponentState().Contains(csLoading))
    control_->SetTabIndex(0);
}

void TcxTabs::Delete(Integer index) {
  CheckIndex(index, "Delete");
  bool wasCurrent = control_->tabIndex_ == index;
  tabs_.erase(tabs_.begin() + index);
  captions_.erase(captions_.begin() + index);
  Renumber(index);
  if (wasCurrent)
    control_->tabIndex_ = -1;
  else if (control_->tabIndex_ > index)
    --control_->tabIndex_;
  StructureChanged();
}

void TcxTabs::Move(Integer curIndex, Integer newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex, "Move");
  CheckIndex(newIndex, "Move");
  auto tab = std::move(tabs_[size_t(curIndex)]);
  String caption = captions_[size_t(curIndex)];
  tabs_.erase(tabs_.begin() + curIndex);
  captions_.erase(captions_.begin() + curIndex);
  tabs_.insert(tabs_.begin() + newIndex, std::move(tab));
  captions_.insert(captions_.begin() + newIndex, caption);
  Renumber(0);
  StructureChanged();
}

void TcxTabs::Clear() {
  if (tabs_.empty()) return;
  tabs_.clear();
  captions_.clear();
  control_->tabIndex_ = -1;
  StructureChanged();
}

// ---- TcxVisibleTabList ---------------------------------------------------------------------

Integer TcxVisibleTabList::TabIndexAt(Integer visibleIndex) const {
  if (items_.empty()) RaisePCError("TcxVisibleTabList", "GetTab", scxPCVisibleTabListEmpty);
  if (visibleIndex < 0 || visibleIndex >= Count())
    RaisePCError("TcxVisibleTabList", "GetTab", Format(scxPCTabVisibleIndexOutsOfBounds, {visibleIndex, Count() - 1}));
  return items_[size_t(visibleIndex)];
}

Integer TcxVisibleTabList::IndexOf(Integer tabIndex) const {
  if (items_.empty()) return -1;
  if (items_.front() == tabIndex) return 0;
  if (items_.back() == tabIndex) return Count() - 1;
  auto it = std::lower_bound(items_.begin(), items_.end(), tabIndex);
  return it != items_.end() && *it == tabIndex ? Integer(it - items_.begin()) : -1;
}

void TcxVisibleTabList::Add(Integer tabIndex) {
  auto it = std::lower_bound(items_.begin(), items_.end(), tabIndex);
  if (it == items_.end() || *it != tabIndex) items_.insert(it, tabIndex);
}

void TcxVisibleTabList::Remove(Integer tabIndex) {
  auto it = std::lower_bound(items_.begin(), items_.end(), tabIndex);
  if (it != items_.end() && *it == tabIndex) items_.erase(it);
}

// ---- TcxTabSlants --------------------------------------------------------------------------



void TcxTabSlants::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxTabSlants*>(source)) {
    kind_ = s->kind_;
    positions_ = s->positions_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TcxTabSlants::SetKind(TcxTabSlantKind v) {
  if (kind_ == v) return;
  kind_ = v;
  Changed();
}

void TcxTabSlants::SetPositions(const TcxTabSlantPositions& v) {
  if (positions_ == v) return;
  positions_ = v;
  Changed();
}

void TcxTabSlants::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TcxPCImageList ------------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCImageList)

TcxPCImageList::TcxPCImageList(TcxCustomTabControl* control) : TComponent(nullptr), control_(control) {
  link_.OnChange = [this](TObject* sender) { ImagesChanged(sender); };
}

TcxPCImageList::~TcxPCImageList() {
  if (baseImages_) {
    baseImages_->UnRegisterChanges(&link_);
    baseImages_->RemoveFreeNotification(this);
  }
}

void TcxPCImageList::SetBaseImages(TCustomImageList* v) {
  if (baseImages_ == v) return;
  if (baseImages_) {
    baseImages_->UnRegisterChanges(&link_);
    baseImages_->RemoveFreeNotification(this);
  }
  baseImages_ = v;
  if (baseImages_) {
    baseImages_->RegisterChanges(&link_);
    baseImages_->FreeNotification(this);
  }
  ImagesChanged(v);
}

void TcxPCImageList::Notification(TComponent* c, TOperation op) {
  TComponent::Notification(c, op);
  if (op == opRemove && c == baseImages_) {
    baseImages_ = nullptr;
    ImagesChanged(nullptr);
  }
}

void TcxPCImageList::ImagesChanged(TObject*) {
  FreeRotatedImages();
  if (OnChange) OnChange();
}

void TcxPCImageList::FreeRotatedImages() { rotated_.clear(); }

void TcxPCImageList::SetRotation(TcxPCImageRotation v) {
  if (rotation_ == v) return;
  rotation_ = v;
  FreeRotatedImages();
}

Integer TcxPCImageList::Width() const {
  if (!baseImages_) return 0;
  return rotation_ == irNone ? baseImages_->Width() : baseImages_->Height();
}

Integer TcxPCImageList::Height() const {
  if (!baseImages_) return 0;
  return rotation_ == irNone ? baseImages_->Height() : baseImages_->Width();
}

void TcxPCImageList::Draw(TcxCanvas* canvas, Integer x, Integer y, Integer index, TColor backgroundColor,
                          bool enabled) {
  if (!baseImages_) RaisePCError("TcxPCImageList", "Draw", scxPCNoBaseImages);
  if (index < 0 || index >= baseImages_->Count())
    RaisePCError("TcxPCImageList", "Draw", Format(scxPCImageListIndexError, {index, baseImages_->Count() - 1}));
  if (rotation_ == irNone) {
    canvas->DrawImageListItem(baseImages_, x, y, index, enabled);
    return;
  }
  if (rotated_.size() != size_t(baseImages_->Count())) rotated_.resize(size_t(baseImages_->Count()));
  TRotated& item = rotated_[size_t(index)];
  // Disabled images are made on each call (the enabled look is what is cached).
  if (!item.Bitmap || item.Background != backgroundColor || !enabled) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetPixelFormat(pf24bit);
    bmp->SetSize(baseImages_->Width(), baseImages_->Height());
    bmp->Canvas()->Brush()->SetColor(backgroundColor);
    bmp->Canvas()->FillRect(TRect(0, 0, bmp->Width(), bmp->Height()));
    {
      TcxCanvas c(bmp->Canvas());
      c.DrawImageListItem(baseImages_, 0, 0, index, enabled);
    }
    TcxCanvas::RotateBitmapPixels(bmp.get(), rotation_ == irTopToBottom ? 2 : 1, false);
    if (!enabled) {
      canvas->DrawGraphic(x, y, bmp.get());
      return;
    }
    item.Bitmap = std::move(bmp);
    item.Background = backgroundColor;
  }
  canvas->DrawGraphic(x, y, item.Bitmap.get());
}

// ---- TcxPCPainterParentInfo ----------------------------------------------------------------

TcxCanvas* TcxPCPainterParentInfo::Canvas() const { return control_->Canvas(); }
TFont* TcxPCPainterParentInfo::Font() const { return control_->Font(); }
TColor TcxPCPainterParentInfo::Color() const { return control_->Color(); }
Integer TcxPCPainterParentInfo::ImageBorder() const { return control_->ImageBorder(); }
bool TcxPCPainterParentInfo::HideTabs() const { return control_->HideTabs(); }
bool TcxPCPainterParentInfo::MultiLine() const { return control_->MultiLine(); }
TcxPCNavigatorPosition TcxPCPainterParentInfo::NavigatorPosition() const { return control_->NavigatorPosition(); }
TcxPCOptions TcxPCPainterParentInfo::Options() const { return control_->Options(); }
bool TcxPCPainterParentInfo::RaggedRight() const { return control_->RaggedRight(); }
bool TcxPCPainterParentInfo::Rotate() const { return control_->Rotate(); }
bool TcxPCPainterParentInfo::ScrollOpposite() const { return control_->ScrollOpposite(); }
bool TcxPCPainterParentInfo::ShowFrame() const { return control_->ShowFrame(); }
Integer TcxPCPainterParentInfo::TabHeight() const { return control_->TabHeight(); }
Integer TcxPCPainterParentInfo::TabWidth() const { return control_->TabWidth(); }
TcxTabPosition TcxPCPainterParentInfo::TabPosition() const { return control_->TabPosition(); }
TcxTabSlants* TcxPCPainterParentInfo::TabSlants() const { return control_->TabSlants(); }
Integer TcxPCPainterParentInfo::Width() const {
  return control_->HandleAllocated() ? control_->ClientRect().Width() : control_->Width();
}
Integer TcxPCPainterParentInfo::Height() const {
  return control_->HandleAllocated() ? control_->ClientRect().Height() : control_->Height();
}
Integer TcxPCPainterParentInfo::MainTabVisibleIndex() const { return control_->MainTab(); }
TcxPCNavigatorButtons TcxPCPainterParentInfo::NavigatorButtons() const { return control_->NavigatorButtons(); }
TcxPCNavigatorButtonState TcxPCPainterParentInfo::NavigatorButtonState(TcxPCNavigatorButton b) const {
  return control_->NavigatorButtonState(b);
}
Integer TcxPCPainterParentInfo::RowCount() const { return control_->RowCount(); }
Integer TcxPCPainterParentInfo::RowsAtStart() const { return control_->RowsAtStart(); }
TRect TcxPCPainterParentInfo::StartTabArea() const { return control_->StartTabArea(); }
TRect TcxPCPainterParentInfo::EndTabArea() const { return control_->EndTabArea(); }
TcxTab* TcxPCPainterParentInfo::VisibleTabs(Integer visibleIndex) const { return control_->VisibleTabs(visibleIndex); }
Integer TcxPCPainterParentInfo::VisibleTabCount() const { return control_->VisibleTabCount(); }
TWinControl* TcxPCPainterParentInfo::PageOfTab(TcxTab* tab) const { return control_->GetPageOfTab(tab->Index()); }
TWinControl* TcxPCPainterParentInfo::PageOfMainTab() const { return control_->GetPageOfMainTab(); }
TColor TcxPCPainterParentInfo::PageColor(TWinControl* page) const { return page ? page->Color() : control_->Color(); }
bool TcxPCPainterParentInfo::TabAreasOnBothSides() const {
  return control_->RowsAtStart() > 0 && control_->RowsAtStart() < control_->RowCount();
}
TColor TcxPCPainterParentInfo::TabColor(TcxTab* tab) const {
  TColor c = tab->Color();
  if (c != clDefault) return c;
  TWinControl* page = PageOfTab(tab);
  if (page && (control_->Options().Contains(pcoUsePageColorForTab) ||
               (control_->Painter() && control_->Painter()->UsesPageColorForTabs())) &&
      !page->ParentColor())
    return page->Color();
  return c;
}
TcxPCImageList* TcxPCPainterParentInfo::Images() const { return control_->ImageWrapper(); }
bool TcxPCPainterParentInfo::HasImages() const {
  return control_->Images() && control_->Images()->Width() > 0;
}
bool TcxPCPainterParentInfo::Focused() const { return control_->HandleAllocated() && control_->Focused(); }
bool TcxPCPainterParentInfo::Enabled() const { return control_->Enabled(); }
bool TcxPCPainterParentInfo::OwnerDraw() const { return control_->OwnerDraw(); }

// ---- TcxPCCustomPainter --------------------------------------------------------------------

KORVAN_IMPLEMENT_CLASS(TcxPCCustomPainter)

TcxPCCustomPainter::TcxPCCustomPainter(TcxCustomTabControl* control) : control_(control), parentInfo_(control) {}

TcxPCCustomPainter::~TcxPCCustomPainter() {
  for (TcxRegion* r : savedClips_)
    if (r) r->Free();
}

void TcxPCPaintersFactory::ReleasePainterInstance(TcxPCCustomPainter* painter) const {
  if (painter) painter->Free();
}

bool TcxPCCustomPainter::IsVerticalStrip() const { return control_->IsVerticalStrip(); }
bool TcxPCCustomPainter::IsVerticalText() const { return control_->IsVerticalText(); }
bool TcxPCCustomPainter::IsTopToBottomText() const { return control_->Options().Contains(pcoTopToBottomText); }

Integer TcxPCCustomPainter::GetTabSideCode(Integer visibleIndex) const {
  TcxTab* tab = control_->VisibleTabs(visibleIndex);
  bool start = tab->OnStartSide();
  Integer column = !IsVerticalText() ? 0 : (IsTopToBottomText() ? 2 : 1);
  static const Integer codes[4][3] = {{1, 2, 3}, {10, 11, 12}, {6, 4, 5}, {9, 7, 8}};
  Integer side;
  if (!IsVerticalStrip())
    side = start ? 0 : 1;
  else
    side = start ? 2 : 3;
  return codes[side][column];
}

TRect TcxPCCustomPainter::StripRect(Integer along1, Integer across1, Integer along2, Integer across2) const {
  if (IsVerticalStrip()) return TRect(across1, along1, across2, along2);
  return TRect(along1, across1, along2, across2);
}

Integer TcxPCCustomPainter::CaptionTextHeight() {
  return MeasureTextHeightInFont(control_->Font(), "Zg");
}

Integer TcxPCCustomPainter::CaptionTextWidth(const String& caption) {
  if (caption.empty()) return 0;
  return MeasureTextWidthInFont(control_->Font(), caption);
}

bool TcxPCCustomPainter::TabHasImage(Integer visibleIndex) {
  if (!parentInfo_.HasImages()) return false;
  TcxTab* tab = control_->VisibleTabs(visibleIndex);
  return control_->GetTabImageIndex(tab->Index()) >= 0;
}

void TcxPCCustomPainter::SaveClip(TcxCanvas* canvas) { savedClips_.push_back(canvas->CopyClipRegion()); }

void TcxPCCustomPainter::RestoreClip(TcxCanvas* canvas) {
  if (savedClips_.empty()) return;
  TcxRegion* r = savedClips_.back();
  savedClips_.pop_back();
  canvas->ApplyClipRegion(r, roSet, true);
}

TColor TcxPCCustomPainter::GetTabColor(Integer visibleIndex) {
  return parentInfo_.TabColor(control_->VisibleTabs(visibleIndex));
}

TColor TcxPCCustomPainter::GetPageColor() {
  if (parentInfo_.MainTabVisibleIndex() < 0) return parentInfo_.Color();
  return parentInfo_.PageColor(parentInfo_.PageOfMainTab());
}

TRect TcxPCCustomPainter::GetPageFrameRect() {
  TRect r(0, 0, parentInfo_.Width(), parentInfo_.Height());
  if (parentInfo_.HideTabs() || parentInfo_.RowCount() == 0) return r;
  TRect s = parentInfo_.StartTabArea(), e = parentInfo_.EndTabArea();
  switch (parentInfo_.TabPosition()) {
    case tpTop:
    case tpBottom:
      if (!s.IsEmpty()) r.Top = s.Bottom;
      if (!e.IsEmpty()) r.Bottom = e.Top;
      break;
    case tpLeft:
    case tpRight:
      if (!s.IsEmpty()) r.Left = s.Right;
      if (!e.IsEmpty()) r.Right = e.Left;
      break;
  }
  return r;
}

TRect TcxPCCustomPainter::GetPageClientRect() {
  TRect r = GetPageFrameRect();
  if (HasFrame()) r = GrowRect(r, -GetFrameWidth(), -GetFrameWidth());
  return r;
}

void TcxPCCustomPainter::PaintPageClientArea(TcxCanvas* canvas, const TRect& r) {
  canvas->FillRectColor(r, GetPageColor());
}

TcxRegion* TcxPCCustomPainter::GetTabClipRegion(Integer visibleIndex) {
  return new TcxRegion(control_->VisibleTabs(visibleIndex)->VisibleRect());
}

void TcxPCCustomPainter::InvalidateTab(Integer visibleIndex) {
  if (!control_->HandleAllocated() || visibleIndex < 0 || visibleIndex >= control_->VisibleTabCount()) return;
  TRect r = control_->VisibleTabs(visibleIndex)->VisibleRect();
  if (!r.IsEmpty()) InvalidateControlRect(control_, r, false);
}

void TcxPCCustomPainter::Paint(TcxCanvas* canvas) {
  SaveClip(canvas);
  try {
    DoPaint(canvas);
  } catch (...) {
    RestoreClip(canvas);
    throw;
  }
  RestoreClip(canvas);
}

void TcxPCCustomPainter::DoPaint(TcxCanvas* canvas) {
  if (!parentInfo_.HideTabs()) {
    PaintButtons(canvas);
    PaintTabs(canvas);
  }
  PaintFrameAndPage(canvas);
}

void TcxPCCustomPainter::PaintFrameAndPage(TcxCanvas* canvas) {
  if (HasFrame()) PaintFrame(canvas);
  PaintPageClientArea(canvas, GetPageClientRect());
  canvas->ExcludeFromClip(GetPageFrameRect());
}

void TcxPCCustomPainter::DoDrawTabEx(TcxCanvas* canvas, Integer visibleIndex) {
  control_->DrawTabHook(canvas, control_->VisibleTabs(visibleIndex), imageAndText_);
}

// The content layout: image and caption rectangles inside the tab, in client coordinates.
void TcxPCCustomPainter::CalculateImageAndTextRects(Integer visibleIndex) {
  TcxTab* tab = control_->VisibleTabs(visibleIndex);
  imageAndText_ = TcxPCTabImageAndTextInfo();
  imageAndText_.TabVisibleIndex = visibleIndex;
  // Work in tab-local text coordinates: "along" is the text direction.
  TRect full = tab->FullRect();
  bool vertical = IsVerticalText();
  Integer len = vertical ? full.Height() : full.Width();
  Integer thick = vertical ? full.Width() : full.Height();
  bool hasImage = TabHasImage(visibleIndex);
  bool hasCaption = !tab->Caption().empty();
  Integer imageBorder = parentInfo_.ImageBorder();
  TcxPCImageList* images = parentInfo_.Images();
  // Text-local sizes: the image turns with the text.
  Integer imgW = hasImage ? images->BaseImages()->Width() : 0;
  Integer imgH = hasImage ? images->BaseImages()->Height() : 0;
  bool mirrored = control_->Painter()->PainterClass()->IsTabAttachedToPage();
  Integer side = GetTabSideCode(visibleIndex);
  bool swapCross = mirrored && (side == 5 || side == 7 || side == 10);
  TRect imageR, textR;  // local: x along, y across
  Integer pos = 0;
  if (hasImage && hasCaption) {
    Integer o[4];
    GetImageOffsets(visibleIndex, o);
    if (parentInfo_.Rotate()) o[1] = o[3] = 0;
    if (swapCross) std::swap(o[1], o[3]);
    pos = o[0];
    Integer top = o[1] + (thick - o[1] - o[3] - imgH) / 2;
    imageR = TRect(pos, top, pos + imgW, top + imgH);
    pos = imageR.Right + 2 * imageBorder + GetImageTextDistance(visibleIndex);
  } else if (hasImage) {
    Integer o[2];
    GetImageOnlyOffsets(visibleIndex, o);
    Integer left = o[0] + (len - o[0] - imgW) / 2, top = o[1] + (thick - o[1] - imgH) / 2;
    imageR = TRect(left, top, left + imgW, top + imgH);
  }
  if (hasCaption) {
    Integer o[4];
    GetTextOffsets(visibleIndex, o);
    if (swapCross) std::swap(o[1], o[3]);
    if (!hasImage) pos = o[0];
    // The caption runs from its leading offset to the trailing offset; one that does not fit
    // is cut with an ellipsis.
    Integer start = hasImage ? pos : o[0];
    Integer textW = CaptionTextWidth(tab->Caption());
    Integer width = std::max(0, std::min(textW, len - start - o[2]));
    // A caption cut so far that not even the ellipsis fits shows nothing.
    if (width < textW && width < CaptionTextWidth("...")) width = 0;
    Integer th = CaptionTextHeight();
    Integer top = o[1] + (thick - o[1] - o[3] - th) / 2;
    textR = TRect(start, top, start + width, top + th);
  }
  // Rotated tabs share the widest width: their content is centred in what is left.
  if (parentInfo_.Rotate() && len > tab->NormalWidth) {
    Integer shift = (len - tab->NormalWidth) / 2;
    if (!imageR.IsEmpty()) imageR = ShiftedRect(imageR, shift, 0);
    if (!textR.IsEmpty()) textR = ShiftedRect(textR, shift, 0);
  }
  auto toClient = [&](const TRect& r) {
    if (r.IsEmpty()) return TRect();
    if (!vertical) return ShiftedRect(r, full.Left, full.Top);
    if (IsTopToBottomText()) return TRect(full.Right - r.Bottom, full.Top + r.Left, full.Right - r.Top, full.Top + r.Right);
    return TRect(full.Left + r.Top, full.Bottom - r.Right, full.Left + r.Bottom, full.Bottom - r.Left);
  };
  imageAndText_.ImageRect = toClient(imageR);
  imageAndText_.TextRect = toClient(textR);
}

void TcxPCCustomPainter::PaintTabImageAndText(TcxCanvas* canvas, Integer visibleIndex) {
  CalculateImageAndTextRects(visibleIndex);
  TcxTab* tab = control_->VisibleTabs(visibleIndex);
  bool enabled = tab->RealEnabled();
  TColor background = GetTabBackgroundColor(visibleIndex);
  if (!imageAndText_.ImageRect.IsEmpty()) {
    parentInfo_.Images()->Draw(canvas, imageAndText_.ImageRect.Left, imageAndText_.ImageRect.Top,
                               control_->GetTabImageIndex(tab->Index()), background, enabled);
  }
  TRect tr = imageAndText_.TextRect;
  if (!tr.IsEmpty()) {
    TFont font;
    font.Assign(control_->Font());
    control_->PrepareTabFont(&font, visibleIndex);
    bool vertical = IsVerticalText();
    Integer w = vertical ? tr.Height() : tr.Width(), h = vertical ? tr.Width() : tr.Height();
    if (!tab->VerticalTextBitmap || !vertical || tab->VerticalTextBitmap->Width() != tr.Width() ||
        tab->VerticalTextBitmap->Height() != tr.Height()) {
      auto bmp = std::make_unique<TBitmap>();
      bmp->SetPixelFormat(pf24bit);
      bmp->SetSize(w, h);
      {
        TcxCanvas bc(bmp->Canvas());
        bc.FillRectColor(TRect(0, 0, w, h), background);
        PaintTabBackgroundToBitmap(&bc, visibleIndex, TRect(0, 0, w, h));
        bc.ApplyFont(&font);
        bc.CurrentBrush()->SetStyle(bsClear);
        TcxTextFlags flags = ctfLeft | ctfVCenter | ctfSingleLine | ctfEndEllipsis | ctfShowPrefix;
        if (!enabled) {
          bc.CurrentFont()->SetColor(clBtnHighlight);
          bc.OutputText(tab->Caption(), TRect(1, 1, w + 1, h + 1), flags);
          bc.CurrentFont()->SetColor(clBtnShadow);
        }
        bc.OutputText(tab->Caption(), TRect(0, 0, w, h), flags);
      }
      if (vertical) TcxCanvas::RotateBitmapPixels(bmp.get(), IsTopToBottomText() ? 2 : 1, false);
      if (vertical) {
        tab->VerticalTextBitmap = std::move(bmp);
      } else {
        canvas->DrawGraphic(tr.Left, tr.Top, bmp.get());
      }
    }
    if (vertical && tab->VerticalTextBitmap) canvas->DrawGraphic(tr.Left, tr.Top, tab->VerticalTextBitmap.get());
  }
  if (!IsNativePainting()) {
    if (!imageAndText_.ImageRect.IsEmpty()) canvas->ExcludeFromClip(imageAndText_.ImageRect);
    if (!tr.IsEmpty()) canvas->ExcludeFromClip(tr);
  }
}
