// Grid popups: drop-down windows owned by a cell of a view (the filter drop-down of a column,
// the list of recent filters, the quick customization list), and the list box they show.
#pragma once

#include <functional>

#include "editors/cxListBox.h"
#include "grid/cxGridCustomView.h"

class TcxCustomGridPopup : public TcxCustomPopupWindow, public IcxCustomGridPopup {
  KORVAN_CLASS(TcxCustomGridPopup, TcxCustomPopupWindow)

 public:
  using CreateArgType = TcxCustomGridView*;
  // A popup for the view's site (the site is its owner control and anchor parent).
  explicit TcxCustomGridPopup(TcxCustomGridView* gridView);
  ~TcxCustomGridPopup() override;

  // IcxCustomGridPopup: the owner is a cell of the view.
  TcxCustomGridCellViewInfo* PopupOwner() override { return owner_.Get(); }
  // A null owner closes a visible popup when the old owner asks for it.
  void SetPopupOwner(TcxCustomGridCellViewInfo* owner) override;
  bool PopupVisible() override { return Visible(); }
  void PopupShow() override { Popup(); }

  TcxCustomGridView* GridView() const { return gridView_; }
  // The owner's bounds in site coordinates (empty without an owner).
  virtual TRect GetOwnerBounds();
  // The owner's width less the popup's frame.
  virtual Integer GetMinWidth();
  // Font, frame and anchor; descendants fill their contents after the inherited step.
  virtual void InitPopup();
  // Releases the mouse capture, then shows the popup and focuses its first focusable control.
  void Popup() override;

  void FireClosed() override;

 protected:
  void KeyDown(Word& key, TShiftState shift) override;

 private:
  TcxCustomGridView* gridView_;
  // Weak: a layout may delete the owning cell while the popup stays open (an owner that
  // keeps its popup across layouts, such as the indicator's header).
  TWeakRef<TcxCustomGridCellViewInfo> owner_;
};

class TcxGridPopupListBox;

// The inner list of a popup list: the item under the mouse follows it, a release clicks it;
// Enter clicks the current item and Esc closes the popup.
class TcxGridPopupInnerListBox : public TcxInnerListBox {
  KORVAN_CLASS(TcxGridPopupInnerListBox, TcxInnerListBox)

 public:
  explicit TcxGridPopupInnerListBox(TComponent* owner) : TcxInnerListBox(owner) {}
  TcxGridPopupListBox* PopupListBox() const;

 protected:
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;
};

class TcxGridPopupListBox : public TcxListBox {
  KORVAN_CLASS(TcxGridPopupListBox, TcxListBox)

 public:
  explicit TcxGridPopupListBox(TcxCustomGridPopup* popup);

  TcxCustomGridPopup* Popup() const { return popup_; }
  // Sizes the list to `items` (null: its own items): the visible rows, the widest text with
  // its indents (limited by MaxWidth, plus a scroll bar when not all rows show), at least the
  // popup's minimum width.
  void AdjustSize(TStrings* items = nullptr);
  // Closes the popup, then reports the click (nothing for -1).
  virtual void ItemClicked(Integer index);
  virtual Integer CalculateItemHeight();
  Integer GetVisibleItemCount(TStrings* items);
  virtual void PaintItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state);
  // The area of the rows and the scroll bar.
  TSize ListClientSize() const;

  Integer TextIndentLeft = 2, TextIndentRight = 2, TextOffsetVert = 0;
  Integer MaxVisibleItemCount = 0;  // 0: all
  Integer MaxWidth = 0;             // 0: no limit
  Integer MinWidthResult = 0;       // the width before the popup's minimum applied
  std::function<void(TcxGridPopupListBox* sender, Integer index)> OnItemClick;

 private:
  TcxCustomGridPopup* popup_;
};

// The area of a list's rows and its inner list's scroll bars (the inner list without its frame).
TSize ListRowsAreaSize(TcxListBox* list);
// Sizes a list placed at (0, 0) so that its rows area is width x height.
void SetListClientSize(TcxListBox* list, Integer width, Integer height);
