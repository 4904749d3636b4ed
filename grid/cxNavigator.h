// The two interfaces through which a data navigator talks to its host (IcxNavigatorOwner: the
// control that shows it; IcxNavigator: the data it moves through), the notifier that tells
// the navigators attached to a control to refresh, and the model of the navigator's buttons.
// The navigator's layout, painting and mouse handling come later.
#pragma once

#include <functional>
#include <vector>

#include "foundation/cxLookAndFeels.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

class TcxCustomNavigatorButtons;
class TcxNavigatorControlNotifier;
class TCustomImageList;
class TChangeLink;
class TcxFreeNotificator;

// The control that shows a navigator.
class IcxNavigatorOwner {
 public:
  virtual ~IcxNavigatorOwner() = default;
  virtual void NavigatorChanged(Integer changeType) = 0;
  virtual TRect GetNavigatorBounds() = 0;
  virtual TcxCustomNavigatorButtons* GetNavigatorButtons() = 0;
  virtual TCanvas* GetNavigatorCanvas() = 0;
  virtual TWinControl* GetNavigatorControl() = 0;
  virtual bool GetNavigatorFocused() = 0;
  virtual TcxLookAndFeel* GetNavigatorLookAndFeel() = 0;
  virtual TComponent* GetNavigatorOwner() = 0;
  virtual bool GetNavigatorShowHint() = 0;
  virtual bool GetNavigatorTabStop() = 0;
  virtual void NavigatorStateChanged() = 0;
  virtual void RefreshNavigator() = 0;
};

// The data a navigator moves through: state questions and one action per button index.
class IcxNavigator {
 public:
  virtual ~IcxNavigator() = default;
  virtual bool CanDelete() = 0;
  virtual bool CanEdit() = 0;
  virtual bool CanInsert() = 0;
  virtual bool IsActive() = 0;
  virtual bool IsBof() = 0;
  virtual bool IsBookmarkAvailable() = 0;
  virtual bool IsEditing() = 0;
  virtual bool IsEof() = 0;
  virtual void ClearBookmark() = 0;
  virtual void DoAction(Integer buttonIndex) = 0;
  virtual TcxNavigatorControlNotifier* GetNotifier() = 0;
  virtual bool IsActionSupported() = 0;
};

// The navigators attached to a control; refreshing asks each one to refresh.
class TcxNavigatorControlNotifier : public TObject {
  KORVAN_CLASS(TcxNavigatorControlNotifier, TObject)

 public:
  TcxNavigatorControlNotifier() = default;
  void AddNavigator(IcxNavigatorOwner* navigator);
  void RemoveNavigator(IcxNavigatorOwner* navigator);
  Integer NavigatorCount() const { return Integer(list_.size()); }
  void RefreshNavigatorButtons();

 private:
  std::vector<IcxNavigatorOwner*> list_;
};

// ---- the buttons --------------------------------------------------------------------------

// Button kinds by default index.
enum : Integer {
  NBDI_FIRST = 0, NBDI_PRIORPAGE, NBDI_PRIOR, NBDI_NEXT, NBDI_NEXTPAGE, NBDI_LAST, NBDI_INSERT, NBDI_DELETE,
  NBDI_EDIT, NBDI_POST, NBDI_CANCEL, NBDI_REFRESH, NBDI_SAVEBOOKMARK, NBDI_GOTOBOOKMARK, NBDI_FILTER,
  NavigatorButtonCount
};

// One button: the user's switches and an own click handler.
class TcxNavigatorButton : public TPersistent {
  KORVAN_CLASS(TcxNavigatorButton, TPersistent)

 public:
  TcxNavigatorButton(TcxCustomNavigatorButtons* buttons, Integer defaultIndex)
      : buttons_(buttons), defaultIndex_(defaultIndex) {}
  void Assign(TPersistent* source) override;
  TcxCustomNavigatorButtons* Buttons() const { return buttons_; }
  Integer DefaultIndex() const { return defaultIndex_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  const String& Hint() const { return hint_; }
  void SetHint(const String& v);
  Integer ImageIndex() const { return imageIndex_; }
  void SetImageIndex(Integer v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool IsVisibleStored() const { return visibleAssigned_; }
  const TNotifyEvent& OnClick() const { return onClick_; }
  void SetOnClick(const TNotifyEvent& v);

 protected:
  TPersistent* GetOwner() const override;

 private:
  // Refreshes the navigator (when asked) and reports a change of the kind.
  void Changed(bool refresh, Integer kind);
  TcxCustomNavigatorButtons* buttons_;
  Integer defaultIndex_;
  bool enabled_ = true, visible_ = true, visibleAssigned_ = false;
  String hint_;
  Integer imageIndex_ = -1;
  TNotifyEvent onClick_;
};

using TcxNavigatorButtonClickEvent = std::function<void(TObject* sender, Integer buttonIndex, bool& done)>;

// The fifteen buttons of a navigator with their images and the delete-confirmation switch.
class TcxCustomNavigatorButtons : public TPersistent {
  KORVAN_CLASS(TcxCustomNavigatorButtons, TPersistent)

 public:
  explicit TcxCustomNavigatorButtons(IcxNavigatorOwner* owner);
  ~TcxCustomNavigatorButtons() override;
  void Assign(TPersistent* source) override { AssignFrom(source); }
  virtual void AssignFrom(TPersistent* source);
  // Made in the constructor and freed together (called by the constructor and destructor of
  // this class: descendants give their buttons through these two when they are made).
  virtual void CreateButtons();
  virtual void DestroyButtons();
  virtual void PerformButtonAction(Integer index) {}
  // Whether the data lets the button act (the button's own Enabled is not included).
  virtual bool IsButtonEnabled(Integer index);
  virtual void GetButtonHint(Integer index, String& text);
  virtual void ReleaseBookmark() {}

  IcxNavigatorOwner* NavigatorOwner() const { return owner_; }
  Integer ButtonCount() const { return Integer(buttons_.size()); }
  TcxNavigatorButton* Buttons(Integer index) const { return buttons_.at(size_t(index)); }
  void SetButtons(Integer index, TcxNavigatorButton* v) { Buttons(index)->Assign(v); }
  bool ConfirmDelete() const { return confirmDelete_; }
  void SetConfirmDelete(bool v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* v);
  TcxNavigatorButtonClickEvent OnButtonClick;

  // Button changes reach the owner.
  void RefreshNavigator();
  void NavigatorChanged(Integer kind);

 protected:
  TPersistent* GetOwner() const override;

 private:
  IcxNavigatorOwner* owner_;
  std::vector<TcxNavigatorButton*> buttons_;
  bool confirmDelete_ = true;
  TCustomImageList* images_ = nullptr;
  TChangeLink* imageChangeLink_ = nullptr;
  TcxFreeNotificator* imagesNotificator_ = nullptr;
};

// The buttons of a navigated control: actions and enabled states through the control's
// IcxNavigator, supplied by a callback.
class TcxNavigatorControlButtons : public TcxCustomNavigatorButtons {
  KORVAN_CLASS(TcxNavigatorControlButtons, TcxCustomNavigatorButtons)

 public:
  explicit TcxNavigatorControlButtons(IcxNavigatorOwner* owner) : TcxCustomNavigatorButtons(owner) {}
  std::function<IcxNavigator*()> GetNavigator;
  IcxNavigator* Navigator() const { return GetNavigator ? GetNavigator() : nullptr; }
  void PerformButtonAction(Integer index) override;
  bool IsButtonEnabled(Integer index) override;
  void ReleaseBookmark() override;

#define KORVAN_NAVIGATOR_BUTTON(Name, Index) \
  TcxNavigatorButton* Name() const { return Buttons(Index); } \
  void Set##Name(TcxNavigatorButton* v) { SetButtons(Index, v); }
  KORVAN_NAVIGATOR_BUTTON(First, NBDI_FIRST)
  KORVAN_NAVIGATOR_BUTTON(PriorPage, NBDI_PRIORPAGE)
  KORVAN_NAVIGATOR_BUTTON(Prior, NBDI_PRIOR)
  KORVAN_NAVIGATOR_BUTTON(Next, NBDI_NEXT)
  KORVAN_NAVIGATOR_BUTTON(NextPage, NBDI_NEXTPAGE)
  KORVAN_NAVIGATOR_BUTTON(Last, NBDI_LAST)
  KORVAN_NAVIGATOR_BUTTON(Insert, NBDI_INSERT)
  KORVAN_NAVIGATOR_BUTTON(Delete, NBDI_DELETE)
  KORVAN_NAVIGATOR_BUTTON(Edit, NBDI_EDIT)
  KORVAN_NAVIGATOR_BUTTON(Post, NBDI_POST)
  KORVAN_NAVIGATOR_BUTTON(Cancel, NBDI_CANCEL)
  KORVAN_NAVIGATOR_BUTTON(Refresh, NBDI_REFRESH)
  KORVAN_NAVIGATOR_BUTTON(SaveBookmark, NBDI_SAVEBOOKMARK)
  KORVAN_NAVIGATOR_BUTTON(GotoBookmark, NBDI_GOTOBOOKMARK)
  KORVAN_NAVIGATOR_BUTTON(Filter, NBDI_FILTER)
#undef KORVAN_NAVIGATOR_BUTTON
};
