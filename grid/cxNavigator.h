// The two interfaces through which a data navigator talks to its host (IcxNavigatorOwner: the
// control that shows it; IcxNavigator: the data it moves through), the notifier that tells
// the navigators attached to a control to refresh, the model of the navigator's buttons, and
// the navigator's view info (layout, painting, mouse, press repeat and hints).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"

class TcxCustomNavigatorButtons;
class TcxNavigatorControlNotifier;
class TCustomImageList;
class TChangeLink;
class TcxFreeNotificator;
class TcxCanvas;
class TcxTimer;
class THintWindow;

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

// ---- the view info ------------------------------------------------------------------------

// The navigator's default glyphs: the image i is the glyph of button kind i (12 x 11, made on
// first use from the CXNAVIGATORBUTTONS picture with olive as the transparent colour).
TCustomImageList* NavigatorDefaultImages();

// A shown button: its place, and its enabled state and hint as of the last update.
struct TcxNavigatorButtonViewInfo {
  TcxNavigatorButton* Button = nullptr;
  TRect Bounds;
  bool Enabled = false;
  String Hint;
};

// Lays out, paints and hit-tests the visible buttons of a navigator in its owner's bounds,
// tracks the hot, pressed and focused buttons, repeats Prior and Next while they are held, and
// shows the buttons' hints.
class TcxNavigatorViewInfo : public TObject {
  KORVAN_CLASS(TcxNavigatorViewInfo, TObject)

 public:
  // The first press repeats after PressDelay, then every PressRepeat; hints wait HintPause.
  static constexpr Cardinal PressDelay = 400, PressRepeat = 100, HintPause = 500;

  TcxNavigatorViewInfo(IcxNavigatorOwner* owner, bool inPlace);
  ~TcxNavigatorViewInfo() override;
  IcxNavigatorOwner* Owner() const { return owner_; }
  bool InPlace() const { return inPlace_; }
  TcxCustomNavigatorButtons* NavigatorButtons() const { return owner_->GetNavigatorButtons(); }

  // Layout: the needed size of the visible buttons, and the full calculation that gives each
  // visible button its place. The width grows to the needed width, or takes a spare width
  // shared equally among the buttons (the remainder of the division stays unused); the height
  // only grows to the needed height.
  void GetNeededSize(Integer& width, Integer& height, bool withGlyphHeight = false);
  void CalculateBounds(Integer& width, Integer& height, bool withGlyphHeight = false);
  // The outer size of a button: its glyph with the group frame around it.
  TSize GetButtonSize(TcxNavigatorButton* button, Integer count, Integer index, bool withGlyphHeight);
  Integer ButtonCount() const { return Integer(buttons_.size()); }
  const TcxNavigatorButtonViewInfo& ButtonViewInfo(Integer i) const { return buttons_.at(size_t(i)); }
  // The shown button at a point (in the owner's coordinates), or -1.
  Integer GetButtonIndexAt(const TPoint& p) const;
  // Marks the layout and states for an update before the next painting.
  void MakeIsDirty() { dirty_ = true; }
  bool IsDirty() const { return dirty_; }
  // Lays out in the owner's bounds and takes the enabled states and hints of the buttons.
  void UpdateButtons();
  // Buttons whose enabled state changed flip it and are repainted.
  void RefreshEnabledStates();

  TcxNavigatorButton* HotButton() const { return hot_; }
  TcxNavigatorButton* PressedButton() const { return pressed_; }
  TcxNavigatorButton* FocusedButton() const { return focused_; }
  TcxButtonState GetButtonState(const TcxNavigatorButtonViewInfo& info) const;
  // The navigator's frame is drawn selected (with a hot-tracking painter while a button is hot
  // or pressed or the owner has the focus).
  bool Selected() const { return selected_; }

  // Paints on the given canvas, or on the owner's canvas.
  void Paint(TcxCanvas* canvas = nullptr);

  // The mouse, in the owner's coordinates; (-1, -1) when it left.
  void MouseDown(Integer x, Integer y);
  void MouseMove(Integer x, Integer y);
  void MouseUp(Integer x, Integer y);
  // Runs a button: its own click handler, or OnButtonClick and then the buttons' action.
  void Click(TcxNavigatorButton* button);

  // The hint of the hot button, after the hint pause or at once when one is shown.
  void ShowHint();
  void HideHint();
  THintWindow* HintWindow() const { return hintWindow_; }
  TcxTimer* PressTimer() const { return pressTimer_.get(); }
  TcxTimer* HintTimer() const { return hintTimer_.get(); }

 private:
  TcxCustomLookAndFeelPainterClass Painter() const;
  Integer IndexOfButton(TcxNavigatorButton* button) const;
  bool IsButtonEnabled(TcxNavigatorButton* button) const;
  void InvalidateButton(TcxNavigatorButton* button);
  void SetHotButton(TcxNavigatorButton* button);
  void CheckSelected();
  void PaintButton(TcxCanvas* canvas, Integer index);
  void PressTimerTick();
  void HintTimerTick();

  IcxNavigatorOwner* owner_;
  bool inPlace_;
  std::vector<TcxNavigatorButtonViewInfo> buttons_;
  TcxNavigatorButton* hot_ = nullptr;
  TcxNavigatorButton* pressed_ = nullptr;
  TcxNavigatorButton* focused_ = nullptr;
  bool dirty_ = true, selected_ = false;
  std::unique_ptr<TcxTimer> pressTimer_, hintTimer_;
  THintWindow* hintWindow_ = nullptr;
};
