// Grid levels: the tree of levels a grid shows, each bound to one view, with options and tab
// styles, and the per-master-record clones of a detail level's view.
#pragma once

#include <functional>
#include <vector>

#include "grid/cxGridCustomView.h"

class TcxCustomGridRecord;
class TcxGridLevel;

enum TcxGridDetailTabsPosition { dtpNone, dtpLeft, dtpTop };

using TcxGridLevelGetGridViewEvent =
    std::function<void(TcxGridLevel* sender, TcxCustomGridRecord* masterRecord, TcxCustomGridView*& gridView)>;
using TcxGridLevelGetOwnTabStyleEvent =
    std::function<void(TcxGridLevel* sender, TcxCustomGridRecord* masterRecord, TcxStyle*& style)>;
using TcxGridLevelGetTabStyleEvent =
    std::function<void(TcxGridLevel* sender, TcxGridLevel* tabLevel, TcxStyle*& style)>;

class TcxGridLevelOptions : public TPersistent {
  KORVAN_CLASS(TcxGridLevelOptions, TPersistent)

 public:
  using CreateArgType = TcxGridLevel*;
  explicit TcxGridLevelOptions(TcxGridLevel* level) : level_(level) {}
  void Assign(TPersistent* source) override;
  TcxGridLevel* Level() const { return level_; }

  TColor DetailFrameColor() const { return detailFrameColor_; }
  void SetDetailFrameColor(TColor v);
  Integer DetailFrameWidth() const { return detailFrameWidth_; }
  void SetDetailFrameWidth(Integer v);
  TcxGridDetailTabsPosition DetailTabsPosition() const { return detailTabsPosition_; }
  void SetDetailTabsPosition(TcxGridDetailTabsPosition v);
  // DetailFrameColor, or the grid's painter colour while it is clDefault.
  TColor GetDetailFrameColor();

 protected:
  void Changed(bool hardChange);
  Integer detailFrameWidth_ = 1;

 private:
  TcxGridLevel* level_;
  TColor detailFrameColor_ = clDefault;
  TcxGridDetailTabsPosition detailTabsPosition_ = dtpNone;
};

class TcxGridRootLevelOptions : public TcxGridLevelOptions {
  KORVAN_CLASS(TcxGridRootLevelOptions, TcxGridLevelOptions)

 public:
  explicit TcxGridRootLevelOptions(TcxGridLevel* level) : TcxGridLevelOptions(level) { detailFrameWidth_ = 0; }
};

class TcxGridLevelStyles : public TcxStyles {
  KORVAN_CLASS(TcxGridLevelStyles, TcxStyles)

 public:
  static constexpr Integer lsTab = 0, lsTabsBackground = 1;
  using CreateArgType = TcxGridLevel*;
  explicit TcxGridLevelStyles(TcxGridLevel* level);
  TcxGridLevel* Level() const { return level_; }
  TcxStyle* Tab() { return GetIndexedStyle(lsTab); }
  void SetTab(TcxStyle* v) { SetIndexedStyle(lsTab, v); }
  TcxStyle* TabsBackground() { return GetIndexedStyle(lsTabsBackground); }
  TcxStyle* TabStyle() const { return const_cast<TcxGridLevelStyles*>(this)->Tab(); }
  TcxStyle* TabsBackgroundStyle() const { return const_cast<TcxGridLevelStyles*>(this)->TabsBackground(); }
  void SetTabsBackground(TcxStyle* v) { SetIndexedStyle(lsTabsBackground, v); }
  void IndexChanged(Integer index) override;
  void DefaultViewParams(Integer index, TObject* data, TcxStyleParams& params) override;
  void GetTabParams(TcxCustomGridRecord* masterRecord, TcxGridLevel* tabLevel, TcxStyleParams& params);
  TcxGridLevelGetOwnTabStyleEvent OnGetOwnTabStyle;
  TcxGridLevelGetTabStyleEvent OnGetTabStyle;

 private:
  TcxGridLevel* level_;
};

class TcxGridLevel : public TcxComponent {
  KORVAN_CLASS(TcxGridLevel, TcxComponent)

 public:
  explicit TcxGridLevel(TComponent* owner);
  ~TcxGridLevel() override;
  void BeforeDestruction() override;

  virtual TcxCustomGridView* CreateDetailGridView(TcxCustomDataRelation* relation, Integer masterRecordIndex);
  virtual void Changed(bool hardChange);
  virtual void CheckHeight(Integer& height);
  virtual void GetDisplayCaption(String& caption);
  virtual TClass GetChildLevelClass();
  virtual TClass GetOptionsClass();
  virtual TClass GetStylesClass();
  virtual void VisibleChildrenChanged(TcxGridLevel* level);

  TcxCustomGrid* Control() const { return control_; }
  TcxCustomDataRelation* DataRelation() const { return relation_; }
  TcxCustomGridView* GridView() const { return gridView_; }
  void SetGridView(TcxCustomGridView* view);
  const String& Caption() const { return caption_; }
  void SetCaption(const String& v);
  String DisplayCaption() {
    String c = caption_;
    GetDisplayCaption(c);
    return c;
  }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  Integer MaxDetailHeight() const { return maxDetailHeight_; }
  void SetMaxDetailHeight(Integer v);
  TcxGridLevelOptions* Options();
  TcxGridLevelStyles* Styles();
  void SetStyles(TcxGridLevelStyles* v) { Styles()->Assign(v); }
  TcxGridLevelOptions* OptionsObject() const { return const_cast<TcxGridLevel*>(this)->Options(); }
  TcxGridLevelStyles* StylesObject() const { return const_cast<TcxGridLevel*>(this)->Styles(); }
  void SetActive(bool value);
  TcxGridLevelGetGridViewEvent OnGetGridView;

  bool IsRoot();
  bool IsTop();
  bool IsActive();
  bool IsShown();
  bool IsVisibleInHierarchy();
  TcxGridLevel* Parent() const { return parent_; }
  Integer Count() const { return Integer(children_.size()); }
  TcxGridLevel* Items(Integer i) const { return children_.at(size_t(i)); }
  Integer VisibleCount() const { return Integer(visibleChildren_.size()); }
  TcxGridLevel* VisibleItems(Integer i) const { return visibleChildren_.at(size_t(i)); }
  Integer Index();
  void SetIndex(Integer v);
  Integer VisibleIndex();
  TcxGridLevel* FirstVisibleChild();
  TcxGridLevel* Add();

  void AddChild(TcxGridLevel* level);
  void RemoveChild(TcxGridLevel* level);
  void MoveChild(TcxGridLevel* level, Integer index);
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  void SetChildOrder(TComponent* child, Integer order);
  void SetName(const String& newName) override;

  // The data controller of a newly bound view takes its master mode from the level.
  void SetViewMasterMode(TcxCustomGridView* view);
  // Used by the grid for the root level.
  void SetControl(TcxCustomGrid* grid);

 private:
  void RebuildVisibleChildren();
  void CreateRelation(TcxGridLevel* child);
  void FreeRelation();
  void EnsureCompanions();
  TcxCustomGrid* control_ = nullptr;
  TcxCustomDataRelation* relation_ = nullptr;
  TcxCustomGridView* gridView_ = nullptr;
  std::vector<TcxGridLevel*> children_;
  String caption_;
  TcxGridLevel* parent_ = nullptr;
  bool visible_ = true;
  std::vector<TcxGridLevel*> visibleChildren_;
  Integer maxDetailHeight_ = 0;
  TcxGridLevelOptions* options_ = nullptr;
  TcxGridLevelStyles* styles_ = nullptr;
};

class TcxGridRootLevel : public TcxGridLevel {
  KORVAN_CLASS(TcxGridRootLevel, TcxGridLevel)

 public:
  explicit TcxGridRootLevel(TComponent* owner) : TcxGridLevel(owner) {}
  TClass GetOptionsClass() override { return TcxGridRootLevelOptions::StaticClass(); }
};

// Unit start: registers TcxGridLevel for form descriptions.
void InitializeCxGridLevel();
