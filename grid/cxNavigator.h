// The two interfaces through which a data navigator talks to its host (IcxNavigatorOwner: the
// control that shows it; IcxNavigator: the data it moves through) and the notifier that tells
// the navigators attached to a control to refresh. The navigator itself comes later.
#pragma once

#include <vector>

#include "foundation/cxLookAndFeels.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

class TcxCustomNavigatorButtons;
class TcxNavigatorControlNotifier;

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
