// Filtering a record-based view from its drop-downs: the filtering options with the list of
// recently used filters, the filter drop-down of an item (its distinct values and the special
// entries "(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", recent values on top), the
// drop-down of recent filters, and the way to the filter dialogs.
#pragma once

#include <memory>

#include "editors-extra/cxFilterControl.h"
#include "grid/cxGridCustomTableView.h"
#include "grid/cxGridPopup.h"

class TcxCustomGridTableFiltering;

// ---- recent filters --------------------------------------------------------------------------------

// A recent filter: a copy of the criteria that was applied. Two are equal when their filter
// streams are byte for byte equal.
class TcxGridFilterMRUItem : public TcxMRUItem {
 public:
  // Takes a criteria made by the data controller's CreateFilter and gives it back at the end.
  explicit TcxGridFilterMRUItem(TcxDataFilterCriteria* filter);
  ~TcxGridFilterMRUItem() override;
  bool IsEqual(const TcxMRUItem* item) const override;
  TcxDataFilterCriteria* Filter() const { return filter_; }
  String Caption() const { return filter_->FilterCaptionText(); }
  std::string StreamBytes() const;

 private:
  TcxDataFilterCriteria* filter_;
};

class TcxGridFilterMRUItems : public TcxMRUItems {
 public:
  explicit TcxGridFilterMRUItems(TcxCustomGridTableFiltering* filtering) : filtering_(filtering) {}
  TcxCustomGridTableFiltering* Filtering() const { return filtering_; }
  // A copy of `criteria` goes to the top (an equal entry moves there instead); an empty
  // criteria is not added.
  void Add(TcxFilterCriteria* criteria);
  // The visible entries: all but those equal to the current filter, most recent first.
  void RefreshVisibleItems();
  // Applying a filter changes the filter and then adds it: inside this bracket the visible
  // entries follow each step, but a change of their count is reported once, at the end.
  void BeginUpdate();
  void EndUpdate();
  // Entries whose filter became empty (an item left the view) are deleted.
  void DeleteEmptyItems();
  Integer VisibleCount() const { return Integer(visible_.size()); }
  TcxGridFilterMRUItem* VisibleItems(Integer i) const { return visible_.at(size_t(i)); }
  TcxGridFilterMRUItem* Item(Integer i) const { return static_cast<TcxGridFilterMRUItem*>(ItemAt(i)); }

 protected:
  // A freed entry leaves the visible list at once (a direct RemoveAll left it dangling there).
  void ItemRemoving(TcxMRUItem* item) override;

 private:
  TcxCustomGridTableFiltering* filtering_;
  std::vector<TcxGridFilterMRUItem*> visible_;
  Integer updateCount_ = 0;
  Integer countBeforeUpdate_ = 0;
};

// ---- filtering options ---------------------------------------------------------------------------------

class TcxCustomGridTableFiltering : public TcxCustomGridOptions {
  KORVAN_CLASS(TcxCustomGridTableFiltering, TcxCustomGridOptions)

 public:
  explicit TcxCustomGridTableFiltering(TcxCustomGridView* gridView);
  ~TcxCustomGridTableFiltering() override;
  void AssignFrom(TPersistent* source) override;
  TcxCustomGridTableView* TableView() const { return static_cast<TcxCustomGridTableView*>(GridView()); }

  bool ItemMRUItemsList() const { return itemMRUItemsList_; }
  void SetItemMRUItemsList(bool v);
  Integer ItemMRUItemsListCount() const { return itemMRUItemsListCount_; }
  void SetItemMRUItemsListCount(Integer v);
  Integer ItemPopupDropDownWidth() const { return itemPopupDropDownWidth_; }
  void SetItemPopupDropDownWidth(Integer v);
  Integer ItemPopupMaxDropDownItemCount() const { return itemPopupMaxDropDownItemCount_; }
  void SetItemPopupMaxDropDownItemCount(Integer v);
  bool MRUItemsList() const { return mruItemsList_; }
  void SetMRUItemsList(bool v);
  Integer MRUItemsListCount() const { return mruItemsListCount_; }
  void SetMRUItemsListCount(Integer v);
  // The drop-down of recent filters shows at most this many rows (0: all); kept by the
  // view's FilterBox.
  Integer MRUItemsListDropDownCount() const;
  void SetMRUItemsListDropDownCount(Integer v);
  TcxGridFilterMRUItems* MRUItems() const { return mruItems_.get(); }

  // The current filter (null) or `criteria` goes to the recent filters.
  void AddToMRU(TcxFilterCriteria* criteria = nullptr);
  // Opens the dialog that fits: the custom filter dialog for an item it can show, else the
  // filter builder (also for null).
  void CustomizeFilter(TcxCustomGridTableItem* item);
  // The view's data controller changed its filter: the visible recent filters follow.
  virtual void FilterChanged();
  virtual bool IsMRUItemsListAvailable();
  // The filter box bar gains or loses its drop-down button when a count becomes or leaves 0.
  virtual void MRUVisibleCountChanged(Integer oldCount, Integer newCount);

 protected:
  // The older properties of a form description, read and forwarded to FilterBox and the
  // item drop-down settings.
  void DefineProperties(TFiler* filer) override;

 private:
  bool itemMRUItemsList_ = true;
  Integer itemMRUItemsListCount_ = 5;
  Integer itemPopupDropDownWidth_ = 0;
  Integer itemPopupMaxDropDownItemCount_ = 15;
  std::unique_ptr<TcxGridFilterMRUItems> mruItems_;
  bool mruItemsList_ = true;
  Integer mruItemsListCount_ = 10;
  TNotifyEvent previousFilterChanged_;
};

// The view as the filter builder's link: its items and its data controller's filter.
class TcxGridViewFilterLink : public IcxFilterControl {
 public:
  explicit TcxGridViewFilterLink(TcxCustomGridTableView* view) : view_(view) {}
  String GetCaption(Integer index) override;
  Integer GetCount() override;
  TcxFilterCriteria* GetCriteria() override;
  TObject* GetItemLink(Integer index) override;
  String GetItemLinkName(Integer index) override;
  String GetFieldName(Integer index) override;
  TcxCustomEditProperties* GetProperties(Integer index) override;
  TcxValueTypeClass GetValueType(Integer index) override;
  TcxCustomGridTableView* View() const { return view_; }

 private:
  TcxCustomGridTableView* view_;
};

// ---- drop-downs --------------------------------------------------------------------------------------

// The owner of an item's filter drop-down (a filter button) names the item to filter.
class IcxGridFilterItemProvider {
 public:
  virtual ~IcxGridFilterItemProvider() = default;
  virtual TcxCustomGridTableItem* GetFilterItem() = 0;
};

class TcxGridFilterPopupListBox : public TcxGridPopupListBox {
  KORVAN_CLASS(TcxGridFilterPopupListBox, TcxGridPopupListBox)

 public:
  using TcxGridPopupListBox::TcxGridPopupListBox;
  // Separator entries are two lines in the button shadow colour.
  void PaintItem(TcxCanvas* canvas, Integer index, const TRect& rect, TOwnerDrawState state) override;
};

class TcxGridFilterPopup : public TcxCustomGridPopup {
  KORVAN_CLASS(TcxGridFilterPopup, TcxCustomGridPopup)

 public:
  explicit TcxGridFilterPopup(TcxCustomGridView* gridView);
  ~TcxGridFilterPopup() override;

  TcxCustomGridTableView* TableView() const { return static_cast<TcxCustomGridTableView*>(GridView()); }
  // The filtered item: asked from the owner when it provides one, else as set.
  TcxCustomGridTableItem* Item() const { return item_; }
  void SetItem(TcxCustomGridTableItem* item) { item_ = item; }
  TStringList* Strings() const { return strings_.get(); }
  TcxDataFilterValueList* ValueList() const { return valueList_.get(); }
  TcxGridFilterPopupListBox* ListBox() const { return listBox_; }

  void InitPopup() override;
  virtual void FillStrings();
  virtual void InitListBox();
  // What choosing the line does (nothing for -1).
  virtual void ApplyEntry(Integer index);
  // The line of the item's current condition (-1 when not listed).
  virtual Integer GetCurrentEntryIndex();
  void FireClosed() override;

 private:
  TcxCustomGridTableItem* item_ = nullptr;
  std::unique_ptr<TStringList> strings_;
  std::unique_ptr<TcxDataFilterValueList> valueList_;
  TcxGridFilterPopupListBox* listBox_ = nullptr;
};

class TcxGridFilterMRUItemsPopup : public TcxCustomGridPopup {
  KORVAN_CLASS(TcxGridFilterMRUItemsPopup, TcxCustomGridPopup)

 public:
  explicit TcxGridFilterMRUItemsPopup(TcxCustomGridView* gridView);
  TcxCustomGridTableView* TableView() const { return static_cast<TcxCustomGridTableView*>(GridView()); }
  TcxGridPopupListBox* ListBox() const { return listBox_; }

  void InitPopup() override;
  virtual void FillList(TStrings* strings);
  // The chosen recent filter becomes the filter and moves to the top of the list.
  virtual void ApplyItem(Integer index);
  // The list's left text indent (the filter box bar aligns its text with it).
  virtual Integer GetTextIndent() { return listBox_->TextIndentLeft; }

 private:
  TcxGridPopupListBox* listBox_ = nullptr;
};
