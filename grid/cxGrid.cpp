// The grid control, its change queue and its own companions.
#include "grid/cxGrid.h"

#include <algorithm>
#include <unordered_map>

#include "data/cxCustomData.h"
#include "editors-extra/cxFilterControlDialog.h"
#include "editors-extra/cxFilterDialog.h"
#include "rtl/SysUtils.h"
#include "rtl/TypInfo.h"
#include "user/Windows.h"
#include "vcl/ControlMessages.h"

KORVAN_IMPLEMENT_CLASS(TcxGridLayoutChange)
KORVAN_IMPLEMENT_CLASS(TcxGridSizeChange)
KORVAN_IMPLEMENT_CLASS(TcxGridViewChange)
KORVAN_IMPLEMENT_CLASS(TcxGridControlFocusChange)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridHandler)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridDragOpenInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridDragOpenInfoTab)
KORVAN_IMPLEMENT_CLASS(TcxGridController)
KORVAN_IMPLEMENT_CLASS(TcxGridPainter)
KORVAN_IMPLEMENT_CLASS(TcxGridViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxGridTopDetailsSiteViewInfo)
KORVAN_IMPLEMENT_CLASS(TcxCustomGrid)

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGrid) {
  p.Bool("DragOpening", &TcxGrid::DragOpening, &TcxGrid::SetDragOpening).Default(true);
  p.Int("DragOpeningWaitTime", &TcxGrid::DragOpeningWaitTime, &TcxGrid::SetDragOpeningWaitTime).Default(800);
  p.Bool("TabStop", &TcxGrid::TabStop, &TcxGrid::SetTabStop).Default(true);
  p.Object("RootLevelOptions", &TcxGrid::RootLevelOptions, &TcxGrid::SetRootLevelOptions,
           TcxGridLevelOptions::StaticClass());
  p.Object("RootLevelStyles", &TcxGrid::RootLevelStyles, &TcxGrid::SetRootLevelStyles,
           TcxGridLevelStyles::StaticClass());
  p.Event("OnActiveTabChanged", static_cast<TcxGridActiveTabChangedEvent TcxGrid::*>(&TcxCustomGrid::OnActiveTabChanged), "TcxGridActiveTabChangedEvent");
  p.Event("OnFocusedViewChanged", static_cast<TcxGridFocusedViewChangedEvent TcxGrid::*>(&TcxCustomGrid::OnFocusedViewChanged), "TcxGridFocusedViewChangedEvent");
  p.Event("OnLayoutChanged", static_cast<TcxGridLayoutChangedEvent TcxGrid::*>(&TcxCustomGrid::OnLayoutChanged), "TcxGridLayoutChangedEvent");
}

namespace {

void FreeChange(TcxCustomGridChange* c) {
  if (c) c->Free();
}

// Runs `f` at scope exit.
template <class F>
struct TAtExit {
  F f;
  ~TAtExit() { f(); }
};
template <class F>
TAtExit(F) -> TAtExit<F>;

// The key hash scrambles it further.
std::size_t RectHash(const TRect& r) {
  uint64_t a = (uint64_t(uint32_t(r.Left)) << 32) | uint32_t(r.Top);
  uint64_t b = (uint64_t(uint32_t(r.Right)) << 32) | uint32_t(r.Bottom);
  return std::size_t(a * 0x9e3779b97f4a7c15ull ^ (b + 0x632be59bd9b4e019ull + (a << 6) + (a >> 2)));
}

}  // namespace

// ---- compaction -----------------------------------------------------------------------------------

void CompactGridChanges(std::vector<TcxCustomGridChange*>& queue, std::vector<TcxCustomGridChange*>& work) {
  using TIndex = std::unordered_map<TcxGridChangeKey, std::vector<std::size_t>, TcxGridChangeKeyHasher>;
  // 1. Duplicates: a change that an earlier kept change answers as its duplicate is dropped.
  // Duplicates share their DuplicateKey, so only changes under the same key are compared: a
  // small open-addressing table (8 bytes a slot, so that large batches stay in the caches)
  // maps each key to the newest kept change, `next` chains the older ones.
  {
    constexpr uint32_t kNone = 0xFFFFFFFFu;
    struct TSlot {
      uint32_t tag = 0;
      uint32_t head = kNone;  // position in `kept`
    };
    std::size_t capacity = 16;
    while (capacity < queue.size() * 2) capacity *= 2;
    // Kept between calls (a run may nest another through EndUpdate, but never inside this
    // block): large batches reuse the memory instead of mapping it afresh.
    static std::vector<TSlot> slots;
    static std::vector<TcxGridChangeKey> keys;
    static std::vector<uint32_t> next;
    slots.assign(capacity, TSlot());
    keys.clear();
    next.clear();
    const std::size_t base = work.size();
    work.reserve(base + queue.size());
    for (TcxCustomGridChange* c : queue) {
      TcxGridChangeKey key = c->DuplicateKey();
      std::size_t hash = GridChangeKeyHash(key);
      uint32_t tag = uint32_t(hash >> 32);
      std::size_t i = hash & (capacity - 1);
      while (slots[i].head != kNone && (slots[i].tag != tag || !(keys[slots[i].head] == key))) i = (i + 1) & (capacity - 1);
      TSlot& slot = slots[i];
      bool drop = false;
      if (c->CanDropDuplicates())
        for (uint32_t w = slot.head; w != kNone && !drop; w = next[w]) drop = work[base + w]->IsDuplicateOf(c);
      if (drop) {
        FreeChange(c);
        continue;
      }
      next.push_back(slot.head);
      keys.push_back(key);
      slot.tag = tag;
      slot.head = uint32_t(work.size() - base);
      work.push_back(c);
    }
    queue.clear();
  }
  const std::size_t n = work.size();
  if (n < 2) return;

  // 2. A change covered by any later change goes. The later changes all still stand when a
  // change is looked at, so the index over the whole list answers.
  std::vector<char> removed(n, 0);
  TcxGridChangeKeys keys;
  {
    TIndex providers;
    for (std::size_t i = 0; i < n; ++i) {
      keys.clear();
      work[i]->CoverKeys(keys);
      for (const TcxGridChangeKey& k : keys) providers[k].push_back(i);
    }
    for (std::size_t i = 0; i < n && !providers.empty(); ++i) {
      keys.clear();
      work[i]->CoveringKeys(keys);
      for (const TcxGridChangeKey& k : keys) {
        auto it = providers.find(k);
        if (it == providers.end()) continue;
        const std::vector<std::size_t>& pos = it->second;
        for (auto p = std::upper_bound(pos.begin(), pos.end(), i); p != pos.end() && !removed[i]; ++p)
          if (work[i]->IsCoveredBy(work[*p])) removed[i] = 1;
        if (removed[i]) break;
      }
    }
  }
  // 3. Of what is left, a change covered by any earlier remaining change goes (the earlier
  // ones are looked at later, so they all still stand).
  {
    TIndex providers;
    for (std::size_t i = 0; i < n; ++i) {
      if (removed[i]) continue;
      keys.clear();
      work[i]->CoverKeys(keys);
      for (const TcxGridChangeKey& k : keys) providers[k].push_back(i);
    }
    std::vector<char> removedBack(n, 0);
    for (std::size_t b = n; b-- > 0 && !providers.empty();) {
      if (removed[b]) continue;
      keys.clear();
      work[b]->CoveringKeys(keys);
      for (const TcxGridChangeKey& k : keys) {
        auto it = providers.find(k);
        if (it == providers.end()) continue;
        for (std::size_t p : it->second) {
          if (p >= b) break;
          if (work[b]->IsCoveredBy(work[p])) {
            removedBack[b] = 1;
            break;
          }
        }
        if (removedBack[b]) break;
      }
    }
    for (std::size_t i = 0; i < n; ++i) removed[i] |= removedBack[i];
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (removed[i])
      FreeChange(work[i]);
    else
      work[kept++] = work[i];
  }
  work.resize(kept);
}

// ---- the grid's changes -----------------------------------------------------------------------

void TcxGridLayoutChange::Execute() {
  TcxCustomGrid* grid = Control();
  TcxCustomGridView* view = GridView();
  if (!view) {
    if (!grid) return;
    grid->ViewInfo()->Calculate();
    grid->Painter()->Invalidate(true);
  } else if (view->CanUpdateLayout() && view->Site()) {
    TRect bounds = view->Site()->BoundsRect();
    if (!bounds.IsEmpty()) {
      view->ViewInfo()->PlaceAndCalculate(bounds);
      view->Painter()->Invalidate();
    }
  }
  if (grid) grid->DoLayoutChanged(view);
}

bool TcxGridLayoutChange::IsCoveredBy(TcxCustomGridChange* change) {
  auto* other = dynamic_cast<TcxCustomGridViewChange*>(change);
  if (!other) return false;
  TcxCustomGridView* view = GridView();
  TcxCustomGridView* otherView = other->GridView();
  if (dynamic_cast<TcxGridLayoutChange*>(change))
    return !otherView || (view && view->HasAsMaster(otherView));
  if (dynamic_cast<TcxGridSizeChange*>(change))
    return !otherView || (view && (otherView == view || view->HasAsMaster(otherView)));
  return false;
}

void TcxGridLayoutChange::CoverKeys(TcxGridChangeKeys& keys) { keys.push_back({gckLayout, GridView(), 0}); }

void TcxGridLayoutChange::CoveringKeys(TcxGridChangeKeys& keys) {
  keys.push_back({gckLayout, nullptr, 0});
  keys.push_back({gckSize, nullptr, 0});
  TcxCustomGridView* view = GridView();
  if (!view) return;
  keys.push_back({gckSize, view, 0});
  for (TcxCustomGridView* m = view->MasterGridView(); m; m = m->MasterGridView()) {
    keys.push_back({gckLayout, m, 0});
    keys.push_back({gckSize, m, 0});
  }
}

void TcxGridSizeChange::Execute() {
  TcxCustomGrid* grid = Control();
  TcxCustomGridView* view = GridView();
  if (!view) {
    if (!grid) return;
    if (TcxCustomGridView* active = grid->ActiveView())
      active->QueueSizeChange(false, keepMaster_);
    else
      grid->QueueLayoutChange();
    return;
  }
  if (!view->CanUpdateLayout()) return;
  if (view->ViewInfoCache()) view->ViewInfoCache()->UnassignValues(keepMaster_);
  if (updateGridViewOnly_ && keepMaster_) {
    view->QueueLayoutChange(true);
    return;
  }
  TcxCustomGridView* master = view->MasterGridView();
  if (!master) {
    view->QueueLayoutChange(!view->IsPattern() ? false : true);
  } else if (!view->IsPattern()) {
    if (!master->QueueSizeChange(false, keepMaster_)) view->QueueLayoutChange(true);
  }
}

bool TcxGridSizeChange::IsCoveredBy(TcxCustomGridChange* change) {
  if (auto* size = dynamic_cast<TcxGridSizeChange*>(change))
    return size->GridView() == GridView() && size->keepMaster_ == keepMaster_ && updateGridViewOnly_;
  // The data change of a record view (its class comes with the table views) covers the view's
  // size changes through the data cover key.
  return false;
}

bool TcxGridSizeChange::IsDuplicateOf(TcxCustomGridChange* change) {
  if (!TcxCustomGridViewChange::IsDuplicateOf(change)) return false;
  auto* other = static_cast<TcxGridSizeChange*>(change);
  return other->keepMaster_ == keepMaster_ && other->updateGridViewOnly_ == updateGridViewOnly_;
}

TcxGridChangeKey TcxGridSizeChange::DuplicateKey() {
  TcxGridChangeKey key = TcxCustomGridViewChange::DuplicateKey();
  key.extra = (keepMaster_ ? 1u : 0u) | (updateGridViewOnly_ ? 2u : 0u);
  return key;
}

void TcxGridSizeChange::CoverKeys(TcxGridChangeKeys& keys) {
  keys.push_back({gckSize, GridView(), 0});
  keys.push_back({gckSizeKeepMaster, GridView(), keepMaster_ ? 1u : 0u});
}

void TcxGridSizeChange::CoveringKeys(TcxGridChangeKeys& keys) {
  if (updateGridViewOnly_) keys.push_back({gckSizeKeepMaster, GridView(), keepMaster_ ? 1u : 0u});
  keys.push_back({gckData, GridView(), 0});
}

TcxGridViewChange::TcxGridViewChange(TcxCustomGridView* gridView, const TRect& updateBounds, TcxRegion* updateRegion)
    : TcxCustomGridViewChange(gridView), updateBounds_(updateBounds) {
  if (updateRegion) {
    updateRegion_ = new TcxRegion();
    updateRegion_->CombineWith(updateRegion, roSet, false);
  }
}

TcxGridViewChange::~TcxGridViewChange() { delete updateRegion_; }

void TcxGridViewChange::Execute() {
  TcxCustomGridView* view = GridView();
  if (!view) {
    if (Control() && Control()->HandleAllocated()) Control()->Invalidate();
    return;
  }
  if (!view->Site() || !view->Painter()) return;
  if (!updateBounds_.IsEmpty())
    view->Painter()->InvalidateRect(updateBounds_);
  else if (updateRegion_)
    view->Painter()->InvalidateRegion(updateRegion_);
  else
    view->Painter()->Invalidate();
}

bool TcxGridViewChange::IsCoveredBy(TcxCustomGridChange* change) {
  if (!dynamic_cast<TcxGridLayoutChange*>(change) && !dynamic_cast<TcxGridSizeChange*>(change)) return false;
  return static_cast<TcxCustomGridViewChange*>(change)->GridView() == GridView();
}

bool TcxGridViewChange::IsDuplicateOf(TcxCustomGridChange* change) {
  if (!TcxCustomGridViewChange::IsDuplicateOf(change)) return false;
  auto* other = static_cast<TcxGridViewChange*>(change);
  if (!updateRegion_ && !other->updateRegion_) return updateBounds_ == other->updateBounds_;
  return updateRegion_ && other->updateRegion_ && updateRegion_->EqualsRegion(other->updateRegion_);
}

TcxGridChangeKey TcxGridViewChange::DuplicateKey() {
  TcxGridChangeKey key = TcxCustomGridViewChange::DuplicateKey();
  key.extra = updateRegion_ ? RectHash(updateRegion_->BoundsRect()) * 2 + 1 : RectHash(updateBounds_) * 2;
  return key;
}

void TcxGridViewChange::CoveringKeys(TcxGridChangeKeys& keys) {
  keys.push_back({gckLayout, GridView(), 0});
  keys.push_back({gckSize, GridView(), 0});
}

void TcxGridControlFocusChange::Execute() {
  TcxCustomGridView* view = GridView();
  if (view && view->CanUpdateLayout()) view->Controller()->ControlFocusChanged();
}

// ---- drag opening ---------------------------------------------------------------------------------

bool TcxGridDragOpenInfoTab::IsSameTarget(TcxCustomGridDragOpenInfo* info) {
  return TcxCustomGridDragOpenInfo::IsSameTarget(info) && static_cast<TcxGridDragOpenInfoTab*>(info)->level_ == level_;
}

void TcxGridDragOpenInfoTab::OpenTarget() {
  if (level_) level_->SetActive(true);
}

// ---- controller -------------------------------------------------------------------------------------

TcxGridController::~TcxGridController() { StopDragOpen(); }

void TcxGridController::DoCancelMode() {
  if (TcxCustomGridView* view = Control()->ActiveView())
    if (view->Controller()) view->Controller()->CancelMode();
}

void TcxGridController::FocusChanged(bool) {
  if (TcxCustomGridView* view = Control()->ActiveView()) view->AddChange(new TcxGridControlFocusChange(view));
}

void TcxGridController::DragOver(TObject*, Integer x, Integer y, TDragState state, bool&) {
  if (!Control()->DragOpening()) return;
  TcxCustomGridHitTest* hitTest = Control()->ViewInfo()->GetHitTest(x, y);
  TcxCustomGridDragOpenInfo* info = state != dsDragLeave ? GetDragOpenInfo(hitTest) : nullptr;
  if (info)
    StartDragOpen(info);
  else
    StopDragOpen();
}

void TcxGridController::EndDrag(TObject*, Integer, Integer) { StopDragOpen(); }

TcxCustomGridDragOpenInfo* TcxGridController::GetDragOpenInfo(TcxCustomGridHitTest* hitTest) {
  if (hitTest && hitTest->GetHitTestCode() == 50)
    return new TcxGridDragOpenInfoTab(static_cast<TcxGridDetailsSiteTabHitTest*>(hitTest)->Level());
  return nullptr;
}

void TcxGridController::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = Control()->ViewInfo()->GetHitTest(x, y);
  if (hitTest && hitTest->ViewInfo()) hitTest->ViewInfo()->MouseDown(hitTest, button, shift);
}

void TcxGridController::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxCustomGridHitTest* hitTest = Control()->ViewInfo()->GetHitTest(x, y);
  if (hitTest && hitTest->ViewInfo()) hitTest->ViewInfo()->MouseMove(hitTest, shift);
}

void TcxGridController::StartDragOpen(TcxCustomGridDragOpenInfo* info) {
  if (dragOpenInfo_ && dragOpenInfo_->IsSameTarget(info)) {
    info->Free();
    return;
  }
  if (dragOpenInfo_) dragOpenInfo_->Free();
  dragOpenInfo_ = info;
  if (dragOpenTimer_) {
    dragOpenTimer_->SetEnabled(false);
    dragOpenTimer_->SetEnabled(true);
  } else {
    dragOpenTimer_ = new TcxTimer(nullptr);
    dragOpenTimer_->SetInterval(Cardinal(Control()->DragOpeningWaitTime()));
    dragOpenTimer_->SetOnTimer([this](TObject* sender) { DragOpenTimerTick(sender); });
  }
}

void TcxGridController::StopDragOpen() {
  FreeAndNil(dragOpenTimer_);
  FreeAndNil(dragOpenInfo_);
}

void TcxGridController::LevelRemoved(TcxGridLevel* level) {
  auto* tab = dynamic_cast<TcxGridDragOpenInfoTab*>(dragOpenInfo_);
  if (tab && tab->Level() == level) StopDragOpen();
}

void TcxGridController::DragOpenTimerTick(TObject*) {
  dragOpenTimer_->SetEnabled(false);
  TAtExit stop{[this] { StopDragOpen(); }};
  dragOpenInfo_->OpenTarget();
}

// ---- painter ------------------------------------------------------------------------------------------

void TcxGridPainter::DrawDetailsSite() {
  TcxGridTopDetailsSiteViewInfo* site = Control()->ViewInfo()->DetailsSiteViewInfo();
  if (site && site->GetVisible()) site->Paint(Control()->Canvas());
}

void TcxGridPainter::DrawBackground() {
  TRect r;
  Control()->ContentBounds(r);
  Control()->Canvas()->FillRectColor(r, Control()->Color());
}

void TcxGridPainter::Invalidate(bool includingSites) {
  TcxCustomGrid* grid = Control();
  if (grid->IsDestroying()) return;
  if (grid->HandleAllocated()) InvalidateControlRect(grid, grid->ClientRect(), false);
  std::function<void(TcxCustomGridView*)> repaint = [&](TcxCustomGridView* view) {
    if (view->IsPattern()) {
      for (Integer i = 0; i < view->CloneCount(); ++i) view->Clones(i)->QueueFullRepaint();
    } else {
      view->QueueFullRepaint();
    }
    if (TcxGridLevel* level = view->Level())
      for (Integer i = 0; i < level->VisibleCount(); ++i)
        if (TcxCustomGridView* detail = level->VisibleItems(i)->GridView()) repaint(detail);
  };
  if (TcxCustomGridView* active = grid->ActiveView()) repaint(active);
  if (includingSites)
    for (Integer i = 0; i < grid->ControlCount(); ++i)
      if (auto* site = dynamic_cast<TcxGridSite*>(grid->Controls(i)); site && site->HandleAllocated())
        InvalidateControlRect(site, site->ClientRect(), false);
}

void TcxGridPainter::InvalidateRect(const TRect& r) {
  if (Control()->HandleAllocated()) InvalidateControlRect(Control(), r, false);
}

void TcxGridPainter::Paint() {
  DrawDetailsSite();
  DrawBackground();
}

// ---- view info and the top details site ---------------------------------------------------------------

TcxGridViewInfo::~TcxGridViewInfo() { DestroyViewInfos(); }

void TcxGridViewInfo::CreateViewInfos() {
  TClass cls = GetDetailsSiteViewInfoClass();
  if (cls == TcxGridTopDetailsSiteViewInfo::StaticClass() || !cls)
    detailsSite_ = new TcxGridTopDetailsSiteViewInfo(this, Control()->RootLevel());
}

void TcxGridViewInfo::DestroyViewInfos() { FreeAndNil(detailsSite_); }

TClass TcxGridViewInfo::GetDetailsSiteViewInfoClass() { return TcxGridTopDetailsSiteViewInfo::StaticClass(); }

void TcxGridViewInfo::Calculate() {
  DestroyViewInfos();
  CreateViewInfos();
  if (detailsSite_ && detailsSite_->GetVisible()) {
    TRect r;
    Control()->ContentBounds(r);
    detailsSite_->Calculate(r.Left, r.Top);
  }
}

TcxCustomGridHitTest* TcxGridViewInfo::GetHitTest(Integer x, Integer y) {
  TPoint p(x, y);
  if (detailsSite_)
    if (TcxCustomGridHitTest* hitTest = detailsSite_->GetHitTest(p)) return hitTest;
  return GetPooledHitTest<TcxGridNoneHitTest>(p);
}

TcxCanvas* TcxGridTopDetailsSiteViewInfo::GetCanvas() { return Control()->Canvas(); }

TcxCustomLookAndFeelPainterClass TcxGridTopDetailsSiteViewInfo::GetLookAndFeelPainter() {
  return Control()->CurrentPainter();
}

Integer TcxGridTopDetailsSiteViewInfo::GetMaxHeight() {
  TRect r;
  Control()->ContentBounds(r);
  return r.Height();
}

Integer TcxGridTopDetailsSiteViewInfo::GetMaxWidth() {
  TRect r;
  Control()->ContentBounds(r);
  return r.Width();
}

TcxCustomGridView* TcxGridTopDetailsSiteViewInfo::FindActiveGridView() {
  return Control()->IsDestroying() ? nullptr : Control()->ActiveView();
}

TcxGridLevel* TcxGridTopDetailsSiteViewInfo::GetActiveLevel() {
  return Control()->IsDestroying() ? nullptr : Control()->ActiveLevel();
}

void TcxGridTopDetailsSiteViewInfo::InitTabHitTest(TcxGridDetailsSiteTabHitTest* hitTest) {
  hitTest->SetOwner(Control());
}

void TcxGridTopDetailsSiteViewInfo::ChangeActiveTab(TcxGridLevel* level, bool) {
  if (!Control()->IsDestroying()) Control()->SetActiveLevel(level);
}

TcxControl* TcxGridTopDetailsSiteViewInfo::GetControl() { return Control(); }

void TcxGridTopDetailsSiteViewInfo::VisibilityChanged(bool visible) {
  if (!Control()->IsDestroying()) TcxCustomGridDetailsSiteViewInfo::VisibilityChanged(visible);
}

// ---- the grid ---------------------------------------------------------------------------------------------

TcxCustomGrid::TcxCustomGrid(TComponent* owner) : TcxControl(owner) {
  SetBorderStyle(cxcbsDefault);
  ControlStyle() += csDisplayDragImage;
  TcxControl::SetTabStop(true);
  // C++ constructors reach this class's getters only; descendants that answer other classes
  // replace the companions in their own constructors (CreateSubobjects after
  // DestroySubobjects).
  rootLevel_ = static_cast<TcxGridLevel*>(GetRootLevelClass()->Create(nullptr));
  rootLevel_->SetControl(this);
  CreateSubobjects();
  SetBounds(Left(), Top(), 250, 200);
}

TcxCustomGrid::~TcxCustomGrid() {
  destroying_ = true;
  for (Integer i = 0; i < rootLevel_->VisibleCount(); ++i)
    if (TcxCustomGridView* view = rootLevel_->VisibleItems(i)->GridView())
      if (view->Site()) view->Site()->SetVisible(false);
  DestroySubobjects();
  rootLevel_->Free();
  rootLevel_ = nullptr;
  while (!views_.empty()) views_.back()->Free();
  for (TcxCustomGridChange* c : changes_) FreeChange(c);
  changes_.clear();
}

void TcxCustomGrid::BeforeDestruction() {
  destroying_ = true;
  TcxControl::BeforeDestruction();
}

bool TcxCustomGrid::IsDestroying() const { return destroying_ || ComponentState().Contains(csDestroying); }

TClass TcxCustomGrid::GetRootLevelClass() { return TcxGridRootLevel::StaticClass(); }

void TcxCustomGrid::CreateSubobjects() {
  controller_ = static_cast<TcxGridController*>(GetControllerClass()->Create(this));
  painter_ = static_cast<TcxGridPainter*>(GetPainterClass()->Create(this));
  viewInfo_ = static_cast<TcxGridViewInfo*>(GetViewInfoClass()->Create(this));
  viewInfo_->CreateViewInfos();
  navigatorNotifier_ = new TcxNavigatorControlNotifier();
}

void TcxCustomGrid::DestroySubobjects() {
  FreeAndNil(navigatorNotifier_);
  FreeAndNil(viewInfo_);
  FreeAndNil(painter_);
  FreeAndNil(controller_);
}

void TcxCustomGrid::DoActiveTabChanged(TcxGridLevel* level) {
  if (OnActiveTabChanged) OnActiveTabChanged(this, level);
}

void TcxCustomGrid::DoLayoutChanged(TcxCustomGridView* gridView) {
  if (OnLayoutChanged) OnLayoutChanged(this, gridView);
}

void TcxCustomGrid::DoFocusedViewChanged(TcxCustomGridView* prevView, TcxCustomGridView* view) {
  if (IsDestroying()) return;
  if (navigatorNotifier_) navigatorNotifier_->RefreshNavigatorButtons();
  SendNotifications(gnkFocusedViewChanged);
  if (OnFocusedViewChanged) OnFocusedViewChanged(this, prevView, view);
}

void TcxCustomGrid::QueueLayoutChange() {
  if (!IsLoading()) AddChange(new TcxGridLayoutChange(nullptr));
}

void TcxCustomGrid::QueueSizeChange() {
  if (!IsLoading()) AddChange(new TcxGridSizeChange(nullptr, false, false));
}

// ---- the queue --------------------------------------------------------------------------------------

void TcxCustomGrid::BeginUpdate() { ++lockCount_; }

void TcxCustomGrid::EndUpdate() {
  if (lockCount_ <= 0) return;
  if (--lockCount_ == 0) ProcessChanges();
}

void TcxCustomGrid::CancelUpdate() {
  if (lockCount_ <= 0) return;
  if (--lockCount_ == 0) {
    std::vector<TcxCustomGridChange*> dropped;
    dropped.swap(changes_);
    for (TcxCustomGridChange* c : dropped) FreeChange(c);
  }
}

void TcxCustomGrid::AddChange(TcxCustomGridChange* change) {
  if (!change) return;
  if (IsDestroying()) {
    FreeChange(change);
    return;
  }
  if (change->IsDeferrable() && IsLocked())
    changes_.push_back(change);
  else
    ExecuteChange(change);
}

void TcxCustomGrid::ExecuteChange(TcxCustomGridChange* change) {
  TAtExit release{[change] { FreeChange(change); }};
  if (IsDestroying()) return;
  change->SetControl(this);
  change->Execute();
}

void TcxCustomGrid::ProcessChanges() {
  std::vector<TcxCustomGridChange*> queue;
  queue.swap(changes_);
  std::vector<TcxCustomGridChange*> work;
  CompactGridChanges(queue, work);
  if (work.empty()) return;
  runningLists_.push_back(&work);
  // The work list leaves the running lists and frees what was not run, whatever happens.
  TAtExit cleanup{[this, &work] {
    runningLists_.erase(std::find(runningLists_.begin(), runningLists_.end(), &work));
    for (TcxCustomGridChange* c : work) FreeChange(c);
  }};
  const bool extraLock = work.size() >= 2;
  if (extraLock) BeginUpdate();
  try {
    for (std::size_t i = 0; i < work.size(); ++i) {
      TcxCustomGridChange* change = work[i];
      work[i] = nullptr;
      if (!change) continue;  // its view left the grid meanwhile
      if (extraLock && !change->CanExecuteLocked()) {
        EndUpdate();
        // What ran meanwhile may have dropped this change's view.
        if (change->ChangeView() && std::find(views_.begin(), views_.end(), change->ChangeView()) == views_.end()) {
          FreeChange(change);
          if (!IsLocked()) BeginUpdate();
          continue;
        }
      }
      ExecuteChange(change);
      if (extraLock && !IsLocked()) BeginUpdate();
    }
  } catch (...) {
    for (TcxCustomGridChange*& c : work) {
      FreeChange(c);
      c = nullptr;
    }
    if (extraLock && IsLocked()) EndUpdate();
    throw;
  }
  if (extraLock) EndUpdate();
}

void TcxCustomGrid::DropViewChanges(TcxCustomGridView* view) {
  std::vector<TcxCustomGridChange*> kept;
  kept.reserve(changes_.size());
  for (TcxCustomGridChange* c : changes_)
    if (c->ChangeView() == view)
      FreeChange(c);
    else
      kept.push_back(c);
  changes_.swap(kept);
  for (std::vector<TcxCustomGridChange*>* list : runningLists_)
    for (TcxCustomGridChange*& c : *list)
      if (c && c->ChangeView() == view) {
        FreeChange(c);
        c = nullptr;
      }
}

void TcxCustomGrid::ViewAdded(TcxCustomGridView* view) {
  if (std::find(views_.begin(), views_.end(), view) != views_.end()) return;
  views_.push_back(view);
  if (view->DataController()) view->DataController()->SetMasterMode(nullptr, true);
}

void TcxCustomGrid::ViewRemoved(TcxCustomGridView* view) {
  views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
  DropViewChanges(view);
  if (focusedView_ == view) focusedView_ = nullptr;
}

// ---- levels, views, focus -------------------------------------------------------------------------

TcxCustomGridView* TcxCustomGrid::ActiveView() { return activeLevel_ ? activeLevel_->GridView() : nullptr; }

void TcxCustomGrid::SetActiveLevel(TcxGridLevel* level) {
  if (level == activeLevel_) return;
  if (!level) level = IsDestroying() ? nullptr : rootLevel_->FirstVisibleChild();
  activeLevel_ = level;
  QueueSizeChange();
  if (!IsLoading() && level) DoActiveTabChanged(level);
  SetFocusedView(level ? level->GridView() : nullptr);
}

namespace {
bool WindowHoldsFocus(TWinControl* control) {
  if (!control->HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == control->Handle() || IsChild(control->Handle(), focus));
}
}  // namespace

void TcxCustomGrid::SetFocusedView(TcxCustomGridView* view) {
  if (view && !view->CanFocus()) return;
  if (view == focusedView_) return;
  if (!IsDestroying() && ((!view && activeLevel_ && activeLevel_->GridView()) || (view && view->IsDestroying()))) {
    TcxCustomGridView* replacement = nullptr;
    if (focusedView_)
      for (TcxCustomGridView* m = focusedView_->MasterGridView(); m && !replacement; m = m->MasterGridView())
        if (!m->IsDestroying()) replacement = m;
    for (Integer i = 0; !replacement && i < rootLevel_->Count(); ++i)
      if (TcxCustomGridView* v = rootLevel_->Items(i)->GridView(); v && !v->IsDestroying()) replacement = v;
    view = replacement;
    if (view == focusedView_) return;
  }
  TcxCustomGridView* prev = focusedView_;
  focusedView_ = view;
  if (prev) {
    bool hadFocus = WindowHoldsFocus(this);
    try {
      prev->FocusChanged(false);
    } catch (...) {
      focusedView_ = prev;
      throw;
    }
    if (hadFocus && !WindowHoldsFocus(this) && CanFocus()) TcxControl::SetFocus();
  }
  if (focusedView_) {
    // The level is made active first: a view on another tab has no place (and its site cannot
    // take the focus) until its level is the active one.
    TcxCustomGridView* view = focusedView_;
    if (view->Level()) view->Level()->SetActive(true);
    if (focusedView_ == view) view->FocusChanged(true);
  } else if (Focused() && CanFocus()) {
    ::SetFocus(Handle());
  }
  UpdateOwnTabStop();
  DoFocusedViewChanged(prev, focusedView_);
}

void TcxCustomGrid::CheckFocusedView() {
  if (IsDestroying() || !focusedView_ || focusedView_->CanFocus()) return;
  TcxCustomGridView* active = ActiveView();
  if (active && active->CanFocus())
    SetFocusedView(active);
  else
    SetFocusedView(nullptr);
}

TcxCustomGridView* TcxCustomGrid::CreateView(TClass viewClass) {
  auto* view = dynamic_cast<TcxCustomGridView*>(viewClass->Create(Owner()));
  if (!view) throw EInvalidCast("Invalid class typecast");
  view->InitSubobjects();
  view->SetParentComponent(this);
  return view;
}

void TcxCustomGrid::UpdateFocusedFlag(bool value) {
  bool was = focused_;
  focused_ = value;
  if (!controller_ || IsDestroying()) return;
  if ((value && !was) || (!value && !WindowHoldsFocus(this))) controller_->FocusChanged(value);
}

void TcxCustomGrid::FocusNextControl(bool goForward) {
  if (!WindowHoldsFocus(this)) return;
  if (TCustomForm* form = GetParentForm(this))
    if (form->HandleAllocated()) PostMessage(form->Handle(), WM_NEXTDLGCTL, goForward ? 0 : 1, 0);
}

void TcxCustomGrid::SetTabStop(bool v) {
  tabStop_ = v;
  UpdateOwnTabStop();
  if (focusedView_) focusedView_->SetSiteTabStop(true);
}

// The grid's own window takes part in Tab navigation only while no view's site does: the
// site comes after the grid in the form's tab order, so Shift+Tab from the site would land
// on the grid, which hands the focus straight back to the site.
void TcxCustomGrid::UpdateOwnTabStop() {
  bool siteTakesPart = focusedView_ && focusedView_->Site() && focusedView_->Site()->TabStop();
  TcxControl::SetTabStop(tabStop_ && !siteTakesPart);
}

// ---- notifications ----------------------------------------------------------------------------------

void TcxCustomGrid::AddNotification(TcxCustomGridNotification* n) {
  if (std::find(notifications_.begin(), notifications_.end(), n) == notifications_.end()) notifications_.push_back(n);
}

void TcxCustomGrid::RemoveNotification(TcxCustomGridNotification* n) {
  notifications_.erase(std::remove(notifications_.begin(), notifications_.end(), n), notifications_.end());
}

bool TcxCustomGrid::SendNotifications(TcxGridNotificationKind kind, void* argument) {
  if (kind == gnkContextMenu && ComponentState().Contains(csDesigning)) return false;
  bool handled = false;
  std::vector<TcxCustomGridNotification*> list = notifications_;
  for (TcxCustomGridNotification* n : list) {
    if (std::find(notifications_.begin(), notifications_.end(), n) == notifications_.end()) continue;
    if (!n->NotificationKinds().Contains(kind)) continue;
    n->Notify(kind, argument, handled);
    if (handled) break;
  }
  return handled;
}

void TcxCustomGrid::CMEnabledChanged(TMessage& m) {
  TcxControl::CMEnabledChanged(m);
  for (TcxCustomGridView* view : std::vector<TcxCustomGridView*>(views_)) {
    std::vector<TcxCustomGridView*> shown{view};
    for (Integer i = 0; i < view->CloneCount(); ++i) shown.push_back(view->Clones(i));
    for (TcxCustomGridView* v : shown)
      if (auto* owner = dynamic_cast<IcxNavigatorOwner*>(v->ViewInfo())) owner->RefreshNavigator();
  }
  if (navigatorNotifier_) navigatorNotifier_->RefreshNavigatorButtons();
}

// ---- IcxNavigator -----------------------------------------------------------------------------------

IcxNavigator* TcxCustomGrid::FocusedNavigator() { return dynamic_cast<IcxNavigator*>(focusedView_); }
bool TcxCustomGrid::CanDelete() { return FocusedNavigator() && FocusedNavigator()->CanDelete(); }
bool TcxCustomGrid::CanEdit() { return FocusedNavigator() && FocusedNavigator()->CanEdit(); }
bool TcxCustomGrid::CanInsert() { return FocusedNavigator() && FocusedNavigator()->CanInsert(); }
bool TcxCustomGrid::IsActive() { return FocusedNavigator() && FocusedNavigator()->IsActive(); }
bool TcxCustomGrid::IsBof() { return FocusedNavigator() && FocusedNavigator()->IsBof(); }
bool TcxCustomGrid::IsBookmarkAvailable() { return FocusedNavigator() && FocusedNavigator()->IsBookmarkAvailable(); }
bool TcxCustomGrid::IsEditing() { return FocusedNavigator() && FocusedNavigator()->IsEditing(); }
bool TcxCustomGrid::IsEof() { return FocusedNavigator() && FocusedNavigator()->IsEof(); }
void TcxCustomGrid::ClearBookmark() {
  if (FocusedNavigator()) FocusedNavigator()->ClearBookmark();
}
void TcxCustomGrid::DoAction(Integer buttonIndex) {
  if (FocusedNavigator()) FocusedNavigator()->DoAction(buttonIndex);
}
TcxNavigatorControlNotifier* TcxCustomGrid::GetNotifier() {
  return FocusedNavigator() ? FocusedNavigator()->GetNotifier() : nullptr;
}
bool TcxCustomGrid::IsActionSupported() { return FocusedNavigator() && FocusedNavigator()->IsActionSupported(); }

// ---- streaming --------------------------------------------------------------------------------------

void TcxCustomGrid::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TcxControl::GetChildren(proc, root);
  for (TcxCustomGridView* view : views_)
    if (view->Owner() == root && !view->Transient()) proc(view);
  for (Integer i = 0; i < rootLevel_->Count(); ++i)
    if (rootLevel_->Items(i)->Owner() == root) proc(rootLevel_->Items(i));
}

void TcxCustomGrid::SetChildOrder(TComponent* child, Integer order) {
  if (auto* level = dynamic_cast<TcxGridLevel*>(child)) rootLevel_->MoveChild(level, order - ViewCount());
}

void TcxCustomGrid::Loaded() {
  TcxControl::Loaded();
  BeginUpdate();
  TAtExit end{[this] { EndUpdate(); }};
  QueueLayoutChange();
}

void TcxCustomGrid::SetName(const String& newName) {
  String oldName = Name();
  TcxControl::SetName(newName);
  if (oldName.empty() || oldName == newName) return;
  RenameChildrenByPrefix(this, Owner(), newName, oldName, ViewCount(),
                         [](TComponent* c, int i) { return static_cast<TcxCustomGrid*>(c)->Views(i); });
  std::vector<TcxGridLevel*> levels;
  std::function<void(TcxGridLevel*)> collect = [&](TcxGridLevel* l) {
    for (Integer i = 0; i < l->Count(); ++i) {
      levels.push_back(l->Items(i));
      collect(l->Items(i));
    }
  };
  collect(rootLevel_);
  RenameChildrenByPrefix(this, Owner(), newName, oldName, int(levels.size()),
                         [&levels](TComponent*, int i) { return levels[size_t(i)]; });
}

void TcxCustomGrid::AdoptChildComponent(TcxControlChildComponent* child) { TcxControl::AdoptChildComponent(child); }

void TcxCustomGrid::ReleaseChildComponent(TcxControlChildComponent* child) { TcxControl::ReleaseChildComponent(child); }

void TcxCustomGrid::HandleBoundsChange() {
  QueueSizeChange();
  TcxControl::HandleBoundsChange();
}

// ---- painting and input -----------------------------------------------------------------------------

void TcxCustomGrid::Paint() {
  TcxControl::Paint();
  if (painter_) painter_->Paint();
}

void TcxCustomGrid::NotifyFocusChanged() {
  TcxControl::NotifyFocusChanged();
  if (IsDestroying()) return;
  if (Focused() && focusedView_) focusedView_->FocusChanged(true);
}

void TcxCustomGrid::LookAndFeelUpdated(TcxLookAndFeel* sender, const TcxLookAndFeelValues& changed) {
  TcxControl::LookAndFeelUpdated(sender, changed);
  for (TcxCustomGridView* view : std::vector<TcxCustomGridView*>(views_)) view->LookAndFeelChanged();
  QueueSizeChange();
}

void TcxCustomGrid::KeyDown(Word& key, TShiftState shift) {
  TcxControl::KeyDown(key, shift);
  if (controller_) controller_->KeyDown(key, shift);
}

void TcxCustomGrid::KeyUp(Word& key, TShiftState shift) {
  TcxControl::KeyUp(key, shift);
  if (controller_) controller_->KeyUp(key, shift);
}

void TcxCustomGrid::Dispatch(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && viewInfo_ && viewInfo_->DetailsSiteViewInfo() &&
      viewInfo_->DetailsSiteViewInfo()->ProcessDialogChar(Word(m.WParam))) {
    m.Result = 1;
    return;
  }
  TcxControl::Dispatch(m);
}

void TcxCustomGrid::MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  TcxControl::MouseDown(button, shift, x, y);
  if (link.Alive() && controller_) controller_->MouseDown(button, shift, x, y);
}

void TcxCustomGrid::MouseMove(TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  TcxControl::MouseMove(shift, x, y);
  if (link.Alive() && controller_) controller_->MouseMove(shift, x, y);
}

void TcxCustomGrid::MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) {
  TcxObjectLinkGuard link(this);
  TcxControl::MouseUp(button, shift, x, y);
  if (link.Alive() && controller_) controller_->MouseUp(button, shift, x, y);
}

TCursor TcxCustomGrid::GetCursorAt(Integer x, Integer y) {
  TCursor c = controller_ ? controller_->GetCursor(x, y) : crDefault;
  return c != crDefault ? c : TcxControl::GetCursorAt(x, y);
}

void TcxCustomGrid::DragOver(TObject* source, Integer x, Integer y, TDragState state, bool& accept) {
  TcxControl::DragOver(source, x, y, state, accept);
  if (controller_) controller_->DragOver(source, x, y, state, accept);
}

void TcxCustomGrid::DoStartDrag(TDragObject*& dragObject) {
  if (controller_) controller_->StartDrag(dragObject);
}

void TcxCustomGrid::DoEndDrag(TObject* target, Integer x, Integer y) {
  TcxControl::DoEndDrag(target, x, y);
  if (controller_) controller_->EndDrag(target, x, y);
}

TcxDragAndDropObjectClass TcxCustomGrid::DragObjectClass() {
  TcxDragAndDropObjectClass cls = controller_ ? controller_->GetDragAndDropObjectClass() : nullptr;
  return cls ? cls : TcxControl::DragObjectClass();
}

void TcxCustomGrid::CancelMouseOperation() {
  TcxControl::CancelMouseOperation();
  if (controller_) controller_->DoCancelMode();
}

void TcxCustomGrid::DoContextPopup(TPoint mousePos, bool& handled) {
  TcxControl::DoContextPopup(mousePos, handled);
  if (handled) return;
  bool byKeyboard = mousePos.X == -1 && mousePos.Y == -1;
  handled = SendNotifications(gnkContextMenu, &byKeyboard);
}

bool TcxCustomGrid::WantsDesignTimeMouse(Integer x, Integer y, TShiftState shift) {
  if (TcxControl::WantsDesignTimeMouse(x, y, shift)) return true;
  TcxCustomGridHitTest* hitTest = viewInfo_ ? viewInfo_->GetHitTest(x, y) : nullptr;
  return shift.Contains(ssLeft) && hitTest && hitTest->GetHitTestCode() == 50;
}

void InitializeCxGrid() {
  InitUnit("cxGrid", [] {
    InitializeCxGridCommon();
    InitializeCxGridCustomView();
    InitializeCxGridLevel();
    InitializeCxFilterDialog();
    InitializeCxFilterControlDialog();
    InitializeCxGridDetailsSite();
    RegisterClass(TcxGrid::StaticClass());
  });
}
