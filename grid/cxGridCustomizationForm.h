// The customization form of a view (a tool window with a page control whose sheets list the
// hidden items, dragged from there back into the view) and the quick customization popup (a
// check list of the view's items: a check shows or hides an item).
#pragma once

#include <functional>

#include "editors/cxCheckListBox.h"
#include "editors/cxListBox.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridPopup.h"
#include "pagecontrol/cxPC.h"
#include "vcl/Forms.h"

class TcxCustomGridCustomizationForm;
class TcxCustomGridItemsListBox;

// The inner list of a customization list: a press on an item and a move past the drag
// threshold (or onto another item) start dragging the item into the view.
class TcxCustomGridItemsInnerListBox : public TcxInnerListBox {
  KORVAN_CLASS(TcxCustomGridItemsInnerListBox, TcxInnerListBox)

 public:
  explicit TcxCustomGridItemsInnerListBox(TComponent* owner);
  TcxCustomGridItemsListBox* ItemsListBox() const;
  Integer PressedIndex() const { return pressedIndex_; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void MouseDown(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void MouseMove(TShiftState shift, Integer x, Integer y) override;
  void MouseUp(TMouseButton button, TShiftState shift, Integer x, Integer y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void WndProc(TMessage& m) override;

 private:
  Integer pressedIndex_ = -1;
  TPoint pressPoint_{0, 0};
};

class TcxCustomGridItemsListBox : public TcxListBox {
  KORVAN_CLASS(TcxCustomGridItemsListBox, TcxListBox)

 public:
  TcxCustomGridItemsListBox(TcxCustomGridCustomizationForm* form, TClass innerClass);
  TcxCustomGridCustomizationForm* Form() const { return form_; }
  TcxCustomGridView* GridView() const;

  virtual Integer CalculateItemHeight();
  // The hit test whose drag object moves the item at `index` (null: no drag).
  virtual TcxCustomGridHitTest* GetDragHitTest(Integer index) { return nullptr; }
  virtual void PaintItem(TcxCanvas* canvas, const TRect& rect, Integer index, bool focused);
  // Takes the item height; descendants refill their items after the inherited step.
  virtual void RefreshItems();
  // The object of the pressed item.
  TObject* GetDragItem(Integer index) const;
  // Starts dragging the item at `index` from `p` (list coordinates) into the view.
  void BeginItemDrag(Integer index, const TPoint& p);

 private:
  TcxCustomGridCustomizationForm* form_;
};

class TcxCustomGridCustomizationForm : public TForm {
  KORVAN_CLASS(TcxCustomGridCustomizationForm, TForm)

 public:
  using CreateArgType = TcxCustomGridController*;
  explicit TcxCustomGridCustomizationForm(TcxCustomGridController* controller);
  ~TcxCustomGridCustomizationForm() override;
  // The second construction step (virtual calls): constants and controls.
  void Init();

  TcxCustomGridController* Controller() const { return controller_; }
  TcxCustomGridView* GridView() const;
  TcxPageControl* PageControl() const { return pageControl_; }
  Integer Offset() const { return offset_; }
  TcxTimer* VisibilityTimer() const { return timer_; }

  virtual void CalculateConsts();
  virtual void CreateControls();
  virtual void RefreshData() {}
  virtual TRect GetClientBoundsForControls();
  virtual TRect GetPageControlBounds() { return GetClientBoundsForControls(); }
  virtual void CreateTabSheets() {}
  virtual void ReloadItems() {}
  TcxTabSheet* CreateTabSheet(const String& caption, bool tabVisible);
  void ActivatePage(TcxTabSheet* sheet);
  // One tick of the visibility check (the timer runs it every 100 ms).
  void CheckVisibility();
  // Frees the form; from inside its own timer tick the form hides now and is freed later.
  void Discard();

 protected:
  void CreateParams(TCreateParams& params) override;
  void DoShow() override;
  void DoClose(TCloseAction& action) override;

 private:
  void FreeTimer();
  TcxCustomGridController* controller_;
  TcxPageControl* pageControl_ = nullptr;
  Integer offset_ = 0;
  TcxTimer* timer_ = nullptr;
  bool inTick_ = false;
};

// ---- record-based views ------------------------------------------------------------------------

// The items list of a record-based view: the items that can move, are not hidden and are not
// visible, sorted by caption.
class TcxCustomGridTableItemsListBox : public TcxCustomGridItemsListBox {
  KORVAN_CLASS(TcxCustomGridTableItemsListBox, TcxCustomGridItemsListBox)

 public:
  using CreateArgType = TcxCustomGridCustomizationForm*;
  explicit TcxCustomGridTableItemsListBox(TcxCustomGridCustomizationForm* form)
      : TcxCustomGridItemsListBox(form, TcxCustomGridItemsInnerListBox::StaticClass()) {}
  TcxCustomGridTableView* GetListGridView() const { return static_cast<TcxCustomGridTableView*>(GridView()); }
  void RefreshItems() override;
};

class TcxCustomGridTableCustomizationForm : public TcxCustomGridCustomizationForm {
  KORVAN_CLASS(TcxCustomGridTableCustomizationForm, TcxCustomGridCustomizationForm)

 public:
  using TcxCustomGridCustomizationForm::TcxCustomGridCustomizationForm;
  TcxCustomGridTableItemsListBox* ItemsListBox() const { return itemsListBox_; }
  TcxTabSheet* ItemsPage() const { return itemsPage_; }

  virtual TClass GetItemsListBoxClass() { return TcxCustomGridTableItemsListBox::StaticClass(); }
  virtual String GetItemsPageCaption() { return String(); }
  virtual bool GetItemsPageVisible();
  void CreateTabSheets() override;
  void CreateControls() override;
  void RefreshData() override;
  void ReloadItems() override;

 private:
  TcxCustomGridTableItemsListBox* itemsListBox_ = nullptr;
  TcxTabSheet* itemsPage_ = nullptr;
};

// ---- quick customization popup ------------------------------------------------------------------

class TcxCustomGridCustomizationPopup : public TcxCustomGridPopup {
  KORVAN_CLASS(TcxCustomGridCustomizationPopup, TcxCustomGridPopup)

 public:
  explicit TcxCustomGridCustomizationPopup(TcxCustomGridView* gridView);
  TcxCheckListBox* CheckListBox() const { return checkListBox_; }

  virtual void FillItems() = 0;
  // The rows shown: the maximum drop-down count when set and below the item count.
  virtual void AdjustSize();
  virtual void ItemChecked(Integer index, bool checked);
  virtual void CreateCheckListBox();
  virtual Integer GetMaxDropDownCount() = 0;
  virtual void SetItemChecked(TObject* item, bool checked) = 0;
  void InitPopup() override;
  void FireClosed() override;

 private:
  TcxCheckListBox* checkListBox_ = nullptr;
};

class TcxCustomGridItemsCustomizationPopup : public TcxCustomGridCustomizationPopup {
  KORVAN_CLASS(TcxCustomGridItemsCustomizationPopup, TcxCustomGridCustomizationPopup)

 public:
  using TcxCustomGridCustomizationPopup::TcxCustomGridCustomizationPopup;
  TcxCustomGridTableView* GetPopupGridView() const { return static_cast<TcxCustomGridTableView*>(GridView()); }
  void FillItems() override;
  Integer GetMaxDropDownCount() override;
  void SetItemChecked(TObject* item, bool checked) override;
};
