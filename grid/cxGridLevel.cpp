// Grid levels.
#include "grid/cxGridLevel.h"

#include <algorithm>

#include "data/cxCustomData.h"
#include "grid/cxGrid.h"
#include "grid/cxGridCustomTableView.h"
#include "rtl/TypInfo.h"

namespace {
PTypeInfo DetailTabsPositionType() {
  return EnumTypeInfo("TcxGridDetailTabsPosition", {"dtpNone", "dtpLeft", "dtpTop"});
}
}  // namespace

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridLevelOptions) {
  p.Int("DetailFrameColor", &TcxGridLevelOptions::DetailFrameColor, &TcxGridLevelOptions::SetDetailFrameColor)
      .Default(clDefault);
  p.Int("DetailFrameWidth", &TcxGridLevelOptions::DetailFrameWidth, &TcxGridLevelOptions::SetDetailFrameWidth)
      .Default(1);
  p.Enum("DetailTabsPosition", &TcxGridLevelOptions::DetailTabsPosition,
         &TcxGridLevelOptions::SetDetailTabsPosition, DetailTabsPositionType())
      .Default(dtpNone);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridRootLevelOptions) {
  p.Int("DetailFrameWidth", &TcxGridRootLevelOptions::DetailFrameWidth,
        &TcxGridRootLevelOptions::SetDetailFrameWidth)
      .Default(0);
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridLevelStyles) {
  p.Object("Tab", &TcxGridLevelStyles::TabStyle, &TcxGridLevelStyles::SetTab, TcxStyle::StaticClass());
  p.Object("TabsBackground", &TcxGridLevelStyles::TabsBackgroundStyle, &TcxGridLevelStyles::SetTabsBackground,
           TcxStyle::StaticClass());
}

KORVAN_IMPLEMENT_CLASS_PUBLISHED(TcxGridLevel) {
  p.Str("Caption", &TcxGridLevel::Caption, &TcxGridLevel::SetCaption);
  p.Object("GridView", &TcxGridLevel::GridView, &TcxGridLevel::SetGridView, TcxCustomGridView::StaticClass());
  p.Int("MaxDetailHeight", &TcxGridLevel::MaxDetailHeight, &TcxGridLevel::SetMaxDetailHeight).Default(0);
  p.Object("Options", &TcxGridLevel::OptionsObject, nullptr, TcxGridLevelOptions::StaticClass());
  p.Object("Styles", &TcxGridLevel::StylesObject, &TcxGridLevel::SetStyles, TcxGridLevelStyles::StaticClass());
  p.Bool("Visible", &TcxGridLevel::Visible, &TcxGridLevel::SetVisible).Default(true);
}

KORVAN_IMPLEMENT_CLASS(TcxGridRootLevel)

// ---- options and styles ---------------------------------------------------------------------------

void TcxGridLevelOptions::Assign(TPersistent* source) {
  if (auto* s = dynamic_cast<TcxGridLevelOptions*>(source)) {
    SetDetailFrameColor(s->detailFrameColor_);
    SetDetailFrameWidth(s->detailFrameWidth_);
    SetDetailTabsPosition(s->detailTabsPosition_);
  } else {
    TPersistent::Assign(source);
  }
}

void TcxGridLevelOptions::Changed(bool hardChange) { level_->Changed(hardChange); }

void TcxGridLevelOptions::SetDetailFrameColor(TColor v) {
  if (v == detailFrameColor_) return;
  detailFrameColor_ = v;
  Changed(false);
}

void TcxGridLevelOptions::SetDetailFrameWidth(Integer v) {
  if (v < 0) v = 0;
  if (v == detailFrameWidth_) return;
  detailFrameWidth_ = v;
  Changed(true);
}

void TcxGridLevelOptions::SetDetailTabsPosition(TcxGridDetailTabsPosition v) {
  if (v == detailTabsPosition_) return;
  detailTabsPosition_ = v;
  Changed(true);
}

TColor TcxGridLevelOptions::GetDetailFrameColor() {
  if (detailFrameColor_ != clDefault) return detailFrameColor_;
  TcxCustomLookAndFeelPainterClass painter =
      level_->Control() ? level_->Control()->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
  return painter->FixedBandSeparatorColor();
}

TcxGridLevelStyles::TcxGridLevelStyles(TcxGridLevel* level) : TcxStyles(level), level_(level) {}

void TcxGridLevelStyles::IndexChanged(Integer) { level_->Changed(true); }

void TcxGridLevelStyles::DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) {
  TcxStyles::DefaultViewParams(index, data, params);
  TcxCustomGrid* grid = level_->Control();
  params.Font = grid ? grid->Font() : nullptr;
  TcxCustomLookAndFeelPainterClass painter = grid ? grid->CurrentPainter() : TcxStandardLookAndFeelPainter::Class();
  if (index == lsTab) {
    params.Color = painter->TabColor();
    params.TextColor = painter->TabTextColor();
  } else if (index == lsTabsBackground) {
    params.Color = painter->TabsBackgroundColor();
  }
}

void TcxGridLevelStyles::GetTabParams(TcxCustomGridRecord* masterRecord, TcxGridLevel* tabLevel,
                                      TcxStyleParams& params) {
  TcxStyle* style = nullptr;
  if (OnGetTabStyle) OnGetTabStyle(level_, tabLevel, style);
  if (tabLevel && tabLevel->Styles()->OnGetOwnTabStyle) tabLevel->Styles()->OnGetOwnTabStyle(tabLevel, masterRecord, style);
  ResolveViewParams(lsTab, nullptr, style, params);
}

// ---- the level ------------------------------------------------------------------------------------

TcxGridLevel::TcxGridLevel(TComponent* owner) : TcxComponent(owner) {}

TcxGridLevel::~TcxGridLevel() {
  while (!children_.empty()) children_.back()->Free();
  SetGridView(nullptr);
  if (parent_) parent_->RemoveChild(this);
  FreeRelation();
  if (styles_) styles_->Free();
  if (options_) options_->Free();
}

void TcxGridLevel::BeforeDestruction() { TcxComponent::BeforeDestruction(); }

void TcxGridLevel::EnsureCompanions() {
  if (!options_) options_ = static_cast<TcxGridLevelOptions*>(GetOptionsClass()->Create(this));
  if (!styles_) styles_ = static_cast<TcxGridLevelStyles*>(GetStylesClass()->Create(this));
}

TcxGridLevelOptions* TcxGridLevel::Options() {
  EnsureCompanions();
  return options_;
}

TcxGridLevelStyles* TcxGridLevel::Styles() {
  EnsureCompanions();
  return styles_;
}

TClass TcxGridLevel::GetChildLevelClass() { return TcxGridLevel::StaticClass(); }
TClass TcxGridLevel::GetOptionsClass() { return TcxGridLevelOptions::StaticClass(); }
TClass TcxGridLevel::GetStylesClass() { return TcxGridLevelStyles::StaticClass(); }

void TcxGridLevel::SetControl(TcxCustomGrid* grid) { control_ = grid; }

void TcxGridLevel::Changed(bool hardChange) {
  if (!control_) return;
  if (hardChange)
    control_->QueueSizeChange();
  else
    control_->QueueLayoutChange();
}

void TcxGridLevel::CheckHeight(Integer& height) {
  if (height < 0) height = 0;
  if (maxDetailHeight_ != 0 && maxDetailHeight_ < height) height = maxDetailHeight_;
}

void TcxGridLevel::GetDisplayCaption(String& caption) { caption = StripAccelChars(caption_); }

void TcxGridLevel::SetCaption(const String& v) {
  if (v == caption_) return;
  caption_ = v;
  Changed(true);
}

void TcxGridLevel::SetMaxDetailHeight(Integer v) {
  if (v < 0) v = 0;
  if (v == maxDetailHeight_) return;
  maxDetailHeight_ = v;
  Changed(true);
}

bool TcxGridLevel::IsRoot() { return control_ && control_->RootLevel() == this; }
bool TcxGridLevel::IsTop() { return parent_ && parent_->IsRoot(); }
bool TcxGridLevel::IsActive() { return control_ && control_->ActiveLevel() == this; }

bool TcxGridLevel::IsShown() {
  if (!visible_) return false;
  if (IsTop() && !IsActive()) return false;
  return !parent_ || parent_->IsShown();
}

bool TcxGridLevel::IsVisibleInHierarchy() { return visible_ && (!parent_ || parent_->IsVisibleInHierarchy()); }

Integer TcxGridLevel::Index() {
  if (!parent_) return -1;
  auto it = std::find(parent_->children_.begin(), parent_->children_.end(), this);
  return Integer(it - parent_->children_.begin());
}

void TcxGridLevel::SetIndex(Integer v) {
  if (parent_) parent_->MoveChild(this, v);
}

Integer TcxGridLevel::VisibleIndex() {
  if (!parent_) return -1;
  auto it = std::find(parent_->visibleChildren_.begin(), parent_->visibleChildren_.end(), this);
  return it == parent_->visibleChildren_.end() ? -1 : Integer(it - parent_->visibleChildren_.begin());
}

TcxGridLevel* TcxGridLevel::FirstVisibleChild() {
  if (visibleChildren_.empty() || (control_ && control_->IsDestroying())) return nullptr;
  return visibleChildren_.front();
}

TcxGridLevel* TcxGridLevel::Add() {
  TComponent* owner = control_ ? control_->Owner() : Owner();
  auto* level = static_cast<TcxGridLevel*>(GetChildLevelClass()->Create(owner));
  AddChild(level);
  return level;
}

void TcxGridLevel::RebuildVisibleChildren() {
  visibleChildren_.clear();
  for (TcxGridLevel* c : children_)
    if (c->visible_) visibleChildren_.push_back(c);
}

void TcxGridLevel::VisibleChildrenChanged(TcxGridLevel* level) {
  Integer oldCount = VisibleCount();
  RebuildVisibleChildren();
  if (gridView_) gridView_->DetailVisibilityChanged(level, oldCount, VisibleCount());
}

void TcxGridLevel::SetViewMasterMode(TcxCustomGridView* view) {
  if (!view || !view->DataController()) return;
  if (visible_)
    view->DataController()->SetMasterMode(relation_, !IsTop());
  else
    view->DataController()->SetMasterMode(nullptr, true);
}

void TcxGridLevel::CreateRelation(TcxGridLevel* child) {
  if (!gridView_ || !gridView_->DataController() || child->relation_) return;
  child->relation_ = gridView_->DataController()->RelationList()->AddRelation(child);
  if (child->gridView_) child->SetViewMasterMode(child->gridView_);
}

void TcxGridLevel::FreeRelation() {
  if (!relation_) return;
  TcxCustomDataRelation* r = relation_;
  relation_ = nullptr;
  delete r;
}

void TcxGridLevel::SetGridView(TcxCustomGridView* view) {
  if (view == gridView_) return;
  if (view && view->Level() && view->Level() != this) view->Level()->SetGridView(nullptr);
  TcxCustomGridView* old = gridView_;
  if (old) {
    old->BeginUpdate();
    try {
      for (TcxGridLevel* c : children_) c->FreeRelation();
    } catch (...) {
      old->EndUpdate();
      throw;
    }
    old->EndUpdate();
    old->SetLevel(nullptr);
  }
  gridView_ = view;
  if (view) view->BindControl(control_);
  if (parent_) parent_->VisibleChildrenChanged(this);
  struct TEnd {
    TcxGridLevel* level;
    TcxCustomGridView* old;
    TcxCustomGridView* view;
    ~TEnd() {
      if (view) view->EndUpdate();
      TcxCustomGrid* grid = level->control_;
      if (grid && !grid->IsDestroying()) {
        if (view && ((!old && !grid->FocusedView()) || (old && old == grid->FocusedView())))
          grid->SetFocusedView(view);
        else if (!view && old && old->IsFocused())
          old->SetFocused(false);
      }
      if (old && !old->IsDestroying()) old->BindControl(old->StorageControl());
    }
  } finish{this, old, view};
  if (!view) return;
  view->BeginUpdate();
  if (old && old->DataController() && !old->IsDestroying()) old->DataController()->SetMasterMode(nullptr, true);
  view->SetLevel(this);
  SetViewMasterMode(view);
  for (TcxGridLevel* c : children_) CreateRelation(c);
  Changed(false);
}

void TcxGridLevel::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (v && gridView_) SetViewMasterMode(gridView_);
  if (parent_) parent_->VisibleChildrenChanged(this);
  if (control_ && IsTop()) {
    if (!v && IsActive())
      control_->SetActiveLevel(nullptr);
    else if (v && !control_->ActiveLevel())
      control_->SetActiveLevel(this);
  }
  Changed(true);
  if (control_) control_->CheckFocusedView();
  if (!v && gridView_ && gridView_->DataController()) gridView_->DataController()->SetMasterMode(nullptr, true);
}

void TcxGridLevel::SetActive(bool value) {
  if (value == IsActive() || !control_) return;
  if (value) {
    if (IsTop()) control_->SetActiveLevel(this);
  } else {
    control_->SetActiveLevel(nullptr);
  }
}

void TcxGridLevel::AddChild(TcxGridLevel* level) {
  if (!level || level->parent_ == this) return;
  if (level->parent_) level->parent_->RemoveChild(level);
  children_.push_back(level);
  level->control_ = control_;
  level->parent_ = this;
  if (level->gridView_) level->gridView_->BindControl(control_);
  RebuildVisibleChildren();
  if (gridView_) CreateRelation(level);
  if (IsRoot() && control_ && !control_->ActiveLevel() && FirstVisibleChild())
    control_->SetActiveLevel(FirstVisibleChild());
  Changed(true);
}

void TcxGridLevel::RemoveChild(TcxGridLevel* level) {
  auto it = std::find(children_.begin(), children_.end(), level);
  if (it == children_.end()) return;
  children_.erase(it);
  RebuildVisibleChildren();
  level->parent_ = nullptr;
  level->FreeRelation();
  if (control_ && control_->Controller()) control_->Controller()->LevelRemoved(level);
  if (control_ && control_->ActiveLevel() == level) control_->SetActiveLevel(nullptr);
  Changed(true);
}

void TcxGridLevel::MoveChild(TcxGridLevel* level, Integer index) {
  auto it = std::find(children_.begin(), children_.end(), level);
  if (it == children_.end()) return;
  index = std::clamp(index, 0, Integer(children_.size()) - 1);
  Integer from = Integer(it - children_.begin());
  if (from == index) return;
  children_.erase(it);
  children_.insert(children_.begin() + index, level);
  RebuildVisibleChildren();
  if (level->relation_ && gridView_ && gridView_->DataController())
    gridView_->DataController()->RelationList()->MoveRelation(level->relation_->IndexInList(), index);
  Changed(true);
}

TComponent* TcxGridLevel::GetParentComponent() const {
  if (parent_ && parent_->IsRoot()) return parent_->control_;
  return parent_;
}

void TcxGridLevel::SetParentComponent(TComponent* value) {
  if (auto* grid = dynamic_cast<TcxCustomGrid*>(value))
    grid->RootLevel()->AddChild(this);
  else if (auto* level = dynamic_cast<TcxGridLevel*>(value))
    level->AddChild(this);
}

void TcxGridLevel::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TcxComponent::GetChildren(proc, root);
  for (TcxGridLevel* c : children_)
    if (c->Owner() == root) proc(c);
}

void TcxGridLevel::SetChildOrder(TComponent* child, Integer order) {
  if (auto* level = dynamic_cast<TcxGridLevel*>(child)) MoveChild(level, order);
}

void TcxGridLevel::SetName(const String& newName) { TcxComponent::SetName(newName); }

TcxCustomGridView* TcxGridLevel::CreateDetailGridView(TcxCustomDataRelation* relation, Integer masterRecordIndex) {
  TcxCustomGridView* pattern = gridView_;
  if (OnGetGridView) {
    // The master record as the master view's rows show it (null when it is not a row now).
    TcxCustomGridRecord* masterRecord = nullptr;
    TcxCustomDataController* masterController = relation ? relation->DataController() : nullptr;
    if (auto* master = masterController ? dynamic_cast<TcxCustomGridTableView*>(masterController->Owner()) : nullptr)
      if (master->TableViewData()) masterRecord = master->TableViewData()->RecordByRecordIndex(masterRecordIndex);
    OnGetGridView(this, masterRecord, pattern);
  }
  if (!pattern || !visible_ || !control_) return nullptr;
  TcxCustomGridView* clone = TcxCustomGridView::CreateForGrid(pattern->ClassType(), control_);
  clone->BeginUpdate();
  try {
    clone->AssignPattern(pattern);
    if (gridView_ && gridView_->DataController() && clone->DataController()) {
      TcxCustomDataRelationList* list = clone->DataController()->RelationList();
      list->LockChanges();
      try {
        list->AssignRelations(gridView_->DataController()->RelationList());
      } catch (...) {
        list->UnlockChanges();
        throw;
      }
      list->UnlockChanges();
      clone->DataController()->SetMasterRelation(relation, masterRecordIndex);
    }
    clone->SetLevel(this);
  } catch (...) {
    clone->CancelUpdate();
    clone->Free();
    throw;
  }
  clone->CancelUpdate();
  pattern->AddClone(clone);
  return clone;
}

void InitializeCxGridLevel() {
  InitUnit("cxGridLevel", [] { RegisterClass(TcxGridLevel::StaticClass()); });
}
